// The optical oxygen sensor on channel B through the rig: plugged on a factory store it measures
// with the LED mode the transmitter keeps for it, and the mode a user chooses by keys is what the
// sensor gets again after a restart.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "../ui/ui_support.h"
#include "core/keypad.h"
#include "core/link_transport.h"
#include "core/ui_ids.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "outputs/hold.h"
#include "plug_support.h"
#include "rig.h"
#include "sim/sim_inputs.h"
#include "ui/menu.h"

using namespace plug_test;

namespace {
// Channel B's LED mode in the store (0 "Off", 1 "On", 2 "Auto", the factory value).
constexpr uint32_t kStoreLedModeB = 383;
constexpr uint8_t kLedModeOn = 1;
constexpr uint8_t kLedModeAuto = 2;
// The sensor's own code of "On" in the "S510" command.
constexpr uint8_t kS510CodeOn = 7;

// The sensor reads 85 %air at 25 C.
void SetReading() {
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Panel_SetSimInput(1, kSimPrimaryKind9, 85.0f);
}

// True once the first big line shows the reading, at most that long from now.
bool ReadingShownWithin(uint32_t limitMs) {
    for (uint32_t t = 0; t <= limitMs; t += 100) {
        if (Rig_BigLineText(0) == "85.0") return true;
        Rig_AdvanceMs(100);
    }
    return false;
}

// Plugged and loaded as a new sensor; true when it measures within the limit from "Loading ChB
// Sensor Data" on.
bool PlugAndMeasure(const std::string& file, uint32_t limitMs) {
    SetReading();
    Plug(file, 9);
    return RunUntilState(kPlugLoadNew) && ReadingShownWithin(limitMs);
}

// A request to the board carried these bytes since the start.
bool SentToSensor(const std::vector<uint8_t>& bytes) {
    for (const RigFrame& f : Rig_SentFrames()) {
        if (std::search(f.bytes.begin(), f.bytes.end(), bytes.begin(), bytes.end()) != f.bytes.end()) return true;
    }
    return false;
}

// MENU, "Configure", "Measurement", "LED Mode": the page's row 12.
std::string OpenLedModePage() {
    ui_test::Press(kKeyMenu);
    EXPECT_TRUE(ui_test::Choose("Configure"));
    EXPECT_TRUE(ui_test::Choose("Measurement"));
    EXPECT_TRUE(ui_test::Choose("LED Mode"));
    return ui_test::Item();
}
}  // namespace

TEST(OpticalPlug, MeasuresAsDeliveredOnAFactoryStore) {
    for (const char* file : {"OPT_SelvoQ11_0.txt", "OPT_SelvoQ12_0.txt"}) {
        SCOPED_TRACE(file);
        BootOnChannelB();
        ASSERT_TRUE(PlugAndMeasure(file, 10000));
        EXPECT_EQ(Vdx_GetPlugState(), kPlugIdle);
        // The LED lights as the factory set it ("Auto"): no "LED off" line, the outputs follow.
        Rig_AdvanceMs(5000);
        EXPECT_EQ(Rig_BigLineText(0), "85.0");
        EXPECT_NE(Rig_RowText(11), "LED off, no measurement");
        EXPECT_EQ(g_OutputHold, 0u);
        EXPECT_EQ(Rig_StoreBytes()[kStoreLedModeB], kLedModeAuto);
        EXPECT_EQ(OpenLedModePage(), "LED = Auto");
    }
}

TEST(OpticalPlug, LedModeChosenByKeysIsKeptOverARestart) {
    BootOnChannelB();
    SetReading();
    Plug("OPT_SelvoQ11_0.txt", 9);
    ASSERT_TRUE(RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
    OpenLedModePage();
    for (int i = 0; i < 3 && ui_test::Item() != "LED = On"; ++i) ui_test::Press(kKeyUp);
    ASSERT_EQ(ui_test::Item(), "LED = On");
    ui_test::EnterAndSave();
    ASSERT_EQ(Rig_StoreBytes()[kStoreLedModeB], kLedModeOn);

    // A new start in the same folder; the panel hands the library the same sensor again, which
    // resumes with the stored settings.
    RestartInSameFolder();
    SetReading();
    Link_SelectSensorImage(1, "OPT_SelvoQ11_0.txt", 9);
    ASSERT_TRUE(RunUntilState(kPlugResume));
    ASSERT_TRUE(RunUntilState(kPlugIdle, 12000));
    EXPECT_TRUE(ReadingShownWithin(12000));
    EXPECT_EQ(Rig_StoreBytes()[kStoreLedModeB], kLedModeOn);
    EXPECT_EQ(g_SensorParams[1].optionWord, kLedModeOn);
    EXPECT_TRUE(SentToSensor({'S', '5', '1', '0', 0x00, kS510CodeOn}));
    EXPECT_EQ(g_OutputHold, 0u);
    EXPECT_EQ(OpenLedModePage(), "LED = On");
}
