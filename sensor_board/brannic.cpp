// Sensor-board library, exports and mailbox.
#include "sensor_board/brannic.h"

#include <cstring>

#include "platform/plat_thread.h"
#include "sensor_board/board.h"
#include "sensor_board/sim_image.h"

BoardMailbox g_BoardMailbox;
BoardConfig g_BoardConfig;

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;
static constexpr std::memory_order kAcquire = std::memory_order_acquire;
static constexpr std::memory_order kRelease = std::memory_order_release;
static constexpr std::memory_order kAcqRel = std::memory_order_acq_rel;

static std::atomic<uintptr_t> s_WorkerHandle{0};

uintptr_t Brannic_StartHandle() {
    uintptr_t handle = s_WorkerHandle.load(kAcquire);
    if (handle != 0) return handle;
    // Two workers would take the same frames; the host starts the board once.
    handle = Plat_ThreadStart(Board_ThreadProc);
    s_WorkerHandle.store(handle, kRelease);
    return handle;
}

int Brannic_SetTedsFileName(int slot, const char* name, int code) {
    if (name == nullptr || slot < 0 || slot > 1) return 0;
    return static_cast<int>(SimImage_Load(static_cast<uint32_t>(slot), name, static_cast<uint8_t>(code)));
}

uint8_t Brannic_SetSlaveRxData(int byte) {
    BoardMailbox& m = g_BoardMailbox;
    if (m.flags.load(kAcquire) & kBoardFramePending) return 0;
    uint8_t count = m.receiveCount.load(kRelaxed);
    m.receive[count] = static_cast<uint8_t>(byte);
    ++count;
    m.receiveCount.store(count, kRelaxed);
    // Complete at the length byte's count; a length of 0 or 1 closes the frame at its second
    // byte, and the count never passes 255, so the buffer is never overrun.
    if (count >= 2 && count >= m.receive[1]) m.flags.fetch_or(kBoardFramePending, kRelease);
    return 1;
}

void Brannic_ResetMailbox() {
    BoardMailbox& m = g_BoardMailbox;
    m.receiveCount.store(0, kRelaxed);
    m.flags.store(0, kRelaxed);
    m.requestType = 0;
    for (BoardReply& reply : m.replies) reply.length = 0;
    m.workerBuffer = 0;
    m.handover.store(1, kRelaxed);
    m.hostBuffer.store(2, kRelaxed);
    m.replyReadPos.store(0, kRelaxed);
    m.replyReady.store(0, kRelease);
}

void Brannic_Reset() {
    Brannic_ResetMailbox();
    std::memset(g_BoardConfig.eepromFolder, 0, sizeof g_BoardConfig.eepromFolder);
    std::memset(g_BoardConfig.libraryFolder, 0, sizeof g_BoardConfig.libraryFolder);
    g_BoardConfig.singleFileFlag.store(0, kRelaxed);
}

uint8_t* Brannic_ReplyBuffer() { return g_BoardMailbox.replies[g_BoardMailbox.workerBuffer].bytes; }

void Brannic_ArmReply(uint32_t length) {
    BoardMailbox& m = g_BoardMailbox;
    m.replies[m.workerBuffer].length = length;
    // The whole reply goes over in one exchange; the worker goes on in the buffer it gets back,
    // which the host is not reading (the host holds the third one).
    uint8_t previous = m.handover.exchange(static_cast<uint8_t>(m.workerBuffer | kBoardReplyFresh), kAcqRel);
    m.workerBuffer = static_cast<uint8_t>(previous & ~kBoardReplyFresh);
}

// Takes the newest armed reply, but only between two replies: once the host has started reading
// one, it reads that one to its end. A reply read to its end gives way at once, also when the host
// read on past its end (which starts it again from its first byte).
static void TakeNewReply() {
    BoardMailbox& m = g_BoardMailbox;
    if (m.replyReadPos.load(kRelaxed) != 0 && m.replyReady.load(kRelaxed) != 0) return;
    if (!(m.handover.load(kRelaxed) & kBoardReplyFresh)) return;
    uint8_t taken = m.handover.exchange(m.hostBuffer.load(kRelaxed), kAcqRel);
    m.hostBuffer.store(static_cast<uint8_t>(taken & ~kBoardReplyFresh), kRelaxed);
    m.replyReadPos.store(0, kRelaxed);
    m.replyReady.store(1, kRelaxed);
}

// The host asks for the ready byte before the count and the bytes of a reply: that is where a
// newly armed reply is taken, so the count and the bytes that follow belong to one reply.
uint8_t Brannic_GetSlaveTxFlag() {
    TakeNewReply();
    return g_BoardMailbox.replyReady.load(kRelaxed);
}

uint8_t Brannic_GetSlaveTxCount() {
    const BoardMailbox& m = g_BoardMailbox;
    return static_cast<uint8_t>(m.replies[m.hostBuffer.load(kRelaxed)].length);
}

int Brannic_GetSlaveTxData(int) {
    BoardMailbox& m = g_BoardMailbox;
    const BoardReply& reply = m.replies[m.hostBuffer.load(kRelaxed)];
    uint8_t position = m.replyReadPos.load(kRelaxed);
    uint8_t byte = reply.bytes[position];
    uint32_t next = position + 1u;
    if (next >= reply.length) {
        m.replyReadPos.store(0, kRelaxed);
        m.replyReady.store(0, kRelaxed);
    } else {
        m.replyReadPos.store(static_cast<uint8_t>(next), kRelaxed);
    }
    return byte;
}

// A text that does not fit is refused whole rather than cut into another folder's name.
static int CopyFolder(char* field, const char* folder) {
    if (folder == nullptr) return 0;
    size_t n = std::strlen(folder);
    if (n >= kBoardFolderSize) return 0;
    std::memcpy(field, folder, n + 1);
    return 1;
}

int Brannic_SetEEPROMBinFilePath(const char* folder) { return CopyFolder(g_BoardConfig.eepromFolder, folder); }
int Brannic_SetDLLFilePath(const char* folder) { return CopyFolder(g_BoardConfig.libraryFolder, folder); }

uint32_t Brannic_SetSFXFlag(uint32_t flag) {
    g_BoardConfig.singleFileFlag.store(flag, kRelaxed);
    return flag;
}
