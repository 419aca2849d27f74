// The firmware's calendar clock.
#include <gtest/gtest.h>

#include <string>

#include "core/rtc.h"
#include "rig.h"

namespace {
std::string Format(uint32_t format, uint32_t* valid) {
    char text[32] = {};
    *valid = Rtc_FormatDateTime(format, text);
    return text;
}
}  // namespace

TEST(Clock, ValidityBoundsAndLeapYears) {
    ClockRecord last{2099, 12, 31, 4, 23, 59, 59};
    EXPECT_EQ(Rtc_SetTime(&last), 1u);
    EXPECT_EQ(g_ClockChanged.load(), 1u);
    ClockRecord tooLate{2100, 1, 1, 5, 0, 0, 0};
    ClockRecord tooEarly{2007, 12, 31, 1, 0, 0, 0};
    EXPECT_EQ(Rtc_SetTime(&tooLate), 0u);
    EXPECT_EQ(Rtc_SetTime(&tooEarly), 0u);
    ClockRecord read{};
    EXPECT_NE(Rtc_GetTime(&read), 0u);
    EXPECT_EQ(read.year, 2099);
    ClockRecord leap{2012, 2, 29, 3, 12, 0, 0};
    ClockRecord notLeap{2013, 2, 29, 5, 12, 0, 0};
    ClockRecord badTime{2013, 2, 28, 5, 24, 0, 0};
    EXPECT_EQ(Rtc_SetTime(&leap), 1u);
    EXPECT_EQ(Rtc_SetTime(&notLeap), 0u);
    EXPECT_EQ(Rtc_SetTime(&badTime), 0u);
}

TEST(Clock, FormatsAndTheUnsetPattern) {
    uint32_t valid = 0;
    // Never set: every format gives the dash pattern, and the clock reads as 2008-01-01.
    EXPECT_EQ(Format(2, &valid), "--/--/---- --:--:--");
    EXPECT_EQ(valid, 0u);
    ClockRecord read{};
    EXPECT_EQ(Rtc_GetTime(&read), 0u);
    EXPECT_EQ(read.year, 2008);
    EXPECT_EQ(read.month, 1);
    EXPECT_EQ(read.weekday, 1);

    ClockRecord t{2024, 7, 5, 5, 9, 3, 7};
    ASSERT_EQ(Rtc_SetTime(&t), 1u);
    EXPECT_EQ(Format(0, &valid), "07/05/24");
    EXPECT_EQ(Format(1, &valid), "07/05/2024 09:03:07");
    EXPECT_EQ(Format(2, &valid), "09:03");
    EXPECT_EQ(Format(3, &valid), "24/07/05");
    EXPECT_EQ(valid, 1u);
    EXPECT_EQ(Format(4, &valid), "--/--/---- --:--:--");
    EXPECT_EQ(valid, 0u);
}

TEST(RigClock, StartsAtAFixedDateAndMovesWithVirtualTime) {
    Rig_Reset(Rig_MakeTempFolder());
    ClockRecord t{};
    ASSERT_EQ(Rtc_GetTime(&t), 1u);
    EXPECT_EQ(t.year, 2025);
    EXPECT_EQ(t.month, 6);
    EXPECT_EQ(t.day, 1);
    EXPECT_EQ(t.weekday, 1) << "a Sunday";
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.minute, 10);
    EXPECT_EQ(t.second, 0);
    EXPECT_EQ(g_ClockChanged.load(), 0u);
    Rig_TickOnlyMs(61000);
    Rtc_GetTime(&t);
    EXPECT_EQ(t.minute, 11);
    EXPECT_EQ(t.second, 1);
    // Across a leap day and a year's end.
    Rig_SetClock(2024, 2, 28, 23, 59, 59);
    Rig_TickOnlyMs(1000);
    Rtc_GetTime(&t);
    EXPECT_EQ(t.month, 2);
    EXPECT_EQ(t.day, 29);
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.weekday, 5) << "a Thursday";
    Rig_SetClock(2030, 12, 31, 23, 59, 58);
    Rig_TickOnlyMs(2000);
    Rtc_GetTime(&t);
    EXPECT_EQ(t.year, 2031);
    EXPECT_EQ(t.month, 1);
    EXPECT_EQ(t.day, 1);
    EXPECT_EQ(t.second, 0);
    EXPECT_EQ(t.weekday, 4) << "a Wednesday";
    // A clock the firmware sets moves on from there; an unset one stands still.
    ClockRecord set{2026, 7, 8, 4, 9, 10, 11};
    Rtc_SetTime(&set);
    Rig_TickOnlyMs(1000);
    Rtc_GetTime(&t);
    EXPECT_EQ(t.second, 12);
    Rig_SetClock(0, 0, 0, 0, 0, 0);
    Rig_TickOnlyMs(3000);
    EXPECT_EQ(Rtc_GetTime(&t), 0u);
}
