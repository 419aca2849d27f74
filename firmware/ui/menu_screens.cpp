// The screen table: every screen of the stack with its enter code, draw operation and key
// operation. The screens that belong to the engine itself (the measurement screen, "calibration
// not done", the resistance pages) are written here; the others live with their pages.
#include "ui/menu_screens.h"

#include <array>

#include "core/fw_hook.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "outputs/pid.h"
#include "outputs/sensor_alarm.h"
#include "ui/edit_pages.h"
#include "ui/home.h"
#include "ui/info_screens.h"
#include "ui/menu.h"
#include "ui/menu_tasks.h"
#include "ui/menu_tree.h"
#include "ui/msg_page.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/password_page.h"
#include "ui/pid_pages.h"
#include "ui/screens.h"
#include "ui/select_screen.h"
#include "ui/service_pages.h"
#include "ui/value_page.h"
#include "ui/vdx_page.h"

typedef int32_t (*MenuDrawOp)();
typedef int32_t (*MenuKeyOp)(uint32_t event);

// The plug-and-measure states the measurement screen's keys change.
static constexpr uint8_t kPlugAutoclaveQuestion = kPlugAutoclave;

static uint32_t PositionChannel() { return Menu_ChannelOfPosition(g_MenuPosition); }

// ---- The measurement screen --------------------------------------------------------------------

static int32_t DrawHome() {
    Fw_HardwareHook();
    g_MenuLastNode = 0;
    if (g_TimedHold) Timer_StartTicks(kTimerTimedHold, 20, 0);  // the hold ends 20 s after the return
    Menu_CheckPolarizationHold();
    Cal_SelectMeasurement(2, 0);
    // An output driven by a page (output test, output calibration) follows its measurement again.
    NumEdit_SetOutputOverride(0);
    g_MenuPositionPending = 0;
    Settings_CopyAll();
    Lcd_ClearAll();
    Menu_BlinkOff();
    Menu_ForgetFailureText();
    g_DisplayMode = kKeyModeHome;
    Timer_SetCallback(kTimerBlink, 1, Lcd_SetBlinkPhase);
    Timer_Stop(kTimerInactivity);
    if (Menu_HomeOwnsDisplay()) {
        Home_Draw(&g_MeasLines, Settings_PidMayRun() ? 2 : 1, Menu_MessagesToShow());
    } else {
        Screen_EndTimedHold();
        Menu_EndChannelHoldIfActive();
        if (Vdx_TakeChooseRequest()) {
            Vdx_ChoosePlugState(1);
            Vdx_ResumePlugState();
        }
        Vdx_StepPlugMachine();
        Vdx_OnPlugTimer();
    }
    return -1;
}

static int32_t KeyHome(uint32_t event) {
    if (Menu_HomeOwnsDisplay()) {
        if (!Menu_PidManualOnHome()) return -1;
        // The percent stays a float: steps of 0.2 % add up.
        int32_t result = Screen_PidManualKey(event, Pid_GetManualOutput() * 100.0f);
        if (result == static_cast<int32_t>(kActionPidUnchanged)) return -1;
        Pid_DrawOutputLine(1, Pid_GetManualOutput() * 100.0f);
        return result;
    }
    // Channel B while plug-and-measure runs: its screens answer the keys.
    Timer_Stop(kTimerInactivity);
    Screen_EndTimedHold();
    Menu_EndChannelHoldIfActive();
    if (Vdx_TakeChooseRequest()) {
        Vdx_ChoosePlugState(1);
        Vdx_ResumePlugState();
    }
    int32_t result = Vdx_StepPlugMachine();
    if (result == static_cast<int32_t>(kActionPlugQuestion)) {
        result = Vdx_PlugYesNoKey(event);
        uint8_t state = Vdx_GetPlugState();
        uint8_t previous = Vdx_GetPreviousPlugState();
        if (state == kPlugAutoclaveQuestion) {
            if (result != -1) {
                Menu_BlinkOff();
                Menu_ClearStatusRows();
                if (result == static_cast<int32_t>(kActionPlugYes)) {
                    SensDiag_IncrementAutoclaveCount(1);
                    Vdx_BeginAutoclaveWait();
                    g_DisplayMode = kKeyModeBusy;
                    Vdx_SetChooseRequest();
                    Lcd_DrawTextRef(kRowMessage, 0, kTextPleaseWait);
                } else {
                    Vdx_SetPlugState(kPlugIdle);
                }
            }
        } else if (result == static_cast<int32_t>(kActionPlugYes)) {
            Vdx_SetPlugState(previous == 2 ? 12 : 24);
        } else if (result == static_cast<int32_t>(kActionPlugNo)) {
            Vdx_SetPlugState(previous == 2 ? 14 : 26);
        }
    }
    if (result == static_cast<int32_t>(kActionPlugTarget) && event == kEventHomeEnter) Vdx_SetPlugTarget(1);
    Vdx_OnPlugTimer();
    return Vdx_GetPendingPlugPage();
}

