// Parameter page engine: the short-list settings pages (screen 7).
#pragma once
#include <cstdint>

// Draws a page (mode 1 selects the leave marker); returns -1.
int32_t ParamPage_Open(uint32_t page, uint32_t mode);
int32_t ParamPage_Screen(uint32_t event);
// Makes a page record current without drawing it.
void ParamPage_SetCurrent(uint32_t page);
uint32_t ParamPage_CurrentPage();
// The output and set-point selectors (and with setup 1 the alarm/clean selector) to their first entry.
void ParamPage_ResetSelectors(uint32_t setup);
