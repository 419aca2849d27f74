// Values for calibration by measurement id, the value cache and the calibration filters.
#include "measurement/cal_values.h"

#include "core/util.h"
#include "digital_sensor/sens_cmd.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/conductivity.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/ph_buffers.h"
#include "measurement/units.h"

uint32_t g_CalUnitSelector;

// Oxygen items of the calibration pages besides the unit codes: the concentration in mg/L (13)
// and in ug/L (12), and the gas fraction in percent (101) and in ppm (102).
static constexpr uint32_t kO2UnitConcentrationMicro = 12;
static constexpr uint32_t kO2UnitConcentration = 13;
static constexpr uint32_t kO2UnitGasPercent = 101;
static constexpr uint32_t kO2UnitGasPpm = 102;
// A resistivity above this is beyond what the cell can measure.
static constexpr float kResistivityMax = 1e8f;
static constexpr float kMvLimit = 1500.0f;

static bool IsFinite(float value) { return Util_ClassifyFloat(value) < kFloatPlusInfinity; }

void Meas_SetSelectorByte(uint8_t value) {
    g_ChosenOption = value;
    g_CalUnitSelector = value;
}

void Meas_SetValueCache(uint32_t channel, float value, uint32_t status) {
    if (channel >= 2) return;
    g_CalInUse[channel].cacheValue = value;
    g_CalInUse[channel].cacheStatus = status;
}

float Meas_GetValueCache(uint32_t channel, uint32_t* status) {
    if (channel >= 2) {
        *status = kStatusOver;
        return 0.0f;
    }
    *status = g_CalInUse[channel].cacheStatus;
    return g_CalInUse[channel].cacheValue;
}

float Meas_GetFilteredCalValue(uint32_t* status) { return Filter_GetAverage(&g_CalFilters[kCalFilterValue], status); }

float Meas_GetFilteredTemperature(uint32_t* status) {
    return Filter_GetAverage(&g_CalFilters[kCalFilterTemperature], status);
}

void Meas_FeedCalFilters(uint32_t channel) {
    uint32_t status = 0;
    float value = Meas_GetValueCache(channel, &status);
    Filter_Push(&g_CalFilters[kCalFilterValue], value, 0.0f, status);
    float t = Meas_GetTemperature(channel, &status);
    Filter_Push(&g_CalFilters[kCalFilterTemperature], t, 0.0f, status);
}

void Meas_FeedStabilityWindow(uint32_t channel) {
    uint32_t status = 0;
    float value = Meas_GetValueCache(channel, &status);
    Filter_PushStability(value, status);
}

float Meas_GetFilteredMv(uint32_t channel, uint32_t* status) {
    float volts = Filter_GetChannelValue(channel, 0, status);
    if (*status != 0 || channel >= 2) return 0.0f;
    float mv = volts * 1000.0f;
    if (channel == 0 && g_MeasuringKind[0] != kKindCo2) mv += CalPh_GetOrpOffset(0);
    if (mv < -kMvLimit) {
        *status = kStatusUnder;
        return -kMvLimit;
    }
    if (mv > kMvLimit) {
        *status = kStatusOver;
        return kMvLimit;
    }
    return mv;
}

// ---- Values by id -------------------------------------------------------------------------------

// While a pH (or CO2) point is measured, the damped voltage goes into the stability window with
// the status of what names the buffer: the temperature for the hand-entered set, else the
// buffer recognition.
static void FeedPhStability(uint32_t channel) {
    uint32_t status = 0;
    float t = Meas_GetTemperature(channel, &status);
    if (status == 0 && CalPh_GetBufferSet(channel) != kBufferSetNone) {
        uint32_t mvStatus = 0;
        float mv = Meas_GetMv(channel, &mvStatus);
        if (mvStatus == 0) {
            CalPh_RecognizeBuffer(channel, mv, t, &status);
        } else {
            status = mvStatus;
        }
    }
    uint32_t mvStatus = 0;
    float filtered = Meas_GetFilteredMv(channel, &mvStatus);
    Filter_PushStability(filtered, status != 0 ? status : mvStatus);
}

