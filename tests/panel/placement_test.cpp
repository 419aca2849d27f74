// Library placement: used in place beside the program, or unpacked into a private folder under
// TMPDIR that is removed again, and nothing left behind when unpacking fails.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "child_process.h"
#include "core/eeprom.h"
#include "core/link_transport.h"
#include "panel/placement.h"
#include "platform/plat_resources.h"
#include "rig.h"

namespace fs = std::filesystem;

namespace {
const std::vector<uint8_t> kImage = {0x7F, 'E', 'L', 'F', 0, 1, 2, 3, 0xFF, 0x80};

std::vector<uint8_t> FileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool IsEmptyFolder(const std::string& path) { return fs::is_directory(path) && fs::is_empty(path); }

// A program folder and a TMPDIR of the test's own; the process's own TMPDIR (or its absence)
// comes back when the test ends, however it ends.
struct Folders {
    std::string program = Rig_MakeTempFolder();
    std::string tmp = Rig_MakeTempFolder();
    bool hadTmpdir = std::getenv("TMPDIR") != nullptr;
    std::string previous = hadTmpdir ? std::getenv("TMPDIR") : "";
    Folders() { SetTmpdir(tmp.c_str()); }
    ~Folders() { SetTmpdir(hadTmpdir ? previous.c_str() : nullptr); }
    // nullptr unsets it.
    static void SetTmpdir(const char* value) {
        if (value == nullptr) {
            unsetenv("TMPDIR");
        } else {
            setenv("TMPDIR", value, 1);
        }
    }
};
}  // namespace

TEST(LibraryPlacement, LibraryBesideTheProgramIsUsedInPlace) {
    Folders folders;
    fs::copy_file(KORVI_BRANNIC_PATH, folders.program + "/Brannic.so");
    SetSFXFlag(7);
    EXPECT_EQ(Panel_PlaceLibrary(folders.program, kImage.data(), static_cast<uint32_t>(kImage.size())),
              LibraryPlace::kBeside);
    EXPECT_EQ(Link_GetSfxFlag(), 0u);
    EXPECT_STREQ(Link_GetLibraryDirectory(), folders.program.c_str());
    EXPECT_EQ(Panel_ExtractionFolder(), "");
    EXPECT_TRUE(IsEmptyFolder(folders.tmp));
    Panel_RemoveExtracted();
    EXPECT_TRUE(fs::exists(folders.program + "/Brannic.so"));
}

// A pipe named like the library beside the program is no library: the placement returns at once
// and unpacks the library it carries, leaving the pipe be.
TEST(LibraryPlacement, APipeNamedLikeTheLibraryBesideTheProgramIsPassedOver) {
    Folders folders;
    std::string pipe = folders.program + "/Brannic.so";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    int placed = RunInChild(
        [&folders] {
            LibraryPlace place =
                Panel_PlaceLibrary(folders.program, kImage.data(), static_cast<uint32_t>(kImage.size()));
            Panel_RemoveExtracted();
            return place == LibraryPlace::kExtracted ? 0 : 1;
        },
        60);
    EXPECT_EQ(placed, 0) << (placed == -1 ? "the placement never returned" : "not unpacked");
    EXPECT_TRUE(fs::is_fifo(pipe));
    EXPECT_TRUE(IsEmptyFolder(folders.tmp));
}

