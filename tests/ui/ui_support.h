// Shared steps of the user-interface tests: a booted firmware on the measurement screen, key
// presses, and display rows read with the blinking field shown.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/events.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/lcd_glyphs.h"
#include "core/link.h"
#include "core/rtc.h"
#include "core/texts.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "rig.h"
#include "ui/menu.h"
#include "ui/menu_tree.h"
#include "ui/numedit.h"
#include "ui/value_page.h"

namespace ui_test {

// Boots with a valid clock and lets the first events bring up the measurement screen.
inline void BootHome() {
    // A fresh start: channel A shown, no digital sensor, and (from the empty store) pH/ORP
    // configured on both channels.
    Rig_Reset(Rig_MakeTempFolder());
    // No sensor board: the screens are walked without measured values arriving.
    Rig_UseNoLibrary();
    ClockRecord t{2025, 6, 1, 0, 10, 0, 0};
    Rtc_SetTime(&t);
    Rig_Boot();
    Rig_AdvanceMs(1100);
}

inline void Press(uint8_t key) { Rig_HoldKey(key, 100); }

// The row as the user sees it while the blinking field is in its shown phase.
inline std::string Row(uint32_t row) {
    if (g_BlinkField.active && g_BlinkField.row == row) Lcd_BlinkField(0);
    return Rig_RowText(row);
}

// The item on row 12: its first 23 cells, before the leave marker at column 138.
inline std::string Item() {
    std::string text = Row(12);
    std::string out;
    int cells = 0;
    for (std::string::size_type i = 0; i < text.size() && cells < 23; ++cells) {
        std::string::size_type n = 1;
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c >= 0xf0)
            n = 4;
        else if (c >= 0xe0)
            n = 3;
        else if (c >= 0xc0)
            n = 2;
        out += text.substr(i, n);
        i += n;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// A text of the tables in the display's own codes (one a cell).
inline std::string TextCodes(TextRef text) {
    char buffer[kTextMaxChars + 1];
    uint32_t n = Text_Copy(text, buffer);
    return std::string(buffer, n);
}

// The glyphs of the codes stand whole in the frame at the row, from the pixel column on.
inline bool GlyphsDrawn(uint32_t row, uint32_t column, const std::string& codes) {
    for (size_t i = 0; i < codes.size(); ++i) {
        uint32_t at = column + 6 * static_cast<uint32_t>(i);
        if (at + 6 > kLcdColumns) return false;
        if (std::memcmp(&g_LcdFrame[row][at], Lcd_GlyphOf(static_cast<uint8_t>(codes[i])), 6) != 0) return false;
    }
    return true;
}

// The cells of a row as the user reads them (each one UTF-8 character), blanks to the row's end.
inline std::vector<std::string> RowCells(uint32_t row) {
    std::string text = Row(row);
    std::vector<std::string> cells;
    for (size_t at = 0; at < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[at]);
        size_t n = c >= 0xf0 ? 4 : (c >= 0xe0 ? 3 : (c >= 0xc0 ? 2 : 1));
        cells.push_back(text.substr(at, n));
        at += n;
    }
    while (cells.size() < kLcdTextColumns / 6) cells.push_back(" ");
    return cells;
}

// A fresh start, then MENU.
inline void OpenMenu() {
    BootHome();
    Press(kKeyMenu);
}

// The panel's ESC button.
inline void EscapeKey() {
    Key_Put(kKeyEscape);
    Rig_AdvanceMs(60);
}

// The numeric editor: UP until the character under the cursor is c.
inline void NumEditStepTo(char c) {
    uint8_t at = g_NumEditBuffer.cursor;
    ASSERT_LT(at, kNumEditTextMax);
    for (int i = 0; i < 16 && g_NumEditBuffer.text[at] != c; ++i) Press(kKeyUp);
    ASSERT_EQ(g_NumEditBuffer.text[at], c);
}

// The numeric editor: types the value's text from position 0; the cursor stays on its last
// character.
inline void NumEditType(const char* text) {
    for (int i = 0; i < 30 && g_NumEditBuffer.cursor != 0; ++i) Press(kKeyCal);
    ASSERT_EQ(g_NumEditBuffer.cursor, 0);
    for (const char* p = text; *p != '\0'; ++p) {
        if (p != text) Press(kKeyCal);
        NumEditStepTo(*p);
    }
}

// UP through the tree's items until one reads text, then ENTER; false when none does.
inline bool Choose(const std::string& text) {
    for (int i = 0; i < 14; ++i) {
        if (Item() == text) {
            Press(kKeyEnter);
            return true;
        }
        Press(kKeyUp);
    }
    return false;
}

// UP (or INFO for a negative count) n times.
inline void Step(int n) {
    for (int i = 0; i < (n < 0 ? -n : n); ++i) Press(n < 0 ? kKeyInfo : kKeyUp);
}

// The character in a cell of a row (cells, not bytes: the degree sign takes two bytes).
inline std::string Cell(uint32_t row, size_t cell) {
    std::string text = Row(row);
    size_t at = 0;
    for (size_t k = 0; at < text.size(); ++k) {
        size_t n = (static_cast<unsigned char>(text[at]) & 0xe0) == 0xc0 ? 2 : 1;
        if (k == cell) return text.substr(at, n);
        at += n;
    }
    return "";
}

// Queues an event as a screen's result would be, and lets the main loop take it.
inline void Post(uint32_t event) {
    Event_Put(event);
    Rig_AdvanceMs(60);
}

// The items shown while pressing a key n times, starting with the one shown now.
inline std::vector<std::string> Walk(uint8_t key, int n) {
    std::vector<std::string> items{Item()};
    for (int i = 0; i < n; ++i) {
        Press(key);
        items.push_back(Item());
    }
    return items;
}

// A value page: UP until the character under the cursor is c (at most a turn of its set).
inline void ValuePageStepTo(char c) {
    ASSERT_GE(g_ValuePageCursor, 0);
    ASSERT_LT(g_ValuePageCursor, static_cast<int32_t>(kEditTextMax));
    for (int i = 0; i < 96 && g_EditLines[g_ValuePageLine].text[g_ValuePageCursor] != c; ++i) Press(kKeyUp);
    ASSERT_EQ(g_EditLines[g_ValuePageLine].text[g_ValuePageCursor], c);
}

// A value page: types the characters at the places the cursor visits from where it stands, CAL
// between them; the cursor stays on the last.
inline void ValuePageType(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (p != text) Press(kKeyCal);
        ValuePageStepTo(*p);
    }
}

// ENTER through what follows a page until "Save Changes Yes & Exit", then ENTER on it, and on
// until the measurement screen is back (a save that also writes a sensor waits for it, at most
// 10 s).
inline void EnterAndSave() {
    for (int i = 0; i < 12 && Row(11) != "Save Changes Yes & Exit"; ++i) Press(kKeyEnter);
    ASSERT_EQ(Row(11), "Save Changes Yes & Exit");
    Press(kKeyEnter);
    for (int i = 0; i < 20 && Menu_TopScreen() != kScreenHome; ++i) Rig_AdvanceMs(500);
    ASSERT_EQ(Menu_TopScreen(), kScreenHome);
    Rig_AdvanceMs(1000);
}

}  // namespace ui_test
