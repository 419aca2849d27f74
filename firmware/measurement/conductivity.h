// Conductivity cell calibration and temperature compensation.
#pragma once
#include <cstdint>

// Resistivity in ohm x cm from the cell signal.
float CalCond_ApplyCalibration(uint32_t channel, float value, uint32_t* status);
// Refers a resistivity at the channel's temperature to the reference temperature.
float CalCond_Compensate(uint32_t channel, uint32_t mode, float coefficient, float value, uint32_t* status);
// Compensation mode and coefficient of measurement slot i.
uint8_t CalCond_GetTempCompMode(uint32_t i);
float CalCond_GetTempCompCoefficient(uint32_t i);
void CalCond_LoadSettings(uint32_t channel, uint32_t mode, uint32_t* status);
// A value divided by the oxygen sensor current's temperature polynomials.
float CalCond_DivideByPolyA(float value, float t, uint32_t* status);
float CalCond_DivideByPolyB(float value, float t, uint32_t* status);
