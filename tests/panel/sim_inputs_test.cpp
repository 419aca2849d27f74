// Simulated input store: limits, the quantity that is not kept, steps and bounds.
#include <gtest/gtest.h>

#include "panel/sim_inputs.h"

TEST(SimInputs, ElectrodeVoltageIsEnteredInMillivoltsAndLimited) {
    Panel_SetSimInput(0, kSimElectrodeVolts, 150.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 0.15f);
    Panel_SetSimInput(0, kSimElectrodeVolts, 3000.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.5f);
    Panel_SetSimInput(1, kSimElectrodeVolts, -3000.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimElectrodeVolts), -2.5f);
    // The two channels keep their own values.
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.5f);
}

TEST(SimInputs, AnalogInputIsLimitedToZeroTo23Milliamps) {
    Panel_SetSimInput(0, kSimAnalogInput, 30.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 23.0f);
    Panel_SetSimInput(0, kSimAnalogInput, -1.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 0.0f);
    Panel_SetSimInput(0, kSimAnalogInput, 12.5f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 12.5f);
    // Other quantities are stored as given.
    Panel_SetSimInput(0, kSimElementOhm, 350000.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElementOhm), 350000.0f);
}

TEST(SimInputs, QuantityNineAndOutOfRangeQuantitiesAreNotKept) {
    Panel_SetSimInput(0, kSimUnused, 5.0f);
    EXPECT_EQ(Panel_GetSimInput(0, kSimUnused), 0.0f);
    EXPECT_EQ(Panel_StepSimInput(0, kSimUnused, 1.0f), 0u);
    EXPECT_EQ(Panel_GetSimInput(0, kSimUnused), 0.0f);
    Panel_SetSimInput(0, 11, 5.0f);
    EXPECT_EQ(Panel_GetSimInput(0, 11), 0.0f);
    EXPECT_EQ(Panel_StepSimInput(0, 11, 1.0f), 0u);
    // A channel of 2 or more is no channel: nothing is written beside the table.
    Panel_SetSimInput(2, kSimElementOhm, 5.0f);
    EXPECT_EQ(Panel_GetSimInput(2, kSimElementOhm), 0.0f);
    EXPECT_EQ(Panel_GetSimInput(0, kSimElementOhm), 0.0f);
    EXPECT_EQ(Panel_GetSimInput(1, kSimElementOhm), 0.0f);
}

TEST(SimInputs, StepsApplyInFullAndReportLeavingTheLimits) {
    Panel_SetSimInput(0, kSimElectrodeVolts, 2400.0f);
    EXPECT_EQ(Panel_StepSimInput(0, kSimElectrodeVolts, 50.0f), 0u);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.45f);
    EXPECT_EQ(Panel_StepSimInput(0, kSimElectrodeVolts, 100.0f), 1u);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.55f);
    // The next setting limits again.
    Panel_SetSimInput(0, kSimElectrodeVolts, 2550.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.5f);

    Panel_SetSimInput(1, kSimAnalogInput, 0.5f);
    EXPECT_EQ(Panel_StepSimInput(1, kSimAnalogInput, -1.0f), 1u);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimAnalogInput), -0.5f);
    // Unlimited quantities never report.
    EXPECT_EQ(Panel_StepSimInput(1, kSimSensorCurrent, -1e6f), 0u);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimSensorCurrent), -1e6f);
}
