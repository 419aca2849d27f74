// Averaging filters and the stability window.
#include "measurement/filter.h"

#include <cmath>

#include "core/eeprom.h"
#include "core/timers.h"
#include "outputs/aout.h"

FilterRecord g_SlotFilters[4];
FilterRecord g_DampFilters[2];
FilterRecord g_CalFilters[3];
FilterRecord g_ControllerFilter;
StabilityWindow g_StabilityWindow;

// Settings store: the mode byte of slot s is at 8 + s.
static constexpr uint32_t kStoreSlotModes = 8;
static constexpr StoreRange kStoreRanges[] = {{kStoreSlotModes, 4}};
const StoreMap g_FilterStoreMap = {"slot filters", kStoreRanges, 1};
static constexpr int kTimerStability = 15;
static constexpr uint32_t kStatusNoValue = 2;

// Adaptive depths: a row per size of the last jump (0 the largest), a column per value since.
static const uint8_t kAdaptiveDepth[4][12] = {
    {1, 2, 2, 3, 3, 4, 5, 6, 7, 8, 9, 10},
    {3, 3, 3, 4, 4, 5, 5, 6, 7, 8, 9, 10},
    {6, 6, 6, 6, 6, 6, 7, 7, 8, 8, 9, 10},
    {10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10},
};
static const uint8_t kFixedDepth[4] = {1, 3, 6, 10};

void Filter_Reset(FilterRecord* filter) {
    filter->count = 0;
    filter->next = 0;
    filter->row = 0;
    filter->column = 0;
    filter->status = kStatusNoValue;
    filter->lastAverage = 0.0f;
}

void Filter_Init(FilterRecord* filter, uint8_t mode) {
    Filter_Reset(filter);
    filter->mode = mode;
}

// Restarts the adaptive depth at the level of a jump: relative size above 0.5, 0.25, 0.1.
static void AdaptDepth(FilterRecord* filter, float x, float step) {
    if (filter->column < 11) ++filter->column;
    if (filter->count <= 1) return;
    float mean = (std::fabs(filter->lastAverage) + std::fabs(x)) / 2.0f;
    if (step > mean) mean = step;
    // Both values zero with no step: no jump at all.
    float rel = mean > 0.0f ? std::fabs(x - filter->lastAverage) / mean : 0.0f;
    uint8_t level = rel > 0.5f ? 0 : rel > 0.25f ? 1 : rel > 0.1f ? 2 : 3;
    uint8_t cap = kAdaptiveDepth[level][0];
    if (kAdaptiveDepth[filter->row][filter->column] > cap) {
        filter->row = level;
        filter->column = 0;
    }
}

void Filter_Push(FilterRecord* filter, float value, float step, uint32_t status) {
    if (status != 0) {
        Filter_Reset(filter);
        filter->status = status;
        return;
    }
    filter->status = 0;
    filter->ring[filter->next] = value;
    filter->next = static_cast<uint8_t>((filter->next + 1) % kFilterRingSize);
    if (filter->count < kFilterRingSize) ++filter->count;
    if (filter->mode == kFilterAdaptive) AdaptDepth(filter, value, step);
}

static uint32_t Depth(const FilterRecord* filter) {
    uint32_t depth;
    if (filter->mode < 4) {
        depth = kFixedDepth[filter->mode];
    } else if (filter->mode == kFilterAdaptive) {
        depth = kAdaptiveDepth[filter->row & 3][filter->column < 12 ? filter->column : 11];
    } else {
        depth = Aout_GetDamping();
    }
    return depth < filter->count ? depth : filter->count;
}

float Filter_MeanOfNewest(const FilterRecord* filter, uint32_t end, uint32_t k) {
    if (k == 0) return 0.0f;
    if (k > kFilterRingSize) k = kFilterRingSize;
    float sum = 0.0f;
    for (uint32_t i = 1; i <= k; ++i) sum += filter->ring[(end + kFilterRingSize * 2 - i) % kFilterRingSize];
    return sum / static_cast<float>(k);
}

float Filter_GetAverage(FilterRecord* filter, uint32_t* status) {
    if (filter->status != 0) {
        *status = filter->status;
        return 0.0f;
    }
    uint32_t depth = Depth(filter);
    if (depth == 0) {
        *status = kStatusNoValue;
        return 0.0f;
    }
    float mean = Filter_MeanOfNewest(filter, filter->next, depth);
    filter->lastAverage = mean;
    *status = 0;
    return mean;
}

float Filter_PushAndAverage(FilterRecord* filter, float value, float step, uint32_t* status) {
    Filter_Push(filter, value, step, *status);
    if (*status != 0) return value;
    return Filter_GetAverage(filter, status);
}

uint32_t Filter_GetCount(const FilterRecord* filter) { return filter->count; }

float Filter_GetPrevious(const FilterRecord* filter, uint32_t n, uint32_t* status) {
    // n = count would be one place older than anything held.
    if (n >= filter->count) {
        *status = kStatusNoValue;
        return 0.0f;
    }
    *status = 0;
    return filter->ring[(filter->next + kFilterRingSize * 2 - 1 - n) % kFilterRingSize];
}

