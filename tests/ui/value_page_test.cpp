// Value pages: the date and time texts of the clock page.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/rtc.h"
#include "ui/value_page.h"

namespace {
// Formats into a buffer of 12 bytes filled with 'Z', so a write past the 9 bytes shows.
std::string Format(void (*format)(const ClockRecord*, char*), ClockRecord record) {
    char text[12];
    std::memset(text, 'Z', sizeof text);
    format(&record, text);
    EXPECT_EQ(text[8], '\0');
    EXPECT_EQ(text[9], 'Z');
    return text;
}
}  // namespace

TEST(ValuePage, DateAndTimeTextsOfTheClockPage) {
    EXPECT_EQ(Format(ValuePage_FormatDate, ClockRecord{2025, 6, 1, 0, 10, 5, 9}), "25-06-01");
    EXPECT_EQ(Format(ValuePage_FormatTime, ClockRecord{2025, 6, 1, 0, 10, 5, 9}), "10:05:09");
    EXPECT_EQ(Format(ValuePage_FormatDate, ClockRecord{2099, 12, 31, 0, 23, 59, 59}), "99-12-31");
    EXPECT_EQ(Format(ValuePage_FormatTime, ClockRecord{2099, 12, 31, 0, 23, 59, 59}), "23:59:59");
    // The clock's reading when it is not set.
    ClockRecord unset{};
    Rtc_ResetState();
    EXPECT_EQ(Rtc_GetTime(&unset), 0u);
    EXPECT_EQ(Format(ValuePage_FormatDate, unset), "08-01-01");
    EXPECT_EQ(Format(ValuePage_FormatTime, unset), "00:00:00");
    // Whatever a record holds, every field keeps its two places: the year is held to 00..99.
    EXPECT_EQ(Format(ValuePage_FormatDate, ClockRecord{1999, 1, 2, 0, 0, 0, 0}), "00-01-02");
    EXPECT_EQ(Format(ValuePage_FormatDate, ClockRecord{2150, 1, 2, 0, 0, 0, 0}), "99-01-02");
    EXPECT_EQ(Format(ValuePage_FormatTime, ClockRecord{2025, 1, 1, 0, 123, 200, 255}), "23:00:55");
}
