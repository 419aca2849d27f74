// Who keeps a relay when a page asks for one that another setting uses, through the rig key by
// key: the "Stop OC" question names the relay's user, "Yes" takes the relay from it for the page
// that asked, "No" leaves it there and the page without it; what was saved holds over a restart,
// and the store never keeps a relay with two users.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../digital_sensor/plug_support.h"
#include "outputs/alarms.h"
#include "outputs/clean.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "outputs/setpoint.h"
#include "settings/settings_sensor.h"
#include "settings/settings_work.h"
#include "sim/sim_inputs.h"
#include "ui/param_page.h"
#include "ui/param_pages_table.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// Store bytes of the relays' users: set point 1's relay, the cleaning's, the alarm's, the lifetime
// indicator alarm's.
constexpr uint32_t kStoredSetPoint1Relay = 1048;
constexpr uint32_t kStoredCleanRelay = 1198;
constexpr uint32_t kStoredAlarmRelay = 1292;
constexpr uint32_t kStoredLifetimeRelay = 388;
constexpr uint8_t kNone = kRelayNone;

uint8_t Stored(uint32_t offset) { return Rig_StoreBytes().at(offset); }

void BootIn(const std::string& folder) {
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
}

// "Save Changes", "Yes & Exit", and the time the save takes.
void SaveAndExit() {
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    ASSERT_EQ(Row(11), "Save Changes Yes & Exit");
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
}

// ENTER on the asking page opens the question, on that page, about that relay and its user.
void EnterAsks(uint32_t page, const std::string& relay, const std::string& user) {
    Press(kKeyEnter);
    ASSERT_EQ(g_PageEdit.page, page);
    EXPECT_EQ(Row(11), "Stop OC #" + relay + " on");
    EXPECT_EQ(Row(12), user + std::string(19 - user.size(), ' ') + "No  $");
}

// The question's answer: "No" as it opens, "Yes" one step up.
void Answer(bool yes) {
    std::string row = Row(12);
    ASSERT_GE(row.size(), 5u);
    ASSERT_EQ(row.substr(row.size() - 5), "No  $") << "each question starts on \"No\"";
    if (yes) Press(kKeyUp);
    Press(kKeyEnter);
}

// Set point 1 "High" on line a, then its relay page with relay 2 chosen (the factory alarm relay).
void SetPoint1OnRelay2() {
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Set Points"));
    Press(kKeyCal);
    Press(kKeyCal);
    Press(kKeyUp);
    ASSERT_EQ(Row(12), "SP Type= High          $");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    Press(kKeyEnter);
    ASSERT_EQ(g_PageEdit.page, kParamPageSetPointRelay);
    Press(kKeyCal);
    Press(kKeyCal);
    Press(kKeyUp);
    ASSERT_EQ(Row(12), "Use OC #2              $");
}

// PID Setup, Mode, each relay field switched where asked (the positive output's relay 1 or none,
// the negative's relay 2 or none), then row 11 as expected; the cursor ends on the negative's.
void PidMode(bool switchPositive, bool switchNegative, const std::string& row) {
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("PID Setup"));
    ASSERT_TRUE(Choose("Mode"));
    ASSERT_EQ(Menu_TopScreen(), kScreenPidMode);
    Press(kKeyCal);
    Press(kKeyCal);
    if (switchPositive) Press(kKeyUp);
    Press(kKeyCal);
    if (switchNegative) Press(kKeyUp);
    ASSERT_EQ(Row(11), row);
}
void PidOnRelays(bool positive, bool negative) {
    PidMode(positive, negative,
            std::string("PIDMode= OC PL #") + (positive ? "1" : "_") + " #" + (negative ? "2" : "_"));
}

}  // namespace

TEST(RelayUsers, ASetPointTakesTheAlarmRelayOnlyByYes) {
    for (bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        std::string folder = Rig_MakeTempFolder();
        BootIn(folder);
        SetPoint1OnRelay2();
        EnterAsks(kParamPageStopRelayAsked, "2", "Alarm");
        Answer(yes);
        if (yes) {
            // On to the relay's own pages: its delay, then its hold and contact.
            ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
            EXPECT_EQ(Row(11).substr(0, 3), "OC2");
            Press(kKeyEnter);
            ASSERT_EQ(g_PageEdit.page, kParamPageRelayHold);
            EXPECT_EQ(Row(12), "OC2 State = Inverted   $");
            Press(kKeyEnter);
        }
        SaveAndExit();
        EXPECT_EQ(Stored(kStoredSetPoint1Relay), yes ? 1 : kNone);
        EXPECT_EQ(Stored(kStoredAlarmRelay), yes ? kNone : 1);

        BootIn(folder);
        EXPECT_EQ(g_SetPointSettings.relay[0], yes ? 1 : kNone);
        EXPECT_EQ(g_AlarmSettings.relay, yes ? kNone : 1);
        // The pages show it so.
        Press(kKeyMenu);
        ASSERT_TRUE(Choose("Configure"));
        ASSERT_TRUE(Choose("Alarm/Clean"));
        Press(kKeyCal);
        EXPECT_EQ(Row(12), yes ? "Use OC # _             $" : "Use OC # 2             $");
        Post(kEventHome);
        // An alarm then switches relay 2 only where it kept it.
        Alarm_SetCause(0, 0);
        Rig_AdvanceMs(3000);
        EXPECT_EQ((g_RelayRequesters[1] & kAlarmRelayRequester) != 0, !yes);
    }
}

