// Cleaning timer: every interval the cleaning relay is switched on for the cleaning time, and the
// outputs are held during the cleaning and for 20 s of recovery after it.
#pragma once
#include <cstdint>

struct StoreMap;

// Seconds timers of the cycle: the interval, the cleaning time and the recovery.
constexpr int kTimerCleanInterval = 11;
constexpr int kTimerCleanTime = 12;
constexpr int kTimerCleanRecovery = 13;
constexpr uint32_t kCleanRecoverySeconds = 20;
// Longest interval (hours) and cleaning time (seconds) a store holds.
constexpr float kCleanMaxInterval = 999.91f;
constexpr float kCleanMaxTime = 9999.1f;

// Live settings: interval in hours, cleaning time in seconds, the relay (0 relay 1, 1 relay 2,
// 2 none) and an option byte.
struct CleanSettings {
    float interval;
    float time;
    uint8_t relay;
    uint8_t option;
};
extern CleanSettings g_CleanSettings;

// Factory settings in memory, no cleaning running; nothing stored.
void Clean_ResetState();

void Clean_WriteDefaults(uint32_t* status);
// Loads by the load rules; no cleaning runs afterwards.
void Clean_LoadSettings(uint32_t* status);
void Clean_SaveSettings(uint32_t* status);

// Once a second: starts a cleaning when the interval has run out (at once when newly configured),
// ends it after the cleaning time, ends the recovery; a changed or unusable configuration stops
// the cycle and releases the relay.
void Clean_Update();
// Once a second while the outputs are held for another reason: a cleaning that is not under way
// does not start, and the recovery ends.
void Clean_Stop();
// 1 during the cleaning and its recovery (the outputs are held).
uint32_t Clean_IsActive();
// 1 while the cleaning relay is requested.
uint32_t Clean_IsCleaning();
// The configured relay (2 = none), interval and cleaning time.
uint8_t Clean_GetRelay();
float Clean_GetInterval();
float Clean_GetTime();

// The settings-store ranges of this module.
extern const StoreMap g_CleanStoreMap;
