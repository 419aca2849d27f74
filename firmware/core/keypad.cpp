// Keypad scan and key queue. The scan runs on the timer thread, the panel writes the held key
// and the escape key from its own thread, the firmware thread takes keys: shared values are atomics.
#include "core/keypad.h"

#include "core/events.h"
#include "core/timers.h"

std::atomic<uint8_t> g_KeyCode{kKeyNone};
uint8_t g_DisplayMode;

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;

// Press states of the scan.
enum : uint8_t { kPressIdle = 0, kPressJust = 1, kPressHeld = 2, kPressLong = 3 };
static constexpr uint8_t kHoldScans = 50;   // one second to a long hold
static constexpr uint8_t kRepeatScans = 8;  // 160 ms between repeats

// The two-entry key queue in one word, so that the scan (timer thread), the escape key (panel
// thread) and Key_Get (firmware thread) each change it in one atomic step: entry 0 in bits 0-7,
// entry 1 in bits 8-15, write index bit 16, read index bit 17, count bits 18-19.
static std::atomic<uint32_t> s_KeyQueue{0};
static constexpr uint32_t kQueueWriteShift = 16;
static constexpr uint32_t kQueueReadShift = 17;
static constexpr uint32_t kQueueCountShift = 18;
static constexpr uint32_t kQueueCapacity = 2;

static uint32_t QueueCount(uint32_t queue) { return (queue >> kQueueCountShift) & 3; }
static uint32_t QueueIndex(uint32_t queue, uint32_t shift) { return (queue >> shift) & 1; }
static uint32_t QueueEntry(uint32_t queue, uint32_t index) { return (queue >> (8 * index)) & 0xFF; }

static std::atomic<uint8_t> s_PreviousKey{kKeyNone};
static std::atomic<uint8_t> s_PressState;
static std::atomic<uint8_t> s_HoldCountdown;
static std::atomic<uint8_t> s_RepeatCountdown;

// Events by key mode (rows, in mode order) and key (MENU, CAL, UP, INFO, ENTER).
static constexpr uint8_t kNo = kEventNone;
static const uint8_t kKeyEventTable[kKeyModeCount][5] = {
    {kEventMenu, kEventCal, kEventUp, kEventInfo, kEventHomeEnter},                          // kKeyModeHome
    {kEventLeft, kEventRight, kEventUp, kEventDown, kEventEnter},                            // kKeyModeMenu
    {kEventLeft, kEventRight, kEventUp, kEventDown, kEventLineSetupAbEnter},                 // kKeyModeLineSetupAb
    {kEventLeft, kEventRight, kEventUp, kEventDown, kEventLineSetupCdEnter},                 // kKeyModeLineSetupCd
    {kNo, kNo, kNo, kNo, kEventSpareEnter},                                                  // kKeyModeSpare
    {kNo, kNo, kNo, kNo, kEventHome},                                                        // kKeyModeMessage
    {kNo, kNo, kNo, kNo, kNo},                                                               // kKeyModeBusy
    {kEventKeyTestMenu, kEventKeyTestCal, kEventKeyTestUp, kEventKeyTestInfo, kEventEnter},  // kKeyModeKeypadTest
    {kNo, kNo, kNo, kNo, kEventRedraw},                                                      // kKeyModeErrorShown
    {kNo, kNo, kNo, kNo, kEventEnter},                                                       // kKeyModeEnterOnly
};

void Key_PressStart() {
    s_PressState.store(kPressHeld, kRelaxed);
    s_HoldCountdown.store(kHoldScans, kRelaxed);
}

void Key_Init() {
    s_KeyQueue.store(0, kRelaxed);
    s_PreviousKey.store(kKeyNone, kRelaxed);
    s_PressState.store(kPressIdle, kRelaxed);
    Timer_Stop(kTimerKeyScan);
}

void Key_Start() {
    Key_Init();
    Timer_SetCallback(kTimerKeyScan, 1, Key_Scan);
    Timer_Start(kTimerKeyScan, 20, 1);
}

uint8_t Key_ReadRaw() {
    uint8_t key = g_KeyCode.load(kRelaxed);
    if (key != kKeyNone && s_PreviousKey.load(kRelaxed) == kKeyNone) s_PressState.store(kPressJust, kRelaxed);
    return key;
}

