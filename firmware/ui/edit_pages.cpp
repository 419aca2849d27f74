// Fixed edit pages: temperature source, verification of a calibration, calibration constants,
// linear compensation coefficients, calibration compensation and the output's fixed hold current.
// Numbers are edited as text, a character at a time, and parsed on ENTER; a text that holds no
// number leaves its setting as it was.
#include "ui/edit_pages.h"

#include <cmath>
#include <cstring>

#include "core/keypad.h"
#include "core/lcd.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/ui_ids.h"
#include "core/util.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/channel.h"
#include "measurement/conductivity.h"
#include "measurement/meas.h"
#include "measurement/units.h"
#include "outputs/aout.h"
#include "settings/settings_work.h"
#include "ui/menu.h"
#include "ui/menu_tree.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/value_catalogue.h"
#include "ui/value_page.h"

DigitField g_DigitFields[kDigitFieldCount];
uint8_t g_DigitFieldCursor;

static constexpr int32_t kStay = -1;
static constexpr uint32_t kCell = 6;

static uint32_t RowOf(uint32_t row) { return row == 0 ? kRowStatus : kRowMessage; }
static DigitField& Field(uint32_t field) { return g_DigitFields[field < kDigitFieldCount ? field : 0]; }

// ---- Digit fields ----------------------------------------------------------------------------

void Screen_SettleBlink() {
    if (!g_BlinkField.active) return;
    Lcd_BlinkField(0);
    g_BlinkField.active = 0;
}

// A number's text with the given decimals into a field of width characters (at most 7, so the
// ending zero stays inside the 8 bytes).
static void PutNumber(uint32_t field, float value, uint32_t decimals, uint32_t width) {
    DigitField& f = Field(field);
    if (width > kDigitFieldBytes - 1) width = kDigitFieldBytes - 1;
    char text[kNumberTextMax + 1];
    bool finite = Util_ClassifyFloat(value) < kFloatPlusInfinity;
    uint32_t n = finite ? Util_FloatToText(value, 255, decimals, text) : width + 1;
    // A number too wide for its decimals may still fit without them.
    if (finite && n > width) n = Util_FloatToText(value, 255, 0, text);
    if (n > width) {
        std::memset(f.text, finite && value < 0.0f ? '_' : '*', width);
        f.text[width] = '\0';
        f.point = kDigitPointNone;
        return;
    }
    std::memcpy(f.text, text, n);
    if (n < width) f.text[n++] = '.';
    f.text[n] = '\0';
    const char* dot = std::strchr(f.text, '.');
    f.point = dot == nullptr ? kDigitPointNone : static_cast<uint32_t>(dot - f.text);
}

void Screen_DrawFieldText(uint32_t row, uint32_t column, const char* text) {
    uint8_t blinking = g_BlinkField.active;
    for (uint32_t i = 0; text[i] != '\0' && i < kLcdCharsPerRow; ++i) Lcd_DrawEditChar(row, column, text, i, 0);
    g_BlinkField.active = blinking;
}

void Screen_SetDigitField(uint32_t field, float value, uint32_t digits, uint32_t width) {
    PutNumber(field, value, Util_DecimalsForDigits(value, digits), width);
}

uint32_t Screen_ParseDigitField(uint32_t field, float* value) {
    float parsed = 0.0f;
    if (!Util_ParseDecimal(Field(field).text, &parsed)) return 0;
    *value = parsed;
    return 1;
}

void Screen_StepDigitText(uint32_t field, uint32_t index, uint32_t row, uint32_t column) {
    DigitField& f = Field(field);
    if (index >= kDigitFieldBytes) return;
    if (f.text[index] == '.' && index != f.point) {
        if (f.point < kDigitFieldBytes) f.text[f.point] = '0';
        f.point = index;
        Screen_DrawFieldText(row, column, f.text);
    } else if (f.point < kDigitFieldBytes && f.text[f.point] != '.') {
        f.point = kDigitPointNone;
    }
}

// A fixed "NN.NN" or "NN.N" text of a value held to what it can show.
static void PutFixed(uint32_t field, float value, uint32_t decimals, float lowest, float highest) {
    if (!(value >= lowest)) value = lowest;
    if (value > highest) value = highest;
    DigitField& f = Field(field);
    char text[kNumberTextMax + 1];
    uint32_t n = Util_FloatToText(value, 2, decimals, text);
    if (n > kDigitFieldBytes - 1) n = kDigitFieldBytes - 1;
    std::memcpy(f.text, text, n);
    f.text[n] = '\0';
    f.point = 2;
}

static void DrawFieldChar(uint32_t field, uint32_t row, uint32_t column, uint32_t blink) {
    DigitField& f = Field(field);
    Lcd_DrawEditChar(row, column, f.text, f.cursor, blink);
}

// ---- Temperature source -------------------------------------------------------------------------

// Parameter page 11 holds the source (field 2), value page 7 the fixed temperature on its line 1.
static constexpr uint32_t kSourceField = 2;
static constexpr int8_t kSourceFixed = 4;
static constexpr int8_t kSourceCount = 5;
static constexpr uint32_t kTempLine = 1;
static constexpr uint32_t kTempChars = 5;
static constexpr uint32_t kTextUnitCelsius = 3;
static constexpr uint32_t kTextFixed = 6;
// The "=" stands this far before the fixed temperature.
static constexpr uint32_t kEqualsBefore = 12;

// The fixed temperature was refused: the page comes back with the source the user chose.
static uint8_t s_TempRefused;

static int8_t TempSource() { return g_PageEdit.values[kSourceField]; }
static uint32_t SourceColumn() {
    return g_ParamPageTable[kParamPageTempSource].valueColumn[Menu_Language()][kSourceField];
}
static uint32_t TempColumn() { return ValuePage_ValueColumn(kValuePageFixedTemp, kTempLine, Menu_Language()); }
static char* TempText() { return g_EditLines[kTempLine].text; }

