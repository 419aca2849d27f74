// Digital sensor pages: identity, calibration data, timers, cycles, maximum temperature, set-up,
// calibration history and optical errors.
#pragma once
#include <cstdint>

void VdxPage_OpenCalHistory(uint32_t channel);
int32_t VdxPage_CalHistoryKey(uint32_t event);
void VdxPage_DrawSensorInfo(uint32_t item);
int32_t VdxPage_SensorInfoKey(uint32_t event);
void VdxPage_OpenCalData(uint32_t set, uint32_t channel);
int32_t VdxPage_CalDataKey(uint32_t event);
void VdxPage_DrawCycles(uint32_t counter, uint32_t channel);
void VdxPage_DrawTimers(uint32_t channel, uint32_t item);
int32_t VdxPage_TimersKey(uint32_t event);
void VdxPage_DrawMaxTemp();
int32_t VdxPage_MaxTempKey(uint32_t event);
void VdxPage_DrawSetup(uint32_t page, uint32_t mode);
int32_t VdxPage_SetupKey(uint32_t event);
void VdxPage_OpenOptErrors();
int32_t VdxPage_OptErrorsKey(uint32_t event);
