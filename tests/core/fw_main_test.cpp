// Firmware start-up and the main-loop pass, run in the virtual-time rig.
#include <gtest/gtest.h>

#include <vector>

#include "core/eeprom.h"
#include "core/events.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/rtc.h"
#include "core/timers.h"
#include "fw_main.h"
#include "measurement/channel.h"
#include "platform/plat.h"
#include "rig.h"
#include "ui/menu.h"

namespace {
std::vector<uint32_t> DrainEvents() {
    std::vector<uint32_t> events;
    while (Event_HasItem()) events.push_back(Event_Get());
    return events;
}

void SetValidClock() {
    ClockRecord t{2025, 6, 1, 0, 10, 0, 0};
    Rtc_SetTime(&t);
}
}  // namespace

TEST(FirmwareStart, BootWaitsFourteenSecondsAndStartsTheTimers) {
    Rig_Reset(Rig_MakeTempFolder());
    SetValidClock();
    Rig_Boot();
    EXPECT_GE(Rig_NowMs(), 14000u);
    EXPECT_LT(Rig_NowMs(), 14200u);
    EXPECT_EQ(g_LinkStartupWait, 0);
    EXPECT_EQ(g_EepromReady, 1);
    EXPECT_EQ(Menu_TopScreen(), 0);
    EXPECT_EQ(g_MenuDepth, 1u);
    EXPECT_EQ(Timer_IsActive(kTimerOneSecond), 1u);
    EXPECT_EQ(Timer_IsActive(kTimerKeyScan), 1u);
    EXPECT_EQ(Timer_IsActive(kTimerInactivity), 1u);
    // With a valid clock the first event leads home.
    EXPECT_EQ(DrainEvents(), std::vector<uint32_t>{11});
    EXPECT_EQ(g_EditFlags[0], 0);
    // The blink timer calls back in this branch too, so the main loop gets its blink ticks.
    Rig_TickOnlyMs(520);
    EXPECT_EQ(g_BlinkTick.load(), 1u);
}

TEST(FirmwareStart, ShowsModelAndVersionCentred) {
    Rig_Reset(Rig_MakeTempFolder());
    SetValidClock();
    Rig_Boot();
    // "R718G/2XH" (9 characters) starts at column 45, "1.2.01" at column 54.
    EXPECT_EQ(Rig_RowText(11), "       R718G/2XH");
    EXPECT_EQ(Rig_RowText(12), "         1.2.01");
}

TEST(FirmwareStart, UnsetClockQueuesTheDateEventFirst) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_SetClock(0, 0, 0, 0, 0, 0);
    Rig_Boot();
    std::vector<uint32_t> events = DrainEvents();
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.front(), 0x500004u);
    EXPECT_EQ(g_EditFlags[0], 1);
}

TEST(FirmwareStart, StopRequestEndsTheStartUpWait) {
    Rig_Reset(Rig_MakeTempFolder());
    Plat_RequestStop();
    Rig_Boot();
    EXPECT_LT(Rig_NowMs(), 100u);
    EXPECT_EQ(Timer_IsActive(kTimerOneSecond), 0u);
}

TEST(MainLoop, OneSecondEventsAndTheInactivityTimeOut) {
    Rig_Reset(Rig_MakeTempFolder());
    SetValidClock();
    Rig_Boot();
    DrainEvents();
    // Housekeeping queues event 10 each second.
    Rig_TickOnlyMs(1000);
    Fw_Housekeeping();
    EXPECT_EQ(DrainEvents(), std::vector<uint32_t>{10});
    // 240 s without a key: event 11 in place of event 10, once per 240 s.
    for (int second = 0; second < 238; ++second) {
        Rig_TickOnlyMs(1000);
        Fw_Housekeeping();
        EXPECT_EQ(DrainEvents(), std::vector<uint32_t>{10}) << "second " << second;
    }
    Rig_TickOnlyMs(1000);
    Fw_Housekeeping();
    EXPECT_EQ(DrainEvents(), std::vector<uint32_t>{11});
    Rig_TickOnlyMs(1000);
    Fw_Housekeeping();
    EXPECT_EQ(DrainEvents(), std::vector<uint32_t>{10});

    // With a menu position pending the time-out still gives event 10.
    Rig_TickOnlyMs(239000);
    g_MenuPositionPending = 1;
    Fw_Housekeeping();
    EXPECT_EQ(DrainEvents(), std::vector<uint32_t>{10});
}

TEST(MainLoop, KeyEventQueuesBehindWaitingEventsAndOnePassHandlesOne) {
    Rig_Reset(Rig_MakeTempFolder());
    SetValidClock();
    Rig_Boot();
    DrainEvents();
    Event_Put(77);
    Event_Put(78);
    Key_Put(kKeyEnter);
    Fw_MainLoopPass();
    // 77 was handled; 78 waits, then ENTER's event 33 of the measurement screen.
    EXPECT_EQ(DrainEvents(), (std::vector<uint32_t>{78, 33}));

    // A key restarts the inactivity count.
    Rig_TickOnlyMs(200000);
    Key_Put(kKeyUp);
    Fw_MainLoopPass();
    Rig_TickOnlyMs(100000);
    DrainEvents();
    Rig_TickOnlyMs(1000);
    Fw_Housekeeping();
    EXPECT_EQ(DrainEvents(), std::vector<uint32_t>{10});
}

