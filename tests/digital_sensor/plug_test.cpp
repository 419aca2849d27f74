// Plug-and-measure through the rig with the program's own sensor files: each sensor model plugs
// with its screens and messages and then measures; a changed sensor asks; a channel that is not
// auto-configured refuses; a removed sensor is reported.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/eeprom.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/link_transport.h"
#include "core/timers.h"
#include "core/ui_ids.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/conductivity.h"
#include "measurement/decoders.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/slots.h"
#include "outputs/messages.h"
#include "plug_support.h"
#include "rig.h"
#include "sim/sim_inputs.h"

using namespace plug_test;

TEST(PlugAndMeasure, EachImageSensorIsLoadedAndMeasures) {
    struct Model {
        const char* file;
        uint8_t code;
        uint32_t kind;
        const char* row11;
    };
    const Model models[] = {
        {"PH_SelvoP11_0.txt", 1, kKindPh, "ChB pH SelvoP11-120"},
        {"PH_SelvoP12_0.txt", 1, kKindPh, "ChB pH SelvoP12-225"},
        {"pNa_SelvoN11_0.txt", 2, kKindPhPna, "ChB pH/pNa SelvoN11-120"},
        {"COND_SelvoK11_0.txt", 4, kKindCond4, "ChB Cond4 SelvoK11-120"},
        {"DO_SelvoD11_0.txt", 5, kKindO2High, "ChB O2 hi SelvoD11-120"},
        {"DO_SelvoD12_0.txt", 6, kKindO2Low, "ChB O2 lo SelvoD12-120"},
        {"DO_SelvoD13_0.txt", 7, kKindO2Trace, "ChB O2 Tr SelvoD13-220"},
        {"DO_SelvoD14_0.txt", 8, kKindO2Gauge, "ChB ppmO2G SelvoD14-G"},
        {"CO2_SelvoC11_0.txt", 10, kKindCo2, "ChB CO2 SelvoC11-120"},
        {"PH_SelvoP11_1.txt", 1, kKindPh, "ChB pH SelvoP11-120"},
        // The optical sensors answer commands: their type text is the identification's.
        {"OPT_SelvoQ11_0.txt", 9, kKindO2Optical, "ChB O2 Opt SelvoQ 4210"},
        {"OPT_SelvoQ12_0.txt", 9, kKindO2Optical, "ChB O2 Opt SelvoQ 4211"},
    };
    for (const Model& m : models) {
        SCOPED_TRACE(m.file);
        BootOnChannelB();
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        Plug(m.file, m.code);
        // A new sensor (nothing loaded yet) is loaded: its kind, name and type on row 11.
        ASSERT_TRUE(RunUntilState(kPlugLoadNew));
        EXPECT_EQ(Rig_RowText(11), m.row11);
        EXPECT_EQ(Rig_RowText(12), "Loading ChB Sensor Data");
        EXPECT_EQ(g_SensorKindActive[1], m.kind);
        EXPECT_EQ(g_ChannelKind[1], m.kind);
        EXPECT_EQ(g_SensorImageValid[1], m.code == 9 ? 0 : 1);
        EXPECT_EQ(g_SensorDataLoaded[1], 1);
        // The screen stands 5 s, then the measurement screen takes over with channel B's values.
        ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
        // The optical sensor is polled more slowly: its first values take a few seconds more.
        Rig_AdvanceMs(m.code == 9 ? 8000 : 3000);
        EXPECT_FALSE(MessageActive(kMsgChannelB + kMsgWrongSensor));
        EXPECT_FLOAT_EQ(g_Measurement[1].temperature, 25.0f);
        // A sensor of another kind than the configured pH takes the lines over for channel B.
        if (m.kind != kKindPh) {
            EXPECT_EQ(g_MeasLines.channel[0], 1);
            EXPECT_EQ(Rig_BigLineText(1), "25.0");
        }
    }
}

