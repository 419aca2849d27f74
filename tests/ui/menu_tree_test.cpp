// The MENU and INFO trees walked from the keys on channel A, with the texts of rows 11 and 12.
#include <gtest/gtest.h>

#include "core/link.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "settings/settings_work.h"
#include "ui/menu.h"
#include "ui/menu_tree.h"
#include "ui_support.h"

using namespace ui_test;
using Items = std::vector<std::string>;

TEST(MenuTree, MeasurementSetupOffersWhatThePhChannelHas) {
    OpenMenu();
    g_WorkSet.channel.kind[0] = 1;
    Press(kKeyUp);
    Press(kKeyEnter);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Measurement Setup");
    // The compensation item is named after the edited kind; the optical and concentration
    // items are passed over.
    EXPECT_EQ(Walk(kKeyUp, 4), (Items{"Channel Setup", "Temperature Source", "pH", "Set Averaging", "Channel Setup"}));
    EXPECT_EQ(Walk(kKeyInfo, 1), (Items{"Channel Setup", "Set Averaging"}));

    // A conductivity channel offers the concentration table and names the resistivity page.
    g_WorkSet.channel.kind[0] = 3;
    Press(kKeyInfo);
    Press(kKeyInfo);
    EXPECT_EQ(Item(), "Resistivity");
    EXPECT_EQ(Walk(kKeyUp, 2), (Items{"Resistivity", "Concentration Table", "Set Averaging"}));
}

TEST(MenuTree, CompensationItemOpensThePageOfTheEditedKind) {
    struct Case {
        uint8_t kind;
        uint32_t id;
        uint8_t screen;
    };
    // pH opens parameter page 0xb00001; optical oxygen shares the O2 value page 0xb00002.
    for (Case c : {Case{1, 0xb00001, 7}, Case{3, 0xb00000, 7}, Case{5, 0xb00002, 8}, Case{9, 0xb00002, 8},
                   Case{10, 0xb00004, 7}}) {
        OpenMenu();
        g_WorkSet.channel.kind[0] = c.kind;
        Press(kKeyUp);
        Press(kKeyEnter);
        Press(kKeyEnter);
        Press(kKeyUp);
        Press(kKeyUp);
        Press(kKeyEnter);
        EXPECT_EQ(g_PendingMenuItem, c.id) << "kind " << int(c.kind);
        EXPECT_EQ(Menu_TopScreen(), c.screen) << "kind " << int(c.kind);
    }
}

TEST(MenuTree, CompensationItemCountsAsAPageOpened) {
    OpenMenu();
    g_WorkSet.channel.kind[0] = 1;
    Press(kKeyUp);
    Press(kKeyEnter);
    Press(kKeyEnter);
    Press(kKeyUp);
    Press(kKeyUp);
    ASSERT_EQ(Item(), "pH");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
    // Back from the page by its leave marker and out of the tree by the tree's: the edits there
    // are not dropped without the question.
    Press(kKeyMenu);
    Press(kKeyEnter);
    ASSERT_EQ(Row(11), "Measurement Setup");
    for (const char* title : {"Configure", "MENU"}) {
        Press(kKeyCal);
        Press(kKeyEnter);
        ASSERT_EQ(Row(11), title);
    }
    Press(kKeyCal);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);
}

TEST(MenuTree, PidItemShowsItsLabelAndValueInEveryLanguage) {
    // The value stands at its language's column; the whole label stands before it with a blank.
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        Lcd_ClearAll();
        uint32_t labelCells = Lcd_DrawMessage(kRowMessage, 0, kTextPidItem.group, kTextPidItem.index, language);
        std::string label = Rig_RowText(kRowMessage);
        Lcd_ClearAll();
        // The factory controller is in manual mode: the item shows the working set's "Manual".
        Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextPidModes, 1));
        std::string value = Rig_RowText(kRowMessage);
        uint32_t valueCell = kTextPidItemValueColumn[language] / 6;
        ASSERT_LT(labelCells, valueCell) << "language " << language << ": " << label;

        OpenMenu();
        g_Language = static_cast<uint8_t>(language);
        for (int i = 0; i < 3; ++i) Press(kKeyUp);
        Press(kKeyEnter);
        EXPECT_EQ(Item(), label + std::string(valueCell - labelCells, ' ') + value) << "language " << language;
    }
    g_Language = 0;
}