void Key_Put(uint8_t code) {
    uint32_t queue = s_KeyQueue.load(kRelaxed);
    uint32_t next;
    do {
        uint32_t count = QueueCount(queue);
        if (count >= kQueueCapacity) return;
        uint32_t w = QueueIndex(queue, kQueueWriteShift);
        next = queue & ~((0xFFu << (8 * w)) | (1u << kQueueWriteShift) | (3u << kQueueCountShift));
        next |= static_cast<uint32_t>(code) << (8 * w);
        next |= (w ^ 1) << kQueueWriteShift;
        next |= (count + 1) << kQueueCountShift;
    } while (!s_KeyQueue.compare_exchange_weak(queue, next, std::memory_order_acq_rel, kRelaxed));
}

uint8_t Key_HasKey() { return QueueCount(s_KeyQueue.load(kRelaxed)) > 0 ? 1 : 0; }

uint8_t Key_Get() {
    uint32_t queue = s_KeyQueue.load(kRelaxed);
    uint32_t next;
    uint8_t code;
    do {
        uint32_t count = QueueCount(queue);
        if (count == 0) return kKeyNone;
        uint32_t r = QueueIndex(queue, kQueueReadShift);
        code = static_cast<uint8_t>(QueueEntry(queue, r));
        next = queue & ~((1u << kQueueReadShift) | (3u << kQueueCountShift));
        next |= (r ^ 1) << kQueueReadShift;
        next |= (count - 1) << kQueueCountShift;
    } while (!s_KeyQueue.compare_exchange_weak(queue, next, std::memory_order_acq_rel, kRelaxed));
    return code;
}

uint8_t Key_EventFor(uint8_t mode, uint8_t key) {
    if (mode >= kKeyModeCount || key > kKeyEnter) return kEventNone;
    return kKeyEventTable[mode][key];
}

void Key_PostEvent(uint8_t mode, uint8_t code) { Event_Put(code <= kKeyEnter ? Key_EventFor(mode, code) : code); }

void Key_Scan() {
    uint8_t key = Key_ReadRaw();
    uint8_t previous = s_PreviousKey.load(kRelaxed);
    uint8_t state = s_PressState.load(kRelaxed);
    if (key == kKeyNone && previous != kKeyNone) {
        if (state == kPressLong) {
            Key_Put(static_cast<uint8_t>(previous + kKeyLongRelease));
        } else if (state == kPressHeld) {
            Key_Put(previous);
        }
        s_PressState.store(kPressIdle, kRelaxed);
    } else if (key != kKeyNone && key == previous) {
        if (state == kPressJust) {
            s_PressState.store(kPressHeld, kRelaxed);
            s_HoldCountdown.store(kHoldScans, kRelaxed);
        } else if (state == kPressHeld) {
            uint8_t left = s_HoldCountdown.load(kRelaxed);
            left = left > 0 ? static_cast<uint8_t>(left - 1) : 0;
            s_HoldCountdown.store(left, kRelaxed);
            if (left == 0) {
                s_PressState.store(kPressLong, kRelaxed);
                s_RepeatCountdown.store(kRepeatScans, kRelaxed);
            }
        } else if (state == kPressLong) {
            uint8_t left = s_RepeatCountdown.load(kRelaxed);
            left = left > 0 ? static_cast<uint8_t>(left - 1) : 0;
            if (left == 0) {
                Key_Put(static_cast<uint8_t>(key + kKeyRepeat));
                left = kRepeatScans;
            }
            s_RepeatCountdown.store(left, kRelaxed);
        }
    }
    s_PreviousKey.store(key, kRelaxed);
}

void Key_ResetState() {
    g_KeyCode.store(kKeyNone, kRelaxed);
    g_DisplayMode = kKeyModeHome;
    s_KeyQueue.store(0, kRelaxed);
    s_PreviousKey.store(kKeyNone, kRelaxed);
    s_PressState.store(kPressIdle, kRelaxed);
    s_HoldCountdown.store(0, kRelaxed);
    s_RepeatCountdown.store(0, kRelaxed);
}
