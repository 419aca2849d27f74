// The settings modules and their dispatchers on the settings store: a fresh store's markers and
// factory values, the load rules, the working set's commit (only what changed) and drop, and
// settings that survive a restart of the firmware on the same folder.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/eeprom.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/settings.h"
#include "core/texts.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx.h"
#include "measurement/chan_reset.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/messages.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "outputs/setpoint.h"
#include "read_only_file.h"
#include "rig.h"
#include "settings/settings_comm.h"
#include "settings/settings_sensor.h"
#include "settings/settings_system.h"
#include "settings/settings_work.h"
#include "ui/menu.h"

namespace {
using Bytes = std::vector<uint8_t>;

Bytes Slice(const Bytes& b, uint32_t offset, uint32_t n) { return Bytes(b.begin() + offset, b.begin() + offset + n); }

Bytes LittleEndian(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits >> 16),
            static_cast<uint8_t>(bits >> 24)};
}

void Put(Bytes* b, uint32_t offset, const Bytes& bytes) { std::copy(bytes.begin(), bytes.end(), b->begin() + offset); }

void Boot(const std::string& folder) {
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
}

// Offsets where two stores differ.
std::vector<uint32_t> Differences(const Bytes& a, const Bytes& b) {
    std::vector<uint32_t> at;
    for (uint32_t i = 0; i < a.size() && i < b.size(); ++i) {
        if (a[i] != b[i]) at.push_back(i);
    }
    return at;
}

std::string LineName(uint32_t index) {
    char name[kLineNameSize];
    Settings_GetLineName(index, name);
    return name;
}
}  // namespace

