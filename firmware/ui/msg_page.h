// The Messages page (screen 25): the shown messages browsed newest first, the "Clear Messages"
// line with its Yes/No choice, and the exit marker.
#pragma once
#include <cstdint>

// Redraws the page when the list changed since it was last drawn.
void Msg_DrawPage();
// Row 12: the line of a code at column 0, blinking (1) or plain; the "Clear Messages" line also
// shows the Yes/No word.
void Msg_DrawLine(uint16_t code, uint32_t blink);
// Key operation of the page; returns the next event (-1 to stay), kActionClearMessageStore for
// "Clear Messages" answered "Yes" (the engine then clears the stored lists).
int32_t Msg_PageKey(uint32_t event);
