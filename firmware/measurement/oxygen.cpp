// Amperometric oxygen calibration and the oxygen values by unit.
#include "measurement/oxygen.h"

#include <cmath>

#include "core/eeprom.h"
#include "core/util.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/analog_input.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/co2_chem.h"
#include "measurement/meas.h"
#include "measurement/o2_chem.h"

// Settings store places; "+ ch" per channel. Slope and zero lie where the measuring kind keeps
// them (below).
static constexpr uint32_t kStorePressureSource = 622;  // + ch; channel B's byte serves all
static constexpr uint32_t kStorePointRef = 624;        // + 8 x ch + 4 x point
static constexpr uint32_t kStoreSlopeHigh = 640;       // + 4 x ch, "O2 hi"
static constexpr uint32_t kStoreZeroHigh = 648;
static constexpr uint32_t kStoreRelHumidity = 656;
static constexpr uint32_t kStoreSalinity = 664;
static constexpr uint32_t kStoreCalPressure = 672;
static constexpr uint32_t kStoreProcPressure = 680;
static constexpr uint32_t kStoreZeroOther = 688;  // "O2 lo" and "ppmO2 G"
static constexpr uint32_t kStoreSlopeOther = 696;
static constexpr uint32_t kStoreZeroTrace = 704;  // "O2 Trace"
static constexpr uint32_t kStorePointKind = 724;  // point 0's kind, one byte
static constexpr uint32_t kStoreSlopeTrace = 726;
static constexpr StoreRange kStoreRanges[] = {
    {kStorePressureSource, 2}, {kStorePointRef, 16}, {kStoreSlopeHigh, 72}, {kStorePointKind, 1}, {kStoreSlopeTrace, 8},
};
const StoreMap g_O2StoreMap = {"oxygen", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

O2LimitSet g_O2Kind8Limits[2];

// Factory values.
static constexpr float kDefaultSalinity = 0.0f;
static constexpr float kDefaultRelHumidity = 1.0f;
static constexpr float kDefaultPressure = 1013.0f;
static constexpr float kDefaultPointRef[2] = {100.0f, 0.0f};
// The kind-8 limits a reload for the kind sets: slope bounds (nA), zero bounds (thousandths of
// nA), signal bounds.
static constexpr float kKind8LoadLimits[kO2Kind8Limits] = {-20000.0f, -60000.1f, 1000.0f, -1000.0f, 10.0f, -100000.0f};

static constexpr float kTiny = 1e-29f;
static constexpr float kPercent = 100.0f;
static constexpr float kPpm = 1000000.0f;
// Upper bounds of the results (x 100 for the saturation): 200 % and 20 mg/L, or on "O2 hi" 500 %
// and 50 mg/L; 100 % and 9999 ppm of the gas.
static constexpr float kSaturationBound = 2.0f;
static constexpr float kSaturationBoundHigh = 5.0f;
static constexpr float kConcentrationBound = 20.0f;
static constexpr float kConcentrationBoundHigh = 50.0f;
static constexpr float kGasPercentMax = 100.0f;
// Below 0 by less than this (5 ppm of the gas) a gas percentage reads 0, as a saturation reads 0
// from -0.25 %.
static constexpr float kGasPercentZeroBand = -0.0005f;
// A digital sensor keeps its zero to a whole picoampere (a unit of the stored zero); a current
// below the zero by less than half of that is the zero itself.
static constexpr float kZeroRounding = 0.5f;
static constexpr float kGasPpmMax = 9999.0f;
static constexpr uint32_t kUnitOxygenPercent = 20;
// Channel B's limits: the negated slope at air, for "ppmO2 G" sensors their own; the zero.
static constexpr float kSlopeAtAirLow = -10000.0f;
static constexpr float kSlopeAtAirHigh = 16214.2f;
static constexpr float kSlopeAtAirLowGauge = -121072.0f;
static constexpr float kSlopeAtAirHighGauge = 10.0f;
static constexpr float kZeroLimitB = 8190.0f;
// Type codes of a data set: a zero point, a slope point in wet or in dry gas, and the process
// calibrations by the point's kind.
static constexpr uint8_t kSetTypeZero = 7;
static constexpr uint8_t kSetTypeSlopeWet = 1;
static constexpr uint8_t kSetTypeSlopeDry = 0;
static constexpr uint8_t kSetTypeProcessAir = 2;
static constexpr uint8_t kSetTypeProcessGas = 4;
static constexpr uint8_t kSetTypeProcessOxygen = 8;
static constexpr uint8_t kSetTypeProcessOther = 3;
static constexpr float kWetGasHumidity = 0.999f;

static bool IsFinite(float value) { return Util_ClassifyFloat(value) < kFloatPlusInfinity; }
static bool IsChannel(uint32_t channel) { return channel < 2; }

static bool IsPointKind(uint8_t kind) {
    return kind == kO2PointAirPercent || kind == kO2PointMicrogram || kind == kO2PointMilligram ||
           kind == kO2PointOxygenPercent || kind == kO2PointGasPercent || kind == kO2PointGasPpm;
}

// Where the channel's measuring kind keeps its slope and zero.
static uint32_t SlopeOffset(uint32_t channel, uint16_t kind) {
    if (kind == kKindO2High) return kStoreSlopeHigh + 4 * channel;
    if (kind == kKindO2Trace) return kStoreSlopeTrace + 4 * channel;
    return kStoreSlopeOther + 4 * channel;
}

static uint32_t ZeroOffset(uint32_t channel, uint16_t kind) {
    if (kind == kKindO2High) return kStoreZeroHigh + 4 * channel;
    if (kind == kKindO2Trace) return kStoreZeroTrace + 4 * channel;
    return kStoreZeroOther + 4 * channel;
}

// Dry-gas share of a pressure: P - RH x the water vapour pressure at t.
static float DryPressure(float pressure, float humidity, float t) {
    return pressure - humidity * CalPh_GetWaterVapourPressure(t);
}

// The standard pressure less the vapour pressure at t, times the oxygen fraction of air.
static float AirOxygenAt(float t) { return (kO2StdPressure - CalPh_GetWaterVapourPressure(t)) * kO2AirFraction; }

// N: the oxygen partial pressure of water-saturated air at the standard pressure, mbar.
static float StandardAirOxygen() { return (kO2StdPressure - kO2StdVapour) * kO2AirFraction; }

void CalO2_ResetState() {
    for (O2LimitSet& set : g_O2Kind8Limits) {
        set.enabled = 0;
        for (uint32_t i = 0; i < kO2Kind8Limits; ++i) set.limit[i] = kKind8LoadLimits[i];
    }
}

float CalO2_GetKind8Limit(uint32_t channel, uint32_t i) {
    return IsChannel(channel) && i < kO2Kind8Limits ? g_O2Kind8Limits[channel].limit[i] : 0.0f;
}

// ---- Medium and air -------------------------------------------------------------------------------

float CalO2_GetSalinity(uint32_t channel) { return IsChannel(channel) ? g_SensorCal[channel].salinity : 0.0f; }

void CalO2_SetSalinity(uint32_t channel, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].salinity, nullptr, kStoreSalinity + 4 * channel, value, status);
}

