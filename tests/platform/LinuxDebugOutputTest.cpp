// The trace file that end-to-end tests read: one line per trace, appended, never truncated.

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

} // namespace
} // namespace trelk
