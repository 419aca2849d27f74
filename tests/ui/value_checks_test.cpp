// What pages show and refuse, by keys: a zero in mV shown without a sign on the calibration
// result, the sensor's calibration data sets and the channel's calibration values; the manual
// temperature of a calibration held to the range a measured one has; and a wrong service code,
// password or access code refused on the leave marker too.
#include <gtest/gtest.h>

#include <string>

#include "../digital_sensor/plug_support.h"
#include "measurement/ph.h"
#include "measurement/temperature.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"
#include "ui/value_page.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
void ToLeave() {
    for (int i = 0; i < 20 && g_ValuePageCursor != kCursorLeave; ++i) Press(kKeyCal);
    ASSERT_EQ(g_ValuePageCursor, kCursorLeave);
}

// The electrode of channel B's pH sensor: 99 % of the ideal slope at 25 C, offset by mV.
float ElectrodeMv(float ph, float offset) { return offset + 0.99f * (54.2f + 0.1984f * 25.0f) * (7.0f - ph); }

// Seconds until the numeric editor gives way (its stability window decides), at most a minute.
void WaitWhileEditing() {
    for (int i = 0; i < 60 && Menu_TopScreen() == kScreenNumericEditor; ++i) Rig_AdvanceMs(1000);
    Rig_AdvanceMs(200);
}

bool SignedZero(const std::string& row) { return row.find("-0.0") != std::string::npos; }
}  // namespace

TEST(ValueChecks, AZeroInMillivoltsIsShownWithoutASign) {
    // Channel B's pH sensor calibrated in two buffers by an electrode 0.004 mV below its ideal: the
    // offset in mV comes out a few thousandths below zero.
    plug_test::BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Panel_SetSimInput(1, kSimElectrodeVolts, ElectrodeMv(4.0f, -0.004f));
    plug_test::Plug("PH_SelvoP11_0.txt", 1);
    for (int i = 0; i < 30; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(g_SensorKindActive[1], kKindPh);
    // The offset is shown in mV.
    uint32_t status = 0;
    CalPh_SetOffsetUnitFlag(0, 1, &status);
    g_SystemSettings.calUnlock = 0;
    Press(kKeyCal);
    ASSERT_EQ(Row(12), "Channel B pH           $");
    Press(kKeyCal);
    Press(kKeyEnter);
    ASSERT_EQ(Row(12), "Type = 2 point         $");
    Press(kKeyEnter);
    ASSERT_EQ(Row(12), "Sensor is in Buffer 1  $");
    Press(kKeyEnter);
    WaitWhileEditing();
    ASSERT_EQ(Row(12), "Sensor is in Buffer 2  $");
    Panel_SetSimInput(1, kSimElectrodeVolts, ElectrodeMv(7.0f, -0.004f));
    Press(kKeyEnter);
    WaitWhileEditing();
    // The calibration result.
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2);
    EXPECT_EQ(Row(11), "pH S=99.3%    Z=0.000 mV");
    Press(kKeyEnter);
    for (int i = 0; i < 20 && Menu_TopScreen() != kScreenHome; ++i) {
        Rig_AdvanceMs(1000);
        if (Menu_TopScreen() == kScreenReinstallCountdown) Press(kKeyEnter);
    }
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);

    // The sensor's data sets (INFO, "VDX Diagnostics", "ChB Cal History"): the factory set's zero
    // (7.02 pH at 59.05 mV/pH, 1.181 mV about the isothermal point 7.000) and the new calibration's
    // offset as the sensor holds it (its points to a tenth of a millivolt and a thousandth of a pH).
    Press(kKeyInfo);
    ASSERT_TRUE(Choose("VDX Diagnostics"));
    ASSERT_TRUE(Choose("ChB Cal History"));
    for (const char* zero : {"Z=1.181mV", "Z=0.012mV"}) {
        EXPECT_EQ(Row(12).substr(12), zero) << Row(11);
        EXPECT_FALSE(SignedZero(Row(12))) << Row(11);
        Press(kKeyUp);
    }
    Post(kEventHome);
    // The channel's calibration values (INFO, "Calibration Data"): the sensor's.
    Press(kKeyInfo);
    ASSERT_TRUE(Choose("Calibration Data"));
    EXPECT_EQ(Row(11), "BP S=99.33%   Z=0.012mV");
    Post(kEventHome);
}