float CalO2_GetRelHumidity(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].relHumidity : kDefaultRelHumidity;
}

void CalO2_SetRelHumidity(uint32_t channel, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].relHumidity, nullptr, kStoreRelHumidity + 4 * channel, value, status);
}

void CalO2_SetRelHumidityRam(uint32_t channel, float value) {
    if (IsChannel(channel) && IsFinite(value)) g_SensorCal[channel].relHumidity = value;
}

float CalO2_GetCalPressure(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].calPressure : kDefaultPressure;
}

void CalO2_SetCalPressure(uint32_t channel, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].calPressure, nullptr, kStoreCalPressure + 4 * channel, value, status);
}

void CalO2_SetCalPressureRam(uint32_t channel, float value) {
    if (IsChannel(channel) && IsFinite(value)) g_SensorCal[channel].calPressure = value;
}

float CalO2_GetProcPressure(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].procPressure : kDefaultPressure;
}

void CalO2_SetProcPressure(uint32_t channel, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].procPressure, nullptr, kStoreProcPressure + 4 * channel, value, status);
}

uint8_t CalO2_GetPressureSource(uint32_t) { return g_SensorCal[1].pressureSource; }

void CalO2_SetPressureSource(uint32_t, uint8_t source, uint32_t* status) {
    *status = 0;
    if (source > 1) {
        *status = kStatusOver;
        return;
    }
    g_SensorCal[1].pressureSource = source;
    Eeprom_WriteChecked(kStorePressureSource + 1, &source, 1, status);
}

void CalO2_SetPressureSourceRam(uint32_t, uint8_t source) {
    if (source <= 1) g_SensorCal[1].pressureSource = source;
}

float CalO2_GetPressureForCal(uint32_t channel) {
    if (g_ChosenMode == kCalModeProcess && CalO2_GetPressureSource(channel) == 1) {
        return Meas_GetO2ProcessPressure(channel);
    }
    return CalO2_GetCalPressure(channel);
}

