// The sensor board's calibration store.
#include "sensor_board/sim_cal.h"

#include <cmath>
#include <complex>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "sensor_board/board.h"
#include "sensor_board/sim_eeprom.h"
#include "sensor_board/sim_meas.h"

static constexpr uint32_t kMaxValues = 3;
static constexpr uint32_t kMaxPoints = 3;
static constexpr uint32_t kMarkerOffset = 2;
static const uint8_t kMarker[2] = {'A', '9'};
static constexpr uint32_t kTempFactorUser = 204;
static constexpr float kTempFactorDefault = 1.0f;
// The smallest magnitudes the computations accept as divisors and as point values.
static constexpr float kTiny = 1e-29f;
static constexpr float kPointMin = 1e-9f;

enum : uint8_t {
    kKindCondLast = 4,
    kKindThreePoint = 5,
    kKindVoltage = 6,
    kKindLineA = 7,
    kKindLineB = 8,
    kKindImpedance = 9,
    kKindRefImpedance = 10,
    kKindAnalogIn = 11,
    kKindRawLinear = 12,
};

// Where a kind keeps its values in the parameter file, its defaults, how many point indexes it
// takes, and the status its failing save reports (0: the parameter file's own status).
struct KindLayout {
    uint8_t values;
    uint8_t points;
    uint16_t user[kMaxValues];
    uint16_t factory[kMaxValues];
    float defaults[kMaxValues];
    uint32_t saveFailStatus;
};

// Kind 5 keeps C, A, B in this order. The voltage line's default slope is the converter's step:
// 2.048 V over 32767 counts.
static const KindLayout kKinds[kSimCalKinds] = {
    {2, 2, {164, 184}, {532, 552}, {1.0f, 0.0f}, kSimCalSaveFailedCond},
    {2, 2, {168, 188}, {536, 556}, {1.0f, 0.0f}, kSimCalSaveFailedCond},
    {2, 2, {172, 192}, {540, 560}, {1.0f, 0.0f}, kSimCalSaveFailedCond},
    {2, 2, {176, 196}, {544, 564}, {1.0f, 0.0f}, kSimCalSaveFailedCond},
    {2, 2, {180, 200}, {548, 568}, {1.0f, 0.0f}, kSimCalSaveFailedCond},
    {3, 3, {152, 156, 160}, {512, 516, 520}, {1234.45141f, 5174.70898f, 34735340.0f}, kSimCalSaveFailedThreePoint},
    {2, 3, {128, 132}, {524, 528}, {2.048f / 32767.0f, 0.0f}, kSimCalSaveFailedVoltage},
    {2, 2, {136, 144}, {572, 580}, {0.0261744f, -3.6411223f}, 0},
    {2, 2, {140, 148}, {576, 584}, {-0.2604803f, -1.1581421f}, 0},
    {2, 2, {216, 220}, {588, 596}, {1.6509663f, 0.13441376f}, 0},
    {2, 2, {228, 232}, {604, 612}, {0.27646294f, -1.5510865f}, 0},
    {2, 2, {240, 244}, {616, 620}, {1.0201217f, -0.0348034f}, 0},
    {2, 2, {248, 252}, {624, 628}, {-2.9492f, 3359.139f}, kSimCalSaveFailedRawLinear},
};

struct CalPoint {
    float reference;
    float reading;
    // The second demodulated value of the impedance kinds.
    float readingIm;
};

// Active values are in use and reported; new values are what a computation gave and a save makes
// active. Loading, defaults and restoring set both.
struct CalKindState {
    float active[kMaxValues];
    float fresh[kMaxValues];
    CalPoint points[kMaxPoints];
};

static CalKindState s_Kinds[kSimCalKinds];
static float s_TempFactor;
static float s_TempFactorFresh;
// Range 4's zero correction: the flag set by a range calibration near 100, and the running sum.
static bool s_ZeroCorrection;
static float s_ZeroSum;

static bool IsFinite(float value) { return Board_ClassifyFloat(value) < 2; }
static bool IsCondRange(uint8_t kind) { return kind <= kKindCondLast; }
// Cell factors and the channel lines' slopes are never zero.
static bool RefusesZero(uint8_t kind, uint32_t index) {
    return index == 0 && (IsCondRange(kind) || kind == kKindLineA || kind == kKindLineB);
}

