// The parameter pages as data: 88 page records (labels, choices and their layout per language)
// and the label group of each page.
#pragma once
#include <cstdint>

#include "core/texts.h"

constexpr uint32_t kParamPageCount = 88;
constexpr uint32_t kParamFields = 4;
// Field value of the current-field byte: the leave marker is selected.
constexpr uint8_t kParamLeaveMarker = 4;
// Label item of a field without a label of its own.
constexpr uint8_t kNoLabel = 255;
// Choice group of a field without a value: it cannot be selected.
constexpr uint8_t kNoGroup = 255;
// Choice groups that are no text group: the set point number, drawn as its digit; the
// measurement of an analog output, drawn by its name; the units of the calibration info page,
// which the page draws itself.
constexpr uint8_t kGroupNumber = 254;
constexpr uint8_t kGroupMeasurement = 253;
constexpr uint8_t kGroupCalUnits = 252;

// One page: per field its label and choices, and per language and field where they stand. A
// column is a pixel column of rows 11 (fields 0, 1) and 12 (fields 2, 3); a width is the span in
// pixels cleared before a value is drawn. The layout keeps every page inside its row in every
// language, row 12 ending before the leave marker at column 138.
struct ParamPageDesc {
    uint8_t pageId;
    uint8_t labelItem[kParamFields];
    uint8_t labelColumn[kLanguages][kParamFields];
    uint8_t choiceGroup[kParamFields];
    uint8_t valueColumn[kLanguages][kParamFields];
    uint8_t choiceCount[kParamFields];
    uint8_t valueWidth[kLanguages][kParamFields];
};
extern const ParamPageDesc g_ParamPageTable[kParamPageCount];

// The text group of a page's labels (22 to 26 by the page number).
uint32_t ParamPage_LabelGroup(uint32_t page);
// The display row of a field: 11 for fields 0 and 1, 12 for fields 2 and 3.
uint32_t ParamPage_FieldRow(uint32_t field);