// The source choice, or the fixed-temperature form with "Fixed" where the choice stands.
static void DrawSourceForm(uint32_t blink) {
    uint32_t label = g_ValuePageTable[kValuePageFixedTemp].labelColumn[2];
    uint32_t from = label < SourceColumn() ? label : SourceColumn();
    Lcd_ClearSpan(kRowMessage, from, kLeaveMarkColumn - from);
    int8_t source = TempSource();
    if (source != kSourceFixed) {
        uint32_t index = source >= 0 && source < kSourceFixed ? static_cast<uint32_t>(source) : 0;
        if (blink) {
            Lcd_DrawTextRefBlink(kRowMessage, SourceColumn(), Text_Nth(kTextTempSources, index));
        } else {
            Lcd_DrawTextRef(kRowMessage, SourceColumn(), Text_Nth(kTextTempSources, index));
        }
        return;
    }
    uint32_t column = TempColumn();
    Lcd_DrawText(kRowMessage, column - kEqualsBefore, "=");
    Lcd_DrawText(kRowMessage, column, TempText());
    Lcd_DrawTextRef(kRowMessage, column + kCell * (kTempChars + 1), Text_Nth(kTextUnits, kTextUnitCelsius));
    if (blink) {
        Lcd_DrawTextRefBlink(kRowMessage, label, Text_Nth(kTextValueLabels, kTextFixed));
    } else {
        Lcd_DrawTextRef(kRowMessage, label, Text_Nth(kTextValueLabels, kTextFixed));
    }
}

// The fixed temperature into line 1: the digits the field allows less two, a '.' when shorter.
static void FormatFixedTemp(float value) {
    EditLine& line = g_EditLines[kTempLine];
    char text[kNumberTextMax + 1];
    bool finite = Util_ClassifyFloat(value) < kFloatPlusInfinity;
    uint32_t n = finite ? Util_FloatToText(value, 255, Util_DecimalsForDigits(value, kTempChars - 2), text) : 255;
    if (n > kTempChars) {
        std::memset(line.text, finite && value < 0.0f ? '_' : '*', kTempChars);
        n = kTempChars;
    } else {
        std::memcpy(line.text, text, n);
        if (n < kTempChars) line.text[n++] = '.';
    }
    line.text[n] = '\0';
    const char* dot = std::strchr(line.text, '.');
    line.point = dot == nullptr ? 255 : static_cast<uint8_t>(dot - line.text);
}

static void DrawTempCursor(uint32_t blink) {
    int32_t cursor = g_ValuePageCursor;
    if (cursor == kCursorLeave) {
        if (!blink) Screen_SettleBlink();
        Lcd_DrawChannelMark(kLeaveMarkChannel, blink);
    } else if (cursor == kCursorSelector) {
        if (!blink) Screen_SettleBlink();
        DrawSourceForm(blink);
    } else if (cursor >= 0 && static_cast<uint32_t>(cursor) < kTempChars) {
        Lcd_DrawEditChar(kRowMessage, TempColumn(), TempText(), static_cast<uint32_t>(cursor), blink);
    }
}

void Screen_TempSourceDraw(uint32_t redraw) {
    g_DisplayMode = kKeyModeMenu;
    ParamPage_SetCurrent(kParamPageTempSource);
    if (!(redraw && s_TempRefused)) ParamPage_LoadValues(kParamPageTempSource);
    s_TempRefused = 0;
    g_PageEdit.field = kSourceField;
    ValuePage_MakeCurrent(kValuePageFixedTemp);
    g_ValuePageLine = kTempLine;
    float values[2] = {0.0f, 0.0f};
    ValuePage_Load(kValuePageFixedTemp, values);
    FormatFixedTemp(values[kTempLine]);
    Menu_ClearStatusRows();
    const ParamPageDesc& page = g_ParamPageTable[kParamPageTempSource];
    Lcd_DrawTextRef(kRowMessage, page.labelColumn[Menu_Language()][kSourceField], kTextChannelALabel);
    if (redraw) {
        DrawSourceForm(0);
        g_ValuePageCursor = kCursorLeave;
        Lcd_DrawChannelMark(kLeaveMarkChannel, 1);
    } else {
        Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
        g_ValuePageCursor = kCursorSelector;
        DrawSourceForm(1);
    }
}

// The cursor to a new place: the old one steady (a moved point taking its place), the new one
// blinking.
static void MoveTempCursor(int32_t to) {
    DrawTempCursor(0);
    uint8_t before = g_EditLines[kTempLine].point;
    NumEdit_MoveDecimalPoint(TempText(), kTempChars, &g_EditLines[kTempLine].point);
    if (before != g_EditLines[kTempLine].point && TempSource() == kSourceFixed) {
        Lcd_DrawText(kRowMessage, TempColumn(), TempText());
    }
    g_ValuePageCursor = to;
    DrawTempCursor(1);
}

// ENTER: with the fixed source the temperature goes through value page 7's ENTER (its key handler,
// its checks, its store), and a temperature it refuses keeps every setting as it was; another
// source does not show the temperature, which then stays as stored.
static int32_t TempSourceEnter() {
    bool leave = g_ValuePageCursor == kCursorLeave;
    float values[2] = {0.0f, 0.0f};
    bool fixed = TempSource() == kSourceFixed;
    if (fixed) {
        // Line 0 of the page carries the same temperature as line 1, the one shown.
        std::memcpy(g_EditLines[0].text, TempText(), sizeof g_EditLines[0].text);
        g_EditLines[0].point = g_EditLines[kTempLine].point;
        int32_t r = ValuePage_Key(kEventEnter, values);
        if (r == kEntryLeave || r == kEntryValues) r = ValuePage_CheckEntry(kValuePageFixedTemp, r, values);
        if (r != kEntryLeave && r != kEntryValues) {
            s_TempRefused = 1;
            ValuePage_ShowInvalid(kInvalidValue);
            return kStay;
        }
    }
    ParamPage_ApplyValues(&g_PageEdit);
    if (fixed) ValuePage_Store(kScreenValuePage, kValuePageFixedTemp, values);
    return static_cast<int32_t>(leave ? kActionBackToFirst : kActionAskSave);
}

