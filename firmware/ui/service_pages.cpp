// Service, test and information pages: the tests of the keys, the display, the memory, the digital
// inputs, the relay contacts and the analog currents, the model and software revision, the warning
// before the quick set-up and the "Please wait..." screen.
#include "ui/service_pages.h"

#include <cstring>

#include "core/ident.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/texts.h"
#include "core/timers.h"
#include "core/ui_ids.h"
#include "core/util.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx_ident.h"
#include "measurement/chan_reset.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/aout.h"
#include "outputs/hold.h"
#include "outputs/relays.h"
#include "ui/menu.h"
#include "ui/menu_tree.h"
#include "ui/value_catalogue.h"

static constexpr int32_t kStay = -1;
static constexpr uint32_t kCell = 6;

// A text from the label's end on: one cell after a label of n characters.
static uint32_t After(uint32_t characters) { return kCell * (characters + 1); }

// ---- Keypad test -------------------------------------------------------------------------------

// The key-seen marks, bit n for key n (MENU 0 .. ENTER 4).
static uint8_t s_KeysSeen;
// Spanish key names are longer: the field between the brackets is wider there.
static constexpr uint32_t kLanguageWideKeys = 4;

static uint32_t KeyFieldColumn() {
    char label[kTextMaxChars + 1];
    return After(Text_Copy(kTextKeyPressed, label)) + kCell;
}

static uint32_t KeyFieldWidth() { return Menu_Language() == kLanguageWideKeys ? 42 : 30; }

void Screen_KeypadTestDraw() {
    Menu_ClearStatusRows();
    uint32_t n = Lcd_DrawTextRef(kRowStatus, 0, kTextKeyPressed);
    Lcd_DrawText(kRowStatus, After(n), Menu_Language() == kLanguageWideKeys ? "(       )" : "(     )");
    Lcd_DrawTextRefBlink(kRowStatus, KeyFieldColumn(), kTextKeyNone);
    Lcd_DrawTextRef(kRowMessage, 0, kTextPressEnterToContinue);
    Timer_Restart(kTimerKeyScan);
    s_KeysSeen = 0;
    g_DisplayMode = kKeyModeKeypadTest;
}

int32_t Screen_KeypadTestKey(uint32_t event) {
    if (event == kEventEnter) {
        s_KeysSeen |= 1u << kKeyEnter;
        return static_cast<int32_t>(kEventHome);
    }
    if (event < kEventKeyTestMenu || event > kEventKeyTestInfo) return kStay;
    uint32_t key = event - kEventKeyTestMenu;
    s_KeysSeen = static_cast<uint8_t>(s_KeysSeen | 1u << key);
    Menu_BlinkOff();
    Lcd_ClearSpan(kRowStatus, KeyFieldColumn(), KeyFieldWidth());
    Lcd_DrawTextRefBlink(kRowStatus, KeyFieldColumn(), Text_Nth(kTextKeyNames, key));
    return kStay;
}

// ---- Digital inputs --------------------------------------------------------------------------

static uint32_t DigitalInputColumn(uint32_t input) {
    char label[kTextMaxChars + 1];
    return After(Text_Copy(Text_Nth(kTextDigitalInputLabels, input), label));
}

void Screen_DigInValues() {
    for (uint32_t input = 0; input < 2; ++input) {
        uint32_t row = input == 0 ? kRowStatus : kRowMessage;
        uint32_t column = DigitalInputColumn(input);
        Lcd_ClearSpan(row, column, kCell);
        Lcd_DrawTextRef(row, column, Text_Nth(kTextStateDigits, Hold_ReadDigitalInput(input) ? 1 : 0));
    }
}

void Screen_DigInDraw() {
    Menu_ClearStatusRows();
    Lcd_DrawTextRef(kRowStatus, 0, kTextDigitalInputLabels);
    Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextDigitalInputLabels, 1));
    Screen_DigInValues();
    g_DisplayMode = kKeyModeMessage;
}

// ---- Read OC ----------------------------------------------------------------------------------

// Per relay: the label's column and the state's column on row 11.
static const uint8_t kOcLabelColumns[kRelayCount] = {0, 66};
static const uint8_t kOcStateColumns[kRelayCount] = {36, 102};

