// The service, test and information pages through the rig, key by key from the menu trees: the
// keypad and display tests, the input and output readings, the revision views, the warning before
// the quick set-up and the wait for a sensor-board request.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "../digital_sensor/plug_support.h"
#include "core/eeprom.h"
#include "core/ident.h"
#include "core/link.h"
#include "measurement/slots.h"
#include "outputs/aout.h"
#include "outputs/hold.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "settings/settings_system.h"
#include "ui/menu.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// MENU, "Service", "Diagnostics", then the item.
void OpenDiagnostic(const std::string& item) {
    BootHome();
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Service"));
    ASSERT_TRUE(Choose("Diagnostics"));
    ASSERT_TRUE(Choose(item));
}

bool AllInk(uint32_t row) {
    for (uint32_t c = 0; c < kLcdColumns; ++c) {
        if (g_LcdFrame[row][c] != 0xFF) return false;
    }
    return true;
}
}  // namespace

TEST(ServicePages, KeypadTestNamesEveryKeyAndLeavesOnlyOnEnter) {
    OpenDiagnostic("Keypad");
    EXPECT_EQ(Menu_TopScreen(), kScreenKeypadTest);
    EXPECT_EQ(Row(11), "Key pressed = (None )");
    EXPECT_EQ(Row(12), "Press ENTER to Continue");
    const struct {
        uint8_t key;
        const char* shown;
    } kKeys[] = {{kKeyMenu, "Key pressed = (MENU )"},
                 {kKeyCal, "Key pressed = (CAL  )"},
                 {kKeyUp, "Key pressed = (UP   )"},
                 {kKeyInfo, "Key pressed = (INFO )"}};
    for (const auto& k : kKeys) {
        Press(k.key);
        EXPECT_EQ(Menu_TopScreen(), kScreenKeypadTest) << k.shown;
        EXPECT_EQ(Row(11), k.shown);
    }
    // The keys' own meanings do not apply: MENU did not leave, CAL did not move anything.
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
}

TEST(ServicePages, DisplayTestShowsThePatternThenLeadsHome) {
    OpenDiagnostic("Display");
    EXPECT_EQ(Menu_TopScreen(), kScreenDisplayTest);
    EXPECT_TRUE(AllInk(11));
    EXPECT_TRUE(AllInk(12));
    // The measurement screen's refresh leaves the pattern alone while it stands.
    Rig_AdvanceMs(14000);
    EXPECT_EQ(Menu_TopScreen(), kScreenDisplayTest);
    EXPECT_TRUE(AllInk(11));
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_FALSE(AllInk(11));
}

TEST(ServicePages, MemoryTestAndItsEnter) {
    OpenDiagnostic("Memory");
    EXPECT_EQ(Row(11), "Memory Test Passed");
    EXPECT_EQ(Row(12), "Press ENTER to Continue");
    // Only ENTER counts here, and it leads home.
    Press(kKeyUp);
    EXPECT_EQ(Menu_TopScreen(), kScreenMemoryTest);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
}

TEST(ServicePages, DigitalInputsFollowThePanelEverySecond) {
    OpenDiagnostic("Digital Input");
    EXPECT_EQ(Row(11), "Digital Input 1 = 0");
    EXPECT_EQ(Row(12), "Digital Input 2 = 0");
    g_DigitalInputs[1].store(1);
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Row(11), "Digital Input 1 = 0");
    EXPECT_EQ(Row(12), "Digital Input 2 = 1");
    g_DigitalInputs[0].store(1);
    g_DigitalInputs[1].store(0);
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Row(11), "Digital Input 1 = 1");
    EXPECT_EQ(Row(12), "Digital Input 2 = 0");
}

