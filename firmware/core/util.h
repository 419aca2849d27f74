// Small shared routines: number-to-text, decimal rules, byte sums, the sensor-frame CRC,
// big-endian packing, a polynomial and a near-zero test.
#pragma once
#include <cstdint>

struct ClockRecord;

// Float classes of Util_ClassifyFloat; a value is finite when its class is below 2.
constexpr uint32_t kFloatFinite = 0;
constexpr uint32_t kFloatZero = 1;
constexpr uint32_t kFloatPlusInfinity = 2;
constexpr uint32_t kFloatMinusInfinity = 3;
constexpr uint32_t kFloatNaN = 4;

// The longest text a number is formatted to; buffers hold this plus the ending zero.
constexpr uint32_t kNumberTextMax = 24;

uint32_t Util_ClassifyFloat(float value);
// The value with decimals (0..9) places; below 255 the width fixes the length (width, or
// width + decimals + 1), padded with leading "0" after any sign or cut; a text that reads zero
// has no sign. Returns the length; never more than kNumberTextMax characters are written, plus
// the ending zero.
uint32_t Util_FloatToText(float value, uint32_t width, uint32_t decimals, char* text);
// A decimal number of text: blanks around it, an optional '-', digits with at most one '.'. 1 and
// the value when it is one, 0 otherwise (a fill, a lone sign, no digit).
uint32_t Util_ParseDecimal(const char* text, float* value);
// Exactly digits decimal digits (at most 10) with leading zeros, then an ending zero.
void Util_UIntToDecimal(uint32_t value, uint32_t digits, char* text);
// Fewer decimals the more integer digits the value needs, one fewer again when negative.
uint32_t Util_DecimalsForDigits(float value, uint32_t decimals);
// "YY/MM/DD" and an ending zero.
void Util_FormatDate(const ClockRecord* record, char* text);
// 1 when n > 0 and the 8-bit sum of the bytes is zero.
uint32_t Util_ByteSumIsZero(const uint8_t* data, uint32_t n);
// The byte that makes the 8-bit sum zero (the link checksum).
uint8_t Util_ByteSumNegated(const uint8_t* data, uint32_t n);
// CRC-16 of the sensor command frames: polynomial 0x1021, start 0xFFFF, byte after the table step.
uint16_t Util_Crc16Ccitt(const uint8_t* data, uint32_t n);
void Util_PutFloatBE(float value, uint8_t* bytes);
float Util_GetFloatBE(const uint8_t* bytes);
void Util_PutU16BE(uint16_t value, uint8_t* bytes);
int16_t Util_GetU16BE(const uint8_t* bytes);
float Util_EvalPolynomial(const float* coefficients, float x, uint32_t n);
uint32_t Util_IsNearZero(float x);
// The pause between display controller commands.
void Util_Delay(uint32_t count);
