// The calibration values page ("Calibration Data" under INFO) in every language, for every kind
// of sensor a channel is configured for, with the slope and the offset in either unit and values
// from ordinary to beyond their fields: each label whole, its value right behind it, a number (or
// the fill of a value beyond the field) that is the channel's, its unit whole after it, a blank
// cell before the next label, and the row's end within the display; the view of the ORP offset
// likewise, whatever the length of its word.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/param.h"
#include "core/texts.h"
#include "digital_sensor/sens_cmd.h"
#include "measurement/chan_sensor.h"
#include "measurement/ph.h"
#include "ui/vdx_page.h"
#include "ui_support.h"

using namespace ui_test;

namespace {
constexpr uint32_t kCells = kLcdTextColumns / 6;

// The codes stand whole at the row's cell.
bool Drawn(uint32_t row, uint32_t cell, const std::string& codes) { return GlyphsDrawn(row, 6 * cell, codes); }

std::string Join(const std::vector<std::string>& cells, size_t from, size_t to) {
    std::string text;
    for (size_t i = from; i < to && i < cells.size(); ++i) text += cells[i];
    return text;
}

// One value of a row: its label (display codes), the widest its field draws, the value the page
// reads, and the unit after it ("" none; "prefix" a scale prefix or a blank).
struct Field {
    std::string label;
    uint32_t width;
    float value;
    std::string unit;
};

bool IsValueChar(const std::string& c) { return c.size() == 1 && std::strchr("-.0123456789*_", c[0]) != nullptr; }

// Checks the fields of a row from the cell `from` on and returns where the last one ends.
size_t ExpectFields(uint32_t row, size_t from, const std::vector<Field>& fields, const std::string& where) {
    std::vector<std::string> cells = RowCells(row);
    std::string text = Row(row);
    EXPECT_EQ(text.find("\uFFFD"), std::string::npos) << where << ": " << text;
    size_t end = from;
    for (const Field& f : fields) {
        // The label stands whole, a blank cell after what came before.
        size_t at = end;
        while (at < kCells && !Drawn(row, static_cast<uint32_t>(at), f.label)) ++at;
        if (at >= kCells) {
            ADD_FAILURE() << where << ": label " << f.label << " is not whole: " << text;
            return end;
        }
        if (end > from) {
            EXPECT_GT(at, end) << where << ": no blank before " << f.label << ": " << text;
        }
        EXPECT_EQ(Join(cells, end, at).find_first_not_of(' '), std::string::npos)
            << where << ": something stands before " << f.label << ": " << text;
        // Its value right behind it: a number or a fill, no wider than its field.
        size_t v = at + f.label.size();
        size_t w = v;
        while (w < kCells && IsValueChar(cells[w])) ++w;
        std::string value = Join(cells, v, w);
        EXPECT_GE(w - v, 1u) << where << ": no value after " << f.label << ": " << text;
        EXPECT_LE(w - v, f.width) << where << ": " << f.label << value << ": " << text;
        bool fill = !value.empty() && value.find_first_not_of(value[0] == '*' ? "*" : "_") == std::string::npos;
        if (!fill && f.unit != "prefix") {
            // The number the channel has, to the places shown.
            size_t point = value.find('.');
            size_t places = point == std::string::npos ? 0 : value.size() - point - 1;
            EXPECT_NEAR(std::strtof(value.c_str(), nullptr), f.value, 0.51f * std::pow(10.0f, -float(places)) + 1e-4f)
                << where << ": " << f.label << value << ": " << text;
        }
        end = w;
        // Its unit, whole behind the field (a scale prefix stands in the cell after a full field).
        if (f.unit == "prefix") {
            if (end < kCells && cells[end] != " ") ++end;
        } else if (!f.unit.empty()) {
            size_t u = end;
            while (u < kCells && cells[u] == " ") ++u;
            EXPECT_EQ(Join(cells, u, u + f.unit.size()), f.unit) << where << ": unit of " << f.label << ": " << text;
            end = u + f.unit.size();
        }
        EXPECT_LE(end, kCells) << where << ": " << text;
    }
    // Nothing further on the row.
    EXPECT_EQ(Join(cells, end, kCells).find_first_not_of(' '), std::string::npos) << where << ": " << text;
    return end;
}

std::string Where(uint32_t language, uint32_t channel, uint32_t kind, uint32_t units, float value) {
    return "language " + std::to_string(language) + " channel " + std::to_string(channel) + " kind " +
           std::to_string(kind) + " units " + std::to_string(units) + " value " + std::to_string(value);
}

float Read(uint32_t channel, uint32_t number, uint32_t selector) {
    uint32_t status = 0;
    return Param_GetFloat(channel, number, selector, &status);
}

void SetUnits(uint32_t units) {
    uint32_t status = 0;
    CalPh_SetSlopeUnitFlag(0, units & 1, &status);
    CalPh_SetOffsetUnitFlag(0, units >> 1, &status);
}

// The slope and zero selector of a configured kind, and the labels and widths the page gives
// them (the slope in mV/pH is one place narrower, that the unit fits).
constexpr uint32_t kSlope = 7;
constexpr uint32_t kZero = 8;
constexpr uint32_t kTemperature = 6;

std::vector<Field> SensorFields(uint32_t channel, uint32_t kind, uint32_t units) {
    bool mvPerPh = (units & 1) != 0, mv = (units & 2) != 0;
    switch (kind) {
        case kKindCond2:
        case kKindCond4:
            return {{"M=", 6, Read(channel, kSlope, 2), "prefix"}, {"A=", 6, Read(channel, kZero, 2), "prefix"}};
        case kKindO2High:
        case kKindO2Low:
        case kKindO2Trace:
        case kKindO2Gauge:
            return {{"S=", 6, Read(channel, kSlope, 3), "nA"}, {"Z=", 6, Read(channel, kZero, 3), "nA"}};
        default: {
            uint32_t selector = kind == kKindCo2 ? 13 : 0;
            return {{"S=", mvPerPh ? 4u : 5u, Read(channel, kSlope, selector), mvPerPh ? "mV/pH" : "%"},
                    {"Z=", 5, Read(channel, kZero, selector), mv ? "mV" : "pH"}};
        }
    }
}

// The page of a channel: row 11 the sensor's calibration, row 12 the temperature's.
void ExpectCalibrationValues(uint32_t channel, uint32_t kind, uint32_t units, const std::string& where) {
    VdxPage_OpenCalHistory(channel);
    std::string letter = TextCodes(Text_Nth(kTextChannelLetters, channel));
    EXPECT_TRUE(Drawn(11, 0, letter + "P")) << where << ": " << Row(11);
    if (g_SensorKindActive[1] == kKindO2Optical) {
        ExpectFields(11, 2, {{"P100=", 4, Read(channel, kSlope, 8), ""}, {"P0=", 4, Read(channel, kZero, 8), ""}},
                     where);
        EXPECT_EQ(Row(12), "") << where;
        return;
    }
    ExpectFields(11, 2, SensorFields(channel, kind, units), where);
    EXPECT_TRUE(Drawn(12, 0, letter + "S")) << where << ": " << Row(12);
    ExpectFields(12, 2,
                 {{"M=", 6, Read(channel, kSlope, kTemperature), "prefix"},
                  {"A=", 6, Read(channel, kZero, kTemperature), "prefix"}},
                 where);
}

// Slope and zero of the configured kind and the temperature's, scaled from ordinary values.
void SetValues(uint32_t channel, uint32_t kind, float scale) {
    uint32_t status = 0;
    uint32_t selector = kind == kKindCo2 ? 13 : (kind <= kKindPhPna ? 0 : (kind <= kKindCond4 ? 2 : 3));
    const float slope = selector == 2 ? 0.1f : (selector == 3 ? -70.0f : 95.5f);
    const float zero = selector == 2 ? 0.002f : (selector == 3 ? -0.5f : 6.9f);
    Param_SetFloat(channel, kSlope, selector, slope * scale, &status);
    Param_SetFloat(channel, kZero, selector, zero * scale, &status);
    Param_SetFloat(channel, kSlope, kTemperature, 1.02f * scale, &status);
    Param_SetFloat(channel, kZero, kTemperature, -0.35f * scale, &status);
    g_SensorParams[1].p[kSensParamSlope] = 42.5f * scale;
    g_SensorParams[1].p[kSensParamZero] = -3.25f * scale;
}
}  // namespace