namespace {
// The answer field of a question as the user sees it (the blinking field in its shown phase).
std::string ShownRow(uint32_t row) {
    if (g_BlinkField.active && g_BlinkField.row == row) Lcd_BlinkField(0);
    return Rig_RowText(row);
}

// A sensor plugged, loaded and left: plug-and-measure idle again.
void PlugAndSettle(const std::string& file, uint8_t code) {
    Plug(file, code);
    ASSERT_TRUE(RunUntilState(kPlugLoadNew));
    ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
}

constexpr uint16_t kWrongSensorB = kMsgChannelB + kMsgWrongSensor;
constexpr uint16_t kDisconnectedB = 566;
}  // namespace

TEST(PlugAndMeasure, RemovalIsReportedAndANewSensorEndsIt) {
    BootOnChannelB();
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    EXPECT_FALSE(MessageActive(kDisconnectedB));
    Unplug();
    ASSERT_TRUE(RunUntilState(kPlugNoSensor));
    EXPECT_EQ(Rig_RowText(11), "No sensor on ChB");
    EXPECT_EQ(g_SensorKindDetected[1], kKindNone);
    // The screen stands 5 s, then the measurement screen is back; the message stays.
    Rig_AdvanceMs(4000);
    EXPECT_TRUE(MessageActive(kDisconnectedB));
    EXPECT_EQ(Vdx_GetPlugState(), kPlugNoSensor);
    ASSERT_TRUE(RunUntilState(kPlugIdle, 2000));
    EXPECT_TRUE(MessageActive(kDisconnectedB));
    // The same sensor back: it resumes with the stored settings and the disconnection ends.
    Plug("PH_SelvoP11_0.txt", 1);
    ASSERT_TRUE(RunUntilState(kPlugResume));
    EXPECT_EQ(Rig_RowText(11), "Resuming Operation ChB");
    EXPECT_EQ(Rig_RowText(12), "with Previous Settings");
    Rig_AdvanceMs(3000);
    EXPECT_FALSE(MessageActive(kDisconnectedB));
}

TEST(PlugAndMeasure, SensorOfAnotherKindAsksAndNoRefusesIt) {
    BootOnChannelB();
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    Plug("COND_SelvoK11_0.txt", 4);
    ASSERT_TRUE(RunUntilState(kPlugChangeKind));
    EXPECT_EQ(Rig_RowText(11), "Change ChB to new Sensor");
    // "Yes" stands at column 120 behind the question; UP toggles to "No" at the same column.
    EXPECT_EQ(ShownRow(12), "Cond4 SelvoK11-120? Yes");
    Rig_HoldKey(kKeyUp, 100);
    EXPECT_EQ(ShownRow(12), "Cond4 SelvoK11-120? No");
    EXPECT_EQ(g_BlinkField.column, 120);
    Rig_HoldKey(kKeyUp, 100);
    EXPECT_EQ(ShownRow(12), "Cond4 SelvoK11-120? Yes");
    Rig_HoldKey(kKeyUp, 100);
    // The question waits for its answer however long it takes.
    Rig_AdvanceMs(30000);
    EXPECT_EQ(Vdx_GetPlugState(), kPlugChangeKind);
    Rig_HoldKey(kKeyEnter, 100);
    ASSERT_TRUE(RunUntilState(kPlugRemoveRefused, 1500));
    EXPECT_EQ(Rig_RowText(11), "Note:");
    EXPECT_EQ(Rig_RowText(12), "ChB Remove Sensor");
    EXPECT_TRUE(MessageActive(kWrongSensorB));
    EXPECT_EQ(g_SensorKindActive[1], kKindNone);
    ASSERT_TRUE(RunUntilState(kPlugIdle, 2100));
    // The channel stays configured for pH.
    EXPECT_EQ(g_ChannelKind[1], kKindPh);
    EXPECT_TRUE(MessageActive(kWrongSensorB));
}

