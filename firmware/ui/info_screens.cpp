// Info, list and countdown screens, the timed output hold and the numeric editor's live value.
#include "ui/info_screens.h"

#include <cstring>

#include "core/fmt.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/param.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "core/ui_ids.h"
#include "core/util.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/conductivity.h"
#include "measurement/meas.h"
#include "outputs/hold.h"
#include "ui/menu.h"
#include "ui/numedit.h"
#include "ui/select_screen.h"

// The state byte the screens share.
static uint8_t& State() { return g_MenuTreeView.pageCounter; }

static constexpr uint32_t kChar = 6;

void Screen_EndTimedHold() {
    g_TimedHold = 0;
    g_OutputHold = 0;
    Timer_Stop(kTimerTimedHold);
}

// ---- Meter factors -------------------------------------------------------------------------------

// Factor codes of the info pages.
static constexpr uint32_t kFactorR1 = 1;
static constexpr uint32_t kFactorR5 = 5;
static constexpr uint32_t kFactorVoltage = 6;
static constexpr uint32_t kFactorCurrent1 = 7;
static constexpr uint32_t kFactorTemperature = 9;
static constexpr uint32_t kFactorOutput1 = 10;
static constexpr uint32_t kFactorOutput2 = 11;
static constexpr uint32_t kFactorGlass = 19;
static constexpr uint32_t kFactorReference = 20;
static constexpr uint32_t kFactorAnalogInput = 26;
static constexpr uint32_t kFactorCurrent2 = 27;
static constexpr uint32_t kFactorLinearInput = 28;

// The board-table code of a factor's item 0 and the index it is read with.
struct FactorSource {
    uint32_t code;
    uint32_t index;
};

static bool FactorSourceOf(uint32_t code, FactorSource* source) {
    if (code >= kFactorR1 && code <= kFactorR5) {
        *source = FactorSource{100, code - kFactorR1};
        return true;
    }
    switch (code) {
        case kFactorVoltage:
            *source = FactorSource{102, 0};
            return true;
        case kFactorCurrent1:
            *source = FactorSource{104, 0};
            return true;
        case kFactorTemperature:
            *source = FactorSource{106, 0};
            return true;
        case kFactorOutput1:
        case kFactorOutput2:
            *source = FactorSource{118, code - kFactorOutput1};
            return true;
        case kFactorGlass:
            *source = FactorSource{109, 0};
            return true;
        case kFactorReference:
            *source = FactorSource{111, 0};
            return true;
        case kFactorAnalogInput:
            *source = FactorSource{113, 0};
            return true;
        case kFactorCurrent2:
            *source = FactorSource{104, 1};
            return true;
        case kFactorLinearInput:
            *source = FactorSource{120, 1};
            return true;
        default:
            return false;
    }
}

float Screen_GetMeterFactor(uint32_t code, uint32_t item, uint32_t channel) {
    FactorSource source{};
    if (!FactorSourceOf(code, &source)) return 0.0f;
    uint32_t status = 0;
    return Param_GetValueByCode(channel, source.code + item, source.index, &status);
}

uint32_t Screen_FormatField(float value, uint32_t digits, uint32_t width, char* text) {
    char number[kNumberTextMax + 1];
    uint32_t n = Util_FloatToText(value, 255, Util_DecimalsForDigits(value, digits), number);
    // A negative value that rounds to zero is shown as a zero is, with a zero's decimals.
    if (value < 0.0f && number[0] != '-') n = Util_FloatToText(0.0f, 255, Util_DecimalsForDigits(0.0f, digits), number);
    if (n > width) n = width;
    std::memcpy(text, number, n);
    if (n < width && std::memchr(text, '.', n) == nullptr) text[n++] = '.';
    text[n] = '\0';
    return n;
}

// Fills of a factor field beyond its range.
static const char kFactorFill[] = "******";
static constexpr float kFactorUpper = 1000000.0f;
static constexpr float kFactorLower = -100000.0f;
static constexpr uint32_t kFactorDigits = 4;
static constexpr uint32_t kFactorWidth = 6;

