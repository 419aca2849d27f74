// Parameters by number: every number reaches its module's value in both directions, the slope
// and zero selectors, the read-only and unknown numbers, the optical sensor's copies, and the
// board calibration constants by code.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

#include "core/eeprom.h"
#include "core/link.h"
#include "core/param.h"
#include "core/util.h"
#include "digital_sensor/sens_cmd.h"
#include "measurement/analog_input.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/conductivity.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/temperature.h"
#include "outputs/aout.h"
#include "rig.h"

namespace {
float GetFloat(uint32_t channel, uint32_t number, uint32_t selector = 0) {
    uint32_t status = 99;
    float value = Param_GetFloat(channel, number, selector, &status);
    EXPECT_EQ(status, 0u) << "parameter " << number << " selector " << selector;
    return value;
}

void SetFloat(uint32_t channel, uint32_t number, float value, uint32_t selector = 0) {
    uint32_t status = 99;
    Param_SetFloat(channel, number, selector, value, &status);
    EXPECT_EQ(status, 0u) << "parameter " << number << " selector " << selector;
}

uint32_t GetInt(uint32_t channel, uint32_t number) {
    uint32_t status = 99;
    uint32_t value = Param_GetInt(channel, number, &status);
    EXPECT_EQ(status, 0u) << "parameter " << number;
    return value;
}

void SetInt(uint32_t channel, uint32_t number, uint32_t value) {
    uint32_t status = 99;
    Param_SetInt(channel, number, value, &status);
    EXPECT_EQ(status, 0u) << "parameter " << number;
}

// The sensor command items queued on the link, in order, taken off the queue.
std::vector<uint8_t> TakeItems() {
    std::vector<uint8_t> items;
    for (uint8_t item = Link_TakeNextItem(1); item != 255; item = Link_TakeNextItem(1)) items.push_back(item);
    return items;
}
}  // namespace

TEST(Params, EveryFloatParameterReachesItsModule) {
    Rig_OpenFreshStore();
    // Each is written through its number and read both through its number and its module.
    SetFloat(1, 0, -0.004f);
    EXPECT_EQ(CalPh_GetStcCoefficient(1), -0.004f);
    SetFloat(1, 1, 6.8f);
    EXPECT_EQ(CalPh_GetIsoPoint(1), 6.8f);
    SetFloat(2, 4, 0.025f);
    EXPECT_EQ(CalCond_GetTempCompCoefficient(2), 0.025f) << "parameter 4 is per slot";
    SetFloat(0, 6, 42.5f);
    EXPECT_EQ(Temp_GetManualValue(0), 42.5f);
    SetFloat(1, 22, 980.0f);
    EXPECT_EQ(CalO2_GetCalPressure(1), 980.0f);
    SetFloat(1, 23, 1100.0f);
    EXPECT_EQ(CalO2_GetProcPressure(1), 1100.0f);
    SetFloat(1, 24, 0.8f);
    EXPECT_EQ(CalO2_GetRelHumidity(1), 0.8f);
    SetFloat(1, 25, 12.0f);
    EXPECT_EQ(CalO2_GetSalinity(1), 12.0f);
    SetFloat(0, 27, 20.0f);
    EXPECT_EQ(CalPh_GetStcRefTemp(0), 20.0f);
    SetFloat(1, 37, 1050.0f);
    EXPECT_EQ(CalPh_GetCo2Pressure(1), 1050.0f);
    SetFloat(1, 38, 30.0f);
    EXPECT_EQ(CalPh_GetCo2Salinity(1), 30.0f);
    SetFloat(1, 39, 0.04f);
    EXPECT_EQ(CalPh_GetCo2Bicarbonate(1), 0.04f);
    SetFloat(1, 41, 60.0f);
    SetFloat(0, 48, 100.0f);
    SetFloat(0, 49, 3000.0f);
    EXPECT_EQ(Meas_GetAnalogInputRange(0), 100.0f);
    EXPECT_EQ(Meas_GetAnalogInputRange(1), 3000.0f);
    const std::array<std::pair<uint32_t, float>, 11> channelB = {{{0, -0.004f},
                                                                  {1, 6.8f},
                                                                  {22, 980.0f},
                                                                  {23, 1100.0f},
                                                                  {24, 0.8f},
                                                                  {25, 12.0f},
                                                                  {37, 1050.0f},
                                                                  {38, 30.0f},
                                                                  {39, 0.04f},
                                                                  {41, 60.0f},
                                                                  {45, 0.0f}}};
    for (const auto& [number, value] : channelB) EXPECT_EQ(GetFloat(1, number), value) << number;
    EXPECT_EQ(GetFloat(0, 6), 42.5f);
    EXPECT_EQ(GetFloat(0, 27), 20.0f);
    EXPECT_EQ(GetFloat(0, 48), 100.0f);
    EXPECT_EQ(GetFloat(0, 49), 3000.0f);
    EXPECT_EQ(GetFloat(2, 4), 0.025f);
    // The analog outputs' calibration ratios are read only.
    EXPECT_EQ(GetFloat(1, 11), Aout_GetGainRatio(1));
    EXPECT_EQ(GetFloat(0, 12), Aout_GetOffsetDelta(0));
    SetFloat(1, 11, 5.0f);
    EXPECT_EQ(GetFloat(1, 11), Aout_GetGainRatio(1));
    // A value stored as minus zero reads plus zero; one that is not finite reads 0.0.
    SetFloat(1, 0, -0.0f);
    EXPECT_FALSE(std::signbit(GetFloat(1, 0)));
    g_SensorCal[1].stcRefTemp = INFINITY;
    EXPECT_EQ(GetFloat(1, 27), 0.0f);
    // Numbers without a parameter.
    EXPECT_EQ(GetFloat(1, 99), 0.0f);
    SetFloat(1, 99, 5.0f);
}

