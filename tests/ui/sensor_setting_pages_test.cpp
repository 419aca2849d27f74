// The pages that set what channel B's digital sensor keeps or is told, by keys with the program's
// own sensor files: the sensor timers and the optical sensor's sampling interval reach the store
// and the sensor only with "Yes & Exit" ("No & Exit", ESC, the leave marker and the time-out drop
// them), and the sampling interval, the process stress, the process calibration mode and the
// manual hold each keep a store byte of their own, over a restart.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../digital_sensor/plug_support.h"
#include "core/link_transport.h"
#include "core/util.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "ui/value_page.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
constexpr uint32_t kStoreSamplingRate = 893;  // the optical sensor's S133 setting
constexpr uint32_t kStoreProcCalMode = 2200;
constexpr uint32_t kStoreManualHold = 2201;
constexpr uint32_t kStoreProcessStress = 2202;
constexpr uint32_t kStoreTtmB = 460 + 4;
constexpr uint32_t kStoreActB = 468 + 4;
constexpr uint32_t kActRegister = 5;
constexpr uint32_t kImagePageBytes = 32;
constexpr uint32_t kIntervalPage = 1;

// A digital sensor of the program's own files, and the sensor kind it comes up as.
struct SensorModel {
    const char* file;
    uint8_t code;
    uint8_t kind;
};
constexpr SensorModel kPhSensor = {"PH_SelvoP11_0.txt", 1, kKindPh};
constexpr SensorModel kOxygenSensor = {"DO_SelvoD11_0.txt", 5, kKindO2High};
constexpr SensorModel kOpticalSensor = {"OPT_SelvoQ11_0.txt", 9, kKindO2Optical};

std::string Folder() { return std::filesystem::path(Rig_StorePath()).parent_path().string() + "/"; }

// Runs until the sensor of that kind measures on channel B, the plug-and-measure screens over.
void WaitForSensor(uint8_t kind) {
    for (int i = 0; i < 60; ++i) {
        Rig_AdvanceMs(1000);
        if (Vdx_GetPlugState() == kPlugIdle && g_SensorKindActive[1] == kind) break;
    }
    ASSERT_EQ(g_SensorKindActive[1], kind);
    Rig_AdvanceMs(8000);
}

// A start on channel B with the sensor plugged for the first time.
void BootWithSensor(const SensorModel& sensor) {
    plug_test::BootOnChannelB();
    plug_test::Plug(sensor.file, sensor.code);
    WaitForSensor(sensor.kind);
}

// The program started again on its folder, the same sensor (its file as the sensor wrote it)
// still plugged.
void Restart(const SensorModel& sensor) {
    std::string folder = Folder();
    Rig_Reset(folder);
    Rig_Boot();
    Rig_AdvanceMs(20);
    std::filesystem::current_path(folder);
    Link_SelectSensorImage(1, sensor.file, sensor.code);
    WaitForSensor(sensor.kind);
}

