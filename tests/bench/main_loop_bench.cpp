// Cost of the firmware's work as the program runs it, in virtual time: each case advances the
// rig's clock, so the tick, the link pump, the sensor board's worker and the main-loop pass all
// run as they do in the program, with the measurement screen showing values that change. The
// cases that time single passes report the mean, the 99th percentile and the worst pass.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "core/eeprom.h"
#include "core/events.h"
#include "core/keypad.h"
#include "core/rtc.h"
#include "core/timers.h"
#include "core/ui_ids.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_config.h"
#include "fw_main.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/clean.h"
#include "outputs/messages.h"
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
// Passes timed one by one: ten virtual minutes.
constexpr uint32_t kTimedPasses = 30000;
// Channel B's sensor: the first of the panel's list, a pH sensor.
constexpr int32_t kSensorBChoice = 0;
constexpr char kSensorBFile[] = "PH_SelvoP11_0.txt";
// Plug-and-measure takes the sensor over within this much virtual time.
constexpr uint32_t kPlugLimitMs = 60000;
// Display line c: channel B's pH.
constexpr uint8_t kLineChannelBPh = 2;
// Electrode potentials (mV, as the panel takes them) of a process well above and below pH 7.
constexpr float kMvAbovePh7 = -120.0f;
constexpr float kMvBelowPh7 = 120.0f;

// The cases that time single passes run their passes this often, each time from a fresh start.
// The passes are the same every time (virtual time), so the least of a pass's times is what the
// pass itself costs, without what the host did meanwhile (another process on the core, a page
// fault); the plain figures include that.
constexpr uint32_t kRuns = 3;
constexpr uint32_t kTimedIterations = kRuns * kTimedPasses;

// The times of single passes, run by run, and the figures reported from them.
class PassTimes {
public:
    PassTimes() : m_Ns(kRuns, std::vector<double>(kTimedPasses, 0.0)) {}
    // Runs one main-loop pass and takes its time as the iteration's.
    void TimePass(benchmark::State& state, uint32_t run, uint32_t pass) {
        auto start = std::chrono::steady_clock::now();
        Fw_MainLoopPass();
        auto end = std::chrono::steady_clock::now();
        double ns = std::chrono::duration<double, std::nano>(end - start).count();
        m_Ns[run][pass] = ns;
        state.SetIterationTime(ns * 1e-9);
    }
    void Report(benchmark::State& state) const {
        std::vector<double> all;
        std::vector<double> least(kTimedPasses, 0.0);
        for (uint32_t pass = 0; pass < kTimedPasses; ++pass) {
            least[pass] = m_Ns[0][pass];
            for (uint32_t run = 0; run < kRuns; ++run) {
                all.push_back(m_Ns[run][pass]);
                least[pass] = std::min(least[pass], m_Ns[run][pass]);
            }
        }
        double sum = 0.0;
        for (double ns : all) sum += ns;
        state.counters["passes"] = static_cast<double>(all.size());
        state.counters["mean_us"] = sum / static_cast<double>(all.size()) / 1000.0;
        state.counters["p99_us"] = Percentile99(all) / 1000.0;
        state.counters["worst_us"] = *std::max_element(all.begin(), all.end()) / 1000.0;
        auto worst = std::max_element(least.begin(), least.end());
        state.counters["p99_least_of_runs_us"] = Percentile99(least) / 1000.0;
        state.counters["worst_least_of_runs_us"] = *worst / 1000.0;
        state.counters["worst_least_at_pass"] = static_cast<double>(worst - least.begin());
    }

private:
    static double Percentile99(std::vector<double> ns) {
        std::sort(ns.begin(), ns.end());
        return ns[std::min(ns.size() * 99 / 100, ns.size() - 1)];
    }
    std::vector<std::vector<double>> m_Ns;
};

