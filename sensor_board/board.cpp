// Sensor-board worker and frame dispatcher.
#include "sensor_board/board.h"

#include <cmath>
#include <cstring>

#include "platform/plat.h"
#include "sensor_board/brannic.h"
#include "sensor_board/sim_cal.h"
#include "sensor_board/sim_eeprom.h"
#include "sensor_board/sim_image.h"
#include "sensor_board/sim_meas.h"

uint8_t g_BoardSettlingCount;

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;
static constexpr std::memory_order kAcquire = std::memory_order_acquire;
static constexpr std::memory_order kRelease = std::memory_order_release;

static constexpr uint8_t kReplyStart = 0x33;
// Frames of three bytes or fewer cannot hold a type and a checksum.
static constexpr uint8_t kFrameMinLength = 4;
static constexpr uint32_t kArgumentsAt = 3;
static constexpr uint8_t kSettlingAtStart = 5;
static constexpr uint8_t kRangeModeMax = 5;
static constexpr uint8_t kGainModeMax = 2;
static constexpr uint8_t kCalPointMax = 2;
static constexpr uint8_t kSensorImageAnswer = 126;
static constexpr float kSetValueLimit = 1000.0f;
// The parameter-file byte that request 0xB1 with flag 0 marks.
static constexpr uint32_t kUpdateMarkOffset = 16;
static constexpr uint8_t kUpdateMark = 0x55;
static constexpr uint32_t kUpdatePauseCount = 100000;
static constexpr uint32_t kDelayCount = 166;
// The identity reply of this board: type byte '0'.
static constexpr uint8_t kIdentityType = 0x30;

// The identity block as the board reports it (48 bytes, no padding: bytes and texts only).
struct BoardIdentity {
    uint8_t kind;
    char serialNumber[12];
    char hardwareVersion[4];
    char partNumber[8];
    uint8_t reserved[2];
    char firmwareVersion[8];
    char text12[2];
    char text1[2];
    char secondVersion[6];
    uint8_t type;
    uint8_t trailing[2];
};
static_assert(sizeof(BoardIdentity) == kBoardIdentityPayload, "the identity payload is 48 bytes");

static BoardIdentity s_Identity;
// Argument bytes of the frame being dispatched (its length less start, length, type, checksum).
static uint32_t s_ArgumentCount;

// Request types the board answers.
enum : uint8_t {
    kTypeMeasure = 0x00,
    kTypeCalPoint = 0x01,
    kTypeCalSave = 0x02,
    kTypeRange = 0x03,
    kTypeSetValue = 0x04,
    kTypeSensorStatus = 0x05,
    kTypeReadBlock = 0x06,
    kTypeReadMeasureBlock = 0x07,
    kTypeWriteBlock = 0x08,
    kTypeSensorCommand = 0x09,
    kTypeMeasureKind = 0x0A,
    kTypeCalTable = 0x0C,
    kTypeRestoreFactory = 0x0D,
    kTypeDefaults = 0x0E,
    kTypeGain = 0x10,
    kTypeIdentity = 0x11,
    kTypeRawWrite = 0x12,
    kTypeRawRead = 0x13,
    kTypeUpdate = 0xB1,
};
// Measurement bytes of the digital sensor that type 0x07 reports, and where its tag stands in a
// tunnelled sensor command.
static constexpr uint32_t kMeasureBlockOffset = 512;
static constexpr uint32_t kCommandTagEnd = 13;

// Counts without sleeping, as the board's processor does; volatile keeps the count from being
// folded away.
static void BusyCount(uint32_t count) {
    volatile uint32_t counted = 0;
    while (counted < count) {
        counted = counted + 1;
    }
}

void Board_AssertFail() {
    for (;;) Plat_SleepMs(1000);
}

void Board_Delay() { BusyCount(kDelayCount); }

