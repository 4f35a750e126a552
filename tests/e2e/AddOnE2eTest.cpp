// An add-on in the game, through the real store: the sample add-on of the add-on kit registers,
// the pilot opens its page from the console, the page reaches the overlay, Down List changes
// it, and Down Level types its highlighted entry into the chat line on channel 5.

#include "PilotDesk.h"
#include "platform/linux/SqliteUserStore.h"
#include "support/TempFolder.h"

#include <QImage>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <thread>

namespace trelk::e2e {
namespace {

using namespace std::chrono_literals;

constexpr const char* Interface = "Software\\TrelkPro\\Interface";

// Highlighted pixels (yellow) on row k of the list, drawn at y = 40 + 13 k.
int highlighted(const QImage& picture, int row) {
    int count = 0;
    for (int y = 40 + 13 * row; y < 53 + 13 * row; ++y) {
        for (int x = 6; x < 250; ++x) {
            count += (picture.pixel(x, y) & 0xFFFFFF) == 0xFFFF00 ? 1 : 0;
        }
    }
    return count;
}

class AddOnE2eTest : public ::testing::Test {
protected:
    AddOnE2eTest() {
        folder.write("trelkpro.ini", "[Setup]\nLogEnabled=0\n");
        std::filesystem::create_directories(folder.path() / "overlay");
    }
    std::string value(const std::string& name) {
        return SqliteUserStore(folder.file("registry.db")).getString(Interface, name).value_or("");
    }
    // The picture handed over last, once a new one came after `before` bytes of the record.
    QImage pictureAfter(std::size_t before) {
        waitUntil([&] {
            const std::string calls = folder.read("overlay/calls.log");
            return calls.find("NexaCSetNewBitmap", before) != std::string::npos;
        });
        std::this_thread::sleep_for(150ms);
        return QImage(QString::fromStdString(folder.file("overlay/console.png")));
    }
    std::size_t recorded() { return folder.read("overlay/calls.log").size(); }
    void key(const std::string& name) {
        capture(desk->xdotool() + "key " + name);
        std::this_thread::sleep_for(80ms);
    }

    testing::TempFolder folder;
    std::unique_ptr<PilotDesk> desk;
};

TEST_F(AddOnE2eTest, TheSampleAddOnsPageIsOpenedWalkedAndItsEntryTypedInTheGame) {
    desk = std::make_unique<PilotDesk>(
        folder, std::vector<std::string>{"NEXACOMMS_RECORD=" + folder.file("overlay")});
    ASSERT_TRUE(desk->ready()) << "TrelkPro or the game did not start";
    ChildProcess addon(TRELK_ADDON_KIT_DIR "/sample_addon.py", {},
                       {"TRELK_REGISTRY=" + folder.file("registry.db")});
    ASSERT_TRUE(waitUntil([&] { return value("AddOnRegList") == "Cargo Hold,"; }))
        << value("AddOnRegList");

    key("Insert");
    for (int i = 0; i < 4; ++i) {
        key("Down");
    }
    key("Right");
    std::size_t before = recorded();
    key("Right");
    ASSERT_TRUE(waitUntil([&] { return value("ActiveAddon") == "Cargo Hold"; }));
    // The add-on's page: its fourth line highlighted (the add-on list had one line only).
    ASSERT_TRUE(waitUntil([&] { return value("DataReady").empty() && value("Title") != ""; }));
    QImage picture = pictureAfter(before);
    ASSERT_FALSE(picture.isNull());
    EXPECT_TRUE(waitUntil([&] {
        picture = QImage(QString::fromStdString(folder.file("overlay/console.png")));
        return highlighted(picture, 3) > 20;
    })) << "the add-on's page with line 4 highlighted";

    before = recorded();
    key("Down");
    EXPECT_TRUE(waitUntil([&] {
        picture = pictureAfter(before);
        return highlighted(picture, 4) > 20 && highlighted(picture, 3) == 0;
    })) << "Down List: the add-on moved its highlight to line 5";

    key("Right");
    std::this_thread::sleep_for(500ms);
    key("Return");
    EXPECT_TRUE(waitUntil([&] { return desk->transcript() == "5\t/jettison gas\n"; }))
        << desk->transcript();

    // The add-on ends with TrelkPro and unregisters.
    desk->trelk().signal(SIGTERM);
    EXPECT_GE(desk->trelk().wait(15s), 0);
    EXPECT_EQ(addon.wait(10s), 0);
    EXPECT_EQ(value("TrelkProStartUp"), "0");
}

} // namespace
} // namespace trelk::e2e