TEST(CalibrationDataLayout, EveryKindAndUnitStandsWholeInEveryLanguage) {
    BootHome();
    Press(kKeyInfo);
    const uint8_t kKinds[] = {kKindPh,    kKindPhPna,   kKindCond2,   kKindCond4, kKindO2High,
                              kKindO2Low, kKindO2Trace, kKindO2Gauge, kKindCo2};
    // Ordinary values, values with more whole places, and values beyond every field.
    const float kScales[] = {1.0f, -1.0f, 0.001f, 37.0f, -1e7f, 1e7f};
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        for (uint32_t channel = 0; channel < 2; ++channel) {
            for (uint8_t kind : kKinds) {
                g_ChannelKind[channel] = kind;
                for (uint32_t units = 0; units < 4; ++units) {
                    SetUnits(units);
                    for (float scale : kScales) {
                        SetValues(channel, kind, scale);
                        ExpectCalibrationValues(channel, kind, units, Where(language, channel, kind, units, scale));
                    }
                }
            }
            g_ChannelKind[channel] = kKindPh;
        }
        // Channel B's optical sensor: its two percentages on either channel's page.
        g_SensorKindActive[1] = kKindO2Optical;
        g_ChannelKind[1] = kKindO2Optical;
        for (float scale : kScales) {
            SetValues(1, kKindO2Optical, scale);
            ExpectCalibrationValues(1, kKindO2Optical, 0, Where(language, 1, kKindO2Optical, 0, scale));
        }
        g_SensorKindActive[1] = kKindNoSensor;
        g_ChannelKind[1] = kKindPh;
        SetUnits(0);
    }
    g_Language = 0;
}

