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
#include "core/util.h"
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
// ENTER leads to output 1's damping, as the hold value page does for output 1.
int32_t Screen_AoutMaKey(uint32_t event) { return event == kEventEnter ? 4087 : -1; }
void Screen_PidModeDraw(uint32_t) {}
int32_t Screen_PidModeKey(uint32_t event) { return PageNotWrittenKey(event); }
void Screen_PidTuneDraw(uint32_t) {}
// ENTER leads to the PID set point and dead band, as the tuning page does.
int32_t Screen_PidTuneKey(uint32_t event) { return event == kEventEnter ? 4146 : -1; }
void Screen_PidLimitsDraw(uint32_t, uint32_t) {}
int32_t Screen_PidLimitsKey(uint32_t, uint32_t event) { return PageNotWrittenKey(event); }
int32_t Screen_PidManualKey(uint32_t, int32_t) { return kActionPidUnchanged; }

// ---- Measurement ----------------------------------------------------------------------------
void MeterCal_CheckSignalRange(float, uint32_t* status) { *status = 0; }
void MeterCal_CheckPositiveRange(float, uint32_t* status) { *status = 0; }

// ---- Calibration data sets ------------------------------------------------------------------
void Cal_ClearDataSetSensorFlag(uint32_t) {}
// A sensor's memory holds no calibration data set yet, and none is written.
uint32_t SensMem_ReadCalDataSet(uint32_t, uint32_t, CalDataSetRecord*) { return 0; }
void SensMem_StoreCalibration(uint32_t, const CalDataSetRecord*) {}
void SensMem_StoreCalHistory(uint32_t, const CalDataSetRecord*) {}
void SensMem_StoreSlopeCopy(uint32_t) {}
void SensMem_StoreSlope(uint32_t) {}

// ---- Measurement store modules still to come ----------------------------------------------------
// Their factory values and loads keep what the firmware holds at power-on.
void SensDiag_DefaultSettings(uint32_t* status) { *status = 0; }
void SensMem_LoadSlope(uint32_t) {}
void SensMem_LoadCo2Params(uint32_t) {}
int32_t SensMem_GetPolarizationVoltage(uint32_t) { return -674; }
void SensMem_StorePolarizationOffset(uint32_t, int32_t) {}
void SensMem_StoreCo2Salinity(uint32_t, float) {}
void SensMem_StoreCo2Bicarbonate(uint32_t, float) {}

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
// The cycle and temperature limits are not held yet; the intervals are not synchronised.
void SensDiag_SetCipCycleLimit(uint32_t, uint32_t, uint32_t* status) { *status = 0; }
void SensDiag_SetSipCycleLimit(uint32_t, uint32_t, uint32_t* status) { *status = 0; }
void SensDiag_SetAutoclaveCycleLimit(uint32_t, uint32_t, uint32_t* status) { *status = 0; }
void SensDiag_SetCipTempLimit(uint32_t, uint32_t, uint32_t* status) { *status = 0; }
void SensDiag_SetSipTempLimit(uint32_t, uint32_t, uint32_t* status) { *status = 0; }
void SensDiag_SyncIntervals(uint32_t) {}
// The sensor's maintenance and calibration intervals, in memory only.
static float s_MaintInterval[2];
static float s_ActInterval[2];
float SensDiag_GetMaintInterval(uint32_t channel) { return channel < 2 ? s_MaintInterval[channel] : 0.0f; }
float SensDiag_GetActInterval(uint32_t channel) { return channel < 2 ? s_ActInterval[channel] : 0.0f; }
void SensDiag_SetMaintInterval(uint32_t channel, float days) {
    if (channel < 2) s_MaintInterval[channel] = days;
}
void SensDiag_SetActInterval(uint32_t channel, float days) {
    if (channel < 2) s_ActInterval[channel] = days;
}
void SensDiag_ReadKind8Limits(uint32_t) {}
void SensDiag_GetMaxTemperatureDate(uint32_t, ClockRecord* date) { *date = ClockRecord{2008, 1, 1, 0, 0, 0, 0}; }
void SensDiag_RestartMaintTimer(uint32_t) {}
void SensDiag_ResetMaintTimer(uint32_t) {}
void SensDiag_ResetCipCount(uint32_t) {}
void SensDiag_ResetSipCount(uint32_t) {}
void SensDiag_ResetAutoclaveCount(uint32_t) {}
// The channel configuration: the kinds, the selected channel and the measurement lines with their
// load checks, so that the lines persist; the serial numbers, loaded and auto-configure flags and
// the line set-up copy are not kept.
static constexpr uint32_t kStoreSelectedChannel = 122;
static constexpr uint32_t kStoreMeasLines = 1200;
static constexpr uint32_t kMeasLinesBytes = 20;
static constexpr uint8_t kLineQuantityLast = 54;
// The factory layout: pH and temperature of channel A on the big lines, nothing on the small ones.
static constexpr MeasLineConfig kFactoryLines = {
    {0, 0, 0, 0}, {13, 11, 30, 30}, {10, 10, 10, 10}, {0, 1, 2, 3}, {2, 1, 3, 3}};
