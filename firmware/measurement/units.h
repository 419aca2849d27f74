// Unit codes: their texts and the table that turns a measurement slot's unit into a value.
#pragma once
#include <cstdint>

constexpr uint32_t kUnitCodes = 54;
constexpr uint32_t kSlotUnitRows = 44;

// Pressure units a slot shows from the pressure source, not through the table's getter.
constexpr uint8_t kUnitPressureMbar = 48;
constexpr uint8_t kUnitPressureKpa = 50;
constexpr uint8_t kUnitPressureBar = 51;
constexpr uint8_t kUnitPressurePsi = 52;
constexpr uint8_t kUnitPressureMmHg = 53;

// Value of a slot's channel and unit, with its status.
typedef float (*SlotValueGetter)(uint32_t slot, uint32_t* status);

struct SlotUnitRow {
    uint32_t unit;
    float step;  // jump size that restarts the slot filter's adaptive averaging
    SlotValueGetter getter;
};

extern const char* const g_UnitTexts[kUnitCodes];
extern const SlotUnitRow g_SlotUnitTable[kSlotUnitRows];

// The text of a unit code; codes outside the table read as a blank.
const char* Unit_GetText(uint32_t unit);
// 1 for the pressure units 48 and 50 to 53.
uint32_t Unit_IsPressure(uint32_t unit);

float Unit_GetNoValue(uint32_t slot, uint32_t* status);
float Unit_GetTemperatureValue(uint32_t slot, uint32_t* status);
float Unit_GetCondValue(uint32_t slot, uint32_t* status);
float Unit_GetPhValue(uint32_t slot, uint32_t* status);
float Unit_GetCo2Value(uint32_t slot, uint32_t* status);
float Unit_GetO2Value(uint32_t slot, uint32_t* status);
float Unit_GetMiscValue(uint32_t slot, uint32_t* status);

// Diagnostic range check of a channel by check code (18 glass, 19 reference, 20 pNa glass
// resistance; 200 conductivity state, 201 cell deviation, 202 electrolyte): status 0 or 5 nothing
// to report, 2 above, 3 below the limits, 71/72 and 81/82 the glass and reference warnings.
void Unit_CheckRangeByUnit(uint32_t channel, float value, uint32_t code, uint32_t* status);
