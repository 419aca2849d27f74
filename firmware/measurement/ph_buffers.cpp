// pH buffer sets and buffer recognition.
#include "measurement/ph_buffers.h"

#include <cmath>

#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/meas.h"
#include "measurement/ph.h"

uint8_t g_RecognisedBuffer[2];

// First row of each set in the tables below, and the number of its rows.
static constexpr uint32_t kRowsFull = 20;  // 0 .. 95 C
static constexpr uint32_t kRowsNistStd = 16;
static constexpr uint32_t kRowsJis = 17;
static constexpr uint32_t kFirstVandor9 = 0;
static constexpr uint32_t kFirstVandor10 = kFirstVandor9 + kRowsFull;
static constexpr uint32_t kFirstNistTech = kFirstVandor10 + kRowsFull;
static constexpr uint32_t kFirstNistStd = kFirstNistTech + kRowsFull;
static constexpr uint32_t kFirstHach = kFirstNistStd + kRowsNistStd;
static constexpr uint32_t kFirstCiba = kFirstHach + kRowsFull;
static constexpr uint32_t kFirstMerck = kFirstCiba + kRowsFull;
static constexpr uint32_t kFirstWtw = kFirstMerck + kRowsFull;
static constexpr uint32_t kFirstJis = kFirstWtw + kRowsFull;
static constexpr uint32_t kFirstNa = kFirstJis + kRowsJis;
static constexpr uint32_t kTableRows = kFirstNa + kRowsFull;

