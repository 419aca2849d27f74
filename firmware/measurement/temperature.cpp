// Temperature measurement and calibration of the resistance element.
#include "measurement/temperature.h"

#include <cmath>

#include "core/eeprom.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/filter.h"
#include "measurement/meas.h"

// Settings store places of the temperature settings, per channel.
static constexpr uint32_t kStoreSourceMode = 64;   // + channel, one byte
static constexpr uint32_t kStoreManualValue = 66;  // + 4 x channel
static constexpr uint32_t kStoreReference1 = 576;  // + 8 x channel
static constexpr uint32_t kStoreReference2 = 580;  // + 8 x channel
static constexpr uint32_t kStoreSlope = 592;       // + 4 x channel
static constexpr uint32_t kStoreOffset = 600;      // + 4 x channel
static constexpr uint32_t kStoreNtcOffset = 608;   // + 4 x channel
static constexpr StoreRange kStoreRanges[] = {
    {kStoreSourceMode, 2}, {kStoreManualValue, 8}, {kStoreReference1, 16},
    {kStoreSlope, 8},      {kStoreOffset, 8},      {kStoreNtcOffset, 8},
};
const StoreMap g_TempStoreMap = {"temperature", kStoreRanges, sizeof kStoreRanges / sizeof kStoreRanges[0]};

static constexpr uint32_t kStatusStoreFailed = 101;
static constexpr float kDefaultManual = 25.0f;
static constexpr float kDefaultReference1 = 0.0f;
static constexpr float kDefaultReference2 = 50.0f;
// Element resistances at which the automatic mode tells the elements apart.
static constexpr float kNtcFromOhm = 2000.0f;
static constexpr float kPt1000FromOhm = 500.0f;
// A Pt1000-scale reading this high is no element at all.
static constexpr float kRtdMaxOhm = 3000.0f;

struct TempChannel {
    uint8_t sourceMode;
    uint8_t elementType;
    float manual;
    float reference[2];
    float measured[2];
    float slope;  // in use
    float offset;
    float ntcOffset;
    float newSlope;  // calculated, not yet stored
    float newOffset;
    float newNtcOffset;
};

// A channel at power-on, before its settings are loaded.
static constexpr TempChannel kPowerOn = {
    0, kElementPt1000, 25.0f, {0.0f, 50.0f}, {0.0f, 0.0f}, 1.0f, 0.0f, 0.0f, 1.0f, 0.0f, 0.0f,
};
static constexpr float kCurrentValuePowerOn = 25.0f;
static TempChannel s_Temp[2] = {kPowerOn, kPowerOn};
static float s_CurrentValue = kCurrentValuePowerOn;

void Temp_ResetState() {
    s_Temp[0] = kPowerOn;
    s_Temp[1] = kPowerOn;
    s_CurrentValue = kCurrentValuePowerOn;
}

uint8_t Temp_GetSourceMode(uint32_t channel) { return channel < 2 ? s_Temp[channel].sourceMode : kTempSourceAuto; }

void Temp_SetSourceMode(uint32_t channel, uint8_t mode, uint32_t* status) {
    *status = 0;
    if (channel >= 2 || mode > kTempSourceManual || s_Temp[channel].sourceMode == mode) return;
    s_Temp[channel].sourceMode = mode;
    Temp_SetElementType(channel, mode);
    Eeprom_WriteChecked(kStoreSourceMode + channel, &mode, 1, status);
}

float Temp_GetManualValue(uint32_t channel) { return channel < 2 ? s_Temp[channel].manual : kDefaultManual; }

void Temp_SetManualValue(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    if (channel >= 2) return;
    s_Temp[channel].manual = value;
    Eeprom_WriteFloat(kStoreManualValue + 4 * channel, value, status);
}

float Temp_GetCurrentValue() { return s_CurrentValue; }
void Temp_SetCurrentValue(float value) { s_CurrentValue = value; }

