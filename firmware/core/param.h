// Parameters by number: one numbered interface to the measurement and calibration values of
// every module, for the parameter and value pages and the settings dispatchers. Each value lives
// (and is stored) in its own module; the numbers are the instrument's. Declared here for every
// layer that needs it; the measurement layer defines it (measurement/param.cpp).
#pragma once
#include <cstdint>

// Float parameters of a channel (for the compensation coefficient, parameter 4, the slot; for
// the analog output ratios, parameters 11 and 12, the output). selector: the sensor kind whose
// slope (7, 14) or zero (8, 15) is meant; another selector for these gives status 2 and 0.0.
// A zero of either sign reads +0.0, a value that is not finite 0.0. Numbers without a parameter
// read 0.0 and are ignored when set. The status is 0 unless a module's setter reports otherwise.
float Param_GetFloat(uint32_t channel, uint32_t number, uint32_t selector, uint32_t* status);
void Param_SetFloat(uint32_t channel, uint32_t number, uint32_t selector, float value, uint32_t* status);
// Byte and word parameters; numbers without a parameter read 0 and are ignored when set. A value
// too large for the parameter's byte is refused with status 2.
uint32_t Param_GetInt(uint32_t channel, uint32_t number, uint32_t* status);
void Param_SetInt(uint32_t channel, uint32_t number, uint32_t value, uint32_t* status);
// The sensor board's calibration constants and the analog outputs' calibration ratios by code
// (100 .. 121) and index; other codes read 0.0. The status is always 0.
float Param_GetValueByCode(uint32_t ignored, uint32_t code, uint32_t index, uint32_t* status);

// Channel B's second sensor word (parameter 43) and parameter 41, back to power-on.
void Param_ResetState();
