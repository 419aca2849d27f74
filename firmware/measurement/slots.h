// Measurement slots and the update cycle: the four slots the display lines, outputs and set
// points read, each a channel and a unit with its filter, fed once per main-loop pass; and the
// measuring kind of each channel with the restarts a change brings.
#pragma once
#include <cstdint>

struct SlotValue {
    float value;
    uint32_t status;
};

constexpr uint32_t kSlotCount = 4;
// The measurement kind of a display line that shows nothing.
constexpr uint8_t kMeasNothingShown = 30;
constexpr uint8_t kUnitNone = 255;

extern uint8_t g_SlotUnit[kSlotCount];
extern uint8_t g_SlotChannel[kSlotCount];
extern uint8_t g_SlotUnitRow[kSlotCount];
extern uint8_t g_SlotPendingUnit[kSlotCount];
extern uint8_t g_SlotPendingChannel[kSlotCount];
extern SlotValue g_SlotValues[kSlotCount];

// Asks for a channel and unit on a slot; a changed slot of a measuring channel is computed at once.
// The measurement code and unit prefix shown on a display line (0..3), from the configured lines:
// a line's slot, that slot's kind (stored kinds above 54 show nothing) and prefix.
void Meas_GetLineUnit(uint32_t line, uint8_t* code, uint8_t* prefix);
void Meas_SetSlotAssignment(uint32_t slot, uint32_t channel, uint32_t unit);
// Takes over the pending unit and channel; 1 when they changed (the slot filter restarts).
uint32_t Meas_IsSlotChanged(uint32_t slot);
void Meas_LookUpSlotUnit(uint32_t slot);
// The slot's unfiltered value; a value that is not finite, or a status of 4 or more, gives 2.
float Meas_GetSlotRawValue(uint32_t slot, uint32_t* status);
// The slot's filtered value (a pressure unit: the pressure in that unit).
float Meas_GetSlotValue(uint32_t slot, uint32_t* status);
uint8_t Meas_GetSlotUnit(uint32_t slot);
// The slot's unit code and its display line's unit prefix.
void Meas_GetSlotUnit(uint32_t slot, uint8_t* code, uint8_t* prefix);
uint8_t Meas_GetSlotChannel(uint32_t slot);
uint8_t Meas_GetSlotUnitIndex(uint32_t slot);
uint8_t Meas_GetSlotPendingUnit(uint32_t slot);
uint8_t Meas_GetSlotPendingChannel(uint32_t slot);
void Meas_SetSlotUnit(uint32_t slot, uint8_t unit);
void Meas_SetSlotChannel(uint32_t slot, uint8_t channel);
void Meas_UpdateSlots(uint32_t channel);
// Once per main-loop pass: the slots of the active link channel follow its fresh reply.
void Meas_UpdateCycle();
void Meas_ResetSlots();
// The slots, pending assignments included, back to power-on.
void Meas_ResetSlotState();
void Meas_InitState();
void Meas_ResetChannel(uint32_t channel);
void Meas_SetMeasuringKind(uint32_t channel, uint16_t kind);
void Meas_LoadCalForKind(uint32_t channel, uint16_t kind);

// Clears 18 columns of row 11 from column 126 and draws "." (step 1), ".." (2) or "..." there.
void Meas_DrawStateMarker(uint32_t step);
