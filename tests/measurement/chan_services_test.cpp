// Channel and sensor-kind services: a change of the configured kind through the working set,
// taking over a digital sensor, the digital-sensor save that waits for the link, the calibration
// edit values, and the small helpers of the settings pages.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "core/eeprom.h"
#include "core/fmt.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/settings.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "fw_main.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/ph.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "panel/inputs.h"
#include "rig.h"
#include "settings/settings_sensor.h"
#include "settings/settings_work.h"
#include "ui/menu.h"

namespace {
void Boot(const std::string& folder) {
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
}

// The pages' way of changing channel A's kind: the dependent settings reset, then committed.
void ChangeKindOfA(uint32_t kind) {
    Settings_CopyAll();
    Chan_ResetForSensorKind(0, kind);
    uint32_t status = 0;
    Settings_CommitAll(&status, 1);
    ASSERT_EQ(status, 0u);
}

// The unit of big line a stands at the end of row 2, after the big digits.
bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

uint32_t StoredU32(uint32_t offset) {
    uint8_t b[4] = {0, 0, 0, 0};
    uint32_t status = 0;
    Eeprom_Read(offset, b, 4, &status);
    return b[0] | b[1] << 8 | b[2] << 16 | static_cast<uint32_t>(b[3]) << 24;
}
}  // namespace

TEST(ChannelServices, ChangingTheKindOfChannelAMeasuresAndShowsTheNewKind) {
    std::string folder = Rig_MakeTempFolder();
    Boot(folder);
    ASSERT_EQ(g_MeasuringKind[0], kKindPh);
    ChangeKindOfA(kKindCond2);
    EXPECT_EQ(g_ChannelKind[0], kKindCond2);
    EXPECT_EQ(g_MeasuringKind[0], kKindCond2);
    // Line a shows the conductivity, line b the temperature, c and d nothing; all of channel A.
    EXPECT_EQ(g_MeasLines.kind[0], 1);
    EXPECT_EQ(g_MeasLines.kind[1], 11);
    EXPECT_EQ(g_MeasLines.kind[2], 30);
    EXPECT_EQ(g_MeasLines.resolution[0], 2);
    EXPECT_EQ(g_MeasLines.prefix[0], kPrefixMilli);
    EXPECT_EQ(Meas_GetSlotUnit(0), 1);
    // Set point 1 watches line a with no limit for a conductivity, 5 % hysteresis.
    EXPECT_EQ(g_SetPointSettings.source[0], 0);
    EXPECT_EQ(g_SetPointSettings.valueA[0], 0.0f);
    EXPECT_EQ(g_SetPointSettings.hysteresis[0], 5.0f);
    EXPECT_EQ(g_SetPointSettings.hysteresis[1], 0.0f);
    Rig_AdvanceMs(2000);
    EXPECT_TRUE(EndsWith(Rig_RowText(2), "   mS/cm")) << Rig_RowText(2);

    // Back to pH: the pH calibration is taken from the store again for the new kind.
    uint32_t status = 0;
    CalPh_SetSlopePercent(0, 95.0f, &status);
    g_CalInUse[0].ph.slope = 0.5f;
    ChangeKindOfA(kKindPh);
    EXPECT_EQ(g_MeasuringKind[0], kKindPh);
    EXPECT_FLOAT_EQ(g_CalInUse[0].ph.slope, 0.95f);
    EXPECT_EQ(g_MeasLines.kind[0], 13);
    EXPECT_EQ(g_SetPointSettings.valueA[0], 12.0f);
    EXPECT_EQ(g_SetPointSettings.hysteresis[0], 0.0f);
    Rig_AdvanceMs(2000);
    EXPECT_TRUE(EndsWith(Rig_RowText(2), "   pH")) << Rig_RowText(2);

    // The kind is stored: the panel reads it at its next start.
    ChangeKindOfA(kKindO2High);
    EXPECT_EQ(Settings_GetMeasPolVoltage(0), -674);
    Boot(folder);
    Fw_LoadChannelTypes();
    EXPECT_EQ(Fw_GetChannelType(0), kKindO2High);
    EXPECT_EQ(g_MeasLines.kind[0], 19);
}

