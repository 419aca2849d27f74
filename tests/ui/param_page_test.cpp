// Parameter pages: every page opened in every language within its rows, pages changed and saved
// by keys and kept over a restart, the field and choice steps, and the follow-ups of ENTER.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "../digital_sensor/plug_support.h"

#include "core/settings.h"
#include "core/texts.h"
#include "digital_sensor/sens_cmd.h"
#include "outputs/relays.h"
#include "settings/settings_sensor.h"
#include "settings/settings_system.h"
#include "settings/settings_work.h"
#include "ui/param_page.h"
#include "ui/param_pages_table.h"
#include "ui/value_catalogue.h"
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
    // The cycle set-up pages share row 11 with their value page: the cycle limit, and on the CIP
    // and SIP pages "Temp" and the temperature, each number a blank cell after the word before it.
    if (page >= kParamPageCipAlarm && page < kParamPageCipAlarm + 3 && row == 11) {
        uint32_t values = kValuePageCipSetup + page - kParamPageCipAlarm;
        const ValuePageDesc& v = g_ValuePageTable[values];
        if (v.label[0] != kNoLabel) {
            char text[kTextMaxChars + 1];
            uint32_t c = v.labelColumn[0];
            spans.push_back({c, c + 6 * Text_Copy(ValuePage_LabelText(values, 0), text), "value page label"});
        }
        for (uint32_t line = 0; line < 2; ++line) {
            uint32_t c = ValuePage_ValueColumn(values, line, lang);
            if (c == 0 || v.width[line] == 0) continue;
            spans.push_back({c - 6, c, "blank before value page value " + std::to_string(line)});
            spans.push_back({c, c + 6 * v.width[line], "value page value " + std::to_string(line)});
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

// Every choice of every field, stepped in by UP as the user does, in every language: the value
// stands whole in its span in both phases of its blinking (a row-12 value ending in the cell before
// the leave marker, too), and the marker beside it stays whole.
TEST(ParamPage, EveryChoiceStandsWholeAndLeavesTheMarkerWholeInEveryLanguage) {
    BootHome();
    for (uint32_t lang = 0; lang < kLanguages; ++lang) {
        g_Language = static_cast<uint8_t>(lang);
        for (uint32_t page = 0; page < kParamPageCount; ++page) {
            const ParamPageDesc& d = g_ParamPageTable[page];
            for (uint32_t f = 0; f < kParamFields; ++f) {
                if (d.choiceGroup[f] == kNoGroup || d.choiceGroup[f] == kGroupCalUnits) continue;
                Settings_CopyAll();
                ParamPage_ResetSelectors(1);
                ParamPage_Open(page, 0);
                ParamPage_SelectField(f);
                uint32_t row = f < 2 ? kRowStatus : kRowMessage;
                uint32_t column = d.valueColumn[lang][f];
                // The largest choice group has twelve texts: every choice is met on the way round.
                for (int step = 0; step < 13 && g_PageEdit.page == page && g_PageEdit.field == f; ++step) {
                    std::string where = "page " + std::to_string(page) + " lang " + std::to_string(lang) + " field " +
                                        std::to_string(f) + " value " + std::to_string(g_PageEdit.values[f]);
                    // The measurement of an output is drawn inverted rather than blinking.
                    bool blinks = g_BlinkField.active && g_BlinkField.row == row && g_BlinkField.column == column;
                    std::string value = blinks ? std::string(g_BlinkField.text) : std::string();
                    for (uint32_t phase : {1u, 0u}) {
                        if (blinks) Lcd_BlinkField(phase);
                        bool whole = GlyphsDrawn(kRowMessage, 138, "$");
                        if (blinks && phase == 0) {
                            whole =
                                whole && GlyphsDrawn(row, column, value) && 6 * value.size() <= d.valueWidth[lang][f];
                        }
                        // The rows are read back only to say what went wrong.
                        EXPECT_TRUE(whole) << where << " phase " << phase << ": " << Rig_RowText(kRowStatus) << " | "
                                           << Rig_RowText(kRowMessage);
                    }
                    ParamPage_EditKey(kEventUp, &g_PageEdit);
                }
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

namespace {
void BootIn(const std::string& folder) {
    Rig_Reset(folder);
    Rig_UseNoLibrary();
    Rig_Boot();
    Rig_AdvanceMs(1100);
}

// Opens the page of an id as the menu tree or a value page would, from the MENU tree.
void OpenById(uint32_t id) {
    Press(kKeyMenu);
    Post(id);
}

// "Yes & Exit" of the "Save Changes" question, and the time the save takes.
void SaveAndLeave() {
    Post(kItemCommitAndLeave);
    Rig_AdvanceMs(3000);
}
}  // namespace

namespace {
// Pages whose choices are no stored setting: the questions and resets, which act at once; the
// relay test; the type of the calibration about to run; and the conductivity calibration's
// compensation, which is kept for that calibration only.
bool StoresNothing(uint32_t page) {
    switch (page) {
        case kParamPageReset:
        case kParamPageRelayTest:
        case kParamPageOrpCalType:
        case kParamPagePhCalType:
        case kParamPageTempCalType:
        case kParamPageCondCalType:
        case kParamPageO2CalType:
        case kParamPageO3CalType:
        case kParamPageO2OptCalType:
        case kParamPageCo2CalType:
        case kParamPageCalType:
        case kParamPageStopRelay:
        case kParamPageStopOutputMeas:
        case kParamPageStopOutputPid:
        case kParamPageStopRelayAsked:
        case kParamPageStopPidRelay:
        case kParamPageCalComp:
        case kParamPageResetMaint:
        case kParamPageResetCipSip:
        case kParamPageResetAutoclaveLifetime:
        case kParamPageResetLifetime:
        case kParamPageResetMaintAutoclave:
        case kParamPageCalOutOfLimit:
        case 81:  // a yes/no question of the service technician's pages
        case kParamPageFenlidCal:
            return true;
        default:
            return false;
    }
}

// Pages whose settings are kept only with a digital sensor on the current channel: the sensor
// monitoring alarms (the test with an optical sensor below), and the optical sensor's LED mode,
// which each take-over of the sensor sets anew from the stored LED byte.
bool KeptOnlyWithASensor(uint32_t page) {
    return (page >= kParamPageLifetimeAlarm && page <= kParamPageAdaptCalAlarm) || page == kParamPageLedMode;
}

// The field a test changes: the page's last field with choices, but not a selector, which shows
// another item instead (the hold inputs page's field 2 chooses the digital input), nor a field
// that does not move (field 3 of the output's set point page; the analog output page has none
// that moves).
uint32_t FieldToChange(uint32_t page) {
    if (page == kParamPageHoldInputs) return 3;
    if (page == kParamPageOutputOfSetPoint) return 1;
    if (page == kParamPageOutputMeasurement) return kParamLeaveMarker;
    const ParamPageDesc& d = g_ParamPageTable[page];
    for (uint32_t f = kParamFields; f-- > 0;) {
        if (d.choiceGroup[f] != kNoGroup) return f;
    }
    return kParamLeaveMarker;
}

void GoToField(uint32_t field) {
    for (int i = 0; i < 6 && g_PageEdit.field != field && Menu_TopScreen() == kScreenParamPage; ++i) Press(kKeyCal);
}

// What a page showed after its change: the field, its choice and the row it stands on.
struct Shown {
    uint32_t page;
    uint32_t field;
    int8_t value;
    std::string row;
};

// Opens the page of an id, changes its field by UP, and saves with "Yes & Exit"; false when the id
// leads to a page of its own that builds on the parameter page.
bool ChangeAndSave(uint32_t id, Shown* shown) {
    OpenById(id);
    if (Menu_TopScreen() != kScreenParamPage) {
        Post(kEventHome);
        return false;
    }
    shown->page = g_PageEdit.page;
    shown->field = FieldToChange(shown->page);
    if (shown->field < kParamFields) {
        GoToField(shown->field);
        EXPECT_EQ(g_PageEdit.field, shown->field) << "page " << shown->page;
        int8_t before = g_PageEdit.values[shown->field];
        Press(kKeyUp);
        shown->value = g_PageEdit.values[shown->field];
        shown->row = Row(ParamPage_FieldRow(shown->field));
        EXPECT_NE(shown->value, before) << "page " << shown->page << " field " << shown->field;
    }
    Press(kKeyEnter);
    // A relay another user has: "Yes" gives it to the page.
    if (Menu_TopScreen() == kScreenParamPage && g_PageEdit.page == kParamPageStopRelayAsked) {
        Press(kKeyUp);
        Press(kKeyEnter);
    }
    SaveAndLeave();
    // Whatever followed, the keys lead home again (a digital sensor's settings may take a while).
    for (int i = 0; i < 60 && Menu_TopScreen() != kScreenHome; ++i) {
        Post(kEventHome);
        Rig_AdvanceMs(500);
    }
    EXPECT_EQ(Menu_TopScreen(), kScreenHome) << "page " << shown->page;
    return true;
}

// After a restart the page of the id shows what was saved.
void ExpectShownAgain(uint32_t id, const Shown& shown) {
    OpenById(id);
    ASSERT_EQ(g_PageEdit.page, shown.page);
    GoToField(shown.field);
    EXPECT_EQ(g_PageEdit.values[shown.field], shown.value) << "page " << shown.page << " field " << shown.field;
    // The language page's row is drawn in the language saved.
    if (shown.page != kParamPageLanguage) {
        EXPECT_EQ(Row(ParamPage_FieldRow(shown.field)), shown.row) << "page " << shown.page;
    }
    Post(kEventHome);
}
}  // namespace

TEST(ParamPage, EveryPageOpenedChangedSavedAndKeptOverARestart) {
    const MenuIdTable& ids = g_EditorIdTable[kIdTableParamPages];
    uint32_t opened = 0;
    uint32_t kept = 0;
    for (uint32_t page = 0; page < kParamPageCount; ++page) {
        uint32_t id = ids.ids[page];
        if (id == 0 || id == 0xff) continue;
        std::string folder = Rig_MakeTempFolder();
        BootIn(folder);
        Shown shown{};
        if (!ChangeAndSave(id, &shown)) continue;
        ++opened;
        if (shown.field >= kParamFields || StoresNothing(shown.page) || KeptOnlyWithASensor(shown.page)) continue;
        BootIn(folder);
        ExpectShownAgain(id, shown);
        ++kept;
    }
    EXPECT_GE(opened, 40u);
    EXPECT_GE(kept, 35u);
}

TEST(ParamPage, SettingsOfEveryModuleKeptOverARestart) {
    std::string folder = Rig_MakeTempFolder();
    BootIn(folder);
    // Set point 1 on line c, "High" (page 0): the set points' working copy.
    OpenById(0x400002);
    ASSERT_EQ(g_PageEdit.page, 0u);
    EXPECT_EQ(Row(11), "SP1 on Measurement a");
    Press(kKeyCal);
    Press(kKeyUp);
    Press(kKeyUp);
    Press(kKeyCal);
    Press(kKeyUp);
    EXPECT_EQ(Item(), "SP Type= High");
    Press(kKeyMenu);
    Press(kKeyMenu);
    Press(kKeyMenu);
    ASSERT_EQ(g_PageEdit.field, kParamLeaveMarker);
    Press(kKeyEnter);
    // Error display on (page 5): the system working copy.
    Post(0x1026);
    ASSERT_EQ(g_PageEdit.page, 5u);
    EXPECT_EQ(Row(12).substr(0, 17), "Error Display Off");
    Press(kKeyUp);
    Press(kKeyEnter);
    EXPECT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    SaveAndLeave();
    BootIn(folder);
    EXPECT_EQ(g_SetPointSettings.source[0], 2);
    EXPECT_EQ(g_SetPointSettings.type[0], kSetPointHigh);
    EXPECT_EQ(Settings_GetErrorDisplay(), 1);
}

namespace {
// Opens a page straight on screen 7, as the menu engine does, with fresh working copies.
void OpenPage(uint32_t page) {
    Press(kKeyMenu);
    Settings_CopyAll();
    ParamPage_ResetSelectors(1);
    g_MenuStack[g_MenuDepth++] = kScreenParamPage;
    ParamPage_Open(page, 0);
}

int32_t Key(uint32_t event) { return ParamPage_Screen(event); }
}  // namespace

TEST(ParamPage, CalAndMenuStepThroughTheFieldsAndTheMarker) {
    BootHome();
    OpenPage(4);  // four fields: "Line 1 =" to "Line 4 ="
    EXPECT_EQ(g_PageEdit.field, 0);
    for (uint8_t expected : {1, 2, 3}) {
        Key(kEventRight);
        EXPECT_EQ(g_PageEdit.field, expected);
    }
    // CAL past the last field selects the leave marker, CAL on the marker the first field.
    Key(kEventRight);
    EXPECT_EQ(g_PageEdit.field, kParamLeaveMarker);
    EXPECT_TRUE(g_BlinkField.active);
    EXPECT_EQ(g_BlinkField.column, 138);
    Key(kEventRight);
    EXPECT_EQ(g_PageEdit.field, 0);
    // MENU from the first field to the marker, from the marker to the last field.
    Key(kEventLeft);
    EXPECT_EQ(g_PageEdit.field, kParamLeaveMarker);
    Key(kEventLeft);
    EXPECT_EQ(g_PageEdit.field, 3);

    // A page whose fields all lack a choice group starts at field 0 and ENTER follows the marker.
    OpenPage(49);
    EXPECT_EQ(g_PageEdit.field, 0);
    Key(kEventRight);
    EXPECT_EQ(g_PageEdit.field, kParamLeaveMarker);
    EXPECT_EQ(Key(kEventEnter), static_cast<int32_t>(kActionBackToFirst));

    // ENTER in a field leads each electrode's buffer page on to its own compensation values: pH to
    // the isothermal point, CO2 to its salinity and bicarbonate.
    OpenPage(kParamPagePhBuffers);
    EXPECT_EQ(Key(kEventEnter), static_cast<int32_t>(kActionStcPage));
    OpenPage(kParamPageCo2Buffers);
    EXPECT_EQ(Key(kEventEnter), static_cast<int32_t>(kActionCo2SalinityPage));
}

TEST(ParamPage, ChoiceStepsWrapAndKeepTheirExceptions) {
    BootHome();
    // The temperature source has five choices, "Fixed" the fifth.
    OpenPage(11);
    EXPECT_EQ(Item(), "A: Auto");
    std::vector<std::string> shown;
    for (int i = 0; i < 5; ++i) {
        Key(kEventUp);
        shown.push_back(Item());
    }
    EXPECT_EQ(shown,
              (std::vector<std::string>{"A: Use NTC22K", "A: Use Pt1000", "A: Use Pt100", "A: Fixed", "A: Auto"}));
    Key(kEventDown);
    EXPECT_EQ(Item(), "A: Fixed");
    Key(kEventEnter);
    EXPECT_EQ(g_WorkSet.params.channel[0].tempSource, 4);

    // Page 82 never offers its first choice, "None"; it starts on the stored "Medium".
    OpenPage(82);
    EXPECT_EQ(g_PageEdit.values[3], 2);
    for (int i = 0; i < 5; ++i) {
        Key(kEventUp);
        EXPECT_NE(g_PageEdit.values[3], 0);
    }
    ASSERT_EQ(g_PageEdit.values[3], 3);
    // Below "Low" (1) comes the last choice.
    Key(kEventDown);
    Key(kEventDown);
    Key(kEventDown);
    EXPECT_EQ(g_PageEdit.values[3], 4);

    // Page 29 toggles between one point and process.
    OpenPage(29);
    Key(kEventUp);
    EXPECT_EQ(g_PageEdit.values[2], 2);
    Key(kEventUp);
    EXPECT_EQ(g_PageEdit.values[2], 0);
}

TEST(ParamPage, MirroredBufferSetStaysWithinItsGroup) {
    BootHome();
    // The CO2 page mirrors the buffer set (8 - set); sets 9 and 10 would mirror to -1 and -2.
    for (uint8_t set : {9, 10}) {
        OpenPage(73);
        g_PageEdit.values[3] = static_cast<int8_t>(set);
        g_PageEdit.field = 3;
        Key(kEventUp);
        EXPECT_EQ(g_PageEdit.values[3], 0) << "set " << int(set);
        Key(kEventEnter);
        EXPECT_EQ(g_WorkSet.params.channel[0].bufferSet, 0);
    }
    OpenPage(73);
    g_PageEdit.field = 3;
    g_PageEdit.values[3] = 2;
    Key(kEventUp);
    EXPECT_EQ(g_PageEdit.values[3], 6);
    // A value outside its group is drawn as the nearest choice, never a neighbouring group's text.
    g_PageEdit.values[3] = -2;
    Key(kEventLeft);
    EXPECT_NE(Row(12).find("Vandor-9"), std::string::npos);
}

TEST(ParamPage, SetPointSelectorStoresTheShownSetPointFirst) {
    BootHome();
    OpenPage(0);
    Key(kEventRight);
    Key(kEventUp);  // set point 1 on line b
    Key(kEventLeft);
    ASSERT_EQ(g_PageEdit.field, 0);
    Key(kEventUp);  // set point 2
    EXPECT_EQ(g_WorkSet.setPoints.source[0], 1);
    uint8_t line = g_WorkSet.setPoints.source[1];
    EXPECT_EQ(Row(11), "SP2 on Measurement " + std::string(1, line < 4 ? static_cast<char>('a' + line) : '_'));
    EXPECT_EQ(ParamPage_SelectedSetPoint(), 1);
}

TEST(ParamPage, RelayInUseAsksToStopItAndTheCleaningRelayIsPassedOver) {
    BootHome();
    OpenPage(1);
    g_WorkSet.cleaning.relay = 0;
    g_WorkSet.setPoints.relay[0] = kRelayNone;
    ParamPage_Open(1, 0);
    g_PageEdit.field = 3;
    // From "_" UP gives relay 1, which the cleaning uses: it is passed over.
    Key(kEventUp);
    EXPECT_EQ(g_PageEdit.values[3], 1);
    // Relay 2 is used by the PID: ENTER asks to stop it (page 50).
    g_WorkSet.pid.relayPositive = 1;
    int32_t result = Key(kEventEnter);
    EXPECT_EQ(result, 4153);
    EXPECT_EQ(g_PageEdit.page, 50u);
    EXPECT_EQ(g_ValuePageMode, 1);
}

TEST(ParamPage, ResetQuestionsFollowTheChoices) {
    BootHome();
    OpenPage(14);
    // "No" leaves; "Yes" opens the reset's own question.
    EXPECT_EQ(g_PageEdit.values[1], 1);
    Key(kEventRight);
    Key(kEventUp);
    EXPECT_EQ(Key(kEventEnter), 4100);
    EXPECT_EQ(g_PageEdit.page, 23u);
    EXPECT_EQ(Row(11), "Reset System");
    // "Are you sure?" starts on "No": ENTER leads home without a reset.
    EXPECT_EQ(Key(kEventEnter), static_cast<int32_t>(kEventHome));
    Key(kEventUp);
    EXPECT_EQ(Key(kEventEnter), static_cast<int32_t>(kActionFactoryDefaults));
}

TEST(ParamPage, APhOrpChannelIsNotOfferedThePnaBufferSet) {
    BootHome();
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Measurement"));
    // The compensation item carries the name of the channel's kind: channel A is pH/ORP.
    ASSERT_TRUE(Choose("pH"));
    ASSERT_EQ(g_PageEdit.page, kParamPagePhBuffers);
    Press(kKeyCal);
    ASSERT_EQ(Item(), "pH Buffer= Vandor-9");
    // UP walks the ten sets of a pH electrode and comes back to the first; "Na+ 3.9M" is the pH/pNa
    // electrode's own.
    std::vector<std::string> shown = Walk(kKeyUp, 10);
    EXPECT_EQ(shown, (std::vector<std::string>{"pH Buffer= Vandor-9", "pH Buffer= Vandor-10", "pH Buffer= NIST Tech",
                                               "pH Buffer= NIST Std", "pH Buffer= HACH", "pH Buffer= CIBA",
                                               "pH Buffer= MERCK", "pH Buffer= WTW", "pH Buffer= None",
                                               "pH Buffer= JIS Z 8802", "pH Buffer= Vandor-9"}));
    // INFO from the first set goes to the last of the ten.
    Press(kKeyInfo);
    EXPECT_EQ(Item(), "pH Buffer= JIS Z 8802");
    Press(kKeyEnter);
    EXPECT_EQ(g_WorkSet.params.channel[0].bufferSet, 9);
}

namespace {
// Relay 2's page of its hold and contact ("OC2 State"), reached as a set point that is given relay
// 2 reaches it: relay 2 serves the alarm, so the set point asks to take it over first.
void OpenRelay2Contact() {
    Press(kKeyMenu);
    Post(0x1000);
    ASSERT_EQ(g_PageEdit.page, kParamPageSetPointRelay);
    Press(kKeyCal);
    Press(kKeyCal);
    for (int i = 0; i < 3 && Item() != "Use OC #2"; ++i) Press(kKeyUp);
    ASSERT_EQ(Item(), "Use OC #2");
    Press(kKeyEnter);
    if (g_PageEdit.page == kParamPageStopRelayAsked) {
        Press(kKeyUp);
        Press(kKeyEnter);
    }
    ASSERT_EQ(Menu_TopScreen(), kScreenValuePage);
    Press(kKeyEnter);
    ASSERT_EQ(g_PageEdit.page, kParamPageRelayHold);
    Press(kKeyCal);
    ASSERT_EQ(g_PageEdit.field, 3);
}

uint8_t StoredContact2() { return Rig_StoreBytes().at(1025); }
bool Relay2Closed() { return ((g_RelayBits.load() >> 1) & 1u) != 0; }
}  // namespace

TEST(ParamPage, TheRelayContactShownIsTheOneStoredAndUsed) {
    std::string folder = Rig_MakeTempFolder();
    BootIn(folder);
    ASSERT_EQ(StoredContact2(), kRelayNormallyClosed);
    ASSERT_TRUE(Relay2Closed()) << "relay 2 inverted: closed at rest";
    // "Power Failure" is not watched (factory): the contact is the user's choice.
    OpenRelay2Contact();
    EXPECT_EQ(Item(), "OC2 State = Inverted");
    Press(kKeyUp);
    EXPECT_EQ(Item(), "OC2 State = Normal");
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    Press(kKeyEnter);  // "Yes & Exit"
    Rig_AdvanceMs(3000);
    EXPECT_EQ(StoredContact2(), kRelayNormallyOpen);
    EXPECT_FALSE(Relay2Closed()) << "relay 2 normal: open at rest";
    BootIn(folder);
    EXPECT_EQ(g_RelaySettings.sense[1], kRelayNormallyOpen);
    EXPECT_FALSE(Relay2Closed());
    OpenRelay2Contact();
    EXPECT_EQ(Item(), "OC2 State = Normal");
    Post(kEventHome);

    // The set point took relay 2 from the alarm: the alarm takes it back ("Stop OC #2 on SP1",
    // "Yes"). Watching "Power Failure" on the alarm relay makes its contact inverted, and then the
    // contact cannot be chosen.
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Alarm/Clean"));
    ASSERT_EQ(g_PageEdit.page, kParamPageAlarmClean);
    Press(kKeyCal);
    ASSERT_EQ(Item(), "Use OC # _");
    // Relay 1 is the cleaning's and is passed over.
    Press(kKeyUp);
    ASSERT_EQ(Item(), "Use OC # 2");
    Press(kKeyEnter);
    ASSERT_EQ(g_PageEdit.page, kParamPageStopRelayAsked);
    EXPECT_EQ(Row(12).substr(0, 3), "SP1");
    Press(kKeyUp);
    Press(kKeyEnter);
    ASSERT_EQ(g_PageEdit.page, kParamPageAlarmCauses);
    Press(kKeyCal);
    EXPECT_EQ(Item(), "Power Failure      No");
    Press(kKeyUp);
    EXPECT_EQ(Item(), "Power Failure      Yes");
    Press(kKeyEnter);
    EXPECT_EQ(g_WorkSet.relays.sense[1], kRelayNormallyClosed);
    SaveAndLeave();
    EXPECT_EQ(StoredContact2(), kRelayNormallyClosed);
    EXPECT_EQ(Rig_StoreBytes().at(1048), kRelayNone) << "set point 1 without its relay";
    EXPECT_TRUE(Relay2Closed());
    BootIn(folder);
    EXPECT_TRUE(Relay2Closed());
    // Relay 2's page while it is the alarm relay (chosen on the alarm page, INFO past relay 1 and
    // "_"): the contact does not move.
    Press(kKeyMenu);
    ASSERT_TRUE(Choose("Configure"));
    ASSERT_TRUE(Choose("Alarm/Clean"));
    Press(kKeyCal);
    Press(kKeyInfo);
    Press(kKeyInfo);
    ASSERT_EQ(Item(), "Use OC # 2");
    Post(kActionRelayHoldPage);
    ASSERT_EQ(g_PageEdit.page, kParamPageRelayHold);
    Press(kKeyCal);
    EXPECT_EQ(Item(), "OC2 State = Inverted");
    Press(kKeyUp);
    Press(kKeyInfo);
    Press(kKeyUp);
    EXPECT_EQ(Item(), "OC2 State = Inverted") << "the field does not move";
    Press(kKeyEnter);
    SaveAndLeave();
    EXPECT_EQ(StoredContact2(), kRelayNormallyClosed);
    BootIn(folder);
    EXPECT_EQ(g_RelaySettings.sense[1], kRelayNormallyClosed);
    EXPECT_TRUE(Relay2Closed());
}

TEST(ParamPage, AnAlarmRelayChosenWhilePowerFailuresAreWatchedIsInverted) {
    for (bool watched : {false, true}) {
        BootHome();
        OpenPage(kParamPageAlarmClean);
        if (watched) g_WorkSet.alarm.disableMask &= ~1u;
        g_WorkSet.cleaning.relay = kRelayNone;
        ParamPage_Open(kParamPageAlarmClean, 0);
        Key(kEventRight);
        ASSERT_EQ(Item(), "Use OC # 2");
        Key(kEventUp);
        Key(kEventUp);
        ASSERT_EQ(Item(), "Use OC # 1");
        // ENTER on the marker leaves the page without the alarm causes page after it.
        Key(kEventRight);
        ASSERT_EQ(g_PageEdit.field, kParamLeaveMarker);
        Key(kEventEnter);
        EXPECT_EQ(g_WorkSet.alarm.relay, 0);
        EXPECT_EQ(g_WorkSet.relays.sense[0], watched ? kRelayNormallyClosed : kRelayNormallyOpen)
            << (watched ? "watched" : "not watched");
    }
}

namespace {
// ENTER on the page's field, then the answer to "Save Changes" ("Yes & Exit" or "No & Exit").
// The manual hold page leads on to the hold outputs page first.
void EnterAndAnswer(bool save) {
    Press(kKeyEnter);
    if (Menu_TopScreen() == kScreenParamPage) Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    if (!save) {
        Press(kKeyUp);
        Press(kKeyUp);
        ASSERT_EQ(Row(11), "Save Changes No & Exit");
    }
    Press(kKeyEnter);
    Rig_AdvanceMs(3000);
}
}  // namespace

TEST(ParamPage, ProcessCalibrationStressAndManualHoldAreSavedDroppedAndKept) {
    std::string folder = Rig_MakeTempFolder();
    BootIn(folder);
    struct Case {
        uint32_t id;
        const char* before;
        const char* after;
        uint32_t offset;
        uint8_t factory;
        uint8_t changed;
    };
    // The process stress is kept as its choice less one: "Medium" is 1.
    const Case cases[] = {
        {0x1080, "ProcCal = Calibration", "ProcCal = Scaling", 2200, 0, 1},
        {0x600005, "Process Stress Medium", "Process Stress High", 2202, 1, 2},
        {0x400006, "Manual Hold = No", "Manual Hold = Yes", 2201, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.before);
        OpenById(c.id);
        ASSERT_EQ(Menu_TopScreen(), kScreenParamPage);
        EXPECT_EQ(Item(), c.before);
        Press(kKeyUp);
        EXPECT_EQ(Item(), c.after);
        EnterAndAnswer(false);
        EXPECT_EQ(Rig_StoreBytes().at(c.offset), c.factory) << "dropped";
        BootIn(folder);
        OpenById(c.id);
        EXPECT_EQ(Item(), c.before);
        Press(kKeyUp);
        EnterAndAnswer(true);
        EXPECT_EQ(Rig_StoreBytes().at(c.offset), c.changed) << "saved";
        BootIn(folder);
        OpenById(c.id);
        EXPECT_EQ(Item(), c.after) << "kept over a restart";
        Post(kEventHome);
    }
    // The process calibration of the optical sensor's calibration type page chooses the same mode.
    OpenById(0x1094);
    ASSERT_EQ(g_PageEdit.page, kParamPageO2ProcCalMode);
    EXPECT_EQ(Item(), "ProcCal = Scaling");
    Press(kKeyUp);
    EXPECT_EQ(Item(), "ProcCal = Calibration");
    Press(kKeyEnter);
    SaveAndLeave();
    EXPECT_EQ(Rig_StoreBytes().at(2200), 0);
    BootIn(folder);
    OpenById(0x1080);
    EXPECT_EQ(Item(), "ProcCal = Calibration");
}

namespace {
constexpr const char* kOpticalSensorFile = "OPT_SelvoQ11_0.txt";
constexpr uint8_t kOpticalSensorCode = 9;

// The optical sensor plugged on channel B, the current channel, and measuring.
void PlugOpticalSensor() {
    plug_test::Plug(kOpticalSensorFile, kOpticalSensorCode);
    for (int i = 0; i < 60; ++i) {
        Rig_AdvanceMs(1000);
        if (Vdx_GetPlugState() == kPlugIdle && g_SensorKindActive[1] == kKindO2Optical) break;
    }
    ASSERT_EQ(g_SensorKindActive[1], kKindO2Optical);
    Rig_AdvanceMs(8000);
}
}  // namespace

TEST(ParamPage, SensorPagesKeptOverARestartWithTheOpticalSensor) {
    plug_test::BootOnChannelB();
    std::string folder = std::filesystem::path(Rig_StorePath()).parent_path().string() + "/";
    PlugOpticalSensor();
    // The sensor monitoring, the process calibration mode (two pages), the process stress and the
    // process calibration pressure.
    for (uint32_t id : {0x600000u, 0x1080u, 0x600005u, 0x1094u, 0x1095u}) {
        Shown shown{};
        uint32_t sampling = SensCmd_GetParamRounded(1);
        ASSERT_TRUE(ChangeAndSave(id, &shown));
        SCOPED_TRACE(shown.page);
        // The sensor's sampling interval is a setting of its own.
        EXPECT_EQ(SensCmd_GetParamRounded(1), sampling);
        Rig_Reset(folder);
        Rig_Boot();
        Rig_AdvanceMs(20);
        PlugOpticalSensor();
        ExpectShownAgain(id, shown);
    }
    // Saved without leaving ("Yes & $"), the process stress is kept at once, and the sensor's
    // sampling interval stays.
    uint32_t sampling = SensCmd_GetParamRounded(1);
    OpenById(0x600005);
    Press(kKeyUp);
    int8_t stress = g_PageEdit.values[3];
    Press(kKeyEnter);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    Press(kKeyUp);
    ASSERT_EQ(Row(11), "Save Changes Yes & $");
    Press(kKeyEnter);
    Rig_AdvanceMs(500);
    EXPECT_EQ(Rig_StoreBytes().at(2202), stress - 1);
    EXPECT_EQ(SensCmd_GetParamRounded(1), sampling);
}
