// Keep or drop: the pages of settings a user reaches by keys under MENU, on either channel shown,
// with each kind of channel-B sensor and with the relays given to different users, visited in
// turn and changed by any keys. Left by "No & Exit", ESC or the time-out, the store, the settings
// in use, the sensor and its files, the relays and the outputs are as before, and the page opened
// again shows what it showed; left by "Yes & Exit", all of it stays over a restart and the page
// shows the same after it. While a page is open nothing of it reaches the sensor or the relays. A
// value a page shows when ENTER takes it is the value kept, unless the page refuses it (with a
// message or a rewritten value). Every page left unchanged by "Yes & Exit" writes nothing.
#include <cstring>
#include <map>
#include <ostream>
#include <set>

#include "core/fmt.h"
#include "core/util.h"
#include "keep_or_drop_support.h"
#include "outputs/alarms.h"
#include "outputs/clean.h"
#include "outputs/pid.h"
#include "outputs/setpoint.h"
#include "property_support.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/param_pages_table.h"
#include "ui/value_catalogue.h"

namespace {
using namespace keep_drop;

// A user's action on a page: a key pressed some times, or a number typed where the cursor stands.
enum Action : uint8_t { kMenu, kCal, kUp, kInfo, kEnter, kType, kActions };
constexpr uint8_t kKeys[] = {kKeyMenu, kKeyCal, kKeyUp, kKeyInfo, kKeyEnter};
const char* const kActionNames[] = {"MENU", "CAL", "UP", "INFO", "ENTER", "type"};

// In the order a failing case shrinks to: the simplest way out first.
enum Leave : uint8_t { kEscape, kNoExit, kTimeOut, kYesExit, kLeaveWays };
const char* const kLeaveNames[] = {"ESC", "No & Exit", "time-out", "Yes & Exit"};

// Who switches each relay before the visits.
enum User : uint8_t { kNobody, kAlarm, kCleaning, kSetPoint1, kSetPoint2, kLifetime, kPidPulses };
const char* const kUserNames[] = {"nobody", "alarm", "cleaning", "SP1", "SP2", "lifetime alarm", "PID"};

struct Press {
    uint8_t action;
    uint8_t times;
    std::string text;  // typed
};
struct Visit {
    uint8_t item;  // index of SettingsItems()
    std::vector<Press> presses;
    uint8_t leave;
};
struct KeepDropCase {
    uint8_t model;    // channel B's sensor, kModels
    uint8_t channel;  // shown
    uint8_t kindA;    // 1 to 7: pH/ORP, pH/pNa, conductivity (2, 4 electrodes), oxygen high, low, trace
    uint8_t user[2];
    std::vector<Visit> visits;
};

void showValue(const KeepDropCase& c, std::ostream& os) {
    os << kModels[c.model].name << " on B, channel " << (c.channel ? 'B' : 'A') << " shown, kind " << int(c.kindA)
       << " on A; relay 1 " << kUserNames[c.user[0]] << ", relay 2 " << kUserNames[c.user[1]];
    for (const Visit& v : c.visits) {
        os << "\n  " << ItemPath(SettingsItems()[v.item]) << ":";
        for (const Press& p : v.presses) {
            if (p.times == 0) continue;
            os << " " << kActionNames[p.action];
            if (p.action == kType) {
                os << " \"" << p.text << "\"";
            } else if (p.times > 1) {
                os << "x" << int(p.times);
            }
        }
        os << ", " << kLeaveNames[v.leave];
    }
}

uint8_t ItemIndex(uint32_t id) {
    for (size_t i = 0; i < SettingsItems().size(); ++i) {
        if (SettingsItems()[i].id == id) return static_cast<uint8_t>(i);
    }
    return 0;
}

// Every choice is drawn from its whole range at every size (RapidCheck narrows a range at small
// sizes, which would keep a short run on the first pages); each shrinks toward its first value.
template <typename T>
rc::Gen<T> Among(T first, T end) {
    return rc::gen::resize(100, rc::gen::inRange<T>(first, end));
}

// A list of up to n, which a failing case shrinks by leaving out what it does not need.
template <typename List, typename Element>
rc::Gen<List> UpTo(int n, rc::Gen<Element> element) {
    return rc::gen::resize(n, rc::gen::container<List>(std::move(element)));
}

rc::Gen<std::string> GenNumber() {
    return rc::gen::nonEmpty(UpTo<std::string>(5, rc::gen::elementOf(std::string("0123456789."))));
}

// Keys and numbers anywhere on the way.
rc::Gen<std::vector<Press>> GenPresses() {
    auto press = rc::gen::apply(
        [](uint8_t action, uint8_t times, std::string text) {
            return Press{action, action == kEnter || action == kType ? uint8_t(1) : times,
                         action == kType ? text : std::string()};
        },
        Among<uint8_t>(0, kActions), Among<uint8_t>(1, 5), GenNumber());
    return UpTo<std::vector<Press>>(8, press);
}

// Routes a user takes often: a number typed on the value page that follows a measurement chosen
// on the page before it (a set point's limit after its measurement and type, an output's range
// after its measurement, the PID's set point after its line), a channel's kind or the channel
// chosen on "Channel Setup", and a page looked at and left as it was.
Visit RouteVisit(uint8_t route, uint8_t item, uint8_t measurement, uint8_t type, std::string text, uint8_t leave) {
    const uint8_t step = measurement > 0 ? kUp : kInfo;
    const uint8_t times = static_cast<uint8_t>(measurement > 0 ? measurement : 1);
    switch (route) {
        case 0:
            return Visit{ItemIndex(kItemConfigureFirst + 2),
                         {{kCal, 1, ""},
                          {step, times, ""},
                          {kCal, 1, ""},
                          {kUp, type, ""},
                          {kEnter, 1, ""},
                          {kCal, 1, ""},
                          {kType, 1, text},
                          {kEnter, 1, ""}},
                         leave};
        case 1:
            return Visit{
                ItemIndex(kItemConfigureFirst + 1),
                {{kCal, 1, ""}, {step, times, ""}, {kEnter, 1, ""}, {kEnter, 1, ""}, {kType, 1, text}, {kEnter, 1, ""}},
                leave};
        case 2:
            return Visit{ItemIndex(kItemPidTune),
                         {{step, times, ""}, {kEnter, 1, ""}, {kType, 1, text}, {kEnter, 1, ""}},
                         leave};
        case 3:
            // "Channel Select" (the first field), or "Parameter" after CAL.
            return Visit{
                ItemIndex(kItemChannelSetup), {{kCal, static_cast<uint8_t>(type % 2), ""}, {step, times, ""}}, leave};
        default:
            return Visit{item, {}, leave};
    }
}

rc::Gen<KeepDropCase> GenCase() {
    auto item = Among<uint8_t>(0, static_cast<uint8_t>(SettingsItems().size()));
    auto anyVisit = rc::gen::apply(
        [](uint8_t i, std::vector<Press> p, uint8_t leave) {
            return Visit{i, p, leave};
        },
        item, GenPresses(), Among<uint8_t>(0, kLeaveWays));
    auto routeVisit = rc::gen::apply(RouteVisit, Among<uint8_t>(0, 5), item, Among<uint8_t>(0, 4), Among<uint8_t>(1, 5),
                                     GenNumber(), Among<uint8_t>(0, kLeaveWays));
    auto visit = rc::gen::weightedOneOf<Visit>({{1, anyVisit}, {1, routeVisit}});
    auto visits = rc::gen::nonEmpty(UpTo<std::vector<Visit>>(3, visit));
    // The sensor's alarms are the users a change on another page may take a relay from unseen.
    auto user = rc::gen::weightedElement<uint8_t>(
        {{2, kNobody}, {2, kAlarm}, {2, kCleaning}, {1, kSetPoint1}, {1, kSetPoint2}, {3, kLifetime}, {1, kPidPulses}});
    return rc::gen::apply(
        [](uint8_t model, uint8_t channel, uint8_t kindA, uint8_t user1, uint8_t user2, std::vector<Visit> v) {
            // A function has one relay; the set points and the PID's two pulse outputs may have both.
            if (user2 == user1 && user1 != kPidPulses) user2 = kNobody;
            return KeepDropCase{model, channel, kindA, {user1, user2}, v};
        },
        Among<uint8_t>(0, kModelCount), Among<uint8_t>(0, 2), Among<uint8_t>(1, 8), user, user, visits);
}

// ---- Set-up --------------------------------------------------------------------------------------

// The relays' users as the case says, everything else that could switch them without one; the
// cleaning never runs, the PID is off. Stored as the settings modules store themselves.
void GiveRelays(const KeepDropCase& c) {
    g_AlarmSettings.relay = kAlarmRelayNone;
    g_CleanSettings.relay = kRelayNone;
    g_CleanSettings.interval = 0.0f;
    for (uint8_t& relay : g_SetPointSettings.relay) relay = kRelayNone;
    for (SlotMonitor& m : g_SlotSettings.monitor) m.output = kRelayNone;
    for (SlotCycle& k : g_SlotSettings.cycle) k.output = kRelayNone;
    g_PidSettings.relayPositive = g_PidSettings.relayNegative = kRelayNone;
    g_PidSettings.source = kPidSourceOff;
    for (uint8_t r = 0; r < 2; ++r) {
        switch (c.user[r]) {
            case kAlarm:
                g_AlarmSettings.relay = r;
                break;
            case kCleaning:
                g_CleanSettings.relay = r;
                break;
            case kSetPoint1:
            case kSetPoint2: {
                uint32_t i = c.user[r] - kSetPoint1;
                g_SetPointSettings.source[i] = static_cast<uint8_t>(i);
                g_SetPointSettings.relay[i] = r;
                break;
            }
            case kLifetime:
                g_SlotSettings.monitor[0] = SlotMonitor{0, 0, r};
                break;
            case kPidPulses:
                (r == 0 ? g_PidSettings.relayPositive : g_PidSettings.relayNegative) = r;
                break;
            default:
                break;
        }
    }
    uint32_t status = 0;
    Alarm_SaveSettings(&status);
    Clean_SaveSettings(&status);
    SetPoint_SaveSettings(&status);
    Settings_StoreSlots(&status);
    Pid_SaveSettings(&status);
    g_CurrentChannel = c.channel;
    Vdx_SaveSelectedChannel(&status);
}

// Channel A's kind chosen on "Channel Setup" and kept.
void ChooseKindA(uint8_t kind) {
    TreeItem setup{};
    for (const TreeItem& item : SettingsItems()) {
        if (item.id == kItemChannelSetup) setup = item;
    }
    ASSERT_TRUE(OpenByKeys(setup));
    for (int i = 0; i < 2 && g_PageEdit.values[0] != 0; ++i) ui_test::Press(kKeyUp);
    ui_test::Press(kKeyCal);
    for (int i = 0; i < 10 && g_PageEdit.values[2] != kind; ++i) ui_test::Press(kKeyUp);
    ASSERT_EQ(g_PageEdit.values[2], kind);
    ui_test::EnterAndSave();
}

void SetUp(const KeepDropCase& c) {
    plug_test::BootOnChannelB();
    PlugAndSettle(c.model, false);
    if (c.kindA != 1) ChooseKindA(c.kindA);
    GiveRelays(c);
    Restart(c.model);
}

// ---- Values taken by ENTER -------------------------------------------------------------------

// Value pages whose lines are numbers read from their settings and written back to them.
bool ReadsBack(uint32_t page) {
    static const uint32_t kPages[] = {
        kValuePageRelay,         kValuePageAlarmRelay,    kValuePageStc,           kValuePageCleaning,
        kValuePageCalPressure,   kValuePageSalinity,      kValuePageSetPointRange, kValuePageOutputRange,
        kValuePageSetPointValue, kValuePageRefTemp,       kValuePagePid,           kValuePagePropLimits,
        kValuePagePropLimits2,   kValuePageMaint,         kValuePageMaint2,        kValuePageAct,
        kValuePageCo2,           kValuePageTotalPressure, kValuePageToff,          kValuePagePolarization,
        kValuePageSampling,      kValuePageO2Conditions,  kValuePageRelayAbsolute, kValuePageProcPressure,
        kValuePageAnalogInput,   kValuePageDamping,       kValuePageO2Pressure};
    for (uint32_t p : kPages) {
        if (p == page) return true;
    }
    return false;
}

struct Shown {
    bool valid = false;
    uint32_t page = 0;
    uint8_t item = 0;
    bool has[2] = {false, false};
    float value[2] = {0.0f, 0.0f};
    float place[2] = {1.0f, 1.0f};  // the value of the last place shown
    std::string text[2];
};

// The numbers a value page shows, as ENTER reads them (a point typed anew replaces the old one).
Shown ShownValues() {
    Shown s;
    if (Menu_TopScreen() != kScreenValuePage || g_DisplayMode != kKeyModeMenu || !ReadsBack(g_ValuePageNumber))
        return s;
    s.valid = true;
    s.page = g_ValuePageNumber;
    s.item = ValuePage_EditItem(s.page);
    for (uint32_t line = 0; line < 2; ++line) {
        if (g_ValuePage->width[line] == 0 || ValuePage_ValueColumn(s.page, line, g_Language) == 0) continue;
        if (s.page == kValuePageRefTemp && line == 1 && g_ValuePageSelector != 0) continue;
        EditLine edit = g_EditLines[line];
        NumEdit_MoveDecimalPoint(edit.text, g_ValuePage->width[line], &edit.point);
        s.text[line] = edit.text;
        s.has[line] = Util_ParseDecimal(edit.text, &s.value[line]) != 0;
        const char* point = std::strchr(edit.text, '.');
        for (const char* c = point != nullptr ? point + 1 : edit.text + s.text[line].size(); *c >= '0' && *c <= '9';
             ++c) {
            s.place[line] /= 10.0f;
        }
    }
    return s;
}

// What the page holds now for the same item, in the units it shows.
void HeldValues(const Shown& s, float* held) {
    int8_t choices[2] = {g_ValuePageChoice[0], g_ValuePageChoice[1]};
    uint8_t relay = g_EditRelay, selector = g_ValuePageSelector, item = ValuePage_EditItem(s.page);
    ValuePage_SetEditItem(s.page, s.item);
    ValuePage_Load(s.page, held);
    uint8_t code = 30, prefix = kPrefixNone;
    ValuePage_RangeUnit(s.page, &code, &prefix);
    ValuePage_SetEditItem(s.page, item);
    g_ValuePageChoice[0] = choices[0];
    g_ValuePageChoice[1] = choices[1];
    g_EditRelay = relay;
    g_ValuePageSelector = selector;
    bool range = s.page == kValuePageSetPointRange || s.page == kValuePageOutputRange ||
                 s.page == kValuePageSetPointValue || (s.page >= kValuePagePid && s.page <= kValuePagePropLimits2);
    for (uint32_t line = 0; range && line < 2; ++line) held[line] = ValuePage_ToChannelUnit(held[line], prefix);
}

// The values value pages took on a visit, the last one per page and item.
using Taken = std::vector<Shown>;

// How the value the page holds differs from what it showed; empty when it holds it.
std::string HeldDiff(const Shown& s) {
    float held[2] = {0.0f, 0.0f};
    HeldValues(s, held);
    // The pair of a range is kept in order, whichever line took which end.
    bool pair = s.page == kValuePageSetPointRange || s.page == kValuePageOutputRange;
    if (pair && s.has[0] && s.has[1] && (s.value[0] < s.value[1]) != (held[0] < held[1])) std::swap(held[0], held[1]);
    for (uint32_t line = 0; line < 2; ++line) {
        // Within the last place the line showed: a value left as shown keeps its own digits.
        float tolerance = s.place[line] * 0.5001f + 1e-5f * std::fabs(s.value[line]);
        if (s.has[line] && !(std::fabs(held[line] - s.value[line]) <= tolerance)) {
            return "value page " + std::to_string(s.page) + " line " + std::to_string(line) + " showed \"" +
                   s.text[line] + "\" at ENTER and holds " + std::to_string(held[line]);
        }
    }
    return "";
}

void ExpectHeld(const Shown& s, const char* when) { EXPECT_EQ(HeldDiff(s), "") << when; }

// ENTER; a value page that takes its values (moves on) holds what it showed.
void Enter(Taken* taken) {
    Shown s = ShownValues();
    ui_test::Press(kKeyEnter);
    if (!s.valid || (Menu_TopScreen() == kScreenValuePage && g_ValuePageNumber == s.page)) return;
    ExpectHeld(s, "then");
    for (Shown& t : *taken) {
        if (t.page == s.page && t.item == s.item) t.valid = false;
    }
    taken->push_back(s);
}

// Pages whose choices change the measurement that values typed later are for: the measurement a
// set point watches, the display lines, an output's line, the channel's kind, the PID's line.
bool ChoosesMeasurement() {
    switch (Menu_TopScreen()) {
        case kScreenLineSetup:
        case kScreenPidTune:
            return true;
        case kScreenParamPage:
            switch (g_PageEdit.page) {
                case kParamPageSetPoint:
                case kParamPageDisplayLines:
                case kParamPageOutputMeasurement:
                case kParamPageOutputOfSetPoint:
                case kParamPageSetPointOfOutput:
                case kParamPageChannelSelect:
                    return true;
                default:
                    return false;
            }
        default:
            return false;
    }
}

// The number typed from where the cursor stands on a value page, CAL between the characters.
void Type(const std::string& text) {
    if (Menu_TopScreen() != kScreenValuePage || g_DisplayMode != kKeyModeMenu) return;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i > 0) ui_test::Press(kKeyCal);
        int32_t at = g_ValuePageCursor;
        if (at < 0 || at >= static_cast<int32_t>(g_ValuePage->width[g_ValuePageLine])) return;
        char* line = g_EditLines[g_ValuePageLine].text;
        for (int k = 0; k < 16 && line[at] != text[i]; ++k) ui_test::Press(kKeyUp);
        if (line[at] != text[i]) return;
    }
}

