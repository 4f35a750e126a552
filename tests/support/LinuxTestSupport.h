#pragma once

// Helpers for the tests of the real Linux platform: environment variables set for one test,
// waiting for something without asserting on time. Temporary folders: support/TempFolder.h.

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <termios.h>
#include <unistd.h>

namespace trelk::linuxtest {

// Sets (or, with nullopt, removes) one environment variable until the end of the scope.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = std::getenv(name_.c_str())) {
            old_ = old;
        }
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ~ScopedEnv() {
        if (old_) {
            ::setenv(name_.c_str(), old_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string name_;
    std::optional<std::string> old_;
};

// Points standard error (fd 2) at a pseudo terminal of its own, or at a plain file, until the
// end of the scope; text() is what was written to it so far.
class CapturedStderr {
public:
    enum class Kind { Terminal, File };

    CapturedStderr(Kind kind, const std::string& file) : file_(file) {
        std::fflush(stderr);
        saved_ = ::dup(STDERR_FILENO);
        int target = -1;
        if (kind == Kind::Terminal) {
            master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
            if (master_ >= 0 && ::grantpt(master_) == 0 && ::unlockpt(master_) == 0) {
                target = ::open(::ptsname(master_), O_RDWR | O_NOCTTY);
                termios raw{};
                if (target >= 0 && ::tcgetattr(target, &raw) == 0) {
                    ::cfmakeraw(&raw); // no "\r" added before each "\n"
                    ::tcsetattr(target, TCSANOW, &raw);
                }
                ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
            }
        } else {
            target = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        }
        if (target >= 0) {
            ::dup2(target, STDERR_FILENO);
            ::close(target);
        }
    }
    ~CapturedStderr() {
        std::fflush(stderr);
        ::dup2(saved_, STDERR_FILENO);
        ::close(saved_);
        if (master_ >= 0) {
            ::close(master_);
        }
    }
    CapturedStderr(const CapturedStderr&) = delete;
    CapturedStderr& operator=(const CapturedStderr&) = delete;

    std::string text() {
        if (master_ < 0) {
            return ReadFileAt(file_);
        }
        char buffer[4096];
        for (ssize_t n = 0; (n = ::read(master_, buffer, sizeof buffer)) > 0;) {
            fromTerminal_.append(buffer, static_cast<std::size_t>(n));
        }
        return fromTerminal_;
    }

private:
    static std::string ReadFileAt(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream content;
        content << in.rdbuf();
        return content.str();
    }

    std::string file_;
    int saved_ = -1;
    int master_ = -1;
    std::string fromTerminal_;
};

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

inline void WriteFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// Polls (pumping Qt's events when an application exists) until the condition holds or a
// generous limit passes; the caller asserts on the result, never on the time it took.
inline bool WaitUntil(const std::function<bool()>& condition,
                      std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    QDeadlineTimer deadline(limit);
    while (!condition()) {
        if (deadline.hasExpired()) {
            return false;
        }
        if (QCoreApplication::instance() != nullptr) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        QThread::msleep(5);
    }
    return true;
}

// The one QCoreApplication of the test process, created on first use and never destroyed
// (other tests in the same process may need it after this one).
inline QCoreApplication& TestApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "trelk_platform_tests";
        static char* argv[] = {name, nullptr};
        new QCoreApplication(argc, argv);
    }
    return *QCoreApplication::instance();
}

} // namespace trelk::linuxtest
