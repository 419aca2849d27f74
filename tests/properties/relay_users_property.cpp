// One user per relay: after any sequence of visits, by keys, to the pages that give relays (set
// points 1 to 6, the PID's mode, the alarm and the cleaning, the sensor monitoring alarms of a
// digital sensor) and to "Channel Setup", each left by "Yes & Exit", "Yes & $", "No & Exit", ESC
// or the time-out, with any answer to each "Stop OC" question, and restarts between them: each
// relay has at most one user, live and stored, the live settings are the stored ones, and after a
// restart too. A page asks "Stop OC" exactly when the relay it is given has another user; "Yes"
// gives the relay to the page that asked and takes it from every other user, "No" leaves it with
// them and the page that asked without it; another channel or kind saved on "Channel Setup" gives
// relay 1 to the cleaning and relay 2 to the alarm alone; a dropped visit changes nothing.
#include <array>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "../digital_sensor/plug_support.h"
#include "../ui/ui_support.h"
#include "outputs/alarms.h"
#include "outputs/clean.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "outputs/setpoint.h"
#include "property_support.h"
#include "settings/settings_sensor.h"
#include "sim/sim_inputs.h"
#include "ui/param_page.h"
#include "ui/param_pages_table.h"

using namespace ui_test;

namespace {

using prop::OneOf;

constexpr uint8_t kNone = kRelayNone;

// Who holds which relay (kNone: none). A set point counts only while it watches a line, and the
// set points are one user among themselves (they share a relay). The PID has its positive and
// negative outputs; the sensor monitoring has six alarms (lifetime, maintenance, calibration
// timer, then the CIP, SIP and autoclave counters).
struct Users {
    uint8_t alarm, cleaning;
    std::array<uint8_t, 2> pid;
    std::array<uint8_t, kSetPointCount> setPoint;
    std::array<uint8_t, 6> monitor;
    bool operator==(const Users&) const = default;
};

// Store offsets of the relay bytes: the alarm's, the cleaning's, each set point's line and relay,
// the PID block's two pulse relays, the monitoring alarms' outputs.
constexpr uint32_t kStoreAlarmRelay = 1292, kStoreCleanRelay = 1198;
constexpr uint32_t kStoreSetPointSource = 1042, kStoreSetPointRelay = 1048;
constexpr uint32_t kStorePidRelays = 1537 + 8;
constexpr uint32_t kStoreMonitorOutputs[6] = {388, 394, 400, 413, 425, 437};

uint8_t Relay(uint8_t byte) { return byte < kNone ? byte : kNone; }

Users Stored() {
    std::vector<uint8_t> b = Rig_StoreBytes();
    Users u{};
    u.alarm = Relay(b.at(kStoreAlarmRelay));
    u.cleaning = Relay(b.at(kStoreCleanRelay));
    for (uint32_t i = 0; i < 2; ++i) u.pid[i] = Relay(b.at(kStorePidRelays + i));
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        u.setPoint[i] = b.at(kStoreSetPointSource + i) < 4 ? Relay(b.at(kStoreSetPointRelay + i)) : kNone;
    }
    for (uint32_t i = 0; i < 6; ++i) u.monitor[i] = Relay(b.at(kStoreMonitorOutputs[i]));
    return u;
}

Users Live() {
    Users u{};
    u.alarm = Relay(g_AlarmSettings.relay);
    u.cleaning = Relay(g_CleanSettings.relay);
    u.pid = {Relay(g_PidSettings.relayPositive), Relay(g_PidSettings.relayNegative)};
    for (uint32_t i = 0; i < kSetPointCount; ++i) {
        u.setPoint[i] = g_SetPointSettings.source[i] < 4 ? Relay(g_SetPointSettings.relay[i]) : kNone;
    }
    for (uint32_t i = 0; i < 3; ++i) {
        u.monitor[i] = Relay(g_SlotSettings.monitor[i].output);
        u.monitor[3 + i] = Relay(g_SlotSettings.cycle[i].output);
    }
    return u;
}

