// CO2 chemistry: the dissolved-CO2 sensor's electrode calibration (slope in mV/pH, zero point in
// pH, isothermal point 7.0), its medium (bicarbonate, salinity, pressure), and the values computed
// through the carbonic-acid equilibrium; the one- and two-point buffer calibration and the
// one-point process calibration against a known CO2 value. The chemistry that needs no
// calibration data is in co2_chem.h.
#pragma once
#include <cstdint>

struct CalDataSetRecord;
struct StoreMap;

// The settings-store ranges of the CO2 settings.
extern const StoreMap g_Co2StoreMap;

// A CO2 calibration was not stored completely.
constexpr uint32_t kCo2NotStored = 116;
// The CO2 electrode's isothermal point, pH.
constexpr float kCo2IsoPoint = 7.0f;

// ---- Electrode calibration ----------------------------------------------------------------------
// Stored slope in mV/pH (59.16 = 100 %); the setters write the stored and the in-use slope and the
// store.
float CalPh_GetCo2SlopeMv(uint32_t channel);
void CalPh_SetCo2SlopeMv(uint32_t channel, float mvPerPh, uint32_t* status);
// The same in percent of 59.16 mV/pH; a percentage of zero is refused with status 2.
float CalPh_GetCo2SlopePercent(uint32_t channel);
void CalPh_SetCo2SlopePercent(uint32_t channel, float percent, uint32_t* status);
float CalPh_GetCo2SlopeInUse(uint32_t channel);
float CalPh_GetCo2SlopeInUsePercent(uint32_t channel);
// Stored zero point in pH (at 25 C); the setters write the stored and the in-use zero and the
// store. From mV: zero = mV / 59.16 + 7.0.
float CalPh_GetCo2Zero(uint32_t channel);
void CalPh_SetCo2Zero(uint32_t channel, float ph, uint32_t* status);
void CalPh_SetCo2ZeroFromMv(uint32_t channel, float mv, uint32_t* status);
float CalPh_GetCo2ZeroInUse(uint32_t channel);
// A zero point shown in mV: (pH - 7) x the stored slope, or (B) the in-use slope.
float CalPh_ZeroPhToMv(uint32_t channel, float ph);
float CalPh_ZeroPhToMvB(uint32_t channel, float ph);
// Slope (mV/pH, at least 1e-9 in magnitude) and zero point (pH) at t degrees C.
float CalPh_GetCo2SlopeAtTemp(uint32_t channel, float t);
float CalPh_GetCo2ZeroAtTemp(uint32_t channel, float t);

// ---- Values from the electrode voltage (mV) and the temperature ----------------------------------
// The electrode's pH (the pH reading of a CO2 channel).
float CalPh_GetCo2ElectrodePh(uint32_t channel, float mv, float t, uint32_t* status);
// Dissolved CO2 in mol/L; status 3 and 0.0 below 0.
float CalPh_GetCo2Dissolved(uint32_t channel, float mv, float t, uint32_t* status);
// Partial pressure in bar: status 3 and 0.0 below 0, status 2 and 2.0 above 2 bar.
float CalPh_GetCo2PartialPressure(uint32_t channel, float mv, float t, uint32_t* status);
// CO2 in percent of the dry gas: status 3 and 0.0 below 0, status 2 and 200.0 above 200 %.
float CalPh_GetCo2Percent(uint32_t channel, float mv, float t, uint32_t* status);

// ---- Medium ---------------------------------------------------------------------------------------
// Total gas pressure (mbar), salinity and bicarbonate (mol/L) of the electrolyte; the setters
// write RAM and the store.
float CalPh_GetCo2Pressure(uint32_t channel);
void CalPh_SetCo2Pressure(uint32_t channel, float mbar, uint32_t* status);
float CalPh_GetCo2Salinity(uint32_t channel);
void CalPh_SetCo2Salinity(uint32_t channel, float salinity, uint32_t* status);
float CalPh_GetCo2Bicarbonate(uint32_t channel);
void CalPh_SetCo2Bicarbonate(uint32_t channel, float molPerLitre, uint32_t* status);

// ---- Calibration ----------------------------------------------------------------------------------
// Captures point i from the calibration filters; unless mode is 2 (process) the buffer is taken.
void CalPh_CaptureCo2Point(uint32_t channel, uint32_t i, uint32_t mode, float buffer, uint32_t* status);
// Buffer pH of point i; the setter stores it.
float CalPh_GetCo2PointRef(uint32_t channel, uint32_t i);
void CalPh_SetCo2PointRef(uint32_t channel, uint32_t i, float buffer, uint32_t* status);
// The reference of a process calibration as entered in its unit (33 %, 34/35 hPa or mbar, 36 mmHg,
// 37 mg/L), and as the CO2 partial pressure in mbar it stands for.
void CalPh_SetCo2PointValue(uint32_t channel, uint32_t unit, float value, uint32_t* status);
float CalPh_GetCo2ProcessValue(uint32_t channel);
// One- or two-point buffer calibration into the in-use record; a failure leaves it at the stored
// values with status 2.
void CalPh_CalibrateCo2(uint32_t channel, uint32_t points, uint32_t* status);
// Zero from point 0 and the process partial pressure; a reference that gives no hydrogen-ion
// activity (or no number) fails with status 2 and leaves the in-use calibration as it was.
void CalPh_CalibrateCo2Process(uint32_t channel, uint32_t* status);
// Stores the in-use slope and zero, the process value and both point buffers; any failure
// gives 116.
void CalPh_StoreCo2Cal(uint32_t channel, uint32_t* status);
// The exchange with a digital CO2 sensor's calibration data set.
void CalPh_FillCo2DataSet(uint32_t channel, CalDataSetRecord* record);
void CalPh_ApplyCo2DataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status);

// ---- Load and defaults ----------------------------------------------------------------------------
// Channel B's pressure back to 1000 mbar, stored.
void CalPh_DefaultCo2Pressure(uint32_t* status);
// Mode 1: the channel's calibration (when its kind becomes CO2); any other mode: channel B's
// medium and the pH unit flags (at start-up).
void CalPh_LoadCo2Settings(uint32_t channel, uint32_t mode, uint32_t* status);
