#pragma once

#include "platform/ports/FileSystem.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trelk {

// The pilot's list of chat commands on the "Cmd List" tab, walked in the game with the
// Command List key. The list on screen is the working list: the key steps through it, saved or
// not, until the next Load. The settings file changes only on Save.
//
// Stored as "CmdList" in section "Commands": every entry followed by ';'. Empty entries are
// kept (an empty step only clears the chat line), so a saved list loads back exactly as it was.
class CommandList {
public:
    using TextSink = std::function<void(const std::string&)>;

    static constexpr const char* Section = "Commands";
    static constexpr const char* Key = "CmdList";
    static constexpr const char* NoCommandsLine = "No <Pause> commands have been defined.";

    // addLogLine receives the "no commands" line; resetUserCmdIndex puts the dispatcher's
    // UserCmdIndex back to 1; reportError shows what the pilot must know (a failed save, an
    // entry that cannot be typed).
    CommandList(FileSystem& fileSystem, std::string settingsFile, TextSink addLogLine,
                std::function<void()> resetUserCmdIndex, TextSink reportError);

    // Cancel (bCancelCommandClick), the tab's show and start-up: the list from the settings
    // file. A file that exists but cannot be read is reported and the list on screen is kept.
    void Load();
    // Save (bSaveCommandsClick): writes the list, then loads it back. A failed write is
    // reported, returns false and keeps the list on screen as it is.
    bool Save();
    // Clear (bClearCmdListClick): empties the list on screen only.
    void Clear();

    struct EntryResult {
        bool added = false;
        // What the edit line holds afterwards: empty once added, otherwise the text to correct.
        std::string editText;
    };
    // Enter on the edit line: appends the text, also an empty one. A text that could not be
    // stored or typed as it is (see EntryProblem) is reported and not added. Letters of any
    // language are typed as they are: a command is text for the chat line.
    EntryResult AppendEntry(const std::string& text);
    // Delete: removes the entry at row (0-based); a row outside the list removes nothing.
    bool DeleteEntry(int row);

    const std::vector<std::string>& Entries() const { return entries_; }
    // Set by Load when the loaded list is not empty.
    bool CommandsAvailable() const { return commandsAvailable_; }
    // What the Command List key walks: the working list, or nothing while no commands were
    // loaded.
    std::vector<std::string> SteppingList() const;

    // Run after every change of the list. Views are never removed: a view lives as long as the
    // list or guards itself.
    void addView(std::function<void()> view) { views_.push_back(std::move(view)); }

    // Why a typed entry cannot be added, or empty when it can: ';' would split it when stored;
    // control characters would press keys (Enter, Backspace) in the game instead of typing a
    // character.
    static std::string EntryProblem(std::string_view text);
    // The row an arrow key moves the edit line's list to, as in a simple combo box: one row
    // up or down from currentRow (-1: none chosen yet), held at the first and the last row.
    // -1 when the list has no rows.
    static int ArrowRow(int currentRow, int rowCount, bool up);
    static std::vector<std::string> ParseStored(std::string_view stored);
    static std::string ToStored(const std::vector<std::string>& entries);

private:
    void changed();

    FileSystem& fileSystem_;
    std::string settingsFile_;
    TextSink addLogLine_;
    std::function<void()> resetUserCmdIndex_;
    TextSink reportError_;
    std::vector<std::string> entries_;
    bool commandsAvailable_ = false;
    std::vector<std::function<void()>> views_;
};

} // namespace trelk
