// PID setup pages: output mode, tuning, the corner points of the error curve, and the manual output
// key. Everything goes into the PID settings of the working set; the menu commits them.
#include "ui/pid_pages.h"

#include <cmath>
#include <cstring>

#include "core/fmt.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/texts.h"
#include "core/ui_ids.h"
#include "core/util.h"
#include "measurement/chan_reset.h"
#include "measurement/units.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "settings/settings_work.h"
#include "ui/edit_pages.h"
#include "ui/menu.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/value_catalogue.h"
#include "ui/value_page.h"

static constexpr int32_t kStay = -1;
static constexpr uint32_t kCell = 6;

static uint32_t RowOf(uint32_t row) { return row == 0 ? kRowStatus : kRowMessage; }
static PidSettings& Work() { return g_WorkSet.pid; }
static void DrawLeaveMark(uint32_t blink) {
    if (!blink) Screen_SettleBlink();
    Lcd_DrawChannelMark(kLeaveMarkChannel, blink);
}

// ---- PID mode --------------------------------------------------------------------------------------

// Parameter page 44: field 0 the output kind ("OC"), 1 the pulse type, 2 and 3 the relays of the
// positive and the negative output. All four stand on row 11 here.
static constexpr uint8_t kModeFieldType = 1;
static constexpr uint8_t kModeFieldPositive = 2;
static constexpr uint8_t kModeFieldNegative = 3;
static constexpr uint8_t kModeNumber = 5;
static constexpr uint8_t kModeLeave = 6;
static constexpr uint8_t kRelay1 = 0;
static constexpr uint8_t kRelay2 = 1;
// Value pages 22 and 23 hold the pulse length and frequency on their line 1, three digits.
static constexpr uint32_t kPulseLine = 1;
static constexpr uint32_t kPulseDigits = 3;
static constexpr uint32_t kTextPulseLength = 3;
static constexpr uint32_t kTextPulseFreq = 4;
static constexpr uint32_t kTextUnitSec = 6;
static constexpr uint32_t kTextUnitPerMinute = 17;
// A pulse length the controller keeps (its settings allow 1 to 60 s), a frequency up to 180 per
// minute.
static constexpr float kPulseLengthLowest = 1.0f;
static constexpr float kPulseLengthHighest = 60.0f;
static constexpr float kPulseFreqHighest = 180.0f;
// The word of the relay a PID output wants but another user has.
static constexpr uint16_t kConflictPositive = 256;
static constexpr uint16_t kConflictNegative = 512;
static constexpr uint16_t kConflictRelayFactor = 4096;

static uint8_t s_ModeField;

static bool FrequencyType() { return Work().pulseType == kPidPulseFrequency; }
static uint32_t PulsePage() { return FrequencyType() ? kValuePagePulseFreq : kValuePagePulseLength; }
static uint32_t PulseColumn() { return ValuePage_ValueColumn(PulsePage(), kPulseLine, Menu_Language()); }
static char* PulseText() { return g_EditLines[kPulseLine].text; }
static uint32_t ModeColumn(uint32_t field) {
    return g_ParamPageTable[kParamPagePidMode].valueColumn[Menu_Language()][field];
}

void Screen_PidModeChoice(uint32_t field, uint32_t selected) {
    if (field >= kParamFields) return;
    const ParamPageDesc& d = g_ParamPageTable[kParamPagePidMode];
    uint32_t group = d.choiceGroup[field];
    int8_t value = g_PageEdit.values[field];
    uint32_t count = d.choiceCount[field] > 0 ? d.choiceCount[field] : 1;
    uint32_t index = value >= 0 && static_cast<uint32_t>(value) < count ? static_cast<uint32_t>(value) : count - 1;
    uint32_t column = ModeColumn(field);
    Lcd_ClearSpan(kRowStatus, column, d.valueWidth[Menu_Language()][field]);
    if (selected) {
        Lcd_DrawMessageBlink(kRowStatus, column, group, index, Menu_Language());
    } else {
        Lcd_DrawMessage(kRowStatus, column, group, index, Menu_Language());
    }
}

void Screen_PidModeFields(uint32_t field) {
    for (uint32_t f = 0; f < kParamFields; ++f) {
        if (f != field) Screen_PidModeChoice(f, 0);
    }
    if (field < kParamFields) Screen_PidModeChoice(field, 1);
}

void Screen_PidModeRow() {
    Lcd_ClearSpan(kRowStatus, 0, kLcdColumns);
    Lcd_DrawTextRef(kRowStatus, 0, kTextPidModeLabel);
    Lcd_DrawText(kRowStatus, ModeColumn(kModeFieldPositive) - kCell, "#");
    Lcd_DrawText(kRowStatus, ModeColumn(kModeFieldNegative) - kCell, "#");
}

