// Calibration in the virtual-time rig against the sensor-board library: channel A's pH from the
// panel with the stored calibration, a two-point pH calibration tracked through the update cycle
// with its stability window and timer and saved from the menu, the drift control's thresholds,
// the sensor board switched for a meter calibration, and the outputs held while calibrating.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "core/eeprom.h"
#include "core/events.h"
#include "core/keypad.h"
#include "core/link.h"
#include "core/timers.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/meter_cal.h"
#include "measurement/ph.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "outputs/hold.h"
#include "rig.h"
#include "sim/sim_inputs.h"
#include "ui/menu.h"

namespace {
constexpr uint32_t kIdPhA = 0x100000;
constexpr uint8_t kUnitPh = 13;

// Boots on channel A with pH, the element at t and the electrode at mv.
void BootPh(float t, float mv) {
    Rig_Reset(Rig_MakeTempFolder());
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(t));
    Panel_SetSimInput(0, kSimElectrodeVolts, mv);
    Panel_SetSimInput(0, kSimGlassImpedance, 150.0f);
    Panel_SetSimInput(0, kSimRefImpedance, 20.0f);
    Rig_Boot();
}

float PhSlot(uint32_t* status) { return Meas_GetSlotValue(0, status); }

// The pH of an electrode calibrated at this slope fraction, zero and isothermal point.
float ExpectedPh(float fraction, float zero, float iso, float mv, float t) {
    return iso - (mv - zero) / (fraction * (54.2f + 0.1984f * t));
}

// The electrode voltage of a 98 % electrode with +3 mV at pH and t.
float ElectrodeMv(float ph, float t) { return 3.0f + 0.98f * (54.2f + 0.1984f * t) * (7.0f - ph); }

// One calibration point as the pages take it: tracking begins, the value is watched through the
// update cycle until the window calls it stable, and the entered buffer is recorded.
uint32_t TakePoint(uint32_t point, float buffer, uint32_t* secondsToStable) {
    Cal_BeginTracking(kIdPhA, point);
    Cal_TrackValue(kIdPhA, point);
    uint32_t status = 0;
    Cal_GetValueById(kIdPhA, kUnitPh, &status);
    *secondsToStable = 0;
    while (Filter_GetStabilityState() == 0 && *secondsToStable < 400) {
        Rig_AdvanceMs(1000);
        ++*secondsToStable;
    }
    Cal_SetPointById(kIdPhA, point, buffer, kUnitPh, &status);
    return status;
}

std::string StoreText(uint32_t offset, uint32_t n) {
    std::string text(n, '\0');
    uint32_t status = 0;
    Eeprom_Read(offset, text.data(), n, &status);
    return text;
}

uint32_t s_Ramp;
// The electrode drifts by 0.03 mV a second.
void DriftingElectrode() { Panel_SetSimInput(0, kSimElectrodeVolts, 50.0f + 0.03f * static_cast<float>(++s_Ramp)); }
}  // namespace

TEST(CalibrationRig, PhOnChannelAFollowsThePanelWithTheStoredCalibration) {
    // A store holding a calibration of 90 %, +15 mV, isothermal point 7.2.
    Rig_Reset(Rig_MakeTempFolder());
    Rig_WriteFactoryStore();
    uint32_t status = 0;
    CalPh_SetSlopePercent(0, 90.0f, &status);
    CalPh_SetZeroValue(0, 15.0f, &status);
    CalPh_SetIsoPoint(0, 7.2f, &status);
    // The program starts anew on that store.
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(40.0f));
    Panel_SetSimInput(0, kSimElectrodeVolts, 100.0f);
    Cal_ResetState();
    CalPh_ResetState();
    Rig_Boot();
    Rig_AdvanceMs(8000);
    EXPECT_NEAR(PhSlot(&status), ExpectedPh(0.9f, 15.0f, 7.2f, 100.0f, 40.0f), 0.002f);
    EXPECT_EQ(status, 0u);
    // The panel moves: the reading follows through its filter.
    Panel_SetSimInput(0, kSimElectrodeVolts, -60.0f);
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(10.0f));
    Rig_AdvanceMs(20000);
    EXPECT_NEAR(PhSlot(&status), ExpectedPh(0.9f, 15.0f, 7.2f, -60.0f, 10.0f), 0.002f);

    // A fresh store holds the factory calibration, written once so that a calibration stored
    // later reads back whole after the next start.
    BootPh(25.0f, 59.16f);
    EXPECT_EQ(StoreText(kStoreMeasurementMarker, 2), "2w");
    EXPECT_EQ(Rig_StoredFloat(792), 1.0f);
    EXPECT_EQ(Rig_StoredFloat(820), 0.0f);
    Rig_AdvanceMs(8000);
    EXPECT_NEAR(PhSlot(&status), 6.0f, 0.002f);
}

