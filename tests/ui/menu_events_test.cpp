// Events of the menu engine that no key of the tree reaches directly: the date page of a start
// with the clock not set, the calibration step events, the access code resuming the key that
// asked for it, and the resistance pages.
#include <gtest/gtest.h>

#include "core/rtc.h"
#include "fw_main.h"
#include "ui/menu.h"
#include "ui/menu_screens.h"
#include "ui_support.h"

using namespace ui_test;

TEST(MenuEvents, UnsetClockOpensTheDatePageAndKeepsTheMeasurementsOffIt) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseNoLibrary();
    Rig_SetClock(0, 0, 0, 0, 0, 0);
    Rig_Boot();
    Rig_AdvanceMs(100);
    EXPECT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Menu_PendingRecord(kIdTableValuePages), 28u);
    EXPECT_EQ(g_EditFlags[0], 1);
    // The seconds pass without the measurement screen being drawn under the page.
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Rig_BigLineText(0), "");
    // Leaving the page ends the wait for the date; the measurement screen comes back.
    EscapeKey();
    EXPECT_EQ(g_EditFlags[0], 0);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(Rig_BigLineText(0), "}.}.}.}");
    Lcd_ClearAll();
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Rig_BigLineText(0), "}.}.}.}");
}

TEST(MenuEvents, CalibrationStepEventsLeadToTheNextSelection) {
    BootHome();
    Press(kKeyMenu);
    // A step taken: the selection screen in mode 1, for a sensor position and for an output.
    for (uint32_t position : {0x100000u, 0x1ff020u}) {
        g_MenuPosition = position;
        uint32_t depth = g_MenuDepth;
        Post(kEventCalStepDone);
        EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode1) << std::hex << position;
        EXPECT_EQ(g_MenuDepth, depth + 1) << std::hex << position;
    }
    // Take a step, then the selection in mode 2.
    g_MenuPosition = 0x100000;
    Post(kEventCalStep);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    // The optical sensor takes its step over the link: "Please wait..." and no key until the
    // save is done; then the same selection.
    g_SensorKindActive[0] = kKindO2Optical;
    uint32_t depth = g_MenuDepth;
    Event_Put(kEventCalStep);
    Fw_MainLoopPass();
    EXPECT_EQ(g_MenuLastAction, kEventCalStep);
    EXPECT_EQ(g_DisplayMode, kKeyModeBusy);
    EXPECT_EQ(Row(12), "Please wait...");
    EXPECT_EQ(g_MenuDepth, depth);
    Rig_AdvanceMs(100);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(g_MenuDepth, depth + 1);
}

TEST(MenuEvents, AccessCodeResumesTheKeyThatAskedForIt) {
    struct Case {
        uint32_t key;
        uint8_t screen;
    };
    for (Case c :
         {Case{kEventCal, kScreenSelectCal}, Case{kEventMenu, kScreenTreeMenu}, Case{kEventInfo, kScreenTreeInfo}}) {
        BootHome();
        g_MenuLastAction = c.key;
        Post(kItemPassword);
        ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
        Post(kActionAccessGranted);
        EXPECT_EQ(Menu_TopScreen(), c.screen) << c.key;
        EXPECT_EQ(g_MenuDepth, 2u) << c.key;
    }
    EXPECT_EQ(Row(11), "INFO");
    // CAL while a channel is held by hand goes to the held item's editor.
    BootHome();
    g_ManualHold.active = 1;
    g_ManualHold.item = 0x100010;
    g_MenuLastAction = kEventCal;
    Post(kItemPassword);
    Post(kActionAccessGranted);
    EXPECT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(g_MenuDepth, 2u);
    EXPECT_EQ(g_PendingMenuItem, 0x100010u);
    EXPECT_EQ(g_CalPoint, 0);
}

TEST(MenuEvents, ResistancePagesLeadHomeOnRedrawOrEscape) {
    struct Case {
        uint32_t item;
        uint8_t screen;
        const char* label;
    };
    for (Case c :
         {Case{kItemGlassRes, kScreenGlassRes, "pH Glass Res="}, Case{kItemRefRes, kScreenRefRes, "pH Ref Res ="},
          Case{kItemPnaGlassRes, kScreenPnaGlassRes, "pNa Glass Res="}}) {
        BootHome();
        Press(kKeyMenu);
        Post(c.item);
        ASSERT_EQ(Menu_TopScreen(), c.screen);
        EXPECT_EQ(Row(12).substr(0, 2 + std::string(c.label).size()), std::string("A ") + c.label);
        // Other keys keep the page; every second redraws it.
        Press(kKeyUp);
        Press(kKeyCal);
        Lcd_ClearAll();
        EXPECT_EQ(Menu_ScreenEvent(c.screen, kEventSecond), -1);
        EXPECT_EQ(Row(12).substr(0, 2 + std::string(c.label).size()), std::string("A ") + c.label);
        Rig_AdvanceMs(2000);
        EXPECT_EQ(Menu_TopScreen(), c.screen) << std::hex << c.item;
        // A redraw request, which is what ENTER sends on this page, leads home.
        EXPECT_EQ(Menu_ScreenEvent(c.screen, kEventRedraw), static_cast<int32_t>(kEventHome));
        Press(kKeyEnter);
        EXPECT_EQ(Menu_TopScreen(), kScreenHome) << std::hex << c.item;
        EXPECT_EQ(g_MenuDepth, 1u);
        // So does ESC.
        Press(kKeyMenu);
        Post(c.item);
        EscapeKey();
        EXPECT_EQ(Menu_TopScreen(), kScreenHome) << std::hex << c.item;
        EXPECT_EQ(g_MenuDepth, 1u);
    }
}
