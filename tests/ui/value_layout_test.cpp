// Every value page in every language, as drawn: labels whole, values whole in their fields, units
// and choices whole after them, nothing under the leave marker; and a walk by keys over every page
// the menus open, in English and in German.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/fmt.h"
#include "core/lcd_glyphs.h"
#include "core/settings.h"
#include "measurement/units.h"
#include "settings/settings_work.h"
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
                    // Redrawn the way the choice position draws it: by the page's own keys.
                    g_ValuePageLine = static_cast<uint8_t>(line);
                    g_ValuePageCursor = g_ValuePageTable[page].width[line];
                    ValuePage_Screen(kEventUp);
                    ValuePage_Screen(kEventDown);
                    ASSERT_EQ(g_ValuePageChoice[line], static_cast<int8_t>(option));
                    // The choice blinks; in its shown phase it stands whole, and the marker too.
                    ASSERT_TRUE(g_BlinkField.active);
                    Lcd_BlinkField(0);
                    uint32_t row = g_BlinkField.row;
                    EXPECT_TRUE(Drawn(row, g_BlinkField.column, g_BlinkField.text,
                                      static_cast<uint32_t>(std::strlen(g_BlinkField.text))))
                        << Where(page, language, line, Row(row).c_str());
                    EXPECT_LE(g_BlinkField.column + 6 * std::strlen(g_BlinkField.text),
                              row == 12 ? kMarkColumn : kLcdTextColumns)
                        << Where(page, language, line, Row(row).c_str());
                    EXPECT_TRUE(Drawn(12, kMarkColumn, "$", 1)) << Where(page, language, line, Row(12).c_str());
                    std::string text = Row(RowOfLine(page, kind == kChoicePassword ? 1 : line));
                    EXPECT_EQ(text.find("\uFFFD"), std::string::npos) << Where(page, language, line, text.c_str());
                }
            }
        }
    }
    g_Language = 0;
}

// Every place of every page, walked by the page's own keys with each place stepped up and down
// again, in every language: whatever a step redraws (the value, its unit, a choice, a selector),
// the leave marker at the end of row 12 stays whole.
TEST(ValuePageLayout, EveryPlaceRedrawnLeavesTheMarkerWholeInEveryLanguage) {
    BootHome();
    Press(kKeyMenu);
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        for (uint32_t page = 0; page < kValuePageCount; ++page) {
            ValuePage_Open(page, 0);
            for (int place = 0; place < 40; ++place) {
                int32_t cursor = g_ValuePageCursor;
                ValuePage_Screen(kEventUp);
                ValuePage_Screen(kEventDown);
                // A set point's selector shows another page for another type of set point.
                if (g_ValuePageNumber != page) break;
                if (g_BlinkField.active) Lcd_BlinkField(0);
                EXPECT_TRUE(Drawn(12, kMarkColumn, "$", 1)) << Where(
                    page, language, g_ValuePageLine, ("cursor " + std::to_string(cursor) + ": " + Row(12)).c_str());
                if (cursor == kCursorLeave && place > 0) break;
                ValuePage_Screen(kEventRight);
            }
        }
    }
    g_Language = 0;
}

namespace {
// Every unit a display line can carry: each measurement of each channel kind's list, with each
// prefix its resolutions give it.
struct LineUnit {
    uint8_t code;
    uint8_t prefix;
};

std::vector<LineUnit> EveryLineUnit() {
    std::vector<LineUnit> units;
    for (uint32_t list = 0; list < 13; ++list) {
        for (uint32_t i = 0; i < Fmt_UnitListLength(list); ++i) {
            uint8_t code = Fmt_UnitAt(list, i);
            uint32_t resolutions = Fmt_DecimalsByUnit(code);
            for (uint32_t r = 0; r < (resolutions > 0 ? resolutions : 1); ++r) {
                LineUnit unit{code, static_cast<uint8_t>(Fmt_ResolutionClass(code, r))};
                bool known = false;
                for (const LineUnit& u : units) known = known || (u.code == unit.code && u.prefix == unit.prefix);
                if (!known) units.push_back(unit);
            }
        }
    }
    return units;
}

// The unit as the pages draw it: the prefix's symbol, then the unit's text.
std::string UnitText(const LineUnit& unit) {
    std::string text;
    if (unit.prefix != kPrefixNone && unit.prefix != kPrefixUnits) text = Fmt_PrefixSymbol(unit.prefix);
    return text + Unit_GetText(unit.code);
}

// Every display line shows the unit; the set points, outputs and the PID take their quantity from
// a line.
void ShowUnitOnEveryLine(const LineUnit& unit) {
    for (uint32_t slot = 0; slot < 4; ++slot) {
        g_WorkSet.channel.lines.kind[slot] = unit.code;
        g_WorkSet.channel.lines.prefix[slot] = unit.prefix;
        g_WorkSet.channel.lines.lineSlot[slot] = static_cast<uint8_t>(slot);
    }
    g_WorkSet.pid.source = 0;
}
}  // namespace

// The pages of a set point, an output's range, the PID and a relay's hysteresis draw the unit of
// the quantity they work on after each value: with every unit a display line can carry, in every
// language, the unit stands whole after its value within its row (row 12: before the leave
// marker), also after the cursor has walked the page and redrawn it.
TEST(ValuePageLayout, QuantityUnitsStandWholeInEveryLanguage) {
    BootHome();
    Press(kKeyMenu);
    const uint32_t kPages[] = {kValuePageSetPointRange, kValuePageOutputRange, kValuePageOutputLow,
                               kValuePageSetPointValue, kValuePagePid,         kValuePagePropLimits,
                               kValuePagePropLimits2};
    std::vector<LineUnit> units = EveryLineUnit();
    ASSERT_GT(units.size(), 40u);
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        for (const LineUnit& unit : units) {
            std::string text = UnitText(unit);
            for (uint32_t page : kPages) {
                Settings_CopyAll();
                ShowUnitOnEveryLine(unit);
                ValuePage_Open(page, 0);
                for (int place = 0; place < 16; ++place) {
                    Menu_BlinkOff();
                    for (uint32_t line = 0; line < 2; ++line) {
                        uint32_t column = ValuePage_ValueColumn(page, line, language);
                        if (column == 0 || g_ValuePageTable[page].width[line] == 0) continue;
                        uint32_t row = RowOfLine(page, line);
                        uint32_t at = column + 6 * g_ValuePageTable[page].width[line] + 6;
                        bool whole = Drawn(row, at, text.c_str(), static_cast<uint32_t>(text.size())) &&
                                     at + 6 * text.size() <= (row == 12 ? kMarkColumn : kLcdTextColumns);
                        EXPECT_TRUE(whole) << Where(page, language, line, (text + ": " + Row(row)).c_str());
                    }
                    EXPECT_TRUE(Drawn(12, kMarkColumn, "$", 1))
                        << Where(page, language, 1, (text + ": " + Row(12)).c_str());
                    if (g_ValuePageCursor == kCursorLeave) break;
                    ValuePage_Screen(kEventRight);
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
