// The coordinate database end to end, through the real HTTP stack from the sample web
// services: a first start without "MyLumacor.dat" shows the download dialog with its progress,
// writes the converted database and closes the dialog, and the console walks the new groups;
// a newer server date makes the start-up check download again; a newer program version turns
// the caption into the update notice.

#include "DatabaseDocument.h"
#include "PilotDesk.h"
#include "downloads/DatabaseConversion.h"
#include "support/TempFolder.h"
#include "support/WebServices.h"

#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace trelk::e2e {
namespace {

using namespace std::chrono_literals;

constexpr int Records = 3000;

std::string CollapseBlanks(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (!(c == ' ' && !out.empty() && out.back() == ' ')) {
            out += c;
        }
    }
    return out;
}

class DatabaseE2eTest : public ::testing::Test {
protected:
    void writeSettings(const std::string& extra) {
        // The stored addresses end in a blank, as the defaults do.
        folder.write("trelkpro.ini",
                     "[Setup]\nLogEnabled=1\nDatabaseURL=" + services->url("/html/rawdata2.php") +
                         " \nDBDateURL=" + services->url("/dblastchange.txt") +
                         " \nTrelkVersionURL=" + services->url("/trelkbeta/_tracking1.php?id=") +
                         "\n" + extra);
    }
    std::string setting(const std::string& key) {
        const std::string ini = folder.read("trelkpro.ini");
        const std::size_t at = ini.find("\n" + key + "=");
        if (at == std::string::npos) {
            return "<none>";
        }
        const std::size_t start = at + key.size() + 2;
        return ini.substr(start, ini.find_first_of("\r\n", start) - start);
    }
    std::string window(const std::string& namePattern) {
        return capture(desk->xdotool() + "search --name '" + namePattern + "' 2>/dev/null");
    }
    std::string dialogTitle() const {
        return "^Downloading Lumacor Database from 127.0.0.1:" + std::to_string(services->port()) +
               "$";
    }
    void typeInGame(const std::string& keys) { capture(desk->xdotool() + keys); }
    std::string display() const { return "DISPLAY=" + desk->displayName() + " "; }

    testing::TempFolder folder;
    std::unique_ptr<testing::WebServices> services;
    std::unique_ptr<PilotDesk> desk;
};

// The share of the progress bar (the dialog's bottom-left 200 pixels) drawn in the bar's
// highlight, which the unfilled part never is.
int filledColumns(const QImage& dialog) {
    if (dialog.isNull()) {
        return -1;
    }
    const int y = dialog.height() - 12;
    int filled = 0;
    for (int x = 4; x < 200; ++x) {
        const QColor colour(dialog.pixel(x, y));
        filled += colour.blue() > colour.red() + 40 ? 1 : 0;
    }
    return filled;
}

