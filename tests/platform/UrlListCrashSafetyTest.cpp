// "TRLP_URL.dat" on a real disk while the Web tab saves it: a process killed at any moment of
// the save leaves one whole list, and a full disk fails the save, says so and keeps the list.

#include "platform/linux/LinuxFileSystem.h"
#include "support/RewriteKills.h"
#include "support/TempFolder.h"
#include "web/UrlList.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <iostream>
#include <string>
#include <vector>

namespace trelk {
namespace {

namespace fs = std::filesystem;

std::vector<UrlListRow> Rows(const std::string& name, int count) {
    std::vector<UrlListRow> rows;
    for (int n = 0; n < count; ++n) {
        rows.push_back({name + " page " + std::to_string(n),
                        "http://" + name + ".test/pages/" + std::to_string(n) + ".html"});
    }
    return rows;
}

// A list as the Web tab holds it after loading the file written from rows.
struct LoadedList {
    LoadedList(LinuxFileSystem& files, const std::string& path, const std::vector<UrlListRow>& rows)
        : list(files, path,
               {.reportError = [this](const std::string& m) { errors.push_back(m); }}) {
        static_cast<void>(files.replaceFile(path, UrlList::ToFile(rows)));
        list.LoadList();
    }
    std::vector<std::string> errors;
    UrlList list;
};

class UrlListCrashSafetyTest : public ::testing::Test {
protected:
    LinuxFileSystem files;
    testing::TempFolder folder{testing::KillTestRoot()};
    const std::string path = folder.file(UrlList::FileName);
};

TEST_F(UrlListCrashSafetyTest, KilledWhileSavingLeavesOneWholeList) {
    LoadedList b(files, path, Rows("bravo", 400));
    LoadedList a(files, path, Rows("alpha", 300));
    const std::string fileA = UrlList::ToFile(a.list.Rows());
    const std::string fileB = UrlList::ToFile(b.list.Rows());
    ASSERT_TRUE(a.list.SaveList());
    ASSERT_EQ(testing::ReadWhole(path), fileA);

    const auto round = [&](int n) { return (n % 2 == 0 ? b : a).list.SaveList(); };
    const long roundUs = testing::AverageUs([&] {
                             round(0);
                             round(1);
                         }) /
                         2;
    testing::VersionsSeen seen;
    EXPECT_TRUE(testing::KillWhileRewriting(
        testing::KillsPerFile, roundUs, 20261209, round,
        testing::HoldsOneOfTwoVersions(path, fileA, fileB, folder.path(), UrlList::FileName, "list",
                                       seen)));
    std::cout << testing::KillsPerFile << " kills over saves of " << roundUs
              << " us: " << seen.newer << " with the other list, " << seen.unfinished
              << " in the middle of a save\n";
    EXPECT_GT(seen.newer, 0);
    EXPECT_GT(seen.unfinished, 0) << "no kill landed inside a save";

    // The next start loads a whole list, and its next save clears what the crash left.
    UrlList next(files, path, {});
    next.LoadList();
    EXPECT_TRUE(next.Rows() == a.list.Rows() || next.Rows() == b.list.Rows());
    ASSERT_TRUE(next.SaveList());
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(UrlListCrashSafetyTest, AFullDiskFailsTheSaveSaysSoAndKeepsTheList) {
    TRELK_EXPECT_ON_FULL_DISK([](const std::string& disk) -> std::string {
        LinuxFileSystem diskFiles;
        const std::string file = disk + "/" + UrlList::FileName;
        LoadedList large(diskFiles, file, Rows("large", 200));
        LoadedList small(diskFiles, file, Rows("small", 3));
        const std::string before = testing::ReadWhole(file);
        // Room for part of the larger list only: its write fails half-way.
        if (!testing::FillDisk(disk, 4096)) {
            return "the disk did not fill";
        }
        if (large.list.SaveList()) {
            return "a save on a full disk was reported as done";
        }
        if (large.errors.size() != 1 || large.errors[0] != "The web page list was not saved to " +
                                                               file + ": No space left on device") {
            return "not told: " + (large.errors.empty() ? "" : large.errors[0]);
        }
        if (testing::ReadWhole(file) != before) {
            return "the list on disk changed";
        }
        if (fs::exists(file + ".tmp")) {
            return "a temporary file was left on the full disk";
        }
        // A dropped link is saved at once: on the full disk it is reported too.
        large.list.DropLink("http://dropped.test/", "dropped");
        return large.errors.size() == 2 && testing::ReadWhole(file) == before
                   ? ""
                   : "a dropped link on the full disk was not reported";
    });
}

} // namespace
} // namespace trelk
