// The info, list and countdown screens in the rig, key by key: the fourteen "Meter Cal Factors"
// pages with their fills, the calibration step screens' two views and their ways out, the second
// step screen between the points, the hold-release countdown with the timed hold, and the
// numeric editor's live value with its unit.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/settings.h"
#include "measurement/calibration.h"
#include "measurement/decoders.h"
#include "measurement/ph.h"
#include "measurement/ph_buffers.h"
#include "outputs/hold.h"
#include "settings/settings_system.h"
#include "ui/info_screens.h"
#include "ui/numedit.h"
#include "ui/select_screen.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// The blinking field stands on this row and column.
bool BlinksAt(uint32_t row, uint32_t column) {
    return g_BlinkField.active && g_BlinkField.row == row && g_BlinkField.column == column;
}

// The live value as the numeric editor's row 12 shows it from column 0, for a position and field.
std::string LiveValue(uint32_t position, uint32_t type, float value, uint32_t status = 0) {
    g_NumEditField = &g_NumFieldTable[type];
    NumEditState record{position, value, status, 0};
    Lcd_ClearAll();
    Screen_DrawValueWithUnit(12, 0, &record);
    return Row(12);
}

// Into the numeric editor of a two-point pH calibration whose buffers are typed.
void OpenPhEditor() {
    BootHome();
    uint32_t status = 0;
    CalPh_SetBufferSet(0, kBufferSetNone, &status);
    Cal_SetDriftControl(0, kDriftManual);
    g_SystemSettings.calUnlock = 0;
    Press(kKeyCal);
    Press(kKeyCal);
    Press(kKeyEnter);
    Press(kKeyEnter);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
}
}  // namespace

TEST(InfoScreens, MeterCalFactorPagesStepByEnterAndLeaveAfterTheLast) {
    BootHome();
    // The sensor board's table: R1's factor just below zero, its adder beyond six places, the
    // other entries at a board's defaults.
    for (uint32_t i = 0; i < kBoardCalEntries; ++i) g_BoardCalTable[i] = 1.0f;
    g_BoardCalTable[0] = -0.00005f;
    g_BoardCalTable[5] = 999999.6f;
    g_BoardCalTable[6] = -12.345f;
    g_BoardCalTable[7] = std::nanf("");
    g_BoardCalTable[12] = 1.02f;
    g_BoardCalTable[13] = 0.5f;
    g_BoardCalTable[14] = 123456.0f;
    Press(kKeyInfo);
    Post(kItemMeterCalFactors);
    ASSERT_EQ(Menu_TopScreen(), kScreenMeterCalFactors);
    const std::vector<std::vector<std::string>> kPages = {
        {"A R1 M=0.0000 A=******", ""},  {"A R2 M=1.0000 A=-12.35", ""},  {"A R3 M=1.0000 A=******", ""},
        {"A R4 M=1.0000 A=1.0000", ""},  {"A R5 M=1.0000 A=1.0000", ""},  {"A V  M=1.0000 A=1.0000", ""},
        {"A I1 M=1.0000 A=1.0000", ""},  {"A I2 M=1.0000 A=1.0000", ""},  {"A T  a=1.0200 b=0.5000", "A T  c=123456"},
        {"A Rg M=1.0000  A=1.0000", ""}, {"A Rr M=1.0000  A=1.0000", ""}, {"Aout1M=1.0000  A=0.0000", ""},
        {"Aout2M=1.0000  A=0.0000", ""}, {"Ain M=1.0000  A=1.0000", ""},
    };
    for (uint32_t page = 0; page < kPages.size(); ++page) {
        EXPECT_EQ(Row(11), kPages[page][0]) << page;
        EXPECT_EQ(Row(12), kPages[page][1]) << page;
        // No other key turns a page.
        Press(kKeyUp);
        Press(kKeyCal);
        EXPECT_EQ(g_MenuTreeView.pageCounter, page);
        Press(kKeyEnter);
    }
    EXPECT_EQ(Menu_TopScreen(), kScreenHome) << "ENTER on the last page leads home";
}

TEST(InfoScreens, RangeFillsAndTheLiveValueWithItsUnit) {
    BootHome();
    Lcd_ClearAll();
    EXPECT_EQ(Screen_CheckAndFillRange(11, 0, 99999.4f, 0), 0u);
    EXPECT_EQ(Row(11), "");
    EXPECT_EQ(Screen_CheckAndFillRange(11, 0, 99999.5f, 0), kStatusOver);
    EXPECT_EQ(Row(11), "*****");
    EXPECT_EQ(Screen_CheckAndFillRange(11, 0, -9999.6f, 0), kStatusUnder);
    EXPECT_EQ(Row(11), "_____");
    EXPECT_EQ(Screen_CheckAndFillRange(11, 0, std::nanf(""), 0), kStatusOver);
    EXPECT_EQ(Screen_CheckAndFillRange(11, 0, 1.0f, kStatusInvalid), kStatusInvalid);
    EXPECT_EQ(Row(11), "_____");

    // pH: at most two decimals; temperature one (two on a conductivity channel).
    EXPECT_EQ(LiveValue(0x100000, 14, 4.0123f), "4.01  pH");
    EXPECT_EQ(LiveValue(0x100001, 15, 25.06f), "25.1  °C");
    g_ChannelKind[0] = kKindCond2;
    EXPECT_EQ(LiveValue(0x100001, 15, 25.06f), "25.06 °C");
    // Conductivity in micro- or millisiemens, "U" without compensation; resistivity in kilo- or
    // megaohm-cm.
    EXPECT_EQ(LiveValue(0x100002, 17, 1.234e-4f), "123.4 µS/cm");
    EXPECT_EQ(LiveValue(0x100002, 17, 0.0125f), "12.50 mS/cm");
    EXPECT_EQ(LiveValue(0x100003, 16, 1.82e7f), "18.20 MΩ-cm");
    // The output current, the voltage input, the current inputs, a resistance input.
    EXPECT_EQ(LiveValue(0x1ff022, 26, 12.345f), "12.35 mA");
    EXPECT_EQ(LiveValue(0x100016, 6, -1.2345f), "-1.235 V");
    EXPECT_EQ(LiveValue(0x100017, 7, -750.0f), "-750.0 nA");
    EXPECT_EQ(LiveValue(0x100010, 0, 2.5e6f), "2.5000MΩ");
    // Beyond the field: the fill, the unit stays.
    EXPECT_EQ(LiveValue(0x100000, 14, 123456.0f), "***** pH");
    EXPECT_EQ(LiveValue(0x100000, 14, 7.0f, kStatusUnder), "_____ pH");
}

