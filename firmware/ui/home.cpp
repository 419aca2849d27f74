// Measurement (home) screen: the four configured measurement lines with decimals, over- and
// under-range fills and units, the sensor evaluations that run with each draw, and the line setup.
#include "ui/home.h"

#include <cmath>
#include <cstring>

#include "core/fmt.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/util.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/concentration.h"
#include "measurement/slots.h"
#include "measurement/units.h"
#include "outputs/alarms.h"
#include "outputs/pid.h"
#include "outputs/sensor_alarm.h"
#include "ui/hold_view.h"
#include "ui/menu.h"

// Above these magnitudes a line shows one decimal fewer (index 3 - decimals).
static const float kDecimalThresholds[4] = {9.9995f, 99.995f, 999.95f, 9999.499f};
// What four digits can show; beyond it the line is over or under range.
static constexpr float kLineLimit = 9999.499f;
// Big-digit placeholders of the display font: over range, under range, no usable sensor.
static constexpr uint32_t kBigOverRange = 65;
static constexpr uint32_t kBigUnderRange = 192;
static constexpr uint32_t kBigInvalid = 72;

static constexpr uint32_t kSmallRow[kHomeLines] = {0, 0, 11, 12};
static constexpr uint32_t kSymbolRow[2] = {1, 5};
static constexpr uint32_t kUnitRow[2] = {2, 6};
static constexpr uint32_t kSmallUnitColumn = 48;

// Channel of the slot whose line is being drawn (its unit may carry the "U" of no compensation).
static uint8_t s_LineChannel;

// ---- Drawing steps ---------------------------------------------------------------------------
// A display line is drawn in steps. While the one-second refresh records a line, its steps are
// kept instead of drawn; the line is then drawn only when its steps differ from those it drew
// last, or when the bytes they wrote no longer hold what they wrote (another screen drew there).
// Each step sets or ORs fixed bytes, so drawing the same steps again over what they wrote changes
// nothing: skipping them leaves the display as a full redraw would. Bytes the steps do not write
// (a blinking hold mark or alarm symbol beside the value) do not count.

enum : uint8_t { kStepText, kStepClear, kStepBigLine };

struct DrawStep {
    uint8_t kind;
    uint8_t row;  // the big line for kStepBigLine
    uint8_t column;
    uint8_t width;  // columns cleared by kStepClear
    char text[kLcdLineChars + 1];
};

// No line takes more than a dozen steps; a line that would is drawn at once and not kept.
static constexpr uint32_t kLineStepsMax = 16;

struct LineSteps {
    uint32_t count;
    bool overflow;
    DrawStep steps[kLineStepsMax];
};

// What the refresh drew on each line: its steps, the line's rows as they left them, and which
// bytes of those rows they wrote.
struct DrawnLine {
    bool valid;
    LineSteps steps;
    uint8_t rows[4][kLcdColumns];
    uint8_t written[4][kLcdColumns];
};
static DrawnLine s_Drawn[kHomeLines];
// The line being recorded; nullptr draws every step at once.
static LineSteps* s_Recording;

static void RunStep(const DrawStep& step) {
    switch (step.kind) {
        case kStepText:
            Lcd_DrawText(step.row, step.column, step.text);
            break;
        case kStepClear:
            Lcd_ClearSpan(step.row, step.column, step.width);
            break;
        default:
            Lcd_DrawBigLine(step.row, step.text);
            break;
    }
}

static void Step(uint8_t kind, uint32_t row, uint32_t column, uint32_t width, const char* text) {
    DrawStep step{};
    step.kind = kind;
    step.row = static_cast<uint8_t>(row < 255 ? row : 255);
    step.column = static_cast<uint8_t>(column < 255 ? column : 255);
    step.width = static_cast<uint8_t>(width < 255 ? width : 255);
    if (text != nullptr) std::strncpy(step.text, text, kLcdLineChars);
    if (s_Recording == nullptr) {
        RunStep(step);
    } else if (s_Recording->count < kLineStepsMax) {
        s_Recording->steps[s_Recording->count++] = step;
    } else {
        s_Recording->overflow = true;
    }
}

