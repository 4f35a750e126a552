// The headless application on the sim platform: start-up, the close rules and the trace gate.

#include "core/AppCore.h"
#include "platform/sim/SimMainWindow.h"
#include "platform/sim/SimPlatform.h"
#include "support/SimFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <memory>

namespace trelk {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const char* Interface = "Software\\TrelkPro\\Interface";

class AppLifecycleTest : public ::testing::Test {
protected:
    std::unique_ptr<AppCore> makeCore(LifecycleHooks hooks = {}) {
        return std::make_unique<AppCore>(
            platform, window, prompts,
            AppPaths::FromAppDir(folder.dir(), folder.file("trelkpro.ini")),
            MakeVersionInfo("Trelk Pro", 3, 5, 7, "08-Dec-2026"), std::move(hooks));
    }
    AppCore& start(LifecycleHooks hooks = {}) {
        core = makeCore(std::move(hooks));
        const StartupResult result = core->FormCreate();
        EXPECT_TRUE(result.ok) << result.message;
        core->FormShow();
        return *core;
    }
    std::string ini() const { return folder.read("trelkpro.ini"); }
    std::string registry(const std::string& name) {
        return platform.simStore().getString(Interface, name).value_or("<missing>");
    }
    // Replacements of the settings file so far: a save that changes nothing writes nothing.
    int saves() const { return platform.simFiles().replacementCount(folder.file("trelkpro.ini")); }

