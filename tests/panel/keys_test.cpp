// The five key areas and the press latch that turns a mouse click into exactly one key.
#include <gtest/gtest.h>

#include <vector>

#include "core/keypad.h"
#include "core/timers.h"
#include "panel/keys.h"

namespace {
// One 21-ms timer period as the panel runs it: the firmware's key scan, then the release test.
void Ticks(int n) {
    for (int i = 0; i < n; ++i) {
        Key_Scan();
        Panel_ReleaseTest();
    }
}
std::vector<uint8_t> DrainKeys() {
    std::vector<uint8_t> keys;
    while (Key_HasKey()) keys.push_back(Key_Get());
    return keys;
}
void StartKeys() {
    Timer_Init();
    Key_Start();
    g_KeyCode = kKeyNone;
    Panel_ReleaseButton();
    Ticks(3);
}
}  // namespace

TEST(PanelKeys, HitAreasAndTheirEdges) {
    // Each key: the first column in, the column before out, the last column in, the bound out.
    struct Edge {
        int from, below;
        uint8_t code;
    };
    const Edge edges[] = {
        {162, 218, kKeyMenu}, {231, 289, kKeyCal}, {303, 359, kKeyUp}, {373, 430, kKeyInfo}, {444, 500, kKeyEnter}};
    for (const Edge& e : edges) {
        EXPECT_EQ(Panel_HitTestKey(e.from, 400), e.code);
        EXPECT_EQ(Panel_HitTestKey(e.below - 1, 400), e.code);
        EXPECT_EQ(Panel_HitTestKey(e.from - 1, 400), kKeyNone) << e.from - 1;
        EXPECT_EQ(Panel_HitTestKey(e.below, 400), kKeyNone) << e.below;
    }
    // The MENU button's first column (161) is not part of its press area.
    EXPECT_EQ(g_KeyAreas[0].buttonX, 161);
    EXPECT_EQ(Panel_HitTestKey(161, 400), kKeyNone);
    EXPECT_EQ(Panel_HitTestKey(200, 382), kKeyMenu);
    EXPECT_EQ(Panel_HitTestKey(200, 441), kKeyMenu);
    EXPECT_EQ(Panel_HitTestKey(200, 381), kKeyNone);
    EXPECT_EQ(Panel_HitTestKey(200, 442), kKeyNone);
    // The display above the keys is no key.
    EXPECT_EQ(Panel_HitTestKey(300, 200), kKeyNone);
}

TEST(PanelKeys, ClickShorterThanOneScanGivesExactlyOneKey) {
    StartKeys();
    // Pressed and released before any scan saw it.
    Panel_PressKey(kKeyCal);
    Panel_ReleaseButton();
    Ticks(6);
    EXPECT_EQ(DrainKeys(), std::vector<uint8_t>{kKeyCal});
    EXPECT_EQ(g_KeyCode.load(), kKeyNone);

    // Pressed between a scan and the release test of the same tick, released at once.
    Key_Scan();
    Panel_PressKey(kKeyInfo);
    Panel_ReleaseButton();
    Panel_ReleaseTest();
    Ticks(6);
    EXPECT_EQ(DrainKeys(), std::vector<uint8_t>{kKeyInfo});

    // Two quick clicks, each given its ticks: two keys.
    Panel_PressKey(kKeyUp);
    Panel_ReleaseButton();
    Ticks(4);
    Panel_PressKey(kKeyUp);
    Panel_ReleaseButton();
    Ticks(4);
    EXPECT_EQ(DrainKeys(), (std::vector<uint8_t>{kKeyUp, kKeyUp}));
}

TEST(PanelKeys, HeldButtonKeepsTheKeyForLongPressAndRepeats) {
    StartKeys();
    Panel_PressKey(kKeyUp);
    Ticks(10);
    EXPECT_EQ(g_KeyCode.load(), kKeyUp);
    EXPECT_EQ(DrainKeys(), std::vector<uint8_t>{});
    Ticks(50);
    std::vector<uint8_t> repeats = DrainKeys();
    ASSERT_FALSE(repeats.empty());
    EXPECT_EQ(repeats[0], kKeyUp + kKeyRepeat);
    Panel_ReleaseButton();
    Ticks(2);
    EXPECT_EQ(DrainKeys(), std::vector<uint8_t>{kKeyUp + kKeyLongRelease});
}
