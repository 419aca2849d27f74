// Selection screen and the manual channel hold. One two-row screen asks four questions; its result
// is a position code that the menu engine turns into the next screen.
#include "ui/select_screen.h"

#include "core/fw_hook.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/param.h"
#include "core/settings.h"
#include "core/texts.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "settings/settings_system.h"
#include "ui/cal_view.h"
#include "ui/home.h"
#include "ui/menu.h"

SelectState g_MenuTreeView;

// Row-11 choices of mode 0 (group 0): "Sensor", "Meter", "Analog", "Unlock".
static constexpr uint8_t kChoiceSensor = 0;
static constexpr uint8_t kChoiceMeter = 1;
static constexpr uint8_t kChoiceAnalog = 2;
static constexpr uint8_t kChoiceUnlock = 3;
static constexpr uint8_t kMeterInputs = 11;
// Mode 2's choice "Calibrate" (group 75), passed over where a process calibration cannot repeat.
static constexpr uint8_t kResultCalibrate = 1;
// Quantities of the measurement lists (group 3 items): the "Edit" entries lead to the calibration
// edit page.
enum : uint8_t {
    kQPh = 0,
    kQTemperature = 1,
    kQConductivity = 2,
    kQResistivity = 3,
    kQOxygen = 4,
    kQEdit = 5,
    kQVerify = 6,
    kQMv = 7,
    kQEditPh = 8,
    kQEditMv = 9,
    kQOrp = 10,
    kQOptical = 11,
    kQCo2 = 12,
};
static constexpr uint8_t kListEnd = 255;
static constexpr uint32_t kListMax = 7;
static const uint8_t kListPh[kListMax] = {kQPh, kQMv, kQTemperature, kQEditPh, kQEditMv, kQOrp, kQVerify};
static const uint8_t kListCond[kListMax] = {kQConductivity, kQResistivity, kQTemperature, kQEdit,
                                            kQVerify,       kListEnd,      kListEnd};
static const uint8_t kListOxygen[kListMax] = {kQOxygen, kQTemperature, kQEdit, kQVerify, kListEnd, kListEnd, kListEnd};
static const uint8_t kListOptical[kListMax] = {kQOptical, kQVerify, kListEnd, kListEnd, kListEnd, kListEnd, kListEnd};
static const uint8_t kListCo2[kListMax] = {kQCo2, kQVerify, kListEnd, kListEnd, kListEnd, kListEnd, kListEnd};
static const uint8_t kListNone[kListMax] = {kQVerify, kListEnd, kListEnd, kListEnd, kListEnd, kListEnd, kListEnd};

// Where the CAL key starts, by the channel's kind 0 to 10 (plus the channel's 0x1000).
static const uint32_t kStartPositions[11] = {0x1fffff, 0x100000, 0x100000, 0x100003, 0x100003, 0x100004,
                                             0x100004, 0x100004, 0x100004, 0x10000b, 0x10000c};
static constexpr uint32_t kStartPositionMeter = 0x100010;
static constexpr uint32_t kStartPositionCount = sizeof kStartPositions / sizeof kStartPositions[0];
static constexpr uint32_t kCodeNoChannel = 0x1ff000;
// The device parameter that keeps a channel measuring; 0 while the channel is held by hand.
static constexpr uint32_t kParamMeasureFlag = 2;

// Columns of the row-11 choice by language and mode, of the row-12 choice by language, and of a
// choice without a channel in mode 2 by language.
static const uint8_t kRow11Columns[kLanguages][4] = {
    {60, 102, 84, 78},  {54, 114, 96, 96},  {60, 90, 48, 90},   {78, 114, 42, 96},
    {54, 114, 102, 96}, {54, 114, 102, 96}, {72, 108, 102, 84}, {30, 114, 102, 84},
};
static const uint8_t kRow12Columns[kLanguages] = {60, 48, 48, 54, 48, 48, 48, 48};
static const uint8_t kNoChannelColumns[kLanguages] = {30, 42, 60, 60, 48, 42, 36, 30};

static SelectState& S() { return g_MenuTreeView; }

