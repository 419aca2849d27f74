// Screen stack and menu engine.
#pragma once
#include <cstdint>

constexpr uint32_t kMenuStackSize = 32;

extern uint8_t g_MenuStack[kMenuStackSize];
extern uint32_t g_MenuDepth;
extern uint8_t g_MenuPositionPending;
// Edit flags of the pages; entry 0 is 1 while the clock waits to be set after start.
extern uint8_t g_EditFlags[8];
// Calibration type chosen on the page being edited: 0 one point, 1 two points, 2 process.
extern uint8_t g_ChosenMode;

// Only the measurement screen on the stack.
void Menu_ResetStack();
uint8_t Menu_TopScreen();
uint32_t Menu_EventAllowed(uint32_t event);
// Hands an event to the engine; -1 or 255 for "nothing next", else the next event.
int32_t Menu_HandleEvent(uint8_t screen, uint32_t event);
void Menu_EndChannelHoldIfActive();
uint32_t Menu_IsChannelHeld();
