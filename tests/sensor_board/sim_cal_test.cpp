// The board's calibration store driven by the host's requests: points, computations, saves into
// the parameter file, factory copies, defaults and the normalised table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "board_client.h"
#include "sensor_board/sim_cal.h"
#include "sensor_board/sim_eeprom.h"
#include "sensor_board/sim_meas.h"

using namespace board_client;
namespace fs = std::filesystem;

namespace {
std::vector<float> Table() {
    std::vector<uint8_t> payload = PayloadOf(Exchange(0x0C, {}));
    std::vector<float> table;
    for (size_t i = 0; i + 4 <= payload.size(); i += 4) table.push_back(Board_GetFloatBE(&payload[i]));
    return table;
}
}  // namespace

TEST(BoardCalibration, DefaultsReadAsOnesAndZerosInTheTable) {
    StartBoard();
    // Leave something off its default first, then reset to the defaults.
    ASSERT_EQ(Point(0, 11, 4.1f), 1);
    ASSERT_EQ(Point(1, 11, 20.2f), 1);
    ASSERT_EQ(Save(11, 0), 1);
    EXPECT_EQ(StatusOf(0x0E, {}), 0);
    std::vector<float> table = Table();
    ASSERT_EQ(table.size(), 27u);
    const std::vector<int> ones = {0, 2, 4, 6, 8, 10, 12, 13, 14, 15, 17, 19, 21, 23, 25};
    for (int i = 0; i < 27; ++i) {
        bool one = std::find(ones.begin(), ones.end(), i) != ones.end();
        EXPECT_NEAR(table[i], one ? 1.0f : 0.0f, 1e-5f) << "float " << i;
    }
}

TEST(BoardCalibration, LinesAndRangesComputeFromTheirPoints) {
    std::string path = StartBoard() + "Sensor Simulator";
    // Analog input: 4.1 at 4 mA, 20.2 at 20 mA.
    EXPECT_EQ(Point(0, 11, 4.1f), 1);
    EXPECT_EQ(Point(1, 11, 20.2f), 1);
    // Not in use before the save.
    EXPECT_FLOAT_EQ(SimCal_GetValue(11, 0), 1.0201217f);
    EXPECT_EQ(Save(11, 0), 1);
    EXPECT_NEAR(SimCal_GetValue(11, 0), 1.00625f, 1e-5f);
    EXPECT_NEAR(SimCal_GetValue(11, 1), 0.075f, 1e-4f);
    std::vector<uint8_t> file = ReadFile(path);
    EXPECT_NEAR(FloatLEAt(file, 240), 1.00625f, 1e-5f);
    EXPECT_NEAR(FloatLEAt(file, 244), 0.075f, 1e-4f);
    EXPECT_EQ(file[616], 0xFF) << "a user save leaves the factory copy alone";
    // The analog input current is the line's offset (no converter reading).
    EXPECT_NEAR(SimMeas_GetInputCurrent(), 0.075f, 1e-4f);
    std::vector<uint8_t> status = PayloadOf(Exchange(0x05, {}));
    ASSERT_EQ(status.size(), 12u);
    EXPECT_NEAR(Board_GetFloatBE(&status[8]), 0.075f, 1e-4f);

    // Voltage input: the converter's counts with a little noise give about 2.048 V / 32767.
    EXPECT_EQ(Point(0, 6, 0.5f), 1);
    EXPECT_EQ(Point(1, 6, 1.5f), 1);
    EXPECT_EQ(Save(6, 0), 1);
    EXPECT_NEAR(SimCal_GetValue(6, 0), 2.048f / 32767.0f, 2.048f / 32767.0f * 0.001f);
    EXPECT_NEAR(Table()[10], 1.0f, 0.001f);

    // Range 2 from two different references: cell factor 0.00001, the offset kept.
    EXPECT_EQ(Point(0, 2, 50.0f), 1);
    EXPECT_EQ(Point(1, 2, 150.0f), 1);
    EXPECT_EQ(Save(2, 0), 1);
    EXPECT_NEAR(SimCal_GetValue(2, 0), 0.00001f, 1e-9f);
    EXPECT_NEAR(SimCal_GetValue(2, 1), 0.0f, 1e-3f);
    // Range 0: cell factor 0.000001, temperature factor 0.
    EXPECT_EQ(Point(0, 0, 200.0f), 1);
    EXPECT_EQ(Point(1, 0, 400.0f), 1);
    EXPECT_EQ(Save(0, 0), 1);
    EXPECT_NEAR(SimCal_GetValue(0, 0), 0.000001f, 1e-10f);
    EXPECT_NEAR(SimCal_GetTempFactor(), 0.0f, 1e-3f);
    EXPECT_NEAR(FloatLEAt(ReadFile(path), 204), 0.0f, 1e-3f);
}

