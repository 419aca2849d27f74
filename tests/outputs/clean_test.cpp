// The cleaning timer in virtual time: the relay on for the cleaning time, the outputs held until
// 20 s after it, the next cleaning an interval after the first (also for intervals beyond 65535 s),
// a digital-input hold that keeps a cleaning from starting, a changed relay, and the store.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/timers.h"
#include "measurement/channel.h"
#include "outputs/alarms.h"
#include "outputs/clean.h"
#include "outputs/hold.h"
#include "outputs/relays.h"
#include "rig.h"

namespace {
void Boot(const std::string& folder) {
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
    g_CurrentChannel = 0;
    g_RelaySettings.sense[1] = kRelayNormallyOpen;
}

void Configure(float hours, float seconds, uint8_t relay) {
    g_CleanSettings.interval = hours;
    g_CleanSettings.time = seconds;
    g_CleanSettings.relay = relay;
    uint32_t status = 0;
    Clean_SaveSettings(&status);
}

bool Closed(uint32_t relay) { return ((g_RelayBits.load() >> relay) & 1u) != 0; }

// Milliseconds until the relay reaches that state (at most `limit`), with full main-loop passes.
uint64_t MsUntil(uint32_t relay, bool closed, uint64_t limit) {
    uint64_t start = Rig_NowMs();
    while (Closed(relay) != closed && Rig_NowMs() - start < limit) Rig_AdvanceMs(100);
    return Rig_NowMs() - start;
}
// A start whose DIn1 holds the outputs while channel A is shown, with DIn1 high.
void BootWithDigitalInputHold() {
    std::string folder = Rig_MakeTempFolder();
    Boot(folder);
    std::vector<uint8_t> b = Rig_StoreBytes();
    b[2036] = 1;
    Rig_WriteStoreBytes(b);
    Boot(folder);
    g_DigitalInputs[0] = 1;
}
}  // namespace

TEST(Cleaning, EveryHourAndAHalfThirtySecondsWithTwentySecondsOfRecovery) {
    Boot(Rig_MakeTempFolder());
    ASSERT_FALSE(Closed(0));
    Configure(1.5f, 30.0f, 0);
    EXPECT_LE(MsUntil(0, true, 5000), 1000u) << "a newly configured cleaning starts at once";
    uint64_t first = Rig_NowMs();
    EXPECT_EQ(g_OutputHold, 1u);
    EXPECT_TRUE(Clean_IsActive());
    uint64_t on = MsUntil(0, false, 60000);
    EXPECT_GE(on, 29000u);
    EXPECT_LE(on, 31000u);
    EXPECT_EQ(g_OutputHold, 1u) << "recovery";
    uint64_t start = Rig_NowMs();
    while (g_OutputHold != 0 && Rig_NowMs() - start < 60000) Rig_AdvanceMs(100);
    uint64_t recovery = Rig_NowMs() - start;
    EXPECT_GE(recovery, 19000u);
    EXPECT_LE(recovery, 21500u);
    EXPECT_FALSE(Clean_IsActive());

    MsUntil(0, true, 6000000);
    uint64_t next = Rig_NowMs() - first;
    EXPECT_GE(next, 5399000u);
    EXPECT_LE(next, 5401000u) << "the next cleaning an interval after the first";
}

TEST(Cleaning, ADayLongIntervalCountsBeyond65535Seconds) {
    Boot(Rig_MakeTempFolder());
    Configure(24.0f, 60.0f, 1);
    Rig_AdvanceMs(2000);  // one second to leave relay 1's place, one to start on relay 2
    ASSERT_TRUE(Closed(1));
    EXPECT_EQ(g_SoftTimers[kTimerCleanInterval].period.load(), 86400u);
    // Most of the day on the tick alone; the last minutes with the main loop.
    Rig_TickOnlyMs(86000u * 1000u);
    Rig_AdvanceMs(1000);
    EXPECT_FALSE(Closed(1)) << "not before the day is over";
    uint64_t more = MsUntil(1, true, 600000);
    EXPECT_GE(more, 397000u);
    EXPECT_LE(more, 401000u);
    // The longest interval a store holds fits the timer too.
    Configure(kCleanMaxInterval, 60.0f, 1);
    Timer_Stop(kTimerCleanInterval);
    Rig_AdvanceMs(1000);
    EXPECT_EQ(g_SoftTimers[kTimerCleanInterval].period.load(), 3599676u);
}

