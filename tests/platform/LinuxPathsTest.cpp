// Where the Linux platform puts its files, and how the environment moves each of them.

#include "platform/linux/LinuxPaths.h"

#include "platform/linux/LinuxPlatform.h"
#include "platform/linux/SqliteUserStore.h"
#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

using linuxtest::ScopedEnv;

TEST(LinuxPathsTest, TheApplicationFolderIsTheExecutablesUnlessTrelkAppDirMovesIt) {
    ScopedEnv noAppDir("TRELK_APP_DIR", std::nullopt);
    // This test program is built into the tools folder.
    PlatformPaths paths = ResolvePlatformPaths();
    EXPECT_EQ(paths.appDir, std::string(TRELK_TOOLS_DIR) + "/");
    EXPECT_EQ(paths.settingsFile, paths.appDir + "trelk_platform_tests.ini");

    ScopedEnv appDir("TRELK_APP_DIR", "/opt/TrelkPro");
    paths = ResolvePlatformPaths();
    EXPECT_EQ(paths.appDir, "/opt/TrelkPro/");
    EXPECT_EQ(paths.settingsFile, "/opt/TrelkPro/trelk_platform_tests.ini");
}

// An installed program's folder carries the mark: the pilot's files go to the XDG folders,
// whoever runs it; TRELK_APP_DIR still moves them all.
TEST(LinuxPathsTest, AnInstalledProgramKeepsThePilotsFilesInTheXdgFolders) {
    testing::TempFolder program;
    const std::string executable = program.file("trelkpro");
    ScopedEnv noAppDir("TRELK_APP_DIR", std::nullopt);
    ScopedEnv home("HOME", "/home/pilot");
    ScopedEnv noConfig("XDG_CONFIG_HOME", std::nullopt);
    ScopedEnv noData("XDG_DATA_HOME", std::nullopt);

    PlatformPaths paths = ResolvePlatformPathsFor(executable);
    EXPECT_FALSE(paths.perUserFolders) << "an unpacked folder the pilot can write is the pilot's";
    EXPECT_EQ(paths.appDir, program.dir());
    EXPECT_EQ(paths.settingsFile, program.dir() + "trelkpro.ini");

    program.write(PerUserFoldersMark, "installed");
    paths = ResolvePlatformPathsFor(executable);
    EXPECT_TRUE(paths.perUserFolders);
    EXPECT_EQ(paths.programDir, program.dir());
    EXPECT_EQ(paths.appDir, "/home/pilot/.local/share/TrelkPro/");
    EXPECT_EQ(paths.settingsFile, "/home/pilot/.config/TrelkPro/trelkpro.ini");
    {
        ScopedEnv data("XDG_DATA_HOME", "/xdg-data");
        ScopedEnv config("XDG_CONFIG_HOME", "/xdg-config");
        paths = ResolvePlatformPathsFor(executable);
        EXPECT_EQ(paths.appDir, "/xdg-data/TrelkPro/");
        EXPECT_EQ(paths.settingsFile, "/xdg-config/TrelkPro/trelkpro.ini");
        EXPECT_EQ(paths.userStorePath, "/xdg-config/TrelkPro/registry.db");
    }
    ScopedEnv appDir("TRELK_APP_DIR", "/opt/pilot");
    paths = ResolvePlatformPathsFor(executable);
    EXPECT_FALSE(paths.perUserFolders);
    EXPECT_EQ(paths.appDir, "/opt/pilot/");
    EXPECT_EQ(paths.settingsFile, "/opt/pilot/trelkpro.ini");
}

TEST(LinuxPathsTest, TheStoreIsTrelkRegistryElseInTheUsersConfigFolder) {
    ScopedEnv home("HOME", "/home/pilot");
    ScopedEnv registry("TRELK_REGISTRY", std::nullopt);
    {
        ScopedEnv config("XDG_CONFIG_HOME", "/xdg");
        EXPECT_EQ(ResolvePlatformPaths().userStorePath, "/xdg/TrelkPro/registry.db");
    }
    {
        ScopedEnv config("XDG_CONFIG_HOME", std::nullopt);
        EXPECT_EQ(ResolvePlatformPaths().userStorePath, "/home/pilot/.config/TrelkPro/registry.db");
    }
    {
        ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(ResolvePlatformPaths().userStorePath, "/home/pilot/.config/TrelkPro/registry.db");
    }
    ScopedEnv override("TRELK_REGISTRY", "/tmp/test-registry.db");
    EXPECT_EQ(ResolvePlatformPaths().userStorePath, "/tmp/test-registry.db");
}

TEST(LinuxPathsTest, ThePlatformsStoreIsTheFileItsPathsName) {
    testing::TempFolder dir;
    const PlatformPaths paths{.appDir = dir.dir(),
                              .settingsFile = dir.file("trelkpro.ini"),
                              .userStorePath = dir.file("store.db"),
                              .programDir = dir.dir()};
    LinuxPlatform platform(paths);
    ASSERT_TRUE(platform.userStore().setString("Software\\TrelkPro", "n", "v"));
    EXPECT_EQ(SqliteUserStore(paths.userStorePath).getString("Software\\TrelkPro", "n"), "v");
    EXPECT_EQ(platform.paths().settingsFile, paths.settingsFile);
}

} // namespace
} // namespace trelk