void Temp_LoadSettings(uint32_t* status) {
    *status = 0;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        TempChannel& t = s_Temp[channel];
        Chan_SetMeasureFlag(channel, 1);
        uint8_t mode = 0;
        float manual = kDefaultManual;
        uint32_t modeStatus = 0, manualStatus = 0;
        Eeprom_Read(kStoreSourceMode + channel, &mode, 1, &modeStatus);
        Eeprom_ReadFloat(kStoreManualValue + 4 * channel, &manual, &manualStatus);
        if (modeStatus != 0 || manualStatus != 0) {
            // The defaults go to the channel whose settings could not be read.
            manual = kDefaultManual;
            mode = kTempSourceAuto;
            *status = modeStatus != 0 ? modeStatus : manualStatus;
        }
        if (mode > kTempSourceManual) mode = kTempSourceAuto;
        t.manual = manual;
        t.sourceMode = mode;
        Temp_SetElementType(channel, mode);
    }
    s_CurrentValue = s_Temp[0].manual;
}

void Temp_SetDefaults(uint32_t* status) {
    uint32_t result = 0;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        s_Temp[channel].manual = kDefaultManual;
        s_Temp[channel].sourceMode = kTempSourceAuto;
        Chan_SetMeasureFlag(channel, 1);
        uint8_t mode = kTempSourceAuto;
        Eeprom_WriteChecked(kStoreSourceMode + channel, &mode, 1, status);
        if (*status != 0) result = *status;
        Eeprom_WriteFloat(kStoreManualValue + 4 * channel, kDefaultManual, status);
        if (*status != 0) result = *status;
    }
    *status = result;
}

static uint8_t DetectElement(float r) {
    if (r >= kNtcFromOhm) return kElementNtc;
    if (r >= kPt1000FromOhm) return kElementPt1000;
    return kElementPt100;
}

float Temp_ComputeFromSensor(uint32_t channel, uint8_t mode, float r, uint32_t* status) {
    if (channel >= 2) {
        *status = kStatusOver;
        return 0.0f;
    }
    TempChannel& t = s_Temp[channel];
    if (mode == kTempSourceAuto || mode >= kTempSourceManual) {
        if (*status != 0) {
            t.elementType = kElementPt1000;
        } else if (t.elementType != kElementNtc) {
            // An NTC once found stays: its resistance falls below the RTD thresholds when hot.
            t.elementType = DetectElement(r);
        }
    }
    if (mode == kTempSourceManual) {
        float value = t.manual;
        // A pH calibration page that edits the temperature shows the value it is editing.
        if (g_CalSettingsEdited != 0 && g_ChosenMode != 2 && Chan_GetMeasuringKind(channel) == 1) {
            value = s_CurrentValue;
        }
        // The manual value does not depend on the element, so a missing element does not spoil it.
        *status = 0;
        Temp_CheckManualRange(value, status);
        return value;
    }
    if (*status != 0) return 0.0f;
    float rtd;
    switch (t.elementType) {
        case kElementNtc:
            return Temp_FromNtc(channel, r, status);
        case kElementPt1000:
            rtd = r;
            break;
        case kElementPt100:
            rtd = r * 10.0f;
            break;
        default:
            return 0.0f;
    }
    if (rtd >= kRtdMaxOhm) {
        *status = kStatusOver;
        return 0.0f;
    }
    return Temp_FromRtd(channel, rtd, status);
}

float Temp_FromNtc(uint32_t channel, float r, uint32_t* status) {
    // Steinhart-Hart coefficients of the 22-kilohm thermistor.
    if (!(r >= 1e-9f)) r = 1e-9f;
    float ln = std::log(r);
    float t = 1.0f / (8.54202339e-4f + 2.37746501e-4f * ln + 1.22679e-7f * ln * ln * ln) - 273.15f;
    if (channel < 2) t += s_Temp[channel].ntcOffset;
    if (t > 140.0f) {
        *status = kStatusOver;
    } else if (t < -30.0f) {
        *status = kStatusUnder;
    }
    return t;
}

float Temp_FromRtd(uint32_t channel, float r, uint32_t* status) {
    float slope = channel < 2 ? s_Temp[channel].slope : 1.0f;
    float offset = channel < 2 ? s_Temp[channel].offset : 0.0f;
    float x = slope * r + offset - 1000.0f;
    // Inverse of the platinum curve around 1000 ohm at 0 C.
    float t = 0.2558993f * x + 9.6795e-6f * x * x + 7.8947e-10f * x * x * x;
    if (t > 200.0f) {
        *status = kStatusOver;
    } else if (t < -40.0f) {
        *status = kStatusUnder;
    }
    return t;
}

