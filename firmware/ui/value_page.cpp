// Value pages: the texts of the clock page. The editors themselves are not written yet.
#include "ui/value_page.h"

#include "core/rtc.h"
#include "core/util.h"

// Three two-digit fields with a separator between them; every field keeps its two places, so the
// text is always 8 characters whatever the record holds.
static void FormatThreePairs(uint32_t a, uint32_t b, uint32_t c, char separator, char* out) {
    Util_UIntToDecimal(a, 2, out);
    out[2] = separator;
    Util_UIntToDecimal(b, 2, out + 3);
    out[5] = separator;
    Util_UIntToDecimal(c, 2, out + 6);
}

void ValuePage_FormatDate(const ClockRecord* date, char* out) {
    uint32_t year = date->year >= 2000 ? date->year - 2000u : 0u;
    if (year > 99) year = 99;
    FormatThreePairs(year, date->month, date->day, '-', out);
}

void ValuePage_FormatTime(const ClockRecord* record, char* out) {
    FormatThreePairs(record->hour, record->minute, record->second, ':', out);
}
