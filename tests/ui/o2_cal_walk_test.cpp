// Oxygen calibrations by keys to their end: the process calibration of an amperometric sensor on
// channel A and on a digital sensor of channel B (the current captured under a hold, the lab's
// value entered later as the point's reference), its abort; the optical sensor calibrated in air by
// ENTER alone; and the point's reference following the unit chosen for it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "../digital_sensor/plug_support.h"
#include "core/settings.h"
#include "core/util.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/oxygen.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "outputs/messages.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"
#include "ui/select_screen.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// The slope at air of a sensor giving 70 nA in air calibrated against a lab value of 90 %air.
constexpr float kSlopeAt90 = 70.0f / 0.9f;
constexpr uint32_t kStoredSlopeRefA = 624;  // channel A's slope point reference

// Channel A's inputs: an "O2 hi" sensor giving the current, its element at 25 C.
void SetInputsA(float current) {
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(25.0f));
    Panel_SetSimInput(0, kSimSensorCurrent, current);
}

// Channel A configured for "O2 hi" (its dependent settings reset and committed, as its page does
// it) in a new folder; the library's board answers.
void BootOxygenOnA(float current) {
    Rig_Reset(Rig_MakeTempFolder());
    SetInputsA(current);
    Rig_Boot();
    Settings_CopyAll();
    Chan_ResetForSensorKind(0, kKindO2High);
    uint32_t status = 0;
    Settings_CommitAll(&status, 1);
    ASSERT_EQ(status, 0u);
    Rig_AdvanceMs(8000);
    g_SystemSettings.calUnlock = 0;
}

// A sensor from the program's own sensor files plugged on channel B at 25 C, its input q at value,
// and left to settle.
void PlugOnB(const char* file, uint8_t code, uint32_t q, float value) {
    plug_test::BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Panel_SetSimInput(1, q, value);
    plug_test::Plug(file, code);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(20000);
    g_SystemSettings.calUnlock = 0;
}

// A SelvoQ11 on channel B reading 85 %air; its LED switched on by keys.
void PlugOpticalMeasuring() {
    PlugOnB("OPT_SelvoQ11_0.txt", 9, kSimPrimaryKind9, 85.0f);
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Measurement"));
    ASSERT_TRUE(Choose("LED Mode"));
    for (int i = 0; i < 3 && Item() != "LED = On"; ++i) Press(kKeyUp);
    ASSERT_EQ(Item(), "LED = On");
    Press(kKeyEnter);
    Press(kKeyEnter);
    Rig_AdvanceMs(8000);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
}

float Reading() {
    uint32_t status = 0;
    float value = Meas_GetSlotValue(0, &status);
    EXPECT_EQ(status, 0u);
    return value;
}

