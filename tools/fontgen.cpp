// Host tool: reads the reviewable glyph sources of the display fonts, checks them and writes the
// font tables of the firmware as one C++ source.
//
// Usage: fontgen font_a.txt font_b.txt font_c.txt font_d.txt font_big.txt OUTPUT.cpp
//
// Small fonts: per glyph a header "code DEC 0xHEX ..." and 8 rows of 6 pixels ('#' lit, '.' dark).
// Big font: per glyph a header "code DEC 0xHEX CHAR width N ..." and 32 rows of N pixels.
// Lines beginning with "//" and empty lines are ignored. Any fault is reported as file:line and
// the tool exits with 1 without writing the output.

#include <algorithm>
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

constexpr int kCellWidth = 6;
constexpr int kCellRows = 8;
constexpr int kBigRows = 32;
constexpr int kBigFirstCode = 32;
constexpr int kBigCodes = 96;        // codes 32..127
constexpr int kBigLineColumns = 80;  // columns 24..103 of a big line

int g_Errors = 0;

void Error(const std::string& file, int line, const std::string& message) {
    std::cerr << file << ':' << line << ": error: " << message << '\n';
    ++g_Errors;
}

struct SourceLine {
    int number;
    std::string text;
};

bool ReadLines(const std::string& path, std::vector<SourceLine>& lines) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        Error(path, 0, "cannot open the file");
        return false;
    }
    std::string text;
    int number = 0;
    while (std::getline(in, text)) {
        ++number;
        if (!text.empty() && text.back() == '\r') text.pop_back();
        if (text.empty() || text.rfind("//", 0) == 0) continue;
        lines.push_back({number, text});
    }
    return true;
}

std::vector<std::string> SplitWords(const std::string& text) {
    std::vector<std::string> words;
    std::istringstream in(text);
    std::string word;
    while (in >> word) words.push_back(word);
    return words;
}

// Number of Unicode code points of a UTF-8 text; -1 when it is not well-formed UTF-8.
int CountCodePoints(const std::string& text) {
    int count = 0;
    for (size_t i = 0; i < text.size();) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return -1;
        for (size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return -1;
        }
        i += length;
        ++count;
    }
    return count;
}

bool IsSingleNonAscii(const std::string& text) {
    return CountCodePoints(text) == 1 && static_cast<unsigned char>(text[0]) >= 0x80;
}

// A glyph as read: its header fields and its pixel rows.
struct Glyph {
    int line = 0;  // header line
    int code = -1;
    std::vector<std::string> words;  // header words after "code DEC 0xHEX"
    std::vector<std::string> rows;
};

