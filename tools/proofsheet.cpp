// Host tool: draws proof sheets of the generated display fonts and texts as PNG files, so that
// glyphs and translations can be reviewed the way the display shows them.
//
// Usage: proofsheet OUTDIR
// Writes OUTDIR/font_a.png, font_b.png, font_c.png, font_d.png, font_big.png, one
// texts_LANG.png per language (every text in 6 x 8 cells, scaled up 3 times, its key beside it),
// one pages_LANG.png per language (rows 11 and 12 of every parameter page with its labels and
// the widest choice of each field, a red bar under a field that runs past its row or into another)
// and one value_pages_LANG.png per language (every value page's two rows as the firmware draws
// them, from the factory settings, scaled up 3 times).

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

#include <png.h>

#include "core/lcd.h"
#include "core/lcd_fonts.h"
#include "core/lcd_glyphs.h"
#include "core/settings.h"
#include "core/texts.h"
#include "fw_modules.h"
#include "ui/param_pages_table.h"
#include "ui/value_page.h"

namespace {

constexpr int kTexts = 730;
constexpr int kGroups = 91;
constexpr int kCellColumns = 6;
constexpr int kMaxCells = 24;
constexpr int kBigLineColumns = 80;
const char* const kLanguageNames[8] = {"en", "fr", "de", "it", "es", "pt", "ru", "ja"};

// The sheets use a handful of colours, so pixels are palette indexes.
struct Rgb {
    uint8_t r, g, b;
};
enum Colour : uint8_t { kPaper, kInk, kLabel, kLcd, kLcdInk, kGrid, kRule, kAlert, kColours };
const Rgb kPalette[kColours] = {
    {255, 255, 255},  // paper
    {20, 20, 20},     // title and small text
    {70, 70, 160},    // codes and keys
    {200, 214, 170},  // display background
    {24, 36, 24},     // lit display pixel
    {180, 192, 150},  // cell raster on the enlarged glyphs
    {210, 210, 210},  // group rule
    {200, 0, 0},      // too wide
};

struct Image {
    int width;
    int height;
    std::vector<uint8_t> pixels;  // palette indexes, row after row
};

Image NewImage(int width, int height) {
    Image image{width, height, std::vector<uint8_t>(static_cast<size_t>(width) * height, kPaper)};
    return image;
}

void FillRect(Image& image, int x, int y, int w, int h, Colour color) {
    for (int yy = std::max(0, y); yy < std::min(image.height, y + h); ++yy) {
        for (int xx = std::max(0, x); xx < std::min(image.width, x + w); ++xx) {
            image.pixels[static_cast<size_t>(yy) * image.width + xx] = color;
        }
    }
}

void DrawColumns(Image& image, int x, int y, const uint8_t* columns, int count, int scale, Colour ink) {
    for (int c = 0; c < count; ++c) {
        for (int bit = 0; bit < 8; ++bit) {
            if (columns[c] & (1u << bit)) FillRect(image, x + c * scale, y + bit * scale, scale, scale, ink);
        }
    }
}

// Draws display codes in 6 x 8 cells; returns the width drawn.
int DrawCodes(Image& image, int x, int y, const std::string& codes, int scale, Colour ink) {
    int cx = x;
    for (char ch : codes) {
        const uint8_t* glyph = Lcd_GlyphOf(static_cast<uint8_t>(ch));
        if (glyph) DrawColumns(image, cx, y, glyph, kCellColumns, scale, ink);
        cx += kCellColumns * scale;
    }
    return cx - x;
}

// Labels are plain ASCII drawn with font A.
void DrawLabel(Image& image, int x, int y, const std::string& text, int scale, Colour ink = kLabel) {
    DrawCodes(image, x, y, text, scale, ink);
}

std::string Format(const char* format, int a, int b = 0) {
    char text[64];
    std::snprintf(text, sizeof text, format, a, b);
    return text;
}

// ---- PNG, through libpng: palette images, compressed ----

bool WritePng(const std::string& path, const Image& image) {
    std::vector<uint8_t> colormap;
    for (const Rgb& colour : kPalette) colormap.insert(colormap.end(), {colour.r, colour.g, colour.b});
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB_COLORMAP;
    png.colormap_entries = kColours;
    if (!png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, colormap.data())) {
        std::cerr << "proofsheet: cannot write " << path << ": " << png.message << '\n';
        return false;
    }
    return true;
}

// ---- sheets ----

