// The fixed edit pages through the rig, key by key: the temperature source and its fixed
// temperature, the verification, the calibration constants (the channel shown is the channel
// edited), the linear compensation coefficients, the calibration compensation and the output's
// hold current.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/param.h"
#include "measurement/chan_reset.h"
#include "measurement/channel.h"
#include "measurement/conductivity.h"
#include "measurement/temperature.h"
#include "settings/settings_work.h"
#include "ui/edit_pages.h"
#include "ui/menu.h"
#include "ui/param_page.h"
#include "ui/value_page.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// From the MENU tree, as its own item or action would open the screen.
void OpenFromTree(uint32_t id) {
    BootHome();
    Press(kKeyMenu);
    Post(id);
}

// UP until the cell of a row shows c (at most a turn of the digits).
void StepCellTo(uint32_t row, size_t cell, char c) {
    for (int i = 0; i < 12 && Cell(row, cell) != std::string(1, c); ++i) Press(kKeyUp);
    ASSERT_EQ(Cell(row, cell), std::string(1, c)) << Row(row);
}

// The CAL key's selection on channel A, UP to the measurement choice, then ENTER.
void Calibrate(const std::string& choice) {
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectCal);
    for (int i = 0; i < 8 && Row(12).find(choice) == std::string::npos; ++i) Press(kKeyUp);
    ASSERT_NE(Row(12).find(choice), std::string::npos) << Row(12);
    Press(kKeyEnter);
}
}  // namespace

TEST(EditPages, TemperatureSourceStepsToTheFixedTemperatureAndStoresIt) {
    BootHome();
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Measurement"));
    ASSERT_TRUE(Choose("Temperature Source"));
    ASSERT_EQ(Menu_TopScreen(), kScreenTempSource);
    EXPECT_EQ(Row(12), "A: Auto                $");
    Step(3);
    EXPECT_EQ(Row(12), "A: Use Pt100           $");
    // One more UP: the fixed temperature's form, "Fixed" blinking where the choice stood.
    Step(1);
    EXPECT_EQ(Row(12), "A:Fixed = 25.00 °C     $");
    EXPECT_EQ(g_BlinkField.column, 12);
    // And one more: "Auto" again, with nothing of the form left.
    Step(1);
    EXPECT_EQ(Row(12), "A: Auto                $");
    // INFO from "Auto" to the fixed form; CAL into its digits: 25.00 becomes 37.50.
    Step(-1);
    Press(kKeyCal);
    Step(1);
    Press(kKeyCal);
    Step(2);
    Press(kKeyCal);
    Press(kKeyCal);
    Step(5);
    EXPECT_EQ(Row(12), "A:Fixed = 37.50 °C     $");
    // CAL past the last digit reaches the leave marker; ENTER there goes back to the tree.
    Press(kKeyCal);
    Press(kKeyCal);
    EXPECT_EQ(g_BlinkField.column, 138);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    EXPECT_EQ(g_WorkSet.params.channel[0].tempSource, 4);
    EXPECT_FLOAT_EQ(g_WorkSet.params.channel[0].manualTemp, 37.5f);

    // ENTER on the choice asks whether to save; the page comes back with the leave marker.
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenTempSource);
    EXPECT_EQ(Row(12), "A:Fixed = 37.50 °C     $");
    Step(-2);
    EXPECT_EQ(Row(12), "A: Use Pt1000          $");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    EXPECT_EQ(g_WorkSet.params.channel[0].tempSource, 2);
}

TEST(EditPages, AFixedTemperatureThatIsNoNumberIsRefused) {
    OpenFromTree(kItemTempSource);
    g_WorkSet.params.channel[0].manualTemp = 2.5e6f;
    g_WorkSet.params.channel[0].tempSource = 4;
    Post(kEventRedraw);
    EXPECT_EQ(Row(12), "A:Fixed = ***** °C     $");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Value");
    EXPECT_FLOAT_EQ(g_WorkSet.params.channel[0].manualTemp, 2.5e6f);
    // ENTER brings the page back; with another source the temperature does not matter.
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTempSource);
    Press(kKeyCal);
    Step(1);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    EXPECT_EQ(g_WorkSet.params.channel[0].tempSource, 0);
}

