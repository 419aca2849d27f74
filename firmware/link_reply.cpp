// Link reply handling: what a sensor-board reply, or its failure, means for the measurement and
// the digital sensor, and the payloads of the requests that carry the sensor's data. The one
// part of the link that knows the measurement and the digital sensors.
#include <cstring>

#include "core/ident.h"
#include "core/link.h"
#include "core/util.h"
#include "digital_sensor/sens_cmd.h"
#include "digital_sensor/sens_diag.h"
#include "digital_sensor/sens_mem.h"
#include "digital_sensor/vdx.h"
#include "digital_sensor/vdx_ident.h"
#include "digital_sensor/vdx_refusal.h"
#include "measurement/channel.h"
#include "measurement/decoders.h"
#include "measurement/meas.h"
#include "measurement/slots.h"
#include "sim/sim_inputs.h"

// Channel B's page 13 holds the counters the sensor keeps itself: re-read once per 3607 replies.
static constexpr uint16_t kPage13Replies = 3606;
static constexpr uint8_t kPage13 = 13;
// Page 16 of the firmware's image is block 18 of the board's 19 blocks.
static constexpr uint8_t kBlockOfLastPage = 18;
static constexpr uint8_t kSensorImageAnswer = 0x7E;
// The G100 poll counter value that takes the sensor's diagnostic block with the next good poll.
static constexpr uint16_t kPollTakeDiagnostics = 405;

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

// ---- Requests that carry the sensor's data ------------------------------------------------------

static uint8_t BlockOfPage(uint8_t page) { return page == kLinkLastPage ? kBlockOfLastPage : page; }
static uint8_t PageOfBlock(uint8_t block) { return block == kBlockOfLastPage ? kLinkLastPage : block; }

uint32_t Link_BuildSensorPayload(uint8_t kind, uint8_t* payload, uint8_t* wait) {
    uint32_t n = 0;
    switch (kind) {
        case kReqReadPage13:
            payload[n++] = kPage13;
            return n;
        case kReqWritePage: {
            uint8_t page = Link_TakeNextDirtyPage();
            if (page > kLinkLastPage) return kLinkNothingToSend;
            payload[n++] = BlockOfPage(page);
            std::memcpy(payload + n, &g_SensorMemImage[1][page * kSensorPageBytes], kSensorPageBytes);
            n += kSensorPageBytes;
            // The sensor needs its write time for a page: factor x 32 / 200 ticks and a margin of 10.
            uint64_t ticks = static_cast<uint64_t>(SensMem_GetWriteTime(1)) * 32 / 200 + 10;
            *wait = ticks > 255 ? 255 : static_cast<uint8_t>(ticks);
            return n;
        }
        case kReqReadPage: {
            uint8_t page = g_LinkPageIndex[1];
            if (page > kLinkLastPage) return kLinkNothingToSend;
            payload[n++] = BlockOfPage(page);
            return n;
        }
        case kReqSensorCommand:
            g_LinkBuffer.item = Link_TakeNextItem(1);
            return SensCmd_BuildRequest(1, g_LinkBuffer.item, wait, payload);
        default:
            return kLinkNothingToSend;
    }
}

// ---- Measurement restarts ---------------------------------------------------------------------

void Link_RestartMeasurement(uint32_t channel, uint32_t channelChanged) {
    if (channelChanged) {
        g_SensorPlugged[1] = 0;
        Meas_ResetChannel(channel == 0 ? 1 : 0);
    }
    for (int c = 0; c < 2; ++c) {
        g_MeasReplyCount[c] = 0;
        g_ChanValueReady[c] = 0;
    }
    if (channel == 1) {
        Chan_SetKind(1, kKindNone);
    } else {
        Chan_ForceKind(1, kKindNone);
    }
}

void Link_OnMeasureModeSent(uint8_t channel) { g_MeasReplyCount[channel] = 0; }

// ---- Replies -------------------------------------------------------------------------------------

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
        case kLayoutPh:
            Meas_DecodePhReply(channel, values);
            break;
        case kLayoutOxygen:
            Meas_DecodeOxygenReply(channel, values);
            break;
        case kLayoutCond:
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
    const uint8_t* p = Link_ReplyPayload();
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
            // A local change not yet written back is newer than what the sensor still holds.
            if (g_DirtyPages[channel] & (1u << kPage13)) return 1;
            std::memcpy(&g_SensorMemImage[channel][kPage13 * kSensorPageBytes], p, kSensorPageBytes);
            SensDiag_PublishIndicators(channel);
            return 1;
        case kReqReadPage: {
            if (!known || !IsPage(p, n) || g_LinkPageIndex[channel] > kLinkLastPage) return 0;
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
            if (page < kLinkLastPage) {
                Link_SetRequestBit(kReqReadPage);
                break;
            }
            Vdx_DecodeSensorFamily(channel);
            uint32_t option = Vdx_CheckSensorOption(channel);
            if (page == kLinkLastPage && option) {
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

// The channel's sensor is read again from its status on.
static void RestartSensor(uint8_t channel) {
    Link_SetRequestBit(kReqSensorStatus);
    if (channel > 1) return;
    Meas_ResetChannel(channel);
    g_SensorPlugged[channel] = 1;
    Chan_SetKind(channel, kKindNone);
}

void Link_HandleFailure(uint8_t channel) {
    const LinkBuffer& b = g_LinkBuffer;
    uint8_t kind = b.kind;
    if (Link_GotNoAnswer()) {
        if (Link_Retry(1)) return;
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
    if (Link_Retry(0)) return;
    if (kind == kReqWritePage && channel < 2) {
        // The page the sensor refused is still not written: a save that waits for the sensor
        // fails, even where no other page waits, and the sensor is read again as it is.
        uint8_t page = PageOfBlock(g_LinkBuffer.frame[3]);
        if (page <= kLinkLastPage) g_DirtyPages[channel] |= 1u << page;
        // What the save wrote into the sensor is not in use either.
        Vdx_OnSensorRefusedWrite(channel);
    }
    if ((kind >= kReqMeasureB && kind <= kReqReadPage) || kind == kReqSensorCommand) {
        if (kind == kReqSensorCommand) {
            uint32_t status = 0;
            SensDiag_LoadSettings(&status);
        }
        RestartSensor(channel);
    }
    Link_OnFinalFailure(kind);
}
