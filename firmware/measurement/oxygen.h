// Amperometric oxygen calibration and the analog current input that can supply the pressure.
#pragma once
#include <cstdint>

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

// Analog input: mode (1 supplies the pressure), range ends (0 low, 1 high).
uint8_t Meas_GetAnalogInputMode();
void Meas_SetAnalogInputMode(uint8_t mode, uint32_t* status);
float Meas_GetAnalogInputRange(uint32_t i);
void Meas_SetAnalogInputRange(uint32_t i, float value, uint32_t* status);
float Meas_GetInputPressure(uint32_t channel);
float Meas_GetO2ProcessPressure(uint32_t channel);