static const uint8_t* MeasurementList(uint32_t channel) {
    uint8_t kind = channel < 2 ? g_ChannelKind[channel] : 0;
    if (kind <= kKindPhPna) return kListPh;
    if (kind <= kKindCond4) return kListCond;
    if (kind <= kKindO2Gauge) return kListOxygen;
    if (kind == kKindO2Optical) return kListOptical;
    if (kind == kKindCo2) return kListCo2;
    return kListNone;
}

static uint32_t ListLength(const uint8_t* list) {
    uint32_t n = 0;
    while (n < kListMax && list[n] != kListEnd) ++n;
    return n;
}

// Channel B offers only its sensor's own measurement and the verification.
static bool ListEntrySkipped(uint32_t channel, uint8_t quantity) {
    if (channel == 1) {
        return quantity == kQMv || quantity == kQTemperature || quantity == kQEdit || quantity == kQEditPh ||
               quantity == kQEditMv;
    }
    return false;
}

static uint8_t ChannelOf() { return S().channel < 2 ? S().channel : 0; }

// The number of row-12 choices in mode 0 by the row-11 choice.
static uint32_t Row12Count() {
    switch (S().item) {
        case kChoiceSensor:
            return ListLength(MeasurementList(ChannelOf()));
        case kChoiceMeter:
            return kMeterInputs;
        case kChoiceAnalog:
            return g_TextGroupSizes[kTextAnalogChoices.group];
        default:
            return 0;
    }
}

// The row-12 choice's text and whether it carries the channel.
static TextRef Row12Text() {
    SelectState& s = S();
    if (s.mode == kSelectCalResult) return Text_Nth(kTextCalResultChoices, s.index < 3 ? s.index : 0);
    uint32_t count = Row12Count();
    uint32_t index = s.index < count ? s.index : 0;
    if (s.item == kChoiceSensor) return Text_Nth(kTextMeasurementNames, MeasurementList(ChannelOf())[index]);
    if (s.item == kChoiceMeter) return Text_Nth(kTextMeterInputs, index);
    return Text_Nth(kTextAnalogChoices, index);
}

static bool HasRow12() {
    SelectState& s = S();
    return s.mode == kSelectCalResult || (s.mode == kSelectCalibrate && s.item != kChoiceUnlock);
}

static bool HasRow11Choice() { return S().mode != kSelectCalResult; }

static TextRef Row11Text() {
    SelectState& s = S();
    switch (s.mode) {
        case kSelectCalibrate:
            return Text_Nth(kTextSelectChoices, s.item < 4 ? s.item : 0);
        case kSelectSaveCalibration:
            return Text_Nth(kTextYesNo, s.item < 2 ? s.item : 0);
        default:
            return Text_Nth(kTextSaveChangesChoices, s.item < 3 ? s.item : 0);
    }
}

static bool CalDirect() { return S().entryFlag == 0 && g_SystemSettings.calUnlock == 1; }

static void DrawRow11Choice(uint32_t blink) {
    SelectState& s = S();
    if (!HasRow11Choice()) return;
    uint32_t column = kRow11Columns[Menu_Language()][s.mode];
    Lcd_ClearSpan(kRowStatus, column, kLcdColumns - column);
    // With the CAL key going straight to the measurement, the row-11 choice stays plain.
    if (s.mode == kSelectCalibrate && CalDirect()) blink = 0;
    if (blink) {
        Lcd_DrawTextRefBlink(kRowStatus, column, Row11Text());
    } else {
        Lcd_DrawTextRef(kRowStatus, column, Row11Text());
    }
}

static uint32_t Row12Column() {
    SelectState& s = S();
    if (s.mode == kSelectCalResult) return kNoChannelColumns[Menu_Language()];
    // The analog choices carry no channel name in front of them.
    if (s.item == kChoiceAnalog) return 0;
    return kRow12Columns[Menu_Language()];
}

static void DrawRow12Choice(uint32_t blink) {
    if (!HasRow12()) return;
    uint32_t column = Row12Column();
    // The marker at column 138 stays.
    Lcd_ClearSpan(kRowMessage, column, 138 - column);
    if (blink) {
        Lcd_DrawTextRefBlink(kRowMessage, column, Row12Text());
    } else {
        Lcd_DrawTextRef(kRowMessage, column, Row12Text());
    }
}

