// The built Brannic.so, loaded with the dynamic loader as a separate client would load it, and
// driven through its exports alone, with its own worker thread. These cases wait for that thread
// in real time (a poll every 50 ms), never longer than needed.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "core/eeprom.h"
#include "rig.h"
#include "sensor_board/brannic.h"

namespace {
struct Library {
    void* handle = nullptr;
    uintptr_t (*start)() = nullptr;
    uint8_t (*setRxData)(int) = nullptr;
    uint8_t (*getTxFlag)() = nullptr;
    uint8_t (*getTxCount)() = nullptr;
    int (*getTxData)(int) = nullptr;
    int (*setEepromPath)(const char*) = nullptr;
    uint32_t (*setSfxFlag)(uint32_t) = nullptr;
};

template <typename Fn>
void Bind(void* handle, const char* name, Fn* function) {
    *function = reinterpret_cast<Fn>(dlsym(handle, name));
}

Library Open() {
    Library lib;
    lib.handle = dlopen(KORVI_BRANNIC_PATH, RTLD_NOW | RTLD_LOCAL);
    if (lib.handle == nullptr) return lib;
    Bind(lib.handle, "Slave_Start_Handle", &lib.start);
    Bind(lib.handle, "Main_SetSlaveRxData", &lib.setRxData);
    Bind(lib.handle, "Main_GetSlaveTxFlag", &lib.getTxFlag);
    Bind(lib.handle, "Main_GetSlaveTxCount", &lib.getTxCount);
    Bind(lib.handle, "Main_GetSlaveTxData", &lib.getTxData);
    Bind(lib.handle, "SetEEPROMBinFilePath", &lib.setEepromPath);
    Bind(lib.handle, "SetSFXFlag", &lib.setSfxFlag);
    return lib;
}

// Sends a frame and waits for the worker's reply (empty when none comes within two seconds).
std::vector<uint8_t> Exchange(const Library& lib, const std::vector<uint8_t>& frame) {
    for (uint8_t b : frame) lib.setRxData(b);
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!lib.getTxFlag()) {
        if (std::chrono::steady_clock::now() > deadline) return {};
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::vector<uint8_t> reply;
    uint8_t n = lib.getTxCount();
    for (uint8_t i = 0; i < n; ++i) reply.push_back(static_cast<uint8_t>(lib.getTxData(0)));
    return reply;
}
}  // namespace

TEST(BrannicLibrary, ExportsOnlyItsNineFunctions) {
    Library lib = Open();
    ASSERT_NE(lib.handle, nullptr) << dlerror();
    const char* exported[] = {
        "Slave_Start_Handle",   "Slave_SetTedsFileName", "Main_SetSlaveRxData",  "Main_GetSlaveTxFlag",
        "Main_GetSlaveTxCount", "Main_GetSlaveTxData",   "SetEEPROMBinFilePath", "SetSFXFlag",
        "SetDLLFilePath"};
    for (const char* name : exported) EXPECT_NE(dlsym(lib.handle, name), nullptr) << name;
    const char* internal[] = {"Board_Start",   "Board_Poll",   "g_BoardMailbox",  "Brannic_SetSlaveRxData",
                              "SimImage_Load", "Plat_SleepMs", "Plat_ThreadStart"};
    for (const char* name : internal) EXPECT_EQ(dlsym(lib.handle, name), nullptr) << name;
    // The library's folder setter is its own, not the program's function of the same name, and
    // the program does not offer its own to anybody looking it up.
    EXPECT_NE(reinterpret_cast<void*>(lib.setEepromPath), reinterpret_cast<void*>(&SetEEPROMBinFilePath));
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "SetEEPROMBinFilePath"), nullptr);
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "SetSFXFlag"), nullptr);
    EXPECT_EQ(dlsym(RTLD_DEFAULT, "SetDLLFilePath"), nullptr);
}

TEST(BrannicLibrary, WorkerThreadAnswersThroughTheExports) {
    Library lib = Open();
    ASSERT_NE(lib.handle, nullptr) << dlerror();
    ASSERT_NE(lib.start, nullptr);
    SetEEPROMBinFilePath("/program/folder/");
    std::string folder = Rig_MakeTempFolder() + "/";
    // The host's order: flag and folder first, then the worker.
    EXPECT_EQ(lib.setSfxFlag(0), 0u);
    EXPECT_EQ(lib.setEepromPath(folder.c_str()), 1);
    uintptr_t worker = lib.start();
    EXPECT_NE(worker, 0u);
    EXPECT_EQ(lib.start(), worker);
    // Neither deliverable's folder setter reached the other's copy.
    EXPECT_STREQ(Eeprom_GetDirectory(), "/program/folder/");
    EXPECT_STREQ(g_BoardConfig.eepromFolder, "");

    std::vector<uint8_t> identity = Exchange(lib, {0x77, 0x04, 0x11, 0x74});
    ASSERT_EQ(identity.size(), 53u);
    EXPECT_EQ(identity[1], 0x35);
    EXPECT_EQ(identity[3], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&identity[5]), 8), "12345678");
    uint8_t sum = 0;
    for (uint8_t b : identity) sum = static_cast<uint8_t>(sum + b);
    EXPECT_EQ(sum, 0);
    // The mailbox opened again for the next request; an unknown type gets status 3.
    EXPECT_EQ(Exchange(lib, {0x77, 0x04, 0x15, 0x70}), (std::vector<uint8_t>{0x33, 0x05, 0x15, 0x03, 0xB0}));
    // The in-process copy of the board saw none of it.
    EXPECT_EQ(g_BoardMailbox.replyReady.load(), 0);
    EXPECT_EQ(g_BoardMailbox.receiveCount.load(), 0);
}