// As Lcd_DrawText: the characters drawn (at most a row's worth).
static uint32_t StepText(uint32_t row, uint32_t column, const char* text) {
    Step(kStepText, row, column, 0, text);
    uint32_t n = 0;
    while (n < kLcdLineChars && text[n] != '\0') ++n;
    return n;
}

static uint32_t StepTextRef(uint32_t row, uint32_t column, TextRef ref) {
    char text[kTextMaxChars + 1];
    Text_Copy(ref, text);
    return StepText(row, column, text);
}

static void StepClear(uint32_t row, uint32_t column, uint32_t width) {
    if (column < kLcdColumns) Step(kStepClear, row, column, width, nullptr);
}

static void StepClearBigLine(uint32_t line) { Step(kStepBigLine, line, 0, 0, ""); }

// A big line's unit, from its first column to the row's end: the unit text starts on that column
// with a glyph column, so a unit left behind by an earlier draw keeps none of its strokes there.
static void StepClearUnit(uint32_t line) { StepClear(kUnitRow[line], kHomeUnitColumn, kLcdColumns - kHomeUnitColumn); }

static void StepBigPlaceholder(uint32_t line, uint32_t kind) {
    Step(kStepBigLine, line, 0, 0, Lcd_BigPlaceholderText(kind));
}

static void StepBigValue(float value, uint32_t decimals, uint32_t format, uint32_t line) {
    if (format == kHomeNoMeasurement) {
        StepClearBigLine(line);
        return;
    }
    char text[kNumberTextMax + 1];
    Lcd_BigValueText(value, decimals, text);
    Step(kStepBigLine, line, 0, 0, text);
}

static void StepPrefix(uint32_t row, uint32_t column, uint32_t prefix) {
    const char* symbol = Fmt_PrefixSymbol(prefix);
    if (symbol != nullptr) StepText(row, column, symbol);
}

static uint8_t CurrentChannel() {
    uint8_t channel = Chan_GetCurrentChannel();
    return channel < 2 ? channel : 0;
}

static uint32_t ActiveKind(uint32_t channel) { return channel < 2 ? g_SensorKindActive[channel] : 255; }

static uint8_t SlotOfLine(const MeasLineConfig* lines, uint32_t line) {
    uint8_t slot = line < kHomeLines ? lines->lineSlot[line] : 0;
    return slot < kHomeLines ? slot : 0;
}

// Stored kinds above 54 show nothing.
static uint8_t KindOfSlot(const MeasLineConfig* lines, uint8_t slot) {
    uint8_t kind = lines->kind[slot];
    return kind > 54 ? kHomeNoMeasurement : kind;
}

// Name offset of a small line (lines 2 and 3); big lines have none.
static uint32_t NameOffset(uint32_t line) {
    return line >= 2 && line < kHomeLines ? Settings_GetNameOffset(line - 2) : 0;
}

static bool ChannelHeld(uint32_t channel) { return g_ManualHold.active && g_ManualHold.channel == channel; }

static const char* UnitText(uint32_t kind) { return kind < kUnitCodes ? g_UnitTexts[kind] : ""; }

// Columns a prefix symbol takes before the unit text.
static uint32_t PrefixWidth(uint32_t prefix) {
    if (prefix >= 1 && prefix <= 5) return 6;
    if (prefix >= 6 && prefix <= 9) return 18;
    return prefix == kPrefixUnits ? 6 : 0;
}

uint32_t Home_LineDecimals(float value, uint32_t resolution) {
    if (resolution >= 4) return Util_DecimalsForDigits(value, 3);
    uint32_t decimals = resolution;
    float magnitude = std::fabs(value);
    while (decimals != 0 && magnitude > kDecimalThresholds[3 - decimals]) --decimals;
    return decimals;
}

uint32_t Home_ChannelBIsDigital(uint32_t channel) { return channel == 1 && ActiveKind(1) >= 15 ? 1 : 0; }

void Home_GetLineUnit(uint32_t line, uint8_t* code, uint8_t* prefix) { Meas_GetLineUnit(line, code, prefix); }

