// The measurement screen: decimals, over- and under-range fills, big placeholders, units and
// names of its four lines, the hold marks, and the display-line setup pages.
#include <gtest/gtest.h>

#include <array>

#include "core/link.h"
#include "core/settings.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/meas.h"
#include "measurement/temperature.h"
#include "outputs/alarms.h"
#include "outputs/sensor_alarm.h"
#include "settings/settings_system.h"
#include "settings/settings_work.h"
#include "sim/sim_inputs.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/screens.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// Slot s shows (channel, kind, prefix, resolution); line n shows slot n.
MeasLineConfig Lines(uint8_t kind, uint8_t resolution, uint8_t prefix = 10, uint8_t channel = 0) {
    MeasLineConfig lines = {{channel, channel, channel, channel},
                            {kind, kind, kind, kind},
                            {prefix, prefix, prefix, prefix},
                            {0, 1, 2, 3},
                            {resolution, resolution, resolution, resolution}};
    return lines;
}

// The value part of row 11 or 12: the name offset puts it at column 66 (character 11).
std::string SmallValue(uint32_t row) {
    std::string text = Rig_RowText(row);
    return text.size() > 11 ? text.substr(11) : "";
}

std::string ShowSmall(float value, uint32_t status, uint8_t kind, uint8_t resolution, uint8_t prefix = 10) {
    MeasLineConfig lines = Lines(kind, resolution, prefix);
    Home_DrawLine(2, &lines, value, status, 0);
    return SmallValue(11);
}
}  // namespace

TEST(HomeScreen, AfterBootShowsChannelAsLines) {
    BootHome();
    EXPECT_EQ(Menu_TopScreen(), 0);
    // pH and temperature of channel A on the big lines; no value has arrived yet.
    EXPECT_EQ(Rig_RowText(1).substr(0, 1), "A");
    EXPECT_EQ(Rig_RowText(5).substr(0, 1), "A");
    std::string unit0 = Rig_RowText(2), unit1 = Rig_RowText(6);
    EXPECT_EQ(unit0.substr(unit0.size() - 2), "pH");
    EXPECT_EQ(unit1.substr(unit1.size() - 3), "°C");
    EXPECT_EQ(Rig_BigLineText(0), "}.}.}.}");
    EXPECT_EQ(Rig_BigLineText(1), "}.}.}.}");
    EXPECT_EQ(Rig_RowText(11), "");
    EXPECT_EQ(Rig_RowText(12), "");
}

namespace {
// Stands in for the link with channel A selected: one measurement reply a second.
void ChannelAReplyEverySecond() {
    static uint32_t tenths;
    if (++tenths % 10 != 0) return;
    g_LinkActiveChannel = 0;
    const std::array<uint8_t, 21> payload{};
    Meas_DecodeChannelAReply(0, payload.data());
}
}  // namespace

TEST(HomeScreen, ChannelAsValuesArriveOnTheBigLines) {
    BootHome();
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(37.0f));
    Rig_AddPeriodic(100, ChannelAReplyEverySecond);
    // The first replies only count; then the one-second refresh shows the values.
    Rig_AdvanceMs(7000);
    EXPECT_EQ(Rig_BigLineText(1), "37.0");
    EXPECT_NE(Rig_BigLineText(0), "}.}.}.}");
    EXPECT_EQ(Rig_BigLineText(0).find('.'), 1u) << "pH with two decimals: " << Rig_BigLineText(0);
}

TEST(HomeScreen, DecimalsFollowResolutionAndMagnitude) {
    BootHome();
    EXPECT_EQ(ShowSmall(12.3456f, 0, 11, 3), "12.35 °C");
    EXPECT_EQ(ShowSmall(9.9994f, 0, 11, 3), "9.999 °C");
    EXPECT_EQ(ShowSmall(9.9996f, 0, 11, 3), "10.00 °C");
    EXPECT_EQ(ShowSmall(99.99f, 0, 11, 3), "99.99 °C");
    EXPECT_EQ(ShowSmall(999.9f, 0, 11, 2), "999.9 °C");
    EXPECT_EQ(ShowSmall(1000.0f, 0, 11, 2), "1000  °C");
    EXPECT_EQ(ShowSmall(9999.49f, 0, 11, 2), "9999  °C");
    EXPECT_EQ(ShowSmall(-12.3456f, 0, 11, 2), "-12.35°C");
    EXPECT_EQ(ShowSmall(7.0f, 0, 13, 0), "7     pH");
    // Automatic resolution: as many decimals as fit four digits.
    EXPECT_EQ(ShowSmall(5.0f, 0, 13, 4), "5.000 pH");
    EXPECT_EQ(ShowSmall(123.4f, 0, 13, 7), "123.4 pH");
    EXPECT_EQ(Home_LineDecimals(12.3456f, 3), 2u);
    EXPECT_EQ(Home_LineDecimals(9999.49f, 3), 0u);
}

