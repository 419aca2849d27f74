// Sensor module, pressure-unit bytes and cycle-counter settings.
#include "settings/settings_sensor.h"

#include "core/eeprom.h"
#include "core/param.h"
#include "core/settings.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "measurement/chan_sensor.h"
#include "measurement/channel.h"
#include "measurement/meas.h"
#include "measurement/ph.h"

static constexpr uint32_t kStoreMeasPolVoltage = 936;  // + 2 x channel, i16
static constexpr uint32_t kStoreCalPolVoltage = 940;   // + 2 x channel, i16
static constexpr uint32_t kStoreCalPressureUnit = 720;
static constexpr uint32_t kStoreProcPressureUnit = 722;
static constexpr uint32_t kStoreFlag378 = 378;
static constexpr uint32_t kStoreParam41 = 379;
static constexpr uint32_t kStoreCo2PressureUnit = 521;
static constexpr uint32_t kStoreProcCalMode = 2200;
static constexpr uint32_t kStoreProcessStress = 2202;
// Cycle-counter settings: three bytes of each monitoring record, six bytes apart; the message and
// output bytes of each cycle kind, twelve bytes apart.
static constexpr uint32_t kStoreMonitorOff = 384;
static constexpr uint32_t kStoreMonitorMessage = 386;
static constexpr uint32_t kStoreMonitorOutput = 388;
static constexpr uint32_t kMonitorStride = 6;
static constexpr uint32_t kStoreCycleMessage = 411;
static constexpr uint32_t kStoreCycleOutput = 413;
static constexpr uint32_t kCycleStride = 12;
// The diagnostics keep channel B's cycle limits and cycle temperature limits here; the edit copy
// starts from them.
static constexpr uint32_t kStoreDiagCycleLimit[kCycleKinds] = {402 + 1, 414 + 1, 426 + 1};
static constexpr uint32_t kStoreDiagCipTemp = 438 + 1;
static constexpr uint32_t kStoreDiagSipTemp = 440 + 1;
// The defaults mark channel B's S133 setting (kept by the diagnostics) and the pH sensor's option
// as set.
static constexpr uint32_t kStoreSensorOption = 894;

static constexpr StoreRange kStoreRanges[] = {
    {kStoreMeasPolVoltage, 8},      {kStoreCalPressureUnit, 4}, {kStoreFlag378, 5},
    {kStoreCo2PressureUnit, 2},     {kStoreMonitorOff, 1},      {kStoreMonitorOff + 6, 1},
    {kStoreMonitorOff + 12, 1},     {kStoreMonitorMessage, 1},  {kStoreMonitorMessage + 6, 1},
    {kStoreMonitorMessage + 12, 1}, {kStoreMonitorOutput, 1},   {kStoreMonitorOutput + 6, 1},
    {kStoreMonitorOutput + 12, 1},  {kStoreCycleMessage, 1},    {kStoreCycleMessage + 12, 1},
    {kStoreCycleMessage + 24, 1},   {kStoreCycleOutput, 1},     {kStoreCycleOutput + 12, 1},
    {kStoreCycleOutput + 24, 1},    {kStoreProcCalMode, 1},     {kStoreProcessStress, 1},
};
const StoreMap g_SensorSettingsStoreMap = {"sensor settings", kStoreRanges,
                                           sizeof kStoreRanges / sizeof kStoreRanges[0]};

// Polarization voltages by kind, in mV: the gauge sensor (kind 8), the high-range sensor (kind 5)
// and every other kind.
static constexpr int16_t kPolGaugeMeas = -600;
static constexpr int16_t kPolGaugeCal = -800;
static constexpr int16_t kPolDefault = -674;
static constexpr int16_t kPolOtherMeas = -500;
// Parameter 41: an upper bound it stays below, and the lowest value taken.
static constexpr float kParam41Default = 40.0f;
static constexpr float kParam41Above = 85.0001f;
static constexpr float kParam41Lowest = 10.0f;
static constexpr uint8_t kOutputNone = 2;

