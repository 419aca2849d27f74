// Built-in concentration curves: the handbook points they come from, their temperature ranges,
// their ends, their continuity between pieces and temperature nodes, and bad inputs.
#include <gtest/gtest.h>

#include <cmath>

#include "measurement/conc_curves.h"

namespace {
typedef float (*ConcCurveFn)(float k, float t, uint32_t* status);

struct CurveCase {
    const char* name;
    ConcCurveFn fn;
    float lowTemp;
    float highTemp;
    float maxConc;
};
const CurveCase kCurves[] = {
    {"HCl", Conc_FromCondUnit3, -20.0f, 50.0f, kConcMaxHcl},
    {"HNO3", Conc_FromCondUnit4, -20.0f, 50.0f, kConcMaxHno3},
    {"NaOH", Conc_FromCondUnit6, 0.0f, 100.0f, kConcMaxNaoh},
    {"H2SO4", Conc_FromCondUnit7, -12.0f, 100.0f, kConcMaxH2so4},
    {"H3PO4", Conc_FromCondUnit8, 5.0f, 80.0f, kConcMaxH3po4},
};

float Conc(ConcCurveFn fn, float mScm, float t, uint32_t expectedStatus = 0) {
    uint32_t status = 99;
    const float c = fn(mScm / 1000.0f, t, &status);
    EXPECT_EQ(status, expectedStatus) << mScm << " mS/cm at " << t;
    return c;
}
}  // namespace

TEST(ConcCurves, HandbookPointsAt18C) {
    // Conductivities (mS/cm) of the solutions at 18 C the curves were built from.
    EXPECT_NEAR(Conc(Conc_FromCondUnit3, 394.8f, 18.0f), 5.0f, 0.1f);
    EXPECT_NEAR(Conc(Conc_FromCondUnit3, 630.2f, 18.0f), 10.0f, 0.1f);
    EXPECT_NEAR(Conc(Conc_FromCondUnit4, 541.8f, 18.0f), 12.4f, 0.1f);
    EXPECT_NEAR(Conc(Conc_FromCondUnit6, 196.9f, 18.0f), 5.0f, 0.1f);
    EXPECT_NEAR(Conc(Conc_FromCondUnit6, 312.4f, 18.0f), 10.0f, 0.1f);
    EXPECT_NEAR(Conc(Conc_FromCondUnit7, 391.5f, 18.0f), 10.0f, 0.1f);
    EXPECT_NEAR(Conc(Conc_FromCondUnit7, 652.7f, 18.0f), 20.0f, 0.2f);
    EXPECT_NEAR(Conc(Conc_FromCondUnit8, 56.6f, 18.0f), 10.0f, 0.1f);
    EXPECT_NEAR(Conc(Conc_FromCondUnit8, 112.9f, 18.0f), 20.0f, 0.1f);
    // Warm solutions conduct better: the same conductivity is less acid at 40 C.
    EXPECT_LT(Conc(Conc_FromCondUnit3, 394.8f, 40.0f), 4.5f);
}

TEST(ConcCurves, TemperatureRangesAndBadInputs) {
    for (const CurveCase& c : kCurves) {
        uint32_t status = 99;
        EXPECT_GT(c.fn(0.05f, c.lowTemp, &status), 0.0f) << c.name;
        EXPECT_EQ(status, 0u) << c.name;
        EXPECT_GT(c.fn(0.05f, c.highTemp, &status), 0.0f) << c.name;
        EXPECT_EQ(status, 0u) << c.name;
        EXPECT_EQ(c.fn(0.05f, c.highTemp + 0.01f, &status), 0.0f) << c.name;
        EXPECT_EQ(status, 2u) << c.name;
        EXPECT_EQ(c.fn(NAN, 20.0f, &status), 0.0f) << c.name;
        EXPECT_EQ(status, 2u) << c.name;
        EXPECT_EQ(c.fn(0.05f, NAN, &status), 0.0f) << c.name;
        EXPECT_EQ(status, 2u) << c.name;
        // No conductivity, or a negative one, is no acid.
        EXPECT_EQ(c.fn(0.0f, 20.0f, &status), 0.0f) << c.name;
        EXPECT_EQ(c.fn(-0.01f, 20.0f, &status), 0.0f) << c.name;
        EXPECT_EQ(status, 0u) << c.name;
        // Beyond the curve's top, and for an infinite conductivity, the unit's largest value.
        EXPECT_EQ(c.fn(5.0f, 20.0f, &status), c.maxConc) << c.name;
        EXPECT_EQ(c.fn(INFINITY, 20.0f, &status), c.maxConc) << c.name;
    }
    uint32_t status = 0;
    for (const CurveCase& c : {kCurves[0], kCurves[1], kCurves[2], kCurves[3]}) {
        EXPECT_EQ(c.fn(0.05f, c.lowTemp - 0.01f, &status), 0.0f) << c.name;
        EXPECT_EQ(status, 3u) << c.name;
    }
}

