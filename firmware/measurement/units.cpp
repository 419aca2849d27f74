// Unit texts and the slot unit table with its value getters.
#include "measurement/units.h"

#include "core/fmt.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/vdx_config.h"
#include "measurement/conductivity.h"
#include "measurement/decoders.h"
#include "measurement/meas.h"
#include "measurement/ph.h"
#include "measurement/slots.h"

// Unit prefix "ppb" of a display line.
static constexpr uint8_t kPrefixPpb = 8;

// In the display font: "@" is the degree sign and "^" the ohm sign.
const char* const g_UnitTexts[kUnitCodes] = {
    "^-cm",  "S/cm",   " ",      "%HCl",   "%HNO3", "%NaCl", "%NaOH", "%H2SO4", "%H3PO4", "TDS",     // 0-9
    "TDS",   "@C",     "@F",     "pH",     "V",     "V ORP", "^ Rg",  "^ Rr",   "^RpNa",  "%air",    // 10-19
    "%O2",   "ppmO2G", "%O2G",   "g/L",    "O2",    "mbar",  "nA",    "d DLI",  "d TTM",  "d ACT",   // 20-29
    " ",     "S/m",    "tooCap", "%CO2",   "hPa",   "mbar",  "mmHg",  "mg/L",   "V",      " ",       // 30-39
    " ",     "hPa",    "mbar",   "g/L",    "V/V",   "O3",    "g/L",   "nA",     "mbar P", "g100ml",  // 40-49
    "kPa P", "bar P",  "psi P",  "mmHg P",                                                           // 50-53
};

// Row 0 serves every unit without a row of its own.
// Kept one row a line, as laid out.
// clang-format off
const SlotUnitRow g_SlotUnitTable[kSlotUnitRows] = {
    {30, 0.0f, Unit_GetNoValue},
    {11, 20.0f, Unit_GetTemperatureValue},
    {12, 68.0f, Unit_GetTemperatureValue},
    {48, 0.0f, Unit_GetNoValue},
    {50, 0.0f, Unit_GetNoValue},
    {51, 0.0f, Unit_GetNoValue},
    {52, 0.0f, Unit_GetNoValue},
    {53, 0.0f, Unit_GetNoValue},
    {0, 100.0f, Unit_GetCondValue},
    {1, 5e-6f, Unit_GetCondValue},
    {31, 5e-6f, Unit_GetCondValue},
    {5, 5e-6f, Unit_GetCondValue},
    {9, 5e-6f, Unit_GetCondValue},
    {10, 5e-6f, Unit_GetCondValue},
    {8, 5e-6f, Unit_GetCondValue},
    {4, 5e-6f, Unit_GetCondValue},
    {3, 5e-6f, Unit_GetCondValue},
    {6, 5e-6f, Unit_GetCondValue},
    {7, 5e-6f, Unit_GetCondValue},
    {2, 5e-6f, Unit_GetCondValue},
    {13, 3.0f, Unit_GetPhValue},
    {14, 0.18f, Unit_GetPhValue},
    {15, 0.18f, Unit_GetPhValue},
    {16, 0.18f, Unit_GetPhValue},
    {17, 0.18f, Unit_GetPhValue},
    {18, 0.18f, Unit_GetPhValue},
    {38, 0.18f, Unit_GetCo2Value},
    {34, 0.18f, Unit_GetCo2Value},
    {35, 0.18f, Unit_GetCo2Value},
    {36, 0.18f, Unit_GetCo2Value},
    {33, 0.18f, Unit_GetCo2Value},
    {37, 0.18f, Unit_GetCo2Value},
    {23, 1e-5f, Unit_GetO2Value},
    {24, 1e-5f, Unit_GetO2Value},
    {26, 1e-5f, Unit_GetO2Value},
    {19, 1e-5f, Unit_GetO2Value},
    {20, 1e-5f, Unit_GetO2Value},
    {22, 1e-5f, Unit_GetO2Value},
    {21, 1e-5f, Unit_GetO2Value},
    {25, 0.18f, Unit_GetO2Value},
    {32, 0.0f, Unit_GetMiscValue},
    {27, 0.0f, Unit_GetMiscValue},
    {28, 0.0f, Unit_GetMiscValue},
    {29, 0.0f, Unit_GetMiscValue},
};
// clang-format on