TEST(MenuTree, SystemPidAndServiceNodes) {
    OpenMenu();
    Press(kKeyUp);
    Press(kKeyUp);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "System");
    EXPECT_EQ(Walk(kKeyUp, 5),
              (Items{"Set Language", "Passwords", "Set/Clear Lockout", "Reset", "Set Date&Time", "Set Language"}));

    // Leave "System" through the marker: back on its item in the root.
    Press(kKeyCal);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "MENU");
    EXPECT_EQ(Item(), "System");

    Press(kKeyUp);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "PID Setup");
    // The factory controller runs in manual mode.
    EXPECT_EQ(Walk(kKeyUp, 4),
              (Items{"PID A/M Manual", "Tune Parameters", "Mode", "PID Display Setup", "PID A/M Manual"}));
    // CAL selects the value of the PID item; UP then switches Auto and Manual in place.
    Press(kKeyCal);
    EXPECT_EQ(Menu_TreeLineState(), 1);
    Press(kKeyUp);
    EXPECT_EQ(Item(), "PID A/M Auto");
    EXPECT_EQ(g_WorkSet.pid.mode, kPidAutomatic);
    Press(kKeyUp);
    EXPECT_EQ(Item(), "PID A/M Manual");
    EXPECT_EQ(Menu_TreeCursor(), 0);

    Press(kKeyMenu);
    Press(kKeyMenu);
    Press(kKeyEnter);
    Press(kKeyUp);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Service");
    EXPECT_EQ(Walk(kKeyUp, 3), (Items{"Diagnostics", "Calibrate", "Tech Service", "Diagnostics"}));
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Diagnostics");
    // "O2 Opt" is offered only with an optical sensor on the current channel.
    EXPECT_EQ(Walk(kKeyUp, 10),
              (Items{"Model/Software Revision", "Digital Input", "Display", "Keypad", "Memory", "Set OC", "Read OC",
                     "Set Analog Outputs", "Read Analog Outputs", "Read Analog Inputs", "Model/Software Revision"}));
}

TEST(MenuTree, ChannelBNodesWithADigitalSensor) {
    BootHome();
    // Channel B shown and measured, its sensor taken over.
    g_CurrentChannel = 1;
    Link_SetMeasureMode(1, g_ChannelKind[1]);
    g_SensorKindActive[1] = 1;
    Press(kKeyInfo);
    EXPECT_EQ(Walk(kKeyUp, 5), (Items{"Messages", "VDX Sensor Info", "Calibration Data", "VDX Diagnostics",
                                      "Model/Software Revision", "Messages"}));
    Press(kKeyInfo);
    Press(kKeyInfo);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "VDX Diagnostics");
    EXPECT_EQ(Walk(kKeyUp, 6), (Items{"ChB Cal History", "ChB CIP Cycles", "ChB SIP Cycles", "ChB AutoClave Cycles",
                                      "ChB Sensor Monitoring", "ChB Max. Temperature", "ChB Cal History"}));
    // Items of "VDX Diagnostics" that the sensor does not have are passed over.
    g_MenuNode13Available[1] = 0;
    g_MenuNode13Available[2] = 0;
    EXPECT_EQ(Walk(kKeyUp, 2), (Items{"ChB Cal History", "ChB AutoClave Cycles", "ChB Sensor Monitoring"}));

    Key_Put(kKeyEscape);
    Rig_AdvanceMs(60);
    Press(kKeyMenu);
    Press(kKeyUp);
    Press(kKeyEnter);
    EXPECT_EQ(Walk(kKeyUp, 7), (Items{"Measurement", "Analog Outputs", "Set Points", "Alarm/Clean", "VDX Setup",
                                      "Display", "Hold Outputs", "Measurement"}));
    Press(kKeyInfo);
    Press(kKeyInfo);
    Press(kKeyInfo);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "VDX Setup");
    // Without the cycle limits and without the sensor's option only monitoring and the reset remain.
    EXPECT_EQ(Walk(kKeyUp, 2), (Items{"Sensor Monitoring", "Reset VDX Counter/Timer", "Sensor Monitoring"}));
}

TEST(MenuTree, LeavingTheTree) {
    // Nothing opened: leaving the root returns home.
    OpenMenu();
    Press(kKeyCal);
    EXPECT_EQ(Menu_TreeLineState(), 2);
    // The marker blinks; UP does nothing while it is selected.
    Press(kKeyUp);
    EXPECT_EQ(Item(), "Quick Setup");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 0);
    EXPECT_EQ(g_MenuDepth, 1u);
    EXPECT_EQ(Row(11), "");
    EXPECT_EQ(g_DisplayMode, 0);

    // A page was opened: leaving asks whether to save.
    Press(kKeyMenu);
    Press(kKeyUp);
    Press(kKeyUp);
    Press(kKeyEnter);
    Press(kKeyEnter);  // "Set Language"
    EXPECT_EQ(Menu_TopScreen(), 7);
    EXPECT_EQ(g_PendingMenuItem, 0x500000u);
    Post(4085);  // the page's leave marker: back to the tree, which redraws
    EXPECT_EQ(Menu_TopScreen(), 2);
    EXPECT_EQ(Row(11), "System");
    EXPECT_EQ(Item(), "Set Language");
    Press(kKeyMenu);
    Press(kKeyEnter);
    Press(kKeyMenu);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 11);
    EXPECT_EQ(g_MenuDepth, 3u);

    // Information items do not count as opened pages.
    BootHome();
    Press(kKeyInfo);
    Press(kKeyEnter);  // "Messages"
    EXPECT_EQ(Menu_TopScreen(), 25);
    Post(4085);
    Press(kKeyCal);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 0);
}
