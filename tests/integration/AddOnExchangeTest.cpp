// The exchange with add-on programs inside the whole program on the sim platform: what an
// add-on writes into the per-user store, what the poll makes of it in the console and the
// Setup list, the keys the add-on page reports, and the add-ons started with the program.

#include "app/TrelkApp.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimDesk.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* Interface = "Software\\TrelkPro\\Interface";

class AddOnExchangeTest : public ::testing::Test, protected testing::SimDesk {
protected:
    void Start(const std::string& ini = "[Setup]\nLogEnabled=1\n") {
        folder.write("trelkpro.ini", ini);
        installLibraries();
        ASSERT_TRUE(start().core().FormCreate().ok);
    }
    void set(const std::string& name, const std::string& value) {
        platform.simStore().setString(Interface, name, value);
    }
    std::string get(const std::string& name) {
        return platform.simStore().getString(Interface, name).value_or("<missing>");
    }
    void poll() { platform.step(AddOnModules::PollMs); }
    void registerAddOn(const std::string& name, const std::string& path = "") {
        set("AppExe", path);
        set("AppReg", name);
        poll();
    }
    // The pilot opens the console and the add-on page of the first registered add-on.
    void openAddOnPage(int row = 0) {
        press(Vk::Insert);
        for (int i = 0; i < ConsoleMenu::AddonMode; ++i) {
            press(Vk::Down);
        }
        press(Vk::Right);
        for (int i = 0; i < row; ++i) {
            press(Vk::Down);
        }
        press(Vk::Right);
    }
    void writePage(const std::string& name, const std::string& title,
                   const std::vector<std::string>& lines, const std::string& highlight = "0") {
        set("Title", title);
        for (std::size_t n = 0; n < 15; ++n) {
            set("Line" + std::to_string(n + 1), n < lines.size() ? lines[n] : "");
        }
        set("ListHighLight", highlight);
        set("DataReady", name);
    }
    void withKey(int modifier, int key) {
        platform.simKeyboard().pilotPress(modifier);
        press(key);
        platform.simKeyboard().pilotRelease(modifier);
        platform.simLoop().processPendingMessages();
    }
    const TMMFRecord& page() { return app->consolePage().Record(); }
    std::string line(int index) { return app->consolePage().Lines().TextAt(index); }
    const std::deque<std::string>& log() { return app->pilotLog().Lines(); }
    bool logHas(const std::string& text) {
        for (const std::string& entry : log()) {
            if (entry.find(text) != std::string::npos) {
                return true;
            }
        }
        return false;
    }
};

TEST_F(AddOnExchangeTest, ARegistrationIsListedWithinOnePollAndItsRequestValuesEmptied) {
    Start();
    set("AppExe", "/opt/miner/miner");
    set("AppReg", "Miner");
    poll();
    ASSERT_EQ(app->addOns().Rows().size(), 1U);
    EXPECT_EQ(app->addOns().Rows()[0].Name, "Miner");
    EXPECT_EQ(app->addOns().Rows()[0].Path, "/opt/miner/miner");
    EXPECT_EQ(get("AddOnRegList"), "Miner,");
    EXPECT_EQ(get("AppReg"), "");
    EXPECT_EQ(get("AppExe"), "");

    // A second registration of a known name keeps the first path; a new name is appended.
    registerAddOn("Miner", "/elsewhere/miner");
    registerAddOn("Radar");
    EXPECT_EQ(app->addOns().Rows()[0].Path, "/opt/miner/miner");
    EXPECT_EQ(get("AddOnRegList"), "Miner,Radar,");
}

TEST_F(AddOnExchangeTest, TheAddOnListOnScreenFollowsRegistrationsAndUnregistrations) {
    Start();
    registerAddOn("Miner");
    press(Vk::Insert);
    for (int i = 0; i < ConsoleMenu::AddonMode; ++i) {
        press(Vk::Down);
    }
    press(Vk::Right);
    EXPECT_EQ(page().TitleLine, "[Software Addon Modules]");
    EXPECT_EQ(page().LineCount, 1);

    registerAddOn("Radar");
    EXPECT_EQ(page().LineCount, 2);
    EXPECT_EQ(line(1), "Radar");
    set("AppUnReg", "Miner");
    poll();
    EXPECT_EQ(page().LineCount, 1);
    EXPECT_EQ(line(0), "Radar");
    EXPECT_EQ(get("AddOnRegList"), "Radar,");
    EXPECT_EQ(get("AppUnReg"), "");
}

