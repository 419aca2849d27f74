// pH and ORP electrode chemistry and calibration, and the pH settings of the calibration records.
#include "measurement/ph.h"

#include <cmath>

#include "core/eeprom.h"
#include "core/util.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/meter_cal.h"
#include "measurement/ph_buffers.h"

float g_GlassImpedanceRef[2] = {1e8f, 1e8f};
float g_RefImpedanceRef[2] = {30000.0f, 30000.0f};

// Settings store places; "+ ch" per channel.
static constexpr uint32_t kStoreOrpReference = 561;     // + 4 x ch
static constexpr uint32_t kStoreSlopeUnitFlag = 616;    // + ch, channel A's byte serves all
static constexpr uint32_t kStoreOffsetUnitFlag = 618;   // + ch, channel A's byte serves all
static constexpr uint32_t kStoreRefImpedanceRef = 752;  // channel A only
static constexpr uint32_t kStoreGlassImpedanceRef = 756;
static constexpr uint32_t kStorePointBuffer = 760;     // + 8 x ch + 4 x point
static constexpr uint32_t kStoreIsoPoint = 776;        // + 4 x ch
static constexpr uint32_t kStoreStcCoefficient = 784;  // + 4 x ch
static constexpr uint32_t kStoreSlope = 792;           // + 4 x ch, a fraction
static constexpr uint32_t kStoreZero = 800;            // + 4 x ch, mV
static constexpr uint32_t kStoreBufferSet = 808;       // + ch
static constexpr uint32_t kStoreStcMode = 810;         // + ch
static constexpr uint32_t kStoreStcRefTemp = 812;      // + 4 x ch
static constexpr uint32_t kStoreOrpOffset = 820;       // + 4 x ch
static constexpr uint32_t kStoreSensorOption = 894;    // one byte
static constexpr StoreRange kStoreRanges[] = {
    {kStoreOrpReference, 8},
    {kStoreSlopeUnitFlag, 2},
    {kStoreOffsetUnitFlag, 2},
    {kStoreRefImpedanceRef, 4},
    {kStoreGlassImpedanceRef, 4},
    {kStorePointBuffer, 16},
    {kStoreIsoPoint, 8},
    {kStoreStcCoefficient, 8},
    {kStoreSlope, 8},
    {kStoreZero, 8},
    {kStoreBufferSet, 2},
    {kStoreStcMode, 2},
    {kStoreStcRefTemp, 8},
    {kStoreOrpOffset, 8},
    {kStoreSensorOption, 1},
};
const StoreMap g_PhStoreMap = {"pH", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

// Factory values.
static constexpr float kDefaultSlope = 1.0f;
static constexpr float kDefaultZero = 0.0f;
static constexpr float kDefaultBuffer0 = 4.0f;
static constexpr float kDefaultBuffer1 = 7.0f;
static constexpr float kDefaultIsoPoint = 7.0f;
static constexpr float kDefaultStcRefTemp = 25.0f;
static constexpr uint8_t kStcNotApplied = 1;
static constexpr uint8_t kDefaultSensorOption = 1;
static constexpr uint8_t kSensorOptionMax = 2;
static constexpr uint8_t kBufferSetMax = 10;
static constexpr uint8_t kDriftControlMax = 3;
static constexpr float kDefaultGlassRef = 1e8f;
static constexpr float kDefaultRefRef = 30000.0f;

// Valid impedances in ohm, and the band around a reference.
static constexpr float kGlassMin = 5e6f;
static constexpr float kGlassMax = 2e9f;
static constexpr float kReferenceMin = 1000.0f;
static constexpr float kReferenceMax = 150000.0f;
static constexpr float kBandLow = 0.3f;
static constexpr float kBandHigh = 3.0f;

// Slope at t degrees C of an electrode with slope fraction 1: 54.2 mV/pH at 0 C, 59.16 at 25 C.
static constexpr float kSlopeAt0C = 54.2f;
static constexpr float kSlopePerDegree = 0.1984f;
static constexpr float kKelvin = 273.15f;
static constexpr float kKelvin25 = 298.15f;
static constexpr float kTiny = 1e-9f;
// Two calibration points closer than this in mV cannot give a slope.
static constexpr float kPointsMinApartMv = 60.0f;
// ORP offset limits in mV: channel B writes it into the sensor's memory.
static constexpr float kOrpLimitA = 1000.0f;
static constexpr float kOrpLimitB = 200.0f;
// A one-point data set gets its second point this far away, in pH.
static constexpr float kMadeUpPointStep = 2.0f;
static constexpr float kDataSetTemperature = 25.0f;
static constexpr uint8_t kSensorKindPhPna = 2;

static bool IsFinite(float value) { return Util_ClassifyFloat(value) < kFloatPlusInfinity; }
static bool IsChannel(uint32_t channel) { return channel < 2; }

static void SetByte(uint8_t* live, uint32_t offset, uint8_t value, uint32_t* status) {
    *live = value;
    Eeprom_WriteChecked(offset, &value, 1, status);
}

void CalPh_ResetState() {
    for (uint32_t channel = 0; channel < 2; ++channel) {
        g_GlassImpedanceRef[channel] = kDefaultGlassRef;
        g_RefImpedanceRef[channel] = kDefaultRefRef;
    }
}

// ---- Slope, zero and pH -------------------------------------------------------------------------

float CalPh_GetSlopePercent(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].first * 100.0f : 100.0f;
}

