// Display number rules and the limit table.
#include "core/fmt.h"

#include <cmath>

#include "core/lcd.h"

// code, prefix, index byte, spare, reserved, lower, upper, step; looked up by code and prefix.
const UnitLimitRow g_UnitLimitTable[kUnitLimitRows] = {
    {30, 10, 2, 0, 0, -100, 100, 1},    {11, 10, 0, 0, 0, -40, 200, 20},    {12, 10, 1, 0, 0, -40, 392, 68},
    {27, 10, 3, 0, 0, 0, 9999, 100},    {28, 10, 4, 0, 0, 0, 400, 30},      {29, 10, 5, 0, 0, 0, 170, 30},
    {48, 10, 36, 0, 0, 0, 99999, 1},    {50, 10, 36, 0, 0, 0, 99999, 1},    {51, 10, 36, 0, 0, 0, 99999, 1},
    {52, 10, 36, 0, 0, 0, 99999, 1},    {53, 10, 36, 0, 0, 0, 99999, 1},    {1, 3, 21, 0, 0, 0, 1000, 1},
    {1, 2, 22, 0, 0, 0, 99999, 1},      {0, 4, 23, 0, 0, 0, 100, 0.001f},   {9, 7, 24, 0, 0, 0, 99999, 1},
    {9, 8, 25, 0, 0, 0, 99999, 1},      {9, 6, 26, 0, 0, 0, 10, 1},         {10, 7, 27, 0, 0, 0, 99999, 1},
    {10, 8, 28, 0, 0, 0, 99999, 1},     {10, 6, 29, 0, 0, 0, 10, 1},        {6, 10, 30, 0, 0, 0, 24, 1},
    {5, 10, 31, 0, 0, 0, 28, 1},        {7, 10, 32, 0, 0, 0, 26, 1},        {8, 10, 33, 0, 0, 0, 35, 1},
    {4, 10, 34, 0, 0, 0, 30, 1},        {3, 10, 35, 0, 0, 0, 18, 1},        {2, 10, 37, 0, 0, 0, 40, 1},
    {23, 3, 12, 0, 0, 0, 50, 1},        {23, 2, 13, 0, 0, 0, 50000, 50},    {24, 7, 14, 0, 0, 0, 50, 1},
    {24, 8, 15, 0, 0, 0, 50000, 50},    {20, 10, 16, 0, 0, 0, 200, 0.2f},   {19, 10, 17, 0, 0, 0, 500, 1},
    {22, 10, 18, 0, 0, 0, 100, 1},      {21, 10, 19, 0, 0, 0, 99999, 100},  {26, 10, 20, 0, 0, -99999, 10, 10},
    {25, 10, 38, 0, 0, 0, 99999, 1},    {32, 10, 39, 0, 0, 0, 9999, 10},    {13, 10, 6, 0, 0, -2, 20, 2},
    {14, 3, 7, 0, 0, -1500, 1500, 100}, {15, 3, 8, 0, 0, -1500, 1500, 100}, {16, 4, 9, 0, 0, 5, 2000, 100},
    {18, 4, 10, 0, 0, 5, 2000, 100},    {17, 5, 11, 0, 0, 2, 150, 10},      {38, 3, 45, 0, 0, -1500, 1500, 1},
    {34, 10, 41, 0, 0, 0, 2000, 1},     {35, 10, 42, 0, 0, 0, 2000, 1},     {36, 10, 43, 0, 0, 0, 1500, 1},
    {33, 10, 40, 0, 0, 0, 200, 1},      {37, 10, 44, 0, 0, 0, 5000, 1},
};

uint8_t g_LineUnitRow[4];
uint8_t g_LineUnitIndexByte[4];

uint32_t Fmt_DecimalsByUnit(uint32_t unit) {
    if (unit == 1 || unit == 23 || unit == 24) return 2;
    if (unit == 9 || unit == 10) return 3;
    return 1;
}

uint32_t Fmt_ResolutionClass(uint32_t code, uint32_t mode) {
    if (code > 38) return 10;
    switch (code) {
        case 0:
        case 16:
        case 18:
            return 4;
        case 1:
            return mode == 1 ? 2 : 3;
        case 9:
        case 10:
            return mode == 0 ? 6 : (mode == 1 ? 7 : 8);
        case 14:
        case 15:
        case 38:
            return 3;
        case 17:
            return 5;
        case 23:
            return mode == 0 ? 2 : 3;
        case 24: {
            // The oxygen kind shown as "ppmO2 G" (kind 8) counts this unit the other way round.
            bool gauge = Chan_GetCurrentKind() == 8;
            if (gauge) return mode == 0 ? 8 : 7;
            return mode == 0 ? 7 : 8;
        }
        default:
            return 10;
    }
}

float Fmt_RoundDecimals(float value, uint32_t digits) {
    float top = std::pow(10.0f, static_cast<float>(digits)) - 0.51f;
    float bottom = -std::pow(10.0f, static_cast<float>(digits) - 1.0f) + 0.51f;
    if (value > 0.0f && value > top) return top;
    if (value < 0.0f && value < bottom) return bottom;
    return value;
}

float Fmt_PrefixFactor(uint32_t prefix) {
    static const float kFactors[12] = {1.0f,   1e9f, 1e6f,    1000.0f, 1e-6f, 0.001f,
                                       0.001f, 1.0f, 1000.0f, 1e6f,    1.0f,  1.0f};
    return prefix < 12 ? kFactors[prefix] : 1.0f;
}

