// Calibrations of channel B's digital sensors, driven by keys over every model of the panel's list,
// every calibration type and the points' units, at temperatures the sensor is used at:
// - "Save Adjust" closes the calibration on its references: the reading at each point's input, in
//   the reference's unit, is the reference entered or offered, to the resolution shown;
// - "Save Calibrate" and "Abort" change nothing in use (reading, outputs, calibration data), and
//   the sensor's history holds a calibration saved as "Calibrate" as its newest set.
#include <algorithm>
#include <cmath>

#include "cal_b_walk.h"

using namespace calb;

namespace {

// What is in use after "Save Adjust" is what the sensor holds, to the resolution of its fields.
// A pH-family sensor keeps a calibration's points to a tenth of a millivolt and a thousandth of a
// pH: 0.0014 pH at most, which a CO2 value (ten to the power of a pH) shows as 0.4 % of itself. An
// oxygen sensor keeps its slope to a tenth of a nanoampere in air and its zero to a picoampere,
// a share of the reading of its slope in air.
double SensorResolution(const CalCase& c, const Reference& r, const std::string& result) {
    Family family = kModels[c.model].family;
    if (family == Family::Co2 && r.unit != "pH") return 0.004 * std::fabs(r.value);
    double slope = 0.0, step = 0.0;
    if (family == Family::O2 && LabelledValue(result, "S=", &slope, &step) && slope != 0.0) {
        return (0.05 + 0.0005) / std::fabs(slope) * std::fabs(r.value);
    }
    return 0.0;
}

void CheckClosesOnItsReferences(const CalCase& c) {
    StartWithSensor(c);
    Walked w = Calibrate(c);
    ASSERT_TRUE(w.resultShown) << "no result";
    ASSERT_FALSE(w.references.empty());
    for (uint32_t i = 0; i < w.references.size(); ++i) {
        Reference r = OnALine(w.references[i]);
        SetPointInputs(c, i);
        std::string shown = ReadingIn(r);
        double value = 0.0, step = 0.0;
        ASSERT_TRUE(NumberIn(shown, &value, &step)) << "line 1 shows \"" << shown << "\"";
        EXPECT_NEAR(value, r.value, std::max({step, r.step, SensorResolution(c, r, w.result)}) * 1.0001)
            << "point " << i + 1 << " (" << w.points[i] << ") reads " << shown << " " << r.unit;
    }
}

// The newest history set ("Cal1") is the result, dated today; "Act" is what it was.
void ExpectRecordedAsCalibration(const std::vector<std::string>& before, const std::vector<std::string>& after,
                                 const std::string& result) {
    ASSERT_GE(after.size(), 3u);
    EXPECT_EQ(after[1], before[1]) << "the set in use";
    auto cal1 = std::find_if(after.begin(), after.end(), [](const std::string& r) { return r.rfind("Cal1", 0) == 0; });
    ASSERT_NE(cal1, after.end()) << "no Cal1";
    EXPECT_EQ(cal1->substr(0, 13), "Cal1 25/06/01") << *cal1;
    for (const char* label : {"S=", "Z=", "M=", "A="}) {
        double a = 0.0, sa = 0.0, b = 0.0, sb = 0.0;
        if (!LabelledValue(result, label, &a, &sa)) continue;
        ASSERT_TRUE(LabelledValue(*cal1, label, &b, &sb)) << *cal1;
        // The sensor keeps a calibration to the resolution of its fields (a few thousandths of a
        // pH, a tenth of a nanoampere); the result screen shows a negative value that rounds to
        // zero as a zero with one decimal more.
        EXPECT_NEAR(a, b, 5.0 * sa + 0.003 * std::fabs(a)) << label << " of " << result << " and " << *cal1;
    }
}

void CheckCalibrateOrAbortKeeps(const CalCase& c) {
    StartWithSensor(c);
    Seen before = Look();
    std::vector<std::string> history = HistoryRows();
    Walked w = Calibrate(c);
    ASSERT_TRUE(w.resultShown) << "no result";
    SetPointInputs(c, 0);
    EXPECT_EQ(Look(), before);
    std::vector<std::string> after = HistoryRows();
    // The optical sensor's history is its own (the simulated sensor answers from fixed records).
    if (c.save == Save::Abort || kModels[c.model].family == Family::Optical) {
        EXPECT_EQ(after, history);
    } else {
        ExpectRecordedAsCalibration(history, after, w.result);
    }
}

rc::Gen<CalCase> GenKept() {
    return rc::gen::exec([] {
        CalCase c = *GenCalCase(true);
        c.save = *rc::gen::element(Save::Calibrate, Save::Abort);
        return c;
    });
}

}  // namespace

RC_GTEST_PROP(ChannelBCalibration, AdjustClosesOnItsReferences, ()) { CheckClosesOnItsReferences(*GenCalCase(false)); }

RC_GTEST_PROP(ChannelBCalibration, CalibrateOrAbortChangesNothingInUse, ()) { CheckCalibrateOrAbortKeeps(*GenKept()); }

// Cases the properties found, kept: model (index of the panel's list), type, save, buffer set or
// compensation, unit steps, typed, temperature, points, sensor, lab, later.

// A held CO2 point stepped to another unit kept its number ("14.45 %CO2" became "14.45 hPa").
TEST(ChannelBCalibration, HeldCo2PointStepsItsNumberWithItsUnit) {
    CheckClosesOnItsReferences(
        {11, Type::Process, Save::Adjust, 8, 1, false, 25.0f, {6.968f, 9.0f}, {0.0f, 1.0f}, 1.0f});
}
TEST(ChannelBCalibration, HeldCo2PointStepsItsNumberWithItsUnitShrunk) {
    CheckClosesOnItsReferences({11, Type::Process, Save::Adjust, 0, 1, false, 5.0f, {2, 3}, {-10.0f, 0.96f}, 1.0f});
}
// A trace sensor at its zero read under range in ppm of the gas when its zero rounded the other way.
TEST(ChannelBCalibration, TraceSensorAtItsZeroReadsZero) {
    CheckClosesOnItsReferences({6, Type::Zero, Save::Adjust, 0, 1, false, 43.0f, {1.15f, 0.0f}, {0.0f, 0.85f}, 1.0f});
}
// "Save Calibrate" put the sensor's isothermal point of 7.0002 back where the pH page had stored
// 7.000: the zero in use moved a digit.
TEST(ChannelBCalibration, CalibrateOnlyKeepsTheIsothermalPointThePageShows) {
    CheckCalibrateOrAbortKeeps({0, Type::OnePoint, Save::Calibrate, 0, 0, false, 5.0f, {0, 1}, {-10.0f, 0.96f}, 0.0f});
}
