// XdgLauncher starting a real program: TRELK_OPEN_COMMAND points at a script that records how
// it was called.

#include "platform/linux/XdgLauncher.h"
#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace trelk {
namespace {

class LinuxXdgLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        linuxtest::TestApplication();
        // Written under another name and renamed, so the test never reads half a record.
        linuxtest::WriteFile(script, "#!/bin/sh\n"
                                     "printf '%s|%s\\n' \"$#\" \"$1\" > \"" +
                                         record +
                                         ".tmp\"\n"
                                         "mv \"" +
                                         record + ".tmp\" \"" + record + "\"\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }

    testing::TempFolder dir;
    const std::string script = dir.file("open-command");
    const std::string record = dir.file("opened");
    linuxtest::ScopedEnv command{"TRELK_OPEN_COMMAND", script};
    XdgLauncher launcher;
};

TEST_F(LinuxXdgLauncherTest, AnExistingDocumentIsHandedToTheCommandAsOneArgument) {
    const std::string document = dir.file("Trelk Log 2024.txt");
    linuxtest::WriteFile(document, "log");

    ASSERT_TRUE(launcher.openDocument(document));
    ASSERT_TRUE(linuxtest::WaitUntil([&] { return std::filesystem::exists(record); }));
    EXPECT_EQ(linuxtest::ReadFile(record), "1|" + document + "\n");
}

TEST_F(LinuxXdgLauncherTest, AMissingDocumentOrProgramStartsNothing) {
    EXPECT_FALSE(launcher.openDocument(dir.file("missing.txt")));

    const std::string document = dir.file("present.txt");
    linuxtest::WriteFile(document, "x");
    linuxtest::ScopedEnv noProgram("TRELK_OPEN_COMMAND", dir.file("no-such-program"));
    EXPECT_FALSE(launcher.openDocument(document));

    linuxtest::WaitUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_FALSE(std::filesystem::exists(record));
}

} // namespace
} // namespace trelk

namespace trelk {
namespace {

TEST(LinuxProgramStartTest, AProgramStartsInItsFolderAndWhatCannotRunIsRefusedWithAReason) {
    linuxtest::TestApplication();
    testing::TempFolder dir;
    std::filesystem::create_directories(dir.path() / "addon dir");
    const std::string program = dir.file("addon dir/addon");
    linuxtest::WriteFile(program, "#!/bin/sh\npwd > started.tmp && mv started.tmp started\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    XdgLauncher launcher;

    ASSERT_TRUE(launcher.startProgram(program, dir.file("addon dir/")))
        << launcher.lastLaunchError();
    const std::string record = dir.file("addon dir/started");
    ASSERT_TRUE(linuxtest::WaitUntil([&] { return std::filesystem::exists(record); }));
    EXPECT_EQ(dir.read("addon dir/started"), dir.file("addon dir") + "\n");

    EXPECT_FALSE(launcher.startProgram(dir.file("missing"), dir.dir()));
    EXPECT_NE(launcher.lastLaunchError().find("no such file"), std::string::npos);
    const std::string text = dir.file("notes.txt");
    linuxtest::WriteFile(text, "not a program");
    EXPECT_FALSE(launcher.startProgram(text, dir.dir()));
    EXPECT_NE(launcher.lastLaunchError().find("not an executable"), std::string::npos);
    EXPECT_FALSE(launcher.startProgram(dir.dir(), dir.dir())) << "a folder";
}

} // namespace
} // namespace trelk
