// The Command List key walking the pilot's stored list: the real dispatcher, key string sender
// and stand-in game on the sim platform, with the list loaded from a settings file.

#include "KeyDispatcherRig.h"
#include "macros/CommandList.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimFolder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace trelk::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class CmdListStepping : public ::testing::Test {
protected:
    CmdListStepping() {
        rig.commandSource = [this] { return list.SteppingList(); };
    }
    // Start-up: the list is loaded while the program starts; the key is first pressed after
    // the idle marks of both lists have set (2 s after the dispatcher was made).
    void start(const std::string& stored) {
        folder.write("trelkpro.ini", "[Commands]\nCmdList=" + stored + "\n");
        list.Load();
        rig.wait(2001);
    }
    // What one press of the Command List key typed into the game's chat line.
    std::string press() {
        const std::size_t before = rig.keyboard().injected().size();
        rig.tap(Vk::Pause);
        if (rig.keyboard().injected().size() == before) {
            return "(nothing)";
        }
        EXPECT_EQ(rig.game().channel(), 5);
        return rig.game().chatLine();
    }

    KeyDispatcherRig rig;
    SimFolder folder{rig.keys.platform.simFiles()};
    std::vector<std::string> errors;
    CommandList list{rig.keys.platform.fileSystem(), folder.file("trelkpro.ini"),
                     [this](const std::string& line) { rig.logLines.push_back(line); },
                     [this] { rig.dispatcher.ResetUserCommandIndex(); },
                     [this](const std::string& message) { errors.push_back(message); }};
};

TEST_F(CmdListStepping, QuickPressesWalkAndWrapAPauseTypesTheSameAgain) {
    start("/cargo;//hl;");
    ASSERT_THAT(list.Entries(), ElementsAre("/cargo", "//hl"));
    EXPECT_EQ(press(), "/cargo");
    EXPECT_EQ(press(), "//hl");
    rig.wait(1900);
    EXPECT_EQ(press(), "/cargo"); // wraps
    rig.wait(2001);
    EXPECT_EQ(press(), "/cargo");
    EXPECT_EQ(press(), "//hl");
    // Nothing was sent: the pilot completes or sends the line.
    EXPECT_THAT(rig.game().transcript(), IsEmpty());
    EXPECT_THAT(errors, IsEmpty());
}

TEST_F(CmdListStepping, TheMacroHotKeyWalksBackFromTheFirstToTheLast) {
    start("/cargo;//hl;/mission;");
    EXPECT_EQ(press(), "/cargo");
    EXPECT_EQ(press(), "//hl");
    // Cancel loads the list again and starts it at the first entry.
    list.Load();
    rig.wait(2001);
    rig.press(Vk::Scroll);
    EXPECT_EQ(press(), "/cargo");
    EXPECT_EQ(press(), "/mission");
    EXPECT_EQ(press(), "//hl");
    rig.release(Vk::Scroll);
    EXPECT_EQ(press(), "/mission");
}

TEST_F(CmdListStepping, TheKeyStepsThroughTheListOnScreenSavedOrNot) {
    start("/cargo;//hl;");
    ASSERT_TRUE(list.AppendEntry("/mission").added);
    EXPECT_EQ(press(), "/cargo");
    EXPECT_EQ(press(), "//hl");
    EXPECT_EQ(press(), "/mission");
    ASSERT_TRUE(list.DeleteEntry(2));
    // The index was left past the shorter list: it starts again.
    EXPECT_EQ(press(), "/cargo");

    list.Clear();
    EXPECT_EQ(press(), "(nothing)");
    // Saving the cleared list stores an empty value; the load after it logs the line and the
    // key stays quiet until a list is saved.
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(folder.read("trelkpro.ini"), "[Commands]\nCmdList=\n");
    EXPECT_THAT(rig.logLines, ElementsAre("No <Pause> commands have been defined."));
    ASSERT_TRUE(list.AppendEntry("/exp").added);
    EXPECT_EQ(press(), "(nothing)");
    ASSERT_TRUE(list.Save());
    EXPECT_EQ(press(), "/exp");
}

TEST_F(CmdListStepping, AnEmptyEntryIsAStepThatOnlyClearsTheChatLine) {
    start("/cargo;;//hl;");
    ASSERT_THAT(list.Entries(), ElementsAre("/cargo", "", "//hl"));
    EXPECT_EQ(press(), "/cargo");
    EXPECT_EQ(press(), "");
    EXPECT_EQ(press(), "//hl");
}

TEST_F(CmdListStepping, BuiltinModeWalksTheSeventeenAndLeavesTheUserListsPlace) {
    start("/cargo;//hl;");
    EXPECT_EQ(press(), "/cargo");
    rig.dispatcher.UseBuiltinCommandList(true); // "//jcmd"
    const std::vector<std::string> builtin = {
        "//hl",           "//timeon",     "//timeoff",     "//jcmd",    "//ucmd",   "//getmarket",
        "//getroid",      "//load",       "//load+",       "//logon",   "//logoff", "//autostarton",
        "//autostartoff", "//autoexiton", "//autoexitoff", "//viewlog", " "};
    std::vector<std::string> typed;
    for (std::size_t i = 0; i < builtin.size(); ++i) {
        typed.push_back(press());
    }
    EXPECT_EQ(typed, builtin);
    EXPECT_EQ(press(), builtin.front()) << "the walk wraps round after the seventeenth";
    rig.dispatcher.UseBuiltinCommandList(false); // "//ucmd"
    // Walking the built-in list took more than 2 s (a pause after each channel key): the user
    // list is idle at the place it had.
    EXPECT_EQ(press(), "/cargo");
    EXPECT_EQ(press(), "//hl");
}

} // namespace
} // namespace trelk::testing