uint32_t StoredWord(uint32_t offset) {
    std::vector<uint8_t> store = Rig_StoreBytes();
    uint32_t value = 0;
    for (uint32_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(store.at(offset + i)) << (8 * i);
    return value;
}

// The sensor's memory as its file holds it.
std::vector<uint8_t> SensorFileBytes(const SensorModel& sensor) {
    std::ifstream in(std::filesystem::path(Folder()) / sensor.file);
    std::vector<uint8_t> bytes;
    unsigned value = 0;
    while (in >> std::hex >> value) bytes.push_back(static_cast<uint8_t>(value));
    return bytes;
}

std::vector<uint8_t> ImagePage(uint32_t page) {
    const uint8_t* image = g_SensorMemImage[1];
    return std::vector<uint8_t>(image + page * kImagePageBytes, image + (page + 1) * kImagePageBytes);
}

// The sensor commands sent from index from on: their names and, for "S133", the value sent.
struct SentCommand {
    std::string name;
    float value;
};
std::vector<SentCommand> CommandsSince(size_t from) {
    std::vector<SentCommand> commands;
    const std::vector<RigFrame>& sent = Rig_SentFrames();
    for (size_t i = from; i < sent.size(); ++i) {
        const std::vector<uint8_t>& f = sent[i].bytes;
        if (f.size() < 13 || f[2] != 0x09) continue;
        SentCommand c{std::string(f.begin() + 9, f.begin() + 13), 0.0f};
        if (c.name == "S133" && f.size() >= 17) c.value = Util_GetFloatBE(&f[13]);
        commands.push_back(c);
    }
    return commands;
}

bool Sent(const std::vector<SentCommand>& commands, const char* name) {
    for (const SentCommand& c : commands) {
        if (c.name == name) return true;
    }
    return false;
}

// ---- Keys on the pages ----------------------------------------------------------------------------

// How a page is left once its values are typed.
enum class Leave {
    kNoAndExit,         // ENTER, then "No & Exit"
    kEscape,            // ENTER, then ESC at the question
    kTimeOut,           // ENTER, then no key until the menus time out
    kMarkerThenEscape,  // ENTER on the leave marker, then ESC
    kYesAndExit,        // ENTER, then "Yes & Exit"
};

void LeaveBy(Leave leave) {
    if (leave == Leave::kMarkerThenEscape) {
        for (int i = 0; i < 12 && g_ValuePageCursor != kCursorLeave; ++i) Press(kKeyCal);
        ASSERT_EQ(g_ValuePageCursor, kCursorLeave);
        Press(kKeyEnter);
        EXPECT_NE(Menu_TopScreen(), kScreenValuePage);
        EscapeKey();
    } else {
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
        ASSERT_EQ(Row(11), "Save Changes Yes & Exit");
        if (leave == Leave::kNoAndExit) {
            Press(kKeyUp);
            Press(kKeyUp);
            ASSERT_EQ(Row(11), "Save Changes No & Exit");
            Press(kKeyEnter);
        } else if (leave == Leave::kEscape) {
            EscapeKey();
        } else if (leave == Leave::kYesAndExit) {
            Press(kKeyEnter);
        } else {
            Rig_AdvanceMs(241000);
        }
    }
    // A save waits for the optical sensor to take its settings.
    for (int i = 0; i < 30 && Menu_TopScreen() != kScreenHome; ++i) Rig_AdvanceMs(1000);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
}

// MENU and the tree's items by their texts.
void OpenByTree(const std::vector<std::string>& items) {
    Press(kKeyMenu);
    for (const std::string& item : items) ASSERT_TRUE(Choose(item)) << item;
}

// The sensor monitoring pages, followed by ENTER to the page of the sensor's timers.
void OpenTimerPage() {
    OpenByTree({"Configure", "VDX Setup", "Sensor Monitoring"});
    for (int i = 0; i < 4 && Menu_TopScreen() == kScreenParamPage; ++i) Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
}

void OpenSamplingRatePage() {
    OpenByTree({"Configure", "Measurement", "O2 Opt sampling rate"});
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
}

// ---- The sensor timers ---------------------------------------------------------------------------

struct TimerCase {
    SensorModel sensor;
    const char* typed[2];  // the texts typed on lines 0 and 1 (nullptr: the line has no value)
    const char* shown[2];  // rows 11 and 12 before
    const char* saved[2];  // rows 11 and 12 once saved
    uint32_t ttmStored;    // what the store keeps of the time to maintenance
    uint32_t actStored;    // ... and of the adaptive calibration timer
};

// What the transmitter and the sensor keep of the timers.
struct TimerState {
    uint32_t ttmWord;
    uint32_t actWord;
    uint32_t ttm;
    uint32_t act;
    std::vector<uint8_t> intervalPage;
    uint16_t actRegister;
};

TimerState Timers() {
    return {StoredWord(kStoreTtmB),
            StoredWord(kStoreActB),
            g_SensDiagSettings[1].ttmInterval,
            g_SensDiagSettings[1].actInterval,
            ImagePage(kIntervalPage),
            SensCmd_GetRegister(1, kActRegister)};
}

void ExpectTimers(const TimerState& was) {
    TimerState now = Timers();
    EXPECT_EQ(now.ttmWord, was.ttmWord);
    EXPECT_EQ(now.actWord, was.actWord);
    EXPECT_EQ(now.ttm, was.ttm);
    EXPECT_EQ(now.act, was.act);
    EXPECT_EQ(now.intervalPage, was.intervalPage) << "the sensor's interval fields";
    EXPECT_EQ(now.actRegister, was.actRegister) << "the sensor's ACT register";
}

const TimerCase kTimerCases[] = {
    // Value page 29: a pH sensor keeps the time to maintenance in tenths of a day.
    {kPhSensor,
     {"0125", "020"},
     {"Time to Maint 030.0d", "Adapt Cal Timer 030d   $"},
     {"Time to Maint 012.5d", "Adapt Cal Timer 020d   $"},
     125,
     20 * 24},
    // Value page 30: an oxygen sensor in whole days.
    {kOxygenSensor,
     {"0012", "020"},
     {"Time to Maint 0180d", "Adapt Cal Timer 030d   $"},
     {"Time to Maint 0012d", "Adapt Cal Timer 020d   $"},
     120,
     20 * 24},
    // Value page 34: the optical sensor has the adaptive calibration timer only, in its register.
    {kOpticalSensor, {nullptr, "020"}, {"", "Adapt Cal Timer 030d   $"}, {"", "Adapt Cal Timer 020d   $"}, 0, 20},
};

void TypeTimers(const TimerCase& c) {
    for (uint32_t line = 0; line < 2; ++line) {
        if (c.typed[line] == nullptr) continue;
        if (line == 1 && g_ValuePageLine == 0) {
            for (int i = 0; i < 8 && g_ValuePageLine == 0; ++i) Press(kKeyCal);
        }
        ASSERT_EQ(g_ValuePageLine, line);
        ASSERT_EQ(g_ValuePageCursor, 0);
        ValuePageType(c.typed[line]);
    }
}
}  // namespace

