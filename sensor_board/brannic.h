// Sensor-board library, exports and mailbox: the request frame the host fills byte by byte, the
// reply it empties byte by byte, and the folders and flag the host hands over. The exported
// functions of the library are thin wrappers of the Brannic_ functions here.
#pragma once
#include <atomic>
#include <cstdint>

constexpr uint32_t kMailboxBytes = 256;
// Folder texts must be shorter than this.
constexpr uint32_t kBoardFolderSize = 260;
// Board flags: a complete request waits (the mailbox takes no bytes), and run one measurement step.
constexpr uint16_t kBoardFramePending = 0x0001;
constexpr uint16_t kBoardMeasureStep = 0x0008;

// One reply frame and its total length.
struct BoardReply {
    uint8_t bytes[kMailboxBytes];
    uint32_t length;
};
constexpr uint32_t kBoardReplyBuffers = 3;

// The host's pump thread writes the receive side and reads the reply side; the worker does the
// opposite. The receive side is ordered by the flag word: the host writes bytes only while the
// frame-pending bit is clear. The reply side has three buffers so that no reply is ever written
// while the host reads it: the worker fills its own buffer and swaps it into the hand-over place
// whole; the host takes the handed-over buffer in exchange for its own, and only between two
// replies, so a host that sends its next request before it has read the last reply still reads
// one complete reply, never a mixture.
struct BoardMailbox {
    uint8_t receive[kMailboxBytes];
    std::atomic<uint8_t> receiveCount;
    std::atomic<uint16_t> flags;
    uint8_t requestType;
    BoardReply replies[kBoardReplyBuffers];
    // Worker only: the buffer the next reply is written into.
    uint8_t workerBuffer = 0;
    // Hand-over place: a buffer index, with kBoardReplyFresh while the host has not taken it.
    std::atomic<uint8_t> handover{1};
    // Host side (one host thread at a time): the buffer being read, its read position and
    // whether an armed reply waits in it.
    std::atomic<uint8_t> hostBuffer{2};
    std::atomic<uint8_t> replyReadPos;
    std::atomic<uint8_t> replyReady;
};
constexpr uint8_t kBoardReplyFresh = 0x80;

struct BoardConfig {
    // Prefix of the parameter file's path; ends with a separator.
    char eepromFolder[kBoardFolderSize];
    // Kept for the host; nothing reads it.
    char libraryFolder[kBoardFolderSize];
    // Non-zero: sensor images come from the host program's resources instead of files.
    std::atomic<uint32_t> singleFileFlag;
};

extern BoardMailbox g_BoardMailbox;
extern BoardConfig g_BoardConfig;

// The library as at load: empty mailbox, no folders, single-file flag 0.
void Brannic_Reset();
// Empty mailbox: nothing received, no reply armed, the three reply buffers in their first places.
void Brannic_ResetMailbox();
// Worker: the buffer the next reply is written into (its bytes; the length is set on arming).
uint8_t* Brannic_ReplyBuffer();
// Worker: hands the reply written into Brannic_ReplyBuffer (total length n) to the host whole.
void Brannic_ArmReply(uint32_t length);

// Starts the board's worker thread (once; a second call returns the first thread).
uintptr_t Brannic_StartHandle();
// Loads the sensor image of a slot (0 or 1) from a file name and sensor code; 0 when refused.
int Brannic_SetTedsFileName(int slot, const char* name, int code);
// Appends one request byte (low byte of the argument); 0 when dropped because a frame waits.
uint8_t Brannic_SetSlaveRxData(int byte);
// 1 while an armed reply waits to be fetched.
uint8_t Brannic_GetSlaveTxFlag();
// The armed reply's length.
uint8_t Brannic_GetSlaveTxCount();
// The next reply byte; the last one ends the reply (the argument is not used).
int Brannic_GetSlaveTxData(int unused);
// Store the folder texts; a text of 260 characters or more is refused (0) and nothing changes.
int Brannic_SetEEPROMBinFilePath(const char* folder);
int Brannic_SetDLLFilePath(const char* folder);
// Stores the single-file flag and returns it.
uint32_t Brannic_SetSFXFlag(uint32_t flag);
