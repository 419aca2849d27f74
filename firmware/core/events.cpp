// The event queue. Written and read by the firmware thread only.
#include "core/events.h"

uint32_t g_EventQueue[kEventQueueSize];
static uint8_t s_WriteIndex;
static uint8_t s_ReadIndex;
static uint8_t s_Count;

void Event_Clear() {
    s_WriteIndex = 0;
    s_ReadIndex = 0;
    s_Count = 0;
}

void Event_Put(uint32_t event) {
    if (s_Count >= kEventQueueSize) return;
    ++s_Count;
    g_EventQueue[s_WriteIndex] = event;
    if (++s_WriteIndex >= kEventQueueSize) s_WriteIndex = 0;
}

uint32_t Event_HasItem() { return s_Count > 0 ? 1 : 0; }

uint32_t Event_Get() {
    // An empty queue yields 255, the "nothing" event, rather than a stale entry.
    if (s_Count == 0) return 255;
    --s_Count;
    uint32_t event = g_EventQueue[s_ReadIndex];
    if (++s_ReadIndex >= kEventQueueSize) s_ReadIndex = 0;
    return event;
}

void Event_ResetState() {
    for (uint32_t& event : g_EventQueue) event = 0;
    Event_Clear();
}
