// Set points in virtual time: the four types switching a relay through its delay and releasing
// through the hysteresis, the shared Outside side, over and under range, a relay taken away, the
// messages and alarm flags they raise, and the settings in the store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <array>
#include "core/eeprom.h"
#include "core/link.h"
#include "core/settings.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"
#include "outputs/relays.h"
#include "outputs/setpoint.h"
#include "rig.h"
#include "sim/sim_inputs.h"

namespace {
// Line kinds: one whose hysteresis is a percentage of the limit, and the absolute ones.
constexpr uint8_t kLineConductivity = 1;
constexpr uint8_t kLineTemperature = 11;
constexpr uint8_t kLinePh = 13;
constexpr uint8_t kLine38 = 38;

void Boot() {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
    g_CurrentChannel = 0;
    g_RelaySettings.delay[0] = 0.0f;
    g_RelaySettings.delay[1] = 0.0f;
    g_RelaySettings.sense[1] = kRelayNormallyOpen;
}

// What display line `line` shows on channel A: its kind and its value with a status.
void Show(uint32_t line, uint8_t kind, float value, uint32_t status = 0) {
    g_SlotUnit[line] = g_SlotPendingUnit[line] = kind;
    g_SlotChannel[line] = g_SlotPendingChannel[line] = 0;
    g_SlotValues[line].value = value;
    g_SlotValues[line].status = status;
}

void Configure(uint32_t i, uint8_t line, uint8_t relay, uint8_t type, float a, float b, float hysteresis,
               uint8_t range = kSetPointRangeNo) {
    SetPointSettings& s = g_SetPointSettings;
    s.source[i] = line;
    s.relay[i] = relay;
    s.type[i] = type;
    s.valueA[i] = a;
    s.valueB[i] = b;
    s.hysteresis[i] = hysteresis;
    s.rangeAction[i] = range;
}

bool Closed(uint32_t relay) { return ((g_RelayBits.load() >> relay) & 1u) != 0; }

// Lets the line show x for one one-second pass (and a little more).
bool AfterSecond(uint32_t line, uint8_t kind, float x, uint32_t relay = 0) {
    Show(line, kind, x);
    Rig_AdvanceMs(1000);
    return Closed(relay);
}
}  // namespace

TEST(SetPoints, HighSwitchesAfterTheRelayDelayAndReleasesThroughPercentHysteresis) {
    Boot();
    g_RelaySettings.delay[0] = 3.0f;
    Configure(0, 0, 0, kSetPointHigh, 7.0f, 0.0f, 10.0f);
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 6.9f));
    EXPECT_EQ(Alarm_GetFlags(0) & 1u, 0u);

    Show(0, kLineConductivity, 7.1f);
    uint64_t start = Rig_NowMs();
    while (!Closed(0) && Rig_NowMs() - start < 10000) Rig_AdvanceMs(100);
    uint64_t took = Rig_NowMs() - start;
    EXPECT_GE(took, 2900u) << "the relay waits for its delay";
    EXPECT_LE(took, 4100u);
    EXPECT_TRUE(Msg_IsActive(1200)) << "SP1 High";
    EXPECT_NE(Alarm_GetFlags(0) & 1u, 0u) << "alarm flag 0 on channel A";

    // Back below 7.0: the condition and its message go, the relay waits for 10 % of 7.0.
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 6.5f));
    EXPECT_FALSE(Msg_IsActive(1200));
    EXPECT_EQ(Alarm_GetFlags(0) & 1u, 0u);
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 6.31f));
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 6.3f)) << "released at 6.3";
    EXPECT_EQ(g_RelayRequesters[0], 0u);
}

