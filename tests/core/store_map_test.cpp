// The settings store's byte ranges: every module keeps its own, inside the store, and no two
// modules' ranges meet.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/eeprom.h"
#include "fw_modules.h"

namespace {
struct OwnedRange {
    std::string owner;
    uint32_t first;
    uint32_t end;  // one past the last byte
};

std::vector<OwnedRange> AllRanges() {
    std::vector<OwnedRange> ranges;
    for (uint32_t m = 0; m < g_FwStoreMapCount; ++m) {
        const StoreMap& map = *g_FwStoreMaps[m];
        for (uint32_t r = 0; r < map.count; ++r) {
            ranges.push_back({map.owner, map.ranges[r].offset, map.ranges[r].offset + map.ranges[r].size});
        }
    }
    return ranges;
}
}  // namespace

TEST(StoreMap, EveryRangeLiesInTheStoreAndNoTwoMeet) {
    std::vector<OwnedRange> ranges = AllRanges();
    ASSERT_GE(ranges.size(), 5u);
    for (const OwnedRange& range : ranges) {
        EXPECT_GT(range.end, range.first) << range.owner << " has an empty range at " << range.first;
        EXPECT_LE(range.end, kEepromSize) << range.owner << " reaches past the store at " << range.first;
    }
    for (size_t i = 0; i < ranges.size(); ++i) {
        for (size_t j = i + 1; j < ranges.size(); ++j) {
            const OwnedRange& a = ranges[i];
            const OwnedRange& b = ranges[j];
            bool meet = a.first < b.end && b.first < a.end;
            EXPECT_FALSE(meet) << a.owner << " [" << a.first << ", " << a.end << ") and " << b.owner << " [" << b.first
                               << ", " << b.end << ") share bytes";
        }
    }
}
