// Parameter page engine: opens a page of the page table, draws its labels and choices in the
// display language, steps the choices with the keys, writes them into the working set and
// decides on ENTER what comes next.
#include "ui/param_page.h"

#include <cstring>

#include "core/fmt.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "core/ui_ids.h"
#include "digital_sensor/sens_diag.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/conductivity.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph_buffers.h"
#include "outputs/hold.h"
#include "settings/settings_sensor.h"
#include "settings/settings_system.h"
#include "settings/settings_work.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/menu_tasks.h"
#include "ui/menu_tree.h"
#include "ui/pid_pages.h"
#include "ui/value_page.h"

PageEditState g_PageEdit;
uint8_t g_PageCursor;
uint8_t g_ValuePageMode;
uint16_t g_RelayConflict;

// The selectors of the pages: the set point (pages 0, 1, 2, 38), the analog output (27, 28, 30,
// 37), the relay (3, 19, 46, 50), the alarm/clean setup (20), the alarm cause (21) and the digital
// input (22).
static uint8_t s_SetPoint;
static uint8_t s_Output;
static uint8_t s_Relay;
static uint8_t s_Setup;
static uint8_t s_Cause;
static uint8_t s_Input;
// Choices that belong to the page's own procedure rather than to a setting (the reset and yes/no
// questions, the relay test, the links of the output pages); kept while the menus are open.
static int8_t s_PageChoices[kParamPageCount][kParamFields];
static constexpr uint8_t kGroupYesNo = 1;
static constexpr uint8_t kChoiceYes = 0;
static constexpr uint8_t kChoiceNo = 1;
static constexpr int32_t kResultStay = -1;

// Text groups the engine draws from besides the page table.
static constexpr uint32_t kGroupTempSource = 32;
static constexpr uint32_t kGroupValueLabels = 33;
static constexpr uint32_t kTextFixed = 6;  // "Fixed", the fifth temperature source
static constexpr uint32_t kGroupSensorTypes = 58;
static constexpr uint32_t kGroupMenuSensorSetup = 20;
static constexpr uint32_t kTextStressAdjustment = 5;
static constexpr uint32_t kGroupLabels23 = 23;
static constexpr uint32_t kTextUseOcHash = 13;
static constexpr uint32_t kGroupLabels25 = 25;
static constexpr uint32_t kTextConductivity = 7;
static constexpr uint32_t kTextOnPid = 6;
static constexpr uint32_t kGroupRelayUsers = 62;
static constexpr uint32_t kGroupMonitorShort = 81;
static constexpr uint32_t kSetPointLabelGroup = 22;
static constexpr uint32_t kTextSp = 0;

// The sensor kinds the channel page offers per channel: the analog sensors of channel A and the
// digital sensors of channel B (group 58: 0 "Auto", 1 "pH/ORP", 2 "pH/pNa", 3 "Cond(2)",
// 4 "Cond(4)", 5 "O2 hi", 6 "O2 lo", 7 "O2 Trace", 8 "ppmO2 G", 9 "O2 Opt", 10 "CO2"). Channel
// B offers the "ppmO2 G" sensor it takes over, so that its page shows that kind rather than
// "Auto", which ENTER would then set.
static const uint8_t kSensorTypesA[] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
static const uint8_t kSensorTypesB[] = {0, 1, 2, 4, 5, 6, 7, 8, 9, 10};
static constexpr uint32_t kSensorTypesACount = sizeof kSensorTypesA;
static constexpr uint32_t kSensorTypesBCount = sizeof kSensorTypesB;

// The alarm causes of group 48 by what they watch: 0 power, 1 software, 2 and 3 the pH glass and
// reference, 4 to 6 the conductivity cell, 7 channel B, 8 the oxygen electrolyte, 9 to 11 the
// optical sensor.
static bool CauseFits(uint32_t cause, uint32_t kind) {
    if (cause == 2 || cause == 3) return Chan_IsKindPh(kind) != 0;
    if (cause >= 4 && cause <= 6) return Chan_IsKindConductivity(kind) != 0;
    if (cause == 8) return kind >= kKindO2High && kind <= kKindO2Optical;
    if (cause >= 9 && cause <= 11) return kind == kKindO2Optical;
    return true;
}

// ---- Small helpers ----------------------------------------------------------------------------

static const ParamPageDesc& Desc() { return *g_PageEdit.desc; }

static uint8_t EditChannel() { return Settings_GetEditChannel(); }

static uint32_t EditKind(uint32_t channel) { return Settings_GetEditKind(channel); }

static uint32_t ActiveKind(uint32_t channel) { return Menu_ActiveKind(channel); }

static bool IsO2Kind(uint32_t kind) { return kind >= kKindO2High && kind <= kKindO2Optical; }

static int8_t ToChoice(uint32_t value) { return static_cast<int8_t>(value > 127 ? 127 : value); }

// A choice index is only ever used within its group: anything outside 0..count-1 reads as the
// nearest choice, so that no lookup runs into a neighbouring group.
static uint32_t Clamp(int32_t value, uint32_t count) {
    if (count == 0 || value < 0) return 0;
    return static_cast<uint32_t>(value) >= count ? count - 1 : static_cast<uint32_t>(value);
}

static uint8_t RelayOrNone(int8_t value) { return value >= 0 && value < 2 ? static_cast<uint8_t>(value) : kRelayNone; }

static const uint8_t* SensorTypes(uint32_t channel, uint32_t* count) {
    *count = channel == 0 ? kSensorTypesACount : kSensorTypesBCount;
    return channel == 0 ? kSensorTypesA : kSensorTypesB;
}

// The unit list of the edited kind that the analog output page steps through.
static uint32_t UnitList() {
    uint32_t kind = EditKind(EditChannel());
    return Fmt_UnitListLength(kind) > 0 ? kind : 0;
}

// The number of choices of a field as the page offers them now.
static uint32_t ChoiceCount(uint32_t page, uint32_t field) {
    const ParamPageDesc& d = g_ParamPageTable[page];
    uint32_t count = d.choiceCount[field];
    if (page == kParamPageOutputOfSetPoint && field == 1) count = Fmt_UnitListLength(UnitList());
    if (page == kParamPageChannelSelect && field == 2) SensorTypes(g_PageEdit.values[0] == 1 ? 1 : 0, &count);
    if (page == kParamPageReset && field == 0 && ActiveKind(Menu_CurrentChannel()) == kKindO2Optical) count += 1;
    // The last buffer set, "Na+ 3.9M", is the pH/pNa electrode's own; other kinds choose among the
    // sets before it.
    if (page == kParamPagePhBuffers && field == 3) {
        count = EditKind(EditChannel()) == kKindPhPna ? kBufferSetCount : kBufferSetPna;
    }
    return count == 0 ? 1 : count;
}

// ---- Drawing ----------------------------------------------------------------------------------

static uint32_t CopyText(uint32_t group, uint32_t index, char* out) {
    return Text_CopyItem(Text_GetOffset(group, index, Menu_Language()), out);
}

// The text of a field's value in the display language.
static void ValueText(uint32_t page, uint32_t field, int32_t value, char* out) {
    out[0] = '\0';
    const ParamPageDesc& d = g_ParamPageTable[page];
    uint8_t group = d.choiceGroup[field];
    uint32_t count = ChoiceCount(page, field);
    uint32_t index = Clamp(value, count);
    if (group == kGroupNumber) {
        out[0] = static_cast<char>('1' + index);
        out[1] = '\0';
    } else if (page == kParamPageChannelSelect && field == 2) {
        uint32_t n = 0;
        const uint8_t* types = SensorTypes(g_PageEdit.values[0] == 1 ? 1 : 0, &n);
        CopyText(kGroupSensorTypes, types[Clamp(static_cast<int32_t>(index), n)], out);
    } else if (page == kParamPageTempSource && field == 2 && index == 4) {
        CopyText(kGroupValueLabels, kTextFixed, out);
    } else if (page == kParamPageTempSource && field == 2) {
        CopyText(kGroupTempSource, index, out);
    } else if (group < kGroupCalUnits) {
        // The choice count of a field never exceeds its group; the clamp keeps even a table
        // error inside the group.
        uint32_t size = group < kTextGroups ? g_TextGroupSizes[group] : 0;
        CopyText(group, Clamp(static_cast<int32_t>(index), size), out);
    }
}

static uint32_t FieldRow(uint32_t field) { return ParamPage_FieldRow(field); }

// Draws one field's value, blinking when asked.
static void DrawValue(uint32_t field, uint32_t blink) {
    const ParamPageDesc& d = Desc();
    uint32_t page = g_PageEdit.page;
    uint8_t group = d.choiceGroup[field];
    if (group == kNoGroup || group == kGroupCalUnits) return;
    uint32_t lang = Menu_Language();
    uint32_t row = FieldRow(field);
    uint32_t column = d.valueColumn[lang][field];
    Lcd_ClearSpan(row, column, d.valueWidth[lang][field]);
    if (group == kGroupMeasurement) {
        // The measurement is drawn by its name; the current one inverted instead of blinking.
        uint32_t list = UnitList();
        uint32_t count = Fmt_UnitListLength(list);
        uint32_t index = Clamp(g_PageEdit.values[field], count);
        Home_DrawMeasName(row, column, count ? Fmt_UnitAt(list, index) : kMeasNothingShown, blink);
        return;
    }
    char text[kTextMaxChars + 1];
    ValueText(page, field, g_PageEdit.values[field], text);
    // Never wider than the field's span, and drawn within it: a value cannot run into its
    // neighbour, nor into the leave marker after the last field of row 12.
    uint32_t cells = d.valueWidth[lang][field] / 6;
    if (cells < kTextMaxChars && std::strlen(text) > cells) text[cells] = '\0';
    Lcd_DrawFieldText(row, column, blink, text);
}