void Home_DrawValue(uint32_t kind, uint32_t prefix, uint32_t line) {
    uint32_t row, column;
    if (line < 2) {
        row = kUnitRow[line];
        StepClearUnit(line);
        column = kHomeUnitColumn;
    } else {
        row = kSmallRow[line < kHomeLines ? line : 3];
        column = kSmallUnitColumn + NameOffset(line);
    }
    if (kind == 2) {
        char name[kConcNameSize];
        Conc_GetTableName(name);
        StepText(row, column, name);
        return;
    }
    StepPrefix(row, column, prefix);
    column += PrefixWidth(prefix);
    column += 6 * StepText(row, column, UnitText(kind));
    if ((kind == 0 || kind == 1) && !Chan_HasTempComp(s_LineChannel)) StepText(row, column, "U");
}

// The start of a small line: channel symbol, a blank, and the value area cleared.
static void BeginSmallLine(uint32_t line, uint32_t channel) {
    uint32_t row = kSmallRow[line];
    if (!ChannelHeld(channel)) {
        if (channel < 2) {
            StepTextRef(row, 0, Text_Nth(kTextChannelLetters, channel));
        } else {
            StepText(row, 0, " ");
        }
    }
    StepText(row, 6, " ");
    uint32_t start = NameOffset(line) + 6;
    if (start < kLcdColumns) StepClear(row, start, kLcdColumns - start);
}

void Home_DrawLineUnit(float value, uint32_t decimals, uint32_t kind, uint32_t prefix, uint32_t channel,
                       uint32_t line) {
    if (line < 2 || line >= kHomeLines) return;
    BeginSmallLine(line, channel);
    char text[kNumberTextMax + 1];
    Util_FloatToText(value, 255, decimals, text);
    StepText(kSmallRow[line], NameOffset(line) + 12, text);
    Home_DrawValue(kind, prefix, line);
}

void Home_DrawLineValue(uint32_t line, const MeasLineConfig* lines, uint32_t state, uint32_t, uint32_t,
                        uint32_t prefix) {
    if (line >= kHomeLines) return;
    uint8_t slot = SlotOfLine(lines, line);
    uint8_t kind = KindOfSlot(lines, slot);
    bool over = state == 2;
    if (line < 2) {
        StepBigPlaceholder(line, over ? kBigOverRange : kBigUnderRange);
    } else {
        BeginSmallLine(line, lines->channel[slot]);
        StepText(kSmallRow[line], NameOffset(line) + 12, over ? "*****" : "_____");
    }
    Home_DrawValue(kind, prefix, line);
}

