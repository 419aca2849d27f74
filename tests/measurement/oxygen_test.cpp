// Amperometric oxygen: values by unit at 25 C and 1013 mbar, salinity, the slope and zero
// calibrations by point kind with channel B's limits, slope and zero by measuring kind in the
// store, the load rules, the kind-8 limits, the analog input as the pressure, and the data set.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include "core/eeprom.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/analog_input.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/co2_chem.h"
#include "measurement/decoders.h"
#include "measurement/meas.h"
#include "measurement/o2_chem.h"
#include "measurement/oxygen.h"
#include "rig.h"
#include "sim/sim_inputs.h"

namespace {
// Oxygen partial pressure (mbar) of water-saturated air at 1013 mbar and 25 C.
const float kAirOxygen25 = (1013.0f - 31.671572f) * 0.2095f;

// A fresh store and channel A on the given oxygen kind with its factory calibration.
void FreshO2Channel(uint16_t kind) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    CalO2_ResetToFactory(0, &status);
    g_MeasuringKind[0] = g_MeasuringKind[1] = kind;
    CalO2_LoadAll(0, 1, &status);
    CalO2_LoadAll(1, 1, &status);
    g_Measurement[0].temperature = g_Measurement[1].temperature = 25.0f;
}

void SetPoint(uint32_t channel, uint32_t i, uint8_t kind, float reference, float current, float t) {
    CalInUseO2& u = g_CalInUse[channel].o2;
    u.pointKind[i] = kind;
    u.pointRef[i] = reference;
    u.pointCurrent[i] = current;
    u.pointTemp[i] = t;
    u.calPressure = 1013.0f;
}
}  // namespace

