// Reply decoders with crafted payloads: channel A by measuring kind, channel B by layout, the
// first-replies rule, the polarization echo and the board calibration table.
#include <gtest/gtest.h>

#include <array>
#include <bit>

#include "core/link.h"
#include "core/util.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "sim/sim_inputs.h"

namespace {
void PutU16LE(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

// The newest value a damping filter took.
float Newest(uint32_t i) {
    uint32_t status = 0;
    return Filter_GetPrevious(&g_DampFilters[i], 0, &status);
}
}  // namespace

TEST(ChannelADecoder, PanelInputsReplaceTheReplyFieldsByKind) {
    g_MeasuringKind[0] = kKindPh;
    g_LinkActiveChannel = 0;
    Panel_SetSimInput(0, kSimElectrodeVolts, -120.0f);
    Panel_SetSimInput(0, kSimGlassImpedance, 9999.0f);
    Panel_SetSimInput(0, kSimRefImpedance, 20.0f);
    Panel_SetSimInput(0, kSimAnalogInput, 12.0f);
    std::array<uint8_t, 21> payload{};
    Util_PutFloatBE(1.0f, &payload[13]);  // the board's own impedance: not used
    EXPECT_EQ(Meas_DecodeChannelAReply(0, payload.data()), 1u);
    EXPECT_FLOAT_EQ(g_Measurement[0].primary, -0.12f);
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(0, kPhFieldGlass), 9.999e9f);
    EXPECT_EQ(Meas_GetFieldWord(0, kPhFieldGlassStatus), 0u) << "only channel B marks 9999 invalid";
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(0, kPhFieldReference), 20000.0f);
    EXPECT_FLOAT_EQ(g_Measurement[0].analogInputScaled, 1000.0f) << "12 mA on the range 0..2000";
    EXPECT_FLOAT_EQ(Newest(0), -0.12f);

    // Conductivity: the overflow byte makes the primary over range.
    g_MeasuringKind[0] = kKindCond4;
    Panel_SetSimInput(0, kSimCondSignal, 5000.0f);
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(Meas_GetFieldWord(0, kCondFieldPrimaryStatus), 0u);
    payload[13] = 1;
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(g_CondOverflow, 1u);
    EXPECT_EQ(Meas_GetFieldWord(0, kCondFieldPrimaryStatus), 2u);
    EXPECT_EQ(g_Measurement[0].primary, 5000.0f);
}

TEST(ChannelADecoder, OxygenPolarizationEchoAsksAgainOnlyWhenOff) {
    g_MeasuringKind[0] = kKindO2Low;
    g_LinkPolVoltage = -674.0f;
    Panel_SetSimInput(0, kSimSensorCurrent, -35.5f);
    std::array<uint8_t, 21> payload{};
    Util_PutFloatBE(-674.05f, &payload[14]);
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(Link_IsRequestPending(18), 0u);
    EXPECT_EQ(g_Measurement[0].primary, -35.5f);
    Util_PutFloatBE(-674.2f, &payload[14]);
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(Link_IsRequestPending(18), 1u);
}

TEST(ChannelADecoder, FirstFourRepliesOnlyCount) {
    g_MeasuringKind[0] = kKindPh;
    std::array<uint8_t, 21> payload{};
    Panel_SetSimInput(0, kSimElectrodeVolts, 50.0f);
    for (uint32_t reply = 1; reply <= 4; ++reply) {
        Meas_DecodeChannelAReply(0, payload.data());
        EXPECT_EQ(g_MeasReplyCount[0], reply);
        EXPECT_EQ(g_ChanValueReady[0], 0u);
    }
    EXPECT_FLOAT_EQ(g_Measurement[0].primary, 0.05f) << "channel A's record fills all the same";
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(g_ChanValueReady[0], 1u);
    // No channel: nothing decoded, nothing counted.
    EXPECT_EQ(Meas_DecodeChannelAReply(kChannelNone, payload.data()), 0u);
    EXPECT_EQ(Meas_DecodeCondReply(2, payload.data()), 0u);
    EXPECT_EQ(g_MeasReplyCount[0], 4u);
}

TEST(ChannelBDecoder, PhLayoutImpedancesAndTheInvalidMark) {
    g_SensorKindDetected[1] = kKindPh;
    Panel_SetSimInput(1, kSimElectrodeVolts, 250.0f);
    Panel_SetSimInput(1, kSimTemperatureB, 31.5f);
    Panel_SetSimInput(1, kSimGlassImpedance, 9999.0f);
    Panel_SetSimInput(1, kSimRefImpedance, 45.7f);
    std::array<uint8_t, 32> payload{};
    Meas_DecodePhReply(1, payload.data());
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldOrpVolts), 0.25f);
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldGlass), 9.999e9f);
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldGlassStatus), 5u);
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldReference), 45000.0f) << "truncated to whole kilohm";
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldMv), 250.0f);
    EXPECT_EQ(Newest(1), 31.5f);
    // pH/pNa: the second input is a glass electrode in megaohm.
    g_SensorKindDetected[1] = kKindPhPna;
    Panel_SetSimInput(1, kSimRefImpedance, 9999.0f);
    Meas_DecodePhReply(1, payload.data());
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldPnaGlass), 9.999e9f);
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldPnaGlassStatus), 5u);
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldReference), 45000.0f);
    // Entries beyond any integer, or no number at all, do not overflow the truncation.
    Panel_SetSimInput(1, kSimGlassImpedance, 1e30f);
    Meas_DecodePhReply(1, payload.data());
    EXPECT_GT(Meas_GetFieldFloat(1, kPhFieldGlass), 2e15f);
    Panel_SetSimInput(1, kSimGlassImpedance, std::bit_cast<float>(0x7fc00000u));
    Meas_DecodePhReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldGlassStatus), 5u);
}

