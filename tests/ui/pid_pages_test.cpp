// The PID setup pages and the manual output key through the rig, key by key: the output mode with
// its pulse bounds and relay clashes, the tuning with its gain limit, the corner points held to
// the curve, and the manual output held on the measurement screen.
#include <gtest/gtest.h>

#include <string>

#include "outputs/pid.h"
#include "settings/settings_work.h"
#include "ui/edit_pages.h"
#include "ui/menu.h"
#include "ui/param_page.h"
#include "ui/pid_pages.h"
#include "ui/value_catalogue.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
void OpenPidItem(const std::string& item) {
    BootHome();
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("PID Setup"));
    ASSERT_TRUE(Choose(item));
}

// Types digits into consecutive cells of a row from the cursor on, UP to each and CAL between.
void TypeCells(uint32_t row, size_t cell, const char* text) {
    for (const char* p = text; *p != '\0'; ++p, ++cell) {
        if (p != text) Press(kKeyCal);
        for (int i = 0; i < 12 && Cell(row, cell) != std::string(1, *p); ++i) Press(kKeyUp);
        ASSERT_EQ(Cell(row, cell), std::string(1, *p)) << Row(row);
    }
}

// A controller on line a in manual mode, driving relay 1 (positive) and relay 2 (negative) as
// given, running from the live settings.
void ManualController(uint8_t positive, uint8_t negative) {
    BootHome();
    g_PidSettings.source = 0;
    g_PidSettings.displayChoice = 0;
    g_PidSettings.mode = kPidManual;
    g_PidSettings.relayPositive = positive;
    g_PidSettings.relayNegative = negative;
    Pid_ValidateParams();
    Rig_AdvanceMs(1000);
    ASSERT_EQ(Menu_PidManualOnHome(), 1u);
}

float ManualPercent() { return Pid_GetManualOutput() * 100.0f; }
}  // namespace

TEST(PidPages, ManualOutputStepsByTenthsAndKeepsThem) {
    ManualController(0, 1);
    // Three short presses: 0.6 %, kept over the one-second refresh of the measurement screen.
    Step(3);
    EXPECT_NEAR(ManualPercent(), 0.6f, 1e-4f);
    Rig_AdvanceMs(2000);
    EXPECT_NEAR(ManualPercent(), 0.6f, 1e-4f);
    // A pH line's output also names its direction.
    EXPECT_EQ(Row(12), "Man Ctrl Out 0.6%base");
    // INFO takes 0.2 off.
    Press(kKeyInfo);
    EXPECT_NEAR(ManualPercent(), 0.4f, 1e-4f);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
}

TEST(PidPages, HoldingUpStepsFasterAndStopsAtFullOutput) {
    ManualController(0, 1);
    // A hold: repeats every 160 ms after the first second, released after ten of them.
    Rig_HoldKey(kKeyUp, 1000 + 10 * 160 + 80);
    EXPECT_NEAR(ManualPercent(), 2.0f, 1e-3f);
    // The release started the count again: ten more fine steps, then five of 2 %.
    Rig_HoldKey(kKeyUp, 1000 + 15 * 160 + 80);
    EXPECT_NEAR(ManualPercent(), 2.0f + 2.0f + 10.0f, 1e-3f);
    // Then 10 % at a time, up to 100 % and no further.
    Rig_HoldKey(kKeyUp, 1000 + 30 * 160 + 80);
    EXPECT_NEAR(ManualPercent(), 100.0f, 1e-3f);
    Rig_HoldKey(kKeyInfo, 1000 + 10 * 160 + 80);
    EXPECT_NEAR(ManualPercent(), 98.0f, 1e-3f);
}

TEST(PidPages, ManualOutputStaysOnTheSideOfItsRelays) {
    // Only the negative output's relay: the output runs from -100 % to 0.
    ManualController(2, 1);
    Press(kKeyUp);
    EXPECT_NEAR(ManualPercent(), 0.0f, 1e-4f);
    Press(kKeyInfo);
    EXPECT_NEAR(ManualPercent(), -0.2f, 1e-4f);
    // Only the positive one: 0 to 100 %.
    ManualController(0, 2);
    Press(kKeyInfo);
    EXPECT_NEAR(ManualPercent(), 0.0f, 1e-4f);
    // A held controller's output does not move.
    Pid_EnterHold();
    EXPECT_EQ(Screen_PidManualKey(kEventUp, 5.0f), static_cast<int32_t>(kActionPidUnchanged));
    EXPECT_NEAR(ManualPercent(), 0.0f, 1e-4f);
}

