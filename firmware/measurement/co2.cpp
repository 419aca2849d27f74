// The dissolved-CO2 sensor: electrode calibration, medium, and CO2 values through the
// carbonic-acid equilibrium.
#include "measurement/co2.h"

#include <cmath>

#include "core/eeprom.h"
#include "core/util.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/co2_chem.h"
#include "measurement/meas.h"
#include "measurement/ph.h"

// Settings store places; "+ ch" per channel.
static constexpr uint32_t kStoreProcessValue = 487;  // + 4 x ch
static constexpr uint32_t kStorePressure = 495;      // + 4 x ch, mbar
static constexpr uint32_t kStoreSalinity = 503;      // + 4 x ch
static constexpr uint32_t kStoreBicarbonate = 511;   // + 4 x ch, mol/L
static constexpr uint32_t kStoreSlope = 529;         // + 4 x ch, mV/pH
static constexpr uint32_t kStoreZero = 537;          // + 4 x ch, pH
static constexpr uint32_t kStorePointBuffer = 545;   // + 8 x ch + 4 x point
static constexpr StoreRange kStoreRanges[] = {
    {kStoreProcessValue, 8}, {kStorePressure, 8}, {kStoreSalinity, 8},     {kStoreBicarbonate, 8},
    {kStoreSlope, 8},        {kStoreZero, 8},     {kStorePointBuffer, 16},
};
const StoreMap g_Co2StoreMap = {"CO2", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

// Factory values.
static constexpr float kDefaultSlope = 59.16f;  // mV/pH, 100 %
static constexpr float kDefaultZero = 7.0f;
static constexpr float kDefaultProcessValue = 1000.0f;
static constexpr float kDefaultBuffer0 = 7.0f;
static constexpr float kDefaultBuffer1 = 9.21f;
static constexpr float kDefaultPressure = 1000.0f;
static constexpr float kDefaultSalinity = 28.0f;
static constexpr float kDefaultBicarbonate = 0.05f;

static constexpr float kKelvin = 273.15f;
static constexpr float kKelvin25 = 298.15f;
static constexpr float kLn10 = 2.302585093f;
static constexpr float kTiny = 1e-9f;
// Largest partial pressure (bar) and percentage the sensor reads.
static constexpr float kPartialPressureMax = 2.0f;
static constexpr float kPartialPressureLimit = 2.00001f;
static constexpr float kPercentMax = 200.0f;
static constexpr float kPercentLimit = 200.00001f;
// Units of a process calibration's reference.
static constexpr uint32_t kUnitPercent = 33;
static constexpr uint32_t kUnitMmHg = 36;
static constexpr uint32_t kUnitMgPerLitre = 37;
static constexpr float kMbarPerMmHg = 1.3332237f;
static constexpr float kCo2MolarMass = 44.0f;  // g/mol
static constexpr float kDataSetTemperature = 25.0f;

static bool IsFinite(float value) { return Util_ClassifyFloat(value) < kFloatPlusInfinity; }
static bool IsChannel(uint32_t channel) { return channel < 2; }

// Below 1e-9 in magnitude a divisor is taken as 1e-9.
static float AtLeastTiny(float divisor) { return std::fabs(divisor) < kTiny ? kTiny : divisor; }

// ---- Electrode calibration ----------------------------------------------------------------------

float CalPh_GetCo2SlopeMv(uint32_t channel) { return IsChannel(channel) ? g_SensorCal[channel].first : kDefaultSlope; }

void CalPh_SetCo2SlopeMv(uint32_t channel, float mvPerPh, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].first, &g_CalInUse[channel].co2.slope, kStoreSlope + 4 * channel, mvPerPh,
                    status);
}

float CalPh_GetCo2SlopePercent(uint32_t channel) { return CalPh_GetCo2SlopeMv(channel) * 100.0f / kNernstSlope; }

void CalPh_SetCo2SlopePercent(uint32_t channel, float percent, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    // A zero slope would make every CO2 value infinite.
    if (Util_ClassifyFloat(percent) != kFloatFinite) {
        *status = kStatusOver;
        return;
    }
    CalPh_SetCo2SlopeMv(channel, percent * kNernstSlope / 100.0f, status);
}

float CalPh_GetCo2SlopeInUse(uint32_t channel) {
    return IsChannel(channel) ? g_CalInUse[channel].co2.slope : kDefaultSlope;
}

