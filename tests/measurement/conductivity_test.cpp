// Conductivity: the cell calibration of a reading, compensation at the channel's temperature,
// calibration points referred to their temperature, one- and two-point cell calibrations with
// channel B's limits, the stored calibration and compensation settings with their load rules,
// and the exchange with a sensor's data set.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <vector>

#include "core/eeprom.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/cond_comp.h"
#include "measurement/conductivity.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "rig.h"

namespace {}  // namespace

TEST(CondCell, CalibrationOfAReadingAndCompensationAtTheChannelsTemperature) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    CalCond_SetDefaults(&status);
    EXPECT_EQ(status, 0u);
    // A cell of 0.1 /cm reading 1000 ohm: 10000 ohm x cm.
    EXPECT_EQ(CalCond_ApplyCalibration(0, 1000.0f, &status), 10000.0f);
    CalCond_SetZeroOffset(0, 50.0f, &status);
    EXPECT_EQ(CalCond_ApplyCalibration(0, 1000.0f, &status), 10050.0f);
    // A result below 1e-29 (here below zero) reads 0.0; a cell constant of ~0 gives status 2.
    CalCond_SetZeroOffset(0, -20000.0f, &status);
    EXPECT_EQ(CalCond_ApplyCalibration(0, 1000.0f, &status), 0.0f);
    EXPECT_EQ(status, 0u);
    g_SensorCal[0].cellConstant = 1e-30f;
    CalCond_ApplyCalibration(0, 1000.0f, &status);
    EXPECT_EQ(status, 2u);
    // The setter refuses a cell constant of zero of either sign, on both channels.
    for (uint32_t channel : {0u, 1u}) {
        CalCond_SetCellConstant(channel, 0.5f, &status);
        CalCond_SetCellConstant(channel, -0.0f, &status);
        EXPECT_EQ(status, 2u);
        EXPECT_EQ(CalCond_GetCellConstant(channel), 0.5f);
        EXPECT_EQ(g_CalInUse[channel].cond.cellConstant, 0.5f);
    }
    // Compensation at the channel's measured temperature: "Standard" at 50 C, "Lin 25@C".
    g_Measurement[1].temperature = 50.0f;
    EXPECT_NEAR(CalCond_Compensate(1, kCompModeStandard, 0.02f, 1000.0f, &status), 1563.78f, 0.02f);
    EXPECT_NEAR(CalCond_Compensate(1, kCompModeLinear25, 0.02f, 1000.0f, &status), 1500.0f, 1e-3f);
    EXPECT_EQ(CalCond_Compensate(1, kCompModeNone, 0.02f, 1000.0f, &status), 1000.0f);
    g_Measurement[1].temperature = 25.0f;
    EXPECT_FLOAT_EQ(CalCond_Compensate(1, kCompModeStandard, 0.02f, 1000.0f, &status), 1000.0f);
}

