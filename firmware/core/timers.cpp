// Software timers on the 20-ms tick. The tick runs on the timer thread, everything else on the
// firmware thread; fields are atomics written whole, relaxed, as no two of them need ordering.
#include "core/timers.h"

SoftTimer g_SoftTimers[kTimerCount];

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;

static bool ValidTimer(int n) { return n >= 0 && n < kTimerCount; }

void Timer_Init() {
    for (SoftTimer& t : g_SoftTimers) {
        t.callback.store(nullptr, kRelaxed);
        t.active.store(0, kRelaxed);
        t.expired.store(0, kRelaxed);
        t.count.store(0, kRelaxed);
        t.period.store(0, kRelaxed);
        t.autoReload.store(0, kRelaxed);
        t.call.store(0, kRelaxed);
    }
    SoftTimer& p = g_SoftTimers[kTimerPrescaler];
    p.count.store(50, kRelaxed);
    p.period.store(50, kRelaxed);
    p.autoReload.store(1, kRelaxed);
    p.active.store(1, kRelaxed);
}

void Timer_StartTicks(int n, uint32_t units, uint8_t reload) {
    if (!ValidTimer(n)) return;
    SoftTimer& t = g_SoftTimers[n];
    t.active.store(0, kRelaxed);
    t.count.store(0, kRelaxed);
    t.period.store(units, kRelaxed);
    t.autoReload.store(reload, kRelaxed);
    t.expired.store(0, kRelaxed);
    t.active.store(1, kRelaxed);
}

void Timer_Start(int n, uint32_t milliseconds, uint8_t reload) { Timer_StartTicks(n, milliseconds / 20, reload); }

void Timer_Restart(int n) {
    if (!ValidTimer(n)) return;
    SoftTimer& t = g_SoftTimers[n];
    t.active.store(0, kRelaxed);
    t.expired.store(0, kRelaxed);
    t.count.store(0, kRelaxed);
    t.active.store(1, kRelaxed);
}

void Timer_Stop(int n) {
    if (!ValidTimer(n)) return;
    g_SoftTimers[n].active.store(0, kRelaxed);
    g_SoftTimers[n].expired.store(0, kRelaxed);
}

void Timer_SetCallback(int n, uint8_t call, TimerCallback function) {
    if (!ValidTimer(n)) return;
    g_SoftTimers[n].callback.store(function, kRelaxed);
    g_SoftTimers[n].call.store(call, kRelaxed);
}

uint32_t Timer_IsActive(int n) { return ValidTimer(n) ? g_SoftTimers[n].active.load(kRelaxed) : 0; }

uint32_t Timer_Expired(int n) {
    if (!ValidTimer(n)) return 0;
    SoftTimer& t = g_SoftTimers[n];
    if (t.active.load(kRelaxed) == 0) return t.expired.load(kRelaxed);
    return t.expired.exchange(0, kRelaxed) != 0 ? 1 : 0;
}

void Timer_TickRange(int first, int last) {
    for (int n = first; n <= last; ++n) {
        SoftTimer& t = g_SoftTimers[n];
        if (t.active.load(kRelaxed) != 1) continue;
        uint32_t count = t.count.load(kRelaxed) + 1;
        t.count.store(count, kRelaxed);
        if (count < t.period.load(kRelaxed)) continue;
        t.expired.store(1, kRelaxed);
        if (t.autoReload.load(kRelaxed)) {
            t.count.store(0, kRelaxed);
        } else {
            t.active.store(0, kRelaxed);
        }
        TimerCallback callback = t.callback.load(kRelaxed);
        if (t.call.load(kRelaxed) && callback != nullptr) {
            callback();
            t.expired.store(0, kRelaxed);
        }
    }
}

void Timer_Tick() {
    Timer_TickRange(0, 5);
    SoftTimer& p = g_SoftTimers[kTimerPrescaler];
    uint32_t count = p.count.load(kRelaxed);
    count = count > 0 ? count - 1 : 0;
    if (count == 0) {
        p.count.store(p.period.load(kRelaxed), kRelaxed);
        Timer_TickRange(7, 16);
    } else {
        p.count.store(count, kRelaxed);
    }
}
