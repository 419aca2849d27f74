// Host tool: turns the UTF-8 display texts of the eight languages into the text blob of the
// firmware (display character codes, each text ended by a backslash), its offset table and the
// text group sizes; writes the names of the texts the firmware addresses by name; and writes the
// display-code-to-UTF-8 names that tests use to read the screen.
//
// Usage: textgen charmap.txt lcd_texts.cpp lcd_code_names.cpp lcd_text_names.h en.txt fr.txt
//        de.txt it.txt es.txt pt.txt ru.txt ja.txt
//
// Language files: lines "GROUP.INDEX<TAB>text" and "# ..." comments. English fixes the keys;
// every language has the same keys in the same order. An English line may carry a third column,
// "<TAB>Name": the firmware then addresses that text (or the list of texts it begins) as kTextName,
// a TextRef of its group and index. A named text that is the label of a menu line with a value
// drawn after it carries a fourth column, "<TAB>value C0 C1 ... C7": the pixel column of the value
// in each of the eight languages, emitted as kTextNameValueColumn[8]; in every language the label
// must end at least one cell before its value's column. Faults are reported as file:line and the
// tool exits with 1 without writing anything.

#include <cctype>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kLanguages = 8;
constexpr int kTexts = 730;
constexpr int kGroups = 91;
constexpr size_t kMaxCells = 24;         // one display row
constexpr char kTextEnd = '\\';          // ends every text in the blob
constexpr uint32_t kMaxOffset = 0xFFFF;  // offsets are 16-bit
constexpr int kCellPixels = 6;           // a character cell of the menu font
constexpr int kRowPixels = 138;          // a menu line ends where the leave marker stands

int g_Errors = 0;

void Error(const std::string& file, int line, const std::string& message) {
    std::cerr << file << ':' << line << ": error: " << message << '\n';
    ++g_Errors;
}

// Codes 1-31, 197-217, 238-242, 247 and 248 draw symbols of font D, never letters.
bool IsFontDCode(int code) {
    return (code >= 1 && code <= 31) || (code >= 197 && code <= 217) || (code >= 238 && code <= 242) || code == 247 ||
           code == 248;
}

// Decodes one UTF-8 code point at text[i]; advances i. Returns -1 on malformed input.
long DecodeUtf8(const std::string& text, size_t& i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
    if (length == 0 || i + length > text.size()) {
        ++i;
        return -1;
    }
    long value = length == 1 ? c : length == 2 ? (c & 0x1F) : length == 3 ? (c & 0x0F) : (c & 0x07);
    for (size_t k = 1; k < length; ++k) {
        unsigned char next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        value = (value << 6) | (next & 0x3F);
    }
    i += length;
    return value;
}

std::string EncodeUtf8(long cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

std::string Hex(long value, int digits) {
    char text[32];
    std::snprintf(text, sizeof text, "%0*lX", digits, value);
    return text;
}

// The display has no glyphs for voiced and semi-voiced katakana: ガ is stored as カ followed by
// the voicing mark ゛, パ as ハ followed by ゜. Each of them therefore takes two cells.
struct VoicedKana {
    const char* voiced;
    const char* bases;
    const char* mark;
};
const VoicedKana kVoicedKana[] = {
    {"ガギグゲゴザジズゼゾダヂヅデドバビブベボヴヷヺ", "カキクケコサシスセソタチツテトハヒフヘホウワヲ", "゛"},
    {"パピプペポ", "ハヒフヘホ", "゜"},
};

struct CharMap {
    std::map<long, uint8_t> codeOf;   // character -> display code, for texts
    std::map<long, long> voicedBase;  // voiced kana -> base kana
    std::map<long, long> voicedMark;  // voiced kana -> mark character
    std::string nameOf[256];          // display code -> UTF-8 text of its glyph
};

std::vector<long> CodePoints(const char* text) {
    std::vector<long> points;
    std::string s(text);
    for (size_t i = 0; i < s.size();) points.push_back(DecodeUtf8(s, i));
    return points;
}

// Calls each(line number, line) for every line of a source file that is not empty or a comment,
// without its line end and byte-order mark; false when the file cannot be opened.
template <typename Each>
bool ForEachSourceLine(const std::string& path, Each each) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Error(path, 0, "cannot open the file");
        return false;
    }
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (number == 1 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);  // byte-order mark
        if (line.empty() || line[0] == '#') continue;
        each(number, line);
    }
    return true;
}

