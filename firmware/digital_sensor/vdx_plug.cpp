// Plug-and-measure: the state machine that decides what a sensor plugged into channel B is, its
// screens and questions, the take-over of a new sensor, and the settings exchanged with it.
#include "digital_sensor/vdx.h"

#include <cmath>
#include <cstring>

#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/param.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "core/ui_ids.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx_ident.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "settings/settings_sensor.h"

uint8_t g_SensorPlugged[2];

// The page the measurement screen shows while a plug is pending.
static constexpr int32_t kPendingPage = static_cast<int32_t>(kEventEscape);
// Display rows of the screens.
static constexpr uint32_t kRow11 = 11;
static constexpr uint32_t kRow12 = 12;
// The answer field: "Yes" or "No", blinking, at one column per question.
static constexpr uint32_t kAnswerColumnKind = 120;
static constexpr uint32_t kAnswerColumn = 114;
static constexpr uint32_t kAnswerWidth = 30;
static constexpr uint32_t kAnswerYes = 0;
static constexpr uint32_t kAnswerNo = 1;
// The optical sensor takes longer to resume.
static constexpr uint32_t kOpticalResumeSeconds = 10;
// Calibration polarization voltages (mV): every amperometric kind but the gas sensor's.
static constexpr int16_t kCalPolarization = -674;
static constexpr int16_t kCalPolarizationGas = -800;
// Parameters of channel B's optical sensor: 41 the stored value, 42 the LED mode as stored (the
// option word at 383), 44 the same sent again, 45 the stored value's copy, 46 the mode flag; 22 and
// 24 its range values.
static constexpr uint32_t kParamStoredValue = 41;
static constexpr uint32_t kParamLedStored = 42;
static constexpr uint32_t kParamLedByte = 44;
static constexpr uint32_t kParamStoredCopy = 45;
static constexpr uint32_t kParamModeFlag = 46;
// The S133 value travels in thousandths.
static constexpr float kS133Scale = 1000.0f;
static constexpr uint32_t kRegisterSip = 1;
static constexpr uint32_t kRegisterCip = 2;
static constexpr uint32_t kRegisterAutoclave = 3;

// The short kind names of the screens, the same in every language.
static const char* const kKindNames[] = {" ",     "pH",    "pH/pNa", "Cond2",  "Cond4", "O2 hi",
                                         "O2 lo", "O2 Tr", "ppmO2G", "O2 Opt", "CO2"};
static constexpr uint32_t kKindNameCount = sizeof kKindNames / sizeof kKindNames[0];

struct PlugState {
    uint8_t state;
    uint8_t previous;
    uint8_t target[2];
    uint8_t pending;
    uint8_t chooseRequest;
    uint8_t autoclaveWait;
    uint32_t choice;  // kAnswerYes or kAnswerNo shown
    uint32_t latch;   // 0 after a question screen was drawn
    uint32_t answerColumn;
};
static PlugState s_Plug;

void Vdx_ResetPlug() {
    s_Plug = PlugState{kPlugIdle, kPlugIdle, {7, 8}, 0, 0, 0, kAnswerYes, 1, kAnswerColumn};
    g_SensorPlugged[0] = g_SensorPlugged[1] = 0;
}

void Vdx_InitPlugMachine() {
    s_Plug.target[0] = 7;
    s_Plug.target[1] = 8;
    s_Plug.chooseRequest = 0;
    s_Plug.previous = s_Plug.state = kPlugIdle;
    g_SensorPlugged[0] = 0;
    Vdx_GetPendingPlugPage();
}

uint8_t Vdx_GetPlugState() { return s_Plug.state; }
void Vdx_SetPlugState(uint8_t state) { s_Plug.state = state; }
uint8_t Vdx_GetPreviousPlugState() { return s_Plug.previous; }
void Vdx_SetPlugTarget(uint8_t state) { s_Plug.target[0] = state; }
uint8_t Vdx_GetPlugTarget(uint32_t channel) { return channel < 2 ? s_Plug.target[channel] : 0; }

uint8_t Vdx_TakeChooseRequest() {
    if (!s_Plug.chooseRequest) return 0;
    s_Plug.chooseRequest = 0;
    return 1;
}

void Vdx_SetChooseRequest() { s_Plug.chooseRequest = 1; }

int32_t Vdx_GetPendingPlugPage() {
    if (g_SensorPlugged[1]) {
        s_Plug.autoclaveWait = 0;
        g_SensorPlugged[1] = 0;
        s_Plug.pending = 1;
        s_Plug.state = kPlugPending;
        s_Plug.chooseRequest = 1;
    }
    return s_Plug.pending ? kPendingPage : -1;
}

