// The analog current input and its settings.
#include "measurement/analog_input.h"

#include <cmath>

#include "core/eeprom.h"
#include "core/util.h"
#include "measurement/meas.h"

// Settings store places.
static constexpr uint32_t kStoreRange = 476;  // + 4 x end
static constexpr uint32_t kStoreMode = 484;
static constexpr uint32_t kStoreUnit = 485;  // + end
static constexpr StoreRange kStoreRanges[] = {{kStoreRange, 8}, {kStoreMode, 1}, {kStoreUnit, 2}};
const StoreMap g_AnalogInputStoreMap = {"analog input", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

static constexpr float kDefaultRange[2] = {0.0f, 2000.0f};
static constexpr uint8_t kDefaultUnit = 3;  // "hPa "
static constexpr uint8_t kUnitLast = 4;
// 4 to 20 mA span the range; the input reads at most 22 mA.
static constexpr float kCurrentLow = 4.0f;
static constexpr float kCurrentSpan = 16.0f;
static constexpr float kCurrentMax = 22.0f;

static uint8_t s_Mode;
static uint8_t s_Unit[2] = {kDefaultUnit, kDefaultUnit};
static float s_Range[2] = {kDefaultRange[0], kDefaultRange[1]};

void Meas_ResetAnalogInput() {
    s_Mode = 0;
    for (uint32_t i = 0; i < 2; ++i) {
        s_Unit[i] = kDefaultUnit;
        s_Range[i] = kDefaultRange[i];
    }
}

uint8_t Meas_GetAnalogInputMode() { return s_Mode; }

void Meas_SetAnalogInputMode(uint8_t mode, uint32_t* status) {
    *status = 0;
    if (mode > kAnalogInputPressure) {
        *status = kStatusOver;
        return;
    }
    if (mode == s_Mode) return;
    s_Mode = mode;
    Eeprom_WriteChecked(kStoreMode, &mode, 1, status);
}

uint8_t Meas_GetAnalogInputUnit(uint32_t i) { return i < 2 ? s_Unit[i] : kDefaultUnit; }

void Meas_SetAnalogInputUnit(uint32_t i, uint8_t unit, uint32_t* status) {
    *status = 0;
    if (i >= 2 || unit > kUnitLast) {
        *status = kStatusOver;
        return;
    }
    if (unit == s_Unit[i]) return;
    s_Unit[i] = unit;
    Eeprom_WriteChecked(kStoreUnit + i, &unit, 1, status);
}

float Meas_GetAnalogInputRange(uint32_t i) { return i < 2 ? s_Range[i] : 0.0f; }

void Meas_SetAnalogInputRange(uint32_t i, float value, uint32_t* status) {
    *status = 0;
    if (i >= 2 || Util_ClassifyFloat(value) >= kFloatPlusInfinity) {
        *status = kStatusOver;
        return;
    }
    s_Range[i] = value;
    Eeprom_WriteFloat(kStoreRange + 4 * i, value, status);
}

float Meas_GetInputPressure(uint32_t channel) {
    if (channel >= 2) return 0.0f;
    float ma = g_Measurement[channel].analogInput;
    if (!(ma > 0.0f)) ma = 0.0f;
    if (ma > kCurrentMax) ma = kCurrentMax;
    float value = (s_Range[1] - s_Range[0]) * (ma - kCurrentLow) / kCurrentSpan + s_Range[0];
    // A current below 4 mA on a range from 0 would read a negative pressure.
    return value > 0.0f ? value : 0.0f;
}

void Meas_LoadAnalogInput(uint32_t* status) {
    *status = 0;
    float range[2] = {kDefaultRange[0], kDefaultRange[1]};
    uint8_t mode = 0;
    uint8_t units[2] = {kDefaultUnit, kDefaultUnit};
    uint32_t step = 0;
    bool failed = false;
    for (uint32_t i = 0; i < 2; ++i) {
        Eeprom_ReadFloat(kStoreRange + 4 * i, &range[i], &step);
        if (step != 0) failed = true;
    }
    Eeprom_Read(kStoreMode, &mode, 1, &step);
    if (step != 0) failed = true;
    Eeprom_Read(kStoreUnit, units, 2, &step);
    if (step != 0) failed = true;
    if (failed) {
        Meas_ResetAnalogInput();
        *status = kStoreFloatNotFinite;
        return;
    }
    s_Mode = mode <= kAnalogInputPressure ? mode : 0;
    for (uint32_t i = 0; i < 2; ++i) {
        s_Range[i] = range[i];
        s_Unit[i] = units[i] <= kUnitLast ? units[i] : kDefaultUnit;
    }
}

void Meas_DefaultAnalogInputRange(uint32_t* status) {
    uint32_t step = 0;
    *status = 0;
    for (uint32_t i = 0; i < 2; ++i) {
        Meas_SetAnalogInputRange(i, kDefaultRange[i], &step);
        if (*status == 0) *status = step;
    }
}
