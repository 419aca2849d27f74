// Value pages: the two-line editor. A page's values are held as text in two edit lines, stepped
// character by character, parsed on ENTER, checked and stored by the catalogue; ENTER then leads
// where the catalogue says.
#include "ui/value_page.h"

#include <cmath>
#include <cstring>

#include "core/fmt.h"
#include "core/fw_hook.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/rtc.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/util.h"
#include "measurement/cal_values.h"
#include "measurement/concentration.h"
#include "measurement/meas.h"
#include "measurement/temperature.h"
#include "measurement/units.h"
#include "outputs/aout.h"
#include "outputs/setpoint.h"
#include "ui/menu.h"
#include "ui/menu_tree.h"
#include "ui/numedit.h"
#include "ui/value_catalogue.h"

const ValuePageDesc* g_ValuePage = &g_ValuePageTable[0];
uint8_t g_ValuePageNumber;
uint8_t g_ValuePageLine;
int32_t g_ValuePageCursor;
EditLine g_EditLines[2];
int8_t g_ValuePageChoice[2];
uint8_t g_EditRelay;
uint8_t g_PasswordChoice;
uint8_t g_ValuePageSelector;
uint8_t g_ValuePageReentry;
static float s_Values[2];
// The lines as the page drew them from its setting, with their choices, and the page they belong
// to (255: none, the page was made current without being drawn).
static char s_DrawnText[2][kEditTextMax + 1];
static int8_t s_DrawnChoice[2];
static uint8_t s_DrawnPage = 255;

// Range pages: the position index's last value and the cursor and line at each index.
struct RangeStart {
    uint8_t last;
    int8_t cursor[12];
    uint8_t line[12];
};
static const RangeStart kRangeSetPointPair = {
    11, {-1, 0, 1, 2, 3, 4, 0, 1, 2, 3, 4, kCursorLeave}, {0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1}};
static const RangeStart kRangeOutputLow = {5, {0, 1, 2, 3, 4, kCursorLeave}, {1, 1, 1, 1, 1, 1}};
static const RangeStart kRangeSetPointOne = {6, {-1, 0, 1, 2, 3, 4, kCursorLeave}, {1, 1, 1, 1, 1, 1, 1}};
static const RangeStart kRangePid = {
    10, {0, 1, 2, 3, 4, 0, 1, 2, 3, 4, kCursorLeave}, {0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1}};
static const RangeStart kRangeSetPointOff = {1, {-1, kCursorLeave}, {1, 1}};

static const RangeStart* RangeOf(uint32_t page) {
    switch (page) {
        case kValuePageSetPointRange:
        case kValuePageOutputRange:
            return &kRangeSetPointPair;
        case kValuePageOutputLow:
            return &kRangeOutputLow;
        case kValuePageSetPointValue:
            return &kRangeSetPointOne;
        case kValuePagePid:
        case kValuePagePropLimits:
        case kValuePagePropLimits2:
            return &kRangePid;
        case kValuePageSetPointOff:
            return &kRangeSetPointOff;
        default:
            return nullptr;
    }
}

// The menu tree's node for "Quick Setup": the range pages skip their selector under it.
static constexpr uint8_t kNodeQuickSetup = 1;
// Output test: the currents a line may hold, and its field "NN.NN".
static constexpr float kTestLowest = 3.6f;
static constexpr float kTestHighest = 22.0f;
// Set point types (group 69) and what the set point selector opens by type.
static constexpr uint8_t kSetPointTypes = 5;
// Chain steps a page's key handler asks the screen for.
static constexpr int32_t kStay = -1;

static uint32_t Page() { return g_ValuePageNumber; }
static const ValuePageDesc& Desc() { return *g_ValuePage; }
static uint32_t Width(uint32_t line) { return Desc().width[line & 1]; }
static uint32_t ValueColumn(uint32_t line) { return ValuePage_ValueColumn(Page(), line, Menu_Language()); }
static bool HasValue(uint32_t line) { return ValueColumn(line) != 0 && Width(line) > 0; }
static uint8_t ChoiceKind(uint32_t line) { return ValuePage_ChoiceKind(Page(), line); }
// Pages 31 and 32 hold both lines on row 11.
static uint32_t RowOf(uint32_t line) {
    if (Page() == kValuePageCipSetup || Page() == kValuePageSipSetup) return kRowStatus;
    return line == 0 ? kRowStatus : kRowMessage;
}
static bool IsRangePage(uint32_t page) { return RangeOf(page) != nullptr; }
// The page 18 selector says "No": line 1 is blank and out of the walk.
static bool RefTempOff() { return Page() == kValuePageRefTemp && g_ValuePageSelector != 0; }

// ---- Character stepping -------------------------------------------------------------------------

void ValuePage_StepChar(char* text, uint32_t index, char lowest, char highest, int32_t step) {
    NumEdit_StepDigit(text, index, lowest, highest, step);
}

void ValuePage_StepAlnum(char* text, uint32_t index, int32_t step) {
    // Blank, '0' to '9', 'A' to 'Z', in that order, wrapping.
    static const char kSet[] = " 0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    constexpr uint32_t kCount = sizeof kSet - 1;
    const char* at = std::strchr(kSet, text[index]);
    uint32_t i = at != nullptr && text[index] != '\0' ? static_cast<uint32_t>(at - kSet) : 0;
    i = step > 0 ? (i + 1) % kCount : (i + kCount - 1) % kCount;
    text[index] = kSet[i];
}

void ValuePage_StepRange(char* text, uint32_t index, int32_t step) {
    // Every character from blank to 'z' in code order.
    char c = text[index];
    if (c < ' ' || c > 'z') c = ' ';
    if (step > 0) {
        c = c == 'z' ? ' ' : static_cast<char>(c + 1);
    } else {
        c = c == ' ' ? 'z' : static_cast<char>(c - 1);
    }
    text[index] = c;
}

// The lowest character of a numeric line at a position.
static char LowestChar(uint32_t line, uint32_t index) {
    uint32_t page = Page();
    if (index == 0 && Desc().isSigned) {
        if ((page == kValuePagePid && line == 1) || (page == kValuePageRelayAbsolute && line == 0) ||
            (page == kValuePageConcRow && line == 1)) {
            return '.';
        }
        return '-';
    }
    if (Desc().fraction[line] && page != kValuePageMaint) return '.';
    return '0';
}

// ---- Drawing --------------------------------------------------------------------------------------

