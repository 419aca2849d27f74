// The panel's inputs without the window: value texts, spin steps, the store limits as the edits
// feed them, per-kind rows, sensor models, the stored channel set-up and the clock copy.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <ctime>
#include <string>

#include "core/eeprom.h"
#include "core/rtc.h"
#include "fw_main.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/hold.h"
#include "panel/Resource.h"
#include "panel/inputs.h"
#include "rig.h"
#include "sim/sim_inputs.h"

TEST(PanelInputs, ValueTextsWithKAndMSuffixes) {
    EXPECT_FLOAT_EQ(Panel_ParseValueText("30.00"), 30.0f);
    EXPECT_FLOAT_EQ(Panel_ParseValueText("2.2M"), 2200000.0f);
    EXPECT_FLOAT_EQ(Panel_ParseValueText("1.5K"), 1500.0f);
    EXPECT_FLOAT_EQ(Panel_ParseValueText("-12.5"), -12.5f);
    EXPECT_FLOAT_EQ(Panel_ParseValueText(" 7"), 7.0f);
    EXPECT_FLOAT_EQ(Panel_ParseValueText("+3"), 3.0f);
    // Only the number at the start counts; no number reads as zero.
    EXPECT_FLOAT_EQ(Panel_ParseValueText("25.0oC"), 25.0f);
    EXPECT_FLOAT_EQ(Panel_ParseValueText("abc"), 0.0f);
    EXPECT_FLOAT_EQ(Panel_ParseValueText("M"), 0.0f);
    EXPECT_FLOAT_EQ(Panel_ParseValueText(""), 0.0f);

    EXPECT_EQ(Panel_FormatValueText(0.0f), "0.00");
    EXPECT_EQ(Panel_FormatValueText(999.99f), "999.99");
    EXPECT_EQ(Panel_FormatValueText(1000.0f), "1.00K");
    EXPECT_EQ(Panel_FormatValueText(-1500.0f), "-1.50K");
    EXPECT_EQ(Panel_FormatValueText(999999.0f), "1000.00K");
    EXPECT_EQ(Panel_FormatValueText(2200000.0f), "2.20M");
    EXPECT_EQ(Panel_FormatValueText(-3000000.0f), "-3.00M");
}

TEST(PanelInputs, TextsIgnoreTheDesktopsDecimalComma) {
    // A desktop whose numbers take a decimal comma: the build compiles such a locale for the
    // tests, so this runs wherever they run.
#ifdef KORVI_COMMA_LOCALE_PATH
    setenv("LOCPATH", KORVI_COMMA_LOCALE_PATH, 1);
#endif
    const char* locale = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    unsetenv("LOCPATH");
    ASSERT_NE(locale, nullptr) << "no locale with a decimal comma";
    ASSERT_STREQ(std::localeconv()->decimal_point, ",");
    // Numbers still use the point, on the way in and on the way out.
    EXPECT_FLOAT_EQ(Panel_ParseValueText("2.5"), 2.5f);
    EXPECT_EQ(Panel_FormatValueText(2.5f), "2.50");
    EXPECT_EQ(Panel_FormatValueText(1500.0f), "1.50K");
    EXPECT_TRUE(Panel_EnterFieldText(kFieldBTemperature, "25.5"));
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimTemperatureB), 25.5f);
    EXPECT_EQ(Panel_StepField(kFieldBTemperature, -1), "25.51");
    // A comma ends the number at its start, as any other character does.
    EXPECT_FLOAT_EQ(Panel_ParseValueText("2,5"), 2.0f);
    std::setlocale(LC_NUMERIC, "C");
}

TEST(PanelInputs, EditsFeedTheStoreWithItsLimits) {
    // Channel A pH/ORP: the primary row is the electrode potential, typed in mV.
    Panel_StoreInputText(0, kSimElectrodeVolts, "1500");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 1.5f);
    Panel_StoreInputText(0, kSimElectrodeVolts, "3000");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.5f);
    // An emptied edit feeds zero.
    Panel_StoreInputText(0, kSimElementOhm, "1097.4");
    Panel_StoreInputText(0, kSimElementOhm, "");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElementOhm), 0.0f);

    // The analog input: empty is 4 mA, and the store keeps it within 0 to 23 mA.
    Panel_ReadAnalogInput("");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 4.0f);
    Panel_ReadAnalogInput("30");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 23.0f);
    Panel_ReadAnalogInput("-1");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 0.0f);
    Panel_ReadAnalogInput("12.5");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 12.5f);
}

