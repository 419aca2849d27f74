// Measurement records, units, slots and the update cycle.
#pragma once
#include <cstdint>

// Sensor kind reported for a channel and kind in use (15 = not usable, 255 = none yet).
extern uint32_t g_SensorKindDetected[2];
extern uint32_t g_SensorKindActive[2];

// The text of each unit code (display font: "@" degree, "^" ohm).
constexpr uint32_t kUnitTextCount = 54;
extern const char* const g_UnitTexts[kUnitTextCount];

void Meas_UpdateCycle();
void Meas_DrawStateMarker(uint32_t step);
// The measurement code and unit prefix of a measurement slot.
void Meas_GetSlotUnit(uint32_t slot, uint8_t* code, uint8_t* prefix);
// The slot's filtered value; status 0 valid, 2 over range or none, 3 under range.
float Meas_GetSlotValue(uint32_t slot, uint32_t* status);
