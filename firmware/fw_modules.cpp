// The list of the firmware's modules: their resets in layer order, and their store maps.
#include "fw_modules.h"

#include "core/eeprom.h"
#include "core/events.h"
#include "core/fmt.h"
#include "core/ident.h"
#include "core/keypad.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/link_transport.h"
#include "core/param.h"
#include "core/rtc.h"
#include "core/settings.h"
#include "core/texts.h"
#include "core/timers.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_ident.h"
#include "digital_sensor/vdx_refusal.h"
#include "fw_main.h"
#include "measurement/analog_input.h"
#include "measurement/calibration.h"
#include "measurement/chan_reset.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/concentration.h"
#include "measurement/conductivity.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/meter_cal.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/ph_buffers.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "outputs/alarms.h"
#include "outputs/aout.h"
#include "outputs/clean.h"
#include "outputs/hold.h"
#include "outputs/messages.h"
#include "outputs/pid.h"
#include "outputs/relays.h"
#include "outputs/sensor_alarm.h"
#include "outputs/setpoint.h"
#include "settings/settings_comm.h"
#include "settings/settings_sensor.h"
#include "settings/settings_system.h"
#include "settings/settings_work.h"
#include "ui/edit_pages.h"
#include "ui/home.h"
#include "ui/menu.h"
#include "ui/menu_tasks.h"
#include "ui/menu_tree.h"
#include "ui/numedit.h"
#include "ui/param_page.h"
#include "ui/password_page.h"
#include "ui/pid_pages.h"
#include "ui/screens.h"
#include "ui/select_screen.h"
#include "ui/service_pages.h"
#include "ui/value_page.h"
#include "ui/vdx_page.h"

void Fw_ResetModules() {
    Timer_Init();
    Event_ResetState();
    Key_ResetState();
    Lcd_ResetState();
    Eeprom_ResetState();
    Rtc_ResetState();
    Text_ResetState();
    Ident_ResetState();
    Fmt_ResetState();
    Link_ResetState();
    Link_ResetTransport();
    Chan_ResetState();
    Chan_ResetSensorState();
    Chan_ResetEditState();
    Meas_ResetState();
    Meas_ResetSlotState();
    Meas_ResetDecoders();
    Filter_ResetState();
    Temp_ResetState();
    Cal_ResetState();
    MeterCal_ResetState();
    CalPh_ResetState();
    CalPh_ResetBufferState();
    CalCond_ResetState();
    CalO2_ResetState();
    Meas_ResetAnalogInput();
    Conc_ResetState();
    Param_ResetState();
    SensMem_ResetState();
    SensCmd_ResetState();
    Vdx_ResetIdentity();
    SensDiag_ResetState();
    Vdx_ResetConfig();
    Vdx_ResetPlug();
    Vdx_ResetRefusal();
    Msg_ResetState();
    Alarm_ResetState();
    Aout_ResetState();
    Relay_ResetState();
    Hold_ResetState();
    SetPoint_ResetState();
    Clean_ResetState();
    Pid_ResetState();
    SensorAlarm_ResetState();
    Menu_ResetState();
    Menu_ResetTree();
    Menu_ForgetFailureText();
    Home_ResetState();
    Screen_ResetState();
    Screen_ResetServiceState();
    Screen_ResetPasswordState();
    Screen_ResetEditPagesState();
    Screen_ResetPidState();
    Screen_ResetSelectState();
    NumEdit_ResetState();
    ValuePage_ResetState();
    ParamPage_ResetState();
    Settings_ResetSystemState();
    Settings_ResetSensorState();
    Settings_ResetCommState();
    Settings_ResetWorkState();
    VdxPage_ResetState();
    Fw_ResetState();
}

const StoreMap* const g_FwStoreMaps[] = {
    &g_EepromStoreMap,         &g_ChanStoreMap,      &g_FilterStoreMap,
    &g_TempStoreMap,           &g_PhStoreMap,        &g_Co2StoreMap,
    &g_CondStoreMap,           &g_O2StoreMap,        &g_AnalogInputStoreMap,
    &g_ConcStoreMap,           &g_CalStoreMap,       &g_MsgStoreMap,
    &g_AlarmStoreMap,          &g_AoutStoreMap,      &g_RelayStoreMap,
    &g_SetPointStoreMap,       &g_CleanStoreMap,     &g_PidStoreMap,
    &g_MenuStoreMap,           &g_SystemStoreMap,    &g_CommStoreMap,
    &g_SensorSettingsStoreMap, &g_ChanBStoreMap,     &g_SerialTextStoreMap,
    &g_SensDiagStoreMap,       &g_VdxConfigStoreMap,
};
const uint32_t g_FwStoreMapCount = sizeof g_FwStoreMaps / sizeof g_FwStoreMaps[0];
