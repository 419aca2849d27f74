// The firmware thread.
#include "panel/firmware_thread.h"

#include <bit>
#include <cstring>

#include "core/eeprom.h"
#include "fw_main.h"
#include "outputs/aout.h"
#include "outputs/relays.h"
#include "platform/plat.h"
#include "platform/plat_thread.h"

static constexpr uint32_t kStartPauseMs = 1000;
static constexpr uint32_t kPassPeriodMs = 20;
// How long one round of the firmware's own wait loops sleeps: short against the 20-ms tick.
static constexpr uint32_t kIdleWaitMs = 5;

// The block whose thread runs; the idle hook has no argument of its own.
static std::atomic<FirmwareThread*> s_Running{nullptr};

// Waits that long unless a stop is asked for (the stop request cuts the wait short); true when
// the thread should go on.
static bool PacingWait(FirmwareThread* block, uint32_t ms) {
    if (block->stop.load(std::memory_order_relaxed) != 0) return false;
    Plat_WaitForStop(ms);
    return block->stop.load(std::memory_order_relaxed) == 0;
}

// What the panel shows: the display and the outputs beside it.
static void PublishAll(FirmwareThread* block) {
    Panel_PublishDisplay(block);
    Panel_PublishOutputs(block);
}

// The firmware's wait loops (the start-up wait for the sensor board, the store-error halt) idle
// here: what they drew is shown while they wait.
static void IdleWhileWaiting() {
    FirmwareThread* block = s_Running.load(std::memory_order_relaxed);
    if (block != nullptr) PublishAll(block);
    Plat_WaitForStop(kIdleWaitMs);
}

void Panel_FirmwareThreadProc(FirmwareThread* block) {
    Fw_Start();
    PublishAll(block);
    if (!PacingWait(block, kStartPauseMs)) return;
    while (block->stop.load(std::memory_order_relaxed) == 0) {
        Fw_MainLoopPass();
        PublishAll(block);
        if (!PacingWait(block, kPassPeriodMs)) return;
    }
}

int Panel_FirmwareThreadEntry(FirmwareThread* block) {
    Panel_FirmwareThreadProc(block);
    return 0;
}

static void RunFirmware(void* block) { Panel_FirmwareThreadEntry(static_cast<FirmwareThread*>(block)); }

bool Panel_StartFirmwareThread(FirmwareThread* block) {
    // The display as it stands before the firmware draws (blank on its background), so that the
    // painter never shows a display nobody published.
    Panel_PublishDisplay(block);
    block->frameReady.store(1, std::memory_order_relaxed);
    Panel_CaptureOutputs(&block->publishedOutputs);
    block->outputsReady.store(1, std::memory_order_relaxed);
    block->stop.store(0, std::memory_order_relaxed);
    Plat_ClearStop();
    s_Running.store(block, std::memory_order_relaxed);
    Plat_SetIdleHook(IdleWhileWaiting);
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
    if (s_Running.load(std::memory_order_relaxed) == block) {
        Plat_SetIdleHook(nullptr);
        s_Running.store(nullptr, std::memory_order_relaxed);
    }
}

void Panel_CaptureDisplay(ShownDisplay* display) {
    std::memcpy(display->frame, g_LcdFrame, sizeof display->frame);
    display->background = Panel_LcdBackground(g_DisplayFlag, Aout_GetShownCurrent(0));
}

static bool SameDisplay(const ShownDisplay& a, const ShownDisplay& b) {
    return std::memcmp(a.frame, b.frame, sizeof a.frame) == 0 && a.background.red == b.background.red &&
           a.background.green == b.background.green && a.background.blue == b.background.blue;
}

bool Panel_PublishDisplay(FirmwareThread* block) {
    ShownDisplay now;
    Panel_CaptureDisplay(&now);
    if (SameDisplay(now, block->published)) return false;
    block->published = now;

    uint32_t words[kShownDisplayWords] = {};
    std::memcpy(words, &now, sizeof now);
    // A sequence lock: odd while the words change. Each word's release store keeps the odd count
    // ahead of it, so a reader that sees any new word also sees the count move.
    uint32_t sequence = block->displaySequence.load(std::memory_order_relaxed);
    block->displaySequence.store(sequence + 1, std::memory_order_relaxed);
    for (uint32_t i = 0; i < kShownDisplayWords; ++i) block->displayWords[i].store(words[i], std::memory_order_release);
    block->displaySequence.store(sequence + 2, std::memory_order_release);

    if (block->frameReady.exchange(1, std::memory_order_acq_rel) == 0 && block->wake != nullptr) {
        block->wake(block->wakeContext);
    }
    return true;
}

void Panel_CaptureOutputs(ShownOutputs* outputs) {
    for (uint32_t i = 0; i < 2; ++i) {
        outputs->current[i] = Aout_GetShownCurrent(i);
        outputs->relayClosings[i] = g_RelayClosings[i].load(std::memory_order_relaxed);
    }
    outputs->relayBits = g_RelayBits.load(std::memory_order_relaxed);
    outputs->kindA = Fw_GetChannelType(0);
    outputs->settingsLoaded = Fw_SettingsLoaded() ? 1 : 0;
}

static bool SameOutputs(const ShownOutputs& a, const ShownOutputs& b) {
    for (uint32_t i = 0; i < 2; ++i) {
        if (std::bit_cast<uint32_t>(a.current[i]) != std::bit_cast<uint32_t>(b.current[i])) return false;
        if (a.relayClosings[i] != b.relayClosings[i]) return false;
    }
    return a.relayBits == b.relayBits && a.kindA == b.kindA && a.settingsLoaded == b.settingsLoaded;
}

bool Panel_PublishOutputs(FirmwareThread* block) {
    ShownOutputs now;
    Panel_CaptureOutputs(&now);
    if (SameOutputs(now, block->publishedOutputs)) return false;
    block->publishedOutputs = now;
    if (block->outputsReady.exchange(1, std::memory_order_acq_rel) == 0 && block->wake != nullptr) {
        block->wake(block->wakeContext);
    }
    return true;
}

void Panel_TakeDisplay(FirmwareThread* block, ShownDisplay* display) {
    uint32_t words[kShownDisplayWords];
    for (;;) {
        uint32_t before = block->displaySequence.load(std::memory_order_acquire);
        if (before & 1u) continue;
        for (uint32_t i = 0; i < kShownDisplayWords; ++i)
            words[i] = block->displayWords[i].load(std::memory_order_acquire);
        if (block->displaySequence.load(std::memory_order_relaxed) == before) break;
    }
    std::memcpy(display, words, sizeof *display);
}
