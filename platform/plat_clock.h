// Host layer, calendar clock: the computer's local time as the program sees it, which is the host's
// own clock plus an offset the program keeps. Setting the time changes that offset only, never
// the computer's clock.
#pragma once
#include <cstdint>

// A calendar date and time of day as the host layer hands it over.
struct PlatDateTime {
    uint16_t year;
    uint8_t month;    // 1 to 12
    uint8_t day;      // 1 to 31
    uint8_t weekday;  // 1 (Sunday) to 7 (Saturday)
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
};

// The computer's local time plus the program's offset.
void Plat_GetLocalTime(PlatDateTime* record);
// Makes the program's local time read as the record from now on (year, month, day, hour, minute,
// second; the weekday follows from the date). 1 when done, 0 for a date the host cannot represent.
uint32_t Plat_SetLocalTime(const PlatDateTime* record);
// The computer's clock in seconds since 1970 (UTC), without the program's offset.
int64_t Plat_SecondsSince1970();
// The program's local time is the computer's again (no offset).
void Plat_ResetLocalTime();
