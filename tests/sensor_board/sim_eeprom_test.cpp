// The board's parameter file: its bytes on disk, raw access by hexadecimal address, and files
// that are short, long, garbled, read-only, unreadable or not there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "board_client.h"
#include "read_only_file.h"
#include "sensor_board/sim_cal.h"
#include "sensor_board/sim_eeprom.h"

using namespace board_client;
namespace fs = std::filesystem;

namespace {
std::vector<uint8_t> RawAddress(const char* digits, uint8_t count) {
    std::vector<uint8_t> arguments(digits, digits + 8);
    arguments.push_back(count);
    return arguments;
}
}  // namespace

TEST(ParameterFile, FirstStartWritesTheDefaultsAndTheMarkerIntoAnErasedFile) {
    std::string folder = StartBoard();
    EXPECT_EQ(std::string(SimEeprom_GetFileName()), folder + "Sensor Simulator");
    std::vector<uint8_t> file = ReadFile(folder + "Sensor Simulator");
    ASSERT_EQ(file.size(), 2048u);
    EXPECT_EQ(file[2], 'A');
    EXPECT_EQ(file[3], '9');
    // User copies at their defaults; cell factor 1.0 is 00 00 80 3F.
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 164, file.begin() + 168), (std::vector<uint8_t>{0, 0, 0x80, 0x3F}));
    EXPECT_FLOAT_EQ(FloatLEAt(file, 128), 2.048f / 32767.0f);
    EXPECT_FLOAT_EQ(FloatLEAt(file, 152), 1234.45141f);
    EXPECT_FLOAT_EQ(FloatLEAt(file, 204), 1.0f);
    EXPECT_FLOAT_EQ(FloatLEAt(file, 252), 3359.139f);
    // Every byte the defaults do not cover is still erased: factory copies, byte 16, the rest.
    std::vector<bool> written(2048, false);
    for (int i = 2; i < 4; ++i) written[i] = true;
    for (int i = 128; i < 208; ++i) written[i] = true;
    for (int i = 216; i < 224; ++i) written[i] = true;
    for (int i = 228; i < 236; ++i) written[i] = true;
    for (int i = 240; i < 256; ++i) written[i] = true;
    // The four-electrode zero sum (0.0) and its mark 14025.
    for (int i = 632; i < 638; ++i) written[i] = true;
    EXPECT_EQ(file[636] | file[637] << 8, 14025);
    for (size_t i = 0; i < file.size(); ++i) {
        if (!written[i]) {
            EXPECT_EQ(file[i], 0xFF) << "byte " << i;
        }
    }
    // Writing 1.0 at 128 stores 00 00 80 3F.
    EXPECT_EQ(SimEeprom_WriteFloat(1.0f, 128), 0u);
    file = ReadFile(folder + "Sensor Simulator");
    EXPECT_EQ(std::vector<uint8_t>(file.begin() + 128, file.begin() + 132), (std::vector<uint8_t>{0, 0, 0x80, 0x3F}));
}

