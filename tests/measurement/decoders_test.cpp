// Reply decoders with crafted payloads: channel A by measuring kind, channel B by layout, the
// first-replies rule, the polarization echo, the board calibration table and the byte readers.
#include <gtest/gtest.h>

#include <array>
#include <bit>

#include "core/link.h"
#include "core/util.h"
#include "digital_sensor/sens_cmd.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "panel/sim_inputs.h"

namespace {
std::array<uint8_t, 21> ChannelAPayload() { return {}; }

void PutFloatBE(uint8_t* at, float value) { Util_PutFloatBE(value, at); }

void PutU16LE(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

float Damped(uint32_t i) {
    uint32_t status = 0;
    float value = Filter_GetChannelValue(0, i, &status);
    EXPECT_EQ(status, 0u);
    return value;
}

void InitDamping() {
    Filter_Init(&g_DampFilters[0], kFilterDepth10);
    Filter_Init(&g_DampFilters[1], kFilterDepth10);
}
}  // namespace

TEST(ChannelADecoder, PhKindTakesThePanelInputsAndTheAnalogInput) {
    InitDamping();
    g_MeasuringKind[0] = kKindPh;
    g_LinkActiveChannel = 0;
    Panel_SetSimInput(0, kSimElectrodeVolts, -120.0f);
    Panel_SetSimInput(0, kSimGlassImpedance, 9999.0f);
    Panel_SetSimInput(0, kSimRefImpedance, 20.0f);
    Panel_SetSimInput(0, kSimElementOhm, 1000.0f);
    Panel_SetSimInput(0, kSimAnalogInput, 12.0f);
    // Whatever the reply carries in its fields, the panel's values are taken.
    auto payload = ChannelAPayload();
    PutFloatBE(&payload[5], 3.0f);
    PutFloatBE(&payload[13], 1.0f);
    EXPECT_EQ(Meas_DecodeChannelAReply(0, payload.data()), 1u);
    const MeasurementRecord& r = g_Measurement[0];
    EXPECT_FLOAT_EQ(r.primary, -0.12f);
    EXPECT_EQ(Meas_GetFieldWord(0, kPhFieldPrimaryStatus), 0u);
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(0, kPhFieldGlass), 9.999e9f);
    EXPECT_EQ(Meas_GetFieldWord(0, kPhFieldGlassStatus), 0u) << "only channel B marks 9999 invalid";
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(0, kPhFieldReference), 20000.0f);
    EXPECT_EQ(Meas_GetFieldWord(0, kPhFieldReferenceStatus), 0u);
    EXPECT_FLOAT_EQ(r.analogInput, 12.0f);
    // 12 mA is the middle of 4..20 mA on the default range 0..2000.
    EXPECT_FLOAT_EQ(r.analogInputScaled, 1000.0f);
    EXPECT_NEAR(r.temperature, 0.0f, 0.01f);
    EXPECT_FLOAT_EQ(Damped(0), -0.12f);
    EXPECT_FLOAT_EQ(Damped(1), 1000.0f) << "the temperature damping filter holds the element";
    EXPECT_EQ(Meas_GetFieldWord(0, kPhFieldMv), 0u) << "fields of other layouts are left alone";
}

TEST(ChannelADecoder, ConductivityOverflowByte) {
    InitDamping();
    g_MeasuringKind[0] = kKindCond4;
    Panel_SetSimInput(0, kSimCondSignal, 5000.0f);
    auto payload = ChannelAPayload();
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(g_Measurement[0].primary, 5000.0f);
    EXPECT_EQ(Meas_GetFieldWord(0, kCondFieldPrimaryStatus), 0u);
    EXPECT_EQ(g_CondOverflow, 0u);
    payload[13] = 1;
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(g_CondOverflow, 1u);
    EXPECT_EQ(Meas_GetFieldWord(0, kCondFieldPrimaryStatus), 2u);
    uint32_t status = 0;
    Filter_GetChannelValue(0, 0, &status);
    EXPECT_EQ(status, 2u) << "the overflowed value empties the damping filter";
}