TEST_F(DatabaseE2eTest, AFirstStartDownloadsTheDatabaseAndTheConsoleWalksIt) {
    // About 8 seconds at this rate: long enough to watch the dialog's progress.
    services = std::make_unique<testing::WebServices>(
        TRELK_TOOLS_DIR,
        std::vector<std::string>{"--db-records", std::to_string(Records), "--db-rate", "24000"});
    ASSERT_GT(services->port(), 0);
    writeSettings("");
    desk = std::make_unique<PilotDesk>(folder);
    ASSERT_TRUE(desk->ready()) << "TrelkPro or the game did not start";

    std::string dialog;
    ASSERT_TRUE(waitUntil([&] { return !(dialog = window(dialogTitle())).empty(); }));
    dialog = dialog.substr(0, dialog.find('\n'));
    // The bar fills as the bytes arrive.
    const std::string shot = folder.file("dialog.png");
    int first = -1;
    ASSERT_TRUE(waitUntil([&] {
        capture(display() + "import -window " + dialog + " " + shot + " 2>/dev/null");
        first = filledColumns(QImage(QString::fromStdString(shot)));
        return first > 0;
    })) << "the progress bar never showed any progress";
    EXPECT_TRUE(waitUntil([&] {
        capture(display() + "import -window " + dialog + " " + shot + " 2>/dev/null");
        return filledColumns(QImage(QString::fromStdString(shot))) > first;
    })) << "the progress bar did not move on";

    // Written, dated, and the dialog closes by itself.
    ASSERT_TRUE(waitUntil([&] { return window(dialogTitle()).empty(); }, 60s));
    const DatabaseConversion expected =
        ConvertDatabase(services::DatabaseDocument(Records, "05-08-17"));
    ASSERT_TRUE(expected.ok);
    EXPECT_EQ(folder.read("Data/MyLumacor.dat"), expected.fileText);
    EXPECT_EQ(setting("TrkDate"), "05-08-17");
    const auto requests = services->requests();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(testing::WebServices::field(requests[0], 1), "/html/rawdata2.php");

    // The lists read the new file: the first entry of the first group, sent from the console.
    const std::string& text = expected.fileText;
    const std::size_t entryStart = text.find("\r\n", text.find("\r\n") + 2) + 2;
    const std::string entry =
        CollapseBlanks(text.substr(entryStart, text.find("\r\n", entryStart) - entryStart));
    std::this_thread::sleep_for(500ms);
    for (const char* key : {"Insert", "Right", "Right", "Right", "Right"}) {
        typeInGame(std::string("key ") + key);
        std::this_thread::sleep_for(300ms);
    }
    std::this_thread::sleep_for(500ms);
    typeInGame("key Return");
    EXPECT_TRUE(waitUntil([&] { return desk->transcript() == "5\t/lumacor " + entry + "\n"; }))
        << desk->transcript() << " instead of " << entry;
    EXPECT_TRUE(desk->trelk().running());
}

TEST_F(DatabaseE2eTest, ANewerDateDownloadsAtStartUpAndANewerVersionIsAnnounced) {
    services = std::make_unique<testing::WebServices>(
        TRELK_TOOLS_DIR, std::vector<std::string>{"--db-records", "500", "--db-date", "06-01-01"});
    ASSERT_GT(services->port(), 0);
    std::filesystem::create_directories(folder.path() / "Data");
    const std::string old = "(Old Belt)\r\n[Rocks]\r\n1 2 3\r\n";
    folder.write("Data/MyLumacor.dat", old);
    writeSettings("TrkDate=05-08-17\n");
    desk = std::make_unique<PilotDesk>(folder);
    ASSERT_TRUE(desk->ready()) << "TrelkPro or the game did not start";

    ASSERT_TRUE(waitUntil([&] { return setting("TrkDate") == "06-01-01"; }, 30s))
        << setting("TrkDate");
    EXPECT_EQ(folder.read("Data/MyLumacor.dat"),
              ConvertDatabase(services::DatabaseDocument(500, "06-01-01")).fileText);
    ASSERT_TRUE(waitUntil([&] { return window(dialogTitle()).empty(); }));

    // The service now has a newer program; "//getroid" checks again.
    capture("curl -s '" + services->url("/_control/version?value=1.00.2") + "'");
    typeInGame("key F2 type --delay 30 //getroid");
    typeInGame("key Return");
    const std::string notice =
        "^Trelk Pro 1\\.00\\.1  \\*\\*\\* Update Available @ 127\\.0\\.0\\.1:" +
        std::to_string(services->port()) + " \\*\\*\\*$";
    ASSERT_TRUE(waitUntil([&] { return !window(notice).empty(); }, 30s))
        << capture(desk->xdotool() + "search --name 'Trelk' getwindowname %@ 2>/dev/null")
        << "requests:\n"
        <<
        [&] {
            std::string all;
            for (const std::string& line : services->requests()) {
                all += line + "\n";
            }
            return all;
        }()
        << "transcript: " << desk->transcript();
    EXPECT_TRUE(desk->trelk().running());
}

} // namespace
} // namespace trelk::e2e
