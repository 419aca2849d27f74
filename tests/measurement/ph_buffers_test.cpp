// pH buffer sets: the tables as listed, interpolation between rows (the irregular 37 C and 38 C
// rows, below the first and past the last row), recognition from mV and temperature with its
// windows, temperature limits and undefined buffers, a calibration point evaluated with the
// recognised buffer, and a two-point calibration through the rig whose buffers are recognised.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "core/eeprom.h"
#include "core/events.h"
#include "core/keypad.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/ph.h"
#include "measurement/ph_buffers.h"
#include "measurement/temperature.h"
#include "rig.h"
#include "sim/sim_inputs.h"
#include "ui/menu.h"

namespace {
void FreshStore() {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    CalPh_ResetModes(&status);
    CalPh_ResetToFactory(0, &status);
}

void UseSet(uint8_t set) {
    uint32_t status = 0;
    CalPh_SetBufferSet(0, set, &status);
    ASSERT_EQ(status, 0u);
}

// Recognition on channel A: the nominal pH, with the status and the column it leaves.
struct Found {
    float ph;
    uint32_t status;
    uint8_t column;
};
Found Recognise(float mv, float t) {
    Found f{};
    f.ph = CalPh_RecognizeBuffer(0, mv, t, &f.status);
    f.column = g_RecognisedBuffer[0];
    return f;
}

float Interpolate(uint32_t column, float t) {
    const BufferRow* table = nullptr;
    uint32_t rows = CalPh_GetBufferTable(0, &table);
    return CalPh_InterpolateBuffer(table, rows, column, t);
}

// The calibration filters hold this voltage and temperature, as after a settled point.
// The voltage at t of an ideal electrode (isothermal point 7) in a buffer of this pH.
float IdealMv(float ph, float t) { return (7.0f - ph) * (54.2f + 0.1984f * t); }
}  // namespace

TEST(BufferSets, TablesAsListed) {
    struct Expected {
        uint32_t rows;
        int16_t first, last;  // degrees C
        uint32_t buffers;
        float nominal[5];
    };
    const Expected sets[kBufferSetCount] = {
        {20, 0, 95, 4, {2.00f, 4.01f, 7.00f, 9.21f}},
        {20, 0, 95, 4, {2.00f, 4.01f, 7.00f, 10.00f}},
        {20, 0, 95, 5, {1.68f, 4.005f, 7.00f, 10.01f, 12.46f}},
        {16, 5, 95, 4, {1.68f, 4.008f, 6.865f, 9.184f}},
        {20, 0, 95, 3, {4.01f, 7.00f, 10.00f}},
        {20, 0, 95, 4, {2.08f, 4.02f, 6.98f, 9.95f}},
        {20, 0, 95, 5, {2.00f, 4.00f, 7.00f, 9.00f, 12.00f}},
        {20, 0, 95, 4, {2.00f, 4.01f, 7.00f, 10.00f}},
        {17, 0, 90, 4, {1.679f, 4.008f, 6.865f, 9.180f}},
        {17, 0, 90, 4, {1.679f, 4.008f, 6.865f, 9.180f}},  // the same table as set 8
        {20, 0, 95, 4, {2.00f, 4.01f, 7.00f, 9.21f}},
    };
    for (uint32_t s = 0; s < kBufferSetCount; ++s) {
        const BufferSetDesc& d = g_BufferSets[s];
        const Expected& e = sets[s];
        EXPECT_EQ(d.rows, e.rows) << "set " << s;
        EXPECT_EQ(d.columns, e.buffers + 1) << "set " << s;
        EXPECT_EQ(d.table[0][0], e.first) << "set " << s;
        EXPECT_EQ(d.table[d.rows - 1][0], e.last) << "set " << s;
        for (uint32_t r = 1; r < d.rows; ++r) EXPECT_GT(d.table[r][0], d.table[r - 1][0]) << "set " << s;
        for (uint32_t k = 1; k <= e.buffers; ++k) {
            EXPECT_NEAR(d.table[d.nominalRow][k] / 1000.0f, e.nominal[k - 1], 1e-6f) << "set " << s << " buffer " << k;
        }
    }
}