void CalPh_SetSlopePercent(uint32_t channel, float percent, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    // A zero slope would make every pH infinite.
    if (Util_ClassifyFloat(percent) != kFloatFinite) {
        *status = kStatusOver;
        return;
    }
    float fraction = percent / 100.0f;
    Eeprom_SetFloat(&g_SensorCal[channel].first, &g_CalInUse[channel].ph.slope, kStoreSlope + 4 * channel, fraction,
                    status);
}

float CalPh_GetSlopeInUsePercent(uint32_t channel) {
    return IsChannel(channel) ? g_CalInUse[channel].ph.slope * 100.0f : 100.0f;
}

float CalPh_GetZeroValue(uint32_t channel) { return IsChannel(channel) ? g_SensorCal[channel].second : 0.0f; }

void CalPh_SetZeroValue(uint32_t channel, float mv, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].second, &g_CalInUse[channel].ph.zero, kStoreZero + 4 * channel, mv, status);
}

void CalPh_SetZeroFromPh(uint32_t channel, float ph, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    const SensorCalRecord& s = g_SensorCal[channel];
    CalPh_SetZeroValue(channel, (ph - s.isoPoint) * kNernstSlope * s.first, status);
}

float CalPh_SlopeMvPerPh(float fraction) {
    float mvPerPh = fraction * kNernstSlope;
    return std::fabs(mvPerPh) < kTiny ? kTiny : mvPerPh;
}

float CalPh_GetZeroPointPh(uint32_t channel) {
    if (!IsChannel(channel)) return kDefaultIsoPoint;
    const SensorCalRecord& s = g_SensorCal[channel];
    return s.second / CalPh_SlopeMvPerPh(s.first) + s.isoPoint;
}

float CalPh_GetZeroPointInUse(uint32_t channel) {
    if (!IsChannel(channel)) return kDefaultIsoPoint;
    const CalInUsePh& u = g_CalInUse[channel].ph;
    return u.zero / CalPh_SlopeMvPerPh(u.slope) + g_SensorCal[channel].isoPoint;
}

float CalPh_SlopeAtTemperature(float fraction, float t) { return fraction * (kSlopeAt0C + kSlopePerDegree * t); }

float CalPh_MvToPh(float mv) { return mv / kNernstSlope; }

float CalPh_PhFromMv(uint32_t channel, float mv, float t, uint32_t* status) {
    if (!IsChannel(channel)) {
        *status = kStatusOver;
        return 0.0f;
    }
    const SensorCalRecord& s = g_SensorCal[channel];
    float slope = CalPh_SlopeAtTemperature(s.first, t);
    if (!(std::fabs(slope) >= kTiny)) {
        *status = kStatusOver;
        return 0.0f;
    }
    return s.isoPoint - (mv - s.second) / slope;
}

// ---- Calibration points and the calibration -----------------------------------------------------

float CalPh_GetPointPh(uint32_t channel, uint32_t i, uint32_t* status) {
    if (!IsChannel(channel) || i >= 2) {
        *status = kStatusOver;
        return 0.0f;
    }
    const CalInUsePh& u = g_CalInUse[channel].ph;
    return CalPh_PhFromMv(channel, u.pointMv[i], u.pointTemp[0], status);
}

void CalPh_CapturePoint(uint32_t channel, uint32_t i, uint32_t mode, float buffer, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    CalInUsePh& u = g_CalInUse[channel].ph;
    CalPh_CaptureElectrodePoint(u.pointMv, u.pointTemp, u.pointBuffer, i, mode, buffer, status);
}