TEST(PidPages, ModePageHoldsThePulseNumbersToTheirRange) {
    OpenPidItem("Mode");
    ASSERT_EQ(Menu_TopScreen(), kScreenPidMode);
    EXPECT_EQ(Row(11), "PIDMode= OC PL #_ #_");
    EXPECT_EQ(Row(12), "Pulse Length = 001 sec $");
    // Pulse frequency: 200 per minute becomes 180 and the page stays on its first digit.
    Press(kKeyCal);
    Step(1);
    EXPECT_EQ(Row(11), "PIDMode= OC PF #_ #_");
    EXPECT_EQ(Row(12), "Pulse Frequency=001 p/m$");
    for (int i = 0; i < 3; ++i) Press(kKeyCal);
    TypeCells(12, 16, "200");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenPidMode);
    EXPECT_EQ(Row(12), "Pulse Frequency=180 p/m$");
    EXPECT_EQ(g_BlinkField.column, 96);
    EXPECT_FLOAT_EQ(g_WorkSet.pid.pulseFrequency, 180.0f);

    // Pulse length: 700 s is more than the controller keeps; it becomes 60.
    Press(kKeyMenu);
    Press(kKeyMenu);
    Press(kKeyMenu);
    Step(1);
    EXPECT_EQ(Row(12), "Pulse Length = 001 sec $");
    for (int i = 0; i < 3; ++i) Press(kKeyCal);
    TypeCells(12, 15, "700");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Pulse Length = 060 sec $");
    EXPECT_FLOAT_EQ(g_WorkSet.pid.pulseLength, 60.0f);
    // 45 s is taken; without relays nothing clashes: on to "PID Hold".
    TypeCells(12, 15, "045");
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_WorkSet.pid.pulseLength, 45.0f);
    EXPECT_EQ(Menu_TopScreen(), kScreenParamPage);
    EXPECT_EQ(ParamPage_CurrentPage(), 53u);
    EXPECT_EQ(g_RelayConflict, 0);
}

TEST(PidPages, ARelayInUseAsksToStopIt) {
    OpenPidItem("Mode");
    g_WorkSet.alarm.relay = 2;
    g_WorkSet.cleaning.relay = 0;
    // Relay 1 for the positive output while the cleaning uses it.
    Press(kKeyCal);
    Press(kKeyCal);
    Step(1);
    EXPECT_EQ(Row(11), "PIDMode= OC PL #1 #_");
    EXPECT_EQ(g_WorkSet.pid.relayPositive, 0);
    Press(kKeyEnter);
    EXPECT_EQ(g_RelayConflict, 32 + 256);
    EXPECT_EQ(Menu_TopScreen(), kScreenParamPage);
    EXPECT_EQ(ParamPage_CurrentPage(), 46u);
    EXPECT_EQ(Row(11).substr(0, 10), "Stop OC #1");

    // Relay 2 for the negative output while the alarm uses it.
    OpenPidItem("Mode");
    g_WorkSet.alarm.relay = 1;
    g_WorkSet.cleaning.relay = 2;
    for (int i = 0; i < 3; ++i) Press(kKeyCal);
    Step(1);
    EXPECT_EQ(Row(11), "PIDMode= OC PL #_ #2");
    // Leaving from the marker asks too.
    Press(kKeyMenu);
    Press(kKeyMenu);
    Press(kKeyMenu);
    Press(kKeyMenu);
    EXPECT_EQ(g_BlinkField.column, 138);
    Press(kKeyEnter);
    EXPECT_EQ(g_RelayConflict, 16 + 4096 + 512);
    EXPECT_EQ(g_PageCursor, kPageCursorMarker);
}

