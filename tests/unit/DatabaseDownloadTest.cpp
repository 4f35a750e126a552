// The coordinate database download dialog on the sim platform: what it shows while it
// downloads, the file and the date it writes, how it closes, and what every failure leaves.

#include "downloads/DatabaseDownload.h"

#include "platform/sim/ManualClock.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimHttp.h"
#include "platform/sim/SimTimerFactory.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

const std::string Stored = "http://db.test:8080/html/rawdata2.php ";
const std::string Url = "http://db.test:8080/html/rawdata2.php";
const std::string DataDir = "/app/Data/";
const std::string OutputPath = DataDir + "MyLumacor.dat";
const std::string OldDatabase = "(Old)\r\n[Rocks]\r\n1 2 3\r\n";

std::string Document(const std::string& date = "06-01-02") {
    return "Trelk Database: " + date + " ; sample\n" +
           "7;Sector A;Field 1;12340;-6790;100;prec. metals;med.\n" +
           "8;Sector A;Field 1;1000;2000;3000;ice;big\n";
}

class DatabaseDownloadTest : public ::testing::Test {
protected:
    DatabaseDownloadTest() {
        files.addFile(OutputPath, OldDatabase);
        http.setReply(Url, {.body = Document()});
        clients.HTTP().setProxy({"proxy.test", 3128});
        download.addView([this] {
            if (statuses.empty() || statuses.back() != download.StatusText()) {
                statuses.push_back(download.StatusText());
            }
        });
        download.addDateView([this](const std::string& date) { label = date; });
    }

    DatabaseDownload::Hooks hooks() {
        return {.setStatusText = [this](const std::string& text) { mainStatus.push_back(text); },
                .showDialog = [this] { ++shown; },
                .closeDialog = [this] { ++closed; },
                .saveTrkDate =
                    [this] {
                        savedDates.push_back(trkDate);
                        return true;
                    },
                .addLogLine = [this](const std::string& line) { logLines.push_back(line); },
                .trace = [](const std::string&) {}};
    }

    // Runs the loop until the worker has ended and its completion ran.
    void settle() {
        while (download.DownloadRunning() || loop.pendingCount() > 0) {
            loop.processPendingMessages();
            std::this_thread::yield();
        }
    }
    void retrieve() {
        download.RetrieveDatabase([this] { ++afterClose; });
        settle();
    }
    std::string file() { return files.readFile(OutputPath).content; }

    ManualClock clock;
    SimTimerFactory timers{clock};
    SimEventLoop loop;
    SimHttp http{loop};
    SimFileSystem files;
    HttpClients clients{http};
    std::atomic<bool> shuttingDown{false};
    std::string url = Stored;
    std::string trkDate = "05-08-17";
    std::vector<std::string> mainStatus, statuses, savedDates, logLines;
    std::string label;
    int shown = 0, closed = 0, afterClose = 0;
    DatabaseDownload download{loop,         timers,  files,          clients,
                              shuttingDown, DataDir, {url, trkDate}, hooks()};
};

TEST_F(DatabaseDownloadTest, ItDownloadsConvertsWritesTheDateAndClosesASecondLater) {
    download.RetrieveDatabase([this] { ++afterClose; });
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(mainStatus, (std::vector<std::string>{"Retrieving Roid Database"}));
    EXPECT_EQ(download.Caption(), "Downloading Lumacor Database from db.test:8080");
    settle();

    const auto requests = http.requests();
    ASSERT_EQ(requests.size(), 1U);
    EXPECT_EQ(requests[0].client, "HTTP1");
    EXPECT_EQ(requests[0].url, Url) << "the stored address's blank is not sent";
    EXPECT_EQ(requests[0].proxy, (HttpProxy{"proxy.test", 3128})) << "the market client's proxy";

    EXPECT_EQ(file(), "(Sector A)\r\n[Field 1]\r\n1.0 2.0 3.0 ice big  <1>\r\n"
                      "12.3 -6.8 0.1 prec med  <2>\r\n");
    EXPECT_EQ(trkDate, "06-01-02");
    EXPECT_EQ(savedDates, (std::vector<std::string>{"06-01-02"}));
    EXPECT_EQ(label, "06-01-02");
    const std::string size = std::to_string(Document().size());
    EXPECT_EQ(statuses, (std::vector<std::string>{
                            "Connecting to db.test:8080", "Transfering: " + size,
                            size + " bytes of " + size + " bytes.", "Data Saved", "Parsing Data",
                            "Saving data file", "Data Conversion Complete!"}));

    // The dialog stays a second, then closes by itself.
    EXPECT_TRUE(download.DialogOpen());
    timers.advance(999);
    EXPECT_TRUE(download.DialogOpen());
    timers.advance(1);
    EXPECT_FALSE(download.DialogOpen());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(afterClose, 1);
    EXPECT_EQ(mainStatus.back(), "");
}

TEST_F(DatabaseDownloadTest, ProgressCountsBytesAndSaysThemAloneWhenNoSizeWasAnnounced) {
    http.setReply(Url, {.body = Document(), .announced = 0, .parts = 2});
    retrieve();
    const std::string half = std::to_string(Document().size() / 2);
    const std::string all = std::to_string(Document().size());
    EXPECT_EQ(statuses[1], half + " bytes.");
    EXPECT_EQ(statuses[2], all + " bytes.");
    EXPECT_EQ(download.ProgressPosition(), 0);
}

