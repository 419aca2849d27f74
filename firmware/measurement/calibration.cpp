// Calibration by measurement id: the dispatcher between the calibration pages, which know a
// calibration only by the id of its quantity, and the chemistry of each kind.
#include "measurement/calibration.h"

#include <cmath>
#include <cstring>

#include "core/eeprom.h"
#include "core/link.h"
#include "core/param.h"
#include "core/rtc.h"
#include "core/settings.h"
#include "core/util.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_diag_opt.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/cal_values.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/conductivity.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/meter_cal.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/ph_buffers.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "measurement/units.h"
#include "outputs/aout.h"

// The factory calibration settings of every kind.
static const SensorCalRecord kFactoryCal = {
    1.0f,     // first: pH slope fraction
    0.0f,     // second: pH zero, mV
    0.0f,     // ORP offset
    0.1f,     // cell constant
    0.0f,     // zero offset
    0.0f,     // salinity
    1.0f,     // relative humidity
    1013.0f,  // calibration pressure
    1013.0f,  // process pressure
    0,        // pressure source
    1,        // sensor setting
    0.05f,    // bicarbonate
    28.0f,    // CO2 salinity
    1000.0f,  // CO2 pressure
    7.0f,     // isothermal point
    0.0f,     // STC coefficient
    25.0f,    // STC reference temperature
    1,        // STC mode: not applied
    0,        // buffer set
    0,        // slope-unit flag
    0,        // offset-unit flag
    1,        // sensor option
    0,        // drift control
};
static const CalInUseRecord kFactoryInUse = {
    0.0f, kStatusOver, {.ph = {1.0f, 0.0f, 0.0f, {0.0f, 0.0f}, {25.0f, 25.0f}, {4.0f, 7.0f}, 0.0f, {0, 0}}}};

static constexpr StoreRange kStoreRanges[] = {{kStoreDriftControl, 2}};
const StoreMap g_CalStoreMap = {"calibration", kStoreRanges, 1};

SensorCalRecord g_SensorCal[2] = {kFactoryCal, kFactoryCal};
CalInUseRecord g_CalInUse[2] = {kFactoryInUse, kFactoryInUse};
CalTracking g_CalTracking = {0, kUnitNone, 0, 0, 0.0f, kStatusOver, 0.0f, kStatusOver};
uint8_t g_ChosenMode;
uint8_t g_ChosenOption;
ManualHold g_ManualHold;
uint8_t g_CalSettingsEdited;
uint8_t g_SensorParamSavePending;

// The channel of the active selection; 2 and above: none.
static uint8_t s_SelectedChannel = kChannelNone;
static uint8_t s_CalibrateOnly[2];
// Value reads since the point began; the point's time in the data set is 1.1 times this.
static uint16_t s_PointTimer;
static constexpr uint16_t kPointTimerMax = 4000;
// A data set holds a point's time in 12 bits.
static constexpr float kPointTimeMax = 4095.0f;
CalDataSetRecord g_CalDataSet[2];
// The recognised buffer last offered while the reading was not yet stable.
static float s_FrozenSetting;

// Ids without their channel.
static constexpr uint32_t kIdPh = kMeasIdBase + kQuantityPh;
static constexpr uint32_t kIdOxygen = kMeasIdBase + kQuantityOxygen;
static constexpr uint32_t kIdOptical = kMeasIdBase + kQuantityOptical;
static constexpr uint32_t kIdCo2 = kMeasIdBase + kQuantityCo2;
static constexpr uint32_t kIdMeterR1 = kMeasIdBase + kQuantityMeterR1;
static constexpr uint32_t kIdMeterR5 = kMeasIdBase + kQuantityMeterR5;
static constexpr uint32_t kIdMeterTemperature = kMeasIdBase + kQuantityMeterTemperature;
static constexpr uint32_t kIdMeterVoltage = kMeasIdBase + kQuantityMeterVoltage;
static constexpr uint32_t kIdMeterCurrent1 = kMeasIdBase + kQuantityMeterCurrent1;
static constexpr uint32_t kIdMeterCurrent2 = kMeasIdBase + kQuantityMeterCurrent2;
static constexpr uint32_t kIdGlass = kMeasIdBase + kQuantityGlass;
static constexpr uint32_t kIdReference = kMeasIdBase + kQuantityReference;
static constexpr uint32_t kIdMeterOxygen = kMeasIdBase + kQuantityMeterOxygen;

// The sensor board's input settings: automatic range, the middle gain, and the polarization
// voltage at which the meter's current inputs are calibrated (mV).
static constexpr uint8_t kRangeAutomatic = 5;
static constexpr uint8_t kGainDefault = 2;
static constexpr float kMeterPolarization = -674.0f;
// Code of the analog input's save request.
static constexpr uint8_t kSaveCodeAnalogInput = 11;
// Parameter 43 of channel B's optical sensor: the calibration step, or the process calibration.
static constexpr uint32_t kParamOpticalMode = 43;
static constexpr uint32_t kOpticalModeStep = 4;
static constexpr uint32_t kOpticalModeProcess = 3;
// Point codes of the optical sensor's calibration.
static constexpr uint8_t kOpticalPointFirst = 2;
static constexpr uint8_t kOpticalPointSecond = 3;
static constexpr uint8_t kOpticalPointEntered = 4;
static constexpr uint8_t kOpticalPointEnteredFlagged = 5;
// Measurement record fields the optical sensor's values are kept in (record slots 7 to 10).
static constexpr uint32_t kOpticalFieldFiltered = 16;
static constexpr uint32_t kOpticalFieldSecond = 17;
static constexpr uint32_t kOpticalFieldTemperature = 18;
static constexpr uint32_t kOpticalFieldStep = 19;
// Limits of a CO2 calibration written into a sensor's memory: slope in mV/pH, zero offset in mV.
static constexpr float kCo2SlopeMin = 22.0f;
static constexpr float kCo2SlopeMax = 62.96f;
static constexpr float kCo2ZeroMin = -125.0f;
static constexpr float kCo2ZeroMax = 131.0f;
static constexpr float kKelvin = 273.15f;
static constexpr float kKelvin25 = 298.15f;
// The lowest buffer pH a CO2 electrode is calibrated in.
static constexpr float kCo2BufferMin = 5.0f;
static constexpr uint8_t kKindOfPnaSensor = kKindPhPna;