TEST(SetPoints, AbsoluteHysteresisOnTemperaturePhAndKind38) {
    Boot();
    // Low on a temperature line: 0.5 degrees, not 0.5 % of the limit.
    Configure(0, 1, 1, kSetPointLow, 0.0f, 20.0f, 0.5f);
    EXPECT_TRUE(AfterSecond(1, kLineTemperature, 19.9f, 1));
    EXPECT_TRUE(Msg_IsActive(1201)) << "SP1 Low";
    EXPECT_TRUE(AfterSecond(1, kLineTemperature, 20.4f, 1));
    EXPECT_FALSE(AfterSecond(1, kLineTemperature, 20.5f, 1));

    // High on kind 38 and on pH releases at A - 0.5.
    for (uint8_t kind : {kLine38, kLinePh}) {
        Configure(0, 1, 1, kSetPointHigh, 7.0f, 0.0f, 0.5f);
        EXPECT_TRUE(AfterSecond(1, kind, 7.2f, 1)) << int(kind);
        EXPECT_TRUE(AfterSecond(1, kind, 6.6f, 1)) << int(kind);
        EXPECT_FALSE(AfterSecond(1, kind, 6.5f, 1)) << int(kind);
    }
}

TEST(SetPoints, BetweenAndOutside) {
    Boot();
    Configure(0, 0, 0, kSetPointBetween, 8.0f, 6.0f, 0.0f);
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 5.0f));
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 7.0f));
    EXPECT_TRUE(Msg_IsActive(1203)) << "SP1 Between";
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 8.0f)) << "the high limit belongs to the band";
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 9.0f));
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 7.0f));
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 5.9f));

    Configure(0, 0, 0, kSetPointOutside, 8.0f, 6.0f, 0.0f);
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 7.0f));
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 9.0f));
    EXPECT_TRUE(Msg_IsActive(1202)) << "SP1 Outside";
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 7.0f)) << "left above, released below A";
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 5.0f));
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 7.0f)) << "left below, released above B";

    // With A below B the larger limit switches on above, but the release above still tests A:
    // between the limits the relay stays.
    Configure(0, 0, 0, kSetPointOutside, 6.0f, 8.0f, 0.0f);
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 7.0f));
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 9.0f));
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 7.0f));
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 6.5f));
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 6.0f)) << "released at A";
}

TEST(SetPoints, TwoOutsideSetPointsShareTheSideTheyLeftOn) {
    Boot();
    // Alone, set point 1 left above its limits holds its relay down to A - 0.5.
    Configure(0, 0, 0, kSetPointOutside, 8.0f, 6.0f, 0.5f);
    EXPECT_TRUE(AfterSecond(0, kLinePh, 9.0f));
    EXPECT_TRUE(AfterSecond(0, kLinePh, 7.9f));
    EXPECT_FALSE(AfterSecond(0, kLinePh, 7.5f));

    // Set point 2, evaluated after it, leaves below its own limits: the one side byte says
    // "below", so set point 1 now releases by its low limit.
    Configure(1, 1, 1, kSetPointOutside, 108.0f, 106.0f, 0.5f);
    Show(1, kLinePh, 105.0f);
    EXPECT_TRUE(AfterSecond(0, kLinePh, 9.0f));
    EXPECT_TRUE(Closed(1));
    EXPECT_FALSE(AfterSecond(0, kLinePh, 7.9f)) << "released through set point 2's side";
}

TEST(SetPoints, OverAndUnderRangeActOnlyWhenAsked) {
    Boot();
    Configure(0, 0, 0, kSetPointHigh, 7.0f, 0.0f, 0.0f, kSetPointRangeYes);
    Show(0, kLineConductivity, 0.0f, kStatusOver);
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Closed(0));
    EXPECT_TRUE(Msg_IsActive(1208)) << "SP1 Over Range";
    EXPECT_TRUE(Msg_IsActive(1200)) << "over range counts as above A";
    EXPECT_EQ(SetPoint_GetState(0), 0x11);
    Show(0, kLineConductivity, 0.0f, kStatusUnder);
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Closed(0)) << "the range requester holds the relay";
    EXPECT_TRUE(Msg_IsActive(1209));
    EXPECT_FALSE(Msg_IsActive(1208));
    EXPECT_FALSE(Msg_IsActive(1200));
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 7.5f)) << "then above A again";
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 6.0f));
    EXPECT_EQ(g_MsgActiveCount, 0u);

    // With "No" the range does nothing.
    g_SetPointSettings.rangeAction[0] = kSetPointRangeNo;
    Show(0, kLineConductivity, 0.0f, kStatusUnder);
    Rig_AdvanceMs(2000);
    EXPECT_FALSE(Closed(0));
    EXPECT_EQ(g_MsgActiveCount, 0u);
    EXPECT_EQ(Alarm_GetFlags(0) & 1u, 0u);
}