static void DrawOcStates() {
    uint8_t bits = g_RelayBits.load(std::memory_order_relaxed);
    for (uint32_t relay = 0; relay < kRelayCount; ++relay) {
        Lcd_ClearSpan(kRowStatus, kOcStateColumns[relay], kCell);
        uint32_t closed = (bits >> relay) & 1u;
        Lcd_DrawTextRef(kRowStatus, kOcStateColumns[relay], Text_Nth(kTextStateDigits, closed));
    }
}

void Screen_ReadOcDraw() {
    Menu_ClearStatusRows();
    for (uint32_t relay = 0; relay < kRelayCount; ++relay) {
        Lcd_DrawTextRef(kRowStatus, kOcLabelColumns[relay], Text_Nth(kTextReadOcLabels, relay));
    }
    DrawOcStates();
    g_DisplayMode = kKeyModeMessage;
}

int32_t Screen_ReadOcKey(uint32_t event) {
    DrawOcStates();
    return event == kEventEnter ? static_cast<int32_t>(kEventHome) : kStay;
}

// ---- Read analog outputs ------------------------------------------------------------------------

// The layout of the output test's value page: "Analog out1=", the current in its field, "mA".
static constexpr uint32_t kCurrentChars = 5;
static constexpr uint32_t kTextUnitMa = 14;
static constexpr uint32_t kTextAnalogOut = 9;

static void DrawCurrents() {
    for (uint32_t output = 0; output < kAoutCount; ++output) {
        uint32_t row = output == 0 ? kRowStatus : kRowMessage;
        uint32_t column = ValuePage_ValueColumn(kValuePageOutputTest, output, Menu_Language());
        char text[kNumberTextMax + 1];
        Util_FloatToText(Aout_GetShownCurrent(output), 255, 2, text);
        Text_RightJustify(text, kCurrentChars);
        Lcd_ClearSpan(row, column, kCell * kCurrentChars);
        Lcd_DrawText(row, column, text);
    }
}

void Screen_AoutTestDraw() {
    Menu_ClearStatusRows();
    for (uint32_t output = 0; output < kAoutCount; ++output) {
        uint32_t row = output == 0 ? kRowStatus : kRowMessage;
        uint32_t n = Lcd_DrawTextRef(row, 0, Text_Nth(kTextValueLabels, kTextAnalogOut));
        Lcd_DrawText(row, kCell * n, output == 0 ? "1=" : "2=");
        uint32_t column = ValuePage_ValueColumn(kValuePageOutputTest, output, Menu_Language());
        Lcd_DrawTextRef(row, column + kCell * (kCurrentChars + 1), Text_Nth(kTextUnits, kTextUnitMa));
    }
    DrawCurrents();
    Lcd_DrawChannelMark(kLeaveMarkChannel, 1);
}

int32_t Screen_AoutTestKey(uint32_t event) {
    DrawCurrents();
    return event == kEventEnter ? static_cast<int32_t>(kActionBackToFirst) : kStay;
}

// ---- Read analog inputs -------------------------------------------------------------------------

static constexpr uint32_t kTextAnalogInput = 2;
// "mA" stands this far right of the "=".
static constexpr uint32_t kAinUnitOffset = 36;

static uint32_t AinEqualsColumn() {
    char label[kTextMaxChars + 1];
    return kCell * Text_Copy(Text_Nth(kTextAnalogChoices, kTextAnalogInput), label);
}

void Screen_AinValue() {
    uint32_t column = AinEqualsColumn() + kCell;
    uint32_t status = 0;
    float current = Meas_GetAnalogInput(0, &status);
    char text[kNumberTextMax + 1];
    Util_FloatToText(current, 255, 2, text);
    Text_RightJustify(text, kCurrentChars);
    // The number fills the cells between the "=" and "mA".
    text[kCurrentChars] = '\0';
    Lcd_ClearSpan(kRowMessage, column, kCell * kCurrentChars);
    Lcd_DrawText(kRowMessage, column, text);
    // The number's last column touches the unit: the unit is drawn after it.
    Lcd_DrawTextRef(kRowMessage, AinEqualsColumn() + kAinUnitOffset, Text_Nth(kTextUnits, kTextUnitMa));
}

