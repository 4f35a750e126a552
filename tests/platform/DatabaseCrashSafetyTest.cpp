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
#include "support/KilledChild.h"
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
    LinuxFileSystem files;
    HttpClients clients{http};
    std::atomic<bool> shuttingDown{false};
    std::string url = Url;
    std::string trkDate = "00-00-00";
    DatabaseDownload download{loop,         timers,   files,          clients,
                              shuttingDown, dataDir_, {url, trkDate}, {}};
};

class DatabaseCrashSafetyTest : public ::testing::Test {
protected:
    testing::TempFolder folder;
    const std::string dataDir = folder.dir();
    const std::string path = folder.file("MyLumacor.dat");
    const std::string a = Document("05-08-17", 20000);
    const std::string b = Document("06-01-01", 30000);
    const std::string fileA = ConvertDatabase(a).fileText;
    const std::string fileB = ConvertDatabase(b).fileText;
};

TEST_F(DatabaseCrashSafetyTest, KilledWhileRewritingLeavesOneWholeDatabase) {
    ASSERT_NE(fileA, fileB);
    ASSERT_GT(fileA.size(), 500000U);
    std::ofstream(path, std::ios::binary) << fileA;

    // Kills spread over a few rounds of the child's loop, so they land in every step of it:
    // the download, the conversion and the rewrite.
    testing::TempFolder scratch;
    Downloader timing(scratch.dir());
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(timing.run(b));
    ASSERT_TRUE(timing.run(a));
    const auto roundUs = std::chrono::duration_cast<std::chrono::microseconds>(
                             std::chrono::steady_clock::now() - start)
                             .count() /
                         2;
    std::mt19937 random(20261209);
    std::uniform_int_distribution<long> delayUs(0, 3 * roundUs);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(40);
    int kills = 0;
    int newSeen = 0;
    int temporaryFilesSeen = 0;
    for (; kills < 100 && std::chrono::steady_clock::now() < deadline; ++kills) {
        std::unique_ptr<Downloader> downloader;
        ASSERT_TRUE(testing::RunUntilKilled(
            [&](int round) {
                if (!downloader) {
                    downloader = std::make_unique<Downloader>(dataDir);
                }
                return downloader->run(round % 2 == 0 ? b : a);
            },
            static_cast<useconds_t>(delayUs(random))))
            << "the downloading child failed on its own";

        const std::string text = ReadFile(path);
        ASSERT_TRUE(text == fileA || text == fileB)
            << "after kill " << kills << ": " << text.size() << " bytes";
        newSeen += text == fileB ? 1 : 0;
        temporaryFilesSeen += fs::exists(path + ".tmp") ? 1 : 0;
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string name = entry.path().filename().string();
            ASSERT_TRUE(name == "MyLumacor.dat" || name == "MyLumacor.dat.tmp") << name;
        }
    }
    EXPECT_GE(kills, 20);
    EXPECT_GT(newSeen, 0) << "no kill came after a rewrite";
    EXPECT_LT(newSeen, kills) << "no kill came after a second rewrite";
    std::cout << kills << " kills (rounds of " << roundUs / 1000 << " ms), " << newSeen
              << " with the other database in place, " << temporaryFilesSeen
              << " in the middle of a rewrite\n";

    // The next download after a crash cleans up.
    Downloader downloader(dataDir);
    ASSERT_TRUE(downloader.run(a));
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
        const rlimit limit{64 * 1024, 64 * 1024};
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

} // namespace
} // namespace trelk
