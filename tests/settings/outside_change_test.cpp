// The settings store changed from outside while the program runs (a backup restored, a byte set
// with a hex editor): "Save Changes" of another setting keeps the change, a restart loads it, and a
// loader a second later sees it.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "../ui/ui_support.h"
#include "core/eeprom.h"
#include "measurement/ph.h"
#include "measurement/temperature.h"
#include "rig.h"
#include "store_journal.h"

using namespace ui_test;
using store_journal::BootIn;
using store_journal::FloatBytes;

namespace {
// Channel A's pH slope, a fraction, and its temperature source.
constexpr uint32_t kStoreSlopeA = 792;
constexpr uint32_t kStoreTempSourceA = 64;

// Channel A's temperature source set to Pt100 by keys and saved.
void SaveTemperatureSourcePt100() {
    store_journal::ChooseTemperatureSourcePt100();
    if (::testing::Test::HasFatalFailure()) return;
    EnterAndSave();
}
}  // namespace

TEST(OutsideChanges, ACalibrationRestoredOnDiskSurvivesSaveChangesAndARestart) {
    for (bool replaced : {false, true}) {
        SCOPED_TRACE(replaced ? "a copy renamed over the store" : "written in place");
        std::string folder = Rig_MakeTempFolder();
        BootIn(folder);
        ASSERT_EQ(Rig_StoredFloat(kStoreSlopeA), 1.0f);
        // No page touches the slope: a restored calibration of 95 %.
        if (replaced) {
            Rig_ReplaceStoreOnDisk(kStoreSlopeA, FloatBytes(0.95f));
        } else {
            Rig_ChangeStoreOnDisk(kStoreSlopeA, FloatBytes(0.95f));
        }
        SaveTemperatureSourcePt100();
        EXPECT_EQ(Rig_RowText(12).find("Failed"), std::string::npos);
        EXPECT_EQ(Rig_StoredFloat(kStoreSlopeA), 0.95f);
        EXPECT_EQ(Rig_StoreBytes()[kStoreTempSourceA], kTempSourcePt100);

        BootIn(folder);
        EXPECT_FLOAT_EQ(CalPh_GetSlopePercent(0), 95.0f);
        EXPECT_EQ(Temp_GetSourceMode(0), kTempSourcePt100);
    }
}

TEST(OutsideChanges, ALoaderASecondAfterAnOutsideChangeLoadsIt) {
    BootIn(Rig_MakeTempFolder());
    Rig_ChangeStoreOnDisk(kStoreSlopeA, FloatBytes(0.9f));
    Rig_AdvanceMs(1000);
    uint32_t status = 0;
    CalPh_LoadChannel(0, 1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_FLOAT_EQ(CalPh_GetSlopePercent(0), 90.0f);
}
