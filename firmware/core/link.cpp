// Sensor-board link: request framing, the pending-request mask, the link state machine with its
// time-outs and retries, reply checks and their effects, and the byte pump to the library.
#include "core/link.h"

#include <cmath>
#include <cstdio>
#include <cstring>

#include "core/eeprom.h"
#include "core/fw_hook.h"
#include "core/ident.h"
#include "core/util.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/meas.h"
#include "panel/sim_inputs.h"
#include "platform/plat.h"
#include "platform/plat_library.h"

const char kLibraryFileName[] = "Brannic.so";

LinkBuffer g_LinkBuffer;
uint32_t g_FwHalted;
uint8_t g_LinkStartupWait;
uint8_t g_SaveWaitBits;
std::atomic<uint32_t> g_LinkState{kLinkIdle};
std::atomic<uint32_t> g_LinkTickCount{0};
uint8_t g_LinkRetryCount;
uint8_t g_LinkReqChannel = kLinkNoChannel;
uint32_t g_PendingRequests;
uint32_t g_LinkItems[5];
uint8_t g_LinkActiveChannel = kLinkNoChannel;
float g_LinkPolVoltage;
uint8_t g_LinkPageIndex[2];
uint32_t g_DirtyPages[2];
uint8_t g_LinkRequestResult = 255;
uint8_t g_LinkSaveResult = 255;
uint16_t g_LinkChanStatus[2];
uint8_t g_PlugReplyFlag;
std::atomic<PlatLibrary*> g_LibraryHandle{nullptr};

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;
static constexpr std::memory_order kAcquire = std::memory_order_acquire;
static constexpr std::memory_order kRelease = std::memory_order_release;

static constexpr uint32_t kStartupRequests =
    (1u << kReqCalTable) | (1u << kReqIdentity) | (1u << kReqVersionCheck);
// Kinds 0 to 6 belong to the measured channel; selecting a channel drops them.
static constexpr uint32_t kChannelRequests = 0x7F;
static constexpr uint8_t kRetryLimit = 3;
static constexpr uint32_t kRetryExtraTicks = 20;
// Fewer bytes than this since the request was sent count as no answer at all.
static constexpr uint8_t kAnswerMinBytes = 4;
static constexpr uint8_t kReplyMinLength = 5;
static constexpr uint8_t kReplyHeaderBytes = 4;
static constexpr uint8_t kRangeAutomatic = 5;
static constexpr uint8_t kGainDefault = 2;
static constexpr float kPolVoltageDefault = -674.0f;
static constexpr float kPolVoltageStep = 0.01f;
// Channel B's page 13 holds the counters the sensor keeps itself: re-read once per 3607 replies.
static constexpr uint16_t kPage13Replies = 3606;
static constexpr uint8_t kPage13 = 13;
static constexpr uint8_t kLastPage = 16;
// Page 16 of the firmware's image is block 18 of the board's 19 blocks.
static constexpr uint8_t kBlockOfLastPage = 18;
static constexpr uint8_t kSensorImageAnswer = 0x7E;
// The G100 poll counter value that takes the sensor's diagnostic block with the next good poll.
static constexpr uint16_t kPollTakeDiagnostics = 405;
// Payload bytes of a request frame: 256 bytes less start, length, command and checksum.
static constexpr uint32_t kRequestPayloadMax = kLinkFrameMax - 4;

// Sensor command items whose answers lead to further commands.
enum : uint8_t {
    kItemG124 = 0,
    kItemS136 = 3,
    kItemG133 = 5,
    kItemG139 = 7,
    kItemS134 = 8,
    kItemG134 = 9,
    kItemG131 = 11,
    kItemS112 = 13,
    kItemG129 = 14,
    kItemG113 = 15,
    kItemG132 = 16,
    kItemG540 = 18,
};
// The optical sensor's calibration step, which is followed by "G129" rather than a read-back.
static constexpr uint8_t kS112CalibrationStep = 3;

