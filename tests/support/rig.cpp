// The virtual-time test rig.
#include "rig.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <vector>

#include "core/eeprom.h"
#include "core/keypad.h"
#include "core/link.h"
#include "core/link_transport.h"
#include "core/timers.h"
#include "fw_main.h"
#include "fw_modules.h"
#include "panel/inputs.h"
#include "panel/sim_inputs.h"
#include "platform/plat.h"
#include "platform/plat_clock.h"
#include "rig_board.h"

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

void Rig_PowerOn() {
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
    std::string directory = folder;
    if (directory.empty() || directory.back() != '/') directory += '/';
    SetEEPROMBinFilePath(directory.c_str());
    SetDLLFilePath(folder.c_str());
    Rig_AddPeriodic(100, Link_Pump);
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
