// Host layer, files that survive a kill: a file is replaced whole through a temporary file beside
// it, flushed to the disk and renamed over the old one, so that a process killed at any moment
// leaves the old file or the new one, never an empty or a short one.
#pragma once
#include <cstdint>

struct PlatFile;

// Replaces the file at path with size bytes. They go into "<path>.tmp" first, which is flushed
// and then renamed over the file. A symbolic link keeps its place and its target file is replaced; a replaced file keeps
// its permissions. Something other than a file in its place, or a file this process may not
// write, is not replaced. 0 done; -1 not replaced: the old file is untouched and no temporary
// file stays behind.
int PlatSafe_Replace(const char* path, const uint8_t* bytes, uint32_t size);
// Removes the temporary file that a replace of path (or of the file a link at path points at)
// left when its process was killed. 0 when there is none now.
int PlatSafe_DropLeftover(const char* path);
// Removes the file at path. 0 when no file is there now; -1 when something stays: a file the
// folder will not let go, or something other than a file (a folder, a pipe), which is never
// removed.
int PlatSafe_Remove(const char* path);
// Reads up to n bytes of the file at offset; the number read (fewer where the file ends), or -1
// when it is not a file that can be read (missing, a folder, a pipe, no permission). A pipe or a
// device in the file's place is refused at once, never waited on.
int32_t PlatSafe_ReadAt(const char* path, uint32_t offset, uint8_t* bytes, uint32_t n);
// Opens the file at path for reading as a stream, with the same refusals as PlatSafe_ReadAt;
// nullptr when it is not a file that can be read. Closed with Plat_FileClose.
PlatFile* PlatSafe_OpenForReading(const char* path);