static void TakeValues(uint8_t kind, const float* values) {
    for (uint32_t i = 0; i < kKinds[kind].values; ++i) s_Kinds[kind].active[i] = s_Kinds[kind].fresh[i] = values[i];
}

void SimCal_Reset() {
    std::memset(s_Kinds, 0, sizeof s_Kinds);
    for (uint8_t k = 0; k < kSimCalKinds; ++k) TakeValues(k, kKinds[k].defaults);
    s_TempFactor = s_TempFactorFresh = kTempFactorDefault;
    s_ZeroCorrection = false;
    s_ZeroSum = 0.0f;
}

float SimCal_GetValue(uint8_t kind, uint32_t index) {
    if (kind >= kSimCalKinds || index >= kKinds[kind].values) return 0.0f;
    return s_Kinds[kind].active[index];
}

float SimCal_GetTempFactor() { return s_TempFactor; }

// ---- Loading, defaults, restoring ---------------------------------------------------------------

// Reads a float and replaces it by the fallback when it cannot be read, is not finite, or is a
// zero where none may be. Returns the read's status (0 also for a refused zero); *replaced tells.
static uint32_t ReadOr(uint32_t offset, float fallback, bool zeroRefused, float* value, bool* replaced) {
    uint32_t status = 0;
    SimEeprom_ReadFloat(&status, value, offset);
    if (status != 0 || (zeroRefused && *value == 0.0f)) {
        *value = fallback;
        *replaced = true;
    }
    return status;
}

static uint32_t LoadKind(uint8_t kind) {
    const KindLayout& layout = kKinds[kind];
    float values[kMaxValues] = {};
    bool replaced = false;
    uint32_t result = 0;
    for (uint32_t i = 0; i < layout.values; ++i) {
        uint32_t status = ReadOr(layout.user[i], layout.defaults[i], RefusesZero(kind, i), &values[i], &replaced);
        if (status != 0) result = status;
    }
    TakeValues(kind, values);
    if (kind == 0) {
        float factor;
        uint32_t status = ReadOr(kTempFactorUser, kTempFactorDefault, false, &factor, &replaced);
        if (status != 0) result = status;
        s_TempFactor = s_TempFactorFresh = factor;
    }
    if (replaced && (kind == kKindVoltage || kind == kKindAnalogIn)) return kSimCalDefaulted;
    return result;
}

static void DefaultKind(uint8_t kind) {
    const KindLayout& layout = kKinds[kind];
    uint32_t status = 0;
    SimEeprom_BeginSave();
    for (uint32_t i = 0; i < layout.values; ++i)
        SimEeprom_WriteFloatChecked(layout.user[i], layout.defaults[i], &status);
    TakeValues(kind, layout.defaults);
    if (kind == 0) {
        SimEeprom_WriteFloatChecked(kTempFactorUser, kTempFactorDefault, &status);
        s_TempFactor = s_TempFactorFresh = kTempFactorDefault;
    }
    SimEeprom_EndSave();
}

// The factory copy becomes the user copy and the values in use; a copy that was never written
// (the erased file's bytes read as not-a-number) gives the kind's defaults. 30 when it did.
static uint32_t RestoreKind(uint8_t kind) {
    const KindLayout& layout = kKinds[kind];
    float values[kMaxValues] = {};
    bool replaced = false;
    uint32_t status = 0;
    SimEeprom_BeginSave();
    for (uint32_t i = 0; i < layout.values; ++i) {
        ReadOr(layout.factory[i], layout.defaults[i], RefusesZero(kind, i), &values[i], &replaced);
        SimEeprom_WriteFloatChecked(layout.user[i], values[i], &status);
    }
    TakeValues(kind, values);
    if (kind == 0) {
        float factor;
        ReadOr(kSimCalTempFactorFactory, kTempFactorDefault, false, &factor, &replaced);
        SimEeprom_WriteFloatChecked(kTempFactorUser, factor, &status);
        s_TempFactor = s_TempFactorFresh = factor;
    }
    SimEeprom_EndSave();
    return replaced ? kSimCalDefaulted : 0;
}

