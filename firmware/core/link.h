// Main-board side of the sensor-board link: request kinds and their frames, the pending-request
// mask, the link state machine with its time-outs and retries, and the checks of a reply's frame.
// What a reply means for the measurement and the digital sensor is the reply handling's
// (link_reply.cpp); moving the bytes to and from the library is the transport's
// (link_transport.h).
#pragma once
#include <atomic>
#include <cstdint>

constexpr uint32_t kLinkFrameMax = 256;
constexpr uint8_t kLinkRequestStart = 0x77;
constexpr uint8_t kLinkReplyStart = 0x33;
constexpr uint8_t kLinkNoChannel = 255;

// Link states.
constexpr uint32_t kLinkIdle = 0;
constexpr uint32_t kLinkBuilt = 1;
constexpr uint32_t kLinkSent = 2;
constexpr uint32_t kLinkArmed = 3;

// Request kinds (bit numbers of the pending mask).
constexpr uint8_t kReqMeasureA = 0;
constexpr uint8_t kReqMeasureB = 1;
constexpr uint8_t kReqReadPage13 = 2;
constexpr uint8_t kReqWritePage = 3;
constexpr uint8_t kReqReadPage = 4;
constexpr uint8_t kReqSensorStatus = 5;
constexpr uint8_t kReqSensorCommand = 6;
constexpr uint8_t kReqCalTable = 12;
constexpr uint8_t kReqCalSave = 13;
constexpr uint8_t kReqCalPoint = 14;
constexpr uint8_t kReqRestoreFactory = 15;
constexpr uint8_t kReqRange = 16;
constexpr uint8_t kReqGain = 17;
constexpr uint8_t kReqPolarization = 18;
constexpr uint8_t kReqMeasureMode = 19;
constexpr uint8_t kReqIdentity = 21;
constexpr uint8_t kReqVersionCheck = 22;

// The main board's link buffer. The pump (timer thread) writes the receive ring, its write index
// and the two flags; the firmware thread touches the frame only before arming it and the ring
// only after the reply wait.
struct LinkBuffer {
    uint8_t kind;
    uint8_t command;
    uint8_t status;
    uint8_t item;
    uint8_t frame[kLinkFrameMax];
    uint8_t ring[kLinkFrameMax];
    std::atomic<uint8_t> sendIndex;
    uint8_t readIndex;
    // Bytes received since the request was armed; wraps with the ring.
    std::atomic<uint8_t> writeIndex;
    uint8_t payloadPos;
    uint8_t payloadLength;
    uint8_t turnaround;
    uint8_t replyWait;
    std::atomic<uint8_t> awaitingReply;
    std::atomic<uint8_t> requestPending;
};

extern LinkBuffer g_LinkBuffer;
// 1 once the sensor board failed the start-up check: the main loop then only steps the link.
extern uint32_t g_FwHalted;
// 1 during the firmware's start-up wait for the sensor board.
extern uint8_t g_LinkStartupWait;
// Saves over the link the main loop waits for: a save of digital-sensor data, a save on the
// sensor board.
extern uint8_t g_SaveWaitBits;
constexpr uint8_t kSaveWaitSensor = 0x01;
constexpr uint8_t kSaveWaitBoard = 0x02;
extern std::atomic<uint32_t> g_LinkState;
extern std::atomic<uint32_t> g_LinkTickCount;
extern uint8_t g_LinkRetryCount;
extern uint8_t g_LinkReqChannel;
extern uint32_t g_PendingRequests;
extern uint32_t g_LinkItems[5];
// Channel of the current measurement requests; 255 (any value of 2 or more) is none.
extern uint8_t g_LinkActiveChannel;
// Polarization voltage last requested of the sensor board, mV.
extern float g_LinkPolVoltage;
// Per channel: the next page of the sensor's memory to read, and the pages waiting to be written
// back (bit n = page n, pages 0 to kLinkLastPage).
constexpr uint8_t kLinkLastPage = 16;
extern uint8_t g_LinkPageIndex[2];
extern uint32_t g_DirtyPages[2];
// Outcome of the last request a wait page waits for / of a sensor-board save: 1 done, 0 failed,
// 255 idle or pending.
extern uint8_t g_LinkRequestResult;
extern uint8_t g_LinkSaveResult;
// Per channel: measurement replies since the sensor's page 13 was last read (channel B's
// command-protocol sensor: the G100 poll counter).
extern uint16_t g_LinkChanStatus[2];
// 1 when a sensor announced itself during the start-up wait.
extern uint8_t g_PlugReplyFlag;

