#include "core/LifecycleHooks.h"
#include "core/RegistryValues.h"
#include "core/SettingsController.h"
#include "core/SettingsStore.h"
#include "keyboard/KeyMap.h"
#include "platform/ports/VirtualKeys.h"
#include "platform/sim/SimPlatform.h"
#include "support/SimFolder.h"

#include <atomic>
#include <gtest/gtest.h>
#include <memory>

namespace trelk::testing {
namespace {

// The capture works on the loaded settings, so leaving the tab saves what was captured.
TEST(KeyMapSaveTest, LeavingTheTabSavesCapturedAndUnmappedKeys) {
    SimPlatform platform;
    SimFolder dir{platform.simFiles()};
    const std::string ini = dir.file("trelkpro.ini");
    LifecycleHooks hooks;
    std::vector<std::string> errors;
    RegistryValues registry(platform.userStore(), [](const std::string&) {});
    SettingsController settings(SettingsStore(platform.fileSystem(), ini, dir.dir()), registry,
                                hooks, [&errors](const std::string& e) { errors.push_back(e); });
    settings.LoadSettings();
    std::atomic<bool> shuttingDown{false};
    KeyMap keyMap(settings.values().KeyMap.KM, platform.keyboard(), platform.eventLoop(),
                  shuttingDown);
    keyMap.SetKeyMapTabActive(true);

    auto press = [&platform](int vk) {
        platform.eventLoop().post([&platform, vk] { platform.simKeyboard().pilotPress(vk); });
    };
    press('K');
    keyMap.pnlKMDisplayClick(5);
    platform.simKeyboard().pilotRelease('K');
    press(Vk::Escape);
    keyMap.pnlKMDisplayClick(0);
    settings.TabSheetLeft("tsKeyMap");

    EXPECT_TRUE(errors.empty());
    const Settings saved = SettingsStore(platform.fileSystem(), ini, dir.dir()).Load();
    EXPECT_EQ(saved.KeyMap.KM[5], 'K');
    EXPECT_EQ(saved.KeyMap.KM[0], -1);
    EXPECT_EQ(saved.KeyMap.KM[1], 293);
}

} // namespace
} // namespace trelk::testing
