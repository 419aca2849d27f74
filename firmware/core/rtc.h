// Real-time clock: the firmware's calendar clock, copied from the computer's clock by the panel
// once a second and handed back to it when the firmware sets the time.
#pragma once
#include <atomic>
#include <cstdint>

struct ClockRecord {
    uint16_t year;
    uint8_t month;
    uint8_t day;
    uint8_t weekday;
    uint8_t hour;
    uint8_t minute;
    uint8_t second;
};

// The firmware clock; the panel's thread writes it, the firmware's reads it.
struct ClockState {
    std::atomic<uint32_t> year;
    std::atomic<uint8_t> month;
    std::atomic<uint8_t> day;
    std::atomic<uint8_t> weekday;
    std::atomic<uint8_t> hour;
    std::atomic<uint8_t> minute;
    std::atomic<uint8_t> second;
};

extern ClockState g_Clock;
// 1 after the firmware set its clock; the panel hands the time on and clears it.
extern std::atomic<uint32_t> g_ClockChanged;
// Back to the state at power-on (tests run many starts in one process).
void Rtc_ResetState();

// Years 2008..2099, a real calendar day, hour < 24, minute and second < 60.
uint32_t Rtc_IsValidRecord(const ClockRecord* record);
// A valid record becomes the clock (result 1); an invalid one changes nothing (result 0).
uint32_t Rtc_SetTime(const ClockRecord* record);
// The clock; an invalid clock reads as 2008-01-01 00:00:00 (weekday 1) with result 0.
uint32_t Rtc_GetTime(ClockRecord* record);
// Formats 0 MM/DD/YY, 1 MM/DD/YYYY HH:MM:SS, 2 HH:MM, 3 YY/MM/DD, without an ending zero;
// an invalid clock or format gives a 19-character dash pattern. Returns the validity.
uint32_t Rtc_FormatDateTime(uint32_t format, char* text);
// The panel's copy of the computer's clock into the firmware clock (no validity test).
void Rtc_StoreHostTime(const ClockRecord* record);