// Returns whether the action stepped a value or choice.
bool Act(const Press& p, Taken* taken) {
    switch (p.action) {
        case kEnter:
            Enter(taken);
            return false;
        case kType:
            Type(p.text);
            return true;
        case kUp:
        case kInfo:
            // A measurement chosen anew brings its defaults: what was taken for the old one goes.
            if (ChoosesMeasurement()) taken->clear();
            ui_test::Press(kKeys[p.action]);
            return true;
        default:
            ui_test::Press(kKeys[p.action]);
            return false;
    }
}

// What the visits of a case came to, for the run's summary.
std::set<std::string> g_Outcomes;

// ---- One visit --------------------------------------------------------------------------------------

struct Open {
    const Picture& before;
    size_t frames;
    bool steady;  // the relays follow the generated settings alone
    void Untouched() const {
        if (steady) {
            EXPECT_EQ(g_RelayBits.load(), before.relays) << "a relay switched while a page was open";
        }
        EXPECT_EQ(WritesSince(frames), "") << "the sensor or the sensor board was changed while a page was open";
    }
};

// ENTER through the pages, and from the tree its leave marks, until "Save Changes" asks; false
// when the measurement screen came back without the question, or when ENTER comes round to a page
// as it was (a page that refuses what it shows, such as a set point's range whose ends are equal
// or a limit shown as a fill): the user leaves it by ESC.
bool ReachSaveQuestion(const Open& open, Taken* taken) {
    std::map<std::string, int> seen;
    for (int i = 0; i < 40; ++i) {
        uint8_t top = Menu_TopScreen();
        if (top == kScreenSelectMode3) return true;
        if (top == kScreenHome) return false;
        if (top == kScreenTreeMenu) {
            for (int k = 0; k < 3 && Menu_TreeLineState() != 2; ++k) ui_test::Press(kKeyCal);
        } else if (!OnSettingsPage()) {
            ADD_FAILURE() << "ENTER led off the settings pages to screen " << int(top);
            return false;
        }
        if (top != kScreenTreeMenu && ++seen[PageRows() + std::to_string(top)] > 2) {
            ui_test::EscapeKey();
            return false;
        }
        Enter(taken);
        open.Untouched();
    }
    ADD_FAILURE() << "no \"Save Changes\" after 40 ENTER";
    return false;
}

