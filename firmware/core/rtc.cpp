// The firmware's calendar clock.
#include "core/rtc.h"

#include <cstring>

#include "core/util.h"

ClockState g_Clock;
std::atomic<uint32_t> g_ClockChanged{0};

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;

static uint32_t DaysInMonth(uint32_t year, uint32_t month) {
    static const uint8_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return kDays[month - 1];
}

static uint32_t IsValid(uint32_t year, uint32_t month, uint32_t day, uint32_t hour, uint32_t minute, uint32_t second) {
    if (year < 2008 || year > 2099 || month < 1 || month > 12) return 0;
    if (day < 1 || day > DaysInMonth(year, month)) return 0;
    return hour < 24 && minute < 60 && second < 60 ? 1 : 0;
}

uint32_t Rtc_IsValidRecord(const ClockRecord* r) {
    return IsValid(r->year, r->month, r->day, r->hour, r->minute, r->second);
}

void Rtc_StoreHostTime(const ClockRecord* r) {
    g_Clock.year.store(r->year, kRelaxed);
    g_Clock.month.store(r->month, kRelaxed);
    g_Clock.day.store(r->day, kRelaxed);
    g_Clock.weekday.store(r->weekday, kRelaxed);
    g_Clock.hour.store(r->hour, kRelaxed);
    g_Clock.minute.store(r->minute, kRelaxed);
    g_Clock.second.store(r->second, kRelaxed);
}

uint32_t Rtc_SetTime(const ClockRecord* record) {
    if (!Rtc_IsValidRecord(record)) return 0;
    Rtc_StoreHostTime(record);
    g_ClockChanged.store(1, kRelaxed);
    return 1;
}

uint32_t Rtc_GetTime(ClockRecord* r) {
    uint32_t year = g_Clock.year.load(kRelaxed);
    r->year = static_cast<uint16_t>(year);
    r->month = g_Clock.month.load(kRelaxed);
    r->day = g_Clock.day.load(kRelaxed);
    r->weekday = g_Clock.weekday.load(kRelaxed);
    r->hour = g_Clock.hour.load(kRelaxed);
    r->minute = g_Clock.minute.load(kRelaxed);
    r->second = g_Clock.second.load(kRelaxed);
    if (IsValid(year, r->month, r->day, r->hour, r->minute, r->second)) return 1;
    *r = ClockRecord{2008, 1, 1, 1, 0, 0, 0};
    return 0;
}

static void Put2(char* text, uint32_t value) { Util_UIntToDecimal(value % 100, 2, text); }

uint32_t Rtc_FormatDateTime(uint32_t format, char* text) {
    ClockRecord r;
    uint32_t valid = Rtc_GetTime(&r);
    char buffer[24];
    if (valid && format == 0) {
        Put2(buffer, r.month), buffer[2] = '/', Put2(buffer + 3, r.day), buffer[5] = '/', Put2(buffer + 6, r.year);
        std::memcpy(text, buffer, 8);
        return 1;
    }
    if (valid && format == 1) {
        Put2(buffer, r.month), buffer[2] = '/', Put2(buffer + 3, r.day), buffer[5] = '/';
        Util_UIntToDecimal(r.year % 10000u, 4, buffer + 6);
        buffer[10] = ' ';
        Put2(buffer + 11, r.hour), buffer[13] = ':', Put2(buffer + 14, r.minute), buffer[16] = ':';
        Put2(buffer + 17, r.second);
        std::memcpy(text, buffer, 19);
        return 1;
    }
    if (valid && format == 2) {
        Put2(buffer, r.hour), buffer[2] = ':', Put2(buffer + 3, r.minute);
        std::memcpy(text, buffer, 5);
        return 1;
    }
    if (valid && format == 3) {
        Put2(buffer, r.year), buffer[2] = '/', Put2(buffer + 3, r.month), buffer[5] = '/', Put2(buffer + 6, r.day);
        std::memcpy(text, buffer, 8);
        return 1;
    }
    for (int i = 0; i < 19; ++i) text[i] = '-';
    text[2] = '/';
    text[5] = '/';
    text[10] = ' ';
    text[13] = ':';
    text[16] = ':';
    return 0;
}

void Rtc_ResetState() {
    g_Clock.year.store(0, std::memory_order_relaxed);
    g_Clock.month.store(0, std::memory_order_relaxed);
    g_Clock.day.store(0, std::memory_order_relaxed);
    g_Clock.weekday.store(0, std::memory_order_relaxed);
    g_Clock.hour.store(0, std::memory_order_relaxed);
    g_Clock.minute.store(0, std::memory_order_relaxed);
    g_Clock.second.store(0, std::memory_order_relaxed);
    g_ClockChanged.store(0, std::memory_order_relaxed);
}
