// Link transport: binds the sensor-board library by path and name, and pumps the link buffer's
// bytes to and from the library's mailbox.
#pragma once
#include <atomic>
#include <cstdint>

struct PlatLibrary;

// The sensor-board library's file, looked for in the library folder.
extern const char kLibraryFileName[];

extern std::atomic<PlatLibrary*> g_LibraryHandle;

// The library's exports as the program calls them, looked up by name at each call.
typedef uintptr_t (*SlaveStartHandleFn)();
typedef int (*SlaveSetTedsFileNameFn)(int slot, const char* name, int code);
typedef uint8_t (*MainSetSlaveRxDataFn)(int byte);
typedef uint8_t (*MainGetSlaveTxFlagFn)();
typedef uint8_t (*MainGetSlaveTxCountFn)();
typedef int (*MainGetSlaveTxDataFn)(int unused);
typedef int (*SetEepromBinFilePathFn)(const char* folder);
typedef uint32_t (*SetSfxFlagFn)(uint32_t flag);
typedef int (*SetDllFilePathFn)(const char* folder);

// What the program's own SetSFXFlag and SetDLLFilePath stored: whether the library was unpacked
// from the program (1) or stands beside it (0), and the folder it is in.
uint32_t Link_GetSfxFlag();
const char* Link_GetLibraryDirectory();
// Forgets the bound library (it stays loaded): back to power-on.
void Link_ResetTransport();
// Loads the library from the library folder and starts its board (once, from the panel).
void Link_BindLibrary();
// The 100-ms byte pump between the firmware and the library.
void Link_Pump();
// Hands channel B's sensor image file and sensor code to the library; always 1.
uint32_t Link_SelectSensorImage(uint32_t slot, const char* name, uint32_t code);