static void DrawLabel(uint32_t row, uint32_t column, TextRef text, const char* suffix) {
    char buffer[kTextMaxChars + 8];
    uint32_t n = Text_Copy(text, buffer);
    uint32_t extra = static_cast<uint32_t>(std::strlen(suffix));
    if (n + extra <= kTextMaxChars) std::strcat(buffer, suffix);
    Lcd_DrawText(row, column, buffer);
}

// A label's number: the relay, the set point or output, the concentration point.
static void NumberSuffix(uint32_t label, char* suffix) {
    uint32_t page = Page();
    suffix[0] = '\0';
    bool first = label == 0 || label == 2;
    if (!first) return;
    uint32_t line = label / 2;
    if (page == kValuePageRelay || page == kValuePageRelayAbsolute) {
        suffix[0] = static_cast<char>('1' + (g_EditRelay < 2 ? g_EditRelay : 0));
        suffix[1] = '\0';
    } else if (page == kValuePageAlarmRelay) {
        suffix[0] = static_cast<char>('1' + ValuePage_AlarmRelay());
        suffix[1] = '\0';
    } else if (page >= kValuePageSetPointRange && page <= kValuePageSetPointValue) {
        suffix[0] = static_cast<char>('1' + ValuePage_EditItem(page));
        suffix[1] = '\0';
    } else if (page == kValuePageSetPointOff) {
        suffix[0] = static_cast<char>('1' + ValuePage_EditItem(page));
        suffix[1] = '\0';
    } else if (page == kValuePageOutputTest) {
        suffix[0] = static_cast<char>('1' + line);
        suffix[1] = '=';
        suffix[2] = '\0';
    } else if (page >= kValuePageConcentrations && page <= kValuePageConductivities) {
        uint32_t number = ValuePage_ConcEntryNumber(page, line);
        suffix[0] = static_cast<char>('0' + number % 10);
        suffix[1] = ' ';
        suffix[2] = '=';
        suffix[3] = '\0';
    }
}

static bool LineShown(uint32_t line) {
    uint32_t page = Page();
    if (page == kValuePageConcentrations || page == kValuePageConductivities)
        return ValuePage_ConcLineShown(page, line) != 0;
    return true;
}

static void DrawLabels() {
    uint32_t page = Page();
    for (uint32_t label = 0; label < 4; ++label) {
        uint8_t item = Desc().label[label];
        if (item == 255 || !LineShown(label / 2)) continue;
        char suffix[6];
        NumberSuffix(label, suffix);
        DrawLabel(RowOf(label / 2), Desc().labelColumn[label], ValuePage_LabelText(page, label), suffix);
    }
}

// The fixed texts and selectors some pages draw besides their labels.
static void DrawSelector(uint32_t blink);

static void DrawExtras() {
    uint32_t page = Page();
    switch (page) {
        case kValuePageSetPointRange:
        case kValuePageSetPointValue:
        case kValuePageSetPointOff: {
            uint8_t type = ValuePage_SetPointType(ValuePage_EditItem(page));
            uint32_t row = page == kValuePageSetPointRange ? kRowStatus : kRowMessage;
            Lcd_DrawTextRef(row, 24, Text_Nth(kTextSetPointTypes, type < kSetPointTypes ? type : 0));
            break;
        }
        case kValuePageAlarmRelay:
        case kValuePageRefTemp:
            DrawSelector(0);
            break;
        case kValuePagePassword:
            break;
        case kValuePageNewPassword:
            Lcd_DrawTextRef(kRowStatus, 0, Text_Nth(kTextPasswordChoices, g_PasswordChoice < 3 ? g_PasswordChoice : 0));
            break;
        case kValuePageRepeatPassword:
            Lcd_DrawTextRef(kRowStatus, 0, Text_Nth(kTextPasswordChoices, 3));
            break;
        case kValuePageService:
            Lcd_DrawTextRef(kRowStatus, 0, kTextServiceTechnician);
            break;
        case kValuePageCo2:
            Lcd_DrawText(kRowMessage, 0, "HCO3 =");
            break;
        case kValuePageTotalPressure:
            Lcd_DrawText(kRowStatus, 0, "TotPres =");
            break;
        case kValuePageToff:
            Lcd_DrawText(kRowMessage, 0, "Toff = ");
            break;
        default:
            break;
    }
}

// Page 1: "OC State =" and the alarm relay's state on row 11; page 18: the channel's Yes/No.
static void DrawSelector(uint32_t blink) {
    uint32_t page = Page();
    if (page == kValuePageAlarmRelay) {
        uint32_t n = Lcd_DrawTextRef(kRowStatus, 0, kTextOcState);
        uint32_t column = 6 * (n + 1);
        Lcd_ClearSpan(kRowStatus, column, kLcdColumns - column);
        TextRef state = Text_Nth(kTextRelayStates, g_ValuePageSelector ? 1 : 0);
        if (blink) {
            Lcd_DrawTextRefBlink(kRowStatus, column, state);
        } else {
            Lcd_DrawTextRef(kRowStatus, column, state);
        }
    } else if (page == kValuePageRefTemp) {
        Lcd_ClearSpan(kRowStatus, 0, kLcdColumns);
        TextRef choice = Text_Nth(kTextYesNo, g_ValuePageSelector ? 1 : 0);
        if (blink) {
            Lcd_DrawTextRefBlink(kRowStatus, 0, choice);
        } else {
            Lcd_DrawTextRef(kRowStatus, 0, choice);
        }
    }
}

// The text of a line's choice (a pressure unit, a source, a decade prefix); "" for none.
static void ChoiceText(uint32_t line, char* text) {
    text[0] = '\0';
    int8_t choice = g_ValuePageChoice[line];
    uint8_t kind = ChoiceKind(line);
    uint32_t count = ValuePage_ChoiceCount(kind);
    // A choice outside its group reads as its first option.
    uint32_t index = choice >= 0 && static_cast<uint32_t>(choice) < count ? static_cast<uint32_t>(choice) : 0;
    switch (kind) {
        case kChoicePressureUnit:
            Text_Copy(Text_Nth(kTextPressureUnits, index), text);
            break;
        case kChoiceSource:
            Text_Copy(Text_Nth(kTextValueSources, index), text);
            break;
        case kChoiceDecade: {
            // The decade of a conductivity: S/cm, mS/cm, micro-S/cm ("{" the micro sign).
            static const char* const kDecades[3] = {" ", "m", "{"};
            std::strcpy(text, kDecades[index]);
            break;
        }
        case kChoicePassword:
            Text_Copy(Text_Nth(kTextPasswordChoices, index < 3 ? index : 0), text);
            break;
        default:
            break;
    }
}