int32_t Screen_TempSourceKey(uint32_t event) {
    int32_t cursor = g_ValuePageCursor;
    bool fixed = TempSource() == kSourceFixed;
    int32_t step = Menu_KeyStep(event);
    if (step != 0) {
        if (cursor == kCursorSelector) {
            int8_t source = TempSource();
            source = static_cast<int8_t>((source + step + kSourceCount) % kSourceCount);
            g_PageEdit.values[kSourceField] = source;
            Menu_BlinkOff();
            DrawSourceForm(1);
        } else if (cursor >= 0 && cursor < static_cast<int32_t>(kTempChars) && fixed) {
            float ignored[2] = {0.0f, 0.0f};
            ValuePage_Key(event, ignored);
        }
        return kStay;
    }
    switch (event) {
        case kEventRight:
            if (cursor == kCursorLeave) {
                MoveTempCursor(kCursorSelector);
            } else if (cursor == kCursorSelector) {
                MoveTempCursor(fixed ? 0 : kCursorLeave);
            } else {
                MoveTempCursor(cursor + 1 < static_cast<int32_t>(kTempChars) ? cursor + 1 : kCursorLeave);
            }
            return kStay;
        case kEventLeft:
            if (cursor == kCursorLeave) {
                MoveTempCursor(fixed ? static_cast<int32_t>(kTempChars) - 1 : kCursorSelector);
            } else if (cursor == kCursorSelector) {
                MoveTempCursor(kCursorLeave);
            } else {
                MoveTempCursor(cursor > 0 ? cursor - 1 : kCursorSelector);
            }
            return kStay;
        case kEventEnter:
            return TempSourceEnter();
        case kEventRedraw:
            Screen_TempSourceDraw(1);
            return kStay;
        default:
            return kStay;
    }
}

// ---- Verification of a calibration ------------------------------------------------------------------

static uint8_t s_VerifyChannel;
static constexpr uint32_t kVerifyLetterColumn = 18;
static constexpr uint32_t kVerifyValueColumn = 30;
static constexpr uint32_t kVerifyTempColumn = 90;
static constexpr uint32_t kVerifyValueChars = 6;
static constexpr uint32_t kVerifyTempChars = 5;
static constexpr float kVerifyValueLimit = 99999.49f;
static constexpr float kVerifyTempLimit = 1000.0f;
static constexpr uint32_t kUnitCodePh = 13;
static constexpr uint32_t kUnitCodeConductivity = 1;
static constexpr uint32_t kUnitCodeSaturation = 19;

// The quantity and unit a channel's calibration works on, by its configured kind.
static void VerifyQuantity(uint32_t channel, uint32_t* quantity, uint32_t* unit) {
    uint32_t kind = channel < 2 ? g_ChannelKind[channel] : 0;
    *unit = kUnitCodePh;
    *quantity = kQuantityPh;
    if (kind == kKindCond2 || kind == kKindCond4) {
        *quantity = kQuantityConductivity;
        *unit = kUnitCodeConductivity;
    } else if (kind >= kKindO2High && kind <= kKindO2Gauge) {
        *quantity = kQuantityOxygen;
        *unit = kUnitCodeSaturation;
    } else if (kind == kKindO2Optical) {
        *quantity = kQuantityOptical;
        *unit = kUnitCodeSaturation;
    } else if (kind == kKindCo2) {
        *quantity = kQuantityCo2;
    }
}

// A reading or its fill in chars characters; returns the characters drawn.
static uint32_t DrawReading(uint32_t column, float value, uint32_t status, uint32_t chars, float limit,
                            uint32_t decimals) {
    char text[kNumberTextMax + 1];
    bool over = status == kStatusOver || !(std::fabs(value) < limit);
    if (status == kStatusUnder) {
        std::memset(text, '_', chars);
        text[chars] = '\0';
    } else if (over || status != kStatusValid) {
        std::memset(text, '*', chars);
        text[chars] = '\0';
    } else {
        uint32_t n = Util_FloatToText(value, 255, Util_DecimalsForDigits(value, decimals), text);
        if (n > chars) n = Util_FloatToText(value, 255, 0, text);
        text[n < chars ? n : chars] = '\0';
    }
    return Lcd_DrawText(kRowMessage, column, text);
}

void Screen_VerifyCalValue(uint32_t channel) {
    if (channel > 1) channel = 0;
    uint32_t quantity = 0, unit = 0;
    VerifyQuantity(channel, &quantity, &unit);
    Lcd_ClearSpan(kRowMessage, kVerifyValueColumn, kLeaveMarkColumn - kVerifyValueColumn);
    uint32_t status = 0;
    float value = Cal_GetValueById(kMeasIdBase + channel * 0x1000 + quantity, unit, &status);
    uint8_t prefix = kAutoPrefixNone;
    if (unit == kUnitCodeConductivity && status == kStatusValid) value = Unit_AutoPrefix(value, &prefix);
    uint32_t n = DrawReading(kVerifyValueColumn, value, status, kVerifyValueChars, kVerifyValueLimit, 4);
    uint32_t column = kVerifyValueColumn + kCell * (n + 1);
    if (prefix != kAutoPrefixNone) {
        Lcd_DrawText(kRowMessage, column, prefix == kAutoPrefixMilli ? "m" : "{");
        column += kCell;
    }
    Lcd_DrawText(kRowMessage, column, Unit_GetText(unit));
    if (g_ChannelKind[channel] == kKindO2Optical) return;
    float temperature = Meas_GetTemperature(channel, &status);
    uint32_t t = DrawReading(kVerifyTempColumn, temperature, status, kVerifyTempChars, kVerifyTempLimit, 3);
    Lcd_DrawTextRef(kRowMessage, kVerifyTempColumn + kCell * (t + 1), Text_Nth(kTextUnits, kTextUnitCelsius));
}