void Home_DrawLine(uint32_t line, const MeasLineConfig* lines, float value, uint32_t status, uint32_t messages) {
    if (line >= kHomeLines || lines == nullptr) return;
    uint8_t slot = SlotOfLine(lines, line);
    uint8_t channel = lines->channel[slot];
    uint8_t kind = KindOfSlot(lines, slot);
    uint8_t prefix = lines->prefix[slot];
    uint8_t current = CurrentChannel();
    bool big = line < 2;
    s_LineChannel = channel;

    if (Home_ChannelBIsDigital(current)) {
        if (big) {
            if (!Hold_IsOutputHoldForChannel(channel)) StepClear(kSymbolRow[line], 0, 6);
            StepBigPlaceholder(line, kBigInvalid);
            StepClearUnit(line);
        } else {
            StepClear(kSmallRow[line], 0, kLcdColumns);
            if (g_SensorKindDetected[1] == 15) StepTextRef(kSmallRow[line], 0, kTextUnknown);
        }
        return;
    }
    if (!big && Meas_CheckCalDue(current) == 1) {
        // The optical sensor's LED is off while it waits for its calibration.
        if (line == 2) {
            StepClear(kRowStatus, 0, kLcdColumns);
            StepTextRef(kRowStatus, 0, kTextLedOffNoMeasurement);
        } else if (!messages) {
            StepClear(kRowMessage, 0, kLcdColumns);
        }
        return;
    }
    if (big && !Hold_IsOutputHoldForChannel(channel) && !ChannelHeld(channel)) {
        // The letter is the channel the line measures, not the current channel: a big line set to
        // channel B shows "B" while channel A is current, so no value is ever labelled with the
        // wrong channel. The small lines do the same.
        if (kind == kHomeNoMeasurement || channel >= 2) {
            StepText(kSymbolRow[line], 0, " ");
        } else {
            StepTextRef(kSymbolRow[line], 0, Text_Nth(kTextChannelLetters, channel));
        }
    }
    if (kind == kHomeNoMeasurement) {
        if (big) {
            StepClearBigLine(line);
            StepClearUnit(line);
        } else {
            StepClear(kSmallRow[line], 0, 12);
            uint32_t start = NameOffset(line) + 6;
            if (start < kLcdColumns) StepClear(kSmallRow[line], start, kLcdColumns - start);
        }
        return;
    }
    if (status == 2 || status == 3) {
        Home_DrawLineValue(line, lines, status, 1, messages, prefix);
        return;
    }
    float shown = Fmt_ConvertUnit(0, value, prefix);
    if (shown > kLineLimit) {
        Home_DrawLineValue(line, lines, 2, 1, messages, prefix);
        return;
    }
    if (shown < -kLineLimit) {
        Home_DrawLineValue(line, lines, 3, 1, messages, prefix);
        return;
    }
    uint32_t decimals = Home_LineDecimals(shown, lines->resolution[slot]);
    if (big) {
        StepBigValue(shown, decimals, kind, line);
        Home_DrawValue(kind, prefix, line);
    } else {
        Home_DrawLineUnit(shown, decimals, kind, prefix, channel, line);
    }
}

static void DrawLineName(uint32_t line) {
    uint32_t index = line - 2;
    if (Settings_GetNameOffset(index) == 0) return;
    char name[kLineNameSize];
    Settings_GetLineName(index, name);
    StepText(kSmallRow[line], 12, name);
}

// The electrode checks of the current channel; a check switched off in the cause mask clears its
// messages instead.
static void RunSensorEvaluations(uint8_t channel) {
    uint32_t kind = channel == 1 ? ActiveKind(1) : g_ChannelKind[0];
    uint32_t mask = Alarm_GetCauseDisableMask();
    auto enabled = [mask](uint32_t bit) { return (mask & (1u << bit)) == 0; };
    if (channel == 0) Vdx_ClearDisconnected(1);
    if (kind == 1 || kind == 2) {
        if (enabled(2)) {
            SensorAlarm_EvalGlassRes(channel);
            if (kind == 2) SensorAlarm_EvalPnaGlassRes(channel);
        } else {
            SensorAlarm_ClearAll(0, channel);
        }
        if (enabled(3) && kind == 1) {
            SensorAlarm_EvalRefRes(channel);
        } else {
            SensorAlarm_ClearAll(1, channel);
        }
    } else if (kind == 3 || kind == 4) {
        enabled(4) ? SensorAlarm_EvalDryCond(channel) : SensorAlarm_ClearDryCond(channel);
        enabled(5) ? SensorAlarm_EvalCellShorted(channel) : SensorAlarm_ClearCellShorted(channel);
        if (channel == 1) enabled(6) ? SensorAlarm_EvalCellDeviation(channel) : SensorAlarm_ClearCellDeviation(channel);
    } else if (channel == 1 && kind >= 5 && kind <= 8) {
        enabled(8) ? SensorAlarm_EvalElectrolyteLow(channel) : SensorAlarm_ClearElectrolyteLow(channel);
    }
}

// The frame rows a display line draws on: the four rows of a big line, the one row of a small
// line.
static uint32_t FirstRowOfLine(uint32_t line) { return line < 2 ? 4 * line : kSmallRow[line]; }
static uint32_t RowsOfLine(uint32_t line) { return line < 2 ? 4 : 1; }

static bool SameSteps(const LineSteps& a, const LineSteps& b) {
    return a.count == b.count && std::memcmp(a.steps, b.steps, a.count * sizeof a.steps[0]) == 0;
}

