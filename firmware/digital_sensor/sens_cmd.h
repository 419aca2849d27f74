// Command protocol of digital sensors without a memory image (the optical oxygen sensor): the
// command table, commands framed with their CRC-16, carried inside link request kind 6, the
// checks of their answers, and what the answers leave in the sensor's records.
#pragma once
#include <cstdint>

struct ClockRecord;

// Command ids: the items under which the link queues the commands; 255 is the poll "G100",
// sent whenever nothing else waits.
constexpr uint8_t kSensCmdG124 = 0;
constexpr uint8_t kSensCmdS127 = 1;
constexpr uint8_t kSensCmdS136 = 3;
constexpr uint8_t kSensCmdS133 = 4;
constexpr uint8_t kSensCmdG133 = 5;
constexpr uint8_t kSensCmdS139 = 6;
constexpr uint8_t kSensCmdG139 = 7;
constexpr uint8_t kSensCmdS134 = 8;
constexpr uint8_t kSensCmdG134 = 9;
constexpr uint8_t kSensCmdS131 = 10;
constexpr uint8_t kSensCmdG131 = 11;
constexpr uint8_t kSensCmdS126 = 12;
constexpr uint8_t kSensCmdS112 = 13;
constexpr uint8_t kSensCmdG129 = 14;
constexpr uint8_t kSensCmdG113 = 15;
constexpr uint8_t kSensCmdG132 = 16;
constexpr uint8_t kSensCmdS540 = 17;
constexpr uint8_t kSensCmdG540 = 18;
constexpr uint8_t kSensCmdS510 = 19;
constexpr uint8_t kSensCmdS137 = 21;
constexpr uint8_t kSensCmdG100 = 255;

constexpr uint32_t kSensCmdTableRows = 21;
// A frame: 2 start bytes, 2 length bytes, the 4-character name, the payload, 2 CRC bytes; an
// answer has the sensor's status byte before its CRC.
constexpr uint32_t kSensCmdNameBytes = 4;
constexpr uint32_t kSensCmdHeaderBytes = 8;
constexpr uint32_t kSensCmdRequestExtra = 10;
constexpr uint32_t kSensCmdAnswerExtra = 11;
constexpr uint32_t kSensCmdHistoryEntries = 6;
constexpr uint32_t kSensCmdRegisters = 6;

// Writes a command's request payload; reads an answer's payload (returns 1).
typedef void (*SensCmdBuilder)(uint32_t channel, uint8_t* payload);
typedef uint32_t (*SensCmdHandler)(uint32_t channel, const uint8_t* payload);

struct SensCmdRow {
    uint8_t id;
    uint8_t time;                      // the sensor's answer time, in 20-ms ticks
    char name[kSensCmdNameBytes + 1];  // four characters and a NUL
    uint8_t requestLength;
    uint8_t replyLength;
    SensCmdBuilder builder;  // none for the reading ("G") commands
    SensCmdHandler handler;  // none for the writing ("S") commands
};

// The command set in use.
struct SensCmdSet {
    const SensCmdRow* rows;
    uint8_t count;
};

// The sensor's identification and registers as its answers report them. The channel's adopted
// copy (the protocol record) also holds what the firmware is to write to the sensor.
struct SensorIdentRecord {
    uint32_t partNumber;
    uint32_t serialNumber;
    char firmwareVersion[4];
    char hardwareVersion[4];
    char typeText[14];  // 13 characters and a NUL
    uint8_t typeByte;
    uint8_t optionByte;
    uint32_t operatingHours;
    uint16_t register1;
    uint16_t register2;
    uint16_t lifetimeLimit;
    uint16_t register3;
    uint16_t fifthValue;
    uint16_t register5;
    float g133Value;           // the S133 value in the adopted copy
    uint8_t pendingRegisters;  // bit n: register n waits to be written
    uint8_t resetEvents;       // bit n: reset event n waits to be sent
    uint8_t s126Value;
};
typedef SensorIdentRecord SensorProtocolRecord;

// Sensor parameters P0..P16 and the bytes that go with them.
constexpr uint32_t kSensParamCipTempLimit = 0;
constexpr uint32_t kSensParamSipTempLimit = 1;
constexpr uint32_t kSensParamG540Value = 2;
constexpr uint32_t kSensParamPointValue2 = 3;  // the filtered value at the second point
constexpr uint32_t kSensParamPointValue1 = 4;  // at the first point
constexpr uint32_t kSensParamZero = 5;
constexpr uint32_t kSensParamSlope = 6;
constexpr uint32_t kSensParamPointTemp2 = 7;
constexpr uint32_t kSensParamPointTemp1 = 8;
constexpr uint32_t kSensParamStepValue = 9;
constexpr uint32_t kSensParamReference = 10;
constexpr uint32_t kSensParamExtra1 = 11;
constexpr uint32_t kSensParamExtra2 = 12;
constexpr uint32_t kSensParamResult2 = 13;  // sent as the second point's value, then the result
constexpr uint32_t kSensParamResult1 = 14;
constexpr uint32_t kSensParamProcessPressure = 15;
constexpr uint32_t kSensParamSalinity = 16;
constexpr uint32_t kSensParamCount = 17;

// "S112" modes: adopt the calibration, calibrate only, the calibration step.
constexpr uint8_t kSensS112Adopt = 1;
constexpr uint8_t kSensS112CalibrateOnly = 2;
constexpr uint8_t kSensS112Step = 3;