static void DrawMarker(uint32_t blink) { Lcd_DrawChannelMark(0, blink); }

// Every field plain, then the one under the cursor blinking.
static void DrawFields() {
    SelectState& s = S();
    Menu_BlinkOff();
    DrawRow11Choice(s.cursor == kSelectRow11 ? 1 : 0);
    DrawRow12Choice(s.cursor == kSelectRow12 ? 1 : 0);
    DrawMarker(s.cursor == kSelectMarker ? 1 : 0);
}

static void DrawFixedTexts() {
    SelectState& s = S();
    switch (s.mode) {
        case kSelectCalibrate:
            Lcd_DrawTextRef(kRowStatus, 0, kTextCalibrateTitle);
            if (s.item == kChoiceSensor || s.item == kChoiceMeter) {
                Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextChannelNames, ChannelOf()));
            }
            break;
        case kSelectSaveCalibration:
            Lcd_DrawTextRef(kRowStatus, 0, kTextSaveCalibration);
            Lcd_DrawTextRef(kRowMessage, 0, kTextPressEnterToExit);
            break;
        case kSelectCalResult: {
            float slope = 0.0f, offset = 0.0f;
            uint32_t status = 0;
            Cal_GetResultsById(g_MenuPosition, &slope, &offset, &status);
            Screen_ShowCalData(g_MenuPosition, slope, offset);
            Lcd_DrawTextRef(kRowMessage, 0, kTextSaveTitle);
            break;
        }
        default:
            Lcd_DrawTextRef(kRowStatus, 0, kTextSaveChanges);
            Lcd_DrawTextRef(kRowMessage, 0, kTextPressEnterToExit);
            break;
    }
}

static void Redraw() {
    Menu_ClearStatusRows();
    DrawFixedTexts();
    DrawFields();
}

void Screen_ResetSelectState() { g_MenuTreeView = SelectState{0, 0, 0, 0, 0, 0, 0, 0, 0}; }

uint32_t Screen_GetStartPosition(uint32_t kind) {
    return kind < kStartPositionCount ? kStartPositions[kind] : kStartPositions[0];
}

void Screen_SelectInit(uint32_t flag) {
    SelectState& s = S();
    s.mode = kSelectCalibrate;
    s.cursor = kSelectRow11;
    s.channel = Menu_CurrentChannel();
    s.index = 0;
    s.entryFlag = flag ? 1 : 0;
    if (flag == 0) {
        uint32_t kind = s.channel == 0 ? g_ChannelKind[0] : g_SensorKindActive[1];
        s.position = static_cast<uint32_t>(s.channel) * 0x1000 + Screen_GetStartPosition(kind);
        if (g_SystemSettings.calUnlock == 1) s.cursor = kSelectRow12;
    } else {
        s.channel = 0;
        s.position = kStartPositionMeter;
    }
    g_MenuPositionPending = 1;
    s.rememberedIndex = 0;
}

void Screen_SelectShow(uint32_t mode, uint32_t marker) {
    SelectState& s = S();
    Fw_HardwareHook();
    s.mode = static_cast<uint8_t>(mode <= kSelectSaveChanges ? mode : kSelectSaveChanges);
    if (s.mode == kSelectCalibrate) {
        uint32_t quantity = s.position & 0xfff;
        s.item = quantity >= 27 && quantity <= 31 ? 0 : static_cast<uint8_t>((s.position & 0xf0) >> 4);
        if (s.item > kChoiceUnlock) s.item = kChoiceSensor;
        uint32_t channel = (s.position & 0xf000) >> 12;
        s.channel = static_cast<uint8_t>(channel < 2 ? channel : Menu_CurrentChannel());
        s.index = s.rememberedIndex;
        if (s.index >= Row12Count()) s.index = 0;
        s.cursor = CalDirect() ? kSelectRow12 : kSelectRow11;
    } else {
        s.item = 0;
        s.index = 0;
        s.cursor = kSelectRow11;
        if (s.mode == kSelectCalResult) {
            s.channel = 255;
            s.cursor = kSelectRow12;
        }
    }
    g_DisplayMode = kKeyModeMenu;
    if (marker == 1) s.cursor = kSelectMarker;
    Redraw();
}

