// Link transport: binding the sensor-board library and the byte pump between the link buffer and
// the library's mailbox.
#include "core/link_transport.h"

#include <cstdio>
#include <cstring>

#include "core/eeprom.h"
#include "core/link.h"
#include "platform/plat.h"
#include "platform/plat_library.h"

const char kLibraryFileName[] = "Brannic.so";

std::atomic<PlatLibrary*> g_LibraryHandle{nullptr};

static constexpr std::memory_order kRelaxed = std::memory_order_relaxed;
static constexpr std::memory_order kAcquire = std::memory_order_acquire;
static constexpr std::memory_order kRelease = std::memory_order_release;

uint32_t Link_GetSfxFlag() { return g_SfxFlag; }
const char* Link_GetLibraryDirectory() { return g_LibraryDirectory; }

template <typename Fn>
static Fn Export(PlatLibrary* library, const char* name) {
    return reinterpret_cast<Fn>(Plat_LibraryFind(library, name));
}

void Link_BindLibrary() {
    const char* folder = Link_GetLibraryDirectory();
    size_t n = std::strlen(folder);
    char separator[2] = {Plat_PathSeparator(), '\0'};
    if (n > 0 && folder[n - 1] == separator[0]) separator[0] = '\0';
    char path[kEepromPathSize + 16];
    int written = std::snprintf(path, sizeof path, "%s%s%s", folder, separator, kLibraryFileName);
    // A path that does not fit would name another file.
    if (written < 0 || static_cast<size_t>(written) >= sizeof path) return;
    PlatLibrary* library = Plat_LibraryOpen(path);
    if (library == nullptr) return;
    g_LibraryHandle.store(library, kRelease);
    // The board's worker builds its parameter file's name from the folder as its first act, so
    // both settings go before the start.
    if (SetSfxFlagFn setSfx = Export<SetSfxFlagFn>(library, "SetSFXFlag")) setSfx(Link_GetSfxFlag());
    if (SetEepromBinFilePathFn setFolder = Export<SetEepromBinFilePathFn>(library, "SetEEPROMBinFilePath")) {
        setFolder(Eeprom_GetDirectory());
    }
    if (SlaveStartHandleFn start = Export<SlaveStartHandleFn>(library, "Slave_Start_Handle")) start();
}

void Link_Pump() {
    PlatLibrary* library = g_LibraryHandle.load(kAcquire);
    if (library == nullptr) return;
    LinkBuffer& b = g_LinkBuffer;
    if (b.awaitingReply.load(kAcquire)) {
        MainGetSlaveTxFlagFn ready = Export<MainGetSlaveTxFlagFn>(library, "Main_GetSlaveTxFlag");
        if (ready && ready() != 0) {
            MainGetSlaveTxCountFn count = Export<MainGetSlaveTxCountFn>(library, "Main_GetSlaveTxCount");
            MainGetSlaveTxDataFn data = Export<MainGetSlaveTxDataFn>(library, "Main_GetSlaveTxData");
            uint8_t n = count ? count() : 0;
            if (data) {
                uint8_t write = b.writeIndex.load(kRelaxed);
                for (uint8_t i = 0; i < n; ++i) {
                    b.ring[write] = static_cast<uint8_t>(data(0));
                    // The ring is 256 bytes: the byte index wraps by itself.
                    ++write;
                    b.writeIndex.store(write, kRelease);
                }
            }
            b.awaitingReply.store(0, kRelaxed);
        }
    }
    if (b.requestPending.load(kAcquire)) {
        MainSetSlaveRxDataFn send = Export<MainSetSlaveRxDataFn>(library, "Main_SetSlaveRxData");
        uint8_t length = b.frame[1];
        for (uint8_t i = 0; i < length; ++i) {
            if (send) send(b.frame[i]);
            b.sendIndex.store(static_cast<uint8_t>(i + 1), kRelaxed);
        }
        g_LinkTickCount.store(0, kRelaxed);
        b.awaitingReply.store(1, kRelaxed);
        b.requestPending.store(0, kRelaxed);
        g_LinkState.store(kLinkSent, kRelease);
    }
}

uint32_t Link_SelectSensorImage(uint32_t slot, const char* name, uint32_t code) {
    if (slot != 1) return 1;
    PlatLibrary* library = g_LibraryHandle.load(kAcquire);
    if (library == nullptr) return 1;
    if (SlaveSetTedsFileNameFn select = Export<SlaveSetTedsFileNameFn>(library, "Slave_SetTedsFileName")) {
        select(static_cast<int>(slot), name, static_cast<int>(code));
    }
    return 1;
}

void Link_ResetTransport() { g_LibraryHandle.store(nullptr, kRelease); }
