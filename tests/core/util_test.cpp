// Number formatting, byte sums, CRC and packing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "core/fmt.h"
#include "core/rtc.h"
#include "core/util.h"
#include "measurement/channel.h"
#include "measurement/meas.h"

namespace {
std::string Text(float value, uint32_t width, uint32_t decimals) {
    char buffer[64];
    std::memset(buffer, 'Z', sizeof buffer);
    uint32_t n = Util_FloatToText(value, width, decimals, buffer);
    EXPECT_EQ(n, std::strlen(buffer));
    EXPECT_LE(n, kNumberTextMax);
    // Nothing written past the ending zero.
    for (size_t i = n + 1; i < sizeof buffer; ++i) EXPECT_EQ(buffer[i], 'Z');
    return buffer;
}
}  // namespace

TEST(NumberText, FixedWidthPadsCutsAndKeepsTheSignInFront) {
    EXPECT_EQ(Text(3.14159f, 3, 2), "003.14");
    EXPECT_EQ(Text(1234.5f, 2, 1), "1234");
    EXPECT_EQ(Text(-5.0f, 3, 1), "-05.0");
    EXPECT_EQ(Text(7.0f, 3, 0), "007");
    EXPECT_EQ(Text(-7.25f, 255, 2), "-7.25");
    EXPECT_EQ(Text(0.5f, 255, 0), "0");
    // Values whose text would not fit any display field stay within the buffer.
    EXPECT_EQ(Text(3.0e38f, 255, 9).size(), kNumberTextMax);
    EXPECT_EQ(Text(-3.0e38f, 200, 9).size(), kNumberTextMax);
    EXPECT_EQ(Text(1.0f, 2, 12), "01.000000000");
    // A zero has no sign, also where a small negative value rounds to it; padding fills the place.
    EXPECT_EQ(Text(-0.0f, 255, 2), "0.00");
    EXPECT_EQ(Text(-0.004f, 255, 2), "0.00");
    EXPECT_EQ(Text(-0.004f, 3, 2), "000.00");
    EXPECT_EQ(Text(-0.4f, 255, 0), "0");
    EXPECT_EQ(Text(-0.005f, 255, 3), "-0.005");
    EXPECT_EQ(Text(-0.6f, 255, 0), "-1");

    char digits[12];
    Util_UIntToDecimal(42, 5, digits);
    EXPECT_STREQ(digits, "00042");
    Util_UIntToDecimal(123456, 3, digits);
    EXPECT_STREQ(digits, "456");
}

TEST(NumberText, DecimalsShrinkWithIntegerDigitsAndSign) {
    EXPECT_EQ(Util_DecimalsForDigits(9.9996f, 3), 2u);
    EXPECT_EQ(Util_DecimalsForDigits(-5.0f, 3), 2u);
    EXPECT_EQ(Util_DecimalsForDigits(5.0f, 3), 3u);
    EXPECT_EQ(Util_DecimalsForDigits(100.0f, 3), 1u);
    EXPECT_EQ(Util_DecimalsForDigits(123456.0f, 3), 0u);
    EXPECT_EQ(Util_DecimalsForDigits(-123456.0f, 1), 0u);
    EXPECT_EQ(Fmt_RoundDecimals(1000.0f, 3), 999.49f);
    EXPECT_FLOAT_EQ(Fmt_RoundDecimals(-1000.0f, 3), -99.49f);
    EXPECT_EQ(Fmt_RoundDecimals(12.5f, 3), 12.5f);

    ClockRecord date{2024, 3, 9, 6, 0, 0, 0};
    char text[12];
    Util_FormatDate(&date, text);
    EXPECT_STREQ(text, "24/03/09");
}

TEST(NumberText, FloatClasses) {
    EXPECT_EQ(Util_ClassifyFloat(1.5f), kFloatFinite);
    EXPECT_EQ(Util_ClassifyFloat(1e-40f), kFloatFinite);
    EXPECT_EQ(Util_ClassifyFloat(-0.0f), kFloatZero);
    EXPECT_EQ(Util_ClassifyFloat(std::numeric_limits<float>::infinity()), kFloatPlusInfinity);
    EXPECT_EQ(Util_ClassifyFloat(-std::numeric_limits<float>::infinity()), kFloatMinusInfinity);
    EXPECT_EQ(Util_ClassifyFloat(std::nanf("")), kFloatNaN);
}

TEST(Bytes, ChecksumCrcAndBigEndianPacking) {
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(Util_Crc16Ccitt(abc, 3), 0xD278);
    EXPECT_EQ(Util_Crc16Ccitt(abc, 0), 0xFFFF);

    uint8_t frame[5] = {0x77, 0x05, 0x00, 0x12, 0};
    frame[4] = Util_ByteSumNegated(frame, 4);
    EXPECT_EQ(Util_ByteSumIsZero(frame, 5), 1u);
    frame[3] ^= 1;
    EXPECT_EQ(Util_ByteSumIsZero(frame, 5), 0u);
    EXPECT_EQ(Util_ByteSumIsZero(frame, 0), 0u);

    uint8_t bytes[4];
    Util_PutFloatBE(1.0f, bytes);
    EXPECT_EQ(bytes[0], 0x3F);
    EXPECT_EQ(bytes[1], 0x80);
    EXPECT_EQ(bytes[3], 0x00);
    EXPECT_EQ(Util_GetFloatBE(bytes), 1.0f);
    Util_PutU16BE(0xFF38, bytes);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(Util_GetU16BE(bytes), -200);

    const float c[] = {1.0f, 2.0f, 3.0f};
    EXPECT_EQ(Util_EvalPolynomial(c, 2.0f, 3), 17.0f);
    EXPECT_EQ(Util_IsNearZero(1e-13f), 1u);
    EXPECT_EQ(Util_IsNearZero(1e-11f), 0u);
}