// The number into line 1 of the pulse type's value page, three digits without decimals.
static void LoadPulseNumber() {
    ValuePage_MakeCurrent(PulsePage());
    g_ValuePageLine = kPulseLine;
    g_ValuePageCursor = 0;
    float value = FrequencyType() ? Work().pulseFrequency : Work().pulseLength;
    if (!(value >= 0.0f)) value = 0.0f;
    if (value > 999.0f) value = 999.0f;
    Util_UIntToDecimal(static_cast<uint32_t>(value + 0.5f), kPulseDigits, PulseText());
    g_EditLines[kPulseLine].point = 255;
}

static void DrawPulseLine(TextRef label, uint32_t equalsBefore, TextRef unit, uint32_t plain) {
    Lcd_ClearSpan(kRowMessage, 0, kLeaveMarkColumn);
    Lcd_DrawTextRef(kRowMessage, 0, label);
    uint32_t column = PulseColumn();
    Lcd_DrawText(kRowMessage, column - equalsBefore, "=");
    Lcd_DrawText(kRowMessage, column, PulseText());
    // The frequency's unit ends right at the leave marker.
    char text[kTextMaxChars + 1];
    Text_Copy(unit, text);
    Screen_DrawFieldText(kRowMessage, column + kCell * (kPulseDigits + 1), text);
    if (!plain) Lcd_DrawEditChar(kRowMessage, column, PulseText(), static_cast<uint32_t>(g_ValuePageCursor), 1);
}

void Screen_PidPulseLengthLine(uint32_t plain) {
    DrawPulseLine(Text_Nth(kTextValueLabelsB, kTextPulseLength), 2 * kCell, Text_Nth(kTextUnits, kTextUnitSec), plain);
}

void Screen_PidPulseFreqLine(uint32_t plain) {
    DrawPulseLine(Text_Nth(kTextValueLabelsB, kTextPulseFreq), kCell, Text_Nth(kTextUnits, kTextUnitPerMinute), plain);
}

static void DrawPulseNumberLine() {
    if (FrequencyType()) {
        Screen_PidPulseFreqLine(1);
    } else {
        Screen_PidPulseLengthLine(1);
    }
}

// The field at the cursor, plain or blinking.
static void DrawModeCursor(uint32_t blink) {
    if (s_ModeField < kParamFields) {
        if (!blink) Screen_SettleBlink();
        Screen_PidModeChoice(s_ModeField, blink);
    } else if (s_ModeField == kModeNumber) {
        Lcd_DrawEditChar(kRowMessage, PulseColumn(), PulseText(), static_cast<uint32_t>(g_ValuePageCursor), blink);
    } else {
        DrawLeaveMark(blink);
    }
}

static void DrawModePage(uint8_t field) {
    g_DisplayMode = kKeyModeMenu;
    Menu_ClearStatusRows();
    Screen_PidModeRow();
    LoadPulseNumber();
    DrawPulseNumberLine();
    s_ModeField = field;
    Screen_PidModeFields(kParamFields);
    Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
    DrawModeCursor(1);
}

void Screen_PidModeDraw(uint32_t redraw) {
    ParamPage_SetCurrent(kParamPagePidMode);
    g_PageEdit.field = 0;
    ParamPage_LoadValues(kParamPagePidMode);
    DrawModePage(redraw ? kModeLeave : 0);
}

// CAL order: 0, 1, 2, 3, the number's three digits, the leave marker.
static void MoveModeCursor(bool forward) {
    DrawModeCursor(0);
    if (forward) {
        if (s_ModeField < kModeFieldNegative) {
            ++s_ModeField;
        } else if (s_ModeField == kModeFieldNegative) {
            s_ModeField = kModeNumber;
            g_ValuePageCursor = 0;
        } else if (s_ModeField == kModeNumber && g_ValuePageCursor + 1 < static_cast<int32_t>(kPulseDigits)) {
            ++g_ValuePageCursor;
        } else if (s_ModeField == kModeNumber) {
            s_ModeField = kModeLeave;
        } else {
            s_ModeField = 0;
        }
    } else {
        if (s_ModeField == 0) {
            s_ModeField = kModeLeave;
        } else if (s_ModeField < kParamFields) {
            --s_ModeField;
        } else if (s_ModeField == kModeLeave) {
            s_ModeField = kModeNumber;
            g_ValuePageCursor = kPulseDigits - 1;
        } else if (g_ValuePageCursor > 0) {
            --g_ValuePageCursor;
        } else {
            s_ModeField = kModeFieldNegative;
        }
    }
    DrawModeCursor(1);
}

