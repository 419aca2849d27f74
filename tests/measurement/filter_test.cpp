// Averaging filters (fixed and adaptive depth, empty and bad values, history readers) and the
// stability window with its criteria and its time.
#include <gtest/gtest.h>

#include <vector>

#include "core/eeprom.h"
#include "measurement/filter.h"
#include "rig.h"

namespace {
// The number of newest values the average covered, told by pushing values 1, 2, 3, ... and
// comparing the average with the mean of the newest ones.
uint32_t DepthOf(FilterRecord* filter) {
    uint32_t status = 0;
    float average = Filter_GetAverage(filter, &status);
    EXPECT_EQ(status, 0u);
    uint32_t count = Filter_GetCount(filter);
    for (uint32_t depth = 1; depth <= count; ++depth) {
        if (Filter_MeanOfNewest(filter, filter->next, depth) == average) return depth;
    }
    return 0;
}

// The way the slots use a filter: every push is followed by an average, which the adaptive rule
// compares the next value with.
void Feed(FilterRecord* filter, float value, float step, int times = 1) {
    uint32_t status = 0;
    for (int i = 0; i < times; ++i) {
        Filter_Push(filter, value, step, 0);
        Filter_GetAverage(filter, &status);
    }
}
}  // namespace

TEST(Filter, FixedModesAverageTheirDepthCappedByCount) {
    FilterRecord f;
    const uint32_t depths[4] = {1, 3, 6, 10};
    for (uint8_t mode = 0; mode < 4; ++mode) {
        Filter_Init(&f, mode);
        uint32_t status = 0;
        Filter_GetAverage(&f, &status);
        EXPECT_EQ(status, 2u) << "an empty filter has no value";
        Filter_Push(&f, 4.0f, 0.0f, 0);
        Filter_Push(&f, 8.0f, 0.0f, 0);
        EXPECT_FLOAT_EQ(Filter_GetAverage(&f, &status), mode == 0 ? 8.0f : 6.0f);
        for (int i = 0; i < 20; ++i) Filter_Push(&f, static_cast<float>(i), 0.0f, 0);
        EXPECT_EQ(Filter_GetCount(&f), 16u);
        float expected = 0.0f;
        for (uint32_t i = 0; i < depths[mode]; ++i) expected += static_cast<float>(19 - i);
        EXPECT_FLOAT_EQ(Filter_GetAverage(&f, &status), expected / static_cast<float>(depths[mode]));
        EXPECT_EQ(status, 0u);
    }
}

TEST(Filter, BadStatusEmptiesTheFilterUntilTheNextGoodValue) {
    FilterRecord f;
    Filter_Init(&f, kFilterDepth10);
    Filter_Push(&f, 1.0f, 0.0f, 0);
    Filter_Push(&f, 2.0f, 0.0f, 3);
    uint32_t status = 0;
    EXPECT_EQ(Filter_GetAverage(&f, &status), 0.0f);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(Filter_GetCount(&f), 0u);
    status = 5;
    EXPECT_EQ(Filter_PushAndAverage(&f, 7.5f, 0.0f, &status), 7.5f) << "a bad value comes back as it is";
    status = 0;
    EXPECT_EQ(Filter_PushAndAverage(&f, 9.0f, 0.0f, &status), 9.0f);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Filter_GetModeByte(&f), kFilterDepth10) << "a reset keeps the mode";
}

TEST(Filter, AdaptiveDepthGrowsOnASteadySignalAndRestartsOnAJump) {
    FilterRecord f;
    Filter_Init(&f, kFilterAdaptive);
    // Steady: one column per value along row 0, never past the last column.
    Feed(&f, 100.0f, 0.18f, 13);
    EXPECT_EQ(f.column, 11);
    EXPECT_EQ(f.row, 0);

    // Depth sequence checked on values that tell the depth apart.
    Filter_Init(&f, kFilterAdaptive);
    std::vector<uint32_t> depths;
    for (uint32_t i = 0; i < 14; ++i) {
        // Small steps: relative change well under 0.1, so the depth is never cut.
        Filter_Push(&f, 1000.0f + static_cast<float>(i), 0.18f, 0);
        depths.push_back(DepthOf(&f));
    }
    // Each value moves one column on before the depth is read; the count caps the first.
    EXPECT_EQ(depths, (std::vector<uint32_t>{1, 2, 3, 3, 4, 5, 6, 7, 8, 9, 10, 10, 10, 10}));

    // A step from 100 to 200: rel = 100 / 150 > 0.5, back to row 0 column 0, one value.
    Filter_Init(&f, kFilterAdaptive);
    Feed(&f, 100.0f, 0.18f, 12);
    uint32_t status = 0;
    EXPECT_FLOAT_EQ(Filter_GetAverage(&f, &status), 100.0f);
    Filter_Push(&f, 200.0f, 0.18f, 0);
    EXPECT_EQ(f.row, 0);
    EXPECT_EQ(f.column, 0);
    EXPECT_FLOAT_EQ(Filter_GetAverage(&f, &status), 200.0f);
}