float CalPh_GetCo2SlopeInUsePercent(uint32_t channel) {
    return CalPh_GetCo2SlopeInUse(channel) * 100.0f / kNernstSlope;
}

float CalPh_GetCo2Zero(uint32_t channel) { return IsChannel(channel) ? g_SensorCal[channel].second : kDefaultZero; }

void CalPh_SetCo2Zero(uint32_t channel, float ph, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].second, &g_CalInUse[channel].co2.zero, kStoreZero + 4 * channel, ph, status);
}

void CalPh_SetCo2ZeroFromMv(uint32_t channel, float mv, uint32_t* status) {
    CalPh_SetCo2Zero(channel, mv / kNernstSlope + kCo2IsoPoint, status);
}

float CalPh_GetCo2ZeroInUse(uint32_t channel) {
    return IsChannel(channel) ? g_CalInUse[channel].co2.zero : kDefaultZero;
}

float CalPh_ZeroPhToMv(uint32_t channel, float ph) { return (ph - kCo2IsoPoint) * CalPh_GetCo2SlopeMv(channel); }

float CalPh_ZeroPhToMvB(uint32_t channel, float ph) { return (ph - kCo2IsoPoint) * CalPh_GetCo2SlopeInUse(channel); }

float CalPh_GetCo2SlopeAtTemp(uint32_t channel, float t) {
    return AtLeastTiny(CalPh_GetCo2SlopeMv(channel) * (t + kKelvin) / kKelvin25);
}

float CalPh_GetCo2ZeroAtTemp(uint32_t channel, float t) {
    return (CalPh_GetCo2Zero(channel) - kCo2IsoPoint) * kKelvin25 / (t + kKelvin) + kCo2IsoPoint;
}

// ---- Values -------------------------------------------------------------------------------------

// The electrode reads 7.0 - (E - zero in mV) / s(T). The zero enters as the voltage at pH 7 at
// 25 C, (zero - 7) x slope, the conversion the data sets use; at 25 C this is the pH that the
// dissolved-CO2 computation takes for the electrode.
float CalPh_GetCo2ElectrodePh(uint32_t channel, float mv, float t, uint32_t* status) {
    *status = 0;
    if (Cal_NoChannel(channel, status)) return 0.0f;
    float slope = CalPh_GetCo2SlopeMv(channel);
    float atTemperature = CalPh_SlopeAtTemperature(slope / kNernstSlope, t);
    if (!(std::fabs(atTemperature) >= kTiny)) {
        *status = kStatusOver;
        return 0.0f;
    }
    float zeroMv = (CalPh_GetCo2Zero(channel) - kCo2IsoPoint) * slope;
    float ph = kCo2IsoPoint - (mv - zeroMv) / atTemperature;
    if (!IsFinite(ph)) {
        *status = kStatusOver;
        return 0.0f;
    }
    return ph;
}

float CalPh_GetCo2Dissolved(uint32_t channel, float mv, float t, uint32_t* status) {
    *status = 0;
    if (Cal_NoChannel(channel, status)) return 0.0f;
    // log10 of the hydrogen-ion activity at the electrode.
    float x = mv / CalPh_GetCo2SlopeAtTemp(channel, t) - CalPh_GetCo2ZeroAtTemp(channel, t);
    float k1 = CalPh_GetCarbonicK1(t, CalPh_GetCo2Salinity(channel));
    float dissolved = CalPh_GetCo2Bicarbonate(channel) * std::exp(x * kLn10) / k1;
    if (!IsFinite(dissolved)) {
        *status = kStatusOver;
        return 0.0f;
    }
    if (dissolved < 0.0f) {
        *status = kStatusUnder;
        return 0.0f;
    }
    return dissolved;
}

float CalPh_GetCo2PartialPressure(uint32_t channel, float mv, float t, uint32_t* status) {
    float dissolved = CalPh_GetCo2Dissolved(channel, mv, t, status);
    if (*status != 0) return 0.0f;
    float solubility = CalPh_GetCo2Solubility(t, status);
    if (*status != 0) return 0.0f;
    if (solubility < kTiny) solubility = kTiny;
    float bar = dissolved / solubility;
    if (bar < 0.0f) {
        *status = kStatusUnder;
        return 0.0f;
    }
    if (bar > kPartialPressureLimit) {
        *status = kStatusOver;
        return kPartialPressureMax;
    }
    return bar;
}