static bool IsFinite(float value) { return Util_ClassifyFloat(value) < kFloatPlusInfinity; }
static bool IsOutputId(uint32_t id) { return id == kMeasIdOutput1 || id == kMeasIdOutput2; }
static bool IsChannelLess(uint32_t id) { return IsOutputId(id) || id == kMeasIdAnalogInput; }
static bool IsMeterQuantity(uint32_t q) { return q >= kQuantityMeterR1 && q <= kQuantityReference; }
// The sensor board numbers the calibrations of its inputs in the order of the meter's quantities:
// the five conductivity ranges, the temperature curve, the voltage input, the two current lines,
// the two impedances, the analog input and the raw linear input of the oxygen meter.
static uint8_t BoardKindOf(uint32_t q) { return static_cast<uint8_t>(q - kQuantityMeterR1); }
static bool IsCondKind(uint16_t kind) { return kind == kKindCond2 || kind == kKindCond4; }
static uint8_t ChannelKind(uint32_t channel) { return channel < 2 ? g_ChannelKind[channel] : 0; }

void Cal_ResetState() {
    g_SensorCal[0] = g_SensorCal[1] = kFactoryCal;
    g_CalInUse[0] = g_CalInUse[1] = kFactoryInUse;
    g_CalTracking = CalTracking{0, kUnitNone, 0, 0, 0.0f, kStatusOver, 0.0f, kStatusOver};
    g_ChosenMode = 0;
    g_ChosenOption = 0;
    g_ManualHold = ManualHold{0, 0, 0};
    g_CalSettingsEdited = 0;
    g_SensorParamSavePending = 0;
    g_CalUnitSelector = 0;
    s_SelectedChannel = kChannelNone;
    s_CalibrateOnly[0] = s_CalibrateOnly[1] = 0;
    s_PointTimer = 0;
    std::memset(g_CalDataSet, 0, sizeof g_CalDataSet);
    s_FrozenSetting = 0.0f;
}

// A channel whose sensor is gone keeps no calibration data set of it: what a calibration had
// gathered for that sensor (points, impedances, drift code) must not reach the next sensor's memory.
void Cal_ClearDataSetSensorFlag(uint32_t channel) {
    if (channel >= 2) return;
    std::memset(&g_CalDataSet[channel], 0, sizeof g_CalDataSet[channel]);
}

// ---- Selection ----------------------------------------------------------------------------------

void Cal_RequestBoardMode(uint32_t id) {
    uint32_t status = 0;
    if (id == 0) {
        MeterCal_ClearPoints();
    } else if (id >= kIdMeterR1 && id <= kIdMeterR5) {
        MeterCal_PresetResistance(id - kIdMeterR1, &status);
    } else if (id == kIdMeterTemperature) {
        MeterCal_PresetTemperature(&status);
    } else if (id == kIdMeterVoltage) {
        MeterCal_PresetVoltage(&status);
    } else if (id == kIdMeterCurrent1 || id == kIdMeterCurrent2) {
        MeterCal_PresetCurrent(id - kIdMeterCurrent1, &status);
    } else if (id == kIdGlass) {
        CalPh_SetLimitPair30To500();
    } else if (id == kIdReference) {
        CalPh_SetLimitPair30To200();
    } else if (id == kMeasIdAnalogInput) {
        MeterCal_PresetOutputCurrent(&status);
    }
}

// Channel A measures the kind (when it measures another) with the sensor board in its mode.
static void MeasureOnA(uint16_t kind) {
    Meas_SetMeasuringKind(0, kind);
    Link_SetMeasureMode(0, kind);
}

static void EndSelection() {
    for (uint32_t channel = 0; channel < 2; ++channel) {
        // The pages' RAM-only oxygen edits are dropped, unless a manual hold keeps the channel.
        if (g_CalSettingsEdited != 0 && g_ManualHold.active == 0) CalO2_ReloadChannel(channel);
        Meas_SetMeasuringKind(channel, ChannelKind(channel));
    }
    uint32_t current = Chan_GetCurrentChannel() < 2 ? Chan_GetCurrentChannel() : 0;
    Link_SetMeasureMode(current, ChannelKind(current));
    Link_SetRange(kRangeAutomatic);
    Link_SetGain(kGainDefault);
    Chan_RequestO2Mode(current, Settings_GetMeasPolVoltage(current));
    SensDiag_WriteOptLedMode();
    g_CalSettingsEdited = 0;
    s_SelectedChannel = kChannelNone;
}

