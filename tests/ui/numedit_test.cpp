// The numeric editor in the rig, key by key: the output calibration in converter counts with its
// limits and the outputs driven live, the pH entry's clamp, the points of a meter calibration,
// the signed first place, and a process calibration that captures under a manual channel hold.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "core/util.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/meter_cal.h"
#include "measurement/ph.h"
#include "measurement/temperature.h"
#include "outputs/aout.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"
#include "ui/numedit.h"
#include "ui/select_screen.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// A start with the library's sensor board, which answers the calibration requests; channel A's
// panel inputs give a pH electrode at 25 C.
void BootWithBoard() {
    Rig_Reset(Rig_MakeTempFolder());
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(25.0f));
    Panel_SetSimInput(0, kSimElectrodeVolts, 30.0f);
    Panel_SetSimInput(0, kSimGlassImpedance, 150.0f);
    Panel_SetSimInput(0, kSimRefImpedance, 20.0f);
    Rig_Boot();
    Rig_AdvanceMs(1100);
}

// MENU, "Calibrate" (the service menu's item), then a row-11 choice and a row-12 choice.
void ChooseCalibration(int row11Steps, int row12Steps) {
    Press(kKeyMenu);
    Post(0xc00001);
    for (int i = 0; i < row11Steps; ++i) Press(kKeyUp);
    Press(kKeyCal);
    for (int i = 0; i < row12Steps; ++i) Press(kKeyUp);
    Press(kKeyEnter);
}

float CurrentOfCount(float count, float gain, float offset) { return (count / kAoutFullScale - offset) / gain; }
}  // namespace

TEST(NumericEditor, OutputCalibrationStepsCountsWithinTheOutputsLimits) {
    BootWithBoard();
    g_AnalogOut[0].point[0] = 2000.0f;
    // "Analog", "Analog Output 1".
    ChooseCalibration(1, 0);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "Aout1 4mA Set 02000");
    EXPECT_EQ(Row(12), "Press ENTER when Done");
    EXPECT_EQ(g_NumEditBuffer.cursor, 4) << "the cursor starts on the last digit";
    EXPECT_EQ(NumEdit_IsOutputCalOpen(), 1u);
    // The output gives the current of its count at once: the panel shows it.
    EXPECT_NEAR(Aout_GetShownCurrent(0), CurrentOfCount(2000.0f, 0.0451648f, -0.1346806f), 0.001f);
    // Ten thousands up from 2000 stops at 6666, not 12000.
    for (int i = 0; i < 4; ++i) Press(kKeyMenu);
    ASSERT_EQ(g_NumEditBuffer.cursor, 0);
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Aout1 4mA Set 06666");
    EXPECT_NEAR(Aout_GetShownCurrent(0), CurrentOfCount(6666.0f, 0.0451648f, -0.1346806f), 0.001f);
    // The periodic update leaves the output to the editor.
    Rig_AdvanceMs(3000);
    EXPECT_NEAR(Aout_GetShownCurrent(0), CurrentOfCount(6666.0f, 0.0451648f, -0.1346806f), 0.001f);
    // Down again to the 4 mA count of the factory.
    Press(kKeyInfo);
    EXPECT_EQ(Row(11), "Aout1 4mA Set 00205") << "stops at the lowest count";
    Press(kKeyCal);
    Press(kKeyCal);
    Press(kKeyUp);
    Press(kKeyCal);
    for (int i = 0; i < 3; ++i) Press(kKeyUp);
    Press(kKeyCal);
    for (int i = 0; i < 4; ++i) Press(kKeyUp);
    EXPECT_EQ(Row(11), "Aout1 4mA Set 00339");
    // ENTER: the 20 mA point of the same output.
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Aout1 20mA Set 05667");
    EXPECT_NEAR(Aout_GetShownCurrent(0), 20.0f, 0.01f);
    // ENTER again (once the board took the first point): "Save Calibration" asks.
    Rig_AdvanceMs(2000);
    Press(kKeyEnter);
    Rig_AdvanceMs(1000);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode1);
    EXPECT_EQ(Row(11).substr(0, 16), "Save Calibration");
    EXPECT_EQ(NumEdit_IsOutputCalOpen(), 0u) << "the outputs follow their lines again";

    // Output 2, hundreds down from 600: stops at 500.
    BootWithBoard();
    g_AnalogOut[1].point[0] = 600.0f;
    ChooseCalibration(1, 1);
    EXPECT_EQ(Row(11), "Aout2 4mA Set 00600");
    Press(kKeyMenu);
    Press(kKeyMenu);
    Press(kKeyInfo);
    EXPECT_EQ(Row(11), "Aout2 4mA Set 00500");
    EXPECT_NEAR(Aout_GetShownCurrent(1), CurrentOfCount(500.0f, 0.0394599f, 0.000848688f), 0.001f);
    // ESC leaves the calibration: at home the output follows its line again.
    Key_Put(kKeyEscape);
    Rig_AdvanceMs(2100);
    EXPECT_EQ(NumEdit_IsOutputCalOpen(), 0u);
    EXPECT_GT(std::fabs(Aout_GetShownCurrent(1) - CurrentOfCount(500.0f, 0.0394599f, 0.000848688f)), 1.0f);
}