SensorSettings g_SensorSettings;
SensorSettings g_SensorEdit;
uint8_t g_Co2PressureUnit[2];
uint8_t g_Co2PressureUnitEdit[2];
SlotSettings g_SlotSettings;
SlotSettings g_SlotEdit;

float Settings_PressureFactor(uint32_t unit) {
    static const float kFactors[kPressureUnits] = {0.7500617f, 0.1f, 1.0f, 1.0f, 0.0145038f};
    return unit < kPressureUnits ? kFactors[unit] : 1.0f;
}

static SensorSettings FactorySensor() {
    SensorSettings s{};
    for (uint32_t ch = 0; ch < 2; ++ch) {
        s.measPolVoltage[ch] = kPolDefault;
        s.calPolVoltage[ch] = kPolDefault;
    }
    s.param41 = kParam41Default;
    s.processStress = kProcessStressMedium;
    return s;
}

static SlotSettings FactorySlots() {
    SlotSettings s{};
    for (SlotMonitor& m : s.monitor) m.output = kOutputNone;
    for (SlotCycle& c : s.cycle) {
        c.messageOnly = 1;
        c.output = kOutputNone;
    }
    s.cipTempLimit = kSlotCipTempFactory;
    s.sipTempLimit = kSlotSipTempFactory;
    return s;
}

void Settings_ResetSensorState() {
    g_SensorSettings = FactorySensor();
    g_SensorEdit = g_SensorSettings;
    g_Co2PressureUnit[0] = g_Co2PressureUnit[1] = 0;
    g_Co2PressureUnitEdit[0] = g_Co2PressureUnitEdit[1] = 0;
    g_SlotSettings = FactorySlots();
    g_SlotEdit = g_SlotSettings;
}

static void WriteI16(uint32_t offset, int16_t value, uint32_t* status) {
    uint16_t u = static_cast<uint16_t>(value);
    uint8_t bytes[2] = {static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)};
    Eeprom_WriteNoted(offset, bytes, 2, status);
}

static bool ReadI16(uint32_t offset, int16_t* value, uint32_t* status) {
    uint8_t b[2];
    if (!Eeprom_ReadNoted(offset, b, 2, status)) return false;
    *value = static_cast<int16_t>(static_cast<uint16_t>(b[0] | b[1] << 8));
    return true;
}

// ---- Sensor module ------------------------------------------------------------------------------

static void StoreSensor(const SensorSettings& s, uint32_t* status) {
    for (uint32_t ch = 0; ch < 2; ++ch) {
        WriteI16(kStoreMeasPolVoltage + 2 * ch, s.measPolVoltage[ch], status);
        WriteI16(kStoreCalPolVoltage + 2 * ch, s.calPolVoltage[ch], status);
    }
    Eeprom_WriteNoted(kStoreCalPressureUnit, s.calPressureUnit, 2, status);
    Eeprom_WriteNoted(kStoreProcPressureUnit, s.procPressureUnit, 2, status);
    Eeprom_WriteNoted(kStoreFlag378, &s.flag378, 1, status);
    uint32_t f = 0;
    Eeprom_WriteFloat(kStoreParam41, s.param41, &f);
    Eeprom_NoteFailure(status, f);
    Eeprom_WriteNoted(kStoreProcCalMode, &s.procCalMode, 1, status);
    Eeprom_WriteNoted(kStoreProcessStress, &s.processStress, 1, status);
}

void Settings_DefaultSensor(uint32_t* status) {
    *status = 0;
    g_SensorSettings = FactorySensor();
    StoreSensor(g_SensorSettings, status);
}

