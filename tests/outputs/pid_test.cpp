// The PID controller in virtual time: pulse periods and the on and off ticks of a relay in both
// pulse modes, one-sided controllers, the step response against the controller's equations, the
// return from manual without a bump, hold, switching off in the middle of a pulse, the output
// line, and the settings block in the store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/settings.h"
#include "core/timers.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "outputs/pid.h"
#include "outputs/pid_pulse.h"
#include "outputs/relays.h"
#include "rig.h"

namespace {
constexpr uint8_t kLinePh = 13;
constexpr uint8_t kLineConductivity = 1;

void Boot() {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
    g_CurrentChannel = 0;
    g_RelaySettings.sense[1] = kRelayNormallyOpen;
}

void Show(float value, uint8_t kind = kLinePh, uint32_t status = 0) {
    g_SlotUnit[0] = g_SlotPendingUnit[0] = kind;
    g_SlotChannel[0] = g_SlotPendingChannel[0] = 0;
    g_SlotValues[0].value = value;
    g_SlotValues[0].status = status;
}

// An automatic controller on line a with the factory curve (set point 7, limits 0 and 14,
// corners (0, 1) and (14, -1)), committed as the pages commit it.
void Configure(uint8_t positive, uint8_t negative, uint8_t type = kPidPulseLength, float gain = 1.0f,
               float resetTime = 0.0f, float rateTime = 0.0f) {
    PidSettings& p = g_PidSettings;
    p.mode = kPidAutomatic;
    p.source = 0;
    p.relayPositive = positive;
    p.relayNegative = negative;
    p.pulseType = type;
    p.gain = gain;
    p.resetTime = resetTime;
    p.rateTime = rateTime;
    uint32_t status = 0;
    Pid_SaveSettings(&status);
}

bool Closed(uint32_t relay) { return ((g_RelayBits.load() >> relay) & 1u) != 0; }

// Ticks a relay stays in its present contact state, at most `limit`.
uint32_t TicksUntilChange(uint32_t relay, uint32_t limit) {
    bool state = Closed(relay);
    uint32_t ticks = 0;
    while (Closed(relay) == state && ticks < limit) {
        Rig_AdvanceMs(20);
        ++ticks;
    }
    return ticks;
}

// Waits until the relay has just closed (at most 30 s).
bool WaitForClosing(uint32_t relay) {
    for (uint32_t t = 0; t < 1500; ++t) {
        bool before = Closed(relay);
        Rig_AdvanceMs(20);
        if (!before && Closed(relay)) return true;
    }
    return false;
}

// The controller's equations, computed apart: the shaped error's history, its trend (the mean of
// the newest k values, at most 5, less the mean of those one place older), the integral that
// sums the history while it holds fewer than seven values, and the anti-windup.
struct Reference {
    std::vector<double> history;
    double integral = 0.0;

    double Mean(size_t end, size_t k) const {
        double sum = 0.0;
        for (size_t i = end - k; i < end; ++i) sum += history[i];
        return sum / static_cast<double>(k);
    }
    double Trend(size_t k) const {
        size_t n = history.size();
        if (n < 2) return 0.0;
        k = std::min({k, n, size_t{5}});
        double newest = Mean(n, k);
        size_t older = k == n ? k - 1 : k;
        return older == 0 ? newest : newest - Mean(n - 1, older);
    }
    double Step(double y, double gain, double tr, double td) {
        history.push_back(y);
        size_t n = history.size();
        double i;
        double d;
        if (n < 7) {
            i = integral;
            for (size_t k = 1; k < n; ++k) i += history[k];
            d = Trend(n);
        } else {
            i = integral + y;
            d = Trend(7);
        }
        double out = gain * (td * 60.0 * d + i / (tr * 60.0) + y);
        if (std::fabs(out) < 1.0) integral = i;
        return std::clamp(out, -1.0, 1.0);
    }
};
}  // namespace