// Command and reply wait (ticks) of each request kind; a command of 0xFF marks a reserved kind.
struct RequestKind {
    uint8_t command;
    uint8_t replyWait;
};
static const RequestKind kRequestKinds[32] = {
    {0x00, 30}, {0x07, 30}, {0x06, 30}, {0x08, 0},   {0x06, 20}, {0x05, 50},  {0x09, 30}, {0xFF, 0},
    {0xFF, 0},  {0xFF, 0},  {0xFF, 0},  {0xFF, 0},   {0x0C, 30}, {0x02, 50},  {0x01, 40}, {0x0D, 100},
    {0x03, 30}, {0x10, 30}, {0x04, 30}, {0x0A, 40},  {0xFF, 0},  {0x11, 20},  {0xB1, 5},  {0xFF, 0},
    {0xFF, 0},  {0xFF, 0},  {0xFF, 0},  {0xFF, 0},   {0xFF, 0},  {0xFF, 0},   {0xFF, 0},  {0xFF, 0},
};

// Holds Link_CountTick while the firmware thread resets the count.
static std::atomic<uint8_t> s_TickStop{0};
static uint8_t s_ItemWord;
static uint8_t s_MeasureMode = 255;
static uint8_t s_Range = kRangeAutomatic;
static uint8_t s_Gain = kGainDefault;
static uint8_t s_PolFlag;
static uint8_t s_CalKind;
static uint8_t s_CalPoint;
static uint8_t s_CalSaveMode;
static float s_CalValue;
// The reply found in the ring, copied out in one piece so that decoders see it whole even when
// it wrapped over the ring's end.
static uint8_t s_Reply[kLinkFrameMax];

// Tick counts live in a byte: a sum that does not fit stays at the longest wait.
static uint8_t AddTicks(uint32_t ticks, uint32_t more) {
    uint32_t sum = ticks + more;
    return sum > 255 ? 255 : static_cast<uint8_t>(sum);
}

static void ResetTickCount() {
    s_TickStop.store(1, kRelaxed);
    g_LinkTickCount.store(0, kRelaxed);
    s_TickStop.store(0, kRelaxed);
}

// ---- Pending requests and items -----------------------------------------------------------------

uint32_t Link_SetRequestBit(uint32_t kind) {
    if (kind < 32) g_PendingRequests |= 1u << kind;
    return g_PendingRequests;
}

void Link_SetRequestMask(uint32_t mask) { g_PendingRequests |= mask; }

void Link_ClearRequestBit(uint32_t kind) {
    if (kind < 32) g_PendingRequests &= ~(1u << kind);
}

void Link_ClearRequestMask(uint32_t mask) { g_PendingRequests &= ~mask; }
void Link_ClearRequests() { g_PendingRequests = 0; }

uint32_t Link_IsRequestPending(uint32_t kind) { return kind < 32 && (g_PendingRequests & (1u << kind)) ? 1 : 0; }

uint32_t Link_FindFirstSetBit(uint32_t word) {
    for (uint32_t position = 0; position < 32; ++position) {
        if (word & (0x80000000u >> position)) return position;
    }
    return 32;
}

void Link_ClearItems() { std::memset(g_LinkItems, 0, sizeof g_LinkItems); }

void Link_QueueItem(uint32_t item) {
    if (item >= 32 * 5) return;
    s_ItemWord = static_cast<uint8_t>(item / 32);
    g_LinkItems[s_ItemWord] |= 0x80000000u >> (item % 32);
}

uint8_t Link_TakeNextItem(uint32_t take) {
    uint32_t position = Link_FindFirstSetBit(g_LinkItems[s_ItemWord]);
    if (position == 32) return 255;
    if (take == 1) g_LinkItems[s_ItemWord] &= ~(0x80000000u >> position);
    return static_cast<uint8_t>(s_ItemWord * 32 + position);
}

uint8_t Link_TakeNextDirtyPage() {
    for (uint8_t page = 0; page <= kLastPage; ++page) {
        uint32_t bit = 1u << page;
        if (!(g_DirtyPages[1] & bit)) continue;
        g_DirtyPages[1] &= ~bit;
        if (g_DirtyPages[1] & ((1u << (kLastPage + 1)) - 1)) Link_SetRequestBit(kReqWritePage);
        return page;
    }
    return 255;
}

// ---- Requests of the rest of the firmware --------------------------------------------------------

void Link_SetRange(uint8_t range) {
    if (range != s_Range) Link_SetRequestBit(kReqRange);
    s_Range = range;
}

void Link_SetGain(uint8_t gain) {
    if (gain != s_Gain) Link_SetRequestBit(kReqGain);
    s_Gain = gain;
}

