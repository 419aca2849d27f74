// The settings dispatchers: defaults, load, copy and commit of every settings module of the
// firmware, in their fixed order, and the two store markers that tell whether the store holds
// settings at all.
#include <cstring>

#include "core/eeprom.h"
#include "core/fw_hook.h"
#include "core/link.h"
#include "core/param.h"
#include "core/settings.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_ident.h"
#include "measurement/chan_reset.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/concentration.h"
#include "measurement/conductivity.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/slots.h"
#include "measurement/temperature.h"
#include "outputs/messages.h"
#include "settings/settings_comm.h"
#include "settings/settings_sensor.h"
#include "settings/settings_system.h"
#include "settings/settings_work.h"
#include "ui/menu.h"
#include "ui/menu_tasks.h"

// The store's two markers: the measurement store (calibration data) and the configuration.
static const uint8_t kMeasurementMarker[2] = {'2', 'w'};
static const uint8_t kConfigMarker[2] = {'K', '2'};
// The measurement store could not be read or marked.
static constexpr uint32_t kStatusStoreUnusable = 11;
// The temperature-source mode of the manual temperature (parameter 6 is written only then).
static constexpr uint32_t kTempSourceManualMode = 4;

// 1 when the marker stands at the offset; 0 when another one does; -1 when it cannot be read.
static int32_t MarkerAt(uint32_t offset, const uint8_t* marker) {
    uint8_t bytes[2] = {0, 0};
    uint32_t status = 0;
    Eeprom_Read(offset, bytes, 2, &status);
    if (status != 0) return -1;
    return bytes[0] == marker[0] && bytes[1] == marker[1] ? 1 : 0;
}

// ---- The measurement store ------------------------------------------------------------------------

void Settings_DefaultMeasurementStore(uint32_t* status) {
    *status = 0;
    uint32_t s = 0;
    Aout_ResetCalibration(&s);
    Eeprom_NoteFailure(status, s);
    CalPh_DefaultGlassImpedanceRef(&s);
    Eeprom_NoteFailure(status, s);
    CalPh_DefaultRefImpedanceRef(&s);
    Eeprom_NoteFailure(status, s);
    SensDiag_DefaultSettings(&s);
    Eeprom_NoteFailure(status, s);
    CalPh_ResetToFactory(0, &s);
    Eeprom_NoteFailure(status, s);
    CalPh_ResetModes(&s);
    Eeprom_NoteFailure(status, s);
    CalCond_SetDefaults(&s);
    Eeprom_NoteFailure(status, s);
    CalO2_ResetToFactory(0, &s);
    Eeprom_NoteFailure(status, s);
    Chan_ResetChannelB(&s);
    Eeprom_NoteFailure(status, s);
    CalPh_DefaultCo2Pressure(&s);
    Eeprom_NoteFailure(status, s);
    Temp_ResetAllCal(&s);
    Eeprom_NoteFailure(status, s);
    Filter_DefaultModes(&s);
    Eeprom_NoteFailure(status, s);
    Temp_SetDefaults(&s);
    Eeprom_NoteFailure(status, s);
    Pid_WriteDefaults(&s);
    Eeprom_NoteFailure(status, s);
    Settings_DefaultCommBlock(&s);
    Eeprom_NoteFailure(status, s);
}

