// Numeric editor: the calibration-entry screen. Row 11 names the point and holds the number being
// entered, row 12 the live value of the position; the accepted number goes to the calibration by
// measurement id. The analog outputs are calibrated on a variant of it in raw converter counts.
#include "ui/numedit.h"

#include <cmath>
#include <cstring>

#include "core/fmt.h"
#include "core/fw_hook.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/param.h"
#include "core/texts.h"
#include "core/util.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/conductivity.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/ph_buffers.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "outputs/aout.h"
#include "ui/info_screens.h"
#include "ui/menu.h"
#include "ui/select_screen.h"

// Group 5 texts of the labels and group 6 unit texts, by index.
enum : uint8_t {
    kLabelPoint = 0,
    kLabelR1 = 1,
    kLabelV = 6,
    kLabelI = 7,
    kLabelPh = 8,
    kLabelT = 9,
    kLabelAout1 = 10,
    kLabelAout2 = 11,
    kLabel4mA = 12,
    kLabel20mA = 13,
    kLabelR = 14,
    kLabelC = 15,
    kLabelO2 = 16,
    kLabelO3 = 17,
    kLabelMv = 18,
    kLabelRg = 19,
    kLabelRr = 20,
    kLabelOrp = 21,
    kLabelAin1 = 22,
    kLabelCo2 = 23,
};
enum : uint8_t {
    kUnitOhm = 0,
    kUnitVolt = 1,
    kUnitPh = 2,
    kUnitDegC = 3,
    kUnitOhmCm = 4,
    kUnitSiemens = 5,
    kUnitNanoAmp = 10,
    kUnitSat = 11,
    kUnitPpb = 12,
    kUnitMilliAmp = 14,
    kUnitMilliVolt = 18,
    kUnitMegaOhm = 19,
    kUnitKiloOhm = 20,
    kNoUnit = 255,
};

// clang-format off
const NumFieldDesc g_NumFieldTable[kNumFieldCount] = {
    {0, kLabelPoint, kLabelR1, kUnitOhm, 0, {0, 0}, 6, 2, 1},
    {1, kLabelPoint, kLabelR1 + 1, kUnitOhm, 0, {0, 0}, 6, 2, 1},
    {2, kLabelPoint, kLabelR1 + 2, kUnitOhm, 0, {0, 0}, 6, 2, 1},
    {3, kLabelPoint, kLabelR1 + 3, kUnitOhm, 0, {0, 0}, 6, 2, 1},
    {4, kLabelPoint, kLabelR1 + 4, kUnitOhm, 0, {0, 0}, 6, 2, 1},
    {5, kLabelPoint, kLabelT, kUnitOhm, 0, {0, 0}, 6, 3, 1},
    {6, kLabelPoint, kLabelV, kUnitVolt, 1, {0, 0}, 6, 2, 0},
    {7, kLabelPoint, kLabelI, kUnitNanoAmp, 1, {0, 0}, 6, 2, 0},
    {8, kLabelPoint, kLabelRg, kUnitMegaOhm, 0, {0, 0}, 6, 2, 0},
    {9, kLabelPoint, kLabelRr, kUnitKiloOhm, 0, {0, 0}, 6, 2, 0},
    {10, kLabelAout1, kLabel4mA, kNoUnit, 0, {0, 0}, 5, 1, 0},
    {11, kLabelAout2, kLabel4mA, kNoUnit, 0, {0, 0}, 5, 1, 0},
    {12, kLabelAout1, kLabel20mA, kNoUnit, 0, {0, 0}, 5, 1, 0},
    {13, kLabelAout2, kLabel20mA, kNoUnit, 0, {0, 0}, 5, 1, 0},
    {14, kLabelPoint, kLabelPh, kUnitPh, 1, {0, 0}, 5, 2, 0},
    {15, kLabelPoint, kLabelT, kUnitDegC, 1, {0, 0}, 5, 2, 0},
    {16, kLabelPoint, kLabelR, kUnitOhmCm, 0, {0, 0}, 5, 2, 1},
    {17, kLabelPoint, kLabelC, kUnitSiemens, 0, {0, 0}, 5, 2, 1},
    {18, kLabelPoint, kLabelO2, kUnitSat, 0, {0, 0}, 5, 2, 1},
    {19, kLabelPoint, kLabelO3, kUnitPpb, 0, {0, 0}, 5, 2, 1},
    {20, kLabelPoint, kLabelMv, kUnitMilliVolt, 1, {0, 0}, 5, 1, 0},
    {21, kLabelPoint, kLabelO2, kUnitMegaOhm, 0, {0, 0}, 5, 2, 1},
    {22, kLabelPoint, kLabelCo2, kUnitPh, 1, {0, 0}, 5, 2, 0},
    {23, kLabelPoint, kLabelO2, kUnitPh, 1, {0, 0}, 5, 2, 0},
    {24, kLabelPoint, kLabelMv, kUnitMilliVolt, 1, {0, 0}, 5, 1, 0},
    {25, kLabelPoint, kLabelOrp, kUnitMilliVolt, 1, {0, 0}, 5, 2, 0},
    {26, kLabelPoint, kLabelAin1, kUnitMilliAmp, 0, {0, 0}, 5, 2, 0},
    {27, kLabelPoint, kLabelI, kUnitNanoAmp, 1, {0, 0}, 6, 2, 0},
};
// clang-format on