TEST(BufferSets, InterpolationBetweenRowsAndBeyondTheTable) {
    FreshStore();
    UseSet(0);
    EXPECT_NEAR(Interpolate(4, 27.5f), 9.185f, 1e-5f);
    EXPECT_FLOAT_EQ(Interpolate(4, 25.0f), 9.21f) << "a row's own temperature";
    EXPECT_FLOAT_EQ(Interpolate(4, 100.0f), 8.77f) << "past the last row";
    EXPECT_FLOAT_EQ(Interpolate(4, -5.0f), 9.52f) << "below the first row";
    // NIST Std: rows at 30, 37 and 40 C, then 10-C steps; nothing below 5 C.
    UseSet(3);
    EXPECT_NEAR(Interpolate(1, 33.5f), 1.6895f, 1e-5f);
    EXPECT_FLOAT_EQ(Interpolate(1, 37.0f), 1.694f);
    EXPECT_NEAR(Interpolate(1, 38.5f), 1.6955f, 1e-5f);
    EXPECT_NEAR(Interpolate(4, 65.0f), 8.9415f, 1e-5f);
    EXPECT_FLOAT_EQ(Interpolate(2, 2.0f), 4.004f);
    // Sets 8 and 9: rows at 35, 38 and 40 C, the last at 90 C.
    UseSet(8);
    EXPECT_NEAR(Interpolate(2, 36.5f), 4.027f, 1e-5f);
    EXPECT_NEAR(Interpolate(2, 39.0f), 4.0325f, 1e-5f);
    EXPECT_FLOAT_EQ(Interpolate(4, 92.0f), 8.850f);
    // A column beyond a row, or no table, reads nothing.
    EXPECT_EQ(Interpolate(kBufferRowCells, 25.0f), 0.0f);
    EXPECT_EQ(CalPh_InterpolateBuffer(nullptr, 20, 1, 25.0f), 0.0f);
}

