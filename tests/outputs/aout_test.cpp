// Analog current outputs: scaling at the range ends, alarm currents, hold, output modes, output
// 1's fall delay and damping in virtual time, the load rules, and the converter calibration from
// counts with its refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/eeprom.h"
#include "core/fmt.h"
#include "core/timers.h"
#include "digital_sensor/sens_diag.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/hold.h"
#include "panel/outputs.h"
#include "rig.h"
#include "sim/sim_inputs.h"

namespace {
void Fresh() {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    Aout_LoadSettings(&status);  // installs the fall timer; a fresh store loads the load defaults
    g_AoutSettings.valueAt4mA[0] = g_AoutSettings.valueAt4mA[1] = 2.0f;
    g_AoutSettings.valueAt20mA[0] = g_AoutSettings.valueAt20mA[1] = 12.0f;
    g_CurrentChannel = 0;
    for (uint32_t slot = 0; slot < kSlotCount; ++slot) g_SlotUnit[slot] = 13;  // pH, not a pressure
}

// Display line b (output 2, no damping and no fall delay) shows the value.
float Output2For(float value, uint32_t status) {
    g_SlotValues[1] = SlotValue{value, status};
    Aout_UpdateAll();
    return Aout_GetShownCurrent(1);
}

}  // namespace

TEST(AnalogOutputs, ScalingBetweenTheRangeEnds) {
    Fresh();
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusValid), 12.0f);
    EXPECT_FLOAT_EQ(Output2For(2.0f, kStatusValid), 4.0f);
    EXPECT_FLOAT_EQ(Output2For(12.0f, kStatusValid), 20.0f);
    EXPECT_FLOAT_EQ(Output2For(20.0f, kStatusValid), 20.5f);
    EXPECT_FLOAT_EQ(Output2For(-5.0f, kStatusValid), 3.8f);
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusUnder), 3.8f);
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusInvalid), 20.5f);
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusOver), 20.5f);
    EXPECT_FLOAT_EQ(Output2For(NAN, kStatusValid), 20.5f);
    // A reversed span gives a falling output; equal ends give 20.5 mA whatever the value.
    g_AoutSettings.valueAt4mA[1] = 12.0f;
    g_AoutSettings.valueAt20mA[1] = 2.0f;
    EXPECT_FLOAT_EQ(Output2For(4.0f, kStatusValid), 16.8f);
    g_AoutSettings.valueAt20mA[1] = 12.0f;
    EXPECT_FLOAT_EQ(Output2For(12.0f, kStatusValid), 20.5f);
    EXPECT_FLOAT_EQ(Output2For(-100.0f, kStatusValid), 20.5f);
}

TEST(AnalogOutputs, AlarmCurrentsHoldAndOutputModes) {
    Fresh();
    g_AoutSettings.alarmEnable[1] = 1;
    g_AoutSettings.alarmLevel[1] = kAoutAlarmLevelLow;
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusValid), 12.0f) << "no alarm yet";
    Alarm_SetCause(kAlarmCauseCommError, 0);
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusValid), 3.6f);
    g_AoutSettings.alarmLevel[1] = kAoutAlarmLevelHigh;
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusValid), 22.0f);
    g_AoutSettings.alarmEnable[1] = 0;
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusValid), 12.0f) << "alarm current switched off";
    // Only the shown channel's alarm counts; channel B's sensor outputs count on channel B.
    g_AoutSettings.alarmEnable[1] = 1;
    g_CurrentChannel = 1;
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusValid), 12.0f);
    g_ChanOcAlarm[4] = 1;
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusValid), 22.0f);
    g_ChanOcAlarm[4] = 0;
    g_CurrentChannel = 0;
    Alarm_ClearCause(kAlarmCauseCommError, 0);

    // Held: the last current, the hold value, or not held.
    EXPECT_FLOAT_EQ(Output2For(7.0f, kStatusValid), 12.0f);
    g_OutputHold = 1;
    EXPECT_FLOAT_EQ(Output2For(10.0f, kStatusValid), 12.0f);
    g_AoutSettings.holdMode[1] = kAoutHoldValue;
    g_AoutSettings.holdValue[1] = 5.5f;
    EXPECT_FLOAT_EQ(Output2For(10.0f, kStatusValid), 5.5f);
    g_AoutSettings.holdMode[1] = kAoutHoldOff;
    EXPECT_FLOAT_EQ(Output2For(10.0f, kStatusValid), 16.8f);
    g_OutputHold = 0;

    // The output modes: a fixed 12 mA and the fixed value, alarm or not.
    Alarm_SetCause(kAlarmCauseCommError, 0);
    g_OutputStartFlags[1] = kAoutModeFixed12;
    EXPECT_FLOAT_EQ(Output2For(3.0f, kStatusValid), 12.0f);
    g_OutputStartFlags[1] = kAoutModeFixedValue;
    EXPECT_FLOAT_EQ(Output2For(3.0f, kStatusValid), 12.0f);
}

