// Value page catalogue: the 52 page records, and per page the settings it reads and writes, the
// checks of ENTER and what follows. Settings with an edit copy (the working set, the system and
// sensor modules, the concentration table) are edited there and reach the store when the menu is
// left with "Save Changes"; the others are set in place.
#include "ui/value_catalogue.h"

#include <cmath>
#include <cstring>

#include "core/fmt.h"
#include "core/rtc.h"
#include "core/settings.h"
#include "core/util.h"
#include "measurement/cal_values.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/concentration.h"
#include "measurement/meas.h"
#include "measurement/temperature.h"
#include "measurement/units.h"
#include "outputs/aout.h"
#include "outputs/hold.h"
#include "settings/settings_sensor.h"
#include "settings/settings_system.h"
#include "settings/settings_work.h"
#include "ui/menu.h"
#include "ui/menu_tree.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/value_page.h"

// Value columns of languages 1 to 7 are where the English ones are, except where a translation's
// label needs more room (German "Analogausg.", page 11; the Russian and Japanese "Max" of the CIP
// and SIP set-up pages in front of the cycle limit, pages 31 and 32) or a unit text needs more (the
// Japanese "hours" after the cleaning interval, page 4; the long words for "seconds", page 21):
// those pages list their columns in full, the others give the English pair once.
static constexpr ValueColumns SameInEvery(uint8_t line0, uint8_t line1) {
    ValueColumns columns{};
    for (uint32_t language = 0; language < kLanguages; ++language) {
        columns.at[2 * language] = line0;
        columns.at[2 * language + 1] = line1;
    }
    return columns;
}

// A record a row: page, labels, label columns, value columns, signed, fraction, units, widths.
// clang-format off
const ValuePageDesc g_ValuePageTable[kValuePageCount] = {
    {0, {0,8,0,1}, {0,24,0,24}, SameInEvery(72, 96), 0, {0, 0}, {16, 7}, {3, 2}},
    {1, {kNoLabel,kNoLabel,0,8}, {0,0,0,24}, SameInEvery(0, 72), 0, {0, 0}, {255, 6}, {0, 3}},
    {2, {2,4,3,4}, {0,12,0,12}, SameInEvery(48, 48), 1, {1, 1}, {9, 9}, {5, 5}},
    {3, {kNoLabel,5,kNoLabel,4}, {0,0,0,0}, SameInEvery(36, 36), 1, {1, 1}, {2, 9}, {5, 6}},
    {4, {19,kNoLabel,20,kNoLabel}, {0,0,0,0},
     {{90, 78, 90, 78, 90, 78, 90, 78, 90, 78, 90, 78, 90, 78, 84, 78}},
     0, {1, 0}, {15, 6}, {5, 4}},
    {5, {kNoLabel,23,kNoLabel,24}, {0,0,0,0}, SameInEvery(60, 60), 0, {1, 0}, {255, 255}, {5, 0}},
    {6, {kNoLabel,25,kNoLabel,26}, {0,0,0,0}, SameInEvery(66, 96), 0, {1, 0}, {8, 7}, {5, 3}},
    {7, {6,kNoLabel,6,kNoLabel}, {12,0,12,0}, SameInEvery(60, 60), 1, {1, 1}, {3, 3}, {5, 5}},
    {8, {10,kNoLabel,kNoLabel,kNoLabel}, {0,0,0,0}, SameInEvery(90, 0), 0, {0, 0}, {255, 255}, {5, 5}},
    {9, {kNoLabel,kNoLabel,7,kNoLabel}, {0,0,0,0}, SameInEvery(0, 90), 0, {0, 0}, {255, 255}, {5, 5}},
    {10, {kNoLabel,kNoLabel,7,kNoLabel}, {0,0,0,0}, SameInEvery(0, 90), 0, {0, 0}, {255, 255}, {5, 5}},
    {11, {9,kNoLabel,9,kNoLabel}, {0,0,0,0},
     {{72, 72, 72, 72, 78, 78, 72, 72, 72, 72, 72, 72, 72, 72, 72, 72}},
     0, {1, 1}, {14, 14}, {5, 5}},
    {12, {kNoLabel,kNoLabel,10,kNoLabel}, {0,0,0,0}, SameInEvery(0, 90), 0, {0, 0}, {255, 255}, {0, 5}},
    {13, {13,kNoLabel,13,kNoLabel}, {0,0,0,0}, SameInEvery(66, 66), 1, {1, 1}, {255, 255}, {5, 5}},
    {14, {16,17,16,18}, {0,36,0,36}, SameInEvery(66, 66), 1, {1, 1}, {255, 255}, {5, 5}},
    {15, {kNoLabel,kNoLabel,16,kNoLabel}, {0,0,0,0}, SameInEvery(0, 66), 1, {1, 1}, {255, 255}, {0, 5}},
    {16, {kNoLabel,kNoLabel,13,kNoLabel}, {0,0,0,0}, SameInEvery(0, 66), 1, {0, 1}, {255, 255}, {0, 5}},
    {17, {kNoLabel,kNoLabel,13,kNoLabel}, {0,0,0,0}, SameInEvery(0, 84), 0, {0, 1}, {255, 7}, {0, 5}},
    {18, {kNoLabel,kNoLabel,kNoLabel,27}, {0,0,0,0}, SameInEvery(0, 96), 1, {1, 1}, {255, 255}, {0, 5}},
    {19, {0,kNoLabel,1,kNoLabel}, {0,0,0,0}, SameInEvery(48, 48), 0, {0, 0}, {255, 255}, {8, 8}},
    {20, {kNoLabel,kNoLabel,10,kNoLabel}, {0,0,0,0}, SameInEvery(0, 90), 0, {0, 0}, {255, 255}, {0, 5}},
    {21, {kNoLabel,kNoLabel,kNoLabel,kNoLabel}, {0,0,0,0},
     {{96, 72, 96, 66, 96, 66, 96, 72, 96, 66, 96, 66, 96, 72, 96, 72}},
     0, {0, 0}, {255, 16}, {0, 3}},
    {22, {kNoLabel,kNoLabel,3,kNoLabel}, {0,0,0,0}, SameInEvery(0, 90), 0, {0, 0}, {255, 6}, {0, 3}},
    {23, {kNoLabel,kNoLabel,4,kNoLabel}, {0,0,0,0}, SameInEvery(0, 96), 0, {0, 0}, {255, 17}, {0, 3}},
    {24, {9,kNoLabel,10,kNoLabel}, {0,0,0,0}, SameInEvery(66, 66), 1, {1, 1}, {255, 255}, {5, 5}},
    {25, {11,kNoLabel,12,kNoLabel}, {0,0,0,0}, SameInEvery(66, 66), 1, {1, 1}, {255, 255}, {5, 5}},
    {26, {13,kNoLabel,14,kNoLabel}, {0,0,0,0}, SameInEvery(66, 66), 1, {1, 1}, {255, 255}, {5, 5}},
    {27, {kNoLabel,kNoLabel,13,kNoLabel}, {0,0,0,0}, SameInEvery(0, 0), 1, {0, 1}, {255, 255}, {0, 0}},
    {28, {0,kNoLabel,1,kNoLabel}, {0,0,0,0}, SameInEvery(90, 90), 0, {0, 0}, {255, 255}, {8, 8}},
    {29, {2,kNoLabel,3,kNoLabel}, {0,0,0,0}, SameInEvery(84, 96), 0, {1, 0}, {21, 21}, {5, 3}},
    {30, {2,kNoLabel,3,kNoLabel}, {0,0,0,0}, SameInEvery(84, 96), 0, {0, 0}, {21, 21}, {4, 3}},
    {31, {19,kNoLabel,kNoLabel,kNoLabel}, {84,0,0,0},
     {{48, 126, 48, 126, 48, 126, 48, 126, 48, 126, 48, 126, 54, 126, 60, 126}},
     0, {0, 0}, {255, 255}, {3, 3}},
    {32, {19,kNoLabel,kNoLabel,kNoLabel}, {90,0,0,0},
     {{48, 126, 48, 126, 48, 126, 48, 126, 48, 126, 48, 126, 54, 126, 60, 126}},
     0, {0, 0}, {255, 255}, {3, 3}},
    {33, {kNoLabel,kNoLabel,kNoLabel,kNoLabel}, {0,0,0,0}, SameInEvery(90, 0), 0, {0, 0}, {255, 255}, {3, 0}},
    {34, {kNoLabel,kNoLabel,3,kNoLabel}, {0,0,0,0}, SameInEvery(0, 96), 0, {0, 0}, {255, 21}, {0, 3}},
    {35, {kNoLabel,25,kNoLabel,kNoLabel}, {0,0,0,0}, SameInEvery(66, 42), 0, {1, 1}, {22, 23}, {5, 5}},
    {36, {kNoLabel,kNoLabel,kNoLabel,kNoLabel}, {0,0,0,0}, SameInEvery(60, 0), 0, {1, 1}, {255, 255}, {5, 5}},
    {37, {kNoLabel,kNoLabel,kNoLabel,kNoLabel}, {0,0,0,0}, SameInEvery(0, 42), 1, {0, 1}, {255, 3}, {0, 5}},
    {38, {4,kNoLabel,5,kNoLabel}, {0,0,0,0}, SameInEvery(66, 60), 1, {1, 1}, {18, 18}, {5, 5}},
    {39, {8,kNoLabel,9,kNoLabel}, {0,0,24,0}, SameInEvery(0, 6), 0, {0, 0}, {255, 255}, {0, 2}},
    {40, {kNoLabel,kNoLabel,6,kNoLabel}, {0,0,0,0}, SameInEvery(0, 48), 1, {0, 1}, {255, 3}, {0, 5}},
    {41, {kNoLabel,23,kNoLabel,26}, {0,0,0,0}, SameInEvery(60, 96), 0, {1, 0}, {255, 7}, {5, 3}},
    {42, {0,8,0,1}, {0,24,0,24}, SameInEvery(72, 96), 1, {0, 1}, {16, 255}, {3, 5}},
    {43, {kNoLabel,kNoLabel,kNoLabel,24}, {0,0,0,0}, SameInEvery(0, 60), 0, {0, 1}, {255, 255}, {0, 5}},
    {44, {kNoLabel,28,kNoLabel,29}, {0,0,0,0}, SameInEvery(60, 60), 0, {1, 1}, {255, 255}, {5, 5}},
    {45, {kNoLabel,kNoLabel,20,kNoLabel}, {0,0,0,0}, SameInEvery(0, 42), 0, {0, 0}, {255, 255}, {0, 6}},
    {46, {21,kNoLabel,22,kNoLabel}, {0,0,0,0}, SameInEvery(78, 120), 0, {0, 0}, {255, 255}, {1, 1}},
    {47, {23,kNoLabel,23,kNoLabel}, {0,0,0,0}, SameInEvery(102, 102), 0, {1, 1}, {255, 255}, {5, 5}},
    {48, {19,kNoLabel,24,kNoLabel}, {0,0,0,0}, SameInEvery(48, 78), 1, {1, 1}, {3, 5}, {5, 5}},
    {49, {24,kNoLabel,24,kNoLabel}, {0,0,0,0}, SameInEvery(78, 78), 0, {1, 1}, {5, 5}, {5, 5}},
    {50, {kNoLabel,kNoLabel,7,kNoLabel}, {0,0,0,0}, SameInEvery(0, 84), 0, {0, 0}, {255, 6}, {0, 2}},
    {51, {kNoLabel,kNoLabel,kNoLabel,23}, {0,0,0,0}, SameInEvery(0, 60), 0, {0, 1}, {255, 255}, {0, 5}},
};
// clang-format on

