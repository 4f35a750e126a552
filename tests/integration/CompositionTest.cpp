// How the program is put together: the hook slots the composition root leaves to subsystems not
// built yet, and the main window's part in the start-up and shutdown sequences.

#include "app/TrelkApp.h"
#include "support/SimDesk.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

class CompositionTest : public ::testing::Test, protected testing::SimDesk {
protected:
    CompositionTest() { installLibraries(); }
};

// A subsystem built in fills its slots in TrelkApp and takes them off this list; a slot added
// to a struct and left unset appears here. Grouped by the subsystem that will fill them.
TEST_F(CompositionTest, OnlySlotsOfSubsystemsNotBuiltYetAreUnset) {
    const std::vector<std::string> expected = {};
    EXPECT_EQ(start().UnsetHookSlots(), expected);
}

TEST_F(CompositionTest, TheKeyMapTabJoinsStartUpSettingsAndShutdownThroughTheWindow) {
    start();
    EXPECT_FALSE(window.keyMapFilterInstalled()) << "nothing runs while the program is built";
    ASSERT_TRUE(app->core().FormCreate().ok);
    EXPECT_TRUE(window.keyMapFilterInstalled());
    EXPECT_EQ(window.keyMapPanelRefreshes(), 1) << "once, for the settings loaded at start-up";

    app->core().settings().LoadSettings();
    EXPECT_EQ(window.keyMapPanelRefreshes(), 2);

    app.reset();
    EXPECT_FALSE(window.keyMapFilterInstalled());
}

} // namespace
} // namespace trelk
