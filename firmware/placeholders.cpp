// Stand-ins for modules that are not written yet. Each does the least that keeps start-up and
// the main loop running, and goes away when its module arrives.
#include <cstring>

#include "core/fw_main.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/settings.h"
#include "digital_sensor/sensdiag.h"
#include "digital_sensor/senscmd.h"
#include "digital_sensor/sensmem.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/screens.h"

// ---- Display --------------------------------------------------------------------------------
uint8_t g_LcdFrame[kLcdRows][kLcdColumns];
std::atomic<uint32_t> g_LcdBusy{0};
uint8_t g_LcdLine[kLcdLineChars * 6];
BlinkField g_BlinkField;
void Lcd_FillRect(uint32_t, uint32_t, uint32_t, uint32_t, uint8_t) {}
void Lcd_ClearSpan(uint32_t, uint32_t, uint32_t) {}
void Lcd_FillTextRows(uint8_t) {}
void Lcd_FillStatusRows(uint8_t) {}
void Lcd_ClearAll() {}
void Lcd_WriteColumns(uint32_t, uint32_t, const uint8_t*, uint32_t) {}
void Lcd_TextToGlyphs(const char*, uint32_t) {}
uint32_t Lcd_DrawText(uint32_t, uint32_t, const char* text) { return static_cast<uint32_t>(std::strlen(text)); }
uint32_t Lcd_DrawTextMode(uint32_t, uint32_t, uint32_t, const char* text) {
    return static_cast<uint32_t>(std::strlen(text));
}
void Lcd_StepBlinkField() {}
void Lcd_DrawChannelSymbol(uint32_t) {}
void Lcd_EraseChannelSymbol(uint32_t) {}
void Lcd_SetBlinkPhase() { g_BlinkTick.store(1, std::memory_order_relaxed); }
void Lcd_Init() {}
void Lcd_RefreshController() {}

// ---- Settings modules -----------------------------------------------------------------------
void Settings_InitComm() {}
// Loading the measurement store ends by resetting the link and queueing its start-up requests.
void Settings_LoadMeasurementStore(uint32_t* status) {
    Link_Reset();
    *status = 0;
}
// Loading the channel configuration selects the measured channel on the sensor board.
void Settings_LoadAll(uint32_t* status) {
    uint8_t channel = Chan_GetCurrentChannel();
    Link_SetMeasureMode(channel, g_ChannelKind[channel]);
    *status = 0;
}

// ---- Messages and outputs -------------------------------------------------------------------
// Active codes are only listed, so that raising and clearing can be seen.
uint16_t g_MsgActive[kMsgListSize];
uint8_t g_MsgActiveCount;
void Msg_ClearAll() { g_MsgActiveCount = 0; }
void Msg_Raise(uint16_t code) {
    for (uint8_t i = 0; i < g_MsgActiveCount; ++i) {
        if (g_MsgActive[i] == code) return;
    }
    if (g_MsgActiveCount < kMsgListSize - 1) g_MsgActive[g_MsgActiveCount++] = code;
}
void Msg_Clear(uint16_t code) {
    uint8_t kept = 0;
    for (uint8_t i = 0; i < g_MsgActiveCount; ++i) {
        if (g_MsgActive[i] != code) g_MsgActive[kept++] = g_MsgActive[i];
    }
    g_MsgActiveCount = kept;
}
uint32_t Hold_IsOutputHoldActive() { return 0; }

// ---- Menu engine and screens ----------------------------------------------------------------
uint8_t g_MenuStack[kMenuStackSize];
uint32_t g_MenuDepth = 1;
uint8_t g_MenuPositionPending;
uint8_t g_EditFlags[8];
void Menu_ResetStack() {
    g_MenuStack[0] = 0;
    g_MenuDepth = 1;
}
uint8_t Menu_TopScreen() { return g_MenuDepth >= 1 && g_MenuDepth <= kMenuStackSize ? g_MenuStack[g_MenuDepth - 1] : 0; }
uint32_t Menu_EventAllowed(uint32_t) { return 1; }
int32_t Menu_HandleEvent(uint8_t, uint32_t) { return -1; }
void Menu_EndChannelHoldIfActive() {}
uint32_t Menu_IsChannelHeld() { return 0; }
void Home_DrawChannelHoldMarks(uint32_t) {}
void Home_BlinkHoldMark(uint32_t) {}
void Home_BlinkChannelLetter(uint32_t) {}
void Home_GetLineUnit(uint32_t, uint8_t* code, uint8_t* prefix) {
    *code = 0;
    *prefix = 0;
}
void Screen_EndTimedHold() {}

