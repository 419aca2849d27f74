// Host layer on Linux: the standard library's clocks, threads and C streams.
#include "platform/plat.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

namespace {
std::atomic<uint64_t (*)()> s_TimeSource{nullptr};
std::atomic<void (*)()> s_IdleHook{nullptr};
std::atomic<bool> s_StopRequested{false};

uint64_t SteadyNowMs() {
    using namespace std::chrono;
    static const steady_clock::time_point start = steady_clock::now();
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now() - start).count());
}
}  // namespace

uint64_t Plat_NowMs() {
    uint64_t (*source)() = s_TimeSource.load(std::memory_order_relaxed);
    return source ? source() : SteadyNowMs();
}

void Plat_SetTimeSource(uint64_t (*source)()) { s_TimeSource.store(source, std::memory_order_relaxed); }

void Plat_Idle() {
    void (*hook)() = s_IdleHook.load(std::memory_order_relaxed);
    if (hook) {
        hook();
        return;
    }
    // Long enough that a waiting firmware thread costs nothing, short against the 20-ms tick.
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

void Plat_SetIdleHook(void (*hook)()) { s_IdleHook.store(hook, std::memory_order_relaxed); }
void Plat_RequestStop() { s_StopRequested.store(true, std::memory_order_relaxed); }
void Plat_ClearStop() { s_StopRequested.store(false, std::memory_order_relaxed); }
bool Plat_StopRequested() { return s_StopRequested.load(std::memory_order_relaxed); }

void Plat_SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A PlatFile is the C stream itself; the handle type only keeps <cstdio> out of callers.
static std::FILE* Stream(PlatFile* file) { return reinterpret_cast<std::FILE*>(file); }

PlatFile* Plat_FileOpen(const char* path, const char* mode) {
    if (path == nullptr || mode == nullptr || path[0] == '\0') return nullptr;
    std::FILE* stream = std::fopen(path, mode);
    if (stream == nullptr) return nullptr;
    return reinterpret_cast<PlatFile*>(stream);
}

void Plat_FileClose(PlatFile* file) {
    if (file == nullptr) return;
    std::fclose(Stream(file));
}

int Plat_FileSeek(PlatFile* file, long offset) {
    return file ? std::fseek(Stream(file), offset, SEEK_SET) : -1;
}

int Plat_FileGetByte(PlatFile* file) {
    if (file == nullptr) return -1;
    int c = std::fgetc(Stream(file));
    return c == EOF ? -1 : c;
}

int Plat_FilePutByte(PlatFile* file, uint8_t byte) {
    if (file == nullptr) return -1;
    return std::fputc(byte, Stream(file)) == EOF ? -1 : 0;
}

bool Plat_FileGetLine(PlatFile* file, char* buffer, size_t size) {
    if (file == nullptr || buffer == nullptr || size == 0) return false;
    if (std::fgets(buffer, static_cast<int>(size), Stream(file)) == nullptr) return false;
    size_t n = std::strlen(buffer);
    bool whole = n > 0 && buffer[n - 1] == '\n';
    while (n > 0 && (buffer[n - 1] == '\n' || buffer[n - 1] == '\r')) buffer[--n] = '\0';
    if (!whole) {
        // Drop the rest of an over-long line so the next call starts on a fresh line.
        int c;
        while ((c = std::fgetc(Stream(file))) != EOF && c != '\n') {
        }
    }
    return true;
}

int Plat_FilePutText(PlatFile* file, const char* text) {
    if (file == nullptr || text == nullptr) return -1;
    return std::fputs(text, Stream(file)) < 0 ? -1 : 0;
}

bool Plat_FileExists(const char* path) {
    if (path == nullptr || path[0] == '\0') return false;
    std::error_code error;
    // A file we may not open still exists: ask the directory, not fopen.
    return std::filesystem::exists(std::filesystem::path(path), error);
}

int Plat_FileRemove(const char* path) { return path ? std::remove(path) : -1; }

char Plat_PathSeparator() { return '/'; }