bool ReadCharMap(const std::string& path, CharMap& map) {
    for (int c = 32; c < 127; ++c) map.nameOf[c] = std::string(1, static_cast<char>(c));
    std::map<int, int> letterLine;  // code >= 128 -> line that gave it a letter
    std::map<int, int> nameLine;    // code -> line of its "name" entry
    bool opened = ForEachSourceLine(path, [&](int number, const std::string& line) {
        std::vector<std::string> fields;
        std::istringstream split(line);
        std::string field;
        while (std::getline(split, field, '\t')) fields.push_back(field);
        if (fields.size() < 2) {
            Error(path, number, "expected \"character<TAB>0xHH\"");
            return;
        }
        size_t i = 0;
        long cp = DecodeUtf8(fields[0], i);
        if (cp < 0x80 || i != fields[0].size()) {
            Error(path, number, "the first field must be one non-ASCII character");
            return;
        }
        char* end = nullptr;
        long code = fields[1].compare(0, 2, "0x") == 0 ? std::strtol(fields[1].c_str() + 2, &end, 16) : -1;
        if (end == nullptr || *end != '\0' || code < 1 || code > 255) {
            Error(path, number, "the code must be written 0xHH, from 0x01 to 0xFF");
            return;
        }
        bool nameOnly = fields.size() >= 3 && fields[2].compare(0, 4, "name") == 0;
        if (fields.size() >= 3 && !nameOnly) {
            Error(path, number, "a third field, if any, begins with \"name\"");
            return;
        }
        if (nameOnly) {
            if (nameLine.count(static_cast<int>(code))) {
                Error(path, number,
                      "code 0x" + Hex(code, 2) + " is already named at line " +
                          std::to_string(nameLine[static_cast<int>(code)]));
                return;
            }
            nameLine[static_cast<int>(code)] = number;
            map.nameOf[code] = fields[0];
            return;
        }
        if (map.codeOf.count(cp)) {
            Error(path, number, "character " + fields[0] + " is listed twice");
            return;
        }
        if (IsFontDCode(static_cast<int>(code))) {
            Error(path, number, "code 0x" + Hex(code, 2) + " draws a font D symbol, not a letter");
            return;
        }
        if (code < 128) {
            // Cyrillic capitals that look like Latin ones use the Latin glyphs.
            bool latinCapital = code >= 'A' && code <= 'Z';
            if (!latinCapital) Error(path, number, "a character below 0x80 may only map to a Latin capital");
        } else {
            if (letterLine.count(static_cast<int>(code))) {
                Error(path, number,
                      "code 0x" + Hex(code, 2) + " already holds the letter of line " +
                          std::to_string(letterLine[static_cast<int>(code)]));
                return;
            }
            letterLine[static_cast<int>(code)] = number;
            map.nameOf[code] = fields[0];
        }
        map.codeOf[cp] = static_cast<uint8_t>(code);
    });
    if (!opened) return false;
    // The display's letter codes are all taken: 100 letters, every code from 128 that font D
    // does not use.
    for (int code = 128; code < 256; ++code) {
        if (!IsFontDCode(code) && !letterLine.count(code)) {
            Error(path, 0, "code 0x" + Hex(code, 2) + " has no letter");
        }
        if (IsFontDCode(code) && !nameLine.count(code)) {
            Error(path, 0, "font D code 0x" + Hex(code, 2) + " has no name for test output");
        }
    }
    for (int code = 1; code < 32; ++code) {
        if (!nameLine.count(code)) Error(path, 0, "font D code 0x" + Hex(code, 2) + " has no name for test output");
    }
    for (const VoicedKana& rule : kVoicedKana) {
        std::vector<long> voiced = CodePoints(rule.voiced), bases = CodePoints(rule.bases);
        long mark = CodePoints(rule.mark)[0];
        if (!map.codeOf.count(mark)) Error(path, 0, std::string("the voicing mark ") + rule.mark + " has no code");
        for (size_t k = 0; k < voiced.size(); ++k) {
            if (!map.codeOf.count(bases[k])) {
                Error(path, 0,
                      "katakana " + EncodeUtf8(bases[k]) + " has no code (needed for " + EncodeUtf8(voiced[k]) + ")");
            }
            map.voicedBase[voiced[k]] = bases[k];
            map.voicedMark[voiced[k]] = mark;
        }
    }
    return true;
}

struct TextLine {
    int line;
    std::string key;
    std::string text;               // UTF-8, as written
    std::string name;               // the optional name column, "" when none
    std::vector<int> valueColumns;  // the optional value column by language, empty when none
    std::string codes;              // display codes
};

