// The output hold as the display shows it: the hold marks blink while the outputs are held,
// except while the start-up waits for the date.
#pragma once
#include <cstdint>

// The outputs are held and the menus let the hold show.
uint32_t Hold_IsOutputHoldActive();
// The same, for the shown channel only: the hold blinks on the line of that channel.
uint32_t Hold_IsOutputHoldForChannel(uint32_t channel);