void Settings_LoadMeasurementStore(uint32_t* status) {
    *status = 0;
    int32_t marked = MarkerAt(kStoreMeasurementMarker, kMeasurementMarker);
    if (marked < 0) {
        *status = kStatusStoreUnusable;
        return;
    }
    if (marked == 0) {
        uint32_t s = 0;
        Settings_DefaultMeasurementStore(&s);
        Eeprom_WriteChecked(kStoreMeasurementMarker, kMeasurementMarker, 2, &s);
        // A store that cannot keep the marker cannot keep the calibrations either.
        if (MarkerAt(kStoreMeasurementMarker, kMeasurementMarker) != 1) {
            *status = kStatusStoreUnusable;
            return;
        }
    }
    // Each loader replaces what it cannot use by its default; their statuses are not reported.
    uint32_t s = 0;
    CalPh_LoadGlassImpedanceRef(&s);
    CalPh_LoadRefImpedanceRef(&s);
    Temp_LoadSettings(&s);
    SensDiag_LoadSettings(&s);
    Temp_LoadAll(&s);
    Filter_LoadModes(&s);
    Aout_LoadCalibration(&s);
    CalPh_LoadCo2Settings(0, 0, &s);
    CalO2_LoadAll(0, 0, &s);
    Chan_LoadChannelBSettings(0, 0, &s);
    CalCond_LoadSettings(0, 0, &s);
    CalPh_LoadChannel(0, 0, &s);
    CalPh_LoadAll(&s);
    Meas_InitState();
    Link_Reset();
    Fw_HardwareHook();
    *status = 0;
}

// ---- The configuration --------------------------------------------------------------------------------

void Settings_DefaultAll(uint32_t mode, uint32_t* status) {
    *status = 0;
    uint32_t s = 0;
    // The factory values reach the store whole, marker last, or not at all.
    Eeprom_BeginCommit();
    Chan_RepairSerialText(&s);
    Eeprom_NoteFailure(status, s);
    Relay_WriteDefaults(&s);
    Eeprom_NoteFailure(status, s);
    Vdx_DefaultChannelConfig(mode, &s);
    Eeprom_NoteFailure(status, s);
    Aout_WriteDefaults(&s);
    Eeprom_NoteFailure(status, s);
    SetPoint_WriteDefaults(&s);
    Eeprom_NoteFailure(status, s);
    Clean_WriteDefaults(&s);
    Eeprom_NoteFailure(status, s);
    Settings_DefaultSystem(mode, &s);
    Eeprom_NoteFailure(status, s);
    Alarm_WriteDefaults(&s);
    Eeprom_NoteFailure(status, s);
    Pid_WriteDefaults(&s);
    Eeprom_NoteFailure(status, s);
    Settings_DefaultSensorBytes(&s);
    Eeprom_NoteFailure(status, s);
    Settings_DefaultSensor(&s);
    Eeprom_NoteFailure(status, s);
    Settings_DefaultSlots(&s);
    Eeprom_NoteFailure(status, s);
    Conc_SetUserTableDefaults(&s);
    Eeprom_NoteFailure(status, s);
    Fw_HardwareHook();
    Meas_ResetSettings(2);
    Msg_ResetStore();
    Eeprom_WriteNoted(kStoreConfigMarker, kConfigMarker, 2, status);
    Eeprom_EndCommit(&s);
    Eeprom_NoteFailure(status, s);
}

void Settings_LoadAll(uint32_t* status) {
    *status = 0;
    uint32_t s = 0;
    if (MarkerAt(kStoreConfigMarker, kConfigMarker) != 1) {
        Settings_WriteTagFromModel(&s);
        Settings_DefaultAll(kDefaultsFirstStart, &s);
    }
    Menu_LoadPackedTag();
    Vdx_LoadChannelConfig(&s);
    Eeprom_NoteFailure(status, s);
    Relay_LoadSettings(&s);
    Eeprom_NoteFailure(status, s);
    Aout_LoadSettings(&s);
    Eeprom_NoteFailure(status, s);
    Clean_LoadSettings(&s);
    Eeprom_NoteFailure(status, s);
    SetPoint_LoadSettings(&s);
    Eeprom_NoteFailure(status, s);
    Settings_LoadSystem(&s);
    Eeprom_NoteFailure(status, s);
    Alarm_LoadSettings(&s);
    Eeprom_NoteFailure(status, s);
    Pid_LoadSettings(&s);
    Eeprom_NoteFailure(status, s);
    Settings_LoadSensor(&s);
    Eeprom_NoteFailure(status, s);
    Settings_LoadSensorBytes(&s);
    Eeprom_NoteFailure(status, s);
    Msg_LoadStore(&s);
    Eeprom_NoteFailure(status, s);
    Settings_LoadSlots(&s);
    Eeprom_NoteFailure(status, s);
    Conc_LoadUserTable(&s);
    Eeprom_NoteFailure(status, s);
}