TEST(PanelInputs, ATextThatIsNoNumberKeepsTheValueInUse) {
    // Letters, "nan", a lone sign or point, or a number no float holds: refused, and the store
    // keeps what it had; the emptied edit keeps its own rule.
    Panel_StoreInputText(0, kSimElementOhm, "1097.4");
    for (const char* text :
         {"abc", "nan", "NaN", "-nan", "inf", "+inf", "-", ".", "K", "M", " ", "1e39", "1e400", "-1e39M"}) {
        EXPECT_FALSE(Panel_StoreInputText(0, kSimElementOhm, text)) << text;
        EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElementOhm), 1097.4f) << text;
        float value = 7.0f;
        EXPECT_FALSE(Panel_TryParseValueText(text, &value)) << text;
        EXPECT_FLOAT_EQ(value, 7.0f) << text;
    }
    // A resistance row in megaohm: "1e33M" is a number, but no float of ohms counted in megaohm.
    Panel_StoreInputText(0, kSimGlassImpedance, "2.2M");
    EXPECT_FALSE(Panel_StoreInputText(0, kSimGlassImpedance, "nanM"));
    EXPECT_TRUE(Panel_StoreInputText(0, kSimGlassImpedance, "1e33M"));
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimGlassImpedance), 1e33f);
    EXPECT_FALSE(Panel_StoreInputText(0, kSimCondSignal, "1e33M"));
    // The electrode potential keeps its volts; the analog input its milliamperes.
    Panel_StoreInputText(0, kSimElectrodeVolts, "59.16");
    EXPECT_FALSE(Panel_StoreInputText(0, kSimElectrodeVolts, "nan"));
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 0.05916f);
    Panel_ReadAnalogInput("12.5");
    EXPECT_FALSE(Panel_ReadAnalogInput("mA"));
    EXPECT_FALSE(Panel_ReadAnalogInput("inf"));
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 12.5f);
    // A number at the start is taken, whatever follows it.
    EXPECT_TRUE(Panel_StoreInputText(1, kSimTemperatureB, "25.0oC"));
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimTemperatureB), 25.0f);
    EXPECT_TRUE(Panel_StoreInputText(1, kSimTemperatureB, " +30"));
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimTemperatureB), 30.0f);
    // The empty texts keep their values: 0 in a sensor row, 4 mA in the analog input.
    EXPECT_TRUE(Panel_StoreInputText(1, kSimTemperatureB, ""));
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimTemperatureB), 0.0f);
    EXPECT_TRUE(Panel_ReadAnalogInput(""));
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 4.0f);
}

