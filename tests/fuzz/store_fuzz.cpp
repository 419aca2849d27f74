// Fuzz target for the settings store at start-up: an arbitrary settings file (any length, any
// bytes) in the program's folder, then the firmware's start-up, two seconds of main loop with
// the measurement screen and the second's tasks, and the panel's channel set-up read from it.
// Nothing may crash or read or write out of bounds; the kinds the firmware configures and the
// model the panel takes over must be ones they know; a short store is completed to 4096 bytes,
// and the bytes a long one has beyond them are kept as they were.
//
// Input: the file's bytes, at most 8192 (a store is 4096; a longer or shorter file is a damaged
// one).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fw_main.h"
#include "measurement/channel.h"
#include "panel/inputs.h"
#include "platform/plat.h"
#include "rig.h"

namespace {
constexpr size_t kFileMax = 8192;
constexpr size_t kStoreSize = 4096;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "store_fuzz: %s\n", what);
    std::abort();
}

const std::string& Folder() {
    static const std::string folder = Rig_MakeTempFolder();
    return folder;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kFileMax) size = kFileMax;
    Rig_Reset(Folder());
    std::string path = Rig_StorePath();
    std::error_code error;
    std::filesystem::remove(path, error);
    Check(Plat_WriteNewFile(path.c_str(), data, static_cast<uint32_t>(size)) == 0, "cannot write the store");
    // A board that never answers: only the store decides what start-up does.
    Rig_UseSilentBoard();
    Rig_Boot();
    Rig_AdvanceMs(2000);
    Check(Fw_SettingsLoaded(), "start-up did not load the settings");
    ChannelSetup setup{};
    Check(Panel_TryLoadChannelSetup(&setup), "the panel cannot take its set-up");
    Check(setup.kindA <= kMaxChannelKind && setup.kindB <= kMaxChannelKind, "a configured kind out of range");
    Check(setup.sensorIndex < kSensorModels || setup.sensorIndex == kNoSensorIndex, "an unknown sensor model");
    Check(std::filesystem::file_size(path, error) == std::max<size_t>(size, kStoreSize) && !error,
          "the store was not completed or lost bytes");
    if (size > kStoreSize) {
        std::vector<uint8_t> bytes = Rig_StoreBytes();
        Check(std::equal(data + kStoreSize, data + size, bytes.begin() + kStoreSize),
              "the bytes beyond the store changed");
    }
    return 0;
}