TEST(CalibrationRig, TwoPointPhCalibrationTrackedSavedAndInForce) {
    BootPh(25.0f, ElectrodeMv(4.01f, 25.0f));
    Rig_AdvanceMs(6000);
    uint32_t status = 0;
    CalPh_SetBufferSet(0, 8, &status);  // buffers entered by hand
    g_ChosenMode = kCalModeTwoPoints;
    g_MenuPosition = kIdPhA;
    g_MenuPositionPending = 1;

    // Point 0: a steady reading is stable once the window holds 20 values, well before its
    // 300-second timer runs out.
    uint32_t seconds = 0;
    EXPECT_EQ(TakePoint(0, 4.01f, &seconds), 0u);
    EXPECT_GE(seconds, 18u);
    EXPECT_LE(seconds, 25u);
    EXPECT_EQ(Filter_IsStabilityActive(), 0u) << "a recorded point stops the window";
    EXPECT_NEAR(g_CalInUse[0].ph.pointMv[0], ElectrodeMv(4.01f, 25.0f), 0.01f);
    EXPECT_NEAR(g_CalInUse[0].ph.pointTemp[0], 25.0f, 0.01f);
    // Point 1 in the second buffer, warmer: the filters follow the electrode before it settles.
    Panel_SetSimInput(0, kSimElectrodeVolts, ElectrodeMv(9.21f, 30.0f));
    Panel_SetSimInput(0, kSimElementOhm, Temp_RtdRatioFromTemp(30.0f));
    EXPECT_EQ(TakePoint(1, 9.21f, &seconds), 0u);
    EXPECT_NEAR(g_CalInUse[0].ph.pointMv[1], ElectrodeMv(9.21f, 30.0f), 0.05f);
    EXPECT_NEAR(g_CalInUse[0].ph.pointTemp[1], 30.0f, 0.05f);

    Cal_StepById(kIdPhA, 2, 0, &status);
    EXPECT_EQ(status, 0u);
    float slope = 0.0f, offset = 0.0f;
    Cal_GetResultsById(kIdPhA, &slope, &offset, &status);
    EXPECT_NEAR(slope, 98.0f, 0.1f);
    EXPECT_NEAR(offset, 7.0f + 3.0f / (0.98f * 59.16f), 0.005f);

    // Saved from the menu into use: the menu reports it, the store holds it, the reading uses it.
    Rig_HoldKey(kKeyMenu, 100);
    Event_Put(0x1ff200);
    Rig_AdvanceMs(60);
    EXPECT_EQ(Rig_RowText(12), "Calibration Successful");
    EXPECT_NEAR(Rig_StoredFloat(792), 0.98f, 0.001f);
    EXPECT_NEAR(Rig_StoredFloat(800), 3.0f, 0.1f);
    EXPECT_EQ(Rig_StoredFloat(760), 4.01f);
    EXPECT_EQ(Rig_StoredFloat(764), 9.21f);
    // The glass impedance of the moment (150 megaohm at 30 C) became the reference, at 25 C.
    EXPECT_NEAR(Rig_StoredFloat(756), 1.5e8f * std::pow(10.0f, 5.0f / 35.0f), 1e5f);
    Panel_SetSimInput(0, kSimElectrodeVolts, ElectrodeMv(6.0f, 30.0f));
    Rig_AdvanceMs(15000);
    EXPECT_NEAR(PhSlot(&status), 6.0f, 0.03f);
    EXPECT_EQ(status, 0u);
}