void Settings_LoadSensor(uint32_t* status) {
    *status = 0;
    SensorSettings& s = g_SensorSettings;
    bool voltages = true;
    for (uint32_t ch = 0; ch < 2; ++ch) {
        voltages = ReadI16(kStoreMeasPolVoltage + 2 * ch, &s.measPolVoltage[ch], status) && voltages;
        voltages = ReadI16(kStoreCalPolVoltage + 2 * ch, &s.calPolVoltage[ch], status) && voltages;
    }
    for (uint32_t ch = 0; ch < 2; ++ch) {
        s.calPressureUnit[ch] = Eeprom_ReadByteOr(kStoreCalPressureUnit + ch, kPressurePsi, 0, status);
        s.procPressureUnit[ch] = Eeprom_ReadByteOr(kStoreProcPressureUnit + ch, kPressurePsi, 0, status);
    }
    if (!voltages) {
        // Without the stored voltages each channel takes its kind's.
        for (uint32_t ch = 0; ch < 2; ++ch) {
            uint8_t kind = g_ChannelKind[ch];
            s.measPolVoltage[ch] =
                kind == kKindO2Gauge ? kPolGaugeMeas : (kind == kKindO2High ? kPolDefault : kPolOtherMeas);
            s.calPolVoltage[ch] = kind == kKindO2Gauge ? kPolGaugeCal : kPolDefault;
            s.calPressureUnit[ch] = 0;
            s.procPressureUnit[ch] = 0;
        }
    }
    s.flag378 = Eeprom_ReadByteOr(kStoreFlag378, 1, 0, status);
    uint32_t f = 0;
    float value = 0.0f;
    Eeprom_ReadFloat(kStoreParam41, &value, &f);
    Eeprom_NoteFailure(status, f);
    if (f != 0 || value >= kParam41Above) value = kParam41Default;
    if (value < kParam41Lowest) value = kParam41Lowest;
    s.param41 = value;
    uint32_t p = 0;
    Param_SetFloat(1, 41, 0, value, &p);
    s.procCalMode = Eeprom_ReadByteOr(kStoreProcCalMode, kProcCalScaling, kProcCalCalibration, status);
    s.processStress = Eeprom_ReadByteOr(kStoreProcessStress, kProcessStressSpecial, kProcessStressMedium, status);
}

void Settings_CopySensor() { g_SensorEdit = g_SensorSettings; }

void Settings_CommitParam41(uint32_t* status) {
    g_SensorSettings.param41 = g_SensorEdit.param41;
    uint32_t f = 0;
    Eeprom_WriteFloat(kStoreParam41, g_SensorSettings.param41, &f);
    Eeprom_NoteFailure(status, f);
    uint32_t p = 0;
    Param_SetFloat(1, 41, 0, g_SensorSettings.param41, &p);
}

void Settings_CommitSensor(uint32_t* status) {
    *status = 0;
    SensorSettings& s = g_SensorSettings;
    const SensorSettings& e = g_SensorEdit;
    for (uint32_t ch = 0; ch < 2; ++ch) {
        if (e.measPolVoltage[ch] != s.measPolVoltage[ch]) {
            // The sensor is polarized at the new voltage before it is kept.
            Chan_RequestO2Mode(ch, e.measPolVoltage[ch]);
            s.measPolVoltage[ch] = e.measPolVoltage[ch];
            WriteI16(kStoreMeasPolVoltage + 2 * ch, s.measPolVoltage[ch], status);
        }
        if (e.calPolVoltage[ch] != s.calPolVoltage[ch]) {
            s.calPolVoltage[ch] = e.calPolVoltage[ch];
            WriteI16(kStoreCalPolVoltage + 2 * ch, s.calPolVoltage[ch], status);
        }
    }
    if (e.param41 != s.param41) Settings_CommitParam41(status);
    if (e.flag378 != s.flag378) {
        s.flag378 = e.flag378 <= 1 ? e.flag378 : 0;
        Eeprom_WriteNoted(kStoreFlag378, &s.flag378, 1, status);
    }
    if (e.procCalMode != s.procCalMode) {
        s.procCalMode = e.procCalMode <= kProcCalScaling ? e.procCalMode : kProcCalCalibration;
        Eeprom_WriteNoted(kStoreProcCalMode, &s.procCalMode, 1, status);
    }
    if (e.processStress != s.processStress) {
        s.processStress = e.processStress <= kProcessStressSpecial ? e.processStress : kProcessStressMedium;
        Eeprom_WriteNoted(kStoreProcessStress, &s.processStress, 1, status);
    }
    for (uint32_t ch = 0; ch < 2; ++ch) {
        if (e.calPressureUnit[ch] != s.calPressureUnit[ch]) {
            s.calPressureUnit[ch] = e.calPressureUnit[ch] < kPressureUnits ? e.calPressureUnit[ch] : 0;
            Eeprom_WriteNoted(kStoreCalPressureUnit + ch, &s.calPressureUnit[ch], 1, status);
        }
        if (e.procPressureUnit[ch] != s.procPressureUnit[ch]) {
            s.procPressureUnit[ch] = e.procPressureUnit[ch] < kPressureUnits ? e.procPressureUnit[ch] : 0;
            Eeprom_WriteNoted(kStoreProcPressureUnit + ch, &s.procPressureUnit[ch], 1, status);
        }
    }
}

