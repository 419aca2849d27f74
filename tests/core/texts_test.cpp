// Display texts of every language: tables, lookup, copy, and glyphs for every character.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/lcd.h"
#include "core/lcd_fonts.h"
#include "core/lcd_glyphs.h"
#include "core/texts.h"
#include "rig.h"

namespace {
std::string Copy(uint32_t group, uint32_t index, uint32_t language) {
    char buffer[kTextMaxChars + 1];
    std::memset(buffer, 'Z', sizeof buffer);
    uint32_t n = Text_CopyItem(Text_GetOffset(group, index, language), buffer);
    EXPECT_EQ(n, std::strlen(buffer));
    return buffer;
}
}  // namespace

TEST(Texts, GroupsAndItemNumbers) {
    uint32_t total = 0;
    for (uint32_t g = 0; g < kTextGroups; ++g) total += g_TextGroupSizes[g];
    EXPECT_EQ(total, kTextItems);
    EXPECT_EQ(Text_GroupFirstItem(3, 0), 3u);
    EXPECT_EQ(Text_GroupFirstItem(0, 1), 4u);
    EXPECT_EQ(Text_GroupFirstItem(0, 2), 6u);
    EXPECT_EQ(Text_GroupFirstItem(25, 90), 729u);
    // English at the group boundaries.
    EXPECT_EQ(Copy(0, 0, 0), "Sensor");
    EXPECT_EQ(Copy(0, 3, 0), "Unlock");
    EXPECT_EQ(Copy(1, 0, 0), "Yes");
    EXPECT_EQ(Copy(4, 3, 0), "Calibration Successful");
    EXPECT_EQ(Copy(6, 4, 0), "^-cm");
    EXPECT_EQ(Copy(21, 10, 0), "(      )");
    EXPECT_EQ(Copy(53, 1, 0), "kPa ");
    EXPECT_EQ(Copy(90, 25, 0), "Tboard =");
    EXPECT_EQ(Copy(37, 5, 0), " ");
    // Outside the tables: an empty text, never a read past them.
    EXPECT_EQ(Copy(91, 0, 0), "");
    EXPECT_EQ(Copy(0, 4, 0), "");
    EXPECT_EQ(Copy(0, 0, 8), "");
}

TEST(Texts, CopyStopsAtTheBackslashOrAt24Characters) {
    // The 24-character English texts copy whole.
    EXPECT_EQ(Copy(79, 0, 0), "Change ChB to new Sensor");
    uint32_t last = g_TextOffsets[kLanguages * kTextItems - 1];
    EXPECT_LT(last, g_MenuTextBlobSize);
    EXPECT_EQ(static_cast<uint8_t>(g_MenuTextBlob[g_MenuTextBlobSize - 1]), '\\');
    // A run longer than a display row is cut at 24 characters; a run without a backslash ends
    // where its bytes do.
    char buffer[kTextMaxChars + 1 + 8];
    std::memset(buffer, 'Z', sizeof buffer);
    const char longRun[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789\\";
    EXPECT_EQ(Text_CopyRun(longRun, sizeof longRun - 1, buffer), kTextMaxChars);
    EXPECT_STREQ(buffer, "ABCDEFGHIJKLMNOPQRSTUVWX");
    EXPECT_EQ(buffer[kTextMaxChars + 1], 'Z');
    EXPECT_EQ(Text_CopyRun("ABC\\DEF", 7, buffer), 3u);
    EXPECT_STREQ(buffer, "ABC");
    EXPECT_EQ(Text_CopyRun("ABCDEF", 4, buffer), 4u);
    EXPECT_STREQ(buffer, "ABCD");
    // A text at the blob's very end stops there.
    EXPECT_EQ(Text_CopyItem(g_MenuTextBlobSize - 1, buffer), 0u);
    EXPECT_EQ(Text_CopyItem(g_MenuTextBlobSize, buffer), 0u);
}

TEST(Texts, EveryLanguageIsCompleteAndDrawsWithRealGlyphs) {
    static const uint8_t kBlank[6] = {};
    for (uint32_t language = 0; language < kLanguages; ++language) {
        for (uint32_t g = 0; g < kTextGroups; ++g) {
            for (uint32_t k = 0; k < g_TextGroupSizes[g]; ++k) {
                std::string english = Copy(g, k, 0);
                std::string text = Copy(g, k, language);
                ASSERT_LE(text.size(), kTextMaxChars);
                if (!english.empty()) {
                    ASSERT_FALSE(text.empty()) << "language " << language << " text " << g << "." << k;
                }
                for (char ch : text) {
                    uint8_t code = static_cast<uint8_t>(ch);
                    if (code == ' ') continue;
                    ASSERT_NE(std::memcmp(Lcd_GlyphOf(code), kBlank, 6), 0)
                        << "language " << language << " text " << g << "." << k << " code " << int(code);
                }
            }
        }
    }
}

TEST(Texts, DrawnTextsReadBackInEveryLanguage) {
    // Language names, each in its own language's file, as the display shows them.
    for (uint32_t language = 0; language < kLanguages; ++language) {
        for (uint32_t g : {4u, 38u, 57u, 90u}) {
            for (uint32_t k = 0; k < g_TextGroupSizes[g]; ++k) {
                Lcd_ClearAll();
                uint32_t n = Lcd_DrawMessage(12, 0, g, k, language);
                std::string read = Rig_RowText(12);
                EXPECT_EQ(read.find("\uFFFD"), std::string::npos) << language << " " << g << "." << k << ": " << read;
                EXPECT_LE(n, kTextMaxChars);
            }
        }
    }
    Lcd_ClearAll();
    Lcd_DrawMessage(12, 0, 31, 1, 0);
    EXPECT_EQ(Rig_RowText(12), "Lin 25°C");
    Lcd_DrawMessage(11, 0, 6, 4, 0);
    EXPECT_EQ(Rig_RowText(11), "Ω-cm");
}

// The names of the English source's name column address the texts they stand beside, in the
// display language, and a list's name its first entry.
TEST(Texts, NamedTextsAreTheTextsTheyName) {
    g_Language = 0;
    char buffer[kTextMaxChars + 1];
    EXPECT_EQ(Text_Copy(kTextPleaseWait, buffer), 14u);
    EXPECT_STREQ(buffer, "Please wait...");
    Text_Copy(kTextCalibrationSuccessful, buffer);
    EXPECT_STREQ(buffer, "Calibration Successful");
    Text_Copy(Text_Nth(kTextChannelLetters, 1), buffer);
    EXPECT_STREQ(buffer, "B");
    Text_Copy(Text_Nth(kTextPidModes, 1), buffer);
    EXPECT_STREQ(buffer, "Manual");
    g_Language = 2;
    Text_Copy(kTextPleaseWait, buffer);
    EXPECT_EQ(std::string(buffer), Copy(kTextPleaseWait.group, kTextPleaseWait.index, 2));
    EXPECT_NE(std::string(buffer), "Please wait...");
    g_Language = 0;
}
