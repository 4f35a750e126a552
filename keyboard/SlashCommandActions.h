#pragma once

#include <functional>
#include <string>
#include <vector>

namespace trelk {

// One row of the Web tab's URL list: its name and its address.
struct UrlListRow {
    std::string Name;
    std::string Url;
    friend bool operator==(const UrlListRow&, const UrlListRow&) = default;
};

// The pilot's own address is the first row, named "Pilot Define URL: " + address; it is made
// or replaced, never added twice. The list is not saved here.
void SetPilotUrl(std::vector<UrlListRow>& rows, const std::string& address);

// What the slash commands ask of subsystems that own the effect. Each subsystem sets its
// members when it is built in; an unset member means the command is recognised and traced but
// does nothing yet.
struct SlashCommandActions {
    using Action = std::function<void()>;

    // "/lumacor" and "//dflr x y z" refresh the distance text of the console's current entry:
    // the console line under the cursor of the current level, without its code character...
    std::function<std::string()> SelectedConsoleEntry;
    // ...handed to the data files' FormatDflr, which sets the page's status line and redraws.
    std::function<std::string(const std::string& entry)> FormatDflr;

    // "//load", "//load+" with an argument: save the Files tab's lists, then reload the data
    // list of the kind the settings name.
    Action SaveDataLists;
    Action LoadSelectedDataList;

    // "//reset": every entry of the current sub-group back to channel 5.
    Action ResetEntryCodes;
    // "//getmarket", after "Enable Updates" was ticked.
    Action StartMarketLoad;
    // "//getroid": set ForceDownload and start the database update check now.
    Action ForceDatabaseUpdateCheck;
    // "//timeon", "//timeoff": the overlay's time display.
    std::function<void(bool on)> NexaCSetShowTimeString;
    // "//hl": toggle the hidden "HeadLights" box, which applies itself.
    Action ToggleHeadLights;
    // "//wide": the console's current wide state (unset: the "Wide Console" box's state).
    std::function<bool()> ConsoleWide;

    // "//url": switch the console to the pilot's web page view (cursor on the first line) and
    // enable the browser activity timer...
    Action ShowPilotWebView;
    // ...set the pilot's row of the Web tab's URL list (null: no list yet)...
    std::vector<UrlListRow>* UrlList = nullptr;
    // ...refresh the console's page list, load the address in the hidden browser, show the
    // console.
    std::function<void(const std::string& address)> LoadPilotWebPage;

    // "//pic" with an argument that is not an integer.
    std::function<void(const std::string& message)> ReportError;
};

} // namespace trelk
