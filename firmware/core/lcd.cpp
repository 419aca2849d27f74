// Display frame buffer and drawing: 6x8 text cells, the big digits of the measurement screen,
// the blinking field, channel symbols, bar graph and display test.
#include "core/lcd.h"

#include <cstring>

#include "core/fw_hook.h"
#include "core/lcd_fonts.h"
#include "core/lcd_glyphs.h"
#include "core/texts.h"
#include "core/util.h"

uint8_t g_LcdFrame[kLcdRows][kLcdColumns];
std::atomic<uint32_t> g_LcdBusy{0};
uint8_t g_LcdLine[kLcdLineChars * 6];
BlinkField g_BlinkField;
std::atomic<uint32_t> g_BlinkTick{0};
uint32_t g_SymbolBlinkPhase;
uint32_t g_SymbolBlinkMask;
uint32_t g_HoldMarkPhase;
uint8_t g_StateMarkerStep;

// Writes into the frame since power-on (Lcd_FrameWrites).
static uint32_t s_FrameWrites;

static constexpr uint32_t kBigLeft = 24;
static constexpr uint32_t kBigWidth = 80;
static constexpr uint32_t kSymbolColumn = 125;
static constexpr uint32_t kMarkColumn = 138;

// The channel symbol, upper row then lower row.
static const uint8_t kChannelSymbol[2][16] = {
    {0x00, 0x00, 0x00, 0x80, 0xE0, 0x30, 0x18, 0xCC, 0x18, 0x30, 0xE0, 0x80, 0x00, 0x00, 0x00, 0x00},
    {0x18, 0x1C, 0x13, 0x11, 0x10, 0x10, 0x10, 0x15, 0x10, 0x10, 0x10, 0x11, 0x13, 0x1C, 0x18, 0x00},
};

// ---- Buffer ---------------------------------------------------------------------------------

uint32_t Lcd_FrameWrites() { return s_FrameWrites; }

void Lcd_FillRect(uint32_t row, uint32_t column, uint32_t width, uint32_t rows, uint8_t byte) {
    ++s_FrameWrites;
    g_LcdBusy.store(1, std::memory_order_relaxed);
    for (uint32_t r = row; r < row + rows && r < kLcdRows; ++r) {
        for (uint32_t c = column; c < column + width && c < kLcdColumns; ++c) g_LcdFrame[r][c] = byte;
    }
    g_LcdBusy.store(0, std::memory_order_relaxed);
}

void Lcd_ClearSpan(uint32_t row, uint32_t column, uint32_t width) { Lcd_FillRect(row, column, width, 1, 0); }
void Lcd_FillTextRows(uint8_t byte) { Lcd_FillRect(0, 0, kLcdColumns, 11, byte); }
void Lcd_FillStatusRows(uint8_t byte) { Lcd_FillRect(11, 0, kLcdColumns, 2, byte); }

void Lcd_ClearAll() {
    Lcd_FillTextRows(0);
    Lcd_FillStatusRows(0);
}

void Lcd_WriteColumns(uint32_t row, uint32_t column, const uint8_t* bytes, uint32_t n) {
    if (row >= kLcdRows) return;
    ++s_FrameWrites;
    g_LcdBusy.store(1, std::memory_order_relaxed);
    // Columns past the row's end are dropped: nothing spills into the next row.
    uint32_t c = column;
    for (uint32_t i = 0; i < n && c < kLcdColumns; ++i, ++c) g_LcdFrame[row][c] = bytes[i];
    if (c < kLcdColumns) g_LcdFrame[row][c] = 0;
    g_LcdBusy.store(0, std::memory_order_relaxed);
}

void Lcd_TextToGlyphs(const char* text, uint32_t n) {
    if (n > kLcdLineChars) n = kLcdLineChars;
    for (uint32_t i = 0; i < n; ++i) {
        std::memcpy(&g_LcdLine[i * 6], Lcd_GlyphOf(static_cast<uint8_t>(text[i])), 6);
    }
}

// ---- Text -----------------------------------------------------------------------------------

static uint32_t TextLength(const char* text) {
    uint32_t n = 0;
    while (n < kLcdLineChars && text[n] != '\0') ++n;
    return n;
}

uint32_t Lcd_DrawText(uint32_t row, uint32_t column, const char* text) {
    uint32_t n = TextLength(text);
    Lcd_TextToGlyphs(text, n);
    Lcd_WriteColumns(row, column, g_LcdLine, n * 6);
    return n;
}

