#pragma once

// A sim platform with the main window registered and the fake hook library in the
// application folder: what the keys tests stand on.

#include "core/TraceOutput.h"
#include "keyboard/KeyboardHook.h"
#include "platform/sim/SimPlatform.h"

#include <cstdint>
#include <string>
#include <vector>

namespace trelk::testing {

struct HookMessage {
    std::uint32_t virtualKey = 0;
    std::uint32_t flags = 0;
    bool keyUp() const { return (flags >> 31) != 0; }
    friend bool operator==(const HookMessage&, const HookMessage&) = default;
};

class SimKeysRig {
public:
    static constexpr const char* AppDir = "/opt/trelk/";

    SimKeysRig() {
        trace.setEnabled(true);
        platform.registerWindow(window);
        window.setHookMessageHandler([this](std::uint32_t vk, std::uint32_t flags) {
            messages.push_back({vk, flags});
            if (onMessage) {
                onMessage(vk, flags);
            }
        });
    }

    void installHook() { platform.installHookLibrary(std::string(AppDir) + "TrkHook.so"); }
    // Installs the library and binds it as start-up does; true when it worked.
    bool hookOn() {
        installHook();
        return !hook.SetKeyBoardHook(window.windowHandle()).has_value();
    }
    const std::vector<std::string>& traces() { return platform.simDebug().lines(); }

    SimPlatform platform;
    SimMainWindow window;
    TraceOutput trace{platform.debugOutput()};
    KeyboardHook hook{platform.libraryLoader(), platform.sharedMemory(), trace, AppDir};
    std::vector<HookMessage> messages;
    std::function<void(std::uint32_t, std::uint32_t)> onMessage;
};

} // namespace trelk::testing