TEST(AnalogOutputs, Output1FollowsARiseAtOnceAndAFall500msLater) {
    Fresh();
    Aout_WriteCurrent(0, 10.0f);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), 10.0f);
    EXPECT_NEAR(g_AnalogOut[0].converter, 10.0f * 0.0451648f - 0.1346806f, 1e-6f);
    Aout_WriteCurrent(0, 6.0f);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), 10.0f);
    Rig_TickOnlyMs(480);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), 10.0f);
    Rig_TickOnlyMs(40);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), 6.0f);
    // A rise during the delay shows at once, and the pending fall is forgotten.
    Aout_WriteCurrent(0, 5.0f);
    Aout_WriteCurrent(0, 8.0f);
    Rig_TickOnlyMs(600);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), 8.0f);
    // Written currents are held to 3.3 .. 23.0 mA.
    Aout_WriteCurrent(0, 25.0f);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), 23.0f);
    Aout_WriteCurrent(0, 2.0f);
    Rig_TickOnlyMs(520);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), 3.3f);
    Aout_WriteCurrent(1, 25.0f);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(1), 23.0f);
    Aout_WriteCurrent(1, 2.0f);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(1), 3.3f);
    Aout_WriteCurrent(1, NAN);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(1), 3.3f);
    // With the display setting on, a fall shows at once.
    g_DisplayFlag = 1;
    Aout_WriteCurrent(0, 12.0f);
    Aout_WriteCurrent(0, 7.0f);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), 7.0f);
    g_DisplayFlag = 0;
}

TEST(AnalogOutputs, Output1AveragesOverItsDamping) {
    Fresh();
    g_AoutSettings.damping = 3;
    // 4, 12 and 20 mA asked for in turn: output 1 shows their running mean.
    const float values[4] = {2.0f, 7.0f, 12.0f, 12.0f};
    const float means[4] = {4.0f, 8.0f, 12.0f, 52.0f / 3.0f};
    for (int i = 0; i < 4; ++i) {
        g_SlotValues[0] = SlotValue{values[i], kStatusValid};
        Aout_UpdateAll();
        EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), means[i]) << i;
    }
}

