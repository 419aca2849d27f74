// The hardware hook: the one point where the instrument drives its watchdog, LEDs and output
// lines. On the computer there is nothing to drive.
#pragma once
#include <cstdint>

// Long-running loops call it without arguments (the watchdog kick); output code passes a state
// (0, 1 or 2) and a bit mask.
void Fw_HardwareHook(uint32_t state = 0, uint32_t mask = 0);
