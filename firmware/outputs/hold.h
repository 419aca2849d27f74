// Relays and output hold.
#pragma once
#include <cstdint>

uint32_t Hold_IsOutputHoldActive();
