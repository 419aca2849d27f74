// Host tool: writes the fifteen sensor files that the program carries as its TEXT resources 17125
// to 17139: the memory images of the digital sensors (hex text, two digits and a blank per byte),
// the command-answer lists of the two optical oxygen sensors, and a read-me text. Everything the
// files hold is authored here, in the tables below; the output depends on nothing else (no clock,
// no locale), so two runs write the same bytes.
//
// Usage: sensorgen OUTPUT_FOLDER
//
// A memory image is 19 blocks of 32 bytes as the sensor board holds it; the transmitter reads
// blocks 0-15 and 18 as its pages 0-16, each page's byte 0 making the page's byte sum zero.
// Block 16 holds the sensor's live measurement that channel B's measurement request reads;
// block 17 is not used. Multi-byte numbers are little-endian; bit fields run from bit 0 of their
// first byte upward. Faults (a value that does not fit its field) are reported and the tool exits
// with 1 without writing anything.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kImageBytes = 608;
constexpr int kBlockBytes = 32;
constexpr int kMeasureBlock = 16;
constexpr int kLastPageBlock = 18;
// The sensor's option field lies in the transmitter's page 16 (the board's block 18), byte 11.
constexpr int kOptionByte = kLastPageBlock * kBlockBytes + 11;

int g_Errors = 0;

void Fail(const std::string& where, const std::string& message) {
    std::cerr << "sensorgen: " << where << ": " << message << '\n';
    ++g_Errors;
}

// ---- Bits -----------------------------------------------------------------------------------------

// Writes count bits of value (its least significant bit first) at bit `start` of bytes.
void PutBits(uint8_t* bytes, uint32_t start, uint32_t count, uint64_t value, const std::string& what) {
    if (count < 64 && value >> count != 0)
        Fail(what, "value " + std::to_string(value) + " does not fit " + std::to_string(count) + " bits");
    for (uint32_t k = 0; k < count; ++k) {
        uint32_t bit = start + k;
        uint8_t mask = static_cast<uint8_t>(1u << (bit % 8));
        if (value >> k & 1)
            bytes[bit / 8] |= mask;
        else
            bytes[bit / 8] &= static_cast<uint8_t>(~mask);
    }
}

void PutAt(uint8_t* bytes, uint32_t byte, uint32_t bit, uint32_t count, uint64_t value, const std::string& what) {
    PutBits(bytes, byte * 8 + bit, count, value, what);
}

void PutU16(uint8_t* bytes, uint32_t at, uint32_t value, const std::string& what) {
    PutAt(bytes, at, 0, 16, value, what);
}

uint64_t Ones(uint32_t count) { return count >= 64 ? ~0ull : (1ull << count) - 1; }

// The stored number of a scaled field: the integer part of the formula, as the transmitter does.
uint64_t Stored(double value, const std::string& what) {
    if (!(value >= 0.0) || value > 4294967295.0) {
        Fail(what, "scaled value " + std::to_string(value) + " is out of range");
        return 0;
    }
    return static_cast<uint64_t>(value);
}

int64_t RoundHalfAway(double value) { return static_cast<int64_t>(value < 0 ? value - 0.5 : value + 0.5); }

// ---- Dates ------------------------------------------------------------------------------------------

struct Date {
    int year, month, day, hour, minute;
};

// Days since 1998-01-01, the sensors' day count.
uint32_t DayCount(const Date& d) {
    static const int kBefore[12] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334};
    int days = (d.year - 1998) * 365 + kBefore[d.month - 1] + d.day - 1 + (d.year - 1997) / 4;
    if (d.month > 2 && d.year % 4 == 0) ++days;
    return static_cast<uint32_t>(days);
}

uint32_t Minutes(const Date& d) { return static_cast<uint32_t>(d.hour * 60 + d.minute); }

// ---- Data sets --------------------------------------------------------------------------------------

// Rows of the data-set descriptor: start bit, piece 1 byte and bits, piece 2 byte and bits.
struct Piece {
    uint32_t startBit, byte1, bits1, byte2, bits2;
};
// Layouts 0 (pH family), 1 (amperometric oxygen), 2 (conductivity); rows 0 "1Adj", 1 "Act",
// 2 "Cal3", 3 "Cal2", 4 "Cal1".
const Piece kSetPieces[3][5] = {
    {{0, 144, 116, 161, 244},
     {0, 97, 248, 129, 112},
     {0, 193, 248, 225, 112},
     {0, 240, 116, 257, 244},
     {0, 289, 248, 321, 112}},
    {{0, 144, 122, 161, 240},
     {0, 97, 242, 129, 120},
     {0, 193, 242, 225, 120},
     {0, 240, 122, 257, 240},
     {0, 289, 242, 321, 120}},
    {{4, 140, 142, 161, 196},
     {0, 97, 246, 129, 92},
     {0, 193, 246, 225, 92},
     {4, 236, 142, 257, 196},
     {0, 289, 246, 321, 92}},
};
enum Row { kRow1Adj = 0, kRowAct = 1, kRowCal3 = 2, kRowCal2 = 3, kRowCal1 = 4 };
constexpr uint32_t kSetBufferBytes = 46;

// Copies the set's bit string into its two pieces of the image.
void PutSet(uint8_t* image, int layout, Row row, const uint8_t* set, const std::string& what) {
    const Piece& p = kSetPieces[layout][row];
    for (uint32_t k = 0; k < p.bits1 + p.bits2; ++k) {
        uint32_t bit = k < p.bits1 ? p.byte1 * 8 + p.startBit + k : p.byte2 * 8 + (k - p.bits1);
        PutBits(image, bit, 1, set[k / 8] >> (k % 8) & 1, what);
    }
}

// The head of every set: date, time, eight "-" characters, the calibrating transmitter's code.
void PutHead(uint8_t* set, const Date& date, uint32_t transmitterCode, const std::string& what) {
    PutBits(set, 0, 16, DayCount(date), what + " day count");
    PutBits(set, 16, 12, Minutes(date), what + " minutes");
    for (int i = 0; i < 8; ++i) PutBits(set, 28 + 7 * i, 7, '-', what + " characters");
    PutBits(set, 84, 24, transmitterCode, what + " transmitter");
}

