// Stand-ins for modules that are not written yet. Each does the least that keeps start-up and
// the main loop running, and goes away when its module arrives.
#include "placeholders.h"

#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/texts.h"
#include "core/timers.h"
#include "fw_main.h"
#include "measurement/calibration.h"
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

// ---- Outputs ----------------------------------------------------------------------------------
void Hold_ShowPleaseWait() {
    Lcd_FillStatusRows(0);
    Lcd_DrawTextRef(kRowMessage, 0, kTextPleaseWait);
    g_SaveWaitBits |= kSaveWaitSensor;
}

// ---- Menu pages and screens -----------------------------------------------------------------
void Menu_EndChannelHold() { g_ManualHold.active = 0; }
void Menu_EndChannelHoldIfActive() { g_ManualHold.active = 0; }
uint32_t Menu_IsChannelHeld() { return g_ManualHold.active; }
void Home_DrawChannelHoldMarks(uint32_t) {}
void Screen_EndTimedHold() {
    g_TimedHold = 0;
    g_OutputHold = 0;
    Timer_Stop(kTimerTimedHold);
}
void Screen_SelectInit(uint32_t) {}
void Screen_SelectShow(uint32_t, uint32_t) { g_DisplayMode = 1; }
int32_t Screen_SelectKey(uint32_t event) { return PageNotWrittenKey(event); }
uint32_t Screen_GetSelectPosition() { return 0x1fffff; }
void Screen_InfoShow() {}
int32_t Screen_InfoKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_ListShow(uint32_t, uint32_t) {}
int32_t Screen_ListKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_List2Show(uint32_t) {}
int32_t Screen_List2Key(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_HoldCountdownShow() {}
int32_t Screen_HoldCountdownTick(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_DrawDiagIndicators() { g_SensorParamSavePending = 0; }
void Screen_KeypadTestDraw() {}
int32_t Screen_KeypadTestKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_DigInDraw() {}
void Screen_DigInValues() {}
void Screen_ReadOcDraw() {}
int32_t Screen_ReadOcKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_AoutTestDraw() {}
int32_t Screen_AoutTestKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_AinDraw() {}
void Screen_AinValue() {}
void Screen_MemoryTestDraw() {}
void Screen_DisplayTestStart() {}
void Screen_RevisionOpen() {}
int32_t Screen_RevisionKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_ConfigWarnDraw(uint32_t) {}
int32_t Screen_ConfigWarnKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_PleaseWaitDraw() {}
int32_t Menu_Back(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_PasswordDraw(uint32_t) {}
int32_t Screen_PasswordKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_TempSourceDraw(uint32_t) {}
int32_t Screen_TempSourceKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_VerifyCalDraw(uint32_t) {}
int32_t Screen_VerifyCalKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_CalEditDraw(uint32_t, uint32_t) {}
int32_t Screen_CalEditKey(uint32_t event, uint32_t) { return PageNotWrittenKey(event); }
void Screen_LinCompDraw(uint32_t, uint32_t) {}
int32_t Screen_LinCompKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_CompCoefDraw(uint32_t) {}
int32_t Screen_CompCoefKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_AoutMaDraw(uint32_t, uint32_t) {}
int32_t Screen_AoutMaKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_PidModeDraw(uint32_t) {}
int32_t Screen_PidModeKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_PidTuneDraw(uint32_t) {}
int32_t Screen_PidTuneKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_PidLimitsDraw(uint32_t, uint32_t) {}
int32_t Screen_PidLimitsKey(uint32_t, uint32_t event) { return PageNotWrittenKey(event); }
int32_t Screen_PidManualKey(uint32_t, int32_t) { return kActionPidUnchanged; }
int32_t NumEdit_Screen(uint32_t event) { return PageNotWrittenKey(event); }
void NumEdit_SetChannelB(uint32_t) {}
uint32_t NumEdit_IsOutputCalOpen() { return 0; }
int32_t ValuePage_BeginEdit(uint32_t, uint32_t) {
    g_DisplayMode = 1;
    return -1;
}
int32_t ValuePage_Screen(uint32_t event) { return PageNotWrittenKey(event); }
void ValuePage_ClearPasswordState() {}
// The page's error message: ENTER (key mode 8 sends event 62) redraws the page.
void ValuePage_ShowInvalid(uint32_t n) {
    Menu_ClearStatusRows();
    Lcd_DrawTextRef(kRowStatus, 0, Text_Nth(kTextInvalidTexts, n));
    Lcd_DrawTextRef(kRowMessage, 0, kTextPressEnterToContinue);
    Lcd_DrawChannelMark(0, 1);
    g_DisplayMode = kKeyModeErrorShown;
}

// ---- Measurement ----------------------------------------------------------------------------
void MeterCal_CheckSignalRange(float, uint32_t* status) { *status = 0; }
void MeterCal_CheckPositiveRange(float, uint32_t* status) { *status = 0; }

// ---- Calibration data sets ------------------------------------------------------------------
void Cal_ClearDataSetSensorFlag(uint32_t) {}

// ---- Power-on ---------------------------------------------------------------------------------
void Placeholders_ResetState() {}
