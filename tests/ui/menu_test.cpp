// The menu engine in the rig: the screen stack's moves and guards, time-outs and ESC, the save
// paths, the countdown screens and the one-second block.
#include <gtest/gtest.h>

#include <filesystem>

#include "core/eeprom.h"
#include "core/link.h"
#include "core/timers.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/hold.h"
#include "settings/settings_work.h"
#include "ui/menu.h"
#include "ui/menu_screens.h"
#include "ui/menu_tasks.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
void ExpectHome() {
    EXPECT_EQ(g_MenuDepth, 1u);
    EXPECT_EQ(Menu_TopScreen(), 0);
    EXPECT_EQ(g_MenuStack[0], 0);
    EXPECT_EQ(g_DisplayMode, 0);
}
}  // namespace

TEST(MenuEngine, MeasurementScreenKeysOpenTheirScreens) {
    BootHome();
    ExpectHome();
    Press(kKeyCal);
    EXPECT_EQ(Menu_TopScreen(), 1);
    EscapeKey();
    ExpectHome();
    Press(kKeyInfo);
    EXPECT_EQ(Menu_TopScreen(), 4);
    EscapeKey();
    Press(kKeyMenu);
    EXPECT_EQ(Menu_TopScreen(), 2);
    EXPECT_EQ(g_MenuDepth, 2u);
    EXPECT_EQ(Row(11), "MENU");
    EscapeKey();
    ExpectHome();
    EXPECT_EQ(Row(11), "");
    EXPECT_EQ(Row(12), "");
    // "Calibrate" in the service menu opens the same selection screen.
    Press(kKeyMenu);
    Post(0xc00001);
    EXPECT_EQ(Menu_TopScreen(), 1);
    EXPECT_EQ(g_MenuDepth, 3u);
}

TEST(MenuEngine, InactivityLeadsHomeAfter240Seconds) {
    OpenMenu();
    Press(kKeyUp);
    Rig_AdvanceMs(238000);
    EXPECT_EQ(Menu_TopScreen(), 2);
    EXPECT_EQ(Item(), "Configure");
    Rig_AdvanceMs(3000);
    ExpectHome();
    EXPECT_EQ(Row(12), "");
    EXPECT_EQ(Rig_BigLineText(0), "}.}.}.}");
    // At home the inactivity timer rests: the one-second event keeps coming, no time-out.
    EXPECT_EQ(Timer_IsActive(kTimerInactivity), 0u);
}

TEST(MenuEngine, EscapeOnTheMeasurementScreenRedrawsNothing) {
    BootHome();
    std::string before = Rig_FrameBytes();
    uint8_t newTop = 99;
    EXPECT_EQ(Menu_TranslateEvent(0, kKeyEscape, &newTop), 255);
    EXPECT_EQ(newTop, 0);
    EXPECT_EQ(Menu_HandleEvent(0, kKeyEscape), -1);
    EXPECT_EQ(Rig_FrameBytes(), before);
}

TEST(MenuEngine, EscapeAndTimeOutWaitForASaveUnderWay) {
    OpenMenu();
    g_SaveWaitBits = kSaveWaitBoard;
    g_LinkSaveResult = 255;
    g_MenuLastAction = 0x1ff300;
    EscapeKey();
    EXPECT_EQ(Menu_TopScreen(), 2);
    Post(kEventHome);
    EXPECT_EQ(Menu_TopScreen(), 2);
    // The board reports the save: event 54 finishes the path that started it.
    g_LinkSaveResult = 1;
    Rig_AdvanceMs(60);
    ExpectHome();
}

TEST(MenuEngine, CommitAndLeaveWaitsForTheSaveThenGoesHome) {
    OpenMenu();
    Post(0x1ff300);
    // The save finishes on the next pass (event 54), which leads home.
    Rig_AdvanceMs(100);
    ExpectHome();
    EXPECT_EQ(g_SaveWaitBits, 0);
}

