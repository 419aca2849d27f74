// Value pages: two-line editors of one setting (screen 8).
#pragma once
#include <cstdint>

// kind 3 starts the numeric editor on field index; any other kind opens value page index.
int32_t ValuePage_BeginEdit(uint32_t kind, uint32_t index);
int32_t ValuePage_Screen(uint32_t event);
void ValuePage_ClearPasswordState();
