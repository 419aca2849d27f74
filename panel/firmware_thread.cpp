// The firmware thread.
#include "panel/firmware_thread.h"

#include "fw_main.h"
#include "platform/plat.h"
#include "platform/plat_thread.h"

static constexpr uint32_t kStartPauseMs = 1000;
static constexpr uint32_t kPassPeriodMs = 20;

// Waits that long unless a stop is asked for (the stop request cuts the wait short); true when
// the thread should go on.
static bool PacingWait(FirmwareThread* block, uint32_t ms) {
    if (block->stop.load(std::memory_order_relaxed) != 0) return false;
    Plat_WaitForStop(ms);
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

static void RunFirmware(void* block) { Panel_FirmwareThreadEntry(static_cast<FirmwareThread*>(block)); }

bool Panel_StartFirmwareThread(FirmwareThread* block) {
    block->frameReady.store(1, std::memory_order_relaxed);
    block->stop.store(0, std::memory_order_relaxed);
    Plat_ClearStop();
    block->thread = Plat_ThreadStartJoinable(RunFirmware, block);
    return block->thread != nullptr;
}

void Panel_StopFirmwareThread(FirmwareThread* block) {
    block->stop.store(1, std::memory_order_relaxed);
    // The firmware's own wait loops (start-up wait, store-error halt) and the pacing wait watch
    // this one.
    Plat_RequestStop();
    Plat_ThreadJoin(block->thread);
    block->thread = nullptr;
}
