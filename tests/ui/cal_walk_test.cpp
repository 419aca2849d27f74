// Whole calibrations by keys against the sensor board library: pH in two recognised buffers with
// the step screens between the points, the result and its saving, the judging that follows; pH
// in one buffer twice (not done); conductivity in two solutions; oxygen after the countdown of
// its polarization voltage, with the outputs held meanwhile; a digital oxygen sensor calibrated
// in air by ENTER alone; the zero point of an oxygen sensor; the process calibration of an optical
// oxygen sensor, its reading captured and the lab's value entered later.
#include <gtest/gtest.h>

#include <string>

#include "../digital_sensor/plug_support.h"
#include "core/eeprom.h"
#include "core/settings.h"
#include "digital_sensor/sens_cmd.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/conductivity.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "settings/settings_sensor.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"
#include "ui/numedit.h"
#include "ui/select_screen.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// The electrode voltage of an electrode of this slope fraction with +3 mV, in a buffer at t.
float ElectrodeMv(float fraction, float ph, float t) { return 3.0f + fraction * (54.2f + 0.1984f * t) * (7.0f - ph); }

// Channel A configured for the kind (its dependent settings reset and committed, as its page
// does it), its element at 25 C and its primary input at value; the library's board answers.
void BootKind(uint8_t kind, uint32_t input, float value) {
    Rig_Reset(Rig_MakeTempFolder());
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(25.0f));
    Panel_SetSimInput(0, kSimGlassImpedance, 150.0f);
    Panel_SetSimInput(0, kSimRefImpedance, 20.0f);
    Panel_SetSimInput(0, input, value);
    Rig_Boot();
    if (kind != kKindPh) {
        Settings_CopyAll();
        Chan_ResetForSensorKind(0, kind);
        uint32_t status = 0;
        Settings_CommitAll(&status, 1);
        ASSERT_EQ(status, 0u);
    }
    Rig_AdvanceMs(8000);
    g_SystemSettings.calUnlock = 0;
}

// CAL, the channel's first measurement, ENTER.
void StartCalibration() {
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectCal);
    Press(kKeyCal);
    Press(kKeyEnter);
}

// Seconds until the numeric editor gives way (its stability window decides), at most limit.
uint32_t WaitWhileEditing(uint32_t limit) {
    uint32_t seconds = 0;
    while (Menu_TopScreen() == kScreenNumericEditor && seconds < limit) {
        Rig_AdvanceMs(1000);
        ++seconds;
    }
    return seconds;
}
}  // namespace

TEST(CalibrationWalk, PhInTwoBuffersThroughTheStepScreens) {
    BootKind(kKindPh, kSimElectrodeVolts, ElectrodeMv(0.88f, 4.0f, 25.0f));
    StartCalibration();
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
    EXPECT_EQ(Row(12), "Type = 2 point         $");
    Press(kKeyEnter);
    // The first step screen: into buffer 1; ENTER starts the point.
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    EXPECT_EQ(Row(11), "Press ENTER when");
    EXPECT_EQ(Row(12), "Sensor is in Buffer 1  $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "A Point1 = ----- pH");
    EXPECT_EQ(Row(12), "A     pH = 4.31  pH") << "read with the factory calibration";
    // The buffer is recognised; once the reading is stable the point is taken.
    uint32_t seconds = WaitWhileEditing(60);
    EXPECT_GE(seconds, 18u);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    EXPECT_EQ(Row(12), "Sensor is in Buffer 2  $");
    EXPECT_NEAR(g_CalInUse[0].ph.pointBuffer[0], 4.01f, 0.001f);
    // Into the second buffer.
    Panel_SetSimInput(0, kSimElectrodeVolts, ElectrodeMv(0.88f, 7.0f, 25.0f));
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11).substr(0, 11), "A Point2 = ");
    WaitWhileEditing(60);
    Rig_AdvanceMs(200);
    // The result: slope in percent, zero point in pH; "Adjust" saves it into use.
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(11), "pH S=88.3%    Z=7.057 pH");
    EXPECT_EQ(Row(12), "Save Adjust            $");
    uint32_t writes = Eeprom_FileWriteCount();
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Calibration Successful");
    EXPECT_NEAR(CalPh_GetSlopePercent(0), 88.3f, 0.1f);
    // Zero, slope and both buffers reach the store file in one write, which a kill cannot split.
    EXPECT_EQ(Eeprom_FileWriteCount() - writes, 1u);
    constexpr uint32_t kStoredSlopeA = 792;  // channel A's pH slope, a fraction
    EXPECT_NEAR(Rig_StoredFloat(kStoredSlopeA), 0.883f, 0.001f);
    // The saved slope is judged on the next second: below 90 % it warns.
    Rig_AdvanceMs(1100);
    EXPECT_EQ(Msg_IsActive(4), 1u);
    EXPECT_EQ(Msg_IsActive(8), 0u);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Row(11), "Re-install sensor");
}

