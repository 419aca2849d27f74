// Relays: contacts, requesters, delays, hold behaviour and the relay settings module.
#include "outputs/relays.h"

#include "core/eeprom.h"
#include "core/fw_hook.h"
#include "core/timers.h"
#include "core/util.h"

// Settings store: contact sense (a byte per relay), delay (a float per relay, seconds) and hold
// behaviour (a byte per relay).
static constexpr uint32_t kStoreSense = 1024;
static constexpr uint32_t kStoreDelay = 1026;
static constexpr uint32_t kStoreHoldBehaviour = 1294;
static constexpr StoreRange kStoreRanges[] = {
    {kStoreSense, kRelayCount}, {kStoreDelay, 4 * kRelayCount}, {kStoreHoldBehaviour, kRelayCount}};
const StoreMap g_RelayStoreMap = {"relays", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};
// Longest delay a relay takes, in seconds.
static constexpr float kMaxDelay = 999.1f;

// Factory settings: relay 1 closes after 10 s, relay 2 opens after 1 s; both keep their contact
// while the outputs are held.
static const RelaySettings kFactorySettings = {
    {10.0f, 1.0f}, {kRelayNormallyOpen, kRelayNormallyClosed}, {kRelayHoldKeep, kRelayHoldKeep}};

RelaySettings g_RelaySettings = kFactorySettings;
uint32_t g_RelayRequesters[kRelayCount];
std::atomic<uint8_t> g_RelayBits{0};
std::atomic<uint32_t> g_RelayClosings[kRelayCount];
uint8_t g_RelayHoldFlags[kRelayCount];

// The set points' bits of requesters 1 and 2 (bits 2 to 7 and 8 to 13).
static constexpr uint32_t kLimitSetPointBits = 0x00FC;
static constexpr uint32_t kRangeSetPointBits = 0x3F00;
// Requesters from this bit up (alarm relay, cleaning, the sensor's outputs) are removed whole.
static constexpr uint32_t kWholeRequesterFloor = 0x8000;

void Relay_ResetState() {
    g_RelaySettings = kFactorySettings;
    g_RelayRequesters[0] = g_RelayRequesters[1] = 0;
    g_RelayBits.store(0, std::memory_order_relaxed);
    g_RelayClosings[0].store(0, std::memory_order_relaxed);
    g_RelayClosings[1].store(0, std::memory_order_relaxed);
    g_RelayHoldFlags[0] = g_RelayHoldFlags[1] = 0;
}

// ---- Settings ---------------------------------------------------------------------------------

void Relay_SaveSettings(uint32_t* status) {
    for (uint32_t r = 0; r < kRelayCount; ++r) {
        Eeprom_WriteChecked(kStoreSense + r, &g_RelaySettings.sense[r], 1, status);
        Eeprom_WriteFloat(kStoreDelay + 4 * r, g_RelaySettings.delay[r], status);
        Eeprom_WriteChecked(kStoreHoldBehaviour + r, &g_RelaySettings.holdBehaviour[r], 1, status);
    }
}

void Relay_WriteDefaults(uint32_t* status) {
    g_RelaySettings = kFactorySettings;
    Relay_SaveSettings(status);
}

void Relay_LoadSettings(uint32_t* status) {
    for (uint32_t r = 0; r < kRelayCount; ++r) {
        uint32_t s = 0;
        float delay = 0.0f;
        Eeprom_ReadFloat(kStoreDelay + 4 * r, &delay, &s);
        if (s != 0) *status = s;
        // A negative delay is as far out of range as one above the longest.
        g_RelaySettings.delay[r] = s == 0 && delay >= 0.0f && delay <= kMaxDelay ? delay : 0.0f;

        uint8_t sense = 0xFF;
        s = 0;
        Eeprom_Read(kStoreSense + r, &sense, 1, &s);
        if (s != 0) *status = s;
        g_RelaySettings.sense[r] = s == 0 && sense <= kRelayNormallyClosed ? sense : kRelayNormallyOpen;

        uint8_t hold = 0xFF;
        s = 0;
        Eeprom_Read(kStoreHoldBehaviour + r, &hold, 1, &s);
        if (s != 0) *status = s;
        g_RelaySettings.holdBehaviour[r] = s == 0 && hold <= kRelayHoldActive ? hold : kRelayHoldKeep;

        g_RelayRequesters[r] = 0;
    }
}

// ---- Contacts and requesters ----------------------------------------------------------------------

int Relay_DelayTimer(uint32_t relay) { return kTimerRelayDelayFirst + static_cast<int>(relay); }