float Filter_GetTrend(const FilterRecord* filter, uint32_t k) {
    if (filter->count < 2) return 0.0f;
    if (k > filter->count) k = filter->count;
    if (k > 5) k = 5;
    if (k == 0) return 0.0f;
    float newest = Filter_MeanOfNewest(filter, filter->next, k);
    uint32_t older = k == filter->count ? k - 1 : k;
    if (older == 0) return newest;
    uint32_t end = (filter->next + kFilterRingSize - 1) % kFilterRingSize;
    return newest - Filter_MeanOfNewest(filter, end, older);
}

void Filter_SetModeByte(FilterRecord* filter, uint8_t mode) { filter->mode = mode; }
uint8_t Filter_GetModeByte(const FilterRecord* filter) { return filter->mode; }

void Filter_LoadModes(uint32_t* status) {
    *status = 0;
    for (uint32_t slot = 0; slot < 4; ++slot) {
        uint8_t mode = kFilterAdaptive;
        uint32_t readStatus = 0;
        Eeprom_Read(kStoreSlotModes + slot, &mode, 1, &readStatus);
        if (readStatus != 0) *status = readStatus;
        if (readStatus != 0 || mode > kFilterAdaptive) mode = kFilterAdaptive;
        Filter_SetModeByte(&g_SlotFilters[slot], mode);
    }
    Filter_Init(&g_DampFilters[0], kFilterDepth10);
    Filter_Init(&g_DampFilters[1], kFilterDepth10);
    Filter_Init(&g_ControllerFilter, kFilterDepth10);
    for (FilterRecord& filter : g_CalFilters) Filter_Init(&filter, kFilterDepth10);
}

void Filter_SetMode(uint32_t slot, uint8_t mode, uint32_t* status) {
    *status = 0;
    if (slot >= 4 || mode > kFilterAdaptive) return;
    Eeprom_WriteChecked(kStoreSlotModes + slot, &mode, 1, status);
    Filter_SetModeByte(&g_SlotFilters[slot], mode);
}

void Filter_DefaultModes(uint32_t* status) {
    uint32_t result = 0;
    for (uint32_t slot = 0; slot < 4; ++slot) {
        Filter_SetMode(slot, kFilterAdaptive, status);
        if (*status != 0) result = *status;
    }
    *status = result;
}

uint8_t Filter_GetMode(uint32_t slot) {
    if (slot >= 4) return kFilterAdaptive;
    uint8_t mode = g_SlotFilters[slot].mode;
    return mode > kFilterAdaptive ? kFilterAdaptive : mode;
}

void Filter_ResetCalFilters() {
    for (FilterRecord& filter : g_CalFilters) Filter_Reset(&filter);
}

float Filter_GetChannelValue(uint32_t, uint32_t i, uint32_t* status) {
    if (i >= 2) {
        *status = kStatusNoValue;
        return 0.0f;
    }
    return Filter_GetAverage(&g_DampFilters[i], status);
}

void Filter_StartStability(const StabilityCriteria* criteria) {
    StabilityWindow& w = g_StabilityWindow;
    w.count = 0;
    w.next = 0;
    w.active = 1;
    w.state = 0;
    w.mode = criteria->mode;
    w.threshold = criteria->threshold;
    w.window = criteria->window;
    Timer_StartTicks(kTimerStability, criteria->seconds, 0);
}

void Filter_StopStability() { g_StabilityWindow.active = 0; }

void Filter_PushStability(float value, uint32_t status) {
    StabilityWindow& w = g_StabilityWindow;
    if (w.active == 0) return;
    if (status != 0) {
        w.count = 0;
        w.next = 0;
        return;
    }
    w.ring[w.next] = value;
    w.next = static_cast<uint8_t>((w.next + 1) % kStabilityRingSize);
    if (w.count < kStabilityRingSize - 1) ++w.count;
}

float Filter_GetWindowRange() {
    const StabilityWindow& w = g_StabilityWindow;
    // Only values actually held take part.
    uint32_t n = w.window < w.count ? w.window : w.count;
    if (n <= 1) return 0.0f;
    float low = w.ring[(w.next + kStabilityRingSize - 1) % kStabilityRingSize];
    float high = low;
    for (uint32_t i = 2; i <= n; ++i) {
        float v = w.ring[(w.next + kStabilityRingSize - i) % kStabilityRingSize];
        if (v < low) low = v;
        if (v > high) high = v;
    }
    return high - low;
}

void Filter_EvaluateStability() {
    StabilityWindow& w = g_StabilityWindow;
    if (w.count < w.window) {
        w.state = 0;
        return;
    }
    if (w.mode == 9) {
        w.state = 1;
        return;
    }
    float range = Filter_GetWindowRange();
    if (w.mode == 1) {
        w.state = range < w.threshold ? 1 : 0;
        return;
    }
    float newest = w.ring[(w.next + kStabilityRingSize - 1) % kStabilityRingSize];
    w.state = range <= std::fabs(newest) / 256.0f ? 1 : 0;
}

uint32_t Filter_GetStabilityState() { return g_StabilityWindow.state; }
uint32_t Filter_IsStabilityActive() { return g_StabilityWindow.active; }
uint32_t Filter_IsStabilityTimeUp() { return Timer_Expired(kTimerStability); }

void Filter_ResetState() {
    for (FilterRecord& filter : g_SlotFilters) filter = FilterRecord{};
    for (FilterRecord& filter : g_DampFilters) filter = FilterRecord{};
    for (FilterRecord& filter : g_CalFilters) filter = FilterRecord{};
    g_ControllerFilter = FilterRecord{};
    g_StabilityWindow = StabilityWindow{};
}