// ---- Slope and zero ---------------------------------------------------------------------------------

void CalO2_SetSlope(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    if (Cal_NoChannel(channel, status)) return;
    // A slope of zero would make every oxygen value infinite.
    if (Util_ClassifyFloat(value) != kFloatFinite) {
        *status = kStatusOver;
        return;
    }
    g_CalInUse[channel].o2.slope = value;
    g_SensorCal[channel].second = value;
    // Channel B's sensor keeps its calibration in its own memory.
    if (channel != 1) Eeprom_WriteFloat(SlopeOffset(channel, Chan_GetMeasuringKind(channel)), value, status);
}

void CalO2_SetSlopeInUseRam(uint32_t channel, float value) {
    if (IsChannel(channel)) g_CalInUse[channel].o2.slope = value;
}

void CalO2_SetSlopeFromAir(uint32_t channel, float value) {
    uint32_t status = 0;
    CalO2_SetSlope(channel, value * 1000.0f / StandardAirOxygen(), &status);
}

float CalO2_GetSlopeAtAir(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].second * StandardAirOxygen() / 1000.0f : 0.0f;
}

float CalO2_GetSlopeInUseAtAir(uint32_t channel) {
    return IsChannel(channel) ? g_CalInUse[channel].o2.slope * StandardAirOxygen() / 1000.0f : 0.0f;
}

void CalO2_SetZero(uint32_t channel, float value) {
    float zero = value * 1000.0f;
    if (!IsChannel(channel) || !IsFinite(zero)) return;
    g_CalInUse[channel].o2.zero = zero;
    g_SensorCal[channel].first = zero;
    uint32_t status = 0;
    if (channel != 1) Eeprom_WriteFloat(ZeroOffset(channel, Chan_GetMeasuringKind(channel)), zero, &status);
}

float CalO2_GetZeroMicro(uint32_t channel) { return IsChannel(channel) ? g_SensorCal[channel].first / 1000.0f : 0.0f; }

float CalO2_GetZeroInUseMicro(uint32_t channel) {
    return IsChannel(channel) ? g_CalInUse[channel].o2.zero / 1000.0f : 0.0f;
}

// ---- Values by unit -----------------------------------------------------------------------------------

static float Saturation(uint32_t channel, uint32_t unit, float base, float t, float pressure, uint32_t* status) {
    *status = 0;
    if (Cal_NoChannel(channel, status)) return 0.0f;
    float fraction = kO2AirFraction;
    float bound = g_MeasuringKind[channel] == kKindO2High ? kSaturationBoundHigh : kSaturationBound;
    // Percent of saturation with pure oxygen.
    if (unit == kUnitOxygenPercent || unit == kO2PointOxygenPercent) {
        fraction = 1.0f;
        bound = kSaturationBound;
    }
    const SensorCalRecord& s = g_SensorCal[channel];
    float d = s.second * fraction * DryPressure(pressure, 1.0f, t);
    if (!(std::fabs(d) >= kTiny)) {
        *status = kStatusOver;
        return 0.0f;
    }
    return CalO2_CheckLowerLimitA((base - s.first) * kPercent / d, bound, status);
}

float CalO2_ToSaturation(uint32_t channel, uint32_t unit, float base, float pressure, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return 0.0f;
    return Saturation(channel, unit, base, g_Measurement[channel].temperature, pressure, status);
}

float CalO2_ToSaturationForCal(uint32_t channel, uint32_t unit, uint32_t i, float pressure, uint32_t* status) {
    if (Cal_NoChannel(channel, status) || i >= 2) {
        *status = kStatusOver;
        return 0.0f;
    }
    const CalInUseO2& u = g_CalInUse[channel].o2;
    return Saturation(channel, unit, u.pointCurrent[i], u.pointTemp[i], pressure, status);
}

float CalO2_ToUnit22(uint32_t channel, float base, float pressure, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return 0.0f;
    const SensorCalRecord& s = g_SensorCal[channel];
    float d = s.second * pressure;
    if (!(std::fabs(d) >= kTiny)) {
        *status = kStatusOver;
        return 0.0f;
    }
    float value = (base - s.first) * kPercent / d;
    if (!IsFinite(value)) {
        *status = kStatusOver;
        return 0.0f;
    }
    // At the calibrated zero the reading is 0, not under range: a reading below 0 by a rounding,
    // or by less than the picoampere to which a digital sensor keeps its zero.
    if (value < 0.0f && (value >= kGasPercentZeroBand || base - s.first > -kZeroRounding)) value = 0.0f;
    if (value < 0.0f) {
        *status = kStatusUnder;
    } else if (value > kGasPercentMax) {
        *status = kStatusOver;
    }
    return value;
}