// Field types by what they take.
static constexpr uint8_t kTypeTemperatureInput = 5;
static constexpr uint8_t kTypeReferenceImpedance = 9;
static constexpr uint8_t kTypePh = 14;
static constexpr uint8_t kTypeTemperature = 15;
static constexpr uint8_t kTypeResistivity = 16;
static constexpr uint8_t kTypeConductivity = 17;
static constexpr uint8_t kTypeOxygen = 18;
static constexpr uint8_t kTypeOzone = 19;
static constexpr uint8_t kTypeOpticalOxygen = 21;
static constexpr uint8_t kTypeCo2 = 22;
static constexpr uint8_t kTypePna = 23;
static constexpr uint8_t kTypeAnalogInput = 26;
static constexpr uint8_t kTypeCurrent2 = 27;

// Results inside the editor: a value refused (stay) and a stability reached (taken like ENTER).
static constexpr int32_t kResultRefused = static_cast<int32_t>(kActionEditRefused);
static constexpr int32_t kResultStable = static_cast<int32_t>(kActionEditStable);

// The compensation mode of a channel that does not compensate.
static constexpr uint8_t kCondCompOff = 10;
// The live value's field on row 12 ends where row 11's value begins.
static constexpr uint32_t kTextColumn = 12;
// The buffer set of a pH channel whose value is typed rather than recognised.
static constexpr uint8_t kEntryTyped = kBufferSetNone;
// pH-type fields are held to this range.
static constexpr float kPhLowest = -2.0f;
static constexpr float kPhHighest = 16.0f;
// A tracked value beyond this is no value.
static constexpr float kTrackedLimit = 1e12f;

// The item lists of the fields that calibrate in a unit the user chooses: the unit symbols shown
// and the calibration item (unit code) each gives. "{" is the display's micro sign.
static const char* const kOxygenItems[8] = {"%air", "%O2G", "ppmO2G", "%O2", "mg/L", "ppm", "{g/L", "ppb"};
static const uint8_t kOxygenItemCodes[8] = {11, 101, 102, 100, 13, 13, 12, 12};
static const char* const kOzoneItems[4] = {"ppb", "{g/L", "mg/L", "ppm"};
static const char* const kOpticalItems[9] = {"%air", "%O2", "ppmO2G", "%O2G", "mg/L", "{g/L", "ppm", "ppb", "mbar"};
static const char* const kCo2Items[5] = {"%CO2", "hPa", "mbar", "mmHg", "mg/L"};
// Optical items entered per thousand of the unit they calibrate: micrograms per litre and ppb.
static constexpr uint8_t kOpticalMicrograms = 5;
static constexpr uint8_t kOpticalPpb = 7;
// Ozone items share one calibration item per pair; CO2 items follow from this code.
static constexpr uint8_t kOzoneFirstItem = 12;
static constexpr uint8_t kCo2FirstItem = 33;
static constexpr uint8_t kOpticalFirstItem = 19;
// The digital sensor's CO2 measurements start at this kind in the channel's offer test.
static constexpr uint32_t kCo2FirstKind = 34;

const NumFieldDesc* g_NumEditField = &g_NumFieldTable[0];
NumEditBuffer g_NumEditBuffer;
uint32_t g_NumEditValueColumn;
NumEditState g_NumEditState;
static uint8_t s_CalItem;
static uint8_t s_ItemChoice;
static uint8_t s_ChannelB;
static uint8_t s_OutputOverride;
static uint8_t s_Type;
// The value's text can be edited (pH-type fields whose value is recognised cannot).
static uint8_t s_Editable;

void NumEdit_ResetState() {
    g_NumEditField = &g_NumFieldTable[0];
    g_NumEditBuffer = NumEditBuffer{{0}, 0, 0, 255, kPrefixNone};
    g_NumEditValueColumn = 0;
    g_NumEditState = NumEditState{0, 0.0f, 0, 0};
    s_CalItem = 0;
    s_ItemChoice = 0;
    s_ChannelB = 0;
    s_OutputOverride = 0;
    s_Type = 0;
    s_Editable = 1;
}

uint32_t NumEdit_GetItemChoice() { return s_ItemChoice; }

void NumEdit_SetChannelB(uint32_t flag) { s_ChannelB = flag ? 1 : 0; }
uint32_t NumEdit_IsOutputCalOpen() { return s_OutputOverride; }
void NumEdit_SetOutputOverride(uint32_t on) {
    s_OutputOverride = on ? 1 : 0;
    // Every way out of the output test ends the override here.
    if (!on) Aout_GiveBackAfterTest();
}

// ---- Character stepping -----------------------------------------------------------------------

// The next character of the set lowest..highest without '/', wrapping at both ends; a character
// outside the set (a blank, a fill) starts from the set's end in the direction of the step.
void NumEdit_StepDigit(char* text, uint32_t index, char lowest, char highest, int32_t step) {
    char c = text[index];
    if (c < lowest || c > highest || c == '/') {
        text[index] = step > 0 ? lowest : highest;
        return;
    }
    if (step > 0) {
        c = c >= highest ? lowest : static_cast<char>(c + 1);
        if (c == '/') ++c;
    } else {
        c = c <= lowest ? highest : static_cast<char>(c - 1);
        if (c == '/') --c;
    }
    text[index] = c;
}

void NumEdit_MoveDecimalPoint(char* text, uint32_t length, uint8_t* point) {
    if (*point != 255 && (*point >= length || text[*point] != '.')) *point = 255;
    for (uint32_t i = 0; i < length; ++i) {
        if (text[i] != '.' || i == *point) continue;
        // A new point: the former one becomes a digit.
        if (*point != 255) text[*point] = '0';
        *point = static_cast<uint8_t>(i);
    }
}

// ---- Drawing -------------------------------------------------------------------------------------

