// PID controller: works on the value of one display line and drives up to two relays as pulse
// outputs (one for a positive, one for a negative output). Automatic and manual mode, a dead band,
// a shaped error curve with two corner points and two limits, bumpless return to automatic, and
// the controller's settings module. The control step runs once a second; the pulses (pid_pulse)
// on every 20-ms tick.
#pragma once
#include <cstdint>

struct StoreMap;

// Mode: automatic, manual.
constexpr uint8_t kPidAutomatic = 0;
constexpr uint8_t kPidManual = 1;
// Source: display lines 0 to 3; 4 and above switch the controller off.
constexpr uint8_t kPidSourceOff = 4;
// Pulse type: pulse length (duty cycle in a fixed period), pulse frequency (fixed on-time).
constexpr uint8_t kPidPulseLength = 0;
constexpr uint8_t kPidPulseFrequency = 1;
// Output type of a controller that drives no pulses.
constexpr uint8_t kPidOutputNone = 4;
// "PID Display" choice: 0 "Yes", 1 "No" (the controller does not run).
constexpr uint8_t kPidDisplayNo = 1;
// Hold behaviour: output 0; keep controlling; any other value keeps the output as manual value.
constexpr uint8_t kPidHoldZero = 0;
constexpr uint8_t kPidHoldKeepControlling = 1;
// Output directions of the measurement screen's output line.
constexpr uint32_t kPidDirectionNegative = 0;
constexpr uint32_t kPidDirectionPositive = 1;
constexpr uint32_t kPidDirectionNone = 2;
// Bytes of the settings block in the store.
constexpr uint32_t kPidBlockBytes = 65;

// The settings block, in its stored order (relays: 0 relay 1, 1 relay 2, 2 none; pulse length in
// seconds, pulse frequency in pulses per minute; reset and rate time in minutes).
struct PidSettings {
    uint8_t mode;
    uint8_t source;
    uint8_t displayChoice;
    uint8_t spareOption;  // stored and validated; no operation reads it
    uint8_t reserved;     // always 0
    uint8_t pulseType;
    uint8_t spareA[2];  // stored as they stand
    uint8_t relayPositive;
    uint8_t relayNegative;
    uint8_t spareB[2];  // stored as they stand
    float pulseLength;
    float pulseFrequency;
    float gain;
    float resetTime;
    float rateTime;
    float setPoint;
    float deadBand;
    float lowerLimit;
    float upperLimit;
    float lowerCornerX;
    float lowerCornerY;
    float upperCornerX;
    float upperCornerY;
    uint8_t bothRelays;  // set by validation: 1 when both relays are assigned
};

// Live settings (the pages' working copy is committed into them) and the running copy the step
// reads (the validated settings).
extern PidSettings g_PidSettings;
extern PidSettings g_PidDefaults;
// Hold behaviour and a second stored byte (0 or 1 each).
extern uint8_t g_PidHoldBytes[2];

// Factory settings, an inactive controller and idle pulses, as at power-up; nothing stored.
void Pid_ResetState();

// Settings module.
void Pid_WriteDefaults(uint32_t* status);
void Pid_LoadSettings(uint32_t* status);
void Pid_SaveSettings(uint32_t* status);
// The factory settings into the running copy.
void Pid_BuildDefaults();
// Repairs the live settings by their rules, restarts the pulses when their relays, type, length
// or frequency or the source changed, and copies the settings into the running copy. 1 when a
// value was repaired.
uint32_t Pid_ValidateParams();

// The control step, once a second, with the line's value and status (a non-zero status restarts
// the history; the caller then passes the set point).
void Pid_Step(float value, uint32_t status);
void Pid_ActivateOnce();
// The controller stops; its pulse relays are released at the next tick.
void Pid_Deactivate();
// The controller stops for a page that drives the relays itself: the pulses go idle and the
// relays are left as the page puts them. The controller starts afresh once it is activated again.
void Pid_Suspend();
void Pid_EnterHold();
void Pid_LeaveHold();
// The hold behaviour applied: keep controlling, output 0, or the output kept as manual value.
void Pid_ApplyHold();

// The output, -1 to +1 (1.0 = 100 %).
float Pid_GetOutput();
void Pid_SetManualOutput(float value);
float Pid_GetManualOutput();
uint32_t Pid_IsHeld();
uint32_t Pid_IsActive();
uint32_t Pid_IsManual();
// Direction shown beside the output: 2 when exactly one relay is assigned or the output is about
// 0, 1 for a positive output, 0 for a negative one.
uint32_t Pid_GetOutputDirection();
// (v - lo) / (hi - lo), negated when reversed; a result on the wrong side of 0 becomes 0, and
// equal ends give 1 (-1 reversed).
void Pid_ScaleToUnitRange(float lo, float hi, float v, float* result, uint32_t reversed);

// Display line the controller reads; 4 and above = off.
uint8_t Pid_GetSourceSlot();
// The value the controller works with while its line has no valid value: the set point.
float Pid_GetSubstituteValue();
// The pulse relay of output 0 (positive) or 1 (negative), 2 = none.
uint8_t Pid_GetPulseRelay(uint32_t output);
// The pulse type of a controller that is switched on, else 4.
uint8_t Pid_GetOutputType();
// Row 12 of the measurement screen: "Auto Ctrl Out" (mode 0) or "Man Ctrl Out" (mode 1), the
// percentage, and for pH lines the direction word.
void Pid_DrawOutputLine(uint32_t mode, float percent);

// The settings-store ranges of this module.
extern const StoreMap g_PidStoreMap;