TEST(CalibrationWalk, PhInOneBufferTwiceIsNotDone) {
    BootKind(kKindPh, kSimElectrodeVolts, ElectrodeMv(0.98f, 7.0f, 25.0f));
    float slope = CalPh_GetSlopePercent(0);
    StartCalibration();
    Press(kKeyEnter);
    Press(kKeyEnter);
    WaitWhileEditing(60);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    // The step screen's leave marker at the second point goes back to the first point.
    Press(kKeyCal);
    Press(kKeyEnter);
    EXPECT_EQ(g_CalPoint, 0);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    // Both points in the same buffer.
    WaitWhileEditing(60);
    Press(kKeyEnter);
    WaitWhileEditing(60);
    Rig_AdvanceMs(200);
    EXPECT_EQ(Menu_TopScreen(), kScreenCalNotDone);
    EXPECT_EQ(Row(11), "Calibration Not Done");
    EXPECT_EQ(CalPh_GetSlopePercent(0), slope) << "nothing is taken into use";
}

TEST(CalibrationWalk, ConductivityInTwoSolutions) {
    // A cell of 0.1 /cm: 1000 ohm read as 100 uS/cm.
    BootKind(kKindCond2, kSimCondSignal, 1000.0f);
    StartCalibration();
    ASSERT_EQ(Menu_TopScreen(), kScreenCalCompensation);
    // The compensation page leads on to the calibration type.
    Post(kActionCalTypePage);
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(12), "A      C = 100.0 µS/cm");
    // The point offers the reading; the first solution is 110 uS/cm, typed over it.
    EXPECT_EQ(Row(11), "A Point1 = 100.0 µS/cm");
    NumEditType("110.0");
    EXPECT_EQ(Row(11), "A Point1 = 110.0 µS/cm");
    Press(kKeyEnter);
    ASSERT_EQ(g_CalPoint, 1);
    // The second solution, 220 uS/cm, reads 200 once it has settled.
    Panel_SetSimInput(0, kSimCondSignal, 500.0f);
    Rig_AdvanceMs(40000);
    EXPECT_EQ(Row(12), "A      C = 200.0 µS/cm");
    NumEditType("220.0");
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(11).substr(0, 12), "C M=0.11000 ");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Calibration Successful");
    EXPECT_NEAR(CalCond_GetCellConstant(0), 0.11f, 0.0005f);
}

TEST(CalibrationWalk, OxygenAfterThePolarizationCountdown) {
    BootKind(kKindO2High, kSimSensorCurrent, -70.0f);
    // The sensor calibrates at another polarization voltage than it measures at.
    g_SensorSettings.calPolVoltage[0] = -500;
    g_SensorEdit.calPolVoltage[0] = -500;
    StartCalibration();
    EXPECT_EQ(Row(12), "Type = 1 point Slope   $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    Press(kKeyEnter);
    // Two minutes for the sensor to settle, the outputs held meanwhile.
    ASSERT_EQ(Menu_TopScreen(), kScreenHoldCountdown);
    EXPECT_EQ(Row(12), "Please wait...      120$");
    Rig_AdvanceMs(60000);
    EXPECT_EQ(Row(12), "Please wait...      060$");
    EXPECT_EQ(g_OutputHold, 1u);
    Rig_AdvanceMs(60000);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    EXPECT_EQ(Row(12), "Sensor is in Gas 1(Air)$");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(12), "A     O2=100.0 %air");
    // The reference is typed while the reading settles; the stable reading takes it.
    NumEditType("100.0");
    WaitWhileEditing(120);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(11), "O2 S=-70.00nA Z=0.0000nA");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Calibration Successful");
    // Back home the sensor settles at its measuring voltage again, for another two minutes of
    // held outputs.
    Key_Put(kKeyEscape);
    Rig_AdvanceMs(60000);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(g_OutputHold, 1u);
    Rig_AdvanceMs(62000);
    EXPECT_EQ(g_OutputHold, 0u);
}

TEST(CalibrationWalk, OxygenZeroPointTakesTheCurrentWithoutOxygen) {
    // In nitrogen the sensor still gives -0.5 nA.
    BootKind(kKindO2High, kSimSensorCurrent, -0.5f);
    StartCalibration();
    Press(kKeyCal);
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "Type = 1 point ZeroPt  $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    // The zero point's reference: no oxygen.
    EXPECT_EQ(Row(11), "A Point1=0.000 %air");
    Press(kKeyEnter);
    WaitWhileEditing(130);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    // The zero is the current measured, the slope stays.
    EXPECT_EQ(Row(11), "O2 S=-70.00nA Z=-0.500nA");
    EXPECT_NEAR(CalO2_GetZeroInUseMicro(0), 0.5f, 0.001f);
}

