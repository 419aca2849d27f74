// Stand-ins for modules that are not written yet. Each does the least that keeps start-up and
// the main loop running, and goes away when its module arrives.
#include <cstring>

#include "core/eeprom.h"
#include "core/fw_main.h"
#include "core/ident.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_page.h"
#include "measurement/cal.h"
#include "measurement/channel.h"
#include "measurement/conc.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "outputs/alarm.h"
#include "outputs/aout.h"
#include "outputs/clean.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "outputs/pid.h"
#include "outputs/sensor_alarm.h"
#include "outputs/setpoint.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/screens.h"
#include "ui/value_page.h"

// A page that is not written yet: ENTER goes back to the screen below, which redraws.
static int32_t PageNotWrittenKey(uint32_t event) { return event == kMenuEventEnter ? 4085 : -1; }

// ---- Identity -------------------------------------------------------------------------------
void Ident_InitMainBoard() {}
const char* Ident_GetModelName() { return "R718G/2XH"; }

// ---- Sensor-board link ----------------------------------------------------------------------
uint8_t g_LinkSaveResult = 255;
void Link_Tick() {}
void Link_CountTick() {}
void Link_Pump() {}

// ---- Settings modules -----------------------------------------------------------------------
void Settings_InitComm() {}
void Settings_LoadMeasurementStore(uint32_t* status) { *status = 0; }
void Settings_LoadAll(uint32_t* status) { *status = 0; }
void Settings_DefaultAll(uint32_t, uint32_t* status) { *status = 0; }
static MeasLineConfig s_EditMeasLines;
static uint8_t s_EditPidManual;
void Settings_CopyAll() {
    s_EditMeasLines = g_MeasLines;
    g_PeriodicTasksSuspended = 0;
}
void Settings_CommitAll(uint32_t* status, uint32_t) {
    g_MeasLines = s_EditMeasLines;
    *status = 0;
}
uint32_t Settings_PidMayRun() { return 0; }
uint8_t Settings_GetLockout() { return 1; }
uint8_t Settings_GetSectionLock(uint32_t) { return 0; }
uint8_t Settings_GetErrorDisplay() { return 0; }
uint8_t Settings_GetHoldOutputs() { return 1; }
void Settings_GetLineName(uint32_t, char* text) { std::memcpy(text, "        ", kLineNameSize); }
uint8_t Settings_GetNameOffset(uint32_t) { return 54; }
uint8_t Settings_GetEditChannel() { return Chan_GetCurrentChannel(); }
uint8_t Settings_GetEditKind(uint32_t channel) { return channel < 2 ? g_ChannelKind[channel] : 0; }
uint8_t Settings_GetEditPidManual() { return s_EditPidManual; }
void Settings_SetEditPidManual(uint8_t manual) { s_EditPidManual = manual; }
MeasLineConfig* Settings_GetEditMeasLines() { return &s_EditMeasLines; }
int16_t Settings_GetEditMeasPolVoltage(uint32_t) { return -674; }
int16_t Settings_GetEditCalPolVoltage(uint32_t) { return -674; }

// ---- Messages and outputs -------------------------------------------------------------------
uint8_t g_MsgActiveCount;
void Msg_ClearAll() {}
void Msg_Raise(uint16_t) {}
void Msg_Clear(uint16_t) {}
void Msg_SetChanged() {}
void Msg_DrawPage() {}
int32_t Msg_PageKey(uint32_t event) { return PageNotWrittenKey(event); }
void Msg_ResetStore() {}
uint32_t g_OutputHold;
uint8_t g_RelayHoldFlags[2];
uint32_t Hold_IsOutputHoldActive() { return 0; }
uint32_t Hold_IsOutputHoldForChannel(uint32_t) { return 0; }
void Hold_Update() {}
void Hold_ShowPleaseWait() {
    Lcd_FillStatusRows(0);
    Lcd_DrawMessage(kRowMessage, 0, 78, 9, g_Language);
    g_SaveWaitBits |= kSaveWaitSensor;
}
void Relay_UpdateAll(uint32_t, uint32_t, uint8_t, uint8_t, uint8_t) {}
void Alarm_UpdateRelay() {}
uint8_t Alarm_GetRelay() { return 1; }
uint32_t Alarm_GetCauseDisableMask() { return 0; }
void Aout_UpdateAll() {}
void Clean_Update() {}
void Clean_Stop() {}
uint32_t Clean_IsActive() { return 0; }
uint8_t Clean_GetRelay() { return 2; }
float Clean_GetInterval() { return 0.0f; }
float Clean_GetTime() { return 0.0f; }
uint8_t Pid_GetSourceSlot() { return 4; }
void Pid_ActivateOnce() {}
void Pid_Deactivate() {}
void Pid_EnterHold() {}
void Pid_LeaveHold() {}
void Pid_Step(float, uint32_t) {}
float Pid_GetSubstituteValue() { return 0.0f; }
uint32_t Pid_IsManual() { return 0; }
float Pid_GetOutput() { return 0.0f; }
float Pid_GetManualOutput() { return 0.0f; }
uint8_t Pid_GetPulseRelay(uint32_t) { return 2; }
uint8_t Pid_GetOutputType() { return 4; }
void Pid_DrawOutputLine(uint32_t, float) {}
void SetPoint_UpdateAll() {}
uint8_t SetPoint_GetState(uint32_t) { return 255; }
void SensorAlarm_EvalGlassRes(uint32_t) {}
void SensorAlarm_EvalRefRes(uint32_t) {}
void SensorAlarm_EvalPnaGlassRes(uint32_t) {}
void SensorAlarm_EvalDryCond(uint32_t) {}
void SensorAlarm_EvalCellShorted(uint32_t) {}
void SensorAlarm_EvalCellDeviation(uint32_t) {}
void SensorAlarm_EvalElectrolyteLow(uint32_t) {}
void SensorAlarm_ClearAll(uint32_t, uint32_t) {}
void SensorAlarm_ClearDryCond(uint32_t) {}
void SensorAlarm_ClearCellShorted(uint32_t) {}
void SensorAlarm_ClearCellDeviation(uint32_t) {}
void SensorAlarm_ClearElectrolyteLow(uint32_t) {}
void SensorAlarm_DrawGlassResPage(uint32_t) {}
void SensorAlarm_DrawPnaGlassResPage(uint32_t) {}
void SensorAlarm_DrawRefResPage(uint32_t) {}

