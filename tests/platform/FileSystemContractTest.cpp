// What every file system behind the port promises, run against the real one on a temporary
// folder and against the sim one, so tests on the sim platform see what the product sees.

#include "platform/linux/LinuxFileSystem.h"
#include "platform/sim/SimFileSystem.h"
#include "support/TempFolder.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

namespace trelk {
namespace {

using ::testing::IsEmpty;
using ::testing::UnorderedElementsAre;
using namespace std::string_literals;

struct OnDisk {
    testing::TempFolder folder;
    LinuxFileSystem files;
    std::string root() const { return folder.path().string(); }
};

struct InMemory {
    InMemory() { files.addFolder(root()); }
    SimFileSystem files;
    std::string root() const { return "/sim/contract"; }
};

template <typename Side> class FileSystemContractTest : public ::testing::Test {
protected:
    FileSystem& files() { return side_.files; }
    std::string path(const std::string& name) const { return side_.root() + "/" + name; }
    std::string read(const std::string& name) { return files().readFile(path(name)).content; }

private:
    Side side_;
};

using Sides = ::testing::Types<OnDisk, InMemory>;
TYPED_TEST_SUITE(FileSystemContractTest, Sides);

TYPED_TEST(FileSystemContractTest, ReplacedContentReadsBackByteForByte) {
    const std::string bytes = "[Setup]\r\nBin=x\0y\xFF\x80\n"s;
    ASSERT_TRUE(this->files().replaceFile(this->path("a.ini"), bytes).ok);
    EXPECT_EQ(this->read("a.ini"), bytes);
    ASSERT_TRUE(this->files().replaceFile(this->path("a.ini"), "short").ok);
    EXPECT_EQ(this->read("a.ini"), "short");
    ASSERT_TRUE(this->files().replaceFile(this->path("a.ini"), "").ok);
    const FileReadResult empty = this->files().readFile(this->path("a.ini"));
    EXPECT_TRUE(empty.ok());
    EXPECT_EQ(empty.content, "");
    EXPECT_EQ(this->files().kindOf(this->path("a.ini")), PathKind::File);
    // Nothing is left beside the file, and tidying up after nothing is harmless.
    this->files().discardUnfinishedReplacement(this->path("a.ini"));
    EXPECT_THAT(this->files().fileNames(this->path("")), UnorderedElementsAre("a.ini"));
}

TYPED_TEST(FileSystemContractTest, MissingFolderAndOversizedFilesAreToldApart) {
    EXPECT_EQ(this->files().readFile(this->path("none")).status, FileReadResult::Status::Missing);
    EXPECT_EQ(this->files().kindOf(this->path("none")), PathKind::Missing);

    ASSERT_TRUE(this->files().createFolder(this->path("dir")).ok);
    const FileReadResult folder = this->files().readFile(this->path("dir"));
    EXPECT_EQ(folder.status, FileReadResult::Status::Failed);
    EXPECT_EQ(folder.step, FileStep::Read);
    EXPECT_EQ(folder.error, "Is a directory");
    EXPECT_EQ(this->files().kindOf(this->path("dir")), PathKind::Folder);

    ASSERT_TRUE(this->files().replaceFile(this->path("ten"), "0123456789").ok);
    EXPECT_EQ(this->files().readFile(this->path("ten"), 9).status,
              FileReadResult::Status::TooLarge);
    EXPECT_EQ(this->files().readFile(this->path("ten"), 9).content, "");
    EXPECT_EQ(this->files().readFile(this->path("ten"), 10).content, "0123456789");
}

TYPED_TEST(FileSystemContractTest, WritesNeedTheirFolderAndNeverReplaceAFolder) {
    const FileWriteResult replaced = this->files().replaceFile(this->path("no/a.ini"), "x");
    EXPECT_FALSE(replaced.ok);
    EXPECT_EQ(replaced.step, FileStep::Open);
    EXPECT_EQ(replaced.error, "No such file or directory");
    const FileWriteResult appended = this->files().appendToFile(this->path("no/a.log"), "x");
    EXPECT_FALSE(appended.ok);
    EXPECT_EQ(appended.step, FileStep::Open);
    EXPECT_EQ(this->files().kindOf(this->path("no")), PathKind::Missing);

    ASSERT_TRUE(this->files().createFolder(this->path("dir")).ok);
    EXPECT_FALSE(this->files().replaceFile(this->path("dir"), "x").ok);
    EXPECT_FALSE(this->files().appendToFile(this->path("dir"), "x").ok);
    EXPECT_EQ(this->files().kindOf(this->path("dir")), PathKind::Folder);
    EXPECT_THAT(this->files().fileNames(this->path("")), IsEmpty());
}

TYPED_TEST(FileSystemContractTest, AppendCreatesTheFileThenAddsToIt) {
    ASSERT_TRUE(this->files().appendToFile(this->path("run.log"), "one\r\n").ok);
    ASSERT_TRUE(this->files().appendToFile(this->path("run.log"), "two\r\n").ok);
    EXPECT_EQ(this->read("run.log"), "one\r\ntwo\r\n");
}

TYPED_TEST(FileSystemContractTest, FoldersAreMadeOneLevelAtATime) {
    EXPECT_TRUE(this->files().createFolder(this->path("Data/")).ok) << "a trailing separator";
    EXPECT_TRUE(this->files().createFolder(this->path("Data")).ok) << "it exists: fine";
    const FileWriteResult deep = this->files().createFolder(this->path("a/b"));
    EXPECT_FALSE(deep.ok);
    EXPECT_EQ(deep.step, FileStep::CreateFolder);
    EXPECT_EQ(this->files().kindOf(this->path("a")), PathKind::Missing);

    ASSERT_TRUE(this->files().replaceFile(this->path("Photo"), "a file in the way").ok);
    const FileWriteResult blocked = this->files().createFolder(this->path("Photo"));
    EXPECT_FALSE(blocked.ok);
    EXPECT_EQ(blocked.error, "File exists");
    EXPECT_FALSE(this->files().createFolder(this->path("Photo/Log")).ok);
}

TYPED_TEST(FileSystemContractTest, FileNamesListFilesButNotFolders) {
    ASSERT_TRUE(this->files().createFolder(this->path("Data")).ok);
    ASSERT_TRUE(this->files().createFolder(this->path("Data/old.dat")).ok);
    ASSERT_TRUE(this->files().replaceFile(this->path("Data/MyLumacor.dat"), "(G)").ok);
    ASSERT_TRUE(this->files().appendToFile(this->path("Data/notes.txt"), "").ok);
    ASSERT_TRUE(this->files().replaceFile(this->path("beside.dat"), "").ok);
    EXPECT_THAT(this->files().fileNames(this->path("Data")),
                UnorderedElementsAre("MyLumacor.dat", "notes.txt"));
    EXPECT_THAT(this->files().fileNames(this->path("Data/")),
                UnorderedElementsAre("MyLumacor.dat", "notes.txt"));
    EXPECT_THAT(this->files().fileNames(this->path("none")), IsEmpty());
}

} // namespace
} // namespace trelk
