// Numeric editor: calibration points entered digit by digit (screen 3).
#pragma once
#include <cstdint>

int32_t NumEdit_Screen(uint32_t event);
// The position being calibrated belongs to channel B.
void NumEdit_SetChannelB(uint32_t flag);
// The output-calibration editor drives an analog output itself.
uint32_t NumEdit_IsOutputCalOpen();
