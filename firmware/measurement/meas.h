// Measurement slots and the update cycle.
#pragma once
#include <cstdint>

void Meas_UpdateCycle();
void Meas_DrawStateMarker(uint32_t step);
// The measurement code and unit prefix of a measurement slot.
void Meas_GetSlotUnit(uint32_t slot, uint8_t* code, uint8_t* prefix);
