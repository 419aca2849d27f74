// Conductivity cell calibration, its compensation settings and the data-set exchange with a
// digital conductivity sensor.
#include "measurement/conductivity.h"

#include <cmath>

#include "core/eeprom.h"
#include "core/util.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/cond_comp.h"
#include "measurement/meas.h"
#include "measurement/ph.h"

// Settings store places.
static constexpr uint32_t kStoreCellConstant = 832;     // + 4 x ch
static constexpr uint32_t kStoreZeroOffset = 840;       // + 4 x ch
static constexpr uint32_t kStorePointRef = 848;         // + 8 x ch + 4 x point
static constexpr uint32_t kStoreCompMode = 864;         // + slot
static constexpr uint32_t kStoreCompCoefficient = 868;  // + 4 x slot
static constexpr StoreRange kStoreRanges[] = {
    {kStoreCellConstant, 8}, {kStoreZeroOffset, 8},       {kStorePointRef, 16},
    {kStoreCompMode, 4},     {kStoreCompCoefficient, 16},
};
const StoreMap g_CondStoreMap = {"conductivity", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

// Factory values: cell constant 0.1 /cm, and the resistivities (ohm x cm) of the 1.413 mS/cm and
// 12.88 mS/cm standard solutions as the two points' references.
static constexpr float kDefaultCellConstant = 0.1f;
static constexpr float kDefaultZeroOffset = 0.0f;
static constexpr float kDefaultPointRef[2] = {707.7141f, 77.639755f};
static constexpr uint8_t kDefaultCompMode = 0;
static constexpr float kDefaultCoefficient = 0.02f;
// A stored mode from this up is not a mode; a coefficient above the first bound is not one either.
static constexpr uint8_t kCompModeCount = 12;
static constexpr float kCoefficientMax = 0.9999f;

static constexpr float kTiny = 1e-29f;
static constexpr float kTinyReference = 1e-9f;
// A linear compensation factor below this leaves no reference to calibrate with.
static constexpr float kLinearFactorMin = 1e-7f;
// Two calibration points whose measured values are closer cannot give a cell constant.
static constexpr float kMeasuredMinApart = 1.0f;
// Channel B's sensor holds the cell constant and the zero offset in 24-bit fields.
static constexpr float kCellConstantMaxB = 167.77215f;
static constexpr float kZeroOffsetMaxB = 83.0f;
// Data-set scalings: 1e8 / a value, (T + 50) x 100, x 100000; and what stands for a value of 0.
static constexpr float kSetReciprocalScale = 1e8f;
static constexpr float kSetTemperatureOffset = 50.0f;
static constexpr float kSetTemperatureScale = 100.0f;
static constexpr float kSetCellScale = 100000.0f;
static constexpr float kSetMeasuredNone = 42949.0f;
static constexpr float kSetCompensatedNone[2] = {70771408.0f, 77.639755f};
static constexpr uint8_t kSetMarker = 1;

// Compensation slots, and the pair a calibration point is compensated with.
static uint8_t s_CompMode[kCondCompSlots];
static float s_CompCoefficient[kCondCompSlots];
static uint8_t s_RefMode;
static float s_RefCoefficient = kDefaultCoefficient;

static bool IsFinite(float value) { return Util_ClassifyFloat(value) < kFloatPlusInfinity; }
static bool IsChannel(uint32_t channel) { return channel < 2; }

// ---- Cell calibration -----------------------------------------------------------------------------

float CalCond_GetCellConstant(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].cellConstant : kDefaultCellConstant;
}

void CalCond_SetCellConstant(uint32_t channel, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    // A cell constant of zero would make every conductivity infinite.
    if (Util_ClassifyFloat(value) != kFloatFinite) {
        *status = kStatusOver;
        return;
    }
    Eeprom_SetFloat(&g_SensorCal[channel].cellConstant, &g_CalInUse[channel].cond.cellConstant,
                    kStoreCellConstant + 4 * channel, value, status);
}

float CalCond_GetZeroOffset(uint32_t channel) { return IsChannel(channel) ? g_SensorCal[channel].zeroOffset : 0.0f; }

void CalCond_SetZeroOffset(uint32_t channel, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].zeroOffset, &g_CalInUse[channel].cond.zeroOffset,
                    kStoreZeroOffset + 4 * channel, value, status);
}

