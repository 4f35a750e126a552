// The pilot log on the manual clock: what reaches the file and the scroll-back buffer, the
// entry view typed into the chat line, and the buffer size stored in the settings file.

#include "log/PilotLog.h"

#include "log/LogBufSettings.h"
#include "platform/sim/ManualClock.h"
#include "support/SimFolder.h"

#include <cstdlib>
#include <ctime>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

struct Typed {
    std::string text;
    bool clearFirst;
    int channel;
    bool operator==(const Typed&) const = default;
};

class PilotLogTest : public ::testing::Test {
protected:
    PilotLogTest() {
        // File names and times are local time; pin the zone so they are the clock's.
        setenv("TZ", "UTC", 1);
        tzset();
        enabled.setChecked(true);
        log = makeLog(folder.dir() + "Log/");
    }

    std::unique_ptr<PilotLog> makeLog(const std::string& logDir) {
        return std::make_unique<PilotLog>(
            clock, files, enabled, bufSize, logDir,
            [this](const std::string& text, bool clearFirst, int channel) {
                typed.push_back({text, clearFirst, channel});
            },
            [this](const std::string& message) { errors.push_back(message); },
            [this](const std::string& line) { traces.push_back(line); });
    }
    std::string logFile() const { return folder.read("Log/" + log->LogFileName()); }
    std::vector<std::string> lines() const { return {log->Lines().begin(), log->Lines().end()}; }

    SimFileSystem files;
    testing::SimFolder folder{files};
    ManualClock clock; // 2026-12-08 12:00:00 UTC
    CheckOption enabled;
    int bufSize = 100;
    std::vector<Typed> typed;
    std::vector<std::string> errors;
    std::vector<std::string> traces;
    std::unique_ptr<PilotLog> log;
};

TEST_F(PilotLogTest, NothingIsRecordedWhileOffOrForShortLines) {
    enabled.setChecked(false);
    log->AddLogLine("hello there");
    enabled.setChecked(true);
    log->AddLogLine("x");
    log->AddLogLine("");
    EXPECT_TRUE(log->Lines().empty());
    EXPECT_TRUE(log->LogFileName().empty());
    EXPECT_EQ(files.kindOf(folder.file("Log")), PathKind::Missing);
    EXPECT_TRUE(errors.empty());
}

TEST_F(PilotLogTest, FirstLineCreatesTheRunFileWithHeaderAndLaterLinesFollowIt) {
    log->AddLogLine("/jump\tAlpha \x01\xe9"
                    "Centauri\x7f");
    EXPECT_EQ(log->LogFileName(), "261208_1200.log");
    EXPECT_EQ(logFile(), "Log created 2026-12-08; 12:00:00\r\n"
                         "12:00; /jumpAlpha Centauri\r\n");
    EXPECT_THAT(lines(),
                ElementsAre("Log created 2026-12-08; 12:00:00", "12:00; /jumpAlpha Centauri"));

    // One file per run, even an hour later.
    clock.advance((60 + 7) * 60 * 1000);
    log->AddLogLine("ok");
    EXPECT_EQ(log->LogFileName(), "261208_1200.log");
    EXPECT_THAT(logFile(), ::testing::EndsWith("Centauri\r\n13:07; ok\r\n"));
    EXPECT_EQ(files.fileNames(folder.file("Log")).size(), 1u);
    EXPECT_TRUE(errors.empty());
}

TEST_F(PilotLogTest, SecondRunInTheSameMinuteAppendsToTheFirstRunsFile) {
    log->AddLogLine("first run");
    clock.advance(20 * 1000);
    auto second = makeLog(folder.dir() + "Log/");
    second->AddLogLine("second run");
    EXPECT_EQ(second->LogFileName(), log->LogFileName());
    EXPECT_EQ(logFile(), "Log created 2026-12-08; 12:00:00\r\n12:00; first run\r\n"
                         "Log created 2026-12-08; 12:00:20\r\n12:00; second run\r\n");

    // A run killed half-way through a line: the next run's header starts a line of its own.
    folder.write("Log/" + log->LogFileName(), logFile() + "12:00; cut sh");
    clock.advance(20 * 1000);
    auto third = makeLog(folder.dir() + "Log/");
    third->AddLogLine("third run");
    EXPECT_TRUE(logFile().ends_with("12:00; second run\r\n12:00; cut sh\r\n"
                                    "Log created 2026-12-08; 12:00:40\r\n12:00; third run\r\n"))
        << logFile();
}

TEST_F(PilotLogTest, BufferKeepsTheNewestLinesAndViewsFollowIt) {
    std::vector<std::string> mirror;
    log->addBufferView([&mirror](const LogBufferChange& change) {
        if (change.kind == LogBufferChange::Kind::Appended) {
            mirror.push_back(change.text);
        } else {
            const auto first = mirror.begin() + static_cast<std::ptrdiff_t>(change.index);
            mirror.erase(first, first + static_cast<std::ptrdiff_t>(change.count));
        }
    });
    bufSize = 3;
    for (const char* line : {"one", "two", "three", "four"}) {
        log->AddLogLine(line);
    }
    EXPECT_THAT(lines(), ElementsAre("12:00; two", "12:00; three", "12:00; four"));
    EXPECT_EQ(mirror, lines());
    // The file keeps everything.
    EXPECT_THAT(logFile(), HasSubstr("12:00; one\r\n"));

    log->SetLogBufSize(1);
    EXPECT_THAT(lines(), ElementsAre("12:00; four"));
    EXPECT_EQ(mirror, lines());
    EXPECT_EQ(bufSize, 1);
}

