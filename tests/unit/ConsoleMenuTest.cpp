#include "console/ConsoleMenu.h"

#include "ConsoleTestSupport.h"
#include "console/BuiltinPages.h"

#include <gtest/gtest.h>
#include <limits>

namespace trelk::testing {
namespace {

class ConsoleMenuTest : public ::testing::Test {
protected:
    ConsoleMenuTest() : pages(rig.page, sources()), menu(nav, rig.page, pages, hooks()) {
        menu.ResetMenu();
        rig.page.ShowConsole();
    }

    BuiltinPages::Sources sources() {
        BuiltinPages::Sources s;
        s.stopWebView = [this] { menu.StopWebView(); };
        s.addonNames = [this] { return addons; };
        s.logLines = [this] { return &log; };
        s.loggingOn = [] { return true; };
        s.radar = [this] { return radar; };
        s.pageCaptions = [this] { return urls; };
        return s;
    }
    ConsoleMenu::Hooks hooks() {
        ConsoleMenu::Hooks h;
        h.selectDatabase = [this](int mode) {
            events.push_back("select " + std::to_string(mode));
            return databaseReady;
        };
        h.databaseLevel = [this](bool) {
            events.push_back("level " + std::to_string(nav.CurrentLevel));
            if (nav.CurrentLevel == 0) {
                menu.ShowModeList();
            } else if (nav.CurrentLevel == 3) {
                rig.page.ClearPage();
                for (const char* entry : {"1 2 3", "4 5 6", "7 8 9"}) {
                    rig.page.AddPageLine(entry, 5);
                }
                rig.page.SelectLine(0);
            }
        };
        h.formatDflr = [this](const std::string& entry) {
            events.push_back("dflr " + entry);
            return std::string();
        };
        h.marketPage = [this](int page, bool) {
            events.push_back("market " + std::to_string(page));
        };
        h.addonNames = [this] { return addons; };
        h.writeActiveAddon = [this](const std::string& name) { activeAddon = name; };
        h.webPageUrls = [this] { return urls; };
        h.browserBusyTimer = [this](bool run) { busy = run; };
        h.browserNavigate = [this](const std::string& url) { events.push_back("navigate " + url); };
        h.browserHasDocument = [] { return true; };
        h.scrollWebPage = [this](int dx, int dy) {
            events.push_back("scroll " + std::to_string(dx) + " " + std::to_string(dy));
        };
        h.initConsoleOverlay = [this] { events.push_back("init"); };
        h.toggleScanning = [this] { radar.Scanning = !radar.Scanning; };
        h.scanTarget = [this] { return radar.TargetCode; };
        h.setScanTarget = [this](int code) { radar.TargetCode = code; };
        h.togglePlaySound = [this] { radar.PlaySound = !radar.PlaySound; };
        h.toggleRepeatSound = [this] { radar.RepeatSound = !radar.RepeatSound; };
        h.toggleDisplayMessage = [this] { radar.DisplayMessage = !radar.DisplayMessage; };
        return h;
    }

    // Highlights mode n on the mode list and goes down into it.
    void Enter(int mode) {
        while (nav.CurrentMode != mode) {
            menu.ListStep(false);
        }
        menu.ChangeLevel(false);
    }
    std::string Line(std::int32_t i) const { return rig.page.Lines().At(i); }
    const std::string& Title() const { return rig.page.Record().TitleLine; }

