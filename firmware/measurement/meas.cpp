// Measurement ids, the measurement record and its readers, and the values of the unit families
// (conductivity, pH and electrode, CO2, oxygen) computed on demand from the record.
#include "measurement/meas.h"

#include <bit>
#include <cmath>

#include "core/link.h"
#include "core/util.h"
#include "measurement/analog_input.h"
#include "measurement/cal_values.h"
#include "measurement/co2.h"
#include "measurement/conc_curves.h"
#include "measurement/concentration.h"
#include "measurement/cond_comp.h"
#include "measurement/conductivity.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"

MeasurementRecord g_Measurement[2];
uint16_t g_MeasuringKind[2] = {kKindNone, kKindNone};

// The compensation mode that leaves a conductivity as measured.
static constexpr uint32_t kCompNone = 10;
static constexpr float kTiny = 1e-29f;

static bool IsFinite(float value) { return Util_ClassifyFloat(value) < kFloatPlusInfinity; }

static bool HasKindField(uint32_t channel, uint32_t field) {
    return channel < 2 && field >= kFieldFirstByKind && field <= kFieldLastByKind;
}

float Meas_GetFieldFloat(uint32_t channel, uint32_t field) {
    if (!HasKindField(channel, field)) return 0.0f;
    return std::bit_cast<float>(g_Measurement[channel].kindFields[field - kFieldFirstByKind]);
}

uint32_t Meas_GetFieldWord(uint32_t channel, uint32_t field) {
    return HasKindField(channel, field) ? g_Measurement[channel].kindFields[field - kFieldFirstByKind] : 0;
}

void Meas_SetFieldFloat(uint32_t channel, uint32_t field, float value) {
    if (!HasKindField(channel, field)) return;
    g_Measurement[channel].kindFields[field - kFieldFirstByKind] = std::bit_cast<uint32_t>(value);
}

void Meas_SetFieldWord(uint32_t channel, uint32_t field, uint32_t word) {
    if (HasKindField(channel, field)) g_Measurement[channel].kindFields[field - kFieldFirstByKind] = word;
}

// ---- Ids ------------------------------------------------------------------------------------

static bool IsChannelLessId(uint32_t id) { return id >= kMeasIdOutput1 && id <= kMeasIdAnalogInput; }

uint32_t Meas_GetBaseId(uint32_t id) { return IsChannelLessId(id) ? id : id & ~0xff000u; }

uint32_t Meas_GetIdQuantity(uint32_t id) { return id & 0xfffu; }

uint32_t Meas_GetIdChannel(uint32_t id) {
    if (id == kMeasIdAnalogInput) return g_LinkActiveChannel;
    if (IsChannelLessId(id)) return 0;
    return (id >> 12) & 0xff;
}

// ---- Record readers -------------------------------------------------------------------------

// A reader of no channel: 0.0 with status 2.
static float NoChannel(uint32_t* status) {
    *status = kStatusOver;
    return 0.0f;
}

float Meas_GetTemperature(uint32_t channel, uint32_t* status) {
    if (channel >= 2) return NoChannel(status);
    *status = g_Measurement[channel].temperatureStatus;
    return g_Measurement[channel].temperature;
}

float Meas_GetTemperatureRaw(uint32_t channel, uint32_t* status) {
    if (channel >= 2) return NoChannel(status);
    *status = g_Measurement[channel].elementStatus;
    return g_Measurement[channel].elementResistance;
}

float Meas_GetTemperatureForCal(uint32_t channel, uint32_t* status) {
    if (channel >= 2) return NoChannel(status);
    const MeasurementRecord& r = g_Measurement[channel];
    Meas_SetValueCache(channel, r.elementResistance, r.elementStatus);
    *status = r.temperatureSourceStatus;
    return r.temperature;
}

float Meas_GetTemperatureInUnit(uint32_t channel, uint32_t unit, uint32_t* status) {
    if (channel >= 2) return NoChannel(status);
    *status = g_Measurement[channel].temperatureSourceStatus;
    float t = g_Measurement[channel].temperature;
    return unit == 12 ? t * 9.0f / 5.0f + 32.0f : t;
}

