// Settings store file: creation, byte order, status codes and bad paths.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "core/eeprom.h"
#include "core/events.h"
#include "core/link.h"
#include "core/link_transport.h"
#include "core/rtc.h"
#include "core/timers.h"
#include "core/util.h"
#include "full_disk.h"
#include "measurement/channel.h"
#include "measurement/temperature.h"
#include "read_only_file.h"
#include "rig.h"
#include "store_journal.h"
#include "ui/menu.h"

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

// A settings module's setters and loads: a refused value changes neither the field, its copy
// nor the store; one failed read in a block marks the whole block; one chain keeps its first
// failure, the other its last.
TEST(SettingsStore, SettingHelpersRefuseNonFiniteValuesAndKeepTheFirstFailure) {
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    float live = 1.0f, copy = 1.0f;
    uint32_t status = 99;
    Eeprom_SetFloat(&live, &copy, 100, 2.5f, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(live, 2.5f);
    EXPECT_EQ(copy, 2.5f);
    Eeprom_SetFloat(&live, &copy, 100, std::nanf(""), &status);
    EXPECT_EQ(status, 12u);
    EXPECT_EQ(live, 2.5f);
    EXPECT_EQ(copy, 2.5f);
    Eeprom_SetFloat(&live, nullptr, 100, 3.0f, &status);
    EXPECT_EQ(live, 3.0f);
    EXPECT_EQ(copy, 2.5f);

    bool failed = false;
    float value = 0.0f;
    Eeprom_LoadFloat(100, &value, &failed);
    EXPECT_EQ(value, 3.0f);
    EXPECT_FALSE(failed);
    Eeprom_LoadFloat(200, &value, &failed);  // never written: FF FF FF FF
    EXPECT_TRUE(failed);
    Eeprom_LoadFloat(100, &value, &failed);
    EXPECT_TRUE(failed) << "a later good read does not clear the block's failure";
    uint8_t byte = 0;
    failed = false;
    Eeprom_LoadByte(kEepromSize, &byte, &failed);
    EXPECT_TRUE(failed);

    uint32_t result = 0;
    Eeprom_Chain(&result, 0);
    Eeprom_Chain(&result, 11);
    Eeprom_Chain(&result, 10);
    EXPECT_EQ(result, 11u);

    // The noting chain reports its last failure, and a good access clears nothing.
    status = 0;
    const uint8_t seven = 7;
    Eeprom_WriteNoted(300, &seven, 1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_FALSE(Eeprom_ReadNoted(kEepromSize, &byte, 1, &status));
    EXPECT_NE(status, 0u);
    Eeprom_NoteFailure(&status, 11);
    EXPECT_TRUE(Eeprom_ReadNoted(300, &byte, 1, &status));
    EXPECT_EQ(byte, 7);
    EXPECT_EQ(status, 11u);
    status = 0;
    EXPECT_EQ(Eeprom_ReadByteOr(300, 7, 3, &status), 7);
    EXPECT_EQ(Eeprom_ReadByteOr(300, 6, 3, &status), 3) << "above the largest";
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Eeprom_ReadByteOr(kEepromSize, 255, 3, &status), 3) << "unreadable";
    EXPECT_NE(status, 0u);
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

    // The file removed while running: reads answer what it held, from memory; a write reports 10
    // (its bytes would be lost with the file) and creates nothing.
    const uint8_t stored[2] = {0x12, 0x34};
    Eeprom_Write(10, stored, 2, &status);
    std::remove(Rig_StorePath().c_str());
    Eeprom_Read(10, buffer, 2, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(buffer[1], 0x34);
    Eeprom_WriteChecked(10, buffer + 2, 2, &status);
    EXPECT_EQ(status, 10u);
    EXPECT_FALSE(std::filesystem::exists(Rig_StorePath()));
    Eeprom_Read(10, buffer, 2, &status);
    EXPECT_EQ(buffer[1], 0x34) << "memory keeps what the file had";

    // A store that cannot be opened at all: each access reports 10 and leaves the buffer.
    Rig_LoseStore();
    Eeprom_Read(0, buffer, 4, &status);
    EXPECT_EQ(status, 10u);
    EXPECT_EQ(buffer[3], 4);
}

TEST(SettingsStore, ExistingStoreThatCannotBeWrittenIsNeverEmptied) {
    // A folder in the store's place can be neither read nor written: not a store, and left be.
    Rig_Reset(Rig_MakeTempFolder());
    std::filesystem::create_directory(Rig_StorePath());
    Eeprom_Open();
    EXPECT_EQ(g_EepromReady, 0);
    EXPECT_TRUE(std::filesystem::is_directory(Rig_StorePath()));

    // A file that can only be read is read, never written or created anew.
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    uint32_t status = 0;
    uint8_t marker[2] = {'K', '2'};
    Eeprom_Write(6, marker, 2, &status);
    ReadOnlyFile readOnly(Rig_StorePath());
    if (!readOnly.Ok()) GTEST_SKIP() << "no way here to make a file this process cannot write";
    Eeprom_Open();
    EXPECT_EQ(g_EepromReady, 1);
    uint8_t read[2] = {0, 0};
    Eeprom_Read(6, read, 2, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(read[0], 'K');
    uint8_t other[2] = {'X', 'Y'};
    Eeprom_WriteChecked(6, other, 2, &status);
    EXPECT_EQ(status, 10u);
    std::vector<uint8_t> bytes = FileBytes(Rig_StorePath());
    ASSERT_EQ(bytes.size(), 4096u);
    EXPECT_EQ(bytes[6], 'K');
}

TEST(SettingsStore, StoreThatCanOnlyBeReadShowsWhatItHoldsAndRefusesSaves) {
    // A store an earlier run wrote, with a manual temperature of 42.
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_WriteFactoryStore();
    uint32_t status = 0;
    Temp_SetManualValue(0, 42.0f, &status);
    Temp_SetSourceMode(0, kTempSourceManual, &status);
    ASSERT_EQ(status, 0u);
    const std::vector<uint8_t> stored = FileBytes(Rig_StorePath());
    ReadOnlyFile readOnly(Rig_StorePath());
    if (!readOnly.Ok()) GTEST_SKIP() << "no way here to make a file this process cannot write";

    // The next start loads the stored settings and shows the stored temperature.
    Rig_Reset(folder);
    ClockRecord clock{2025, 6, 1, 0, 10, 0, 0};
    Rtc_SetTime(&clock);
    Rig_Boot();
    EXPECT_EQ(g_EepromReady, 1);
    EXPECT_EQ(Temp_GetSourceMode(0), kTempSourceManual);
    EXPECT_EQ(Temp_GetManualValue(0), 42.0f);
    Rig_AdvanceMs(8000);
    EXPECT_EQ(Rig_BigLineText(1), "42.0");

    // A setting written: status 10, the store as it was.
    Temp_SetManualValue(1, 30.0f, &status);
    EXPECT_EQ(status, 10u);
    // A pH calibration saved from the menu: "Save Failed!", never success.
    g_MenuPosition = 0x100000;
    Event_Put(kItemSaveCalibration);
    Rig_AdvanceMs(60);
    EXPECT_EQ(Rig_RowText(12), "      Save Failed!");
    EXPECT_EQ(FileBytes(Rig_StorePath()), stored);
}

// A disk that takes no more bytes (a file size limit stands in for it, whoever writes): every
// write reports status 10, memory keeps what the file has, and a commit leaves no journal behind.
// A commit the file takes in part (the limit between two of its runs) is put back as it was.
TEST(SettingsStore, WriteTheDiskCannotTakeReportsStatus10) {
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    const std::vector<uint8_t> erased(4096, 0xFF);
    {
        FullDisk full(0);
        ASSERT_TRUE(full.Ok());
        Eeprom_Open();
        EXPECT_EQ(g_EepromReady, 1);
        uint32_t status = 0;
        uint8_t marker[2] = {'K', '2'};
        Eeprom_WriteChecked(6, marker, 2, &status);
        EXPECT_EQ(status, 10u);
        Eeprom_WriteFloat(100, 1.0f, &status);
        EXPECT_EQ(status, 10u);
        uint8_t read[2] = {1, 1};
        Eeprom_Read(6, read, 2, &status);
        EXPECT_EQ(status, 0u);
        EXPECT_EQ(read[0], 0xFF);
        Eeprom_BeginCommit();
        Eeprom_WriteChecked(6, marker, 2, &status);
        EXPECT_EQ(status, 0u) << "kept for the commit's end";
        Eeprom_EndCommit(&status);
        EXPECT_EQ(status, 10u);
        Eeprom_Read(6, read, 2, &status);
        EXPECT_EQ(read[0], 0xFF);
        EXPECT_FALSE(std::filesystem::exists(Rig_StorePath() + ".journal"));
    }
    EXPECT_EQ(FileBytes(Rig_StorePath()), erased);
    {
        FullDisk full(2048);
        ASSERT_TRUE(full.Ok());
        uint32_t status = 0;
        Eeprom_BeginCommit();
        Eeprom_WriteFloat(100, 1.0f, &status);
        Eeprom_WriteFloat(3000, 2.0f, &status);
        Eeprom_EndCommit(&status);
        EXPECT_EQ(status, 10u);
        float value = 0.0f;
        Eeprom_ReadFloat(100, &value, &status);
        EXPECT_EQ(status, 11u) << "memory as the file holds it: never written";
        EXPECT_FALSE(std::filesystem::exists(Rig_StorePath() + ".journal"));
    }
    EXPECT_EQ(FileBytes(Rig_StorePath()), erased);
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

// A store that cannot be opened or created: the firmware stops at start with "EEPROM Error!" and
// goes no further (no measurement, no timers).
TEST(SettingsStore, AStoreThatCannotBeOpenedStopsTheStartWithEepromError) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    // The store's name is taken by a folder: it can be neither opened nor created as a file.
    std::filesystem::create_directories(folder + "/R718G 2XH Simulator");
    Rig_UseNoLibrary();
    Rig_Boot();
    EXPECT_EQ(g_EepromReady, 0);
    EXPECT_EQ(Rig_RowText(12), "EEPROM Error!");
    EXPECT_EQ(Rig_RowText(11), "");
    EXPECT_EQ(g_LinkStartupWait, 0) << "the wait for the sensor board never began";
    EXPECT_EQ(Timer_IsActive(kTimerOneSecond), 0u);
    EXPECT_EQ(Timer_IsActive(kTimerBlink), 0u);
}

// A store that may only be read and was never marked cannot take the factory settings: the
// firmware stops with "EEPROM Error!", and the file keeps every byte.
TEST(SettingsStore, AReadOnlyStoreWithoutMarkersStopsTheStartAndIsNotEmptied) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Eeprom_Open();
    uint32_t status = 0;
    const uint8_t bytes[3] = {1, 2, 3};
    Eeprom_Write(1500, bytes, 3, &status);
    const std::vector<uint8_t> stored = FileBytes(Rig_StorePath());
    ReadOnlyFile readOnly(Rig_StorePath());
    if (!readOnly.Ok()) GTEST_SKIP() << "no way here to make a file this process cannot write";
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    EXPECT_EQ(g_EepromReady, 1);
    EXPECT_EQ(Rig_RowText(12), "EEPROM Error!");
    EXPECT_EQ(FileBytes(Rig_StorePath()), stored);
}

// Marked for its calibrations but not for its configuration: the factory configuration cannot be
// stored, so the firmware runs on it as it stands in memory and the store loads as it is.
TEST(SettingsStore, AReadOnlyStoreWithoutItsConfigurationRunsOnTheDefaults) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_WriteFactoryStore();
    uint32_t status = 0;
    const uint8_t unmarked[2] = {0xFF, 0xFF};
    Eeprom_Write(6, unmarked, 2, &status);
    const std::vector<uint8_t> stored = FileBytes(Rig_StorePath());
    ReadOnlyFile readOnly(Rig_StorePath());
    if (!readOnly.Ok()) GTEST_SKIP() << "no way here to make a file this process cannot write";
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Rig_RowText(12).find("EEPROM"), std::string::npos);
    EXPECT_EQ(Menu_TopScreen(), 0);
    EXPECT_EQ(g_ChannelKind[0], 1);
    EXPECT_EQ(FileBytes(Rig_StorePath()), stored);
}