// A pH-family calibration (layout 0). Points: buffer pH, electrode mV, temperature C, seconds the
// point took to settle. Bit 342 holds the isothermal point the calibration used.
struct PhCal {
    Date date;
    int points;  // 1 or 2
    double buffer[2], mv[2], temperature[2];
    uint32_t settle[2];
    double isothermal, zeroPh;
    double glassMohm, referenceKohm;  // pNa: the second glass electrode in megaohm
    int kindFlag, driftCode;
    double co2Slope, co2Zero;  // CO2 sensors only: mV/pH and mV
};

std::vector<uint8_t> EncodePh(const PhCal& c, bool pna, bool co2, uint32_t transmitter, const std::string& what) {
    std::vector<uint8_t> set(kSetBufferBytes, 0);
    uint8_t* s = set.data();
    PutHead(s, c.date, transmitter, what);
    PutBits(s, 108, 4, static_cast<uint64_t>(c.kindFlag), what + " kind flag");
    PutBits(s, 112, 4, static_cast<uint64_t>(c.points - 1), what + " points");
    PutBits(s, 116, 14, Stored((c.buffer[0] + 2.0) / 0.0011 + 0.5, what), what + " buffer 0");
    PutBits(s, 130, 14, Stored((c.mv[0] + 819.1) * 10 + 0.5, what), what + " mV 0");
    PutBits(s, 144, 12, Stored((c.temperature[0] + 50) * 10 + 0.5, what), what + " temperature 0");
    PutBits(s, 156, 12, c.settle[0], what + " time 0");
    PutBits(s, 168, 14, Stored((c.buffer[1] + 2.0) / 0.0011 + 0.5, what), what + " buffer 1");
    PutBits(s, 182, 14, Stored((c.mv[1] + 819.1) * 10 + 0.5, what), what + " mV 1");
    PutBits(s, 196, 12, Stored((c.temperature[1] + 50) * 10 + 0.5, what), what + " temperature 1");
    PutBits(s, 208, 12, c.settle[1], what + " time 1");
    // The third triple: the zero point and the voltage at buffer 0 by the calibration.
    PutBits(s, 220, 14, Stored((c.zeroPh + 2.0) / 0.0011 + 0.5, what), what + " zero point");
    PutBits(s, 234, 14, Stored((c.mv[0] + 819.1) * 10 + 0.5, what), what + " mV at buffer 0");
    PutBits(s, 248, 12, Stored((25.0 + 50) * 10 + 0.5, what), what + " temperature 2");
    PutBits(s, 260, 12, 0, what);
    PutBits(s, 272, 12, Stored(c.glassMohm * 2 + 0.5, what), what + " glass impedance");
    PutBits(s, 284, 12, Stored(pna ? c.referenceKohm * 2 + 0.5 : c.referenceKohm * 20 + 0.5, what),
            what + " reference impedance");
    PutBits(s, 296, 10, co2 ? Stored((c.co2Zero + 125) * 4 + 0.5, what) : Ones(10), what + " CO2 zero");
    PutBits(s, 306, 12, co2 ? Stored((c.co2Slope - 22) * 100 + 0.5, what) : Ones(12), what + " CO2 slope");
    // No slope of its own stored: the field stays erased.
    PutBits(s, 318, 12, Ones(12), what);
    // The isothermal point, as the transmitter's calibration writes it (and reads it back).
    PutBits(s, 330, 12, Stored((7.0 - c.isothermal) * 59.16 + 2000, what), what + " isothermal offset");
    PutBits(s, 342, 14, Stored((c.isothermal + 2.0) / 0.0011 + 0.5, what), what + " isothermal point");
    PutBits(s, 356, 4, static_cast<uint64_t>(c.driftCode), what + " drift code");
    return set;
}

// An amperometric oxygen calibration (layout 1): one point, the slope point in air or the zero
// point. Currents are the negated sensor currents; pressure in mbar; humidity in percent.
struct O2Cal {
    Date date;
    bool zeroPoint;
    double negSlopeAtAir, negZero;
    double partialPressure, negCurrent, temperature, pressure;
    uint32_t humidity, settle;
    uint32_t measuredTenths, polarization;
};

std::vector<uint8_t> EncodeO2(const O2Cal& c, bool kind8, uint32_t transmitter, const std::string& what) {
    // The prepared set: everything ones but the head, which follows.
    std::vector<uint8_t> set(kSetBufferBytes, 0xFF);
    uint8_t* s = set.data();
    PutHead(s, c.date, transmitter, what);
    PutBits(s, 108, 14, static_cast<uint64_t>(RoundHalfAway(c.negZero) + 8190), what + " zero");
    int64_t slope = kind8 ? RoundHalfAway(c.negSlopeAtAir * 2) + 242144 : RoundHalfAway(c.negSlopeAtAir * 10) + 100000;
    PutBits(s, 122, 18, static_cast<uint64_t>(slope), what + " slope at air");
    PutBits(s, 140, 14, c.measuredTenths, what + " measured value");
    uint32_t at = c.zeroPoint ? 88 : 0;
    PutBits(s, 154 + at, 20, Stored(c.partialPressure * 1000 + 0.5, what), what + " partial pressure");
    double current = kind8 ? c.negCurrent / 10 + 16776216 : c.negCurrent + 16767214;
    PutBits(s, 174 + at, 24, Stored(current, what), what + " current");
    PutBits(s, 198 + at, 12, Stored(c.temperature * 10 + 500, what), what + " temperature");
    PutBits(s, 210 + at, 14, Stored(c.pressure + 0.5, what), what + " pressure");
    PutBits(s, 224 + at, 7, c.humidity, what + " humidity");
    PutBits(s, 231 + at, 11, c.settle, what + " time");
    PutBits(s, 330, 10, c.polarization, what + " polarization");
    PutBits(s, 340, 4, c.zeroPoint ? 7 : 1, what + " type");
    return set;
}

// A conductivity calibration (layout 2): values in mS/cm, temperatures in C.
struct CondCal {
    Date date;
    int points;
    double compensated[2], measured[2], temperature[2];
    uint32_t settle[2];
    double cellConstant, zeroOffset;
};