// Feeds the stability window while the electrode measures a point of a page's own procedure.
static bool PhPointMeasured(uint32_t channel) {
    return Chan_GetMeasureFlag(channel) == 1 && g_ChosenMode != kCalModeProcess &&
           Cal_GetDriftControl(channel) != kDriftManual;
}

static float PhValue(uint32_t channel, uint32_t* status) {
    if (Chan_GetMeasureFlag(channel) == 0) return CalPh_GetPointPh(channel, g_CalTracking.point, status);
    if (PhPointMeasured(channel)) FeedPhStability(channel);
    return Meas_GetPh(channel, status);
}

static float ConductivityValue(uint32_t channel, uint32_t quantity, uint32_t* status) {
    if (Chan_GetMeasureFlag(channel) == 0 && g_ChosenMode == kCalModeProcess) {
        return CalCond_GetRawPointValue(channel, g_CalTracking.point, status);
    }
    uint8_t mode = CalCond_GetRefTempMode(channel);
    float coefficient = CalCond_GetRefCoefficient(channel);
    if (quantity == kQuantityConductivity) return Meas_GetCondCompensatedAlt(channel, mode, coefficient, status);
    float resistivity = Meas_GetCondCompensated(channel, mode, coefficient, status);
    if (*status == 0 && resistivity > kResistivityMax) *status = kStatusOver;
    return resistivity;
}

static float OxygenValue(uint32_t channel, uint32_t unit, uint32_t* status) {
    Meas_FeedStabilityWindow(channel);
    float pressure = CalO2_GetPressureForCal(channel);
    uint32_t point = g_CalTracking.point;
    bool measured = Chan_GetMeasureFlag(channel) == 1;
    float base = 0.0f;
    if (measured) {
        base = Meas_GetO2Base(channel, status);
        if (*status != 0) return 0.0f;
    }
    switch (unit) {
        case kO2UnitConcentrationMicro:
        case kO2UnitConcentration: {
            float value =
                measured ? CalO2_ToConcentration(channel, base, status) : CalO2_GetValueForCal(channel, point, status);
            return unit == kO2UnitConcentrationMicro ? value * 1000.0f : value;
        }
        case kO2UnitGasPercent:
        case kO2UnitGasPpm: {
            float value = measured ? CalO2_ToUnit22(channel, base, pressure, status)
                                   : CalO2_ToUnitForCal(channel, point, pressure, status);
            return unit == kO2UnitGasPpm ? value * 10000.0f : value;
        }
        default:
            return measured ? CalO2_ToSaturation(channel, unit, base, pressure, status)
                            : CalO2_ToSaturationForCal(channel, unit, point, pressure, status);
    }
}

static float OpticalValue(uint32_t channel, uint32_t unit, uint32_t* status) {
    if (unit < kCalOpticalUnitFirst) {
        *status = kStatusOver;
        return 0.0f;
    }
    if (Chan_GetMeasureFlag(channel) == 1) {
        // The sensor judges its own stability: the window only counts the values.
        Filter_PushStability(0.0f, 0);
        *status = 0;
        return Meas_GetRecordValueNonNeg(channel, unit - kCalOpticalUnitFirst);
    }
    return Chan_GetValuePair(channel, unit, status);
}

static float Co2Value(uint32_t channel, uint32_t unit, uint32_t* status) {
    if (g_ChosenMode != kCalModeProcess) {
        if (Chan_GetMeasureFlag(channel) == 1 && Cal_GetDriftControl(channel) != kDriftManual) {
            FeedPhStability(channel);
        }
        return Meas_GetPh(channel, status);
    }
    if (Chan_GetMeasureFlag(channel) == 1) return Meas_GetCo2ByUnit(channel, unit, status);
    // The reading captured for the point, in the unit shown: the lab's value is entered over it.
    const CalInUseCo2& point = g_CalInUse[channel].co2;
    return Meas_GetCo2FromMv(channel, unit, point.pointMv[0], point.pointTemp[0], status);
}