TEST(SetPoints, ARelayTakenAwayOrALineSwitchedOffIsReleased) {
    Boot();
    Configure(2, 0, 0, kSetPointHigh, 7.0f, 0.0f, 0.0f);
    uint32_t status = 0;
    SetPoint_SaveSettings(&status);
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 8.0f));
    EXPECT_TRUE(Msg_IsActive(1220)) << "SP3 High";
    EXPECT_NE(g_RelayRequesters[0] & (1u << 4), 0u) << "set point 3's bit of requester 1";
    g_SetPointSettings.relay[2] = kRelayNone;
    SetPoint_SaveSettings(&status);
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 8.0f)) << "the relay it used before lets go";
    EXPECT_TRUE(Msg_IsActive(1220)) << "the condition still stands";

    g_SetPointSettings.relay[2] = 1;
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 8.0f, 1));
    g_SetPointSettings.source[2] = kSetPointSourceOff;
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 8.0f, 1)) << "a line switched off releases";
    EXPECT_FALSE(Msg_IsActive(1220));
    EXPECT_EQ(Alarm_GetFlags(0) & (1u << 2), 0u);
    EXPECT_EQ(SetPoint_GetLineType(0), kSetPointLineNone);
}

TEST(SetPoints, HeldOutputsFreezeTheSetPoints) {
    Boot();
    Configure(0, 0, 0, kSetPointHigh, 7.0f, 0.0f, 0.0f);
    g_HoldOnChange = 1;
    EXPECT_FALSE(AfterSecond(0, kLineConductivity, 8.0f));
    EXPECT_FALSE(Msg_IsActive(1200));
    g_HoldOnChange = 0;
    EXPECT_TRUE(AfterSecond(0, kLineConductivity, 8.0f));
    EXPECT_EQ(SetPoint_GetLineType(0), kSetPointHigh);
}

TEST(SetPoints, StoreHoldsFactoryValuesAndLoadsBadOnesAsDefaults) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    std::vector<uint8_t> b = Rig_StoreBytes();
    ASSERT_EQ(b.size(), 4096u);
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 1042, b.begin() + 1048), (std::vector<uint8_t>{0, 1, 4, 4, 4, 4}));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 1048, b.begin() + 1054), std::vector<uint8_t>(6, 2));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 1054, b.begin() + 1060), std::vector<uint8_t>(6, 0));
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 1060, b.begin() + 1066), std::vector<uint8_t>(6, 1));
    float a1;
    std::memcpy(&a1, &b[1066], 4);
    EXPECT_EQ(a1, 12.0f);
    for (uint32_t i = 1; i < 6; ++i)
        EXPECT_EQ(std::vector<uint8_t>(b.begin() + 1066 + 4 * i, b.begin() + 1070 + 4 * i), std::vector<uint8_t>(4, 0));

    auto put = [&b](uint32_t offset, float value) { std::memcpy(&b[offset], &value, 4); };
    b[1042] = 7;                                         // source
    b[1049] = 5;                                         // relay
    b[1056] = 9;                                         // type
    b[1063] = 3;                                         // range action
    put(1070, std::numeric_limits<float>::quiet_NaN());  // value A
    put(1094, std::numeric_limits<float>::infinity());   // value B
    put(1118, 150.0f);                                   // hysteresis
    put(1122, -1.0f);                                    // hysteresis
    put(1126, 100.0f);                                   // hysteresis at its largest
    put(1074, 3.5f);                                     // value A
    Rig_WriteStoreBytes(b);
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    const SetPointSettings& s = g_SetPointSettings;
    EXPECT_EQ(s.source[0], kSetPointSourceOff);
    EXPECT_EQ(s.relay[1], kRelayNone);
    EXPECT_EQ(s.type[2], kSetPointOff);
    EXPECT_EQ(s.rangeAction[3], kSetPointRangeNo);
    EXPECT_EQ(s.valueA[1], 0.0f);
    EXPECT_EQ(s.valueB[1], 0.0f);
    EXPECT_EQ(s.hysteresis[1], 0.0f);
    EXPECT_EQ(s.hysteresis[2], 0.0f);
    EXPECT_EQ(s.hysteresis[3], 100.0f);
    EXPECT_EQ(s.valueA[2], 3.5f);
    EXPECT_EQ(Rig_StoreBytes(), b) << "loading rewrites nothing";
}

