#pragma once

#include <functional>
#include <string>
#include <vector>

namespace trelk {

// What the key dispatcher asks of other subsystems. Each subsystem sets its members when it is
// built into the main window; an unset member is skipped and a question gets the neutral
// answer written beside it, so the dispatcher runs with whatever is wired.
struct DispatcherActions {
    using Action = std::function<void()>;
    using Question = std::function<bool()>;
    using Direction = std::function<void(bool up)>;

    // Console (not visible).
    Action ShowConsole;
    Action HideConsole;
    Question ConsoleVisible;
    Action ResetMenu;
    Direction ChangeLevel;
    Direction ListStep;
    Direction ListPage;
    std::function<void(bool left)> ScrollText;
    // LevelSelection of CurrentLevel (0).
    std::function<int()> CurrentLevelSelection;

    // Database pages (no entry chosen).
    std::function<void(bool backwards)> NextEntryStep;
    Action MarkSentEntry;
    Question EntrySendMode;
    Question InfoMode;
    std::function<void(int)> SetEntryIndex;

    // Add-ons (no add-on page).
    Question AddonPageActive;
    Question AddonHoldsUpLevel;
    Action HandBackUpLevel;
    Action AddonDownLevelFollowUp;

    // Macros, radar, station, slash commands, overlay.
    std::function<void(int n)> PlayMacro;
    Action ToggleScan;
    Action StopAlarmRepeat;
    Question Docked; // (not docked)
    std::function<void(const std::string& line)> ExecuteSlashCommand;
    Action NexaCChannelF5Active;

    // The user command list of the "Cmd List" tab (empty).
    std::function<std::vector<std::string>()> UserCommandList;

    // Log (empty).
    std::function<void(const std::string& line)> AddLogLine;
    Action DeleteCurrentLogEntry;
    Question LogListEmpty;

    // The per-user store's interface values, e.g. ("cursor", "UpList").
    std::function<void(const std::string& name, const std::string& value)> WriteInterfaceValue;

    // An error the user must see (a picture that could not be saved).
    std::function<void(const std::string& message)> reportError;
    // The short sound played when a screen picture is taken.
    Action playShortSound;
};

} // namespace trelk