// The zero sum of the four-electrode range is valid only with its mark and within +-0.01;
// otherwise both are written anew.
static void LoadZeroSum() {
    uint32_t status = 0;
    float sum = 0.0f;
    SimEeprom_ReadFloat(&status, &sum, kSimCalZeroSumOffset);
    uint8_t mark[2] = {};
    uint32_t markStatus = 0;
    SimEeprom_ReadBytes(&markStatus, mark, 2, kSimCalZeroMarkOffset);
    uint16_t marked = static_cast<uint16_t>(mark[0] | mark[1] << 8);
    if (status != 0 || markStatus != 0 || marked != kSimCalZeroMark || !(sum >= -0.01f && sum <= 0.01f)) {
        sum = 0.0f;
        SimEeprom_BeginSave();
        SimEeprom_WriteFloat(0.0f, kSimCalZeroSumOffset);
        const uint8_t valid[2] = {kSimCalZeroMark & 0xFF, kSimCalZeroMark >> 8};
        SimEeprom_WriteBytes(&markStatus, valid, 2, kSimCalZeroMarkOffset);
        SimEeprom_EndSave();
    }
    s_ZeroSum = sum;
}

// One save: a kill leaves the old file or every default with the marker, never the marker alone.
void SimCal_WriteAllDefaults() {
    SimEeprom_BeginSave();
    SimCal_DefaultVoltage();
    SimCal_DefaultThreePoint();
    for (uint32_t k = 0; k < kSimCalCondRanges; ++k) SimCal_DefaultCondRange(k);
    SimCal_DefaultChannelLinear(0);
    SimCal_DefaultChannelLinear(1);
    SimCal_DefaultRefImpedance();
    SimCal_DefaultImpedance();
    SimCal_DefaultAnalogIn();
    SimCal_DefaultRawLinear();
    uint32_t status = 0;
    SimEeprom_WriteBytes(&status, kMarker, 2, kMarkerOffset);
    SimEeprom_EndSave();
}

void SimCal_LoadAll() {
    SimCal_LoadChannelLinear(0);
    SimCal_LoadChannelLinear(1);
    SimCal_LoadVoltage();
    SimCal_LoadThreePoint();
    for (uint32_t k = 0; k < kSimCalCondRanges; ++k) SimCal_LoadCondRange(k);
    SimCal_LoadRefImpedance();
    SimCal_LoadImpedance();
    SimCal_LoadAnalogIn();
    SimCal_LoadRawLinear();
}

void SimCal_RestoreAllFactory(uint32_t* status) {
    uint32_t worst = 0;
    auto note = [&worst](uint32_t s) {
        if (s != 0) worst = s;
    };
    SimEeprom_BeginSave();
    note(SimCal_RestoreThreePoint());
    note(SimCal_RestoreRawLinear());
    note(SimCal_RestoreChannelLinear(0));
    note(SimCal_RestoreChannelLinear(1));
    note(SimCal_RestoreVoltage());
    for (uint32_t k = 0; k < kSimCalCondRanges; ++k) note(SimCal_RestoreCondRange(k));
    note(SimCal_RestoreRefImpedance());
    note(SimCal_RestoreImpedance());
    note(SimCal_RestoreAnalogIn());
    SimEeprom_EndSave();
    *status = worst;
}

void SimCal_CheckMarker(uint32_t* status) {
    *status = 0;
    uint8_t reads[3][2] = {};
    uint32_t readStatus = 0;
    for (auto& read : reads) SimEeprom_ReadBytes(&readStatus, read, 2, kMarkerOffset);
    if (reads[1][0] != reads[2][0] || reads[1][1] != reads[2][1]) {
        *status = kSimEepromBadFloat;
        return;
    }
    if (reads[2][0] != kMarker[0] || reads[2][1] != kMarker[1]) SimCal_WriteAllDefaults();
}

// ---- Points and computations --------------------------------------------------------------------

static uint32_t ComputeLine(uint8_t kind) {
    CalKindState& s = s_Kinds[kind];
    const CalPoint* p = s.points;
    float dr = p[1].reading - p[0].reading;
    if (!(std::fabs(dr) >= 1.0f)) return kSimCalErrorDegenerate;
    float slope = (p[1].reference - p[0].reference) / dr;
    float offset = p[0].reference - slope * p[0].reading;
    if (!IsFinite(slope) || !IsFinite(offset)) return kSimCalErrorDegenerate;
    s.fresh[0] = slope;
    s.fresh[1] = offset;
    return 0;
}

