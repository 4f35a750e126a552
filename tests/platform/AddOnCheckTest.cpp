// trelk-addon-check as an add-on author runs it: it passes the kit's sample add-on and names
// the rules a careless add-on breaks.

#include "support/LinuxTestSupport.h"

#include <QProcess>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::HasSubstr;

struct CheckRun {
    int exitCode = -1;
    std::string out;
};

CheckRun RunCheck(const QStringList& addon) {
    linuxtest::TestApplication();
    QProcess check;
    check.start(TRELK_TOOLS_DIR "/trelk-addon-check", QStringList{"--wait", "5", "--"} + addon);
    CheckRun run;
    if (!check.waitForFinished(120000)) {
        ADD_FAILURE() << "the check did not end";
        check.kill();
        check.waitForFinished();
        return run;
    }
    run.exitCode = check.exitCode();
    run.out = check.readAllStandardOutput().toStdString();
    return run;
}

TEST(AddOnCheckTest, TheSampleAddOnHonoursEveryStep) {
    const CheckRun run = RunCheck({TRELK_ADDON_KIT_DIR "/sample_addon.py"});
    EXPECT_EQ(run.exitCode, 0) << run.out;
    EXPECT_THAT(run.out, HasSubstr("PASS: 9 of 9 steps passed"));
}

TEST(AddOnCheckTest, ACarelessAddOnFailsTheStepsItBreaks) {
    // The store path comes from the environment the check gives; the script takes it as its
    // argument through a shell.
    const CheckRun run =
        RunCheck({"/bin/sh", "-c",
                  "exec python3 " TRELK_TESTS_DIR "/platform/broken_addon.py \"$TRELK_REGISTRY\""});
    EXPECT_EQ(run.exitCode, 1) << run.out;
    EXPECT_THAT(run.out, HasSubstr("PASS registers"));
    EXPECT_THAT(run.out, HasSubstr("FAIL writes DataReady only while its page is open"));
    EXPECT_THAT(run.out, HasSubstr("FAIL waits for DataReady to be empty"));
    EXPECT_THAT(run.out, HasSubstr("FAIL unregisters when TrelkPro closes"));
}

} // namespace
} // namespace trelk