TEST(SensorSettingPages, SensorTimersDroppedReachNeitherTheStoreNorTheSensor) {
    for (const TimerCase& c : kTimerCases) {
        SCOPED_TRACE(c.sensor.file);
        BootWithSensor(c.sensor);
        TimerState before = Timers();
        // A memory-image sensor's file is its memory (the optical sensor answers from a record
        // list).
        bool memory = c.sensor.kind != kKindO2Optical;
        std::vector<uint8_t> file = memory ? SensorFileBytes(c.sensor) : std::vector<uint8_t>();
        ASSERT_TRUE(!memory || !file.empty());
        for (Leave leave : {Leave::kNoAndExit, Leave::kEscape, Leave::kMarkerThenEscape, Leave::kTimeOut}) {
            SCOPED_TRACE(static_cast<int>(leave));
            size_t from = Rig_SentFrames().size();
            OpenTimerPage();
            EXPECT_EQ(Row(11), c.shown[0]) << "what was dropped is not shown";
            EXPECT_EQ(Row(12), c.shown[1]);
            TypeTimers(c);
            LeaveBy(leave);
            ExpectTimers(before);
            EXPECT_EQ(g_DirtyPages[1], 0u) << "nothing waits to be written into the sensor";
            EXPECT_FALSE(Sent(CommandsSince(from), "S134")) << "no register was sent";
        }
        // Long after, the sensor's own memory holds what it held.
        Rig_AdvanceMs(30000);
        EXPECT_EQ(SensorFileBytes(c.sensor), file);
    }
}