TEST(O2Values, UnitsAtTwentyFiveDegreesAnd1013Mbar) {
    FreshO2Channel(kKindO2High);
    uint32_t status = 99;
    const float slope = CalO2_GetNominalSlope(kKindO2High);
    EXPECT_NEAR(slope * kAirOxygen25, 70000.0f, 0.5f);
    // The base value of air-saturated water: 100 % of air saturation, 20.3 % of the gas.
    const float air = 70000.0f;
    EXPECT_NEAR(CalO2_ToSaturation(0, 19, air, 1013.0f, &status), 100.0f, 0.01f);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalO2_ToSaturation(0, 20, air, 1013.0f, &status), 20.95f, 0.01f) << "percent of pure oxygen";
    EXPECT_NEAR(CalO2_ToUnit22(0, air, 1013.0f, &status), 20.95f * 981.328f / 1013.0f, 0.01f);
    EXPECT_EQ(status, 0u);
    // 2030 ppm of gas is far above the 9999 the ppm reading shows.
    EXPECT_NEAR(CalO2_ToUnit21(0, air * 0.01f, 1013.0f, &status), 2029.5f, 0.5f);
    EXPECT_EQ(status, 0u);
    CalO2_ToUnit21(0, air * 0.05f, 1013.0f, &status);
    EXPECT_EQ(status, 2u);
    // Concentration of air-saturated fresh water at 25 C; sea water (salinity 35) holds less.
    EXPECT_NEAR(CalO2_ToConcentration(0, air, &status), CalO2_GetSolubility(25.0f, 0.0f), 1e-3f);
    EXPECT_NEAR(CalO2_ToConcentration(0, air, &status), 8.24f, 0.03f);
    CalO2_SetSalinity(0, 35.0f, &status);
    EXPECT_NEAR(CalO2_ToConcentration(0, air, &status), 6.77f, 0.05f);
    // The air at a lower pressure holds less oxygen: the same current is more saturation.
    EXPECT_NEAR(CalO2_ToSaturation(0, 19, air, 913.0f, &status), 100.0f * 981.328f / 881.328f, 0.02f);
    // Range: "O2 hi" reads up to 500 % and 50 mg/L, other kinds 200 % and 20 mg/L.
    CalO2_ToSaturation(0, 19, air * 4.5f, 1013.0f, &status);
    EXPECT_EQ(status, 0u);
    CalO2_ToSaturation(0, 19, air * 5.5f, 1013.0f, &status);
    EXPECT_EQ(status, 2u);
    CalO2_ToSaturation(0, 20, air * 10.0f, 1013.0f, &status);
    EXPECT_EQ(status, 2u) << "pure oxygen's bound is 200 % on every kind";
    g_MeasuringKind[0] = kKindO2Low;
    CalO2_ToSaturation(0, 19, air * 2.5f, 1013.0f, &status);
    EXPECT_EQ(status, 2u);
    // Below zero: a little reads 0.0, more is status 3.
    EXPECT_EQ(CalO2_ToSaturation(0, 19, -air * 0.002f, 1013.0f, &status), 0.0f);
    EXPECT_EQ(status, 0u);
    CalO2_ToSaturation(0, 19, -air * 0.01f, 1013.0f, &status);
    EXPECT_EQ(status, 3u);
    CalO2_ToUnit22(0, -10.0f, 1013.0f, &status);
    EXPECT_EQ(status, 3u);
    // A slope of zero leaves nothing to divide by.
    g_SensorCal[0].second = 0.0f;
    EXPECT_EQ(CalO2_ToSaturation(0, 19, air, 1013.0f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalO2_ToConcentration(0, air, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}

TEST(O2Calibration, SlopeAndZeroByPointKind) {
    FreshO2Channel(kKindO2Low);
    uint32_t status = 0;
    CalInUseO2& u = g_CalInUse[0].o2;
    // Kind 11, 100 % in water-saturated air at 1013 mbar and 25 C.
    SetPoint(0, 0, kO2PointAirPercent, 100.0f, 60000.0f, 25.0f);
    CalO2_Calibrate(0, 0, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(u.slope, 60000.0f / ((1013.0f - CalPh_GetWaterVapourPressure(25.0f)) * 0.2095f), 0.01f);
    // In dry gas (humidity 0) the same current means a smaller slope.
    CalO2_SetRelHumidity(0, 0.0f, &status);
    CalO2_Calibrate(0, 0, kCalModeTwoPoints, &status);
    EXPECT_NEAR(u.slope, 60000.0f / (1013.0f * 0.2095f), 0.01f);
    // A process calibration takes the gas as saturated whatever the humidity.
    CalO2_Calibrate(0, 0, kCalModeProcess, &status);
    EXPECT_NEAR(u.slope, 60000.0f / kAirOxygen25, 0.01f);
    CalO2_SetRelHumidity(0, 1.0f, &status);
    // Kind 100: percent of saturation with pure oxygen.
    SetPoint(0, 0, kO2PointOxygenPercent, 50.0f, 60000.0f, 25.0f);
    CalO2_Calibrate(0, 0, kCalModeTwoPoints, &status);
    EXPECT_NEAR(u.slope, 60000.0f / (981.328f * 0.5f), 0.02f);
    // Kinds 101 and 102: percent and ppm of the gas at the calibration pressure.
    SetPoint(0, 0, kO2PointGasPercent, 20.95f, 60000.0f, 25.0f);
    CalO2_Calibrate(0, 0, kCalModeTwoPoints, &status);
    EXPECT_NEAR(u.slope, 60000.0f * 100.0f / (1013.0f * 20.95f), 0.01f);
    SetPoint(0, 0, kO2PointGasPpm, 1000.0f, 300.0f, 25.0f);
    CalO2_Calibrate(0, 0, kCalModeTwoPoints, &status);
    EXPECT_NEAR(u.slope, 300.0f * 1e6f / (1013.0f * 1000.0f), 0.001f);
    // Kind 13: 8.24 mg/L at 25 C is air-saturated fresh water: the slope of kind 11 at 100 %.
    SetPoint(0, 0, kO2PointMilligram, CalO2_GetSolubility(25.0f, 0.0f), 60000.0f, 25.0f);
    CalO2_Calibrate(0, 0, kCalModeTwoPoints, &status);
    EXPECT_NEAR(u.slope, 60000.0f / kAirOxygen25, 0.05f);
    SetPoint(0, 0, kO2PointMicrogram, 1000.0f * CalO2_GetSolubility(25.0f, 0.0f), 60000.0f, 25.0f);
    CalO2_Calibrate(0, 0, kCalModeTwoPoints, &status);
    EXPECT_NEAR(u.slope, 60000.0f / kAirOxygen25, 0.05f);
    // Refused: an unknown kind (132), a reference of 0 % (status 2), a point outside the kind's
    // temperature range. Each leaves the stored calibration in use.
    const float stored = g_SensorCal[0].second;
    SetPoint(0, 0, 99, 100.0f, 60000.0f, 25.0f);
    CalO2_Calibrate(0, 0, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, kO2PointKindUnknown);
    EXPECT_EQ(u.slope, stored);
    SetPoint(0, 0, kO2PointAirPercent, 0.0f, 60000.0f, 25.0f);
    CalO2_Calibrate(0, 0, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(u.slope, stored);
    SetPoint(0, 0, kO2PointAirPercent, 100.0f, 60000.0f, 300.0f);
    CalO2_Calibrate(0, 0, kCalModeTwoPoints, &status);
    EXPECT_NE(status, 0u);

    // Zero: the current of a point with no oxygen, or what is left after the slope's part.
    SetPoint(0, 1, kO2PointAirPercent, 0.0f, 400.0f, 25.0f);
    CalO2_Calibrate(0, 1, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(u.zero, 400.0f);
    EXPECT_EQ(CalO2_GetZeroInUseMicro(0), 0.4f);
    SetPoint(0, 1, kO2PointAirPercent, 10.0f, 400.0f + 0.1f * stored * kAirOxygen25, 25.0f);
    CalO2_Calibrate(0, 1, kCalModeTwoPoints, &status);
    EXPECT_NEAR(u.zero, 400.0f, 0.05f);
    SetPoint(0, 1, kO2PointMilligram, 0.1f * CalO2_GetSolubility(25.0f, 0.0f),
             400.0f + 0.1f * stored * 0.2095f * (1013.0f - 31.671572f), 25.0f);
    CalO2_Calibrate(0, 1, kCalModeTwoPoints, &status);
    EXPECT_NEAR(u.zero, 400.0f, 0.05f);
    SetPoint(0, 1, kO2PointGasPpm, 10.0f, 400.0f + 10.0f * stored * 1013.0f / 1e6f, 25.0f);
    CalO2_Calibrate(0, 1, kCalModeTwoPoints, &status);
    EXPECT_NEAR(u.zero, 400.0f, 0.01f);
}

TEST(O2Calibration, ChannelBLimitsAndTheSlopeAtAir) {
    FreshO2Channel(kKindO2Low);
    uint32_t status = 0;
    // The slope at air and back.
    CalO2_SetSlopeFromAir(0, 321.5f);
    EXPECT_NEAR(CalO2_GetSlopeAtAir(0), 321.5f, 1e-3f);
    EXPECT_NEAR(g_SensorCal[0].second, 321.5f * 1000.0f / 205.5883f, 0.01f);
    CalO2_SetSlope(0, 0.0f, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_NEAR(CalO2_GetSlopeAtAir(0), 321.5f, 1e-3f);
    // Channel B's zero: 8190 thousandths accepted, 8190.5 not; channel A has no limit.
    CalInUseO2& b = g_CalInUse[1].o2;
    SetPoint(1, 1, kO2PointAirPercent, 0.0f, 8190.0f, 25.0f);
    CalO2_Calibrate(1, 1, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, 0u);
    SetPoint(1, 1, kO2PointAirPercent, 0.0f, 8190.5f, 25.0f);
    CalO2_Calibrate(1, 1, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(b.zero, 8190.5f);
    SetPoint(0, 1, kO2PointAirPercent, 0.0f, 9000.0f, 25.0f);
    CalO2_Calibrate(0, 1, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, 0u);
    // Channel B's slope at air, negated: -10000 .. 16214.2, or for a "ppmO2 G" sensor -121072 .. 10.
    b.slope = -16000.0f * 1000.0f / 205.5883f;
    CalO2_CheckSlopeAtAir(1, &status);
    EXPECT_EQ(status, 0u);
    b.slope = 9999.0f * 1000.0f / 205.5883f;
    CalO2_CheckSlopeAtAir(1, &status);
    EXPECT_EQ(status, 0u);
    b.slope = 10001.0f * 1000.0f / 205.5883f;
    CalO2_CheckSlopeAtAir(1, &status);
    EXPECT_EQ(status, 2u);
    g_SensorKindActive[1] = kKindO2Gauge;
    CalO2_CheckSlopeAtAir(1, &status);
    EXPECT_EQ(status, 0u);
    b.slope = 0.0f;
    CalO2_CheckSlopeAtAir(1, &status);
    EXPECT_EQ(status, 2u);
    b.slope = -11.0f * 1000.0f / 205.5883f;
    CalO2_CheckSlopeAtAir(1, &status);
    EXPECT_EQ(status, 2u);
}

TEST(O2Store, SlopeAndZeroByKindLoadRulesAndKind8Limits) {
    FreshO2Channel(kKindO2Gauge);
    uint32_t status = 0;
    // "ppmO2 G" keeps its calibration at 696 and 688, and reads it back from there.
    CalO2_SetSlope(0, 1234.5f, &status);
    CalO2_SetZero(0, -0.25f);
    EXPECT_EQ(Rig_StoredFloat(696), 1234.5f);
    EXPECT_EQ(Rig_StoredFloat(688), -250.0f);
    g_CalInUse[0].o2.pointKind[0] = kO2PointMilligram;
    g_CalInUse[0].o2.pointRef[0] = 7.5f;
    CalO2_StoreCal(0, &status);
    EXPECT_EQ(status, 0u);
    Cal_ResetState();
    CalO2_LoadAll(0, 1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(g_SensorCal[0].second, 1234.5f);
    EXPECT_EQ(g_CalInUse[0].o2.zero, -250.0f);
    EXPECT_EQ(g_CalInUse[0].o2.pointKind[0], kO2PointMilligram);
    EXPECT_EQ(g_CalInUse[0].o2.pointKind[1], kO2PointAirPercent);
    EXPECT_EQ(g_CalInUse[0].o2.pointRef[0], 7.5f);
    // "O2 hi" and "O2 Trace" have places of their own.
    g_MeasuringKind[0] = kKindO2High;
    CalO2_SetSlope(0, 333.0f, &status);
    g_MeasuringKind[0] = kKindO2Trace;
    CalO2_SetSlope(0, 19000.0f, &status);
    EXPECT_EQ(Rig_StoredFloat(640), 333.0f);
    EXPECT_EQ(Rig_StoredFloat(726), 19000.0f);
    EXPECT_EQ(Rig_StoredFloat(696), 1234.5f);
    // Channel B stores no slope or zero of its own here.
    g_MeasuringKind[1] = kKindO2Low;
    CalO2_SetSlope(1, 777.0f, &status);
    g_CalInUse[1].o2.zero = 12.0f;
    CalO2_StoreCal(1, &status);
    EXPECT_EQ(Rig_StoredFloat(696 + 4), CalO2_GetNominalSlope(kKindO2Low));
    EXPECT_EQ(Rig_StoredFloat(688 + 4), 0.0f);
    EXPECT_EQ(g_SensorCal[1].first, 12.0f);

    // The kind-8 limits: a reload for the kind sets them, the flag keeps its value.
    g_O2Kind8Limits[1].enabled = 1;
    g_O2Kind8Limits[1].limit[4] = 50.0f;
    CalO2_LoadAll(1, 1, &status);
    const float expected[6] = {-20000.0f, -60000.1f, 1000.0f, -1000.0f, 10.0f, -100000.0f};
    for (uint32_t i = 0; i < 6; ++i) EXPECT_EQ(CalO2_GetKind8Limit(1, i), expected[i]) << i;
    EXPECT_EQ(g_O2Kind8Limits[1].enabled, 1u);
    g_SensorKindDetected[1] = kKindO2Gauge;
    Panel_SetSimInput(1, kSimSensorCurrent, 10.5f);
    std::array<uint8_t, 32> payload{};
    Meas_DecodeOxygenReply(1, payload.data());
    EXPECT_EQ(Meas_GetFieldWord(1, kO2FieldPrimaryStatus), 2u);

    // Unreadable calibration: status 130, the kind's nominal slope, zero 0, references 100 and 0.
    uint32_t s = 0;
    const uint8_t blank[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    g_MeasuringKind[0] = kKindO2Gauge;
    Eeprom_Write(688, blank, 4, &s);
    Rig_WriteStoreByte(724, 42);
    CalO2_LoadAll(0, 1, &status);
    EXPECT_EQ(status, kO2Defaulted);
    EXPECT_NEAR(g_SensorCal[0].second, 1702.43f, 0.01f);
    EXPECT_EQ(g_SensorCal[0].first, 0.0f);
    EXPECT_EQ(g_CalInUse[0].o2.pointRef[0], 100.0f);
    EXPECT_EQ(g_CalInUse[0].o2.pointKind[0], kO2PointAirPercent) << "42 is no point kind";
    EXPECT_EQ(g_CalInUse[0].o2.pointCurrent[0], 0.0f);

    // The medium at start-up: a pressure-source byte other than 0 or 1 reads as 0; an unreadable
    // medium takes the factory values for that channel alone.
    CalO2_SetCalPressure(1, 950.0f, &status);
    CalO2_SetProcPressure(0, 1100.0f, &status);
    Rig_WriteStoreByte(623, 7);
    Eeprom_Write(664, blank, 4, &s);
    CalO2_LoadAll(0, 0, &status);
    EXPECT_EQ(CalO2_GetPressureSource(0), 0);
    EXPECT_EQ(CalO2_GetCalPressure(1), 950.0f);
    EXPECT_EQ(CalO2_GetProcPressure(0), 1013.0f);
    EXPECT_EQ(CalO2_GetSalinity(0), 0.0f);
    // A calibration page's RAM edits go when the channel is reloaded.
    CalO2_SetRelHumidityRam(1, 0.5f);
    CalO2_SetCalPressureRam(1, 800.0f);
    CalO2_SetPressureSourceRam(0, 1);
    EXPECT_EQ(CalO2_GetPressureSource(1), 1) << "channel B's byte serves every channel";
    CalO2_ReloadChannel(1);
    EXPECT_EQ(CalO2_GetRelHumidity(1), 1.0f);
    EXPECT_EQ(CalO2_GetCalPressure(1), 950.0f);
    CalO2_SetPressureSource(0, 1, &status);
    EXPECT_EQ(Rig_StoreBytes()[623], 1);
    CalO2_SetPressureSource(0, 2, &status);
    EXPECT_EQ(status, 2u);
}

TEST(O2Points, ScalingByKindAndCaptureWithThePressure) {
    FreshO2Channel(kKindO2Low);
    uint32_t status = 0;
    SetPoint(0, 0, kO2PointAirPercent, 80.0f, 0.0f, 25.0f);
    EXPECT_FLOAT_EQ(CalO2_ScalePointByKind(0, 0, &status), 0.8f);
    SetPoint(0, 0, kO2PointMilligram, 8.26f, 0.0f, 25.0f);
    EXPECT_FLOAT_EQ(CalO2_ScalePointByKind(0, 0, &status), 1.0f);
    SetPoint(0, 0, kO2PointMicrogram, 4130.0f, 0.0f, 25.5f);
    EXPECT_NEAR(CalO2_ScalePointByKind(0, 0, &status), 4.13f / 8.185f, 1e-5f);
    SetPoint(0, 0, kO2PointGasPpm, 10.0f, 0.0f, 25.0f);
    EXPECT_EQ(CalO2_ScalePointByKind(0, 0, &status), 0.0f);
    EXPECT_EQ(status, 0u);
    SetPoint(0, 0, 14, 10.0f, 0.0f, 25.0f);
    EXPECT_EQ(CalO2_ScalePointByKind(0, 0, &status), 0.0f);
    EXPECT_EQ(status, kO2PointKindUnknown);

    // A process calibration with the analog input as the pressure source takes the input's
    // pressure; any other calibration the calibration pressure.
    CalO2_SetCalPressure(0, 990.0f, &status);
    CalO2_SetProcPressure(0, 1200.0f, &status);
    CalO2_SetPressureSource(0, 1, &status);
    Meas_SetAnalogInputMode(kAnalogInputPressure, &status);
    g_Measurement[0].analogInput = 12.0f;  // mid-range of 0 .. 2000 mbar
    EXPECT_EQ(CalO2_GetPressureForCal(0), 990.0f);
    g_ChosenMode = kCalModeProcess;
    EXPECT_EQ(CalO2_GetPressureForCal(0), 1000.0f);
    Meas_SetAnalogInputMode(0, &status);
    EXPECT_EQ(CalO2_GetPressureForCal(0), 1200.0f);
}

TEST(AnalogInput, PressureNeverNegativeAndItsSettings) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    // 4 .. 20 mA over 0 .. 2000 mbar; below 4 mA no negative pressure; above 22 mA limited.
    g_Measurement[1].analogInput = 12.0f;
    EXPECT_EQ(Meas_GetInputPressure(1), 1000.0f);
    g_Measurement[1].analogInput = 2.0f;
    EXPECT_EQ(Meas_GetInputPressure(1), 0.0f);
    g_Measurement[1].analogInput = -3.0f;
    EXPECT_EQ(Meas_GetInputPressure(1), 0.0f);
    g_Measurement[1].analogInput = NAN;
    EXPECT_EQ(Meas_GetInputPressure(1), 0.0f);
    g_Measurement[1].analogInput = 30.0f;
    EXPECT_EQ(Meas_GetInputPressure(1), 2250.0f);
    // The oxygen values' pressure follows the mode.
    CalO2_SetProcPressure(1, 1013.0f, &status);
    g_Measurement[1].analogInput = 16.0f;
    EXPECT_EQ(Meas_GetO2ProcessPressure(1), 1013.0f);
    Meas_SetAnalogInputMode(kAnalogInputPressure, &status);
    EXPECT_EQ(Meas_GetO2ProcessPressure(1), 1500.0f);
    // Settings: stored; a byte setter writes only a change; bad values refused.
    Meas_SetAnalogInputRange(0, 500.0f, &status);
    Meas_SetAnalogInputRange(1, 1500.0f, &status);
    Meas_SetAnalogInputUnit(1, 2, &status);
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    EXPECT_EQ(bytes[484], 1);
    EXPECT_EQ(bytes[486], 2);
    EXPECT_EQ(Rig_StoredFloat(480), 1500.0f);
    Rig_WriteStoreByte(484, 0);
    Meas_SetAnalogInputMode(kAnalogInputPressure, &status);
    EXPECT_EQ(Rig_StoreBytes()[484], 0) << "no change, no write";
    Meas_SetAnalogInputMode(2, &status);
    EXPECT_EQ(status, 2u);
    Meas_SetAnalogInputUnit(0, 5, &status);
    EXPECT_EQ(status, 2u);
    Meas_SetAnalogInputRange(0, INFINITY, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(Meas_GetAnalogInputRange(0), 500.0f);
    // Load: a mode of 2 reads as 0, a unit above 4 as 3.
    Rig_WriteStoreByte(484, 2);
    Rig_WriteStoreByte(485, 9);
    Meas_LoadAnalogInput(&status);
    EXPECT_EQ(Meas_GetAnalogInputMode(), 0);
    EXPECT_EQ(Meas_GetAnalogInputUnit(0), 3);
    EXPECT_EQ(Meas_GetAnalogInputUnit(1), 2);
    EXPECT_EQ(Meas_GetAnalogInputRange(1), 1500.0f);
    Meas_DefaultAnalogInputRange(&status);
    EXPECT_EQ(Rig_StoredFloat(476), 0.0f);
    EXPECT_EQ(Rig_StoredFloat(480), 2000.0f);
}

TEST(O2DataSet, TypeCodesAndValues) {
    FreshO2Channel(kKindO2Low);
    uint32_t status = 0;
    CalO2_SetRelHumidity(1, 0.5f, &status);
    SetPoint(1, 0, kO2PointAirPercent, 100.0f, 60000.0f, 20.0f);
    SetPoint(1, 1, kO2PointAirPercent, 0.0f, 300.0f, 21.0f);
    g_SensorCal[1].first = 300.0f;
    CalDataSetRecord record;
    std::memset(&record, 0, sizeof record);
    g_ChosenOption = 0;
    g_ChosenMode = kCalModeOnePoint;
    CalO2_FillDataSet(1, &record);
    EXPECT_EQ(record.b83, 0) << "a slope point in gas below 99.9 % humidity";
    EXPECT_EQ(record.b82, 0);
    EXPECT_EQ(record.v0, -60000.0f);
    EXPECT_EQ(record.v4, -300.0f);
    EXPECT_EQ(record.v24, 50.0f);
    EXPECT_EQ(record.v16, 1013.0f);
    EXPECT_EQ(record.v48, 20.0f);
    EXPECT_EQ(record.v52, 21.0f);
    EXPECT_NEAR(record.v8, (1013.0f - 0.5f * 23.373f) * 0.2095f, 1e-3f);
    EXPECT_EQ(record.v44, -300.0f);
    EXPECT_NEAR(record.v40, -CalO2_GetSlopeAtAir(1), 1e-3f);
    CalO2_SetRelHumidity(1, 1.0f, &status);
    CalO2_FillDataSet(1, &record);
    EXPECT_EQ(record.b83, 1);
    g_ChosenOption = 1;
    CalO2_FillDataSet(1, &record);
    EXPECT_EQ(record.b83, 7);
    // Process calibrations by the point's kind; the reference in the sensor's scale.
    g_ChosenOption = 0;
    g_ChosenMode = kCalModeProcess;
    CalO2_FillDataSet(1, &record);
    EXPECT_EQ(record.b83, 2);
    EXPECT_EQ(record.b82, 2);
    EXPECT_EQ(record.v60, 100000.0f);
    g_CalInUse[1].o2.pointKind[0] = kO2PointGasPpm;
    CalO2_FillDataSet(1, &record);
    EXPECT_EQ(record.b83, 3);
    EXPECT_EQ(record.v60, 1000.0f);
    g_CalInUse[1].o2.pointKind[0] = kO2PointMicrogram;
    CalO2_FillDataSet(1, &record);
    EXPECT_EQ(record.v60, 100.0f);
    g_CalInUse[1].o2.pointKind[0] = kO2PointOxygenPercent;
    CalO2_FillDataSet(1, &record);
    EXPECT_EQ(record.b83, 8);
    // Applied: the slope from the slope at air, the zero from the negated zero.
    record.v40 = -350.0f;
    record.v44 = 120.0f;
    CalO2_ApplyDataSet(1, &record, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalO2_GetSlopeAtAir(1), 350.0f, 1e-3f);
    EXPECT_EQ(g_SensorCal[1].first, -120.0f);
    record.v40 = 0.0f;
    CalO2_ApplyDataSet(1, &record, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_NEAR(CalO2_GetSlopeAtAir(1), 350.0f, 1e-3f);
}
