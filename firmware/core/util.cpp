// Shared number and byte routines.
#include "core/util.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/rtc.h"

uint32_t Util_ClassifyFloat(float value) {
    if (std::isnan(value)) return kFloatNaN;
    if (std::isinf(value)) return value > 0 ? kFloatPlusInfinity : kFloatMinusInfinity;
    if (value == 0.0f) return kFloatZero;
    return kFloatFinite;
}

uint32_t Util_FloatToText(float value, uint32_t width, uint32_t decimals, char* text) {
    if (decimals > 9) decimals = 9;
    char raw[64];
    int n = std::snprintf(raw, sizeof raw, "%.*f", static_cast<int>(decimals), static_cast<double>(value));
    if (n < 0) n = 0;
    if (n >= static_cast<int>(sizeof raw)) n = sizeof raw - 1;
    uint32_t length = static_cast<uint32_t>(n);
    // A zero carries no sign: -0.0, or a small negative value rounded to zero, prints as 0.
    if (length > 1 && raw[0] == '-' && std::strspn(raw + 1, "0.") == length - 1) {
        std::memmove(raw, raw + 1, length);
        --length;
    }
    if (width < 255) {
        uint32_t target = decimals == 0 ? width : width + decimals + 1;
        if (target > kNumberTextMax) target = kNumberTextMax;
        if (length > target) {
            length = target;
        } else if (length < target) {
            // Zeros go after the sign, so "-5.0" widens to "-05.0".
            uint32_t signLength = raw[0] == '-' ? 1 : 0;
            uint32_t pad = target - length;
            std::memmove(raw + signLength + pad, raw + signLength, length - signLength);
            std::memset(raw + signLength, '0', pad);
            length = target;
        }
    }
    if (length > kNumberTextMax) length = kNumberTextMax;
    std::memcpy(text, raw, length);
    text[length] = '\0';
    return length;
}

void Util_UIntToDecimal(uint32_t value, uint32_t digits, char* text) {
    if (digits > 10) digits = 10;
    for (uint32_t i = digits; i > 0; --i) {
        text[i - 1] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    text[digits] = '\0';
}

uint32_t Util_DecimalsForDigits(float value, uint32_t decimals) {
    static const float kThresholds[] = {9.9995f, 99.995f, 999.95f, 9999.5f, 99999.5f};
    float magnitude = std::fabs(value);
    for (float threshold : kThresholds) {
        if (decimals == 0 || magnitude < threshold) break;
        --decimals;
    }
    if (value < 0.0f && decimals > 0) --decimals;
    return decimals;
}

void Util_FormatDate(const ClockRecord* record, char* text) {
    uint32_t year = record->year >= 2000 ? record->year - 2000u : 0u;
    if (year > 99) year = 99;
    Util_UIntToDecimal(year, 2, text);
    text[2] = '/';
    Util_UIntToDecimal(record->month % 100u, 2, text + 3);
    text[5] = '/';
    Util_UIntToDecimal(record->day % 100u, 2, text + 6);
}

uint32_t Util_ByteSumIsZero(const uint8_t* data, uint32_t n) {
    if (n == 0) return 0;
    uint8_t sum = 0;
    for (uint32_t i = 0; i < n; ++i) sum = static_cast<uint8_t>(sum + data[i]);
    return sum == 0 ? 1 : 0;
}

uint8_t Util_ByteSumNegated(const uint8_t* data, uint32_t n) {
    uint8_t sum = 0;
    for (uint32_t i = 0; i < n; ++i) sum = static_cast<uint8_t>(sum + data[i]);
    return static_cast<uint8_t>(0u - sum);
}

namespace {
struct CrcTable {
    uint16_t entry[256];
    constexpr CrcTable() : entry() {
        for (uint32_t i = 0; i < 256; ++i) {
            uint16_t crc = static_cast<uint16_t>(i << 8);
            for (int bit = 0; bit < 8; ++bit) {
                crc = (crc & 0x8000) ? static_cast<uint16_t>((crc << 1) ^ 0x1021) : static_cast<uint16_t>(crc << 1);
            }
            entry[i] = crc;
        }
    }
};
constexpr CrcTable kCrcTable;
}  // namespace

uint16_t Util_Crc16Ccitt(const uint8_t* data, uint32_t n) {
    uint16_t crc = 0xFFFF;
    for (uint32_t i = 0; i < n; ++i) {
        crc = static_cast<uint16_t>(kCrcTable.entry[crc >> 8] ^ (crc << 8) ^ data[i]);
    }
    return crc;
}

void Util_PutFloatBE(float value, uint8_t* bytes) {
    uint32_t word;
    std::memcpy(&word, &value, 4);
    bytes[0] = static_cast<uint8_t>(word >> 24);
    bytes[1] = static_cast<uint8_t>(word >> 16);
    bytes[2] = static_cast<uint8_t>(word >> 8);
    bytes[3] = static_cast<uint8_t>(word);
}

float Util_GetFloatBE(const uint8_t* bytes) {
    uint32_t word = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
                    static_cast<uint32_t>(bytes[2]) << 8 | bytes[3];
    float value;
    std::memcpy(&value, &word, 4);
    return value;
}

void Util_PutU16BE(uint16_t value, uint8_t* bytes) {
    bytes[0] = static_cast<uint8_t>(value >> 8);
    bytes[1] = static_cast<uint8_t>(value);
}

int16_t Util_GetU16BE(const uint8_t* bytes) {
    return static_cast<int16_t>(static_cast<uint16_t>(bytes[0] << 8 | bytes[1]));
}

float Util_EvalPolynomial(const float* coefficients, float x, uint32_t n) {
    if (n == 0) return 0.0f;
    float result = coefficients[n - 1];
    for (uint32_t i = n - 1; i > 0; --i) result = result * x + coefficients[i - 1];
    return result;
}

uint32_t Util_IsNearZero(float x) { return (x > -1e-12f && x < 1e-12f) ? 1 : 0; }

void Util_Delay(uint32_t count) {
    // A real board waits on its controller here; the simulated display needs no time.
    volatile uint32_t left = count;
    while (left > 0) left = left - 1;
}

uint32_t Util_ParseDecimal(const char* text, float* value) {
    uint32_t i = 0;
    while (text[i] == ' ') ++i;
    bool negative = text[i] == '-';
    if (negative) ++i;
    double whole = 0.0, scale = 1.0;
    uint32_t digits = 0, points = 0;
    for (; text[i] != '\0' && text[i] != ' '; ++i) {
        char c = text[i];
        if (c == '.') {
            if (++points > 1) return 0;
        } else if (c >= '0' && c <= '9') {
            ++digits;
            if (points) {
                scale /= 10.0;
                whole += (c - '0') * scale;
            } else {
                whole = whole * 10.0 + (c - '0');
            }
        } else {
            return 0;
        }
    }
    while (text[i] == ' ') ++i;
    if (text[i] != '\0' || digits == 0) return 0;
    *value = static_cast<float>(negative ? -whole : whole);
    return 1;
}
