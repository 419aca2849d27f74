// The output hold as the display shows it.
#include "ui/hold_view.h"

#include "measurement/channel.h"
#include "outputs/hold.h"
#include "ui/menu.h"

uint32_t Hold_IsOutputHoldActive() {
    // While the start-up waits for the date to be set, the hold marks stay off.
    if (g_EditFlags[0] != 0) return 0;
    return g_OutputHold != 0 ? 1 : 0;
}

uint32_t Hold_IsOutputHoldForChannel(uint32_t channel) {
    return Hold_IsOutputHoldActive() && channel == Chan_GetCurrentChannel() ? 1 : 0;
}
