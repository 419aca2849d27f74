// Each row of "Reset VDX Counter/Timer" resets exactly what its label names and nothing else:
// for every sensor layout (a used sensor, its counts and timers part way), each row answered Yes
// or No by keys. "Reset Time to Maint" restarts the time to maintenance, "Reset CIP", "Reset SIP"
// and "Reset AutoClave" clear their counts, "Reset Lifetime Ind" restarts the lifetime indicator
// with the sensor's operating time; the optical sensor is told the same by its reset events. An
// amperometric oxygen sensor that is maintained (its time to maintenance restarted, or a new
// lifetime, which is a new sensor) starts anew: its cycle counts go to 0 and a calibration is due.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "channel_setup_walk.h"
#include "digital_sensor/sens_diag.h"
#include "property_support.h"
#include "rig_sensor.h"
#include "ui/param_page.h"

using namespace ui_test;

namespace {

// What the rows reset, and what no row resets (the adaptive calibration timer).
enum Counter { kLifetime, kTimeToMaint, kAct, kCip, kSip, kAutoclave, kOperating, kCounters };
const char* const kCounterNames[kCounters] = {
    "lifetime", "time to maintenance", "adaptive calibration timer", "CIP", "SIP", "autoclave", "operating time"};
struct ResetRow {
    const char* label;
    Counter counter;
    uint8_t resetEvent;  // what the optical sensor is told
};
constexpr ResetRow kRows[] = {{"Reset Time to Maint", kTimeToMaint, 0},
                              {"Reset CIP", kCip, 2},
                              {"Reset SIP", kSip, 1},
                              {"Reset AutoClave", kAutoclave, 3},
                              {"Reset Lifetime Ind", kLifetime, 6}};

// The models of the layouts: pH and pNa, CO2, amperometric oxygen, conductivity, optical oxygen.
constexpr size_t kResetModels[] = {0, 1, 8, 3, 4, 5, 6, 2, 7};
constexpr size_t kResetModelCount = sizeof kResetModels / sizeof kResetModels[0];

struct ResetCase {
    uint8_t model;              // index into kResetModels
    uint8_t counts[3];          // autoclave, SIP, CIP as the used sensor holds them
    uint16_t hours[4];          // operating hours; lifetime, maintenance, adaptive calibration left
    std::vector<bool> answers;  // Yes or No, row by row as the pages offer them
};

void showValue(const ResetCase& c, std::ostream& os) {
    os << "{" << walk::kModels[kResetModels[c.model]].name << ", autoclave/SIP/CIP " << int(c.counts[0]) << "/"
       << int(c.counts[1]) << "/" << int(c.counts[2]) << ", hours operated " << c.hours[0] << ", hours left "
       << c.hours[1] << "/" << c.hours[2] << "/" << c.hours[3] << ", answers";
    for (bool yes : c.answers) os << (yes ? " Yes" : " No");
    os << "}";
}

// The sensor's file as the build writes it, as the transmitter's image of 17 pages.
std::vector<uint8_t> ImageOf(const walk::Model& model) {
    std::ifstream file(std::string(KORVI_SENSOR_IMAGE_DIR) + "/" + model.file);
    std::vector<uint8_t> memory;
    unsigned value = 0;
    while (file >> std::hex >> value) memory.push_back(static_cast<uint8_t>(value));
    std::vector<uint8_t> image;
    for (uint32_t page = 0; page < 17; ++page) {
        std::vector<uint8_t> bytes = RigSensor_PageOf(memory, page);
        image.insert(image.end(), bytes.begin(), bytes.end());
    }
    return image;
}

// A used sensor of a memory-image layout other than conductivity: its counts and what is left of
// its timers, where the layouts keep them (little-endian words of page 13).
void Use(std::vector<uint8_t>* image, const ResetCase& c) {
    std::vector<uint8_t>& b = *image;
    b[353] = c.counts[0];
    b[354] = c.counts[1];
    b[355] = c.counts[2];
    for (int i = 0; i < 4; ++i) {
        uint32_t at = i == 0 ? 417 : 419 + 2 * i;
        b[at] = static_cast<uint8_t>(c.hours[i]);
        b[at + 1] = static_cast<uint8_t>(c.hours[i] >> 8);
    }
    RigSensor_FixChecksums(b);
}

void Read(float* counters) {
    counters[kLifetime] = SensDiag_GetLifetimeDays(1);
    counters[kTimeToMaint] = SensDiag_GetTimeToMaintDays(1);
    counters[kAct] = SensDiag_GetActDays(1);
    counters[kCip] = static_cast<float>(SensDiag_GetCipCount(1));
    counters[kSip] = static_cast<float>(SensDiag_GetSipCount(1));
    counters[kAutoclave] = static_cast<float>(SensDiag_GetAutoclaveCount(1));
    counters[kOperating] = SensDiag_GetOperatingDays(1);
}

// The reset events the transmitter sent the sensor ("S127" and its event byte).
std::multiset<uint8_t> ResetEventsSent(size_t fromFrame) {
    std::multiset<uint8_t> events;
    const std::vector<RigFrame>& frames = Rig_SentFrames();
    for (size_t i = fromFrame; i < frames.size(); ++i) {
        const std::vector<uint8_t>& f = frames[i].bytes;
        static const uint8_t kName[4] = {'S', '1', '2', '7'};
        auto at = std::search(f.begin(), f.end(), std::begin(kName), std::end(kName));
        if (at != f.end() && at + 4 < f.end()) events.insert(*(at + 4));
    }
    return events;
}

const ResetRow* RowOfLabel(const std::string& text) {
    for (const ResetRow& row : kRows) {
        if (text.rfind(row.label, 0) == 0) return &row;
    }
    return nullptr;
}

void CheckResets(const ResetCase& c) {
    const walk::Model& model = walk::kModels[kResetModels[c.model]];
    walk::BootOnB();
    bool optical = model.code == 9;
    bool conductivity = model.code == 4;
    bool oxygen = model.code >= 5 && model.code <= 8;
    if (optical || conductivity) {
        walk::TakeOver(model);
    } else {
        std::vector<uint8_t> image = ImageOf(model);
        Use(&image, c);
        Rig_PlugSensorImage(RigSensor_ToSensorMemory(image), model.code);
        ASSERT_TRUE(plug_test::RunUntilState(kPlugLoadNew));
        ASSERT_TRUE(plug_test::RunUntilState(kPlugIdle, 60000));
    }
    Rig_AdvanceMs(5000);
    float before[kCounters], after[kCounters];
    Read(before);
    size_t framesBefore = Rig_SentFrames().size();

    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("VDX Setup"));
    if (!Choose("Reset VDX Counter/Timer")) {
        // Only a conductivity sensor's set-up offers no resets.
        EXPECT_TRUE(conductivity);
        return;
    }
    // Each page's rows answered in turn, ENTER on the last row of each page.
    bool reset[kCounters] = {};
    std::multiset<uint8_t> events;
    std::string asked;
    size_t answer = 0;
    for (int page = 0; page < 4 && Menu_TopScreen() == kScreenParamPage; ++page) {
        for (uint32_t field = 0; field < 4; field += 2) {
            if (g_PageEdit.desc->choiceGroup[field] == kNoGroup) continue;
            while (g_PageEdit.field != field) Press(kKeyCal);
            std::string text = Row(field == 0 ? 11 : 12);
            const ResetRow* row = RowOfLabel(text);
            ASSERT_NE(row, nullptr) << text;
            bool yes = answer < c.answers.size() && c.answers[answer];
            ++answer;
            if (yes) Press(kKeyUp);
            asked += std::string(row->label) + (yes ? " Yes; " : " No; ");
            if (!yes) continue;
            reset[row->counter] = true;
            if (row->counter == kLifetime) {
                reset[kOperating] = true;
                if (oxygen) reset[kTimeToMaint] = true;
            }
            if (optical && row->resetEvent != 0) events.insert(row->resetEvent);
        }
        Press(kKeyEnter);
    }
    if (oxygen && reset[kTimeToMaint]) reset[kCip] = reset[kSip] = reset[kAutoclave] = reset[kAct] = true;
    ASSERT_EQ(Row(11), "Save Changes Yes & Exit");
    Press(kKeyEnter);
    Rig_AdvanceMs(10000);
    Read(after);