namespace {
// Types a text into the fixed temperature's five places (cells 10 to 14 of row 12), from the
// first; the cursor stays on the last.
void TypeFixedTemperature(const char* text) {
    for (int i = 0; i < 4 && g_ValuePageCursor != 0; ++i) Press(kKeyCal);
    ASSERT_EQ(g_ValuePageCursor, 0);
    for (int i = 0; i < 5; ++i) {
        if (i > 0) Press(kKeyCal);
        StepCellTo(12, 10 + static_cast<size_t>(i), text[i]);
    }
}
}  // namespace

TEST(EditPages, AFixedTemperatureOutsideTheMeasuredRangeIsRefused) {
    OpenFromTree(kItemTempSource);
    ASSERT_EQ(Menu_TopScreen(), kScreenTempSource);
    EXPECT_EQ(Row(12), "A: Auto                $");
    Step(-1);
    EXPECT_EQ(Row(12), "A:Fixed = 25.00 °C     $");
    for (const char* refused : {"360.1", "200.1", "-40.1", "99999"}) {
        TypeFixedTemperature(refused);
        EXPECT_EQ(Row(12), std::string("A:Fixed = ") + refused + " °C     $");
        Press(kKeyEnter);
        EXPECT_EQ(Row(11), "Invalid Value") << refused;
        EXPECT_EQ(Row(12), "Press ENTER to Continue$") << refused;
        // Nothing is taken, not even the source.
        EXPECT_FLOAT_EQ(g_WorkSet.params.channel[0].manualTemp, 25.0f) << refused;
        EXPECT_EQ(g_WorkSet.params.channel[0].tempSource, 0) << refused;
        // ENTER: the page again with the source chosen and the temperature as it stands.
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenTempSource);
        EXPECT_EQ(Row(12), "A:Fixed = 25.00 °C     $") << refused;
        EXPECT_EQ(g_BlinkField.column, 138);
    }
    // The ends of the range are taken, and saved.
    TypeFixedTemperature("-40.0");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    EXPECT_FLOAT_EQ(g_WorkSet.params.channel[0].manualTemp, -40.0f);
    Press(kKeyCal);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenTempSource);
    TypeFixedTemperature("200.0");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    EXPECT_EQ(g_WorkSet.params.channel[0].tempSource, 4);
    EXPECT_FLOAT_EQ(g_WorkSet.params.channel[0].manualTemp, 200.0f);
    Press(kKeyEnter);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Temp_GetSourceMode(0), 4);
    EXPECT_FLOAT_EQ(Temp_GetManualValue(0), 200.0f);
}

TEST(EditPages, VerifyShowsTheChannelAndStoresNothing) {
    BootHome();
    Calibrate("Verify");
    ASSERT_EQ(Menu_TopScreen(), kScreenVerifyCal);
    EXPECT_EQ(Row(11), "Verify Cal:Channel A");
    // No sensor board: the value has no valid reading yet.
    EXPECT_EQ(Row(12), "Ch A ****** pH 0.000 °C");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectCal);
}

