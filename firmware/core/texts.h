// Display texts: every menu and page text in eight languages, addressed by text group, index in
// the group and language, kept in one blob with a backslash after each text.
#pragma once
#include <cstdint>

constexpr uint32_t kTextGroups = 91;
constexpr uint32_t kTextItems = 730;
constexpr uint32_t kLanguages = 8;
constexpr uint32_t kTextMaxChars = 24;

// The tables made from the language sources at build time.
extern const char g_MenuTextBlob[];
extern const uint32_t g_MenuTextBlobSize;
extern const uint16_t g_TextOffsets[kLanguages * kTextItems];
extern const uint8_t g_TextGroupSizes[kTextGroups];

// A text the firmware names: its group and its index in the group. The names (kTextPleaseWait
// and so on) come from the name column of the English source.
struct TextRef {
    uint8_t group;
    uint8_t index;
};
#include "lcd_text_names.h"

// The text n places after first in its group: the entry n of a list of texts that first begins.
constexpr TextRef Text_Nth(TextRef first, uint32_t n) {
    return TextRef{first.group, static_cast<uint8_t>(first.index + n)};
}

// The display language: 0 English, 1 French, 2 German, 3 Italian, 4 Spanish, 5 Portuguese,
// 6 Russian, 7 Japanese.
extern uint8_t g_Language;
// English again.
void Text_ResetState();

// Item number of (group, index): the sizes of the groups before it, plus the index.
uint32_t Text_GroupFirstItem(uint32_t index, uint32_t group);
// Blob offset of a text; a group, index or language outside the tables gives the blob's end,
// which copies as an empty text.
uint32_t Text_GetOffset(uint32_t group, uint32_t index, uint32_t language);
uint8_t Text_GetChar(uint32_t offset);
// Copies up to the backslash or 24 characters and an ending zero (buffer of 25); returns the
// number of characters.
uint32_t Text_CopyItem(uint32_t offset, char* buffer);
// The same for a text of size bytes that need not end at a backslash: the copy stops at the
// backslash, at size or at 24 characters, whichever comes first.
uint32_t Text_CopyRun(const char* text, uint32_t size, char* buffer);
uint8_t Text_GetLanguage();
// Moves a text right within width characters, blanks in front; a text as long as width or longer
// stays.
void Text_RightJustify(char* text, uint32_t width);
// Copies a named text in the display language (buffer of 25); returns the number of characters.
uint32_t Text_Copy(TextRef text, char* buffer);
