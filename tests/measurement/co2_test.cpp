// The CO2 sensor: its values through the carbonic-acid equilibrium, their range limits, the
// buffer and process calibrations with their refusals, the process reference's units, the stored
// calibration and its load, and the exchange with a sensor's data set.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/eeprom.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/co2.h"
#include "measurement/co2_chem.h"
#include "measurement/filter.h"
#include "measurement/ph.h"
#include "rig.h"

namespace {
// A fresh store and channel B's CO2 calibration at its factory values (59.16 mV/pH, zero 7.0).
void FreshCo2Channel() {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    CalPh_LoadCo2Settings(1, 1, &status);
}

}  // namespace

TEST(Co2Values, DissolvedPartialPressureAndPercentAtTwentyFiveDegrees) {
    FreshCo2Channel();
    uint32_t status = 99;
    // pH 7 at 0 mV: 0.05 mol/L bicarbonate x 1e-7 / K1 (pK1 6.0341 at salinity 28).
    EXPECT_NEAR(CalPh_GetCo2ElectrodePh(1, 0.0f, 25.0f, &status), 7.0f, 1e-5f);
    EXPECT_NEAR(CalPh_GetCo2Dissolved(1, 0.0f, 25.0f, &status) * 44000.0f, 237.97f, 0.05f);
    EXPECT_EQ(status, 0u);
    // Over the solubility 0.03186 mol/(L bar): 0.16975 bar, 17.53 % of the gas at 1000 mbar.
    EXPECT_NEAR(CalPh_GetCo2PartialPressure(1, 0.0f, 25.0f, &status), 0.169753f, 2e-5f);
    EXPECT_NEAR(CalPh_GetCo2Percent(1, 0.0f, 25.0f, &status), 17.5306f, 0.002f);
    EXPECT_EQ(status, 0u);
    // One pH lower (59.16 mV higher) is ten times the CO2; the electrode reads pH 6.
    EXPECT_NEAR(CalPh_GetCo2ElectrodePh(1, 59.16f, 25.0f, &status), 6.0f, 1e-5f);
    EXPECT_NEAR(CalPh_GetCo2PartialPressure(1, 59.16f, 25.0f, &status), 1.69753f, 2e-4f);
    // The zero point moves the electrode's pH with it, the same way for both readings.
    CalPh_SetCo2Zero(1, 7.2f, &status);
    EXPECT_NEAR(CalPh_GetCo2ElectrodePh(1, 0.0f, 25.0f, &status), 7.2f, 1e-5f);
    EXPECT_NEAR(CalPh_GetCo2Dissolved(1, 0.0f, 25.0f, &status),
                0.05f * 1e-7f / CalPh_GetCarbonicK1(25.0f, 28.0f) / std::pow(10.0f, 0.2f), 1e-6f);
    // At 20 C with the water vapour's 23.373 mbar, 0.1 bar is 10.24 % of the dry gas.
    CalPh_SetCo2Zero(1, 7.0f, &status);
    // mv / slope(20) - zero(20) = log10 of the hydrogen-ion activity that gives 0.1 bar.
    float mv =
        (std::log10(0.1f * 0.03668f * CalPh_GetCarbonicK1(20.0f, 28.0f) / 0.05f) + 7.0f) * 59.16f * 293.15f / 298.15f;
    EXPECT_NEAR(CalPh_GetCo2PartialPressure(1, mv, 20.0f, &status), 0.1f, 1e-5f);
    EXPECT_NEAR(CalPh_GetCo2Percent(1, mv, 20.0f, &status), 10.24f, 0.002f);
}