    SimPlatform platform;
    testing::SimFolder folder{platform.simFiles()};
    SimMainWindow window;
    SimPrompts prompts;
    std::unique_ptr<AppCore> core;
};

TEST_F(AppLifecycleTest, FirstStartCreatesFoldersSettingsAndRegistryValues) {
    AppCore& app = start();

    for (const char* sub : {"Data", "Photo", "Log"}) {
        EXPECT_EQ(platform.simFiles().kindOf(folder.file(sub)), PathKind::Folder) << sub;
    }
    const std::string code = app.settings().values().Setup.InstallCode;
    EXPECT_EQ(code.size(), 22u);
    EXPECT_THAT(ini(), HasSubstr("InstallCode=" + code));
    EXPECT_EQ(window.caption(), "Trelk Pro 3.05.7 Beta");
    EXPECT_EQ(window.trayHint(), window.caption());
    EXPECT_EQ(window.activeTab(), "tsConsole");
    EXPECT_EQ(registry("TrelkProStartUp"), "1");
    EXPECT_EQ(registry("ActiveAddOn"), "");
    EXPECT_EQ(registry("ListHighLight"), "0");
    EXPECT_EQ(registry("ProxyPort"), "0");
    EXPECT_FALSE(app.StartupCompleted());
}

TEST_F(AppLifecycleTest, InstallCodeSurvivesRestarts) {
    start();
    const std::string code = core->settings().values().Setup.InstallCode;
    core->Close(CloseReason::GameExited);
    core.reset();
    platform.manualClock().advance(123456);

    start();
    EXPECT_EQ(core->settings().values().Setup.InstallCode, code);
}

TEST_F(AppLifecycleTest, CloseDuringStartupIsDeferredAndSavesOnce) {
    start();
    const int created = saves();
    platform.step(2000);
    core->Close();

    EXPECT_FALSE(window.destroyed());
    EXPECT_EQ(window.statusText(1), "Please wait. Trelk is Shutting Down!");
    EXPECT_TRUE(core->ShuttingDown());
    EXPECT_TRUE(prompts.questions().empty());

    platform.step(7999);
    EXPECT_FALSE(window.destroyed());
    EXPECT_EQ(saves(), created) << "nothing is saved while the close waits";

    platform.step(1);
    EXPECT_TRUE(window.destroyed());
    EXPECT_TRUE(core->closed());
    EXPECT_EQ(saves(), created + 1);
    EXPECT_THAT(ini(), HasSubstr("[Scanner]"));
    EXPECT_THAT(ini(), HasSubstr("[KeyMap]"));
    EXPECT_EQ(registry("TrelkProStartUp"), "0");

    // A value a save would write, so a save after the close would show.
    core->settings().values().Console.BMPTransperancy = 99;
    platform.step(60000);
    core->Close();
    core->Close(CloseReason::SessionEnd);
    EXPECT_EQ(saves(), created + 1) << "a closed window never saves again";
    EXPECT_THAT(ini(), Not(HasSubstr("BMPTransperancy=99")));
}

TEST_F(AppLifecycleTest, ExitFromMenuAnsweredNoKeepsRunningAndAsksAgain) {
    start();
    platform.step(AppCore::StartupCompletedMs);
    ASSERT_TRUE(core->StartupCompleted());

    prompts.setNextAnswer(false);
    core->ExitTrelk1Click();
    EXPECT_FALSE(window.destroyed());
    EXPECT_THAT(prompts.questions(), ElementsAre("Do you really want to shutdown Trelk ?"));

    // The window's own close button asks again: the menu's flag stays set.
    prompts.setNextAnswer(true);
    core->Close();
    EXPECT_EQ(prompts.questions().size(), 2u);
    EXPECT_TRUE(window.destroyed());
}

TEST_F(AppLifecycleTest, ExitFromMenuDuringStartupAsksThenDefers) {
    start();
    prompts.setNextAnswer(true);
    core->ExitTrelk1Click();
    EXPECT_FALSE(window.destroyed());
    platform.step(AppCore::StartupCompletedMs);
    EXPECT_TRUE(window.destroyed());
    EXPECT_EQ(prompts.questions().size(), 1u) << "the deferred close does not ask twice";
}

TEST_F(AppLifecycleTest, GameExitCloseNeverAsksNorWaits) {
    start();
    prompts.setNextAnswer(false);
    core->ExitTrelk1Click(); // refused: the flag stays set
    platform.step(100);

    core->CloseFromGameExit();
    EXPECT_TRUE(window.destroyed());
    EXPECT_EQ(prompts.questions().size(), 1u);
    EXPECT_THAT(ini(), HasSubstr("[Console]"));
}

TEST_F(AppLifecycleTest, SessionEndClosesWithoutQuestionAfterStartup) {
    start();
    platform.step(AppCore::StartupCompletedMs);
    prompts.setNextAnswer(false);
    core->ExitTrelk1Click();
    ASSERT_FALSE(window.destroyed());

    core->Close(CloseReason::SessionEnd);
    EXPECT_TRUE(window.destroyed());
    EXPECT_EQ(prompts.questions().size(), 1u);
}

TEST_F(AppLifecycleTest, ACloseAskedWhileACloseShowsItsBoxRunsNoSecondSequence) {
    int sequences = 0;
    start({.stopWorkers = [&sequences] { ++sequences; }});
    platform.step(AppCore::StartupCompletedMs);

    // The save at close fails; while its box is open the session ends.
    platform.simFiles().addFault({.step = FileStep::Rename, .path = folder.file("trelkpro.ini")});
    core->settings().values().Console.BMPTransperancy = 99;
    prompts.setWhileNextShown([this] {
        core->Close(CloseReason::SessionEnd);
        EXPECT_FALSE(window.destroyed()) << "the window is not closed under its own box";
    });
    core->Close();
    EXPECT_TRUE(window.destroyed());
    EXPECT_EQ(sequences, 1);
    EXPECT_EQ(prompts.errors().size(), 1u) << "the settings were saved once";
    EXPECT_EQ(registry("TrelkProStartUp"), "0");
}

TEST_F(AppLifecycleTest, ASessionEndDuringTheExitQuestionClosesAfterANo) {
    int sequences = 0;
    start({.stopWorkers = [&sequences] { ++sequences; }});
    platform.step(AppCore::StartupCompletedMs);

    prompts.setNextAnswer(false);
    prompts.setWhileNextShown([this] {
        core->Close(CloseReason::SessionEnd);
        EXPECT_FALSE(window.destroyed());
    });
    core->ExitTrelk1Click();
    // The pilot said No, but the session is ending: it closes without asking again.
    EXPECT_TRUE(window.destroyed());
    EXPECT_EQ(sequences, 1);
    EXPECT_EQ(prompts.questions().size(), 1u);
}

TEST_F(AppLifecycleTest, AWindowCloseDuringTheExitQuestionIsTheOneAnswered) {
    start();
    platform.step(AppCore::StartupCompletedMs);
    prompts.setNextAnswer(false);
    prompts.setWhileNextShown([this] { core->Close(); });
    core->ExitTrelk1Click();
    EXPECT_EQ(prompts.questions().size(), 1u);
    EXPECT_FALSE(window.destroyed());
}

TEST_F(AppLifecycleTest, ClosingRemovesInventorySubkeyOnly) {
    platform.simStore().setString("Software\\TrelkPro\\Inventory\\Ship", "Hold", "42");
    platform.simStore().setString("Software\\TrelkPro\\TrelkScript", "lastcommand", "/jump");
    start();
    platform.step(AppCore::StartupCompletedMs);
    core->Close();

    EXPECT_FALSE(platform.simStore().keyExists("Software\\TrelkPro\\Inventory"));
    EXPECT_FALSE(platform.simStore().keyExists("Software\\TrelkPro\\Inventory\\Ship"));
    EXPECT_EQ(platform.simStore().getString("Software\\TrelkPro\\TrelkScript", "lastcommand"),
              "/jump");
}

TEST_F(AppLifecycleTest, TraceFollowsTheDebugOptionAtEachCall) {
    folder.write("trelkpro.ini", "[Console]\nDebugState=0\n");
    start();
    EXPECT_TRUE(platform.simDebug().lines().empty());
    EXPECT_TRUE(core->DebugOff());

    core->settings().cbDebug.setChecked(true);
    EXPECT_THAT(platform.simDebug().lines(),
                ElementsAre("TrelkPro: NexaCSetDebugMode called with value TRUE "));
    EXPECT_FALSE(core->DebugOff());

    core->settings().cbDebug.setChecked(false);
    core->trace().Trace("TrelkPro: after");
    EXPECT_EQ(platform.simDebug().lines().size(), 1u);
    EXPECT_TRUE(core->DebugOff());
}

TEST_F(AppLifecycleTest, DebugOnByDefaultTracesFromItsOwnStepOnward) {
    bool overlayDebug = false;
    start({.setOverlayDebugMode = [&](bool on) { overlayDebug = on; }});
    // Start-up lines before the option is applied are not written.
    EXPECT_THAT(platform.simDebug().lines(), Not(Contains("TrelkPro Starting!")));
    EXPECT_THAT(platform.simDebug().lines(),
                Contains("TrelkPro: NexaCSetDebugMode called with value TRUE "));

    // Start-up switched the library's debug mode on; what follows is the option's own doing.
    overlayDebug = false;
    core->settings().cbDebug.setChecked(false);
    core->settings().cbDebug.setChecked(true);
    EXPECT_TRUE(overlayDebug);
    platform.step(AppCore::StartupCompletedMs);
    core->Close();
    core->FormDestroy();
    EXPECT_THAT(platform.simDebug().lines(), Contains("TrelkPro Shutdown!"));
    EXPECT_THAT(folder.read("trelkpro.ini"), HasSubstr("DebugState=1"));
}

TEST_F(AppLifecycleTest, StartupFailsWhenDataFolderCannotBeCreated) {
    folder.write("Data", "a file where the folder should be");
    core = makeCore();
    const StartupResult result = core->FormCreate();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Cannot create director" + folder.dir() + "Data/");
}

TEST_F(AppLifecycleTest, MissingDatabaseOpensDownloadElseChecksForUpdate) {
    int downloads = 0;
    int checks = 0;
    auto run = [&] {
        core = makeCore({.startDatabaseUpdateCheck = [&] { ++checks; },
                         .openDatabaseDownload = [&] { ++downloads; }});
        ASSERT_TRUE(core->FormCreate().ok);
        core->Close(CloseReason::GameExited);
        core.reset();
    };
    run(); // no Data folder yet
    EXPECT_EQ(downloads, 1);
    run(); // Data exists but holds no database
    EXPECT_EQ(downloads, 2);
    folder.write("Data/MyLumacor.dat", "(Trk Data)\n");
    run();
    EXPECT_EQ(checks, 1);
}

TEST_F(AppLifecycleTest, BrokenStoreIsReportedOnceAndStartupGoesOn) {
    platform.simStore().setFailure("database is locked");
    AppCore& app = start();
    EXPECT_THAT(window.statusText(1), HasSubstr("database is locked"));
    EXPECT_TRUE(app.registry().failureReported());

    window.setStatusText(1, "");
    platform.step(AppCore::StartupCompletedMs);
    app.Close();
    EXPECT_TRUE(window.destroyed());
    EXPECT_EQ(window.statusText(1), "") << "reported once, not again at close";
}

TEST_F(AppLifecycleTest, LeavingATabSavesItsGroup) {
    start();
    platform.step(AppCore::StartupCompletedMs);
    core->settings().values().Console.BMPTransperancy = 99;
    core->settings().TabSheetLeft("tsWeb");
    EXPECT_THAT(ini(), Not(HasSubstr("BMPTransperancy=99")));
    core->settings().TabSheetLeft("tsConsole");
    EXPECT_THAT(ini(), HasSubstr("BMPTransperancy=99"));
}

TEST_F(AppLifecycleTest, ProxyMirrorShowsTheProxyInEffect) {
    folder.write("trelkpro.ini", "[Setup]\nProxyEnabled=1\nProxyURL=proxy.local\nProxyPort=3128\n");
    start();
    EXPECT_EQ(registry("ProxyURL"), "proxy.local");
    EXPECT_EQ(registry("ProxyPort"), "3128");
}

TEST_F(AppLifecycleTest, TrayMenuHandlersDriveTheWindowAndHelp) {
    start();
    core->Hide1Click();
    EXPECT_FALSE(window.isWindowVisible());
    core->JvTrayIcon1DblClick();
    EXPECT_TRUE(window.isWindowVisible());
    // A single click: the double click's work where the notification area has no double
    // click, nothing where it has.
    core->Hide1Click();
    core->JvTrayIcon1Click();
    EXPECT_FALSE(window.isWindowVisible());
    platform.simDesktop().setTrayDeliversSingleClicksOnly(true);
    core->JvTrayIcon1Click();
    EXPECT_TRUE(window.isWindowVisible());

    core->TrelkHelp2Click();
    EXPECT_THAT(window.statusText(1), HasSubstr("Unable to open the help file"));
    folder.write("trelkpro.html", "<html></html>");
    core->TrelkHelp2Click();
    EXPECT_THAT(platform.simLauncher().openedDocuments(),
                ElementsAre(folder.dir() + "trelkpro.html"));
}

} // namespace
} // namespace trelk
