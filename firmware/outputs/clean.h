// Cleaning timer.
#pragma once
#include <cstdint>

void Clean_Update();
void Clean_Stop();
uint32_t Clean_IsActive();
// The cleaning relay (2 = none), the interval and the cleaning time of the live settings.
uint8_t Clean_GetRelay();
float Clean_GetInterval();
float Clean_GetTime();
