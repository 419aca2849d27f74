// The panel's record of the model chosen in channel B's list, through the panel core: of two
// entries with one model number the one chosen is loaded again after a restart, and a record the
// panel cannot use leaves the first entry of the stored model.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "../digital_sensor/plug_support.h"
#include "core/eeprom.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_config.h"
#include "measurement/ph.h"
#include "panel/inputs.h"
#include "rig.h"
#include "sim/sim_inputs.h"

namespace {
constexpr uint8_t kEntrySelvoP11 = 0;
constexpr uint8_t kEntrySelvoP11Second = 8;
constexpr uint8_t kEntrySelvoQ11 = 9;

std::filesystem::path Folder() { return std::filesystem::path(Rig_StorePath()).parent_path(); }
std::filesystem::path RecordPath() { return Folder() / kSensorChoiceFile; }

// The entry's sensor file beside the program, where the library reads it.
void LayOutSensorFile(uint8_t entry) {
    std::filesystem::copy_file(std::filesystem::path(KORVI_SENSOR_IMAGE_DIR) / g_SensorImageFiles[entry].fileName,
                               Folder() / g_SensorImageFiles[entry].fileName,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::current_path(Folder());
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
}  // namespace

TEST(PanelSensorChoice, TheSecondEntryOfAModelIsLoadedAgainAfterARestart) {
    plug_test::BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    LayOutSensorFile(kEntrySelvoP11);
    LayOutSensorFile(kEntrySelvoP11Second);
    // "SelvoP11" chosen in the list and taken over, then "SelvoP11(2)": the same model with another
    // serial number.
    Panel_ChooseSensorB(kEntrySelvoP11);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    Panel_ChooseSensorB(kEntrySelvoP11Second);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugNewSerial));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 7000));
    uint32_t serial = g_SensorSecondId[1];
    EXPECT_EQ(ReadFile(RecordPath()), "8 4187\n");

    // A new start in the same folder: the panel loads its set-up as the dialog does.
    plug_test::RestartInSameFolder();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    ChannelSetup setup;
    ASSERT_TRUE(Panel_TryLoadChannelSetup(&setup));
    EXPECT_EQ(setup.sensorIndex, kEntrySelvoP11Second);
    // The sensor the firmware knows resumes; nothing is taken over.
    ASSERT_TRUE(plug_test::RunUntilState(kPlugResume));
    EXPECT_EQ(Rig_RowText(11), "Resuming Operation ChB");
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(3000);
    EXPECT_EQ(g_SensorSecondId[1], serial);
    // What the second sensor keeps is in use: its last calibration, 57.2 mV/pH.
    EXPECT_NEAR(CalPh_GetSlopeInUsePercent(1), 57.2f / 59.16f * 100.0f, 0.05f);
}

TEST(PanelSensorChoice, ARecordThePanelCannotUseLeavesTheFirstEntryOfTheStoredModel) {
    plug_test::BootOnChannelB();
    // The stored model is 4187, the model of entries 0 and 8.
    ASSERT_EQ(Panel_ReadStoredSensorModel(1), 4187u);
    EXPECT_FALSE(std::filesystem::exists(RecordPath()));
    EXPECT_EQ(Panel_RestoreSensorIndex(4187), kEntrySelvoP11);

    WriteFile(RecordPath(), "8 4187\n");
    EXPECT_EQ(Panel_RestoreSensorIndex(4187), kEntrySelvoP11Second);
    ChannelSetup setup = Panel_LoadChannelSetup();
    EXPECT_EQ(setup.sensorIndex, kEntrySelvoP11Second);
    // A write a kill cut short leaves its temporary file beside the record, which stays in use.
    WriteFile(RecordPath().string() + ".tmp", "9 42");
    EXPECT_EQ(Panel_RestoreSensorIndex(4187), kEntrySelvoP11Second);
    // The panel's start, loading its set-up, removes it.
    EXPECT_EQ(Panel_LoadChannelSetup().sensorIndex, kEntrySelvoP11Second);
    EXPECT_FALSE(std::filesystem::exists(RecordPath().string() + ".tmp"));

    const char* const garbled[] = {"",          "8",         "8 4187",    "8 4187\n\n",
                                   " 8 4187\n", "8 4188\n",  "14 4187\n", "-8 4187\n",
                                   "8  4187\n", "8 4187x\n", "\xff\xfe",  "99999999999 4187\n"};
    for (const char* bytes : garbled) {
        WriteFile(RecordPath(), bytes);
        EXPECT_EQ(Panel_RestoreSensorIndex(4187), kEntrySelvoP11) << bytes;
    }
    // A folder, a pipe or a link to a folder in the record's place reads as no record, and a choice
    // cannot replace it: the choice still goes to the library, and where the next start would
    // take the model's first entry instead, the panel is told so.
    std::filesystem::path away = Folder() / "elsewhere";
    std::filesystem::create_directory(away);
    for (int odd = 0; odd < 3; ++odd) {
        SCOPED_TRACE(odd);
        std::filesystem::remove(RecordPath());
        if (odd == 0) std::filesystem::create_directory(RecordPath());
        if (odd == 1) {
            ASSERT_EQ(mkfifo(RecordPath().c_str(), 0600), 0);
        }
        if (odd == 2) std::filesystem::create_directory_symlink(away, RecordPath());
        EXPECT_EQ(Panel_RestoreSensorIndex(4187), kEntrySelvoP11);
        EXPECT_FALSE(Panel_ChooseSensorB(kEntrySelvoP11Second).kept);
        EXPECT_TRUE(Panel_ChooseSensorB(kEntrySelvoP11).kept) << "the first entry comes back anyway";
        EXPECT_EQ(std::filesystem::symlink_status(RecordPath()).type(),
                  odd == 0 ? std::filesystem::file_type::directory
                           : (odd == 1 ? std::filesystem::file_type::fifo : std::filesystem::file_type::symlink));
    }
    std::filesystem::remove(RecordPath());
    EXPECT_TRUE(Panel_ChooseSensorB(kEntrySelvoP11Second).kept);
    std::filesystem::remove(RecordPath());

    // The record names another model than the one stored since: the stored model decides.
    Panel_ChooseSensorB(kEntrySelvoQ11);
    EXPECT_EQ(ReadFile(RecordPath()), "9 4210\n");
    EXPECT_EQ(Panel_RestoreSensorIndex(4187), kEntrySelvoP11);
    EXPECT_EQ(Panel_RestoreSensorIndex(4210), kEntrySelvoQ11);
    // No model chosen leaves the record as it was.
    Panel_ChooseSensorB(-1);
    Panel_ClearSensorB();
    EXPECT_EQ(ReadFile(RecordPath()), "9 4210\n");
}