TEST(BufferRecognition, WindowsAroundTheIdealVoltageAt25C) {
    FreshStore();
    UseSet(0);
    Found f = Recognise(0.0f, 25.0f);
    EXPECT_EQ(f.status, 0u);
    EXPECT_FLOAT_EQ(f.ph, 7.00f);
    EXPECT_EQ(f.column, 3);
    f = Recognise(177.0f, 25.0f);
    EXPECT_FLOAT_EQ(f.ph, 4.01f);
    EXPECT_EQ(f.column, 2);
    // In the 2.00 window (from 235.8) and the 4.01 window (to 236.88): the lower column wins.
    f = Recognise(236.0f, 25.0f);
    EXPECT_EQ(f.status, 0u);
    EXPECT_FLOAT_EQ(f.ph, 2.00f);
    EXPECT_FLOAT_EQ(Recognise(-130.0f, 25.0f).ph, 9.21f);
    // In no window: 112, and the last column tried stays.
    f = Recognise(400.0f, 25.0f);
    EXPECT_EQ(f.status, kPhNoBuffer);
    EXPECT_EQ(f.column, 4);
    EXPECT_EQ(Recognise(std::numeric_limits<float>::quiet_NaN(), 25.0f).status, kPhNoBuffer);

    // The voltage is referred to 25 C first: +240 mV at 90 C is 197 mV at 25 C, the 4.01 buffer.
    f = Recognise(240.0f, 90.0f);
    EXPECT_EQ(f.status, 0u);
    EXPECT_FLOAT_EQ(f.ph, 4.01f);
    EXPECT_NEAR(CalPh_NormalizeMvTo25(240.0f, 90.0f), 240.0f * 298.15f / 363.15f, 1e-3f);
    // Between table rows the buffer is named all the same.
    EXPECT_FLOAT_EQ(Recognise(IdealMv(9.185f, 27.5f), 27.5f).ph, 9.21f);

    // The windows lie around the isothermal point; the electrode's slope and zero play no part.
    EXPECT_EQ(Recognise(70.0f, 25.0f).status, kPhNoBuffer) << "between the 7.00 and 4.01 windows";
    uint32_t status = 0;
    CalPh_SetIsoPoint(0, 7.5f, &status);
    EXPECT_FLOAT_EQ(CalPh_BufferWindowLow(0, 7.0f), 0.5f * 59.16f - 60.0f);
    EXPECT_FLOAT_EQ(CalPh_BufferWindowHigh(0, 7.0f), 0.5f * 59.16f + 60.0f);
    f = Recognise(70.0f, 25.0f);
    EXPECT_EQ(f.status, 0u);
    EXPECT_FLOAT_EQ(f.ph, 7.00f);
    CalPh_SetIsoPoint(0, 7.0f, &status);
    CalPh_SetSlopePercent(0, 50.0f, &status);
    CalPh_SetZeroValue(0, 100.0f, &status);
    EXPECT_FLOAT_EQ(Recognise(177.0f, 25.0f).ph, 4.01f);
    EXPECT_FLOAT_EQ(Recognise(0.0f, 25.0f).ph, 7.00f);

    // MERCK takes its windows from its 25 C row (11.88 to -229 mV) and names its buffers by
    // their 20 C values; the 20 C window of 12.00 would end at -235.9 mV.
    UseSet(6);
    f = Recognise(-232.0f, 25.0f);
    EXPECT_EQ(f.status, 0u);
    EXPECT_FLOAT_EQ(f.ph, 12.00f);
    EXPECT_EQ(f.column, 5);
    EXPECT_FLOAT_EQ(Recognise(-115.0f, 25.0f).ph, 9.00f);
    EXPECT_FLOAT_EQ(Recognise(177.0f, 25.0f).ph, 4.00f);
    // HACH's three buffers: 4.01 is its first column.
    UseSet(4);
    f = Recognise(177.0f, 25.0f);
    EXPECT_FLOAT_EQ(f.ph, 4.01f);
    EXPECT_EQ(f.column, 1);
    EXPECT_EQ(Recognise(330.0f, 25.0f).column, 3) << "none found: the last of three";
}

TEST(BufferRecognition, TemperatureLimitsOfTheSets) {
    FreshStore();
    UseSet(0);
    Recognise(0.0f, 25.0f);
    // Below freezing and above 95 C no set recognises; nothing is returned, the column stays.
    Found f = Recognise(0.0f, -0.1f);
    EXPECT_EQ(f.status, kStatusUnder);
    EXPECT_EQ(f.ph, 0.0f);
    EXPECT_EQ(f.column, 3);
    EXPECT_EQ(Recognise(0.0f, 0.0f).status, 0u);
    EXPECT_EQ(Recognise(0.0f, 95.0f).status, 0u);
    EXPECT_EQ(Recognise(0.0f, 95.1f).status, kStatusOver);
    EXPECT_EQ(Recognise(0.0f, std::numeric_limits<float>::quiet_NaN()).status, kStatusOver);
    // NIST Std from 5 C.
    UseSet(3);
    EXPECT_EQ(Recognise(0.0f, 4.9f).status, kStatusUnder);
    EXPECT_EQ(Recognise(0.0f, 5.0f).status, 0u);
    // HACH to 60 C, the pH/pNa set to 50 C.
    UseSet(4);
    EXPECT_EQ(Recognise(0.0f, 60.0f).status, 0u);
    EXPECT_EQ(Recognise(0.0f, 60.1f).status, kStatusOver);
    UseSet(10);
    EXPECT_EQ(Recognise(0.0f, 50.0f).status, 0u);
    EXPECT_EQ(Recognise(0.0f, 50.1f).status, kStatusOver);
    // The check only raises a status.
    uint32_t status = 7;
    CalPh_CheckBufferSetTemp(0, 25.0f, &status);
    EXPECT_EQ(status, 7u);
}

