#pragma once

#include "core/HookSlots.h"

#include <functional>
#include <string>
#include <vector>

namespace trelk {

// What the slash commands ask of subsystems that own the effect, handed to the executor's
// constructor by the composition root. An unset member means the command is recognised and
// traced but does nothing yet.
struct SlashCommandActions {
    using Action = std::function<void()>;

    // "/lumacor" and "//dflr x y z" refresh the distance text of the console's current entry:
    // the console line under the cursor of the current level, without its code character
    // (ConsolePage::Lines at the navigation's selection)...
    std::function<std::string()> SelectedConsoleEntry{};
    // ...handed to DataLists::FormatDflr, which sets the page's status line and redraws.
    std::function<std::string(const std::string& entry)> FormatDflr{};

    // "//load", "//load+" with an argument: save the Files tab's lists
    // (DataLists::SaveDataLists), then reload the data list of the kind the settings name
    // (DataLists::LoadDataList).
    Action SaveDataLists{};
    Action LoadSelectedDataList{};

    // "//reset": every entry of the current sub-group back to channel 5
    // (DatabasePages::ResetEntryCodes).
    Action ResetEntryCodes{};
    // "//autostarton", "//autostartoff": the game's auto start on or off, through its box
    // (GameAutoStart::SetFromCommand).
    std::function<void(bool on)> SwitchGameAutoStart{};
    // "//autoexiton", "//autoexitoff": the auto shutdown with the game on or off, the box and
    // the watcher (GameExitWatcher::SetAutoExit).
    std::function<void(bool on)> SwitchGameAutoExit{};
    // "//getmarket", after "Enable Updates" was ticked: the market download.
    Action StartMarketLoad{};
    // "//getroid": set ForceDownload and start the database update check now.
    Action ForceDatabaseUpdateCheck{};
    // "//timeon", "//timeoff": the overlay's time display (OverlayLibrary).
    std::function<void(bool on)> NexaCSetShowTimeString{};
    // "//hl": toggle the hidden "HeadLights" box, which applies itself (ConsoleAppearance).
    Action ToggleHeadLights{};
    // "//wide": the console's current wide state (ConsolePage::WideMode; unset: the "Wide
    // Console" box's state).
    std::function<bool()> ConsoleWide{};

    // "//url", all three from the web pages: switch the console to the pilot's web page view
    // (cursor on the first line) and enable the browser activity timer...
    Action ShowPilotWebView{};
    // ...set the pilot's row of the Web tab's URL list (UrlList::SetPilotUrl)...
    std::function<void(const std::string& address)> SetPilotUrlRow{};
    // ...refresh the console's page list, load the address in the hidden browser, show the
    // console.
    std::function<void(const std::string& address)> LoadPilotWebPage{};

    // "//pic" with an argument that is not an integer: said to the pilot.
    std::function<void(const std::string& message)> ReportError{};
};

template <> struct HookSlotList<SlashCommandActions> {
    using S = SlashCommandActions;
    static constexpr const char* Name = "SlashCommandActions";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, SelectedConsoleEntry),
        TRELK_HOOK_SLOT(S, FormatDflr),
        TRELK_HOOK_SLOT(S, SaveDataLists),
        TRELK_HOOK_SLOT(S, LoadSelectedDataList),
        TRELK_HOOK_SLOT(S, ResetEntryCodes),
        TRELK_HOOK_SLOT(S, SwitchGameAutoStart),
        TRELK_HOOK_SLOT(S, SwitchGameAutoExit),
        TRELK_HOOK_SLOT(S, StartMarketLoad),
        TRELK_HOOK_SLOT(S, ForceDatabaseUpdateCheck),
        TRELK_HOOK_SLOT(S, NexaCSetShowTimeString),
        TRELK_HOOK_SLOT(S, ToggleHeadLights),
        TRELK_HOOK_SLOT(S, ConsoleWide),
        TRELK_HOOK_SLOT(S, ShowPilotWebView),
        TRELK_HOOK_SLOT(S, SetPilotUrlRow),
        TRELK_HOOK_SLOT(S, LoadPilotWebPage),
        TRELK_HOOK_SLOT(S, ReportError),
    };
};
static_assert(ListsEverySlot<SlashCommandActions>());

} // namespace trelk