TEST(Filter, AdaptiveJumpLevelsAndTheStepThreshold) {
    FilterRecord f;
    // Relative jump of exactly 0.5 is level 1 (depth 3), not level 0.
    Filter_Init(&f, kFilterAdaptive);
    Feed(&f, 100.0f, 0.0f, 12);
    // The step threshold 200 is above (100 + 200) / 2, so rel = 100 / 200 = 0.5 exactly.
    Filter_Push(&f, 200.0f, 200.0f, 0);
    EXPECT_EQ(f.row, 1);
    EXPECT_EQ(f.column, 0);

    // A rel just above 0.1 is level 2 (depth 6).
    Filter_Init(&f, kFilterAdaptive);
    Feed(&f, 100.0f, 0.0f, 12);
    Filter_Push(&f, 112.0f, 0.0f, 0);
    EXPECT_EQ(f.row, 2);

    // The same jump under a larger step threshold is noise and cuts nothing.
    Filter_Init(&f, kFilterAdaptive);
    Feed(&f, 100.0f, 0.0f, 12);
    Filter_Push(&f, 200.0f, 2000.0f, 0);
    EXPECT_EQ(f.row, 0);
    EXPECT_EQ(f.column, 11);

    // Zeros on both sides with no threshold are no jump.
    Filter_Init(&f, kFilterAdaptive);
    Feed(&f, 0.0f, 0.0f, 12);
    Filter_Push(&f, 0.0f, 0.0f, 0);
    EXPECT_EQ(f.column, 11);
}