TEST(PidPulses, PeriodsAndTicksOfBothModes) {
    Pid_ResetPulseState();
    Pid_SetPulseFrequency(3.0f);  // 180 pulses a minute
    EXPECT_EQ(Pid_GetPulsePeriod(), 17u) << "50/17 = 2.94 is nearer 3 than 50/16 = 3.125";
    EXPECT_EQ(Pid_GetPulseOnTicks(), 12u);
    EXPECT_EQ(Pid_GetPulseOffTicks(), 5u);
    EXPECT_EQ(Pid_GetRequestedType(), kPidPulseFrequency);
    Pid_SetPulseFrequency(9.0f);
    EXPECT_EQ(Pid_GetPulsePeriod(), 14u) << "limited to 3.5 a second";
    Pid_SetPulseFrequency(0.009f);
    EXPECT_EQ(Pid_GetPulsePeriod(), 0u);
    EXPECT_EQ(Pid_GetPulseOnTicks(), 0u);
    Pid_SetPulseFrequency(0.01f);
    EXPECT_EQ(Pid_GetPulsePeriod(), 5000u);

    Pid_SetPulseLength(10.0f);
    EXPECT_EQ(Pid_GetPulsePeriod(), 500u);
    Pid_SetPulseDuty(0.25f);
    EXPECT_EQ(Pid_GetPulseOnTicks(), 125u);
    EXPECT_EQ(Pid_GetPulseOffTicks(), 375u);
    Pid_SetPulseDuty(0.0004f);
    EXPECT_EQ(Pid_GetPulseOnTicks(), 0u);
    Pid_SetPulseDuty(0.9996f);
    EXPECT_EQ(Pid_GetPulseOnTicks(), 500u);
    Pid_SetPulseLength(0.35f);
    EXPECT_EQ(Pid_GetPulsePeriod(), 50u) << "at least 1 s";
    Pid_SetPulseDuty(0.513f);
    EXPECT_EQ(Pid_GetPulseOnTicks(), 26u) << "25.65 rounds up";
    Pid_SetPulseLength(600.0f);
    EXPECT_EQ(Pid_GetPulsePeriod(), 30000u);
    Pid_SetPulseLength(900.0f);
    EXPECT_EQ(Pid_GetPulsePeriod(), 30000u) << "at most 600 s";
}

TEST(PidPulses, LengthModeDrivesAQuarterDutyOnTheRelay) {
    Boot();
    g_PidSettings.pulseLength = 10.0f;
    Configure(0, 1, kPidPulseLength);
    Show(5.25f);  // shaped error 0.25
    ASSERT_TRUE(WaitForClosing(0));
    EXPECT_NEAR(Pid_GetOutput(), 0.25f, 1e-6f);
    for (int cycle = 0; cycle < 2; ++cycle) {
        EXPECT_EQ(TicksUntilChange(0, 1000), 125u);
        EXPECT_EQ(TicksUntilChange(0, 1000), 375u);
    }
    EXPECT_FALSE(Closed(1)) << "the negative relay stays inactive";

    // A full output keeps the relay on; falling back to a quarter ends the on time within a period.
    Show(0.0f);
    Rig_AdvanceMs(12000);
    EXPECT_TRUE(Closed(0));
    EXPECT_EQ(TicksUntilChange(0, 1000), 1000u) << "on for the whole period";
    Show(5.25f);
    EXPECT_LT(TicksUntilChange(0, 1000), 1000u) << "a lower output is taken at the period's end";
    EXPECT_EQ(TicksUntilChange(0, 1000), 375u);
    EXPECT_EQ(TicksUntilChange(0, 1000), 125u);
}

TEST(PidPulses, FrequencyModeAtFullOutputPulsesEvery17Ticks) {
    Boot();
    g_PidSettings.pulseFrequency = 180.0f;
    Configure(0, 1, kPidPulseFrequency);
    Show(0.0f);  // the lower limit: shaped error 1
    ASSERT_TRUE(WaitForClosing(0));
    uint32_t closings = g_RelayClosings[0].load();
    for (int cycle = 0; cycle < 3; ++cycle) {
        EXPECT_EQ(TicksUntilChange(0, 100), 12u);
        EXPECT_EQ(TicksUntilChange(0, 100), 5u);
    }
    EXPECT_EQ(g_RelayClosings[0].load() - closings, 3u) << "each pulse counts for the panel";
    // Above the set point the negative relay takes over; the positive one rests.
    Show(14.0f);
    ASSERT_TRUE(WaitForClosing(1));
    EXPECT_FALSE(Closed(0));
    EXPECT_EQ(TicksUntilChange(1, 100), 12u);
    EXPECT_EQ(TicksUntilChange(1, 100), 5u);
    // Within the pulse dead band nothing pulses.
    Show(7.0f);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Pid_GetOutput(), 0.0f);
    EXPECT_EQ(TicksUntilChange(1, 300), 300u);
    EXPECT_FALSE(Closed(0));
    EXPECT_FALSE(Closed(1));
}

