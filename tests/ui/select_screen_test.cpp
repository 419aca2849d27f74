// The selection screen in the rig: the CAL key's choices by channel and kind, the position codes
// it hands the menu engine, the leave marker, and the "Save Changes" question's choices.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "measurement/channel.h"
#include "settings/settings_system.h"
#include "ui/param_page.h"
#include "ui/param_pages_table.h"
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

namespace {
// What ENTER on a choice of the selection screen opened: the screen on top, and the numeric
// editor's field or the parameter page where one of them opened (else -1).
struct Opened {
    uint8_t screen;
    int32_t detail;
    bool operator==(const Opened& o) const { return screen == o.screen && detail == o.detail; }
};

std::ostream& operator<<(std::ostream& out, const Opened& o) {
    return out << "screen " << int(o.screen) << " detail " << o.detail;
}

Opened WhatOpened() {
    uint8_t top = Menu_TopScreen();
    if (top == kScreenNumericEditor) return {top, g_NumEditField->type};
    if (top == kScreenParamPage) return {top, static_cast<int32_t>(ParamPage_CurrentPage())};
    return {top, -1};
}

// From wherever the last choice led, back home; then the selection screen (the CAL key, or
// "Calibrate" in the Service menu) with its row-11 choice stepped up up11 times and its row-12
// choice up12 times. Returns row 12 as shown then; ENTER is left to the caller.
std::string SelectRow(bool fromService, int up11, int up12) {
    EscapeKey();
    Rig_AdvanceMs(200);
    if (fromService) {
        Press(kKeyMenu);
        Post(0xc00001);
    } else {
        Press(kKeyCal);
    }
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectCal);
    Step(up11);
    Press(kKeyCal);
    EXPECT_EQ(g_MenuTreeView.cursor, kSelectRow12);
    Step(up12);
    return Item();
}
}  // namespace

TEST(SelectionScreen, EveryMeterInputOpensItsOwnFieldOfTheNumericEditor) {
    BootHome();
    g_SystemSettings.calUnlock = 0;
    // "Resistance 1" to "Rr Diagnostic", each with the field that takes its points; the label in
    // front of the live value names the input.
    struct Expected {
        const char* row;
        int32_t field;
        const char* label;
    };
    const Expected expected[11] = {
        {"Resistance 1", 0, "R1 = "},  {"Resistance 2", 1, "R2 = "},  {"Resistance 3", 2, "R3 = "},
        {"Resistance 4", 3, "R4 = "},  {"Resistance 5", 4, "R5 = "},  {"Temperature", 5, "T = "},
        {"Voltage", 6, "V = "},        {"Current 1", 7, "I = "},      {"Current 2", 27, "I = "},
        {"Rg Diagnostic", 8, "Rg = "}, {"Rr Diagnostic", 9, "Rr = "},
    };
    for (bool fromService : {true, false}) {
        for (int i = 0; i < 11; ++i) {
            // "Meter" is the first row-11 choice in the Service menu, the second under the CAL key.
            std::string row = SelectRow(fromService, fromService ? 0 : 1, i);
            std::string where = std::string(expected[i].row) + (fromService ? " (Service)" : " (CAL key)");
            ASSERT_EQ(Row(11), "Calibrate Meter") << where;
            EXPECT_EQ(row, std::string("Channel A ") + expected[i].row) << where;
            Press(kKeyEnter);
            EXPECT_EQ(WhatOpened(), (Opened{kScreenNumericEditor, expected[i].field})) << where;
            EXPECT_EQ(g_MenuPosition, 0x100010u + static_cast<uint32_t>(i)) << where;
            EXPECT_EQ(Row(11).substr(0, 11), "A Point1 = ") << where;
            EXPECT_NE(Row(12).find(expected[i].label), std::string::npos) << where << ": " << Row(12);
        }
    }
}

TEST(SelectionScreen, EverySensorRowOpensItsCalibrationOrTheConstantsPage) {
    BootHome();
    g_SystemSettings.calUnlock = 0;
    struct Expected {
        const char* row;
        Opened opened;
    };
    // Channel A's lists by the configured kind, in the order UP shows them.
    const Expected ph[6] = {
        {"pH", {kScreenParamPage, kParamPagePhCalType}},
        {"mV", {kScreenNumericEditor, 20}},
        {"Temperature", {kScreenParamPage, kParamPageTempCalType}},
        {"Edit pH", {kScreenCalEdit, -1}},
        {"Edit mV", {kScreenCalEdit, -1}},
        {"Verify", {kScreenVerifyCal, -1}},
    };
    const Expected cond[5] = {
        {"Conductivity", {kScreenCalCompensation, -1}},
        {"Resistivity", {kScreenCalCompensation, -1}},
        {"Temperature", {kScreenParamPage, kParamPageTempCalType}},
        {"Edit", {kScreenCalEdit, -1}},
        {"Verify", {kScreenVerifyCal, -1}},
    };
    const Expected oxygen[4] = {
        {"Oxygen", {kScreenParamPage, kParamPageO2CalType}},
        {"Temperature", {kScreenParamPage, kParamPageTempCalType}},
        {"Edit", {kScreenCalEdit, -1}},
        {"Verify", {kScreenVerifyCal, -1}},
    };
    struct List {
        uint8_t kind;
        const Expected* rows;
        int count;
    };
    for (const List& list : {List{1, ph, 6}, List{3, cond, 5}, List{5, oxygen, 4}}) {
        g_ChannelKind[0] = list.kind;
        // "Sensor" is offered under the CAL key only.
        for (int i = 0; i < list.count; ++i) {
            std::string row = SelectRow(false, 0, i);
            std::string where = std::string(list.rows[i].row) + " of kind " + std::to_string(list.kind);
            ASSERT_EQ(Row(11), "Calibrate Sensor") << where;
            EXPECT_EQ(row, std::string("Channel A ") + list.rows[i].row) << where;
            Press(kKeyEnter);
            EXPECT_EQ(WhatOpened(), list.rows[i].opened) << where;
        }
    }
    g_ChannelKind[0] = 1;
}
