// Keypad: the five front keys scanned every 20 ms into a two-entry key queue, and the
// key-to-event table of the key modes.
#pragma once
#include <atomic>
#include <cstdint>

#include "core/ui_ids.h"

constexpr uint8_t kKeyMenu = 0;
constexpr uint8_t kKeyCal = 1;
constexpr uint8_t kKeyUp = 2;
constexpr uint8_t kKeyInfo = 3;
constexpr uint8_t kKeyEnter = 4;
constexpr uint8_t kKeyNone = 255;
constexpr uint8_t kKeyLongRelease = 0x40;
constexpr uint8_t kKeyRepeat = 0x80;
constexpr uint8_t kKeyEscape = 172;

// The key the panel holds (255 none); written by the panel, cleared by the timer on release.
extern std::atomic<uint8_t> g_KeyCode;
// The key mode: the row of the key-to-event table the main loop turns keys with; the screens
// set it.
extern uint8_t g_DisplayMode;

// The panel pressed a key area.
void Key_PressStart();
void Key_Init();
// No key held, key mode 0, the queue and the scan back to power-on.
void Key_ResetState();
// Key_Init, then the scan on software timer 1 every 20 ms.
void Key_Start();
uint8_t Key_ReadRaw();
// Queues a key code; a third code while two wait is dropped.
void Key_Put(uint8_t code);
uint8_t Key_HasKey();
uint8_t Key_Get();
// Plain keys become the table's event for the mode; other codes pass unchanged.
void Key_PostEvent(uint8_t mode, uint8_t code);
// The event a plain key gives in a mode (255 for a mode or key outside the table).
uint8_t Key_EventFor(uint8_t mode, uint8_t key);
// The timer callback.
void Key_Scan();
