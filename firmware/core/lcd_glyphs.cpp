// Character code to glyph: the display's table of which font draws which code. Kept apart from the
// drawing so the proof-sheet tool shares it.
#include "core/lcd_glyphs.h"

#include "core/lcd_fonts.h"

static const uint8_t kBlankGlyph[6] = {0, 0, 0, 0, 0, 0};

const uint8_t* Lcd_GlyphOf(uint8_t code) {
    if (code >= 32 && code <= 126) return g_FontA[code - 32];
    if (code >= 1 && code <= 31) return g_FontD[code - 1];
    if (code >= 128 && code <= 191) return g_FontC[code - 128];
    if (code >= 197 && code <= 217) return g_FontD[code - 166];
    if (code >= 238 && code <= 242) return g_FontD[code - 186];
    if (code == 247 || code == 248) return g_FontD[code - 190];
    if (code >= 192) return g_FontB[code - 192];
    return kBlankGlyph;  // 0 and 127 have no glyph
}