// ---- Menu pages and screens -----------------------------------------------------------------
ManualHold g_ManualHold;
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
int32_t Screen_PidManualKey(uint32_t, int32_t) { return 4155; }
int32_t NumEdit_Screen(uint32_t event) { return PageNotWrittenKey(event); }
void NumEdit_SetChannelB(uint32_t) {}
uint32_t NumEdit_IsOutputCalOpen() { return 0; }
int32_t ParamPage_Open(uint32_t, uint32_t) {
    g_DisplayMode = 1;
    return -1;
}
int32_t ParamPage_Screen(uint32_t event) { return PageNotWrittenKey(event); }
void ParamPage_SetCurrent(uint32_t) {}
uint32_t ParamPage_CurrentPage() { return 0; }
void ParamPage_ResetSelectors(uint32_t) {}
int32_t ValuePage_BeginEdit(uint32_t, uint32_t) {
    g_DisplayMode = 1;
    return -1;
}
int32_t ValuePage_Screen(uint32_t event) { return PageNotWrittenKey(event); }
void ValuePage_ClearPasswordState() {}

// ---- Measurement ----------------------------------------------------------------------------
uint32_t g_SensorKindDetected[2] = {255, 255};
uint32_t g_SensorKindActive[2] = {255, 255};
const char* const g_UnitTexts[kUnitTextCount] = {
    "^-cm", "S/cm", " ",     "%HCl",   "%HNO3", "%NaCl", "%NaOH", "%H2SO4", "%H3PO4", "TDS",  "TDS",
    "@C",   "@F",   "pH",    "V",      "V ORP", "^ Rg",  "^ Rr",  "^RpNa",  "%air",   "%O2",  "ppmO2G",
    "%O2G", "g/L",  "O2",    "mbar",   "nA",    "d DLI", "d TTM", "d ACT",  " ",      "S/m",  "tooCap",
    "%CO2", "hPa",  "mbar",  "mmHg",   "mg/L",  "V",     " ",     " ",      "hPa",    "mbar", "g/L",
    "V/V",  "O3",   "g/L",   "nA",     "mbar P", "g100ml", "kPa P", "bar P", "psi P", "mmHg P",
};
void Meas_UpdateCycle() {}
void Meas_DrawStateMarker(uint32_t) {}
void Meas_GetSlotUnit(uint32_t, uint8_t* code, uint8_t* prefix) {
    *code = 0;
    *prefix = 0;
}
// No measurement yet: every slot reads "no valid value".
float Meas_GetSlotValue(uint32_t, uint32_t* status) {
    *status = 2;
    return 0.0f;
}
uint32_t Filter_IsStabilityActive() { return 0; }
uint8_t g_CurrentChannel;
uint32_t Chan_GetLinkState() { return 0; }
uint8_t Chan_GetCurrentChannel() { return g_CurrentChannel; }
uint32_t Chan_GetSensorKindBySel(uint32_t sel) {
    uint8_t channel = g_CurrentChannel < 2 ? g_CurrentChannel : 0;
    switch (sel) {
        case 0: return channel == 0 ? g_ChannelKind[0] : 255;
        case 1: return channel == 1 ? g_SensorKindActive[1] : 255;
        case 2: return g_ChannelKind[channel];
        case 3: return channel == 1 ? g_SensorKindActive[1] : g_ChannelKind[0];
        default: return 255;
    }
}
uint32_t Chan_IsMeasuringKindO2(uint32_t kind) { return kind >= 5 && kind <= 8 ? 1 : 0; }
uint32_t Chan_IsKindSpecialOnA(uint32_t channel, uint32_t kind) {
    return channel == 0 && (kind == 15 || kind == 27 || kind == 28 || kind == 29 || kind == 32) ? 1 : 0;
}
uint32_t Chan_HasTempComp(uint32_t) { return 1; }
void Chan_LoadCalEditValues(uint32_t, uint32_t) {}
void Chan_SaveCalEditValues(uint32_t) {}
void Chan_NotifyMemoryChanged(uint32_t) {}
uint32_t Meas_CheckCalDue(uint32_t) { return 0; }
uint32_t Meas_HasSensorStatusBit2(uint32_t) { return 0; }
void Meas_ResetSettings(uint32_t) {}
void Meas_QueueMeasurementItems() {}
uint8_t g_SensorParamSavePending;
void Cal_SelectMeasurement(uint32_t, uint32_t) {}
uint32_t Cal_IsSelectionActive() { return 0; }
void Cal_StepById(uint32_t, uint32_t, uint32_t, uint32_t* status) { *status = 0; }
// A save reaches the settings store; it fails as the store does.
void Cal_SaveById(uint32_t, uint32_t* status) {
    uint8_t marker[2];
    Eeprom_Read(kStoreMeasurementMarker, marker, 2, status);
}
void Cal_SetCalibrateOnly(uint32_t, uint8_t) {}
void Conc_GetTableName(char* text) { std::memcpy(text, "       ", kConcNameSize); }

