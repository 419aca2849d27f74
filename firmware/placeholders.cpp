// Stand-ins for modules that are not written yet. Each does the least that keeps start-up and
// the main loop running, and goes away when its module arrives.
#include "placeholders.h"

#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/texts.h"
#include "core/timers.h"
#include "core/util.h"
#include "fw_main.h"
#include "measurement/calibration.h"
#include "measurement/meas.h"
#include "outputs/hold.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/meter_cal.h"
#include "ui/numedit.h"
#include "ui/screens.h"
#include "ui/value_page.h"

// A page that is not written yet: ENTER goes back to the screen below, which redraws.
static int32_t PageNotWrittenKey(uint32_t event) {
    return event == kEventEnter ? static_cast<int32_t>(kActionBack) : -1;
}

// ---- Menu pages and screens -----------------------------------------------------------------
void Screen_EndTimedHold() {
    g_TimedHold = 0;
    g_OutputHold = 0;
    Timer_Stop(kTimerTimedHold);
}
// The calibration value shown in the numeric editor's field, without its unit.
void Screen_DrawValueWithUnit(uint32_t row, uint32_t column, const NumEditState* record) {
    Lcd_ClearSpan(row, column, 72);
    if (record->status != 0) {
        Lcd_DrawText(row, column, record->status == kStatusUnder ? "_____" : "*****");
        return;
    }
    uint32_t digits = g_NumEditField->digits;
    Lcd_DrawFloat(row, column, record->value, Util_DecimalsForDigits(record->value, digits - 2u), 255);
}
// No calibration result is drawn before the calibration-data view exists.
void Screen_ShowCalData(uint32_t, float, float) {}
void Screen_InfoShow() {}
int32_t Screen_InfoKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_ListShow(uint32_t, uint32_t) {}
// ENTER leads on to the numeric editor for the position, as the step screen's normal view does.
int32_t Screen_ListKey(uint32_t event) { return event == kEventEnter ? static_cast<int32_t>(kActionEditPosition) : -1; }
void Screen_List2Show(uint32_t) {}
int32_t Screen_List2Key(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_HoldCountdownShow() {}
int32_t Screen_HoldCountdownTick(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_DrawDiagIndicators() { g_SensorParamSavePending = 0; }

// ---- Measurement ----------------------------------------------------------------------------
void MeterCal_CheckSignalRange(float, uint32_t* status) { *status = 0; }
void MeterCal_CheckPositiveRange(float, uint32_t* status) { *status = 0; }

// ---- Calibration data sets ------------------------------------------------------------------
void Cal_ClearDataSetSensorFlag(uint32_t) {}

// ---- Power-on ---------------------------------------------------------------------------------
void Placeholders_ResetState() {}