TEST(ParameterFile, RawReadAndWriteByHexAddress) {
    std::string path = StartBoard() + "Sensor Simulator";
    std::vector<uint8_t> reply = Exchange(0x13, RawAddress("00000002", 4));
    ASSERT_EQ(reply.size(), 9u);
    EXPECT_EQ(reply[3], 0);
    EXPECT_EQ(PayloadOf(reply), (std::vector<uint8_t>{0x41, 0x39, 0xFF, 0xFF}));
    // Digits in either case; data from byte 12 on.
    std::vector<uint8_t> write = RawAddress("000007fD", 3);
    for (uint8_t b : {0x10, 0x20, 0x30}) write.push_back(b);
    EXPECT_EQ(StatusOf(0x12, write), 0);
    EXPECT_EQ(PayloadOf(Exchange(0x13, RawAddress("000007FD", 3))), (std::vector<uint8_t>{0x10, 0x20, 0x30}));
    // At most 20 data bytes are written.
    write = RawAddress("00000300", 25);
    for (uint8_t i = 0; i < 25; ++i) write.push_back(i);
    EXPECT_EQ(StatusOf(0x12, write), 0);
    std::vector<uint8_t> file = ReadFile(path);
    EXPECT_EQ(file[0x300 + 19], 19);
    EXPECT_EQ(file[0x300 + 20], 0xFF);
    EXPECT_EQ(file.size(), 2048u);
    // A bad digit, a count larger than the data sent, or an address past the 2048 bytes: refused,
    // nothing written, the file keeps its size.
    EXPECT_EQ(StatusOf(0x13, RawAddress("0000000G", 4)), 7);
    EXPECT_EQ(StatusOf(0x12, RawAddress("0000000G", 0)), 7);
    write = RawAddress("00000400", 5);
    write.push_back(0xAA);
    EXPECT_EQ(StatusOf(0x12, write), 7);
    write = RawAddress("FFFFFFF0", 1);
    write.push_back(0xAA);
    EXPECT_EQ(StatusOf(0x12, write), 7);
    EXPECT_EQ(StatusOf(0x13, RawAddress("000007FE", 4)), 7);
    file = ReadFile(path);
    EXPECT_EQ(file.size(), 2048u);
    EXPECT_EQ(file[0x400], 0xFF);
    // The update mark: flag 1 changes nothing, flag 0 writes 0x55 at 16.
    EXPECT_EQ(StatusOf(0xB1, {1}), 0);
    EXPECT_EQ(ReadFile(path)[16], 0xFF);
    EXPECT_EQ(StatusOf(0xB1, {0}), 0);
    EXPECT_EQ(ReadFile(path)[16], 0x55);
}

TEST(ParameterFile, AFileWithoutTheMarkerIsResetToDefaultsAtTheNextStart) {
    std::string folder = Rig_MakeTempFolder();
    std::string path = StartBoardIn(folder) + "Sensor Simulator";
    std::vector<uint8_t> file = ReadFile(path);
    // A stored calibration, and one byte of the marker garbled.
    file[240] = 0;
    file[241] = 0;
    file[242] = 0x20;
    file[243] = 0x40;
    WriteFile(path, file);
    SimCal_Reset();
    StartBoardIn(folder);
    EXPECT_FLOAT_EQ(SimCal_GetValue(11, 0), 2.5f);
    file[3] = 0x38;
    WriteFile(path, file);
    StartBoardIn(folder);
    file = ReadFile(path);
    EXPECT_EQ(file[3], '9');
    EXPECT_FLOAT_EQ(FloatLEAt(file, 240), 1.0201217f);
    EXPECT_FLOAT_EQ(SimCal_GetValue(11, 0), 1.0201217f);
}

TEST(ParameterFile, ExistingFilesAreNeverTruncatedAndBadValuesLoadAsDefaults) {
    // A file with a valid marker keeps every byte; its garbled values load as defaults.
    std::string folder = Rig_MakeTempFolder();
    std::string path = folder + "/Sensor Simulator";
    std::vector<uint8_t> file(2048, 0xFF);
    file[2] = 'A';
    file[3] = '9';
    file[2047] = 0x42;
    // A valid four-electrode zero sum: 0.0 and its mark.
    for (int i = 632; i < 636; ++i) file[i] = 0;
    file[636] = 14025 & 0xFF;
    file[637] = 14025 >> 8;
    // Range 1's cell factor 0.0 (refused as a cell factor), range 2's NaN, range 3's 2.0.
    for (int i = 168; i < 172; ++i) file[i] = 0;
    const std::vector<uint8_t> two = {0, 0, 0, 0x40};
    std::copy(two.begin(), two.end(), file.begin() + 176);
    WriteFile(path, file);
    StartBoardIn(folder);
    EXPECT_EQ(ReadFile(path), file);
    EXPECT_FLOAT_EQ(SimCal_GetValue(1, 0), 1.0f);
    EXPECT_FLOAT_EQ(SimCal_GetValue(2, 0), 1.0f);
    EXPECT_FLOAT_EQ(SimCal_GetValue(3, 0), 2.0f);
    // A truncated file: the marker cannot be read, so the defaults are written into it; the
    // bytes it held stay.
    std::vector<uint8_t> shortFile = {0x11, 0x22};
    WriteFile(path, shortFile);
    StartBoardIn(folder);
    file = ReadFile(path);
    ASSERT_GE(file.size(), 256u);
    EXPECT_EQ(file[0], 0x11);
    EXPECT_EQ(file[1], 0x22);
    EXPECT_EQ(file[2], 'A');
    EXPECT_FLOAT_EQ(FloatLEAt(file, 164), 1.0f);
}