// A store shorter than 4096 bytes (a file cut short) is completed with erased bytes, in memory
// and in the file, so that what it lacks reads as never written; one longer than 4096 bytes
// keeps its extra bytes through single writes and commits alike.
TEST(SettingsStore, AShortStoreIsCompletedErasedAndALongOneKeepsItsTail) {
    for (uint32_t size : {0u, 1u, 100u, 4095u}) {
        Rig_Reset(Rig_MakeTempFolder());
        std::vector<uint8_t> cut(size);
        for (uint32_t i = 0; i < size; ++i) cut[i] = static_cast<uint8_t>(i * 7);
        Rig_WriteStoreBytes(cut);
        Eeprom_Open();
        EXPECT_EQ(g_EepromReady, 1);
        std::vector<uint8_t> bytes = FileBytes(Rig_StorePath());
        ASSERT_EQ(bytes.size(), 4096u) << size;
        EXPECT_TRUE(std::equal(cut.begin(), cut.end(), bytes.begin())) << size;
        for (uint32_t i = size; i < 4096; ++i) ASSERT_EQ(bytes[i], 0xFF) << size << " at " << i;
        // A float beyond the cut is unwritten (status 11), not a stored 0.0.
        float value = 5.0f;
        uint32_t status = 0;
        Eeprom_ReadFloat(4092, &value, &status);
        if (size < 4092) {
            EXPECT_EQ(status, 11u) << size;
        }
    }

    Rig_Reset(Rig_MakeTempFolder());
    std::vector<uint8_t> longer(5000, 0xFF);
    for (uint32_t i = 4096; i < longer.size(); ++i) longer[i] = static_cast<uint8_t>(i);
    Rig_WriteStoreBytes(longer);
    Eeprom_Open();
    uint32_t status = 0;
    Eeprom_WriteFloat(4092, 2.0f, &status);
    EXPECT_EQ(status, 0u);
    Eeprom_BeginCommit();
    Eeprom_WriteFloat(100, 3.0f, &status);
    Eeprom_EndCommit(&status);
    EXPECT_EQ(status, 0u);
    std::vector<uint8_t> bytes = FileBytes(Rig_StorePath());
    ASSERT_EQ(bytes.size(), 5000u);
    EXPECT_EQ(Rig_FloatAt(bytes, 4092), 2.0f);
    EXPECT_EQ(Rig_FloatAt(bytes, 100), 3.0f);
    EXPECT_TRUE(std::equal(longer.begin() + 4096, longer.end(), bytes.begin() + 4096));
}