float CalO2_ToUnitForCal(uint32_t channel, uint32_t i, float pressure, uint32_t* status) {
    if (Cal_NoChannel(channel, status) || i >= 2) {
        *status = kStatusOver;
        return 0.0f;
    }
    return CalO2_ToUnit22(channel, g_CalInUse[channel].o2.pointCurrent[i], pressure, status);
}

float CalO2_ToUnit21(uint32_t channel, float base, float pressure, uint32_t* status) {
    float ppm = CalO2_ToUnit22(channel, base, pressure, status) * (kPpm / kPercent);
    if (*status == 0 && ppm > kGasPpmMax) *status = kStatusOver;
    return ppm;
}

static float Concentration(uint32_t channel, float base, float t, uint32_t* status) {
    const SensorCalRecord& s = g_SensorCal[channel];
    float d = s.second * AirOxygenAt(t);
    if (!(std::fabs(d) >= kTiny)) {
        *status = kStatusOver;
        return 0.0f;
    }
    float bound = g_MeasuringKind[channel] == kKindO2High ? kConcentrationBoundHigh : kConcentrationBound;
    return CalO2_CheckLowerLimitB((base - s.first) * CalO2_GetSolubility(t, s.salinity) / d, bound, status);
}

float CalO2_ToConcentration(uint32_t channel, float base, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return 0.0f;
    return Concentration(channel, base, g_Measurement[channel].temperature, status);
}

float CalO2_GetValueForCal(uint32_t channel, uint32_t i, uint32_t* status) {
    if (Cal_NoChannel(channel, status) || i >= 2) {
        *status = kStatusOver;
        return 0.0f;
    }
    const CalInUseO2& u = g_CalInUse[channel].o2;
    if (!(g_SensorCal[channel].second * AirOxygenAt(u.pointTemp[i]) > 0.0f)) return 0.0f;
    return Concentration(channel, u.pointCurrent[i], u.pointTemp[i], status);
}

// ---- Calibration ------------------------------------------------------------------------------------

void CalO2_SetPointKind(uint32_t channel, uint32_t i, uint8_t kind) {
    if (IsChannel(channel) && i < 2) g_CalInUse[channel].o2.pointKind[i] = kind;
}

void CalO2_SetPointCurrent(uint32_t channel, uint32_t i, float current) {
    if (IsChannel(channel) && i < 2) g_CalInUse[channel].o2.pointCurrent[i] = current;
}

float CalO2_GetPointCurrent(uint32_t channel, uint32_t i) {
    return IsChannel(channel) && i < 2 ? g_CalInUse[channel].o2.pointCurrent[i] : 0.0f;
}

void CalO2_SetPointReference(uint32_t channel, uint32_t i, float reference) {
    if (IsChannel(channel) && i < 2) g_CalInUse[channel].o2.pointRef[i] = reference;
}

uint32_t CalO2_PointOfStep(uint32_t point, uint32_t selector) { return point == 0 && selector == 0 ? 0 : 1; }

uint8_t CalO2_GetPointKind(uint32_t channel, uint32_t i) {
    return IsChannel(channel) && i < 2 ? g_CalInUse[channel].o2.pointKind[i] : kO2PointAirPercent;
}

// A reference of the kind given for the oxygen partial pressure (mbar) it stands for, as the slope
// calibration reads a reference: at the pressure, its dry-gas share and the temperature.
static float ReferenceForOxygen(uint32_t channel, uint8_t kind, float oxygen, float pressure, float dry, float t) {
    switch (kind) {
        case kO2PointAirPercent:
            return oxygen * kPercent / (dry * kO2AirFraction);
        case kO2PointOxygenPercent:
            return oxygen * kPercent / dry;
        case kO2PointGasPercent:
            return oxygen * kPercent / pressure;
        case kO2PointGasPpm:
            return oxygen * kPpm / pressure;
        case kO2PointMilligram:
            return oxygen * CalO2_GetSolubility(t, g_SensorCal[channel].salinity) / AirOxygenAt(t);
        case kO2PointMicrogram:
            return oxygen * CalO2_GetSolubility(t, g_SensorCal[channel].salinity) / AirOxygenAt(t) * 1000.0f;
        default:
            return 0.0f;
    }
}

