#pragma once

// A child process that repeats a rewrite until it is killed: the crash tests' way of stopping
// the program at an arbitrary moment of its work on the real disk.

#include <functional>
#include <signal.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trelk::testing {

// Forks a child that runs round(0), round(1), ... until one returns false (it then exits with
// status 3); once the first round is done, waits delayUs and kills it. True when the child was
// killed, so it had not failed on its own.
inline bool RunUntilKilled(const std::function<bool(int round)>& round, useconds_t delayUs) {
    int ready[2];
    if (::pipe(ready) != 0) {
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return false;
    }
    if (child == 0) {
        ::close(ready[0]);
        for (int n = 0;; ++n) {
            if (!round(n)) {
                ::_exit(3);
            }
            if (n == 0) {
                static_cast<void>(::write(ready[1], "r", 1));
            }
        }
    }
    ::close(ready[1]);
    char byte = 0;
    const bool started = ::read(ready[0], &byte, 1) == 1;
    ::close(ready[0]);
    ::usleep(delayUs);
    ::kill(child, SIGKILL);
    int status = 0;
    return ::waitpid(child, &status, 0) == child && started && WIFSIGNALED(status);
}

} // namespace trelk::testing