TEST(Filter, PreviousValuesAndTrend) {
    FilterRecord f;
    Filter_Init(&f, kFilterDepth10);
    uint32_t status = 0;
    EXPECT_EQ(Filter_GetTrend(&f, 3), 0.0f);
    for (int i = 1; i <= 3; ++i) Filter_Push(&f, static_cast<float>(i * 10), 0.0f, 0);
    EXPECT_EQ(Filter_GetPrevious(&f, 0, &status), 30.0f);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Filter_GetPrevious(&f, 2, &status), 10.0f);
    // n equal to the count is one place older than anything held: no value.
    EXPECT_EQ(Filter_GetPrevious(&f, 3, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    EXPECT_EQ(Filter_GetPrevious(&f, 7, &status), 0.0f);
    EXPECT_EQ(status, 2u);

    // k = 2 over 10, 20, 30: mean(30, 20) - mean(20, 10) = 10.
    EXPECT_FLOAT_EQ(Filter_GetTrend(&f, 2), 10.0f);
    // k capped by the count (3): the older window holds two values: 20 - 15.
    EXPECT_FLOAT_EQ(Filter_GetTrend(&f, 9), 5.0f);
    for (int i = 4; i <= 12; ++i) Filter_Push(&f, static_cast<float>(i * 10), 0.0f, 0);
    // k capped at 5: mean(120..80) - mean(110..70) = 10.
    EXPECT_FLOAT_EQ(Filter_GetTrend(&f, 8), 10.0f);
    EXPECT_EQ(Filter_GetTrend(&f, 0), 0.0f);
}

TEST(Filter, SlotModesLoadFromTheStoreAndDefaultToAdaptive) {
    Rig_Reset(Rig_MakeTempFolder());
    Eeprom_Open();
    uint32_t status = 0;
    const uint8_t stored[4] = {1, 7, 0, 4};
    Eeprom_Write(8, stored, 4, &status);
    Filter_LoadModes(&status);
    EXPECT_EQ(Filter_GetMode(0), 1);
    EXPECT_EQ(Filter_GetMode(1), 4) << "a stored mode of 7 loads as 4";
    EXPECT_EQ(Filter_GetMode(2), 0);
    EXPECT_EQ(Filter_GetMode(3), 4);
    EXPECT_EQ(g_DampFilters[0].mode, kFilterDepth10);
    EXPECT_EQ(g_DampFilters[1].mode, kFilterDepth10);

    Filter_SetMode(2, 5, &status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(Filter_GetMode(2), 0) << "a mode above 4 is ignored";
    Filter_SetMode(2, 3, &status);
    uint8_t byte = 0;
    Eeprom_Read(10, &byte, 1, &status);
    EXPECT_EQ(byte, 3);
    Filter_DefaultModes(&status);
    EXPECT_EQ(status, 0u);
    uint8_t bytes[4] = {};
    Eeprom_Read(8, bytes, 4, &status);
    for (uint8_t b : bytes) EXPECT_EQ(b, 4);
}

TEST(Stability, RangeCriterionIsStrictAndNeedsAFullWindow) {
    Rig_Reset(Rig_MakeTempFolder());
    const StabilityCriteria criteria{0.8f, 300, 20, 1};
    Filter_StartStability(&criteria);
    EXPECT_EQ(Filter_IsStabilityActive(), 1u);
    for (int i = 0; i < 19; ++i) {
        Filter_PushStability(i % 2 == 0 ? 10.0f : 10.4f, 0);
        Filter_EvaluateStability();
        EXPECT_EQ(Filter_GetStabilityState(), 0u) << "fewer values than the window";
    }
    Filter_PushStability(10.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 1u);
    // A range equal to the threshold is not below it.
    Filter_StartStability(&criteria);
    for (int i = 0; i < 20; ++i) Filter_PushStability(i == 5 ? 10.8f : 10.0f, 0);
    const StabilityCriteria atRange{Filter_GetWindowRange(), 300, 20, 1};
    EXPECT_NEAR(atRange.threshold, 0.8f, 1e-5f);
    Filter_StartStability(&atRange);
    for (int i = 0; i < 20; ++i) Filter_PushStability(i == 5 ? 10.8f : 10.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 0u);
    // Only the newest window values count: the jump has left the window.
    for (int i = 0; i < 20; ++i) Filter_PushStability(10.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 1u);

    // A bad value empties the window.
    Filter_PushStability(0.0f, 2);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 0u);
    EXPECT_EQ(g_StabilityWindow.count, 0);
    // Nothing is taken while the window is stopped.
    Filter_StopStability();
    Filter_PushStability(1.0f, 0);
    EXPECT_EQ(g_StabilityWindow.count, 0);
}

TEST(Stability, RelativeCriterionAndTheAlwaysStableMode) {
    Rig_Reset(Rig_MakeTempFolder());
    // Mode 5: range at most |newest| / 256.
    const StabilityCriteria oxygen{0.0f, 300, 60, 5};
    Filter_StartStability(&oxygen);
    for (int i = 0; i < 59; ++i) Filter_PushStability(256.0f, 0);
    Filter_PushStability(257.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 1u) << "range 1 against 257 / 256";
    Filter_PushStability(255.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 0u) << "range 2 against 255 / 256";
    // With a newest value of 0 only equal values are stable.
    Filter_StartStability(&oxygen);
    for (int i = 0; i < 60; ++i) Filter_PushStability(0.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 1u);
    Filter_PushStability(1e-6f, 0);
    Filter_PushStability(0.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 0u);

    // Mode 9: stable once the window is full, whatever the values.
    const StabilityCriteria optical{0.0f, 600, 10, 9};
    Filter_StartStability(&optical);
    for (int i = 0; i < 9; ++i) Filter_PushStability(static_cast<float>(i * 100), 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 0u);
    Filter_PushStability(5000.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 1u);
    // The window holds at most 63 values.
    for (int i = 0; i < 100; ++i) Filter_PushStability(1.0f, 0);
    EXPECT_EQ(g_StabilityWindow.count, 63);
}

TEST(Stability, WaitTimeRunsOutInVirtualTime) {
    Rig_Reset(Rig_MakeTempFolder());
    const StabilityCriteria criteria{0.8f, 300, 20, 1};
    Filter_StartStability(&criteria);
    Rig_TickOnlyMs(299000);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 0u);
    Rig_TickOnlyMs(2000);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 1u);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 1u) << "an expired wait stays expired";
    // A new point starts a new wait; an hour-long one lasts an hour.
    const StabilityCriteria longest{0.0f, 3600, 10, 9};
    Filter_StartStability(&longest);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 0u);
    Rig_TickOnlyMs(3598000);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 0u);
    Rig_TickOnlyMs(3000);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 1u);
}
