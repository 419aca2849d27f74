// Channel services of the digital sensor.
#include "measurement/chan_sensor.h"

#include <cstring>

#include "core/eeprom.h"
#include "core/link.h"
#include "core/param.h"
#include "core/util.h"
#include "digital_sensor/sens_cal.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_ident.h"
#include "digital_sensor/vdx_refusal.h"
#include "measurement/calibration.h"
#include "measurement/channel.h"
#include "measurement/co2.h"
#include "measurement/conductivity.h"
#include "measurement/meas.h"
#include "measurement/oxygen.h"
#include "measurement/ph.h"
#include "measurement/temperature.h"

// Channel-B settings of the digital sensor in the store.
static constexpr uint32_t kStoreFlagB = 377;
static constexpr uint32_t kStoreOptionWordB = 383;
static constexpr uint32_t kStorePressureSourceB = 623;
static constexpr uint32_t kStoreSalinityB = 668;
static constexpr uint32_t kStoreProcPressureB = 684;
static constexpr uint32_t kStoreS133SettingB = 893;
static constexpr StoreRange kStoreRanges[] = {{kStoreFlagB, 1}, {kStoreOptionWordB, 1}};
const StoreMap g_ChanBStoreMap = {"channel B sensor settings", kStoreRanges,
                                  sizeof kStoreRanges / sizeof kStoreRanges[0]};

static constexpr int16_t kOptionWordDefault = 2;
// The protocol type of the newer optical sensor.
static constexpr uint8_t kProtocolOpticalNew = 19;
// The G100 poll counter a service action sets: the sensor is asked for its status soon.
static constexpr uint16_t kServicePollCount = 405;

// Feature masks by sensor.
static constexpr uint32_t kFeaturesPhOption = 62015;
static constexpr uint32_t kFeaturesPh = 57919;
static constexpr uint32_t kFeaturesO2 = 60415;
static constexpr uint32_t kFeaturesKind12 = 256568;
static constexpr uint32_t kFeaturesCond = 57347;
static constexpr uint32_t kFeaturesCo2 = 58367;
static constexpr uint32_t kFeaturesOpticalNew = 26672;
static constexpr uint32_t kFeaturesOpticalBit2 = 27127;
static constexpr uint32_t kFeaturesOptical = 26867;

uint32_t g_SensorFeatures[2];
uint8_t g_ApplySensorCal;

void Chan_ResetSensorState() {
    g_SensorFeatures[0] = g_SensorFeatures[1] = 0;
    g_ApplySensorCal = 0;
}

// ---- Kinds --------------------------------------------------------------------------------------

uint32_t Chan_IsKindPh(uint32_t kind) { return kind == kKindPh || kind == kKindPhPna ? 1 : 0; }
uint32_t Chan_IsKindConductivity(uint32_t kind) { return kind == kKindCond2 || kind == kKindCond4 ? 1 : 0; }
uint32_t Chan_IsMeasuringKindO2(uint32_t kind) { return kind >= kKindO2High && kind <= kKindO2Gauge ? 1 : 0; }
uint32_t Chan_IsKindSpecialOnA(uint32_t channel, uint32_t kind) {
    return channel == 0 && (kind == 15 || kind == 27 || kind == 28 || kind == 29 || kind == 32) ? 1 : 0;
}

uint32_t Chan_GetSensorKindBySel(uint32_t sel) {
    uint8_t channel = g_CurrentChannel < 2 ? g_CurrentChannel : 0;
    switch (sel) {
        case 0:
            return channel == 0 ? g_ChannelKind[0] : kKindNone;
        case 1:
            return channel == 1 ? g_SensorKindActive[1] : kKindNone;
        case 2:
            return g_ChannelKind[channel];
        case 3:
            return channel == 1 ? g_SensorKindActive[1] : g_ChannelKind[0];
        default:
            return kKindNone;
    }
}

uint32_t Chan_GetTempMode(uint32_t channel) { return Temp_GetElementType(channel); }

// ---- Channel B's link -----------------------------------------------------------------------------

static bool InFlight(uint8_t kind) {
    return g_LinkState.load(std::memory_order_relaxed) != kLinkIdle && g_LinkBuffer.kind == kind;
}

