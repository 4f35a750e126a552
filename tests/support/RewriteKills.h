#pragma once

// The two ways a rewrite of a file on the real disk ends badly: the program is killed in the
// middle of it, or the disk fills up. KillWhileRewriting kills a child process at random moments
// of its rewrites; OnFullDisk runs a rewrite in a small tmpfs filled to the last page.

#include "support/KilledChild.h"
#include "support/TempFolder.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <random>
#include <sched.h>
#include <set>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trelk::testing {

// In one read: the log grows to megabytes over a thousand kills.
inline std::string ReadWhole(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    std::string text(static_cast<std::size_t>(std::max<std::streamoff>(0, in.tellg())), '\0');
    in.seekg(0);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    return text;
}

// A thousand kills per file. A sanitizer build takes the same steps many times slower and
// checks the memory of the program, not its files: a hundred there.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr int KillsPerFile = 100;
#else
inline constexpr int KillsPerFile = 1000;
#endif

// Where the kill tests keep their files. What a kill can break is the order of the program's
// steps (open, write, sync, rename), not the disk: a folder in memory takes the same steps
// without waiting for the disk at every sync, so a thousand kills take seconds.
inline std::filesystem::path KillTestRoot() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error) && ::access("/dev/shm", W_OK) == 0) {
        return "/dev/shm";
    }
    return std::filesystem::temp_directory_path();
}

// Microseconds one call of work takes, on average over a few calls.
inline long AverageUs(const std::function<void()>& work, int times = 6) {
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < times; ++n) {
        work();
    }
    const auto us = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - start)
                        .count();
    return std::max<long>(1, static_cast<long>(us) / times);
}

// Where in a round a rewrite sits, for a round of which it is a small part.
struct KillWindow {
    long firstUs = 0;
    long lastUs = 0;
};

// kills times: a child repeats round(0), round(1), ... and is killed with SIGKILL after a delay
// spread evenly over its next two rounds (roundUs each), so the kills land at every moment of
// a rewrite and on either side of its end. With a window, every other kill comes firstUs..lastUs
// after the first round instead. check(kill) looks at the files after each kill; the first
// failure ends the run.
inline ::testing::AssertionResult KillWhileRewriting(
    int times, long roundUs, unsigned seed, const std::function<bool(int round)>& round,
    const std::function<::testing::AssertionResult(int kill)>& check, KillWindow window = {}) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<long> spread(0, 2 * roundUs);
    std::uniform_int_distribution<long> inWindow(window.firstUs,
                                                 std::max(window.firstUs, window.lastUs));
    for (int kill = 0; kill < times; ++kill) {
        const long delayUs = window.lastUs > 0 && kill % 2 == 1 ? inWindow(random) : spread(random);
        if (!RunUntilKilled(round, static_cast<useconds_t>(delayUs))) {
            return ::testing::AssertionFailure()
                   << "kill " << kill << ": the rewriting child failed on its own";
        }
        if (::testing::AssertionResult checked = check(kill); !checked) {
            return ::testing::AssertionFailure()
                   << "after kill " << kill << ": " << checked.message();
        }
    }
    return ::testing::AssertionSuccess();
}

// What a kill may leave in folder: the files named and, beside a file, the temporary file
// of an unfinished replacement; a failure names anything else.
inline ::testing::AssertionResult FolderHoldsOnly(const std::filesystem::path& folder,
                                                  const std::set<std::string>& names) {
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        const bool temporary =
            name.ends_with(".tmp") && names.count(name.substr(0, name.size() - 4)) == 1;
        if (names.count(name) == 0 && !temporary) {
            return ::testing::AssertionFailure() << "left in the folder: " << name;
        }
    }
    return ::testing::AssertionSuccess();
}

// How the kills left a file rewritten between two versions: how often the newer one was in
// place, and how often a replacement was left unfinished beside it.
struct VersionsSeen {
    int newer = 0;
    int unfinished = 0;
};

// The check after each kill of a file rewritten between two versions: it holds one of them
// whole, and its folder holds nothing but it (and the temporary file of a replacement).
inline std::function<::testing::AssertionResult(int)>
HoldsOneOfTwoVersions(std::string path, std::string older, std::string newer,
                      std::filesystem::path folder, std::string fileName, std::string what,
                      VersionsSeen& seen) {
    return [=, &seen](int) {
        const std::string text = ReadWhole(path);
        if (text != older && text != newer) {
            return ::testing::AssertionFailure() << text.size() << " bytes of neither " << what;
        }
        seen.newer += text == newer ? 1 : 0;
        seen.unfinished += std::filesystem::exists(path + ".tmp") ? 1 : 0;
        return FolderHoldsOnly(folder, {fileName});
    };
}

