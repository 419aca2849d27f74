// Measurement (home) screen.
#pragma once
#include <cstdint>

void Home_DrawChannelHoldMarks(uint32_t erase);
void Home_BlinkHoldMark(uint32_t erase);
void Home_BlinkChannelLetter(uint32_t erase);
// The measurement code and unit prefix shown on a display line (0..3).
void Home_GetLineUnit(uint32_t line, uint8_t* code, uint8_t* prefix);