float CalCond_ApplyCalibration(uint32_t channel, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return 0.0f;
    const SensorCalRecord& s = g_SensorCal[channel];
    if (!(std::fabs(s.cellConstant) >= kTiny)) {
        *status = kStatusOver;
        return 0.0f;
    }
    float resistivity = value / s.cellConstant + s.zeroOffset;
    return resistivity < kTiny ? 0.0f : resistivity;
}

float CalCond_Compensate(uint32_t channel, uint32_t mode, float coefficient, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return 0.0f;
    return CalCond_CompensateAtTemp(mode, coefficient, value, g_Measurement[channel].temperature, status);
}

// ---- Calibration points -----------------------------------------------------------------------------

// The reference referred from the reference temperature to t by the calibration pair; status 2
// (or, for an entered value, 3) when the linear factor leaves nothing to divide by, status 2 when
// no solution at t has the reference.
static float ReferToPoint(float reference, float t, uint32_t degenerateStatus, uint32_t* status) {
    float compensated;
    const uint32_t kind = CalCond_GetCompKind(s_RefMode);
    if (s_RefMode == kCompModeLinear25 || s_RefMode == kCompModeLinear20) {
        float f = CalCond_GetLinearFactor(s_RefMode, s_RefCoefficient, t);
        if (!(f >= kLinearFactorMin)) {
            *status = degenerateStatus;
            return kTiny;
        }
        compensated = reference / f;
    } else if (kind == kCompKindCation || kind == kCompKindAmmonia) {
        // The formulas only refer a measured value to 25 C; the reference is the value at 25 C
        // of a solution measured at t, so the formula is solved for it.
        compensated = CalCond_FormulaToTemp(kind, reference, t);
    } else {
        compensated = CalCond_TempCompensate(kCompToMeasuringTemp, reference, t, kind);
    }
    if (!(compensated >= kTiny)) {
        *status = kStatusUnder;
        return kTiny;
    }
    // No solution at t has the reference (the compensation's mark for none): no point to take.
    if (compensated >= kCompOverRange) {
        *status = kStatusOver;
        return kTiny;
    }
    return compensated;
}

void CalCond_CapturePoint(uint32_t channel, uint32_t i, float reference, uint32_t* status) {
    if (Cal_NoPoint(channel, i, status)) return;
    CalInUseCond& u = g_CalInUse[channel].cond;
    float t = Meas_GetFilteredTemperature(status);
    if (*status != 0) return;
    u.pointTemp[i] = t;
    u.pointCompensated[i] = ReferToPoint(reference, t, kStatusOver, status);
    if (*status != 0) return;
    if (!(reference >= kTiny)) {
        *status = kStatusUnder;
        return;
    }
    u.pointRef[i] = reference;
    u.pointMeasured[i] = Meas_GetFilteredCalValue(status);
    if (*status == 0 && u.pointMeasured[i] < 0.0f) *status = kStatusUnder;
}

// The value is the lab's for the sample of a captured reading: it is referred to the temperature
// the reading was captured at, which the measured value belongs to, not to the temperature of the
// moment it is entered.
void CalCond_CompensatePoint(uint32_t channel, uint32_t i, float value, uint32_t* status) {
    if (Cal_NoPoint(channel, i, status)) return;
    CalInUseCond& u = g_CalInUse[channel].cond;
    float compensated = ReferToPoint(value, u.pointTemp[i], kStatusUnder, status);
    if (compensated < 0.0f) {
        compensated = 0.0f;
        *status = kStatusUnder;
    }
    u.pointCompensated[i] = compensated;
    u.pointRef[i] = value;
}

void CalCond_CaptureRawPoint(uint32_t channel, uint32_t i, float raw, uint32_t* status) {
    if (Cal_NoPoint(channel, i, status)) return;
    CalInUseCond& u = g_CalInUse[channel].cond;
    u.rawPoint = raw;
    float t = Meas_GetFilteredTemperature(status);
    if (*status != 0) return;
    u.pointTemp[i] = t;
    u.pointMeasured[i] = Meas_GetFilteredCalValue(status);
}

float CalCond_GetRawPointValue(uint32_t channel, uint32_t, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return 0.0f;
    return g_CalInUse[channel].cond.rawPoint;
}

float CalCond_GetPointValue(uint32_t channel, uint32_t i) {
    return IsChannel(channel) && i < 2 ? g_CalInUse[channel].cond.pointRef[i] : 0.0f;
}