void Link_SetPolarizationVoltage(uint32_t, float millivolts, uint8_t flag) {
    if (std::fabs(millivolts - g_LinkPolVoltage) > kPolVoltageStep) Link_SetRequestBit(kReqPolarization);
    s_PolFlag = flag;
    g_LinkPolVoltage = millivolts;
}

void Link_RequestCalSave(uint8_t mode, uint8_t kind) {
    s_CalSaveMode = mode;
    s_CalKind = kind;
    Link_SetRequestBit(kReqCalSave);
}

void Link_RequestCalPoint(uint8_t point, uint8_t kind, float value, uint32_t* status) {
    g_LinkSaveResult = 255;
    if (Link_IsRequestPending(kReqCalPoint)) {
        *status = 2;
        return;
    }
    *status = 0;
    s_CalPoint = point;
    s_CalKind = kind;
    s_CalValue = value;
    g_LinkRequestResult = 255;
    Link_SetRequestBit(kReqCalPoint);
}

void Link_SetMeasureMode(uint32_t channel, uint32_t mode) {
    if (channel > 1) return;
    bool changed = false;
    if (channel != g_LinkActiveChannel) {
        g_LinkActiveChannel = static_cast<uint8_t>(channel);
        g_SensorPlugged[1] = 0;
        Meas_ResetChannel(channel == 0 ? 1 : 0);
        changed = true;
    }
    if (channel == 0 && static_cast<uint8_t>(mode) != s_MeasureMode) {
        s_MeasureMode = static_cast<uint8_t>(mode);
        changed = true;
    }
    if (!changed) return;
    g_LinkPolVoltage = kPolVoltageDefault;
    for (int c = 0; c < 2; ++c) {
        g_MeasReplyCount[c] = 0;
        g_ChanValueReady[c] = 0;
    }
    s_Range = kRangeAutomatic;
    s_Gain = kGainDefault;
    Link_SetRequestBit(kReqMeasureMode);
    if (channel == 1) {
        Chan_SetKind(1, kKindNone);
    } else {
        Chan_ForceKind(1, kKindNone);
    }
}

void Link_QueueStartupRequests() {
    g_FwHalted = 0;
    Link_SetRequestMask(kStartupRequests);
}

void Link_Reset() {
    Link_ClearRequests();
    g_LinkState.store(kLinkIdle, kRelaxed);
    s_Range = kRangeAutomatic;
    s_Gain = kGainDefault;
    g_LinkActiveChannel = kLinkNoChannel;
    s_MeasureMode = 255;
    Link_QueueStartupRequests();
}

// ---- Building and sending --------------------------------------------------------------------

static uint8_t BlockOfPage(uint8_t page) { return page == kLastPage ? kBlockOfLastPage : page; }