uint32_t Lcd_FormatFloat(float value, uint32_t decimals, uint32_t width, char* buffer) {
    return Util_FloatToText(value, width, decimals, buffer);
}

uint32_t Lcd_DrawFloat(uint32_t row, uint32_t column, float value, uint32_t decimals, uint32_t width) {
    char buffer[kNumberTextMax + 1];
    Lcd_FormatFloat(value, decimals, width, buffer);
    return Lcd_DrawText(row, column, buffer);
}

uint32_t Lcd_DrawMessage(uint32_t row, uint32_t column, uint32_t group, uint32_t index, uint32_t language) {
    char buffer[kTextMaxChars + 1];
    Text_CopyItem(Text_GetOffset(group, index, language), buffer);
    return Lcd_DrawText(row, column, buffer);
}

uint32_t Lcd_DrawMessageBlink(uint32_t row, uint32_t column, uint32_t group, uint32_t index, uint32_t language) {
    char buffer[kTextMaxChars + 1];
    Text_CopyItem(Text_GetOffset(group, index, language), buffer);
    return Lcd_DrawTextBlink(row, column, buffer);
}

uint32_t Lcd_DrawTextRef(uint32_t row, uint32_t column, TextRef text) {
    return Lcd_DrawMessage(row, column, text.group, text.index, g_Language);
}

uint32_t Lcd_DrawTextRefBlink(uint32_t row, uint32_t column, TextRef text) {
    return Lcd_DrawMessageBlink(row, column, text.group, text.index, g_Language);
}

static void SetBlinkField(uint32_t row, uint32_t column, uint8_t phase, uint8_t hideMode, const char* text) {
    g_BlinkField.row = static_cast<uint8_t>(row);
    g_BlinkField.column = static_cast<uint8_t>(column);
    g_BlinkField.active = 1;
    g_BlinkField.phase = phase;
    g_BlinkField.hideMode = hideMode;
    uint32_t n = 0;
    while (n < sizeof g_BlinkField.text - 1 && text[n] != '\0') {
        g_BlinkField.text[n] = text[n];
        ++n;
    }
    g_BlinkField.text[n] = '\0';
}

uint32_t Lcd_DrawTextBlink(uint32_t row, uint32_t column, const char* text) {
    uint32_t n = Lcd_DrawText(row, column, text);
    SetBlinkField(row, column, 1, text[0] == '_' ? 2 : 1, text);
    g_BlinkTick.store(0, std::memory_order_relaxed);
    return n;
}

uint32_t Lcd_DrawTextMode(uint32_t row, uint32_t column, uint32_t blink, const char* text) {
    return blink == 1 ? Lcd_DrawTextBlink(row, column, text) : Lcd_DrawText(row, column, text);
}

void Lcd_HideBlinkField(uint32_t row, uint32_t column, uint32_t width, uint32_t hideMode) {
    Lcd_ClearSpan(row, column, width);
    // Mode 2 hides to blank; any other mode leaves a cursor line under the first character.
    uint8_t cursor = hideMode == 2 ? 0 : 0x40;
    ++s_FrameWrites;
    for (uint32_t c = column + 1; c <= column + 5 && c < column + width; ++c) {
        if (row < kLcdRows && c < kLcdColumns) g_LcdFrame[row][c] = cursor;
    }
}

// A field's or an edit character's own cells, without the column after them: the glyphs carry
// ink in their first column, so clearing the column after a character inside a line would cut
// into its neighbour at every blink.
static void DrawCells(uint32_t row, uint32_t column, const char* text) {
    uint32_t n = TextLength(text);
    if (row >= kLcdRows) return;
    ++s_FrameWrites;
    Lcd_TextToGlyphs(text, n);
    for (uint32_t i = 0; i < 6 * n && column + i < kLcdColumns; ++i) g_LcdFrame[row][column + i] = g_LcdLine[i];
}

uint32_t Lcd_DrawFieldText(uint32_t row, uint32_t column, uint32_t blink, const char* text) {
    DrawCells(row, column, text);
    if (blink == 1) {
        SetBlinkField(row, column, 1, text[0] == '_' ? 2 : 1, text);
        g_BlinkTick.store(0, std::memory_order_relaxed);
    }
    return TextLength(text);
}

void Lcd_BlinkField(uint32_t phase) {
    if (phase == 0) {
        DrawCells(g_BlinkField.row, g_BlinkField.column, g_BlinkField.text);
    } else {
        Lcd_HideBlinkField(g_BlinkField.row, g_BlinkField.column, 6 * TextLength(g_BlinkField.text),
                           g_BlinkField.hideMode);
    }
}