static void DrawMarker(uint32_t blink) { Lcd_DrawChannelMark(kLeaveMarkChannel, blink); }

// Draws the current field (or the marker) blinking and every other value plain.
static void DrawSelection() {
    g_BlinkField.active = 0;
    for (uint32_t f = 0; f < kParamFields; ++f) {
        if (f != g_PageEdit.field) DrawValue(f, 0);
    }
    if (g_PageEdit.page == kParamPageCalInfoUnits) ParamPage_DrawCalUnits(&g_PageEdit);
    if (g_PageEdit.field < kParamFields) {
        DrawMarker(0);
        DrawValue(g_PageEdit.field, 1);
    } else {
        DrawMarker(1);
    }
}

void ParamPage_SelectField(uint32_t field) {
    g_PageEdit.field = static_cast<uint8_t>(field < kParamFields ? field : kParamLeaveMarker);
    DrawSelection();
}

// The label text of a field in the display language; empty for none.
static uint32_t LabelText(uint32_t page, uint32_t field, char* out) {
    out[0] = '\0';
    uint8_t item = g_ParamPageTable[page].labelItem[field];
    uint32_t lang = Menu_Language();
    if (page == kParamPageCondCalType && field == 0 && g_PageQuantityAbove2 == 0) {
        return CopyText(kGroupLabels25, kTextConductivity, out);
    }
    if ((page == kParamPageMaintAlarm || page == kParamPageAdaptCalAlarm) && field == 0)
        return Text_Copy(Text_Nth(kTextSensorTimerTitles, page - kParamPageLifetimeAlarm), out);
    if (page == kParamPageSetPointRelay && field == 3 && lang >= 3)
        return CopyText(kGroupLabels23, kTextUseOcHash, out);
    if (item == kNoLabel) return 0;
    return CopyText(ParamPage_LabelGroup(page), item, out);
}

static uint32_t LabelColumn(uint32_t field) { return Desc().labelColumn[Menu_Language()][field]; }

// A digit '1' + n at a column.
static uint32_t DrawDigit(uint32_t row, uint32_t column, uint32_t n) {
    char text[2] = {static_cast<char>('1' + (n < 9 ? n : 8)), '\0'};
    return Lcd_DrawText(row, column, text);
}

// The name of a set point's measurement: the letter of its display line ("_" when off).
static void DrawSetPointLine(uint32_t row, uint32_t column) {
    uint8_t source = g_WorkSet.setPoints.source[s_SetPoint < kSetPointCount ? s_SetPoint : 0];
    Lcd_DrawTextRef(row, column, Text_Nth(kTextLineLetters, source < 4 ? source : 4));
}

// The user a "Stop OC" page asks for: the PID on its own pages, else the page that asked.
static uint32_t AskingUser(uint32_t page);

// The relay's user that a "Stop OC" page names, besides the one asking: at most the cells before
// the page's value.
static void DrawRelayUser(uint32_t page, uint32_t row, uint32_t column, uint32_t maxCells) {
    char text[kTextMaxChars + 1];
    text[0] = '\0';
    uint8_t relay = s_Relay < 2 ? s_Relay : 0;
    uint32_t user = Relay_GetOtherUser(relay, AskingUser(page));
    if (user == kRelayUserAlarm) {
        CopyText(kGroupRelayUsers, 0, text);
    } else if (user == kRelayUserCleaning) {
        CopyText(kGroupRelayUsers, 1, text);
    } else if (user == kRelayUserSetPoints) {
        uint32_t n = CopyText(kSetPointLabelGroup, kTextSp, text);
        text[n++] = static_cast<char>('1' + Relay_GetSetPointUser(relay));
        text[n] = '\0';
    } else if (user >= kRelayUserMonitorFirst) {
        CopyText(kGroupMonitorShort, (user - kRelayUserMonitorFirst) / kRelayUserMonitorStep, text);
    } else if (user == kRelayUserPid) {
        CopyText(kGroupLabels25, kTextOnPid, text);
    }
    if (std::strlen(text) > maxCells) text[maxCells] = '\0';
    Lcd_DrawText(row, column, text);
}

static void DrawLabelsAndExtras(uint32_t page) {
    uint32_t lang = Menu_Language();
    char text[kTextMaxChars + 1];
    uint32_t ends[kParamFields] = {0, 0, 0, 0};
    for (uint32_t f = 0; f < kParamFields; ++f) {
        uint32_t n = LabelText(page, f, text);
        uint32_t column = LabelColumn(f);
        if (n > 0) Lcd_DrawText(FieldRow(f), column, text);
        ends[f] = column + 6 * n;
    }
    const ParamPageDesc& d = Desc();
    switch (page) {
        case kParamPageSetPointRelay:
            if (lang < 3) Lcd_DrawText(kRowMessage, d.valueColumn[lang][3] - 6, "#");
            break;
        case kParamPageSetPointRelayOnly:
            DrawSetPointLine(kRowMessage, LabelColumn(2));
            Lcd_DrawText(kRowMessage, d.valueColumn[lang][3] - 6, "#");
            break;
        case kParamPageRelayHold:
            DrawDigit(kRowMessage, ends[2], s_Relay);
            break;
        case kParamPageOutputMeasurement:
            DrawDigit(kRowMessage, ends[2] + 6, s_Output);
            break;
        case kParamPageSetPointOfOutput:
            Lcd_DrawTextRef(kRowStatus, ends[0] + 6, Text_Nth(kTextLineLetters, s_Output < 2 ? s_Output : 0));
            DrawSetPointLine(kRowMessage, ends[2] + 6);
            break;
        case kParamPageStopRelay:
        case kParamPageStopRelayAsked:
        case kParamPageStopPidRelay:
            Lcd_DrawText(kRowStatus, ends[0] + 6, "#");
            DrawDigit(kRowStatus, ends[0] + 12, s_Relay);
            DrawRelayUser(page, kRowMessage, LabelColumn(2), d.valueColumn[lang][3] / 6 - 1);
            break;
        case kParamPageLedMode:
            Lcd_DrawText(kRowMessage, LabelColumn(2), "LED = ");
            break;
        case kParamPageProcessStress:
            CopyText(kGroupMenuSensorSetup, kTextStressAdjustment, text);
            Lcd_DrawText(kRowStatus, LabelColumn(0), text);
            break;
        default:
            break;
    }
}

// ---- Opening a page ---------------------------------------------------------------------------

uint32_t ParamPage_FirstField(const uint8_t* choiceGroups) {
    for (uint32_t f = 0; f < kParamFields; ++f) {
        if (choiceGroups[f] != kNoGroup) return f;
    }
    return 0;
}

uint32_t ParamPage_IndexOfByte(const uint8_t* array, uint32_t length, uint8_t value) {
    for (uint32_t i = 0; i < length; ++i) {
        if (array[i] == value) return i;
    }
    return length;
}

void ParamPage_SetCurrent(uint32_t page) {
    if (page >= kParamPageCount) page = 0;
    g_PageEdit.desc = &g_ParamPageTable[page];
    g_PageEdit.page = static_cast<uint8_t>(page);
}

uint32_t ParamPage_CurrentPage() { return g_PageEdit.page; }

// Page 16 puts each value on its relay at once; the periodic relay, cleaning and PID tasks leave
// the relays alone until the settings are copied again.
static void DriveTestRelays() {
    Menu_SuspendPeriodicTasks();
    for (uint32_t relay = 0; relay < kRelayCount; ++relay) {
        Relay_SetContact(relay, g_PageEdit.values[relay] == 1 ? 1 : 0);
    }
}

int32_t ParamPage_Open(uint32_t page, uint32_t mode) {
    // An id that no page carries (the table's length) opens nothing.
    if (page >= kParamPageCount) return kResultStay;
    g_DisplayMode = kKeyModeMenu;
    ParamPage_SetCurrent(page);
    g_PageEdit.field = static_cast<uint8_t>(ParamPage_FirstField(Desc().choiceGroup));
    Menu_ClearStatusRows();
    DrawLabelsAndExtras(page);
    ParamPage_LoadValues(page);
    if (page == kParamPageRelayTest) DriveTestRelays();
    if (mode == 1) g_PageEdit.field = kParamLeaveMarker;
    DrawSelection();
    if (page == kParamPageO2OptCalType && (g_ChosenMode == kCalModeTwoPoints || g_ChosenMode == kCalModeProcess)) {
        const ParamPageDesc& d = Desc();
        Lcd_ClearSpan(kRowMessage, d.valueColumn[Menu_Language()][3], d.valueWidth[Menu_Language()][3]);
    }
    return kResultStay;
}

// ---- Values and the working set ---------------------------------------------------------------

// The sensor service each reset question runs (fields 0 and 2 of pages 63, 64, 65, 70 and 84):
// 1 the CIP count, 2 the SIP count, 3 the autoclave count, 4 the time to maintenance; the
// lifetime indicator has no reset of its own in the sensor.
static constexpr uint8_t kNoReset = 255;
static const uint8_t kCounterResets[5][2] = {{kNoReset, 4}, {1, 2}, {3, kNoReset}, {kNoReset, kNoReset}, {4, 3}};

static uint8_t SetPointIndex() { return s_SetPoint < kSetPointCount ? s_SetPoint : 0; }
static uint8_t OutputIndex() { return s_Output < kAoutCount ? s_Output : 0; }

