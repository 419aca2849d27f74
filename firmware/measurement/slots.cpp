// The four measurement slots: each names a channel and a unit and holds the filtered value, fed
// by the update cycle whenever the active link channel has a fresh reply.
#include "measurement/slots.h"

#include "core/fmt.h"
#include "core/fw_hook.h"
#include "core/lcd.h"
#include "core/link.h"
#include "core/menu_position.h"
#include "core/util.h"
#include "digital_sensor/vdx.h"
#include "measurement/analog_input.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/conductivity.h"
#include "measurement/decoders.h"
#include "measurement/filter.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/units.h"
#include "outputs/alarms.h"
#include "outputs/messages.h"

uint8_t g_SlotUnit[kSlotCount];
uint8_t g_SlotChannel[kSlotCount];
uint8_t g_SlotUnitRow[kSlotCount];
uint8_t g_SlotPendingUnit[kSlotCount];
uint8_t g_SlotPendingChannel[kSlotCount];
SlotValue g_SlotValues[kSlotCount];

// A channel counts as measuring from its fifth reply on.
static constexpr uint32_t kRepliesBeforeMeasuring = 3;

static bool IsFinite(float value) { return Util_ClassifyFloat(value) < kFloatPlusInfinity; }

void Meas_SetSlotAssignment(uint32_t slot, uint32_t channel, uint32_t unit) {
    if (slot >= kSlotCount) return;
    g_SlotPendingUnit[slot] = static_cast<uint8_t>(unit);
    g_SlotPendingChannel[slot] = static_cast<uint8_t>(channel);
    if (Meas_IsSlotChanged(slot) && channel < 2 && g_MeasReplyCount[channel] > kRepliesBeforeMeasuring) {
        g_SlotValues[slot].value = Meas_GetSlotRawValue(slot, &g_SlotValues[slot].status);
    }
}

// The display line of the slot keeps the limit row of the unit it shows.
static void FindLineUnitRow(uint32_t slot) {
    uint8_t code = 0, prefix = 0;
    Meas_GetLineUnit(slot, &code, &prefix);
    Fmt_FindLineUnitRow(slot, code, prefix);
}

uint32_t Meas_IsSlotChanged(uint32_t slot) {
    if (slot >= kSlotCount) return 0;
    if (g_SlotChannel[slot] == g_SlotPendingChannel[slot] && g_SlotUnit[slot] == g_SlotPendingUnit[slot]) {
        FindLineUnitRow(slot);
        return 0;
    }
    g_SlotUnit[slot] = g_SlotPendingUnit[slot];
    g_SlotChannel[slot] = g_SlotPendingChannel[slot];
    Filter_Reset(&g_SlotFilters[slot]);
    Meas_LookUpSlotUnit(slot);
    FindLineUnitRow(slot);
    return 1;
}

void Meas_LookUpSlotUnit(uint32_t slot) {
    if (slot >= kSlotCount) return;
    g_SlotUnitRow[slot] = 0;
    for (uint32_t row = 0; row < kSlotUnitRows; ++row) {
        if (g_SlotUnitTable[row].unit == g_SlotUnit[slot]) {
            g_SlotUnitRow[slot] = static_cast<uint8_t>(row);
            return;
        }
    }
}

float Meas_GetSlotRawValue(uint32_t slot, uint32_t* status) {
    *status = 0;
    if (slot >= kSlotCount) {
        *status = kStatusOver;
        return 0.0f;
    }
    uint32_t row = g_SlotUnitRow[slot] < kSlotUnitRows ? g_SlotUnitRow[slot] : 0;
    float value = g_SlotUnitTable[row].getter(slot, status);
    if (!IsFinite(value) || *status > kStatusUnder) {
        *status = kStatusOver;
        return 0.0f;
    }
    return value;
}