static bool Outstanding(uint8_t kind) { return Link_IsRequestPending(kind) || InFlight(kind); }

uint32_t Chan_GetLinkState() {
    if (Chan_GetCurrentChannel() == 0) return kChanLinkFree;
    // The link left channel B or selects it anew: the sensor is read from the start, and what
    // waited to be written to it is gone.
    bool switching = g_LinkActiveChannel != 1 || Outstanding(kReqMeasureMode);
    if (g_SensorKindActive[1] >= kKindNone) {
        // Pages that never reached a sensor now gone were not saved.
        return g_DirtyPages[1] != 0 && g_SensorProtoFlag[1] != 1 ? kChanLinkSwitching : kChanLinkFree;
    }
    if (switching) return kChanLinkSwitching;
    if (g_SensorProtoFlag[1] == 1) {
        bool queued = g_LinkItems[0] != 0;
        return queued || g_LinkBuffer.item <= 254 ? kChanLinkBusy : kChanLinkFree;
    }
    bool reading = Outstanding(kReqReadPage13) || Outstanding(kReqWritePage) || Outstanding(kReqReadPage) ||
                   Outstanding(kReqSensorStatus) || g_DirtyPages[1] != 0;
    return reading ? kChanLinkBusy : kChanLinkFree;
}

// ---- Taking over a sensor ---------------------------------------------------------------------------

static uint32_t FeaturesOfImageSensor(uint32_t channel, uint32_t kind) {
    switch (kind) {
        case kKindPh:
        case kKindPhPna:
            return Vdx_HasSensorOption(channel) ? kFeaturesPhOption : kFeaturesPh;
        case kKindO2High:
        case kKindO2Low:
        case kKindO2Trace:
        case kKindO2Gauge:
            return kFeaturesO2;
        case 12:
            return kFeaturesKind12;
        case kKindCond2:
        case kKindCond4:
            return kFeaturesCond;
        case kKindCo2:
            return kFeaturesCo2;
        default:
            return 0;
    }
}

void Chan_ApplyNewSensor(uint32_t channel) {
    if (channel >= 2) return;
    uint32_t kind = g_SensorKindDetected[channel];
    // The sensor that refused a write comes back: what it holds wins over what it refused.
    bool sameSensor = Vdx_GetModelNumber(channel) == g_ChannelSensorId[channel] &&
                      Vdx_GetSerialNumber(channel) == g_SensorSecondId[channel];
    bool yield = Vdx_TakeRefusal(channel) && sameSensor;
    Chan_ForceKind(channel, kind);
    g_ChannelSensorId[channel] = Vdx_GetModelNumber(channel);
    g_SensorSecondId[channel] = Vdx_GetSerialNumber(channel);
    uint32_t status = 0;
    Vdx_SaveModelNumber(channel, &status);
    Vdx_SaveSerialNumber(channel, &status);
    if (g_SensorProtoFlag[channel] != 1) {
        SensMem_AdoptStagingImage(channel);
        SensDiag_PublishIndicators(channel);
        Vdx_ReadSensorOption(channel);
        if (yield) Vdx_YieldSettingsToSensor(channel);
        SensDiag_SyncIntervals(channel);
        g_SensorFeatures[channel] = FeaturesOfImageSensor(channel, kind);
    } else {
        SensCmd_InitRecord(channel);
        SensDiag_SyncIntervals(channel);
        if (kind == kKindO2Optical) {
            if (Chan_GetProtocolByte(channel) == kProtocolOpticalNew) {
                g_SensorFeatures[channel] = kFeaturesOpticalNew;
            } else {
                g_SensorFeatures[channel] = Chan_HasStatusBit2(channel) ? kFeaturesOpticalBit2 : kFeaturesOptical;
            }
        }
    }
    g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
    g_SensorSaveFlags[kSensorSaveOpticalErrors] = 1;
    g_SensorImageLoaded[channel] = 1;
    // A new sensor brings its own calibration.
    g_ApplySensorCal = 1;
    Chan_ApplySensorCalData();
}