uint32_t Link_BuildRequest(uint8_t channel, uint8_t kind, uint8_t turnaround) {
    if (kind >= 32 || kRequestKinds[kind].command == 0xFF) return 0;
    LinkBuffer& b = g_LinkBuffer;
    uint8_t payload[kLinkFrameMax];
    uint32_t n = 0;
    uint8_t wait = kRequestKinds[kind].replyWait;
    switch (kind) {
    case kReqMeasureA:
        Link_SetRequestBit(kReqMeasureA);
        turnaround = 20;
        break;
    case kReqMeasureB:
        payload[n++] = 0;
        Link_SetRequestBit(kReqMeasureB);
        turnaround = 20;
        break;
    case kReqReadPage13:
        payload[n++] = kPage13;
        break;
    case kReqWritePage: {
        uint8_t page = Link_TakeNextDirtyPage();
        if (page > kLastPage) return 0;
        payload[n++] = BlockOfPage(page);
        std::memcpy(payload + n, &g_SensorMemImage[1][page * kSensorPageBytes], kSensorPageBytes);
        n += kSensorPageBytes;
        // The sensor needs its write time for a page: factor x 32 / 200 ticks and a margin of 10.
        uint64_t ticks = static_cast<uint64_t>(SensMem_GetWriteTime(1)) * 32 / 200 + 10;
        wait = ticks > 255 ? 255 : static_cast<uint8_t>(ticks);
        break;
    }
    case kReqReadPage: {
        uint8_t page = g_LinkPageIndex[1];
        if (page > kLastPage) return 0;
        payload[n++] = BlockOfPage(page);
        break;
    }
    case kReqSensorCommand: {
        b.item = Link_TakeNextItem(1);
        n = SensCmd_BuildRequest(1, b.item, &wait, payload);
        if (n > kRequestPayloadMax) return 0;
        break;
    }
    case kReqCalSave:
        payload[n++] = s_CalKind;
        payload[n++] = s_CalSaveMode;
        break;
    case kReqCalPoint:
        payload[n++] = s_CalPoint;
        payload[n++] = s_CalKind;
        Util_PutFloatBE(s_CalValue, payload + n);
        n += 4;
        break;
    case kReqRange:
        payload[n++] = s_Range;
        break;
    case kReqGain:
        payload[n++] = s_Gain;
        break;
    case kReqPolarization:
        Util_PutFloatBE(g_LinkPolVoltage, payload + n);
        n += 4;
        payload[n++] = 0;
        payload[n++] = s_PolFlag;
        break;
    case kReqMeasureMode:
        payload[n++] = channel;
        payload[n++] = s_MeasureMode;
        Link_ClearRequestMask(kChannelRequests);
        if (channel == 0) Link_SetRequestBit(kReqMeasureA);
        if (channel == 1) Link_SetRequestBit(kReqSensorStatus);
        if (channel < 2) g_MeasReplyCount[channel] = 0;
        break;
    case kReqVersionCheck:
        payload[n++] = 1;
        turnaround = 70;
        break;
    default:
        break;
    }
    b.kind = kind;
    b.command = kRequestKinds[kind].command;
    b.turnaround = turnaround;
    b.replyWait = wait;
    b.frame[0] = kLinkRequestStart;
    b.frame[1] = static_cast<uint8_t>(n + 4);
    b.frame[2] = b.command;
    std::memcpy(b.frame + 3, payload, n);
    b.frame[n + 3] = Util_ByteSumNegated(b.frame, n + 3);
    g_LinkReqChannel = channel;
    g_LinkState.store(kLinkBuilt, kRelaxed);
    return 1;
}

void Link_StartNextRequest() {
    if (g_PendingRequests == 0) {
        // Selecting "no channel" would tell the board nothing it can measure.
        if (g_LinkActiveChannel > 1) return;
        Link_SetRequestBit(kReqMeasureMode);
    }
    uint8_t kind = static_cast<uint8_t>(31 - Link_FindFirstSetBit(g_PendingRequests));
    Link_ClearRequestBit(kind);
    Link_BuildRequest(g_LinkActiveChannel, kind, kind <= kReqWritePage ? 25 : 2);
}

void Link_ArmSend() {
    LinkBuffer& b = g_LinkBuffer;
    b.awaitingReply.store(0, kRelaxed);
    b.readIndex = 0;
    b.writeIndex.store(0, kRelaxed);
    b.sendIndex.store(0, kRelaxed);
    // Last, so the pump sees the whole frame once it sees the flag.
    b.requestPending.store(1, kRelease);
}

// ---- Receiving and checking -------------------------------------------------------------------

// Looks for the reply among the bytes from the read index up to end.
static uint32_t FindReplyBefore(LinkBuffer* b, uint8_t end) {
    uint8_t available = static_cast<uint8_t>(end - b->readIndex);
    uint8_t offset = 0;
    while (offset < available && b->ring[static_cast<uint8_t>(b->readIndex + offset)] != kLinkReplyStart) ++offset;
    if (offset == available) return 0;
    uint8_t start = static_cast<uint8_t>(b->readIndex + offset);
    uint8_t have = static_cast<uint8_t>(available - offset);
    if (have < 2) return 0;
    uint8_t length = b->ring[static_cast<uint8_t>(start + 1)];
    // Only a reply whose every announced byte has arrived is examined.
    if (length < kReplyMinLength || have < length) return 0;
    for (uint8_t i = 0; i < length; ++i) s_Reply[i] = b->ring[static_cast<uint8_t>(start + i)];
    b->status = s_Reply[3];
    if (s_Reply[2] != b->command || s_Reply[3] != 0) return 0;
    if (s_Reply[length - 1] != Util_ByteSumNegated(s_Reply, length - 1u)) return 0;
    b->payloadPos = static_cast<uint8_t>(start + kReplyHeaderBytes);
    b->payloadLength = static_cast<uint8_t>(length - kReplyMinLength);
    return 1;
}

uint32_t Link_FindReplyFrame(LinkBuffer* buffer) {
    return FindReplyBefore(buffer, buffer->writeIndex.load(kAcquire));
}