TEST(UnitRules, PrefixesListsAndLimits) {
    uint8_t prefix = 0;
    EXPECT_FLOAT_EQ(Fmt_ValueWithPrefix(0.0005f, &prefix), 500.0f);
    EXPECT_EQ(prefix, kPrefixMicro);
    EXPECT_FLOAT_EQ(Fmt_ValueWithPrefix(0.5f, &prefix), 500.0f);
    EXPECT_EQ(prefix, kPrefixMilli);
    EXPECT_FLOAT_EQ(Fmt_ValueWithPrefix(-2500.0f, &prefix), -2.5f);
    EXPECT_EQ(prefix, kPrefixKilo);
    EXPECT_EQ(Fmt_ValueWithPrefix(0.0f, &prefix), 0.0f);
    EXPECT_EQ(prefix, kPrefixUnits);
    EXPECT_FLOAT_EQ(Fmt_ScaleKiloMega(2.0e6f, &prefix), 2.0f);
    EXPECT_EQ(prefix, kPrefixMega);
    EXPECT_FLOAT_EQ(Fmt_ScaleMicroMilli(0.0001f, &prefix), 100.0f);
    EXPECT_EQ(prefix, kPrefixMicro);
    EXPECT_EQ(Fmt_ConvertUnit(0, 3.0f, kPrefixNone), 3.0f);
    EXPECT_FLOAT_EQ(Fmt_ConvertUnit(1, 3000.0f, kPrefixMilli), 3.0f);

    EXPECT_EQ(Fmt_DecimalsByUnit(23), 2u);
    EXPECT_EQ(Fmt_DecimalsByUnit(10), 3u);
    EXPECT_EQ(Fmt_DecimalsByUnit(13), 1u);
    EXPECT_EQ(Fmt_ResolutionClass(1, 1), 2u);
    EXPECT_EQ(Fmt_ResolutionClass(9, 2), 8u);
    EXPECT_EQ(Fmt_ResolutionClass(39, 0), 10u);

    EXPECT_EQ(Fmt_UnitIndexInList(1, 17), 4u);
    EXPECT_EQ(Fmt_UnitIndexInList(10, 30), 11u);
    EXPECT_EQ(Fmt_UnitIndexInList(1, 99), 0u);
    EXPECT_EQ(Fmt_UnitIndexInList(200, 1), 0u);

    uint32_t row = Fmt_FindLimitRow(26, 10);
    ASSERT_LT(row, kUnitLimitRows);
    EXPECT_EQ(g_UnitLimitTable[row].lower, -99999.0f);
    EXPECT_EQ(g_UnitLimitTable[row].indexByte, 20);
    EXPECT_EQ(Fmt_FindLimitRow(26, 3), kUnitLimitRows);
    EXPECT_EQ(g_UnitLimitTable[kUnitLimitRows - 1].code, 37);
}

// The rules that depend on what the measurement shows: ppm of oxygen (code 24) counts its
// resolution classes the other way round on the gauge kind, by the channel the menus show; the
// limits of a line's or a slot's unit come from its code and prefix.
TEST(UnitRules, WhatTheShownChannelAndTheLineDecide) {
    g_ChannelKind[0] = kKindO2High;
    g_ChannelKind[1] = kKindO2Gauge;
    g_CurrentChannel = 0;
    EXPECT_EQ(Fmt_ResolutionClass(24, 0), 7u);
    EXPECT_EQ(Fmt_ResolutionClass(24, 1), 8u);
    g_CurrentChannel = 1;
    EXPECT_EQ(Fmt_ResolutionClass(24, 0), 8u);
    EXPECT_EQ(Fmt_ResolutionClass(24, 1), 7u);
    g_CurrentChannel = 2;  // no channel: no gauge
    EXPECT_EQ(Fmt_ResolutionClass(24, 0), 7u);

    Fmt_FindLineUnitRow(2, 26, kPrefixNone);
    EXPECT_EQ(g_LineUnitRow[2], Fmt_FindLimitRow(26, kPrefixNone));
    EXPECT_EQ(g_LineUnitIndexByte[2], 20);
    Fmt_FindLineUnitRow(2, 26, kPrefixMilli);  // no such row
    EXPECT_EQ(g_LineUnitRow[2], 0);
    EXPECT_EQ(g_LineUnitIndexByte[2], 0);
    Fmt_FindLineUnitRow(4, 26, kPrefixNone);  // no such line: nothing kept
    EXPECT_EQ(g_LineUnitRow[3], 0);

    EXPECT_FLOAT_EQ(Fmt_FindChannelUnitRow(26, kPrefixNone, 0), 10.0f);
    EXPECT_FLOAT_EQ(Fmt_FindChannelUnitRow(26, kPrefixNone, 1), -99999.0f);
    // Conductivity in mS/cm (code 1, milli): 1000 in the base unit, 1 as shown.
    EXPECT_FLOAT_EQ(Fmt_FindChannelUnitRow(1, kPrefixMilli, 0), 1.0f);
    // No row for the pair: the first row's limits.
    EXPECT_FLOAT_EQ(Fmt_FindChannelUnitRow(26, kPrefixMilli, 0), 100.0f / 1000.0f);
}