void Screen_AinDraw() {
    Menu_ClearStatusRows();
    Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextAnalogChoices, kTextAnalogInput));
    uint32_t equals = AinEqualsColumn();
    Lcd_DrawText(kRowMessage, equals, "=");
    Screen_AinValue();
    g_DisplayMode = kKeyModeMessage;
}

// ---- Memory and display tests -------------------------------------------------------------------

void Screen_MemoryTestDraw() {
    Menu_ClearStatusRows();
    Lcd_DrawTextRef(kRowStatus, 0, kTextMemoryTestPassed);
    Lcd_DrawTextRef(kRowMessage, 0, kTextPressEnterToContinue);
    g_DisplayMode = kKeyModeMessage;
}

// The test pattern stands for 15 seconds; the time-out then leads home.
static constexpr uint32_t kDisplayTestSeconds = 15;

void Screen_DisplayTestStart() {
    Menu_BlinkOff();
    Lcd_ShowTestPattern();
    Timer_StartTicks(kTimerDisplayRefresh, kDisplayTestSeconds, 0);
    g_DisplayMode = kKeyModeMessage;
}

// ---- Model and software revision -----------------------------------------------------------------

static uint8_t s_RevisionStep;
// The views, counted from 1: the part and serial numbers, the two software versions, the HART tag,
// and while a digital sensor is known its firmware and hardware versions.
static constexpr uint32_t kViewIdentity = 1;
static constexpr uint32_t kViewVersions = 2;
static constexpr uint32_t kViewHartTag = 3;
static constexpr uint32_t kViewsBase = kViewHartTag;
static constexpr uint32_t kRevisionValueColumn = 54;
static constexpr uint32_t kPartColumn = 18;
static constexpr uint32_t kModelColumn = 72;
// The revision page shows the first ten characters of the device's serial text.
static constexpr uint32_t kSerialChars = 10;

// The fourth view needs a usable digital sensor on channel B whose identity was read.
static uint32_t RevisionViews() {
    bool sensor = g_SensorKindActive[1] < kKindNoSensor &&
                  (g_SensorMemLayout[1] == kLayoutProtocol || g_SensorImageValid[1] != 0);
    return sensor ? kViewsBase + 1 : kViewsBase;
}

// A fixed-width text of the identity, up to its first zero.
static void DrawIdentityText(uint32_t row, uint32_t column, const char* field, uint32_t size) {
    char text[kTextMaxChars + 1];
    uint32_t n = 0;
    while (n < size && n < kTextMaxChars && field[n] != '\0') {
        text[n] = field[n];
        ++n;
    }
    text[n] = '\0';
    Lcd_DrawText(row, column, text);
}

static void DrawSerialText(uint32_t row, uint32_t column) {
    char bytes[kSerialTextBytes] = {};
    uint32_t status = 0;
    Chan_ReadSerialText(bytes, &status);
    char text[kSerialChars + 1];
    uint32_t n = 0;
    // A character outside the printable range ends the text.
    while (status == 0 && n < kSerialChars && bytes[n] >= 32 && bytes[n] <= 126) {
        text[n] = bytes[n];
        ++n;
    }
    text[n] = '\0';
    Lcd_DrawText(row, column, text);
}

