// One walk through every screen of the menu engine: each is entered the way the menus enter it,
// draws something, and leaves for the measurement screen by ESC or by the time-out.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "../digital_sensor/plug_support.h"
#include "core/events.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "rig.h"
#include "settings/settings_work.h"
#include "sim/sim_inputs.h"
#include "ui/menu.h"
#include "ui_support.h"

using ui_test::BootHome;
using ui_test::Post;
using ui_test::Press;
using ui_test::Row;

namespace {

// What a screen needs before it can be entered.
enum class Setup { kPlain, kConductivityA, kPhSensorB, kOpticalSensorB };

struct ScreenEntry {
    uint8_t screen;
    Setup setup;
    // The events that lead to it once the MENU tree is open (0 ends the list).
    uint32_t events[3];
    // Then, when set, the selection screen's entry to take by UP and ENTER.
    const char* choice = nullptr;
};

// Positions of channel A: verify (x006), pH (x000).
constexpr uint32_t kPositionVerifyA = 0x100006;
constexpr uint32_t kPositionPhA = 0x100000;
// The numeric editor's field of channel A's meter input.
constexpr uint32_t kItemMeterInputA = 0x1ff020;

// Screen ids the engine does not use.
const std::set<uint32_t> kUnusedScreens = {17, 24, 26, 27, 41, 50, 55, 56, 57};

const ScreenEntry kScreens[] = {
    {kScreenSelectCal, Setup::kPlain, {kEventHome, kEventCal}},
    {kScreenTreeMenu, Setup::kPlain, {}},
    {kScreenNumericEditor, Setup::kPlain, {kItemMeterInputA}},
    {kScreenTreeInfo, Setup::kPlain, {kEventHome, kEventInfo}},
    {kScreenSelectMode1, Setup::kPlain, {kEventCalStepDone}},
    {kScreenLineSetup, Setup::kPlain, {kActionLineSetup}},
    {kScreenParamPage, Setup::kPlain, {kActionChannelSetupPage}},
    {kScreenValuePage, Setup::kPlain, {kItemSetClock}},
    {kScreenCalNotDone, Setup::kPlain, {kActionCalNotDone}},
    {kScreenSelectMode2, Setup::kPlain, {kActionSelectMode2}},
    {kScreenSelectMode3, Setup::kPlain, {kActionAskSave}},
    {kScreenTempSource, Setup::kPlain, {kItemTempSource}},
    {kScreenVerifyCal, Setup::kPlain, {kPositionVerifyA}},
    {kScreenDisplayTest, Setup::kPlain, {kItemDisplayTest}},
    {kScreenMemoryTest, Setup::kPlain, {kItemMemoryTest}},
    {kScreenKeypadTest, Setup::kPlain, {kItemKeypadTest}},
    {kScreenDigitalInputs, Setup::kPlain, {kItemDigitalInputs}},
    {kScreenLockout, Setup::kPlain, {kItemLockout}},
    {kScreenCalEdit, Setup::kPlain, {kPositionPhA, kItemCalEditPosition}},
    {kScreenRevision, Setup::kPlain, {kItemRevision}},
    {kScreenLinComp, Setup::kPlain, {kActionLinComp}},
    {kScreenAoutHoldValue, Setup::kPlain, {kItemOutputHoldValue}},
    {kScreenMessages, Setup::kPlain, {kItemMessages}},
    {kScreenReadOc, Setup::kPlain, {kItemReadOc}},
    {kScreenReadAnalogOutputs, Setup::kPlain, {kItemReadAnalogOutputs}},
    {kScreenMeterCalFactors, Setup::kPlain, {kItemMeterCalFactors}},
    {kScreenGlassRes, Setup::kPlain, {kItemGlassRes}},
    {kScreenRefRes, Setup::kPlain, {kItemRefRes}},
    {kScreenCalHistory, Setup::kPhSensorB, {kItemCalHistory}},
    {kScreenPidMode, Setup::kPlain, {kItemPidMode}},
    {kScreenPidTune, Setup::kPlain, {kItemPidTune}},
    {kScreenPidLimits1, Setup::kPlain, {kActionPidLimits1}},
    {kScreenPidLimits2, Setup::kPlain, {kActionPidLimits2}},
    {kScreenCalCompensation, Setup::kConductivityA, {kEventHome, kEventCal}, "Conductivity"},
    {kScreenList, Setup::kPlain, {kPositionPhA, kActionList}},
    {kScreenCalEdit2, Setup::kPlain, {kActionCalEdit2}},
    {kScreenSensorInfo, Setup::kPhSensorB, {kItemSensorInfo}},
    {kScreenCalData, Setup::kPhSensorB, {kItemSensorCalData}},
    {kScreenCipCycles, Setup::kPhSensorB, {kItemCipCycles}},
    {kScreenSipCycles, Setup::kPhSensorB, {kItemSipCycles}},
    {kScreenAutoclaveCycles, Setup::kPhSensorB, {kItemAutoclaveCycles}},
    {kScreenSensorTimers, Setup::kPhSensorB, {kItemSensorTimers}},
    {kScreenMaxTemperature, Setup::kPhSensorB, {kItemMaxTemperature}},
    {kScreenCycleLimitSetup, Setup::kPhSensorB, {kItemCipCycleLimit}},
    {kScreenReadAnalogInputs, Setup::kPlain, {kItemReadAnalogInputs}},
    {kScreenList2, Setup::kPlain, {kPositionPhA, kActionList2}},
    {kScreenOpticalErrors, Setup::kOpticalSensorB, {kItemOpticalErrors}},
    {kScreenReinstallCountdown, Setup::kPlain, {kActionReinstallCountdown}},
    {kScreenHoldCountdown, Setup::kPlain, {kActionHoldCountdown}},
    {kScreenConfigWarning, Setup::kPlain, {kItemQuickSetup}},
    {kScreenPnaGlassRes, Setup::kPlain, {kItemPnaGlassRes}},
    {kScreenWaitForBoard, Setup::kPlain, {kActionWaitForBoard}},
};

void PlugOnChannelB(const std::string& file, uint8_t code) {
    using namespace plug_test;
    BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Plug(file, code);
    ASSERT_TRUE(RunUntilState(kPlugIdle, 60000));
    Rig_AdvanceMs(8000);
}

void Prepare(Setup setup) {
    switch (setup) {
        case Setup::kPlain:
            BootHome();
            break;
        case Setup::kConductivityA:
            BootHome();
            g_ChannelKind[0] = kKindCond2;
            g_WorkSet.channel.kind[0] = kKindCond2;
            break;
        case Setup::kPhSensorB:
            PlugOnChannelB("PH_SelvoP11_0.txt", 1);
            break;
        case Setup::kOpticalSensorB:
            PlugOnChannelB("OPT_SelvoQ11_0.txt", 9);
            break;
    }
}

void Blank() {
    Menu_BlinkOff();
    Lcd_ClearAll();
}

bool DisplayShowsSomething() {
    for (uint32_t row = 0; row < kLcdRows; ++row) {
        if (Row(row).find_first_not_of(' ') != std::string::npos) return true;
    }
    return false;
}

}  // namespace