TEST(ChannelBDecoder, OxygenAndConductivityLayouts) {
    g_SensorKindDetected[1] = kKindO2High;
    Panel_SetSimInput(1, kSimSensorCurrent, -60.0f);
    std::array<uint8_t, 32> payload{};
    PutU16LE(&payload[2], static_cast<uint16_t>(-1234));  // sensor word 1, signed
    PutU16LE(&payload[6], 50000);                         // sensor word 2, unsigned
    payload[30] = 0x09;                                   // sensor alarm and the scale bit
    g_LinkChanStatus[1] = 100;
    Meas_DecodeOxygenReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldFloat(1, kO2FieldSensorWord1), -1234.0f);
    EXPECT_EQ(Meas_GetFieldFloat(1, kO2FieldSensorWord2), 50000.0f);
    EXPECT_EQ(Meas_GetFieldWord(1, kO2FieldAlarmStatus), 2u);
    EXPECT_EQ(g_LinkChanStatus[1], 3580);
    EXPECT_EQ(Newest(0), -60.0f);
    // Kind 8: sensor word 1 further on; the signal judged against L4 (10) and L5 (-100000).
    g_SensorKindDetected[1] = kKindO2Gauge;
    PutU16LE(&payload[14], static_cast<uint16_t>(-7));
    Panel_SetSimInput(1, kSimSensorCurrent, 10.5f);
    Meas_DecodeOxygenReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldFloat(1, kO2FieldSensorWord1), -7.0f);
    EXPECT_EQ(Meas_GetFieldWord(1, kO2FieldPrimaryStatus), 2u);
    Panel_SetSimInput(1, kSimSensorCurrent, -100001.0f);
    Meas_DecodeOxygenReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldWord(1, kO2FieldPrimaryStatus), 3u);

    payload[31] = 0x14;
    Panel_SetSimInput(1, kSimCondSignal, 707.7f);
    Meas_DecodeCondReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldWord(1, kCondFieldRangeByte), 0x14u);
    EXPECT_FLOAT_EQ(g_Measurement[1].primary, 707.7f);
}

TEST(BoardCalTable, WireOrderIntoTheTable) {
    std::array<uint8_t, 108> payload{};
    for (uint32_t i = 0; i < 27; ++i) Util_PutFloatBE(static_cast<float>(i), &payload[4 * i]);
    Meas_DecodeBoardCalTable(0, payload.data());
    EXPECT_EQ(g_BoardCalReceived, 1);
    // a from the first float of each pair, b from the second; then c, the pairs (d, e), f.
    const float expected[27] = {0,  2,  4,  6,  8,  1,  3,  5,  7,  9,  10, 11, 12, 13,
                                14, 15, 17, 16, 18, 19, 20, 21, 22, 23, 24, 25, 26};
    for (uint32_t i = 0; i < 27; ++i) EXPECT_EQ(g_BoardCalTable[i], expected[i]) << "entry " << i;
    const uint8_t swapped[4] = {0xC0, 0x3F, 0x00, 0x00};  // 1.5f with its halves swapped
    EXPECT_EQ(Meas_GetFloatWordSwapped(swapped), 1.5f);
}

TEST(SensorKind, UnusableKindsTakeTheChannelOutOfMeasuring) {
    Chan_SetKind(1, kKindO2Low);
    EXPECT_EQ(g_SensorKindActive[1], kKindNone) << "a usable kind is only requested";
    g_SensorMemLayout[1] = kLayoutOxygen;
    // A calibration's data set gathered for the sensor that is now gone.
    g_CalDataSet[1].b82 = 2;
    g_CalDataSet[1].v16 = 120.0f;
    g_CalDataSet[0].b82 = 1;
    Chan_SetKind(1, kKindNoSensor);
    EXPECT_EQ(g_CalDataSet[1].b82, 0) << "the gone sensor's data set is dropped";
    EXPECT_EQ(g_CalDataSet[1].v16, 0.0f);
    EXPECT_EQ(g_CalDataSet[0].b82, 1) << "the other channel's set stays";
    g_CalDataSet[0].b82 = 0;
    // The wrong-sensor condition it raises leaves the channel with no sensor to measure with.
    EXPECT_EQ(g_SensorKindActive[1], kKindNone);
    EXPECT_EQ(g_SensorKindDetected[1], kKindNoSensor);
    EXPECT_EQ(g_SensorMemLayout[1], kLayoutNone);
    Chan_ForceKind(1, kKindCond2);
    EXPECT_EQ(g_SensorKindDetected[1], kKindCond2);
    EXPECT_EQ(g_SensorKindActive[1], kKindCond2);
}