TEST(ChannelADecoder, OxygenPolarizationEchoAsksAgainOnlyWhenOff) {
    InitDamping();
    g_MeasuringKind[0] = kKindO2Low;
    g_LinkPolVoltage = -674.0f;
    Panel_SetSimInput(0, kSimSensorCurrent, -35.5f);
    auto payload = ChannelAPayload();
    PutFloatBE(&payload[14], -674.05f);
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(Link_IsRequestPending(18), 0u);
    EXPECT_EQ(g_Measurement[0].primary, -35.5f);
    EXPECT_EQ(Meas_GetFieldWord(0, kO2FieldPrimaryStatus), 0u);
    EXPECT_FLOAT_EQ(Damped(0), -35.5f);
    PutFloatBE(&payload[14], -674.2f);
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(Link_IsRequestPending(18), 1u);
}

TEST(ChannelADecoder, FirstFourRepliesOnlyCount) {
    g_MeasuringKind[0] = kKindPh;
    auto payload = ChannelAPayload();
    Panel_SetSimInput(0, kSimElectrodeVolts, 50.0f);
    for (uint32_t reply = 1; reply <= 4; ++reply) {
        Meas_DecodeChannelAReply(0, payload.data());
        EXPECT_EQ(g_MeasReplyCount[0], reply);
        EXPECT_EQ(g_ChanValueReady[0], 0u);
    }
    // The record is filled all the same: channel A's is never cleared.
    EXPECT_FLOAT_EQ(g_Measurement[0].primary, 0.05f);
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(g_ChanValueReady[0], 1u);
    EXPECT_EQ(g_MeasReplyCount[0], 4u);
    Meas_ResetChannel(0);
    EXPECT_EQ(g_MeasReplyCount[0], 0u);
    EXPECT_EQ(g_ChanValueReady[0], 0u);
}

TEST(ChannelADecoder, KindsWithoutPrimaryAndNoChannel) {
    g_MeasuringKind[0] = kKindO2Gauge;
    g_Measurement[0].primary = 7.0f;
    Panel_SetSimInput(0, kSimSensorCurrent, 1.0f);
    auto payload = ChannelAPayload();
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(g_Measurement[0].primary, 7.0f);
    EXPECT_EQ(g_MeasReplyCount[0], 1u) << "the reply still counts";
    // No channel: nothing is decoded or counted.
    EXPECT_EQ(Meas_DecodeChannelAReply(kChannelNone, payload.data()), 0u);
    EXPECT_EQ(Meas_DecodePhReply(2, payload.data()), 0u);
    EXPECT_EQ(g_MeasReplyCount[0], 1u);
}

TEST(ChannelBDecoder, PhLayoutImpedancesAndTheInvalidMark) {
    InitDamping();
    g_SensorKindDetected[1] = kKindPh;
    Panel_SetSimInput(1, kSimElectrodeVolts, 250.0f);
    Panel_SetSimInput(1, kSimTemperatureB, 31.5f);
    Panel_SetSimInput(1, kSimGlassImpedance, 9999.0f);
    Panel_SetSimInput(1, kSimRefImpedance, 45.7f);
    std::array<uint8_t, 32> payload{};
    EXPECT_EQ(Meas_DecodePhReply(1, payload.data()), 1u);
    EXPECT_FLOAT_EQ(g_Measurement[1].primary, 0.25f);
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldOrpVolts), 0.25f);
    EXPECT_EQ(g_Measurement[1].temperature, 31.5f);
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldGlass), 9.999e9f);
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldGlassStatus), 5u);
    // Entries are truncated to whole kilohm.
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldReference), 45000.0f);
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldReferenceStatus), 0u);
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldMv), 250.0f);
    EXPECT_FLOAT_EQ(Damped(0), 0.25f);
    EXPECT_FLOAT_EQ(Damped(1), 31.5f);

    // pH/pNa: the second input is the pNa glass electrode in megaohm.
    g_SensorKindDetected[1] = kKindPhPna;
    Panel_SetSimInput(1, kSimGlassImpedance, 120.9f);
    Panel_SetSimInput(1, kSimRefImpedance, 9999.0f);
    Meas_DecodePhReply(1, payload.data());
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldGlass), 120e6f);
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldGlassStatus), 0u);
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldPnaGlass), 9.999e9f);
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldPnaGlassStatus), 5u);
    EXPECT_FLOAT_EQ(Meas_GetFieldFloat(1, kPhFieldReference), 45000.0f) << "the reference field keeps its value";

    // Entries that are no number, or beyond any integer, do not overflow the truncation.
    Panel_SetSimInput(1, kSimGlassImpedance, 1e30f);
    Meas_DecodePhReply(1, payload.data());
    EXPECT_GT(Meas_GetFieldFloat(1, kPhFieldGlass), 2e15f);
    Panel_SetSimInput(1, kSimGlassImpedance, std::bit_cast<float>(0x7fc00000u));
    Meas_DecodePhReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldWord(1, kPhFieldGlassStatus), 5u);
}

