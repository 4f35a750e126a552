// Where the trace goes: a terminal's standard error, and the trace file that end-to-end tests
// read (one line per trace, appended, never truncated); never anywhere that keeps it unasked.

#include "platform/linux/LinuxDebugOutput.h"

#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

TEST(LinuxDebugOutputTest, TraceLinesAreAppendedToTheTraceFileOnePerLine) {
    testing::TempFolder dir;
    const std::string traceFile = dir.file("trace.log");
    linuxtest::WriteFile(traceFile, "earlier run\n");
    linuxtest::ScopedEnv env("TRELK_TRACE_FILE", traceFile);

    LinuxDebugOutput first;
    LinuxDebugOutput second; // a second process writing to the same file
    first.write("TrelkPro Starting!");
    second.write("TrelkPro: Version1.00 Build 1");
    first.write("");

    // Each line is on disk once write() returns: a test may read it while the program runs.
    EXPECT_EQ(linuxtest::ReadFile(traceFile),
              "earlier run\nTrelkPro Starting!\nTrelkPro: Version1.00 Build 1\n\n");
}

TEST(LinuxDebugOutputTest, StandardErrorGetsTheTraceOnlyWhenItIsATerminal) {
    testing::TempFolder dir;
    linuxtest::ScopedEnv noTraceFile("TRELK_TRACE_FILE", std::nullopt);
    {
        // Started by a desktop session: standard error is the session's journal.
        linuxtest::CapturedStderr journal(linuxtest::CapturedStderr::Kind::File,
                                          dir.file("journal.txt"));
        LinuxDebugOutput output;
        output.write("TrelkPro: Keyboard Callback Procedure. KeyPressed = H");
        EXPECT_EQ(journal.text(), "");
    }
    linuxtest::CapturedStderr terminal(linuxtest::CapturedStderr::Kind::Terminal, "");
    LinuxDebugOutput output;
    output.write("TrelkPro: Keyboard Callback Procedure. KeyPressed = H");
    output.write("TrelkPro Starting!");
    EXPECT_TRUE(linuxtest::WaitUntil([&] {
        return terminal.text() ==
               "TrelkPro: Keyboard Callback Procedure. KeyPressed = H\nTrelkPro Starting!\n";
    })) << terminal.text();
}

} // namespace
} // namespace trelk
