// Command protocol of digital sensors without a memory image: the command table, the framing of
// a command with its CRC-16, the checks of an answer, the queueing of commands and the reads of
// what the answers left in the sensor's records.
#include "digital_sensor/sens_cmd.h"

#include <cmath>
#include <cstring>

#include "core/link.h"
#include "core/rtc.h"
#include "core/util.h"
#include "digital_sensor/sens_cmd_items.h"
#include "measurement/channel.h"

// The sensor's commands: id, answer time in ticks, name, request and answer payload lengths,
// request builder, answer handler. In the sensor's own order.
const SensCmdRow g_SensCmdTable[kSensCmdTableRows] = {
    {kSensCmdG100, 35, "G100", 0, 96, nullptr, SensCmd_OnG100Measurement},
    {kSensCmdS137, 25, "S137", 5, 0, SensCmd_BuildS137, nullptr},
    {kSensCmdS112, 40, "S112", 54, 0, SensCmd_BuildS112CalData, nullptr},
    {kSensCmdG113, 35, "G113", 0, 55, nullptr, SensCmd_OnG113CalData},
    {kSensCmdG124, 30, "G124", 0, 80, nullptr, SensCmd_OnIdentification},
    {kSensCmdS126, 30, "S126", 1, 0, SensCmd_BuildS126, nullptr},
    {kSensCmdS127, 30, "S127", 1, 0, SensCmd_BuildS127ResetEvent, nullptr},
    {kSensCmdG129, 30, "G129", 0, 25, nullptr, SensCmd_OnG129},
    {kSensCmdS131, 30, "S131", 5, 0, SensCmd_BuildS131, nullptr},
    {kSensCmdG131, 35, "G131", 0, 5, nullptr, SensCmd_OnG131},
    {kSensCmdG132, 40, "G132", 0, 96, nullptr, SensCmd_OnG132CalHistory},
    {kSensCmdG133, 35, "G133", 0, 4, nullptr, SensCmd_OnG133},
    {kSensCmdS133, 30, "S133", 4, 0, SensCmd_BuildS133, nullptr},
    {kSensCmdG134, 35, "G134", 0, 12, nullptr, SensCmd_OnG134Registers},
    {kSensCmdS134, 30, "S134", 3, 0, SensCmd_BuildS134RegisterWrite, nullptr},
    {kSensCmdS136, 70, "S136", 13, 0, SensCmd_BuildS136DateTime, nullptr},
    {kSensCmdG139, 35, "G139", 0, 8, nullptr, SensCmd_OnG139CycleTemps},
    {kSensCmdS139, 30, "S139", 8, 0, SensCmd_BuildS139CycleTemps, nullptr},
    {kSensCmdS510, 30, "S510", 2, 0, SensCmd_BuildS510, nullptr},
    {kSensCmdG540, 35, "G540", 0, 4, nullptr, SensCmd_OnG540},
    {kSensCmdS540, 30, "S540", 4, 0, SensCmd_BuildS540, nullptr},
};

SensCmdSet g_SensCmdSet = {g_SensCmdTable, kSensCmdTableRows};
uint8_t g_SensorProtoFlag[2];
SensorIdentRecord g_SensorIdent[2];
SensorProtocolRecord g_SensorProtocol[2];
SensorParamRecord g_SensorParams[2];
SensCalHistoryEntry g_SensCalHistory[2][kSensCmdHistoryEntries];
uint32_t g_SensorStatusWord[2];

// Frame start bytes: a request goes from the transmitter (3) to the sensor (1), an answer back.
static constexpr uint8_t kRequestStart[2] = {0x03, 0x01};
static constexpr uint8_t kAnswerStart[2] = {0x01, 0x03};
// The length field counts the payload and the name with its length field (and the status).
static constexpr uint32_t kRequestLengthExtra = 6;
static constexpr uint32_t kAnswerLengthExtra = 7;
// An answer's name has its first letter in lower case.
static constexpr uint8_t kLowerCase = 0x20;
// Status bit 6 of an answer is a notice, not a fault.
static constexpr uint8_t kAnswerFaultBits = 0xBF;
// The board's time-out is given in ms; the link waits the sensor's time, a fifth of a tick per
// answer byte with its frame, and 12 ticks more.
static constexpr uint32_t kMsPerTick = 20;
static constexpr uint32_t kAnswerBytesPerTick = 5;
static constexpr uint32_t kAnswerFrameBytes = 15;
static constexpr uint32_t kWaitMargin = 12;
// Firmware 2.14 is the oldest the command protocol runs with, in hundredths.
static constexpr uint32_t kFirmwareSupported = 214;
static constexpr uint32_t kTypeTextChars = 13;
static constexpr uint32_t kTypeTextShown = 12;
static constexpr char kHistoryAbsent[] = "--/--/--";
static constexpr uint32_t kHistoryAlwaysPresent = 2;
static constexpr uint16_t kCenturyBase = 2000;
static constexpr uint16_t kFallbackYear = 2008;
static constexpr uint8_t kFallbackWeekday = 1;
// Optical oxygen, the only sensor kind that takes queued writes.
static constexpr uint32_t kKindOptical = 9;

