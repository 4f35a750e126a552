// The version and database update check on the sim platform: the two requests, and the
// completion's rules in their order (the dates, the forced and the manual check, the versions
// compared by characters, the caption and the flashing window).

#include "downloads/UpdateCheck.h"

#include "downloads/HttpClients.h"
#include "platform/sim/SimEventLoop.h"
#include "platform/sim/SimHttp.h"

#include <gtest/gtest.h>
#include <thread>

namespace trelk {
namespace {

const std::string DateUrl = "http://db.test/dblastchange.txt";
const std::string Code = "0123456789abcdefghijkl";
const std::string VersionUrl = "http://updates.test/trelkbeta/_tracking1.php?id=3.11.3_" + Code;
const std::string UpdateCaption = "Trelk Pro 3.11.3  *** Update Available @ updates.test ***";

class UpdateCheckTest : public ::testing::Test {
protected:
    UpdateCheckTest() {
        http.setReply(DateUrl, {.body = "05-08-17"});
        http.setReply(VersionUrl, {.body = "3.11.3"});
    }

    UpdateCheck::Hooks hooks() {
        return {.setStatusText = [this](const std::string& text) { statuses.push_back(text); },
                .setCaption = [this](const std::string& text) { caption = text; },
                .flashWindow = [this] { ++flashes; },
                .confirm =
                    [this](const std::string& question) {
                        questions.push_back(question);
                        return answer;
                    },
                .retrieveDatabase =
                    [this](std::function<void()> then) {
                        ++downloads;
                        // The version part waits for the dialog; it closes at once here.
                        EXPECT_TRUE(caption.empty());
                        then();
                    },
                .trace = [](const std::string&) {}};
    }

    void check(void (UpdateCheck::*start)() = &UpdateCheck::StartUpdateCheck) {
        (updateCheck.*start)();
        while (updateCheck.Running() || loop.pendingCount() > 0) {
            loop.processPendingMessages();
            std::this_thread::yield();
        }
    }

