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
// The page's keys on its current field (UP and INFO step the choice); ENTER gives 0 on the leave
// marker and 2 in a field, other keys -1.
int32_t ParamPage_EditKey(uint32_t event);
// The four choices into the working set.
void ParamPage_ApplyValues();
// Makes a field (0..3) current and draws its choice blinking, for pages that walk the fields
// with a cursor of their own.
void ParamPage_SelectField(uint32_t field);