void CalPh_SetPointBuffer(uint32_t channel, uint32_t i, float buffer) {
    if (IsChannel(channel) && i < 2) g_CalInUse[channel].ph.pointBuffer[i] = buffer;
}

float CalPh_GetPointBuffer(uint32_t channel, uint32_t i) {
    return IsChannel(channel) && i < 2 ? g_CalInUse[channel].ph.pointBuffer[i] : 0.0f;
}

void CalPh_Calibrate(uint32_t channel, uint32_t points, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    const SensorCalRecord& s = g_SensorCal[channel];
    CalInUsePh& u = g_CalInUse[channel].ph;
    u.slope = s.first;
    u.zero = s.second;
    if (points != 1 && points != 2) {
        *status = kStatusOver;
        return;
    }
    float ip = s.isoPoint;
    float k0 = u.pointTemp[0] + kKelvin;
    float mvPerPh;  // at 25 C, negative
    if (points == 2) {
        if (!CalPh_TwoPointMvPerPh(u.pointMv, u.pointTemp, u.pointBuffer, ip, &mvPerPh)) {
            *status = kStatusOver;
            return;
        }
    } else {
        mvPerPh = u.slope * -kNernstSlope;
    }
    float slope = mvPerPh / -kNernstSlope;
    float zero = u.pointMv[0] - mvPerPh * k0 * (u.pointBuffer[0] - ip) / kKelvin25;
    if (!IsFinite(slope) || !IsFinite(zero)) {
        *status = kStatusOver;
        return;
    }
    u.slope = slope;
    u.zero = zero;
}

void CalPh_StoreCal(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    const CalInUsePh& u = g_CalInUse[channel].ph;
    // The setters write the in-use copy too, so keep what is to be stored first.
    float zero = u.zero;
    float slopePercent = u.slope * 100.0f;
    float buffer0 = u.pointBuffer[0];
    float buffer1 = u.pointBuffer[1];
    uint32_t result = 0, step = 0;
    CalPh_SetZeroValue(channel, zero, &step);
    Eeprom_Chain(&result, step);
    CalPh_SetSlopePercent(channel, slopePercent, &step);
    Eeprom_Chain(&result, step);
    Eeprom_WriteFloat(kStorePointBuffer + 8 * channel, buffer0, &step);
    Eeprom_Chain(&result, step);
    Eeprom_WriteFloat(kStorePointBuffer + 8 * channel + 4, buffer1, &step);
    Eeprom_Chain(&result, step);
    *status = result != 0 ? kPhNotStored : 0;
}

// ---- Electrode points -------------------------------------------------------------------------------

void CalPh_CaptureElectrodePoint(float* pointMv, float* pointTemp, float* pointBuffer, uint32_t i, uint32_t mode,
                                 float buffer, uint32_t* status) {
    *status = 0;
    if (i >= 2) {
        *status = kStatusOver;
        return;
    }
    float t = Meas_GetFilteredTemperature(status);
    if (*status != 0) return;
    float mv = Meas_GetFilteredCalValue(status);
    if (*status != 0) return;
    pointTemp[i] = t;
    pointMv[i] = mv;
    if (mode != kCalModeProcess) pointBuffer[i] = buffer;
}

bool CalPh_TwoPointMvPerPh(const float* pointMv, const float* pointTemp, const float* pointBuffer, float isoPoint,
                           float* mvPerPh) {
    if (std::fabs(pointBuffer[1] - pointBuffer[0]) < kTiny ||
        !(std::fabs(pointMv[0] - pointMv[1]) >= kPointsMinApartMv)) {
        return false;
    }
    // Each point's buffer distance from the isothermal point, scaled to 25 C by its temperature.
    float d =
        (pointTemp[0] + kKelvin) * (pointBuffer[0] - isoPoint) - (pointTemp[1] + kKelvin) * (pointBuffer[1] - isoPoint);
    if (!(std::fabs(d) >= kTiny)) return false;
    *mvPerPh = (pointMv[0] - pointMv[1]) * kKelvin25 / d;
    return true;
}

void CalPh_TakeDataSetPoints(const CalDataSetRecord* record, float* pointMv, float* pointTemp, float* pointBuffer) {
    pointBuffer[0] = record->v60;
    pointBuffer[1] = record->v64;
    pointMv[0] = record->v4;
    pointMv[1] = record->v8;
    pointTemp[0] = record->v48;
    pointTemp[1] = record->v52;
}