// The buffer tables of all sets, one after the other: temperature, then pH x 1000 per buffer.
// Set 3 has a row at 37 C and set 8 one at 38 C; both step by 10 C above 60 C. Where a buffer's
// value stops changing with temperature (sets 1, 2, 4 and 7) or reads 0 (set 10) the buffer is
// not defined there; the temperature limits below keep a recognition out of those rows.
static const BufferRow g_BufferTables[kTableRows] = {
    // Set 0, "Vandor-9"
    {0, 2030, 4010, 7120, 9520, 0},
    {5, 2020, 4010, 7090, 9450, 0},
    {10, 2010, 4000, 7060, 9380, 0},
    {15, 2000, 4000, 7040, 9320, 0},
    {20, 2000, 4000, 7020, 9260, 0},
    {25, 2000, 4010, 7000, 9210, 0},
    {30, 1990, 4010, 6990, 9160, 0},
    {35, 1990, 4020, 6980, 9110, 0},
    {40, 1980, 4030, 6970, 9060, 0},
    {45, 1980, 4040, 6970, 9030, 0},
    {50, 1980, 4060, 6970, 8990, 0},
    {55, 1980, 4080, 6980, 8960, 0},
    {60, 1980, 4100, 6980, 8930, 0},
    {65, 1980, 4130, 6990, 8900, 0},
    {70, 1990, 4160, 7000, 8880, 0},
    {75, 1990, 4190, 7020, 8850, 0},
    {80, 2000, 4220, 7040, 8830, 0},
    {85, 2000, 4260, 7060, 8810, 0},
    {90, 2000, 4300, 7090, 8790, 0},
    {95, 2000, 4350, 7120, 8770, 0},
    // Set 1, "Vandor-10"
    {0, 2030, 4010, 7120, 10650, 0},
    {5, 2020, 4010, 7090, 10520, 0},
    {10, 2010, 4000, 7060, 10390, 0},
    {15, 2000, 4000, 7040, 10260, 0},
    {20, 2000, 4000, 7020, 10130, 0},
    {25, 2000, 4010, 7000, 10000, 0},
    {30, 1990, 4010, 6990, 9870, 0},
    {35, 1990, 4020, 6980, 9740, 0},
    {40, 1980, 4030, 6970, 9610, 0},
    {45, 1980, 4040, 6970, 9480, 0},
    {50, 1980, 4060, 6970, 9350, 0},
    {55, 1980, 4080, 6980, 9830, 0},
    {60, 1980, 4100, 6980, 9830, 0},
    {65, 1980, 4130, 6990, 9830, 0},
    {70, 1990, 4160, 7000, 9830, 0},
    {75, 1990, 4190, 7020, 9830, 0},
    {80, 2000, 4220, 7040, 9830, 0},
    {85, 2000, 4260, 7060, 9830, 0},
    {90, 2000, 4300, 7090, 9830, 0},
    {95, 2000, 4350, 7120, 9830, 0},
    // Set 2, "NIST Tech"
    {0, 1670, 4000, 7115, 10320, 13420},
    {5, 1670, 4000, 7085, 10250, 13210},
    {10, 1670, 4000, 7060, 10180, 13011},
    {15, 1670, 4000, 7040, 10120, 12820},
    {20, 1675, 4000, 7015, 10070, 12637},
    {25, 1680, 4005, 7000, 10010, 12460},
    {30, 1680, 4015, 6985, 9970, 12300},
    {35, 1690, 4025, 6980, 9930, 12130},
    {40, 1690, 4030, 6975, 9890, 11990},
    {45, 1700, 4045, 6975, 9860, 11840},
    {50, 1705, 4060, 6970, 9830, 11710},
    {55, 1715, 4075, 6970, 9830, 11570},
    {60, 1720, 4085, 6970, 9830, 11450},
    {65, 1730, 4100, 6980, 9830, 11450},
    {70, 1740, 4130, 6990, 9830, 11450},
    {75, 1750, 4140, 7010, 9830, 11450},
    {80, 1765, 4160, 7030, 9830, 11450},
    {85, 1780, 4180, 7050, 9830, 11450},
    {90, 1790, 4210, 7080, 9830, 11450},
    {95, 1805, 4230, 7110, 9830, 11450},
    // Set 3, "NIST Std"
    {5, 1668, 4004, 6950, 9392, 0},
    {10, 1670, 4001, 6922, 9331, 0},
    {15, 1672, 4001, 6900, 9277, 0},
    {20, 1676, 4003, 6880, 9228, 0},
    {25, 1680, 4008, 6865, 9184, 0},
    {30, 1685, 4015, 6853, 9144, 0},
    {37, 1694, 4028, 6841, 9095, 0},
    {40, 1697, 4036, 6837, 9076, 0},
    {45, 1704, 4049, 6834, 9046, 0},
    {50, 1712, 4064, 6833, 9018, 0},
    {55, 1715, 4075, 6834, 8985, 0},
    {60, 1723, 4091, 6836, 8962, 0},
    {70, 1743, 4126, 6845, 8921, 0},
    {80, 1766, 4164, 6859, 8885, 0},
    {90, 1792, 4205, 6877, 8850, 0},
    {95, 1806, 4227, 6886, 8833, 0},
    // Set 4, "HACH"
    {0, 4000, 7140, 10300, 0, 0},
    {5, 4000, 7100, 10230, 0, 0},
    {10, 4000, 7040, 10110, 0, 0},
    {15, 4000, 7040, 10110, 0, 0},
    {20, 4000, 7020, 10050, 0, 0},
    {25, 4010, 7000, 10000, 0, 0},
    {30, 4010, 6990, 9960, 0, 0},
    {35, 4020, 6980, 9920, 0, 0},
    {40, 4030, 6980, 9880, 0, 0},
    {45, 4050, 6980, 9850, 0, 0},
    {50, 4060, 6980, 9820, 0, 0},
    {55, 4070, 6980, 9790, 0, 0},
    {60, 4090, 6990, 9760, 0, 0},
    {65, 4090, 6990, 9760, 0, 0},
    {70, 4090, 6990, 9760, 0, 0},
    {75, 4090, 6990, 9760, 0, 0},
    {80, 4090, 6990, 9760, 0, 0},
    {85, 4090, 6990, 9760, 0, 0},
    {90, 4090, 6990, 9760, 0, 0},
    {95, 4090, 6990, 9760, 0, 0},
    // Set 5, "CIBA"
    {0, 2040, 4000, 7100, 10300, 0},
    {5, 2090, 4020, 7080, 10210, 0},
    {10, 2070, 4000, 7050, 10140, 0},
    {15, 2080, 4000, 7020, 10060, 0},
    {20, 2090, 4010, 6980, 9990, 0},
    {25, 2080, 4020, 6980, 9950, 0},
    {30, 2060, 4000, 6960, 9890, 0},
    {35, 2060, 4010, 6950, 9850, 0},
    {40, 2070, 4020, 6940, 9810, 0},
    {45, 2060, 4030, 6930, 9770, 0},
    {50, 2060, 4040, 6930, 9730, 0},
    {55, 2050, 4050, 6910, 9680, 0},
    {60, 2080, 4100, 6930, 9660, 0},
    {65, 2070, 4100, 6920, 9610, 0},
    {70, 2070, 4110, 6920, 9570, 0},
    {75, 2040, 4130, 6920, 9540, 0},
    {80, 2020, 4150, 6930, 9520, 0},
    {85, 2030, 4170, 6950, 9470, 0},
    {90, 2040, 4200, 6970, 9430, 0},
    {95, 2050, 4220, 6990, 9380, 0},
    // Set 6, "MERCK"
    {0, 2010, 4050, 7130, 9240, 12580},
    {5, 2010, 4050, 7070, 9160, 12410},
    {10, 2010, 4020, 7050, 9110, 12260},
    {15, 2000, 4010, 7020, 9050, 12100},
    {20, 2000, 4000, 7000, 9000, 12000},
    {25, 2000, 4010, 6980, 8950, 11880},
    {30, 2000, 4010, 6980, 8910, 11720},
    {35, 2000, 4010, 6960, 8880, 11670},
    {40, 2000, 4010, 6950, 8850, 11540},
    {45, 2000, 4010, 6950, 8820, 11440},
    {50, 2000, 4000, 6950, 8790, 11330},
    {55, 2000, 4000, 6950, 8760, 11190},
    {60, 2000, 4000, 6960, 8730, 11040},
    {65, 2000, 4000, 6960, 8720, 10970},
    {70, 2010, 4000, 6960, 8700, 10900},
    {75, 2010, 4000, 6960, 8680, 10800},
    {80, 2010, 4000, 6970, 8660, 10700},
    {85, 2010, 4000, 6980, 8650, 10590},
    {90, 2010, 4000, 7000, 8640, 10480},
    {95, 2010, 4000, 7020, 8640, 10370},
    // Set 7, "WTW"
    {0, 2030, 4010, 7115, 10650, 0},
    {5, 2020, 4010, 7085, 10520, 0},
    {10, 2010, 4000, 7060, 10390, 0},
    {15, 2000, 4000, 7040, 10260, 0},
    {20, 2000, 4000, 7015, 10130, 0},
    {25, 2000, 4010, 7000, 10000, 0},
    {30, 1990, 4010, 6990, 9870, 0},
    {35, 1990, 4020, 6980, 9740, 0},
    {40, 1980, 4030, 6970, 9610, 0},
    {45, 1980, 4040, 6970, 9480, 0},
    {50, 1980, 4060, 6970, 9350, 0},
    {55, 1980, 4080, 6980, 9350, 0},
    {60, 1980, 4100, 6980, 9350, 0},
    {65, 1990, 4130, 6990, 9350, 0},
    {70, 2070, 4160, 7000, 9350, 0},
    {75, 2040, 4190, 7020, 9350, 0},
    {80, 2020, 4220, 7040, 9350, 0},
    {85, 2030, 4260, 7060, 9350, 0},
    {90, 2040, 4300, 7090, 9350, 0},
    {95, 2050, 4350, 7120, 9350, 0},
    // Set 8, "None" (and set 9, "JIS Z 8802")
    {0, 1666, 4003, 6984, 9464, 0},
    {5, 1668, 3999, 6951, 9395, 0},
    {10, 1670, 3998, 6923, 9332, 0},
    {15, 1672, 3999, 6900, 9276, 0},
    {20, 1675, 4002, 6881, 9225, 0},
    {25, 1679, 4008, 6865, 9180, 0},
    {30, 1683, 4015, 6853, 9139, 0},
    {35, 1688, 4024, 6844, 9102, 0},
    {38, 1691, 4030, 6840, 9081, 0},
    {40, 1694, 4035, 6838, 9068, 0},
    {45, 1700, 4047, 6834, 9038, 0},
    {50, 1707, 4060, 6833, 9011, 0},
    {55, 1715, 4075, 6834, 8985, 0},
    {60, 1723, 4091, 6836, 8962, 0},
    {70, 1743, 4126, 6845, 8921, 0},
    {80, 1766, 4164, 6859, 8885, 0},
    {90, 1792, 4205, 6877, 8850, 0},
    // Set 10, "Na+ 3.9M"
    {0, 1980, 3990, 7010, 9510, 0},
    {5, 1980, 3990, 7000, 9430, 0},
    {10, 1990, 3990, 7000, 9360, 0},
    {15, 1990, 3990, 6990, 9300, 0},
    {20, 1990, 4000, 7000, 9250, 0},
    {25, 2000, 4010, 7000, 9210, 0},
    {30, 2000, 4020, 7010, 9180, 0},
    {35, 2010, 4040, 7010, 9150, 0},
    {40, 2010, 4050, 7020, 9120, 0},
    {45, 2020, 4070, 7030, 9110, 0},
    {50, 2020, 4090, 7040, 9100, 0},
    {55, 2030, 4120, 7050, 9090, 0},
    {60, 2040, 4150, 7060, 0, 0},
    {65, 2040, 4180, 7070, 0, 0},
    {70, 2050, 4220, 0, 0, 0},
    {75, 2060, 0, 0, 0, 0},
    {80, 2070, 0, 0, 0, 0},
    {85, 2080, 0, 0, 0, 0},
    {90, 2090, 0, 0, 0, 0},
    {95, 2100, 0, 0, 0, 0},
};

