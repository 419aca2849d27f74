// Calibration data sets of the digital sensor's memory image: where each set lies in the three
// image layouts, the head every set carries, the layout fields with their scalings, the day
// count, the shift of the history when a calibration is stored, and the image's other
// calibration fields.
#include "digital_sensor/sens_cal.h"

#include <cmath>
#include <cstring>

#include "core/eeprom.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/meas.h"
#include "measurement/ph.h"

// ---- Where the sets lie ---------------------------------------------------------------------------

// Descriptor rows of a layout: 0 "1Adj", 1 "Act", 2 "Cal3", 3 "Cal2", 4 "Cal1". Each set is two
// pieces; the second always starts at byte 1 of the next page, past its checksum byte.
static constexpr uint32_t kRowFirstAdjust = 0;
static constexpr uint32_t kRowActual = 1;
static constexpr uint32_t kRowCal3 = 2;
static constexpr uint32_t kRowCal2 = 3;
static constexpr uint32_t kRowCal1 = 4;
static constexpr uint32_t kRows = 5;
static constexpr SensMemField g_CalSetLayouts[3][kRows] = {
    {{0, 144, 116, 0, 161, 244},
     {0, 97, 248, 0, 129, 112},
     {0, 193, 248, 0, 225, 112},
     {0, 240, 116, 0, 257, 244},
     {0, 289, 248, 0, 321, 112}},
    {{0, 144, 122, 0, 161, 240},
     {0, 97, 242, 0, 129, 120},
     {0, 193, 242, 0, 225, 120},
     {0, 240, 122, 0, 257, 240},
     {0, 289, 242, 0, 321, 120}},
    {{4, 140, 142, 0, 161, 196},
     {0, 97, 246, 0, 129, 92},
     {0, 193, 246, 0, 225, 92},
     {4, 236, 142, 0, 257, 196},
     {0, 289, 246, 0, 321, 92}},
};
// The descriptor row of data-set indexes 1..5 ("Fact" is no data set).
static constexpr uint32_t kRowOfIndex[kCalSetCount] = {kRows,    kRowActual, kRowFirstAdjust,
                                                       kRowCal1, kRowCal2,   kRowCal3};

// ---- The head of a set ------------------------------------------------------------------------------

static constexpr uint32_t kHeadDays = 0;
static constexpr uint32_t kHeadMinutes = 16;
static constexpr uint32_t kHeadCharacters = 28;
static constexpr uint32_t kHeadCharacterCount = 8;
static constexpr uint32_t kHeadSerial = 84;
static constexpr uint32_t kMinutesPerDay = 1440;
// The operator characters are always written as "-".
static constexpr uint32_t kHeadCharacter = '-';
// Serial numbers above this one are folded into the 24-bit code.
static constexpr uint32_t kSerialFold = 1200000000u;

// ---- Fixed fields -------------------------------------------------------------------------------------

// The slope field of layout 0 (the ORP offset + 2000) in "Act" and in "Cal1".
static constexpr uint32_t kSlopeBitActual = 137 * 8 + 6;
static constexpr uint32_t kSlopeBitCal1 = 329 * 8 + 6;
static constexpr uint32_t kSlopeBits = 12;
static constexpr uint32_t kSlopeOffset = 2000;
static constexpr uint32_t kSlopeAbsent = 4000;
static constexpr uint32_t kPageActualSlope = 4;
static constexpr uint32_t kPageCal1Slope = 10;
// Oxygen polarization: mV = value x 2 - 1022 (page 0); the transmitter's offset from it, page 12.
static constexpr uint32_t kPolarizationBit = 138;
static constexpr uint32_t kPolarizationOffsetBit = 414 * 8 + 5;
static constexpr uint32_t kPagePolarizationOffset = 12;
// CO2 electrolyte fields of page 1.
static constexpr uint32_t kCo2SalinityBit = 51 * 8;
static constexpr uint32_t kCo2BicarbonateBit = 52 * 8 + 2;

// ---- Bits ---------------------------------------------------------------------------------------------

static uint32_t Ones(uint32_t width) { return width >= 32 ? 0xFFFFFFFFu : (1u << width) - 1; }

