// The sensor board's files where something else stands in their place, and what a killed
// write-back leaves: a pipe in place of a sensor file or the parameter file is refused at once
// (no sensor, no parameter file), never waited on; the temporary file a kill left beside a
// sensor file is removed at the board's start.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "../digital_sensor/plug_support.h"
#include "board_client.h"
#include "child_process.h"
#include "rig.h"
#include "sensor_board/sim_eeprom.h"

using namespace board_client;
namespace fs = std::filesystem;

namespace {
constexpr char kSensorFile[] = "PH_SelvoP11_0.txt";
constexpr char kOpticalFile[] = "OPT_SelvoQ11_0.txt";
constexpr char kOtherSensorFile[] = "PH_SelvoP12_0.txt";
constexpr uint8_t kTypeStatus = 0x05;
constexpr uint8_t kTypeCommand = 0x09;
constexpr uint8_t kNoSensorReported = 0;

// A sensor command request for the tag as the host tunnels it (tag at request bytes 9 to 12).
std::vector<uint8_t> CommandRequest(const char* tag) {
    std::vector<uint8_t> arguments = {0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 4; ++i) arguments.push_back(static_cast<uint8_t>(tag[i]));
    return arguments;
}
}  // namespace

// Channel B's sensor file is a pipe: the load returns at once, the board reports no sensor, a
// record search finds nothing, and the firmware says "No sensor on ChB".
TEST(SensorFilePipes, APipeInPlaceOfChannelBsSensorFileIsNoSensor) {
    std::string folder = Rig_MakeTempFolder();
    for (const char* name : {kSensorFile, kOpticalFile}) ASSERT_EQ(mkfifo((folder + "/" + name).c_str(), 0600), 0);
    int answered = RunInChild(
        [&folder] {
            StartBoardIn(folder);
            Brannic_SetSFXFlag(0);
            fs::current_path(folder);
            if (Brannic_SetTedsFileName(1, kSensorFile, 1) != 1) return 1;
            std::vector<uint8_t> status = PayloadOf(Exchange(kTypeStatus, {}));
            if (status.empty() || status[0] != kNoSensorReported) return 2;
            if (Brannic_SetTedsFileName(1, kOpticalFile, 9) != 1) return 3;
            for (int i = 0; i < 4; ++i) {
                if (PayloadOf(Exchange(kTypeCommand, CommandRequest("G124"))).size() != 4) return 4;
            }
            return 0;
        },
        60);
    for (const char* name : {kSensorFile, kOpticalFile}) EXPECT_TRUE(fs::is_fifo(folder + "/" + name));
    ASSERT_EQ(answered, 0) << (answered == -1 ? "the load never returned" : "");

    // Through the firmware: a pH sensor measured, then the panel chooses another whose file is a
    // pipe.
    plug_test::BootOnChannelB();
    plug_test::Plug(kSensorFile, 1);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    ASSERT_EQ(mkfifo(kOtherSensorFile, 0600), 0);
    Link_SelectSensorImage(1, kOtherSensorFile, 1);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugNoSensor));
    EXPECT_EQ(Rig_RowText(11), "No sensor on ChB");
}

// The parameter file is a pipe: the board's start returns, and every access reports the file
// not available.
TEST(SensorFilePipes, APipeInPlaceOfTheParameterFileIsNoParameterFile) {
    std::string folder = Rig_MakeTempFolder();
    std::string path = folder + "/Sensor Simulator";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    int started = RunInChild(
        [&folder] {
            StartBoardIn(folder);
            uint8_t byte = 0;
            uint32_t status = 0;
            SimEeprom_ReadBytes(&status, &byte, 1, 2);
            return status == kSimEepromNotAvailable ? 0 : 1;
        },
        60);
    EXPECT_EQ(started, 0) << (started == -1 ? "the start never returned" : "");
    EXPECT_TRUE(fs::is_fifo(path));
}

// A kill during a sensor file's write-back leaves "<file>.tmp" beside it (beside the link's
// target for a file that is a link): the board's start removes it, where it removes its parameter
// file's, in the working folder and in the program's folder. Folders of such names, and temporary
// files of names that are no sensor files, are not the board's and stay.
TEST(SensorFileLeftovers, TheBoardsStartRemovesWhatAKilledWriteBackLeft) {
    std::string working = Rig_MakeTempFolder();
    std::string program = Rig_MakeTempFolder();
    std::string elsewhere = Rig_MakeTempFolder();
    const std::vector<uint8_t> text = {'0', '0', ' '};
    WriteFile(working + "/" + kSensorFile, text);
    WriteFile(working + "/" + kSensorFile + ".tmp", text);
    WriteFile(program + "/DO_SelvoD11_0.txt.tmp", text);
    WriteFile(program + "/Sensor Simulator.tmp", text);
    WriteFile(elsewhere + "/COND_SelvoK11_0.txt", text);
    WriteFile(elsewhere + "/COND_SelvoK11_0.txt.tmp", text);
    fs::create_symlink(elsewhere + "/COND_SelvoK11_0.txt", working + "/COND_SelvoK11_0.txt");
    fs::create_directories(working + "/" + kOpticalFile + ".tmp/kept");
    WriteFile(working + "/notes.txt.tmp", text);
    fs::current_path(working);
    StartBoardIn(program);
    EXPECT_FALSE(fs::exists(working + "/" + kSensorFile + ".tmp"));
    EXPECT_FALSE(fs::exists(program + "/DO_SelvoD11_0.txt.tmp"));
    EXPECT_FALSE(fs::exists(program + "/Sensor Simulator.tmp"));
    EXPECT_FALSE(fs::exists(elsewhere + "/COND_SelvoK11_0.txt.tmp"));
    EXPECT_EQ(ReadFile(working + "/" + kSensorFile), text);
    EXPECT_TRUE(fs::is_symlink(working + "/COND_SelvoK11_0.txt"));
    EXPECT_TRUE(fs::is_directory(working + "/" + kOpticalFile + ".tmp/kept"));
    EXPECT_TRUE(fs::exists(working + "/notes.txt.tmp"));
}