float CalPh_PointMvAt25(float mv, float zeroMv, float t) { return zeroMv + CalPh_NormalizeMvTo25(mv - zeroMv, t); }

void CalPh_MakeUpSecondPoint(CalDataSetRecord* record, float mvPerPh, float isoPoint) {
    if (record->b82 != 0) return;
    if (record->v60 >= isoPoint) {
        record->v64 = record->v60 - kMadeUpPointStep;
        record->v8 = record->v4 - kMadeUpPointStep * mvPerPh;
    } else {
        record->v64 = record->v60 + kMadeUpPointStep;
        record->v8 = record->v4 + kMadeUpPointStep * mvPerPh;
    }
    record->w74 = 0;
}

// ---- ORP ------------------------------------------------------------------------------------------

float CalPh_GetOrpOffset(uint32_t channel) { return IsChannel(channel) ? g_SensorCal[channel].orpOffset : 0.0f; }

float CalPh_GetOrpOffsetInUse(uint32_t channel) { return IsChannel(channel) ? g_CalInUse[channel].ph.orpOffset : 0.0f; }

void CalPh_SetOrpOffset(uint32_t channel, float mv, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].orpOffset, &g_CalInUse[channel].ph.orpOffset, kStoreOrpOffset + 4 * channel,
                    mv, status);
}

float CalPh_AddOrpOffset(uint32_t channel, float volts) { return volts + CalPh_GetOrpOffset(channel) / 1000.0f; }

void CalPh_CaptureOrpPoint(uint32_t channel, float reference, uint32_t* status) {
    *status = 0;
    if (Cal_NoChannel(channel, status)) return;
    float mv = Meas_GetFilteredCalValue(status);
    if (*status != 0) return;
    g_CalInUse[channel].ph.pointMv[0] = mv;
    g_CalInUse[channel].ph.orpReference = reference;
}

void CalPh_SetOrpReference(uint32_t channel, float mv, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_CalInUse[channel].ph.orpReference, nullptr, kStoreOrpReference + 4 * channel, mv, status);
}

float CalPh_GetOrpReference(uint32_t channel) {
    return IsChannel(channel) ? g_CalInUse[channel].ph.orpReference : 0.0f;
}

void CalPh_CalibrateOrp(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    CalInUsePh& u = g_CalInUse[channel].ph;
    float difference = u.orpReference - u.pointMv[0];
    if (!IsFinite(difference)) {
        *status = kStatusOver;
        return;
    }
    if (channel == 1) {
        // The sensor keeps its offset in whole millivolts.
        u.orpOffset = std::round(difference);
        if (std::fabs(u.orpOffset) > kOrpLimitB) *status = kPhOrpOffsetLimit;
    } else {
        u.orpOffset = difference;
        if (std::fabs(difference) > kOrpLimitA) *status = kPhOrpOffsetLimit;
    }
}

void CalPh_StoreOrpCal(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    CalInUsePh& u = g_CalInUse[channel].ph;
    float offset = u.orpOffset;
    uint32_t result = 0, step = 0;
    CalPh_SetOrpOffset(channel, offset, &step);
    Eeprom_Chain(&result, step);
    CalPh_SetOrpReference(channel, u.orpReference, &step);
    Eeprom_Chain(&result, step);
    *status = result;
}

// ---- Settings -------------------------------------------------------------------------------------

float CalPh_GetIsoPoint(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].isoPoint : kDefaultIsoPoint;
}

void CalPh_SetIsoPoint(uint32_t channel, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].isoPoint, nullptr, kStoreIsoPoint + 4 * channel, value, status);
}

float CalPh_GetStcCoefficient(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].stcCoefficient : 0.0f;
}

void CalPh_SetStcCoefficient(uint32_t channel, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].stcCoefficient, nullptr, kStoreStcCoefficient + 4 * channel, value, status);
}

float CalPh_GetStcRefTemp(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].stcRefTemp : kDefaultStcRefTemp;
}

void CalPh_SetStcRefTemp(uint32_t channel, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].stcRefTemp, nullptr, kStoreStcRefTemp + 4 * channel, value, status);
}

uint8_t CalPh_GetStcMode(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].stcMode : kStcNotApplied;
}

void CalPh_SetStcMode(uint32_t channel, uint8_t mode, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    if (mode > kStcNotApplied) {
        *status = kStatusOver;
        return;
    }
    SetByte(&g_SensorCal[channel].stcMode, kStoreStcMode + channel, mode, status);
}

