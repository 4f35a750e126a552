// The download dialog and the update check against the sample web services over libcurl:
// the stored addresses' blanks never reach the request line, the database is converted and
// written, every fault mode of the services leaves the old database and date with a message,
// and a close during a slow transfer ends it within a second.

#include "downloads/DatabaseConversion.h"
#include "downloads/DatabaseDownload.h"
#include "downloads/UpdateCheck.h"
#include "platform/linux/CurlHttp.h"
#include "platform/linux/LinuxFileSystem.h"
#include "platform/sim/ManualClock.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimTimerFactory.h"
#include "support/TempFolder.h"
#include "support/WebServices.h"

#include <chrono>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <thread>

namespace trelk {
namespace {

using testing::WebServices;

const std::string OldDatabase = "(Old)\r\n[Rocks]\r\n1 2 3\r\n";

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class DatabaseServicesTest : public ::testing::Test {
protected:
    DatabaseServicesTest() { std::ofstream(path, std::ios::binary) << OldDatabase; }

    void settle() {
        while (download.DownloadRunning() || updateCheck.Running() || loop.pendingCount() > 0) {
            loop.processPendingMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    void setFault(const std::string& mode) {
        ASSERT_TRUE(clients.HTTP2().get(services.url("/_control/fault?mode=" + mode), {}).ok);
    }

    WebServices services{TRELK_TOOLS_DIR, {"--db-records", "2000"}};
    testing::TempFolder folder;
    const std::string path = folder.file("MyLumacor.dat");
    ManualClock clock;
    SimTimerFactory timers{clock};
    SimEventLoop loop;
    CurlHttp http{loop};
    LinuxFileSystem files;
    HttpClients clients{http};
    std::atomic<bool> shuttingDown{false};
    std::string databaseUrl = services.url("/html/rawdata2.php ");
    std::string dateUrl = services.url("/dblastchange.txt ");
    std::string versionUrl = services.url("/trelkbeta/_tracking1.php?id=");
    std::string trkDate = "00-00-00";
    // Every kind of character an installation code holds.
    std::string installCode = "09:;<=>?@AZ[\\]^_`ay123";
    VersionInfo version = MakeVersionInfo("Trelk Pro", 1, 0, 1, "09-Dec-2026");
    bool retrieved = false;
    DatabaseDownload download{
        loop, timers, files, clients, shuttingDown, folder.dir(), {databaseUrl, trkDate}, {}};
    UpdateCheck updateCheck{loop,
                            clients.HTTP2(),
                            shuttingDown,
                            version,
                            {dateUrl, versionUrl, trkDate, installCode},
                            {.retrieveDatabase = [this](std::function<void()> then) {
                                retrieved = true;
                                then();
                            }}};
};

TEST_F(DatabaseServicesTest, TheBlanksOfTheStoredAddressesNeverReachTheRequestLine) {
    updateCheck.StartUpdateCheck();
    settle();
    EXPECT_TRUE(retrieved) << "05-08-17 is newer than 00-00-00";
    download.RetrieveDatabase();
    settle();
    EXPECT_EQ(download.StatusText(), "Data Conversion Complete!");
    EXPECT_EQ(trkDate, "05-08-17");
    const std::string document = ReadFile(path);
    EXPECT_NE(document, OldDatabase);

    const auto requests = services.requests();
    ASSERT_EQ(requests.size(), 3U);
    EXPECT_EQ(WebServices::field(requests[0], 1), "/dblastchange.txt");
    EXPECT_EQ(WebServices::field(requests[1], 1),
              "/trelkbeta/_tracking1.php?id=1.00.1_09%3A%3B%3C%3D%3E%3F%40AZ%5B%5C%5D%5E_%60ay123");
    EXPECT_EQ(WebServices::field(requests[2], 1), "/html/rawdata2.php");
    EXPECT_EQ(WebServices::field(requests[2], 2), "HTTP/1.1");
}

TEST_F(DatabaseServicesTest, EveryFaultOfTheServicesLeavesTheDatabaseAndSaysWhy) {
    const std::string failed = DatabaseDownload::FailedText;
    const std::string noDate =
        "The database has no date in its first line; the database was not changed.";
    for (const auto& [mode, text] : std::vector<std::pair<std::string, std::string>>{
             {"404", failed},
             {"500", failed},
             {"close", failed},
             {"huge", failed},
             {"huge-chunked", failed},
             {"garbage", noDate},
             {"redirect", "Data Conversion Complete!"}}) {
        SCOPED_TRACE(mode);
        setFault(mode);
        trkDate = "00-00-00";
        std::ofstream(path, std::ios::binary) << OldDatabase;
        download.RetrieveDatabase();
        settle();
        EXPECT_EQ(download.StatusText(), text);
        if (mode != "redirect") {
            EXPECT_EQ(ReadFile(path), OldDatabase);
            EXPECT_EQ(trkDate, "00-00-00");
        }
        download.FormClose();
    }
}

TEST_F(DatabaseServicesTest, ClosingTheDialogDuringASlowTransferEndsItWithinASecond) {
    setFault("slow");
    download.RetrieveDatabase();
    std::this_thread::sleep_for(std::chrono::milliseconds(700));
    loop.processPendingMessages();
    ASSERT_TRUE(download.DownloadRunning());
    const auto before = std::chrono::steady_clock::now();
    download.FormClose();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
    EXPECT_FALSE(download.DownloadRunning());
    settle();
    EXPECT_EQ(ReadFile(path), OldDatabase);
    EXPECT_EQ(trkDate, "00-00-00");
}

TEST_F(DatabaseServicesTest, AServerThatRefusesIsNoDatabase) {
    WebServices refusing{TRELK_TOOLS_DIR, {"--fault", "refuse"}};
    databaseUrl = refusing.url("/html/rawdata2.php ");
    download.RetrieveDatabase();
    settle();
    EXPECT_EQ(download.StatusText(), DatabaseDownload::FailedText);
    EXPECT_EQ(ReadFile(path), OldDatabase);
}

} // namespace
} // namespace trelk
