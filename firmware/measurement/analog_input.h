// The analog current input (4 to 20 mA) and its settings: whether it supplies the process
// pressure, the units of its two range ends, and the range it maps onto.
#pragma once
#include <cstdint>

struct StoreMap;

// The settings-store ranges of the analog input's settings.
extern const StoreMap g_AnalogInputStoreMap;

// Mode 1: the input supplies the oxygen process pressure; 0: it does not.
constexpr uint8_t kAnalogInputPressure = 1;

// The settings at their factory values; nothing read from the store.
void Meas_ResetAnalogInput();
// Mode (0..1), the units (0..4: "mmHg", "kPa ", "mbar", "hPa ", "psi ") of the range ends and the
// range ends (0 low, 1 high; mbar); the byte setters store only a changed value, out-of-range
// values are refused with status 2.
uint8_t Meas_GetAnalogInputMode();
void Meas_SetAnalogInputMode(uint8_t mode, uint32_t* status);
uint8_t Meas_GetAnalogInputUnit(uint32_t i);
void Meas_SetAnalogInputUnit(uint32_t i, uint8_t unit, uint32_t* status);
float Meas_GetAnalogInputRange(uint32_t i);
void Meas_SetAnalogInputRange(uint32_t i, float value, uint32_t* status);
// The channel's analog input current as a value on the range: the current limited to 0 .. 22 mA,
// 4 .. 20 mA spanning the range; never below 0.
float Meas_GetInputPressure(uint32_t channel);
// Loads the settings (any unreadable: all take their factory values); the range alone back to
// 0 .. 2000, stored.
void Meas_LoadAnalogInput(uint32_t* status);
void Meas_DefaultAnalogInputRange(uint32_t* status);
