// pH and ORP: pH from the electrode voltage with the Nernst slope, the one- and two-point
// calibration and its refusals, the bytes a stored calibration leaves, the load rules, the ORP
// offset's limits and rounding, the impedance checks and the exchange with a sensor's data set.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <filesystem>
#include <limits>
#include <vector>

#include "core/eeprom.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/ph.h"
#include "rig.h"
#include "sim/sim_inputs.h"

namespace {
void WriteFloat(uint32_t offset, float value) {
    uint32_t status = 0;
    Eeprom_WriteFloat(offset, value, &status);
}

// The calibration filters hold this voltage and temperature, as after a settled point.
// The voltage of an electrode with this slope fraction and zero at pH and t, isothermal point 7.
float ElectrodeMv(float fraction, float zero, float ph, float t) {
    return zero + fraction * 59.16f * (t + 273.15f) / 298.15f * (7.0f - ph);
}

void SetPoints(uint32_t channel, float b0, float e0, float t0, float b1, float e1, float t1) {
    CalInUsePh& u = g_CalInUse[channel].ph;
    u.pointBuffer[0] = b0;
    u.pointMv[0] = e0;
    u.pointTemp[0] = t0;
    u.pointBuffer[1] = b1;
    u.pointMv[1] = e1;
    u.pointTemp[1] = t1;
}
}  // namespace

