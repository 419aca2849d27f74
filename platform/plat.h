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
// Waits up to ms, less when a stop is requested meanwhile (or already was); true when it was.
bool Plat_WaitForStop(uint32_t ms);
// Sleeps the calling thread (worker threads only; never the firmware's wait loops).
void Plat_SleepMs(uint32_t ms);

// ---- Files ---------------------------------------------------------------------------------

struct PlatFile;
// Opens with a C stream mode ("rb+", "wb+", "r", "w", "rb"); nullptr when it cannot, and when
// something other than a file stands at path (a pipe or a device is refused at once, never
// waited on).
PlatFile* Plat_FileOpen(const char* path, const char* mode);
// Closes the file, writing out what is still buffered; 0 when that succeeded (or there was no
// file), -1 when buffered bytes could not be written.
int Plat_FileClose(PlatFile* file);
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
// Removes a file; 0 on success. Safe in a signal handler.
int Plat_FileRemove(const char* path);
// The separator the host puts between folder and file names.
char Plat_PathSeparator();

// ---- Files held open ------------------------------------------------------------------------

// A file opened once and then read and written in place: each access is one positioned system
// call for the whole run of bytes, with no stream buffer and no reopening. A handle of -1 is none.
// A write that lies within the file's first 4096 bytes touches one page of it, which a killed
// program leaves either written or not.
// Opens an existing file for reading and writing, or for reading only where writing is not
// allowed (*writable tells which); -1 when it cannot be read at all or is no file (a folder, a
// pipe, a device), which is refused at once, never waited on.
int Plat_HeldOpen(const char* path, bool* writable);
// Opens the file that now stands at path, as Plat_HeldOpen does, in the handle's place: the
// handle (and any other thread using it) reads and writes that file from then on. 0 done; -1 when
// it cannot be opened, and the handle keeps its file.
int Plat_HeldReopen(int handle, const char* path, bool* writable);
// Creates a file that did not exist before, for reading and writing; -1 when it cannot.
int Plat_HeldCreate(const char* path);
// Reads up to n bytes at offset: how many were read (fewer at the file's end), -1 on error.
int32_t Plat_HeldReadAt(int handle, uint32_t offset, void* buffer, uint32_t n);
// Writes n bytes at offset: 0 when all of them are in the file. -1 when not, and also when the
// file was removed or replaced since it was opened, since what is written then is lost.
int Plat_HeldWriteAt(int handle, uint32_t offset, const void* bytes, uint32_t n);
void Plat_HeldClose(int handle);
// What tells one state of a file from another: the file itself (device and number) and its size
// and times, which every write moves on.
struct PlatFileStamp {
    uint64_t device;
    uint64_t inode;
    uint64_t size;
    int64_t modifiedNs;
    int64_t changedNs;
};
// The stamp of the file at path (through links); false when nothing can be found there.
bool Plat_FileStampOf(const char* path, PlatFileStamp* stamp);
// The stamp of a held file; false on error.
bool Plat_HeldStamp(int handle, PlatFileStamp* stamp);
// Writes all n bytes at the handle's position (taking up after interruptions); false when the
// file did not take them all.
bool Plat_WriteAll(int handle, const uint8_t* bytes, uint32_t n);

// ---- Folders -------------------------------------------------------------------------------

// The folder of the running program without a trailing separator ("/" for the root); false (and
// "") when the host cannot tell or it does not fit.
bool Plat_GetProgramFolder(char* folder, size_t size);
// The host's folder for temporary files: $TMPDIR when set, else /tmp. False when it does not fit.
bool Plat_GetTempFolder(char* folder, size_t size);
// Makes a folder that only this user may enter. 0 made, 1 something of that name exists already,
// -1 it cannot be made.
int Plat_MakePrivateFolder(const char* path);
// Removes an empty folder; 0 on success. Safe in a signal handler.
int Plat_RemoveFolder(const char* path);
// Removes a folder with everything in it; 0 on success.
int Plat_RemoveTree(const char* path);
// Creates a file that did not exist before (an existing one is never opened) and writes the bytes
// into it, every write checked. 0 done; 1 created but not written whole (the file is there);
// -1 not created.
int Plat_WriteNewFile(const char* path, const uint8_t* bytes, uint32_t size);

// ---- Environment ---------------------------------------------------------------------------

// Sets an environment variable for this process unless it is set already (the user's setting
// stands). True when it now has that value. Call it before any thread starts.
bool Plat_SetEnvironmentDefault(const char* name, const char* value);

// ---- Signals -------------------------------------------------------------------------------

// Calls handler with the signal's number when the program is asked to end from outside (interrupt,
// termination, hang-up, quit). The handler runs in signal context.
void Plat_CatchTerminatingSignals(void (*handler)(int signal));
// Ends the program by that signal as if it had never been caught.
void Plat_RaiseUncaught(int signal);