// The unit text of a line's unit id (group 6).
static uint32_t UnitColumn(uint32_t line) {
    uint32_t page = Page();
    uint32_t column = ValueColumn(line) + 6 * Width(line) + 6;
    if (page == kValuePageMaint || page == kValuePageMaint2 || page == kValuePageAct || page == kValuePageDamping)
        column -= 6;
    return column;
}

// Where a line's choice text stands: the decade prefix in the cell after the field, with the unit
// after it; a unit or source choice where a unit would stand; the password choice on row 12.
static void ChoicePlace(uint32_t line, uint32_t* row, uint32_t* column) {
    uint8_t kind = ChoiceKind(line);
    *row = RowOf(line);
    if (kind == kChoicePassword) {
        *row = kRowMessage;
        *column = 0;
    } else if (kind == kChoiceDecade) {
        *column = ValueColumn(line) + 6 * Width(line);
    } else {
        *column = UnitColumn(line);
    }
}

static void DrawChoice(uint32_t line, uint32_t blink) {
    if (ChoiceKind(line) == kChoiceNone) return;
    char text[kTextMaxChars + 1];
    ChoiceText(line, text);
    uint32_t row = 0, column = 0;
    ChoicePlace(line, &row, &column);
    uint32_t clear = ChoiceKind(line) == kChoiceDecade ? 6 : (ChoiceKind(line) == kChoicePassword ? 132 : 30);
    Lcd_ClearSpan(row, column, clear);
    Lcd_DrawFieldText(row, column, blink ? 1 : 0, text);
}

// The unit after a line: its unit id, the decade's unit, or the unit of the range page's quantity.
static void DrawUnit(uint32_t line) {
    uint32_t page = Page();
    if (!HasValue(line) || !LineShown(line)) return;
    uint32_t row = RowOf(line);
    uint32_t column = UnitColumn(line);
    uint8_t unit = Desc().unit[line];
    char text[kTextMaxChars + 1];
    // Units are drawn in their own cells: one that ends in the cell before the leave marker
    // leaves the marker whole.
    if (unit != 255) {
        Text_Copy(Text_Nth(kTextUnits, unit), text);
        Lcd_DrawFieldText(row, column, 0, text);
        return;
    }
    if ((page >= kValuePageSetPointRange && page <= kValuePageSetPointValue) ||
        (page >= kValuePagePid && page <= kValuePagePropLimits2) || page == kValuePageRelayAbsolute) {
        uint8_t code = 30, prefix = kPrefixNone;
        ValuePage_RangeUnit(page, &code, &prefix);
        if (page == kValuePageRelayAbsolute) {
            // Hysteresis of a voltage kind is in millivolts, drawn right after the field so that
            // it ends before the leave marker.
            if (line == 1 && (code == 14 || code == 15 || code == 38 || code == 40))
                Lcd_DrawFieldText(row, column - 6, 0, "mV");
            return;
        }
        // The prefix's symbol ("m", or "ppm" before "TDS") and the unit's text after it.
        text[0] = '\0';
        const char* symbol = Fmt_PrefixSymbol(prefix);
        if (prefix != kPrefixNone && prefix != kPrefixUnits && symbol != nullptr) std::strcpy(text, symbol);
        std::strncat(text, Unit_GetText(code), kTextMaxChars - std::strlen(text));
        Lcd_DrawFieldText(row, column, 0, text);
    }
}

// The value's text in the line's width: with decimals that fill it, or as a whole number with
// leading zeros; a value too wide shows the over- or under-range fill.
static void FormatLine(uint32_t line, float value) {
    EditLine& edit = g_EditLines[line];
    uint32_t width = Width(line);
    if (width > kEditTextMax) width = kEditTextMax;
    char number[kNumberTextMax + 1];
    uint32_t n = 255;
    bool finite = Util_ClassifyFloat(value) < kFloatPlusInfinity;
    if (finite && Page() == kValuePageMaint && line == 0) {
        // Days with one decimal in a fixed "NNN.N".
        n = Util_FloatToText(value, 255, 1, number);
        if (value >= 0.0f && n <= width) n = Util_FloatToText(value, width - 2, 1, number);
    } else if (finite && Page() == kValuePageOutputTest) {
        // Each output's current as "NN.NN" mA, the places its keys step.
        n = Util_FloatToText(value, 2, 2, number);
    } else if (finite && Desc().fraction[line]) {
        uint32_t decimals = width >= 2 ? Util_DecimalsForDigits(value, width - 2) : 0;
        n = Util_FloatToText(value, 255, decimals, number);
        // A field without room for decimals shows the whole number.
        if (n > width) n = Util_FloatToText(value, 255, 0, number);
    } else if (finite) {
        // Whole numbers fill their field with leading zeros; one with more digits than the field
        // is not cut but shows the fill.
        float rounded = std::floor(value + 0.5f);
        n = Util_FloatToText(rounded, 255, 0, number);
        if (rounded >= 0.0f && n <= width) n = Util_FloatToText(rounded, width, 0, number);
    }
    if (n > width) {
        std::memset(edit.text, finite && value < 0.0f ? '_' : '*', width);
        edit.text[width] = '\0';
    } else {
        std::memcpy(edit.text, number, n);
        // A shorter text is padded with blanks in front, so the value ends where the field ends.
        if (n < width) {
            std::memmove(edit.text + (width - n), edit.text, n);
            std::memset(edit.text, ' ', width - n);
        }
        edit.text[width] = '\0';
    }
    const char* dot = std::strchr(edit.text, '.');
    edit.point = dot == nullptr ? 255 : static_cast<uint8_t>(dot - edit.text);
}

static void DrawUnit(uint32_t line);

static void DrawLineText(uint32_t line) {
    if (!HasValue(line) || !LineShown(line)) return;
    Lcd_DrawText(RowOf(line), ValueColumn(line), g_EditLines[line].text);
    // A unit right after the field lost its first column to the text's end: it is drawn again.
    DrawUnit(line);
}

void ValuePage_DrawLineValue(uint32_t line, float value) {
    if (line > 1) return;
    FormatLine(line, value);
    DrawLineText(line);
}

