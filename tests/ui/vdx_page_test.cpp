// The digital sensor's pages, reached by keys from the INFO and MENU trees with a sensor from the
// program's own sensor files plugged on channel B.
#include <gtest/gtest.h>

#include <string>

#include "../digital_sensor/plug_support.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_diag_opt.h"
#include "measurement/channel.h"
#include "measurement/ph.h"
#include "rig.h"
#include "settings/settings_sensor.h"
#include "settings/settings_work.h"
#include "sim/sim_inputs.h"
#include "ui/menu.h"
#include "ui/param_page.h"
#include "ui/param_pages_table.h"
#include "ui/vdx_page.h"
#include "ui_support.h"

using namespace plug_test;
using ui_test::Choose;
using ui_test::Item;
using ui_test::Press;
using ui_test::Row;

namespace {
void PlugAndSettle(const std::string& file, uint8_t code) {
    BootOnChannelB();
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Plug(file, code);
    ASSERT_TRUE(RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(8000);
}

}  // namespace

TEST(VdxPages, SensorInfoAlternatesTypeAndNumbers) {
    PlugAndSettle("PH_SelvoP11_1.txt", 1);
    Press(kKeyInfo);
    ASSERT_TRUE(Choose("VDX Sensor Info"));
    EXPECT_EQ(Menu_TopScreen(), kScreenSensorInfo);
    EXPECT_EQ(Row(11), "ChB Type: SelvoP11-120");
    EXPECT_EQ(Row(12), "Cal Date: 24/02/26");
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Serial-No. 00100871");
    EXPECT_EQ(Row(12), "Part-No.   52206001");
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "ChB Type: SelvoP11-120");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeInfo);
}

