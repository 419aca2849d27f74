// The optical oxygen sensor's error and state bits (from its status word): the four grouped
// messages and alarms they raise, the items the error list shows, and the sensor's LED mode kept
// in step with the transmitter's settings.
#pragma once
#include <cstdint>

// Error items 0..23 (item 12, the phase stability field, is never listed); 24 and 25 are the
// list's spot and board temperature lines.
constexpr uint32_t kOptItemPhaseField = 12;
constexpr uint32_t kOptItemErrors = 24;
constexpr uint32_t kOptItemTspot = 24;
constexpr uint32_t kOptItemTboard = 25;
constexpr uint32_t kOptListMax = 26;

// The item's bit (or, for item 12, its two-bit field) of channel B's status word.
uint32_t SensDiag_GetOptItem(uint32_t item);
// The groups' messages, alarm causes, flags and output requests from the active items.
void SensDiag_EvalOptErrors();
// The active items in ascending order, then the two temperature lines; returns the count.
uint32_t SensDiag_ListOptItems(uint8_t* items);
// The optical sensor's LED mode: the working set's choice written to it, or kept in step with
// the calibration and digital input 1.
void SensDiag_WriteOptLedMode();
void SensDiag_SyncOptLedMode(uint32_t channel);