void Screen_VerifyCalDraw(uint32_t channel) {
    s_VerifyChannel = static_cast<uint8_t>(channel < 2 ? channel : 0);
    g_DisplayMode = kKeyModeMenu;
    Menu_ClearStatusRows();
    TextRef letter = Text_Nth(kTextChannelLetters, s_VerifyChannel);
    uint32_t n = Lcd_DrawTextRef(kRowStatus, 0, kTextVerifyCalLabels);
    Lcd_DrawTextRef(kRowStatus, kCell * (n + 1), letter);
    Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextVerifyCalLabels, 1));
    Lcd_DrawTextRef(kRowMessage, kVerifyLetterColumn, letter);
    Screen_VerifyCalValue(s_VerifyChannel);
}

int32_t Screen_VerifyCalKey(uint32_t event) {
    if (event == kEventEnter) return static_cast<int32_t>(kActionBackOverList);
    if (event == kEventRedraw) {
        Screen_VerifyCalDraw(s_VerifyChannel);
    } else {
        Screen_VerifyCalValue(s_VerifyChannel);
    }
    return kStay;
}

// ---- Calibration constants ------------------------------------------------------------------------

static uint8_t s_CalChannel;
static uint8_t s_SecondForm;
static constexpr uint8_t kCalLeave = 4;
static constexpr uint32_t kCalFields = 4;
static constexpr uint32_t kCalWidth = 6;
static constexpr uint32_t kCalLabelColumns[2] = {18, 84};
static constexpr uint32_t kCalFieldColumns[2] = {30, 96};
// The mV/pH layout moves the second column one cell right.
static constexpr uint32_t kCalMvShift = 6;
// "S=", "Z=", "M=" and "A=" in the calibration value labels.
static constexpr uint32_t kTextLabelS = 0;
static constexpr uint32_t kTextLabelZ = 1;
static constexpr uint32_t kTextLabelM = 4;
static constexpr uint32_t kTextLabelA = 5;

static bool IsCondKind(uint32_t kind) { return kind == kKindCond2 || kind == kKindCond4; }
static bool IsO2Kind(uint32_t kind) { return kind >= kKindO2High && kind <= kKindO2Gauge; }

// The positions whose row 11 is a pH, CO2 or ORP slope and zero with units.
static bool IsUnitPosition() {
    uint32_t base = g_MenuPosition & ~0xF000u;
    return base == 0x100008 || base == 0x10000e || base == 0x10001b;
}

// The slope shown in mV/pH: a pH or CO2 kind with channel A's slope unit 1.
static bool MvPerPhLayout(uint32_t channel) {
    uint32_t kind = channel < 2 ? g_ChannelKind[channel] : 0;
    return (kind == kKindPh || kind == kKindCo2 || kind == 14) && Settings_GetSlopeUnit(0) == 1;
}

static uint32_t CalFieldColumn(uint32_t channel, uint32_t field) {
    uint32_t column = kCalFieldColumns[field & 1];
    if ((field & 1) && MvPerPhLayout(channel)) column += kCalMvShift;
    return column;
}

// The characters of a field the cursor visits.
static uint32_t CalFieldChars(uint32_t channel, uint32_t field) {
    if (!IsUnitPosition() || field >= 2) return kCalWidth;
    return field == 0 && MvPerPhLayout(channel) ? 4 : 5;
}

void Screen_CalEditFieldA(uint32_t channel, uint32_t row, uint32_t field, float value) {
    Screen_SetDigitField(field, value, 4, kCalWidth);
    Lcd_DrawText(RowOf(row), CalFieldColumn(channel, field), Field(field).text);
}

void Screen_CalEditFieldB(uint32_t channel, uint32_t row, uint32_t field, float value) {
    if (value >= 99999.1f) value = 99999.0f;
    if (value < -9999.1f) value = -9999.0f;
    bool narrow = field == 0 && MvPerPhLayout(channel);
    uint32_t decimals = 0;
    if (!(value + 0.5f >= 10000.0f || value - 0.5f < -1000.0f))
        decimals = Util_DecimalsForDigits(value, narrow ? 2 : 3);
    PutNumber(field, value, decimals, narrow ? 4 : 5);
    Lcd_DrawText(RowOf(row), CalFieldColumn(channel, field), Field(field).text);
}

static void DrawCalCursor(uint32_t blink) {
    uint32_t field = g_DigitFieldCursor;
    if (field >= kCalFields) {
        if (!blink) Screen_SettleBlink();
        Lcd_DrawChannelMark(kLeaveMarkChannel, blink);
        return;
    }
    DrawFieldChar(field, RowOf(field / 2), CalFieldColumn(s_CalChannel, field), blink);
}

void Screen_CalEditDraw(uint32_t channel, uint32_t redraw) {
    if (channel > 1) channel = 0;
    s_CalChannel = static_cast<uint8_t>(channel);
    g_DisplayMode = kKeyModeMenu;
    if (!redraw) Chan_LoadCalEditValues(channel, Menu_TopScreen() == kScreenCalEdit2 ? 1 : 0);
    Menu_ClearStatusRows();
    uint32_t editedKind = Settings_GetEditKind(channel);
    bool mvPerPh = MvPerPhLayout(channel);
    for (uint32_t r = 0; r < 2; ++r) {
        uint32_t row = RowOf(r);
        Lcd_DrawTextRef(row, 0, Text_Nth(kTextChannelLetters, channel));
        Lcd_DrawText(row, kCell, r == 0 ? "p" : "s");
        bool cellLabels = r == 1 || IsCondKind(editedKind);
        Lcd_DrawTextRef(row, kCalLabelColumns[0],
                        Text_Nth(kTextCalValueLabels, cellLabels ? kTextLabelM : kTextLabelS));
        Lcd_DrawTextRef(row, kCalLabelColumns[1] + (mvPerPh ? kCalMvShift : 0),
                        Text_Nth(kTextCalValueLabels, cellLabels ? kTextLabelA : kTextLabelZ));
    }
    const float* values = g_CalEditValues[channel];
    for (uint32_t field = 0; field < kCalFields; ++field) {
        Field(field).cursor = 0;
        if (field < 2 && IsUnitPosition()) {
            Screen_CalEditFieldB(channel, field / 2, field, values[field]);
        } else {
            Screen_CalEditFieldA(channel, field / 2, field, values[field]);
        }
    }
    // The units stand right after the fields: drawn last, they keep their first column.
    if (IsUnitPosition()) {
        if (Settings_GetSlopeUnit(0) == 1) {
            Lcd_DrawText(kRowStatus, 54, "mV/pH");
        } else {
            Lcd_DrawText(kRowStatus, 60, "%");
        }
        Lcd_DrawText(kRowStatus, 132, Settings_GetOffsetUnit(0) == 1 ? "mV" : "pH");
    }
    if (IsO2Kind(editedKind)) {
        Lcd_DrawText(kRowStatus, 66, "nA");
        Lcd_DrawText(kRowStatus, 132, "nA");
    }
    if (redraw) {
        Menu_BlinkOff();
        g_DigitFieldCursor = kCalLeave;
        Lcd_DrawChannelMark(kLeaveMarkChannel, 1);
    } else {
        Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
        g_DigitFieldCursor = 0;
        DrawCalCursor(1);
    }
}