    ConsoleRig rig;
    ConsoleNavigation nav;
    std::vector<std::string> addons;
    std::deque<std::string> log;
    RadarOptions radar;
    std::vector<std::string> urls;
    std::vector<std::string> events;
    std::string activeAddon = "unset";
    bool databaseReady = true;
    bool busy = false;
    BuiltinPages pages;
    ConsoleMenu menu;
};

TEST_F(ConsoleMenuTest, ResetBuildsTheModesAndShowsTheModeList) {
    ASSERT_EQ(nav.Menus.size(), 8u);
    EXPECT_EQ(nav.Menus[3].Levels, 3);
    EXPECT_EQ(nav.CurrentModeName, "Mining Database");
    EXPECT_EQ(Line(7), "\x05"
                       "Advanced Radar Options");

    // Up on the mode list stays there and draws it again.
    rig.page.SetPageTitle("other");
    menu.ChangeLevel(true);
    EXPECT_EQ(nav.CurrentLevel, 0);
    EXPECT_EQ(Title(), "** Select Mode **");
    EXPECT_EQ(rig.page.SelectedLine(), 0);
}

TEST_F(ConsoleMenuTest, ModeListSelectionSwitchesModeAndWraps) {
    menu.ListStep(true);
    EXPECT_EQ(nav.CurrentMode, 7);
    EXPECT_EQ(nav.CurrentModeName, "Advanced Radar Options");
    nav.SavedEntry = 4;
    menu.ListStep(false);
    EXPECT_EQ(nav.CurrentMode, 0);
    EXPECT_EQ(nav.SavedEntry, 0);

    log = {"a", "b"};
    Enter(6);
    EXPECT_EQ(nav.CurrentLevel, 1);
    EXPECT_EQ(Title(), "[Pilot Log Viewer]");
    // The deepest level stays and its page is built again.
    log.push_back("c");
    menu.ChangeLevel(false);
    EXPECT_EQ(nav.CurrentLevel, 1);
    EXPECT_EQ(rig.page.Record().LineCount, 3);
}

TEST_F(ConsoleMenuTest, ListStepWrapsAndListPageStopsAtTheEnds) {
    for (int i = 0; i < 10; ++i) {
        log.push_back("line " + std::to_string(i));
    }
    Enter(6);
    nav.LevelSelection[1] = 9;
    menu.ListStep(false);
    EXPECT_EQ(nav.LevelSelection[1], 0);
    menu.ListStep(true);
    EXPECT_EQ(nav.LevelSelection[1], 9);
    nav.LevelSelection[1] = 7;
    menu.ListPage(false);
    EXPECT_EQ(nav.LevelSelection[1], 9);
    EXPECT_EQ(rig.page.SelectedLine(), 9);
    nav.LevelSelection[1] = 2;
    menu.ListPage(true);
    EXPECT_EQ(nav.LevelSelection[1], 0);

    // Closed console: only the entries level steps.
    rig.page.HideConsole();
    menu.ListStep(false);
    EXPECT_EQ(nav.LevelSelection[1], 0);
}

TEST_F(ConsoleMenuTest, SelectionsOutOfRangeNeverEscapeTheLists) {
    log = {"a", "b", "c"};
    Enter(6);
    for (std::int32_t hostile : {std::numeric_limits<std::int32_t>::max(), -5, 1000}) {
        nav.LevelSelection[1] = hostile;
        menu.ListStep(false);
        EXPECT_EQ(nav.LevelSelection[1], 0);
        nav.LevelSelection[1] = hostile;
        menu.ListStep(true);
        EXPECT_GE(nav.LevelSelection[1], 0);
        EXPECT_LE(nav.LevelSelection[1], 2);
    }
    // A page of fifteen lines at level 0 (an add-on's) must not choose a ninth mode.
    menu.ChangeLevel(true);
    rig.page.ClearPage();
    for (int i = 0; i < 15; ++i) {
        rig.page.AddPageLine("x", 5);
    }
    nav.LevelSelection[0] = 8;
    menu.ListStep(false);
    EXPECT_EQ(nav.CurrentMode, 6);
    menu.SetMode(-1);
    menu.SetMode(8);
    EXPECT_EQ(nav.CurrentModeName, "Pilot Log Viewer");
    nav.CurrentLevel = 99;
    menu.ListStep(false);
    menu.ChangeLevel(false);
    EXPECT_EQ(nav.CurrentLevel, 1);
}

TEST_F(ConsoleMenuTest, ScrollTextStaysWithinItsBoundsAndLevelChangesReset) {
    for (int i = 0; i < 67; ++i) {
        menu.ScrollText(false);
    }
    EXPECT_EQ(rig.page.TextOffset(), 200);
    rig.page.SetTextOffset(1);
    menu.ScrollText(true);
    EXPECT_EQ(rig.page.TextOffset(), 0);
    menu.ScrollText(false);
    menu.ChangeLevel(true);
    EXPECT_EQ(rig.page.TextOffset(), 0);
}

TEST_F(ConsoleMenuTest, AddonModeOpensOnlyARegisteredAddon) {
    Enter(4);
    EXPECT_EQ(nav.CurrentLevel, 0);
    EXPECT_EQ(Title(), "** Select Mode **");
    EXPECT_EQ(rig.page.SelectedLine(), 4);

    addons = {"Miner", "Trader"};
    menu.ChangeLevel(false);
    EXPECT_EQ(Title(), "[Software Addon Modules]");
    menu.ListStep(false);
    menu.ChangeLevel(false);
    EXPECT_TRUE(rig.page.AddonPageActive());
    EXPECT_EQ(activeAddon, "Trader");
    menu.ChangeLevel(true);
    EXPECT_FALSE(rig.page.AddonPageActive());
    EXPECT_EQ(activeAddon, "");

    // The chosen add-on unregistered meanwhile: back to the list.
    addons = {"Miner"};
    nav.LevelSelection[1] = 1;
    menu.ChangeLevel(false);
    EXPECT_FALSE(rig.page.AddonPageActive());
    EXPECT_EQ(nav.CurrentLevel, 1);
    EXPECT_EQ(activeAddon, "");
}

TEST_F(ConsoleMenuTest, RadarOptionsToggleAndReturnToTheOptionsPage) {
    radar.TargetCode = 4;
    Enter(7);
    menu.ListStep(false);
    menu.ChangeLevel(false);
    EXPECT_EQ(nav.CurrentLevel, 1);
    EXPECT_EQ(radar.TargetCode, 0);
    EXPECT_EQ(Line(1), "\x05Scan For: FLUX");

    for (std::int32_t option : {0, 2, 3, 4}) {
        nav.LevelSelection[1] = option;
        menu.ChangeLevel(false);
    }
    EXPECT_TRUE(radar.Scanning && radar.PlaySound && radar.RepeatSound && radar.DisplayMessage);
    EXPECT_EQ(Line(4), "\x05Target Popup Msg: ON");
    nav.LevelSelection[1] = 9;
    menu.ChangeLevel(false);
    EXPECT_EQ(nav.CurrentLevel, 1);
}

TEST_F(ConsoleMenuTest, WebPageScrollsInsteadOfMovingTheHighlight) {
    urls = {"http://a.example/", "http://b.example/"};
    Enter(5);
    EXPECT_EQ(events.back(), "init");
    menu.ListStep(false);
    menu.ChangeLevel(false);
    EXPECT_TRUE(nav.WebViewActive);
    EXPECT_TRUE(busy);
    EXPECT_EQ(events.back(), "navigate http://b.example/");

    const std::int32_t before = nav.LevelSelection[2];
    menu.ListStep(true);
    EXPECT_EQ(nav.LevelSelection[2], before);
    EXPECT_FALSE(busy);
    EXPECT_EQ(events.back(), "scroll 0 -100");
    menu.ScrollText(true);
    EXPECT_EQ(events.back(), "scroll -20 0");
    EXPECT_EQ(rig.page.TextOffset(), 0);

    menu.ChangeLevel(true);
    EXPECT_FALSE(nav.WebViewActive);
    EXPECT_EQ(Title(), "** Select page to view **");
}

TEST_F(ConsoleMenuTest, DatabaseAndMarketLevelsGoThroughTheirHooks) {
    menu.ChangeLevel(false);
    menu.ChangeLevel(false);
    menu.ChangeLevel(false);
    EXPECT_EQ(events.back(), "level 3");
    events.clear();
    // The entries page steps with the console closed too, with the distance of the entry.
    rig.page.HideConsole();
    menu.ListStep(false);
    EXPECT_EQ(events, (std::vector<std::string>{"dflr 4 5 6"}));
    EXPECT_EQ(nav.SavedEntry, 1);

    rig.page.ShowConsole();
    menu.ResetMenu();
    databaseReady = false;
    Enter(2);
    EXPECT_EQ(events.back(), "select 2");
    EXPECT_EQ(nav.CurrentLevel, 1);
    EXPECT_EQ(Title(), "** Select Mode **");

    // The market's second page needs its data: back to the first page.
    menu.ChangeLevel(true);
    events.clear();
    Enter(3);
    menu.ChangeLevel(false);
    EXPECT_EQ(nav.CurrentLevel, 1);
    EXPECT_EQ(events, (std::vector<std::string>{"market 1", "market 1"}));
}

TEST_F(ConsoleMenuTest, PopupModeIsRestoredByTheNextLevelChange) {
    Enter(6);
    menu.PopupRequest();
    EXPECT_EQ(nav.CurrentMode, 4);
    menu.ChangeLevel(true);
    EXPECT_EQ(nav.CurrentMode, 6);
    EXPECT_FALSE(nav.PopupRestorePending);
    EXPECT_EQ(nav.CurrentLevel, 0);

    // A reset forgets the pop-up instead of switching to the remembered mode.
    menu.PopupRequest();
    menu.ResetMenu();
    EXPECT_EQ(nav.CurrentMode, 0);
    menu.ChangeLevel(false);
    EXPECT_EQ(nav.CurrentMode, 0);
}

TEST(ConsoleMenuUnwired, WorksWithNoHooksAndBeforeTheFirstReset) {
    ConsoleRig rig;
    BuiltinPages pages(rig.page, {});
    ConsoleNavigation nav;
    ConsoleMenu menu(nav, rig.page, pages, {});
    menu.ChangeLevel(false);
    EXPECT_EQ(nav.CurrentLevel, 0);
    menu.ResetMenu();
    for (int mode = 0; mode < 8; ++mode) {
        menu.SetMode(mode);
        menu.ChangeLevel(false);
        menu.ChangeLevel(false);
        menu.ListStep(false);
        menu.ScrollText(false);
        menu.ChangeLevel(true);
        menu.ChangeLevel(true);
    }
    EXPECT_EQ(nav.CurrentLevel, 0);
}

} // namespace
} // namespace trelk::testing
