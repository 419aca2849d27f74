// A child process for the tests of files that survive a kill: it starts the sensor board in a
// folder and writes through the board's request frames, as the host does, until it is killed.
//
// Usage:
//   board_writer sensor FOLDER FILE   loads FILE as the sensor of slot 1 and rewrites its block 3
//                                     over and over, each time with the next sequence number
//   board_writer calibration FOLDER   calibrates and saves the analog input (kind 11, user and
//                                     factory copy) over and over, each time from the next number
//   board_writer once FOLDER FILE     one block write and one calibration save, then exits
// After its first write it prints "ready" and, in the "once" mode, each result: "block N" and
// "save N", N the reply's payload byte (1 written, 0 failed). Exits 2 on a write that fails
// while it loops, 1 on bad arguments.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "board_client.h"
#include "sensor_board/sim_cal.h"

using namespace board_client;

namespace {
constexpr uint8_t kBlock = 3;
constexpr uint8_t kKindAnalogIn = 11;

// Block 3 carrying the sequence number in bytes 1-4 (little-endian) and its low byte after
// them; byte 0 makes the block sum to zero, as every page of the sensor's memory does.
std::vector<uint8_t> Block(uint32_t sequence) {
    std::vector<uint8_t> block(32, static_cast<uint8_t>(sequence));
    for (int i = 0; i < 4; ++i) block[1 + i] = static_cast<uint8_t>(sequence >> (8 * i));
    uint8_t sum = 0;
    for (int i = 1; i < 32; ++i) sum = static_cast<uint8_t>(sum + block[i]);
    block[0] = static_cast<uint8_t>(0u - sum);
    return block;
}

uint8_t WriteBlock(uint32_t sequence) {
    std::vector<uint8_t> arguments = {kBlock};
    std::vector<uint8_t> block = Block(sequence);
    arguments.insert(arguments.end(), block.begin(), block.end());
    std::vector<uint8_t> payload = PayloadOf(Exchange(0x08, arguments));
    return payload.empty() ? 0 : payload[0];
}

// The analog input through 4 mA at n and 20 mA at 2n + 16: slope (n + 16) / 16, offset
// 0.75 n - 4, both exact in a float for the numbers written here.
uint8_t SaveCalibration(uint32_t n) {
    Point(0, kKindAnalogIn, static_cast<float>(n));
    Point(1, kKindAnalogIn, static_cast<float>(2 * n + 16));
    return Save(kKindAnalogIn, 1);
}

void Ready() {
    std::printf("ready\n");
    std::fflush(stdout);
}

bool LoadSensor(const std::string& file) {
    Brannic_SetSFXFlag(0);
    Brannic_SetTedsFileName(1, file.c_str(), 1);
    // The status request ends the refusals that follow a load.
    std::vector<uint8_t> status = PayloadOf(Exchange(0x05, {}));
    return !status.empty() && status[0] == 126;
}

uint32_t SequenceInBlock() {
    std::vector<uint8_t> block = PayloadOf(Exchange(0x06, {kBlock}));
    if (block.size() != 32) return 0;
    return block[1] | block[2] << 8 | block[3] << 16 | static_cast<uint32_t>(block[4]) << 24;
}
}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return 1;
    std::string mode = argv[1];
    std::string folder = argv[2];
    if (folder.back() != '/') folder += '/';
    Brannic_SetEEPROMBinFilePath(folder.c_str());
    Board_Start();
    if (mode == "sensor" && argc == 4) {
        if (!LoadSensor(argv[3])) return 2;
        uint32_t sequence = SequenceInBlock();
        for (bool said = false;; said = true) {
            if (WriteBlock(++sequence) != 1) return 2;
            if (!said) Ready();
        }
    }
    if (mode == "calibration" && argc == 3) {
        float slope = SimCal_GetValue(kKindAnalogIn, 0);
        uint32_t n = static_cast<uint32_t>(std::lround(16.0f * slope - 16.0f));
        for (bool said = false;; said = true) {
            if (SaveCalibration(++n) != 1) return 2;
            if (!said) Ready();
        }
    }
    if (mode == "once" && argc == 4) {
        bool loaded = LoadSensor(argv[3]);
        Ready();
        std::printf("block %d\n", loaded ? WriteBlock(SequenceInBlock() + 1) : 0);
        std::printf("save %d\n", SaveCalibration(1));
        return 0;
    }
    return 1;
}
