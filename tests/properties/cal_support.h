// Steps of the calibration properties, as a user takes them by keys: a menu visit that ends in
// "Save Changes", a choice stepped on a page until its text shows, a calibration opened from the
// CAL key, a value typed in the numeric editor with its unit prefix, the result saved as chosen,
// and what a calibration must leave alone (the lines' readings, the calibration values under
// INFO, the two output currents).
#pragma once
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "../ui/ui_support.h"
#include "core/fmt.h"
#include "measurement/slots.h"
#include "outputs/aout.h"
#include "outputs/hold.h"
#include "ui/select_screen.h"

namespace calp {

using namespace ui_test;

// UP (or INFO for a negative count) until done() holds, at most limit presses; true when it did.
inline bool StepUntil(const std::function<bool()>& done, int limit = 24, uint8_t key = kKeyUp) {
    for (int i = 0; i < limit && !done(); ++i) Press(key);
    return done();
}

inline bool Starts(const std::string& text, const std::string& head) { return text.rfind(head, 0) == 0; }

// MENU, then each item of the path chosen in turn.
inline void OpenMenuPath(const std::vector<std::string>& path) {
    Press(kKeyMenu);
    for (const std::string& item : path) ASSERT_TRUE(Choose(item)) << item << " not offered";
}

// CAL, "Calibrate Sensor", the channel's calibration whose name follows the channel's, ENTER.
inline void OpenCalibration(const std::string& channel, const std::string& name) {
    Press(kKeyCal);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectCal);
    Press(kKeyCal);
    const std::string item = channel + " " + name;
    ASSERT_TRUE(StepUntil([&] { return Item() == item; }, 8)) << item << " not offered: " << Item();
    Press(kKeyEnter);
}

// The number at the start of a text ("7.00  pH ..." reads 7.0); false when there is none.
inline bool LeadingNumber(const std::string& text, float* value) { return std::sscanf(text.c_str(), "%f", value) == 1; }

// The numeric editor: the value typed from its first place, then the unit prefix stepped on the
// place after the field until it is the one wanted (kPrefixNone: the field has none to choose).
inline void TypeValue(const std::string& text, uint8_t prefix) {
    NumEditType(text.c_str());
    if (prefix == kPrefixNone) return;
    const uint8_t choice = static_cast<uint8_t>(g_NumEditField->digits + 1);
    for (int i = 0; i < 12 && g_NumEditBuffer.cursor != choice; ++i) Press(kKeyCal);
    ASSERT_EQ(g_NumEditBuffer.cursor, choice) << "no unit to choose after " << Row(11);
    ASSERT_TRUE(StepUntil([&] { return g_NumEditBuffer.prefix == prefix; }, 4))
        << "the unit offers no prefix " << int(prefix) << ": " << Row(11);
}

// Advances a second at a time while the screen is on top, at most limit seconds.
inline void WaitWhileOn(uint8_t screen, uint32_t limit) {
    for (uint32_t s = 0; s < limit && Menu_TopScreen() == screen; ++s) Rig_AdvanceMs(1000);
}

// The result screen's choice (0 "Adjust", 1 "Calibrate", 2 "Abort"), ENTER, and on to the
// measurement screen: ENTER ends the re-install wait; the outputs and channel holds run out.
inline void SaveAs(uint32_t choice) {
    static const char* const kChoices[3] = {"Save Adjust", "Save Calibrate", "Save Abort"};
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode2) << Row(11) << " | " << Row(12);
    ASSERT_TRUE(StepUntil([&] { return Item() == kChoices[choice]; }, 3)) << Item();
    Press(kKeyEnter);
    if (choice != 2) {
        EXPECT_EQ(Row(12), "Calibration Successful");
    }
    for (int i = 0; i < 200 && (Menu_TopScreen() != kScreenHome || g_OutputHold != 0 || Menu_IsChannelHeld(0) ||
                                Menu_IsChannelHeld(1));
         ++i) {
        if (Menu_TopScreen() == kScreenReinstallCountdown) Press(kKeyEnter);
        Rig_AdvanceMs(1000);
    }
    ASSERT_EQ(Menu_TopScreen(), kScreenHome) << Row(11) << " | " << Row(12);
}

// What a calibration that is not put into use must leave as it was.
struct InUse {
    std::string lines[2];  // the first two lines as the measurement screen shows them
    float values[2];       // and their values
    uint32_t statuses[2];
    std::string calData;  // INFO, "Calibration Data": both rows
    float currents[2];    // the two analog outputs
};

inline InUse ReadInUse() {
    InUse s{};
    for (uint32_t line = 0; line < 2; ++line) {
        s.lines[line] = Rig_BigLineText(line);
        s.values[line] = Meas_GetSlotValue(line, &s.statuses[line]);
        s.currents[line] = Aout_GetShownCurrent(line);
    }
    Press(kKeyInfo);
    if (Choose("Calibration Data")) s.calData = Row(11) + " | " + Row(12);
    EscapeKey();
    return s;
}

inline void ExpectSameInUse(const InUse& before, const InUse& after) {
    for (uint32_t line = 0; line < 2; ++line) {
        EXPECT_EQ(after.lines[line], before.lines[line]) << "line " << line;
        EXPECT_FLOAT_EQ(after.values[line], before.values[line]) << "line " << line;
        EXPECT_EQ(after.statuses[line], before.statuses[line]) << "line " << line;
        EXPECT_NEAR(after.currents[line], before.currents[line], 1e-4f) << "output " << line + 1;
    }
    EXPECT_EQ(after.calData, before.calData);
}

}  // namespace calp
