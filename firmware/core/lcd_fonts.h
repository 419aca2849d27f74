// Glyph tables of the display, made from the glyph sources at build time.
#pragma once
#include <cstdint>

// 6 column bytes a glyph, bit 0 the top pixel.
extern const uint8_t g_FontA[95][6];
extern const uint8_t g_FontB[64][6];
extern const uint8_t g_FontC[64][6];
extern const uint8_t g_FontD[59][6];
// Big font, codes 32..127: width in columns (0 = no glyph), offset of the glyph's bytes, and
// per glyph its width bytes of each of the four 8-pixel bands, top band first.
extern const uint8_t g_BigFontWidth[96];
extern const uint16_t g_BigFontOffset[96];
extern const uint8_t g_BigFontData[];

// The 6 column bytes of a character code; a code without a glyph gives a blank cell.
const uint8_t* Lcd_GlyphOf(uint8_t code);
