// Periodic timer thread: one host thread that calls a few functions at fixed periods on
// absolute deadlines, the panel's stand-in for the instrument's hardware timers.
#pragma once
#include <cstdint>

constexpr uint32_t kPeriodicMax = 4;

struct PlatPeriodic {
    uint32_t periodMs;
    void (*fn)();
};

// The schedule the thread keeps: each entry's next deadline on the steady clock.
struct PeriodicSchedule {
    PlatPeriodic entries[kPeriodicMax];
    uint64_t deadlines[kPeriodicMax];
    uint32_t count;
};

// Fills a schedule whose first deadlines lie one period after nowMs. Entries beyond
// kPeriodicMax, with period 0 or without a function are left out.
void Plat_PeriodicInit(PeriodicSchedule* schedule, const PlatPeriodic* entries, uint32_t count, uint64_t nowMs);
// Runs, in entry order, every entry whose deadline has come at nowMs, and moves each deadline
// on by its period; a deadline missed by more than a period (the computer slept) restarts from
// nowMs instead of firing a burst. Returns the earliest next deadline.
uint64_t Plat_PeriodicStep(PeriodicSchedule* schedule, uint64_t nowMs);

// Starts the timer thread with these entries; false when one already runs or the thread cannot
// start. Entries due at the same instant run in the order given.
bool Plat_PeriodicStart(const PlatPeriodic* entries, uint32_t count);
// Stops the thread and waits for it; no entry runs after it returns. Harmless when none runs.
void Plat_PeriodicStop();
