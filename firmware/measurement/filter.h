// Filters and the stability window.
#pragma once
#include <cstdint>

uint32_t Filter_IsStabilityActive();