void Chan_ApplySensorCalData() {
    if (g_ApplySensorCal == 0) return;
    g_ApplySensorCal = 0;
    g_SensorParamSavePending = 1;
    if (g_SensorProtoFlag[1] == 1 || g_SensorImageValid[1] == 0) return;
    CalDataSetRecord set;
    std::memset(&set, 0, sizeof set);
    if (!SensMem_ReadCalDataSet(1, kCalSetActual, &set)) return;
    uint32_t status = 0;
    switch (g_SensorMemLayout[1]) {
        case kLayoutPh:
            if (g_SensorKindActive[1] != kKindCo2) {
                SensMem_LoadSlope(1);
                CalPh_ApplyDataSet(1, &set, &status);
                CalPh_SetIsoPoint(1, set.v0, &status);
            } else {
                SensMem_LoadCo2Params(1);
                CalPh_ApplyCo2DataSet(1, &set, &status);
                // The CO2 electrode is a pH electrode with its isothermal point at pH 7.
                CalPh_SetIsoPoint(1, 7.0f, &status);
                CalPh_LimitBufferSetTo0Or8(1, &status);
            }
            break;
        case kLayoutOxygen:
            CalO2_ApplyDataSet(1, &set, &status);
            SensDiag_ReadKind8Limits(1);
            break;
        case kLayoutCond:
            CalCond_ApplyDataSet(1, &set, &status);
            break;
        default:
            break;
    }
}

// ---- Calibration data sets --------------------------------------------------------------------------

static bool ReadDataSet(uint32_t channel, uint32_t n, CalDataSetRecord* set, SensCalHistoryRecord* entry) {
    if (channel >= 2) return false;
    if (g_SensorProtoFlag[channel] == 1) return SensCmd_GetCalHistoryEntry(channel, n, entry) != 0;
    return SensMem_ReadCalDataSet(channel, n, set) != 0;
}

uint32_t Chan_ReadCalDataSetRaw(uint32_t channel, uint32_t n) {
    CalDataSetRecord set;
    SensCalHistoryRecord entry;
    std::memset(&set, 0, sizeof set);
    std::memset(&entry, 0, sizeof entry);
    return ReadDataSet(channel, n, &set, &entry) ? 1 : 0;
}

uint32_t Cal_GetDataSet(uint32_t channel, uint32_t n, CalDataSetView* view) {
    *view = CalDataSetView{0, 0.0f, 0.0f, 0.0f, 0.0f, 2008, 1, 1, 1};
    CalDataSetRecord set;
    SensCalHistoryRecord entry;
    std::memset(&set, 0, sizeof set);
    std::memset(&entry, 0, sizeof entry);
    if (!ReadDataSet(channel, n, &set, &entry)) return 0;
    if (g_SensorProtoFlag[channel] == 1) {
        // P100 is the slope, P0 the zero, as the calibration values page shows them.
        view->slope = entry.air;
        view->zero = entry.zero;
        view->year = entry.year;
        view->month = entry.month;
        view->day = entry.day;
        return 1;
    }
    if (Rtc_IsValidRecord(&set.date)) {
        view->year = set.date.year;
        view->month = set.date.month;
        view->day = set.date.day;
    }
    switch (g_SensorMemLayout[channel]) {
        case kLayoutOxygen:
            view->slope = set.v40;
            view->zero = set.v44 / 1000.0f;
            break;
        case kLayoutCond:
            view->slope = set.v40;
            view->zero = set.v44;
            break;
        case kLayoutPh: {
            float slope = 0.0f, zeroPoint = 0.0f;
            if (n == kCalSetFactory) {
                // The factory record holds no points, only the slope in mV/pH and the zero point.
                slope = set.v40 / kNernstSlope;
                zeroPoint = set.v44;
            } else {
                CalPh_CalibrateFromDataSet(&set, &slope, &zeroPoint);
            }
            view->slope = slope * 100.0f;
            view->zero = zeroPoint;
            view->slopeMv = slope * kNernstSlope;
            view->offsetMv = slope * kNernstSlope * (zeroPoint - CalPh_GetIsoPoint(channel));
            break;
        }
        default:
            break;
    }
    return 1;
}

static void FormatDate(uint16_t year, uint8_t month, uint8_t day, char* text) {
    ClockRecord date{};
    date.year = year;
    date.month = month;
    date.day = day;
    Util_FormatDate(&date, text);
}