TEST(PhElectrode, NernstSlopeAndPhFromMvAtSeveralTemperatures) {
    Rig_OpenFreshStore();
    EXPECT_NEAR(CalPh_SlopeAtTemperature(1.0f, 25.0f), 59.16f, 1e-4f);
    EXPECT_NEAR(CalPh_SlopeAtTemperature(1.0f, 0.0f), 54.2f, 1e-4f);
    uint32_t status = 0;
    // The factory calibration: slope 100 %, zero 0 mV, isothermal point 7.
    EXPECT_NEAR(CalPh_PhFromMv(0, 0.0f, 80.0f, &status), 7.0f, 1e-6f);
    EXPECT_NEAR(CalPh_PhFromMv(0, 177.48f, 25.0f, &status), 4.0f, 1e-4f);
    EXPECT_NEAR(CalPh_PhFromMv(0, 177.48f, 50.0f, &status), 7.0f - 177.48f / 64.12f, 1e-4f);
    EXPECT_NEAR(CalPh_PhFromMv(0, -177.48f, 0.0f, &status), 7.0f + 177.48f / 54.2f, 1e-4f);
    EXPECT_EQ(status, 0u);

    // A calibration of its own: slope 95 %, zero 10 mV, isothermal point 6.8.
    CalPh_SetSlopePercent(0, 95.0f, &status);
    CalPh_SetZeroValue(0, 10.0f, &status);
    CalPh_SetIsoPoint(0, 6.8f, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalPh_PhFromMv(0, 100.0f, 37.0f, &status), 6.8f - 90.0f / (0.95f * (54.2f + 0.1984f * 37.0f)), 1e-4f);
    EXPECT_NEAR(CalPh_PhFromMv(1, 100.0f, 37.0f, &status), 7.0f - 100.0f / (54.2f + 0.1984f * 37.0f), 1e-4f)
        << "channel B keeps its own";
    // The zero as a zero point in pH and back.
    CalPh_SetZeroFromPh(0, 6.5f, &status);
    EXPECT_NEAR(CalPh_GetZeroValue(0), (6.5f - 6.8f) * 59.16f * 0.95f, 1e-4f);
    EXPECT_NEAR(CalPh_GetZeroPointPh(0), 6.5f, 1e-5f);

    // A slope of zero of either sign, or no number, is refused and changes nothing.
    for (float bad : {0.0f, -0.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()}) {
        CalPh_SetSlopePercent(0, bad, &status);
        EXPECT_EQ(status, 2u);
        EXPECT_NEAR(CalPh_GetSlopePercent(0), 95.0f, 1e-4f);
        EXPECT_NEAR(CalPh_GetSlopeInUsePercent(0), 95.0f, 1e-4f);
    }
    CalPh_SetZeroValue(0, std::numeric_limits<float>::quiet_NaN(), &status);
    EXPECT_NE(status, 0u);
    EXPECT_TRUE(std::isfinite(CalPh_GetZeroValue(0)));
    // A slope that gives no mV per pH at the temperature gives no pH.
    g_SensorCal[0].first = 0.0f;
    status = 0;
    EXPECT_EQ(CalPh_PhFromMv(0, 100.0f, 25.0f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    status = 0;
    CalPh_PhFromMv(2, 0.0f, 25.0f, &status);
    EXPECT_EQ(status, 2u) << "no channel";
}

TEST(PhCalibration, OneAndTwoPointsAndTheirRefusals) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    // Two points 60.0 mV apart are accepted, 59.99 mV apart refused.
    SetPoints(0, 4.0f, 60.0f, 25.0f, 7.0f, 0.0f, 25.0f);
    CalPh_Calibrate(0, 2, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(g_CalInUse[0].ph.slope, 20.0f / 59.16f, 1e-5f);
    SetPoints(0, 4.0f, 59.99f, 25.0f, 7.0f, 0.0f, 25.0f);
    CalPh_Calibrate(0, 2, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(g_CalInUse[0].ph.slope, 1.0f) << "a refused calibration leaves the stored values in use";
    EXPECT_EQ(g_CalInUse[0].ph.zero, 0.0f);
    // The same buffer twice.
    SetPoints(0, 7.0f, 200.0f, 25.0f, 7.0f, 0.0f, 25.0f);
    CalPh_Calibrate(0, 2, &status);
    EXPECT_EQ(status, 2u);
    CalPh_Calibrate(0, 3, &status);
    EXPECT_EQ(status, 2u) << "one or two points only";

    // An electrode of 98 % and +12 mV, calibrated at 40 C in buffers 4.01 and 9.21.
    SetPoints(0, 4.01f, ElectrodeMv(0.98f, 12.0f, 4.01f, 40.0f), 40.0f, 9.21f, ElectrodeMv(0.98f, 12.0f, 9.21f, 40.0f),
              40.0f);
    CalPh_Calibrate(0, 2, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalPh_GetSlopeInUsePercent(0), 98.0f, 0.01f);
    EXPECT_NEAR(g_CalInUse[0].ph.zero, 12.0f, 0.01f);
    EXPECT_NEAR(CalPh_GetZeroPointInUse(0), 7.0f - 12.0f / (0.98f * -59.16f), 1e-3f);
    // Not in force before it is stored.
    EXPECT_EQ(CalPh_GetSlopePercent(0), 100.0f);

    // One point keeps the stored slope and moves only the zero.
    CalPh_SetSlopePercent(0, 95.0f, &status);
    SetPoints(0, 7.0f, 20.0f, 25.0f, 9.0f, -100.0f, 25.0f);
    CalPh_Calibrate(0, 1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(g_CalInUse[0].ph.slope, 0.95f, 1e-6f);
    EXPECT_NEAR(g_CalInUse[0].ph.zero, 20.0f, 1e-4f);
    SetPoints(0, 4.0f, 200.0f, 25.0f, 9.0f, -100.0f, 25.0f);
    CalPh_Calibrate(0, 1, &status);
    EXPECT_NEAR(g_CalInUse[0].ph.zero, 200.0f - 0.95f * 59.16f * 3.0f, 1e-3f);

    // A captured point takes the calibration filters; the process calibration takes no buffer.
    Rig_SettleCalFilters(123.0f, 31.0f);
    CalPh_CapturePoint(1, 0, kCalModeOnePoint, 4.01f, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(g_CalInUse[1].ph.pointMv[0], 123.0f);
    EXPECT_EQ(g_CalInUse[1].ph.pointTemp[0], 31.0f);
    EXPECT_EQ(g_CalInUse[1].ph.pointBuffer[0], 4.01f);
    Rig_SettleCalFilters(-50.0f, 30.0f);
    CalPh_CapturePoint(1, 0, kCalModeProcess, 10.0f, &status);
    EXPECT_EQ(g_CalInUse[1].ph.pointMv[0], -50.0f);
    EXPECT_EQ(g_CalInUse[1].ph.pointBuffer[0], 4.01f);
    // An empty filter takes nothing.
    Filter_Reset(&g_CalFilters[kCalFilterValue]);
    CalPh_CapturePoint(1, 0, kCalModeOnePoint, 7.0f, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(g_CalInUse[1].ph.pointMv[0], -50.0f);
    EXPECT_EQ(g_CalInUse[1].ph.pointBuffer[0], 4.01f);
    // The pH of a captured point through the stored calibration.
    EXPECT_NEAR(CalPh_GetPointPh(1, 0, &status), 7.0f + 50.0f / (54.2f + 0.1984f * 30.0f), 1e-4f);
}

TEST(PhCalibration, StoredBytesOfASavedCalibrationAndAStoreThatFails) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    CalPh_ResetToFactory(0, &status);
    g_CalInUse[1].ph.slope = 0.97f;
    g_CalInUse[1].ph.zero = -5.5f;
    g_CalInUse[1].ph.pointBuffer[0] = 4.01f;
    g_CalInUse[1].ph.pointBuffer[1] = 9.21f;
    CalPh_StoreCal(1, &status);
    EXPECT_EQ(status, 0u);
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    EXPECT_NEAR(Rig_FloatAt(bytes, 792 + 4), 0.97f, 1e-7f);
    EXPECT_EQ(Rig_FloatAt(bytes, 800 + 4), -5.5f);
    EXPECT_EQ(Rig_FloatAt(bytes, 760 + 8), 4.01f);
    EXPECT_EQ(Rig_FloatAt(bytes, 764 + 8), 9.21f);
    // Channel A's places keep the factory calibration.
    EXPECT_EQ(Rig_FloatAt(bytes, 792), 1.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 760), 4.0f);
    EXPECT_NEAR(CalPh_GetSlopePercent(1), 97.0f, 1e-4f);
    EXPECT_EQ(CalPh_GetZeroValue(1), -5.5f);

    // After a restart the channel's calibration comes back from the store.
    Cal_ResetState();
    CalPh_LoadChannel(1, 1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalPh_GetSlopePercent(1), 97.0f, 1e-4f);
    EXPECT_NEAR(CalPh_GetSlopeInUsePercent(1), 97.0f, 1e-4f);
    EXPECT_EQ(g_CalInUse[1].ph.zero, -5.5f);
    EXPECT_EQ(CalPh_GetPointBuffer(1, 1), 9.21f);

    // A store that cannot be written: 111, and a zero slope is never stored.
    g_CalInUse[1].ph.slope = 0.0f;
    CalPh_StoreCal(1, &status);
    EXPECT_EQ(status, 111u);
    EXPECT_NEAR(CalPh_GetSlopePercent(1), 97.0f, 1e-4f);
    std::filesystem::remove(Rig_StorePath());
    g_CalInUse[1].ph.slope = 0.9f;
    CalPh_StoreCal(1, &status);
    EXPECT_EQ(status, 111u);
}

TEST(PhSettings, LoadRulesDefaultsAndTheChannelAOnlySettings) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    // A blank store: buffer sets and isothermal points are written back, drift control is not.
    CalPh_LoadAll(&status);
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    EXPECT_EQ(bytes[808], 0);
    EXPECT_EQ(bytes[809], 0);
    EXPECT_EQ(Rig_FloatAt(bytes, 776), 7.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 780), 7.0f);
    EXPECT_EQ(bytes[828], 0xFF);
    EXPECT_EQ(Cal_GetDriftControl(0), 0);
    // A stored buffer set of 11 becomes 0 and is written back; a drift control of 4 becomes 0 in
    // memory only.
    Rig_WriteStoreByte(808, 11);
    Rig_WriteStoreByte(829, 4);
    Rig_WriteStoreByte(828, 2);
    WriteFloat(780, 6.5f);
    CalPh_LoadAll(&status);
    bytes = Rig_StoreBytes();
    EXPECT_EQ(CalPh_GetBufferSet(0), 0);
    EXPECT_EQ(bytes[808], 0);
    EXPECT_EQ(Cal_GetDriftControl(1), 0);
    EXPECT_EQ(bytes[829], 4);
    EXPECT_EQ(Cal_GetDriftControl(0), 2);
    EXPECT_EQ(CalPh_GetIsoPoint(1), 6.5f);

    // Solution temperature compensation: a bad mode defaults that channel, with status 110.
    CalPh_SetStcCoefficient(0, -0.003f, &status);
    CalPh_SetStcRefTemp(0, 20.0f, &status);
    CalPh_SetStcMode(0, 0, &status);
    CalPh_SetStcCoefficient(1, 0.01f, &status);
    CalPh_SetStcRefTemp(1, 30.0f, &status);
    Rig_WriteStoreByte(811, 2);
    Rig_WriteStoreByte(616, 1);
    Rig_WriteStoreByte(618, 7);
    CalPh_LoadChannel(0, 0, &status);
    EXPECT_EQ(status, 110u);
    EXPECT_EQ(CalPh_GetStcMode(0), 0);
    EXPECT_EQ(CalPh_GetStcCoefficient(0), -0.003f);
    EXPECT_EQ(CalPh_GetStcRefTemp(0), 20.0f);
    EXPECT_EQ(CalPh_GetStcMode(1), 1);
    EXPECT_EQ(CalPh_GetStcCoefficient(1), 0.0f);
    EXPECT_EQ(CalPh_GetStcRefTemp(1), 25.0f);
    EXPECT_EQ(CalPh_GetSlopeUnitFlag(1), 1) << "channel A's byte serves every channel";
    EXPECT_EQ(CalPh_GetOffsetUnitFlag(0), 0) << "above 1 reads as 0";
    Rig_WriteStoreByte(811, 1);
    CalPh_LoadStc(&status);
    EXPECT_EQ(status, 0u);
    // The unit flags are set for channel A only.
    CalPh_SetOffsetUnitFlag(1, 1, &status);
    EXPECT_EQ(CalPh_GetOffsetUnitFlag(1), 0);
    CalPh_SetOffsetUnitFlag(0, 1, &status);
    EXPECT_EQ(CalPh_GetOffsetUnitFlag(1), 1);
    EXPECT_EQ(Rig_StoreBytes()[618], 1);

    // The calibration of a channel that cannot be read takes its defaults.
    CalPh_SetSlopePercent(0, 90.0f, &status);
    Rig_WriteStoreByte(800, 0xFF);
    Rig_WriteStoreByte(803, 0xFF);
    CalPh_LoadChannel(0, 1, &status);
    EXPECT_NE(status, 0u);
    EXPECT_EQ(CalPh_GetSlopePercent(0), 100.0f);
    EXPECT_EQ(CalPh_GetPointBuffer(0, 0), 4.0f);
    EXPECT_EQ(CalPh_GetPointBuffer(0, 1), 7.0f);
    EXPECT_EQ(CalPh_GetSensorOption(0), 1);

    // Factory values, stored.
    CalPh_ResetToFactory(0, &status);
    CalPh_ResetModes(&status);
    EXPECT_EQ(status, 0u);
    bytes = Rig_StoreBytes();
    EXPECT_EQ(Rig_FloatAt(bytes, 796), 1.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 804), 0.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 768), 4.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 772), 7.0f);
    EXPECT_EQ(bytes[810], 1);
    EXPECT_EQ(Rig_FloatAt(bytes, 816), 25.0f);
    EXPECT_EQ(bytes[618], 0);
    EXPECT_EQ(bytes[829], 0);
    EXPECT_EQ(Rig_FloatAt(bytes, 780), 7.0f);
}

