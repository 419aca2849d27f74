// Parameters by number: one numbered interface to the measurement and calibration values of
// every module, for the parameter and value pages and the settings dispatchers.
#pragma once
#include <cstdint>

// Byte and word parameters; numbers without a parameter read 0 and are ignored when set.
uint32_t Param_GetInt(uint32_t channel, uint32_t number, uint32_t* status);
void Param_SetInt(uint32_t channel, uint32_t number, uint32_t value, uint32_t* status);
// Float parameters of a channel. selector: the sensor kind whose slope (7, 14) or zero (8, 15) is
// meant; other numbers ignore it. A number without a parameter reads 0.0 with a non-zero status.
float Param_GetFloat(uint32_t channel, uint32_t number, uint32_t selector, uint32_t* status);
void Param_SetFloat(uint32_t channel, uint32_t number, uint32_t selector, float value, uint32_t* status);
