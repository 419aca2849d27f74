// Parameter pages: every page opened in every language within its rows, pages changed and saved
// by keys and kept over a restart, the field and choice steps, and the follow-ups of ENTER.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/settings.h"
#include "core/texts.h"
#include "outputs/relays.h"
#include "settings/settings_sensor.h"
#include "settings/settings_system.h"
#include "settings/settings_work.h"
#include "ui/param_page.h"
#include "ui/param_pages_table.h"
#include "ui_support.h"

using namespace ui_test;

namespace {

uint32_t TextCells(uint32_t group, uint32_t index, uint32_t language) {
    char text[kTextMaxChars + 1];
    return Text_CopyItem(Text_GetOffset(group, index, language), text);
}

struct Span {
    uint32_t begin;
    uint32_t end;  // one past the last pixel column
    std::string what;
};

// The spans a page takes on a row in a language: its labels, the marks drawn beside them and its
// values at their full width.
std::vector<Span> RowSpans(uint32_t page, uint32_t row, uint32_t lang) {
    const ParamPageDesc& d = g_ParamPageTable[page];
    std::vector<Span> spans;
    for (uint32_t f = row == 11 ? 0 : 2; f < (row == 11 ? 2u : 4u); ++f) {
        uint32_t cells = 0;
        uint8_t item = d.labelItem[f];
        if (page == 1 && f == 3 && lang >= 3) {
            cells = TextCells(23, 13, lang);
        } else if ((page == 56 || page == 57) && f == 0) {
            cells = TextCells(77, page - 55, lang);
        } else if (item != kNoLabel) {
            cells = TextCells(ParamPage_LabelGroup(page), item, lang);
            if (page == 33 && f == 0) cells = std::max(cells, TextCells(25, 7, lang));
        }
        // Marks drawn after a label: the relay or output digit, the line letter, "#" and the relay.
        if (page == 3 && f == 2) cells += 1;
        if (page == 27 && f == 2) cells += 2;
        if (page == 38 && (f == 0 || f == 2)) cells += 2;
        if ((page == 46 || page == 50 || page == 52) && f == 0) cells += 3;
        if (page == 82 && f == 0) cells = TextCells(20, 5, lang);
        if (page == 77 && f == 2) cells = 6;
        if (cells > 0) {
            uint32_t c = d.labelColumn[lang][f];
            spans.push_back({c, c + 6 * cells, "label " + std::to_string(f)});
        }
        if (d.choiceGroup[f] != kNoGroup) {
            uint32_t c = d.valueColumn[lang][f];
            uint32_t hash = (page == 2 || (page == 1 && lang < 3)) && f == 3 ? 6 : 0;
            spans.push_back({c - hash, c + d.valueWidth[lang][f], "value " + std::to_string(f)});
        }
    }
    return spans;
}

}  // namespace

TEST(ParamPage, EveryPageFitsItsRowsInEveryLanguage) {
    for (uint32_t page = 0; page < kParamPageCount; ++page) {
        const ParamPageDesc& d = g_ParamPageTable[page];
        ASSERT_EQ(d.pageId, page);
        for (uint32_t lang = 0; lang < kLanguages; ++lang) {
            for (uint32_t row : {11u, 12u}) {
                std::vector<Span> spans = RowSpans(page, row, lang);
                // Row 12 ends before the leave marker in the last cell.
                uint32_t limit = row == 11 ? 144 : 138;
                for (size_t i = 0; i < spans.size(); ++i) {
                    EXPECT_LE(spans[i].end, limit) << "page " << page << " lang " << lang << " " << spans[i].what;
                    for (size_t j = i + 1; j < spans.size(); ++j) {
                        bool apart = spans[i].end <= spans[j].begin || spans[j].end <= spans[i].begin;
                        EXPECT_TRUE(apart)
                            << "page " << page << " lang " << lang << " " << spans[i].what << " / " << spans[j].what;
                    }
                }
            }
            // Every choice of a text group fits the width cleared for it.
            for (uint32_t f = 0; f < kParamFields; ++f) {
                uint8_t group = d.choiceGroup[f];
                if (group >= kTextGroups) continue;
                // The temperature source's fifth choice, "Fixed", is a text of its own.
                bool fixed = page == 11 && f == 2;
                uint32_t count = d.choiceCount[f] + (page == 14 && f == 0 ? 1 : 0) - (fixed ? 1 : 0);
                ASSERT_LE(count, g_TextGroupSizes[group]) << "page " << page << " field " << f;
                for (uint32_t i = 0; i < count; ++i) {
                    EXPECT_LE(6 * TextCells(group, i, lang), d.valueWidth[lang][f])
                        << "page " << page << " lang " << lang << " field " << f << " choice " << i;
                }
                if (fixed) {
                    EXPECT_LE(6 * TextCells(33, 6, lang), d.valueWidth[lang][f]);
                }
            }
        }
    }
}

TEST(ParamPage, EveryPageOpensInEveryLanguageWithTheMarkerAlone) {
    BootHome();
    for (uint32_t lang = 0; lang < kLanguages; ++lang) {
        g_Language = static_cast<uint8_t>(lang);
        for (uint32_t page = 0; page < kParamPageCount; ++page) {
            Settings_CopyAll();
            ParamPage_ResetSelectors(1);
            ParamPage_Open(page, 1);
            ASSERT_EQ(g_PageEdit.page, page);
            EXPECT_EQ(g_PageEdit.field, kParamLeaveMarker);
            // The last cell of row 12 holds the marker and nothing of the page.
            Lcd_BlinkField(0);
            uint8_t shown[7];
            std::memcpy(shown, &g_LcdFrame[12][138], 7);
            Lcd_ClearSpan(12, 138, 7);
            Lcd_DrawChannelMark(0, 0);
            EXPECT_EQ(std::memcmp(shown, &g_LcdFrame[12][138], 7), 0) << "page " << page << " lang " << lang;
            // Every value is a choice of its field.
            const ParamPageDesc& d = g_ParamPageTable[page];
            for (uint32_t f = 0; f < kParamFields; ++f) {
                if (d.choiceGroup[f] == kNoGroup) continue;
                EXPECT_GE(g_PageEdit.values[f], 0) << "page " << page << " field " << f;
            }
        }
    }
    g_Language = 0;
}

TEST(ParamPage, LanguageChangedByKeysIsSavedAndKeptOverARestart) {
    std::string folder = Rig_MakeTempFolder();
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
    Press(kKeyMenu);
    Press(kKeyUp);
    Press(kKeyUp);
    ASSERT_EQ(Item(), "System");
    Press(kKeyEnter);
    ASSERT_EQ(Item(), "Set Language");
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenParamPage);
    EXPECT_EQ(Row(11), "Language English");
    Press(kKeyUp);
    EXPECT_EQ(Row(11), "Language French");
    Press(kKeyEnter);
    // ENTER in the field asks "Save Changes"; "Yes & Exit" commits the working set.
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    EXPECT_EQ(g_Language, 0);
    Post(kItemCommitAndLeave);
    Rig_AdvanceMs(3000);
    EXPECT_EQ(g_Language, 1);
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
    EXPECT_EQ(g_Language, 1);
}
