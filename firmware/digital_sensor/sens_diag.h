// Digital sensor diagnostics: cycle counters, lifetime, maintenance and calibration timers.
#pragma once
#include <cstdint>

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