std::vector<uint8_t> EncodeCond(const CondCal& c, uint32_t transmitter, const std::string& what) {
    std::vector<uint8_t> set(kSetBufferBytes, 0xFF);
    uint8_t* s = set.data();
    PutHead(s, c.date, transmitter, what);
    PutBits(s, 108, 2, 1, what + " marker");
    PutBits(s, 110, 4, static_cast<uint64_t>(c.points % 16), what + " points");
    for (int i = 0; i < c.points; ++i) {
        uint32_t at = i == 0 ? 0 : 88;
        std::string point = what + " point " + std::to_string(i);
        PutBits(s, 114 + at, 28, Stored(1e8 / c.compensated[i], point), point + " compensated");
        PutBits(s, 142 + at, 16, Stored((c.temperature[i] + 50) * 100, point), point + " temperature");
        PutBits(s, 158 + at, 32, Stored(1e8 / c.measured[i], point), point + " measured");
        PutBits(s, 190 + at, 12, c.settle[i], point + " time");
    }
    PutBits(s, 290, 24, Stored(c.cellConstant * 100000 + 0.5, what), what + " cell constant");
    PutBits(s, 314, 24, static_cast<uint64_t>(RoundHalfAway((c.zeroOffset + 83) * 100000)), what + " zero offset");
    return set;
}

// ---- The sensors -------------------------------------------------------------------------------------

enum class Kind { Ph, Pna, Co2, Cond, O2, O2Gas, Unknown };

struct Diagnostics {
    uint32_t autoclave, sip, cip;
    uint32_t operatingHours;
    uint32_t lifetimeLimit, lifetimeLeft;  // as the layout counts them (see below)
    uint32_t maintInterval, maintLeft;
    uint32_t actInterval, actLeft;  // hours
    double maxTemperature;
    Date maxTemperatureDate;
};

struct Sensor {
    const char* file;
    Kind kind;
    uint32_t family, variant, model, serial, part;
    const char* typeText;
    uint32_t firmware, hardware, writeTime;
    uint32_t phSubType;
    uint32_t option;  // pH sensors: the option field's value (4, 8 or 12), 0 none
    Date factoryDate;
    Diagnostics diag;
    uint32_t polarizationMv;  // magnitude; oxygen sensors polarize negative
    double salinity, bicarbonate;
};

// The transmitter that calibrated a sensor, by the code its serial number gives.
constexpr uint32_t kFactoryStation = 10004321;
constexpr uint32_t kPlantTransmitter = 10021045;

int LayoutOf(Kind kind) {
    switch (kind) {
        case Kind::O2:
        case Kind::O2Gas:
            return 1;
        case Kind::Cond:
            return 2;
        default:
            return 0;
    }
}

void PutIdentity(uint8_t* image, const Sensor& s) {
    std::string w = s.file;
    PutAt(image, 2, 6, 15, s.model, w + " model");
    PutAt(image, 6, 0, 24, s.serial, w + " serial");
    PutAt(image, 9, 2, 8, s.family, w + " family");
    PutAt(image, 10, 2, 2, s.variant, w + " variant");
    PutAt(image, 10, 4, 4, s.part & 0xF, w + " part number");
    PutAt(image, 11, 0, 28, s.part >> 4, w + " part number");
    size_t length = std::strlen(s.typeText);
    if (length > 13) Fail(w, "type text longer than 13 characters");
    for (size_t i = 0; i < 13; ++i) {
        char c = i < length ? s.typeText[i] : (i == length ? '/' : '\0');
        if (i > length) break;
        PutBits(image, 65 * 8 + 7 * static_cast<uint32_t>(i), 7, static_cast<uint8_t>(c), w + " type text");
    }
    image[481] = static_cast<uint8_t>(s.firmware);
    image[482] = static_cast<uint8_t>(s.hardware);
    image[484] = static_cast<uint8_t>(s.writeTime);
}

void PutDiagnostics(uint8_t* image, const Sensor& s) {
    std::string w = s.file;
    const Diagnostics& d = s.diag;
    int layout = LayoutOf(s.kind);
    uint32_t maxTemp = static_cast<uint32_t>((d.maxTemperature + 50) * 10);
    if (layout == 2) {
        // Page 13 (bytes 416-447) keeps the conductivity sensor's own counters as bit fields.
        uint32_t page = 13 * 32 * 8;
        PutBits(image, page + 8, 12, maxTemp, w + " maximum temperature");
        PutBits(image, page + 20, 16, DayCount(d.maxTemperatureDate), w + " maximum temperature day");
        PutBits(image, page + 36, 18, d.operatingHours, w + " operating hours");
        PutBits(image, page + 66, 12, d.sip, w + " SIP");
        PutBits(image, page + 78, 12, d.cip, w + " CIP");
        image[353] = static_cast<uint8_t>(d.autoclave);
        return;
    }
    image[353] = static_cast<uint8_t>(d.autoclave);
    image[354] = static_cast<uint8_t>(d.sip);
    image[355] = static_cast<uint8_t>(d.cip);
    PutU16(image, 417, d.operatingHours, w + " operating hours");
    PutU16(image, 421, d.lifetimeLeft, w + " lifetime left");
    PutU16(image, 423, d.maintLeft, w + " maintenance left");
    PutU16(image, 425, d.actLeft, w + " calibration timer left");
    PutAt(image, 336, 0, 12, maxTemp, w + " maximum temperature");
    PutAt(image, 337, 4, 16, DayCount(d.maxTemperatureDate), w + " maximum temperature day");
    // Page 1 intervals, where the transmitter and the sensor meet.
    if (layout == 1) {
        PutAt(image, 55, 7, 12, d.actInterval, w + " ACT interval");
        PutAt(image, 61, 6, 9, d.maintInterval, w + " TTM interval");
        PutAt(image, 62, 7, 9, d.lifetimeLimit, w + " lifetime limit");
    } else if (s.kind == Kind::Co2) {
        PutAt(image, 54, 2, 12, d.actInterval, w + " ACT interval");
        PutAt(image, 60, 0, 12, d.maintInterval, w + " TTM interval");
        PutAt(image, 58, 6, 10, d.lifetimeLimit, w + " lifetime limit");
    } else {
        PutAt(image, 56, 6, 12, d.actInterval, w + " ACT interval");
        PutAt(image, 62, 4, 12, d.maintInterval, w + " TTM interval");
        PutAt(image, 61, 2, 10, d.lifetimeLimit, w + " lifetime limit");
    }
}

