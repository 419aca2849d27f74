// Alarm flags and indicators, alarm causes, the alarm relay and its settings module.
#include "outputs/alarms.h"

#include "core/eeprom.h"
#include "core/lcd.h"
#include "core/timers.h"
#include "measurement/channel.h"
#include "outputs/relays.h"

// Settings store: the cause disable mask (4 bytes, little-endian) and the alarm relay.
static constexpr uint32_t kStoreDisableMask = 1276;
static constexpr uint32_t kStoreAlarmRelay = 1292;
static constexpr StoreRange kStoreRanges[] = {{kStoreDisableMask, 4}, {kStoreAlarmRelay, 1}};
const StoreMap g_AlarmStoreMap = {"alarm settings", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};
// Factory mask: only bits 7 (channel B disconnected) and 8 (electrolyte low) are evaluated.
static constexpr uint32_t kFactoryDisableMask = 0xFFFFFE7F;
static constexpr uint8_t kFactoryAlarmRelay = 1;

AlarmSettings g_AlarmSettings = {kFactoryDisableMask, kFactoryAlarmRelay};
uint32_t g_AlarmFlags[2];
uint32_t g_AlarmCauses[2];
// 1 once the relay's delay has been started for the present alarm.
static uint8_t s_DelayStarted;
static uint8_t s_DisplayTestShown;

void Alarm_ResetState() {
    g_AlarmFlags[0] = g_AlarmFlags[1] = 0;
    g_AlarmCauses[0] = g_AlarmCauses[1] = 0;
    g_AlarmSettings = AlarmSettings{kFactoryDisableMask, kFactoryAlarmRelay};
    s_DelayStarted = 0;
    s_DisplayTestShown = 0;
}

// ---- Flags ------------------------------------------------------------------------------------

void Alarm_SetFlag(uint32_t bit, uint32_t channel) {
    if (channel > 1 || bit > 31) return;
    if (g_AlarmFlags[channel] == 0) Lcd_StartSymbolBlink(channel);
    g_AlarmFlags[channel] |= 1u << bit;
}

void Alarm_ClearFlag(uint32_t bit, uint32_t channel) {
    if (channel > 1 || bit > 31 || g_AlarmFlags[channel] == 0) return;
    g_AlarmFlags[channel] &= ~(1u << bit);
    if (g_AlarmFlags[channel] == 0 && !s_DisplayTestShown) Lcd_StopSymbolBlink(channel, 0);
}

void Alarm_ClearAllFlags(uint32_t channel) {
    if (channel > 1) return;
    g_AlarmFlags[channel] = 0;
    Lcd_StopSymbolBlink(channel, 0);
}

uint32_t Alarm_GetFlags(uint32_t channel) { return channel < 2 ? g_AlarmFlags[channel] : 0; }
void Alarm_SetDisplayTestShown(uint32_t shown) { s_DisplayTestShown = shown != 0 ? 1 : 0; }

// ---- Causes -----------------------------------------------------------------------------------

void Alarm_SetCause(uint32_t bit, uint32_t channel) {
    if (channel < 2 && bit < 32) g_AlarmCauses[channel] |= 1u << bit;
}

void Alarm_ClearCause(uint32_t bit, uint32_t channel) {
    if (channel < 2 && bit < 32) g_AlarmCauses[channel] &= ~(1u << bit);
}

uint32_t Alarm_GetCauses(uint32_t channel) { return channel < 2 ? g_AlarmCauses[channel] : 0; }

void Alarm_ClearAllCauses() {
    // The communication error belongs to the link, not to a channel's sensor: it stays.
    const uint32_t keep = 1u << kAlarmCauseCommError;
    g_AlarmCauses[0] &= keep;
    g_AlarmCauses[1] &= keep;
}

// ---- Settings ---------------------------------------------------------------------------------

static void WriteMask(uint32_t mask, uint32_t* status) {
    const uint8_t bytes[4] = {static_cast<uint8_t>(mask), static_cast<uint8_t>(mask >> 8),
                              static_cast<uint8_t>(mask >> 16), static_cast<uint8_t>(mask >> 24)};
    Eeprom_WriteChecked(kStoreDisableMask, bytes, 4, status);
}

void Alarm_WriteDefaults(uint32_t* status) {
    WriteMask(kFactoryDisableMask, status);
    uint8_t relay = kFactoryAlarmRelay;
    Eeprom_WriteChecked(kStoreAlarmRelay, &relay, 1, status);
}

void Alarm_LoadSettings(uint32_t* status) {
    uint8_t bytes[4];
    uint32_t s = 0;
    Eeprom_Read(kStoreDisableMask, bytes, 4, &s);
    if (s == 0) {
        g_AlarmSettings.disableMask = static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
                                      static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
    } else {
        g_AlarmSettings.disableMask = kFactoryDisableMask;
        *status = s;
    }
    uint8_t relay = kAlarmRelayNone;
    s = 0;
    Eeprom_Read(kStoreAlarmRelay, &relay, 1, &s);
    if (s != 0) *status = s;
    g_AlarmSettings.relay = s == 0 && relay <= kAlarmRelayNone ? relay : kAlarmRelayNone;
}

void Alarm_SaveSettings(uint32_t* status) {
    WriteMask(g_AlarmSettings.disableMask, status);
    uint8_t old = kAlarmRelayNone;
    uint32_t s = 0;
    Eeprom_Read(kStoreAlarmRelay, &old, 1, &s);
    if (s != 0) *status = s;
    Eeprom_WriteChecked(kStoreAlarmRelay, &g_AlarmSettings.relay, 1, status);
    if (s == 0 && old != g_AlarmSettings.relay && old < kAlarmRelayNone) {
        // The old relay no longer serves the alarm: it lets go at once.
        Relay_RemoveRequester(old, kAlarmRelayRequester, 0);
        s_DelayStarted = 0;
    }
}

uint8_t Alarm_GetRelay() { return g_AlarmSettings.relay; }
uint32_t Alarm_GetCauseDisableMask() { return g_AlarmSettings.disableMask; }

void Alarm_UpdateRelay() {
    uint8_t relay = g_AlarmSettings.relay;
    if (relay >= kAlarmRelayNone) return;
    uint32_t channel = Chan_GetCurrentChannel();
    // Only the shown channel's causes drive the alarm relay.
    if (Alarm_GetCauses(channel) != 0) {
        if (!Timer_IsActive(Relay_DelayTimer(relay)) && s_DelayStarted == 0) {
            s_DelayStarted = 1;
            Relay_RequestDelayed(relay, kAlarmRelayRequester, 0);
            return;
        }
        if (Relay_IsDelayElapsed(relay)) Relay_AddRequester(relay, kAlarmRelayRequester, 0);
        return;
    }
    Relay_RemoveRequester(relay, kAlarmRelayRequester, 0);
    s_DelayStarted = 0;
}
