// Calibration by measurement id, case by case: ids of no channel, references that are no number,
// the point time kept in a data set, the results in the pages' units, what a failed calibration
// leaves, calibrate-only, the ORP and optical dispatch, the stability criteria and the electrode
// diagnostics by check code.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>

#include "core/eeprom.h"
#include "core/link.h"
#include "core/timers.h"
#include "digital_sensor/sens_cmd.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/conductivity.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/ph_buffers.h"
#include "measurement/temperature.h"
#include "measurement/units.h"
#include "rig.h"

namespace {
constexpr uint32_t kIdPhA = 0x100000;
constexpr uint32_t kIdPhB = 0x101000;

void FreshStore() {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    CalPh_ResetToFactory(0, &status);
    CalPh_ResetModes(&status);
}

// A channel's record as a measuring pH channel at t with these impedances (ohm).
void PhRecord(uint32_t channel, float t, float glass, float reference) {
    g_MeasuringKind[channel] = kKindPh;
    g_MeasReplyCount[channel] = 4;
    MeasurementRecord& r = g_Measurement[channel];
    r.temperature = t;
    r.temperatureStatus = 0;
    Meas_SetFieldFloat(channel, kPhFieldGlass, glass);
    Meas_SetFieldWord(channel, kPhFieldGlassStatus, 0);
    Meas_SetFieldFloat(channel, kPhFieldReference, reference);
    Meas_SetFieldWord(channel, kPhFieldReferenceStatus, 0);
}
}  // namespace

