// Relays and output hold.
#pragma once
#include <atomic>
#include <cstdint>

// 1 while the outputs are held.
extern uint32_t g_OutputHold;
// Per relay: the relay follows the output hold.
extern uint8_t g_RelayHoldFlags[2];

uint32_t Hold_IsOutputHoldActive();
// Relay contacts: bit 0 relay 1, bit 1 relay 2, set while the contact is closed.
extern std::atomic<uint8_t> g_RelayBits;
// The two digital inputs DIn1 and DIn2 (0 low, 1 high), set by the front panel.
extern std::atomic<uint8_t> g_DigitalInputs[2];
// The hold blinks on the line of that channel.
uint32_t Hold_IsOutputHoldForChannel(uint32_t channel);
// Once a second: the hold word from its causes.
void Hold_Update();
// "Please wait..." on row 12 while a save runs; marks the sensor save as under way.
void Hold_ShowPleaseWait();
// Drives both relays; relays 2 mean none.
void Relay_UpdateAll(uint32_t hold, uint32_t cleaning, uint8_t cleanRelay, uint8_t pidRelay0, uint8_t pidRelay1);
