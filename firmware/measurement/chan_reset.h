// Channel settings services: the calibration edit values of a channel, the factory reset of the
// measurement settings, the reset of a channel's dependent settings when its sensor kind changes,
// the per-kind defaults those use, and small helpers of the settings pages.
#pragma once
#include <cstdint>

struct StoreMap;

// ---- Per-kind defaults (configured kinds 0 to 14; others read as kind 0) -----------------------------
// The unit display line 1 shows for a kind.
uint8_t Chan_GetDefaultLineUnit(uint32_t kind);
// The first limit set point 0 takes for a kind.
float Chan_GetSetPointDefault(uint32_t kind);
// The selector of the calibration values (parameters 7 and 8) for a kind.
uint8_t Chan_GetCalEditUnit(uint32_t kind);

// ---- Calibration edit values --------------------------------------------------------------------------
// Per channel: slope and offset of the primary quantity, slope and offset of the temperature.
constexpr uint32_t kCalEditSlope = 0;
constexpr uint32_t kCalEditOffset = 1;
constexpr uint32_t kCalEditTempSlope = 2;
constexpr uint32_t kCalEditTempOffset = 3;
extern float g_CalEditValues[2][4];
// The selector the values of a channel were read with.
extern uint8_t g_CalEditUnit[2];
// Chan_LoadCalEditValues (channel.h) reads them with the selector of the menu position (asked:
// selector 2).
// Reads the values with that selector; one out of its range takes its neutral value.
void Chan_ReadCalEditValues(uint32_t unit, uint32_t channel);
// Chan_SaveCalEditValues (channel.h) writes them back with the same selectors.

// ---- Resets -----------------------------------------------------------------------------------------------
// Meas_ResetSettings (channel.h): 0 re-identify the sensors, 2 the factory measurement
// settings, 3 the factory output calibration.
// The edit copies of a channel's dependent settings for a new configured kind.
void Chan_ResetForSensorKind(uint32_t channel, uint32_t kind);
// The resolution of a measurement line's unit (into the edited line), returned.
uint8_t Chan_SetDefaultResolution(uint32_t unit, uint32_t line);
// The users of a relay in the edited settings. The set points are one user: several may switch
// one relay together. The six sensor-monitoring alarms of channel B follow from 96 in steps of
// 16: the lifetime, maintenance and calibration timer alarms, then the CIP, SIP and autoclave
// alarms.
constexpr uint32_t kRelayUserNone = 0;
constexpr uint32_t kRelayUserAlarm = 16;
constexpr uint32_t kRelayUserCleaning = 32;
constexpr uint32_t kRelayUserSetPoints = 48;
constexpr uint32_t kRelayUserPid = 64;
constexpr uint32_t kRelayUserMonitorFirst = 96;
constexpr uint32_t kRelayUserMonitorStep = 16;
// What uses a relay besides the PID: the first of the alarm, the cleaning, the set points and the
// sensor-monitoring alarms; 0 for nothing.
uint32_t Relay_GetUsage(uint32_t relay);
// The first user of the relay other than the one asking, in the order above and the PID last.
uint32_t Relay_GetOtherUser(uint32_t relay, uint32_t asking);
// The first set point that switches the relay (its source not off), 6 for none.
uint32_t Relay_GetSetPointUser(uint32_t relay);
// Every user of the relay but the one keeping it gives it up: its relay becomes none.
void Relay_TakeFromOthers(uint32_t relay, uint32_t keeping);
// Widens a range to the PID edit copy's set point and dead band: bit 0 the low end moved, bit 1
// the high end.
uint32_t Chan_FitRangeToBand(float low, float high, float* lowOut, float* highOut);
// A step of a decade of x: the first power of ten not below |x| times 1e-5 (low side: 0 from
// 0.1 on; high side: five times that), at most 500000.
float Chan_DecadeStep(float x, uint32_t highSide);
// The device's serial text in the settings store: its characters, not zero-ended.
constexpr uint32_t kSerialTextBytes = 11;
void Chan_ReadSerialText(char* text, uint32_t* status);
// Characters of the device's serial text that cannot be shown become '0'.
void Chan_RepairSerialText(uint32_t* status);
extern const StoreMap g_SerialTextStoreMap;

void Chan_ResetEditState();