uint8_t CalPh_GetSlopeUnitFlag(uint32_t) { return g_SensorCal[0].slopeUnitFlag; }

void CalPh_SetSlopeUnitFlag(uint32_t channel, uint8_t flag, uint32_t* status) {
    *status = 0;
    if (channel == 0) SetByte(&g_SensorCal[0].slopeUnitFlag, kStoreSlopeUnitFlag, flag, status);
}

uint8_t CalPh_GetOffsetUnitFlag(uint32_t) { return g_SensorCal[0].offsetUnitFlag; }

void CalPh_SetOffsetUnitFlag(uint32_t channel, uint8_t flag, uint32_t* status) {
    *status = 0;
    if (channel == 0) SetByte(&g_SensorCal[0].offsetUnitFlag, kStoreOffsetUnitFlag, flag, status);
}

uint8_t CalPh_GetBufferSet(uint32_t channel) { return IsChannel(channel) ? g_SensorCal[channel].bufferSet : 0; }

void CalPh_SetBufferSet(uint32_t channel, uint8_t set, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    if (set > kBufferSetMax) {
        *status = kStatusOver;
        return;
    }
    SetByte(&g_SensorCal[channel].bufferSet, kStoreBufferSet + channel, set, status);
}

void CalPh_ClearBufferSet10(uint32_t channel, uint32_t* status) {
    *status = 0;
    if (CalPh_GetBufferSet(channel) == kBufferSetPna) CalPh_SetBufferSet(channel, 0, status);
}

void CalPh_LimitBufferSetTo0Or8(uint32_t channel, uint32_t* status) {
    *status = 0;
    uint8_t set = CalPh_GetBufferSet(channel);
    if (IsChannel(channel) && set != 0 && set != kBufferSetNone) CalPh_SetBufferSet(channel, 0, status);
}

uint8_t CalPh_GetSensorOption(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].sensorOption : kDefaultSensorOption;
}

void CalPh_SetSensorOption(uint32_t channel, uint8_t option) {
    if (!IsChannel(channel) || option > kSensorOptionMax) return;
    uint32_t status = 0;
    SetByte(&g_SensorCal[channel].sensorOption, kStoreSensorOption, option, &status);
}

// ---- Impedances -----------------------------------------------------------------------------------

// Range first (a value that is no number counts as below it), then the band around the reference.
static void CheckImpedance(float ohm, float low, float high, float reference, uint32_t belowBand, uint32_t aboveBand,
                           uint32_t* status) {
    *status = 0;
    if (!(ohm >= low)) {
        *status = kStatusUnder;
    } else if (ohm > high) {
        *status = kStatusOver;
    } else if (ohm < kBandLow * reference) {
        *status = belowBand;
    } else if (ohm > kBandHigh * reference) {
        *status = aboveBand;
    }
}

void CalPh_CheckGlassImpedance(uint32_t channel, float ohm, uint32_t* status) {
    float reference = IsChannel(channel) ? g_GlassImpedanceRef[channel] : kDefaultGlassRef;
    CheckImpedance(ohm, kGlassMin, kGlassMax, reference, kPhGlassLow, kPhGlassHigh, status);
}

void CalPh_CheckPnaImpedance(uint32_t channel, float ohm, uint32_t* status) {
    float reference = IsChannel(channel) ? g_RefImpedanceRef[channel] : kDefaultRefRef;
    CheckImpedance(ohm, kGlassMin, kGlassMax, reference, kPhGlassLow, kPhGlassHigh, status);
}

void CalPh_CheckRefElectrodeImpedance(uint32_t channel, float ohm, uint32_t* status) {
    float reference = IsChannel(channel) ? g_RefImpedanceRef[channel] : kDefaultRefRef;
    CheckImpedance(ohm, kReferenceMin, kReferenceMax, reference, kPhReferenceLow, kPhReferenceHigh, status);
}

void CalPh_SetGlassImpedanceRef(uint32_t channel, float ohm) {
    if (!IsChannel(channel) || !(ohm >= kGlassMin && ohm <= kGlassMax)) return;
    g_GlassImpedanceRef[channel] = ohm;
    uint32_t status = 0;
    if (channel == 0) Eeprom_WriteFloat(kStoreGlassImpedanceRef, ohm, &status);
}