void Screen_CalEditSecondForm() {
    s_SecondForm = IsCondKind(Settings_GetEditKind(0)) ? 0 : 1;
    g_MenuPosition = 0x100005;
    Screen_CalEditDraw(s_SecondForm, 0);
}

uint32_t Screen_CalEditChannel() { return s_CalChannel; }

// The point moved to a '.' under the cursor of a field.
static void SettleCalPoint() {
    uint32_t field = g_DigitFieldCursor;
    if (field >= kCalFields) return;
    Screen_StepDigitText(field, Field(field).cursor, RowOf(field / 2), CalFieldColumn(s_CalChannel, field));
}

static void MoveCalCursor(bool forward) {
    DrawCalCursor(0);
    SettleCalPoint();
    uint32_t field = g_DigitFieldCursor;
    if (forward) {
        if (field >= kCalFields) {
            field = 0;
            Field(0).cursor = 0;
        } else if (Field(field).cursor + 1 < CalFieldChars(s_CalChannel, field)) {
            ++Field(field).cursor;
        } else if (++field < kCalFields) {
            Field(field).cursor = 0;
        }
    } else {
        if (field >= kCalFields) {
            field = kCalFields - 1;
            Field(field).cursor = CalFieldChars(s_CalChannel, field) - 1;
        } else if (Field(field).cursor > 0) {
            --Field(field).cursor;
        } else if (field > 0) {
            --field;
            Field(field).cursor = CalFieldChars(s_CalChannel, field) - 1;
        } else {
            field = kCalLeave;
        }
    }
    g_DigitFieldCursor = static_cast<uint8_t>(field < kCalFields ? field : kCalLeave);
    DrawCalCursor(1);
}

static int32_t CalEditEnter(uint32_t channel) {
    bool leave = g_DigitFieldCursor >= kCalFields;
    SettleCalPoint();
    // The page edits the channel it shows: the other channel's constants stay as they are.
    float* values = g_CalEditValues[channel < 2 ? channel : 0];
    for (uint32_t field = 0; field < kCalFields; ++field) Screen_ParseDigitField(field, &values[field]);
    if (g_MenuLastNode != 0) {
        if (!leave) return static_cast<int32_t>(kActionAnalogOutputPage);
        if (s_SecondForm && IsCondKind(Settings_GetEditKind(0))) {
            s_SecondForm = 0;
            s_CalChannel = 0;
            return static_cast<int32_t>(kEventRedraw);
        }
        ParamPage_SetCurrent(kParamPageChannelSelect);
        return static_cast<int32_t>(kActionBack);
    }
    return static_cast<int32_t>(leave ? kActionBackOverList : kEventCalStepDone);
}

int32_t Screen_CalEditKey(uint32_t event, uint32_t channel) {
    int32_t step = Menu_KeyStep(event);
    if (step != 0) {
        uint32_t field = g_DigitFieldCursor;
        if (field >= kCalFields) return kStay;
        DigitField& f = Field(field);
        NumEdit_StepDigit(f.text, f.cursor, f.cursor == 0 ? '-' : '.', '9', step);
        if (f.point < kDigitFieldBytes && f.text[f.point] != '.') f.point = kDigitPointNone;
        DrawCalCursor(1);
        return kStay;
    }
    switch (event) {
        case kEventRight:
        case kEventLeft:
            MoveCalCursor(event == kEventRight);
            return kStay;
        case kEventEnter:
            return CalEditEnter(channel);
        case kEventRedraw:
            Screen_CalEditDraw(s_CalChannel, 1);
            return kStay;
        default:
            return kStay;
    }
}

// ---- Linear compensation coefficients ---------------------------------------------------------------

static uint8_t s_LinPart;
static uint8_t s_LinLines[4];
static uint8_t s_LinCount;
static uint8_t s_LinRows;
static constexpr uint32_t kLinStops[4] = {0, 1, 3, 4};
static constexpr uint32_t kLinLetterColumn = 0;
static constexpr uint32_t kLinUnitAfter = 36;
static constexpr float kCoefficientHighest = 99.99f;
// A coefficient from here on rounds to more than the field's "NN.NN" holds.
static constexpr float kCoefficientShownBelow = 99.995f;
static constexpr uint32_t kCoefficientChars = 5;
static constexpr uint32_t kCoefficientPoint = 2;
// The shown rows the user stepped: only they are taken on ENTER, the others keep what is stored.
static uint8_t s_LinEdited[2];

static uint32_t LinNumberColumn() {
    char label[kTextMaxChars + 1];
    return kCell * (1 + Text_Copy(kTextCompLabel, label) + 1);
}
static uint32_t LinLeave() { return 4u * s_LinRows; }
// The display line a shown row stands for.
static uint32_t LinLine(uint32_t row) { return s_LinLines[(s_LinPart == 0 ? 0 : 2) + row]; }