// ---- Parameter edit values --------------------------------------------------------------------------

static uint8_t GetInt(uint32_t channel, uint32_t number) {
    uint32_t s = 0;
    return static_cast<uint8_t>(Param_GetInt(channel, number, &s));
}

static float GetFloat(uint32_t channel, uint32_t number, float factor = 1.0f) {
    uint32_t s = 0;
    return Param_GetFloat(channel, number, 0, &s) * factor;
}

static void CopyParams() {
    ParamEdit& p = g_WorkSet.params;
    for (uint32_t slot = 0; slot < kParamSlots; ++slot) {
        p.compMode[slot] = GetInt(slot, 3);
        p.compCoefficient[slot] = GetFloat(slot, 4, 100.0f);
        p.filterMode[slot] = GetInt(slot, 20);
    }
    for (uint32_t ch = 0; ch < 2; ++ch) {
        ParamChannelEdit& c = p.channel[ch];
        c.stcRefTemp = GetFloat(ch, 27);
        c.stcMode = GetInt(ch, 26);
        c.bufferSet = GetInt(ch, 21);
        c.tempSource = GetInt(ch, 5);
        c.calPressure = GetFloat(ch, 22, Settings_PressureFactor(g_SensorSettings.calPressureUnit[ch]));
        c.procPressure = GetFloat(ch, 23, Settings_PressureFactor(g_SensorSettings.procPressureUnit[ch]));
        c.salinity = GetFloat(ch, 25);
        c.relHumidity = GetFloat(ch, 24, 100.0f);
        c.driftControl = GetInt(ch, 33);
        c.co2Pressure = GetFloat(ch, 37, Settings_PressureFactor(g_Co2PressureUnit[ch]));
        c.co2Salinity = GetFloat(ch, 38);
        c.co2Bicarbonate = GetFloat(ch, 39);
        c.slopeUnit = GetInt(ch, 29);
        c.offsetUnit = GetInt(ch, 30);
        c.stcCoefficient = GetFloat(ch, 0);
        c.isoPoint = GetFloat(ch, 1);
        c.manualTemp = GetFloat(ch, 6);
    }
    p.inputMode = GetInt(1, 47);
    p.inputUnit[0] = GetInt(1, 50);
    p.inputUnit[1] = GetInt(1, 51);
    p.inputRange[0] = GetFloat(1, 48, Settings_PressureFactor(p.inputUnit[0]));
    p.inputRange[1] = GetFloat(1, 49, Settings_PressureFactor(p.inputUnit[1]));
    p.pressureSource = GetInt(1, 28);
    p.ledMode = GetInt(1, 42);
    p.sensorFlag = GetInt(1, 46);
    p.maintDays = SensDiag_GetMaintInterval(1);
    p.actDays = SensDiag_GetActInterval(1);
    p.samplingRate = GetInt(1, 53);
    std::memcpy(&g_ParamCopied, &p, sizeof p);
}

// Only what the pages changed is written back, so that a commit never rewrites a value with its
// own rounding.
static void PutInt(uint32_t channel, uint32_t number, uint8_t value, uint8_t copied) {
    if (value == copied) return;
    uint32_t s = 0;
    Param_SetInt(channel, number, value, &s);
}

static void PutFloat(uint32_t channel, uint32_t number, float value, float copied, float factor = 1.0f) {
    if (std::memcmp(&value, &copied, sizeof value) == 0) return;
    uint32_t s = 0;
    Param_SetFloat(channel, number, 0, value / factor, &s);
}