uint32_t Link_CheckReceived(LinkBuffer* buffer, uint32_t) {
    uint8_t end = buffer->writeIndex.load(kAcquire);
    if (end == buffer->readIndex) return 0;
    uint32_t found = FindReplyBefore(buffer, end);
    buffer->readIndex = end;
    return found;
}

// A memory page as the board sends it: 32 bytes summing to zero.
static bool IsPage(const uint8_t* payload, uint32_t n) {
    return n == kSensorPageBytes && Util_ByteSumIsZero(payload, n);
}

// The record's input current is the panel's analog input, scaled onto its range.
static void TakeInputCurrent(uint8_t channel) {
    g_Measurement[channel].analogInput = Panel_GetSimInput(0, kSimAnalogInput);
    Meas_UpdateInputPressure(channel);
}

// A channel-B measurement reply: decoded by the sensor's layout; its first replies only count.
static void TakeMeasurementB(uint8_t channel, const uint8_t* payload) {
    const uint8_t* values = payload + 4;
    switch (g_SensorMemLayout[channel]) {
    case 0:
        Meas_DecodePhReply(channel, values);
        break;
    case 1:
        Meas_DecodeOxygenReply(channel, values);
        break;
    case 2:
        Meas_DecodeCondReply(channel, values);
        break;
    default:
        break;
    }
    MeasurementRecord& record = g_Measurement[channel];
    Meas_CheckTemperatureRange(channel, record.temperature, &record.temperatureStatus);
    if (g_MeasReplyCount[channel] > 3 && g_SensorKindActive[channel] == g_MeasuringKind[channel]) {
        SensDiag_TickCycleDetectors(channel);
        SensDiag_UpdateMaxTemperature(channel);
        g_ChanValueReady[channel] = 1;
    } else {
        record = MeasurementRecord{};
        ++g_MeasReplyCount[channel];
    }
    TakeInputCurrent(channel);
    uint16_t replies = g_LinkChanStatus[channel];
    g_LinkChanStatus[channel] = static_cast<uint16_t>(replies + 1);
    if (replies >= kPage13Replies) {
        g_LinkChanStatus[channel] = 0;
        Link_SetRequestBit(kReqReadPage13);
    }
}

uint32_t Link_ParseReply(uint8_t channel) {
    const LinkBuffer& b = g_LinkBuffer;
    const uint8_t* p = s_Reply + kReplyHeaderBytes;
    uint32_t n = b.payloadLength;
    bool known = channel < 2;
    switch (b.kind) {
    case kReqMeasureA:
        return known && n >= 21 && Meas_DecodeChannelAReply(channel, p) ? 1 : 0;
    case kReqMeasureB:
        if (!known || n < 36) return 0;
        TakeMeasurementB(channel, p);
        return 1;
    case kReqReadPage13:
        if (!known || !IsPage(p, n)) return 0;
        std::memcpy(&g_SensorMemImage[channel][kPage13 * kSensorPageBytes], p, kSensorPageBytes);
        SensDiag_PublishIndicators(channel);
        return 1;
    case kReqReadPage: {
        if (!known || !IsPage(p, n) || g_LinkPageIndex[channel] > kLastPage) return 0;
        // Pages of a newly read sensor land in the staging image (channel A's slot).
        std::memcpy(&g_SensorMemImage[0][g_LinkPageIndex[channel] * kSensorPageBytes], p, kSensorPageBytes);
        return 1;
    }
    case kReqSensorStatus:
        // The input current stands in payload bytes 8 to 11.
        if (known && n >= 12) TakeInputCurrent(channel);
        return n >= 12 && p[0] == kSensorImageAnswer ? 1 : 0;
    case kReqSensorCommand:
        // The sensor's answer stands behind the board's 4-byte input current.
        if (!known || n < 4) return 0;
        TakeInputCurrent(channel);
        return SensCmd_HandleReply(channel, b.item, p + 4, n - 4) ? 1 : 0;
    case kReqCalTable:
        return n >= 108 && Meas_DecodeBoardCalTable(channel, p) ? 1 : 0;
    case kReqCalSave: {
        uint32_t saved = n > 0 && p[0] == 1 ? 1 : 0;
        Link_SetRequestBit(kReqCalTable);
        g_LinkSaveResult = static_cast<uint8_t>(saved);
        return saved;
    }
    case kReqCalPoint:
        if (n > 0 && p[0] == 1) {
            g_LinkRequestResult = 1;
            return 1;
        }
        g_LinkRequestResult = 0;
        g_LinkSaveResult = 0;
        return 0;
    case kReqIdentity:
        if (n >= kBoardIdentityBytes) Ident_StoreBoardIdentity(p);
        return 1;
    case kReqWritePage:
    case kReqRestoreFactory:
    case kReqRange:
    case kReqGain:
    case kReqPolarization:
    case kReqMeasureMode:
    case kReqVersionCheck:
        return 1;
    default:
        return 0;
    }
}