// The text lines of the clock, names and unit-name pages.
static void DrawTextValues() {
    uint32_t page = Page();
    if (page == kValuePageClock) {
        ClockRecord now{};
        // An unset clock reads as 2008-01-01 00:00:00.
        Rtc_GetTime(&now);
        ValuePage_FormatDate(&now, g_EditLines[0].text);
        ValuePage_FormatTime(&now, g_EditLines[1].text);
    }
    for (uint32_t line = 0; line < 2; ++line) {
        g_EditLines[line].point = 255;
        DrawLineText(line);
    }
}

static bool IsTextPage(uint32_t page) {
    return page == kValuePageNames || page == kValuePageClock || page == kValuePageUnitName;
}

static void DrawValues() {
    uint32_t page = Page();
    if (IsTextPage(page)) {
        DrawTextValues();
        return;
    }
    for (uint32_t line = 0; line < 2; ++line) {
        if (!HasValue(line)) continue;
        if (RefTempOff() && line == 1) {
            FormatLine(line, s_Values[line]);
            continue;
        }
        float shown = s_Values[line];
        if (IsRangePage(page) && page != kValuePageSetPointOff) {
            uint8_t code = 30, prefix = kPrefixNone;
            ValuePage_RangeUnit(page, &code, &prefix);
            shown = ValuePage_ToChannelUnit(shown, prefix);
        }
        if (LineShown(line)) {
            ValuePage_DrawLineValue(line, shown);
        } else {
            FormatLine(line, shown);
        }
    }
}

// ---- Cursor ----------------------------------------------------------------------------------------

static void DrawLeaveMark(uint32_t blink) { Lcd_DrawChannelMark(0, blink); }

// The place under the cursor drawn steady (blink 0) or as the blinking field (blink 1).
static void DrawCursor(uint32_t blink) {
    int32_t cursor = g_ValuePageCursor;
    uint32_t line = g_ValuePageLine;
    if (cursor == kCursorLeave) {
        if (blink) Menu_BlinkOff();
        DrawLeaveMark(blink);
        return;
    }
    if (cursor == kCursorSelector) {
        if (Page() == kValuePageAlarmRelay || Page() == kValuePageRefTemp) {
            if (!blink) Menu_BlinkOff();
            DrawSelector(blink);
        } else if (IsRangePage(Page())) {
            // The set point or output number blinks on its label.
            uint32_t row = RowOf(0) == kRowStatus && Desc().label[0] != 255 ? kRowStatus : kRowMessage;
            if (Page() == kValuePageSetPointValue || Page() == kValuePageSetPointOff || Page() == kValuePageOutputLow) {
                row = kRowMessage;
            }
            char number[2] = {static_cast<char>('1' + ValuePage_EditItem(Page())), '\0'};
            char label[kTextMaxChars + 1];
            uint32_t labelLength = Text_Copy(ValuePage_LabelText(Page(), row == kRowStatus ? 0 : 2), label);
            Lcd_DrawTextMode(row, 6 * labelLength, blink, number);
            if (!blink) Menu_BlinkOff();
        }
        return;
    }
    if (static_cast<uint32_t>(cursor) == Width(line) && ChoiceKind(line) != kChoiceNone) {
        if (!blink) Menu_BlinkOff();
        DrawChoice(line, blink);
        return;
    }
    if (cursor < 0 || static_cast<uint32_t>(cursor) >= Width(line)) return;
    uint32_t column = ValueColumn(line);
    Lcd_DrawEditChar(RowOf(line), column, g_EditLines[line].text, static_cast<uint32_t>(cursor), blink ? 1 : 0);
    g_EditLines[line].blinkIndex = static_cast<uint8_t>(cursor);
}

// The places the cursor walks, in CAL order: the selector, each line's characters and choice
// position, then the leave position.
struct Place {
    int8_t cursor;
    uint8_t line;
};
static constexpr uint32_t kMaxPlaces = 2 * (kEditTextMax + 1) + 2;

static uint32_t Walk(Place* places) {
    uint32_t page = Page();
    uint32_t n = 0;
    if (page == kValuePageAlarmRelay || page == kValuePageFixedTemp || page == kValuePageRefTemp) {
        places[n++] = Place{kCursorSelector, static_cast<uint8_t>(page == kValuePageRefTemp ? 1 : 0)};
    }
    for (uint32_t line = 0; line < 2; ++line) {
        if (line == 1 && RefTempOff()) continue;
        if (HasValue(line) && LineShown(line)) {
            for (uint32_t i = 0; i < Width(line); ++i) {
                if (page == kValuePageClock && (i == 2 || i == 5)) continue;
                if (page == kValuePageMaint && line == 0 && i == 3) continue;
                places[n++] = Place{static_cast<int8_t>(i), static_cast<uint8_t>(line)};
            }
        }
        if (ChoiceKind(line) != kChoiceNone)
            places[n++] = Place{static_cast<int8_t>(Width(line)), static_cast<uint8_t>(line)};
    }
    places[n++] = Place{static_cast<int8_t>(kCursorLeave), 1};
    return n;
}

static void ApplyDecimalPoints() {
    for (uint32_t line = 0; line < 2; ++line) {
        uint32_t width = Width(line);
        if (width > kEditTextMax) width = kEditTextMax;
        NumEdit_MoveDecimalPoint(g_EditLines[line].text, width, &g_EditLines[line].point);
    }
}

static void RedrawLines() {
    for (uint32_t line = 0; line < 2; ++line) DrawLineText(line);
}

static void MoveInWalk(int32_t step) {
    Place places[kMaxPlaces];
    uint32_t n = Walk(places);
    uint32_t at = n - 1;
    for (uint32_t i = 0; i < n; ++i) {
        if (places[i].cursor == g_ValuePageCursor &&
            (places[i].line == g_ValuePageLine || places[i].cursor == kCursorLeave ||
             places[i].cursor == kCursorSelector)) {
            at = i;
            break;
        }
    }
    DrawCursor(0);
    uint32_t before = g_EditLines[0].point + 256u * g_EditLines[1].point;
    ApplyDecimalPoints();
    // A point that moved turned the old one into a digit: the lines show it.
    if (before != g_EditLines[0].point + 256u * g_EditLines[1].point) RedrawLines();
    at = step > 0 ? (at + 1) % n : (at + n - 1) % n;
    g_ValuePageCursor = places[at].cursor;
    g_ValuePageLine = places[at].line;
    DrawCursor(1);
}