TEST(ConcCurves, PhosphoricAcidBelowFiveDegrees) {
    // The dilute part has no lower temperature bound and reads the 5 C curve; above it the
    // curve begins at 5 C.
    const float dilute = Conc(Conc_FromCondUnit8, 20.0f, 5.0f);
    EXPECT_FLOAT_EQ(Conc(Conc_FromCondUnit8, 20.0f, -30.0f), dilute);
    EXPECT_EQ(Conc(Conc_FromCondUnit8, 120.0f, 4.9f, 3), 0.0f);
    EXPECT_GT(Conc(Conc_FromCondUnit8, 120.0f, 5.0f), 20.0f);
}

TEST(ConcCurves, SodiumHydroxideMaximumMovesInTheCold) {
    // At 0 C the conductivity peaks near 13.7 % (206.8 mS/cm): above that there is no such
    // solution and the reading is the unit's largest.
    EXPECT_GT(Conc(Conc_FromCondUnit6, 206.0f, 0.0f), 12.5f);
    EXPECT_EQ(Conc(Conc_FromCondUnit6, 210.0f, 0.0f), kConcMaxNaoh);
}

TEST(ConcCurves, ContinuousInConductivityAndTemperature) {
    // Concentration rises with conductivity and falls with temperature, without steps at the
    // piece joins or between the temperature nodes (checked below the conductivity maximum,
    // where the curve is well defined).
    for (const CurveCase& c : kCurves) {
        for (float t = c.lowTemp; t <= c.highTemp; t += 2.5f) {
            float previous = 0.0f;
            for (float x = 1.0f; x < 2000.0f; x *= 1.01f) {
                uint32_t status = 0;
                const float conc = c.fn(x / 1000.0f, t, &status);
                if (conc >= 0.8f * c.maxConc) break;
                ASSERT_GE(conc, previous - 0.01f) << c.name << " " << x << " mS/cm at " << t;
                ASSERT_LT(conc - previous, 0.05f * c.maxConc) << c.name << " " << x << " mS/cm at " << t;
                previous = conc;
            }
        }
        for (float x : {20.0f, 100.0f, 200.0f}) {
            float previous = INFINITY;
            for (float t = c.lowTemp; t <= c.highTemp; t += 0.5f) {
                uint32_t status = 0;
                const float conc = c.fn(x / 1000.0f, t, &status);
                if (conc >= 0.8f * c.maxConc) continue;
                ASSERT_LE(conc, previous + 0.01f) << c.name << " " << x << " mS/cm at " << t;
                previous = conc;
            }
        }
    }
}

TEST(ConcCurves, SodiumChloride) {
    uint32_t status = 99;
    // 0.1 mol/L (0.584 %) conducts 10.674 mS/cm, 10 % 139.6 mS/cm at 25 C.
    EXPECT_NEAR(Conc(Conc_FromCondUnit5, 10.674f, 25.0f), 0.584f, 0.01f);
    EXPECT_NEAR(Conc(Conc_FromCondUnit5, 139.6f, 25.0f), 10.0f, 0.2f);
    // The dilute and the strong curve meet at 20 mS/cm.
    EXPECT_NEAR(Conc(Conc_FromCondUnit5, 19.999f, 25.0f), Conc(Conc_FromCondUnit5, 20.0f, 25.0f), 0.01f);
    // Ends: water alone, and beyond 256.1 mS/cm.
    EXPECT_EQ(Conc(Conc_FromCondUnit5, 5.5e-5f, 25.0f), 0.0f);
    EXPECT_GT(Conc(Conc_FromCondUnit5, 6e-5f, 25.0f), 0.0f);
    EXPECT_LE(Conc(Conc_FromCondUnit5, 256.1f, 25.0f), kConcMaxNacl);
    EXPECT_EQ(Conc(Conc_FromCondUnit5, 256.2f, 25.0f), kConcMaxNacl);
    // Temperature range -40 .. 100 C.
    EXPECT_EQ(Conc_FromCondUnit5(0.05f, -40.01f, &status), 0.0f);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(Conc_FromCondUnit5(0.05f, 100.01f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(Conc_FromCondUnit5(NAN, 25.0f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}

TEST(ConcCurves, DissolvedSolids) {
    uint32_t status = 99;
    // The smaller of the NaCl curve and the infinite-dilution line: 0.46206 mg/L per uS/cm.
    EXPECT_NEAR(Conc_GetTdsUnit9(1000e-6f, 25.0f, &status), 462.06f - 0.0254f, 0.01f);
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(Conc_GetTdsUnit9(10e-3f, 25.0f, &status), 4620.6f, 0.5f);
    // Below the line's offset the result is 0.
    EXPECT_EQ(Conc_GetTdsUnit9(1e-8f, 25.0f, &status), 0.0f);
    for (float k : {1e-6f, 2e-4f, 3e-3f, 0.015f}) {
        EXPECT_FLOAT_EQ(Conc_GetTdsUnit10(k, 25.0f, &status), Conc_GetTdsUnit9(k, 25.0f, &status) * 0.8407f);
    }
    EXPECT_EQ(Conc_GetTdsUnit9(NAN, 25.0f, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}