TEST(PanelInputs, FieldsKeepTheTextTheirValueCameFrom) {
    // As the dialog opens: every field's default text taken.
    for (uint32_t field = 0; field < kInputFields; ++field) {
        EXPECT_EQ(Panel_FieldTextInUse(field), Panel_FieldDefaultText(field)) << field;
        EXPECT_TRUE(Panel_EnterFieldText(field, Panel_FieldDefaultText(field))) << field;
    }
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElementOhm), 1097.4f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimTemperatureB), 25.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimRefImpedance), 30.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 4.0f);

    // Typing: every text on the way is offered; a number is taken, anything else refused, and the
    // field's text in use (which the panel shows again when the user leaves the field) stays the
    // last number.
    Panel_SetPrimaryQuantity(0, kSimElectrodeVolts);
    const char* typed[] = {"-", "-5", "-59", "-59.", "-59.1", "-59.1x"};
    const bool taken[] = {false, true, true, true, true, true};
    const char* inUse[] = {"0.00", "-5", "-59", "-59.", "-59.1", "-59.1x"};
    for (uint32_t i = 0; i < 6; ++i) {
        EXPECT_EQ(Panel_EnterFieldText(kFieldAPrimary, typed[i]), taken[i]) << typed[i];
        EXPECT_EQ(Panel_FieldTextInUse(kFieldAPrimary), inUse[i]) << typed[i];
    }
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), -0.0591f);
    EXPECT_FALSE(Panel_EnterFieldText(kFieldAPrimary, "nan"));
    EXPECT_FALSE(Panel_EnterFieldText(kFieldAPrimary, "abc"));
    EXPECT_EQ(Panel_FieldTextInUse(kFieldAPrimary), "-59.1x");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), -0.0591f);
    EXPECT_FALSE(Panel_EnterFieldText(kFieldAnalogIn, "four"));
    EXPECT_EQ(Panel_FieldTextInUse(kFieldAnalogIn), "4");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 4.0f);
    EXPECT_TRUE(Panel_EnterFieldText(kFieldAnalogIn, ""));
    EXPECT_EQ(Panel_FieldTextInUse(kFieldAnalogIn), "");
    // No such field.
    EXPECT_FALSE(Panel_EnterFieldText(kInputFields, "1"));
    EXPECT_EQ(Panel_FieldTextInUse(kInputFields), "");

    // A spin step writes the field: its text is in use, and the value is what the text says.
    EXPECT_EQ(Panel_StepField(kFieldATemperature, -1), "1.11K");
    EXPECT_EQ(Panel_FieldTextInUse(kFieldATemperature), "1.11K");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElementOhm), 1110.0f);
    // After a refused text the step starts from the value in use.
    EXPECT_FALSE(Panel_EnterFieldText(kFieldBRg, "x"));
    EXPECT_EQ(Panel_StepField(kFieldBRg, -1), "100.01");

    // A primary row that changes its quantity feeds its text in use to the new one.
    Panel_SetPrimaryQuantity(0, kSimCondSignal);
    EXPECT_EQ(Panel_FieldQuantity(kFieldAPrimary), kSimCondSignal);
    Panel_RetakeFieldTexts();
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimCondSignal), -59.1f);
}

TEST(PanelInputs, ANumberBeyondTheLimitsIsMarkedAndShowsTheValueUsed) {
    // The analog input: -5 mA is used as 0 mA. The field is marked as a refused text is, and the
    // text it shows again once the user leaves it is the value used.
    EXPECT_EQ(Panel_TakeFieldText(kFieldAnalogIn, "12.5"), kFieldTaken);
    EXPECT_EQ(Panel_TakeFieldText(kFieldAnalogIn, "-5"), kFieldLimited);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 0.0f);
    EXPECT_EQ(Panel_FieldTextInUse(kFieldAnalogIn), "0.00");
    EXPECT_EQ(Panel_TakeFieldText(kFieldAnalogIn, "30"), kFieldLimited);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 23.0f);
    EXPECT_EQ(Panel_FieldTextInUse(kFieldAnalogIn), "23.00");
    EXPECT_TRUE(Panel_EnterFieldText(kFieldAnalogIn, "-1")) << "a limited number is taken";
    // The ends themselves, and the emptied field's 4 mA, are no limit.
    for (const char* text : {"0", "23", "23.0", ""}) {
        EXPECT_EQ(Panel_TakeFieldText(kFieldAnalogIn, text), kFieldTaken) << text;
        EXPECT_EQ(Panel_FieldTextInUse(kFieldAnalogIn), text);
    }
    // A text that is no number is still refused, the value in use kept.
    EXPECT_EQ(Panel_TakeFieldText(kFieldAnalogIn, "-"), kFieldRefused);
    EXPECT_EQ(Panel_FieldTextInUse(kFieldAnalogIn), "");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 4.0f);

    // The electrode potential in mV, kept within 2.5 V: the value used in the row's own form.
    Panel_SetPrimaryQuantity(0, kSimElectrodeVolts);
    EXPECT_EQ(Panel_TakeFieldText(kFieldAPrimary, "-3000"), kFieldLimited);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), -2.5f);
    EXPECT_EQ(Panel_FieldTextInUse(kFieldAPrimary), "-2.50K");
    for (const char* text : {"2500", "1234.56", "-59.1", "2.5K"}) {
        EXPECT_EQ(Panel_TakeFieldText(kFieldAPrimary, text), kFieldTaken) << text;
    }
    // Rows without limits take any number.
    EXPECT_EQ(Panel_TakeFieldText(kFieldBTemperature, "-500"), kFieldTaken);

    // A spin step beyond the limit shows the value used.
    EXPECT_EQ(Panel_TakeFieldText(kFieldAnalogIn, "23"), kFieldTaken);
    EXPECT_EQ(Panel_StepField(kFieldAnalogIn, -1), "23.00");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 23.0f);
    EXPECT_EQ(Panel_StepField(kFieldAnalogIn, 1), "22.99");
}