uint32_t Screen_GetSelectPosition() { return g_MenuTreeView.position; }

// ---- Keys ---------------------------------------------------------------------------------------

// "Calibrate" cannot repeat the process calibration of the optical sensor.
static bool ResultChoiceSkipped(uint32_t choice) {
    return choice == kResultCalibrate && g_ChosenMode == kCalModeProcess && g_ChosenOption == 1 &&
           Menu_ActiveKind(Menu_CurrentChannel()) == kKindO2Optical;
}

static void StepRow11(int32_t step) {
    SelectState& s = S();
    uint32_t lowest = 0, count = 2;
    if (s.mode == kSelectCalibrate) {
        lowest = s.entryFlag ? 1 : 0;
        count = 3;
    } else if (s.mode == kSelectSaveChanges) {
        count = 3;
    }
    uint32_t at = s.item >= lowest && s.item < lowest + count ? s.item - lowest : 0;
    for (uint32_t tries = 0; tries < count; ++tries) {
        at = step > 0 ? (at + 1) % count : (at + count - 1) % count;
        // Channel B has no meter inputs under the CAL key.
        if (s.mode == kSelectCalibrate && s.entryFlag == 0 && s.channel == 1 && at + lowest == kChoiceMeter) continue;
        break;
    }
    s.item = static_cast<uint8_t>(at + lowest);
    if (s.mode == kSelectCalibrate) s.index = 0;
}

static void StepRow12(int32_t step) {
    SelectState& s = S();
    uint32_t count = s.mode == kSelectCalResult ? 3 : Row12Count();
    if (count == 0) return;
    uint32_t at = s.index < count ? s.index : 0;
    bool orpPassed = false;
    for (uint32_t tries = 0; tries < 2 * count; ++tries) {
        at = step > 0 ? (at + 1) % count : (at + count - 1) % count;
        if (s.mode == kSelectCalResult) {
            if (ResultChoiceSkipped(at)) continue;
            break;
        }
        if (s.item != kChoiceSensor) break;
        uint8_t quantity = MeasurementList(ChannelOf())[at];
        if (ListEntrySkipped(s.channel, quantity)) continue;
        // Channel A's ORP entry is passed over once.
        if (s.channel == 0 && quantity == kQOrp && !orpPassed) {
            orpPassed = true;
            continue;
        }
        break;
    }
    s.index = static_cast<uint8_t>(at);
}

// The fields the cursor walks, in CAL order.
static uint32_t Fields(uint8_t* fields) {
    SelectState& s = S();
    if (s.mode == kSelectCalResult) {
        fields[0] = kSelectRow12;
        return 1;
    }
    if (s.mode != kSelectCalibrate || s.item == kChoiceUnlock) {
        fields[0] = kSelectRow11;
        return 1;
    }
    if (CalDirect()) {
        fields[0] = kSelectRow12;
        return 1;
    }
    fields[0] = kSelectRow11;
    fields[1] = kSelectRow12;
    return 2;
}

static void MoveCursor(int32_t step) {
    SelectState& s = S();
    uint8_t fields[3];
    uint32_t n = Fields(fields);
    fields[n] = kSelectMarker;
    uint32_t at = n;
    for (uint32_t i = 0; i <= n; ++i) {
        if (fields[i] == s.cursor) at = i;
    }
    at = step > 0 ? (at + 1) % (n + 1) : (at + n) % (n + 1);
    s.cursor = fields[at];
    DrawFields();
}

