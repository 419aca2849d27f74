// Analog current outputs.
#pragma once
#include <cstdint>

void Aout_UpdateAll();
