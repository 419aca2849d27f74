// The periodic timer schedule: absolute deadlines, entry order, and no burst after a stall.
#include <gtest/gtest.h>

#include <string>

#include "platform/plat_resources.h"
#include "platform/plat_timer.h"

namespace {
std::string s_Calls;
void Tick() { s_Calls += 'T'; }
void Pump() { s_Calls += 'P'; }
}  // namespace

TEST(PeriodicTimer, DeadlinesStayOnTheirGridAndRunInOrder) {
    s_Calls.clear();
    const PlatPeriodic entries[] = {{21, Tick}, {100, Pump}, {0, Pump}, {5, nullptr}};
    PeriodicSchedule schedule;
    Plat_PeriodicInit(&schedule, entries, 4, 1000);
    EXPECT_EQ(schedule.count, 2u);
    // Woken a little late each time: the next deadline stays where the period puts it.
    uint64_t now = 1000;
    int ticks = 0, pumps = 0;
    for (;;) {
        uint64_t next = Plat_PeriodicStep(&schedule, now);
        if (next > 1000 + 2100) break;
        now = next + 3;
    }
    for (char c : s_Calls) (c == 'T' ? ticks : pumps)++;
    EXPECT_EQ(ticks, 100);
    EXPECT_EQ(pumps, 21);
    // At 2100 ms both are due: the tick goes first.
    EXPECT_EQ(s_Calls.substr(s_Calls.size() - 2), "TP");
}

TEST(PeriodicTimer, StallRunsOnceAndRestartsFromNow) {
    s_Calls.clear();
    const PlatPeriodic entries[] = {{21, Tick}};
    PeriodicSchedule schedule;
    Plat_PeriodicInit(&schedule, entries, 1, 0);
    EXPECT_EQ(Plat_PeriodicStep(&schedule, 10), 21u);
    EXPECT_EQ(s_Calls, "");
    // The computer slept for a second: one call, not fifty.
    EXPECT_EQ(Plat_PeriodicStep(&schedule, 1021), 1042u);
    EXPECT_EQ(s_Calls, "T");
    EXPECT_EQ(Plat_PeriodicStep(&schedule, 1042), 1063u);
    EXPECT_EQ(s_Calls, "TT");
}

TEST(PeriodicTimer, StopWithoutStartAndStartTwice) {
    Plat_PeriodicStop();
    const PlatPeriodic entries[] = {{1000, Tick}};
    ASSERT_TRUE(Plat_PeriodicStart(entries, 1));
    EXPECT_FALSE(Plat_PeriodicStart(entries, 1));
    Plat_PeriodicStop();
    Plat_PeriodicStop();
}
