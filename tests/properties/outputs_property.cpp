// Outputs stay in range: whatever a channel is set up for by keys (channel A's kind on "Channel
// Setup" or "Quick Setup", a digital sensor taken over on channel B, any measurement, resolution
// and display order of the lines), each output's page shows the default range of its line's
// quantity in the line's unit (or the range typed on it), and a reading drives the output by that
// range, before and after a restart: 4 to 20 mA inside it, 3.8 or 20.5 mA only past its ends or for
// an unusable reading, 3.6 or 22 mA only for an alarm the output is set to show.
#include <cmath>
#include <cstdlib>
#include <string>

#include "channel_setup_walk.h"
#include "digital_sensor/sens_diag.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/hold.h"
#include "property_support.h"
#include "settings/settings_work.h"

using namespace ui_test;

namespace {

struct OutputCase {
    uint8_t channel;  // 0: an analog kind on channel A; 1: a model on channel B
    uint8_t setup;    // index into walk::kAnalogKinds or walk::kModels
    uint8_t unitSteps[2];
    uint8_t resolutionSteps[2];
    uint8_t alarm[2];  // 0 the alarm off, 1 on at 3.6 mA, 2 on at 22.0 mA
    uint8_t shown[4];  // the measurement line each display line shows, counted on from its own
    bool restart;      // the program started again after the checks, and they are made again
    bool quick;        // channel A set up by "Quick Setup", output 1's range typed in the same visit
    uint8_t typed[2];  // the typed range ends, in percent of the default range
    bool cause;        // an alarm cause stands on the shown channel
    uint8_t input;     // where the primary input lies in its span, 0 to 100
    uint8_t celsius;   // the process temperature
};

void showValue(const OutputCase& c, std::ostream& os) {
    os << "{channel " << int(c.channel) << ", "
       << (c.channel == 0 ? "kind " + std::to_string(walk::kAnalogKinds[c.setup]) : walk::kModels[c.setup].name)
       << ", unit steps " << int(c.unitSteps[0]) << "/" << int(c.unitSteps[1]) << ", resolution steps "
       << int(c.resolutionSteps[0]) << "/" << int(c.resolutionSteps[1]) << ", alarm " << int(c.alarm[0]) << "/"
       << int(c.alarm[1]) << ", display lines shifted " << int(c.shown[0]) << int(c.shown[1]) << int(c.shown[2])
       << int(c.shown[3]) << (c.restart ? ", a restart" : "")
       << (c.quick ? ", Quick Setup typing " + std::to_string(c.typed[0]) + "/" + std::to_string(c.typed[1]) + " %"
                   : "")
       << (c.cause ? ", an alarm cause" : "") << ", input " << int(c.input) << " %, " << int(c.celsius) << " C}";
}

// The range an output takes when its line gets a new quantity, in the line's base unit: a few
// quantities have their own, the others the measuring range of the line's unit and prefix (its
// limit row, the first row where it has none); each end held within what the unit measures and
// the page shows in five characters.
struct Range {
    float at4mA;
    float at20mA;
};
Range UnitSpan(uint8_t code, uint8_t prefix) {
    float factor = Fmt_PrefixFactor(prefix);
    Range span{-9999.0f / factor, 99999.0f / factor};
    uint32_t row = Fmt_FindLimitRow(code, prefix);
    if (row < kUnitLimitRows) {
        span.at4mA = std::fmax(span.at4mA, g_UnitLimitTable[row].lower / factor);
        span.at20mA = std::fmin(span.at20mA, g_UnitLimitTable[row].upper / factor);
    }
    return span;
}
bool Fits(const Range& r, const Range& span) {
    return r.at4mA >= span.at4mA && r.at4mA <= span.at20mA && r.at20mA >= span.at4mA && r.at20mA <= span.at20mA;
}
Range DefaultRange(uint8_t code, uint8_t prefix) {
    static const struct {
        uint8_t code;
        Range range;
    } kOwn[] = {{0, {1e7f, 2e7f}},     {1, {0.0f, 0.5f}},     {9, {0.0f, 1000.0f}},  {10, {0.0f, 1000.0f}},
                {21, {0.0f, 1000.0f}}, {33, {0.0f, 1000.0f}}, {34, {0.0f, 1000.0f}}, {35, {0.0f, 1000.0f}},
                {36, {0.0f, 1000.0f}}, {37, {0.0f, 1000.0f}}, {38, {0.0f, 1000.0f}}, {13, {2.0f, 12.0f}},
                {14, {0.0f, 1.5f}},    {15, {0.0f, 1.5f}},    {24, {0.0f, 1.5f}},    {23, {0.0f, 0.0015f}}};
    uint32_t row = Fmt_FindLimitRow(code, prefix);
    float factor = Fmt_PrefixFactor(prefix);
    const UnitLimitRow& limits = g_UnitLimitTable[row < kUnitLimitRows ? row : 0];
    Range r{limits.lower / factor, limits.upper / factor};
    for (const auto& own : kOwn) {
        if (own.code == code) r = own.range;
    }
    Range span = UnitSpan(code, prefix);
    return {std::fmin(std::fmax(r.at4mA, span.at4mA), span.at20mA),
            std::fmin(std::fmax(r.at20mA, span.at4mA), span.at20mA)};
}

// A number of a page row after "=", and the size of its last shown digit.
bool ShownNumber(const std::string& row, float* value, float* digit) {
    size_t at = row.find('=');
    if (at == std::string::npos) return false;
    const char* start = row.c_str() + at + 1;
    char* end = nullptr;
    *value = std::strtof(start, &end);
    if (end == start) return false;
    std::string text(start, static_cast<size_t>(end - start));
    size_t point = text.find('.');
    *digit = point == std::string::npos ? 1.0f : std::pow(10.0f, -static_cast<float>(text.size() - point - 1));
    return true;
}

// The primary input of the channel's sensor at a point of a span where most readings lie within
// the default range; the temperature on the channel's own input.
void SetInputs(const OutputCase& c) {
    uint8_t kind = c.channel == 0 ? walk::kAnalogKinds[c.setup] : walk::kModels[c.setup].code;
    float p = c.input / 100.0f;
    uint32_t ch = c.channel;
    switch (kind) {
        case 1:
        case 2:
        case 10:
            Panel_SetSimInput(ch, kSimElectrodeVolts, -450.0f + 900.0f * p);  // mV
            break;
        case 3:
        case 4:
            Panel_SetSimInput(ch, kSimCondSignal, std::pow(10.0f, 1.0f + 5.0f * p));
            break;
        case 9:
            Panel_SetSimInput(ch, kSimPrimaryKind9, 300.0f * p);
            break;
        default:
            Panel_SetSimInput(ch, kSimSensorCurrent, -200.0f * p);
            break;
    }
    float t = c.celsius;
    if (ch == 0) {
        // The Pt1000 element of channel A.
        Panel_SetSimInput(0, kSimElementOhm, 1000.0f * (1.0f + 3.9083e-3f * t - 5.775e-7f * t * t));
    } else {
        Panel_SetSimInput(1, kSimTemperatureB, t);
    }
}

// Configure, "Analog Outputs": the output chosen, its alarm set as the case says, its range page
// read; ENTER through the pages that follow and "Save Changes".
void SetAlarmAndReadRange(uint32_t output, uint8_t alarm, std::string* rows) {
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Analog Outputs"));
    ASSERT_EQ(Row(11).substr(0, 6), "Aout 1");
    if (output == 1) Press(kKeyUp);
    ASSERT_EQ(Row(12).substr(0, 6), output == 0 ? "Aout 1" : "Aout 2") << "the range row names the output";
    Press(kKeyEnter);
    ASSERT_EQ(Row(11).substr(0, 13), output == 0 ? "Aout 1 Alarm " : "Aout 2 Alarm ");
    Press(kKeyCal);
    if (alarm != 0) Press(kKeyUp);
    Press(kKeyCal);
    if (alarm == 1) Press(kKeyUp);
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    rows[0] = Row(11);
    rows[1] = Row(12);
    EnterAndSave();
}

// What the outputs' ranges should be: each save that gives an output's line another quantity
// (or channel) brings that quantity's default range in the line's unit; otherwise the range stays.
struct Expected {
    uint8_t code[kAoutCount];
    uint8_t prefix[kAoutCount];
    uint8_t channel[kAoutCount];
    Range range[kAoutCount];
};
Expected Now() {
    Expected e{};
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        e.code[i] = g_MeasLines.kind[i];
        e.prefix[i] = g_MeasLines.prefix[i];
        e.channel[i] = g_MeasLines.channel[i];
        e.range[i] = {g_AoutSettings.valueAt4mA[i], g_AoutSettings.valueAt20mA[i]};
    }
    return e;
}
// A new unit prefix alone keeps a range its unit can show.
void Saved(Expected* e) {
    for (uint32_t i = 0; i < kAoutCount; ++i) {
        uint8_t code = g_MeasLines.kind[i], prefix = g_MeasLines.prefix[i];
        bool fits = Fits(e->range[i], UnitSpan(code, prefix));
        if (code == e->code[i] && g_MeasLines.channel[i] == e->channel[i] && (prefix == e->prefix[i] || fits)) {
            e->prefix[i] = prefix;
            continue;
        }
        e->code[i] = code;
        e->prefix[i] = prefix;
        e->channel[i] = g_MeasLines.channel[i];
        e->range[i] = DefaultRange(code, prefix);
    }
}