namespace {
// Stands in for the link once it has selected channel A: one measurement reply a second.
void ChannelAReplyEverySecond() {
    static uint32_t tenths;
    if (++tenths % 10 != 0) return;
    g_LinkActiveChannel = 0;
    const std::array<uint8_t, 21> payload{};
    Meas_DecodeChannelAReply(0, payload.data());
}
}  // namespace

TEST(SetPoints, TheRelayFollowsThePanelsTemperatureAcrossTheLimit) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseNoLibrary();
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(37.0f));
    Rig_Boot();
    Rig_AddPeriodic(100, ChannelAReplyEverySecond);
    g_CurrentChannel = 0;
    g_RelaySettings.delay[0] = 2.0f;
    // Set point 2 watches line b, the temperature of channel A, from the factory on.
    g_SetPointSettings.relay[1] = 0;
    g_SetPointSettings.type[1] = kSetPointHigh;
    g_SetPointSettings.valueA[1] = 40.0f;
    g_SetPointSettings.hysteresis[1] = 1.0f;
    uint32_t status = 0;
    SetPoint_SaveSettings(&status);
    Rig_AdvanceMs(8000);
    EXPECT_FALSE(Closed(0));
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(45.0f));
    uint64_t start = Rig_NowMs();
    while (!Closed(0) && Rig_NowMs() - start < 30000) Rig_AdvanceMs(100);
    EXPECT_TRUE(Closed(0)) << "the process warmed past 40 degrees";
    EXPECT_TRUE(Msg_IsActive(1210)) << "SP2 High";
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(39.5f));
    Rig_AdvanceMs(20000);
    EXPECT_TRUE(Closed(0)) << "within the hysteresis";
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(38.0f));
    Rig_AdvanceMs(20000);
    EXPECT_FALSE(Closed(0));
}

// Six set-point messages that clear in the same pass change the stored message list once: the
// pass writes the store once, however many messages changed in it, and the store then holds the
// list as it stands at the end of the pass.
TEST(SetPoints, SixMessagesClearingInOnePassWriteTheStoreOnce) {
    Boot();
    for (uint32_t i = 0; i < kSetPointCount; ++i) Configure(i, 0, kRelayNone, kSetPointHigh, 8.0f, 0.0f, 0.0f);
    AfterSecond(0, kLinePh, 9.0f);
    ASSERT_EQ(Msg_ActiveCount(), 6u);
    Show(0, kLinePh, 7.0f);
    uint32_t most = 0;
    uint32_t total = 0;
    for (uint32_t pass = 0; pass < 60; ++pass) {
        uint32_t before = Eeprom_FileWriteCount();
        Rig_AdvanceMs(20);
        uint32_t writes = Eeprom_FileWriteCount() - before;
        most = std::max(most, writes);
        total += writes;
    }
    EXPECT_EQ(Msg_ActiveCount(), 0u);
    EXPECT_EQ(most, 1u);
    EXPECT_EQ(total, 1u);
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    ASSERT_EQ(Msg_ShownCount(), 4u);
    EXPECT_EQ(bytes[1968], 4);
    EXPECT_EQ(bytes[1969], 0);
    for (uint32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(bytes[1960 + 2 * i] | bytes[1961 + 2 * i] << 8, Msg_ShownCode(i)) << i;
    }
}