static float ChannelValue(uint32_t channel, uint32_t quantity, uint32_t unit, uint32_t* status) {
    switch (quantity) {
        case kQuantityPh:
            return PhValue(channel, status);
        case kQuantityTemperature:
            return Meas_GetTemperatureForCal(channel, status);
        case kQuantityConductivity:
        case kQuantityResistivity:
            return ConductivityValue(channel, quantity, status);
        case kQuantityOxygen:
            return OxygenValue(channel, unit, status);
        case kQuantityMv:
        case kQuantityMvB: {
            uint32_t primaryStatus = 0;
            float primary = Meas_GetPrimaryValueB(channel, &primaryStatus);
            Meas_SetValueCache(channel, primary * 1000.0f, primaryStatus);
            return Meas_GetFilteredMv(channel, status);
        }
        case kQuantityOrp: {
            float orp = Meas_GetUnitValue13to18(channel, kUnitOrpVolts, status) * 1000.0f;
            Meas_SetValueCache(channel, Meas_GetFieldFloat(channel, kPhFieldOrpVolts) * 1000.0f, 0);
            return orp;
        }
        case kQuantityOptical:
            return OpticalValue(channel, unit, status);
        case kQuantityCo2:
            return Co2Value(channel, unit, status);
        case kQuantityMeterTemperature:
            return Meas_GetTemperatureRaw(channel, status);
        case kQuantityMeterVoltage:
            return Meas_GetPrimaryValueB(channel, status);
        case kQuantityMeterCurrent1:
        case kQuantityMeterCurrent2:
            return Meas_GetSensorCurrent(channel, status);
        case kQuantityGlass: {
            float value = Meas_GetGlassImpedance(channel, status);
            *status = 0;
            return value;
        }
        case kQuantityReference: {
            float value = Meas_GetRefImpedance(channel, status);
            *status = 0;
            return value;
        }
        default:
            if (quantity >= kQuantityMeterR1 && quantity <= kQuantityMeterR5)
                return Meas_GetPrimaryValue(channel, status);
            // Quantities without a value.
            return 0.0f;
    }
}

float Meas_GetValueById(uint32_t id, uint32_t unit, uint32_t* status) {
    *status = 0;
    Cal_TickPointTimer();
    float value;
    if (id == kMeasIdAnalogInput) {
        value = Meas_GetAnalogInput(0, status);
    } else {
        uint32_t channel = Meas_GetIdChannel(id);
        if (channel >= 2 || id == kMeasIdOutput1 || id == kMeasIdOutput2) {
            *status = kStatusOver;
            return 0.0f;
        }
        value = ChannelValue(channel, Meas_GetIdQuantity(id), unit, status);
    }
    if (!IsFinite(value)) {
        *status = kStatusOver;
        return 0.0f;
    }
    return value;
}

// ---- Oxygen settings edited on a calibration page -------------------------------------------------

void Meas_EditO2RelHumidity(uint32_t channel, float value) {
    CalO2_SetRelHumidityRam(channel, value);
    g_CalSettingsEdited = 1;
}

void Meas_EditO2CalPressure(uint32_t channel, float value) {
    CalO2_SetCalPressureRam(channel, value);
    g_CalSettingsEdited = 1;
}

void Meas_EditO2PressureSource(uint32_t channel, float value) {
    CalO2_SetPressureSourceRam(channel, static_cast<uint8_t>(value >= 0.0f && value < 256.0f ? value : 0.0f));
    g_CalSettingsEdited = 1;
}

void Meas_EditChannelBFlag(float value) {
    // Truncated to a whole number; anything that is not a small number reads as 0.
    Chan_SetBRecordFlagRam(1, static_cast<uint8_t>(value >= 0.0f && value < 256.0f ? value : 0.0f));
    g_CalSettingsEdited = 1;
}

float Meas_GetO2RelHumidity(uint32_t channel) { return CalO2_GetRelHumidity(channel); }
float Meas_GetO2CalPressure(uint32_t channel) { return CalO2_GetCalPressure(channel); }