float Temp_RtdRatioFromTemp(float t) { return (1.0f + 0.0039078f * t - 5.7804e-7f * t * t) * 1000.0f; }

void Temp_CheckManualRange(float t, uint32_t* status) {
    if (t < -40.0f) {
        *status = kStatusUnder;
    } else if (t > 200.0f) {
        *status = kStatusOver;
    }
}

uint8_t Temp_GetElementType(uint32_t channel) { return channel < 2 ? s_Temp[channel].elementType : 0; }

void Temp_SetElementType(uint32_t channel, uint8_t type) {
    if (channel < 2 && type >= kElementNtc && type <= kElementPt100) s_Temp[channel].elementType = type;
}

void Temp_RecordPoint(uint32_t channel, uint32_t point, float reference, uint32_t* status) {
    if (channel >= 2 || point >= 2) {
        *status = kStatusOver;
        return;
    }
    TempChannel& t = s_Temp[channel];
    // The calibration filter holds the element resistance while a temperature point is taken.
    float m = Filter_GetAverage(&g_CalFilters[kCalFilterValue], status);
    if (*status != 0) return;
    if (t.elementType == kElementPt100) m *= 10.0f;
    t.measured[point] = m;
    t.reference[point] = reference;
    if (point == 1 &&
        (std::fabs(t.measured[1] - t.measured[0]) < 1.0f || std::fabs(t.reference[1] - t.reference[0]) < 0.0001f)) {
        *status = kStatusOver;
    }
}

void Temp_CalcTwoPoint(uint32_t channel, uint32_t* status) {
    *status = 0;
    if (channel >= 2) {
        *status = kStatusOver;
        return;
    }
    TempChannel& t = s_Temp[channel];
    float dm = t.measured[1] - t.measured[0];
    if (std::fabs(dm) < 0.1f || t.elementType == kElementNtc) {
        *status = kStatusOver;
        return;
    }
    float r1 = Temp_RtdRatioFromTemp(t.reference[0]);
    t.newSlope = (Temp_RtdRatioFromTemp(t.reference[1]) - r1) / dm;
    t.newOffset = r1 - t.newSlope * t.measured[0];
}

void Temp_CalcOnePoint(uint32_t channel, uint32_t point, uint32_t* status) {
    *status = 0;
    if (channel >= 2) {
        *status = kStatusOver;
        return;
    }
    TempChannel& t = s_Temp[channel];
    if (t.elementType == kElementNtc) {
        uint32_t ignored = 0;
        t.newNtcOffset = t.ntcOffset + t.reference[0] - Temp_FromNtc(channel, t.measured[0], &ignored);
        return;
    }
    float r1 = Temp_RtdRatioFromTemp(t.reference[0]);
    if (point == 1) {
        t.newSlope = 1.0f;
        t.newOffset = r1 - t.measured[0];
    } else if (std::fabs(t.measured[0]) >= 0.1f) {
        t.newSlope = r1 / t.measured[0];
        t.newOffset = 0.0f;
    } else {
        *status = kStatusOver;
    }
}

float Temp_GetPointValue(uint32_t channel, uint32_t point, uint32_t* status) {
    if (channel >= 2 || point >= 2) {
        *status = kStatusOver;
        return 0.0f;
    }
    *status = 0;
    return s_Temp[channel].reference[point];
}

// Store places of a channel's calibration, in the order they are written and read.
static void CalOffsets(uint32_t channel, uint32_t* offsets) {
    offsets[0] = kStoreReference1 + 8 * channel;
    offsets[1] = kStoreReference2 + 8 * channel;
    offsets[2] = kStoreSlope + 4 * channel;
    offsets[3] = kStoreOffset + 4 * channel;
    offsets[4] = kStoreNtcOffset + 4 * channel;
}

// Writes the floats in order, stopping at the first that fails.
static void WriteFloats(const uint32_t* offsets, const float* values, uint32_t n, uint32_t* status) {
    for (uint32_t i = 0; i < n && *status == 0; ++i) Eeprom_WriteFloat(offsets[i], values[i], status);
}