// ---- Screens of the engine ------------------------------------------------------------------------

static int32_t DrawCalNotDone() {
    Menu_ClearStatusRows();
    Lcd_DrawTextRef(kRowStatus, 0, kTextCalibrationNotDone);
    Lcd_DrawTextRef(kRowMessage, 0, kTextPressEnterToExit);
    Menu_EndChannelHoldIfActive();
    g_DisplayMode = g_ChosenMode == 2 || Menu_IsCalPosition() ? kKeyModeMessage : kKeyModeEnterOnly;
    return -1;
}

static int32_t KeyCalNotDone(uint32_t event) {
    return event == kEventEnter ? static_cast<int32_t>(kActionReinstallCountdown) : -1;
}

// The three resistance pages: ESC and 62 lead home, the one-second tick redraws the page.
static int32_t ResistanceKey(void (*draw)(uint32_t channel), uint32_t event) {
    if (event == kEventEscape || event == kEventRedraw) return kEventHome;
    if (event == kEventSecond) draw(Menu_CurrentChannel());
    return -1;
}

static int32_t KeyGlassRes(uint32_t event) { return ResistanceKey(SensorAlarm_DrawGlassResPage, event); }
static int32_t KeyRefRes(uint32_t event) { return ResistanceKey(SensorAlarm_DrawRefResPage, event); }
static int32_t KeyPnaGlassRes(uint32_t event) { return ResistanceKey(SensorAlarm_DrawPnaGlassResPage, event); }

// The tree's item blinks on row 12, where these pages draw: it stops, or every blink would
// write the item back over the page.
static int32_t DrawGlassRes() {
    Menu_BlinkOff();
    SensorAlarm_DrawGlassResPage(Menu_CurrentChannel());
    return -1;
}

static int32_t DrawRefRes() {
    Menu_BlinkOff();
    SensorAlarm_DrawRefResPage(Menu_CurrentChannel());
    return -1;
}

static int32_t DrawPnaGlassRes() {
    Menu_BlinkOff();
    SensorAlarm_DrawPnaGlassResPage(Menu_CurrentChannel());
    return -1;
}

// ---- Generic pages ----------------------------------------------------------------------------

static int32_t OpenParamPageOfPending(uint32_t mode) {
    uint32_t page = Menu_PendingRecord(kIdTableParamPages);
    if (mode == 0) {
        g_DisplayMode = kKeyModeMenu;
        uint32_t pending = g_PendingMenuItem;
        if (pending == 0x400001 || pending == 0x400002 || pending == 0x400003 || pending == kActionOutputSetupPage) {
            ParamPage_ResetSelectors(pending == 0x400003 ? 1 : 0);
        }
        if (pending == kItemSensorMonitoring) {
            uint8_t channel = Menu_CurrentChannel();
            if (Menu_ActiveKind(channel) == kKindO2Optical) {
                page = (SensDiag_GetCycleAlarmEnable() & 0x40) == 0 ? 70 : 64;
            } else if (channel == 1 && Settings_GetEditKind(1) == kKindCo2) {
                page = 84;
            }
        }
    }
    return ParamPage_Open(page, mode);
}

