// Digital sensor diagnostics of channel B: CIP, SIP and autoclave cycle counters with the
// temperature detectors that count them, operating time, lifetime, time to maintenance and the
// adaptive calibration timer, the maximum temperature, their settings, the indicators the pages
// show, the alarms they raise, and the settings exchanged with a sensor that is taken over.
#pragma once
#include <cstdint>

struct ClockRecord;
struct StoreMap;

// Published indicators of channel B.
constexpr uint32_t kDiagLifetimeDays = 0;
constexpr uint32_t kDiagTtmDays = 1;
constexpr uint32_t kDiagActDays = 2;
constexpr uint32_t kDiagCipCount = 3;
constexpr uint32_t kDiagSipCount = 4;
constexpr uint32_t kDiagOperatingDays = 5;
constexpr uint32_t kDiagMaxTemperature = 6;
constexpr uint32_t kDiagSpare = 7;
constexpr uint32_t kDiagAutoclaveCount = 8;
extern float g_DiagIndicators[9];
// Set when the indicators changed: the diagnostics and the optical sensor's errors are judged again.
constexpr uint32_t kSensorSaveDiagnostics = 0;
constexpr uint32_t kSensorSaveOpticalErrors = 1;
extern uint8_t g_SensorSaveFlags[2];

// The six alarms: the three cycle counters, then lifetime, time to maintenance and the adaptive
// calibration timer. Their output requests (1 = the alarm asks for its output).
constexpr uint32_t kDiagAlarmCip = 0;
constexpr uint32_t kDiagAlarmSip = 1;
constexpr uint32_t kDiagAlarmAutoclave = 2;
constexpr uint32_t kDiagAlarmLifetime = 3;
constexpr uint32_t kDiagAlarmTtm = 4;
constexpr uint32_t kDiagAlarmAct = 5;
constexpr uint32_t kDiagAlarms = 6;
extern uint8_t g_ChanOcAlarm[kDiagAlarms];
// Settings of each alarm: message only (no flag, no output), its output (relay 0 or 1, 2 none)
// and, for the three timers, off. The cycle-counter settings module keeps them.
struct SensDiagAlarmSetting {
    uint8_t messageOnly;
    uint8_t output;
    uint8_t off;
};
extern SensDiagAlarmSetting g_SensDiagAlarms[kDiagAlarms];
// Enable word: 0x01 CIP, 0x02 SIP, 0x04 autoclave, 0x08 time to maintenance, 0x10 calibration
// timer, 0x20 lifetime; 0x40 marks the lifetime reset page of the optical sensor.
constexpr uint32_t kDiagEnableCip = 0x01;
constexpr uint32_t kDiagEnableSip = 0x02;
constexpr uint32_t kDiagEnableAutoclave = 0x04;
constexpr uint32_t kDiagEnableTtm = 0x08;
constexpr uint32_t kDiagEnableAct = 0x10;
constexpr uint32_t kDiagEnableLifetime = 0x20;
extern uint32_t g_CycleAlarmEnable;
uint32_t SensDiag_GetCycleAlarmEnable();

// Transmitter settings of the channels' sensors (channel B's in use).
struct SensDiagSettings {
    uint8_t cipLimit;  // cycles, below 255
    uint8_t sipLimit;
    uint8_t autoclaveLimit;
    uint8_t cipTemp;       // whole degrees C, 30..100
    uint8_t sipTemp;       // 90..130
    uint32_t ttmInterval;  // 0.1 days (optical sensor: register units)
    uint32_t actInterval;  // hours (optical sensor: register units)
};
extern SensDiagSettings g_SensDiagSettings[2];
extern const StoreMap g_SensDiagStoreMap;

// Counters, settings, detectors and indicators back to power-on.
void SensDiag_ResetState();

// ---- Counters -----------------------------------------------------------------------------------
void SensDiag_IncrementSipCount(uint32_t channel);
void SensDiag_IncrementCipCount(uint32_t channel);
void SensDiag_DecrementCipCount(uint32_t channel);
void SensDiag_IncrementAutoclaveCount(uint32_t channel);
uint32_t SensDiag_GetSipCount(uint32_t channel);
uint32_t SensDiag_GetCipCount(uint32_t channel);
uint32_t SensDiag_GetAutoclaveCount(uint32_t channel);
void SensDiag_ResetSipCount(uint32_t channel);
void SensDiag_ResetCipCount(uint32_t channel);
void SensDiag_ResetAutoclaveCount(uint32_t channel);