TEST(Params, SlopeAndZeroBySelector) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    CalO2_ResetToFactory(0, &status);
    CalCond_SetDefaults(&status);
    // Selector 0 and 10: the pH slope in percent and zero point in pH; with the display options,
    // mV/pH at 25 C and the zero in mV.
    SetFloat(1, 7, 95.0f, 0);
    EXPECT_NEAR(CalPh_GetSlopePercent(1), 95.0f, 1e-4f);
    EXPECT_NEAR(GetFloat(1, 14, 10), 95.0f, 1e-4f);
    SetFloat(1, 8, 6.9f, 10);
    EXPECT_NEAR(CalPh_GetZeroPointPh(1), 6.9f, 1e-5f);
    CalPh_SetSlopeUnitFlag(0, 1, &status);
    CalPh_SetOffsetUnitFlag(0, 1, &status);
    EXPECT_NEAR(GetFloat(1, 7, 0), 0.95f * 59.16f, 1e-3f);
    SetFloat(1, 7, 56.0f, 0);
    EXPECT_NEAR(CalPh_GetSlopePercent(1), 56.0f / 0.5916f, 1e-3f);
    EXPECT_NEAR(GetFloat(1, 15, 0), CalPh_GetZeroValue(1), 1e-5f);
    SetFloat(1, 8, -12.0f, 0);
    EXPECT_EQ(CalPh_GetZeroValue(1), -12.0f);
    // Selector 13: the CO2 electrode, its options read as the pH electrode's: mV/pH with the
    // first (set now), else %; mV with the second, else pH.
    CalPh_LoadCo2Settings(1, 1, &status);
    EXPECT_NEAR(GetFloat(1, 7, 13), 59.16f, 1e-4f);
    SetFloat(1, 7, 56.202f, 13);
    EXPECT_NEAR(CalPh_GetCo2SlopeMv(1), 56.202f, 1e-3f);
    SetFloat(1, 8, 5.916f, 13);
    EXPECT_NEAR(CalPh_GetCo2Zero(1), 7.1f, 1e-5f);
    EXPECT_NEAR(GetFloat(1, 15, 13), (7.1f - 7.0f) * 56.202f, 1e-3f);
    CalPh_SetSlopeUnitFlag(0, 0, &status);
    CalPh_SetOffsetUnitFlag(0, 0, &status);
    EXPECT_NEAR(GetFloat(1, 7, 13), 95.0f, 1e-3f);
    SetFloat(1, 7, 90.0f, 13);
    EXPECT_NEAR(CalPh_GetCo2SlopeMv(1), 53.244f, 1e-3f);
    SetFloat(1, 8, 6.95f, 13);
    EXPECT_NEAR(GetFloat(1, 8, 13), 6.95f, 1e-6f);
    // Selector 2: cell constant and zero offset.
    SetFloat(0, 14, 0.47f, 2);
    SetFloat(0, 15, 1.5f, 2);
    EXPECT_EQ(CalCond_GetCellConstant(0), 0.47f);
    EXPECT_EQ(CalCond_GetZeroOffset(0), 1.5f);
    EXPECT_EQ(GetFloat(0, 7, 2), 0.47f);
    // Selector 3: the oxygen slope at air and the zero current, both negated.
    g_MeasuringKind[0] = kKindO2Low;
    SetFloat(0, 7, -310.0f, 3);
    EXPECT_NEAR(CalO2_GetSlopeAtAir(0), 310.0f, 1e-3f);
    EXPECT_NEAR(GetFloat(0, 14, 3), -310.0f, 1e-3f);
    SetFloat(0, 8, -0.3f, 3);
    EXPECT_NEAR(CalO2_GetZeroMicro(0), 0.3f, 1e-6f);
    EXPECT_NEAR(GetFloat(0, 15, 3), -0.3f, 1e-6f);
    // Selector 6: the temperature calibration.
    SetFloat(0, 7, 1.02f, 6);
    SetFloat(0, 8, -0.5f, 6);
    EXPECT_EQ(Temp_GetSlope(0), 1.02f);
    EXPECT_EQ(Temp_GetOffset(0), -0.5f);
    EXPECT_EQ(GetFloat(0, 8, 6), -0.5f);
    // Selector 8: the optical sensor's own slope and zero, read only.
    g_SensorParams[1].p[kSensParamSlope] = 0.93f;
    g_SensorParams[1].p[kSensParamZero] = 0.02f;
    EXPECT_EQ(GetFloat(1, 7, 8), 0.93f);
    EXPECT_EQ(GetFloat(1, 15, 8), 0.02f);
    SetFloat(1, 7, 0.5f, 8);
    EXPECT_EQ(GetFloat(1, 7, 8), 0.93f);
    // Selectors 1, 5 and 14: a nominal slope of 1 and no zero, not settable.
    for (uint32_t selector : {1u, 5u, 14u}) {
        EXPECT_EQ(GetFloat(0, 7, selector), 1.0f);
        EXPECT_EQ(GetFloat(0, 8, selector), 0.0f);
        SetFloat(0, 7, 2.0f, selector);
        EXPECT_EQ(GetFloat(0, 14, selector), 1.0f);
    }
    // Any other selector: status 2 and 0.0, and nothing is set.
    for (uint32_t number : {7u, 8u, 14u, 15u}) {
        EXPECT_EQ(Param_GetFloat(0, number, 4, &status), 0.0f);
        EXPECT_EQ(status, 2u);
        Param_SetFloat(0, number, 9, 3.0f, &status);
        EXPECT_EQ(status, 2u);
    }
    EXPECT_EQ(CalCond_GetCellConstant(0), 0.47f);
}

