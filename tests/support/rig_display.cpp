// Reading the display back as text for the tests.
#include <cstdint>
#include <cstring>
#include <unordered_map>

#include "core/lcd.h"
#include "core/lcd_fonts.h"
#include "core/lcd_glyphs.h"
#include "rig.h"

// Display code to the UTF-8 text of its glyph, made with the text tables.
extern const char* const g_LcdCodeUtf8[256];

namespace {
bool Blank(const uint8_t* columns, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        if (columns[i] != 0) return false;
    }
    return true;
}

// Six glyph columns as one key.
uint64_t CellKey(const uint8_t* columns) {
    uint64_t key = 0;
    for (int i = 0; i < 6; ++i) key = key << 8 | columns[i];
    return key;
}

// The code of the glyph drawn exactly at these 6 columns, or -1. Plain ASCII is tried first, so
// a letter shared with another font reads as ASCII. The glyphs are looked up in a table made once,
// in that order, so that reading rows back stays cheap for tests that read many.
int MatchCell(const uint8_t* columns) {
    static const std::unordered_map<uint64_t, int> kCodes = [] {
        std::unordered_map<uint64_t, int> codes;
        for (int code = 33; code <= 126; ++code) codes.emplace(CellKey(Lcd_GlyphOf(static_cast<uint8_t>(code))), code);
        for (int code = 1; code < 256; ++code) {
            if (code >= 32 && code <= 127) continue;
            const uint8_t* glyph = Lcd_GlyphOf(static_cast<uint8_t>(code));
            if (!Blank(glyph, 6)) codes.emplace(CellKey(glyph), code);
        }
        return codes;
    }();
    auto found = kCodes.find(CellKey(columns));
    return found == kCodes.end() ? -1 : found->second;
}
}  // namespace

std::string Rig_RowText(uint32_t row) {
    if (row >= kLcdRows) return std::string();
    const uint8_t* line = g_LcdFrame[row];
    std::string text;
    uint32_t blanks = 0;
    uint32_t c = 0;
    auto flushBlanks = [&]() {
        // Runs of empty columns become spaces, one per whole cell.
        text.append(blanks / 6, ' ');
        blanks = 0;
    };
    while (c < kLcdColumns) {
        uint8_t cell[6] = {0, 0, 0, 0, 0, 0};
        for (uint32_t i = 0; i < 6 && c + i < kLcdColumns; ++i) cell[i] = line[c + i];
        int code = MatchCell(cell);
        if (code > 0) {
            flushBlanks();
            const char* utf8 = g_LcdCodeUtf8[code];
            text += (utf8 && utf8[0]) ? utf8 : "\uFFFD";
            c += 6;
        } else if (line[c] == 0) {
            ++blanks;
            ++c;
        } else {
            flushBlanks();
            text += "\uFFFD";
            c += 6;
        }
    }
    return text;
}

std::string Rig_BigLineText(uint32_t line) {
    if (line > 1) return std::string();
    std::string text;
    uint32_t top = line * 4;
    uint32_t c = 0;
    while (c < kLcdColumns) {
        int best = -1;
        uint32_t bestWidth = 0;
        for (int code = 33; code < 128; ++code) {
            uint32_t width = g_BigFontWidth[code - 32];
            if (width == 0 || width <= bestWidth || c + width > kLcdColumns) continue;
            const uint8_t* glyph = &g_BigFontData[g_BigFontOffset[code - 32]];
            bool same = true;
            bool inked = false;
            for (uint32_t band = 0; band < 4 && same; ++band) {
                for (uint32_t x = 0; x < width; ++x) {
                    uint8_t want = glyph[band * width + x];
                    inked |= want != 0;
                    if (g_LcdFrame[top + band][c + x] != want) {
                        same = false;
                        break;
                    }
                }
            }
            if (same && inked) {
                best = code;
                bestWidth = width;
            }
        }
        if (best > 0) {
            text += static_cast<char>(best);
            c += bestWidth;
        } else {
            ++c;
        }
    }
    return text;
}

std::string Rig_FrameBytes() {
    return std::string(reinterpret_cast<const char*>(&g_LcdFrame[0][0]), sizeof g_LcdFrame);
}