void Cal_SelectMeasurement(uint32_t channel, uint32_t id) {
    if (id == 0) {
        EndSelection();
        return;
    }
    uint32_t base = Meas_GetBaseId(id);
    Cal_RequestBoardMode(base);
    s_SelectedChannel = static_cast<uint8_t>(channel < 2 ? channel : kChannelNone);
    uint16_t kindA = g_MeasuringKind[0];
    if (base == kIdMeterVoltage || base == kIdGlass || base == kIdReference) {
        MeasureOnA(kKindPh);
    } else if (base == kIdMeterCurrent1 || base == kIdMeterCurrent2) {
        if (!Chan_IsMeasuringKindO2(kindA)) MeasureOnA(kKindO2High);
        // The current inputs are calibrated at the standard polarization voltage.
        Link_SetPolarizationVoltage(0, kMeterPolarization, 0);
        Link_SetRequestBit(kReqPolarization);
        Link_SetGain(base == kIdMeterCurrent1 ? 0 : 1);
    } else if (base == kIdMeterOxygen) {
        if (!Chan_IsMeasuringKindO2(kindA)) MeasureOnA(kKindO2High);
    } else if (base == kIdMeterTemperature) {
        Link_SetMeasureMode(0, kindA);
        Link_SetRequestBit(kReqMeasureMode);
    } else if (base >= kIdMeterR1 && base <= kIdMeterR5) {
        if (!IsCondKind(kindA)) Meas_SetMeasuringKind(0, kKindCond2);
        Link_SetMeasureMode(0, g_MeasuringKind[0]);
        Link_SetRange(static_cast<uint8_t>(base - kIdMeterR1));
    }
}

uint32_t Cal_IsSelectionActive() { return s_SelectedChannel < 2 ? 1 : 0; }

// ---- Tracking -----------------------------------------------------------------------------------

void Cal_ResetPointTimer() { s_PointTimer = 1; }

void Cal_TickPointTimer() {
    if (s_PointTimer < kPointTimerMax) ++s_PointTimer;
}

uint16_t Cal_GetPointTimer() { return s_PointTimer; }

uint8_t Cal_GetDriftControl(uint32_t channel) { return channel < 2 ? g_SensorCal[channel].driftControl : 0; }

void Cal_SetDriftControl(uint32_t channel, uint8_t value) {
    if (channel >= 2 || value > kDriftLow) return;
    g_SensorCal[channel].driftControl = value;
    uint32_t status = 0;
    Eeprom_WriteChecked(kStoreDriftControl + channel, &value, 1, &status);
}

void Cal_SetCalibrateOnly(uint32_t channel, uint8_t value) {
    if (channel < 2) s_CalibrateOnly[channel] = value;
}

// Stability criteria: the default for every id, and those of pH by drift control, of the
// amperometric oxygen sensor and of the optical sensor's two points.
static const StabilityCriteria kCriteriaDefault = {0.8f, 300, 20, 1};
static const StabilityCriteria kCriteriaPhStrict = {0.4f, 300, 20, 1};
static const StabilityCriteria kCriteriaPhLow = {1.25f, 300, 20, 1};
static const StabilityCriteria kCriteriaOxygen = {0.0f, 300, 60, 5};
static const StabilityCriteria kCriteriaOpticalFirst = {0.0f, 600, 10, 9};
static const StabilityCriteria kCriteriaOpticalSecond = {0.0f, 3600, 10, 9};

void Cal_SetStabilityCriteria(uint32_t id, uint32_t point) {
    const StabilityCriteria* criteria = &kCriteriaDefault;
    uint32_t channel = Meas_GetIdChannel(id);
    switch (Meas_GetIdQuantity(id)) {
        case kQuantityPh: {
            uint8_t drift = Cal_GetDriftControl(channel);
            if (drift == kDriftStrict) criteria = &kCriteriaPhStrict;
            if (drift == kDriftLow) criteria = &kCriteriaPhLow;
            break;
        }
        case kQuantityOxygen:
            criteria = &kCriteriaOxygen;
            break;
        case kQuantityOptical:
            criteria = point == 0 ? &kCriteriaOpticalFirst : &kCriteriaOpticalSecond;
            break;
        default:
            break;
    }
    Filter_StartStability(criteria);
}

void Cal_BeginTracking(uint32_t id, uint32_t point) {
    g_CalTracking.autoSetting = 0;
    g_CalTracking.point = static_cast<uint8_t>(point);
    Filter_StopStability();
    Cal_ResetPointTimer();
    uint32_t base = Meas_GetBaseId(id);
    uint32_t status = 0;
    if (base == kIdOptical) {
        if (g_ChosenMode != kCalModeProcess) {
            Cal_SetStabilityCriteria(id, point);
            Param_SetInt(1, kParamOpticalMode, kOpticalModeStep, &status);
        } else {
            Param_SetInt(1, kParamOpticalMode, kOpticalModeProcess, &status);
        }
        return;
    }
    if (g_ChosenMode == kCalModeProcess) return;
    uint32_t channel = Meas_GetIdChannel(id);
    bool phFamily = base == kIdPh || base == kIdCo2;
    if (phFamily && CalPh_GetBufferSet(channel) != kBufferSetNone) g_CalTracking.autoSetting = 1;
    if (Cal_GetDriftControl(channel) == kDriftManual) return;
    if (phFamily || (base == kIdOxygen && g_ChosenOption == 0)) Cal_SetStabilityCriteria(id, point);
}

void Cal_TrackValue(uint32_t id, uint32_t point) {
    uint8_t current = Chan_GetCurrentChannel();
    if (current < 2 && g_ChannelKind[current] == kKindO2Optical) {
        // The optical sensor is calibrated in air (100 %) and without oxygen (0 %).
        g_CalTracking.setting = point == 0 ? 100.0f : 0.0f;
        g_CalTracking.settingStatus = 0;
        return;
    }
    Cal_GetSettingById(id, point, &g_CalTracking.setting, &g_CalTracking.settingStatus);
}

