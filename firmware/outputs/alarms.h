// Alarm causes and the alarm relay.
#pragma once
#include <cstdint>

// Clears both channels' cause words except the communication error.
void Alarm_ClearAllCauses();
// Once a second: the alarm relay from the causes.
void Alarm_UpdateRelay();
// The relay that serves as alarm relay (2 = none).
uint8_t Alarm_GetRelay();
// A set bit switches the cause's check off.
uint32_t Alarm_GetCauseDisableMask();
