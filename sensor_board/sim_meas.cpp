// The sensor board's measurement state.
#include "sensor_board/sim_meas.h"

#include <cstring>

#include "sensor_board/board.h"
#include "sensor_board/sim_cal.h"

// Measurement kinds as the host numbers them.
static constexpr uint8_t kKindPh = 1;
static constexpr uint8_t kKindCondTwo = 3;
static constexpr uint8_t kKindCondFour = 4;
static constexpr uint8_t kKindOxygenFirst = 5;
static constexpr uint8_t kKindOxygenLast = 7;
static constexpr uint8_t kRangeAutomatic = 5;
static constexpr uint8_t kGainMax = 2;
static constexpr uint8_t kSettlingOxygen = 2;
static constexpr uint8_t kAnalogInputKind = 11;
static constexpr float kInputCurrentMaxMa = 23.0f;

// Only the worker touches the state.
static BoardMeasurement s_State;

void SimMeas_Reset() { std::memset(&s_State, 0, sizeof s_State); }

const BoardMeasurement* SimMeas_GetState() { return &s_State; }

void SimMeas_ResetRings() {
    std::memset(s_State.ring, 0, sizeof s_State.ring);
    std::memset(s_State.ringCount, 0, sizeof s_State.ringCount);
}

static bool IsOxygen(uint8_t kind) { return kind >= kKindOxygenFirst && kind <= kKindOxygenLast; }

uint32_t SimMeas_SetKind(uint8_t channel, uint8_t kind) {
    if (channel > 1) return 0;
    if (channel == 0) {
        s_State.rangeMode = kRangeAutomatic;
        s_State.gainMode = kGainMax;
        // Switching the measuring circuit takes the board a moment.
        if (kind == kKindCondTwo || kind == kKindCondFour) {
            Board_Delay();
            s_State.electrodes = kind == kKindCondTwo ? 2 : 4;
        }
        if (IsOxygen(kind)) {
            Board_Delay();
            g_BoardSettlingCount = kSettlingOxygen;
        }
    }
    std::memset(s_State.value, 0, sizeof s_State.value);
    std::memset(s_State.rawWord, 0, sizeof s_State.rawWord);
    s_State.kind[channel] = kind;
    s_State.lastKind = kind;
    s_State.lastChannel = channel;
    SimMeas_ResetRings();
    return 1;
}

uint32_t SimMeas_SetRangeMode(uint8_t mode) {
    if (mode > kRangeAutomatic) return 0;
    s_State.rangeMode = mode;
    return 1;
}

uint32_t SimMeas_SetGainMode(uint8_t mode) {
    if (mode > kGainMax) return 0;
    s_State.gainMode = mode;
    return 1;
}

uint32_t SimMeas_SetSetValue(float value) { return Board_LimitSetValue(value, &s_State.setValue); }
float SimMeas_GetSetValue() { return s_State.setValue; }
uint32_t SimMeas_GetRawWord(uint32_t index) { return index < 2 ? s_State.rawWord[index] : 0; }

static void PutU32BE(uint8_t* bytes, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// Byte 0 the last kind set, raw words at 1 and 5, then by kind: pH three values; conductivity
// the value, the range in use and the range mode; oxygen the value, the gain mode and the set
// value, which is the polarization voltage the host gave.
uint32_t SimMeas_GetRecord(uint8_t* payload) {
    std::memset(payload, 0, kSimMeasRecordBytes);
    payload[0] = s_State.lastKind;
    PutU32BE(payload + 1, s_State.rawWord[0]);
    PutU32BE(payload + 5, s_State.rawWord[1]);
    uint8_t kind = s_State.lastKind;
    if (kind == kKindPh) {
        for (int i = 0; i < 3; ++i) Board_PutFloatBE(payload + 9 + 4 * i, s_State.value[i]);
    } else if (kind == kKindCondTwo || kind == kKindCondFour) {
        Board_PutFloatBE(payload + 9, s_State.value[0]);
        payload[13] = s_State.rangeInUse;
        payload[14] = s_State.rangeMode;
    } else if (IsOxygen(kind)) {
        Board_PutFloatBE(payload + 9, s_State.value[0]);
        payload[13] = s_State.gainMode;
        Board_PutFloatBE(payload + 14, s_State.setValue);
    }
    return 1;
}

// The converter reads nothing: the current is the analog input line's offset alone.
float SimMeas_GetInputCurrent() {
    float current = SimCal_GetValue(kAnalogInputKind, 0) * 0.0f + SimCal_GetValue(kAnalogInputKind, 1);
    if (!(current >= 0.0f)) return 0.0f;
    return current > kInputCurrentMaxMa ? kInputCurrentMaxMa : current;
}

void SimMeas_RunStep() {
    if (g_BoardSettlingCount > 0) --g_BoardSettlingCount;
}