void Cal_UpdateTrackedValue(uint32_t channel) {
    uint32_t id = g_CalTracking.id;
    if (id == 0 || channel >= 2 || Meas_GetIdChannel(id) != channel) return;
    uint32_t status = 0;
    float value = Meas_GetValueById(id, g_CalTracking.unit, &status);
    Filter_Push(&g_CalFilters[kCalFilterTracked], value, 0.0f, status);
    g_CalTracking.value = Filter_GetAverage(&g_CalFilters[kCalFilterTracked], &g_CalTracking.status);
    Meas_FeedCalFilters(channel);
    if (Filter_IsStabilityActive()) Filter_EvaluateStability();
    if (g_CalTracking.autoSetting == 1) {
        Cal_GetSettingById(id, g_CalTracking.point, &g_CalTracking.setting, &g_CalTracking.settingStatus);
    }
}

float Cal_GetTrackedValue(uint32_t* status) {
    *status = g_CalTracking.status;
    return *status == 0 ? g_CalTracking.value : 0.0f;
}

// Replies a channel needs before its values count.
static constexpr uint32_t kRepliesBeforeMeasuring = 3;

float Cal_GetValueById(uint32_t id, uint32_t unit, uint32_t* status) {
    if (id == kMeasIdAnalogInput) {
        float value = Meas_GetAnalogInput(0, status);
        *status = 0;
        return value;
    }
    uint32_t channel = Meas_GetIdChannel(id);
    if (channel >= 2) {
        *status = kStatusOver;
        return 0.0f;
    }
    if (g_MeasReplyCount[channel] <= kRepliesBeforeMeasuring) {
        g_CalTracking.status = kStatusOver;
    } else if (id != g_CalTracking.id || unit != g_CalTracking.unit) {
        Filter_ResetCalFilters();
        g_CalTracking.id = id;
        g_CalTracking.unit = static_cast<uint8_t>(unit);
        Cal_UpdateTrackedValue(channel);
    }
    *status = g_CalTracking.status;
    return g_CalTracking.value;
}

// ---- Settings of the points -----------------------------------------------------------------------

// The buffer the electrode stands in, while the reading settles; once it is stable (or, for CO2,
// once its time is up) the buffer named last stays, so the reference cannot change under a
// reading the user accepts.
static void RecognisedSetting(uint32_t channel, bool frozen, float* value, uint32_t* status) {
    uint32_t st = 0;
    float t = Meas_GetFilteredTemperature(&st);
    float mv = st == 0 ? Meas_GetFilteredCalValue(&st) : 0.0f;
    float buffer = st == 0 ? CalPh_RecognizeBuffer(channel, mv, t, &st) : 0.0f;
    // The CO2 electrode is calibrated in its neutral and alkaline buffers only.
    if (st == 0 && g_ChannelKind[channel] == kKindCo2 && buffer < kCo2BufferMin) st = kStatusUnder;
    if (st == 0 && frozen) {
        *value = s_FrozenSetting;
        return;
    }
    *value = buffer;
    *status = st;
    if (st == 0) s_FrozenSetting = buffer;
}

static void PhSetting(uint32_t channel, uint32_t point, float* value, uint32_t* status) {
    bool recognised = CalPh_GetBufferSet(channel) != kBufferSetNone && Chan_GetMeasureFlag(channel) == 1 &&
                      g_ChosenMode != kCalModeProcess;
    if (!recognised) {
        *value = CalPh_GetPointBuffer(channel, point);
        return;
    }
    bool frozen = Cal_GetDriftControl(channel) != kDriftManual && Filter_GetStabilityState() == 1;
    RecognisedSetting(channel, frozen, value, status);
}

static void Co2Setting(uint32_t channel, uint32_t point, float* value, uint32_t* status) {
    if (g_ChosenMode == kCalModeProcess && Chan_GetMeasureFlag(channel) == 0) {
        *value = CalPh_GetCo2ProcessValue(channel);
    } else if (CalPh_GetBufferSet(channel) == kBufferSetNone) {
        *value = CalPh_GetCo2PointRef(channel, point);
    } else {
        RecognisedSetting(channel, Filter_IsStabilityTimeUp() != 0, value, status);
    }
}

static float MeterPoint(uint32_t point, uint32_t* status) { return MeterCal_GetResistancePoint(point, status); }

void Cal_GetSettingById(uint32_t id, uint32_t point, float* value, uint32_t* status) {
    *status = 0;
    *value = 0.0f;
    if (IsOutputId(id)) {
        *value = Aout_GetCalPoint(id - kMeasIdOutput1, point, status);
    } else if (id == kMeasIdAnalogInput) {
        *value = MeterPoint(point, status);
    } else {
        uint32_t channel = Meas_GetIdChannel(id);
        if (channel >= 2) {
            *status = kStatusOver;
            return;
        }
        uint32_t q = Meas_GetIdQuantity(id);
        switch (q) {
            case kQuantityPh:
                PhSetting(channel, point, value, status);
                break;
            case kQuantityTemperature:
                *value = Temp_GetPointValue(channel, point, status);
                break;
            case kQuantityConductivity:
            case kQuantityResistivity: {
                float reference = CalCond_GetPointValue(channel, point);
                if (q == kQuantityResistivity) {
                    *value = reference;
                } else if (reference != 0.0f) {
                    *value = 1.0f / reference;
                } else {
                    *status = kStatusOver;
                }
                break;
            }
            case kQuantityOxygen: {
                // The reference of the point the step takes, in the unit of its kind.
                uint32_t i = CalO2_PointOfStep(point, g_CalUnitSelector);
                *value = CalO2_GetPointReference(channel, i, CalO2_GetPointKind(channel, i));
                break;
            }
            case kQuantityMv:
            case kQuantityOrp:
                *value = CalPh_GetOrpReference(channel);
                break;
            case kQuantityOptical:
                *value = g_ChosenOption == 1 ? 0.0f : g_SensorParams[1].p[kSensParamReference];
                break;
            case kQuantityCo2:
                Co2Setting(channel, point, value, status);
                break;
            default:
                if (IsMeterQuantity(q)) *value = MeterPoint(point, status);
                break;
        }
    }
    if (!IsFinite(*value)) {
        *value = 0.0f;
        *status = kStatusOver;
    }
}