// The relay of a PID output in use by another user: the word for the "Stop OC" page, or 0.
static uint16_t RelayConflict(uint8_t relay, uint16_t output) {
    if (relay >= kRelayNone) return 0;
    uint32_t usage = Relay_GetUsage(relay);
    if (usage == 0) return 0;
    return static_cast<uint16_t>(usage + relay * kConflictRelayFactor + output);
}

uint16_t Screen_PidRelayConflict() {
    uint16_t conflict = RelayConflict(Work().relayPositive, kConflictPositive);
    return conflict != 0 ? conflict : RelayConflict(Work().relayNegative, kConflictNegative);
}

static int32_t ModeEnter() {
    bool leave = s_ModeField == kModeLeave;
    g_PageCursor = leave ? kPageCursorMarker : kPageCursorField;
    float number = 0.0f;
    if (!Util_ParseDecimal(PulseText(), &number)) number = 0.0f;
    float lowest = FrequencyType() ? 0.0f : kPulseLengthLowest;
    float highest = FrequencyType() ? kPulseFreqHighest : kPulseLengthHighest;
    float kept = number < lowest ? lowest : (number > highest ? highest : number);
    if (FrequencyType()) {
        Work().pulseFrequency = kept;
    } else {
        Work().pulseLength = kept;
    }
    if (kept != number) {
        // Brought into range: the line shows it with its first digit selected, and the page stays.
        Menu_BlinkOff();
        LoadPulseNumber();
        s_ModeField = kModeNumber;
        DrawPulseNumberLine();
        Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
        DrawModeCursor(1);
        return kStay;
    }
    uint16_t conflict = Screen_PidRelayConflict();
    ParamPage_SetRelayConflict(conflict);
    if (conflict != 0) return static_cast<int32_t>(kActionStopRelayPage);
    return static_cast<int32_t>(leave ? kActionBackToFirst : kActionPidHoldPage);
}

int32_t Screen_PidModeKey(uint32_t event) {
    int32_t step = Menu_KeyStep(event);
    if (step != 0) {
        switch (s_ModeField) {
            case kModeFieldType:
                Work().pulseType = Work().pulseType == kPidPulseLength ? kPidPulseFrequency : kPidPulseLength;
                g_PageEdit.values[kModeFieldType] = static_cast<int8_t>(Work().pulseType);
                DrawModePage(kModeFieldType);
                break;
            case kModeFieldPositive:
                Work().relayPositive = Work().relayPositive == kRelay1 ? kRelayNone : kRelay1;
                g_PageEdit.values[kModeFieldPositive] = static_cast<int8_t>(Work().relayPositive);
                DrawModeCursor(1);
                break;
            case kModeFieldNegative:
                Work().relayNegative = Work().relayNegative == kRelay2 ? kRelayNone : kRelay2;
                g_PageEdit.values[kModeFieldNegative] = static_cast<int8_t>(Work().relayNegative);
                DrawModeCursor(1);
                break;
            case kModeNumber: {
                float ignored[2] = {0.0f, 0.0f};
                ValuePage_Key(event, ignored);
                break;
            }
            default:
                break;
        }
        return kStay;
    }
    switch (event) {
        case kEventRight:
        case kEventLeft:
            MoveModeCursor(event == kEventRight);
            return kStay;
        case kEventEnter:
            return ModeEnter();
        case kEventRedraw:
            Screen_PidModeDraw(1);
            return kStay;
        default:
            return kStay;
    }
}

// ---- PID tuning -----------------------------------------------------------------------------------

// Digit fields 1 to 3: gain, reset time, rate time; the cursor's 0 is the line, 20 the marker.
static constexpr uint8_t kTuneLine = 0;
static constexpr uint8_t kTuneGain = 1;
static constexpr uint8_t kTuneReset = 2;
static constexpr uint8_t kTuneRate = 3;
static constexpr uint8_t kTuneLeave = 20;
static constexpr uint32_t kTextPidOn = 5;
static constexpr uint32_t kTextGain = 6;
static constexpr uint32_t kTextTr = 7;
static constexpr uint32_t kTextTd = 8;
static constexpr float kGainHighest = 20.0f;
static constexpr uint32_t kTuneRows[4] = {0, 0, 1, 1};
static constexpr uint32_t kTuneColumns[4] = {0, 114, 18, 90};
static constexpr uint32_t kTuneWidths[4] = {0, 5, 4, 4};
static constexpr uint32_t kTuneDigits[4] = {0, 3, 2, 2};
static constexpr uint32_t kLanguageSpanish = 4;
static constexpr uint32_t kLanguageRussian = 6;

static uint32_t LineLetterColumn() {
    char label[kTextMaxChars + 1];
    uint32_t n = Text_Copy(Text_Nth(kTextValueLabelsB, kTextPidOn), label);
    return kCell * (Menu_Language() == kLanguageSpanish ? n : n + 1);
}