TEST(BoardCalibration, RefusedPointsAndComputations) {
    StartBoard();
    // A conductivity point of nearly nothing, a third point of a two-point kind.
    EXPECT_EQ(Point(0, 1, 1e-10f), 0);
    EXPECT_EQ(Point(2, 1, 5.0f), 0);
    EXPECT_EQ(Point(2, 11, 5.0f), 0);
    // Equal references of the analog input; equal readings of a range.
    EXPECT_EQ(Point(0, 11, 7.0f), 1);
    EXPECT_EQ(Point(1, 11, 7.0f), 0);
    EXPECT_EQ(Point(0, 3, 7.0f), 1);
    EXPECT_EQ(Point(1, 3, 7.0f), 0);
    // The curve's points lie on a line (each reading is its reference): refused.
    EXPECT_EQ(Point(0, 5, 100.0f), 1);
    EXPECT_EQ(Point(1, 5, 200.0f), 1);
    EXPECT_EQ(Point(2, 5, 300.0f), 0);
    // Points closer than 10 on the curve.
    EXPECT_EQ(Point(2, 5, 205.0f), 0);
    // The raw input's counts follow the set value, which has not moved: refused.
    EXPECT_EQ(Point(0, 12, 10.0f), 1);
    EXPECT_EQ(Point(1, 12, 20.0f), 0);
    // Kinds the board does not have accept without effect.
    EXPECT_EQ(Point(0, 13, 1.0f), 1);
    EXPECT_EQ(Save(13, 0), 1);
    // The impedance factor cannot come from a board that never demodulates: refused, and its
    // save fails with nothing stored.
    EXPECT_EQ(Point(0, 9, 10.0f), 1);
    EXPECT_EQ(Point(1, 9, 100.0f), 0);
    uint32_t status = 0;
    EXPECT_EQ(SimCal_Save(9, 0, &status), 0u);
    EXPECT_EQ(status, 12u);
    EXPECT_FLOAT_EQ(SimCal_GetValue(9, 0), 1.6509663f);
    EXPECT_EQ(Save(9, 0), 0);
    // Nothing refused changed the table.
    std::vector<float> table = Table();
    EXPECT_NEAR(table[23], 1.0f, 1e-5f);
    EXPECT_NEAR(table[6], 1.0f, 1e-6f);
}

TEST(BoardCalibration, RawLinearInputFollowsTheSetValue) {
    StartBoard();
    std::vector<uint8_t> setValue = FloatBE(100.0f);
    EXPECT_EQ(StatusOf(0x04, setValue), 0);
    EXPECT_EQ(Point(0, 12, 10.0f), 1);
    setValue = FloatBE(300.0f);
    EXPECT_EQ(StatusOf(0x04, setValue), 0);
    EXPECT_EQ(Point(1, 12, 30.0f), 1);
    EXPECT_EQ(Save(12, 0), 1);
    // Counts 3359.139 + 2.9492 x set value: 3654 and 4244, over values 10 and 30.
    EXPECT_NEAR(SimCal_GetValue(12, 0), (4244.0f - 3654.0f) / 20.0f, 1e-3f);
    EXPECT_NEAR(SimCal_GetValue(12, 1), 3654.0f - 10.0f * 29.5f, 1e-2f);
    // The set value is limited to +-1000.
    setValue = FloatBE(5000.0f);
    EXPECT_EQ(StatusOf(0x04, setValue), 0);
    EXPECT_FLOAT_EQ(SimMeas_GetSetValue(), 1000.0f);
}