void SensCmd_ResetState() {
    g_SensCmdSet = SensCmdSet{g_SensCmdTable, kSensCmdTableRows};
    std::memset(g_SensorProtoFlag, 0, sizeof g_SensorProtoFlag);
    std::memset(g_SensorIdent, 0, sizeof g_SensorIdent);
    std::memset(g_SensorProtocol, 0, sizeof g_SensorProtocol);
    std::memset(g_SensorParams, 0, sizeof g_SensorParams);
    std::memset(g_SensCalHistory, 0, sizeof g_SensCalHistory);
    std::memset(g_SensorStatusWord, 0, sizeof g_SensorStatusWord);
}

// ---- Frames -----------------------------------------------------------------------------------

const SensCmdRow* SensCmd_FindRow(uint32_t id) {
    for (uint8_t i = 0; i < g_SensCmdSet.count; ++i) {
        if (g_SensCmdSet.rows[i].id == id) return &g_SensCmdSet.rows[i];
    }
    return nullptr;
}

uint32_t SensCmd_FrameRequest(uint32_t channel, const SensCmdRow* row, uint8_t* frame) {
    uint32_t n = row->requestLength;
    frame[0] = kRequestStart[0];
    frame[1] = kRequestStart[1];
    Util_PutU16BE(static_cast<uint16_t>(n + kRequestLengthExtra), frame + 2);
    std::memcpy(frame + 4, row->name, kSensCmdNameBytes);
    uint8_t* payload = frame + kSensCmdHeaderBytes;
    std::memset(payload, 0, n);
    if (row->builder != nullptr) row->builder(channel, payload);
    uint16_t crc = Util_Crc16Ccitt(frame + 4, kSensCmdNameBytes + n);
    Util_PutU16BE(crc, payload + n);
    return n + kSensCmdRequestExtra;
}

uint32_t SensCmd_BuildRequest(uint32_t channel, uint32_t id, uint8_t* wait, uint8_t* buffer) {
    const SensCmdRow* row = SensCmd_FindRow(id);
    if (row == nullptr || channel > 1) return 0;
    Util_PutU16BE(static_cast<uint16_t>(row->time * kMsPerTick), buffer);
    uint32_t n = SensCmd_FrameRequest(channel, row, buffer + 2);
    *wait =
        static_cast<uint8_t>(row->time + (row->replyLength + kAnswerFrameBytes) / kAnswerBytesPerTick + kWaitMargin);
    return n + 2;
}

uint32_t SensCmd_FindHeader(uint32_t* position, const uint8_t* bytes, uint32_t length, const uint8_t* header,
                            uint32_t n) {
    if (length < n) return 0;
    for (uint32_t at = 0; at + n <= length; ++at) {
        if (std::memcmp(bytes + at, header, n) == 0) {
            *position = at;
            return 1;
        }
    }
    return 0;
}

uint32_t SensCmd_HandleReply(uint32_t channel, uint32_t id, const uint8_t* bytes, uint32_t length) {
    const SensCmdRow* row = SensCmd_FindRow(id);
    if (row == nullptr || channel > 1) return 0;
    uint32_t m = row->replyLength;
    if (length < m + kSensCmdAnswerExtra) return 0;
    uint8_t header[kSensCmdHeaderBytes] = {kAnswerStart[0], kAnswerStart[1]};
    Util_PutU16BE(static_cast<uint16_t>(m + kAnswerLengthExtra), header + 2);
    std::memcpy(header + 4, row->name, kSensCmdNameBytes);
    header[4] = static_cast<uint8_t>(header[4] + kLowerCase);
    uint32_t at = 0;
    if (!SensCmd_FindHeader(&at, bytes, length, header, kSensCmdHeaderBytes)) return 0;
    // The whole answer must have arrived: header, payload, status and CRC.
    if (at + m + kSensCmdAnswerExtra > length) return 0;
    const uint8_t* payload = bytes + at + kSensCmdHeaderBytes;
    if (payload[m] & kAnswerFaultBits) return 0;
    return row->handler != nullptr ? row->handler(channel, payload) : 1;
}