TEST_F(AddOnExchangeTest, OnlyTheActiveAddOnsDataReadyDrawsItsPage) {
    Start();
    registerAddOn("Miner");
    registerAddOn("Other");
    openAddOnPage();
    EXPECT_EQ(get("ActiveAddon"), "Miner");
    EXPECT_TRUE(app->consolePage().AddonPageActive());

    writePage("Other", "Other's page", {"not for now"});
    poll();
    EXPECT_NE(page().TitleLine, "Other's page");
    EXPECT_EQ(get("DataReady"), "Other") << "left as written until it matches";

    writePage("Miner", "Miner v1", {"Rocks", "&/cargo", "Gas"}, "2");
    poll();
    EXPECT_EQ(page().TitleLine, "Miner v1");
    EXPECT_EQ(line(0), "Rocks");
    EXPECT_EQ(line(1), "/cargo") << "the leading & is not shown";
    EXPECT_EQ(app->consolePage().SelectedLine(), 1);
    EXPECT_EQ(get("DataReady"), "");
}

TEST_F(AddOnExchangeTest, ADataReadyWaitingForThePageIsDrawnOnceThePilotOpensIt) {
    // The pilot's opening is the program's own write: the poll must not take the store for
    // unchanged just because no other process wrote since.
    Start();
    registerAddOn("Miner");
    writePage("Miner", "Early page", {"one"});
    poll();
    EXPECT_EQ(get("DataReady"), "Miner");
    openAddOnPage();
    poll();
    EXPECT_EQ(page().TitleLine, "Early page");
    EXPECT_EQ(get("DataReady"), "");
}

TEST_F(AddOnExchangeTest, NavigationKeysOnThePageAreReportedAsCursorValues) {
    Start();
    registerAddOn("Miner");
    openAddOnPage();
    struct Case {
        int modifier;
        int key;
        const char* cursor;
    };
    const Case cases[] = {
        {0, Vk::Down, "DownList"},
        {0, Vk::Up, "UpList"},
        {Vk::Shift, Vk::Down, "ShiftDownList"},
        {Vk::Shift, Vk::Up, "ShiftUpList"},
        {Vk::Control, Vk::Down, "CntrlDownList"},
        {Vk::Control, Vk::Up, "CntrlUpList"},
        {0, Vk::Left, "UpLevel"},
        {Vk::Control, Vk::Left, "CntrlUpLevel"},
        {Vk::Control, Vk::Right, "CntrlDownLevel"},
        {0, Vk::Right, "DownLevel"},
        // Shift and Ctrl together: Shift wins.
        {Vk::Shift, Vk::Control, "ShiftDownList"},
    };
    for (const Case& c : cases) {
        set("Cursor", "");
        if (c.modifier == Vk::Shift && c.key == Vk::Control) {
            platform.simKeyboard().pilotPress(Vk::Shift);
            withKey(Vk::Control, Vk::Down);
            platform.simKeyboard().pilotRelease(Vk::Shift);
            platform.simLoop().processPendingMessages();
        } else if (c.modifier != 0) {
            withKey(c.modifier, c.key);
        } else {
            press(c.key);
        }
        EXPECT_EQ(get("Cursor"), c.cursor) << c.cursor;
    }
    EXPECT_EQ(get("ActiveAddon"), "Miner") << "the keys stayed with the add-on";
}

TEST_F(AddOnExchangeTest, UpLevelIsHandedBackByAddOnReleaseAndTakenAgainByDownLevel) {
    Start();
    registerAddOn("Miner");
    openAddOnPage();
    set("AddOnRelease", "Other");
    poll();
    EXPECT_EQ(get("AddOnRelease"), "Other") << "another add-on's release waits";
    set("Cursor", "");
    press(Vk::Left);
    EXPECT_EQ(get("Cursor"), "UpLevel");

    set("AddOnRelease", "Miner");
    poll();
    EXPECT_EQ(get("AddOnRelease"), "");
    set("Cursor", "");
    press(Vk::Left);
    EXPECT_EQ(get("Cursor"), "") << "Up Level navigates the console again";
    EXPECT_EQ(page().TitleLine, "[Software Addon Modules]");
    EXPECT_EQ(get("ActiveAddon"), "");

    // Down Level onto the page and on it: the add-on holds Up Level again.
    press(Vk::Right);
    press(Vk::Right);
    press(Vk::Left);
    EXPECT_EQ(get("Cursor"), "UpLevel");
}

