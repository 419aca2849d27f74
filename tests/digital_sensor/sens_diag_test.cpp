// Sensor diagnostics, the channel configuration store and the optical sensor's errors through the
// rig with the program's own sensor files: cycles counted in virtual time and written into the
// sensor's memory, the interval fields at their limits, the store's load rules, and the optical
// error groups with their messages.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "core/eeprom.h"
#include "core/rtc.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_diag_opt.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "plug_support.h"
#include "rig.h"
#include "sim/sim_inputs.h"

using namespace plug_test;

namespace {
void PlugAndSettle(const std::string& file, uint8_t code) {
    Plug(file, code);
    ASSERT_TRUE(RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
}

// The sensor's memory as its file holds it after the write-back.
std::vector<uint8_t> SensorFileBytes(const std::string& file) {
    std::filesystem::path folder = std::filesystem::path(Rig_StorePath()).parent_path();
    std::ifstream in(folder / file);
    std::vector<uint8_t> bytes;
    unsigned value = 0;
    while (in >> std::hex >> value) bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

uint32_t ImageBits(uint32_t start, uint32_t count) { return SensMem_GetBits(g_SensorMemImage[1], start, count); }

// Advances whole seconds until fn holds, at most limit seconds; the seconds it took.
template <typename F>
uint32_t SecondsUntil(F fn, uint32_t limit) {
    for (uint32_t s = 0; s < limit; ++s) {
        if (fn()) return s;
        Rig_AdvanceMs(1000);
    }
    return limit;
}
}  // namespace

TEST(SensorDiagnostics, CipAndSipCyclesAreCountedInVirtualTimeAndWrittenIntoTheSensor) {
    BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    ASSERT_EQ(SensDiag_GetCipCount(1), 0u);
    // Above the CIP limit (55 C) for 300 replies: one CIP cycle.
    Panel_SetSimInput(1, kSimTemperatureB, 60.0f);
    uint32_t seconds = SecondsUntil([] { return SensDiag_GetCipCount(1) == 1; }, 1200);
    ASSERT_LT(seconds, 1200u);
    EXPECT_GT(seconds, 30u);  // 300 replies take their time
    EXPECT_EQ(g_SensorMemImage[1][355], 1);
    // Written back into the sensor's own memory (its file) within the write time.
    Rig_AdvanceMs(30000);
    std::vector<uint8_t> memory = SensorFileBytes("PH_SelvoP11_0.txt");
    ASSERT_EQ(memory.size(), 608u);
    EXPECT_EQ(memory[355], 1);
    // On to sterilisation (above 115 C): the SIP cycle counts and the CIP cycle it began with is
    // taken back.
    Panel_SetSimInput(1, kSimTemperatureB, 121.0f);
    ASSERT_LT(SecondsUntil([] { return SensDiag_GetSipCount(1) == 1; }, 1200), 1200u);
    EXPECT_EQ(SensDiag_GetCipCount(1), 0u);
    EXPECT_EQ(g_SensorMemImage[1][354], 1);
    // The highest temperature is kept in the sensor too: (121 + 50) x 10 in 12 bits.
    EXPECT_NEAR(SensDiag_GetMaxTemperature(1), 121.0f, 0.11f);
    EXPECT_EQ(ImageBits(336 * 8, 12), 1710u);
}

TEST(SensorDiagnostics, ShortExcursionsCountNothing) {
    BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    // A dip of 6 degrees below the limit restarts the count: alternating every 20 s never counts.
    for (int i = 0; i < 20; ++i) {
        Panel_SetSimInput(1, kSimTemperatureB, i % 2 == 0 ? 60.0f : 48.0f);
        Rig_AdvanceMs(20000);
    }
    EXPECT_EQ(SensDiag_GetCipCount(1), 0u);
    // A CIP limit of 0 switches the detector off.
    uint32_t status = 0;
    SensDiag_SetCipCycleLimit(1, 0, &status);
    Panel_SetSimInput(1, kSimTemperatureB, 60.0f);
    Rig_AdvanceMs(600000);
    EXPECT_EQ(SensDiag_GetCipCount(1), 0u);
    EXPECT_FALSE(MessageActive(kMsgChannelB + 58));  // "CIP Counter Expired"
}

TEST(SensorDiagnostics, IntervalFieldsSaturateAtTheirLimits) {
    BootOnChannelB();
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    // Layout 0: the ACT interval in hours (12 bits at byte 56 bit 6), the TTM interval in tenths
    // of a day (12 bits at byte 62 bit 4).
    SensDiag_SetActInterval(1, 3.0f);
    EXPECT_EQ(g_SensDiagSettings[1].actInterval, 72u);
    EXPECT_EQ(ImageBits(56 * 8 + 6, 12), 72u);
    SensDiag_SetActInterval(1, 200.0f);
    EXPECT_EQ(g_SensDiagSettings[1].actInterval, 4080u);
    EXPECT_EQ(ImageBits(56 * 8 + 6, 12), 4080u);
    SensDiag_SetMaintInterval(1, 12.34f);
    EXPECT_EQ(ImageBits(62 * 8 + 4, 12), 123u);
    SensDiag_SetMaintInterval(1, 1000.0f);
    EXPECT_EQ(ImageBits(62 * 8 + 4, 12), 4000u);
    EXPECT_EQ(g_SensDiagSettings[1].ttmInterval, 4000u);
    // A negative or undefined interval is no interval, never a wrapped field.
    SensDiag_SetMaintInterval(1, -3.0f);
    EXPECT_EQ(g_SensDiagSettings[1].ttmInterval, 0u);
    SensDiag_SetActInterval(1, -5.0f);
    EXPECT_EQ(g_SensDiagSettings[1].actInterval, 0u);
    SensDiag_SetMaintInterval(1, std::nanf(""));
    EXPECT_EQ(g_SensDiagSettings[1].ttmInterval, 0u);
    // The settings survive in the store.
    SensDiag_SetActInterval(1, 200.0f);
    std::vector<uint8_t> store = Rig_StoreBytes();
    EXPECT_EQ(store[468 + 4] | store[468 + 5] << 8, 4080);

    // Layout 1 (amperometric oxygen): the TTM field in units of 2 days, 9 bits at byte 61 bit 6.
    Plug("DO_SelvoD11_0.txt", 5);
    ASSERT_TRUE(RunUntilState(kPlugChangeKind));
    Rig_HoldKey(4, 100);
    ASSERT_TRUE(RunUntilState(kPlugIdle, 8000));
    ASSERT_EQ(g_SensorMemLayout[1], kLayoutOxygen);
    SensDiag_SetMaintInterval(1, 30.0f);
    EXPECT_EQ(ImageBits(61 * 8 + 6, 9), 15u);
    SensDiag_SetMaintInterval(1, 5000.0f);
    EXPECT_EQ(g_SensDiagSettings[1].ttmInterval, 10200u);
    EXPECT_EQ(ImageBits(61 * 8 + 6, 9), 510u);
    SensDiag_SetMaintInterval(1, 1.5f);
    EXPECT_EQ(g_SensDiagSettings[1].ttmInterval, 0u);
    SensDiag_SetActInterval(1, 200.0f);
    EXPECT_EQ(ImageBits(55 * 8 + 7, 12), 4080u);
}

TEST(SensorDiagnostics, MinutesOfADayOrMoreReadAsMidnight) {
    ClockRecord t{2025, 6, 1, 0, 12, 34, 56};
    SensMem_MinutesToTime(23 * 60 + 59, &t);
    EXPECT_EQ(t.hour, 23);
    EXPECT_EQ(t.minute, 59);
    EXPECT_EQ(t.second, 0);
    // The 12-bit minutes field holds up to 4095: a count of a day or more is no time of day.
    SensMem_MinutesToTime(24 * 60, &t);
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.minute, 0);
    SensMem_MinutesToTime(4095, &t);
    EXPECT_EQ(t.hour, 0);
    EXPECT_EQ(t.minute, 0);
}

TEST(ChannelStore, LoadRulesReplaceWhatCannotBeUsed) {
    // A kind of 14, a selected channel of 2, line quantities of 55 and 54, channel A's
    // auto-configure set.
    BootOnChannelB({{1664 + 1, 14}, {122, 2}, {1200 + 4, 55}, {1200 + 5, 54}, {1200 + 0, 3}, {458, 1}});
    EXPECT_EQ(g_ChannelKind[1], kKindPh);
    EXPECT_EQ(g_ChannelSensorId[1], 4187u);
    EXPECT_EQ(g_CurrentChannel, 0);
    EXPECT_EQ(g_MeasLines.kind[0], 30);
    EXPECT_EQ(g_MeasLines.kind[1], 54);
    EXPECT_EQ(g_MeasLines.channel[0], 0);
    EXPECT_EQ(g_AutoConfigure[0], 0);
    EXPECT_EQ(g_AutoConfigure[1], 1);
    // Channel B's auto-configure of 2 and above reads as on; 0 stays off.
    BootOnChannelB({{458 + 1, 7}});
    EXPECT_EQ(g_AutoConfigure[1], 1);
    EXPECT_EQ(g_CurrentChannel, 1);
    BootOnChannelB({{458 + 1, 0}});
    EXPECT_EQ(g_AutoConfigure[1], 0);
}

TEST(ChannelStore, TakenOverSensorIsRememberedAcrossAStart) {
    BootOnChannelB();
    PlugAndSettle("COND_SelvoK11_0.txt", 4);
    std::vector<uint8_t> store = Rig_StoreBytes();
    EXPECT_EQ(store[1664 + 1], kKindCond4);
    EXPECT_EQ(store[120 + 1], 1);
    uint32_t model = store[450 + 4] | store[450 + 5] << 8 | store[450 + 6] << 16 | store[450 + 7] << 24;
    EXPECT_EQ(model, 4195u);
    // The next start knows it: the same sensor resumes.
    std::string folder = std::filesystem::path(Rig_StorePath()).parent_path().string();
    Rig_Reset(folder);
    Rig_Boot();
    Rig_AdvanceMs(20);
    EXPECT_EQ(g_ChannelKind[1], kKindCond4);
    EXPECT_EQ(g_SensorDataLoaded[1], 1);
    Plug("COND_SelvoK11_0.txt", 4);
    ASSERT_TRUE(RunUntilState(kPlugResume));
}

TEST(OpticalErrors, GroupsRaiseTheirMessagesAndTheListShowsTheActiveItems) {
    BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    PlugAndSettle("OPT_SelvoQ11_0.txt", 9);
    Rig_AdvanceMs(8000);
    auto evaluate = [](uint32_t word) {
        g_SensorStatusWord[1] = word;
        SensDiag_EvalOptErrors();
    };
    // The shaft, signal and hardware groups switched on (the factory settings switch them off).
    g_AlarmSettings.disableMask = 0;
    uint8_t items[kOptListMax];
    // No error bits: only the two temperature lines.
    evaluate(0);
    ASSERT_EQ(SensDiag_ListOptItems(items), 2u);
    EXPECT_EQ(items[0], kOptItemTspot);
    EXPECT_EQ(items[1], kOptItemTboard);
    // "Shaft removed" (bit 8): "Shaft Error" with its cause and flag.
    evaluate(1u << 8);
    EXPECT_TRUE(MessageActive(kMsgChannelB + 61));
    EXPECT_NE(Alarm_GetCauses(1) & 1u << 11, 0u);
    EXPECT_NE(Alarm_GetFlags(1) & 1u << 25, 0u);
    EXPECT_EQ(SensDiag_ListOptItems(items), 3u);
    EXPECT_EQ(items[0], 8);
    // The phase field (bits 16..17) is never listed and raises nothing.
    evaluate(3u << 16);
    EXPECT_EQ(SensDiag_ListOptItems(items), 2u);
    EXPECT_FALSE(MessageActive(kMsgChannelB + 61));
    // "Signal above" (7), "Board error" (3): signal and hardware errors.
    evaluate(1u << 7 | 1u << 3);
    EXPECT_TRUE(MessageActive(kMsgChannelB + 62));
    EXPECT_TRUE(MessageActive(kMsgChannelB + 63));
    // "P0 out of range" (item 13, bit 18): "Change spot"; "O2 out of range" (item 22, bit 29):
    // "Cal Required".
    evaluate(1u << 18 | 1u << 29);
    EXPECT_TRUE(MessageActive(kMsgChannelB + 64));
    EXPECT_TRUE(MessageActive(kMsgChannelB + 57));
    EXPECT_FALSE(MessageActive(kMsgChannelB + 62));
    // Only "DLI<0" (item 21, bit 28) with the lifetime alarm off raises nothing.
    g_SensDiagAlarms[kDiagAlarmLifetime].off = 1;
    evaluate(1u << 28);
    EXPECT_FALSE(MessageActive(kMsgChannelB + 64));
    g_SensDiagAlarms[kDiagAlarmLifetime].off = 0;
    evaluate(1u << 28);
    EXPECT_TRUE(MessageActive(kMsgChannelB + 64));
    // "Shaft Error" switched off (disable bit 9) is neither raised nor cleared.
    g_AlarmSettings.disableMask = 1u << 9;
    evaluate(1u << 0);
    EXPECT_FALSE(MessageActive(kMsgChannelB + 61));
    EXPECT_EQ(Alarm_GetCauses(1) & 1u << 11, 0u);
}
