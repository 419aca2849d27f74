// The measurement road in the virtual-time rig: after start-up the channel set-up puts pH and
// temperature on the first two slots of channel A, and channel A's replies fill them.
#include <gtest/gtest.h>

#include <array>

#include "core/link.h"
#include "core/settings.h"
#include "measurement/chan_reset.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "rig.h"
#include "sim/sim_inputs.h"

namespace {
// Stands in for the link once it has selected channel A: one measurement reply a second.
uint32_t s_Replies;
uint32_t s_Tenths;
void ChannelAReplyEverySecond() {
    if (++s_Tenths % 10 != 0) return;
    g_LinkActiveChannel = 0;
    const std::array<uint8_t, 21> payload{};
    Meas_DecodeChannelAReply(0, payload.data());
    ++s_Replies;
}
}  // namespace

TEST(MeasurementRoad, ChannelATemperatureReachesItsSlotAfterBoot) {
    Rig_Reset(Rig_MakeTempFolder());
    s_Replies = 0;
    s_Tenths = 0;
    // The replies come from the stand-in above alone.
    Rig_UseNoLibrary();
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(37.0f));
    Panel_SetSimInput(0, kSimElectrodeVolts, -59.16f);
    Rig_Boot();
    EXPECT_EQ(g_MeasuringKind[0], kKindPh);
    EXPECT_EQ(Meas_GetSlotChannel(1), 0);
    EXPECT_EQ(Meas_GetSlotUnit(1), 11);
    uint32_t status = 0;
    Meas_GetSlotValue(1, &status);
    EXPECT_EQ(status, 2u) << "nothing measured yet";

    Rig_AddPeriodic(100, ChannelAReplyEverySecond);
    Rig_AdvanceMs(4000);
    EXPECT_EQ(s_Replies, 4u);
    Meas_GetSlotValue(1, &status);
    EXPECT_EQ(status, 2u) << "the first four replies only count";
    Rig_AdvanceMs(1000);
    EXPECT_NEAR(Meas_GetSlotValue(1, &status), 37.0f, 0.05f);
    EXPECT_EQ(status, 0u);
    Meas_GetSlotValue(0, &status);
    EXPECT_EQ(status, 0u) << "the pH slot measures too";
    // Slots without a quantity show nothing, validly.
    EXPECT_EQ(Meas_GetSlotValue(2, &status), 0.0f);
    EXPECT_EQ(status, 0u);

    // The panel warms the process: the slot follows through its filter.
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(80.0f));
    Rig_AdvanceMs(15000);
    EXPECT_NEAR(Meas_GetSlotValue(1, &status), 80.0f, 0.05f);
    // An open element: the temperature slot reports over range.
    Panel_SetSimInput(0, kSimElementOhm, 400000.0f);
    Rig_AdvanceMs(1000);
    Meas_GetSlotValue(1, &status);
    EXPECT_EQ(status, 2u);
}

TEST(MeasurementRoad, NoActiveChannelLeavesTheSlotsAlone) {
    Rig_Reset(Rig_MakeTempFolder());
    // With the clock unset the firmware waits for the date and selects no channel of its own.
    Rig_SetClock(0, 0, 0, 0, 0, 0);
    Rig_Boot();
    g_LinkActiveChannel = 255;
    g_ChanValueReady[0] = 1;
    Rig_AdvanceMs(1000);
    EXPECT_EQ(g_ChanValueReady[0], 1u);
    uint32_t status = 0;
    Meas_GetSlotValue(1, &status);
    EXPECT_EQ(status, 2u);
}

namespace {
// A start with channel A changed to the kind as its page does it (the dependent settings reset
// and committed), its primary input and 25 C on its element, and six seconds of replies.
void BootChannelA(uint8_t kind, uint32_t q, float primary) {
    Rig_Reset(Rig_MakeTempFolder());
    s_Replies = 0;
    s_Tenths = 0;
    Rig_UseNoLibrary();
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(25.0f));
    Panel_SetSimInput(0, q, primary);
    Rig_Boot();
    Settings_CopyAll();
    Chan_ResetForSensorKind(0, kind);
    uint32_t status = 0;
    Settings_CommitAll(&status, 1);
    ASSERT_EQ(status, 0u);
    Rig_AddPeriodic(100, ChannelAReplyEverySecond);
    Rig_AdvanceMs(6000);
}
}  // namespace

TEST(MeasurementRoad, ConductivityOfChannelAThroughTheCellAndTheCompensation) {
    // A cell of 0.1 /cm reading 1000 ohm at 25 C: 100 uS/cm, 0.10 mS/cm on line a.
    BootChannelA(kKindCond2, kSimCondSignal, 1000.0f);
    EXPECT_EQ(g_MeasuringKind[0], kKindCond2);
    EXPECT_EQ(Meas_GetSlotUnit(0), 1);
    uint32_t status = 0;
    EXPECT_NEAR(Meas_GetSlotValue(0, &status), 1e-4f, 1e-9f);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Rig_BigLineText(0), "0.10");
    // Warmer water conducts better; the standard compensation refers it back to 25 C.
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(50.0f));
    Panel_SetSimInput(0, kSimCondSignal, 1000.0f * 0.63953f);
    Rig_AdvanceMs(15000);
    EXPECT_NEAR(Meas_GetSlotValue(0, &status), 1e-4f, 2e-7f);
    EXPECT_EQ(status, 0u);
}

TEST(MeasurementRoad, OxygenOfChannelAInPercentOfAirSaturation) {
    // "O2 hi" at its nominal slope: -70 nA at 25 C is air-saturated water at 1013 mbar.
    BootChannelA(kKindO2High, kSimSensorCurrent, -70.0f);
    EXPECT_EQ(g_MeasuringKind[0], kKindO2High);
    EXPECT_EQ(Meas_GetSlotUnit(0), 19);
    uint32_t status = 0;
    EXPECT_NEAR(Meas_GetSlotValue(0, &status), 100.0f, 0.05f);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Rig_BigLineText(0), "100.0");
    Panel_SetSimInput(0, kSimSensorCurrent, -35.0f);
    Rig_AdvanceMs(15000);
    EXPECT_NEAR(Meas_GetSlotValue(0, &status), 50.0f, 0.05f);
}
