// "MyLumacor.dat" on a real disk while the download dialog rewrites it: a process killed at any
// moment of the rewrite leaves one whole database, and a full disk fails the rewrite with the
// previous database and date in place.

#include "downloads/DatabaseConversion.h"
#include "downloads/DatabaseDownload.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimHttp.h"
#include "platform/sim/SimTimerFactory.h"
#include "support/RewriteKills.h"
#include "support/TempFolder.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace trelk {
namespace {

namespace fs = std::filesystem;

const std::string Url = "http://db.test/html/rawdata2.php";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// A document of n records of about 60 characters.
std::string Document(const std::string& date, int records) {
    std::string text = "Trelk Database: " + date + " ; test\n";
    for (int n = 0; n < records; ++n) {
        text += std::to_string(n) + ";Region " + std::to_string(n % 17) + ";Object " +
                std::to_string(n % 101) + ";" + std::to_string(n * 37 - 50000) + ";" +
                std::to_string(n * 11) + ";" + std::to_string(-n) + ";ice;big\n";
    }
    return text;
}

// The real disk, noting when the last replacement began and ended.
class TimedFileSystem final : public FileSystem {
public:
    using FileSystem::readFile;
    FileReadResult readFile(const std::string& path, std::size_t maxBytes) override {
        return disk_.readFile(path, maxBytes);
    }
    FileWriteResult replaceFile(const std::string& path, std::string_view content) override {
        began = std::chrono::steady_clock::now();
        const FileWriteResult result = disk_.replaceFile(path, content);
        ended = std::chrono::steady_clock::now();
        return result;
    }
    void discardUnfinishedReplacement(const std::string& path) override {
        disk_.discardUnfinishedReplacement(path);
    }
    FileWriteResult appendToFile(const std::string& path, std::string_view content) override {
        return disk_.appendToFile(path, content);
    }
    PathKind kindOf(const std::string& path) override { return disk_.kindOf(path); }
    FileWriteResult createFolder(const std::string& path) override {
        return disk_.createFolder(path);
    }
    std::vector<std::string> fileNames(const std::string& folder) override {
        return disk_.fileNames(folder);
    }

    std::chrono::steady_clock::time_point began;
    std::chrono::steady_clock::time_point ended;

private:
    LinuxFileSystem disk_;
};

// The program's download dialog over a real disk; the reply is the test's.
struct Downloader {
    explicit Downloader(const std::string& dataDir) : dataDir_(dataDir) {}

    // Downloads and converts the document, as the dialog does; false when it did not complete.
    bool run(const std::string& document) {
        http.setReply(Url, {.body = document});
        bool complete = false;
        download.RetrieveDatabase([&] { complete = true; });
        while (download.DownloadRunning() || loop.pendingCount() > 0) {
            loop.processPendingMessages();
            std::this_thread::yield();
        }
        const bool written = download.StatusText() == "Data Conversion Complete!";
        timers.advance(DatabaseDownload::CloseDelayMs);
        return written && complete;
    }

