// The sensor keeps what the instrument uses: a pH sensor on channel B (any of the three pH models)
// calibrated by keys in one or two buffers at a process temperature and saved with "Save Adjust"
// while its file takes no write (a full disk, a file or a folder that may not be written). The
// failure shows on the display until ENTER, whatever other key is pressed; the calibration the
// sensor refused is not taken into use: once the sensor is read again, and after it is plugged
// again and after a restart, the instrument measures and shows what it did before, and the
// sensor's file holds what it held.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "../digital_sensor/plug_support.h"
#include "../ui/ui_support.h"
#include "core/settings.h"
#include "digital_sensor/sens_diag.h"
#include "full_disk.h"
#include "measurement/co2.h"
#include "measurement/ph.h"
#include "property_support.h"
#include "read_only_file.h"
#include "settings/settings_sensor.h"
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

// While it lives, this process cannot write the sensor's file, in the way chosen.
struct Refusing {
    std::optional<FullDisk> disk;
    std::optional<ReadOnlyFile> file;
    std::optional<ReadOnlyFolder> where;
    Refusing(Refusal r, const std::string& path) {
        if (r == Refusal::kFullDisk) disk.emplace(kDiskBytes);
        if (r == Refusal::kReadOnlyFile) file.emplace(path);
        if (r == Refusal::kReadOnlyFolder) where.emplace(std::filesystem::path(path).parent_path().string());
    }
    bool Ok() const { return disk ? disk->Ok() : (file ? file->Ok() : where->Ok()); }
};

// Channel B on all four measurement lines.
const std::vector<std::pair<uint32_t, uint8_t>> kLinesOnB = {{1200, 1}, {1201, 1}, {1202, 1}, {1203, 1}};

// A start on channel B with the sensor taken over (its file beside the store), idle.
void BootWithSensor(const char* file, uint8_t code) {
    plug_test::BootOnChannelB(kLinesOnB);
    plug_test::Plug(file, code);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
}

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
    InBuffer(c, c.buffers[0]);
    BootWithSensor(model.file, model.code);
    g_SystemSettings.calUnlock = 0;
    const Seen before = Look(c);

    std::optional<Refusing> refusing;
    refusing.emplace(c.refusal, SensorFile(c));
    ASSERT_TRUE(refusing->Ok()) << "no way here to keep this process from writing the sensor's file";
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
    refusing.reset();
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