static uint8_t Digits() { return g_NumEditField->digits; }
static uint8_t ChoicePosition() { return static_cast<uint8_t>(Digits() + 1); }
static bool IsOutputType(uint32_t type) { return type >= kNumFieldOut1At4mA && type <= kNumFieldOut2At20mA; }
// The meter's inputs: resistances, temperature, voltage, Rg and Rr, the currents, and the analog
// input.
static bool IsMeterType(uint32_t type) {
    return type <= kTypeReferenceImpedance || type == kTypeAnalogInput || type == kTypeCurrent2;
}
static bool IsPhType(uint32_t type) { return type == kTypePh || type == kTypeCo2 || type == kTypePna; }
static bool IsItemType(uint32_t type) {
    return type == kTypeOxygen || type == kTypeOzone || type == kTypeOpticalOxygen || type == kTypeCo2;
}
static bool CaptureMode() { return g_ChosenMode == kCalModeProcess; }
static bool Held() { return g_ManualHold.active != 0; }

// The unit a field opened afresh shows: its record's, or in a process calibration of CO2 the first
// of its items.
static uint8_t FreshItem(uint32_t type) {
    if (type >= kNumFieldCount) return kNoUnit;
    return type == kTypeCo2 && CaptureMode() ? kCo2FirstItem : g_NumFieldTable[type].unit;
}

static uint32_t CharColumn(uint32_t index) { return g_NumEditValueColumn + 6 * index; }
static uint32_t ChoiceColumn() { return CharColumn(ChoicePosition()); }

// The value's text in the field's width: as many decimals as fit, a '.' or a blank appended to a
// shorter text, blanks after; a value too wide shows the over- or under-range fill.
static void FormatValue(float value, uint32_t decimals) {
    char* text = g_NumEditBuffer.text;
    // The field's digits never reach past the buffer, whatever the field table says.
    uint32_t width = Digits() < kNumEditTextMax ? Digits() : kNumEditTextMax;
    char number[kNumberTextMax + 1];
    uint32_t n = Util_ClassifyFloat(value) < kFloatPlusInfinity ? Util_FloatToText(value, 255, decimals, number) : 255;
    if (n > width) {
        std::memset(text, value < 0.0f ? '_' : '*', width);
    } else {
        std::memcpy(text, number, n);
        if (n < width) text[n++] = std::strchr(number, '.') == nullptr ? '.' : ' ';
        while (n < width) text[n++] = ' ';
    }
    text[width] = '\0';
    const char* dot = std::strchr(text, '.');
    g_NumEditBuffer.point = dot == nullptr ? 255 : static_cast<uint8_t>(dot - text);
}

static void DrawText() { Lcd_DrawText(kRowStatus, g_NumEditValueColumn, g_NumEditBuffer.text); }

// One decimal point in the value: a new point turns the former one into a '0', which the field
// then shows as well as the character under the cursor. Returns true when the point moved.
static bool KeepOnePoint() {
    uint8_t before = g_NumEditBuffer.point;
    NumEdit_MoveDecimalPoint(g_NumEditBuffer.text, Digits(), &g_NumEditBuffer.point);
    if (g_NumEditBuffer.point == before) return false;
    DrawText();
    return true;
}

static const char* ItemText(uint32_t type, uint32_t choice) {
    switch (type) {
        case kTypeOxygen:
            return kOxygenItems[choice < 8 ? choice : 0];
        case kTypeOzone:
            return kOzoneItems[choice < 4 ? choice : 0];
        case kTypeOpticalOxygen:
            return kOpticalItems[choice < 9 ? choice : 0];
        case kTypeCo2:
            return kCo2Items[choice < 5 ? choice : 0];
        default:
            return "";
    }
}

const char* NumEdit_GetItemText() { return ItemText(s_Type, s_ItemChoice); }

// The choice after the field: the item of the item fields, else the unit prefix and the unit.
static void DrawChoice(uint32_t blink) {
    uint32_t type = s_Type;
    uint32_t column = ChoiceColumn();
    Lcd_ClearSpan(kRowStatus, column, kLcdColumns - 7 - column);
    if (IsItemType(type) && (type != kTypeCo2 || CaptureMode())) {
        uint32_t n = Lcd_DrawTextMode(kRowStatus, column, blink, ItemText(type, s_ItemChoice));
        if (type == kTypeOzone) Lcd_DrawText(kRowStatus, column + 6 * (n + 1), "O3");
        return;
    }
    uint8_t prefix = g_NumEditBuffer.prefix;
    uint32_t unitColumn = column;
    if (g_NumEditField->autoRange) {
        // The blank prefix shows as "_" so that a blinking cursor can be seen on it.
        if (prefix == kPrefixUnits) {
            Lcd_DrawTextMode(kRowStatus, column, blink, "_");
        } else {
            Fmt_DrawUnitString(kRowStatus, column, blink, prefix);
        }
        unitColumn += 6;
    }
    if (g_NumEditField->unit == kNoUnit) return;
    char unit[kTextMaxChars + 1];
    uint32_t n = Text_Copy(Text_Nth(kTextUnits, g_NumEditField->unit), unit);
    Lcd_DrawText(kRowStatus, unitColumn, unit);
    if ((type == kTypeResistivity || type == kTypeConductivity) &&
        CalCond_GetTempCompModeFwd(g_NumEditBuffer.channel) == kCondCompOff) {
        Lcd_DrawText(kRowStatus, unitColumn + 6 * n, "U");
    }
}

// In capture mode without a hold row 11 asks for the capture instead of showing the value.
static bool CapturePromptShown() { return CaptureMode() && !Held() && !IsItemType(s_Type); }

static void DrawCapturePrompt(uint32_t blink) {
    char text[kTextMaxChars + 1];
    Text_Copy(kTextPressEnterToCapture, text);
    Lcd_DrawText(kRowStatus, 0, text);
    Lcd_DrawEditChar(kRowStatus, 0, text, 0, blink ? 1 : 0);
}