// Runs the passes of a case: kRuns times a fresh start by start (false when it failed), then
// kTimedPasses times the step between passes (inputs and the 20 ms of ticks, link pump and board
// worker, not timed) and one timed pass.
template <typename Start, typename Step>
bool TimePasses(benchmark::State& state, PassTimes* times, Start start, Step step) {
    uint64_t iteration = 0;
    for (auto _ : state) {
        uint32_t run = static_cast<uint32_t>(iteration / kTimedPasses);
        uint32_t pass = static_cast<uint32_t>(iteration % kTimedPasses);
        ++iteration;
        if (pass == 0 && !start()) {
            state.SkipWithError("channel B was never measured");
            return false;
        }
        step(pass);
        times->TimePass(state, run, pass);
    }
    times->Report(state);
    return true;
}

// True once channel B is measured: plug-and-measure idle with the sensor taken over, and channel
// B's temperature following the panel's input.
bool ChannelBMeasured(float temperature) {
    return Vdx_GetPlugState() == kPlugIdle && Vdx_GetPreviousPlugState() == kPlugIdle &&
           g_SensorKindActive[1] == kKindPh && g_Measurement[1].temperature == temperature;
}

// Boots to the measurement screen with the clock set. With channel B: a first start writes the
// factory settings, channel B becomes the selected channel (the one the sensor board measures)
// with display lines c and d showing it, the program starts again, and a pH sensor is plugged on channel B (its file beside the
// program, in the working folder, where the library reads it) and taken over by plug-and-measure
// until channel B is measured. False when channel B never came to be measured.
bool BootToHome(bool channelB) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    ClockRecord t{2025, 6, 1, 0, 10, 0, 0};
    Rtc_SetTime(&t);
    Rig_Boot();
    if (channelB) {
        uint32_t status = 0;
        g_CurrentChannel = 1;
        Vdx_SaveSelectedChannel(&status);
        // Lines c and d show channel B's pH and temperature, as lines a and b show channel A's.
        for (uint32_t line = 2; line < 4; ++line) {
            g_MeasLines.channel[line] = 1;
            g_MeasLines.kind[line] = g_MeasLines.kind[line - 2];
            g_MeasLines.prefix[line] = g_MeasLines.prefix[line - 2];
            g_MeasLines.resolution[line] = g_MeasLines.resolution[line - 2];
        }
        Vdx_SaveChannelConfig(&status);
        Rig_Reset(folder);
        Rtc_SetTime(&t);
        Rig_Boot();
        std::filesystem::copy_file(std::filesystem::path(KORVI_SENSOR_IMAGE_DIR) / kSensorBFile,
                                   std::filesystem::path(folder) / kSensorBFile,
                                   std::filesystem::copy_options::overwrite_existing);
        std::filesystem::current_path(folder);
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        Panel_ChooseSensorB(kSensorBChoice);
        for (uint32_t ms = 0; !ChannelBMeasured(25.0f) && ms < kPlugLimitMs; ms += kPassMs) Rig_AdvanceMs(kPassMs);
    }
    Rig_AdvanceMs(3000);
    return !channelB || (Chan_GetCurrentChannel() == 1 && ChannelBMeasured(25.0f));
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

// The measurement screen with its inputs moving, one timed pass every 20 ms.
void Flowing(benchmark::State& state, bool channelB) {
    PassTimes times;
    uint32_t channelBChanges = 0;
    float lastB = 0.0f;
    bool done = TimePasses(
        state, &times, [channelB] { return BootToHome(channelB); },
        [&](uint32_t pass) {
            if (g_Measurement[1].temperature != lastB) ++channelBChanges;
            lastB = g_Measurement[1].temperature;
            MoveInputs(pass, channelB);
            Rig_TickOnlyMs(kPassMs);
        });
    if (!done) return;
    state.counters["channel_b_values"] = channelBChanges;
    if (channelB && channelBChanges < kRuns) state.SkipWithError("channel B was not measured while it ran");
    state.SetLabel(channelB ? "one pass; channel B selected and measured, lines c and d show it"
                            : "one pass; channel A selected and measured");
}
}  // namespace

static void BM_MeasurementScreenOneChannel(benchmark::State& state) { Flowing(state, false); }
BENCHMARK(BM_MeasurementScreenOneChannel)->Iterations(kTimedIterations)->UseManualTime();

