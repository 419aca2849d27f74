// Temperature from channel A's element through the reply decoder into the record: element
// detection, the three element curves and their limits, the manual temperature, the range by
// measuring kind, and both calibrations with what they store.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "core/eeprom.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/temperature.h"
#include "panel/sim_inputs.h"
#include "rig.h"

namespace {
void FreshStore() {
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
}

// Channel A's measurement reply with the element resistance on the panel.
void ReplyWithElement(float ohm) {
    const uint8_t payload[21] = {};
    Panel_SetSimInput(0, kSimElementOhm, ohm);
    Meas_DecodeChannelAReply(0, payload);
}

float StoredFloat(uint32_t offset) {
    float value = 0.0f;
    uint32_t status = 0;
    Eeprom_ReadFloat(offset, &value, &status);
    EXPECT_EQ(status, 0u) << "offset " << offset;
    return value;
}

std::vector<uint8_t> StoreBytes() {
    std::ifstream in(Rig_StorePath(), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// The filtered element reading a calibration point takes.
void HoldCalibrationReading(float ohm) {
    Filter_Init(&g_CalFilters[kCalFilterValue], kFilterDepth10);
    Filter_Push(&g_CalFilters[kCalFilterValue], ohm, 0.0f, 0);
}

const MeasurementRecord& A() { return g_Measurement[0]; }
}  // namespace

TEST(Temperature, AutomaticDetectionAndTheStickyNtc) {
    g_MeasuringKind[0] = kKindPh;
    ReplyWithElement(1999.9f);
    EXPECT_EQ(Temp_GetElementType(0), kElementPt1000);
    ReplyWithElement(499.9f);
    EXPECT_EQ(Temp_GetElementType(0), kElementPt100);
    ReplyWithElement(500.0f);
    EXPECT_EQ(Temp_GetElementType(0), kElementPt1000);
    ReplyWithElement(2000.0f);
    EXPECT_EQ(Temp_GetElementType(0), kElementNtc);
    // A hot NTC reads low; it is not taken for a Pt100.
    ReplyWithElement(100.0f);
    EXPECT_EQ(Temp_GetElementType(0), kElementNtc);
    EXPECT_EQ(A().temperatureSourceStatus, 2u) << "100 ohm on the NTC is far above 140 C";
    // A missing element drops the guess back to the Pt1000.
    ReplyWithElement(0.0f);
    EXPECT_EQ(A().elementStatus, 3u);
    EXPECT_EQ(Temp_GetElementType(0), kElementPt1000);
    EXPECT_EQ(A().temperatureStatus, 3u) << "the element's status carries into the temperature";
    // A fixed element mode keeps its type whatever the resistance.
    uint32_t status = 0;
    Temp_SetSourceMode(0, kTempSourcePt100, &status);
    ReplyWithElement(5000.0f);
    EXPECT_EQ(Temp_GetElementType(0), kElementPt100);
}

TEST(Temperature, ElementCurvesAndTheirLimits) {
    g_MeasuringKind[0] = kKindCond2;
    // Pt1000 at 100 C.
    ReplyWithElement(Temp_RtdRatioFromTemp(100.0f));
    EXPECT_NEAR(A().temperature, 100.0f, 0.05f);
    EXPECT_EQ(A().temperatureStatus, 0u);
    EXPECT_FLOAT_EQ(A().elementResistance, Temp_RtdRatioFromTemp(100.0f));
    // Pt100 at -20 C: read times ten.
    ReplyWithElement(Temp_RtdRatioFromTemp(-20.0f) / 10.0f);
    EXPECT_EQ(Temp_GetElementType(0), kElementPt100);
    EXPECT_NEAR(A().temperature, -20.0f, 0.05f);
    // A Pt100 of 300 ohm reads as 3000: no element.
    uint32_t status = 0;
    Temp_SetSourceMode(0, kTempSourcePt100, &status);
    ReplyWithElement(300.0f);
    EXPECT_EQ(A().temperature, 0.0f);
    EXPECT_EQ(A().temperatureSourceStatus, 2u);
    // RTD limits: above 200 C and below -40 C.
    Temp_SetSourceMode(0, kTempSourcePt1000, &status);
    ReplyWithElement(Temp_RtdRatioFromTemp(205.0f));
    EXPECT_EQ(A().temperatureSourceStatus, 2u);
    ReplyWithElement(Temp_RtdRatioFromTemp(-45.0f));
    EXPECT_EQ(A().temperatureSourceStatus, 3u);
    ReplyWithElement(Temp_RtdRatioFromTemp(199.0f));
    EXPECT_EQ(A().temperatureSourceStatus, 0u);
    // NTC 22 kilohm at 25 C, and its limits 140 C and -30 C.
    Temp_SetSourceMode(0, kTempSourceNtc, &status);
    ReplyWithElement(22000.0f);
    EXPECT_NEAR(A().temperature, 25.0f, 0.05f);
    EXPECT_EQ(A().temperatureStatus, 0u);
    ReplyWithElement(400.0f);
    EXPECT_GT(A().temperature, 140.0f);
    EXPECT_EQ(A().temperatureSourceStatus, 2u);
    ReplyWithElement(500000.0f);
    EXPECT_EQ(A().elementStatus, 2u) << "350 kilohm and above is an open input";
    ReplyWithElement(340000.0f);
    EXPECT_LT(A().temperature, -30.0f);
    EXPECT_EQ(A().temperatureSourceStatus, 3u);
    ReplyWithElement(350000.0f);
    EXPECT_EQ(A().elementStatus, 2u);
    EXPECT_EQ(A().temperatureStatus, 2u);
}

TEST(Temperature, RangeByMeasuringKindAndTheManualTemperature) {
    uint32_t status = 0;
    g_MeasuringKind[0] = kKindPh;
    Meas_CheckTemperatureRange(0, 130.0f, &status);
    EXPECT_EQ(status, 0u);
    Meas_CheckTemperatureRange(0, 130.1f, &status);
    EXPECT_EQ(status, 2u);
    Meas_CheckTemperatureRange(0, -30.1f, &status);
    EXPECT_EQ(status, 3u);
    g_MeasuringKind[0] = kKindO2Trace;
    Meas_CheckTemperatureRange(0, 80.5f, &status);
    EXPECT_EQ(status, 2u);
    g_MeasuringKind[0] = kKindCo2;
    Meas_CheckTemperatureRange(0, -0.5f, &status);
    EXPECT_EQ(status, 3u);
    g_MeasuringKind[0] = kKindNone;
    Meas_CheckTemperatureRange(0, 500.0f, &status);
    EXPECT_EQ(status, 0u);
    Meas_CheckTemperatureRange(kChannelNone, 20.0f, &status);
    EXPECT_EQ(status, 2u);

    // Manual mode: the element does not matter, not even a missing one.
    g_MeasuringKind[0] = kKindPh;
    Temp_SetManualValue(0, 42.5f, &status);
    Temp_SetSourceMode(0, kTempSourceManual, &status);
    ReplyWithElement(0.0f);
    EXPECT_EQ(A().temperature, 42.5f);
    EXPECT_EQ(A().temperatureSourceStatus, 0u);
    EXPECT_EQ(A().temperatureStatus, 0u);
    Temp_SetManualValue(0, 201.0f, &status);
    ReplyWithElement(1000.0f);
    EXPECT_EQ(A().temperatureSourceStatus, 2u);
    Temp_SetManualValue(0, -41.0f, &status);
    ReplyWithElement(1000.0f);
    EXPECT_EQ(A().temperatureSourceStatus, 3u);
}

TEST(Temperature, SettingsLoadGivesAFailedChannelItsOwnDefaults) {
    FreshStore();
    uint32_t status = 0;
    // Channel A's settings are readable, channel B's manual temperature is not a number.
    uint8_t modeA = kTempSourceManual;
    Eeprom_Write(64, &modeA, 1, &status);
    Eeprom_WriteFloat(66, 30.0f, &status);
    uint8_t modeB = kTempSourcePt100;
    Eeprom_Write(65, &modeB, 1, &status);
    Temp_LoadSettings(&status);
    EXPECT_EQ(Temp_GetManualValue(0), 30.0f) << "channel A keeps what it stored";
    EXPECT_EQ(Temp_GetSourceMode(0), kTempSourceManual);
    EXPECT_EQ(Temp_GetManualValue(1), 25.0f);
    EXPECT_EQ(Temp_GetSourceMode(1), kTempSourceAuto);
    EXPECT_EQ(Temp_GetCurrentValue(), 30.0f);

    // A stored mode above 4 loads as automatic.
    uint8_t bad = 9;
    Eeprom_Write(64, &bad, 1, &status);
    Temp_LoadSettings(&status);
    EXPECT_EQ(Temp_GetSourceMode(0), kTempSourceAuto);

    Temp_SetDefaults(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(StoredFloat(66), 25.0f);
    EXPECT_EQ(StoredFloat(70), 25.0f);
    EXPECT_EQ(StoreBytes()[64], 0);
    EXPECT_EQ(StoreBytes()[65], 0);
}

TEST(TemperatureCalibration, TwoPointRtdCalibrationAndWhatItStores) {
    FreshStore();
    uint32_t status = 0;
    Temp_SetSourceMode(0, kTempSourcePt1000, &status);
    Temp_SetElementType(0, kElementPt1000);
    // The element reads 5 ohm high at 0 C and 10 ohm high at 100 C.
    HoldCalibrationReading(1005.0f);
    Temp_RecordPoint(0, 0, 0.0f, &status);
    EXPECT_EQ(status, 0u);
    float r100 = Temp_RtdRatioFromTemp(100.0f);
    HoldCalibrationReading(r100 + 10.0f);
    Temp_RecordPoint(0, 1, 100.0f, &status);
    EXPECT_EQ(status, 0u);
    Temp_CalcTwoPoint(0, &status);
    EXPECT_EQ(status, 0u);
    float slope = (r100 - 1000.0f) / (r100 + 10.0f - 1005.0f);
    EXPECT_FLOAT_EQ(Temp_GetSlope(0), slope);
    EXPECT_FLOAT_EQ(Temp_GetOffset(0), 1000.0f - slope * 1005.0f);
    EXPECT_EQ(Temp_GetSlopeInUse(0), 1.0f) << "not in use before it is stored";
    Temp_StoreCal(0, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(StoredFloat(576), 0.0f);
    EXPECT_EQ(StoredFloat(580), 100.0f);
    EXPECT_FLOAT_EQ(StoredFloat(592), slope);
    EXPECT_FLOAT_EQ(StoredFloat(600), 1000.0f - slope * 1005.0f);
    EXPECT_EQ(StoredFloat(608), 0.0f);
    // The calibrated element now reads true.
    g_MeasuringKind[0] = kKindPh;
    ReplyWithElement(r100 + 10.0f);
    EXPECT_NEAR(A().temperature, 100.0f, 0.05f);
    ReplyWithElement(1005.0f);
    EXPECT_NEAR(A().temperature, 0.0f, 0.05f);
    // Reloaded from the store it is the same. Channel B's calibration was never stored: that
    // channel falls back to the defaults and the load says so.
    Temp_LoadAll(&status);
    EXPECT_EQ(status, 101u);
    EXPECT_FLOAT_EQ(Temp_GetSlopeInUse(0), slope);
    EXPECT_EQ(Temp_GetSlopeInUse(1), 1.0f);
}

TEST(TemperatureCalibration, PointsTooCloseAndOnePointCalibrations) {
    FreshStore();
    uint32_t status = 0;
    Temp_SetSourceMode(0, kTempSourcePt1000, &status);
    HoldCalibrationReading(1000.0f);
    Temp_RecordPoint(0, 0, 0.0f, &status);
    HoldCalibrationReading(1000.5f);
    Temp_RecordPoint(0, 1, 50.0f, &status);
    EXPECT_EQ(status, 2u) << "readings less than 1 ohm apart";
    HoldCalibrationReading(1100.0f);
    Temp_RecordPoint(0, 1, 0.00005f, &status);
    EXPECT_EQ(status, 2u) << "references that coincide";

    // One point, offset: slope 1, offset = Pt1000(reference) - reading.
    HoldCalibrationReading(1010.0f);
    Temp_RecordPoint(0, 0, 0.0f, &status);
    Temp_CalcOnePoint(0, 1, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Temp_GetSlope(0), 1.0f);
    EXPECT_FLOAT_EQ(Temp_GetOffset(0), -10.0f);
    // One point, slope: slope = Pt1000(reference) / reading, offset 0.
    Temp_CalcOnePoint(0, 0, &status);
    EXPECT_FLOAT_EQ(Temp_GetSlope(0), 1000.0f / 1010.0f);
    EXPECT_EQ(Temp_GetOffset(0), 0.0f);
    // A Pt100 reading is taken times ten.
    Temp_SetSourceMode(0, kTempSourcePt100, &status);
    HoldCalibrationReading(101.0f);
    Temp_RecordPoint(0, 0, 0.0f, &status);
    Temp_CalcOnePoint(0, 1, &status);
    EXPECT_FLOAT_EQ(Temp_GetOffset(0), -10.0f);
    // Without a reading there is no point.
    Filter_Init(&g_CalFilters[kCalFilterValue], kFilterDepth10);
    Temp_RecordPoint(0, 0, 0.0f, &status);
    EXPECT_EQ(status, 2u);
}

TEST(TemperatureCalibration, NtcOffsetCalibration) {
    FreshStore();
    uint32_t status = 0;
    Temp_SetSourceMode(0, kTempSourceNtc, &status);
    // 22 kilohm reads 25 C; the process is at 26.5 C.
    HoldCalibrationReading(22000.0f);
    Temp_RecordPoint(0, 0, 26.5f, &status);
    Temp_CalcOnePoint(0, 0, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Temp_GetSlope(0), 1.0f);
    EXPECT_NEAR(Temp_GetOffset(0), 1.5f, 0.01f);
    Temp_CalcTwoPoint(0, &status);
    EXPECT_EQ(status, 2u) << "an NTC has no two-point calibration";
    Temp_StoreCal(0, &status);
    EXPECT_NEAR(StoredFloat(608), 1.5f, 0.01f);
    g_MeasuringKind[0] = kKindPh;
    ReplyWithElement(22000.0f);
    EXPECT_NEAR(A().temperature, 26.5f, 0.05f);
    // The slope cannot be set on an NTC; the offset goes to the NTC offset.
    Temp_SetSlope(0, 2.0f, &status);
    EXPECT_EQ(Temp_GetSlopeInUse(0), 1.0f);
    Temp_SetOffset(0, -0.5f, &status);
    EXPECT_EQ(Temp_GetOffsetInUse(0), -0.5f);
    EXPECT_EQ(StoredFloat(608), -0.5f);
}

TEST(TemperatureCalibration, ResetTouchesChannelAOnlyAndLoadFailureDefaults) {
    FreshStore();
    uint32_t status = 0;
    // Channel B has a stored calibration of its own.
    const uint32_t offsetsB[5] = {584, 588, 596, 604, 612};
    const float valuesB[5] = {10.0f, 60.0f, 1.01f, -3.0f, 0.25f};
    for (int i = 0; i < 5; ++i) Eeprom_WriteFloat(offsetsB[i], valuesB[i], &status);
    Temp_SetSourceMode(0, kTempSourcePt1000, &status);
    Temp_SetSlope(0, 1.02f, &status);
    Temp_SetOffset(0, 4.0f, &status);
    EXPECT_EQ(StoredFloat(592), 1.02f);
    EXPECT_EQ(StoredFloat(600), 4.0f);
    std::vector<uint8_t> before = StoreBytes();
    Temp_ResetAllCal(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Temp_GetSlopeInUse(0), 1.0f);
    EXPECT_EQ(Temp_GetOffsetInUse(0), 0.0f);
    EXPECT_EQ(StoredFloat(576), 0.0f);
    EXPECT_EQ(StoredFloat(580), 50.0f);
    EXPECT_EQ(StoredFloat(592), 1.0f);
    EXPECT_EQ(StoredFloat(600), 0.0f);
    EXPECT_EQ(StoredFloat(608), 0.0f);
    std::vector<uint8_t> after = StoreBytes();
    for (uint32_t offset : offsetsB) {
        for (uint32_t i = 0; i < 4; ++i) EXPECT_EQ(after[offset + i], before[offset + i]);
    }
    Temp_LoadAll(&status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Temp_GetSlopeInUse(1), 1.01f);
    uint32_t pointStatus = 0;
    EXPECT_EQ(Temp_GetPointValue(1, 1, &pointStatus), 60.0f);

    // Channel A unreadable: both channels take the defaults and the load reports 101.
    const uint8_t notANumber[4] = {0xFF, 0xFF, 0xFF, 0xFF};
    Eeprom_Write(592, notANumber, 4, &status);
    Temp_LoadAll(&status);
    EXPECT_EQ(status, 101u);
    EXPECT_EQ(Temp_GetSlopeInUse(1), 1.0f);
    EXPECT_EQ(Temp_GetPointValue(1, 1, &pointStatus), 50.0f);
}
