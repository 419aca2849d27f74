// The selection screen in the rig: the CAL key's choices by channel and kind, the position codes
// it hands the menu engine, the leave marker, and the "Save Changes" question's choices.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "measurement/channel.h"
#include "settings/settings_system.h"
#include "ui/select_screen.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// The row-11 or row-12 choices met while pressing UP n times.
std::vector<std::string> Choices(uint32_t row, int n) {
    std::vector<std::string> seen;
    for (int i = 0; i < n; ++i) {
        seen.push_back(Row(row));
        Press(kKeyUp);
    }
    return seen;
}
}  // namespace

TEST(SelectionScreen, TheCalKeyOffersTheChannelsCalibrations) {
    BootHome();
    g_SystemSettings.calUnlock = 0;
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectCal);
    EXPECT_EQ(Row(11), "Calibrate Sensor");
    EXPECT_EQ(Row(12), "Channel A pH           $");
    // Channel A's pH list, "ORP" passed over once.
    Press(kKeyCal);
    std::vector<std::string> list = Choices(12, 7);
    EXPECT_EQ(list, (std::vector<std::string>{"Channel A pH           $", "Channel A mV           $",
                                              "Channel A Temperature  $", "Channel A Edit pH      $",
                                              "Channel A Edit mV      $", "Channel A Verify       $",
                                              "Channel A pH           $"}));
    // Row 11 under the CAL key: "Sensor", "Meter", "Analog".
    Press(kKeyMenu);
    EXPECT_EQ(g_MenuTreeView.cursor, kSelectRow11);
    EXPECT_EQ(Choices(11, 3), (std::vector<std::string>{"Calibrate Sensor", "Calibrate Meter", "Calibrate Analog"}));
    // The leave marker ends the selection.
    Press(kKeyMenu);
    EXPECT_EQ(g_MenuTreeView.cursor, kSelectMarker);
    Press(kKeyEnter);
    Rig_AdvanceMs(100);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);

    // With the setting "Unlock Calibration" at "No" the CAL key starts on the measurement, and the
    // walk never reaches row 11.
    g_SystemSettings.calUnlock = 1;
    Press(kKeyCal);
    EXPECT_EQ(g_MenuTreeView.cursor, kSelectRow12);
    Press(kKeyCal);
    EXPECT_EQ(g_MenuTreeView.cursor, kSelectMarker);
    Press(kKeyCal);
    EXPECT_EQ(g_MenuTreeView.cursor, kSelectRow12);
}

TEST(SelectionScreen, ChannelBOffersItsSensorAndTheAnalogChoices) {
    BootHome();
    g_SystemSettings.calUnlock = 0;
    // An oxygen sensor measured on channel B, channel B shown.
    g_CurrentChannel = 1;
    g_ChannelKind[1] = 5;
    g_SensorKindActive[1] = 5;
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectCal);
    EXPECT_EQ(Row(12), "Channel B Oxygen       $");
    EXPECT_EQ(g_MenuTreeView.position, 0x101004u);
    Press(kKeyCal);
    EXPECT_EQ(Choices(12, 3), (std::vector<std::string>{"Channel B Oxygen       $", "Channel B Verify       $",
                                                        "Channel B Oxygen       $"}));
    Press(kKeyMenu);
    EXPECT_EQ(Choices(11, 3), (std::vector<std::string>{"Calibrate Sensor", "Calibrate Analog", "Calibrate Sensor"}));
    g_CurrentChannel = 0;
}

TEST(SelectionScreen, AnalogOutputTwoOpensItsCalibration) {
    BootHome();
    Press(kKeyMenu);
    Post(0xc00001);
    // "Calibrate" from the menu: "Meter", "Analog", "Unlock".
    EXPECT_EQ(Choices(11, 4),
              (std::vector<std::string>{"Calibrate Meter", "Calibrate Analog", "Calibrate Unlock", "Calibrate Meter"}));
    ASSERT_EQ(Row(11), "Calibrate Analog");
    EXPECT_EQ(Row(12), "Analog Output 1        $");
    Press(kKeyCal);
    Press(kKeyUp);
    EXPECT_EQ(Row(12), "Analog Output 2        $");
    Press(kKeyEnter);
    EXPECT_EQ(g_MenuPosition, 0x1ff021u);
    ASSERT_EQ(Menu_TopScreen(), kScreenNumericEditor);
    EXPECT_EQ(Row(11).substr(0, 13), "Aout2 4mA Set");
}

TEST(SelectionScreen, SaveChangesOffersYesAndExitFirstAndNoAndExitGoesHome) {
    BootHome();
    Press(kKeyMenu);
    Post(kActionAskSave);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    EXPECT_EQ(Choices(11, 4), (std::vector<std::string>{"Save Changes Yes & Exit", "Save Changes Yes & $",
                                                        "Save Changes No & Exit", "Save Changes Yes & Exit"}));
    EXPECT_EQ(Row(12), "Press ENTER to Exit    $");
    // The marker goes back to where the question came from.
    Press(kKeyCal);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    Post(kActionAskSave);
    Press(kKeyInfo);
    EXPECT_EQ(Row(11), "Save Changes No & Exit");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_EQ(g_MenuDepth, 1u);
}