// ---- The decision ------------------------------------------------------------------------------

static uint8_t ChooseTarget() {
    const uint32_t b = 1;
    uint32_t k = g_SensorKindDetected[b];
    if (k == kKindNone) return kPlugNoSensor;
    if (k == kKindNoSensor) return kPlugUnknown;
    bool loaded = g_SensorDataLoaded[b] != 0;
    if (k != g_ChannelKind[b]) {
        if (!g_AutoConfigure[b]) return kPlugNotAutoConfigured;
        return loaded ? kPlugChangeKind : kPlugLoadNew;
    }
    if (!loaded) return kPlugLoadNew;
    if (Vdx_GetModelNumber(b) != g_ChannelSensorId[b]) return kPlugChangeModel;
    return Vdx_GetSerialNumber(b) != g_SensorSecondId[b] ? kPlugNewSerial : kPlugResume;
}

void Vdx_ChoosePlugState(uint32_t channel) {
    if (!s_Plug.pending || channel > 1) return;
    uint8_t target = ChooseTarget();
    // Channel A's targets are the odd states below channel B's; only channel B is driven.
    s_Plug.target[channel] = channel == 1 ? target : static_cast<uint8_t>(target - 1);
}

void Vdx_ResumePlugState() {
    if (!s_Plug.pending) return;
    s_Plug.pending = 0;
    s_Plug.state = s_Plug.target[1];
    if (s_Plug.state == kPlugChangeKind) s_Plug.latch = 1;
}

// ---- Screens -------------------------------------------------------------------------------------

static TextRef PlugText(uint32_t n) { return Text_Nth(kTextPlugTexts, n); }
enum : uint32_t {
    kTextChangeToNewSensor = 0,
    kTextLoadingData = 1,
    kTextRemoveSensor = 2,
    kTextResuming = 3,
    kTextIncrementAutoclave = 4,
    kTextChannelB = 5,
    kTextUnknownSensor = 6,
    kTextNoSensor = 7,
    kTextNotAutoConfigured = 8,
};

static const char* KindName(uint32_t kind) { return kind < kKindNameCount ? kKindNames[kind] : ""; }

// Draws words one after the other from a column, a blank between them; returns the next column.
static uint32_t DrawWord(uint32_t row, uint32_t column, const char* text) {
    if (text[0] == '\0') return column;
    return column + 6 * (Lcd_DrawText(row, column, text) + 1);
}

static uint32_t DrawRef(uint32_t row, uint32_t column, TextRef text) {
    return column + 6 * (Lcd_DrawTextRef(row, column, text) + 1);
}

static void TypeText(char* text) {
    if (Vdx_GetTypeText(1, text) == 0) std::strcpy(text, "");
}

// The question's answer field, "Yes" first.
static void BeginQuestion(uint32_t column) {
    s_Plug.latch = 0;
    s_Plug.choice = kAnswerYes;
    s_Plug.answerColumn = column;
    Timer_Stop(kTimerPlug);
    Lcd_DrawTextRefBlink(kRow12, column, kTextYesNo);
}

static void StartTimer(uint32_t seconds) { Timer_StartTicks(kTimerPlug, seconds, 0); }

static bool IsOpticalSensor() { return g_SensorKindDetected[1] == kKindO2Optical; }

// A known sensor (or a new one of the same model) takes up its work: adopted, the optical
// sensor's stored value written back, the polarization sent, the transmitter's settings pushed.
static void AdoptKnownSensor() {
    Chan_ApplyNewSensor(1);
    uint32_t kind = g_SensorKindActive[1];
    if (kind == kKindO2Optical) Vdx_WriteOptParam45(1);
    Vdx_ResendPolarization(1, kind);
    Vdx_PushSettingsToSensor();
}

// A command-protocol sensor's cycle registers into the edited cycle limits.
static void ReadSlotCountsIntoEdit() {
    uint32_t counts[kCycleKinds];
    Settings_ReadSlotCounts(counts);
    for (uint32_t k = 0; k < kCycleKinds; ++k) g_SlotEdit.cycle[k].limit = counts[k];
}

