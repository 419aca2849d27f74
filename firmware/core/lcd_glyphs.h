// Character code to glyph: which font draws which display code. Kept apart from the drawing so
// the proof-sheet tool shares it.
#pragma once
#include <cstdint>

// The 6 column bytes of a character code; a code without a glyph gives a blank cell.
const uint8_t* Lcd_GlyphOf(uint8_t code);