uint32_t SensCmd_ParseDecimal(uint32_t n, const char* text) {
    uint32_t value = 0;
    bool digits = false;
    for (uint32_t i = 0; i < n; ++i) {
        char c = text[i];
        if (c >= '0' && c <= '9') {
            value = value * 10 + static_cast<uint32_t>(c - '0');
            digits = true;
        } else if (digits) {
            break;
        } else {
            value *= 10;
        }
    }
    return value;
}

// ---- Queueing ---------------------------------------------------------------------------------

void SensCmd_InitRecord(uint32_t channel) {
    if (channel < 2) g_SensorProtocol[channel] = g_SensorIdent[channel];
}

void SensCmd_QueueAutoclaveIncrement(uint32_t channel, uint8_t value) {
    if (channel > 1) return;
    g_SensorProtocol[channel].s126Value = value;
    Link_QueueItem(kSensCmdS126);
}

void SensCmd_QueueResetEvent(uint32_t channel, uint32_t n) {
    if (channel > 1 || n < 1 || n > 6) return;
    g_SensorProtocol[channel].resetEvents |= static_cast<uint8_t>(1u << n);
    Link_QueueItem(kSensCmdS127);
}

uint32_t SensCmd_SetRegister(uint32_t channel, uint32_t n, uint16_t value) {
    if (channel > 1) return 0;
    SensorProtocolRecord& r = g_SensorProtocol[channel];
    switch (n) {
        case 1:
            r.register1 = value;
            break;
        case 2:
            r.register2 = value;
            break;
        case 3:
            r.register3 = value;
            break;
        case 5:
            // Register 5 is written only when it changes, and the sensor's report follows it.
            if (value == r.register5) return 0;
            r.register5 = value;
            g_SensorIdent[channel].register5 = value;
            break;
        default:
            return 0;
    }
    r.pendingRegisters |= static_cast<uint8_t>(1u << n);
    return 1;
}

void SensCmd_SetParamThousandths(uint32_t channel, float value) {
    if (channel > 1) return;
    g_SensorProtocol[channel].g133Value = value * 1000.0f;
    Link_QueueItem(kSensCmdS133);
}

void SensCmd_QueueS136ForKind9(uint32_t channel) {
    if (channel < 2 && g_SensorKindActive[channel] == kKindOptical) Link_QueueItem(kSensCmdS136);
}

// ---- Reads ------------------------------------------------------------------------------------

uint16_t SensCmd_GetRegister(uint32_t channel, uint32_t n) {
    if (channel > 1) return 0;
    const SensorProtocolRecord& r = g_SensorProtocol[channel];
    switch (n) {
        case 1:
            return r.register1;
        case 2:
            return r.register2;
        case 3:
            return r.register3;
        case 5:
            return r.register5;
        default:
            return 0;
    }
}

uint32_t SensCmd_GetParamRounded(uint32_t channel) {
    if (channel > 1) return 0;
    float value = std::floor(g_SensorProtocol[channel].g133Value / 1000.0f + 0.5f);
    // A value the sensor cannot hold reads as the nearest it can.
    if (!(value > 0.0f)) return 0;
    if (value >= 4294967295.0f) return 0xFFFFFFFFu;
    return static_cast<uint32_t>(value);
}

uint16_t SensCmd_GetActInterval(uint32_t channel) { return SensCmd_GetRegister(channel, 5); }
uint16_t SensCmd_GetLifetimeLimit(uint32_t channel) {
    return channel < 2 ? g_SensorProtocol[channel].lifetimeLimit : 0;
}
uint32_t SensCmd_GetOperatingHours(uint32_t channel) { return channel < 2 ? g_SensorIdent[channel].operatingHours : 0; }
uint32_t SensCmd_GetSerialNumber(uint32_t channel) { return channel < 2 ? g_SensorIdent[channel].serialNumber : 0; }

