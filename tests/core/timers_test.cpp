// Software timers and the event queue.
#include <gtest/gtest.h>

#include "core/events.h"
#include "core/timers.h"

namespace {
int g_Calls = 0;
void CountCall() { ++g_Calls; }
}  // namespace

TEST(SoftTimers, ExpiryRulesOfOneShotAndReloadingTimers) {
    Timer_Init();
    // 10 ms is period 0, which runs out on the very next tick.
    Timer_Start(4, 10, 0);
    Timer_Tick();
    EXPECT_EQ(Timer_Expired(4), 1u);
    // A one-shot timer that ran out keeps reporting it until restarted or stopped.
    EXPECT_EQ(Timer_Expired(4), 1u);
    Timer_Stop(4);
    EXPECT_EQ(Timer_Expired(4), 0u);

    // A reloading timer reports each expiry once.
    Timer_Start(0, 100, 1);
    for (int i = 0; i < 4; ++i) Timer_Tick();
    EXPECT_EQ(Timer_Expired(0), 0u);
    Timer_Tick();
    EXPECT_EQ(Timer_Expired(0), 1u);
    EXPECT_EQ(Timer_Expired(0), 0u);
    for (int i = 0; i < 5; ++i) Timer_Tick();
    EXPECT_EQ(Timer_Expired(0), 1u);

    // A stopped timer never reports.
    Timer_Start(5, 20, 1);
    Timer_Stop(5);
    Timer_Tick();
    EXPECT_EQ(Timer_Expired(5), 0u);
}

TEST(SoftTimers, CallbackTimerNeverShowsExpiredAndRestartKeepsPeriod) {
    Timer_Init();
    g_Calls = 0;
    Timer_SetCallback(2, 1, CountCall);
    EXPECT_EQ(Timer_IsActive(2), 0u);  // setting the callback does not start it
    Timer_Start(2, 500, 1);
    for (int i = 0; i < 50; ++i) Timer_Tick();
    EXPECT_EQ(g_Calls, 2);
    EXPECT_EQ(Timer_Expired(2), 0u);

    Timer_Start(3, 60, 0);
    Timer_Tick();
    Timer_Tick();
    Timer_Restart(3);
    Timer_Tick();
    Timer_Tick();
    EXPECT_EQ(Timer_Expired(3), 0u);
    Timer_Tick();
    EXPECT_EQ(Timer_Expired(3), 1u);
}

TEST(SoftTimers, SecondTimersCountThroughThePrescaler) {
    Timer_Init();
    Timer_StartTicks(7, 4, 0);
    // Four prescaler periods of 50 ticks; the prescaler runs on its own, so at most 200 ticks.
    int ticks = 0;
    while (!Timer_Expired(7) && ticks < 1000) {
        Timer_Tick();
        ++ticks;
    }
    EXPECT_GT(ticks, 150);
    EXPECT_LE(ticks, 200);
    EXPECT_EQ(Timer_IsActive(7), 0u);

    // Out-of-range timer numbers are ignored, not written past the table.
    Timer_Start(17, 20, 1);
    Timer_Start(-1, 20, 1);
    EXPECT_EQ(Timer_IsActive(17), 0u);
    EXPECT_EQ(Timer_Expired(-1), 0u);
}

TEST(EventQueue, FullQueueDropsTheNewEventAndKeepsOrder) {
    Event_Clear();
    EXPECT_EQ(Event_HasItem(), 0u);
    for (uint32_t i = 0; i < 50; ++i) Event_Put(1000 + i);
    Event_Put(9999);
    for (uint32_t i = 0; i < 50; ++i) {
        ASSERT_EQ(Event_HasItem(), 1u);
        EXPECT_EQ(Event_Get(), 1000 + i);
    }
    EXPECT_EQ(Event_HasItem(), 0u);
    // Wrapping around the end of the ring keeps the order.
    for (uint32_t round = 0; round < 3; ++round) {
        for (uint32_t i = 0; i < 30; ++i) Event_Put(i);
        for (uint32_t i = 0; i < 30; ++i) EXPECT_EQ(Event_Get(), i);
    }
    // An empty queue gives the "nothing" event, never a stale one.
    EXPECT_EQ(Event_Get(), 255u);
}
