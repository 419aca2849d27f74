// User concentration table.
#pragma once
#include <cstdint>

constexpr uint32_t kConcNameSize = 8;
// The table's 7-character name and an ending zero.
void Conc_GetTableName(char* text);