static int32_t DrawParamPage() { return OpenParamPageOfPending(0); }
static int32_t DrawParamPageRedraw() { return OpenParamPageOfPending(1); }
static int32_t DrawValuePage() { return ValuePage_BeginEdit(0, Menu_PendingRecord(kIdTableValuePages)); }
static int32_t DrawNumericEditor() { return ValuePage_BeginEdit(3, Menu_PendingRecord(kIdTableNumFields)); }

static int32_t KeyNumericEditor(uint32_t event) {
    // The editor sleeps while a sensor save is under way.
    if (g_SaveWaitBits & kSaveWaitSensor) return -1;
    return NumEdit_Screen(event);
}

static int32_t DrawTreeMenu() {
    Settings_CopyAll();
    Chan_LoadCalEditValues(0, 0);
    Chan_LoadCalEditValues(1, 0);
    Menu_TreeBegin();
    Menu_EnterNode(1);
    return -1;
}

static int32_t DrawTreeInfo() {
    Settings_CopyAll();
    Menu_TreeBegin();
    Menu_EnterNode(2);
    return -1;
}

// ---- Selection screen and the fixed pages ------------------------------------------------------

static int32_t DrawSelectCal() {
    Screen_SelectShow(0, 0);
    return -1;
}

static int32_t DrawSelectMode1() {
    Screen_SelectShow(1, 0);
    return -1;
}

static int32_t DrawSelectMode2() {
    Screen_SelectShow(2, 0);
    return -1;
}

static int32_t DrawSelectMode3() {
    Screen_SelectShow(3, 0);
    return -1;
}

static int32_t KeySelect(uint32_t event) { return Screen_SelectKey(event); }

static int32_t DrawLineSetup() {
    Home_SetupDraw(0, 0);
    return -1;
}

static int32_t DrawTempSource() {
    Screen_TempSourceDraw(0);
    return -1;
}

static int32_t DrawVerifyCal() {
    Screen_VerifyCalDraw(PositionChannel());
    return -1;
}

static int32_t DrawDisplayTest() {
    Screen_DisplayTestStart();
    return -1;
}

static int32_t DrawMemoryTest() {
    Screen_MemoryTestDraw();
    return -1;
}

static int32_t DrawKeypadTest() {
    Screen_KeypadTestDraw();
    return -1;
}

static int32_t DrawDigitalInputs() {
    Screen_DigInDraw();
    return -1;
}

static int32_t KeyDigitalInputs(uint32_t) {
    Screen_DigInValues();
    return -1;
}

static int32_t DrawLockout() {
    Screen_PasswordDraw(0);
    return -1;
}

static int32_t DrawCalEdit() {
    Screen_CalEditDraw(PositionChannel(), 0);
    return -1;
}

static int32_t DrawCalEdit2() {
    Screen_CalEditSecondForm();
    return -1;
}

// The page edits the channel it shows.
static int32_t KeyCalEdit(uint32_t event) { return Screen_CalEditKey(event, Screen_CalEditChannel()); }

static int32_t DrawRevision() {
    Screen_RevisionOpen();
    return -1;
}

static int32_t DrawLinComp() {
    Screen_LinCompDraw(0, 0);
    return -1;
}

static int32_t DrawAoutHoldValue() {
    Screen_AoutMaDraw(ParamPage_SelectedOutput(), 0);
    return -1;
}

static int32_t DrawMessages() {
    Msg_SetChanged();
    Msg_DrawPage();
    g_DisplayMode = kKeyModeMenu;
    return -1;
}

static int32_t DrawReadOc() {
    Screen_ReadOcDraw();
    return -1;
}

static int32_t DrawReadAnalogOutputs() {
    Screen_AoutTestDraw();
    return -1;
}

