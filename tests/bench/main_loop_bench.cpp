// Cost of the firmware's main-loop pass.
#include <benchmark/benchmark.h>

#include "core/events.h"
#include "core/rtc.h"
#include "core/timers.h"
#include "core/ui_ids.h"
#include "fw_main.h"
#include "measurement/slots.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/clean.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "outputs/setpoint.h"
#include "rig.h"

static void BM_IdleMainLoopPass(benchmark::State& state) {
    Rig_Reset(Rig_MakeTempFolder());
    ClockRecord t{2025, 6, 1, 0, 10, 0, 0};
    Rtc_SetTime(&t);
    Rig_Boot();
    Rig_AdvanceMs(2000);
    for (auto _ : state) Fw_MainLoopPass();
}
BENCHMARK(BM_IdleMainLoopPass);

// The pass that takes the one-second event on the measurement screen: the screen refreshed, then
// the output hold, both analog outputs (their ranges change every pass, so both currents move)
// and both relays (relay 1 as alarm relay without delay, relay 2 by a requester, each switching
// every pass).
static void BM_OneSecondPassWithOutputsAndRelays(benchmark::State& state) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_Boot();
    Rig_AdvanceMs(2000);
    g_AlarmSettings.relay = 0;
    g_RelaySettings.delay[0] = 0.0f;
    uint32_t pass = 0;
    uint32_t relaySwitches = 0;
    uint8_t lastBits = g_RelayBits.load();
    for (auto _ : state) {
        bool odd = (pass++ & 1u) != 0;
        if (odd) {
            Alarm_SetCause(kAlarmCauseWrongSensor, 0);
            Relay_AddRequester(1, kRelayRequesterCleaning, 0);
        } else {
            Alarm_ClearCause(kAlarmCauseWrongSensor, 0);
            Relay_RemoveRequester(1, kRelayRequesterCleaning, 0);
        }
        g_AoutSettings.valueAt20mA[0] = odd ? 12.0f : 14.0f;
        g_AoutSettings.valueAt20mA[1] = odd ? 100.0f : 90.0f;
        Event_Put(kEventSecond);
        Fw_MainLoopPass();
        uint8_t bits = g_RelayBits.load();
        if (bits != lastBits) ++relaySwitches;
        lastBits = bits;
    }
    state.counters["relay_switches_per_pass"] =
        benchmark::Counter(static_cast<double>(relaySwitches), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OneSecondPassWithOutputsAndRelays);

// The one-second pass with all six set points switching (two per relay on lines a and b, one each
// on c and d), the PID controller stepping on line a with pulses on both relays, and the cleaning
// timer counting its interval (its first cleaning and recovery are over).
static void BM_OneSecondPassWithSetPointsPidAndCleaning(benchmark::State& state) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_Boot();
    Rig_AdvanceMs(2000);
    g_RelaySettings.delay[0] = g_RelaySettings.delay[1] = 0.0f;
    g_CleanSettings = CleanSettings{999.0f, 1.0f, 0, 0};
    uint32_t status = 0;
    Clean_SaveSettings(&status);
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        g_SetPointSettings.source[i] = static_cast<uint8_t>(i % 4);
        g_SetPointSettings.relay[i] = static_cast<uint8_t>(i % 2);
        g_SetPointSettings.type[i] = static_cast<uint8_t>(kSetPointHigh + i % 4);
        g_SetPointSettings.rangeAction[i] = kSetPointRangeYes;
        g_SetPointSettings.valueA[i] = 8.0f;
        g_SetPointSettings.valueB[i] = 6.0f;
    }
    SetPoint_SaveSettings(&status);
    g_PidSettings.mode = kPidAutomatic;
    g_PidSettings.source = 0;
    g_PidSettings.relayPositive = 0;
    g_PidSettings.relayNegative = 1;
    g_PidSettings.pulseType = kPidPulseFrequency;
    g_PidSettings.pulseFrequency = 120.0f;
    g_PidSettings.resetTime = 1.0f;
    g_PidSettings.rateTime = 0.1f;
    Pid_SaveSettings(&status);
    Rig_AdvanceMs(25000);  // the first cleaning and its recovery
    uint32_t pass = 0;
    for (auto _ : state) {
        float x = (pass++ & 1u) != 0 ? 9.0f : 5.0f;
        for (uint32_t slot = 0; slot < 4; ++slot) g_SlotValues[slot].value = x + static_cast<float>(slot) * 0.5f;
        Event_Put(kEventSecond);
        Fw_MainLoopPass();
    }
    state.counters["cleaning_interval_running"] = Timer_IsActive(kTimerCleanInterval);
    state.counters["pid_active"] = Pid_IsActive();
}
BENCHMARK(BM_OneSecondPassWithSetPointsPidAndCleaning);

BENCHMARK_MAIN();