// pH electrode at 25 C: E = slope x (isothermal point - pH) + offset, slope in mV/pH.
PhCal PhPoints(Date date, int points, double slope, double zeroPh, double b0, double b1, double glass, double reference,
               int kindFlag, int drift) {
    PhCal c{};
    c.date = date;
    c.points = points;
    c.buffer[0] = b0;
    c.buffer[1] = b1;
    for (int i = 0; i < 2; ++i) {
        c.mv[i] = slope * (zeroPh - c.buffer[i]);
        c.temperature[i] = 25.0;
    }
    c.settle[0] = 42;
    c.settle[1] = points == 2 ? 57 : 0;
    c.isothermal = 7.0;
    c.zeroPh = zeroPh;
    c.glassMohm = glass;
    c.referenceKohm = reference;
    c.kindFlag = kindFlag;
    c.driftCode = drift;
    return c;
}

// The factory calibration of page 1 (layout 0): date, zero point, slope in mV/pH.
void PutPhFactory(uint8_t* image, const Sensor& s, double zeroPh, double slope) {
    std::string w = s.file;
    PutAt(image, 33, 0, 4, s.phSubType, w + " sub-type");
    PutAt(image, 33, 4, 16, DayCount(s.factoryDate), w + " factory day");
    PutAt(image, 37, 4, 14, Stored((zeroPh + 2.0) / 0.0011 + 0.5, w), w + " factory zero");
    PutAt(image, 39, 2, 12, Stored(slope * 100 - 2200 + 0.5, w), w + " factory slope");
}

struct History {
    std::vector<uint8_t> act, adj1, cal1, cal2, cal3;  // empty: never written (erased)
};

void PutHistory(uint8_t* image, int layout, const History& h, const std::string& w) {
    auto put = [&](Row row, const std::vector<uint8_t>& set) {
        std::vector<uint8_t> erased(kSetBufferBytes, 0xFF);
        PutSet(image, layout, row, set.empty() ? erased.data() : set.data(), w);
    };
    put(kRowAct, h.act);
    put(kRow1Adj, h.adj1);
    put(kRowCal1, h.cal1);
    put(kRowCal2, h.cal2);
    put(kRowCal3, h.cal3);
}

void PutLiveTemperature(uint8_t* image, double celsius) {
    int16_t t = static_cast<int16_t>(std::lround(celsius * 100));
    image[kMeasureBlock * kBlockBytes + 4] = static_cast<uint8_t>(t & 0xFF);
    image[kMeasureBlock * kBlockBytes + 5] = static_cast<uint8_t>((t >> 8) & 0xFF);
}

void FixPageSums(uint8_t* image) {
    for (int block = 0; block <= kLastPageBlock; ++block) {
        if (block == kMeasureBlock || block == kMeasureBlock + 1) continue;
        uint8_t* page = image + block * kBlockBytes;
        uint8_t sum = 0;
        for (int i = 1; i < kBlockBytes; ++i) sum = static_cast<uint8_t>(sum + page[i]);
        page[0] = static_cast<uint8_t>(0u - sum);
    }
}

const Date kNewSensorCal = {2024, 3, 12, 9, 40};

// The pH-family sensors. A new sensor carries its factory calibration as "Act" and nothing else;
// a used one its history, newest first.
std::vector<uint8_t> BuildPhFamily(const Sensor& s, const History& history, double factoryZero, double factorySlope) {
    std::vector<uint8_t> image(kImageBytes, 0);
    PutIdentity(image.data(), s);
    PutPhFactory(image.data(), s, factoryZero, factorySlope);
    if (s.kind == Kind::Co2) {
        PutAt(image.data(), 51, 0, 10, Stored(s.salinity * 10 + 0.5, s.file), std::string(s.file) + " salinity");
        PutAt(image.data(), 52, 2, 8, Stored(s.bicarbonate * 1000 + 0.5, s.file), std::string(s.file) + " bicarbonate");
    }
    PutHistory(image.data(), 0, history, s.file);
    PutDiagnostics(image.data(), s);
    if (s.option != 0) image[kOptionByte] = static_cast<uint8_t>(s.option);
    PutLiveTemperature(image.data(), 25.0);
    FixPageSums(image.data());
    return image;
}

std::vector<uint8_t> BuildOxygen(const Sensor& s, const History& history, double factorySlope, double factoryZero) {
    std::vector<uint8_t> image(kImageBytes, 0);
    std::string w = s.file;
    PutIdentity(image.data(), s);
    bool kind8 = s.kind == Kind::O2Gas;
    PutAt(image.data(), 40, 6, 16, DayCount(s.factoryDate), w + " factory day");
    PutAt(image.data(), 45, 2, 14, static_cast<uint64_t>(RoundHalfAway(factoryZero) + 8190), w + " factory zero");
    uint64_t slope = kind8 ? Stored((factorySlope + 65536) * 4, w) : Stored(factorySlope * 10 + 100000, w);
    PutAt(image.data(), 47, 0, 18, slope, w + " factory slope");
    // Polarization voltage: mV = value x 2 - 1022.
    PutBits(image.data(), 138, 10, static_cast<uint64_t>((1022 - static_cast<int>(s.polarizationMv)) / 2),
            w + " polarization");
    // The polarization offset (page 12) at its neutral value: 630 / 5.
    PutAt(image.data(), 414, 5, 8, 126, w + " polarization offset");
    if (kind8) {
        // Gas-phase signal bounds of page 15: the low bound x -100, the high bound x 1.
        PutBits(image.data(), 15 * 256 + 230, 10, 1000, w + " low signal bound");
        PutBits(image.data(), 15 * 256 + 240, 10, 10, w + " high signal bound");
    }
    PutHistory(image.data(), 1, history, w);
    PutDiagnostics(image.data(), s);
    // Live block: raw signal, sensor words, temperature; flags clear (no sensor alarm).
    uint8_t* live = image.data() + kMeasureBlock * kBlockBytes;
    if (kind8) {
        float signal = 2.5f;
        std::memcpy(live, &signal, 4);
        live[14] = 0x10;
    } else {
        live[0] = 0x3C;
        live[1] = 0x1E;
        live[2] = 0x20;
        live[6] = 0x64;
    }
    PutLiveTemperature(image.data(), 25.0);
    FixPageSums(image.data());
    return image;
}

