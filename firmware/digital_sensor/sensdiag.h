// Sensor diagnostics: cleaning and sterilisation cycles, maximum temperature, maintenance timers
// and the indicators the pages show.
#pragma once
#include <cstdint>

void SensDiag_TickCycleDetectors(uint32_t channel);
void SensDiag_UpdateMaxTemperature(uint32_t channel);
void SensDiag_PublishIndicators(uint32_t channel);
void SensDiag_ClearSipDetectorState(uint32_t channel);
void SensDiag_ClearCipDetectorState(uint32_t channel);
void SensDiag_LoadSettings(uint32_t* status);