void ValuePage_RestoreCursor(uint32_t page, uint32_t index) {
    const RangeStart* range = RangeOf(page);
    if (range == nullptr) return;
    if (index > range->last) index = range->last;
    g_ValuePageReentry = static_cast<uint8_t>(index);
    g_ValuePageCursor = range->cursor[index];
    g_ValuePageLine = range->line[index];
}

// ---- Opening ------------------------------------------------------------------------------------------

// Pages that start on line 1.
static bool StartsOnLine1(uint32_t page) {
    switch (page) {
        case kValuePageNewPassword:
        case kValuePageRepeatPassword:
        case kValuePageAccessCode:
        case kValuePageOutputLow:
        case kValuePageSetPointValue:
        case kValuePageRefTemp:
        case kValuePageService:
        case kValuePageSetPointOff:
        case kValuePageAct:
        case kValuePageToff:
        case kValuePageSampling:
        case kValuePageCalTemperature:
        case kValuePageProcPressure:
        case kValuePageUnitName:
        case kValuePageDamping:
        case kValuePageO2Pressure:
            return true;
        default:
            return (page == kValuePageConcentrations || page == kValuePageConductivities) &&
                   Conc_IsTableEntryDone(page) != 0;
    }
}

static void NoteDrawnLines(uint32_t page) {
    for (uint32_t line = 0; line < 2; ++line) {
        std::memcpy(s_DrawnText[line], g_EditLines[line].text, sizeof s_DrawnText[line]);
        s_DrawnChoice[line] = g_ValuePageChoice[line];
    }
    s_DrawnPage = static_cast<uint8_t>(page);
}

uint32_t ValuePage_LineKept(uint32_t line) {
    if (line > 1 || s_DrawnPage != Page()) return 0;
    return std::strcmp(s_DrawnText[line], g_EditLines[line].text) == 0 && s_DrawnChoice[line] == g_ValuePageChoice[line]
               ? 1
               : 0;
}

// A line left as it was drawn takes back the value it was drawn from, unrounded.
static void KeepDrawnValues(float* values) {
    if (IsTextPage(Page())) return;
    for (uint32_t line = 0; line < 2; ++line) {
        if (HasValue(line) && ValuePage_LineKept(line)) values[line] = s_Values[line];
    }
}

void ValuePage_Open(uint32_t page, uint32_t mode) {
    if (page >= kValuePageCount) return;
    if ((page == kValuePageCalTemperature || page == kValuePageO2Conditions) && mode == 0) {
        ValuePage_ApplyO2Conditions(Menu_ChannelOfPosition(g_MenuPosition));
    }
    g_ValuePageNumber = static_cast<uint8_t>(page);
    g_ValuePage = &g_ValuePageTable[page];
    ValuePage_Load(page, s_Values);
    Menu_ClearStatusRows();
    DrawLabels();
    DrawExtras();
    DrawValues();
    for (uint32_t line = 0; line < 2; ++line) {
        DrawChoice(line, 0);
        DrawUnit(line);
    }
    DrawLeaveMark(0);
    NoteDrawnLines(page);
    g_DisplayMode = kKeyModeMenu;
    if (mode == 1) {
        Menu_BlinkOff();
        g_ValuePageCursor = kCursorLeave;
        g_ValuePageLine = page == kValuePagePassword ? 0 : 1;
        if (IsRangePage(page) && page <= kValuePageSetPointValue) ValuePage_RestoreCursor(page, RangeOf(page)->last);
        DrawLeaveMark(1);
        return;
    }
    if (IsRangePage(page)) {
        uint32_t index = g_ValuePageReentry;
        // Under Quick Setup the selector (index 0) is never visited.
        if (index == 0 && g_MenuLastNode == kNodeQuickSetup) index = 1;
        ValuePage_RestoreCursor(page, index);
    } else if (page == kValuePageAlarmRelay || page == kValuePageRefTemp) {
        g_ValuePageCursor = kCursorSelector;
        g_ValuePageLine = 0;
    } else {
        g_ValuePageCursor = 0;
        g_ValuePageLine = StartsOnLine1(page) ? 1 : 0;
        // A line without a value starts on its choice, or on the next line.
        if (!HasValue(g_ValuePageLine) || !LineShown(g_ValuePageLine)) {
            if (ChoiceKind(g_ValuePageLine) != kChoiceNone) {
                g_ValuePageCursor = static_cast<int32_t>(Width(g_ValuePageLine));
            } else if (g_ValuePageLine == 0 && (HasValue(1) || ChoiceKind(1) != kChoiceNone)) {
                g_ValuePageLine = 1;
                g_ValuePageCursor = HasValue(1) ? 0 : static_cast<int32_t>(Width(1));
            } else {
                g_ValuePageCursor = kCursorLeave;
            }
        }
    }
    if (page == kValuePageOutputTest) {
        g_ValuePageLine = 0;
        g_ValuePageCursor = 0;
    }
    DrawCursor(1);
}

int32_t ValuePage_BeginEdit(uint32_t kind, uint32_t index) {
    if (kind == 3) {
        if (index < kNumFieldCount) {
            float value = NumEdit_ReadFieldValue(index);
            if (index >= kNumFieldOut1At4mA && index <= kNumFieldOut2At20mA) {
                NumEdit_OpenOutputCal(index, value, 0);
            } else {
                NumEdit_Open(index, value, 0);
            }
        }
    } else {
        for (EditLine& line : g_EditLines) {
            std::memset(line.text, 0, sizeof line.text);
            line.point = 255;
        }
        ValuePage_Open(index, 0);
    }
    g_DisplayMode = kKeyModeMenu;
    return -1;
}

// ---- Keys -----------------------------------------------------------------------------------------------

// Parses both lines into the pair; a line that holds no number keeps a 0.
static bool ParseLines(float* values) {
    bool ok = true;
    for (uint32_t line = 0; line < 2; ++line) {
        values[line] = 0.0f;
        if (!HasValue(line) || IsTextPage(Page())) continue;
        if (RefTempOff() && line == 1) {
            values[line] = s_Values[line];
            continue;
        }
        if (!Util_ParseDecimal(g_EditLines[line].text, &values[line])) ok = false;
    }
    return ok;
}