std::vector<uint8_t> BuildConductivity(const Sensor& s, const History& history, double cell, double zero) {
    std::vector<uint8_t> image(kImageBytes, 0);
    std::string w = s.file;
    PutIdentity(image.data(), s);
    PutAt(image.data(), 33, 0, 16, DayCount(s.factoryDate), w + " factory day");
    PutAt(image.data(), 35, 0, 24, Stored(cell * 100000 + 0.5, w), w + " factory cell constant");
    PutAt(image.data(), 38, 0, 24, static_cast<uint64_t>(RoundHalfAway((zero + 83) * 100000)), w + " factory zero");
    PutHistory(image.data(), 2, history, w);
    PutDiagnostics(image.data(), s);
    // Live block: temperature x 100, conductivity 1.413 mS/cm as a float with its 16-bit halves
    // swapped, range byte 2.
    PutLiveTemperature(image.data(), 25.0);
    float value = 1.413f;
    uint8_t le[4];
    std::memcpy(le, &value, 4);
    uint8_t* live = image.data() + kMeasureBlock * kBlockBytes;
    live[6] = le[2];
    live[7] = le[3];
    live[8] = le[0];
    live[9] = le[1];
    live[31] = 2;
    FixPageSums(image.data());
    return image;
}

// ---- Optical sensors' command answers ---------------------------------------------------------------

uint16_t Crc16(const std::vector<uint8_t>& bytes, size_t from, size_t to) {
    static uint16_t table[256];
    static bool made = false;
    if (!made) {
        for (int i = 0; i < 256; ++i) {
            uint16_t crc = static_cast<uint16_t>(i << 8);
            for (int k = 0; k < 8; ++k) crc = static_cast<uint16_t>(crc & 0x8000 ? (crc << 1) ^ 0x1021 : crc << 1);
            table[i] = crc;
        }
        made = true;
    }
    uint16_t crc = 0xFFFF;
    for (size_t i = from; i < to; ++i) crc = static_cast<uint16_t>(table[crc >> 8] ^ (crc << 8) ^ bytes[i]);
    return crc;
}

void PutFloatBE(std::vector<uint8_t>& p, size_t at, float value) {
    uint32_t word;
    std::memcpy(&word, &value, 4);
    for (int i = 0; i < 4; ++i) p[at + i] = static_cast<uint8_t>(word >> (24 - 8 * i));
}

void PutU16BE(std::vector<uint8_t>& p, size_t at, uint32_t value) {
    p[at] = static_cast<uint8_t>(value >> 8);
    p[at + 1] = static_cast<uint8_t>(value);
}

void PutText(std::vector<uint8_t>& p, size_t at, const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) p[at + i] = static_cast<uint8_t>(text[i]);
}

// The sensor's answer frame: 01 03, length (payload + 7), the name with its first letter in lower
// case, the payload, status 0 and the CRC over name, payload and status.
std::vector<uint8_t> Answer(const std::string& name, const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> frame = {0x01, 0x03};
    frame.push_back(static_cast<uint8_t>((payload.size() + 7) >> 8));
    frame.push_back(static_cast<uint8_t>(payload.size() + 7));
    frame.push_back(static_cast<uint8_t>(name[0] + 32));
    for (int i = 1; i < 4; ++i) frame.push_back(static_cast<uint8_t>(name[i]));
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(0x00);
    uint16_t crc = Crc16(frame, 4, frame.size());
    frame.push_back(static_cast<uint8_t>(crc >> 8));
    frame.push_back(static_cast<uint8_t>(crc));
    return frame;
}

struct Optical {
    const char* file;
    uint32_t model, serial, part;
    const char* firmware;
    const char* hardware;
    uint8_t typeByte;
    uint32_t operatingHours;
    uint32_t sip, cip, autoclave;
    uint32_t actDays, lifetimeDays, lifetimeLimitDays;
    float phaseAir, phaseZero;  // calibration results: phase angle in degrees in air and at zero
    const char* history[6];     // YY/MM/DD, "--/--/--" for none
    float historyAir[6], historyZero[6];
};

std::string Digits(uint32_t value, int width) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*u", width, value);
    return text;
}

std::vector<std::pair<std::string, std::vector<uint8_t>>> OpticalAnswers(const Optical& o) {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> records;
    auto add = [&](const std::string& name, const std::vector<uint8_t>& payload) {
        records.push_back({name, Answer(name, payload)});
    };

    // Identification: type text (the model number is its first run of digits), serial, versions,
    // part number, type byte 3 (optical oxygen), option byte.
    std::vector<uint8_t> g124(80, 0);
    PutText(g124, 0, "SelvoQ " + std::to_string(o.model) + "  ");
    PutText(g124, 13, Digits(o.serial, 7));
    PutText(g124, 27, o.firmware);
    PutText(g124, 31, o.hardware);
    PutText(g124, 35, "OPTO");
    PutText(g124, 43, Digits(o.part, 8));
    g124[51] = o.typeByte;
    g124[52] = 1;
    add("G124", g124);

    // Measured values: oxygen in % air, mg/l, ppb, % O2, ppm gas, mbar, phase, temperature.
    std::vector<uint8_t> g100(96, 0);
    const float values[14] = {100.0f, 8.26f,  8260.0f, 0.0f,   20.95f, 0.0f,  209500.0f,
                              212.2f, 20.95f, 0.0f,    100.0f, 22.4f,  25.0f, 0.0f};
    for (int i = 0; i < 14; ++i) PutFloatBE(g100, static_cast<size_t>(4 * i), values[i]);
    PutFloatBE(g100, 56, 0.0f);
    PutFloatBE(g100, 60, 42.7f);
    PutU16BE(g100, 65, o.sip);
    PutU16BE(g100, 67, o.cip);
    PutU16BE(g100, 69, o.autoclave);
    PutU16BE(g100, 74, o.actDays);
    PutU16BE(g100, 76, o.lifetimeDays);
    PutText(g100, 78, Digits(o.operatingHours, 7));
    PutText(g100, 85, Digits(o.operatingHours, 7));
    add("G100", g100);

    std::vector<uint8_t> g113(55, 0);
    const float cal[7] = {100.0f, 0.0f, o.phaseZero, o.phaseAir, 25.0f, 25.0f, 22.4f};
    for (int i = 0; i < 7; ++i) PutFloatBE(g113, static_cast<size_t>(4 * i), cal[i]);
    PutFloatBE(g113, 29, 0.0f);
    PutFloatBE(g113, 33, 0.0f);
    PutU16BE(g113, 50, 1013);
    g113[52] = 100;
    add("G113", g113);

    std::vector<uint8_t> g129(25, 0);
    PutFloatBE(g129, 9, o.phaseZero);
    PutFloatBE(g129, 13, o.phaseAir);
    add("G129", g129);

    std::vector<uint8_t> g131(5, 0);
    PutU16BE(g131, 0, 1013);
    g131[2] = 'd';
    PutU16BE(g131, 3, 0);
    add("G131", g131);

    std::vector<uint8_t> g132(96, 0);
    for (int i = 0; i < 6; ++i) {
        PutText(g132, static_cast<size_t>(16 * i), o.history[i]);
        PutFloatBE(g132, static_cast<size_t>(16 * i + 8), o.historyZero[i]);
        PutFloatBE(g132, static_cast<size_t>(16 * i + 12), o.historyAir[i]);
    }
    add("G132", g132);

    std::vector<uint8_t> g133(4, 0);
    PutFloatBE(g133, 0, 1000.0f);
    add("G133", g133);

    // Registers: 1 SIP limit, 2 CIP limit, 3 autoclave limit, a fifth value, 5 the ACT interval
    // in days, the lifetime limit in days.
    std::vector<uint8_t> g134(12, 0);
    PutU16BE(g134, 0, 100);
    PutU16BE(g134, 2, 100);
    PutU16BE(g134, 4, 50);
    PutU16BE(g134, 6, 0);
    PutU16BE(g134, 8, 30);
    PutU16BE(g134, 10, o.lifetimeLimitDays);
    add("G134", g134);

    // Cycle temperature limits: SIP, then CIP.
    std::vector<uint8_t> g139(8, 0);
    PutFloatBE(g139, 0, 115.0f);
    PutFloatBE(g139, 4, 55.0f);
    add("G139", g139);

    std::vector<uint8_t> g540(4, 0);
    PutFloatBE(g540, 0, 1.0f);
    add("G540", g540);

    // The writing commands are acknowledged with their name and status alone.
    for (const char* name : {"S112", "S126", "S127", "S131", "S133", "S134", "S136", "S137", "S139", "S510", "S540"}) {
        add(name, {});
    }
    return records;
}

