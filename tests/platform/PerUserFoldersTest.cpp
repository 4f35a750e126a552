// The first start of an installed program: what the pilot's folders start with.

#include "platform/linux/PerUserFolders.h"

#include "platform/sim/SimFileSystem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class PerUserFoldersTest : public ::testing::Test {
protected:
    void SetUp() override {
        files.addFile("/usr/lib/trelkpro/trelkpro.ini", "[DataList]\nRoidFiles=MyLumacor.dat;\n");
        files.addFile("/usr/lib/trelkpro/vorel.bmp", "BM");
        files.addFile("/usr/lib/trelkpro/Data/MyLumacor.dat", "roids");
        files.addFile("/usr/lib/trelkpro/Data/StationInfo.dat", "stations");
        files.addFolder("/home/pilot");
    }

    SimFileSystem files;
    const PlatformPaths paths{.appDir = "/home/pilot/.local/share/TrelkPro/",
                              .settingsFile = "/home/pilot/.config/TrelkPro/trelkpro.ini",
                              .userStorePath = "/home/pilot/.config/TrelkPro/registry.db",
                              .programDir = "/usr/lib/trelkpro/",
                              .perUserFolders = true};
};

TEST_F(PerUserFoldersTest, TheFirstStartCopiesWhatShipsAndLaterStartsKeepThePilotsFiles) {
    EXPECT_THAT(SeedPerUserFolders(paths, files), IsEmpty());
    EXPECT_EQ(files.file(paths.settingsFile), "[DataList]\nRoidFiles=MyLumacor.dat;\n");
    EXPECT_EQ(files.file(paths.appDir + "vorel.bmp"), "BM");
    EXPECT_EQ(files.file(paths.appDir + "Data/MyLumacor.dat"), "roids");
    EXPECT_EQ(files.file(paths.appDir + "Data/StationInfo.dat"), "stations");

    // The pilot's edits and downloads, and a list the pilot removed from the settings' folder,
    // are theirs: a later start replaces nothing and fills only what is missing.
    files.addFile(paths.settingsFile, "[DataList]\nRoidFiles=Mine.dat;\n");
    files.addFile(paths.appDir + "Data/MyLumacor.dat", "downloaded");
    files.remove(paths.appDir + "vorel.bmp");
    EXPECT_THAT(SeedPerUserFolders(paths, files), IsEmpty());
    EXPECT_EQ(files.file(paths.settingsFile), "[DataList]\nRoidFiles=Mine.dat;\n");
    EXPECT_EQ(files.file(paths.appDir + "Data/MyLumacor.dat"), "downloaded");
    EXPECT_EQ(files.file(paths.appDir + "vorel.bmp"), "BM");
}

TEST_F(PerUserFoldersTest, AFullDiskIsSaidAndLeavesNoTornFile) {
    files.addFault({.step = FileStep::Write,
                    .path = paths.appDir + "Data/MyLumacor.dat",
                    .writtenBytes = 2,
                    .error = "No space left on device"});
    const std::vector<std::string> problems = SeedPerUserFolders(paths, files);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_THAT(problems[0], HasSubstr("Data/MyLumacor.dat: No space left on device"));
    EXPECT_EQ(files.file(paths.appDir + "Data/MyLumacor.dat"), std::nullopt);
    EXPECT_EQ(files.file(paths.appDir + "Data/StationInfo.dat"), "stations");

    // The next start finishes the job.
    EXPECT_THAT(SeedPerUserFolders(paths, files), IsEmpty());
    EXPECT_EQ(files.file(paths.appDir + "Data/MyLumacor.dat"), "roids");
}

TEST_F(PerUserFoldersTest, AHomeThatCannotHoldTheFoldersIsSaidOnce) {
    files.addFault({.step = FileStep::CreateFolder,
                    .path = "/home/pilot/.local",
                    .error = "Permission denied"});
    EXPECT_THAT(SeedPerUserFolders(paths, files),
                ElementsAre("Unable to create the folder /home/pilot/.local/: Permission denied"));
}

} // namespace
} // namespace trelk