// CAL, the channel's oxygen calibration, its type stepped to "Process Slope", the pressure pages
// as they stand: the editor asks for the capture.
void OpenProcessCalibration(const std::string& channelRow) {
    Press(kKeyCal);
    ASSERT_EQ(Row(12), channelRow);
    if (channelRow.rfind("Channel A", 0) == 0) Press(kKeyCal);
    Press(kKeyEnter);
    ASSERT_EQ(Row(12), "Type = 1 point Slope   $");
    Press(kKeyUp);
    ASSERT_EQ(Row(12), "Type = Process Slope   $");
    Press(kKeyEnter);
    ASSERT_EQ(Row(12), "ProcCalPres= CalPres   $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
}

// ENTER captures the current and holds the channel; later CAL reopens the point, the lab's value
// is typed over the captured reading and ENTER calculates: the result screen.
void CaptureThenEnterLabValue(uint32_t channel, const char* labValue) {
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
    ASSERT_EQ(Menu_IsChannelHeld(channel), 1u);
    Rig_AdvanceMs(3000);
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    NumEditType(labValue);
    Press(kKeyEnter);
    for (int i = 0; i < 10 && Menu_TopScreen() != kScreenSelectMode2; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
}

// A save of channel B's sensor: page by page into the sensor, then the measurement screen (after
// the re-install countdown, which ENTER ends, when there is one).
void WaitForSensorSave() {
    EXPECT_EQ(Row(12), "Please wait...");
    for (int i = 0; i < 60 && g_SaveWaitBits != 0; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(g_SaveWaitBits, 0u);
    Rig_AdvanceMs(4000);
    if (Menu_TopScreen() == kScreenReinstallCountdown) {
        EXPECT_EQ(Row(11), "Re-install sensor");
        Press(kKeyEnter);
    }
    Rig_AdvanceMs(20000);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
}

// INFO, "VDX Diagnostics", "ChB Cal History": the two rows of each set in turn from "Fact" on.
std::vector<std::string> HistoryRows() {
    Press(kKeyInfo);
    std::vector<std::string> rows;
    if (!Choose("VDX Diagnostics") || !Choose("ChB Cal History")) return rows;
    for (int i = 0; i < 6; ++i) {
        rows.push_back(Row(11) + " | " + Row(12));
        Press(kKeyUp);
    }
    Post(kEventHome);
    return rows;
}

// The reference and its unit code in the last calibration data the transmitter sent the optical
// sensor (command S112); false when none was sent.
bool LastS112Reference(float* reference, uint8_t* unit) {
    bool found = false;
    for (const RigFrame& frame : Rig_SentFrames()) {
        const std::vector<uint8_t>& b = frame.bytes;
        for (size_t i = 0; i + 4 + 36 <= b.size(); ++i) {
            if (std::memcmp(&b[i], "S112", 4) != 0) continue;
            const uint8_t* payload = &b[i + 4];
            *reference = Util_GetFloatBE(payload + 31);
            *unit = payload[35];
            found = true;
        }
    }
    return found;
}
}  // namespace

TEST(OxygenCalibrationWalk, ProcessCalibrationOnATakesTheLabValueAsTheReference) {
    BootOxygenOnA(-70.0f);
    ASSERT_NEAR(CalO2_GetSlopeAtAir(0), 70.0f, 0.01f);
    OpenProcessCalibration("Channel A Oxygen       $");
    EXPECT_EQ(Row(11), "A Point1=100.0 %air");
    // "Abort" on the result keeps the calibration as it was and ends the hold.
    CaptureThenEnterLabValue(0, "90.00");
    EXPECT_EQ(Row(11), "O2 S=-77.78nA Z=0.0000nA");
    Press(kKeyUp);
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "Save Abort             $");
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Menu_IsChannelHeld(0), 0u);
    EXPECT_NEAR(CalO2_GetSlopeAtAir(0), 70.0f, 0.01f);
    EXPECT_NEAR(Reading(), 100.0f, 0.1f);

    // Again, now adjusted: the captured 70 nA are the lab's 90 %air. Under the hold the point
    // offers the captured reading, in the unit chosen for it.
    OpenProcessCalibration("Channel A Oxygen       $");
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "A Point1=100.0 %air");
    Step(3);
    EXPECT_EQ(Row(11), "A Point1=8.244 mg/L");
    Step(-3);
    EXPECT_EQ(Row(11), "A Point1=100.0 %air");
    NumEditType("90.00");
    Press(kKeyEnter);
    for (int i = 0; i < 10 && Menu_TopScreen() != kScreenSelectMode2; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(11), "O2 S=-77.78nA Z=0.0000nA");
    EXPECT_NEAR(CalO2_GetSlopeInUseAtAir(0), kSlopeAt90, kSlopeAt90 * 0.01f);
    EXPECT_EQ(Row(12), "Save Adjust            $");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Calibration Successful");
    Rig_AdvanceMs(25000);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(Menu_IsChannelHeld(0), 0u);
    EXPECT_NEAR(CalO2_GetSlopeAtAir(0), kSlopeAt90, kSlopeAt90 * 0.01f);
    EXPECT_NEAR(Reading(), 90.0f, 0.1f);
    EXPECT_EQ(g_MsgActiveCount, 0u) << "the slope is judged sound";
    EXPECT_FLOAT_EQ(Rig_StoredFloat(kStoredSlopeRefA), 90.0f);

    // The program started again keeps it.
    std::string folder = std::filesystem::path(Rig_StorePath()).parent_path().string();
    Rig_Reset(folder);
    SetInputsA(-70.0f);
    Rig_Boot();
    Rig_AdvanceMs(8000);
    EXPECT_NEAR(CalO2_GetSlopeAtAir(0), kSlopeAt90, kSlopeAt90 * 0.01f);
    EXPECT_NEAR(Reading(), 90.0f, 0.1f);
}