void Screen_DrawMeterFactor(uint32_t row, uint32_t column, uint32_t code, uint32_t item, uint32_t channel) {
    float value = Screen_GetMeterFactor(code, item, channel);
    if (value > -0.0001f && value < 0.0f) value = 0.0f;
    // A factor that is no number cannot be shown either.
    if (!(value + 0.5f < kFactorUpper) || value - 0.5f < kFactorLower) {
        Lcd_DrawText(row, column, kFactorFill);
        return;
    }
    char text[kFactorWidth + 1];
    Screen_FormatField(value, kFactorDigits, kFactorWidth, text);
    Lcd_DrawText(row, column, text);
}

// ---- "Meter Cal Factors" pages -------------------------------------------------------------------

// Labels of the numeric editor's fields (text group 5).
static constexpr uint32_t kLabelR1 = 1;
static constexpr uint32_t kLabelV = 6;
static constexpr uint32_t kLabelI = 7;
static constexpr uint32_t kLabelT = 9;
static constexpr uint32_t kLabelAout1 = 10;
static constexpr uint32_t kLabelRg = 19;
static constexpr uint32_t kLabelRr = 20;
// "M=" and "A=" in the list of calibration value labels.
static constexpr uint32_t kValueLabelM = 4;
static constexpr uint32_t kValueLabelA = 5;
// "Ain" among the value sources.
static constexpr uint32_t kSourceAin = 1;
// The factors shown are channel A's.
static constexpr uint32_t kInfoChannel = 0;

// One line of a factor page: the label at its column, "M=" and "A=", the two values.
struct FactorLine {
    uint8_t labelColumn;
    uint8_t mColumn;
    uint8_t aColumn;
    uint8_t mValueColumn;
    uint8_t aValueColumn;
};
static constexpr FactorLine kInputLine = {12, 30, 84, 42, 96};
static constexpr FactorLine kImpedanceLine = {12, 30, 90, 42, 102};
static constexpr FactorLine kOutputLine = {0, 32, 92, 44, 104};
static constexpr FactorLine kAnalogInputLine = {0, 24, 84, 36, 96};

static void DrawChannelSymbol(uint32_t row) { Lcd_DrawTextRef(row, 0, Text_Nth(kTextChannelLetters, 0)); }

static void DrawFactorPair(const FactorLine& line, uint32_t code) {
    Lcd_DrawTextRef(kRowStatus, line.mColumn, Text_Nth(kTextCalValueLabels, kValueLabelM));
    Lcd_DrawTextRef(kRowStatus, line.aColumn, Text_Nth(kTextCalValueLabels, kValueLabelA));
    Screen_DrawMeterFactor(kRowStatus, line.mValueColumn, code, 0, kInfoChannel);
    Screen_DrawMeterFactor(kRowStatus, line.aValueColumn, code, 1, kInfoChannel);
}

// The temperature input's curve: a and b on row 11, c on row 12.
static void DrawTemperaturePage() {
    for (uint32_t row = kRowStatus; row <= kRowMessage; ++row) {
        DrawChannelSymbol(row);
        Lcd_DrawTextRef(row, 12, Text_Nth(kTextNumFieldLabels, kLabelT));
    }
    Lcd_DrawText(kRowStatus, 30, "a");
    Lcd_DrawText(kRowStatus, 36, "=");
    Lcd_DrawText(kRowStatus, 84, "b");
    Lcd_DrawText(kRowStatus, 90, "=");
    Screen_DrawMeterFactor(kRowStatus, 42, kFactorTemperature, 0, kInfoChannel);
    Screen_DrawMeterFactor(kRowStatus, 96, kFactorTemperature, 1, kInfoChannel);
    Lcd_DrawText(kRowMessage, 30, "c");
    Lcd_DrawText(kRowMessage, 36, "=");
    Screen_DrawMeterFactor(kRowMessage, 42, kFactorTemperature, 2, kInfoChannel);
}