static void DrawState(uint8_t state) {
    char type[kVdxTypeTextMax + 2];
    uint32_t requested = g_SensorKindDetected[1];
    uint32_t column = 0;
    switch (state) {
        case kPlugChangeKind:
            Lcd_DrawTextRef(kRow11, 0, PlugText(kTextChangeToNewSensor));
            column = DrawWord(kRow12, 0, KindName(requested));
            TypeText(type);
            std::strcat(type, "?");
            Lcd_DrawText(kRow12, column, type);
            BeginQuestion(kAnswerColumnKind);
            break;
        case kPlugResume:
            Lcd_DrawTextRef(kRow11, 0, PlugText(kTextResuming));
            Lcd_DrawTextRef(kRow12, 0, kTextWithPreviousSettings);
            StartTimer(IsOpticalSensor() ? kOpticalResumeSeconds : 3);
            AdoptKnownSensor();
            break;
        case kPlugUnknown:
            Lcd_DrawTextRef(kRow11, 0, PlugText(kTextUnknownSensor));
            StartTimer(5);
            break;
        case kPlugNoSensor:
            Lcd_DrawTextRef(kRow11, 0, PlugText(kTextNoSensor));
            StartTimer(5);
            Settings_CopySlots();
            break;
        case kPlugNotAutoConfigured:
            Lcd_DrawTextRef(kRow11, 0, PlugText(kTextNotAutoConfigured));
            column = DrawRef(kRow12, 0, PlugText(kTextChannelB));
            column = DrawRef(kRow12, column, kTextAcceptsOnly);
            Lcd_DrawText(kRow12, column, KindName(g_ChannelKind[1]));
            StartTimer(5);
            Vdx_RaiseWrongSensor(1);
            break;
        case kPlugLoadNewKind:
            Lcd_DrawTextRef(kRow11, 0, kTextStandBy);
            Lcd_DrawTextRef(kRow12, 0, PlugText(kTextLoadingData));
            StartTimer(5);
            Vdx_ApplyNewSensor(1);
            break;
        case kPlugRemoveRefused:
        case kPlugRemoveModel:
            Lcd_DrawTextRef(kRow11, 0, kTextNote);
            Lcd_DrawTextRef(kRow12, 0, PlugText(kTextRemoveSensor));
            StartTimer(2);
            Vdx_RaiseWrongSensor(1);
            break;
        case kPlugLoadNew:
            column = DrawRef(kRow11, 0, PlugText(kTextChannelB));
            column = DrawWord(kRow11, column, KindName(requested));
            TypeText(type);
            Lcd_DrawText(kRow11, column, type);
            Lcd_DrawTextRef(kRow12, 0, PlugText(kTextLoadingData));
            StartTimer(5);
            Vdx_ApplyNewSensor(1);
            break;
        case kPlugNewSerial:
            column = DrawRef(kRow11, 0, kTextNew);
            TypeText(type);
            column = DrawWord(kRow11, column, type);
            Lcd_DrawTextRef(kRow11, column, PlugText(kTextChannelB));
            Lcd_DrawTextRef(kRow12, 0, PlugText(kTextLoadingData));
            StartTimer(IsOpticalSensor() ? kOpticalResumeSeconds : 5);
            AdoptKnownSensor();
            break;
        case kPlugChangeModel:
            Lcd_DrawTextRef(kRow11, 0, PlugText(kTextChangeToNewSensor));
            TypeText(type);
            std::strcat(type, "?");
            Lcd_DrawText(kRow12, 0, type);
            BeginQuestion(kAnswerColumn);
            break;
        case kPlugAutoclave:
            Lcd_DrawTextRef(kRow11, 0, PlugText(kTextIncrementAutoclave));
            Lcd_DrawTextRef(kRow12, 0, kTextCycleCounter);
            BeginQuestion(kAnswerColumn);
            break;
        case kPlugLoadNewModel: {
            Lcd_DrawTextRef(kRow11, 0, kTextStandBy);
            Lcd_DrawTextRef(kRow12, 0, PlugText(kTextLoadingData));
            StartTimer(5);
            SensDiag_ClearIntervals(1);
            if (g_SensorProtoFlag[1] == 1) ReadSlotCountsIntoEdit();
            Chan_ApplyNewSensor(1);
            Vdx_ReadSensorSetup();
            uint32_t status = 0;
            Vdx_SaveChannelConfig(&status);
            Vdx_ReadOptParam41(1);
            Vdx_ApplyPolarization(1, g_SensorKindActive[1]);
            Vdx_AdoptSensorSettings(1);
            break;
        }
        default:
            break;
    }
}

static bool IsQuestion(uint8_t state) {
    return state == kPlugChangeKind || state == kPlugChangeModel || state == kPlugAutoclave;
}