// A relay the cleaning uses reads as none on the pages that pass it over.
static int8_t RelayShown(uint8_t relay) {
    uint8_t clean = g_WorkSet.cleaning.relay;
    if (relay >= kRelayNone || (clean < kRelayNone && relay == clean)) return kRelayNone;
    return static_cast<int8_t>(relay);
}

static ParamChannelEdit& ChannelParams() { return g_WorkSet.params.channel[EditChannel()]; }

// The slots of the monitoring and cycle pages: 55 to 57 the three monitors, 58 to 60 the cycles.
static SlotMonitor& Monitor(uint32_t page) {
    return g_SlotEdit.monitor[page - kParamPageLifetimeAlarm < kMonitorRecords ? page - kParamPageLifetimeAlarm : 0];
}
static SlotCycle& Cycle(uint32_t page) {
    return g_SlotEdit.cycle[page - kParamPageCipAlarm < kCycleKinds ? page - kParamPageCipAlarm : 0];
}

void ParamPage_LoadValues(uint32_t page) {
    int8_t* v = g_PageEdit.values;
    for (uint32_t f = 0; f < kParamFields; ++f) v[f] = s_PageChoices[page < kParamPageCount ? page : 0][f];
    SettingsWorkingSet& w = g_WorkSet;
    uint8_t sp = SetPointIndex();
    uint8_t out = OutputIndex();
    uint8_t relay = s_Relay < 2 ? s_Relay : 0;
    switch (page) {
        case kParamPageSetPoint:
        case kParamPageSetPointOfOutput:
            Settings_RefreshSetPointDefaults(page == kParamPageSetPointOfOutput ? out : sp);
            if (page == kParamPageSetPointOfOutput) {
                v[3] = ToChoice(w.setPoints.type[out]);
                break;
            }
            v[0] = ToChoice(sp);
            v[1] = ToChoice(w.setPoints.source[sp] <= kSetPointSourceOff ? w.setPoints.source[sp] : kSetPointSourceOff);
            v[3] = ToChoice(w.setPoints.type[sp]);
            break;
        case kParamPageSetPointRelay:
        case kParamPageSetPointRelayOnly:
            v[0] = ToChoice(sp);
            v[1] = ToChoice(w.setPoints.rangeAction[sp]);
            v[3] = RelayShown(w.setPoints.relay[sp]);
            // The cleaning's relay is not the set point's: the set point has none.
            w.setPoints.relay[sp] = static_cast<uint8_t>(v[3]);
            break;
        case kParamPageRelayHold:
            v[0] = ToChoice(w.relays.holdBehaviour[relay]);
            v[3] = ToChoice(w.relays.sense[relay]);
            break;
        case kParamPageDisplayLines:
            for (uint32_t f = 0; f < 4; ++f) v[f] = ToChoice(w.channel.lines.lineSlot[f]);
            break;
        case kParamPageErrorDisplay:
            v[2] = ToChoice(g_SystemEdit.errorDisplay);
            break;
        case kParamPageResolution:
            for (uint32_t f = 0; f < 4; ++f)
                v[f] = ToChoice(w.channel.lines.resolution[f] < 4 ? w.channel.lines.resolution[f] : 4);
            break;
        case kParamPageAveragingAb:
        case kParamPageAveragingCd:
            v[1] = ToChoice(w.params.filterMode[page == kParamPageAveragingAb ? 0 : 2]);
            v[3] = ToChoice(w.params.filterMode[page == kParamPageAveragingAb ? 1 : 3]);
            break;
        case kParamPageCompAb:
        case kParamPageCompCd:
            v[1] = ToChoice(w.params.compMode[page == kParamPageCompAb ? 0 : 2]);
            v[3] = ToChoice(w.params.compMode[page == kParamPageCompAb ? 1 : 3]);
            break;
        case kParamPageTempSource:
            v[2] = ToChoice(ChannelParams().tempSource);
            break;
        case kParamPageDriftControl:
            v[1] = ToChoice(w.params.channel[0].driftControl);
            v[3] = ToChoice(w.params.channel[1].driftControl);
            break;
        case kParamPagePhBuffers:
            v[0] = ToChoice(ChannelParams().driftControl);
            v[3] = ToChoice(ChannelParams().bufferSet);
            break;
        case kParamPageCo2Buffers:
            v[0] = ToChoice(ChannelParams().driftControl);
            v[3] = ToChoice(ChannelParams().bufferSet);
            break;
        case kParamPageLanguage:
            v[0] = ToChoice(g_SystemEdit.language);
            break;
        case kParamPageCleanRelay:
            v[0] = ToChoice(w.cleaning.relay);
            v[2] = ToChoice(w.relays.sense[w.cleaning.relay < 2 ? w.cleaning.relay : 0]);
            break;
        case kParamPageRelayContact:
            v[2] = ToChoice(w.relays.sense[relay]);
            break;
        case kParamPageAlarmClean:
            v[0] = ToChoice(s_Setup);
            v[2] = s_Setup == 0 ? RelayShown(w.alarm.relay) : ToChoice(w.cleaning.relay);
            break;
        case kParamPageAlarmCauses:
            v[2] = ToChoice(s_Cause);
            v[3] = (w.alarm.disableMask >> s_Cause) & 1 ? kChoiceNo : kChoiceYes;
            break;
        case kParamPageHoldInputs:
            v[0] = g_SystemEdit.holdOnChange ? kChoiceYes : kChoiceNo;
            v[2] = ToChoice(s_Input);
            v[3] = ToChoice(g_SystemEdit.digitalInputHold[s_Input < 2 ? s_Input : 0]);
            break;
        case kParamPageCalUnlock:
            v[0] = ToChoice(g_SystemEdit.calUnlock);
            break;
        case kParamPageOutputMeasurement:
            v[0] = ToChoice(out);
            v[1] = ToChoice(out);
            v[3] = 1;  // the outputs run from 4 to 20 mA
            break;
        case kParamPageOutputAlarm:
            v[0] = ToChoice(out);
            v[1] = ToChoice(w.outputs.alarmEnable[out]);
            v[2] = ToChoice(w.outputs.alarmLevel[out]);
            break;
        case kParamPageOrpCalType:
        case kParamPagePhCalType:
        case kParamPageTempCalType:
        case kParamPageCondCalType:
        case kParamPageO2CalType:
        case kParamPageO3CalType:
        case kParamPageO2OptCalType:
        case kParamPageCo2CalType:
        case kParamPageCalType:
            v[2] = ToChoice(g_ChosenMode);
            v[3] = ToChoice(g_ChosenOption);
            break;
        case kParamPageOutputHold:
            v[0] = ToChoice(out);
            v[2] = ToChoice(w.outputs.holdMode[out]);
            break;
        case kParamPageSensorTypes:
            v[1] = ToChoice(w.channel.kind[0]);
            v[3] = ToChoice(w.channel.kind[1]);
            break;
        case kParamPageOutputOfSetPoint:
            v[0] = ToChoice(out);
            v[1] = ToChoice(Fmt_UnitIndexInList(UnitList(), w.channel.lines.kind[out]));
            break;
        case kParamPageLocksCalKey:
        case kParamPageLocksConfig:
        case kParamPageLocksPidService: {
            uint32_t first = 2 * (page - kParamPageLocksCalKey);
            v[0] = g_SystemEdit.sectionLock[first] == 1 ? kChoiceYes : kChoiceNo;
            v[2] = g_SystemEdit.sectionLock[first + 1] == 1 ? kChoiceYes : kChoiceNo;
            break;
        }
        case kParamPageBacklight:
            v[2] = ToChoice(g_SystemEdit.displayFlag);
            break;
        case kParamPagePidDisplay:
            v[2] = ToChoice(w.pid.displayChoice);
            break;
        case kParamPagePidMode:
        case kParamPagePidMode2:
            v[0] = 0;
            v[1] = ToChoice(w.pid.pulseType);
            v[2] = ToChoice(w.pid.relayPositive);
            v[3] = ToChoice(w.pid.relayNegative);
            break;
        case kParamPageCalComp:
            v[2] = ToChoice(CalCond_GetRefTempMode(EditChannel()));
            break;
        case kParamPagePidHoldRelays:
        case kParamPagePidHoldOutput:
            v[2] = ToChoice(w.pidHold[page - kParamPagePidHoldRelays]);
            break;
        case kParamPageLifetimeAlarm:
        case kParamPageMaintAlarm:
        case kParamPageAdaptCalAlarm:
            v[0] = ToChoice(Monitor(page).off);
            v[2] = ToChoice(Monitor(page).messageOnly);
            v[3] = RelayShown(Monitor(page).output);
            break;
        case kParamPageCipAlarm:
        case kParamPageSipAlarm:
        case kParamPageAutoclaveAlarm:
            v[2] = ToChoice(Cycle(page).messageOnly);
            v[3] = RelayShown(Cycle(page).output);
            break;
        case kParamPageChannelSelect: {
            uint8_t channel = EditChannel();
            v[0] = ToChoice(channel);
            uint32_t n = 0;
            const uint8_t* types = SensorTypes(channel, &n);
            uint32_t index = ParamPage_IndexOfByte(types, n, w.channel.kind[channel]);
            v[2] = ToChoice(index < n ? index : 0);
            break;
        }
        case kParamPageProcCalPressure:
        case kParamPageO2ProcCalPressure:
            v[3] = ToChoice(Settings_GetEditParam28(EditChannel()));
            break;
        case kParamPageCalInfoUnits:
            v[1] = ToChoice(Settings_GetSlopeUnit(0));
            v[3] = ToChoice(Settings_GetOffsetUnit(0));
            break;
        case kParamPageLedMode:
            v[2] = ToChoice(Settings_GetEditLedMode());
            break;
        case kParamPageLedControl:
            v[2] = ToChoice(w.params.sensorFlag);
            break;
        case kParamPageProcCalPressureDrift:
            v[0] = ToChoice(Settings_GetEditParam28(EditChannel()));
            v[3] = ToChoice(ChannelParams().driftControl);
            break;
        case kParamPageProcCalMode:
        case kParamPageO2ProcCalMode:
            v[3] = ToChoice(g_SensorEdit.procCalMode);
            break;
        case kParamPageProcessStress:
            // The first choice ("None") is never offered: the setting counts from "Low".
            v[3] = ToChoice(g_SensorEdit.processStress + 1u);
            break;
        case kParamPageManualHold:
            v[3] = ToChoice(g_SystemEdit.manualHold);
            break;
        case kParamPageStopRelay:
        case kParamPageStopRelayAsked:
            // Each question starts on "No": a relay changes hands only by a "Yes".
            v[3] = kChoiceNo;
            break;
        default:
            break;
    }
    // A stored value outside its choices is shown and kept as the nearest choice.
    for (uint32_t f = 0; f < kParamFields; ++f) {
        if (g_ParamPageTable[page].choiceGroup[f] != kNoGroup) {
            v[f] = static_cast<int8_t>(Clamp(v[f], ChoiceCount(page, f)));
        }
    }
}

