// The judging of a channel's calibration against its bands, by keys against the sensor board
// library: a digital sensor judged as it is plugged, on the factory units and with the slope shown
// in mV/pH and the zero in mV (chosen on the calibration units page); a pH calibration of channel
// A shown in those units and judged in percent and pH after it is saved.
#include <gtest/gtest.h>

#include <string>

#include "../digital_sensor/plug_support.h"
#include "measurement/ph.h"
#include "measurement/temperature.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// The slope messages (warnings 3 and 4, alarms 7 and 8 after the channel's base) and the zero's
// (5, 6, 9, 10) of the pH bands.
constexpr uint16_t kSlopeMessages[4] = {3, 4, 7, 8};
constexpr uint16_t kZeroMessages[4] = {5, 6, 9, 10};
constexpr uint16_t kSlopeLowAlarm = 8;
constexpr uint32_t kFlagSlope = 9;
constexpr uint32_t kFlagZero = 10;

bool Flag(uint32_t bit, uint32_t channel) { return (Alarm_GetFlags(channel) >> bit & 1u) != 0; }

// No slope or zero message of the channel stands, and neither of its two alarm flags.
void ExpectCalibrationInsideBands(uint32_t channel) {
    uint16_t base = static_cast<uint16_t>(channel << 9);
    for (uint16_t code : kSlopeMessages) EXPECT_FALSE(Msg_IsActive(base + code)) << base + code;
    for (uint16_t code : kZeroMessages) EXPECT_FALSE(Msg_IsActive(base + code)) << base + code;
    EXPECT_FALSE(Flag(kFlagSlope, channel));
    EXPECT_FALSE(Flag(kFlagZero, channel));
}

// MENU, Configure, Measurement, the pH item, on through its pages to the calibration units page:
// the slope in mV/pH and the zero in mV, saved.
void ShowSlopeInMvPerPhAndZeroInMv() {
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Measurement"));
    ASSERT_TRUE(Choose("pH"));
    for (int i = 0; i < 3; ++i) Press(kKeyEnter);
    ASSERT_EQ(Row(11), "Cal info slope = [%]");
    ASSERT_EQ(Item(), "Cal info offset = [pH]");
    Press(kKeyUp);
    Press(kKeyCal);
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Cal info slope = [mV/pH]");
    EXPECT_EQ(Item(), "Cal info offset = [mV]");
    EnterAndSave();
    ASSERT_EQ(CalPh_GetSlopeUnitFlag(0), 1);
    ASSERT_EQ(CalPh_GetOffsetUnitFlag(0), 1);
}

// The sensor from the program's own sensor files plugged on channel B at 25 C and taken over.
void PlugAndSettle(const char* file, uint8_t code) {
    plug_test::Plug(file, code);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(5000);
}

// The electrode voltage of a pH electrode of this slope fraction with +3 mV, in a buffer at t.
float ElectrodeMv(float fraction, float ph, float t) { return 3.0f + fraction * (54.2f + 0.1984f * t) * (7.0f - ph); }

// Channel A's pH electrode of this slope fraction in the 4.01 buffer at 25 C, its impedances inside
// their bands; the library's board answers.
void BootPhOnA(float fraction) {
    Rig_Reset(Rig_MakeTempFolder());
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(25.0f));
    Panel_SetSimInput(0, kSimGlassImpedance, 150.0f);
    Panel_SetSimInput(0, kSimRefImpedance, 20.0f);
    Panel_SetSimInput(0, kSimElectrodeVolts, ElectrodeMv(fraction, 4.01f, 25.0f));
    Rig_Boot();
    Rig_AdvanceMs(8000);
    g_SystemSettings.calUnlock = 0;
}

// CAL, channel A's pH, "2 point": the electrode in the 4.01 and then the 7.00 buffer, each point
// taken once its reading is stable; the result screen.
void CalibrateTwoPointsOnA(float fraction) {
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectCal);
    Press(kKeyCal);
    Press(kKeyEnter);
    ASSERT_EQ(Row(12), "Type = 2 point         $");
    Press(kKeyEnter);
    for (float ph : {4.01f, 7.0f}) {
        ASSERT_EQ(Menu_TopScreen(), kScreenList);
        Panel_SetSimInput(0, kSimElectrodeVolts, ElectrodeMv(fraction, ph, 25.0f));
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
        for (int i = 0; i < 60 && Menu_TopScreen() == kScreenNumericEditor; ++i) Rig_AdvanceMs(1000);
    }
    Rig_AdvanceMs(200);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
}
}  // namespace

TEST(CalibrationJudging, PluggedSensorsInsideTheirBandsRaiseNothingInEitherUnits) {
    {
        SCOPED_TRACE("SelvoC11 on a factory store: 57.92 mV/pH is 97.9 %, its zero point 6.86 pH");
        plug_test::BootOnChannelB();
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        PlugAndSettle("CO2_SelvoC11_0.txt", 10);
        ExpectCalibrationInsideBands(1);
    }
    struct Sensor {
        const char* file;
        uint8_t code;
    };
    for (const Sensor& s : {Sensor{"PH_SelvoP11_0.txt", 1}, Sensor{"CO2_SelvoC11_0.txt", 10}}) {
        SCOPED_TRACE(std::string(s.file) + " with the slope shown in mV/pH and the zero in mV");
        plug_test::BootOnChannelB();
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        ShowSlopeInMvPerPhAndZeroInMv();
        PlugAndSettle(s.file, s.code);
        ExpectCalibrationInsideBands(1);
    }
}

TEST(CalibrationJudging, ASavedPhCalibrationIsJudgedInPercentWhateverItsUnits) {
    {
        SCOPED_TRACE("an electrode at 100 %, 3 mV off: shown in mV/pH and mV, inside its bands");
        BootPhOnA(1.0f);
        ShowSlopeInMvPerPhAndZeroInMv();
        CalibrateTwoPointsOnA(1.0f);
        EXPECT_EQ(Row(11), "pH S=59.2mV/pH Z=3.000mV");
        Press(kKeyEnter);
        ASSERT_EQ(Row(12), "Calibration Successful");
        Rig_AdvanceMs(1100);
        ExpectCalibrationInsideBands(0);
    }
    {
        SCOPED_TRACE("an electrode at 70 %: its slope alarm, and flag 9");
        BootPhOnA(0.7f);
        ShowSlopeInMvPerPhAndZeroInMv();
        CalibrateTwoPointsOnA(0.7f);
        EXPECT_EQ(Row(11), "pH S=41.4mV/pH Z=3.000mV");
        Press(kKeyEnter);
        ASSERT_EQ(Row(12), "Calibration Successful");
        Rig_AdvanceMs(1100);
        EXPECT_TRUE(Msg_IsActive(kSlopeLowAlarm));
        EXPECT_TRUE(Flag(kFlagSlope, 0));
        for (uint16_t code : kZeroMessages) EXPECT_FALSE(Msg_IsActive(code)) << code;
        EXPECT_FALSE(Flag(kFlagZero, 0));
    }
}