static void StepChoice(uint32_t line, int32_t step) {
    uint32_t count = ValuePage_ChoiceCount(ChoiceKind(line));
    if (count == 0) return;
    int32_t choice = g_ValuePageChoice[line];
    if (choice < 0 || static_cast<uint32_t>(choice) >= count) choice = 0;
    choice = step > 0 ? (choice + 1) % static_cast<int32_t>(count)
                      : (choice + static_cast<int32_t>(count) - 1) % static_cast<int32_t>(count);
    g_ValuePageChoice[line] = static_cast<int8_t>(choice);
    DrawChoice(line, 1);
}

// UP or INFO on a character of a numeric line.
static void StepNumeric(uint32_t line, uint32_t index, int32_t step) {
    char* text = g_EditLines[line].text;
    ValuePage_StepChar(text, index, LowestChar(line, index), '9', step);
    // Page 38's voltages have no point in their first four places.
    if (Page() == kValuePagePolarization && index <= 3 && text[index] == '.') {
        ValuePage_StepChar(text, index, LowestChar(line, index), '9', step);
    }
    if (g_EditLines[line].point != 255 && text[g_EditLines[line].point] != '.') g_EditLines[line].point = 255;
    DrawCursor(1);
}

// The general pages: the walk, character steps, choices and the selectors of pages 1 and 18.
static int32_t KeyGeneral(uint32_t event, float* values) {
    int32_t step = Menu_KeyStep(event);
    uint32_t line = g_ValuePageLine;
    int32_t cursor = g_ValuePageCursor;
    if (step != 0) {
        if (cursor == kCursorLeave) return kStay;
        if (cursor == kCursorSelector) {
            if (Page() == kValuePageAlarmRelay) {
                // The alarm relay's state may change only while power failure does not hold it.
                if ((ValuePage_AlarmMask() & 1u) != 0) g_ValuePageSelector = g_ValuePageSelector ? 0 : 1;
                DrawSelector(1);
            } else if (Page() == kValuePageRefTemp) {
                g_ValuePageSelector = g_ValuePageSelector ? 0 : 1;
                ValuePage_StoreRefTempChoice(g_ValuePageSelector);
                Lcd_ClearSpan(kRowMessage, ValueColumn(1), 6 * Width(1));
                if (!RefTempOff()) DrawLineText(1);
                DrawSelector(1);
            }
            return kStay;
        }
        if (static_cast<uint32_t>(cursor) == Width(line) && ChoiceKind(line) != kChoiceNone) {
            StepChoice(line, step);
            return kStay;
        }
        if (cursor >= 0 && static_cast<uint32_t>(cursor) < Width(line)) {
            if (Page() == kValuePageClock) {
                ValuePage_StepChar(g_EditLines[line].text, static_cast<uint32_t>(cursor), '0', '9', step);
                DrawCursor(1);
            } else {
                StepNumeric(line, static_cast<uint32_t>(cursor), step);
            }
        }
        return kStay;
    }
    if (event == kEventLeft || event == kEventRight) {
        MoveInWalk(event == kEventRight ? 1 : -1);
        return kStay;
    }
    if (event != kEventEnter) return kStay;
    ApplyDecimalPoints();
    int32_t r = cursor == kCursorLeave ? kEntryLeave : kEntryValues;
    // A line that holds no number (a fill, a lone sign) is no value to store.
    if (!ParseLines(values)) return kEntryBadValue;
    return r;
}

// Names (page 19), the unit name (45) and the date and time (28): characters only.
static int32_t KeyText(uint32_t event, float* values) {
    int32_t step = Menu_KeyStep(event);
    int32_t cursor = g_ValuePageCursor;
    uint32_t line = g_ValuePageLine;
    if (step != 0) {
        if (cursor < 0 || cursor == kCursorLeave || static_cast<uint32_t>(cursor) >= Width(line)) return kStay;
        char* text = g_EditLines[line].text;
        uint32_t index = static_cast<uint32_t>(cursor);
        if (Page() == kValuePageNames) {
            ValuePage_StepAlnum(text, index, step);
        } else if (Page() == kValuePageUnitName) {
            ValuePage_StepRange(text, index, step);
        } else {
            ValuePage_StepChar(text, index, '0', '9', step);
        }
        DrawCursor(1);
        return kStay;
    }
    if (event == kEventLeft || event == kEventRight) {
        MoveInWalk(event == kEventRight ? 1 : -1);
        return kStay;
    }
    if (event != kEventEnter) return kStay;
    values[0] = values[1] = 0.0f;
    return cursor == kCursorLeave ? kEntryLeave : kEntryValues;
}

// Page 8: the code on line 0, the password choice at its choice position.
static int32_t KeyChoice(uint32_t event, float* values) { return KeyGeneral(event, values); }

// Page 18: the channel's Yes/No before the reference temperature.
static int32_t KeyRefTemp(uint32_t event, float* values) { return KeyGeneral(event, values); }

// Output test (page 11): two currents "NN.NN" mA, each driven at once.
static const int8_t kTestStops[4] = {0, 1, 3, 4};
static const float kTestWeights[4] = {10.0f, 1.0f, 0.1f, 0.01f};

static int32_t TestStop() {
    for (int32_t i = 0; i < 4; ++i) {
        if (kTestStops[i] == g_ValuePageCursor) return i;
    }
    return -1;
}

static int32_t KeyAnalogOut(uint32_t event, float* values) {
    int32_t step = Menu_KeyStep(event);
    uint32_t line = g_ValuePageLine;
    if (step != 0) {
        int32_t stop = TestStop();
        if (stop < 0 || g_ValuePageCursor == kCursorLeave) return kStay;
        float current = 0.0f;
        if (!Util_ParseDecimal(g_EditLines[line].text, &current)) current = kTestLowest;
        current += static_cast<float>(step) * kTestWeights[stop];
        // Rounded to the hundredth the line shows.
        current = std::floor(current * 100.0f + 0.5f) / 100.0f;
        if (current > kTestHighest + 0.001f) current = kTestLowest;
        if (current < kTestLowest - 0.001f) current = kTestHighest;
        char text[kNumberTextMax + 1];
        Util_FloatToText(current, 2, 2, text);
        std::memcpy(g_EditLines[line].text, text, 5);
        g_EditLines[line].text[5] = '\0';
        g_EditLines[line].point = 2;
        DrawLineText(line);
        DrawCursor(1);
        Aout_WriteCurrent(line, current);
        return kStay;
    }
    if (event == kEventLeft || event == kEventRight) {
        // Nine stops: four on each line, then the leave position.
        int32_t at = g_ValuePageCursor == kCursorLeave ? 8 : static_cast<int32_t>(line) * 4 + TestStop();
        DrawCursor(0);
        at = event == kEventRight ? (at + 1) % 9 : (at + 8) % 9;
        if (at == 8) {
            g_ValuePageCursor = kCursorLeave;
            g_ValuePageLine = 1;
        } else {
            g_ValuePageLine = static_cast<uint8_t>(at / 4);
            g_ValuePageCursor = kTestStops[at % 4];
        }
        DrawCursor(1);
        return kStay;
    }
    if (event != kEventEnter) return kStay;
    for (uint32_t i = 0; i < 2; ++i) Util_ParseDecimal(g_EditLines[i].text, &values[i]);
    return g_ValuePageCursor == kCursorLeave ? kEntryLeave : kEntryValues;
}

