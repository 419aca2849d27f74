// Fuzz target for the sensor-board library: an arbitrary sensor file (as the program's resource
// or as a file) and an arbitrary stream of request bytes, handed to the library as the host
// does. Nothing may crash, hang, read or write out of bounds, and every reply must be a whole,
// well-formed frame.
//
// Input: two bytes (big-endian) n, then n bytes of sensor file text, one byte choosing the
// sensor code and the source, then the request bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "sensor_board/board.h"
#include "sensor_board/brannic.h"
#include "sensor_board/sim_image.h"

namespace {
const uint8_t* s_Text;
uint32_t s_TextSize;
std::string s_Folder;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "brannic_fuzz: %s\n", what);
    std::abort();
}

// Fetches whatever reply is armed and checks its frame.
void FetchReply() {
    if (!Brannic_GetSlaveTxFlag()) return;
    uint8_t n = Brannic_GetSlaveTxCount();
    Check(n >= 5, "reply shorter than a frame");
    uint8_t reply[256];
    uint8_t sum = 0;
    for (uint32_t i = 0; i < n; ++i) {
        reply[i] = static_cast<uint8_t>(Brannic_GetSlaveTxData(0));
        sum = static_cast<uint8_t>(sum + reply[i]);
    }
    Check(reply[0] == 0x33 && reply[1] == n, "reply header");
    Check(sum == 0, "reply checksum");
    Check(Brannic_GetSlaveTxFlag() == 0, "reply not ended by its last byte");
}

void StartOnce() {
    if (!s_Folder.empty()) return;
    // Short: the library takes sensor file names of at most 29 characters.
    char pattern[] = "/tmp/bfz-XXXXXX";
    char* folder = mkdtemp(pattern);
    if (folder == nullptr) std::abort();
    s_Folder = std::string(folder) + "/";
    std::atexit([] {
        std::error_code error;
        std::filesystem::remove_all(s_Folder, error);
    });
    Brannic_SetEEPROMBinFilePath(s_Folder.c_str());
    Board_Start();
}
}  // namespace

// The program's resource finder: every TEXT resource is the fuzzer's sensor file.
extern "C" __attribute__((visibility("default"))) const uint8_t* Ostrel_FindResource(const char* type, uint32_t,
                                                                                     uint32_t* size) {
    *size = 0;
    if (type == nullptr || std::strcmp(type, "TEXT") != 0 || s_Text == nullptr) return nullptr;
    *size = s_TextSize;
    return s_Text;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    StartOnce();
    if (size < 3) return 0;
    uint32_t n = static_cast<uint32_t>(data[0]) << 8 | data[1];
    if (n > size - 3) n = static_cast<uint32_t>(size - 3);
    s_Text = data + 2;
    s_TextSize = n;
    uint8_t choice = data[2 + n];
    const uint8_t* requests = data + 3 + n;
    size_t requestBytes = size - 3 - n;

    Brannic_ResetMailbox();
    // Low bit: command sensor (code 9) or memory image (code 1); next bit: resource or file.
    uint8_t code = (choice & 1) ? 9 : 1;
    bool fromFile = (choice & 2) != 0;
    Brannic_SetSFXFlag(fromFile ? 0 : 1);
    if (fromFile) {
        std::string path = s_Folder + "s.txt";
        FILE* file = std::fopen(path.c_str(), "wb");
        if (file != nullptr) {
            std::fwrite(s_Text, 1, s_TextSize, file);
            std::fclose(file);
        }
        Brannic_SetTedsFileName(1, path.c_str(), code);
    } else {
        Brannic_SetTedsFileName(1, "PH_SelvoP11_0.txt", code);
    }
    for (size_t i = 0; i < requestBytes; ++i) {
        Brannic_SetSlaveRxData(requests[i]);
        if (g_BoardMailbox.flags.load() & kBoardFramePending) {
            Board_Poll();
            Check((g_BoardMailbox.flags.load() & kBoardFramePending) == 0, "mailbox not opened again");
            FetchReply();
        }
    }
    Board_Poll();
    FetchReply();
    s_Text = nullptr;
    return 0;
}