TEST(BufferRecognition, BuffersNotDefinedAtTheTemperature) {
    FreshStore();
    // Vandor-10's 10.00 buffer up to 50 C.
    UseSet(1);
    Found f = Recognise(IdealMv(9.35f, 50.0f), 50.0f);
    EXPECT_EQ(f.status, 0u);
    EXPECT_FLOAT_EQ(f.ph, 10.00f);
    f = Recognise(IdealMv(9.35f, 50.01f), 50.01f);
    EXPECT_EQ(f.status, kPhNoBuffer);
    EXPECT_EQ(f.column, 4);
    EXPECT_EQ(Recognise(IdealMv(7.09f, 90.0f), 90.0f).status, 0u) << "its 7.00 buffer to 95 C";

    auto check = [](uint32_t set, uint32_t column, float t) {
        uint32_t status = 0;
        CalPh_CheckRecognisedBuffer(set, column, t, &status);
        return status;
    };
    // NIST Tech: 10.01 to 50 C, 12.46 to 60 C.
    EXPECT_EQ(check(2, 4, 50.0f), 0u);
    EXPECT_EQ(check(2, 4, 50.01f), kPhNoBuffer);
    EXPECT_EQ(check(2, 5, 60.0f), 0u);
    EXPECT_EQ(check(2, 5, 60.01f), kPhNoBuffer);
    EXPECT_EQ(check(2, 3, 95.0f), 0u);
    // WTW: 2.00 to 65 C, 10.00 to 50 C.
    EXPECT_EQ(check(7, 1, 65.0f), 0u);
    EXPECT_EQ(check(7, 1, 65.01f), kPhNoBuffer);
    EXPECT_EQ(check(7, 4, 50.01f), kPhNoBuffer);
    EXPECT_EQ(check(7, 2, 95.0f), 0u);
    EXPECT_EQ(check(0, 4, 95.0f), 0u) << "Vandor-9 has no such limits";
    // A column that names no buffer of the set: none recognised, or from a set with more buffers.
    EXPECT_EQ(check(0, 0, 25.0f), kPhNoBuffer);
    EXPECT_EQ(check(0, 5, 25.0f), kPhNoBuffer);
    EXPECT_EQ(check(2, 5, 25.0f), 0u);
}