float CalPh_GetCo2Percent(uint32_t channel, float mv, float t, uint32_t* status) {
    // A partial pressure out of range is judged as it came (0.0 or 2.0).
    float value = CalPh_GetCo2PartialPressure(channel, mv, t, status);
    if (*status == 0) {
        float dryGas = AtLeastTiny(CalPh_GetCo2Pressure(channel) - CalPh_GetWaterVapourPressure(t));
        value = value * 100000.0f / dryGas;
    }
    if (value < 0.0f) {
        *status = kStatusUnder;
        return 0.0f;
    }
    if (value > kPercentLimit) {
        *status = kStatusOver;
        return kPercentMax;
    }
    return value;
}

// ---- Medium ---------------------------------------------------------------------------------------

float CalPh_GetCo2Pressure(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].co2Pressure : kDefaultPressure;
}

void CalPh_SetCo2Pressure(uint32_t channel, float mbar, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].co2Pressure, nullptr, kStorePressure + 4 * channel, mbar, status);
}

float CalPh_GetCo2Salinity(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].co2Salinity : kDefaultSalinity;
}

void CalPh_SetCo2Salinity(uint32_t channel, float salinity, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].co2Salinity, nullptr, kStoreSalinity + 4 * channel, salinity, status);
}

float CalPh_GetCo2Bicarbonate(uint32_t channel) {
    return IsChannel(channel) ? g_SensorCal[channel].bicarbonate : kDefaultBicarbonate;
}

void CalPh_SetCo2Bicarbonate(uint32_t channel, float molPerLitre, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    Eeprom_SetFloat(&g_SensorCal[channel].bicarbonate, nullptr, kStoreBicarbonate + 4 * channel, molPerLitre, status);
}

// ---- Calibration ----------------------------------------------------------------------------------

void CalPh_CaptureCo2Point(uint32_t channel, uint32_t i, uint32_t mode, float buffer, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    CalInUseCo2& u = g_CalInUse[channel].co2;
    CalPh_CaptureElectrodePoint(u.pointMv, u.pointTemp, u.pointBuffer, i, mode, buffer, status);
}

float CalPh_GetCo2PointRef(uint32_t channel, uint32_t i) {
    return IsChannel(channel) && i < 2 ? g_CalInUse[channel].co2.pointBuffer[i] : 0.0f;
}

void CalPh_SetCo2PointRef(uint32_t channel, uint32_t i, float buffer, uint32_t* status) {
    if (Cal_NoPoint(channel, i, status)) return;
    Eeprom_SetFloat(&g_CalInUse[channel].co2.pointBuffer[i], nullptr, kStorePointBuffer + 8 * channel + 4 * i, buffer,
                    status);
}

void CalPh_SetCo2PointValue(uint32_t channel, uint32_t unit, float value, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    CalInUseCo2& u = g_CalInUse[channel].co2;
    float t = u.pointTemp[0];
    float mbar = value;
    if (unit == kUnitPercent) {
        mbar = value * (CalPh_GetCo2Pressure(channel) - CalPh_GetWaterVapourPressure(t)) / 100.0f;
    } else if (unit == kUnitMmHg) {
        mbar = value * kMbarPerMmHg;
    } else if (unit == kUnitMgPerLitre) {
        float solubility = CalPh_GetCo2Solubility(t, status);
        if (*status != 0) return;
        mbar = value / (AtLeastTiny(solubility) * kCo2MolarMass);
    }
    if (!IsFinite(mbar)) {
        *status = kStatusOver;
        return;
    }
    u.processValue = value;
    u.processPressure = mbar;
}

float CalPh_GetCo2ProcessValue(uint32_t channel) {
    return IsChannel(channel) ? g_CalInUse[channel].co2.processValue : kDefaultProcessValue;
}