TEST(ChannelServices, ANewDigitalSensorIsTakenOver) {
    // "SelvoK11" on channel B: the link reads its pages into the staging image.
    Rig_Reset(Rig_MakeTempFolder());
    SetSFXFlag(1);
    Rig_Boot();
    Rig_AdvanceMs(20);
    Panel_ApplySensorChoice(1, 3);
    Link_SetMeasureMode(1, 1);
    Rig_AdvanceMs(20000);
    ASSERT_EQ(g_SensorPlugged[1], 1);
    ASSERT_EQ(g_SensorKindDetected[1], kKindCond4);

    g_SensorParamSavePending = 0;
    Chan_ApplyNewSensor(1);
    EXPECT_EQ(g_SensorKindActive[1], kKindCond4);
    EXPECT_EQ(g_ChannelSensorId[1], 4195u);
    EXPECT_EQ(g_SensorModelNo[1], 4195u);
    EXPECT_EQ(StoredU32(454), 4195u);
    EXPECT_EQ(g_SensorImageValid[1], 1);
    EXPECT_EQ(g_SensorImageLoaded[1], 1);
    EXPECT_EQ(g_DirtyPages[1], 0u);
    EXPECT_EQ(g_SensorFeatures[1], 57347u);
    // The calibration it holds was asked for and applied: the request is consumed.
    EXPECT_EQ(g_ApplySensorCal, 0);
    EXPECT_EQ(g_SensorParamSavePending, 1);
    // Applying again needs a new request.
    g_SensorParamSavePending = 0;
    Chan_ApplySensorCalData();
    EXPECT_EQ(g_SensorParamSavePending, 0);
}

TEST(ChannelServices, ASensorSaveWaitsForTheLinkAndFailsWhenTheSensorIsLost) {
    Rig_Reset(Rig_MakeTempFolder());
    SetSFXFlag(1);
    Rig_Boot();
    Rig_AdvanceMs(20);
    Panel_ApplySensorChoice(1, 0);  // "SelvoP11", pH
    Link_SetMeasureMode(1, 1);
    Rig_AdvanceMs(20000);
    ASSERT_EQ(g_SensorPlugged[1], 1);
    // Channel B selected, in the working set too: plug-and-measure takes the sensor over.
    g_CurrentChannel = 1;
    Settings_CopyAll();
    Rig_AdvanceMs(8000);
    ASSERT_EQ(Vdx_GetPlugState(), kPlugIdle);
    ASSERT_EQ(g_SensorKindActive[1], kKindPh);
    ASSERT_EQ(Chan_GetLinkState(), kChanLinkFree);

    // A page of the image changed: the save waits until the link wrote it, then goes on.
    g_SensorMemImage[1][11 * kSensorPageBytes + 5] ^= 0x01;
    SensMem_CommitPage(1, 11);
    g_SaveWaitBits |= kSaveWaitSensor;
    EXPECT_EQ(Chan_GetLinkState(), kChanLinkBusy);
    Rig_AdvanceMs(20);
    EXPECT_EQ(g_SaveWaitBits & kSaveWaitSensor, kSaveWaitSensor);
    Rig_AdvanceMs(5000);
    EXPECT_EQ(g_SaveWaitBits, 0);
    EXPECT_EQ(g_DirtyPages[1], 0u);
    EXPECT_EQ(Rig_RowText(12).find("Sensor Save Failed"), std::string::npos);

    // The next change waits while the link leaves the channel: the save fails and says so.
    g_SensorMemImage[1][11 * kSensorPageBytes + 5] ^= 0x01;
    SensMem_CommitPage(1, 11);
    g_SaveWaitBits |= kSaveWaitSensor;
    Link_SetMeasureMode(0, g_ChannelKind[0]);
    Rig_AdvanceMs(20);
    EXPECT_EQ(Chan_GetLinkState(), kChanLinkSwitching);
    EXPECT_EQ(g_SaveWaitBits, 0);
    EXPECT_EQ(Rig_RowText(12), "  Sensor Save Failed!");
    EXPECT_EQ(g_DisplayMode, kKeyModeMessage);
}