TEST(PhImpedance, ChecksWithTheirStatusCodesAndTheReferences) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    // The status a check leaves.
    auto Check = [](void (*check)(uint32_t, float, uint32_t*), uint32_t channel, float ohm) {
        uint32_t status = 99;
        check(channel, ohm, &status);
        return status;
    };
    // Glass: range 5e6 to 2e9, band 0.3 to 3.0 times the reference of 1e8.
    EXPECT_EQ(Check(CalPh_CheckGlassImpedance, 0, 5e6f), 71u) << "in range, below the band";
    EXPECT_EQ(Check(CalPh_CheckGlassImpedance, 0, 4.99e6f), 3u);
    EXPECT_EQ(Check(CalPh_CheckGlassImpedance, 0, 2.9e7f), 71u);
    EXPECT_EQ(Check(CalPh_CheckGlassImpedance, 0, 3.1e7f), 0u);
    EXPECT_EQ(Check(CalPh_CheckGlassImpedance, 0, 3.01e8f), 72u);
    EXPECT_EQ(Check(CalPh_CheckGlassImpedance, 0, 2.1e9f), 2u);
    EXPECT_EQ(Check(CalPh_CheckGlassImpedance, 0, std::numeric_limits<float>::quiet_NaN()), 3u)
        << "no number is no impedance";
    // Reference electrode: range 1000 to 150000, band around 30000.
    EXPECT_EQ(Check(CalPh_CheckRefElectrodeImpedance, 0, 999.0f), 3u);
    EXPECT_EQ(Check(CalPh_CheckRefElectrodeImpedance, 0, 8999.0f), 81u);
    EXPECT_EQ(Check(CalPh_CheckRefElectrodeImpedance, 0, 90001.0f), 82u);
    EXPECT_EQ(Check(CalPh_CheckRefElectrodeImpedance, 0, 150001.0f), 2u);
    EXPECT_EQ(Check(CalPh_CheckRefElectrodeImpedance, 0, 30000.0f), 0u);
    // The pH/pNa second glass: the glass range, against the channel's second reference.
    CalPh_SetPnaImpedanceRef(1, 2e8f);
    EXPECT_EQ(Check(CalPh_CheckPnaImpedance, 1, 1e8f), 0u);
    EXPECT_EQ(Check(CalPh_CheckPnaImpedance, 1, 5.9e7f), 71u);
    EXPECT_EQ(Check(CalPh_CheckPnaImpedance, 1, 6.01e8f), 72u);

    // References: accepted only in range; stored for channel A only.
    CalPh_ResetState();
    CalPh_SetGlassImpedanceRef(0, 4.9e6f);
    EXPECT_EQ(g_GlassImpedanceRef[0], 1e8f);
    CalPh_SetGlassImpedanceRef(0, 2e8f);
    CalPh_SetGlassImpedanceRef(1, 3e8f);
    CalPh_SetRefImpedanceRef(1, 900.0f);
    CalPh_SetRefImpedanceRef(1, 50000.0f);
    CalPh_SetPnaImpedanceRef(0, 1e6f);
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    EXPECT_EQ(Rig_FloatAt(bytes, 756), 2e8f);
    EXPECT_EQ(bytes[752], 0xFF);
    EXPECT_EQ(g_GlassImpedanceRef[1], 3e8f);
    EXPECT_EQ(g_RefImpedanceRef[1], 50000.0f);
    EXPECT_EQ(g_RefImpedanceRef[0], 30000.0f);
    // The reference impedance's factory value is 30000 in memory and in the store, so a restart
    // keeps it; a stored value out of range loads as the factory value.
    CalPh_DefaultRefImpedanceRef(&status);
    g_RefImpedanceRef[0] = 1.0f;
    CalPh_LoadRefImpedanceRef(&status);
    EXPECT_EQ(g_RefImpedanceRef[0], 30000.0f);
    EXPECT_EQ(Rig_FloatAt(Rig_StoreBytes(), 752), 30000.0f);
    WriteFloat(752, 500.0f);
    WriteFloat(756, 4e6f);
    CalPh_LoadRefImpedanceRef(&status);
    CalPh_LoadGlassImpedanceRef(&status);
    EXPECT_EQ(g_RefImpedanceRef[0], 30000.0f);
    EXPECT_EQ(g_GlassImpedanceRef[0], 1e8f);
    WriteFloat(756, 6e8f);
    CalPh_LoadGlassImpedanceRef(&status);
    EXPECT_EQ(g_GlassImpedanceRef[0], 6e8f);
}