// ---- Measurement ----------------------------------------------------------------------------
void Meas_UpdateCycle() {}
void Meas_DrawStateMarker(uint32_t) {}
void Meas_GetSlotUnit(uint32_t, uint8_t* code, uint8_t* prefix) {
    *code = 0;
    *prefix = 0;
}
uint32_t Filter_IsStabilityActive() { return 0; }
uint32_t Chan_GetLinkState() { return 255; }
uint8_t Chan_GetCurrentChannel() { return 0; }
uint8_t g_SensorParamSavePending;
uint8_t Chan_GetBRecordByte74() { return 0; }
uint16_t g_MeasuringKind[2] = {255, 255};
void Meas_ResetChannel(uint32_t channel) {
    if (channel > 1) return;
    g_ChanValueReady[channel] = 0;
    g_MeasReplyCount[channel] = 0;
}
void Meas_UpdateInputPressure(uint32_t) {}
void Meas_ClearRecord(uint32_t) {}
void Meas_TakeInputCurrent(uint32_t) {}
void Meas_CheckRecordTemperature(uint32_t) {}

// ---- Reply decoders -------------------------------------------------------------------------
uint32_t g_ChanValueReady[2];
uint32_t g_SensorKindDetected[2] = {255, 255};
uint32_t g_SensorKindActive[2] = {255, 255};
uint32_t g_SensorMemLayout[2] = {5, 5};
uint32_t Meas_DecodeChannelAReply(uint32_t, const uint8_t*) { return 1; }
void Meas_DecodeTemperatureInput(uint32_t, const uint8_t*) {}
uint32_t Meas_DecodePhReply(uint32_t, const uint8_t*) { return 1; }
uint32_t Meas_DecodeOxygenReply(uint32_t, const uint8_t*) { return 1; }
uint32_t Meas_DecodeCondReply(uint32_t, const uint8_t*) { return 1; }
uint32_t Meas_DecodeBoardCalTable(uint32_t, const uint8_t*) { return 1; }
void Chan_SetKind(uint32_t channel, uint32_t kind) {
    if (channel > 1) return;
    g_SensorKindDetected[channel] = kind;
    if (kind >= 15) g_SensorKindActive[channel] = kind;
}
void Chan_ForceKind(uint32_t channel, uint32_t kind) {
    if (channel > 1) return;
    g_SensorKindDetected[channel] = kind;
    g_SensorKindActive[channel] = kind;
}

// ---- Digital sensor -------------------------------------------------------------------------
uint8_t g_SensorPlugged[2];
void Vdx_InitPlugMachine() {}
void Vdx_ReportAutoclaveSave() {}
void Vdx_DecodeSensorFamily(uint32_t) {}
uint32_t Vdx_CheckSensorOption(uint32_t) { return 0; }
void Vdx_RaiseCommError() { Msg_Raise(100); }
void Vdx_ClearCommError() { Msg_Clear(100); }
void Vdx_UpdateDisconnectedB(uint32_t) {}
uint8_t g_SensorMemImage[2][kSensorImageBytes];
uint8_t g_SensorImageValid[2];
uint32_t SensMem_GetWriteTime(uint32_t) { return 0; }
uint8_t g_SensorProtoFlag[2];
uint32_t SensCmd_BuildRequest(uint32_t, uint32_t, uint8_t*, uint8_t*) { return 0; }
uint32_t SensCmd_HandleReply(uint32_t, uint32_t, const uint8_t*, uint32_t) { return 0; }
void SensDiag_TickCycleDetectors(uint32_t) {}
void SensDiag_UpdateMaxTemperature(uint32_t) {}
void SensDiag_PublishIndicators(uint32_t) {}
void SensDiag_ClearSipDetectorState(uint32_t) {}
void SensDiag_ClearCipDetectorState(uint32_t) {}
void SensDiag_LoadSettings(uint32_t* status) { *status = 0; }