TEST(PanelInputs, SpinStepsByMagnitude) {
    // The up arrow (delta -1) raises, the down arrow (+1) lowers.
    Panel_StoreInputText(1, kSimTemperatureB, "25.0");
    EXPECT_EQ(Panel_StepInputText(1, kSimTemperatureB, 1), "24.99");
    EXPECT_EQ(Panel_StepInputText(1, kSimTemperatureB, -1), "25.00");
    EXPECT_EQ(Panel_StepInputText(1, kSimTemperatureB, 0), "25.01");

    // Between 1000 and 1000000 the step is 10.
    Panel_StoreInputText(0, kSimCondSignal, "5K");
    EXPECT_EQ(Panel_StepInputText(0, kSimCondSignal, -1), "5.01K");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimCondSignal), 5010.0f);

    // The electrode potential steps in mV: 999 mV steps by 0.01 mV, 1000 mV by 10 mV.
    Panel_StoreInputText(0, kSimElectrodeVolts, "999");
    EXPECT_EQ(Panel_StepInputText(0, kSimElectrodeVolts, -1), "999.01");
    Panel_StoreInputText(0, kSimElectrodeVolts, "1000");
    EXPECT_EQ(Panel_StepInputText(0, kSimElectrodeVolts, -1), "1.01K");
    // A step beyond 2.5 V is taken in full; the next reading of the edit limits it again.
    Panel_StoreInputText(0, kSimElectrodeVolts, "2500");
    EXPECT_EQ(Panel_StepInputText(0, kSimElectrodeVolts, -1), "2.51K");
    Panel_StoreInputText(0, kSimElectrodeVolts, "2510");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.5f);
}

TEST(PanelInputs, ResistanceRowsCountInTheirOwnUnit) {
    // "Rg" in megaohm: a suffix gives ohms, counted in megaohm; a bare number is megaohm already.
    for (uint32_t channel = 0; channel < 2; ++channel) {
        Panel_StoreInputText(channel, kSimGlassImpedance, "2.2M");
        EXPECT_FLOAT_EQ(Panel_GetSimInput(channel, kSimGlassImpedance), 2.2f);
        Panel_StoreInputText(channel, kSimGlassImpedance, "2200K");
        EXPECT_FLOAT_EQ(Panel_GetSimInput(channel, kSimGlassImpedance), 2.2f);
        Panel_StoreInputText(channel, kSimGlassImpedance, "100.00");
        EXPECT_FLOAT_EQ(Panel_GetSimInput(channel, kSimGlassImpedance), 100.0f);
    }
    // Spin steps and the text follow megaohm; a large value keeps its unit rather than taking a
    // suffix that would read back as ohms.
    Panel_StoreInputText(1, kSimGlassImpedance, "2.2M");
    EXPECT_EQ(Panel_StepInputText(1, kSimGlassImpedance, 1), "2.19");
    EXPECT_EQ(Panel_StepInputText(1, kSimGlassImpedance, -1), "2.20");
    EXPECT_EQ(Panel_StepInputText(1, kSimGlassImpedance, -1), "2.21");
    Panel_StoreInputText(0, kSimGlassImpedance, "2000");
    std::string text = Panel_StepInputText(0, kSimGlassImpedance, -1);
    EXPECT_EQ(text, "2010.00");
    Panel_StoreInputText(0, kSimGlassImpedance, text.c_str());
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimGlassImpedance), 2010.0f);

    // Channel A's "Rr/pNa Rg" in kilohm.
    Panel_StoreInputText(0, kSimRefImpedance, "1.5M");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimRefImpedance), 1500.0f);
    Panel_StoreInputText(0, kSimRefImpedance, "30.00");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimRefImpedance), 30.0f);
    EXPECT_EQ(Panel_StepInputText(0, kSimRefImpedance, -1), "30.01");

    // Channel B's fourth row: kilohm for a reference electrode, megaohm for a pNa sensor's second
    // glass electrode, as its unit label says.
    SensorBRows pna = Panel_ChooseSensorB(2);
    EXPECT_STREQ(pna.fourthUnit, "Mohm");
    Panel_StoreInputText(1, kSimRefImpedance, "500K");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimRefImpedance), 0.5f);
    SensorBRows ph = Panel_ChooseSensorB(0);
    EXPECT_STREQ(ph.fourthUnit, "Kohm");
    Panel_StoreInputText(1, kSimRefImpedance, "500K");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimRefImpedance), 500.0f);
    // A model without electrodes leaves the row, and its unit, as they were.
    Panel_ChooseSensorB(2);
    Panel_ChooseSensorB(3);
    Panel_StoreInputText(1, kSimRefImpedance, "2M");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimRefImpedance), 2.0f);

    // Rows kept in ohm take the suffix as ohms, as before.
    Panel_StoreInputText(0, kSimElementOhm, "1.1K");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElementOhm), 1100.0f);
    Panel_StoreInputText(1, kSimCondSignal, "2.2M");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimCondSignal), 2200000.0f);
}