// ---- Detectors (one measurement reply each) ----------------------------------------------------
void SensDiag_TickCycleDetectors(uint32_t channel);
void SensDiag_TickCipDetector(uint32_t channel, float temperature);
void SensDiag_TickSipDetector(uint32_t channel, float temperature);
void SensDiag_ResetCipDetector(uint32_t channel);
void SensDiag_ResetSipDetector(uint32_t channel);
void SensDiag_ClearCipDetectorState(uint32_t channel);
void SensDiag_ClearSipDetectorState(uint32_t channel);

// ---- Settings -----------------------------------------------------------------------------------
void SensDiag_SetCipCycleLimit(uint32_t channel, uint32_t value, uint32_t* status);
void SensDiag_SetSipCycleLimit(uint32_t channel, uint32_t value, uint32_t* status);
void SensDiag_SetAutoclaveCycleLimit(uint32_t channel, uint32_t value, uint32_t* status);
void SensDiag_SetCipTempLimit(uint32_t channel, float value, uint32_t* status);
void SensDiag_SetSipTempLimit(uint32_t channel, float value, uint32_t* status);
// A command-protocol sensor's cycle limits (registers 2, 1, 3) and the whole degrees of its CIP and
// SIP temperature limits become the channel's settings, stored; the sensor is told nothing, as
// the values are its own. status: the store's.
void SensDiag_TakeSensorCycleSettings(uint32_t channel, uint32_t* status);
float SensDiag_GetCipTempLimit(uint32_t channel);
float SensDiag_GetSipTempLimit(uint32_t channel);
// The optical sensor's S133 setting (the S133 value in thousandths), kept with the calibration
// settings.
void SensDiag_StoreS133Setting(uint8_t value, uint32_t* status);
uint32_t SensDiag_GetCipCycleLimit(uint32_t channel);
uint32_t SensDiag_GetSipCycleLimit(uint32_t channel);
uint32_t SensDiag_GetAutoclaveCycleLimit(uint32_t channel);
// Power-up: kinds unknown, channel B's settings from the store (defaults where unreadable or
// invalid), the detectors on where their limits are.
void SensDiag_LoadSettings(uint32_t* status);
void SensDiag_DefaultSettings(uint32_t* status);

// ---- Timers -------------------------------------------------------------------------------------
float SensDiag_GetLifetimeDays(uint32_t channel);
float SensDiag_GetTimeToMaintDays(uint32_t channel);
float SensDiag_GetActDays(uint32_t channel);
float SensDiag_GetOperatingDays(uint32_t channel);
// Percent 0..100 for the pages.
float SensDiag_CalcLifetimePercent(uint32_t channel);
float SensDiag_CalcTimeToMaintPercent(uint32_t channel);
float SensDiag_CalcActPercent(uint32_t channel);
// The intervals in days.
float SensDiag_GetMaintInterval(uint32_t channel);
float SensDiag_GetActInterval(uint32_t channel);
void SensDiag_SetMaintInterval(uint32_t channel, float days);
void SensDiag_SetActInterval(uint32_t channel, float days);
// Both maintenance intervals (time to maintenance and adaptive calibration) 0 and stored, whatever
// the sensor's layout: the sensor adopted next brings its own.
void SensDiag_ClearIntervals(uint32_t channel);
void SensDiag_RestartAct(uint32_t channel);
void SensDiag_RestartMaintTimer(uint32_t channel);
void SensDiag_ResetMaintTimer(uint32_t channel);
void SensDiag_SyncActInterval(uint32_t channel);
void SensDiag_SyncMaintInterval(uint32_t channel);
void SensDiag_SyncIntervals(uint32_t channel);
// After the sensor refused a write, before an adoption's synchronisation: an interval setting the
// sensor's field does not hold gives way to the field.
void SensDiag_YieldIntervalsToSensor(uint32_t channel);
// The interval settings (tenths of a day, hours) put back into use and the store; the sensor's
// fields are not touched.
void SensDiag_PutIntervalSettings(uint32_t channel, uint32_t ttmTenths, uint32_t actHours, uint32_t* status);

// ---- Temperature --------------------------------------------------------------------------------
float SensDiag_GetMaxTemperature(uint32_t channel);
// The date of the maximum (2008-01-01 when the sensor holds none).
void SensDiag_GetMaxTemperatureDate(uint32_t channel, ClockRecord* date);
void SensDiag_UpdateMaxTemperature(uint32_t channel);
// The gauge sensor's (kind 8) limit set from its image into the channel's oxygen limit set: the
// enable flag, slope and zero bounds, and the signal bounds (high, then low).
void SensDiag_ReadKind8Limits(uint32_t channel);

// ---- Publishing and alarms -----------------------------------------------------------------------
void SensDiag_PublishIndicators(uint32_t channel);
void SensDiag_EvalAlarms();
// Once a second while plug-and-measure is idle and channel B is shown.
void SensDiag_RunPeriodic();