// Labels come from one text group per page: the clock and sensor timer pages, the PID and table
// pages, and the others. Page 27 (a set point switched off) is labelled "SP" like its neighbours.
TextRef ValuePage_LabelText(uint32_t page, uint32_t label) {
    if (page >= kValuePageCount || label > 3) return kTextValueLabels;
    uint8_t index = g_ValuePageTable[page].label[label];
    TextRef group = kTextValueLabels;
    switch (page) {
        case kValuePageClock:
        case kValuePageMaint:
        case kValuePageMaint2:
        case kValuePageAct:
        case kValuePagePolarization:
        case kValuePageSampling:
        case kValuePageCalTemperature:
        case kValuePageDamping:
            group = kTextValueLabelsC;
            break;
        case kValuePageNames:
        case kValuePagePid:
        case kValuePagePropLimits:
        case kValuePagePropLimits2:
        case kValuePageCipSetup:
        case kValuePageSipSetup:
        case kValuePageAutoclaveSetup:
        case kValuePageUnitName:
        case kValuePageConcPoints:
        case kValuePageConcentrations:
        case kValuePageConcRow:
        case kValuePageConductivities:
            group = kTextValueLabelsB;
            break;
        default:
            break;
    }
    uint32_t count = g_TextGroupSizes[group.group];
    return Text_Nth(group, index < count ? index : 0);
}

uint8_t ValuePage_ValueColumn(uint32_t page, uint32_t line, uint32_t language) {
    if (page >= kValuePageCount || line > 1) return 0;
    if (language >= kLanguages) language = 0;
    return g_ValuePageTable[page].valueColumn.at[2 * language + line];
}

uint8_t ValuePage_ChoiceKind(uint32_t page, uint32_t line) {
    switch (page) {
        case kValuePageCalPressure:
            return line == 0 ? kChoicePressureUnit : kChoiceSource;
        case kValuePagePassword:
            return line == 0 ? kChoicePassword : kChoiceNone;
        case kValuePageTotalPressure:
        case kValuePageO2Conditions:
            return line == 0 ? kChoicePressureUnit : kChoiceNone;
        case kValuePageProcPressure:
        case kValuePageO2Pressure:
            return line == 1 ? kChoicePressureUnit : kChoiceNone;
        case kValuePageAnalogInput:
            return kChoicePressureUnit;
        case kValuePageConcRow:
            return line == 1 ? kChoiceDecade : kChoiceNone;
        case kValuePageConductivities:
            return kChoiceDecade;
        default:
            return kChoiceNone;
    }
}

uint32_t ValuePage_ChoiceCount(uint8_t kind) {
    switch (kind) {
        case kChoicePressureUnit:
            return kPressureUnits;
        case kChoiceSource:
            return 2;
        case kChoiceDecade:
            return 3;
        case kChoicePassword:
            return 3;
        default:
            return 0;
    }
}

// ---- Pages, selectors and the settings they reach ----------------------------------------------------

