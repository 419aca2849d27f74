// Fuzz target for the sensor board's parameter file and calibration requests: an arbitrary
// parameter file (any length, or none), the board's start-up from it, then a stream of requests
// in frames with valid checksums, so that every one reaches its operation: calibration points,
// saves, restores, defaults, the table, set values, measurement kinds and raw file access.
// Nothing may crash, hang, or read or write out of bounds; every reply is a whole frame; every
// calibration value in use and the set value are numbers; the file is never shorter than 2048
// bytes after the start, keeps what a longer one holds past them, and no temporary file stays.
//
// Input: two bytes (big-endian) n, then n bytes of parameter file (n = 0xFFFF: no file), then
// requests (at most 48), each a byte choosing its type from the list below, a byte a (its
// argument count, at most 60) and a argument bytes.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "sensor_board/board.h"
#include "sensor_board/brannic.h"
#include "sensor_board/sim_cal.h"
#include "sensor_board/sim_eeprom.h"
#include "sensor_board/sim_meas.h"

namespace {
constexpr uint32_t kNoFile = 0xFFFF;
constexpr uint32_t kArgumentsMax = 60;
// Every save writes the whole file: a few dozen requests keep an input fast.
constexpr uint32_t kRequestsMax = 48;
// The request types that touch the calibration store, the measurement state or the file.
constexpr uint8_t kTypes[] = {0x00, 0x01, 0x02, 0x03, 0x04, 0x0A, 0x0C, 0x0D, 0x0E, 0x10, 0x12, 0x13, 0xB1};

std::string s_Folder;
std::string s_Path;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "calibration_fuzz: %s\n", what);
    std::abort();
}

// A folder in memory where there is one: every save flushes its file, which a disk makes slow.
void MakeFolderOnce() {
    if (!s_Folder.empty()) return;
    std::error_code error;
    std::string base = std::filesystem::is_directory("/dev/shm", error) ? "/dev/shm" : "/tmp";
    std::string pattern = base + "/cfz-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) std::abort();
    s_Folder = std::string(buffer.data()) + "/";
    s_Path = s_Folder + kSimEepromFileName;
    std::atexit([] {
        std::error_code ignored;
        std::filesystem::remove_all(s_Folder, ignored);
    });
}

std::vector<uint8_t> FileBytes() {
    std::vector<uint8_t> bytes;
    FILE* file = std::fopen(s_Path.c_str(), "rb");
    if (file == nullptr) return bytes;
    uint8_t chunk[4096];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(file);
    return bytes;
}

void CheckValues() {
    for (uint8_t kind = 0; kind < kSimCalKinds; ++kind) {
        for (uint32_t i = 0; i < 3; ++i) Check(std::isfinite(SimCal_GetValue(kind, i)), "a calibration value in use");
    }
    Check(std::isfinite(SimCal_GetTempFactor()), "the temperature factor in use");
    float setValue = SimMeas_GetSetValue();
    Check(setValue >= -1000.0f && setValue <= 1000.0f, "the set value");
}

void FetchReply() {
    if (!Brannic_GetSlaveTxFlag()) return;
    uint8_t n = Brannic_GetSlaveTxCount();
    Check(n >= 5, "reply shorter than a frame");
    uint8_t sum = 0;
    uint8_t first = 0, length = 0;
    for (uint32_t i = 0; i < n; ++i) {
        uint8_t byte = static_cast<uint8_t>(Brannic_GetSlaveTxData(0));
        if (i == 0) first = byte;
        if (i == 1) length = byte;
        sum = static_cast<uint8_t>(sum + byte);
    }
    Check(first == 0x33 && length == n, "reply header");
    Check(sum == 0, "reply checksum");
}

// The file as the board found it and what it must keep of it.
void CheckFile(const std::vector<uint8_t>& before, bool hadFile) {
    std::vector<uint8_t> now = FileBytes();
    Check(now.size() >= kSimEepromBytes, "the file is shorter than the EEPROM");
    if (hadFile && before.size() > kSimEepromBytes) {
        Check(now.size() == before.size(), "a longer file changed its length");
        Check(std::memcmp(now.data() + kSimEepromBytes, before.data() + kSimEepromBytes,
                          before.size() - kSimEepromBytes) == 0,
              "a longer file lost its bytes past the EEPROM");
    }
    if (hadFile && before.size() < kSimEepromBytes) {
        // The start completes a short file with erased bytes; it writes none where it found some.
        Check(now.size() == kSimEepromBytes, "a short file was not completed to the EEPROM");
    }
    std::error_code error;
    Check(!std::filesystem::exists(s_Path + ".tmp", error), "a temporary file stayed");
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MakeFolderOnce();
    if (size < 2) return 0;
    uint32_t n = static_cast<uint32_t>(data[0]) << 8 | data[1];
    bool hadFile = n != kNoFile;
    if (!hadFile) n = 0;
    if (n > size - 2) n = static_cast<uint32_t>(size - 2);
    std::vector<uint8_t> before(data + 2, data + 2 + n);
    std::remove(s_Path.c_str());
    if (hadFile) {
        FILE* file = std::fopen(s_Path.c_str(), "wb");
        Check(file != nullptr, "cannot write the parameter file");
        if (n > 0) std::fwrite(before.data(), 1, n, file);
        std::fclose(file);
    }

    Brannic_Reset();
    Board_Reset();
    SimEeprom_Reset();
    SimCal_Reset();
    SimMeas_Reset();
    Brannic_SetEEPROMBinFilePath(s_Folder.c_str());
    Board_Start();
    CheckValues();
    CheckFile(before, hadFile);

    size_t at = 2 + n;
    for (uint32_t requests = 0; requests < kRequestsMax && at + 2 <= size; ++requests) {
        uint8_t type = kTypes[data[at] % sizeof kTypes];
        uint32_t count = data[at + 1] % (kArgumentsMax + 1);
        at += 2;
        if (count > size - at) count = static_cast<uint32_t>(size - at);
        std::vector<uint8_t> frame = {0x77, static_cast<uint8_t>(count + 4), type};
        frame.insert(frame.end(), data + at, data + at + count);
        frame.push_back(Board_Checksum(frame.data(), static_cast<uint32_t>(frame.size())));
        at += count;
        for (uint8_t byte : frame) Brannic_SetSlaveRxData(byte);
        Board_Poll();
        Check((g_BoardMailbox.flags.load() & kBoardFramePending) == 0, "mailbox not opened again");
        FetchReply();
        CheckValues();
    }
    CheckFile(before, hadFile);
    return 0;
}