TEST(VdxPages, CalibrationDataStepsThroughTheSetsPresent) {
    PlugAndSettle("PH_SelvoP11_1.txt", 1);
    Press(kKeyInfo);
    ASSERT_TRUE(Choose("VDX Diagnostics"));
    ASSERT_TRUE(Choose("ChB Cal History"));
    EXPECT_EQ(Menu_TopScreen(), kScreenCalData);
    std::vector<std::string> names;
    for (int i = 0; i < 7; ++i) {
        std::string name = Row(11).substr(0, 4);
        if (name.back() == ' ') name.pop_back();
        names.push_back(name);
        Press(kKeyUp);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Fact", "Act", "1Adj", "Cal1", "Cal2", "Cal3", "Fact"}));
    // "Cal1": 26 February 2024, slope and zero point from its two points.
    Press(kKeyUp);
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Cal1 24/02/26");
    std::string row12 = Row(12);
    EXPECT_EQ(row12.substr(0, 2), "S=");
    EXPECT_NE(row12.find("%"), std::string::npos);
    EXPECT_EQ(row12.substr(12, 2), "Z=");
    EXPECT_EQ(row12.substr(row12.size() - 2), "pH");
    Press(kKeyInfo);
    EXPECT_EQ(Row(11).substr(0, 4), "1Adj");
}

TEST(VdxPages, NewSensorOffersOnlyFactoryAndActualSets) {
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    VdxPage_OpenCalData(1, 1);
    EXPECT_EQ(Row(11).substr(0, 3), "Act");
    VdxPage_CalDataKey(kEventUp);
    EXPECT_EQ(Row(11).substr(0, 4), "Fact");
    VdxPage_CalDataKey(kEventDown);
    EXPECT_EQ(Row(11).substr(0, 3), "Act");
}

TEST(VdxPages, FieldsOutsideTheirLimitsAreAsterisksOrUnderscores) {
    ui_test::BootHome();
    Lcd_FillStatusRows(0);
    EXPECT_EQ(VdxPage_DrawField110(12, 0, 120.0f, 5), 5u);
    EXPECT_EQ(Row(12), "*****");
    VdxPage_DrawField110(12, 0, -120.0f, 5);
    EXPECT_EQ(Row(12), "_____");
    VdxPage_DrawField110(12, 0, 98.7654f, 5);
    EXPECT_EQ(Row(12), "98.77");
    Lcd_FillStatusRows(0);
    VdxPage_DrawFieldPh(12, 0, 7.0f, 5);
    EXPECT_EQ(Row(12), "7.000");
    Lcd_FillStatusRows(0);
    // A whole number that leaves room gets its point.
    EXPECT_EQ(VdxPage_DrawFieldWide5(12, 0, 1234.0f, 5), 5u);
    EXPECT_EQ(Row(12), "1234.");
    Lcd_FillStatusRows(0);
    VdxPage_DrawWideField(12, 0, 2500.0f);
    EXPECT_EQ(Row(12), "2.5000K");
}

TEST(VdxPages, CyclesTimersAndMaximumTemperature) {
    PlugAndSettle("PH_SelvoP11_1.txt", 1);
    VdxPage_DrawCycles(2, 1);
    EXPECT_EQ(Row(11), "ChB AutoClave");
    EXPECT_EQ(Row(12), "Cycles         4 of 254");
    VdxPage_DrawCycles(0, 1);
    EXPECT_EQ(Row(12), "CIP Cycles    58 of 254");
    // Only the operating time while no timer alarm is enabled.
    g_CycleAlarmEnable = 0;
    VdxPage_DrawTimers(1, 0);
    EXPECT_EQ(Row(11).substr(0, 14), "Operating Days");
    EXPECT_EQ(VdxPage_NextTimer(3), 3u);
    g_CycleAlarmEnable = kDiagEnableLifetime | kDiagEnableAct;
    g_SensDiagAlarms[kDiagAlarmLifetime].off = 0;
    g_SensDiagAlarms[kDiagAlarmAct].off = 0;
    EXPECT_EQ(VdxPage_NextTimer(3), 0u);
    EXPECT_EQ(VdxPage_NextTimer(0), 2u);
    EXPECT_EQ(VdxPage_PrevTimer(0), 3u);
    VdxPage_DrawTimers(1, 0);
    EXPECT_EQ(Row(11).substr(0, 18), "Lifetime Indicator");
    std::string bar = Row(12);
    EXPECT_EQ(bar.substr(bar.size() - 1), "%");
    VdxPage_DrawMaxTemp();
    EXPECT_EQ(Row(11), "ChB Max. Temperature");
    EXPECT_EQ(Row(12), "Tmax 128.60\u00b0C 23/11/14");
}

TEST(VdxPages, CalibrationValuesOfAConductivityChannelShowMAndA) {
    PlugAndSettle("COND_SelvoK11_0.txt", 4);
    VdxPage_OpenCalHistory(1);
    EXPECT_EQ(Row(11).substr(0, 5), "BP M=");
    EXPECT_EQ(Row(11).substr(14, 2), "A=");
    EXPECT_EQ(Row(12).substr(0, 5), "BS M=");
    EXPECT_EQ(Row(12).substr(14, 2), "A=");
}

TEST(VdxPages, CalibrationValuesOfAPhSensorTurnToItsOrpOffset) {
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    uint32_t status = 0;
    CalPh_SetOrpOffset(1, -23.0f, &status);
    Press(kKeyInfo);
    ASSERT_TRUE(Choose("Calibration Data"));
    ASSERT_EQ(Menu_TopScreen(), kScreenCalHistory);
    EXPECT_EQ(Row(11), "BP S=99.79%   Z=7.021pH");
    // UP shows the offset behind its word, INFO the calibration values again.
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "B  Offset -23 mV");
    EXPECT_EQ(Row(12), "");
    Press(kKeyInfo);
    EXPECT_EQ(Row(11), "BP S=99.79%   Z=7.021pH");
    // In Russian the word is two cells longer; the value moves with it.
    g_Language = 6;
    Press(kKeyUp);
    std::vector<std::string> cells = ui_test::RowCells(11);
    std::string shown;
    for (size_t i = 12; i < 19; ++i) shown += cells[i];
    EXPECT_EQ(shown, "-23 mV ") << Row(11);
    g_Language = 0;
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenTreeInfo);
}