TEST(BoardCalibration, ASetValueThatIsNoNumberIsRefusedAndNoPointConvertsOne) {
    StartBoard();
    EXPECT_EQ(StatusOf(0x04, FloatBE(100.0f)), 0);
    // 77 08 04 FF FF FF FF: a set value that is not a number, refused; the set value stays.
    std::vector<uint8_t> frame = {0x77, 0x08, 0x04, 0xFF, 0xFF, 0xFF, 0xFF};
    frame.push_back(Board_Checksum(frame.data(), static_cast<uint32_t>(frame.size())));
    Send(frame);
    Board_Poll();
    std::vector<uint8_t> reply = Fetch();
    ASSERT_EQ(reply.size(), 5u);
    EXPECT_EQ(reply[3], 7);
    EXPECT_EQ(SimMeas_GetSetValue(), 100.0f);
    // 77 0A 01 00 0C 00 00 00 00: the raw-linear point 0 at 0.0 counts at the set value 100.
    frame = {0x77, 0x0A, 0x01, 0x00, 0x0C, 0x00, 0x00, 0x00, 0x00};
    frame.push_back(Board_Checksum(frame.data(), static_cast<uint32_t>(frame.size())));
    Send(frame);
    Board_Poll();
    EXPECT_EQ(PayloadOf(Fetch()), std::vector<uint8_t>{1});
    ASSERT_EQ(StatusOf(0x04, FloatBE(300.0f)), 0);
    ASSERT_EQ(Point(1, 12, 20.0f), 1);
    ASSERT_EQ(Save(12, 0), 1);
    EXPECT_NEAR(SimCal_GetValue(12, 0), (4244.0f - 3654.0f) / 20.0f, 1e-3f);
    EXPECT_NEAR(SimCal_GetValue(12, 1), 3654.0f, 1e-2f);
    // An infinite set value is a number: limited like any other.
    EXPECT_EQ(StatusOf(0x04, FloatBE(-std::numeric_limits<float>::infinity())), 0);
    EXPECT_EQ(SimMeas_GetSetValue(), -1000.0f);
    // A stored line so steep that the count at the set value is beyond any converter word: the
    // point is refused rather than converted.
    ASSERT_EQ(SimEeprom_WriteFloat(1e30f, 248), 0u);
    SimCal_LoadRawLinear();
    ASSERT_EQ(SimCal_GetValue(12, 0), 1e30f);
    EXPECT_EQ(Point(0, 12, 5.0f), 0);
    EXPECT_EQ(StatusOf(0x04, FloatBE(0.0f)), 0);
    EXPECT_EQ(Point(0, 12, 5.0f), 1);
}