// The cursor: the character under it (or the choice, or the leave mark) blinks.
static void ShowCursor() {
    uint8_t cursor = g_NumEditBuffer.cursor;
    if (cursor != kNumEditLeave && CapturePromptShown()) {
        DrawCapturePrompt(1);
    } else if (cursor == kNumEditLeave) {
        Menu_BlinkOff();
        Lcd_DrawChannelMark(0, 1);
    } else if (cursor == ChoicePosition()) {
        DrawChoice(1);
    } else if (cursor < Digits()) {
        Lcd_DrawEditChar(kRowStatus, g_NumEditValueColumn, g_NumEditBuffer.text, cursor, 1);
    }
}

static void HideCursor() {
    uint8_t cursor = g_NumEditBuffer.cursor;
    if (cursor != kNumEditLeave && CapturePromptShown()) {
        DrawCapturePrompt(0);
    } else if (cursor == kNumEditLeave) {
        Lcd_DrawChannelMark(0, 0);
    } else if (cursor == ChoicePosition()) {
        Menu_BlinkOff();
        DrawChoice(0);
    } else if (cursor < Digits()) {
        Lcd_DrawEditChar(kRowStatus, g_NumEditValueColumn, g_NumEditBuffer.text, cursor, 0);
    }
}

// Row 12: the second label with " = " right-aligned before the value's column, then the live value.
static void DrawLiveValue() {
    uint32_t type = s_Type;
    char label[kTextMaxChars + 4];
    uint32_t n = Text_Copy(Text_Nth(kTextNumFieldLabels, g_NumEditField->label2), label);
    const char* equals = type == kTypeOxygen || type == kTypeOpticalOxygen ? "=" : " = ";
    std::strcat(label, equals);
    n += static_cast<uint32_t>(std::strlen(equals));
    uint32_t end = g_NumEditValueColumn;
    uint32_t column = end >= 6 * n ? end - 6 * n : 0;
    Lcd_DrawText(kRowMessage, column, label);
    g_NumEditState.position = g_MenuPosition;
    g_NumEditState.item = s_CalItem;
    uint32_t status = 0;
    g_NumEditState.value = Cal_GetValueById(g_MenuPosition, s_CalItem, &status);
    g_NumEditState.status = status;
    Screen_DrawValueWithUnit(kRowMessage, end, &g_NumEditState);
}

void NumEdit_Open(uint32_t type, float value, uint32_t mode) {
    if (type >= kNumFieldCount || IsOutputType(type)) return;
    s_Type = static_cast<uint8_t>(type);
    g_NumEditField = &g_NumFieldTable[type];
    if (CaptureMode()) Screen_EndTimedHold();
    g_NumEditBuffer.cursor = 0;
    g_NumEditBuffer.prefix = kPrefixNone;
    Menu_ClearStatusRows();
    if (mode == 0 && !(CaptureMode() && Held())) {
        s_ItemChoice = 0;
        s_CalItem = FreshItem(type);
    }
    // The channel's letter stands in front of both rows.
    uint32_t channel = Menu_ChannelOfPosition(g_MenuPosition);
    g_NumEditBuffer.channel = static_cast<uint8_t>(channel < 2 ? channel : 0);
    uint32_t column = 0;
    if (g_MenuPosition == kMeasIdAnalogInput) {
        column = kTextColumn;
    } else if (channel < 2) {
        Lcd_DrawTextRef(kRowStatus, 0, Text_Nth(kTextChannelLetters, channel));
        Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextChannelLetters, channel));
        column = kTextColumn;
    }
    // Row 11: "Point1 = ", the value after it.
    char label[kTextMaxChars + 4];
    uint32_t n = Text_Copy(Text_Nth(kTextNumFieldLabels, g_NumEditField->label1), label);
    label[n++] = static_cast<char>('1' + (g_CalPoint < 9 ? g_CalPoint : 8));
    label[n] = '\0';
    std::strcat(label, type == kTypeOxygen || type == kTypeOpticalOxygen ? "=" : " = ");
    n = Lcd_DrawText(kRowStatus, column, label);
    g_NumEditValueColumn = column + 6 * n;

    // The value in the field's unit prefix.
    float shown = value;
    uint8_t prefix = kPrefixNone;
    // A resistivity shows in the unit its live value has on row 12 (ohm, kilo or mega ohm-cm), as
    // the resistances do: in megaohm-cm alone a value below 1 would move in steps of 1000 ohm-cm.
    if (type <= kTypeTemperatureInput || type == kTypeResistivity) {
        shown = Fmt_ScaleKiloMega(value, &prefix);
    } else if (type == kTypeConductivity) {
        shown = Fmt_ScaleMicroMilli(value, &prefix);
    }
    g_NumEditBuffer.prefix = prefix;
    s_Editable = 1;
    if (IsPhType(type)) {
        if (CalPh_GetBufferSet(g_NumEditBuffer.channel) != kEntryTyped && !CaptureMode()) s_Editable = 0;
        if (type == kTypePh) shown = shown < kPhLowest ? kPhLowest : (shown > kPhHighest ? kPhHighest : shown);
    }
    if (s_Editable) {
        FormatValue(shown, Util_DecimalsForDigits(shown, Digits() - 2u));
    } else {
        // The value is recognised, not typed: it shows once it is known.
        std::memset(g_NumEditBuffer.text, '-', Digits());
        g_NumEditBuffer.text[Digits()] = '\0';
        g_NumEditBuffer.point = 255;
    }
    DrawText();

    // The unit or item after the field; the item fields start on it at their first point.
    bool onItem = (type == kTypeOxygen || type == kTypeOzone || type == kTypeOpticalOxygen ||
                   (type == kTypeCo2 && CaptureMode())) &&
                  g_CalPoint == 0;
    DrawChoice(0);
    if (onItem) g_NumEditBuffer.cursor = ChoicePosition();
    DrawLiveValue();

    if (CaptureMode() && !Held()) {
        // The value is captured first; its reference is entered after the hold.
        if (IsItemType(type)) {
            g_NumEditBuffer.cursor = ChoicePosition();
        } else {
            Lcd_ClearSpan(kRowStatus, 0, kLcdColumns);
            g_NumEditBuffer.cursor = 0;
        }
    }
    if (mode == 1) {
        Menu_BlinkOff();
        if (CapturePromptShown()) DrawCapturePrompt(0);
        g_NumEditBuffer.cursor = kNumEditLeave;
    }
    ShowCursor();
    Fw_HardwareHook();
}