static void CommitParams() {
    const ParamEdit& p = g_WorkSet.params;
    const ParamEdit& was = g_ParamCopied;
    for (uint32_t slot = 0; slot < kParamSlots; ++slot) {
        PutInt(slot, 3, p.compMode[slot], was.compMode[slot]);
        PutFloat(slot, 4, p.compCoefficient[slot], was.compCoefficient[slot], 100.0f);
        PutInt(slot, 20, p.filterMode[slot], was.filterMode[slot]);
    }
    for (uint32_t ch = 0; ch < 2; ++ch) {
        const ParamChannelEdit& c = p.channel[ch];
        const ParamChannelEdit& w = was.channel[ch];
        PutFloat(ch, 27, c.stcRefTemp, w.stcRefTemp);
        PutInt(ch, 26, c.stcMode, w.stcMode);
        PutInt(ch, 21, c.bufferSet, w.bufferSet);
        PutInt(ch, 5, c.tempSource, w.tempSource);
        PutFloat(ch, 22, c.calPressure, w.calPressure, Settings_PressureFactor(g_SensorSettings.calPressureUnit[ch]));
        PutFloat(ch, 23, c.procPressure, w.procPressure,
                 Settings_PressureFactor(g_SensorSettings.procPressureUnit[ch]));
        PutFloat(ch, 25, c.salinity, w.salinity);
        PutFloat(ch, 24, c.relHumidity, w.relHumidity, 100.0f);
        PutInt(ch, 33, c.driftControl, w.driftControl);
        PutFloat(ch, 37, c.co2Pressure, w.co2Pressure, Settings_PressureFactor(g_Co2PressureUnit[ch]));
        PutFloat(ch, 38, c.co2Salinity, w.co2Salinity);
        PutFloat(ch, 39, c.co2Bicarbonate, w.co2Bicarbonate);
        PutInt(ch, 29, c.slopeUnit, w.slopeUnit);
        PutInt(ch, 30, c.offsetUnit, w.offsetUnit);
        PutFloat(ch, 0, c.stcCoefficient, w.stcCoefficient);
        PutFloat(ch, 1, c.isoPoint, w.isoPoint);
        if (c.tempSource == kTempSourceManualMode) PutFloat(ch, 6, c.manualTemp, w.manualTemp);
    }
    PutInt(1, 47, p.inputMode, was.inputMode);
    PutInt(1, 50, p.inputUnit[0], was.inputUnit[0]);
    PutInt(1, 51, p.inputUnit[1], was.inputUnit[1]);
    PutFloat(1, 48, p.inputRange[0], was.inputRange[0], Settings_PressureFactor(p.inputUnit[0]));
    PutFloat(1, 49, p.inputRange[1], was.inputRange[1], Settings_PressureFactor(p.inputUnit[1]));
    PutInt(1, 28, p.pressureSource, was.pressureSource);
    PutInt(1, 42, p.ledMode, was.ledMode);
    PutInt(1, 46, p.sensorFlag, was.sensorFlag);
    PutInt(1, 53, p.samplingRate, was.samplingRate);
    // The sensor timers reach the sensor (its memory or its registers) and the store together.
    if (std::memcmp(&p.maintDays, &was.maintDays, sizeof p.maintDays) != 0) SensDiag_SetMaintInterval(1, p.maintDays);
    if (std::memcmp(&p.actDays, &was.actDays, sizeof p.actDays) != 0) SensDiag_SetActInterval(1, p.actDays);
    std::memcpy(&g_ParamCopied, &p, sizeof p);
}

// ---- Copy and commit of the working set ----------------------------------------------------------------

