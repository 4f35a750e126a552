// Binding the hook library on the sim platform: the three start-up failures, the window
// handle in the block, and the shutdown steps with their traces.

#include "SimKeysRig.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace trelk {
namespace {

using Strings = std::vector<std::string>;

class KeyboardHookTest : public ::testing::Test, public testing::SimKeysRig {
protected:
    std::string libraryPath() const { return std::string(AppDir) + "TrkHook.so"; }
    // Shutdown as FormDestroy runs it, with the core's own trace between the steps.
    void shutdown() {
        hook.HookOff();
        trace.Trace("TrelkPro: Freeing TrkHook Library");
        hook.FreeHookLibrary();
        hook.CloseHookMapping();
    }
    void expectNothingHeld() {
        EXPECT_FALSE(hook.libraryLoaded());
        EXPECT_FALSE(hook.hookOn());
        EXPECT_FALSE(hook.mappingHeld());
        EXPECT_EQ(platform.simLibraries().openHandles(libraryPath()), 0);
        EXPECT_EQ(platform.simHook().hookOnCalls(), 0);
    }
};

TEST_F(KeyboardHookTest, BindsPublishesTheHandleLittleEndianAndSwitchesTheHookOn) {
    window.setWindowHandle(0x0420A1B2);
    platform.registerWindow(window);
    installHook();

    EXPECT_EQ(hook.SetKeyBoardHook(window.windowHandle()), std::nullopt);

    EXPECT_EQ(platform.simLibraries().loadRequests(), Strings{"/opt/trelk/TrkHook.so"});
    EXPECT_EQ(*platform.simSharedMemory().bytes("TrkHookMMF"),
              (std::vector<std::uint8_t>{0xB2, 0xA1, 0x20, 0x04}));
    EXPECT_EQ(platform.simHook().hookOnCalls(), 1);
    EXPECT_EQ(
        traces(),
        (Strings{"TrelkPro: Loading TrkHook.so", "TrelkPro: Assingning TrkHook.so functions",
                 "TrelkPro: Creating TrkHook MMF", "TrelkPro: Calling TrkHook_HookOn function"}));

    platform.simKeyboard().pilotPress('Q');
    platform.simLoop().processPendingMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].virtualKey, static_cast<std::uint32_t>('Q'));
}

TEST_F(KeyboardHookTest, ShutdownSwitchesOffFreesAndReleasesInOrder) {
    ASSERT_TRUE(hookOn());
    platform.simDebug().clear();
    platform.simKeyboard().pilotPress('Q'); // queued before HookOff: must not arrive after it

    shutdown();
    platform.simLoop().processPendingMessages();

    EXPECT_EQ(traces(),
              (Strings{"TrelkPro: Calling TrkHook_HookOff function",
                       "TrelkPro: Freeing TrkHook Library", "TrelkPro: TrkHook Library is Free"}));
    EXPECT_EQ(platform.simHook().hookOffCalls(), 1);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(platform.simLibraries().openHandles(libraryPath()), 0);
    EXPECT_FALSE(platform.simSharedMemory().exists("TrkHookMMF"));
}

TEST_F(KeyboardHookTest, EachStartUpFailureGivesItsMessageAndLeavesNothingBehind) {
    // Missing library.
    EXPECT_EQ(hook.SetKeyBoardHook(window.windowHandle()), "Can not load DLL");
    expectNothingHeld();
    EXPECT_NE(hook.loadError().find("TrkHook.so"), std::string::npos);

    // A library without HookOff.
    auto exports = SimHookLibrary::Exports();
    exports.erase("HookOff");
    platform.simLibraries().registerLibrary(libraryPath(), exports);
    EXPECT_EQ(hook.SetKeyBoardHook(window.windowHandle()),
              "Cannot find the required DLL functions");
    expectNothingHeld();

    // A window block that cannot be had: forbidden, then one of the wrong size.
    installHook();
    platform.simSharedMemory().failCreation("TrkHookMMF");
    EXPECT_EQ(hook.SetKeyBoardHook(window.windowHandle()), "Error while create file");
    expectNothingHeld();
    platform.simSharedMemory().clearFailure("TrkHookMMF");
    auto wrongSize = platform.sharedMemory().createOrOpen("TrkHookMMF", 8);
    EXPECT_EQ(hook.SetKeyBoardHook(window.windowHandle()), "Error while create file");
    expectNothingHeld();

    // The shutdown after a failed start has nothing to switch off or free.
    platform.simDebug().clear();
    shutdown();
    EXPECT_EQ(traces(), Strings{"TrelkPro: Freeing TrkHook Library"});
    EXPECT_EQ(platform.simHook().hookOffCalls(), 0);
}

TEST_F(KeyboardHookTest, ABlockLeftByAnEarlierRunIsReusedWithTheNewHandle) {
    auto stale = platform.sharedMemory().createOrOpen("TrkHookMMF", 4);
    const std::uint8_t old[] = {1, 2, 3, 4};
    stale.block->write(0, old, 4);

    ASSERT_TRUE(hookOn());
    EXPECT_EQ(*platform.simSharedMemory().bytes("TrkHookMMF"),
              (std::vector<std::uint8_t>{0x0E, 0x00, 0x00, 0x04}));
}

} // namespace
} // namespace trelk
