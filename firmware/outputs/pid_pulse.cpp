// PID pulse outputs: the computed pulse values with their write lock, the requests of the
// firmware thread, and the pulse cycle on the tick.
#include "outputs/pid_pulse.h"

#include <atomic>

#include "core/timers.h"
#include "outputs/pid.h"
#include "outputs/relays.h"

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;
// Ticks per second.
static constexpr float kTicksPerSecond = 50.0f;
static constexpr float kMinFrequency = 0.01f;
static constexpr float kMaxFrequency = 3.5f;
static constexpr float kMinLength = 1.0f;
static constexpr float kMaxLength = 600.0f;
// Duty cycles below this are no pulse, above 1 - this a relay on for the whole period.
static constexpr float kDutyEdge = 0.0005f;

// Requests of the firmware thread, as bits.
static constexpr uint8_t kRequestIdle = 0x01;          // phase idle, counters 0
static constexpr uint8_t kRequestReleaseInUse = 0x02;  // the relay in use inactive
static constexpr uint8_t kRequestStop = 0x04;          // both pulse relays inactive, none in use
static constexpr uint8_t kRequestStopTimer = 0x08;     // then timer 5 stops

// Computed by the step. The lock word is odd while the step writes; the tick takes a copy only
// when it finds the word even and unchanged across the copy.
static std::atomic<uint32_t> s_LockWord{0};
static std::atomic<uint32_t> s_Period{0};
static std::atomic<uint32_t> s_On{0};
static std::atomic<uint32_t> s_Off{0};
static std::atomic<uint8_t> s_RequestedRelay{kRelayNone};
static std::atomic<uint8_t> s_RequestedType{kPidPulseFrequency};

static std::atomic<uint8_t> s_AssignedRelay[2] = {kRelayNone, kRelayNone};
static std::atomic<uint8_t> s_Requests{0};
static std::atomic<uint8_t> s_PulseHeld{0};

// The running cycle: the tick's own, read elsewhere only for display and tests.
struct PulseCycle {
    uint32_t period;
    uint32_t on;
    uint32_t off;
    uint8_t type;
};
static PulseCycle s_Cycle;
static std::atomic<uint8_t> s_RelayInUse{kRelayNone};
static std::atomic<uint8_t> s_Phase{kPidPhaseIdle};
static uint32_t s_Count;    // ticks counted in the present phase
static uint32_t s_OnTicks;  // ticks the relay was on in this cycle

void Pid_ResetPulseState() {
    s_LockWord.store(0, kRelaxed);
    s_Period.store(0, kRelaxed);
    s_On.store(0, kRelaxed);
    s_Off.store(0, kRelaxed);
    s_RequestedRelay.store(kRelayNone, kRelaxed);
    s_RequestedType.store(kPidPulseFrequency, kRelaxed);
    s_AssignedRelay[0].store(kRelayNone, kRelaxed);
    s_AssignedRelay[1].store(kRelayNone, kRelaxed);
    s_Requests.store(0, kRelaxed);
    s_PulseHeld.store(0, kRelaxed);
    s_Cycle = PulseCycle{0, 0, 0, kPidPulseFrequency};
    s_RelayInUse.store(kRelayNone, kRelaxed);
    s_Phase.store(kPidPhaseIdle, kRelaxed);
    s_Count = 0;
    s_OnTicks = 0;
}

// ---- Write lock and computed values (firmware thread) ---------------------------------------------

void Pid_LockPulses() {
    s_LockWord.fetch_add(1, kRelaxed);
    std::atomic_thread_fence(std::memory_order_release);
}

void Pid_UnlockPulses() { s_LockWord.fetch_add(1, std::memory_order_release); }

uint32_t Pid_IsWriteLocked() { return s_LockWord.load(kRelaxed) & 1u; }

// Of the periods n and n + 1 ticks, the one whose value (by `measure`) is nearer the target; n on
// a tie.
template <typename Measure>
static uint32_t NearerPeriod(uint32_t n, float target, Measure measure) {
    float below = measure(n) - target;
    float above = measure(n + 1) - target;
    if (below < 0.0f) below = -below;
    if (above < 0.0f) above = -above;
    return above < below ? n + 1 : n;
}

static void SetPeriod(uint32_t period) {
    uint32_t on = period < kPidPulseOnTicks ? period : kPidPulseOnTicks;
    s_Period.store(period, kRelaxed);
    s_On.store(on, kRelaxed);
    s_Off.store(period - on, kRelaxed);
}