static void MarkWritten(DrawnLine* drawn, uint32_t firstRow, uint32_t row, uint32_t from, uint32_t to) {
    if (row < firstRow || row >= firstRow + 4) return;
    for (uint32_t c = from; c < to && c < kLcdColumns; ++c) drawn->written[row - firstRow][c] = 1;
}

// The bytes a line's steps write, as the display module writes them: a text its glyphs and the
// blank column after them, a clear its span, a big line its four rows over its columns. False
// when a step writes outside the line's rows (such a line is always drawn).
static bool MarkSteps(DrawnLine* drawn, uint32_t line) {
    uint32_t firstRow = FirstRowOfLine(line);
    std::memset(drawn->written, 0, sizeof drawn->written);
    for (uint32_t i = 0; i < drawn->steps.count; ++i) {
        const DrawStep& step = drawn->steps.steps[i];
        uint32_t top = step.kind == kStepBigLine ? 4 * step.row : step.row;
        uint32_t bottom = step.kind == kStepBigLine ? top + 3 : top;
        if (top < firstRow || bottom >= firstRow + RowsOfLine(line)) return false;
        if (step.kind == kStepText) {
            uint32_t n = static_cast<uint32_t>(std::strlen(step.text));
            MarkWritten(drawn, firstRow, step.row, step.column, step.column + 6 * n + 1);
        } else if (step.kind == kStepClear) {
            MarkWritten(drawn, firstRow, step.row, step.column, step.column + step.width);
        } else {
            uint32_t from = 0, to = 0;
            Lcd_BigLineColumns(step.text, &from, &to);
            for (uint32_t r = 0; r < 4; ++r) MarkWritten(drawn, firstRow, 4 * step.row + r, from, to);
        }
    }
    return true;
}

static bool WrittenBytesAsDrawn(uint32_t line, const DrawnLine& drawn) {
    uint32_t firstRow = FirstRowOfLine(line);
    for (uint32_t r = 0; r < RowsOfLine(line); ++r) {
        for (uint32_t c = 0; c < kLcdColumns; ++c) {
            if (drawn.written[r][c] && g_LcdFrame[firstRow + r][c] != drawn.rows[r][c]) return false;
        }
    }
    return true;
}

// A line with its name (small lines, when shown), as the one-second refresh draws it.
static void DrawLineWithName(uint32_t line, const MeasLineConfig* lines, float value, uint32_t status,
                             uint32_t messages, bool named) {
    if (named) DrawLineName(line);
    Home_DrawLine(line, lines, value, status, messages);
}

// Draws a line only when it would come out different from what its rows hold.
static void RefreshLine(uint32_t line, const MeasLineConfig* lines, float value, uint32_t status, uint32_t messages,
                        bool named) {
    static LineSteps now;
    now.count = 0;
    now.overflow = false;
    s_Recording = &now;
    DrawLineWithName(line, lines, value, status, messages, named);
    s_Recording = nullptr;
    DrawnLine& drawn = s_Drawn[line];
    if (now.overflow) {
        drawn.valid = false;
        DrawLineWithName(line, lines, value, status, messages, named);
        return;
    }
    if (drawn.valid && SameSteps(now, drawn.steps) && WrittenBytesAsDrawn(line, drawn)) return;
    for (uint32_t i = 0; i < now.count; ++i) RunStep(now.steps[i]);
    drawn.steps = now;
    std::memcpy(drawn.rows, g_LcdFrame[FirstRowOfLine(line)], RowsOfLine(line) * kLcdColumns);
    drawn.valid = MarkSteps(&drawn, line);
}