// The primary value with the status held in a field of the record.
static float PrimaryWithStatus(uint32_t channel, uint32_t statusField, uint32_t* status) {
    if (channel >= 2) return NoChannel(status);
    *status = Meas_GetFieldWord(channel, statusField);
    return g_Measurement[channel].primary;
}

float Meas_GetPrimaryValue(uint32_t channel, uint32_t* status) {
    return PrimaryWithStatus(channel, kCondFieldPrimaryStatus, status);
}

float Meas_GetPrimaryValueB(uint32_t channel, uint32_t* status) {
    return PrimaryWithStatus(channel, kPhFieldPrimaryStatus, status);
}

float Meas_GetSensorCurrent(uint32_t channel, uint32_t* status) {
    return PrimaryWithStatus(channel, kO2FieldPrimaryStatus, status);
}

float Meas_GetGlassImpedance(uint32_t channel, uint32_t* status) {
    if (channel >= 2) return NoChannel(status);
    *status = Meas_GetFieldWord(channel, kPhFieldGlassStatus);
    return Meas_GetFieldFloat(channel, kPhFieldGlass);
}

float Meas_GetRefImpedance(uint32_t channel, uint32_t* status) {
    if (channel >= 2) return NoChannel(status);
    *status = Meas_GetFieldWord(channel, kPhFieldReferenceStatus);
    return Meas_GetFieldFloat(channel, kPhFieldReference);
}

float Meas_GetInputMappedValue(uint32_t channel, uint32_t* status) {
    if (channel >= 2) return NoChannel(status);
    *status = 0;
    return g_Measurement[channel].analogInputScaled;
}

float Meas_GetAnalogInput(uint32_t, uint32_t* status) {
    uint32_t channel = g_LinkActiveChannel;
    if (channel >= 2) return NoChannel(status);
    *status = 0;
    return g_Measurement[channel].analogInput;
}

float Meas_GetRecordValueNonNeg(uint32_t channel, uint32_t i) {
    if (channel >= 2 || i > 7) return 0.0f;
    float value = i == 0 ? g_Measurement[channel].primary : Meas_GetFieldFloat(channel, 9 + i);
    return value < 0.0f ? 0.0f : value;
}

// ---- Checks and clamps ----------------------------------------------------------------------

float Meas_ClampMv(float value, uint32_t* status) {
    if (value < -1500.0f) {
        *status = kStatusUnder;
        return -1500.0f;
    }
    if (value > 1500.0f) {
        *status = kStatusOver;
        return 1500.0f;
    }
    return value;
}

float Meas_ClampPlusMinus1p5(float value, uint32_t* status) {
    if (value < -1.5f) {
        *status = kStatusUnder;
        return -1.5f;
    }
    if (value > 1.5f) {
        *status = kStatusOver;
        return 1.5f;
    }
    return value;
}

void Meas_ClampPh(float value, uint32_t* status) {
    if (value < -2.0f) {
        *status = kStatusUnder;
    } else if (value > 20.0f) {
        *status = kStatusOver;
    }
}

uint32_t Meas_SwapRangeStatus(uint32_t status) {
    if (status == kStatusOver) return kStatusUnder;
    if (status == kStatusUnder) return kStatusOver;
    return status;
}

// Glass impedance falls tenfold for every 35 C.
float Meas_ScaleExp25(float value, float t) { return value * std::pow(10.0f, (t - 25.0f) / 35.0f); }
float Meas_ScaleLin25(float value, float t) { return value * (1.0f - (25.0f - t) * 0.02f); }

void Meas_CheckRawTemperature(uint32_t channel, uint32_t flag, uint32_t* status) {
    uint32_t elementStatus = channel < 2 ? g_Measurement[channel].elementStatus : kStatusOver;
    *status = elementStatus == 0 ? 0 : (flag != 0 ? kStatusUnder : kStatusOver);
}

