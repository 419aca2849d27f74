// Settings store file: creation, byte order, status codes and bad paths.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "core/eeprom.h"
#include "core/link_transport.h"
#include "rig.h"

namespace {
std::vector<uint8_t> FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}
}  // namespace

TEST(SettingsStore, FreshFolderGetsA4096ByteFileOfFF) {
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    EXPECT_EQ(g_EepromReady, 1);
    std::vector<uint8_t> bytes = FileBytes(Rig_StorePath());
    ASSERT_EQ(bytes.size(), 4096u);
    for (uint8_t b : bytes) ASSERT_EQ(b, 0xFF);
}

TEST(SettingsStore, FloatsAreLittleEndianAndNonFiniteValuesAreRefused) {
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    uint32_t status = 99;
    Eeprom_WriteFloat(100, 1.0f, &status);
    EXPECT_EQ(status, 0u);
    std::vector<uint8_t> bytes = FileBytes(Rig_StorePath());
    EXPECT_EQ(bytes[100], 0x00);
    EXPECT_EQ(bytes[101], 0x00);
    EXPECT_EQ(bytes[102], 0x80);
    EXPECT_EQ(bytes[103], 0x3F);

    float value = 0.0f;
    Eeprom_ReadFloat(100, &value, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(value, 1.0f);

    // Infinity is not written: the bytes stay as they were.
    Eeprom_WriteFloat(100, std::numeric_limits<float>::infinity(), &status);
    EXPECT_EQ(status, 12u);
    EXPECT_EQ(FileBytes(Rig_StorePath())[103], 0x3F);

    // Unwritten bytes are FF FF FF FF, a NaN: 0.0 with status 11.
    value = 5.0f;
    Eeprom_ReadFloat(200, &value, &status);
    EXPECT_EQ(status, 11u);
    EXPECT_EQ(value, 0.0f);
}

TEST(SettingsStore, ReadsAndWritesOutsideTheStoreOrWithoutAFileMoveNothing) {
    Rig_Reset(Rig_MakeTempFolder());
    uint8_t buffer[4] = {1, 2, 3, 4};
    uint32_t status = 0;
    // Not opened yet: checked writes refuse with status 10.
    EXPECT_EQ(Eeprom_WriteChecked(0, buffer, 4, &status), 0u);
    EXPECT_EQ(status, 10u);
    Eeprom_Open();

    // A read of no bytes touches nothing and succeeds.
    Eeprom_Read(0, buffer, 0, &status);
    EXPECT_EQ(status, 0u);
    // Past the end: refused, the buffer unchanged, the file still 4096 bytes.
    Eeprom_Read(4094, buffer, 4, &status);
    EXPECT_EQ(status, 10u);
    EXPECT_EQ(buffer[0], 1);
    Eeprom_WriteChecked(4095, buffer, 2, &status);
    EXPECT_EQ(status, 10u);
    EXPECT_EQ(FileBytes(Rig_StorePath()).size(), 4096u);

    // The file removed while running: each access reports 10 and leaves the buffer.
    std::remove(Rig_StorePath().c_str());
    Eeprom_Read(0, buffer, 4, &status);
    EXPECT_EQ(status, 10u);
    EXPECT_EQ(buffer[3], 4);
}

TEST(SettingsStore, ExistingFileThatCannotBeWrittenIsNeverEmptied) {
    if (geteuid() == 0) {
        // Root opens any file for writing; make the store a folder instead, which no one can.
        Rig_Reset(Rig_MakeTempFolder());
        std::filesystem::create_directory(Rig_StorePath());
        Eeprom_Open();
        EXPECT_EQ(g_EepromReady, 0);
        EXPECT_TRUE(std::filesystem::is_directory(Rig_StorePath()));
        return;
    }
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    uint32_t status = 0;
    uint8_t marker[2] = {'K', '2'};
    Eeprom_Write(6, marker, 2, &status);
    chmod(Rig_StorePath().c_str(), 0444);
    Eeprom_Open();
    EXPECT_EQ(g_EepromReady, 0);
    std::vector<uint8_t> bytes = FileBytes(Rig_StorePath());
    ASSERT_EQ(bytes.size(), 4096u);
    EXPECT_EQ(bytes[6], 'K');
}

TEST(SettingsStore, OverlongDirectoryLeavesTheStoreNotReady) {
    Rig_Reset(Rig_MakeTempFolder());
    std::string longPath(300, 'x');
    SetEEPROMBinFilePath(longPath.c_str());
    Eeprom_Open();
    EXPECT_EQ(g_EepromReady, 0);
    // A directory that fits alone but not with the file name is refused too.
    std::string almost = "/tmp/" + std::string(250, 'y') + "/";
    SetEEPROMBinFilePath(almost.c_str());
    Eeprom_Open();
    EXPECT_EQ(g_EepromReady, 0);
    uint32_t status = 0;
    uint8_t byte = 1;
    Eeprom_WriteChecked(0, &byte, 1, &status);
    EXPECT_EQ(status, 10u);
    // The library folder export is bounded the same way.
    SetDLLFilePath(longPath.c_str());
    EXPECT_STREQ(Link_GetLibraryDirectory(), "");
}

TEST(SettingsStore, DisplayFlagLivesAtOffset1275) {
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    uint32_t status = 0;
    g_DisplayFlag = 1;
    Eeprom_SaveDisplayFlag(&status);
    EXPECT_EQ(FileBytes(Rig_StorePath())[1275], 1);
    Eeprom_ClearDisplayFlag(&status);
    EXPECT_EQ(FileBytes(Rig_StorePath())[1275], 0);
    g_DisplayFlag = 7;
    Eeprom_LoadDisplayFlag(&status);
    EXPECT_EQ(g_DisplayFlag, 0);
}