// ---- After a reply ----------------------------------------------------------------------------

// What follows a good answer to a sensor command.
static void FollowSensorCommand(uint8_t channel, uint8_t item) {
    switch (item) {
    case kItemG124:
        g_SensorProtoFlag[channel] = 1;
        Link_ClearItems();
        g_PlugReplyFlag = g_LinkStartupWait ? 1 : 0;
        if (g_SensorKindDetected[channel] >= kKindNoSensor) Link_QueueItem(kItemG124);
        if (g_SensorKindDetected[channel] == 9) {
            static const uint8_t kOpticalReads[] = {kItemG540, kItemG134, kItemG133, kItemG131,
                                                    kItemG113, kItemG132, kItemG139};
            for (uint8_t read : kOpticalReads) Link_QueueItem(read);
        }
        break;
    case kItemS136:
        Link_QueueItem(kItemG113);
        Link_QueueItem(kItemG132);
        break;
    case kItemS112:
        if (Chan_GetBRecordByte74() != kS112CalibrationStep) {
            Link_QueueItem(kItemG113);
            Link_QueueItem(kItemG132);
        } else {
            Link_QueueItem(kItemG129);
        }
        break;
    case kItemS134:
        g_LinkChanStatus[1] = kPollTakeDiagnostics;
        break;
    case kItemG132:
        if (g_SensorKindActive[channel] < kKindNoSensor) {
            g_LinkChanStatus[1] = kPollTakeDiagnostics;
            g_SensorParamSavePending = 1;
        } else {
            Link_QueueItem(kItemG134);
            Link_QueueItem(kItemG133);
        }
        break;
    case kItemG540:
        g_SensorPlugged[channel] = 1;
        break;
    default:
        break;
    }
}

void Link_AfterReply(uint8_t channel) {
    g_LinkRetryCount = 0;
    Vdx_ClearCommError();
    uint8_t kind = g_LinkBuffer.kind;
    // The sensor's requests belong to a channel; without one there is nothing of theirs to do.
    bool sensorRequest = kind == kReqReadPage || kind == kReqSensorStatus || kind == kReqSensorCommand;
    if (sensorRequest && channel > 1) return;
    switch (kind) {
    case kReqReadPage: {
        uint8_t page = ++g_LinkPageIndex[channel];
        if (page < kLastPage) {
            Link_SetRequestBit(kReqReadPage);
            break;
        }
        Vdx_DecodeSensorFamily(channel);
        uint32_t option = Vdx_CheckSensorOption(channel);
        if (page == kLastPage && option) {
            Link_SetRequestBit(kReqReadPage);
        } else {
            g_SensorPlugged[channel] = 1;
        }
        break;
    }
    case kReqSensorStatus:
        g_PlugReplyFlag = g_LinkStartupWait ? 1 : 0;
        g_LinkPageIndex[channel] = 0;
        g_LinkChanStatus[channel] = 0;
        g_SensorImageValid[channel] = 0;
        SensDiag_ClearSipDetectorState(channel);
        SensDiag_ClearCipDetectorState(channel);
        g_DirtyPages[channel] = 0;
        Link_ClearRequestBit(kReqWritePage);
        Link_ClearRequestBit(kReqReadPage13);
        Link_SetRequestBit(kReqReadPage);
        g_SensorProtoFlag[channel] = 0;
        Link_SetRequestBit(kReqMeasureB);
        break;
    case kReqSensorCommand:
        // The sensor is served without end: the next command, or "G100" when none waits.
        Link_SetRequestBit(kReqSensorCommand);
        FollowSensorCommand(channel, g_LinkBuffer.item);
        break;
    case kReqRestoreFactory:
        g_LinkSaveResult = 1;
        Link_SetRequestBit(kReqCalTable);
        break;
    default:
        break;
    }
}