static void DrawLineLetter(uint32_t blink) {
    uint8_t source = Work().source < kPidSourceOff ? Work().source : kPidSourceOff;
    TextRef letter = Text_Nth(kTextLineLetters, source);
    Lcd_ClearSpan(kRowStatus, LineLetterColumn(), kCell);
    if (blink) {
        Lcd_DrawTextRefBlink(kRowStatus, LineLetterColumn(), letter);
    } else {
        Lcd_DrawTextRef(kRowStatus, LineLetterColumn(), letter);
    }
}

void Screen_PidTuneField(uint32_t row, uint32_t field, float value) {
    if (field == 0 || field > kTuneRate) return;
    Screen_SetDigitField(field, value, kTuneDigits[field], kTuneWidths[field]);
    Lcd_ClearSpan(RowOf(row), kTuneColumns[field], kCell * kTuneWidths[field]);
    Lcd_DrawText(RowOf(row), kTuneColumns[field], g_DigitFields[field].text);
}

static void DrawTuneCursor(uint32_t blink) {
    uint8_t field = g_DigitFieldCursor;
    if (field == kTuneLine) {
        if (!blink) Screen_SettleBlink();
        DrawLineLetter(blink);
    } else if (field <= kTuneRate) {
        DigitField& f = g_DigitFields[field];
        Lcd_DrawEditChar(RowOf(kTuneRows[field]), kTuneColumns[field], f.text, f.cursor, blink);
    } else {
        DrawLeaveMark(blink);
    }
}

void Screen_PidTuneDraw(uint32_t redraw) {
    g_DisplayMode = kKeyModeMenu;
    Menu_ClearStatusRows();
    uint32_t gainColumn = Menu_Language() == kLanguageSpanish ? 78 : (Menu_Language() == kLanguageRussian ? 60 : 72);
    Lcd_DrawTextRef(kRowStatus, 0, Text_Nth(kTextValueLabelsB, kTextPidOn));
    Lcd_DrawTextRef(kRowStatus, gainColumn, Text_Nth(kTextValueLabelsB, kTextGain));
    Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextValueLabelsB, kTextTr));
    Lcd_DrawTextRef(kRowMessage, 72, Text_Nth(kTextValueLabelsB, kTextTd));
    // Reset and rate time are in minutes.
    Lcd_DrawText(kRowMessage, 48, "m");
    Lcd_DrawText(kRowMessage, 120, "m");
    DrawLineLetter(0);
    const float values[4] = {0.0f, Work().gain, Work().resetTime, Work().rateTime};
    for (uint32_t field = kTuneGain; field <= kTuneRate; ++field) {
        Screen_PidTuneField(kTuneRows[field], field, values[field]);
        g_DigitFields[field].cursor = 0;
    }
    Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
    g_DigitFieldCursor = redraw ? kTuneLeave : kTuneLine;
    if (redraw) Menu_BlinkOff();
    DrawTuneCursor(1);
}

// The point of a number moved to the '.' under its cursor.
static void SettleTunePoint(uint8_t field) {
    if (field < kTuneGain || field > kTuneRate) return;
    Screen_StepDigitText(field, g_DigitFields[field].cursor, RowOf(kTuneRows[field]), kTuneColumns[field]);
}

// CAL: the line, each character of the three numbers, the marker, and round again.
static void MoveTuneCursor(bool forward) {
    DrawTuneCursor(0);
    uint8_t field = g_DigitFieldCursor;
    SettleTunePoint(field);
    if (forward) {
        if (field == kTuneLeave) {
            field = kTuneLine;
        } else if (field == kTuneLine) {
            field = kTuneGain;
            g_DigitFields[field].cursor = 0;
        } else if (g_DigitFields[field].cursor + 1 < kTuneWidths[field]) {
            ++g_DigitFields[field].cursor;
        } else if (field < kTuneRate) {
            ++field;
            g_DigitFields[field].cursor = 0;
        } else {
            field = kTuneLeave;
        }
    } else {
        if (field == kTuneLine) {
            field = kTuneLeave;
        } else if (field == kTuneLeave) {
            field = kTuneRate;
            g_DigitFields[field].cursor = kTuneWidths[field] - 1;
        } else if (g_DigitFields[field].cursor > 0) {
            --g_DigitFields[field].cursor;
        } else if (field > kTuneGain) {
            --field;
            g_DigitFields[field].cursor = kTuneWidths[field] - 1;
        } else {
            field = kTuneLine;
        }
    }
    g_DigitFieldCursor = field;
    DrawTuneCursor(1);
}

