// Sensor-board link: request framing, the pending-request mask, the link state machine with its
// time-outs and retries, and the checks of a reply's frame.
#include "core/link.h"

#include <cmath>
#include <cstring>

#include "core/fw_hook.h"
#include "core/util.h"

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

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;
static constexpr std::memory_order kAcquire = std::memory_order_acquire;
static constexpr std::memory_order kRelease = std::memory_order_release;

static constexpr uint32_t kStartupRequests = (1u << kReqCalTable) | (1u << kReqIdentity) | (1u << kReqVersionCheck);
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
// Payload bytes of a request frame: 256 bytes less start, length, command and checksum.
static constexpr uint32_t kRequestPayloadMax = kLinkFrameMax - 4;

// Command and reply wait (ticks) of each request kind; a command of 0xFF marks a reserved kind.
struct RequestKind {
    uint8_t command;
    uint8_t replyWait;
};
static const RequestKind kRequestKinds[32] = {
    {0x00, 30}, {0x07, 30}, {0x06, 30}, {0x08, 0},  {0x06, 20}, {0x05, 50}, {0x09, 30}, {0xFF, 0},
    {0xFF, 0},  {0xFF, 0},  {0xFF, 0},  {0xFF, 0},  {0x0C, 30}, {0x02, 50}, {0x01, 40}, {0x0D, 100},
    {0x03, 30}, {0x10, 30}, {0x04, 30}, {0x0A, 40}, {0xFF, 0},  {0x11, 20}, {0xB1, 5},  {0xFF, 0},
    {0xFF, 0},  {0xFF, 0},  {0xFF, 0},  {0xFF, 0},  {0xFF, 0},  {0xFF, 0},  {0xFF, 0},  {0xFF, 0},
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
    for (uint8_t page = 0; page <= kLinkLastPage; ++page) {
        uint32_t bit = 1u << page;
        if (!(g_DirtyPages[1] & bit)) continue;
        g_DirtyPages[1] &= ~bit;
        if (g_DirtyPages[1] & ((1u << (kLinkLastPage + 1)) - 1)) Link_SetRequestBit(kReqWritePage);
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
    bool channelChanged = channel != g_LinkActiveChannel;
    bool changed = channelChanged;
    if (channelChanged) g_LinkActiveChannel = static_cast<uint8_t>(channel);
    if (channel == 0 && static_cast<uint8_t>(mode) != s_MeasureMode) {
        s_MeasureMode = static_cast<uint8_t>(mode);
        changed = true;
    }
    if (!changed) return;
    g_LinkPolVoltage = kPolVoltageDefault;
    s_Range = kRangeAutomatic;
    s_Gain = kGainDefault;
    Link_SetRequestBit(kReqMeasureMode);
    Link_RestartMeasurement(channel, channelChanged ? 1 : 0);
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
        case kReqWritePage:
        case kReqReadPage:
        case kReqSensorCommand:
            n = Link_BuildSensorPayload(kind, payload, &wait);
            if (n == kLinkNothingToSend || n > kRequestPayloadMax) return 0;
            break;
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
            if (channel < 2) Link_OnMeasureModeSent(channel);
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

uint32_t Link_FindReplyFrame(LinkBuffer* buffer) { return FindReplyBefore(buffer, buffer->writeIndex.load(kAcquire)); }

uint32_t Link_CheckReceived(LinkBuffer* buffer, uint32_t) {
    uint8_t end = buffer->writeIndex.load(kAcquire);
    if (end == buffer->readIndex) return 0;
    uint32_t found = FindReplyBefore(buffer, end);
    buffer->readIndex = end;
    return found;
}

const uint8_t* Link_ReplyPayload() { return s_Reply + kReplyHeaderBytes; }

uint32_t Link_GotNoAnswer() { return g_LinkBuffer.writeIndex.load(kAcquire) < kAnswerMinBytes ? 1 : 0; }

uint32_t Link_Retry(uint32_t noAnswer) {
    LinkBuffer& b = g_LinkBuffer;
    if (g_LinkRetryCount == 0) {
        if (noAnswer || b.turnaround < kRetryExtraTicks) b.turnaround = AddTicks(b.turnaround, kRetryExtraTicks);
        b.replyWait = AddTicks(b.replyWait, kRetryExtraTicks);
    }
    ++g_LinkRetryCount;
    if (g_LinkRetryCount < kRetryLimit) {
        g_LinkState.store(kLinkBuilt, kRelaxed);
        return 1;
    }
    g_LinkRetryCount = 0;
    return 0;
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

void Link_ResetState() {
    LinkBuffer& b = g_LinkBuffer;
    b.kind = 0;
    b.command = 0;
    b.status = 0;
    b.item = 0;
    std::memset(b.frame, 0, sizeof b.frame);
    std::memset(b.ring, 0, sizeof b.ring);
    b.sendIndex.store(0, kRelaxed);
    b.readIndex = 0;
    b.writeIndex.store(0, kRelaxed);
    b.payloadPos = 0;
    b.payloadLength = 0;
    b.turnaround = 0;
    b.replyWait = 0;
    b.awaitingReply.store(0, kRelaxed);
    b.requestPending.store(0, kRelaxed);
    g_FwHalted = 0;
    g_LinkStartupWait = 0;
    g_SaveWaitBits = 0;
    g_LinkState.store(kLinkIdle, kRelaxed);
    g_LinkTickCount.store(0, kRelaxed);
    g_LinkRetryCount = 0;
    g_LinkReqChannel = kLinkNoChannel;
    g_PendingRequests = 0;
    std::memset(g_LinkItems, 0, sizeof g_LinkItems);
    g_LinkActiveChannel = kLinkNoChannel;
    g_LinkPolVoltage = 0.0f;
    for (int channel = 0; channel < 2; ++channel) {
        g_LinkPageIndex[channel] = 0;
        g_DirtyPages[channel] = 0;
        g_LinkChanStatus[channel] = 0;
    }
    g_LinkRequestResult = 255;
    g_LinkSaveResult = 255;
    g_PlugReplyFlag = 0;
    s_TickStop.store(0, kRelaxed);
    s_ItemWord = 0;
    s_MeasureMode = 255;
    s_Range = kRangeAutomatic;
    s_Gain = kGainDefault;
    s_PolFlag = 0;
    s_CalKind = 0;
    s_CalPoint = 0;
    s_CalSaveMode = 0;
    s_CalValue = 0.0f;
    std::memset(s_Reply, 0, sizeof s_Reply);
}
