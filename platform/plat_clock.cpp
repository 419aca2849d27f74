// Host layer, calendar clock over the C library's local time.
#include "platform/plat_clock.h"

#include <atomic>
#include <ctime>

namespace {
// Seconds added to the host's clock; only the program's own "set clock" moves it.
std::atomic<int64_t> s_OffsetSeconds{0};
}  // namespace

void Plat_GetLocalTime(PlatDateTime* record) {
    if (record == nullptr) return;
    std::time_t now = std::time(nullptr) + static_cast<std::time_t>(s_OffsetSeconds.load(std::memory_order_relaxed));
    std::tm local{};
    localtime_r(&now, &local);
    record->year = static_cast<uint16_t>(local.tm_year + 1900);
    record->month = static_cast<uint8_t>(local.tm_mon + 1);
    record->day = static_cast<uint8_t>(local.tm_mday);
    record->weekday = static_cast<uint8_t>(local.tm_wday + 1);
    record->hour = static_cast<uint8_t>(local.tm_hour);
    record->minute = static_cast<uint8_t>(local.tm_min);
    record->second = static_cast<uint8_t>(local.tm_sec);
}

uint32_t Plat_SetLocalTime(const PlatDateTime* record) {
    if (record == nullptr) return 0;
    std::tm wanted{};
    wanted.tm_year = record->year - 1900;
    wanted.tm_mon = record->month - 1;
    wanted.tm_mday = record->day;
    wanted.tm_hour = record->hour;
    wanted.tm_min = record->minute;
    wanted.tm_sec = record->second;
    // Let the C library decide whether daylight saving applies on that date.
    wanted.tm_isdst = -1;
    std::time_t target = std::mktime(&wanted);
    if (target == static_cast<std::time_t>(-1)) return 0;
    std::time_t now = std::time(nullptr);
    s_OffsetSeconds.store(static_cast<int64_t>(target) - static_cast<int64_t>(now), std::memory_order_relaxed);
    return 1;
}

void Plat_ResetLocalTime() { s_OffsetSeconds.store(0, std::memory_order_relaxed); }

int64_t Plat_SecondsSince1970() { return static_cast<int64_t>(std::time(nullptr)); }