TEST(ServicePages, ReadOcShowsTheContactsAsTheyStand) {
    OpenDiagnostic("Read OC");
    Rig_AdvanceMs(1000);
    // Factory settings: relay 2 is normally closed, so at rest its contact reads 1.
    EXPECT_EQ(Row(11), "OC1 = 0    OC2 = 1");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);

    // "Set OC" closes relay 1 and opens relay 2 while it is open; left by its marker, it gives
    // them back, and "Read OC" reads them as their users have them.
    OpenDiagnostic("Set OC");
    Press(kKeyUp);
    Press(kKeyCal);
    Press(kKeyCal);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    ASSERT_TRUE(Choose("Read OC"));
    EXPECT_EQ(Row(11), "OC1 = 0    OC2 = 1");
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Row(11), "OC1 = 0    OC2 = 1");
}

namespace {
uint8_t Contacts() { return g_RelayBits.load(); }

// Virtual time in steps of one tick; the number of times a relay's contact changed.
uint32_t EdgesDuring(uint32_t ms) {
    uint32_t edges = 0;
    for (uint32_t t = 0; t < ms; t += 20) {
        uint8_t before = Contacts();
        Rig_AdvanceMs(20);
        uint8_t changed = static_cast<uint8_t>(before ^ Contacts());
        edges += (changed & 1u) + ((changed >> 1) & 1u);
    }
    return edges;
}
}  // namespace

TEST(ServicePages, SetOcHoldsThePidPulsesUntilItIsLeft) {
    BootHome();
    // An automatic controller on line a in pulse-frequency mode, 180 pulses a minute on relay 1
    // (relay 2 for the other sign), at the lower limit of its curve: full output.
    g_RelaySettings.sense[1] = kRelayNormallyOpen;
    PidSettings& p = g_PidSettings;
    p.mode = kPidAutomatic;
    p.source = 0;
    p.relayPositive = 0;
    p.relayNegative = 1;
    p.pulseType = kPidPulseFrequency;
    p.pulseFrequency = 180.0f;
    uint32_t status = 0;
    Pid_SaveSettings(&status);
    g_SlotUnit[0] = g_SlotPendingUnit[0] = 13;  // pH
    g_SlotChannel[0] = g_SlotPendingChannel[0] = 0;
    g_SlotValues[0].value = 0.0f;
    g_SlotValues[0].status = 0;
    ASSERT_GT(EdgesDuring(3000), 10u) << "the controller pulses relay 1";

    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Service"));
    ASSERT_TRUE(Choose("Diagnostics"));
    ASSERT_TRUE(Choose("Set OC"));
    // The page opens on the contacts as they stand (a pulse may be on), and from then on they are
    // the page's: no pulse in 20 s.
    uint8_t shown = Contacts();
    ASSERT_EQ(Row(11), std::string("OC1 = ") + (shown & 1u ? "1" : "0") + "  OC2 = " + (shown & 2u ? "1" : "0"));
    EXPECT_EQ(EdgesDuring(20000), 0u);
    EXPECT_EQ(Contacts(), shown);
    // Both open by the page's keys, then the page's own edge, and nothing else.
    if (shown & 1u) Press(kKeyUp);
    if (shown & 2u) {
        Press(kKeyCal);
        Press(kKeyUp);
        Press(kKeyMenu);
    }
    ASSERT_EQ(Contacts(), 0u);
    uint32_t before[2] = {g_RelayClosings[0].load(), g_RelayClosings[1].load()};
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "OC1 = 1  OC2 = 0");
    EXPECT_EQ(g_RelayClosings[0].load(), before[0] + 1);
    EXPECT_EQ(g_RelayClosings[1].load(), before[1]);
    EXPECT_EQ(Contacts(), 1u);
    EXPECT_EQ(EdgesDuring(5000), 0u);
    EXPECT_EQ(Contacts(), 1u);
    // Leaving the page gives the relays back: the controller pulses again.
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
    EXPECT_GT(EdgesDuring(5000), 10u);
}

