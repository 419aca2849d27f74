// Info, list, countdown and fixed pages.
#pragma once
#include <cstdint>

void Screen_EndTimedHold();
