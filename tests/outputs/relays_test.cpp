// Relays and output hold: requesters and their summary bits, delays in whole seconds, contact
// sense, the three hold behaviours, the alarm relay that is never held, the load rules, the
// contacts changed from two threads, and the hold word with its causes.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/eeprom.h"
#include "core/settings.h"
#include "core/timers.h"
#include "measurement/channel.h"
#include "outputs/alarms.h"
#include "outputs/hold.h"
#include "outputs/relays.h"
#include "rig.h"
#include "ui/hold_view.h"
#include "ui/menu.h"
#include "ui/menu_tasks.h"

namespace {
void Fresh() {
    Rig_OpenFreshStore();
    g_CurrentChannel = 0;
}

uint32_t Contact(uint32_t relay) { return (g_RelayBits.load() >> relay) & 1u; }
void Drive() { Relay_UpdateAll(g_OutputHold, 0, kRelayNone, kRelayNone, kRelayNone); }
}  // namespace

TEST(Relays, RequestersSetAndClearTheirOwnBits) {
    Fresh();
    // Requester 1 of set point 3 (index 2): its summary bit and bit 4.
    Relay_AddRequester(0, kRelayRequesterLimit, 2);
    EXPECT_EQ(g_RelayRequesters[0], 0x11u);
    Relay_RemoveRequester(0, kRelayRequesterLimit, 2);
    EXPECT_EQ(g_RelayRequesters[0], 0u);
    // The alarm requester goes whole and leaves the set points' bits.
    Relay_AddRequester(0, kAlarmRelayRequester, 0);
    Relay_AddRequester(0, kRelayRequesterLimit, 0);
    Relay_RemoveRequester(0, kAlarmRelayRequester, 0);
    EXPECT_EQ(g_RelayRequesters[0], 0x5u);
    // Two set points of one requester: the summary stays until the last goes.
    Relay_AddRequester(0, kRelayRequesterLimit, 5);
    Relay_RemoveRequester(0, kRelayRequesterLimit, 0);
    EXPECT_EQ(g_RelayRequesters[0], 0x81u);
    Relay_RemoveRequester(0, kRelayRequesterLimit, 5);
    EXPECT_EQ(g_RelayRequesters[0], 0u);
}

TEST(Relays, ASummaryBitIsNotHeldByTheOtherRequestersSetPoints) {
    Fresh();
    // Set point 3 asks with both requesters, then lets go of both: nothing may keep the relay.
    Relay_AddRequester(1, kRelayRequesterLimit, 2);
    Relay_AddRequester(1, kRelayRequesterRange, 2);
    EXPECT_EQ(g_RelayRequesters[1], 0x413u);
    Relay_RemoveRequester(1, kRelayRequesterLimit, 2);
    EXPECT_EQ(g_RelayRequesters[1], 0x402u);
    Relay_RemoveRequester(1, kRelayRequesterRange, 2);
    EXPECT_EQ(g_RelayRequesters[1], 0u);
    Drive();
    EXPECT_EQ(Contact(1), 1u) << "relay 2 (normally closed) at rest";
}

TEST(Relays, DelaysCountWholeSeconds) {
    Fresh();
    g_RelaySettings.delay[0] = 0.7f;
    Relay_RequestDelayed(0, kRelayRequesterCleaning, 0);
    EXPECT_EQ(g_RelayRequesters[0], 0u);
    EXPECT_EQ(Timer_IsActive(Relay_DelayTimer(0)), 1u);
    EXPECT_EQ(g_SoftTimers[Relay_DelayTimer(0)].period.load(), 0u) << "0.7 s truncated";
    EXPECT_EQ(Relay_IsDelayElapsed(0), 0u);
    Rig_TickOnlyMs(1000);
    // A run-out delay reports its expiry to every requester that asks, until started again.
    EXPECT_EQ(Relay_IsDelayElapsed(0), 1u);
    EXPECT_EQ(Relay_IsDelayElapsed(0), 1u);
    g_RelaySettings.delay[0] = 3.0f;
    Relay_RequestDelayed(0, kRelayRequesterCleaning, 0);
    EXPECT_EQ(Relay_IsDelayElapsed(0), 0u);
    Relay_CancelDelay(0);
    EXPECT_EQ(Timer_IsActive(Relay_DelayTimer(0)), 0u);
    EXPECT_EQ(Relay_IsDelayElapsed(0), 0u);
    // A delay of about zero adds the requester at once.
    g_RelaySettings.delay[1] = 1e-13f;
    Relay_RequestDelayed(1, kRelayRequesterCleaning, 0);
    EXPECT_EQ(g_RelayRequesters[1], kRelayRequesterCleaning);
    EXPECT_EQ(Relay_IsDelayElapsed(1), 1u);
}

