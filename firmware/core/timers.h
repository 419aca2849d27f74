// Software timers: 17 timers on the 20-ms tick; timers 7 to 16 count seconds through the
// prescaler timer 6.
#pragma once
#include <atomic>
#include <cstdint>

typedef void (*TimerCallback)();

// One software timer. The tick runs on the timer thread and the firmware thread starts, stops and
// polls, so every field is an atomic written whole. Count and period are 32 bits wide so that a
// seconds timer can run for the longest cleaning interval (999.91 h, beyond 65535 s).
struct SoftTimer {
    std::atomic<TimerCallback> callback;
    std::atomic<uint32_t> active;
    std::atomic<uint32_t> expired;
    std::atomic<uint32_t> count;
    std::atomic<uint32_t> period;
    std::atomic<uint8_t> autoReload;
    std::atomic<uint8_t> call;
};

constexpr int kTimerCount = 17;
constexpr int kTimerPrescaler = 6;
constexpr int kTimerOneSecond = 0;
constexpr int kTimerKeyScan = 1;
constexpr int kTimerBlink = 2;
constexpr int kTimerLinkTick = 3;
constexpr int kTimerInactivity = 7;
constexpr int kTimerDisplayRefresh = 8;
constexpr int kTimerTimedHold = 14;
// The countdown screens' timer (seconds).
constexpr int kTimerCountdown = 16;

extern SoftTimer g_SoftTimers[kTimerCount];

// Every timer cleared; the prescaler running with period 50.
void Timer_Init();
// Starts timer n (0..5) with a period of milliseconds / 20 ticks.
void Timer_Start(int n, uint32_t milliseconds, uint8_t reload);
// Starts timer n with a period of that many units (seconds for timers 7 to 16).
void Timer_StartTicks(int n, uint32_t units, uint8_t reload);
// Counts from zero again with the same period, reload and callback.
void Timer_Restart(int n);
void Timer_Stop(int n);
// Sets the callback and whether it is called on expiry; does not start the timer.
void Timer_SetCallback(int n, uint8_t call, TimerCallback function);
uint32_t Timer_IsActive(int n);
// 1 once per expiry for a running timer; a stopped one-shot keeps reporting its expiry.
uint32_t Timer_Expired(int n);
// The 20-ms tick: timers 0..5 every call, 7..16 every 50 calls.
void Timer_Tick();
void Timer_TickRange(int first, int last);
