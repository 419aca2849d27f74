// The board's files against a kill: a child process writes sensor blocks or saves calibrations
// through the request frames and is killed at random moments; after every kill the sensor file
// holds the old image or the new one and the parameter file every save whole, and a fresh start
// loads them. A full disk or a read-only file fails the writes and keeps the files.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "board_client.h"
#include "read_only_file.h"
#include "sensor_board/sim_cal.h"
#include "sensor_board/sim_image.h"

using namespace board_client;
namespace fs = std::filesystem;

namespace {
constexpr int kKills = 100;
constexpr uint8_t kKindAnalogIn = 11;
constexpr char kSensorFile[] = "PH_SelvoP11_0.txt";

struct Child {
    pid_t pid = -1;
    int out = -1;
};

// Starts the board writer in folder with these arguments after its mode and folder; its standard
// output comes back through a pipe. A file size limit stands in for a full disk.
Child Spawn(const std::string& mode, const std::string& folder, const std::string& file,
            rlim_t fileLimit = RLIM_INFINITY) {
    std::vector<std::string> args = {KORVI_BOARD_WRITER, mode, folder};
    if (!file.empty()) args.push_back(file);
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    int pipeEnds[2];
    if (pipe2(pipeEnds, O_CLOEXEC) != 0) return {};
    pid_t pid = fork();
    if (pid == 0) {
        // Only calls that are safe between fork and exec.
        dup2(pipeEnds[1], STDOUT_FILENO);
        if (chdir(folder.c_str()) != 0) _exit(126);
        if (fileLimit != RLIM_INFINITY) {
            struct rlimit limit = {fileLimit, fileLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
            signal(SIGXFSZ, SIG_IGN);
        }
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(pipeEnds[1]);
    if (pid < 0) {
        close(pipeEnds[0]);
        return {};
    }
    return Child{pid, pipeEnds[0]};
}

// The child's next line of output; "" when it ends first or says nothing for 20 seconds.
std::string ReadLine(const Child& child) {
    std::string line;
    for (;;) {
        pollfd wait = {child.out, POLLIN, 0};
        if (poll(&wait, 1, 20000) <= 0) return "";
        char c;
        if (read(child.out, &c, 1) != 1) return "";
        if (c == '\n') return line;
        line += c;
    }
}

// Waits for the child's end; its exit status, or -signal when a signal ended it.
int Reap(Child& child) {
    int status = 0;
    waitpid(child.pid, &status, 0);
    close(child.out);
    child = Child{};
    return WIFSIGNALED(status) ? -WTERMSIG(status) : WEXITSTATUS(status);
}

// Lets the child write until a random moment within a few of its writes, then kills it.
void KillAtRandom(Child& child, std::mt19937& random) {
    ASSERT_EQ(ReadLine(child), "ready");
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<int>(0, 5000)(random)));
    kill(child.pid, SIGKILL);
    ASSERT_EQ(Reap(child), -SIGKILL) << "the writer ended before it was killed";
}

// A folder with the board's parameter file and a sensor file, both written once by a writer
// that ran to its end.
std::string PreparedFolder() {
    std::string folder = Rig_MakeTempFolder() + "/";
    WriteFile(folder + kSensorFile, ReadFile(std::string(KORVI_SENSOR_IMAGE_DIR) + "/" + kSensorFile));
    Child child = Spawn("once", folder, kSensorFile);
    EXPECT_EQ(ReadLine(child), "ready");
    EXPECT_EQ(ReadLine(child), "block 1");
    EXPECT_EQ(ReadLine(child), "save 1");
    EXPECT_EQ(Reap(child), 0);
    return folder;
}

uint32_t Sequence(const std::vector<uint8_t>& image) {
    return image[97] | image[98] << 8 | image[99] << 16 | static_cast<uint32_t>(image[100]) << 24;
}

std::mt19937 SeededRandom() {
    uint32_t seed = std::random_device{}();
    std::printf("random seed %u\n", seed);
    return std::mt19937(seed);
}
}  // namespace

TEST(KilledWriter, LeavesTheSensorFileWithTheOldImageOrTheNew) {
    std::string folder = PreparedFolder();
    std::string path = folder + kSensorFile;
    std::mt19937 random = SeededRandom();
    uint32_t last = 0;
    for (int k = 0; k < kKills; ++k) {
        SCOPED_TRACE("kill " + std::to_string(k));
        Child child = Spawn("sensor", folder, kSensorFile);
        KillAtRandom(child, random);
        // 608 groups of two digits and a blank, every page summing to zero, and a sequence
        // number that never goes back.
        std::vector<uint8_t> text = ReadFile(path);
        ASSERT_EQ(text.size(), 3u * kSimImageBytes);
        uint8_t image[kSimImageBytes] = {};
        bool bad = false;
        ASSERT_EQ(SimImage_ParseHex(text.data(), static_cast<uint32_t>(text.size()), image, &bad), kSimImageBytes);
        ASSERT_FALSE(bad);
        std::vector<uint8_t> bytes(image, image + kSimImageBytes);
        for (uint32_t block = 0; block <= kSimLastBlock; ++block) {
            if (block == 16 || block == 17) continue;
            ASSERT_TRUE(SumsToZero(std::vector<uint8_t>(bytes.begin() + 32 * block, bytes.begin() + 32 * block + 32)))
                << "block " << block;
        }
        ASSERT_GE(Sequence(bytes), last);
        last = Sequence(bytes);
    }
    EXPECT_GT(last, 1u);
    // The file loads as the sensor; a temporary file a kill left beside it is not loaded.
    Brannic_SetSFXFlag(0);
    StartBoardIn(folder.substr(0, folder.size() - 1));
    ASSERT_EQ(Brannic_SetTedsFileName(1, kSensorFile, 1), 1);
    EXPECT_EQ(PayloadOf(Exchange(0x05, {}))[0], 126);
    std::vector<uint8_t> block = PayloadOf(Exchange(0x06, {3}));
    ASSERT_EQ(block.size(), 32u);
    EXPECT_EQ(block[1] | block[2] << 8 | block[3] << 16 | static_cast<uint32_t>(block[4]) << 24, last);
}

