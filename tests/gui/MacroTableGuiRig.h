#pragma once

// A macro table on the sim platform with its settings file in the sim file system, for the
// widgets of the Macro tab and the definition dialog.

#include "macros/KeyStringSender.h"
#include "macros/MacroKeyState.h"
#include "macros/MacroTable.h"
#include "platform/sim/SimPlatform.h"
#include "support/SimFolder.h"

#include <string>

namespace trelk::testing {

struct MacroTableGuiRig {
    // The dispatcher's key state the table reads and changes while playing.
    struct Keys final : MacroKeyState {
        bool MacroKeyHeld() const override { return macroKeyHeld; }
        bool MacroKeyArmed() const override { return macroKeyArmed; }
        bool ShiftHeld() const override { return shiftHeld; }
        const std::string& TypedLine() const override { return typedLine; }
        void MarkMacroPending() override { macroPending = true; }
        void MarkChannelF5Pending() override { channelF5Pending = true; }
        void ClearTypedLine() override { typedLine.clear(); }
        void ReleaseMacroKey() override { macroKeyHeld = false; }
        void ReleaseShift() override { shiftHeld = false; }
        void DisarmBackspace() override { backspaceArmed = false; }

        bool macroPending = false;
        bool macroKeyHeld = false;
        bool macroKeyArmed = false;
        bool shiftHeld = false;
        bool channelF5Pending = false;
        bool backspaceArmed = true;
        std::string typedLine;
    };

    explicit MacroTableGuiRig(const std::string& settings = "") {
        if (!settings.empty()) {
            folder.write("trelkpro.ini", settings);
        }
        table.LoadMacros();
    }
    std::string file() const { return folder.read("trelkpro.ini"); }

    SimPlatform platform;
    SimFolder folder{platform.simFiles()};
    KeyStringSender sender{platform.keyboard(), platform.eventLoop(), {}};
    Keys keys;
    MacroTable table{platform.fileSystem(),
                     folder.file("trelkpro.ini"),
                     sender,
                     platform.timers(),
                     keys,
                     nullptr};
};

} // namespace trelk::testing