TEST(PanelInputs, TypedResistancesReachTheMeasurementInOhm) {
    // Channel A pH: "2.2M" typed into "Rg" is a 2.2-megaohm glass electrode, "50K" in "Rr/pNa Rg"
    // a 50-kilohm reference, as the firmware's decoder reads them.
    Rig_Reset(Rig_MakeTempFolder());
    Rig_Boot();
    Panel_StoreInputText(0, kSimGlassImpedance, "2.2M");
    Panel_StoreInputText(0, kSimRefImpedance, "50K");
    Rig_AdvanceMs(2000);
    EXPECT_NEAR(Meas_GetFieldFloat(0, kPhFieldGlass), 2.2e6f, 1.0f);
    EXPECT_NEAR(Meas_GetFieldFloat(0, kPhFieldReference), 5e4f, 0.01f);
}

TEST(PanelInputs, ListChoicesSetTheRows) {
    // Channel B, by model: unit and primary quantity, the electrode rows, the fourth row.
    SensorBRows ph = Panel_ChooseSensorB(0);
    EXPECT_STREQ(ph.primaryUnit, "mV");
    EXPECT_EQ(Panel_GetPrimaryQuantity(1), kSimElectrodeVolts);
    EXPECT_TRUE(ph.electrodeRows);
    EXPECT_STREQ(ph.fourthUnit, "Kohm");
    EXPECT_STREQ(ph.fourthText, "30.00");
    SensorBRows pna = Panel_ChooseSensorB(2);  // "SelvoN11"
    EXPECT_TRUE(pna.electrodeRows);
    EXPECT_STREQ(pna.fourthUnit, "Mohm");
    EXPECT_STREQ(pna.fourthText, "100.00");
    SensorBRows co2 = Panel_ChooseSensorB(11);  // "SelvoC11"
    EXPECT_STREQ(co2.primaryUnit, "mV");
    EXPECT_TRUE(co2.electrodeRows);
    EXPECT_STREQ(co2.fourthUnit, "Kohm");
    SensorBRows cond = Panel_ChooseSensorB(3);  // "SelvoK11"
    EXPECT_STREQ(cond.primaryUnit, "ohm");
    EXPECT_EQ(Panel_GetPrimaryQuantity(1), kSimCondSignal);
    EXPECT_FALSE(cond.electrodeRows);
    EXPECT_EQ(cond.fourthUnit, nullptr);
    EXPECT_EQ(cond.fourthText, nullptr);
    SensorBRows oxygen = Panel_ChooseSensorB(4);  // "SelvoD11"
    EXPECT_STREQ(oxygen.primaryUnit, "nA");
    EXPECT_EQ(Panel_GetPrimaryQuantity(1), kSimSensorCurrent);
    EXPECT_FALSE(oxygen.electrodeRows);
    SensorBRows optical = Panel_ChooseSensorB(9);  // "SelvoQ11"
    EXPECT_EQ(Panel_GetPrimaryQuantity(1), kSimPrimaryKind9);
    EXPECT_FALSE(optical.electrodeRows);
    // No selection, and the list emptied: no sensor, a resistance, no electrode rows.
    for (SensorBRows none : {Panel_ChooseSensorB(-1), Panel_ChooseSensorB(14), Panel_ClearSensorB()}) {
        EXPECT_STREQ(none.primaryUnit, "ohm");
        EXPECT_FALSE(none.electrodeRows);
        EXPECT_EQ(none.fourthUnit, nullptr);
    }
    Panel_ChooseSensorB(0);
    Panel_ClearSensorB();
    EXPECT_EQ(Panel_GetPrimaryQuantity(1), kSimCondSignal);

    // Channel A: the list follows the configured kind, whatever is chosen.
    SensorARows a = Panel_ChooseSensorA(3, 1);
    EXPECT_STREQ(a.primaryUnit, "mV");
    EXPECT_EQ(Panel_GetPrimaryQuantity(0), kSimElectrodeVolts);
    EXPECT_TRUE(a.glassRow);
    EXPECT_TRUE(a.referenceRow);
    a = Panel_ChooseSensorA(1, 5);
    EXPECT_STREQ(a.primaryUnit, "nA");
    EXPECT_EQ(Panel_GetPrimaryQuantity(0), kSimSensorCurrent);
    EXPECT_FALSE(a.glassRow);
    EXPECT_FALSE(a.referenceRow);
    a = Panel_ChooseSensorA(-1, 1);
    EXPECT_STREQ(a.primaryUnit, "ohm");
    EXPECT_EQ(Panel_GetPrimaryQuantity(0), kSimCondSignal);
    a = Panel_ClearSensorA();
    EXPECT_STREQ(a.primaryUnit, "ohm");
    EXPECT_FALSE(a.glassRow || a.referenceRow);
}