// The same promise for the settings "Save Changes" writes into the sensor: its timers ("Sensor
// Monitoring"), an oxygen sensor's polarization voltage, a CO2 sensor's salinity and bicarbonate.
// Saved while the sensor's file takes no write, the failure shows until ENTER, the setting is
// not in use (its page, the value in use and the store come back to what the sensor holds) and
// the sensor, read again, is not taken anew over and over; after a re-plug and a restart the
// instrument shows what it showed before. Once the file takes writes again, the same save is
// kept, over a re-plug and a restart.
namespace {

enum class Setting : uint8_t { kTimers, kPolarization, kCo2 };
struct SettingModel {
    Setting setting;
    const char* file;
    uint8_t code;
};
const SettingModel kSettingModels[] = {
    {Setting::kTimers, "PH_SelvoP11_0.txt", 1},       {Setting::kTimers, "PH_SelvoP12_0.txt", 1},
    {Setting::kTimers, "PH_SelvoP11_1.txt", 1},       {Setting::kTimers, "pNa_SelvoN11_0.txt", 2},
    {Setting::kTimers, "DO_SelvoD11_0.txt", 5},       {Setting::kTimers, "DO_SelvoD14_0.txt", 8},
    {Setting::kTimers, "CO2_SelvoC11_0.txt", 10},     {Setting::kPolarization, "DO_SelvoD11_0.txt", 5},
    {Setting::kPolarization, "DO_SelvoD12_0.txt", 6}, {Setting::kPolarization, "DO_SelvoD13_0.txt", 7},
    {Setting::kPolarization, "DO_SelvoD14_0.txt", 8}, {Setting::kCo2, "CO2_SelvoC11_0.txt", 10},
};

// Channel B's store bytes of what the sensor is told: the time to maintenance, the adaptive
// calibration timer, the measuring polarization voltage, the CO2 salinity and bicarbonate.
const std::pair<uint32_t, uint32_t> kSensorSettingBytes[] = {{464, 4}, {472, 4}, {938, 2}, {507, 4}, {515, 4}};

// The two lines of a page as numbers in its own units (time to maintenance in tenths of a day on
// a pH sensor, else days; adaptive calibration timer in days; the measuring and the calibration
// polarization voltage in mV; salinity in hundredths of a g/L, bicarbonate in thousandths of a
// mol/L). The calibration polarization voltage is the transmitter's own: it stays as saved.
struct Values {
    int32_t line[2];
};
struct SettingCase {
    uint8_t model = 0;
    Refusal refusal = Refusal::kReadOnlyFile;
    std::optional<Values> first;  // saved while the file takes writes, before the refused save
    Values refused{{400, 40}};
};

void showValue(const SettingCase& c, std::ostream& os) {
    static const char* const kRefusals[] = {"full disk", "read-only file", "read-only folder"};
    static const char* const kSettings[] = {"timers", "polarization", "CO2 values"};
    const SettingModel& m = kSettingModels[c.model];
    os << m.file << " " << kSettings[static_cast<int>(m.setting)] << ", " << kRefusals[static_cast<int>(c.refusal)];
    if (c.first) os << ", first saved " << c.first->line[0] << " / " << c.first->line[1];
    os << ", refused " << c.refused.line[0] << " / " << c.refused.line[1];
}

bool IsPh(const SettingModel& m) { return m.code <= 2; }

std::string FileOf(const SettingModel& m) {
    return (std::filesystem::path(Rig_StorePath()).parent_path() / m.file).string();
}

void OpenSettingPage(const SettingModel& m) {
    Press(kKeyMenu);
    std::vector<std::string> items = {"Configure", "VDX Setup", "Sensor Monitoring"};
    int enters = 3;
    if (m.setting != Setting::kTimers) {
        items = {"Configure", "Measurement", m.setting == Setting::kCo2 ? "CO2" : "O2"};
        enters = m.setting == Setting::kCo2 ? 1 : 4;
    }
    for (const std::string& item : items) ASSERT_TRUE(Choose(item)) << item;
    for (int i = 0; i < enters; ++i) Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
}

// The texts typed for the values, in the shape the page edits them (a decimal point the cursor
// passes over is not typed).
std::string LineText(const SettingModel& m, uint32_t line, int32_t v) {
    char text[16];
    if (m.setting == Setting::kTimers) {
        std::snprintf(text, sizeof text, line == 0 ? "%04d" : "%03d", static_cast<int>(v));
    } else if (m.setting == Setting::kPolarization) {
        std::snprintf(text, sizeof text, "%c%04d", v < 0 ? '-' : ' ', static_cast<int>(v < 0 ? -v : v));
    } else if (line == 0) {
        std::snprintf(text, sizeof text, "%02d.%02d", static_cast<int>(v / 100), static_cast<int>(v % 100));
    } else {
        std::snprintf(text, sizeof text, "0.%03d", static_cast<int>(v));
    }
    return text;
}

// The page opened, its values typed, and "Save Changes Yes & Exit" (taken: the save ends home).
void TypeAndSave(const SettingModel& m, const Values& v, bool taken = false) {
    OpenSettingPage(m);
    for (uint32_t line = 0; line < 2; ++line) {
        for (int i = 0; i < 12 && (g_ValuePageLine != line || g_ValuePageCursor != 0); ++i) Press(kKeyCal);
        ASSERT_EQ(g_ValuePageLine, line);
        ValuePageType(LineText(m, line, v.line[line]).c_str());
    }
    for (int i = 0; i < 12 && Row(11) != "Save Changes Yes & Exit"; ++i) Press(kKeyEnter);
    ASSERT_EQ(Row(11), "Save Changes Yes & Exit");
    Press(kKeyEnter);
    if (!taken) return;
    for (int i = 0; i < 20 && Menu_TopScreen() != kScreenHome; ++i) Rig_AdvanceMs(500);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome) << Row(12);
}

// What the instrument shows and uses of the sensor's settings (of the polarization page its first
// row), the transmitter's calibration polarization voltage, and the sensor's file.
struct SettingSeen {
    std::string rows;
    Bytes store;
    float live[5];
    int16_t calPolarization;
    Bytes file;
};