void CalPh_CalibrateCo2(uint32_t channel, uint32_t points, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    const SensorCalRecord& s = g_SensorCal[channel];
    CalInUseCo2& u = g_CalInUse[channel].co2;
    u.slope = s.first;
    u.zero = s.second;
    if (points != 1 && points != 2) {
        *status = kStatusOver;
        return;
    }
    float k0 = u.pointTemp[0] + kKelvin;
    float slope = u.slope;
    if (points == 2) {
        float mvPerPh = 0.0f;
        if (!CalPh_TwoPointMvPerPh(u.pointMv, u.pointTemp, u.pointBuffer, kCo2IsoPoint, &mvPerPh)) {
            *status = kStatusOver;
            return;
        }
        slope = -mvPerPh;
    }
    // The voltage at pH 7 and 25 C, then the zero point it means.
    float zeroMv = u.pointMv[0] - slope * k0 * (kCo2IsoPoint - u.pointBuffer[0]) / kKelvin25;
    float zero = std::fabs(slope) >= kTiny ? zeroMv / slope + kCo2IsoPoint : NAN;
    if (!IsFinite(slope) || !IsFinite(zero)) {
        *status = kStatusOver;
        return;
    }
    u.slope = slope;
    u.zero = zero;
}

void CalPh_CalibrateCo2Process(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    CalInUseCo2& u = g_CalInUse[channel].co2;
    float t = u.pointTemp[0];
    float solubility = CalPh_GetCo2Solubility(t, status);
    if (*status != 0) return;
    float k = CalPh_GetCarbonicK1(t, CalPh_GetCo2Salinity(channel)) * solubility;
    // The hydrogen-ion activity that the reference's partial pressure means for the electrolyte.
    float h = u.processPressure * k / 1000.0f / AtLeastTiny(CalPh_GetCo2Bicarbonate(channel));
    float atTemperature = u.pointMv[0] / CalPh_GetCo2SlopeAtTemp(channel, t);
    // A reference of no CO2 (or a negative one) has no logarithm: nothing is calibrated.
    if (!(h > 0.0f) || !IsFinite(h)) {
        *status = kStatusOver;
        return;
    }
    float zeroAtT = atTemperature - std::log10(h);
    float zero = (zeroAtT - kCo2IsoPoint) * (t + kKelvin) / kKelvin25 + kCo2IsoPoint;
    if (!IsFinite(zero)) {
        *status = kStatusOver;
        return;
    }
    u.zero = zero;
    u.pointBuffer[0] = zero;
    u.slope = g_SensorCal[channel].first;
}

void CalPh_StoreCo2Cal(uint32_t channel, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    const CalInUseCo2& u = g_CalInUse[channel].co2;
    // The setters write the in-use copy too, so keep what is to be stored first.
    float slope = u.slope;
    float zero = u.zero;
    float processValue = u.processValue;
    float buffer0 = u.pointBuffer[0];
    float buffer1 = u.pointBuffer[1];
    uint32_t result = 0, step = 0;
    CalPh_SetCo2SlopeMv(channel, slope, &step);
    Eeprom_Chain(&result, step);
    CalPh_SetCo2Zero(channel, zero, &step);
    Eeprom_Chain(&result, step);
    if (result == 0) {
        Eeprom_WriteFloat(kStoreProcessValue + 4 * channel, processValue, &step);
        Eeprom_Chain(&result, step);
    }
    Eeprom_WriteFloat(kStorePointBuffer + 8 * channel, buffer0, &step);
    Eeprom_Chain(&result, step);
    Eeprom_WriteFloat(kStorePointBuffer + 8 * channel + 4, buffer1, &step);
    Eeprom_Chain(&result, step);
    *status = result != 0 ? kCo2NotStored : 0;
}

// The record's fields for a CO2 sensor: v0 the isothermal point, v4 and v8 the points' mV at 25 C
// (v4 by the calibration, v8 referred from its measurement), v60 and v64 their buffers, v48 and
// v52 their temperatures (25.0), v40 the slope in mV/pH and v44 the zero in mV.
void CalPh_FillCo2DataSet(uint32_t channel, CalDataSetRecord* record) {
    if (!IsChannel(channel)) return;
    const CalInUseCo2& u = g_CalInUse[channel].co2;
    float zeroMv = (u.zero - kCo2IsoPoint) * CalPh_GetCo2SlopeMv(channel);
    record->v0 = kCo2IsoPoint;
    record->v4 = zeroMv - (kCo2IsoPoint - u.pointBuffer[0]) * -u.slope;
    record->v8 = CalPh_PointMvAt25(u.pointMv[1], zeroMv, u.pointTemp[1]);
    record->v60 = u.pointBuffer[0];
    record->v64 = u.pointBuffer[1];
    record->v48 = kDataSetTemperature;
    record->v52 = kDataSetTemperature;
    record->v40 = u.slope;
    record->v44 = zeroMv;
    CalPh_MakeUpSecondPoint(record, -u.slope, kCo2IsoPoint);
}