void Lcd_StepBlinkField() {
    if (!g_BlinkField.active) return;
    g_BlinkField.phase = g_BlinkField.phase ? 0 : 1;
    Lcd_BlinkField(g_BlinkField.phase);
}

void Lcd_DrawEditChar(uint32_t row, uint32_t column, const char* text, uint32_t index, uint32_t mode) {
    if (index >= kLcdLineChars) return;
    char one[2] = {text[index], '\0'};
    uint32_t at = column + 6 * index;
    if (mode == 1) {
        SetBlinkField(row, at, 1, 0, one);
        DrawCells(row, at, one);
    } else if (mode == 4) {
        SetBlinkField(row, at, 0, 0, "_");
        DrawCells(row, at, "_");
    } else if (mode == 0) {
        g_BlinkField.active = 0;
        DrawCells(row, at, one);
    }
}

void Lcd_DrawChannelMark(uint32_t channel, uint32_t blink) {
    Lcd_DrawTextMode(channel == 0 ? kRowMessage : kRowStatus, kMarkColumn, blink, "$");
}

// ---- Big digits and symbols -----------------------------------------------------------------

void Lcd_FillBigRows(uint32_t line, uint32_t, uint8_t byte, uint32_t operation) {
    if (line > 1) return;
    ++s_FrameWrites;
    g_LcdBusy.store(1, std::memory_order_relaxed);
    for (uint32_t r = line * 4; r < line * 4 + 4; ++r) {
        for (uint32_t c = kBigLeft; c < kBigLeft + kBigWidth; ++c) {
            if (operation == 0) {
                g_LcdFrame[r][c] = byte;
            } else if (operation == 1) {
                g_LcdFrame[r][c] |= byte;
            } else {
                g_LcdFrame[r][c] &= byte;
            }
        }
    }
    g_LcdBusy.store(0, std::memory_order_relaxed);
}

void Lcd_ClearBigLine(uint32_t line) { Lcd_FillBigRows(line, 0, 0, 0); }

static void OrByte(uint32_t row, uint32_t column, uint8_t byte) {
    if (row < kLcdRows && column < kLcdColumns) g_LcdFrame[row][column] |= byte;
}

void Lcd_DrawBigText(uint32_t pixelRow, uint32_t column, const char* text) {
    uint32_t top = pixelRow / 8;
    uint32_t shift = pixelRow % 8;
    ++s_FrameWrites;
    for (uint32_t i = 0; text[i] != '\0' && column < kLcdColumns; ++i) {
        uint8_t code = static_cast<uint8_t>(text[i]);
        if (code < 32 || code > 127) continue;
        uint32_t width = g_BigFontWidth[code - 32];
        const uint8_t* glyph = &g_BigFontData[g_BigFontOffset[code - 32]];
        for (uint32_t x = 0; x < width; ++x, ++column) {
            for (uint32_t band = 0; band < 4; ++band) {
                uint32_t bits = static_cast<uint32_t>(glyph[band * width + x]) << shift;
                OrByte(top + band, column, static_cast<uint8_t>(bits));
                if (shift) OrByte(top + band + 1, column, static_cast<uint8_t>(bits >> 8));
            }
        }
    }
}

void Lcd_BigLineColumns(const char* text, uint32_t* first, uint32_t* end) {
    uint32_t width = 0;
    for (uint32_t i = 0; text[i] != '\0'; ++i) {
        uint8_t code = static_cast<uint8_t>(text[i]);
        if (code >= 32 && code <= 127) width += g_BigFontWidth[code - 32];
    }
    *first = kBigLeft;
    *end = kBigLeft + (width > kBigWidth ? width : kBigWidth);
    if (*end > kLcdColumns) *end = kLcdColumns;
}

void Lcd_BigValueText(float value, uint32_t decimals, char* text) {
    Util_FloatToText(value, 255, decimals, text);
    Text_RightJustify(text, 6);
}

const char* Lcd_BigPlaceholderText(uint32_t kind) {
    return kind == 0x41 ? "}.}.}.}" : (kind == 0xC0 ? "_._._._" : "{.{.{.{");
}

void Lcd_DrawBigLine(uint32_t line, const char* text) {
    Lcd_ClearBigLine(line);
    Lcd_DrawBigText(line * 32, kBigLeft, text);
}

void Lcd_DrawBigValue(float value, uint32_t decimals, uint32_t format, uint32_t line) {
    char text[kNumberTextMax + 1];
    if (format == 30) {
        Lcd_ClearBigLine(line);
        return;
    }
    Lcd_BigValueText(value, decimals, text);
    Lcd_DrawBigLine(line, text);
}