TEST(Co2Values, RangeLimitsOfEachReading) {
    FreshCo2Channel();
    uint32_t status = 0;
    // The bicarbonate that makes 0 mV at 25 C read exactly p bar.
    auto bicarbonateFor = [](float bar) { return bar * 0.03186f * CalPh_GetCarbonicK1(25.0f, 28.0f) / 1e-7f; };
    CalPh_SetCo2Bicarbonate(1, bicarbonateFor(1.99999f), &status);
    EXPECT_NEAR(CalPh_GetCo2PartialPressure(1, 0.0f, 25.0f, &status), 1.99999f, 2e-5f);
    EXPECT_EQ(status, 0u);
    CalPh_SetCo2Bicarbonate(1, bicarbonateFor(2.0001f), &status);
    EXPECT_EQ(CalPh_GetCo2PartialPressure(1, 0.0f, 25.0f, &status), 2.0f);
    EXPECT_EQ(status, 2u);
    // The percentage judges the limited 2.0 as it came.
    EXPECT_EQ(CalPh_GetCo2Percent(1, 0.0f, 25.0f, &status), 2.0f);
    EXPECT_EQ(status, 2u);
    // Beyond 200 % of a low total pressure.
    CalPh_SetCo2Bicarbonate(1, bicarbonateFor(1.5f), &status);
    CalPh_SetCo2Pressure(1, 500.0f, &status);
    EXPECT_EQ(CalPh_GetCo2Percent(1, 0.0f, 25.0f, &status), 200.0f);
    EXPECT_EQ(status, 2u);
    // A negative bicarbonate gives negative CO2: 0.0 and status 3 in every reading.
    CalPh_SetCo2Bicarbonate(1, -0.05f, &status);
    EXPECT_EQ(CalPh_GetCo2Dissolved(1, 0.0f, 25.0f, &status), 0.0f);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(CalPh_GetCo2PartialPressure(1, 0.0f, 25.0f, &status), 0.0f);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(CalPh_GetCo2Percent(1, 0.0f, 25.0f, &status), 0.0f);
    EXPECT_EQ(status, 3u);
    // Outside the solubility table's 0 .. 60 C.
    CalPh_SetCo2Bicarbonate(1, 0.05f, &status);
    EXPECT_EQ(CalPh_GetCo2PartialPressure(1, 0.0f, 61.0f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalPh_GetCo2PartialPressure(1, 0.0f, -1.0f, &status), 0.0f);
    EXPECT_EQ(status, 3u);
    // An electrode without slope has no pH.
    g_SensorCal[1].first = 0.0f;
    EXPECT_EQ(CalPh_GetCo2ElectrodePh(1, 10.0f, 25.0f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}

TEST(Co2Calibration, BufferPointsAndTheirRefusals) {
    FreshCo2Channel();
    uint32_t status = 0;
    CalInUseCo2& u = g_CalInUse[1].co2;
    // Buffers 7.0 and 9.21 at 25 C, 0 and -130.7 mV: 59.14 mV/pH, zero 7.0.
    Rig_SettleCalFilters(0.0f, 25.0f);
    CalPh_CaptureCo2Point(1, 0, kCalModeTwoPoints, 7.0f, &status);
    Rig_SettleCalFilters(-130.7f, 25.0f);
    CalPh_CaptureCo2Point(1, 1, kCalModeTwoPoints, 9.21f, &status);
    EXPECT_EQ(status, 0u);
    CalPh_CalibrateCo2(1, 2, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalPh_GetCo2SlopeInUse(1), 59.14f, 0.005f);
    EXPECT_NEAR(CalPh_GetCo2ZeroInUse(1), 7.0f, 1e-5f);
    EXPECT_NEAR(CalPh_GetCo2SlopeInUsePercent(1), 59.14f / 0.5916f, 0.01f);
    // The same points at 40 C: the slope is referred to 25 C.
    u.pointTemp[0] = u.pointTemp[1] = 40.0f;
    CalPh_CalibrateCo2(1, 2, &status);
    EXPECT_NEAR(CalPh_GetCo2SlopeInUse(1), 59.14f * 298.15f / 313.15f, 0.005f);
    // One point keeps the stored slope and moves the zero: 20 mV at pH 7 and 25 C.
    u.pointMv[0] = 20.0f;
    u.pointTemp[0] = 25.0f;
    CalPh_CalibrateCo2(1, 1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalPh_GetCo2SlopeInUse(1), 59.16f);
    EXPECT_NEAR(CalPh_GetCo2ZeroInUse(1), 7.0f + 20.0f / 59.16f, 1e-5f);
    // Refused: points less than 60 mV apart, the same buffer twice, a count of 3. Each leaves the
    // stored calibration in use.
    u.pointMv[0] = 0.0f;
    u.pointMv[1] = -59.99f;
    CalPh_CalibrateCo2(1, 2, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalPh_GetCo2ZeroInUse(1), 7.0f);
    u.pointMv[1] = -130.7f;
    u.pointBuffer[1] = 7.0f;
    CalPh_CalibrateCo2(1, 2, &status);
    EXPECT_EQ(status, 2u);
    CalPh_CalibrateCo2(1, 3, &status);
    EXPECT_EQ(status, 2u);
    // A process capture takes no buffer.
    u.pointBuffer[0] = 4.0f;
    Rig_SettleCalFilters(12.0f, 30.0f);
    CalPh_CaptureCo2Point(1, 0, kCalModeProcess, 9.0f, &status);
    EXPECT_EQ(u.pointBuffer[0], 4.0f);
    EXPECT_EQ(u.pointMv[0], 12.0f);
    EXPECT_EQ(u.pointTemp[0], 30.0f);
}

TEST(Co2Calibration, ProcessReferenceUnitsAndTheProcessCalibration) {
    FreshCo2Channel();
    uint32_t status = 0;
    CalInUseCo2& u = g_CalInUse[1].co2;
    u.pointTemp[0] = 20.0f;
    // 10.24 % of the dry gas at 1000 mbar and 20 C is 100 mbar of CO2.
    CalPh_SetCo2PointValue(1, 33, 10.24f, &status);
    EXPECT_NEAR(u.processPressure, 100.0f, 0.01f);
    EXPECT_EQ(CalPh_GetCo2ProcessValue(1), 10.24f);
    CalPh_SetCo2PointValue(1, 36, 75.0f, &status);
    EXPECT_NEAR(u.processPressure, 99.99f, 0.01f);
    // 0.1 bar at 20 C dissolves 0.003668 mol/L, 161.4 mg/L.
    CalPh_SetCo2PointValue(1, 37, 161.392f, &status);
    EXPECT_NEAR(u.processPressure, 100.0f, 0.01f);
    CalPh_SetCo2PointValue(1, 35, 169.7533f, &status);
    EXPECT_EQ(u.processPressure, 169.7533f);

    // At 30 mV and 25 C the sample holds 169.75 mbar: afterwards 30 mV reads that.
    u.pointMv[0] = 30.0f;
    u.pointTemp[0] = 25.0f;
    CalPh_CalibrateCo2Process(1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalPh_GetCo2ZeroInUse(1), 7.0f + 30.0f / 59.16f, 1e-4f);
    EXPECT_EQ(u.pointBuffer[0], u.zero);
    CalPh_StoreCo2Cal(1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalPh_GetCo2PartialPressure(1, 30.0f, 25.0f, &status) * 1000.0f, 169.75f, 0.05f);

    // A reference of no CO2, a negative one or one that is no number: status 2, the calibration in
    // use stays as it was.
    u.zero = 7.3f;
    u.slope = 57.0f;
    for (float bad : {0.0f, -5.0f}) {
        CalPh_SetCo2PointValue(1, 35, bad, &status);
        CalPh_CalibrateCo2Process(1, &status);
        EXPECT_EQ(status, 2u) << bad;
        EXPECT_EQ(u.zero, 7.3f);
        EXPECT_EQ(u.slope, 57.0f);
    }
    CalPh_SetCo2PointValue(1, 35, NAN, &status);
    EXPECT_EQ(status, 2u);
    // Outside the solubility table the process calibration stops with the table's status.
    CalPh_SetCo2PointValue(1, 35, 100.0f, &status);
    u.pointTemp[0] = 70.0f;
    CalPh_CalibrateCo2Process(1, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(u.zero, 7.3f);
}

TEST(Co2Calibration, StoredBytesLoadAndAStoreThatFails) {
    FreshCo2Channel();
    uint32_t status = 0;
    CalInUseCo2& u = g_CalInUse[1].co2;
    u.slope = 57.5f;
    u.zero = 6.9f;
    u.processValue = 12.5f;
    u.pointBuffer[0] = 7.0f;
    u.pointBuffer[1] = 4.01f;
    CalPh_StoreCo2Cal(1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Rig_StoredFloat(529 + 4), 57.5f);
    EXPECT_EQ(Rig_StoredFloat(537 + 4), 6.9f);
    EXPECT_EQ(Rig_StoredFloat(487 + 4), 12.5f);
    EXPECT_EQ(Rig_StoredFloat(545 + 8), 7.0f);
    EXPECT_EQ(Rig_StoredFloat(549 + 8), 4.01f);
    EXPECT_EQ(CalPh_GetCo2SlopeMv(1), 57.5f);
    EXPECT_NEAR(CalPh_GetCo2SlopePercent(1), 97.194f, 0.001f);
    // The zero as shown in mV, with the stored and with the in-use slope.
    u.slope = 50.0f;
    EXPECT_NEAR(CalPh_ZeroPhToMv(1, 6.9f), -5.75f, 1e-4f);
    EXPECT_NEAR(CalPh_ZeroPhToMvB(1, 6.9f), -5.0f, 1e-4f);
    // A restart brings it back.
    Cal_ResetState();
    CalPh_LoadCo2Settings(1, 1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalPh_GetCo2SlopeInUse(1), 57.5f);
    EXPECT_EQ(CalPh_GetCo2ZeroInUse(1), 6.9f);
    EXPECT_EQ(CalPh_GetCo2ProcessValue(1), 12.5f);
    EXPECT_EQ(CalPh_GetCo2PointRef(1, 1), 4.01f);
    // Slope setters: percent and mV; a percentage of zero is refused.
    CalPh_SetCo2SlopePercent(1, 0.0f, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalPh_GetCo2SlopeMv(1), 57.5f);
    CalPh_SetCo2SlopePercent(1, 95.0f, &status);
    EXPECT_NEAR(Rig_StoredFloat(533), 56.202f, 1e-3f);
    CalPh_SetCo2ZeroFromMv(1, 59.16f, &status);
    EXPECT_NEAR(CalPh_GetCo2Zero(1), 8.0f, 1e-5f);
    // Medium: channel B's is loaded at start-up, unreadable values take their defaults together.
    CalPh_SetCo2Salinity(1, 30.0f, &status);
    CalPh_SetCo2Bicarbonate(1, 0.04f, &status);
    CalPh_SetCo2Pressure(1, 1100.0f, &status);
    Cal_ResetState();
    CalPh_LoadCo2Settings(0, 0, &status);
    EXPECT_EQ(CalPh_GetCo2Salinity(1), 30.0f);
    EXPECT_EQ(CalPh_GetCo2Bicarbonate(1), 0.04f);
    EXPECT_EQ(CalPh_GetCo2Pressure(1), 1100.0f);
    uint32_t s = 0;
    const uint8_t blank[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    Eeprom_Write(503 + 4, blank, 4, &s);
    CalPh_LoadCo2Settings(0, 0, &status);
    EXPECT_EQ(CalPh_GetCo2Salinity(1), 28.0f);
    EXPECT_EQ(CalPh_GetCo2Bicarbonate(1), 0.05f);
    EXPECT_EQ(CalPh_GetCo2Pressure(1), 1000.0f);
    CalPh_SetCo2Pressure(1, 900.0f, &status);
    CalPh_DefaultCo2Pressure(&status);
    EXPECT_EQ(Rig_StoredFloat(499), 1000.0f);
    // An unreadable calibration loads as a whole at its defaults.
    Eeprom_Write(537 + 4, blank, 4, &s);
    CalPh_LoadCo2Settings(1, 1, &status);
    EXPECT_NE(status, 0u);
    EXPECT_EQ(CalPh_GetCo2SlopeMv(1), 59.16f);
    EXPECT_EQ(CalPh_GetCo2PointRef(1, 1), 9.21f);
    EXPECT_EQ(CalPh_GetCo2ProcessValue(1), 1000.0f);

    // A store that cannot be written: 116.
    std::filesystem::remove(Rig_StorePath());
    CalPh_StoreCo2Cal(1, &status);
    EXPECT_EQ(status, kCo2NotStored);
}

TEST(Co2DataSet, FillAndApply) {
    FreshCo2Channel();
    uint32_t status = 0;
    CalInUseCo2& u = g_CalInUse[1].co2;
    u.slope = 58.0f;
    u.zero = 7.1f;
    u.pointBuffer[0] = 7.0f;
    u.pointMv[0] = -6.0f;
    CalDataSetRecord record;
    std::memset(&record, 0, sizeof record);
    CalPh_FillCo2DataSet(1, &record);
    // A one-point set: the zero in mV with the stored slope, point 0 on it, a second point 2 pH lower.
    EXPECT_EQ(record.v0, 7.0f);
    EXPECT_NEAR(record.v44, 0.1f * 59.16f, 1e-4f);
    EXPECT_EQ(record.v40, 58.0f);
    EXPECT_NEAR(record.v4, 0.1f * 59.16f, 1e-4f);
    EXPECT_EQ(record.v64, 5.0f);
    EXPECT_NEAR(record.v8, record.v4 + 2.0f * 58.0f, 1e-4f);
    EXPECT_EQ(record.v48, 25.0f);
    // Taken into use: slope and zero point come back from the two points.
    record.v16 = 200.0f;
    record.v20 = 40.0f;
    CalPh_ApplyCo2DataSet(1, &record, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(CalPh_GetCo2SlopeMv(1), 58.0f, 1e-3f);
    EXPECT_NEAR(CalPh_GetCo2Zero(1), 7.0f + 0.1f * 59.16f / 58.0f, 1e-4f);
    EXPECT_EQ(g_GlassImpedanceRef[1], 2e8f);
    EXPECT_EQ(g_RefImpedanceRef[1], 40000.0f);
    // A set with one buffer twice gives no slope: refused, nothing changes.
    record.v64 = record.v60;
    CalPh_ApplyCo2DataSet(1, &record, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_NEAR(CalPh_GetCo2SlopeMv(1), 58.0f, 1e-3f);
}
