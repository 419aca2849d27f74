// Analog current outputs.
#pragma once
#include <cstdint>

// The current an output shows, in mA (the front panel displays it).
float Aout_GetShownCurrent(uint32_t output);
// Output 1's damping: the number of values its filter averages.
uint32_t Aout_GetDamping();
// Once a second: both outputs from their measurements.
void Aout_UpdateAll();
// Output calibration: a point's count, the candidate from the points at two currents (mA), and
// the candidate taken into use and stored.
float Aout_GetCalPoint(uint32_t output, uint32_t point, uint32_t* status);
void Aout_CalFromPoints(uint32_t output, float current0, float current1, uint32_t* status);
void Aout_AcceptCalibration(uint32_t output, uint32_t* status);