// The service technician's code.
static constexpr uint32_t kServiceCode = 49263;
// Hysteresis in percent outside this is no hysteresis: it starts again at the factory 5 %.
static constexpr float kHysteresisPercentMax = 99.5f;
static constexpr float kHysteresisPercentFactory = 5.0f;
// The absolute hysteresis of a voltage kind, in volts, and the millivolts it is shown in.
static constexpr float kHysteresisVoltsMax = 2.0f;
static constexpr float kMilli = 1000.0f;
// The measurement codes of the voltage kinds, whose hysteresis is absolute and shown in mV.
static bool IsVoltageCode(uint32_t code) { return code == 14 || code == 15 || code == 38 || code == 40; }
// PID quantities whose limits are drawn on the first form of the limits page.
static bool IsPidFirstFormCode(uint32_t code) { return code == 9 || code == 10 || code == 24; }
// Decade factors of a conductivity entry: S/cm, mS/cm, microS/cm.
static const float kDecadeFactors[3] = {1.0f, 0.001f, 0.000001f};

// The new access code between its entry (page 9) and its confirmation (page 10).
static uint32_t s_NewCode;
static uint32_t s_NewCodePending;

static uint32_t EditChannel() {
    uint8_t channel = Settings_GetEditChannel();
    return channel < 2 ? channel : 0;
}

static uint32_t RoundToWhole(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 4294967040.0f) return 0xffffffffu;
    return static_cast<uint32_t>(value + 0.5f);
}

// The set point or output being edited: the parameter pages' selectors, which the value pages'
// selector steps too.
static uint8_t SetPointItem() { return ParamPage_SelectedSetPoint(); }
static uint8_t OutputItem() { return ParamPage_SelectedOutput(); }
static bool IsOutputPage(uint32_t page) { return page == kValuePageOutputRange || page == kValuePageOutputLow; }

uint8_t ValuePage_EditItem(uint32_t page) { return IsOutputPage(page) ? OutputItem() : SetPointItem(); }

void ValuePage_SetEditItem(uint32_t page, uint8_t item) {
    if (IsOutputPage(page)) {
        ParamPage_SelectOutput(item);
    } else {
        ParamPage_SelectSetPoint(item);
    }
}
static uint8_t RelayOf(uint8_t relay) { return relay < kRelayCount ? relay : 0; }
static uint8_t UnitIndex(uint8_t unit) { return unit < kPressureUnits ? unit : kPressureMbar; }

static void SetChoice(uint32_t line, uint32_t value, uint32_t count) {
    g_ValuePageChoice[line] = static_cast<int8_t>(value < count ? value : 0);
}

static uint8_t ChoiceOf(uint32_t line, uint32_t count) {
    int8_t choice = g_ValuePageChoice[line];
    return choice >= 0 && static_cast<uint32_t>(choice) < count ? static_cast<uint8_t>(choice) : 0;
}

// The measurement code a set point watches, in the edited set-up.
static uint8_t SetPointCode(uint32_t i) { return Settings_EditLineCode(g_WorkSet.setPoints.source[i]); }

uint8_t ValuePage_SetPointType(uint32_t i) {
    return i < kSetPointCount ? g_WorkSet.setPoints.type[i] : static_cast<uint8_t>(kSetPointOff);
}

void ValuePage_RangeUnit(uint32_t page, uint8_t* code, uint8_t* prefix) {
    uint32_t line = 4;
    if (page == kValuePageOutputRange || page == kValuePageOutputLow) {
        line = OutputItem();
    } else if (page >= kValuePagePid && page <= kValuePagePropLimits2) {
        line = g_WorkSet.pid.source;
    } else {
        line = g_WorkSet.setPoints.source[SetPointItem()];
    }
    *code = 30;
    *prefix = kPrefixNone;
    if (line >= 4) return;
    // The measurement line a to d is its slot, whichever display line shows it.
    const MeasLineConfig& lines = g_WorkSet.channel.lines;
    *code = lines.kind[line];
    *prefix = lines.prefix[line];
}

uint32_t ValuePage_AlarmMask() { return g_WorkSet.alarm.disableMask; }
uint8_t ValuePage_AlarmRelay() { return RelayOf(g_WorkSet.alarm.relay); }

void ValuePage_StoreRefTempChoice(uint8_t choice) { g_WorkSet.params.channel[EditChannel()].stcMode = choice ? 1 : 0; }

void ValuePage_ApplyO2Conditions(uint32_t channel) {
    if (channel >= 2) channel = 0;
    Temp_SetCurrentValue(Temp_GetManualValue(0));
    uint8_t unit = UnitIndex(g_SensorEdit.calPressureUnit[channel]);
    SetChoice(0, unit, kPressureUnits);
    const ParamChannelEdit& p = g_WorkSet.params.channel[channel];
    Meas_EditO2CalPressure(channel, p.calPressure / Settings_PressureFactor(unit));
    Meas_EditO2RelHumidity(channel, p.relHumidity / 100.0f);
}

// ---- Concentration table pages ------------------------------------------------------------------------

static ConcTable& Work() { return g_ConcTableEdit.table; }
static uint32_t Clamped(uint8_t n) { return n >= kConcPointsMin && n <= kConcPoints ? n : kConcPointsMin; }
static uint32_t ConcCount() { return Clamped(Work().concentrationCount); }
static uint32_t TempCount() { return Clamped(Work().temperatureCount); }
// The pages' place in the edit copy, as the table's own navigation tests count it: the
// temperature row (pages 48 and 49), the pair of concentrations (page 47: the row index) and the
// pair of conductivities (page 49: the column index).
static uint32_t ConcRow() {
    return g_ConcTableEdit.temperatureIndex < kConcPoints ? g_ConcTableEdit.temperatureIndex : 0;
}
static uint8_t& PairIndex(uint32_t page) {
    return page == kValuePageConcentrations ? g_ConcTableEdit.rowIndex : g_ConcTableEdit.columnIndex;
}
static uint32_t ConcPair(uint32_t page) { return PairIndex(page) < kConcPoints ? PairIndex(page) : 0; }

// The table entries a line of pages 47 and 49 holds (-1 none): a pair per page, its last page with
// a single entry on line 1.
static int32_t ConcEntry(uint32_t page, uint32_t line) {
    uint32_t n = ConcCount();
    uint32_t first = page == kValuePageConcentrations ? 2 * ConcPair(page) : 2 * ConcPair(page) + 1;
    if (first >= n) return -1;
    bool single = first + 1 >= n;
    if (single) return line == 1 ? static_cast<int32_t>(first) : -1;
    return static_cast<int32_t>(first + line);
}

uint32_t ValuePage_ConcLineShown(uint32_t page, uint32_t line) {
    if (page != kValuePageConcentrations && page != kValuePageConductivities) return 1;
    return ConcEntry(page, line) >= 0 ? 1 : 0;
}

uint32_t ValuePage_ConcEntryNumber(uint32_t page, uint32_t line) {
    if (page == kValuePageConcRow) return line == 0 ? ConcRow() + 1 : 1;
    int32_t entry = ConcEntry(page, line);
    return entry >= 0 ? static_cast<uint32_t>(entry) + 1 : 0;
}

static uint8_t DecadeOf(float value) {
    uint8_t prefix = 0;
    Unit_AutoPrefix(value, &prefix);
    return prefix < 3 ? prefix : 0;
}

static float LoadConductivity(uint32_t line, float value) {
    uint8_t decade = DecadeOf(value);
    SetChoice(line, decade, 3);
    return value / kDecadeFactors[decade];
}