// The set point or output selector: the page's values stored, the next item shown on the page of
// its type.
static void StepRangeSelector(int32_t step) {
    uint32_t page = Page();
    float values[2] = {0.0f, 0.0f};
    ApplyDecimalPoints();
    if (ParseLines(values)) {
        if (IsRangePage(page) && page != kValuePageSetPointOff) {
            uint8_t code = 30, prefix = kPrefixNone;
            ValuePage_RangeUnit(page, &code, &prefix);
            values[0] = ValuePage_ParseInUnit(values[0], prefix);
            values[1] = ValuePage_ParseInUnit(values[1], prefix);
        }
        KeepDrawnValues(values);
        ValuePage_Store(kScreenValuePage, page, values);
    }
    uint32_t count = page == kValuePageOutputRange ? kAoutCount : kSetPointCount;
    uint32_t item = ValuePage_EditItem(page);
    item = step > 0 ? (item + 1) % count : (item + count - 1) % count;
    ValuePage_SetEditItem(page, static_cast<uint8_t>(item));
    uint32_t next = page;
    if (page != kValuePageOutputRange) {
        uint8_t type = ValuePage_SetPointType(ValuePage_EditItem(page));
        next = type == kSetPointOff ? kValuePageSetPointOff
                                    : (type == kSetPointOutside || type == kSetPointBetween ? kValuePageSetPointRange
                                                                                            : kValuePageSetPointValue);
    }
    g_ValuePageReentry = 0;
    ValuePage_Open(next, 0);
    g_ValuePageCursor = kCursorSelector;
    g_ValuePageLine = RangeOf(next)->line[0];
    DrawCursor(1);
}

// Range pages: the cursor walks a position index over the start tables.
// The set point and output pages (mode 0) and the PID pages (mode 2) differ only in their start
// tables.
static int32_t KeyRange(uint32_t event, float* values) {
    uint32_t page = Page();
    const RangeStart* range = RangeOf(page);
    int32_t step = Menu_KeyStep(event);
    if (step != 0) {
        if (g_ValuePageCursor == kCursorLeave) return kStay;
        if (g_ValuePageCursor == kCursorSelector) {
            StepRangeSelector(step);
            return kStay;
        }
        uint32_t line = g_ValuePageLine;
        if (g_ValuePageCursor >= 0 && static_cast<uint32_t>(g_ValuePageCursor) < Width(line)) {
            StepNumeric(line, static_cast<uint32_t>(g_ValuePageCursor), step);
        }
        return kStay;
    }
    if (event == kEventLeft || event == kEventRight) {
        uint32_t index = g_ValuePageReentry > range->last ? range->last : g_ValuePageReentry;
        bool quick = g_MenuLastNode == kNodeQuickSetup;
        DrawCursor(0);
        ApplyDecimalPoints();
        RedrawLines();
        if (event == kEventRight) {
            index = index >= range->last ? (quick ? 1 : 0) : index + 1;
        } else {
            index = index == 0 ? range->last : index - 1;
            if (index == 0 && quick) index = range->last;
        }
        ValuePage_RestoreCursor(page, index);
        DrawCursor(1);
        return kStay;
    }
    if (event != kEventEnter) return kStay;
    ApplyDecimalPoints();
    if (!ParseLines(values)) return kEntryBadValue;
    if (page != kValuePageSetPointOff) {
        uint8_t code = 30, prefix = kPrefixNone;
        ValuePage_RangeUnit(page, &code, &prefix);
        values[0] = ValuePage_ParseInUnit(values[0], prefix);
        values[1] = ValuePage_ParseInUnit(values[1], prefix);
    }
    return g_ValuePageCursor == kCursorLeave ? kEntryLeave : kEntryValues;
}

int32_t ValuePage_Key(uint32_t event, float* values) {
    uint32_t page = Page();
    switch (page) {
        case kValuePageOutputTest:
            return KeyAnalogOut(event, values);
        case kValuePageSetPointRange:
        case kValuePageOutputRange:
        case kValuePageOutputLow:
        case kValuePageSetPointValue:
        case kValuePageSetPointOff:
        case kValuePagePid:
        case kValuePagePropLimits:
        case kValuePagePropLimits2:
            return KeyRange(event, values);
        case kValuePagePassword:
            return KeyChoice(event, values);
        case kValuePageRefTemp:
            return KeyRefTemp(event, values);
        case kValuePageNames:
        case kValuePageClock:
        case kValuePageUnitName:
            return KeyText(event, values);
        default:
            return KeyGeneral(event, values);
    }
}

// ---- Messages ------------------------------------------------------------------------------------------

static void ShowError(TextRef first, TextRef second) {
    Menu_ClearStatusRows();
    Lcd_DrawTextRef(kRowStatus, 0, first);
    Lcd_DrawTextRef(kRowMessage, 0, second);
    Lcd_DrawChannelMark(0, 1);
    g_DisplayMode = kKeyModeErrorShown;
}

void ValuePage_ShowInvalid(uint32_t n) {
    uint32_t count = g_TextGroupSizes[kTextInvalidTexts.group];
    ShowError(Text_Nth(kTextInvalidTexts, n < count ? n : count - 1), kTextPressEnterToContinue);
}

void ValuePage_ShowTableError(uint32_t n) {
    uint32_t count = g_TextGroupSizes[kTextReinstallSensor.group];
    if (n + 1 >= count) n = count - 2;
    ShowError(Text_Nth(kTextReinstallSensor, n), Text_Nth(kTextReinstallSensor, n + 1));
    // The second line replaces "Press ENTER to Continue"; the blinking mark asks for ENTER.
}