// A user by number: 0 alarm, 1 cleaning, 2 and 3 the PID's outputs, 4 the set points, 5 to 10 the
// monitoring alarms. Each visits its relays through one call.
constexpr int kSetPoints = 4, kUserCount = 11;
template <typename F>
void EachUser(Users& u, F f) {
    f(0, u.alarm);
    f(1, u.cleaning);
    f(2, u.pid[0]);
    f(3, u.pid[1]);
    for (uint8_t& r : u.setPoint) f(kSetPoints, r);
    for (int i = 0; i < 6; ++i) f(5 + i, u.monitor[i]);
}
const char* UserName(int user) {
    static const char* const kNames[kUserCount] = {"alarm",      "cleaning", "PID+",        "PID-",
                                                   "set points", "lifetime", "maintenance", "calibration timer",
                                                   "CIP",        "SIP",      "autoclave"};
    return kNames[user];
}

// The users other than this one that hold the relay.
bool OthersHold(Users u, int user, uint8_t relay) {
    bool held = false;
    EachUser(u, [&](int who, uint8_t& r) { held = held || (who != user && r == relay); });
    return relay < kNone && held;
}

// Each relay's users, or the first relay with two.
std::string TwoUsers(Users u) {
    std::string found;
    for (uint8_t relay = 0; relay < kNone; ++relay) {
        std::array<bool, kUserCount> holds{};
        EachUser(u, [&](int who, uint8_t& r) { holds[who] = holds[who] || r == relay; });
        std::string names;
        int n = 0;
        for (int who = 0; who < kUserCount; ++who) {
            if (holds[who]) names += std::string(n++ ? ", " : "") + UserName(who);
        }
        if (n > 1 && found.empty()) found = "relay " + std::to_string(relay + 1) + ": " + names;
    }
    return found;
}

// The other user of the relay as the question names it below "Stop OC #n on", its row filled
// with blanks to the answer's column.
std::string Holder(Users u, int asking, uint8_t relay) {
    static const char* const kNames[kUserCount] = {"Alarm",     "Clean",     "PID", "PID", "SP",       "Lifetime I",
                                                   "T t Maint", "Adapt Cal", "CIP", "SIP", "AutoClave"};
    std::string name;
    EachUser(u, [&](int who, uint8_t& r) {
        if (who != asking && r == relay && name.empty()) name = kNames[who];
    });
    for (uint32_t i = 0; i < kSetPointCount && name == "SP"; ++i) {
        if (u.setPoint[i] == relay) name += std::to_string(i + 1);
    }
    return name + std::string(19 - name.size(), ' ');
}

void showValue(const Users& u, std::ostream& os) {
    auto r = [](uint8_t v) { return v < kNone ? std::to_string(v + 1) : std::string("_"); };
    os << "alarm " << r(u.alarm) << ", cleaning " << r(u.cleaning) << ", PID " << r(u.pid[0]) << r(u.pid[1])
       << ", set points ";
    for (uint8_t v : u.setPoint) os << r(v);
    os << ", monitoring ";
    for (uint8_t v : u.monitor) os << r(v);
}
void PrintTo(const Users& u, std::ostream* os) { showValue(u, *os); }

// ---- The generated sequence ---------------------------------------------------------------------

enum class Page : uint8_t { SetPoint, Pid, Alarm, Cleaning, Monitor, ChannelSetup, Restart };
enum class End : uint8_t { Save, SaveAndStay, NoAndExit, Escape, TimeOut, EscapeOnThePage };

struct Visit {
    Page page;
    uint8_t item;             // the set point (0 to 5), the monitoring alarm (0 to 2), Channel Setup's field (0, 1)
    uint8_t steps;            // UP on the relay field (0 to 2); the PID: bit 0 switches its positive, bit 1 its
                              // negative output's relay; Channel Setup: UP on its field (1 to 3)
    std::array<bool, 2> yes;  // the answers to the questions it meets
    End end;
    bool marker;  // ENTER on the relay page's leave marker, not in its field
};

struct RelayUsersCase {
    bool sensor;  // a SelvoP11 on channel B, which is shown
    // Each relay's user in the store at the start: 0 none, 1 the alarm, 2 the cleaning, 3 the PID,
    // 4 to 9 set point 1 to 6, 10 to 12 a monitoring alarm (with the sensor).
    std::array<uint8_t, 2> first;
    std::vector<Visit> visits;
};