const char* Unit_GetText(uint32_t unit) { return unit < kUnitCodes ? g_UnitTexts[unit] : " "; }

uint32_t Unit_IsPressure(uint32_t unit) {
    return unit == kUnitPressureMbar || (unit >= kUnitPressureKpa && unit <= kUnitPressureMmHg) ? 1 : 0;
}

float Unit_AutoPrefix(float value, uint8_t* prefix) {
    if (!(value >= 0.0f)) value = 0.0f;
    if (value + 0.5e-6f < 0.001f) {
        *prefix = kAutoPrefixMicro;
        return value * 1e6f;
    }
    if (value + 0.5e-3f < 1.0f) {
        *prefix = kAutoPrefixMilli;
        return value * 1000.0f;
    }
    *prefix = kAutoPrefixNone;
    return value;
}

float Unit_GetNoValue(uint32_t, uint32_t* status) {
    *status = 0;
    return 0.0f;
}

float Unit_GetTemperatureValue(uint32_t slot, uint32_t* status) {
    return Meas_GetTemperatureInUnit(Meas_GetSlotChannel(slot), Meas_GetSlotUnit(slot), status);
}

float Unit_GetCondValue(uint32_t slot, uint32_t* status) {
    return Meas_GetCondByUnit(Meas_GetSlotChannel(slot), Meas_GetSlotUnit(slot), CalCond_GetTempCompMode(slot),
                              CalCond_GetTempCompCoefficient(slot), status);
}

float Unit_GetPhValue(uint32_t slot, uint32_t* status) {
    return Meas_GetUnitValue13to18(Meas_GetSlotChannel(slot), Meas_GetSlotUnit(slot), status);
}

float Unit_GetCo2Value(uint32_t slot, uint32_t* status) {
    uint32_t channel = Meas_GetSlotChannel(slot);
    uint32_t unit = Meas_GetSlotUnit(slot);
    if (unit == 38) return Meas_GetMv(channel, status) / 1000.0f;
    return Meas_GetCo2ByUnit(channel, unit, status);
}

float Unit_GetO2Value(uint32_t slot, uint32_t* status) {
    uint32_t channel = Meas_GetSlotChannel(slot);
    uint32_t unit = Meas_GetSlotUnit(slot);
    if (channel >= 2 || g_MeasuringKind[channel] != kKindO2Optical) return Meas_GetO2ByUnit(channel, unit, status);
    // The optical sensor delivers its values per unit; the display line's prefix picks the scale.
    *status = 0;
    if (unit < 19 || unit > 26) return 0.0f;
    float value = Meas_GetRecordValueNonNeg(channel, unit - 19);
    // The slot's own line set-up, whichever display line shows it.
    uint8_t prefix = slot < kSlotCount ? g_MeasLines.prefix[slot] : 0;
    if (unit == 24 && prefix == kPrefixPpb) value *= 0.001f;
    if (unit == 23) {
        value *= 0.001f;
        if (prefix == kPrefixMicro) value *= 0.001f;
    }
    return value;
}

float Unit_GetMiscValue(uint32_t slot, uint32_t*) {
    switch (Meas_GetSlotUnit(slot)) {
        case 27:
            return g_DiagIndicators[kDiagLifetimeDays];
        case 28:
            return g_DiagIndicators[kDiagTtmDays];
        case 29:
            return g_DiagIndicators[kDiagActDays];
        case 32:
            return g_DiagIndicators[kDiagOperatingDays];
        default:
            return 0.0f;
    }
}

// ---- Electrode diagnostics --------------------------------------------------------------------------