int32_t Vdx_StepPlugMachine() {
    uint8_t state = s_Plug.state;
    if (state == s_Plug.previous) {
        if (!IsQuestion(state)) return -1;
        return s_Plug.latch == 0 ? static_cast<int32_t>(kActionPlugQuestion) : -1;
    }
    if (state != kPlugIdle && state != kPlugPending) {
        g_BlinkField.active = 0;
        Lcd_FillStatusRows(0);
        DrawState(state);
    }
    s_Plug.previous = state;
    return -1;
}

int32_t Vdx_PlugYesNoKey(uint32_t event) {
    switch (event) {
        case kEventUp:
        case kEventInfo:
        case kEventDown:
        case kEventUpRepeat:
        case kEventDownRepeat:
            // The other word at the same column, so that the answer does not move.
            s_Plug.choice = s_Plug.choice == kAnswerYes ? kAnswerNo : kAnswerYes;
            Lcd_ClearSpan(kRow12, s_Plug.answerColumn, kAnswerWidth);
            Lcd_DrawTextRefBlink(kRow12, s_Plug.answerColumn, s_Plug.choice == kAnswerYes ? kTextYesNo : kTextNo);
            return -1;
        case kEventHomeEnter:
        case kEventEnter:
            return static_cast<int32_t>(s_Plug.choice == kAnswerYes ? kActionPlugYes : kActionPlugNo);
        default:
            return -1;
    }
}

void Vdx_OnPlugTimer() {
    if (!Timer_Expired(kTimerPlug)) return;
    Timer_Stop(kTimerPlug);
    uint8_t state = s_Plug.state;
    bool takenOver = state == kPlugLoadNewKind || state == kPlugNewSerial || state == kPlugLoadNewModel ||
                     (state == kPlugResume && g_PlugReplyFlag == 0);
    if (SensDiag_GetAutoclaveCycleLimit(1) > 0 && (g_CycleAlarmEnable & kDiagEnableAutoclave) != 0 && takenOver) {
        s_Plug.state = kPlugAutoclave;
    } else if (s_Plug.pending) {
        s_Plug.pending = 0;
        s_Plug.state = s_Plug.target[1];
    } else {
        s_Plug.previous = s_Plug.state = kPlugIdle;
        g_BlinkField.active = 0;
        Lcd_FillStatusRows(0);
    }
}

void Vdx_ReportAutoclaveSave() {
    if (!s_Plug.autoclaveWait) return;
    uint32_t link = Chan_GetLinkState();
    if (link == 0) {
        s_Plug.autoclaveWait = 0;
        s_Plug.state = kPlugIdle;
        g_DisplayMode = kKeyModeHome;
    } else if (link == 1) {
        s_Plug.autoclaveWait = 0;
        Lcd_DrawText(kRow11, 0, "AutoClave Save Failed!");
        s_Plug.state = kPlugIdle;
        g_DisplayMode = kKeyModeErrorShown;
    }
}

void Vdx_BeginAutoclaveWait() { s_Plug.autoclaveWait = 1; }

// ---- Take-over -----------------------------------------------------------------------------------

void Vdx_ApplyNewSensor(uint32_t channel) {
    if (channel > 1) return;
    uint32_t k = g_SensorKindDetected[channel];
    if (Settings_GetEditKind(channel) != k) {
        Settings_SetEditKind(channel, static_cast<uint8_t>(k));
        g_SensDiagSettings[channel].ttmInterval = 0;
        g_SensDiagSettings[channel].actInterval = 0;
        Chan_ResetForSensorKind(channel, k);
    }
    Vdx_ReadSensorSetup();
    uint32_t status = 0;
    Settings_CommitAll(&status, 0);
    Chan_ApplyNewSensor(channel);
    Vdx_ApplyPolarization(channel, k);
    Vdx_ReadOptParam41(channel);
    Vdx_AdoptSensorSettings(channel);
    if (!g_SensorDataLoaded[channel]) {
        g_SensorDataLoaded[channel] = 1;
        Vdx_SaveLoadedFlag(channel, &status);
    }
    g_SensorPlugged[1] = 0;
}

void Vdx_ReadSensorSetup() {
    uint32_t channel = Chan_GetCurrentChannel();
    if (channel > 1 || g_SensorKindDetected[channel] != kKindO2Optical ||
        Settings_GetEditKind(channel) != kKindO2Optical) {
        return;
    }
    // The measurement lines keep their units; the sensor's mode flag goes to parameter 46.
    uint32_t status = 0;
    uint32_t mode = g_SensorIdent[1].optionByte & 3u;
    Param_SetInt(1, kParamModeFlag, mode == 1 ? 1 : 0, &status);
}