void showValue(const RelayUsersCase& c, std::ostream& os) {
    static const char* const kPages[] = {"SP", "PID", "Alarm", "Clean", "Monitoring", "Channel Setup", "restart"};
    static const char* const kEnds[] = {"Yes & Exit", "Yes & $", "No & Exit", "ESC", "time-out", "ESC on the page"};
    static const char* const kFirst[] = {
        "none",     "alarm",       "cleaning",         "PID", "SP1", "SP2", "SP3", "SP4", "SP5", "SP6",
        "lifetime", "maintenance", "calibration timer"};
    os << (c.sensor ? "SelvoP11 on channel B" : "no sensor") << "; relay 1 " << kFirst[c.first[0]] << ", relay 2 "
       << kFirst[c.first[1]];
    for (const Visit& v : c.visits) {
        os << "; " << kPages[static_cast<int>(v.page)];
        if (v.page == Page::Restart) continue;
        if (v.page == Page::SetPoint || v.page == Page::Monitor) os << int(v.item + 1);
        if (v.page == Page::ChannelSetup) os << (v.item == 0 ? ", Channel Select" : ", Parameter");
        os << " +" << int(v.steps) << (v.marker ? " (marker)" : "") << (v.yes[0] ? " Yes" : " No")
           << (v.yes[1] ? "/Yes" : "/No") << ", " << kEnds[static_cast<int>(v.end)];
    }
}

// ---- Driving the pages --------------------------------------------------------------------------

std::string s_Folder;
bool s_Sensor;
constexpr const char* kSensorFile = "PH_SelvoP11_1.txt";

// The store bytes that give each relay its first user, and no other.
std::vector<std::pair<uint32_t, uint8_t>> FirstUsers(const RelayUsersCase& c) {
    std::vector<std::pair<uint32_t, uint8_t>> b = {{kStoreAlarmRelay, kNone}, {kStoreCleanRelay, kNone}};
    for (uint32_t i = 0; i < kSetPointCount; ++i) b.push_back({kStoreSetPointRelay + i, kNone});
    for (uint8_t r = 0; r < 2; ++r) {
        uint8_t u = c.first[r];
        if (u == 1) b.push_back({kStoreAlarmRelay, r});
        if (u == 2) b.push_back({kStoreCleanRelay, r});
        if (u >= 4 && u <= 9) {
            b.push_back({kStoreSetPointSource + u - 4, 0});
            b.push_back({kStoreSetPointRelay + u - 4, r});
        }
        if (u >= 10) b.push_back({kStoreMonitorOutputs[u - 10], r});
    }
    return b;
}

void Start(const RelayUsersCase& c) {
    bool sensor = c.sensor;
    s_Sensor = sensor;
    std::vector<std::pair<uint32_t, uint8_t>> bytes = FirstUsers(c);
    if (sensor) {
        plug_test::BootOnChannelB(bytes);
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        plug_test::Plug(kSensorFile, 1);
        EXPECT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
        EXPECT_TRUE(plug_test::RunUntilState(kPlugIdle, 6000));
        Rig_AdvanceMs(8000);
    } else {
        Rig_Reset(Rig_MakeTempFolder());
        Rig_WriteFactoryStore();
        std::vector<uint8_t> b = Rig_StoreBytes();
        for (const auto& [offset, value] : bytes) b[offset] = value;
        Rig_WriteStoreBytes(b);
        Rig_UseNoLibrary();
        Rig_Boot();
        Rig_AdvanceMs(1100);
    }
    s_Folder = std::filesystem::path(Rig_StorePath()).parent_path().string();
    if (c.first[0] == 3 || c.first[1] == 3) {
        // The PID on its relays, as its mode page leaves it (a shortcut: its keys are a visit).
        g_PidSettings.relayPositive = c.first[0] == 3 ? 0 : kNone;
        g_PidSettings.relayNegative = c.first[1] == 3 ? 1 : kNone;
        uint32_t status = 0;
        Pid_SaveSettings(&status);
    }
}

void Restart(bool sensor) {
    Rig_Reset(s_Folder);
    if (!sensor) Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
    if (sensor) {
        Panel_SetSimInput(1, kSimTemperatureB, 25.0f);
        Link_SelectSensorImage(1, kSensorFile, 1);
        // The sensor is known again (on channel B; channel A shown keeps it waiting).
        plug_test::RunUntilState(kPlugResume, 15000);
        plug_test::RunUntilState(kPlugIdle, 10000);
        Rig_AdvanceMs(1000);
    }
}