TEST(HomeScreen, OverAndUnderRangeFill) {
    BootHome();
    EXPECT_EQ(ShowSmall(9999.5f, 0, 11, 2), "***** °C");
    EXPECT_EQ(ShowSmall(-9999.5f, 0, 11, 2), "_____ °C");
    EXPECT_EQ(ShowSmall(1.0f, 2, 11, 2), "***** °C");
    EXPECT_EQ(ShowSmall(1.0f, 3, 11, 2), "_____ °C");
    // Status 5 is drawn as a value.
    EXPECT_EQ(ShowSmall(1.5f, 5, 11, 2), "1.50  °C");
    // The range is judged after the prefix: 0.02 S/cm in micro is 20000.
    EXPECT_EQ(ShowSmall(0.02f, 0, 1, 0, 2), "***** µS/cm");
    EXPECT_EQ(ShowSmall(1.234e-6f, 0, 1, 4, 2), "1.234 µS/cm");

    // The big lines use the display's over, under and invalid patterns.
    MeasLineConfig lines = Lines(13, 2);
    Home_DrawLine(0, &lines, 0.0f, 2, 0);
    EXPECT_EQ(Rig_BigLineText(0), "}.}.}.}");
    Home_DrawLine(1, &lines, -10000.0f, 0, 0);
    EXPECT_EQ(Rig_BigLineText(1), "_._._._");
    Home_DrawLine(0, &lines, 7.0f, 0, 0);
    EXPECT_EQ(Rig_BigLineText(0), "7.00");
    Home_DrawLine(1, &lines, 1.0f, 3, 0);
    EXPECT_EQ(Rig_BigLineText(1), "_._._._");
    // Channel B without a usable sensor.
    g_CurrentChannel = 1;
    g_SensorKindActive[1] = 15;
    g_SensorKindDetected[1] = 15;
    Home_DrawLine(0, &lines, 7.0f, 0, 0);
    EXPECT_EQ(Rig_BigLineText(0), "{.{.{.{");
    // The placeholder takes the unit away whole: no stroke of the "pH" drawn before stays.
    for (uint32_t c = kHomeUnitColumn; c < kLcdColumns; ++c) ASSERT_EQ(g_LcdFrame[2][c], 0) << "column " << c;
    Home_DrawLine(2, &lines, 7.0f, 0, 0);
    EXPECT_EQ(Rig_RowText(11), "Unknown");
}

TEST(HomeScreen, SmallLinesSymbolNameAndUnit) {
    BootHome();
    MeasLineConfig lines = Lines(11, 1);
    lines.channel[2] = 1;
    Home_DrawLine(2, &lines, 25.04f, 0, 0);
    // The channel symbol at column 0, the value after the name field, the unit at column 102.
    EXPECT_EQ(Rig_RowText(11), "B          25.0  °C");
    // Kind 30 shows nothing; a line of no channel shows no symbol and no value.
    lines.kind[2] = 30;
    Home_DrawLine(2, &lines, 25.0f, 0, 0);
    EXPECT_EQ(Rig_RowText(11), "");
    lines = Lines(200, 9, 10, 7);
    Home_DrawLine(2, &lines, 25.0f, 0, 0);
    Home_DrawLine(0, &lines, 25.0f, 0, 0);
    EXPECT_EQ(Rig_RowText(11), "");
    EXPECT_EQ(Rig_BigLineText(0), "");
    // A slot number out of range shows slot a.
    lines = Lines(13, 2);
    lines.lineSlot[3] = 9;
    Home_DrawLine(3, &lines, 7.0f, 0, 0);
    EXPECT_EQ(SmallValue(12), "7.00  pH");
}

TEST(HomeScreen, BigLinesShowTheLetterOfTheirOwnChannel) {
    BootHome();
    // Channel A current: the big line set to channel B says "B".
    MeasLineConfig lines = Lines(11, 1);
    lines.channel[1] = 1;
    Home_DrawLine(0, &lines, 25.0f, 0, 0);
    Home_DrawLine(1, &lines, 25.0f, 0, 0);
    EXPECT_EQ(Rig_RowText(1).substr(0, 1), "A");
    EXPECT_EQ(Rig_RowText(5).substr(0, 1), "B");
    // Channel B current with a sensor it can measure: the channel-A line still says "A".
    g_CurrentChannel = 1;
    g_SensorKindActive[1] = 1;
    Home_DrawLine(0, &lines, 25.0f, 0, 0);
    Home_DrawLine(1, &lines, 25.0f, 0, 0);
    EXPECT_EQ(Rig_RowText(1).substr(0, 1), "A");
    EXPECT_EQ(Rig_RowText(5).substr(0, 1), "B");
}