TEST(VdxPages, CalibrationValuesOfACo2SensorFollowTheUnitsAsPhDoes) {
    // SelvoC11's calibration in use: 57.92 mV/pH, zero point 6.86 pH.
    PlugAndSettle("CO2_SelvoC11_0.txt", 10);
    Press(kKeyInfo);
    ASSERT_TRUE(Choose("Calibration Data"));
    ASSERT_EQ(Menu_TopScreen(), kScreenCalHistory);
    EXPECT_EQ(Row(11), "BP S=97.91%   Z=6.860pH");
    // The slope in mV/pH and the zero in mV, as the options show a pH electrode's.
    uint32_t status = 0;
    CalPh_SetSlopeUnitFlag(0, 1, &status);
    CalPh_SetOffsetUnitFlag(0, 1, &status);
    Press(kKeyEnter);
    ASSERT_TRUE(Choose("Calibration Data"));
    EXPECT_EQ(Row(11), "BP S=57.9mV/pH Z=-8.09mV");
}

TEST(VdxPages, FactoryCalibrationShowsTheSlopeAndZeroOfItsRecord) {
    struct Sensor {
        const char* file;
        uint8_t code;
        const char* percentAndPh;
        const char* mvPerPhAndMv;
    };
    // The factory records: SelvoP11 59.05 mV/pH and 7.02 pH, SelvoN11 58.5 and 6.99, SelvoC11
    // 58.9 and 6.95 (the zero points as their 14-bit fields hold them).
    const Sensor sensors[] = {{"PH_SelvoP11_0.txt", 1, "S=99.81%    Z=7.020pH", "S=59.05mV/pHZ=1.181mV"},
                              {"pNa_SelvoN11_0.txt", 2, "S=98.88%    Z=6.990pH", "S=58.50mV/pHZ=-0.57mV"},
                              {"CO2_SelvoC11_0.txt", 10, "S=99.56%    Z=6.950pH", "S=58.90mV/pHZ=-2.97mV"}};
    for (const Sensor& s : sensors) {
        SCOPED_TRACE(s.file);
        PlugAndSettle(s.file, s.code);
        Press(kKeyInfo);
        ASSERT_TRUE(Choose("VDX Diagnostics"));
        ASSERT_TRUE(Choose("ChB Cal History"));
        ASSERT_EQ(Menu_TopScreen(), kScreenCalData);
        EXPECT_EQ(Row(11).substr(0, 4), "Fact");
        EXPECT_EQ(Row(12), s.percentAndPh);
        // The same record in mV/pH and mV about the isothermal point.
        uint32_t status = 0;
        CalPh_SetSlopeUnitFlag(0, 1, &status);
        CalPh_SetOffsetUnitFlag(0, 1, &status);
        Press(kKeyUp);
        Press(kKeyInfo);
        EXPECT_EQ(Row(12), s.mvPerPhAndMv);
    }
}

namespace {
// The first cell from `from` on where the codes stand whole; -1 when none.
int FindWhole(uint32_t row, const std::string& codes, int from) {
    for (int cell = from; 6 * (cell + static_cast<int>(codes.size())) <= static_cast<int>(kLcdTextColumns); ++cell) {
        if (ui_test::GlyphsDrawn(row, 6 * static_cast<uint32_t>(cell), codes)) return cell;
    }
    return -1;
}

// A word of row 11 whole from `from` on, then after at least one blank cell a number of three
// digits (blanks for leading zeros); returns the cell after the number.
int ExpectWordAndNumber(const std::string& word, int from, const std::string& where) {
    std::vector<std::string> cells = ui_test::RowCells(11);
    int at = FindWhole(11, word, from);
    EXPECT_GE(at, 0) << where << ": a word is not whole: " << Row(11);
    if (at < 0) return from;
    size_t v = static_cast<size_t>(at) + word.size();
    EXPECT_EQ(cells[v], " ") << where << ": no blank after the word: " << Row(11);
    while (v < cells.size() && cells[v] == " ") ++v;
    std::string number;
    for (size_t i = v; i < v + 3 && i < cells.size(); ++i) number += cells[i];
    EXPECT_EQ(number.find_first_not_of("0123456789"), std::string::npos) << where << ": " << Row(11);
    EXPECT_EQ(number.size(), 3u) << where << ": " << Row(11);
    return static_cast<int>(v + 3);
}
}  // namespace