uint32_t SimCal_ComputeCondRange(uint32_t range) {
    if (range >= kSimCalCondRanges) return kSimCalErrorPoint;
    CalKindState& s = s_Kinds[range];
    float x0 = s.points[0].reference, x1 = s.points[1].reference;
    float r0 = s.points[0].reading, r1 = s.points[1].reading;
    // A second point near 100 marks a calibration the four-electrode zero correction may use.
    s_ZeroCorrection = x1 > 90.0f && x1 < 110.0f;
    if (std::fabs(r0 - r1) < kTiny || std::fabs(x0 - x1) < kTiny) return kSimCalErrorDegenerate;
    if (range == 0) {
        if (std::fabs(x0) < kTiny || std::fabs(x1) < kTiny || std::fabs(r0) < kTiny || std::fabs(r1) < kTiny) {
            return kSimCalErrorDegenerate;
        }
        double o = 1.0 / x0 - 1.0 / x1;
        if (std::fabs(o) < kTiny) return kSimCalErrorDegenerate;
        double m = (1.0 / r0 - 1.0 / r1) / (o * 1000000.0);
        double factor = (1.0 / (r1 * m * 1000000.0) - 1.0 / x1) * 1800000.0;
        if (!std::isfinite(m) || !std::isfinite(factor)) return kSimCalErrorDegenerate;
        s.fresh[0] = static_cast<float>(m);
        s_TempFactorFresh = static_cast<float>(factor);
        return 0;
    }
    // Ranges 1 to 4 measure in decades of 1 000 000 down to 1 000.
    static const double kDecade[kSimCalCondRanges] = {0.0, 1000000.0, 100000.0, 10000.0, 1000.0};
    double t = kDecade[range];
    double h = (static_cast<double>(x0) - x1) / ((static_cast<double>(r0) - r1) * t);
    if (std::fabs(t * h) < kTiny) return kSimCalErrorDegenerate;
    double offset = x1 / (t * h) - r1 + s.active[1];
    if (!std::isfinite(h) || !std::isfinite(offset)) return kSimCalErrorDegenerate;
    s.fresh[0] = static_cast<float>(h);
    s.fresh[1] = static_cast<float>(offset);
    return 0;
}

// The curve y = A + B / (x + C) through three points (x the reference, y the reading).
uint32_t SimCal_ComputeThreePoint() {
    CalKindState& s = s_Kinds[kKindThreePoint];
    CalPoint p[3] = {s.points[0], s.points[1], s.points[2]};
    for (int i = 0; i < 2; ++i) {
        for (int j = 0; j < 2 - i; ++j) {
            if (p[j].reference > p[j + 1].reference) {
                CalPoint t = p[j];
                p[j] = p[j + 1];
                p[j + 1] = t;
            }
        }
    }
    if (p[1].reference - p[0].reference < 10.0f || p[2].reference - p[1].reference < 10.0f) return kSimCalErrorPoint;
    double x0 = p[0].reference, x1 = p[1].reference, x2 = p[2].reference;
    double y0 = p[0].reading, y1 = p[1].reading, y2 = p[2].reading;
    if (std::fabs(y1 - y2) < kTiny || std::fabs(x2 - x1) < kTiny || std::fabs(x1 - x0) < kTiny) {
        return kSimCalErrorDegenerate;
    }
    double c = (y0 - y1) / (y1 - y2);
    double g = (x1 - x0) / (x2 - x1);
    if (std::fabs(c - g) < kTiny) return kSimCalErrorDegenerate;
    double cc = (x1 - x0 + x1 * g - x0 * c) / (c - g);
    if (std::fabs(x1 + cc) < kTiny) return kSimCalErrorDegenerate;
    double b = (x1 + cc) * (x0 + cc) * (y0 - y1) / (x1 - x0);
    double a = y1 - b / (x1 + cc);
    if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(cc)) return kSimCalErrorDegenerate;
    s.fresh[0] = static_cast<float>(cc);
    s.fresh[1] = static_cast<float>(a);
    s.fresh[2] = static_cast<float>(b);
    return 0;
}

uint32_t SimCal_ComputeVoltage() { return ComputeLine(kKindVoltage); }

uint32_t SimCal_ComputeChannelLinear(uint32_t channel) {
    return channel > 1 ? kSimCalErrorPoint : ComputeLine(static_cast<uint8_t>(kKindLineA + channel));
}