// A commit's writes wait in memory, where reads find them, and reach the file at its end in one
// write; a commit the file cannot take leaves file and memory as they were and says so.
TEST(SettingsStore, ACommitReachesTheFileWholeAtItsEnd) {
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    uint32_t status = 0;
    Eeprom_WriteFloat(100, 1.0f, &status);
    uint32_t writes = Eeprom_FileWriteCount();
    Eeprom_BeginCommit();
    Eeprom_WriteFloat(100, 2.0f, &status);
    Eeprom_WriteFloat(3000, 4.0f, &status);
    EXPECT_EQ(status, 0u);
    float value = 0.0f;
    Eeprom_ReadFloat(3000, &value, &status);
    EXPECT_EQ(value, 4.0f) << "a commit reads its own writes";
    EXPECT_EQ(Rig_StoredFloat(100), 1.0f) << "nothing in the file before the end";
    Eeprom_EndCommit(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Rig_StoredFloat(100), 2.0f);
    EXPECT_EQ(Rig_StoredFloat(3000), 4.0f);
    EXPECT_EQ(Eeprom_FileWriteCount(), writes + 1);
    EXPECT_FALSE(std::filesystem::exists(Rig_StorePath() + ".journal"));

    // A commit inside another is the outer one's: nothing reaches the file before the outer end.
    Eeprom_BeginCommit();
    Eeprom_BeginCommit();
    Eeprom_WriteFloat(100, 3.0f, &status);
    Eeprom_EndCommit(&status);
    EXPECT_EQ(Rig_StoredFloat(100), 2.0f);
    Eeprom_EndCommit(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Rig_StoredFloat(100), 3.0f);
    Eeprom_WriteFloat(100, 2.0f, &status);

    // The file gone meanwhile: status 10, and memory back to what the file held.
    Eeprom_BeginCommit();
    Eeprom_WriteFloat(100, 5.0f, &status);
    std::remove(Rig_StorePath().c_str());
    Eeprom_EndCommit(&status);
    EXPECT_EQ(status, 10u);
    Eeprom_ReadFloat(100, &value, &status);
    EXPECT_EQ(value, 2.0f);
    EXPECT_FALSE(std::filesystem::exists(Rig_StorePath() + ".journal"));

    // A store that may only be read: every write of the commit is refused, and so is its end.
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    Eeprom_WriteFloat(100, 1.0f, &status);
    const std::vector<uint8_t> stored = FileBytes(Rig_StorePath());
    ReadOnlyFile readOnly(Rig_StorePath());
    if (!readOnly.Ok()) GTEST_SKIP() << "no way here to make a file this process cannot write";
    Eeprom_Open();
    Eeprom_BeginCommit();
    Eeprom_WriteFloat(100, 6.0f, &status);
    EXPECT_EQ(status, 10u);
    Eeprom_EndCommit(&status);
    EXPECT_EQ(status, 10u);
    EXPECT_EQ(FileBytes(Rig_StorePath()), stored);
}