TEST(ChannelServices, CalibrationEditValuesOutOfRangeResetOnlyThemselves) {
    Boot(Rig_MakeTempFolder());
    uint32_t status = 0;
    Temp_SetSourceMode(0, kTempSourcePt1000, &status);
    Temp_SetSlope(0, 5e6f, &status);
    Temp_SetOffset(0, 2.5f, &status);
    g_MenuPosition = 0x100005;
    Chan_LoadCalEditValues(0, 0);
    // The temperature slope is out of range and goes back to 1.0; its offset stays; the
    // primary values (the factory pH calibration: 100 %, zero point 7) are left alone.
    EXPECT_EQ(g_CalEditValues[0][kCalEditTempSlope], 1.0f);
    EXPECT_EQ(g_CalEditValues[0][kCalEditTempOffset], 2.5f);
    EXPECT_EQ(g_CalEditValues[0][kCalEditSlope], 100.0f);
    EXPECT_EQ(g_CalEditValues[0][kCalEditOffset], 7.0f);
    EXPECT_EQ(g_CalEditUnit[0], 0);  // pH: the pH calibration values

    Temp_SetSlope(0, 1.02f, &status);
    Temp_SetOffset(0, -3e5f, &status);
    Chan_LoadCalEditValues(0, 0);
    EXPECT_FLOAT_EQ(g_CalEditValues[0][kCalEditTempSlope], 1.02f);
    EXPECT_EQ(g_CalEditValues[0][kCalEditTempOffset], 0.0f);
    EXPECT_EQ(g_CalEditValues[0][kCalEditSlope], 100.0f);

    // Saved back with the same selectors.
    g_CalEditValues[0][kCalEditTempOffset] = 1.5f;
    Chan_SaveCalEditValues(0);
    EXPECT_EQ(Temp_GetOffset(0), 1.5f);
}

TEST(ChannelServices, TheSerialTextIsMadeShowable) {
    Rig_OpenFreshStore();
    const uint8_t text[11] = {'A', 'B', '1', '2', '3', 0, '5', '6', '7', '8', '9'};
    uint32_t status = 0;
    Eeprom_Write(90, text, 11, &status);
    Chan_RepairSerialText(&status);
    EXPECT_EQ(status, 0u);
    std::vector<uint8_t> b = Rig_StoreBytes();
    EXPECT_EQ(std::string(b.begin() + 90, b.begin() + 101), "AB123056789");
    EXPECT_EQ(b[101], 0xFF) << "nothing beyond the text";
}