static int32_t TuneEnter() {
    bool leave = g_DigitFieldCursor == kTuneLeave;
    Settings_RefreshPidForKind();
    for (uint8_t field = kTuneGain; field <= kTuneRate; ++field) SettleTunePoint(field);
    float* targets[4] = {nullptr, &Work().gain, &Work().resetTime, &Work().rateTime};
    float gain = Work().gain;
    Screen_ParseDigitField(kTuneGain, &gain);
    for (uint8_t field = kTuneReset; field <= kTuneRate; ++field) Screen_ParseDigitField(field, targets[field]);
    if (gain > kGainHighest) {
        Work().gain = kGainHighest;
        Screen_SettleBlink();
        Menu_BlinkOff();
        Screen_PidTuneField(kTuneRows[kTuneGain], kTuneGain, kGainHighest);
        g_DigitFieldCursor = kTuneGain;
        g_DigitFields[kTuneGain].cursor = 0;
        Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
        DrawTuneCursor(1);
        return kStay;
    }
    Work().gain = gain;
    return static_cast<int32_t>(leave ? kActionBackToFirst : kActionPidSetPointPage);
}

int32_t Screen_PidTuneKey(uint32_t event) {
    int32_t step = Menu_KeyStep(event);
    if (step != 0) {
        uint8_t field = g_DigitFieldCursor;
        if (field == kTuneLine) {
            uint32_t count = kPidSourceOff + 1;
            uint32_t source = Work().source < kPidSourceOff ? Work().source : kPidSourceOff;
            Work().source = static_cast<uint8_t>(step > 0 ? (source + 1) % count : (source + count - 1) % count);
            DrawLineLetter(1);
        } else if (field <= kTuneRate) {
            DigitField& f = g_DigitFields[field];
            NumEdit_StepDigit(f.text, f.cursor, '.', '9', step);
            if (f.point < kDigitFieldBytes && f.text[f.point] != '.') f.point = kDigitPointNone;
            DrawTuneCursor(1);
        }
        return kStay;
    }
    switch (event) {
        case kEventRight:
        case kEventLeft:
            MoveTuneCursor(event == kEventRight);
            return kStay;
        case kEventEnter:
            return TuneEnter();
        case kEventRedraw:
            Screen_PidTuneDraw(1);
            return kStay;
        default:
            return kStay;
    }
}

// ---- PID corners -------------------------------------------------------------------------------------

// Digit fields: 0 lower x, 1 lower y, 2 upper x, 3 upper y; the cursor's 4 is the marker. An x
// field has a sixth place, its unit's prefix, where the controlled line's unit takes one.
static constexpr uint8_t kCornerLeave = 4;
static constexpr uint32_t kCornerFields = 4;
static constexpr uint32_t kCornerWidth = 5;
static constexpr uint32_t kCornerDigits = 3;
static constexpr uint32_t kCornerUnitPlace = 5;
static constexpr uint32_t kCornerUnitAfter = 30;
static constexpr uint32_t kCornerYAfter[2] = {42, 54};
static constexpr uint32_t kTextCornerLabels[2][2] = {{15, 16}, {17, 18}};
static constexpr float kLowerYSlack = 0.0005f;
static constexpr float kUpperYSlack = 0.005f;
static constexpr float kYZero = 0.0001f;

// The prefixes an x may be shown in, by the family of the line's own prefix.
static const uint8_t kSmallPrefixes[] = {kPrefixNone, kPrefixMilli, kPrefixMicro, kPrefixNano};
static const uint8_t kLargePrefixes[] = {kPrefixNone, kPrefixKilo, kPrefixMega};
static const uint8_t kRatioPrefixes[] = {6, 7, 8, 9};

static uint8_t s_Form;
static uint8_t s_XPrefix;
static float s_AllowedY[2];

static uint32_t CornerLabelEnd(uint32_t row) {
    char label[kTextMaxChars + 1];
    return kCell * (Text_Copy(Text_Nth(kTextValueLabelsB, kTextCornerLabels[s_Form][row]), label) + 1);
}
static uint32_t CornerColumn(uint32_t field) {
    uint32_t x = CornerLabelEnd(field / 2);
    return field % 2 == 0 ? x : x + kCornerYAfter[s_Form];
}

static void LineUnit(uint8_t* code, uint8_t* prefix) { ValuePage_RangeUnit(24, code, prefix); }

// The family of prefixes the line's unit has, or none.
static const uint8_t* PrefixFamily(uint32_t* count) {
    uint8_t code = 30, prefix = kPrefixNone;
    LineUnit(&code, &prefix);
    *count = 0;
    if (prefix >= kPrefixNano && prefix <= kPrefixMilli) {
        *count = sizeof kSmallPrefixes;
        return kSmallPrefixes;
    }
    if (prefix == kPrefixMega || prefix == kPrefixKilo) {
        *count = sizeof kLargePrefixes;
        return kLargePrefixes;
    }
    if (prefix >= 6 && prefix <= 9) {
        *count = sizeof kRatioPrefixes;
        return kRatioPrefixes;
    }
    return nullptr;
}