MeasLineConfig g_MeasLines = kFactoryLines;
uint32_t g_SensorSecondId[2];
static_assert(sizeof(MeasLineConfig) == kMeasLinesBytes, "the lines are stored as they lie");

static void SaveModelNumber(uint32_t channel, uint32_t* status) {
    uint32_t n = g_ChannelSensorId[channel];
    uint8_t bytes[4] = {static_cast<uint8_t>(n), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n >> 16),
                        static_cast<uint8_t>(n >> 24)};
    Eeprom_WriteChecked(kStoreSensorModel + 4 * channel, bytes, 4, status);
}
void Vdx_SaveModelNumber(uint32_t channel) {
    uint32_t status = 0;
    if (channel < 2) SaveModelNumber(channel, &status);
}
void Vdx_SaveSerialNumber(uint32_t) {}
void Vdx_ReadSensorSetup() {}
void Vdx_DefaultChannelConfig(uint32_t both, uint32_t* status) {
    uint32_t s = 0;
    *status = 0;
    for (uint32_t channel = 0; channel < (both ? 2u : 1u); ++channel) {
        g_ChannelKind[channel] = 1;
        g_ChannelSensorId[channel] = kDefaultSensorModel;
        Eeprom_WriteChecked(kStoreChannelKinds + channel, &g_ChannelKind[channel], 1, &s);
        if (s != 0) *status = s;
        SaveModelNumber(channel, &s);
        if (s != 0) *status = s;
    }
    g_MeasLines = kFactoryLines;
    Eeprom_WriteChecked(kStoreMeasLines, &g_MeasLines, kMeasLinesBytes, &s);
    if (s != 0) *status = s;
    g_CurrentChannel = 0;
    Eeprom_WriteChecked(kStoreSelectedChannel, &g_CurrentChannel, 1, &s);
    if (s != 0) *status = s;
}
void Vdx_LoadChannelConfig(uint32_t* status) {
    *status = 0;
    uint8_t bytes[8];
    uint32_t s = 0;
    Eeprom_Read(kStoreSensorModel, bytes, 8, &s);
    for (uint32_t channel = 0; channel < 2; ++channel) {
        const uint8_t* b = bytes + 4 * channel;
        g_ChannelSensorId[channel] =
            s == 0 ? (b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24) : kDefaultSensorModel;
    }
    Fw_LoadChannelTypes();
    uint8_t selected = 0;
    Eeprom_Read(kStoreSelectedChannel, &selected, 1, &s);
    g_CurrentChannel = s == 0 && selected <= 1 ? selected : 0;
    Cal_SelectMeasurement(2, 0);
    MeasLineConfig lines = kFactoryLines;
    Eeprom_Read(kStoreMeasLines, &lines, kMeasLinesBytes, &s);
    if (s != 0) lines = kFactoryLines;
    for (uint32_t slot = 0; slot < 4; ++slot) {
        if (lines.channel[slot] >= 2) lines.channel[slot] = 0;
        if (lines.kind[slot] > kLineQuantityLast) lines.kind[slot] = kMeasNothingShown;
        Meas_SetSlotAssignment(slot, lines.channel[slot], lines.kind[slot]);
    }
    g_MeasLines = lines;
    *status = s;
}
void Vdx_SaveChannelConfig(uint32_t* status) {
    uint32_t s = 0;
    *status = 0;
    Eeprom_WriteChecked(kStoreSelectedChannel, &g_CurrentChannel, 1, &s);
    if (s != 0) *status = s;
    Eeprom_WriteChecked(kStoreMeasLines, &g_MeasLines, kMeasLinesBytes, &s);
    if (s != 0) *status = s;
    uint8_t channel = g_CurrentChannel < 2 ? g_CurrentChannel : 0;
    Eeprom_WriteChecked(kStoreChannelKinds + channel, &g_ChannelKind[channel], 1, &s);
    if (s != 0) *status = s;
}
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
    g_SensorSecondId[0] = g_SensorSecondId[1] = 0;
    for (uint32_t i = 0; i < 2; ++i) {
        g_SensorPlugged[i] = 0;
        g_SensorSaveFlags[i] = 0;
    }
    for (uint8_t& request : g_ChanOcAlarm) request = 0;
    for (float& indicator : g_DiagIndicators) indicator = 0.0f;
    g_MeasLines = kFactoryLines;
    for (uint32_t i = 0; i < 2; ++i) s_MaintInterval[i] = s_ActInterval[i] = 0.0f;
}