TEST(EditPages, CalibrationConstantsAreEditedAndSaved) {
    BootHome();
    Calibrate("Edit pH");
    ASSERT_EQ(Menu_TopScreen(), kScreenCalEdit);
    EXPECT_EQ(g_MenuPosition, 0x100008u);
    EXPECT_EQ(Row(11), "Ap S=100.0%   Z=7.000 pH");
    EXPECT_EQ(Row(12), "As M=1.0000   A=0.0000 $");
    // The slope: 100.0 to 098.0. Below '0' comes the point: a place passes it on the way to '9'.
    Step(-1);
    EXPECT_EQ(Row(11).substr(0, 10), "Ap S=000.0");
    Press(kKeyCal);
    Step(-1);
    EXPECT_EQ(Row(11).substr(0, 10), "Ap S=0.0.0");
    Step(-1);
    Press(kKeyCal);
    Step(-3);
    EXPECT_EQ(Row(11).substr(0, 10), "Ap S=098.0");
    // The first place steps through '-' too.
    Press(kKeyMenu);
    Press(kKeyMenu);
    Step(-2);
    EXPECT_EQ(Row(11).substr(0, 10), "Ap S=-98.0");
    Step(1);
    EXPECT_EQ(Row(11).substr(0, 10), "Ap S=.98.0");
    Step(1);
    // MENU from the first place of the first field reaches the leave marker, CAL from there the
    // first place; through all 22 places to the leave marker.
    Press(kKeyMenu);
    EXPECT_EQ(g_BlinkField.column, 138);
    Press(kKeyCal);
    EXPECT_EQ(g_BlinkField.column, 30);
    for (int i = 0; i < 22; ++i) Press(kKeyCal);
    EXPECT_EQ(g_BlinkField.column, 138);
    Press(kKeyMenu);
    EXPECT_EQ(g_BlinkField.column, 96 + 5 * 6);
    // ENTER on a field: the step is done, "Save Calibration" stores the constants.
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_CalEditValues[0][kCalEditSlope], 98.0f);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode1);
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    uint32_t status = 0;
    EXPECT_NEAR(Param_GetFloat(0, 7, 0, &status), 98.0f, 0.01f);
}

TEST(EditPages, ARowElevenConstantIsHeldToWhatItsFieldShows) {
    BootHome();
    g_MenuPosition = 0x10001b;
    Screen_CalEditFieldB(0, 0, 0, 123456.7f);
    EXPECT_STREQ(g_DigitFields[0].text, "99999");
    Screen_CalEditFieldB(0, 0, 1, -123456.7f);
    EXPECT_STREQ(g_DigitFields[1].text, "-9999");
    Screen_CalEditFieldB(0, 0, 0, 12.3456f);
    EXPECT_STREQ(g_DigitFields[0].text, "12.35");
    // Whatever a value, a field keeps to its eight bytes.
    Screen_SetDigitField(2, 3.0e38f, 4, 20);
    EXPECT_LT(std::strlen(g_DigitFields[2].text), 8u);
    EXPECT_STREQ(g_DigitFields[2].text, "*******");
    Screen_SetDigitField(3, -3.0e38f, 4, 6);
    EXPECT_STREQ(g_DigitFields[3].text, "______");
    float value = 1.5f;
    EXPECT_EQ(Screen_ParseDigitField(3, &value), 0u);
    EXPECT_FLOAT_EQ(value, 1.5f);
}

TEST(EditPages, TheSecondFormEditsTheChannelItShows) {
    // Reached from the quick set-up's channel page.
    BootHome();
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Quick Setup"));
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
    // Channel A is edited as a pH channel: the second form shows channel B's constants.
    g_WorkSet.channel.kind[0] = 1;
    Post(kActionCalEdit2);
    ASSERT_EQ(Menu_TopScreen(), kScreenCalEdit2);
    EXPECT_EQ(Row(11).substr(0, 2), "Bp");
    float channelA[4];
    for (uint32_t i = 0; i < 4; ++i) channelA[i] = g_CalEditValues[0][i];
    // The temperature offset of channel B: its first place to '5'.
    for (int i = 0; i < 18; ++i) Press(kKeyCal);
    Step(5);
    EXPECT_EQ(Row(12).substr(0, 22), "Bs M=1.0000   A=5.0000");
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_CalEditValues[1][kCalEditTempOffset], 5.0f);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_FLOAT_EQ(g_CalEditValues[0][i], channelA[i]) << "channel A value " << i;
    // Reached through the tree, ENTER on a field leads to "Analog Output?".
    EXPECT_EQ(Menu_TopScreen(), kScreenParamPage);
    EXPECT_EQ(ParamPage_CurrentPage(), 37u);
}

