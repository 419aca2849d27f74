// Host layer, threads: the sensor-board library's worker and the panel's firmware thread run on
// threads of their own.
#pragma once
#include <cstdint>

// Starts fn on a new thread that runs until fn returns or the process ends. Returns the thread's
// identifier (never 0), or 0 when no thread could be started.
uintptr_t Plat_ThreadStart(void (*fn)());

struct PlatThread;
// Starts fn(arg) on a new thread that the starter waits for with Plat_ThreadJoin; nullptr when no
// thread could be started.
PlatThread* Plat_ThreadStartJoinable(void (*fn)(void* arg), void* arg);
// Waits until the thread has ended and releases it; nullptr does nothing.
void Plat_ThreadJoin(PlatThread* thread);