TEST_F(DatabaseDownloadTest, AReplyOfAHundredCharactersIsNoDatabaseAndAHundredAndOneIs) {
    const std::string head = "Trelk Database: 06-01-02 ; s\n1;A;";
    const std::string tail = ";1000;0;0;ice;big\n";
    const std::string of100 = head + std::string(100 - head.size() - tail.size(), 'B') + tail;
    ASSERT_EQ(of100.size(), 100U);
    http.setReply(Url, {.body = of100});
    retrieve();
    EXPECT_EQ(download.StatusText(),
              "Unable to Retrieve Data! Check Internet connection or proxy settings.");
    EXPECT_EQ(file(), OldDatabase);
    EXPECT_EQ(trkDate, "05-08-17");

    download.FormClose();
    const std::string of101 = head + std::string(101 - head.size() - tail.size(), 'B') + tail;
    http.setReply(Url, {.body = of101});
    retrieve();
    EXPECT_EQ(download.StatusText(), "Data Conversion Complete!");
    EXPECT_EQ(trkDate, "06-01-02");
}

TEST_F(DatabaseDownloadTest, EveryFailureSaysSoKeepsTheDatabaseAndDateAndWaitsForThePilot) {
    struct Case {
        const char* name;
        SimHttpReply reply;
        SimFileFault fault;
        std::string text;
    };
    const std::string failed = DatabaseDownload::FailedText;
    const std::vector<Case> cases = {
        {"refused", {.connectError = "Couldn't connect to server"}, {}, failed},
        {"404", {.status = 404, .body = Document()}, {}, failed},
        {"500", {.status = 500, .body = std::string(400, 'x')}, {}, failed},
        {"empty", {.body = ""}, {}, failed},
        {"not a whole coordinate",
         {.body = Document() + "9;B;C;12.5;0;0;ice;big\n"},
         {},
         "Line 4 of the database has a coordinate that is not a whole number (\"12.5\"); the "
         "database was not changed."},
        {"garbage",
         {.body = std::string(300, '\x7f')},
         {},
         "The database has no date in its first line; the database was not changed."},
        {"disk full",
         {.body = Document()},
         {.step = FileStep::Write,
          .path = OutputPath,
          .writtenBytes = 10,
          .error = "No space left on device"},
         "Unable to write " + OutputPath +
             " (No space left on device); the database was not changed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        http.setReply(Url, c.reply);
        if (!c.fault.path.empty()) {
            files.addFault(c.fault);
        }
        afterClose = 0;
        retrieve();
        EXPECT_EQ(download.StatusText(), c.text);
        EXPECT_EQ(download.ProgressPosition(), 0);
        EXPECT_EQ(file(), OldDatabase);
        EXPECT_EQ(trkDate, "05-08-17");
        EXPECT_TRUE(savedDates.empty());
        EXPECT_EQ(logLines.back(), c.text);

        // Open until the pilot closes it.
        timers.advance(5000);
        EXPECT_TRUE(download.DialogOpen());
        EXPECT_EQ(afterClose, 0);
        download.FormClose();
        EXPECT_FALSE(download.DialogOpen());
        EXPECT_EQ(afterClose, 1);
        files.clearFaults();
    }
}

TEST_F(DatabaseDownloadTest, ClosingDuringTheTransferEndsItAndChangesNothing) {
    http.hold();
    download.RetrieveDatabase([this] { ++afterClose; });
    http.waitForActive(1);
    const auto before = std::chrono::steady_clock::now();
    download.FormClose();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(1));
    EXPECT_FALSE(download.DownloadRunning());
    EXPECT_EQ(afterClose, 1);
    http.release();
    settle();
    timers.advance(2000);
    EXPECT_EQ(file(), OldDatabase);
    EXPECT_EQ(trkDate, "05-08-17");
    EXPECT_EQ(closed, 1);

    // The next download starts afresh.
    retrieve();
    EXPECT_EQ(download.StatusText(), "Data Conversion Complete!");
}

TEST_F(DatabaseDownloadTest, ARetrieveWhileTheDialogIsOpenWaitsForThatDialog) {
    http.hold();
    download.RetrieveDatabase([this] { ++afterClose; });
    download.RetrieveDatabase([this] { afterClose += 10; });
    EXPECT_EQ(shown, 1);
    bool ended = false;
    download.WhenDownloadEnds([&] { ended = true; });
    http.release();
    settle();
    EXPECT_TRUE(ended) << "the download is over before the dialog closes";
    EXPECT_EQ(afterClose, 0);
    timers.advance(1000);
    EXPECT_EQ(afterClose, 11);
    EXPECT_EQ(http.requests().size(), 1U);
}

TEST_F(DatabaseDownloadTest, ShuttingDownDropsTheTransferAndTheProgramClosesTheDialog) {
    http.hold();
    download.RetrieveDatabase([this] { ++afterClose; });
    http.waitForActive(1);
    shuttingDown = true;
    settle();
    EXPECT_EQ(download.StatusText(), "Please wait. Trelk is Shutting Down!");
    EXPECT_TRUE(download.DialogOpen());
    download.StopWorker();
    EXPECT_FALSE(download.DialogOpen());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(afterClose, 0) << "nothing follows a dialog the program closed";
    EXPECT_EQ(file(), OldDatabase);
}

} // namespace
} // namespace trelk