// The store file changed from outside while the program runs is taken in: a write elsewhere keeps
// the change and reads see it; a commit writes (and journals) only the bytes it changes; a file
// put in the store's place takes the next commit; reads look at most once a second; and a store
// cut short from outside is completed erased, never with zeros.
TEST(SettingsStore, ChangesMadeToTheFileFromOutsideAreTakenInNeverUndone) {
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    uint32_t status = 0;
    auto byteAt = [&status](uint32_t offset) {
        uint8_t byte = 0;
        Eeprom_Read(offset, &byte, 1, &status);
        return byte;
    };
    Eeprom_WriteFloat(100, 1.0f, &status);
    Rig_ChangeStoreOnDisk(500, {0x42});
    Eeprom_WriteFloat(200, 2.0f, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(FileBytes(Rig_StorePath())[500], 0x42);
    EXPECT_EQ(byteAt(500), 0x42);

    Rig_ChangeStoreOnDisk(501, {0x43});
    const std::vector<uint8_t> before = FileBytes(Rig_StorePath());
    Eeprom_BeginCommit();
    Eeprom_WriteFloat(100, 3.0f, &status);
    Eeprom_WriteFloat(200, 2.0f, &status);
    Eeprom_EndCommit(&status);
    EXPECT_EQ(status, 0u);
    std::vector<uint8_t> after = FileBytes(Rig_StorePath());
    std::vector<uint32_t> changed;
    for (uint32_t i = 0; i < 4096; ++i) {
        if (before[i] != after[i]) changed.push_back(i);
    }
    EXPECT_EQ(changed, (std::vector<uint32_t>{102, 103})) << "1.0 to 3.0: its high bytes alone";
    EXPECT_EQ(after[501], 0x43);

    Rig_ReplaceStoreOnDisk(600, {0x44});
    Eeprom_BeginCommit();
    Eeprom_WriteFloat(100, 4.0f, &status);
    Eeprom_EndCommit(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Rig_StoredFloat(100), 4.0f);
    EXPECT_EQ(FileBytes(Rig_StorePath())[600], 0x44);
    EXPECT_EQ(byteAt(600), 0x44);

    Rig_ChangeStoreOnDisk(700, {0x45});
    EXPECT_EQ(byteAt(700), 0xFF) << "within the second: memory as it was";
    Rig_TickOnlyMs(1000);
    EXPECT_EQ(byteAt(700), 0x45);

    std::filesystem::resize_file(Rig_StorePath(), 1000);
    Eeprom_WriteFloat(3000, 5.0f, &status);
    EXPECT_EQ(status, 0u);
    after = FileBytes(Rig_StorePath());
    ASSERT_EQ(after.size(), 4096u);
    for (uint32_t i = 1000; i < 3000; ++i) ASSERT_EQ(after[i], 0xFF) << i;
    EXPECT_EQ(Rig_FloatAt(after, 3000), 5.0f);
    EXPECT_EQ(byteAt(700), 0x45);
    float value = 0.0f;
    Eeprom_ReadFloat(1200, &value, &status);
    EXPECT_EQ(status, 11u) << "beyond the cut: never written";
}

// What a commit killed on its way leaves beside the store: a finished journal (its runs and a
// whole, right trailer) is written into the store at the next start, also when the kill had
// written part of its runs already; anything less is dropped and the store loads as it was; and
// a journal that does not fit the store (one moved on since by a later write or a restored backup)
// is dropped too, never laid over it. Either way the journal is gone after the start, and it never
// stands in for a store that is missing.
TEST(SettingsStore, AJournalAKillLeftIsFinishedWhenItFitsTheStoreAndDroppedOtherwise) {
    auto writeFile = [](const std::string& path, const std::vector<uint8_t>& bytes) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    };
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    const std::string journal = Rig_StorePath() + ".journal";
    std::vector<uint8_t> store(4096, 0xFF);
    store[100] = 1;
    store[3000] = 1;
    Rig_WriteStoreBytes(store);
    auto byteAt = [](uint32_t offset) {
        uint8_t byte = 0;
        uint32_t status = 0;
        Eeprom_Read(offset, &byte, 1, &status);
        return byte;
    };
    // The commit that writes 2 at 100 and 3 at 3000.
    const std::vector<uint8_t> whole = StoreJournal(store, {{100, {2}}, {3000, {3}}});

    std::vector<uint8_t> cut(whole.begin(), whole.end() - 1);
    std::vector<uint8_t> badSum = whole;
    badSum.back() ^= 1;
    std::vector<uint8_t> longer = whole;
    longer.push_back(0);
    std::vector<uint8_t> outside = StoreJournal(store, {{4095, {2, 2}}});
    for (const std::vector<uint8_t>& unfinished : {cut, badSum, longer, outside, std::vector<uint8_t>{}}) {
        writeFile(journal, unfinished);
        Rig_Reset(folder);
        Eeprom_Open();
        EXPECT_EQ(g_EepromReady, 1);
        EXPECT_EQ(byteAt(100), 1) << unfinished.size();
        EXPECT_EQ(FileBytes(Rig_StorePath()), store);
        EXPECT_FALSE(std::filesystem::exists(journal));
    }

    // Finished, with nothing of it in the store yet, and with its first run in the store already.
    for (uint8_t firstDone : {1, 2}) {
        std::vector<uint8_t> partly = store;
        partly[100] = firstDone;
        Rig_WriteStoreBytes(partly);
        writeFile(journal, whole);
        Rig_Reset(folder);
        Eeprom_Open();
        EXPECT_EQ(byteAt(100), 2);
        EXPECT_EQ(byteAt(3000), 3);
        std::vector<uint8_t> bytes = FileBytes(Rig_StorePath());
        EXPECT_EQ(bytes[100], 2);
        EXPECT_EQ(bytes[3000], 3);
        EXPECT_FALSE(std::filesystem::exists(journal));
    }

    // The store moved on since the journal was made: a later write at 500 stands, and so does
    // the store's 3000.
    std::vector<uint8_t> later = store;
    later[500] = 7;
    later[3000] = 9;
    Rig_WriteStoreBytes(later);
    writeFile(journal, whole);
    Rig_Reset(folder);
    Eeprom_Open();
    EXPECT_EQ(FileBytes(Rig_StorePath()), later);
    EXPECT_EQ(byteAt(100), 1);
    EXPECT_FALSE(std::filesystem::exists(journal));

    // No store: a fresh one, and the journal removed unread.
    std::remove(Rig_StorePath().c_str());
    writeFile(journal, whole);
    Rig_Reset(folder);
    Eeprom_Open();
    EXPECT_EQ(FileBytes(Rig_StorePath()), std::vector<uint8_t>(4096, 0xFF));
    EXPECT_FALSE(std::filesystem::exists(journal));
}