TEST(CalibrationDataLayout, TheOrpOffsetStandsBehindItsWordInEveryLanguage) {
    BootHome();
    Press(kKeyInfo);
    const float kOffsets[] = {0.0f, -12.4f, 250.0f, -1499.6f, 1500.0f};
    for (uint32_t language = 0; language < kLanguages; ++language) {
        g_Language = static_cast<uint8_t>(language);
        for (uint8_t kind : {kKindPh, kKindPhPna}) {
            g_ChannelKind[1] = kind;
            for (float offset : kOffsets) {
                uint32_t status = 0;
                CalPh_SetOrpOffset(1, offset, &status);
                VdxPage_OpenCalHistory(1);
                // UP and INFO turn between the calibration values and the offset.
                VdxPage_CalHistoryKey(kEventUp);
                std::string where = Where(language, 1, kind, 0, offset);
                std::string word = TextCodes(Text_Nth(kTextCalTypeWords, 1));
                EXPECT_TRUE(Drawn(11, 0, TextCodes(Text_Nth(kTextChannelLetters, 1)))) << where << ": " << Row(11);
                EXPECT_TRUE(Drawn(11, 3, word)) << where << ": the word is overwritten: " << Row(11);
                std::vector<std::string> cells = RowCells(11);
                size_t v = 3 + word.size() + 1;
                EXPECT_EQ(cells[v - 1], " ") << where << ": " << Row(11);
                size_t w = v;
                while (w < kCells && IsValueChar(cells[w])) ++w;
                char expected[16];
                std::snprintf(expected, sizeof expected, "%.0f", std::round(Meas_GetOrpOffset(1)));
                EXPECT_EQ(Join(cells, v, w), expected) << where << ": " << Row(11);
                EXPECT_EQ(Join(cells, w, kCells), " mV" + std::string(kCells - w - 3, ' ')) << where << ": " << Row(11);
                EXPECT_EQ(Row(12), "") << where;
                VdxPage_CalHistoryKey(kEventDown);
                EXPECT_TRUE(Drawn(11, 0, TextCodes(Text_Nth(kTextChannelLetters, 1)) + "P"))
                    << where << ": " << Row(11);
            }
        }
    }
    g_Language = 0;
}
