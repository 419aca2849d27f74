// Password and lockout page: row 11 "Password =" and five digits, row 12 "Enable Lockout =" and
// "Yes" or "No". ENTER takes the choice into the working set when the digits form one of the two
// access codes or the master code; leaving without having changed the choice needs no code.
#include "ui/password_page.h"

#include "core/keypad.h"
#include "core/lcd.h"
#include "core/texts.h"
#include "core/ui_ids.h"
#include "settings/settings_system.h"
#include "ui/menu.h"
#include "ui/numedit.h"
#include "ui/value_page.h"

static constexpr uint32_t kCodeDigits = 5;
// Field cursor: 0 to 4 the digits, 5 the Yes/No word, 20 the leave marker.
static constexpr uint8_t kFieldChoice = 5;
static constexpr uint8_t kFieldLeave = 20;
static constexpr uint32_t kCell = 6;
static constexpr uint32_t kChoiceClear = 24;
static constexpr int32_t kStay = -1;

static char s_Digits[kCodeDigits + 1];
static uint8_t s_Field;
// The text-group-1 item shown: 0 "Yes" (lockout on), 1 "No".
static uint8_t s_Choice;

static uint32_t LabelEnd(TextRef label) {
    char text[kTextMaxChars + 1];
    return kCell * (Text_Copy(label, text) + 1);
}
static uint32_t DigitsColumn() { return LabelEnd(kTextPasswordLabel); }
static uint32_t ChoiceColumn() { return LabelEnd(kTextLockoutLabel); }

static void DrawChoice(uint32_t blink) {
    Lcd_ClearSpan(kRowMessage, ChoiceColumn(), kChoiceClear);
    TextRef word = Text_Nth(kTextYesNo, s_Choice);
    if (blink) {
        Lcd_DrawTextRefBlink(kRowMessage, ChoiceColumn(), word);
    } else {
        Lcd_DrawTextRef(kRowMessage, ChoiceColumn(), word);
    }
}

// The field at the cursor, plain or blinking.
static void DrawField(uint32_t blink) {
    if (s_Field < kCodeDigits) {
        Lcd_DrawEditChar(kRowStatus, DigitsColumn(), s_Digits, s_Field, blink);
    } else if (s_Field == kFieldChoice) {
        if (!blink) Menu_BlinkOff();
        DrawChoice(blink);
    } else {
        if (!blink) Menu_BlinkOff();
        Lcd_DrawChannelMark(0, blink);
    }
}

void Screen_PasswordDraw(uint32_t entry) {
    for (uint32_t i = 0; i < kCodeDigits; ++i) s_Digits[i] = '0';
    s_Digits[kCodeDigits] = '\0';
    s_Choice = g_SystemEdit.lockout == kLockoutOn ? 0 : 1;
    Menu_ClearStatusRows();
    Lcd_DrawTextRef(kRowStatus, 0, kTextPasswordLabel);
    Lcd_DrawText(kRowStatus, DigitsColumn(), s_Digits);
    Lcd_DrawTextRef(kRowMessage, 0, kTextLockoutLabel);
    DrawChoice(0);
    Lcd_DrawChannelMark(0, 0);
    s_Field = entry == 1 ? kFieldLeave : 0;
    DrawField(1);
    g_DisplayMode = kKeyModeMenu;
}

static uint32_t EnteredCode() {
    uint32_t code = 0;
    for (uint32_t i = 0; i < kCodeDigits; ++i) code = code * 10 + static_cast<uint32_t>(s_Digits[i] - '0');
    return code;
}

static bool CodeAccepted(uint32_t code) {
    return Settings_IsAdministratorCode(code) || code == g_SystemSettings.accessCode[1];
}

static int32_t Enter() {
    uint8_t stored = g_SystemEdit.lockout == kLockoutOn ? 0 : 1;
    bool leave = s_Field == kFieldLeave;
    if (!CodeAccepted(EnteredCode()) && !(leave && s_Choice == stored)) {
        ValuePage_ShowInvalid(kInvalidPassword);
        return kStay;
    }
    g_SystemEdit.lockout = s_Choice == 0 ? kLockoutOn : kLockoutOff;
    return static_cast<int32_t>(leave ? kActionBackToFirst : kActionAskSave);
}

// CAL order: the digits, the Yes/No word, the leave marker, and round again.
static uint8_t NextField(uint8_t field, bool forward) {
    if (forward) {
        if (field == kFieldLeave) return 0;
        return field == kFieldChoice ? kFieldLeave : static_cast<uint8_t>(field + 1);
    }
    if (field == 0) return kFieldLeave;
    return field == kFieldLeave ? kFieldChoice : static_cast<uint8_t>(field - 1);
}

int32_t Screen_PasswordKey(uint32_t event) {
    switch (event) {
        case kEventEnter:
            return Enter();
        case kEventUp:
        case kEventUpRepeat:
        case kEventDown:
        case kEventDownRepeat: {
            int32_t step = event == kEventUp || event == kEventUpRepeat ? 1 : -1;
            if (s_Field == kFieldChoice) {
                s_Choice = s_Choice == 0 ? 1 : 0;
                DrawChoice(1);
            } else if (s_Field < kCodeDigits) {
                NumEdit_StepDigit(s_Digits, s_Field, '0', '9', step);
                DrawField(1);
            }
            return kStay;
        }
        case kEventLeft:
        case kEventRight:
            DrawField(0);
            s_Field = NextField(s_Field, event == kEventRight);
            DrawField(1);
            return kStay;
        case kEventRedraw:
            Screen_PasswordDraw(1);
            return kStay;
        default:
            return kStay;
    }
}

void Screen_ResetPasswordState() {
    for (uint32_t i = 0; i < kCodeDigits; ++i) s_Digits[i] = '0';
    s_Digits[kCodeDigits] = '\0';
    s_Field = 0;
    s_Choice = 1;
}