// Once no cleaning holds them, each output's current for the case's reading, by the range its
// page showed; 3.6 or 22 mA only for an alarm the output is set to show.
void CheckCurrents(const OutputCase& c, const std::string (&rows)[2][2], const Expected& expected) {
    // A cleaning started by the saves holds the outputs for a while.
    for (int i = 0; i < 60 && g_OutputHold != 0; ++i) Rig_AdvanceMs(1000);
    ASSERT_EQ(g_OutputHold, 0u);
    float before[kAoutCount] = {Aout_GetShownCurrent(0), Aout_GetShownCurrent(1)};
    SetInputs(c);
    walk::Settle(0);
    walk::Settle(1);
    Rig_AdvanceMs(3000);
    if (g_OutputHold != 0) {
        // An optical sensor due for calibration at this temperature holds the outputs at once:
        // each keeps its last current.
        EXPECT_EQ(Aout_GetShownCurrent(0), before[0]);
        EXPECT_EQ(Aout_GetShownCurrent(1), before[1]);
        return;
    }

    uint32_t shown = Chan_GetCurrentChannel();
    if (c.cause) {
        // As a sensor fault would raise it; what the outputs do about it is what counts here.
        Alarm_SetCause(kAlarmCauseWrongSensor, shown);
        Rig_AdvanceMs(2000);
    }
    bool alarm = Alarm_GetCauses(shown) != 0;
    for (uint8_t request : g_ChanOcAlarm) alarm = alarm || (shown == 1 && request != 0);
    for (uint32_t output = 0; output < kAoutCount; ++output) {
        SCOPED_TRACE("output " + std::to_string(output + 1) + ": \"" + rows[output][0] + "\" \"" + rows[output][1] +
                     "\"");
        uint8_t prefix = g_MeasLines.prefix[output];
        float factor = prefix == kPrefixNone || prefix == kPrefixUnits ? 1.0f : Fmt_PrefixFactor(prefix);
        const Range& range = expected.range[output];
        float low = 0, high = 0, lowDigit = 0, highDigit = 0;
        ASSERT_TRUE(ShownNumber(rows[output][0], &low, &lowDigit));
        ASSERT_TRUE(ShownNumber(rows[output][1], &high, &highDigit));
        EXPECT_NEAR(low, range.at4mA * factor, lowDigit / 2 + std::fabs(low) * 1e-5f) << "the line's own range";
        EXPECT_NEAR(high, range.at20mA * factor, highDigit / 2 + std::fabs(high) * 1e-5f) << "the line's own range";

        uint32_t status = 0;
        float x = Meas_GetSlotValue(output, &status) * factor;
        float mA = Aout_GetShownCurrent(output);
        SCOPED_TRACE("reading " + std::to_string(x) + " status " + std::to_string(status));
        RC_TAG(output, alarm && c.alarm[output] != 0                               ? "alarm"
                       : status != 0                                               ? "status"
                       : (x >= range.at4mA * factor && x <= range.at20mA * factor) ? "in"
                                                                                   : "out");
        if (alarm && c.alarm[output] != 0) {
            EXPECT_FLOAT_EQ(mA, c.alarm[output] == 1 ? 3.6f : 22.0f);
        } else if (status == kStatusUnder) {
            EXPECT_FLOAT_EQ(mA, 3.8f);
        } else if (status != 0) {
            EXPECT_FLOAT_EQ(mA, 20.5f);
        } else {
            // By the range as shown: the shown ends are the stored ones after ENTER on the page.
            float want = (x - low) / (high - low) * 16.0f + 4.0f;
            want = want < 3.8f ? 3.8f : (want > 20.5f ? 20.5f : want);
            if (!(std::fabs(high - low) / factor >= 1e-10f)) want = 20.5f;  // no span
            EXPECT_NEAR(mA, want, 0.002f);
            if (x >= range.at4mA * factor && x <= range.at20mA * factor) {
                EXPECT_GE(mA, 3.999f) << "a reading within the quantity's range";
                EXPECT_LE(mA, 20.001f) << "a reading within the quantity's range";
            }
        }
    }
}