TEST(BufferRecognition, CalibrationPointWithTheRecognisedBuffer) {
    FreshStore();
    UseSet(0);
    uint32_t status = 0;
    CalInUsePh& u = g_CalInUse[0].ph;
    // Nothing recognised yet: no buffer, nothing taken.
    Rig_SettleCalFilters(-125.0f, 27.5f);
    CalPh_EvaluatePoint(0, 0, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, kPhNoBuffer);
    EXPECT_EQ(u.pointMv[0], 0.0f);

    // Point 0 in the 9.21 buffer at 27.5 C: its value at that temperature.
    Recognise(-125.0f, 27.5f);
    CalPh_EvaluatePoint(0, 0, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(u.pointMv[0], -125.0f);
    EXPECT_EQ(u.pointTemp[0], 27.5f);
    EXPECT_EQ(u.recognised[0], 4);
    EXPECT_NEAR(u.pointBuffer[0], 9.185f, 1e-5f);
    // Point 1 in the same buffer: refused.
    CalPh_EvaluatePoint(0, 1, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, kStatusOver);
    // Point 1 in the 4.01 buffer at 90 C.
    Rig_SettleCalFilters(250.0f, 90.0f);
    Recognise(250.0f, 90.0f);
    CalPh_EvaluatePoint(0, 1, kCalModeTwoPoints, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(u.recognised[1], 2);
    EXPECT_FLOAT_EQ(u.pointBuffer[1], 4.30f);
    CalPh_Calibrate(0, 2, &status);
    EXPECT_EQ(status, 0u);

    // Below freezing the point is refused and left as it was.
    Rig_SettleCalFilters(0.0f, -2.0f);
    CalPh_EvaluatePoint(0, 0, kCalModeOnePoint, &status);
    EXPECT_EQ(status, kStatusUnder);
    EXPECT_EQ(u.pointTemp[0], 27.5f);
    // The set changed since the recognition: its 12.46 column is no buffer of set 0.
    UseSet(2);
    Rig_SettleCalFilters(-320.0f, 25.0f);
    Recognise(-320.0f, 25.0f);
    EXPECT_EQ(g_RecognisedBuffer[0], 5);
    UseSet(0);
    CalPh_EvaluatePoint(0, 0, kCalModeOnePoint, &status);
    EXPECT_EQ(status, kPhNoBuffer);
    // The process calibration takes no buffer and knows no buffer limits.
    u.pointBuffer[0] = 6.5f;
    Rig_SettleCalFilters(10.0f, -2.0f);
    CalPh_EvaluatePoint(0, 0, kCalModeProcess, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(u.pointMv[0], 10.0f);
    EXPECT_EQ(u.pointBuffer[0], 6.5f);
    // No settled temperature: nothing taken.
    Filter_Reset(&g_CalFilters[kCalFilterTemperature]);
    CalPh_EvaluatePoint(0, 0, kCalModeOnePoint, &status);
    EXPECT_NE(status, 0u);
    EXPECT_EQ(u.pointMv[0], 10.0f);

    // The CO2 electrode's point fills the CO2 layout.
    UseSet(0);
    Rig_SettleCalFilters(-130.0f, 25.0f);
    Recognise(-130.0f, 25.0f);
    g_CalInUse[0].co2.recognised[0] = 2;
    CalPh_EvaluateCo2Point(0, 1, &status);
    EXPECT_EQ(status, 0u);
    const CalInUseCo2& c = g_CalInUse[0].co2;
    EXPECT_EQ(c.pointMv[1], -130.0f);
    EXPECT_EQ(c.recognised[1], 4);
    EXPECT_FLOAT_EQ(c.pointBuffer[1], 9.21f);
    CalPh_EvaluateCo2Point(2, 0, &status);
    EXPECT_EQ(status, kStatusOver) << "no channel";
}

namespace {
constexpr uint32_t kIdPhA = 0x100000;
constexpr uint8_t kUnitPh = 13;

// The electrode voltage of a 98 % electrode with +3 mV at pH and t.
float ElectrodeMv(float ph, float t) { return 3.0f + 0.98f * (54.2f + 0.1984f * t) * (7.0f - ph); }

void Electrode(float mv, float t) {
    Panel_SetSimInput(0, kSimElectrodeVolts, mv);
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(t));
}

// A point as the pages take it: tracking begins, the reading settles, the point is recorded with
// what the page offers (the recognised buffer; the entered value is not used).
uint32_t TakePoint(uint32_t point, float* offered) {
    Cal_BeginTracking(kIdPhA, point);
    Cal_TrackValue(kIdPhA, point);
    uint32_t status = 0;
    Cal_GetValueById(kIdPhA, kUnitPh, &status);
    for (uint32_t s = 0; s < 60 && Filter_GetStabilityState() == 0; ++s) Rig_AdvanceMs(1000);
    *offered = g_CalTracking.setting;
    Cal_SetPointById(kIdPhA, point, 0.0f, kUnitPh, &status);
    return status;
}

}  // namespace

TEST(BufferRecognitionRig, TwoPointCalibrationInRecognisedBuffers) {
    Rig_Reset(Rig_MakeTempFolder());
    Electrode(ElectrodeMv(4.01f, 25.0f), 25.0f);
    Panel_SetSimInput(0, kSimGlassImpedance, 150.0f);
    Panel_SetSimInput(0, kSimRefImpedance, 20.0f);
    Rig_Boot();
    Rig_AdvanceMs(6000);
    ASSERT_EQ(CalPh_GetBufferSet(0), 0) << "Vandor-9 from the factory";
    g_ChosenMode = kCalModeTwoPoints;
    g_MenuPosition = kIdPhA;
    g_MenuPositionPending = 1;

    // The electrode in a buffer no window holds: the point is refused.
    Electrode(400.0f, 25.0f);
    float offered = 0.0f;
    EXPECT_EQ(TakePoint(0, &offered), kPhNoBuffer);
    EXPECT_EQ(g_CalTracking.settingStatus, kPhNoBuffer);

    // Point 0 in 4.01 at 25 C, point 1 in 9.21 at 30 C, where that buffer reads 9.16.
    Electrode(ElectrodeMv(4.01f, 25.0f), 25.0f);
    EXPECT_EQ(TakePoint(0, &offered), 0u);
    EXPECT_FLOAT_EQ(offered, 4.01f);
    EXPECT_FLOAT_EQ(g_CalInUse[0].ph.pointBuffer[0], 4.01f);
    // Still in the first buffer: the same buffer twice is refused.
    EXPECT_EQ(TakePoint(1, &offered), kStatusOver);
    Electrode(ElectrodeMv(9.16f, 30.0f), 30.0f);
    EXPECT_EQ(TakePoint(1, &offered), 0u);
    EXPECT_FLOAT_EQ(offered, 9.21f) << "the page names the buffer by its 25 C value";
    EXPECT_NEAR(g_CalInUse[0].ph.pointBuffer[1], 9.16f, 1e-3f) << "its value at the point's temperature";
    EXPECT_EQ(g_CalInUse[0].ph.recognised[0], 2);
    EXPECT_EQ(g_CalInUse[0].ph.recognised[1], 4);

    uint32_t status = 0;
    Cal_StepById(kIdPhA, 2, 0, &status);
    EXPECT_EQ(status, 0u);
    float slope = 0.0f, offset = 0.0f;
    Cal_GetResultsById(kIdPhA, &slope, &offset, &status);
    EXPECT_NEAR(slope, 98.0f, 0.1f);
    EXPECT_NEAR(offset, 7.0f + 3.0f / (0.98f * 59.16f), 0.005f);
    Rig_HoldKey(kKeyMenu, 100);
    Event_Put(0x1ff200);
    Rig_AdvanceMs(60);
    EXPECT_EQ(Rig_RowText(12), "Calibration Successful");
    EXPECT_NEAR(Rig_StoredFloat(792), 0.98f, 0.001f);
    EXPECT_EQ(Rig_StoredFloat(760), 4.01f);
    EXPECT_NEAR(Rig_StoredFloat(764), 9.16f, 1e-3f);
}

TEST(BufferRecognition, Co2ElectrodeIsOfferedNoAcidBuffer) {
    FreshStore();
    UseSet(0);
    Chan_SetMeasureFlag(0, 1);
    g_ChosenMode = kCalModeTwoPoints;
    const uint32_t idCo2 = 0x10000c, idPh = 0x100000;
    float value = 0.0f;
    uint32_t status = 0;
    // On a CO2 channel the 4.01 buffer is refused as under range, 7.00 and 9.21 are offered.
    g_ChannelKind[0] = kKindCo2;
    Rig_SettleCalFilters(177.0f, 25.0f);
    Cal_GetSettingById(idCo2, 0, &value, &status);
    EXPECT_EQ(status, kStatusUnder);
    Rig_SettleCalFilters(0.0f, 25.0f);
    Cal_GetSettingById(idCo2, 0, &value, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_FLOAT_EQ(value, 7.00f);
    // A pH channel takes the 4.01 buffer.
    g_ChannelKind[0] = kKindPh;
    Rig_SettleCalFilters(177.0f, 25.0f);
    Cal_GetSettingById(idPh, 0, &value, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_FLOAT_EQ(value, 4.01f);
}
