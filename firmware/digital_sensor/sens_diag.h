// Sensor diagnostics of the digital sensor: cycles, lifetime, maintenance and calibration timers.
#pragma once
#include <cstdint>

// Enable word of the cycle alarms (bit 0 the cycle limits, bit 6 the lifetime reset page).
uint32_t SensDiag_GetCycleAlarmEnable();
// Once a second while plug-and-measure is idle.
void SensDiag_RunPeriodic();
void SensDiag_IncrementAutoclaveCount();
// The optical sensor's LED mode: the working set's choice written back, or kept in step.
void SensDiag_WriteOptLedMode();
void SensDiag_SyncOptLedMode(uint32_t channel);
float SensDiag_GetLifetimeDays();
float SensDiag_GetTimeToMaintDays();
float SensDiag_GetActDays();
float SensDiag_GetOperatingDays();
