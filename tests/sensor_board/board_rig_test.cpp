// The library's board behind the firmware in the virtual-time rig: what the board's own state
// changes in the firmware's traffic.
#include <gtest/gtest.h>

#include <vector>

#include "core/eeprom.h"
#include "core/link.h"
#include "rig.h"

namespace {
constexpr uint8_t kCmdMeasureA = 0x00;
constexpr uint8_t kCmdSetValue = 0x04;

std::vector<uint64_t> TimesOf(uint8_t command, uint64_t fromMs) {
    std::vector<uint64_t> times;
    for (const RigFrame& f : Rig_SentFrames()) {
        if (f.atMs >= fromMs && f.bytes.size() > 2 && f.bytes[2] == command) times.push_back(f.atMs);
    }
    return times;
}
}  // namespace

TEST(BoardInRig, OxygenOnChannelASettlesToOneMeasurementRequestEvery1100Ms) {
    Rig_Reset(Rig_MakeTempFolder());
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