void Meas_CheckTemperatureRange(uint32_t channel, float t, uint32_t* status) {
    *status = 0;
    if (channel >= 2) {
        *status = kStatusOver;
        return;
    }
    float low, high;
    switch (g_MeasuringKind[channel]) {
        case kKindPh:
        case kKindPhPna:
            low = -30.0f;
            high = 130.0f;
            break;
        case kKindCond2:
        case kKindCond4:
            low = -40.0f;
            high = 200.0f;
            break;
        case kKindO2High:
        case kKindO2Low:
        case kKindO2Trace:
        case kKindO2Gauge:
            low = -10.0f;
            high = 80.0f;
            break;
        case kKindCo2:
            low = 0.0f;
            high = 60.0f;
            break;
        default:
            return;
    }
    if (t < low) {
        *status = kStatusUnder;
    } else if (t > high) {
        *status = kStatusOver;
    }
}

void Meas_UpdateInputPressure(uint32_t channel) {
    if (channel >= 2) return;
    uint32_t status = 0;
    float ma = Meas_GetAnalogInput(0, &status);
    if (!IsFinite(ma) || ma < 0.0f) ma = 0.0f;
    if (ma > 22.0f) ma = 22.0f;
    float low = Meas_GetAnalogInputRange(0);
    float high = Meas_GetAnalogInputRange(1);
    // 4 to 20 mA span the range.
    float scaled = (high - low) * (ma - 4.0f) / 16.0f + low;
    g_Measurement[channel].analogInputScaled = scaled < 0.0f ? 0.0f : scaled;
}

// ---- Conductivity family --------------------------------------------------------------------

// The element and the temperature a conductivity needs; a failure ends the read as it is.
static bool CondTemperatureValid(uint32_t channel, uint32_t* status) {
    if (channel >= 2) {
        NoChannel(status);
        return false;
    }
    *status = 0;
    // Channel A carries the analog cell and its own temperature element.
    if (channel == 0) {
        Meas_CheckRawTemperature(channel, 0, status);
        if (*status != 0) return false;
    }
    Meas_GetTemperature(channel, status);
    return *status == 0;
}

float Meas_GetCondCompensated(uint32_t channel, uint32_t mode, float coefficient, uint32_t* status) {
    if (!CondTemperatureValid(channel, status)) return 0.0f;
    float primary = Meas_GetPrimaryValue(channel, status);
    Meas_SetValueCache(channel, primary, *status);
    if (*status != 0) return 0.0f;
    float resistivity = CalCond_ApplyCalibration(channel, primary, status);
    if (*status != 0) return 0.0f;
    float compensated = CalCond_Compensate(channel, mode, coefficient, resistivity, status);
    return compensated < kTiny ? 0.0f : compensated;
}

float Meas_GetCondCompensatedAlt(uint32_t channel, uint32_t mode, float coefficient, uint32_t* status) {
    float resistivity = Meas_GetCondCompensated(channel, mode, coefficient, status);
    if (std::fabs(resistivity) < kTiny) resistivity = kTiny;
    float conductivity = 1.0f / resistivity;
    *status = Meas_SwapRangeStatus(*status);
    if (conductivity < kTiny) conductivity = kTiny;
    if (*status == 0 && conductivity > 1e20f) *status = kStatusOver;
    return conductivity;
}