// The pages' questions and where they stand.
bool Asking() {
    return Menu_TopScreen() == kScreenParamPage &&
           (g_PageEdit.page == kParamPageStopRelay || g_PageEdit.page == kParamPageStopRelayAsked);
}
bool AtSaveChanges() { return Menu_TopScreen() == kScreenSelectMode3 && Row(11).rfind("Save Changes", 0) == 0; }
// The relay a page shows in a row that ends with "#n" or "# n" (or "_" for none).
uint8_t RelayShown(const std::string& row) {
    std::string::size_type at = row.rfind('#');
    if (at == std::string::npos) return 255;
    for (std::string::size_type i = at + 1; i < row.size(); ++i) {
        if (row[i] == '1' || row[i] == '2') return static_cast<uint8_t>(row[i] - '1');
        if (row[i] == '_') return kNone;
        if (row[i] != ' ') break;
    }
    return 255;
}

// One relay a page was given, and by whom.
struct Given {
    int user;
    uint8_t relay;
};

// ENTER on, answering each question as the visit says, until "Save Changes"; each question must be
// about the next relay given that another user holds, and only those are asked about.
bool EnterToSaveChanges(const Visit& v, const Users& before, const std::vector<Given>& given,
                        std::vector<bool>* asked) {
    size_t next = 0;
    int answered = 0;
    for (int i = 0; i < 16 && !AtSaveChanges(); ++i) {
        // A leave marker leads back to the menu, which asks whether to save when it is left.
        if (Menu_TopScreen() == kScreenTreeMenu) {
            Post(kActionAskSave);
            continue;
        }
        if (Asking()) {
            // The question is about the first relay given that has another user.
            while (next < given.size() && !OthersHold(before, given[next].user, given[next].relay)) ++next;
            EXPECT_LT(next, given.size()) << "asked \"" << Row(11) << "\" about no relay another user holds";
            if (next >= given.size()) return false;
            EXPECT_EQ(Row(11), "Stop OC #" + std::to_string(given[next].relay + 1) + " on");
            EXPECT_EQ(Row(12).substr(0, 19), Holder(before, given[next].user, given[next].relay)) << "names the user";
            (*asked)[next++] = true;
            if (v.yes[answered++ % 2]) Press(kKeyUp);
            Press(kKeyEnter);
            continue;
        }
        Press(kKeyEnter);
    }
    EXPECT_TRUE(AtSaveChanges()) << "the chain ends at \"Save Changes\": " << Row(11) << "|" << Row(12);
    return AtSaveChanges();
}

// MENU and the items; false (and home again) where one is not offered.
bool Open(std::initializer_list<const char*> items) {
    Press(kKeyMenu);
    for (const char* item : items) {
        if (Menu_TopScreen() != kScreenTreeMenu || !Choose(item)) {
            Post(kEventHome);
            return false;
        }
    }
    return true;
}

// Leaves by the visit's way; true when the visit's changes were kept.
bool Finish(End end) {
    bool kept = end == End::Save || end == End::SaveAndStay;
    switch (end) {
        case End::Save:
            Press(kKeyEnter);
            break;
        case End::SaveAndStay:
            Press(kKeyUp);
            EXPECT_EQ(Row(11), "Save Changes Yes & $");
            Press(kKeyEnter);
            Rig_AdvanceMs(3000);
            EscapeKey();
            break;
        case End::NoAndExit:
            Press(kKeyInfo);
            EXPECT_EQ(Row(11), "Save Changes No & Exit");
            Press(kKeyEnter);
            break;
        case End::Escape:
        case End::EscapeOnThePage:
            EscapeKey();
            break;
        case End::TimeOut:
            Rig_AdvanceMs(241000);
            break;
    }
    for (int i = 0; i < 20 && Menu_TopScreen() != kScreenHome; ++i) Rig_AdvanceMs(500);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    Rig_AdvanceMs(1000);
    return kept;
}

