// Cost of the firmware's work as the program runs it, in virtual time: each case advances the
// rig's clock, so the tick, the link pump, the sensor board's worker and the main-loop pass all
// run as they do in the program, with the measurement screen showing values that change.
#include <benchmark/benchmark.h>

#include "core/events.h"
#include "core/keypad.h"
#include "core/rtc.h"
#include "core/ui_ids.h"
#include "digital_sensor/vdx.h"
#include "panel/inputs.h"
#include "panel/sim_inputs.h"
#include "rig.h"
#include "ui/menu.h"

namespace {
constexpr uint32_t kPassMs = 20;
// A key press held as long as a quick click (the key scan sees it within two ticks).
constexpr uint32_t kClickMs = 60;
// Longer than any key needs to reach the display; a press that does not is a broken benchmark.
constexpr uint32_t kKeyLimitMs = 2000;

// Boots to the measurement screen with the clock set, channel B's model chosen when asked for,
// and the small lines showing channel B then.
void BootToHome(bool channelB) {
    Rig_Reset(Rig_MakeTempFolder());
    ClockRecord t{2025, 6, 1, 0, 10, 0, 0};
    Rtc_SetTime(&t);
    if (channelB) {
        // The big lines keep channel A's pH and temperature; the small ones show channel B's.
        g_MeasLines.channel[2] = 1;
        g_MeasLines.channel[3] = 1;
    }
    Rig_Boot();
    if (channelB) Panel_ChooseSensorB(0);
    Rig_AdvanceMs(3000);
}

// Inputs that change on every pass, as a user turning a spin would make them.
void MoveInputs(uint32_t step, bool channelB) {
    float wobble = static_cast<float>(step % 200);
    Panel_SetSimInput(0, kSimElectrodeVolts, -50.0f + wobble);
    Panel_SetSimInput(0, kSimElementOhm, 1090.0f + wobble * 0.1f);
    if (channelB) {
        Panel_SetSimInput(1, kSimElectrodeVolts, 20.0f - wobble);
        Panel_SetSimInput(1, kSimTemperatureB, 20.0f + wobble * 0.05f);
    }
}

void Flowing(benchmark::State& state, bool channelB) {
    BootToHome(channelB);
    uint32_t step = 0;
    for (auto _ : state) {
        MoveInputs(step++, channelB);
        Rig_AdvanceMs(kPassMs);
    }
    state.SetLabel("one 20-ms step: tick, pass, and the pump and board when due");
}
}  // namespace

static void BM_MeasurementScreenOneChannel(benchmark::State& state) { Flowing(state, false); }
BENCHMARK(BM_MeasurementScreenOneChannel);

static void BM_MeasurementScreenBothChannels(benchmark::State& state) { Flowing(state, true); }
BENCHMARK(BM_MeasurementScreenBothChannels);

// The pass that takes the one-second event: the measurement screen redrawn and the periodic tasks.
static void BM_OneSecondPass(benchmark::State& state) {
    BootToHome(false);
    uint32_t step = 0;
    for (auto _ : state) {
        state.PauseTiming();
        // Up to the pass whose housekeeping queues the one-second event.
        do {
            MoveInputs(step++, false);
            Rig_AdvanceMs(kPassMs);
        } while (!Event_HasItem());
        state.ResumeTiming();
        Rig_AdvanceMs(kPassMs);
    }
}
BENCHMARK(BM_OneSecondPass);

// MENU pressed on the measurement screen until the menu screen is drawn; going home again is not
// timed. The counter is the virtual time from the press to the drawn menu.
static void BM_MenuKeyToDisplay(benchmark::State& state) {
    BootToHome(false);
    uint64_t virtualMs = 0;
    for (auto _ : state) {
        uint64_t pressedAt = Rig_NowMs();
        g_KeyCode.store(kKeyMenu);
        Key_PressStart();
        uint32_t held = 0;
        while (Menu_TopScreen() == kScreenHome && held < kKeyLimitMs) {
            if (held == kClickMs) g_KeyCode.store(kKeyNone);
            Rig_AdvanceMs(kPassMs);
            held += kPassMs;
        }
        virtualMs += Rig_NowMs() - pressedAt;
        state.PauseTiming();
        if (held >= kKeyLimitMs) state.SkipWithError("MENU did not leave the measurement screen");
        g_KeyCode.store(kKeyNone);
        Rig_AdvanceMs(kClickMs);
        Event_Put(kEventHome);
        while (Menu_TopScreen() != kScreenHome && held < 2 * kKeyLimitMs) {
            Rig_AdvanceMs(kPassMs);
            held += kPassMs;
        }
        state.ResumeTiming();
    }
    state.counters["virtual_ms"] =
        benchmark::Counter(static_cast<double>(virtualMs), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_MenuKeyToDisplay);

BENCHMARK_MAIN();