void CalCond_SetPointValue(uint32_t channel, uint32_t i, float reference, uint32_t* status) {
    if (Cal_NoPoint(channel, i, status)) return;
    Eeprom_SetFloat(&g_CalInUse[channel].cond.pointRef[i], nullptr, kStorePointRef + 8 * channel + 4 * i, reference,
                    status);
}

void CalCond_CalibrateOnePoint(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    CalInUseCond& u = g_CalInUse[channel].cond;
    u.cellConstant = g_SensorCal[channel].cellConstant;
    u.zeroOffset = g_SensorCal[channel].zeroOffset;
    float d = u.pointCompensated[0] - u.zeroOffset;
    if (!(std::fabs(d) >= kTiny)) {
        *status = kStatusOver;
        return;
    }
    float cell = u.pointMeasured[0] / d;
    if (!IsFinite(cell)) {
        *status = kStatusOver;
        return;
    }
    u.cellConstant = cell;
    CalCond_CheckCellConstant(channel, status);
}

void CalCond_CalibrateTwoPoint(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    CalInUseCond& u = g_CalInUse[channel].cond;
    u.cellConstant = g_SensorCal[channel].cellConstant;
    u.zeroOffset = g_SensorCal[channel].zeroOffset;
    float references = u.pointRef[1] - u.pointRef[0];
    float compensated = u.pointCompensated[1] - u.pointCompensated[0];
    float measured = u.pointMeasured[1] - u.pointMeasured[0];
    if (!(std::fabs(references) >= kTinyReference) || !(std::fabs(compensated) >= kTinyReference) ||
        !(std::fabs(measured) >= kMeasuredMinApart)) {
        *status = kStatusOver;
        return;
    }
    float cell = measured / compensated;
    // The offset from the point nearer zero: the same line through both points, but a float's
    // seven digits, spent on a point decades larger, would leave the smaller one off by more.
    const uint32_t k = std::fabs(u.pointCompensated[1]) < std::fabs(u.pointCompensated[0]) ? 1 : 0;
    float offset = u.pointCompensated[k] - u.pointMeasured[k] / cell;
    if (!IsFinite(cell) || !IsFinite(offset)) {
        *status = kStatusOver;
        return;
    }
    u.cellConstant = cell;
    CalCond_CheckCellConstant(channel, status);
    if (*status != 0) return;
    u.zeroOffset = offset;
    CalCond_CheckZeroOffset(channel, status);
}

void CalCond_CheckCellConstant(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status) || channel != 1) return;
    float cell = g_CalInUse[1].cond.cellConstant;
    if (!(cell > 0.0f && cell <= kCellConstantMaxB)) *status = kStatusOver;
}

void CalCond_CheckZeroOffset(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status) || channel != 1) return;
    if (!(std::fabs(g_CalInUse[1].cond.zeroOffset) <= kZeroOffsetMaxB)) *status = kStatusOver;
}

void CalCond_StoreCal(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    const CalInUseCond& u = g_CalInUse[channel].cond;
    float cell = u.cellConstant;
    float offset = u.zeroOffset;
    float ref0 = u.pointRef[0];
    float ref1 = u.pointRef[1];
    uint32_t result = 0, step = 0;
    CalCond_SetCellConstant(channel, cell, &step);
    Eeprom_Chain(&result, step);
    CalCond_SetZeroOffset(channel, offset, &step);
    Eeprom_Chain(&result, step);
    CalCond_SetPointValue(channel, 0, ref0, &step);
    Eeprom_Chain(&result, step);
    CalCond_SetPointValue(channel, 1, ref1, &step);
    Eeprom_Chain(&result, step);
    *status = result != 0 ? kPhNotStored : 0;
}

// 1e8 / value, or what stands for a value too small to invert.
static float SetReciprocal(float value, float none) {
    return std::fabs(value) < kTiny ? none : kSetReciprocalScale / value;
}

