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

// Channel of the current measurement requests; 255 (any value of 2 or more) is none.
extern uint8_t g_LinkActiveChannel;
// Polarization voltage last requested of the sensor board, mV.
extern float g_LinkPolVoltage;
// Per channel: measurement replies since the sensor's page 13 was last read.
extern uint16_t g_LinkChanStatus[2];

// Queues request kind n; returns the pending mask.
uint32_t Link_SetRequestBit(uint32_t kind);
uint32_t Link_IsRequestPending(uint32_t kind);
// Selects the channel measured and its measuring mode.
void Link_SetMeasureMode(uint32_t channel, uint32_t mode);