TEST(NumericEditor, TypedPhIsHeldBetweenMinus2And16) {
    BootHome();
    uint32_t status = 0;
    CalPh_SetBufferSet(0, 8, &status);     // no buffer set: the pH is typed
    Cal_SetDriftControl(0, kDriftManual);  // ENTER does not wait for a stable reading
    g_SystemSettings.calUnlock = 0;
    Press(kKeyCal);
    EXPECT_EQ(Row(12), "Channel A pH           $");
    Press(kKeyCal);
    Press(kKeyEnter);
    // The calibration type page ("1 point"), the step screen, then the editor on the position.
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11).substr(0, 11), "A Point1 = ");
    NumEditType("17.30");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenNumericEditor) << "the editor stays";
    EXPECT_EQ(std::string(g_NumEditBuffer.text), "16.00");
    EXPECT_EQ(Row(11), "A Point1 = 16.00 pH");
    NumEditType("-3.00");
    Press(kKeyEnter);
    EXPECT_EQ(std::string(g_NumEditBuffer.text), "-2.00");
}

TEST(NumericEditor, MeterPointsAndTheSignedFirstPlace) {
    BootHome();
    // "Meter", "Resistance 1": two points; leaving at the second goes back to the first.
    ChooseCalibration(0, 0);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11).substr(0, 11), "A Point1 = ");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11).substr(0, 11), "A Point2 = ");
    EXPECT_EQ(g_CalPoint, 1);
    while (g_NumEditBuffer.cursor != kNumEditLeave) Press(kKeyCal);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(g_CalPoint, 0);
    EXPECT_EQ(Row(11).substr(0, 11), "A Point1 = ");
    // The unit prefix: units, kilo, mega; the point opens at its 1 megaohm.
    while (g_NumEditBuffer.cursor != g_NumEditField->digits + 1) Press(kKeyCal);
    EXPECT_EQ(g_NumEditBuffer.prefix, 4);
    Press(kKeyUp);
    EXPECT_EQ(g_NumEditBuffer.prefix, 11);
    Press(kKeyUp);
    EXPECT_EQ(g_NumEditBuffer.prefix, 5);
    Press(kKeyUp);
    EXPECT_EQ(g_NumEditBuffer.prefix, 4);

    // "Voltage": a signed value; its first place goes from '9' up to '-'.
    BootHome();
    ChooseCalibration(0, 6);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    NumEditStepTo('9');
    Press(kKeyUp);
    EXPECT_EQ(g_NumEditBuffer.text[0], '-');
    Press(kKeyUp);
    EXPECT_EQ(g_NumEditBuffer.text[0], '.');
}