static void StoreChannel(uint32_t channel, uint32_t* status) {
    const TempChannel& t = s_Temp[channel];
    uint32_t offsets[5];
    CalOffsets(channel, offsets);
    const float values[5] = {t.reference[0], t.reference[1], t.slope, t.offset, t.ntcOffset};
    WriteFloats(offsets, values, 5, status);
}

void Temp_StoreCal(uint32_t channel, uint32_t* status) {
    *status = 0;
    if (channel >= 2) {
        *status = kStatusOver;
        return;
    }
    TempChannel& t = s_Temp[channel];
    t.slope = t.newSlope;
    t.offset = t.newOffset;
    t.ntcOffset = t.newNtcOffset;
    StoreChannel(channel, status);
    if (*status != 0) *status = kStatusStoreFailed;
}

float Temp_GetSlope(uint32_t channel) {
    if (channel >= 2) return 1.0f;
    return s_Temp[channel].elementType == kElementNtc ? 1.0f : s_Temp[channel].newSlope;
}

float Temp_GetOffset(uint32_t channel) {
    if (channel >= 2) return 0.0f;
    const TempChannel& t = s_Temp[channel];
    return t.elementType == kElementNtc ? t.newNtcOffset : t.newOffset;
}

float Temp_GetSlopeInUse(uint32_t channel) {
    if (channel >= 2) return 1.0f;
    return s_Temp[channel].elementType == kElementNtc ? 1.0f : s_Temp[channel].slope;
}

float Temp_GetOffsetInUse(uint32_t channel) {
    if (channel >= 2) return 0.0f;
    const TempChannel& t = s_Temp[channel];
    return t.elementType == kElementNtc ? t.ntcOffset : t.offset;
}

void Temp_SetSlope(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    if (channel >= 2 || s_Temp[channel].elementType == kElementNtc) return;
    s_Temp[channel].newSlope = value;
    s_Temp[channel].slope = value;
    Eeprom_WriteFloat(kStoreSlope + 4 * channel, value, status);
}

void Temp_SetOffset(uint32_t channel, float value, uint32_t* status) {
    *status = 0;
    if (channel >= 2) return;
    TempChannel& t = s_Temp[channel];
    if (t.elementType == kElementNtc) {
        t.newNtcOffset = value;
        t.ntcOffset = value;
        Eeprom_WriteFloat(kStoreNtcOffset + 4 * channel, value, status);
    } else {
        t.newOffset = value;
        t.offset = value;
        Eeprom_WriteFloat(kStoreOffset + 4 * channel, value, status);
    }
}

static void DefaultChannelCal(TempChannel& t) {
    t.slope = t.newSlope = 1.0f;
    t.offset = t.newOffset = 0.0f;
    t.ntcOffset = t.newNtcOffset = 0.0f;
    t.reference[0] = kDefaultReference1;
    t.reference[1] = kDefaultReference2;
}

void Temp_ResetChannelCal(uint32_t channel, uint32_t* status) {
    if (channel >= 2) return;
    DefaultChannelCal(s_Temp[channel]);
    StoreChannel(channel, status);
}

void Temp_ResetAllCal(uint32_t* status) {
    *status = 0;
    Temp_ResetChannelCal(0, status);
}

void Temp_LoadAll(uint32_t* status) {
    bool failed = false;
    for (uint32_t channel = 0; channel < 2; ++channel) {
        TempChannel& t = s_Temp[channel];
        float values[5];
        uint32_t offsets[5];
        CalOffsets(channel, offsets);
        for (uint32_t i = 0; i < 5 && !failed; ++i) {
            uint32_t readStatus = 0;
            Eeprom_ReadFloat(offsets[i], &values[i], &readStatus);
            if (readStatus != 0) failed = true;
        }
        if (failed) {
            DefaultChannelCal(t);
            continue;
        }
        t.reference[0] = values[0];
        t.reference[1] = values[1];
        t.slope = t.newSlope = values[2];
        t.offset = t.newOffset = values[3];
        t.ntcOffset = t.newNtcOffset = values[4];
    }
    *status = failed ? kStatusStoreFailed : 0;
}
