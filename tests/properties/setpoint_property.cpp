// A set point switches where its pages say: for each quantity a line can show (pH, mV and ORP,
// conductivity and resistivity, oxygen, CO2 and its electrode's millivolts, temperature), a High
// or Low set point whose limit and hysteresis are typed on its pages switches its relay past the
// limit and releases it only past the limit less (High) or plus (Low) the hysteresis, taken in
// the unit its page shows: the value's own for a temperature, a pH or a voltage, a percentage of
// the limit for every other value.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "channel_setup_walk.h"
#include "measurement/channel.h"
#include "outputs/hold.h"
#include "outputs/relays.h"
#include "property_support.h"
#include "ui/value_catalogue.h"

using namespace ui_test;

namespace {

// The quantities, each on a channel set up for it: channel A's kind, or a model on channel B
// (channel A offers no ORP line).
struct Quantity {
    uint8_t channel;
    uint8_t setup;  // channel A's kind, or an index into walk::kModels
    uint8_t code;   // the measurement of line a
};
constexpr Quantity kQuantities[] = {
    {0, 1, 13}, {0, 1, 14}, {0, 1, 11}, {0, 1, 12}, {0, 3, 1},  {0, 4, 0},  {0, 5, 19},
    {0, 5, 20}, {0, 6, 24}, {1, 0, 15}, {1, 0, 14}, {1, 8, 33}, {1, 8, 34}, {1, 8, 38},
};
constexpr size_t kQuantityCount = sizeof kQuantities / sizeof kQuantities[0];

// Units whose hysteresis is in the value's own unit.
bool AbsoluteHysteresis(uint8_t code) { return (code >= 11 && code <= 15) || code == 38; }

struct SetPointCase {
    uint8_t quantity;             // index into kQuantities
    bool low;                     // Low, else High
    bool second;                  // set point 2 moved from line b, else set point 1
    std::vector<uint8_t> inputs;  // where the swept input stands at each probe, 0 to 100
    uint8_t limitAt;              // the limit lies between the readings of these probes and the next
    uint8_t releaseAt;            // the release lies between these probes and the next
};

void showValue(const SetPointCase& c, std::ostream& os) {
    const Quantity& q = kQuantities[c.quantity];
    os << "{" << (q.channel == 0 ? "channel A kind " + std::to_string(q.setup) : walk::kModels[q.setup].name)
       << ", unit " << int(q.code) << (c.second ? ", set point 2 from line b" : "") << (c.low ? ", Low" : ", High")
       << ", inputs";
    for (uint8_t input : c.inputs) os << " " << int(input);
    os << ", limit after reading " << int(c.limitAt) << ", release after reading " << int(c.releaseAt) << "}";
}

// The swept input at a point of its span, for the quantity of the line.
void SetInput(const Quantity& q, uint8_t at) {
    float s = at / 100.0f;
    // 25 C on the element (a Pt1000 on channel A) unless the temperature is what is swept.
    Panel_SetSimInput(0, kSimElementOhm, 1097.4f);
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    if (q.code == 11 || q.code == 12) {
        float t = 100.0f * s;
        if (q.channel == 0) {
            Panel_SetSimInput(0, kSimElementOhm, 1000.0f * (1.0f + 3.9083e-3f * t - 5.775e-7f * t * t));
        } else {
            Panel_SetSimInput(1, kSimTemperatureB, t);
        }
    } else if (q.code <= 1) {
        Panel_SetSimInput(q.channel, kSimCondSignal, std::pow(10.0f, 2.0f + 3.0f * s));
    } else if (q.code >= 19 && q.code <= 24) {
        Panel_SetSimInput(q.channel, kSimSensorCurrent, -150.0f * s);
    } else if (q.code >= 33 && q.code <= 37) {
        // The CO2 family spans its range within a few tens of millivolts.
        Panel_SetSimInput(q.channel, kSimElectrodeVolts, -100.0f + 120.0f * s);  // mV
    } else {
        Panel_SetSimInput(q.channel, kSimElectrodeVolts, -400.0f + 800.0f * s);  // mV
    }
}

// Line a's reading as its pages show it (in the line's unit and prefix); its status.
float Reading(uint32_t* status) {
    float factor = Fmt_PrefixFactor(g_MeasLines.prefix[0]);
    return Meas_GetSlotValue(0, status) * factor;
}

// The settled reading at a probe, once no hold freezes the set points.
float Probe(const Quantity& q, uint8_t at, uint32_t* status) {
    SetInput(q, at);
    walk::Settle(0);
    for (int i = 0; i < 60 && g_OutputHold != 0; ++i) Rig_AdvanceMs(1000);
    Rig_AdvanceMs(3000);
    return Reading(status);
}

// Set point 1 on line a (or set point 2 moved there): its type, its limit, relay 2 taken from the
// alarm, no delay, the
// hysteresis; the hysteresis row as the page shows it. The limit and hysteresis are the typed
// texts' values in the line's unit.
std::string SetUp(const SetPointCase& c, const std::string& limit, float hysteresisTarget, float limitValue,
                  float* hysteresis) {
    Press(kKeyMenu);
    EXPECT_TRUE(Choose("Configure"));
    EXPECT_TRUE(Choose("Set Points"));
    EXPECT_EQ(Row(11), "SP1 on Measurement a");
    if (c.second) {
        // Set point 2, moved from line b to line a on the same page.
        Press(kKeyUp);
        EXPECT_EQ(Row(11), "SP2 on Measurement b");
        Press(kKeyCal);
        Step(4);
        EXPECT_EQ(Row(11), "SP2 on Measurement a");
    } else {
        Press(kKeyCal);
    }
    Press(kKeyCal);
    Step(c.low ? 2 : 1);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenValuePage);
    Press(kKeyCal);
    ValuePageType(limit.c_str());
    Press(kKeyEnter);
    Press(kKeyCal);
    Press(kKeyCal);
    Press(kKeyUp);
    EXPECT_EQ(Row(12).substr(0, 9), "Use OC #2");
    Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Stop OC #2 on");
    Press(kKeyUp);
    Press(kKeyEnter);
    EXPECT_EQ(Row(11).substr(0, 11), "OC2 Delay =");
    ValuePageType("000");
    Press(kKeyCal);
    bool percent = g_ValuePage->width[1] == 2;
    std::string h;
    if (percent) {
        int p = static_cast<int>(std::lround(100.0f * hysteresisTarget / std::fabs(limitValue)));
        h = walk::Fit(static_cast<float>(std::clamp(p, 0, 99)), 2);
    } else {
        h = walk::Fit(hysteresisTarget, 5);
    }
    ValuePageType(h.c_str());
    std::string row = Row(12);
    *hysteresis = std::stof(h);
    if (percent) *hysteresis = std::fabs(limitValue * *hysteresis) / 100.0f;
    EnterAndSave();
    return row;
}