// An impedance factor: the change of the reference between the two points over the change of
// the demodulated value, a complex number. The board never demodulates (its values stay 0), so
// the factor is not finite: it is kept as the new value, which no save will store.
static uint32_t ComputeComplexFactor(uint8_t kind) {
    CalKindState& s = s_Kinds[kind];
    std::complex<double> z0(s.points[0].reading, s.points[0].readingIm);
    std::complex<double> z1(s.points[1].reading, s.points[1].readingIm);
    std::complex<double> dz = z1 - z0;
    double dref = static_cast<double>(s.points[1].reference) - s.points[0].reference;
    double re = std::numeric_limits<double>::infinity(), im = 0.0;
    if (std::abs(dz) >= kTiny) {
        std::complex<double> factor = dref / dz;
        re = factor.real();
        im = factor.imag();
    }
    s.fresh[0] = static_cast<float>(re);
    s.fresh[1] = static_cast<float>(im);
    return IsFinite(s.fresh[0]) && IsFinite(s.fresh[1]) ? 0 : kSimCalErrorDegenerate;
}

uint32_t SimCal_ComputeImpedance() { return ComputeComplexFactor(kKindImpedance); }
uint32_t SimCal_ComputeRefImpedance() { return ComputeComplexFactor(kKindRefImpedance); }

// Point 0 is the value at 4 mA, point 1 the value at 20 mA.
uint32_t SimCal_ComputeAnalogIn() {
    CalKindState& s = s_Kinds[kKindAnalogIn];
    float at4 = s.points[0].reference, at20 = s.points[1].reference;
    if (std::fabs(at4 - at20) < kPointMin) return kSimCalErrorDegenerate;
    float slope = (at4 - at20) / (4.0f - 20.0f);
    s.fresh[0] = slope;
    s.fresh[1] = at20 - 20.0f * slope;
    return 0;
}

uint32_t SimCal_ComputeRawLinear() {
    CalKindState& s = s_Kinds[kKindRawLinear];
    float raw0 = s.points[0].reading, raw1 = s.points[1].reading;
    float v0 = s.points[0].reference, v1 = s.points[1].reference;
    if (std::fabs(raw1 - raw0) < 0.1f || std::fabs(v1 - v0) < 1.0f) return kSimCalErrorDegenerate;
    float slope = (raw1 - raw0) / (v1 - v0);
    if (slope == 0.0f || !IsFinite(slope)) return kSimCalErrorDegenerate;
    s.fresh[0] = slope;
    s.fresh[1] = raw0 - v0 * slope;
    return 0;
}

uint32_t SimCal_Compute(uint8_t kind) {
    uint32_t error;
    if (IsCondRange(kind))
        error = SimCal_ComputeCondRange(kind);
    else if (kind == kKindThreePoint)
        error = SimCal_ComputeThreePoint();
    else if (kind == kKindVoltage)
        error = SimCal_ComputeVoltage();
    else if (kind == kKindLineA || kind == kKindLineB)
        error = SimCal_ComputeChannelLinear(kind - kKindLineA);
    else if (kind == kKindImpedance)
        error = SimCal_ComputeImpedance();
    else if (kind == kKindRefImpedance)
        error = SimCal_ComputeRefImpedance();
    else if (kind == kKindAnalogIn)
        error = SimCal_ComputeAnalogIn();
    else if (kind == kKindRawLinear)
        error = SimCal_ComputeRawLinear();
    else
        return 1;
    return error == 0 ? 1 : 0;
}

static void SetPointValues(uint8_t kind, uint32_t point, float reference, float reading, float readingIm) {
    s_Kinds[kind].points[point] = CalPoint{reference, reading, readingIm};
}

uint32_t SimCal_PointCondRange(uint32_t range, uint32_t point, float value) {
    if (range >= kSimCalCondRanges || point >= kKinds[range].points) return 0;
    if (std::fabs(value) < kPointMin) return 0;
    SetPointValues(static_cast<uint8_t>(range), point, value, value, 0.0f);
    return 1;
}

// The converter reading of a voltage, with a few counts of noise.
uint32_t SimCal_PointVoltage(uint32_t point, float value) {
    if (point >= kKinds[kKindVoltage].points) return 0;
    float counts = value * 32767.0f / 2.048f + static_cast<float>(std::rand() & 7);
    SetPointValues(kKindVoltage, point, value, counts, 0.0f);
    return 1;
}

uint32_t SimCal_PointChannelLinear(uint32_t channel, uint32_t point, float value) {
    if (channel > 1 || point >= kKinds[kKindLineA].points) return 0;
    float reading = value + static_cast<float>(std::rand() & 0xFF) * 0.01f;
    SetPointValues(static_cast<uint8_t>(kKindLineA + channel), point, std::fabs(value), reading, 0.0f);
    return 1;
}