TEST(VdxPages, CycleSetUpRowsStandWholeInEveryLanguage) {
    PlugAndSettle("PH_SelvoP11_1.txt", 1);
    g_CycleAlarmEnable |= kDiagEnableCip | kDiagEnableSip | kDiagEnableAutoclave;
    // By keys: the limit stands behind "Max", the temperature behind "Temp".
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("VDX Setup"));
    ASSERT_TRUE(Choose("CIP Cycle Limit"));
    ASSERT_EQ(Menu_TopScreen(), kScreenCycleLimitSetup);
    EXPECT_EQ(Row(11), "CIP Max 254   Temp   055");
    ui_test::EscapeKey();
    // Every language, the three set-up pages: the page's words and the values whole.
    const uint32_t kItems[3] = {kItemCipCycleLimit, kItemSipCycleLimit, kItemAutoclaveCycleLimit};
    for (uint32_t language = 0; language < kLanguages; ++language) {
        for (uint32_t page = 0; page < 3; ++page) {
            g_Language = static_cast<uint8_t>(language);
            Press(kKeyMenu);
            ui_test::Post(kItems[page]);
            ASSERT_EQ(Menu_TopScreen(), kScreenCycleLimitSetup);
            std::string where = "language " + std::to_string(language) + " page " + std::to_string(page);
            EXPECT_EQ(Row(11).find("\uFFFD"), std::string::npos) << where << ": " << Row(11);
            const ParamPageDesc& d = g_ParamPageTable[kParamPageCipAlarm + page];
            const uint32_t group = ParamPage_LabelGroup(kParamPageCipAlarm + page);
            std::string name = ui_test::TextCodes(TextRef{static_cast<uint8_t>(group), d.labelItem[0]});
            std::string max = ui_test::TextCodes(TextRef{static_cast<uint8_t>(group), d.labelItem[1]});
            EXPECT_EQ(FindWhole(11, name, 0), 0) << where << ": " << Row(11);
            int end = ExpectWordAndNumber(max, static_cast<int>(name.size()) + 1, where);
            if (page < 2) end = ExpectWordAndNumber(ui_test::TextCodes(kTextTempLabel), end + 1, where);
            EXPECT_LE(end, static_cast<int>(kLcdTextColumns / 6)) << where << ": " << Row(11);
            ui_test::EscapeKey();
        }
    }
    g_Language = 0;
}

TEST(VdxPages, OpticalErrorListEndsWithTheTemperaturesFromThePanel) {
    PlugAndSettle("OPT_SelvoQ11_0.txt", 9);
    Panel_SetSimInput(1, kSimTemperatureB, 31.5f);
    Rig_AdvanceMs(8000);
    g_SensorStatusWord[1] = 0;
    // MENU > Service > Diagnostics > O2 Opt.
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Service"));
    ASSERT_TRUE(Choose("Diagnostics"));
    ASSERT_TRUE(Choose("O2 Opt"));
    EXPECT_EQ(Menu_TopScreen(), kScreenOpticalErrors);
    g_SensorStatusWord[1] = 0;
    VdxPage_OpenOptErrors();
    EXPECT_EQ(Row(12), "Tspot = 31.5 \u00b0C        $");
    Press(kKeyUp);
    Rig_AdvanceMs(600);
    EXPECT_EQ(Row(12), "Tboard = 31.5 \u00b0C       $");
    Press(kKeyUp);
    EXPECT_EQ(Row(12).substr(0, 7), "Tspot =");
    // An active error comes first; the mark selected, ENTER leaves.
    g_SensorStatusWord[1] = 1u << 8;
    VdxPage_DrawOptErrors(0);
    EXPECT_EQ(Row(12), "Shaft removed          $");
    Press(kKeyCal);
    Press(kKeyEnter);
    EXPECT_NE(Menu_TopScreen(), kScreenOpticalErrors);
}