TEST(PidControl, OneSidedControllersActWithTheirRelaysSign) {
    Boot();
    // Only the positive relay: a value below the set point (positive output) pulses it...
    g_PidSettings.pulseFrequency = 180.0f;
    Configure(0, kRelayNone, kPidPulseFrequency);
    Show(3.5f);
    ASSERT_TRUE(WaitForClosing(0)) << "a one-relay controller pulses";
    EXPECT_NEAR(Pid_GetOutput(), 0.5f, 1e-6f);
    // ...a value above it gives no output.
    Show(10.5f);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Pid_GetOutput(), 0.0f);
    EXPECT_EQ(TicksUntilChange(0, 200), 200u);
    EXPECT_FALSE(Closed(0));

    // Only the negative relay: the other way round.
    Configure(kRelayNone, 1, kPidPulseFrequency);
    Show(10.5f);
    ASSERT_TRUE(WaitForClosing(1));
    EXPECT_NEAR(Pid_GetOutput(), -0.5f, 1e-6f);
    Show(3.5f);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Pid_GetOutput(), 0.0f);
    EXPECT_FALSE(Closed(1));
    EXPECT_FALSE(Closed(0));
}

TEST(PidControl, StepResponseFollowsTheControllersEquations) {
    Boot();
    const float gain = 0.5f, tr = 0.5f, td = 0.02f;
    Configure(0, 1, kPidPulseLength, gain, tr, td);
    Show(7.0f);
    Rig_AdvanceMs(3000);
    ASSERT_EQ(Pid_GetOutput(), 0.0f);
    // The controller starts afresh after the settings changed; its history holds the zeros since.
    Reference reference;
    Pid_Deactivate();
    Rig_AdvanceMs(1000);  // the next second activates it again and steps with the error 0
    reference.Step(0.0, gain, tr, td);
    Show(6.3f);  // shaped error 0.1
    std::vector<double> expected;
    std::vector<double> actual;
    for (int second = 0; second < 20; ++second) {
        Rig_AdvanceMs(1000);
        expected.push_back(reference.Step(0.1, gain, tr, td));
        actual.push_back(Pid_GetOutput());
    }
    for (size_t k = 0; k < expected.size(); ++k) EXPECT_NEAR(actual[k], expected[k], 1e-4) << "second " << k;
}

TEST(PidControl, GainAndResetTimeBounds) {
    Boot();
    Configure(0, 1, kPidPulseLength, 5e-5f);
    Show(3.5f);
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Pid_GetOutput(), 0.0f) << "a gain below 9e-5 gives no output";
    Configure(0, 1, kPidPulseLength, 0.0f);
    EXPECT_EQ(g_PidDefaults.gain, 0.0f) << "a gain of 0 is a gain";
    Rig_AdvanceMs(3000);
    EXPECT_EQ(Pid_GetOutput(), 0.0f);
    // A reset time below 0.009 min integrates nothing: the output stays at gain x error.
    Configure(0, 1, kPidPulseLength, 1.0f, 0.005f);
    for (int second = 0; second < 5; ++second) {
        Rig_AdvanceMs(1000);
        EXPECT_NEAR(Pid_GetOutput(), 0.5f, 1e-6f);
    }
}

TEST(PidControl, ReturnFromManualStartsFromTheManualOutput) {
    Boot();
    Configure(0, 1, kPidPulseLength, 1.0f, 1.0f);
    g_PidSettings.mode = kPidManual;
    uint32_t status = 0;
    Pid_SaveSettings(&status);
    Pid_SetManualOutput(0.3f);
    Show(6.3f);  // shaped error 0.1
    Rig_AdvanceMs(2000);
    EXPECT_NEAR(Pid_GetOutput(), 0.3f, 1e-6f) << "manual";
    EXPECT_TRUE(Pid_IsManual());

    g_PidSettings.mode = kPidAutomatic;
    Pid_SaveSettings(&status);
    Rig_AdvanceMs(1000);
    EXPECT_NEAR(Pid_GetOutput(), 0.3f, 1e-5f) << "the integral was preloaded: no bump";
    Rig_AdvanceMs(1000);
    // Then it integrates from there: 0.3 - 0.1 + (0.1 + 0.1) / 60 + 0.1 (young history).
    EXPECT_NEAR(Pid_GetOutput(), 0.3f + 0.1f / 60.0f, 1e-4f);
}

