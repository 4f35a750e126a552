// LinuxLibraryLoader with real files: a missing one, one that is no library, and TrkHook.so.

#include "platform/linux/LinuxLibraryLoader.h"

#include "plugins/trkhook/TrkHookAbi.h"
#include "support/LinuxTestSupport.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace trelk {
namespace {

const std::string HookLibraryPath =
    std::string(TRELK_TOOLS_DIR) + "/../TrelkPro/" + TRKHOOK_LIBRARY_NAME;

TEST(LinuxLibraryLoaderTest, MissingOrBrokenFilesGiveTheReason) {
    testing::TempFolder dir;
    LinuxLibraryLoader loader;
    std::string error;
    EXPECT_EQ(loader.load(dir.file("TrkHook.so"), error), nullptr);
    EXPECT_NE(error.find("TrkHook.so"), std::string::npos) << error;

    linuxtest::WriteFile(dir.file("text.so"), "not a library");
    EXPECT_EQ(loader.load(dir.file("text.so"), error), nullptr);
    EXPECT_FALSE(error.empty());

    EXPECT_EQ(loader.load("", error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(LinuxLibraryLoaderTest, HookLibraryExportsOnlyItsTwoFunctions) {
    LinuxLibraryLoader loader;
    std::string error;
    std::unique_ptr<LoadedLibrary> library = loader.load(HookLibraryPath, error);
    ASSERT_NE(library, nullptr) << error;
    EXPECT_TRUE(error.empty());
    EXPECT_NE(library->symbol(TRKHOOK_EXPORT_ON), nullptr);
    EXPECT_NE(library->symbol(TRKHOOK_EXPORT_OFF), nullptr);
    EXPECT_EQ(library->symbol("HookOnn"), nullptr);
    EXPECT_EQ(library->symbol(""), nullptr);
    // Internals stay hidden, so they can never meet the program's own symbols.
    EXPECT_EQ(library->symbol("_ZN7trkhook11HookSession5startEv"), nullptr);
}

} // namespace
} // namespace trelk
