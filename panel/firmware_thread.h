// The thread that runs the transmitter firmware: start-up once, then a main-loop pass every
// 20 ms until the panel asks it to stop. It makes no window-system calls; the panel's 50-ms
// timer looks at the frame-ready flag and repaints.
#pragma once
#include <atomic>
#include <cstdint>

struct PlatThread;

struct FirmwareThread {
    // The running thread; nullptr before the start and after the stop.
    PlatThread* thread = nullptr;
    // Set after each main-loop pass (and at start), cleared by the painter.
    std::atomic<uint32_t> frameReady{0};
    std::atomic<uint32_t> stop{0};
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