TEST(SettingsModules, AFreshStoreGetsBothMarkersAndEveryModulesFactoryValues) {
    Boot(Rig_MakeTempFolder());
    Bytes b = Rig_StoreBytes();
    ASSERT_EQ(b.size(), 4096u);
    EXPECT_EQ(Slice(b, 2, 2), (Bytes{'2', 'w'}));
    EXPECT_EQ(Slice(b, 6, 2), (Bytes{'K', '2'}));
    // System: both access codes 31752, lockout off, English, no error display, no section locks,
    // calibration locked, blank names, no hold switch, no digital input holds.
    EXPECT_EQ(Slice(b, 1230, 8), (Bytes{0x08, 0x7C, 0, 0, 0x08, 0x7C, 0, 0}));
    EXPECT_EQ(Slice(b, 1238, 10), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(Slice(b, 1250, 10), (Bytes{' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0}));
    EXPECT_EQ(Slice(b, 1260, 10), Slice(b, 1250, 10));
    EXPECT_EQ(b[1293], 0);
    EXPECT_EQ(Slice(b, 2036, 2), (Bytes{2, 2}));
    EXPECT_EQ(b[2201], 1) << "manual hold \"No\"";
    // Sensor module: -674 mV four times, the pressure units, the flag, parameter 41 = 40.0, the
    // process calibration mode "Calibration", the process stress "Medium".
    EXPECT_EQ(Slice(b, 936, 8), (Bytes{0x5E, 0xFD, 0x5E, 0xFD, 0x5E, 0xFD, 0x5E, 0xFD}));
    EXPECT_EQ(Slice(b, 720, 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(b[378], 0);
    EXPECT_EQ(Slice(b, 379, 4), LittleEndian(40.0f));
    EXPECT_EQ(Slice(b, 521, 2), (Bytes{0, 0}));
    EXPECT_EQ(b[2200], 0);
    EXPECT_EQ(b[2202], 1);
    // Cycle-counter settings: monitoring records 0, 0, no output; cycles message only, no output.
    for (uint32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(b[384 + 6 * i], 0) << i;
        EXPECT_EQ(b[386 + 6 * i], 0) << i;
        EXPECT_EQ(b[388 + 6 * i], 2) << i;
        EXPECT_EQ(b[411 + 12 * i], 1) << i;
        EXPECT_EQ(b[413 + 12 * i], 2) << i;
    }
    EXPECT_EQ(Slice(b, 893, 2), (Bytes{1, 1}));
    EXPECT_EQ(g_SensorCal[1].sensorSetting, 1) << "the S133 setting (sampling interval) is live at once";
    // Channel B's option word 2; the serial text made showable.
    EXPECT_EQ(b[383], 2);
    EXPECT_EQ(Slice(b, 90, 11), Bytes(11, '0'));
    // Communication block: the model text, the tag "R718G/2X" packed, and the factory bytes.
    EXPECT_EQ(b[128], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[129])), "R718G/2XH");
    EXPECT_EQ(Slice(b, 138, 23), Bytes(23, 0));
    EXPECT_EQ(Slice(b, 161, 24), Bytes(24, 0xFF));
    EXPECT_EQ(Slice(b, 185, 6), (Bytes{0x4B, 0x7C, 0x78, 0x1D, 0xFC, 0x98}));
    EXPECT_EQ(Slice(b, 191, 12), Bytes(12, 0xFF));
    EXPECT_EQ(Slice(b, 203, 3), (Bytes{11, 8, 8}));
    EXPECT_EQ(Slice(b, 206, 11), Bytes(11, 0));
    EXPECT_EQ(b[217], 1);
    EXPECT_EQ(Slice(b, 219, 3), (Bytes{5, 0, 0xFF}));
    // The channel set-up: pH/ORP on both channels, the factory lines.
    EXPECT_EQ(Slice(b, 1664, 2), (Bytes{1, 1}));
    EXPECT_EQ(Slice(b, 1200, 8), (Bytes{0, 0, 0, 0, 13, 11, 30, 30}));

    // And the live values: the access codes, English, the packed tag read back ("/" is code 31).
    EXPECT_EQ(g_SystemSettings.accessCode[0], 31752u);
    EXPECT_EQ(g_SystemSettings.accessCode[1], 31752u);
    EXPECT_EQ(g_Language, 0);
    EXPECT_STREQ(g_MenuTagText, "R718G_2X");
    EXPECT_EQ(g_CommEnabled, 1);

    // The factory values are written once: the next start leaves the store as it is.
    Boot(Rig_StorePath().substr(0, Rig_StorePath().rfind('/')));
    EXPECT_EQ(Rig_StoreBytes(), b);
}

TEST(SettingsModules, ValuesOutOfRangeLoadAsTheirDefaults) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_WriteFactoryStore();
    Bytes b = Rig_StoreBytes();
    Put(&b, 1230, {0x40, 0xE2, 0x01, 0x00});  // 123456: six digits
    Put(&b, 1234, {0x9F, 0x86, 0x01, 0x00});  // 99999 stays
    Put(&b, 1238, {5, 9, 2, 1, 0, 7, 1, 0, 3, 4});
    Put(&b, 1248, {1, 1});  // a pending change: DIn2 holds while high
    Put(&b, 1250, {'a', 'b', '-', '1', '2', '3', '4', '5', 0, 0});
    b[1293] = 3;
    b[2036] = 9;
    b[720] = 7;
    b[722] = 4;
    b[378] = 2;
    Put(&b, 379, LittleEndian(90.0f));
    b[521] = 9;
    b[384] = 3;
    b[388] = 5;
    b[411] = 2;
    b[413] = 3;
    b[383] = 5;
    b[377] = 4;
    b[2200] = 2;
    b[2201] = 7;
    b[2202] = 4;
    Rig_WriteStoreBytes(b);
    Boot(folder);

    const SystemSettings& s = g_SystemSettings;
    EXPECT_EQ(s.accessCode[0], 0u);
    EXPECT_EQ(s.accessCode[1], 99999u);
    EXPECT_EQ(s.lockout, kLockoutOff);
    EXPECT_EQ(g_Language, 0);
    EXPECT_EQ(s.errorDisplay, 0);
    EXPECT_EQ(Bytes(s.sectionLock, s.sectionLock + 6), (Bytes{1, 0, 0, 1, 0, 0}));
    EXPECT_EQ(s.calUnlock, 0);
    EXPECT_EQ(LineName(0), "   12345");
    EXPECT_EQ(g_HoldOnChange, 0);
    EXPECT_EQ(Settings_GetDigitalInputHold(0), kInputHoldNever);
    EXPECT_EQ(Settings_GetDigitalInputHold(1), kInputHoldHigh);
    EXPECT_EQ(g_SensorSettings.calPressureUnit[0], kPressureMmHg);
    EXPECT_EQ(g_SensorSettings.procPressureUnit[0], kPressurePsi);
    EXPECT_EQ(Settings_GetFlag378(), 0);
    EXPECT_EQ(g_SensorSettings.param41, 40.0f);
    EXPECT_EQ(g_Co2PressureUnit[0], kPressureHpa);
    EXPECT_EQ(g_SlotSettings.monitor[0].off, 1);
    EXPECT_EQ(g_SlotSettings.monitor[0].output, 2);
    EXPECT_EQ(g_SlotSettings.cycle[0].messageOnly, 1);
    EXPECT_EQ(g_SlotSettings.cycle[0].output, 2);
    EXPECT_EQ(g_SensorParams[1].optionWord, 2);
    EXPECT_EQ(g_SensorParams[1].flag, 1);
    EXPECT_EQ(g_SensorSettings.procCalMode, kProcCalCalibration);
    EXPECT_EQ(s.manualHold, 1);
    EXPECT_EQ(g_SensorSettings.processStress, kProcessStressMedium);

    // The pending change went into the pair and was erased; the flag at 377 was written back.
    Bytes after = Rig_StoreBytes();
    EXPECT_EQ(Slice(after, 1248, 2), (Bytes{0xFF, 0xFF}));
    EXPECT_EQ(after[2037], 1);
    EXPECT_EQ(after[377], 1);
    // Everything else kept its bytes: the loaders replace in memory.
    for (uint32_t at : Differences(b, after)) EXPECT_TRUE(at == 1248 || at == 1249 || at == 2037 || at == 377) << at;

    // Parameter 41 below 10 is raised to 10.
    uint32_t status = 0;
    Eeprom_WriteFloat(379, 5.0f, &status);
    Settings_LoadSensor(&status);
    EXPECT_EQ(g_SensorSettings.param41, 10.0f);
}

TEST(SettingsModules, AStoreThatCannotBeReadLoadsEveryDefaultAndSaysSo) {
    std::string folder = Rig_MakeTempFolder();
    Boot(folder);
    Rig_LoseStore();
    // The polarization voltages follow each channel's kind when they cannot be read.
    g_ChannelKind[0] = kKindO2Gauge;
    g_ChannelKind[1] = kKindO2High;
    uint32_t status = 0;
    Settings_LoadSensor(&status);
    EXPECT_NE(status, 0u);
    EXPECT_EQ(Settings_GetMeasPolVoltage(0), -600);
    EXPECT_EQ(g_SensorSettings.calPolVoltage[0], -800);
    EXPECT_EQ(Settings_GetMeasPolVoltage(1), -674);
    EXPECT_EQ(g_SensorSettings.calPolVoltage[1], -674);
    EXPECT_EQ(g_SensorSettings.param41, 40.0f);
    g_ChannelKind[0] = kKindPh;
    Settings_LoadSensor(&status);
    EXPECT_EQ(Settings_GetMeasPolVoltage(0), -500);

    g_Language = 3;
    g_SystemSettings.errorDisplay = 1;
    Settings_LoadSystem(&status);
    EXPECT_EQ(status, kStoreNotReady);
    EXPECT_EQ(g_SystemSettings.accessCode[0], 0u);
    EXPECT_EQ(g_SystemSettings.lockout, kLockoutOff);
    EXPECT_EQ(g_Language, 0);
    EXPECT_EQ(g_SystemSettings.errorDisplay, 0);
    EXPECT_EQ(LineName(1), "        ");
    EXPECT_EQ(Settings_GetDigitalInputHold(1), kInputHoldNever);
    EXPECT_TRUE(std::filesystem::is_directory(Rig_StorePath())) << "loading never creates the store";
}

// A store cut short (a copy that stopped, a full disk) loads what it lacks as never written, as a
// fresh store would: the run and the restart after it leave the same store as one whose missing
// bytes were erased. Without that, the first write beyond the cut (here the message list) filled
// the gap with zeros, and the restart loaded them as settings (access codes 0, a PID output of
// 0.0%, an empty concentration table).
TEST(SettingsModules, AStoreCutShortLoadsWhatItLacksAsAFreshStoreWould) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_WriteFactoryStore();
    const Bytes factory = Rig_StoreBytes();
    for (uint32_t size : {8u, 1200u, 2500u}) {
        Bytes stores[2];
        for (uint32_t run = 0; run < 2; ++run) {
            std::string where = Rig_MakeTempFolder();
            Bytes start(factory.begin(), factory.begin() + size);
            // Run 0 starts on the bytes erased where they are missing, run 1 on the cut file.
            if (run == 0) start.resize(4096, 0xFF);
            Rig_Reset(where);
            Rig_WriteStoreBytes(start);
            Boot(where);
            Msg_Raise(kMsgCommError);
            Rig_AdvanceMs(20);
            Boot(where);
            EXPECT_EQ(Rig_RowText(12).find("EEPROM"), std::string::npos) << size;
            EXPECT_EQ(g_SystemSettings.accessCode[0], size > 1234 ? 31752u : 0u) << size << " run " << run;
            stores[run] = Rig_StoreBytes();
        }
        ASSERT_EQ(stores[1].size(), 4096u) << size;
        EXPECT_EQ(Differences(stores[0], stores[1]), std::vector<uint32_t>{}) << size;
    }
}

// A store cut to 100 bytes keeps both markers, and its measurement lines are missing (erased): they
// load as the factory lines, so the measurement screen shows what a fresh store's shows (channel
// A's pH and temperature), not lines of a program just started ("A 0 Ω-cm"). Also where the
// store may only be read and is not completed.
TEST(SettingsModules, AStoreCutTo100BytesShowsTheMeasurementScreenOfAFreshStore) {
    auto screen = [] {
        std::vector<std::string> rows;
        for (uint32_t row = 0; row < 13; ++row) rows.push_back(Rig_RowText(row));
        return rows;
    };
    std::string folder = Rig_MakeTempFolder();
    Boot(folder);
    Rig_AdvanceMs(2000);
    const std::vector<std::string> fresh = screen();
    ASSERT_EQ(fresh[2].substr(fresh[2].size() - 2), "pH");
    ASSERT_EQ(fresh[6].substr(fresh[6].size() - 3), "°C");
    Bytes cut = Rig_StoreBytes();
    cut.resize(100);
    for (bool readOnly : {false, true}) {
        SCOPED_TRACE(readOnly ? "a store that may only be read" : "a store that may be written");
        std::string where = Rig_MakeTempFolder();
        Rig_Reset(where);
        Rig_WriteStoreBytes(cut);
        std::optional<ReadOnlyFile> guard;
        if (readOnly) {
            guard.emplace(Rig_StorePath());
            if (!guard->Ok()) GTEST_SKIP() << "no way here to make a file this process cannot write";
        }
        Boot(where);
        Rig_AdvanceMs(2000);
        EXPECT_EQ(screen(), fresh);
        EXPECT_EQ(Rig_StoreBytes().size(), readOnly ? 100u : 4096u);
    }
}

TEST(SettingsModules, ACommitWritesOnlyWhatChanged) {
    Boot(Rig_MakeTempFolder());
    Settings_CopyAll();
    const Bytes before = Rig_StoreBytes();
    uint32_t status = 99;
    Settings_CommitAll(&status, 1);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Rig_StoreBytes(), before);
    // Nothing to write: even a store that is gone is not touched, and the commit succeeds.
    std::filesystem::remove(Rig_StorePath());
    Settings_CommitAll(&status, 1);
    EXPECT_EQ(status, 0u);
    EXPECT_FALSE(std::filesystem::exists(Rig_StorePath()));
    // The store put back, as the next start finds it.
    Rig_WriteStoreBytes(before);
    Eeprom_Open();

    // A relay delay and the language changed: just their bytes.
    g_WorkSet.relays.delay[0] = 5.0f;
    g_SystemEdit.language = 2;
    Settings_CommitAll(&status, 1);
    EXPECT_EQ(status, 0u);
    std::vector<uint32_t> changed = Differences(before, Rig_StoreBytes());
    EXPECT_EQ(changed, (std::vector<uint32_t>{1028, 1029, 1239}));  // 10.0 to 5.0: the high bytes
    EXPECT_EQ(g_RelaySettings.delay[0], 5.0f);
    EXPECT_EQ(g_Language, 2);

    // A change the store cannot take is reported.
    std::filesystem::remove(Rig_StorePath());
    g_WorkSet.setPoints.valueA[3] = 4.5f;
    Settings_CommitAll(&status, 1);
    EXPECT_EQ(status, kStoreNotReady);
}

TEST(SettingsModules, ACommitKeepsTheWorkingSetAndADropRestoresWhatIsLive) {
    Boot(Rig_MakeTempFolder());
    Settings_CopyAll();
    g_SystemEdit.language = 3;
    g_SystemEdit.errorDisplay = 1;
    g_WorkSet.relays.sense[0] = kRelayNormallyClosed;
    g_WorkSet.setPoints.source[2] = 2;
    g_WorkSet.setPoints.type[2] = kSetPointHigh;
    Settings_SetEditPidManual(0);
    g_WorkSet.channel.lines.kind[2] = 12;
    Settings_SetEditMeasPolVoltage(0, -500);
    g_Co2PressureUnitEdit[0] = kPressurePsi;
    uint32_t status = 0;
    Settings_CommitAll(&status, 1);
    ASSERT_EQ(status, 0u);
    EXPECT_EQ(g_Language, 3);
    EXPECT_EQ(Settings_GetErrorDisplay(), 1);
    EXPECT_EQ(g_RelaySettings.sense[0], kRelayNormallyClosed);
    EXPECT_EQ(g_SetPointSettings.source[2], 2);
    EXPECT_EQ(g_SetPointSettings.type[2], kSetPointHigh);
    EXPECT_EQ(g_PidSettings.mode, kPidAutomatic);
    EXPECT_EQ(g_MeasLines.kind[2], 12);
    EXPECT_EQ(Settings_GetMeasPolVoltage(0), -500);
    EXPECT_EQ(g_Co2PressureUnit[0], kPressurePsi);
    // The working set still holds what was committed.
    EXPECT_EQ(g_SystemEdit.language, 3);
    EXPECT_EQ(g_WorkSet.relays.sense[0], kRelayNormallyClosed);
    EXPECT_EQ(Settings_GetEditPidManual(), 0);

    // Further edits dropped: the working set is the live settings again, and they stay.
    g_SystemEdit.language = 5;
    g_WorkSet.relays.sense[0] = kRelayNormallyOpen;
    g_WorkSet.channel.lines.kind[2] = 30;
    Settings_SetEditPidManual(1);
    Settings_DropAll();
    EXPECT_EQ(g_SystemEdit.language, 3);
    EXPECT_EQ(g_WorkSet.relays.sense[0], kRelayNormallyClosed);
    EXPECT_EQ(g_WorkSet.channel.lines.kind[2], 12);
    EXPECT_EQ(Settings_GetEditPidManual(), 0);
    EXPECT_EQ(g_Language, 3);
    EXPECT_EQ(g_RelaySettings.sense[0], kRelayNormallyClosed);
}

TEST(SettingsModules, ACommittedSettingSurvivesARestart) {
    std::string folder = Rig_MakeTempFolder();
    Boot(folder);
    Settings_CopyAll();
    g_SystemEdit.language = 2;
    g_SystemEdit.errorDisplay = 1;
    std::memcpy(g_SystemEdit.name[0], "TANK 1   ", 9);
    g_WorkSet.channel.lines.kind[3] = 12;  // line d: degrees F
    g_WorkSet.relays.delay[1] = 7.0f;
    g_WorkSet.pidHold[0] = 1;
    // Relay 1, which the cleaning gives up.
    g_WorkSet.cleaning.relay = kRelayNone;
    g_SlotEdit.monitor[1].output = 0;
    g_Co2PressureUnitEdit[1] = kPressureKpa;
    uint32_t status = 0;
    Settings_CommitAll(&status, 1);
    ASSERT_EQ(status, 0u);
    Settings_CommitSlots(&status);

    Boot(folder);
    EXPECT_EQ(g_Language, 2);
    EXPECT_EQ(Settings_GetErrorDisplay(), 1);
    EXPECT_EQ(LineName(0), "TANK 1  ");
    EXPECT_EQ(g_MeasLines.kind[3], 12);
    EXPECT_EQ(g_RelaySettings.delay[1], 7.0f);
    EXPECT_EQ(g_PidHoldBytes[0], 1);
    EXPECT_EQ(g_SlotSettings.monitor[1].output, 0);
    EXPECT_EQ(g_Co2PressureUnit[1], kPressureKpa);
    // The measurement screen shows line c's name and line d's unit.
    EXPECT_NE(Rig_RowText(11).find("TANK 1"), std::string::npos) << Rig_RowText(11);
    EXPECT_NE(Rig_RowText(12).find("°F"), std::string::npos) << Rig_RowText(12);
}

TEST(SettingsModules, AWrongConfigurationMarkerBringsTheFactorySettingsOnce) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_WriteFactoryStore();
    Bytes b = Rig_StoreBytes();
    b[1239] = 4;
    Put(&b, 6, {'K', '3'});
    Rig_WriteStoreBytes(b);
    Boot(folder);
    EXPECT_EQ(g_Language, 0);
    EXPECT_EQ(Slice(Rig_StoreBytes(), 6, 2), (Bytes{'K', '2'}));
    // Marked now: a setting stored afterwards is loaded as it stands.
    b = Rig_StoreBytes();
    b[1239] = 4;
    Rig_WriteStoreBytes(b);
    Boot(folder);
    EXPECT_EQ(g_Language, 4);
}