void CalPh_SetPnaImpedanceRef(uint32_t channel, float ohm) {
    if (IsChannel(channel) && ohm >= kGlassMin && ohm <= kGlassMax) g_RefImpedanceRef[channel] = ohm;
}

void CalPh_SetRefImpedanceRef(uint32_t channel, float ohm) {
    if (!IsChannel(channel) || !(ohm >= kReferenceMin && ohm <= kReferenceMax)) return;
    g_RefImpedanceRef[channel] = ohm;
    uint32_t status = 0;
    if (channel == 0) Eeprom_WriteFloat(kStoreRefImpedanceRef, ohm, &status);
}

void CalPh_LoadGlassImpedanceRef(uint32_t* status) {
    float value = kDefaultGlassRef;
    Eeprom_ReadFloat(kStoreGlassImpedanceRef, &value, status);
    g_GlassImpedanceRef[0] = *status == 0 && value >= kGlassMin && value <= kGlassMax ? value : kDefaultGlassRef;
}

void CalPh_DefaultGlassImpedanceRef(uint32_t* status) {
    g_GlassImpedanceRef[0] = g_GlassImpedanceRef[1] = kDefaultGlassRef;
    Eeprom_WriteFloat(kStoreGlassImpedanceRef, kDefaultGlassRef, status);
}

void CalPh_LoadRefImpedanceRef(uint32_t* status) {
    float value = kDefaultRefRef;
    Eeprom_ReadFloat(kStoreRefImpedanceRef, &value, status);
    g_RefImpedanceRef[0] = *status == 0 && value >= kReferenceMin && value <= kReferenceMax ? value : kDefaultRefRef;
}

void CalPh_DefaultRefImpedanceRef(uint32_t* status) {
    g_RefImpedanceRef[0] = g_RefImpedanceRef[1] = kDefaultRefRef;
    Eeprom_WriteFloat(kStoreRefImpedanceRef, kDefaultRefRef, status);
}

// The limit pair shares the meter calibration's reference values.
static void SetLimitPair(float low, float high) {
    uint32_t status = 0;
    MeterCal_SetPoint(0, low, &status);
    MeterCal_SetPoint(1, high, &status);
}

void CalPh_SetLimitPair30To500() { SetLimitPair(30.0f, 500.0f); }

void CalPh_SetLimitPair30To200() { SetLimitPair(30.0f, 200.0f); }

void CalPh_SetLimitPairValue(uint32_t i, float value) {
    uint32_t status = 0;
    if (i < 2) MeterCal_SetPoint(static_cast<uint8_t>(i), value, &status);
}

// ---- Calibration data sets ------------------------------------------------------------------------

void CalPh_FillDataSet(uint32_t channel, CalDataSetRecord* record) {
    if (!IsChannel(channel)) return;
    const CalInUsePh& u = g_CalInUse[channel].ph;
    float ip = g_SensorCal[channel].isoPoint;
    float mvPerPh = u.slope * -kNernstSlope;
    record->v0 = ip;
    record->v12 = u.zero - (ip - u.pointBuffer[0]) * mvPerPh;
    record->v4 = CalPh_PointMvAt25(u.pointMv[0], u.zero, u.pointTemp[0]);
    record->v8 = CalPh_PointMvAt25(u.pointMv[1], u.zero, u.pointTemp[1]);
    record->v60 = u.pointBuffer[0];
    record->v64 = u.pointBuffer[1];
    record->v48 = kDataSetTemperature;
    record->v52 = kDataSetTemperature;
    CalPh_MakeUpSecondPoint(record, mvPerPh, kDefaultIsoPoint);
}

void CalPh_CalibrateFromDataSet(const CalDataSetRecord* record, float* slope, float* zeroPoint) {
    *slope = 0.0f;
    *zeroPoint = 0.0f;
    float ip = record->v0;
    float d = (ip - record->v60) * (kSlopeAt0C + kSlopePerDegree * record->v48) -
              (ip - record->v64) * (kSlopeAt0C + kSlopePerDegree * record->v52);
    if (!(std::fabs(d) >= kTiny) || !(std::fabs(record->v64 - record->v60) >= kTiny)) return;
    *slope = (record->v4 - record->v8) / d;
    float zeroMv = record->v8 - CalPh_SlopeAtTemperature(*slope, record->v52) * (ip - record->v64);
    *zeroPoint = std::fabs(*slope) < kTiny ? ip : ip + zeroMv / (*slope * kNernstSlope);
}

