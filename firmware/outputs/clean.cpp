// Cleaning timer: the cycle of cleaning and recovery on the seconds timers, and the cleaning
// settings module.
#include "outputs/clean.h"

#include "core/eeprom.h"
#include "core/timers.h"
#include "core/util.h"
#include "outputs/hold.h"
#include "outputs/relays.h"

// Settings store: interval (float, hours), cleaning time (float, seconds), relay, option.
static constexpr uint32_t kStoreInterval = 1190;
static constexpr uint32_t kStoreTime = 1194;
static constexpr uint32_t kStoreRelay = 1198;
static constexpr uint32_t kStoreOption = 1199;
static constexpr uint32_t kSecondsPerHour = 3600;
static constexpr StoreRange kStoreRanges[] = {{kStoreInterval, 10}};
const StoreMap g_CleanStoreMap = {"cleaning", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

static const CleanSettings kFactorySettings = {0.0f, 0.0f, 0, 0};

CleanSettings g_CleanSettings = kFactorySettings;
// The relay the cycle works on; a configured relay takes its place when the cycle stops.
static uint8_t s_RelayInUse = kRelayNone;
// The cleaning time runs (the relay is requested).
static uint8_t s_Cleaning;
// Cleaning or recovery: the outputs are held.
static uint8_t s_Active;

void Clean_ResetState() {
    g_CleanSettings = kFactorySettings;
    s_RelayInUse = kRelayNone;
    s_Cleaning = 0;
    s_Active = 0;
}

void Clean_SaveSettings(uint32_t* status) {
    Eeprom_WriteFloat(kStoreInterval, g_CleanSettings.interval, status);
    Eeprom_WriteFloat(kStoreTime, g_CleanSettings.time, status);
    Eeprom_WriteChecked(kStoreRelay, &g_CleanSettings.relay, 1, status);
    Eeprom_WriteChecked(kStoreOption, &g_CleanSettings.option, 1, status);
    if (s_RelayInUse >= kRelayNone) s_RelayInUse = g_CleanSettings.relay;
}

void Clean_WriteDefaults(uint32_t* status) {
    g_CleanSettings = kFactorySettings;
    Clean_SaveSettings(status);
}

static float LoadFloat(uint32_t offset, float largest, uint32_t* status) {
    float value = 0.0f;
    uint32_t s = 0;
    Eeprom_ReadFloat(offset, &value, &s);
    if (s != 0) *status = s;
    return s == 0 && value >= 0.0f && value <= largest ? value : 0.0f;
}

void Clean_LoadSettings(uint32_t* status) {
    g_CleanSettings.interval = LoadFloat(kStoreInterval, kCleanMaxInterval, status);
    g_CleanSettings.time = LoadFloat(kStoreTime, kCleanMaxTime, status);
    uint8_t bytes[2] = {0xFF, 0xFF};
    uint32_t s = 0;
    Eeprom_Read(kStoreRelay, bytes, 2, &s);
    if (s != 0) *status = s;
    g_CleanSettings.relay = s == 0 && bytes[0] <= kRelayNone ? bytes[0] : kRelayNone;
    g_CleanSettings.option = s == 0 && bytes[1] <= 1 ? bytes[1] : 0;
    s_RelayInUse = g_CleanSettings.relay;
    s_Cleaning = 0;
    s_Active = 0;
}

static bool Configured() {
    return s_RelayInUse == g_CleanSettings.relay && !Util_IsNearZero(g_CleanSettings.interval) &&
           !Util_IsNearZero(g_CleanSettings.time);
}

void Clean_Update() {
    if (s_RelayInUse >= kRelayNone) return;
    if (!Configured()) {
        // The relay, interval or time changed to values the cycle cannot use.
        Timer_Stop(kTimerCleanInterval);
        Timer_Stop(kTimerCleanTime);
        bool wasCleaning = s_Cleaning != 0;
        s_Cleaning = 0;
        s_Active = 0;
        Relay_RemoveRequester(s_RelayInUse, kRelayRequesterCleaning, 0);
        // A relay given up in the middle of a cleaning is no longer the cleaning relay, so the hold
        // it is under would keep its contact (and the cleaning device running) until the hold
        // ends: it lets go now.
        if (wasCleaning) Relay_DriveFromRequesters(s_RelayInUse);
        s_RelayInUse = g_CleanSettings.relay;
        return;
    }
    if (!Timer_IsActive(kTimerCleanInterval)) {
        // Whole seconds: the interval counts from the start of one cleaning to the next.
        Timer_StartTicks(kTimerCleanInterval, static_cast<uint32_t>(g_CleanSettings.interval * kSecondsPerHour), 0);
        Timer_StartTicks(kTimerCleanTime, static_cast<uint32_t>(g_CleanSettings.time), 0);
        Relay_AddRequester(s_RelayInUse, kRelayRequesterCleaning, 0);
        s_Cleaning = 1;
        s_Active = 1;
        g_OutputHold = 1;
    }
    if (!Timer_IsActive(kTimerCleanTime) && s_Cleaning) {
        s_Cleaning = 0;
        Relay_RemoveRequester(s_RelayInUse, kRelayRequesterCleaning, 0);
        Timer_StartTicks(kTimerCleanRecovery, kCleanRecoverySeconds, 0);
    }
    if (Timer_Expired(kTimerCleanRecovery) && !s_Cleaning && s_Active) {
        s_Active = 0;
        Hold_Update();
    }
}

void Clean_Stop() {
    if (Timer_IsActive(kTimerCleanTime)) return;
    s_Cleaning = 0;
    s_Active = 0;
    Hold_Update();
    if (s_RelayInUse < kRelayNone) Relay_RemoveRequester(s_RelayInUse, kRelayRequesterCleaning, 0);
}

uint32_t Clean_IsActive() { return s_Active; }
uint32_t Clean_IsCleaning() { return s_Cleaning; }
uint8_t Clean_GetRelay() { return g_CleanSettings.relay; }
float Clean_GetInterval() { return g_CleanSettings.interval; }
float Clean_GetTime() { return g_CleanSettings.time; }