// ---- Points -----------------------------------------------------------------------------------------

// The sensor's code for the unit of an optical reference: units 19 to 25, and 27.
static uint8_t OpticalUnitCode(uint32_t unit) {
    static const uint8_t kCodes[kCalOpticalUnits] = {0, 1, 7, 8, 2, 4, 6};
    if (unit >= kCalOpticalUnitFirst && unit < kCalOpticalUnitFirst + kCalOpticalUnits) {
        return kCodes[unit - kCalOpticalUnitFirst];
    }
    return 0;
}

static void SetOpticalPoint(uint32_t point, float value, uint32_t unit, uint32_t* status) {
    SensorParamRecord& p = g_SensorParams[1];
    if (Chan_GetMeasureFlag(1) == 0) {
        // A reference entered for a point measured before.
        p.pointCode = p.flag == 1 ? kOpticalPointEnteredFlagged : kOpticalPointEntered;
        p.p[kSensParamReference] = value;
        p.unitCode = OpticalUnitCode(unit);
        p.p[kSensParamPointValue2] = 0.0f;
        p.p[kSensParamPointTemp2] = 0.0f;
        p.p[kSensParamResult2] = 0.0f;
        return;
    }
    if (Meas_CheckCalDue(1)) {
        *status = kStatusOver;
        return;
    }
    CalInUseOptical& record = g_CalInUse[1].optical;
    record.first = Meas_GetO2CalPressure(1);
    float humidity = Meas_GetO2RelHumidity(1) * 100.0f + 0.5f;
    p.humidity = static_cast<uint8_t>(humidity >= 0.0f && humidity < 256.0f ? humidity : 0.0f);
    for (uint32_t i = 0; i < kCalOpticalUnits; ++i) {
        record.values[i] = Meas_GetRecordValueNonNeg(1, i);
        record.statuses[i] = 0;
    }
    float filtered = Meas_GetFieldFloat(1, kOpticalFieldFiltered);
    float second = Meas_GetFieldFloat(1, kOpticalFieldSecond);
    float t = Meas_GetFieldFloat(1, kOpticalFieldTemperature);
    if (point == 1) {
        p.pointCode = kOpticalPointSecond;
        p.p[kSensParamPointValue2] = filtered;
        p.p[kSensParamPointTemp2] = t;
        p.p[kSensParamResult2] = second;
    } else {
        p.pointCode = kOpticalPointFirst;
        p.p[kSensParamPointValue1] = filtered;
        p.p[kSensParamPointTemp1] = t;
        p.p[kSensParamResult1] = second;
        p.p[kSensParamReference] = value;
        p.unitCode = OpticalUnitCode(unit);
    }
}

static void SetPhPoint(uint32_t channel, uint32_t point, float value, uint32_t* status) {
    if (Chan_GetMeasureFlag(channel) == 0) {
        CalPh_SetPointBuffer(channel, point, value);
        return;
    }
    Meas_GetFilteredTemperature(status);
    if (*status != 0) return;
    if (CalPh_GetBufferSet(channel) == kBufferSetNone || g_ChosenMode == kCalModeProcess) {
        CalPh_CapturePoint(channel, point, g_ChosenMode, value, status);
    } else if (g_CalTracking.settingStatus != 0) {
        *status = kPhNoBuffer;
    } else {
        CalPh_EvaluatePoint(channel, point, g_ChosenMode, status);
    }
}

static void SetCo2Point(uint32_t channel, uint32_t point, float value, uint32_t unit, uint32_t* status) {
    if (Chan_GetMeasureFlag(channel) == 0) {
        if (g_ChosenMode == kCalModeProcess) {
            CalPh_SetCo2PointValue(channel, unit, value, status);
        } else {
            CalPh_SetCo2PointRef(channel, point, value, status);
        }
        return;
    }
    Meas_GetFilteredTemperature(status);
    if (*status != 0) return;
    if (CalPh_GetBufferSet(channel) == kBufferSetNone || g_ChosenMode == kCalModeProcess) {
        CalPh_CaptureCo2Point(channel, point, g_ChosenMode, value, status);
    } else if (g_CalTracking.settingStatus != 0) {
        *status = kPhNoBuffer;
    } else {
        CalPh_EvaluateCo2Point(channel, point, status);
    }
}

static void SetConductivityPoint(uint32_t channel, uint32_t q, uint32_t point, float value, uint32_t* status) {
    float reference = value;
    if (q == kQuantityConductivity) {
        // A conductivity is entered; the cell is calibrated on the resistivity.
        if (value == 0.0f) {
            *status = kStatusUnder;
            return;
        }
        reference = 1.0f / value;
    }
    if (Chan_GetMeasureFlag(channel) == 0 && g_ChosenMode == kCalModeProcess) {
        // The lab's value of the sample whose reading was captured: the point's reference.
        CalCond_CompensatePoint(channel, point, reference, status);
    } else if (Chan_GetMeasureFlag(channel) == 0) {
        CalCond_SetPointValue(channel, point, reference, status);
    } else if (g_ChosenMode == kCalModeProcess) {
        CalCond_CaptureRawPoint(channel, point, g_CalTracking.value, status);
    } else {
        CalCond_CapturePoint(channel, point, reference, status);
    }
}

