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
// Units of the electrode family: the ORP in V, and the glass, reference and pH/pNa second glass
// impedances at 25 C in ohm.
constexpr uint8_t kUnitOrpVolts = 15;
constexpr uint8_t kUnitGlassOhm = 16;
constexpr uint8_t kUnitReferenceOhm = 17;
constexpr uint8_t kUnitPnaGlassOhm = 18;

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

// The magnitude prefix a value is entered with: below 0.001 (after rounding at the sixth decimal)
// the value x 1e6 with prefix 2 (micro), below 1 (after rounding at the third decimal) x 1000
// with prefix 1 (milli), otherwise the value with prefix 0. A negative value counts as 0.
constexpr uint8_t kAutoPrefixNone = 0;
constexpr uint8_t kAutoPrefixMilli = 1;
constexpr uint8_t kAutoPrefixMicro = 2;
float Unit_AutoPrefix(float value, uint8_t* prefix);

float Unit_GetNoValue(uint32_t slot, uint32_t* status);
float Unit_GetTemperatureValue(uint32_t slot, uint32_t* status);
float Unit_GetCondValue(uint32_t slot, uint32_t* status);
float Unit_GetPhValue(uint32_t slot, uint32_t* status);
float Unit_GetCo2Value(uint32_t slot, uint32_t* status);
float Unit_GetO2Value(uint32_t slot, uint32_t* status);
float Unit_GetMiscValue(uint32_t slot, uint32_t* status);

// Electrode diagnostics by check code: 18 glass, 19 reference, 20 pH/pNa second glass (the
// impedance at 25 C against its reference: 71/72 and 81/82 the glass and reference warnings, 2
// above and 3 below the range); 200 and 201 the signal's range (channel A the primary value's
// status, channel B its range byte), 202 channel B's sensor alarm. Status 0 while the channel is
// not yet measuring and for other codes; 5 when the check does not apply at the present
// temperature. The value is not used: the record is read.
void Unit_CheckRangeByUnit(uint32_t channel, float value, uint32_t code, uint32_t* status);
// The impedance check of a code for an impedance at 25 C; 5 outside 0 to 50 C.
void Unit_CheckValueByUnit(uint32_t channel, uint32_t code, float value, uint32_t* status);