static void DrawLinCursor(uint32_t blink) {
    uint32_t stop = g_DigitFieldCursor;
    if (stop >= LinLeave()) {
        if (!blink) Screen_SettleBlink();
        Lcd_DrawChannelMark(kLeaveMarkChannel, blink);
        return;
    }
    uint32_t row = stop / 4;
    Field(row).cursor = kLinStops[stop % 4];
    DrawFieldChar(row, RowOf(row), LinNumberColumn(), blink);
}

// A coefficient into a row's field as "NN.NN"; one the field cannot hold shows the over- or
// under-range fill.
static void PutCoefficient(uint32_t row, float value) {
    if (value >= 0.0f && value < kCoefficientShownBelow) {
        PutFixed(row, value, 2, 0.0f, kCoefficientHighest);
        return;
    }
    DigitField& f = Field(row);
    std::memset(f.text, value < 0.0f ? '_' : '*', kCoefficientChars);
    f.text[kCoefficientChars] = '\0';
    f.point = kDigitPointNone;
}

// A row's first step: a fill gives way to the nearest coefficient the field holds, which the step
// then changes.
static void BeginLinEdit(uint32_t row) {
    if (s_LinEdited[row]) return;
    s_LinEdited[row] = 1;
    DigitField& f = Field(row);
    if (f.text[kCoefficientPoint] == '.') return;
    PutFixed(row, f.text[0] == '_' ? 0.0f : kCoefficientHighest, 2, 0.0f, kCoefficientHighest);
    Screen_DrawFieldText(RowOf(row), LinNumberColumn(), f.text);
}

void Screen_LinCompDraw(uint32_t part, uint32_t redraw) {
    g_DisplayMode = kKeyModeMenu;
    s_LinCount = 0;
    for (uint8_t line = 0; line < 4; ++line) {
        uint8_t mode = g_WorkSet.params.compMode[line];
        if (mode == 1 || mode == 2) s_LinLines[s_LinCount++] = line;
    }
    s_LinPart = static_cast<uint8_t>(part != 0 && s_LinCount > 2 ? 1 : 0);
    if (s_LinPart == 0) {
        s_LinRows = static_cast<uint8_t>(s_LinCount < 2 ? s_LinCount : 2);
    } else {
        s_LinRows = static_cast<uint8_t>(s_LinCount - 2);
    }
    Menu_ClearStatusRows();
    s_LinEdited[0] = s_LinEdited[1] = 0;
    for (uint32_t row = 0; row < s_LinRows; ++row) {
        uint32_t line = LinLine(row);
        uint32_t r = RowOf(row);
        Lcd_DrawTextRef(r, kLinLetterColumn, Text_Nth(kTextLineLetters, line));
        Lcd_DrawTextRef(r, kCell, kTextCompLabel);
        PutCoefficient(row, g_WorkSet.params.compCoefficient[line]);
        Lcd_DrawText(r, LinNumberColumn(), Field(row).text);
        // Percent per degree.
        Lcd_DrawText(r, LinNumberColumn() + kLinUnitAfter, "%/@C");
    }
    if (redraw) {
        Menu_BlinkOff();
        g_DigitFieldCursor = static_cast<uint8_t>(LinLeave());
        Lcd_DrawChannelMark(kLeaveMarkChannel, 1);
    } else {
        Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
        g_DigitFieldCursor = 0;
        DrawLinCursor(1);
    }
}

int32_t Screen_LinCompKey(uint32_t event) {
    int32_t step = Menu_KeyStep(event);
    uint32_t stops = LinLeave() + 1;
    if (step != 0) {
        if (g_DigitFieldCursor >= LinLeave()) return kStay;
        BeginLinEdit(g_DigitFieldCursor / 4u);
        DigitField& f = Field(g_DigitFieldCursor / 4);
        NumEdit_StepDigit(f.text, f.cursor, '0', '9', step);
        DrawLinCursor(1);
        return kStay;
    }
    switch (event) {
        case kEventRight:
        case kEventLeft:
            DrawLinCursor(0);
            g_DigitFieldCursor = static_cast<uint8_t>(event == kEventRight ? (g_DigitFieldCursor + 1) % stops
                                                                           : (g_DigitFieldCursor + stops - 1) % stops);
            DrawLinCursor(1);
            return kStay;
        case kEventEnter: {
            bool leave = g_DigitFieldCursor >= LinLeave();
            for (uint32_t row = 0; row < s_LinRows; ++row) {
                if (s_LinEdited[row]) Screen_ParseDigitField(row, &g_WorkSet.params.compCoefficient[LinLine(row)]);
            }
            if (leave) {
                if (s_LinPart == 1) {
                    s_LinPart = 0;
                    return static_cast<int32_t>(kEventRedraw);
                }
                return static_cast<int32_t>(kActionBack);
            }
            if (s_LinPart == 0 && s_LinCount > 2) {
                s_LinPart = 1;
                return static_cast<int32_t>(kEventAccessGranted);
            }
            return static_cast<int32_t>(kActionAskSave);
        }
        case kEventRedraw:
            Screen_LinCompDraw(s_LinPart, 1);
            return kStay;
        case kEventAccessGranted:
            // The next part, drawn without the leave marker.
            Screen_LinCompDraw(s_LinPart, 0);
            return kStay;
        default:
            return kStay;
    }
}

// ---- Calibration compensation -------------------------------------------------------------------

// Row 12 from a column to the leave marker, except what a choice of the page's field shows there.
static void ClearAfterChoice(uint32_t page, uint32_t field, uint32_t column) {
    const ParamPageDesc& d = g_ParamPageTable[page];
    uint32_t choiceEnd = d.valueColumn[Menu_Language()][field] + d.valueWidth[Menu_Language()][field];
    if (column < choiceEnd) column = choiceEnd;
    if (column < kLeaveMarkColumn) Lcd_ClearSpan(kRowMessage, column, kLeaveMarkColumn - column);
}

// Parameter page 51: the compensation in field 2; the coefficient is this page's field 4, the
// leave marker its field 5.
static constexpr uint8_t kCompChoiceField = 2;
static constexpr uint8_t kCompNumber = 4;
static constexpr uint8_t kCompLeave = 5;
static constexpr uint32_t kCompStops[4] = {0, 1, 3, 4};
static uint8_t s_CompField;
static uint8_t s_CompStop;

