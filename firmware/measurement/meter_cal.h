// Meter-calibration reference values: the up to three reference values a meter calibration asks
// for (resistance, temperature, voltage and current inputs, the output current), their factory
// presets per input, and the range tests of raw input signals. The calibration by measurement id
// presets and reads them, the numeric editor edits them, the reply decoders use the range tests.
// The data belong to no screen, so they live beside the calibration that uses them.
#pragma once
#include <cstdint>

// The reference values of the calibration points 0 to 2 (point 2: the temperature input only).
constexpr uint32_t kMeterCalPoints = 3;
extern float g_EditRange[kMeterCalPoints];

// Value i of the triple; status 0. An index past the triple reads 0.0 with status 2 (the
// index is a byte, a 16-bit and a 32-bit number; the three are one operation).
float MeterCal_GetPoint(uint8_t i, uint32_t* status);
float MeterCal_GetCurrentPoint(uint16_t i, uint32_t* status);
float MeterCal_GetResistancePoint(uint32_t i, uint32_t* status);
// Stores value i; status 0. An index past the triple changes nothing, with status 2.
void MeterCal_SetPoint(uint8_t i, float value, uint32_t* status);
void MeterCal_SetCurrentPoint(uint16_t i, float value, uint32_t* status);
void MeterCal_SetResistancePoint(uint32_t i, float value, uint32_t* status);

// The factory presets into points 0 and 1 (and 2 for the temperature input); point 2 keeps its
// value otherwise. Status 0, except that the resistance preset leaves it untouched. An input
// that does not exist (current 0..1, resistance 0..4) changes nothing.
void MeterCal_PresetOutputCurrent(uint32_t* status);
void MeterCal_PresetVoltage(uint32_t* status);
void MeterCal_PresetTemperature(uint32_t* status);
void MeterCal_PresetCurrent(uint32_t input, uint32_t* status);
void MeterCal_PresetResistance(uint32_t input, uint32_t* status);
// All three values 0.0.
void MeterCal_ClearPoints();

// Status 2 above 2.001, 3 below -2.001 or not a number, else 0.
void MeterCal_CheckSignalRange(float signal, uint32_t* status);
// Status 3 below 0.25 or not a number, 2 at 1e8 or more, else 0.
void MeterCal_CheckPositiveRange(float signal, uint32_t* status);

// The values back to power-on (all zero).
void MeterCal_ResetState();