TEST(MenuEngine, CommitThatFailsSaysSoInsteadOfWaiting) {
    // Both commit items, with a store that can no longer be written: "Save Failed!" at column 36
    // of row 12, and only ENTER counts, which leads home.
    for (uint32_t item : {kItemCommitAndLeave, kItemCommit}) {
        OpenMenu();
        // A setting changed on a page, which the store then cannot take.
        g_WorkSet.relays.delay[0] = 5.0f;
        std::filesystem::remove(Rig_StorePath());
        Post(item);
        EXPECT_EQ(Row(12), "      Save Failed!") << item;
        EXPECT_EQ(g_DisplayMode, kKeyModeMessage) << item;
        EXPECT_EQ(g_SaveWaitBits, 0) << item;
        Press(kKeyMenu);
        EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu) << item;
        EXPECT_EQ(Row(12), "      Save Failed!") << item;
        Press(kKeyEnter);
        ExpectHome();
    }
}

TEST(MenuEngine, CalibrationSaveResultsLeaveRow11) {
    // The screen the save was chosen on keeps its row 11; the result takes row 12.
    struct Case {
        uint32_t position;
        const char* result;
    };
    // An output calibration, calibration constants edited by hand, a save the board carries out.
    for (Case c : {Case{0x1ff021, "Calibration Successful"}, Case{0x100005, "Calibration Successful"},
                   Case{0x100011, "Please wait..."}}) {
        OpenMenu();
        ASSERT_EQ(Row(11), "MENU");
        g_MenuPosition = c.position;
        Post(kItemSaveCalibration);
        EXPECT_EQ(Row(11), "MENU") << std::hex << c.position;
        EXPECT_EQ(Row(12), c.result) << std::hex << c.position;
    }
}

TEST(MenuEngine, StackNeverGoesBelowTheMeasurementScreen) {
    // Results that pop or read the entry under the top, arriving at depth 1 (for example behind a
    // time-out that already went home), go home.
    for (uint32_t event : {4080u, 4081u, 4085u, 4086u, 4088u, 4093u, 4180u}) {
        OpenMenu();
        Event_Put(kEventHome);
        Event_Put(event);
        Rig_AdvanceMs(100);
        ExpectHome();
        EXPECT_EQ(g_MenuStack[0], 0) << event;
    }
    OpenMenu();
    g_MenuLastAction = 0x1ff310;
    Event_Put(kEventHome);
    Event_Put(kEventSaveDone);
    Rig_AdvanceMs(100);
    ExpectHome();
    // Popping two from depth 2 lands home, not under it.
    OpenMenu();
    g_MenuStack[1] = 39;
    Post(4086);
    ExpectHome();
}

TEST(MenuEngine, BackStepsOverTheCountdownAndTheListScreens) {
    OpenMenu();
    Post(4215);  // the hold-release countdown (58)
    ASSERT_EQ(Menu_TopScreen(), 58);
    Post(4084);  // something above it
    ASSERT_EQ(g_MenuDepth, 4u);
    Post(4085);
    EXPECT_EQ(g_MenuDepth, 2u);
    EXPECT_EQ(Menu_TopScreen(), 2);
    EXPECT_EQ(Row(11), "MENU");

    Post(4157);
    Post(4084);
    ASSERT_EQ(g_MenuDepth, 4u);
    Post(4086);
    EXPECT_EQ(g_MenuDepth, 2u);
    Post(4088);
    ExpectHome();
}

TEST(MenuEngine, PushBeyondTheStackGoesHome) {
    OpenMenu();
    uint32_t deepest = 0;
    for (int i = 0; i < 40; ++i) {
        Post(4084);
        if (g_MenuDepth > deepest) deepest = g_MenuDepth;
        ASSERT_LE(g_MenuDepth, kMenuStackSize);
    }
    EXPECT_EQ(deepest, kMenuStackSize);
    EXPECT_LT(g_MenuDepth, kMenuStackSize);
    EXPECT_EQ(g_MenuStack[0], 0);
}

TEST(MenuEngine, UnknownActionGoesToTheScreenUnchanged) {
    OpenMenu();
    Press(kKeyUp);
    std::string before = Rig_FrameBytes();
    uint8_t newTop = 0;
    EXPECT_EQ(Menu_TranslateEvent(2, 4300, &newTop), 255);
    EXPECT_EQ(Menu_HandleEvent(2, 4300), -1);
    EXPECT_EQ(g_MenuDepth, 2u);
    EXPECT_EQ(Item(), "Configure");
    // The ids 0 and 255 that stand in the id tables open nothing.
    EXPECT_EQ(Menu_TranslateEvent(2, 255, &newTop), 255);
    EXPECT_EQ(Menu_TranslateEvent(2, 0, &newTop), 255);
    EXPECT_EQ(g_MenuDepth, 2u);
}