void Screen_RevisionDraw(uint32_t step) {
    uint32_t views = RevisionViews();
    uint32_t view = step == 0 ? views : (step - 1) % views + 1;
    s_RevisionStep = static_cast<uint8_t>(view);
    Menu_ClearStatusRows();
    switch (view) {
        case kViewIdentity: {
            Lcd_DrawText(kRowStatus, 0, "PN ");
            const DeviceIdentity& id = g_DeviceIdentity;
            DrawIdentityText(kRowStatus, kPartColumn, id.partNumber, sizeof id.partNumber);
            char model[kTextMaxChars + 1];
            Ident_GetModelName(model);
            Lcd_DrawText(kRowStatus, kModelColumn, model);
            Lcd_DrawText(kRowMessage, 0, "SN ");
            DrawSerialText(kRowMessage, kPartColumn);
            break;
        }
        case kViewVersions:
            Lcd_DrawText(kRowStatus, 0, "Master:V_");
            DrawIdentityText(kRowStatus, kRevisionValueColumn, g_DeviceIdentity.softwareVersion,
                             sizeof g_DeviceIdentity.softwareVersion);
            Lcd_DrawText(kRowMessage, 0, "Comm  :V_");
            DrawIdentityText(kRowMessage, kRevisionValueColumn, g_BoardIdentity.softwareVersion,
                             sizeof g_BoardIdentity.softwareVersion);
            break;
        case kViewHartTag:
            Lcd_DrawText(kRowMessage, 0, "Hart Tag: 00000000");
            break;
        default: {
            char version[kVdxVersionTextSize] = {};
            uint32_t n = Lcd_DrawText(kRowStatus, 0, "Sensor FW:V_");
            Vdx_GetFirmwareVersionText(1, version);
            Lcd_DrawText(kRowStatus, kCell * n, version);
            n = Lcd_DrawText(kRowMessage, 0, "Sensor HW:V_");
            Vdx_GetHardwareVersionText(1, version);
            Lcd_DrawText(kRowMessage, kCell * n, version);
            break;
        }
    }
}

void Screen_RevisionOpen() {
    g_DisplayMode = kKeyModeMenu;
    Screen_RevisionDraw(1);
}

int32_t Screen_RevisionKey(uint32_t event) {
    switch (event) {
        case kEventUp:
        case kEventUpRepeat:
            Screen_RevisionDraw(s_RevisionStep + 1u);
            return kStay;
        case kEventDown:
        case kEventDownRepeat:
            Screen_RevisionDraw(s_RevisionStep > 1 ? s_RevisionStep - 1u : 0u);
            return kStay;
        case kEventRedraw:
            Screen_RevisionDraw(s_RevisionStep);
            return kStay;
        case kEventEnter: {
            // From the MENU tree the page counts as a page opened; from INFO it leads home.
            bool fromMenu = g_MenuDepth >= 2 && g_MenuStack[g_MenuDepth - 2] == kScreenTreeMenu;
            return fromMenu ? static_cast<int32_t>(kActionAskSave) : static_cast<int32_t>(kEventHome);
        }
        default:
            return kStay;
    }
}

// ---- Warning before the quick set-up -----------------------------------------------------------

static uint8_t s_WarnField;

void Screen_ConfigWarnDraw(uint32_t field) {
    s_WarnField = field == 0 ? 0 : 1;
    Menu_ClearStatusRows();
    Lcd_DrawTextRef(kRowMessage, 0, Text_Nth(kTextConfigWarning, 1));
    if (s_WarnField == 0) {
        Lcd_DrawChannelMark(kLeaveMarkChannel, 0);
        Lcd_DrawTextRefBlink(kRowStatus, 0, kTextConfigWarning);
    } else {
        Lcd_DrawTextRef(kRowStatus, 0, kTextConfigWarning);
        Lcd_DrawChannelMark(kLeaveMarkChannel, 1);
    }
    g_DisplayMode = kKeyModeMenu;
}

int32_t Screen_ConfigWarnKey(uint32_t event) {
    switch (event) {
        case kEventLeft:
        case kEventRight:
            Screen_ConfigWarnDraw(s_WarnField == 0 ? 1 : 0);
            return kStay;
        case kEventRedraw:
            Screen_ConfigWarnDraw(1);
            return kStay;
        case kEventEnter:
            if (s_WarnField != 0) return static_cast<int32_t>(kActionBack);
            if (Menu_ItemAllowed(kSectionQuickSetup)) return static_cast<int32_t>(kItemPassword);
            return static_cast<int32_t>(kActionChannelSetupPage);
        default:
            return kStay;
    }
}

// ---- "Please wait..." ------------------------------------------------------------------------------

void Screen_PleaseWaitDraw() {
    Menu_ClearStatusRows();
    Lcd_DrawTextRef(kRowMessage, 0, kTextPleaseWait);
}

void Screen_ResetServiceState() {
    s_KeysSeen = 0;
    s_RevisionStep = 1;
    s_WarnField = 0;
}
