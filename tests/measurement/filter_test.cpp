// Averaging filters (adaptive depth, jumps, the history reader) and the stability window with
// its criteria and its time.
#include <gtest/gtest.h>

#include <vector>

#include "core/eeprom.h"
#include "measurement/filter.h"
#include "rig.h"

namespace {
// As the slots use a filter: each push is followed by the average the next jump is judged by.
float Feed(FilterRecord* filter, float value, float step, int times = 1) {
    uint32_t status = 0;
    float average = 0.0f;
    for (int i = 0; i < times; ++i) {
        Filter_Push(filter, value, step, 0);
        average = Filter_GetAverage(filter, &status);
    }
    return average;
}
}  // namespace

TEST(Filter, AdaptiveDepthGrowsOnASteadySignalAndRestartsOnAJump) {
    FilterRecord f;
    Filter_Init(&f, kFilterAdaptive);
    // Values 1000, 1001, ...: the mean of the newest d values tells the depth d.
    std::vector<float> depths;
    for (int i = 0; i < 14; ++i) {
        float average = Feed(&f, 1000.0f + static_cast<float>(i), 0.18f);
        depths.push_back((static_cast<float>(i) - (average - 1000.0f)) * 2.0f + 1.0f);
    }
    EXPECT_EQ(depths, (std::vector<float>{1, 2, 3, 3, 4, 5, 6, 7, 8, 9, 10, 10, 10, 10}));

    // 100 to 200 with threshold 0.18: rel = 100 / 150 > 0.5, one value averaged.
    Filter_Init(&f, kFilterAdaptive);
    Feed(&f, 100.0f, 0.18f, 12);
    EXPECT_EQ(Feed(&f, 200.0f, 0.18f), 200.0f);
    EXPECT_EQ(f.row, 0);
    EXPECT_EQ(f.column, 0);
    // rel exactly 0.5 (the threshold 200 is the larger mean) is the next level: depth 3.
    Filter_Init(&f, kFilterAdaptive);
    Feed(&f, 100.0f, 0.0f, 12);
    Filter_Push(&f, 200.0f, 200.0f, 0);
    EXPECT_EQ(f.row, 1);
    // A jump below the threshold is noise; zeros with no threshold are no jump.
    Filter_Init(&f, kFilterAdaptive);
    Feed(&f, 100.0f, 0.0f, 12);
    Feed(&f, 200.0f, 2000.0f);
    EXPECT_EQ(f.column, 11);
    Filter_Init(&f, kFilterAdaptive);
    Feed(&f, 0.0f, 0.0f, 13);
    EXPECT_EQ(f.column, 11);
}

TEST(Filter, BadValuesEmptyTheFilterAndHistoryReadsStayInside) {
    FilterRecord f;
    Filter_Init(&f, kFilterDepth10);
    uint32_t status = 0;
    for (int i = 1; i <= 3; ++i) Filter_Push(&f, static_cast<float>(i * 10), 0.0f, 0);
    EXPECT_EQ(Filter_GetPrevious(&f, 2, &status), 10.0f);
    EXPECT_EQ(status, 0u);
    // n equal to the count would read a slot older than anything held.
    EXPECT_EQ(Filter_GetPrevious(&f, 3, &status), 0.0f);
    EXPECT_EQ(status, 2u);
    EXPECT_FLOAT_EQ(Filter_GetTrend(&f, 2), 10.0f);
    EXPECT_FLOAT_EQ(Filter_GetTrend(&f, 9), 5.0f) << "k capped by the count: 20 - mean(20, 10)";
    Filter_Push(&f, 99.0f, 0.0f, 3);
    EXPECT_EQ(Filter_GetAverage(&f, &status), 0.0f);
    EXPECT_EQ(status, 3u);
    EXPECT_EQ(Filter_GetCount(&f), 0u);
    EXPECT_EQ(Filter_GetTrend(&f, 3), 0.0f);
}

TEST(Filter, SlotModesLoadFromTheStore) {
    Rig_OpenFreshStore();
    uint32_t status = 0;
    const uint8_t stored[4] = {1, 7, 0, 4};
    Eeprom_Write(8, stored, 4, &status);
    Filter_LoadModes(&status);
    EXPECT_EQ(Filter_GetMode(0), 1);
    EXPECT_EQ(Filter_GetMode(1), 4) << "a stored mode of 7 loads as 4";
    EXPECT_EQ(g_DampFilters[1].mode, kFilterDepth10);
    Filter_SetMode(2, 5, &status);
    EXPECT_EQ(Filter_GetMode(2), 0) << "a mode above 4 is ignored";
    Filter_DefaultModes(&status);
    uint8_t bytes[4] = {};
    Eeprom_Read(8, bytes, 4, &status);
    for (uint8_t b : bytes) EXPECT_EQ(b, 4);
}

TEST(Stability, RangesAtTheThreshold) {
    Rig_Reset(Rig_MakeTempFolder());
    // Mode 1: the range must be strictly below the threshold, over a full window.
    const StabilityCriteria ph{0.8f, 300, 20, 1};
    Filter_StartStability(&ph);
    for (int i = 0; i < 20; ++i) {
        Filter_PushStability(i == 0 ? 10.75f : 10.0f, 0);
        Filter_EvaluateStability();
        EXPECT_EQ(Filter_GetStabilityState(), i == 19 ? 1u : 0u) << i;
    }
    const StabilityCriteria atRange{Filter_GetWindowRange(), 300, 20, 1};
    Filter_StartStability(&atRange);
    for (int i = 0; i < 20; ++i) Filter_PushStability(i == 0 ? 10.75f : 10.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 0u) << "a range equal to the threshold";
    Filter_PushStability(0.0f, 2);
    EXPECT_EQ(g_StabilityWindow.count, 0) << "a bad value empties the window";

    // Mode 5: the range at most 1/256 of the newest value; with 0 only equal values pass.
    const StabilityCriteria oxygen{0.0f, 300, 60, 5};
    Filter_StartStability(&oxygen);
    for (int i = 0; i < 59; ++i) Filter_PushStability(256.0f, 0);
    Filter_PushStability(257.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 1u);
    Filter_PushStability(255.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 0u);
    Filter_StartStability(&oxygen);
    for (int i = 0; i < 60; ++i) Filter_PushStability(i == 30 ? 1e-6f : 0.0f, 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 0u);
    // Mode 9: stable once the window is full.
    const StabilityCriteria optical{0.0f, 600, 10, 9};
    Filter_StartStability(&optical);
    for (int i = 0; i < 10; ++i) Filter_PushStability(static_cast<float>(i * 100), 0);
    Filter_EvaluateStability();
    EXPECT_EQ(Filter_GetStabilityState(), 1u);
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
    const StabilityCriteria longest{0.0f, 3600, 10, 9};
    Filter_StartStability(&longest);
    Rig_TickOnlyMs(3598000);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 0u);
    Rig_TickOnlyMs(3000);
    EXPECT_EQ(Filter_IsStabilityTimeUp(), 1u);
}