TEST(EditPages, LinearCoefficientsInTwoParts) {
    OpenFromTree(kItemChannelSetup);
    for (uint32_t line = 0; line < 4; ++line) g_WorkSet.params.compMode[line] = line == 1 ? 0 : 1;
    g_WorkSet.params.compCoefficient[0] = 2.0f;
    g_WorkSet.params.compCoefficient[2] = 1.75f;
    g_WorkSet.params.compCoefficient[3] = 150.0f;
    Post(kActionLinComp);
    ASSERT_EQ(Menu_TopScreen(), kScreenLinComp);
    EXPECT_EQ(Row(11), "a:Comp= 02.00 %/°C");
    EXPECT_EQ(Row(12), "c:Comp= 01.75 %/°C     $");
    // Line a to 12.00: its tens digit up once.
    Step(1);
    // The places skip the point: four of line a, four of line c, the marker, and round again.
    for (int i = 0; i < 8; ++i) Press(kKeyCal);
    EXPECT_EQ(g_BlinkField.column, 138);
    Press(kKeyCal);
    EXPECT_EQ(g_BlinkField.column, 48);
    // ENTER on a digit of part 0 with three lines: part 1 shows line d, whose 150 its field cannot
    // hold; line c, not stepped, keeps what is stored.
    g_WorkSet.params.compCoefficient[2] = 1.754f;
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_WorkSet.params.compCoefficient[0], 12.0f);
    EXPECT_FLOAT_EQ(g_WorkSet.params.compCoefficient[2], 1.754f);
    EXPECT_EQ(Menu_TopScreen(), kScreenLinComp);
    EXPECT_EQ(Row(11), "d:Comp= ***** %/°C");
    EXPECT_EQ(Row(12), "                       $");
    // ENTER on its leave marker keeps it: part 0 again, with the marker selected.
    Press(kKeyMenu);
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_WorkSet.params.compCoefficient[3], 150.0f);
    EXPECT_EQ(Row(11), "a:Comp= 12.00 %/°C");
    EXPECT_EQ(g_BlinkField.column, 138);
    // ENTER on the marker of part 0 goes back.
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenParamPage);

    // Stepping line d starts from the largest coefficient its field holds: 89.99 is taken.
    Post(kActionLinComp);
    Press(kKeyEnter);
    ASSERT_EQ(Row(11), "d:Comp= ***** %/°C");
    Step(-1);
    EXPECT_EQ(Row(11), "d:Comp= 89.99 %/°C");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    EXPECT_FLOAT_EQ(g_WorkSet.params.compCoefficient[3], 89.99f);
    EXPECT_FLOAT_EQ(g_WorkSet.params.compCoefficient[0], 12.0f);

    // A negative coefficient shows the under-range fill and is kept; stepped, it starts at 00.00.
    OpenFromTree(kItemChannelSetup);
    for (uint32_t line = 0; line < 4; ++line) g_WorkSet.params.compMode[line] = line == 0 ? 2 : 0;
    g_WorkSet.params.compCoefficient[0] = -1.0f;
    Post(kActionLinComp);
    ASSERT_EQ(Menu_TopScreen(), kScreenLinComp);
    EXPECT_EQ(Row(11), "a:Comp= _____ %/°C");
    Press(kKeyMenu);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenParamPage);
    EXPECT_FLOAT_EQ(g_WorkSet.params.compCoefficient[0], -1.0f);
    Post(kActionLinComp);
    Step(1);
    EXPECT_EQ(Row(11), "a:Comp= 10.00 %/°C");
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_WorkSet.params.compCoefficient[0], 10.0f);
}