// The relays the visit gives on its page, by keys; empty when its page is not offered.
std::optional<std::vector<Given>> GiveRelays(const Visit& v) {
    std::vector<Given> given;
    switch (v.page) {
        case Page::SetPoint: {
            if (!Open({"Configure", "Set Points"})) return std::nullopt;
            Step(v.item);
            // The set point watches a line and has a type, so that it is a user of its relay.
            Press(kKeyCal);
            if (g_PageEdit.values[1] == 4) Press(kKeyUp);
            Press(kKeyCal);
            if (g_PageEdit.values[3] == 0) Press(kKeyUp);
            for (int i = 0;
                 i < 4 && !(Menu_TopScreen() == kScreenParamPage && g_PageEdit.page == kParamPageSetPointRelay); ++i) {
                // The limits' page may open with its cursor where an earlier visit left it.
                if (Menu_TopScreen() == kScreenValuePage && g_ValuePageCursor == kCursorLeave) Press(kKeyCal);
                Press(kKeyEnter);
            }
            EXPECT_EQ(g_PageEdit.page, kParamPageSetPointRelay) << Row(11) << "|" << Row(12);
            Press(kKeyCal);
            Press(kKeyCal);
            Step(v.steps);
            given.push_back({kSetPoints, RelayShown(Row(12))});
            break;
        }
        case Page::Pid:
            if (!Open({"PID Setup", "Mode"})) return std::nullopt;
            Press(kKeyCal);
            Press(kKeyCal);
            if (v.steps & 1) Press(kKeyUp);
            given.push_back({2, RelayShown(Row(11).substr(0, Row(11).rfind('#')))});
            Press(kKeyCal);
            if (v.steps & 2) Press(kKeyUp);
            given.push_back({3, RelayShown(Row(11))});
            break;
        case Page::Alarm:
        case Page::Cleaning:
            if (!Open({"Configure", "Alarm/Clean"})) return std::nullopt;
            if (v.page == Page::Cleaning) Press(kKeyUp);
            Press(kKeyCal);
            Step(v.steps);
            given.push_back({v.page == Page::Alarm ? 0 : 1, RelayShown(Row(12))});
            break;
        case Page::Monitor:
            if (!Open({"Configure", "VDX Setup", "Sensor Monitoring"})) return std::nullopt;
            for (int i = 0; i < v.item; ++i) Press(kKeyEnter);
            EXPECT_EQ(g_PageEdit.page, kParamPageLifetimeAlarm + v.item);
            Press(kKeyCal);
            Press(kKeyCal);
            Step(v.steps);
            given.push_back({5 + v.item, RelayShown(Row(12))});
            break;
        default:
            break;
    }
    for (const Given& g : given) EXPECT_NE(g.relay, 255) << "the page shows its relay: " << Row(11) << "|" << Row(12);
    if (v.marker && v.page == Page::Pid) {
        // The three digits of the pulse, then the marker.
        for (int i = 0; i < 4; ++i) Press(kKeyCal);
    } else if (v.marker) {
        for (int i = 0; i < 4 && g_PageEdit.field != kParamLeaveMarker; ++i) Press(kKeyMenu);
    }
    return given;
}

void CheckRelayUsers(const RelayUsersCase& c) {
    Start(c);
    EXPECT_EQ(TwoUsers(Stored()), "") << "the start";
    for (const Visit& v : c.visits) {
        Users before = Stored();
        if (v.page == Page::Restart) {
            Restart(c.sensor);
        } else if (v.page == Page::ChannelSetup) {
            if (Open({"Configure", "Measurement", "Channel Setup"})) {
                std::string chosen = Row(11) + Row(12);
                if (v.item == 1) Press(kKeyCal);
                Step(v.steps);
                bool changed = Row(11) + Row(12) != chosen;
                std::vector<bool> none;
                if (v.end != End::EscapeOnThePage && !EnterToSaveChanges(v, before, {}, &none)) return;
                // Another channel or kind, saved: relay 1 serves the cleaning, relay 2 the alarm,
                // and nothing else has a relay.
                Users reset{1, 0, {kNone, kNone}, {}, {}};
                reset.setPoint.fill(kNone);
                reset.monitor.fill(kNone);
                if (Finish(v.end)) {
                    if (changed) {
                        EXPECT_EQ(Stored(), reset) << "a new channel or kind saved";
                    }
                } else {
                    EXPECT_EQ(Stored(), before) << "a dropped visit keeps every relay's user";
                }
            }
        } else {
            std::optional<std::vector<Given>> given = GiveRelays(v);
            if (!given) continue;
            std::vector<bool> asked(given->size(), false);
            if (v.end != End::EscapeOnThePage && !EnterToSaveChanges(v, before, *given, &asked)) return;
            // What the visit should leave: each relay given goes to its page unless another user
            // holds it and the answer was "No"; "Yes" takes it from all others.
            Users want = before;
            int answered = 0;
            for (size_t i = 0; i < given->size(); ++i) {
                const Given& g = (*given)[i];
                bool clash = OthersHold(want, g.user, g.relay);
                if (v.end != End::EscapeOnThePage) {
                    EXPECT_EQ(asked[i], clash)
                        << "\"Stop OC\" for relay " << int(g.relay + 1) << " given to " << UserName(g.user);
                }
                bool take = !clash || v.yes[answered++ % 2];
                if (take && g.relay < kNone) {
                    EachUser(want, [&](int who, uint8_t& r) {
                        if (who != g.user && r == g.relay) r = kNone;
                    });
                }
                EachUser(want, [&](int who, uint8_t& r) {
                    // The set points: only the one on the page is given the relay.
                    if (who == g.user && who != kSetPoints) r = take ? g.relay : kNone;
                });
                if (g.user == kSetPoints) want.setPoint[v.item] = take ? g.relay : kNone;
            }
            bool kept = Finish(v.end);
            Users now = Stored();
            EXPECT_EQ(now, kept ? want : before) << (kept ? "saved" : "dropped");
        }
        Users stored = Stored();
        EXPECT_EQ(TwoUsers(stored), "") << "stored";
        EXPECT_EQ(Live(), stored) << "live and stored";
    }
    Users stored = Stored();
    Restart(c.sensor);
    EXPECT_EQ(Live(), stored) << "after a restart";
    EXPECT_EQ(TwoUsers(Live()), "") << "after a restart";
}