void Settings_CopyAll() {
    Settings_CopyRelays();
    Settings_CopyOutputs();
    Settings_CopyCleaning();
    Settings_CopySetPoints();
    Settings_CopyChannelConfig();
    Settings_CopySystem();
    Settings_CopyAlarm();
    Settings_CopyPid();
    Settings_CopySensor();
    Settings_CopySensorBytes();
    g_WorkSet.editFlags[0] = 0;
    g_WorkSet.editFlags[1] = 0;
    Settings_CopySlots();
    Conc_CopyUserTableToWork();
    CopyParams();
    // A cycle alarm is offered only where a cycle limit is set.
    uint32_t enable = SensDiag_GetCycleAlarmEnable();
    static const uint8_t kCycleBits[kCycleKinds] = {1, 2, 4};
    g_WorkSet.cycleAlarmBits = 0;
    for (uint32_t k = 0; k < kCycleKinds; ++k) {
        if ((enable & kCycleBits[k]) && g_SlotSettings.cycle[k].limit != 0) g_WorkSet.cycleAlarmBits |= kCycleBits[k];
    }
    for (uint8_t& flag : g_WorkSet.pageFlags) flag = 1;
    g_WorkSet.sensorOptionB = static_cast<uint8_t>(Vdx_GetSensorOption(1));
    // The relay test page, if it held the relays, gives them back.
    Menu_ResumePeriodicTasks();
}

void Settings_DropAll() { Settings_CopyAll(); }

void Settings_CommitAll(uint32_t* status, uint32_t mode) {
    *status = 0;
    uint32_t s = 0;
    // One commit: a program killed while it runs finds all of it in the store at the next start,
    // or none of it.
    Eeprom_BeginCommit();
    Fw_HardwareHook();
    Settings_RefreshOutputRanges();
    Settings_RefreshAllSetPoints();
    Settings_KeepOneUserPerRelay();
    Settings_CommitOutputs(&s);
    Eeprom_NoteFailure(status, s);
    Settings_CommitCleaning(&s);
    Eeprom_NoteFailure(status, s);
    Settings_CommitRelays(&s);
    Eeprom_NoteFailure(status, s);
    Settings_CommitSetPoints(&s);
    Eeprom_NoteFailure(status, s);
    Settings_CommitChannelConfig(&s);
    Eeprom_NoteFailure(status, s);
    Settings_CommitAlarm(&s);
    Eeprom_NoteFailure(status, s);
    Settings_CommitSensor(&s);
    Eeprom_NoteFailure(status, s);
    Settings_CommitSensorBytes(&s);
    Eeprom_NoteFailure(status, s);
    Settings_CommitSystem(&s);
    Eeprom_NoteFailure(status, s);
    Settings_CommitPid(&s);
    Eeprom_NoteFailure(status, s);
    Fw_HardwareHook();
    uint8_t current = Chan_GetCurrentChannel() < 2 ? Chan_GetCurrentChannel() : 0;
    if (g_SensorKindDetected[current] < kKindNoSensor) {
        Settings_CommitSlots(&s);
    } else {
        Settings_CommitSlotRelays(&s);
    }
    Eeprom_NoteFailure(status, s);
    Conc_CommitUserTable(&s);
    Eeprom_NoteFailure(status, s);
    if (mode == 1 && Chan_IsKindConductivity(g_ChannelKind[0])) Chan_SaveCalEditValues(0);
    const ParamChannelEdit& co2 = g_WorkSet.params.channel[1];
    bool co2Changed = co2.co2Salinity != g_ParamCopied.channel[1].co2Salinity ||
                      co2.co2Bicarbonate != g_ParamCopied.channel[1].co2Bicarbonate;
    CommitParams();
    if (g_WorkSet.sensorOptionB != Vdx_GetSensorOption(1)) Vdx_SetSensorOption(1, g_WorkSet.sensorOptionB);
    // The CO2 sensor keeps its electrolyte values in its own memory.
    if (co2Changed && current == 1 && g_SensorKindActive[1] == kKindCo2) {
        SensMem_StoreCo2Salinity(1, co2.co2Salinity);
        SensMem_StoreCo2Bicarbonate(1, co2.co2Bicarbonate);
    }
    Eeprom_EndCommit(&s);
    Eeprom_NoteFailure(status, s);
}
