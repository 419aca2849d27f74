// Set points.
#pragma once
#include <cstdint>

void SetPoint_UpdateAll();
// State byte of set point i (0..5): low nibble the state, high nibble the limit side; 255 not
// evaluated.
uint8_t SetPoint_GetState(uint32_t i);