TEST(ChannelBDecoder, OxygenLayoutSensorWordsAlarmAndGaugeLimits) {
    InitDamping();
    g_SensorKindDetected[1] = kKindO2High;
    Panel_SetSimInput(1, kSimSensorCurrent, -60.0f);
    Panel_SetSimInput(1, kSimTemperatureB, 20.0f);
    std::array<uint8_t, 32> payload{};
    PutU16LE(&payload[0], 4000);                       // raw signal: not used
    PutU16LE(&payload[2], static_cast<uint16_t>(-1234)); // sensor word 1, signed
    PutU16LE(&payload[6], 50000);                      // sensor word 2, unsigned
    g_LinkChanStatus[1] = 100;
    Meas_DecodeOxygenReply(1, payload.data());
    EXPECT_EQ(g_Measurement[1].primary, -60.0f);
    EXPECT_EQ(Meas_GetFieldFloat(1, kO2FieldSensorWord1), -1234.0f);
    EXPECT_EQ(Meas_GetFieldFloat(1, kO2FieldSensorWord2), 50000.0f);
    EXPECT_EQ(Meas_GetFieldWord(1, kO2FieldAlarmStatus), 0u);
    EXPECT_EQ(g_LinkChanStatus[1], 100);
    payload[30] = 0x09;  // sensor alarm and the signal-scale bit
    Meas_DecodeOxygenReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldWord(1, kO2FieldAlarmStatus), 2u);
    EXPECT_EQ(g_LinkChanStatus[1], 3580);
    g_LinkChanStatus[1] = 3600;
    Meas_DecodeOxygenReply(1, payload.data());
    EXPECT_EQ(g_LinkChanStatus[1], 3600) << "raised to at least 3580, never lowered";

    // Kind 8: sensor word 1 further on, and the signal judged against the limits L4 and L5.
    g_SensorKindDetected[1] = kKindO2Gauge;
    PutU16LE(&payload[14], static_cast<uint16_t>(-7));
    Panel_SetSimInput(1, kSimSensorCurrent, 10.5f);
    Meas_DecodeOxygenReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldFloat(1, kO2FieldSensorWord1), -7.0f);
    EXPECT_EQ(Meas_GetFieldWord(1, kO2FieldPrimaryStatus), 2u);
    Panel_SetSimInput(1, kSimSensorCurrent, -100001.0f);
    Meas_DecodeOxygenReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldWord(1, kO2FieldPrimaryStatus), 3u);
    Panel_SetSimInput(1, kSimSensorCurrent, -500.0f);
    Meas_DecodeOxygenReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldWord(1, kO2FieldPrimaryStatus), 0u);
    uint32_t status = 0;
    EXPECT_EQ(Filter_GetPrevious(&g_DampFilters[0], 0, &status), -500.0f);
    EXPECT_EQ(Filter_GetCount(&g_DampFilters[0]), 6u);
}

