// The pilot's central task, through the real libraries: in flight, with the game focused, the
// console key opens the console; the arrow keys walk the Mining Database down to an entry and
// send it; the game's chat line takes "/lumacor " and the entry, Enter sends it on channel 5 and
// marks it; the next picture draws the marked entry in the marker colour; the next-entry key
// with the console closed types the following entry.

#include "PilotDesk.h"
#include "support/TempFolder.h"

#include <QColor>
#include <QImage>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace trelk::e2e {
namespace {

using namespace std::chrono_literals;
using ::testing::HasSubstr;

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

class ConsoleE2eTest : public ::testing::Test {
protected:
    ConsoleE2eTest() {
        folder.write("trelkpro.ini", "[Setup]\nLogEnabled=0\n");
        std::filesystem::create_directories(folder.path() / "Data");
        std::filesystem::create_directories(folder.path() / "overlay");
        folder.write("Data/MyLumacor.dat", "(Belt A)\n[North]\n1 2 3\n4 5 6\n[South]\n7 8 9\n");
    }

    // Waits until the overlay record holds more than `count` lines, then returns them.
    std::string callsAfter(std::size_t count) {
        std::string calls;
        waitUntil([&] {
            calls = folder.read("overlay/calls.log");
            return calls.size() > count;
        });
        return calls;
    }
    std::size_t callsSize() { return folder.read("overlay/calls.log").size(); }
    // Presses a key and waits until the console has handed over a new picture.
    QImage pressAndCapture(const std::string& key) {
        const std::size_t before = callsSize();
        capture(desk->xdotool() + "key " + key);
        waitUntil([&] {
            const std::string calls = folder.read("overlay/calls.log");
            return calls.size() > before &&
                   calls.find("NexaCSetNewBitmap", before) != std::string::npos;
        });
        std::this_thread::sleep_for(100ms); // the picture file is complete before its line
        return QImage(QString::fromStdString(folder.file("overlay/console.png")));
    }

    testing::TempFolder folder;
    std::unique_ptr<PilotDesk> desk;
};

TEST_F(ConsoleE2eTest, PilotWalksTheMiningDatabaseSendsAnEntryAndSeesItMarked) {
    desk = std::make_unique<PilotDesk>(
        folder, std::vector<std::string>{"NEXACOMMS_RECORD=" + folder.file("overlay")});
    ASSERT_TRUE(desk->ready()) << "TrelkPro or the game did not start";
    const std::string& x = desk->xdotool();

    // The mode list, with the Mining Database highlighted (yellow).
    QImage picture = pressAndCapture("Insert");
    ASSERT_FALSE(picture.isNull());
    EXPECT_THAT(folder.read("overlay/calls.log"), HasSubstr("NexaCShowConsole 1"));
    EXPECT_GT(countPixels(picture, 0, qRgb(255, 255, 0)), 20);

    // Groups, sub-groups, entries; the second entry; send it.
    pressAndCapture("Right");
    pressAndCapture("Right");
    pressAndCapture("Right");
    picture = pressAndCapture("Down");
    EXPECT_GT(countPixels(picture, 1, qRgb(255, 255, 0)), 20) << "4 5 6 highlighted";
    const std::size_t beforeSend = callsSize();
    capture(x + "key Right");
    EXPECT_THAT(callsAfter(beforeSend).substr(beforeSend), HasSubstr("NexaCShowConsole 0"));

    // The chat line holds the command; Enter sends it on channel 5.
    std::this_thread::sleep_for(500ms);
    capture(x + "key Return");
    ASSERT_TRUE(waitUntil([&] { return desk->transcript() == "5\t/lumacor 4 5 6\n"; }))
        << desk->transcript();

    // Reopened: the sent entry is marked. It is the selected line, so move the highlight off it
    // to see it in the marker colour (red).
    pressAndCapture("Insert");
    picture = pressAndCapture("Up");
    EXPECT_GT(countPixels(picture, 0, qRgb(255, 255, 0)), 20) << "1 2 3 highlighted";
    EXPECT_GT(countPixels(picture, 1, qRgb(255, 0, 0)), 20) << "4 5 6 in the marker colour";
    EXPECT_EQ(countPixels(picture, 0, qRgb(255, 0, 0)), 0) << "only the marked entry is red";

    // Console closed: the next-entry key types the following entry, a marked one, so on
    // channel 3, with its distance from the position "/lumacor 4 5 6" stored.
    const std::size_t beforeHide = callsSize();
    capture(x + "key Insert");
    callsAfter(beforeHide);
    capture(x + "key KP_Subtract");
    std::this_thread::sleep_for(500ms);
    capture(x + "key Return");
    EXPECT_TRUE(waitUntil([&] {
        return desk->transcript() == "5\t/lumacor 4 5 6\n3\t/lumacor 4 5 6  (DFLR 0k)\n";
    })) << desk->transcript();
    EXPECT_TRUE(desk->trelk().running());
}

} // namespace
} // namespace trelk::e2e
