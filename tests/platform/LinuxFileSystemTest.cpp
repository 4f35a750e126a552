// The real file system's own promises beyond the port's: the temporary file of a replacement,
// the permission bits, links, and files that report no size.

#include "platform/linux/LinuxFileSystem.h"

#include "support/TempFolder.h"

#include <filesystem>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

namespace fs = std::filesystem;
using ::testing::UnorderedElementsAre;

class LinuxFileSystemTest : public ::testing::Test {
protected:
    testing::TempFolder folder;
    LinuxFileSystem files;
    std::string path = folder.file("TrelkPro.ini");
};

TEST_F(LinuxFileSystemTest, ReplacementReusesACrashesLeftoverAndKeepsThePermissions) {
    folder.write("TrelkPro.ini", "[Old]\nkey=1\n");
    folder.write("TrelkPro.ini.tmp", "left over by a crash, longer than the new content");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);

    ASSERT_TRUE(files.replaceFile(path, "[Old]\nkey=2\n").ok);
    EXPECT_EQ(folder.read("TrelkPro.ini"), "[Old]\nkey=2\n");
    EXPECT_FALSE(fs::exists(LinuxFileSystem::TemporaryPath(path)));
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);

    folder.write("TrelkPro.ini.tmp", "left over again");
    files.discardUnfinishedReplacement(path);
    EXPECT_FALSE(fs::exists(LinuxFileSystem::TemporaryPath(path)));
    EXPECT_EQ(folder.read("TrelkPro.ini"), "[Old]\nkey=2\n");
}

TEST_F(LinuxFileSystemTest, ALinkAtTheTemporaryNameIsNotFollowed) {
    folder.write("TrelkPro.ini", "mine");
    folder.write("elsewhere", "not yours");
    fs::create_symlink(folder.file("elsewhere"), LinuxFileSystem::TemporaryPath(path));

    const FileWriteResult result = files.replaceFile(path, "new");
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.step, FileStep::Open);
    EXPECT_EQ(folder.read("elsewhere"), "not yours");
    EXPECT_EQ(folder.read("TrelkPro.ini"), "mine");
    EXPECT_FALSE(fs::is_symlink(LinuxFileSystem::TemporaryPath(path)));
}

TEST_F(LinuxFileSystemTest, LinksAreFollowedWhenListingAndFilesWithoutASizeAreRead) {
    fs::create_directory(folder.path() / "Data");
    fs::create_directory(folder.path() / "Data" / "sub");
    folder.write("Data/real.dat", "1 2 3");
    fs::create_symlink(folder.file("Data/real.dat"), folder.file("Data/link.dat"));
    fs::create_symlink(folder.file("Data/sub"), folder.file("Data/folder.dat"));
    fs::create_symlink(folder.file("Data/gone"), folder.file("Data/dangling.dat"));
    EXPECT_THAT(files.fileNames(folder.file("Data")),
                UnorderedElementsAre("real.dat", "link.dat", "dangling.dat"));
    EXPECT_EQ(files.kindOf(folder.file("Data/folder.dat")), PathKind::Folder);
    EXPECT_EQ(files.kindOf(folder.file("Data/dangling.dat")), PathKind::Missing);
    EXPECT_EQ(files.readFile(folder.file("Data/link.dat")).content, "1 2 3");

    // /proc files report a size of 0: the limit still holds while reading.
    const FileReadResult status = files.readFile("/proc/self/status");
    ASSERT_TRUE(status.ok());
    EXPECT_NE(status.content.find("Pid:"), std::string::npos);
    EXPECT_EQ(files.readFile("/proc/self/status", 8).status, FileReadResult::Status::TooLarge);
}

} // namespace
} // namespace trelk