void ValuePage_RewriteLine(uint32_t line, const char* text) {
    if (line > 1) return;
    DrawCursor(0);
    uint32_t width = Width(line);
    if (width > kEditTextMax) width = kEditTextMax;
    uint32_t n = static_cast<uint32_t>(std::strlen(text));
    if (n > width) n = width;
    // Right-aligned in its field, as the page draws its values.
    std::memset(g_EditLines[line].text, ' ', width);
    std::memcpy(g_EditLines[line].text + (width - n), text, n);
    g_EditLines[line].text[width] = '\0';
    const char* dot = std::strchr(g_EditLines[line].text, '.');
    g_EditLines[line].point = dot == nullptr ? 255 : static_cast<uint8_t>(dot - g_EditLines[line].text);
    DrawLineText(line);
    g_ValuePageLine = static_cast<uint8_t>(line);
    g_ValuePageCursor = 0;
    // A range page walks its position index: it follows the cursor.
    const RangeStart* range = RangeOf(Page());
    if (range != nullptr) {
        for (uint32_t i = 0; i <= range->last; ++i) {
            if (range->cursor[i] == 0 && range->line[i] == line) g_ValuePageReentry = static_cast<uint8_t>(i);
        }
    }
    DrawCursor(1);
}

// ---- The screen ------------------------------------------------------------------------------------

int32_t ValuePage_Screen(uint32_t event) {
    if (event == kEventSpareEnter) return static_cast<int32_t>(kActionBackToFirst);
    if (event == kEventRedraw) {
        ValuePage_Open(Page() == kValuePageRepeatPassword ? static_cast<uint32_t>(kValuePageNewPassword) : Page(), 1);
        return kStay;
    }
    if (event != kEventEnter) {
        float ignored[2] = {0.0f, 0.0f};
        ValuePage_Key(event, ignored);
        return kStay;
    }
    float values[2] = {0.0f, 0.0f};
    int32_t r = ValuePage_Key(kEventEnter, values);
    uint32_t page = Page();
    if (r == kEntryLeave || r == kEntryValues) KeepDrawnValues(values);
    if (r == kEntryLeave || r == kEntryValues) r = ValuePage_CheckEntry(page, r, values);
    // Only values that passed their checks reach a setting.
    if (r == kEntryLeave || r == kEntryValues) ValuePage_Store(kScreenValuePage, page, values);
    switch (r) {
        case kEntryLeave:
        case kEntryValues:
            return ValuePage_ResultOf(page, r, values);
        case kEntryBadInterval:
            ValuePage_ShowInvalid(kInvalidInterval);
            return kStay;
        case kEntryBadCleanTime:
            ValuePage_ShowInvalid(kInvalidCleanTime);
            return kStay;
        case kEntryBadDateTime:
            ValuePage_ShowInvalid(kInvalidDateTime);
            return kStay;
        case kEntryBadValue:
            ValuePage_ShowInvalid(kInvalidValue);
            return kStay;
        default:
            return kStay;
    }
}

// ---- Units and conditions --------------------------------------------------------------------------

float ValuePage_ToChannelUnit(float value, uint32_t prefix) {
    return prefix == kPrefixNone || prefix == kPrefixUnits ? value : Fmt_ConvertUnit(0, value, prefix);
}

float ValuePage_ParseInUnit(float value, uint32_t prefix) {
    return prefix == kPrefixNone || prefix == kPrefixUnits ? value : Fmt_ConvertUnit(1, value, prefix);
}

uint32_t ValuePage_ParseDateTime(ClockRecord* record) {
    const char* d = g_EditLines[0].text;
    const char* t = g_EditLines[1].text;
    auto two = [](const char* p, bool* ok) -> uint32_t {
        if (p[0] < '0' || p[0] > '9' || p[1] < '0' || p[1] > '9') *ok = false;
        return static_cast<uint32_t>((p[0] - '0') * 10 + (p[1] - '0'));
    };
    bool ok = true;
    ClockRecord r{};
    r.year = static_cast<uint16_t>(2000 + two(d, &ok));
    r.month = static_cast<uint8_t>(two(d + 3, &ok));
    r.day = static_cast<uint8_t>(two(d + 6, &ok));
    r.hour = static_cast<uint8_t>(two(t, &ok));
    r.minute = static_cast<uint8_t>(two(t + 3, &ok));
    r.second = static_cast<uint8_t>(two(t + 6, &ok));
    if (!ok) return 0;
    *record = r;
    return Rtc_IsValidRecord(&r);
}

// ---- Clock texts ------------------------------------------------------------------------------------

// Three two-digit fields with a separator between them; every field keeps its two places, so the
// text is always 8 characters whatever the record holds.
static void FormatThreePairs(uint32_t a, uint32_t b, uint32_t c, char separator, char* out) {
    Util_UIntToDecimal(a, 2, out);
    out[2] = separator;
    Util_UIntToDecimal(b, 2, out + 3);
    out[5] = separator;
    Util_UIntToDecimal(c, 2, out + 6);
}

void ValuePage_FormatDate(const ClockRecord* date, char* out) {
    uint32_t year = date->year >= 2000 ? date->year - 2000u : 0u;
    if (year > 99) year = 99;
    FormatThreePairs(year, date->month, date->day, '-', out);
}

void ValuePage_FormatTime(const ClockRecord* record, char* out) {
    FormatThreePairs(record->hour, record->minute, record->second, ':', out);
}

void ValuePage_ClearPasswordState() { g_PasswordChoice = 0; }

void ValuePage_MakeCurrent(uint32_t page) {
    if (page >= kValuePageCount) return;
    s_DrawnPage = 255;
    g_ValuePageNumber = static_cast<uint8_t>(page);
    g_ValuePage = &g_ValuePageTable[page];
}

void ValuePage_ResetState() {
    g_ValuePage = &g_ValuePageTable[0];
    g_ValuePageNumber = 0;
    g_ValuePageLine = 0;
    g_ValuePageCursor = 0;
    for (EditLine& line : g_EditLines) line = EditLine{{0}, 0, 255, kPrefixNone};
    g_ValuePageChoice[0] = g_ValuePageChoice[1] = 0;
    g_EditRelay = 0;
    g_PasswordChoice = 0;
    g_ValuePageSelector = 0;
    g_ValuePageReentry = 0;
    s_Values[0] = s_Values[1] = 0.0f;
    s_DrawnPage = 255;
    ValuePage_ResetCatalogue();
}