void Link_OnFinalFailure(uint8_t kind) {
    if (kind == kReqVersionCheck) {
        if (g_LinkStartupWait) {
            // A board that refuses the version check cannot serve this firmware.
            g_FwHalted = 1;
            Vdx_ClearCommError();
        } else {
            Link_SetRequestBit(kReqVersionCheck);
        }
        return;
    }
    g_LinkRequestResult = 0;
    g_LinkSaveResult = 0;
}

// The same frame goes out again after the turnaround; false once the tries are used up.
static bool Retry() {
    ++g_LinkRetryCount;
    if (g_LinkRetryCount < kRetryLimit) {
        g_LinkState.store(kLinkBuilt, kRelaxed);
        return true;
    }
    g_LinkRetryCount = 0;
    return false;
}

// The channel's sensor is read again from its status on.
static void RestartSensor(uint8_t channel) {
    Link_SetRequestBit(kReqSensorStatus);
    if (channel > 1) return;
    Meas_ResetChannel(channel);
    g_SensorPlugged[channel] = 1;
    Chan_SetKind(channel, kKindNone);
}

void Link_HandleFailure(uint8_t channel) {
    LinkBuffer& b = g_LinkBuffer;
    uint8_t kind = b.kind;
    if (b.writeIndex.load(kAcquire) < kAnswerMinBytes) {
        // No answer at all: the first retry waits longer on both sides.
        if (g_LinkRetryCount == 0) {
            b.turnaround = AddTicks(b.turnaround, kRetryExtraTicks);
            b.replyWait = AddTicks(b.replyWait, kRetryExtraTicks);
        }
        if (Retry()) return;
        Vdx_RaiseCommError();
        if (channel < 2) Meas_ResetChannel(channel);
        Link_ClearRequests();
        g_LinkActiveChannel = kLinkNoChannel;
        uint8_t current = Chan_GetCurrentChannel();
        if (current < 2) Link_SetMeasureMode(current, g_ChannelKind[current]);
        Link_SetRequestBit(kReqVersionCheck);
        Link_OnFinalFailure(kind);
        return;
    }
    if (kind == kReqSensorStatus) {
        // No memory image on the board: the sensor may speak the command protocol.
        Vdx_UpdateDisconnectedB(1);
        Link_QueueItem(kItemG124);
        Link_SetRequestBit(kReqSensorCommand);
        return;
    }
    if (kind == kReqSensorCommand && b.item == kItemG124) {
        if (channel < 2 && g_SensorKindDetected[channel] != kKindNone) {
            Meas_ResetChannel(channel);
            g_SensorPlugged[channel] = 1;
            Chan_SetKind(channel, kKindNone);
        }
        Vdx_UpdateDisconnectedB(1);
        Link_SetRequestBit(kReqSensorStatus);
        return;
    }
    if (g_LinkRetryCount == 0) {
        if (b.turnaround < kRetryExtraTicks) b.turnaround = AddTicks(b.turnaround, kRetryExtraTicks);
        b.replyWait = AddTicks(b.replyWait, kRetryExtraTicks);
    }
    if (Retry()) return;
    if ((kind >= kReqMeasureB && kind <= kReqReadPage) || kind == kReqSensorCommand) {
        if (kind == kReqSensorCommand) {
            uint32_t status = 0;
            SensDiag_LoadSettings(&status);
        }
        RestartSensor(channel);
    }
    Link_OnFinalFailure(kind);
}

// ---- State machine ----------------------------------------------------------------------------

void Link_CountTick() {
    if (s_TickStop.load(kRelaxed) != 1) g_LinkTickCount.fetch_add(1, kRelaxed);
}

void Link_Tick() {
    LinkBuffer& b = g_LinkBuffer;
    switch (g_LinkState.load(kAcquire)) {
    case kLinkIdle:
        if (!g_FwHalted) Link_StartNextRequest();
        break;
    case kLinkBuilt:
        if (g_LinkTickCount.load(kRelaxed) > b.turnaround) {
            // Armed before the pump may see the request, so the pump's "sent" is never overwritten.
            g_LinkState.store(kLinkArmed, kRelaxed);
            Link_ArmSend();
        }
        break;
    case kLinkSent:
        if (g_LinkTickCount.load(kRelaxed) >= b.replyWait) {
            g_LinkState.store(kLinkIdle, kRelaxed);
            ResetTickCount();
            Fw_HardwareHook();
            uint8_t channel = g_LinkReqChannel;
            if (Link_CheckReceived(&b, 0) && Link_ParseReply(channel)) {
                Link_AfterReply(channel);
            } else {
                Link_HandleFailure(channel);
            }
        }
        break;
    default:
        // Armed: the pump sends the frame and moves on.
        break;
    }
}