float CalO2_GetPointReference(uint32_t channel, uint32_t i, uint8_t kind) {
    if (i >= 2) return 0.0f;
    if (!IsChannel(channel)) return kDefaultPointRef[i];
    const CalInUseO2& u = g_CalInUse[channel].o2;
    if (u.pointKind[i] == kind && IsFinite(u.pointRef[i])) return u.pointRef[i];
    if (i == 1 || kind == kO2PointAirPercent) return kDefaultPointRef[i];
    // The slope point is taken in air: what air is in the kind's unit at the calibration's
    // pressure and humidity and the temperature measured now.
    float pressure = CalO2_GetPressureForCal(channel);
    float t = g_Measurement[channel].temperature;
    float humidity = g_ChosenMode == kCalModeProcess ? 1.0f : g_SensorCal[channel].relHumidity;
    float dry = DryPressure(pressure, humidity, t);
    float reference = ReferenceForOxygen(channel, kind, dry * kO2AirFraction, pressure, dry, t);
    return IsFinite(reference) ? reference : kDefaultPointRef[i];
}

void CalO2_CapturePoint(uint32_t channel, uint32_t i, uint32_t mode, float reference, uint32_t* status) {
    if (Cal_NoPoint(channel, i, status)) return;
    CalInUseO2& u = g_CalInUse[channel].o2;
    float t = Meas_GetFilteredTemperature(status);
    if (*status != 0) return;
    float current = Meas_GetFilteredCalValue(status);
    if (*status != 0) return;
    u.pointTemp[i] = t;
    u.pointCurrent[i] = current;
    if (mode != kCalModeProcess) u.pointRef[i] = reference;
    u.calPressure = CalO2_GetPressureForCal(channel);
}

float CalO2_ScalePointByKind(uint32_t channel, uint32_t i, uint32_t* status) {
    if (Cal_NoPoint(channel, i, status)) return 0.0f;
    const CalInUseO2& u = g_CalInUse[channel].o2;
    float reference = u.pointRef[i];
    switch (u.pointKind[i]) {
        case kO2PointAirPercent:
        case kO2PointOxygenPercent:
            return reference / kPercent;
        case kO2PointMicrogram:
            reference /= 1000.0f;
            [[fallthrough]];
        case kO2PointMilligram: {
            // Against the concentration of air-saturated water at the point's temperature.
            float saturation = CalO2_GetSaturationConc(u.pointTemp[i]);
            float fraction = reference / saturation;
            if (!IsFinite(fraction)) {
                *status = kStatusOver;
                return 0.0f;
            }
            return fraction;
        }
        case kO2PointGasPercent:
        case kO2PointGasPpm:
            return 0.0f;
        default:
            *status = kO2PointKindUnknown;
            return 0.0f;
    }
}

// Divides, or gives status 2 for a divisor below 1e-29 in magnitude (or a result that is no number).
static bool Divide(float numerator, float divisor, float* result, uint32_t* status) {
    if (!(std::fabs(divisor) >= kTiny)) {
        *status = kStatusOver;
        return false;
    }
    *result = numerator / divisor;
    if (!IsFinite(*result)) {
        *status = kStatusOver;
        return false;
    }
    return true;
}

// The slope of point 0: current over what the reference means as oxygen partial pressure.
static bool SlopeFromPoint(uint32_t channel, float humidity, float* slope, uint32_t* status) {
    const CalInUseO2& u = g_CalInUse[channel].o2;
    const SensorCalRecord& s = g_SensorCal[channel];
    float t = u.pointTemp[0];
    float current = u.pointCurrent[0] - s.first;
    float pressure = u.calPressure;
    float reference = u.pointRef[0];
    switch (u.pointKind[0]) {
        case kO2PointAirPercent:
        case kO2PointOxygenPercent: {
            float fraction = CalO2_ScalePointByKind(channel, 0, status);
            if (*status != 0) return false;
            float air = u.pointKind[0] == kO2PointAirPercent ? kO2AirFraction : 1.0f;
            return Divide(current, DryPressure(pressure, humidity, t) * air * fraction, slope, status);
        }
        case kO2PointGasPercent:
            return Divide(current * kPercent, pressure * reference, slope, status);
        case kO2PointGasPpm:
            return Divide(current * kPpm, pressure * reference, slope, status);
        case kO2PointMicrogram:
            reference /= 1000.0f;
            [[fallthrough]];
        case kO2PointMilligram:
            return Divide(current * CalO2_GetSolubility(t, s.salinity), AirOxygenAt(t) * reference, slope, status);
        default:
            *status = kO2PointKindUnknown;
            return false;
    }
}

