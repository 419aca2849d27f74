// The virtual-time test rig.
#include "rig.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

#include "core/eeprom.h"
#include "core/keypad.h"
#include "core/link.h"
#include "core/link_transport.h"
#include "core/rtc.h"
#include "core/settings.h"
#include "core/timers.h"
#include "fw_main.h"
#include "fw_modules.h"
#include "measurement/filter.h"
#include "outputs/messages.h"
#include "panel/inputs.h"
#include "platform/plat.h"
#include "platform/plat_clock.h"
#include "rig_board.h"
#include "sim/sim_inputs.h"

namespace {
std::atomic<uint64_t> s_Now{0};
std::string s_Folder;
bool s_Booting = false;
uint64_t s_BootStart = 0;
// Start-up that has not returned after this long is stuck (the store-error halt): ask it to stop.
constexpr uint64_t kBootLimitMs = 120000;

struct Periodic {
    uint32_t period;
    void (*fn)();
};
Periodic s_Periodic[8];
int s_PeriodicCount = 0;

std::vector<std::string>& TempFolders() {
    static std::vector<std::string> folders;
    return folders;
}

void RemoveTempFolders() {
    for (const std::string& folder : TempFolders()) Plat_RemoveTree(folder.c_str());
}

uint64_t VirtualNow() { return s_Now.load(std::memory_order_relaxed); }

// One millisecond-granular step of 10 ms: the work due at the new instant.
void Step10(bool withPass) {
    uint64_t now = s_Now.fetch_add(10, std::memory_order_relaxed) + 10;
    bool tick = now % 20 == 0;
    if (tick) Timer_Tick();
    for (int i = 0; i < s_PeriodicCount; ++i) {
        if (now % s_Periodic[i].period == 0) s_Periodic[i].fn();
    }
    if (tick && withPass) Fw_MainLoopPass();
}

// Day of the week, 1 Sunday to 7 Saturday (Zeller's congruence; March starts the year).
uint8_t Weekday(uint32_t year, uint32_t month, uint32_t day) {
    if (month < 3) {
        month += 12;
        year -= 1;
    }
    uint32_t k = year % 100;
    uint32_t j = year / 100;
    uint32_t h = (day + 13 * (month + 1) / 5 + k + k / 4 + j / 4 + 5 * j) % 7;  // 0 Saturday
    return static_cast<uint8_t>((h + 6) % 7 + 1);
}

uint32_t DaysIn(uint32_t year, uint32_t month) {
    static const uint8_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month == 2 && ((year % 4 == 0 && year % 100 != 0) || year % 400 == 0)) return 29;
    return month >= 1 && month <= 12 ? kDays[month - 1] : 31;
}

// One second of the computer's clock, as the panel copies it into the firmware once a second.
void ClockSecond() {
    ClockRecord t;
    if (!Rtc_GetTime(&t)) return;
    if (++t.second == 60) {
        t.second = 0;
        if (++t.minute == 60) {
            t.minute = 0;
            if (++t.hour == 24) {
                t.hour = 0;
                if (++t.day > DaysIn(t.year, t.month)) {
                    t.day = 1;
                    if (++t.month > 12) {
                        t.month = 1;
                        ++t.year;
                    }
                }
                t.weekday = Weekday(t.year, t.month, t.day);
            }
        }
    }
    Rtc_StoreHostTime(&t);
}

// The firmware's wait loops call this instead of sleeping: one tick of virtual time passes.
void IdleHook() {
    Step10(false);
    Step10(false);
    if (s_Booting && VirtualNow() - s_BootStart > kBootLimitMs) Plat_RequestStop();
}

// Every test begins at power-on.
class PowerOnBeforeEachTest : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { Rig_PowerOn(); }
};

const bool s_PowerOnRegistered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new PowerOnBeforeEachTest);
    return true;
}();
}  // namespace

// The working folder the test program started in. A test that lays sensor files out makes its
// folder the working folder, where the library looks first; the next test starts from here again,
// so that it never loads a file an earlier test left.
static const std::filesystem::path& StartFolder() {
    static const std::filesystem::path folder = std::filesystem::current_path();
    return folder;
}

void Rig_PowerOn() {
    std::error_code error;
    std::filesystem::current_path(StartFolder(), error);
    s_Folder.clear();
    s_Now.store(0, std::memory_order_relaxed);
    s_Booting = false;
    s_BootStart = 0;
    s_PeriodicCount = 0;
    Plat_SetTimeSource(nullptr);
    Plat_SetIdleHook(nullptr);
    Plat_ClearStop();
    Plat_ResetLocalTime();
    Fw_ResetModules();
    Panel_ResetSimInputs();
    Panel_ResetInputs();
    RigBoard_Reset();
}

void Rig_Reset(const std::string& folder) {
    Rig_PowerOn();
    s_Folder = folder;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    Plat_SetTimeSource(VirtualNow);
    Plat_SetIdleHook(IdleHook);
    Rig_SetClock(2025, 6, 1, 0, 10, 0);
    std::string directory = folder;
    if (directory.empty() || directory.back() != '/') directory += '/';
    SetEEPROMBinFilePath(directory.c_str());
    SetDLLFilePath(folder.c_str());
    Rig_AddPeriodic(100, Link_Pump);
    Rig_AddPeriodic(1000, ClockSecond);
}