// The record's fields for a conductivity sensor, in the units the sensor stores: v0 and v4 the
// points' measured values, v60 and v64 their compensated references (both as 1e8 / value), v48
// and v52 their temperatures ((T + 50) x 100), v40 the cell constant and v44 the zero offset
// (+ 83) (both x 100000), b83 the marker.
void CalCond_FillDataSet(uint32_t channel, CalDataSetRecord* record) {
    if (!IsChannel(channel)) return;
    const CalInUseCond& u = g_CalInUse[channel].cond;
    record->b83 = kSetMarker;
    uint32_t points = record->b82 != 0 ? 2 : 1;
    float* temperature[2] = {&record->v48, &record->v52};
    float* measured[2] = {&record->v0, &record->v4};
    float* compensated[2] = {&record->v60, &record->v64};
    for (uint32_t i = 0; i < points; ++i) {
        *temperature[i] = (u.pointTemp[i] + kSetTemperatureOffset) * kSetTemperatureScale;
        *measured[i] = SetReciprocal(u.pointMeasured[i], kSetMeasuredNone);
        *compensated[i] = SetReciprocal(u.pointCompensated[i], kSetCompensatedNone[i]);
    }
    record->v40 = u.cellConstant * kSetCellScale;
    record->v44 = (u.zeroOffset + kZeroOffsetMaxB) * kSetCellScale;
}

// A decoded set holds the references as reciprocals, the cell constant and the zero offset as
// they are.
void CalCond_ApplyDataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    uint32_t result = 0, step = 0;
    CalCond_SetCellConstant(channel, record->v40, &step);
    Eeprom_Chain(&result, step);
    CalCond_SetZeroOffset(channel, record->v44, &step);
    Eeprom_Chain(&result, step);
    const float reciprocals[2] = {record->v60, record->v64};
    for (uint32_t i = 0; i < 2; ++i) {
        if (Util_ClassifyFloat(reciprocals[i]) != kFloatFinite) continue;
        CalCond_SetPointValue(channel, i, 1.0f / reciprocals[i], &step);
        Eeprom_Chain(&result, step);
    }
    *status = result;
}

// ---- Compensation settings --------------------------------------------------------------------------

uint8_t CalCond_GetTempCompMode(uint32_t i) { return i < kCondCompSlots ? s_CompMode[i] : kDefaultCompMode; }

void CalCond_SetTempCompMode(uint32_t i, uint8_t mode, uint32_t* status) {
    *status = 0;
    if (i >= kCondCompSlots || mode >= kCompModeCount) {
        *status = kStatusOver;
        return;
    }
    s_CompMode[i] = mode;
    Eeprom_WriteChecked(kStoreCompMode + i, &mode, 1, status);
}

float CalCond_GetTempCompCoefficient(uint32_t i) {
    return i < kCondCompSlots ? s_CompCoefficient[i] : kDefaultCoefficient;
}

void CalCond_SetTempCompCoefficient(uint32_t i, float coefficient, uint32_t* status) {
    *status = 0;
    if (i >= kCondCompSlots) {
        *status = kStatusOver;
        return;
    }
    Eeprom_SetFloat(&s_CompCoefficient[i], nullptr, kStoreCompCoefficient + 4 * i, coefficient, status);
}

uint8_t CalCond_GetRefTempMode(uint32_t) { return s_RefMode; }

void CalCond_SetRefTempMode(uint32_t, uint8_t mode) {
    if (mode < kCompModeCount) s_RefMode = mode;
}

float CalCond_GetRefCoefficient(uint32_t) { return s_RefCoefficient; }

void CalCond_SetRefCoefficient(uint32_t, float coefficient) {
    if (IsFinite(coefficient)) s_RefCoefficient = coefficient;
}

uint8_t CalCond_GetTempCompModeFwd(uint32_t i) { return CalCond_GetTempCompMode(i); }
float CalCond_GetRefCoefficientFwd(uint32_t channel) { return CalCond_GetRefCoefficient(channel); }
void CalCond_SetRefCoefficientFwd(uint32_t channel, float coefficient) {
    CalCond_SetRefCoefficient(channel, coefficient);
}

// ---- Load and defaults ------------------------------------------------------------------------------

static void DefaultRefPair() {
    s_RefMode = kDefaultCompMode;
    s_RefCoefficient = kDefaultCoefficient;
}

void CalCond_DefaultTempComp(uint32_t* status) {
    uint32_t result = 0, step = 0;
    for (uint32_t i = 0; i < kCondCompSlots; ++i) {
        CalCond_SetTempCompMode(i, kDefaultCompMode, &step);
        Eeprom_Chain(&result, step);
        CalCond_SetTempCompCoefficient(i, kDefaultCoefficient, &step);
        Eeprom_Chain(&result, step);
    }
    DefaultRefPair();
    *status = result;
}

