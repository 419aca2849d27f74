// Meter-calibration reference values and the range tests of raw input signals.
#pragma once
#include <cstdint>

// Status 2 above 2.001, 3 below -2.001 or not a number.
void MeterCal_CheckSignalRange(float signal, uint32_t* status);
// Status 3 below 0.25 or not a number, 2 at 1e8 or more.
void MeterCal_CheckPositiveRange(float signal, uint32_t* status);