int16_t Settings_GetMeasPolVoltage(uint32_t channel) {
    return channel < 2 ? g_SensorSettings.measPolVoltage[channel] : kPolDefault;
}
int16_t Settings_GetEditMeasPolVoltage(uint32_t channel) {
    return channel < 2 ? g_SensorEdit.measPolVoltage[channel] : kPolDefault;
}
void Settings_SetEditMeasPolVoltage(uint32_t channel, int16_t millivolts) {
    if (channel < 2) g_SensorEdit.measPolVoltage[channel] = millivolts;
}
void Settings_PutMeasPolVoltage(uint32_t channel, int16_t millivolts, uint32_t* status) {
    *status = 0;
    if (channel >= 2) return;
    g_SensorSettings.measPolVoltage[channel] = g_SensorEdit.measPolVoltage[channel] = millivolts;
    WriteI16(kStoreMeasPolVoltage + 2 * channel, millivolts, status);
}
int16_t Settings_GetEditCalPolVoltage(uint32_t channel) {
    return channel < 2 ? g_SensorEdit.calPolVoltage[channel] : kPolDefault;
}
void Settings_SetEditCalPolVoltage(uint32_t channel, int16_t millivolts) {
    if (channel < 2) g_SensorEdit.calPolVoltage[channel] = millivolts;
}
uint8_t Settings_GetFlag378() { return g_SensorSettings.flag378; }

// ---- Pressure-unit bytes ------------------------------------------------------------------------

void Settings_DefaultSensorBytes(uint32_t* status) {
    *status = 0;
    g_Co2PressureUnit[0] = g_Co2PressureUnit[1] = 0;
    Eeprom_WriteNoted(kStoreCo2PressureUnit, g_Co2PressureUnit, 2, status);
}

void Settings_LoadSensorBytes(uint32_t* status) {
    *status = 0;
    for (uint32_t ch = 0; ch < 2; ++ch) {
        g_Co2PressureUnit[ch] = Eeprom_ReadByteOr(kStoreCo2PressureUnit + ch, kPressurePsi, kPressureHpa, status);
    }
}

void Settings_CopySensorBytes() {
    g_Co2PressureUnitEdit[0] = g_Co2PressureUnit[0];
    g_Co2PressureUnitEdit[1] = g_Co2PressureUnit[1];
}

void Settings_CommitSensorBytes(uint32_t* status) {
    *status = 0;
    for (uint32_t ch = 0; ch < 2; ++ch) {
        uint8_t unit = g_Co2PressureUnitEdit[ch] < kPressureUnits ? g_Co2PressureUnitEdit[ch] : kPressureHpa;
        if (unit == g_Co2PressureUnit[ch]) continue;
        g_Co2PressureUnit[ch] = unit;
        Eeprom_WriteNoted(kStoreCo2PressureUnit + ch, &g_Co2PressureUnit[ch], 1, status);
    }
}

