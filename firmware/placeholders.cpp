// Stand-ins for modules that are not written yet. Each does the least that keeps start-up and
// the main loop running, and goes away when its module arrives.
#include "placeholders.h"

#include <cstring>

#include "core/eeprom.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/param.h"
#include "core/rtc.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "core/util.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_ident.h"
#include "fw_main.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/chan_sensor.h"
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
#include "ui/vdx_page.h"

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
        Temp_ResetAllCal(status);
        Filter_DefaultModes(status);
        Temp_SetDefaults(status);
        SensDiag_DefaultSettings(status);
        Pid_WriteDefaults(status);
        Eeprom_WriteChecked(kStoreMeasurementMarker, "2w", 2, status);
    }
    CalPh_LoadGlassImpedanceRef(status);
    CalPh_LoadRefImpedanceRef(status);
    Temp_LoadSettings(status);
    SensDiag_LoadSettings(status);
    Temp_LoadAll(status);
    Filter_LoadModes(status);
    Aout_LoadCalibration(status);
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
}

void Settings_DefaultAll(uint32_t mode, uint32_t* status) {
    Relay_WriteDefaults(status);
    Vdx_DefaultChannelConfig(mode, status);
    Aout_WriteDefaults(status);
    SetPoint_WriteDefaults(status);
    Clean_WriteDefaults(status);
    g_HoldOnChange = 0;
    Settings_SaveHoldFlag(status);
    const uint8_t inputs[2] = {kInputHoldNever, kInputHoldNever};
    Eeprom_WriteChecked(kStoreDigitalInputHold, inputs, 2, status);
    Alarm_WriteDefaults(status);
    Pid_WriteDefaults(status);
    Msg_ResetStore();
    Eeprom_WriteChecked(kStoreConfigMarker, "K2", 2, status);
}
static MeasLineConfig s_EditMeasLines;
static uint8_t s_EditPidManual;
void Settings_CopyAll() {
    s_EditMeasLines = g_MeasLines;
    g_PeriodicTasksSuspended = 0;
}
// The measurement lines are the one setting the menus can change yet; the output, cleaning, relay,
// set-point, alarm, hold and PID settings have no working copy before their pages exist, so they
// are stored as they stand.
void Settings_CommitAll(uint32_t* status, uint32_t) {
    *status = 0;
    Cal_SelectMeasurement(2, 0);
    Aout_SaveSettings(status);
    Clean_SaveSettings(status);
    Relay_SaveSettings(status);
    SetPoint_SaveSettings(status);
    g_MeasLines = s_EditMeasLines;
    for (uint32_t slot = 0; slot < 4; ++slot)
        Meas_SetSlotAssignment(slot, g_MeasLines.channel[slot], g_MeasLines.kind[slot]);
    Vdx_SaveChannelConfig(status);
    Alarm_SaveSettings(status);
    Settings_SaveHoldFlag(status);
    Pid_SaveSettings(status);
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
// The sensor module: the polarization voltages without a store (live and working set alike).
static constexpr int16_t kFactoryPolarization = -674;
static int16_t s_MeasPolarization[2] = {kFactoryPolarization, kFactoryPolarization};
static int16_t s_CalPolarization[2] = {kFactoryPolarization, kFactoryPolarization};
int16_t Settings_GetEditMeasPolVoltage(uint32_t channel) {
    return channel < 2 ? s_MeasPolarization[channel] : kFactoryPolarization;
}
int16_t Settings_GetEditCalPolVoltage(uint32_t channel) {
    return channel < 2 ? s_CalPolarization[channel] : kFactoryPolarization;
}
int16_t Settings_GetMeasPolVoltage(uint32_t channel) { return Settings_GetEditMeasPolVoltage(channel); }
void Settings_SetEditMeasPolVoltage(uint32_t channel, int16_t millivolts) {
    if (channel < 2) s_MeasPolarization[channel] = millivolts;
}
void Settings_SetEditCalPolVoltage(uint32_t channel, int16_t millivolts) {
    if (channel < 2) s_CalPolarization[channel] = millivolts;
}
void Settings_CommitSensor(uint32_t* status) { *status = 0; }
uint8_t Settings_GetFlag378() { return 0; }
uint32_t Settings_GetEditLedMode() { return 0; }
// Parameter 41 has no store yet: nothing is kept, which the caller hears.
void Settings_CommitParam41(float, uint32_t* status) { *status = kStoreNotReady; }
// The channel kinds have no working copy yet: the live kind changes and is stored.
void Settings_SetEditKind(uint32_t channel, uint8_t kind) {
    if (channel >= 2) return;
    g_ChannelKind[channel] = kind;
    uint32_t status = 0;
    Vdx_SaveSensorKind(channel, &status);
}
void Settings_CopySlots() {}
void Settings_ReadSlotCounts() {}
float Param_GetFloat(uint32_t, uint32_t, uint32_t, uint32_t* status) {
    *status = kStatusOver;
    return 0.0f;
}
void Param_SetFloat(uint32_t, uint32_t, uint32_t, float, uint32_t* status) { *status = kStatusOver; }
// Parameters by number: none is set or read yet.
uint32_t Param_GetInt(uint32_t, uint32_t, uint32_t* status) {
    *status = 0;
    return 0;
}
void Param_SetInt(uint32_t, uint32_t, uint32_t, uint32_t* status) { *status = 0; }

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
int32_t ParamPage_EditKey(uint32_t) { return -1; }
void ParamPage_ApplyValues() {}
void ParamPage_SelectField(uint32_t) {}
void ParamPage_SetCurrent(uint32_t) {}
uint32_t ParamPage_CurrentPage() { return 0; }
void ParamPage_ResetSelectors(uint32_t) {}
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
void Meas_DrawStateMarker(uint32_t) {}
uint32_t Chan_GetLinkState() { return 0; }
uint8_t Chan_GetCurrentChannel() { return g_CurrentChannel; }
// The measuring polarization voltage goes to channel A's board input; channel B's sensor keeps its
// own until the digital-sensor settings are written.
void Chan_RequestO2Mode(uint32_t channel, int16_t millivolts) {
    if (!Chan_IsMeasuringKindO2(Chan_GetSensorKindBySel(3))) return;
    if (channel == 0) {
        Link_SetPolarizationVoltage(0, static_cast<float>(millivolts), 0);
    } else if (channel == 1) {
        SensMem_StorePolarizationOffset(1, millivolts);
    }
}

// Taking over a digital sensor: the kind, the sensor's numbers stored, its image adopted (or its
// identification record), its intervals in step, its calibration applied.
static uint8_t s_ApplySensorCal;
void Chan_ApplyNewSensor(uint32_t channel) {
    if (channel >= 2) return;
    uint32_t kind = g_SensorKindDetected[channel];
    Chan_ForceKind(channel, kind);
    g_ChannelSensorId[channel] = Vdx_GetModelNumber(channel);
    g_SensorSecondId[channel] = Vdx_GetSerialNumber(channel);
    uint32_t status = 0;
    Vdx_SaveModelNumber(channel, &status);
    Vdx_SaveSerialNumber(channel, &status);
    if (g_SensorProtoFlag[channel] != 1) {
        SensMem_AdoptStagingImage(channel);
        SensDiag_PublishIndicators(channel);
        Vdx_ReadSensorOption(channel);
    } else {
        SensCmd_InitRecord(channel);
    }
    SensDiag_SyncIntervals(channel);
    g_SensorImageLoaded[channel] = 1;
    s_ApplySensorCal = 1;
    Chan_ApplySensorCalData();
}

void Chan_ApplySensorCalData() {
    if (!s_ApplySensorCal) return;
    s_ApplySensorCal = 0;
    g_SensorParamSavePending = 1;
    if (g_SensorProtoFlag[1] == 1 || g_SensorMemLayout[1] > kLayoutCond) return;
    CalDataSetRecord set;
    if (!SensMem_ReadCalDataSet(1, kCalSetActual, &set)) return;
    uint32_t status = 0;
    switch (g_SensorMemLayout[1]) {
        case kLayoutPh:
            if (g_SensorKindActive[1] != kKindCo2) {
                SensMem_LoadSlope(1);
                CalPh_ApplyDataSet(1, &set, &status);
                CalPh_SetIsoPoint(1, set.v0, &status);
            } else {
                SensMem_LoadCo2Params(1);
                CalPh_ApplyCo2DataSet(1, &set, &status);
                CalPh_SetIsoPoint(1, 7.0f, &status);
                CalPh_LimitBufferSetTo0Or8(1, &status);
            }
            break;
        case kLayoutOxygen:
            CalO2_ApplyDataSet(1, &set, &status);
            break;
        default:
            CalCond_ApplyDataSet(1, &set, &status);
            break;
    }
}

// A new kind: the measurement lines show the channel, line 1 in the kind's unit.
static uint8_t DefaultLineUnit(uint32_t kind) {
    switch (kind) {
        case kKindCond2:
        case kKindCond4:
            return 1;  // S/cm
        case kKindO2High:
        case kKindO2Low:
        case kKindO2Trace:
        case kKindO2Optical:
            return 19;  // %air
        case kKindO2Gauge:
            return 21;  // ppmO2G
        case kKindCo2:
            return 37;  // mg/L
        default:
            return 13;  // pH
    }
}
static uint8_t DefaultResolution(uint8_t unit) {
    if (unit == 0 || unit == 1 || unit == 13 || unit == 39) return 2;
    if (unit == 14 || unit == 15 || unit == 24 || unit == 38 || unit == 40) return 0;
    return 1;
}
void Chan_ResetForSensorKind(uint32_t channel, uint32_t kind) {
    if (channel >= 2) return;
    MeasLineConfig* lines = Settings_GetEditMeasLines();
    const uint8_t units[4] = {DefaultLineUnit(kind), 11, 30, 30};
    for (uint32_t slot = 0; slot < 4; ++slot) {
        lines->channel[slot] = static_cast<uint8_t>(channel);
        lines->kind[slot] = units[slot];
        lines->prefix[slot] = 10;
        lines->resolution[slot] = DefaultResolution(units[slot]);
    }
}
void Chan_SetBRecordFlagRam(uint32_t channel, uint8_t flag) {
    if (channel < 2) g_SensorParams[channel].flag = flag;
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

// The data sets as the pages show them: from the image by its layout, or the command-protocol
// sensor's history.
uint32_t Cal_GetDataSet(uint32_t channel, uint32_t n, CalDataSetView* view) {
    *view = CalDataSetView{0, 0.0f, 0.0f, 0.0f, 0.0f, 2008, 1, 1, 1};
    if (channel >= 2) return 0;
    if (g_SensorProtoFlag[channel] == 1) {
        SensCalHistoryRecord entry{};
        if (!SensCmd_GetCalHistoryEntry(channel, n, &entry)) return 0;
        view->slope = entry.first;
        view->zero = entry.second;
        view->year = entry.year;
        view->month = entry.month;
        view->day = entry.day;
        return 1;
    }
    if (g_SensorMemLayout[channel] > kLayoutCond) return 0;
    CalDataSetRecord set{};
    if (!SensMem_ReadCalDataSet(channel, n, &set)) return 0;
    if (Rtc_IsValidRecord(&set.date)) {
        view->year = set.date.year;
        view->month = set.date.month;
        view->day = set.date.day;
    }
    switch (g_SensorMemLayout[channel]) {
        case kLayoutOxygen:
            view->slope = set.v40;
            view->zero = set.v44 / 1000.0f;
            break;
        case kLayoutCond:
            view->slope = set.v40;
            view->zero = set.v44;
            break;
        default: {
            float slope = 0.0f, zeroPoint = 0.0f;
            CalPh_CalibrateFromDataSet(&set, &slope, &zeroPoint);
            view->slope = slope * 100.0f;
            view->zero = zeroPoint;
            view->slopeMv = slope * kNernstSlope;
            view->offsetMv = slope * kNernstSlope * (zeroPoint - CalPh_GetIsoPoint(channel));
            break;
        }
    }
    return 1;
}
static void FormatDate(uint16_t year, uint8_t month, uint8_t day, char* text) {
    ClockRecord date{};
    date.year = year;
    date.month = month;
    date.day = day;
    Util_FormatDate(&date, text);
}
void Cal_GetDataSetDateText(uint32_t channel, uint32_t n, char* text) {
    CalDataSetView view;
    Cal_GetDataSet(channel, n, &view);
    FormatDate(view.year, view.month, view.day, text);
}
void Chan_FormatMaxTempDate(uint32_t channel, char* text) {
    ClockRecord date{};
    SensMem_DaysToDate(SensDiag_GetMaxTemperatureDate(channel), &date);
    FormatDate(date.year, date.month, date.day, text);
}
float Meas_GetOrpOffset(uint32_t channel) { return CalPh_GetOrpOffset(channel); }

// ---- CO2: the electrode's pH through the pH calibration; no CO2 values, no CO2 calibration ---
float CalPh_GetCo2ElectrodePh(uint32_t channel, float mv, float t, uint32_t* status) {
    return CalPh_PhFromMv(channel, mv, t, status);
}
float CalPh_GetCo2Percent(uint32_t, float, float, uint32_t*) { return 0.0f; }
float CalPh_GetCo2PartialPressure(uint32_t, float, float, uint32_t*) { return 0.0f; }
float CalPh_GetCo2Dissolved(uint32_t, float, float, uint32_t*) { return 0.0f; }
void CalPh_LoadCo2Settings(uint32_t, uint32_t, uint32_t* status) { *status = 0; }
float CalPh_GetCo2SlopeInUse(uint32_t channel) { return channel < 2 ? g_CalInUse[channel].co2.slope : 0.0f; }
float CalPh_GetCo2SlopeInUsePercent(uint32_t channel) { return CalPh_GetCo2SlopeInUse(channel) * 100.0f / 59.16f; }
float CalPh_GetCo2ZeroInUse(uint32_t channel) { return channel < 2 ? g_CalInUse[channel].co2.zero : 0.0f; }
float CalPh_ZeroPhToMvB(uint32_t channel, float ph) { return (ph - 7.0f) * CalPh_GetCo2SlopeInUse(channel); }
void CalPh_CaptureCo2Point(uint32_t, uint32_t, uint32_t, float, uint32_t* status) { *status = 2; }
float CalPh_GetCo2PointRef(uint32_t, uint32_t) { return 0.0f; }
void CalPh_SetCo2PointRef(uint32_t, uint32_t, float, uint32_t* status) { *status = 2; }
void CalPh_SetCo2PointValue(uint32_t, uint32_t, float, uint32_t* status) { *status = 2; }
float CalPh_GetCo2ProcessValue(uint32_t) { return 0.0f; }
void CalPh_CalibrateCo2(uint32_t, uint32_t, uint32_t* status) { *status = 2; }
void CalPh_CalibrateCo2Process(uint32_t, uint32_t* status) { *status = 2; }
void CalPh_StoreCo2Cal(uint32_t, uint32_t* status) { *status = kCo2NotStored; }
void CalPh_FillCo2DataSet(uint32_t, CalDataSetRecord*) {}
void CalPh_ApplyCo2DataSet(uint32_t, const CalDataSetRecord*, uint32_t* status) { *status = 2; }
void CalPh_SetCo2Salinity(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    if (channel < 2) g_SensorCal[channel].co2Salinity = value;
}
void CalPh_SetCo2Bicarbonate(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    if (channel < 2) g_SensorCal[channel].bicarbonate = value;
}

// ---- Conductivity: cell constant 1, no compensation ---------------------------------------
float CalCond_ApplyCalibration(uint32_t, float value, uint32_t*) { return value; }
float CalCond_Compensate(uint32_t, uint32_t, float, float value, uint32_t*) { return value; }
uint8_t CalCond_GetTempCompMode(uint32_t) { return 0; }
float CalCond_GetTempCompCoefficient(uint32_t) { return 0.02f; }
void CalCond_LoadSettings(uint32_t, uint32_t, uint32_t* status) { *status = 0; }
float CalCond_DivideByPolyA(float value, float, uint32_t*) { return value; }
float CalCond_DivideByPolyB(float value, float, uint32_t*) { return value; }
float Conc_FromCondUnit2(float, float, uint32_t*) { return 0.0f; }
float Conc_FromCondUnit3(float, float, uint32_t*) { return 0.0f; }
float Conc_FromCondUnit4(float, float, uint32_t*) { return 0.0f; }
float Conc_FromCondUnit5(float, float, uint32_t*) { return 0.0f; }
float Conc_FromCondUnit6(float, float, uint32_t*) { return 0.0f; }
float Conc_FromCondUnit7(float, float, uint32_t*) { return 0.0f; }
float Conc_FromCondUnit8(float, float, uint32_t*) { return 0.0f; }
float Conc_GetTdsUnit9(float, float, uint32_t*) { return 0.0f; }
float Conc_GetTdsUnit10(float, float, uint32_t*) { return 0.0f; }
void Conc_GetTableName(char* text) { std::memcpy(text, "       ", kConcNameSize); }
// No conductivity calibration yet: points cannot be taken, nothing is calibrated or stored.
uint8_t CalCond_GetRefTempMode(uint32_t) { return 0; }
float CalCond_GetRefCoefficient(uint32_t) { return 0.02f; }
float CalCond_GetPointValue(uint32_t, uint32_t) { return 0.0f; }
void CalCond_SetPointValue(uint32_t, uint32_t, float, uint32_t* status) { *status = 2; }
float CalCond_GetRawPointValue(uint32_t, uint32_t, uint32_t* status) {
    *status = 2;
    return 0.0f;
}
void CalCond_CaptureRawPoint(uint32_t, uint32_t, float, uint32_t* status) { *status = 2; }
void CalCond_CapturePoint(uint32_t, uint32_t, float, uint32_t* status) { *status = 2; }
void CalCond_CalibrateOnePoint(uint32_t, uint32_t* status) { *status = 2; }
void CalCond_CalibrateTwoPoint(uint32_t, uint32_t* status) { *status = 2; }
void CalCond_StoreCal(uint32_t, uint32_t* status) { *status = kPhNotStored; }
void CalCond_FillDataSet(uint32_t, CalDataSetRecord*) {}
void CalCond_ApplyDataSet(uint32_t, const CalDataSetRecord*, uint32_t* status) { *status = 2; }

// ---- Oxygen and the analog input --------------------------------------------------------------
float CalO2_ToSaturation(uint32_t, uint32_t, float, float, uint32_t*) { return 0.0f; }
float CalO2_ToUnit21(uint32_t, float, float, uint32_t*) { return 0.0f; }
float CalO2_ToUnit22(uint32_t, float, float, uint32_t*) { return 0.0f; }
float CalO2_ToConcentration(uint32_t, float, uint32_t*) { return 0.0f; }
void CalO2_LoadAll(uint32_t, uint32_t, uint32_t* status) { *status = 0; }
// The medium parameters in the calibration record, in RAM only; the analog input settings too.
static constexpr float kDefaultAnalogInputRange[2] = {0.0f, 2000.0f};
static uint8_t s_AnalogInputMode;
static float s_AnalogInputRange[2] = {kDefaultAnalogInputRange[0], kDefaultAnalogInputRange[1]};
float CalO2_GetProcPressure(uint32_t channel) { return channel < 2 ? g_SensorCal[channel].procPressure : 1013.0f; }
void CalO2_SetProcPressure(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    if (channel < 2) g_SensorCal[channel].procPressure = value;
}
void CalO2_SetCalPressure(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    CalO2_SetCalPressureRam(channel, value);
}
void CalO2_SetRelHumidity(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    CalO2_SetRelHumidityRam(channel, value);
}
void CalO2_SetCalPressureRam(uint32_t channel, float value) {
    if (channel < 2) g_SensorCal[channel].calPressure = value;
}
void CalO2_SetRelHumidityRam(uint32_t channel, float value) {
    if (channel < 2) g_SensorCal[channel].relHumidity = value;
}
void CalO2_SetPressureSourceRam(uint32_t channel, uint8_t source) {
    if (channel < 2) g_SensorCal[channel].pressureSource = source;
}
float CalO2_GetCalPressure(uint32_t channel) { return channel < 2 ? g_SensorCal[channel].calPressure : 1013.0f; }
float CalO2_GetRelHumidity(uint32_t channel) { return channel < 2 ? g_SensorCal[channel].relHumidity : 1.0f; }
void CalO2_ReloadChannel(uint32_t) {}
float CalO2_GetPressureForCal(uint32_t channel) { return CalO2_GetCalPressure(channel); }
// No oxygen calibration yet: points cannot be taken, nothing is calibrated or stored.
float CalO2_GetValueForCal(uint32_t, uint32_t, uint32_t* status) {
    *status = 2;
    return 0.0f;
}
float CalO2_ToUnitForCal(uint32_t, uint32_t, float, uint32_t* status) {
    *status = 2;
    return 0.0f;
}
float CalO2_ToSaturationForCal(uint32_t, uint32_t, uint32_t, float, uint32_t* status) {
    *status = 2;
    return 0.0f;
}
void CalO2_SetPointKind(uint32_t channel, uint32_t i, uint8_t kind) {
    if (channel < 2 && i < 2) g_CalInUse[channel].o2.pointKind[i] = kind;
}
void CalO2_SetPointCurrent(uint32_t channel, uint32_t i, float current) {
    if (channel < 2 && i < 2) g_CalInUse[channel].o2.pointCurrent[i] = current;
}
float CalO2_GetPointCurrent(uint32_t channel, uint32_t i) {
    return channel < 2 && i < 2 ? g_CalInUse[channel].o2.pointCurrent[i] : 0.0f;
}
void CalO2_CapturePoint(uint32_t, uint32_t, uint32_t, float, uint32_t* status) { *status = 2; }
void CalO2_Calibrate(uint32_t, uint32_t, uint32_t, uint32_t* status) { *status = 2; }
void CalO2_StoreCal(uint32_t, uint32_t* status) { *status = 2; }
void CalO2_FillDataSet(uint32_t, CalDataSetRecord*) {}
void CalO2_ApplyDataSet(uint32_t, const CalDataSetRecord*, uint32_t* status) { *status = 2; }
void CalO2_SetSalinity(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    if (channel < 2) g_SensorCal[channel].salinity = value;
}
float CalO2_GetSlopeInUseAtAir(uint32_t) { return 0.0f; }
float CalO2_GetZeroInUseMicro(uint32_t) { return 0.0f; }
// The limits a reload for the kind sets.
float CalO2_GetKind8Limit(uint32_t, uint32_t i) {
    static const float kLimits[6] = {-20000.0f, -60000.1f, 1000.0f, -1000.0f, 10.0f, -100000.0f};
    return i < 6 ? kLimits[i] : 0.0f;
}
uint8_t Meas_GetAnalogInputMode() { return s_AnalogInputMode; }
void Meas_SetAnalogInputMode(uint8_t mode, uint32_t* status) {
    *status = 0;
    s_AnalogInputMode = mode;
}
float Meas_GetAnalogInputRange(uint32_t i) { return i < 2 ? s_AnalogInputRange[i] : 0.0f; }
void Meas_SetAnalogInputRange(uint32_t i, float value, uint32_t* status) {
    *status = 0;
    if (i < 2) s_AnalogInputRange[i] = value;
}
float Meas_GetInputPressure(uint32_t) { return 0.0f; }
float Meas_GetO2ProcessPressure(uint32_t channel) { return CalO2_GetProcPressure(channel); }

// ---- Power-on ---------------------------------------------------------------------------------
void Placeholders_ResetState() {
    s_EditMeasLines = MeasLineConfig{};
    s_EditPidManual = 0;
    g_CurrentChannel = 0;
    for (uint32_t i = 0; i < 2; ++i) {
        s_AnalogInputRange[i] = kDefaultAnalogInputRange[i];
    }
    s_AnalogInputMode = 0;
    s_ApplySensorCal = 0;
    for (uint32_t i = 0; i < 2; ++i) s_MeasPolarization[i] = s_CalPolarization[i] = kFactoryPolarization;
}
