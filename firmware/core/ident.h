// Device identity of the main board and, as it reports itself over the link, of the sensor board.
#pragma once
#include <cstdint>

// Fixed-width texts, zero-padded. The sensor board's reply leaves a zero at the end of each; the
// main board's hardware version "1.0" fills its three bytes.
struct DeviceIdentity {
    uint8_t kind;
    uint8_t character;
    char serialNumber[17];
    char partNumber[11];
    char softwareVersion[11];
    char hardwareVersion[3];
    char secondVersion[7];
    char orderNumber[9];
    uint16_t number;
};

// Length of the sensor board's identity reply.
constexpr uint32_t kBoardIdentityBytes = 48;

extern DeviceIdentity g_DeviceIdentity;
extern DeviceIdentity g_BoardIdentity;
// Back to the state at power-on (tests run many starts in one process).
void Ident_ResetState();

// The main board's fixed identity.
void Ident_InitMainBoard();
// Takes the sensor board's identity from the 48-byte payload of its identity reply.
void Ident_StoreBoardIdentity(const uint8_t* payload);
// "R718G/2XH" or "R718G/2H", by the order number, with an ending zero into text (at least 10
// bytes); returns its length.
uint32_t Ident_GetModelName(char* text);
