// Analog current outputs.
#pragma once
#include <cstdint>

// Output 1's damping: the number of values its filter averages.
uint32_t Aout_GetDamping();
