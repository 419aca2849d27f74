// Analog current outputs.
#pragma once
#include <cstdint>

// Output 1's damping: the number of values its filter averages.
uint32_t Aout_GetDamping();
// Once a second: both outputs from their measurements.
void Aout_UpdateAll();