namespace {
// "VDX Setup", "CIP Cycle Limit" by keys, with the PID pulsing relay 2 in the working set.
void OpenCipSetupWithPidOnRelay2() {
    PlugAndSettle("PH_SelvoP11_1.txt", 1);
    // Nothing in the instrument's settings offers the cycle limits; the CIP alarm's enable bit
    // brings them into "VDX Setup".
    g_CycleAlarmEnable |= kDiagEnableCip;
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    g_WorkSet.pid.relayPositive = 1;
    g_WorkSet.alarm.relay = kRelayNone;
    ASSERT_TRUE(Choose("VDX Setup"));
    ASSERT_TRUE(Choose("CIP Cycle Limit"));
    ASSERT_EQ(Menu_TopScreen(), kScreenCycleLimitSetup);
    EXPECT_EQ(Row(12), "Alarm No  OC#_         $");
}

// From the limit's first digit over the temperature to "Alarm", "Yes"; on to "OC#", steps up.
void ChooseAlarmOnRelay(int steps) {
    for (int i = 0; i < 6; ++i) Press(kKeyCal);
    Press(kKeyUp);
    Press(kKeyCal);
    ui_test::Step(steps);
}
}  // namespace

TEST(VdxPages, CycleLimitSetupAsksToStopARelayThePidPulses) {
    {
        SCOPED_TRACE("the alarm on relay 2, which the PID pulses: \"Stop OC\" asks");
        OpenCipSetupWithPidOnRelay2();
        // Relay 1 is the cleaning's and is passed over.
        ChooseAlarmOnRelay(1);
        EXPECT_EQ(Row(12), "Alarm Yes OC#2         $");
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
        EXPECT_EQ(ParamPage_CurrentPage(), kParamPageStopRelayAsked);
        EXPECT_EQ(Row(11).substr(0, 10), "Stop OC #2");
        // Its leave marker goes back to the set-up as it was left.
        Press(kKeyMenu);
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenCycleLimitSetup);
        EXPECT_EQ(Row(12), "Alarm Yes OC#2         $");
        // Leaving the set-up from its own leave marker asks too; answered "No", the menu is back
        // and the relay stays the PID's.
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
        EXPECT_EQ(ParamPage_CurrentPage(), kParamPageStopRelayAsked);
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenTreeMenu);
        EXPECT_EQ(g_WorkSet.pid.relayPositive, 1);
        // Opened again, the set-up shows the alarm without the relay; given relay 2 again, ENTER in
        // a field asks, and "Yes" takes the relay from the PID and leads to "Save Changes".
        ASSERT_TRUE(Choose("CIP Cycle Limit"));
        ASSERT_EQ(Menu_TopScreen(), kScreenCycleLimitSetup);
        EXPECT_EQ(Row(12), "Alarm Yes OC#_         $");
        for (int i = 0; i < 7; ++i) Press(kKeyCal);
        ui_test::Step(1);
        EXPECT_EQ(Row(12), "Alarm Yes OC#2         $");
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
        EXPECT_EQ(ParamPage_CurrentPage(), kParamPageStopRelayAsked);
        Press(kKeyUp);
        Press(kKeyEnter);
        EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);
        EXPECT_EQ(g_WorkSet.pid.relayPositive, kRelayNone);
        EXPECT_EQ(g_SlotEdit.cycle[0].output, 1);
    }
    {
        SCOPED_TRACE("the alarm on no relay: no question");
        OpenCipSetupWithPidOnRelay2();
        ChooseAlarmOnRelay(0);
        EXPECT_EQ(Row(12), "Alarm Yes OC#_         $");
        Press(kKeyEnter);
        EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    }
    {
        // A message-only alarm keeps its relay too, and the relay counts as used by it.
        SCOPED_TRACE("relay 2 without the alarm: asked all the same");
        OpenCipSetupWithPidOnRelay2();
        for (int i = 0; i < 7; ++i) Press(kKeyCal);
        Press(kKeyUp);
        EXPECT_EQ(Row(12), "Alarm No  OC#2         $");
        Press(kKeyEnter);
        ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
        EXPECT_EQ(ParamPage_CurrentPage(), kParamPageStopRelayAsked);
    }
}
