// Stand-ins for modules that are not written yet. Each does the least that keeps start-up and
// the main loop running, and goes away when its module arrives.
#include "core/fw_main.h"
#include "core/link.h"
#include "core/settings.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/concentration.h"
#include "measurement/conductivity.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/temperature.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/meter_cal.h"
#include "ui/screens.h"

// ---- Settings modules -----------------------------------------------------------------------
void Settings_InitComm() {}
// The loaders that exist run; the others keep their defaults.
void Settings_LoadMeasurementStore(uint32_t* status) {
    Temp_LoadSettings(status);
    Temp_LoadAll(status);
    Filter_LoadModes(status);
    Meas_InitState();
    Link_Reset();
    *status = 0;
}
void Settings_LoadAll(uint32_t* status) { Vdx_LoadChannelConfig(status); }

// ---- Messages and outputs -------------------------------------------------------------------
// Active codes are only listed, so that raising and clearing can be seen.
uint16_t g_MsgActive[kMsgListSize];
uint8_t g_MsgActiveCount;
void Msg_ClearAll() { g_MsgActiveCount = 0; }
void Msg_Raise(uint16_t code) {
    for (uint8_t i = 0; i < g_MsgActiveCount; ++i) {
        if (g_MsgActive[i] == code) return;
    }
    if (g_MsgActiveCount < kMsgListSize - 1) g_MsgActive[g_MsgActiveCount++] = code;
}
void Msg_Clear(uint16_t code) {
    uint8_t kept = 0;
    for (uint8_t i = 0; i < g_MsgActiveCount; ++i) {
        if (g_MsgActive[i] != code) g_MsgActive[kept++] = g_MsgActive[i];
    }
    g_MsgActiveCount = kept;
}
void Msg_ResetChannel(uint32_t) {}
void Alarm_ClearAllCauses() {}
uint32_t Hold_IsOutputHoldActive() { return 0; }
uint32_t Aout_GetDamping() { return 1; }

// ---- Menu engine and screens ----------------------------------------------------------------
uint8_t g_MenuStack[kMenuStackSize];
uint32_t g_MenuDepth = 1;
uint8_t g_MenuPositionPending;
uint8_t g_EditFlags[8];
uint8_t g_ChosenMode;
void Menu_ResetStack() {
    g_MenuStack[0] = 0;
    g_MenuDepth = 1;
}
uint8_t Menu_TopScreen() { return g_MenuDepth >= 1 && g_MenuDepth <= kMenuStackSize ? g_MenuStack[g_MenuDepth - 1] : 0; }
uint32_t Menu_EventAllowed(uint32_t) { return 1; }
int32_t Menu_HandleEvent(uint8_t, uint32_t) { return -1; }
void Menu_EndChannelHoldIfActive() {}
uint32_t Menu_IsChannelHeld() { return 0; }
void Home_DrawChannelHoldMarks(uint32_t) {}
void Home_BlinkHoldMark(uint32_t) {}
void Home_BlinkChannelLetter(uint32_t) {}
void Home_GetLineUnit(uint32_t, uint8_t* code, uint8_t* prefix) {
    *code = 0;
    *prefix = 0;
}
void Screen_EndTimedHold() {}

// ---- Measurement ----------------------------------------------------------------------------
void Meas_DrawStateMarker(uint32_t) {}
uint32_t Chan_GetLinkState() { return 255; }
uint8_t Chan_GetCurrentChannel() { return 0; }
uint8_t g_SensorParamSavePending;
uint8_t Chan_GetBRecordByte74() { return 0; }
void MeterCal_CheckSignalRange(float, uint32_t* status) { *status = 0; }
void MeterCal_CheckPositiveRange(float, uint32_t* status) { *status = 0; }

// ---- Calibration by measurement id ----------------------------------------------------------
CalTracking g_CalTracking;
uint8_t g_CalSettingsEdited;
uint32_t Cal_IsSelectionActive() { return 0; }
void Cal_UpdateTrackedValue(uint32_t) {}
// Ending a selection puts both channels on their configured kinds and measures channel A.
void Cal_SelectMeasurement(uint32_t, uint32_t) {
    for (uint32_t channel = 0; channel < 2; ++channel) Meas_SetMeasuringKind(channel, g_ChannelKind[channel]);
    Link_SetMeasureMode(0, g_ChannelKind[0]);
}
void Cal_ClearDataSetSensorFlag(uint32_t) {}
void Meas_SetValueCache(uint32_t, float, uint32_t) {}