TEST(Params, EveryIntParameterReachesItsModule) {
    Rig_OpenFreshStore();
    SetInt(1, 2, 0);
    EXPECT_EQ(Chan_GetMeasureFlag(1), 0);
    SetInt(1, 2, 1);
    EXPECT_EQ(GetInt(1, 2), 1u);
    SetInt(1, 3, 7);
    EXPECT_EQ(CalCond_GetTempCompMode(1), 7) << "parameter 3 is per slot";
    EXPECT_EQ(GetInt(1, 3), 7u);
    SetInt(0, 5, 3);
    EXPECT_EQ(Temp_GetSourceMode(0), 3);
    EXPECT_EQ(GetInt(0, 5), 3u);
    SetInt(3, 20, 2);
    EXPECT_EQ(Filter_GetMode(3), 2);
    EXPECT_EQ(GetInt(3, 20), 2u);
    SetInt(1, 21, 3);
    EXPECT_EQ(CalPh_GetBufferSet(1), 3);
    EXPECT_EQ(GetInt(1, 21), 3u);
    SetInt(1, 26, 0);
    EXPECT_EQ(CalPh_GetStcMode(1), 0);
    EXPECT_EQ(GetInt(1, 26), 0u);
    SetInt(0, 28, 1);
    EXPECT_EQ(CalO2_GetPressureSource(1), 1);
    EXPECT_EQ(GetInt(0, 28), 1u);
    SetInt(0, 29, 1);
    SetInt(0, 30, 1);
    EXPECT_EQ(CalPh_GetSlopeUnitFlag(1), 1);
    EXPECT_EQ(GetInt(1, 30), 1u);
    SetInt(1, 33, 2);
    EXPECT_EQ(Cal_GetDriftControl(1), 2);
    EXPECT_EQ(GetInt(1, 33), 2u);
    SetInt(1, 46, 1);
    EXPECT_EQ(g_SensorParams[1].flag, 1);
    EXPECT_EQ(GetInt(1, 46), 1u);
    SetInt(0, 47, 1);
    EXPECT_EQ(Meas_GetAnalogInputMode(), 1);
    EXPECT_EQ(GetInt(0, 47), 1u);
    SetInt(0, 50, 0);
    SetInt(0, 51, 4);
    EXPECT_EQ(Meas_GetAnalogInputUnit(0), 0);
    EXPECT_EQ(GetInt(0, 51), 4u);
    // The stability state and time are read only.
    EXPECT_EQ(GetInt(0, 31), Filter_GetStabilityState());
    EXPECT_EQ(GetInt(0, 32), Filter_IsStabilityTimeUp());
    SetInt(0, 31, 1);
    EXPECT_EQ(GetInt(0, 31), Filter_GetStabilityState());
    // Parameter 53: channel B's sensor value in whole units; a change is stored and sent.
    SetInt(1, 53, 12);
    EXPECT_EQ(GetInt(1, 53), 12u);
    EXPECT_EQ(g_SensorProtocol[1].g133Value, 12000.0f);
    EXPECT_EQ(Rig_StoreBytes()[893], 12);
    // A number without a parameter changes nothing and reads 0.
    std::vector<uint8_t> before = Rig_StoreBytes();
    SetInt(1, 99, 5);
    EXPECT_EQ(GetInt(1, 99), 0u);
    EXPECT_EQ(Rig_StoreBytes(), before);
    // A value beyond a byte is refused rather than cut (256 would arrive as 0).
    uint32_t status = 0;
    Param_SetInt(1, 21, 256, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalPh_GetBufferSet(1), 3);
}

