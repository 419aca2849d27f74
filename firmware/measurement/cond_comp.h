// Temperature compensation of conductivity: the compensation table, the linear, table, cation
// and ammonia compensations, and the reciprocal that turns resistivity and conductivity into
// each other. Values are resistivities in ohm x cm; temperatures in degrees C.
#pragma once
#include <cstdint>

// Compensation modes, in the order of the mode list on the compensation page.
constexpr uint32_t kCompModeStandard = 0;    // "Standard": NaCl in ultrapure water, to 25 C
constexpr uint32_t kCompModeLinear25 = 1;    // "Lin 25@C"
constexpr uint32_t kCompModeLinear20 = 2;    // "Lin 20@C"
constexpr uint32_t kCompModeLight84 = 3;     // "Light 84"
constexpr uint32_t kCompModeStandard75 = 4;  // "Std 75@C": the standard curve referred to 75 C
constexpr uint32_t kCompModeGlycol50 = 5;    // "Glycol.5"
constexpr uint32_t kCompModeGlycol = 6;      // "Glycol1"
constexpr uint32_t kCompModeCation = 7;      // "Cation"
constexpr uint32_t kCompModeAlcohol = 8;     // "Alcohol"
constexpr uint32_t kCompModeAmmonia = 9;     // "Ammonia"
constexpr uint32_t kCompModeNone = 10;       // "None"

// Compensation kinds the modes map to: 0 and 4 leave the value, 7 and 9 are the formulas, the
// others read a column of the compensation table.
constexpr uint32_t kCompKindCation = 7;
constexpr uint32_t kCompKindAmmonia = 9;

// Direction of the table compensation.
constexpr uint32_t kCompToMeasuringTemp = 0;  // a value at the reference temperature referred to T
constexpr uint32_t kCompToReferenceTemp = 1;  // a value measured at T referred to the reference

// Result of a compensation that has no answer (temperature outside the table, no conductivity).
constexpr float kCompOverRange = 1e20f;
// Largest result of CalCond_CompensateAtTemp.
constexpr float kCompLimit = 9.999e19f;

// The compensation kind of a mode; a mode above 11 compensates like "None".
uint32_t CalCond_GetCompKind(uint32_t mode);
// Factor of the linear modes: (T - reference) x coefficient + 1, reference 25 C for mode 1 and
// 20 C for mode 2 (any other mode reads as mode 2's reference).
float CalCond_GetLinearFactor(uint32_t mode, float coefficient, float t);
// 1 / x; a magnitude below 1e-29 is taken as 1e-29. A non-finite result sets status 2.
float CalCond_Reciprocal(float x, uint32_t* status);
// Table, cation and ammonia compensation of resistivity p at temperature t by kind; the result
// is a resistivity, 1e20 when there is none.
float CalCond_TempCompensate(uint32_t direction, float p, float t, uint32_t kind);
// The resistivity at 25 C of pure water holding a strong acid (chloride) or ammonia that has
// resistivity p at t; 1e20 when the conductivity is below what water alone conducts.
float CalCond_CationCompensate(float p, float t);
float CalCond_AmmoniaCompensate(float p, float t);
// The other way for those two formulas (kind 7 or 9): the resistivity at t of the solution whose
// resistivity at 25 C is p25, so that the formula takes it back to p25; 1e20 when no solution
// at t has it (p25 above what pure water has, or no number).
float CalCond_FormulaToTemp(uint32_t kind, float p25, float t);
// A resistivity measured at t referred to the reference temperature of the mode: the body of
// the channel's compensation once its temperature is known. A value at or below 1e-29 comes back
// unchanged; a result below 1e-29 reads 0.0, one above 9.999e19 reads 9.999e19; a non-finite
// result reads 0.0 with status 2 (the status is left alone otherwise).
float CalCond_CompensateAtTemp(uint32_t mode, float coefficient, float value, float t, uint32_t* status);
// value / p(t - 25), p the temperature polynomial A (amperometric oxygen kinds) or B (kind 8)
// of the oxygen sensor's current; |p| below 1e-29 sets status 2 and divides by 1e-29 (the status
// is left alone otherwise).
float CalCond_DivideByPolyA(float value, float t, uint32_t* status);
float CalCond_DivideByPolyB(float value, float t, uint32_t* status);