static int32_t DrawReadAnalogInputs() {
    Screen_AinDraw();
    return -1;
}

static int32_t KeyReadAnalogInputs(uint32_t) {
    Screen_AinValue();
    return -1;
}

static int32_t DrawMeterCalFactors() {
    Screen_InfoShow();
    return -1;
}

static int32_t DrawPidMode() {
    Screen_PidModeDraw(0);
    return -1;
}

static int32_t DrawPidTune() {
    Screen_PidTuneDraw(0);
    return -1;
}

static int32_t DrawPidLimits1() {
    Screen_PidLimitsDraw(0, 0);
    return -1;
}

static int32_t DrawPidLimits2() {
    Screen_PidLimitsDraw(1, 0);
    return -1;
}

static int32_t KeyPidLimits1(uint32_t event) { return Screen_PidLimitsKey(0, event); }
static int32_t KeyPidLimits2(uint32_t event) { return Screen_PidLimitsKey(1, event); }

static int32_t DrawCalCompensation() {
    Screen_CompCoefDraw(0);
    return -1;
}

static int32_t DrawList() {
    Screen_ListShow(g_CalPoint, 0);
    return -1;
}

static int32_t DrawList2() {
    Screen_List2Show(0);
    return -1;
}

static int32_t DrawHoldCountdown() {
    Screen_HoldCountdownShow();
    return -1;
}

static int32_t DrawConfigWarning() {
    Screen_ConfigWarnDraw(0);
    return -1;
}

static int32_t DrawWaitForBoard() {
    Screen_PleaseWaitDraw();
    return -1;
}

static int32_t DrawReinstallCountdown() {
    Screen_CountdownDraw();
    return -1;
}

// ---- The digital sensor's pages ----------------------------------------------------------------

static int32_t DrawCalHistory() {
    VdxPage_OpenCalHistory(Menu_CurrentChannel());
    return -1;
}

static int32_t DrawSensorInfo() {
    VdxPage_DrawSensorInfo(0);
    return -1;
}

static int32_t DrawCalData() {
    VdxPage_OpenCalData(0, 1);
    return -1;
}

static int32_t DrawCipCycles() {
    VdxPage_DrawCycles(0, 1);
    return -1;
}

static int32_t DrawSipCycles() {
    VdxPage_DrawCycles(1, 1);
    return -1;
}

static int32_t DrawAutoclaveCycles() {
    VdxPage_DrawCycles(2, 1);
    return -1;
}

static int32_t KeyCycles(uint32_t event) {
    return event == kEventEnter ? static_cast<int32_t>(kActionBackToFirst) : -1;
}

static int32_t DrawSensorTimers() {
    VdxPage_DrawTimers(1, 0);
    return -1;
}

static int32_t DrawMaxTemperature() {
    VdxPage_DrawMaxTemp();
    return -1;
}

static int32_t KeyMaxTemperature(uint32_t event) {
    int32_t result = VdxPage_MaxTempKey(event);
    return event == kEventEnter ? static_cast<int32_t>(kActionBackToFirst) : result;
}

static int32_t DrawCycleLimitSetup() {
    uint32_t item = g_PendingMenuItem >= kItemCipCycleLimit && g_PendingMenuItem <= kItemAutoclaveCycleLimit
                        ? g_PendingMenuItem - kItemCipCycleLimit
                        : 0;
    VdxPage_DrawSetup(item, 0);
    return -1;
}

static int32_t DrawOpticalErrors() {
    VdxPage_OpenOptErrors();
    return -1;
}

// ---- The table -----------------------------------------------------------------------------------

// A screen: its id, the enter code whose draw operation enters it, and its key operation (none
// where the screen ends only by a time-out or by ESC). The parameter page has a second entry: its
// enter code in mode 1, which redraws it.
struct ScreenEntry {
    uint8_t screen;
    int32_t enterCode;
    MenuDrawOp draw;
    MenuKeyOp key;
};