// Sets 8 and 9 share one table. The nominal row is 25 C in every set but MERCK, which names its
// buffers by their 20 C values.
const BufferSetDesc g_BufferSets[kBufferSetCount] = {
    {&g_BufferTables[kFirstVandor9], kRowsFull, 5, 5, 0},     // "Vandor-9"
    {&g_BufferTables[kFirstVandor10], kRowsFull, 5, 5, 0},    // "Vandor-10"
    {&g_BufferTables[kFirstNistTech], kRowsFull, 6, 5, 0},    // "NIST Tech"
    {&g_BufferTables[kFirstNistStd], kRowsNistStd, 5, 4, 0},  // "NIST Std", from 5 C
    {&g_BufferTables[kFirstHach], kRowsFull, 4, 5, 0},        // "HACH"
    {&g_BufferTables[kFirstCiba], kRowsFull, 5, 5, 0},        // "CIBA"
    {&g_BufferTables[kFirstMerck], kRowsFull, 6, 4, 0},       // "MERCK"
    {&g_BufferTables[kFirstWtw], kRowsFull, 5, 5, 0},         // "WTW"
    {&g_BufferTables[kFirstJis], kRowsJis, 5, 5, 0},          // "None", to 90 C
    {&g_BufferTables[kFirstJis], kRowsJis, 5, 5, 0},          // "JIS Z 8802", to 90 C
    {&g_BufferTables[kFirstNa], kRowsFull, 5, 5, 0},          // "Na+ 3.9M"
};