void Lcd_DrawBigPlaceholder(uint32_t line, uint32_t kind) { Lcd_DrawBigLine(line, Lcd_BigPlaceholderText(kind)); }

static void WriteSymbol(uint32_t channel, bool show) {
    uint32_t row = channel == 0 ? 0 : 4;
    ++s_FrameWrites;
    for (uint32_t half = 0; half < 2; ++half) {
        for (uint32_t x = 0; x < 16; ++x)
            g_LcdFrame[row + half][kSymbolColumn + x] = show ? kChannelSymbol[half][x] : 0;
    }
}

void Lcd_DrawChannelSymbol(uint32_t channel) { WriteSymbol(channel, true); }
void Lcd_EraseChannelSymbol(uint32_t channel) { WriteSymbol(channel, false); }

void Lcd_StartSymbolBlink(uint32_t channel) {
    g_SymbolBlinkMask |= channel == 0 ? 0x01u : 0x02u;
    g_SymbolBlinkPhase = 1;
}

void Lcd_StopSymbolBlink(uint32_t channel, uint32_t show) {
    if (g_SymbolBlinkMask == 0) return;
    g_SymbolBlinkMask &= ~(channel == 0 ? 0x01u : 0x02u);
    WriteSymbol(channel, show == 1);
}

void Lcd_SetBlinkPhase() { g_BlinkTick.store(1, std::memory_order_relaxed); }

void Lcd_DrawBarGraph(uint32_t row, uint32_t fill) {
    if (row >= kLcdRows) return;
    ++s_FrameWrites;
    g_LcdBusy.store(1, std::memory_order_relaxed);
    g_LcdFrame[row][0] = 0xFF;
    for (uint32_t c = 1; c <= 100; ++c) g_LcdFrame[row][c] = 0x81;
    g_LcdFrame[row][101] = 0xFF;
    g_LcdFrame[row][102] = 0;
    if (fill > 100) fill = 100;
    for (uint32_t c = 1; c <= fill; ++c) g_LcdFrame[row][c] = 0xFF;
    g_LcdBusy.store(0, std::memory_order_relaxed);
}

void Lcd_ShowTestPattern() {
    Lcd_FillRect(2, 109, 36, 1, 0xFF);
    Lcd_FillRect(6, 109, 36, 1, 0xFF);
    Lcd_FillRect(1, 0, 6, 1, 0xFF);
    Lcd_FillRect(5, 0, 6, 1, 0xFF);
    // The test shows every segment: the text itself, not a value rounded to no decimals.
    for (uint32_t line = 0; line < 2; ++line) {
        Lcd_ClearBigLine(line);
        Lcd_DrawBigText(line * 32, kBigLeft, "88888.0");
    }
    Lcd_DrawChannelSymbol(0);
    Lcd_DrawChannelSymbol(1);
    Lcd_FillStatusRows(0xFF);
}

// ---- Controller -----------------------------------------------------------------------------

void Lcd_InitController() {
    static const uint8_t kFirst[] = {0x2D, 0x81, 0x18, 0xF1, 0x05, 0xF8, 0x01, 0x27, 0xF0, 0x00, 0x40, 0xA9, 0xA2};
    for (uint8_t command : kFirst) Fw_HardwareHook(0, command);
    Util_Delay(100);
    Fw_HardwareHook(0, 0xA4);
    Fw_HardwareHook(0, 0xAF);
}

void Lcd_InitControllerTwice() {
    Lcd_InitController();
    Lcd_InitController();
}

void Lcd_Reset() {
    Fw_HardwareHook();
    Lcd_InitControllerTwice();
    Lcd_ClearAll();
}

void Lcd_Init() {
    Lcd_Reset();
    Fw_HardwareHook();
}

void Lcd_RefreshController() {
    Fw_HardwareHook(0, 0xA4);
    Fw_HardwareHook(0, 0xA4);
}

void Lcd_ResetState() {
    for (auto& row : g_LcdFrame) {
        for (uint8_t& column : row) column = 0;
    }
    g_LcdBusy.store(0, std::memory_order_relaxed);
    s_FrameWrites = 0;
    for (uint8_t& column : g_LcdLine) column = 0;
    g_BlinkField = BlinkField{};
    g_BlinkTick.store(0, std::memory_order_relaxed);
    g_SymbolBlinkPhase = 0;
    g_SymbolBlinkMask = 0;
    g_HoldMarkPhase = 0;
    g_StateMarkerStep = 0;
}
