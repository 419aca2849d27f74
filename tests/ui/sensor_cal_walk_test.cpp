// Calibrations of digital sensors by keys at a process temperature, saved into the sensor: a pH
// sensor in two buffers at 50 C and in one, a CO2 sensor in two buffers at 40 C. The sensor gives
// the calibration back as it was found when it is plugged again and when the program starts again.
#include <gtest/gtest.h>

#include <string>

#include "../digital_sensor/plug_support.h"
#include "measurement/co2.h"
#include "measurement/ph.h"
#include "measurement/slots.h"
#include "outputs/messages.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// Channel B's four measurement lines.
const std::vector<std::pair<uint32_t, uint8_t>> kLinesOnB = {{1200, 1}, {1201, 1}, {1202, 1}, {1203, 1}};
// Channel B's slope messages: warnings above 102 % and below 90 %, alarms above 103 % and below
// 80 %.
constexpr uint16_t kSlopeMessagesB[4] = {kMsgChannelB + 3, kMsgChannelB + 4, kMsgChannelB + 7, kMsgChannelB + 8};

// The electrode voltage of an electrode of this slope fraction with +3 mV, in a buffer at t.
float ElectrodeMv(float fraction, float ph, float t) { return 3.0f + fraction * (54.2f + 0.1984f * t) * (7.0f - ph); }

struct Electrode {
    const char* file;
    uint8_t code;
    float fraction;
    float t;
    float buffers[2];  // the buffers' pH at t
};

void SetInputs(const Electrode& e, float ph) {
    Panel_SetSimInput(1, kSimTemperatureB, e.t);
    Panel_SetSimInput(1, kSimElectrodeVolts, ElectrodeMv(e.fraction, ph, e.t));
}

// The sensor plugged on channel B with channel B on the lines, its electrode in the first buffer.
void PlugInFirstBuffer(const Electrode& e) {
    plug_test::BootOnChannelB(kLinesOnB);
    SetInputs(e, e.buffers[0]);
    plug_test::Plug(e.file, e.code);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(20000);
    g_SystemSettings.calUnlock = 0;
}

// CAL, the channel's calibration, its type stepped to "2 point" or "1 point" (that many UP); in
// each buffer ENTER, and the point taken once the reading is stable; the result on row 11; "Save
// Adjust"; the sensor back in the process.
void CalibrateAndSave(const Electrode& e, const std::string& channelRow, uint32_t points, int typeSteps,
                      const std::string& result) {
    Press(kKeyCal);
    ASSERT_EQ(Row(12), channelRow);
    Press(kKeyEnter);
    Step(typeSteps);
    ASSERT_EQ(Row(12), points == 2 ? "Type = 2 point         $" : "Type = 1 point         $");
    Press(kKeyEnter);
    for (uint32_t i = 0; i < points; ++i) {
        ASSERT_EQ(Menu_TopScreen(), kScreenList);
        SetInputs(e, e.buffers[i]);
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
        for (int i = 0; i < 60 && Menu_TopScreen() == kScreenNumericEditor; ++i) Rig_AdvanceMs(1000);
    }
    Rig_AdvanceMs(200);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(11), result);
    ASSERT_EQ(Row(12), "Save Adjust            $");
    Press(kKeyEnter);
    for (int i = 0; i < 30 && Row(12) != "Calibration Successful"; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(Row(12), "Calibration Successful");
    // Back into the process, ENTER: the measurement screen.
    Rig_AdvanceMs(2000);
    ASSERT_EQ(Row(11), "Re-install sensor");
    Press(kKeyEnter);
    Rig_AdvanceMs(1000);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
}

// The program started again in its folder, the same sensor handed over by the panel and resumed.
void RestartWithTheSensor(const Electrode& e) {
    plug_test::RestartInSameFolder();
    SetInputs(e, e.buffers[0]);
    Link_SelectSensorImage(1, e.file, e.code);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugResume));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
}

void ExpectNoSlopeMessage() {
    for (uint16_t code : kSlopeMessagesB) EXPECT_FALSE(Msg_IsActive(code)) << code;
}

// The first line's value with the electrode in buffer i, once it has settled.
float SettledReading(const Electrode& e, uint32_t i = 0) {
    SetInputs(e, e.buffers[i]);
    Rig_AdvanceMs(20000);
    uint32_t status = 0;
    float value = Meas_GetSlotValue(0, &status);
    EXPECT_EQ(status, 0u);
    return value;
}
}  // namespace

