// Display-text lookup.
#include "core/texts.h"

#include <cstring>

uint8_t g_Language;

uint32_t Text_GroupFirstItem(uint32_t index, uint32_t group) {
    uint32_t item = 0;
    for (uint32_t g = 0; g < group && g < kTextGroups; ++g) item += g_TextGroupSizes[g];
    return item + index;
}

uint32_t Text_GetOffset(uint32_t group, uint32_t index, uint32_t language) {
    if (group >= kTextGroups || index >= g_TextGroupSizes[group] || language >= kLanguages) {
        return g_MenuTextBlobSize;
    }
    return g_TextOffsets[language * kTextItems + Text_GroupFirstItem(index, group)];
}

uint8_t Text_GetChar(uint32_t offset) {
    return offset < g_MenuTextBlobSize ? static_cast<uint8_t>(g_MenuTextBlob[offset]) : static_cast<uint8_t>('\\');
}

uint32_t Text_CopyRun(const char* text, uint32_t size, char* buffer) {
    uint32_t n = 0;
    while (n < kTextMaxChars && n < size && text[n] != '\\') {
        buffer[n] = text[n];
        ++n;
    }
    buffer[n] = '\0';
    return n;
}

uint32_t Text_CopyItem(uint32_t offset, char* buffer) {
    if (offset >= g_MenuTextBlobSize) {
        buffer[0] = '\0';
        return 0;
    }
    return Text_CopyRun(g_MenuTextBlob + offset, g_MenuTextBlobSize - offset, buffer);
}

uint8_t Text_GetLanguage() { return g_Language; }

uint32_t Text_Copy(TextRef text, char* buffer) {
    return Text_CopyItem(Text_GetOffset(text.group, text.index, g_Language), buffer);
}

void Text_ResetState() { g_Language = 0; }

void Text_RightJustify(char* text, uint32_t width) {
    uint32_t n = static_cast<uint32_t>(std::strlen(text));
    if (n >= width) return;
    uint32_t shift = width - n;
    std::memmove(text + shift, text, n + 1);
    std::memset(text, ' ', shift);
}