TEST(PlugAndMeasure, SensorOfAnotherKindTakenOverOnYes) {
    BootOnChannelB();
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    Plug("DO_SelvoD11_0.txt", 5);
    ASSERT_TRUE(RunUntilState(kPlugChangeKind));
    EXPECT_EQ(ShownRow(12), "O2 hi SelvoD11-120? Yes");
    Rig_HoldKey(kKeyEnter, 100);
    ASSERT_TRUE(RunUntilState(kPlugLoadNewKind, 1500));
    EXPECT_EQ(Rig_RowText(11), "Stand by");
    EXPECT_EQ(Rig_RowText(12), "Loading ChB Sensor Data");
    EXPECT_EQ(g_ChannelKind[1], kKindO2High);
    EXPECT_EQ(g_SensorKindActive[1], kKindO2High);
    ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
    EXPECT_FALSE(MessageActive(kWrongSensorB));
}

TEST(PlugAndMeasure, AnotherModelOfTheKindAsksAtColumn114) {
    BootOnChannelB();
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    Plug("PH_SelvoP12_0.txt", 1);
    ASSERT_TRUE(RunUntilState(kPlugChangeModel));
    EXPECT_EQ(Rig_RowText(11), "Change ChB to new Sensor");
    EXPECT_EQ(ShownRow(12), "SelvoP12-225?      Yes");
    Rig_HoldKey(kKeyUp, 100);
    EXPECT_EQ(ShownRow(12), "SelvoP12-225?      No");
    EXPECT_EQ(g_BlinkField.column, 114);
    Rig_HoldKey(kKeyUp, 100);
    Rig_HoldKey(kKeyEnter, 100);
    ASSERT_TRUE(RunUntilState(kPlugLoadNewModel, 1500));
    EXPECT_EQ(Rig_RowText(11), "Stand by");
    EXPECT_EQ(g_ChannelSensorId[1], 4188u);
    ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
}

namespace {
// Store offsets of channel B's configured kind, stored model number, data-loaded flag, time to
// maintenance (0.1 days), adaptive calibration interval and CIP temperature limit.
constexpr uint32_t kStoreKindB = 1664 + 1;
constexpr uint32_t kStoreModelB = 450 + 4;
constexpr uint32_t kStoreLoadedB = 120 + 1;
constexpr uint32_t kStoreTtmB = 460 + 4;
constexpr uint32_t kStoreActB = 468 + 4;
constexpr uint32_t kStoreCipTempB = 438 + 1;
constexpr uint32_t kStoreCipLimitB = 402 + 1;

uint32_t StoredWord(uint32_t offset) {
    std::vector<uint8_t> store = Rig_StoreBytes();
    uint32_t value = 0;
    for (uint32_t i = 0; i < 4; ++i) value |= static_cast<uint32_t>(store.at(offset + i)) << (8 * i);
    return value;
}

// The sensor commands sent from index from on, by name.
std::vector<std::string> SensorCommandsSince(size_t from) {
    std::vector<std::string> names;
    const std::vector<RigFrame>& sent = Rig_SentFrames();
    for (size_t i = from; i < sent.size(); ++i) {
        const std::vector<uint8_t>& f = sent[i].bytes;
        if (f.size() >= 13 && f[2] == 0x09) names.emplace_back(f.begin() + 9, f.begin() + 13);
    }
    return names;
}
}  // namespace

