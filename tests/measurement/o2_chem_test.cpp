// Oxygen chemistry: solubility, the air-saturation table, the current's temperature
// corrections, the nominal slopes and the range checks of oxygen results.
#include <gtest/gtest.h>

#include <cmath>

#include "measurement/cond_comp.h"
#include "measurement/meas.h"
#include "measurement/o2_chem.h"

TEST(O2Chem, NominalSlopes) {
    EXPECT_NEAR(CalO2_GetNominalSlope(kKindO2High), 340.49f, 0.01f);
    EXPECT_NEAR(CalO2_GetNominalSlope(kKindO2Trace), 19456.36f, 0.05f);
    EXPECT_NEAR(CalO2_GetNominalSlope(kKindO2Low), 1702.43f, 0.01f);
    EXPECT_NEAR(CalO2_GetNominalSlope(kKindO2Gauge), 1702.43f, 0.01f);
}

TEST(O2Chem, Solubility) {
    EXPECT_NEAR(CalO2_GetSolubility(0.0f, 0.0f), 14.646f, 0.001f);
    EXPECT_NEAR(CalO2_GetSolubility(25.0f, 0.0f), 8.24f, 0.03f);
    // Sea water (salinity 35) holds about 6.7 mg/L at 25 C.
    EXPECT_NEAR(CalO2_GetSolubility(25.0f, 35.0f), 6.77f, 0.05f);
}

TEST(O2Chem, SaturationTable) {
    EXPECT_FLOAT_EQ(CalO2_GetSaturationConc(-10.0f), 19.72f);
    EXPECT_FLOAT_EQ(CalO2_GetSaturationConc(80.0f), 2.88f);
    EXPECT_FLOAT_EQ(CalO2_GetSaturationConc(25.0f), 8.26f);
    EXPECT_NEAR(CalO2_GetSaturationConc(25.5f), 8.185f, 1e-5f);
    // Between the last two entries the value is interpolated as elsewhere.
    EXPECT_NEAR(CalO2_GetSaturationConc(79.5f), 2.935f, 1e-5f);
    // Outside the table its ends.
    EXPECT_FLOAT_EQ(CalO2_GetSaturationConc(-20.0f), 19.72f);
    EXPECT_FLOAT_EQ(CalO2_GetSaturationConc(95.0f), 2.88f);
    EXPECT_TRUE(std::isnan(CalO2_GetSaturationConc(NAN)));
    // Falling throughout, and within 1 % of the fresh-water solubility polynomial from 0 to 40 C.
    for (float t = -9.0f; t <= 80.0f; t += 1.0f) {
        EXPECT_LT(CalO2_GetSaturationConc(t), CalO2_GetSaturationConc(t - 1.0f)) << t;
        if (t >= 0.0f && t <= 40.0f) {
            EXPECT_NEAR(CalO2_GetSaturationConc(t) / CalO2_GetSolubility(t, 0.0f), 1.0f, 0.01f) << t;
        }
    }
}

TEST(O2Chem, CurrentTemperatureCorrections) {
    uint32_t status = 7;
    EXPECT_FLOAT_EQ(CalCond_DivideByPolyA(1000.0f, 25.0f, &status), 1000.0f);
    EXPECT_FLOAT_EQ(CalCond_DivideByPolyB(1000.0f, 25.0f, &status), 1000.0f);
    EXPECT_NEAR(CalCond_DivideByPolyA(1000.0f, 35.0f, &status), 1000.0f / 1.27333f, 0.01f);
    EXPECT_NEAR(CalCond_DivideByPolyB(1000.0f, 35.0f, &status), 1000.0f / 1.31070f, 0.01f);
    EXPECT_EQ(status, 7u);
}

TEST(O2Chem, LowerAndUpperLimits) {
    uint32_t status = 0;
    EXPECT_EQ(CalO2_CheckLowerLimitA(-0.25f, 2.0f, &status), 0.0f);
    EXPECT_EQ(CalO2_CheckLowerLimitA(200.0f, 2.0f, &status), 200.0f);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalO2_CheckLowerLimitA(-0.26f, 2.0f, &status), -0.26f);
    EXPECT_EQ(status, 3u);
    status = 0;
    EXPECT_EQ(CalO2_CheckLowerLimitA(200.01f, 2.0f, &status), 200.01f);
    EXPECT_EQ(status, 2u);
    status = 0;
    EXPECT_EQ(CalO2_CheckLowerLimitB(-0.025f, 20.0f, &status), 0.0f);
    EXPECT_EQ(CalO2_CheckLowerLimitB(20.0f, 20.0f, &status), 20.0f);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalO2_CheckLowerLimitB(-0.026f, 20.0f, &status), -0.026f);
    EXPECT_EQ(status, 3u);
    status = 0;
    EXPECT_EQ(CalO2_CheckLowerLimitB(20.01f, 20.0f, &status), 20.01f);
    EXPECT_EQ(status, 2u);
    status = 0;
    EXPECT_EQ(CalO2_CheckLowerLimitB(NAN, 20.0f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}