    std::string dataDir_;
    ManualClock clock;
    SimTimerFactory timers{clock};
    SimEventLoop loop;
    SimHttp http{loop};
    TimedFileSystem files;
    HttpClients clients{http};
    std::atomic<bool> shuttingDown{false};
    std::string url = Url;
    std::string trkDate = "00-00-00";
    DatabaseDownload download{loop,         timers,   files,          clients,
                              shuttingDown, dataDir_, {url, trkDate}, {}};
};

class DatabaseCrashSafetyTest : public ::testing::Test {
protected:
    testing::TempFolder folder{testing::KillTestRoot()};
    const std::string dataDir = folder.dir();
    const std::string path = folder.file("MyLumacor.dat");
    const std::string a = Document("05-08-17", 600);
    const std::string b = Document("06-01-01", 900);
    const std::string fileA = ConvertDatabase(a).fileText;
    const std::string fileB = ConvertDatabase(b).fileText;
};

TEST_F(DatabaseCrashSafetyTest, KilledWhileRewritingLeavesOneWholeDatabase) {
    ASSERT_NE(fileA, fileB);
    ASSERT_GT(fileA.size(), 20000U);
    std::ofstream(path, std::ios::binary) << fileA;

    // Kills spread over the child's rounds land in every step of one: the download, the
    // conversion and the rewrite.
    testing::TempFolder scratch(testing::KillTestRoot());
    Downloader timing(scratch.dir());
    int timed = 0;
    long writeBeganUs = 0;
    long writeEndedUs = 0;
    const long roundUs = testing::AverageUs([&] {
        const auto start = std::chrono::steady_clock::now();
        timing.run(timed++ % 2 == 0 ? b : a);
        const auto us = [&](std::chrono::steady_clock::time_point t) {
            return static_cast<long>(
                std::chrono::duration_cast<std::chrono::microseconds>(t - start).count());
        };
        writeBeganUs += us(timing.files.began);
        writeEndedUs += us(timing.files.ended);
    });
    // The rewrite is a small part of a round: every other kill aims at the next one, in a
    // window three times its length.
    writeBeganUs /= timed;
    writeEndedUs /= timed;
    const long writeUs = std::max(1L, writeEndedUs - writeBeganUs);
    const testing::KillWindow rewrite{std::max(0L, writeBeganUs - writeUs), writeEndedUs + writeUs};
    std::unique_ptr<Downloader> downloader;
    const auto round = [&](int n) {
        if (!downloader) {
            downloader = std::make_unique<Downloader>(dataDir);
        }
        return downloader->run(n % 2 == 0 ? b : a);
    };
    testing::VersionsSeen seen;
    EXPECT_TRUE(testing::KillWhileRewriting(
        testing::KillsPerFile, roundUs, 20261209, round,
        testing::HoldsOneOfTwoVersions(path, fileA, fileB, folder.path(), "MyLumacor.dat",
                                       "database", seen),
        rewrite));
    EXPECT_GT(seen.newer, 0) << "no kill came after a rewrite";
    std::cout << testing::KillsPerFile << " kills over rounds of " << roundUs << " us (the rewrite "
              << writeUs << " us of it), " << seen.newer << " with the other database in place, "
              << seen.unfinished << " in the middle of a rewrite\n";

    // The next download after a crash cleans up.
    Downloader next(dataDir);
    ASSERT_TRUE(next.run(a));
    EXPECT_EQ(ReadFile(path), fileA);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(DatabaseCrashSafetyTest, AFullDiskFailsTheRewriteAndKeepsTheDatabaseAndItsDate) {
    const std::string small = ConvertDatabase(Document("05-08-17", 10)).fileText;
    std::ofstream(path, std::ios::binary) << small;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Running as root, a read-only folder would not stop the write; a file size limit does.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16 * 1024, 16 * 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        Downloader downloader(dataDir);
        downloader.run(b);
        const bool said = downloader.download.StatusText().starts_with("Unable to write " + path);
        ::_exit(downloader.trkDate != "00-00-00" ? 1 : said ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: the date changed, 2: no message";
    EXPECT_EQ(ReadFile(path), small);
    EXPECT_FALSE(fs::exists(path + ".tmp"));
}

TEST_F(DatabaseCrashSafetyTest, AFullTmpfsFailsTheRewriteSaysSoAndKeepsTheDatabaseAndItsDate) {
    TRELK_EXPECT_ON_FULL_DISK([this](const std::string& disk) -> std::string {
        const std::string file = disk + "/MyLumacor.dat";
        const std::string small = ConvertDatabase(Document("05-08-17", 10)).fileText;
        std::ofstream(file, std::ios::binary) << small;
        // Room for part of the new database: the rewrite fails half-way.
        if (!testing::FillDisk(disk, 16 * 1024)) {
            return "the disk did not fill";
        }
        Downloader downloader(disk + "/");
        if (downloader.run(b)) {
            return "a rewrite on a full disk was reported as done";
        }
        const std::string status = downloader.download.StatusText();
        if (!status.starts_with("Unable to write " + file) ||
            status.find("No space left on device") == std::string::npos) {
            return "not told: " + status;
        }
        if (downloader.trkDate != "00-00-00") {
            return "the database date changed";
        }
        if (testing::ReadWhole(file) != small) {
            return "the database changed";
        }
        return fs::exists(file + ".tmp") ? "a temporary file was left on the full disk" : "";
    });
}

} // namespace
} // namespace trelk