std::string HexImage(const std::vector<uint8_t>& image) {
    std::string text;
    char byte[4];
    for (uint8_t b : image) {
        std::snprintf(byte, sizeof byte, "%02X ", b);
        text += byte;
    }
    return text;
}

std::string RecordList(const Optical& o) {
    std::string text;
    char line[16];
    for (const auto& record : OpticalAnswers(o)) {
        std::snprintf(line, sizeof line, "%%%s%%%03u%%\n", record.first.c_str(),
                      static_cast<unsigned>(record.second.size()));
        text += line;
        for (size_t i = 0; i < record.second.size(); ++i) {
            char byte[4];
            std::snprintf(byte, sizeof byte, i == 0 ? "%02X" : " %02X", record.second[i]);
            text += byte;
        }
        text += '\n';
    }
    return text;
}

// ---- The fifteen files ---------------------------------------------------------------------------------

struct Output {
    std::string name;
    std::string text;
};

std::vector<Output> BuildAll() {
    std::vector<Output> out;
    auto image = [&](const Sensor& s, const std::vector<uint8_t>& bytes, size_t length) {
        out.push_back(
            {s.file, HexImage(std::vector<uint8_t>(bytes.begin(), bytes.begin() + static_cast<long>(length)))});
    };

    // ---- CO2: a pH glass electrode behind a bicarbonate membrane, used for half a year.
    {
        Sensor s{"CO2_SelvoC11_0.txt",
                 Kind::Co2,
                 9,
                 0,
                 4220,
                 310457,
                 52206150,
                 "SelvoC11-120",
                 8,
                 2,
                 20,
                 0,
                 0,
                 {2023, 9, 18, 14, 5},
                 {3, 41, 63, 3288, 1000, 712, 300, 168, 168, 96, 71.3, {2024, 2, 7, 11, 20}},
                 0,
                 0.5,
                 0.015};
        History h;
        PhCal act = PhPoints({2024, 3, 4, 8, 15}, 2, 57.9, 6.86, 7.0, 9.21, 210, 14.5, 0, 1);
        act.co2Slope = 57.9;
        act.co2Zero = 8.3;
        PhCal adj = PhPoints({2023, 10, 2, 10, 30}, 2, 58.6, 6.92, 7.0, 9.21, 195, 13.0, 0, 1);
        adj.co2Slope = 58.6;
        adj.co2Zero = 4.7;
        PhCal cal2 = PhPoints({2023, 12, 11, 9, 5}, 1, 58.2, 6.89, 7.0, 9.0, 205, 14.0, 0, 1);
        cal2.co2Slope = 58.2;
        cal2.co2Zero = 6.5;
        h.act = EncodePh(act, false, true, kPlantTransmitter, "CO2 Act");
        h.cal1 = h.act;
        h.cal2 = EncodePh(cal2, false, true, kPlantTransmitter, "CO2 Cal2");
        h.cal3 = EncodePh(adj, false, true, kPlantTransmitter, "CO2 Cal3");
        h.adj1 = h.cal3;
        image(s, BuildPhFamily(s, h, 6.95, 58.9), kImageBytes);
    }
    // ---- Conductivity, four electrodes, calibrated once in a 12.88 mS/cm standard.
    {
        Sensor s{"COND_SelvoK11_0.txt",
                 Kind::Cond,
                 5,
                 0,
                 4195,
                 208731,
                 52206085,
                 "SelvoK11-120",
                 6,
                 1,
                 20,
                 0,
                 0,
                 {2023, 11, 6, 13, 45},
                 {0, 12, 37, 1460, 0, 0, 0, 0, 0, 0, 88.5, {2024, 1, 22, 16, 10}},
                 0,
                 0,
                 0};
        CondCal factory{{2023, 11, 6, 13, 45}, 2,        {1.413, 12.88}, {1.4136, 12.874},
                        {25.0, 25.0},          {60, 60}, 0.3203,         0.0};
        CondCal field{{2024, 2, 19, 10, 0}, 1, {12.88, 0}, {12.91, 0}, {24.6, 0}, {75, 0}, 0.3196, 0.0};
        History h;
        h.act = EncodeCond(field, kPlantTransmitter, "COND Act");
        h.cal1 = h.act;
        h.adj1 = h.act;
        image(s, BuildConductivity(s, h, factory.cellConstant, factory.zeroOffset), kImageBytes);
    }
    // ---- Amperometric oxygen: D11 high range (kind 5), D12 low range (6), D13 trace (7),
    // D14 gas-phase trace (family 16, kind 8), D15 a variant this transmitter does not use.
    struct O2Model {
        const char* file;
        Kind kind;
        uint32_t family, variant, model, serial, part;
        const char* typeText;
        uint32_t polarization;
        double negSlopeAtAir, negZero;  // slope at air in the transmitter's units, zero x 1000
    };
    const O2Model o2[] = {
        {"DO_SelvoD11_0.txt", Kind::O2, 3, 0, 4200, 125566, 52206101, "SelvoD11-120", 674, -70.4, -120},
        {"DO_SelvoD12_0.txt", Kind::O2, 3, 1, 4201, 125890, 52206102, "SelvoD12-120", 500, -351.8, -85},
        {"DO_SelvoD13_0.txt", Kind::O2, 3, 2, 4202, 126014, 52206103, "SelvoD13-220", 500, -3987.0, -40},
        {"DO_SelvoD14_0.txt", Kind::O2Gas, 16, 0, 4203, 126233, 52206104, "SelvoD14-G", 600, -39850.0, -25},
        {"DO_SelvoD15_0.txt", Kind::O2, 3, 3, 4204, 126390, 52206105, "SelvoD15-120", 674, -69.8, -110},
    };
    for (const O2Model& m : o2) {
        Sensor s{m.file,
                 m.kind,
                 m.family,
                 m.variant,
                 m.model,
                 m.serial,
                 m.part,
                 m.typeText,
                 5,
                 2,
                 20,
                 0,
                 0,
                 {2023, 12, 4, 15, 30},
                 {2, 18, 30, 2150, 438, 3920, 90, 1460, 720, 512, 62.4, {2024, 2, 28, 7, 55}},
                 m.polarization,
                 0,
                 0};
        bool kind8 = m.kind == Kind::O2Gas;
        // Current at air = slope at air x 1000; the pressure 1013 mbar, saturated air at 25 C.
        double pd = (1013 - 31.671572) * 0.2095;
        O2Cal air{{2024, 3, 1, 9, 12},
                  false,
                  m.negSlopeAtAir,
                  m.negZero,
                  pd,
                  m.negSlopeAtAir * 1000 * 1.004,
                  25.0,
                  1013,
                  100,
                  95,
                  500,
                  m.polarization};
        O2Cal zero{{2024, 2, 12, 14, 48},
                   true,
                   m.negSlopeAtAir * 0.996,
                   m.negZero,
                   0.0,
                   m.negZero / 1000,
                   25.0,
                   1013,
                   0,
                   240,
                   0,
                   m.polarization};
        O2Cal first{{2023, 12, 18, 8, 30},
                    false,
                    m.negSlopeAtAir * 1.01,
                    m.negZero,
                    pd,
                    m.negSlopeAtAir * 1010,
                    24.8,
                    1009,
                    100,
                    110,
                    500,
                    m.polarization};
        History h;
        h.act = EncodeO2(air, kind8, kPlantTransmitter, std::string(m.file) + " Act");
        h.cal1 = h.act;
        h.cal2 = EncodeO2(zero, kind8, kPlantTransmitter, std::string(m.file) + " Cal2");
        h.cal3 = EncodeO2(first, kind8, kPlantTransmitter, std::string(m.file) + " Cal3");
        h.adj1 = h.cal3;
        image(s, BuildOxygen(s, h, m.negSlopeAtAir * 1.012, m.negZero), kImageBytes);
    }
    // ---- Optical oxygen sensors: record lists.
    const Optical optical[] = {
        {"OPT_SelvoQ11_0.txt",
         4210,
         412377,
         52206201,
         "2.20",
         "1.10",
         3,
         4620,
         14,
         22,
         1,
         153,
         565,
         730,
         22.4f,
         61.8f,
         {"23/10/16", "24/03/05", "23/10/16", "24/03/05", "24/01/08", "--/--/--"},
         {22.9f, 22.4f, 22.9f, 22.4f, 22.6f, 0.0f},
         {62.3f, 61.8f, 62.3f, 61.8f, 62.0f, 0.0f}},
        {"OPT_SelvoQ12_0.txt",
         4211,
         413092,
         52206202,
         "2.31",
         "1.20",
         3,
         980,
         2,
         4,
         0,
         210,
         700,
         730,
         19.7f,
         58.9f,
         {"24/01/22", "24/01/22", "24/01/22", "--/--/--", "--/--/--", "--/--/--"},
         {19.7f, 19.7f, 19.7f, 0.0f, 0.0f, 0.0f},
         {58.9f, 58.9f, 58.9f, 0.0f, 0.0f, 0.0f}},
    };
    for (const Optical& o : optical) out.push_back({o.file, RecordList(o)});

    // ---- pH sensors.
    {
        // A new SelvoP11: its factory calibration in use, newer firmware with the option field.
        Sensor s{"PH_SelvoP11_0.txt",
                 Kind::Ph,
                 1,
                 0,
                 4187,
                 100234,
                 52206001,
                 "SelvoP11-120",
                 8,
                 2,
                 20,
                 1,
                 8,
                 {2024, 3, 12, 9, 40},
                 {0, 0, 0, 6, 365, 8754, 300, 720, 720, 720, 25.8, {2024, 3, 12, 9, 40}},
                 0,
                 0,
                 0};
        History h;
        h.act = EncodePh(PhPoints(kNewSensorCal, 2, 59.05, 7.02, 7.0, 4.01, 260, 12.0, 0, 1), false, false,
                         kFactoryStation, "P11 Act");
        image(s, BuildPhFamily(s, h, 7.02, 59.05), kImageBytes);
    }
    {
        // A SelvoP11 after a year in the plant: three calibrations, older firmware, no option.
        Sensor s{"PH_SelvoP11_1.txt",
                 Kind::Ph,
                 1,
                 0,
                 4187,
                 100871,
                 52206001,
                 "SelvoP11-120",
                 5,
                 1,
                 20,
                 1,
                 0,
                 {2023, 2, 20, 11, 0},
                 {4, 27, 58, 8130, 365, 630, 300, 410, 720, 260, 128.6, {2023, 11, 14, 3, 25}},
                 0,
                 0,
                 0};
        History h;
        h.adj1 = EncodePh(PhPoints({2023, 3, 6, 8, 45}, 2, 58.7, 6.98, 7.0, 4.01, 240, 11.5, 0, 1), false, false,
                          kPlantTransmitter, "P11(2) 1Adj");
        h.cal3 = EncodePh(PhPoints({2023, 9, 25, 13, 10}, 2, 57.9, 6.91, 7.0, 4.01, 310, 13.5, 0, 1), false, false,
                          kPlantTransmitter, "P11(2) Cal3");
        h.cal2 = EncodePh(PhPoints({2023, 12, 18, 10, 5}, 1, 57.6, 6.88, 7.0, 4.01, 330, 14.0, 0, 2), false, false,
                          kPlantTransmitter, "P11(2) Cal2");
        h.cal1 = EncodePh(PhPoints({2024, 2, 26, 9, 30}, 2, 57.2, 6.85, 7.0, 4.01, 355, 15.5, 0, 1), false, false,
                          kPlantTransmitter, "P11(2) Cal1");
        h.act = h.cal1;
        image(s, BuildPhFamily(s, h, 7.01, 59.1), kImageBytes);
    }
    {
        Sensor s{"PH_SelvoP12_0.txt",
                 Kind::Ph,
                 1,
                 0,
                 4188,
                 101502,
                 52206002,
                 "SelvoP12-225",
                 7,
                 2,
                 20,
                 2,
                 4,
                 {2023, 12, 1, 10, 20},
                 {1, 6, 11, 2210, 365, 6540, 300, 530, 720, 410, 91.2, {2024, 1, 30, 12, 0}},
                 0,
                 0,
                 0};
        History h;
        h.adj1 = EncodePh(PhPoints({2023, 12, 14, 9, 0}, 2, 58.9, 7.03, 7.0, 4.01, 420, 9.5, 0, 1), false, false,
                          kPlantTransmitter, "P12 1Adj");
        h.cal1 = EncodePh(PhPoints({2024, 2, 19, 8, 20}, 2, 58.4, 6.97, 7.0, 9.21, 450, 10.0, 0, 1), false, false,
                          kPlantTransmitter, "P12 Cal1");
        h.cal2 = h.adj1;
        h.act = h.cal1;
        image(s, BuildPhFamily(s, h, 7.03, 58.9), kImageBytes);
    }
    {
        // pNa: a sodium glass electrode against a pH glass electrode (sub-type 13); its second
        // impedance is the second glass electrode's, in megaohm.
        Sensor s{"pNa_SelvoN11_0.txt",
                 Kind::Pna,
                 1,
                 0,
                 4190,
                 102288,
                 52206010,
                 "SelvoN11-120",
                 7,
                 2,
                 20,
                 13,
                 8,
                 {2023, 10, 9, 15, 15},
                 {0, 2, 5, 3110, 365, 5260, 300, 600, 720, 300, 45.1, {2023, 12, 2, 14, 40}},
                 0,
                 0,
                 0};
        History h;
        PhCal act = PhPoints({2024, 1, 15, 11, 45}, 2, 58.1, 7.0, 7.0, 4.0, 380, 120.0, 1, 1);
        h.act = EncodePh(act, true, false, kPlantTransmitter, "N11 Act");
        h.cal1 = h.act;
        h.adj1 = h.act;
        image(s, BuildPhFamily(s, h, 6.99, 58.5), kImageBytes);
    }
    // ---- A one-wire memory of a family this transmitter does not know: 512 bytes, no page 16.
    {
        Sensor s{"Unknown_OneWire_Sensor_0.txt",
                 Kind::Unknown,
                 12,
                 0,
                 4990,
                 900017,
                 52209990,
                 "1W-MEM-512",
                 1,
                 1,
                 20,
                 0,
                 0,
                 {2022, 6, 1, 12, 0},
                 {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 23.0, {2022, 6, 1, 12, 0}},
                 0,
                 0,
                 0};
        std::vector<uint8_t> bytes(kImageBytes, 0);
        PutIdentity(bytes.data(), s);
        FixPageSums(bytes.data());
        image(s, bytes, 512);
    }
    out.push_back({"ReadMe.txt",
                   "Sensor files of the R718G/2XH simulator\n"
                   "\n"
                   "Each file stands for one digital sensor on channel B. A memory image holds the\n"
                   "sensor's memory as hexadecimal bytes, two digits and a blank per byte, 608 bytes\n"
                   "(19 blocks of 32); the transmitter reads blocks 0-15 and 18 as its pages, each of\n"
                   "which sums to zero. Optical oxygen sensors answer commands instead: their files\n"
                   "list the answers, each headed by a line such as %G124%091% (command, length).\n"
                   "\n"
                   "CO2_SelvoC11_0.txt            dissolved CO2 (family 9)\n"
                   "COND_SelvoK11_0.txt           conductivity, four electrodes (family 5)\n"
                   "DO_SelvoD11_0.txt             amperometric oxygen, high range (family 3)\n"
                   "DO_SelvoD12_0.txt             amperometric oxygen, low range (family 3)\n"
                   "DO_SelvoD13_0.txt             amperometric oxygen, trace (family 3)\n"
                   "DO_SelvoD14_0.txt             amperometric oxygen in gas, ppm (family 16)\n"
                   "DO_SelvoD15_0.txt             amperometric oxygen of a variant the transmitter\n"
                   "                              does not use (family 3, variant 3)\n"
                   "OPT_SelvoQ11_0.txt            optical oxygen, used\n"
                   "OPT_SelvoQ12_0.txt            optical oxygen, new\n"
                   "PH_SelvoP11_0.txt             pH, new\n"
                   "PH_SelvoP11_1.txt             pH, the same model after a year in the plant\n"
                   "PH_SelvoP12_0.txt             pH\n"
                   "pNa_SelvoN11_0.txt            pNa (family 1, sub-type 13)\n"
                   "Unknown_OneWire_Sensor_0.txt  a 512-byte memory of a family the transmitter does\n"
                   "                              not know\n"
                   "\n"
                   "The simulator writes a changed memory image back into its file (lower-case\n"
                   "digits) when it reads the files from a folder.\n"});
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: sensorgen OUTPUT_FOLDER\n";
        return 2;
    }
    std::vector<Output> files = BuildAll();
    if (g_Errors != 0) return 1;
    std::string folder = argv[1];
    for (const Output& f : files) {
        std::string path = folder + "/" + f.name;
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << f.text;
        if (!out) {
            std::cerr << "sensorgen: cannot write " << path << '\n';
            return 1;
        }
    }
    return 0;
}