TEST(SensorSettingPages, SensorTimersSavedReachTheStoreAndTheSensorAndAreKept) {
    for (const TimerCase& c : kTimerCases) {
        SCOPED_TRACE(c.sensor.file);
        BootWithSensor(c.sensor);
        bool memory = c.sensor.kind != kKindO2Optical;
        size_t from = Rig_SentFrames().size();
        OpenTimerPage();
        TypeTimers(c);
        LeaveBy(Leave::kYesAndExit);
        TimerState now = Timers();
        EXPECT_EQ(now.ttmWord, c.ttmStored);
        EXPECT_EQ(now.actWord, c.actStored);
        if (memory) {
            // Both fields of the sensor's interval page are written back into its memory.
            EXPECT_EQ(SensDiag_GetActInterval(1), 20.0f);
            Rig_AdvanceMs(30000);
            std::vector<uint8_t> file = SensorFileBytes(c.sensor);
            ASSERT_GE(file.size(), (kIntervalPage + 1) * kImagePageBytes);
            EXPECT_EQ(std::vector<uint8_t>(file.begin() + kIntervalPage * kImagePageBytes,
                                           file.begin() + (kIntervalPage + 1) * kImagePageBytes),
                      ImagePage(kIntervalPage));
        } else {
            EXPECT_EQ(now.actRegister, 20u);
            Rig_AdvanceMs(5000);
            EXPECT_TRUE(Sent(CommandsSince(from), "S134"));
        }
        Restart(c.sensor);
        OpenTimerPage();
        EXPECT_EQ(Row(11), c.saved[0]) << "kept over a restart";
        EXPECT_EQ(Row(12), c.saved[1]);
        EXPECT_EQ(StoredWord(kStoreTtmB), c.ttmStored);
        EXPECT_EQ(StoredWord(kStoreActB), c.actStored);
        Post(kEventHome);
    }
}

TEST(SensorSettingPages, SamplingIntervalReachesTheStoreAndTheSensorOnlyWhenSaved) {
    BootWithSensor(kOpticalSensor);
    uint32_t before = SensCmd_GetParamRounded(1);
    uint8_t stored = Rig_StoreBytes().at(kStoreSamplingRate);
    ASSERT_NE(before, 31u);
    for (Leave leave : {Leave::kNoAndExit, Leave::kEscape, Leave::kMarkerThenEscape, Leave::kTimeOut}) {
        SCOPED_TRACE(static_cast<int>(leave));
        size_t from = Rig_SentFrames().size();
        OpenSamplingRatePage();
        EXPECT_EQ(Row(11), "Sampling rate");
        ValuePageType("31");
        EXPECT_EQ(Row(12), " 31 sec/measurement    $");
        LeaveBy(leave);
        EXPECT_EQ(Rig_StoreBytes().at(kStoreSamplingRate), stored);
        EXPECT_EQ(SensCmd_GetParamRounded(1), before);
        EXPECT_FALSE(Sent(CommandsSince(from), "S133"));
    }
    size_t from = Rig_SentFrames().size();
    OpenSamplingRatePage();
    ValuePageType("31");
    LeaveBy(Leave::kYesAndExit);
    EXPECT_EQ(Rig_StoreBytes().at(kStoreSamplingRate), 31);
    std::vector<SentCommand> sent = CommandsSince(from);
    ASSERT_TRUE(Sent(sent, "S133"));
    for (const SentCommand& command : sent) {
        if (command.name == "S133") {
            EXPECT_FLOAT_EQ(command.value, 31000.0f);
        }
    }
    Restart(kOpticalSensor);
    OpenSamplingRatePage();
    EXPECT_EQ(Row(12), " 31 sec/measurement    $") << "kept over a restart";
    EXPECT_EQ(SensCmd_GetParamRounded(1), 31u);
}

// ---- Settings that shared a store byte --------------------------------------------------------------

