// What a digital sensor on channel B holds, over every model of the panel's list and every
// calibration saved into it by keys:
// - what is in use comes back: the lines and the calibration data after the sensor is plugged
//   again and after the program starts again are those shown before, at any temperature, to the
//   last digit shown;
// - the two pages that show the calibration in use agree: INFO "Calibration Data" and the "Act"
//   set of "ChB Cal History" (P100 and P0 of the optical sensor).
#include <algorithm>
#include <cmath>

#include "cal_b_walk.h"

using namespace calb;

namespace {

// The lines and the calibration data as they stand.
std::vector<std::string> InUse() {
    Seen s = Look();
    std::vector<std::string> shown = {s.line[0], s.line[1]};
    shown.insert(shown.end(), s.calData.begin(), s.calData.end());
    return shown;
}

void CheckWhatIsInUseComesBack(const CalCase& c) {
    StartWithSensor(c);
    Walked w = Calibrate(c);
    ASSERT_TRUE(w.resultShown) << "no result";
    SetPointInputs(c, 2);
    std::vector<std::string> before = InUse();
    Replug(c);
    SetPointInputs(c, 2);
    EXPECT_EQ(InUse(), before) << "after a re-plug";
    Restart(c);
    SetPointInputs(c, 2);
    EXPECT_EQ(InUse(), before) << "after a restart";
}

void CheckPagesAgree(const CalCase& c, bool calibrate) {
    StartWithSensor(c);
    if (calibrate) {
        ASSERT_TRUE(Calibrate(c).resultShown) << "no result";
    }
    std::vector<std::string> data = CalDataRows();
    std::vector<std::string> history = HistoryRows();
    ASSERT_FALSE(data.empty());
    ASSERT_GE(history.size(), 2u);
    const std::string& act = history[1];
    ASSERT_EQ(act.substr(0, 3), "Act") << act;
    int compared = 0;
    for (const char* label : {"S=", "Z=", "M=", "A=", "P100=", "P0="}) {
        double a = 0.0, sa = 0.0, b = 0.0, sb = 0.0;
        if (!LabelledValue(data[0], label, &a, &sa)) continue;
        ASSERT_TRUE(LabelledValue(act, label, &b, &sb)) << label << " not in " << act;
        // Two roundings of one value differ by at most half of each one's last digit.
        EXPECT_LE(std::fabs(a - b), (sa + sb) / 2.0 * 1.0001) << data[0] << " and " << act;
        ++compared;
    }
    EXPECT_EQ(compared, 2) << data[0];
}

}  // namespace

RC_GTEST_PROP(ChannelBSensor, WhatIsInUseComesBack, ()) { CheckWhatIsInUseComesBack(*GenCalCase(true)); }

RC_GTEST_PROP(ChannelBSensor, CalibrationDataAndHistoryAgree, ()) {
    CheckPagesAgree(*GenCalCase(true), *rc::gen::arbitrary<bool>());
}

// Cases the properties found, kept: model (index of the panel's list), type, save, buffer set or
// compensation, unit steps, typed, temperature, points, sensor, lab, later.

// The optical sensor's history showed P100 and P0 swapped ("P100=61.8 P0=22.4").
TEST(ChannelBSensor, OpticalSensorsPagesAgreeOnP100AndP0) { CheckPagesAgree({9}, false); }
// What came back moved a digit: a CO2 process calibration, a pH two-point one at 45 C, a pH
// one-point one at 5 C.
TEST(ChannelBSensor, Co2ProcessCalibrationComesBack) {
    CheckWhatIsInUseComesBack(
        {11, Type::Process, Save::Adjust, 8, 0, false, 25.0f, {6.968f, 9.0f}, {0.0f, 1.0f}, 1.04f, {25.0f, 0.98f}});
}
TEST(ChannelBSensor, PhTwoPointCalibrationAt45CComesBack) {
    CheckWhatIsInUseComesBack(
        {0, Type::TwoPoint, Save::Adjust, 0, 0, false, 45.0f, {1, 2}, {0.0f, 1.0f}, 0.0f, {45.0f, 1.0f}});
}
TEST(ChannelBSensor, PhOnePointCalibrationAt5CComesBack) {
    CheckWhatIsInUseComesBack(
        {0, Type::OnePoint, Save::Adjust, 7, 0, false, 5.0f, {0, 1}, {-10.0f, 0.96f}, 0.0f, {0.0f, 0.9f}});
}