TEST(PidControl, HoldZeroReleasesTheRelayAndKeepControllingPulsesOn) {
    Boot();
    g_PidSettings.pulseFrequency = 180.0f;
    Configure(0, 1, kPidPulseFrequency);
    Show(0.0f);
    ASSERT_TRUE(WaitForClosing(0));
    g_HoldOnChange = 1;  // the configuration holds the outputs
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Pid_IsHeld());
    EXPECT_EQ(Pid_GetOutput(), 0.0f);
    EXPECT_EQ(TicksUntilChange(0, 200), 200u);
    EXPECT_FALSE(Closed(0)) << "held at rest";
    g_HoldOnChange = 0;
    ASSERT_TRUE(WaitForClosing(0)) << "pulses again after the hold";

    g_PidHoldBytes[0] = kPidHoldKeepControlling;
    g_HoldOnChange = 1;
    Rig_AdvanceMs(1000);
    EXPECT_TRUE(Pid_IsHeld());
    EXPECT_TRUE(WaitForClosing(0)) << "keeps pulsing while held";
    EXPECT_NEAR(Pid_GetOutput(), 1.0f, 1e-6f);
}

TEST(PidControl, SwitchingOffInTheMiddleOfAPulseReleasesTheRelay) {
    Boot();
    g_PidSettings.pulseLength = 10.0f;
    Configure(0, 1, kPidPulseLength);
    Show(5.25f);
    ASSERT_TRUE(WaitForClosing(0));
    Rig_AdvanceMs(500);
    ASSERT_TRUE(Closed(0));
    // Source off, as a page commits it: the relay lets go and the pulse timer stops.
    g_PidSettings.source = kPidSourceOff;
    uint32_t status = 0;
    Pid_SaveSettings(&status);
    Rig_AdvanceMs(40);
    EXPECT_FALSE(Closed(0));
    EXPECT_FALSE(Timer_IsActive(kTimerPid));
    Rig_AdvanceMs(15000);
    EXPECT_FALSE(Closed(0));
    EXPECT_EQ(Pid_GetOutputType(), kPidOutputNone);

    // Deactivated while its timer runs: released as well.
    Configure(0, 1, kPidPulseLength);
    ASSERT_TRUE(WaitForClosing(0));
    Pid_Deactivate();
    Rig_AdvanceMs(20);
    EXPECT_FALSE(Closed(0));
    EXPECT_EQ(Pid_GetRelayInUse(), kRelayNone);
}

TEST(PidControl, OutputLineOnTheMeasurementScreen) {
    Boot();
    g_PidSettings.pulseLength = 10.0f;
    Configure(0, 1, kPidPulseLength);
    // The screen draws before the step of the same second: each change shows a second later.
    Show(5.25f);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Settings_PidMayRun(), 1u);
    // The direction word stands two dots after the percent sign.
    EXPECT_EQ(Rig_RowText(12), "Auto Ctrl Out 25.0%base");
    Show(14.0f);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Rig_RowText(12), "Auto Ctrl Out 100%acid");
    // Not a pH line: no direction word; one relay: no direction either.
    Show(5.25f, kLineConductivity);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Rig_RowText(12), "Auto Ctrl Out 25.0%");
    Configure(0, kRelayNone, kPidPulseLength);
    Show(5.25f);
    Rig_AdvanceMs(2000);
    EXPECT_EQ(Pid_GetOutputDirection(), kPidDirectionNone);
    EXPECT_EQ(Rig_RowText(12), "Auto Ctrl Out 25.0%");
    g_PidSettings.displayChoice = kPidDisplayNo;
    EXPECT_EQ(Settings_PidMayRun(), 0u);

    float r = 0.0f;
    Pid_ScaleToUnitRange(7.0f, 0.0f, 3.5f, &r, 0);
    EXPECT_FLOAT_EQ(r, 0.5f);
    Pid_ScaleToUnitRange(7.0f, 14.0f, 10.5f, &r, 1);
    EXPECT_FLOAT_EQ(r, -0.5f);
    Pid_ScaleToUnitRange(7.0f, 14.0f, 3.0f, &r, 1);
    EXPECT_EQ(r, 0.0f) << "the wrong side of 0";
    Pid_ScaleToUnitRange(7.0f, 7.0f, 3.0f, &r, 1);
    EXPECT_EQ(r, -1.0f);
}