TEST(Relays, ContactSenseAndTheHoldBehaviours) {
    Fresh();
    Drive();
    EXPECT_EQ(Contact(0), 0u) << "relay 1 normally open, at rest";
    EXPECT_EQ(Contact(1), 1u) << "relay 2 normally closed, at rest";
    Relay_AddRequester(0, kRelayRequesterCleaning, 0);
    Relay_AddRequester(1, kRelayRequesterCleaning, 0);
    Drive();
    EXPECT_EQ(Contact(0), 1u);
    EXPECT_EQ(Contact(1), 0u) << "relay 2 opens while requested";

    // Held: behaviour 1 keeps the contact whatever the requesters do.
    g_OutputHold = 1;
    g_RelayHoldFlags[0] = g_RelayHoldFlags[1] = 1;
    g_RelayRequesters[0] = g_RelayRequesters[1] = 0;
    Drive();
    EXPECT_EQ(Contact(0), 1u);
    EXPECT_EQ(Contact(1), 0u);
    // Behaviour 2: active whatever the requesters; behaviour 0: at rest.
    g_RelaySettings.holdBehaviour[0] = kRelayHoldActive;
    g_RelaySettings.holdBehaviour[1] = kRelayHoldRest;
    Drive();
    EXPECT_EQ(Contact(0), 1u);
    EXPECT_EQ(Contact(1), 1u);
    g_RelaySettings.holdBehaviour[0] = kRelayHoldRest;
    g_RelaySettings.holdBehaviour[1] = kRelayHoldActive;
    Relay_AddRequester(0, kRelayRequesterCleaning, 0);
    Drive();
    EXPECT_EQ(Contact(0), 0u);
    EXPECT_EQ(Contact(1), 0u);
    // The cleaning relay goes on under its own hold, and rests under any other hold whatever its
    // hold behaviour; a PID pulse relay is left to the PID.
    for (uint8_t behaviour : {kRelayHoldRest, kRelayHoldKeep, kRelayHoldActive}) {
        g_RelaySettings.holdBehaviour[0] = behaviour;
        Relay_UpdateAll(1, 1, 0, kRelayNone, kRelayNone);
        EXPECT_EQ(Contact(0), 1u) << "hold behaviour " << int(behaviour);
        Relay_UpdateAll(1, 0, 0, kRelayNone, kRelayNone);
        EXPECT_EQ(Contact(0), 0u) << "the cleaning relay at rest while cleaning does not run, hold behaviour "
                                  << int(behaviour);
    }
    g_RelaySettings.holdBehaviour[0] = kRelayHoldRest;
    g_RelaySettings.holdBehaviour[1] = kRelayHoldRest;
    Relay_UpdateAll(1, 0, kRelayNone, kRelayNone, 1);
    EXPECT_EQ(Contact(1), 0u);
    Relay_UpdateAll(0, 0, kRelayNone, 1, kRelayNone);
    EXPECT_EQ(Contact(1), 0u) << "not held, still the PID's";
    // An unheld relay follows its requesters while the other is held.
    g_RelayHoldFlags[0] = 0;
    g_RelayRequesters[0] = kRelayRequesterCleaning;
    Drive();
    EXPECT_EQ(Contact(0), 1u);
}

TEST(Relays, TheAlarmRelayIsNeverHeld) {
    Fresh();
    g_OutputHold = 1;
    g_AlarmSettings.relay = 1;
    Relay_AddRequester(1, kAlarmRelayRequester, 0);
    Menu_TickRelays();
    EXPECT_EQ(g_RelayHoldFlags[0], 1);
    EXPECT_EQ(g_RelayHoldFlags[1], 0);
    EXPECT_EQ(Contact(1), 0u) << "relay 2 reports the alarm during the hold";
    g_AlarmSettings.relay = kAlarmRelayNone;
    g_OutputHold = 0;
    Menu_TickRelays();
    EXPECT_EQ(g_RelayHoldFlags[0], 0);
    EXPECT_EQ(g_RelayHoldFlags[1], 0);
}