static void BM_MeasurementScreenBothChannels(benchmark::State& state) { Flowing(state, true); }
BENCHMARK(BM_MeasurementScreenBothChannels)->Iterations(kTimedIterations)->UseManualTime();

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
// The PID in automatic on that measurement line, pulsing both relays in frequency mode, saved.
static void SavePidPulsingOn(uint8_t source, uint32_t* status) {
    g_PidSettings.mode = kPidAutomatic;
    g_PidSettings.source = source;
    g_PidSettings.relayPositive = 0;
    g_PidSettings.relayNegative = 1;
    g_PidSettings.pulseType = kPidPulseFrequency;
    g_PidSettings.pulseFrequency = 120.0f;
    g_PidSettings.resetTime = 1.0f;
    g_PidSettings.rateTime = 0.1f;
    Pid_SaveSettings(status);
}

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
    SavePidPulsingOn(0, &status);
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

// Every pass timed while the instrument does the most it does: channel B selected and measured,
// the PID controller stepping on its pH (line c) with pulses on both relays, the cleaning timer
// counting, and six set points on that pH whose messages are raised and cleared, all six at
// once, as the process swings across their limit every three seconds.
static bool StartWithChannelBSetPointsPidAndCleaning() {
    if (!BootToHome(true)) return false;
    uint32_t status = 0;
    g_RelaySettings.delay[0] = g_RelaySettings.delay[1] = 0.0f;
    g_CleanSettings = CleanSettings{999.0f, 1.0f, 0, 0};
    Clean_SaveSettings(&status);
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        g_SetPointSettings.source[i] = kLineChannelBPh;
        g_SetPointSettings.relay[i] = kRelayNone;
        g_SetPointSettings.type[i] = kSetPointHigh;
        g_SetPointSettings.rangeAction[i] = kSetPointRangeNo;
        g_SetPointSettings.valueA[i] = 7.0f;
        g_SetPointSettings.hysteresis[i] = 0.1f;
    }
    SetPoint_SaveSettings(&status);
    SavePidPulsingOn(kLineChannelBPh, &status);
    Rig_AdvanceMs(25000);  // the first cleaning and its recovery
    return status == 0;
}

static void BM_PassesWithChannelBSetPointMessagesPidAndCleaning(benchmark::State& state) {
    PassTimes times;
    uint32_t raised = 0;
    uint32_t cleared = 0;
    uint32_t writesBefore = 0;
    uint32_t activeBefore = 0;
    bool done = TimePasses(
        state, &times,
        [&] {
            bool started = StartWithChannelBSetPointsPidAndCleaning();
            writesBefore = Eeprom_FileWriteCount();
            return started;
        },
        [&](uint32_t pass) {
            // What the pass before raised and cleared.
            uint32_t active = Msg_ActiveCount();
            if (pass > 0 && active > activeBefore) raised += active - activeBefore;
            if (pass > 0 && active < activeBefore) cleared += activeBefore - active;
            activeBefore = active;
            Panel_SetSimInput(1, kSimElectrodeVolts, (pass / 150) % 2 == 0 ? kMvAbovePh7 : kMvBelowPh7);
            Panel_SetSimInput(1, kSimTemperatureB, 25.0f + static_cast<float>(pass % 50) * 0.01f);
            Rig_TickOnlyMs(kPassMs);
        });
    if (!done) return;
    state.counters["messages_raised"] = raised;
    state.counters["messages_cleared"] = cleared;
    state.counters["store_writes_last_run"] = Eeprom_FileWriteCount() - writesBefore;
    state.counters["cleaning_interval_running"] = Timer_IsActive(kTimerCleanInterval);
    state.counters["pid_active"] = Pid_IsActive();
    state.counters["channel_b_selected"] = Chan_GetCurrentChannel();
    state.counters["channel_b_measured"] = ChannelBMeasured(g_Measurement[1].temperature) ? 1 : 0;
}
BENCHMARK(BM_PassesWithChannelBSetPointMessagesPidAndCleaning)->Iterations(kTimedIterations)->UseManualTime();

BENCHMARK_MAIN();