TEST(ServicePages, AnalogReadingsShowTheCurrents) {
    OpenDiagnostic("Read Analog Outputs");
    EXPECT_EQ(Menu_TopScreen(), kScreenReadAnalogOutputs);
    char expected[2][32];
    for (uint32_t output = 0; output < 2; ++output) {
        std::snprintf(expected[output], sizeof expected[output], "Analog out%u=%5.2f mA", output + 1,
                      static_cast<double>(Aout_GetShownCurrent(output)));
    }
    EXPECT_EQ(Row(11), expected[0]);
    EXPECT_EQ(Row(12).substr(0, std::strlen(expected[1])), expected[1]);
    // ENTER goes back to the first screen above home, the tree.
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    EXPECT_EQ(Row(11), "Diagnostics");

    Press(kKeyUp);
    ASSERT_TRUE(Choose("Read Analog Inputs"));
    EXPECT_EQ(Menu_TopScreen(), kScreenReadAnalogInputs);
    EXPECT_EQ(Row(12), "Analog Input= 0.00mA");
}

TEST(ServicePages, RevisionViewsCycleAndLeaveByTheirTree) {
    BootHome();
    // A serial text at its place in the store, ended by a character that is not printable.
    const uint8_t serial[10] = {'A', '1', '2', '-', '7', 0x01, 'X', 'X', 'X', 'X'};
    uint32_t status = 0;
    Eeprom_Write(90, serial, sizeof serial, &status);
    ASSERT_EQ(status, 0u);
    Press(kKeyInfo);
    ASSERT_TRUE(Choose("Model/Software Revision"));
    EXPECT_EQ(Menu_TopScreen(), kScreenRevision);
    EXPECT_EQ(Row(11), "PN 58203146 R718G/2XH");
    EXPECT_EQ(Row(12), "SN A12-7");
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Master:V_1.2.01");
    EXPECT_EQ(Row(12), "Comm  :V_");
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "");
    EXPECT_EQ(Row(12), "Hart Tag: 00000000");
    // Without a digital sensor there are three views: UP wraps to the first, INFO back to the last.
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "PN 58203146 R718G/2XH");
    Press(kKeyInfo);
    EXPECT_EQ(Row(12), "Hart Tag: 00000000");
    // From the INFO tree ENTER leads home.
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);

    // From the MENU tree ENTER asks whether to save.
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Service"));
    ASSERT_TRUE(Choose("Diagnostics"));
    ASSERT_TRUE(Choose("Model/Software Revision"));
    EXPECT_EQ(Row(11), "PN 58203146 R718G/2XH");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);
}

TEST(ServicePages, RevisionOffersTheSensorsVersionsWithADigitalSensor) {
    plug_test::BootOnChannelB();
    plug_test::Plug("PH_SelvoP11_0.txt", 1);
    ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(8000);
    Press(kKeyInfo);
    ASSERT_TRUE(Choose("Model/Software Revision"));
    Press(kKeyUp);
    // The sensor board reported its identity over the link.
    EXPECT_EQ(Row(12), std::string("Comm  :V_") + g_BoardIdentity.softwareVersion);
    EXPECT_NE(std::string(g_BoardIdentity.softwareVersion), "");
    Press(kKeyUp);
    Press(kKeyUp);
    EXPECT_EQ(Row(11).substr(0, 12), "Sensor FW:V_");
    EXPECT_EQ(Row(11).size(), 17u) << Row(11);
    EXPECT_EQ(Row(12).substr(0, 12), "Sensor HW:V_");
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "PN 58203146 R718G/2XH");
    Press(kKeyInfo);
    EXPECT_EQ(Row(11).substr(0, 12), "Sensor FW:V_");
}

