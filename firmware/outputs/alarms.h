// Alarm flags (each channel's blinking alarm indicator), alarm causes (the conditions that drive the
// alarm relay and the outputs' alarm current) and the alarm relay with its settings.
#pragma once
#include <cstdint>

struct StoreMap;

// Alarm flag bits (one word per channel; the indicator blinks while the word is not zero).
constexpr uint32_t kAlarmFlagGlassRes = 6;
constexpr uint32_t kAlarmFlagRefRes = 7;
constexpr uint32_t kAlarmFlagWatchdog = 8;
constexpr uint32_t kAlarmFlagDisconnected = 11;
constexpr uint32_t kAlarmFlagWrongSensor = 12;
constexpr uint32_t kAlarmFlagCommError = 23;
constexpr uint32_t kAlarmFlagSetDate = 31;

// Alarm cause bits.
constexpr uint32_t kAlarmCauseDisconnected = 1;
constexpr uint32_t kAlarmCauseWrongSensor = 2;
constexpr uint32_t kAlarmCauseCommError = 9;
// Disable-mask bit of channel B's disconnection.
constexpr uint32_t kAlarmMaskDisconnected = 7;

// The alarm relay's requester bit on its relay.
constexpr uint32_t kAlarmRelayRequester = 0x8000;
// Alarm relay setting: relay 1, relay 2 or none.
constexpr uint8_t kAlarmRelayNone = 2;

// Live settings: the cause disable mask (a set bit switches one evaluated condition off) and the
// relay that serves as alarm relay.
struct AlarmSettings {
    uint32_t disableMask;
    uint8_t relay;
};
extern AlarmSettings g_AlarmSettings;
// The store ranges of the alarm settings.
extern const StoreMap g_AlarmStoreMap;
extern uint32_t g_AlarmFlags[2];
extern uint32_t g_AlarmCauses[2];

// Flags, causes and settings as at power-up (factory settings in memory, nothing stored).
void Alarm_ResetState();

// The indicator starts blinking with the first flag of a channel and stops with the last.
void Alarm_SetFlag(uint32_t bit, uint32_t channel);
void Alarm_ClearFlag(uint32_t bit, uint32_t channel);
void Alarm_ClearAllFlags(uint32_t channel);
uint32_t Alarm_GetFlags(uint32_t channel);
// The display test draws the indicators itself: while it is shown (1), clearing a channel's last
// flag leaves its indicator alone.
void Alarm_SetDisplayTestShown(uint32_t shown);

void Alarm_SetCause(uint32_t bit, uint32_t channel);
void Alarm_ClearCause(uint32_t bit, uint32_t channel);
uint32_t Alarm_GetCauses(uint32_t channel);
// Clears both channels' cause words except the communication error.
void Alarm_ClearAllCauses();

// Settings module: factory values into the store, load with the load rules, save (a changed alarm
// relay releases the old one at once).
void Alarm_WriteDefaults(uint32_t* status);
void Alarm_LoadSettings(uint32_t* status);
void Alarm_SaveSettings(uint32_t* status);
// Once a second: the alarm relay from the shown channel's causes, after the relay's delay.
void Alarm_UpdateRelay();
// The relay that serves as alarm relay (2 = none).
uint8_t Alarm_GetRelay();
// A set bit switches the cause's check off.
uint32_t Alarm_GetCauseDisableMask();