// A scaled value into a field of width bits: the integer part, saturated to the field (a negative
// value or no number stores 0, a value too large for the field all ones), so that no value wraps
// into a plausible reading.
static uint32_t ScaledField(uint32_t width, double value) {
    uint32_t max = Ones(width);
    if (value >= static_cast<double>(max)) return max;
    return value > 0.0 ? static_cast<uint32_t>(value) : 0;
}

static void PutScaled(uint8_t* bytes, uint32_t start, uint32_t width, double value) {
    SensMem_PutBits(bytes, start, width, ScaledField(width, value));
}

static double RoundHalfAway(double value) { return value < 0.0 ? std::ceil(value - 0.5) : std::floor(value + 0.5); }

static uint32_t Layout(uint32_t channel) { return channel < 2 ? g_SensorMemLayout[channel] : kLayoutNone; }
static bool HasSets(uint32_t channel) { return Layout(channel) <= kLayoutCond; }
static uint32_t Kind(uint32_t channel) { return channel < 2 ? g_SensorKindActive[channel] : kKindNone; }

// ---- Dates --------------------------------------------------------------------------------------------

static constexpr uint32_t kDayCountYear = 1998;
static constexpr uint32_t kDaysPerFourYears = 1461;
static const uint8_t kMonthDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

uint32_t SensMem_DateToDays(const ClockRecord* date) {
    uint32_t month = date->month >= 1 && date->month <= 12 ? date->month : 1;
    uint32_t year = date->year >= kDayCountYear ? date->year : kDayCountYear;
    uint32_t days = (year - kDayCountYear) * 365 + (year - 1997) / 4;
    for (uint32_t m = 1; m < month; ++m) days += kMonthDays[m - 1];
    days += date->day >= 1 ? date->day - 1u : 0u;
    if (month > 2 && year % 4 == 0) ++days;
    return days;
}

void SensMem_DaysToDate(uint32_t days, ClockRecord* date) {
    uint32_t year = kDayCountYear + 4 * (days / kDaysPerFourYears);
    uint32_t rest = days % kDaysPerFourYears;
    while (rest >= (year % 4 == 0 ? 366u : 365u)) {
        rest -= year % 4 == 0 ? 366u : 365u;
        ++year;
    }
    uint32_t month = 1;
    uint32_t day = 0;
    bool leap = year % 4 == 0;
    if (leap && rest == 59) {
        month = 2;
        day = 29;
    } else {
        if (leap && rest > 59) --rest;
        while (month <= 12 && rest >= kMonthDays[month - 1]) rest -= kMonthDays[month++ - 1];
        day = rest + 1;
    }
    ClockRecord r = {static_cast<uint16_t>(year), static_cast<uint8_t>(month), static_cast<uint8_t>(day), 1, 0, 0, 0};
    if (!Rtc_IsValidRecord(&r)) r = {2008, 1, 1, 1, 0, 0, 0};
    *date = r;
}

uint32_t SensMem_TimeToMinutes(const ClockRecord* date) { return date->hour * 60u + date->minute; }

void SensMem_MinutesToTime(uint32_t minutes, ClockRecord* date) {
    // An erased field (4095) would give hour 68.
    if (minutes >= kMinutesPerDay) minutes = 0;
    date->hour = static_cast<uint8_t>(minutes / 60);
    date->minute = static_cast<uint8_t>(minutes % 60);
    date->second = 0;
}

uint32_t SensMem_TransmitterCode() {
    char text[kSerialTextBytes] = {};
    uint32_t status = 0;
    Chan_ReadSerialText(text, &status);
    uint32_t number = 0;
    if (status == 0) {
        for (char c : text) {
            if (c >= '0' && c <= '9') number = number * 10u + static_cast<uint32_t>(c - '0');
        }
    }
    if (number <= kSerialFold) return number & 0xFFFFFF;
    uint32_t n = number - kSerialFold;
    return ((n / 10000) * 1000 + 10000000 + n % 1000) & 0xFFFFFF;
}

// ---- Encoding -----------------------------------------------------------------------------------------