TEST(OxygenCalibrationWalk, ProcessCalibrationOnBIsWrittenIntoTheSensor) {
    PlugOnB("DO_SelvoD11_0.txt", 5, kSimSensorCurrent, -70.0f);
    ASSERT_NEAR(CalO2_GetSlopeAtAir(1), 70.4f, 0.05f);
    OpenProcessCalibration("Channel B Oxygen       $");
    EXPECT_EQ(Row(11), "B Point1=99.26 %air");
    CaptureThenEnterLabValue(1, "90.00");
    // At the calibration pressure as stored, 1013.0 mbar, which the pressure page left as it showed.
    EXPECT_EQ(Row(11), "O2 S=-77.64nA Z=-0.120nA");
    EXPECT_NEAR(CalO2_GetSlopeInUseAtAir(1), kSlopeAt90, kSlopeAt90 * 0.01f);
    EXPECT_EQ(Row(12), "Save Adjust            $");
    Press(kKeyEnter);
    WaitForSensorSave();
    EXPECT_EQ(Menu_IsChannelHeld(1), 0u);
    EXPECT_NEAR(CalO2_GetSlopeAtAir(1), kSlopeAt90, kSlopeAt90 * 0.01f);
    EXPECT_NEAR(Reading(), 90.0f, 0.1f);
    EXPECT_EQ(g_MsgActiveCount, 0u);
    // The sensor holds it as its calibration in use: plugged again, it reads the same.
    ASSERT_TRUE(plug_test::Replug("DO_SelvoD11_0.txt", 5));
    Rig_AdvanceMs(20000);
    EXPECT_NEAR(CalO2_GetSlopeAtAir(1), kSlopeAt90, kSlopeAt90 * 0.01f);
    EXPECT_NEAR(Reading(), 90.0f, 0.1f);
    std::vector<std::string> rows = HistoryRows();
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(rows[1], "Act  25/06/01 Z=-0.12nA |               S=-77.6nA");
}

TEST(OxygenCalibrationWalk, OpticalSensorInAirByEnterAlone) {
    PlugOpticalMeasuring();

    Press(kKeyCal);
    EXPECT_EQ(Row(12), "Channel B O2 Opt       $");
    Press(kKeyEnter);
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "Type = 1 point         $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    EXPECT_EQ(Row(12), "Sensor is in Gas 1(Air)$");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    // The point is the air's 100 %air, whatever the sensor reads before its calibration.
    EXPECT_EQ(Row(11), "B Point1=100.0 %air");
    EXPECT_EQ(Row(12), "B     O2=85.00 %air");
    Press(kKeyEnter);
    for (int i = 0; i < 700 && Menu_TopScreen() == kScreenNumericEditor; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(12), "Save Adjust            $");
    Press(kKeyEnter);
    WaitForSensorSave();
    // The sensor was told that it stood in 100 %air: it reads so from its calibration on.
    float reference = 0.0f;
    uint8_t unit = 255;
    ASSERT_TRUE(LastS112Reference(&reference, &unit));
    EXPECT_FLOAT_EQ(reference, 100.0f);
    EXPECT_EQ(unit, 0) << "%air";
}

TEST(OxygenCalibrationWalk, OpticalSensorsSecondPointIsWithoutOxygen) {
    PlugOpticalMeasuring();
    Press(kKeyCal);
    Press(kKeyEnter);
    Step(2);
    EXPECT_EQ(Row(12), "Type = 2 point         $");
    Press(kKeyEnter);
    // The question before the points keeps its answer; the pressure and humidity as they stand.
    EXPECT_EQ(Row(12), "change? No             $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "B Point1=100.0 %air");
    Press(kKeyEnter);
    for (int i = 0; i < 700 && Menu_TopScreen() == kScreenNumericEditor; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    Panel_SetSimInput(1, kSimPrimaryKind9, 3.0f);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "B Point2=0.000 %air");
}

TEST(OxygenCalibrationWalk, ThePointsReferenceFollowsTheUnitChosen) {
    BootOxygenOnA(-70.0f);
    Press(kKeyCal);
    Press(kKeyCal);
    Press(kKeyEnter);
    ASSERT_EQ(Row(12), "Type = 1 point Slope   $");
    Press(kKeyEnter);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "A Point1=100.0 %air");
    // Air in the units offered: percent of the humid gas, of saturation with pure oxygen, the
    // concentration of air-saturated water at 25 C; back to 100 %air.
    std::vector<std::string> shown;
    for (int i = 0; i < 4; ++i) {
        Press(kKeyUp);
        shown.push_back(Row(11));
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"A Point1=20.29 %O2G", "A Point1=20.95 %O2", "A Point1=8.244 mg/L",
                                               "A Point1=8.244 ppm"}));
    // In mg/L the stable reading is taken against what air is in mg/L: the slope of air.
    Press(kKeyInfo);
    EXPECT_EQ(Row(11), "A Point1=8.244 mg/L");
    Press(kKeyEnter);
    for (int i = 0; i < 130 && Menu_TopScreen() == kScreenNumericEditor; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(11), "O2 S=-70.00nA Z=0.0000nA");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Calibration Successful");
    EXPECT_EQ(g_CalInUse[0].o2.pointKind[0], kO2PointMilligram);
}
