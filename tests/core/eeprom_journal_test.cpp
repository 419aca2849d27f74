// The settings store's journal where it cannot be removed (a folder that lets no file go,
// something that is not a file in its place): the store keeps the last commit, takes no save that
// the journal would undo at the next start, and the start says "EEPROM Error!". A pipe in the
// journal's or the store's place never holds the start up.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "../ui/ui_support.h"
#include "child_process.h"
#include "core/eeprom.h"
#include "measurement/temperature.h"
#include "read_only_file.h"
#include "rig.h"
#include "store_journal.h"

using namespace ui_test;
using store_journal::BootIn;
using store_journal::FloatBytes;
namespace fs = std::filesystem;

namespace {
// Channel A's fixed temperature and its temperature source.
constexpr uint32_t kStoreManualTempA = 66;
constexpr uint32_t kStoreTempSourceA = 64;
const char kEepromError[] = "EEPROM Error!";

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::string JournalPath() { return Rig_StorePath() + ".journal"; }

// Channel A's temperature source set to Pt100 by keys, up to "Save Changes Yes & Exit" and ENTER.
void AskToSaveTemperatureSourcePt100() {
    store_journal::ChooseTemperatureSourcePt100();
    if (::testing::Test::HasFatalFailure()) return;
    for (int i = 0; i < 12 && Row(11) != "Save Changes Yes & Exit"; ++i) Press(kKeyEnter);
    ASSERT_EQ(Row(11), "Save Changes Yes & Exit");
    Press(kKeyEnter);
    Rig_AdvanceMs(1000);
}
}  // namespace

// A kill left a finished journal (of a save of 40 degrees) in a folder that no longer lets a file
// go. Each start finishes it into the store, which then holds that save and never an older one,
// and stops with "EEPROM Error!": a start that ran on could take saves the journal would undo.
// Once the folder lets go, the journal is finished once more (the store has it already) and
// removed, and a save made then holds over a restart.
TEST(StoreJournal, AFinishedJournalThatCannotBeRemovedIsFinishedAndStopsEveryStart) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_WriteFactoryStore();
    uint32_t status = 0;
    Temp_SetManualValue(0, 30.0f, &status);
    ASSERT_EQ(status, 0u);
    WriteFile(JournalPath(), StoreJournal(Rig_StoreBytes(), {{kStoreManualTempA, FloatBytes(40.0f)}}));
    {
        ReadOnlyFolder readOnly(folder);
        if (!readOnly.Ok()) GTEST_SKIP() << "no way here to make a folder this process cannot remove a file from";
        for (int start = 0; start < 2; ++start) {
            BootIn(folder);
            EXPECT_EQ(Rig_RowText(12), kEepromError) << "start " << start;
            EXPECT_EQ(Rig_StoredFloat(kStoreManualTempA), 40.0f) << "start " << start;
            EXPECT_TRUE(fs::exists(JournalPath()));
        }
    }
    BootIn(folder);
    EXPECT_EQ(Rig_RowText(12).find(kEepromError), std::string::npos);
    EXPECT_FALSE(fs::exists(JournalPath()));
    EXPECT_EQ(Temp_GetManualValue(0), 40.0f);
    AskToSaveTemperatureSourcePt100();
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    BootIn(folder);
    EXPECT_EQ(Temp_GetSourceMode(0), kTempSourcePt100);
    EXPECT_EQ(Temp_GetManualValue(0), 40.0f);
}

// A folder with a file in it stands where the journal goes: it cannot be removed (whoever runs
// the program), so it could not be told from a journal of the store's. "Save Changes" says "Save
// Failed!" and changes nothing, no other write is taken, and the next start says "EEPROM Error!"
// and keeps the folder. With it gone, the store is as it was before.
TEST(StoreJournal, SomethingAtTheJournalsPlaceThatCannotBeRemovedFailsTheSaveAndTheNextStart) {
    std::string folder = Rig_MakeTempFolder();
    BootIn(folder);
    const std::vector<uint8_t> before = Rig_StoreBytes();
    fs::create_directories(JournalPath() + "/kept");
    AskToSaveTemperatureSourcePt100();
    EXPECT_EQ(Rig_RowText(12), "      Save Failed!");
    EXPECT_EQ(Rig_StoreBytes(), before);
    uint32_t status = 0;
    Temp_SetManualValue(0, 42.0f, &status);
    EXPECT_EQ(status, kStoreNotReady);
    EXPECT_EQ(Rig_StoreBytes(), before);

    BootIn(folder);
    EXPECT_EQ(Rig_RowText(12), kEepromError);
    EXPECT_TRUE(fs::is_directory(JournalPath() + "/kept"));
    EXPECT_EQ(Rig_StoreBytes(), before);

    fs::remove_all(JournalPath());
    BootIn(folder);
    EXPECT_EQ(Rig_RowText(12).find(kEepromError), std::string::npos);
    EXPECT_EQ(Temp_GetSourceMode(0), kTempSourceAuto);
    EXPECT_EQ(Rig_StoreBytes()[kStoreTempSourceA], kTempSourceAuto);
}

// A pipe in the journal's place, or in the store's: the start returns at once and says "EEPROM
// Error!" (a start that waited on the pipe would leave the display blank for ever). The pipe is
// left where it is.
TEST(StoreJournal, APipeInTheJournalsOrTheStoresPlaceNeverHoldsTheStartUp) {
    for (bool atJournal : {true, false}) {
        SCOPED_TRACE(atJournal ? "the journal's place" : "the store's place");
        std::string folder = Rig_MakeTempFolder();
        Rig_Reset(folder);
        if (atJournal) Rig_WriteFactoryStore();
        std::string pipe = atJournal ? JournalPath() : Rig_StorePath();
        ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
        int shown = RunInChild(
            [&folder] {
                BootIn(folder);
                return Rig_RowText(12) == kEepromError ? 0 : 1;
            },
            60);
        EXPECT_EQ(shown, 0) << (shown == -1 ? "the start never returned" : "no EEPROM Error!");
        EXPECT_TRUE(fs::is_fifo(pipe));
    }
}