void Home_Draw(const MeasLineConfig* lines, uint32_t mode, uint32_t messages) {
    if (lines == nullptr) return;
    uint8_t channel = CurrentChannel();
    bool calDue = Meas_CheckCalDue(channel) == 1;
    uint32_t count = 2;
    if (mode != 0) {
        if (calDue) {
            count = 4;
        } else {
            count = 3;
            if (!messages) {
                if (mode == 2) {
                    uint32_t manual = Pid_IsManual() ? 1 : 0;
                    float output = manual ? Pid_GetManualOutput() : Pid_GetOutput();
                    Pid_DrawOutputLine(manual, output * 100.0f);
                } else {
                    count = 4;
                }
            }
        }
    }
    for (uint32_t line = 0; line < count; ++line) {
        uint32_t status = 2;
        float value = Meas_GetSlotValue(SlotOfLine(lines, line), &status);
        // The small lines carry their names unless the calibration-due text stands there.
        RefreshLine(line, lines, value, status, messages, line >= 2 && !calDue);
    }
    RunSensorEvaluations(channel);
}

// Unit codes whose measurement has a name of its own rather than its unit's text.
static constexpr uint32_t kUnitConcentration = 2;
static constexpr uint32_t kUnitTdsNaCl = 9;
static constexpr uint32_t kUnitTdsCaCO3 = 10;
static constexpr uint32_t kUnitPhVolts = 14;
static constexpr uint32_t kUnitLifetimeDays = 27;
static constexpr uint32_t kUnitMaintDays = 28;
static constexpr uint32_t kUnitAdaptCalDays = 29;
static constexpr uint32_t kUnitCo2Volts = 38;

void Home_DrawMeasName(uint32_t row, uint32_t column, uint32_t kind, uint32_t inverted) {
    if (kind >= kUnitCodes) kind = kHomeNoMeasurement;
    const char* name;
    switch (kind) {
        case kUnitConcentration:
            name = "%Conc.";
            break;
        case kUnitTdsNaCl:
            name = "TDS(NaCl)";
            break;
        case kUnitTdsCaCO3:
            name = "TDS(CaCO3)";
            break;
        case kUnitPhVolts:
        case kUnitCo2Volts:
            name = "Volts";
            break;
        case kUnitOrpVolts:
            name = "ORP";
            break;
        case kUnitGlassOhm:
            name = "Rg";
            break;
        case kUnitReferenceOhm:
            name = "Rr";
            break;
        case kUnitPnaGlassOhm:
            name = "pNa Rg";
            break;
        case kUnitLifetimeDays:
            name = "DLI";
            break;
        case kUnitMaintDays:
            name = "TTM";
            break;
        case kUnitAdaptCalDays:
            name = "ACT";
            break;
        case kHomeNoMeasurement:
            name = "----";
            break;
        default:
            name = UnitText(kind);
            break;
    }
    Lcd_DrawTextMode(row, column, inverted, name);
}

// ---- Hold marks ------------------------------------------------------------------------------

void Home_BlinkHoldMark(uint32_t phase) { Lcd_DrawText(kSymbolRow[CurrentChannel()], 0, phase == 0 ? "H" : " "); }

void Home_BlinkChannelLetter(uint32_t phase) {
    uint8_t channel = CurrentChannel();
    char letter[2] = {static_cast<char>(phase == 0 ? 'A' + channel : ' '), '\0'};
    Lcd_DrawText(kSymbolRow[channel], 0, letter);
}

// The rows at whose column 0 each display line shows its channel.
static constexpr uint32_t kHoldMarkRow[kHomeLines] = {1, 5, 11, 12};

void Home_DrawChannelHoldMarks(uint32_t phase) {
    const MeasLineConfig* lines = &g_MeasLines;
    uint8_t held = g_ManualHold.channel;
    for (uint32_t line = 0; line < kHomeLines; ++line) {
        uint8_t slot = SlotOfLine(lines, line);
        if (lines->channel[slot] != held || KindOfSlot(lines, slot) == kHomeNoMeasurement) continue;
        // The output hold blinks its own mark on the big lines; the small lines' rows belong to
        // the screen on top while it is not the measurement screen.
        if (line < 2 && Hold_IsOutputHoldActive()) continue;
        if (line >= 2 && Menu_TopScreen() != kScreenHome) continue;
        char letter[2] = {static_cast<char>(phase == 0 ? 'A' + held : ' '), '\0'};
        Lcd_DrawText(kHoldMarkRow[line], 0, letter);
    }
}

// ---- Display-line setup ------------------------------------------------------------------------