void Cal_SetPointById(uint32_t id, uint32_t point, float value, uint32_t unit, uint32_t* status) {
    *status = 0;
    uint32_t channel = Meas_GetIdChannel(id);
    if (channel >= 2) {
        *status = kStatusOver;
        return;
    }
    if (point <= 2) {
        // The point's time in seconds, as long as its 12-bit field can hold.
        float seconds = g_ChosenMode == kCalModeProcess ? 0.0f : 1.1f * static_cast<float>(s_PointTimer);
        uint32_t time = static_cast<uint32_t>(seconds < kPointTimeMax ? seconds : kPointTimeMax);
        CalDataSetRecord& set = g_CalDataSet[channel];
        if (point == 0) set.w72 = time;
        if (point == 1) set.w74 = static_cast<uint16_t>(time);
        if (point == 2) set.w76 = static_cast<uint16_t>(time);
    }
    g_CalTracking.autoSetting = 0;
    Filter_StopStability();
    uint32_t q = Meas_GetIdQuantity(id);
    if (IsOutputId(id)) {
        // The board knows an output's calibration by the low byte of its id.
        Link_RequestCalPoint(static_cast<uint8_t>(point), static_cast<uint8_t>(id & 0xff), value, status);
        return;
    }
    if (id == kMeasIdAnalogInput) {
        uint32_t ignored = 0;
        MeterCal_SetResistancePoint(point, value, &ignored);
        Link_RequestCalPoint(static_cast<uint8_t>(point), kSaveCodeAnalogInput, value, status);
        return;
    }
    switch (q) {
        case kQuantityPh:
            SetPhPoint(channel, point, value, status);
            break;
        case kQuantityTemperature:
            Temp_RecordPoint(channel, point, value, status);
            break;
        case kQuantityConductivity:
        case kQuantityResistivity:
            SetConductivityPoint(channel, q, point, value, status);
            break;
        case kQuantityOxygen: {
            // A zero calibration's point is the zero point, which the step calibrates from.
            uint32_t i = CalO2_PointOfStep(point, g_CalUnitSelector);
            CalO2_SetPointKind(channel, i, static_cast<uint8_t>(unit));
            if (Chan_GetMeasureFlag(channel) == 0) {
                // Under the hold of a process calibration the current was captured before; what
                // is entered now is the lab's value for it.
                CalO2_SetPointReference(channel, i, value);
            } else {
                CalO2_CapturePoint(channel, i, g_ChosenMode, value, status);
            }
            break;
        }
        case kQuantityMv:
        case kQuantityOrp:
        case kQuantityMvB:
            CalPh_CaptureOrpPoint(channel, value, status);
            break;
        case kQuantityOptical:
            SetOpticalPoint(point, value, unit, status);
            break;
        case kQuantityCo2:
            SetCo2Point(channel, point, value, unit, status);
            break;
        case kQuantityReference:
            CalPh_SetLimitPairValue(point, value);
            break;
        case kQuantityMeterOxygen:
            Link_RequestCalPoint(static_cast<uint8_t>(point), BoardKindOf(q), value, status);
            break;
        default:
            if (IsMeterQuantity(q)) {
                uint32_t ignored = 0;
                MeterCal_SetResistancePoint(point, value, &ignored);
                Link_RequestCalPoint(static_cast<uint8_t>(point), BoardKindOf(q), value, status);
            }
            break;
    }
}

// ---- Steps ------------------------------------------------------------------------------------------

// The kind flag and drift code a pH-family data set records.
static void MarkPhDataSet(uint32_t channel, uint32_t points) {
    CalDataSetRecord& set = g_CalDataSet[channel];
    uint8_t drift = Cal_GetDriftControl(channel);
    if (g_ChosenMode == kCalModeProcess) {
        set.b83 = kCalSetKindManual;
    } else {
        set.b83 = CalPh_GetBufferSet(channel) == kBufferSetNone ? kCalSetKindBufferSet8 : kCalSetKindNormal;
    }
    static const uint8_t kDriftCode[4] = {1, kCalDriftCodeManual, 0, 2};
    set.b84 = g_ChosenMode == kCalModeProcess || drift > kDriftLow ? kCalDriftCodeManual : kDriftCode[drift];
    set.b82 = static_cast<uint8_t>(points > 0 ? points - 1 : 0);
}

// After a pH-family calibration the present impedances at 25 C become the references: channel A
// keeps them in the store, channel B also in the sensor's data set (9999 when invalid).
static void TakeImpedanceReferences(uint32_t channel) {
    uint32_t status = 0;
    float glass = Meas_GetUnitValue13to18(channel, kUnitGlassOhm, &status);
    bool glassValid = status == 0;
    if (glassValid) CalPh_SetGlassImpedanceRef(channel, glass);
    bool pna = channel == 1 && g_SensorKindActive[1] == kKindOfPnaSensor;
    float second = Meas_GetUnitValue13to18(channel, pna ? kUnitPnaGlassOhm : kUnitReferenceOhm, &status);
    bool secondValid = status == 0;
    if (secondValid) {
        if (pna) {
            CalPh_SetPnaImpedanceRef(channel, second);
        } else {
            CalPh_SetRefImpedanceRef(channel, second);
        }
    }
    if (channel != 1) return;
    CalDataSetRecord& set = g_CalDataSet[1];
    set.v16 = glassValid ? glass / 1e6f : kCalSetImpedanceInvalid;
    set.v20 = secondValid ? (pna ? second / 1e6f : second / 1000.0f) : kCalSetImpedanceInvalid;
}