TEST(EditPages, CalibrationCompensationSetsTheReferenceCoefficient) {
    BootHome();
    g_ChannelKind[0] = 3;
    g_WorkSet.channel.kind[0] = 3;
    CalCond_SetRefTempMode(0, 0);
    Calibrate("Conductivity");
    ASSERT_EQ(Menu_TopScreen(), kScreenCalCompensation);
    EXPECT_EQ(Row(11), "Cal Compensation");
    EXPECT_EQ(Row(12), "Standard               $");
    // Without a linear compensation CAL goes from the choice straight to the marker.
    Press(kKeyCal);
    EXPECT_EQ(g_BlinkField.column, 138);
    Press(kKeyCal);
    Step(1);
    EXPECT_EQ(Row(12).substr(0, 9), "Lin 25°C");
    EXPECT_EQ(Cell(12, 9), "=");
    EXPECT_EQ(Row(12).substr(Row(12).size() - 8), "%/°C  $");
    // The number: 02.50, then ENTER.
    Press(kKeyCal);
    StepCellTo(12, 11, '0');
    Press(kKeyCal);
    StepCellTo(12, 12, '2');
    Press(kKeyCal);
    StepCellTo(12, 14, '5');
    Press(kKeyCal);
    StepCellTo(12, 15, '0');
    EXPECT_EQ(Cell(12, 13), ".");
    // CAL after the last digit: the marker; MENU back to the digit.
    Press(kKeyCal);
    EXPECT_EQ(g_BlinkField.column, 138);
    Press(kKeyMenu);
    Press(kKeyEnter);
    EXPECT_NEAR(CalCond_GetRefCoefficientFwd(0), 0.025f, 1e-6f);
    EXPECT_EQ(CalCond_GetRefTempMode(0), 1);
    // On to the calibration type.
    EXPECT_EQ(Menu_TopScreen(), kScreenParamPage);
    EXPECT_EQ(g_PendingMenuItem, 0x1013u);
}

TEST(EditPages, OutputHoldCurrentStepsWithinItsLimits) {
    OpenFromTree(kItemOutputHoldValue);
    ASSERT_EQ(Menu_TopScreen(), kScreenAoutHoldValue);
    EXPECT_EQ(Row(11), "Aout 1 hold mode");
    EXPECT_EQ(Row(12), "Last Value             $");
    g_WorkSet.outputs.holdValue[0] = 15.0f;
    Post(kEventRedraw);
    // "Fixed =" shows the current; CAL from the hold mode to its tens digit.
    Press(kKeyCal);
    Press(kKeyCal);
    Step(1);
    EXPECT_EQ(Row(12), "Fixed = 15.0mA         $");
    Press(kKeyCal);
    EXPECT_EQ(g_BlinkField.column, 48);
    // 15.0 plus ten is held to 22.0, not 25.0.
    Step(1);
    EXPECT_EQ(Row(12), "Fixed = 22.0mA         $");
    // Tenths down from 22.0 at the lower limit: ones down to 3.6 and no further.
    Press(kKeyCal);
    Press(kKeyCal);
    Step(-1);
    EXPECT_EQ(Row(12), "Fixed = 21.9mA         $");
    Press(kKeyMenu);
    Press(kKeyMenu);
    Step(-3);
    EXPECT_EQ(Row(12), "Fixed = 03.6mA         $");
    // ENTER on a digit of output 1: the current into the working set, then output 1's damping.
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_WorkSet.outputs.holdValue[0], 3.6f);
    EXPECT_EQ(g_WorkSet.outputs.holdMode[0], 1);
    EXPECT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(g_PendingMenuItem, kActionOutputDampingPage);
}

TEST(EditPages, OutputHoldKeepsEachOutputsCurrent) {
    OpenFromTree(kItemOutputHoldValue);
    g_WorkSet.outputs.holdMode[0] = 1;
    g_WorkSet.outputs.holdMode[1] = 1;
    g_WorkSet.outputs.holdValue[0] = 12.0f;
    g_WorkSet.outputs.holdValue[1] = 8.0f;
    Post(kEventRedraw);
    EXPECT_EQ(Row(12), "Fixed = 12.0mA         $");
    // Output 1's current to 13.0, then output 2 chosen: its own current shows.
    Press(kKeyMenu);
    Press(kKeyMenu);
    Step(1);
    EXPECT_EQ(Row(12), "Fixed = 13.0mA         $");
    Press(kKeyCal);
    Press(kKeyCal);
    Press(kKeyCal);
    EXPECT_EQ(g_BlinkField.column, 30);
    Step(1);
    EXPECT_EQ(Row(11), "Aout 2 hold mode");
    EXPECT_EQ(Row(12), "Fixed = 08.0mA         $");
    EXPECT_FLOAT_EQ(g_WorkSet.outputs.holdValue[0], 13.0f);
    // ENTER on the marker of output 2: back, nothing asked.
    Press(kKeyMenu);
    EXPECT_EQ(g_BlinkField.column, 138);
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(g_WorkSet.outputs.holdValue[1], 8.0f);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
}