// ---- Output calibration --------------------------------------------------------------------------

// The converter counts an output's calibration may use.
static const float kCountLowest[kAoutCount] = {205.0f, 500.0f};
static const float kCountHighest[kAoutCount] = {6666.0f, 7372.0f};
static constexpr uint32_t kCountDigits = 5;

static uint32_t OutputOfType(uint32_t type) {
    return type == kNumFieldOut1At4mA || type == kNumFieldOut1At20mA ? 0 : 1;
}

static void FormatCount(float count) {
    uint32_t whole = count < 0.0f ? 0u : static_cast<uint32_t>(count + 0.5f);
    if (whole > 99999) whole = 99999;
    Util_UIntToDecimal(whole, kCountDigits, g_NumEditBuffer.text);
    g_NumEditBuffer.point = 255;
}

// Drives the output to the count: the calibration point, and on the panel the current that count
// makes the converter give.
static void DriveCount() {
    float count = static_cast<float>(std::atoi(g_NumEditBuffer.text));
    uint32_t output = g_NumEditBuffer.channel;
    Aout_SetCalPoint(output, g_CalPoint, count);
    Aout_DriveCount(output, count);
}

void NumEdit_OpenOutputCal(uint32_t type, float value, uint32_t mode) {
    if (!IsOutputType(type)) return;
    s_Type = static_cast<uint8_t>(type);
    g_NumEditField = &g_NumFieldTable[type];
    s_OutputOverride = 1;
    s_Editable = 1;
    g_NumEditBuffer.channel = static_cast<uint8_t>(OutputOfType(type));
    g_NumEditBuffer.prefix = kPrefixNone;
    Menu_ClearStatusRows();
    char text[kTextMaxChars + 1];
    uint32_t n = Text_Copy(Text_Nth(kTextNumFieldLabels, g_NumEditField->label1), text);
    uint32_t column = 6 * (n + 1);
    Lcd_DrawText(kRowStatus, 0, text);
    n = Text_Copy(Text_Nth(kTextNumFieldLabels, g_NumEditField->label2), text);
    Lcd_DrawText(kRowStatus, column, text);
    g_NumEditValueColumn = column + 6 * (n + 1);
    FormatCount(value);
    DrawText();
    Lcd_DrawTextRef(kRowMessage, 0, kTextPressEnterWhenDone);
    g_NumEditBuffer.cursor = kCountDigits - 1;
    if (mode == 1) {
        Menu_BlinkOff();
        g_NumEditBuffer.cursor = kNumEditLeave;
    }
    ShowCursor();
    DriveCount();
}

// What a field offers in the unit of item, once its point is tracked: the oxygen point's
// reference (in air 100 %air, or what the air is in another unit; the optical sensor's 100 % in
// air and 0 % without oxygen), except in a process calibration, whose reference is the lab's;
// else the measured value of the position in that unit.
static float OfferedValue(uint32_t type, uint8_t item) {
    if (type == kTypeOxygen && !CaptureMode()) {
        uint32_t point = CalO2_PointOfStep(g_CalPoint, g_ChosenOption);
        return CalO2_GetPointReference(Menu_ChannelOfPosition(g_MenuPosition), point, item);
    }
    if (type == kTypeOpticalOxygen && !CaptureMode() && g_CalTracking.settingStatus == 0) {
        return g_CalTracking.setting;
    }
    // The position is tracked in the unit shown from here on (the live value on row 12 reads it so
    // too): what was tracked before, another position, unit or nothing, is not this field's value.
    uint32_t status = 0;
    float value = Cal_GetValueById(g_MenuPosition, item, &status);
    // The meter's inputs are calibrated against references of their own: each point offers its
    // preset, which the user changes to the reference applied.
    if (IsMeterType(type)) {
        value = g_CalTracking.setting;
        status = g_CalTracking.settingStatus;
    }
    if (status == kStatusOver || status == kStatusUnder || !(std::fabs(value) <= kTrackedLimit)) return 1.0f;
    return value;
}

// The value a field opens with, item being the unit it shows: what it offers, or an output's
// count.
static float OpeningValue(uint32_t type, uint8_t item) {
    if (type >= kNumFieldCount) return 1.0f;
    Meas_SetSelectorByte(g_ChosenOption);
    Cal_BeginTracking(g_MenuPosition, g_CalPoint);
    Cal_TrackValue(g_MenuPosition, g_CalPoint);
    if (IsOutputType(type)) {
        // An output's point is its converter count.
        uint32_t status = 0;
        float count = Aout_GetCalPoint(OutputOfType(type), g_CalPoint, &status);
        return status == 0 ? count : kCountLowest[OutputOfType(type)];
    }
    return OfferedValue(type, item);
}

// A field opened afresh shows its record's unit first; the held point of a process calibration
// keeps the unit its reading was captured in.
float NumEdit_ReadFieldValue(uint32_t type) {
    return OpeningValue(type, CaptureMode() && Held() ? s_CalItem : FreshItem(type));
}

// ---- Keys ----------------------------------------------------------------------------------------