void CalPh_ApplyCo2DataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status) {
    if (Cal_NoChannel(channel, status)) return;
    float fraction = 0.0f, zeroPoint = 0.0f;
    CalPh_CalibrateFromDataSet(record, &fraction, &zeroPoint);
    // A set that gives no slope, or no number, would leave the channel without a usable CO2 value.
    if (Util_ClassifyFloat(fraction) != kFloatFinite || !IsFinite(zeroPoint)) {
        *status = kStatusOver;
        return;
    }
    CalInUseCo2& u = g_CalInUse[channel].co2;
    CalPh_TakeDataSetPoints(record, u.pointMv, u.pointTemp, u.pointBuffer);
    CalPh_SetGlassImpedanceRef(channel, record->v16 * 1e6f);
    CalPh_SetRefImpedanceRef(channel, record->v20 * 1000.0f);
    uint32_t result = 0, step = 0;
    CalPh_SetCo2SlopeMv(channel, fraction * kNernstSlope, &step);
    Eeprom_Chain(&result, step);
    CalPh_SetCo2Zero(channel, zeroPoint, &step);
    Eeprom_Chain(&result, step);
    *status = result;
}

// ---- Load and defaults ----------------------------------------------------------------------------

void CalPh_DefaultCo2Pressure(uint32_t* status) { CalPh_SetCo2Pressure(1, kDefaultPressure, status); }

static void LoadCalibration(uint32_t channel, uint32_t* status) {
    float slope = kDefaultSlope, zero = kDefaultZero, processValue = kDefaultProcessValue;
    float buffer0 = kDefaultBuffer0, buffer1 = kDefaultBuffer1;
    bool failed = false;
    Eeprom_LoadFloat(kStoreSlope + 4 * channel, &slope, &failed);
    Eeprom_LoadFloat(kStoreZero + 4 * channel, &zero, &failed);
    Eeprom_LoadFloat(kStoreProcessValue + 4 * channel, &processValue, &failed);
    Eeprom_LoadFloat(kStorePointBuffer + 8 * channel, &buffer0, &failed);
    Eeprom_LoadFloat(kStorePointBuffer + 8 * channel + 4, &buffer1, &failed);
    *status = 0;
    if (failed) {
        slope = kDefaultSlope;
        zero = kDefaultZero;
        processValue = kDefaultProcessValue;
        buffer0 = kDefaultBuffer0;
        buffer1 = kDefaultBuffer1;
        *status = kStoreFloatNotFinite;
    }
    SensorCalRecord& s = g_SensorCal[channel];
    CalInUseCo2& u = g_CalInUse[channel].co2;
    s.first = slope;
    s.second = zero;
    u.slope = slope;
    u.zero = zero;
    u.processValue = processValue;
    u.pointBuffer[0] = buffer0;
    u.pointBuffer[1] = buffer1;
}

void CalPh_LoadCo2Settings(uint32_t channel, uint32_t mode, uint32_t* status) {
    if (mode == 1) {
        if (Cal_NoChannel(channel, status)) return;
        LoadCalibration(channel, status);
        return;
    }
    // Only channel B takes a CO2 sensor of its own; channel A keeps the factory medium.
    SensorCalRecord& s = g_SensorCal[1];
    float pressure = kDefaultPressure, salinity = kDefaultSalinity, bicarbonate = kDefaultBicarbonate;
    bool failed = false;
    Eeprom_LoadFloat(kStorePressure + 4, &pressure, &failed);
    Eeprom_LoadFloat(kStoreSalinity + 4, &salinity, &failed);
    Eeprom_LoadFloat(kStoreBicarbonate + 4, &bicarbonate, &failed);
    if (failed) {
        pressure = kDefaultPressure;
        salinity = kDefaultSalinity;
        bicarbonate = kDefaultBicarbonate;
    }
    s.co2Pressure = pressure;
    s.co2Salinity = salinity;
    s.bicarbonate = bicarbonate;
    CalPh_LoadUnitFlags(status);
}