// Sets with limits of their own.
static constexpr uint32_t kSetVandor10 = 1;
static constexpr uint32_t kSetNistTech = 2;
static constexpr uint32_t kSetNistStd = 3;
static constexpr uint32_t kSetHach = 4;
static constexpr uint32_t kSetMerck = 6;
static constexpr uint32_t kSetWtw = 7;

// Temperature range of every set, degrees C, and the narrower ends of some.
static constexpr float kSetTempMin = 0.0f;
static constexpr float kSetTempMax = 95.0f;
static constexpr float kNistStdTempMin = 5.0f;
static constexpr float kHachTempMax = 60.0f;
static constexpr float kPnaTempMax = 50.0f;
// Above these temperatures single buffers of sets 1, 2 and 7 are not defined.
static constexpr float kAlkalineTempMax = 50.0f;       // the fourth buffer of sets 1, 2 and 7
static constexpr float kNistTechFifthTempMax = 60.0f;  // its 12.46 buffer
static constexpr float kWtwFirstTempMax = 65.0f;       // its 2.00 buffer

// A buffer is named when its voltage at 25 C lies within this many mV of its ideal voltage.
static constexpr float kWindowHalfMv = 60.0f;
static constexpr float kKelvin = 273.15f;
static constexpr float kKelvin25 = 298.15f;
static constexpr float kTiny = 1e-9f;
static constexpr float kMilli = 1000.0f;