float Meas_GetCondByUnit(uint32_t channel, uint32_t unit, uint32_t mode, float coefficient, uint32_t* status) {
    *status = 0;
    if (unit > 10 && unit != 31) return 0.0f;
    if (!CondTemperatureValid(channel, status)) return 0.0f;
    if (unit == 0) {
        float resistivity = Meas_GetCondCompensated(channel, mode, coefficient, status);
        if (*status != 0) return 0.0f;
        if (resistivity > 1e8f) *status = kStatusOver;
        return resistivity;
    }
    // Concentrations are curves of the conductivity as measured, at the temperature.
    bool concentration = unit >= 2 && unit <= 8;
    uint32_t useMode = concentration ? (unit == 5 ? 0 : kCompNone) : mode;
    float useCoefficient = unit == 5 ? 0.0f : coefficient;
    float k = Meas_GetCondCompensatedAlt(channel, useMode, useCoefficient, status);
    if (*status != 0) return 0.0f;
    float t = Meas_GetTemperature(channel, status);
    if (*status != 0) return 0.0f;
    float value = 0.0f;
    switch (unit) {
        case 1:
            if (k > 1.0f) *status = kStatusOver;
            return k;
        case 31:
            return k * 100.0f;
        case 2:
            value = Conc_FromCondUnit2(k, t, status);
            break;
        case 3:
            value = Conc_FromCondUnit3(k, t, status);
            break;
        case 4:
            value = Conc_FromCondUnit4(k, t, status);
            break;
        case 5:
            value = Conc_FromCondUnit5(k, t, status);
            break;
        case 6:
            value = Conc_FromCondUnit6(k, t, status);
            break;
        case 7:
            value = Conc_FromCondUnit7(k, t, status);
            break;
        case 8:
            value = Conc_FromCondUnit8(k, t, status);
            break;
        case 9:
            value = Conc_GetTdsUnit9(k, t, status);
            break;
        case 10:
            value = Conc_GetTdsUnit10(k, t, status);
            break;
        default:
            break;
    }
    if ((unit == 9 || unit == 10) && *status == 0 && value > 10000.0f) *status = kStatusOver;
    return value;
}

// ---- pH and electrode family ----------------------------------------------------------------

float Meas_GetMv(uint32_t channel, uint32_t* status) {
    float volts = Meas_GetPrimaryValueB(channel, status);
    if (channel >= 2) return 0.0f;
    if (channel == 0 && g_MeasuringKind[0] != kKindCo2) volts += CalPh_GetOrpOffset(0) / 1000.0f;
    float mv = Meas_ClampMv(volts * 1000.0f, status);
    Meas_SetValueCache(channel, mv, *status);
    return mv;
}

float Meas_GetPh(uint32_t channel, uint32_t* status) {
    float t = Meas_GetTemperature(channel, status);
    if (*status != 0) return 0.0f;
    float mv = Meas_GetMv(channel, status);
    if (*status != 0) return 0.0f;
    float ph = g_MeasuringKind[channel] == kKindCo2 ? CalPh_GetCo2ElectrodePh(channel, mv, t, status)
                                                    : CalPh_PhFromMv(channel, mv, t, status);
    if (*status != 0) return 0.0f;
    Meas_ClampPh(ph, status);
    return ph;
}

// An impedance referred to 25 C and checked against its valid range.
static float ImpedanceAt25(uint32_t channel, uint32_t field, uint32_t statusField, bool glass, uint32_t* status) {
    float t = Meas_GetTemperature(channel, status);
    if (*status != 0) return 0.0f;
    *status = Meas_GetFieldWord(channel, statusField);
    if (*status != 0) return 0.0f;
    float raw = Meas_GetFieldFloat(channel, field);
    float value = glass ? Meas_ScaleExp25(raw, t) : Meas_ScaleLin25(raw, t);
    float low = glass ? 5e6f : 1000.0f;
    float high = glass ? 2e9f : 150000.0f;
    if (value < low) {
        *status = kStatusUnder;
    } else if (value > high) {
        *status = kStatusOver;
    }
    return value;
}

float Meas_GetUnitValue13to18(uint32_t channel, uint32_t unit, uint32_t* status) {
    *status = 0;
    if (channel >= 2) return NoChannel(status);
    switch (unit) {
        case 13: {
            float ph = Meas_GetPh(channel, status);
            if (*status != 0) return 0.0f;
            if (CalPh_GetStcMode(channel) == 0) {
                uint32_t ignored = 0;
                float t = Meas_GetTemperature(channel, &ignored);
                ph += (CalPh_GetStcRefTemp(channel) - t) * CalPh_GetStcCoefficient(channel);
                Meas_ClampPh(ph, status);
            }
            return ph;
        }
        case 14:
            return Meas_GetMv(channel, status) / 1000.0f;
        case 15: {
            // Both decoders keep a copy of the electrode voltage for the ORP reading.
            float volts = Meas_GetFieldFloat(channel, kPhFieldOrpVolts);
            return Meas_ClampPlusMinus1p5(CalPh_AddOrpOffset(channel, volts), status);
        }
        case 16:
            return ImpedanceAt25(channel, kPhFieldGlass, kPhFieldGlassStatus, true, status);
        case 17:
            return ImpedanceAt25(channel, kPhFieldReference, kPhFieldReferenceStatus, false, status);
        case 18:
            return ImpedanceAt25(channel, kPhFieldPnaGlass, kPhFieldPnaGlassStatus, true, status);
        default:
            return 0.0f;
    }
}

