// Relays: the two relay (open-collector) outputs, the requester bits that want them, their delay,
// contact sense and hold behaviour, and their settings module.
#pragma once
#include <atomic>
#include <cstdint>

struct StoreMap;

constexpr uint32_t kRelayCount = 2;
// Software timers 9 and 10 count the delays of relays 1 and 2 in seconds.
constexpr int kTimerRelayDelayFirst = 9;

// Requesters. 1 and 2 are the set points' (limit condition; source over or under range): each
// sets its summary bit and a bit per set point (index + 2, index + 8).
constexpr uint32_t kRelayRequesterLimit = 0x1;
constexpr uint32_t kRelayRequesterRange = 0x2;
constexpr uint32_t kRelayRequesterCleaning = 0x10000;
// The digital sensor's diagnostic output n requests with this bit shifted left by n.
constexpr uint32_t kRelayRequesterSensorOc = 0x100000;

// Contact sense: 0 the contact closes when active, 1 it opens.
constexpr uint8_t kRelayNormallyOpen = 0;
constexpr uint8_t kRelayNormallyClosed = 1;
// Hold behaviour while the outputs are held.
constexpr uint8_t kRelayHoldRest = 0;
constexpr uint8_t kRelayHoldKeep = 1;
constexpr uint8_t kRelayHoldActive = 2;
// Relay argument meaning none (cleaning and PID relays that are not in use).
constexpr uint8_t kRelayNone = 2;

// Live settings per relay: delay in seconds, contact sense, hold behaviour.
struct RelaySettings {
    float delay[kRelayCount];
    uint8_t sense[kRelayCount];
    uint8_t holdBehaviour[kRelayCount];
};
extern RelaySettings g_RelaySettings;
// The store ranges of the relay settings.
extern const StoreMap g_RelayStoreMap;
// Requester bits per relay; a relay is active while any is set.
extern uint32_t g_RelayRequesters[kRelayCount];
// Relay contacts: bit 0 relay 1, bit 1 relay 2, set while the contact is closed. The relay step
// (firmware thread) and the PID's pulse step (timer thread) change single bits of it, so every
// change is one atomic read-modify-write.
extern std::atomic<uint8_t> g_RelayBits;
// Per relay: how often its contact has closed. A PID pulse can be shorter than the panel's
// refresh; the panel shows a closing it would otherwise miss.
extern std::atomic<uint32_t> g_RelayClosings[kRelayCount];
// Per relay: the relay follows the output hold (the alarm relay never does).
extern uint8_t g_RelayHoldFlags[kRelayCount];

// Contacts open, no requester, factory settings in memory, as at power-up.
void Relay_ResetState();

void Relay_WriteDefaults(uint32_t* status);
// Loads the settings by their load rules and clears every requester.
void Relay_LoadSettings(uint32_t* status);
void Relay_SaveSettings(uint32_t* status);

// The software timer of a relay's delay.
int Relay_DelayTimer(uint32_t relay);
void Relay_SetContact(uint32_t relay, uint32_t closed);
// Contact = active, inverted for a normally closed relay.
void Relay_SetLogical(uint32_t relay, uint32_t active);
// Adds the requester at once when the relay has no delay, else starts the delay (whole seconds).
void Relay_RequestDelayed(uint32_t relay, uint32_t requester, uint32_t index);
void Relay_CancelDelay(uint32_t relay);
// The relay has no delay, or its delay has run out.
uint32_t Relay_IsDelayElapsed(uint32_t relay);
void Relay_AddRequester(uint32_t relay, uint32_t requester, uint32_t index);
void Relay_RemoveRequester(uint32_t relay, uint32_t requester, uint32_t index);
// Contact from the requesters: active while any bit is set.
void Relay_DriveFromRequesters(uint32_t relay);
// Once a second: both relays from their requesters, or by their hold behaviour while the outputs
// are held. cleanRelay and the PID pulse relays are 2 when not in use.
void Relay_UpdateAll(uint32_t hold, uint32_t cleaning, uint8_t cleanRelay, uint8_t pidRelay0, uint8_t pidRelay1);