TEST_F(AddOnExchangeTest, DownLevelTypesTheHighlightedAmpersandEntryOnChannelFive) {
    Start();
    registerAddOn("Miner");
    openAddOnPage();
    writePage("Miner", "Cargo", {"Status", "Hold", "&/cargo"}, "3");
    poll();
    press(Vk::Right);
    EXPECT_EQ(get("Cursor"), "DownLevel");
    EXPECT_EQ(platform.game().chatLine(), "/cargo");
    EXPECT_EQ(platform.game().channel(), 5);

    // A line that is no entry types nothing, and what the pilot began is kept.
    press(Vk::Escape);
    platform.simKeyboard().pilotTypes("hi");
    platform.simLoop().processPendingMessages();
    set("ListHighLight", "1");
    poll();
    press(Vk::Right);
    EXPECT_EQ(platform.game().chatLine(), "hi");
}

TEST_F(AddOnExchangeTest, AnotherAddOnsPageIsNeverTypedFromTheOneJustOpened) {
    Start();
    registerAddOn("Miner");
    registerAddOn("Radar");
    openAddOnPage(0);
    writePage("Miner", "Miner", {"&/cargo"}, "1");
    poll();
    press(Vk::Left);
    set("AddOnRelease", "Miner");
    poll();
    press(Vk::Left); // back to the add-on list
    press(Vk::Down);
    press(Vk::Right); // Radar's page, before Radar has drawn anything
    press(Vk::Right);
    EXPECT_EQ(get("Cursor"), "DownLevel");
    EXPECT_EQ(platform.game().chatLine(), "") << "Miner's entry typed on Radar's page";
}

TEST_F(AddOnExchangeTest, RequestWideSwitchesTheWideConsoleOnlyForOnInCapitals) {
    Start();
    set("RequestWide", "ON");
    poll();
    EXPECT_TRUE(app->core().settings().WideConsole.checked());
    EXPECT_TRUE(app->consolePage().WideMode());
    EXPECT_EQ(get("RequestWide"), "");
    set("RequestWide", "on");
    poll();
    EXPECT_FALSE(app->core().settings().WideConsole.checked());
    EXPECT_EQ(get("RequestWide"), "");
}

TEST_F(AddOnExchangeTest, PopUpOpensTheAddOnPageAndPopOffReturnsToTheMenuShownBefore) {
    Start();
    registerAddOn("Miner");
    press(Vk::Insert);
    press(Vk::Down); // "Pattern Database" highlighted
    press(Vk::Insert);
    set("RequestPopUp", "Miner");
    poll();
    EXPECT_TRUE(platform.overlay().shown());
    EXPECT_EQ(get("ActiveAddon"), "Miner");
    EXPECT_EQ(get("RequestPopUp"), "");
    EXPECT_EQ(app->consoleNavigation().CurrentMode, ConsoleMenu::AddonMode);
    writePage("Miner", "Alarm!", {"Rock ahead"});
    poll();
    EXPECT_EQ(page().TitleLine, "Alarm!");

    set("RequestPopOff", "Other");
    poll();
    EXPECT_EQ(get("RequestPopOff"), "") << "emptied in any case";
    EXPECT_TRUE(platform.overlay().shown()) << "another add-on's pop-off is dropped";

    set("RequestPopOff", "Miner");
    poll();
    EXPECT_FALSE(platform.overlay().shown());
    EXPECT_EQ(get("ActiveAddon"), "");
    EXPECT_EQ(app->consoleNavigation().CurrentMode, 1);
    EXPECT_EQ(page().TitleLine, "** Select Mode **");
}

TEST_F(AddOnExchangeTest, ASecondPopUpBeforeThePopOffStillReturnsToTheFirstMenu) {
    Start();
    registerAddOn("Miner");
    registerAddOn("Radar");
    press(Vk::Insert);
    press(Vk::Down);
    press(Vk::Down); // "Information Database"
    set("RequestPopUp", "Miner");
    poll();
    set("RequestPopUp", "Radar");
    poll();
    EXPECT_EQ(get("ActiveAddon"), "Radar");
    set("RequestPopOff", "Radar");
    poll();
    EXPECT_EQ(app->consoleNavigation().CurrentMode, 2) << "not the add-on mode";
    EXPECT_FALSE(platform.overlay().shown());
}

TEST_F(AddOnExchangeTest, UnregisteringTheActiveAddOnResetsTheMenu) {
    Start();
    registerAddOn("Miner");
    openAddOnPage();
    set("AppUnReg", "Miner");
    poll();
    EXPECT_TRUE(app->addOns().Rows().empty());
    EXPECT_EQ(get("ActiveAddon"), "");
    EXPECT_EQ(get("AddOnRegList"), "");
    EXPECT_FALSE(app->consolePage().AddonPageActive());
    EXPECT_EQ(page().TitleLine, "** Select Mode **");
    EXPECT_EQ(app->consoleNavigation().CurrentLevel, 0);
}

