// The program's own clock: the computer's local time plus an offset that the firmware sets when
// its user sets the date or time. The computer's clock itself is never changed.
#pragma once

struct ClockRecord;

// The program's local time now; weekday 1 (Sunday) to 7 (Saturday).
void HostClock_Get(ClockRecord* record);
// Makes the program's clock read this time from now on (weekday ignored).
void HostClock_Set(const ClockRecord* record);
