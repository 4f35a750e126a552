// Desktop launchers: what their Exec line starts, and XdgLauncher starting one for real.

#include "platform/linux/DesktopEntry.h"

#include "platform/linux/XdgLauncher.h"
#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>

namespace trelk {
namespace {

std::optional<DesktopLaunch> Parse(const std::string& text, std::string* error = nullptr) {
    std::string reason;
    std::optional<DesktopLaunch> launch =
        ParseDesktopEntry(text, "/usr/share/applications/voidline.desktop", reason);
    if (error != nullptr) {
        *error = reason;
    }
    return launch;
}

TEST(DesktopEntryTest, ExecIsSplitUnquotedAndItsFieldCodesExpandedForAStartWithoutFiles) {
    const auto launch = Parse("# a game store's launcher\n"
                              "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Voidline\n"
                              "Name[de]=Leere Linie\n"
                              "Icon=voidline\n"
                              "Exec=\"/opt/Void Line/voidline\" --mode=\"a \\\\\"b\\\\\" "
                              "\\\\$HOME\" %U %i %c %k 100%% -x%f\n"
                              "Path=/opt/Void Line\n"
                              "[Desktop Action Safe]\n"
                              "Exec=/opt/other\n");
    ASSERT_TRUE(launch);
    const std::vector<std::string> expected = {"/opt/Void Line/voidline",
                                               "--mode=a \"b\" $HOME",
                                               "--icon",
                                               "voidline",
                                               "Voidline",
                                               "/usr/share/applications/voidline.desktop",
                                               "100%",
                                               "-x"};
    EXPECT_EQ(launch->arguments, expected);
    EXPECT_EQ(launch->workingFolder, "/opt/Void Line");

    const auto plain = Parse("[Desktop Entry]\nType=Application\nExec=voidline\\s-w\n");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->arguments, (std::vector<std::string>{"voidline", "-w"}));
    EXPECT_EQ(plain->workingFolder, "");
}

TEST(DesktopEntryTest, WhatStartsNoProgramIsRefusedWithItsReason) {
    std::string error;
    EXPECT_FALSE(Parse("[Desktop Entry]\nType=Link\nURL=https://voidline.example\n", &error));
    EXPECT_EQ(error, "not an application launcher: /usr/share/applications/voidline.desktop");
    EXPECT_FALSE(Parse("[Desktop Entry]\nType=Application\nName=Voidline\n", &error));
    EXPECT_EQ(error, "no program in the Exec line of /usr/share/applications/voidline.desktop");
    EXPECT_FALSE(Parse("[Desktop Entry]\nType=Application\nExec=\"/opt/voidline\n", &error));
    EXPECT_EQ(error, "unbalanced quotes in the Exec line of "
                     "/usr/share/applications/voidline.desktop");
    EXPECT_FALSE(Parse("[Other]\nType=Application\nExec=/opt/voidline\n", &error))
        << "keys outside the Desktop Entry group";
    EXPECT_TRUE(IsDesktopEntryPath("/a/voidline.desktop"));
    EXPECT_FALSE(IsDesktopEntryPath("/a/voidline"));
}

// The launcher's program runs with its arguments in the launcher's Path, or without one in
// the folder the caller gives; a program name is looked up on the PATH.
TEST(DesktopEntryTest, XdgLauncherStartsALaunchersProgramInItsFolder) {
    linuxtest::TestApplication();
    testing::TempFolder dir;
    std::filesystem::create_directories(dir.path() / "game dir");
    const std::string program = dir.file("game dir/voidline");
    linuxtest::WriteFile(program, "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$(pwd)\" \"$1\" \"$2\" > "
                                  "\"$0.tmp\" && mv \"$0.tmp\" \"$0.started\"\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    linuxtest::WriteFile(dir.file("voidline.desktop"),
                         "[Desktop Entry]\nType=Application\n"
                         "Exec=\"" +
                             program + "\" --fullscreen %u\nPath=" + dir.file("game dir") + "\n");
    XdgLauncher launcher;
    ASSERT_TRUE(launcher.startProgram(dir.file("voidline.desktop"), dir.dir()))
        << launcher.lastLaunchError();
    const std::string record = program + ".started";
    ASSERT_TRUE(linuxtest::WaitUntil([&] { return std::filesystem::exists(record); }));
    EXPECT_EQ(linuxtest::ReadFile(record), dir.file("game dir") + "|--fullscreen|\n");
    std::filesystem::remove(record);

    linuxtest::ScopedEnv path("PATH", dir.file("game dir") + ":" + std::getenv("PATH"));
    linuxtest::WriteFile(dir.file("by-name.desktop"),
                         "[Desktop Entry]\nType=Application\nExec=voidline\n");
    ASSERT_TRUE(launcher.startProgram(dir.file("by-name.desktop"), dir.dir()))
        << launcher.lastLaunchError();
    ASSERT_TRUE(linuxtest::WaitUntil([&] { return std::filesystem::exists(record); }));
    EXPECT_EQ(linuxtest::ReadFile(record), dir.path().string() + "||\n");

    linuxtest::WriteFile(dir.file("missing.desktop"),
                         "[Desktop Entry]\nType=Application\nExec=no-such-voidline\n");
    EXPECT_FALSE(launcher.startProgram(dir.file("missing.desktop"), dir.dir()));
    EXPECT_NE(launcher.lastLaunchError().find("is not on the PATH"), std::string::npos)
        << launcher.lastLaunchError();
}

} // namespace
} // namespace trelk
