// Cost of the firmware's work as the program runs it, in virtual time: each case advances the
// rig's clock, so the tick, the link pump, the sensor board's worker and the main-loop pass all
// run as they do in the program, with the measurement screen showing values that change.
#include <benchmark/benchmark.h>

#include "core/events.h"
#include "core/keypad.h"
#include "core/rtc.h"
#include "core/timers.h"
#include "core/ui_ids.h"
#include "digital_sensor/vdx.h"
#include "fw_main.h"
#include "measurement/slots.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/clean.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "outputs/setpoint.h"
#include "panel/inputs.h"
#include "rig.h"
#include "sim/sim_inputs.h"
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
