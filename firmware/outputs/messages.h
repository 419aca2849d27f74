// Message list and alarm flags.
#pragma once
#include <cstdint>

constexpr uint32_t kMsgListSize = 40;

// Active message codes, oldest first.
extern uint16_t g_MsgActive[kMsgListSize];
// Number of active messages (at most 39).
extern uint8_t g_MsgActiveCount;

void Msg_ClearAll();
// The message part of a channel reset.
void Msg_ResetChannel(uint32_t channel);
void Msg_Raise(uint16_t code);
void Msg_Clear(uint16_t code);
// Marks the list changed so that the Messages page redraws.
void Msg_SetChanged();
void Msg_DrawPage();
int32_t Msg_PageKey(uint32_t event);
// Clears the stored message lists.
void Msg_ResetStore();
