// Settings refused by channel B's digital sensor: kept from before a save, put back when the
// sensor refuses the save, and given way to the sensor's own at its next adoption.
#include "digital_sensor/vdx_refusal.h"

#include "core/settings.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx_ident.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/meas.h"
#include "measurement/ph.h"
#include "settings/settings_sensor.h"

// Channel B's settings that "Save Changes" writes into a memory-image sensor, as they were in use
// before a save the sensor has not taken yet.
struct SettingsBeforeSave {
    uint8_t kept;
    uint32_t ttmInterval;  // tenths of a day
    uint32_t actInterval;  // hours
    int16_t measPolVoltage;
    float co2Salinity;
    float co2Bicarbonate;
};
static SettingsBeforeSave s_Before;
static uint8_t s_Refused[2];

void Vdx_ResetRefusal() {
    s_Before = SettingsBeforeSave{};
    s_Refused[0] = s_Refused[1] = 0;
}

void Vdx_KeepSettingsBeforeSave() {
    if (s_Before.kept) return;
    const SensDiagSettings& d = g_SensDiagSettings[1];
    s_Before = SettingsBeforeSave{1,
                                  d.ttmInterval,
                                  d.actInterval,
                                  Settings_GetMeasPolVoltage(1),
                                  CalPh_GetCo2Salinity(1),
                                  CalPh_GetCo2Bicarbonate(1)};
}

void Vdx_ForgetSettingsBeforeSave() { s_Before.kept = 0; }

void Vdx_OnSensorRefusedWrite(uint32_t channel) {
    if (channel != 1) return;
    s_Refused[channel] = 1;
    if (!s_Before.kept) return;
    s_Before.kept = 0;
    // Only what the save changed is put back: a value the store never held stays unwritten.
    uint32_t status = 0;
    const SensDiagSettings& d = g_SensDiagSettings[channel];
    if (d.ttmInterval != s_Before.ttmInterval || d.actInterval != s_Before.actInterval) {
        SensDiag_PutIntervalSettings(channel, s_Before.ttmInterval, s_Before.actInterval, &status);
    }
    if (Settings_GetMeasPolVoltage(channel) != s_Before.measPolVoltage) {
        Settings_PutMeasPolVoltage(channel, s_Before.measPolVoltage, &status);
    }
    if (CalPh_GetCo2Salinity(channel) != s_Before.co2Salinity) {
        CalPh_SetCo2Salinity(channel, s_Before.co2Salinity, &status);
    }
    if (CalPh_GetCo2Bicarbonate(channel) != s_Before.co2Bicarbonate) {
        CalPh_SetCo2Bicarbonate(channel, s_Before.co2Bicarbonate, &status);
    }
}

bool Vdx_TakeRefusal(uint32_t channel) {
    if (channel > 1) return false;
    // A save begun before the sensor was read again is over either way: what it kept is of no use
    // against the values the sensor now gives.
    s_Before.kept = 0;
    bool refused = s_Refused[channel] != 0;
    s_Refused[channel] = 0;
    return refused;
}

void Vdx_YieldSettingsToSensor(uint32_t channel) {
    if (channel != 1 || g_SensorProtoFlag[channel] == 1) return;
    SensDiag_YieldIntervalsToSensor(channel);
    uint32_t status = 0;
    if (Chan_IsMeasuringKindO2(g_SensorKindActive[channel])) {
        int32_t inUse = Settings_GetMeasPolVoltage(channel);
        int32_t held = SensMem_HeldPolarizationVoltage(channel, inUse);
        if (held != inUse) Settings_PutMeasPolVoltage(channel, static_cast<int16_t>(held), &status);
    }
    if (g_SensorMemLayout[channel] == kLayoutPh && g_SensorKindActive[channel] == kKindPh &&
        Vdx_HasSensorOption(channel)) {
        CalPh_SetSensorOption(channel, static_cast<uint8_t>(Vdx_GetSensorOptionValue(channel)));
    }
}