void Screen_DrawInfoPage(uint32_t page) {
    Menu_ClearStatusRows();
    if (page <= 4) {
        DrawChannelSymbol(kRowStatus);
        Lcd_DrawTextRef(kRowStatus, kInputLine.labelColumn, Text_Nth(kTextNumFieldLabels, kLabelR1 + page));
        DrawFactorPair(kInputLine, kFactorR1 + page);
    } else if (page == 5) {
        DrawChannelSymbol(kRowStatus);
        Lcd_DrawTextRef(kRowStatus, kInputLine.labelColumn, Text_Nth(kTextNumFieldLabels, kLabelV));
        DrawFactorPair(kInputLine, kFactorVoltage);
    } else if (page == 6 || page == 7) {
        DrawChannelSymbol(kRowStatus);
        Lcd_DrawTextRef(kRowStatus, kInputLine.labelColumn, Text_Nth(kTextNumFieldLabels, kLabelI));
        Lcd_DrawTextRef(kRowStatus, 18, Text_Nth(kTextNumberNames, page - 6));
        DrawFactorPair(kInputLine, page == 6 ? kFactorCurrent1 : kFactorCurrent2);
    } else if (page == 8) {
        DrawTemperaturePage();
    } else if (page == 9 || page == 10) {
        DrawChannelSymbol(kRowStatus);
        Lcd_DrawTextRef(kRowStatus, kImpedanceLine.labelColumn,
                        Text_Nth(kTextNumFieldLabels, page == 9 ? kLabelRg : kLabelRr));
        DrawFactorPair(kImpedanceLine, page == 9 ? kFactorGlass : kFactorReference);
    } else if (page == 11 || page == 12) {
        Lcd_DrawTextRef(kRowStatus, kOutputLine.labelColumn, Text_Nth(kTextNumFieldLabels, kLabelAout1 + page - 11));
        DrawFactorPair(kOutputLine, page == 11 ? kFactorOutput1 : kFactorOutput2);
    } else if (page == 13) {
        Lcd_DrawTextRef(kRowStatus, kAnalogInputLine.labelColumn, Text_Nth(kTextValueSources, kSourceAin));
        DrawFactorPair(kAnalogInputLine, kFactorAnalogInput);
    }
}

void Screen_InfoShow() {
    State() = 0;
    Screen_DrawInfoPage(0);
}

int32_t Screen_InfoKey(uint32_t event) {
    if (event != kEventEnter) return -1;
    if (State() + 1u >= kInfoPageCount) return static_cast<int32_t>(kEventHome);
    ++State();
    Screen_DrawInfoPage(State());
    return -1;
}

// ---- Value ranges --------------------------------------------------------------------------------

static constexpr float kFieldUpper = 100000.0f;
static constexpr float kFieldLower = -10000.0f;

void Screen_FillRange(uint32_t row, uint32_t column, uint32_t status) {
    if (status == kStatusOver) {
        Lcd_DrawText(row, column, "*****");
    } else if (status != 0) {
        Lcd_DrawText(row, column, "_____");
    }
}

uint32_t Screen_CheckAndFillRange(uint32_t row, uint32_t column, float value, uint32_t status) {
    if (status == 0) {
        if (!(value + 0.5f < kFieldUpper)) {
            status = kStatusOver;  // too large, or no number at all
        } else if (value - 0.5f < kFieldLower) {
            status = kStatusUnder;
        }
    }
    Screen_FillRange(row, column, status);
    return status;
}

// ---- The numeric editor's live value ---------------------------------------------------------------