// Channel B's CO2 calibration goes into the sensor's memory, whose fields hold only this much.
static void JudgeCo2ForSensor(uint32_t* status) {
    CalInUseCo2& u = g_CalInUse[1].co2;
    float slope = std::fabs(u.slope);
    float zeroMv = (u.zero - kCo2IsoPoint) * u.slope;
    float offset = zeroMv - (kCo2IsoPoint - u.pointBuffer[0]) * (u.pointTemp[0] + kKelvin) * u.slope / kKelvin25;
    if (slope >= kCo2SlopeMax || slope <= kCo2SlopeMin || offset >= kCo2ZeroMax || offset <= kCo2ZeroMin ||
        !IsFinite(offset)) {
        *status = 1;
        // Nothing of the refused calibration stays in use.
        u.slope = g_SensorCal[1].first;
        u.zero = g_SensorCal[1].second;
    }
}

static void StepPhFamily(uint32_t channel, uint32_t q, uint32_t points, uint32_t* status) {
    MarkPhDataSet(channel, points);
    if (q == kQuantityPh) {
        CalPh_Calibrate(channel, points, status);
    } else if (g_ChosenMode == kCalModeProcess) {
        CalPh_CalibrateCo2Process(channel, status);
    } else {
        CalPh_CalibrateCo2(channel, points, status);
    }
    // A failed calibration changes nothing, the stored impedance references included.
    if (*status != 0) return;
    TakeImpedanceReferences(channel);
    if (q == kQuantityCo2 && channel == 1) JudgeCo2ForSensor(status);
}

static void StepOptical(uint32_t* status) {
    if (Meas_CheckCalDue(1)) {
        *status = kStatusOver;
        return;
    }
    SensorParamRecord& p = g_SensorParams[1];
    p.s112Mode = kSensS112Step;
    p.p[kSensParamStepValue] = Meas_GetFieldFloat(1, kOpticalFieldStep);
    Link_QueueItem(kSensCmdS112);
}

void Cal_StepById(uint32_t id, uint32_t points, uint32_t option, uint32_t* status) {
    *status = 0;
    if (IsOutputId(id)) {
        Aout_CalFromPoints(id - kMeasIdOutput1, 4.0f, 20.0f, status);
        return;
    }
    uint32_t channel = Meas_GetIdChannel(id);
    if (channel >= 2 || id == kMeasIdAnalogInput) {
        if (channel >= 2) *status = kStatusOver;
        return;
    }
    uint32_t q = Meas_GetIdQuantity(id);
    switch (q) {
        case kQuantityPh:
        case kQuantityCo2:
            StepPhFamily(channel, q, points, status);
            break;
        case kQuantityTemperature:
            if (points == 1) {
                Temp_CalcOnePoint(channel, option, status);
            } else {
                Temp_CalcTwoPoint(channel, status);
            }
            break;
        case kQuantityConductivity:
        case kQuantityResistivity:
            g_CalDataSet[channel].b83 = kCalSetKindBufferSet8;
            g_CalDataSet[channel].b82 = static_cast<uint8_t>(points > 0 ? points - 1 : 0);
            if (points == 2) {
                CalCond_CalibrateTwoPoint(channel, status);
            } else {
                CalCond_CalibrateOnePoint(channel, status);
            }
            break;
        case kQuantityOxygen:
            CalO2_Calibrate(channel, option, g_ChosenMode, status);
            break;
        case kQuantityMv:
        case kQuantityOrp:
        case kQuantityMvB:
            CalPh_CalibrateOrp(channel, status);
            break;
        case kQuantityOptical:
            StepOptical(status);
            break;
        default:
            break;
    }
}

// ---- Results ----------------------------------------------------------------------------------------

void Cal_GetResultsById(uint32_t id, float* slope, float* offset, uint32_t* status) {
    *status = 0;
    *slope = 0.0f;
    *offset = 0.0f;
    uint32_t channel = Meas_GetIdChannel(id);
    if (channel >= 2) {
        *status = kStatusOver;
        return;
    }
    switch (IsChannelLess(id) ? UINT32_MAX : Meas_GetIdQuantity(id)) {
        case kQuantityPh: {
            float percent = CalPh_GetSlopeInUsePercent(channel);
            *slope = CalPh_GetSlopeUnitFlag(0) == 1 ? CalPh_SlopeAtTemperature(percent, 25.0f) / 100.0f : percent;
            *offset = CalPh_GetOffsetUnitFlag(0) == 1 ? g_CalInUse[channel].ph.zero : CalPh_GetZeroPointInUse(channel);
            break;
        }
        case kQuantityTemperature:
            *slope = Temp_GetSlope(channel);
            *offset = Temp_GetOffset(channel);
            break;
        case kQuantityConductivity:
        case kQuantityResistivity:
            *slope = g_CalInUse[channel].cond.cellConstant;
            *offset = g_CalInUse[channel].cond.zeroOffset;
            break;
        case kQuantityOxygen:
            *slope = -CalO2_GetSlopeInUseAtAir(channel);
            *offset = -CalO2_GetZeroInUseMicro(channel);
            break;
        case kQuantityMv:
        case kQuantityOrp:
        case kQuantityMvB:
            *slope = 1.0f;
            *offset = CalPh_GetOrpOffsetInUse(channel);
            break;
        case kQuantityOptical:
            *slope = g_SensorParams[1].p[kSensParamResult1];
            *offset = g_SensorParams[1].p[kSensParamResult2];
            break;
        case kQuantityCo2: {
            float zero = CalPh_GetCo2ZeroInUse(channel);
            *slope = CalPh_GetSlopeUnitFlag(0) == 1 ? CalPh_GetCo2SlopeInUse(channel)
                                                    : CalPh_GetCo2SlopeInUsePercent(channel);
            *offset = CalPh_GetOffsetUnitFlag(0) == 1 ? CalPh_ZeroPhToMvB(channel, zero) : zero;
            break;
        }
        default:
            break;
    }
    if (!IsFinite(*slope)) *slope = 0.0f;
    if (!IsFinite(*offset)) *offset = 0.0f;
}