// A kind without a unit list steps through kind 0's.
static uint32_t UnitListOf(uint32_t kind) { return Fmt_UnitListLength(kind) > 0 ? kind : 0; }

static uint8_t UnitAt(uint32_t kind, uint32_t index) {
    uint32_t list = UnitListOf(kind);
    return index < Fmt_UnitListLength(list) ? Fmt_UnitAt(list, index) : kHomeNoMeasurement;
}

static constexpr uint8_t kSetupLeave = 20;

struct SetupBuffer {
    uint8_t channel[2];
    uint8_t measurement[2];  // index in the unit list of the edited kind
    uint8_t prefix[2];
    uint8_t cursor;  // 1, 2, 4, 5 or kSetupLeave
    uint8_t resolution[2];
};
static SetupBuffer s_Setup;
static uint8_t s_SetupPair;

static uint32_t SetupKind() { return Settings_GetEditKind(s_Setup.channel[0]); }

void Home_SetupLoadLine() {
    const MeasLineConfig* lines = Settings_GetEditMeasLines();
    uint8_t channel = Settings_GetEditChannel();
    if (channel >= 2) channel = 0;
    uint32_t kind = Settings_GetEditKind(channel);
    for (uint32_t j = 0; j < 2; ++j) {
        uint32_t slot = 2 * s_SetupPair + j;
        s_Setup.channel[j] = channel;
        s_Setup.measurement[j] = static_cast<uint8_t>(Fmt_UnitIndexInList(UnitListOf(kind), lines->kind[slot]));
        s_Setup.prefix[j] = lines->prefix[slot];
        s_Setup.resolution[j] = lines->resolution[slot];
    }
}

// One setup row: letter, channel, measurement, "(" prefix ")". Drawn whole and in this order,
// since every text clears the column after it.
static void DrawSetupRow(uint32_t j) {
    uint32_t row = kRowStatus + j;
    uint8_t cursor = s_Setup.cursor;
    bool blinkMeasurement = cursor == (j == 0 ? 1 : 4);
    bool blinkPrefix = cursor == (j == 0 ? 2 : 5);
    Lcd_ClearSpan(row, 0, kLcdColumns - 7);
    Lcd_DrawTextRef(row, 0, Text_Nth(kTextLineLetters, 2 * s_SetupPair + j));
    Lcd_DrawTextRef(row, 6, Text_Nth(kTextChannelLetters, s_Setup.channel[j]));
    Home_DrawMeasName(row, 18, UnitAt(SetupKind(), s_Setup.measurement[j]), blinkMeasurement ? 1 : 0);
    Lcd_DrawText(row, 78, "(");
    uint8_t prefix = s_Setup.prefix[j];
    if (prefix != kPrefixNone) {
        char text[kTextMaxChars + 1];
        Text_Copy(Text_Nth(kTextPrefixNames, prefix), text);
        Lcd_DrawTextMode(row, 84, blinkPrefix ? 1 : 0, text);
    } else if (blinkPrefix) {
        Lcd_DrawTextBlink(row, 84, "      ");
    }
    Lcd_DrawText(row, 120, ")");
}

static void DrawSetupRows() {
    g_BlinkField.active = 0;
    DrawSetupRow(0);
    DrawSetupRow(1);
    Lcd_DrawChannelMark(0, s_Setup.cursor == kSetupLeave ? 1 : 0);
}

void Home_SetupDraw(uint32_t pair, uint32_t mode) {
    s_SetupPair = pair < 2 ? static_cast<uint8_t>(pair) : 0;
    Lcd_FillStatusRows(0);
    s_Setup.cursor = 1;
    Home_SetupLoadLine();
    g_DisplayMode = static_cast<uint8_t>(s_SetupPair + 2);
    if (mode == 1) s_Setup.cursor = kSetupLeave;
    DrawSetupRows();
}