TEST(Orp, OffsetLimitsRoundingAndTheReadingOfBothChannels) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    // Channel A: the offset is the difference, up to 1000 mV.
    Rig_SettleCalFilters(0.0f, 25.0f);
    CalPh_CaptureOrpPoint(0, 1000.0f, &status);
    CalPh_CalibrateOrp(0, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalPh_GetOrpOffsetInUse(0), 1000.0f);
    CalPh_CaptureOrpPoint(0, 1000.01f, &status);
    CalPh_CalibrateOrp(0, &status);
    EXPECT_EQ(status, 1u);
    // Channel B: whole millivolts, rounded half away from zero, up to 200.
    Rig_SettleCalFilters(-0.5f, 25.0f);
    CalPh_CaptureOrpPoint(1, 199.9f, &status);
    CalPh_CalibrateOrp(1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalPh_GetOrpOffsetInUse(1), 200.0f) << "200.4 becomes 200";
    CalPh_CaptureOrpPoint(1, 200.0f, &status);
    CalPh_CalibrateOrp(1, &status);
    EXPECT_EQ(CalPh_GetOrpOffsetInUse(1), 201.0f) << "200.5 becomes 201";
    EXPECT_EQ(status, 1u);
    Rig_SettleCalFilters(0.5f, 25.0f);
    CalPh_CaptureOrpPoint(1, -200.0f, &status);
    CalPh_CalibrateOrp(1, &status);
    EXPECT_EQ(CalPh_GetOrpOffsetInUse(1), -201.0f);
    EXPECT_EQ(status, 1u);

    // The store takes the offset and the reference.
    Rig_SettleCalFilters(230.0f, 25.0f);
    CalPh_CaptureOrpPoint(0, 250.0f, &status);
    CalPh_CalibrateOrp(0, &status);
    CalPh_StoreOrpCal(0, &status);
    EXPECT_EQ(status, 0u);
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    EXPECT_EQ(Rig_FloatAt(bytes, 820), 20.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 561), 250.0f);

    // The ORP reading of channel A is the panel's electrode voltage plus the offset, as on B.
    g_MeasuringKind[0] = kKindPh;
    const std::array<uint8_t, 21> payload{};
    Panel_SetSimInput(0, kSimElectrodeVolts, 250.0f);
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_NEAR(Meas_GetUnitValue13to18(0, 15, &status), 0.270f, 1e-6f);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalPh_AddOrpOffset(0, 0.25f), 0.27f, 1e-6f);
    Panel_SetSimInput(0, kSimElectrodeVolts, 1490.0f);
    Meas_DecodeChannelAReply(0, payload.data());
    EXPECT_EQ(Meas_GetUnitValue13to18(0, 15, &status), 1.5f);
    EXPECT_EQ(status, 2u);
}