std::string RowsOpened(const TreeItem& item) {
    std::string rows = OpenByKeys(item) ? PageRows() : "not offered";
    ui_test::EscapeKey();
    EXPECT_TRUE(SettleHome());
    return rows;
}

// The channel's set-up pages ("Quick Setup", "Channel Setup") show the display lines as lines of
// the channel they set up, and ENTER gives them to it: a line of the other channel changes hands
// though nothing was stepped.
bool GivesLinesAway(const TreeItem& item) {
    if (item.id != kItemQuickSetup && item.id != kItemChannelSetup) return false;
    for (uint8_t channel : g_MeasLines.channel) {
        if (channel != g_CurrentChannel) return true;
    }
    return false;
}

// The pages that change a display line's measurement give the line to the channel they set up,
// which is the channel shown after "Save Changes": a line that changed shows that channel.
void ExpectLinesOfTheChannelSetUp(const MeasLineConfig& was) {
    for (uint32_t slot = 0; slot < 4; ++slot) {
        bool changed = g_MeasLines.channel[slot] != was.channel[slot] || g_MeasLines.kind[slot] != was.kind[slot];
        if (changed) {
            EXPECT_EQ(g_MeasLines.channel[slot], g_CurrentChannel)
                << "line " << slot << " shows quantity " << int(g_MeasLines.kind[slot]) << " of the other channel";
        }
    }
}