// One enlarged glyph per code with its raster and code, then every glyph at display size in a row.
Image SmallFontSheet(const std::string& title, const std::vector<int>& codes) {
    const int scale = 8, perRow = 16, cellW = 6 * scale + 24, cellH = 8 * scale + 30;
    const int rows = (static_cast<int>(codes.size()) + perRow - 1) / perRow;
    const int sampleTop = 50 + rows * cellH + 10;
    Image image = NewImage(perRow * cellW + 40, sampleTop + 2 * (8 * 3 + 12) + 30);
    DrawLabel(image, 20, 12, title, 3, kInk);
    for (size_t i = 0; i < codes.size(); ++i) {
        int x = 20 + static_cast<int>(i % perRow) * cellW, y = 50 + static_cast<int>(i / perRow) * cellH;
        FillRect(image, x, y, 6 * scale, 8 * scale, kLcd);
        for (int c = 0; c <= 6; ++c) FillRect(image, x + c * scale, y, 1, 8 * scale, kGrid);
        for (int r = 0; r <= 8; ++r) FillRect(image, x, y + r * scale, 6 * scale, 1, kGrid);
        const uint8_t* glyph = Lcd_GlyphOf(static_cast<uint8_t>(codes[i]));
        if (glyph) DrawColumns(image, x, y, glyph, kCellColumns, scale, kLcdInk);
        DrawLabel(image, x, y + 8 * scale + 4, Format("%d", codes[i]), 2);
        DrawLabel(image, x, y + 8 * scale + 4 + 2 * 8 + 1, Format("%02X", codes[i]), 1, kInk);
    }
    // At display size (scaled 3 times), glyph after glyph, as text shows them.
    for (int line = 0; line < 2; ++line) {
        std::string run;
        for (size_t i = line * codes.size() / 2; i < (line + 1) * codes.size() / 2; ++i) {
            run += static_cast<char>(codes[i]);
        }
        int y = sampleTop + line * (8 * 3 + 12);
        FillRect(image, 20, y - 3, static_cast<int>(run.size()) * 18 + 6, 8 * 3 + 6, kLcd);
        DrawCodes(image, 23, y, run, 3, kLcdInk);
    }
    return image;
}

// Width of a text in the big font; codes without a glyph count 0.
int BigTextWidth(const std::string& text) {
    int width = 0;
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c >= 32 && c < 128) width += g_BigFontWidth[c - 32];
    }
    return width;
}

// Draws a text in the big font at a pixel position, 4 bands of 8 rows a glyph.
void DrawBigText(Image& image, int x, int y, const std::string& text, int scale, Colour ink) {
    for (char ch : text) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c < 32 || c >= 128) continue;
        const int width = g_BigFontWidth[c - 32];
        const uint8_t* data = g_BigFontData + g_BigFontOffset[c - 32];
        for (int band = 0; band < 4; ++band) {
            DrawColumns(image, x, y + band * 8 * scale, data + band * width, width, scale, ink);
        }
        x += width * scale;
    }
}

// Right-justifies a value text to six characters, as the measurement screen does.
std::string RightJustify6(const std::string& text) {
    return text.size() >= 6 ? text : std::string(6 - text.size(), ' ') + text;
}

Image BigFontSheet() {
    const int scale = 3;
    std::vector<int> codes;
    for (int c = 32; c < 128; ++c) {
        if (g_BigFontWidth[c - 32] > 0) codes.push_back(c);
    }
    const std::vector<std::string> samples = {"88888.0",
                                              RightJustify6("-123.4"),
                                              RightJustify6("1234.5"),
                                              RightJustify6("7.25"),
                                              RightJustify6("-0.05"),
                                              RightJustify6("+10"),
                                              "}.}.}.}",
                                              "_._._._",
                                              "{.{.{.{"};
    const int boxW = kBigLineColumns * scale, boxH = 32 * scale;
    const int glyphTop = 50, sampleTop = glyphTop + boxH + 50;
    int glyphRowWidth = 20;
    for (int c : codes) glyphRowWidth += g_BigFontWidth[c - 32] * scale + 16;
    const int columns = 3;
    Image image = NewImage(std::max(glyphRowWidth, columns * (boxW + 30) + 20),
                           sampleTop + ((static_cast<int>(samples.size()) + columns - 1) / columns) * (boxH + 40) + 10);
    DrawLabel(image, 20, 12, "Big font", 3, kInk);
    int x = 20;
    for (int c : codes) {
        const int width = g_BigFontWidth[c - 32];
        FillRect(image, x, glyphTop, width * scale, boxH, kLcd);
        DrawBigText(image, x, glyphTop, std::string(1, static_cast<char>(c)), scale, kLcdInk);
        DrawLabel(image, x, glyphTop + boxH + 6, Format("%d", c), 2);
        DrawLabel(image, x, glyphTop + boxH + 24, Format("w%d", width), 1, kInk);
        x += width * scale + 16;
    }
    // Sample readings in the 80-column area of a big line.
    for (size_t i = 0; i < samples.size(); ++i) {
        int bx = 20 + static_cast<int>(i % columns) * (boxW + 30);
        int by = sampleTop + static_cast<int>(i / columns) * (boxH + 40);
        const int width = BigTextWidth(samples[i]);
        FillRect(image, bx, by, boxW, boxH, kLcd);
        DrawBigText(image, bx, by, samples[i], scale, kLcdInk);
        DrawLabel(image, bx, by + boxH + 4, Format("%d columns", width), 2, width > kBigLineColumns ? kAlert : kLabel);
    }
    return image;
}