// The zero of point 1: its current less what the stored slope gives for its reference.
static bool ZeroFromPoint(uint32_t channel, float humidity, float* zero, uint32_t* status) {
    const CalInUseO2& u = g_CalInUse[channel].o2;
    const SensorCalRecord& s = g_SensorCal[channel];
    float t = u.pointTemp[1];
    float current = u.pointCurrent[1];
    float pressure = u.calPressure;
    float reference = u.pointRef[1];
    float slope = s.second;
    float expected = 0.0f;
    switch (u.pointKind[1]) {
        case kO2PointAirPercent:
        case kO2PointOxygenPercent: {
            float fraction = CalO2_ScalePointByKind(channel, 1, status);
            if (*status != 0) return false;
            float air = u.pointKind[1] == kO2PointAirPercent ? kO2AirFraction : 1.0f;
            expected = slope * air * fraction * DryPressure(pressure, humidity, t);
            break;
        }
        case kO2PointGasPercent:
            expected = reference * slope * pressure / kPercent;
            break;
        case kO2PointGasPpm:
            expected = reference * slope * pressure / kPpm;
            break;
        case kO2PointMicrogram:
            reference /= 1000.0f;
            [[fallthrough]];
        case kO2PointMilligram:
            if (!Divide(slope * kO2AirFraction * reference * (kO2StdPressure - kO2StdVapour),
                        CalO2_GetSolubility(t, s.salinity), &expected, status)) {
                return false;
            }
            break;
        default:
            *status = kO2PointKindUnknown;
            return false;
    }
    *zero = current - expected;
    if (!IsFinite(*zero)) {
        *status = kStatusOver;
        return false;
    }
    return true;
}

void CalO2_Calibrate(uint32_t channel, uint32_t point, uint32_t mode, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    CalInUseO2& u = g_CalInUse[channel].o2;
    const SensorCalRecord& s = g_SensorCal[channel];
    u.slope = s.second;
    u.zero = s.first;
    if (point >= 2) {
        *status = kStatusOver;
        return;
    }
    Meas_CheckTemperatureRange(channel, u.pointTemp[point], status);
    if (*status != 0) return;
    // A process calibration is made in the medium, where the gas is taken as saturated.
    float humidity = mode == kCalModeProcess ? 1.0f : s.relHumidity;
    if (point == 0) {
        float slope = 0.0f;
        if (!SlopeFromPoint(channel, humidity, &slope, status)) return;
        u.slope = slope;
        CalO2_CheckSlopeAtAir(channel, status);
    } else {
        float zero = 0.0f;
        if (!ZeroFromPoint(channel, humidity, &zero, status)) return;
        u.zero = zero;
        CalO2_CheckZeroLimit(channel, status);
    }
}

void CalO2_CheckSlopeAtAir(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status) || channel != 1) return;
    float value = -CalO2_GetSlopeInUseAtAir(1);
    bool valid = g_SensorKindActive[1] == kKindO2Gauge
                     ? value >= kSlopeAtAirLowGauge && value <= kSlopeAtAirHighGauge && value != 0.0f
                     : value >= kSlopeAtAirLow && value <= kSlopeAtAirHigh;
    if (!valid) *status = kStatusOver;
}

void CalO2_CheckZeroLimit(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status) || channel != 1) return;
    if (!(std::fabs(g_CalInUse[1].o2.zero) <= kZeroLimitB)) *status = kStatusOver;
}

void CalO2_StoreCal(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    const CalInUseO2& u = g_CalInUse[channel].o2;
    SensorCalRecord& s = g_SensorCal[channel];
    s.second = u.slope;
    s.first = u.zero;
    uint32_t result = 0, step = 0;
    if (channel != 1) {
        uint16_t kind = Chan_GetMeasuringKind(channel);
        Eeprom_WriteFloat(SlopeOffset(channel, kind), u.slope, &step);
        Eeprom_Chain(&result, step);
        Eeprom_WriteFloat(ZeroOffset(channel, kind), u.zero, &step);
        Eeprom_Chain(&result, step);
    }
    for (uint32_t i = 0; i < 2; ++i) {
        Eeprom_WriteFloat(kStorePointRef + 8 * channel + 4 * i, u.pointRef[i], &step);
        Eeprom_Chain(&result, step);
    }
    uint8_t kind = u.pointKind[0];
    Eeprom_WriteChecked(kStorePointKind, &kind, 1, &step);
    Eeprom_Chain(&result, step);
    *status = result;
}

