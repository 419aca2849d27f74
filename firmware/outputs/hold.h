// Relays and output hold.
#pragma once
#include <atomic>
#include <cstdint>

uint32_t Hold_IsOutputHoldActive();
// Relay contacts: bit 0 relay 1, bit 1 relay 2, set while the contact is closed.
extern std::atomic<uint8_t> g_RelayBits;
// The two digital inputs DIn1 and DIn2 (0 low, 1 high), set by the front panel.
extern std::atomic<uint8_t> g_DigitalInputs[2];
