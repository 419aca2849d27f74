// Stand-ins for modules that are not written yet. Each does the least that keeps start-up and
// the main loop running, and goes away when its module arrives.
#include "placeholders.h"

#include <cstring>

#include "core/eeprom.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_page.h"
#include "fw_main.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/concentration.h"
#include "measurement/conductivity.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "measurement/units.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/clean.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "outputs/sensor_alarm.h"
#include "outputs/setpoint.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/meter_cal.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/screens.h"
#include "ui/value_page.h"

// A page that is not written yet: ENTER goes back to the screen below, which redraws.
static int32_t PageNotWrittenKey(uint32_t event) {
    return event == kEventEnter ? static_cast<int32_t>(kActionBack) : -1;
}

// ---- Settings modules -----------------------------------------------------------------------
// Hardware start: of the communication block only the output mode byte is read.
void Settings_InitComm() {
    uint32_t status = 0;
    Aout_LoadOutputMode(&status);
}

static bool MarkerIs(uint32_t offset, const char* marker) {
    uint8_t bytes[2] = {0, 0};
    uint32_t status = 0;
    Eeprom_Read(offset, bytes, 2, &status);
    return status == 0 && bytes[0] == static_cast<uint8_t>(marker[0]) && bytes[1] == static_cast<uint8_t>(marker[1]);
}

// The defaults and loaders that exist run, in the dispatcher's order; the others keep their
// defaults. A store that cannot be read or marked still starts (the "EEPROM Error!" halt comes
// with the settings module).
void Settings_LoadMeasurementStore(uint32_t* status) {
    if (!MarkerIs(kStoreMeasurementMarker, "2w")) {
        Aout_ResetCalibration(status);
        CalPh_DefaultGlassImpedanceRef(status);
        CalPh_DefaultRefImpedanceRef(status);
        CalPh_ResetToFactory(0, status);
        CalPh_ResetModes(status);
        CalCond_SetDefaults(status);
        CalO2_ResetToFactory(0, status);
        CalPh_DefaultCo2Pressure(status);
        Temp_ResetAllCal(status);
        Filter_DefaultModes(status);
        Temp_SetDefaults(status);
        Pid_WriteDefaults(status);
        Eeprom_WriteChecked(kStoreMeasurementMarker, "2w", 2, status);
    }
    CalPh_LoadGlassImpedanceRef(status);
    CalPh_LoadRefImpedanceRef(status);
    Temp_LoadSettings(status);
    Temp_LoadAll(status);
    Filter_LoadModes(status);
    Aout_LoadCalibration(status);
    CalPh_LoadCo2Settings(0, 0, status);
    CalO2_LoadAll(0, 0, status);
    CalCond_LoadSettings(0, 0, status);
    CalPh_LoadChannel(0, 0, status);
    CalPh_LoadAll(status);
    Meas_InitState();
    Link_Reset();
    *status = 0;
}

// ---- The system settings the output hold reads: the hold switch and the digital-input states.
static constexpr uint32_t kStoreHoldOnChange = 1293;
static constexpr uint32_t kStoreDigitalInputHold = 2036;
static constexpr uint8_t kInputHoldNever = 2;
static constexpr StoreRange kHoldStoreRanges[] = {{kStoreHoldOnChange, 1}, {kStoreDigitalInputHold, 2}};
const StoreMap g_HoldSettingsStoreMap = {"hold settings", kHoldStoreRanges,
                                         sizeof kHoldStoreRanges / sizeof kHoldStoreRanges[0]};