TEST_F(AddOnExchangeTest, ANewerWriteBetweenThePollsReadAndItsEmptyingIsKept) {
    Start();
    registerAddOn("Miner");
    // Another add-on registers the moment after the poll read "AppReg".
    set("AppReg", "Radar");
    platform.simStore().beforeNextWriteValues([this] { set("AppReg", "Scanner"); });
    poll();
    EXPECT_EQ(get("AppReg"), "Scanner");
    poll();
    EXPECT_EQ(get("AddOnRegList"), "Miner,Radar,Scanner,");

    // The add-on writes its next page while the poll reads this one: that page is drawn next.
    openAddOnPage();
    writePage("Miner", "Page 1", {"first"});
    platform.simStore().beforeNextWriteValues([this] { set("Line1", "second"); });
    poll();
    EXPECT_EQ(line(0), "first");
    EXPECT_EQ(get("DataReady"), "Miner") << "the page in the store is not the one drawn";
    poll();
    EXPECT_EQ(line(0), "second");
    EXPECT_EQ(get("DataReady"), "");
}

TEST_F(AddOnExchangeTest, APollOfAnUnchangedStoreReadsNothing) {
    Start();
    registerAddOn("Miner");
    const std::uint64_t reads = app->addOns().FullReads();
    const int writes = platform.simStore().writeCount();
    for (int i = 0; i < 10; ++i) {
        poll();
    }
    EXPECT_EQ(app->addOns().FullReads(), reads);
    EXPECT_EQ(platform.simStore().writeCount(), writes);
    set("AppReg", "Radar");
    poll();
    EXPECT_EQ(app->addOns().FullReads(), reads + 1);
}

TEST_F(AddOnExchangeTest, GarbageInPageValuesIsShownSafelyAndTypesNothingHarmful) {
    Start();
    registerAddOn("Miner");
    openAddOnPage();
    const std::string huge(1 << 20, 'x');
    writePage("Miner", "T\x01itle \xC3\xA4 \xE2\x82\xAC",
              {"&/say a\rb\x1b", huge, "\xE4\xF6\xFC plain bytes"}, "abc");
    poll();
    EXPECT_EQ(page().TitleLine, "T itle \xE4 \x80") << "UTF-8 becomes the console's code page";
    EXPECT_EQ(line(0), "/say a b ") << "control characters become blanks";
    EXPECT_EQ(line(1).size(), 512U);
    EXPECT_EQ(line(2), "\xE4\xF6\xFC plain bytes");
    EXPECT_EQ(app->consolePage().SelectedLine(), -1) << "a highlight that is no number: none";

    for (const char* bad : {"16", "-1", "3x", "99999999999999999999"}) {
        set("ListHighLight", bad);
        poll();
        EXPECT_EQ(app->addOns().Highlight(), 0) << bad;
    }
    press(Vk::Right);
    EXPECT_EQ(platform.game().chatLine(), "");
    set("ListHighLight", " 1 ");
    poll();
    press(Vk::Right);
    EXPECT_EQ(platform.game().chatLine(), "/say a b ") << "no Enter or Escape reaches the game";
}

TEST_F(AddOnExchangeTest, NamesThatWouldBreakTheListAreRefusedAndSaidOnce) {
    Start();
    registerAddOn("Mi,ner");
    EXPECT_TRUE(app->addOns().Rows().empty());
    EXPECT_EQ(get("AppReg"), "");
    EXPECT_EQ(get("AddOnRegList"), "");
    EXPECT_THAT(window.statusText(1), HasSubstr("comma"));
    registerAddOn(std::string(200, 'n'));
    registerAddOn("bad\nname");
    EXPECT_TRUE(app->addOns().Rows().empty());
    EXPECT_TRUE(logHas("registration refused"));

    for (int i = 0; i < 1000; ++i) {
        registerAddOn("Addon" + std::to_string(i));
    }
    EXPECT_EQ(app->addOns().Rows().size(), 1000U);
    EXPECT_THAT(get("AddOnRegList"), HasSubstr("Addon998,Addon999,"));
}

