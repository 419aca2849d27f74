// Alarm causes and the alarm relay.
#pragma once
#include <cstdint>

void Alarm_UpdateRelay();
// The relay that serves as alarm relay (2 = none).
uint8_t Alarm_GetRelay();
// A set bit switches the cause's check off.
uint32_t Alarm_GetCauseDisableMask();