// Fills the file system of folder up to its last page (tmpfs gives out whole pages), then
// frees leaveBytes of it again. False when the disk never filled.
inline bool FillDisk(const std::string& folder, long leaveBytes = 0) {
    const std::string filler = folder + "/filler";
    const int fd = ::open(filler.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const std::string chunk(4096, 'f');
    off_t size = 0;
    bool full = false;
    for (int n = 0; n < 1 << 20; ++n) {
        const ssize_t written = ::write(fd, chunk.data(), chunk.size());
        if (written < 0) {
            full = errno == ENOSPC;
            break;
        }
        size += written;
    }
    if (full && leaveBytes > 0) {
        full = ::ftruncate(fd, size > leaveBytes ? size - leaveBytes : 0) == 0;
    }
    ::close(fd);
    return full;
}

struct FullDiskOutcome {
    bool mounted = false;
    std::string problem; // why no tmpfs could be mounted, or what the scenario found wrong
};

namespace detail {

inline bool WriteText(const std::string& path, const std::string& text) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    ::close(fd);
    return ok;
}

// A mount namespace of the calling process's own: as root directly, otherwise inside a user
// namespace of its own where the caller is root (what `unshare -rm` does).
inline std::string EnterMountNamespace() {
    if (::unshare(CLONE_NEWNS) != 0) {
        const uid_t uid = ::getuid();
        const gid_t gid = ::getgid();
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return std::string("no mount namespace could be made: ") + std::strerror(errno);
        }
        static_cast<void>(WriteText("/proc/self/setgroups", "deny"));
        if (!WriteText("/proc/self/uid_map", "0 " + std::to_string(uid) + " 1") ||
            !WriteText("/proc/self/gid_map", "0 " + std::to_string(gid) + " 1")) {
            return "the user namespace could not be mapped";
        }
    }
    // Mounts made from here on stay in this namespace and vanish with the process.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return std::string("mounts could not be made private: ") + std::strerror(errno);
    }
    return {};
}

} // namespace detail

// Runs scenario(folder) in a child process where folder is a fresh tmpfs of sizeBytes, mounted
// in a mount namespace of the child's own, so nothing is left mounted whatever happens.
// scenario returns "" when all went as it should, otherwise what went wrong.
inline FullDiskOutcome
OnFullDisk(const std::function<std::string(const std::string& folder)>& scenario,
           long sizeBytes = 256 * 1024) {
    TempFolder mountPoint;
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        return {false, "no pipe"};
    }
    const pid_t child = ::fork();
    if (child < 0) {
        return {false, "no child process"};
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        std::string answer;
        if (std::string refused = detail::EnterMountNamespace(); !refused.empty()) {
            answer = "S" + refused;
        } else if (::mount("tmpfs", mountPoint.path().c_str(), "tmpfs", 0,
                           ("size=" + std::to_string(sizeBytes)).c_str()) != 0) {
            answer = std::string("Sa tmpfs could not be mounted: ") + std::strerror(errno);
        } else {
            answer = "R" + scenario(mountPoint.path().string());
        }
        static_cast<void>(::write(pipeFds[1], answer.data(), answer.size()));
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string answer;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            break;
        }
        answer.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || answer.empty()) {
        return {true, "the child on the full disk died" +
                          (WIFSIGNALED(status) ? " of signal " + std::to_string(WTERMSIG(status))
                                               : std::string())};
    }
    return {answer[0] == 'R', answer.substr(1)};
}

} // namespace trelk::testing

// In a test: runs the scenario on a full disk, skipping with the reason when this machine
// cannot mount a tmpfs (neither as root nor in a user namespace).
#define TRELK_EXPECT_ON_FULL_DISK(scenario)                                                        \
    do {                                                                                           \
        const ::trelk::testing::FullDiskOutcome outcome_ = ::trelk::testing::OnFullDisk(scenario); \
        if (!outcome_.mounted) {                                                                   \
            GTEST_SKIP() << "no small tmpfs for a full disk: " << outcome_.problem;                \
        }                                                                                          \
        EXPECT_EQ(outcome_.problem, "");                                                           \
    } while (false)