TEST(InfoScreens, StepScreenViewsAndTheirWaysOut) {
    BootHome();
    g_MenuPosition = 0x100000;
    g_CalPoint = 0;
    Press(kKeyMenu);
    Post(kActionList);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    EXPECT_EQ(Row(11), "Press ENTER when");
    EXPECT_EQ(Row(12), "Sensor is in Buffer 1  $");
    // The normal view blinks ENTER's first letter; CAL and MENU switch to the leave marker and back.
    EXPECT_TRUE(BlinksAt(11, 36));
    Press(kKeyCal);
    EXPECT_TRUE(BlinksAt(12, 138));
    Press(kKeyMenu);
    EXPECT_TRUE(BlinksAt(11, 36));
    // Italian: "Premi ENTER quando", ENTER's letter is the ninth.
    g_Language = 3;
    Post(kEventRedraw);
    Press(kKeyMenu);
    EXPECT_TRUE(BlinksAt(11, 48));
    g_Language = 0;
    // The second point of an oxygen sensor and of an optical one.
    g_ChannelKind[0] = kKindO2Low;
    Screen_ListShow(1, 0);
    EXPECT_EQ(Row(12), "Sensor is in Gas 1(Air)$");
    g_ChannelKind[0] = kKindO2Optical;
    Screen_ListShow(1, 0);
    EXPECT_EQ(Row(12), "Gas is Changed         $");
    // ENTER in the normal view: the numeric editor on the position.
    g_ChannelKind[0] = kKindPh;
    Screen_ListShow(0, 0);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(g_PendingMenuItem, 0x100000u);
    // ENTER on the leave marker at the second point: back to the first, one screen down.
    Post(kActionList);
    g_CalPoint = 1;
    Press(kKeyCal);
    uint32_t depth = g_MenuDepth;
    Press(kKeyEnter);
    EXPECT_EQ(g_CalPoint, 0);
    EXPECT_EQ(g_MenuDepth, depth - 1);
    EXPECT_EQ(Menu_TopScreen(), kScreenNumericEditor);
}

TEST(InfoScreens, SecondStepScreenLeadsToTheNextPointOrTheStep) {
    OpenPhEditor();
    EXPECT_EQ(Row(11).substr(0, 11), "A Point1 = ");
    uint32_t depth = g_MenuDepth;
    Post(kActionList2);
    ASSERT_EQ(Menu_TopScreen(), kScreenList2);
    EXPECT_EQ(Row(12), "Cal info offset =      $");
    EXPECT_TRUE(BlinksAt(12, 0));
    Press(kKeyCal);
    EXPECT_TRUE(BlinksAt(12, 138));
    // The alternate view's ENTER goes back to the editor, redrawn.
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(g_MenuDepth, depth);
    // The normal view's ENTER: the editor again, on the second point.
    Post(kActionList2);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(g_MenuDepth, depth);
    EXPECT_EQ(g_CalPoint, 1);
    EXPECT_EQ(Row(11).substr(0, 11), "A Point2 = ");
    // At the last point it takes the calibration step instead, and its result follows.
    Post(kActionList2);
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(11).substr(0, 5), "pH S=");
    EXPECT_EQ(g_MenuDepth, depth + 1);
}

TEST(InfoScreens, HoldCountdownHoldsTheOutputsWhileItCounts) {
    BootHome();
    ASSERT_EQ(Settings_GetHoldOutputs(), 1) << "the factory setting does not hold the whole calibration";
    g_MenuPosition = 0x100004;
    Press(kKeyMenu);
    Post(kActionHoldCountdown);
    ASSERT_EQ(Menu_TopScreen(), kScreenHoldCountdown);
    EXPECT_EQ(Row(12), "Please wait...      120$");
    EXPECT_TRUE(BlinksAt(12, 138));
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Row(12), "Please wait...      119$");
    EXPECT_EQ(g_TimedHold, 1);
    EXPECT_EQ(g_OutputHold, 1u);
    Rig_AdvanceMs(117000);
    EXPECT_EQ(Row(12), "Please wait...      002$");
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Row(12), "Please wait...      001$");
    EXPECT_EQ(Menu_TopScreen(), kScreenHoldCountdown);
    // After 120 seconds the step screen follows and the hold ends.
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Menu_TopScreen(), kScreenList);
    EXPECT_EQ(g_TimedHold, 0);
    Rig_AdvanceMs(1100);
    EXPECT_EQ(g_OutputHold, 0u);

    // ENTER leaves at once; with the outputs held for the whole calibration the countdown leaves
    // that hold alone.
    BootHome();
    g_HoldOnChange = 1;
    Press(kKeyMenu);
    Post(kActionHoldCountdown);
    Rig_AdvanceMs(5000);
    EXPECT_EQ(g_TimedHold, 0);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
}