// "Quick Setup": channel A's kind on "Channel Setup", then output 1's range typed on its page in
// the same visit (its ends at fractions of the default range) and "Save Changes": the typed range
// is what the output keeps.
void QuickSetup(const OutputCase& c, Expected* e) {
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Quick Setup"));
    Press(kKeyEnter);
    Press(kKeyCal);
    Step(walk::kAnalogKinds[c.setup] - walk::kAnalogKinds[0]);
    // On through the pages that follow (a conductivity kind's compensation first) to the range.
    for (int i = 0; i < 6 && Row(11).substr(0, 10) != "Aout1 min="; ++i) Press(kKeyEnter);
    ASSERT_EQ(Row(11).substr(0, 10), "Aout1 min=");
    uint8_t prefix = g_WorkSet.channel.lines.prefix[0];
    Range d = DefaultRange(g_WorkSet.channel.lines.kind[0], prefix);
    float factor = Fmt_PrefixFactor(prefix);
    float a = d.at4mA + (d.at20mA - d.at4mA) * static_cast<float>(c.typed[0]) / 100.0f;
    float b = d.at4mA + (d.at20mA - d.at4mA) * static_cast<float>(c.typed[1]) / 100.0f;
    std::string low = walk::Fit(std::fmin(a, b) * factor, 5), high = walk::Fit(std::fmax(a, b) * factor, 5);
    ValuePageType(low.c_str());
    Press(kKeyCal);
    ValuePageType(high.c_str());
    EnterAndSave();
    Saved(e);
    e->range[0] = {std::stof(low) / factor, std::stof(high) / factor};
}