// ---- pH, ORP and CO2: values at the factory calibration ------------------------------------
float CalPh_PhFromMv(uint32_t, float mv, float t, uint32_t*) { return 7.0f - mv / (54.2f + 0.1984f * t); }
float CalPh_GetOrpOffset(uint32_t) { return 0.0f; }
uint8_t CalPh_GetStcMode(uint32_t) { return 1; }
float CalPh_GetStcCoefficient(uint32_t) { return 0.0f; }
float CalPh_GetStcRefTemp(uint32_t) { return 25.0f; }
void CalPh_LoadChannel(uint32_t, uint32_t, uint32_t* status) { *status = 0; }
void CalPh_SetIsoPoint(uint32_t, float, uint32_t* status) { *status = 0; }
void CalPh_LimitBufferSetTo0Or8(uint32_t, uint32_t* status) { *status = 0; }
float CalPh_GetCo2ElectrodePh(uint32_t channel, float mv, float t, uint32_t* status) {
    return CalPh_PhFromMv(channel, mv, t, status);
}
float CalPh_GetCo2Percent(uint32_t, float, float, uint32_t*) { return 0.0f; }
float CalPh_GetCo2PartialPressure(uint32_t, float, float, uint32_t*) { return 0.0f; }
float CalPh_GetCo2Dissolved(uint32_t, float, float, uint32_t*) { return 0.0f; }
void CalPh_LoadCo2Settings(uint32_t, uint32_t, uint32_t* status) { *status = 0; }

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

// ---- Oxygen and the analog input --------------------------------------------------------------
float CalO2_ToSaturation(uint32_t, uint32_t, float, float, uint32_t*) { return 0.0f; }
float CalO2_ToUnit21(uint32_t, float, float, uint32_t*) { return 0.0f; }
float CalO2_ToUnit22(uint32_t, float, float, uint32_t*) { return 0.0f; }
float CalO2_ToConcentration(uint32_t, float, uint32_t*) { return 0.0f; }
void CalO2_LoadAll(uint32_t, uint32_t, uint32_t* status) { *status = 0; }
// Process pressure and analog input settings in RAM only, at their defaults.
static float s_ProcPressure[2] = {1013.0f, 1013.0f};
static uint8_t s_AnalogInputMode;
static float s_AnalogInputRange[2] = {0.0f, 2000.0f};
float CalO2_GetProcPressure(uint32_t channel) { return channel < 2 ? s_ProcPressure[channel] : 1013.0f; }
void CalO2_SetProcPressure(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    if (channel < 2) s_ProcPressure[channel] = value;
}
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

// ---- Digital sensor -------------------------------------------------------------------------
float g_DiagIndicators[9];
uint8_t g_SensorProtoFlag[2];
void Vdx_InitPlugMachine() {}
void Vdx_ReportAutoclaveSave() {}
void Vdx_RaiseWrongSensor(uint32_t) {}
void Vdx_ClearWrongSensor(uint32_t) {}
void Vdx_UpdateDisconnectedB(uint32_t) {}
uint8_t g_SensorPlugged[2];
void Vdx_DecodeSensorFamily(uint32_t) {}
uint32_t Vdx_CheckSensorOption(uint32_t) { return 0; }
void Vdx_RaiseCommError() { Msg_Raise(100); }
void Vdx_ClearCommError() { Msg_Clear(100); }
uint8_t g_SensorMemImage[2][kSensorImageBytes];
uint8_t g_SensorImageValid[2];
uint32_t SensMem_GetWriteTime(uint32_t) { return 0; }
uint32_t SensCmd_BuildRequest(uint32_t, uint32_t, uint8_t*, uint8_t*) { return 0; }
uint32_t SensCmd_HandleReply(uint32_t, uint32_t, const uint8_t*, uint32_t) { return 0; }
void SensDiag_TickCycleDetectors(uint32_t) {}
void SensDiag_UpdateMaxTemperature(uint32_t) {}
void SensDiag_PublishIndicators(uint32_t) {}
void SensDiag_ClearSipDetectorState(uint32_t) {}
void SensDiag_ClearCipDetectorState(uint32_t) {}
void SensDiag_LoadSettings(uint32_t* status) { *status = 0; }
// The stored kinds and the default measurement lines: pH, temperature and two empty lines, all
// on channel A.
void Vdx_LoadChannelConfig(uint32_t* status) {
    static const uint8_t kLineUnits[4] = {13, 11, 30, 30};
    Fw_LoadChannelTypes();
    Cal_SelectMeasurement(2, 0);
    for (uint32_t slot = 0; slot < 4; ++slot) Meas_SetSlotAssignment(slot, 0, kLineUnits[slot]);
    *status = 0;
}
