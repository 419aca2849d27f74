// Host layer: the few things the firmware and the sensor-board library need from the computer
// (time, idling, files). Everything host-specific lives behind these functions.
#pragma once
#include <cstddef>
#include <cstdint>

// ---- Time ----------------------------------------------------------------------------------

// Milliseconds from an arbitrary start; never goes back. Tests replace the source.
uint64_t Plat_NowMs();
// Replaces the time source (nullptr restores the host's steady clock).
void Plat_SetTimeSource(uint64_t (*source)());

// ---- Idling and stopping -------------------------------------------------------------------

// Called by the firmware's wait loops instead of spinning. On the host it sleeps a little; the
// test rig installs a hook that advances virtual time instead.
void Plat_Idle();
void Plat_SetIdleHook(void (*hook)());
// The firmware thread's stop request: wait loops that never end by themselves watch it.
void Plat_RequestStop();
void Plat_ClearStop();
bool Plat_StopRequested();
// Sleeps the calling thread (worker threads only; never the firmware's wait loops).
void Plat_SleepMs(uint32_t ms);

// ---- Files ---------------------------------------------------------------------------------

struct PlatFile;
// Opens with a C stream mode ("rb+", "wb+", "r", "w", "rb"); nullptr when it cannot.
PlatFile* Plat_FileOpen(const char* path, const char* mode);
void Plat_FileClose(PlatFile* file);
// 0 on success.
int Plat_FileSeek(PlatFile* file, long offset);
// The byte read, or -1 at the end or on error.
int Plat_FileGetByte(PlatFile* file);
// 0 on success.
int Plat_FilePutByte(PlatFile* file, uint8_t byte);
// A line of text without its line end; false at the end of the file.
bool Plat_FileGetLine(PlatFile* file, char* buffer, size_t size);
// Text output; 0 on success.
int Plat_FilePutText(PlatFile* file, const char* text);
bool Plat_FileExists(const char* path);
// Removes a file; 0 on success.
int Plat_FileRemove(const char* path);
// The separator the host puts between folder and file names.
char Plat_PathSeparator();
