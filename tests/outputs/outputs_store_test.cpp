// The settings of the messages, alarm, output and relay modules in the settings store: a fresh
// store's factory values at their offsets (little-endian), and a store with bytes out of range
// loading each as its default without anything being rewritten.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "core/settings.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/messages.h"
#include "outputs/relays.h"
#include "rig.h"

namespace {
float FloatAt(const std::vector<uint8_t>& bytes, uint32_t offset) {
    float value;
    std::memcpy(&value, &bytes[offset], 4);
    return value;
}

std::vector<uint8_t> LittleEndian(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits >> 16),
            static_cast<uint8_t>(bits >> 24)};
}

std::vector<uint8_t> Slice(const std::vector<uint8_t>& bytes, uint32_t offset, uint32_t n) {
    return std::vector<uint8_t>(bytes.begin() + offset, bytes.begin() + offset + n);
}

void Boot(const std::string& folder) {
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(3000);
}
}  // namespace

TEST(OutputsStore, AFreshStoreHoldsEveryFactoryValue) {
    Boot(Rig_MakeTempFolder());
    std::vector<uint8_t> b = Rig_StoreBytes();
    ASSERT_EQ(b.size(), 4096u);
    EXPECT_EQ(b[2], '2');
    EXPECT_EQ(b[3], 'w');
    EXPECT_EQ(b[6], 'K');
    EXPECT_EQ(b[7], '2');
    // Relays: sense, delay (10 s and 1 s), hold behaviour.
    EXPECT_EQ(Slice(b, 1024, 2), (std::vector<uint8_t>{0, 1}));
    EXPECT_EQ(Slice(b, 1026, 4), (std::vector<uint8_t>{0x00, 0x00, 0x20, 0x41}));
    EXPECT_EQ(Slice(b, 1030, 4), (std::vector<uint8_t>{0x00, 0x00, 0x80, 0x3F}));
    EXPECT_EQ(Slice(b, 1294, 2), (std::vector<uint8_t>{1, 1}));
    // Outputs: alarm level, alarm enable, the range ends, hold mode and value, damping.
    EXPECT_EQ(Slice(b, 1140, 2), (std::vector<uint8_t>{1, 1}));
    EXPECT_EQ(Slice(b, 1034, 2), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(Slice(b, 1146, 4), (std::vector<uint8_t>{0x00, 0x00, 0x00, 0x40}));
    EXPECT_EQ(FloatAt(b, 1150), 0.0f);
    EXPECT_EQ(Slice(b, 1154, 4), (std::vector<uint8_t>{0x00, 0x00, 0x40, 0x41}));
    EXPECT_EQ(Slice(b, 1158, 4), (std::vector<uint8_t>{0x00, 0x00, 0xC8, 0x42}));
    EXPECT_EQ(Slice(b, 1180, 2), (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(FloatAt(b, 1182), 4.0f);
    EXPECT_EQ(FloatAt(b, 1186), 4.0f);
    EXPECT_EQ(b[218], 1);
    // Calibration in use, its points and the factory copy.
    EXPECT_EQ(Slice(b, 1472, 4), LittleEndian(0.0451648f));
    EXPECT_EQ(Slice(b, 1476, 4), LittleEndian(0.0394599f));
    EXPECT_EQ(Slice(b, 1480, 4), LittleEndian(-0.1346806f));
    EXPECT_EQ(Slice(b, 1484, 4), LittleEndian(0.000848688f));
    EXPECT_EQ(FloatAt(b, 1488), 339.0f);
    EXPECT_EQ(FloatAt(b, 1492), 5667.0f);
    EXPECT_EQ(FloatAt(b, 1496), 1170.0f);
    EXPECT_EQ(FloatAt(b, 1500), 5825.0f);
    EXPECT_EQ(Slice(b, 1928, 8), Slice(b, 1472, 8));
    EXPECT_EQ(Slice(b, 1944, 8), Slice(b, 1480, 8));
    // Alarm: the disable mask and the alarm relay; the hold switch and the digital inputs.
    EXPECT_EQ(Slice(b, 1276, 4), (std::vector<uint8_t>{0x7F, 0xFE, 0xFF, 0xFF}));
    EXPECT_EQ(b[1292], 1);
    EXPECT_EQ(b[1293], 0);
    EXPECT_EQ(Slice(b, 2036, 2), (std::vector<uint8_t>{2, 2}));
    // The message list: empty.
    EXPECT_EQ(Slice(b, 1960, 10), std::vector<uint8_t>(10, 0));

    // And the live values are the factory ones.
    EXPECT_EQ(g_RelaySettings.delay[0], 10.0f);
    EXPECT_EQ(g_RelaySettings.sense[1], kRelayNormallyClosed);
    EXPECT_EQ(g_AoutSettings.valueAt20mA[1], 100.0f);
    EXPECT_EQ(Alarm_GetRelay(), 1);
    EXPECT_EQ(g_OutputStartFlags[0], kAoutModeNormal) << "a fresh store never freezes the outputs";
    EXPECT_EQ(g_HoldOnChange, 0);
}

TEST(OutputsStore, OutOfRangeBytesLoadAsTheirDefaultsAndNothingIsRewritten) {
    std::string folder = Rig_MakeTempFolder();
    Boot(folder);
    std::vector<uint8_t> b = Rig_StoreBytes();
    b[1024] = 9;  // sense
    b[1295] = 7;  // hold behaviour
    b[1140] = 4;  // alarm level
    b[1181] = 3;  // hold mode
    std::vector<uint8_t> thirty = LittleEndian(30.0f);
    std::copy(thirty.begin(), thirty.end(), b.begin() + 1182);  // hold value
    b[218] = 0;                                                 // damping
    b[1292] = 7;                                                // alarm relay
    b[1293] = 5;                                                // hold switch
    b[1968] = 5;                                                // shown count
    b[217] = 9;                                                 // output mode
    std::vector<uint8_t> inf = LittleEndian(std::numeric_limits<float>::infinity());
    std::copy(inf.begin(), inf.end(), b.begin() + 1026);  // relay 1 delay
    {
        FILE* f = std::fopen(Rig_StorePath().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(b.data(), 1, b.size(), f);
        std::fclose(f);
    }
    Boot(folder);
    EXPECT_EQ(g_RelaySettings.sense[0], 0);
    EXPECT_EQ(g_RelaySettings.holdBehaviour[1], kRelayHoldKeep);
    EXPECT_EQ(g_RelaySettings.delay[0], 0.0f);
    EXPECT_EQ(g_AoutSettings.alarmLevel[0], kAoutAlarmLevelHigh);
    EXPECT_EQ(g_AoutSettings.holdMode[1], kAoutHoldLast);
    EXPECT_EQ(g_AoutSettings.holdValue[0], 4.0f);
    EXPECT_EQ(g_AoutSettings.damping, 1);
    EXPECT_EQ(Alarm_GetRelay(), kAlarmRelayNone);
    EXPECT_EQ(g_HoldOnChange, 0);
    EXPECT_EQ(g_OutputStartFlags[1], kAoutModeNormal);
    EXPECT_EQ(g_MsgShownCount, 0);
    EXPECT_EQ(Rig_StoreBytes(), b) << "the store keeps its bytes";
}