SettingSeen LookAt(const SettingModel& m) {
    Rig_AdvanceMs(5000);
    SettingSeen s;
    OpenSettingPage(m);
    s.rows = m.setting == Setting::kPolarization ? Row(11) : Row(11) + " | " + Row(12);
    Post(kEventHome);
    Bytes store = Rig_StoreBytes();
    for (const auto& r : kSensorSettingBytes)
        s.store.insert(s.store.end(), &store.at(r.first), &store.at(r.first) + r.second);
    const SensDiagSettings& d = g_SensDiagSettings[1];
    float live[5] = {float(d.ttmInterval), float(d.actInterval), float(Settings_GetMeasPolVoltage(1)),
                     CalPh_GetCo2Salinity(1), CalPh_GetCo2Bicarbonate(1)};
    std::memcpy(s.live, live, sizeof live);
    s.calPolarization = g_SensorSettings.calPolVoltage[1];
    s.file = FileBytes(FileOf(m));
    return s;
}

void ExpectSeen(const SettingModel& m, const SettingSeen& was, const char* when, bool file = true) {
    SettingSeen now = LookAt(m);
    EXPECT_EQ(now.rows, was.rows) << when;
    EXPECT_TRUE(now.store == was.store) << when << ": the store's bytes of the sensor's settings";
    for (int i = 0; i < 5; ++i) EXPECT_EQ(now.live[i], was.live[i]) << when << ": value in use " << i;
    EXPECT_EQ(now.calPolarization, was.calPolarization) << when;
    if (file) {
        EXPECT_TRUE(now.file == was.file) << when << ": the sensor's file";
    }
}

void ReplugAndRestart(const SettingModel& m, const SettingSeen& was, const char* what) {
    SCOPED_TRACE(what);
    ASSERT_TRUE(plug_test::Replug(m.file, m.code));
    ExpectSeen(m, was, "after the sensor was plugged again");
    plug_test::RestartInSameFolder();
    Link_SelectSensorImage(1, m.file, m.code);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugResume));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 10000));
    ExpectSeen(m, was, "after a restart");
}

void CheckRefusedSettingIsNotUsed(const SettingCase& c) {
    const SettingModel& m = kSettingModels[c.model];
    BootWithSensor(m.file, m.code);
    if (c.first) TypeAndSave(m, *c.first, true);
    SettingSeen before = LookAt(m);
    std::optional<Refusing> refusing;
    refusing.emplace(c.refusal, FileOf(m));
    ASSERT_TRUE(refusing->Ok()) << "no way here to keep this process from writing the sensor's file";
    TypeAndSave(m, c.refused);
    for (int i = 0; i < 30 && Row(12) != "  Sensor Save Failed!"; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(Row(12), "  Sensor Save Failed!");
    Press(kKeyUp);
    Rig_AdvanceMs(20000);
    EXPECT_EQ(Row(12), "  Sensor Save Failed!");
    if (m.setting == Setting::kPolarization) before.calPolarization = static_cast<int16_t>(c.refused.line[1]);
    // ENTER while the file still refuses: the sensor read again is taken up once, with what it
    // holds, and stays.
    Press(kKeyEnter);
    EXPECT_TRUE(plug_test::RunUntilState(kPlugResume, 20000));
    EXPECT_TRUE(plug_test::RunUntilState(kPlugIdle, 10000));
    for (int i = 0; i < 40; ++i) {
        Rig_AdvanceMs(1000);
        ASSERT_EQ(Vdx_GetPlugState(), kPlugIdle) << "the sensor is taken anew: " << Row(11);
    }
    ExpectSeen(m, before, "once the sensor was read again", false);
    refusing.reset();
    ExpectSeen(m, before, "once the file takes writes again");
    ReplugAndRestart(m, before, "the refused save");

    // The same save, now that the file takes it, is kept.
    TypeAndSave(m, c.refused, true);
    const SettingSeen saved = LookAt(m);
    EXPECT_NE(saved.rows, before.rows);
    ReplugAndRestart(m, saved, "the save taken");
}

// First values from the ranges below the refused ones, which differ from every value a sensor
// comes with (a refused measuring voltage by 20 mV and more, as the sensor keeps steps of 5 mV).
rc::Gen<Values> ValuesGen(const SettingModel& m, bool first) {
    auto pair = [](int32_t low0, int32_t high0, int32_t low1, int32_t high1) {
        return rc::gen::apply(
            [](int32_t x, int32_t y) {
                return Values{{x, y}};
            },
            rc::gen::inRange(low0, high0 + 1), rc::gen::inRange(low1, high1 + 1));
    };
    switch (m.setting) {
        case Setting::kTimers: {
            int32_t ttm = IsPh(m) ? 300 : (m.code == 10 ? 30 : 180);
            int32_t ttmHigh = IsPh(m) ? 4000 : (m.code == 10 ? 400 : 1000);
            return first ? pair(IsPh(m) ? 1 : 2, ttm, 1, 30) : pair(ttm + 1, ttmHigh, 31, 170);
        }
        case Setting::kPolarization:
            if (first) return pair(-900, -700, -900, -400);
            return rc::gen::map(pair(0, 8, -900, -400), [](Values v) {
                v.line[0] = -400 - 10 * v.line[0];
                return v;
            });
        default:
            return first ? pair(0, 50, 0, 15) : pair(51, 6000, 16, 255);
    }
}

rc::Gen<SettingCase> SettingCaseGen() {
    return rc::gen::exec([] {
        SettingCase c;
        c.model = *rc::gen::inRange<uint8_t>(0, sizeof kSettingModels / sizeof kSettingModels[0]);
        const SettingModel& m = kSettingModels[c.model];
        c.refusal = *rc::gen::element(Refusal::kFullDisk, Refusal::kReadOnlyFile, Refusal::kReadOnlyFolder);
        if (*rc::gen::arbitrary<bool>()) c.first = *ValuesGen(m, true);
        c.refused = *ValuesGen(m, false);
        return c;
    });
}
}  // namespace

