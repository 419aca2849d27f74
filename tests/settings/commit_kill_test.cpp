// "Save Changes" against a program killed at any moment: a child process runs the firmware and
// commits paired settings over and over, and is killed (SIGKILL) at chosen and random moments;
// after each kill a fresh start on the same folder must find every value of one commit, the last
// one that finished or the one that was running, never a mix.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>

#include "core/eeprom.h"
#include "core/settings.h"
#include "outputs/aout.h"
#include "outputs/relays.h"
#include "outputs/setpoint.h"
#include "rig.h"
#include "settings/settings_work.h"

namespace {
constexpr uint32_t kKills = 100;
// The 20 mA end of output 1 lies this far above its 4 mA end in every commit.
constexpr float kSpan = 1000.0f;

// What the child tells the parent, in memory both processes share.
struct ChildState {
    std::atomic<uint32_t> ready;
    // The generation whose commit runs (or ran last) and the last one that finished.
    std::atomic<uint32_t> started;
    std::atomic<uint32_t> finished;
    std::atomic<uint32_t> inCommit;
};
static_assert(std::atomic<uint32_t>::is_always_lock_free);

// The values of generation g: output 1's range g .. g + span, set point 1's value g and relay 1's
// delay g / 100; the commit writes the outputs first and the set points and relays after them.
void SetGeneration(uint32_t g) {
    float v = static_cast<float>(g);
    g_WorkSet.outputs.valueAt4mA[0] = v;
    g_WorkSet.outputs.valueAt20mA[0] = v + kSpan;
    g_WorkSet.setPoints.valueA[0] = v;
    g_WorkSet.relays.delay[0] = v / 100.0f;
}

// The child: the firmware started on the folder, then commit after commit until it is killed.
[[noreturn]] void RunChild(const std::string& folder, uint32_t firstGeneration, ChildState* state) {
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Settings_CopyAll();
    state->ready.store(1);
    for (uint32_t g = firstGeneration;; ++g) {
        SetGeneration(g);
        state->started.store(g);
        state->inCommit.store(1);
        uint32_t status = 0;
        Settings_CommitAll(&status, 1);
        state->inCommit.store(0);
        if (status != 0) _exit(3);
        state->finished.store(g);
    }
}

// Ends a child that is still there when a check fails.
struct ChildGuard {
    pid_t pid = -1;
    ~ChildGuard() {
        if (pid <= 0) return;
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
    }
};
}  // namespace

TEST(CommitUnderKill, AFreshStartFindsEveryValueOfOneCommit) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Settings_CopyAll();
    SetGeneration(1);
    uint32_t status = 0;
    Settings_CommitAll(&status, 1);
    ASSERT_EQ(status, 0u);

    void* shared = mmap(nullptr, sizeof(ChildState), PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(shared, MAP_FAILED);
    ChildState* state = new (shared) ChildState{};
    // A fixed seed: the same moments are aimed at in every run.
    std::mt19937 random(26);
    uint32_t generation = 2;
    uint32_t aimedInCommit = 0;
    for (uint32_t round = 0; round < kKills; ++round) {
        state->ready.store(0);
        state->started.store(generation - 1);
        state->finished.store(generation - 1);
        state->inCommit.store(0);
        ChildGuard child;
        child.pid = fork();
        ASSERT_GE(child.pid, 0);
        if (child.pid == 0) RunChild(folder, generation, state);

        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (state->ready.load() == 0 && std::chrono::steady_clock::now() < deadline) {}
        ASSERT_EQ(state->ready.load(), 1u) << "the child never started";
        // A few commits done, then the kill: on three of four rounds while a commit runs, after a
        // random spin of up to some hundred microseconds; on the others at a random moment.
        uint32_t commitsFirst = 1 + random() % 4;
        while (state->finished.load() < generation - 1 + commitsFirst && std::chrono::steady_clock::now() < deadline) {}
        bool inCommit = random() % 4 != 0;
        if (inCommit) {
            while (state->inCommit.load() == 0 && std::chrono::steady_clock::now() < deadline) {}
            ++aimedInCommit;
        }
        auto spinUntil = std::chrono::steady_clock::now() + std::chrono::microseconds(random() % 400);
        while (std::chrono::steady_clock::now() < spinUntil) {}
        ::kill(child.pid, SIGKILL);
        int exit = 0;
        ASSERT_EQ(waitpid(child.pid, &exit, 0), child.pid);
        child.pid = -1;
        ASSERT_TRUE(WIFSIGNALED(exit)) << "the child ended by itself: a commit failed";
        uint32_t started = state->started.load();
        uint32_t finished = state->finished.load();

        // A fresh start on what the kill left.
        Rig_Reset(folder);
        Rig_UseNoLibrary();
        Rig_Boot();
        float low = g_AoutSettings.valueAt4mA[0];
        EXPECT_EQ(g_AoutSettings.valueAt20mA[0], low + kSpan) << "kill " << round;
        EXPECT_EQ(g_SetPointSettings.valueA[0], low) << "kill " << round;
        EXPECT_EQ(g_RelaySettings.delay[0], low / 100.0f) << "kill " << round;
        EXPECT_TRUE(low == static_cast<float>(finished) || low == static_cast<float>(started))
            << "kill " << round << ": loaded " << low << ", last finished " << finished << ", running " << started;
        EXPECT_FALSE(std::filesystem::exists(Rig_StorePath() + ".journal")) << "kill " << round;
        if (HasFailure()) break;
        generation = started + 1;
    }
    EXPECT_GE(aimedInCommit, kKills / 2);
    munmap(shared, sizeof(ChildState));
}