// The optical sensor gets the LED mode the user chose (Off, On, Auto), as it stands in the store:
// the sensor measures only while its LED may light.
static void SendStoredLedMode() {
    uint32_t status = 0;
    uint32_t stored = Param_GetInt(1, kParamLedStored, &status);
    Param_SetInt(1, kParamLedByte, stored, &status);
}

void Vdx_ReadOptParam41(uint32_t channel) {
    if (channel != 1 || g_ChannelKind[1] != kKindO2Optical) return;
    uint32_t status = 0;
    SendStoredLedMode();
    float value = Param_GetFloat(1, kParamStoredValue, 0, &status);
    if (status != 0) return;
    g_SensorEdit.param41 = value;
    Settings_CommitParam41(&status);
}

void Vdx_WriteOptParam45(uint32_t channel) {
    if (channel != 1) return;
    uint32_t status = 0;
    SendStoredLedMode();
    float value = Param_GetFloat(1, kParamStoredValue, 0, &status);
    if (status == 0) Param_SetFloat(1, kParamStoredCopy, 0, value, &status);
}

void Vdx_ApplyPolarization(uint32_t channel, uint32_t kind) {
    if (channel > 1 || !Chan_IsMeasuringKindO2(kind)) return;
    int16_t measuring = static_cast<int16_t>(SensMem_GetPolarizationVoltage(channel));
    Settings_SetEditMeasPolVoltage(channel, measuring);
    Chan_RequestO2Mode(channel, measuring);
    Settings_SetEditCalPolVoltage(channel, kind == kKindO2Gauge ? kCalPolarizationGas : kCalPolarization);
    uint32_t status = 0;
    Settings_CommitSensor(&status);
}

void Vdx_ResendPolarization(uint32_t channel, uint32_t kind) {
    if (channel > 1 || !Chan_IsMeasuringKindO2(kind)) return;
    Chan_RequestO2Mode(channel, Settings_GetEditMeasPolVoltage(channel));
}

static bool IsOpticalProtocol(uint32_t channel) {
    return g_SensorMemLayout[channel] == kLayoutProtocol && g_SensorKindActive[channel] == kKindO2Optical;
}

void Vdx_PushSettingsToSensor() {
    const uint32_t b = 1;
    if (IsOpticalProtocol(b)) {
        SensCmd_SetRegister(b, kRegisterCip, static_cast<uint16_t>(SensDiag_GetCipCycleLimit(b)));
        SensCmd_SetRegister(b, kRegisterSip, static_cast<uint16_t>(SensDiag_GetSipCycleLimit(b)));
        SensCmd_SetRegister(b, kRegisterAutoclave, static_cast<uint16_t>(SensDiag_GetAutoclaveCycleLimit(b)));
        SensorParamRecord& p = g_SensorParams[b];
        p.p[kSensParamCipTempLimit] = g_SensDiagSettings[b].cipTemp;
        p.p[kSensParamSipTempLimit] = g_SensDiagSettings[b].sipTemp;
        p.p[kSensParamSalinity] = g_SensorCal[b].salinity;
        p.p[kSensParamProcessPressure] = CalO2_GetProcPressure(b);
        g_SensorProtocol[b].g133Value = static_cast<float>(g_SensorCal[b].sensorSetting) * kS133Scale;
        Link_QueueItem(kSensCmdS131);
        Link_QueueItem(kSensCmdS134);
        Link_QueueItem(kSensCmdS139);
        Link_QueueItem(kSensCmdS133);
        return;
    }
    if (g_SensorMemLayout[b] == kLayoutPh && g_SensorKindActive[b] == kKindPh && Vdx_HasSensorOption(b)) {
        Vdx_SetSensorOption(b, CalPh_GetSensorOption(b));
    }
}

void Vdx_AdoptSensorSettings(uint32_t channel) {
    if (channel != 1) return;
    uint32_t status = 0;
    if (IsOpticalProtocol(channel)) {
        const SensorParamRecord& p = g_SensorParams[channel];
        CalO2_SetSalinity(channel, p.p[kSensParamSalinity], &status);
        CalO2_SetProcPressure(channel, p.p[kSensParamProcessPressure], &status);
        SensDiag_StoreS133Setting(static_cast<uint8_t>(SensCmd_GetParamRounded(channel)), &status);
        SensDiag_TakeSensorCycleSettings(channel, &status);
        return;
    }
    if (g_SensorMemLayout[channel] == kLayoutPh && g_SensorKindActive[channel] == kKindPh &&
        Vdx_HasSensorOption(channel)) {
        Vdx_ReadSensorOption(channel);
        CalPh_SetSensorOption(channel, static_cast<uint8_t>(Vdx_GetSensorOptionValue(channel)));
    }
}