TEST_F(AddOnExchangeTest, AStoreThatFailsIsSaidOnceAndThePollGoesOn) {
    Start();
    platform.simStore().setFailure("database disk image is malformed");
    poll();
    poll();
    EXPECT_THAT(window.statusText(1), HasSubstr("malformed"));
    EXPECT_EQ(std::count_if(
                  log().begin(), log().end(),
                  [](const std::string& l) { return l.find("malformed") != std::string::npos; }),
              1);
    platform.simStore().clearFailure();
    set("AppReg", "Miner");
    // The failed store is tried again after a few polls, not at every one.
    platform.step(AddOnModules::PollMs * (AddOnModules::PollsSkippedAfterFailure + 1));
    EXPECT_EQ(get("AddOnRegList"), "Miner,");
    EXPECT_THAT(window.statusText(1), HasSubstr("works again"));
}

TEST_F(AddOnExchangeTest, AStoreBegunAnewWhileRunningGetsTheProgramsValuesBack) {
    Start();
    registerAddOn("Miner");
    platform.simStore().deleteKey("Software\\TrelkPro");
    poll();
    EXPECT_EQ(get("TrelkProStartUp"), "1");
    EXPECT_EQ(get("AddOnRegList"), "Miner,");
}

TEST_F(AddOnExchangeTest, ClosingStopsThePollBeforeTheStopFlag) {
    Start();
    platform.step(AppCore::StartupCompletedMs);
    app->core().Close();
    platform.step(1000);
    EXPECT_EQ(get("TrelkProStartUp"), "0");
    EXPECT_FALSE(app->addOns().Running());
}

TEST_F(AddOnExchangeTest, AutoStartStartsStoredAddOnsUnlessRunningAndTicksThemOnRegistration) {
    Start(
        "[Setup]\nLogEnabled=1\n[AddOnStartup]\nMiner=/opt/miner/miner\nRadar=/opt/radar/radar\n");
    platform.simDesktop().openWindow("Radar");
    EXPECT_FALSE(app->addOnAutoStart().StartDone());
    poll();
    EXPECT_TRUE(app->addOnAutoStart().StartDone());
    ASSERT_EQ(platform.simLauncher().startedPrograms().size(), 1U);
    EXPECT_EQ(platform.simLauncher().startedPrograms()[0].path, "/opt/miner/miner");
    EXPECT_EQ(platform.simLauncher().startedPrograms()[0].workingFolder, "/opt/miner/");
    EXPECT_TRUE(logHas("Starting Addon Miner"));
    EXPECT_FALSE(logHas("Starting Addon Radar"));

    registerAddOn("Miner", "/opt/miner/miner");
    registerAddOn("Scanner", "/opt/scanner");
    EXPECT_TRUE(app->addOns().Rows()[0].Checked);
    EXPECT_FALSE(app->addOns().Rows()[1].Checked);
    poll();
    EXPECT_EQ(platform.simLauncher().startedPrograms().size(), 1U) << "it runs once";
}

TEST_F(AddOnExchangeTest, ShiftHeldAtTheStartSkipsEveryAutomaticStart) {
    Start("[AddOnStartup]\nMiner=/opt/miner/miner\n");
    platform.simKeyboard().pilotPress(Vk::Shift);
    poll();
    EXPECT_TRUE(app->addOnAutoStart().StartDone());
    EXPECT_TRUE(platform.simLauncher().startedPrograms().empty());
}

TEST_F(AddOnExchangeTest, AProgramThatCannotStartIsSaid) {
    Start("[AddOnStartup]\nMiner=/missing/miner\n");
    platform.simLauncher().setSucceeds(false);
    poll();
    EXPECT_THAT(window.statusText(1), HasSubstr("Addon Miner was not started"));
}

TEST_F(AddOnExchangeTest, TickBoxesWriteTheStartListAndAddOnsWithoutAProgramCannotBeTicked) {
    Start("[AddOnStartup]\nGone=/opt/gone\n[Other]\nkeep=1\n");
    registerAddOn("Miner", "/opt/miner/miner");
    registerAddOn("NoExe");
    app->addOns().SetRowChecked(0, true);
    app->addOns().SetRowChecked(1, true);
    app->addOnAutoStart().clbAddOnsClick();
    EXPECT_FALSE(app->addOns().Rows()[1].Checked);
    std::string ini = folder.read("trelkpro.ini");
    EXPECT_THAT(ini, HasSubstr("Miner=/opt/miner/miner"));
    EXPECT_THAT(ini, Not(HasSubstr("NoExe")));
    EXPECT_THAT(ini, HasSubstr("Gone=/opt/gone")) << "entries of add-ons not here now stay";
    EXPECT_THAT(ini, HasSubstr("keep=1"));

    app->addOns().SetRowChecked(0, false);
    app->addOnAutoStart().clbAddOnsClick();
    EXPECT_THAT(folder.read("trelkpro.ini"), Not(HasSubstr("Miner=")));
}

} // namespace
} // namespace trelk