void CheckOutputs(const OutputCase& c) {
    Expected expected{};
    if (c.quick) {
        walk::BootOnA();
        expected = Now();
        QuickSetup(c, &expected);
    } else if (c.channel == 0) {
        walk::BootOnA();
        expected = Now();
        walk::ChooseAnalogKind(walk::kAnalogKinds[c.setup]);
    } else {
        walk::BootOnB();
        expected = Now();
        walk::TakeOver(walk::kModels[c.setup]);
        Saved(&expected);
        walk::OpenLineSetup();
    }
    if (!c.quick) {
        walk::StepLinesAndSave(c.unitSteps, c.resolutionSteps);
        Saved(&expected);
    }
    walk::ShowLinesAndSave(c.shown);
    Saved(&expected);

    std::string rows[2][2];
    for (uint32_t output = 0; output < kAoutCount; ++output) {
        SetAlarmAndReadRange(output, c.alarm[output], rows[output]);
    }
    CheckCurrents(c, rows, expected);
    if (!c.restart) return;
    // The same after a restart (channel B's sensor found again as it was).
    plug_test::RestartInSameFolder();
    if (c.channel == 1) {
        const walk::Model& model = walk::kModels[c.setup];
        Link_SelectSensorImage(1, model.file, model.code);
        ASSERT_TRUE(plug_test::RunUntilState(kPlugResume));
        ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 15000));
    }
    CheckCurrents(c, rows, expected);
}

rc::Gen<OutputCase> GenOutputCase() {
    return rc::gen::exec([] {
        OutputCase c{};
        c.channel = *walk::AnyOf<uint8_t>(0, 2);
        size_t setups = c.channel == 0 ? walk::kAnalogKindCount : walk::kModelCount;
        c.setup = *walk::AnyOf<uint8_t>(0, static_cast<uint8_t>(setups));
        for (int line = 0; line < 2; ++line) {
            c.unitSteps[line] = *walk::AnyOf<uint8_t>(0, 18);
            c.resolutionSteps[line] = *walk::AnyOf<uint8_t>(0, 4);
            c.alarm[line] = *walk::AnyOf<uint8_t>(0, 3);
        }
        for (uint8_t& shift : c.shown) shift = *walk::AnyOf<uint8_t>(0, 4);
        c.restart = *rc::gen::arbitrary<bool>();
        c.quick = c.channel == 0 && *rc::gen::arbitrary<bool>();
        for (uint8_t& end : c.typed) end = c.quick ? *walk::AnyOf<uint8_t>(0, 101) : 0;
        c.cause = *rc::gen::arbitrary<bool>();
        c.input = *walk::AnyOf<uint8_t>(0, 101);
        c.celsius = *walk::AnyOf<uint8_t>(0, 101);
        return c;
    });
}

}  // namespace