// Every text of one language as the display draws it, with its key "G.K" beside it.
Image TextSheet(int language) {
    const int scale = 3, rowH = 8 * scale + 6, keyW = 7 * 6 * 2, textW = kMaxCells * 6 * scale;
    const int columns = 4, colW = keyW + textW + 30;
    const int perColumn = (kTexts + columns - 1) / columns;
    Image image = NewImage(columns * colW + 20, 60 + perColumn * rowH + 10);
    DrawLabel(image, 20, 12, std::string("Display texts: ") + kLanguageNames[language], 3, kInk);

    int item = 0;
    for (int group = 0; group < kGroups; ++group) {
        for (int index = 0; index < g_TextGroupSizes[group]; ++index, ++item) {
            const int x = 20 + (item / perColumn) * colW, y = 60 + (item % perColumn) * rowH;
            if (index == 0) FillRect(image, x, y - 3, keyW + textW, 1, kRule);
            // Copy as the firmware does: up to the backslash, 24 characters at most.
            std::string text;
            uint32_t offset = g_TextOffsets[language * kTexts + item];
            while (offset < g_MenuTextBlobSize && g_MenuTextBlob[offset] != '\\' && text.size() < kMaxCells) {
                text += g_MenuTextBlob[offset++];
            }
            DrawLabel(image, x, y + 4, Format("%d.%d", group, index), 2);
            FillRect(image, x + keyW, y, textW, 8 * scale, kLcd);
            DrawCodes(image, x + keyW, y, text, scale, kLcdInk);
        }
    }
    return image;
}

// Every value page of one language: the firmware opens each page (with the leave position
// selected, so no character is hidden by the blinking) and its rows 11 and 12 are copied as the
// panel paints them.
Image ValuePageSheet(int language) {
    const int scale = 3, columns = 2, perColumn = (static_cast<int>(kValuePageCount) + columns - 1) / columns;
    const int boxW = static_cast<int>(kLcdColumns) * scale, boxH = 2 * 8 * scale, keyW = 9 * 6 * 2;
    const int rowH = boxH + 14, colW = keyW + boxW + 30;
    Image image = NewImage(columns * colW + 20, 60 + perColumn * rowH + 10);
    DrawLabel(image, 20, 12, std::string("Value pages: ") + kLanguageNames[language], 3, kInk);
    for (uint32_t page = 0; page < kValuePageCount; ++page) {
        Fw_ResetModules();
        Settings_CopyAll();
        g_Language = static_cast<uint8_t>(language);
        Lcd_ClearAll();
        ValuePage_Open(page, 1);
        if (g_BlinkField.active) Lcd_BlinkField(0);
        const int x = 20 + (static_cast<int>(page) / perColumn) * colW;
        const int y = 60 + (static_cast<int>(page) % perColumn) * rowH;
        DrawLabel(image, x, y + 12, Format("page %d", static_cast<int>(page)), 2);
        FillRect(image, x + keyW, y, boxW, boxH, kLcd);
        for (uint32_t row = 0; row < 2; ++row) {
            DrawColumns(image, x + keyW, y + static_cast<int>(row) * 8 * scale, g_LcdFrame[kRowStatus + row],
                        static_cast<int>(kLcdColumns), scale, kLcdInk);
        }
    }
    return image;
}

// The codes of a text in a language, as the firmware copies it.
std::string TextCodes(int group, int index, int language) {
    std::string text;
    if (group < 0 || group >= kGroups || index < 0 || index >= g_TextGroupSizes[group]) return text;
    int item = 0;
    for (int g = 0; g < group; ++g) item += g_TextGroupSizes[g];
    uint32_t offset = g_TextOffsets[language * kTexts + item + index];
    while (offset < g_MenuTextBlobSize && g_MenuTextBlob[offset] != '\\' && text.size() < kMaxCells) {
        text += g_MenuTextBlob[offset++];
    }
    return text;
}