void ExpectNothingWritten(Picture before, const Picture& after) {
    // Channel A's auto-configure byte: no start reads it (channel A's flag loads as 0), and a save
    // of channel A's set-up writes that 0 over the factory 1.
    constexpr size_t kStoreAutoConfigureA = 458;
    before.store[kStoreAutoConfigureA] = after.store[kStoreAutoConfigureA];
    EXPECT_EQ(StoreDiff(before, after), "") << "a page left unchanged wrote";
    EXPECT_EQ(SensorDiff(before, after), "") << "a page left unchanged wrote";
}

// Every page of the configuration opened, ENTER through it and "Yes & Exit": nothing is written.
void LeaveEveryPageUnchanged() {
    for (const TreeItem& item : SettingsItems()) {
        SCOPED_TRACE(ItemPath(item) + " left unchanged");
        Picture before = Take();
        Open open{before, Rig_SentFrames().size(), true};
        bool givesLinesAway = GivesLinesAway(item);
        Taken taken;
        bool asked = OpenByKeys(item) && ReachSaveQuestion(open, &taken);
        if (asked) {
            for (int k = 0; k < 3 && g_MenuTreeView.item != 0; ++k) ui_test::Press(kKeyUp);
            ui_test::Press(kKeyEnter);
        } else {
            ui_test::EscapeKey();
        }
        EXPECT_TRUE(SettleHome());
        if (asked && !givesLinesAway) ExpectNothingWritten(before, Take());
        ExpectLinesOfTheChannelSetUp(before.lines);
    }
}