static uint8_t Byte(int8_t value) { return static_cast<uint8_t>(value < 0 ? 0 : value); }

// While power failures are watched, the alarm relay's contact opens on an alarm, so that a power
// loss reads as one: the relay's contact setting is 1 whichever relay serves as alarm relay.
static void FixAlarmContact() {
    SettingsWorkingSet& w = g_WorkSet;
    if ((w.alarm.disableMask & 1) == 0 && w.alarm.relay < kRelayNone) {
        w.relays.sense[w.alarm.relay] = kRelayNormallyClosed;
    }
}

void ParamPage_ApplyValues(const PageEditState* state) {
    uint32_t page = state->page;
    const int8_t* v = state->values;
    SettingsWorkingSet& w = g_WorkSet;
    uint8_t sp = SetPointIndex();
    uint8_t out = OutputIndex();
    uint8_t relay = s_Relay < 2 ? s_Relay : 0;
    if (page < kParamPageCount) {
        for (uint32_t f = 0; f < kParamFields; ++f) s_PageChoices[page][f] = v[f];
    }
    switch (page) {
        case kParamPageSetPoint: {
            w.setPoints.source[sp] = Byte(v[1]) <= kSetPointSourceOff ? Byte(v[1]) : kSetPointSourceOff;
            w.setPoints.type[sp] = Byte(v[3]);
            Settings_RefreshSetPointDefaults(sp);
            break;
        }
        case kParamPageSetPointRelay:
            w.setPoints.rangeAction[sp] = Byte(v[1]);
            w.setPoints.relay[sp] = RelayOrNone(v[3]);
            break;
        case kParamPageSetPointRelayOnly:
            w.setPoints.relay[sp] = RelayOrNone(v[3]);
            break;
        case kParamPageSetPointOfOutput:
            w.setPoints.type[out] = Byte(v[3]);
            if (v[1] == kChoiceYes && w.setPoints.type[out] != kSetPointOff) w.setPoints.source[out] = out;
            Settings_RefreshSetPointDefaults(out);
            break;
        case kParamPageRelayHold:
            w.relays.holdBehaviour[relay] = Byte(v[0]);
            w.relays.sense[relay] = Byte(v[3]);
            break;
        case kParamPageRelayContact:
            w.relays.sense[relay] = Byte(v[2]);
            break;
        case kParamPageCleanRelay:
            w.cleaning.relay = RelayOrNone(v[0]);
            if (w.cleaning.relay < kRelayNone) w.relays.sense[w.cleaning.relay] = Byte(v[2]);
            break;
        case kParamPageAlarmClean:
            if (s_Setup == 0) {
                w.alarm.relay = RelayOrNone(v[2]);
                FixAlarmContact();
            } else {
                w.cleaning.relay = RelayOrNone(v[2]);
            }
            break;
        case kParamPageAlarmCauses: {
            uint32_t bit = 1u << (s_Cause < 32 ? s_Cause : 0);
            if (v[3] == kChoiceYes) {
                w.alarm.disableMask &= ~bit;
            } else {
                w.alarm.disableMask |= bit;
            }
            FixAlarmContact();
            break;
        }
        case kParamPageDisplayLines:
            for (uint32_t f = 0; f < 4; ++f) w.channel.lines.lineSlot[f] = Byte(v[f]);
            break;
        case kParamPageOutputOfSetPoint:
            if (Fmt_UnitListLength(UnitList()) > 0) {
                w.channel.lines.kind[out] = Fmt_UnitAt(UnitList(), Byte(v[1]));
                w.channel.lines.channel[out] = EditChannel();
            }
            break;
        case kParamPageChannelSelect: {
            uint8_t channel = v[0] == 1 ? 1 : 0;
            w.channel.currentChannel = channel;
            uint32_t n = 0;
            const uint8_t* types = SensorTypes(channel, &n);
            uint8_t kind = types[Clamp(v[2], n)];
            if (kind != w.channel.kind[channel]) Chan_ResetForSensorKind(channel, kind);
            break;
        }
        case kParamPageSensorTypes:
            w.channel.kind[0] = Byte(v[1]);
            w.channel.kind[1] = Byte(v[3]);
            break;
        case kParamPageOutputAlarm:
            w.outputs.alarmEnable[out] = Byte(v[1]);
            w.outputs.alarmLevel[out] = Byte(v[2]);
            break;
        case kParamPageOutputHold:
            w.outputs.holdMode[out] = Byte(v[2]);
            break;
        case kParamPagePidDisplay:
            w.pid.displayChoice = Byte(v[2]);
            break;
        case kParamPagePidMode:
        case kParamPagePidMode2:
            if (page == kParamPagePidMode) w.pid.pulseType = Byte(v[1]);
            w.pid.relayPositive = RelayOrNone(v[2]);
            w.pid.relayNegative = RelayOrNone(v[3]);
            break;
        case kParamPagePidHoldRelays:
        case kParamPagePidHoldOutput:
            w.pidHold[page - kParamPagePidHoldRelays] = Byte(v[2]);
            break;
        case kParamPageErrorDisplay:
            g_SystemEdit.errorDisplay = Byte(v[2]);
            break;
        case kParamPageLanguage:
            g_SystemEdit.language = Byte(v[0]);
            break;
        case kParamPageHoldInputs:
            g_SystemEdit.holdOnChange = v[0] == kChoiceYes ? 1 : 0;
            g_SystemEdit.digitalInputHold[s_Input < 2 ? s_Input : 0] = Byte(v[3]);
            break;
        case kParamPageCalUnlock:
            g_SystemEdit.calUnlock = Byte(v[0]);
            break;
        case kParamPageLocksCalKey:
        case kParamPageLocksConfig:
        case kParamPageLocksPidService: {
            uint32_t first = 2 * (page - kParamPageLocksCalKey);
            g_SystemEdit.sectionLock[first] = v[0] == kChoiceYes ? 1 : 0;
            g_SystemEdit.sectionLock[first + 1] = v[2] == kChoiceYes ? 1 : 0;
            break;
        }
        case kParamPageBacklight:
            g_SystemEdit.displayFlag = Byte(v[2]);
            break;
        case kParamPageResolution:
            for (uint32_t f = 0; f < 4; ++f) w.channel.lines.resolution[f] = Byte(v[f]);
            break;
        case kParamPageAveragingAb:
        case kParamPageAveragingCd:
            w.params.filterMode[page == kParamPageAveragingAb ? 0 : 2] = Byte(v[1]);
            w.params.filterMode[page == kParamPageAveragingAb ? 1 : 3] = Byte(v[3]);
            break;
        case kParamPageCompAb:
        case kParamPageCompCd:
            w.params.compMode[page == kParamPageCompAb ? 0 : 2] = Byte(v[1]);
            w.params.compMode[page == kParamPageCompAb ? 1 : 3] = Byte(v[3]);
            break;
        case kParamPageTempSource:
            ChannelParams().tempSource = Byte(v[2]);
            break;
        case kParamPageDriftControl:
            w.params.channel[0].driftControl = Byte(v[1]);
            w.params.channel[1].driftControl = Byte(v[3]);
            break;
        case kParamPagePhBuffers:
        case kParamPageCo2Buffers:
            ChannelParams().driftControl = Byte(v[0]);
            ChannelParams().bufferSet = Byte(v[3]);
            break;
        case kParamPageLifetimeAlarm:
        case kParamPageMaintAlarm:
        case kParamPageAdaptCalAlarm:
            Monitor(page).off = Byte(v[0]);
            Monitor(page).messageOnly = Byte(v[2]);
            Monitor(page).output = RelayOrNone(v[3]);
            break;
        case kParamPageCipAlarm:
        case kParamPageSipAlarm:
        case kParamPageAutoclaveAlarm:
            Cycle(page).messageOnly = Byte(v[2]);
            Cycle(page).output = RelayOrNone(v[3]);
            break;
        case kParamPageResetMaint:
        case kParamPageResetCipSip:
        case kParamPageResetAutoclaveLifetime:
        case kParamPageResetLifetime:
        case kParamPageResetMaintAutoclave:
            // "Yes" resets the sensor's counter or timer at once.
            for (uint32_t f = 0; f < kParamFields; f += 2) {
                uint8_t action = kCounterResets[page == kParamPageResetMaint               ? 0
                                                : page == kParamPageResetCipSip            ? 1
                                                : page == kParamPageResetAutoclaveLifetime ? 2
                                                : page == kParamPageResetLifetime          ? 3
                                                                                           : 4][f / 2];
                if (action != kNoReset && v[f] == kChoiceYes && state->desc->choiceGroup[f] != kNoGroup) {
                    Meas_RunSensorService(1, action);
                }
            }
            break;
        case kParamPageOrpCalType:
        case kParamPagePhCalType:
        case kParamPageCondCalType:
        case kParamPageO2OptCalType:
        case kParamPageCo2CalType:
        case kParamPageCalType:
            g_ChosenMode = Byte(v[2]);
            break;
        case kParamPageTempCalType:
            g_ChosenMode = Byte(v[2]);
            g_ChosenOption = Byte(v[3]);
            break;
        case kParamPageO2CalType:
            g_ChosenMode = Byte(v[2]);
            g_ChosenOption = Byte(v[3]);
            break;
        case kParamPageO3CalType:
            g_ChosenOption = Byte(v[3]);
            break;
        case kParamPageCalComp:
            CalCond_SetRefTempMode(EditChannel(), Byte(v[2]));
            break;
        case kParamPageCalInfoUnits:
            Settings_SetSlopeUnit(0, Byte(v[1]));
            Settings_SetOffsetUnit(0, Byte(v[3]));
            break;
        case kParamPageProcCalPressure:
        case kParamPageO2ProcCalPressure:
            Settings_SetEditParam28(EditChannel(), Byte(v[3]));
            break;
        case kParamPageLedMode:
            Settings_SetEditLedMode(Byte(v[2]));
            break;
        case kParamPageLedControl:
            w.params.sensorFlag = Byte(v[2]);
            break;
        case kParamPageProcCalPressureDrift:
            Settings_SetEditParam28(EditChannel(), Byte(v[0]));
            ChannelParams().driftControl = Byte(v[3]);
            break;
        case kParamPageProcCalMode:
        case kParamPageO2ProcCalMode:
            g_SensorEdit.procCalMode = Byte(v[3]);
            break;
        case kParamPageProcessStress:
            g_SensorEdit.processStress = static_cast<uint8_t>(v[3] > 1 ? v[3] - 1 : kProcessStressLow);
            break;
        case kParamPageManualHold:
            g_SystemEdit.manualHold = Byte(v[3]);
            break;
        default:
            break;
    }
}