TEST(RelayUsers, ThePidLeftFromItsMarkerAsksAndReturnsToTheMenu) {
    std::string folder = Rig_MakeTempFolder();
    BootIn(folder);
    PidOnRelays(true, false);
    // To the leave marker: the number's three digits, then the marker.
    for (int i = 0; i < 4; ++i) Press(kKeyCal);
    ASSERT_EQ(g_BlinkField.column, 138);
    Press(kKeyEnter);
    ASSERT_EQ(g_PageEdit.page, kParamPageStopRelay);
    Answer(true);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    EXPECT_EQ(g_WorkSet.pid.relayPositive, 0);
    EXPECT_EQ(g_WorkSet.cleaning.relay, kNone);
    // The question's own marker goes back to the mode page and changes nothing.
    Post(kEventHome);
    PidOnRelays(false, true);
    Press(kKeyEnter);
    ASSERT_EQ(g_PageEdit.page, kParamPageStopRelay);
    Press(kKeyMenu);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenPidMode);
    EXPECT_EQ(g_WorkSet.pid.relayNegative, 1);
    EXPECT_EQ(g_WorkSet.alarm.relay, 1);
}

TEST(RelayUsers, ASensorMonitoringAlarmAsksLikeAnyOtherUser) {
    for (bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        plug_test::BootOnChannelB();
        std::string folder = std::filesystem::path(Rig_StorePath()).parent_path().string() + "/";
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        plug_test::Plug("PH_SelvoP11_1.txt", 1);
        ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
        ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
        Rig_AdvanceMs(8000);
        Press(kKeyMenu);
        ASSERT_TRUE(Choose("Configure"));
        ASSERT_TRUE(Choose("VDX Setup"));
        ASSERT_TRUE(Choose("Sensor Monitoring"));
        ASSERT_EQ(g_PageEdit.page, kParamPageLifetimeAlarm);
        Press(kKeyCal);
        Press(kKeyCal);
        // Relay 1 is the cleaning's and is passed over: relay 2, the alarm's.
        Press(kKeyUp);
        ASSERT_EQ(Row(12), "Alarm Yes OC#2         $");
        Press(kKeyEnter);
        ASSERT_EQ(g_PageEdit.page, kParamPageStopRelayAsked);
        EXPECT_EQ(Row(12), "Alarm              No  $");
        Answer(yes);
        // "Yes" goes on to the next monitoring page, "No" to "Save Changes".
        if (yes) {
            ASSERT_EQ(g_PageEdit.page, kParamPageMaintAlarm);
            // Back from its marker the lifetime page shows the relay it took, and asks no more.
            Press(kKeyMenu);
            Press(kKeyEnter);
            ASSERT_EQ(g_PageEdit.page, kParamPageLifetimeAlarm);
            EXPECT_EQ(Row(12), "Alarm Yes OC#2         $");
            Press(kKeyCal);
            Press(kKeyEnter);
            ASSERT_EQ(g_PageEdit.page, kParamPageMaintAlarm);
            // The rest of the chain is the monitoring's own pages: straight to "Save Changes".
            Post(kActionAskSave);
        }
        SaveAndExit();
        EXPECT_EQ(Stored(kStoredLifetimeRelay), yes ? 1 : kNone);
        EXPECT_EQ(Stored(kStoredAlarmRelay), yes ? kNone : 1);
        Rig_Reset(folder);
        Rig_Boot();
        Rig_AdvanceMs(20);
        EXPECT_EQ(g_SlotSettings.monitor[0].output, yes ? 1 : kNone);
        EXPECT_EQ(g_AlarmSettings.relay, yes ? kNone : 1);
    }
}

TEST(RelayUsers, ACommitNeverStoresARelayWithTwoUsers) {
    // A store that has set point 1 ("High" on line a) and the alarm both on relay 2, and the
    // sensor's lifetime alarm on relay 1 with the cleaning: saving anything leaves each relay one
    // user, the alarm and the cleaning.
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_WriteFactoryStore();
    std::vector<uint8_t> b = Rig_StoreBytes();
    b[kStoredSetPoint1Relay] = 1;
    b[1042] = 0;  // set point 1's line a
    b[1054] = kSetPointHigh;
    b[kStoredLifetimeRelay] = 0;
    Rig_WriteStoreBytes(b);
    BootIn(folder);
    ASSERT_EQ(g_SetPointSettings.relay[0], 1);
    ASSERT_EQ(g_SetPointSettings.source[0], 0);
    ASSERT_EQ(g_SetPointSettings.type[0], kSetPointHigh);
    ASSERT_EQ(g_SlotSettings.monitor[0].output, 0);
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("System"));
    ASSERT_TRUE(Choose("Set Language"));
    Press(kKeyEnter);
    SaveAndExit();
    EXPECT_EQ(Stored(kStoredAlarmRelay), 1);
    EXPECT_EQ(Stored(kStoredSetPoint1Relay), kNone);
    EXPECT_EQ(Stored(kStoredCleanRelay), 0);
    EXPECT_EQ(Stored(kStoredLifetimeRelay), kNone);
    BootIn(folder);
    EXPECT_EQ(g_SetPointSettings.relay[0], kNone);
    EXPECT_EQ(g_SlotSettings.monitor[0].output, kNone);
}