// ---- Pending requests and sensor-command items ----------------------------------------------
uint32_t Link_SetRequestBit(uint32_t kind);
void Link_SetRequestMask(uint32_t mask);
void Link_ClearRequestBit(uint32_t kind);
void Link_ClearRequestMask(uint32_t mask);
void Link_ClearRequests();
uint32_t Link_IsRequestPending(uint32_t kind);
// Position of the highest set bit counted from bit 31 (0 = bit 31); 32 for 0.
uint32_t Link_FindFirstSetBit(uint32_t word);
void Link_ClearItems();
void Link_QueueItem(uint32_t item);
// The lowest-numbered item queued in the current word (255 none); take = 1 also unqueues it.
uint8_t Link_TakeNextItem(uint32_t take);
// The lowest page of channel B waiting for write-back (255 none), unmarked.
uint8_t Link_TakeNextDirtyPage();

// ---- Requests the rest of the firmware asks for ---------------------------------------------
void Link_SetRange(uint8_t range);
void Link_SetGain(uint8_t gain);
void Link_SetPolarizationVoltage(uint32_t channel, float millivolts, uint8_t flag);
void Link_RequestCalSave(uint8_t mode, uint8_t kind);
// Status 2 (and nothing queued) while a point request is still pending, else 0.
void Link_RequestCalPoint(uint8_t point, uint8_t kind, float value, uint32_t* status);
// Selects the measured channel and its measuring mode; a change restarts the measurement.
void Link_SetMeasureMode(uint32_t channel, uint32_t mode);
// At store load: clears the link and queues the start-up requests.
void Link_Reset();
// Everything of the link back to power-on: idle, nothing pending, no channel, no results.
void Link_ResetState();
void Link_QueueStartupRequests();

// ---- State machine ----------------------------------------------------------------------------
// One step per main-loop pass and per round of the start-up wait.
void Link_Tick();
// Software timer 3's callback: counts link ticks.
void Link_CountTick();
void Link_StartNextRequest();
// Builds the request of that kind for the channel; 0 when there is nothing to send for it.
uint32_t Link_BuildRequest(uint8_t channel, uint8_t kind, uint8_t turnaround);
void Link_ArmSend();
// 0 when nothing arrived since the last look, else whether a valid reply was found.
uint32_t Link_CheckReceived(LinkBuffer* buffer, uint32_t unused);
uint32_t Link_FindReplyFrame(LinkBuffer* buffer);
// The payload of the reply the last check found (payload length in g_LinkBuffer), whole even
// when it wrapped over the receive ring's end.
const uint8_t* Link_ReplyPayload();
// Fewer bytes than an answer's four arrived since the request was sent.
uint32_t Link_GotNoAnswer();
// The same frame goes out again after its turnaround; the first retry waits 20 ticks longer for
// the reply, and with noAnswer also 20 ticks longer before sending (else only a turnaround below
// 20 grows). 0 once the three tries are used up; the count then starts again.
uint32_t Link_Retry(uint32_t noAnswer);

// ---- Reply handling ---------------------------------------------------------------------------
// Defined above the core, in link_reply.cpp: the one place that knows what a reply means for the
// measurement and the digital sensor.

// Checks the payload of the current request's reply and takes it over; 1 when it is accepted.
uint32_t Link_ParseReply(uint8_t channel);
void Link_AfterReply(uint8_t channel);
// No acceptable reply: a retry, or the request's failure.
void Link_HandleFailure(uint8_t channel);
void Link_OnFinalFailure(uint8_t kind);
// The payload of a request that carries the sensor's data (write a page, a sensor command) into
// payload; its length, or kLinkNothingToSend. May lengthen the reply wait.
constexpr uint32_t kLinkNothingToSend = 0xFFFFFFFF;
uint32_t Link_BuildSensorPayload(uint8_t kind, uint8_t* payload, uint8_t* wait);
// The measured channel or channel A's mode changed: the measurement and the sensor kinds start
// over (channelChanged: the other channel's values go too).
void Link_RestartMeasurement(uint32_t channel, uint32_t channelChanged);
// The board was told to measure this channel: its replies count from the first again.
void Link_OnMeasureModeSent(uint8_t channel);
