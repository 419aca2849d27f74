// Host layer, threads, over the standard library's threads.
#include "platform/plat_thread.h"

#include <atomic>
#include <system_error>
#include <thread>

namespace {
// Thread identifiers handed out; the native handle is no use to callers that never join.
std::atomic<uintptr_t> s_NextThreadId{1};
}  // namespace

uintptr_t Plat_ThreadStart(void (*fn)()) {
    if (fn == nullptr) return 0;
    try {
        std::thread thread(fn);
        // Nobody waits for these threads: they end with the process.
        thread.detach();
    } catch (const std::system_error&) {
        return 0;
    }
    return s_NextThreadId.fetch_add(1, std::memory_order_relaxed);
}

struct PlatThread {
    std::thread thread;
};

PlatThread* Plat_ThreadStartJoinable(void (*fn)(void* arg), void* arg) {
    if (fn == nullptr) return nullptr;
    PlatThread* started = new PlatThread;
    try {
        started->thread = std::thread(fn, arg);
    } catch (const std::system_error&) {
        delete started;
        return nullptr;
    }
    return started;
}

void Plat_ThreadJoin(PlatThread* thread) {
    if (thread == nullptr) return;
    if (thread->thread.joinable()) thread->thread.join();
    delete thread;
}