void Cal_GetDataSetDateText(uint32_t channel, uint32_t n, char* text) {
    CalDataSetView view;
    Cal_GetDataSet(channel, n, &view);
    FormatDate(view.year, view.month, view.day, text);
}

void Chan_FormatMaxTempDate(uint32_t channel, char* text) {
    ClockRecord date{};
    SensDiag_GetMaxTemperatureDate(channel, &date);
    if (!Rtc_IsValidRecord(&date)) date = ClockRecord{2008, 1, 1, 0, 0, 0, 0};
    FormatDate(date.year, date.month, date.day, text);
}

// ---- Services ------------------------------------------------------------------------------------------

void Meas_RunSensorService(uint32_t channel, uint32_t action) {
    if (channel >= 2 || g_SensorKindActive[channel] >= kKindNoSensor) return;
    g_LinkChanStatus[1] = kServicePollCount;
    switch (action) {
        case 0:
            SensDiag_RestartMaintTimer(channel);
            break;
        case 1:
            SensDiag_ResetCipCount(channel);
            break;
        case 2:
            SensDiag_ResetSipCount(channel);
            break;
        case 3:
            SensDiag_ResetAutoclaveCount(channel);
            break;
        case 4:
            SensDiag_ResetMaintTimer(channel);
            break;
        default:
            break;
    }
}

uint32_t Meas_CheckCalDue(uint32_t channel) {
    if (channel >= 2 || g_SensorKindActive[channel] != kKindO2Optical) return 0;
    uint32_t status = 0;
    uint32_t mode = Param_GetInt(channel, 42, &status);
    float t = Meas_GetTemperature(channel, &status);
    switch (mode) {
        case 0:
            return 1;
        case 1:
            return t > (Chan_IsMode2(channel) ? 40.0f : 85.0f) ? 1 : 0;
        case 2:
            if (t > Param_GetFloat(channel, 41, 0, &status)) return 1;
            return Param_GetInt(channel, 43, &status) == 0 ? 1 : 0;
        default:
            return 0;
    }
}

uint32_t Meas_HasSensorStatusBit2(uint32_t channel) { return Chan_HasStatusBit2(channel); }
uint32_t Meas_IsSensorMode2(uint32_t channel) { return Chan_IsMode2(channel); }
uint8_t Meas_GetSensorStatusByte(uint32_t channel) { return Chan_GetRecordByte(channel); }
uint32_t Meas_GetSensorStatusField(uint32_t channel, uint32_t index) { return Chan_GetStatusField(channel, index, 0); }
int32_t Chan_GetSignedField(uint32_t channel) { return SensMem_GetPolarizationVoltage(channel); }
void Chan_NotifyMemoryChanged(uint32_t channel) {
    if (channel == 1) g_SensorSaveFlags[kSensorSaveDiagnostics] = 1;
}
float Meas_GetOrpOffset(uint32_t channel) { return CalPh_GetOrpOffset(channel); }
void Meas_QueueMeasurementItems() {
    Link_QueueItem(kSensCmdG113);
    Link_QueueItem(kSensCmdG132);
}

void Chan_RequestO2Mode(uint32_t channel, int16_t millivolts) {
    if (!Chan_IsMeasuringKindO2(Chan_GetSensorKindBySel(3))) return;
    if (channel == 0) {
        Link_SetPolarizationVoltage(0, static_cast<float>(millivolts), 0);
    } else if (channel == 1) {
        SensMem_StorePolarizationOffset(1, millivolts);
    }
}

// ---- The protocol record ------------------------------------------------------------------------------

uint32_t Chan_HasStatusBit2(uint32_t channel) {
    return channel < 2 && (g_SensorProtocol[channel].optionByte & 0x04) ? 1 : 0;
}
uint32_t Chan_IsMode2(uint32_t channel) { return channel < 2 && (g_SensorProtocol[channel].optionByte & 0x03) == 2; }
uint8_t Chan_GetRecordByte(uint32_t channel) { return channel < 2 ? g_SensorProtocol[channel].optionByte : 0; }
uint8_t Chan_GetProtocolByte(uint32_t channel) { return channel < 2 ? g_SensorProtocol[channel].typeByte : 0; }