static constexpr ScreenEntry kScreens[] = {
    {kScreenHome, kEnterHome, DrawHome, KeyHome},
    {kScreenSelectCal, kEnterSelectCal, DrawSelectCal, KeySelect},
    {kScreenTreeMenu, kEnterTreeMenu, DrawTreeMenu, Menu_TreeKey},
    {kScreenNumericEditor, kEnterNumericEditor, DrawNumericEditor, KeyNumericEditor},
    {kScreenTreeInfo, kEnterTreeInfo, DrawTreeInfo, Menu_TreeKey},
    {kScreenSelectMode1, kEnterSelectMode1, DrawSelectMode1, KeySelect},
    {kScreenLineSetup, kEnterLineSetup, DrawLineSetup, Home_SetupKey},
    {kScreenParamPage, kEnterParamPage, DrawParamPage, ParamPage_Screen},
    {kScreenParamPage, kEnterParamPageRedraw, DrawParamPageRedraw, ParamPage_Screen},
    {kScreenValuePage, kEnterValuePage, DrawValuePage, ValuePage_Screen},
    {kScreenCalNotDone, kEnterCalNotDone, DrawCalNotDone, KeyCalNotDone},
    {kScreenSelectMode2, kEnterSelectMode2, DrawSelectMode2, KeySelect},
    {kScreenSelectMode3, kEnterSelectMode3, DrawSelectMode3, KeySelect},
    {kScreenTempSource, kEnterTempSource, DrawTempSource, Screen_TempSourceKey},
    {kScreenVerifyCal, kEnterVerifyCal, DrawVerifyCal, Screen_VerifyCalKey},
    {kScreenDisplayTest, kEnterDisplayTest, DrawDisplayTest, nullptr},
    {kScreenMemoryTest, kEnterMemoryTest, DrawMemoryTest, nullptr},
    {kScreenKeypadTest, kEnterKeypadTest, DrawKeypadTest, Screen_KeypadTestKey},
    {kScreenDigitalInputs, kEnterDigitalInputs, DrawDigitalInputs, KeyDigitalInputs},
    {kScreenLockout, kEnterLockout, DrawLockout, Screen_PasswordKey},
    {kScreenCalEdit, kEnterCalEdit, DrawCalEdit, KeyCalEdit},
    {kScreenRevision, kEnterRevision, DrawRevision, Screen_RevisionKey},
    {kScreenLinComp, kEnterLinComp, DrawLinComp, Screen_LinCompKey},
    {kScreenAoutHoldValue, kEnterAoutHoldValue, DrawAoutHoldValue, Screen_AoutMaKey},
    {kScreenMessages, kEnterMessages, DrawMessages, Msg_PageKey},
    {kScreenReadOc, kEnterReadOc, DrawReadOc, Screen_ReadOcKey},
    {kScreenReadAnalogOutputs, kEnterReadAnalogOutputs, DrawReadAnalogOutputs, Screen_AoutTestKey},
    {kScreenMeterCalFactors, kEnterMeterCalFactors, DrawMeterCalFactors, Screen_InfoKey},
    {kScreenGlassRes, kEnterGlassRes, DrawGlassRes, KeyGlassRes},
    {kScreenRefRes, kEnterRefRes, DrawRefRes, KeyRefRes},
    {kScreenCalHistory, kEnterCalHistory, DrawCalHistory, VdxPage_CalHistoryKey},
    {kScreenPidMode, kEnterPidMode, DrawPidMode, Screen_PidModeKey},
    {kScreenPidTune, kEnterPidTune, DrawPidTune, Screen_PidTuneKey},
    {kScreenPidLimits1, kEnterPidLimits1, DrawPidLimits1, KeyPidLimits1},
    {kScreenPidLimits2, kEnterPidLimits2, DrawPidLimits2, KeyPidLimits2},
    {kScreenCalCompensation, kEnterCalCompensation, DrawCalCompensation, Screen_CompCoefKey},
    {kScreenList, kEnterList, DrawList, Screen_ListKey},
    {kScreenCalEdit2, kEnterCalEdit2, DrawCalEdit2, KeyCalEdit},
    {kScreenSensorInfo, kEnterSensorInfo, DrawSensorInfo, VdxPage_SensorInfoKey},
    {kScreenCalData, kEnterCalData, DrawCalData, VdxPage_CalDataKey},
    {kScreenCipCycles, kEnterCipCycles, DrawCipCycles, KeyCycles},
    {kScreenSipCycles, kEnterSipCycles, DrawSipCycles, KeyCycles},
    {kScreenAutoclaveCycles, kEnterAutoclaveCycles, DrawAutoclaveCycles, KeyCycles},
    {kScreenSensorTimers, kEnterSensorTimers, DrawSensorTimers, VdxPage_TimersKey},
    {kScreenMaxTemperature, kEnterMaxTemperature, DrawMaxTemperature, KeyMaxTemperature},
    {kScreenCycleLimitSetup, kEnterCycleLimitSetup, DrawCycleLimitSetup, VdxPage_SetupKey},
    {kScreenReadAnalogInputs, kEnterReadAnalogInputs, DrawReadAnalogInputs, KeyReadAnalogInputs},
    {kScreenList2, kEnterList2, DrawList2, Screen_List2Key},
    {kScreenOpticalErrors, kEnterOpticalErrors, DrawOpticalErrors, VdxPage_OptErrorsKey},
    {kScreenReinstallCountdown, kEnterReinstallCountdown, DrawReinstallCountdown, Screen_CountdownKey},
    {kScreenHoldCountdown, kEnterHoldCountdown, DrawHoldCountdown, Screen_HoldCountdownTick},
    {kScreenConfigWarning, kEnterConfigWarning, DrawConfigWarning, Screen_ConfigWarnKey},
    {kScreenPnaGlassRes, kEnterPnaGlassRes, DrawPnaGlassRes, KeyPnaGlassRes},
    {kScreenWaitForBoard, kEnterWaitForBoard, DrawWaitForBoard, Menu_Back},
};