// A file beside the program that is no library (empty, erased, garbled) is passed over as a pipe
// is: the library the program carries is unpacked, and the file is left as it is.
TEST(LibraryPlacement, AFileBesideTheProgramThatIsNoLibraryIsPassedOver) {
    const std::vector<uint8_t> kNoLibraries[] = {{}, std::vector<uint8_t>(4096, 0xFF), kImage};
    for (const std::vector<uint8_t>& bytes : kNoLibraries) {
        SCOPED_TRACE(bytes.size());
        Folders folders;
        std::string beside = folders.program + "/Brannic.so";
        std::ofstream(beside, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        EXPECT_EQ(Panel_PlaceLibrary(folders.program, kImage.data(), static_cast<uint32_t>(kImage.size())),
                  LibraryPlace::kExtracted);
        EXPECT_EQ(Link_GetSfxFlag(), 1u);
        Panel_RemoveExtracted();
        EXPECT_EQ(FileBytes(beside), bytes);
        EXPECT_TRUE(IsEmptyFolder(folders.tmp));
    }
}

TEST(LibraryPlacement, SingleFileModeUnpacksIntoAPrivateFolderAndRemovesIt) {
    Folders folders;
    EXPECT_EQ(Panel_PlaceLibrary(folders.program, kImage.data(), static_cast<uint32_t>(kImage.size())),
              LibraryPlace::kExtracted);
    std::string folder = Panel_ExtractionFolder();
    ASSERT_EQ(fs::path(folder).parent_path(), fs::path(folders.tmp));
    // Named by the seconds since 1970.
    long seconds = std::strtol(fs::path(folder).filename().c_str(), nullptr, 10);
    EXPECT_LE(std::labs(seconds - static_cast<long>(std::time(nullptr))), 5L);
    struct stat info {};
    ASSERT_EQ(stat(folder.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0700u);
    EXPECT_EQ(FileBytes(folder + "/Brannic.so"), kImage);
    EXPECT_EQ(Link_GetSfxFlag(), 1u);
    EXPECT_EQ(std::string(Link_GetLibraryDirectory()), folder);

    Panel_RemoveExtracted();
    EXPECT_TRUE(IsEmptyFolder(folders.tmp));
    EXPECT_EQ(Panel_ExtractionFolder(), "");
    // A second clean-up (say at exit after the ordinary one) touches nothing.
    fs::create_directory(folder);
    Panel_RemoveExtracted();
    EXPECT_TRUE(fs::exists(folder));
}

TEST(LibraryPlacement, FolderOfTheSameSecondIsNotShared) {
    Folders folders;
    // Someone else's folders for this second and the next, with a file in them.
    long now = static_cast<long>(std::time(nullptr));
    for (long s : {now, now + 1}) {
        fs::create_directory(folders.tmp + "/" + std::to_string(s));
        std::ofstream(folders.tmp + "/" + std::to_string(s) + "/Brannic.so") << "theirs";
    }
    ASSERT_EQ(Panel_PlaceLibrary(folders.program, kImage.data(), static_cast<uint32_t>(kImage.size())),
              LibraryPlace::kExtracted);
    std::string name = fs::path(Panel_ExtractionFolder()).filename();
    EXPECT_NE(name.find("-1"), std::string::npos) << name;
    Panel_RemoveExtracted();
    for (long s : {now, now + 1}) {
        EXPECT_EQ(FileBytes(folders.tmp + "/" + std::to_string(s) + "/Brannic.so"),
                  (std::vector<uint8_t>{'t', 'h', 'e', 'i', 'r', 's'}));
    }
}

TEST(LibraryPlacement, FailuresLeaveNothingBehind) {
    Folders folders;
    // No library image in the program.
    EXPECT_EQ(Panel_PlaceLibrary(folders.program, nullptr, 0), LibraryPlace::kFailed);
    EXPECT_TRUE(IsEmptyFolder(folders.tmp));
    // A temporary folder that does not exist.
    Folders::SetTmpdir((folders.tmp + "/missing").c_str());
    EXPECT_EQ(Panel_PlaceLibrary(folders.program, kImage.data(), static_cast<uint32_t>(kImage.size())),
              LibraryPlace::kFailed);
    EXPECT_TRUE(IsEmptyFolder(folders.tmp));
    EXPECT_EQ(Panel_ExtractionFolder(), "");
    // A file where the temporary folder should be.
    std::ofstream(folders.tmp + "/plain") << "x";
    Folders::SetTmpdir((folders.tmp + "/plain").c_str());
    EXPECT_EQ(Panel_PlaceLibrary(folders.program, kImage.data(), static_cast<uint32_t>(kImage.size())),
              LibraryPlace::kFailed);
}

TEST(LibraryPlacement, WithoutTmpdirTheSystemTemporaryFolderIsUsed) {
    Folders folders;
    Folders::SetTmpdir(nullptr);
    ASSERT_EQ(Panel_PlaceLibrary(folders.program, kImage.data(), static_cast<uint32_t>(kImage.size())),
              LibraryPlace::kExtracted);
    std::string folder = Panel_ExtractionFolder();
    EXPECT_EQ(fs::path(folder).parent_path(), fs::path("/tmp"));
    Panel_RemoveExtracted();
    EXPECT_FALSE(fs::exists(folder));
}

TEST(LibraryPlacement, ProgramFolderAndResourcesOutsideTheProgram) {
    std::string folder = Panel_GetProgramFolder();
    EXPECT_FALSE(folder.empty());
    EXPECT_TRUE(fs::is_directory(folder));
    // The test program carries the sensor files but no library image: nothing, and no crash.
    uint32_t size = 99;
    EXPECT_EQ(Plat_FindResource(kResourceTypeData, kResourceLibraryImage, &size), nullptr);
    EXPECT_EQ(size, 0u);
}