static bool CompHasCoefficient() {
    int8_t choice = g_PageEdit.values[kCompChoiceField];
    return choice == 1 || choice == 2;
}
static uint32_t CompEqualsColumn() { return g_ParamPageTable[kParamPageCalComp].valueColumn[Menu_Language()][3]; }
static uint32_t CompNumberColumn() { return CompEqualsColumn() + 12; }

// The number as it stands, beside a linear compensation only.
static void DrawCompNumber() {
    uint32_t column = CompEqualsColumn();
    if (!CompHasCoefficient()) {
        ClearAfterChoice(kParamPageCalComp, kCompChoiceField, column);
        return;
    }
    Lcd_ClearSpan(kRowMessage, column, kLeaveMarkColumn - column);
    Lcd_DrawText(kRowMessage, column, "=");
    Lcd_DrawText(kRowMessage, CompNumberColumn(), Field(0).text);
    Lcd_DrawText(kRowMessage, CompNumberColumn() + kLinUnitAfter, "%/@C");
}

void Screen_CompCoefField(float value) {
    PutFixed(0, value * 100.0f, 2, 0.0f, kCoefficientHighest);
    DrawCompNumber();
}

// Makes the page's field current: the choice through the engine, the number's digit or the marker
// here.
static void SelectCompField(uint8_t field) {
    Screen_SettleBlink();
    s_CompField = field;
    // The engine clears the choice's whole width, which may reach the number: it is drawn again.
    if (field == kCompChoiceField) {
        ParamPage_SelectField(kCompChoiceField);
        DrawCompNumber();
        return;
    }
    // The engine draws its choice plain with the marker blinking.
    ParamPage_SelectField(kParamLeaveMarker);
    DrawCompNumber();
    if (field == kCompNumber) {
        Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
        Field(0).cursor = kCompStops[s_CompStop];
        DrawFieldChar(0, kRowMessage, CompNumberColumn(), 1);
    }
}

void Screen_CompCoefDraw(uint32_t redraw) {
    ParamPage_Open(kParamPageCalComp, redraw ? 1 : 0);
    Screen_CompCoefField(CalCond_GetRefCoefficientFwd(Settings_GetEditChannel()));
    s_CompStop = 0;
    SelectCompField(redraw ? kCompLeave : kCompChoiceField);
}

int32_t Screen_CompCoefKey(uint32_t event) {
    int32_t step = Menu_KeyStep(event);
    bool coefficient = CompHasCoefficient();
    if (step != 0) {
        if (s_CompField == kCompChoiceField) {
            ParamPage_EditKey(event, &g_PageEdit);
            SelectCompField(kCompChoiceField);
        } else if (s_CompField == kCompNumber) {
            DigitField& f = Field(0);
            NumEdit_StepDigit(f.text, f.cursor, '0', '9', step);
            DrawFieldChar(0, kRowMessage, CompNumberColumn(), 1);
        }
        return kStay;
    }
    switch (event) {
        case kEventRight:
            if (s_CompField == kCompChoiceField) {
                s_CompStop = 0;
                SelectCompField(coefficient ? kCompNumber : kCompLeave);
            } else if (s_CompField == kCompNumber) {
                if (s_CompStop + 1u < 4u) {
                    ++s_CompStop;
                    SelectCompField(kCompNumber);
                } else {
                    SelectCompField(kCompLeave);
                }
            } else {
                SelectCompField(kCompChoiceField);
            }
            return kStay;
        case kEventLeft:
            if (s_CompField == kCompLeave) {
                s_CompStop = 3;
                SelectCompField(coefficient ? kCompNumber : kCompChoiceField);
            } else if (s_CompField == kCompNumber) {
                if (s_CompStop > 0) {
                    --s_CompStop;
                    SelectCompField(kCompNumber);
                } else {
                    SelectCompField(kCompChoiceField);
                }
            } else {
                SelectCompField(kCompLeave);
            }
            return kStay;
        case kEventEnter: {
            ParamPage_ApplyValues(&g_PageEdit);
            float number = 0.0f;
            if (coefficient && Screen_ParseDigitField(0, &number)) {
                CalCond_SetRefCoefficientFwd(Settings_GetEditChannel(), number / 100.0f);
            }
            return static_cast<int32_t>(s_CompField == kCompLeave ? kActionBack : kActionCalTypePage);
        }
        case kEventRedraw:
            Screen_CompCoefDraw(1);
            return kStay;
        default:
            return kStay;
    }
}

// ---- Output hold value ---------------------------------------------------------------------------

// Parameter page 30: the output (field 0) and its hold mode (field 2); the current is this page's
// field 4, the leave marker its field 5.
static constexpr uint8_t kHoldOutputField = 0;
static constexpr uint8_t kHoldModeField = 2;
static constexpr uint8_t kHoldCurrent = 4;
static constexpr uint8_t kHoldLeave = 5;
static constexpr int8_t kHoldModeFixed = 1;
static constexpr uint32_t kHoldStops[3] = {0, 1, 3};
static constexpr float kHoldWeights[3] = {10.0f, 1.0f, 0.1f};
static constexpr float kHoldLowest = 3.6f;
static constexpr float kHoldHighest = 22.0f;
static constexpr uint32_t kHoldUnitAfter = 24;
static constexpr uint32_t kTextUnitMa = 14;
static uint8_t s_HoldField;
static uint8_t s_HoldStop;

static bool HoldFixed() { return g_PageEdit.values[kHoldModeField] == kHoldModeFixed; }
static uint32_t HoldOutput() { return ParamPage_SelectedOutput(); }
static uint32_t HoldColumn() { return g_ParamPageTable[kParamPageOutputHold].valueColumn[Menu_Language()][3]; }

// The current as it stands, with "Fixed =" only.
static void DrawHoldCurrent() {
    uint32_t column = HoldColumn();
    if (!HoldFixed()) {
        ClearAfterChoice(kParamPageOutputHold, kHoldModeField, column);
        return;
    }
    Lcd_ClearSpan(kRowMessage, column, kLeaveMarkColumn - column);
    Lcd_DrawText(kRowMessage, column, Field(0).text);
    Lcd_DrawTextRef(kRowMessage, column + kHoldUnitAfter, Text_Nth(kTextUnits, kTextUnitMa));
}

