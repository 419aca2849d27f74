// A save reported done survives: "Save Changes" of channel A's temperature source by keys,
// interleaved with what others do to the settings store file while the program runs (a slope
// written into it in place, a copy with another slope renamed over it, the file cut short, cut to
// nothing, grown, deleted, moved away) and with restarts. A save that said done is in the store
// file at its name and in use at the next start; one that was not shows "Save Failed!" and leaves
// the store as it was. A change made from outside stays through the saves, and no file but the
// store (a moved-away store above all) is written by the program.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "../ui/ui_support.h"
#include "core/eeprom.h"
#include "measurement/ph.h"
#include "measurement/temperature.h"
#include "property_support.h"
#include "rig.h"
#include "store_journal.h"

using namespace ui_test;

namespace {
using Bytes = std::vector<uint8_t>;
namespace fs = std::filesystem;

// Channel A's temperature source (one byte) and the manual temperature loaded with it as one
// block: a block that cannot be read whole loads as automatic.
constexpr uint32_t kStoreSourceA = 64;
constexpr uint32_t kSourceBlockEnd = 70;
// Channel A's pH slope, a fraction: no page of these steps writes it.
constexpr uint32_t kStoreSlopeA = 792;
// Channel A's pH calibration loads as one block, which ends with the sensor option byte at 894.
constexpr uint32_t kPhBlockEnd = 895;
// The store's own markers end here: a store cut shorter has none, and a start lays the factory
// settings over it.
constexpr uint32_t kMarkersEnd = 8;
constexpr uint32_t kStoreSize = 4096;

const char* const kSourceRows[4] = {"A: Auto", "A: Use NTC22K", "A: Use Pt1000", "A: Use Pt100"};

enum class Act : uint8_t { kSave, kInPlace, kRenamedOver, kCutShort, kGrown, kDeleted, kMovedAway, kRestart };

struct StoreStep {
    Act act = Act::kRestart;
    // kSave: the source chosen (0 to 3); kInPlace and kRenamedOver: the slope in percent; kCutShort:
    // the length left; kGrown: the bytes added.
    uint32_t n = 0;
};

struct StoreCase {
    std::vector<StoreStep> steps;
};

void showValue(const StoreCase& c, std::ostream& os) {
    static const char* const kNames[] = {"save source", "slope in place", "slope renamed over", "cut to",
                                         "grown by",    "deleted",        "moved away",         "restart"};
    for (const StoreStep& s : c.steps) {
        os << kNames[static_cast<int>(s.act)];
        if (s.act <= Act::kGrown) os << " " << s.n;
        os << "; ";
    }
}

Bytes FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

// What the store file must give at the next start.
struct Expected {
    uint8_t sourceByte = kTempSourceAuto;
    bool sourceBlockWhole = true;
    float slope = 1.0f;
    bool slopeKnown = true;
    Bytes tail;  // what stands past the store's 4096 bytes
    // The store is gone or has lost its markers: the next start lays the factory settings down.
    bool factory = false;
    // A save said done since: whatever the store went through before, it is to be found.
    bool keepSource = false;

