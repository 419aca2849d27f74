// The host layer's file opening where something other than a file stands in a file's place: a
// pipe is refused at once by every way of opening, and is never removed as a file would be.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "child_process.h"
#include "platform/plat.h"
#include "platform/plat_safe_file.h"
#include "rig.h"

namespace fs = std::filesystem;

TEST(PlatFiles, APipeIsRefusedAtOnceByEveryOpenAndNeverRemoved) {
    std::string folder = Rig_MakeTempFolder();
    std::string pipe = folder + "/pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    int refused = RunInChild(
        [&pipe] {
            for (const char* mode : {"r", "rb", "rb+", "w", "wb+"}) {
                if (Plat_FileOpen(pipe.c_str(), mode) != nullptr) return 1;
            }
            bool writable = true;
            if (Plat_HeldOpen(pipe.c_str(), &writable) >= 0 || writable) return 2;
            uint8_t byte = 0;
            if (PlatSafe_ReadAt(pipe.c_str(), 0, &byte, 1) != -1) return 3;
            if (PlatSafe_OpenForReading(pipe.c_str()) != nullptr) return 4;
            if (PlatSafe_Remove(pipe.c_str()) != -1) return 5;
            return 0;
        },
        60);
    EXPECT_EQ(refused, 0) << (refused == -1 ? "an open waited on the pipe" : "");
    EXPECT_TRUE(fs::is_fifo(pipe));

    // A file opens as before, and goes when removed; nothing there is removed already.
    std::string file = folder + "/file";
    std::ofstream(file) << "text";
    PlatFile* stream = PlatSafe_OpenForReading(file.c_str());
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(Plat_FileGetByte(stream), 't');
    EXPECT_EQ(Plat_FileClose(stream), 0);
    stream = Plat_FileOpen(file.c_str(), "rb+");
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(Plat_FileClose(stream), 0);
    EXPECT_EQ(PlatSafe_Remove(file.c_str()), 0);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(PlatSafe_Remove(file.c_str()), 0);
}
