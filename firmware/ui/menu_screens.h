// The screen table of the menu engine: each screen's draw operation (run by the enter code that
// enters it) and key operation (run with every event while it is on top), named by screen.
#pragma once
#include <cstdint>

// Runs the draw operation of an enter code; only the page openers hand a result on.
int32_t Menu_EnterScreen(uint32_t code);
// The key operation of a screen, then for event 10 the one-second tasks.
int32_t Menu_ScreenEvent(uint8_t screen, uint32_t event);