// A pressure in mbar from the analog input or the process pressure, in the slot's unit.
static float SlotPressure(uint32_t slot, uint32_t* status) {
    float mbar;
    *status = 0;
    if (Meas_GetAnalogInputMode() != 0) {
        mbar = Meas_GetInputMappedValue(g_SlotChannel[slot], status);
    } else {
        uint32_t channel = g_LinkActiveChannel;
        if (channel >= 2) {
            *status = kStatusOver;
            return 0.0f;
        }
        mbar = CalO2_GetProcPressure(channel);
    }
    switch (g_SlotUnit[slot]) {
        case kUnitPressureKpa:
            return mbar * 0.1f;
        case kUnitPressureBar: {
            float bar = mbar * 0.001f;
            if (bar > 99.99f) *status = kStatusOver;
            return bar;
        }
        case kUnitPressurePsi:
            return mbar * 0.014503774f;
        case kUnitPressureMmHg:
            return mbar * 0.7500617f;
        default:
            return mbar;
    }
}

float Meas_GetSlotValue(uint32_t slot, uint32_t* status) {
    if (slot >= kSlotCount) {
        *status = kStatusOver;
        return 0.0f;
    }
    if (Unit_IsPressure(g_SlotUnit[slot])) return SlotPressure(slot, status);
    *status = g_SlotValues[slot].status;
    return g_SlotValues[slot].value;
}

void Meas_GetLineUnit(uint32_t line, uint8_t* code, uint8_t* prefix) {
    uint8_t slot = line < kSlotCount ? g_MeasLines.lineSlot[line] : 0;
    if (slot >= kSlotCount) slot = 0;
    uint8_t kind = g_MeasLines.kind[slot];
    *code = kind > 54 ? kMeasNothingShown : kind;
    *prefix = g_MeasLines.prefix[slot];
}

uint8_t Meas_GetSlotUnit(uint32_t slot) { return slot < kSlotCount ? g_SlotUnit[slot] : kUnitNone; }

void Meas_GetSlotUnit(uint32_t slot, uint8_t* code, uint8_t* prefix) {
    uint8_t lineCode = 0;
    *prefix = 0;
    if (slot < kSlotCount) Meas_GetLineUnit(slot, &lineCode, prefix);
    *code = Meas_GetSlotUnit(slot);
}

uint8_t Meas_GetSlotChannel(uint32_t slot) { return slot < kSlotCount ? g_SlotChannel[slot] : kChannelNone; }
uint8_t Meas_GetSlotUnitIndex(uint32_t slot) { return slot < kSlotCount ? g_SlotUnitRow[slot] : 0; }
uint8_t Meas_GetSlotPendingUnit(uint32_t slot) { return slot < kSlotCount ? g_SlotPendingUnit[slot] : kUnitNone; }
uint8_t Meas_GetSlotPendingChannel(uint32_t slot) {
    return slot < kSlotCount ? g_SlotPendingChannel[slot] : kChannelNone;
}

void Meas_SetSlotUnit(uint32_t slot, uint8_t unit) {
    if (slot < kSlotCount) g_SlotUnit[slot] = unit;
}

void Meas_SetSlotChannel(uint32_t slot, uint8_t channel) {
    if (slot < kSlotCount) g_SlotChannel[slot] = channel;
}

void Meas_UpdateSlots(uint32_t channel) {
    for (uint32_t slot = 0; slot < kSlotCount; ++slot) {
        if (g_SlotChannel[slot] != channel) continue;
        uint32_t status = 0;
        float value = Meas_GetSlotRawValue(slot, &status);
        uint32_t row = g_SlotUnitRow[slot] < kSlotUnitRows ? g_SlotUnitRow[slot] : 0;
        Filter_Push(&g_SlotFilters[slot], value, g_SlotUnitTable[row].step, status);
        g_SlotValues[slot].value = Filter_GetAverage(&g_SlotFilters[slot], &g_SlotValues[slot].status);
    }
}

void Meas_UpdateCycle() {
    uint32_t channel = g_LinkActiveChannel;
    if (channel >= 2) return;
    // Where the instrument toggles its measuring indicator.
    Fw_HardwareHook();
    if (g_ChanValueReady[channel] != 0) {
        g_ChanValueReady[channel] = 0;
        if (!Cal_IsSelectionActive()) Meas_UpdateSlots(channel);
        if (Menu_IsPositionPending()) Cal_UpdateTrackedValue(channel);
    }
    Fw_HardwareHook();
}

