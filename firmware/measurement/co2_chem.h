// Carbonic-acid chemistry of the dissolved-CO2 sensor that needs no calibration data: the water
// vapour pressure, the first dissociation constant of carbonic acid and the CO2 solubility.
#pragma once
#include <cstdint>

// Water vapour pressure in mbar at t degrees C (also the oxygen calibration's).
float CalPh_GetWaterVapourPressure(float t);
// First dissociation constant of carbonic acid at t degrees C in an electrolyte of salinity s.
float CalPh_GetCarbonicK1(float t, float s);
// CO2 solubility at t degrees C, 0 .. 60 C in 5 C steps, interpolated; status 0, or 3 below
// 0 C and 2 from 60.00001 C (or a t that is not a number) with 0.0.
float CalPh_GetCo2Solubility(float t, uint32_t* status);
