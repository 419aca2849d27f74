// Key hit-testing, the press latch and the timer callbacks.
#include "panel/keys.h"

#include <atomic>

#include "core/keypad.h"
#include "core/link_transport.h"
#include "core/timers.h"

const KeyArea g_KeyAreas[kKeyCount] = {
    {kKeyMenu, 161, 382, 58, 60, 162, 218},  {kKeyCal, 231, 382, 58, 60, 231, 289},
    {kKeyUp, 303, 382, 57, 60, 303, 359},    {kKeyInfo, 373, 382, 59, 60, 373, 430},
    {kKeyEnter, 444, 382, 57, 60, 444, 500},
};

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;
// Release tests a press survives whatever the button does; two, because the scan must see the
// key on two scans (press, then held) for the release to count as a key.
static constexpr uint8_t kPressTests = 2;

static std::atomic<uint8_t> s_PressTestsLeft{0};
static std::atomic<uint32_t> s_ButtonDown{0};

uint8_t Panel_HitTestKey(int x, int y) {
    if (y < kKeyHitFromY || y >= kKeyHitBelowY) return kKeyNone;
    for (const KeyArea& key : g_KeyAreas) {
        if (x >= key.hitFromX && x < key.hitBelowX) return key.code;
    }
    return kKeyNone;
}

void Panel_PressKey(uint8_t code) {
    s_ButtonDown.store(1, kRelaxed);
    s_PressTestsLeft.store(kPressTests, kRelaxed);
    Key_PressStart();
    g_KeyCode.store(code, kRelaxed);
}

void Panel_ReleaseButton() { s_ButtonDown.store(0, kRelaxed); }

void Panel_ReleaseTest() {
    uint8_t left = s_PressTestsLeft.load(kRelaxed);
    while (left > 0) {
        // A new press between the load and the store must not be shortened.
        if (s_PressTestsLeft.compare_exchange_weak(left, static_cast<uint8_t>(left - 1), kRelaxed)) return;
    }
    if (!s_ButtonDown.load(kRelaxed)) g_KeyCode.store(kKeyNone, kRelaxed);
}

void Panel_TickTimerProc() {
    Timer_Tick();
    Panel_ReleaseTest();
}

void Panel_LinkTimerProc() { Link_Pump(); }
