// The panel's inputs without the window: value texts, spin steps, the store limits as the edits
// feed them, per-kind rows, sensor models, the stored channel set-up and the clock copy.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <ctime>
#include <string>

#include "core/eeprom.h"
#include "core/rtc.h"
#include "measurement/channel.h"
#include "panel/inputs.h"
#include "panel/sim_inputs.h"
#include "rig.h"

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
    // Where the host has such a locale, numbers still use the point.
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no German locale";
    EXPECT_FLOAT_EQ(Panel_ParseValueText("2.5"), 2.5f);
    EXPECT_EQ(Panel_FormatValueText(2.5f), "2.50");
    std::setlocale(LC_NUMERIC, "C");
}

TEST(PanelInputs, EditsFeedTheStoreWithItsLimits) {
    // Channel A pH/ORP: the primary row is the electrode potential, typed in mV.
    Panel_StoreInputText(0, kSimElectrodeVolts, "1500");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 1.5f);
    Panel_StoreInputText(0, kSimElectrodeVolts, "3000");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.5f);
    Panel_StoreInputText(1, kSimGlassImpedance, "2.2M");
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimGlassImpedance), 2200000.0f);
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

TEST(PanelInputs, SpinStepsByMagnitude) {
    // The up arrow (delta -1) raises, the down arrow (+1) lowers.
    Panel_StoreInputText(1, kSimTemperatureB, "25.0");
    EXPECT_EQ(Panel_StepInputText(1, kSimTemperatureB, 1), "24.99");
    EXPECT_EQ(Panel_StepInputText(1, kSimTemperatureB, -1), "25.00");
    EXPECT_EQ(Panel_StepInputText(1, kSimTemperatureB, 0), "25.01");

    Panel_StoreInputText(1, kSimGlassImpedance, "2.2M");
    EXPECT_EQ(Panel_StepInputText(1, kSimGlassImpedance, 1), "2.19M");
    Panel_StoreInputText(1, kSimGlassImpedance, "2.2M");
    EXPECT_EQ(Panel_StepInputText(1, kSimGlassImpedance, -1), "2.21M");

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
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    // A fresh store has no settings yet: the default model, whatever memory says.
    g_ChannelSensorId[1] = 4230;
    EXPECT_EQ(Panel_ReadStoredSensorModel(1), 4187u);
    ChannelSetup fresh = Panel_LoadChannelSetup();
    EXPECT_EQ(fresh.sensorIndex, 0);
    EXPECT_EQ(fresh.kindA, 1);
    EXPECT_STREQ(fresh.unitA, "mV");

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
    ChannelSetup stored = Panel_LoadChannelSetup();
    EXPECT_EQ(stored.kindA, 4);
    EXPECT_STREQ(stored.unitA, "ohm");
    EXPECT_EQ(Panel_GetPrimaryQuantity(0), kSimCondSignal);
    // Entry 12 is not in the list but its image is loaded.
    EXPECT_EQ(stored.sensorIndex, 12);
    EXPECT_STREQ(stored.unitB, " ");
    EXPECT_EQ(Panel_GetPrimaryQuantity(1), kSimPrimaryKind11);

    // A model in no entry: no sensor.
    const uint8_t unknown[4] = {1, 0, 0, 0};
    Eeprom_Write(454, unknown, 4, &status);
    EXPECT_EQ(Panel_LoadChannelSetup().sensorIndex, kNoSensorIndex);
    // A kind the firmware replaces also replaces the model by the default.
    const uint8_t badKinds[2] = {1, 14};
    Eeprom_Write(kStoreChannelKinds, badKinds, 2, &status);
    EXPECT_EQ(Panel_ReadStoredSensorModel(1), 4187u);
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
