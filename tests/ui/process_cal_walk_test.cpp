// Process calibrations by keys against the sensor board library, each from the capture of the
// reading to the lab's value entered later under the channel's hold, the result, "Save Adjust",
// the reading that follows and the program started again: conductivity at 25 C and at 40 C with a
// linear calibration compensation; CO2 of a digital sensor, whose point offers the captured
// reading in the unit shown.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../digital_sensor/plug_support.h"
#include "core/settings.h"
#include "digital_sensor/vdx.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/co2.h"
#include "measurement/cond_comp.h"
#include "measurement/conductivity.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"
#include "ui/select_screen.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
constexpr uint32_t kStoreCellConstantA = 832;

// Channel A with a two-electrode cell of 0.1 /cm at 1000 ohm (100 uS/cm) and its element at t,
// started on the store of the folder; the first start configures the kind as its page does.
void StartConductivity(const std::string& folder, float t, bool configure) {
    Rig_Reset(folder);
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(t));
    Panel_SetSimInput(0, kSimCondSignal, 1000.0f);
    Rig_Boot();
    if (configure) {
        Settings_CopyAll();
        Chan_ResetForSensorKind(0, kKindCond2);
        uint32_t status = 0;
        Settings_CommitAll(&status, 1);
        ASSERT_EQ(status, 0u);
    }
    Rig_AdvanceMs(8000);
    g_SystemSettings.calUnlock = 0;
}

// ENTER captures the reading: the channel is held and the measurement screen is back.
void CaptureAndHold(uint32_t channel) {
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
    ASSERT_EQ(Menu_IsChannelHeld(channel), 1u);
}

// CAL on the conductivity, its calibration compensation chosen by UP steps (the page then shows
// it on row 12), "Type = Process", and the reading captured.
void CaptureConductivity(int compensationSteps, const std::string& compensation) {
    Press(kKeyCal);
    ASSERT_EQ(Row(12), "Channel A Conductivity $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenCalCompensation);
    Step(compensationSteps);
    EXPECT_EQ(Row(12), compensation);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
    Press(kKeyUp);
    ASSERT_EQ(Row(12), "Type = Process         $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "Press ENTER to Capture");
    Rig_AdvanceMs(3000);
    CaptureAndHold(0);
}

// Later: CAL opens the held point on the captured reading; the lab's value is typed over it.
void EnterLabValue(const std::string& captured, const char* lab) {
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "A Point1 = " + captured + " µS/cm");
    NumEditType(lab);
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
}

// The first line as the measurement screen shows it (in mS/cm), and the value behind it in uS/cm.
void ExpectReading(const char* shown, float microSiemens) {
    EXPECT_EQ(Rig_BigLineText(0), shown);
    uint32_t status = 0;
    EXPECT_NEAR(Meas_GetSlotValue(0, &status) * 1e6f, microSiemens, 0.05f);
    EXPECT_EQ(status, 0u);
}

// "Save Adjust": the result in use and stored, the hold ended.
void SaveAdjust() {
    ASSERT_EQ(Row(12), "Save Adjust            $");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Calibration Successful");
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(Menu_IsChannelHeld(0), 0u);
}
}  // namespace

TEST(ProcessCalibrationWalk, ConductivityFromTheLabValueAt25C) {
    std::string folder = Rig_MakeTempFolder();
    StartConductivity(folder, 25.0f, true);
    // "Standard" compensation: at 25 C the lab's 120 uS/cm stands as it is.
    CaptureConductivity(0, "Standard               $");
    ExpectReading("0.10", 100.0f);
    EnterLabValue("100.0", "120.0");
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    // 1000 ohm are 120 uS/cm: a cell of 0.12 /cm.
    EXPECT_EQ(Row(11), "C M=0.12000 A=0.00000");
    SaveAdjust();
    EXPECT_NEAR(CalCond_GetCellConstant(0), 0.12f, 1e-6f);
    EXPECT_NEAR(Rig_StoredFloat(kStoreCellConstantA), 0.12f, 1e-6f);
    Rig_AdvanceMs(20000);
    ExpectReading("0.12", 120.0f);
    // Started again, the channel reads with the calibration it was given.
    StartConductivity(folder, 25.0f, false);
    EXPECT_NEAR(CalCond_GetCellConstant(0), 0.12f, 1e-6f);
    Rig_AdvanceMs(20000);
    ExpectReading("0.12", 120.0f);
}