TEST(Params, OpticalSensorCopiesAndItsTwoWords) {
    Rig_OpenFreshStore();
    Link_ClearItems();
    g_CurrentChannel = 1;
    // Another sensor kind: the medium is set, the sensor is left alone.
    SetFloat(1, 23, 1020.0f);
    EXPECT_TRUE(TakeItems().empty());
    SetInt(1, 42, 1);
    EXPECT_EQ(g_SensorParams[1].optionWord, 0);
    // The optical sensor: pressure and salinity are sent when they move by more than 0.005.
    g_SensorKindActive[1] = kKindO2Optical;
    SetFloat(1, 23, 1020.004f);
    EXPECT_EQ(g_SensorParams[1].p[kSensParamProcessPressure], 1020.004f);
    EXPECT_EQ(TakeItems(), std::vector<uint8_t>{kSensCmdS131});
    SetFloat(1, 23, 1020.008f);
    EXPECT_TRUE(TakeItems().empty());
    SetFloat(1, 25, 5.0f);
    EXPECT_EQ(g_SensorParams[1].p[kSensParamSalinity], 5.0f);
    EXPECT_EQ(TakeItems(), std::vector<uint8_t>{kSensCmdS131});
    // Parameter 41 with its own limit; 45 always.
    SetFloat(1, 41, 55.0f);
    EXPECT_EQ(g_SensorParams[1].p[kSensParamG540Value], 55.0f);
    EXPECT_EQ(TakeItems(), std::vector<uint8_t>{kSensCmdS540});
    SetFloat(1, 41, 55.0004f);
    EXPECT_TRUE(TakeItems().empty());
    SetFloat(1, 45, 55.0f);
    EXPECT_EQ(TakeItems(), std::vector<uint8_t>{kSensCmdS540});
    // The two words: 42 sets both, 43 the second, each change sent; 44 always.
    SetInt(1, 42, 2);
    EXPECT_EQ(GetInt(1, 42), 2u);
    EXPECT_EQ(GetInt(1, 43), 2u);
    EXPECT_EQ(TakeItems(), std::vector<uint8_t>{kSensCmdS510});
    SetInt(1, 42, 2);
    EXPECT_TRUE(TakeItems().empty());
    SetInt(1, 43, 4);
    EXPECT_EQ(GetInt(1, 42), 2u);
    EXPECT_EQ(GetInt(1, 43), 4u);
    EXPECT_EQ(TakeItems(), std::vector<uint8_t>{kSensCmdS510});
    SetInt(1, 44, 4);
    EXPECT_EQ(GetInt(1, 42), 4u);
    EXPECT_EQ(TakeItems(), std::vector<uint8_t>{kSensCmdS510});
}