uint8_t g_HoldOnChange;
static uint8_t s_DigitalInputHold[2] = {kInputHoldNever, kInputHoldNever};
void Settings_ResetHoldSettings() {
    g_HoldOnChange = 0;
    s_DigitalInputHold[0] = s_DigitalInputHold[1] = kInputHoldNever;
}
void Settings_LoadHoldFlag(uint32_t* status) {
    uint8_t flag = 0xFF;
    uint32_t s = 0;
    Eeprom_Read(kStoreHoldOnChange, &flag, 1, &s);
    if (s != 0) *status = s;
    g_HoldOnChange = s == 0 && flag <= 1 ? flag : 0;
}
void Settings_SaveHoldFlag(uint32_t* status) { Eeprom_WriteChecked(kStoreHoldOnChange, &g_HoldOnChange, 1, status); }
static void LoadDigitalInputHold(uint32_t* status) {
    uint8_t states[2] = {kInputHoldNever, kInputHoldNever};
    uint32_t s = 0;
    Eeprom_Read(kStoreDigitalInputHold, states, 2, &s);
    if (s != 0) *status = s;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        s_DigitalInputHold[channel] = s == 0 && states[channel] <= kInputHoldNever ? states[channel] : kInputHoldNever;
    }
}
uint8_t Settings_GetDigitalInputHold(uint32_t channel) {
    return channel < 2 ? s_DigitalInputHold[channel] : kInputHoldNever;
}
uint8_t Settings_GetHoldOutputs() { return g_HoldOnChange == 1 ? 0 : 1; }
// The pH module is not written: the isothermal point stands at its factory value.
float Settings_ReadParam1(uint32_t) { return 7.0f; }

void Settings_LoadAll(uint32_t* status) {
    if (!MarkerIs(kStoreConfigMarker, "K2")) Settings_DefaultAll(1, status);
    Vdx_LoadChannelConfig(status);
    Relay_LoadSettings(status);
    Aout_LoadSettings(status);
    Clean_LoadSettings(status);
    SetPoint_LoadSettings(status);
    Settings_LoadHoldFlag(status);
    LoadDigitalInputHold(status);
    Alarm_LoadSettings(status);
    Pid_LoadSettings(status);
    Msg_LoadStore(status);
    Conc_LoadUserTable(status);
}