static float StoredConductivity(uint32_t line, float value) { return value * kDecadeFactors[ChoiceOf(line, 3)]; }

// ---- Load ---------------------------------------------------------------------------------------------

void ValuePage_Load(uint32_t page, float* values) {
    values[0] = values[1] = 0.0f;
    g_ValuePageChoice[0] = g_ValuePageChoice[1] = 0;
    uint32_t ch = EditChannel();
    ParamChannelEdit& p = g_WorkSet.params.channel[ch];
    switch (page) {
        case kValuePageRelay:
        case kValuePageRelayAbsolute: {
            uint8_t i = SetPointItem();
            if (g_WorkSet.setPoints.relay[i] < kRelayCount) g_EditRelay = g_WorkSet.setPoints.relay[i];
            values[0] = g_WorkSet.relays.delay[RelayOf(g_EditRelay)];
            // A hysteresis out of its range shows its default; it is written only when stored.
            float h = g_WorkSet.setPoints.hysteresis[i];
            if (page == kValuePageRelay) {
                if (!(h >= 0.0f && h < kHysteresisPercentMax)) h = kHysteresisPercentFactory;
                values[1] = h;
            } else if (IsVoltageCode(SetPointCode(i))) {
                if (!(h >= -kHysteresisVoltsMax && h <= kHysteresisVoltsMax)) h = 0.0f;
                values[1] = h * kMilli;
            } else {
                values[1] = h;
            }
            break;
        }
        case kValuePageAlarmRelay: {
            uint8_t relay = RelayOf(g_WorkSet.alarm.relay);
            g_ValuePageSelector = g_WorkSet.relays.sense[relay] ? 1 : 0;
            values[1] = g_WorkSet.relays.delay[relay];
            break;
        }
        case kValuePageStc:
            values[0] = p.isoPoint;
            values[1] = p.stcCoefficient;
            break;
        case kValuePageCleaning:
            values[0] = g_WorkSet.cleaning.interval;
            values[1] = g_WorkSet.cleaning.time;
            break;
        case kValuePageCalPressure:
            values[0] = p.calPressure;
            SetChoice(0, g_SensorEdit.calPressureUnit[ch], kPressureUnits);
            SetChoice(1, Settings_GetEditParam28(ch), 2);
            break;
        case kValuePageSalinity:
            values[0] = p.salinity;
            values[1] = p.relHumidity;
            break;
        case kValuePageFixedTemp:
        case kValuePageCalTemperature:
            values[0] = values[1] = page == kValuePageFixedTemp ? p.manualTemp : Temp_GetCurrentValue();
            break;
        case kValuePagePassword:
            // The codes are checked against the live ones; the edit copies start from them.
            g_SystemEdit.accessCode[0] = g_SystemSettings.accessCode[0];
            g_SystemEdit.accessCode[1] = g_SystemSettings.accessCode[1];
            SetChoice(0, g_PasswordChoice, 3);
            break;
        case kValuePageOutputTest:
            Aout_TakeForTest();
            NumEdit_SetOutputOverride(1);
            values[0] = Aout_GetShownCurrent(0);
            values[1] = Aout_GetShownCurrent(1);
            break;
        case kValuePageSetPointRange: {
            uint8_t i = SetPointItem();
            values[0] = g_WorkSet.setPoints.valueA[i];
            values[1] = g_WorkSet.setPoints.valueB[i];
            break;
        }
        case kValuePageOutputRange: {
            uint8_t o = OutputItem();
            Settings_RefreshOutputRange(o);
            values[0] = g_WorkSet.outputs.valueAt4mA[o];
            values[1] = g_WorkSet.outputs.valueAt20mA[o];
            break;
        }
        case kValuePageSetPointValue: {
            uint8_t i = SetPointItem();
            values[1] = g_WorkSet.setPoints.type[i] == kSetPointHigh ? g_WorkSet.setPoints.valueA[i]
                                                                     : g_WorkSet.setPoints.valueB[i];
            break;
        }
        case kValuePageRefTemp:
            g_ValuePageSelector = p.stcMode ? 1 : 0;
            values[1] = p.stcRefTemp;
            break;
        case kValuePageNames:
            for (uint32_t line = 0; line < 2; ++line) {
                std::memcpy(g_EditLines[line].text, g_SystemEdit.name[line], 8);
                g_EditLines[line].text[8] = '\0';
                // A name holds blanks, digits and capitals; anything else shows as a blank.
                for (uint32_t k = 0; k < 8; ++k) {
                    char& c = g_EditLines[line].text[k];
                    if (!(c == ' ' || (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z'))) c = ' ';
                }
            }
            break;
        case kValuePagePid:
            values[0] = g_WorkSet.pid.setPoint;
            values[1] = g_WorkSet.pid.deadBand;
            break;
        case kValuePagePropLimits:
        case kValuePagePropLimits2:
            values[0] = g_WorkSet.pid.lowerLimit;
            values[1] = g_WorkSet.pid.upperLimit;
            break;
        case kValuePageMaint:
        case kValuePageMaint2:
            values[0] = g_WorkSet.params.maintDays;
            values[1] = g_WorkSet.params.actDays;
            break;
        case kValuePageAct:
            values[1] = g_WorkSet.params.actDays;
            break;
        case kValuePageCipSetup:
        case kValuePageSipSetup: {
            const SlotCycle& cycle = g_SlotEdit.cycle[page == kValuePageCipSetup ? kCycleCip : kCycleSip];
            values[0] = static_cast<float>(cycle.limit);
            values[1] = page == kValuePageCipSetup ? g_SlotEdit.cipTempLimit : g_SlotEdit.sipTempLimit;
            break;
        }
        case kValuePageAutoclaveSetup:
            values[0] = static_cast<float>(g_SlotEdit.cycle[kCycleAutoclave].limit);
            break;
        case kValuePageCo2:
            values[0] = p.co2Salinity;
            values[1] = p.co2Bicarbonate;
            break;
        case kValuePageTotalPressure:
            values[0] = p.co2Pressure;
            SetChoice(0, g_Co2PressureUnitEdit[ch], kPressureUnits);
            break;
        case kValuePageToff:
            values[1] = g_SensorEdit.param41;
            break;
        case kValuePagePolarization:
            values[0] = Settings_GetEditMeasPolVoltage(ch);
            values[1] = Settings_GetEditCalPolVoltage(ch);
            break;
        case kValuePageSampling:
            values[1] = static_cast<float>(g_WorkSet.params.samplingRate);
            break;
        case kValuePageO2Conditions:
        case kValuePageO2Pressure: {
            uint8_t unit = UnitIndex(g_SensorEdit.calPressureUnit[ch]);
            float shown = Meas_GetO2CalPressure(ch) * Settings_PressureFactor(unit);
            if (page == kValuePageO2Conditions) {
                SetChoice(0, unit, kPressureUnits);
                values[0] = shown;
                values[1] = Meas_GetO2RelHumidity(ch) * 100.0f;
            } else {
                SetChoice(1, unit, kPressureUnits);
                values[1] = shown;
            }
            break;
        }
        case kValuePageProcPressure:
            values[1] = p.procPressure;
            SetChoice(1, g_SensorEdit.procPressureUnit[ch], kPressureUnits);
            break;
        case kValuePageAnalogInput:
            for (uint32_t line = 0; line < 2; ++line) {
                values[line] = g_WorkSet.params.inputRange[line];
                SetChoice(line, g_WorkSet.params.inputUnit[line], kPressureUnits);
            }
            break;
        case kValuePageUnitName:
            std::memset(g_EditLines[1].text, 0, sizeof g_EditLines[1].text);
            std::memcpy(g_EditLines[1].text, Work().name, 6);
            for (uint32_t k = 0; k < 6; ++k) {
                char& c = g_EditLines[1].text[k];
                if (c < ' ' || c > 'z') c = ' ';
            }
            break;
        case kValuePageConcPoints:
            values[0] = TempCount();
            values[1] = ConcCount();
            break;
        case kValuePageConcentrations:
            for (uint32_t line = 0; line < 2; ++line) {
                int32_t e = ConcEntry(page, line);
                if (e >= 0) values[line] = Work().concentrations[e];
            }
            break;
        case kValuePageConcRow:
            values[0] = Work().temperatures[ConcRow()];
            values[1] = LoadConductivity(1, Work().conductivities[ConcRow()][0]);
            break;
        case kValuePageConductivities:
            for (uint32_t line = 0; line < 2; ++line) {
                int32_t e = ConcEntry(page, line);
                if (e >= 0) values[line] = LoadConductivity(line, Work().conductivities[ConcRow()][e]);
            }
            break;
        case kValuePageDamping:
            values[1] = g_WorkSet.outputs.damping;
            break;
        default:
            // The access-code pages show 0; pages without a setting show their labels only.
            break;
    }
}

// ---- Store ---------------------------------------------------------------------------------------------

// The proportional limits fitted to the set point and dead band; a corner outside the new limits
// moves onto the limit with its full output, and the corners' outputs stay within the band's scale.
static void RefitPid(float low, float high) {
    PidSettings& pid = g_WorkSet.pid;
    float lowOut = low, highOut = high;
    Chan_FitRangeToBand(low, high, &lowOut, &highOut);
    pid.lowerLimit = lowOut;
    pid.upperLimit = highOut;
    if (pid.lowerCornerX < lowOut) {
        pid.lowerCornerX = lowOut;
        pid.lowerCornerY = 1.0f;
    }
    if (pid.upperCornerX > highOut) {
        pid.upperCornerX = highOut;
        pid.upperCornerY = -1.0f;
    }
    float s = pid.setPoint, d = pid.deadBand;
    float scale = 0.0f;
    Pid_ScaleToUnitRange(s - d, lowOut, pid.lowerCornerX, &scale, 0);
    if (pid.lowerCornerY > 1.0f) pid.lowerCornerY = 1.0f;
    if (pid.lowerCornerY < scale) pid.lowerCornerY = scale;
    Pid_ScaleToUnitRange(s + d, highOut, pid.upperCornerX, &scale, 1);
    if (pid.upperCornerY < -1.0f) pid.upperCornerY = -1.0f;
    if (pid.upperCornerY > scale) pid.upperCornerY = scale;
}

static void StoreName(uint32_t line) {
    char* name = g_SystemEdit.name[line];
    std::memcpy(name, g_EditLines[line].text, 8);
    name[kStoredNameBytes - 1] = '\0';
}

void ValuePage_Store(uint32_t screen, uint32_t page, const float* values) {
    if (screen != kScreenValuePage) return;
    uint32_t ch = EditChannel();
    ParamChannelEdit& p = g_WorkSet.params.channel[ch];
    switch (page) {
        case kValuePageRelay:
        case kValuePageRelayAbsolute: {
            uint8_t i = SetPointItem();
            g_WorkSet.relays.delay[RelayOf(g_EditRelay)] = values[0];
            float h = values[1];
            if (page == kValuePageRelayAbsolute && IsVoltageCode(SetPointCode(i))) {
                // Shown in mV: one left as shown keeps its volts unrounded (unless the page showed
                // 0 for a hysteresis out of its range).
                float was = g_WorkSet.setPoints.hysteresis[i];
                if (ValuePage_LineKept(1) && was >= -kHysteresisVoltsMax && was <= kHysteresisVoltsMax) break;
                h /= kMilli;
            }
            g_WorkSet.setPoints.hysteresis[i] = h;
            break;
        }
        case kValuePageAlarmRelay: {
            uint8_t relay = RelayOf(g_WorkSet.alarm.relay);
            g_WorkSet.relays.sense[relay] = g_ValuePageSelector ? 1 : 0;
            g_WorkSet.relays.delay[relay] = values[1];
            break;
        }
        case kValuePageStc:
            p.isoPoint = values[0];
            p.stcCoefficient = values[1];
            break;
        case kValuePageCleaning:
            g_WorkSet.cleaning.interval = values[0];
            g_WorkSet.cleaning.time = values[1];
            break;
        case kValuePageCalPressure:
            p.calPressure = values[0];
            g_SensorEdit.calPressureUnit[ch] = ChoiceOf(0, kPressureUnits);
            Settings_SetEditParam28(ch, ChoiceOf(1, 2));
            break;
        case kValuePageSalinity:
            p.salinity = values[0];
            p.relHumidity = values[1] > 100.0f ? 100.0f : values[1];
            break;
        case kValuePageFixedTemp:
            p.manualTemp = values[1];
            break;
        case kValuePageNewPassword:
            // Kept apart until the second entry confirms it.
            s_NewCode = RoundToWhole(values[1]);
            s_NewCodePending = 1;
            break;
        case kValuePageSetPointRange: {
            uint8_t i = SetPointItem();
            g_WorkSet.setPoints.valueA[i] = values[0] >= values[1] ? values[0] : values[1];
            g_WorkSet.setPoints.valueB[i] = values[0] >= values[1] ? values[1] : values[0];
            break;
        }
        case kValuePageOutputRange: {
            uint8_t o = OutputItem();
            g_WorkSet.outputs.valueAt4mA[o] = values[0] <= values[1] ? values[0] : values[1];
            g_WorkSet.outputs.valueAt20mA[o] = values[0] <= values[1] ? values[1] : values[0];
            break;
        }
        case kValuePageSetPointValue: {
            uint8_t i = SetPointItem();
            if (g_WorkSet.setPoints.type[i] == kSetPointHigh) {
                g_WorkSet.setPoints.valueA[i] = values[1];
            } else {
                g_WorkSet.setPoints.valueB[i] = values[1];
            }
            break;
        }
        case kValuePageRefTemp:
            p.stcMode = g_ValuePageSelector ? 1 : 0;
            p.stcRefTemp = values[1];
            break;
        case kValuePageNames:
            StoreName(0);
            StoreName(1);
            break;
        case kValuePagePid:
            g_WorkSet.pid.setPoint = values[0];
            g_WorkSet.pid.deadBand = values[1];
            RefitPid(g_WorkSet.pid.lowerLimit, g_WorkSet.pid.upperLimit);
            break;
        case kValuePagePropLimits:
        case kValuePagePropLimits2:
            RefitPid(values[0], values[1]);
            break;
        case kValuePageClock: {
            ClockRecord date{};
            if (ValuePage_ParseDateTime(&date)) {
                g_DateEdit.changed = 1;
                g_DateEdit.date = date;
            }
            break;
        }
        case kValuePageMaint:
        case kValuePageMaint2:
            g_WorkSet.params.maintDays = values[0];
            g_WorkSet.params.actDays = values[1];
            break;
        case kValuePageAct:
            g_WorkSet.params.actDays = values[1];
            break;
        case kValuePageCipSetup:
        case kValuePageSipSetup: {
            SlotCycle& cycle = g_SlotEdit.cycle[page == kValuePageCipSetup ? kCycleCip : kCycleSip];
            cycle.limit = RoundToWhole(values[0]);
            uint32_t t = RoundToWhole(values[1]);
            uint8_t temp = static_cast<uint8_t>(t > 255 ? 255 : t);
            if (page == kValuePageCipSetup) {
                g_SlotEdit.cipTempLimit = temp;
            } else {
                g_SlotEdit.sipTempLimit = temp;
            }
            break;
        }
        case kValuePageAutoclaveSetup:
            g_SlotEdit.cycle[kCycleAutoclave].limit = RoundToWhole(values[0]);
            break;
        case kValuePageCo2:
            p.co2Salinity = values[0] > 60.0f ? 60.0f : values[0];
            p.co2Bicarbonate = values[1] > 0.255f ? 0.255f : values[1];
            break;
        case kValuePageTotalPressure:
            p.co2Pressure = values[0];
            g_Co2PressureUnitEdit[ch] = ChoiceOf(0, kPressureUnits);
            break;
        case kValuePageToff:
            g_SensorEdit.param41 = values[1];
            break;
        case kValuePagePolarization:
            Settings_SetEditMeasPolVoltage(ch, static_cast<int16_t>(std::lround(values[0])));
            Settings_SetEditCalPolVoltage(ch, static_cast<int16_t>(std::lround(values[1])));
            break;
        case kValuePageSampling: {
            uint32_t seconds = RoundToWhole(values[1]);
            g_WorkSet.params.samplingRate = static_cast<uint8_t>(seconds > 255 ? 255 : seconds);
            break;
        }
        case kValuePageCalTemperature:
            Temp_SetCurrentValue(values[1]);
            break;
        case kValuePageO2Conditions:
        case kValuePageO2Pressure: {
            uint32_t line = page == kValuePageO2Conditions ? 0 : 1;
            uint8_t unit = ChoiceOf(line, kPressureUnits);
            g_SensorEdit.calPressureUnit[ch] = unit;
            // Shown in the unit, kept in mbar: a pressure left as shown keeps its mbar unrounded.
            if (!ValuePage_LineKept(line)) Meas_EditO2CalPressure(ch, values[line] / Settings_PressureFactor(unit));
            if (page == kValuePageO2Conditions && !ValuePage_LineKept(1)) {
                Meas_EditO2RelHumidity(ch, values[1] / 100.0f);
            }
            break;
        }
        case kValuePageProcPressure:
            p.procPressure = values[1];
            g_SensorEdit.procPressureUnit[ch] = ChoiceOf(1, kPressureUnits);
            break;
        case kValuePageAnalogInput:
            for (uint32_t line = 0; line < 2; ++line) {
                g_WorkSet.params.inputRange[line] = values[line];
                g_WorkSet.params.inputUnit[line] = ChoiceOf(line, kPressureUnits);
            }
            break;
        case kValuePageUnitName:
            std::memcpy(Work().name, g_EditLines[1].text, 6);
            Work().name[6] = '\0';
            break;
        case kValuePageConcPoints: {
            uint32_t t = RoundToWhole(values[0]);
            uint32_t c = RoundToWhole(values[1]);
            Work().temperatureCount = static_cast<uint8_t>(t < 2 ? 2 : (t > kConcPoints ? kConcPoints : t));
            Work().concentrationCount = static_cast<uint8_t>(c < 2 ? 2 : (c > kConcPoints ? kConcPoints : c));
            break;
        }
        case kValuePageConcentrations:
            for (uint32_t line = 0; line < 2; ++line) {
                int32_t e = ConcEntry(page, line);
                if (e >= 0) Work().concentrations[e] = values[line];
            }
            break;
        case kValuePageConcRow:
            Work().temperatures[ConcRow()] = values[0];
            // Conductivities are shown in a decade of their own: one left as shown stays unrounded.
            if (!ValuePage_LineKept(1)) Work().conductivities[ConcRow()][0] = StoredConductivity(1, values[1]);
            break;
        case kValuePageConductivities:
            for (uint32_t line = 0; line < 2; ++line) {
                int32_t e = ConcEntry(page, line);
                if (e >= 0 && !ValuePage_LineKept(line)) {
                    Work().conductivities[ConcRow()][e] = StoredConductivity(line, values[line]);
                }
            }
            break;
        case kValuePageDamping: {
            uint32_t d = RoundToWhole(values[1]);
            g_WorkSet.outputs.damping = static_cast<uint8_t>(d > 255 ? 255 : d);
            break;
        }
        default:
            // Pages 2, 8, 11, 12, 15, 17, 20 to 23 and 27 store nothing.
            break;
    }
}

// ---- Checks on ENTER -----------------------------------------------------------------------------------

static bool Above(float value, float limit) { return !(value <= limit); }

static void Rewrite(uint32_t line, const char* text, float* values, float value) {
    ValuePage_RewriteLine(line, text);
    values[line] = value;
}

// A line's value below lowest or above highest is rewritten as that bound (as its text); true when
// it was.
static bool RewriteIntoRange(uint32_t line, float* values, float lowest, const char* lowestText, float highest,
                             const char* highestText) {
    if (values[line] < lowest) {
        Rewrite(line, lowestText, values, lowest);
        return true;
    }
    if (Above(values[line], highest)) {
        Rewrite(line, highestText, values, highest);
        return true;
    }
    return false;
}

// Writes a value into a line as the page draws it.
static void RedrawLine(uint32_t page, uint32_t line, float value) {
    uint8_t code = 30, prefix = kPrefixNone;
    ValuePage_RangeUnit(page, &code, &prefix);
    char text[kNumberTextMax + 1];
    float shown = ValuePage_ToChannelUnit(value, prefix);
    uint32_t width = g_ValuePageTable[page].width[line];
    Util_FloatToText(shown, 255, width >= 2 ? Util_DecimalsForDigits(shown, width - 2) : 0, text);
    ValuePage_RewriteLine(line, text);
}

int32_t ValuePage_CheckEntry(uint32_t page, int32_t r, float* values) {
    switch (page) {
        case kValuePageCleaning:
            if (Above(values[0], 999.94f)) return kEntryBadInterval;
            if (Above(values[1], values[0] * 3600.0f)) return kEntryBadCleanTime;
            return r;
        case kValuePageMaint:
            return Above(values[0], 400.01f) || Above(values[1], 170.1f) ? kEntryBadValue : r;
        case kValuePageMaint2:
            return Above(values[0], 1000.1f) || Above(values[1], 170.1f) ? kEntryBadValue : r;
        case kValuePageAct:
            return Above(values[1], 170.1f) ? kEntryBadValue : r;
        case kValuePagePolarization:
            for (uint32_t line = 0; line < 2; ++line) {
                if (!(values[line] >= -1000.0f && values[line] <= 1000.0f)) return kEntryBadValue;
            }
            return r;
        case kValuePageCo2:
            if (Above(values[0], 60.0f)) {
                Rewrite(0, "60.00", values, 60.0f);
                return kEntryBadValue;
            }
            if (Above(values[1], 0.255f)) {
                Rewrite(1, "0.255", values, 0.255f);
                return kEntryBadValue;
            }
            return r;
        case kValuePageToff: {
            float high = Meas_IsSensorMode2(1) ? 40.001f : 85.001f;
            if (!(values[1] >= 9.99999f)) {
                Rewrite(1, "10.00", values, 10.0f);
                return kEntryBadValue;
            }
            if (Above(values[1], high)) {
                bool mode2 = Meas_IsSensorMode2(1) != 0;
                Rewrite(1, mode2 ? "40.00" : "85.00", values, mode2 ? 40.0f : 85.0f);
                return kEntryBadValue;
            }
            return r;
        }
        case kValuePageSalinity:
        case kValuePageO2Conditions:
            if (Above(values[1], 100.0f)) {
                Rewrite(1, "100", values, 100.0f);
                return kEntryStay;
            }
            return r;
        case kValuePageSampling:
            return RewriteIntoRange(1, values, 1.0f, "01", 60.0f, "60") ? kEntryStay : r;
        case kValuePageDamping:
            return RewriteIntoRange(1, values, 1.0f, "01", 15.0f, "15") ? kEntryStay : r;
        case kValuePageConcPoints:
            for (uint32_t line = 0; line < 2; ++line) {
                if (RewriteIntoRange(line, values, 2.0f, "2", 5.0f, "5")) return kEntryStay;
            }
            return r;
        case kValuePageConcRow:
            if (!(values[0] >= -40.01f && values[0] <= 200.01f)) {
                bool high = !(values[0] < 2.0f);
                Rewrite(0, high ? "200.0" : "-40.0", values, high ? 200.0f : -40.0f);
                return kEntryStay;
            }
            return r;
        case kValuePageSetPointRange:
            if (!(values[0] > values[1])) {
                RedrawLine(page, 0, values[0]);
                return kEntryStay;
            }
            return r;
        case kValuePagePropLimits:
        case kValuePagePropLimits2: {
            float low = values[0], high = values[1];
            uint32_t moved = Chan_FitRangeToBand(values[0], values[1], &low, &high);
            if (moved == 0) return r;
            if (moved & 1) RedrawLine(page, 0, low);
            if (moved & 2) RedrawLine(page, 1, high);
            values[0] = low;
            values[1] = high;
            return kEntryStay;
        }
        case kValuePageFixedTemp:
        case kValuePageCalTemperature: {
            // A fixed temperature stands in for a measured one: it is held to the same range.
            uint32_t status = 0;
            Temp_CheckManualRange(values[1], &status);
            return status == 0 ? r : kEntryBadValue;
        }
        case kValuePageClock: {
            ClockRecord date{};
            return ValuePage_ParseDateTime(&date) ? r : kEntryBadDateTime;
        }
        default:
            return r;
    }
}

// ---- What follows ENTER ---------------------------------------------------------------------------------

static int32_t Act(uint32_t id) { return static_cast<int32_t>(id); }

// Back one screen, with the page the screen below redraws made current.
static int32_t BackTo(uint32_t page) {
    ValuePage_MakeCurrent(page);
    return Act(kActionBack);
}

static int32_t BackToParamPage(uint32_t page) {
    ParamPage_SetCurrent(page);
    return Act(kActionBack);
}

// The set point pages went there from an output's set point (parameter page 38) or from "Set Points".
static bool FromOutputBranch() {
    uint32_t current = ParamPage_CurrentPage();
    return current == kParamPageSetPointOfOutput || current == kParamPageOutputOfSetPoint;
}

static int32_t AccessCodeAccepted(uint32_t code) {
    if (Settings_IsAdministratorCode(code)) return Act(kActionAccessGranted);
    if (code == g_SystemSettings.accessCode[1]) {
        // The operator opens what the administrator left open to the operator.
        uint8_t under = g_MenuDepth >= 2 ? g_MenuStack[g_MenuDepth - 2] : kScreenHome;
        uint32_t section = 0;
        if (under == kScreenTreeMenu || under == kScreenTreeInfo) section = Menu_TreeCursor() + 1u;
        if (under == kScreenConfigWarning) section = kSectionQuickSetup;
        if (Menu_ItemUnlocked(section)) return Act(kActionAccessGranted);
    }
    ValuePage_ShowInvalid(kInvalidPassword);
    return -1;
}

static int32_t ResultOfLeave(uint32_t page) {
    switch (page) {
        case kValuePageRepeatPassword:
        case kValuePageOutputLow:
        case kValuePageTotalPressure:
            ValuePage_Open(page - 1, 1);
            return -1;
        case kValuePageRefTemp:
            ValuePage_Open(kValuePageStc, 1);
            return -1;
        case kValuePagePolarization:
            ValuePage_Open(kValuePageSalinity, 1);
            return -1;
        case kValuePageNewPassword:
            s_NewCodePending = 0;
            return BackTo(kValuePagePassword);
        case kValuePagePropLimits:
        case kValuePagePropLimits2:
            return BackTo(kValuePagePid);
        case kValuePageProcPressure:
        case kValuePageAnalogInput:
            return BackTo(kValuePageCalPressure);
        case kValuePageConcPoints:
            return BackTo(kValuePageUnitName);
        case kValuePageConcentrations:
            if (ConcPair(page) == 0) return BackTo(kValuePageConcPoints);
            --PairIndex(page);
            return BackTo(kValuePageConcentrations);
        case kValuePageConcRow:
            if (ConcRow() == 0) {
                PairIndex(kValuePageConcentrations) = static_cast<uint8_t>((ConcCount() - 1) / 2);
                return BackTo(kValuePageConcentrations);
            }
            --g_ConcTableEdit.temperatureIndex;
            PairIndex(kValuePageConductivities) = static_cast<uint8_t>(ConcCount() / 2 - 1);
            return BackTo(kValuePageConductivities);
        case kValuePageConductivities:
            if (ConcPair(page) == 0) return BackTo(kValuePageConcRow);
            --PairIndex(page);
            return BackTo(kValuePageConductivities);
        case kValuePageRelay:
        case kValuePageRelayAbsolute:
            return BackToParamPage(kParamPageSetPointRelay);
        case kValuePageStc:
            return BackToParamPage(kParamPagePhBuffers);
        case kValuePageCleaning:
            return BackToParamPage(kParamPageAlarmClean);
        case kValuePageSalinity:
            return BackToParamPage(kParamPageProcCalPressure);
        case kValuePageSetPointRange:
        case kValuePageSetPointValue:
        case kValuePageSetPointOff:
            return BackToParamPage(FromOutputBranch() ? kParamPageSetPointOfOutput : kParamPageSetPoint);
        case kValuePageOutputRange:
            return BackToParamPage(FromOutputBranch() ? kParamPageOutputOfSetPoint : kParamPageOutputMeasurement);
        case kValuePageToff:
            return BackToParamPage(kParamPageLedMode);
        case kValuePageCalTemperature:
            g_CalSettingsEdited = 0;
            ValuePage_ApplyO2Conditions(Menu_ChannelOfPosition(g_MenuPosition));
            return BackToParamPage(kParamPagePhCalType);
        case kValuePageDamping:
            return BackToParamPage(kParamPageOutputMeasurement);
        case kValuePageAlarmRelay:
        case kValuePageAccessCode:
        case kValuePagePid:
        case kValuePageMaint:
        case kValuePageMaint2:
        case kValuePageAct:
        case kValuePageUnitName:
        case kValuePageO2Pressure:
            return Act(kActionBack);
        case kValuePageO2Conditions:
            Cal_SelectMeasurement(2, 0);
            return Act(kActionBack);
        case kValuePageCo2:
            return Act(kActionCo2CompPage);
        case kValuePageClock:
            g_DateEdit.changed = 0;
            return g_EditFlags[0] ? Act(kEventEscape) : Act(kActionBackToFirst);
        case kValuePageOutputTest:
            NumEdit_SetOutputOverride(0);
            return Act(kActionBackToFirst);
        default:
            return Act(kActionBackToFirst);
    }
}

static int32_t ResultOfValues(uint32_t page, const float* values) {
    switch (page) {
        case kValuePagePassword: {
            uint32_t code = RoundToWhole(values[0]);
            g_PasswordChoice = ChoiceOf(0, 3);
            if (Settings_IsAdministratorCode(code)) {
                return Act(g_PasswordChoice == 2 ? kActionSectionLocksPage : kActionNewPasswordPage);
            }
            ValuePage_ShowInvalid(kInvalidPassword);
            return -1;
        }
        case kValuePageAccessCode:
            return AccessCodeAccepted(RoundToWhole(values[1]));
        case kValuePageService:
            if (RoundToWhole(values[1]) == kServiceCode) return Act(kActionAccessGranted);
            ValuePage_ShowInvalid(kInvalidPassword);
            return -1;
        case kValuePageNewPassword:
        case kValuePageCo2:
            ValuePage_Open(page + 1, 0);
            return -1;
        case kValuePageRepeatPassword:
            if (s_NewCodePending && RoundToWhole(values[1]) == s_NewCode) {
                g_SystemEdit.accessCode[g_PasswordChoice == 0 ? 0 : 1] = s_NewCode;
                s_NewCodePending = 0;
                return Act(kActionAskSave);
            }
            ValuePage_ShowInvalid(kInvalidPasswordsDiffer);
            return -1;
        case kValuePageStc:
            ValuePage_Open(kValuePageRefTemp, 0);
            return -1;
        case kValuePageCleaning:
            return Act(kActionCleanRelayPage);
        case kValuePageCalPressure:
            return Act(g_ValuePageChoice[1] == 1 ? kActionAnalogInputRangePage : kActionProcPressurePage);
        case kValuePageSalinity:
            if (Menu_ActiveKind(EditChannel()) == kKindO2Optical) return Act(kActionProcCalPage);
            ValuePage_Open(kValuePagePolarization, 0);
            return -1;
        case kValuePageRelay:
        case kValuePageRelayAbsolute:
            return Act(kActionRelayHoldPage);
        case kValuePageOutputTest:
            return Act(kEventHome);
        case kValuePageSetPointRange:
        case kValuePageSetPointValue:
            return Act(FromOutputBranch() ? kActionSetPointRelayPage2 : kActionSetPointRelayPage);
        case kValuePageOutputRange:
            return Act(FromOutputBranch() ? kActionOutputSetPointPage : kItemOutputHoldValue);
        case kValuePageRefTemp:
        case kValuePageTotalPressure:
            return Act(kActionCalInfoUnitsPage);
        case kValuePagePid: {
            uint8_t code = 30, prefix = kPrefixNone;
            ValuePage_RangeUnit(page, &code, &prefix);
            return Act(IsPidFirstFormCode(code) ? kActionPropLimitsPage : kActionPropLimitsPage2);
        }
        case kValuePagePropLimits:
            return Act(kActionPidLimits2);
        case kValuePagePropLimits2:
            return Act(kActionPidLimits1);
        case kValuePageSetPointOff:
            return Act(kActionSetPointRelayPage);
        case kValuePageClock:
            if (g_EditFlags[0]) {
                // The clock was asked for at start-up: it is set at once.
                Rtc_SetTime(&g_DateEdit.date);
                g_DateEdit.changed = 0;
                return Act(kEventEscape);
            }
            return Act(kActionAskSave);
        case kValuePageToff:
            return Act(kActionLedControlPage);
        case kValuePageCalTemperature:
            g_CalSettingsEdited = 1;
            return Act(kActionList);
        case kValuePageO2Conditions:
            if ((g_MenuPosition & 0xfff) == 4 && Menu_ChannelOfPosition(g_MenuPosition) < 2) {
                return Act(Hold_ApplyChannelChange());
            }
            return Act(kActionList);
        case kValuePageProcPressure:
        case kValuePageAnalogInput:
            return Act(kActionProcCalPressurePage);
        case kValuePageUnitName:
            return Act(kActionConcPointsPage);
        case kValuePageConcPoints:
            PairIndex(kValuePageConcentrations) = 0;
            return Act(kActionConcentrationsPage);
        case kValuePageConcentrations:
            if (!Conc_IsOddHalfReached()) {
                ++PairIndex(page);
                return Act(kActionConcentrationsPage);
            }
            if (!Conc_CheckConcIncreasing()) {
                ValuePage_ShowTableError(kTableErrorConcentration);
                return -1;
            }
            g_ConcTableEdit.temperatureIndex = 0;
            return Act(kActionConcRowPage);
        case kValuePageConcRow:
            if (ConcRow() != 0 && !Conc_CheckTempIncreasing(ConcRow())) {
                ValuePage_ShowTableError(kTableErrorTemperature);
                return -1;
            }
            PairIndex(kValuePageConductivities) = 0;
            return Act(kActionConductivitiesPage);
        case kValuePageConductivities:
            if (!Conc_IsEvenHalfReached()) {
                ++PairIndex(page);
                return Act(kActionConductivitiesPage);
            }
            if (ConcRow() == 0 ? !Conc_CheckCondMonotonic() : !Conc_CheckRowFollowsT1(ConcRow())) {
                ValuePage_ShowTableError(ConcRow() == 0 ? kTableErrorCondOrder : kTableErrorCondSequence);
                return -1;
            }
            if (Conc_IsLastTemperatureReached()) return Act(kActionAskSave);
            ++g_ConcTableEdit.temperatureIndex;
            return Act(kActionConcRowPage);
        case kValuePageO2Pressure:
            return Act(kActionEditPosition);
        default:
            return Act(kActionAskSave);
    }
}

// A code typed on one of the code pages that none of the page's codes opens. The page left as it
// opened (code 0) typed nothing.
static bool TypedCodeIsWrong(uint32_t page, const float* values) {
    uint32_t code = 0;
    switch (page) {
        case kValuePagePassword:
            code = RoundToWhole(values[0]);
            return code != 0 && !Settings_IsAdministratorCode(code);
        case kValuePageAccessCode:
            code = RoundToWhole(values[1]);
            return code != 0 && !Settings_IsAdministratorCode(code) && code != g_SystemSettings.accessCode[1];
        case kValuePageService:
            code = RoundToWhole(values[1]);
            return code != 0 && code != kServiceCode;
        default:
            return false;
    }
}

int32_t ValuePage_ResultOf(uint32_t page, int32_t r, const float* values) {
    if (r != 0) return ResultOfValues(page, values);
    // A wrong code confirmed on the leave marker is refused as in the field; a right one leaves
    // without opening anything.
    if (TypedCodeIsWrong(page, values)) {
        ValuePage_ShowInvalid(kInvalidPassword);
        return -1;
    }
    return ResultOfLeave(page);
}

void ValuePage_ResetCatalogue() {
    s_NewCode = 0;
    s_NewCodePending = 0;
}
