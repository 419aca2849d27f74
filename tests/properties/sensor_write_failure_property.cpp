// The sensor keeps what the instrument uses: a pH sensor on channel B (any of the three pH models)
// calibrated by keys in one or two buffers at a process temperature and saved with "Save Adjust"
// while its file takes no write (a full disk, a file or a folder that may not be written). The
// failure shows on the display until ENTER, whatever other key is pressed; the calibration the
// sensor refused is not taken into use: once the sensor is read again, and after it is plugged
// again and after a restart, the instrument measures and shows what it did before, and the
// sensor's file holds what it held.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "../digital_sensor/plug_support.h"
#include "../ui/ui_support.h"
#include "full_disk.h"
#include "measurement/ph.h"
#include "property_support.h"
#include "read_only_file.h"
#include "settings/settings_system.h"
#include "sim/sim_inputs.h"

using namespace ui_test;

namespace {
using Bytes = std::vector<uint8_t>;

struct PhModel {
    const char* file;
    uint8_t code;
};
const PhModel kModels[] = {{"PH_SelvoP11_0.txt", 1}, {"PH_SelvoP12_0.txt", 1}, {"PH_SelvoP11_1.txt", 1}};

// The buffer set in use, "Vandor-9", at a few temperatures: its 4, 7 and 9 buffers.
struct BufferRow {
    uint32_t t;
    float ph[3];
};
const BufferRow kBuffers[] = {
    {15, {4.00f, 7.04f, 9.32f}}, {25, {4.01f, 7.00f, 9.21f}}, {35, {4.02f, 6.98f, 9.11f}}, {50, {4.06f, 6.97f, 8.99f}}};

// What keeps the sensor's file from taking a write.
enum class Refusal : uint8_t { kFullDisk, kReadOnlyFile, kReadOnlyFolder };
// The sensor's file is 608 bytes of three characters each; the disk takes less than that.
constexpr rlim_t kDiskBytes = 1800;

// Channel B on all four measurement lines.
const std::vector<std::pair<uint32_t, uint8_t>> kLinesOnB = {{1200, 1}, {1201, 1}, {1202, 1}, {1203, 1}};

struct SensorCase {
    uint8_t model = 0;
    Refusal refusal = Refusal::kReadOnlyFile;
    uint8_t row = 0;              // of kBuffers
    uint8_t buffers[2] = {0, 1};  // the buffers of the points (one point: the first)
    uint8_t points = 2;
    uint32_t slopeTenths = 950;  // the electrode's slope, tenths of a percent
};

void showValue(const SensorCase& c, std::ostream& os) {
    static const char* const kRefusals[] = {"full disk", "read-only file", "read-only folder"};
    os << kModels[c.model].file << ", " << kRefusals[static_cast<int>(c.refusal)] << ", " << int(c.points)
       << " point(s) at " << kBuffers[c.row].t << " C in pH " << kBuffers[c.row].ph[c.buffers[0]];
    if (c.points == 2) os << " and " << kBuffers[c.row].ph[c.buffers[1]];
    os << ", electrode slope " << c.slopeTenths / 10.0f << " %";
}

// The electrode's voltage in a buffer, +3 mV at pH 7.
float ElectrodeMv(const SensorCase& c, float ph) {
    float t = static_cast<float>(kBuffers[c.row].t);
    return 3.0f + c.slopeTenths / 1000.0f * (54.2f + 0.1984f * t) * (7.0f - ph);
}

void InBuffer(const SensorCase& c, uint32_t buffer) {
    Panel_SetSimInput(1, kSimTemperatureB, static_cast<float>(kBuffers[c.row].t));
    Panel_SetSimInput(1, kSimElectrodeVolts, ElectrodeMv(c, kBuffers[c.row].ph[buffer]));
}

std::string SensorFile(const SensorCase& c) {
    return (std::filesystem::path(Rig_StorePath()).parent_path() / kModels[c.model].file).string();
}

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// What the instrument shows and uses of the sensor's calibration, and the sensor's file.
struct Seen {
    float slope;
    float zero;
    std::string reading;
    Bytes file;
};

Seen Look(const SensorCase& c) {
    InBuffer(c, c.buffers[0]);
    Rig_AdvanceMs(20000);
    return Seen{CalPh_GetSlopePercent(1), CalPh_GetZeroPointPh(1), Rig_BigLineText(0), FileBytes(SensorFile(c))};
}

void ExpectAsBefore(const SensorCase& c, const Seen& before, const char* when) {
    Seen now = Look(c);
    EXPECT_EQ(now.slope, before.slope) << when;
    EXPECT_EQ(now.zero, before.zero) << when;
    EXPECT_EQ(now.reading, before.reading) << when;
    EXPECT_TRUE(now.file == before.file) << when << ": the sensor's file changed";
}

// CAL, channel B's calibration of that many points, each point taken once the reading is stable,
// then "Save Adjust".
void CalibrateAndSaveAdjust(const SensorCase& c) {
    Press(kKeyCal);
    ASSERT_EQ(Row(12), "Channel B pH           $");
    Press(kKeyEnter);
    std::string type = c.points == 2 ? "Type = 2 point         $" : "Type = 1 point         $";
    for (int i = 0; i < 4 && Row(12) != type; ++i) Press(kKeyUp);
    ASSERT_EQ(Row(12), type);
    Press(kKeyEnter);
    for (uint32_t i = 0; i < c.points; ++i) {
        ASSERT_EQ(Menu_TopScreen(), kScreenList);
        InBuffer(c, c.buffers[i]);
        Press(kKeyEnter);
        for (int k = 0; k < 60 && Menu_TopScreen() == kScreenNumericEditor; ++k) Rig_AdvanceMs(1000);
    }
    Rig_AdvanceMs(200);
    ASSERT_EQ(Row(12), "Save Adjust            $");
    Press(kKeyEnter);
}

void CheckSensorKeepsWhatIsUsed(const SensorCase& c) {
    const PhModel& model = kModels[c.model];
    plug_test::BootOnChannelB(kLinesOnB);
    InBuffer(c, c.buffers[0]);
    plug_test::Plug(model.file, model.code);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    g_SystemSettings.calUnlock = 0;
    const Seen before = Look(c);

    std::string folder = std::filesystem::path(Rig_StorePath()).parent_path().string();
    std::optional<FullDisk> disk;
    std::optional<ReadOnlyFile> file;
    std::optional<ReadOnlyFolder> where;
    if (c.refusal == Refusal::kFullDisk) disk.emplace(kDiskBytes);
    if (c.refusal == Refusal::kReadOnlyFile) file.emplace(SensorFile(c));
    if (c.refusal == Refusal::kReadOnlyFolder) where.emplace(folder);
    bool refused = c.refusal == Refusal::kFullDisk ? disk->Ok() : (file ? file->Ok() : where->Ok());
    ASSERT_TRUE(refused) << "no way here to keep this process from writing the sensor's file";
    CalibrateAndSaveAdjust(c);
    for (int i = 0; i < 30 && Row(12) != "  Sensor Save Failed!"; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(Row(12), "  Sensor Save Failed!");
    // It stands over any key but ENTER, and while the sensor is read again behind it.
    Press(kKeyUp);
    Press(kKeyInfo);
    Rig_AdvanceMs(20000);
    EXPECT_EQ(Row(12), "  Sensor Save Failed!");
    // The disk has room again, the file or folder may be written: nothing of the refused
    // calibration reaches the sensor from here on either.
    disk.reset();
    file.reset();
    where.reset();
    Press(kKeyEnter);
    EXPECT_TRUE(plug_test::RunUntilState(kPlugResume, 20000));
    EXPECT_TRUE(plug_test::RunUntilState(kPlugIdle, 10000));
    ExpectAsBefore(c, before, "once the sensor was read again");
    ASSERT_TRUE(plug_test::Replug(model.file, model.code));
    ExpectAsBefore(c, before, "after the sensor was plugged again");
    plug_test::RestartInSameFolder();
    InBuffer(c, c.buffers[0]);
    Link_SelectSensorImage(1, model.file, model.code);
    EXPECT_TRUE(plug_test::RunUntilState(kPlugResume));
    EXPECT_TRUE(plug_test::RunUntilState(kPlugIdle, 10000));
    ExpectAsBefore(c, before, "after a restart");
}

rc::Gen<SensorCase> CaseGen() {
    return rc::gen::exec([] {
        SensorCase c;
        c.model = *rc::gen::inRange<uint8_t>(0, 3);
        c.refusal = *rc::gen::element(Refusal::kFullDisk, Refusal::kReadOnlyFile, Refusal::kReadOnlyFolder);
        c.row = *rc::gen::inRange<uint8_t>(0, 4);
        c.points = *rc::gen::element<uint8_t>(1, 2);
        // Two different buffers of the three.
        c.buffers[0] = *rc::gen::inRange<uint8_t>(0, 3);
        c.buffers[1] = static_cast<uint8_t>((c.buffers[0] + *rc::gen::inRange<uint8_t>(1, 3)) % 3);
        c.slopeTenths = *rc::gen::inRange<uint32_t>(930, 1011);
        return c;
    });
}
}  // namespace

RC_GTEST_PROP(SensorWriteFailure, ACalibrationTheSensorRefusesIsNotTakenIntoUse, ()) {
    CheckSensorKeepsWhatIsUsed(*rc::gen::resize(100, CaseGen()));
}

// A one-point calibration at 15 C that the sensor's read-only file refuses: the failure stands
// until ENTER, and the sensor, read again, gives back the calibration it had.
TEST(SensorWriteFailure, AOnePointCalibrationTheFileRefusesIsNotUsed) {
    SensorCase c;
    c.points = 1;
    c.slopeTenths = 930;
    CheckSensorKeepsWhatIsUsed(c);
}
