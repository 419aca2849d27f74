// Every menu is a ring: on both channels, with each kind of channel A and each model of channel B
// (taken over by "Channel Setup" or plugged afterwards, its question answered either way, its
// timers switched on or off, over a restart), every menu and every list of INFO views offers
// exactly the items its channel and sensor give; UP visits each once and comes back to the first,
// INFO the other way.
#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "../digital_sensor/plug_support.h"
#include "../ui/ui_support.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx_ident.h"
#include "measurement/chan_sensor.h"
#include "panel/inputs.h"
#include "property_support.h"
#include "sim/sim_inputs.h"

using namespace ui_test;
using Items = std::vector<int>;

namespace {

constexpr int kNone = -1;
constexpr uint8_t kAllTimers = 7;
constexpr uint32_t kNoKind = 255;

// "Parameter =" on "Channel Setup": channel A's sensor kinds (Auto aside), and channel B's list
// with the kind each entry stands for (0 = Auto).
const char* const kKindNamesA[] = {"", "pH/ORP", "pH/pNa", "Cond(2)", "Cond(4)", "O2 hi", "O2 lo", "O2 Trace"};
struct VdxEntry {
    const char* name;
    uint32_t kind;
};
const VdxEntry kVdxEntries[] = {{"pH/ORP", 1},   {"pH/pNa", 2}, {"Cond(4)", 4}, {"O2 hi", 5}, {"O2 lo", 6},
                                {"O2 Trace", 7}, {"O2 Opt", 9}, {"CO2", 10},    {"Auto", 0}};
constexpr int kVdxEntryCount = sizeof kVdxEntries / sizeof kVdxEntries[0];

struct MenuRingCase {
    int channel;       // the channel shown: 0 A, 1 B
    int kindA;         // channel A's kind, 1 to 7
    int model;         // channel B's sensor, in the panel's list; kNone for none
    int vdxEntry;      // channel B's "Parameter =", kNone for the entry of the model's own kind
    bool plugFirst;    // the sensor is there before "Channel Setup" selects channel B
    bool answerYes;    // to "Change ChB to new Sensor"
    uint8_t timers;    // "Sensor Monitoring": lifetime, maintenance, calibration timer on (bits 0..2)
    bool cycleAlarms;  // the sensor alarm word's cycle bits, which no setting switches
    bool restart;
};

void showValue(const MenuRingCase& c, std::ostream& os) {
    os << "{channel " << c.channel << ", kindA " << kKindNamesA[c.kindA] << ", model "
       << (c.model == kNone ? "none" : g_SensorImageFiles[c.model].listText) << ", vdxEntry "
       << (c.vdxEntry == kNone ? "own" : kVdxEntries[c.vdxEntry].name) << ", plugFirst " << c.plugFirst
       << ", answerYes " << c.answerYes << ", timers " << int(c.timers) << ", cycleAlarms " << c.cycleAlarms
       << ", restart " << c.restart << "}";
}

// ---- The items of each node, and what is offered ----------------------------------------------------

struct Node {
    const char* title;
    std::vector<const char*> items;
    std::vector<std::pair<int, int>> children;  // item, node it opens
};
const Node kNodes[15] = {
    {},
    {"MENU", {"Quick Setup", "Configure", "System", "PID Setup", "Service"}, {{1, 3}, {2, 4}, {3, 11}, {4, 5}}},
    {"INFO", {"Messages", "VDX Sensor Info", "Calibration Data", "VDX Diagnostics", "Model/Software Revision"}, {}},
    {"Configure",
     {"Measurement", "Analog Outputs", "Set Points", "Alarm/Clean", "VDX Setup", "Display", "Hold Outputs"},
     {{0, 6}, {4, 14}, {5, 7}}},
    {"System", {"Set Language", "Passwords", "Set/Clear Lockout", "Reset", "Set Date&Time"}, {}},
    {"Service", {"Diagnostics", "Calibrate", "Tech Service"}, {{0, 8}, {2, 9}}},
    {"Measurement Setup",
     {"Channel Setup", "Temperature Source", "", "O2 Opt sampling rate", "LED Mode", "Concentration Table",
      "Set Averaging"},
     {}},
    {"Display Setup", {"Measurement", "Resolution", "Backlight", "Name"}, {}},
    {"Diagnostics",
     {"Model/Software Revision", "Digital Input", "Display", "Keypad", "Memory", "Set OC", "Read OC",
      "Set Analog Outputs", "Read Analog Outputs", "Read Analog Inputs", "O2 Opt"},
     {}},
    {"Service Technician",
     {"Meter Cal Factors", "pH Glass Resistance", "pH Reference Resistance", "pNa Glass Resistance"},
     {}},
    {},
    {"PID Setup", {"PID A/M", "Tune Parameters", "Mode", "PID Display Setup"}, {}},
    {},
    {"VDX Diagnostics",
     {"ChB Cal History", "ChB CIP Cycles", "ChB SIP Cycles", "ChB AutoClave Cycles", "ChB Sensor Monitoring",
      "ChB Max. Temperature"},
     {}},
    {"VDX Setup",
     {"Sensor Monitoring", "CIP Cycle Limit", "SIP Cycle Limit", "AutoClave Cycle Limit", "Reset VDX Counter/Timer",
      "DLI Stress Adjustment"},
     {}},
};

bool IsCond(uint32_t kind) { return kind == 3 || kind == 4; }

// What the instrument is, as the menus judge it.
struct State {
    uint32_t channel;
    uint32_t kindB;  // channel B's sensor in use, kNoKind for none
    uint32_t kindA;  // channel A's configured kind
    uint32_t confB;  // channel B's configured kind
    uint8_t timers;  // the timers left on
    bool cycleAlarms;
    bool option;   // the sensor reports its optional feature
    bool bit2;     // the optical sensor's status bit 2
    uint8_t sets;  // the calibration data sets the sensor holds
};

uint32_t ActiveKind(const State& s) { return s.channel == 1 ? s.kindB : s.kindA; }

// The compensation item names the compensation of the channel's kind.
std::string CompensationName(uint32_t kind) {
    if (kind == 1 || kind == 2) return "pH";
    if (IsCond(kind)) return "Resistivity";
    if (kind >= 5 && kind <= 8) return "O2";
    if (kind == 9) return "O2 Opt";
    return kind == 10 ? "CO2" : "Comp/pH/O2";
}

Items Offered(int node, const State& s) {
    const int count = static_cast<int>(kNodes[node].items.size());
    const bool b = s.channel == 1;
    const uint32_t kind = ActiveKind(s);
    auto keep = [&](int i) {
        switch (node) {
            case 2:
                return b && kind < 15 ? true : i == 0 || i == 4 || (i == 2 && !b);
            case 3:
                return i != 4 || (b && s.kindB < 15);
            case 6:
                return i == 0 || i == 2 || i == 6 || (i == 1 && !b) || ((i == 3 || i == 4) && kind == 9) ||
                       (i == 5 && IsCond(b ? s.confB : s.kindA));
            case 8:
                return i < 10 || kind == 9;
            case 9: {
                uint32_t k = b ? s.kindB : s.kindA;
                return i == 0 || (k == 1 && (i == 1 || i == 2)) || (k == 2 && (i == 1 || i == 3));
            }
            case 14:
                if (IsCond(kind)) return i == 1 || i == 2;
                if (i == 5) return s.option;
                if (i == 3 && s.kindB == 9 && !s.bit2) return false;
                return i == 0 || i == 4 || s.cycleAlarms;
            default:
                return true;
        }
    };
    Items items;
    for (int i = 0; i < count; ++i) {
        if (keep(i)) items.push_back(i);
    }
    return items;
}

// The item shown on row 12, as its index in the node; kNone for none of them.
int ShownItem(int node, const State& s) {
    const std::string shown = Item();
    const Node& n = kNodes[node];
    for (int i = 0; i < static_cast<int>(n.items.size()); ++i) {
        if (node == 6 && i == 2 && shown == CompensationName(s.channel == 1 ? s.confB : s.kindA)) return i;
        if (node == 11 && i == 0 && shown.rfind(n.items[0], 0) == 0) return i;
        if (shown == n.items[i]) return i;
    }
    return kNone;
}

// ---- Rings -----------------------------------------------------------------------------------------

std::string Text(const Items& items) {
    std::string text;
    for (int i : items) text += std::to_string(i) + " ";
    return text;
}

// From the item shown, UP visits the offered items once each, in order, and comes back; INFO the
// other way.
void CheckRing(const std::string& where, const std::function<int()>& shown, const Items& offered) {
    const int start = shown();
    ASSERT_NE(std::find(offered.begin(), offered.end(), start), offered.end())
        << where << ": shows " << start << " (\"" << Item() << "\"), offers " << Text(offered);
    const size_t at = static_cast<size_t>(std::find(offered.begin(), offered.end(), start) - offered.begin());
    for (uint8_t key : {kKeyUp, kKeyInfo}) {
        Items want, seen;
        std::string rows;
        for (size_t k = 1; k <= offered.size(); ++k) {
            size_t i = key == kKeyUp ? (at + k) % offered.size() : (at + offered.size() * 2 - k) % offered.size();
            want.push_back(offered[i]);
            Press(key);
            seen.push_back(shown());
            rows += "\"" + Row(11) + "|" + Row(12) + "\" ";
        }
        ASSERT_EQ(Text(seen), Text(want))
            << where << (key == kKeyUp ? ", UP" : ", INFO") << " from " << start << ": " << rows;
    }
}

void StepTo(int node, const State& s, int item) {
    for (int i = 0; i < 12 && ShownItem(node, s) != item; ++i) Press(kKeyUp);
    ASSERT_EQ(ShownItem(node, s), item) << kNodes[node].title;
}

// A node's ring, then each child node's in turn, left through the leave marker.
void CheckNode(int node, const State& s) {
    ASSERT_EQ(Row(11), kNodes[node].title);
    const Items offered = Offered(node, s);
    CheckRing(
        kNodes[node].title, [&] { return ShownItem(node, s); }, offered);
    for (auto [item, child] : kNodes[node].children) {
        if (std::find(offered.begin(), offered.end(), item) == offered.end()) continue;
        StepTo(node, s, item);
        Press(kKeyEnter);
        if (child == 9) {
            ValuePageType("49263");
            Press(kKeyEnter);
        }
        CheckNode(child, s);
        Press(kKeyMenu);  // the leave marker, also from the PID item
        Press(kKeyEnter);
        ASSERT_EQ(Row(11), kNodes[node].title);
        ASSERT_EQ(ShownItem(node, s), item) << kNodes[node].title << ": back on the item left";
    }
}

// ---- Lists of INFO views -----------------------------------------------------------------------------

// The index of the first of the texts that row 11 (or row 12, for a row 11 left empty) begins with.
int ViewOf(const std::vector<std::string>& starts) {
    std::string row = Row(11).empty() ? Row(12) : Row(11);
    for (size_t i = 0; i < starts.size(); ++i) {
        if (row.rfind(starts[i], 0) == 0) return static_cast<int>(i);
    }
    return kNone;
}

// INFO, the item (in "VDX Diagnostics" when sub is not kNone), and the ring of its views.
void CheckViews(int item, int sub, const State& s, const std::vector<std::string>& starts, const Items& offered) {
    Press(kKeyInfo);
    StepTo(2, s, item);
    Press(kKeyEnter);
    if (sub != kNone) {
        StepTo(13, s, sub);
        Press(kKeyEnter);
    }
    // The optical sensor's data come over the link first.
    for (int i = 0; i < 100 && Row(12) == "Please wait..."; ++i) {
        Rig_AdvanceMs(100);
    }
    std::string where = std::string(kNodes[sub == kNone ? 2 : 13].items[sub == kNone ? item : sub]) + " views";
    CheckRing(
        where, [&] { return ViewOf(starts); }, offered);
    EscapeKey();
}

void CheckInfo(const State& s) {
    Press(kKeyInfo);
    CheckNode(2, s);
    const Items items = Offered(2, s);
    auto offered = [&](int i) { return std::find(items.begin(), items.end(), i) != items.end(); };
    EscapeKey();
    const bool sensor = s.kindB < 15;
    // Without a digital sensor on channel B the revision page has no sensor view.
    CheckViews(4, kNone, s, {"PN ", "Master:V_", "Hart Tag:", "Sensor FW:V_"},
               sensor && s.channel == 1 ? Items{0, 1, 2, 3} : Items{0, 1, 2});
    // The calibration values of a channel B set up for pH turn to its ORP offset.
    if (offered(2)) {
        CheckViews(2, kNone, s, {s.channel == 1 ? "BP" : "AP", "B  Offset"},
                   s.channel == 1 && (s.confB == 1 || s.confB == 2) ? Items{0, 1} : Items{0});
    }
    if (!offered(3)) return;
    CheckViews(1, kNone, s, {"ChB Type:", "Serial-No."}, {0, 1});
    Press(kKeyInfo);
    StepTo(2, s, 3);
    Press(kKeyEnter);
    CheckNode(13, s);
    EscapeKey();
    Items sets, timers;
    for (int i = 0; i < 6; ++i) {
        if (s.sets & (1 << i)) sets.push_back(i);
    }
    CheckViews(3, 0, s, {"Fact", "Act", "1Adj", "Cal1", "Cal2", "Cal3"}, sets);
    for (int i = 0; i < 3; ++i) {
        if (s.timers & (1 << i)) timers.push_back(i);
    }
    timers.push_back(3);
    CheckViews(3, 4, s, {"Lifetime Indicator", "Time to Maint", "Adapt Cal Timer", "Operating Days"}, timers);
}

// ---- Setting the instrument up by keys ---------------------------------------------------------------

void OpenChannelSetup() {
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Measurement"));
    ASSERT_TRUE(Choose("Channel Setup"));
}

// "Channel Setup": the channel and its kind, saved.
void SetUpChannel(bool vdx, const char* kind) {
    OpenChannelSetup();
    const char* select = vdx ? "Channel Select= VDX" : "Channel Select= Analog";
    for (int i = 0; i < 2 && Row(11) != select; ++i) Press(kKeyUp);
    ASSERT_EQ(Row(11), select);
    Press(kKeyCal);
    const std::string parameter = std::string("Parameter = ") + kind;
    for (int i = 0; i < 12 && Item() != parameter; ++i) Press(kKeyUp);
    ASSERT_EQ(Item(), parameter);
    EnterAndSave();
}

// Plug-and-measure to its end, its questions answered (the autoclave's always "No"): 50 s hold the
// longest way through it, a sensor chosen anew being announced after up to 20 s.
void SettlePlug(bool yes) {
    for (int i = 0; i < 100; ++i) {
        Rig_AdvanceMs(500);
        uint8_t state = Vdx_GetPlugState();
        if (Vdx_GetPreviousPlugState() != state) continue;
        if (state == kPlugChangeKind || state == kPlugChangeModel || state == kPlugAutoclave) {
            if (!yes || state == kPlugAutoclave) Press(kKeyUp);
            Press(kKeyEnter);
        }
    }
    ASSERT_EQ(Vdx_GetPlugState(), kPlugIdle);
}

// "Sensor Monitoring": each timer's page on or off, where the pages are offered.
void SetTimers(uint8_t want, uint8_t* timers) {
    const char* const titles[3] = {"Lifetime Indicator", "Time to Maint", "Adapt Cal Timer"};
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    if (!Choose("VDX Setup") || !Choose("Sensor Monitoring")) {
        EscapeKey();
        return;
    }
    for (int page = 0; page < 3 && Menu_TopScreen() == kScreenParamPage; ++page) {
        for (int t = 0; t < 3; ++t) {
            if (Row(11).rfind(titles[t], 0) != 0) continue;
            bool on = (want >> t) & 1;
            if ((Row(11).find("Yes") != std::string::npos) != on) Press(kKeyUp);
            *timers = static_cast<uint8_t>(on ? *timers | 1 << t : *timers & ~(1 << t));
        }
        Press(kKeyEnter);
    }
    EnterAndSave();
}

void PlugModel(const SensorImageEntry* sensor) {
    if (sensor) {
        plug_test::Plug(sensor->fileName, sensor->code);
    } else {
        plug_test::Unplug();
    }
}

// What the steps before left: the sensor chosen on the panel and the timers left on.
struct Bench {
    const SensorImageEntry* sensor = nullptr;
    uint8_t timers = kAllTimers;
};

void SetUp(const MenuRingCase& c, Bench* bench) {
    ASSERT_NO_FATAL_FAILURE(SetUpChannel(false, kKindNamesA[c.kindA]));
    bench->sensor = c.model == kNone ? nullptr : &g_SensorImageFiles[c.model];
    if (c.plugFirst || c.channel == 0) PlugModel(bench->sensor);
    if (c.channel == 1) {
        int entry = c.vdxEntry;
        for (int i = 0; i < kVdxEntryCount && entry == kNone; ++i) {
            if (kVdxEntries[i].kind == (bench->sensor ? bench->sensor->code : 0u)) entry = i;
        }
        ASSERT_NO_FATAL_FAILURE(SetUpChannel(true, kVdxEntries[entry == kNone ? kVdxEntryCount - 1 : entry].name));
        if (!c.plugFirst) PlugModel(bench->sensor);
        ASSERT_NO_FATAL_FAILURE(SettlePlug(c.answerYes));
        ASSERT_NO_FATAL_FAILURE(SetTimers(c.timers, &bench->timers));
    }
    if (c.restart) {
        plug_test::RestartInSameFolder();
        PlugModel(bench->sensor);
        ASSERT_NO_FATAL_FAILURE(SettlePlug(c.answerYes));
    }
    const uint32_t cycles = kDiagEnableCip | kDiagEnableSip | kDiagEnableAutoclave;
    g_CycleAlarmEnable = c.cycleAlarms ? g_CycleAlarmEnable | cycles : g_CycleAlarmEnable & ~cycles;
}

// Each step sets the instrument up by keys from where the step before left it, then walks every
// menu and every list of INFO views.
void CheckMenuRing(const std::vector<MenuRingCase>& steps) {
    Rig_Reset(Rig_MakeTempFolder());
    Rig_Boot();
    Rig_AdvanceMs(1100);
    Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
    Bench bench;
    for (const MenuRingCase& c : steps) {
        ASSERT_NO_FATAL_FAILURE(SetUp(c, &bench));
        ASSERT_EQ(Chan_GetCurrentChannel(), static_cast<uint8_t>(c.channel));
        ASSERT_EQ(g_ChannelKind[0], static_cast<uint8_t>(c.kindA));
        State s{static_cast<uint32_t>(c.channel),
                g_SensorKindActive[1],
                g_ChannelKind[0],
                g_ChannelKind[1],
                bench.timers,
                c.cycleAlarms,
                Vdx_HasSensorOption(1) != 0,
                Meas_HasSensorStatusBit2(1) != 0,
                0};
        // Whether a sensor is taken over is plug-and-measure's business; one in use is the one chosen.
        ASSERT_TRUE(s.kindB == kNoKind || (bench.sensor && s.kindB == bench.sensor->code)) << "B's kind " << s.kindB;
        for (uint32_t set = 0; set < 6; ++set) {
            CalDataSetView view;
            if (s.kindB < 15 && Cal_GetDataSet(1, set, &view)) s.sets = static_cast<uint8_t>(s.sets | 1 << set);
        }
        if (getenv("DBG"))
            fprintf(stderr, "step ch %u kindB %u conf %u model %d\n", s.channel, s.kindB, s.confB, c.model);
        Press(kKeyMenu);
        ASSERT_NO_FATAL_FAILURE(CheckNode(1, s));
        EscapeKey();
        ASSERT_NO_FATAL_FAILURE(CheckInfo(s));
    }
}

}  // namespace