// ---- Transport ------------------------------------------------------------------------------------

template <typename Fn>
static Fn Export(PlatLibrary* library, const char* name) {
    return reinterpret_cast<Fn>(Plat_LibraryFind(library, name));
}

void Link_BindLibrary() {
    const char* folder = Link_GetLibraryDirectory();
    size_t n = std::strlen(folder);
    char separator[2] = {Plat_PathSeparator(), '\0'};
    if (n > 0 && folder[n - 1] == separator[0]) separator[0] = '\0';
    char path[kEepromPathSize + 16];
    int written = std::snprintf(path, sizeof path, "%s%s%s", folder, separator, kLibraryFileName);
    // A path that does not fit would name another file.
    if (written < 0 || static_cast<size_t>(written) >= sizeof path) return;
    PlatLibrary* library = Plat_LibraryOpen(path);
    if (library == nullptr) return;
    g_LibraryHandle.store(library, kRelease);
    // The board's worker builds its parameter file's name from the folder as its first act, so
    // both settings go before the start.
    if (SetSfxFlagFn setSfx = Export<SetSfxFlagFn>(library, "SetSFXFlag")) setSfx(Link_GetSfxFlag());
    if (SetEepromBinFilePathFn setFolder = Export<SetEepromBinFilePathFn>(library, "SetEEPROMBinFilePath")) {
        setFolder(Eeprom_GetDirectory());
    }
    if (SlaveStartHandleFn start = Export<SlaveStartHandleFn>(library, "Slave_Start_Handle")) start();
}

void Link_Pump() {
    PlatLibrary* library = g_LibraryHandle.load(kAcquire);
    if (library == nullptr) return;
    LinkBuffer& b = g_LinkBuffer;
    if (b.awaitingReply.load(kAcquire)) {
        MainGetSlaveTxFlagFn ready = Export<MainGetSlaveTxFlagFn>(library, "Main_GetSlaveTxFlag");
        if (ready && ready() != 0) {
            MainGetSlaveTxCountFn count = Export<MainGetSlaveTxCountFn>(library, "Main_GetSlaveTxCount");
            MainGetSlaveTxDataFn data = Export<MainGetSlaveTxDataFn>(library, "Main_GetSlaveTxData");
            uint8_t n = count ? count() : 0;
            if (data) {
                uint8_t write = b.writeIndex.load(kRelaxed);
                for (uint8_t i = 0; i < n; ++i) {
                    b.ring[write] = static_cast<uint8_t>(data(0));
                    // The ring is 256 bytes: the byte index wraps by itself.
                    ++write;
                    b.writeIndex.store(write, kRelease);
                }
            }
            b.awaitingReply.store(0, kRelaxed);
        }
    }
    if (b.requestPending.load(kAcquire)) {
        MainSetSlaveRxDataFn send = Export<MainSetSlaveRxDataFn>(library, "Main_SetSlaveRxData");
        uint8_t length = b.frame[1];
        for (uint8_t i = 0; i < length; ++i) {
            if (send) send(b.frame[i]);
            b.sendIndex.store(static_cast<uint8_t>(i + 1), kRelaxed);
        }
        g_LinkTickCount.store(0, kRelaxed);
        b.awaitingReply.store(1, kRelaxed);
        b.requestPending.store(0, kRelaxed);
        g_LinkState.store(kLinkSent, kRelease);
    }
}

uint32_t Link_SelectSensorImage(uint32_t slot, const char* name, uint32_t code) {
    if (slot != 1) return 1;
    PlatLibrary* library = g_LibraryHandle.load(kAcquire);
    if (library == nullptr) return 1;
    if (SlaveSetTedsFileNameFn select = Export<SlaveSetTedsFileNameFn>(library, "Slave_SetTedsFileName")) {
        select(static_cast<int>(slot), name, static_cast<int>(code));
    }
    return 1;
}