TEST(Cleaning, ADigitalInputHoldKeepsACleaningFromStarting) {
    BootWithDigitalInputHold();
    Configure(1.0f, 30.0f, 0);
    Rig_AdvanceMs(5000);
    EXPECT_FALSE(Closed(0));
    EXPECT_FALSE(Clean_IsActive());
    EXPECT_EQ(g_OutputHold, 1u);
    g_DigitalInputs[0] = 0;
    EXPECT_LE(MsUntil(0, true, 5000), 2000u) << "starts once the input lets go";
}

TEST(Cleaning, AHoldThatIsNoCleaningNeverRunsTheCleaningRelay) {
    BootWithDigitalInputHold();
    Configure(1.0f, 30.0f, 0);
    for (uint8_t behaviour : {kRelayHoldRest, kRelayHoldKeep, kRelayHoldActive}) {
        g_RelaySettings.holdBehaviour[0] = behaviour;
        // Even a contact left closed (by the relay test page, say) opens: no cleaning runs.
        Relay_SetContact(0, 1);
        Rig_AdvanceMs(3000);
        EXPECT_EQ(g_OutputHold, 1u);
        EXPECT_FALSE(Clean_IsActive());
        EXPECT_FALSE(Closed(0)) << "hold behaviour " << int(behaviour);
    }
    // The other relay follows its hold behaviour under the same hold.
    g_AlarmSettings.relay = kRelayNone;
    g_RelaySettings.holdBehaviour[1] = kRelayHoldActive;
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Closed(1));
    EXPECT_FALSE(Closed(0));
    // Without the hold the cleaning starts and its relay closes.
    g_DigitalInputs[0] = 0;
    EXPECT_LE(MsUntil(0, true, 5000), 2000u);
}

TEST(Cleaning, ChangingTheRelayStopsTheCleaningAndReleasesTheOldRelay) {
    Boot(Rig_MakeTempFolder());
    Configure(1.0f, 600.0f, 0);
    Rig_AdvanceMs(2000);
    ASSERT_TRUE(Closed(0));
    Configure(1.0f, 600.0f, 1);
    Rig_AdvanceMs(1000);
    EXPECT_FALSE(Closed(0)) << "the old relay is released";
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Closed(1)) << "and the cleaning starts anew on the new one";
    // The new cleaning holds the outputs; the old relay, which keeps its contact under a hold,
    // stays released.
    Rig_AdvanceMs(5000);
    EXPECT_FALSE(Closed(0));
    // A cleaning time of 0 stops the cycle.
    Configure(1.0f, 0.0f, 1);
    Rig_AdvanceMs(1000);
    EXPECT_FALSE(Closed(1));
    EXPECT_FALSE(Clean_IsActive());
}

TEST(Cleaning, StoreHoldsFactoryValuesAndLoadsBadOnesAsDefaults) {
    std::string folder = Rig_MakeTempFolder();
    Boot(folder);
    std::vector<uint8_t> b = Rig_StoreBytes();
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 1190, b.begin() + 1200),
              (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    auto put = [&b](uint32_t offset, float value) { std::memcpy(&b[offset], &value, 4); };
    put(1190, 1000.0f);
    put(1194, 9999.2f);
    b[1198] = 3;
    b[1199] = 2;
    Rig_WriteStoreBytes(b);
    Boot(folder);
    EXPECT_EQ(g_CleanSettings.interval, 0.0f);
    EXPECT_EQ(g_CleanSettings.time, 0.0f);
    EXPECT_EQ(g_CleanSettings.relay, kRelayNone);
    EXPECT_EQ(g_CleanSettings.option, 0);
    put(1190, 999.91f);
    put(1194, -1.0f);
    b[1198] = 1;
    b[1199] = 1;
    Rig_WriteStoreBytes(b);
    Boot(folder);
    EXPECT_EQ(g_CleanSettings.interval, 999.91f);
    EXPECT_EQ(g_CleanSettings.time, 0.0f);
    EXPECT_EQ(g_CleanSettings.relay, 1);
    EXPECT_EQ(g_CleanSettings.option, 1);
    Rig_AdvanceMs(3000);
    EXPECT_FALSE(Closed(1)) << "no cleaning time, no cleaning";
}