TEST(CondPoints, ReferencesReferredToThePointTemperature) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    CalCond_SetDefaults(&status);
    CalInUseCond& u = g_CalInUse[0].cond;
    // "Lin 25@C" with 0.02 at 35 C: 1000 ohm x cm at 25 C is 833.33 at the point.
    CalCond_SetRefTempMode(0, kCompModeLinear25);
    CalCond_SetRefCoefficient(0, 0.02f);
    Rig_SettleCalFilters(8000.0f, 35.0f);
    CalCond_CapturePoint(0, 0, 1000.0f, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(u.pointCompensated[0], 833.33f, 0.01f);
    EXPECT_EQ(u.pointRef[0], 1000.0f);
    EXPECT_EQ(u.pointMeasured[0], 8000.0f);
    EXPECT_EQ(u.pointTemp[0], 35.0f);
    // "Standard" refers from 25 C to the point's 50 C (direction 0).
    CalCond_SetRefTempMode(0, kCompModeStandard);
    Rig_SettleCalFilters(8000.0f, 50.0f);
    CalCond_CapturePoint(0, 1, 1000.0f, &status);
    EXPECT_NEAR(u.pointCompensated[1], 639.50f, 0.01f);
    // A linear factor below 1e-7 (-25 C with 0.02): status 2, nothing taken.
    CalCond_SetRefTempMode(0, kCompModeLinear25);
    Rig_SettleCalFilters(5000.0f, -25.0f);
    CalCond_CapturePoint(0, 1, 2000.0f, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(u.pointRef[1], 1000.0f);
    // A reference of 0, and a negative measured value: status 3.
    Rig_SettleCalFilters(5000.0f, 25.0f);
    CalCond_CapturePoint(0, 1, 0.0f, &status);
    EXPECT_EQ(status, 3u);
    Rig_SettleCalFilters(-1.0f, 25.0f);
    CalCond_CapturePoint(0, 1, 2000.0f, &status);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(u.pointRef[1], 2000.0f);
    // A value entered for a captured reading: the same referral to the temperature of the
    // capture, whatever the temperature is when it is entered; its degenerate factor gives
    // status 3 and 1e-29.
    Rig_SettleCalFilters(5000.0f, 35.0f);
    CalCond_CaptureRawPoint(0, 0, 0.0002f, &status);
    Rig_SettleCalFilters(5000.0f, 20.0f);
    CalCond_CompensatePoint(0, 0, 1200.0f, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(u.pointCompensated[0], 1000.0f, 0.01f);
    EXPECT_EQ(u.pointTemp[0], 35.0f);
    EXPECT_EQ(CalCond_GetPointValue(0, 0), 1200.0f);
    Rig_SettleCalFilters(5000.0f, -25.0f);
    CalCond_CaptureRawPoint(0, 0, 0.0002f, &status);
    CalCond_CompensatePoint(0, 0, 1200.0f, &status);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(u.pointCompensated[0], 1e-29f);
    // A point without a temperature in the filters is not taken.
    for (FilterRecord& filter : g_CalFilters) Filter_Init(&filter, kFilterDepth10);
    CalCond_CapturePoint(0, 0, 1500.0f, &status);
    EXPECT_NE(status, 0u);
    EXPECT_EQ(u.pointRef[0], 1200.0f);
    // A raw point of a process calibration keeps its value, temperature and measured value.
    Rig_SettleCalFilters(7000.0f, 21.0f);
    CalCond_CaptureRawPoint(0, 1, 0.00123f, &status);
    EXPECT_EQ(CalCond_GetRawPointValue(0, 1, &status), 0.00123f);
    EXPECT_EQ(u.pointMeasured[1], 7000.0f);
    EXPECT_EQ(u.pointTemp[1], 21.0f);
    // No solution has the reference at the point's temperature (5 Mohm x cm at 75 C is purer than
    // water at 0 C by "Std 75@C"): status 2, nothing taken.
    CalCond_SetRefTempMode(0, kCompModeStandard75);
    Rig_SettleCalFilters(5000.0f, 0.0f);
    CalCond_CapturePoint(0, 1, 5e6f, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(u.pointRef[1], 2000.0f);
}

TEST(CondCalibration, CellConstantsOneAndTwoPointsAndChannelBLimits) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    CalCond_SetDefaults(&status);
    for (uint32_t channel : {0u, 1u}) {
        CalInUseCond& u = g_CalInUse[channel].cond;
        // 1413 uS/cm (707.71 ohm x cm) read as 1000 ohm: cell constant 1.413 /cm.
        u.pointCompensated[0] = 707.7141f;
        u.pointMeasured[0] = 1000.0f;
        CalCond_CalibrateOnePoint(channel, &status);
        EXPECT_EQ(status, 0u);
        EXPECT_NEAR(u.cellConstant, 1.41300f, 1e-5f);
        EXPECT_EQ(u.zeroOffset, 0.0f);
        // Two points: cell constant and zero offset.
        u.pointRef[0] = 707.7141f;
        u.pointRef[1] = 77.639755f;
        u.pointCompensated[0] = 707.7141f;
        u.pointCompensated[1] = 77.639755f;
        u.pointMeasured[0] = 0.5f * (707.7141f - 3.0f);
        u.pointMeasured[1] = 0.5f * (77.639755f - 3.0f);
        CalCond_CalibrateTwoPoint(channel, &status);
        EXPECT_EQ(status, 0u);
        EXPECT_NEAR(u.cellConstant, 0.5f, 1e-5f);
        EXPECT_NEAR(u.zeroOffset, 3.0f, 1e-3f);
        // Measured values less than 1.0 apart: status 2 and the stored calibration stays in use.
        u.pointMeasured[1] = u.pointMeasured[0] + 0.99f;
        CalCond_CalibrateTwoPoint(channel, &status);
        EXPECT_EQ(status, 2u);
        EXPECT_EQ(u.cellConstant, 0.1f);
        EXPECT_EQ(u.zeroOffset, 0.0f);
        // Equal references.
        u.pointMeasured[1] = 100.0f;
        u.pointRef[1] = u.pointRef[0];
        CalCond_CalibrateTwoPoint(channel, &status);
        EXPECT_EQ(status, 2u);
        // One point at the zero offset.
        u.pointCompensated[0] = 0.0f;
        CalCond_CalibrateOnePoint(channel, &status);
        EXPECT_EQ(status, 2u);
    }
    // Channel B holds 0 < k <= 167.77215 and |offset| <= 83; channel A anything.
    const float cells[] = {167.77f, 167.78f, 0.0f, -1.0f};
    const uint32_t expectedB[] = {0u, 2u, 2u, 2u};
    for (uint32_t i = 0; i < 4; ++i) {
        for (uint32_t channel : {0u, 1u}) {
            g_CalInUse[channel].cond.cellConstant = cells[i];
            CalCond_CheckCellConstant(channel, &status);
            EXPECT_EQ(status, channel == 1 ? expectedB[i] : 0u) << cells[i] << " on channel " << channel;
        }
    }
    g_CalInUse[1].cond.zeroOffset = -83.0f;
    CalCond_CheckZeroOffset(1, &status);
    EXPECT_EQ(status, 0u);
    g_CalInUse[1].cond.zeroOffset = 83.5f;
    CalCond_CheckZeroOffset(1, &status);
    EXPECT_EQ(status, 2u);
    g_CalInUse[0].cond.zeroOffset = 500.0f;
    CalCond_CheckZeroOffset(0, &status);
    EXPECT_EQ(status, 0u);
    // A one-point calibration on channel B beyond its limit is reported.
    CalInUseCond& b = g_CalInUse[1].cond;
    b.pointCompensated[0] = 1.0f;
    b.pointMeasured[0] = 200.0f;
    CalCond_CalibrateOnePoint(1, &status);
    EXPECT_EQ(status, 2u);
}

TEST(CondSettings, StoredCalibrationCompensationAndLoadRules) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    // A blank store: the calibration of a channel loads at its defaults with status 120.
    CalCond_LoadSettings(1, 1, &status);
    EXPECT_EQ(status, kCondDefaulted);
    EXPECT_EQ(CalCond_GetCellConstant(1), 0.1f);
    EXPECT_EQ(CalCond_GetPointValue(1, 0), 707.7141f);
    EXPECT_EQ(CalCond_GetPointValue(1, 1), 77.639755f);
    // Stored and read back.
    CalInUseCond& u = g_CalInUse[1].cond;
    u.cellConstant = 0.47f;
    u.zeroOffset = -2.5f;
    u.pointRef[0] = 1000.0f;
    u.pointRef[1] = 100.0f;
    CalCond_StoreCal(1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Rig_StoredFloat(836), 0.47f);
    EXPECT_EQ(Rig_StoredFloat(844), -2.5f);
    EXPECT_EQ(Rig_StoredFloat(856), 1000.0f);
    EXPECT_EQ(Rig_StoredFloat(860), 100.0f);
    Cal_ResetState();
    CalCond_LoadSettings(1, 1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalCond_GetCellConstant(1), 0.47f);
    EXPECT_EQ(g_CalInUse[1].cond.zeroOffset, -2.5f);
    EXPECT_EQ(CalCond_GetPointValue(1, 1), 100.0f);
    // A stored cell constant of zero is no calibration: the defaults, with status 120.
    uint32_t s = 0;
    Eeprom_WriteFloat(836, 0.0f, &s);
    CalCond_LoadSettings(1, 1, &status);
    EXPECT_EQ(status, kCondDefaulted);
    EXPECT_EQ(CalCond_GetCellConstant(1), 0.1f);
    Eeprom_WriteFloat(836, 0.47f, &s);
    CalCond_LoadSettings(1, 1, &status);

    // Compensation settings at start-up: a coefficient above 0.9999 becomes 0.02 and a negative
    // one 0.0, each written back; the calibration pair is reset.
    CalCond_DefaultTempComp(&status);
    CalCond_SetTempCompMode(2, kCompModeAmmonia, &status);
    CalCond_SetTempCompCoefficient(1, 1.5f, &status);
    CalCond_SetTempCompCoefficient(3, -0.01f, &status);
    CalCond_SetRefTempMode(0, kCompModeLinear20);
    CalCond_LoadSettings(0, 0, &status);
    EXPECT_EQ(CalCond_GetTempCompMode(2), kCompModeAmmonia);
    EXPECT_EQ(CalCond_GetTempCompCoefficient(1), 0.02f);
    EXPECT_EQ(CalCond_GetTempCompCoefficient(3), 0.0f);
    EXPECT_EQ(Rig_StoredFloat(872), 0.02f);
    EXPECT_EQ(Rig_StoredFloat(880), 0.0f);
    EXPECT_EQ(CalCond_GetRefTempMode(0), 0);
    EXPECT_EQ(CalCond_GetRefCoefficient(0), 0.02f);
    EXPECT_EQ(CalCond_GetCellConstant(1), 0.47f);
    // A mode byte of 11 is accepted (it compensates like "None"); 12 defaults them all.
    Rig_WriteStoreByte(864, 11);
    CalCond_LoadSettings(0, 0, &status);
    EXPECT_EQ(CalCond_GetTempCompMode(0), 11);
    EXPECT_EQ(CalCond_GetTempCompMode(2), kCompModeAmmonia);
    Rig_WriteStoreByte(865, 12);
    CalCond_LoadSettings(0, 0, &status);
    for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(CalCond_GetTempCompMode(i), 0) << i;
    EXPECT_EQ(Rig_StoreBytes()[866], 0);
    // The setter refuses a mode beyond the list and a slot beyond the four.
    CalCond_SetTempCompMode(0, 12, &status);
    EXPECT_EQ(status, 2u);
    CalCond_SetTempCompMode(4, 1, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalCond_GetTempCompModeFwd(0), 0);
    CalCond_SetRefCoefficientFwd(1, 0.025f);
    EXPECT_EQ(CalCond_GetRefCoefficientFwd(0), 0.025f);

    // A store that cannot be written: 111.
    std::filesystem::remove(Rig_StorePath());
    CalCond_StoreCal(1, &status);
    EXPECT_EQ(status, 111u);
}

TEST(CondDataSet, FillsInTheSensorsUnitsAndApplies) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    CalInUseCond& u = g_CalInUse[1].cond;
    u.cellConstant = 0.5f;
    u.zeroOffset = -1.5f;
    u.pointTemp[0] = 25.0f;
    u.pointTemp[1] = 30.0f;
    u.pointMeasured[0] = 2000.0f;
    u.pointMeasured[1] = 0.0f;
    u.pointCompensated[0] = 707.7141f;
    u.pointCompensated[1] = 80.0f;
    CalDataSetRecord record;
    std::memset(&record, 0, sizeof record);
    record.b82 = 1;
    CalCond_FillDataSet(1, &record);
    EXPECT_EQ(record.b83, 1);
    EXPECT_EQ(record.v48, 7500.0f);
    EXPECT_EQ(record.v52, 8000.0f);
    EXPECT_EQ(record.v0, 50000.0f);
    EXPECT_EQ(record.v4, 42949.0f) << "a measured value of 0 has no reciprocal";
    EXPECT_NEAR(record.v60, 1e8f / 707.7141f, 1.0f);
    EXPECT_EQ(record.v64, 1250000.0f);
    EXPECT_EQ(record.v40, 50000.0f);
    EXPECT_EQ(record.v44, 8150000.0f);
    // A one-point set leaves the second point's fields.
    std::memset(&record, 0, sizeof record);
    u.pointCompensated[0] = 0.0f;
    CalCond_FillDataSet(1, &record);
    EXPECT_EQ(record.v60, 70771408.0f);
    EXPECT_EQ(record.v52, 0.0f);
    EXPECT_EQ(record.v64, 0.0f);
    // A decoded set: the references as reciprocals, cell constant and offset as they are.
    record.v60 = 1.0f / 707.7141f;
    record.v64 = 1.0f / 77.639755f;
    record.v40 = 0.5f;
    record.v44 = 2.0f;
    CalCond_ApplyDataSet(1, &record, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalCond_GetCellConstant(1), 0.5f);
    EXPECT_EQ(CalCond_GetZeroOffset(1), 2.0f);
    EXPECT_NEAR(CalCond_GetPointValue(1, 0), 707.7141f, 0.01f);
    EXPECT_NEAR(CalCond_GetPointValue(1, 1), 77.639755f, 0.001f);
    // A set without a cell constant is refused for it.
    record.v40 = 0.0f;
    CalCond_ApplyDataSet(1, &record, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalCond_GetCellConstant(1), 0.5f);
}