// ---- Digital sensor -------------------------------------------------------------------------
// The factory layout: pH and temperature of channel A on the big lines, nothing on the small ones.
MeasLineConfig g_MeasLines = {{0, 0, 0, 0}, {13, 11, 30, 30}, {10, 10, 10, 10}, {0, 1, 2, 3}, {2, 1, 3, 3}};
void Vdx_InitPlugMachine() {}
void Vdx_ReportAutoclaveSave() {}
uint8_t Vdx_GetPlugState() { return 29; }
void Vdx_SetPlugState(uint8_t) {}
uint8_t Vdx_GetPreviousPlugState() { return 29; }
void Vdx_SetPlugTarget(uint8_t) {}
uint8_t Vdx_TakeChooseRequest() { return 0; }
void Vdx_SetChooseRequest() {}
void Vdx_ChoosePlugState(uint32_t) {}
void Vdx_ResumePlugState() {}
int32_t Vdx_StepPlugMachine() { return -1; }
int32_t Vdx_PlugYesNoKey(uint32_t) { return -1; }
void Vdx_OnPlugTimer() {}
int32_t Vdx_GetPendingPlugPage() { return -1; }
void Vdx_RaiseSetDateAlarm() {}
void Vdx_ClearSetDateAlarm() {}
void Vdx_ClearDisconnected(uint32_t) {}
uint32_t Vdx_HasSensorOption(uint32_t) { return 0; }
void Vdx_PushSettingsToSensor() {}
uint32_t SensDiag_GetCycleAlarmEnable() { return 0; }
void SensDiag_RunPeriodic() {}
void SensDiag_IncrementAutoclaveCount() {}
void SensDiag_WriteOptLedMode() {}
void SensDiag_SyncOptLedMode(uint32_t) {}
float SensDiag_GetLifetimeDays() { return 0.0f; }
float SensDiag_GetTimeToMaintDays() { return 0.0f; }
float SensDiag_GetActDays() { return 0.0f; }
float SensDiag_GetOperatingDays() { return 0.0f; }
void VdxPage_OpenCalHistory(uint32_t) {}
int32_t VdxPage_CalHistoryKey(uint32_t event) { return PageNotWrittenKey(event); }
void VdxPage_DrawSensorInfo(uint32_t) {}
int32_t VdxPage_SensorInfoKey(uint32_t event) { return PageNotWrittenKey(event); }
void VdxPage_OpenCalData(uint32_t, uint32_t) {}
int32_t VdxPage_CalDataKey(uint32_t event) { return PageNotWrittenKey(event); }
void VdxPage_DrawCycles(uint32_t, uint32_t) {}
void VdxPage_DrawTimers(uint32_t, uint32_t) {}
int32_t VdxPage_TimersKey(uint32_t event) { return PageNotWrittenKey(event); }
void VdxPage_DrawMaxTemp() {}
int32_t VdxPage_MaxTempKey(uint32_t event) { return PageNotWrittenKey(event); }
void VdxPage_DrawSetup(uint32_t, uint32_t) {}
int32_t VdxPage_SetupKey(uint32_t event) { return PageNotWrittenKey(event); }
void VdxPage_OpenOptErrors() {}
int32_t VdxPage_OptErrorsKey(uint32_t event) { return PageNotWrittenKey(event); }
