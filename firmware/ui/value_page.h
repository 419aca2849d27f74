// Value pages: two-line editors of one setting (screen 8).
#pragma once
#include <cstdint>

struct ClockRecord;

// kind 3 starts the numeric editor on field index; any other kind opens value page index.
int32_t ValuePage_BeginEdit(uint32_t kind, uint32_t index);
int32_t ValuePage_Screen(uint32_t event);
void ValuePage_ClearPasswordState();
// Text n of the invalid-value messages on row 11, "Press ENTER to Continue" on row 12, the channel
// mark blinking; ENTER then redraws the page (event 62).
void ValuePage_ShowInvalid(uint32_t n);
// The date of the clock page: "YY-MM-DD" and an ending zero (9 bytes); YY is the year less 2000,
// held to 00..99.
void ValuePage_FormatDate(const ClockRecord* date, char* out);
// The time of the clock page: "HH:MM:SS" and an ending zero (9 bytes).
void ValuePage_FormatTime(const ClockRecord* record, char* out);