static bool IsChannel(uint32_t channel) { return channel < 2; }

// A set byte beyond the tables reads as set 0, as the load makes it.
static const BufferSetDesc& SetDesc(uint32_t set) { return g_BufferSets[set < kBufferSetCount ? set : 0]; }

static float CellPh(const BufferRow& row, uint32_t column) { return static_cast<float>(row[column]) / kMilli; }

void CalPh_ResetBufferState() {
    g_RecognisedBuffer[0] = 0;
    g_RecognisedBuffer[1] = 0;
}

uint32_t CalPh_GetBufferTable(uint32_t channel, const BufferRow** table) {
    const BufferSetDesc& desc = SetDesc(CalPh_GetBufferSet(channel));
    *table = desc.table;
    return desc.rows;
}

float CalPh_InterpolateBuffer(const BufferRow* table, uint32_t rows, uint32_t column, float t) {
    if (table == nullptr || rows == 0 || column >= kBufferRowCells) return 0.0f;
    uint32_t upper = 0;
    while (upper < rows && !(static_cast<float>(table[upper][0]) > t)) ++upper;
    if (upper == 0) return CellPh(table[0], column);
    if (upper == rows) return CellPh(table[rows - 1], column);
    const BufferRow& low = table[upper - 1];
    const BufferRow& high = table[upper];
    float tLow = static_cast<float>(low[0]);
    float tHigh = static_cast<float>(high[0]);
    return CellPh(low, column) + (t - tLow) * (CellPh(high, column) - CellPh(low, column)) / (tHigh - tLow);
}

float CalPh_NormalizeMvTo25(float mv, float t) {
    float kelvin = t + kKelvin;
    if (std::fabs(kelvin) < kTiny) kelvin = kTiny;
    return mv * kKelvin25 / kelvin;
}

float CalPh_BufferWindowLow(uint32_t channel, float ph) {
    return (CalPh_GetIsoPoint(channel) - ph) * kNernstSlope - kWindowHalfMv;
}

float CalPh_BufferWindowHigh(uint32_t channel, float ph) {
    return (CalPh_GetIsoPoint(channel) - ph) * kNernstSlope + kWindowHalfMv;
}

void CalPh_CheckBufferSetTemp(uint32_t set, float t, uint32_t* status) {
    if (std::isnan(t) || t > kSetTempMax) *status = kStatusOver;
    if (t < kSetTempMin) *status = kStatusUnder;
    if (set == kSetNistStd && t < kNistStdTempMin) *status = kStatusUnder;
    if (set == kSetHach && t > kHachTempMax) *status = kStatusOver;
    if (set == kBufferSetPna && t > kPnaTempMax) *status = kStatusOver;
}