RC_GTEST_PROP(MenuRing, EveryMenuIsARing, ()) {
    using rc::gen::set;
    const auto step = rc::gen::build<MenuRingCase>(
        set(&MenuRingCase::channel, rc::gen::inRange(0, 2)), set(&MenuRingCase::kindA, rc::gen::inRange(1, 8)),
        set(&MenuRingCase::model, rc::gen::inRange(kNone, static_cast<int>(kSensorListTexts))),
        set(&MenuRingCase::vdxEntry, rc::gen::oneOf(rc::gen::just(kNone), rc::gen::inRange(0, kVdxEntryCount))),
        set(&MenuRingCase::plugFirst), set(&MenuRingCase::answerYes),
        set(&MenuRingCase::timers, rc::gen::inRange<uint8_t>(0, 8)), set(&MenuRingCase::cycleAlarms),
        set(&MenuRingCase::restart));
    // One to three steps, each drawn from the whole of its range.
    const auto steps = *rc::gen::nonEmpty(
        rc::gen::resize(3, rc::gen::container<std::vector<MenuRingCase>>(rc::gen::resize(100, step))));
    CheckMenuRing(steps);
}

// The cases found before, each a step from a fresh start: channel B, channel A on pH/ORP, the
// model, its own kind or another on "Channel Setup", plugged before or after, the answer, the
// timers left on, the cycle alarms, a restart.
constexpr int kSelvoP11 = 0, kSelvoK11 = 3, kSelvoQ11 = 9;
// A conductivity sensor's "VDX Setup": UP stuck on "Reset VDX Counter/Timer", INFO flipping
// between the two limits.
TEST(MenuRing, ConductivitySensorSetup) { CheckMenuRing({{1, 1, kSelvoK11, kNone, true, true, 7, false, false}}); }
TEST(MenuRing, ConductivitySensorSetupShrunk) { CheckMenuRing({{1, 1, kSelvoK11, 0, false, false, 0, false, false}}); }
// The optical sensor's "VDX Setup": INFO from "Reset VDX Counter/Timer" onto a cycle limit.
TEST(MenuRing, OpticalSensorSetup) { CheckMenuRing({{1, 1, kSelvoQ11, kNone, false, false, 0, false, false}}); }
// A pH sensor taken over through "Channel Setup", its timers on: "Operating Days" alone.
TEST(MenuRing, TimersOfASensorTakenOver) { CheckMenuRing({{1, 1, kSelvoP11, kNone, true, true, 7, false, false}}); }
TEST(MenuRing, TimersOfASensorTakenOverShrunk) {
    CheckMenuRing({{1, 1, kSelvoP11, kNone, false, false, 1, false, false}});
}
