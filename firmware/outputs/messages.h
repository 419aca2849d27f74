// Message list and alarm flags.
#pragma once
#include <cstdint>

constexpr uint32_t kMsgListSize = 40;

// Active message codes, oldest first.
extern uint16_t g_MsgActive[kMsgListSize];
extern uint8_t g_MsgActiveCount;

void Msg_ClearAll();
// The message part of a channel reset.
void Msg_ResetChannel(uint32_t channel);
void Msg_Raise(uint16_t code);
void Msg_Clear(uint16_t code);