// The last place the cursor walks to before the leave position.
static uint8_t LastPosition() {
    bool choice = g_NumEditField->autoRange || (s_Type == kTypeCo2 && CaptureMode() && Held());
    return choice ? ChoicePosition() : static_cast<uint8_t>(Digits() - 1);
}

static void MoveCursor(int32_t step) {
    uint8_t cursor = g_NumEditBuffer.cursor;
    KeepOnePoint();
    HideCursor();
    uint8_t next;
    if (!s_Editable && !CaptureMode()) {
        next = cursor == kNumEditLeave ? 0 : kNumEditLeave;
    } else if (CaptureMode() && !Held()) {
        uint8_t field =
            s_Type == kTypePh || s_Type == kTypeResistivity || s_Type == kTypeConductivity || s_Type == kTypePna
                ? 0
                : ChoicePosition();
        next = cursor == kNumEditLeave ? field : kNumEditLeave;
    } else if (step > 0) {
        if (cursor == kNumEditLeave) {
            next = 0;
        } else if (cursor >= LastPosition()) {
            next = kNumEditLeave;
        } else {
            next = static_cast<uint8_t>(cursor + 1 == Digits() ? cursor + 2 : cursor + 1);
        }
    } else {
        if (cursor == kNumEditLeave) {
            next = LastPosition();
        } else if (cursor == 0) {
            next = kNumEditLeave;
        } else {
            next = static_cast<uint8_t>(cursor - 1 == Digits() ? cursor - 2 : cursor - 1);
        }
    }
    g_NumEditBuffer.cursor = next;
    ShowCursor();
}

// Item choices a field does not offer in the present situation.
static bool ItemSkipped(uint32_t type, uint32_t choice) {
    if (type == kTypeOxygen) {
        uint8_t current = Menu_CurrentChannel();
        if (choice == 3 && g_ChannelKind[current] != kKindO2High) return true;
        if (choice == 1 && g_ChosenOption == 1) return true;
        if (choice == 2 && g_ChosenOption == 0) return true;
    }
    if (type == kTypeCo2) return Chan_IsKindSpecialOnA(1, choice + kCo2FirstKind) != 0;
    return false;
}

static uint8_t CalItemOfChoice(uint32_t type, uint32_t choice) {
    switch (type) {
        case kTypeOxygen:
            return kOxygenItemCodes[choice < 8 ? choice : 0];
        case kTypeOzone:
            return static_cast<uint8_t>(kOzoneFirstItem + choice / 2);
        case kTypeOpticalOxygen:
            if (choice == 5) return kOpticalFirstItem + 4;
            if (choice == 6 || choice == 7) return kOpticalFirstItem + 5;
            return static_cast<uint8_t>(kOpticalFirstItem + choice);
        default:
            return static_cast<uint8_t>(kCo2FirstItem + choice);
    }
}

static uint32_t ItemCount(uint32_t type) {
    switch (type) {
        case kTypeOxygen:
            return 8;
        case kTypeOzone:
            return 4;
        case kTypeOpticalOxygen:
            return 9;
        default:
            return 5;
    }
}

static void StepItem(int32_t step) {
    uint32_t type = s_Type;
    uint32_t count = ItemCount(type);
    uint32_t choice = s_ItemChoice < count ? s_ItemChoice : 0;
    // At most one pass round the list, so a list with every item skipped keeps its choice.
    for (uint32_t tries = 0; tries < count; ++tries) {
        choice = step > 0 ? (choice + 1) % count : (choice + count - 1) % count;
        if (!ItemSkipped(type, choice)) break;
    }
    s_ItemChoice = static_cast<uint8_t>(choice);
    s_CalItem = CalItemOfChoice(type, choice);
}

// The unit prefix of the auto-range fields: ohms and ohm-cm cycle units, kilo, mega;
// conductivity micro and milli.
static void StepUnitPrefix(int32_t step) {
    uint8_t& prefix = g_NumEditBuffer.prefix;
    if (s_Type <= kTypeTemperatureInput || s_Type == kTypeResistivity) {
        static const uint8_t kCycle[3] = {kPrefixUnits, kPrefixKilo, kPrefixMega};
        uint32_t at = prefix == kPrefixKilo ? 1 : (prefix == kPrefixMega ? 2 : 0);
        at = step > 0 ? (at + 1) % 3 : (at + 2) % 3;
        prefix = kCycle[at];
    } else if (s_Type == kTypeConductivity) {
        prefix = prefix == kPrefixMicro ? kPrefixMilli : kPrefixMicro;
    }
}

static void StepAtCursor(int32_t step) {
    uint8_t cursor = g_NumEditBuffer.cursor;
    uint32_t type = s_Type;
    if (cursor == kNumEditLeave) return;
    if (IsPhType(type) && !s_Editable && !CaptureMode()) return;
    if (CaptureMode() && !Held() &&
        (type == kTypePh || type == kTypeResistivity || type == kTypeConductivity || type == kTypePna)) {
        return;
    }
    if (cursor == ChoicePosition()) {
        if (IsItemType(type)) {
            StepItem(step);
            if (type == kTypeOxygen || type == kTypeCo2) {
                // The value follows the unit: the same point, in the unit now chosen.
                float value = OfferedValue(type, s_CalItem);
                FormatValue(value, Util_DecimalsForDigits(value, Digits() - 2u));
                DrawText();
            }
        } else {
            StepUnitPrefix(step);
        }
        DrawChoice(1);
        return;
    }
    if (cursor >= Digits()) return;
    char lowest = cursor == 0 && g_NumEditField->isSigned ? '-' : '.';
    NumEdit_StepDigit(g_NumEditBuffer.text, cursor, lowest, '9', step);
    if (g_NumEditBuffer.point != 255 && g_NumEditBuffer.text[g_NumEditBuffer.point] != '.') {
        g_NumEditBuffer.point = 255;
    }
    Lcd_DrawEditChar(kRowStatus, g_NumEditValueColumn, g_NumEditBuffer.text, cursor, 1);
}

