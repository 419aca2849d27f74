// Calibration by measurement id: selecting, stepping and saving the calibration of a position.
#pragma once
#include <cstdint>

// Set when sensor parameters were saved: the calibration diagnostics are judged again.
extern uint8_t g_SensorParamSavePending;

// Selects the measurement of a position on a channel; id 0 (channel 2) ends the selection.
void Cal_SelectMeasurement(uint32_t channel, uint32_t id);
uint32_t Cal_IsSelectionActive();
void Cal_StepById(uint32_t id, uint32_t point, uint32_t points, uint32_t* status);
void Cal_SaveById(uint32_t id, uint32_t* status);
// 1: a finished calibration is recorded but not put into use.
void Cal_SetCalibrateOnly(uint32_t channel, uint8_t value);