TEST(SettingsModules, TheErrorDisplayOffersTheMessageList) {
    std::string folder = Rig_MakeTempFolder();
    Boot(folder);
    Msg_Raise(3);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Rig_RowText(12).find("Failure"), std::string::npos) << "the error display is off";
    Settings_CopyAll();
    g_SystemEdit.errorDisplay = 1;
    uint32_t status = 0;
    Settings_CommitAll(&status, 1);
    Rig_AdvanceMs(2000);
    if (g_BlinkField.active) Lcd_BlinkField(0);
    EXPECT_EQ(Rig_RowText(12), "Failure - Press ENTER");
    Rig_HoldKey(kKeyEnter, 100);
    EXPECT_EQ(Menu_TopScreen(), kScreenMessages);
}

TEST(SettingsModules, TheCycleCounterSettingsDriveChannelBsDiagnostics) {
    std::string folder = Rig_MakeTempFolder();
    Boot(folder);
    // A first start: no cycle limit (the detectors count nothing), the alarms' factory bytes.
    EXPECT_EQ(SensDiag_GetCipCycleLimit(1), 0u);
    EXPECT_EQ(SensDiag_GetAutoclaveCycleLimit(1), 0u);
    EXPECT_EQ(g_SensDiagAlarms[kDiagAlarmCip].messageOnly, 1);
    EXPECT_EQ(g_SensDiagAlarms[kDiagAlarmCip].output, 2);
    EXPECT_EQ(g_SensDiagAlarms[kDiagAlarmTtm].off, 0);
    // Edited limits go to the diagnostics, which store them; the alarm bytes follow the commit.
    Settings_CopyAll();
    g_SlotEdit.cycle[kCycleSip].limit = 40;
    g_SlotEdit.cycle[kCycleSip].messageOnly = 0;
    g_SlotEdit.cycle[kCycleSip].output = 1;
    g_SlotEdit.monitor[2].off = 1;
    uint32_t status = 0;
    Settings_CommitSlots(&status);
    ASSERT_EQ(status, 0u);
    EXPECT_EQ(SensDiag_GetSipCycleLimit(1), 40u);
    EXPECT_EQ(g_SensDiagAlarms[kDiagAlarmSip].messageOnly, 0);
    EXPECT_EQ(g_SensDiagAlarms[kDiagAlarmSip].output, 1);
    EXPECT_EQ(g_SensDiagAlarms[kDiagAlarmAct].off, 1);
    // And they come back from the store.
    Boot(folder);
    EXPECT_EQ(SensDiag_GetSipCycleLimit(1), 40u);
    EXPECT_EQ(g_SlotSettings.cycle[kCycleSip].limit, 40u);
    EXPECT_EQ(g_SensDiagAlarms[kDiagAlarmSip].output, 1);
    EXPECT_EQ(g_SensDiagAlarms[kDiagAlarmAct].off, 1);
}