TEST(ParameterFile, WithoutAFileEveryAccessReportsNotAvailable) {
    // The file's place is taken by a folder: nothing can be opened.
    std::string folder = Rig_MakeTempFolder();
    fs::create_directory(folder + "/Sensor Simulator");
    StartBoardIn(folder);
    uint32_t status = 0;
    float value = 5.0f;
    SimEeprom_ReadFloat(&status, &value, 128);
    EXPECT_NE(status, 0u);
    EXPECT_EQ(value, 0.0f);
    SimEeprom_WriteFloatChecked(128, 1.0f, &status);
    EXPECT_EQ(status, 10u);
    // The board runs on its defaults.
    EXPECT_FLOAT_EQ(SimCal_GetValue(6, 0), 2.048f / 32767.0f);
    EXPECT_EQ(StatusOf(0x13, RawAddress("00000002", 2)), 7);
    // A path too long for the name's buffer names no file at all.
    SimEeprom_Reset();
    std::string deep(250, 'd');
    ASSERT_EQ(Brannic_SetEEPROMBinFilePath(("/tmp/" + deep + "/").c_str()), 1);
    SimEeprom_Open();
    EXPECT_STREQ(SimEeprom_GetFileName(), "");
    SimEeprom_WriteFloatChecked(128, 1.0f, &status);
    EXPECT_EQ(status, 10u);
    // Values that are not finite are never written.
    SimEeprom_WriteFloatChecked(128, std::numeric_limits<float>::infinity(), &status);
    EXPECT_EQ(status, 12u);
}

TEST(ParameterFile, AShortFileIsCompletedAsErasedAndALongOneIsNoParameterFile) {
    std::string folder = Rig_MakeTempFolder();
    std::string path = StartBoardIn(folder) + "Sensor Simulator";
    // A file cut short after range 4's offset: the temperature factor, the impedances, the
    // lines of kinds 11 and 12 and the zero sum's mark are missing.
    std::vector<uint8_t> whole = ReadFile(path);
    std::vector<uint8_t> cut(whole.begin(), whole.begin() + 204);
    WriteFile(path, cut);
    // It loads the defaults for what it lacks, not zeros (the temperature factor 1), at this start
    // and the next.
    for (int start = 0; start < 2; ++start) {
        SimCal_Reset();
        StartBoardIn(folder);
        EXPECT_FLOAT_EQ(SimCal_GetTempFactor(), 1.0f);
        EXPECT_FLOAT_EQ(SimCal_GetValue(9, 0), 1.6509663f);
        EXPECT_FLOAT_EQ(SimCal_GetValue(11, 0), 1.0201217f);
    }
    // It was completed with erased bytes, and only the zero sum with its mark written into them.
    std::vector<uint8_t> file = ReadFile(path);
    ASSERT_EQ(file.size(), 2048u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 204), cut);
    for (size_t i = 204; i < file.size(); ++i) {
        if (i < 632 || i >= 638) {
            EXPECT_EQ(file[i], 0xFF) << "byte " << i;
        }
    }
    EXPECT_EQ(file[636] | file[637] << 8, 14025);
    // A file longer than the 2048, grown while the board runs or there from the start, and a link
    // to a big file (which each save would otherwise copy whole): no parameter file. Saves fail,
    // the board runs on its defaults, and the file is left as it was.
    std::vector<uint8_t> longer = ReadFile(path);
    longer.push_back(0x5A);
    std::string big = folder + "/big";
    { std::ofstream(big, std::ios::binary); }
    fs::resize_file(big, 1u << 30);
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        if (way < 2) {
            fs::remove(path);
            WriteFile(path, longer);
        } else {
            fs::remove(path);
            fs::create_symlink(big, path);
        }
        if (way > 0) {
            SimCal_Reset();
            StartBoardIn(folder);
            EXPECT_FLOAT_EQ(SimCal_GetValue(11, 0), 1.0201217f);
        }
        ASSERT_EQ(Point(0, 11, 4.1f), 1);
        ASSERT_EQ(Point(1, 11, 20.2f), 1);
        EXPECT_EQ(Save(11, 1), 0);
        EXPECT_EQ(StatusOf(0x13, RawAddress("00000002", 2)), 7);
    }
    EXPECT_EQ(ReadFile(path + ".tmp").size(), 0u);
    EXPECT_EQ(fs::file_size(big), 1u << 30);
    EXPECT_FALSE(fs::exists(big + ".tmp"));
    fs::remove(path);
    WriteFile(path, longer);
    SimCal_Reset();
    StartBoardIn(folder);
    EXPECT_EQ(ReadFile(path), longer);
}