// ---- Keys -------------------------------------------------------------------------------------

uint32_t ParamPage_IsCleanRelay(const PageEditState* state) {
    uint8_t clean = g_WorkSet.cleaning.relay;
    if (clean >= kRelayNone) return 0;
    uint32_t page = state->page;
    uint32_t field = state->field;
    bool asks = ((page == kParamPageSetPointRelay || page == kParamPageSetPointRelayOnly) && field == 3) ||
                (page == kParamPageAlarmClean && field == 2 && s_Setup == 0) ||
                (page >= kParamPageLifetimeAlarm && page <= kParamPageAutoclaveAlarm && field == 3);
    return asks && state->values[field] == static_cast<int8_t>(clean) ? 1 : 0;
}

uint32_t ParamPage_ReleasePidRelay(uint8_t relay) {
    uint32_t released = 0;
    if (relay >= kRelayNone) return 0;
    if (g_WorkSet.pid.relayPositive == relay) {
        g_WorkSet.pid.relayPositive = kRelayNone;
        released = 1;
    }
    if (g_WorkSet.pid.relayNegative == relay) {
        g_WorkSet.pid.relayNegative = kRelayNone;
        released = 1;
    }
    return released;
}

uint32_t ParamPage_AnyLinearComp() {
    for (uint32_t slot = 0; slot < kParamSlots; ++slot) {
        uint8_t mode = g_WorkSet.params.compMode[slot];
        if (mode == 1 || mode == 2) return 1;
    }
    return 0;
}

void ParamPage_DrawCalUnits(const PageEditState* state) {
    const ParamPageDesc& d = *state->desc;
    uint32_t lang = Menu_Language();
    Lcd_ClearSpan(kRowStatus, d.valueColumn[lang][1], d.valueWidth[lang][1]);
    Lcd_ClearSpan(kRowMessage, d.valueColumn[lang][3], d.valueWidth[lang][3]);
    bool slopeCurrent = state->field == 1;
    bool offsetCurrent = state->field != 1 && state->field < kParamFields;
    Lcd_DrawTextMode(kRowStatus, d.valueColumn[lang][1], slopeCurrent ? 1 : 0, state->values[1] ? "[mV/pH]" : "[%]");
    Lcd_DrawTextMode(kRowMessage, d.valueColumn[lang][3], offsetCurrent ? 1 : 0, state->values[3] ? "[mV]" : "[pH]");
}

// The fields with a choice group, in order.
static bool Selectable(const PageEditState* s, uint32_t field) {
    return field < kParamFields && s->desc->choiceGroup[field] != kNoGroup;
}

static uint32_t LastField(const PageEditState* s) {
    for (uint32_t f = kParamFields; f-- > 0;) {
        if (Selectable(s, f)) return f;
    }
    return kParamLeaveMarker;
}

static void MoveField(PageEditState* s, bool forward) {
    uint32_t page = s->page;
    uint32_t first = ParamPage_FirstField(s->desc->choiceGroup);
    bool none = !Selectable(s, first);
    uint32_t field = s->field;
    if (none) {
        field = kParamLeaveMarker;
    } else if (page == kParamPagePhBuffers && EditKind(EditChannel()) == kKindPhPna) {
        // The pNa electrode has its one buffer set: only the drift control and the marker.
        field = field == kParamLeaveMarker ? 0 : kParamLeaveMarker;
    } else if (forward) {
        if (field >= kParamLeaveMarker) {
            field = first;
        } else {
            uint32_t next = field + 1;
            while (next < kParamFields && !Selectable(s, next)) ++next;
            // Past the last field comes the leave marker.
            field = next < kParamFields ? next : kParamLeaveMarker;
            if (page == kParamPageTempCalType && field == 3 && s->values[2] == 1) field = kParamLeaveMarker;
        }
    } else {
        if (field >= kParamLeaveMarker) {
            field = LastField(s);
            if (page == kParamPageTempCalType && field == 3 && s->values[2] == 1) field = 2;
        } else if (field <= first) {
            field = kParamLeaveMarker;
        } else {
            uint32_t previous = field;
            do {
                --previous;
            } while (previous > first && !Selectable(s, previous));
            field = previous;
        }
    }
    s->field = static_cast<uint8_t>(field);
}

// The next choice of a field, with the page's exceptions; the value stays where a field does not
// move.
static int32_t StepValue(PageEditState* s, int32_t direction) {
    uint32_t page = s->page;
    uint32_t field = s->field;
    int32_t value = s->values[field];
    int32_t count = static_cast<int32_t>(ChoiceCount(page, field));
    int32_t first = 0;
    int32_t last = count - 1;
    if (page == kParamPageProcessStress && field == 3) first = 1;  // "None" is never offered
    if ((page == kParamPageOrpCalType || page == kParamPageO2CalType) && field == 2) return value == 0 ? 2 : 0;
    if (page == kParamPageCo2Buffers && field == 3) {
        // The CO2 electrode mirrors the buffer set: 8 - value, kept within the sets.
        return static_cast<int32_t>(Clamp(8 - value, static_cast<uint32_t>(count)));
    }
    for (int32_t tries = 0; tries <= count; ++tries) {
        value += direction;
        if (value > last) value = first;
        if (value < first) value = last;
        s->values[field] = static_cast<int8_t>(value);
        bool skip = false;
        if (ParamPage_IsCleanRelay(s)) skip = true;
        if (page == kParamPageAlarmCauses && field == 2 &&
            !CauseFits(static_cast<uint32_t>(value), EditKind(EditChannel())))
            skip = true;
        if (page == kParamPageOutputOfSetPoint && field == 1) {
            uint32_t list = UnitList();
            if (Chan_IsKindSpecialOnA(EditChannel(), Fmt_UnitAt(list, static_cast<uint32_t>(value)))) skip = true;
        }
        if (page == kParamPageO2OptCalType && field == 2 && value == 0 && Meas_IsSensorMode2(1)) skip = true;
        if (!skip) break;
    }
    return value;
}

static bool FieldFixed(const PageEditState* s) {
    uint32_t page = s->page;
    uint32_t field = s->field;
    if (page == kParamPageOutputMeasurement && (field == 1 || field == 3)) return true;
    if (page == kParamPageOutputOfSetPoint && field == 3) return true;
    if (page == kParamPageRelayHold && s_Relay == g_WorkSet.alarm.relay) {
        if (field == 0) return true;
        if (field == 3 && (g_WorkSet.alarm.disableMask & 1) == 0) return true;
    }
    return false;
}

// The selector fields: before they move, the page's values go to the working set, and the page
// then shows the newly selected item.
static bool IsSelector(uint32_t page, uint32_t field) {
    if (field == 0) {
        return page == kParamPageSetPoint || page == kParamPageRelayContact || page == kParamPageAlarmClean ||
               page == kParamPageOutputMeasurement || page == kParamPageSetPointRelay ||
               page == kParamPageOutputOfSetPoint || page == kParamPageOutputHold || page == kParamPageOutputAlarm ||
               page == kParamPageChannelSelect;
    }
    return field == 2 && (page == kParamPageAlarmCauses || page == kParamPageRelayHold ||
                          page == kParamPageHoldInputs || page == kParamPageSensorMonitoring);
}