// Returns whether the visit kept its changes.
bool RunVisit(const KeepDropCase& c, const Visit& visit, bool steady) {
    const TreeItem& item = SettingsItems()[visit.item % SettingsItems().size()];
    SCOPED_TRACE(ItemPath(item));
    Picture before = Take();
    bool givesLinesAway = GivesLinesAway(item);
    Open open{before, Rig_SentFrames().size(), steady};
    if (!OpenByKeys(item)) {
        g_Outcomes.insert("not offered");
        ui_test::EscapeKey();
        EXPECT_TRUE(SettleHome());
        return false;
    }
    std::string opened = PageRows();
    bool stepped = false;
    Taken taken;
    for (const Press& p : visit.presses) {
        for (uint8_t t = 0; t < p.times && OnSettingsPage(); ++t) {
            stepped = Act(p, &taken) || stepped;
            open.Untouched();
        }
    }
    uint8_t top = Menu_TopScreen();
    EXPECT_TRUE(OnSettingsPage() || top == kScreenTreeMenu || top == kScreenSelectMode3 || top == kScreenHome)
        << "keys led off the settings pages to screen " << int(top);
    bool kept = false;
    switch (visit.leave) {
        case kEscape:
            ui_test::EscapeKey();
            break;
        case kTimeOut:
            for (int s = 0; s < 250 && Menu_TopScreen() != kScreenHome; ++s) {
                Rig_AdvanceMs(1000);
                open.Untouched();
            }
            break;
        default:
            if (ReachSaveQuestion(open, &taken)) {
                uint8_t want = visit.leave == kYesExit ? 0 : 2;
                for (int k = 0; k < 3 && g_MenuTreeView.item != want; ++k) ui_test::Press(kKeyUp);
                EXPECT_EQ(g_MenuTreeView.item, want);
                open.Untouched();
                ui_test::Press(kKeyEnter);
                kept = visit.leave == kYesExit;
            }
            break;
    }
    EXPECT_TRUE(SettleHome()) << "not back on the measurement screen after " << kLeaveNames[visit.leave];
    Picture after = Take();
    if (!kept) {
        g_Outcomes.insert("dropped");
        EXPECT_EQ(StoreDiff(before, after), "");
        EXPECT_EQ(LiveDiff(before, after), "");
        EXPECT_EQ(SensorDiff(before, after), "");
        if (steady) {
            EXPECT_EQ(after.relays, before.relays);
            EXPECT_FLOAT_EQ(after.outputs[0], before.outputs[0]);
            EXPECT_FLOAT_EQ(after.outputs[1], before.outputs[1]);
        }
        EXPECT_EQ(RowsOpened(item), opened) << "the page opened again";
        return false;
    }
    g_Outcomes.insert(stepped ? "kept" : "kept unchanged");
    for (const Shown& t : taken) {
        if (t.valid) ExpectHeld(t, "after \"Save Changes\"");
    }
    if (!stepped && !givesLinesAway) ExpectNothingWritten(before, after);
    ExpectLinesOfTheChannelSetUp(before.lines);
    // Channel B's sensor gives back at each connection what it keeps itself (the optical sensor
    // its calibration's pressure and humidity, a pH sensor its isothermal point), and channel B
    // takes it: what a start takes from the sensor is taken here first.
    if (c.model != 0) {
        Reconnect(c.model);
        after = Take();
        for (Shown& t : taken) t.valid = t.valid && HeldDiff(t).empty();
    }
    std::string rows = RowsOpened(item);
    Restart(c.model);
    Picture again = Take();
    TakeSensorInUse(&after, again);
    EXPECT_EQ(StoreDiff(after, again), "") << "over a restart";
    EXPECT_EQ(LiveDiff(after, again), "") << "over a restart";
    // A start reads the sensor anew: its files are what it keeps.
    again.image = after.image;
    EXPECT_EQ(SensorDiff(after, again), "") << "over a restart";
    for (const Shown& t : taken) {
        if (t.valid) ExpectHeld(t, "after a restart");
    }
    EXPECT_EQ(RowsOpened(item), rows) << "the page opened again after a restart";
    return true;
}