TEST(AnalogOutputs, SettingsLoadRules) {
    Fresh();
    uint32_t status = 0;
    Aout_WriteDefaults(&status);
    const uint8_t level[2] = {5, 0};
    const uint8_t enable[2] = {3, 1};
    const uint8_t hold[2] = {3, 1};
    const uint8_t damping = 0;
    Eeprom_Write(1140, level, 2, &status);
    Eeprom_Write(1034, enable, 2, &status);
    Eeprom_Write(1180, hold, 2, &status);
    Eeprom_Write(218, &damping, 1, &status);
    Eeprom_WriteFloat(1182, 30.0f, &status);
    Eeprom_WriteFloat(1186, 3.6f, &status);
    const uint8_t nan[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    Eeprom_Write(1154, nan, 4, &status);
    std::vector<uint8_t> before = Rig_StoreBytes();
    status = 0;
    Aout_LoadSettings(&status);
    EXPECT_EQ(status, kStoreFloatNotFinite) << "the unreadable range end";
    const AoutSettings& a = g_AoutSettings;
    EXPECT_EQ(a.alarmLevel[0], kAoutAlarmLevelHigh);
    EXPECT_EQ(a.alarmLevel[1], kAoutAlarmLevelLow);
    EXPECT_EQ(a.alarmEnable[0], 0);
    EXPECT_EQ(a.alarmEnable[1], 1);
    EXPECT_EQ(a.holdMode[0], kAoutHoldLast);
    EXPECT_EQ(a.holdMode[1], kAoutHoldValue);
    EXPECT_EQ(a.holdValue[0], 4.0f);
    EXPECT_EQ(a.holdValue[1], 3.6f);
    EXPECT_EQ(a.damping, 1);
    EXPECT_EQ(a.valueAt20mA[0], 0.0f);
    EXPECT_EQ(a.valueAt20mA[1], 100.0f);
    EXPECT_EQ(Rig_StoreBytes(), before) << "loading rewrites nothing";
    const uint8_t tooDeep = 16;
    Eeprom_Write(218, &tooDeep, 1, &status);
    Aout_LoadSettings(&status);
    EXPECT_EQ(a.damping, 1);

    // The output mode byte: a value that names no mode drives the outputs normally.
    const uint8_t modes[4] = {0, 1, 2, 0xFF};
    const uint8_t expected[4] = {kAoutModeFixed12, kAoutModeNormal, kAoutModeFixedValue, kAoutModeNormal};
    for (int i = 0; i < 4; ++i) {
        Eeprom_Write(217, &modes[i], 1, &status);
        Aout_LoadOutputMode(&status);
        EXPECT_EQ(g_OutputStartFlags[0], expected[i]);
        EXPECT_EQ(g_OutputStartFlags[1], expected[i]);
    }
}

TEST(OutputCalibration, FromCountsAndItsRefusals) {
    Fresh();
    uint32_t status = 0;
    // The built-in points at 4 and 20 mA give the built-in calibration back.
    Aout_CalFromPoints(0, 4.0f, 20.0f, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(g_AnalogOut[0].candidateGain, 0.0451648f, 2e-6f);
    EXPECT_NEAR(g_AnalogOut[0].candidateOffset, -0.1346806f, 2e-5f);
    // Two points at the same current, and a gain that puts 10 mA off the reference, are refused.
    Aout_CalFromPoints(0, 10.0f, 10.0f, &status);
    EXPECT_EQ(status, 2u);
    Aout_SetCalPoint(0, 1, 7000.0f);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), 3.6f) << "output 1 drops to 3.6 mA while calibrated";
    Aout_CalFromPoints(0, 4.0f, 20.0f, &status);
    EXPECT_EQ(status, 2u);
    Aout_AcceptCalibration(0, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_FLOAT_EQ(g_AnalogOut[0].gain, 0.0451648f) << "a refused candidate is not used";
    g_AnalogOut[0].candidateGain = 0.0f;
    Aout_CheckCalibration(0, &status);
    EXPECT_EQ(status, 2u);

    // Output 2 has no acceptance test; an accepted calibration is used and stored.
    Aout_SetCalPoint(1, 0, 1200.0f);
    Aout_SetCalPoint(1, 1, 5900.0f);
    Aout_CalFromPoints(1, 4.0f, 20.0f, &status);
    EXPECT_EQ(status, 0u);
    Aout_AcceptCalibration(1, &status);
    EXPECT_EQ(status, 0u);
    float gain = 4700.0f / (16.0f * kAoutFullScale);
    EXPECT_FLOAT_EQ(g_AnalogOut[1].gain, gain);
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    EXPECT_FLOAT_EQ(Rig_FloatAt(bytes, 1476), gain);
    EXPECT_FLOAT_EQ(Rig_FloatAt(bytes, 1484), g_AnalogOut[1].offset);
    EXPECT_FLOAT_EQ(Rig_FloatAt(bytes, 1496), 1200.0f);
    EXPECT_FLOAT_EQ(Rig_FloatAt(bytes, 1500), 5900.0f);
    EXPECT_NEAR(Aout_GetGainRatio(1), gain / 0.0394599f, 1e-5f);
    EXPECT_NEAR(Aout_GetOffsetDelta(1), g_AnalogOut[1].offset - 0.000848688f, 1e-6f);

    // A point below the output's lowest count reads as that count.
    Aout_SetCalPoint(0, 0, 100.0f);
    EXPECT_FLOAT_EQ(Aout_GetCalPoint(0, 0, &status), 205.0f);
    EXPECT_FLOAT_EQ(Aout_GetCalPoint(1, 0, &status), 1200.0f);
    Aout_GetCalPoint(0, 2, &status);
    EXPECT_EQ(status, 2u);
}

TEST(OutputCalibration, FactoryCopyResetAndLoad) {
    Fresh();
    uint32_t status = 0;
    Aout_ResetCalibration(&status);
    EXPECT_EQ(status, 0u);
    std::vector<uint8_t> bytes = Rig_StoreBytes();
    EXPECT_FLOAT_EQ(Rig_FloatAt(bytes, 1472), 0.0451648f);
    EXPECT_FLOAT_EQ(Rig_FloatAt(bytes, 1484), 0.000848688f);
    EXPECT_FLOAT_EQ(Rig_FloatAt(bytes, 1488), 339.0f);
    EXPECT_FLOAT_EQ(Rig_FloatAt(bytes, 1500), 5825.0f);
    EXPECT_FLOAT_EQ(Rig_FloatAt(bytes, 1928), 0.0451648f);
    EXPECT_FLOAT_EQ(Rig_FloatAt(bytes, 1948), 0.000848688f);

    // A factory copy that fails output 1's test is stored as it is but not used.
    Eeprom_WriteFloat(1928, 0.05f, &status);
    Aout_RestoreFactoryCal(&status);
    EXPECT_FLOAT_EQ(g_AnalogOut[0].gain, 0.0451648f);
    EXPECT_FLOAT_EQ(Rig_FloatAt(Rig_StoreBytes(), 1472), 0.05f);

    // Loading: the stored values when all read, else both outputs built in.
    Eeprom_WriteFloat(1476, 0.04f, &status);
    Aout_LoadCalibration(&status);
    EXPECT_FLOAT_EQ(g_AnalogOut[0].gain, 0.05f);
    EXPECT_FLOAT_EQ(g_AnalogOut[1].gain, 0.04f);
    EXPECT_FLOAT_EQ(Aout_GetShownCurrent(0), 4.0f);
    const uint8_t nan[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    Eeprom_Write(1500, nan, 4, &status);
    status = 0;
    Aout_LoadCalibration(&status);
    EXPECT_EQ(status, kStoreFloatNotFinite);
    EXPECT_FLOAT_EQ(g_AnalogOut[0].gain, 0.0451648f);
    EXPECT_FLOAT_EQ(g_AnalogOut[1].gain, 0.0394599f);
    EXPECT_FLOAT_EQ(g_AnalogOut[1].point[1], 5825.0f);
    Aout_ResetCalPoints(&status);
    EXPECT_FLOAT_EQ(Rig_FloatAt(Rig_StoreBytes(), 1500), 5825.0f);
}

TEST(AnalogOutputs, DefaultRangeEndsByQuantity) {
    Fresh();
    EXPECT_EQ(Aout_GetDefaultRangeBound(13, kPrefixNone, 0), 12.0f);
    EXPECT_EQ(Aout_GetDefaultRangeBound(13, kPrefixNone, 1), 2.0f);
    EXPECT_EQ(Aout_GetDefaultRangeBound(0, kPrefixMega, 0), 2e7f);
    EXPECT_EQ(Aout_GetDefaultRangeBound(23, kPrefixNone, 0), 0.0015f);
    EXPECT_EQ(Aout_GetDefaultRangeBound(36, kPrefixNone, 0), 1000.0f);
    // Held to what the line's unit measures and its page shows: microsiemens, nanoamperes.
    EXPECT_FLOAT_EQ(Aout_GetDefaultRangeBound(1, kPrefixMicro, 0), 0.099999f);
    EXPECT_EQ(Aout_GetDefaultRangeBound(26, kPrefixNone, 1), -9999.0f);
}

TEST(AnalogOutputs, FollowTheMeasuredValueInTheRunningFirmware) {
    Rig_Reset(Rig_MakeTempFolder());
    // pH 8 at 25 C on channel A; output 1 spans pH 2 to 12 by its factory setting.
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(25.0f));
    Panel_SetSimInput(0, kSimElectrodeVolts, -59.16f);
    Rig_Boot();
    Rig_AdvanceMs(20000);
    EXPECT_NEAR(Aout_GetShownCurrent(0), 13.6f, 0.05f);
    EXPECT_EQ(Panel_AnalogOutputText(0), "13.60");
    // pH 6: the output falls, half a second after the value.
    Panel_SetSimInput(0, kSimElectrodeVolts, 59.16f);
    Rig_AdvanceMs(20000);
    EXPECT_NEAR(Aout_GetShownCurrent(0), 10.4f, 0.05f);
}
