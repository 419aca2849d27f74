// The five front keys: where they lie, which mouse press hits which key, and how a press and
// its release reach the firmware's key byte; also the two periodic timer callbacks.
#pragma once
#include <cstdint>

// One key of the front: its code, the button's place and size in the dialog's client area, and
// the columns a press must fall in (from x, below x). Every key's press rows are the same.
struct KeyArea {
    uint8_t code;
    int buttonX;
    int buttonY;
    int buttonWidth;
    int buttonHeight;
    int hitFromX;
    int hitBelowX;
};
constexpr int kKeyCount = 5;
constexpr int kKeyHitFromY = 382;
constexpr int kKeyHitBelowY = 442;
// MENU, CAL, UP, INFO, ENTER.
extern const KeyArea g_KeyAreas[kKeyCount];

// The key code under a press at client position (x, y), tested in key order; 255 for none.
uint8_t Panel_HitTestKey(int x, int y);

// A press on a key area (user-interface thread): the firmware's press start, then the held key.
// The key stays held for at least two release tests, so a click shorter than one scan still
// reaches the key scan on two scans and gives exactly one key.
void Panel_PressKey(uint8_t code);
// The left mouse button went up (user-interface thread).
void Panel_ReleaseButton();
// The release test (timer thread, after each tick): the key byte becomes 255 once the button is
// up and the press has been seen.
void Panel_ReleaseTest();

// The 21-ms timer: the firmware's tick, then the release test.
void Panel_TickTimerProc();
// The 100-ms timer: the byte pump to the sensor-board library.
void Panel_LinkTimerProc();