// ---- Cycle-counter settings ---------------------------------------------------------------------

// The limits go to the diagnostics, which keep them for channel B.
static void HandLimitsOn(const SlotSettings& s, uint32_t* status) {
    uint32_t d = 0;
    SensDiag_SetCipCycleLimit(1, s.cycle[kCycleCip].limit, &d);
    Eeprom_NoteFailure(status, d);
    SensDiag_SetSipCycleLimit(1, s.cycle[kCycleSip].limit, &d);
    Eeprom_NoteFailure(status, d);
    SensDiag_SetAutoclaveCycleLimit(1, s.cycle[kCycleAutoclave].limit, &d);
    Eeprom_NoteFailure(status, d);
    SensDiag_SetCipTempLimit(1, s.cipTempLimit, &d);
    Eeprom_NoteFailure(status, d);
    SensDiag_SetSipTempLimit(1, s.sipTempLimit, &d);
    Eeprom_NoteFailure(status, d);
}

// The alarm bytes go to the diagnostics, which raise the six alarms by them: the cycle kinds' in
// the order CIP, SIP, autoclave, then the monitoring records' (lifetime, maintenance, calibration
// timer).
static void HandAlarmsOn(const SlotSettings& s) {
    for (uint32_t k = 0; k < kCycleKinds; ++k) {
        g_SensDiagAlarms[kDiagAlarmCip + k] = SensDiagAlarmSetting{s.cycle[k].messageOnly, s.cycle[k].output, 0};
    }
    for (uint32_t i = 0; i < kMonitorRecords; ++i) {
        const SlotMonitor& m = s.monitor[i];
        g_SensDiagAlarms[kDiagAlarmLifetime + i] = SensDiagAlarmSetting{m.messageOnly, m.output, m.off};
    }
}

void Settings_StoreSlots(uint32_t* status) {
    const SlotSettings& s = g_SlotSettings;
    for (uint32_t i = 0; i < kMonitorRecords; ++i) {
        Eeprom_WriteNoted(kStoreMonitorOff + kMonitorStride * i, &s.monitor[i].off, 1, status);
        Eeprom_WriteNoted(kStoreMonitorMessage + kMonitorStride * i, &s.monitor[i].messageOnly, 1, status);
        Eeprom_WriteNoted(kStoreMonitorOutput + kMonitorStride * i, &s.monitor[i].output, 1, status);
    }
    for (uint32_t k = 0; k < kCycleKinds; ++k) {
        Eeprom_WriteNoted(kStoreCycleMessage + kCycleStride * k, &s.cycle[k].messageOnly, 1, status);
        Eeprom_WriteNoted(kStoreCycleOutput + kCycleStride * k, &s.cycle[k].output, 1, status);
    }
}

void Settings_DefaultSlots(uint32_t* status) {
    *status = 0;
    g_SlotSettings = FactorySlots();
    Settings_StoreSlots(status);
    HandLimitsOn(g_SlotSettings, status);
    HandAlarmsOn(g_SlotSettings);
    static const uint8_t kSet = 1;
    // The S133 setting is live at once: a first start shows it without a restart.
    uint32_t s = 0;
    SensDiag_StoreS133Setting(kSet, &s);
    Eeprom_NoteFailure(status, s);
    Eeprom_WriteNoted(kStoreSensorOption, &kSet, 1, status);
}

