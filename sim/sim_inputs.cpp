// Simulated input store. Float values travel as their bit patterns in 32-bit atomics, so a
// reader on another thread always sees a value that was written whole.
#include "sim/sim_inputs.h"

#include <bit>

std::atomic<uint32_t> g_SimInputs[kSimQuantities][2];

static constexpr float kElectrodeLimitV = 2.5f;
static constexpr float kAnalogInputMaxMa = 23.0f;

static bool Kept(uint32_t channel, uint32_t q) { return channel < 2 && q < kSimQuantities && q != kSimUnused; }

static float Load(uint32_t channel, uint32_t q) {
    return std::bit_cast<float>(g_SimInputs[q][channel].load(std::memory_order_relaxed));
}

static void Store(uint32_t channel, uint32_t q, float value) {
    g_SimInputs[q][channel].store(std::bit_cast<uint32_t>(value), std::memory_order_relaxed);
}

static float Limit(float value, float low, float high) {
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

float Panel_GetSimInput(uint32_t channel, uint32_t q) { return Kept(channel, q) ? Load(channel, q) : 0.0f; }

void Panel_SetSimInput(uint32_t channel, uint32_t q, float value) {
    if (!Kept(channel, q)) return;
    if (q == kSimElectrodeVolts) {
        value = Limit(value / 1000.0f, -kElectrodeLimitV, kElectrodeLimitV);
    } else if (q == kSimAnalogInput) {
        value = Limit(value, 0.0f, kAnalogInputMaxMa);
    }
    Store(channel, q, value);
}

uint32_t Panel_StepSimInput(uint32_t channel, uint32_t q, float step) {
    if (!Kept(channel, q)) return 0;
    if (q == kSimElectrodeVolts) step /= 1000.0f;
    float value = Load(channel, q) + step;
    Store(channel, q, value);
    if (q == kSimElectrodeVolts) return value < -kElectrodeLimitV || value > kElectrodeLimitV ? 1 : 0;
    if (q == kSimAnalogInput) return value < 0.0f || value > kAnalogInputMaxMa ? 1 : 0;
    return 0;
}

void Panel_ResetSimInputs() {
    for (auto& quantity : g_SimInputs) {
        for (std::atomic<uint32_t>& value : quantity)
            value.store(std::bit_cast<uint32_t>(0.0f), std::memory_order_relaxed);
    }
}