bool IsName(const std::string& name) {
    if (name.empty() || !std::isalpha(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name) {
        if (!std::isalnum(static_cast<unsigned char>(c))) return false;
    }
    return true;
}

// "value C0 ... C7": the pixel column of a label's value in each language.
bool ReadValueColumns(const std::string& field, std::vector<int>& columns) {
    std::istringstream words(field);
    std::string word;
    if (!(words >> word) || word != "value") return false;
    while (words >> word) {
        char* end = nullptr;
        long column = std::strtol(word.c_str(), &end, 10);
        if (end == word.c_str() || *end != '\0' || column < 0 || column >= kRowPixels) return false;
        columns.push_back(static_cast<int>(column));
    }
    return columns.size() == static_cast<size_t>(kLanguages);
}

// names: whether the file may carry the name column (English only).
bool ReadLanguage(const std::string& path, bool names, std::vector<TextLine>& texts) {
    return ForEachSourceLine(path, [&](int number, const std::string& line) {
        size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            Error(path, number, "expected \"GROUP.INDEX<TAB>text\"");
            return;
        }
        std::string text = line.substr(tab + 1);
        std::string name;
        std::vector<int> columns;
        size_t nameTab = text.find('\t');
        if (nameTab != std::string::npos) {
            name = text.substr(nameTab + 1);
            text.erase(nameTab);
            size_t valueTab = name.find('\t');
            if (valueTab != std::string::npos) {
                std::string value = name.substr(valueTab + 1);
                name.erase(valueTab);
                if (!ReadValueColumns(value, columns)) {
                    Error(path, number,
                          "the fourth column must be \"value\" and eight pixel columns below " +
                              std::to_string(kRowPixels) + ", one per language");
                }
            }
            if (!names) {
                Error(path, number, "text names belong in the English source only");
            } else if (!IsName(name)) {
                Error(path, number, "the name \"" + name + "\" is not a letter followed by letters and digits");
            }
        }
        texts.push_back({number, line.substr(0, tab), text, name, columns, std::string()});
    });
}

// Converts a text to display codes; reports every character the display cannot draw.
void ConvertText(const std::string& path, TextLine& text, const CharMap& map) {
    const std::string& s = text.text;
    for (size_t i = 0; i < s.size();) {
        size_t start = i;
        long cp = DecodeUtf8(s, i);
        std::string shown = s.substr(start, i - start);
        if (cp < 0) {
            Error(path, text.line, "malformed UTF-8 in the text of " + text.key);
        } else if (cp == kTextEnd) {
            Error(path, text.line, "the backslash ends a text in the display's text table and cannot be used");
        } else if (cp < 0x80) {
            if (cp < 32 || cp == 127) {
                Error(path, text.line, "control character U+" + Hex(cp, 4) + " in the text of " + text.key);
            } else {
                text.codes += static_cast<char>(cp);
            }
        } else if (map.codeOf.count(cp)) {
            text.codes += static_cast<char>(map.codeOf.at(cp));
        } else if (map.voicedBase.count(cp) && map.codeOf.count(map.voicedBase.at(cp)) &&
                   map.codeOf.count(map.voicedMark.at(cp))) {
            text.codes += static_cast<char>(map.codeOf.at(map.voicedBase.at(cp)));
            text.codes += static_cast<char>(map.codeOf.at(map.voicedMark.at(cp)));
        } else {
            Error(path, text.line,
                  "character " + shown + " (U+" + Hex(cp, 4) + ") is not in the display's character set");
        }
    }
    if (text.codes.size() > kMaxCells) {
        Error(path, text.line,
              "text of " + text.key + " takes " + std::to_string(text.codes.size()) + " cells, a display row has 24");
    }
}

// A C++ string-literal body for display codes: printable ASCII as it is, the rest as 3-digit
// octal escapes (which, unlike \x, cannot swallow a following digit).
std::string Literal(const std::string& bytes) {
    std::string out;
    for (char ch : bytes) {
        unsigned char c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\' || c == '?') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c >= 32 && c < 127) {
            out += static_cast<char>(c);
        } else {
            char octal[8];
            std::snprintf(octal, sizeof octal, "\\%03o", c);
            out += octal;
        }
    }
    return out;
}

// Keeps a UTF-8 text safe inside a /* */ comment.
std::string CommentText(const std::string& text) {
    std::string safe;
    for (char c : text) {
        if ((c == '/' && !safe.empty() && safe.back() == '*') || (c == '*' && !safe.empty() && safe.back() == '/')) {
            safe += ' ';
        }
        safe += c;
    }
    return safe;
}