static void SelectItem(uint32_t page, int32_t value) {
    uint8_t v = static_cast<uint8_t>(value < 0 ? 0 : value);
    switch (page) {
        case kParamPageSetPoint:
        case kParamPageSetPointRelay:
            s_SetPoint = v < kSetPointCount ? v : 0;
            break;
        case kParamPageAlarmClean:
            s_Setup = v < 2 ? v : 0;
            break;
        case kParamPageOutputMeasurement:
        case kParamPageOutputAlarm:
        case kParamPageOutputHold:
        case kParamPageOutputOfSetPoint:
            s_Output = v < kAoutCount ? v : 0;
            break;
        case kParamPageAlarmCauses:
            s_Cause = v;
            break;
        case kParamPageHoldInputs:
            s_Input = v < 2 ? v : 0;
            break;
        default:
            break;
    }
}

int32_t ParamPage_EditKey(uint32_t event, PageEditState* s) {
    switch (event) {
        case kEventLeft:
        case kEventRight: {
            uint32_t old = s->field;
            MoveField(s, event == kEventRight);
            if (old < kParamFields) DrawValue(old, 0);
            DrawSelection();
            return kResultStay;
        }
        case kEventUp:
        case kEventUpRepeat:
        case kEventDown:
        case kEventDownRepeat: {
            if (s->field >= kParamFields || FieldFixed(s)) return kResultStay;
            uint32_t page = s->page;
            uint32_t field = s->field;
            int32_t direction = event == kEventUp || event == kEventUpRepeat ? 1 : -1;
            if (IsSelector(page, field)) {
                if (page == kParamPageChannelSelect) {
                    // A new channel type: its settings start from the type's defaults.
                    int32_t value = StepValue(s, direction);
                    s->values[field] = static_cast<int8_t>(value);
                    uint8_t channel = value == 1 ? 1 : 0;
                    g_WorkSet.channel.currentChannel = channel;
                    Chan_ResetForSensorKind(channel, g_WorkSet.channel.kind[channel]);
                    ParamPage_Open(page, 0);
                    return kResultStay;
                }
                ParamPage_ApplyValues(s);
                int32_t value = StepValue(s, direction);
                SelectItem(page, value);
                if (page == kParamPageSetPointRelay || page == kParamPageOutputMeasurement ||
                    page == kParamPageOutputHold) {
                    // The page stays and shows the values of the newly selected item.
                    ParamPage_LoadValues(page);
                    s->values[field] = static_cast<int8_t>(value);
                    s->field = static_cast<uint8_t>(field);
                    DrawSelection();
                } else {
                    ParamPage_Open(page, 0);
                    g_PageEdit.field = static_cast<uint8_t>(field);
                    DrawSelection();
                }
                return kResultStay;
            }
            int32_t value = StepValue(s, direction);
            s->values[field] = static_cast<int8_t>(value);
            // The pages that choose a relay make it the one the following pages show. Page 3 shows
            // a relay chosen before it; its field 3 is that relay's contact.
            if (page == kParamPageCleanRelay || page == kParamPageAlarmClean || page == kParamPageSetPointRelay ||
                page == kParamPageSetPointRelayOnly ||
                (page >= kParamPageLifetimeAlarm && page <= kParamPageAutoclaveAlarm)) {
                if (field == 3 || (page == kParamPageCleanRelay && field == 0) ||
                    (page == kParamPageAlarmClean && field == 2)) {
                    if (value >= 0 && value < 2) s_Relay = static_cast<uint8_t>(value);
                }
            }
            if (page == kParamPageRelayTest) DriveTestRelays();
            if (page == kParamPageChannelSelect || page == kParamPageOutputOfSetPoint) {
                DrawSelection();
            } else {
                DrawValue(field, 1);
            }
            if (page == kParamPageCalInfoUnits) ParamPage_DrawCalUnits(s);
            return kResultStay;
        }
        case kEventEnter:
            return s->field >= kParamFields ? 0 : 2;
        default:
            return kResultStay;
    }
}

// ---- ENTER and what follows -------------------------------------------------------------------

// An action or event id as the result of a key.
static int32_t Act(uint32_t id) { return static_cast<int32_t>(id); }

static constexpr int32_t kPagePrevious = 4089;
static constexpr int32_t kPageNext = 4090;
static constexpr int32_t kResetQuestion = 4099;
static constexpr int32_t kResetSystem = 4100;
static constexpr int32_t kResetSensorCal = 4208;
static constexpr int32_t kStopRelayPage = static_cast<int32_t>(kActionStopRelayAskedPage);
static constexpr int32_t kAnalogOutputPage = 4169;
static constexpr int32_t kChannelPageMarker = 4170;
static constexpr int32_t kCounterResetPage = 4182;

// The relay a page asks for has another user than the one that asks.
static bool RelayClashes(uint8_t relay, uint32_t own) {
    return relay < kRelayNone && Relay_GetOtherUser(relay, own) != kRelayUserNone;
}

static uint32_t OwnUsage(uint32_t page) {
    if (page == kParamPageSetPointRelay || page == kParamPageSetPointRelayOnly) return kRelayUserSetPoints;
    if (page == kParamPageAlarmClean) return s_Setup == 0 ? kRelayUserAlarm : kRelayUserCleaning;
    if (page >= kParamPageLifetimeAlarm && page <= kParamPageAutoclaveAlarm) {
        return kRelayUserMonitorFirst + kRelayUserMonitorStep * (page - kParamPageLifetimeAlarm);
    }
    return kRelayUserNone;
}

static uint32_t AskingUser(uint32_t page) {
    if (page == kParamPageStopRelay || page == kParamPageStopPidRelay) return kRelayUserPid;
    return OwnUsage(g_ValuePageMode);
}

// The answer to "Stop OC": "Yes" takes the relay from its other users for the one that asked,
// "No" leaves it with them and the one that asked without it.
static void AnswerStopRelay(uint32_t page, bool yes) {
    uint8_t relay = s_Relay < 2 ? s_Relay : 0;
    uint32_t asking = AskingUser(page);
    if (yes) {
        Relay_TakeFromOthers(relay, asking);
        return;
    }
    SettingsWorkingSet& w = g_WorkSet;
    uint32_t asker = page == kParamPageStopRelayAsked ? g_ValuePageMode : page;
    if (asking == kRelayUserPid) {
        ParamPage_ReleasePidRelay(relay);
    } else if (asking == kRelayUserSetPoints) {
        if (w.setPoints.relay[SetPointIndex()] == relay) w.setPoints.relay[SetPointIndex()] = kRelayNone;
    } else if (asking == kRelayUserAlarm) {
        if (w.alarm.relay == relay) w.alarm.relay = kAlarmRelayNone;
    } else if (asking == kRelayUserCleaning) {
        if (w.cleaning.relay == relay) w.cleaning.relay = kRelayNone;
    } else if (asker >= kParamPageLifetimeAlarm && asker <= kParamPageAdaptCalAlarm) {
        if (Monitor(asker).output == relay) Monitor(asker).output = kRelayNone;
    } else if (asker >= kParamPageCipAlarm && asker <= kParamPageAutoclaveAlarm) {
        if (Cycle(asker).output == relay) Cycle(asker).output = kRelayNone;
    }
}

// The relay chosen on a page that may clash.
static uint8_t ChosenRelay(uint32_t page) {
    const int8_t* v = g_PageEdit.values;
    if (page == kParamPageAlarmClean) return RelayOrNone(v[2]);
    return RelayOrNone(v[3]);
}

uint32_t ParamPage_AskStopRelay(uint32_t page, uint32_t where) {
    uint8_t relay = ChosenRelay(page);
    if (!RelayClashes(relay, OwnUsage(page))) return 0;
    s_Relay = relay;
    g_ValuePageMode = static_cast<uint8_t>(page);
    g_PageCursor = where == 0 ? kPageCursorMarker : kPageCursorField;
    return 1;
}

// The value page that the screen below shows when this one steps back (4085), or that the
// engine opens next.
static void MakeValuePageCurrent(uint32_t id) { g_PendingMenuItem = id; }