float Fmt_ConvertUnit(uint32_t direction, float value, uint32_t prefix) {
    if (prefix == kPrefixNone) return value;
    float factor = Fmt_PrefixFactor(prefix);
    return direction == 0 ? value * factor : value / factor;
}

float Fmt_ScaleMicroMilli(float value, uint8_t* prefix) {
    *prefix = value < 0.001f ? kPrefixMicro : kPrefixMilli;
    return value * Fmt_PrefixFactor(*prefix);
}

float Fmt_ScaleKiloMega(float value, uint8_t* prefix) {
    *prefix = value < 1000.0f ? kPrefixUnits : (value < 1e6f ? kPrefixKilo : kPrefixMega);
    return value * Fmt_PrefixFactor(*prefix);
}

float Fmt_ValueWithPrefix(float value, uint8_t* prefix) {
    *prefix = kPrefixUnits;
    if (std::fabs(value) < 1e-12f) return value;
    float magnitude = std::fabs(value);
    if (magnitude < 0.0009999499f) {
        *prefix = kPrefixMicro;
    } else if (magnitude < 0.9999499f) {
        *prefix = kPrefixMilli;
    } else if (magnitude < 999.9499f) {
        *prefix = kPrefixUnits;
    } else if (magnitude < 999949.9f) {
        *prefix = kPrefixKilo;
    } else {
        *prefix = kPrefixMega;
    }
    return value * Fmt_PrefixFactor(*prefix);
}

// Unit lists by channel kind, in list order; 0 ends a list (code 0 stands first in no list).
static const uint8_t kUnitLists[13][19] = {
    {30},
    {13, 14, 15, 16, 17, 27, 28, 29, 11, 12, 30},
    {13, 14, 15, 16, 18, 27, 28, 29, 11, 12, 30},
    {1, 0, 3, 6, 5, 7, 8, 4, 2, 9, 10, 11, 12, 30},
    {1, 0, 3, 6, 5, 7, 8, 4, 2, 9, 10, 11, 12, 30},
    {19, 24, 23, 21, 22, 20, 27, 28, 29, 26, 11, 12, 48, 50, 51, 52, 53, 30},
    {24, 23, 19, 21, 22, 27, 28, 29, 26, 11, 12, 48, 50, 51, 52, 53, 30},
    {24, 23, 19, 21, 22, 27, 28, 29, 26, 11, 12, 48, 50, 51, 52, 53, 30},
    {24, 23, 19, 21, 22, 27, 28, 29, 26, 11, 12, 48, 50, 51, 52, 53, 30},
    {19, 20, 23, 24, 25, 21, 22, 27, 29, 32, 11, 12, 48, 50, 51, 52, 53, 30},
    {33, 34, 35, 36, 37, 38, 27, 28, 29, 11, 12, 30},
    {},
    {1},
};
static const uint8_t kUnitListLengths[13] = {1, 11, 11, 14, 14, 18, 17, 17, 17, 18, 12, 0, 1};

uint32_t Fmt_UnitIndexInList(uint32_t list, uint32_t unit) {
    if (list >= 13) return 0;
    for (uint32_t i = 0; i < kUnitListLengths[list]; ++i) {
        if (kUnitLists[list][i] == unit) return i;
    }
    return 0;
}

uint32_t Fmt_UnitListLength(uint32_t list) { return list < 13 ? kUnitListLengths[list] : 0; }

uint8_t Fmt_UnitAt(uint32_t list, uint32_t index) {
    return index < Fmt_UnitListLength(list) ? kUnitLists[list][index] : 0;
}

const char* Fmt_PrefixSymbol(uint32_t prefix) {
    static const char* const kSymbols[10] = {"", "n", "{", "m", "M", "K", "ppk", "ppm", "ppb", "ppt"};
    if (prefix >= 1 && prefix <= 9) return kSymbols[prefix];
    return prefix == kPrefixUnits ? " " : nullptr;
}

void Fmt_DrawUnitString(uint32_t row, uint32_t column, uint32_t blink, uint32_t prefix) {
    const char* symbol = Fmt_PrefixSymbol(prefix);
    if (symbol != nullptr) Lcd_DrawTextMode(row, column, blink, symbol);
}

uint32_t Fmt_FindLimitRow(uint32_t code, uint32_t prefix) {
    for (uint32_t i = 0; i < kUnitLimitRows; ++i) {
        if (g_UnitLimitTable[i].code == code && g_UnitLimitTable[i].prefix == prefix) return i;
    }
    return kUnitLimitRows;
}

void Fmt_FindLineUnitRow(uint32_t line, uint8_t code, uint8_t prefix) {
    if (line >= 4) return;
    uint32_t row = Fmt_FindLimitRow(code, prefix);
    g_LineUnitRow[line] = row < kUnitLimitRows ? static_cast<uint8_t>(row) : 0;
    g_LineUnitIndexByte[line] = row < kUnitLimitRows ? g_UnitLimitTable[row].indexByte : 0;
}

float Fmt_FindChannelUnitRow(uint8_t code, uint8_t prefix, uint32_t which) {
    uint32_t row = Fmt_FindLimitRow(code, prefix);
    if (row >= kUnitLimitRows) row = 0;
    float bound = which == 0 ? g_UnitLimitTable[row].upper : g_UnitLimitTable[row].lower;
    return bound / Fmt_PrefixFactor(prefix);
}

void Fmt_ResetState() {
    for (uint32_t line = 0; line < 4; ++line) {
        g_LineUnitRow[line] = 0;
        g_LineUnitIndexByte[line] = 0;
    }
}
