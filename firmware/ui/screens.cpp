// The fixed screens written so far: the "Re-install sensor" countdown and the sensor monitoring
// line.
#include "ui/screens.h"

#include "core/keypad.h"
#include "core/lcd.h"
#include "core/texts.h"
#include "core/timers.h"
#include "core/ui_ids.h"
#include "core/util.h"
#include "digital_sensor/sens_diag.h"
#include "ui/menu.h"

// The countdown screen has drawn its question.
static uint8_t s_CountdownShown;

void Screen_CountdownDraw() {
    s_CountdownShown = 0;
    g_DisplayMode = kKeyModeEnterOnly;
}

int32_t Screen_CountdownKey(uint32_t event) {
    if (!s_CountdownShown && Timer_Expired(kTimerCountdown)) {
        // Stopped so that the question is drawn once per countdown.
        Timer_Stop(kTimerCountdown);
        Menu_ClearStatusRows();
        Lcd_DrawTextRef(kRowStatus, 0, kTextReinstallSensor);
        Lcd_DrawTextRef(kRowMessage, 0, kTextPressEnter);
        s_CountdownShown = 1;
    } else if (event == kEventEnter && s_CountdownShown) {
        s_CountdownShown = 0;
        Timer_StartTicks(kTimerDisplayRefresh, 1, 0);
    }
    return -1;
}

void Screen_DrawSensorTimerLine(uint32_t, uint32_t item, uint32_t line) {
    // Per item: the sensor's indicator shown, and how its number is laid out.
    struct TimerLine {
        uint32_t indicator;
        uint8_t width;
        uint8_t decimals;
        uint8_t baseColumn;
    };
    static const TimerLine kLines[4] = {{kDiagLifetimeDays, 4, 0, 120},
                                        {kDiagTtmDays, 5, 1, 114},
                                        {kDiagActDays, 3, 0, 126},
                                        {kDiagOperatingDays, 4, 0, 114}};
    if (item >= 4) return;
    uint32_t row = line == 0 ? kRowStatus : kRowMessage;
    float value = g_DiagIndicators[kLines[item].indicator];
    Lcd_ClearSpan(row, 0, kLcdColumns);
    Lcd_DrawTextRef(row, 0, Text_Nth(kTextSensorTimerTitles, item));
    char unit[kTextMaxChars + 1];
    uint32_t unitWidth = 6 * Text_Copy(kTextDayUnit, unit);
    char text[kNumberTextMax + 1];
    Util_FloatToText(value, 255, kLines[item].decimals, text);
    Text_RightJustify(text, kLines[item].width);
    uint32_t column = kLines[item].baseColumn >= unitWidth ? kLines[item].baseColumn - unitWidth : 0;
    column += 6 * Lcd_DrawText(row, column, text);
    Lcd_DrawText(row, column, unit);
}

void Screen_ResetState() { s_CountdownShown = 0; }
