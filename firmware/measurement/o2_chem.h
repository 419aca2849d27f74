// Oxygen chemistry of the amperometric sensor that needs no calibration data: the oxygen
// solubility, the air-saturation table, the nominal slopes and the range checks of oxygen results.
#pragma once
#include <cstdint>

// Oxygen fraction of air, the standard pressure (mbar) and the water vapour pressure used with
// it (mbar).
constexpr float kO2AirFraction = 0.2095f;
constexpr float kO2StdPressure = 1013.0f;
constexpr float kO2StdVapour = 31.671572f;

// Oxygen solubility (mg/L) at t degrees C of water of the given salinity: p1(t) - s x p2(t).
float CalO2_GetSolubility(float t, float salinity);
// Oxygen concentration (mg/L) of air-saturated water at t degrees C from the 91-value table
// (-10 .. 80 C in 1 C steps); its first or last value outside the table.
float CalO2_GetSaturationConc(float t);
// Nominal slope of an oxygen measuring kind: 70000 / N on "O2 hi", 4000000 / N on "O2 Trace",
// 350000 / N otherwise, N = (1013 - 31.671572) x 0.2095.
float CalO2_GetNominalSlope(uint32_t kind);
// Range checks of oxygen results against the upper bound u: A, below -0.25 status 3, -0.25 .. 0
// reads 0.0, above u x 100 status 2; B the same with -0.025 and u. The value comes back
// unchanged with either status; a value that is not a number gives status 2 and 0.0.
float CalO2_CheckLowerLimitA(float value, float upper, uint32_t* status);
float CalO2_CheckLowerLimitB(float value, float upper, uint32_t* status);