// The record's fields for an oxygen sensor, per point (slope point 0 first, zero point 1 second):
// v0 / v4 the negated current, v8 / v12 the oxygen partial pressure (mbar), v16 / v20 the
// calibration pressure, v24 / v28 the humidity in percent, v48 / v52 the temperature; v40 the
// negated slope at air, v44 the negated zero; v60 the reference of a process calibration; b82
// the calibration type, b83 the type code.
void CalO2_FillDataSet(uint32_t channel, CalDataSetRecord* record) {
    if (!IsChannel(channel)) return;
    const CalInUseO2& u = g_CalInUse[channel].o2;
    bool process = g_ChosenMode == kCalModeProcess;
    float humidity = process ? 1.0f : CalO2_GetRelHumidity(channel);
    if (g_ChosenOption == 1) {
        record->b83 = kSetTypeZero;
    } else if (!process) {
        record->b83 = humidity >= kWetGasHumidity ? kSetTypeSlopeWet : kSetTypeSlopeDry;
    } else {
        switch (u.pointKind[0]) {
            case kO2PointAirPercent:
                record->b83 = kSetTypeProcessAir;
                break;
            case kO2PointGasPercent:
                record->b83 = kSetTypeProcessGas;
                break;
            case kO2PointOxygenPercent:
                record->b83 = kSetTypeProcessOxygen;
                break;
            default:
                record->b83 = kSetTypeProcessOther;
                break;
        }
    }
    if (process) {
        // The sensor keeps the reference in thousandths, ppm in tenths, ug/L as it is.
        float scale = u.pointKind[0] == kO2PointMicrogram ? 1.0f : (u.pointKind[0] == kO2PointGasPpm ? 10.0f : 1000.0f);
        record->v60 = u.pointRef[0] * scale;
    }
    record->b82 = g_ChosenMode;
    record->v40 = -CalO2_GetSlopeAtAir(channel);
    record->v44 = -g_SensorCal[channel].first;
    float* current[2] = {&record->v0, &record->v4};
    float* oxygen[2] = {&record->v8, &record->v12};
    float* pressure[2] = {&record->v16, &record->v20};
    float* percentHumidity[2] = {&record->v24, &record->v28};
    float* temperature[2] = {&record->v48, &record->v52};
    for (uint32_t i = 0; i < 2; ++i) {
        *current[i] = -u.pointCurrent[i];
        *oxygen[i] = DryPressure(u.calPressure, humidity, u.pointTemp[i]) * kO2AirFraction;
        *pressure[i] = u.calPressure;
        *percentHumidity[i] = humidity * kPercent;
        *temperature[i] = u.pointTemp[i];
    }
}

void CalO2_ApplyDataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    if (Util_ClassifyFloat(record->v40) != kFloatFinite || !IsFinite(record->v44)) {
        *status = kStatusOver;
        return;
    }
    CalO2_SetSlopeFromAir(channel, -record->v40);
    CalO2_SetZero(channel, -record->v44 / 1000.0f);
}

// ---- Load and defaults ------------------------------------------------------------------------------

// The medium of a channel; any unreadable value gives the channel its factory medium.
static void LoadMedium(uint32_t channel, uint32_t* status) {
    SensorCalRecord& s = g_SensorCal[channel];
    float humidity = kDefaultRelHumidity, calPressure = kDefaultPressure, procPressure = kDefaultPressure;
    float salinity = kDefaultSalinity;
    uint8_t source = 0;
    bool failed = false;
    Eeprom_LoadFloat(kStoreRelHumidity + 4 * channel, &humidity, &failed);
    Eeprom_LoadFloat(kStoreCalPressure + 4 * channel, &calPressure, &failed);
    Eeprom_LoadFloat(kStoreProcPressure + 4 * channel, &procPressure, &failed);
    Eeprom_LoadFloat(kStoreSalinity + 4 * channel, &salinity, &failed);
    Eeprom_LoadByte(kStorePressureSource + channel, &source, &failed);
    if (failed) {
        humidity = kDefaultRelHumidity;
        calPressure = procPressure = kDefaultPressure;
        salinity = kDefaultSalinity;
        source = 0;
        *status = kStoreFloatNotFinite;
    }
    s.relHumidity = humidity;
    s.calPressure = calPressure;
    s.procPressure = procPressure;
    s.salinity = salinity;
    s.pressureSource = source <= 1 ? source : 0;
}

