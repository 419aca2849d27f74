// Built-in concentration curves: mass percent of an acid, a base or a salt, and total dissolved
// solids, from a conductivity in S/cm and a temperature in degrees C. Each sets its status first:
// 0, or 3 / 2 for a temperature below / above the curve's range (result 0.0); a conductivity or
// temperature that is not a number gives status 2 and 0.0.
#pragma once
#include <cstdint>

// Largest result of each curve (mass percent).
constexpr float kConcMaxHcl = 18.0f;
constexpr float kConcMaxHno3 = 30.0f;
constexpr float kConcMaxNacl = 28.0f;
constexpr float kConcMaxNaoh = 16.0f;
constexpr float kConcMaxH2so4 = 26.0f;
constexpr float kConcMaxH3po4 = 35.0f;

// Unit 3, "%HCl": -20 .. 50 C.
float Conc_FromCondUnit3(float k, float t, uint32_t* status);
// Unit 4, "%HNO3": -20 .. 50 C.
float Conc_FromCondUnit4(float k, float t, uint32_t* status);
// Unit 5, "%NaCl", from a conductivity already referred to 25 C: -40 .. 100 C. Above
// 256.1 mS/cm it reads 28.0, at or below 5.5e-5 mS/cm (water alone) 0.0.
float Conc_FromCondUnit5(float k, float t, uint32_t* status);
// Unit 6, "%NaOH": 0 .. 100 C.
float Conc_FromCondUnit6(float k, float t, uint32_t* status);
// Unit 7, "%H2SO4": -12 .. 100 C.
float Conc_FromCondUnit7(float k, float t, uint32_t* status);
// Unit 8, "%H3PO4": up to 80 C; above the dilute part of the curve from 5 C.
float Conc_FromCondUnit8(float k, float t, uint32_t* status);
// Unit 9, "TDS" in mg/L (as NaCl at 25 C); the temperature is not used.
float Conc_GetTdsUnit9(float k, float t, uint32_t* status);
// Unit 10, "TDS": unit 9 x 0.8407.
float Conc_GetTdsUnit10(float k, float t, uint32_t* status);