TEST(ProcessCalibrationWalk, ConductivityAt40CWithALinearCompensation) {
    std::string folder = Rig_MakeTempFolder();
    StartConductivity(folder, 40.0f, true);
    // The line shows the conductivity at 25 C by the same 2 %/C.
    uint32_t status = 0;
    CalCond_SetTempCompMode(0, kCompModeLinear25, &status);
    ASSERT_EQ(status, 0u);
    Rig_AdvanceMs(20000);
    ExpectReading("0.08", 76.92f);
    // "Lin 25@C" with its 2 %/C for the calibration.
    CaptureConductivity(1, "Lin 25°C = 02.00 %/°C  $");
    // The sample was taken at 40 C; the process cools to 30 C before its value comes back.
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(30.0f));
    Rig_AdvanceMs(30000);
    EnterLabValue("76.92", "120.0");
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    // 120 uS/cm at 25 C are 156 uS/cm at 40 C, where the cell read 1000 ohm: 0.156 /cm.
    EXPECT_EQ(Row(11), "C M=0.15600 A=0.00000");
    EXPECT_NEAR(g_CalInUse[0].cond.pointCompensated[0], 1e6f / 156.0f, 0.5f);
    SaveAdjust();
    EXPECT_NEAR(Rig_StoredFloat(kStoreCellConstantA), 0.156f, 1e-5f);
    // At 40 C again the line shows the lab's value.
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(40.0f));
    Rig_AdvanceMs(30000);
    ExpectReading("0.12", 120.0f);
    StartConductivity(folder, 40.0f, false);
    Rig_AdvanceMs(20000);
    ExpectReading("0.12", 120.0f);
}

TEST(ProcessCalibrationWalk, ConductivityLabValueOfNothingIsNotDone) {
    StartConductivity(Rig_MakeTempFolder(), 25.0f, true);
    CaptureConductivity(0, "Standard               $");
    EnterLabValue("100.0", "000.0");
    EXPECT_EQ(Menu_TopScreen(), kScreenCalNotDone);
    EXPECT_EQ(Row(11), "Calibration Not Done");
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(Menu_IsChannelHeld(0), 0u);
    EXPECT_FLOAT_EQ(CalCond_GetCellConstant(0), 0.1f);
    ExpectReading("0.10", 100.0f);
}

