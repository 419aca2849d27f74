// Temperature from channel A's element through the reply decoder into the record: element
// detection, the element curves and their limits, the manual temperature, the settings load,
// and both calibrations with what they store.
#include <gtest/gtest.h>

#include <array>

#include "core/eeprom.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/temperature.h"
#include "rig.h"
#include "sim/sim_inputs.h"

namespace {
// Channel A's measurement reply with this element resistance on the panel.
const MeasurementRecord& ReplyWithElement(float ohm) {
    const std::array<uint8_t, 21> payload{};
    Panel_SetSimInput(0, kSimElementOhm, ohm);
    Meas_DecodeChannelAReply(0, payload.data());
    return g_Measurement[0];
}

// The filtered element reading a calibration point takes.
void RecordPoint(uint32_t point, float ohm, float reference, uint32_t* status) {
    Filter_Init(&g_CalFilters[kCalFilterValue], kFilterDepth10);
    Filter_Push(&g_CalFilters[kCalFilterValue], ohm, 0.0f, 0);
    Temp_RecordPoint(0, point, reference, status);
}
}  // namespace

TEST(Temperature, AutomaticDetectionAndTheStickyNtc) {
    g_MeasuringKind[0] = kKindPh;
    ReplyWithElement(1999.9f);
    EXPECT_EQ(Temp_GetElementType(0), kElementPt1000);
    ReplyWithElement(499.9f);
    EXPECT_EQ(Temp_GetElementType(0), kElementPt100);
    ReplyWithElement(2000.0f);
    EXPECT_EQ(Temp_GetElementType(0), kElementNtc);
    // A hot NTC reads low; it is not taken for a Pt100.
    EXPECT_EQ(ReplyWithElement(100.0f).temperatureSourceStatus, 2u);
    EXPECT_EQ(Temp_GetElementType(0), kElementNtc);
    // A missing element: status 3 all the way, and the guess back to the Pt1000.
    const MeasurementRecord& r = ReplyWithElement(0.0f);
    EXPECT_EQ(r.elementStatus, 3u);
    EXPECT_EQ(r.temperatureStatus, 3u);
    EXPECT_EQ(Temp_GetElementType(0), kElementPt1000);
}

TEST(Temperature, ElementCurvesLimitsAndTheManualValue) {
    g_MeasuringKind[0] = kKindCond2;
    EXPECT_NEAR(ReplyWithElement(Temp_RtdRatioFromTemp(100.0f)).temperature, 100.0f, 0.05f);
    EXPECT_NEAR(ReplyWithElement(Temp_RtdRatioFromTemp(-20.0f) / 10.0f).temperature, -20.0f, 0.05f);
    uint32_t status = 0;
    Temp_SetSourceMode(0, kTempSourcePt100, &status);
    const MeasurementRecord& r = ReplyWithElement(300.0f);  // reads as 3000: no element
    EXPECT_EQ(r.temperature, 0.0f);
    EXPECT_EQ(r.temperatureSourceStatus, 2u);
    Temp_SetSourceMode(0, kTempSourcePt1000, &status);
    EXPECT_EQ(ReplyWithElement(Temp_RtdRatioFromTemp(205.0f)).temperatureSourceStatus, 2u);
    EXPECT_EQ(ReplyWithElement(Temp_RtdRatioFromTemp(-45.0f)).temperatureSourceStatus, 3u);
    Temp_SetSourceMode(0, kTempSourceNtc, &status);
    EXPECT_NEAR(ReplyWithElement(22000.0f).temperature, 25.0f, 0.05f);
    EXPECT_EQ(ReplyWithElement(400.0f).temperatureSourceStatus, 2u);     // above 140 C
    EXPECT_EQ(ReplyWithElement(340000.0f).temperatureSourceStatus, 3u);  // below -30 C
    EXPECT_EQ(ReplyWithElement(350000.0f).elementStatus, 2u);
    // Kind 1's range ends at 130 C exactly.
    g_MeasuringKind[0] = kKindPh;
    Meas_CheckTemperatureRange(0, 130.0f, &status);
    EXPECT_EQ(status, 0u);
    Meas_CheckTemperatureRange(0, 130.1f, &status);
    EXPECT_EQ(status, 2u);
    // The manual value does not need an element, not even one that is missing.
    Temp_SetManualValue(0, 42.5f, &status);
    Temp_SetSourceMode(0, kTempSourceManual, &status);
    EXPECT_EQ(ReplyWithElement(0.0f).temperature, 42.5f);
    EXPECT_EQ(g_Measurement[0].temperatureStatus, 0u);
    Temp_SetManualValue(0, 201.0f, &status);
    EXPECT_EQ(ReplyWithElement(1000.0f).temperatureSourceStatus, 2u);
}

