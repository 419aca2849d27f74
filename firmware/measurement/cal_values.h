// Values for calibration: the value of any measurement id in a unit, the per-channel value cache
// that the value reads leave behind, the calibration filters and the stability window they feed,
// and the RAM-only oxygen settings a calibration page edits.
#pragma once
#include <cstdint>

// The oxygen unit selector handed to the oxygen calibration (a copy of the page's option byte).
extern uint32_t g_CalUnitSelector;

// The value of the id in the unit, as the calibration pages show and take it; the calibration
// point timer is ticked first. A value that is not finite reads 0.0 with status 2, and so does
// an id of no channel.
float Meas_GetValueById(uint32_t id, uint32_t unit, uint32_t* status);
// Takes the byte chosen on the page (g_ChosenOption) and its copy, the oxygen unit selector.
void Meas_SetSelectorByte(uint8_t value);

// The value last used for calibration (mV, the element resistance, a conductivity signal ...).
void Meas_SetValueCache(uint32_t channel, float value, uint32_t status);
float Meas_GetValueCache(uint32_t channel, uint32_t* status);
// Averages of the calibration filters: the cached value and the temperature.
float Meas_GetFilteredCalValue(uint32_t* status);
float Meas_GetFilteredTemperature(uint32_t* status);
// Pushes the channel's cached value and temperature into the calibration filters.
void Meas_FeedCalFilters(uint32_t channel);
// Pushes the channel's cached value into the stability window.
void Meas_FeedStabilityWindow(uint32_t channel);
// The damped electrode voltage in mV (channel A: with the ORP offset unless CO2), +-1500 mV.
float Meas_GetFilteredMv(uint32_t channel, uint32_t* status);

// Oxygen settings edited on a calibration page: RAM only, each marks the settings as edited so
// that the end of the selection reloads them from the store.
void Meas_EditO2RelHumidity(uint32_t channel, float value);
void Meas_EditO2CalPressure(uint32_t channel, float value);
void Meas_EditO2PressureSource(uint32_t channel, float value);
// Channel B's sensor flag; the value is truncated to a whole number.
void Meas_EditChannelBFlag(float value);
float Meas_GetO2RelHumidity(uint32_t channel);
float Meas_GetO2CalPressure(uint32_t channel);