TEST(CalibrationById, IdsOfNoChannelReadAsNoChannelEverywhere) {
    FreshStore();
    uint32_t status = 0;
    const uint32_t id = 0x102000;  // channel field 2
    EXPECT_EQ(Meas_GetValueById(id, 13, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    status = 0;
    Cal_GetValueById(id, 13, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(g_CalTracking.id, 0u) << "nothing tracked";
    float value = 1.0f;
    Cal_GetSettingById(id, 0, &value, &status);
    EXPECT_EQ(status, 2u);
    Cal_SetPointById(id, 0, 7.0f, 13, &status);
    EXPECT_EQ(status, 2u);
    Cal_StepById(id, 1, 0, &status);
    EXPECT_EQ(status, 2u);
    Cal_SaveById(id, &status);
    EXPECT_EQ(status, 2u);
    float slope = 0.0f, offset = 0.0f;
    Cal_GetResultsById(0x1ff000, &slope, &offset, &status);
    EXPECT_EQ(status, 2u);
    Cal_SelectMeasurement(5, 0x100017);
    EXPECT_EQ(Cal_IsSelectionActive(), 0u);

    // A reference that is no number is no reference.
    Chan_SetMeasureFlag(0, 0);
    CalPh_SetPointBuffer(0, 1, std::numeric_limits<float>::quiet_NaN());
    Cal_GetSettingById(kIdPhA, 1, &value, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(value, 0.0f);
    CalPh_SetPointBuffer(0, 1, 9.21f);
    Cal_GetSettingById(kIdPhA, 1, &value, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(value, 9.21f);
    // A channel that is not yet measuring has no value to track.
    g_MeasReplyCount[0] = 3;
    g_CalTracking.status = 0;
    Cal_GetValueById(kIdPhA, 13, &status);
    EXPECT_EQ(status, 2u);
}

// Every calibration keeps two points: a third, or a point of no channel, is refused with status
// 2 and changes neither the in-use record nor the store.
TEST(CalibrationById, PointsBeyondTheSecondOrOfNoChannelAreRefused) {
    FreshStore();
    Rig_SettleCalFilters(100.0f, 25.0f);
    uint32_t status = 0;
    CalCond_CapturePoint(0, 2, 1.0f, &status);
    EXPECT_EQ(status, 2u);
    CalCond_CapturePoint(2, 0, 1.0f, &status);
    EXPECT_EQ(status, 2u);
    CalCond_SetPointValue(0, 1, 12.0f, &status);
    EXPECT_EQ(status, 0u);
    CalCond_SetPointValue(0, 2, 13.0f, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalCond_GetPointValue(0, 1), 12.0f);
    CalPh_SetCo2PointRef(1, 2, 9.0f, &status);
    EXPECT_EQ(status, 2u);
    CalO2_CapturePoint(1, 2, 0, 50.0f, &status);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalO2_ScalePointByKind(1, 2, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    CalPh_EvaluatePoint(0, 2, 0, &status);
    EXPECT_EQ(status, 2u);
    CalPh_CapturePoint(0, 2, 0, 4.0f, &status);
    EXPECT_EQ(status, 2u);
    CalPh_CapturePoint(0, 1, 0, 4.0f, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalPh_GetPointBuffer(0, 1), 4.0f);
}

TEST(CalibrationById, PointTimeSaturatesInsteadOfWrapping) {
    FreshStore();
    uint32_t status = 0;
    Chan_SetMeasureFlag(0, 0);
    g_ChosenMode = kCalModeTwoPoints;
    Cal_ResetPointTimer();
    for (int i = 0; i < 99; ++i) Meas_GetValueById(kIdPhA, 13, &status);
    EXPECT_EQ(Cal_GetPointTimer(), 100);
    Cal_SetPointById(kIdPhA, 0, 4.01f, 13, &status);
    EXPECT_EQ(g_CalDataSet[0].w72, 110u);
    // A point that took more than an hour: its 12-bit field holds 4095, not 4400 wrapped to 305.
    for (int i = 0; i < 5000; ++i) Meas_GetValueById(kIdPhA, 13, &status);
    EXPECT_EQ(Cal_GetPointTimer(), 4000);
    Cal_SetPointById(kIdPhA, 1, 9.21f, 13, &status);
    EXPECT_EQ(g_CalDataSet[0].w74, 4095u);
    // The process calibration keeps no point time.
    g_ChosenMode = kCalModeProcess;
    Cal_SetPointById(kIdPhA, 0, 4.01f, 13, &status);
    EXPECT_EQ(g_CalDataSet[0].w72, 0u);
    // Entered while the electrode does not measure: the buffer of the point.
    EXPECT_EQ(CalPh_GetPointBuffer(0, 1), 9.21f);
}

TEST(CalibrationById, StepResultsAndSaveOfAPhCalibration) {
    FreshStore();
    uint32_t status = 0;
    PhRecord(0, 25.0f, 1.5e8f, 40000.0f);
    Chan_SetMeasureFlag(0, 1);
    g_ChosenMode = kCalModeTwoPoints;
    CalPh_SetBufferSet(0, 8, &status);
    // Two buffers entered by hand (buffer set 8), each point from the settled filters.
    Rig_SettleCalFilters(174.2f, 25.0f);
    Cal_SetPointById(kIdPhA, 0, 4.0f, 13, &status);
    EXPECT_EQ(status, 0u);
    Rig_SettleCalFilters(0.2f, 25.0f);
    Cal_SetPointById(kIdPhA, 1, 7.0f, 13, &status);
    EXPECT_EQ(status, 0u);
    Cal_StepById(kIdPhA, 2, 0, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(g_CalDataSet[0].b82, 1) << "points - 1";
    EXPECT_EQ(g_CalDataSet[0].b83, kCalSetKindBufferSet8);
    EXPECT_EQ(g_CalDataSet[0].b84, 1) << "drift code of the medium drift control";
    float slope = 0.0f, offset = 0.0f;
    Cal_GetResultsById(kIdPhA, &slope, &offset, &status);
    EXPECT_NEAR(slope, 174.0f / 3.0f / 59.16f * 100.0f, 0.01f);
    EXPECT_NEAR(offset, 7.0f + 0.2f / (174.0f / 3.0f), 1e-3f) << "the zero point in pH";
    // In mV/pH and mV when channel A's unit flags say so.
    CalPh_SetSlopeUnitFlag(0, 1, &status);
    CalPh_SetOffsetUnitFlag(0, 1, &status);
    Cal_GetResultsById(kIdPhA, &slope, &offset, &status);
    EXPECT_NEAR(slope, 174.0f / 3.0f, 0.01f);
    EXPECT_NEAR(offset, 0.2f, 1e-3f);
    // The impedances of the moment became the references (referred to 25 C).
    EXPECT_EQ(g_GlassImpedanceRef[0], 1.5e8f);
    EXPECT_EQ(g_RefImpedanceRef[0], 40000.0f);
    EXPECT_EQ(Rig_StoredFloat(756), 1.5e8f);

    // Calibrate only: recorded, not put into use, nothing stored.
    Cal_SetCalibrateOnly(0, 1);
    Cal_SaveById(kIdPhA, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalPh_GetSlopePercent(0), 100.0f);
    EXPECT_EQ(Rig_StoredFloat(792), 1.0f);
    EXPECT_EQ(g_SensorParamSavePending, 1);
    // Saved into use.
    Cal_SetCalibrateOnly(0, 0);
    Cal_SaveById(kIdPhA, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(Rig_StoredFloat(792), 174.0f / 3.0f / 59.16f, 1e-5f);
    EXPECT_NEAR(Rig_StoredFloat(800), 0.2f, 1e-4f);
    EXPECT_EQ(Rig_StoredFloat(760), 4.0f);
    EXPECT_EQ(Rig_StoredFloat(764), 7.0f);

    // A refused calibration keeps the impedance references, in memory and in the store.
    PhRecord(0, 25.0f, 3.0e8f, 20000.0f);
    Rig_SettleCalFilters(30.0f, 25.0f);
    Cal_SetPointById(kIdPhA, 0, 6.5f, 13, &status);
    Rig_SettleCalFilters(0.2f, 25.0f);
    Cal_SetPointById(kIdPhA, 1, 7.0f, 13, &status);
    Cal_StepById(kIdPhA, 2, 0, &status);
    EXPECT_EQ(status, 2u) << "30 mV apart";
    EXPECT_EQ(g_GlassImpedanceRef[0], 1.5e8f);
    EXPECT_EQ(g_RefImpedanceRef[0], 40000.0f);
    EXPECT_EQ(Rig_StoredFloat(756), 1.5e8f);
    // A point with no settled temperature is not taken.
    Filter_Reset(&g_CalFilters[kCalFilterTemperature]);
    Cal_SetPointById(kIdPhA, 0, 4.0f, 13, &status);
    EXPECT_EQ(status, 2u);
    // Without buffer set 8 the buffer must be recognised; an unrecognised one gives 112.
    CalPh_SetBufferSet(0, 0, &status);
    g_ChosenMode = kCalModeOnePoint;
    Rig_SettleCalFilters(0.0f, 25.0f);
    g_CalTracking.settingStatus = 112;
    Cal_SetPointById(kIdPhA, 0, 7.0f, 13, &status);
    EXPECT_EQ(status, 112u);

    // The store gone: the save reports it.
    std::filesystem::remove(Rig_StorePath());
    Cal_SaveById(kIdPhA, &status);
    EXPECT_EQ(status, 111u);
}

TEST(CalibrationById, ChannelBRecordsImpedancesInItsDataSet) {
    FreshStore();
    uint32_t status = 0;
    PhRecord(1, 25.0f, 1.2e8f, 25000.0f);
    Meas_SetFieldWord(1, kPhFieldGlassStatus, kStatusInvalid);
    Chan_SetMeasureFlag(1, 1);
    g_ChosenMode = kCalModeOnePoint;
    CalPh_SetBufferSet(1, 8, &status);
    Cal_SetDriftControl(1, kDriftStrict);
    Rig_SettleCalFilters(10.0f, 25.0f);
    Cal_SetPointById(kIdPhB, 0, 7.0f, 13, &status);
    Cal_StepById(kIdPhB, 1, 0, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(g_CalDataSet[1].v16, 9999.0f) << "an invalid glass impedance";
    EXPECT_EQ(g_CalDataSet[1].v20, 25.0f) << "kilohm";
    EXPECT_EQ(g_CalDataSet[1].b84, 0) << "drift code of the strict drift control";
    EXPECT_EQ(g_CalDataSet[1].b82, 0);
    EXPECT_EQ(g_RefImpedanceRef[1], 25000.0f);
    // Channel B stores even when only calibrating: the sensor keeps its own calibration.
    Cal_SetCalibrateOnly(1, 1);
    Cal_SaveById(kIdPhB, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(Rig_StoredFloat(804), 10.0f, 1e-4f);
    EXPECT_EQ(g_CalDataSet[1].v60, 7.0f);
    EXPECT_EQ(g_CalDataSet[1].v64, 5.0f) << "the made-up second point";
    EXPECT_GE(g_CalDataSet[1].date.year, 2008);
    // The drift code of the manual drift control and of the process calibration.
    Cal_SetDriftControl(1, kDriftManual);
    Cal_StepById(kIdPhB, 1, 0, &status);
    EXPECT_EQ(g_CalDataSet[1].b84, kCalDriftCodeManual);
}

TEST(CalibrationById, OrpAndTemperatureThroughTheirIds) {
    FreshStore();
    uint32_t status = 0;
    // ORP on channel A: the point, the step, the results and the store.
    Rig_SettleCalFilters(230.0f, 25.0f);
    Cal_SetPointById(0x10000a, 0, 250.0f, 15, &status);
    EXPECT_EQ(status, 0u);
    float reference = 0.0f;
    Cal_GetSettingById(0x10000a, 0, &reference, &status);
    EXPECT_EQ(reference, 250.0f);
    Cal_StepById(0x10000a, 1, 0, &status);
    float slope = 0.0f, offset = 0.0f;
    Cal_GetResultsById(0x10000a, &slope, &offset, &status);
    EXPECT_EQ(slope, 1.0f);
    EXPECT_EQ(offset, 20.0f);
    Cal_SaveById(0x10000a, &status);
    EXPECT_EQ(Rig_StoredFloat(820), 20.0f);
    EXPECT_EQ(CalPh_GetOrpOffset(0), 20.0f);
    // Beyond the limit: the step reports it and nothing is stored.
    Rig_SettleCalFilters(-900.0f, 25.0f);
    Cal_SetPointById(0x10000a, 0, 150.0f, 15, &status);
    Cal_StepById(0x10000a, 1, 0, &status);
    EXPECT_EQ(status, 1u);
    EXPECT_EQ(Rig_StoredFloat(820), 20.0f);

    // The ORP value of the id is the panel's voltage with the offset; the raw voltage is cached.
    Meas_SetFieldFloat(0, kPhFieldOrpVolts, 0.3f);
    EXPECT_NEAR(Meas_GetValueById(0x10000a, 15, &status), 320.0f, 1e-3f);
    EXPECT_NEAR(Meas_GetValueCache(0, &status), 300.0f, 1e-3f);

    // Temperature: one point at 30 C on a Pt1000 calibrates the slope.
    Rig_SettleCalFilters(Temp_RtdRatioFromTemp(29.0f), 29.0f);
    Cal_SetPointById(0x100001, 0, 30.0f, 11, &status);
    EXPECT_EQ(status, 0u);
    Cal_StepById(0x100001, 1, 0, &status);
    Cal_GetResultsById(0x100001, &slope, &offset, &status);
    EXPECT_NEAR(slope, Temp_RtdRatioFromTemp(30.0f) / Temp_RtdRatioFromTemp(29.0f), 1e-5f);
    Cal_SetCalibrateOnly(0, 1);
    Cal_SaveById(0x100001, &status);
    EXPECT_EQ(Temp_GetSlopeInUse(0), 1.0f) << "calibrate only";
    Cal_SetCalibrateOnly(0, 0);
    Cal_SaveById(0x100001, &status);
    EXPECT_NEAR(Temp_GetSlopeInUse(0), slope, 1e-6f);
}

TEST(CalibrationById, OpticalSensorPointsFillItsParameters) {
    FreshStore();
    uint32_t status = 0;
    Chan_SetMeasureFlag(1, 1);
    g_SensorCal[1].relHumidity = 0.5f;
    g_SensorCal[1].calPressure = 990.0f;
    for (uint32_t field = 9; field <= 19; ++field) {
        if (field == 9) {
            g_Measurement[1].primary = 100.0f;
        } else {
            Meas_SetFieldFloat(1, field, static_cast<float>(field));
        }
    }
    Cal_SetPointById(0x10100b, 0, 98.0f, 20, &status);
    EXPECT_EQ(status, 0u);
    const SensorParamRecord& p = g_SensorParams[1];
    EXPECT_EQ(p.pointCode, 2);
    EXPECT_EQ(p.p[kSensParamPointValue1], 16.0f);
    EXPECT_EQ(p.p[kSensParamPointTemp1], 18.0f);
    EXPECT_EQ(p.p[kSensParamResult1], 17.0f);
    EXPECT_EQ(p.p[kSensParamReference], 98.0f);
    EXPECT_EQ(p.unitCode, 1) << "unit 20";
    EXPECT_EQ(p.humidity, 50);
    EXPECT_EQ(Chan_GetCalRecordFloat0(1), 990.0f);
    EXPECT_EQ(g_CalInUse[1].optical.values[0], 100.0f);
    EXPECT_EQ(Chan_GetValuePair(1, 21, &status), 11.0f);
    Cal_SetPointById(0x10100b, 1, 0.0f, 20, &status);
    EXPECT_EQ(p.pointCode, 3);
    EXPECT_EQ(p.p[kSensParamPointValue2], 16.0f);
    // The step queues the calibration for the sensor.
    Link_ClearItems();
    Cal_StepById(0x10100b, 2, 0, &status);
    EXPECT_EQ(p.s112Mode, kSensS112Step);
    EXPECT_EQ(p.p[kSensParamStepValue], 19.0f);
    EXPECT_EQ(Link_TakeNextItem(0), kSensCmdS112);
    Cal_SetCalibrateOnly(1, 1);
    Cal_SaveById(0x10100b, &status);
    EXPECT_EQ(p.s112Mode, kSensS112CalibrateOnly);
    // Entered while channel B does not measure: the flag byte chooses the code, results cleared.
    Chan_SetMeasureFlag(1, 0);
    g_SensorParams[1].flag = 1;
    Cal_SetPointById(0x10100b, 1, 8.5f, 24, &status);
    EXPECT_EQ(p.pointCode, 5);
    EXPECT_EQ(p.unitCode, 4);
    EXPECT_EQ(p.p[kSensParamPointValue2], 0.0f);
    EXPECT_EQ(p.p[kSensParamResult2], 0.0f);
    // The stored value of a unit while not measuring, and units outside 19..25.
    Chan_SetValuePair(1, 22, 4.5f, 0);
    EXPECT_EQ(Meas_GetValueById(0x10100b, 22, &status), 4.5f);
    Chan_SetValuePair(1, 26, 1.0f, 0);
    Chan_GetValuePair(1, 26, &status);
    EXPECT_EQ(status, 2u);
    // The references of the optical channel's points: air, then no oxygen.
    g_CurrentChannel = 1;
    g_ChannelKind[1] = kKindO2Optical;
    Cal_TrackValue(0x10100b, 0);
    EXPECT_EQ(g_CalTracking.setting, 100.0f);
    Cal_TrackValue(0x10100b, 1);
    EXPECT_EQ(g_CalTracking.setting, 0.0f);
    g_CurrentChannel = 0;
    g_ChannelKind[1] = kKindPh;
}

TEST(CalibrationById, StabilityCriteriaByQuantityAndDriftControl) {
    FreshStore();
    Cal_SetStabilityCriteria(kIdPhA, 0);
    EXPECT_EQ(g_StabilityWindow.threshold, 0.8f);
    EXPECT_EQ(g_StabilityWindow.window, 20);
    EXPECT_EQ(g_SoftTimers[15].period.load(), 300);
    Cal_SetDriftControl(0, kDriftStrict);
    Cal_SetStabilityCriteria(kIdPhA, 0);
    EXPECT_EQ(g_StabilityWindow.threshold, 0.4f);
    Cal_SetDriftControl(0, kDriftLow);
    Cal_SetStabilityCriteria(kIdPhA, 0);
    EXPECT_EQ(g_StabilityWindow.threshold, 1.25f);
    Cal_SetStabilityCriteria(0x100004, 0);
    EXPECT_EQ(g_StabilityWindow.mode, 5);
    EXPECT_EQ(g_StabilityWindow.window, 60);
    Cal_SetStabilityCriteria(0x10100b, 0);
    EXPECT_EQ(g_StabilityWindow.mode, 9);
    EXPECT_EQ(g_SoftTimers[15].period.load(), 600);
    Cal_SetStabilityCriteria(0x10100b, 1);
    EXPECT_EQ(g_SoftTimers[15].period.load(), 3600);
    Cal_SetStabilityCriteria(0x100001, 0);
    EXPECT_EQ(g_StabilityWindow.threshold, 0.8f) << "every other id";

    // Tracking a pH point starts the window unless the drift control is manual.
    Cal_SetDriftControl(0, 0);
    g_ChosenMode = kCalModeOnePoint;
    Cal_BeginTracking(kIdPhA, 0);
    EXPECT_EQ(Filter_IsStabilityActive(), 1u);
    EXPECT_EQ(g_CalTracking.autoSetting, 1) << "the buffer is recognised";
    Cal_SetDriftControl(0, kDriftManual);
    Cal_BeginTracking(kIdPhA, 0);
    EXPECT_EQ(Filter_IsStabilityActive(), 0u);
    uint32_t status = 0;
    CalPh_SetBufferSet(0, 8, &status);
    Cal_SetDriftControl(0, 0);
    Cal_BeginTracking(kIdPhA, 1);
    EXPECT_EQ(g_CalTracking.autoSetting, 0) << "buffer set 8: the buffer is entered";
    EXPECT_EQ(g_CalTracking.point, 1);
    g_ChosenMode = kCalModeProcess;
    Cal_BeginTracking(kIdPhA, 0);
    EXPECT_EQ(Filter_IsStabilityActive(), 0u);
}

TEST(CalibrationById, ElectrodeDiagnosticsByCheckCode) {
    FreshStore();
    // The status of the check of that code on the channel.
    auto Check = [](uint32_t channel, uint32_t code) {
        uint32_t status = 99;
        Unit_CheckRangeByUnit(channel, 0.0f, code, &status);
        return status;
    };
    PhRecord(0, 25.0f, 2.9e7f, 40000.0f);
    g_MeasReplyCount[0] = 3;
    EXPECT_EQ(Check(0, 18), 0u) << "not measuring yet";
    g_MeasReplyCount[0] = 4;
    EXPECT_EQ(Check(0, 18), 71u);
    Meas_SetFieldFloat(0, kPhFieldGlass, 3.01e8f);
    EXPECT_EQ(Check(0, 18), 72u);
    Meas_SetFieldFloat(0, kPhFieldGlass, 1e8f);
    EXPECT_EQ(Check(0, 18), 0u);
    // The reference electrode, and channel A's shorted reference input.
    Meas_SetFieldFloat(0, kPhFieldReference, 8000.0f);
    EXPECT_EQ(Check(0, 19), 81u);
    Meas_SetFieldFloat(0, kPhFieldReference, 95000.0f);
    EXPECT_EQ(Check(0, 19), 82u);
    Meas_SetFieldFloat(0, kPhFieldReference, 900.0f);
    EXPECT_EQ(Check(0, 19), 5u);
    // Outside 0 to 50 C, or without a valid temperature, the checks do not apply.
    g_Measurement[0].temperature = 50.5f;
    EXPECT_EQ(Check(0, 18), 5u);
    g_Measurement[0].temperature = 25.0f;
    g_Measurement[0].temperatureStatus = 2;
    EXPECT_EQ(Check(0, 18), 5u);
    g_Measurement[0].temperatureStatus = 0;
    // The pH/pNa second glass against channel B's second reference.
    PhRecord(1, 25.0f, 1e8f, 0.0f);
    CalPh_SetPnaImpedanceRef(1, 2e8f);
    Meas_SetFieldFloat(1, kPhFieldPnaGlass, 5.9e7f);
    EXPECT_EQ(Check(1, 20), 71u);
    // The signal checks.
    Meas_SetFieldWord(0, kPhFieldPrimaryStatus, 3);
    EXPECT_EQ(Check(0, 200), 3u);
    Meas_SetFieldWord(1, kCondFieldRangeByte, 0x10);
    EXPECT_EQ(Check(1, 200), 2u);
    Meas_SetFieldWord(1, kCondFieldRangeByte, 0x0c);
    EXPECT_EQ(Check(1, 200), 3u);
    EXPECT_EQ(Check(1, 201), 2u);
    Meas_SetFieldWord(1, 13, 2);
    EXPECT_EQ(Check(1, 202), 2u);
    EXPECT_EQ(Check(1, 17), 0u);
    EXPECT_EQ(Check(1, 203), 0u);
}