TEST(BoardCalibration, FactoryCopyAndRestore) {
    std::string folder = Rig_MakeTempFolder();
    std::string path = StartBoardIn(folder) + "Sensor Simulator";
    // A board never factory-saved restores the kinds' defaults, not zeros, and says so.
    ASSERT_EQ(Point(0, 11, 4.1f), 1);
    ASSERT_EQ(Point(1, 11, 20.2f), 1);
    ASSERT_EQ(Save(11, 0), 1);
    uint32_t status = 0;
    SimCal_RestoreAllFactory(&status);
    EXPECT_EQ(status, 30u);
    EXPECT_FLOAT_EQ(SimCal_GetValue(11, 0), 1.0201217f);
    EXPECT_FLOAT_EQ(SimCal_GetValue(0, 0), 1.0f);
    EXPECT_FLOAT_EQ(SimCal_GetValue(5, 1), 5174.70898f);
    EXPECT_FLOAT_EQ(FloatLEAt(ReadFile(path), 240), 1.0201217f);
    // A factory save (mode 1) writes both copies, range 0 also its temperature factor.
    ASSERT_EQ(Point(0, 11, 4.1f), 1);
    ASSERT_EQ(Point(1, 11, 20.2f), 1);
    ASSERT_EQ(Save(11, 1), 1);
    ASSERT_EQ(Point(0, 0, 200.0f), 1);
    ASSERT_EQ(Point(1, 0, 400.0f), 1);
    ASSERT_EQ(Save(0, 1), 1);
    std::vector<uint8_t> file = ReadFile(path);
    EXPECT_NEAR(FloatLEAt(file, 616), 1.00625f, 1e-5f);
    EXPECT_NEAR(FloatLEAt(file, kSimCalTempFactorFactory), 0.0f, 1e-3f);
    // Defaults over the user copy; the restore brings the factory values back.
    EXPECT_EQ(StatusOf(0x0E, {}), 0);
    EXPECT_FLOAT_EQ(SimCal_GetValue(11, 0), 1.0201217f);
    EXPECT_EQ(StatusOf(0x0D, {}), 0);
    EXPECT_NEAR(SimCal_GetValue(11, 0), 1.00625f, 1e-5f);
    EXPECT_NEAR(SimCal_GetValue(0, 0), 0.000001f, 1e-10f);
    EXPECT_NEAR(SimCal_GetTempFactor(), 0.0f, 1e-3f);
    EXPECT_NEAR(FloatLEAt(ReadFile(path), 240), 1.00625f, 1e-5f);
    // And they are what the next start loads.
    SimCal_Reset();
    StartBoardIn(folder);
    EXPECT_NEAR(SimCal_GetValue(11, 0), 1.00625f, 1e-5f);
}

TEST(BoardCalibration, SavesThatCannotBeWrittenReportTheirKindsStatus) {
    std::string folder = Rig_MakeTempFolder();
    std::string path = StartBoardIn(folder) + "Sensor Simulator";
    fs::remove(path);
    fs::create_directory(path);
    struct Case {
        uint8_t kind;
        uint32_t status;
    };
    for (Case c : {Case{6, 31}, Case{5, 41}, Case{2, 51}, Case{12, 92}, Case{11, 10}, Case{7, 10}}) {
        uint32_t status = 0;
        EXPECT_EQ(SimCal_Save(c.kind, 0, &status), 0u) << int(c.kind);
        EXPECT_EQ(status, c.status) << int(c.kind);
    }
    EXPECT_EQ(Save(3, 0), 0);
}

TEST(BoardMeasurement, RecordByKind) {
    StartBoard();
    // Channel 0 in four-electrode conductivity: the value, the range in use, the range mode.
    EXPECT_EQ(StatusOf(0x0A, {0, 4}), 0);
    EXPECT_EQ(SimMeas_GetState()->electrodes, 4);
    EXPECT_EQ(StatusOf(0x03, {2}), 0);
    std::vector<uint8_t> record = PayloadOf(Exchange(0x00, {}));
    ASSERT_EQ(record.size(), 21u);
    std::vector<uint8_t> expected(21, 0);
    expected[0] = 4;
    expected[14] = 2;
    EXPECT_EQ(record, expected);
    // Oxygen: the gain mode and the set value (the polarization voltage).
    EXPECT_EQ(StatusOf(0x0A, {0, 6}), 0);
    EXPECT_EQ(g_BoardSettlingCount, 2);
    EXPECT_EQ(StatusOf(0x10, {1}), 0);
    std::vector<uint8_t> setValue = FloatBE(-500.0f);
    EXPECT_EQ(StatusOf(0x04, setValue), 0);
    record = PayloadOf(Exchange(0x00, {}));
    expected.assign(21, 0);
    expected[0] = 6;
    expected[13] = 1;
    std::vector<uint8_t> volts = FloatBE(-500.0f);
    std::copy(volts.begin(), volts.end(), expected.begin() + 14);
    EXPECT_EQ(record, expected);
    // Channel 1's kind is the last one set: the record follows it.
    EXPECT_EQ(StatusOf(0x0A, {1, 1}), 0);
    EXPECT_EQ(SimMeas_GetState()->kind[0], 6);
    expected.assign(21, 0);
    expected[0] = 1;
    EXPECT_EQ(PayloadOf(Exchange(0x00, {})), expected);
}