static int32_t Choose() {
    SelectState& s = S();
    uint32_t code;
    uint32_t channel = s.channel;
    if (s.mode == kSelectCalibrate && (s.item == kChoiceAnalog || s.item == kChoiceUnlock)) channel = 255;
    if (s.mode != kSelectCalibrate) channel = 255;
    uint32_t sub;
    uint32_t item = s.mode == kSelectCalResult ? 0 : s.item;
    if (s.mode == kSelectCalibrate && s.item == kChoiceSensor) {
        uint32_t count = Row12Count();
        sub = MeasurementList(ChannelOf())[s.index < count ? s.index : 0];
    } else if (s.mode == kSelectCalibrate && s.item == kChoiceUnlock) {
        sub = 0;
    } else if (s.mode == kSelectCalibrate || s.mode == kSelectCalResult) {
        sub = s.index;
    } else {
        sub = 0;
    }
    s.rememberedIndex = s.index;
    uint32_t base = channel == 255 ? kCodeNoChannel : kMeasIdBase + channel * 0x1000;
    code = base + s.mode * 0x100u + item * 0x10u + sub;
    if (code >= kItemSaveChannelCal && code <= kItemLeaveChannelCal) Menu_EndChannelHold();
    if (s.mode == kSelectCalibrate && (s.item == kChoiceSensor || s.item == kChoiceMeter)) {
        s.position = code;
        // Only the sensor's list has "Edit" entries; a meter input's sub-code is its row, whose
        // numbers 5, 8 and 9 ("Temperature", "Current 2", "Rg Diagnostic") are calibrated in the
        // numeric editor like every other input.
        bool edit = s.item == kChoiceSensor && (sub == kQEdit || sub == kQEditPh || sub == kQEditMv);
        return static_cast<int32_t>(edit ? kItemCalEditPosition : kItemCalibratePosition);
    }
    return static_cast<int32_t>(code);
}

int32_t Screen_SelectKey(uint32_t event) {
    SelectState& s = S();
    switch (event) {
        case kEventUp:
        case kEventUpRepeat:
        case kEventDown:
        case kEventDownRepeat: {
            int32_t step = event == kEventUp || event == kEventUpRepeat ? 1 : -1;
            if (s.cursor == kSelectRow11) {
                StepRow11(step);
            } else if (s.cursor == kSelectRow12) {
                StepRow12(step);
            } else {
                return -1;
            }
            Redraw();
            return -1;
        }
        case kEventLeft:
            MoveCursor(-1);
            return -1;
        case kEventRight:
            MoveCursor(1);
            return -1;
        case kEventEnter:
            if (s.cursor == kSelectMarker) {
                if (s.mode == kSelectCalibrate) Cal_SelectMeasurement(2, 0);
                return s.mode == kSelectCalibrate || s.mode == kSelectSaveChanges
                           ? static_cast<int32_t>(kActionBack)
                           : static_cast<int32_t>(kActionPopRedraw);
            }
            return Choose();
        case kEventRedraw:
            Screen_SelectShow(s.mode, 1);
            return -1;
        default:
            return -1;
    }
}

// ---- Manual channel hold ----------------------------------------------------------------------------

uint32_t Menu_IsChannelHeld(uint32_t channel) { return g_ManualHold.active && g_ManualHold.channel == channel ? 1 : 0; }

void Menu_BeginChannelHold(uint32_t item) {
    uint32_t channel = Menu_ChannelOfPosition(g_MenuPosition);
    if (channel >= 2) channel = 0;
    g_ManualHold.channel = static_cast<uint8_t>(channel);
    g_ManualHold.active = 1;
    g_ManualHold.item = item & 0xff0fff;
    uint32_t status = 0;
    Param_SetInt(channel, kParamMeasureFlag, 0, &status);
}

void Menu_CancelChannelHold() {
    g_ManualHold.active = 0;
    uint32_t status = 0;
    Param_SetInt(g_ManualHold.channel, kParamMeasureFlag, 1, &status);
}

void Menu_EndChannelHold() {
    bool wasHeld = g_ManualHold.active != 0;
    // A captured oxygen value was taken with the calibration's own conditions.
    if (g_ChosenMode == kCalModeProcess) CalO2_ReloadChannel(Menu_CurrentChannel());
    Menu_CancelChannelHold();
    // The held channel's letters stand again where they blinked.
    if (wasHeld) Home_DrawChannelHoldMarks(0);
}

void Menu_EndChannelHoldIfActive() {
    if (g_ManualHold.active) Menu_EndChannelHold();
}