bool WriteFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary);
    file << content;
    if (!file.flush()) {
        std::cerr << path << ":0: error: cannot write the output\n";
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    constexpr int kFirstLanguageArgument = 5;
    if (argc != kFirstLanguageArgument + kLanguages) {
        std::cerr << "usage: textgen charmap.txt lcd_texts.cpp lcd_code_names.cpp lcd_text_names.h "
                     "en.txt fr.txt de.txt it.txt es.txt pt.txt ru.txt ja.txt\n";
        return 2;
    }
    const std::string mapPath = argv[1], textsPath = argv[2], namesPath = argv[3], textNamesPath = argv[4];
    CharMap map;
    ReadCharMap(mapPath, map);

    // English fixes the keys and the group sizes: groups 0..90, indexes 0..n-1 in order.
    std::vector<std::vector<TextLine>> languages(kLanguages);
    std::vector<std::string> paths(kLanguages);
    for (int l = 0; l < kLanguages; ++l) {
        paths[l] = argv[kFirstLanguageArgument + l];
        ReadLanguage(paths[l], l == 0, languages[l]);
    }
    const std::vector<TextLine>& english = languages[0];
    std::vector<int> groupSizes;
    std::ostringstream textNames;
    std::map<std::string, int> nameLine;
    for (const TextLine& text : english) {
        int group = -1, index = -1;
        char tail = 0;
        if (std::sscanf(text.key.c_str(), "%d.%d%c", &group, &index, &tail) != 2 || group < 0 || index < 0) {
            Error(paths[0], text.line, "key \"" + text.key + "\" is not GROUP.INDEX");
            continue;
        }
        if (!text.name.empty()) {
            if (nameLine.count(text.name)) {
                Error(paths[0], text.line,
                      "the name " + text.name + " is already given at line " + std::to_string(nameLine[text.name]));
            }
            nameLine[text.name] = text.line;
            textNames << "constexpr TextRef kText" << text.name << "{" << group << ", " << index << "};  // \""
                      << text.text << "\"\n";
            if (!text.valueColumns.empty()) {
                textNames << "// The pixel column of the value drawn after kText" << text.name << ", by language.\n"
                          << "constexpr uint8_t kText" << text.name << "ValueColumn[8] = {";
                for (size_t l = 0; l < text.valueColumns.size(); ++l) {
                    textNames << (l > 0 ? ", " : "") << text.valueColumns[l];
                }
                textNames << "};\n";
            }
        } else if (!text.valueColumns.empty()) {
            Error(paths[0], text.line, "a text with value columns needs a name");
        }
        if (group == static_cast<int>(groupSizes.size()) && index == 0) {
            groupSizes.push_back(1);
        } else if (!groupSizes.empty() && group == static_cast<int>(groupSizes.size()) - 1 &&
                   index == groupSizes.back()) {
            ++groupSizes.back();
        } else {
            Error(paths[0], text.line, "key " + text.key + " is out of sequence (groups from 0, indexes from 0)");
        }
    }
    if (english.size() != kTexts) {
        Error(paths[0], 0, "has " + std::to_string(english.size()) + " texts; the display has 730");
    }
    if (groupSizes.size() != kGroups) {
        Error(paths[0], 0, "has " + std::to_string(groupSizes.size()) + " groups; the display has 91");
    }
    for (size_t g = 0; g < groupSizes.size(); ++g) {
        if (groupSizes[g] > 255) Error(paths[0], 0, "group " + std::to_string(g) + " has more than 255 texts");
    }

    for (int l = 0; l < kLanguages; ++l) {
        std::vector<TextLine>& texts = languages[l];
        if (l > 0) {
            for (size_t i = 0; i < texts.size() && i < english.size(); ++i) {
                if (texts[i].key != english[i].key) {
                    Error(paths[l], texts[i].line,
                          "key " + texts[i].key + " where English has " + english[i].key + " (same keys, same order)");
                    break;
                }
            }
            if (texts.size() != english.size()) {
                Error(paths[l], 0,
                      "has " + std::to_string(texts.size()) + " texts, English has " + std::to_string(english.size()));
            }
        }
        for (size_t i = 0; i < texts.size(); ++i) {
            ConvertText(paths[l], texts[i], map);
            if (l > 0 && i < english.size() && texts[i].text.empty() && !english[i].text.empty()) {
                Error(paths[l], texts[i].line, "text of " + texts[i].key + " is empty, English is not");
            }
        }
    }
    // A label must leave its value's column free in every language: a label that reaches into it
    // is overwritten by the value and the line reads as the value alone.
    for (size_t i = 0; i < english.size(); ++i) {
        const std::vector<int>& columns = english[i].valueColumns;
        if (columns.empty()) continue;
        for (int l = 0; l < kLanguages; ++l) {
            if (i >= languages[l].size()) continue;
            const TextLine& label = languages[l][i];
            size_t cells = label.codes.size();
            size_t valueCell = static_cast<size_t>(columns[l] / kCellPixels);
            if (cells + 1 > valueCell) {
                Error(paths[l], label.line,
                      "the label of " + label.key + " takes " + std::to_string(cells) +
                          " cells and reaches into its value at pixel column " + std::to_string(columns[l]) +
                          "; at most " + std::to_string(valueCell > 0 ? valueCell - 1 : 0) + " cells fit before it");
            }
        }
    }
    if (g_Errors > 0) {
        std::cerr << "textgen: " << g_Errors << " error(s); nothing written\n";
        return 1;
    }

    // Blob, offsets and group sizes.
    std::ostringstream blob;
    std::vector<uint32_t> offsets;
    uint32_t size = 0;
    static const char* const kNames[kLanguages] = {"en", "fr", "de", "it", "es", "pt", "ru", "ja"};
    for (int l = 0; l < kLanguages; ++l) {
        for (const TextLine& text : languages[l]) {
            if (size > kMaxOffset) {
                Error(paths[l], text.line,
                      "text of " + text.key + " would start at blob offset " + std::to_string(size) +
                          "; text offsets are 16-bit (65535 at most)");
            }
            offsets.push_back(size);
            blob << "    \"" << Literal(text.codes + kTextEnd) << "\" /* " << kNames[l] << ' ' << text.key << ' '
                 << CommentText(text.text) << " */\n";
            size += static_cast<uint32_t>(text.codes.size()) + 1;
        }
    }
    if (g_Errors > 0) {
        std::cerr << "textgen: the eight languages need " << size << " bytes; nothing written\n";
        return 1;
    }

    std::ostringstream out;
    out << "// Display texts, generated by textgen from firmware/core/texts/*.txt: edit the sources, not this file.\n"
           "// Texts are in display character codes, each ended by a backslash; text i of language l\n"
           "// starts at g_TextOffsets[l * 730 + i].\n\n"
           "#include <cstdint>\n\n"
           "extern const char g_MenuTextBlob[];\n"
           "extern const uint32_t g_MenuTextBlobSize;\n"
           "extern const uint16_t g_TextOffsets[8 * 730];\n"
           "extern const uint8_t g_TextGroupSizes[91];\n\n"
           "const char g_MenuTextBlob[] =\n"
        << blob.str() << "    ;\n\n"
        << "const uint32_t g_MenuTextBlobSize = " << size << ";\n\n"
        << "const uint16_t g_TextOffsets[8 * 730] = {";
    for (size_t i = 0; i < offsets.size(); ++i) {
        if (i % kTexts == 0) out << "\n    /* " << kNames[i / kTexts] << " */";
        out << (i % 12 == 0 ? "\n    " : " ") << offsets[i] << ',';
    }
    out << "\n};\n\n"
        << "const uint8_t g_TextGroupSizes[91] = {";
    for (size_t g = 0; g < groupSizes.size(); ++g) out << (g % 16 == 0 ? "\n    " : " ") << groupSizes[g] << ',';
    out << "\n};\n";

    std::ostringstream names;
    names << "// Display code -> UTF-8 text of its glyph (empty: no glyph), for tests that read the display.\n"
             "// Generated by textgen from firmware/core/texts/charmap.txt: edit the sources, not this file.\n\n"
             "#include <cstdint>\n\n"
             "extern const char* const g_LcdCodeUtf8[256];\n"
             "const char* const g_LcdCodeUtf8[256] = {\n";
    for (int code = 0; code < 256; ++code) {
        names << "    \"" << Literal(map.nameOf[code]) << "\", /* 0x" << Hex(code, 2);
        if (code >= 128 || code < 32 || map.nameOf[code] != std::string(1, static_cast<char>(code))) {
            names << ' ' << CommentText(map.nameOf[code]);
        }
        names << " */\n";
    }
    names << "};\n";

    std::ostringstream textNamesHeader;
    textNamesHeader
        << "// Names of the display texts the firmware addresses, generated by textgen from the name column of\n"
           "// firmware/core/texts/en.txt: edit the source, not this file. Included by core/texts.h.\n"
           "#pragma once\n\n"
        << textNames.str();

    if (!WriteFile(textsPath, out.str()) || !WriteFile(namesPath, names.str()) ||
        !WriteFile(textNamesPath, textNamesHeader.str())) {
        return 1;
    }
    std::cout << "textgen: " << size << " bytes of text in 8 languages\n";
    return 0;
}