void Meas_ResetSlots() {
    for (uint32_t slot = 0; slot < kSlotCount; ++slot) {
        g_SlotValues[slot].status = kStatusOver;
        g_SlotValues[slot].value = 0.0f;
        g_SlotUnit[slot] = kUnitNone;
        g_SlotChannel[slot] = kChannelNone;
    }
}

void Meas_InitState() {
    g_MeasuringKind[0] = kKindNone;
    g_MeasuringKind[1] = kKindNone;
    g_CalTracking.id = 0;
    g_CalTracking.unit = kUnitNone;
    Meas_ResetSlots();
}

void Meas_ResetChannel(uint32_t channel) {
    if (channel >= 2) return;
    g_ChanValueReady[channel] = 0;
    g_MeasReplyCount[channel] = 0;
    // Every slot restarts, whatever channel it shows.
    for (uint32_t slot = 0; slot < kSlotCount; ++slot) {
        g_SlotValues[slot].status = kStatusOver;
        Filter_Reset(&g_SlotFilters[slot]);
    }
    if (g_CalTracking.id != 0 && Meas_GetIdChannel(g_CalTracking.id) == channel) g_CalTracking.status = kStatusOver;
    Filter_Init(&g_DampFilters[0], kFilterDepth10);
    Filter_Init(&g_DampFilters[1], kFilterDepth10);
    Alarm_ClearAllCauses();
    Msg_ResetChannel(channel);
}

void Meas_SetMeasuringKind(uint32_t channel, uint16_t kind) {
    if (channel >= 2) return;
    g_CalTracking.id = 0;
    g_CalTracking.autoSetting = 0;
    Filter_StopStability();
    if (kind == g_MeasuringKind[channel]) return;
    g_CalTracking.unit = kUnitNone;
    g_MeasuringKind[channel] = kind;
    Meas_ResetChannel(channel);
    Meas_LoadCalForKind(channel, kind);
    g_SensorKindActive[channel] = kKindNone;
}

void Meas_LoadCalForKind(uint32_t channel, uint16_t kind) {
    uint32_t status = 0;
    switch (kind) {
        case kKindPh:
        case kKindPhPna:
            CalPh_LoadChannel(channel, 1, &status);
            break;
        case kKindCond2:
        case kKindCond4:
            CalCond_LoadSettings(channel, 1, &status);
            break;
        case kKindO2High:
        case kKindO2Low:
        case kKindO2Trace:
        case kKindO2Gauge:
            CalO2_LoadAll(channel, 1, &status);
            break;
        case kKindCo2:
            CalPh_LoadCo2Settings(channel, 1, &status);
            // The CO2 electrode is a pH electrode with its isothermal point at pH 7.
            CalPh_SetIsoPoint(channel, 7.0f, &status);
            CalPh_LimitBufferSetTo0Or8(channel, &status);
            break;
        default:
            break;
    }
}

void Meas_ResetSlotState() {
    for (uint32_t slot = 0; slot < kSlotCount; ++slot) {
        g_SlotUnit[slot] = 0;
        g_SlotChannel[slot] = 0;
        g_SlotUnitRow[slot] = 0;
        g_SlotPendingUnit[slot] = 0;
        g_SlotPendingChannel[slot] = 0;
        g_SlotValues[slot] = SlotValue{};
    }
}

// The stability marker of a calibration point: one, two or three dots after the value.
static constexpr uint32_t kMarkerRow = 11;
static constexpr uint32_t kMarkerColumn = 126;
static constexpr uint32_t kMarkerWidth = 18;

void Meas_DrawStateMarker(uint32_t step) {
    Lcd_ClearSpan(kMarkerRow, kMarkerColumn, kMarkerWidth);
    const char* dots = step == 1 ? "." : (step == 2 ? ".." : "...");
    Lcd_DrawText(kMarkerRow, kMarkerColumn, dots);
}
