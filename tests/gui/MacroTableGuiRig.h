#pragma once

// A macro table on the sim platform with its settings file in a temporary folder, for the
// widgets of the Macro tab and the definition dialog.

#include "macros/KeyStringSender.h"
#include "macros/MacroTable.h"
#include "platform/sim/SimPlatform.h"
#include "support/TempFolder.h"

#include <string>

namespace trelk::testing {

struct MacroTableGuiRig {
    // The dispatcher's flags the table reads while playing.
    struct Flags {
        bool MacroPending = false;
        bool MacroKeyHeld = false;
        bool MacroKeyArmed = false;
        bool ShiftHeld = false;
        bool ChannelF5Pending = false;
        bool BackspaceArmed = true;
        std::string TypedLine;
    };

    explicit MacroTableGuiRig(const std::string& settings = "") {
        if (!settings.empty()) {
            folder.write("trelkpro.ini", settings);
        }
        table.LoadMacros();
    }
    std::string file() const { return folder.read("trelkpro.ini"); }

    TempFolder folder;
    SimPlatform platform;
    KeyStringSender sender{platform.keyboard(), platform.eventLoop()};
    Flags flags;
    MacroTable table{folder.file("trelkpro.ini"), sender, platform.timers(),
                     MacroKeyFlags::Of(flags), nullptr};
};

} // namespace trelk::testing
