// Carbonic-acid chemistry: water vapour pressure, first dissociation constant, CO2 solubility.
#include <gtest/gtest.h>

#include <cmath>

#include "measurement/co2_chem.h"
#include "measurement/o2_chem.h"

TEST(Co2Chem, WaterVapourPressure) {
    EXPECT_FLOAT_EQ(CalPh_GetWaterVapourPressure(20.0f), 23.373f);
    // The same curve gives the oxygen standard's vapour pressure at 25 C and boils at 100 C.
    EXPECT_NEAR(CalPh_GetWaterVapourPressure(25.0f), kO2StdVapour, 0.01f);
    EXPECT_NEAR(CalPh_GetWaterVapourPressure(100.0f), 1013.25f, 10.0f);
    // 0.1 bar of CO2 in gas at 1000 mbar and 20 C is 10.24 % of the dry gas.
    EXPECT_NEAR(0.1f * 100000.0f / (1000.0f - CalPh_GetWaterVapourPressure(20.0f)), 10.24f, 0.005f);
}

TEST(Co2Chem, CarbonicAcidFirstConstant) {
    // Fresh water at 25 C: pK1 = 6.35; salt lowers it.
    EXPECT_NEAR(-std::log10(CalPh_GetCarbonicK1(25.0f, 0.0f)), 6.35f, 0.01f);
    EXPECT_NEAR(-std::log10(CalPh_GetCarbonicK1(25.0f, 28.0f)), 6.034f, 0.002f);
    EXPECT_GT(CalPh_GetCarbonicK1(25.0f, 28.0f), CalPh_GetCarbonicK1(25.0f, 0.0f));
}

TEST(Co2Chem, SolubilityTableAndItsEnds) {
    const float table[13] = {0.07189f, 0.05932f, 0.05043f, 0.04336f, 0.03668f, 0.03186f, 0.02820f,
                             0.02532f, 0.02234f, 0.02116f, 0.01820f, 0.01716f, 0.01489f};
    uint32_t status = 99;
    for (uint32_t i = 0; i < 13; ++i) {
        EXPECT_FLOAT_EQ(CalPh_GetCo2Solubility(5.0f * static_cast<float>(i), &status), table[i]) << i;
        EXPECT_EQ(status, 0u);
    }
    EXPECT_NEAR(CalPh_GetCo2Solubility(7.5f, &status), 0.054875f, 1e-6f);
    EXPECT_NEAR(CalPh_GetCo2Solubility(60.000005f, &status), 0.01489f, 1e-6f);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(CalPh_GetCo2Solubility(60.00001f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(CalPh_GetCo2Solubility(-0.001f, &status), 0.0f);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(CalPh_GetCo2Solubility(NAN, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}
