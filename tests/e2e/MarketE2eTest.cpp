// The market end to end: TrelkPro with market updates on downloads the sample web services'
// market through the real HTTP stack; the "Market Database" mode shows its categories, an
// item's locations, and the unavailable line once the services are gone and a reload failed.

#include "PilotDesk.h"
#include "support/TempFolder.h"
#include "support/WebServices.h"

#include <QImage>
#include <filesystem>
#include <gtest/gtest.h>
#include <thread>

namespace trelk::e2e {
namespace {

using namespace std::chrono_literals;

constexpr QRgb Green = qRgb(0, 255, 0);    // the text colour set below
constexpr QRgb Yellow = qRgb(255, 255, 0); // the highlight

// The console draws row k of the list at y = 40 + 13 k.
int countPixels(const QImage& picture, int row, QRgb colour) {
    int count = 0;
    for (int y = 40 + 13 * row; y < 53 + 13 * row; ++y) {
        for (int x = 6; x < 250; ++x) {
            count += (picture.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF) ? 1 : 0;
        }
    }
    return count;
}

// The rows below the highlighted first one that carry text.
int textRows(const QImage& picture) {
    int rows = 0;
    for (int row = 1; row < 14; ++row) {
        rows += countPixels(picture, row, Green) > 20 ? 1 : 0;
    }
    return rows;
}

class MarketE2eTest : public ::testing::Test {
protected:
    MarketE2eTest() {
        folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\nMarketEnable=1\nALDWYNURL=" +
                                         services.marketUrl() + "\n[Console]\nTextColor=65280\n");
        std::filesystem::create_directories(folder.path() / "Data");
        std::filesystem::create_directories(folder.path() / "overlay");
        folder.write("Data/MyLumacor.dat", "(Belt A)\n[North]\n1 2 3\n");
    }

    std::string log() {
        std::string text;
        std::error_code error;
        for (const auto& entry :
             std::filesystem::directory_iterator(folder.path() / "Log", error)) {
            text += folder.read("Log/" + entry.path().filename().string());
        }
        return text;
    }
    std::size_t callsSize() { return folder.read("overlay/calls.log").size(); }
    QImage pressAndCapture(const std::string& key) {
        const std::size_t before = callsSize();
        capture(desk->xdotool() + "key " + key);
        waitUntil([&] {
            const std::string calls = folder.read("overlay/calls.log");
            return calls.size() > before &&
                   calls.find("NexaCSetNewBitmap", before) != std::string::npos;
        });
        std::this_thread::sleep_for(100ms);
        return QImage(QString::fromStdString(folder.file("overlay/console.png")));
    }
    QImage marketPage1() {
        pressAndCapture("shift+Insert");
        for (const char* key : {"Down", "Down", "Down"}) {
            pressAndCapture(key);
        }
        return pressAndCapture("Right");
    }

    testing::WebServices services{TRELK_TOOLS_DIR};
    testing::TempFolder folder;
    std::unique_ptr<PilotDesk> desk;
};

TEST_F(MarketE2eTest, TheConsoleShowsTheDownloadedMarketAndSaysWhenItIsGone) {
    ASSERT_GT(services.port(), 0);
    desk = std::make_unique<PilotDesk>(
        folder, std::vector<std::string>{"NEXACOMMS_RECORD=" + folder.file("overlay")});
    ASSERT_TRUE(desk->ready()) << "TrelkPro or the game did not start";
    ASSERT_TRUE(waitUntil([&] {
        return log().find("Finished Market Load") != std::string::npos ||
               !services.requests().empty();
    }));
    // The parse is quick; the log does not name its end, so look for the first download only.
    ASSERT_EQ(testing::WebServices::field(services.requests().at(0), 3),
              "Mozilla/3.0 (compatible; Trelk)");
    std::this_thread::sleep_for(1s);

    pressAndCapture("Insert");
    QImage picture = marketPage1();
    EXPECT_GT(countPixels(picture, 0, Yellow), 20) << "the first category highlighted";
    EXPECT_EQ(textRows(picture), 5) << "six categories";

    pressAndCapture("Right");           // the items of the first category
    picture = pressAndCapture("Right"); // the locations of its first item
    EXPECT_GT(countPixels(picture, 0, Yellow), 20);
    EXPECT_EQ(textRows(picture), 7) << "a cell line for each of eight locations";

    // The services go away; "//getmarket" typed in the game reloads, and fails.
    pressAndCapture("Insert");
    services.stop();
    capture(desk->xdotool() + "key F2 type --delay 30 //getmarket");
    capture(desk->xdotool() + "key Return");
    ASSERT_TRUE(waitUntil([&] {
        return log().find("US Market Data Unavailable. Could not download from server.") !=
               std::string::npos;
    })) << log();

    pressAndCapture("Insert");
    picture = marketPage1();
    EXPECT_GT(countPixels(picture, 0, Yellow), 20) << "the unavailable line, highlighted";
    EXPECT_EQ(textRows(picture), 0);
    EXPECT_TRUE(desk->trelk().running());
}

} // namespace
} // namespace trelk::e2e
