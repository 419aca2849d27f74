// Display drawing, read back from the frame buffer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/lcd.h"
#include "core/lcd_fonts.h"
#include "core/lcd_glyphs.h"
#include "core/texts.h"
#include "rig.h"

namespace {
void FillFrame(uint8_t byte) { std::memset(g_LcdFrame, byte, sizeof g_LcdFrame); }
}  // namespace

TEST(Display, TextTouchesItsCellsAndTheColumnAfterOnly) {
    FillFrame(0xAA);
    uint32_t n = Lcd_DrawText(3, 12, "pH 7");
    EXPECT_EQ(n, 4u);
    for (uint32_t row = 0; row < kLcdRows; ++row) {
        for (uint32_t c = 0; c < kLcdColumns; ++c) {
            bool inside = row == 3 && c >= 12 && c <= 12 + 24;
            if (!inside) {
                ASSERT_EQ(g_LcdFrame[row][c], 0xAA) << row << "," << c;
            }
        }
    }
    EXPECT_EQ(g_LcdFrame[3][12 + 24], 0);  // the column after the text is cleared

    Lcd_ClearAll();
    Lcd_DrawText(5, 0, "Calibration Successful");
    EXPECT_EQ(Rig_RowText(5), "Calibration Successful");
    // Texts at columns off the 6-column grid read back too.
    Lcd_DrawText(11, 45, "R718G/2XH");
    EXPECT_EQ(Rig_RowText(11), "       R718G/2XH");
}

// A field ending in the cell before the leave marker, plain and blinking: the marker keeps its
// first column, which a text drawn there would clear.
TEST(Display, FieldTextTouchesItsCellsOnly) {
    Lcd_ClearAll();
    Lcd_DrawChannelMark(0, 0);
    std::string marker(reinterpret_cast<const char*>(&g_LcdFrame[12][138]), 6);
    EXPECT_EQ(Lcd_DrawFieldText(12, 90, 0, "Standard"), 8u);
    EXPECT_EQ(Rig_RowText(12), "               Standard$");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&g_LcdFrame[12][138]), 6), marker);
    // Blinking: both phases leave the marker alone; the field blinks as a text drawn blinking does.
    Lcd_DrawFieldText(12, 114, 1, "Yes");
    ASSERT_TRUE(g_BlinkField.active);
    EXPECT_EQ(g_BlinkField.column, 114);
    EXPECT_EQ(g_BlinkField.hideMode, 1);
    for (uint32_t phase : {1u, 0u}) {
        Lcd_BlinkField(phase);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(&g_LcdFrame[12][138]), 6), marker) << phase;
    }
    EXPECT_EQ(Rig_RowText(12), "               StanYesd$");
    // The same text drawn by Lcd_DrawText cuts into the marker.
    Lcd_DrawText(12, 120, "Yes");
    EXPECT_NE(std::string(reinterpret_cast<const char*>(&g_LcdFrame[12][138]), 6), marker);
    g_BlinkField.active = 0;
}

TEST(Display, DrawingClipsAtTheRowEnd) {
    FillFrame(0x55);
    Lcd_DrawText(4, 138, "ABCDEFGH");
    // Columns 138..144 hold the first glyph and a part of the next; row 5 is untouched.
    for (uint32_t c = 0; c < kLcdColumns; ++c) EXPECT_EQ(g_LcdFrame[5][c], 0x55);
    EXPECT_EQ(std::memcmp(&g_LcdFrame[4][138], Lcd_GlyphOf('A'), 6), 0);
    // A text longer than the line buffer is cut, not written past it.
    std::string longText(60, 'W');
    EXPECT_EQ(Lcd_DrawText(0, 0, longText.c_str()), kLcdLineChars);
    Lcd_WriteColumns(12, 140, g_LcdLine, 100);
    Lcd_FillRect(12, 140, 50, 5, 0x11);
    EXPECT_EQ(g_LcdFrame[12][144], 0x11);
    Lcd_DrawText(13, 0, "X");  // a row outside the display draws nothing
}