namespace {
// A digital CO2 sensor on channel B at 25 C, its electrode at mv, measuring; started on the
// program's own sensor file.
void StartCo2(float mv) {
    plug_test::BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Panel_SetSimInput(1, kSimElectrodeVolts, mv);
    plug_test::Plug("CO2_SelvoC11_0.txt", 10);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(20000);
    g_SystemSettings.calUnlock = 0;
}

// CAL, "Type = Process", the unit stepped up that often, and the reading captured after a few
// seconds.
void CaptureCo2(int unitSteps, const std::string& field) {
    Press(kKeyCal);
    ASSERT_EQ(Row(12), "Channel B CO2          $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
    Step(2);
    ASSERT_EQ(Row(12), "Type = Process         $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    Step(unitSteps);
    Rig_AdvanceMs(3000);
    // The unit blinks; the value stands.
    std::string shown = "B    CO2 = " + field;
    EXPECT_EQ(Row(12).substr(0, shown.size()), shown);
    CaptureAndHold(1);
}
}  // namespace

TEST(ProcessCalibrationWalk, Co2PointOffersTheCapturedReading) {
    std::string folder;
    StartCo2(1.83f);
    folder = std::filesystem::path(Rig_StorePath()).parent_path().string();
    uint32_t status = 0;
    EXPECT_NEAR(Meas_GetSlotValue(0, &status), 14.45f, 0.005f);
    CaptureCo2(0, "14.5");
    // The process moves on while the sample is in the lab.
    Panel_SetSimInput(1, kSimElectrodeVolts, 10.0f);
    Rig_AdvanceMs(20000);
    EXPECT_EQ(Rig_BigLineText(0), "20.0");
    // The held point offers the reading captured, not the process value stored before.
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "B Point1 = 14.45 %CO2");
    EXPECT_EQ(Row(12), "B    CO2 = 14.5  %CO2");
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Row(12), "B    CO2 = 14.5  %CO2");
    // The lab found 15.00 %CO2: the zero moves so that the captured voltage reads it.
    NumEditType("15.00");
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(12), "Save Adjust            $");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Please wait...");
    for (int i = 0; i < 30 && Row(12) != "Calibration Successful"; ++i) Rig_AdvanceMs(1000);
    EXPECT_EQ(Row(12), "Calibration Successful");
    Rig_AdvanceMs(5000);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(Menu_IsChannelHeld(1), 0u);
    Panel_SetSimInput(1, kSimElectrodeVolts, 1.83f);
    Rig_AdvanceMs(20000);
    EXPECT_EQ(Rig_BigLineText(0), "15.0");
    // The calibration in use is the one the sensor holds, to its points' tenth of a millivolt.
    EXPECT_NEAR(Meas_GetSlotValue(0, &status), 15.0f, 0.05f);
    // Started again with the sensor as it was written, the channel reads the same.
    Rig_Reset(folder);
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Panel_SetSimInput(1, kSimElectrodeVolts, 1.83f);
    Rig_Boot();
    std::filesystem::current_path(folder);
    Link_SelectSensorImage(1, "CO2_SelvoC11_0.txt", 10);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 60000));
    Rig_AdvanceMs(20000);
    EXPECT_EQ(Rig_BigLineText(0), "15.0");
    EXPECT_NEAR(Meas_GetSlotValue(0, &status), 15.0f, 0.05f);
}

TEST(ProcessCalibrationWalk, Co2PointKeepsTheUnitItWasCapturedIn) {
    StartCo2(1.83f);
    // Captured in mbar of CO2.
    CaptureCo2(2, "139.9");
    Panel_SetSimInput(1, kSimElectrodeVolts, 10.0f);
    Rig_AdvanceMs(20000);
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "B Point1 = 139.9 mbar");
    EXPECT_EQ(Row(12), "B    CO2 = 139.9 mbar");
    // Another unit shows the same point in it.
    while (g_NumEditBuffer.cursor != g_NumEditField->digits + 1) Press(kKeyCal);
    Press(kKeyInfo);
    Press(kKeyInfo);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Row(12).substr(0, 21), "B    CO2 = 14.5  %CO2");
    Press(kKeyUp);
    Press(kKeyUp);
    // The lab's 150.0 mbar are taken as they are: no pH bound applies to them.
    NumEditType("150.0");
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_FLOAT_EQ(g_CalInUse[1].co2.processValue, 150.0f);
    EXPECT_FLOAT_EQ(g_CalInUse[1].co2.processPressure, 150.0f);
    // "Abort" leaves the stored calibration as it was and ends the hold.
    float zero = CalPh_GetCo2Zero(1);
    Step(2);
    EXPECT_EQ(Row(12), "Save Abort             $");
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Menu_IsChannelHeld(1), 0u);
    EXPECT_EQ(CalPh_GetCo2Zero(1), zero);
    Panel_SetSimInput(1, kSimElectrodeVolts, 1.83f);
    Rig_AdvanceMs(20000);
    uint32_t status = 0;
    EXPECT_NEAR(Meas_GetSlotValue(0, &status), 14.45f, 0.005f);
}

TEST(ProcessCalibrationWalk, Co2HeldPointLeftByItsMarkerEndsTheHold) {
    StartCo2(1.83f);
    CaptureCo2(0, "14.5");
    float zero = CalPh_GetCo2Zero(1);
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    for (int i = 0; i < 10 && g_NumEditBuffer.cursor != kNumEditLeave; ++i) Press(kKeyCal);
    ASSERT_EQ(g_NumEditBuffer.cursor, kNumEditLeave);
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(Menu_IsChannelHeld(1), 0u);
    EXPECT_EQ(CalPh_GetCo2Zero(1), zero);
}