uint32_t SimCal_PointAnalogIn(uint32_t point, float value) {
    if (point >= kKinds[kKindAnalogIn].points) return 0;
    SetPointValues(kKindAnalogIn, point, value, value, 0.0f);
    return 1;
}

// The raw count the input would read at the set value, with the line in use, as a 16-bit count.
// A count that is not a number, or beyond what a 32-bit converter word holds, refuses the point.
uint32_t SimCal_PointRawLinear(uint32_t point, float value) {
    if (point >= kKinds[kKindRawLinear].points) return 0;
    const CalKindState& s = s_Kinds[kKindRawLinear];
    float raw = s.active[1] - SimMeas_GetSetValue() * s.active[0] + 0.5f;
    if (!(raw > -2147483648.0f && raw < 2147483648.0f)) return 0;
    uint16_t count = static_cast<uint16_t>(static_cast<int32_t>(raw));
    SetPointValues(kKindRawLinear, point, value, static_cast<float>(count), 0.0f);
    return 1;
}

uint32_t SimCal_SetPoint(uint8_t point, uint8_t kind, float value) {
    if (kind >= kSimCalKinds) return 1;
    if (point >= kKinds[kind].points) return 0;
    uint32_t accepted;
    if (IsCondRange(kind))
        accepted = SimCal_PointCondRange(kind, point, value);
    else if (kind == kKindThreePoint) {
        SetPointValues(kind, point, value, value, 0.0f);
        accepted = 1;
    } else if (kind == kKindVoltage)
        accepted = SimCal_PointVoltage(point, value);
    else if (kind == kKindLineA || kind == kKindLineB)
        accepted = SimCal_PointChannelLinear(kind - kKindLineA, point, value);
    else if (kind == kKindImpedance || kind == kKindRefImpedance) {
        // Megaohm and kilohm to ohm; the board's two demodulated values as the reading.
        float scale = kind == kKindImpedance ? 1000000.0f : 1000.0f;
        SetPointValues(kind, point, value * scale, static_cast<float>(SimMeas_GetRawWord(0)),
                       static_cast<float>(SimMeas_GetRawWord(1)));
        accepted = 1;
    } else if (kind == kKindAnalogIn)
        accepted = SimCal_PointAnalogIn(point, value);
    else
        accepted = SimCal_PointRawLinear(point, value);
    if (!accepted) return 0;
    uint32_t last = kind == kKindThreePoint ? 2 : 1;
    if (point == last) return SimCal_Compute(kind);
    return 1;
}

// ---- Saving --------------------------------------------------------------------------------------

static void WriteValues(uint8_t kind, bool factory, uint32_t* failed) {
    const KindLayout& layout = kKinds[kind];
    uint32_t status = 0;
    for (uint32_t i = 0; i < layout.values; ++i) {
        SimEeprom_WriteFloatChecked(factory ? layout.factory[i] : layout.user[i], s_Kinds[kind].active[i], &status);
        if (status != 0) *failed = status;
    }
    if (kind == 0) {
        SimEeprom_WriteFloatChecked(factory ? kSimCalTempFactorFactory : kTempFactorUser, s_TempFactor, &status);
        if (status != 0) *failed = status;
    }
}

static uint32_t SaveKind(uint8_t kind, bool factory, uint32_t* status) {
    *status = 0;
    if (kind >= kSimCalKinds) return 1;
    const KindLayout& layout = kKinds[kind];
    CalKindState& s = s_Kinds[kind];
    // A value that is not finite is never taken into use nor stored.
    bool finite = kind != 0 || IsFinite(s_TempFactorFresh);
    for (uint32_t i = 0; i < layout.values; ++i) finite = finite && IsFinite(s.fresh[i]);
    if (!finite) {
        *status = layout.saveFailStatus ? layout.saveFailStatus : kSimEepromNotFinite;
        return 0;
    }
    for (uint32_t i = 0; i < layout.values; ++i) s.active[i] = s.fresh[i];
    if (kind == 0) s_TempFactor = s_TempFactorFresh;
    // The kind's values (and its factory copy) reach the file together or not at all.
    uint32_t failed = 0;
    SimEeprom_BeginSave();
    WriteValues(kind, false, &failed);
    if (factory) {
        WriteValues(kind, true, &failed);
        if (kind == kKindCondLast && s_ZeroCorrection) SimCal_AccumulateCondZero();
    }
    uint32_t written = SimEeprom_EndSave();
    if (written != 0) failed = written;
    if (failed != 0) {
        *status = layout.saveFailStatus ? layout.saveFailStatus : failed;
        return 0;
    }
    return 1;
}

