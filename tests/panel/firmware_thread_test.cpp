// The firmware thread ends when asked, wherever the firmware is, and is always joined.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <thread>

#include "core/eeprom.h"
#include "core/lcd.h"
#include "fw_main.h"
#include "measurement/channel.h"
#include "outputs/aout.h"
#include "outputs/relays.h"
#include "panel/firmware_thread.h"
#include "panel/inputs.h"
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
    EXPECT_EQ(block.outputsReady.load(), 1u);
    auto start = std::chrono::steady_clock::now();
    Panel_StopFirmwareThread(&block);
    EXPECT_EQ(block.thread, nullptr);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    // Stopping again is harmless.
    Panel_StopFirmwareThread(&block);
}

namespace {
uint32_t s_Wakes;
void CountWake(void* context) { ++*static_cast<uint32_t*>(context); }

bool FrameHasDots(const ShownDisplay& display, uint32_t row) {
    for (uint32_t column = 0; column < kLcdColumns; ++column) {
        if (display.frame[row][column] != 0) return true;
    }
    return false;
}
}  // namespace

TEST(FirmwareThread, PublishesTheDisplayOnlyWhenItChanged) {
    FirmwareThread block;
    s_Wakes = 0;
    block.wake = CountWake;
    block.wakeContext = &s_Wakes;
    EXPECT_TRUE(Panel_PublishDisplay(&block)) << "blank on its background differs from nothing";
    EXPECT_EQ(block.frameReady.load(), 1u);
    EXPECT_EQ(s_Wakes, 1u);
    // Unchanged: nothing published, the painter is not woken.
    block.frameReady.store(0);
    EXPECT_FALSE(Panel_PublishDisplay(&block));
    EXPECT_EQ(block.frameReady.load(), 0u);
    EXPECT_EQ(s_Wakes, 1u);

    // A text drawn: published, and the painter takes the frame as drawn.
    Lcd_DrawText(kRowMessage, 0, "1.2.01");
    EXPECT_TRUE(Panel_PublishDisplay(&block));
    EXPECT_EQ(s_Wakes, 2u);
    ShownDisplay shown;
    Panel_TakeDisplay(&block, &shown);
    EXPECT_EQ(std::memcmp(shown.frame, g_LcdFrame, sizeof shown.frame), 0);
    EXPECT_TRUE(FrameHasDots(shown, kRowMessage));
    EXPECT_EQ(shown.background.green, 216);

    // A second change before the painter took the first: published, but one wake is enough.
    Lcd_DrawText(kRowStatus, 0, "R718G");
    EXPECT_TRUE(Panel_PublishDisplay(&block));
    EXPECT_EQ(s_Wakes, 2u);
    Panel_TakeDisplay(&block, &shown);
    EXPECT_TRUE(FrameHasDots(shown, kRowStatus));
}

TEST(FirmwareThread, WakesThePanelOnlyWhenItsOutputsChanged) {
    // The panel runs no timer at rest: what it shows beside the display reaches it only when the
    // firmware thread finds it changed after a pass.
    Rig_Reset(Rig_MakeTempFolder());
    Rig_Boot();
    Rig_AdvanceMs(2000);
    FirmwareThread block;
    s_Wakes = 0;
    block.wake = CountWake;
    block.wakeContext = &s_Wakes;
    EXPECT_TRUE(Panel_PublishOutputs(&block)) << "the settings loaded and the kinds differ from nothing";
    EXPECT_EQ(block.outputsReady.load(), 1u);
    EXPECT_EQ(s_Wakes, 1u);
    block.outputsReady.store(0);
    Rig_AdvanceMs(3000);
    EXPECT_FALSE(Panel_PublishOutputs(&block)) << "nothing changed";
    EXPECT_EQ(block.outputsReady.load(), 0u);
    EXPECT_EQ(s_Wakes, 1u);

    // A relay contact, a relay pulse, an output current, channel A's kind: each wakes the panel.
    g_RelayBits.store(g_RelayBits.load() ^ 1u);
    EXPECT_TRUE(Panel_PublishOutputs(&block));
    EXPECT_EQ(s_Wakes, 2u);
    block.outputsReady.store(0);
    g_RelayClosings[1].fetch_add(1);
    EXPECT_TRUE(Panel_PublishOutputs(&block));
    EXPECT_EQ(s_Wakes, 3u);
    block.outputsReady.store(0);
    g_AnalogOut[1].shownCurrent.store(Aout_GetShownCurrent(1) + 0.5f);
    EXPECT_TRUE(Panel_PublishOutputs(&block));
    EXPECT_EQ(s_Wakes, 4u);
    // A change while the panel has not yet taken the last: published, one wake is enough.
    g_ChannelKind[0] = 5;
    Rig_AdvanceMs(20);
    EXPECT_TRUE(Panel_PublishOutputs(&block));
    EXPECT_EQ(block.outputsReady.load(), 1u);
    EXPECT_EQ(s_Wakes, 4u);
}

TEST(FirmwareThread, PanelSetUpAndDisplayWhileTheFirmwareStarts) {
    // Real threads, as in the program: the firmware thread starts, draws its version and waits for
    // the sensor board, while this thread takes the channel set-up and the display. In the
    // ThreadSanitizer build any access both threads make without order fails the test.
    std::string folder = Rig_MakeTempFolder() + "/";
    SetEEPROMBinFilePath(folder.c_str());
    Plat_SetIdleHook(nullptr);
    Plat_SetTimeSource(nullptr);
    FirmwareThread block;
    ASSERT_TRUE(Panel_StartFirmwareThread(&block));
    auto start = std::chrono::steady_clock::now();
    auto deadline = start + std::chrono::seconds(10);
    ChannelSetup setup{};
    bool loaded = false;
    while (!(loaded = Panel_TryLoadChannelSetup(&setup)) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::yield();
    }
    ASSERT_TRUE(loaded);
    EXPECT_EQ(setup.kindA, 1);
    EXPECT_EQ(setup.sensorIndex, 0);

    // The version drawn before the wait for the sensor board is shown during that wait.
    ShownDisplay shown{};
    while (!FrameHasDots(shown, kRowMessage) && std::chrono::steady_clock::now() < deadline) {
        if (block.frameReady.exchange(0)) Panel_TakeDisplay(&block, &shown);
        std::this_thread::yield();
    }
    EXPECT_TRUE(FrameHasDots(shown, kRowStatus));
    EXPECT_TRUE(FrameHasDots(shown, kRowMessage));
    Panel_StopFirmwareThread(&block);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}
