// The selection screen in every language and every mode, as drawn: each question's title whole at
// the row's start, its answer whole after it with at least one blank cell between, the answer
// ending before the row's end (row 12: before the leave marker); and the prompts that stand on
// row 12 beside the leave marker end before it.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "core/lcd_glyphs.h"
#include "core/texts.h"
#include "measurement/channel.h"
#include "measurement/ph.h"
#include "ui/numedit.h"
#include "ui/select_screen.h"
#include "ui/value_page.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
// The leave marker's column on row 12.
constexpr uint32_t kMarkColumn = 138;

std::string Codes(TextRef text) {
    char buffer[kTextMaxChars + 1];
    uint32_t n = Text_Copy(text, buffer);
    return std::string(buffer, n);
}

// The text's glyphs stand whole in the frame at the row and column.
bool Drawn(uint32_t row, uint32_t column, const std::string& codes) {
    for (size_t i = 0; i < codes.size(); ++i) {
        uint32_t at = column + 6 * static_cast<uint32_t>(i);
        if (at + 6 > kLcdColumns) return false;
        if (std::memcmp(&g_LcdFrame[row][at], Lcd_GlyphOf(static_cast<uint8_t>(codes[i])), 6) != 0) return false;
    }
    return true;
}

// The shown phase of a blinking field.
void ShowBlinking() {
    if (g_BlinkField.active) Lcd_BlinkField(0);
}

// Where an answer of a list stands: the first cell from a column on where one of the list's texts
// stands whole (the longest there); the index -1 when none does.
struct Answer {
    int index;
    uint32_t column;
    uint32_t cells;
};

Answer FindAnswer(uint32_t row, uint32_t from, TextRef first, uint32_t count) {
    for (uint32_t column = from; column + 6 <= kLcdColumns; column += 6) {
        Answer best{-1, column, 0};
        for (uint32_t i = 0; i < count; ++i) {
            std::string codes = Codes(Text_Nth(first, i));
            if (!codes.empty() && codes.size() > best.cells && Drawn(row, column, codes)) {
                best = Answer{static_cast<int>(i), column, static_cast<uint32_t>(codes.size())};
            }
        }
        if (best.index >= 0) return best;
    }
    return Answer{-1, 0, 0};
}

// A question on a row: its title (none when has is false) whole at column 0, one answer of the
// list whole after it with a blank cell between, and the answer's end within the row. Returns the
// answer found (index -1 when none stands whole).
int ExpectQuestion(uint32_t row, bool has, TextRef title, TextRef first, uint32_t count, const std::string& where) {
    ShowBlinking();
    uint32_t titleEnd = 0;
    if (has) {
        std::string codes = Codes(title);
        titleEnd = 6 * static_cast<uint32_t>(codes.size());
        EXPECT_TRUE(Drawn(row, 0, codes)) << where << ": the title is overwritten: " << Row(row);
    }
    Answer answer = FindAnswer(row, titleEnd, first, count);
    EXPECT_GE(answer.index, 0) << where << ": no answer stands whole: " << Row(row);
    if (answer.index < 0) return -1;
    if (has) {
        EXPECT_GE(answer.column, titleEnd + 6) << where << ": no gap between title and answer: " << Row(row);
    }
    uint32_t limit = row == 12 ? kMarkColumn : kLcdTextColumns;
    EXPECT_LE(answer.column + 6 * answer.cells, limit) << where << ": the answer runs past the row: " << Row(row);
    return answer.index;
}

// A text at column 0 of row 12 ends before the leave marker, which stands untouched.
void ExpectPromptBesideMarker(TextRef prompt, const std::string& where) {
    ShowBlinking();
    std::string codes = Codes(prompt);
    EXPECT_TRUE(Drawn(12, 0, codes)) << where << ": " << Row(12);
    EXPECT_LE(6 * codes.size(), kMarkColumn) << where << ": " << Row(12);
    EXPECT_TRUE(Drawn(12, kMarkColumn, "$")) << where << ": the marker: " << Row(12);
}

std::string Where(uint32_t language, const std::string& what) {
    return "language " + std::to_string(language) + ", " + what;
}

// Mode 0 with a row-11 choice and a row-12 choice on a channel.
void ShowCalibrate(uint32_t channel, uint32_t item, uint32_t index) {
    g_MenuTreeView.entryFlag = 1;
    g_MenuTreeView.position = 0x100000 + channel * 0x1000 + item * 0x10;
    g_MenuTreeView.rememberedIndex = static_cast<uint8_t>(index);
    Screen_SelectShow(kSelectCalibrate, 0);
}
}  // namespace