TEST(Params, BoardCalibrationConstantsByCode) {
    Rig_OpenFreshStore();
    uint32_t status = 99;
    // Before any table: 0.0.
    EXPECT_EQ(Param_GetValueByCode(0, 100, 0, &status), 0.0f);
    EXPECT_EQ(status, 0u);
    // A board at its defaults: factors 1, offsets 0.
    std::array<uint8_t, 108> payload{};
    auto put = [&](uint32_t i, float value) { Util_PutFloatBE(value, payload.data() + 4 * i); };
    for (uint32_t i = 0; i < 5; ++i) {
        put(2 * i, 1.0f);
        put(2 * i + 1, 0.0f);
    }
    // Distinct values elsewhere, each where its code reads it.
    for (uint32_t i = 10; i < 27; ++i) put(i, 100.0f + static_cast<float>(i));
    Meas_DecodeBoardCalTable(0, payload.data());
    for (uint32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(Param_GetValueByCode(0, 100, i, &status), 1.0f) << i;
        EXPECT_EQ(Param_GetValueByCode(0, 101, i, &status), 0.0f) << i;
    }
    const std::array<std::pair<uint32_t, float>, 14> singles = {{{102, 110.0f},
                                                                 {103, 111.0f},
                                                                 {106, 112.0f},
                                                                 {107, 113.0f},
                                                                 {108, 114.0f},
                                                                 {109, 119.0f},
                                                                 {110, 120.0f},
                                                                 {111, 121.0f},
                                                                 {112, 122.0f},
                                                                 {113, 123.0f},
                                                                 {114, 124.0f},
                                                                 {120, 125.0f},
                                                                 {121, 126.0f},
                                                                 {115, 0.0f}}};
    for (const auto& [code, value] : singles) EXPECT_EQ(Param_GetValueByCode(0, code, 0, &status), value) << code;
    // The pairs of the input lines: wire order d0, e0, d1, e1.
    EXPECT_EQ(Param_GetValueByCode(0, 104, 0, &status), 115.0f);
    EXPECT_EQ(Param_GetValueByCode(0, 105, 0, &status), 116.0f);
    EXPECT_EQ(Param_GetValueByCode(0, 104, 1, &status), 117.0f);
    EXPECT_EQ(Param_GetValueByCode(0, 105, 1, &status), 118.0f);
    EXPECT_EQ(Param_GetValueByCode(0, 104, 2, &status), 0.0f) << "no third line";
    EXPECT_EQ(Param_GetValueByCode(0, 100, 5, &status), 0.0f) << "no sixth range";
    // The analog outputs' ratios; other codes 0.0; every code status 0.
    EXPECT_EQ(Param_GetValueByCode(0, 118, 1, &status), Aout_GetGainRatio(1));
    EXPECT_EQ(Param_GetValueByCode(0, 119, 0, &status), Aout_GetOffsetDelta(0));
    for (uint32_t code : {99u, 116u, 117u, 122u}) {
        EXPECT_EQ(Param_GetValueByCode(0, code, 0, &status), 0.0f) << code;
        EXPECT_EQ(status, 0u);
    }
}
