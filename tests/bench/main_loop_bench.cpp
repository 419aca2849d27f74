// Cost of the firmware's main-loop pass.
#include <benchmark/benchmark.h>

#include "core/events.h"
#include "core/fw_main.h"
#include "core/rtc.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/relays.h"
#include "rig.h"
#include "ui/menu.h"

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
        Event_Put(kMenuEventSecond);
        Fw_MainLoopPass();
        uint8_t bits = g_RelayBits.load();
        if (bits != lastBits) ++relaySwitches;
        lastBits = bits;
    }
    state.counters["relay_switches_per_pass"] =
        benchmark::Counter(static_cast<double>(relaySwitches), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_OneSecondPassWithOutputsAndRelays);

BENCHMARK_MAIN();