RC_GTEST_PROP(SensorWriteFailure, ASettingTheSensorRefusesIsNotTakenIntoUse, ()) {
    CheckRefusedSettingIsNotUsed(*rc::gen::resize(100, SettingCaseGen()));
}

SettingCase Refused(uint8_t model, int32_t line0, int32_t line1) {
    SettingCase c;
    c.model = model;
    c.refused = Values{{line0, line1}};
    return c;
}

// Cases the property found. A pH sensor's time to maintenance refused: it stayed in use and in the
// store, and the sensor, read again, was pushed it and taken anew every half minute.
TEST(SensorWriteFailure, ARefusedTimerIsNotUsedNorPushedAgainAndAgain) {
    CheckRefusedSettingIsNotUsed(Refused(0, 1, 1));
}
// A CO2 sensor's salinity saved as 0.51 g/L came back as the sensor's 0.50 once the sensor was
// plugged again (a bicarbonate of 0.005 mol/L as another float).
TEST(SensorWriteFailure, Co2ValuesSavedIntoTheSensorStayAsSaved) { CheckRefusedSettingIsNotUsed(Refused(11, 0, 5)); }

// A sensor whose memory holds another time to maintenance than the transmitter keeps (as another
// sensor of the model left it), its file read-only: pushed the transmitter's at its adoption, it
// refuses it and is read again, and is then taken up once with its own, not again and again.
TEST(SensorWriteFailure, ASensorRefusingTheTransmittersTimerIsTakenUpWithItsOwn) {
    const SettingModel& m = kSettingModels[0];
    BootWithSensor(m.file, m.code);
    const SettingSeen own = LookAt(m);
    g_SensDiagSettings[1].ttmInterval = 125;
    ReadOnlyFile file(FileOf(m));
    ASSERT_TRUE(file.Ok());
    ASSERT_TRUE(plug_test::Replug(m.file, m.code));
    int resumed = 0;
    for (uint8_t was = kPlugIdle, i = 0; i < 200; ++i, was = Vdx_GetPlugState()) {
        Rig_AdvanceMs(500);
        if (Vdx_GetPlugState() == kPlugResume && was != kPlugResume) ++resumed;
    }
    EXPECT_LE(resumed, 1) << "the sensor is taken anew again and again";
    ExpectSeen(m, own, "the sensor taken up with its own timer");
}
