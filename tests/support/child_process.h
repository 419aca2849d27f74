// Tests of steps that must not hang the test program (a start that might wait on a pipe for ever):
// the step runs in a child process, a copy of this one, and is given a deadline.
#pragma once
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

// The step's result as the child's exit code (0 to 255); -1 when the child had not ended after
// that many seconds (it is killed then), -2 when it could not be started or ended by a signal.
inline int RunInChild(const std::function<int()>& step, int seconds) {
    pid_t pid = fork();
    if (pid < 0) return -2;
    if (pid == 0) _exit(step());
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    int status = 0;
    while (waitpid(pid, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -2;
}
