// The meter calibration's reference values: the presets the calibration chooses by position,
// the three points and their bounds, and the range tests of raw input signals.
#include <gtest/gtest.h>

#include <cmath>

#include "measurement/calibration.h"
#include "measurement/meas.h"
#include "measurement/meter_cal.h"

namespace {
struct Preset {
    uint32_t position;
    float point0;
    float point1;
};

void ExpectPoints(float p0, float p1, float p2) {
    uint32_t status = 9;
    EXPECT_EQ(MeterCal_GetPoint(0, &status), p0);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(MeterCal_GetCurrentPoint(1, &status), p1);
    EXPECT_EQ(MeterCal_GetResistancePoint(2, &status), p2);
}
}  // namespace

TEST(MeterCal, PresetsByPositionKeepTheThirdPointExceptForTheTemperatureInput) {
    // The temperature input's three points first: the pairs after it leave its third point.
    Cal_RequestBoardMode(0x100015);
    ExpectPoints(1000.0f, 3000.0f, 66000.0f);
    const Preset kPairs[] = {
        {0x100010, 1e6f, 1e7f},    {0x100011, 1e5f, 1e6f},        {0x100012, 1e4f, 1e5f},
        {0x100013, 1e3f, 1e4f},    {0x100014, 100.0f, 1000.0f},   {0x100016, -1.5f, 1.5f},
        {0x100017, 0.0f, -750.0f}, {0x100018, -750.0f, -7500.0f}, {kMeasIdAnalogInput, 4.0f, 20.0f},
    };
    for (const Preset& p : kPairs) {
        Cal_RequestBoardMode(p.position);
        SCOPED_TRACE(p.position);
        ExpectPoints(p.point0, p.point1, 66000.0f);
    }
    // Position 0 clears all three.
    Cal_RequestBoardMode(0);
    ExpectPoints(0.0f, 0.0f, 0.0f);
}

TEST(MeterCal, PointsPastTheTripleAndInputsThatDoNotExistChangeNothing) {
    uint32_t status = 0;
    MeterCal_SetPoint(0, 1.0f, &status);
    MeterCal_SetCurrentPoint(1, 2.0f, &status);
    MeterCal_SetResistancePoint(2, 3.0f, &status);
    EXPECT_EQ(status, 0u);
    ExpectPoints(1.0f, 2.0f, 3.0f);
    // A fourth point is refused, whichever width its index has.
    MeterCal_SetPoint(3, 9.0f, &status);
    EXPECT_EQ(status, kStatusOver);
    MeterCal_SetCurrentPoint(300, 9.0f, &status);
    EXPECT_EQ(status, kStatusOver);
    MeterCal_SetResistancePoint(0x10000, 9.0f, &status);
    EXPECT_EQ(status, kStatusOver);
    EXPECT_EQ(MeterCal_GetResistancePoint(0x10000, &status), 0.0f);
    EXPECT_EQ(status, kStatusOver);
    ExpectPoints(1.0f, 2.0f, 3.0f);
    // Inputs beyond the five resistances and two currents preset nothing; the resistance preset
    // leaves its status as it was.
    status = 77;
    MeterCal_PresetResistance(5, &status);
    EXPECT_EQ(status, 77u);
    MeterCal_PresetCurrent(2, &status);
    EXPECT_EQ(status, 0u);
    ExpectPoints(1.0f, 2.0f, 3.0f);
    MeterCal_PresetResistance(4, &status);
    ExpectPoints(100.0f, 1000.0f, 3.0f);
}

TEST(MeterCal, SignalRangesAtTheirEdges) {
    uint32_t status = 9;
    MeterCal_CheckSignalRange(2.001f, &status);
    EXPECT_EQ(status, 0u);
    MeterCal_CheckSignalRange(2.0011f, &status);
    EXPECT_EQ(status, kStatusOver);
    MeterCal_CheckSignalRange(-2.001f, &status);
    EXPECT_EQ(status, 0u);
    MeterCal_CheckSignalRange(-2.0011f, &status);
    EXPECT_EQ(status, kStatusUnder);
    MeterCal_CheckSignalRange(std::nanf(""), &status);
    EXPECT_EQ(status, kStatusUnder);

    MeterCal_CheckPositiveRange(0.25f, &status);
    EXPECT_EQ(status, 0u);
    MeterCal_CheckPositiveRange(0.2499f, &status);
    EXPECT_EQ(status, kStatusUnder);
    MeterCal_CheckPositiveRange(9.99e7f, &status);
    EXPECT_EQ(status, 0u);
    MeterCal_CheckPositiveRange(1e8f, &status);
    EXPECT_EQ(status, kStatusOver);
    MeterCal_CheckPositiveRange(std::nanf(""), &status);
    EXPECT_EQ(status, kStatusUnder);
}