    // The store gone (deleted, moved away) or its markers cut off.
    void Lose() {
        factory = true;
        keepSource = false;
    }
    void Restarted() {
        if (factory) {
            uint8_t saved = keepSource ? sourceByte : kTempSourceAuto;
            Bytes past = tail;
            *this = Expected{};
            sourceByte = saved;
            tail = past;
        }
        keepSource = false;
    }
};

// A start in the folder, then what it found.
void RestartAndCheck(const std::string& folder, Expected* e) {
    // A store that is not there starts anew with the factory settings.
    if (!fs::exists(Rig_StorePath())) e->factory = true;
    e->Restarted();
    store_journal::BootIn(folder);
    ASSERT_EQ(Rig_RowText(12).find("EEPROM Error"), std::string::npos);
    Bytes store = Rig_StoreBytes();
    ASSERT_GE(store.size(), kStoreSize);
    EXPECT_EQ(store[kStoreSourceA], e->sourceByte) << "the temperature source saved last";
    EXPECT_EQ(Temp_GetSourceMode(0), e->sourceBlockWhole ? e->sourceByte : kTempSourceAuto);
    if (e->slopeKnown) {
        EXPECT_FLOAT_EQ(CalPh_GetSlopePercent(0), 100.0f * e->slope) << "the slope written from outside";
    }
    EXPECT_EQ(Bytes(store.begin() + kStoreSize, store.end()), e->tail) << "the bytes past the store's 4096";
}

// The temperature source chosen by keys and "Save Changes"; true when it said done, false when it
// showed "Save Failed!".
bool SaveSourceByKeys(uint32_t source) {
    Press(kKeyMenu);
    EXPECT_TRUE(Choose("Configure"));
    EXPECT_TRUE(Choose("Measurement"));
    EXPECT_TRUE(Choose("Temperature Source"));
    std::string row = std::string(kSourceRows[source]);
    for (int i = 0; i < 6 && Item() != row; ++i) Press(kKeyUp);
    EXPECT_EQ(Item(), row);
    for (int i = 0; i < 12 && Row(11) != "Save Changes Yes & Exit"; ++i) Press(kKeyEnter);
    EXPECT_EQ(Row(11), "Save Changes Yes & Exit");
    Press(kKeyEnter);
    Rig_AdvanceMs(200);
    bool failed = Row(12).find("Save Failed!") != std::string::npos;
    // The failure stands until ENTER, which leads home.
    if (failed) Press(kKeyEnter);
    for (int i = 0; i < 20 && Menu_TopScreen() != kScreenHome; ++i) Rig_AdvanceMs(500);
    EXPECT_EQ(Menu_TopScreen(), kScreenHome);
    return !failed;
}

void CheckStoreSurvives(const StoreCase& c) {
    std::string folder = Rig_MakeTempFolder();
    store_journal::BootIn(folder);
    Expected e;
    // Files that are not the store any more: they keep what they held.
    std::vector<std::pair<std::string, Bytes>> outside;
    uint32_t moved = 0;
    for (const StoreStep& s : c.steps) {
        std::string store = Rig_StorePath();
        bool present = fs::exists(store);
        switch (s.act) {
            case Act::kSave: {
                // A page left as it was writes nothing, and promises nothing new.
                bool changes = Temp_GetSourceMode(0) != s.n;
                bool done = SaveSourceByKeys(s.n);
                Bytes now = FileBytes(store);
                if (done && changes && present) {
                    ASSERT_GT(now.size(), kStoreSourceA) << "a save that said done is in the store";
                    EXPECT_EQ(now[kStoreSourceA], s.n) << "a save that said done is in the store";
                }
                if (done && changes) {
                    e.sourceByte = static_cast<uint8_t>(s.n);
                    e.keepSource = true;
                } else if (!done && now.size() > kStoreSourceA && !e.factory) {
                    EXPECT_EQ(now[kStoreSourceA], e.sourceByte) << "a save that failed left the store as it was";
                }
                break;
            }
            case Act::kInPlace:
            case Act::kRenamedOver:
                // Bytes written past a short file's end would fill the gap with zeros.
                if (!present || (s.act == Act::kInPlace && fs::file_size(store) < kStoreSlopeA + 4)) continue;
                if (s.act == Act::kInPlace) {
                    Rig_ChangeStoreOnDisk(kStoreSlopeA, store_journal::FloatBytes(s.n / 100.0f));
                } else {
                    Rig_ReplaceStoreOnDisk(kStoreSlopeA, store_journal::FloatBytes(s.n / 100.0f));
                }
                e.slope = s.n / 100.0f;
                break;
            case Act::kCutShort:
                if (!present || fs::file_size(store) <= s.n) continue;
                fs::resize_file(store, s.n);
                e.tail.clear();
                if (s.n < kMarkersEnd) e.Lose();
                if (s.n < kSourceBlockEnd) e.sourceBlockWhole = false;
                if (s.n <= kStoreSourceA) e.sourceByte = 0xFF;
                if (s.n < kPhBlockEnd) e.slopeKnown = false;
                break;
            case Act::kGrown: {
                // A store shorter than 4096 bytes would grow into its own bytes, not past them.
                if (!present || fs::file_size(store) < kStoreSize) continue;
                Bytes more(s.n);
                for (uint32_t i = 0; i < s.n; ++i) more[i] = static_cast<uint8_t>(0xA5 ^ i);
                std::ofstream(store, std::ios::binary | std::ios::app)
                    .write(reinterpret_cast<const char*>(more.data()), static_cast<std::streamsize>(more.size()));
                e.tail.insert(e.tail.end(), more.begin(), more.end());
                break;
            }
            case Act::kDeleted:
                fs::remove(store);
                e.Lose();
                e.tail.clear();
                break;
            case Act::kMovedAway: {
                if (!present) continue;
                std::string away = store + ".moved" + std::to_string(++moved);
                fs::rename(store, away);
                outside.emplace_back(away, FileBytes(away));
                e.Lose();
                e.tail.clear();
                break;
            }
            case Act::kRestart:
                RestartAndCheck(folder, &e);
                break;
        }
        for (const auto& file : outside)
            ASSERT_TRUE(FileBytes(file.first) == file.second) << file.first << " was written";
    }
    RestartAndCheck(folder, &e);
    for (const auto& file : outside) EXPECT_TRUE(FileBytes(file.first) == file.second) << file.first << " was written";
}

rc::Gen<StoreStep> StepGen() {
    return rc::gen::exec([] {
        StoreStep s;
        s.act = *rc::gen::weightedElement<Act>({{5, Act::kSave},
                                                {2, Act::kInPlace},
                                                {2, Act::kRenamedOver},
                                                {2, Act::kCutShort},
                                                {1, Act::kGrown},
                                                {1, Act::kDeleted},
                                                {1, Act::kMovedAway},
                                                {2, Act::kRestart}});
        switch (s.act) {
            case Act::kSave:
                s.n = *rc::gen::inRange<uint32_t>(0, 4);
                break;
            case Act::kInPlace:
            case Act::kRenamedOver:
                s.n = *rc::gen::inRange<uint32_t>(80, 111);
                break;
            case Act::kCutShort:
                // Into the markers, into the temperature source's block, or beyond, alike.
                s.n = *rc::gen::oneOf(rc::gen::inRange<uint32_t>(0, kMarkersEnd),
                                      rc::gen::inRange<uint32_t>(kMarkersEnd, kSourceBlockEnd + 8),
                                      rc::gen::inRange<uint32_t>(kSourceBlockEnd + 8, kStoreSize));
                break;
            case Act::kGrown:
                s.n = *rc::gen::inRange<uint32_t>(1, 64);
                break;
            default:
                break;
        }
        return s;
    });
}
}  // namespace

RC_GTEST_PROP(StoreSurvives, ASaveReportedDoneIsThereAtTheNextStart, ()) {
    CheckStoreSurvives(*prop::CaseOfSteps<StoreCase>(8, StepGen()));
}

// A store moved away, then saved into: the moved file is not written, and the save fails.
TEST(StoreSurvives, ASaveAfterTheStoreWasMovedAwayFails) {
    CheckStoreSurvives(StoreCase{{{Act::kMovedAway, 0}, {Act::kSave, 1}}});
}

// A store cut to nothing, then saved into: the next start would lay the factory settings over
// the save, so it fails.
TEST(StoreSurvives, ASaveIntoAStoreCutToNothingFails) {
    CheckStoreSurvives(StoreCase{{{Act::kCutShort, 0}, {Act::kSave, 1}}});
}

// After a failed save into a store moved away the setting in use differs from the store's; a save
// back to the store's value writes no new byte, and fails all the same.
TEST(StoreSurvives, ASaveBackToTheValueOfAStoreMovedAwayFails) {
    CheckStoreSurvives(StoreCase{{{Act::kSave, 3}, {Act::kMovedAway, 0}, {Act::kSave, 1}, {Act::kSave, 3}}});
}
