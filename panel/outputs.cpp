// The panel's simulated outputs without the window.
#include "panel/outputs.h"

#include "core/util.h"
#include "outputs/aout.h"

std::string Panel_AnalogOutputText(uint32_t output) {
    char text[kNumberTextMax + 1];
    Util_FloatToText(Aout_GetShownCurrent(output), 255, 2, text);
    return text;
}

bool Panel_RelayIndicatorLit(uint8_t relayBits, uint32_t relay, bool normallyClosed) {
    bool closed = relay < 8 && ((relayBits >> relay) & 1u) != 0;
    return normallyClosed ? !closed : closed;
}

bool Panel_RelayShownClosed(uint8_t relayBits, uint32_t relay, uint32_t closings, uint32_t* lastClosings) {
    bool closed = relay < 8 && ((relayBits >> relay) & 1u) != 0;
    bool pulsed = closings != *lastClosings;
    *lastClosings = closings;
    return closed || pulsed;
}
