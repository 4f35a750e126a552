// The whole program without widgets on the sim platform: the libraries it loads at start-up,
// the lists its worker builds, a slash command typed in the game reaching the log, and what
// the program types into the game on the pilot's keyboard layout.

#include "app/TrelkApp.h"

#include "platform/ports/VirtualKeys.h"
#include "support/SimDesk.h"

#include <algorithm>
#include <fstream>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <iterator>
#include <thread>

namespace trelk {
namespace {

using ::testing::Contains;

class TrelkAppTest : public ::testing::Test, protected testing::SimDesk {};

TEST_F(TrelkAppTest, StartupEndsWithTheLibrarysMessageWhenOneIsMissing) {
    platform.installHookLibrary(folder.dir() + "TrkHook.so");
    start();
    const StartupResult result = app->core().FormCreate();
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Can not load DLL");
}

TEST_F(TrelkAppTest, StartupBindsBothLibrariesAndBuildsTheListsOnItsWorker) {
    installLibraries();
    // The sample database the application folder ships with.
    std::ifstream sample(TRELK_SAMPLE_DATA_DIR "/MyLumacor.dat", std::ios::binary);
    ASSERT_TRUE(sample.good());
    folder.write("Data/MyLumacor.dat", std::string(std::istreambuf_iterator<char>(sample), {}));
    start();
    ASSERT_TRUE(app->core().FormCreate().ok);
    EXPECT_THAT(platform.overlay().callNames(), Contains("NexaCSetDebugMode"));

    // The worker's result arrives on the main thread.
    for (int i = 0; i < 2000 && !app->dataLists().List(1); ++i) {
        platform.step(1);
        std::this_thread::yield();
    }
    ASSERT_NE(app->dataLists().List(1), nullptr);
    EXPECT_FALSE(app->dataLists().List(1)->noData);
}

TEST_F(TrelkAppTest, SlashCommandTypedInTheGameSwitchesLoggingOn) {
    installLibraries();
    start();
    ASSERT_TRUE(app->core().FormCreate().ok);
    ASSERT_FALSE(app->core().settings().LogEnabled.checked());

    platform.simKeyboard().pilotTypes("//logon\r");
    platform.step(0);
    EXPECT_TRUE(app->core().settings().LogEnabled.checked());

    platform.simKeyboard().pilotTypes("Hello, Pilot!\r");
    platform.step(0);
    EXPECT_THAT(app->pilotLog().Lines(), Contains(::testing::HasSubstr("Hello, Pilot!")));
}

TEST_F(TrelkAppTest, StoredCommandsArriveExactlyOnAGermanLayoutWithCapsLockOn) {
    folder.write("trelkpro.ini", "[Commands]\nCmdList=Gr\xFC\xDF"
                                 "e @Base, Sektor 7-G: ^42!;\n");
    installLibraries();
    platform.simKeyboard().setLayout("de");
    platform.simKeyboard().setLockToggled(Vk::Capital, true);
    start();
    ASSERT_TRUE(app->core().FormCreate().ok);

    press(Vk::Pause); // the command-list key
    EXPECT_EQ(platform.game().chatLine(), "Gr\xFC\xDF"
                                          "e @Base, Sektor 7-G: ^42!");
    EXPECT_EQ(platform.game().channel(), 5);
    EXPECT_EQ(platform.simKeyboard().state()[Vk::Capital] & 0x01, 0x01);
}

TEST_F(TrelkAppTest, CharactersTheLayoutLacksAreLeftOutAndTheStatusBarAndLogSaySo) {
    folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\n[Commands]\nCmdList=Gr\xFC\xDF"
                                 "e;\n");
    installLibraries();
    start(); // the US layout: no ü, no ß
    ASSERT_TRUE(app->core().FormCreate().ok);

    press(Vk::Pause);
    EXPECT_EQ(platform.game().chatLine(), "Gre");
    EXPECT_EQ(window.statusText(1), "Left out of the text typed into the game, no key of the "
                                    "keyboard layout types: \xFC (252), \xDF (223)");
    // The log keeps plain ASCII: the codes tell which characters they were.
    EXPECT_THAT(
        app->pilotLog().Lines(),
        Contains(::testing::HasSubstr("no key of the keyboard layout types:  (252),  (223)")));
    EXPECT_TRUE(prompts.errors().empty());
}

// The game has the focus: a failure of any kind is said in the status bar and the log, and no
// box takes the focus from the game. In TrelkPro's own window the pilot gets the box.
TEST_F(TrelkAppTest, FailuresDuringPlayAreSaidInTheStatusBarAndTheLogNeverInABox) {
    folder.write("trelkpro.ini", "[Setup]\nLogEnabled=1\nPhotoEnabled=1\n");
    installLibraries();
    start();
    ASSERT_TRUE(app->core().FormCreate().ok);
    const auto logged = [&](const std::string& text) {
        const auto& lines = app->pilotLog().Lines();
        return std::ranges::any_of(
            lines, [&](const std::string& line) { return line.find(text) != std::string::npos; });
    };

    // A screen picture that cannot be saved.
    platform.simScreen().setFailure("no room on the disk");
    press(Vk::Snapshot);
    EXPECT_THAT(window.statusText(1), ::testing::HasSubstr("no room on the disk"));
    EXPECT_TRUE(logged("no room on the disk"));

    // "//pic" with an argument that is no number.
    platform.simKeyboard().pilotTypes("//pic sunset\r");
    platform.step(0);
    EXPECT_EQ(window.statusText(1), "'sunset' is not a valid integer value");
    EXPECT_TRUE(logged("'sunset' is not a valid integer value"));

    // "//load" whose save of the settings file fails.
    platform.simFiles().addFault(
        {.step = FileStep::Rename, .path = folder.file("trelkpro.ini"), .error = "disk gone"});
    platform.simKeyboard().pilotTypes("//load 1\r");
    platform.step(0);
    EXPECT_THAT(window.statusText(1), ::testing::HasSubstr("The data file lists were not saved."));
    EXPECT_TRUE(logged("The data file lists were not saved."));

    // A log file that cannot be written: the line and the failure stay in the buffer.
    platform.simFiles().addFault({.step = FileStep::Write, .error = "quota exceeded"});
    platform.simKeyboard().pilotTypes("Hello, Pilot!\r");
    platform.step(0);
    EXPECT_THAT(window.statusText(1), ::testing::HasSubstr("quota exceeded"));
    EXPECT_TRUE(logged("Hello, Pilot!"));

    // The stored lists cannot be read (as at start-up, while the game runs).
    platform.simFiles().addFault(
        {.step = FileStep::Read, .path = folder.file("trelkpro.ini"), .error = "I/O error"});
    app->dataLists().RestoreDataLists();
    EXPECT_THAT(window.statusText(1), ::testing::HasSubstr("I/O error"));

    EXPECT_TRUE(prompts.errors().empty()) << prompts.errors().front();

    // The pilot works in TrelkPro's own window: a failure there is a box.
    window.setOwnWindowActive(true);
    platform.simFiles().addFault(
        {.step = FileStep::Rename, .path = folder.file("trelkpro.ini"), .error = "disk gone"});
    app->dataLists().SaveDataLists();
    ASSERT_EQ(prompts.errors().size(), 1u);
    EXPECT_THAT(prompts.errors().front(), ::testing::HasSubstr("disk gone"));
}

} // namespace
} // namespace trelk
