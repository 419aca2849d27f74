// Tests of the sensor board: a host's side of the mailbox, run in-process one worker poll at a
// time.
#pragma once
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "rig.h"
#include "sensor_board/board.h"
#include "sensor_board/brannic.h"

namespace board_client {

inline std::vector<uint8_t> Request(uint8_t type, const std::vector<uint8_t>& arguments) {
    std::vector<uint8_t> frame = {0x77, static_cast<uint8_t>(arguments.size() + 4), type};
    for (uint8_t b : arguments) frame.push_back(b);
    frame.push_back(Board_Checksum(frame.data(), static_cast<uint32_t>(frame.size())));
    return frame;
}

inline void Send(const std::vector<uint8_t>& bytes) {
    for (uint8_t b : bytes) Brannic_SetSlaveRxData(b);
}

// The whole armed reply as the host's pump fetches it; empty when none is ready.
inline std::vector<uint8_t> Fetch() {
    std::vector<uint8_t> reply;
    if (!Brannic_GetSlaveTxFlag()) return reply;
    uint8_t n = Brannic_GetSlaveTxCount();
    for (uint8_t i = 0; i < n; ++i) reply.push_back(static_cast<uint8_t>(Brannic_GetSlaveTxData(0)));
    return reply;
}

inline std::vector<uint8_t> Exchange(uint8_t type, const std::vector<uint8_t>& arguments) {
    Send(Request(type, arguments));
    Board_Poll();
    return Fetch();
}

inline uint8_t StatusOf(uint8_t type, const std::vector<uint8_t>& arguments) {
    std::vector<uint8_t> reply = Exchange(type, arguments);
    return reply.size() >= 5 ? reply[3] : 0xEE;
}

// The reply's payload (empty when there is no whole reply).
inline std::vector<uint8_t> PayloadOf(const std::vector<uint8_t>& reply) {
    if (reply.size() < 5) return {};
    return std::vector<uint8_t>(reply.begin() + 4, reply.end() - 1);
}

inline bool SumsToZero(const std::vector<uint8_t>& bytes) {
    uint8_t sum = 0;
    for (uint8_t b : bytes) sum = static_cast<uint8_t>(sum + b);
    return sum == 0;
}

inline std::vector<uint8_t> FloatBE(float value) {
    uint8_t bytes[4];
    Board_PutFloatBE(bytes, value);
    return std::vector<uint8_t>(bytes, bytes + 4);
}

// Request 0x01 (point p of a calibration kind gets a value): its payload byte, 1 accepted, 0
// refused (0xEE: no reply).
inline uint8_t Point(uint8_t point, uint8_t kind, float value) {
    std::vector<uint8_t> arguments = {point, kind};
    for (uint8_t b : FloatBE(value)) arguments.push_back(b);
    std::vector<uint8_t> payload = PayloadOf(Exchange(0x01, arguments));
    return payload.size() == 1 ? payload[0] : 0xEE;
}

// Request 0x02 (save a kind; mode 1 also its factory copy): 1 saved, 0 failed (0xEE: no reply).
inline uint8_t Save(uint8_t kind, uint8_t mode) {
    std::vector<uint8_t> payload = PayloadOf(Exchange(0x02, {kind, mode}));
    return payload.size() == 1 ? payload[0] : 0xEE;
}

// A folder of the board's own (its parameter file), the board started in it. Returns the folder
// with its trailing separator.
inline std::string StartBoardIn(const std::string& folder) {
    std::string directory = folder + "/";
    Brannic_SetEEPROMBinFilePath(directory.c_str());
    Board_Start();
    return directory;
}
inline std::string StartBoard() { return StartBoardIn(Rig_MakeTempFolder()); }

// Loads slot 1 from the program's resources (single-file mode), as the extracted program does.
inline int LoadSensorFromResources(const char* name, int code) {
    Brannic_SetSFXFlag(1);
    return Brannic_SetTedsFileName(1, name, code);
}

inline std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline float FloatLEAt(const std::vector<uint8_t>& bytes, size_t offset) {
    uint32_t word = bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
                    static_cast<uint32_t>(bytes[offset + 3]) << 24;
    float value;
    std::memcpy(&value, &word, 4);
    return value;
}

}  // namespace board_client