TEST(MenuEngine, IdTablesOpenTheirPages) {
    OpenMenu();
    Post(0x200020);  // the password value page
    EXPECT_EQ(Menu_TopScreen(), 8);
    EXPECT_EQ(Menu_IndexOfId(g_EditorIdTable[1].ids, g_EditorIdTable[1].count, g_PendingMenuItem), 12u);
    Post(4085);
    Post(0x600000);  // "Sensor Monitoring" is a parameter page although a value page names it too
    EXPECT_EQ(Menu_TopScreen(), 7);
    Post(4085);
    Post(4153);  // the relay clash question: parameter page 50
    EXPECT_EQ(Menu_TopScreen(), 7);
    EXPECT_EQ(Menu_IndexOfId(g_EditorIdTable[2].ids, g_EditorIdTable[2].count, g_PendingMenuItem), 50u);
    EXPECT_EQ(Menu_IndexOfId(g_EditorIdTable[0].ids, g_EditorIdTable[0].count, 0x1ff022), 26u);
    EXPECT_EQ(Menu_IndexOfId(g_EditorIdTable[0].ids, g_EditorIdTable[0].count, 0x123456), 30u);
}

TEST(MenuEngine, CalibrationNotDoneThenTheReinstallCountdown) {
    OpenMenu();
    g_ChosenMode = 0;
    g_MenuPosition = 0x100000;
    Post(4083);
    EXPECT_EQ(Menu_TopScreen(), 9);
    EXPECT_EQ(Row(11), "Calibration Not Done");
    EXPECT_EQ(Row(12), "Press ENTER to Exit");
    EXPECT_EQ(g_DisplayMode, 9);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 54);
    // A second later the question stands; ENTER then leads home a second after.
    Rig_AdvanceMs(2100);
    EXPECT_EQ(Row(11), "Re-install sensor");
    EXPECT_EQ(Row(12), "Press ENTER");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 54);
    Rig_AdvanceMs(1100);
    ExpectHome();
}

TEST(MenuEngine, CalibrationPositionNotDoneWaitsForEnterToGoHome) {
    OpenMenu();
    g_MenuPosition = 0x100010;
    Post(4083);
    EXPECT_EQ(g_DisplayMode, 5);
    Press(kKeyUp);
    EXPECT_EQ(Menu_TopScreen(), 9);
    Press(kKeyEnter);
    ExpectHome();
}

TEST(MenuEngine, SaveThatFailsNeverReportsSuccess) {
    // The output calibration saved with the store gone.
    OpenMenu();
    std::filesystem::remove(Rig_StorePath());
    g_MenuPosition = 0x1ff020;
    Post(0x1ff100);
    EXPECT_EQ(Row(12), "      Save Failed!");
    EXPECT_EQ(g_DisplayMode, 5);
    // ENTER is the only key, and it leads home.
    Press(kKeyMenu);
    EXPECT_EQ(g_DisplayMode, 5);
    Press(kKeyEnter);
    ExpectHome();

    // A channel-A sensor calibration put into use the same way.
    OpenMenu();
    std::filesystem::remove(Rig_StorePath());
    g_MenuPosition = 0x100000;
    Post(0x1ff200);
    EXPECT_EQ(Row(12), "      Save Failed!");
    EXPECT_EQ(Menu_TopScreen(), 2);
    EXPECT_EQ(g_SaveWaitBits, 0);

    // A save of a position of no channel, refused before it starts.
    OpenMenu();
    g_MenuPosition = 0x102011;
    Post(0x1ff100);
    EXPECT_EQ(Row(12), "      Save Failed!");
    EXPECT_EQ(g_SaveWaitBits, 0);
}

TEST(MenuEngine, SaveThatSucceedsReportsSuccess) {
    OpenMenu();
    g_ChosenMode = 0;
    g_MenuPosition = 0x100000;
    Post(0x1ff201);
    EXPECT_EQ(Row(12), "Calibration Successful");
    EXPECT_EQ(Menu_TopScreen(), 54);

    // Calibration constants edited by hand: success, then home two seconds later.
    OpenMenu();
    g_MenuPosition = 0x100005;
    Post(0x1ff100);
    EXPECT_EQ(Row(12), "Calibration Successful");
    Rig_AdvanceMs(3100);
    ExpectHome();
}

