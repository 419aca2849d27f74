// Host layer, shared libraries: loading a library by its path and finding its exports by name.
// The firmware binds the sensor-board library through these, one lookup per call.
#pragma once

struct PlatLibrary;

// Loads the library at that path; nullptr when it cannot be loaded.
PlatLibrary* Plat_LibraryOpen(const char* path);
// The address of the export of that name; nullptr when the library is nullptr or lacks it.
void* Plat_LibraryFind(PlatLibrary* library, const char* name);
// Unloads a library that Plat_LibraryOpen gave; nullptr does nothing.
void Plat_LibraryClose(PlatLibrary* library);

// Tests: while a resolver is set, every library "loads" without touching a file and its exports
// are whatever the resolver returns for their names (nullptr: not there). nullptr restores files.
void Plat_SetLibraryStandIn(void* (*resolver)(const char* name));
