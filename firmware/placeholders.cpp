// Stand-ins for modules that are not written yet. Each does the least that keeps start-up and
// the main loop running, and goes away when its module arrives.
#include "core/ident.h"
#include "core/link.h"
#include "core/settings.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/screens.h"

// ---- Identity -------------------------------------------------------------------------------
void Ident_InitMainBoard() {}
const char* Ident_GetModelName() { return "R718G/2XH"; }

// ---- Sensor-board link ----------------------------------------------------------------------
uint8_t g_LinkSaveResult = 255;
void Link_Tick() {}
void Link_CountTick() {}
void Link_Pump() {}

// ---- Settings modules -----------------------------------------------------------------------
void Settings_InitComm() {}
void Settings_LoadMeasurementStore(uint32_t* status) { *status = 0; }
void Settings_LoadAll(uint32_t* status) { *status = 0; }

// ---- Messages and outputs -------------------------------------------------------------------
void Msg_ClearAll() {}
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

// ---- Digital sensor -------------------------------------------------------------------------
void Vdx_InitPlugMachine() {}
void Vdx_ReportAutoclaveSave() {}
