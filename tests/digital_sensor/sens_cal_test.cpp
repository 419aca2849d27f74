// Calibration data sets in the sensor's memory image: the day count, saturated fields, and the
// history that a stored calibration shifts.
#include <gtest/gtest.h>

#include "core/link.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_mem.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "rig.h"
#include "rig_sensor.h"

namespace {
void AdoptPhImage() {
    Rig_PowerOn();
    RigSensorIdentity id;
    std::vector<uint8_t> image = RigSensor_BuildImage(id);
    // An erased calibration area (pages 3 to 10, but each page's checksum byte).
    for (uint32_t i = 96; i < 352; ++i) {
        if (i % 32 != 0) image[i] = 0xFF;
    }
    RigSensor_FixChecksums(image);
    std::copy(image.begin(), image.end(), g_SensorMemImage[kSensorStagingImage]);
    Chan_ForceKind(1, kKindPh);
    g_SensorMemLayout[1] = kLayoutPh;
    SensMem_AdoptStagingImage(1);
}

CalDataSetRecord Dated(uint16_t year, uint8_t month, uint8_t day, float zero) {
    CalDataSetRecord r{};
    r.date = {year, month, day, 1, 9, 30, 0};
    r.v0 = 7.0f;
    r.v60 = 7.0f;
    r.v64 = 4.01f;
    r.v4 = zero;
    r.v8 = zero + 176.0f;
    r.v48 = r.v52 = 25.0f;
    return r;
}
}  // namespace

TEST(SensorCalSets, DayCountBothWays) {
    ClockRecord d{2008, 1, 1, 1, 0, 0, 0};
    EXPECT_EQ(SensMem_DateToDays(&d), 3652u);
    d = {2008, 3, 1, 1, 0, 0, 0};
    EXPECT_EQ(SensMem_DateToDays(&d), 3712u);
    SensMem_DaysToDate(3712, &d);
    EXPECT_EQ(d.month, 3);
    EXPECT_EQ(d.day, 1);
    SensMem_DaysToDate(3711, &d);
    EXPECT_EQ(d.month, 2);
    EXPECT_EQ(d.day, 29);
    // A date before 2008 is no valid clock.
    SensMem_DaysToDate(790, &d);
    EXPECT_EQ(d.year, 2008);
    EXPECT_EQ(d.month, 1);
    EXPECT_EQ(d.day, 1);
}

TEST(SensorCalSets, ThreeCalibrationsShiftTheHistoryAndTheFirstStaysTheFirstAdjustment) {
    AdoptPhImage();
    // Erased history: nothing dated but "Fact" and "Act".
    for (uint32_t set = kCalSetFirstAdjust; set < kCalSetCount; ++set) {
        CalDataSetRecord r{};
        EXPECT_EQ(SensMem_HasCalDataSet(1, set), SensMem_ReadCalDataSet(1, set, &r)) << set;
    }
    {
        CalDataSetRecord c = Dated(2024, 1, 10, -10.0f);
        SensMem_StoreCalibration(1, &c);
    }
    {
        CalDataSetRecord c = Dated(2024, 2, 10, -20.0f);
        SensMem_StoreCalibration(1, &c);
    }
    {
        CalDataSetRecord c = Dated(2024, 3, 10, -30.0f);
        SensMem_StoreCalibration(1, &c);
    }
    CalDataSetRecord r{};
    const uint8_t months[kCalSetCount] = {0, 3, 1, 3, 2, 1};
    for (uint32_t set = kCalSetActual; set < kCalSetCount; ++set) {
        ASSERT_EQ(SensMem_ReadCalDataSet(1, set, &r), 1u) << set;
        EXPECT_EQ(r.date.month, months[set]) << set;
        EXPECT_EQ(r.date.hour, 9);
        EXPECT_EQ(r.date.minute, 30);
    }
    ASSERT_EQ(SensMem_ReadCalDataSet(1, kCalSetActual, &r), 1u);
    EXPECT_NEAR(r.v4, -30.0f, 0.05f);
    EXPECT_NEAR(r.v64, 4.01f, 0.001f);
    // Every page written is back in order and waits for the sensor.
    for (uint32_t page = 0; page < kSensorImagePages; ++page) {
        EXPECT_EQ(SensMem_IsPageValid(&g_SensorMemImage[1][page * kSensorPageBytes]), 1u) << page;
    }
    EXPECT_NE(g_DirtyPages[1], 0u);
}

TEST(SensorCalSets, AnInvalidDateIsStampedAsTheFirstDayAndThenAbsent) {
    AdoptPhImage();
    CalDataSetRecord r = Dated(2024, 1, 10, 0.0f);
    r.date.year = 2000;
    SensMem_StoreCalHistory(1, &r);
    CalDataSetRecord back{};
    EXPECT_EQ(SensMem_ReadCalDataSet(1, kCalSetCal1, &back), 0u);
}

TEST(SensorCalSets, FieldsSaturateInsteadOfWrapping) {
    AdoptPhImage();
    g_SensorKindActive[1] = kKindPhPna;
    // An invalid impedance (9999 megaohm) stays the largest number its field holds; a negative
    // temperature below the field's range stores 0, not a wrapped value.
    CalDataSetRecord r = Dated(2024, 1, 10, 0.0f);
    r.v16 = 9999.0f;
    r.v20 = 9999.0f;
    r.v48 = -80.0f;
    uint8_t buffer[kCalSetBufferBytes] = {};
    SensMem_EncodeCalDataSet(1, buffer, &r);
    EXPECT_EQ(SensMem_GetBits(buffer, 272, 12), 4095u);
    EXPECT_EQ(SensMem_GetBits(buffer, 284, 12), 4095u);
    EXPECT_EQ(SensMem_GetBits(buffer, 144, 12), 0u);
    // The oxygen zero field keeps to 0..16380.
    g_SensorMemLayout[1] = kLayoutOxygen;
    g_SensorKindActive[1] = kKindO2High;
    r.v44 = -9000.0f;
    SensMem_EncodeCalDataSet(1, buffer, &r);
    EXPECT_EQ(SensMem_GetBits(buffer, 108, 14), 0u);
    r.v44 = 9000.0f;
    SensMem_EncodeCalDataSet(1, buffer, &r);
    EXPECT_EQ(SensMem_GetBits(buffer, 108, 14), 16380u);
}