    SCOPED_TRACE(asked);
    if (optical) {
        // The sensor keeps its counters itself: it is told which to reset, nothing else.
        EXPECT_EQ(ResetEventsSent(framesBefore), events);
        return;
    }
    for (int k = 0; k < kCounters; ++k) {
        SCOPED_TRACE(kCounterNames[k]);
        // A conductivity sensor keeps its cycle counts and operating time, no timers.
        bool kept = !conductivity || k == kCip || k == kSip || k == kOperating;
        if (!reset[k] || !kept) {
            EXPECT_EQ(after[k], before[k]) << "reset by no row answered Yes";
        } else if (k == kCip || k == kSip || k == kAutoclave) {
            EXPECT_EQ(after[k], 0.0f);
        } else if (k == kAct) {
            EXPECT_EQ(after[k], 0.0f) << "a calibration due";
        } else if (k == kOperating) {
            EXPECT_NEAR(after[k], 1.0f / 24.0f, 1e-4f) << "one hour of a new sensor";
        } else {
            EXPECT_GT(after[k], before[k]) << "restarted";
        }
    }
}

}  // namespace

RC_GTEST_PROP(CounterResetProperty, EachRowResetsWhatItsLabelNames, ()) {
    ResetCase c = *rc::gen::exec([] {
        ResetCase c;
        c.model = *walk::AnyOf<uint8_t>(0, kResetModelCount);
        for (uint8_t& count : c.counts) count = *walk::AnyOf<uint8_t>(1, 255);
        c.hours[0] = *walk::AnyOf<uint16_t>(100, 60000);
        // Less left than any of the sensors' intervals holds when full.
        for (int i = 1; i < 4; ++i) c.hours[i] = *walk::AnyOf<uint16_t>(1, 100);
        c.answers = *rc::gen::container<std::vector<bool>>(5, rc::gen::arbitrary<bool>());
        return c;
    });
    CheckResets(c);
}

// Cases the property found, and the ones reported before it ran: "Reset Time to Maint" restarted
// nothing on pH, pNa and CO2 sensors; on oxygen sensors "Reset Lifetime Ind" restarted nothing, and
// "Reset Time to Maint" restarted the lifetime and operating time too.
TEST(CounterResetProperty, TimeToMaintOfAPhSensor) { CheckResets({0, {9, 8, 7}, {500, 10, 20, 30}, {true}}); }
TEST(CounterResetProperty, TimeToMaintOfACo2Sensor) {
    CheckResets({2, {9, 8, 7}, {500, 10, 20, 30}, {true, false, false, false}});
}
TEST(CounterResetProperty, LifetimeOfAnOxygenSensor) {
    CheckResets({3, {1, 1, 1}, {100, 1, 1, 1}, {false, false, false, false, true}});
}
TEST(CounterResetProperty, TimeToMaintOfAnOxygenSensor) {
    CheckResets({3, {1, 1, 1}, {100, 1, 1, 1}, {true, false, false, false, false}});
}
