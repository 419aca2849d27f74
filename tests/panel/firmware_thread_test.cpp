// The firmware thread ends when asked, wherever the firmware is, and is always joined.
#include <gtest/gtest.h>

#include <chrono>

#include "core/eeprom.h"
#include "panel/firmware_thread.h"
#include "platform/plat.h"
#include "rig.h"

TEST(FirmwareThread, StopDuringTheStartUpWaitEndsAndJoinsTheThread) {
    // Real time, but no tick runs: the firmware sits in its wait for the sensor board.
    std::string folder = Rig_MakeTempFolder() + "/";
    SetEEPROMBinFilePath(folder.c_str());
    Plat_SetIdleHook(nullptr);
    Plat_SetTimeSource(nullptr);
    FirmwareThread block;
    ASSERT_TRUE(Panel_StartFirmwareThread(&block));
    EXPECT_EQ(block.frameReady.load(), 1u);
    auto start = std::chrono::steady_clock::now();
    Panel_StopFirmwareThread(&block);
    EXPECT_EQ(block.thread, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // Stopping again is harmless.
    Panel_StopFirmwareThread(&block);
}
