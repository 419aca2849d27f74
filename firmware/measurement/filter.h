// Averaging filters (the last 16 values of a signal, averaged over a depth fixed by the mode or
// grown adaptively) and the one stability window that judges a calibration point.
#pragma once
#include <cstdint>

struct StoreMap;

constexpr uint32_t kFilterRingSize = 16;
constexpr uint32_t kStabilityRingSize = 64;

// Filter modes: depth 1, 3, 6 or 10 values, adaptive, or the analog output's damping setting.
constexpr uint8_t kFilterDepth1 = 0;
constexpr uint8_t kFilterDepth3 = 1;
constexpr uint8_t kFilterDepth6 = 2;
constexpr uint8_t kFilterDepth10 = 3;
constexpr uint8_t kFilterAdaptive = 4;
constexpr uint8_t kFilterDamping = 5;

struct FilterRecord {
    float ring[kFilterRingSize];
    float lastAverage;  // input of the adaptive rule
    uint32_t status;    // non-zero: the last value pushed was bad and the filter is empty
    uint32_t count;
    uint8_t next;
    uint8_t mode;
    uint8_t row;  // adaptive depth table position
    uint8_t column;
};

// Stability criteria of a calibration point. Mode 1: range below the threshold; mode 5: range at
// most 1/256 of the newest value; mode 9: stable as soon as the window is full.
struct StabilityCriteria {
    float threshold;
    uint16_t seconds;
    uint8_t window;
    uint8_t mode;
};

struct StabilityWindow {
    float ring[kStabilityRingSize];
    float threshold;
    uint8_t count;
    uint8_t next;
    uint8_t window;
    uint8_t mode;
    uint16_t active;
    uint16_t state;  // 1 stable
};

// One filter per measurement slot.
extern FilterRecord g_SlotFilters[4];
// Damping filters of the reply decoders: 0 the primary signal, 1 the temperature signal.
extern FilterRecord g_DampFilters[2];
// Calibration tracking: the cached calibration value, the temperature, the tracked value.
constexpr uint32_t kCalFilterValue = 0;
constexpr uint32_t kCalFilterTemperature = 1;
constexpr uint32_t kCalFilterTracked = 2;
extern FilterRecord g_CalFilters[3];
// The PID controller's input filter.
extern FilterRecord g_ControllerFilter;
extern StabilityWindow g_StabilityWindow;
// Back to the state at power-on (tests run many starts in one process).
void Filter_ResetState();
extern const StoreMap g_FilterStoreMap;

// Empties the filter and sets its mode.
void Filter_Init(FilterRecord* filter, uint8_t mode);
// Empties the filter (status 2: no value yet); the mode stays.
void Filter_Reset(FilterRecord* filter);
// Adds a value; a non-zero status empties the filter and is kept as its status. The step is the
// jump size below which the adaptive mode treats a change as noise.
void Filter_Push(FilterRecord* filter, float value, float step, uint32_t status);
// Mean of the newest values by the mode's depth; 0.0 with status 2 when empty.
float Filter_GetAverage(FilterRecord* filter, uint32_t* status);
// Push, then with status 0 the average and its status; otherwise the value itself.
float Filter_PushAndAverage(FilterRecord* filter, float value, float step, uint32_t* status);
// Mean of the k values before ring position end.
float Filter_MeanOfNewest(const FilterRecord* filter, uint32_t end, uint32_t k);
uint32_t Filter_GetCount(const FilterRecord* filter);
// The value n + 1 places back (n = 0 is the newest); 0.0 with status 2 when not held.
float Filter_GetPrevious(const FilterRecord* filter, uint32_t n, uint32_t* status);
// Mean of the newest k (at most 5) minus the mean of the k before, shifted by one.
float Filter_GetTrend(const FilterRecord* filter, uint32_t k);
void Filter_SetModeByte(FilterRecord* filter, uint8_t mode);
uint8_t Filter_GetModeByte(const FilterRecord* filter);

// Slot filter modes, stored one byte per slot.
void Filter_LoadModes(uint32_t* status);
void Filter_DefaultModes(uint32_t* status);
void Filter_SetMode(uint32_t slot, uint8_t mode, uint32_t* status);
uint8_t Filter_GetMode(uint32_t slot);
void Filter_ResetCalFilters();
// Average of damping filter i; the channel does not matter, both channels share them.
float Filter_GetChannelValue(uint32_t channel, uint32_t i, uint32_t* status);

// Stability window of the calibration point being watched (software timer 15 counts its time).
void Filter_StartStability(const StabilityCriteria* criteria);
void Filter_StopStability();
void Filter_PushStability(float value, uint32_t status);
void Filter_EvaluateStability();
// Maximum minus minimum of the newest window values.
float Filter_GetWindowRange();
uint32_t Filter_GetStabilityState();
uint32_t Filter_IsStabilityActive();
uint32_t Filter_IsStabilityTimeUp();
