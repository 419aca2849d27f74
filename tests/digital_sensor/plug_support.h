// Shared steps of the tests that plug a sensor on channel B through the rig: a start with channel
// B selected, the panel's choice of a sensor model from the program's own sensor files, removal,
// and waiting for a plug-and-measure state.
#pragma once
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/eeprom.h"
#include "core/link_transport.h"
#include "digital_sensor/vdx.h"
#include "outputs/messages.h"
#include "rig.h"

namespace plug_test {

constexpr uint32_t kStoreSelectedChannel = 122;
constexpr uint32_t kStoreAutoConfigure = 458;
constexpr uint8_t kNoSensorCode = 255;
// Channel B's CIP, SIP and autoclave cycle limits.
constexpr uint32_t kStoreCycleLimitsB[3] = {402 + 1, 414 + 1, 426 + 1};
constexpr uint8_t kCycleLimitHighest = 254;

// A first start writes the factory settings; channel B is then made the selected channel with
// its cycle limits at 254 (the factory limits are 0, which leaves the cycles uncounted), any
// further store bytes are written, and the program is started again on that store.
inline void BootOnChannelB(const std::vector<std::pair<uint32_t, uint8_t>>& bytes = {}) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_Boot();
    Rig_Reset(folder);
    Eeprom_Open();
    uint32_t status = 0;
    uint8_t channel = 1;
    Eeprom_Write(kStoreSelectedChannel, &channel, 1, &status);
    for (uint32_t offset : kStoreCycleLimitsB) Eeprom_Write(offset, &kCycleLimitHighest, 1, &status);
    for (const auto& b : bytes) Eeprom_Write(b.first, &b.second, 1, &status);
    Rig_Boot();
    Rig_AdvanceMs(20);
}

// The panel's choice of a sensor model: its file beside the program (the rig's folder, the
// working folder where the library looks) and its sensor code.
inline void Plug(const std::string& file, uint8_t code) {
    std::filesystem::path folder = std::filesystem::path(Rig_StorePath()).parent_path();
    std::filesystem::copy_file(std::filesystem::path(KORVI_SENSOR_IMAGE_DIR) / file, folder / file,
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::current_path(folder);
    Link_SelectSensorImage(1, file.c_str(), code);
}

// The panel's "no sensor".
inline void Unplug() { Link_SelectSensorImage(1, " ", kNoSensorCode); }

// Advances until the plug state's screen is drawn (at most the limit); true when it was.
inline bool RunUntilState(uint8_t state, uint32_t limitMs = 60000) {
    for (uint32_t t = 0; t < limitMs; t += 20) {
        if (Vdx_GetPlugState() == state && Vdx_GetPreviousPlugState() == state) return true;
        Rig_AdvanceMs(20);
    }
    return false;
}

inline bool MessageActive(uint16_t code) {
    for (uint32_t i = 0; i < g_MsgActiveCount; ++i) {
        if (g_MsgActive[i] == code) return true;
    }
    return false;
}

// The sensor taken off and, once the channel reports it missing, plugged again as it is now: the
// file the library keeps it in (with what was written into it) is handed over again.
inline bool Replug(const std::string& file, uint8_t code) {
    Unplug();
    if (!RunUntilState(kPlugNoSensor)) return false;
    if (!RunUntilState(kPlugIdle, 10000)) return false;
    Link_SelectSensorImage(1, file.c_str(), code);
    return RunUntilState(kPlugResume) && RunUntilState(kPlugIdle, 10000);
}

// The program ended and started again in the same folder, up to its first main-loop pass; the
// panel has not chosen a sensor yet.
inline void RestartInSameFolder() {
    std::string folder = std::filesystem::path(Rig_StorePath()).parent_path().string();
    Rig_Reset(folder);
    Rig_Boot();
    Rig_AdvanceMs(20);
}

}  // namespace plug_test