TEST(SelectionScreenLayout, CalibrationChoicesStandWholeInEveryLanguage) {
    BootHome();
    Press(kKeyMenu);
    Post(0xc00001);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectCal);
    const uint32_t kListGroupSize[3] = {13, 11, 3};
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        // Every text of the three row-12 lists is met on some kind or channel.
        std::set<int> seen[3];
        for (uint32_t channel = 0; channel < 2; ++channel) {
            for (uint8_t kind = 0; kind <= kKindCo2; ++kind) {
                g_ChannelKind[channel] = kind;
                for (uint32_t item = 0; item < 4; ++item) {
                    for (uint32_t index = 0; index < 16; ++index) {
                        ShowCalibrate(channel, item, index);
                        if (g_MenuTreeView.index != index) break;
                        std::string where =
                            Where(language, "channel " + std::to_string(channel) + " kind " + std::to_string(kind) +
                                                " choice " + std::to_string(item) + "/" + std::to_string(index));
                        int row11 = ExpectQuestion(11, true, kTextCalibrateTitle, kTextSelectChoices, 4, where);
                        EXPECT_EQ(row11, static_cast<int>(item)) << where;
                        if (item == 3) {
                            // "Unlock" has no row 12: only the marker stands there.
                            EXPECT_TRUE(Drawn(12, kMarkColumn, "$")) << where;
                            break;
                        }
                        static const TextRef kLists[3] = {kTextMeasurementNames, kTextMeterInputs, kTextAnalogChoices};
                        // The analog choices carry no channel name in front of them.
                        int found = ExpectQuestion(12, item != 2, Text_Nth(kTextChannelNames, channel), kLists[item],
                                                   kListGroupSize[item], where);
                        seen[item].insert(found);
                        EXPECT_TRUE(Drawn(12, kMarkColumn, "$")) << where << ": the marker";
                    }
                }
            }
            g_ChannelKind[channel] = 1;
        }
        for (uint32_t list = 0; list < 3; ++list) {
            for (int i = 0; i < static_cast<int>(kListGroupSize[list]); ++i) {
                EXPECT_EQ(seen[list].count(i), 1u) << Where(language, "list " + std::to_string(list)) << " text " << i;
            }
        }
    }
    g_Language = 0;
}

TEST(SelectionScreenLayout, SaveQuestionsStandWholeInEveryLanguage) {
    BootHome();
    Press(kKeyMenu);
    Post(kActionAskSave);
    ASSERT_EQ(Menu_TopScreen(), kScreenSelectMode3);
    // The calibrations whose results mode 2 shows: pH, temperature, conductivity, resistivity,
    // oxygen, mV, ORP, the optical sensor and CO2.
    const uint32_t kResultPositions[9] = {0x100000, 0x100001, 0x100002, 0x100003, 0x100004,
                                          0x100007, 0x10000a, 0x10100b, 0x10000c};
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        // "Save Changes": "Yes & Exit", "Yes & $", "No & Exit".
        Screen_SelectShow(kSelectSaveChanges, 0);
        for (int answer = 0; answer < 3; ++answer) {
            std::string where = Where(language, "Save Changes, answer " + std::to_string(answer));
            EXPECT_EQ(ExpectQuestion(11, true, kTextSaveChanges, kTextSaveChangesChoices, 3, where), answer) << where;
            ExpectPromptBesideMarker(kTextPressEnterToExit, where);
            Screen_SelectKey(kEventUp);
        }
        // "Save Calibration": "Yes", "No".
        Screen_SelectShow(kSelectSaveCalibration, 0);
        for (int answer = 0; answer < 2; ++answer) {
            std::string where = Where(language, "Save Calibration, answer " + std::to_string(answer));
            EXPECT_EQ(ExpectQuestion(11, true, kTextSaveCalibration, kTextYesNo, 2, where), answer) << where;
            ExpectPromptBesideMarker(kTextPressEnterToExit, where);
            Screen_SelectKey(kEventUp);
        }
        // A finished calibration: its result on row 11, "Save" with "Adjust", "Calibrate", "Abort";
        // the slope and the offset in each of their units.
        for (uint32_t n = 0; n < 4 * 9; ++n) {
            uint32_t position = kResultPositions[n % 9], units = n / 9;
            uint32_t status = 0;
            CalPh_SetSlopeUnitFlag(0, units & 1, &status);
            CalPh_SetOffsetUnitFlag(0, units >> 1, &status);
            g_MenuPosition = position;
            Screen_SelectShow(kSelectCalResult, 0);
            for (int answer = 0; answer < 3; ++answer) {
                std::string where = Where(language, "result of " + std::to_string(position) + " in units " +
                                                        std::to_string(units) + ", answer " + std::to_string(answer));
                EXPECT_EQ(ExpectQuestion(12, true, kTextSaveTitle, kTextCalResultChoices, 3, where), answer) << where;
                EXPECT_TRUE(Drawn(12, kMarkColumn, "$")) << where << ": the marker";
                // The result's two labels stand whole.
                ShowBlinking();
                uint32_t labels = 0;
                for (uint32_t column = 0; column + 6 <= kLcdColumns; column += 6) {
                    for (uint32_t label : {0u, 1u, 4u, 5u, 9u, 10u}) {
                        if (Drawn(11, column, Codes(Text_Nth(kTextCalValueLabels, label)))) ++labels;
                    }
                }
                EXPECT_EQ(labels, 2u) << where << ": " << Row(11);
                EXPECT_EQ(Row(11).find("\uFFFD"), std::string::npos) << where << ": " << Row(11);
                Screen_SelectKey(kEventUp);
            }
        }
    }
    g_Language = 0;
}

TEST(SelectionScreenLayout, PromptsBesideTheLeaveMarkerEndBeforeIt) {
    BootHome();
    Press(kKeyMenu);
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        // The output calibration asks for ENTER when the output gives its current.
        NumEdit_OpenOutputCal(kNumFieldOut1At4mA, 1000.0f, 1);
        ExpectPromptBesideMarker(kTextPressEnterWhenDone, Where(language, "output calibration"));
        NumEdit_SetOutputOverride(0);
        // A refused value.
        ValuePage_ShowInvalid(0);
        ExpectPromptBesideMarker(kTextPressEnterToContinue, Where(language, "refused value"));
    }
    g_Language = 0;
}