void Screen_AoutMaField(uint32_t output) {
    PutFixed(0, g_WorkSet.outputs.holdValue[output < kAoutCount ? output : 0], 1, kHoldLowest, kHoldHighest);
    DrawHoldCurrent();
}

static void SelectHoldField(uint8_t field) {
    Screen_SettleBlink();
    s_HoldField = field;
    // The engine clears the hold mode's whole width, which reaches the current: it is drawn again.
    if (field == kHoldOutputField || field == kHoldModeField) {
        ParamPage_SelectField(field);
        DrawHoldCurrent();
        return;
    }
    ParamPage_SelectField(kParamLeaveMarker);
    DrawHoldCurrent();
    if (field == kHoldCurrent) {
        Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
        Field(0).cursor = kHoldStops[s_HoldStop];
        DrawFieldChar(0, kRowMessage, HoldColumn(), 1);
    }
}

// The current shown goes to the output's hold value in the working set.
static void StoreHoldCurrent() {
    float current = 0.0f;
    if (!Screen_ParseDigitField(0, &current)) return;
    if (current < kHoldLowest) current = kHoldLowest;
    if (current > kHoldHighest) current = kHoldHighest;
    g_WorkSet.outputs.holdValue[HoldOutput()] = current;
}

void Screen_AoutMaDraw(uint32_t output, uint32_t redraw) {
    ParamPage_SelectOutput(static_cast<uint8_t>(output));
    ParamPage_Open(kParamPageOutputHold, redraw ? 1 : 0);
    Screen_AoutMaField(HoldOutput());
    s_HoldStop = 0;
    SelectHoldField(redraw ? kHoldLeave : kHoldOutputField);
}

static int32_t HoldEnter(uint32_t event) {
    ParamPage_ApplyValues(&g_PageEdit);
    StoreHoldCurrent();
    if (event == kEventEscape) return static_cast<int32_t>(kActionAskSave);
    if (s_HoldField == kHoldLeave) {
        ValuePage_MakeCurrent(kValuePageOutputRange);
        return static_cast<int32_t>(kActionBack);
    }
    return static_cast<int32_t>(HoldOutput() == 0 ? kActionOutputDampingPage : kActionAskSave);
}

int32_t Screen_AoutMaKey(uint32_t event) {
    int32_t step = Menu_KeyStep(event);
    if (step != 0) {
        if (s_HoldField == kHoldCurrent) {
            float current = kHoldLowest;
            if (!Screen_ParseDigitField(0, &current)) current = kHoldLowest;
            current += static_cast<float>(step) * kHoldWeights[s_HoldStop < 3 ? s_HoldStop : 2];
            // Tenths of a milliampere, within what an output can hold.
            current = std::floor(current * 10.0f + 0.5f) / 10.0f;
            if (current < kHoldLowest) current = kHoldLowest;
            if (current > kHoldHighest) current = kHoldHighest;
            PutFixed(0, current, 1, kHoldLowest, kHoldHighest);
            Screen_DrawFieldText(kRowMessage, HoldColumn(), Field(0).text);
            DrawFieldChar(0, kRowMessage, HoldColumn(), 1);
        } else if (s_HoldField == kHoldOutputField) {
            // The current shown belongs to the output being left.
            StoreHoldCurrent();
            ParamPage_EditKey(event, &g_PageEdit);
            Screen_AoutMaDraw(HoldOutput(), 0);
        } else if (s_HoldField == kHoldModeField) {
            ParamPage_EditKey(event, &g_PageEdit);
            SelectHoldField(kHoldModeField);
        }
        return kStay;
    }
    switch (event) {
        case kEventRight:
            if (s_HoldField == kHoldOutputField) {
                SelectHoldField(kHoldModeField);
            } else if (s_HoldField == kHoldModeField) {
                s_HoldStop = 0;
                SelectHoldField(HoldFixed() ? kHoldCurrent : kHoldLeave);
            } else if (s_HoldField == kHoldCurrent) {
                if (s_HoldStop + 1u < 3u) {
                    ++s_HoldStop;
                    SelectHoldField(kHoldCurrent);
                } else {
                    SelectHoldField(kHoldLeave);
                }
            } else {
                SelectHoldField(kHoldOutputField);
            }
            return kStay;
        case kEventLeft:
            if (s_HoldField == kHoldLeave) {
                s_HoldStop = 2;
                SelectHoldField(HoldFixed() ? kHoldCurrent : kHoldModeField);
            } else if (s_HoldField == kHoldCurrent) {
                if (s_HoldStop > 0) {
                    --s_HoldStop;
                    SelectHoldField(kHoldCurrent);
                } else {
                    SelectHoldField(kHoldModeField);
                }
            } else if (s_HoldField == kHoldModeField) {
                SelectHoldField(kHoldOutputField);
            } else {
                SelectHoldField(kHoldLeave);
            }
            return kStay;
        case kEventEnter:
        case kEventEscape:
            return HoldEnter(event);
        case kEventRedraw:
            Screen_AoutMaDraw(HoldOutput(), 1);
            return kStay;
        default:
            return kStay;
    }
}

void Screen_ResetEditPagesState() {
    for (DigitField& f : g_DigitFields) f = DigitField{{0}, 0, kDigitPointNone};
    g_DigitFieldCursor = 0;
    s_TempRefused = 0;
    s_VerifyChannel = 0;
    s_CalChannel = 0;
    s_SecondForm = 0;
    s_LinPart = 0;
    s_LinCount = 0;
    s_LinRows = 0;
    for (uint8_t& line : s_LinLines) line = 0;
    s_LinEdited[0] = s_LinEdited[1] = 0;
    s_CompField = kCompChoiceField;
    s_CompStop = 0;
    s_HoldField = kHoldOutputField;
    s_HoldStop = 0;
}
