// Sensor-kind bookkeeping per channel, the measuring kind and the measure flag.
#include "measurement/channel.h"

#include "core/eeprom.h"
#include "core/fmt.h"
#include "core/fw_hook.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/vdx.h"
#include "measurement/calibration.h"
#include "measurement/meas.h"

static constexpr StoreRange kStoreRanges[] = {{kStoreSensorModel, 8}, {kStoreChannelKinds, 2}};
const StoreMap g_ChanStoreMap = {"channel configuration", kStoreRanges, 2};

uint8_t g_ChannelKind[2];
uint32_t g_ChannelSensorId[2];
uint32_t g_SensorKindDetected[2] = {kKindNone, kKindNone};
uint32_t g_SensorKindActive[2] = {kKindNone, kKindNone};
uint32_t g_SensorMemLayout[2] = {kLayoutNone, kLayoutNone};

static uint8_t s_MeasureFlag[2] = {1, 1};

uint16_t Chan_GetMeasuringKind(uint32_t channel) { return channel < 2 ? g_MeasuringKind[channel] : kKindNone; }

void Chan_SetKind(uint32_t channel, uint32_t kind) {
    if (channel >= 2) return;
    g_SensorKindDetected[channel] = kind;
    if (kind < kKindNoSensor) {
        Vdx_ClearWrongSensor(channel);
        Vdx_UpdateDisconnectedB(0);
        return;
    }
    g_SensorMemLayout[channel] = kLayoutNone;
    Cal_ClearDataSetSensorFlag(channel);
    g_SensorKindActive[channel] = kind;
    if (kind == kKindNoSensor) {
        Vdx_RaiseWrongSensor(channel);
        Vdx_UpdateDisconnectedB(0);
    } else {
        Vdx_ClearWrongSensor(channel);
    }
}

void Chan_ForceKind(uint32_t channel, uint32_t kind) {
    if (channel >= 2) return;
    if (kind >= kKindNoSensor) g_SensorMemLayout[channel] = kLayoutNone;
    g_SensorKindActive[channel] = kind;
    g_SensorKindDetected[channel] = kind;
    Vdx_ClearWrongSensor(channel);
    Vdx_UpdateDisconnectedB(0);
}

uint32_t Chan_IsProtocolSensorPresent(uint32_t channel) {
    return channel < 2 && g_SensorProtoFlag[channel] == 1 && g_SensorKindActive[channel] < kKindNoSensor ? 1 : 0;
}

void Chan_SetMeasureFlag(uint32_t channel, uint8_t flag) {
    if (channel >= 2) return;
    s_MeasureFlag[channel] = flag;
    Fw_HardwareHook();
}

uint8_t Chan_GetMeasureFlag(uint32_t channel) { return channel < 2 ? s_MeasureFlag[channel] : 1; }

// ---- The in-use calibration record ----------------------------------------------------------

float Chan_GetCalRecordFloat0(uint32_t channel) { return channel < 2 ? g_CalInUse[channel].optical.first : 0.0f; }

static bool IsOpticalUnit(uint32_t unit) {
    return unit >= kCalOpticalUnitFirst && unit < kCalOpticalUnitFirst + kCalOpticalUnits;
}

void Chan_SetValuePair(uint32_t channel, uint32_t unit, float value, uint32_t status) {
    if (channel >= 2 || !IsOpticalUnit(unit)) return;
    g_CalInUse[channel].optical.values[unit - kCalOpticalUnitFirst] = value;
    g_CalInUse[channel].optical.statuses[unit - kCalOpticalUnitFirst] = status;
}

float Chan_GetValuePair(uint32_t channel, uint32_t unit, uint32_t* status) {
    if (channel >= 2 || !IsOpticalUnit(unit)) {
        *status = kStatusOver;
        return 0.0f;
    }
    *status = g_CalInUse[channel].optical.statuses[unit - kCalOpticalUnitFirst];
    return g_CalInUse[channel].optical.values[unit - kCalOpticalUnitFirst];
}

void Chan_ResetState() {
    for (uint32_t channel = 0; channel < 2; ++channel) {
        g_ChannelKind[channel] = 0;
        g_ChannelSensorId[channel] = 0;
        g_SensorKindDetected[channel] = kKindNone;
        g_SensorKindActive[channel] = kKindNone;
        g_SensorMemLayout[channel] = kLayoutNone;
        s_MeasureFlag[channel] = 1;
    }
    g_CurrentChannel = 0;
}

uint8_t Chan_GetBRecordByte74() { return g_SensorParams[1].s112Mode; }

uint8_t g_CurrentChannel;
uint8_t Chan_GetCurrentChannel() { return g_CurrentChannel; }

uint8_t Chan_GetCurrentKind() { return g_CurrentChannel < 2 ? g_ChannelKind[g_CurrentChannel] : kKindNone; }