void CalCond_SetDefaults(uint32_t* status) {
    uint32_t result = 0, step = 0;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        CalCond_SetCellConstant(channel, kDefaultCellConstant, &step);
        Eeprom_Chain(&result, step);
        CalCond_SetZeroOffset(channel, kDefaultZeroOffset, &step);
        Eeprom_Chain(&result, step);
        for (uint32_t i = 0; i < 2; ++i) {
            CalCond_SetPointValue(channel, i, kDefaultPointRef[i], &step);
            Eeprom_Chain(&result, step);
        }
    }
    CalCond_DefaultTempComp(&step);
    Eeprom_Chain(&result, step);
    *status = result;
}

static void LoadCalibration(uint32_t channel, uint32_t* status) {
    float cell = kDefaultCellConstant, offset = kDefaultZeroOffset;
    float refs[2] = {kDefaultPointRef[0], kDefaultPointRef[1]};
    bool failed = false;
    Eeprom_LoadFloat(kStoreCellConstant + 4 * channel, &cell, &failed);
    Eeprom_LoadFloat(kStoreZeroOffset + 4 * channel, &offset, &failed);
    Eeprom_LoadFloat(kStorePointRef + 8 * channel, &refs[0], &failed);
    Eeprom_LoadFloat(kStorePointRef + 8 * channel + 4, &refs[1], &failed);
    // A stored cell constant of zero is no calibration either.
    *status = 0;
    if (failed || cell == 0.0f) {
        cell = kDefaultCellConstant;
        offset = kDefaultZeroOffset;
        refs[0] = kDefaultPointRef[0];
        refs[1] = kDefaultPointRef[1];
        *status = kCondDefaulted;
    }
    SensorCalRecord& s = g_SensorCal[channel];
    CalInUseCond& u = g_CalInUse[channel].cond;
    s.cellConstant = cell;
    s.zeroOffset = offset;
    u.cellConstant = cell;
    u.zeroOffset = offset;
    u.pointRef[0] = refs[0];
    u.pointRef[1] = refs[1];
}

static void LoadCompensation(uint32_t* status) {
    bool failed = false;
    uint8_t modes[kCondCompSlots] = {0, 0, 0, 0};
    uint32_t step = 0;
    Eeprom_Read(kStoreCompMode, modes, kCondCompSlots, &step);
    if (step != 0) failed = true;
    float coefficients[kCondCompSlots];
    for (uint32_t i = 0; i < kCondCompSlots; ++i) {
        coefficients[i] = kDefaultCoefficient;
        Eeprom_LoadFloat(kStoreCompCoefficient + 4 * i, &coefficients[i], &failed);
        if (modes[i] >= kCompModeCount) failed = true;
    }
    if (failed) {
        CalCond_DefaultTempComp(status);
        return;
    }
    for (uint32_t i = 0; i < kCondCompSlots; ++i) {
        s_CompMode[i] = modes[i];
        s_CompCoefficient[i] = coefficients[i];
        // A coefficient of 100 %/C or more is no coefficient, and a negative one counts as none.
        if (coefficients[i] > kCoefficientMax) {
            CalCond_SetTempCompCoefficient(i, kDefaultCoefficient, &step);
            Eeprom_Chain(status, step);
        } else if (coefficients[i] < 0.0f) {
            CalCond_SetTempCompCoefficient(i, 0.0f, &step);
            Eeprom_Chain(status, step);
        }
    }
}

void CalCond_LoadSettings(uint32_t channel, uint32_t mode, uint32_t* status) {
    if (mode == 1) {
        if (Cal_NoChannel(channel, status)) return;
        LoadCalibration(channel, status);
        return;
    }
    *status = 0;
    for (uint32_t ch = 0; ch < 2; ++ch) {
        float cell = kDefaultCellConstant, offset = kDefaultZeroOffset;
        bool failed = false;
        Eeprom_LoadFloat(kStoreCellConstant + 4 * ch, &cell, &failed);
        if (failed || cell == 0.0f) cell = kDefaultCellConstant;
        failed = false;
        Eeprom_LoadFloat(kStoreZeroOffset + 4 * ch, &offset, &failed);
        if (failed) offset = kDefaultZeroOffset;
        g_SensorCal[ch].cellConstant = cell;
        g_SensorCal[ch].zeroOffset = offset;
    }
    DefaultRefPair();
    LoadCompensation(status);
}

void CalCond_ResetState() {
    for (uint32_t i = 0; i < kCondCompSlots; ++i) {
        s_CompMode[i] = kDefaultCompMode;
        s_CompCoefficient[i] = kDefaultCoefficient;
    }
    DefaultRefPair();
}
