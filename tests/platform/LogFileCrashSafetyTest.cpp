// The run's log file on a real disk is only ever appended to. A process killed while logging
// loses nothing that was in the file: what was there stays byte for byte, followed by the
// lines of the killed run in order, the last of them cut short at most. On a full disk a line
// that does not fit is reported and cut back, and the file keeps every whole line.

#include "core/CheckOption.h"
#include "log/PilotLog.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/sim/ManualClock.h"
#include "support/RewriteKills.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <string>
#include <vector>

namespace trelk {
namespace {

namespace fs = std::filesystem;

std::string Message(int n) {
    return "pilot line " + std::to_string(n);
}

// One run of the program's log over the real disk.
struct LogRun {
    explicit LogRun(const std::string& logDir)
        : log(clock, files, enabled, bufSize, logDir, {},
              [this](const std::string& message) { errors.push_back(message); }) {}

    ManualClock clock;
    LinuxFileSystem files;
    CheckOption enabled{true};
    int bufSize = 100;
    std::vector<std::string> errors;
    PilotLog log;
};

// What a run writes: its header, then a line per message; the first n lines of it.
struct RunText {
    std::string header;
    std::string linePrefix; // the time before every message
    std::string lines(int n) const {
        std::string text = header;
        for (int i = 0; i < n; ++i) {
            text += linePrefix + Message(i) + "\r\n";
        }
        return text;
    }
};

RunText WhatARunWrites() {
    testing::TempFolder scratch;
    LogRun run(scratch.dir());
    run.log.AddLogLine(Message(0));
    const std::string text = testing::ReadWhole(run.log.LogFilePath());
    const auto headerEnd = text.find("\r\n") + 2;
    const std::string first = text.substr(headerEnd);
    return {text.substr(0, headerEnd), first.substr(0, first.size() - Message(0).size() - 2)};
}

TEST(LogFileCrashSafetyTest, KilledWhileLoggingKeepsEveryEarlierByteAndCutsOneLineAtMost) {
    const RunText run = WhatARunWrites();
    ASSERT_TRUE(run.header.starts_with("Log created "));
    testing::TempFolder folder{testing::KillTestRoot()};
    const std::string logDir = folder.dir() + "Log/";
    LogRun first(logDir);
    first.log.AddLogLine("the first run's only line");
    const std::string path = first.log.LogFilePath();
    std::string before = testing::ReadWhole(path);

    std::unique_ptr<LogRun> child;
    const auto round = [&](int n) {
        if (!child) {
            child = std::make_unique<LogRun>(logDir);
        }
        child->log.AddLogLine(Message(n));
        return child->errors.empty();
    };
    testing::TempFolder timing;
    LogRun timed(timing.dir());
    int n = 0;
    const long roundUs = testing::AverageUs([&] { timed.log.AddLogLine(Message(n++)); }, 50);
    int cutLines = 0;
    long linesLogged = 0;
    EXPECT_TRUE(
        testing::KillWhileRewriting(testing::KillsPerFile, roundUs, 20261211, round, [&](int kill) {
            const std::string text = testing::ReadWhole(path);
            if (text.size() < before.size() || text.compare(0, before.size(), before) != 0) {
                return ::testing::AssertionFailure()
                       << "the file lost what it held: " << text.size() << " bytes, "
                       << before.size() << " before";
            }
            const std::string added = text.substr(before.size());
            // The killed run's lines in order, each whole but the last: at least the first line,
            // which it wrote before the kill could come. A line the run before left cut short is
            // ended first.
            const std::string lineEnd = before.empty() || before.ends_with('\n') ? "" : "\r\n";
            const auto whole = static_cast<int>(std::count(added.begin(), added.end(), '\n') - 1 -
                                                (lineEnd.empty() ? 0 : 1));
            if (whole < 1 ||
                (lineEnd + run.lines(whole + 1)).compare(0, added.size(), added) != 0) {
                return ::testing::AssertionFailure() << "not the run's lines:\n" << added;
            }
            cutLines += added.ends_with("\r\n") ? 0 : 1;
            linesLogged += whole;
            before = text;
            // A minute's runs share a file: every hundred kills the checked file goes, so it stays
            // the size of one minute's log that a new run reads the end of.
            if (kill % 100 == 99) {
                fs::remove(path);
                before.clear();
            }
            return testing::FolderHoldsOnly(folder.path(), {"Log"});
        }));
    std::cout << testing::KillsPerFile << " kills over log lines of " << roundUs
              << " us: " << linesLogged << " lines kept, " << cutLines << " cut short\n";
    EXPECT_TRUE(testing::FolderHoldsOnly(logDir, {first.log.LogFileName()}));
}

TEST(LogFileCrashSafetyTest, AFullDiskIsReportedOnceAndLeavesOnlyWholeLines) {
    TRELK_EXPECT_ON_FULL_DISK([](const std::string& disk) -> std::string {
        LogRun run(disk + "/");
        run.log.AddLogLine(Message(0));
        const std::string path = run.log.LogFilePath();
        if (!testing::FillDisk(disk)) {
            return "the disk did not fill";
        }
        // The last page of the file takes lines until it is full; the line that does not
        // fit is cut back and reported.
        int n = 1;
        while (run.errors.empty() && n < 1000) {
            run.log.AddLogLine(Message(n++));
        }
        const int kept = n - 1;
        const RunText text = WhatARunWrites();
        if (run.errors != std::vector<std::string>{"Cannot write to log file " + path +
                                                   ": No space left on device"}) {
            return "not told once: " + std::to_string(run.errors.size()) + " messages";
        }
        if (testing::ReadWhole(path) != text.lines(kept)) {
            return "the file does not hold the whole lines that fitted: " +
                   std::to_string(testing::ReadWhole(path).size()) + " bytes";
        }
        run.log.AddLogLine("not reported again");
        if (run.errors.size() != 1) {
            return "the same failure was reported again";
        }
        fs::remove(disk + "/filler");
        run.log.AddLogLine(Message(kept));
        return testing::ReadWhole(path) ==
                       text.lines(kept) + text.linePrefix + Message(kept) + "\r\n"
                   ? ""
                   : "the log did not go on once there was room";
    });
}

} // namespace
} // namespace trelk