int32_t ParamPage_NextOnEnter(uint32_t page, uint32_t where) {
    bool marker = where == 0;
    const int8_t* v = g_PageEdit.values;
    uint8_t channel = Menu_CurrentChannel();
    switch (page) {
        case kParamPageErrorDisplay:
        case kParamPageAveragingCd:
        case kParamPageCompCd:
        case kParamPageAlarmCauses:
        case kParamPageOutputAlarm:
        case kParamPageLocksConfig:
        case kParamPageLocksPidService:
        case kParamPageResetAutoclaveLifetime:
            if (marker) return kPagePrevious;
            if (page == kParamPageCompCd) return ParamPage_AnyLinearComp() ? Act(kActionLinComp) : kActionAskSave;
            if (page == kParamPageAlarmCauses)
                return g_WorkSet.alarm.relay < kRelayNone ? Act(kActionAlarmRelayPage) : Act(kActionAskSave);
            if (page == kParamPageOutputAlarm) return Act(kActionOutputRangePage);
            if (page == kParamPageLocksConfig) return kPageNext;
            return kActionAskSave;
        case kParamPageResetCipSip:
            if (marker) return channel == 1 && ActiveKind(1) == kKindO2Optical ? kActionBackToFirst : kPagePrevious;
            return ActiveKind(1) == kKindCo2 ? Act(kActionAskSave) : kPageNext;
        case kParamPageResetLifetime:
            if (marker) return (SensDiag_GetCycleAlarmEnable() & 0x40) ? kCounterResetPage : kActionBackToFirst;
            return kActionAskSave;
        case kParamPageRelayHold:
        case kParamPageRelayContact:
        case kParamPageLocksCalKey:
            if (marker) return kActionBack;
            return page == kParamPageLocksCalKey ? kPageNext : Act(kActionAskSave);
        case kParamPageOrpCalType:
        case kParamPagePhCalType:
        case kParamPageO2CalType:
        case kParamPageO3CalType:
        case kParamPageO2OptCalType:
        case kParamPageCo2CalType:
        case kParamPageCalType: {
            if (marker) return kActionBack;
            int32_t result;
            if (g_ChosenMode == kCalModeProcess) {
                result = page == kParamPageO2OptCalType ? Act(kActionO2ProcCalModePage)
                         : page == kParamPageO2CalType  ? Act(kActionO2ProcCalPressurePage)
                                                        : Act(kActionEditPosition);
            } else if (page == kParamPageO2OptCalType) {
                result = g_ChosenMode == kCalModeTwoPoints ? Act(kActionFenlidCalPage) : Act(kActionO2ConditionsPage);
                if (g_ChosenMode != kCalModeTwoPoints) MakeValuePageCurrent(kActionO2ConditionsPage);
            } else if (page == kParamPageO2CalType) {
                MakeValuePageCurrent(kActionO2ConditionsPage);
                result = Act(kActionO2ConditionsPage);
            } else {
                result = Act(kActionList);
            }
            uint32_t position = g_MenuPosition;
            if (Menu_ChannelOfPosition(position) == 0 && g_ChannelKind[0] == kKindPh &&
                g_ChosenMode != kCalModeProcess && g_WorkSet.params.channel[0].tempSource == 4) {
                MakeValuePageCurrent(kActionCalTemperaturePage);
                result = Act(kActionCalTemperaturePage);
            }
            return result;
        }
        case kParamPageTempCalType:
        case kParamPageCondCalType:
            return marker ? Act(kActionBack) : Act(kActionEditPosition);
        case kParamPageCalInfoUnits:
            return marker ? Act(kActionBack) : Act(kActionAskSave);
        case kParamPageDisplayLines:
        case kParamPageAveragingAb:
        case kParamPageCompAb:
        case kParamPageResetMaint:
        case kParamPageResetMaintAutoclave:
            if (marker) return kActionBackToFirst;
            if (page == kParamPageResetMaint) return IsO2Kind(ActiveKind(1)) ? kPageNext : Act(kActionAskSave);
            return kPageNext;
        case kParamPagePhBuffers:
            return marker ? Act(kActionBackToFirst) : Act(kActionStcPage);
        case kParamPageCo2Buffers:
            return marker ? Act(kActionBackToFirst) : Act(kActionCo2SalinityPage);
        case kParamPageReset:
            if (marker) return kActionBackToFirst;
            if (v[1] == kChoiceYes) return v[0] >= 3 ? kResetSensorCal : kResetSystem + v[0];
            return g_MenuLastNode != 0 ? Act(kActionAskSave) : kEventHome;
        case kParamPageResetSystem:
        case kParamPageResetMeterCal:
        case kParamPageResetAnalogCal:
        case kParamPageResetSensorCal:
            if (marker) return kResetQuestion;
            if (v[2] == kChoiceYes) {
                return page == kParamPageResetSensorCal
                           ? Act(kActionSensorMemoryChanged)
                           : Act(kActionFactoryDefaults) + static_cast<int32_t>(page - kParamPageResetSystem);
            }
            return kEventHome;
        case kParamPageCalUnlock:
            return marker ? Act(kActionBackOverList) : Act(kActionAskSave);
        case kParamPageSetPoint: {
            if (marker) return kActionBackToFirst;
            uint8_t type = g_WorkSet.setPoints.type[SetPointIndex()];
            if (type == kSetPointOutside || type == kSetPointBetween) return Act(kActionSetPointRangePage);
            if (type == kSetPointHigh || type == kSetPointLow) return Act(kActionSetPointValuePage);
            for (uint32_t i = 0; i < kSetPointCount; ++i) {
                if (g_WorkSet.setPoints.type[i] != kSetPointOff) return Act(kActionSetPointOffPage);
            }
            return kActionAskSave;
        }
        case kParamPageSetPointOfOutput: {
            bool link = s_PageChoices[kParamPageOutputOfSetPoint][3] == kChoiceYes;
            if (marker) {
                if (link) {
                    ParamPage_SetCurrent(kParamPageOutputOfSetPoint);
                    return kActionBack;
                }
                return kPagePrevious;
            }
            if (!link) return kActionAskSave;
            uint8_t type = g_WorkSet.setPoints.type[OutputIndex()];
            if (type == kSetPointOutside || type == kSetPointBetween) return Act(kActionSetPointRangePage);
            if (type == kSetPointHigh || type == kSetPointLow) return Act(kActionSetPointValuePage);
            return kActionAskSave;
        }
        case kParamPageSetPointRelay:
        case kParamPageSetPointRelayOnly: {
            uint8_t relay = ChosenRelay(page);
            // The relay's own page that follows shows this one.
            if (relay < kRelayNone) s_Relay = relay;
            if (RelayClashes(relay, OwnUsage(page))) return kStopRelayPage;
            if (marker) {
                uint8_t type = g_WorkSet.setPoints.type[SetPointIndex()];
                MakeValuePageCurrent(type == kSetPointOff                                   ? kActionSetPointOffPage
                                     : type == kSetPointOutside || type == kSetPointBetween ? kActionSetPointRangePage
                                                                                            : kActionSetPointValuePage);
                return kActionBack;
            }
            if (relay >= kRelayNone) return kActionAskSave;
            if (page == kParamPageSetPointRelayOnly) return kActionAskSave;
            uint8_t line = g_WorkSet.setPoints.source[SetPointIndex()];
            return Settings_IsCode11To15(Settings_EditLineCode(line)) ? Act(kActionRelayAbsolutePage)
                                                                      : Act(kActionRelayPage);
        }
        case kParamPageAlarmClean: {
            uint8_t relay = ChosenRelay(page);
            bool clash = RelayClashes(relay, OwnUsage(page));
            if (marker) return clash ? kStopRelayPage : kActionBackToFirst;
            if (clash) return kStopRelayPage;
            if (relay >= kRelayNone) return kActionAskSave;
            return s_Setup == 0 ? kPageNext : Act(kActionCleaningPage);
        }
        case kParamPageLifetimeAlarm:
        case kParamPageMaintAlarm:
        case kParamPageAdaptCalAlarm: {
            if (RelayClashes(ChosenRelay(page), OwnUsage(page))) return kStopRelayPage;
            if (marker) return page == kParamPageLifetimeAlarm ? kActionBackToFirst : kPagePrevious;
            if (page != kParamPageAdaptCalAlarm) return kPageNext;
            uint32_t kind = EditKind(1);
            if (kind == kKindPh || kind == kKindPhPna) return Act(kActionMaintPage);
            return kind == kKindO2Optical ? Act(kActionActPage) : Act(kActionMaint2Page);
        }
        case kParamPageOutputOfSetPoint:
            if (marker) {
                return EditChannel() == 0 && Chan_IsKindConductivity(EditKind(0)) ? Act(kActionBack)
                                                                                  : kChannelPageMarker;
            }
            return s_PageChoices[kParamPageOutputOfSetPoint][3] == kChoiceYes ? Act(kActionOutputSetPointPage)
                                                                              : Act(kActionOutputRangePage);
        case kParamPageStopRelayAsked: {
            uint32_t asking = g_ValuePageMode;
            if (marker) return asking < kParamPageCipAlarm ? Act(kEventRedraw) : Act(kActionBack);
            AnswerStopRelay(page, v[3] == kChoiceYes);
            if (g_PageCursor == kPageCursorMarker) {
                if (asking == kParamPageMaintAlarm || asking == kParamPageAdaptCalAlarm) return kPagePrevious;
                if (asking == kParamPageAlarmClean || asking > kParamPagePidHoldOutput) return kActionBackToFirst;
                return kActionBack;
            }
            if (v[3] != kChoiceYes) return kActionAskSave;
            if (asking == kParamPageAlarmClean) return s_Setup == 1 ? Act(kActionCleaningPage) : kPageNext;
            if (asking == kParamPageLifetimeAlarm || asking == kParamPageMaintAlarm) return kPageNext;
            if (asking == kParamPageSetPointRelay) {
                uint8_t line = g_WorkSet.setPoints.source[SetPointIndex()];
                return Settings_IsCode11To15(Settings_EditLineCode(line)) ? Act(kActionRelayAbsolutePage)
                                                                          : Act(kActionRelayPage);
            }
            return kActionAskSave;
        }
        case kParamPageChannelSelect:
            if (marker) return kActionBack;
            if (g_MenuLastNode == 1) {
                return channel == 0 && Chan_IsKindConductivity(EditKind(0)) ? Act(kActionCalEdit2) : kAnalogOutputPage;
            }
            return kActionLineSetup;
        case kParamPageCalOutOfLimit:
            if (marker) return kActionPopRedraw;
            return v[3] == kChoiceYes ? Act(kActionSelectMode2) : Act(kActionCalNotDone);
        case kParamPageProcCalPressure:
        case kParamPageProcCalPressureDrift:
            if (marker) {
                MakeValuePageCurrent(page == kParamPageProcCalPressure ? kActionAnalogInputRangePage
                                                                       : kActionProcPressurePage);
                return kActionBack;
            }
            return Act(kActionSalinityPage);
        case kParamPageLedMode:
            if (marker) return kActionBackToFirst;
            return v[2] == 2 ? Act(kActionToffPage) : Act(kActionAskSave);
        case kParamPageManualHold:
            return marker ? Act(kActionBackToFirst) : Act(kActionOutputSetupPage);
        case kParamPageO2ProcCalMode:
            if (marker) {
                CalO2_ReloadChannel(1);
                ParamPage_SetCurrent(kParamPageO2OptCalType);
                return kActionBack;
            }
            return v[3] == kChoiceYes ? Act(kActionO2ProcCalPressurePage) : Act(kActionEditPosition);
        case kParamPageO2ProcCalPressure:
            if (marker) {
                if (ActiveKind(channel) == kKindO2Optical) {
                    ParamPage_SetCurrent(kParamPageO2ProcCalMode);
                } else {
                    CalO2_ReloadChannel(channel);
                    ParamPage_SetCurrent(kParamPageO2CalType);
                }
                return kActionBack;
            }
            return v[3] == kChoiceYes ? Act(kActionO2PressurePage) : Act(kActionEditPosition);
        case kParamPageFenlidCal:
            if (marker) {
                ParamPage_SetCurrent(kParamPageO2OptCalType);
                return kActionBack;
            }
            if (v[2] == kChoiceYes) {
                Chan_NotifyMemoryChanged(1);
                return kActionWaitThenPage;
            }
            MakeValuePageCurrent(kActionO2ConditionsPage);
            return Act(kActionO2ConditionsPage);
        case kParamPageHoldInputs:
        case kParamPageStopRelay:
        case kParamPagePidHoldRelays:
        case kParamPageLedControl:
        case kParamPageProcCalMode:
            if (marker) {
                if (page == kParamPageHoldInputs) ParamPage_SetCurrent(kParamPageManualHold);
                if (page == kParamPagePidHoldRelays && g_MenuDepth >= 2 &&
                    g_MenuStack[g_MenuDepth - 2] == kScreenParamPage) {
                    ParamPage_SetCurrent(kParamPageStopRelay);
                }
                return kActionBack;
            }
            if (page == kParamPageStopRelay) {
                AnswerStopRelay(page, v[3] == kChoiceYes);
                // The PID's other relay may be in use as well: that one is asked about next.
                uint16_t conflict = Screen_PidRelayConflict();
                ParamPage_SetRelayConflict(conflict);
                if (conflict != 0) return Act(kActionStopRelayPage);
                return g_PageCursor == kPageCursorMarker ? Act(kActionBackToFirst) : Act(kActionPidHoldPage);
            }
            return kActionAskSave;
        case kParamPageRelayTest:
            return marker ? Act(kActionBackToFirst) : kEventHome;
        case kParamPageOutputMeasurement:
            return marker ? Act(kActionBackToFirst) : kPageNext;
        default:
            return marker ? Act(kActionBackToFirst) : Act(kActionAskSave);
    }
}