TEST(PlugAndMeasure, AnotherModelTakenOverStartsFromTheSensorsOwnIntervalsAndLimits) {
    struct Case {
        const char* file;
        uint8_t code;
        uint8_t kind;
        uint32_t storedModel;  // another model of the kind than the sensor's
    };
    const Case cases[] = {{"OPT_SelvoQ11_0.txt", 9, kKindO2Optical, 4211},
                          {"COND_SelvoK11_0.txt", 4, kKindCond4, 4196}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        // The channel knows another model of the kind, with 30 days to maintenance, an adaptive
        // calibration interval and a CIP temperature limit of its own.
        BootOnChannelB({{kStoreKindB, c.kind},
                        {kStoreModelB, c.storedModel & 0xFF},
                        {kStoreModelB + 1, c.storedModel >> 8},
                        {kStoreLoadedB, 1},
                        {kStoreTtmB, 300 & 0xFF},
                        {kStoreTtmB + 1, 300 >> 8},
                        {kStoreActB, 48},
                        {kStoreCipTempB, 60}});
        ASSERT_EQ(g_SensDiagSettings[1].ttmInterval, 300u);
        Plug(c.file, c.code);
        ASSERT_TRUE(RunUntilState(kPlugChangeModel));
        size_t from = Rig_SentFrames().size();
        Rig_HoldKey(kKeyEnter, 100);
        ASSERT_TRUE(RunUntilState(kPlugLoadNewModel, 1500));
        ASSERT_TRUE(RunUntilState(kPlugIdle, 12000));
        Rig_AdvanceMs(5000);
        // Both maintenance intervals were cleared: time to maintenance stays 0 for a sensor that
        // keeps none in its memory's interval fields, the adaptive calibration interval is the
        // sensor's own.
        EXPECT_EQ(g_SensDiagSettings[1].ttmInterval, 0u);
        EXPECT_EQ(StoredWord(kStoreTtmB), 0u);
        EXPECT_EQ(StoredWord(kStoreActB), g_SensDiagSettings[1].actInterval);
        if (c.kind != kKindO2Optical) {
            EXPECT_EQ(g_SensDiagSettings[1].actInterval, 0u);
            continue;
        }
        // The optical sensor's adaptive calibration interval (30 days), cycle limits and
        // temperature limits became the channel's, and nothing of them went back to the sensor.
        EXPECT_EQ(g_SensDiagSettings[1].actInterval, 30u);
        EXPECT_EQ(SensDiag_GetCipCycleLimit(1), 100u);
        EXPECT_EQ(Rig_StoreBytes().at(kStoreCipLimitB), 100);
        EXPECT_EQ(Rig_StoreBytes().at(kStoreCipTempB), 55);
        EXPECT_FLOAT_EQ(SensDiag_GetCipTempLimit(1), 55.0f);
        EXPECT_EQ(g_SensorProtocol[1].pendingRegisters, 0);
        for (const std::string& name : SensorCommandsSince(from)) {
            EXPECT_TRUE(name != "S131" && name != "S133" && name != "S134" && name != "S139") << name;
        }
    }
}

TEST(PlugAndMeasure, ChannelNotAutoConfiguredRefusesAnotherKind) {
    BootOnChannelB({{kStoreAutoConfigure + 1, 0}});
    ASSERT_EQ(g_AutoConfigure[1], 0);
    Plug("COND_SelvoK11_0.txt", 4);
    ASSERT_TRUE(RunUntilState(kPlugNotAutoConfigured));
    EXPECT_EQ(Rig_RowText(11), "ChB not Auto-Configured");
    EXPECT_EQ(Rig_RowText(12), "ChB accepts only pH");
    EXPECT_TRUE(MessageActive(kWrongSensorB));
    EXPECT_EQ(g_SensorKindActive[1], kKindNone);
    ASSERT_TRUE(RunUntilState(kPlugIdle, 5100));
    EXPECT_EQ(g_ChannelKind[1], kKindPh);
    EXPECT_EQ(g_SensorDataLoaded[1], 0);
}

TEST(PlugAndMeasure, NewSerialThenTheAutoclaveQuestionCountsACycle) {
    BootOnChannelB();
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    g_CycleAlarmEnable |= kDiagEnableAutoclave;
    // The same model with another serial number: taken over, then the autoclave question.
    Plug("PH_SelvoP11_1.txt", 1);
    ASSERT_TRUE(RunUntilState(kPlugNewSerial));
    EXPECT_EQ(Rig_RowText(11), "New SelvoP11-120 ChB");
    EXPECT_EQ(Rig_RowText(12), "Loading ChB Sensor Data");
    ASSERT_TRUE(RunUntilState(kPlugAutoclave, 7000));
    EXPECT_EQ(Rig_RowText(11), "Increment autoclave ChB");
    EXPECT_EQ(ShownRow(12), "Cycle Counter      Yes");
    // The sensor after a year in the plant has been through four autoclave cycles.
    uint32_t before = SensDiag_GetAutoclaveCount(1);
    EXPECT_EQ(before, 4u);
    Rig_HoldKey(kKeyEnter, 100);
    // The count is written into the sensor; its save ends the question.
    for (int i = 0; i < 100 && Vdx_GetPlugState() != kPlugIdle; ++i) Rig_AdvanceMs(20);
    EXPECT_EQ(Vdx_GetPlugState(), kPlugIdle);
    EXPECT_EQ(SensDiag_GetAutoclaveCount(1), before + 1);
    EXPECT_EQ(g_DisplayMode, kKeyModeHome);
}