uint8_t Board_Checksum(const uint8_t* bytes, uint32_t n) {
    if (bytes == nullptr || n == 0) Board_AssertFail();
    uint8_t sum = 0;
    for (uint32_t i = 0; i < n; ++i) sum = static_cast<uint8_t>(sum + bytes[i]);
    return static_cast<uint8_t>(0u - sum);
}

void Board_PutFloatBE(uint8_t* bytes, float value) {
    uint32_t word;
    std::memcpy(&word, &value, 4);
    bytes[0] = static_cast<uint8_t>(word >> 24);
    bytes[1] = static_cast<uint8_t>(word >> 16);
    bytes[2] = static_cast<uint8_t>(word >> 8);
    bytes[3] = static_cast<uint8_t>(word);
}

float Board_GetFloatBE(const uint8_t* bytes) {
    uint32_t word = static_cast<uint32_t>(bytes[0]) << 24 | static_cast<uint32_t>(bytes[1]) << 16 |
                    static_cast<uint32_t>(bytes[2]) << 8 | static_cast<uint32_t>(bytes[3]);
    float value;
    std::memcpy(&value, &word, 4);
    return value;
}

uint32_t Board_ClassifyFloat(float value) {
    switch (std::fpclassify(value)) {
        case FP_ZERO:
            return 1;
        case FP_INFINITE:
            return std::signbit(value) ? 3 : 2;
        case FP_NAN:
            return 4;
        default:
            return 0;
    }
}

void Board_InitIdentity() {
    std::memset(&s_Identity, 0, sizeof s_Identity);
    s_Identity.kind = 1;
    std::memcpy(s_Identity.serialNumber, "12345678", 8);
    std::memcpy(s_Identity.hardwareVersion, "1.0", 3);
    std::memcpy(s_Identity.partNumber, "58203146", 8);
    std::memcpy(s_Identity.firmwareVersion, "1.1.09", 6);
    std::memcpy(s_Identity.text12, "12", 2);
    std::memcpy(s_Identity.text1, "1.", 2);
    std::memcpy(s_Identity.secondVersion, "0.0.01", 6);
    s_Identity.type = kIdentityType;
}

uint32_t Board_GetIdentity(uint8_t* payload) {
    std::memcpy(payload, &s_Identity, kBoardIdentityPayload);
    return kBoardIdentityPayload;
}

uint32_t Board_LimitSetValue(float value, float* limited) {
    if (std::isnan(value)) return 0;
    if (value > kSetValueLimit)
        *limited = kSetValueLimit;
    else if (value < -kSetValueLimit)
        *limited = -kSetValueLimit;
    else
        *limited = value;
    return 1;
}

void Board_Reset() {
    std::memset(&s_Identity, 0, sizeof s_Identity);
    s_ArgumentCount = 0;
    g_BoardSettlingCount = 0;
}

void Board_Start() {
    g_BoardMailbox.receiveCount.store(0, kRelaxed);
    g_BoardSettlingCount = kSettlingAtStart;
    SimEeprom_Open();
    // What a write-back killed on its way left beside a sensor file goes at the start, as the
    // parameter file's own leftover does.
    SimImage_DropLeftovers();
    Board_InitIdentity();
    // The start's writes (defaults, the zero sum's mark) reach the file as one save.
    uint32_t status = 0;
    SimEeprom_BeginSave();
    SimCal_CheckMarker(&status);
    SimCal_LoadAll();
    SimEeprom_EndSave();
    SimMeas_ResetRings();
}

// Argument bytes each request type reads at fixed positions; a shorter frame is refused rather
// than answered from the bytes of an earlier one.
static uint32_t ArgumentsNeeded(uint8_t type) {
    switch (type) {
        case kTypeCalPoint:
            return 6;
        case kTypeCalSave:
        case kTypeMeasureKind:
            return 2;
        case kTypeRange:
        case kTypeReadBlock:
        case kTypeGain:
        case kTypeUpdate:
            return 1;
        case kTypeSetValue:
            return 4;
        case kTypeWriteBlock:
            return 1 + kSimBlockBytes;
        case kTypeRawWrite:
        case kTypeRawRead:
            // Eight address digits and the count.
            return 9;
        default:
            return 0;
    }
}

