// Tests of the settings store's journal: the journal a commit writes beside the store, built by
// hand as a commit killed on its way leaves it.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "../ui/ui_support.h"
#include "core/rtc.h"
#include "rig.h"

using StoreRun = std::pair<uint32_t, std::vector<uint8_t>>;

namespace store_journal {
inline uint32_t Fingerprint(const std::vector<uint8_t>& bytes, size_t n) {
    uint32_t hash = 2166136261u;
    for (size_t i = 0; i < n; ++i) hash = (hash ^ bytes[i]) * 16777619u;
    return hash;
}
inline void Put16(std::vector<uint8_t>* bytes, uint32_t value) {
    bytes->push_back(static_cast<uint8_t>(value));
    bytes->push_back(static_cast<uint8_t>(value >> 8));
}
inline void Put32(std::vector<uint8_t>* bytes, uint32_t value) {
    Put16(bytes, value);
    Put16(bytes, value >> 16);
}

// A float's four bytes as the store holds them, low byte first.
inline std::vector<uint8_t> FloatBytes(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    return {static_cast<uint8_t>(bits), static_cast<uint8_t>(bits >> 8), static_cast<uint8_t>(bits >> 16),
            static_cast<uint8_t>(bits >> 24)};
}

// A start of the program in that folder, without the sensor board, past its first second.
inline void BootIn(const std::string& folder) {
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    ClockRecord t{2025, 6, 1, 0, 10, 0, 0};
    Rtc_SetTime(&t);
    Rig_Boot();
    Rig_AdvanceMs(1100);
}

// Channel A's temperature source stepped to Pt100 by keys on its page, not yet taken.
inline void ChooseTemperatureSourcePt100() {
    using namespace ui_test;
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Measurement"));
    ASSERT_TRUE(Choose("Temperature Source"));
    Step(3);
    ASSERT_EQ(Row(12), "A: Use Pt100           $");
}
}  // namespace store_journal

// The journal of a commit that writes these runs (offset, new bytes) into the 4096-byte store:
// each run's offset and length (low byte first) and its bytes, then the marker "CJ", the runs'
// length, the fingerprint of the store the commit leaves and that of the journal's bytes before.
inline std::vector<uint8_t> StoreJournal(const std::vector<uint8_t>& store, const std::vector<StoreRun>& runs) {
    using namespace store_journal;
    std::vector<uint8_t> after(store.begin(), store.begin() + 4096);
    std::vector<uint8_t> journal;
    for (const StoreRun& run : runs) {
        Put16(&journal, run.first);
        Put16(&journal, static_cast<uint32_t>(run.second.size()));
        journal.insert(journal.end(), run.second.begin(), run.second.end());
        for (size_t i = 0; i < run.second.size() && run.first + i < after.size(); ++i)
            after[run.first + i] = run.second[i];
    }
    uint32_t length = static_cast<uint32_t>(journal.size());
    journal.push_back('C');
    journal.push_back('J');
    Put16(&journal, length);
    Put32(&journal, Fingerprint(after, after.size()));
    Put32(&journal, Fingerprint(journal, journal.size()));
    return journal;
}
