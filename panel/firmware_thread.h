// The thread that runs the transmitter firmware: start-up once, then a main-loop pass every
// 20 ms until the panel asks it to stop. It makes no window-system calls. After each pass (and
// while start-up waits) it publishes the display when it changed; the painter takes that copy, so
// the painter never reads the frame buffer the firmware is drawing into.
#pragma once
#include <atomic>
#include <cstdint>

#include "core/lcd.h"
#include "panel/lcd_paint.h"

struct PlatThread;

// The display as the panel shows it: the frame buffer and the background colour it is painted on.
struct ShownDisplay {
    uint8_t frame[kLcdRows][kLcdColumns];
    LcdColour background;
};
// The published display travels in 32-bit words, each written and read whole.
constexpr uint32_t kShownDisplayWords = (sizeof(ShownDisplay) + 3) / 4;

// What the panel shows beside the display, as a pass leaves it: the output currents, the relay
// contacts and closings, channel A's configured kind and whether the settings are loaded. The
// panel reads the values themselves; this copy only tells it when one changed.
struct ShownOutputs {
    float current[2];
    uint8_t relayBits;
    uint32_t relayClosings[2];
    uint8_t kindA;
    uint8_t settingsLoaded;
};

struct FirmwareThread {
    // The running thread; nullptr before the start and after the stop.
    PlatThread* thread = nullptr;
    // Set when a display that differs from the one before was published (and at start), cleared
    // by the painter when it takes it.
    std::atomic<uint32_t> frameReady{0};
    // Set when the outputs changed (and at start), cleared by the panel when it shows them.
    std::atomic<uint32_t> outputsReady{0};
    std::atomic<uint32_t> stop{0};
    // Called on the firmware thread when frameReady or outputsReady goes from 0 to 1: the panel
    // has no timer of its own running at rest. Set before the start. May be nullptr.
    void (*wake)(void* context) = nullptr;
    void* wakeContext = nullptr;

    // The published display: odd sequence while the firmware thread writes the words.
    std::atomic<uint32_t> displaySequence{0};
    std::atomic<uint32_t> displayWords[kShownDisplayWords] = {};
    // What was published last; the firmware thread's own.
    ShownDisplay published = {};
    ShownOutputs publishedOutputs = {};
};

// Starts the firmware; false when the thread cannot be created.
bool Panel_StartFirmwareThread(FirmwareThread* block);
// Asks the firmware to stop, wherever it is (its start-up wait, the store-error halt, a pass,
// the pacing wait), and waits for the thread to end. Harmless when it already ended.
void Panel_StopFirmwareThread(FirmwareThread* block);
// The thread's entry: runs the body, then ends with 0.
int Panel_FirmwareThreadEntry(FirmwareThread* block);
// The thread's body: start-up, the one-second pause, then the passes until asked to stop.
void Panel_FirmwareThreadProc(FirmwareThread* block);

// The display as the firmware thread sees it now: g_LcdFrame and the background that the display
// setting and analog output 1 give it. Firmware thread only.
void Panel_CaptureDisplay(ShownDisplay* display);
// Firmware thread: publishes the display when it differs from the one published last, sets
// frameReady and wakes the painter. True when it published.
bool Panel_PublishDisplay(FirmwareThread* block);
// The outputs as the firmware thread sees them now. Firmware thread only.
void Panel_CaptureOutputs(ShownOutputs* outputs);
// Firmware thread: when the outputs differ from those seen last, sets outputsReady and wakes the
// panel. True when they differed.
bool Panel_PublishOutputs(FirmwareThread* block);
// Painter's thread: a whole copy of the display published last (never half of one and half of
// the next).
void Panel_TakeDisplay(FirmwareThread* block, ShownDisplay* display);