static uint8_t Result(uint32_t done) { return done ? kBoardStatusDone : kBoardStatusFailed; }

static bool IsCommandSensor(uint8_t code) { return code == kSimCodeCommandSensor1 || code == kSimCodeCommandSensor2; }

// Writes the frame around the payload, then hands the whole reply to the host.
static void ArmReply(uint8_t type, uint8_t status, uint32_t n) {
    uint8_t* reply = Brannic_ReplyBuffer();
    reply[0] = kReplyStart;
    reply[1] = static_cast<uint8_t>(n + 5);
    reply[2] = type;
    reply[3] = status;
    reply[n + 4] = Board_Checksum(reply, n + 4);
    Brannic_ArmReply(n + 5);
}

void Board_DispatchFrame() {
    BoardMailbox& m = g_BoardMailbox;
    const uint8_t* request = m.receive;
    const uint8_t* arguments = request + kArgumentsAt;
    uint8_t* payload = Brannic_ReplyBuffer() + 4;
    uint8_t type = m.requestType;
    uint32_t n = 0;
    uint8_t status = kBoardStatusDone;
    bool updatePause = false;
    // Every payload starts from zeros: a byte the operation does not write reads 0, never what
    // the previous reply left in the buffer.
    std::memset(payload, 0, kMailboxBytes - 4);
    if (s_ArgumentCount < ArgumentsNeeded(type)) {
        ArmReply(type, kBoardStatusFailed, 0);
        return;
    }
    switch (type) {
        case kTypeMeasure:
            n = 21;
            status = Result(SimMeas_GetRecord(payload));
            break;
        case kTypeCalPoint:
            n = 1;
            if (arguments[0] > kCalPointMax) {
                payload[0] = 0;
                status = kBoardStatusFailed;
                break;
            }
            payload[0] = SimCal_SetPoint(arguments[0], arguments[1], Board_GetFloatBE(arguments + 2)) ? 1 : 0;
            break;
        case kTypeCalSave: {
            n = 1;
            uint32_t saveStatus = 0;
            payload[0] = SimCal_Save(arguments[0], arguments[1], &saveStatus) ? 1 : 0;
            break;
        }
        case kTypeRange:
            status = arguments[0] > kRangeModeMax ? kBoardStatusFailed : Result(SimMeas_SetRangeMode(arguments[0]));
            break;
        case kTypeSetValue:
            // A value that is not a number is refused; the set value in use stays.
            status = Result(SimMeas_SetSetValue(Board_GetFloatBE(arguments)));
            break;
        case kTypeSensorStatus: {
            n = 12;
            SimImageSlot& slot = g_SimImageSlots[1];
            if (slot.present.load(kAcquire)) {
                payload[0] = kSensorImageAnswer;
                // The host reads the sensor right after this answer: no more refusals.
                slot.busyCount.store(0, kRelaxed);
            }
            Board_PutFloatBE(payload + 8, SimMeas_GetInputCurrent());
            break;
        }
        case kTypeReadBlock:
            n = kSimBlockBytes;
            status = arguments[0] > kSimLastBlock ? kBoardStatusFailed
                                                  : Result(SimImage_ReadBlock(arguments[0] * kSimBlockBytes, payload));
            break;
        case kTypeReadMeasureBlock:
            // Payload bytes 0 to 3 carry nothing for this type (zeros); the block follows them.
            n = 4 + kSimBlockBytes;
            status = Result(SimImage_ReadBlock(kMeasureBlockOffset, payload + 4));
            break;
        case kTypeWriteBlock:
            n = 1;
            payload[0] = 0;
            if (arguments[0] > kSimLastBlock) {
                status = kBoardStatusFailed;
                break;
            }
            payload[0] = SimImage_WriteBlock(arguments + 1, arguments[0] * kSimBlockBytes) ? 1 : 0;
            status = Result(payload[0]);
            break;
        case kTypeSensorCommand: {
            n = 4;
            Board_PutFloatBE(payload, SimMeas_GetInputCurrent());
            // A command too short to carry its tag finds no answer; a record longer than a reply can
            // carry is refused, never copied past the reply.
            if (IsCommandSensor(g_SimImageSlots[1].sensorCode.load(kAcquire)) &&
                s_ArgumentCount + 3 >= kCommandTagEnd) {
                int32_t copied = SimImage_FindRecord(request, payload + 4, kBoardRecordMax);
                if (copied < 0)
                    status = kBoardStatusFailed;
                else
                    n += static_cast<uint32_t>(copied);
            }
            break;
        }
        case kTypeMeasureKind:
            status = arguments[0] > 1 ? kBoardStatusFailed : Result(SimMeas_SetKind(arguments[0], arguments[1]));
            break;
        case kTypeCalTable:
            n = 108;
            status = Result(SimCal_ReadTable(payload));
            break;
        case kTypeRestoreFactory: {
            uint32_t restoreStatus = 0;
            SimCal_RestoreAllFactory(&restoreStatus);
            break;
        }
        case kTypeDefaults:
            SimCal_WriteAllDefaults();
            SimCal_LoadAll();
            break;
        case kTypeGain:
            status = arguments[0] > kGainModeMax ? kBoardStatusFailed : Result(SimMeas_SetGainMode(arguments[0]));
            break;
        case kTypeIdentity:
            n = Board_GetIdentity(payload);
            break;
        case kTypeRawWrite:
            status = Result(SimEeprom_RawWrite(request, s_ArgumentCount));
            break;
        case kTypeRawRead: {
            uint8_t count = arguments[8];
            if (count == 0 || count > kBoardPayloadMax) {
                status = kBoardStatusFailed;
                break;
            }
            int32_t read = SimEeprom_RawRead(request, payload, count);
            if (read < 0) {
                status = kBoardStatusFailed;
            } else {
                n = static_cast<uint32_t>(read) > count ? count : static_cast<uint32_t>(read);
            }
            break;
        }
        case kTypeUpdate:
            if (arguments[0] == 0) {
                uint8_t mark = kUpdateMark;
                uint32_t fileStatus = 0;
                SimEeprom_WriteBytes(&fileStatus, &mark, 1, kUpdateMarkOffset);
                updatePause = true;
            }
            break;
        default:
            status = kBoardStatusNotHandled;
            break;
    }
    ArmReply(type, status, n);
    if (updatePause) BusyCount(kUpdatePauseCount);
}

void Board_Poll() {
    BoardMailbox& m = g_BoardMailbox;
    uint16_t flags = m.flags.load(kAcquire);
    if (flags & kBoardFramePending) {
        uint8_t length = m.receive[1];
        // Too short for a type and a checksum, or a wrong checksum: dropped without a reply.
        if (length >= kFrameMinLength && Board_Checksum(m.receive, length - 1u) == m.receive[length - 1]) {
            m.requestType = m.receive[2];
            s_ArgumentCount = length - 4u;
            Board_DispatchFrame();
        }
        // The count first, then the flag: the host writes again only once the buffer is empty.
        m.receiveCount.store(0, kRelaxed);
        m.flags.fetch_and(static_cast<uint16_t>(~kBoardFramePending), kRelease);
    }
    if (m.flags.load(kAcquire) & kBoardMeasureStep) {
        SimMeas_RunStep();
        m.flags.fetch_and(static_cast<uint16_t>(~kBoardMeasureStep), kRelease);
    }
}

void Board_ThreadProc() {
    Board_Start();
    for (;;) {
        Board_Poll();
        Plat_SleepMs(kBoardPollMs);
    }
}