static uint32_t CornerPlaces(uint32_t field) {
    uint32_t count = 0;
    PrefixFamily(&count);
    return field % 2 == 0 && count > 0 ? kCornerWidth + 1 : kCornerWidth;
}

static void DrawXUnit(uint32_t row, uint32_t blink) {
    uint8_t code = 30, prefix = kPrefixNone;
    LineUnit(&code, &prefix);
    uint32_t column = CornerColumn(2 * row) + kCornerUnitAfter;
    // The unit fills the cells before the y field.
    uint32_t cells = (CornerColumn(2 * row + 1) - column) / kCell;
    Lcd_ClearSpan(RowOf(row), column, kCell * cells);
    char text[kTextMaxChars + 1] = {};
    uint32_t count = 0;
    if (PrefixFamily(&count) != nullptr && s_XPrefix != kPrefixNone) {
        static const char* const kSymbols[10] = {"", "n", "{", "m", "M", "K", "ppk", "ppm", "ppb", "ppt"};
        std::strcpy(text, kSymbols[s_XPrefix < 10 ? s_XPrefix : 0]);
    }
    std::strncat(text, Unit_GetText(code), kTextMaxChars - std::strlen(text));
    if (std::strlen(text) > cells) text[cells] = '\0';
    if (blink) {
        Lcd_DrawTextBlink(RowOf(row), column, text);
        // The y right after the unit keeps its first column.
        Screen_DrawFieldText(RowOf(row), CornerColumn(2 * row + 1), g_DigitFields[2 * row + 1].text);
    } else {
        Screen_DrawFieldText(RowOf(row), column, text);
    }
}

static float ToShown(float x) { return ValuePage_ToChannelUnit(x, s_XPrefix); }
static float FromShown(float x) { return ValuePage_ParseInUnit(x, s_XPrefix); }

void Screen_PidLimitsField(uint32_t row, uint32_t field, uint32_t column, float value) {
    // An upper y just below zero shows as zero.
    if (field == 3 && value > -kLowerYSlack && value <= 0.0f) value = 0.0f;
    Screen_SetDigitField(field, value, kCornerDigits, kCornerWidth);
    Lcd_ClearSpan(RowOf(row), column, kCell * kCornerWidth);
    Screen_DrawFieldText(RowOf(row), column, g_DigitFields[field].text);
}

static void DrawCornerField(uint32_t field, float value) {
    Screen_PidLimitsField(field / 2, field, CornerColumn(field), value);
    if (field % 2 == 0) DrawXUnit(field / 2, 0);
}

// The y each corner may have for its x: the output fraction of the x between the band and the limit.
static float AllowedY(uint32_t corner, float x) {
    const PidSettings& p = Work();
    float band = std::fabs(p.deadBand);
    float y = 0.0f;
    if (corner == 0) {
        Pid_ScaleToUnitRange(p.setPoint - band, p.lowerLimit, x, &y, 0);
    } else {
        Pid_ScaleToUnitRange(p.setPoint + band, p.upperLimit, x, &y, 1);
    }
    return std::fabs(y) < kYZero ? 0.0f : y;
}

static void DrawCornerCursor(uint32_t blink) {
    uint8_t field = g_DigitFieldCursor;
    if (field >= kCornerFields) {
        DrawLeaveMark(blink);
        return;
    }
    DigitField& f = g_DigitFields[field];
    if (f.cursor == kCornerUnitPlace) {
        if (!blink) Screen_SettleBlink();
        DrawXUnit(field / 2, blink);
        return;
    }
    Lcd_DrawEditChar(RowOf(field / 2), CornerColumn(field), f.text, f.cursor, blink);
}

void Screen_PidLimitsDraw(uint32_t form, uint32_t redraw) {
    s_Form = static_cast<uint8_t>(form == 0 ? 0 : 1);
    g_DisplayMode = kKeyModeMenu;
    uint8_t code = 30;
    LineUnit(&code, &s_XPrefix);
    uint32_t count = 0;
    if (PrefixFamily(&count) == nullptr) s_XPrefix = kPrefixNone;
    Menu_ClearStatusRows();
    for (uint32_t row = 0; row < 2; ++row) {
        Lcd_DrawTextRef(RowOf(row), 0, Text_Nth(kTextValueLabelsB, kTextCornerLabels[s_Form][row]));
    }
    const PidSettings& p = Work();
    s_AllowedY[0] = AllowedY(0, p.lowerCornerX);
    s_AllowedY[1] = AllowedY(1, p.upperCornerX);
    const float values[kCornerFields] = {ToShown(p.lowerCornerX), p.lowerCornerY, ToShown(p.upperCornerX),
                                         p.upperCornerY};
    for (uint32_t field = 0; field < kCornerFields; ++field) {
        DrawCornerField(field, values[field]);
        g_DigitFields[field].cursor = 0;
    }
    Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
    g_DigitFieldCursor = redraw ? kCornerLeave : 0;
    if (redraw) Menu_BlinkOff();
    DrawCornerCursor(1);
}

