// The sim file system's failures, which the tests of every file a subsystem writes rely on: a
// failed or crashed operation leaves what a disk would.

#include "platform/sim/SimFileSystem.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class SimFileSystemTest : public ::testing::Test {
protected:
    SimFileSystemTest() { files.addFile(path, "old"); }

    SimFileSystem files;
    const std::string path = "/sim/app/TrelkPro.ini";
};

TEST_F(SimFileSystemTest, AReplacementFailingAtAnyStepKeepsTheOldFileAndLeavesNothing) {
    for (const FileStep step :
         {FileStep::Open, FileStep::Write, FileStep::Sync, FileStep::Close, FileStep::Rename}) {
        files.addFault({.step = step, .path = path});
        const FileWriteResult result = files.replaceFile(path, "new content");
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.step, step);
        EXPECT_FALSE(result.error.empty());
        EXPECT_EQ(files.file(path), "old");
        EXPECT_EQ(files.unfinishedReplacement(path), std::nullopt);
    }
    EXPECT_EQ(files.replacementCount(path), 0);
    // Each fault was used up by its own attempt.
    ASSERT_TRUE(files.replaceFile(path, "new content").ok);
    EXPECT_THAT(files.replacements(path), ElementsAre("new content"));
}

TEST_F(SimFileSystemTest, ACrashLeavesTheUnfinishedFileUntilTheNextReplacementOrDiscard) {
    files.addFault({.step = FileStep::Write, .path = path, .writtenBytes = 3, .crash = true});
    EXPECT_FALSE(files.replaceFile(path, "new content").ok);
    EXPECT_EQ(files.file(path), "old");
    EXPECT_EQ(files.unfinishedReplacement(path), "new");

    files.addFault({.step = FileStep::Rename, .path = path, .crash = true});
    EXPECT_FALSE(files.replaceFile(path, "newer").ok);
    EXPECT_EQ(files.file(path), "old") << "a crash between write and rename";
    EXPECT_EQ(files.unfinishedReplacement(path), "newer");
    files.discardUnfinishedReplacement(path);
    EXPECT_EQ(files.unfinishedReplacement(path), std::nullopt);

    files.addFault({.step = FileStep::Sync, .path = path, .crash = true});
    EXPECT_FALSE(files.replaceFile(path, "again").ok);
    ASSERT_TRUE(files.replaceFile(path, "done").ok);
    EXPECT_EQ(files.unfinishedReplacement(path), std::nullopt);
    EXPECT_EQ(files.file(path), "done");
}

TEST_F(SimFileSystemTest, AFullDiskCutsAnAppendBackUnlessTheProgramDied) {
    const std::string log = "/sim/app/Log/run.log";
    files.addFolder("/sim/app/Log");
    ASSERT_TRUE(files.appendToFile(log, "line 1\r\n").ok);
    files.addFault({.step = FileStep::Write, .path = log, .writtenBytes = 4});
    const FileWriteResult full = files.appendToFile(log, "line 2\r\n");
    EXPECT_FALSE(full.ok);
    EXPECT_EQ(full.error, "No space left on device");
    EXPECT_EQ(files.file(log), "line 1\r\n");

    files.addFault({.step = FileStep::Write, .path = log, .writtenBytes = 4, .crash = true});
    EXPECT_FALSE(files.appendToFile(log, "line 3\r\n").ok);
    EXPECT_EQ(files.file(log), "line 1\r\nline");
}

TEST_F(SimFileSystemTest, FaultsHitTheirPathOnceOrEveryTime) {
    files.addFolder("/sim/app/Data");
    files.addFault({.step = FileStep::Open,
                    .path = "/sim/app//Data/",
                    .error = "Permission denied",
                    .everyTime = true});
    files.addFault({.step = FileStep::Read, .path = path, .error = "Input/output error"});
    for (int n = 0; n < 2; ++n) {
        const FileReadResult denied = files.readFile("/sim/app/Data");
        EXPECT_EQ(denied.status, FileReadResult::Status::Failed);
        EXPECT_EQ(denied.step, FileStep::Open);
        EXPECT_EQ(denied.error, "Permission denied");
    }
    EXPECT_EQ(files.readFile(path).error, "Input/output error");
    EXPECT_EQ(files.readFile(path).content, "old");

    files.clearFaults();
    files.addFault({.step = FileStep::CreateFolder});
    EXPECT_FALSE(files.createFolder("/sim/app/Photo").ok);
    EXPECT_TRUE(files.createFolder("/sim/app/Photo").ok);
}

TEST_F(SimFileSystemTest, SeedingIsNotAReplacementAndRemovalTakesTheFolderWhole) {
    files.addFile("/sim/app/Data/a.dat", "a");
    files.addFile("/sim/app/Database.dat", "keep");
    EXPECT_EQ(files.replacementCount("/sim/app/Data/a.dat"), 0);
    EXPECT_EQ(files.kindOf("/sim/app/Data/"), PathKind::Folder);
    files.remove("/sim/app/Data");
    EXPECT_EQ(files.kindOf("/sim/app/Data"), PathKind::Missing);
    EXPECT_EQ(files.kindOf("/sim/app/Data/a.dat"), PathKind::Missing);
    EXPECT_EQ(files.file("/sim/app/Database.dat"), "keep") << "a name that only starts alike";
    EXPECT_THAT(files.fileNames("/sim/app/Data"), IsEmpty());
}

} // namespace
} // namespace trelk
