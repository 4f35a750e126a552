// Web pages inside the whole program on the sim platform: the list loaded at start-up, the
// "Subspace Network Interface" mode listing and loading its pages, the capture reaching the
// overlay, the console keys scrolling the page, and "//url".

#include "app/TrelkApp.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimDesk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;

constexpr const char* News = "http://pages.example/news.html";
constexpr const char* Chart = "http://pages.example/chart.html";

class WebWiringTest : public ::testing::Test, protected testing::SimDesk {
protected:
    WebWiringTest() {
        folder.write("TRLP_URL.dat",
                     std::string("News\r\n") + News + "\r\nChart\r\n" + Chart + "\r\n");
        platform.simWebView().setPage(News, {SimWebView::PatternDocument(512, 400)});
        platform.simWebView().setPage(Chart, {SimWebView::PatternDocument(1280, 2000)});
        installLibraries();
    }
    void startProgram() { EXPECT_TRUE(start().core().FormCreate().ok); }
    const TMMFRecord& page() { return app->consolePage().Record(); }
    std::string line(int i) { return app->consolePage().Lines().TextAt(i); }
    // The overlay holds the page's top-left 512 x 256 from (0, top).
    bool overlayShowsPageFrom(int top) {
        const SimOverlayLibrary::Picture& picture = platform.overlay().picture();
        if (picture.width != 512 || picture.height != 256) {
            return false;
        }
        for (std::uint32_t y = 0; y < 256; y += 51) {
            for (std::uint32_t x = 0; x < 512; x += 73) {
                const int px = static_cast<int>(x);
                const int py = static_cast<int>(y);
                if (picture.pixel(x, y) != (SimWebView::PixelAt(px, py + top) & 0xFFFFFFu)) {
                    return false;
                }
            }
        }
        return true;
    }
    void toWebMode() {
        press(Vk::Insert);
        for (int mode = 0; mode < 5; ++mode) {
            press(Vk::Down);
        }
        press(Vk::Right);
    }
};

TEST_F(WebWiringTest, TheSubspaceModeListsThePagesAndAChosenOneReachesTheOverlay) {
    startProgram();
    toWebMode();
    EXPECT_EQ(page().TitleLine, "** Select page to view **");
    EXPECT_EQ(line(0), "  News");
    EXPECT_EQ(line(1), "  Chart");
    EXPECT_FALSE(platform.simWebView().engineRunning()) << "no engine for a list";

    press(Vk::Down);
    platform.simWebView().holdLoads(true);
    press(Vk::Right);
    EXPECT_THAT(platform.simWebView().navigations(), ElementsAre(Chart));
    EXPECT_EQ(line(1).substr(1), " Chart") << "the turning mark on the page that loads";
    const std::string mark = line(1).substr(0, 1);
    platform.step(WebBrowser::BusyIntervalMs);
    EXPECT_NE(line(1).substr(0, 1), mark) << "...which turns";
    EXPECT_NE(platform.overlay().picture().width, 512U);

    platform.simWebView().completeHeld();
    platform.step(1);
    EXPECT_TRUE(overlayShowsPageFrom(0));
    EXPECT_EQ(platform.overlay().consoleMode(), 1);

    // Down List scrolls the page down by 100 pixels, Up List back; the highlight stays.
    press(Vk::Down);
    platform.step(1);
    EXPECT_TRUE(overlayShowsPageFrom(100));
    press(Vk::Down);
    press(Vk::Up);
    platform.step(1);
    EXPECT_TRUE(overlayShowsPageFrom(100));
    EXPECT_EQ(platform.simWebView().scrollY(), 100);

    // Back to the list: the console's own picture again.
    press(Vk::Left);
    EXPECT_EQ(platform.overlay().picture().width, 513U);
    EXPECT_EQ(line(1), "  Chart");
}

TEST_F(WebWiringTest, UrlTypedInTheGameShowsTheAddressAndKeepsOnePilotRowUnsaved) {
    startProgram();
    const std::string before = folder.read("TRLP_URL.dat");
    app->slashCommands().ExecuteSlashCommand(std::string("//url ") + News);
    EXPECT_TRUE(platform.overlay().shown());
    platform.step(1);
    EXPECT_TRUE(overlayShowsPageFrom(0));

    app->slashCommands().ExecuteSlashCommand(std::string("//url ") + Chart);
    platform.step(1);
    EXPECT_THAT(platform.simWebView().navigations(), ElementsAre(News, Chart));
    ASSERT_EQ(app->urlList().Rows().size(), 3U);
    EXPECT_EQ(app->urlList().Rows()[0].Name, std::string("Pilot Define URL: ") + Chart);
    EXPECT_EQ(app->urlList().Rows()[1].Name, "News");
    EXPECT_EQ(folder.read("TRLP_URL.dat"), before);
    EXPECT_EQ(line(0).substr(1), std::string(" Pilot Define URL: ") + Chart);

    press(Vk::Down);
    platform.step(1);
    EXPECT_TRUE(overlayShowsPageFrom(100)) << "the pilot's page scrolls like any other";
}

TEST_F(WebWiringTest, AMissingListIsLoggedAndTheModeSaysTheListIsEmpty) {
    platform.simFiles().remove(folder.file("TRLP_URL.dat"));
    folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\n");
    startProgram();
    EXPECT_THAT(app->pilotLog().Lines(), Contains(::testing::HasSubstr("URL data file not found")));
    toWebMode();
    EXPECT_EQ(line(0), "**** Empty List ****");
}

TEST_F(WebWiringTest, ClosingTheProgramEndsTheEngine) {
    startProgram();
    toWebMode();
    press(Vk::Right);
    platform.step(1);
    EXPECT_TRUE(platform.simWebView().engineRunning());
    app.reset();
    EXPECT_FALSE(platform.simWebView().engineRunning());
}

} // namespace
} // namespace trelk
