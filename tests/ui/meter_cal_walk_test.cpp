// The meter calibration by keys against the sensor board library: Service > Calibrate > "Meter",
// each of its eleven inputs opening every point at the input's preset reference in the field's
// unit; a resistance range calibrated with those references, saved into the library's calibration
// and read back from it after the program started again; the calibration not saved, and the
// inputs whose calibration the board refuses; the analog input at its presets.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/util.h"
#include "measurement/decoders.h"
#include "measurement/meter_cal.h"
#include "measurement/temperature.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// The board's calibration request for a point: command 0x01 with the point, the kind and the value.
constexpr uint8_t kCommandCalPoint = 0x01;
// The library's parameter file beside the settings store, and in it the cell factor of
// conductivity range 2 (the meter's "Resistance 3").
constexpr char kBoardFile[] = "Sensor Simulator";
constexpr uint32_t kBoardCellFactorRange2 = 164 + 4 * 2;
// Resistance 3's entry of the board's calibration table.
constexpr uint32_t kTableCellFactorRange2 = 2;

// A start on the store and library file of the folder, the element at 25 C.
void Start(const std::string& folder) {
    Rig_Reset(folder);
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(25.0f));
    Rig_Boot();
    Rig_AdvanceMs(8000);
    g_SystemSettings.calUnlock = 0;
}

// MENU, "Service", "Calibrate": the meter's first input; then the input that many UP steps on.
void ChooseMeterInput(int steps) {
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Service"));
    ASSERT_TRUE(Choose("Calibrate"));
    ASSERT_EQ(Row(11), "Calibrate Meter");
    Press(kKeyCal);
    Step(steps);
}

// The values of the calibration points the board was asked to take since the frame at from.
std::vector<float> PointValuesSent(size_t from) {
    std::vector<float> values;
    const std::vector<RigFrame>& frames = Rig_SentFrames();
    for (size_t i = from; i < frames.size(); ++i) {
        const std::vector<uint8_t>& f = frames[i].bytes;
        if (f.size() >= 9 && f[2] == kCommandCalPoint) values.push_back(Util_GetFloatBE(&f[5]));
    }
    return values;
}

float BoardFileFloat(const std::string& folder, uint32_t offset) {
    std::ifstream in(std::filesystem::path(folder) / kBoardFile, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    float value = std::nanf("");
    if (bytes.size() >= offset + 4) std::memcpy(&value, &bytes[offset], 4);
    return value;
}

// ENTER on each point in turn, a user's pause between them; the editor gives way after the last.
void EnterEveryPoint() {
    for (int i = 0; i < 3 && Menu_TopScreen() == kScreenNumericEditor; ++i) {
        Rig_AdvanceMs(2000);
        Press(kKeyEnter);
    }
    for (int i = 0; i < 20 && Menu_TopScreen() == kScreenWaitForBoard; ++i) Rig_AdvanceMs(500);
}

// A reference as the field's text and unit prefix give it back: the preset to float precision.
void ExpectReference(float value, float preset) { EXPECT_NEAR(value, preset, 1e-6f * std::fabs(preset)); }

struct MeterInput {
    const char* row12;
    std::vector<std::string> points;  // row 11 of each point as it opens
    std::vector<float> presets;
};
}  // namespace

TEST(MeterCalibrationWalk, EachInputOpensItsPointsAtTheirPresets) {
    const MeterInput kInputs[] = {
        {"Channel A Resistance 1 $", {"A Point1 = 1.0000 MΩ", "A Point2 = 10.000 MΩ"}, {1e6f, 1e7f}},
        {"Channel A Resistance 2 $", {"A Point1 = 100.00 KΩ", "A Point2 = 1.0000 MΩ"}, {1e5f, 1e6f}},
        {"Channel A Resistance 3 $", {"A Point1 = 10.000 KΩ", "A Point2 = 100.00 KΩ"}, {1e4f, 1e5f}},
        {"Channel A Resistance 4 $", {"A Point1 = 1.0000 KΩ", "A Point2 = 10.000 KΩ"}, {1e3f, 1e4f}},
        // Plain ohms show the blank prefix "_".
        {"Channel A Resistance 5 $", {"A Point1 = 100.00 _Ω", "A Point2 = 1.0000 KΩ"}, {100.0f, 1000.0f}},
        {"Channel A Temperature  $",
         {"A Point1 = 1.0000 KΩ", "A Point2 = 3.0000 KΩ", "A Point3 = 66.000 KΩ"},
         {1000.0f, 3000.0f, 66000.0f}},
        {"Channel A Voltage      $", {"A Point1 = -1.500 V", "A Point2 = 1.5000 V"}, {-1.5f, 1.5f}},
        {"Channel A Current 1    $", {"A Point1 = 0.0000 nA", "A Point2 = -750.0 nA"}, {0.0f, -750.0f}},
        {"Channel A Current 2    $", {"A Point1 = -750.0 nA", "A Point2 = -7500. nA"}, {-750.0f, -7500.0f}},
        {"Channel A Rg Diagnostic$", {"A Point1 = 30.000 MΩ", "A Point2 = 500.00 MΩ"}, {30.0f, 500.0f}},
        {"Channel A Rr Diagnostic$", {"A Point1 = 30.000 KΩ", "A Point2 = 200.00 KΩ"}, {30.0f, 200.0f}},
    };
    Start(Rig_MakeTempFolder());
    int steps = 0;
    for (const MeterInput& input : kInputs) {
        SCOPED_TRACE(input.row12);
        ChooseMeterInput(steps++);
        ASSERT_EQ(Row(12), input.row12);
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
        size_t sent = Rig_SentFrames().size();
        for (size_t point = 0; point < input.points.size(); ++point) {
            EXPECT_EQ(Row(11), input.points[point]);
            // Offered, not yet taken: a point is recorded only by ENTER.
            if (point + 1 == input.points.size()) break;
            Rig_AdvanceMs(2000);
            Press(kKeyEnter);
            ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
        }
        Rig_AdvanceMs(2000);
        // ENTER alone took each preset as the point's reference, and the board was asked to take
        // it (Rr's points only bound its range).
        uint32_t status = 0;
        std::vector<float> sentValues = PointValuesSent(sent);
        EXPECT_EQ(sentValues.size(), steps == 11 ? 0u : input.points.size() - 1);
        for (size_t point = 0; point + 1 < input.points.size(); ++point) {
            ExpectReference(MeterCal_GetPoint(static_cast<uint8_t>(point), &status), input.presets[point]);
            if (point < sentValues.size()) ExpectReference(sentValues[point], input.presets[point]);
        }
        EscapeKey();
        Rig_AdvanceMs(3000);
        ASSERT_EQ(Menu_TopScreen(), kScreenHome);
    }
}