static void SettleCornerPoint(uint8_t field) {
    if (field >= kCornerFields || g_DigitFields[field].cursor >= kCornerWidth) return;
    Screen_StepDigitText(field, g_DigitFields[field].cursor, RowOf(field / 2), CornerColumn(field));
}

static void MoveCornerCursor(bool forward) {
    DrawCornerCursor(0);
    uint8_t field = g_DigitFieldCursor;
    SettleCornerPoint(field);
    if (forward) {
        if (field >= kCornerFields) {
            field = 0;
            g_DigitFields[0].cursor = 0;
        } else if (g_DigitFields[field].cursor + 1 < CornerPlaces(field)) {
            ++g_DigitFields[field].cursor;
        } else if (++field < kCornerFields) {
            g_DigitFields[field].cursor = 0;
        }
    } else {
        if (field >= kCornerFields) {
            field = kCornerFields - 1;
            g_DigitFields[field].cursor = CornerPlaces(field) - 1;
        } else if (g_DigitFields[field].cursor > 0) {
            --g_DigitFields[field].cursor;
        } else if (field > 0) {
            --field;
            g_DigitFields[field].cursor = CornerPlaces(field) - 1;
        } else {
            field = kCornerLeave;
        }
    }
    g_DigitFieldCursor = field < kCornerFields ? field : kCornerLeave;
    DrawCornerCursor(1);
}

// After a step in an x field: the x held between its limit and the band, its y the allowed one.
static void FollowX(uint8_t field) {
    uint32_t corner = field / 2;
    float shown = 0.0f;
    if (!Screen_ParseDigitField(field, &shown)) return;
    const PidSettings& p = Work();
    float band = std::fabs(p.deadBand);
    float x = FromShown(shown);
    float low = corner == 0 ? p.lowerLimit : p.setPoint + band;
    float high = corner == 0 ? p.setPoint - band : p.upperLimit;
    bool held = false;
    if (x < low) {
        x = low;
        held = true;
    }
    if (x > high) {
        x = high;
        held = true;
    }
    s_AllowedY[corner] = AllowedY(corner, x);
    uint32_t cursor = g_DigitFields[field].cursor;
    if (held) DrawCornerField(field, ToShown(x));
    g_DigitFields[field].cursor = cursor;
    DrawCornerField(field + 1u, s_AllowedY[corner]);
}

static int32_t CornersEnter() {
    bool leave = g_DigitFieldCursor >= kCornerFields;
    if (!leave) SettleCornerPoint(g_DigitFieldCursor);
    PidSettings& p = Work();
    float shown[kCornerFields] = {ToShown(p.lowerCornerX), p.lowerCornerY, ToShown(p.upperCornerX), p.upperCornerY};
    for (uint32_t field = 0; field < kCornerFields; ++field) Screen_ParseDigitField(field, &shown[field]);
    p.lowerCornerX = FromShown(shown[0]);
    p.upperCornerX = FromShown(shown[2]);
    float allowed[2] = {AllowedY(0, p.lowerCornerX), AllowedY(1, p.upperCornerX)};
    float y[2] = {shown[1], shown[3]};
    int32_t refused = -1;
    for (uint32_t corner = 0; corner < 2; ++corner) {
        float slack = corner == 0 ? kLowerYSlack : kUpperYSlack;
        bool wrongSide = corner == 0 ? y[corner] < 0.0f : y[corner] > 0.0f;
        if (std::fabs(y[corner]) > std::fabs(allowed[corner]) + slack || wrongSide) {
            y[corner] = allowed[corner];
            if (refused < 0) refused = static_cast<int32_t>(corner);
        }
    }
    p.lowerCornerY = y[0];
    p.upperCornerY = y[1];
    if (refused >= 0) {
        uint8_t field = static_cast<uint8_t>(2 * refused + 1);
        Screen_SettleBlink();
        Menu_BlinkOff();
        DrawCornerField(field, y[refused]);
        Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
        g_DigitFieldCursor = field;
        g_DigitFields[field].cursor = 0;
        DrawCornerCursor(1);
        return kStay;
    }
    return static_cast<int32_t>(leave ? kActionBack : kActionAskSave);
}