TEST(Display, GlyphLookupStaysInsideEachFont) {
    static const uint8_t kBlank[6] = {};
    EXPECT_EQ(std::memcmp(Lcd_GlyphOf(127), kBlank, 6), 0);
    EXPECT_EQ(std::memcmp(Lcd_GlyphOf(0), kBlank, 6), 0);
    EXPECT_EQ(Lcd_GlyphOf(1), g_FontD[0]);
    EXPECT_EQ(Lcd_GlyphOf(197), g_FontD[31]);
    EXPECT_EQ(Lcd_GlyphOf(242), g_FontD[56]);
    EXPECT_EQ(Lcd_GlyphOf(248), g_FontD[58]);
    EXPECT_EQ(Lcd_GlyphOf(191), g_FontC[63]);
    EXPECT_EQ(Lcd_GlyphOf(255), g_FontB[63]);
    EXPECT_EQ(Lcd_GlyphOf(126), g_FontA[94]);
    // Code 127 draws a blank cell, not a neighbour's glyph.
    char text[3] = {'A', 127, '\0'};
    Lcd_ClearAll();
    Lcd_DrawText(0, 0, text);
    EXPECT_EQ(Rig_RowText(0), "A");
}

TEST(Display, BlinkingFieldHidesToBlankOrToACursorLine) {
    Lcd_ClearAll();
    Lcd_DrawTextBlink(12, 0, "Yes & Exit");
    EXPECT_EQ(g_BlinkField.hideMode, 1);
    EXPECT_EQ(g_BlinkField.phase, 1);
    Lcd_BlinkField(1);
    // Hidden, a cursor line stays under the first character.
    EXPECT_EQ(Rig_RowText(12), "_");
    for (uint32_t c = 1; c <= 5; ++c) EXPECT_EQ(g_LcdFrame[12][c], 0x40);
    EXPECT_EQ(g_LcdFrame[12][0], 0);
    EXPECT_EQ(g_LcdFrame[12][6], 0);
    Lcd_BlinkField(0);
    EXPECT_EQ(Rig_RowText(12), "Yes & Exit");

    Lcd_DrawTextBlink(11, 12, "_12");
    EXPECT_EQ(g_BlinkField.hideMode, 2);
    Lcd_BlinkField(1);
    for (uint32_t c = 0; c < kLcdColumns; ++c) EXPECT_EQ(g_LcdFrame[11][c], 0);

    // The main loop's step alternates: shown for a step after drawing, then hidden, then shown.
    Lcd_DrawTextBlink(10, 0, "ENTER");
    Lcd_StepBlinkField();
    EXPECT_EQ(Rig_RowText(10), "ENTER");
    Lcd_StepBlinkField();
    EXPECT_EQ(Rig_RowText(10), "_");
    Lcd_StepBlinkField();
    EXPECT_EQ(Rig_RowText(10), "ENTER");

    // Edit characters: mode 4 draws "_" in place of the character, mode 0 ends the blinking.
    Lcd_ClearAll();
    Lcd_DrawEditChar(12, 0, "7.25", 2, 4);
    EXPECT_EQ(Rig_RowText(12), "  _");
    Lcd_DrawEditChar(12, 0, "7.25", 2, 0);
    EXPECT_EQ(g_BlinkField.active, 0);
    EXPECT_EQ(Rig_RowText(12), "  2");
    Lcd_DrawChannelMark(0, 0);
    EXPECT_EQ(g_LcdFrame[12][138], Lcd_GlyphOf('$')[0]);

    // An edit character inside a value blinks without cutting into its neighbour, whose glyph
    // begins with ink.
    Lcd_ClearAll();
    Lcd_DrawText(11, 90, "25-06-01");
    Lcd_DrawEditChar(11, 90, "25-06-01", 0, 1);
    Lcd_BlinkField(1);
    Lcd_BlinkField(0);
    Lcd_DrawEditChar(11, 90, "25-06-01", 0, 0);
    EXPECT_EQ(std::memcmp(&g_LcdFrame[11][96], Lcd_GlyphOf('5'), 6), 0);
    EXPECT_EQ(Rig_RowText(11), std::string(15, ' ') + "25-06-01");
}

