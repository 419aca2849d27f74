// Calibration by measurement id: selection, tracking of the value being calibrated and the
// per-channel value cache.
#pragma once
#include <cstdint>

// The quantity being tracked for calibration and its filtered value.
struct CalTracking {
    uint32_t id;   // 0 none
    uint8_t unit;  // 255 none
    uint8_t point;
    uint8_t autoSetting;
    float setting;
    uint32_t settingStatus;
    float value;
    uint32_t status;
};

extern CalTracking g_CalTracking;
// Set when oxygen or channel-B settings were changed on a calibration page.
extern uint8_t g_CalSettingsEdited;

// 1 while a calibration selection is active.
uint32_t Cal_IsSelectionActive();
void Cal_UpdateTrackedValue(uint32_t channel);
// Id 0 (with channel 2) ends any selection and puts both channels back on their kinds.
void Cal_SelectMeasurement(uint32_t channel, uint32_t id);
// The channel's local calibration data set no longer belongs to a sensor.
void Cal_ClearDataSetSensorFlag(uint32_t channel);
// The value last used for calibration, with its status.
void Meas_SetValueCache(uint32_t channel, float value, uint32_t status);

// Set when sensor parameters were saved: the calibration diagnostics are judged again.
extern uint8_t g_SensorParamSavePending;
void Cal_StepById(uint32_t id, uint32_t point, uint32_t points, uint32_t* status);
void Cal_SaveById(uint32_t id, uint32_t* status);
// 1: a finished calibration is recorded but not put into use.
void Cal_SetCalibrateOnly(uint32_t channel, uint8_t value);