TEST(SensorCalibrationWalk, PhAt50CIsGivenBackAfterAReplugAndARestart) {
    // Vandor-9 at 50 C: 4.06 and 6.97.
    const Electrode e{"PH_SelvoP11_0.txt", 1, 0.95f, 50.0f, {4.06f, 6.97f}};
    PlugInFirstBuffer(e);
    CalibrateAndSave(e, "Channel B pH           $", 2, 0, "pH S=95.0%    Z=7.053 pH");
    float slope = CalPh_GetSlopePercent(1);
    float zero = CalPh_GetZeroPointPh(1);
    ASSERT_NEAR(slope, 95.0f, 0.1f);
    EXPECT_NEAR(SettledReading(e), 4.06f, 0.005f);
    EXPECT_EQ(Rig_BigLineText(0), "4.06");
    ASSERT_TRUE(plug_test::Replug(e.file, e.code));
    EXPECT_NEAR(CalPh_GetSlopePercent(1), slope, 0.003f * slope);
    EXPECT_NEAR(CalPh_GetZeroPointPh(1), zero, 0.003f * zero);
    EXPECT_NEAR(SettledReading(e), 4.06f, 0.005f);
    EXPECT_EQ(Rig_BigLineText(0), "4.06");
    ExpectNoSlopeMessage();
    RestartWithTheSensor(e);
    EXPECT_NEAR(CalPh_GetSlopePercent(1), slope, 0.003f * slope);
    EXPECT_NEAR(CalPh_GetZeroPointPh(1), zero, 0.003f * zero);
    EXPECT_NEAR(SettledReading(e), 4.06f, 0.005f);
    EXPECT_EQ(Rig_BigLineText(0), "4.06");
    ExpectNoSlopeMessage();
}

TEST(SensorCalibrationWalk, Co2At40CIsGivenBackAfterAReplugAndARestart) {
    // An electrode of 56.00 mV/pH; Vandor-9 at 40 C: 6.97 and 9.06.
    const Electrode e{"CO2_SelvoC11_0.txt", 10, 56.0f / 59.16f, 40.0f, {6.97f, 9.06f}};
    PlugInFirstBuffer(e);
    CalibrateAndSave(e, "Channel B CO2          $", 2, 1, "pH S=94.7%    Z=7.054 pH");
    float slope = CalPh_GetCo2SlopeMv(1);
    float zero = CalPh_GetCo2Zero(1);
    ASSERT_NEAR(slope, 56.0f, 0.05f);
    // The CO2 value in the buffer further from pH 7, where it follows the slope the most.
    float reading = SettledReading(e, 1);
    ASSERT_TRUE(plug_test::Replug(e.file, e.code));
    EXPECT_NEAR(CalPh_GetCo2SlopeMv(1), slope, 0.003f * slope);
    EXPECT_NEAR(CalPh_GetCo2Zero(1), zero, 0.003f * zero);
    EXPECT_NEAR(SettledReading(e, 1), reading, 0.01f * reading);
    ExpectNoSlopeMessage();
    RestartWithTheSensor(e);
    EXPECT_NEAR(CalPh_GetCo2SlopeMv(1), slope, 0.003f * slope);
    EXPECT_NEAR(CalPh_GetCo2Zero(1), zero, 0.003f * zero);
    EXPECT_NEAR(SettledReading(e, 1), reading, 0.01f * reading);
    ExpectNoSlopeMessage();
}

TEST(SensorCalibrationWalk, PhOnePointAt50CKeepsItsZeroAfterAReplug) {
    // The sensor's own slope, 99.8 %, stays; the zero moves to the electrode's.
    const Electrode e{"PH_SelvoP11_0.txt", 1, 0.998f, 50.0f, {4.06f, 6.97f}};
    PlugInFirstBuffer(e);
    CalibrateAndSave(e, "Channel B pH           $", 1, -1, "pH S=99.8%    Z=7.051 pH");
    float slope = CalPh_GetSlopePercent(1);
    float zero = CalPh_GetZeroPointPh(1);
    EXPECT_NEAR(SettledReading(e), 4.06f, 0.005f);
    ASSERT_TRUE(plug_test::Replug(e.file, e.code));
    EXPECT_NEAR(CalPh_GetSlopePercent(1), slope, 0.003f * slope);
    EXPECT_NEAR(CalPh_GetZeroPointPh(1), zero, 0.003f * zero);
    EXPECT_NEAR(SettledReading(e), 4.06f, 0.005f);
    EXPECT_EQ(Rig_BigLineText(0), "4.06");
}