TEST(ParameterFile, ATemporaryFileLeftByAKillIsRemovedNeverLoaded) {
    std::string folder = Rig_MakeTempFolder();
    std::string path = StartBoardIn(folder) + "Sensor Simulator";
    // A whole file with another calibration, as a save killed before its rename leaves it.
    std::vector<uint8_t> leftover = ReadFile(path);
    const std::vector<uint8_t> two = {0, 0, 0, 0x40};
    std::copy(two.begin(), two.end(), leftover.begin() + 240);
    WriteFile(path + ".tmp", leftover);
    SimCal_Reset();
    StartBoardIn(folder);
    EXPECT_FLOAT_EQ(SimCal_GetValue(11, 0), 1.0201217f);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
    EXPECT_FLOAT_EQ(FloatLEAt(ReadFile(path), 240), 1.0201217f);
}

TEST(ParameterFile, AReadOnlyFileLoadsAndRefusesEveryWriteKeepingItsBytes) {
    std::string folder = Rig_MakeTempFolder();
    std::string path = StartBoardIn(folder) + "Sensor Simulator";
    // Short as well: what it lacks reads as erased and loads as the defaults.
    std::vector<uint8_t> file = ReadFile(path);
    file.resize(204);
    const std::vector<uint8_t> two = {0, 0, 0, 0x40};
    std::copy(two.begin(), two.end(), file.begin() + 128);
    WriteFile(path, file);
    ReadOnlyFile readOnly(path);
    if (!readOnly.Ok()) GTEST_SKIP() << "no way here to make a file this process cannot write";
    SimCal_Reset();
    StartBoardIn(folder);
    EXPECT_FLOAT_EQ(SimCal_GetValue(6, 0), 2.0f);
    EXPECT_FLOAT_EQ(SimCal_GetTempFactor(), 1.0f);
    EXPECT_FLOAT_EQ(SimCal_GetValue(12, 1), 3359.139f);
    // Saves fail with their status, raw writes with status 7; nothing changes in the folder.
    ASSERT_EQ(Point(0, 11, 4.1f), 1);
    ASSERT_EQ(Point(1, 11, 20.2f), 1);
    EXPECT_EQ(Save(11, 0), 0);
    uint32_t status = 0;
    EXPECT_EQ(SimCal_Save(11, 0, &status), 0u);
    EXPECT_EQ(status, 10u);
    std::vector<uint8_t> write = RawAddress("00000300", 1);
    write.push_back(0xAA);
    EXPECT_EQ(StatusOf(0x12, write), 7);
    EXPECT_EQ(StatusOf(0x0E, {}), 0);
    EXPECT_EQ(ReadFile(path), file);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST(ParameterFile, AnUnreadableFileIsNotAvailableAndKeepsItsBytes) {
    std::string folder = Rig_MakeTempFolder();
    std::string path = StartBoardIn(folder) + "Sensor Simulator";
    std::vector<uint8_t> file = ReadFile(path);
    fs::permissions(path, fs::perms::none);
    WithoutFileOverride asUser;
    if (!ReadFile(path).empty()) {
        fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
        GTEST_SKIP() << "this process reads every file";
    }
    SimCal_Reset();
    StartBoardIn(folder);
    uint32_t status = 0;
    float value = 5.0f;
    SimEeprom_ReadFloat(&status, &value, 128);
    EXPECT_EQ(status, 10u);
    EXPECT_EQ(Save(6, 0), 0);
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(ReadFile(path), file);
}