// Where the unit stands after the value, and the prefix before a unit that has one.
static constexpr uint32_t kUnitColumn = 36;
static constexpr uint32_t kPrefixedUnitColumn = 42;
// The field's width: the whole field, or only the value while a process calibration waits for
// its capture (the item then blinks in the editor's own place).
static constexpr uint32_t kFieldWidth = 72;
static constexpr uint32_t kCaptureFieldWidth = 30;
// The compensation mode of a channel that does not compensate: the unit gets a "U".
static constexpr uint8_t kCondCompOff = 10;
// Items of the oxygen field that are concentrations (mg/L, ppm), and of the optical field by the
// decimals they take.
static constexpr uint32_t kO2ItemMgL = 4;
static constexpr uint32_t kO2ItemPpm = 5;
static constexpr uint32_t kOpticalItemPpmGas = 2;
static constexpr uint32_t kOpticalItemMicrograms = 5;
static constexpr uint32_t kOpticalItemPpb = 7;
static constexpr uint32_t kOpticalItemMbar = 8;

static uint32_t AtMost(uint32_t decimals, uint32_t most) { return decimals < most ? decimals : most; }

static bool IsConductivityKind(uint32_t kind) { return kind == kKindCond2 || kind == kKindCond4; }

void Screen_DrawValueWithUnit(uint32_t row, uint32_t column, const NumEditState* record) {
    bool waitsForCapture = g_ChosenMode == kCalModeProcess && g_ManualHold.active == 0;
    uint32_t width = waitsForCapture ? kCaptureFieldWidth : kFieldWidth;
    Lcd_ClearSpan(row, column, width);
    uint32_t position = record->position;
    uint32_t quantity = Meas_GetIdQuantity(position);
    uint32_t channel = Menu_ChannelOfPosition(position);
    uint8_t kind = channel < 2 ? g_ChannelKind[channel] : 0;
    uint32_t digits = g_NumEditField->digits >= 2 ? g_NumEditField->digits - 2u : 0;
    float value = record->value;
    uint32_t decimals = Util_DecimalsForDigits(value, digits);
    // The unit: a text at a column, and a prefix at the value's unit column for the scaled ones.
    const char* unit = "";
    uint32_t unitColumn = kUnitColumn;
    uint8_t prefix = kPrefixNone;
    char itemUnit[kTextMaxChars + 1] = "";
    if (position == kMeasIdAnalogInput) {
        unit = "mA";
    } else {
        switch (quantity) {
            case kQuantityPh:
                decimals = AtMost(decimals, 2);
                unit = "pH";
                break;
            case kQuantityTemperature:
                decimals = AtMost(decimals, IsConductivityKind(kind) ? 2 : 1);
                unit = "@C";
                break;
            case kQuantityConductivity:
            case kQuantityResistivity:
                // Conductivity in micro- or millisiemens; a resistivity (ohm-cm, up to megaohms)
                // in its kilo or mega prefix, or it would overflow the field.
                value = quantity == kQuantityConductivity ? Fmt_ScaleMicroMilli(value, &prefix)
                                                          : Fmt_ScaleKiloMega(value, &prefix);
                decimals = Util_DecimalsForDigits(value, 3);
                unit = quantity == kQuantityConductivity ? "S/cm" : "^-cm";
                unitColumn = kPrefixedUnitColumn;
                if (channel < 2 && CalCond_GetTempCompModeFwd(channel) == kCondCompOff) {
                    std::strcpy(itemUnit, unit);
                    std::strcat(itemUnit, "U");
                    unit = itemUnit;
                }
                break;
            case kQuantityOxygen: {
                uint32_t item = NumEdit_GetItemChoice();
                decimals =
                    AtMost(decimals, item == kO2ItemMgL || item == kO2ItemPpm ? (kind == kKindO2High ? 2 : 3) : 1);
                if (!waitsForCapture) unit = NumEdit_GetItemText();
                break;
            }
            case kQuantityMv:
            case kQuantityOrp:
            case kQuantityMvB:
                unit = "mV";
                break;
            case kQuantityMeterVoltage:
                unit = "V";
                unitColumn = kPrefixedUnitColumn;
                break;
            case kQuantityOptical: {
                uint32_t item = NumEdit_GetItemChoice();
                uint32_t most = 2;
                if (item == kOpticalItemPpmGas) {
                    most = 0;
                } else if (item == kOpticalItemMicrograms || item == kOpticalItemPpb || item == kOpticalItemMbar) {
                    most = 1;
                }
                decimals = AtMost(decimals, most);
                if (!waitsForCapture) unit = NumEdit_GetItemText();
                break;
            }
            case kQuantityCo2:
                decimals = AtMost(decimals, g_ChosenMode == kCalModeProcess ? 1 : 2);
                if (g_ChosenMode != kCalModeProcess) {
                    unit = "pH";
                } else if (!waitsForCapture) {
                    unit = NumEdit_GetItemText();
                }
                break;
            case kQuantityMeterCurrent1:
            case kQuantityMeterCurrent2:
                unit = "nA";
                unitColumn = kPrefixedUnitColumn;
                break;
            default:
                if (quantity >= kQuantityMeterR1 && quantity <= kQuantityMeterTemperature) {
                    // The resistance and temperature inputs in ohms, scaled as their reference.
                    value = Fmt_ScaleKiloMega(value, &prefix);
                    decimals = Util_DecimalsForDigits(value, digits);
                    unit = "^";
                    unitColumn = kPrefixedUnitColumn;
                }
                break;
        }
    }
    uint32_t status = Screen_CheckAndFillRange(row, column, value, record->status);
    if (status == 0) {
        // The value keeps to its place in front of the unit, whatever it is.
        char text[kNumberTextMax + 1];
        uint32_t n = Util_FloatToText(value, 255, decimals, text);
        uint32_t room = (prefix != kPrefixNone ? kUnitColumn : unitColumn) / kChar;
        if (room > width / kChar) room = width / kChar;
        if (n > room) text[room] = '\0';
        Lcd_DrawText(row, column, text);
    }
    if (prefix != kPrefixNone) Fmt_DrawUnitString(row, column + kUnitColumn, 0, prefix);
    if (unit[0] != '\0') Lcd_DrawText(row, column + unitColumn, unit);
}