TEST(Temperature, SettingsLoadGivesAFailedChannelItsOwnDefaults) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    // Channel A's settings are readable; channel B's manual temperature is not a number.
    const uint8_t modes[2] = {kTempSourceManual, kTempSourcePt100};
    Eeprom_Write(64, modes, 2, &status);
    Eeprom_WriteFloat(66, 30.0f, &status);
    Temp_LoadSettings(&status);
    EXPECT_EQ(Temp_GetManualValue(0), 30.0f);
    EXPECT_EQ(Temp_GetSourceMode(0), kTempSourceManual);
    EXPECT_EQ(Temp_GetManualValue(1), 25.0f);
    EXPECT_EQ(Temp_GetSourceMode(1), kTempSourceAuto);
    EXPECT_EQ(Temp_GetCurrentValue(), 30.0f);
}

TEST(TemperatureCalibration, TwoPointRtdCalibrationAndWhatItStores) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    Temp_SetSourceMode(0, kTempSourcePt1000, &status);
    // The element reads 5 ohm high at 0 C and 10 ohm high at 100 C.
    float r100 = Temp_RtdRatioFromTemp(100.0f);
    RecordPoint(0, 1005.0f, 0.0f, &status);
    RecordPoint(1, r100 + 10.0f, 100.0f, &status);
    EXPECT_EQ(status, 0u);
    Temp_CalcTwoPoint(0, &status);
    EXPECT_EQ(status, 0u);
    float slope = (r100 - 1000.0f) / (r100 + 10.0f - 1005.0f);
    EXPECT_FLOAT_EQ(Temp_GetSlope(0), slope);
    EXPECT_EQ(Temp_GetSlopeInUse(0), 1.0f) << "not in use before it is stored";
    Temp_StoreCal(0, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Rig_StoredFloat(576), 0.0f);
    EXPECT_EQ(Rig_StoredFloat(580), 100.0f);
    EXPECT_FLOAT_EQ(Rig_StoredFloat(592), slope);
    EXPECT_FLOAT_EQ(Rig_StoredFloat(600), 1000.0f - slope * 1005.0f);
    EXPECT_EQ(Rig_StoredFloat(608), 0.0f);
    g_MeasuringKind[0] = kKindPh;
    EXPECT_NEAR(ReplyWithElement(r100 + 10.0f).temperature, 100.0f, 0.05f);
    EXPECT_NEAR(ReplyWithElement(1005.0f).temperature, 0.0f, 0.05f);
    // Readings less than 1 ohm apart make no second point.
    RecordPoint(0, 1000.0f, 0.0f, &status);
    RecordPoint(1, 1000.5f, 50.0f, &status);
    EXPECT_EQ(status, 2u);
    // One point on a Pt100 (reading times ten): offset only.
    Temp_SetSourceMode(0, kTempSourcePt100, &status);
    RecordPoint(0, 101.0f, 0.0f, &status);
    Temp_CalcOnePoint(0, 1, &status);
    EXPECT_EQ(Temp_GetSlope(0), 1.0f);
    EXPECT_FLOAT_EQ(Temp_GetOffset(0), -10.0f);
}

TEST(TemperatureCalibration, NtcOffsetAndAResetThatSparesChannelB) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    const uint32_t offsetsB[5] = {584, 588, 596, 604, 612};
    for (uint32_t offset : offsetsB) Eeprom_WriteFloat(offset, 3.0f, &status);
    Temp_SetSourceMode(0, kTempSourceNtc, &status);
    // 22 kilohm reads 25 C; the process is at 26.5 C.
    RecordPoint(0, 22000.0f, 26.5f, &status);
    Temp_CalcOnePoint(0, 0, &status);
    EXPECT_NEAR(Temp_GetOffset(0), 1.5f, 0.01f);
    Temp_CalcTwoPoint(0, &status);
    EXPECT_EQ(status, 2u) << "an NTC has no two-point calibration";
    Temp_StoreCal(0, &status);
    EXPECT_NEAR(Rig_StoredFloat(608), 1.5f, 0.01f);
    g_MeasuringKind[0] = kKindPh;
    EXPECT_NEAR(ReplyWithElement(22000.0f).temperature, 26.5f, 0.05f);

    Temp_ResetAllCal(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Rig_StoredFloat(580), 50.0f);
    EXPECT_EQ(Rig_StoredFloat(608), 0.0f);
    for (uint32_t offset : offsetsB) EXPECT_EQ(Rig_StoredFloat(offset), 3.0f) << offset;
    Temp_LoadAll(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Temp_GetSlopeInUse(1), 3.0f);
    // Channel A unreadable: both channels fall back to the defaults and the load says so.
    const uint8_t notANumber[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    Eeprom_Write(592, notANumber, 4, &status);
    Temp_LoadAll(&status);
    EXPECT_EQ(status, 101u);
    EXPECT_EQ(Temp_GetSlopeInUse(1), 1.0f);
}