TEST(PanelInputs, DigitalInputButtonsReachTheFirmware) {
    struct Case {
        int id;
        uint8_t din1;
        uint8_t din2;
    };
    // From both low, each button in turn; the other input keeps its level.
    const Case cases[] = {{IDC_DIN1_HIGH, 1, 0}, {IDC_DIN2_HIGH, 1, 1}, {IDC_DIN1_LOW, 0, 1}, {IDC_DIN2_LOW, 0, 0}};
    for (const Case& c : cases) {
        const DigitalInputChoice* choice = Panel_ClickDigitalInput(c.id);
        ASSERT_NE(choice, nullptr) << c.id;
        EXPECT_EQ(g_DigitalInputs[0].load(), c.din1) << c.id;
        EXPECT_EQ(g_DigitalInputs[1].load(), c.din2) << c.id;
        EXPECT_EQ(choice->level, choice->input == 0 ? c.din1 : c.din2);
    }
    // Any other control changes nothing.
    g_DigitalInputs[0].store(1);
    EXPECT_EQ(Panel_ClickDigitalInput(IDC_ESC), nullptr);
    EXPECT_EQ(g_DigitalInputs[0].load(), 1);
    EXPECT_EQ(g_DigitalInputs[1].load(), 0);
}

TEST(PanelInputs, KindRowsAndNoSelection) {
    EXPECT_EQ(Panel_KindRow(0).primaryQuantity, kSimUnused);
    EXPECT_STREQ(Panel_KindRow(1).unitLabel, "mV");
    EXPECT_EQ(Panel_KindRow(3).primaryQuantity, kSimCondSignal);
    EXPECT_STREQ(Panel_KindRow(5).unitLabel, "nA");
    EXPECT_EQ(Panel_KindRow(9).primaryQuantity, kSimPrimaryKind9);
    EXPECT_EQ(Panel_KindRow(10).primaryQuantity, kSimElectrodeVolts);
    EXPECT_EQ(Panel_KindRow(11).primaryQuantity, kSimPrimaryKind11);
    EXPECT_STREQ(Panel_KindRow(12).unitLabel, "nA");
    // Kind 13 is a valid configured kind but has no row; it and "no sensor" read as a resistance.
    for (uint32_t kind : {13u, 14u, 255u, 100000u}) {
        EXPECT_EQ(Panel_KindRow(kind).primaryQuantity, kSimCondSignal) << kind;
        EXPECT_STREQ(Panel_KindRow(kind).unitLabel, "ohm") << kind;
    }
}