void Chan_SetStatusWord(uint32_t channel, const uint8_t* reply) {
    if (channel >= 2) return;
    uint32_t low = static_cast<uint32_t>(reply[0]) << 8 | reply[1];
    uint32_t high = static_cast<uint32_t>(reply[2]) << 8 | reply[3];
    g_SensorStatusWord[channel] = high << 16 | low;
}

uint32_t Chan_GetStatusField(uint32_t channel, uint32_t index, uint32_t) {
    if (channel >= 2) return 0;
    uint32_t word = g_SensorStatusWord[channel];
    if (index <= 11) return (word >> index) & 1u;
    if (index == 12) return (word >> 16) & 3u;
    if (index <= 16) return (word >> (index + 5)) & 1u;
    uint32_t bit = index + 7;
    return bit < 32 ? (word >> bit) & 1u : 0;
}

// ---- Channel-B settings -----------------------------------------------------------------------------

void Chan_SetBRecordWord(uint32_t channel, int16_t value, uint32_t* status) {
    *status = 0;
    if (channel >= 2 || g_SensorParams[channel].optionWord == value) return;
    g_SensorParams[channel].optionWord = value;
    uint8_t byte = static_cast<uint8_t>(value);
    if (channel == 1) Eeprom_WriteChecked(kStoreOptionWordB, &byte, 1, status);
}

void Chan_SetBRecordFlag(uint32_t channel, uint8_t value, uint32_t* status) {
    *status = 0;
    if (channel >= 2 || g_SensorParams[channel].flag == value) return;
    g_SensorParams[channel].flag = value;
    if (channel == 1) Eeprom_WriteChecked(kStoreFlagB, &value, 1, status);
}

void Chan_SetBRecordFlagRam(uint32_t channel, uint8_t flag) {
    if (channel < 2) g_SensorParams[channel].flag = flag;
}

void Chan_ResetChannelB(uint32_t* status) {
    *status = 0;
    Cal_SetDriftControl(1, 0);
    uint32_t s = 0;
    CalO2_SetPressureSource(1, 0, &s);
    Eeprom_NoteFailure(status, s);
    // The factory value is stored whether or not it was in use already.
    g_SensorParams[1].optionWord = kOptionWordDefault;
    uint8_t byte = kOptionWordDefault;
    s = 0;
    Eeprom_WriteNoted(kStoreOptionWordB, &byte, 1, status);
}

void Chan_LoadChannelBSettings(uint32_t, uint32_t mode, uint32_t* status) {
    *status = 0;
    if (mode == 1) return;
    bool failed = false;
    uint8_t byte = 0xFF;
    Eeprom_Read(kStoreOptionWordB, &byte, 1, status);
    failed = failed || *status != 0;
    g_SensorParams[1].optionWord = *status == 0 && byte <= 2 ? byte : kOptionWordDefault;
    byte = 0xFF;
    Eeprom_Read(kStoreFlagB, &byte, 1, status);
    failed = failed || *status != 0;
    if (*status == 0 && byte > 1) {
        byte = 1;
        uint32_t s = 0;
        Eeprom_WriteChecked(kStoreFlagB, &byte, 1, &s);
    }
    if (*status == 0) g_SensorParams[1].flag = byte;
    byte = 0xFF;
    Eeprom_Read(kStorePressureSourceB, &byte, 1, status);
    failed = failed || *status != 0;
    g_SensorCal[1].pressureSource = *status == 0 && byte <= 1 ? byte : 0;
    float value = 0.0f;
    Eeprom_ReadFloat(kStoreProcPressureB, &value, status);
    failed = failed || *status != 0;
    if (*status == 0) g_SensorCal[1].procPressure = value;
    Eeprom_ReadFloat(kStoreSalinityB, &value, status);
    failed = failed || *status != 0;
    if (*status == 0) g_SensorCal[1].salinity = value;
    byte = 0xFF;
    Eeprom_Read(kStoreS133SettingB, &byte, 1, status);
    failed = failed || *status != 0;
    if (*status == 0) g_SensorCal[1].sensorSetting = byte;
    if (failed) {
        g_SensorParams[1].optionWord = kOptionWordDefault;
        g_SensorCal[1].pressureSource = 0;
    }
}
