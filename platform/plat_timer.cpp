// Periodic timer thread on the steady clock, sleeping until the next absolute deadline so that
// the periods do not drift with the time the callbacks take.
#include "platform/plat_timer.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {
std::mutex s_Mutex;
std::condition_variable s_Wake;
std::thread s_Thread;
bool s_Stop = false;
bool s_Running = false;
PeriodicSchedule s_Schedule;

uint64_t SteadyMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void ThreadMain() {
    std::unique_lock<std::mutex> lock(s_Mutex);
    while (!s_Stop) {
        lock.unlock();
        uint64_t next = Plat_PeriodicStep(&s_Schedule, SteadyMs());
        lock.lock();
        if (s_Stop) break;
        auto deadline = std::chrono::steady_clock::time_point(std::chrono::milliseconds(next));
        s_Wake.wait_until(lock, deadline, [] { return s_Stop; });
    }
}
}  // namespace

void Plat_PeriodicInit(PeriodicSchedule* schedule, const PlatPeriodic* entries, uint32_t count, uint64_t nowMs) {
    schedule->count = 0;
    for (uint32_t i = 0; i < count && schedule->count < kPeriodicMax; ++i) {
        if (entries[i].periodMs == 0 || entries[i].fn == nullptr) continue;
        schedule->entries[schedule->count] = entries[i];
        schedule->deadlines[schedule->count] = nowMs + entries[i].periodMs;
        ++schedule->count;
    }
}

uint64_t Plat_PeriodicStep(PeriodicSchedule* schedule, uint64_t nowMs) {
    uint64_t earliest = UINT64_MAX;
    for (uint32_t i = 0; i < schedule->count; ++i) {
        uint64_t period = schedule->entries[i].periodMs;
        uint64_t& deadline = schedule->deadlines[i];
        if (nowMs >= deadline) {
            schedule->entries[i].fn();
            deadline = nowMs - deadline >= period ? nowMs + period : deadline + period;
        }
        if (deadline < earliest) earliest = deadline;
    }
    // Nothing scheduled: look again in a second rather than never.
    return earliest == UINT64_MAX ? nowMs + 1000 : earliest;
}

bool Plat_PeriodicStart(const PlatPeriodic* entries, uint32_t count) {
    std::lock_guard<std::mutex> lock(s_Mutex);
    if (s_Running) return false;
    Plat_PeriodicInit(&s_Schedule, entries, count, SteadyMs());
    s_Stop = false;
    try {
        s_Thread = std::thread(ThreadMain);
    } catch (...) {
        return false;
    }
    s_Running = true;
    return true;
}

void Plat_PeriodicStop() {
    {
        std::lock_guard<std::mutex> lock(s_Mutex);
        if (!s_Running) return;
        s_Stop = true;
    }
    s_Wake.notify_all();
    s_Thread.join();
    std::lock_guard<std::mutex> lock(s_Mutex);
    s_Running = false;
}