TEST(PanelInputs, SensorModelsAndTheirChoice) {
    EXPECT_EQ(Panel_FindSensorIndex(4187), 0);
    EXPECT_EQ(Panel_FindSensorIndex(g_SensorImageFiles[12].modelNumber), 12);
    EXPECT_EQ(Panel_FindSensorIndex(g_SensorImageFiles[13].modelNumber), 13);
    EXPECT_EQ(Panel_FindSensorIndex(1), kNoSensorIndex);
    EXPECT_STREQ(g_SensorImageFiles[2].fileName, "pNa_SelvoN11_0.txt");

    EXPECT_STREQ(Panel_ApplySensorChoice(1, 2), "mV");
    EXPECT_EQ(Panel_GetPrimaryQuantity(1), kSimElectrodeVolts);
    EXPECT_STREQ(Panel_ApplySensorChoice(1, 4), "nA");
    EXPECT_EQ(Panel_GetPrimaryQuantity(1), kSimSensorCurrent);
    EXPECT_STREQ(Panel_ApplySensorChoice(1, 3), "ohm");
    EXPECT_STREQ(Panel_ApplySensorChoice(1, kNoSensorIndex), "ohm");
    EXPECT_EQ(Panel_GetPrimaryQuantity(1), kSimCondSignal);

    EXPECT_EQ(Panel_ChannelBHasElectrodes(1), 1u);
    EXPECT_EQ(Panel_ChannelBHasElectrodes(2), 1u);
    EXPECT_EQ(Panel_ChannelBHasElectrodes(10), 1u);
    EXPECT_EQ(Panel_ChannelBHasElectrodes(4), 0u);
    EXPECT_EQ(Panel_ChannelAUsesGlass(10), 1u);
    EXPECT_EQ(Panel_ChannelAUsesReference(10), 0u);
    EXPECT_EQ(Panel_ChannelAUsesReference(1), 1u);
}

