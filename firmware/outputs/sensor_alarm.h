// Electrode diagnostics evaluation and the resistance pages.
#pragma once
#include <cstdint>

void SensorAlarm_EvalGlassRes(uint32_t channel);
void SensorAlarm_EvalRefRes(uint32_t channel);
void SensorAlarm_EvalPnaGlassRes(uint32_t channel);
void SensorAlarm_EvalDryCond(uint32_t channel);
void SensorAlarm_EvalCellShorted(uint32_t channel);
void SensorAlarm_EvalCellDeviation(uint32_t channel);
void SensorAlarm_EvalElectrolyteLow(uint32_t channel);
// which 0 = glass, 1 = reference.
void SensorAlarm_ClearAll(uint32_t which, uint32_t channel);
void SensorAlarm_ClearDryCond(uint32_t channel);
void SensorAlarm_ClearCellShorted(uint32_t channel);
void SensorAlarm_ClearCellDeviation(uint32_t channel);
void SensorAlarm_ClearElectrolyteLow(uint32_t channel);
void SensorAlarm_DrawGlassResPage(uint32_t channel);
void SensorAlarm_DrawPnaGlassResPage(uint32_t channel);
void SensorAlarm_DrawRefResPage(uint32_t channel);