// ---- CO2 family -----------------------------------------------------------------------------

float Meas_GetCo2ByUnit(uint32_t channel, uint32_t unit, uint32_t* status) {
    *status = 0;
    if (unit < 33 || unit > 37) return 0.0f;
    float t = Meas_GetTemperature(channel, status);
    if (*status != 0) return 0.0f;
    float mv = Meas_GetMv(channel, status);
    if (*status != 0) return 0.0f;
    return Meas_GetCo2FromMv(channel, unit, mv, t, status);
}

float Meas_GetCo2FromMv(uint32_t channel, uint32_t unit, float mv, float t, uint32_t* status) {
    *status = 0;
    if (unit < 33 || unit > 37) return 0.0f;
    switch (unit) {
        case 33:
            return CalPh_GetCo2Percent(channel, mv, t, status);
        case 34:
        case 35:
            return CalPh_GetCo2PartialPressure(channel, mv, t, status) * 1000.0f;
        case 36:
            return CalPh_GetCo2PartialPressure(channel, mv, t, status) * 1000.0f * 0.75006168f;
        default:
            break;
    }
    // Dissolved CO2 in mg/L: mol/L x 44 g/mol x 1000.
    float mg = CalPh_GetCo2Dissolved(channel, mv, t, status) * 44.0f * 1000.0f;
    if (mg < 0.0f) {
        *status = kStatusUnder;
        return 0.0f;
    }
    if (mg > 5000.01f) {
        *status = kStatusOver;
        return 5000.0f;
    }
    return mg;
}

// ---- Oxygen family --------------------------------------------------------------------------

float Meas_GetO2Base(uint32_t channel, uint32_t* status) {
    float t = Meas_GetTemperature(channel, status);
    if (*status != 0) return 0.0f;
    float current = Meas_GetSensorCurrent(channel, status);
    if (*status != 0) return 0.0f;
    float base = g_MeasuringKind[channel] == kKindO2Gauge ? CalCond_DivideByPolyB(-current * 1000.0f, t, status)
                                                          : CalCond_DivideByPolyA(-current * 1000.0f, t, status);
    Meas_SetValueCache(channel, base, *status);
    return base;
}

float Meas_GetO2ProcessPressure(uint32_t channel) {
    return Meas_GetAnalogInputMode() == kAnalogInputPressure ? Meas_GetInputPressure(channel)
                                                             : CalO2_GetProcPressure(channel);
}

float Meas_GetO2ByUnit(uint32_t channel, uint32_t unit, uint32_t* status) {
    *status = 0;
    if (unit < 19 || unit > 26) return 0.0f;
    float base = Meas_GetO2Base(channel, status);
    if (*status != 0) return 0.0f;
    float pressure = Meas_GetO2ProcessPressure(channel);
    switch (unit) {
        case 19:
        case 20:
            return CalO2_ToSaturation(channel, unit, base, pressure, status);
        case 21:
            return CalO2_ToUnit21(channel, base, pressure, status);
        case 22:
            return CalO2_ToUnit22(channel, base, pressure, status);
        case 23:
            return CalO2_ToConcentration(channel, base, status) * 0.001f;
        case 24:
            return CalO2_ToConcentration(channel, base, status);
        case 26:
            return Meas_GetSensorCurrent(channel, status);
        default:
            return 0.0f;
    }
}

void Meas_ResetState() {
    for (uint32_t channel = 0; channel < 2; ++channel) {
        g_Measurement[channel] = MeasurementRecord{};
        g_MeasuringKind[channel] = kKindNone;
    }
}