// Splits a source into glyphs; checks the header syntax and the row shapes. rowCount is the
// number of pixel rows a glyph has; width 0 means the width comes from "width N" in the header.
std::vector<Glyph> ParseGlyphs(const std::string& path, int rowCount, int fixedWidth) {
    std::vector<Glyph> glyphs;
    std::vector<SourceLine> lines;
    if (!ReadLines(path, lines)) return glyphs;

    size_t i = 0;
    while (i < lines.size()) {
        const SourceLine& header = lines[i];
        std::vector<std::string> words = SplitWords(header.text);
        if (words.size() < 3 || words[0] != "code") {
            Error(path, header.number, "expected a glyph header \"code DEC 0xHEX ...\", found \"" + header.text + "\"");
            ++i;
            continue;
        }
        Glyph glyph;
        glyph.line = header.number;
        char* end = nullptr;
        long decimal = std::strtol(words[1].c_str(), &end, 10);
        bool decimalOk = *end == '\0' && !words[1].empty();
        long hex = -1;
        bool hexOk = words[2].size() > 2 && words[2].compare(0, 2, "0x") == 0;
        if (hexOk) {
            hex = std::strtol(words[2].c_str() + 2, &end, 16);
            hexOk = *end == '\0';
        }
        if (!decimalOk || !hexOk) {
            Error(path, header.number, "the code must be written as a decimal number and as 0xHEX");
        } else if (decimal != hex) {
            Error(path, header.number, "decimal code " + words[1] + " and hexadecimal code " + words[2] + " differ");
        } else if (decimal < 0 || decimal > 255) {
            Error(path, header.number, "code " + words[1] + " is outside 0..255");
        } else {
            glyph.code = static_cast<int>(decimal);
        }
        glyph.words.assign(words.begin() + 3, words.end());

        int width = fixedWidth;
        if (fixedWidth == 0) {
            // Big font: "... CHAR width N".
            width = -1;
            if (glyph.words.size() >= 3 && glyph.words[1] == "width") {
                width = std::atoi(glyph.words[2].c_str());
                if (width < 1 || width > kBigLineColumns || std::to_string(width) != glyph.words[2]) {
                    Error(path, header.number, "width must be a number from 1 to 80");
                    width = -1;
                }
            } else {
                Error(path, header.number, "a big-font header reads \"code DEC 0xHEX CHAR width N\"");
            }
        }

        ++i;
        bool rowFault = false;  // one report a glyph is enough
        for (int r = 0; r < rowCount; ++r, ++i) {
            if (i >= lines.size() || lines[i].text.rfind("code", 0) == 0) {
                Error(path, i < lines.size() ? lines[i].number : header.number,
                      "glyph of line " + std::to_string(header.number) + " has " + std::to_string(r) +
                          " pixel rows, needs " + std::to_string(rowCount));
                break;
            }
            const std::string& row = lines[i].text;
            if (!rowFault && row.find_first_not_of("#.") != std::string::npos) {
                Error(path, lines[i].number, "a pixel row holds only '#' and '.'");
                rowFault = true;
            } else if (!rowFault && width > 0 && static_cast<int>(row.size()) != width) {
                Error(path, lines[i].number,
                      "pixel row is " + std::to_string(row.size()) + " wide, the glyph is " + std::to_string(width) +
                          " wide");
                rowFault = true;
            }
            glyph.rows.push_back(row);
        }
        if (static_cast<int>(glyph.rows.size()) == rowCount && glyph.code >= 0 && width > 0) glyphs.push_back(glyph);
    }
    return glyphs;
}

bool IsBlank(const Glyph& glyph) {
    for (const std::string& row : glyph.rows) {
        if (row.find('#') != std::string::npos) return false;
    }
    return true;
}

// The column byte of a small glyph: bit r = pixel of row r.
uint8_t ColumnByte(const Glyph& glyph, int column, int firstRow) {
    uint8_t byte = 0;
    for (int bit = 0; bit < 8; ++bit) {
        if (glyph.rows[firstRow + bit][column] == '#') byte |= static_cast<uint8_t>(1u << bit);
    }
    return byte;
}

// Letters and ASCII signs leave column 6 dark so that neighbouring cells do not touch.
void CheckSpacingColumn(const std::string& path, const Glyph& glyph) {
    for (const std::string& row : glyph.rows) {
        if (row[kCellWidth - 1] == '#') {
            Error(path, glyph.line, "code " + std::to_string(glyph.code) + ": column 6 must stay dark (spacing)");
            return;
        }
    }
}

// Places the glyphs of a 6-column font at index code - base; reports gaps and duplicates.
std::vector<const Glyph*> IndexGlyphs(const std::string& path, const std::vector<Glyph>& glyphs,
                                      const std::vector<int>& codes) {
    std::map<int, size_t> indexOfCode;
    for (size_t k = 0; k < codes.size(); ++k) indexOfCode[codes[k]] = k;
    std::vector<const Glyph*> table(codes.size(), nullptr);
    for (const Glyph& glyph : glyphs) {
        auto it = indexOfCode.find(glyph.code);
        if (it == indexOfCode.end()) {
            Error(path, glyph.line, "code " + std::to_string(glyph.code) + " does not belong to this font");
        } else if (table[it->second] != nullptr) {
            Error(path, glyph.line,
                  "code " + std::to_string(glyph.code) + " is defined twice (first at line " +
                      std::to_string(table[it->second]->line) + ")");
        } else {
            table[it->second] = &glyph;
        }
    }
    for (size_t k = 0; k < codes.size(); ++k) {
        if (table[k] == nullptr) Error(path, 0, "code " + std::to_string(codes[k]) + " has no glyph");
    }
    return table;
}

