// Temperature compensation of conductivity: the table at its fixed cells, between rows and at
// its edges, the two directions, the cation and ammonia formulas, and the mode dispatch.
#include <gtest/gtest.h>

#include <cmath>

#include "measurement/cond_comp.h"

namespace {
constexpr uint32_t kKindStandard = 1;
constexpr uint32_t kKindLight84 = 2;
constexpr uint32_t kKindStandard75 = 3;
constexpr uint32_t kKindGlycol50 = 5;
constexpr uint32_t kKindGlycol = 6;
constexpr uint32_t kKindAlcohol = 8;
constexpr uint32_t kTableKinds[] = {kKindStandard, kKindLight84, kKindStandard75,
                                    kKindGlycol50, kKindGlycol,  kKindAlcohol};

// Conductivity (S/cm) a resistivity reads as at the column's reference temperature.
float Referred(float p, float t, uint32_t kind) {
    return 1.0f / CalCond_TempCompensate(kCompToReferenceTemp, p, t, kind);
}
}  // namespace

TEST(CondComp, StandardColumnAtItsFixedTemperatures) {
    EXPECT_FLOAT_EQ(CalCond_TempCompensate(kCompToReferenceTemp, 1000.0f, 25.0f, kKindStandard), 1000.0f);
    EXPECT_FLOAT_EQ(CalCond_TempCompensate(kCompToMeasuringTemp, 1000.0f, 25.0f, kKindStandard), 1000.0f);
    EXPECT_NEAR(CalCond_TempCompensate(kCompToReferenceTemp, 1000.0f, 50.0f, kKindStandard), 1563.78f, 0.02f);
    EXPECT_NEAR(CalCond_TempCompensate(kCompToMeasuringTemp, 1000.0f, 50.0f, kKindStandard), 639.50f, 0.01f);
    // 0 C: A = 1.8881, B = 3.31e-8 S/cm; 100 C: A = 0.34945 (B is negligible at 0.1 S/cm).
    EXPECT_NEAR(Referred(1e6f, 0.0f, kKindStandard), 1.8881e-6f + 3.31e-8f, 1e-12f);
    EXPECT_NEAR(Referred(10.0f, 100.0f, kKindStandard) / 0.034945f, 1.0f, 1e-4f);
}

TEST(CondComp, LightAndSeventyFiveDegreeColumnsAtTwentyFive) {
    // "Light 84" keeps its -1.88e-10 S/cm at 25 C (above the 1e-10 below which B counts as 0).
    EXPECT_NEAR(Referred(1e7f, 25.0f, kKindLight84), 1e-7f - 1.88e-10f, 1e-13f);
    // "Std 75@C" refers 25 C to 75 C: A = 2.20158, B = 2.81846e-7 S/cm; at 75 C it is the identity.
    EXPECT_NEAR(Referred(1e6f, 25.0f, kKindStandard75), 2.20158e-6f + 2.81846e-7f, 1e-12f);
    EXPECT_NEAR(CalCond_TempCompensate(kCompToReferenceTemp, 5000.0f, 75.0f, kKindStandard75), 5000.0f, 0.01f);
    // Pure water at 50 C (5.85 Mohm x cm) reads as pure water at 25 C (18.18 Mohm x cm).
    EXPECT_NEAR(CalCond_TempCompensate(kCompToReferenceTemp, 1.0f / 1.70868e-7f, 50.0f, kKindStandard) / 18.18e6f, 1.0f,
                2e-3f);
}

TEST(CondComp, BetweenRowsTheFactorIsInterpolated) {
    // At 0.1 S/cm the offset is negligible, so the referred conductivity at 27.5 C is the mean
    // of those at 25 and 30 C, for every column.
    for (uint32_t kind : kTableKinds) {
        const float mean = 0.5f * (Referred(10.0f, 25.0f, kind) + Referred(10.0f, 30.0f, kind));
        EXPECT_NEAR(Referred(10.0f, 27.5f, kind) / mean, 1.0f, 1e-5f) << kind;
    }
}