static void EncodeHead(uint8_t* b, const CalDataSetRecord* r) {
    uint32_t days = Rtc_IsValidRecord(&r->date) ? SensMem_DateToDays(&r->date) : kSensDay2008;
    SensMem_PutBits(b, kHeadDays, 16, days);
    SensMem_PutBits(b, kHeadMinutes, 12, Rtc_IsValidRecord(&r->date) ? SensMem_TimeToMinutes(&r->date) : 0);
    for (uint32_t i = 0; i < kHeadCharacterCount; ++i) SensMem_PutBits(b, kHeadCharacters + 7 * i, 7, kHeadCharacter);
    SensMem_PutBits(b, kHeadSerial, 24, SensMem_TransmitterCode());
}

// The pH-family layout: three point triples (buffer, mV, temperature), impedances, the CO2
// sensor's slope and zero, the isothermal point.
static void EncodePh(uint32_t kind, uint8_t* b, const CalDataSetRecord* r) {
    SensMem_PutBits(b, 108, 4, r->b83);
    SensMem_PutBits(b, 112, 4, r->b82);
    PutScaled(b, 116, 14, (r->v60 + 2.0) / 0.0011 + 0.5);
    PutScaled(b, 130, 14, (r->v4 + 819.1) * 10 + 0.5);
    PutScaled(b, 144, 12, (r->v48 + 50) * 10 + 0.5);
    SensMem_PutBits(b, 156, 12, r->w72 & 0xFFF);
    PutScaled(b, 168, 14, (r->v64 + 2.0) / 0.0011 + 0.5);
    PutScaled(b, 182, 14, (r->v8 + 819.1) * 10 + 0.5);
    PutScaled(b, 196, 12, (r->v52 + 50) * 10 + 0.5);
    SensMem_PutBits(b, 208, 12, r->w74 & 0xFFF);
    PutScaled(b, 220, 14, (r->v68 + 2.0) / 0.0011 + 0.5);
    PutScaled(b, 234, 14, (r->v12 + 819.1) * 10 + 0.5);
    PutScaled(b, 248, 12, (r->v56 + 50) * 10 + 0.5);
    SensMem_PutBits(b, 260, 12, 0);
    PutScaled(b, 272, 12, r->v16 * 2.0 + 0.5);
    PutScaled(b, 284, 12, kind == kKindPhPna ? r->v20 * 2.0 + 0.5 : r->v20 * 20.0 + 0.5);
    PutScaled(b, 296, 10, kind == kKindCo2 ? (r->v44 + 125) * 4 + 0.5 : static_cast<double>(Ones(10)));
    PutScaled(b, 306, 12, kind == kKindCo2 ? (r->v40 - 22) * 100 + 0.5 : static_cast<double>(Ones(12)));
    // Bits 318..329 hold the ORP slope, which only the slope operations write.
    PutScaled(b, 330, 12, (7.0 - r->v0) * 59.16 + 2000);
    PutScaled(b, 342, 14, (r->v0 + 2.0) / 0.0011 + 0.5);
    SensMem_PutBits(b, 356, 4, r->b84);
}

// The oxygen layout keeps one point; B83 = 7 (a zero point) puts it at the second position.
static void EncodeO2(uint32_t channel, uint32_t kind, uint8_t* b, const CalDataSetRecord* r) {
    bool kind8 = kind == kKindO2Gauge;
    double zero = RoundHalfAway(r->v44) + 8190;
    PutScaled(b, 108, 14, zero > 16380 ? 16380 : zero);
    PutScaled(b, 122, 18, kind8 ? RoundHalfAway(r->v40 * 2) + 242144 : RoundHalfAway(r->v40 * 10) + 100000);
    double measured = std::floor(Meas_GetFieldFloat(channel, 10) / 10.0 + 0.5);
    PutScaled(b, 140, 14, measured);
    bool second = r->b83 == 7;
    uint32_t at = second ? 88 : 0;
    PutScaled(b, 154 + at, 20, (second ? r->v12 : r->v8) * 1000.0 + 0.5);
    float current = second ? r->v4 : r->v0;
    PutScaled(b, 174 + at, 24, kind8 ? current / 10.0 + 16776216 : current + 16767214.0);
    PutScaled(b, 198 + at, 12, (second ? r->v52 : r->v48) * 10.0 + 500);
    PutScaled(b, 210 + at, 14, (second ? r->v20 : r->v16) + 0.5);
    PutScaled(b, 224 + at, 7, second ? r->v28 : r->v24);
    SensMem_PutBits(b, 231 + at, 11, r->w72 & 0x7FF);
    PutScaled(b, 330, 10, -static_cast<double>(g_Measurement[channel < 2 ? channel : 0].primary));
    SensMem_PutBits(b, 340, 4, r->b83);
    PutScaled(b, 344, 18, r->b82 == 2 ? static_cast<double>(r->v60) : static_cast<double>(Ones(18)));
}

