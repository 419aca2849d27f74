// The firmware thread.
#include "panel/firmware_thread.h"

#include <chrono>

#include "fw_main.h"
#include "platform/plat.h"

static constexpr uint32_t kStartPauseMs = 1000;
static constexpr uint32_t kPassPeriodMs = 20;

// Waits that long unless a stop is asked for; true when the thread should go on.
static bool PacingWait(FirmwareThread* block, uint32_t ms) {
    std::unique_lock<std::mutex> lock(block->mutex);
    block->pacing.wait_for(lock, std::chrono::milliseconds(ms),
                           [block] { return block->stop.load(std::memory_order_relaxed) != 0; });
    return block->stop.load(std::memory_order_relaxed) == 0;
}

void Panel_FirmwareThreadProc(FirmwareThread* block) {
    Fw_Start();
    if (!PacingWait(block, kStartPauseMs)) return;
    while (block->stop.load(std::memory_order_relaxed) == 0) {
        Fw_MainLoopPass();
        block->frameReady.store(1, std::memory_order_relaxed);
        if (!PacingWait(block, kPassPeriodMs)) return;
    }
}

int Panel_FirmwareThreadEntry(FirmwareThread* block) {
    Panel_FirmwareThreadProc(block);
    return 0;
}

bool Panel_StartFirmwareThread(FirmwareThread* block) {
    block->frameReady.store(1, std::memory_order_relaxed);
    block->stop.store(0, std::memory_order_relaxed);
    Plat_ClearStop();
    try {
        block->thread = std::thread(Panel_FirmwareThreadEntry, block);
    } catch (...) {
        return false;
    }
    return true;
}

void Panel_StopFirmwareThread(FirmwareThread* block) {
    {
        std::lock_guard<std::mutex> lock(block->mutex);
        block->stop.store(1, std::memory_order_relaxed);
    }
    // The firmware's own wait loops (start-up wait, store-error halt) watch this one.
    Plat_RequestStop();
    block->pacing.notify_all();
    if (block->thread.joinable()) block->thread.join();
}