void CheckSetPoint(const SetPointCase& c) {
    const Quantity& q = kQuantities[c.quantity];
    if (q.channel == 0) {
        walk::BootOnA();
        walk::ChooseAnalogKind(q.setup);
    } else {
        walk::BootOnB();
        walk::TakeOver(walk::kModels[q.setup]);
        walk::OpenLineSetup();
    }
    // Line a stepped to the quantity, round its unit list.
    uint32_t list = Settings_GetEditKind(q.channel);
    uint32_t length = Fmt_UnitListLength(list);
    uint32_t at = Fmt_UnitIndexInList(list, Settings_GetEditMeasLines()->kind[0]);
    uint8_t steps[2] = {0, 0};
    while (Fmt_UnitAt(list, at) != q.code && steps[0] < length) {
        at = (at + 1) % length;
        if (!Chan_IsKindSpecialOnA(q.channel, Fmt_UnitAt(list, at))) ++steps[0];
    }
    uint8_t none[2] = {0, 0};
    walk::StepLinesAndSave(steps, none);
    ASSERT_EQ(g_MeasLines.kind[0], q.code);

    // The readings at the probes, from the lowest up.
    std::vector<float> readings;
    for (uint8_t input : c.inputs) {
        uint32_t status = 0;
        float x = Probe(q, input, &status);
        if (status == 0) readings.push_back(x);
    }
    std::sort(readings.begin(), readings.end());
    readings.erase(std::unique(readings.begin(), readings.end()), readings.end());
    RC_PRE(readings.size() >= 3u);
    size_t n = readings.size();
    // High: the limit above some readings and below others, its release further down; Low the
    // other way round.
    size_t j = 1 + c.limitAt % (n - 2);
    size_t k = c.low ? j + c.releaseAt % (n - j) : c.releaseAt % j;
    float limitWanted = c.low ? (readings[j - 1] + readings[j]) / 2 : (readings[j] + readings[j + 1]) / 2;
    float releaseWanted = k + 1 < n ? (readings[k] + readings[k + 1]) / 2 : readings[k] + 1.0f;
    std::string limitText = walk::Fit(limitWanted, 5);
    float limit = std::stof(limitText);
    float hysteresis = 0.0f;
    std::string row = SetUp(c, limitText, std::fabs(releaseWanted - limit), limit, &hysteresis);
    SCOPED_TRACE("limit " + limitText + ", \"" + row + "\"");
    bool percent = row.find('%') != std::string::npos;
    EXPECT_EQ(percent, !AbsoluteHysteresis(q.code)) << "the hysteresis page of unit " << int(q.code);
    // A voltage's unit stands whole before the leave marker.
    if (q.code == 14 || q.code == 15 || q.code == 38) {
        EXPECT_EQ(row.substr(row.size() - 3), "mV$");
    }

    // Up through the probes, down, and up again: on past the limit, off only past the release.
    std::vector<uint8_t> order(c.inputs);
    std::sort(order.begin(), order.end());
    std::vector<uint8_t> walkOrder(order);
    walkOrder.insert(walkOrder.end(), order.rbegin(), order.rend());
    walkOrder.insert(walkOrder.end(), order.begin(), order.end());
    int model = -1;  // unknown until a reading decides it
    bool bandSeen = false;
    float release = c.low ? limit + hysteresis : limit - hysteresis;
    float margin = 1e-4f * (std::fabs(limit) + std::fabs(hysteresis)) + 1e-6f;
    for (uint8_t input : walkOrder) {
        uint32_t status = 0;
        float x = Probe(q, input, &status);
        bool closed = (g_RelayBits.load() & 2) != 0;
        bool active = closed != (g_RelaySettings.sense[1] != 0);
        bool past = c.low ? x < limit - margin : x > limit + margin;
        bool released = c.low ? x >= release + margin : x <= release - margin;
        bool near = std::fabs(x - limit) <= margin || std::fabs(x - release) <= margin;
        if (status != 0 || near) {
            model = -1;
        } else if (past) {
            model = 1;
        } else if (released) {
            model = 0;
        }
        if (model >= 0) {
            EXPECT_EQ(active, model == 1) << "reading " << x << ", release at " << release;
        }
        if (model == 1 && !past && !released && !near) bandSeen = true;
        model = active ? 1 : 0;
    }
    RC_TAG(int(q.code), bandSeen);
}

}  // namespace