RC_GTEST_PROP(OutputsProperty, ReadingsDriveEachOutputByTheRangeItsPageShows, ()) {
    OutputCase c = *GenOutputCase();
    CheckOutputs(c);
}

// Cases the property found, and the ones reported before it ran.
// Output 1 on an oxygen line got the pH row's range: -2..20 %air, 85 %air drove 20.5 mA, over a
// restart too.
TEST(OutputsProperty, OxygenChosenOnChannelSetup) {
    CheckOutputs({0, 4, {0, 0}, {0, 0}, {0, 0}, {}, true, false, {0, 0}, false, 40, 25});
}
TEST(OutputsProperty, OxygenSensorTakenOver) {
    CheckOutputs({1, 3, {0, 0}, {0, 0}, {0, 0}, {}, true, false, {0, 0}, false, 40, 25});
}
// Line a stepped from pH to the glass impedance got the row of the pH it showed before the save.
TEST(OutputsProperty, GlassImpedanceLine) {
    CheckOutputs({0, 0, {2, 0}, {0, 0}, {0, 0}, {}, false, false, {0, 0}, false, 0, 0});
}
// "Aout 2 Measurement = b" stood over "Aout 1 Range = 4-20".
TEST(OutputsProperty, TheRangeRowNamesItsOutput) {
    CheckOutputs({0, 0, {0, 0}, {0, 0}, {0, 0}, {}, false, false, {0, 0}, false, 0, 0});
}
// The default range of a line in microsiemens or in nanoamperes was past what its page shows:
// "*****" or "_____", and ENTER answered "Invalid Value".
TEST(OutputsProperty, MicrosiemensLine) {
    CheckOutputs({0, 2, {0, 3}, {0, 1}, {0, 0}, {}, false, false, {0, 0}, false, 0, 0});
}
TEST(OutputsProperty, NanoampereLine) {
    CheckOutputs({1, 3, {9, 0}, {0, 0}, {0, 0}, {}, false, false, {0, 0}, false, 0, 0});
}
TEST(OutputsProperty, NanoampereLineOnChannelA) {
    CheckOutputs({0, 5, {5, 0}, {0, 0}, {0, 0}, {}, false, false, {0, 0}, false, 0, 0});
}
// A sensor's conductivity line set to microsiemens after its take-over kept the range in S/cm.
TEST(OutputsProperty, MicrosiemensAfterTakeOver) {
    CheckOutputs({1, 2, {14, 0}, {3, 0}, {0, 0}, {}, false, false, {0, 0}, false, 0, 0});
}
// Display line 2 showing measurement c gave output 2 the range of c, while it follows b.
TEST(OutputsProperty, DisplayLinesReordered) {
    CheckOutputs({0, 0, {0, 0}, {0, 0}, {0, 0}, {0, 1, 0, 0}, false, false, {0, 0}, false, 0, 0});
}
// "Channel Setup" left unchanged on a "ppmO2 G" sensor chose "Auto" for channel B.
TEST(OutputsProperty, PpmO2GSensorKeepsItsKind) {
    CheckOutputs({1, 6, {0, 0}, {0, 0}, {0, 0}, {}, false, false, {0, 0}, false, 0, 0});
}
// A range typed on "Quick Setup" after the kind was changed in the same visit went back to the
// kind's default at "Save Changes".
TEST(OutputsProperty, RangeTypedOnQuickSetup) {
    CheckOutputs({0, 4, {0, 0}, {0, 0}, {0, 0}, {}, false, true, {2, 18}, false, 40, 25});
}
TEST(OutputsProperty, RangeTypedOnQuickSetupZeroSpan) {
    CheckOutputs({0, 2, {0, 0}, {0, 0}, {0, 0}, {}, false, true, {0, 0}, false, 0, 0});
}