// The conductivity layout: the values come already in stored units (reciprocals x 1e8,
// temperatures + 50 x 100, cell constant and zero x 1e5).
static void EncodeCond(uint8_t* b, const CalDataSetRecord* r) {
    SensMem_PutBits(b, 108, 2, r->b83);
    SensMem_PutBits(b, 110, 4, (r->b82 + 1u) % 16);
    PutScaled(b, 114, 28, r->v60);
    PutScaled(b, 142, 16, r->v48);
    PutScaled(b, 158, 32, r->v0);
    SensMem_PutBits(b, 190, 12, r->w72 & 0xFFF);
    if (r->b82 != 0) {
        PutScaled(b, 202, 28, r->v64);
        PutScaled(b, 230, 16, r->v52);
        PutScaled(b, 246, 32, r->v4);
        SensMem_PutBits(b, 278, 12, r->w74 & 0xFFF);
    }
    PutScaled(b, 290, 24, r->v40 + 0.5);
    PutScaled(b, 314, 24, RoundHalfAway(r->v44));
}

void SensMem_EncodeCalDataSet(uint32_t channel, uint8_t* buffer, const CalDataSetRecord* record) {
    EncodeHead(buffer, record);
    switch (Layout(channel)) {
        case kLayoutPh:
            EncodePh(Kind(channel), buffer, record);
            break;
        case kLayoutOxygen:
            EncodeO2(channel, Kind(channel), buffer, record);
            break;
        case kLayoutCond:
            EncodeCond(buffer, record);
            break;
        default:
            break;
    }
}

void SensMem_ClearO2CalSet(uint8_t* buffer) {
    std::memset(buffer, 0xFF, kCalSetBufferBytes);
    SensMem_PutBits(buffer, kHeadCharacters, 7 * kHeadCharacterCount, 0);
    SensMem_PutBits(buffer, kHeadSerial, 24, 0);
    SensMem_PutBits(buffer, 108, 14, 8190);
}

// ---- Decoding -----------------------------------------------------------------------------------------

static uint32_t Get(const uint8_t* b, uint32_t start, uint32_t width) { return SensMem_GetBits(b, start, width); }

static void DecodeDate(uint32_t days, uint32_t minutes, CalDataSetRecord* r) {
    SensMem_DaysToDate(days, &r->date);
    SensMem_MinutesToTime(minutes, &r->date);
}

