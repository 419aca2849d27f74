// PID controller: the settings module with its validation, the control step with its shaped
// error, history, integral and anti-windup, hold, and the output line of the measurement screen.
#include "outputs/pid.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "core/eeprom.h"
#include "core/fw_hook.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/texts.h"
#include "core/timers.h"
#include "core/util.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "outputs/pid_pulse.h"
#include "outputs/relays.h"

// Settings store: the block, the two hold bytes, and a float written with every save.
static constexpr uint32_t kStoreBlock = 1537;
static constexpr uint32_t kStoreHoldBytes = 2030;
static constexpr uint32_t kStoreHoldFloat = 2032;
static constexpr float kHoldFloat = 4.0f;
static constexpr StoreRange kStoreRanges[] = {
    {kStoreBlock, kPidBlockBytes}, {kStoreHoldBytes, 2}, {kStoreHoldFloat, 4}};
const StoreMap g_PidStoreMap = {"PID controller", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

// Validation bounds and fallbacks.
static constexpr float kMaxGain = 20.0f;
static constexpr float kMaxMinutes = 9999.0f;
static constexpr float kMinPulseLength = 1.0f;
static constexpr float kMaxPulseLength = 600.0f;
static constexpr float kMaxPulseFrequency = 180.0f;
// A gain below this gives no output; a reset time below this no integral.
static constexpr float kMinGain = 9e-5f;
static constexpr float kMinResetTime = 0.009f;
// Spans of the shaped error below this count as none.
static constexpr float kMinSpan = 1e-29f;
// Outputs within this of 0 drive no pulses.
static constexpr float kPulseDeadBand = 0.0005f;
// History of the shaped error below this many samples sums its values into the integral.
static constexpr uint32_t kFullHistory = 7;

// Line kinds that show pH.
static constexpr uint8_t kLineKindPh = 13;
static constexpr uint8_t kLineKindPhB = 39;

static const PidSettings kFactorySettings = {
    kPidManual, kPidSourceOff, 0,          0,      0,     kPidPulseLength,
    {1, 1},     kRelayNone,    kRelayNone, {2, 2}, 1.0f,  1.0f,
    1.0f,       0.0f,          0.0f,       7.0f,   0.0f,  0.0f,
    14.0f,      0.0f,          1.0f,       14.0f,  -1.0f, 1,
};

PidSettings g_PidSettings = kFactorySettings;
PidSettings g_PidDefaults = kFactorySettings;
uint8_t g_PidHoldBytes[2];

// Read by the tick through Pid_IsActive.
static std::atomic<uint8_t> s_Active{0};
static uint8_t s_Held;
static uint8_t s_KeepControlling;
// The next automatic step preloads the integral from the manual output.
static uint8_t s_FreshStart;
static float s_Output;
static float s_Manual;
static float s_Preload;
static float s_Integral;

// Directions by the assigned relays.
enum PidDirection : uint8_t { kTwoSided, kPositiveOnly, kNegativeOnly };

void Pid_ResetState() {
    g_PidSettings = kFactorySettings;
    g_PidDefaults = kFactorySettings;
    g_PidHoldBytes[0] = g_PidHoldBytes[1] = 0;
    s_Active.store(0, std::memory_order_relaxed);
    s_Held = 0;
    s_KeepControlling = 0;
    s_FreshStart = 0;
    s_Output = 0.0f;
    s_Manual = 0.0f;
    s_Preload = 0.0f;
    s_Integral = 0.0f;
    Pid_ResetPulseState();
}

// ---- Settings block -----------------------------------------------------------------------------

static void PutFloat(uint8_t* bytes, float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    for (uint32_t i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
}

static float GetFloat(const uint8_t* bytes) {
    uint32_t bits = 0;
    for (uint32_t i = 0; i < 4; ++i) bits |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

// The floats of the block, in their stored order after the twelve bytes.
static float* BlockFloats(PidSettings* s, uint32_t i) {
    float* const floats[13] = {&s->pulseLength,  &s->pulseFrequency, &s->gain,        &s->resetTime,  &s->rateTime,
                               &s->setPoint,     &s->deadBand,       &s->lowerLimit,  &s->upperLimit, &s->lowerCornerX,
                               &s->lowerCornerY, &s->upperCornerX,   &s->upperCornerY};
    return floats[i];
}

// The block as stored: twelve bytes, thirteen little-endian floats, the both-relays flag.
static void PackBlock(const PidSettings& s, uint8_t* block) {
    const uint8_t bytes[12] = {s.mode,      s.source,    s.displayChoice, s.spareOption,   s.reserved,  s.pulseType,
                               s.spareA[0], s.spareA[1], s.relayPositive, s.relayNegative, s.spareB[0], s.spareB[1]};
    std::memcpy(block, bytes, 12);
    PidSettings copy = s;
    for (uint32_t i = 0; i < 13; ++i) PutFloat(block + 12 + 4 * i, *BlockFloats(&copy, i));
    block[64] = s.bothRelays;
}

static void UnpackBlock(const uint8_t* block, PidSettings* s) {
    s->mode = block[0];
    s->source = block[1];
    s->displayChoice = block[2];
    s->spareOption = block[3];
    s->reserved = block[4];
    s->pulseType = block[5];
    s->spareA[0] = block[6];
    s->spareA[1] = block[7];
    s->relayPositive = block[8];
    s->relayNegative = block[9];
    s->spareB[0] = block[10];
    s->spareB[1] = block[11];
    for (uint32_t i = 0; i < 13; ++i) *BlockFloats(s, i) = GetFloat(block + 12 + 4 * i);
    s->bothRelays = block[64];
}

static bool SameBlock(const PidSettings& a, const PidSettings& b) {
    uint8_t x[kPidBlockBytes];
    uint8_t y[kPidBlockBytes];
    PackBlock(a, x);
    PackBlock(b, y);
    return std::memcmp(x, y, kPidBlockBytes) == 0;
}

static void StoreBlock(uint32_t* status) {
    uint8_t block[kPidBlockBytes];
    PackBlock(g_PidSettings, block);
    Eeprom_WriteChecked(kStoreBlock, block, kPidBlockBytes, status);
}

static void StoreHold(uint32_t* status) {
    Eeprom_WriteChecked(kStoreHoldBytes, g_PidHoldBytes, 2, status);
    Eeprom_WriteFloat(kStoreHoldFloat, kHoldFloat, status);
}

void Pid_BuildDefaults() { g_PidDefaults = kFactorySettings; }

void Pid_WriteDefaults(uint32_t* status) {
    Pid_BuildDefaults();
    g_PidSettings = g_PidDefaults;
    g_PidHoldBytes[0] = g_PidHoldBytes[1] = 0;
    StoreBlock(status);
    StoreHold(status);
}

// A gain, time, length or frequency within 0 .. largest (and at least `least`), finite and either
// zero or a normal float; otherwise the fallback. A zero gain is a gain (it gives no output).
static bool RepairAmount(float* value, float least, float largest, float fallback) {
    float v = *value;
    bool usable = std::isfinite(v) && v >= least && v <= largest && (v == 0.0f || std::isnormal(v));
    if (usable) return false;
    *value = fallback;
    return true;
}

// A float that no rule bounds must at least be a number; a corrupted one takes its factory value.
static bool RepairFinite(float* value, float fallback) {
    if (std::isfinite(*value)) return false;
    *value = fallback;
    return true;
}

static bool RepairByte(uint8_t* value, uint8_t largest, uint8_t fallback) {
    if (*value <= largest) return false;
    *value = fallback;
    return true;
}

// Restarts the pulses from the settings: held and locked, no pulse, no relay, the new type and
// period.
static void RestartPulses(const PidSettings& p) {
    Pid_HoldPulses();
    Pid_LockPulses();
    Pid_StopPulses();
    Pid_SetRequestedType(p.pulseType);
    Pid_SetRequestedRelay(kRelayNone);
    if (p.pulseType == kPidPulseLength) {
        Pid_SetPulseLength(p.pulseLength);
        Pid_SetPulseDuty(0.0f);
    } else {
        Pid_SetPulseFrequency(0.0f);
    }
    Pid_UnlockPulses();
}

static uint32_t Validate(bool restartPulses) {
    PidSettings& p = g_PidSettings;
    const PidSettings& run = g_PidDefaults;
    bool changed = false;
    changed |= RepairByte(&p.mode, kPidManual, kPidManual);
    changed |= RepairFinite(&p.deadBand, kFactorySettings.deadBand);
    if (p.deadBand < 0.0f) {
        p.deadBand = -p.deadBand;
        changed = true;
    }
    changed |= RepairFinite(&p.setPoint, kFactorySettings.setPoint);
    changed |= RepairFinite(&p.lowerLimit, kFactorySettings.lowerLimit);
    changed |= RepairFinite(&p.upperLimit, kFactorySettings.upperLimit);
    changed |= RepairFinite(&p.lowerCornerY, kFactorySettings.lowerCornerY);
    changed |= RepairFinite(&p.upperCornerY, kFactorySettings.upperCornerY);
    if (!(p.lowerCornerX >= p.lowerLimit && p.lowerCornerX <= p.setPoint - p.deadBand)) {
        changed |= p.lowerCornerX != p.lowerLimit;
        p.lowerCornerX = p.lowerLimit;
    }
    if (!(p.upperCornerX >= p.setPoint + p.deadBand && p.upperCornerX <= p.upperLimit)) {
        changed |= p.upperCornerX != p.upperLimit;
        p.upperCornerX = p.upperLimit;
    }
    changed |= RepairAmount(&p.gain, 0.0f, kMaxGain, 1.0f);
    changed |= RepairAmount(&p.resetTime, 0.0f, kMaxMinutes, 0.0f);
    changed |= RepairAmount(&p.rateTime, 0.0f, kMaxMinutes, 0.0f);
    changed |= RepairAmount(&p.pulseLength, kMinPulseLength, kMaxPulseLength, 1.0f);
    changed |= RepairAmount(&p.pulseFrequency, 0.0f, kMaxPulseFrequency, 1.0f);
    if (p.reserved != 0) {
        p.reserved = 0;
        changed = true;
    }
    changed |= RepairByte(&p.pulseType, kPidPulseFrequency, kPidPulseFrequency);
    changed |= RepairByte(&p.displayChoice, 1, 0);
    changed |= RepairByte(&p.spareOption, 1, 0);
    changed |= RepairByte(&p.relayPositive, kRelayNone, kRelayNone);
    changed |= RepairByte(&p.relayNegative, kRelayNone, kRelayNone);

    bool lengthChanged = p.pulseType == kPidPulseLength && p.pulseLength != run.pulseLength;
    bool frequencyChanged = p.pulseType == kPidPulseFrequency && p.pulseFrequency != run.pulseFrequency;
    if (restartPulses || p.source != run.source || p.relayPositive != run.relayPositive ||
        p.relayNegative != run.relayNegative || p.pulseType != run.pulseType || lengthChanged || frequencyChanged) {
        RestartPulses(p);
    }
    p.bothRelays = p.relayPositive < kRelayNone && p.relayNegative < kRelayNone ? 1 : 0;
    g_PidDefaults = p;
    Pid_SetAssignedRelays(p.relayPositive, p.relayNegative);
    return changed ? 1 : 0;
}

uint32_t Pid_ValidateParams() { return Validate(false); }

static void StartOrStopTimer() {
    if (g_PidDefaults.source < kPidSourceOff) {
        Pid_CancelTimerStop();
        Timer_SetCallback(kTimerPid, 1, Pid_TimerTick);
        Timer_Start(kTimerPid, 20, 1);
    } else if (Timer_IsActive(kTimerPid)) {
        // The tick releases the pulse relays before it stops its timer, so no relay stays on.
        Pid_RequestPulseStop(1);
    }
}

void Pid_LoadSettings(uint32_t* status) {
    // The pulses start from nothing: no relay requested or in use, frequency type.
    Pid_LockPulses();
    Pid_SetRequestedRelay(kRelayNone);
    Pid_SetRequestedType(kPidPulseFrequency);
    Pid_UnlockPulses();
    Pid_RequestPulseStop(0);

    uint8_t block[kPidBlockBytes];
    PackBlock(kFactorySettings, block);
    uint32_t s = 0;
    Eeprom_Read(kStoreBlock, block, kPidBlockBytes, &s);
    if (s != 0) {
        *status = s;
        PackBlock(kFactorySettings, block);
    }
    UnpackBlock(block, &g_PidSettings);
    uint8_t hold[2] = {0, 0};
    s = 0;
    Eeprom_Read(kStoreHoldBytes, hold, 2, &s);
    if (s != 0) *status = s;
    for (uint32_t i = 0; i < 2; ++i) g_PidHoldBytes[i] = s == 0 && hold[i] <= 1 ? hold[i] : 0;

    // The pulse state was reset, so the period comes from the loaded settings whatever ran before.
    Validate(true);
    s_Output = 0.0f;
    s_Integral = 0.0f;
    s_Active.store(1, std::memory_order_relaxed);
    Timer_SetCallback(kTimerPid, 1, Pid_TimerTick);
    if (g_PidDefaults.source < kPidSourceOff) {
        Pid_CancelTimerStop();
        Timer_Start(kTimerPid, 20, 1);
    }
}

void Pid_SaveSettings(uint32_t* status) {
    bool differed = !SameBlock(g_PidSettings, g_PidDefaults);
    uint8_t oldMode = g_PidDefaults.mode;
    Pid_ValidateParams();
    if (differed) {
        uint8_t mode = g_PidDefaults.mode;
        if (mode == kPidAutomatic && oldMode != kPidAutomatic) s_Manual = s_Output;
        // Back in automatic, the first step preloads the integral from the manual output.
        if (mode == kPidManual && oldMode != kPidManual) s_FreshStart = 1;
        StoreBlock(status);
    }
    StoreHold(status);
    StartOrStopTimer();
}

// ---- Control step -----------------------------------------------------------------------------------

static float Limit1(float v) {
    if (!(v > -1.0f)) return std::isnan(v) ? 0.0f : -1.0f;
    return v > 1.0f ? 1.0f : v;
}

static PidDirection Direction(const PidSettings& p) {
    bool positive = p.relayPositive < kRelayNone;
    bool negative = p.relayNegative < kRelayNone;
    if (positive && negative) return kTwoSided;
    return positive ? kPositiveOnly : kNegativeOnly;
}

// A one-sided controller acts only with the sign of its relay.
static bool SignSuits(PidDirection direction, float output) {
    if (direction == kPositiveOnly) return output >= 0.0f;
    if (direction == kNegativeOnly) return output <= 0.0f;
    return true;
}

// A fraction of the gain for the history or the preload, carrying the one-sided direction's sign.
static float PerGain(const PidSettings& p, PidDirection direction, float value) {
    // Without gain the controller gives no output, so there is nothing to carry.
    float v = p.gain >= kMinGain ? value / p.gain : 0.0f;
    if (direction == kPositiveOnly) v = std::fabs(v);
    if (direction == kNegativeOnly) v = -std::fabs(v);
    return Limit1(v);
}

// The shaped error of x: 0 within the dead band, then linear through the corner to the corner's
// y and on to -1 or +1 at the limit. False when the controller gives no output on that side.
static bool ShapedError(const PidSettings& p, float x, float* y) {
    float h = std::fabs(p.deadBand);
    float sp = p.setPoint;
    if (x >= sp - h && x <= sp + h) {
        *y = 0.0f;
        return true;
    }
    if (x > sp + h) {
        if (p.upperLimit <= sp + h) return false;
        if (x <= p.upperCornerX) {
            float span = p.upperCornerX - sp - h;
            *y = std::fabs(span) < kMinSpan ? 0.0f : (x - sp - h) * p.upperCornerY / span;
        } else {
            float span = p.upperCornerX - p.upperLimit;
            *y = std::fabs(span) < kMinSpan ? -1.0f : (x - p.upperLimit) * (p.upperCornerY + 1.0f) / span - 1.0f;
        }
    } else {
        if (sp - h <= p.lowerLimit) return false;
        if (x >= p.lowerCornerX) {
            float span = p.lowerCornerX - sp + h;
            *y = std::fabs(span) < kMinSpan ? 0.0f : (x - sp + h) * p.lowerCornerY / span;
        } else {
            float span = p.lowerCornerX - p.lowerLimit;
            *y = std::fabs(span) < kMinSpan ? 1.0f : (x - p.lowerLimit) * (p.lowerCornerY - 1.0f) / span + 1.0f;
        }
    }
    *y = Limit1(*y);
    return true;
}

// The automatic output from the shaped error y, with the integral and the trend of the history.
static float AutomaticOutput(const PidSettings& p, PidDirection direction, float y) {
    FilterRecord* history = &g_ControllerFilter;
    float tr = p.resetTime * 60.0f;
    if (s_FreshStart) {
        Filter_Reset(history);
        s_FreshStart = 0;
        s_Integral = tr * (s_Preload - y);
    }
    Filter_Push(history, y, 0.0f, 0);
    uint32_t n = Filter_GetCount(history);
    float integral;
    float trend;
    if (n < kFullHistory) {
        // A young history: the integral is its base plus the newest n - 1 values.
        integral = s_Integral;
        for (uint32_t k = 0; k + 1 < n; ++k) {
            uint32_t status = 0;
            integral += Filter_GetPrevious(history, k, &status);
        }
        trend = Filter_GetTrend(history, n);
    } else {
        integral = s_Integral + y;
        trend = Filter_GetTrend(history, kFullHistory);
    }
    bool integrating = std::fabs(p.resetTime) >= kMinResetTime;
    float u = p.rateTime * 60.0f * trend + y;
    if (integrating) {
        u += integral / tr;
    } else {
        integral = 0.0f;
    }
    float output = p.gain * u;
    // Anti-windup: the integral moves on only while the output is not saturated and acts.
    if (!integrating) {
        s_Integral = 0.0f;
    } else if (std::fabs(output) < 1.0f && (p.bothRelays || SignSuits(direction, output))) {
        s_Integral = integral;
    }
    return output;
}

// The output into pulses: outside the dead band on the relay of its sign, inside it none.
static void DrivePulses(const PidSettings& p, float output) {
    uint8_t relay;
    if (output > kPulseDeadBand) {
        relay = p.relayPositive;
    } else if (output < -kPulseDeadBand) {
        relay = p.relayNegative;
    } else {
        s_Output = 0.0f;
        Pid_LockPulses();
        Pid_StopPulses();
        Pid_UnlockPulses();
        return;
    }
    s_Output = output;
    float magnitude = std::fabs(output);
    Pid_LockPulses();
    Pid_SetRequestedRelay(relay);
    if (p.pulseType == kPidPulseLength) {
        Pid_SetPulseDuty(magnitude);
    } else {
        Pid_SetPulseFrequency(magnitude * p.pulseFrequency / 60.0f);
    }
    Pid_UnlockPulses();
}

void Pid_Step(float x, uint32_t status) {
    if (!s_Active.load(std::memory_order_relaxed)) return;
    const PidSettings& p = g_PidDefaults;
    FilterRecord* history = &g_ControllerFilter;
    if (status != 0) Filter_Reset(history);
    if (p.relayPositive >= kRelayNone && p.relayNegative >= kRelayNone) {
        s_Output = 0.0f;
        s_Integral = 0.0f;
        Filter_Reset(history);
        return;
    }
    PidDirection direction = Direction(p);
    if (s_Held) {
        if (!s_KeepControlling) {
            Pid_ApplyHold();
            s_Integral = 0.0f;
            Filter_Reset(history);
            return;
        }
        // The output stays; the history follows it so that the return from the hold is smooth.
        Filter_Push(history, PerGain(p, direction, s_Output), 0.0f, 0);
        return;
    }
    bool automatic = p.mode == kPidAutomatic;
    float output = 0.0f;
    if (!automatic) {
        output = s_Manual;
        s_Preload = PerGain(p, direction, s_Manual);
    } else {
        float y = 0.0f;
        if (ShapedError(p, x, &y) && p.gain >= kMinGain) output = AutomaticOutput(p, direction, y);
    }
    output = Limit1(output);
    if (automatic && !SignSuits(direction, output)) output = 0.0f;
    DrivePulses(p, output);
}

// ---- Activation and hold ------------------------------------------------------------------------------

void Pid_ActivateOnce() {
    if (s_Active.load(std::memory_order_relaxed)) return;
    s_Active.store(1, std::memory_order_relaxed);
    s_Output = 0.0f;
    s_Integral = 0.0f;
    Filter_Reset(&g_ControllerFilter);
}

void Pid_Deactivate() {
    if (!s_Active.load(std::memory_order_relaxed)) return;
    s_Active.store(0, std::memory_order_relaxed);
    // No relay is left on in the middle of a pulse.
    Pid_RequestPulseStop(0);
}

void Pid_Suspend() {
    if (!s_Active.load(std::memory_order_relaxed)) return;
    s_Active.store(0, std::memory_order_relaxed);
    Pid_RequestPulsesIdle();
}

void Pid_ApplyHold() {
    uint8_t behaviour = g_PidHoldBytes[0];
    if (behaviour == kPidHoldKeepControlling) {
        s_KeepControlling = 1;
        return;
    }
    s_KeepControlling = 0;
    if (behaviour == kPidHoldZero) {
        s_Output = 0.0f;
        s_Manual = 0.0f;
    } else {
        s_Manual = s_Output;
    }
    Pid_InitPulseOutputs(behaviour == kPidHoldZero ? 1 : 0);
}

void Pid_EnterHold() {
    s_Held = 1;
    Pid_ApplyHold();
}

void Pid_LeaveHold() {
    Pid_ReleasePulseHold();
    s_Held = 0;
}

// ---- Values for the screens -------------------------------------------------------------------------

float Pid_GetOutput() { return Limit1(s_Output); }
void Pid_SetManualOutput(float value) { s_Manual = Limit1(value); }
float Pid_GetManualOutput() { return s_Manual; }
uint32_t Pid_IsHeld() { return s_Held; }
uint32_t Pid_IsActive() { return s_Active.load(std::memory_order_relaxed); }
uint32_t Pid_IsManual() { return g_PidDefaults.mode == kPidManual ? 1 : 0; }

uint32_t Pid_GetOutputDirection() {
    const PidSettings& p = g_PidDefaults;
    bool positive = p.relayPositive < kRelayNone;
    bool negative = p.relayNegative < kRelayNone;
    if (positive != negative) return kPidDirectionNone;
    float v = p.mode == kPidManual && !s_Held ? s_Manual : s_Output;
    if (std::fabs(v) < kPulseDeadBand) return kPidDirectionNone;
    return v >= 0.0f ? kPidDirectionPositive : kPidDirectionNegative;
}

void Pid_ScaleToUnitRange(float lo, float hi, float v, float* result, uint32_t reversed) {
    float span = hi - lo;
    if (Util_IsNearZero(span)) {
        *result = reversed ? -1.0f : 1.0f;
        return;
    }
    float r = (reversed ? -1.0f : 1.0f) * (v - lo) / span;
    if (!reversed && r < 0.0f) r = 0.0f;
    if (reversed && r >= 0.0f) r = 0.0f;
    *result = r;
}

uint8_t Pid_GetSourceSlot() { return g_PidDefaults.source; }
float Pid_GetSubstituteValue() { return g_PidDefaults.setPoint; }

uint8_t Pid_GetPulseRelay(uint32_t output) {
    if (output == 0) return g_PidDefaults.relayPositive;
    if (output == 1) return g_PidDefaults.relayNegative;
    return kRelayNone;
}

uint8_t Pid_GetOutputType() { return g_PidDefaults.source < kPidSourceOff ? g_PidDefaults.pulseType : kPidOutputNone; }

void Pid_DrawOutputLine(uint32_t mode, float percent) {
    Lcd_ClearSpan(kRowMessage, 0, kLcdColumns);
    uint32_t column = 6 * Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextPidOutputModes, mode ? 1 : 0));
    column += 6;
    float magnitude = std::fabs(percent);
    char text[kNumberTextMax + 2];
    uint32_t n = Util_FloatToText(magnitude, 255, magnitude < 99.95f ? 1 : 0, text);
    text[n] = '%';
    text[n + 1] = '\0';
    column += 6 * Lcd_DrawText(kRowMessage, column, text);
    uint8_t line = g_PidDefaults.source;
    uint8_t kind = line < kPidSourceOff ? Meas_GetSlotUnit(line) : 0;
    uint32_t direction = Pid_GetOutputDirection();
    if ((kind == kLineKindPh || kind == kLineKindPhB) && direction != kPidDirectionNone) {
        // Two pixel columns apart; one where the language's words are long.
        uint32_t gap = g_Language == 4 || g_Language == 5 ? 1 : 2;
        Lcd_DrawTextRef(kRowMessage, column + gap, Text_Nth(kTextPidDirections, direction));
    }
}