rc::Gen<RelayUsersCase> GenRelayUsersCase() {
    using namespace rc;
    return gen::exec([] {
        RelayUsersCase c;
        c.sensor = *gen::arbitrary<bool>();
        uint8_t users = c.sensor ? 13 : 10;
        c.first[0] = *gen::inRange<uint8_t>(0, users);
        do {
            c.first[1] = *gen::inRange<uint8_t>(0, users);
        } while (c.first[1] != 0 && c.first[1] == c.first[0]);
        int n = *gen::inRange(1, 7);
        for (int i = 0; i < n; ++i) {
            Visit v{};
            v.page = *OneOf<Page>({Page::SetPoint, Page::Pid, Page::Alarm, Page::Cleaning, Page::Monitor, Page::Monitor,
                                   Page::ChannelSetup, Page::ChannelSetup, Page::Restart});
            if (v.page == Page::Monitor && !c.sensor) v.page = Page::SetPoint;
            uint8_t items = v.page == Page::SetPoint ? 6 : v.page == Page::Monitor ? 3 : 2;
            v.item = *gen::inRange<uint8_t>(0, items);
            v.steps = v.page == Page::ChannelSetup ? *gen::inRange<uint8_t>(1, 4) : *gen::inRange<uint8_t>(0, 3);
            if (v.page == Page::Pid) v.steps = *gen::inRange<uint8_t>(0, 4);
            v.yes = {*gen::arbitrary<bool>(), *gen::arbitrary<bool>()};
            v.end = *OneOf<End>(
                {End::Save, End::SaveAndStay, End::NoAndExit, End::Escape, End::TimeOut, End::EscapeOnThePage});
            v.marker = v.page != Page::ChannelSetup && *gen::arbitrary<bool>();
            c.visits.push_back(v);
        }
        return c;
    });
}

}  // namespace

RC_GTEST_PROP(RelayUsersProperty, EachRelayHasOneUser, ()) { CheckRelayUsers(*GenRelayUsersCase()); }

// The cases the property found. A Channel Setup change reset the sensor monitoring alarms' relays
// in the live settings when channel A was chosen: dropped (ESC), the live lifetime alarm had no
// relay while the store kept relay 1, and a set point then given relay 1 was not asked; saved, the
// store kept the alarm's relay 1 beside the cleaning's.
TEST(RelayUsersProperty, ChannelSetupResetsTheMonitoringRelaysOnlyWithTheRest) {
    CheckRelayUsers(
        {true,
         {10, 0},
         {{Page::ChannelSetup, 0, 1, {}, End::Escape, false}, {Page::SetPoint, 0, 1, {}, End::Save, false}}});
    CheckRelayUsers({true, {10, 0}, {{Page::ChannelSetup, 0, 1, {}, End::Save, false}}});
}
// The question named the PID as "on PID" below "Stop OC #2 on".
TEST(RelayUsersProperty, TheQuestionNamesThePid) {
    CheckRelayUsers({false, {2, 3}, {{Page::SetPoint, 0, 1, {}, End::Save, false}}});
}