void Pid_SetPulseFrequency(float perSecond) {
    s_RequestedType.store(kPidPulseFrequency, kRelaxed);
    if (!(perSecond >= kMinFrequency)) {
        s_Period.store(0, kRelaxed);
        s_On.store(0, kRelaxed);
        s_Off.store(0, kRelaxed);
        return;
    }
    if (perSecond > kMaxFrequency) perSecond = kMaxFrequency;
    uint32_t n = static_cast<uint32_t>(kTicksPerSecond / perSecond);
    SetPeriod(NearerPeriod(n, perSecond, [](uint32_t p) { return kTicksPerSecond / static_cast<float>(p); }));
}

void Pid_SetPulseLength(float seconds) {
    if (!(seconds >= kMinLength)) seconds = kMinLength;
    if (seconds > kMaxLength) seconds = kMaxLength;
    uint32_t n = static_cast<uint32_t>(seconds * kTicksPerSecond + 0.0001f);
    SetPeriod(NearerPeriod(n, seconds, [](uint32_t p) { return static_cast<float>(p) / kTicksPerSecond; }));
}

void Pid_SetPulseDuty(float fraction) {
    uint32_t period = s_Period.load(kRelaxed);
    if (period == 0) {
        s_On.store(0, kRelaxed);
        s_Off.store(0, kRelaxed);
        return;
    }
    uint32_t on;
    if (!(fraction >= kDutyEdge)) {
        on = 0;
    } else if (fraction > 1.0f - kDutyEdge) {
        on = period;
    } else {
        float exact = static_cast<float>(period) * fraction;
        on = static_cast<uint32_t>(exact);
        if (exact - static_cast<float>(on) > 0.5f) ++on;
    }
    s_On.store(on, kRelaxed);
    s_Off.store(period - on, kRelaxed);
}

void Pid_StopPulses() {
    s_On.store(0, kRelaxed);
    s_Off.store(s_Period.load(kRelaxed), kRelaxed);
}

void Pid_SetRequestedRelay(uint8_t relay) { s_RequestedRelay.store(relay, kRelaxed); }
void Pid_SetRequestedType(uint8_t type) { s_RequestedType.store(type, kRelaxed); }

void Pid_SetAssignedRelays(uint8_t positive, uint8_t negative) {
    s_AssignedRelay[0].store(positive, kRelaxed);
    s_AssignedRelay[1].store(negative, kRelaxed);
}

// ---- Requests (firmware thread) ---------------------------------------------------------------------

void Pid_InitPulseOutputs(uint32_t release) {
    s_PulseHeld.store(1, kRelaxed);
    s_Requests.fetch_or(static_cast<uint8_t>(kRequestIdle | (release ? kRequestReleaseInUse : 0)), kRelaxed);
}

void Pid_HoldPulses() { s_PulseHeld.store(1, kRelaxed); }
void Pid_ReleasePulseHold() { s_PulseHeld.store(0, kRelaxed); }
uint32_t Pid_IsPulseHeld() { return s_PulseHeld.load(kRelaxed); }

void Pid_RequestPulseStop(uint32_t stopTimer) {
    s_Requests.fetch_or(static_cast<uint8_t>(kRequestStop | (stopTimer ? kRequestStopTimer : 0)), kRelaxed);
}

void Pid_RequestPulsesIdle() { s_Requests.fetch_or(kRequestIdle, kRelaxed); }

void Pid_CancelTimerStop() { s_Requests.fetch_and(static_cast<uint8_t>(~kRequestStopTimer), kRelaxed); }

// ---- The tick (timer thread) ----------------------------------------------------------------------

static void SetRelay(uint8_t relay, uint32_t active) {
    if (relay < kRelayNone) Relay_SetLogical(relay, active);
}

// A consistent copy of the computed values; false while the step writes them.
static bool TakeComputed(PulseCycle* cycle, uint8_t* relay) {
    uint32_t before = s_LockWord.load(std::memory_order_acquire);
    if (before & 1u) return false;
    PulseCycle copy{s_Period.load(kRelaxed), s_On.load(kRelaxed), s_Off.load(kRelaxed), s_RequestedType.load(kRelaxed)};
    uint8_t requested = s_RequestedRelay.load(kRelaxed);
    std::atomic_thread_fence(std::memory_order_acquire);
    if (s_LockWord.load(kRelaxed) != before) return false;
    *cycle = copy;
    *relay = requested;
    return true;
}

// At a cycle's edge the running cycle takes the newest computed values; a relay given up goes
// inactive first.
static void TakeNewestValues() {
    PulseCycle cycle;
    uint8_t relay;
    if (!TakeComputed(&cycle, &relay)) return;
    uint8_t inUse = s_RelayInUse.load(kRelaxed);
    if (relay != inUse) SetRelay(inUse, 0);
    s_Cycle = cycle;
    s_RelayInUse.store(relay, kRelaxed);
}

