// Set points: six limit watchers on the measurement screen's display lines. Each compares its
// line's value with one or two limits (High, Low, Outside, Between), releases through a hysteresis,
// switches on through its relay's delay, may react to the line being over or under range, and sets
// an alarm flag and a message state of its own.
#pragma once
#include <cstdint>

struct StoreMap;

constexpr uint32_t kSetPointCount = 6;
// Source line: display lines 0 to 3 (a to d), 4 = the set point is off.
constexpr uint8_t kSetPointSourceOff = 4;
// Types (the words of the "High"/"Low"/"Outside"/"Between" choice, with "Off" first).
constexpr uint8_t kSetPointOff = 0;
constexpr uint8_t kSetPointHigh = 1;
constexpr uint8_t kSetPointLow = 2;
constexpr uint8_t kSetPointOutside = 3;
constexpr uint8_t kSetPointBetween = 4;
// Range action: 0 act on over and under range ("Yes"), 1 do not ("No").
constexpr uint8_t kSetPointRangeYes = 0;
constexpr uint8_t kSetPointRangeNo = 1;
// Set point i sets and clears alarm flag bit i on its line's channel.
constexpr uint32_t kAlarmFlagSetPointFirst = 0;
// Message state: nothing to report; otherwise the low nibble is the type whose condition stands
// (15 none) and the high nibble 1 over range, 2 under range.
constexpr uint8_t kSetPointNoMessage = 255;
// Shown type of a display line: several set points are active on it; none is.
constexpr uint8_t kSetPointLineSeveral = 8;
constexpr uint8_t kSetPointLineNone = 255;

// Live settings (relay: 0 relay 1, 1 relay 2, 2 none; value A the high limit, B the low limit;
// hysteresis in percent of the limit, or in the value's unit for the absolute kinds).
struct SetPointSettings {
    uint8_t source[kSetPointCount];
    uint8_t relay[kSetPointCount];
    uint8_t type[kSetPointCount];
    uint8_t rangeAction[kSetPointCount];
    float valueA[kSetPointCount];
    float valueB[kSetPointCount];
    float hysteresis[kSetPointCount];
};
extern SetPointSettings g_SetPointSettings;

// Factory settings in memory and an idle run state, as at power-up; nothing stored.
void SetPoint_ResetState();

// Settings module. Load also clears each set point's alarm flag on the channel it watched and
// notes the new lines; save first takes the stored line and relay as the previous ones, so that
// the next pass releases what they held.
void SetPoint_WriteDefaults(uint32_t* status);
void SetPoint_LoadSettings(uint32_t* status);
void SetPoint_SaveSettings(uint32_t* status);

// Once a second while the outputs are not held: every set point evaluated in order, its relay
// requests, alarm flag and message state updated; then the shown type of each display line.
void SetPoint_UpdateAll(const SetPointSettings* settings = &g_SetPointSettings);
// 1 when set point i's requester (1 limit, 2 range) may be released for value x.
uint32_t SetPoint_Evaluate(const SetPointSettings* settings, float value, uint32_t requester, uint32_t i);
// The release test of one limit (which 0 = value A, 1 = value B) with the hysteresis.
uint32_t SetPoint_EvalLimit(const SetPointSettings* settings, float value, uint32_t which, uint32_t i);
// 1 for a measurement whose set points take their hysteresis in the value's own unit: the
// temperatures, pH and the voltages (mV, ORP, the CO2 electrode's); 0 for one whose hysteresis is
// a percentage of the limit. The one rule of the relay pages (which hysteresis page a set point
// gets, its factory hysteresis) and of the evaluation.
uint32_t SetPoint_IsAbsoluteHysteresisCode(uint32_t code);
// 1 when set point i's line shows a measurement whose hysteresis is absolute.
uint32_t SetPoint_IsSpecialSource(const SetPointSettings* settings, uint32_t i);
// Requests or releases set point i's relay for requester 1 or 2 by the change of its active bit.
void SetPoint_DriveOutput(const SetPointSettings* settings, float value, uint32_t requester, uint32_t i);

// Message state of set point i (read by the set-point message refresh).
uint8_t SetPoint_GetState(uint32_t i);
// The type of the set point active on a display line, 8 when several are, 255 when none.
uint8_t SetPoint_GetLineType(uint32_t line);

// The settings-store ranges of this module.
extern const StoreMap g_SetPointStoreMap;