TEST(ValueChecks, TheManualTemperatureOfACalibrationIsHeldToTheMeasuredRange) {
    // Channel A's pH with the manual temperature as its source: a calibration asks for the
    // temperature it uses.
    BootHome();
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Measurement"));
    ASSERT_TRUE(Choose("Temperature Source"));
    Step(-1);
    ASSERT_EQ(Row(12), "A:Fixed = 25.00 °C     $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    ASSERT_EQ(Temp_GetSourceMode(0), kTempSourceManual);
    g_SystemSettings.calUnlock = 0;
    for (const char* refused : {"999.0", "200.1", "-40.1"}) {
        SCOPED_TRACE(refused);
        Press(kKeyCal);
        Press(kKeyCal);
        Press(kKeyEnter);
        ASSERT_EQ(Row(12), "Type = 2 point         $");
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
        EXPECT_EQ(Row(12), "Fixed = 25.00 °C       $");
        ValuePageType(refused);
        Press(kKeyEnter);
        EXPECT_EQ(Row(11), "Invalid Value");
        EXPECT_EQ(Row(12), "Press ENTER to Continue$");
        EXPECT_FLOAT_EQ(Temp_GetCurrentValue(), 25.0f) << "nothing is taken";
        // ENTER: the page again, the temperature as it was; the leave marker refuses it too.
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
        EXPECT_EQ(Row(12), "Fixed = 25.00 °C       $");
        Press(kKeyCal);
        ValuePageType(refused);
        ToLeave();
        Press(kKeyEnter);
        EXPECT_EQ(Row(11), "Invalid Value");
        EXPECT_FLOAT_EQ(Temp_GetCurrentValue(), 25.0f);
        Post(kEventHome);
    }
    // The ends of the range are taken: the calibration goes on with the temperature.
    Press(kKeyCal);
    Press(kKeyCal);
    Press(kKeyEnter);
    Press(kKeyEnter);
    ValuePageType("200.0");
    Press(kKeyEnter);
    EXPECT_NE(Row(11), "Invalid Value");
    EXPECT_FLOAT_EQ(Temp_GetCurrentValue(), 200.0f);
}

TEST(ValueChecks, AWrongServiceCodeIsRefusedOnTheLeaveMarkerToo) {
    BootHome();
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Service"));
    ASSERT_TRUE(Choose("Tech Service"));
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(12), "Enter Password 00000   $");
    // A wrong code confirmed on the leave marker: "Invalid Password", as in the field.
    ValuePageType("12345");
    ToLeave();
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");
    EXPECT_EQ(Row(12), "Press ENTER to Continue$");
    // ENTER: the page again with no code; the leave marker now leaves without a word.
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(12), "Enter Password 00000   $");
    EXPECT_EQ(g_ValuePageCursor, kCursorLeave);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    EXPECT_NE(Row(11), "Invalid Password");
    // The right code on the leave marker leaves too, without the technician's pages; in the field
    // it opens them.
    ASSERT_TRUE(Choose("Tech Service"));
    ValuePageType("49263");
    ToLeave();
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    EXPECT_NE(Row(11), "Service Technician");
    ASSERT_TRUE(Choose("Tech Service"));
    ValuePageType("49263");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Service Technician");
}

TEST(ValueChecks, AWrongPasswordOrAccessCodeIsRefusedOnTheLeaveMarkerToo) {
    // System, "Passwords": a wrong code confirmed on the leave marker is refused as in the field;
    // the page left as it opened, or with the administrator's code, leaves without a word.
    BootHome();
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("System"));
    ASSERT_TRUE(Choose("Passwords"));
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(11), "Enter Password 00000");
    ValuePageType("11111");
    ToLeave();
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    ToLeave();
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    EXPECT_NE(Row(11), "Invalid Password");
    ASSERT_TRUE(Choose("Passwords"));
    ValuePageType("31752");
    ToLeave();
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu) << "the right code on the leave marker leaves";

    // The access code a locked section asks for: a wrong one is refused on the leave marker, the
    // operator's leaves without opening the section.
    BootHome();
    g_SystemSettings.lockout = kLockoutOn;
    g_SystemSettings.accessCode[1] = 22222;
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(12), "Enter Password 00000   $");
    ValuePageType("22223");
    ToLeave();
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Invalid Password");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(12), "Enter Password 00000   $") << "the page again with no code";
    Press(kKeyCal);
    ValuePageType("22222");
    ToLeave();
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    EXPECT_NE(Row(11), "Invalid Password");
    EXPECT_NE(Row(11), "Configure") << "the leave marker opens nothing";
}