static void EnterPhase(uint8_t phase) {
    s_Phase.store(phase, kRelaxed);
    s_Count = 0;
}

// The next cycle after an off time, or after an on time that filled the whole period.
static void StartCycle() {
    TakeNewestValues();
    uint8_t relay = s_RelayInUse.load(kRelaxed);
    if (relay >= kRelayNone) {
        EnterPhase(kPidPhaseIdle);
    } else if (s_Cycle.on > 0) {
        SetRelay(relay, 1);
        EnterPhase(kPidPhaseOn);
    } else {
        // No pulse this period: the relay stays off and the cycle looks again after it.
        SetRelay(relay, 0);
        s_OnTicks = 0;
        EnterPhase(kPidPhaseOff);
    }
}

static uint32_t OffTarget() {
    if (s_Cycle.type == kPidPulseLength) return s_Cycle.period > s_OnTicks ? s_Cycle.period - s_OnTicks : 0;
    return s_Cycle.off;
}

void Pid_DrivePulseOutputs() {
    uint8_t phase = s_Phase.load(kRelaxed);
    if (phase == kPidPhaseIdle) {
        TakeNewestValues();
        uint8_t relay = s_RelayInUse.load(kRelaxed);
        if (relay >= kRelayNone) return;
        s_OnTicks = 0;
        if (s_Cycle.on > 0) {
            SetRelay(relay, 1);
            EnterPhase(kPidPhaseOn);
        } else if (s_Cycle.off > 0) {
            SetRelay(relay, 0);
            EnterPhase(kPidPhaseOff);
        }
        return;
    }
    uint8_t relay = s_RelayInUse.load(kRelaxed);
    uint8_t positive = s_AssignedRelay[0].load(kRelaxed);
    uint8_t negative = s_AssignedRelay[1].load(kRelaxed);
    if (positive < kRelayNone && negative < kRelayNone && positive != negative) {
        // With both relays assigned, the one not in use stays inactive.
        if (relay == positive) SetRelay(negative, 0);
        if (relay == negative) SetRelay(positive, 0);
    }
    ++s_Count;
    if (phase == kPidPhaseOn) {
        if (s_Count < s_Cycle.on) return;
        s_OnTicks = s_Count;
        uint32_t rest = s_Cycle.type == kPidPulseLength ? (s_Cycle.period > s_OnTicks ? s_Cycle.period - s_OnTicks : 0)
                                                        : s_Cycle.off;
        if (rest > 0) {
            SetRelay(relay, 0);
            EnterPhase(kPidPhaseOff);
        } else {
            // A pulse that fills the whole period: the next cycle starts on, with the newest
            // values, so that a lower output or a stop ends the relay's on time.
            StartCycle();
        }
        return;
    }
    if (s_Count >= OffTarget()) StartCycle();
}

static void CarryOutRequests(uint8_t requests) {
    uint8_t inUse = s_RelayInUse.load(kRelaxed);
    if (requests & (kRequestReleaseInUse | kRequestStop)) SetRelay(inUse, 0);
    if (requests & kRequestStop) {
        SetRelay(s_AssignedRelay[0].load(kRelaxed), 0);
        SetRelay(s_AssignedRelay[1].load(kRelaxed), 0);
        s_RelayInUse.store(kRelayNone, kRelaxed);
    }
    if (requests & (kRequestIdle | kRequestStop)) {
        EnterPhase(kPidPhaseIdle);
        s_OnTicks = 0;
    }
    if (requests & kRequestStopTimer) Timer_Stop(kTimerPid);
}

void Pid_TimerTick() {
    uint8_t requests = s_Requests.exchange(0, kRelaxed);
    if (requests != 0) {
        CarryOutRequests(requests);
        if (requests & kRequestStopTimer) return;
    }
    if (Pid_IsActive() && !s_PulseHeld.load(kRelaxed)) Pid_DrivePulseOutputs();
}

uint32_t Pid_GetPulsePeriod() { return s_Period.load(kRelaxed); }
uint32_t Pid_GetPulseOnTicks() { return s_On.load(kRelaxed); }
uint32_t Pid_GetPulseOffTicks() { return s_Off.load(kRelaxed); }
uint8_t Pid_GetRequestedRelay() { return s_RequestedRelay.load(kRelaxed); }
uint8_t Pid_GetRequestedType() { return s_RequestedType.load(kRelaxed); }
uint8_t Pid_GetPulsePhase() { return s_Phase.load(kRelaxed); }
uint8_t Pid_GetRelayInUse() { return s_RelayInUse.load(kRelaxed); }
