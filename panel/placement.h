// Where the program finds the sensor-board library: beside the program, or unpacked from the
// program's own resources into a private folder under the temporary folder for this run.
#pragma once
#include <cstdint>
#include <string>

constexpr const char kLibraryLoadFailed[] = "Failed to load dll libraries.";

enum class LibraryPlace {
    kBeside,     // the library beside the program is used in place
    kExtracted,  // the library was written into the extraction folder
    kFailed,     // it could not be unpacked; nothing of it is left behind
};

// The folder of the running program, without a trailing separator ("" when unknown).
std::string Panel_GetProgramFolder();

// Decides where the library comes from and tells the firmware (single-file flag, library
// folder). A file beside the program that the loader does not take (empty, garbled, a pipe) is no
// library beside it. Without a library beside the program, image (size bytes, nullptr when the program
// carries none) is written into a new folder "$TMPDIR/<seconds since 1970>" (else under /tmp),
// created for this process alone (mode 0700; on a clash a suffix "-1", "-2" ... is added), as a
// newly created file whose every write is checked.
LibraryPlace Panel_PlaceLibrary(const std::string& programFolder, const uint8_t* image, uint32_t size);

// The extraction folder of this run ("" when nothing was unpacked).
std::string Panel_ExtractionFolder();
// Deletes the unpacked library and its folder; only what this run created, and only once.
// Safe to call from a signal handler and at every exit path. The library stays loaded: its
// worker thread may still run, and an unlinked file stays mapped until the process ends.
void Panel_RemoveExtracted();