TEST(HomeScreen, HoldMarksBlinkAtTheCurrentChannelsLine) {
    BootHome();
    Home_BlinkHoldMark(0);
    EXPECT_EQ(Rig_RowText(1).substr(0, 1), "H");
    Home_BlinkHoldMark(1);
    EXPECT_EQ(Rig_RowText(1).substr(0, 1), " ");
    Home_BlinkChannelLetter(0);
    EXPECT_EQ(Rig_RowText(1).substr(0, 1), "A");
    g_CurrentChannel = 1;
    Home_BlinkHoldMark(0);
    EXPECT_EQ(Rig_RowText(5).substr(0, 1), "H");
    Home_BlinkChannelLetter(0);
    EXPECT_EQ(Rig_RowText(5).substr(0, 1), "B");
}

TEST(HomeScreen, LineSetupPages) {
    BootHome();
    g_ChannelKind[0] = 1;
    Press(kKeyMenu);
    Post(4091);
    EXPECT_EQ(Menu_TopScreen(), 6);
    EXPECT_EQ(g_DisplayMode, 2);
    EXPECT_EQ(Row(11), "aA pH        (      )");
    EXPECT_EQ(Row(12), "bA °C        (      )  $");
    // UP on the measurement takes the next of the pH channel's list, INFO the one before.
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "aA Volts     (Milli )");
    Press(kKeyInfo);
    Press(kKeyInfo);
    EXPECT_EQ(Row(11), "aA ----      (      )");
    Press(kKeyUp);
    Press(kKeyUp);
    // ENTER in a field stores the pair and shows lines c and d; ENTER there asks to save.
    Press(kKeyEnter);
    EXPECT_EQ(g_DisplayMode, 3);
    EXPECT_EQ(Row(11), "cA ----      (      )");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 11);
    EXPECT_EQ(Settings_GetEditMeasLines()->kind[0], 14);
    EXPECT_EQ(Settings_GetEditMeasLines()->kind[1], 11);
    EXPECT_EQ(g_MeasLines.kind[0], 13);

    // MENU from the first field selects the marker; ENTER on pair a/b's marker goes back.
    Post(4085);
    Post(4085);
    Post(4091);
    Press(kKeyMenu);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), 2);

    // An edited kind outside the unit lists offers the list of kind 0.
    g_WorkSet.channel.kind[0] = 40;
    Post(4091);
    EXPECT_EQ(Row(11), "aA ----      (Milli )");
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "aA ----      (      )");
}

TEST(HomeScreen, SensorTimerLine) {
    BootHome();
    Screen_DrawSensorTimerLine(1, 0, 0);
    EXPECT_EQ(Rig_RowText(11), "Lifetime Indicator    0d");
    Screen_DrawSensorTimerLine(1, 1, 1);
    EXPECT_EQ(Rig_RowText(12), "Time to Maint       0.0d");
}

TEST(HomeScreen, MessagesLeaveRow12ToTheFailureText) {
    BootHome();
    MeasLineConfig lines = Lines(13, 2);
    Lcd_ClearAll();
    Home_Draw(&lines, 1, 1);
    EXPECT_EQ(SmallValue(11), "***** pH");
    EXPECT_EQ(Rig_RowText(12), "");
    Home_Draw(&lines, 1, 0);
    EXPECT_EQ(SmallValue(12), "***** pH");
    // Mode 0 refreshes the big lines only.
    Lcd_ClearAll();
    Home_Draw(&lines, 0, 0);
    EXPECT_EQ(Rig_RowText(11), "");
    EXPECT_EQ(Rig_BigLineText(1), "}.}.}.}");
}

namespace {
// A start with the sensor board answering, channel A measuring pH at 25 °C, and all four lines
// showing channel A: pH and temperature on the big lines, the electrode potential and the
// temperature again on the small ones.
void BootMeasuring() {
    Rig_Reset(Rig_MakeTempFolder());
    ClockRecord t{2025, 6, 1, 0, 10, 0, 0};
    Rtc_SetTime(&t);
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(25.0f));
    Panel_SetSimInput(0, kSimGlassImpedance, 100.0f);
    Panel_SetSimInput(0, kSimRefImpedance, 30.0f);
    Rig_Boot();
    const uint8_t kinds[4] = {13, 11, 14, 11};
    for (uint32_t slot = 0; slot < 4; ++slot) {
        g_MeasLines.kind[slot] = kinds[slot];
        Meas_SetSlotAssignment(slot, 0, kinds[slot]);
    }
    Rig_AdvanceMs(8000);
}

// The rows of two frames that differ, by number, with the text each shows (big lines by their
// digits).
std::string DifferingRows(const std::string& a, const std::string& b, const std::string& aText,
                          const std::string& bText) {
    std::string rows;
    for (uint32_t r = 0; r < kLcdRows; ++r) {
        if (a.compare(r * kLcdColumns, kLcdColumns, b, r * kLcdColumns, kLcdColumns) != 0) {
            rows += " " + std::to_string(r);
        }
    }
    return rows.empty() ? "" : "rows" + rows + ": " + aText + " | " + bText;
}