int32_t Screen_PidLimitsKey(uint32_t form, uint32_t event) {
    s_Form = static_cast<uint8_t>(form == 0 ? 0 : 1);
    int32_t step = Menu_KeyStep(event);
    if (step != 0) {
        uint8_t field = g_DigitFieldCursor;
        if (field >= kCornerFields) return kStay;
        DigitField& f = g_DigitFields[field];
        if (f.cursor == kCornerUnitPlace) {
            // The x in the next or previous prefix of its family, the value itself unchanged.
            uint32_t count = 0;
            const uint8_t* family = PrefixFamily(&count);
            if (family == nullptr) return kStay;
            float x = 0.0f;
            bool number = Screen_ParseDigitField(field, &x) != 0;
            if (number) x = FromShown(x);
            uint32_t at = 0;
            while (at < count && family[at] != s_XPrefix) ++at;
            at = at >= count ? 0 : (step > 0 ? (at + 1) % count : (at + count - 1) % count);
            s_XPrefix = family[at];
            for (uint32_t row = 0; row < 2; ++row) {
                float other = row == 0 ? Work().lowerCornerX : Work().upperCornerX;
                float value = row == field / 2 && number ? x : other;
                uint32_t cursor = g_DigitFields[2 * row].cursor;
                DrawCornerField(2 * row, ToShown(value));
                g_DigitFields[2 * row].cursor = cursor;
            }
            DrawCornerCursor(1);
            return kStay;
        }
        NumEdit_StepDigit(f.text, f.cursor, f.cursor == 0 ? '-' : '.', '9', step);
        if (f.point < kDigitFieldBytes && f.text[f.point] != '.') f.point = kDigitPointNone;
        if (field % 2 == 0) FollowX(field);
        DrawCornerCursor(1);
        return kStay;
    }
    switch (event) {
        case kEventRight:
        case kEventLeft:
            MoveCornerCursor(event == kEventRight);
            return kStay;
        case kEventEnter:
            return CornersEnter();
        case kEventRedraw:
            Screen_PidLimitsDraw(s_Form, 1);
            return kStay;
        default:
            return kStay;
    }
}

// ---- Manual output ---------------------------------------------------------------------------------

// Repeats of a held key so far: 0.2 % for the first ten, 2 % for the next five, 10 % after that.
static uint32_t s_ManualRepeats;
static constexpr uint32_t kRepeatsFine = 10;
static constexpr uint32_t kRepeatsMedium = 15;
static constexpr float kStepFine = 0.2f;
static constexpr float kStepMedium = 2.0f;
static constexpr float kStepCoarse = 10.0f;
static constexpr float kPercentFull = 100.0f;
// A long hold's release: UP or INFO + 0x40.
static constexpr uint32_t kEventUpReleased = 0x42;
static constexpr uint32_t kEventDownReleased = 0x43;

int32_t Screen_PidManualKey(uint32_t event, float percent) {
    if (Pid_IsHeld()) return static_cast<int32_t>(kActionPidUnchanged);
    bool positive = Pid_GetPulseRelay(0) < kRelayNone;
    bool negative = Pid_GetPulseRelay(1) < kRelayNone;
    float lowest = positive && !negative ? 0.0f : -kPercentFull;
    float highest = negative && !positive ? 0.0f : kPercentFull;
    int32_t result = kStay;
    float step =
        s_ManualRepeats < kRepeatsFine ? kStepFine : (s_ManualRepeats < kRepeatsMedium ? kStepMedium : kStepCoarse);
    switch (event) {
        case kEventUp:
            percent += kStepFine;
            break;
        case kEventPidDown:
            percent -= kStepFine;
            break;
        case kEventUpRepeat:
            percent += step;
            ++s_ManualRepeats;
            break;
        case kEventDownRepeat:
            percent -= step;
            ++s_ManualRepeats;
            break;
        case kEventUpReleased:
        case kEventDownReleased:
            s_ManualRepeats = 0;
            break;
        default:
            result = static_cast<int32_t>(kActionPidUnchanged);
            break;
    }
    if (!(percent >= lowest)) percent = lowest;
    if (percent > highest) percent = highest;
    // Tenths of a percent: the steps add up without drifting.
    percent = std::round(percent * 10.0f) / 10.0f;
    Pid_SetManualOutput(percent / kPercentFull);
    return result;
}

void Screen_ResetPidState() {
    s_ModeField = 0;
    s_Form = 0;
    s_XPrefix = kPrefixNone;
    s_AllowedY[0] = s_AllowedY[1] = 0.0f;
    s_ManualRepeats = 0;
}