void CalPh_ApplyDataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    float slope = 0.0f, zeroPoint = 0.0f;
    CalPh_CalibrateFromDataSet(record, &slope, &zeroPoint);
    // A set that gives no slope, or no number, would leave the channel without a usable pH.
    if (Util_ClassifyFloat(slope) != kFloatFinite || !IsFinite(zeroPoint) || !IsFinite(record->v0)) {
        *status = kStatusOver;
        return;
    }
    CalInUsePh& u = g_CalInUse[channel].ph;
    CalPh_TakeDataSetPoints(record, u.pointMv, u.pointTemp, u.pointBuffer);
    CalPh_SetGlassImpedanceRef(channel, record->v16 * 1e6f);
    uint32_t step = 0, result = 0;
    if (g_SensorKindActive[channel] != kSensorKindPhPna) {
        CalPh_ClearBufferSet10(channel, &step);
        CalPh_SetRefImpedanceRef(channel, record->v20 * 1000.0f);
    } else {
        CalPh_SetBufferSet(channel, kBufferSetPna, &step);
        CalPh_SetPnaImpedanceRef(channel, record->v20 * 1e6f);
    }
    Eeprom_Chain(&result, step);
    CalPh_SetIsoPoint(channel, record->v0, &step);
    Eeprom_Chain(&result, step);
    CalPh_SetSlopePercent(channel, slope * 100.0f, &step);
    Eeprom_Chain(&result, step);
    CalPh_SetZeroFromPh(channel, zeroPoint, &step);
    Eeprom_Chain(&result, step);
    *status = result;
}

float CalPh_DataSetMvToPh(const CalDataSetRecord* record) { return record->v12 / kNernstSlope; }

// ---- Load and defaults ----------------------------------------------------------------------------

void CalPh_LoadChannel(uint32_t channel, uint32_t mode, uint32_t* status) {
    if (mode != 1) {
        CalPh_LoadStc(status);
        return;
    }
    if (Cal_NoChannel(channel, status)) return;
    SensorCalRecord& s = g_SensorCal[channel];
    CalInUsePh& u = g_CalInUse[channel].ph;
    float slope = kDefaultSlope, zero = kDefaultZero, buffer0 = kDefaultBuffer0, buffer1 = kDefaultBuffer1;
    float orpOffset = 0.0f, orpReference = 0.0f;
    uint8_t option = kDefaultSensorOption;
    bool failed = false;
    Eeprom_LoadFloat(kStoreSlope + 4 * channel, &slope, &failed);
    Eeprom_LoadFloat(kStoreZero + 4 * channel, &zero, &failed);
    Eeprom_LoadFloat(kStorePointBuffer + 8 * channel, &buffer0, &failed);
    Eeprom_LoadFloat(kStorePointBuffer + 8 * channel + 4, &buffer1, &failed);
    Eeprom_LoadFloat(kStoreOrpOffset + 4 * channel, &orpOffset, &failed);
    Eeprom_LoadFloat(kStoreOrpReference + 4 * channel, &orpReference, &failed);
    Eeprom_LoadByte(kStoreSensorOption, &option, &failed);
    *status = 0;
    if (failed) {
        slope = kDefaultSlope;
        zero = kDefaultZero;
        buffer0 = kDefaultBuffer0;
        buffer1 = kDefaultBuffer1;
        orpOffset = 0.0f;
        orpReference = 0.0f;
        option = kDefaultSensorOption;
        *status = kStoreFloatNotFinite;
    }
    if (option > kSensorOptionMax) option = kDefaultSensorOption;
    s.first = slope;
    s.second = zero;
    s.orpOffset = orpOffset;
    s.sensorOption = option;
    u.slope = slope;
    u.zero = zero;
    u.orpOffset = orpOffset;
    u.pointBuffer[0] = buffer0;
    u.pointBuffer[1] = buffer1;
    u.orpReference = orpReference;
}

void CalPh_LoadStc(uint32_t* status) {
    bool defaulted = false;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        SensorCalRecord& s = g_SensorCal[channel];
        float coefficient = 0.0f, reference = kDefaultStcRefTemp;
        uint8_t mode = kStcNotApplied;
        bool failed = false;
        Eeprom_LoadFloat(kStoreStcCoefficient + 4 * channel, &coefficient, &failed);
        Eeprom_LoadFloat(kStoreStcRefTemp + 4 * channel, &reference, &failed);
        Eeprom_LoadByte(kStoreStcMode + channel, &mode, &failed);
        if (failed || mode > kStcNotApplied) {
            coefficient = 0.0f;
            mode = kStcNotApplied;
            reference = kDefaultStcRefTemp;
            defaulted = true;
        }
        s.stcCoefficient = coefficient;
        s.stcRefTemp = reference;
        s.stcMode = mode;
    }
    CalPh_LoadUnitFlags(status);
    *status = defaulted ? kPhStcDefaulted : 0;
}