TEST(ScreenWalk, EveryScreenIdIsWalked) {
    std::set<uint32_t> walked = {kScreenHome};
    for (const auto& entry : kScreens) walked.insert(entry.screen);
    for (uint32_t id = 0; id < kScreenCount; ++id) {
        EXPECT_TRUE(walked.count(id) + kUnusedScreens.count(id) == 1) << "screen " << id;
    }
}

TEST(ScreenWalk, EveryScreenDrawsAndLeavesForHome) {
    for (bool escape : {true, false}) {
        for (const auto& entry : kScreens) {
            Prepare(entry.setup);
            g_LinkRequestResult = 255;
            // The display is blanked before the step that enters the screen, so that only what the
            // screen draws counts.
            uint32_t count = 0;
            while (count < 3 && entry.events[count] != 0) ++count;
            if (count == 0 && entry.choice == nullptr) Blank();
            Press(kKeyMenu);
            for (uint32_t i = 0; i < count; ++i) {
                if (i + 1 == count && entry.choice == nullptr) Blank();
                Post(entry.events[i]);
            }
            if (entry.choice != nullptr) {
                for (int i = 0; i < 8 && Row(12).find(entry.choice) == std::string::npos; ++i) Press(kKeyUp);
                Blank();
                Press(kKeyEnter);
            }
            // A second on the screen: the countdowns draw when their timer has run out.
            Rig_AdvanceMs(1000);
            if (Menu_TopScreen() != entry.screen) {
                ADD_FAILURE() << "screen " << int(entry.screen) << " not entered; on top: " << int(Menu_TopScreen());
                continue;
            }
            EXPECT_TRUE(DisplayShowsSomething()) << "screen " << int(entry.screen) << " drew nothing";
            if (escape) {
                Key_Put(kKeyEscape);
                Rig_AdvanceMs(60);
            } else {
                Post(kEventHome);
            }
            EXPECT_EQ(Menu_TopScreen(), kScreenHome)
                << "screen " << int(entry.screen) << (escape ? " by ESC" : " by the time-out");
        }
    }
}