void Settings_DefaultAll(uint32_t, uint32_t* status) {
    Relay_WriteDefaults(status);
    Aout_WriteDefaults(status);
    SetPoint_WriteDefaults(status);
    Clean_WriteDefaults(status);
    g_HoldOnChange = 0;
    Settings_SaveHoldFlag(status);
    const uint8_t inputs[2] = {kInputHoldNever, kInputHoldNever};
    Eeprom_WriteChecked(kStoreDigitalInputHold, inputs, 2, status);
    Alarm_WriteDefaults(status);
    Pid_WriteDefaults(status);
    Conc_SetUserTableDefaults(status);
    Msg_ResetStore();
    Eeprom_WriteChecked(kStoreConfigMarker, "K2", 2, status);
}
static MeasLineConfig s_EditMeasLines;
static uint8_t s_EditPidManual;
void Settings_CopyAll() {
    s_EditMeasLines = g_MeasLines;
    Conc_CopyUserTableToWork();
    g_PeriodicTasksSuspended = 0;
}
// The measurement lines are the one setting the menus can change yet; the output, cleaning, relay,
// set-point, alarm, hold and PID settings have no working copy before their pages exist, so they
// are stored as they stand.
void Settings_CommitAll(uint32_t* status, uint32_t) {
    *status = 0;
    Aout_SaveSettings(status);
    Clean_SaveSettings(status);
    Relay_SaveSettings(status);
    SetPoint_SaveSettings(status);
    g_MeasLines = s_EditMeasLines;
    for (uint32_t slot = 0; slot < 4; ++slot)
        Meas_SetSlotAssignment(slot, g_MeasLines.channel[slot], g_MeasLines.kind[slot]);
    Alarm_SaveSettings(status);
    Settings_SaveHoldFlag(status);
    Pid_SaveSettings(status);
    Conc_CommitUserTable(status);
}
// The controller runs and shows its output line only with a line to control, its display chosen,
// a pulse relay, and a usable sensor on the controlled channel while channel B is shown.
uint32_t Settings_PidMayRun() {
    const PidSettings& p = g_PidSettings;
    if (p.source >= kPidSourceOff || p.displayChoice == kPidDisplayNo) return 0;
    if (p.relayPositive >= kRelayNone && p.relayNegative >= kRelayNone) return 0;
    uint8_t channel = Meas_GetSlotChannel(p.source);
    if (Chan_GetCurrentChannel() == 1 && channel < 2 && g_SensorKindDetected[channel] >= 15) return 0;
    return 1;
}
uint8_t Settings_GetLockout() { return 1; }
uint8_t Settings_GetSectionLock(uint32_t) { return 0; }
uint8_t Settings_GetErrorDisplay() { return 0; }
void Settings_GetLineName(uint32_t, char* text) { std::memcpy(text, "        ", kLineNameSize); }
uint8_t Settings_GetNameOffset(uint32_t) { return 54; }
uint8_t Settings_GetEditChannel() { return Chan_GetCurrentChannel(); }
uint8_t Settings_GetEditKind(uint32_t channel) { return channel < 2 ? g_ChannelKind[channel] : 0; }
uint8_t Settings_GetEditPidManual() { return s_EditPidManual; }
void Settings_SetEditPidManual(uint8_t manual) { s_EditPidManual = manual; }
MeasLineConfig* Settings_GetEditMeasLines() { return &s_EditMeasLines; }
int16_t Settings_GetEditMeasPolVoltage(uint32_t) { return -674; }
int16_t Settings_GetEditCalPolVoltage(uint32_t) { return -674; }
int16_t Settings_GetMeasPolVoltage(uint32_t) { return -674; }

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
uint32_t Chan_GetLinkState() { return 0; }
uint8_t Chan_GetCurrentChannel() { return g_CurrentChannel; }
// The measuring polarization voltage goes to channel A's board input; channel B's sensor keeps its
// own until the digital-sensor settings are written.
void Chan_RequestO2Mode(uint32_t channel, int16_t millivolts) {
    if (channel == 0 && Chan_IsMeasuringKindO2(Chan_GetSensorKindBySel(3))) {
        Link_SetPolarizationVoltage(0, static_cast<float>(millivolts), 0);
    }
}
void Chan_ApplySensorCalData() {}
void Chan_SetBRecordFlagRam(uint32_t channel, uint8_t flag) {
    if (channel < 2) g_SensorParams[channel].flag = flag;
}
// Channel B's sensor settings are kept in RAM until the channel services store them.
void Chan_SetBRecordWord(uint32_t channel, int16_t value, uint32_t* status) {
    *status = 0;
    if (channel < 2) g_SensorParams[channel].optionWord = value;
}
void Chan_SetBRecordFlag(uint32_t channel, uint8_t value, uint32_t* status) {
    *status = 0;
    Chan_SetBRecordFlagRam(channel, value);
}
void MeterCal_CheckSignalRange(float, uint32_t* status) { *status = 0; }
void MeterCal_CheckPositiveRange(float, uint32_t* status) { *status = 0; }

