// Device identity of the main board and, as reported, of the sensor board.
#pragma once
#include <cstdint>

void Ident_InitMainBoard();
// "R718G/2XH" or "R718G/2H", by the order number.
const char* Ident_GetModelName();
