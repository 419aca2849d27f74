// CO2 chemistry: the dissolved-CO2 sensor's electrode calibration (slope in mV/pH, zero point in
// pH, isothermal point 7.0), its medium, and the values computed through the carbonic-acid
// equilibrium.
#pragma once
#include <cstdint>

struct CalDataSetRecord;

// A CO2 calibration was not stored completely.
constexpr uint32_t kCo2NotStored = 116;

float CalPh_GetCo2ElectrodePh(uint32_t channel, float mv, float t, uint32_t* status);
float CalPh_GetCo2Percent(uint32_t channel, float mv, float t, uint32_t* status);
// Bar.
float CalPh_GetCo2PartialPressure(uint32_t channel, float mv, float t, uint32_t* status);
// Mol/L.
float CalPh_GetCo2Dissolved(uint32_t channel, float mv, float t, uint32_t* status);
void CalPh_LoadCo2Settings(uint32_t channel, uint32_t mode, uint32_t* status);

// Electrode calibration: slope in mV/pH and in percent, zero point in pH; the zero as shown in mV.
float CalPh_GetCo2SlopeInUse(uint32_t channel);
float CalPh_GetCo2SlopeInUsePercent(uint32_t channel);
float CalPh_GetCo2ZeroInUse(uint32_t channel);
float CalPh_ZeroPhToMvB(uint32_t channel, float ph);
// Calibration points: captured from the calibration filters (the buffer unless mode is 2),
// their references, and the process value of a process calibration.
void CalPh_CaptureCo2Point(uint32_t channel, uint32_t i, uint32_t mode, float buffer, uint32_t* status);
float CalPh_GetCo2PointRef(uint32_t channel, uint32_t i);
void CalPh_SetCo2PointRef(uint32_t channel, uint32_t i, float buffer, uint32_t* status);
void CalPh_SetCo2PointValue(uint32_t channel, uint32_t unit, float value, uint32_t* status);
float CalPh_GetCo2ProcessValue(uint32_t channel);
void CalPh_CalibrateCo2(uint32_t channel, uint32_t points, uint32_t* status);
void CalPh_CalibrateCo2Process(uint32_t channel, uint32_t* status);
// Stores the in-use calibration; any failure gives 116.
void CalPh_StoreCo2Cal(uint32_t channel, uint32_t* status);
void CalPh_FillCo2DataSet(uint32_t channel, CalDataSetRecord* record);
void CalPh_ApplyCo2DataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status);
// The CO2 electrolyte: salinity and bicarbonate (RAM and store).
void CalPh_SetCo2Salinity(uint32_t channel, float value, uint32_t* status);
void CalPh_SetCo2Bicarbonate(uint32_t channel, float value, uint32_t* status);
