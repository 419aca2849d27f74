// The list of the firmware's modules: their resets in layer order, and their store maps.
#include "fw_modules.h"

#include "core/eeprom.h"
#include "core/events.h"
#include "core/fmt.h"
#include "core/ident.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/link_transport.h"
#include "core/rtc.h"
#include "core/texts.h"
#include "core/timers.h"
#include "fw_main.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "placeholders.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/menu_tasks.h"
#include "ui/menu_tree.h"
#include "ui/screens.h"

void Fw_ResetModules() {
    Timer_Init();
    Event_ResetState();
    Key_ResetState();
    Lcd_ResetState();
    Eeprom_ResetState();
    Rtc_ResetState();
    Text_ResetState();
    Ident_ResetState();
    Fmt_ResetState();
    Link_ResetState();
    Link_ResetTransport();
    Chan_ResetState();
    Meas_ResetState();
    Meas_ResetSlotState();
    Meas_ResetDecoders();
    Filter_ResetState();
    Temp_ResetState();
    Menu_ResetState();
    Menu_ResetTree();
    Menu_ForgetFailureText();
    Home_ResetState();
    Screen_ResetState();
    Placeholders_ResetState();
    Fw_ResetState();
}

const StoreMap* const g_FwStoreMaps[] = {
    &g_EepromStoreMap, &g_ChanStoreMap, &g_FilterStoreMap, &g_TempStoreMap, &g_MenuStoreMap,
};
const uint32_t g_FwStoreMapCount = sizeof g_FwStoreMaps / sizeof g_FwStoreMaps[0];