uint32_t SimCal_Save(uint8_t kind, uint8_t mode, uint32_t* status) { return SaveKind(kind, mode == 1, status); }

void SimCal_AccumulateCondZero() {
    CalKindState& s = s_Kinds[kKindCondLast];
    float x1 = s.points[1].reference, r1 = s.points[1].reading;
    float factor = s.active[0];
    if (std::fabs(factor) < kTiny) return;
    float error = r1 - x1 / (factor * 1000.0f);
    float divisor = x1 <= 100.0f ? x1 - 10.0f : 1000.0f - x1;
    if (std::fabs(divisor) < kTiny) return;
    float share = error * (x1 <= 100.0f ? 90.0f : 900.0f) / divisor;
    if (!IsFinite(share)) return;
    s_ZeroSum += share;
    SimEeprom_BeginSave();
    SimEeprom_WriteFloat(s_ZeroSum, kSimCalZeroSumOffset);
    if (std::fabs(s_ZeroSum) >= 1.0f) {
        s.active[0] = s.fresh[0] = 0.5f;
        s.active[1] = s.fresh[1] = s_ZeroSum;
        uint32_t failed = 0;
        WriteValues(kKindCondLast, false, &failed);
        WriteValues(kKindCondLast, true, &failed);
    }
    SimEeprom_EndSave();
}

// ---- The families by kind -------------------------------------------------------------------------

uint32_t SimCal_LoadCondRange(uint32_t range) {
    if (range >= kSimCalCondRanges) return 0;
    uint32_t status = LoadKind(static_cast<uint8_t>(range));
    if (range == kKindCondLast) LoadZeroSum();
    return status;
}
void SimCal_DefaultCondRange(uint32_t range) {
    if (range < kSimCalCondRanges) DefaultKind(static_cast<uint8_t>(range));
}
uint32_t SimCal_SaveCondRange(uint32_t range, uint32_t* status) {
    return range < kSimCalCondRanges ? SaveKind(static_cast<uint8_t>(range), false, status) : 0;
}
uint32_t SimCal_SaveCondRangeFactory(uint32_t range, uint32_t* status) {
    return range < kSimCalCondRanges ? SaveKind(static_cast<uint8_t>(range), true, status) : 0;
}
uint32_t SimCal_RestoreCondRange(uint32_t range) {
    return range < kSimCalCondRanges ? RestoreKind(static_cast<uint8_t>(range)) : 0;
}

uint32_t SimCal_LoadThreePoint() { return LoadKind(kKindThreePoint); }
void SimCal_DefaultThreePoint() { DefaultKind(kKindThreePoint); }
uint32_t SimCal_SaveThreePoint(uint32_t* status) { return SaveKind(kKindThreePoint, false, status); }
uint32_t SimCal_SaveThreePointFactory(uint32_t* status) { return SaveKind(kKindThreePoint, true, status); }
uint32_t SimCal_RestoreThreePoint() { return RestoreKind(kKindThreePoint); }

uint32_t SimCal_LoadVoltage() { return LoadKind(kKindVoltage); }
void SimCal_DefaultVoltage() { DefaultKind(kKindVoltage); }
uint32_t SimCal_SaveVoltage(uint32_t* status) { return SaveKind(kKindVoltage, false, status); }
uint32_t SimCal_SaveVoltageFactory(uint32_t* status) { return SaveKind(kKindVoltage, true, status); }
uint32_t SimCal_RestoreVoltage() { return RestoreKind(kKindVoltage); }

static uint8_t LineKind(uint32_t channel) { return static_cast<uint8_t>(kKindLineA + (channel > 0 ? 1 : 0)); }
uint32_t SimCal_LoadChannelLinear(uint32_t channel) { return LoadKind(LineKind(channel)); }
void SimCal_DefaultChannelLinear(uint32_t channel) { DefaultKind(LineKind(channel)); }
uint32_t SimCal_SaveChannelLinear(uint32_t channel, uint32_t* status) {
    return SaveKind(LineKind(channel), false, status);
}
uint32_t SimCal_SaveChannelLinearFactory(uint32_t channel, uint32_t* status) {
    return SaveKind(LineKind(channel), true, status);
}
uint32_t SimCal_RestoreChannelLinear(uint32_t channel) { return RestoreKind(LineKind(channel)); }