// Returns what the visits came to, for the run's summary.
std::string CheckKeepOrDrop(const KeepDropCase& c) {
    g_Outcomes.clear();
    SetUp(c);
    LeaveEveryPageUnchanged();
    bool steady = true;
    for (size_t v = 0; v < c.visits.size(); ++v) {
        SCOPED_TRACE("visit " + std::to_string(v + 1));
        if (RunVisit(c, c.visits[v], steady)) steady = false;
    }
    std::string outcomes;
    for (const std::string& o : g_Outcomes) outcomes += (outcomes.empty() ? "" : ", ") + o;
    return outcomes;
}

// A case by its parts: the model by name, the items by their ids.
uint8_t ModelNamed(const char* name) {
    for (uint8_t m = 0; m < kModelCount; ++m) {
        if (std::strcmp(kModels[m].name, name) == 0) return m;
    }
    return 0;
}
Visit At(uint32_t item, std::vector<Press> presses, uint8_t leave) { return Visit{ItemIndex(item), presses, leave}; }
constexpr uint32_t kItemSetPoints = kItemConfigureFirst + 2;

}  // namespace

RC_GTEST_PROP(KeepOrDrop, PagesKeepWhatIsSavedAndDropTheRest, ()) { RC_TAG(CheckKeepOrDrop(*GenCase())); }