TEST(CalibrationRig, StabilityWindowAndItsTimerByDriftControl) {
    BootPh(25.0f, 50.0f);
    Rig_AdvanceMs(6000);
    g_ChosenMode = kCalModeOnePoint;
    g_MenuPositionPending = 1;
    uint32_t status = 0;
    CalPh_SetBufferSet(0, 8, &status);
    s_Ramp = 0;
    Rig_AddPeriodic(1000, DriftingElectrode);
    // A drift of about 0.6 mV over 20 values passes the medium criterion (0.8 mV) ...
    uint32_t seconds = 0;
    Cal_BeginTracking(kIdPhA, 0);
    Cal_GetValueById(kIdPhA, kUnitPh, &status);
    while (Filter_GetStabilityState() == 0 && seconds < 100) {
        Rig_AdvanceMs(1000);
        ++seconds;
    }
    EXPECT_LT(seconds, 40u);
    // ... but not the strict one (0.4 mV): the window waits until its 300 seconds are up.
    Cal_SetDriftControl(0, kDriftStrict);
    Cal_BeginTracking(kIdPhA, 0);
    Rig_AdvanceMs(299000);
    EXPECT_EQ(Filter_GetStabilityState(), 0u);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 0u);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 1u);
    EXPECT_EQ(Filter_GetStabilityState(), 0u);
    // The optical sensor's second point waits an hour.
    Cal_SetStabilityCriteria(0x10100b, 1);
    Rig_AdvanceMs(3599000);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 0u);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 1u);
}

TEST(CalibrationRig, MeterCalibrationSwitchesTheBoardAndTheEndSwitchesBack) {
    BootPh(25.0f, 0.0f);
    Rig_AdvanceMs(6000);
    ASSERT_EQ(g_MeasuringKind[0], kKindPh);
    size_t sent = Rig_SentFrames().size();
    // The current input of the oxygen kind: kind 5, the standard polarization voltage, gain 0.
    Cal_SelectMeasurement(0, 0x100017);
    EXPECT_EQ(Cal_IsSelectionActive(), 1u);
    EXPECT_EQ(g_MeasuringKind[0], kKindO2High);
    EXPECT_EQ(g_EditRange[0], 0.0f);
    EXPECT_EQ(g_EditRange[1], -750.0f);
    Rig_AdvanceMs(3000);
    bool mode5 = false, polarization = false, gain0 = false;
    for (size_t i = sent; i < Rig_SentFrames().size(); ++i) {
        const std::vector<uint8_t>& f = Rig_SentFrames()[i].bytes;
        if (f[2] == 0x0A && f[3] == 0 && f[4] == 5) mode5 = true;
        if (f[2] == 0x04) {
            float mv = 0.0f;
            uint32_t word = static_cast<uint32_t>(f[3]) << 24 | f[4] << 16 | f[5] << 8 | f[6];
            std::memcpy(&mv, &word, 4);
            polarization = mv == -674.0f;
        }
        if (f[2] == 0x10 && f[3] == 0) gain0 = true;
    }
    EXPECT_TRUE(mode5);
    EXPECT_TRUE(polarization);
    EXPECT_TRUE(gain0);
    // While the selection stands the display lines are not updated.
    uint32_t status = 0;
    float before = PhSlot(&status);
    Panel_SetSimInput(0, kSimElectrodeVolts, 300.0f);
    Rig_AdvanceMs(5000);
    EXPECT_EQ(PhSlot(&status), before);

    // A resistance input: the conductivity kind and its range; the end puts pH back.
    Cal_SelectMeasurement(0, 0x100012);
    EXPECT_EQ(g_MeasuringKind[0], kKindCond2);
    EXPECT_EQ(g_EditRange[0], 1e4f);
    Cal_SelectMeasurement(2, 0);
    EXPECT_EQ(Cal_IsSelectionActive(), 0u);
    EXPECT_EQ(g_MeasuringKind[0], kKindPh);
    Rig_AdvanceMs(10000);
    EXPECT_NE(PhSlot(&status), before);
    EXPECT_EQ(status, 0u);
}

TEST(CalibrationRig, OutputsAreHeldWhileCalibratingAndReleasedAfterTheReturn) {
    BootPh(25.0f, 0.0f);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(g_OutputHold, 0u);
    // Calibrating the chosen position holds the outputs.
    Event_Put(0x10000000);
    Rig_AdvanceMs(100);
    EXPECT_EQ(g_OutputHold, 1u);
    Rig_AdvanceMs(60000);
    EXPECT_EQ(g_OutputHold, 1u) << "for as long as the calibration takes";
    // Back on the measurement screen the hold ends 20 seconds later.
    Key_Put(kKeyEscape);
    Rig_AdvanceMs(100);
    ASSERT_EQ(Menu_TopScreen(), 0);
    Rig_AdvanceMs(18000);
    EXPECT_EQ(g_OutputHold, 1u);
    Rig_AdvanceMs(3000);
    EXPECT_EQ(g_OutputHold, 0u);
}
