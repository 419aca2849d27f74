// Main-board side of the sensor-board link.
#pragma once
#include <cstdint>

// Outcome of a sensor-board save: 1 done, 0 failed, 255 idle.
extern uint8_t g_LinkSaveResult;

// One step of the link state machine (main loop).
void Link_Tick();
// Software timer 3's callback: counts link ticks.
void Link_CountTick();
// The 100-ms byte pump between the firmware and the library.
void Link_Pump();
