// Keypad scan, key queue and key-to-event table.
#include <gtest/gtest.h>

#include "core/events.h"
#include "core/keypad.h"
#include "core/timers.h"

#include <atomic>
#include <thread>
#include <vector>

namespace {
void Scan(int times) {
    for (int i = 0; i < times; ++i) Key_Scan();
}
std::vector<uint8_t> DrainKeys() {
    std::vector<uint8_t> keys;
    while (Key_HasKey()) keys.push_back(Key_Get());
    return keys;
}
}  // namespace

TEST(Keypad, ShortPressGivesItsCodeOnRelease) {
    Timer_Init();
    Key_Start();
    g_KeyCode = kKeyEnter;
    Key_PressStart();
    Scan(3);
    EXPECT_EQ(Key_HasKey(), 0);
    g_KeyCode = kKeyNone;
    Scan(1);
    EXPECT_EQ(DrainKeys(), std::vector<uint8_t>{kKeyEnter});
}

TEST(Keypad, LongHoldRepeatsAndReleasesWithLongCode) {
    Timer_Init();
    Key_Start();
    g_KeyCode = kKeyUp;
    Key_PressStart();
    // First scan sees the press, the second starts the one-second hold count.
    Scan(2 + 50);
    EXPECT_EQ(Key_HasKey(), 0);
    Scan(8);
    EXPECT_EQ(DrainKeys(), std::vector<uint8_t>{kKeyUp + kKeyRepeat});
    Scan(8);
    EXPECT_EQ(DrainKeys(), std::vector<uint8_t>{kKeyUp + kKeyRepeat});
    g_KeyCode = kKeyNone;
    Scan(1);
    EXPECT_EQ(DrainKeys(), std::vector<uint8_t>{kKeyUp + kKeyLongRelease});
}

TEST(Keypad, QueueHoldsTwoAndDropsTheThird) {
    Key_Init();
    Key_Put(1);
    Key_Put(2);
    Key_Put(3);
    EXPECT_EQ(DrainKeys(), (std::vector<uint8_t>{1, 2}));
    Key_Put(4);
    EXPECT_EQ(DrainKeys(), std::vector<uint8_t>{4});
}

TEST(Keypad, KeyModesMapKeysToEvents) {
    Event_Clear();
    // Mode 5 (after a failed save): only ENTER counts, as the home event 11.
    for (uint8_t key = kKeyMenu; key <= kKeyEnter; ++key) Key_PostEvent(5, key);
    std::vector<uint32_t> events;
    while (Event_HasItem()) events.push_back(Event_Get());
    EXPECT_EQ(events, (std::vector<uint32_t>{255, 255, 255, 255, 11}));
    // Measurement screen: MENU 2, CAL 1, UP 5, INFO 3, ENTER 33.
    for (uint8_t key = kKeyMenu; key <= kKeyEnter; ++key) Key_PostEvent(0, key);
    events.clear();
    while (Event_HasItem()) events.push_back(Event_Get());
    EXPECT_EQ(events, (std::vector<uint32_t>{2, 1, 5, 3, 33}));
    // Escape, long and repeat codes pass unchanged in every mode.
    for (uint8_t mode = 0; mode < 10; ++mode) {
        Key_PostEvent(mode, kKeyEscape);
        Key_PostEvent(mode, kKeyMenu + kKeyRepeat);
        EXPECT_EQ(Event_Get(), kKeyEscape);
        EXPECT_EQ(Event_Get(), static_cast<uint32_t>(kKeyMenu + kKeyRepeat));
    }
    // A mode outside the table gives nothing rather than reading past it.
    EXPECT_EQ(Key_EventFor(10, kKeyEnter), 255);
}

TEST(Keypad, ReleaseWithinOneScanOfThePressGivesNothing) {
    Timer_Init();
    Key_Start();
    g_KeyCode = kKeyCal;
    Scan(1);
    g_KeyCode = kKeyNone;
    Scan(1);
    EXPECT_EQ(Key_HasKey(), 0);
}

// The scan (timer thread) and the escape button (panel thread) put keys while the firmware thread
// takes them: no key is taken twice or out of its producer's order, and the count stays whole.
TEST(Keypad, QueueStaysWholeUnderThreeThreads) {
    Key_Init();
    for (int round = 0; round < 1000; ++round) {
        std::atomic<int> running{2};
        std::vector<uint8_t> taken;
        auto produce = [&running](uint8_t first) {
            for (uint8_t code = first; code < first + 100; ++code) Key_Put(code);
            running.fetch_sub(1);
        };
        std::thread scan(produce, 1);
        std::thread panel(produce, 101);
        while (running.load() > 0) {
            if (Key_HasKey()) taken.push_back(Key_Get());
        }
        scan.join();
        panel.join();
        int left = 0;
        while (Key_HasKey() && left < 3) {
            taken.push_back(Key_Get());
            ++left;
        }
        ASSERT_LE(left, 2) << "round " << round;
        int lastScan = 0;
        int lastPanel = 100;
        for (uint8_t code : taken) {
            ASSERT_NE(code, kKeyNone);
            int& last = code <= 100 ? lastScan : lastPanel;
            ASSERT_GT(code, last) << "round " << round;
            last = code;
        }
    }
}