TEST(KilledWriter, LeavesEveryCalibrationSaveInTheParameterFileWhole) {
    std::string folder = PreparedFolder();
    std::string path = folder + "Sensor Simulator";
    std::mt19937 random = SeededRandom();
    float last = 0.0f;
    for (int k = 0; k < kKills; ++k) {
        SCOPED_TRACE("kill " + std::to_string(k));
        Child child = Spawn("calibration", folder, "");
        KillAtRandom(child, random);
        std::vector<uint8_t> file = ReadFile(path);
        ASSERT_EQ(file.size(), 2048u);
        ASSERT_EQ(file[2], 'A');
        ASSERT_EQ(file[3], '9');
        // Slope and offset of one save, in the user copy and the factory copy alike: the save of
        // number n gives slope (n + 16) / 16 and offset 0.75 n - 4.
        float slope = FloatLEAt(file, 240), offset = FloatLEAt(file, 244);
        float n = 16.0f * slope - 16.0f;
        ASSERT_EQ(offset, 0.75f * n - 4.0f) << "slope " << slope;
        ASSERT_EQ(FloatLEAt(file, 616), slope);
        ASSERT_EQ(FloatLEAt(file, 620), offset);
        ASSERT_GE(n, last);
        last = n;
        // A fresh start loads that pair.
        SimCal_Reset();
        StartBoardIn(folder.substr(0, folder.size() - 1));
        ASSERT_EQ(SimCal_GetValue(kKindAnalogIn, 0), slope);
        ASSERT_EQ(SimCal_GetValue(kKindAnalogIn, 1), offset);
    }
    EXPECT_GT(last, 1.0f);
}

TEST(KilledWriter, AFullDiskFailsTheWritesAndKeepsTheFiles) {
    std::string folder = PreparedFolder();
    std::vector<uint8_t> sensor = ReadFile(folder + kSensorFile);
    std::vector<uint8_t> parameters = ReadFile(folder + "Sensor Simulator");
    // No file may grow past 1024 bytes: neither whole file can be written again.
    Child child = Spawn("once", folder, kSensorFile, 1024);
    EXPECT_EQ(ReadLine(child), "ready");
    EXPECT_EQ(ReadLine(child), "block 0");
    EXPECT_EQ(ReadLine(child), "save 0");
    EXPECT_EQ(Reap(child), 0);
    EXPECT_EQ(ReadFile(folder + kSensorFile), sensor);
    EXPECT_EQ(ReadFile(folder + "Sensor Simulator"), parameters);
    // Nothing but the two files stays in the folder.
    int entries = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        ++entries;
        EXPECT_TRUE(entry.path().filename() == kSensorFile || entry.path().filename() == "Sensor Simulator")
            << entry.path();
    }
    EXPECT_EQ(entries, 2);
}

TEST(SensorFileWriteBack, AReadOnlyFileIsKeptAndALinkKeepsPointingAtItsFile) {
    std::string folder = Rig_MakeTempFolder();
    StartBoardIn(folder);
    Brannic_SetSFXFlag(0);
    // The sensor file is a link into another folder: the file there takes the new image.
    std::string elsewhere = Rig_MakeTempFolder() + "/" + kSensorFile;
    std::string link = folder + "/" + kSensorFile;
    WriteFile(elsewhere, ReadFile(std::string(KORVI_SENSOR_IMAGE_DIR) + "/" + kSensorFile));
    fs::create_symlink(elsewhere, link);
    ASSERT_EQ(Brannic_SetTedsFileName(1, kSensorFile, 1), 1);
    EXPECT_EQ(PayloadOf(Exchange(0x05, {}))[0], 126);
    std::vector<uint8_t> write = {3};
    std::vector<uint8_t> block = PayloadOf(Exchange(0x06, {3}));
    write.insert(write.end(), block.begin(), block.end());
    EXPECT_EQ(PayloadOf(Exchange(0x08, write)), std::vector<uint8_t>{1});
    EXPECT_TRUE(fs::is_symlink(link));
    std::vector<uint8_t> text = ReadFile(elsewhere);
    EXPECT_EQ(text.size(), 3u * kSimImageBytes);
    EXPECT_FALSE(fs::exists(elsewhere + ".tmp"));
    // A file that may not be written keeps its bytes; the write fails.
    ReadOnlyFile readOnly(elsewhere);
    if (!readOnly.Ok()) GTEST_SKIP() << "no way here to make a file this process cannot write";
    write[5] = static_cast<uint8_t>(write[5] + 1);
    write[6] = static_cast<uint8_t>(write[6] - 1);
    EXPECT_EQ(PayloadOf(Exchange(0x08, write)), std::vector<uint8_t>{0});
    EXPECT_EQ(ReadFile(elsewhere), text);
    EXPECT_FALSE(fs::exists(elsewhere + ".tmp"));
}