TEST(MainLoop, HaltedPassStepsOnlyTheLink) {
    Rig_Reset(Rig_MakeTempFolder());
    SetValidClock();
    Rig_Boot();
    DrainEvents();
    g_FwHalted = 1;
    Event_Put(77);
    Key_Put(kKeyMenu);
    g_SaveWaitBits = kSaveWaitBoard;
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Key_HasKey(), 1);
    EXPECT_EQ(DrainEvents(), std::vector<uint32_t>{77});
    EXPECT_EQ(g_SaveWaitBits, kSaveWaitBoard);
}

TEST(MainLoop, BoardSaveResultsAreReportedOnce) {
    Rig_Reset(Rig_MakeTempFolder());
    SetValidClock();
    Rig_Boot();
    DrainEvents();
    // Still waiting: nothing happens.
    g_SaveWaitBits = kSaveWaitBoard;
    g_LinkSaveResult = 255;
    Fw_MainLoopPass();
    EXPECT_EQ(g_SaveWaitBits, kSaveWaitBoard);
    // Done: event 54 follows and the wait ends.
    g_LinkSaveResult = 1;
    Key_Put(kKeyMenu);
    Fw_MainLoopPass();
    EXPECT_EQ(g_SaveWaitBits, 0);
    EXPECT_EQ(g_LinkSaveResult, 255);
    EXPECT_EQ(DrainEvents(), std::vector<uint32_t>{54});
    // Failed: key mode 5, in which only ENTER counts.
    g_SaveWaitBits = kSaveWaitBoard;
    g_LinkSaveResult = 0;
    Fw_MainLoopPass();
    EXPECT_EQ(g_DisplayMode, 5);
    EXPECT_EQ(g_SaveWaitBits, 0);
    EXPECT_EQ(Rig_RowText(12), "      Save Failed!");
    // MENU, which would step the menu tree under the message, does nothing.
    uint8_t top = Menu_TopScreen();
    Rig_HoldKey(kKeyMenu, 100);
    EXPECT_EQ(Menu_TopScreen(), top);
    EXPECT_EQ(g_DisplayMode, 5);
    EXPECT_EQ(Rig_RowText(12), "      Save Failed!");
    // ENTER leads home.
    Rig_HoldKey(kKeyEnter, 100);
    EXPECT_EQ(Menu_TopScreen(), 0);
    EXPECT_EQ(g_DisplayMode, 0);
}

TEST(MainLoop, BlinkingFollowsTheHalfSecondTicks) {
    Rig_Reset(Rig_MakeTempFolder());
    SetValidClock();
    Rig_Boot();
    Rig_AdvanceMs(100);
    // The virtual times, over two seconds of passes, at which what shown() reports changes.
    auto changesOf = [](auto shown) {
        std::vector<uint64_t> times;
        bool was = shown();
        for (int step = 0; step < 100; ++step) {
            Rig_AdvanceMs(20);
            if (shown() != was) {
                was = !was;
                times.push_back(Rig_NowMs());
            }
        }
        return times;
    };
    auto everyHalfSecond = [](const std::vector<uint64_t>& times) {
        if (times.size() < 3) return false;
        for (size_t i = 1; i < times.size(); ++i) {
            if (times[i] - times[i - 1] != 500) return false;
        }
        return true;
    };
    // The menu's item blinks: shown and hidden in turn, one change every 500 ms.
    Rig_HoldKey(kKeyMenu, 100);
    ASSERT_EQ(Menu_TopScreen(), 2);
    std::vector<uint64_t> item = changesOf([] { return Rig_RowText(12).find("Quick Setup") != std::string::npos; });
    EXPECT_TRUE(everyHalfSecond(item)) << item.size() << " changes";
    // A blinking channel symbol goes with the same ticks.
    auto symbolShown = [] {
        for (uint32_t column = 125; column < 141; ++column) {
            if (g_LcdFrame[0][column] != 0) return true;
        }
        return false;
    };
    g_SymbolBlinkMask = 1;
    std::vector<uint64_t> symbol = changesOf(symbolShown);
    EXPECT_TRUE(everyHalfSecond(symbol)) << symbol.size() << " changes";
    // The display test owns the display: nothing blinks, the tick waits untaken.
    Event_Put(0xa00002);
    Rig_AdvanceMs(40);
    ASSERT_EQ(Menu_TopScreen(), 14);
    std::string frame = Rig_FrameBytes();
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Rig_FrameBytes(), frame);
    EXPECT_EQ(g_BlinkTick.load(), 1u);
}

TEST(ChannelTypes, UnsetKindsLoadAsPhWithTheDefaultModel) {
    Rig_OpenFreshStore();
    Fw_LoadChannelTypes();
    EXPECT_EQ(Fw_GetChannelType(0), 1);
    EXPECT_EQ(Fw_GetChannelType(1), 1);
    EXPECT_EQ(Fw_GetChannelSensorId(1), 4187u);
    uint8_t kinds[2] = {4, 9};
    uint32_t status = 0;
    Eeprom_Write(kStoreChannelKinds, kinds, 2, &status);
    Fw_LoadChannelTypes();
    EXPECT_EQ(Fw_GetChannelType(0), 4);
    EXPECT_EQ(Fw_GetChannelType(1), 9);
    EXPECT_EQ(Fw_GetChannelType(2), 0);
}