TEST(NumericEditor, ProcessCalibrationCapturesUnderAManualHold) {
    BootWithBoard();
    Rig_AdvanceMs(8000);
    uint32_t status = 0;
    CalPh_SetBufferSet(0, 8, &status);
    Cal_SetDriftControl(0, kDriftManual);
    g_SystemSettings.calUnlock = 0;
    Press(kKeyCal);
    Press(kKeyCal);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
    // A process calibration, chosen on the type page.
    for (int i = 0; i < 3 && g_ChosenMode != kCalModeProcess; ++i) {
        Press(kKeyUp);
        Press(kKeyEnter);
        if (Menu_TopScreen() != kScreenParamPage) break;
    }
    ASSERT_EQ(g_ChosenMode, kCalModeProcess);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "Press ENTER to Capture");
    // The reading settles while the editor tracks it.
    Rig_AdvanceMs(5000);
    // ENTER captures the value and holds the channel; the measurement screen comes back.
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(Menu_IsChannelHeld(0), 1u);
    EXPECT_EQ(Chan_GetMeasureFlag(0), 0) << "the held channel measures no compensated value";
    // The held channel's letter blinks on the lines that show it.
    std::string shown, hidden;
    for (int i = 0; i < 6; ++i) {
        Rig_AdvanceMs(250);
        std::string row = Rig_RowText(1);
        (row.rfind("A", 0) == 0 ? shown : hidden) = row;
    }
    EXPECT_FALSE(shown.empty());
    EXPECT_FALSE(hidden.empty());
    // CAL goes straight to the held position: the reference is entered, then the result.
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11).substr(0, 11), "A Point1 = ");
    NumEditType("7.000");
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    // Whatever the calibration gave, "Abort" ends the hold and the letters stand again.
    if (Menu_TopScreen() == kScreenSelectMode2) {
        Press(kKeyUp);
        Press(kKeyUp);
        Press(kKeyEnter);
    } else {
        Press(kKeyEnter);
    }
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Menu_IsChannelHeld(0), 0u);
    EXPECT_EQ(Chan_GetMeasureFlag(0), 1);
    Menu_EndChannelHoldIfActive();
}

namespace {
// The value's field as row 11 shows it.
std::string DrawnField() {
    std::string text;
    for (uint32_t i = 0; i < g_NumEditField->digits; ++i) text += Cell(11, g_NumEditValueColumn / 6 + i);
    return text;
}

// The first point of the meter's voltage input as ENTER recorded it; NaN before.
float RecordedPoint() {
    uint32_t status = 0;
    return MeterCal_GetPoint(0, &status);
}
}  // namespace

TEST(NumericEditor, TheFieldShowsTheValueThatEnterRecords) {
    uint32_t status = 0;
    // A second point typed after the first: the first becomes a '0', on the display too.
    BootHome();
    ChooseCalibration(0, 6);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    ASSERT_EQ(g_NumEditField->type, 6);
    NumEditType("12.3.4");
    EXPECT_EQ(DrawnField(), "1203.4");
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(RecordedPoint(), 1203.4f);

    // A new point under the cursor when ENTER is pressed: the newest point counts.
    EscapeKey();
    ChooseCalibration(0, 6);
    NumEditType("-1.255");
    Press(kKeyMenu);
    NumEditStepTo('.');
    MeterCal_SetPoint(0, NAN, &status);
    Press(kKeyEnter);
    EXPECT_FLOAT_EQ(RecordedPoint(), -102.5f);

    // Any key sequence: what the field shows is what ENTER records, or ENTER keeps the editor when
    // the field holds no number.
    uint32_t seed = 12345;
    for (int round = 0; round < 24; ++round) {
        EscapeKey();
        ChooseCalibration(0, 6);
        ASSERT_EQ(g_NumEditField->type, 6);
        std::string sequence;
        for (int k = 0; k < 30; ++k) {
            seed = seed * 1103515245u + 12345u;
            // Mostly digit steps, so that several points come about.
            uint32_t pick = (seed >> 16) % 6;
            static const uint8_t kKeys[6] = {kKeyUp, kKeyUp, kKeyUp, kKeyInfo, kKeyCal, kKeyMenu};
            sequence += "UUUICM"[pick];
            Press(kKeys[pick]);
        }
        // Away from the last place and back, as a user looks over the value before ENTER.
        Press(kKeyCal);
        Press(kKeyMenu);
        if (g_NumEditBuffer.cursor == kNumEditLeave) Press(kKeyMenu);
        std::string drawn = DrawnField();
        EXPECT_EQ(drawn, std::string(g_NumEditBuffer.text)) << sequence;
        float expected = 0.0f;
        bool number = Util_ParseDecimal(drawn.c_str(), &expected) != 0;
        MeterCal_SetPoint(0, NAN, &status);
        Press(kKeyEnter);
        if (number) {
            EXPECT_FLOAT_EQ(RecordedPoint(), expected) << sequence << " shows " << drawn;
        } else {
            EXPECT_TRUE(std::isnan(RecordedPoint())) << sequence << " shows " << drawn;
            EXPECT_EQ(Menu_TopScreen(), kScreenNumericEditor) << sequence;
            EXPECT_EQ(DrawnField(), std::string(g_NumEditBuffer.text)) << sequence;
        }
    }
}
