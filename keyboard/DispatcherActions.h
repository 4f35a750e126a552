#pragma once

#include "core/HookSlots.h"

#include <functional>
#include <string>
#include <vector>

namespace trelk {

// What the key dispatcher asks of other subsystems, handed to its constructor by the
// composition root. An unset member is skipped and a question gets the neutral answer written
// beside it, so the dispatcher runs with whatever is built.
struct DispatcherActions {
    using Action = std::function<void()>;
    using Question = std::function<bool()>;
    using Direction = std::function<void(bool up)>;

    // Console (not visible).
    Action ShowConsole{};                         // ConsolePage::ShowConsole
    Action HideConsole{};                         // ConsolePage::HideConsole
    Question ConsoleVisible{};                    // ConsolePage::ConsoleVisible
    Action ResetMenu{};                           // ConsoleMenu::ResetMenu
    Direction ChangeLevel{};                      // ConsoleMenu::ChangeLevel
    Direction ListStep{};                         // ConsoleMenu::ListStep
    Direction ListPage{};                         // ConsoleMenu::ListPage
    std::function<void(bool left)> ScrollText{};  // ConsoleMenu::ScrollText
    std::function<int()> CurrentLevelSelection{}; // LevelSelection of CurrentLevel (0)

    // Database pages (no entry chosen).
    std::function<void(bool backwards)> NextEntryStep{}; // DatabasePages::NextEntry
    Action MarkSentEntry{};                              // DatabasePages::MarkSentEntry
    Question EntrySendMode{};                            // DatabasePages::EntrySendMode
    Question InfoMode{};                                 // DatabasePages::InfoMode
    std::function<void(int)> SetEntryIndex{};            // DatabasePages::SetEntryIndex

    // Add-ons (no add-on page).
    Question AddonPageActive{};      // an add-on's page is in the console
    Question AddonHoldsUpLevel{};    // the add-on keeps Up Level to itself
    Action HandBackUpLevel{};        // the add-on gives Up Level back
    Action AddonDownLevelFollowUp{}; // after "DownLevel" was written for the add-on

    // Macros, radar, station, slash commands, overlay.
    std::function<void(int n)> PlayMacro{}; // MacroTable::PlayMacro
    Action ToggleScan{};                    // radar: scanning on/off
    Action StopAlarmRepeat{};               // radar: the repeated alarm
    Question Docked{};                      // StationDetection (not docked)
    std::function<void(const std::string& line)> ExecuteSlashCommand{}; // SlashCommandExecutor
    Action NexaCChannelF5Active{};                                      // OverlayLibrary

    // The user command list of the "Cmd List" tab (empty): CommandList::SteppingList.
    std::function<std::vector<std::string>()> UserCommandList{};

    // Log (empty).
    std::function<void(const std::string& line)> AddLogLine{}; // PilotLog::AddLogLine
    Action DeleteCurrentLogEntry{};                            // PilotLog::DeleteCurrentLogEntry
    Question LogListEmpty{};                                   // PilotLog::Lines().empty()

    // The per-user store's interface values, e.g. ("cursor", "UpList"): RegistryValues.
    std::function<void(const std::string& name, const std::string& value)> WriteInterfaceValue{};

    // An error the user must see (a picture that could not be saved).
    std::function<void(const std::string& message)> reportError{};
    // The short sound played when a screen picture is taken.
    Action playShortSound{};
};

template <> struct HookSlotList<DispatcherActions> {
    using S = DispatcherActions;
    static constexpr const char* Name = "DispatcherActions";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, ShowConsole),
        TRELK_HOOK_SLOT(S, HideConsole),
        TRELK_HOOK_SLOT(S, ConsoleVisible),
        TRELK_HOOK_SLOT(S, ResetMenu),
        TRELK_HOOK_SLOT(S, ChangeLevel),
        TRELK_HOOK_SLOT(S, ListStep),
        TRELK_HOOK_SLOT(S, ListPage),
        TRELK_HOOK_SLOT(S, ScrollText),
        TRELK_HOOK_SLOT(S, CurrentLevelSelection),
        TRELK_HOOK_SLOT(S, NextEntryStep),
        TRELK_HOOK_SLOT(S, MarkSentEntry),
        TRELK_HOOK_SLOT(S, EntrySendMode),
        TRELK_HOOK_SLOT(S, InfoMode),
        TRELK_HOOK_SLOT(S, SetEntryIndex),
        TRELK_HOOK_SLOT(S, AddonPageActive),
        TRELK_HOOK_SLOT(S, AddonHoldsUpLevel),
        TRELK_HOOK_SLOT(S, HandBackUpLevel),
        TRELK_HOOK_SLOT(S, AddonDownLevelFollowUp),
        TRELK_HOOK_SLOT(S, PlayMacro),
        TRELK_HOOK_SLOT(S, ToggleScan),
        TRELK_HOOK_SLOT(S, StopAlarmRepeat),
        TRELK_HOOK_SLOT(S, Docked),
        TRELK_HOOK_SLOT(S, ExecuteSlashCommand),
        TRELK_HOOK_SLOT(S, NexaCChannelF5Active),
        TRELK_HOOK_SLOT(S, UserCommandList),
        TRELK_HOOK_SLOT(S, AddLogLine),
        TRELK_HOOK_SLOT(S, DeleteCurrentLogEntry),
        TRELK_HOOK_SLOT(S, LogListEmpty),
        TRELK_HOOK_SLOT(S, WriteInterfaceValue),
        TRELK_HOOK_SLOT(S, reportError),
        TRELK_HOOK_SLOT(S, playShortSound),
    };
};
static_assert(ListsEverySlot<DispatcherActions>());

} // namespace trelk