void Rig_WriteFactoryStore() {
    Eeprom_Open();
    uint32_t status = 0;
    Settings_LoadMeasurementStore(&status);
    Settings_LoadAll(&status);
    Msg_SaveStore();
}

void Rig_Boot() {
    RigBoard_Bind();
    s_Booting = true;
    s_BootStart = VirtualNow();
    Fw_Start();
    s_Booting = false;
}

void Rig_AdvanceMs(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 10) Step10(true);
}

void Rig_TickOnlyMs(uint32_t ms) {
    for (uint32_t t = 0; t < ms; t += 10) Step10(false);
}

void Rig_HoldKey(uint8_t key, uint32_t ms) {
    g_KeyCode.store(key, std::memory_order_relaxed);
    Key_PressStart();
    Rig_AdvanceMs(ms);
    g_KeyCode.store(kKeyNone, std::memory_order_relaxed);
    Rig_AdvanceMs(60);
}

uint64_t Rig_NowMs() { return VirtualNow(); }

void Rig_SetClock(uint32_t year, uint32_t month, uint32_t day, uint32_t hour, uint32_t minute, uint32_t second) {
    ClockRecord t;
    t.year = static_cast<uint16_t>(year);
    t.month = static_cast<uint8_t>(month);
    t.day = static_cast<uint8_t>(day);
    t.weekday = month >= 1 && month <= 12 ? Weekday(year, month, day) : 1;
    t.hour = static_cast<uint8_t>(hour);
    t.minute = static_cast<uint8_t>(minute);
    t.second = static_cast<uint8_t>(second);
    Rtc_StoreHostTime(&t);
}

void Rig_AddPeriodic(uint32_t periodMs, void (*fn)()) {
    if (s_PeriodicCount < 8 && periodMs >= 10) s_Periodic[s_PeriodicCount++] = Periodic{periodMs, fn};
}

std::string Rig_MakeTempFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "korvi-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) return pattern;
    if (TempFolders().empty()) std::atexit(RemoveTempFolders);
    TempFolders().push_back(buffer.data());
    return buffer.data();
}

std::string Rig_StorePath() {
    std::string directory = s_Folder;
    if (directory.empty() || directory.back() != '/') directory += '/';
    return directory + "R718G 2XH Simulator";
}

std::vector<uint8_t> Rig_StoreBytes() {
    std::ifstream in(Rig_StorePath(), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void Rig_WriteStoreBytes(const std::vector<uint8_t>& bytes) {
    std::ofstream out(Rig_StorePath(), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The times of a backup taken long ago.
static void GiveBackupTimes(const std::string& path) {
    const timespec times[2] = {{1600000000, 0}, {1600000000, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
}

void Rig_ChangeStoreOnDisk(uint32_t offset, const std::vector<uint8_t>& bytes) {
    {
        std::fstream file(Rig_StorePath(), std::ios::in | std::ios::out | std::ios::binary);
        file.seekp(offset);
        file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    GiveBackupTimes(Rig_StorePath());
}

void Rig_ReplaceStoreOnDisk(uint32_t offset, const std::vector<uint8_t>& bytes) {
    std::vector<uint8_t> copy = Rig_StoreBytes();
    if (copy.size() < offset + bytes.size()) copy.resize(offset + bytes.size(), 0xFF);
    std::copy(bytes.begin(), bytes.end(), copy.begin() + offset);
    std::string backup = Rig_StorePath() + ".backup";
    {
        std::ofstream out(backup, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(copy.data()), static_cast<std::streamsize>(copy.size()));
    }
    GiveBackupTimes(backup);
    std::filesystem::rename(backup, Rig_StorePath());
}

void Rig_LoseStore() {
    std::filesystem::remove(Rig_StorePath());
    std::filesystem::create_directory(Rig_StorePath());
    Eeprom_Open();
}

void Rig_OpenFreshStore() {
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
}

float Rig_FloatAt(const std::vector<uint8_t>& bytes, uint32_t offset) {
    if (bytes.size() < offset + 4u) return std::nanf("");
    uint32_t word = bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                    static_cast<uint32_t>(bytes[offset + 3]) << 24;
    float value = 0.0f;
    std::memcpy(&value, &word, 4);
    return value;
}

float Rig_StoredFloat(uint32_t offset) { return Rig_FloatAt(Rig_StoreBytes(), offset); }

void Rig_WriteStoreByte(uint32_t offset, uint8_t value) {
    uint32_t status = 0;
    Eeprom_Write(offset, &value, 1, &status);
}

void Rig_SettleCalFilters(float value, float t) {
    for (FilterRecord& filter : g_CalFilters) Filter_Init(&filter, kFilterDepth10);
    Filter_Push(&g_CalFilters[kCalFilterValue], value, 0.0f, 0);
    Filter_Push(&g_CalFilters[kCalFilterTemperature], t, 0.0f, 0);
}