void Relay_SetContact(uint32_t relay, uint32_t closed) {
    if (relay >= kRelayCount) return;
    const uint8_t bit = static_cast<uint8_t>(1u << relay);
    if (closed) {
        uint8_t before = g_RelayBits.fetch_or(bit, std::memory_order_relaxed);
        if ((before & bit) == 0) g_RelayClosings[relay].fetch_add(1, std::memory_order_relaxed);
    } else {
        g_RelayBits.fetch_and(static_cast<uint8_t>(~bit), std::memory_order_relaxed);
    }
    Fw_HardwareHook(closed ? 1 : 0, bit);
}

void Relay_SetLogical(uint32_t relay, uint32_t active) {
    if (relay >= kRelayCount) return;
    uint32_t on = active != 0 ? 1 : 0;
    Relay_SetContact(relay, g_RelaySettings.sense[relay] == kRelayNormallyClosed ? 1 - on : on);
}

void Relay_RequestDelayed(uint32_t relay, uint32_t requester, uint32_t index) {
    if (relay >= kRelayCount) return;
    float delay = g_RelaySettings.delay[relay];
    if (Util_IsNearZero(delay)) {
        Relay_AddRequester(relay, requester, index);
        return;
    }
    // The timer counts whole seconds: 0.7 s starts it with 0 and it runs out at the next second.
    uint32_t seconds = delay > 0.0f ? static_cast<uint32_t>(delay) : 0;
    Timer_StartTicks(Relay_DelayTimer(relay), seconds, 0);
}

void Relay_CancelDelay(uint32_t relay) {
    if (relay < kRelayCount) Timer_Stop(Relay_DelayTimer(relay));
}

uint32_t Relay_IsDelayElapsed(uint32_t relay) {
    if (relay >= kRelayCount) return 0;
    if (Util_IsNearZero(g_RelaySettings.delay[relay])) return 1;
    // A run-out delay keeps reporting its expiry until it is started again, so every requester
    // that waits on it sees it.
    return Timer_Expired(Relay_DelayTimer(relay)) ? 1 : 0;
}

void Relay_AddRequester(uint32_t relay, uint32_t requester, uint32_t index) {
    if (relay >= kRelayCount) return;
    uint32_t mask = requester;
    if (requester == kRelayRequesterLimit && index < 6) mask |= 1u << (index + 2);
    if (requester == kRelayRequesterRange && index < 6) mask |= 1u << (index + 8);
    g_RelayRequesters[relay] |= mask;
}

void Relay_RemoveRequester(uint32_t relay, uint32_t requester, uint32_t index) {
    if (relay >= kRelayCount) return;
    uint32_t& mask = g_RelayRequesters[relay];
    if (requester >= kWholeRequesterFloor) {
        mask &= ~requester;
        return;
    }
    if (mask == 0 || index >= 6) return;
    // Each summary bit stays while a set point of its own requester still asks; the other
    // requester's set points do not hold it (the relay would stay active with nobody asking).
    if (requester == kRelayRequesterLimit) {
        mask &= ~(1u << (index + 2));
        if ((mask & kLimitSetPointBits) == 0) mask &= ~kRelayRequesterLimit;
    } else if (requester == kRelayRequesterRange) {
        mask &= ~(1u << (index + 8));
        if ((mask & kRangeSetPointBits) == 0) mask &= ~kRelayRequesterRange;
    }
}

void Relay_DriveFromRequesters(uint32_t relay) {
    if (relay < kRelayCount) Relay_SetLogical(relay, g_RelayRequesters[relay] != 0 ? 1 : 0);
}

void Relay_UpdateAll(uint32_t hold, uint32_t cleaning, uint8_t cleanRelay, uint8_t pidRelay0, uint8_t pidRelay1) {
    for (uint32_t r = 0; r < kRelayCount; ++r) {
        bool isPid = r == pidRelay0 || r == pidRelay1;
        bool isCleaning = r == cleanRelay;
        if (hold != 0 && g_RelayHoldFlags[r] != 0) {
            uint8_t behaviour = g_RelaySettings.holdBehaviour[r];
            uint8_t sense = g_RelaySettings.sense[r];
            if (isCleaning && cleaning != 0) {
                // Cleaning goes on under its own hold.
                Relay_DriveFromRequesters(r);
            } else if (isCleaning) {
                // A hold that is no cleaning never runs the cleaning device, whatever the relay's
                // hold behaviour.
                Relay_SetContact(r, sense);
            } else if (isPid || behaviour == kRelayHoldKeep) {
                continue;
            } else if (behaviour == kRelayHoldActive) {
                Relay_SetContact(r, 1u - sense);
            } else {
                Relay_SetContact(r, sense);
            }
        } else if (!isPid) {
            // The PID drives its pulse relays itself.
            Relay_DriveFromRequesters(r);
        }
    }
}