std::string ShownText() {
    return Rig_BigLineText(0) + "/" + Rig_BigLineText(1) + "/" + Rig_RowText(11) + "/" + Rig_RowText(12);
}

// The one-second refresh of the measurement screen as the menu engine runs it, against a full
// redraw of every line right after it: a line the refresh did not draw must be one that drawing
// in full leaves as it is.
void ExpectRefreshAsFullRedraw(const std::string& what) {
    uint32_t mode = Settings_PidMayRun() ? 2 : 1;
    Home_Draw(&g_MeasLines, mode, Menu_MessagesToShow());
    std::string refreshed = Rig_FrameBytes();
    std::string refreshedText = ShownText();
    Home_ResetState();  // forgets what each line drew
    Home_Draw(&g_MeasLines, mode, Menu_MessagesToShow());
    EXPECT_EQ(DifferingRows(refreshed, Rig_FrameBytes(), refreshedText, ShownText()), "") << what;
}

// Every half second for that long, the refresh leaves the display as a full redraw would.
void ExpectSecondsAsFullRedraw(uint32_t seconds, const std::string& what) {
    for (uint32_t i = 0; i < 2 * seconds; ++i) {
        Rig_AdvanceMs(500);
        ExpectRefreshAsFullRedraw(what + " at " + std::to_string(500 * (i + 1)) + " ms");
    }
}

// The glass electrode's check finds it below its limit: an alarm with its message.
uint32_t GlassBelowLimit(uint32_t, uint32_t code) { return code == kDiagGlassRes ? kDiagBelow : kDiagOk; }
}  // namespace

TEST(HomeScreen, TheSecondsRefreshDrawsOnlyWhatChanged) {
    BootMeasuring();
    EXPECT_EQ(Rig_BigLineText(0), "7.00");
    EXPECT_EQ(Rig_BigLineText(1), "25.0");
    EXPECT_EQ(SmallValue(12), "25.00 °C");
    // Nothing changed: a second passes without a write into the display.
    uint32_t writes = Lcd_FrameWrites();
    Rig_AdvanceMs(1000);
    EXPECT_EQ(Lcd_FrameWrites(), writes);
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Lcd_FrameWrites(), writes);
    ExpectRefreshAsFullRedraw("unchanged");

    // A value changes: its lines show it, the pH line as it was.
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(37.0f));
    ExpectSecondsAsFullRedraw(3, "temperature changed");
    EXPECT_EQ(Rig_BigLineText(1), "37.0");
    EXPECT_EQ(SmallValue(12), "37.00 °C");
    EXPECT_EQ(Rig_BigLineText(0), "7.00");

    // A unit changes: degrees Fahrenheit on the second big line.
    g_MeasLines.kind[1] = 12;
    Meas_SetSlotAssignment(1, 0, 12);
    ExpectSecondsAsFullRedraw(2, "unit changed");
    EXPECT_EQ(Rig_BigLineText(1), "98.6");
    std::string unit = Rig_RowText(6);
    EXPECT_EQ(unit.substr(unit.size() - 3), "°F");

    // The output hold blinks its mark where the channel letter stands; the lines stay right.
    Menu_SetTimedHold(0);
    ExpectSecondsAsFullRedraw(3, "output hold");
    Menu_SetTimedHold(1);
    ExpectSecondsAsFullRedraw(2, "output hold ended");
    EXPECT_EQ(Rig_RowText(1).substr(0, 1), "A");

    // An alarm: the channel symbol blinks beside the first big line, the failure text takes the
    // message row; when it clears, the fourth line comes back.
    g_SystemSettings.errorDisplay = 1;
    g_AlarmSettings.disableMask = 0;
    SensorAlarm_SetStatusSource(GlassBelowLimit);
    ExpectSecondsAsFullRedraw(3, "alarm");
    EXPECT_EQ(Menu_MessagesToShow(), 1u);
    EXPECT_NE(g_SymbolBlinkMask, 0u);
    EXPECT_NE(SmallValue(12), "37.00 °C");
    SensorAlarm_SetStatusSource(nullptr);
    ExpectSecondsAsFullRedraw(3, "alarm cleared");
    EXPECT_EQ(Menu_MessagesToShow(), 0u);
    EXPECT_EQ(SmallValue(12), "37.00 °C");

    // Another screen over the lines, then the measurement screen again.
    Press(kKeyMenu);
    EscapeKey();
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    ExpectSecondsAsFullRedraw(2, "back from the menu");
    EXPECT_EQ(Rig_BigLineText(1), "98.6");
}
