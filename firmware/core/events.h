// The firmware's event queue: 50 events of 32 bits, first in, first out.
#pragma once
#include <cstdint>

constexpr uint32_t kEventQueueSize = 50;

extern uint32_t g_EventQueue[kEventQueueSize];

void Event_Clear();
// Back to the state at power-on (tests run many starts in one process).
void Event_ResetState();
// Queues an event; a full queue keeps what it holds and drops the new one.
void Event_Put(uint32_t event);
// 1 while an event waits.
uint32_t Event_HasItem();
// The oldest event; call only after Event_HasItem.
uint32_t Event_Get();