// The value that ENTER takes: typed, or recognised for the pH-type fields that are not typed.
static int32_t TakeValue(float* value) {
    uint32_t type = s_Type;
    if (!s_Editable && !CaptureMode()) {
        if (g_CalTracking.settingStatus != 0) return static_cast<int32_t>(kActionCalNotDone);
        *value = g_CalTracking.setting;
        return -1;
    }
    if (KeepOnePoint()) ShowCursor();
    if (!Util_ParseDecimal(g_NumEditBuffer.text, value)) {
        // A fill or a lone sign is no number.
        if (g_NumEditBuffer.cursor == kNumEditLeave) {
            *value = 0.0f;
            return -1;
        }
        return kResultRefused;
    }
    // A pH lies within its bounds; the CO2 of a process calibration is entered in a CO2 unit.
    bool ph = type >= kTypePh && g_NumEditField->unit == kUnitPh && !(type == kTypeCo2 && CaptureMode());
    if (ph && (*value < kPhLowest || *value > kPhHighest)) {
        *value = *value < kPhLowest ? kPhLowest : kPhHighest;
        FormatValue(*value, Util_DecimalsForDigits(*value, Digits() - 2u));
        DrawText();
        ShowCursor();
        return kResultRefused;
    }
    if (g_NumEditField->autoRange && type < kTypeOxygen) *value = Fmt_ConvertUnit(1, *value, g_NumEditBuffer.prefix);
    return -1;
}

static int32_t KeyDigits(uint32_t event, float* value) {
    int32_t step = Menu_KeyStep(event);
    if (step != 0) {
        StepAtCursor(step);
        return -1;
    }
    if (event == kEventLeft || event == kEventRight) {
        MoveCursor(event == kEventRight ? 1 : -1);
        return -1;
    }
    if (event != kEventEnter) return -1;
    bool leave = g_NumEditBuffer.cursor == kNumEditLeave;
    if (!leave && Filter_IsStabilityActive() && Cal_GetDriftControl(g_NumEditBuffer.channel) != kDriftManual) {
        return kResultRefused;
    }
    return TakeValue(value);
}

static void StepCount(int32_t step) {
    uint8_t cursor = g_NumEditBuffer.cursor;
    if (cursor >= kCountDigits) return;
    static const int32_t kWeights[kCountDigits] = {10000, 1000, 100, 10, 1};
    uint32_t output = g_NumEditBuffer.channel;
    int32_t count = std::atoi(g_NumEditBuffer.text) + step * kWeights[cursor];
    // Each step stops at the output's own ends.
    int32_t lowest = static_cast<int32_t>(kCountLowest[output]);
    int32_t highest = static_cast<int32_t>(kCountHighest[output]);
    if (count > highest) count = highest;
    if (count < lowest) count = lowest;
    FormatCount(static_cast<float>(count));
    DrawText();
    ShowCursor();
    DriveCount();
}

static int32_t KeyOutputCal(uint32_t event, float* value) {
    int32_t step = Menu_KeyStep(event);
    if (step != 0) {
        StepCount(step);
        return -1;
    }
    uint8_t& cursor = g_NumEditBuffer.cursor;
    if (event == kEventLeft || event == kEventRight) {
        HideCursor();
        if (event == kEventLeft) {
            cursor = cursor == 0 ? kNumEditLeave : (cursor == kNumEditLeave ? kCountDigits - 1 : cursor - 1);
        } else {
            cursor = cursor == kNumEditLeave ? 0 : (cursor >= kCountDigits - 1 ? kNumEditLeave : cursor + 1);
        }
        ShowCursor();
        return -1;
    }
    if (event != kEventEnter) return -1;
    *value = static_cast<float>(std::atoi(g_NumEditBuffer.text));
    return -1;
}

int32_t NumEdit_Key(uint32_t event, float* value) {
    return IsOutputType(s_Type) ? KeyOutputCal(event, value) : KeyDigits(event, value);
}

// ---- What follows a point ----------------------------------------------------------------------------

// The editor opens again on a field at the point g_CalPoint: fresh (mode 0) or redrawn (mode 1).
static void OpenFieldAgain(uint32_t type, uint32_t mode) {
    // Redrawn, the field keeps the unit chosen.
    float value = mode == 1 ? OpeningValue(type, s_CalItem) : NumEdit_ReadFieldValue(type);
    if (IsOutputType(type)) {
        NumEdit_OpenOutputCal(type, value, mode);
    } else {
        NumEdit_Open(type, value, mode);
    }
}

int32_t NumEdit_NextField(uint32_t type) {
    uint32_t points = g_NumFieldTable[type < kNumFieldCount ? type : 0].points;
    bool last = g_CalPoint + 1u >= points;
    if (IsMeterType(type)) {
        if (last) return static_cast<int32_t>(kActionWaitForBoard);
        ++g_CalPoint;
        OpenFieldAgain(type, 0);
        return -1;
    }
    if (type == kNumFieldOut1At4mA || type == kNumFieldOut2At4mA) {
        g_CalPoint = 1;
        OpenFieldAgain(type + 2, 0);
        return -1;
    }
    if (type == kNumFieldOut1At20mA || type == kNumFieldOut2At20mA) {
        s_OutputOverride = 0;
        return static_cast<int32_t>(kEventCalStepDone);
    }
    uint32_t channel = g_NumEditBuffer.channel;
    if (last || (type == kTypeTemperature && Temp_GetElementType(channel) == 1) || g_ChosenMode == kCalModeOnePoint ||
        (CaptureMode() && Held())) {
        return static_cast<int32_t>(kEventCalStep);
    }
    if (CaptureMode()) {
        // The measured value is kept under a hold of the channel; the reference comes later.
        Menu_BeginChannelHold(g_MenuPosition);
        return static_cast<int32_t>(kEventHome);
    }
    ++g_CalPoint;
    if (type == kTypePh || type == kTypeOpticalOxygen || type == kTypeCo2 || type == kTypePna) {
        return static_cast<int32_t>(kActionList);
    }
    OpenFieldAgain(type, 0);
    return -1;
}