TEST(Relays, SettingsLoadRulesAndRequestersClearedAtLoad) {
    Fresh();
    uint32_t status = 0;
    Relay_WriteDefaults(&status);
    EXPECT_EQ(status, 0u);
    const uint8_t sense[2] = {2, 1};
    const uint8_t hold[2] = {3, 2};
    Eeprom_Write(1024, sense, 2, &status);
    Eeprom_WriteFloat(1026, 999.2f, &status);
    Eeprom_WriteFloat(1030, -1.0f, &status);
    Eeprom_Write(1294, hold, 2, &status);
    g_RelayRequesters[0] = 0x8000;
    Relay_LoadSettings(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(g_RelaySettings.sense[0], 0);
    EXPECT_EQ(g_RelaySettings.sense[1], 1);
    EXPECT_EQ(g_RelaySettings.delay[0], 0.0f);
    EXPECT_EQ(g_RelaySettings.delay[1], 0.0f);
    EXPECT_EQ(g_RelaySettings.holdBehaviour[0], kRelayHoldKeep);
    EXPECT_EQ(g_RelaySettings.holdBehaviour[1], kRelayHoldActive);
    EXPECT_EQ(g_RelayRequesters[0], 0u);
    Eeprom_WriteFloat(1026, 999.1f, &status);
    Relay_LoadSettings(&status);
    EXPECT_EQ(g_RelaySettings.delay[0], 999.1f);
    // An unreadable store: every load default and the store's status.
    Rig_LoseStore();
    Relay_LoadSettings(&status);
    EXPECT_EQ(status, kStoreNotReady);
    EXPECT_EQ(g_RelaySettings.delay[0], 0.0f);
    EXPECT_EQ(g_RelaySettings.sense[1], 0);
    EXPECT_EQ(g_RelaySettings.holdBehaviour[1], kRelayHoldKeep);
}

TEST(Relays, ContactsChangedFromTwoThreadsLoseNoBit) {
    Fresh();
    // The relay step and the PID's pulse step each change their own relay's bit; a bit lost to the
    // other thread's write would read back wrong.
    std::atomic<uint32_t> wrong{0};
    std::atomic<uint32_t> ready{0};
    auto toggle = [&wrong, &ready](uint32_t relay) {
        // Both start together, so that their changes overlap.
        ready.fetch_add(1);
        while (ready.load() < 2) {}
        for (uint32_t i = 0; i < 1000000; ++i) {
            uint32_t closed = i & 1u;
            Relay_SetContact(relay, closed);
            if (((g_RelayBits.load(std::memory_order_relaxed) >> relay) & 1u) != closed) wrong.fetch_add(1);
        }
    };
    std::thread pulse(toggle, 0u);
    toggle(1u);
    pulse.join();
    EXPECT_EQ(wrong.load(), 0u);
}

TEST(OutputHold, TheHoldWordFollowsItsCauses) {
    Fresh();
    uint32_t status = 0;
    Settings_LoadAll(&status);  // a fresh store: the factory settings first
    // DIn1 holds while high; DIn2 never.
    const uint8_t inputs[2] = {1, 2};
    Eeprom_Write(2036, inputs, 2, &status);
    Settings_LoadAll(&status);
    Hold_Update();
    EXPECT_EQ(g_OutputHold, 0u);
    g_DigitalInputs[0] = 1;
    Hold_Update();
    EXPECT_EQ(g_OutputHold, 1u);
    EXPECT_EQ(Hold_IsDigitalInputActive(), 1u);
    EXPECT_EQ(Hold_ReadDigitalInput(0), 1u);
    EXPECT_EQ(Hold_ReadDigitalInput(1), 0u);
    // Only the shown channel's input counts.
    g_CurrentChannel = 1;
    g_DigitalInputs[1] = 1;
    Hold_Update();
    EXPECT_EQ(g_OutputHold, 0u);
    g_CurrentChannel = 0;
    g_DigitalInputs[0] = 0;
    Hold_Update();
    EXPECT_EQ(g_OutputHold, 0u);
    // The timed hold and the "Hold Outputs?" switch.
    g_TimedHold = 1;
    Hold_Update();
    EXPECT_EQ(g_OutputHold, 1u);
    g_TimedHold = 0;
    g_HoldOnChange = 1;
    Hold_Update();
    EXPECT_EQ(g_OutputHold, 1u);
    EXPECT_EQ(Settings_GetHoldOutputs(), 0u) << "the menus' hold-outputs setting reads on";
    g_HoldOnChange = 0;
    Hold_Update();
    EXPECT_EQ(g_OutputHold, 0u);
    // A stored state outside 0..2 never holds.
    const uint8_t bad[2] = {7, 1};
    Eeprom_Write(2036, bad, 2, &status);
    Settings_LoadAll(&status);
    g_DigitalInputs[0] = 1;
    Hold_Update();
    EXPECT_EQ(g_OutputHold, 0u);
    EXPECT_EQ(Settings_GetDigitalInputHold(0), 2u);
}

TEST(OutputHold, TheHoldShowsUnlessTheStartUpWaitsForTheDate) {
    Fresh();
    g_OutputHold = 1;
    g_EditFlags[0] = 0;
    EXPECT_EQ(Hold_IsOutputHoldActive(), 1u);
    EXPECT_EQ(Hold_IsOutputHoldForChannel(0), 1u);
    EXPECT_EQ(Hold_IsOutputHoldForChannel(1), 0u);
    g_EditFlags[0] = 1;
    EXPECT_EQ(Hold_IsOutputHoldActive(), 0u);
    g_EditFlags[0] = 0;
}
