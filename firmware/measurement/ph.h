// pH and ORP electrode chemistry and calibration, and the CO2 electrode.
#pragma once
#include <cstdint>

// pH from the electrode voltage at the temperature, through the stored calibration.
float CalPh_PhFromMv(uint32_t channel, float mv, float t, uint32_t* status);
// Stored ORP offset in mV.
float CalPh_GetOrpOffset(uint32_t channel);
// Solution temperature compensation: mode 0 applies it.
uint8_t CalPh_GetStcMode(uint32_t channel);
float CalPh_GetStcCoefficient(uint32_t channel);
float CalPh_GetStcRefTemp(uint32_t channel);
void CalPh_LoadChannel(uint32_t channel, uint32_t mode, uint32_t* status);
void CalPh_SetIsoPoint(uint32_t channel, float value, uint32_t* status);
void CalPh_LimitBufferSetTo0Or8(uint32_t channel, uint32_t* status);
// The configured option (0..2) of the digital pH sensor, kept with the calibration settings.
uint8_t CalPh_GetSensorOption(uint32_t channel);
void CalPh_SetSensorOption(uint32_t channel, uint8_t option);

float CalPh_GetCo2ElectrodePh(uint32_t channel, float mv, float t, uint32_t* status);
float CalPh_GetCo2Percent(uint32_t channel, float mv, float t, uint32_t* status);
// Bar.
float CalPh_GetCo2PartialPressure(uint32_t channel, float mv, float t, uint32_t* status);
// Mol/L.
float CalPh_GetCo2Dissolved(uint32_t channel, float mv, float t, uint32_t* status);
void CalPh_LoadCo2Settings(uint32_t channel, uint32_t mode, uint32_t* status);
