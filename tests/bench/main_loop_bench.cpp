// Cost of the firmware's main-loop pass.
#include <benchmark/benchmark.h>

#include "core/rtc.h"
#include "fw_main.h"
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

BENCHMARK_MAIN();
