// Simulated input store: limits, the quantity that is not kept, steps and bounds.
#include <gtest/gtest.h>

#include "sim/sim_inputs.h"

TEST(SimInputs, SettingLimitsTheElectrodeAndTheAnalogInput) {
    Panel_SetSimInput(0, kSimElectrodeVolts, 3000.0f);  // entered in mV
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.5f);
    Panel_SetSimInput(1, kSimElectrodeVolts, -3000.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimElectrodeVolts), -2.5f);
    Panel_SetSimInput(0, kSimAnalogInput, 30.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 23.0f);
    Panel_SetSimInput(0, kSimAnalogInput, -1.0f);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimAnalogInput), 0.0f);
    // Quantity 9 is not kept; quantities above 10 and channels above 1 do not exist.
    Panel_SetSimInput(0, kSimUnused, 5.0f);
    Panel_SetSimInput(0, 11, 5.0f);
    Panel_SetSimInput(2, kSimElementOhm, 5.0f);
    EXPECT_EQ(Panel_GetSimInput(0, kSimUnused), 0.0f);
    EXPECT_EQ(Panel_GetSimInput(0, 11), 0.0f);
    EXPECT_EQ(Panel_GetSimInput(2, kSimElementOhm), 0.0f);
    EXPECT_EQ(Panel_GetSimInput(0, kSimElementOhm), 0.0f);
    EXPECT_EQ(Panel_StepSimInput(0, 11, 1.0f), 0u);
}

TEST(SimInputs, StepsApplyInFullAndReportLeavingTheLimits) {
    Panel_SetSimInput(0, kSimElectrodeVolts, 2450.0f);
    EXPECT_EQ(Panel_StepSimInput(0, kSimElectrodeVolts, 100.0f), 1u);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.55f);
    Panel_SetSimInput(0, kSimElectrodeVolts, 2550.0f);  // the next setting limits again
    EXPECT_FLOAT_EQ(Panel_GetSimInput(0, kSimElectrodeVolts), 2.5f);
    Panel_SetSimInput(1, kSimAnalogInput, 0.5f);
    EXPECT_EQ(Panel_StepSimInput(1, kSimAnalogInput, -1.0f), 1u);
    EXPECT_EQ(Panel_StepSimInput(1, kSimAnalogInput, 10.0f), 0u);
    EXPECT_EQ(Panel_StepSimInput(1, kSimSensorCurrent, -1e6f), 0u);
    EXPECT_FLOAT_EQ(Panel_GetSimInput(1, kSimSensorCurrent), -1e6f);
}