    SimEventLoop loop;
    SimHttp http{loop};
    HttpClients clients{http};
    std::atomic<bool> shuttingDown{false};
    VersionInfo version = MakeVersionInfo("Trelk Pro", 3, 11, 3, "09-Dec-2026");
    std::string dateUrl = DateUrl + " ";
    std::string versionUrl = "http://updates.test/trelkbeta/_tracking1.php?id=";
    std::string trkDate = "05-08-17";
    std::string installCode = Code;
    std::vector<std::string> statuses, questions;
    std::string caption;
    int flashes = 0;
    int downloads = 0;
    bool answer = true;
    UpdateCheck updateCheck{
        loop,   clients.HTTP2(), shuttingDown, version, {dateUrl, versionUrl, trkDate, installCode},
        hooks()};
};

TEST_F(UpdateCheckTest, BothRequestsGoOutOnTheUpdateClientOneAfterTheOther) {
    check();
    const auto requests = http.requests();
    ASSERT_EQ(requests.size(), 2U);
    EXPECT_EQ(requests[0].url, DateUrl) << "the stored address's blank is not sent";
    EXPECT_EQ(requests[1].url, VersionUrl);
    for (const SimHttpRequest& request : requests) {
        EXPECT_EQ(request.client, "HTTP2");
        EXPECT_EQ(request.userAgent, "Mozilla/3.0 (compatible; Indy Library)");
        EXPECT_EQ(request.accept, "text/html, */*");
    }
    EXPECT_EQ(statuses.front(), "Checking for new versions");
    EXPECT_EQ(statuses.back(), "Database is current");
    EXPECT_EQ(downloads, 0);
    EXPECT_TRUE(questions.empty()) << "equal dates at start-up ask nothing";
    EXPECT_TRUE(caption.empty());
    EXPECT_FALSE(updateCheck.Running());
}

TEST_F(UpdateCheckTest, TheInstallationCodeGoesOutEncoded) {
    installCode = "0<>\\`^:y";
    EXPECT_EQ(updateCheck.VersionRequestUrl(),
              "http://updates.test/trelkbeta/_tracking1.php?id=3.11.3_0%3C%3E%5C%60%5E%3Ay");
}

TEST_F(UpdateCheckTest, ANewerServerDateDownloadsAndAnOlderOneDoesNot) {
    trkDate = "00-00-00";
    check();
    EXPECT_EQ(downloads, 1) << "05-08-17 is after 00-00-00";

    trkDate = "06-01-01";
    check();
    EXPECT_EQ(downloads, 1);
    EXPECT_EQ(statuses.back(), "Database is current");

    // A local date that is not one is older than any.
    trkDate = "";
    check();
    EXPECT_EQ(downloads, 2);
}

TEST_F(UpdateCheckTest, UpdateAsksWhenCurrentAndGetroidDownloadsWithoutAsking) {
    answer = false;
    check(&UpdateCheck::btnDownloadClick);
    EXPECT_EQ(questions,
              (std::vector<std::string>{
                  "You all ready have the latest Data. Do you want to retrieve anyway?"}));
    EXPECT_EQ(downloads, 0);
    EXPECT_FALSE(updateCheck.ManualCheck()) << "cleared at the end";

    answer = true;
    check(&UpdateCheck::btnDownloadClick);
    EXPECT_EQ(downloads, 1);

    questions.clear();
    check(&UpdateCheck::ForceUpdateCheck);
    EXPECT_EQ(downloads, 2);
    EXPECT_TRUE(questions.empty());
    EXPECT_FALSE(updateCheck.ForceDownload());

    check();
    EXPECT_EQ(downloads, 2) << "the next check is an ordinary one";
}

TEST_F(UpdateCheckTest, RepliesThatAreNoAnswerSaySoAndDownloadNothing) {
    trkDate = "00-00-00";
    for (const char* reply : {"<html>Not here</html>", "05/08/17", ""}) {
        http.setReply(DateUrl, {.body = reply});
        statuses.clear();
        check(&UpdateCheck::ForceUpdateCheck);
        EXPECT_EQ(downloads, 0) << reply;
        EXPECT_NE(
            std::find(statuses.begin(), statuses.end(), "Unable to verify version of database"),
            statuses.end())
            << reply;
    }
    http.setReply(DateUrl, {.status = 404, .body = "06-01-01"});
    check();
    EXPECT_EQ(downloads, 0);

    // A reply with its line end is a date still.
    http.setReply(DateUrl, {.body = "06-01-01\r\n"});
    check();
    EXPECT_EQ(downloads, 1);
}

TEST_F(UpdateCheckTest, VersionsCompareByCharactersAndANewerOneFlashesTheCaption) {
    struct Case {
        const char* reply;
        bool announced;
    };
    for (const Case c : {Case{"3.11.3", false}, Case{"3.11.10", false}, Case{"3.9.1", true},
                         Case{"3.11.4\n", true}, Case{"2.99.9", false}, Case{"4.00.0", true}}) {
        SCOPED_TRACE(c.reply);
        caption.clear();
        flashes = 0;
        http.setReply(VersionUrl, {.body = c.reply});
        check();
        EXPECT_EQ(caption, c.announced ? UpdateCaption : "");
        EXPECT_EQ(flashes, c.announced ? 1 : 0);
    }
}

TEST_F(UpdateCheckTest, AVersionReplyThatIsNoVersionLeavesTheCaption) {
    for (const char* reply : {"", "<html>", "3..1", "9.x", "4.00.0 beta"}) {
        http.setReply(VersionUrl, {.body = reply});
        statuses.clear();
        check();
        EXPECT_EQ(statuses.back(), "Unable to verify version of Trelk") << reply;
        EXPECT_TRUE(caption.empty()) << reply;
    }
    http.setReply(VersionUrl, {.connectError = "Couldn't connect to server"});
    http.setReply(DateUrl, {.connectError = "Couldn't connect to server"});
    statuses.clear();
    check();
    EXPECT_EQ(statuses, (std::vector<std::string>{"Checking for new versions",
                                                  "Unable to verify version of database",
                                                  "Unable to verify version of Trelk"}));
}

TEST_F(UpdateCheckTest, OneCheckAtATimeAndAShutdownEndsItWithItsMessageOnly) {
    http.hold();
    updateCheck.StartUpdateCheck();
    http.waitForActive(1);
    updateCheck.StartUpdateCheck();
    EXPECT_TRUE(updateCheck.Running());
    shuttingDown = true;
    while (updateCheck.Running() || loop.pendingCount() > 0) {
        loop.processPendingMessages();
        std::this_thread::yield();
    }
    http.release();
    EXPECT_EQ(http.requests().size(), 1U) << "the second start did nothing; no version request";
    EXPECT_EQ(statuses.back(), "Please wait. Trelk is Shutting Down!");
    EXPECT_EQ(downloads, 0);
}

} // namespace
} // namespace trelk