void SensMem_DecodeCalDataSet(uint32_t channel, const uint8_t* b, CalDataSetRecord* r) {
    uint32_t kind = Kind(channel);
    switch (Layout(channel)) {
        case kLayoutPh:
            r->v60 = Get(b, 116, 14) * 0.0011f - 2.0f;
            r->v64 = Get(b, 168, 14) * 0.0011f - 2.0f;
            r->v4 = (static_cast<float>(Get(b, 130, 14)) - 8191.0f) / 10.0f;
            r->v8 = (static_cast<float>(Get(b, 182, 14)) - 8191.0f) / 10.0f;
            r->v48 = (static_cast<float>(Get(b, 144, 12)) - 500.0f) / 10.0f;
            r->v52 = (static_cast<float>(Get(b, 196, 12)) - 500.0f) / 10.0f;
            r->v16 = static_cast<float>(Get(b, 272, 12) / 2);
            r->v20 =
                kind == kKindPhPna ? static_cast<float>(Get(b, 284, 12) / 2) : static_cast<float>(Get(b, 284, 12) / 20);
            if (kind == kKindCo2) {
                r->v40 = Get(b, 306, 12) * 0.01f + 22.0f;
                r->v44 = Get(b, 296, 10) * 0.25f - 125.0f;
            }
            // The isothermal point is set and shown to a thousandth of a pH; its field's steps of
            // 0.0011 pH would give 7.000 back as 7.0002, which the pH page then stores as 7.000,
            // moving the zero in use by a settings save.
            r->v0 = std::round((Get(b, 342, 14) * 0.0011f - 2.0f) * 1000.0f) / 1000.0f;
            r->b84 = static_cast<uint8_t>(Get(b, 356, 4));
            break;
        case kLayoutOxygen:
            r->v44 = static_cast<float>(Get(b, 108, 14)) - 8190.0f;
            r->v40 = kind == kKindO2Gauge ? Get(b, 122, 18) * 0.5f - 121072.0f
                                          : (static_cast<float>(Get(b, 122, 18)) - 100000.0f) / 10.0f;
            break;
        case kLayoutCond:
            r->v60 = static_cast<float>(Get(b, 114, 28) * 1e-8);
            r->v64 = static_cast<float>(Get(b, 202, 28) * 1e-8);
            r->v40 = static_cast<float>(Get(b, 290, 24) * 1e-5);
            r->v44 = static_cast<float>(Get(b, 314, 24) * 1e-5 - 83.0);
            break;
        default:
            break;
    }
    DecodeDate(Get(b, kHeadDays, 16), Get(b, kHeadMinutes, 12), r);
}

// ---- Reading and writing sets ---------------------------------------------------------------------------

static const SensMemField* Descriptor(uint32_t channel, uint32_t row) {
    return HasSets(channel) && row < kRows ? &g_CalSetLayouts[Layout(channel)][row] : nullptr;
}

static void ReadRow(uint32_t channel, uint32_t row, uint8_t* buffer) {
    std::memset(buffer, 0, kCalSetBufferBytes);
    const SensMemField* field = Descriptor(channel, row);
    if (field != nullptr) SensMem_ReadField(channel, field, buffer);
}

static void WriteRow(uint32_t channel, uint32_t row, const uint8_t* buffer) {
    const SensMemField* field = Descriptor(channel, row);
    if (field != nullptr) SensMem_WriteField(channel, field, buffer);
}

static bool IsDated(uint32_t days) { return days >= kSensDayFirstValid && days <= kSensDayLastValid; }

uint32_t SensMem_HasCalDataSet(uint32_t channel, uint32_t index) {
    if (index == kCalSetFactory || index == kCalSetActual) return 1;
    if (index >= kCalSetCount || !HasSets(channel)) return 0;
    uint8_t buffer[kCalSetBufferBytes];
    ReadRow(channel, kRowOfIndex[index], buffer);
    return IsDated(Get(buffer, kHeadDays, 16)) ? 1 : 0;
}

void SensMem_ReadFactoryCal(uint32_t channel, CalDataSetRecord* r) {
    std::memset(r, 0, sizeof *r);
    r->date = {2008, 1, 1, 1, 0, 0, 0};
    if (!HasSets(channel)) return;
    const uint8_t* image = g_SensorMemImage[channel];
    uint32_t days = kSensDay2008;
    switch (Layout(channel)) {
        case kLayoutPh:
            days = Get(image, 33 * 8 + 4, 16);
            r->v44 = Get(image, 37 * 8 + 4, 14) * 0.0011f - 2.0f;
            r->v40 = (static_cast<float>(Get(image, 39 * 8 + 2, 12)) + 2200.0f) / 100.0f;
            r->v0 = 7.0f;
            break;
        case kLayoutOxygen: {
            days = Get(image, 40 * 8 + 6, 16);
            r->v44 = static_cast<float>(Get(image, 45 * 8 + 2, 14)) - 8190.0f;
            uint32_t x = Get(image, 47 * 8, 18);
            r->v40 = Kind(channel) == kKindO2Gauge ? x * 0.25f - 65536.0f : (static_cast<float>(x) - 100000.0f) / 10.0f;
            break;
        }
        default:
            days = Get(image, 33 * 8, 16);
            r->v40 = static_cast<float>(Get(image, 35 * 8, 24) * 1e-5);
            r->v44 = static_cast<float>(Get(image, 38 * 8, 24) * 1e-5 - 83.0);
            break;
    }
    SensMem_DaysToDate(days, &r->date);
}

