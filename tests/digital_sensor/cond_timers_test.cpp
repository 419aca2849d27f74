// The sensor timers' alarms of channel B through the rig: a conductivity sensor, whose memory holds
// no lifetime, maintenance or calibration timer, raises none of them, at its take-over or after a
// restart; a pH sensor whose lifetime has run out still asks for a new sensor.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../ui/ui_support.h"
#include "core/keypad.h"
#include "core/link_transport.h"
#include "core/ui_ids.h"
#include "digital_sensor/vdx.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/messages.h"
#include "plug_support.h"
#include "rig.h"
#include "rig_sensor.h"
#include "sim/sim_inputs.h"
#include "ui/menu.h"

using namespace plug_test;

namespace {
// Channel B's "Change Sensor", "Maint Required" and "Cal Required", and their alarm flags.
constexpr uint16_t kTimerMessagesB[3] = {kMsgChannelB + kMsgChangeSensor, kMsgChannelB + 56, kMsgChannelB + 57};
constexpr uint32_t kTimerFlags = 7u << 19;
// The remaining lifetime, in hours, in a pH sensor's memory.
constexpr uint32_t kLifetimeLeftByte = 421;

// MENU, "Configure", "Analog Outputs": "Aout 1 Alarm = On" and "Aout 2 Alarm = On", then ENTER
// through the output pages and "Save Changes Yes & Exit".
void SwitchOutputAlarmsOn() {
    ui_test::Press(kKeyMenu);
    ASSERT_TRUE(ui_test::Choose("Configure"));
    ASSERT_TRUE(ui_test::Choose("Analog Outputs"));
    ui_test::Press(kKeyEnter);
    for (const char* output : {"1", "2"}) {
        for (int i = 0; i < 2 && ui_test::Row(11) != std::string("Aout ") + output + " Alarm = Off"; ++i)
            ui_test::Press(kKeyUp);
        ASSERT_EQ(ui_test::Row(11), std::string("Aout ") + output + " Alarm = Off");
        ui_test::Press(kKeyCal);
        ui_test::Press(kKeyUp);
        ASSERT_EQ(ui_test::Row(11), std::string("Aout ") + output + " Alarm = On");
        ui_test::Press(kKeyMenu);
    }
    ui_test::EnterAndSave();
    ASSERT_EQ(g_AoutSettings.alarmEnable[0], 1);
    ASSERT_EQ(g_AoutSettings.alarmEnable[1], 1);
}

void ExpectNoTimerAlarm() {
    for (uint16_t code : kTimerMessagesB) EXPECT_FALSE(MessageActive(code)) << code;
    EXPECT_EQ(Alarm_GetFlags(1) & kTimerFlags, 0u);
    for (uint32_t output = 0; output < kAoutCount; ++output) {
        EXPECT_LT(Aout_GetShownCurrent(output), 20.5f) << output;
        EXPECT_GT(Aout_GetShownCurrent(output), 3.9f) << output;
    }
}
}  // namespace

TEST(SensorTimerAlarms, ConductivitySensorCarriesNoTimerThatCouldExpire) {
    BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Panel_SetSimInput(1, kSimCondSignal, 1000.0f);
    Plug("COND_SelvoK11_0.txt", 4);
    ASSERT_TRUE(RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(3000);
    SCOPED_TRACE("taken over");
    ExpectNoTimerAlarm();
    SwitchOutputAlarmsOn();
    Rig_AdvanceMs(5000);
    ExpectNoTimerAlarm();

    // A new start in the same folder with the same sensor: it resumes, and still nothing expires.
    RestartInSameFolder();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Panel_SetSimInput(1, kSimCondSignal, 1000.0f);
    Link_SelectSensorImage(1, "COND_SelvoK11_0.txt", 4);
    ASSERT_TRUE(RunUntilState(kPlugResume));
    ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(5000);
    SCOPED_TRACE("after a restart");
    ASSERT_EQ(g_AoutSettings.alarmEnable[0], 1);
    ExpectNoTimerAlarm();
}

TEST(SensorTimerAlarms, PhSensorWhoseLifetimeRanOutAsksForANewOne) {
    BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    std::vector<uint8_t> image = RigSensor_BuildImage(RigSensorIdentity{});
    image[kLifetimeLeftByte] = 0;
    image[kLifetimeLeftByte + 1] = 0;
    RigSensor_FixChecksums(image);
    Rig_PlugSensorImage(RigSensor_ToSensorMemory(image), 1);
    ASSERT_TRUE(RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(3000);
    EXPECT_TRUE(MessageActive(kTimerMessagesB[0]));
    EXPECT_EQ(Alarm_GetFlags(1) >> 19 & 1u, 1u);
    // Its other timers are left: they ask for nothing.
    EXPECT_FALSE(MessageActive(kTimerMessagesB[1]));
    EXPECT_FALSE(MessageActive(kTimerMessagesB[2]));
}
