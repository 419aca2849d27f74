// Analog current outputs.
#pragma once
#include <cstdint>

// The current an output shows, in mA (the front panel displays it).
float Aout_GetShownCurrent(uint32_t output);
// Output 1's damping: the number of values its filter averages.
uint32_t Aout_GetDamping();
// Once a second: both outputs from their measurements.
void Aout_UpdateAll();