TEST(Display, BigLinesValuesPlaceholdersAndTheTestPattern) {
    Lcd_ClearAll();
    Lcd_DrawBigValue(7.0f, 2, 0, 0);
    EXPECT_EQ(Rig_BigLineText(0), "7.00");
    Lcd_DrawBigValue(-123.4f, 1, 0, 1);
    EXPECT_EQ(Rig_BigLineText(1), "-123.4");
    // Format 30 leaves the line empty.
    Lcd_DrawBigValue(5.0f, 1, 30, 0);
    for (uint32_t r = 0; r < 4; ++r) {
        for (uint32_t c = 0; c < kLcdColumns; ++c) ASSERT_EQ(g_LcdFrame[r][c], 0);
    }
    Lcd_DrawBigPlaceholder(0, 0x41);
    EXPECT_EQ(Rig_BigLineText(0), "}.}.}.}");
    Lcd_DrawBigPlaceholder(1, 0xC0);
    EXPECT_EQ(Rig_BigLineText(1), "_._._._");
    Lcd_DrawBigPlaceholder(1, 5);
    EXPECT_EQ(Rig_BigLineText(1), "{.{.{.{");

    // The widest reading fits the 80 columns of a big line.
    uint32_t width = 0;
    for (const char* p = "88888.0"; *p; ++p) width += g_BigFontWidth[*p - 32];
    EXPECT_LE(width, 80u);
    width = 0;
    for (const char* p = "-888.8"; *p; ++p) width += g_BigFontWidth[*p - 32];
    EXPECT_LE(width, 80u);

    Lcd_ClearAll();
    Lcd_ShowTestPattern();
    EXPECT_EQ(Rig_BigLineText(0), "88888.0");
    EXPECT_EQ(Rig_BigLineText(1), "88888.0");
    EXPECT_EQ(g_LcdFrame[2][144], 0xFF);
    EXPECT_EQ(g_LcdFrame[12][0], 0xFF);
    EXPECT_EQ(g_LcdFrame[0][128], 0x80);  // channel A's symbol
}

TEST(Display, BarGraphAndChannelSymbols) {
    FillFrame(0x33);
    Lcd_DrawBarGraph(9, 0);
    EXPECT_EQ(g_LcdFrame[9][0], 0xFF);
    EXPECT_EQ(g_LcdFrame[9][1], 0x81);
    EXPECT_EQ(g_LcdFrame[9][100], 0x81);
    EXPECT_EQ(g_LcdFrame[9][101], 0xFF);
    EXPECT_EQ(g_LcdFrame[9][102], 0);
    EXPECT_EQ(g_LcdFrame[9][103], 0x33);
    Lcd_DrawBarGraph(9, 250);
    EXPECT_EQ(g_LcdFrame[9][100], 0xFF);
    EXPECT_EQ(g_LcdFrame[9][102], 0);

    Lcd_ClearAll();
    g_SymbolBlinkMask = 0;
    Lcd_StartSymbolBlink(1);
    EXPECT_EQ(g_SymbolBlinkMask, 2u);
    Lcd_StopSymbolBlink(1, 1);
    EXPECT_EQ(g_SymbolBlinkMask, 0u);
    EXPECT_EQ(g_LcdFrame[4][132], 0xCC);
    EXPECT_EQ(g_LcdFrame[5][125], 0x18);
    Lcd_EraseChannelSymbol(1);
    EXPECT_EQ(g_LcdFrame[4][132], 0);
}

TEST(Display, RightJustify) {
    char text[16] = "7.5";
    Text_RightJustify(text, 6);
    EXPECT_STREQ(text, "   7.5");
    char full[16] = "123456";
    Text_RightJustify(full, 4);
    EXPECT_STREQ(full, "123456");
}
