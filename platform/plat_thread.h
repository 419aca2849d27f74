// Host layer, threads: the sensor-board library's worker runs on a thread of its own.
#pragma once
#include <cstdint>

// Starts fn on a new thread that runs until fn returns or the process ends. Returns the thread's
// identifier (never 0), or 0 when no thread could be started.
uintptr_t Plat_ThreadStart(void (*fn)());