void CalPh_CheckRecognisedBuffer(uint32_t set, uint32_t column, float t, uint32_t* status) {
    // A column from before the set was changed, or none recognised yet, names no buffer.
    if (column == 0 || column >= SetDesc(set).columns) {
        *status = kPhNoBuffer;
        return;
    }
    bool undefined = false;
    if (set == kSetVandor10) undefined = column >= 4 && t > kAlkalineTempMax;
    if (set == kSetNistTech)
        undefined = (column == 4 && t > kAlkalineTempMax) || (column > 4 && t > kNistTechFifthTempMax);
    if (set == kSetWtw) undefined = (column == 1 && t > kWtwFirstTempMax) || (column >= 4 && t > kAlkalineTempMax);
    if (undefined) *status = kPhNoBuffer;
}

float CalPh_RecognizeBuffer(uint32_t channel, float mv, float t, uint32_t* status) {
    *status = 0;
    if (!IsChannel(channel)) {
        *status = kStatusOver;
        return 0.0f;
    }
    uint32_t set = CalPh_GetBufferSet(channel);
    CalPh_CheckBufferSetTemp(set, t, status);
    if (*status != 0) return 0.0f;
    const BufferSetDesc& desc = SetDesc(set);
    float e25 = CalPh_NormalizeMvTo25(mv, t);
    // MERCK's windows come from its 25 C row, the row after its nominal one.
    const BufferRow& windows = desc.table[set == kSetMerck ? desc.nominalRow + 1 : desc.nominalRow];
    uint32_t column = 1;
    while (column < desc.columns) {
        float ph = CellPh(windows, column);
        // Windows of neighbouring buffers may overlap: the lower column wins.
        if (CalPh_BufferWindowLow(channel, ph) <= e25 && e25 <= CalPh_BufferWindowHigh(channel, ph)) break;
        ++column;
    }
    if (column == desc.columns) {
        column = desc.columns - 1;
        *status = kPhNoBuffer;
    }
    g_RecognisedBuffer[channel] = static_cast<uint8_t>(column);
    if (*status == 0) CalPh_CheckRecognisedBuffer(set, column, t, status);
    return CellPh(desc.table[desc.nominalRow], column);
}

// The point fields shared by the pH and the CO2 layout of the in-use record.
struct PointFields {
    float* mv;
    float* temp;
    float* buffer;
    uint8_t* recognised;
};

static void EvaluateInto(uint32_t channel, uint32_t i, bool withBuffer, PointFields point, uint32_t* status) {
    float t = Meas_GetFilteredTemperature(status);
    if (*status != 0) return;
    uint32_t set = CalPh_GetBufferSet(channel);
    uint8_t column = g_RecognisedBuffer[channel];
    if (withBuffer) {
        CalPh_CheckBufferSetTemp(set, t, status);
        CalPh_CheckRecognisedBuffer(set, column, t, status);
        if (*status != 0) return;
    }
    float mv = Meas_GetFilteredCalValue(status);
    if (*status != 0) return;
    point.temp[i] = t;
    point.recognised[i] = column;
    point.mv[i] = mv;
    if (i == 1 && point.recognised[1] == point.recognised[0]) {
        // The same buffer twice gives no slope.
        *status = kStatusOver;
        return;
    }
    if (withBuffer) {
        const BufferSetDesc& desc = SetDesc(set);
        point.buffer[i] = CalPh_InterpolateBuffer(desc.table, desc.rows, column, t);
    }
}

void CalPh_EvaluatePoint(uint32_t channel, uint32_t i, uint32_t mode, uint32_t* status) {
    if (Cal_NoPoint(channel, i, status)) return;
    CalInUsePh& u = g_CalInUse[channel].ph;
    EvaluateInto(channel, i, mode != kCalModeProcess, {u.pointMv, u.pointTemp, u.pointBuffer, u.recognised}, status);
}

void CalPh_EvaluateCo2Point(uint32_t channel, uint32_t i, uint32_t* status) {
    if (Cal_NoPoint(channel, i, status)) return;
    CalInUseCo2& u = g_CalInUse[channel].co2;
    EvaluateInto(channel, i, true, {u.pointMv, u.pointTemp, u.pointBuffer, u.recognised}, status);
}
