// A full disk while logging, made real with a file size limit in a child process: the failure
// is reported, the lines already in the file stay whole, and the log recovers afterwards.

#include "log/PilotLog.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/sim/ManualClock.h"
#include "support/TempFolder.h"

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace trelk {
namespace {

TEST(LogFileFullDiskTest, FailedWriteIsReportedAndEarlierLinesStayIntact) {
    setenv("TZ", "UTC", 1);
    tzset();
    testing::TempFolder folder;
    ManualClock clock;
    LinuxFileSystem files;
    CheckOption enabled(true);
    int bufSize = 100;
    std::vector<std::string> errors;
    PilotLog log(clock, files, enabled, bufSize, folder.dir() + "Log/", {},
                 [&errors](const std::string& message) { errors.push_back(message); });
    log.AddLogLine("written before the disk filled up");
    const std::string before = folder.read("Log/" + log.LogFileName());
    ASSERT_EQ(before, "Log created 2026-12-08; 12:00:00\r\n"
                      "12:00; written before the disk filled up\r\n");

    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Room for part of the next line only: the write fails half-way, as on a full disk.
        signal(SIGXFSZ, SIG_IGN);
        const rlim_t limit = before.size() + 10;
        const rlimit fileSize{limit, limit};
        if (setrlimit(RLIMIT_FSIZE, &fileSize) != 0) {
            _exit(10);
        }
        log.AddLogLine("this line does not fit on the disk any more");
        log.AddLogLine("nor does this one");
        if (errors.size() != 1 || errors[0].find("File too large") == std::string::npos) {
            _exit(11);
        }
        // The pilot still sees the lines in the buffer.
        if (log.Lines().size() != 4) {
            _exit(12);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(folder.read("Log/" + log.LogFileName()), before) << "no half line left behind";

    log.AddLogLine("room again");
    EXPECT_EQ(folder.read("Log/" + log.LogFileName()), before + "12:00; room again\r\n");
    EXPECT_TRUE(errors.empty());
}

} // namespace
} // namespace trelk