// Cases the property found, each kept with the fault it showed.
// A dropped "Channel Select" took the sensor alarm's relay from it in use.
TEST(KeepOrDrop, DroppedChannelChoiceLeavesTheAlarmsRelays) {
    CheckKeepOrDrop({0, 1, 1, {kAlarm, kLifetime}, {At(kItemChannelSetup, {{kInfo, 1, ""}}, kEscape)}});
}
// A set point's limit typed after its measurement was chosen became 0 at "Save Changes".
TEST(KeepOrDrop, LimitTypedForANewMeasurementIsKept) {
    CheckKeepOrDrop({0, 0, 1, {kLifetime, kCleaning}, {RouteVisit(0, 0, 0, 1, "3", kYesExit)}});
}
// ENTER through the oxygen page wrote its 1013.0 mbar back as the 1012.98 that 759.8 mmHg is.
TEST(KeepOrDrop, OxygenPressuresLeftAsShownStay) {
    CheckKeepOrDrop({0, 0, 5, {kNobody, kNobody}, {At(kItemCompFirst, {}, kYesExit)}});
}
// "Channel Setup" showed a "ppmO2 G" sensor's channel as "Auto", and ENTER made it so.
TEST(KeepOrDrop, ChannelSetupKeepsAGaugeSensorsKind) {
    CheckKeepOrDrop({ModelNamed("SelvoD14"), 1, 1, {kNobody, kNobody}, {At(kItemChannelSetup, {}, kYesExit)}});
}
// A cycle limit reached the sensor's diagnostics at ENTER, kept when the change was dropped.
TEST(KeepOrDrop, DroppedCycleLimitIsNotKept) {
    CheckKeepOrDrop({ModelNamed("SelvoK11"),
                     1,
                     1,
                     {kNobody, kNobody},
                     {At(kItemCipCycleLimit, {{kInfo, 1, ""}, {kEnter, 1, ""}}, kNoExit)}});
}
// The display-line pages gave a line the set-up channel's quantity but left it the other channel's.
TEST(KeepOrDrop, LinesGivenToTheChannelSetUp) {
    CheckKeepOrDrop({ModelNamed("SelvoC11"), 1, 3, {kNobody, kNobody}, {At(kItemQuickSetup, {}, kEscape)}});
}