// The program in its run folder: the sensor files in the working folder beside the settings
// store, where the library writes every change of a sensor's memory back into its file. What the
// sensor keeps is there again after the program ends and starts anew.
TEST(PlugAndMeasure, WhatTheSensorKeepsIsReadBackAfterARestart) {
    BootOnChannelB();
    PlugAndSettle("PH_SelvoP11_0.txt", 1);
    g_CycleAlarmEnable |= kDiagEnableAutoclave;
    Plug("PH_SelvoP11_1.txt", 1);
    ASSERT_TRUE(RunUntilState(kPlugNewSerial));
    ASSERT_TRUE(RunUntilState(kPlugAutoclave, 7000));
    ASSERT_EQ(SensDiag_GetAutoclaveCount(1), 4u);
    // "Yes" writes the new count into the sensor's memory, and the library into its file.
    Rig_HoldKey(kKeyEnter, 100);
    for (int i = 0; i < 100 && Vdx_GetPlugState() != kPlugIdle; ++i) Rig_AdvanceMs(20);
    ASSERT_EQ(SensDiag_GetAutoclaveCount(1), 5u);

    // A new start in the same folder; the panel hands the library the same file name again.
    std::string folder = std::filesystem::path(Rig_StorePath()).parent_path().string();
    Rig_Reset(folder);
    Rig_Boot();
    Rig_AdvanceMs(20);
    Link_SelectSensorImage(1, "PH_SelvoP11_1.txt", 1);
    ASSERT_TRUE(RunUntilState(kPlugResume));
    ASSERT_TRUE(RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(3000);
    // INFO, "VDX Diagnostics", "ChB AutoClave Cycles".
    Rig_HoldKey(kKeyInfo, 100);
    for (int i = 0; i < 5 && ShownRow(12).rfind("VDX Diagnostics", 0) != 0; ++i) Rig_HoldKey(kKeyUp, 100);
    Rig_HoldKey(kKeyEnter, 100);
    for (int i = 0; i < 6 && ShownRow(12).rfind("ChB AutoClave Cycles", 0) != 0; ++i) Rig_HoldKey(kKeyUp, 100);
    Rig_HoldKey(kKeyEnter, 100);
    EXPECT_EQ(ShownRow(11), "ChB AutoClave");
    EXPECT_EQ(ShownRow(12), "Cycles         5 of 254");
}

namespace {
// The four measurement lines on channel B (a pH sensor on a channel configured for pH leaves
// them where they were).
const std::vector<std::pair<uint32_t, uint8_t>> kLinesOnB = {{1200, 1}, {1201, 1}, {1202, 1}, {1203, 1}};

// Line a's value once the sensor was taken over and the damped value has settled.
float SettledLineA(const std::string& file, uint8_t code, uint32_t* status) {
    Plug(file, code);
    EXPECT_TRUE(RunUntilState(kPlugLoadNew));
    EXPECT_TRUE(RunUntilState(kPlugIdle, 6000));
    Rig_AdvanceMs(20000);
    return Meas_GetSlotValue(0, status);
}
}  // namespace

TEST(PlugAndMeasure, TheSensorsOwnCalibrationIsTakenIntoUse) {
    uint32_t status = 0;
    {
        SCOPED_TRACE("pH after a year in the plant: its last calibration, 57.2 mV/pH, is in use");
        BootOnChannelB(kLinesOnB);
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        Panel_SetSimInput(1, kSimElectrodeVolts, 162.4f);  // mV of its second buffer, pH 4.01
        EXPECT_NEAR(SettledLineA("PH_SelvoP11_1.txt", 1, &status), 4.01f, 0.005f);
        EXPECT_EQ(status, 0u);
        EXPECT_NEAR(CalPh_GetSlopeInUsePercent(1), 57.2f / 59.16f * 100.0f, 0.05f);
        Panel_SetSimInput(1, kSimElectrodeVolts, -8.6f);  // its first buffer, pH 7.00
        Rig_AdvanceMs(20000);
        EXPECT_NEAR(Meas_GetSlotValue(0, &status), 7.0f, 0.005f);
    }
    {
        SCOPED_TRACE("conductivity: the cell constant 0.3196 of its calibration");
        BootOnChannelB();
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        Panel_SetSimInput(1, kSimCondSignal, 1000.0f);                                        // ohm
        EXPECT_NEAR(SettledLineA("COND_SelvoK11_0.txt", 4, &status), 0.3196e-3f, 0.001e-3f);  // S/cm
        EXPECT_EQ(status, 0u);
        EXPECT_FLOAT_EQ(CalCond_GetCellConstant(1), 0.3196f);
    }
    {
        SCOPED_TRACE("oxygen, high range: its current at air reads air saturation");
        BootOnChannelB();
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        Panel_SetSimInput(1, kSimSensorCurrent, -70.4f);                           // nA
        EXPECT_NEAR(SettledLineA("DO_SelvoD11_0.txt", 5, &status), 100.0f, 0.5f);  // % air
        EXPECT_EQ(status, 0u);
        EXPECT_FLOAT_EQ(CalO2_GetSlopeInUseAtAir(1), 70.4f);
    }
    {
        SCOPED_TRACE("oxygen gauge: its signal bounds come from its memory, high 10 and low -100000");
        BootOnChannelB();
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        Panel_SetSimInput(1, kSimSensorCurrent, -39850.0f);
        // Air-saturated water at 25 C: about 8.2 ppm.
        EXPECT_NEAR(SettledLineA("DO_SelvoD14_0.txt", 8, &status), 8.25f, 0.1f);
        EXPECT_EQ(status, 0u);
        EXPECT_EQ(CalO2_GetKind8Limit(1, 4), 10.0f);
        EXPECT_EQ(CalO2_GetKind8Limit(1, 5), -100000.0f);
        Panel_SetSimInput(1, kSimSensorCurrent, 20.0f);
        Rig_AdvanceMs(3000);
        EXPECT_EQ(Meas_GetFieldWord(1, kO2FieldPrimaryStatus), kStatusOver);
    }
    {
        SCOPED_TRACE("CO2: its electrode calibration and the electrolyte kept in its memory");
        BootOnChannelB();
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        Panel_SetSimInput(1, kSimElectrodeVolts, 0.0f);
        float percent = SettledLineA("CO2_SelvoC11_0.txt", 10, &status);
        EXPECT_EQ(status, 0u);
        EXPECT_NEAR(CalPh_GetCo2SlopeInUse(1), 57.9f, 0.05f);
        EXPECT_NEAR(CalPh_GetCo2ZeroInUse(1), 7.0f - 8.1f / 57.9f, 0.001f);
        EXPECT_FLOAT_EQ(CalPh_GetCo2Bicarbonate(1), 0.015f);
        // 15 mmol/L bicarbonate at pH 6.86: about 14 % CO2 (pK1 6.35, 0.0334 mol/L per atm).
        EXPECT_NEAR(percent, 13.5f, 1.0f);
        Panel_SetSimInput(1, kSimElectrodeVolts, -136.1f);  // its second buffer, pH 9.21
        Rig_AdvanceMs(20000);
        EXPECT_NEAR(Meas_GetPh(1, &status), 9.21f, 0.005f);
    }
}
