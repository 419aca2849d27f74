// The menu trees in every language, as drawn: every node's title whole on row 11, every item whole
// on row 12 and ended before the leave marker, and the marker whole beside it, in both phases of
// whichever of the two blinks; the compensation item with each compensation's name and the PID item
// with each of its values.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "core/lcd_glyphs.h"
#include "core/settings.h"
#include "core/texts.h"
#include "measurement/meas.h"
#include "settings/settings_work.h"
#include "ui/menu_tree.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// The leave marker's column on row 12; an item has the cells before it.
constexpr uint32_t kMarkColumn = 138;
constexpr uint32_t kItemCells = kMarkColumn / 6;
// The lines a node is drawn with: the item blinking, the PID item's value blinking, the marker
// blinking.
constexpr uint32_t kLineStates[3] = {0, 1, 2};
// The items of the Service menu's "Diagnostics".
constexpr uint8_t kDiagnosticsGroup = 14;

bool MarkerWhole() { return GlyphsDrawn(kRowMessage, kMarkColumn, "$"); }

// A text as the rows read it when it is drawn alone.
std::string ReadAlone(TextRef text) {
    Lcd_ClearSpan(kRowMessage, 0, kLcdColumns);
    Lcd_DrawTextRef(kRowMessage, 0, text);
    std::string read = Rig_RowText(kRowMessage);
    while (!read.empty() && read.back() == ' ') read.pop_back();
    return read;
}

std::string Where(uint32_t language, uint32_t node, uint32_t item, const std::string& what) {
    return "language " + std::to_string(language) + " node " + std::to_string(node) + " item " + std::to_string(item) +
           ": " + what;
}

// Draws a node's item in each line state and checks both rows in both phases of the blinking.
// The item reads label, and value (when not empty) from the value's cell on.
void ExpectNodeItem(uint32_t language, uint32_t node, uint32_t item, const std::string& label, const std::string& value,
                    uint32_t valueCell) {
    const MenuPage& page = g_MenuPages[node];
    uint32_t group = page.textGroup;
    TextRef title = Text_Nth(kTextNodeTitles, group < 19 ? group - 7 : group - 8);
    std::string where = Where(language, node, item, "");
    uint32_t end = static_cast<uint32_t>(value.empty() ? label.size() : valueCell + value.size());
    EXPECT_LE(end, kItemCells) << where << "the item runs into the leave marker";
    EXPECT_LE(TextCodes(title).size(), kLcdTextColumns / 6) << where << "the title runs past the row";
    for (uint32_t state : kLineStates) {
        if (state == 1 && value.empty()) continue;
        Menu_BuildNodeLines(group, item);
        Menu_DrawNode(state);
        for (uint32_t phase : {0u, 1u}) {
            ASSERT_TRUE(g_BlinkField.active);
            Lcd_BlinkField(phase);
            bool shown = phase == 0;
            bool whole = GlyphsDrawn(kRowStatus, 0, TextCodes(title));
            // What blinks is hidden in phase 1; everything else stands in both phases.
            if (state != 0 || shown) whole = whole && GlyphsDrawn(kRowMessage, 0, label);
            if (!value.empty() && (state != 1 || shown)) {
                whole = whole && GlyphsDrawn(kRowMessage, 6 * valueCell, value);
            }
            if (state != 2 || shown) whole = whole && MarkerWhole();
            // The rows are read back only to say what went wrong.
            EXPECT_TRUE(whole) << where << "state " << state << " phase " << phase << ": " << Rig_RowText(kRowStatus)
                               << " | " << Rig_RowText(kRowMessage);
        }
    }
}
}  // namespace

TEST(MenuTreeLayout, EveryTitleAndItemStandsWholeBeforeTheMarkerInEveryLanguage) {
    BootHome();
    Press(kKeyMenu);
    constexpr uint32_t kNodeMeasurementSetup = 6;
    constexpr uint32_t kNodePid = 11;
    uint32_t items = 0;
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        for (uint32_t node = 1; node < kMenuNodeCount; ++node) {
            g_MenuCurNode = MenuCursor{&g_MenuNodes[node], &g_MenuPages[node]};
            uint32_t group = g_MenuPages[node].textGroup;
            for (uint32_t item = 0; item < g_TextGroupSizes[group]; ++item) {
                ++items;
                if (node == kNodeMeasurementSetup && item == 2) {
                    // The compensation item names the compensation of the edited measuring kind.
                    uint8_t channel = Settings_GetEditChannel();
                    uint8_t kept = g_WorkSet.channel.kind[channel];
                    const uint16_t kKinds[5] = {kKindCond4, kKindPh, kKindO2High, kKindO2Optical, kKindCo2};
                    for (uint32_t comp = 0; comp < 5; ++comp) {
                        g_WorkSet.channel.kind[channel] = static_cast<uint8_t>(kKinds[comp]);
                        ExpectNodeItem(language, node, item, TextCodes(Text_Nth(kTextCompensations, comp)), "", 0);
                    }
                    g_WorkSet.channel.kind[channel] = kept;
                } else if (node == kNodePid && item == 0) {
                    // The PID item: its label, and "Auto" or "Manual" at the language's column.
                    uint8_t kept = Settings_GetEditPidManual();
                    for (uint8_t manual : {0, 1}) {
                        Settings_SetEditPidManual(manual);
                        ExpectNodeItem(language, node, item, TextCodes(kTextPidItem),
                                       TextCodes(Text_Nth(kTextPidModes, manual)),
                                       kTextPidItemValueColumn[language] / 6);
                    }
                    Settings_SetEditPidManual(kept);
                } else {
                    ExpectNodeItem(language, node, item,
                                   TextCodes(TextRef{static_cast<uint8_t>(group), static_cast<uint8_t>(item)}), "", 0);
                }
            }
        }
    }
    // Every item of the fourteen nodes, in eight languages.
    EXPECT_EQ(items, 8u * 74u);
    g_Language = 0;
}

// The same through the keys: the Diagnostics items of the Service menu, whose names are the
// longest of the tree, read whole in every language, and the marker beside them is whole.
TEST(MenuTreeLayout, DiagnosticsItemsReadWholeByTheKeysInEveryLanguage) {
    for (uint32_t language = 0; language < kLanguages; ++language) {
        OpenMenu();
        g_Language = static_cast<uint8_t>(language);
        for (int i = 0; i < 4; ++i) Press(kKeyUp);  // "Service"
        Press(kKeyEnter);
        Press(kKeyEnter);  // "Diagnostics"
        ASSERT_EQ(Menu_TreeCursor(), 0) << language;
        std::vector<std::string> names;
        for (uint8_t item = 0; item < 11; ++item) names.push_back(ReadAlone(TextRef{kDiagnosticsGroup, item}));
        // The node drawn again over the texts read alone: to the marker and back to the item.
        Press(kKeyCal);
        Press(kKeyMenu);
        // Without an optical sensor the tree offers the first ten items.
        for (uint32_t item = 0; item < 10; ++item) {
            EXPECT_EQ(Item(), names[item]) << "language " << language << " item " << item;
            Lcd_BlinkField(0);
            EXPECT_TRUE(MarkerWhole()) << "language " << language << " item " << item << ": " << Row(kRowMessage);
            Press(kKeyUp);
        }
        EXPECT_EQ(Item(), names[0]) << language;
        EXPECT_EQ(Rig_RowText(kRowStatus).find("\uFFFD"), std::string::npos) << language;
    }
    g_Language = 0;
}