struct SensorParamRecord {
    float p[kSensParamCount];
    int16_t optionWord;  // the sensor setting the S510 code is made of
    uint8_t humidity;    // relative humidity in percent
    uint8_t pointCode;   // 2 first point measured, 3 second, 4 or 5 entered
    uint8_t s112Mode;
    uint8_t g129Status;
    uint8_t unitCode;  // the sensor's code of the reference value's unit
    uint8_t flag;
};

// One entry of the sensor's calibration history: date text YY/MM/DD and the two phases of its
// calibration, the zero phase (P0) before the phase in air (P100), in the order of every
// calibration record the sensor gives (G113, G129) and takes (S112).
struct SensCalHistoryEntry {
    char date[9];
    float zero;
    float air;
};

// A history entry as the pages read it.
struct SensCalHistoryRecord {
    uint16_t year;
    uint8_t month;
    uint8_t day;
    uint8_t weekday;
    float zero;
    float air;
};

extern const SensCmdRow g_SensCmdTable[kSensCmdTableRows];
extern SensCmdSet g_SensCmdSet;
// 1 while the channel's sensor speaks the command protocol.
extern uint8_t g_SensorProtoFlag[2];
extern SensorIdentRecord g_SensorIdent[2];
extern SensorProtocolRecord g_SensorProtocol[2];
extern SensorParamRecord g_SensorParams[2];
extern SensCalHistoryEntry g_SensCalHistory[2][kSensCmdHistoryEntries];
// The sensor's error and state bits from its poll answer.
extern uint32_t g_SensorStatusWord[2];

// The full command table in use, empty records.
void SensCmd_ResetState();

// ---- Frames ---------------------------------------------------------------------------------
// Writes the board's time-out (ms, big-endian) and the command frame of item id into buffer,
// sets *wait to the link's reply wait in ticks, and returns the number of bytes written (0 for
// an id the set in use does not have).
uint32_t SensCmd_BuildRequest(uint32_t channel, uint32_t id, uint8_t* wait, uint8_t* buffer);
// Writes the request frame of the row; returns its length.
uint32_t SensCmd_FrameRequest(uint32_t channel, const SensCmdRow* row, uint8_t* frame);
// 1 when the sensor's answer to item id stands whole and good among the length bytes (after
// any stray bytes); its payload is then taken.
uint32_t SensCmd_HandleReply(uint32_t channel, uint32_t id, const uint8_t* bytes, uint32_t length);
// The first offset (0 .. length - n) at which the n header bytes stand: 1 and *position, else 0.
uint32_t SensCmd_FindHeader(uint32_t* position, const uint8_t* bytes, uint32_t length, const uint8_t* header,
                            uint32_t n);
// The row of that id in the set in use; none: nullptr.
const SensCmdRow* SensCmd_FindRow(uint32_t id);
// An unsigned decimal of up to n characters: non-digits before the first digit count as 0
// digits, the first non-digit after a digit ends it.
uint32_t SensCmd_ParseDecimal(uint32_t n, const char* text);

// ---- Queueing -------------------------------------------------------------------------------
// The adopted sensor's record is its identification, taken whole.
void SensCmd_InitRecord(uint32_t channel);
void SensCmd_QueueAutoclaveIncrement(uint32_t channel, uint8_t value);
// Reset event n (1..6).
void SensCmd_QueueResetEvent(uint32_t channel, uint32_t n);
// Register 1, 2, 3 or 5 to be written; 1 when it is (register 5 only when it changes).
uint32_t SensCmd_SetRegister(uint32_t channel, uint32_t n, uint16_t value);
// The S133 value, given in thousandths.
void SensCmd_SetParamThousandths(uint32_t channel, float value);
void SensCmd_QueueS136ForKind9(uint32_t channel);

// ---- Reads ----------------------------------------------------------------------------------
// Registers 1, 2, 3 and 5 of the adopted sensor; 0 for others.
uint16_t SensCmd_GetRegister(uint32_t channel, uint32_t n);
// The S133 value / 1000, rounded half up.
uint32_t SensCmd_GetParamRounded(uint32_t channel);
uint16_t SensCmd_GetActInterval(uint32_t channel);
uint16_t SensCmd_GetLifetimeLimit(uint32_t channel);
uint32_t SensCmd_GetOperatingHours(uint32_t channel);
// Identification of the sensor just identified.
uint32_t SensCmd_GetSerialNumber(uint32_t channel);
uint32_t SensCmd_GetModelNumber(uint32_t channel);
// 12 characters, trailing blanks and NULs cut; returns the length.
uint32_t SensCmd_GetTypeText(uint32_t channel, char* text);
// Of the adopted sensor: its part number, and its version texts (4 characters and a NUL).
uint32_t SensCmd_GetPartNumber(uint32_t channel);
void SensCmd_GetFirmwareVersionText(uint32_t channel, char* text);
void SensCmd_GetHardwareVersionText(uint32_t channel, char* text);
// Entry n (0..5) of the calibration history: 1 when present.
uint32_t SensCmd_GetCalHistoryEntry(uint32_t channel, uint32_t n, SensCalHistoryRecord* record);
// The identified sensor's firmware is 2.14 or newer.
uint32_t SensCmd_IsFirmwareSupported(uint32_t channel);