TEST(PidSettingsStore, FactoryBlockAndEveryStoredValueByItsRule) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    std::vector<uint8_t> b = Rig_StoreBytes();
    ASSERT_EQ(b.size(), 4096u);
    auto floatAt = [&b](uint32_t offset) {
        float v;
        std::memcpy(&v, &b[offset], 4);
        return v;
    };
    EXPECT_EQ(std::vector<uint8_t>(b.begin() + 1537, b.begin() + 1549),
              (std::vector<uint8_t>{1, 4, 0, 0, 0, 0, 1, 1, 2, 2, 2, 2}));
    const float factory[13] = {1.0f, 1.0f, 1.0f, 0.0f, 0.0f, 7.0f, 0.0f, 0.0f, 14.0f, 0.0f, 1.0f, 14.0f, -1.0f};
    for (uint32_t i = 0; i < 13; ++i) EXPECT_EQ(floatAt(1549 + 4 * i), factory[i]) << "float " << i;
    EXPECT_EQ(b[1601], 1);
    EXPECT_EQ(b[2030], 0);
    EXPECT_EQ(b[2031], 0);
    EXPECT_EQ(floatAt(2032), 4.0f);

    auto put = [&b](uint32_t index, float value) { std::memcpy(&b[1549 + 4 * index], &value, 4); };
    const uint8_t bytes[12] = {7, 0, 5, 4, 9, 3, 0x33, 0x44, 7, 1, 0x55, 0x66};
    std::memcpy(&b[1537], bytes, 12);
    put(0, 700.0f);                                   // pulse length
    put(1, 200.0f);                                   // pulse frequency
    put(2, 25.0f);                                    // gain
    put(3, -1.0f);                                    // reset time
    put(4, 10000.0f);                                 // rate time
    put(5, std::numeric_limits<float>::quiet_NaN());  // set point
    put(6, -0.5f);                                    // dead band
    put(7, 2.0f);                                     // lower limit
    put(8, 12.0f);                                    // upper limit
    put(9, 6.8f);                                     // lower corner x: above set point - dead band
    put(11, 11.0f);                                   // upper corner x: within its span
    b[2030] = 5;
    b[2031] = 1;
    Rig_WriteStoreBytes(b);
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    const PidSettings& p = g_PidDefaults;
    EXPECT_EQ(p.mode, kPidManual);
    EXPECT_EQ(p.source, 0);
    EXPECT_EQ(p.displayChoice, 0);
    EXPECT_EQ(p.spareOption, 0);
    EXPECT_EQ(p.reserved, 0);
    EXPECT_EQ(p.pulseType, kPidPulseFrequency);
    EXPECT_EQ(p.spareA[0], 0x33) << "kept as stored";
    EXPECT_EQ(p.spareB[1], 0x66);
    EXPECT_EQ(p.relayPositive, kRelayNone);
    EXPECT_EQ(p.relayNegative, 1);
    EXPECT_EQ(p.bothRelays, 0);
    EXPECT_EQ(p.pulseLength, 1.0f);
    EXPECT_EQ(p.pulseFrequency, 1.0f);
    EXPECT_EQ(p.gain, 1.0f);
    EXPECT_EQ(p.resetTime, 0.0f);
    EXPECT_EQ(p.rateTime, 0.0f);
    EXPECT_EQ(p.setPoint, 7.0f) << "a corrupted set point takes its factory value";
    EXPECT_EQ(p.deadBand, 0.5f);
    EXPECT_EQ(p.lowerCornerX, 2.0f) << "the lower limit";
    EXPECT_EQ(p.upperCornerX, 11.0f);
    EXPECT_EQ(g_PidHoldBytes[0], 0);
    EXPECT_EQ(g_PidHoldBytes[1], 1);
    EXPECT_TRUE(Timer_IsActive(kTimerPid)) << "a controller on a line runs its pulse timer";

    // Lengths up to 600 s are lengths; a zero gain is a gain.
    put(0, 120.0f);
    put(2, 0.0f);
    put(9, 8.5f);   // lower corner x above the set point
    put(11, 6.0f);  // upper corner x below it
    b[1537 + 5] = kPidPulseLength;
    Rig_WriteStoreBytes(b);
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    EXPECT_EQ(g_PidDefaults.pulseLength, 120.0f);
    EXPECT_EQ(Pid_GetPulsePeriod(), 6000u);
    EXPECT_EQ(g_PidDefaults.gain, 0.0f);
    EXPECT_EQ(g_PidDefaults.lowerCornerX, 2.0f);
    EXPECT_EQ(g_PidDefaults.upperCornerX, 12.0f);
}