uint32_t SensCmd_GetModelNumber(uint32_t channel) {
    return channel < 2 ? SensCmd_ParseDecimal(kTypeTextChars, g_SensorIdent[channel].typeText) : 0;
}

uint32_t SensCmd_GetTypeText(uint32_t channel, char* text) {
    text[0] = '\0';
    if (channel > 1) return 0;
    uint32_t n = kTypeTextShown;
    const char* type = g_SensorIdent[channel].typeText;
    while (n > 0 && (type[n - 1] == ' ' || type[n - 1] == '\0')) --n;
    std::memcpy(text, type, n);
    text[n] = '\0';
    return n;
}

uint32_t SensCmd_GetPartNumber(uint32_t channel) { return channel < 2 ? g_SensorProtocol[channel].partNumber : 0; }

static void CopyVersion(const char* version, char* text) {
    std::memcpy(text, version, 4);
    text[4] = '\0';
}

void SensCmd_GetFirmwareVersionText(uint32_t channel, char* text) {
    text[0] = '\0';
    if (channel < 2) CopyVersion(g_SensorProtocol[channel].firmwareVersion, text);
}

void SensCmd_GetHardwareVersionText(uint32_t channel, char* text) {
    text[0] = '\0';
    if (channel < 2) CopyVersion(g_SensorProtocol[channel].hardwareVersion, text);
}

static bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Day of the week, 1 Sunday to 7 Saturday, as the clock counts it.
static uint8_t Weekday(uint16_t year, uint8_t month, uint8_t day) {
    static const uint8_t kMonthOffset[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    uint32_t y = month < 3 ? year - 1u : year;
    return static_cast<uint8_t>((y + y / 4 - y / 100 + y / 400 + kMonthOffset[month - 1] + day) % 7 + 1);
}

uint32_t SensCmd_GetCalHistoryEntry(uint32_t channel, uint32_t n, SensCalHistoryRecord* record) {
    *record = SensCalHistoryRecord{kFallbackYear, 1, 1, kFallbackWeekday, 0.0f, 0.0f};
    if (channel > 1 || n >= kSensCmdHistoryEntries) return 0;
    const SensCalHistoryEntry& entry = g_SensCalHistory[channel][n];
    if (n >= kHistoryAlwaysPresent && std::memcmp(entry.date, kHistoryAbsent, 8) == 0) return 0;
    record->zero = entry.zero;
    record->air = entry.air;
    const char* d = entry.date;
    bool digits = IsDigit(d[0]) && IsDigit(d[1]) && IsDigit(d[3]) && IsDigit(d[4]) && IsDigit(d[6]) && IsDigit(d[7]);
    if (!digits) return 1;
    ClockRecord date = {};
    date.year = static_cast<uint16_t>(kCenturyBase + (d[0] - '0') * 10 + (d[1] - '0'));
    date.month = static_cast<uint8_t>((d[3] - '0') * 10 + (d[4] - '0'));
    date.day = static_cast<uint8_t>((d[6] - '0') * 10 + (d[7] - '0'));
    if (!Rtc_IsValidRecord(&date)) return 1;
    record->year = date.year;
    record->month = date.month;
    record->day = date.day;
    record->weekday = Weekday(date.year, date.month, date.day);
    return 1;
}

uint32_t SensCmd_IsFirmwareSupported(uint32_t channel) {
    if (channel > 1) return 0;
    // The version text read as a decimal number, in hundredths: "2.14" is 214, "3.1" 310.
    const char* text = g_SensorIdent[channel].firmwareVersion;
    uint32_t whole = 0;
    uint32_t fraction = 0;
    uint32_t fractionDigits = 0;
    bool point = false;
    bool started = false;
    for (uint32_t i = 0; i < 4; ++i) {
        char c = text[i];
        if (c == ' ' && !started) continue;
        started = true;
        if (c == '.' && !point) {
            point = true;
        } else if (IsDigit(c) && !point) {
            whole = whole * 10 + static_cast<uint32_t>(c - '0');
        } else if (IsDigit(c)) {
            if (fractionDigits < 2) fraction = fraction * 10 + static_cast<uint32_t>(c - '0');
            ++fractionDigits;
        } else {
            break;
        }
    }
    uint32_t hundredths = whole * 100 + (fractionDigits == 1 ? fraction * 10 : fraction);
    return hundredths >= kFirmwareSupported ? 1 : 0;
}