std::vector<int> CodeRange(int first, int last) {
    std::vector<int> codes;
    for (int c = first; c <= last; ++c) codes.push_back(c);
    return codes;
}

// Codes 1-31, 197-217, 238-242, 247 and 248, in glyph-index order.
std::vector<int> FontDCodes() {
    std::vector<int> codes = CodeRange(1, 31);
    for (int c = 197; c <= 217; ++c) codes.push_back(c);
    for (int c = 238; c <= 242; ++c) codes.push_back(c);
    codes.push_back(247);
    codes.push_back(248);
    return codes;
}

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFFu);
    return text;
}

// Comment text for a glyph; the words come from the source header, so "*/" is kept out.
std::string CommentText(const std::string& text) {
    std::string safe;
    for (char c : text) {
        if (c == '/' && !safe.empty() && safe.back() == '*') safe += ' ';
        if (c == '*' && !safe.empty() && safe.back() == '/') safe += ' ';
        safe += c;
    }
    return safe;
}

void WriteSmallFont(std::ostream& out, const char* name, const std::vector<const Glyph*>& table) {
    out << "extern const uint8_t " << name << '[' << table.size() << "][6];\n";
    out << "const uint8_t " << name << '[' << table.size() << "][6] = {\n";
    for (const Glyph* glyph : table) {
        out << "    {";
        for (int column = 0; column < kCellWidth; ++column) {
            out << (column ? ", " : "") << Hex2(ColumnByte(*glyph, column, 0));
        }
        std::string label;
        for (const std::string& word : glyph->words) label += (label.empty() ? "" : " ") + word;
        out << "}, /* " << glyph->code << ' ' << CommentText(label) << " */\n";
    }
    out << "};\n\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 7) {
        std::cerr << "usage: fontgen font_a.txt font_b.txt font_c.txt font_d.txt font_big.txt OUTPUT.cpp\n";
        return 2;
    }
    const std::string pathA = argv[1], pathB = argv[2], pathC = argv[3], pathD = argv[4], pathBig = argv[5];
    const std::string outputPath = argv[6];
    const std::vector<int> codesD = FontDCodes();
    const std::set<int> setD(codesD.begin(), codesD.end());

    // Font A: the printable ASCII set; the header names the character (or "space").
    std::vector<Glyph> glyphsA = ParseGlyphs(pathA, kCellRows, kCellWidth);
    std::vector<const Glyph*> fontA = IndexGlyphs(pathA, glyphsA, CodeRange(32, 126));
    for (const Glyph& glyph : glyphsA) {
        std::string expected = glyph.code == 32 ? "space" : std::string(1, static_cast<char>(glyph.code));
        if (glyph.words.empty() || glyph.words[0] != expected) {
            Error(pathA, glyph.line, "code " + std::to_string(glyph.code) + " must be labelled \"" + expected + "\"");
        }
        CheckSpacingColumn(pathA, glyph);
    }

    // Fonts C and B: one letter per code; B's slots under font D codes stay blank ("unused").
    std::map<std::string, std::pair<std::string, int>> letterSeen;  // letter -> file, line
    auto checkLetters = [&](const std::string& path, const std::vector<Glyph>& glyphs) {
        for (const Glyph& glyph : glyphs) {
            bool shadowed = setD.count(glyph.code) != 0;
            std::string label = glyph.words.empty() ? "" : glyph.words[0];
            if (shadowed) {
                if (label != "unused" || !IsBlank(glyph)) {
                    Error(path, glyph.line,
                          "code " + std::to_string(glyph.code) +
                              " is drawn from font D: label it \"unused\" and leave it blank");
                }
                continue;
            }
            if (glyph.words.size() != 1 || !IsSingleNonAscii(label)) {
                Error(path, glyph.line,
                      "code " + std::to_string(glyph.code) + " must be labelled with its one non-ASCII letter");
                continue;
            }
            auto seen = letterSeen.find(label);
            if (seen != letterSeen.end()) {
                Error(path, glyph.line,
                      "letter " + label + " already has a glyph at " + seen->second.first + ':' +
                          std::to_string(seen->second.second));
            } else {
                letterSeen[label] = {path, glyph.line};
            }
            if (IsBlank(glyph)) Error(path, glyph.line, "letter " + label + " has an empty glyph");
            CheckSpacingColumn(path, glyph);
        }
    };
    std::vector<Glyph> glyphsC = ParseGlyphs(pathC, kCellRows, kCellWidth);
    std::vector<const Glyph*> fontC = IndexGlyphs(pathC, glyphsC, CodeRange(128, 191));
    checkLetters(pathC, glyphsC);
    std::vector<Glyph> glyphsB = ParseGlyphs(pathB, kCellRows, kCellWidth);
    std::vector<const Glyph*> fontB = IndexGlyphs(pathB, glyphsB, CodeRange(192, 255));
    checkLetters(pathB, glyphsB);

    // Font D: "code DEC 0xHEX index I SYMBOL name...".
    std::vector<Glyph> glyphsD = ParseGlyphs(pathD, kCellRows, kCellWidth);
    std::vector<const Glyph*> fontD = IndexGlyphs(pathD, glyphsD, codesD);
    std::map<std::string, int> symbolSeen;
    for (const Glyph& glyph : glyphsD) {
        const std::vector<std::string>& w = glyph.words;
        if (w.size() < 4 || w[0] != "index") {
            Error(pathD, glyph.line, "a font D header reads \"code DEC 0xHEX index I SYMBOL name\"");
            continue;
        }
        int index = -1;
        for (size_t k = 0; k < codesD.size(); ++k) {
            if (codesD[k] == glyph.code) index = static_cast<int>(k);
        }
        if (index >= 0 && w[1] != std::to_string(index)) {
            Error(pathD, glyph.line,
                  "code " + std::to_string(glyph.code) + " is glyph index " + std::to_string(index) + ", not " + w[1]);
        }
        if (!IsSingleNonAscii(w[2])) {
            Error(pathD, glyph.line, "the symbol standing for the glyph must be one non-ASCII character");
        } else if (symbolSeen.count(w[2])) {
            Error(pathD, glyph.line,
                  "symbol " + w[2] + " already stands for the glyph of line " + std::to_string(symbolSeen[w[2]]));
        } else {
            symbolSeen[w[2]] = glyph.line;
        }
        if (IsBlank(glyph)) Error(pathD, glyph.line, "symbol " + w[2] + " has an empty glyph");
    }

    // Big font.
    std::vector<Glyph> glyphsBig = ParseGlyphs(pathBig, kBigRows, 0);
    std::vector<const Glyph*> big(kBigCodes, nullptr);
    for (const Glyph& glyph : glyphsBig) {
        if (glyph.code < kBigFirstCode || glyph.code >= kBigFirstCode + kBigCodes) {
            Error(pathBig, glyph.line, "big-font codes run from 32 to 127");
            continue;
        }
        std::string expected = glyph.code == 32 ? "space" : std::string(1, static_cast<char>(glyph.code));
        if (glyph.words[0] != expected) {
            Error(pathBig, glyph.line, "code " + std::to_string(glyph.code) + " must be labelled \"" + expected + "\"");
        }
        const Glyph*& slot = big[glyph.code - kBigFirstCode];
        if (slot != nullptr) {
            Error(pathBig, glyph.line,
                  "code " + std::to_string(glyph.code) + " is defined twice (first at line " +
                      std::to_string(slot->line) + ")");
        } else {
            slot = &glyph;
        }
    }
    auto bigWidth = [&](char c) -> int {
        const Glyph* glyph = big[static_cast<unsigned char>(c) - kBigFirstCode];
        return glyph ? static_cast<int>(glyph->rows[0].size()) : 0;
    };
    // Every character the measurement screen draws big.
    const std::string required = "0123456789.-+ }_{";
    bool complete = true;
    for (char c : required) {
        if (bigWidth(c) == 0) {
            Error(pathBig, 0, std::string("the big font needs a glyph for \"") + c + "\"");
            complete = false;
        }
    }
    if (complete) {
        // A big line is 80 columns: the display test draws "88888.0"; a value is right-justified
        // to six characters with at most one point; placeholders are "}.}.}.}" and the like.
        auto textWidth = [&](const std::string& text) {
            int width = 0;
            for (char c : text) width += bigWidth(c);
            return width;
        };
        int widest = 0;
        for (char c : std::string("0123456789-+ ")) widest = std::max(widest, bigWidth(c));
        const int widestValue = std::max(6 * widest, 5 * widest + bigWidth('.'));
        const std::vector<std::pair<std::string, int>> checks = {
            {"88888.0", textWidth("88888.0")}, {"a six-character value", widestValue},
            {"}.}.}.}", textWidth("}.}.}.}")}, {"_._._._", textWidth("_._._._")},
            {"{.{.{.{", textWidth("{.{.{.{")},
        };
        for (const auto& check : checks) {
            if (check.second > kBigLineColumns) {
                Error(pathBig, 0,
                      check.first + " is " + std::to_string(check.second) +
                          " columns wide in the big font; a big line has 80");
            }
        }
    }

    if (g_Errors > 0) {
        std::cerr << "fontgen: " << g_Errors << " error(s); " << outputPath << " not written\n";
        return 1;
    }

    std::ostringstream out;
    out << "// Display fonts, generated by fontgen from firmware/core/fonts/*.txt: edit the sources, not this file.\n"
           "// Small fonts: 6 column bytes a glyph, bit 0 = top pixel.\n"
           "// Big font: per glyph its width in columns, then that many column bytes of pixel rows 0-7,\n"
           "// then rows 8-15, 16-23 and 24-31.\n\n"
           "#include <cstdint>\n\n";
    WriteSmallFont(out, "g_FontA", fontA);
    WriteSmallFont(out, "g_FontB", fontB);
    WriteSmallFont(out, "g_FontC", fontC);
    WriteSmallFont(out, "g_FontD", fontD);

    std::vector<uint8_t> data;
    std::vector<int> widths(kBigCodes, 0), offsets(kBigCodes, 0);
    for (int k = 0; k < kBigCodes; ++k) {
        const Glyph* glyph = big[k];
        if (glyph == nullptr) continue;
        widths[k] = static_cast<int>(glyph->rows[0].size());
        offsets[k] = static_cast<int>(data.size());
        for (int band = 0; band < kBigRows / 8; ++band) {
            for (int column = 0; column < widths[k]; ++column) data.push_back(ColumnByte(*glyph, column, band * 8));
        }
    }
    if (data.size() > 0xFFFF) {
        std::cerr << pathBig << ":0: error: big-font data is " << data.size() << " bytes; offsets are 16-bit\n";
        return 1;
    }
    auto writeTable = [&](const char* type, const char* name, const std::vector<int>& values) {
        out << "extern const " << type << ' ' << name << '[' << kBigCodes << "];\n";
        out << "const " << type << ' ' << name << '[' << kBigCodes << "] = {";
        for (int k = 0; k < kBigCodes; ++k) {
            out << (k % 16 == 0 ? "\n    " : " ") << values[k] << ',';
        }
        out << "\n};\n\n";
    };
    writeTable("uint8_t", "g_BigFontWidth", widths);
    writeTable("uint16_t", "g_BigFontOffset", offsets);
    out << "extern const uint8_t g_BigFontData[];\n";
    out << "const uint8_t g_BigFontData[" << data.size() << "] = {\n";
    for (int k = 0; k < kBigCodes; ++k) {
        if (widths[k] == 0) continue;
        const Glyph* glyph = big[k];
        out << "    /* " << glyph->code << ' ' << CommentText(glyph->words[0]) << " */";
        for (int i = 0; i < widths[k] * 4; ++i) {
            out << (i % 12 == 0 ? "\n    " : " ") << Hex2(data[offsets[k] + i]) << ',';
        }
        out << '\n';
    }
    out << "};\n";

    std::ofstream file(outputPath, std::ios::binary);
    file << out.str();
    if (!file.flush()) {
        std::cerr << outputPath << ":0: error: cannot write the output\n";
        return 1;
    }
    return 0;
}
