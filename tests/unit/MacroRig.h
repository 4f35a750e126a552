#pragma once

// The macro table wired to the dispatcher on the sim platform, as the main window wires it:
// F1..F12 and the individual hot keys come back through the real hook and play macros into
// the stand-in game. The settings file is in the sim platform's file system.

#include "KeyDispatcherRig.h"
#include "macros/MacroTable.h"
#include "platform/ports/VirtualKeys.h"
#include "support/SimFolder.h"

#include <string>
#include <vector>

namespace trelk::testing {

class MacroRig {
public:
    explicit MacroRig(const std::string& settings = "") {
        if (!settings.empty()) {
            folder.write("trelkpro.ini", settings);
        }
        keys.onPlayMacro = [this](int n) { table.PlayMacro(n); };
        table.LoadMacros();
    }

    std::string file() const { return folder.read("trelkpro.ini"); }
    // The pilot holds the macro hot key (Scroll Lock by default).
    void holdHotKey() { keys.press(Vk::Scroll); }
    void releaseHotKey() { keys.release(Vk::Scroll); }
    // Shift+F-key with the hot key held: defines macro n from the chat line.
    void defineWithShift(int vkF) {
        keys.press(Vk::Shift);
        keys.tap(vkF);
        keys.release(Vk::Shift);
    }
    const std::vector<std::string>& transcript() { return keys.game().transcript(); }

    KeyDispatcherRig keys;
    SimFolder folder{keys.keys.platform.simFiles()};
    std::vector<std::string> reports;
    MacroTable table{keys.keys.platform.fileSystem(),
                     folder.file("trelkpro.ini"),
                     keys.sender,
                     keys.keys.platform.timers(),
                     keys.dispatcher,
                     [this](const std::string& message) { reports.push_back(message); }};
};

} // namespace trelk::testing
