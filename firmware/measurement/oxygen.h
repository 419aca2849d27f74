// Amperometric oxygen calibration and the analog current input that can supply the pressure.
#pragma once
#include <cstdint>

struct CalDataSetRecord;

// Oxygen values from the base value (the temperature-corrected current) and a pressure in mbar.
float CalO2_ToSaturation(uint32_t channel, uint32_t unit, float base, float pressure, uint32_t* status);
float CalO2_ToUnit21(uint32_t channel, float base, float pressure, uint32_t* status);
float CalO2_ToUnit22(uint32_t channel, float base, float pressure, uint32_t* status);
float CalO2_ToConcentration(uint32_t channel, float base, uint32_t* status);
void CalO2_LoadAll(uint32_t channel, uint32_t mode, uint32_t* status);
// Process pressure in mbar.
float CalO2_GetProcPressure(uint32_t channel);
void CalO2_SetProcPressure(uint32_t channel, float value, uint32_t* status);
// Calibration pressure in mbar and relative humidity (fraction) as the sensor reports them.
void CalO2_SetCalPressure(uint32_t channel, float value, uint32_t* status);
void CalO2_SetRelHumidity(uint32_t channel, float value, uint32_t* status);
// Limit i (0..5) of the channel's kind-8 limit set; 4 and 5 bound the kind-8 signal.
float CalO2_GetKind8Limit(uint32_t channel, uint32_t i);

// Medium parameters as a calibration page edits them (RAM only), and their readers.
void CalO2_SetRelHumidityRam(uint32_t channel, float value);
void CalO2_SetCalPressureRam(uint32_t channel, float value);
void CalO2_SetPressureSourceRam(uint32_t channel, uint8_t source);
float CalO2_GetRelHumidity(uint32_t channel);
float CalO2_GetCalPressure(uint32_t channel);
// Reads the channel's medium parameters and pressure source back from the store.
void CalO2_ReloadChannel(uint32_t channel);
// The pressure a calibration uses, mbar.
float CalO2_GetPressureForCal(uint32_t channel);
// Values of calibration point i: concentration, gas fraction and saturation.
float CalO2_GetValueForCal(uint32_t channel, uint32_t i, uint32_t* status);
float CalO2_ToUnitForCal(uint32_t channel, uint32_t i, float pressure, uint32_t* status);
float CalO2_ToSaturationForCal(uint32_t channel, uint32_t unit, uint32_t i, float pressure, uint32_t* status);
// Calibration points: kind, current, and the capture from the calibration filters.
void CalO2_SetPointKind(uint32_t channel, uint32_t i, uint8_t kind);
void CalO2_SetPointCurrent(uint32_t channel, uint32_t i, float current);
float CalO2_GetPointCurrent(uint32_t channel, uint32_t i);
void CalO2_CapturePoint(uint32_t channel, uint32_t i, uint32_t mode, float reference, uint32_t* status);
// Slope (point 0) or zero (point 1) calibration into the in-use record.
void CalO2_Calibrate(uint32_t channel, uint32_t point, uint32_t mode, uint32_t* status);
void CalO2_StoreCal(uint32_t channel, uint32_t* status);
void CalO2_FillDataSet(uint32_t channel, CalDataSetRecord* record);
// In-use slope at air and zero current in microamperes, as the pages show them.
float CalO2_GetSlopeInUseAtAir(uint32_t channel);
float CalO2_GetZeroInUseMicro(uint32_t channel);

// Analog input: mode (1 supplies the pressure), range ends (0 low, 1 high).
uint8_t Meas_GetAnalogInputMode();
void Meas_SetAnalogInputMode(uint8_t mode, uint32_t* status);
float Meas_GetAnalogInputRange(uint32_t i);
void Meas_SetAnalogInputRange(uint32_t i, float value, uint32_t* status);
float Meas_GetInputPressure(uint32_t channel);
float Meas_GetO2ProcessPressure(uint32_t channel);
void CalO2_SetSalinity(uint32_t channel, float value, uint32_t* status);
// Takes a sensor's data set into use; status 2 when it cannot.
void CalO2_ApplyDataSet(uint32_t channel, const CalDataSetRecord* record, uint32_t* status);
