// Analog current outputs: the two 4 to 20 mA outputs scaled from display lines a and b, their
// alarm, hold and fixed currents, output 1's damping and fall delay, the two-point calibration of
// the converter, and the output settings module.
#pragma once
#include <atomic>
#include <cstdint>

struct StoreMap;

constexpr uint32_t kAoutCount = 2;
// Software timer 4: output 1's shown current follows a fall after 500 ms.
constexpr int kTimerAoutFall = 4;
// Converter counts of full scale.
constexpr float kAoutFullScale = 7373.0f;
// Alarm currents by the alarm level setting.
constexpr float kAoutAlarmLow = 3.6f;
constexpr float kAoutAlarmHigh = 22.0f;
constexpr uint8_t kAoutAlarmLevelLow = 0;
constexpr uint8_t kAoutAlarmLevelHigh = 1;
// Hold modes: keep the last current, the hold value, not held.
constexpr uint8_t kAoutHoldLast = 0;
constexpr uint8_t kAoutHoldValue = 1;
constexpr uint8_t kAoutHoldOff = 2;
// The store ranges of the output settings and the calibration.
extern const StoreMap g_AoutStoreMap;
// Output modes (store 217, one byte for both outputs): a fixed 12 mA, normal, the fixed value.
constexpr uint8_t kAoutModeFixed12 = 0;
constexpr uint8_t kAoutModeNormal = 1;
constexpr uint8_t kAoutModeFixedValue = 2;

// Live settings per output (damping for output 1 only).
struct AoutSettings {
    uint8_t alarmLevel[kAoutCount];
    uint8_t alarmEnable[kAoutCount];
    float valueAt4mA[kAoutCount];
    float valueAt20mA[kAoutCount];
    uint8_t holdMode[kAoutCount];
    float holdValue[kAoutCount];
    uint8_t damping;
};
extern AoutSettings g_AoutSettings;
// Output mode per output.
extern uint8_t g_OutputStartFlags[kAoutCount];

// Calibration and run-time values of one output. The current shown is read by the panel and, for
// output 1, written by the fall timer on the timer thread.
struct AnalogOutput {
    float gain;
    float offset;
    float point[2];  // converter counts at 4 mA and at 20 mA
    float candidateGain;
    float candidateOffset;
    std::atomic<float> shownCurrent;
    std::atomic<float> lastRequested;
    std::atomic<uint8_t> rising;
    float converter;     // mA x gain + offset, a fraction of full scale (output 1)
    float displayLevel;  // output 1
};
extern AnalogOutput g_AnalogOut[kAoutCount];

// Built-in calibration, settings and currents as at power-up; nothing stored.
void Aout_ResetState();

// Once a second: both outputs from their measurements, alarm, hold and mode.
void Aout_UpdateAll();
// Drives an output with a current (limited to 3.3 to 23.0 mA).
void Aout_WriteCurrent(uint32_t output, float mA);
// The current an output shows, in mA (the front panel displays it).
float Aout_GetShownCurrent(uint32_t output);
// The output test takes both outputs as they stand (their currents noted; nothing changes), and
// gives them back: the noted currents go on the outputs again at once, so that a hold that keeps
// the last value keeps the one from before the test; the next update drives the rest as their
// measurements ask. Giving back without a test taken does nothing.
void Aout_TakeForTest();
void Aout_GiveBackAfterTest();
// Output 1's damping: the number of values its filter averages.
uint32_t Aout_GetDamping();
// Default range end of a measured quantity shown with a unit prefix (the line's being set up):
// which 0 the value at 20 mA, 1 at 4 mA.
float Aout_GetDefaultRangeBound(uint32_t quantity, uint8_t prefix, uint32_t which);
// 1 when both range ends lie within what the quantity's unit measures and its range page shows.
uint32_t Aout_RangeFitsUnit(uint32_t quantity, uint8_t prefix, float low, float high);

// Calibration from two converter counts measured at two currents.
void Aout_SetCalPoint(uint32_t output, uint32_t point, float count);
float Aout_GetCalPoint(uint32_t output, uint32_t point, uint32_t* status);
void Aout_CalFromPoints(uint32_t output, float i0, float i1, uint32_t* status);
void Aout_CheckCalibration(uint32_t output, uint32_t* status);
void Aout_AcceptCalibration(uint32_t output, uint32_t* status);
void Aout_RestoreFactoryCal(uint32_t* status);
void Aout_SaveFactoryCal(uint32_t* status);
void Aout_ResetCalibration(uint32_t* status);
void Aout_ResetCalPoints(uint32_t* status);
void Aout_LoadCalibration(uint32_t* status);
// Gain over the built-in gain; offset less the built-in offset.
float Aout_GetGainRatio(uint32_t output);
float Aout_GetOffsetDelta(uint32_t output);
// Output 1 to 3.6 mA at once, its fall timer stopped.
void Aout_ForceLowCurrent();
// The current a converter count gives on the output, by the built-in calibration of the output's
// converter, shown at once (the panel's meter while an output is calibrated).
void Aout_DriveCount(uint32_t output, float count);

// Settings module.
void Aout_WriteDefaults(uint32_t* status);
void Aout_LoadSettings(uint32_t* status);
void Aout_SaveSettings(uint32_t* status);
// The output mode byte; a value that is no mode means normal.
void Aout_LoadOutputMode(uint32_t* status);