// The table by enter code and by screen id, built once by the compiler.
static constexpr std::array<MenuDrawOp, kEnterCount> DrawOpsByEnterCode() {
    std::array<MenuDrawOp, kEnterCount> ops{};
    for (const ScreenEntry& entry : kScreens) ops[static_cast<uint32_t>(entry.enterCode)] = entry.draw;
    return ops;
}

static constexpr std::array<MenuKeyOp, kScreenCount> KeyOpsByScreen() {
    std::array<MenuKeyOp, kScreenCount> ops{};
    for (const ScreenEntry& entry : kScreens) ops[entry.screen] = entry.key;
    return ops;
}

static constexpr std::array<MenuDrawOp, kEnterCount> kDrawOps = DrawOpsByEnterCode();
static constexpr std::array<MenuKeyOp, kScreenCount> kKeyOps = KeyOpsByScreen();

int32_t Menu_EnterScreen(uint32_t code) {
    if (code >= kEnterCount || kDrawOps[code] == nullptr) return -1;
    int32_t result = kDrawOps[code]();
    // Only the page openers hand a result on.
    bool opener = code == static_cast<uint32_t>(kEnterParamPage) ||
                  code == static_cast<uint32_t>(kEnterParamPageRedraw) ||
                  code == static_cast<uint32_t>(kEnterValuePage);
    return opener ? result : -1;
}

int32_t Menu_ScreenEvent(uint8_t screen, uint32_t event) {
    int32_t result = -1;
    if (screen < kScreenCount && kKeyOps[screen] != nullptr) result = kKeyOps[screen](event);
    // The end of the hold-release countdown opens its next screen without waiting for the tasks.
    if (screen == kScreenHoldCountdown && result == static_cast<int32_t>(kActionList)) return result;
    if (event == kEventSecond) result = Menu_RunSecondTasks(screen, result);
    return result;
}