TEST(ServicePages, QuickSetupWarnsFirstAndAsksForTheCodeWhenLocked) {
    BootHome();
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Quick Setup"));
    EXPECT_EQ(Menu_TopScreen(), kScreenConfigWarning);
    EXPECT_EQ(Row(11), "Do not use after");
    EXPECT_EQ(Row(12), "configuration          $");
    // The leave marker: back to the tree.
    Press(kKeyCal);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    EXPECT_EQ(Item(), "Quick Setup");
    // On the warning itself ENTER opens the channel page while nothing is locked.
    Press(kKeyEnter);
    Press(kKeyMenu);
    Press(kKeyCal);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenParamPage);
    EXPECT_EQ(Row(11).substr(0, 15), "Channel Select=");

    // With the lockout on the code comes first; the master code then opens the channel page.
    BootHome();
    g_SystemSettings.lockout = kLockoutOn;
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Quick Setup"));
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenValuePage);
    EXPECT_EQ(Row(12), "Enter Password 00000   $");
    EXPECT_EQ(Row(11), "");
}

TEST(ServicePages, WaitForTheBoardEndsByTheRequestsResult) {
    BootHome();
    Press(kKeyMenu);
    // Still waiting: the screen stays, whatever the keys.
    g_LinkRequestResult = 255;
    Post(kActionWaitForBoard);
    EXPECT_EQ(Menu_TopScreen(), kScreenWaitForBoard);
    EXPECT_EQ(Row(12), "Please wait...");
    Press(kKeyUp);
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Menu_TopScreen(), kScreenWaitForBoard);
    // Done: the wait pops and the calibration step goes on to its next selection.
    g_LinkRequestResult = 1;
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode1);
    EXPECT_EQ(g_MenuDepth, 3u);

    // Failed: "Calibration Not Done".
    BootHome();
    Press(kKeyMenu);
    g_LinkRequestResult = 255;
    Post(kActionWaitForBoard);
    g_LinkRequestResult = 0;
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Menu_TopScreen(), kScreenCalNotDone);
    EXPECT_EQ(Row(11), "Calibration Not Done");
}

TEST(ServicePages, EveryFixedPageDrawsAndLeavesForHomeByEscapeOrTimeOut) {
    const struct {
        uint32_t id;
        uint8_t screen;
    } kPages[] = {
        {kItemKeypadTest, kScreenKeypadTest},
        {kItemDisplayTest, kScreenDisplayTest},
        {kItemMemoryTest, kScreenMemoryTest},
        {kItemDigitalInputs, kScreenDigitalInputs},
        {kItemReadOc, kScreenReadOc},
        {kItemReadAnalogOutputs, kScreenReadAnalogOutputs},
        {kItemReadAnalogInputs, kScreenReadAnalogInputs},
        {kItemRevision, kScreenRevision},
        {kItemQuickSetup, kScreenConfigWarning},
        {kItemLockout, kScreenLockout},
        {kItemTempSource, kScreenTempSource},
        {kItemOutputHoldValue, kScreenAoutHoldValue},
        {kItemPidMode, kScreenPidMode},
        {kItemPidTune, kScreenPidTune},
        {kActionPidLimits1, kScreenPidLimits1},
        {kActionPidLimits2, kScreenPidLimits2},
        {kActionLinComp, kScreenLinComp},
        {kActionCalEdit2, kScreenCalEdit2},
        {kActionWaitForBoard, kScreenWaitForBoard},
    };
    for (bool escape : {true, false}) {
        for (const auto& page : kPages) {
            BootHome();
            Press(kKeyMenu);
            g_LinkRequestResult = 255;
            Post(page.id);
            ASSERT_EQ(Menu_TopScreen(), page.screen) << "id " << page.id;
            EXPECT_TRUE(Row(11) != "" || Row(12) != "") << "screen " << int(page.screen) << " drew nothing";
            if (escape) {
                Key_Put(kKeyEscape);
                Rig_AdvanceMs(60);
            } else {
                Post(kEventHome);
            }
            EXPECT_EQ(Menu_TopScreen(), kScreenHome) << "screen " << int(page.screen);
        }
    }
}
