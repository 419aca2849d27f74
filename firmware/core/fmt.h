// Display number rules: decimals by unit, resolution classes, unit prefixes and the table of
// value limits per measurement code and prefix.
#pragma once
#include <cstdint>

// One row of the limit table.
struct UnitLimitRow {
    uint8_t code;
    uint8_t prefix;
    uint8_t indexByte;
    uint8_t spare;
    uint32_t reserved;
    float lower;
    float upper;
    float step;
};

constexpr uint32_t kUnitLimitRows = 50;
extern const UnitLimitRow g_UnitLimitTable[kUnitLimitRows];

// Unit prefix indexes.
constexpr uint8_t kPrefixAuto = 0;
constexpr uint8_t kPrefixNano = 1;
constexpr uint8_t kPrefixMicro = 2;
constexpr uint8_t kPrefixMilli = 3;
constexpr uint8_t kPrefixMega = 4;
constexpr uint8_t kPrefixKilo = 5;
constexpr uint8_t kPrefixNone = 10;
constexpr uint8_t kPrefixUnits = 11;

uint32_t Fmt_DecimalsByUnit(uint32_t unit);
uint32_t Fmt_ResolutionClass(uint32_t code, uint32_t mode);
float Fmt_RoundDecimals(float value, uint32_t digits);
// The factor from the base value to the shown value of a prefix (1.0 outside the table).
float Fmt_PrefixFactor(uint32_t prefix);
// direction 0 multiplies by the prefix factor, 1 divides; prefix 10 leaves the value.
float Fmt_ConvertUnit(uint32_t direction, float value, uint32_t prefix);
float Fmt_ScaleMicroMilli(float value, uint8_t* prefix);
float Fmt_ScaleKiloMega(float value, uint8_t* prefix);
float Fmt_ValueWithPrefix(float value, uint8_t* prefix);
// Position of a measurement code in the unit list of a channel kind (0 when absent).
uint32_t Fmt_UnitIndexInList(uint32_t list, uint32_t unit);
// Length of a channel kind's unit list (0 for a list outside the table) and its entry at index.
uint32_t Fmt_UnitListLength(uint32_t list);
uint8_t Fmt_UnitAt(uint32_t list, uint32_t index);
// The symbol a unit prefix draws before the unit ("m", "ppm", a blank for "Units"); nullptr for a
// prefix that draws nothing.
const char* Fmt_PrefixSymbol(uint32_t prefix);
void Fmt_DrawUnitString(uint32_t row, uint32_t column, uint32_t blink, uint32_t prefix);
// The row index of (code, prefix) in the limit table, or kUnitLimitRows when none matches.
uint32_t Fmt_FindLimitRow(uint32_t code, uint32_t prefix);
// Keeps, for a measurement line (0..3) that shows this code with this prefix, the limit row of
// the two and that row's index byte.
void Fmt_FindLineUnitRow(uint32_t line, uint8_t code, uint8_t prefix);
extern uint8_t g_LineUnitRow[4];
extern uint8_t g_LineUnitIndexByte[4];
// Back to the state at power-on (tests run many starts in one process).
void Fmt_ResetState();
// For a slot's code and prefix, the limit row's upper (which 0) or lower limit divided by the
// prefix factor; the first row when none matches.
float Fmt_FindChannelUnitRow(uint8_t code, uint8_t prefix, uint32_t which);

// ---- Defined above the core ----------------------------------------------------------------------
// The one thing the number rules read of the measurement (measurement/channel.cpp): the
// configured kind of the channel the menus show, 255 when none.
uint8_t Chan_GetCurrentKind();