// ---- The screen ------------------------------------------------------------------------------------

// A point taken: recorded with the calibration, then what follows.
static int32_t Accept(float value, bool leave) {
    uint32_t type = s_Type;
    if (type == kTypeOpticalOxygen && (s_ItemChoice == kOpticalMicrograms || s_ItemChoice == kOpticalPpb)) {
        value /= 1000.0f;
    }
    uint32_t status = 0;
    Cal_SetPointById(g_MenuPosition, g_CalPoint, value, s_CalItem, &status);
    if (status == 1) return static_cast<int32_t>(kActionRedraw);
    if (leave) {
        if (IsOutputType(type)) s_OutputOverride = 0;
        if (g_CalPoint == 0) {
            if (Held()) {
                Menu_EndChannelHold();
                return static_cast<int32_t>(kEventHome);
            }
            return g_MenuPosition >= kMeasIdOutput1 ? static_cast<int32_t>(kActionBackOverList)
                                                    : static_cast<int32_t>(kActionBack);
        }
        if (type == kTypePh || type == kTypeOpticalOxygen || type == kTypeCo2 || type == kTypePna) {
            return static_cast<int32_t>(kActionBack);
        }
        // Back to the point before (the 20 mA fields back to their 4 mA field).
        --g_CalPoint;
        s_Type = static_cast<uint8_t>(type == kNumFieldOut1At20mA || type == kNumFieldOut2At20mA ? type - 2 : type);
        if (IsOutputType(type)) s_OutputOverride = 1;
        g_NumEditField = &g_NumFieldTable[s_Type];
        return static_cast<int32_t>(kActionRedraw);
    }
    if (status != 0) return static_cast<int32_t>(kActionCalNotDone);
    return NumEdit_NextField(type);
}

// The stability window reached its end: the value stands as if ENTER had been pressed.
static int32_t AcceptStable() {
    float value = 0.0f;
    if (!s_Editable) {
        value = g_CalTracking.setting;
    } else if (!Util_ParseDecimal(g_NumEditBuffer.text, &value)) {
        return static_cast<int32_t>(kActionCalNotDone);
    }
    if (s_Type == kTypeOpticalOxygen && (s_ItemChoice == kOpticalMicrograms || s_ItemChoice == kOpticalPpb)) {
        value /= 1000.0f;
    }
    uint32_t status = 0;
    Cal_SetPointById(g_MenuPosition, g_CalPoint, value, s_CalItem, &status);
    if (status != 0) return static_cast<int32_t>(kActionCalNotDone);
    if (g_CalPoint == 0 && g_ChosenMode != kCalModeOnePoint) {
        ++g_CalPoint;
        return static_cast<int32_t>(kActionList);
    }
    return static_cast<int32_t>(kEventCalStep);
}

// Once a second while the editor is on top: the recognised value, the stability window, the live
// value.
static int32_t Refresh() {
    if (IsOutputType(s_Type)) return -1;
    if (!s_Editable && g_CalTracking.autoSetting == 1) {
        uint32_t status = g_CalTracking.settingStatus;
        if (status != 0) {
            std::memset(g_NumEditBuffer.text, '-', Digits());
        } else {
            float v = g_CalTracking.setting;
            uint32_t decimals = Util_DecimalsForDigits(v, Digits() - 2u);
            FormatValue(v, decimals > 2 ? 2 : decimals);
        }
        g_NumEditBuffer.text[Digits()] = '\0';
        DrawText();
        if (g_NumEditBuffer.cursor == 0) ShowCursor();
    }
    int32_t result = -1;
    if (Filter_IsStabilityActive()) {
        float ignored = 0.0f;
        Util_ParseDecimal(g_NumEditBuffer.text, &ignored);
        if (Cal_GetDriftControl(g_NumEditBuffer.channel) != kDriftManual) {
            if (Filter_IsStabilityTimeUp()) {
                result = static_cast<int32_t>(kActionCalNotDone);
            } else if (Filter_GetStabilityState() != 0) {
                result = kResultStable;
            }
        } else if (Filter_GetStabilityState() != 0) {
            Filter_StopStability();
            Meas_DrawStateMarker(3);
        }
    }
    uint32_t end = g_NumEditValueColumn;
    uint32_t status = 0;
    g_NumEditState.value = Cal_GetValueById(g_MenuPosition, s_CalItem, &status);
    g_NumEditState.status = status;
    Screen_DrawValueWithUnit(kRowMessage, end, &g_NumEditState);
    return result;
}

int32_t NumEdit_Screen(uint32_t event) {
    if (event == kEventSpareEnter) return static_cast<int32_t>(kActionBackToFirst);
    if (event == kEventRedraw) {
        OpenFieldAgain(s_Type, 1);
        return -1;
    }
    int32_t result;
    if (event == kEventEditorSecond) {
        result = Refresh();
        if (result == kResultStable) result = AcceptStable();
    } else {
        bool leave = g_NumEditBuffer.cursor == kNumEditLeave;
        float value = 0.0f;
        result = NumEdit_Key(event, &value);
        if (event == kEventEnter && result == -1) result = Accept(value, leave);
    }
    // The editor stays on a refused value; a redraw comes back as event 62.
    if (result == kResultRefused) return -1;
    return result;
}
