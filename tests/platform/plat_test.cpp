// The host layer's library loading, threads and the program's own calendar clock.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/plat.h"
#include "platform/plat_clock.h"
#include "platform/plat_library.h"
#include "platform/plat_thread.h"
#include "rig.h"

namespace {
std::atomic<int> s_Ran{0};
void RunOnce() { s_Ran.fetch_add(1); }

int Answer() { return 42; }
void* ResolveAnswer(const char* name) {
    return std::strcmp(name, "Answer") == 0 ? reinterpret_cast<void*>(&Answer) : nullptr;
}

int64_t Seconds(const PlatDateTime& r) {
    std::tm t{};
    t.tm_year = r.year - 1900;
    t.tm_mon = r.month - 1;
    t.tm_mday = r.day;
    t.tm_hour = r.hour;
    t.tm_min = r.minute;
    t.tm_sec = r.second;
    t.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&t));
}
}  // namespace

TEST(PlatLibrary, MissingLibrariesAndExportsAreNothing) {
    std::string folder = Rig_MakeTempFolder();
    EXPECT_EQ(Plat_LibraryOpen((folder + "/Brannic.so").c_str()), nullptr);
    EXPECT_EQ(Plat_LibraryOpen(""), nullptr);
    EXPECT_EQ(Plat_LibraryFind(nullptr, "Main_GetSlaveTxFlag"), nullptr);
    PlatLibrary* library = Plat_LibraryOpen(KORVI_BRANNIC_PATH);
    ASSERT_NE(library, nullptr);
    EXPECT_NE(Plat_LibraryFind(library, "Main_GetSlaveTxFlag"), nullptr);
    EXPECT_EQ(Plat_LibraryFind(library, "Main_GetSlaveTxFlags"), nullptr);
    Plat_LibraryClose(library);
}

TEST(PlatLibrary, StandInResolvesNamesWithoutAFile) {
    Plat_SetLibraryStandIn(ResolveAnswer);
    PlatLibrary* library = Plat_LibraryOpen("/no/such/folder/Brannic.so");
    ASSERT_NE(library, nullptr);
    auto answer = reinterpret_cast<int (*)()>(Plat_LibraryFind(library, "Answer"));
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer(), 42);
    EXPECT_EQ(Plat_LibraryFind(library, "Question"), nullptr);
    Plat_LibraryClose(library);
    Plat_SetLibraryStandIn(nullptr);
    EXPECT_EQ(Plat_LibraryOpen("/no/such/folder/Brannic.so"), nullptr);
}

TEST(PlatThread, StartsTheFunctionOnAThreadOfItsOwn) {
    s_Ran.store(0);
    EXPECT_EQ(Plat_ThreadStart(nullptr), 0u);
    uintptr_t first = Plat_ThreadStart(RunOnce);
    uintptr_t second = Plat_ThreadStart(RunOnce);
    EXPECT_NE(first, 0u);
    EXPECT_NE(second, first);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (s_Ran.load() < 2 && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_EQ(s_Ran.load(), 2);
}

TEST(PlatClock, SettingTheTimeMovesOnlyTheProgramsOffset) {
    PlatDateTime host{};
    Plat_GetLocalTime(&host);
    std::time_t before = std::time(nullptr);
    // 2030-05-06 was a Monday: weekday 2 counting Sunday as 1.
    PlatDateTime wanted{2030, 5, 6, 0, 7, 8, 9};
    ASSERT_EQ(Plat_SetLocalTime(&wanted), 1u);
    PlatDateTime read{};
    Plat_GetLocalTime(&read);
    EXPECT_EQ(read.year, 2030);
    EXPECT_EQ(read.month, 5);
    EXPECT_EQ(read.day, 6);
    EXPECT_EQ(read.weekday, 2);
    EXPECT_LE(Seconds(read) - Seconds(wanted), 1);
    EXPECT_GE(Seconds(read) - Seconds(wanted), 0);
    // The computer's own clock did not move.
    EXPECT_LE(std::time(nullptr) - before, 1);
    // Back to the host's time.
    ASSERT_EQ(Plat_SetLocalTime(&host), 1u);
    Plat_GetLocalTime(&read);
    EXPECT_LE(Seconds(read) - Seconds(host), 2);
    EXPECT_EQ(read.year, host.year);
}

namespace {
void RequestStop(void*) { Plat_RequestStop(); }
}  // namespace

// A joinable thread's work is done once it is joined; a stop request ends a stop wait at once.
TEST(PlatThread, JoinableThreadAndTheStopWait) {
    Plat_ClearStop();
    EXPECT_FALSE(Plat_WaitForStop(0));
    EXPECT_EQ(Plat_ThreadStartJoinable(nullptr, nullptr), nullptr);
    auto start = std::chrono::steady_clock::now();
    PlatThread* thread = Plat_ThreadStartJoinable(RequestStop, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(Plat_WaitForStop(60000));
    Plat_ThreadJoin(thread);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(30));
    EXPECT_TRUE(Plat_StopRequested());
    // A stop requested earlier ends the wait before it begins.
    EXPECT_TRUE(Plat_WaitForStop(60000));
    Plat_ClearStop();
    Plat_ThreadJoin(nullptr);
}

// Private folders, new files that never replace old ones, and removal of a whole tree.
TEST(PlatFolders, PrivateFolderNewFileAndTreeRemoval) {
    std::string base = Rig_MakeTempFolder();
    std::string folder = base + "/own";
    EXPECT_EQ(Plat_MakePrivateFolder(folder.c_str()), 0);
    EXPECT_EQ(Plat_MakePrivateFolder(folder.c_str()), 1);
    EXPECT_EQ(Plat_MakePrivateFolder((base + "/missing/own").c_str()), -1);
    std::string file = folder + "/data";
    const uint8_t bytes[3] = {1, 2, 3};
    EXPECT_EQ(Plat_WriteNewFile(file.c_str(), bytes, 3), 0);
    EXPECT_EQ(Plat_WriteNewFile(file.c_str(), bytes, 1), -1);
    EXPECT_EQ(std::filesystem::file_size(file), 3u);
    EXPECT_NE(Plat_RemoveFolder(folder.c_str()), 0);
    EXPECT_EQ(Plat_RemoveTree(base.c_str()), 0);
    EXPECT_FALSE(std::filesystem::exists(base));
}
