// Measurement slots and the update cycle.
#pragma once
#include <cstdint>

// Measuring kind per channel (1 pH/ORP ... 10 CO2, 255 none).
extern uint16_t g_MeasuringKind[2];

void Meas_UpdateCycle();
void Meas_DrawStateMarker(uint32_t step);
// The measurement code and unit prefix of a measurement slot.
void Meas_GetSlotUnit(uint32_t slot, uint8_t* code, uint8_t* prefix);
// The link reset a channel: its record, filters, slots and messages start over.
void Meas_ResetChannel(uint32_t channel);
// Scales the analog input of the channel onto its configured range (after every reply).
void Meas_UpdateInputPressure(uint32_t channel);

// What the link does to a channel's measurement record around a reply.
// Every field of the record to zero.
void Meas_ClearRecord(uint32_t channel);
// The record's analog input current from the panel's analog input.
void Meas_TakeInputCurrent(uint32_t channel);
// The record's temperature range-checked by measuring kind into its temperature status.
void Meas_CheckRecordTemperature(uint32_t channel);
