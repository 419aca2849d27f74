// Analog current outputs.
#pragma once
#include <cstdint>

// The current an output shows, in mA (the front panel displays it).
float Aout_GetShownCurrent(uint32_t output);