TEST_F(PilotLogTest, NonsenseBufferSizesAreClampedAndTraced) {
    bufSize = 0;
    log->AddLogLine("kept");
    EXPECT_THAT(lines(), ElementsAre("12:00; kept"));
    EXPECT_EQ(bufSize, PilotLog::MinLogBufSize);

    log->SetLogBufSize(-7);
    EXPECT_EQ(log->LogBufSize(), PilotLog::MinLogBufSize);
    log->SetLogBufSize(10'000'000);
    EXPECT_EQ(log->LogBufSize(), PilotLog::MaxLogBufSize);
    EXPECT_THAT(traces, ElementsAre(HasSubstr("LogBufSize 0 is out of range, using 1"),
                                    HasSubstr("LogBufSize -7 is out of range, using 1"),
                                    HasSubstr("10000000 is out of range, using 100000")));
}

TEST_F(PilotLogTest, ShowLogEntryClampsTheCursorAndShortensLongEntries) {
    log->ShowLogEntry(1);
    EXPECT_THAT(typed, ElementsAre(Typed{"Log is Empty", true, 1}));
    EXPECT_EQ(log->LogViewCursor(), 0);

    const std::string longMessage = "ab" + std::string(60, 'x') + "0123456789" + "END!56789";
    for (const std::string& line : {std::string("two"), std::string("three"), longMessage}) {
        log->AddLogLine(line);
    }
    typed.clear();
    log->ShowLogEntry(-1); // 0 - 1 -> 1: the header, shown whole
    log->ShowLogEntry(+1);
    log->ShowLogEntry(+10); // past the end -> the last line
    log->ShowLogEntry(0);
    EXPECT_EQ(log->LogViewCursor(), 4);
    const std::string tail = ("12:00; " + longMessage).substr(7 + longMessage.size() - 60);
    ASSERT_EQ(tail.size(), 60u);
    EXPECT_THAT(typed, ElementsAre(Typed{"Log created 2026-12-08; 12:00:00", true, 1},
                                   Typed{"12:00; two", true, 1}, Typed{tail, true, 1},
                                   Typed{tail, true, 1}));
    for (int i = 0; i < 6; ++i) {
        log->ShowLogEntry(-1);
    }
    EXPECT_EQ(log->LogViewCursor(), 1);
}

TEST_F(PilotLogTest, DeletingTheCurrentEntryLeavesTheFileAlone) {
    for (const char* line : {"aa", "bb", "cc"}) {
        log->AddLogLine(line);
    }
    const std::string file = logFile();

    log->DeleteCurrentLogEntry(); // cursor 0: nothing removed, the first entry shown
    EXPECT_EQ(log->Lines().size(), 4u);
    log->ShowLogEntry(2); // cursor 3: "bb"
    typed.clear();
    log->DeleteCurrentLogEntry();
    EXPECT_THAT(lines(), ElementsAre(HasSubstr("Log created"), "12:00; aa", "12:00; cc"));
    EXPECT_THAT(typed, ElementsAre(Typed{"12:00; aa", true, 1}));
    for (int i = 0; i < 3; ++i) {
        log->DeleteCurrentLogEntry();
    }
    EXPECT_TRUE(log->Lines().empty());
    EXPECT_EQ(typed.back().text, "Log is Empty");
    log->DeleteCurrentLogEntry(); // nothing left: no harm
    EXPECT_EQ(logFile(), file);
}

TEST_F(PilotLogTest, LogFolderThatCannotBeCreatedIsReportedAndRetried) {
    // A file where the parent folder should be.
    folder.write("app", "not a folder");
    const std::string logDir = folder.dir() + "app/Log/";
    log = makeLog(logDir);
    log->AddLogLine("lost to the file, kept in the buffer");
    log->AddLogLine("again");
    EXPECT_THAT(errors, ElementsAre("Cannot create directory: " + logDir));
    EXPECT_EQ(log->LogFileName(), "261208_1200.log");
    EXPECT_THAT(lines(),
                ElementsAre("12:00; lost to the file, kept in the buffer", "12:00; again"));

    files.remove(folder.file("app"));
    files.addFolder(folder.file("app"));
    clock.advance(90 * 1000);
    log->AddLogLine("third");
    EXPECT_EQ(folder.read("app/Log/261208_1200.log"),
              "Log created 2026-12-08; 12:01:30\r\n12:01; third\r\n");
    EXPECT_EQ(errors.size(), 1u);
}

class PilotLogSettingsTest : public PilotLogTest {
protected:
    std::string iniPath() const { return folder.file("trelkpro.ini"); }
    LogBufSettings settings{*log, files, folder.file("trelkpro.ini"),
                            [this](const std::string& message) { errors.push_back(message); }};
};

TEST_F(PilotLogSettingsTest, ReloadReadsTheFileAndSaveKeepsOtherKeys) {
    EXPECT_EQ(settings.Reload(), 100) << "missing file: the default";
    folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\nLogBufSize=12\n[Macros]\nM1=x\n");
    EXPECT_EQ(settings.Reload(), 12);
    EXPECT_EQ(bufSize, 12);

    for (int i = 0; i < 6; ++i) {
        log->AddLogLine("line " + std::to_string(i));
    }
    EXPECT_TRUE(settings.Save(4));
    EXPECT_THAT(lines(),
                ElementsAre("12:00; line 2", "12:00; line 3", "12:00; line 4", "12:00; line 5"));
    EXPECT_EQ(folder.read("trelkpro.ini"), "[Setup]\nLogEnabled=1\nLogBufSize=4\n[Macros]\nM1=x\n");

    folder.write("trelkpro.ini", "[Setup]\r\nLogBufSize=lots\r\n");
    EXPECT_EQ(settings.Reload(), 100);
    EXPECT_TRUE(errors.empty());
}

} // namespace
} // namespace trelk