uint8_t g_CurrentChannel;
uint32_t Chan_GetSensorKindBySel(uint32_t sel) {
    uint8_t channel = g_CurrentChannel < 2 ? g_CurrentChannel : 0;
    switch (sel) {
        case 0:
            return channel == 0 ? g_ChannelKind[0] : 255;
        case 1:
            return channel == 1 ? g_SensorKindActive[1] : 255;
        case 2:
            return g_ChannelKind[channel];
        case 3:
            return channel == 1 ? g_SensorKindActive[1] : g_ChannelKind[0];
        default:
            return 255;
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

// ---- Calibration data sets ------------------------------------------------------------------
void Cal_ClearDataSetSensorFlag(uint32_t) {}
// A sensor's memory holds no calibration data set yet, and none is written.
uint32_t SensMem_ReadCalDataSet(uint32_t, uint32_t, CalDataSetRecord*) { return 0; }
void SensMem_StoreCalibration(uint32_t, const CalDataSetRecord*) {}
void SensMem_StoreCalHistory(uint32_t, const CalDataSetRecord*) {}
void SensMem_StoreSlopeCopy(uint32_t) {}
void SensMem_StoreSlope(uint32_t) {}

// ---- Digital sensor -------------------------------------------------------------------------
float g_DiagIndicators[9];
uint8_t g_SensorSaveFlags[2];
uint8_t g_ChanOcAlarm[6];
void Vdx_InitPlugMachine() {}
void Vdx_ReportAutoclaveSave() {}
uint8_t g_SensorPlugged[2];
void SensDiag_TickCycleDetectors(uint32_t) {}
void SensDiag_UpdateMaxTemperature(uint32_t) {}
void SensDiag_PublishIndicators(uint32_t) {}
void SensDiag_ClearSipDetectorState(uint32_t) {}
void SensDiag_ClearCipDetectorState(uint32_t) {}
void SensDiag_LoadSettings(uint32_t* status) { *status = 0; }
// The default quantity of display line a by channel A's configured kind (0 to 13), its prefix
// and its decimals: pH, conductivity in uS/cm, oxygen in percent of air
// saturation (ppm of gas for "ppmO2 G"), CO2 in mg/L.
struct LineDefault {
    uint8_t unit;
    uint8_t prefix;
    uint8_t resolution;
};
static constexpr LineDefault kLineDefaults[kMaxChannelKind + 1] = {
    {13, 10, 2}, {13, 10, 2}, {13, 10, 2}, {1, 2, 2},   {1, 2, 2},   {19, 10, 1}, {19, 10, 1},
    {19, 10, 1}, {21, 10, 1}, {19, 10, 1}, {37, 10, 1}, {13, 10, 2}, {13, 10, 2}, {13, 10, 2},
};
// The stored kinds, and the measurement lines at their defaults for channel A's kind.
void Vdx_LoadChannelConfig(uint32_t* status) {
    Fw_LoadChannelTypes();
    const LineDefault& line = kLineDefaults[g_ChannelKind[0] <= kMaxChannelKind ? g_ChannelKind[0] : 1];
    g_MeasLines.kind[0] = line.unit;
    g_MeasLines.prefix[0] = line.prefix;
    g_MeasLines.resolution[0] = line.resolution;
    Cal_SelectMeasurement(2, 0);
    for (uint32_t slot = 0; slot < 4; ++slot)
        Meas_SetSlotAssignment(slot, g_MeasLines.channel[slot], g_MeasLines.kind[slot]);
    *status = 0;
}
// The factory layout: pH and temperature of channel A on the big lines, nothing on the small ones.
static constexpr MeasLineConfig kFactoryLines = {
    {0, 0, 0, 0}, {13, 11, 30, 30}, {10, 10, 10, 10}, {0, 1, 2, 3}, {2, 1, 3, 3}};
MeasLineConfig g_MeasLines = kFactoryLines;
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
void Vdx_PushSettingsToSensor() {}
uint32_t SensDiag_GetCycleAlarmEnable() { return 0; }
void SensDiag_RunPeriodic() {}
void SensDiag_IncrementAutoclaveCount() {}
void SensDiag_WriteOptLedMode() {}
void SensDiag_SyncOptLedMode(uint32_t) {}
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

// ---- Power-on ---------------------------------------------------------------------------------
void Placeholders_ResetState() {
    s_EditMeasLines = MeasLineConfig{};
    s_EditPidManual = 0;
    g_CurrentChannel = 0;
    for (uint32_t i = 0; i < 2; ++i) {
        g_SensorPlugged[i] = 0;
        g_SensorSaveFlags[i] = 0;
    }
    for (uint8_t& request : g_ChanOcAlarm) request = 0;
    for (float& indicator : g_DiagIndicators) indicator = 0.0f;
    g_MeasLines = kFactoryLines;
}