uint32_t SensMem_ReadCalDataSet(uint32_t channel, uint32_t index, CalDataSetRecord* record) {
    std::memset(record, 0, sizeof *record);
    record->date = {2008, 1, 1, 1, 0, 0, 0};
    if (index >= kCalSetCount || !HasSets(channel)) return 0;
    if (index == kCalSetFactory) {
        SensMem_ReadFactoryCal(channel, record);
        return 1;
    }
    uint8_t buffer[kCalSetBufferBytes];
    ReadRow(channel, kRowOfIndex[index], buffer);
    if (index != kCalSetActual && !IsDated(Get(buffer, kHeadDays, 16))) return 0;
    SensMem_DecodeCalDataSet(channel, buffer, record);
    return 1;
}

void SensMem_CopyCalDataSet(uint32_t channel, uint32_t sourceRow, uint32_t destinationRow) {
    uint8_t buffer[kCalSetBufferBytes];
    ReadRow(channel, sourceRow, buffer);
    WriteRow(channel, destinationRow, buffer);
}

// Steps common to a stored calibration and a history entry: the new set as "Cal1", the older ones
// moved down, the calibration timer restarted. The buffer keeps the encoded set.
static void StoreInHistory(uint32_t channel, const CalDataSetRecord* record, uint8_t* buffer) {
    ReadRow(channel, kRowActual, buffer);
    if (Layout(channel) == kLayoutOxygen) SensMem_ClearO2CalSet(buffer);
    SensMem_EncodeCalDataSet(channel, buffer, record);
    SensMem_CopyCalDataSet(channel, kRowCal2, kRowCal3);
    SensMem_CopyCalDataSet(channel, kRowCal1, kRowCal2);
    WriteRow(channel, kRowCal1, buffer);
    SensDiag_RestartAct(channel);
}

void SensMem_StoreCalibration(uint32_t channel, const CalDataSetRecord* record) {
    if (!HasSets(channel)) return;
    uint8_t buffer[kCalSetBufferBytes];
    StoreInHistory(channel, record, buffer);
    if (!SensMem_HasCalDataSet(channel, kCalSetFirstAdjust)) WriteRow(channel, kRowFirstAdjust, buffer);
    WriteRow(channel, kRowActual, buffer);
    g_SensorImageLoaded[channel] = 1;
}

void SensMem_StoreCalHistory(uint32_t channel, const CalDataSetRecord* record) {
    if (!HasSets(channel)) return;
    uint8_t buffer[kCalSetBufferBytes];
    StoreInHistory(channel, record, buffer);
    g_SensorImageLoaded[channel] = 1;
}

void SensMem_ClearCalHistory(uint32_t channel) {
    if (!HasSets(channel)) return;
    uint8_t buffer[kCalSetBufferBytes];
    ReadRow(channel, kRowActual, buffer);
    SensMem_ClearO2CalSet(buffer);
    for (uint32_t row : {kRowFirstAdjust, kRowCal1, kRowCal2, kRowCal3}) WriteRow(channel, row, buffer);
}

// ---- The ORP slope field ------------------------------------------------------------------------------

static bool IsPhImage(uint32_t channel) { return channel < 2 && Layout(channel) == kLayoutPh; }

void SensMem_LoadSlope(uint32_t channel) {
    if (!IsPhImage(channel)) return;
    uint32_t field = Get(g_SensorMemImage[channel], kSlopeBitActual, kSlopeBits);
    if (field >= kSlopeAbsent) return;
    uint32_t status = 0;
    CalPh_SetOrpOffset(channel, static_cast<float>(field) - static_cast<float>(kSlopeOffset), &status);
}

static void PutSlope(uint32_t channel, uint32_t bit) {
    PutScaled(g_SensorMemImage[channel], bit, kSlopeBits, CalPh_GetOrpOffsetInUse(channel) + kSlopeOffset);
}

void SensMem_StoreSlopeCopy(uint32_t channel) {
    if (!IsPhImage(channel)) return;
    PutSlope(channel, kSlopeBitCal1);
    SensMem_CommitPage(channel, kPageCal1Slope);
    SensDiag_RestartAct(channel);
}

