// The sensor and system conditions of plug-and-measure as messages, alarm flags and alarm causes:
// wrong sensor, channel B disconnected, communication error and the unset clock.
#pragma once
#include <cstdint>

// Wrong sensor on a channel: the channel measures nothing; cause, flag and message 55.
void Vdx_RaiseWrongSensor(uint32_t channel);
void Vdx_ClearWrongSensor(uint32_t channel);
// Raises (1, unless its check is switched off) or clears (0) channel B's "Disconnected" state.
void Vdx_UpdateDisconnectedB(uint32_t on);
void Vdx_ClearDisconnected(uint32_t channel);
// Message 100 "Communication Error" with its cause and flag on both channels, and its end.
void Vdx_RaiseCommError();
// Ends the communication error wherever it stands: in the causes, the flags or the list.
void Vdx_ClearCommError();
// Message 101 "Set Correct Date" with its flag on both channels, and its end.
void Vdx_RaiseSetDateAlarm();
void Vdx_ClearSetDateAlarm();