static constexpr uint32_t kCheckGlass = 18;
static constexpr uint32_t kCheckReference = 19;
static constexpr uint32_t kCheckPnaGlass = 20;
static constexpr uint32_t kCheckSignal = 200;
static constexpr uint32_t kCheckSignalScale = 201;
static constexpr uint32_t kCheckSensorAlarm = 202;
static constexpr uint32_t kRepliesBeforeMeasuring = 3;
// The referral of an impedance to 25 C holds between these temperatures.
static constexpr float kImpedanceCheckMinC = 0.0f;
static constexpr float kImpedanceCheckMaxC = 50.0f;
// Below this the reference input of channel A is shorted, not a reference electrode.
static constexpr float kReferenceShortedOhm = 1000.0f;
// Bits of channel B's range byte: 4 over range, 2 under range, 3 signal scale.
static constexpr uint32_t kRangeBitOver = 0x10;
static constexpr uint32_t kRangeBitUnder = 0x04;
static constexpr uint32_t kRangeBitScale = 0x08;

// The status of channel A's primary value, in the field its kind keeps it in.
static uint32_t PrimaryStatusA() {
    switch (g_MeasuringKind[0]) {
        case kKindPh:
        case kKindPhPna:
            return Meas_GetFieldWord(0, kPhFieldPrimaryStatus);
        case kKindCond2:
        case kKindCond4:
            return Meas_GetFieldWord(0, kCondFieldPrimaryStatus);
        case kKindO2High:
        case kKindO2Low:
        case kKindO2Trace:
        case kKindO2Gauge:
            return Meas_GetFieldWord(0, kO2FieldPrimaryStatus);
        default:
            return 0;
    }
}

static void CheckImpedanceCode(uint32_t channel, uint32_t code, uint32_t* status) {
    float t = Meas_GetTemperature(channel, status);
    if (*status != 0) {
        *status = kStatusInvalid;
        return;
    }
    if (code == kCheckReference) {
        float raw = Meas_GetFieldFloat(channel, kPhFieldReference);
        if (channel == 0 && raw < kReferenceShortedOhm) {
            *status = kStatusInvalid;
            return;
        }
        Unit_CheckValueByUnit(channel, code, Meas_ScaleLin25(raw, t), status);
        return;
    }
    float raw = Meas_GetFieldFloat(channel, code == kCheckGlass ? kPhFieldGlass : kPhFieldPnaGlass);
    Unit_CheckValueByUnit(channel, code, Meas_ScaleExp25(raw, t), status);
}

void Unit_CheckRangeByUnit(uint32_t channel, float, uint32_t code, uint32_t* status) {
    *status = 0;
    if (channel >= 2 || g_MeasReplyCount[channel] <= kRepliesBeforeMeasuring) return;
    uint32_t range = Meas_GetFieldWord(channel, kCondFieldRangeByte);
    switch (code) {
        case kCheckGlass:
        case kCheckReference:
        case kCheckPnaGlass:
            CheckImpedanceCode(channel, code, status);
            break;
        case kCheckSignal:
            if (channel == 0) {
                *status = PrimaryStatusA();
            } else if (range & kRangeBitOver) {
                *status = kStatusOver;
            } else if (range & kRangeBitUnder) {
                *status = kStatusUnder;
            }
            break;
        case kCheckSignalScale:
            if (channel == 1 && (range & kRangeBitScale)) *status = kStatusOver;
            break;
        case kCheckSensorAlarm:
            if (channel == 1) *status = Meas_GetFieldWord(1, kO2FieldAlarmStatus);
            break;
        default:
            break;
    }
}

void Unit_CheckValueByUnit(uint32_t channel, uint32_t code, float value, uint32_t* status) {
    *status = 0;
    uint32_t temperatureStatus = 0;
    float t = Meas_GetTemperature(channel, &temperatureStatus);
    if (temperatureStatus != 0 || !(t >= kImpedanceCheckMinC && t <= kImpedanceCheckMaxC)) {
        *status = kStatusInvalid;
        return;
    }
    switch (code) {
        case kCheckGlass:
            CalPh_CheckGlassImpedance(channel, value, status);
            break;
        case kCheckReference:
            CalPh_CheckRefElectrodeImpedance(channel, value, status);
            break;
        case kCheckPnaGlass:
            CalPh_CheckPnaImpedance(channel, value, status);
            break;
        default:
            break;
    }
}
