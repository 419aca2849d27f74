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
// Loads the sensor-board library from the library folder and starts its worker (once, by the
// panel at start); without the library every later call into it is skipped.
void Link_BindLibrary();
// Hands channel B's sensor image file and sensor code to the library (slot 1 only); always 1.
uint32_t Link_SelectSensorImage(uint32_t slot, const char* fileName, uint8_t code);
