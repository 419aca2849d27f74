// Sensor-board worker and frame dispatcher: starts the simulated board, looks into the mailbox
// every 50 ms, checks a complete request frame and answers it by its request type.
#pragma once
#include <cstdint>

// Reply status bytes.
constexpr uint8_t kBoardStatusDone = 0;
constexpr uint8_t kBoardStatusNotHandled = 3;
constexpr uint8_t kBoardStatusFailed = 7;
// A reply's total length must fit its length byte: at most 250 payload bytes and 5 frame bytes.
constexpr uint32_t kBoardPayloadMax = 250;
// Room for a sensor's command answer behind the 4-byte input current.
constexpr uint32_t kBoardRecordMax = kBoardPayloadMax - 4;
constexpr uint32_t kBoardIdentityPayload = 48;
constexpr uint32_t kBoardPollMs = 50;

// Measurements to settle after start-up or a change to an amperometric kind.
extern uint8_t g_BoardSettlingCount;

// The worker thread's entry: start-up, then a poll every 50 ms; never returns.
void Board_ThreadProc();
// The board's own state as at load: no identity, no settling count.
void Board_Reset();
// Start-up on the worker, once: parameter file, identity, calibration store.
void Board_Start();
// One round of the worker loop without its sleep: handles a pending frame, then a measurement step.
void Board_Poll();
// Handles the pending frame whose type and argument count were noted, and arms the reply.
void Board_DispatchFrame();
// The byte that makes the 8-bit sum of the n bytes and itself zero.
uint8_t Board_Checksum(const uint8_t* bytes, uint32_t n);
void Board_PutFloatBE(uint8_t* bytes, float value);
float Board_GetFloatBE(const uint8_t* bytes);
// 0 normal or denormal, 1 zero, 2 plus infinity, 3 minus infinity, 4 not a number.
uint32_t Board_ClassifyFloat(float value);
// Writes the 48-byte identity payload; returns 48.
uint32_t Board_GetIdentity(uint8_t* payload);
void Board_InitIdentity();
// A failed internal check: the calling thread stops here for good.
void Board_AssertFail();
// The short busy delay the board takes when it switches its measuring circuit.
void Board_Delay();
// The set value the board accepts: the value limited to -1000 ... 1000 into *limited, and 1; 0
// for a value that is not a number (*limited unchanged).
uint32_t Board_LimitSetValue(float value, float* limited);
