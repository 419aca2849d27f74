// Channel and sensor-kind services.
#pragma once
#include <cstdint>

// State of the digital sensor's save over the link: 0 done, 1 failed, other values waiting.
uint32_t Chan_GetLinkState();
// The channel the menus show and edit.
uint8_t Chan_GetCurrentChannel();