static void LoadCalibration(uint32_t channel, uint32_t* status) {
    SensorCalRecord& s = g_SensorCal[channel];
    CalInUseO2& u = g_CalInUse[channel].o2;
    uint16_t kind = Chan_GetMeasuringKind(channel);
    u.pointKind[1] = kO2PointAirPercent;
    float refs[2] = {kDefaultPointRef[0], kDefaultPointRef[1]};
    uint8_t pointKind = kO2PointAirPercent;
    float slope = CalO2_GetNominalSlope(kind), zero = 0.0f;
    bool failed = false;
    Eeprom_LoadFloat(kStorePointRef + 8 * channel, &refs[0], &failed);
    Eeprom_LoadFloat(kStorePointRef + 8 * channel + 4, &refs[1], &failed);
    Eeprom_LoadByte(kStorePointKind, &pointKind, &failed);
    if (!IsPointKind(pointKind)) pointKind = kO2PointAirPercent;
    Eeprom_LoadFloat(SlopeOffset(channel, kind), &slope, &failed);
    Eeprom_LoadFloat(ZeroOffset(channel, kind), &zero, &failed);
    // A stored slope of zero is no calibration either.
    if (failed || slope == 0.0f) {
        slope = CalO2_GetNominalSlope(kind);
        zero = 0.0f;
        refs[0] = kDefaultPointRef[0];
        refs[1] = kDefaultPointRef[1];
        *status = kO2Defaulted;
    }
    u.pointKind[0] = pointKind;
    u.pointRef[0] = refs[0];
    u.pointRef[1] = refs[1];
    s.second = slope;
    s.first = zero;
    u.zero = zero;
    u.slope = slope;
    u.pointCurrent[0] = u.pointCurrent[1] = 0.0f;
    for (uint32_t i = 0; i < kO2Kind8Limits; ++i) g_O2Kind8Limits[channel].limit[i] = kKind8LoadLimits[i];
}

void CalO2_LoadAll(uint32_t channel, uint32_t mode, uint32_t* status) {
    *status = 0;
    if (mode == 1) {
        if (Cal_NoChannel(channel, status)) return;
        LoadCalibration(channel, status);
        return;
    }
    for (uint32_t ch = 0; ch < 2; ++ch) LoadMedium(ch, status);
    uint32_t step = 0;
    Meas_LoadAnalogInput(&step);
    Eeprom_Chain(status, step);
}

void CalO2_ReloadChannel(uint32_t channel) {
    if (!IsChannel(channel)) return;
    uint32_t status = 0;
    LoadMedium(channel, &status);
    // The pressure source every channel uses is channel B's.
    if (channel != 1) {
        uint8_t source = 0;
        bool failed = false;
        Eeprom_LoadByte(kStorePressureSource + 1, &source, &failed);
        g_SensorCal[1].pressureSource = !failed && source <= 1 ? source : 0;
    }
}

void CalO2_ResetToFactory(uint32_t, uint32_t* status) {
    uint32_t result = 0, step = 0;
    const uint16_t kinds[3] = {kKindO2High, kKindO2Low, kKindO2Trace};
    uint8_t pointKind = kO2PointAirPercent;
    Eeprom_WriteChecked(kStorePointKind, &pointKind, 1, &step);
    Eeprom_Chain(&result, step);
    for (uint32_t channel = 0; channel < 2; ++channel) {
        SensorCalRecord& s = g_SensorCal[channel];
        CalInUseO2& u = g_CalInUse[channel].o2;
        u.pointKind[0] = u.pointKind[1] = kO2PointAirPercent;
        for (uint32_t i = 0; i < 2; ++i) {
            Eeprom_SetFloat(&u.pointRef[i], nullptr, kStorePointRef + 8 * channel + 4 * i, kDefaultPointRef[i], &step);
            Eeprom_Chain(&result, step);
        }
        for (uint16_t kind : kinds) {
            Eeprom_WriteFloat(ZeroOffset(channel, kind), 0.0f, &step);
            Eeprom_Chain(&result, step);
            Eeprom_WriteFloat(SlopeOffset(channel, kind), CalO2_GetNominalSlope(kind), &step);
            Eeprom_Chain(&result, step);
        }
        s.first = u.zero = 0.0f;
        s.second = u.slope = CalO2_GetNominalSlope(kKindO2High);
        Eeprom_SetFloat(&s.relHumidity, nullptr, kStoreRelHumidity + 4 * channel, kDefaultRelHumidity, &step);
        Eeprom_Chain(&result, step);
        Eeprom_SetFloat(&s.calPressure, nullptr, kStoreCalPressure + 4 * channel, kDefaultPressure, &step);
        Eeprom_Chain(&result, step);
        Eeprom_SetFloat(&s.procPressure, nullptr, kStoreProcPressure + 4 * channel, kDefaultPressure, &step);
        Eeprom_Chain(&result, step);
        Eeprom_SetFloat(&s.salinity, nullptr, kStoreSalinity + 4 * channel, kDefaultSalinity, &step);
        Eeprom_Chain(&result, step);
    }
    Meas_DefaultAnalogInputRange(&step);
    Eeprom_Chain(&result, step);
    *status = result;
}
