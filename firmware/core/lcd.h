// Display: the frame buffer of 13 rows x 145 columns, text in the 6x8 fonts, the big digits,
// the blinking field, channel symbols, the bar graph and the display test.
#pragma once
#include <atomic>
#include <cstdint>

#include "core/texts.h"

constexpr uint32_t kLcdRows = 13;
constexpr uint32_t kLcdColumns = 145;
constexpr uint32_t kLcdTextColumns = 144;
constexpr uint32_t kLcdCharsPerRow = 24;
constexpr uint32_t kLcdLineChars = 26;
// The two text rows under the big lines: the status row and, below it, the message row.
constexpr uint32_t kRowStatus = 11;
constexpr uint32_t kRowMessage = 12;

// One byte per column of 8 pixels, bit 0 at the top. The firmware writes, the panel paints.
extern uint8_t g_LcdFrame[kLcdRows][kLcdColumns];
// 1 while a bulk writer changes the buffer.
extern std::atomic<uint32_t> g_LcdBusy;
// Glyph columns of the current text.
extern uint8_t g_LcdLine[kLcdLineChars * 6];

// The one blinking text field.
struct BlinkField {
    uint8_t row;
    uint8_t column;
    uint8_t active;
    uint8_t phase;
    uint8_t hideMode;  // 2 hides to blank, others leave a cursor line
    char text[25];
};
extern BlinkField g_BlinkField;

// Blinking: set by the 500-ms blink timer on the timer thread, consumed by the main loop.
extern std::atomic<uint32_t> g_BlinkTick;
// Channel symbols: the phase alternates 0/1 at each blink tick; mask bit 0 = channel A's symbol
// blinks, bit 1 = channel B's.
extern uint32_t g_SymbolBlinkPhase;
extern uint32_t g_SymbolBlinkMask;
// Which of the two hold marks the output hold shows next (0/1).
extern uint32_t g_HoldMarkPhase;
// Step 0 to 3 of the stability marker on the numeric editor.
extern uint8_t g_StateMarkerStep;

void Lcd_FillRect(uint32_t row, uint32_t column, uint32_t width, uint32_t rows, uint8_t byte);
void Lcd_ClearSpan(uint32_t row, uint32_t column, uint32_t width);
void Lcd_FillTextRows(uint8_t byte);
void Lcd_FillStatusRows(uint8_t byte);
void Lcd_ClearAll();
void Lcd_WriteColumns(uint32_t row, uint32_t column, const uint8_t* bytes, uint32_t n);
void Lcd_TextToGlyphs(const char* text, uint32_t n);

uint32_t Lcd_DrawText(uint32_t row, uint32_t column, const char* text);
uint32_t Lcd_DrawFloat(uint32_t row, uint32_t column, float value, uint32_t decimals, uint32_t width);
uint32_t Lcd_FormatFloat(float value, uint32_t decimals, uint32_t width, char* buffer);
uint32_t Lcd_DrawMessage(uint32_t row, uint32_t column, uint32_t group, uint32_t index, uint32_t language);
uint32_t Lcd_DrawMessageBlink(uint32_t row, uint32_t column, uint32_t group, uint32_t index, uint32_t language);
uint32_t Lcd_DrawTextBlink(uint32_t row, uint32_t column, const char* text);
// A named text in the display language, plain or as the blinking field.
uint32_t Lcd_DrawTextRef(uint32_t row, uint32_t column, TextRef text);
uint32_t Lcd_DrawTextRefBlink(uint32_t row, uint32_t column, TextRef text);
uint32_t Lcd_DrawTextMode(uint32_t row, uint32_t column, uint32_t blink, const char* text);
// A field's text in its own cells, plain or (blink 1) as the blinking field: unlike Lcd_DrawText
// the column after the text is left alone, so a field that ends where the next text or the leave
// marker begins never cuts into it. The caller clears the field's span first. Returns the length.
uint32_t Lcd_DrawFieldText(uint32_t row, uint32_t column, uint32_t blink, const char* text);
void Lcd_BlinkField(uint32_t phase);
void Lcd_HideBlinkField(uint32_t row, uint32_t column, uint32_t width, uint32_t hideMode);
// The main loop's 500-ms step of the blinking field: toggles its phase and draws or hides it.
void Lcd_StepBlinkField();
void Lcd_DrawEditChar(uint32_t row, uint32_t column, const char* text, uint32_t index, uint32_t mode);
void Lcd_DrawChannelMark(uint32_t channel, uint32_t blink);

void Lcd_FillBigRows(uint32_t line, uint32_t ignored, uint8_t byte, uint32_t operation);
void Lcd_ClearBigLine(uint32_t line);
void Lcd_DrawBigText(uint32_t pixelRow, uint32_t column, const char* text);
void Lcd_DrawBigValue(float value, uint32_t decimals, uint32_t format, uint32_t line);
void Lcd_DrawBigPlaceholder(uint32_t line, uint32_t kind);
// The two halves of the calls above: the text a big line shows for a value (right-justified to
// six characters; text holds kNumberTextMax + 1) or a placeholder, and a big line cleared and
// drawn with a text ("" only clears).
void Lcd_BigValueText(float value, uint32_t decimals, char* text);
const char* Lcd_BigPlaceholderText(uint32_t kind);
void Lcd_DrawBigLine(uint32_t line, const char* text);
// The columns Lcd_DrawBigLine writes on each of its four rows with that text: from first to
// below end.
void Lcd_BigLineColumns(const char* text, uint32_t* first, uint32_t* end);
void Lcd_DrawChannelSymbol(uint32_t channel);
void Lcd_EraseChannelSymbol(uint32_t channel);
void Lcd_StartSymbolBlink(uint32_t channel);
void Lcd_StopSymbolBlink(uint32_t channel, uint32_t show);
// The 500-ms timer callback.
void Lcd_SetBlinkPhase();
void Lcd_DrawBarGraph(uint32_t row, uint32_t fill);
void Lcd_ShowTestPattern();

// How many writes into the frame were made since power-on (every fill, text, big text, symbol or
// bar counts one, whether or not it changed a byte): a pass that drew nothing leaves it as it was.
uint32_t Lcd_FrameWrites();

void Lcd_InitController();
void Lcd_InitControllerTwice();
void Lcd_Reset();
void Lcd_Init();
// The frame, the blinking field and the blink state back to power-on (no controller commands).
void Lcd_ResetState();
void Lcd_RefreshController();