TEST(MenuEngine, OneSecondBlock) {
    // The fixed tasks in their order.
    const MenuPeriodicTask expected[] = {Hold_Update,        Menu_TickCleaning, Menu_TickAnalogOutputs,
                                         Menu_TickSetPoints, Alarm_UpdateRelay, Menu_TickRelays,
                                         Menu_TickPid,       Menu_TickClock};
    uint32_t next = 0;
    for (MenuPeriodicTask task : g_MenuPeriodicTasks) {
        if (next < 8 && task == expected[next]) ++next;
    }
    EXPECT_EQ(next, 8u);
    EXPECT_NE(g_MenuPeriodicTasks[0], Hold_Update);  // the optical LED sync comes first

    // The measurement screen refreshes on its own screen, values only under another one, and
    // not at all during the display test.
    BootHome();
    Lcd_ClearAll();
    EXPECT_EQ(Menu_ScreenEvent(0, kEventSecond), -1);
    EXPECT_EQ(Rig_BigLineText(0), "}.}.}.}");
    EXPECT_EQ(Row(2).substr(Row(2).size() - 2), "pH");
    Lcd_ClearAll();
    Menu_ScreenEvent(2, kEventSecond);
    EXPECT_EQ(Rig_BigLineText(1), "}.}.}.}");
    Lcd_ClearAll();
    Menu_ScreenEvent(14, kEventSecond);
    EXPECT_EQ(Rig_BigLineText(0), "");
    // Nor while the clock waits to be set after start.
    g_EditFlags[0] = 1;
    Menu_ScreenEvent(0, kEventSecond);
    EXPECT_EQ(Rig_BigLineText(0), "");
    g_EditFlags[0] = 0;

    // The diagnostic refresh runs when sensor parameters were saved.
    g_SensorParamSavePending = 1;
    Menu_ScreenEvent(2, kEventSecond);
    EXPECT_EQ(g_SensorParamSavePending, 0);
}

TEST(MenuEngine, PackedTagReadsSixBitsACharacter) {
    BootHome();
    // "R718G/2X" packed: letters and "/" (31) below 32, digits as their code and 63.
    const char* tag = "R718G/2X";
    uint8_t codes[8];
    for (int i = 0; i < 8; ++i) codes[i] = tag[i] == '/' ? 31 : static_cast<uint8_t>(tag[i] & 63);
    uint8_t bytes[6];
    for (int half = 0; half < 2; ++half) {
        const uint8_t* c = codes + 4 * half;
        bytes[3 * half] = static_cast<uint8_t>(c[0] << 2 | c[1] >> 4);
        bytes[3 * half + 1] = static_cast<uint8_t>((c[1] & 15) << 4 | c[2] >> 2);
        bytes[3 * half + 2] = static_cast<uint8_t>((c[2] & 3) << 6 | c[3]);
    }
    uint32_t status = 0;
    Eeprom_Write(185, bytes, 6, &status);
    ASSERT_EQ(status, 0u);
    Menu_LoadPackedTag();
    EXPECT_STREQ(g_MenuTagText, "R718G_2X");
}

TEST(MenuEngine, PositionsWithoutAChannelIndexNothing) {
    BootHome();
    EXPECT_GE(Menu_ChannelOfPosition(0x1fffff), 2u);
    EXPECT_GE(Menu_ChannelOfPosition(0x1ff020), 2u);
    EXPECT_EQ(Menu_ChannelOfPosition(0x101004), 1u);
    EXPECT_EQ(Menu_ChannelOfPosition(0x1ff022), 0u);
    g_CurrentChannel = 1;
    EXPECT_EQ(Menu_ChannelOfPosition(0x1ff022), 1u);
    g_CurrentChannel = 0;
    // Calibrating the selection's position of a channel kind without measurements (0x1fffff)
    // opens the editor with no record instead of indexing a channel.
    g_ChannelKind[0] = 0;
    Press(kKeyCal);
    Post(0x10000000);
    EXPECT_EQ(g_MenuPosition, 0x1fffffu);
    EXPECT_EQ(Menu_TopScreen(), 3);
    EXPECT_EQ(Menu_IndexOfId(g_EditorIdTable[0].ids, g_EditorIdTable[0].count, g_PendingMenuItem), 30u);
    EscapeKey();
    ExpectHome();
}