RC_GTEST_PROP(SetPointProperty, SwitchesPastTheLimitAndReleasesPastTheHysteresis, ()) {
    SetPointCase c = *rc::gen::exec([] {
        SetPointCase c;
        c.quantity = *walk::AnyOf<uint8_t>(0, kQuantityCount);
        c.low = *rc::gen::arbitrary<bool>();
        c.second = *rc::gen::arbitrary<bool>();
        c.inputs = *rc::gen::container<std::vector<uint8_t>>(5, walk::AnyOf<uint8_t>(0, 101));
        c.limitAt = *walk::AnyOf<uint8_t>(0, 4);
        c.releaseAt = *walk::AnyOf<uint8_t>(0, 4);
        return c;
    });
    CheckSetPoint(c);
}

// Cases the property found, and the ones reported before it ran: the ORP line took its hysteresis
// page's millivolts as a percentage of the limit (on at 310 mV, off at 295 with 10 mV below a
// 300 mV limit), and the CO2 electrode's line took the percentage its page offered as volts (the
// relay never released).
TEST(SetPointProperty, OrpLineAroundThreeHundredMillivolts) {
    CheckSetPoint({9, false, false, {85, 86, 88, 89, 90}, 2, 0});
}
TEST(SetPointProperty, OrpLine) { CheckSetPoint({9, false, false, {0, 1, 1, 1, 2}, 0, 0}); }
// The hysteresis page's "mV" ran under the leave marker.
TEST(SetPointProperty, OrpLineHysteresisUnit) { CheckSetPoint({9, false, false, {0, 0, 0, 0, 1}, 0, 0}); }
TEST(SetPointProperty, Co2ElectrodeLine) { CheckSetPoint({13, false, false, {0, 0, 0, 0, 1}, 0, 0}); }
// A limit typed after the set point was moved to another line on the same page went back to the
// new line's default at "Save Changes".
TEST(SetPointProperty, LimitTypedAfterMovingTheSetPoint) { CheckSetPoint({0, false, true, {0, 0, 1, 0, 0}, 0, 0}); }