// Pages whose ENTER may lead to the "Stop OC" question note where they were.
static bool AsksStopRelay(uint32_t page) {
    return page == kParamPageSetPointRelay || page == kParamPageSetPointRelayOnly || page == kParamPageAlarmClean ||
           page == kParamPageOutputMeasurement || page == kParamPageOutputOfSetPoint ||
           (page >= kParamPageLifetimeAlarm && page <= kParamPageAdaptCalAlarm);
}

static void OpenInPlace(uint32_t page, uint32_t mode) { ParamPage_Open(page, mode); }

int32_t ParamPage_Screen(uint32_t event) {
    uint32_t page = g_PageEdit.page;
    if (event == kEventRedraw) {
        g_PageCursor = 0;
        bool calType = page == kParamPagePhCalType || page == kParamPageCondCalType || page == kParamPageO2CalType ||
                       page == kParamPageO2OptCalType || page == kParamPageCo2CalType || page == kParamPageCalType;
        if (calType && Settings_GetHoldOutputs() == 0) Menu_SetTimedHold(0);
        if (page == kParamPageStopRelay) return kActionBack;
        if (page == kParamPageStopRelayAsked) {
            if (g_ValuePageMode < kParamPageCipAlarm) {
                OpenInPlace(g_ValuePageMode, 1);
                return kResultStay;
            }
            return kActionBack;
        }
        OpenInPlace(page, 1);
        return kResultStay;
    }
    if (event != kEventEnter) {
        if (event == kEventSecond || event >= kActionFirst) return kResultStay;
        return ParamPage_EditKey(event, &g_PageEdit);
    }
    ParamPage_ApplyValues(&g_PageEdit);
    int32_t where = ParamPage_EditKey(event, &g_PageEdit);
    if (AsksStopRelay(page)) {
        g_PageCursor = where == 0 ? kPageCursorMarker : kPageCursorField;
        g_ValuePageMode = static_cast<uint8_t>(page);
    }
    int32_t result = ParamPage_NextOnEnter(page, static_cast<uint32_t>(where));
    // The relay test is over whichever way ENTER leaves it.
    if (page == kParamPageRelayTest) Menu_ResumePeriodicTasks();
    uint32_t editChannel = EditChannel();
    // After "Stop OC" the way goes on from the page that asked.
    if (page == kParamPageStopRelayAsked && (result == kPagePrevious || result == kPageNext)) page = g_ValuePageMode;
    switch (result) {
        case kPagePrevious: {
            uint32_t previous = page > kParamPageSetPoint ? page - 1 : 0;
            if (page == kParamPageAdaptCalAlarm && EditKind(1) == kKindO2Optical && editChannel == 1)
                previous = kParamPageLifetimeAlarm;
            if (page == kParamPageResetCipSip && EditKind(1) == kKindCo2) previous = kParamPageResetMaintAutoclave;
            OpenInPlace(previous, 1);
            break;
        }
        case kPageNext: {
            uint32_t next = page + 1 < kParamPageCount ? page + 1 : page;
            if (page == kParamPageResetCipSip && ActiveKind(1) == kKindO2Optical && !Meas_HasSensorStatusBit2(1))
                next = kParamPageResetLifetime;
            if (page == kParamPageLifetimeAlarm && EditKind(1) == kKindO2Optical && editChannel == 1)
                next = kParamPageAdaptCalAlarm;
            if (page == kParamPageResetMaintAutoclave && EditKind(1) == kKindCo2 && editChannel == 1)
                next = kParamPageResetCipSip;
            OpenInPlace(next, 0);
            break;
        }
        case kResetQuestion:
            OpenInPlace(kParamPageReset, 1);
            break;
        case kResetSystem:
        case kResetSystem + 1:
        case kResetSystem + 2:
            OpenInPlace(kParamPageResetSystem + static_cast<uint32_t>(result - kResetSystem), 0);
            break;
        case kResetSensorCal:
            OpenInPlace(kParamPageResetSensorCal, 0);
            break;
        case kStopRelayPage:
            s_Relay = ChosenRelay(page) < 2 ? ChosenRelay(page) : s_Relay;
            OpenInPlace(kParamPageStopRelayAsked, 0);
            break;
        case static_cast<int32_t>(kActionStopRelayPage):
            // The PID's second relay is asked about on the same page.
            if (page == kParamPageStopRelay) {
                OpenInPlace(kParamPageStopRelay, 0);
                return kResultStay;
            }
            break;
        case kAnalogOutputPage:
            OpenInPlace(kParamPageOutputOfSetPoint, 0);
            break;
        case kChannelPageMarker:
            OpenInPlace(kParamPageChannelSelect, 1);
            break;
        case kCounterResetPage:
            OpenInPlace(kParamPageResetCipSip, 1);
            break;
        default:
            break;
    }
    return result;
}

// ---- State ------------------------------------------------------------------------------------

void ParamPage_ResetSelectors(uint32_t setup) {
    s_SetPoint = 0;
    s_Output = 0;
    if (setup == 1) s_Setup = 0;
}

uint8_t ParamPage_SelectedSetPoint() { return SetPointIndex(); }
uint8_t ParamPage_SelectedOutput() { return OutputIndex(); }
void ParamPage_SelectSetPoint(uint8_t index) { s_SetPoint = index < kSetPointCount ? index : 0; }
void ParamPage_SelectOutput(uint8_t index) { s_Output = index < kAoutCount ? index : 0; }

void ParamPage_SetRelayConflict(uint16_t word) {
    g_RelayConflict = word;
    if (word != 0) s_Relay = static_cast<uint8_t>((word >> 12) & 1u);
}

void ParamPage_ResetState() {
    g_RelayConflict = 0;
    std::memset(&g_PageEdit, 0, sizeof g_PageEdit);
    g_PageEdit.desc = &g_ParamPageTable[0];
    g_PageCursor = 0;
    g_ValuePageMode = 0;
    s_SetPoint = 0;
    s_Output = 0;
    s_Relay = 0;
    s_Setup = 0;
    s_Cause = 0;
    s_Input = 0;
    // A question starts on "No", so that ENTER alone changes nothing.
    for (uint32_t page = 0; page < kParamPageCount; ++page) {
        for (uint32_t f = 0; f < kParamFields; ++f) {
            s_PageChoices[page][f] = g_ParamPageTable[page].choiceGroup[f] == kGroupYesNo ? kChoiceNo : 0;
        }
    }
}
