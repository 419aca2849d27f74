// The pages with a layout of their own (service and test pages, the temperature source, the
// calibration constants and compensations, the output hold current, the lockout and the PID pages)
// in every language, walked by their keys with every field stepped: no glyph cut at a row's end or
// by a text drawn over it, and the leave marker at the end of row 12 whole after every key.
#include <gtest/gtest.h>

#include <string>

#include "core/lcd_glyphs.h"
#include "measurement/meas.h"
#include "settings/settings_work.h"
#include "ui/menu.h"
#include "ui/select_screen.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// The leave marker's column on row 12.
constexpr uint32_t kMarkColumn = 138;
// Channel A's pH and its calibration constants.
constexpr uint32_t kPositionPhA = 0x100000;

struct FixedPage {
    uint8_t screen;
    // The events that lead to it once the MENU tree is open (0 ends the list).
    uint32_t events[2];
    // The page shows the leave marker.
    bool marker;
    // Channel A measures conductivity, and the page is its calibration's compensation, chosen
    // on the selection screen after the CAL key (its first measurement).
    bool conductivity = false;
};

const FixedPage kPages[] = {
    {kScreenTempSource, {kItemTempSource}, true},
    {kScreenKeypadTest, {kItemKeypadTest}, false},
    {kScreenDigitalInputs, {kItemDigitalInputs}, false},
    {kScreenMemoryTest, {kItemMemoryTest}, false},
    {kScreenLockout, {kItemLockout}, true},
    {kScreenCalEdit, {kPositionPhA, kItemCalEditPosition}, true},
    {kScreenCalEdit2, {kActionCalEdit2}, true},
    {kScreenRevision, {kItemRevision}, false},
    {kScreenLinComp, {kActionLinComp}, true},
    {kScreenCalCompensation, {kEventHome, kEventCal}, true, true},
    {kScreenAoutHoldValue, {kItemOutputHoldValue}, true},
    {kScreenReadOc, {kItemReadOc}, false},
    {kScreenReadAnalogOutputs, {kItemReadAnalogOutputs}, true},
    {kScreenReadAnalogInputs, {kItemReadAnalogInputs}, false},
    {kScreenConfigWarning, {kItemQuickSetup}, true},
    {kScreenPidMode, {kItemPidMode}, true},
    {kScreenPidTune, {kItemPidTune}, true},
    {kScreenPidLimits1, {kActionPidLimits1}, true},
    {kScreenPidLimits2, {kActionPidLimits2}, true},
};

// Rows 11 and 12 in the shown phase of the blinking: no cell that is no glyph.
void ExpectRowsWhole(const FixedPage& page, uint32_t language, int key) {
    if (g_BlinkField.active) Lcd_BlinkField(0);
    bool whole = !page.marker || GlyphsDrawn(kRowMessage, kMarkColumn, "$");
    std::string rows = Rig_RowText(kRowStatus) + " | " + Rig_RowText(kRowMessage);
    whole = whole && rows.find("\uFFFD") == std::string::npos;
    EXPECT_TRUE(whole) << "screen " << int(page.screen) << " language " << language << " key " << key << ": " << rows;
}

// What the pages show at their widest: every line linearly compensated with two-digit
// coefficients, a controller on line a (pH) with a full gain and times and its corners at the
// ends of the output.
void WidestSettings() {
    for (uint32_t slot = 0; slot < 4; ++slot) {
        g_WorkSet.params.compMode[slot] = 1;
        g_WorkSet.params.compCoefficient[slot] = 99.99f;
    }
    g_WorkSet.pid.source = 0;
    g_WorkSet.pid.gain = 20.0f;
    g_WorkSet.pid.resetTime = 99.9f;
    g_WorkSet.pid.rateTime = 99.9f;
    g_WorkSet.pid.lowerCornerY = 1.0f;
    g_WorkSet.pid.upperCornerY = -1.0f;
}
}  // namespace

TEST(FixedPagesLayout, EveryFieldSteppedStandsWholeInEveryLanguage) {
    for (const FixedPage& page : kPages) {
        BootHome();
        for (uint32_t language = 0; language < kLanguages; ++language) {
            // From the measurement screen each time, as ESC leaves it.
            EscapeKey();
            ASSERT_EQ(Menu_TopScreen(), kScreenHome);
            g_Language = static_cast<uint8_t>(language);
            g_ChannelKind[0] = page.conductivity ? kKindCond2 : kKindPh;
            Press(kKeyMenu);
            WidestSettings();
            if (page.conductivity) g_WorkSet.channel.kind[0] = kKindCond2;
            for (uint32_t event : page.events) {
                if (event != 0) Post(event);
            }
            if (page.conductivity) {
                // The CAL key starts on the measurement (row 12).
                for (int i = 0; i < 6 && g_MenuTreeView.index != 0; ++i) Press(kKeyUp);
                Press(kKeyEnter);
            }
            ASSERT_EQ(Menu_TopScreen(), page.screen) << "language " << language;
            ExpectRowsWhole(page, language, -1);
            // Each place in turn (CAL), its choice or digit stepped four times with UP: the longest
            // list of choices on these pages has five.
            for (int key = 0; key < 150 && Menu_TopScreen() == page.screen; ++key) {
                Press(key % 5 == 4 ? kKeyCal : kKeyUp);
                if (Menu_TopScreen() == page.screen) ExpectRowsWhole(page, language, key);
            }
        }
    }
    g_Language = 0;
}