TEST(CondComp, EveryColumnIsMonotonicAndSmooth) {
    // A warmer solution conducts better: the same measured value refers to less at the
    // reference temperature. A wrong or missing row breaks the order.
    for (uint32_t kind : kTableKinds) {
        float previous = INFINITY;
        for (float t = -50.0f; t <= 200.0f; t += 0.5f) {
            const float r = Referred(100.0f, t, kind);
            ASSERT_TRUE(std::isfinite(r) && r > 0.0f) << kind << " at " << t;
            ASSERT_LT(r, previous) << kind << " at " << t;
            previous = r;
        }
    }
    // Row by row the factor changes smoothly: ln A at a row lies close to the mean of its
    // neighbours' (the curves bend most in the cold).
    for (uint32_t kind : kTableKinds) {
        for (float t = -45.0f; t <= 195.0f; t += 5.0f) {
            const float curvature =
                std::log(Referred(100.0f, t, kind)) -
                0.5f * (std::log(Referred(100.0f, t - 5.0f, kind)) + std::log(Referred(100.0f, t + 5.0f, kind)));
            EXPECT_LT(std::fabs(curvature), t < 5.0f ? 0.05f : 0.015f) << kind << " at " << t;
        }
    }
    // The viscous solvents change faster with temperature than water does.
    EXPECT_GT(Referred(100.0f, 0.0f, kKindGlycol), Referred(100.0f, 0.0f, kKindGlycol50));
    EXPECT_GT(Referred(100.0f, 0.0f, kKindGlycol50), Referred(100.0f, 0.0f, kKindStandard));
}

TEST(CondComp, BothDirectionsUndoEachOther) {
    for (uint32_t kind : kTableKinds) {
        for (float t : {-42.0f, 3.3f, 25.0f, 61.7f, 137.0f, 199.9f}) {
            // 400 uS/cm: well above what the water itself conducts at any of these temperatures.
            const float referred = CalCond_TempCompensate(kCompToReferenceTemp, 2.5e3f, t, kind);
            EXPECT_NEAR(CalCond_TempCompensate(kCompToMeasuringTemp, referred, t, kind) / 2.5e3f, 1.0f, 1e-4f)
                << kind << " at " << t;
        }
    }
}

TEST(CondComp, TableEdgesAndBadInputs) {
    // 200 C uses the last row alone; just past either end there is no answer.
    EXPECT_NEAR(CalCond_TempCompensate(kCompToReferenceTemp, 100.0f, 200.0f, kKindStandard),
                CalCond_TempCompensate(kCompToReferenceTemp, 100.0f, 199.999f, kKindStandard), 0.01f);
    EXPECT_LT(CalCond_TempCompensate(kCompToReferenceTemp, 100.0f, -50.0f, kKindGlycol), kCompOverRange);
    for (float t : {200.01f, 201.0f, -50.01f, -55.0f, NAN, INFINITY}) {
        EXPECT_EQ(CalCond_TempCompensate(kCompToReferenceTemp, 100.0f, t, kKindStandard), kCompOverRange) << t;
    }
    for (float p : {0.0f, -100.0f, NAN}) {
        EXPECT_EQ(CalCond_TempCompensate(kCompToReferenceTemp, p, 30.0f, kKindStandard), kCompOverRange) << p;
    }
    // Kinds 0, 4 and those above 9 leave the value.
    for (uint32_t kind : {0u, 4u, 10u, 200u}) EXPECT_EQ(CalCond_TempCompensate(1, 1234.0f, 60.0f, kind), 1234.0f);
}

TEST(CondComp, ModeMapAndLinearFactor) {
    const uint32_t kinds[13] = {1, 0, 0, 2, 3, 5, 6, 7, 8, 9, 0, 0, 0};
    for (uint32_t mode = 0; mode < 13; ++mode) EXPECT_EQ(CalCond_GetCompKind(mode), kinds[mode]) << mode;
    EXPECT_FLOAT_EQ(CalCond_GetLinearFactor(kCompModeLinear25, 0.02f, 35.0f), 1.2f);
    EXPECT_FLOAT_EQ(CalCond_GetLinearFactor(kCompModeLinear20, 0.02f, 35.0f), 1.3f);
    // A reference of 1000 ohm x cm taken at 35 C under "Lin 25@C": 833.33 at the point.
    EXPECT_NEAR(1000.0f / CalCond_GetLinearFactor(kCompModeLinear25, 0.02f, 35.0f), 833.33f, 0.01f);
}

