// Device identity: the main board's fixed record, the sensor board's reported one, and the model
// name that the order number decides.
#include "core/ident.h"

#include <algorithm>
#include <cstring>

#include "core/util.h"

DeviceIdentity g_DeviceIdentity;
DeviceIdentity g_BoardIdentity;

// The order number of the two-channel model with the digital channel.
static const char kOrderNumberXH[] = "71460382";

// Copies text into a field and pads it with zeros; a text as long as the field fills it.
static void SetText(char* field, uint32_t size, const char* text) {
    std::memset(field, 0, size);
    std::memcpy(field, text, std::min<size_t>(std::strlen(text), size));
}

void Ident_InitMainBoard() {
    DeviceIdentity& id = g_DeviceIdentity;
    id.kind = 0;
    id.character = ' ';
    SetText(id.serialNumber, sizeof id.serialNumber, "12345678");
    SetText(id.partNumber, sizeof id.partNumber, "58203146");
    SetText(id.softwareVersion, sizeof id.softwareVersion, "1.2.01");
    SetText(id.hardwareVersion, sizeof id.hardwareVersion, "1.0");
    SetText(id.secondVersion, sizeof id.secondVersion, "0.0.01");
    SetText(id.orderNumber, sizeof id.orderNumber, kOrderNumberXH);
    id.number = 0;
}

void Ident_StoreBoardIdentity(const uint8_t* payload) {
    DeviceIdentity& id = g_BoardIdentity;
    std::memset(&id, 0, sizeof id);
    id.kind = payload[0];
    std::memcpy(id.serialNumber, payload + 1, 16);
    std::memcpy(id.partNumber, payload + 17, 10);
    std::memcpy(id.softwareVersion, payload + 27, 10);
    std::memcpy(id.hardwareVersion, payload + 37, 2);
    std::memcpy(id.secondVersion, payload + 39, 6);
    id.character = payload[45];
    id.number = static_cast<uint16_t>(Util_GetU16BE(payload + 46));
}

uint32_t Ident_GetModelName(char* text) {
    const char* name =
        std::strncmp(g_DeviceIdentity.orderNumber, kOrderNumberXH, sizeof g_DeviceIdentity.orderNumber) == 0
            ? "R718G/2XH"
            : "R718G/2H";
    uint32_t n = static_cast<uint32_t>(std::strlen(name));
    std::memcpy(text, name, n + 1);
    return n;
}

void Ident_ResetState() {
    g_DeviceIdentity = DeviceIdentity{};
    g_BoardIdentity = DeviceIdentity{};
}