TEST(CalibrationWalk, DigitalOxygenSensorInAirByEnterAlone) {
    // A new SelvoD11 on channel B gives -70 nA at 25 C: 99.3 %air by its own slope.
    plug_test::BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Panel_SetSimInput(1, kSimSensorCurrent, -70.0f);
    plug_test::Plug("DO_SelvoD11_0.txt", 5);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(20000);
    const float own = CalO2_GetSlopeAtAir(1);
    ASSERT_NEAR(own, 70.4f, 0.05f);
    // Its slope point was last taken in mg/L: offered in %air, the point is the air's 100 %.
    g_CalInUse[1].o2.pointKind[0] = kO2PointMilligram;
    g_CalInUse[1].o2.pointRef[0] = 8.26f;

    Press(kKeyCal);
    EXPECT_EQ(Row(12), "Channel B Oxygen       $");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Type = 1 point Slope   $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenList);
    EXPECT_EQ(Row(12), "Sensor is in Gas 1(Air)$");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "B Point1=100.0 %air");
    EXPECT_EQ(Row(12), "B     O2=99.3  %air");
    // ENTER while the reading settles; the stable reading takes the point as shown.
    Press(kKeyEnter);
    WaitWhileEditing(130);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(11), "O2 S=-69.88nA Z=-0.120nA");
    EXPECT_NEAR(CalO2_GetSlopeInUseAtAir(1), own * 0.993f, 0.05f);
    EXPECT_EQ(Row(12), "Save Adjust            $");
    // Written into the sensor's data sets page by page.
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Please wait...");
    for (int i = 0; i < 60 && Menu_TopScreen() != kScreenReinstallCountdown; ++i) Rig_AdvanceMs(1000);
    EXPECT_EQ(Row(12), "Calibration Successful");
    Rig_AdvanceMs(4000);
    EXPECT_EQ(Row(11), "Re-install sensor");
    Press(kKeyEnter);
    Rig_AdvanceMs(20000);
    // Saved into the sensor, the slope reads the air as 100 %air; nothing is judged wrong.
    EXPECT_NEAR(CalO2_GetSlopeAtAir(1), own * 0.993f, 0.05f);
    uint32_t status = 0;
    EXPECT_NEAR(Meas_GetSlotValue(0, &status), 100.0f, 0.1f);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(g_MsgActiveCount, 0u);
    // The reference of the point is kept for the next calibration.
    EXPECT_EQ(g_CalInUse[1].o2.pointKind[0], kO2PointAirPercent);
    EXPECT_FLOAT_EQ(g_CalInUse[1].o2.pointRef[0], 100.0f);
}

TEST(CalibrationWalk, OpticalOxygenProcessCalibrationOffersTheReadingInItsUnit) {
    // A SelvoQ11 on channel B reads 85 %air; its LED switched from "Auto" to "On" by keys.
    plug_test::BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Panel_SetSimInput(1, kSimPrimaryKind9, 85.0f);
    plug_test::Plug("OPT_SelvoQ11_0.txt", 9);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(8000);
    g_SystemSettings.calUnlock = 0;
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Measurement"));
    ASSERT_TRUE(Choose("LED Mode"));
    Press(kKeyInfo);
    ASSERT_EQ(Item(), "LED = On");
    Press(kKeyEnter);
    Press(kKeyEnter);
    Rig_AdvanceMs(8000);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);

    // CAL: a process calibration, its mode and its pressure as they stand.
    Press(kKeyCal);
    EXPECT_EQ(Row(12), "Channel B O2 Opt       $");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Type = Process         $");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "ProcCal = Calibration  $");
    Press(kKeyEnter);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    // The point offers what the sensor reads, in the unit shown.
    EXPECT_EQ(Row(11), "B Point1=85.00 %air");
    EXPECT_EQ(Row(12), "B     O2=85.00");
    // ENTER captures the reading and holds the channel.
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
    ASSERT_EQ(Menu_IsChannelHeld(1), 1u);
    // Later the lab's value is entered over the captured reading, which the point offers.
    Panel_SetSimInput(1, kSimPrimaryKind9, 60.0f);
    Rig_AdvanceMs(3000);
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "B Point1=85.00 %air");
    NumEditType("90.00");
    Press(kKeyEnter);
    for (int i = 0; i < 10 && Menu_TopScreen() != kScreenSelectMode2; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(11).substr(0, 8), "O2 P100=");
    // The sensor is given the lab's value as the point's reference, in %air.
    EXPECT_FLOAT_EQ(g_SensorParams[1].p[kSensParamReference], 90.0f);
    EXPECT_EQ(g_SensorParams[1].unitCode, 0);
    // "Abort" ends the hold.
    Press(kKeyUp);
    Press(kKeyUp);
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Menu_IsChannelHeld(1), 0u);
}