void CalPh_LoadUnitFlags(uint32_t* status) {
    *status = 0;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        SensorCalRecord& s = g_SensorCal[channel];
        bool failed = false;
        uint8_t slopeFlag = 0, offsetFlag = 0;
        Eeprom_LoadByte(kStoreSlopeUnitFlag + channel, &slopeFlag, &failed);
        Eeprom_LoadByte(kStoreOffsetUnitFlag + channel, &offsetFlag, &failed);
        if (failed) *status = kStoreNotReady;
        s.slopeUnitFlag = !failed && slopeFlag <= 1 ? slopeFlag : 0;
        s.offsetUnitFlag = !failed && offsetFlag <= 1 ? offsetFlag : 0;
    }
}

void CalPh_LoadAll(uint32_t* status) {
    *status = 0;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        SensorCalRecord& s = g_SensorCal[channel];
        uint32_t step = 0;
        bool failed = false;
        uint8_t set = 0;
        Eeprom_LoadByte(kStoreBufferSet + channel, &set, &failed);
        if (failed) set = 0;
        if (set > kBufferSetMax) {
            set = 0;
            SetByte(&s.bufferSet, kStoreBufferSet + channel, set, &step);
            Eeprom_Chain(status, step);
        }
        s.bufferSet = set;

        failed = false;
        uint8_t drift = 0;
        Eeprom_LoadByte(kStoreDriftControl + channel, &drift, &failed);
        s.driftControl = !failed && drift <= kDriftControlMax ? drift : 0;

        failed = false;
        float ip = kDefaultIsoPoint;
        Eeprom_LoadFloat(kStoreIsoPoint + 4 * channel, &ip, &failed);
        if (failed) {
            CalPh_SetIsoPoint(channel, kDefaultIsoPoint, &step);
            Eeprom_Chain(status, step);
        } else {
            s.isoPoint = ip;
        }
    }
}

void CalPh_ResetToFactory(uint32_t, uint32_t* status) {
    uint32_t result = 0, step = 0;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        CalPh_SetStcCoefficient(channel, 0.0f, &step);
        Eeprom_Chain(&result, step);
        CalPh_SetSlopePercent(channel, 100.0f, &step);
        Eeprom_Chain(&result, step);
        CalPh_SetZeroValue(channel, kDefaultZero, &step);
        Eeprom_Chain(&result, step);
        CalInUsePh& u = g_CalInUse[channel].ph;
        u.pointBuffer[0] = kDefaultBuffer0;
        u.pointBuffer[1] = kDefaultBuffer1;
        Eeprom_WriteFloat(kStorePointBuffer + 8 * channel, kDefaultBuffer0, &step);
        Eeprom_Chain(&result, step);
        Eeprom_WriteFloat(kStorePointBuffer + 8 * channel + 4, kDefaultBuffer1, &step);
        Eeprom_Chain(&result, step);
        CalPh_SetStcMode(channel, kStcNotApplied, &step);
        Eeprom_Chain(&result, step);
        CalPh_SetStcRefTemp(channel, kDefaultStcRefTemp, &step);
        Eeprom_Chain(&result, step);
        CalPh_SetOrpOffset(channel, 0.0f, &step);
        Eeprom_Chain(&result, step);
        CalPh_SetOrpReference(channel, 0.0f, &step);
        Eeprom_Chain(&result, step);
    }
    CalPh_SetSlopeUnitFlag(0, 0, &step);
    Eeprom_Chain(&result, step);
    CalPh_SetOffsetUnitFlag(0, 0, &step);
    Eeprom_Chain(&result, step);
    *status = result;
}

void CalPh_ResetModes(uint32_t* status) {
    uint32_t result = 0, step = 0;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        CalPh_SetBufferSet(channel, 0, &step);
        Eeprom_Chain(&result, step);
        Cal_SetDriftControl(channel, 0);
        CalPh_SetIsoPoint(channel, kDefaultIsoPoint, &step);
        Eeprom_Chain(&result, step);
    }
    *status = result;
}