TEST(PidPages, TuningHoldsTheGainTo20) {
    OpenPidItem("Tune Parameters");
    ASSERT_EQ(Menu_TopScreen(), kScreenPidTune);
    EXPECT_EQ(Row(11), "PID on _    Gain = 1.000");
    EXPECT_EQ(Row(12), "Tr=0.00 m   Td=0.00 m  $");
    // The line steps a, b, c, d, off.
    Step(1);
    EXPECT_EQ(Row(11).substr(0, 8), "PID on a");
    Step(-2);
    EXPECT_EQ(Row(11).substr(0, 8), "PID on d");
    Step(-3);
    EXPECT_EQ(Row(11).substr(0, 8), "PID on a");
    // Gain 25.00: its first place to 2, the point to 5, the third place to the point.
    Press(kKeyCal);
    Step(1);
    Press(kKeyCal);
    Step(6);
    Press(kKeyCal);
    Step(-1);
    Press(kKeyCal);
    EXPECT_EQ(Row(11).substr(Row(11).size() - 5), "25.00");
    // Tr 2.50 on its way: its second place.
    for (int i = 0; i < 2; ++i) Press(kKeyCal);
    Step(2);
    Press(kKeyCal);
    Press(kKeyCal);
    Step(5);
    EXPECT_EQ(Row(12).substr(0, 7), "Tr=2.50");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenPidTune);
    EXPECT_EQ(Row(11).substr(Row(11).size() - 5), "20.00");
    EXPECT_EQ(g_BlinkField.column, 114);
    EXPECT_FLOAT_EQ(g_WorkSet.pid.gain, 20.0f);
    EXPECT_FLOAT_EQ(g_WorkSet.pid.resetTime, 2.5f);
    // A gain of 20 is taken: on to the set point and dead band.
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(g_PendingMenuItem, kActionPidSetPointPage);
    EXPECT_EQ(g_WorkSet.pid.source, 0);
}

// The set point, dead band and proportional limits of a controller on a pH line, as the tuning
// page leads to them: each value with its unit after it, row 12 ending before the leave marker.
TEST(PidPages, SetPointAndLimitsShowTheirUnitBeforeTheMarker) {
    OpenPidItem("Tune Parameters");
    Step(1);  // line a, pH
    Press(kKeyEnter);
    ASSERT_EQ(g_ValuePageNumber, kValuePagePid);
    EXPECT_EQ(Row(11), "SetPoint = 7.000 pH");
    EXPECT_EQ(Row(12), "Dead Band= 0.000 pH    $");
    Press(kKeyEnter);
    ASSERT_EQ(g_ValuePageNumber, kValuePagePropLimits);
    EXPECT_EQ(Row(11), "P-Lim Low  0.000 pH");
    EXPECT_EQ(Row(12), "P-Lim High 14.00 pH    $");
    // The cursor walked round the page redraws the values and units; the marker stays whole.
    for (int i = 0; i < 10; ++i) Press(kKeyCal);
    ASSERT_EQ(g_ValuePageCursor, kCursorLeave);
    Lcd_BlinkField(0);
    EXPECT_EQ(Row(12), "P-Lim High 14.00 pH    $");
}

TEST(PidPages, CornersFollowTheCurve) {
    BootHome();
    Press(kKeyMenu);
    PidSettings& p = g_WorkSet.pid;
    p.source = 0;
    p.setPoint = 7.0f;
    p.deadBand = 0.5f;
    p.lowerLimit = 0.0f;
    p.upperLimit = 14.0f;
    p.lowerCornerX = 3.0f;
    p.lowerCornerY = 0.5f;
    p.upperCornerX = 14.0f;
    p.upperCornerY = -1.0f;
    Post(kActionPidLimits1);
    ASSERT_EQ(Menu_TopScreen(), kScreenPidLimits1);
    EXPECT_EQ(Row(11), "Corner Low 3.000pH0.500");
    EXPECT_EQ(Row(12), "CornerHigh 14.00pH-1.00$");
    // Lower x stepped above the set point less the band: back to 6.5, its y to 0.
    Step(6);
    EXPECT_EQ(Row(11), "Corner Low 6.500pH0.000");
    // Back to 4.500: the allowed y follows the x.
    Step(-2);
    EXPECT_EQ(Row(11), "Corner Low 4.500pH0.308");
    // A lower y larger than the curve allows is refused: the allowed one comes back, selected.
    for (int i = 0; i < 5; ++i) Press(kKeyCal);
    Step(1);
    EXPECT_EQ(Row(11), "Corner Low 4.500pH1.308");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenPidLimits1);
    EXPECT_EQ(Row(11), "Corner Low 4.500pH0.308");
    EXPECT_EQ(g_DigitFieldCursor, 1);
    EXPECT_EQ(g_BlinkField.column, 108);
    EXPECT_NEAR(p.lowerCornerX, 4.5f, 1e-4f);
    EXPECT_NEAR(p.lowerCornerY, (4.5f - 6.5f) / (0.0f - 6.5f), 1e-4f);
    // Taken now: "Save Changes".
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);
}