namespace {
// A setting of the optical sensor's pages: how it is opened, what its page shows before and after
// the change, and its byte in the store.
struct OwnSetting {
    const char* name;
    void (*open)();
    const char* before;
    const char* after;
    uint32_t offset;
    uint8_t stored;  // the byte once the change is saved
};

// The tree offers "DLI Stress Adjustment" only to a sensor that reports the feature: its id.
void OpenStress() {
    Press(kKeyMenu);
    Post(0x600005);
}
void OpenManualHold() { OpenByTree({"Configure", "Hold Outputs"}); }
void OpenProcCalMode() {
    Press(kKeyMenu);
    Post(0x1080);
}

const OwnSetting kOwnSettings[] = {
    {"sampling interval", OpenSamplingRatePage, " 01 sec/measurement    $", " 31 sec/measurement    $",
     kStoreSamplingRate, 31},
    {"process stress", OpenStress, "Process Stress Medium", "Process Stress High", kStoreProcessStress, 2},
    {"process calibration", OpenProcCalMode, "ProcCal = Calibration", "ProcCal = Scaling", kStoreProcCalMode, 1},
    {"manual hold", OpenManualHold, "Manual Hold = No", "Manual Hold = Yes", kStoreManualHold, 0},
};

// What a setting's page shows: the item on row 12 of a parameter page, the row of a value page.
std::string Shown(const OwnSetting& s) {
    s.open();
    std::string shown = Menu_TopScreen() == kScreenValuePage ? Row(12) : Item();
    Post(kEventHome);
    return shown;
}

// The change by keys, saved with "Yes & Exit" (the manual hold page leads on to the hold outputs
// page, which ENTER leaves to the question).
void ChangeAndSave(const OwnSetting& s) {
    s.open();
    if (Menu_TopScreen() == kScreenValuePage) {
        ValuePageType("31");
    } else {
        Press(kKeyUp);
        ASSERT_EQ(Item(), s.after);
        if (s.offset == kStoreManualHold) Press(kKeyEnter);
    }
    LeaveBy(Leave::kYesAndExit);
}
}  // namespace

TEST(SensorSettingPages, SamplingStressCalibrationModeAndManualHoldEachKeepTheirOwnByte) {
    BootWithSensor(kOpticalSensor);
    for (const OwnSetting& s : kOwnSettings) EXPECT_EQ(Shown(s), s.before) << s.name;
    std::vector<uint8_t> was = Rig_StoreBytes();
    for (size_t changed = 0; changed < sizeof kOwnSettings / sizeof kOwnSettings[0]; ++changed) {
        const OwnSetting& c = kOwnSettings[changed];
        SCOPED_TRACE(c.name);
        uint32_t sampling = SensCmd_GetParamRounded(1);
        size_t from = Rig_SentFrames().size();
        ChangeAndSave(c);
        std::vector<uint8_t> now = Rig_StoreBytes();
        EXPECT_EQ(now.at(c.offset), c.stored);
        // The sensor is told the sampling interval that its page shows, whatever else was saved.
        Rig_AdvanceMs(5000);
        uint32_t expected = c.offset == kStoreSamplingRate ? 31u : sampling;
        EXPECT_EQ(SensCmd_GetParamRounded(1), expected);
        for (const SentCommand& command : CommandsSince(from)) {
            if (command.name == "S133") {
                EXPECT_FLOAT_EQ(command.value, expected * 1000.0f);
            }
        }
        for (size_t k = 0; k < sizeof kOwnSettings / sizeof kOwnSettings[0]; ++k) {
            const OwnSetting& other = kOwnSettings[k];
            EXPECT_EQ(now.at(other.offset), k <= changed ? other.stored : was.at(other.offset)) << other.name;
            EXPECT_EQ(Shown(other), k <= changed ? other.after : other.before) << other.name;
        }
    }
    Restart(kOpticalSensor);
    for (const OwnSetting& s : kOwnSettings) {
        EXPECT_EQ(Shown(s), s.after) << s.name << " kept over a restart";
        EXPECT_EQ(Rig_StoreBytes().at(s.offset), s.stored) << s.name;
    }
}
