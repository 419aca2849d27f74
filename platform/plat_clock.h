// Host layer, calendar clock: the computer's local time as the program sees it, which is the host's
// own clock plus an offset the program keeps. Setting the time changes that offset only, never
// the computer's clock.
#pragma once
#include <cstdint>

struct ClockRecord;

// The computer's local time plus the program's offset; the weekday is 1 (Sunday) to 7 (Saturday).
void Plat_GetLocalTime(ClockRecord* record);
// Makes the program's local time read as the record from now on (year, month, day, hour, minute,
// second; the weekday follows from the date). 1 when done, 0 for a date the host cannot represent.
uint32_t Plat_SetLocalTime(const ClockRecord* record);
// The program's local time is the computer's again (no offset).
void Plat_ResetLocalTime();
