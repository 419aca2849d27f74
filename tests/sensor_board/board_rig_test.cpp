// The library's board behind the firmware in the virtual-time rig: what the board's own state
// changes in the firmware's traffic.
#include <gtest/gtest.h>

#include <vector>

#include "core/eeprom.h"
#include "core/link.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/channel.h"
#include "panel/inputs.h"
#include "rig.h"

namespace {
constexpr uint8_t kCmdMeasureA = 0x00;
constexpr uint8_t kCmdSetValue = 0x04;
constexpr uint8_t kCmdSensorStatus = 0x05;
constexpr uint8_t kCmdReadBlock = 0x06;
constexpr uint8_t kCmdSensorCommand = 0x09;

// Channel B measured, its sensor chosen on the panel from the program's resources.
void BootWithChannelB(uint32_t modelIndex) {
    Rig_Reset(Rig_MakeTempFolder());
    SetSFXFlag(1);
    Rig_Boot();
    // The start-up ends on the measurement screen (the rig's clock is set), which puts channel A
    // on measurement as it is drawn: channel B is asked for after that.
    Rig_AdvanceMs(20);
    Panel_ApplySensorChoice(1, modelIndex);
    Link_SetMeasureMode(1, 1);
}

// The replies the firmware fetched for requests of this command.
std::vector<std::vector<uint8_t>> RepliesTo(uint8_t command) {
    std::vector<std::vector<uint8_t>> replies;
    for (const RigFrame& f : Rig_ReceivedFrames()) {
        if (f.bytes.size() > 4 && f.bytes[2] == command) replies.push_back(f.bytes);
    }
    return replies;
}

std::vector<uint64_t> TimesOf(uint8_t command, uint64_t fromMs) {
    std::vector<uint64_t> times;
    for (const RigFrame& f : Rig_SentFrames()) {
        if (f.atMs >= fromMs && f.bytes.size() > 2 && f.bytes[2] == command) times.push_back(f.atMs);
    }
    return times;
}
}  // namespace

TEST(BoardInRig, OxygenOnChannelASettlesToOneMeasurementRequestEvery1100Ms) {
    // A store with its factory settings (a first start writes them), then channel A's kind.
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_Boot();
    Rig_Reset(folder);
    Eeprom_Open();
    const uint8_t kinds[2] = {5, 1};
    uint32_t status = 0;
    Eeprom_Write(kStoreChannelKinds, kinds, 2, &status);
    ASSERT_EQ(status, 0u);
    Rig_Boot();
    Rig_AdvanceMs(30000);
    uint64_t from = Rig_NowMs();
    Rig_AdvanceMs(22000);
    // The board echoes the polarization voltage it was given, so the firmware asks for it once
    // and then only measures.
    EXPECT_TRUE(TimesOf(kCmdSetValue, from).empty());
    std::vector<uint64_t> polls = TimesOf(kCmdMeasureA, from);
    ASSERT_GE(polls.size(), 19u);
    for (size_t i = 1; i < polls.size(); ++i) EXPECT_EQ(polls[i] - polls[i - 1], 1100u) << i;
    EXPECT_FALSE(TimesOf(kCmdSetValue, 0).empty());
    EXPECT_FLOAT_EQ(g_LinkPolVoltage, -674.0f);
}

TEST(BoardInRig, ChoosingAModelOnThePanelLoadsItsImage) {
    // "SelvoK11", the conductivity sensor: the firmware reads its pages and finds model 4195.
    BootWithChannelB(3);
    Rig_AdvanceMs(20000);
    std::vector<std::vector<uint8_t>> status = RepliesTo(kCmdSensorStatus);
    ASSERT_FALSE(status.empty());
    EXPECT_EQ(status.back()[4], 126);
    uint32_t model =
        (g_SensorMemImage[0][2] | g_SensorMemImage[0][3] << 8 | g_SensorMemImage[0][4] << 16) >> 6 & 0x7FFF;
    EXPECT_EQ(model, 4195u);
    // The first three page reads after the load are refused unless the status request came
    // first; here it did, so every page read succeeded.
    for (const std::vector<uint8_t>& reply : RepliesTo(kCmdReadBlock)) EXPECT_EQ(reply[3], 0);
    EXPECT_EQ(RepliesTo(kCmdReadBlock).size(), 16u);
}

TEST(BoardInRig, AnEmptiedListLeavesNoImageAndTheFirmwareTriesTheCommandProtocol) {
    BootWithChannelB(kNoSensorIndex);
    Rig_AdvanceMs(20000);
    std::vector<std::vector<uint8_t>> status = RepliesTo(kCmdSensorStatus);
    ASSERT_FALSE(status.empty());
    for (const std::vector<uint8_t>& reply : status) EXPECT_EQ(reply[4], 0);
    EXPECT_TRUE(RepliesTo(kCmdReadBlock).empty());
    EXPECT_FALSE(TimesOf(kCmdSensorCommand, 0).empty());
}
