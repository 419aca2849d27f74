// Every value page in every language, as drawn: labels whole, values whole in their fields, units
// and choices whole after them, nothing under the leave marker; and a walk by keys over every page
// the menus open, in English and in German.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/lcd_glyphs.h"
#include "ui/value_catalogue.h"
#include "ui/value_page.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// The leave marker's column on row 12.
constexpr uint32_t kMarkColumn = 138;

// The text's glyphs stand in the frame at the row and column.
bool Drawn(uint32_t row, uint32_t column, const char* text, uint32_t n) {
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t at = column + 6 * i;
        if (at + 6 > kLcdColumns) return false;
        if (std::memcmp(&g_LcdFrame[row][at], Lcd_GlyphOf(static_cast<uint8_t>(text[i])), 6) != 0) return false;
    }
    return true;
}

uint32_t RowOfLine(uint32_t page, uint32_t line) { return page == 31 || page == 32 || line == 0 ? 11 : 12; }

std::string Where(uint32_t page, uint32_t language, uint32_t line, const char* what) {
    return "page " + std::to_string(page) + " language " + std::to_string(language) + " line " + std::to_string(line) +
           ": " + what;
}
}  // namespace

TEST(ValuePageLayout, EveryPageFitsItsRowsInEveryLanguage) {
    BootHome();
    Press(kKeyMenu);
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        for (uint32_t page = 0; page < kValuePageCount; ++page) {
            ValuePage_Open(page, 1);
            Menu_BlinkOff();
            const ValuePageDesc& desc = g_ValuePageTable[page];
            for (uint32_t line = 0; line < 2; ++line) {
                uint32_t row = RowOfLine(page, line);
                // The labels stand whole: nothing drawn after them covered them.
                for (uint32_t k = 2 * line; k < 2 * line + 2; ++k) {
                    if (desc.label[k] == 255 || !ValuePage_ConcLineShown(page, line)) continue;
                    char text[kTextMaxChars + 1];
                    uint32_t n = Text_Copy(ValuePage_LabelText(page, k), text);
                    EXPECT_TRUE(Drawn(row, desc.labelColumn[k], text, n)) << Where(page, language, line, text);
                }
                uint32_t column = ValuePage_ValueColumn(page, line, language);
                uint32_t width = desc.width[line];
                if (column == 0 || width == 0 || !ValuePage_ConcLineShown(page, line)) continue;
                // The reference temperature is blank while the channel's choice says "No".
                if (page == 18 && line == 1 && g_ValuePageSelector != 0) continue;
                // The value stands whole in its field.
                EXPECT_TRUE(Drawn(row, column, g_EditLines[line].text, width))
                    << Where(page, language, line, g_EditLines[line].text);
                EXPECT_LE(column + 6 * width, kLcdTextColumns) << Where(page, language, line, "field");
                // The unit after it stands whole, before the leave marker on row 12.
                if (desc.unit[line] != 255) {
                    char unit[kTextMaxChars + 1];
                    uint32_t n = Text_Copy(Text_Nth(kTextUnits, desc.unit[line]), unit);
                    uint32_t at = column + 6 * width + 6;
                    if (page == 29 || page == 30 || page == 34 || page == 50) at -= 6;
                    EXPECT_TRUE(Drawn(row, at, unit, n)) << Where(page, language, line, unit);
                    if (row == 12) {
                        EXPECT_LE(at + 6 * n, kMarkColumn) << Where(page, language, line, unit);
                    }
                }
            }
            // The leave marker stands untouched at the end of row 12.
            EXPECT_TRUE(Drawn(12, kMarkColumn, "$", 1)) << Where(page, language, 1, "marker");
        }
    }
    g_Language = 0;
}

TEST(ValuePageLayout, ChoiceTextsFitInEveryLanguage) {
    BootHome();
    Press(kKeyMenu);
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        for (uint32_t page = 0; page < kValuePageCount; ++page) {
            for (uint32_t line = 0; line < 2; ++line) {
                uint8_t kind = ValuePage_ChoiceKind(page, line);
                for (uint32_t option = 0; option < ValuePage_ChoiceCount(kind); ++option) {
                    ValuePage_Open(page, 1);
                    g_ValuePageChoice[line] = static_cast<int8_t>(option);
                    // Redrawn the way the choice position draws it.
                    g_ValuePageLine = static_cast<uint8_t>(line);
                    g_ValuePageCursor = g_ValuePageTable[page].width[line];
                    Press(kKeyUp);
                    Press(kKeyInfo);
                    Menu_BlinkOff();
                    EXPECT_TRUE(Drawn(12, kMarkColumn, "$", 1)) << Where(page, language, line, "choice");
                    std::string row = Row(RowOfLine(page, kind == kChoicePassword ? 1 : line));
                    EXPECT_EQ(row.find("\uFFFD"), std::string::npos) << Where(page, language, line, row.c_str());
                }
            }
        }
    }
    g_Language = 0;
}

// Every page the menus open by an id, walked by keys round to its leave position and left with
// ENTER; in English and in German.
TEST(ValuePageLayout, EveryPageWalksToItsLeavePosition) {
    for (uint32_t language : {0u, 2u}) {
        for (uint32_t page = 0; page < kValuePageCount; ++page) {
            uint32_t id = g_EditorIdTable[kIdTableValuePages].ids[page];
            // Pages reached only from other pages, and an id the parameter pages answer first.
            const MenuIdTable& params = g_EditorIdTable[kIdTableParamPages];
            if (id == 0 || Menu_IndexOfId(params.ids, params.count, id) < params.count) continue;
            BootHome();
            g_Language = static_cast<uint8_t>(language);
            Press(kKeyMenu);
            Post(id);
            ASSERT_EQ(Menu_TopScreen(), kScreenValuePage) << std::hex << id;
            ASSERT_EQ(g_ValuePageNumber, page);
            std::string rows = Row(11) + "|" + Row(12);
            EXPECT_GT(rows.size(), 3u) << page;
            EXPECT_EQ(rows.find("\uFFFD"), std::string::npos) << page << ": " << rows;
            for (int i = 0; i < 40 && g_ValuePageCursor != kCursorLeave; ++i) Press(kKeyCal);
            EXPECT_EQ(g_ValuePageCursor, kCursorLeave) << page;
            // The walk wraps: one more CAL leaves the leave position, one MENU comes back.
            Press(kKeyCal);
            EXPECT_NE(g_ValuePageCursor, kCursorLeave) << page;
            Press(kKeyMenu);
            EXPECT_EQ(g_ValuePageCursor, kCursorLeave) << page;
            Press(kKeyEnter);
            // Whatever follows, the page is not left in a state that takes no key.
            EXPECT_NE(g_DisplayMode, kKeyModeBusy) << page;
        }
    }
    g_Language = 0;
}
