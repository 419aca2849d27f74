// Message list and alarm flags.
#pragma once
#include <cstdint>

void Msg_ClearAll();
// The message part of a channel reset.
void Msg_ResetChannel(uint32_t channel);