void SensMem_StoreSlope(uint32_t channel) {
    if (!IsPhImage(channel)) return;
    PutSlope(channel, kSlopeBitActual);
    PutSlope(channel, kSlopeBitCal1);
    SensMem_CommitPage(channel, kPageActualSlope);
    SensMem_CommitPage(channel, kPageCal1Slope);
    SensDiag_RestartAct(channel);
    g_SensorImageLoaded[channel] = 1;
}

// ---- Oxygen and CO2 fields ----------------------------------------------------------------------------

int32_t SensMem_GetPolarizationVoltage(uint32_t channel) {
    if (channel > 1) return 0;
    return static_cast<int32_t>(Get(g_SensorMemImage[channel], kPolarizationBit, 10)) * 2 - 1022;
}

// The offset field for a measuring voltage: steps of 5 mV around 630 mV from the sensor's own
// voltage, truncated toward zero.
static constexpr int32_t kOffsetBase = 630;
static constexpr int32_t kOffsetStep = 5;
static uint32_t PolarizationOffsetOf(uint32_t channel, int32_t millivolts) {
    int32_t value = (millivolts - SensMem_GetPolarizationVoltage(channel) + kOffsetBase) / kOffsetStep;
    if (value < 0) value = 0;
    if (value > 255) value = 255;
    return static_cast<uint32_t>(value);
}

int32_t SensMem_HeldPolarizationVoltage(uint32_t channel, int32_t millivolts) {
    if (channel > 1) return millivolts;
    uint32_t field = Get(g_SensorMemImage[channel], kPolarizationOffsetBit, 8);
    if (PolarizationOffsetOf(channel, millivolts) == field) return millivolts;
    return SensMem_GetPolarizationVoltage(channel) - kOffsetBase + kOffsetStep * static_cast<int32_t>(field);
}

void SensMem_StorePolarizationOffset(uint32_t channel, int32_t millivolts) {
    if (channel > 1) return;
    uint32_t value = PolarizationOffsetOf(channel, millivolts);
    uint8_t* image = g_SensorMemImage[channel];
    if (Get(image, kPolarizationOffsetBit, 8) == value) return;
    SensMem_PutBits(image, kPolarizationOffsetBit, 8, value);
    SensMem_CommitPage(channel, kPagePolarizationOffset);
}

void SensMem_LoadCo2Params(uint32_t channel) {
    if (channel > 1 || !g_SensorImageValid[channel]) return;
    const uint8_t* image = g_SensorMemImage[channel];
    uint32_t status = 0;
    // The sensor keeps a tenth of a g/L and a thousandth of a mol/L: a value in use that its field
    // holds stays as it was saved, as the transmitter's other settings kept in the sensor do.
    uint32_t salinity = Get(image, kCo2SalinityBit, 10);
    if (ScaledField(10, CalPh_GetCo2Salinity(channel) * 10.0 + 0.5) != salinity) {
        CalPh_SetCo2Salinity(channel, salinity * 0.1f, &status);
    }
    uint32_t bicarbonate = Get(image, kCo2BicarbonateBit, 8);
    if (ScaledField(8, CalPh_GetCo2Bicarbonate(channel) * 1000.0 + 0.5) != bicarbonate) {
        CalPh_SetCo2Bicarbonate(channel, bicarbonate * 0.001f, &status);
    }
}

void SensMem_StoreCo2Salinity(uint32_t channel, float value) {
    if (channel > 1 || !g_SensorImageValid[channel]) return;
    double stored = value * 10.0 + 0.5;
    PutScaled(g_SensorMemImage[channel], kCo2SalinityBit, 10, stored > 1023 ? 1023 : stored);
    SensMem_CommitPage(channel, kSensorPageIntervals);
}

void SensMem_StoreCo2Bicarbonate(uint32_t channel, float value) {
    if (channel > 1 || !g_SensorImageValid[channel]) return;
    double stored = value * 1000.0 + 0.5;
    PutScaled(g_SensorMemImage[channel], kCo2BicarbonateBit, 8, stored > 255 ? 255 : stored);
    SensMem_CommitPage(channel, kSensorPageIntervals);
}
