// Host layer on Linux: the standard library's clocks, threads and C streams.
#include "platform/plat.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

namespace {
std::atomic<uint64_t (*)()> s_TimeSource{nullptr};
std::atomic<void (*)()> s_IdleHook{nullptr};
std::atomic<bool> s_StopRequested{false};
// Wakes Plat_WaitForStop when a stop is requested.
std::mutex s_StopMutex;
std::condition_variable s_StopWake;

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
void Plat_RequestStop() {
    {
        std::lock_guard<std::mutex> lock(s_StopMutex);
        s_StopRequested.store(true, std::memory_order_relaxed);
    }
    s_StopWake.notify_all();
}

bool Plat_WaitForStop(uint32_t ms) {
    std::unique_lock<std::mutex> lock(s_StopMutex);
    return s_StopWake.wait_for(lock, std::chrono::milliseconds(ms),
                               [] { return s_StopRequested.load(std::memory_order_relaxed); });
}
void Plat_ClearStop() { s_StopRequested.store(false, std::memory_order_relaxed); }
bool Plat_StopRequested() { return s_StopRequested.load(std::memory_order_relaxed); }

void Plat_SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A PlatFile is the C stream itself; the handle type only keeps <cstdio> out of callers.
static std::FILE* Stream(PlatFile* file) { return reinterpret_cast<std::FILE*>(file); }

PlatFile* Plat_FileOpen(const char* path, const char* mode) {
    if (path == nullptr || mode == nullptr || path[0] == '\0') return nullptr;
    bool update = std::strchr(mode, '+') != nullptr;
    int flags = 0;
    if (mode[0] == 'r') {
        flags = update ? O_RDWR : O_RDONLY;
    } else if (mode[0] == 'w') {
        flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC;
    } else if (mode[0] == 'a') {
        flags = (update ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND;
    } else {
        return nullptr;
    }
    // Only a file: a pipe or a device in its place is refused at once, never waited on.
    int fd = open(path, flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    struct stat info {};
    int status = fcntl(fd, F_GETFL);
    std::FILE* stream = nullptr;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && status >= 0 && fcntl(fd, F_SETFL, status & ~O_NONBLOCK) == 0)
        stream = fdopen(fd, mode);
    if (stream == nullptr) {
        close(fd);
        return nullptr;
    }
    return reinterpret_cast<PlatFile*>(stream);
}

int Plat_FileClose(PlatFile* file) {
    if (file == nullptr) return 0;
    return std::fclose(Stream(file)) == 0 ? 0 : -1;
}

int Plat_FileSeek(PlatFile* file, long offset) { return file ? std::fseek(Stream(file), offset, SEEK_SET) : -1; }

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
        while ((c = std::fgetc(Stream(file))) != EOF && c != '\n') {}
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

int Plat_FileRemove(const char* path) { return path ? unlink(path) : -1; }

char Plat_PathSeparator() { return '/'; }

// Copies a text with its ending zero; false (and "") when it does not fit.
static bool CopyText(char* target, size_t size, const char* text) {
    if (size == 0) return false;
    target[0] = '\0';
    size_t n = std::strlen(text);
    if (n >= size) return false;
    std::memcpy(target, text, n + 1);
    return true;
}

bool Plat_GetProgramFolder(char* folder, size_t size) {
    if (folder == nullptr || size == 0) return false;
    folder[0] = '\0';
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return false;
    path[n] = '\0';
    char* slash = std::strrchr(path, '/');
    if (slash == nullptr) return false;
    if (slash == path) return CopyText(folder, size, "/");
    *slash = '\0';
    return CopyText(folder, size, path);
}

bool Plat_GetTempFolder(char* folder, size_t size) {
    if (folder == nullptr) return false;
    const char* tmp = std::getenv("TMPDIR");
    return CopyText(folder, size, tmp != nullptr && tmp[0] != '\0' ? tmp : "/tmp");
}

int Plat_MakePrivateFolder(const char* path) {
    if (path == nullptr || path[0] == '\0') return -1;
    if (mkdir(path, 0700) == 0) return 0;
    return errno == EEXIST ? 1 : -1;
}

int Plat_RemoveFolder(const char* path) { return path ? rmdir(path) : -1; }

int Plat_RemoveTree(const char* path) {
    if (path == nullptr || path[0] == '\0') return -1;
    std::error_code error;
    std::filesystem::remove_all(std::filesystem::path(path), error);
    return error ? -1 : 0;
}

bool Plat_WriteAll(int handle, const uint8_t* bytes, uint32_t size) {
    uint32_t done = 0;
    while (done < size) {
        ssize_t n = write(handle, bytes + done, size - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<uint32_t>(n);
    }
    return true;
}

int Plat_WriteNewFile(const char* path, const uint8_t* bytes, uint32_t size) {
    if (path == nullptr || path[0] == '\0') return -1;
    int fd = open(path, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0700);
    if (fd < 0) return -1;
    bool written = bytes != nullptr || size == 0 ? Plat_WriteAll(fd, bytes, size) : false;
    bool closed = close(fd) == 0;
    return written && closed ? 0 : 1;
}

int Plat_HeldOpen(const char* path, bool* writable) {
    *writable = false;
    if (path == nullptr || path[0] == '\0') return -1;
    // Not blocking: a pipe in the file's place must not stop the caller.
    int fd = open(path, O_RDWR | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0) {
        *writable = true;
    } else if (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY) {
        fd = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    }
    if (fd < 0) return -1;
    // A folder opens for reading but holds no bytes; a pipe or a device is no file of bytes.
    struct stat info {};
    int flags = fcntl(fd, F_GETFL);
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || flags < 0 || fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        close(fd);
        *writable = false;
        return -1;
    }
    return fd;
}

int Plat_HeldReopen(int handle, const char* path, bool* writable) {
    *writable = false;
    if (handle < 0) return -1;
    bool now = false;
    int fd = Plat_HeldOpen(path, &now);
    if (fd < 0) return -1;
    // One step: a reader on another thread finds the old file or the new one under the handle.
    int moved = dup3(fd, handle, O_CLOEXEC);
    close(fd);
    if (moved < 0) return -1;
    *writable = now;
    return 0;
}

static void StampOf(const struct stat& info, PlatFileStamp* stamp) {
    stamp->device = static_cast<uint64_t>(info.st_dev);
    stamp->inode = static_cast<uint64_t>(info.st_ino);
    stamp->size = static_cast<uint64_t>(info.st_size);
    stamp->modifiedNs = static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    stamp->changedNs = static_cast<int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec;
}

bool Plat_FileStampOf(const char* path, PlatFileStamp* stamp) {
    struct stat info {};
    if (path == nullptr || path[0] == '\0' || stat(path, &info) != 0) return false;
    StampOf(info, stamp);
    return true;
}

bool Plat_HeldStamp(int handle, PlatFileStamp* stamp) {
    struct stat info {};
    if (handle < 0 || fstat(handle, &info) != 0) return false;
    StampOf(info, stamp);
    return true;
}

int Plat_HeldCreate(const char* path) {
    if (path == nullptr || path[0] == '\0') return -1;
    return open(path, O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}

int32_t Plat_HeldReadAt(int handle, uint32_t offset, void* buffer, uint32_t n) {
    if (handle < 0 || buffer == nullptr || n > static_cast<uint32_t>(INT32_MAX)) return -1;
    uint32_t done = 0;
    while (done < n) {
        ssize_t got = pread(handle, static_cast<uint8_t*>(buffer) + done, n - done, static_cast<off_t>(offset) + done);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return -1;
        if (got == 0) break;
        done += static_cast<uint32_t>(got);
    }
    return static_cast<int32_t>(done);
}

int Plat_HeldWriteAt(int handle, uint32_t offset, const void* bytes, uint32_t n) {
    if (handle < 0 || bytes == nullptr) return -1;
    struct stat info {};
    if (fstat(handle, &info) != 0 || info.st_nlink == 0) return -1;
    uint32_t done = 0;
    while (done < n) {
        ssize_t put =
            pwrite(handle, static_cast<const uint8_t*>(bytes) + done, n - done, static_cast<off_t>(offset) + done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return -1;
        done += static_cast<uint32_t>(put);
    }
    return 0;
}

void Plat_HeldClose(int handle) {
    if (handle >= 0) close(handle);
}

void Plat_CatchTerminatingSignals(void (*handler)(int signal)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaction(signal, &action, nullptr);
}

void Plat_RaiseUncaught(int signal) {
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool Plat_SetEnvironmentDefault(const char* name, const char* value) {
    return setenv(name, value, 0) == 0 && std::strcmp(std::getenv(name), value) == 0;
}