TEST(MeterCalibrationWalk, ResistanceReachesTheBoardsCalibrationAndAStartAgain) {
    std::string folder = Rig_MakeTempFolder();
    Start(folder);
    EXPECT_FLOAT_EQ(g_BoardCalTable[kTableCellFactorRange2], 1.0f);
    ChooseMeterInput(2);
    Press(kKeyEnter);
    size_t sent = Rig_SentFrames().size();
    EnterEveryPoint();
    std::vector<float> sentValues = PointValuesSent(sent);
    ASSERT_EQ(sentValues.size(), 2u);
    ExpectReference(sentValues[0], 1e4f);
    ExpectReference(sentValues[1], 1e5f);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode1);
    EXPECT_EQ(Row(11), "Save Calibration Yes");
    Press(kKeyEnter);
    EXPECT_EQ(Row(12), "Please wait...");
    for (int i = 0; i < 10 && Row(12) != "Calibration Successful"; ++i) Rig_AdvanceMs(500);
    EXPECT_EQ(Row(12), "Calibration Successful");
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    // The board took the range's new cell factor (its readings equal its references: 1 / 100000)
    // into its file, and its table says so.
    EXPECT_NEAR(BoardFileFloat(folder, kBoardCellFactorRange2), 1e-5f, 1e-9f);
    EXPECT_NEAR(g_BoardCalTable[kTableCellFactorRange2], 1e-5f, 1e-9f);
    // Started again, the board reads its calibration back; the meter's points are presets again.
    Start(folder);
    EXPECT_NEAR(g_BoardCalTable[kTableCellFactorRange2], 1e-5f, 1e-9f);
    ChooseMeterInput(2);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "A Point1 = 10.000 KΩ");
}

TEST(MeterCalibrationWalk, CalibrationNotSavedLeavesTheBoardsAsItWas) {
    std::string folder = Rig_MakeTempFolder();
    Start(folder);
    float stored = BoardFileFloat(folder, kBoardCellFactorRange2);
    ChooseMeterInput(2);
    Press(kKeyEnter);
    EnterEveryPoint();
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode1);
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Save Calibration No");
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(BoardFileFloat(folder, kBoardCellFactorRange2), stored);
    Start(folder);
    EXPECT_FLOAT_EQ(g_BoardCalTable[kTableCellFactorRange2], 1.0f);
}

TEST(MeterCalibrationWalk, InputsWhoseCalibrationTheBoardRefusesAreNotDone) {
    // The temperature input's three points lie on the board's own straight line, and the board
    // demodulates no impedance from which an Rg factor could come.
    for (int steps : {5, 9}) {
        SCOPED_TRACE(steps);
        Start(Rig_MakeTempFolder());
        ChooseMeterInput(steps);
        Press(kKeyEnter);
        EnterEveryPoint();
        EXPECT_EQ(Menu_TopScreen(), kScreenCalNotDone);
        EXPECT_EQ(Row(11), "Calibration Not Done");
        Press(kKeyEnter);
        Rig_AdvanceMs(3000);
        EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    }
}

TEST(MeterCalibrationWalk, AnalogInputOpensAtFourAndTwentyMilliamperes) {
    Start(Rig_MakeTempFolder());
    Panel_SetSimInput(0, kSimAnalogInput, 12.0f);
    Rig_AdvanceMs(3000);
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Service"));
    ASSERT_TRUE(Choose("Calibrate"));
    Press(kKeyUp);
    ASSERT_EQ(Row(11), "Calibrate Analog");
    Press(kKeyCal);
    Step(2);
    ASSERT_EQ(Row(12), "Analog Input           $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11), "  Point1 = 4.000 mA");
    Rig_AdvanceMs(2000);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "  Point2 = 20.00 mA");
}
