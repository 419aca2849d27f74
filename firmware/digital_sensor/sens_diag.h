// Digital sensor diagnostics: cycle counters, lifetime, maintenance and calibration timers.
#pragma once
#include <cstdint>

struct ClockRecord;

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
// The six diagnostic output requests of channel B's sensor (1 = the alarm asks for its output).
extern uint8_t g_ChanOcAlarm[6];

// Enable word of the cycle alarms (bit 0 the cycle limits, bit 6 the lifetime reset page).
uint32_t SensDiag_GetCycleAlarmEnable();
// Once a second while plug-and-measure is idle.
void SensDiag_RunPeriodic();
void SensDiag_IncrementAutoclaveCount();
// The optical sensor's LED mode: the working set's choice written back, or kept in step.
void SensDiag_WriteOptLedMode();
void SensDiag_SyncOptLedMode(uint32_t channel);
void SensDiag_TickCycleDetectors(uint32_t channel);
void SensDiag_UpdateMaxTemperature(uint32_t channel);
void SensDiag_PublishIndicators(uint32_t channel);
void SensDiag_ClearSipDetectorState(uint32_t channel);
void SensDiag_ClearCipDetectorState(uint32_t channel);
void SensDiag_LoadSettings(uint32_t* status);
// Factory values of channel B's diagnostic settings, stored.
void SensDiag_DefaultSettings(uint32_t* status);
// Cycle and cycle-temperature limits of a channel's sensor, held and stored by the diagnostics.
void SensDiag_SetCipCycleLimit(uint32_t channel, uint32_t value, uint32_t* status);
void SensDiag_SetSipCycleLimit(uint32_t channel, uint32_t value, uint32_t* status);
void SensDiag_SetAutoclaveCycleLimit(uint32_t channel, uint32_t value, uint32_t* status);
void SensDiag_SetCipTempLimit(uint32_t channel, uint32_t value, uint32_t* status);
void SensDiag_SetSipTempLimit(uint32_t channel, uint32_t value, uint32_t* status);
// The stored intervals and the sensor's own kept equal when a sensor is taken over.
void SensDiag_SyncIntervals(uint32_t channel);
// The trace-oxygen limit set from a gauge sensor's image.
void SensDiag_ReadKind8Limits(uint32_t channel);
// The date of the sensor's highest temperature.
void SensDiag_GetMaxTemperatureDate(uint32_t channel, ClockRecord* date);
// Service actions on the sensor's counters and maintenance timer.
void SensDiag_RestartMaintTimer(uint32_t channel);
void SensDiag_ResetMaintTimer(uint32_t channel);
void SensDiag_ResetCipCount(uint32_t channel);
void SensDiag_ResetSipCount(uint32_t channel);
void SensDiag_ResetAutoclaveCount(uint32_t channel);