// ---- Calibration step screens ----------------------------------------------------------------------

// The character of "Press ENTER when" that blinks in the normal view, by language: ENTER's.
static const uint8_t kEnterCharIndex[kLanguages] = {6, 8, 0, 8, 6, 7, 8, 11};

static uint32_t PositionChannel() {
    uint32_t channel = Menu_ChannelOfPosition(g_MenuPosition);
    return channel < 2 ? channel : Menu_CurrentChannel();
}

// Row 12 of step screen 39: where the sensor is to be for the point.
static void DrawStepPlace(uint32_t point) {
    uint8_t kind = g_ChannelKind[PositionChannel()];
    uint32_t second = point >= 1 ? 1 : 0;
    if (kind == kKindPh || kind == kKindPhPna || kind == kKindCo2 || kind == 14) {
        Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextSensorInBuffer, second));
    } else if (Chan_IsMeasuringKindO2(kind)) {
        Lcd_DrawTextRef(kRowMessage, 0, kTextSensorInGas);
    } else if (kind == kKindO2Optical) {
        Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextSensorInGas, second));
    }
}

void Screen_ListShow(uint32_t point, uint32_t alternate) {
    Menu_ClearStatusRows();
    State() = alternate ? 1 : 0;
    char text[kTextMaxChars + 1];
    uint32_t n = Text_Copy(kTextPressEnterWhen, text);
    Lcd_DrawText(kRowStatus, 0, text);
    DrawStepPlace(point);
    if (alternate) {
        Lcd_DrawChannelMark(0, 1);
    } else {
        uint32_t at = kEnterCharIndex[Menu_Language()];
        if (at < n) Lcd_DrawEditChar(kRowStatus, 0, text, at, 1);
        Lcd_DrawChannelMark(0, 0);
    }
}

// MENU and CAL switch between the two views of a step screen.
static bool IsViewKey(uint32_t event) { return event == kEventLeft || event == kEventRight; }