// The lines take the channel the pages show with them: a measurement of the set-up channel's list
// kept on a line of the other channel would name a quantity that channel does not measure.
static void StoreSetupPair() {
    MeasLineConfig* lines = Settings_GetEditMeasLines();
    for (uint32_t j = 0; j < 2; ++j) {
        uint32_t slot = 2 * s_SetupPair + j;
        lines->channel[slot] = s_Setup.channel[j];
        lines->kind[slot] = UnitAt(SetupKind(), s_Setup.measurement[j]);
        lines->prefix[slot] = s_Setup.prefix[j];
        lines->resolution[slot] = s_Setup.resolution[j];
    }
}

static void StepMeasurement(uint32_t j, int32_t direction) {
    uint32_t list = UnitListOf(SetupKind());
    int32_t length = static_cast<int32_t>(Fmt_UnitListLength(list));
    int32_t index = s_Setup.measurement[j];
    for (int32_t i = 0; i < length; ++i) {
        index += direction;
        if (index >= length) index = 0;
        if (index < 0) index = length - 1;
        if (!Chan_IsKindSpecialOnA(s_Setup.channel[j], Fmt_UnitAt(list, static_cast<uint32_t>(index)))) break;
    }
    s_Setup.measurement[j] = static_cast<uint8_t>(index);
    s_Setup.resolution[j] = 0;
    s_Setup.prefix[j] = static_cast<uint8_t>(Fmt_ResolutionClass(Fmt_UnitAt(list, static_cast<uint32_t>(index)), 0));
}

static void StepResolution(uint32_t j, int32_t direction) {
    uint8_t code = UnitAt(SetupKind(), s_Setup.measurement[j]);
    uint32_t last = Fmt_DecimalsByUnit(code) - 1;
    uint32_t r = s_Setup.resolution[j];
    if (direction > 0) {
        r = r >= last ? 0 : r + 1;
    } else {
        r = r == 0 || r > last ? last : r - 1;
    }
    s_Setup.resolution[j] = static_cast<uint8_t>(r);
    s_Setup.prefix[j] = static_cast<uint8_t>(Fmt_ResolutionClass(code, r));
}

int32_t Home_SetupKey(uint32_t event) {
    uint8_t cursor = s_Setup.cursor;
    switch (event) {
        case kEventLeft:
        case kEventRight: {
            static const uint8_t kBack[6] = {0, kSetupLeave, 1, 0, 2, 4};
            static const uint8_t kForward[6] = {0, 2, 4, 0, 5, kSetupLeave};
            uint8_t next;
            if (cursor == kSetupLeave) {
                next = event == kEventLeft ? 5 : 1;
            } else {
                next = event == kEventLeft ? kBack[cursor < 6 ? cursor : 1] : kForward[cursor < 6 ? cursor : 1];
            }
            s_Setup.cursor = next;
            DrawSetupRows();
            return -1;
        }
        case kEventUp:
        case kEventDown:
        case kEventUpRepeat:
        case kEventDownRepeat: {
            int32_t direction = event == kEventUp || event == kEventUpRepeat ? 1 : -1;
            if (cursor == 1 || cursor == 4) {
                StepMeasurement(cursor == 1 ? 0 : 1, direction);
                DrawSetupRows();
            } else if (cursor == 2 || cursor == 5) {
                StepResolution(cursor == 2 ? 0 : 1, direction);
                DrawSetupRows();
            }
            return -1;
        }
        case kEventLineSetupAbEnter:
            StoreSetupPair();
            if (cursor == kSetupLeave) return kActionBack;
            Home_SetupDraw(1, 0);
            return -1;
        case kEventLineSetupCdEnter:
            StoreSetupPair();
            if (cursor == kSetupLeave) {
                Home_SetupDraw(0, 1);
                return -1;
            }
            return kActionAskSave;
        case kEventRedraw:
            Home_SetupDraw(s_SetupPair, 1);
            return -1;
        case kEventEscape:
            StoreSetupPair();
            return kActionAskSave;
        default:
            return -1;
    }
}

void Home_ResetState() {
    s_LineChannel = 0;
    s_Recording = nullptr;
    for (DrawnLine& drawn : s_Drawn) drawn.valid = false;
    s_Setup = SetupBuffer{};
    s_SetupPair = 0;
}