void Settings_LoadSlots(uint32_t* status) {
    *status = 0;
    SlotSettings& s = g_SlotSettings;
    for (uint32_t i = 0; i < kMonitorRecords; ++i) {
        s.monitor[i].off = Eeprom_ReadByteOr(kStoreMonitorOff + kMonitorStride * i, 1, 1, status);
        s.monitor[i].messageOnly = Eeprom_ReadByteOr(kStoreMonitorMessage + kMonitorStride * i, 1, 1, status);
        s.monitor[i].output =
            Eeprom_ReadByteOr(kStoreMonitorOutput + kMonitorStride * i, kOutputNone, kOutputNone, status);
    }
    for (uint32_t k = 0; k < kCycleKinds; ++k) {
        s.cycle[k].messageOnly = Eeprom_ReadByteOr(kStoreCycleMessage + kCycleStride * k, 1, 1, status);
        s.cycle[k].output = Eeprom_ReadByteOr(kStoreCycleOutput + kCycleStride * k, kOutputNone, kOutputNone, status);
        // A limit the diagnostics never stored (0xFF) counts as none.
        s.cycle[k].limit = Eeprom_ReadByteOr(kStoreDiagCycleLimit[k], 254, 0, status);
    }
    s.cipTempLimit = Eeprom_ReadByteOr(kStoreDiagCipTemp, 100, kSlotCipTempFactory, status);
    s.sipTempLimit = Eeprom_ReadByteOr(kStoreDiagSipTemp, 130, kSlotSipTempFactory, status);
    HandAlarmsOn(s);
}

void Settings_CopySlots() { g_SlotEdit = g_SlotSettings; }

void Settings_CommitSlots(uint32_t* status) {
    *status = 0;
    SlotSettings& s = g_SlotSettings;
    const SlotSettings& e = g_SlotEdit;
    bool limits = e.cipTempLimit != s.cipTempLimit || e.sipTempLimit != s.sipTempLimit;
    for (uint32_t k = 0; k < kCycleKinds; ++k) limits = limits || e.cycle[k].limit != s.cycle[k].limit;
    bool bytes = false;
    for (uint32_t i = 0; i < kMonitorRecords; ++i) {
        bytes = bytes || e.monitor[i].off != s.monitor[i].off || e.monitor[i].messageOnly != s.monitor[i].messageOnly ||
                e.monitor[i].output != s.monitor[i].output;
    }
    for (uint32_t k = 0; k < kCycleKinds; ++k) {
        bytes = bytes || e.cycle[k].messageOnly != s.cycle[k].messageOnly || e.cycle[k].output != s.cycle[k].output;
    }
    s = e;
    if (bytes) {
        Settings_StoreSlots(status);
        HandAlarmsOn(s);
        // The alarms are judged again by their new settings.
        g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
    }
    if (limits) HandLimitsOn(s, status);
}

void Settings_CommitSlotRelays(uint32_t* status) {
    *status = 0;
    SlotSettings& s = g_SlotSettings;
    bool changed = false;
    for (uint32_t i = 0; i < kMonitorRecords; ++i) {
        changed = changed || s.monitor[i].output != g_SlotEdit.monitor[i].output;
        s.monitor[i].output = g_SlotEdit.monitor[i].output;
    }
    for (uint32_t k = 0; k < kCycleKinds; ++k) {
        changed = changed || s.cycle[k].output != g_SlotEdit.cycle[k].output;
        s.cycle[k].output = g_SlotEdit.cycle[k].output;
    }
    if (!changed) return;
    Settings_StoreSlots(status);
    HandAlarmsOn(s);
}

void Settings_ReadSlotCounts(uint32_t* counts) {
    counts[kCycleCip] = counts[kCycleSip] = counts[kCycleAutoclave] = 0;
    if (g_SensorKindActive[1] != kKindO2Optical) return;
    auto capped = [](uint16_t value) -> uint32_t { return value <= 254 ? value : 0; };
    counts[kCycleCip] = capped(SensCmd_GetRegister(1, 2));
    counts[kCycleSip] = capped(SensCmd_GetRegister(1, 1));
    if (Chan_HasStatusBit2(1)) counts[kCycleAutoclave] = capped(SensCmd_GetRegister(1, 3));
}

float Settings_ReadParam1(uint32_t channel) { return CalPh_GetIsoPoint(channel); }