int32_t Screen_ListKey(uint32_t event) {
    if (event == kEventEnter) {
        if (State() == 0) return static_cast<int32_t>(kActionEditPosition);
        if (g_CalPoint == 1) g_CalPoint = 0;
        return static_cast<int32_t>(kActionBack);
    }
    if (IsViewKey(event)) {
        Screen_ListShow(g_CalPoint, State() == 0 ? 1 : 0);
    } else if (event == kEventRedraw) {
        Screen_ListShow(g_CalPoint, 1);
    }
    return -1;
}

void Screen_List2Show(uint32_t alternate) {
    Menu_ClearStatusRows();
    State() = alternate ? 1 : 0;
    if (alternate) {
        Lcd_DrawTextRef(kRowMessage, 0, kTextCalInfoOffset);
        Lcd_DrawChannelMark(0, 1);
    } else {
        Lcd_DrawTextRefBlink(kRowMessage, 0, kTextCalInfoOffset);
        Lcd_DrawChannelMark(0, 0);
    }
}

int32_t Screen_List2Key(uint32_t event) {
    if (event == kEventEnter) {
        if (State() != 0) return static_cast<int32_t>(kActionPopRedraw);
        // Back to the numeric editor below: the next point, or the step when none is left.
        if (g_MenuDepth > 1) --g_MenuDepth;
        uint32_t type = g_NumEditField->type;
        if (g_ChosenMode == kCalModeOnePoint || g_CalPoint + 1u >= g_NumEditField->points) {
            return static_cast<int32_t>(kEventCalStep);
        }
        ++g_CalPoint;
        NumEdit_Open(type, NumEdit_ReadFieldValue(type), 0);
        return -1;
    }
    if (IsViewKey(event)) {
        Screen_List2Show(State() == 0 ? 1 : 0);
    } else if (event == kEventRedraw) {
        Screen_List2Show(1);
    }
    return -1;
}

// ---- Hold-release countdown ------------------------------------------------------------------------

// The count stands in front of the leave marker.
static constexpr uint32_t kCountColumn = 120;
// While the outputs are not held for the whole calibration, the countdown holds them a few
// seconds at a time.
static constexpr uint32_t kCountdownHoldSeconds = 3;
static constexpr uint8_t kHoldOutputsOff = 1;

static void DrawCount() {
    Lcd_DrawFloat(kRowMessage, kCountColumn, static_cast<float>(State()), 0, 3);
    --State();
    Timer_StartTicks(kTimerCountdown, 1, 0);
}

void Screen_HoldCountdownShow() {
    Menu_ClearStatusRows();
    State() = kHoldCountdownSeconds;
    Lcd_DrawTextRef(kRowMessage, 0, kTextPleaseWait);
    DrawCount();
    Lcd_DrawChannelMark(0, 1);
}

int32_t Screen_HoldCountdownTick(uint32_t event) {
    if (event == kEventEnter) return static_cast<int32_t>(kActionBackOverList);
    if (!Timer_Expired(kTimerCountdown)) return -1;
    if (State() == 0) {
        Timer_Stop(kTimerCountdown);
        if (Settings_GetHoldOutputs() == kHoldOutputsOff) Screen_EndTimedHold();
        return static_cast<int32_t>(kActionList);
    }
    DrawCount();
    if (Settings_GetHoldOutputs() == kHoldOutputsOff) {
        g_TimedHold = 1;
        Timer_StartTicks(kTimerTimedHold, kCountdownHoldSeconds, 0);
    }
    return -1;
}

uint32_t Screen_O2UnitCode(uint32_t channel) {
    switch (channel < 2 ? g_ChannelKind[channel] : 0) {
        case kKindO2High:
            return 1;
        case kKindO2Low:
            return 2;
        case kKindO2Trace:
            return 6;
        case kKindO2Gauge:
            return 7;
        default:
            return 3;
    }
}