TEST(ChannelServices, HelpersOfTheSettingsPages) {
    EXPECT_EQ(Chan_IsMeasuringKindO2(9), 0u);
    EXPECT_EQ(Chan_IsMeasuringKindO2(8), 1u);
    EXPECT_EQ(Chan_IsKindPh(2), 1u);
    EXPECT_EQ(Chan_IsKindConductivity(5), 0u);
    EXPECT_FLOAT_EQ(Chan_DecadeStep(250.0f, 0), 0.01f);
    EXPECT_FLOAT_EQ(Chan_DecadeStep(250.0f, 1), 0.05f);
    EXPECT_EQ(Chan_DecadeStep(2e6f, 0), 0.0f);
    EXPECT_EQ(Chan_DecadeStep(1e12f, 1), 500000.0f);
    // A value that is no number ends the search instead of running on.
    EXPECT_LE(Chan_DecadeStep(std::numeric_limits<float>::quiet_NaN(), 1), 500000.0f);

    g_SensorStatusWord[1] = 0xFFFFFFFFu;
    EXPECT_EQ(Chan_GetStatusField(1, 12, 0), 3u);
    g_SensorStatusWord[1] = 1u << 18;
    EXPECT_EQ(Chan_GetStatusField(1, 13, 0), 1u);
    EXPECT_EQ(Chan_GetStatusField(1, 12, 0), 0u);
    const uint8_t reply[4] = {0x12, 0x34, 0x56, 0x78};
    Chan_SetStatusWord(1, reply);
    EXPECT_EQ(g_SensorStatusWord[1], 0x56781234u);

    // A range below the PID's band is widened to it.
    g_WorkSet.pid.setPoint = 7.0f;
    g_WorkSet.pid.deadBand = 0.5f;
    float low = 0.0f, high = 0.0f;
    EXPECT_EQ(Chan_FitRangeToBand(8.0f, 14.0f, &low, &high), 1u);
    EXPECT_FLOAT_EQ(low, 6.5f - Chan_DecadeStep(6.5f, 0));
    EXPECT_EQ(high, 14.0f);
    EXPECT_EQ(Chan_FitRangeToBand(0.0f, 7.0f, &low, &high), 2u);
    EXPECT_EQ(high, 7.5f);

    // What uses a relay in the working set.
    g_WorkSet.alarm.relay = 1;
    g_WorkSet.cleaning.relay = 2;
    for (uint8_t& source : g_WorkSet.setPoints.source) source = kSetPointSourceOff;
    EXPECT_EQ(Relay_GetUsage(1), 16u);
    EXPECT_EQ(Relay_GetUsage(0), 0u);
    g_WorkSet.setPoints.source[3] = 1;
    g_WorkSet.setPoints.relay[3] = 0;
    EXPECT_EQ(Relay_GetUsage(0), 48u);
    g_WorkSet.setPoints.source[3] = kSetPointSourceOff;
    g_WorkSet.channel.currentChannel = 1;
    g_SlotEdit.cycle[1].output = 0;
    EXPECT_EQ(Relay_GetUsage(0), 160u);
    EXPECT_EQ(Relay_GetUsage(2), 0u);
}

TEST(ChannelServices, ResetForAKindWithItsDefaults) {
    Boot(Rig_MakeTempFolder());
    Settings_CopyAll();
    Chan_ResetForSensorKind(0, kKindO2Gauge);
    EXPECT_EQ(Settings_GetEditMeasPolVoltage(0), -600);
    EXPECT_EQ(Settings_GetEditCalPolVoltage(0), -800);
    EXPECT_EQ(g_WorkSet.channel.lines.kind[0], 24);
    EXPECT_EQ(g_WorkSet.channel.lines.resolution[0], 0);
    EXPECT_EQ(g_WorkSet.setPoints.valueA[0], 8.0f);
    EXPECT_EQ(g_WorkSet.alarm.relay, 1);
    EXPECT_EQ(g_WorkSet.cleaning.relay, 0);
    EXPECT_EQ(g_WorkSet.pid.source, kPidSourceOff);
    EXPECT_EQ(g_WorkSet.alarm.disableMask, 0xFFFFFE7Fu);
    EXPECT_EQ(g_WorkSet.relays.delay[1], 1.0f);
    // The sensor alarms give up their relays in the edit copy, whichever channel changed.
    for (uint32_t channel = 0; channel < 2; ++channel) {
        g_SlotSettings.cycle[0].output = 1;
        g_SlotEdit.cycle[0].output = 1;
        Chan_ResetForSensorKind(channel, kKindPh);
        EXPECT_EQ(g_SlotSettings.cycle[0].output, 1);
        EXPECT_EQ(g_SlotEdit.cycle[0].output, 2);
    }
    // Nothing of it is live before the commit.
    EXPECT_EQ(g_ChannelKind[0], kKindPh);
    EXPECT_EQ(g_AlarmSettings.disableMask, 0xFFFFFE7Fu);
}