// ---- Saving -----------------------------------------------------------------------------------------

static void StoreKind(uint32_t channel, uint32_t q, uint32_t* status) {
    switch (q) {
        case kQuantityPh:
            CalPh_StoreCal(channel, status);
            break;
        case kQuantityConductivity:
        case kQuantityResistivity:
            CalCond_StoreCal(channel, status);
            break;
        case kQuantityOxygen:
            CalO2_StoreCal(channel, status);
            break;
        case kQuantityCo2:
            CalPh_StoreCo2Cal(channel, status);
            break;
        default:
            break;
    }
}

static void FillDataSet(uint32_t channel, uint32_t q, CalDataSetRecord* set) {
    Rtc_GetTime(&set->date);
    switch (q) {
        case kQuantityPh:
            CalPh_FillDataSet(channel, set);
            break;
        case kQuantityConductivity:
        case kQuantityResistivity:
            CalCond_FillDataSet(channel, set);
            break;
        case kQuantityOxygen:
            CalO2_FillDataSet(channel, set);
            break;
        case kQuantityCo2:
            CalPh_FillCo2DataSet(channel, set);
            break;
        default:
            break;
    }
}

// Channel B's sensor keeps its own calibration: the local store, then the sensor's memory as the
// calibration in use, or (calibrate only) as history with the sensor's own calibration put back.
// Either way the save's last step puts into use what the sensor now holds as its calibration in
// use: its fields keep points to a tenth of a millivolt and buffers to a thousandth of a pH, so a
// slope and zero taken back from them can differ from the computed ones in their last digit, and
// what is in use must be what the sensor gives back when it is plugged again or the program starts.
static void SaveKindCal(uint32_t channel, uint32_t q, uint32_t* status) {
    bool calibrateOnly = s_CalibrateOnly[channel] != 0;
    if (channel == 0) {
        if (!calibrateOnly) StoreKind(channel, q, status);
        return;
    }
    StoreKind(channel, q, status);
    CalDataSetRecord& set = g_CalDataSet[channel];
    FillDataSet(channel, q, &set);
    if (calibrateOnly) {
        SensMem_StoreCalHistory(channel, &set);
    } else {
        SensMem_StoreCalibration(channel, &set);
    }
    g_ApplySensorCal = 1;
}

static void SaveById(uint32_t id, uint32_t* status) {
    *status = 0;
    if (!IsChannelLess(id)) g_SensorParamSavePending = 1;
    if (IsOutputId(id)) {
        Aout_AcceptCalibration(id - kMeasIdOutput1, status);
        Chan_ApplySensorCalData();
        return;
    }
    if (id == kMeasIdAnalogInput) {
        Link_RequestCalSave(0, kSaveCodeAnalogInput);
        Chan_ApplySensorCalData();
        return;
    }
    uint32_t channel = Meas_GetIdChannel(id);
    if (channel >= 2) {
        *status = kStatusOver;
        return;
    }
    bool calibrateOnly = s_CalibrateOnly[channel] != 0;
    bool sensorImage = channel == 1 && g_SensorImageValid[1] != 0;
    uint32_t q = Meas_GetIdQuantity(id);
    switch (q) {
        case kQuantityPh:
        case kQuantityConductivity:
        case kQuantityResistivity:
        case kQuantityOxygen:
        case kQuantityCo2:
            SaveKindCal(channel, q, status);
            break;
        case kQuantityTemperature:
            if (!calibrateOnly) Temp_StoreCal(channel, status);
            break;
        case kQuantityMv:
            if (!calibrateOnly) CalPh_StoreOrpCal(channel, status);
            break;
        case kQuantityOrp:
            if (!calibrateOnly) CalPh_StoreOrpCal(channel, status);
            if (sensorImage) {
                if (calibrateOnly) {
                    SensMem_StoreSlopeCopy(channel);
                } else {
                    SensMem_StoreSlope(channel);
                }
            }
            break;
        case kQuantityOptical:
            g_SensorParams[1].s112Mode = calibrateOnly ? kSensS112CalibrateOnly : kSensS112Adopt;
            Link_QueueItem(kSensCmdS112);
            break;
        default:
            if (IsMeterQuantity(q) || q == kQuantityMeterOxygen) Link_RequestCalSave(0, BoardKindOf(q));
            break;
    }
    Chan_ApplySensorCalData();
}

// One calibration's values reach the store together: a program killed while they are written
// finds all of them at the next start, or none.
void Cal_SaveById(uint32_t id, uint32_t* status) {
    Eeprom_BeginCommit();
    SaveById(id, status);
    uint32_t stored = 0;
    Eeprom_EndCommit(&stored);
    if (*status == 0 && stored != 0) *status = stored;
}
