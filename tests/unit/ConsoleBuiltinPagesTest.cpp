#include "ConsoleTestSupport.h"
#include "console/BuiltinPages.h"

#include <gtest/gtest.h>
#include <limits>

namespace trelk::testing {
namespace {

const std::vector<std::string> kModes = {"Mining Database",        "Pattern Database",
                                         "Information Database",   "Market Database",
                                         "Software Addon Modules", "Subspace Network Interface",
                                         "Pilot Log Viewer",       "Advanced Radar Options"};

class ConsoleBuiltinPages : public ::testing::Test {
protected:
    ConsoleBuiltinPages() : pages(rig.page, sources()) {}

    BuiltinPages::Sources sources() {
        BuiltinPages::Sources s;
        s.stopWebView = [this] { ++webStops; };
        s.addonNames = [this] { return addons; };
        s.logLines = [this] { return &log; };
        s.loggingOn = [this] { return logging; };
        s.radar = [this] { return radar; };
        s.tickTarget = [this](int code) { ticked = code; };
        s.pageCaptions = [this] { return captions; };
        s.browserBusy = [this] { return busy; };
        return s;
    }
    std::vector<std::string> Shown() const {
        std::vector<std::string> lines;
        for (std::int32_t i = 0; i < rig.page.Record().LineCount; ++i) {
            lines.push_back(rig.page.Lines().At(i));
        }
        return lines;
    }

    ConsoleRig rig;
    int webStops = 0;
    std::vector<std::string> addons;
    std::deque<std::string> log;
    bool logging = true;
    RadarOptions radar;
    int ticked = -1;
    std::vector<std::string> captions;
    bool busy = false;
    BuiltinPages pages;
};

TEST_F(ConsoleBuiltinPages, ModeListShowsEveryModeWithTheCurrentOneSelected) {
    std::int32_t selection = -1;
    pages.ShowModeList(kModes, 6, selection);
    EXPECT_EQ(webStops, 1);
    EXPECT_EQ(rig.page.Record().TitleLine, "** Select Mode **");
    EXPECT_EQ(rig.page.Lines().Length(), 22);
    ASSERT_EQ(Shown().size(), 8u);
    EXPECT_EQ(Shown()[0], "\x05Mining Database");
    EXPECT_EQ(selection, 6);
    EXPECT_EQ(rig.page.SelectedLine(), 6);
}

TEST_F(ConsoleBuiltinPages, AddonListKeepsAnySavedSelectionSafely) {
    addons = {"Miner Helper", "Trade Tool"};
    std::int32_t selection = 0;
    pages.AddonListPage("Software Addon Modules", 1, selection);
    EXPECT_EQ(rig.page.Record().TitleLine, "[Software Addon Modules]");
    EXPECT_EQ(Shown(), (std::vector<std::string>{"\x05Miner Helper", "\x05Trade Tool"}));
    EXPECT_EQ(rig.page.SelectedLine(), 1);
    for (std::int32_t hostile : {-5, 1000000, std::numeric_limits<std::int32_t>::max()}) {
        pages.AddonListPage("Software Addon Modules", hostile, selection);
        EXPECT_EQ(selection, hostile);
    }
}

TEST_F(ConsoleBuiltinPages, LogPageShowsTheBufferOrWhyItIsEmpty) {
    logging = false;
    log = {"one"};
    pages.LogPage("Pilot Log Viewer", 0);
    EXPECT_EQ(rig.page.Record().TitleLine, "[Pilot Log Viewer]");
    EXPECT_EQ(Shown(), std::vector<std::string>{"\x03Logger NOT Enabled"});

    logging = true;
    log.clear();
    pages.LogPage("Pilot Log Viewer", 9);
    EXPECT_EQ(Shown(), std::vector<std::string>{"\x03**** Empty Log ****"});
    EXPECT_EQ(rig.page.SelectedLine(), 0);

    for (int i = 0; i < 30; ++i) {
        log.push_back("line " + std::to_string(i));
    }
    pages.LogPage("Pilot Log Viewer", 29);
    EXPECT_EQ(rig.page.Lines().Length(), 44);
    EXPECT_EQ(Shown().front(), "\x05line 0");
    EXPECT_EQ(Shown().back(), "\x05line 29");
    EXPECT_EQ(rig.page.Record().TopLine, 22);
}

TEST_F(ConsoleBuiltinPages, RadarOptionsReadTheRadarState) {
    radar = {true, 4, true, false, true};
    int level = 3;
    pages.RadarOptionsPage("Advanced Radar Options", level, 1);
    EXPECT_EQ(level, 1);
    EXPECT_EQ(ticked, 4);
    EXPECT_EQ(rig.page.Lines().Length(), 18);
    EXPECT_EQ(Shown(),
              (std::vector<std::string>{"\x05Radar Scanning: ON", "\x05Scan For: QUAN",
                                        "\x05Target Found Sound: ON", "\x05Repeat Alarm Sound: OFF",
                                        "\x05Target Popup Msg: ON"}));

    radar.TargetCode = 0;
    pages.RadarOptionsPage("Advanced Radar Options", level, 1);
    EXPECT_EQ(Shown()[1], "\x05Scan For: FLUX");
    radar.TargetCode = 77; // a damaged setting reads as the object target and ticks nothing
    ticked = -1;
    pages.RadarOptionsPage("Advanced Radar Options", level, 1);
    EXPECT_EQ(Shown()[1], "\x05Scan For: ARTIFACT/STRUCTURE");
    EXPECT_EQ(ticked, -1);
}

TEST_F(ConsoleBuiltinPages, PageListSpinsOnTheChosenEntryWhileLoading) {
    pages.PageListPage(0);
    EXPECT_EQ(rig.page.Record().TitleLine, "** Select page to view **");
    EXPECT_EQ(Shown(), std::vector<std::string>{"\x03**** Empty List ****"});
    EXPECT_EQ(pages.SpinnerChar(), '/');

    captions = {"Market", "News"};
    pages.PageListPage(1);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"\x05  Market", "\x05  News"}));

    busy = true;
    std::string spun;
    for (int i = 0; i < 5; ++i) {
        pages.PageListPage(1);
        spun += Shown()[1].substr(1, 1);
        EXPECT_EQ(Shown()[0], "\x05  Market");
    }
    EXPECT_EQ(spun, "-\\|/-");
    EXPECT_EQ(Shown()[1], "\x05- News");
}

TEST(ConsoleLevelSlotTest, LevelsOutsideTheTableUseTheNearestSlot) {
    std::array<std::int32_t, 6> selections{10, 11, 12, 13, 14, 15};
    EXPECT_EQ(LevelSlot(selections, 3), 13);
    EXPECT_EQ(LevelSlot(selections, -1), 10);
    EXPECT_EQ(LevelSlot(selections, 6), 15);
    EXPECT_EQ(LevelSlot(selections, std::numeric_limits<int>::max()), 15);
    LevelSlot(selections, 99) = 7;
    EXPECT_EQ(selections[5], 7);
}

} // namespace
} // namespace trelk::testing