uint32_t SimCal_LoadImpedance() { return LoadKind(kKindImpedance); }
void SimCal_DefaultImpedance() { DefaultKind(kKindImpedance); }
uint32_t SimCal_SaveImpedance(uint32_t* status) { return SaveKind(kKindImpedance, false, status); }
uint32_t SimCal_SaveImpedanceFactory(uint32_t* status) { return SaveKind(kKindImpedance, true, status); }
uint32_t SimCal_RestoreImpedance() { return RestoreKind(kKindImpedance); }

uint32_t SimCal_LoadRefImpedance() { return LoadKind(kKindRefImpedance); }
void SimCal_DefaultRefImpedance() { DefaultKind(kKindRefImpedance); }
uint32_t SimCal_SaveRefImpedance(uint32_t* status) { return SaveKind(kKindRefImpedance, false, status); }
uint32_t SimCal_SaveRefImpedanceFactory(uint32_t* status) { return SaveKind(kKindRefImpedance, true, status); }
uint32_t SimCal_RestoreRefImpedance() { return RestoreKind(kKindRefImpedance); }

uint32_t SimCal_LoadAnalogIn() { return LoadKind(kKindAnalogIn); }
void SimCal_DefaultAnalogIn() { DefaultKind(kKindAnalogIn); }
uint32_t SimCal_SaveAnalogIn(uint32_t* status) { return SaveKind(kKindAnalogIn, false, status); }
uint32_t SimCal_SaveAnalogInFactory(uint32_t* status) { return SaveKind(kKindAnalogIn, true, status); }
uint32_t SimCal_RestoreAnalogIn() { return RestoreKind(kKindAnalogIn); }

uint32_t SimCal_LoadRawLinear() { return LoadKind(kKindRawLinear); }
void SimCal_DefaultRawLinear() { DefaultKind(kKindRawLinear); }
uint32_t SimCal_SaveRawLinear(uint32_t* status) { return SaveKind(kKindRawLinear, false, status); }
uint32_t SimCal_SaveRawLinearFactory(uint32_t* status) { return SaveKind(kKindRawLinear, true, status); }
uint32_t SimCal_RestoreRawLinear() { return RestoreKind(kKindRawLinear); }

// ---- The table -------------------------------------------------------------------------------------

uint32_t SimCal_ReadTable(uint8_t* payload) {
    float table[27];
    uint32_t n = 0;
    for (uint8_t k = 0; k < kSimCalCondRanges; ++k) {
        table[n++] = s_Kinds[k].active[0];
        table[n++] = k == 0 ? s_TempFactor - 1.0f : s_Kinds[k].active[1];
    }
    const float* voltage = s_Kinds[kKindVoltage].active;
    table[n++] = voltage[0] / kKinds[kKindVoltage].defaults[0];
    table[n++] = voltage[1] / 1000.0f;
    const float* curve = s_Kinds[kKindThreePoint].active;
    table[n++] = std::fabs(curve[1]) < kPointMin ? 0.0f : curve[1] / 5174.70898f;
    table[n++] = curve[2] / 34735340.0f;
    table[n++] = curve[0] / 1234.45141f;
    for (uint8_t k = kKindLineA; k <= kKindLineB; ++k) {
        table[n++] = s_Kinds[k].active[0] / kKinds[k].defaults[0];
        table[n++] = (s_Kinds[k].active[1] - kKinds[k].defaults[1]) / 1000.0f;
    }
    for (uint8_t k = kKindImpedance; k <= kKindRefImpedance; ++k) {
        std::complex<float> value(s_Kinds[k].active[0], s_Kinds[k].active[1]);
        std::complex<float> nominal(kKinds[k].defaults[0], kKinds[k].defaults[1]);
        std::complex<float> ratio = value / nominal;
        table[n++] = ratio.real();
        table[n++] = ratio.imag();
    }
    table[n++] = s_Kinds[kKindAnalogIn].active[0] / 1.02012169f;
    table[n++] = s_Kinds[kKindAnalogIn].active[1] + 0.0348033905f;
    table[n++] = s_Kinds[kKindRawLinear].active[0] / -2.9492f;
    table[n++] = s_Kinds[kKindRawLinear].active[1] / 3359.1388f - 1.0f;
    for (uint32_t i = 0; i < n; ++i) Board_PutFloatBE(payload + 4 * i, table[i]);
    return 1;
}