TEST(ChannelBDecoder, ConductivityLayoutRangeByte) {
    InitDamping();
    Panel_SetSimInput(1, kSimCondSignal, 707.7f);
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    std::array<uint8_t, 32> payload{};
    payload[31] = 0x14;
    Meas_SetFieldWord(1, kCondFieldPrimaryStatus, 7);
    Meas_DecodeCondReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldWord(1, kCondFieldRangeByte), 0x14u);
    EXPECT_FLOAT_EQ(g_Measurement[1].primary, 707.7f);
    EXPECT_EQ(g_Measurement[1].temperature, 25.0f);
    EXPECT_EQ(Meas_GetFieldWord(1, kCondFieldPrimaryStatus), 7u) << "no status field is written";
    EXPECT_FLOAT_EQ(Damped(0), 707.7f);
}

TEST(BoardCalTable, WireOrderIntoTheTable) {
    std::array<uint8_t, 108> payload{};
    for (uint32_t i = 0; i < 27; ++i) PutFloatBE(&payload[4 * i], static_cast<float>(i));
    EXPECT_EQ(g_BoardCalReceived, 0);
    EXPECT_EQ(g_BoardCalTable[0], 0.0f);
    EXPECT_EQ(Meas_DecodeBoardCalTable(0, payload.data()), 1u);
    EXPECT_EQ(g_BoardCalReceived, 1);
    // a[0..4] from the even wire floats of the pairs, b[0..4] from the odd ones.
    const float expected[27] = {0, 2, 4, 6, 8, 1, 3, 5, 7, 9, 10, 11, 12, 13, 14, 15, 17, 16, 18,
                                19, 20, 21, 22, 23, 24, 25, 26};
    for (uint32_t i = 0; i < 27; ++i) EXPECT_EQ(g_BoardCalTable[i], expected[i]) << "entry " << i;
}

TEST(ReplyBytes, LittleEndianAndWordSwappedFields) {
    const uint8_t u16[2] = {0x34, 0x12};
    EXPECT_EQ(Meas_GetU16LE(u16), 0x1234);
    const uint8_t i16[2] = {0xFE, 0xFF};
    EXPECT_EQ(Meas_GetI16LE(i16), -2);
    // 1.5f is 0x3FC00000.
    const uint8_t le[4] = {0x00, 0x00, 0xC0, 0x3F};
    EXPECT_EQ(Meas_GetFloatLE(le), 1.5f);
    const uint8_t swapped[4] = {0xC0, 0x3F, 0x00, 0x00};
    EXPECT_EQ(Meas_GetFloatWordSwapped(swapped), 1.5f);
}

TEST(SensorKind, SetAndForceKind) {
    Chan_SetKind(1, kKindO2Low);
    EXPECT_EQ(g_SensorKindDetected[1], kKindO2Low);
    EXPECT_EQ(g_SensorKindActive[1], kKindNone) << "a usable kind is only requested";
    g_SensorMemLayout[1] = kLayoutOxygen;
    Chan_SetKind(1, kKindNoSensor);
    EXPECT_EQ(g_SensorKindActive[1], kKindNoSensor);
    EXPECT_EQ(g_SensorMemLayout[1], kLayoutNone);
    Chan_ForceKind(1, kKindCond2);
    EXPECT_EQ(g_SensorKindActive[1], kKindCond2);
    EXPECT_EQ(g_SensorKindDetected[1], kKindCond2);
    EXPECT_EQ(Chan_IsProtocolSensorPresent(1), 0u);
    g_SensorProtoFlag[1] = 1;
    EXPECT_EQ(Chan_IsProtocolSensorPresent(1), 1u);
    Chan_ForceKind(1, kKindNone);
    EXPECT_EQ(g_SensorMemLayout[1], kLayoutNone);
    EXPECT_EQ(Chan_IsProtocolSensorPresent(1), 0u);
    Chan_SetKind(kChannelNone, kKindPh);
    EXPECT_EQ(Chan_GetMeasuringKind(kChannelNone), kKindNone);
}