TEST(PanelInputs, ChannelSetupReadsTheModelFromTheStore) {
    Rig_OpenFreshStore();
    // A fresh store has no settings yet: the default model, whatever memory says.
    g_ChannelSensorId[1] = 4230;
    EXPECT_EQ(Panel_ReadStoredSensorModel(1), 4187u);
    Fw_LoadChannelTypes();
    ChannelSetup fresh = Panel_LoadChannelSetup();
    EXPECT_EQ(fresh.sensorIndex, 0);
    EXPECT_EQ(fresh.kindA, 1);
    EXPECT_STREQ(fresh.unitA, "mV");
    EXPECT_STREQ(fresh.fourthUnitB, "Kohm");

    // Settings written: the stored model decides, not what start-up has loaded into memory.
    uint32_t status = 0;
    Eeprom_Write(kStoreConfigMarker, "K2", 2, &status);
    const uint8_t kinds[2] = {4, 1};
    Eeprom_Write(kStoreChannelKinds, kinds, 2, &status);
    uint32_t model = g_SensorImageFiles[12].modelNumber;
    const uint8_t bytes[4] = {static_cast<uint8_t>(model), static_cast<uint8_t>(model >> 8),
                              static_cast<uint8_t>(model >> 16), static_cast<uint8_t>(model >> 24)};
    Eeprom_Write(454, bytes, 4, &status);
    ASSERT_EQ(status, 0u);
    g_ChannelSensorId[1] = 4187;
    Fw_LoadChannelTypes();
    ChannelSetup stored = Panel_LoadChannelSetup();
    EXPECT_EQ(stored.kindA, 4);
    EXPECT_STREQ(stored.unitA, "ohm");
    EXPECT_EQ(Panel_GetPrimaryQuantity(0), kSimCondSignal);
    // Entry 12 is not in the list but its image is loaded.
    EXPECT_EQ(stored.sensorIndex, 12);
    EXPECT_STREQ(stored.unitB, " ");
    EXPECT_EQ(Panel_GetPrimaryQuantity(1), kSimPrimaryKind11);
    EXPECT_EQ(stored.fourthUnitB, nullptr);

    // A stored pNa sensor: its fourth row counts in megaohm from the start.
    model = g_SensorImageFiles[2].modelNumber;
    const uint8_t pna[4] = {static_cast<uint8_t>(model), static_cast<uint8_t>(model >> 8), 0, 0};
    Eeprom_Write(454, pna, 4, &status);
    ChannelSetup pnaSetup = Panel_LoadChannelSetup();
    EXPECT_STREQ(pnaSetup.fourthUnitB, "Mohm");
    EXPECT_STREQ(pnaSetup.fourthTextB, "100.00");
    Panel_StoreInputText(1, kSimRefImpedance, "2M");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimRefImpedance), 2.0f);

    // A model in no entry: no sensor.
    const uint8_t unknown[4] = {1, 0, 0, 0};
    Eeprom_Write(454, unknown, 4, &status);
    EXPECT_EQ(Panel_LoadChannelSetup().sensorIndex, kNoSensorIndex);
    // A kind the firmware replaces also replaces the model by the default.
    const uint8_t badKinds[2] = {1, 14};
    Eeprom_Write(kStoreChannelKinds, badKinds, 2, &status);
    EXPECT_EQ(Panel_ReadStoredSensorModel(1), 4187u);
}

TEST(PanelInputs, ChannelSetupTakesTheKindsTheFirmwareLoaded) {
    // The firmware thread owns the kinds: the panel's set-up reads them and never loads them
    // itself, so a store changed behind the firmware's back does not reach the panel.
    Rig_Reset(Rig_MakeTempFolder());
    EXPECT_FALSE(Fw_SettingsLoaded());
    Rig_Boot();
    EXPECT_TRUE(Fw_SettingsLoaded());
    uint32_t status = 0;
    const uint8_t kinds[2] = {5, 3};
    Eeprom_Write(kStoreChannelKinds, kinds, 2, &status);
    ASSERT_EQ(status, 0u);
    ChannelSetup setup = Panel_LoadChannelSetup();
    EXPECT_EQ(setup.kindA, 1);
    EXPECT_EQ(g_ChannelKind[0], 1);
    EXPECT_STREQ(setup.unitA, "mV");
    // What the firmware loads later reaches the panel after the next pass.
    g_ChannelKind[0] = 5;
    EXPECT_EQ(Fw_GetChannelType(0), 1);
    Rig_AdvanceMs(20);
    EXPECT_EQ(Fw_GetChannelType(0), 5);
}

TEST(PanelInputs, ClockGoesThroughTheProgramsOwnOffset) {
    std::time_t before = std::time(nullptr);
    ClockRecord set{2031, 6, 15, 1, 10, 20, 30};
    ASSERT_EQ(Rtc_SetTime(&set), 1u);
    std::string text = Panel_ClockSecond();
    EXPECT_EQ(text.substr(0, 16), "2031/06/15,10:20") << text;
    EXPECT_EQ(g_ClockChanged.load(), 0u);
    // The firmware clock now follows the program's clock; the computer's clock is unchanged.
    ClockRecord now;
    Rtc_GetTime(&now);
    EXPECT_EQ(now.year, 2031);
    EXPECT_EQ(now.month, 6);
    EXPECT_EQ(now.weekday, 1);  // 15 June 2031 is a Sunday
    EXPECT_LT(std::labs(static_cast<long>(std::time(nullptr) - before)), 60L);
    // Without a change the program's clock keeps its offset.
    EXPECT_EQ(Panel_ClockSecond().substr(0, 10), "2031/06/15");
}
