// "Set OC" (the relay test page of Service, Diagnostics) through the rig, key by key: while it is
// open the relays are the page's; every way out of it (ENTER in a field, its leave marker, ESC, the
// menu time-out) gives them back at once, each to what its user asks, a PID pulse relay to rest.
#include <gtest/gtest.h>

#include <string>

#include "measurement/slots.h"
#include "outputs/clean.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "ui/param_page.h"
#include "ui/param_pages_table.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
bool Closed(uint32_t relay) { return ((g_RelayBits.load() >> relay) & 1u) != 0; }

enum class Way { EnterInField, LeaveMarker, Escape, TimeOut };
const char* Name(Way way) {
    switch (way) {
        case Way::EnterInField:
            return "ENTER in a field";
        case Way::LeaveMarker:
            return "ENTER on the leave marker";
        case Way::Escape:
            return "ESC";
        default:
            return "the time-out";
    }
}
constexpr Way kWays[] = {Way::EnterInField, Way::LeaveMarker, Way::Escape, Way::TimeOut};

// MENU, "Service", "Diagnostics", "Set OC": the page opens on the contacts as they stand.
void OpenSetOc() {
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Service"));
    ASSERT_TRUE(Choose("Diagnostics"));
    ASSERT_TRUE(Choose("Set OC"));
    ASSERT_EQ(g_PageEdit.page, kParamPageRelayTest);
    ASSERT_EQ(Row(11), std::string("OC1 = ") + (Closed(0) ? "1" : "0") + "  OC2 = " + (Closed(1) ? "1" : "0"));
}

// OC1 stepped by UP; the cursor stays on OC1's field.
void StepOc1(bool closed) {
    Press(kKeyUp);
    ASSERT_EQ(Row(11).substr(0, 7), closed ? "OC1 = 1" : "OC1 = 0");
    ASSERT_EQ(Closed(0), closed);
}
void CloseOc1() { StepOc1(true); }

// Leaves the page that way; the leave marker goes back to Diagnostics, the others home.
void Leave(Way way) {
    switch (way) {
        case Way::EnterInField:
            Press(kKeyEnter);
            break;
        case Way::LeaveMarker:
            Press(kKeyMenu);
            ASSERT_EQ(g_PageEdit.field, kParamLeaveMarker);
            Press(kKeyEnter);
            break;
        case Way::Escape:
            EscapeKey();
            break;
        case Way::TimeOut:
            // 240 s without a key; the page keeps the relays until then.
            Rig_AdvanceMs(230000);
            ASSERT_EQ(g_PageEdit.page, kParamPageRelayTest);
            ASSERT_TRUE(Closed(0));
            Rig_AdvanceMs(11000);
            break;
    }
    if (way == Way::LeaveMarker) {
        ASSERT_EQ(Menu_TopScreen(), kScreenTreeMenu);
        ASSERT_EQ(Row(11), "Diagnostics");
    } else {
        ASSERT_EQ(Menu_TopScreen(), kScreenHome);
    }
}

// An automatic controller on line a (pH) at its set point: output 0, pulses on relay 1, and no
// cleaning on that relay.
void PidAtItsSetPoint() {
    BootHome();
    g_CleanSettings.relay = kRelayNone;
    PidSettings& p = g_PidSettings;
    p.mode = kPidAutomatic;
    p.source = 0;
    p.displayChoice = 0;
    p.relayPositive = 0;
    p.relayNegative = kRelayNone;
    p.pulseType = kPidPulseFrequency;
    p.pulseFrequency = 180.0f;
    uint32_t status = 0;
    Pid_SaveSettings(&status);
    g_SlotUnit[0] = g_SlotPendingUnit[0] = 13;
    g_SlotChannel[0] = g_SlotPendingChannel[0] = 0;
    g_SlotValues[0].value = g_PidSettings.setPoint;
    g_SlotValues[0].status = 0;
    Rig_AdvanceMs(3000);
    ASSERT_FALSE(Closed(0));
    ASSERT_EQ(Row(12), "Auto Ctrl Out 0.0%");
}
}  // namespace

TEST(RelayTestPage, APidPulseRelayRestsOnceThePageIsLeft) {
    for (Way way : kWays) {
        SCOPED_TRACE(Name(way));
        PidAtItsSetPoint();
        OpenSetOc();
        CloseOc1();
        Leave(way);
        // Within a second relay 1 is at rest, and stays there while the output is 0.
        Rig_AdvanceMs(1000);
        EXPECT_FALSE(Closed(0));
        for (int i = 0; i < 5; ++i) {
            Rig_AdvanceMs(1000);
            EXPECT_FALSE(Closed(0));
        }
        if (way != Way::LeaveMarker) {
            EXPECT_EQ(Row(12), "Auto Ctrl Out 0.0%");
        }
        // The controller has its relay again: off its set point, it pulses.
        g_SlotValues[0].value = 0.0f;
        uint32_t closings = g_RelayClosings[0].load();
        Rig_AdvanceMs(3000);
        EXPECT_GT(g_RelayClosings[0].load(), closings + 3);
    }
}

TEST(RelayTestPage, ACleaningRunsAgainAfterTheLeaveMarker) {
    // A cleaning every hour for 30 s on relay 1, started before the page was opened.
    BootHome();
    g_CleanSettings.interval = 1.0f;
    g_CleanSettings.time = 30.0f;
    Rig_AdvanceMs(2000);
    ASSERT_TRUE(Clean_IsActive());
    ASSERT_TRUE(Closed(0));
    OpenSetOc();
    StepOc1(false);
    Leave(Way::LeaveMarker);
    // Still in the menus, the cleaning has its relay again.
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Closed(0));
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeMenu);
    // And ends it by its own time.
    Rig_AdvanceMs(30000);
    EXPECT_FALSE(Closed(0));
}