TEST(PhDataSet, ExchangeWithASensorsDataSetAndItsRefusals) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    // A two-point calibration of 97 % and +3 mV at 25 C, filled into a data set.
    CalDataSetRecord set{};
    set.b82 = 1;
    g_CalInUse[1].ph.slope = 0.97f;
    g_CalInUse[1].ph.zero = 3.0f;
    SetPoints(1, 4.01f, ElectrodeMv(0.97f, 3.0f, 4.01f, 25.0f), 25.0f, 9.21f, ElectrodeMv(0.97f, 3.0f, 9.21f, 25.0f),
              25.0f);
    CalPh_FillDataSet(1, &set);
    EXPECT_EQ(set.v0, 7.0f);
    EXPECT_EQ(set.v60, 4.01f);
    EXPECT_EQ(set.v64, 9.21f);
    EXPECT_EQ(set.v48, 25.0f);
    EXPECT_NEAR(set.v12, 3.0f - 2.99f * 0.97f * -59.16f, 1e-3f);
    EXPECT_NEAR(CalPh_DataSetMvToPh(&set), set.v12 / 59.16f, 1e-6f);
    // Taken into use on a pH sensor: slope, zero and the references.
    set.v16 = 250.0f;
    set.v20 = 40.0f;
    g_SensorKindActive[1] = kKindPh;
    CalPh_SetBufferSet(1, 10, &status);
    CalPh_ApplyDataSet(1, &set, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalPh_GetSlopePercent(1), 97.0f, 0.01f);
    EXPECT_NEAR(CalPh_GetZeroValue(1), 3.0f, 0.01f);
    EXPECT_EQ(g_GlassImpedanceRef[1], 2.5e8f);
    EXPECT_EQ(g_RefImpedanceRef[1], 40000.0f);
    EXPECT_EQ(CalPh_GetBufferSet(1), 0) << "set 10 belongs to the pH/pNa sensor";
    // A pH/pNa sensor: buffer set 10, the second glass in megaohm.
    g_SensorKindActive[1] = kKindPhPna;
    CalPh_ApplyDataSet(1, &set, &status);
    EXPECT_EQ(CalPh_GetBufferSet(1), 10);
    EXPECT_EQ(g_RefImpedanceRef[1], 4e7f);

    // A one-point calibration gets its second point made up 2 pH away with the slope.
    CalDataSetRecord one{};
    one.w74 = 77;
    CalPh_FillDataSet(1, &one);
    EXPECT_FLOAT_EQ(one.v64, 6.01f);
    EXPECT_NEAR(one.v8, one.v4 + 2.0f * 0.97f * -59.16f, 1e-3f);
    EXPECT_EQ(one.w74, 0u);
    g_CalInUse[1].ph.pointBuffer[0] = 9.0f;
    CalPh_FillDataSet(1, &one);
    EXPECT_EQ(one.v64, 7.0f);

    // A degenerate or non-finite set never installs a slope: status 2, nothing changes.
    CalPh_SetIsoPoint(1, 6.9f, &status);
    float slope = CalPh_GetSlopePercent(1);
    float zero = CalPh_GetZeroValue(1);
    CalDataSetRecord flat = set;
    flat.v0 = 7.3f;
    flat.v64 = flat.v60;
    CalPh_ApplyDataSet(1, &flat, &status);
    EXPECT_EQ(status, 2u);
    CalDataSetRecord noSlope = set;
    noSlope.v0 = 7.3f;
    noSlope.v8 = noSlope.v4;
    CalPh_ApplyDataSet(1, &noSlope, &status);
    EXPECT_EQ(status, 2u);
    CalDataSetRecord garbled = set;
    garbled.v0 = 7.3f;
    garbled.v4 = std::numeric_limits<float>::infinity();
    CalPh_ApplyDataSet(1, &garbled, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalPh_GetSlopePercent(1), slope);
    EXPECT_EQ(CalPh_GetZeroValue(1), zero);
    EXPECT_EQ(CalPh_GetIsoPoint(1), 6.9f);
}