// The widest choice of a field: what the page must have room for.
std::string WidestChoice(const ParamPageDesc& d, int field, int language) {
    int group = d.choiceGroup[field];
    if (group == kGroupNumber) return "1";
    if (group == kGroupMeasurement) return "ppmO2G";
    if (group == kGroupCalUnits) return field == 1 ? "[mV/pH]" : "[mV]";
    std::string widest;
    int count = d.choiceCount[field] + (d.pageId == 14 && field == 0 ? 1 : 0);
    for (int i = 0; i < count && i < g_TextGroupSizes[group]; ++i) {
        std::string text = TextCodes(group, i, language);
        if (text.size() > widest.size()) widest = text;
    }
    if (d.pageId == 11 && field == 2) {
        std::string fixed = TextCodes(33, 6, language);
        if (fixed.size() > widest.size()) widest = fixed;
    }
    return widest;
}

// Rows 11 and 12 of every parameter page in one language, as the display shows them (scaled 2
// times), the page number beside each.
Image PagesSheet(int language) {
    const int scale = 2, displayW = 145 * scale, rowsH = 16 * scale + 10, keyW = 40;
    const int columns = 4, colW = keyW + displayW + 30, perColumn = (kParamPageCount + columns - 1) / columns;
    Image image = NewImage(columns * colW + 20, 60 + perColumn * (rowsH + 8) + 10);
    DrawLabel(image, 20, 12, std::string("Parameter pages: ") + kLanguageNames[language], 3, kInk);
    for (uint32_t page = 0; page < kParamPageCount; ++page) {
        const ParamPageDesc& d = g_ParamPageTable[page];
        const int x = 20 + static_cast<int>(page / perColumn) * colW;
        const int y = 60 + static_cast<int>(page % perColumn) * (rowsH + 8);
        DrawLabel(image, x, y + 8, Format("%d", static_cast<int>(page)), 2);
        const int dx = x + keyW;
        FillRect(image, dx, y, displayW, 16 * scale, kLcd);
        int used[2][145] = {};
        auto put = [&](int row, int column, const std::string& codes) {
            DrawCodes(image, dx + column * scale, y + (row - 11) * 8 * scale, codes, scale, kLcdInk);
            int end = column + 6 * static_cast<int>(codes.size());
            int limit = row == 11 ? 144 : 138;
            bool bad = end > limit;
            for (int c = column; c < end && c < 145; ++c) bad = bad || used[row - 11][c]++ > 0;
            if (bad) FillRect(image, dx + column * scale, y + 16 * scale + 2, (end - column) * scale, 3, kAlert);
        };
        for (int field = 0; field < 4; ++field) {
            int row = field < 2 ? 11 : 12;
            if (d.labelItem[field] != kNoLabel) {
                put(row, d.labelColumn[language][field],
                    TextCodes(static_cast<int>(ParamPage_LabelGroup(page)), d.labelItem[field], language));
            }
            if (d.choiceGroup[field] != kNoGroup)
                put(row, d.valueColumn[language][field], WidestChoice(d, field, language));
        }
        DrawCodes(image, dx + 138 * scale, y + 8 * scale, "$", scale, kLcdInk);
    }
    return image;
}

std::vector<int> Codes(int first, int last) {
    std::vector<int> codes;
    for (int c = first; c <= last; ++c) codes.push_back(c);
    return codes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: proofsheet OUTDIR\n";
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    std::vector<int> codesD = Codes(1, 31);
    for (int c : Codes(197, 217)) codesD.push_back(c);
    for (int c : Codes(238, 242)) codesD.push_back(c);
    codesD.push_back(247);
    codesD.push_back(248);

    bool ok = WritePng(dir + "font_a.png", SmallFontSheet("Font A: codes 32-126", Codes(32, 126)));
    ok = WritePng(dir + "font_b.png", SmallFontSheet("Font B: codes 192-255", Codes(192, 255))) && ok;
    ok = WritePng(dir + "font_c.png", SmallFontSheet("Font C: codes 128-191", Codes(128, 191))) && ok;
    ok = WritePng(dir + "font_d.png", SmallFontSheet("Font D: 59 symbols", codesD)) && ok;
    ok = WritePng(dir + "font_big.png", BigFontSheet()) && ok;
    for (int language = 0; language < 8; ++language) {
        ok = WritePng(dir + "texts_" + kLanguageNames[language] + ".png", TextSheet(language)) && ok;
        ok = WritePng(dir + "pages_" + kLanguageNames[language] + ".png", PagesSheet(language)) && ok;
        ok = WritePng(dir + "value_pages_" + kLanguageNames[language] + ".png", ValuePageSheet(language)) && ok;
    }
    return ok ? 0 : 1;
}