// Saves of several values outside "Save Changes" reach the store file in one write each, so a
// program killed while they run leaves all of their values or none: the factory settings, the
// calibration constants edited by hand, and the outputs' factory calibration.
TEST(SettingsModules, ResetsAndHandEditedConstantsReachTheFileInOneWrite) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_Boot();
    // Something for each save to change.
    Rig_WriteStoreByte(kStoreConfigMarker, 'X');
    uint32_t writes = Eeprom_FileWriteCount();
    Menu_ResetToDefaults();
    EXPECT_EQ(Eeprom_FileWriteCount() - writes, 1u) << "factory settings";
    EXPECT_EQ(Slice(Rig_StoreBytes(), kStoreConfigMarker, 2), (Bytes{'K', '2'}));

    g_CalEditUnit[0] = 0;
    g_CalEditValues[0][kCalEditTempSlope] = 1.01f;
    g_CalEditValues[0][kCalEditTempOffset] = 0.5f;
    writes = Eeprom_FileWriteCount();
    Chan_SaveCalEditValues(0);
    EXPECT_EQ(Eeprom_FileWriteCount() - writes, 1u) << "calibration constants";

    constexpr uint32_t kStoredGainOut1 = 1472;  // the first output's gain in use
    uint32_t status = 0;
    Eeprom_WriteFloat(kStoredGainOut1, 1.5f, &status);
    writes = Eeprom_FileWriteCount();
    Meas_ResetSettings(3);
    EXPECT_EQ(Eeprom_FileWriteCount() - writes, 1u) << "outputs' factory calibration";
}
