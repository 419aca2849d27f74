// Meter-calibration reference values, their presets and the signal range tests.
#include "measurement/meter_cal.h"

#include <cstring>

#include "measurement/meas.h"

float g_EditRange[kMeterCalPoints];

// Factory presets: the resistance inputs R1 to R5 (ohm), the current inputs (nA), the voltage
// input (V), the temperature input (ohm, three points) and the output current (mA).
static const float kPresetResistance[5][2] = {
    {1e6f, 1e7f}, {1e5f, 1e6f}, {1e4f, 1e5f}, {1e3f, 1e4f}, {100.0f, 1000.0f}};
static const float kPresetCurrent[2][2] = {{0.0f, -750.0f}, {-750.0f, -7500.0f}};
static const float kPresetVoltage[2] = {-1.5f, 1.5f};
static const float kPresetTemperature[3] = {1000.0f, 3000.0f, 66000.0f};
static const float kPresetOutputCurrent[2] = {4.0f, 20.0f};

// The bounds of a raw input signal, and of a positive one.
static constexpr float kSignalLimit = 2.001f;
static constexpr float kPositiveLowest = 0.25f;
static constexpr float kPositiveHighest = 1e8f;

void MeterCal_ResetState() { std::memset(g_EditRange, 0, sizeof g_EditRange); }

static float GetPoint(uint32_t i, uint32_t* status) {
    if (i >= kMeterCalPoints) {
        *status = kStatusOver;
        return 0.0f;
    }
    *status = 0;
    return g_EditRange[i];
}

static void SetPoint(uint32_t i, float value, uint32_t* status) {
    if (i >= kMeterCalPoints) {
        *status = kStatusOver;
        return;
    }
    *status = 0;
    g_EditRange[i] = value;
}

float MeterCal_GetPoint(uint8_t i, uint32_t* status) { return GetPoint(i, status); }
float MeterCal_GetCurrentPoint(uint16_t i, uint32_t* status) { return GetPoint(i, status); }
float MeterCal_GetResistancePoint(uint32_t i, uint32_t* status) { return GetPoint(i, status); }
void MeterCal_SetPoint(uint8_t i, float value, uint32_t* status) { SetPoint(i, value, status); }
void MeterCal_SetCurrentPoint(uint16_t i, float value, uint32_t* status) { SetPoint(i, value, status); }
void MeterCal_SetResistancePoint(uint32_t i, float value, uint32_t* status) { SetPoint(i, value, status); }

static void PresetPair(const float* pair) {
    g_EditRange[0] = pair[0];
    g_EditRange[1] = pair[1];
}

void MeterCal_PresetOutputCurrent(uint32_t* status) {
    PresetPair(kPresetOutputCurrent);
    *status = 0;
}

void MeterCal_PresetVoltage(uint32_t* status) {
    PresetPair(kPresetVoltage);
    *status = 0;
}

void MeterCal_PresetTemperature(uint32_t* status) {
    std::memcpy(g_EditRange, kPresetTemperature, sizeof g_EditRange);
    *status = 0;
}

void MeterCal_PresetCurrent(uint32_t input, uint32_t* status) {
    if (input < 2) PresetPair(kPresetCurrent[input]);
    *status = 0;
}

void MeterCal_PresetResistance(uint32_t input, uint32_t*) {
    if (input < 5) PresetPair(kPresetResistance[input]);
}

void MeterCal_ClearPoints() { std::memset(g_EditRange, 0, sizeof g_EditRange); }

void MeterCal_CheckSignalRange(float signal, uint32_t* status) {
    if (signal > kSignalLimit) {
        *status = kStatusOver;
    } else if (!(signal >= -kSignalLimit)) {
        *status = kStatusUnder;  // below the range, or not a number
    } else {
        *status = 0;
    }
}

void MeterCal_CheckPositiveRange(float signal, uint32_t* status) {
    if (!(signal >= kPositiveLowest)) {
        *status = kStatusUnder;
    } else if (signal >= kPositiveHighest) {
        *status = kStatusOver;
    } else {
        *status = 0;
    }
}
