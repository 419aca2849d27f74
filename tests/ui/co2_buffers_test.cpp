// The buffer set of a CO2 channel through the keys: the CO2 electrode recognises its buffers in
// "Vandor-9" and "None" only, and its page offers nothing else, not even a set chosen for the pH
// electrode the channel had before.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../digital_sensor/plug_support.h"
#include "measurement/channel.h"
#include "sim/sim_inputs.h"
#include "ui/param_page.h"
#include "ui/param_pages_table.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// Channel B's buffer set in the store.
constexpr uint32_t kStoreBufferSetB = 809;
constexpr uint8_t kSetNone = 8;

// MENU, "Configure", "Measurement" and the compensation item of the channel's kind, then CAL to
// the buffer set.
void OpenBufferSet(const char* item) {
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Measurement"));
    ASSERT_TRUE(Choose(item));
    Press(kKeyCal);
    ASSERT_EQ(g_PageEdit.field, 3);
}

const std::vector<std::string> kCo2Sets = {"pH Buffer= Vandor-9", "pH Buffer= None", "pH Buffer= Vandor-9",
                                           "pH Buffer= None"};
}  // namespace

TEST(Co2BufferSets, ASetChosenForThePhElectrodeIsNotKeptWhenTheChannelBecomesCo2) {
    plug_test::BootOnChannelB();
    // Channel B measures pH: "NIST Std" chosen...
    OpenBufferSet("pH");
    ASSERT_EQ(g_PageEdit.page, kParamPagePhBuffers);
    Step(3);
    ASSERT_EQ(Item(), "pH Buffer= NIST Std");
    Press(kKeyMenu);
    Press(kKeyMenu);
    Press(kKeyEnter);
    // ... and in the same visit the channel set up for CO2.
    ASSERT_TRUE(Choose("Channel Setup"));
    Press(kKeyCal);
    for (int i = 0; i < 10 && Item() != "Parameter = CO2"; ++i) Press(kKeyUp);
    ASSERT_EQ(Item(), "Parameter = CO2");
    EnterAndSave();
    ASSERT_EQ(g_ChannelKind[1], kKindCo2);
    EXPECT_EQ(Rig_StoreBytes()[kStoreBufferSetB], 0);

    // The CO2 page offers its two sets only, in both directions.
    OpenBufferSet("CO2");
    ASSERT_EQ(g_PageEdit.page, kParamPageCo2Buffers);
    EXPECT_EQ(Walk(kKeyUp, 3), kCo2Sets);
    EXPECT_EQ(Walk(kKeyInfo, 3), (std::vector<std::string>{kCo2Sets[1], kCo2Sets[0], kCo2Sets[1], kCo2Sets[0]}));
}

TEST(Co2BufferSets, NoneChosenOnACo2SensorIsKeptOverARestart) {
    plug_test::BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    plug_test::Plug("CO2_SelvoC11_0.txt", 10);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    OpenBufferSet("CO2");
    EXPECT_EQ(Walk(kKeyUp, 3), kCo2Sets);
    ASSERT_EQ(Item(), "pH Buffer= None");
    EnterAndSave();
    EXPECT_EQ(Rig_StoreBytes()[kStoreBufferSetB], kSetNone);

    plug_test::RestartInSameFolder();
    Link_SelectSensorImage(1, "CO2_SelvoC11_0.txt", 10);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugResume));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    OpenBufferSet("CO2");
    EXPECT_EQ(Item(), "pH Buffer= None");
}