TEST(CondComp, CompensateAtTempByMode) {
    uint32_t status = 7;
    EXPECT_FLOAT_EQ(CalCond_CompensateAtTemp(kCompModeLinear25, 0.02f, 1000.0f, 35.0f, &status), 1200.0f);
    EXPECT_FLOAT_EQ(CalCond_CompensateAtTemp(kCompModeNone, 0.02f, 1000.0f, 35.0f, &status), 1000.0f);
    EXPECT_FLOAT_EQ(CalCond_CompensateAtTemp(11, 0.02f, 1000.0f, 35.0f, &status), 1000.0f);
    EXPECT_FLOAT_EQ(CalCond_CompensateAtTemp(kCompModeGlycol, 0.0f, 1000.0f, 35.0f, &status),
                    CalCond_TempCompensate(1, 1000.0f, 35.0f, kKindGlycol));
    EXPECT_FLOAT_EQ(CalCond_CompensateAtTemp(kCompModeCation, 0.0f, 1e6f, 35.0f, &status),
                    CalCond_CationCompensate(1e6f, 35.0f));
    EXPECT_EQ(status, 7u);
    // Values at or below 1e-29 pass; no table answer is limited; a negative result reads 0.
    EXPECT_EQ(CalCond_CompensateAtTemp(kCompModeStandard, 0.0f, 0.0f, 35.0f, &status), 0.0f);
    EXPECT_EQ(CalCond_CompensateAtTemp(kCompModeStandard, 0.0f, -3.0f, 35.0f, &status), -3.0f);
    EXPECT_EQ(CalCond_CompensateAtTemp(kCompModeStandard, 0.0f, 1000.0f, 201.0f, &status), kCompLimit);
    EXPECT_EQ(CalCond_CompensateAtTemp(kCompModeLinear20, 0.02f, 1000.0f, -100.0f, &status), 0.0f);
    EXPECT_EQ(status, 7u);
    EXPECT_EQ(CalCond_CompensateAtTemp(kCompModeLinear25, 0.02f, 1000.0f, NAN, &status), 0.0f);
    EXPECT_EQ(status, 2u);
}

TEST(CondComp, Reciprocal) {
    uint32_t status = 0;
    EXPECT_FLOAT_EQ(CalCond_Reciprocal(4.0f, &status), 0.25f);
    EXPECT_FLOAT_EQ(CalCond_Reciprocal(0.0f, &status), 1e29f);
    EXPECT_FLOAT_EQ(CalCond_Reciprocal(-1e-31f, &status), 1e29f);
    EXPECT_EQ(status, 0u);
    CalCond_Reciprocal(NAN, &status);
    EXPECT_EQ(status, 2u);
}

TEST(CondComp, CationAndAmmoniaFormulas) {
    // Pure water reads its own 25 C resistivity; no conductivity at all has no answer.
    EXPECT_NEAR(CalCond_CationCompensate(18.14e6f, 25.0f) / 18.14e6f, 1.0f, 0.01f);
    EXPECT_NEAR(CalCond_AmmoniaCompensate(18.13e6f, 25.0f) / 18.13e6f, 1.0f, 0.01f);
    for (float p : {0.0f, NAN}) {
        EXPECT_EQ(CalCond_CationCompensate(p, 25.0f), kCompOverRange);
        EXPECT_EQ(CalCond_AmmoniaCompensate(p, 25.0f), kCompOverRange);
    }
    EXPECT_EQ(CalCond_CationCompensate(1e5f, NAN), kCompOverRange);
    // Less conductive than the water itself.
    EXPECT_EQ(CalCond_CationCompensate(1e9f, 25.0f), kCompOverRange);
    // Neither formula has a direction.
    EXPECT_EQ(CalCond_TempCompensate(0, 2e5f, 45.0f, kCompKindCation),
              CalCond_TempCompensate(1, 2e5f, 45.0f, kCompKindCation));
    EXPECT_EQ(CalCond_TempCompensate(0, 2e5f, 45.0f, kCompKindAmmonia),
              CalCond_TempCompensate(1, 2e5f, 45.0f, kCompKindAmmonia));
    // A warm sample conducts better than the same sample at 25 C.
    EXPECT_GT(CalCond_CationCompensate(2e5f, 45.0f), 2e5f);
    EXPECT_GT(CalCond_AmmoniaCompensate(2e5f, 45.0f), 2e5f);
}

TEST(CondComp, FormulaPiecesJoinWithoutSteps) {
    // Sweep from half the resistivity of pure water (43, 18.2 and 4.05 Mohm x cm at 10, 25 and
    // 60 C; closer to it the square root of the formulas turns steep) down to strong solutions,
    // in 0.2 % steps: a wrong coefficient in any piece shows as a step.
    const float starts[3][2] = {{10.0f, 21e6f}, {25.0f, 9e6f}, {60.0f, 2e6f}};
    for (const auto& start : starts) {
        const float t = start[0];
        float cation = CalCond_CationCompensate(start[1], t);
        float ammonia = CalCond_AmmoniaCompensate(start[1], t);
        for (float p = start[1] / 1.002f; p > 50.0f; p /= 1.002f) {
            const float nextCation = CalCond_CationCompensate(p, t);
            const float nextAmmonia = CalCond_AmmoniaCompensate(p, t);
            ASSERT_NEAR(nextCation / cation, 1.0f, 0.01f) << "cation " << p << " at " << t;
            ASSERT_NEAR(nextAmmonia / ammonia, 1.0f, 0.01f) << "ammonia " << p << " at " << t;
            cation = nextCation;
            ammonia = nextAmmonia;
        }
    }
}
