#pragma once

#include "addons/AddOnAutoStart.h"
#include "addons/AddOnModules.h"
#include "console/BuiltinPages.h"
#include "console/ConsoleAppearance.h"
#include "console/ConsoleMenu.h"
#include "console/ConsoleNavigation.h"
#include "console/ConsolePage.h"
#include "console/DatabasePages.h"
#include "console/OverlayConsoleSink.h"
#include "console/OverlayLibrary.h"
#include "core/AppCore.h"
#include "core/ProgramSound.h"
#include "data/DataLists.h"
#include "downloads/DatabaseDownload.h"
#include "downloads/HttpClients.h"
#include "downloads/MarketData.h"
#include "downloads/ProxySettings.h"
#include "downloads/UpdateCheck.h"
#include "gamecontrol/GameAutoStart.h"
#include "gamecontrol/GameExitWatcher.h"
#include "keyboard/KeyDispatcher.h"
#include "keyboard/KeyMap.h"
#include "keyboard/KeyRecord.h"
#include "keyboard/KeyboardHook.h"
#include "keyboard/PilotPosition.h"
#include "keyboard/SlashCommands.h"
#include "log/LogBufSettings.h"
#include "log/PilotLog.h"
#include "macros/CommandList.h"
#include "macros/KeyStringSender.h"
#include "macros/MacroTable.h"
#include "radar/RadarScanner.h"
#include "radar/StationDetection.h"
#include "web/UrlList.h"
#include "web/WebBrowser.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace trelk {

// The whole program without its widgets: the application core and the subsystems, wired into
// the start-up and shutdown sequences and into each other. The Qt window and the tests both
// drive this.
//
// The composition root. Every subsystem gets what it asks of the others as a hooks struct in
// its constructor, built by one of the member functions below with designated initialisers.
// Subsystems are members, built in the order they are declared; a hook may reach a member
// declared after its owner because it captures this TrelkApp and names the member only when
// it runs, and no hook runs before the constructor has finished (the lifecycle starts with
// FormCreate). So a hook never calls into a subsystem from another subsystem's constructor.
// Widgets are reached through the MainWindow port, never by hooks the GUI assigns.
class TrelkApp {
public:
    TrelkApp(Platform& platform, MainWindow& window, Prompts& prompts, AppPaths paths,
             VersionInfo version);
    // Runs the window's destruction sequence while every subsystem it calls still exists.
    ~TrelkApp();
    TrelkApp(const TrelkApp&) = delete;
    TrelkApp& operator=(const TrelkApp&) = delete;

    AppCore& core() { return core_; }
    OverlayLibrary& overlay() { return overlay_; }
    DataLists& dataLists() { return dataLists_; }
    KeyStringSender& sender() { return sender_; }
    KeyRecord& keyRecord() { return keyRecord_; }
    KeyboardHook& keyboardHook() { return keyboardHook_; }
    KeyMap& keyMap() { return keyMap_; }
    KeyDispatcher& dispatcher() { return dispatcher_; }
    PilotPosition& pilotPosition() { return pilotPosition_; }
    SlashCommandExecutor& slashCommands() { return slashCommands_; }
    PilotLog& pilotLog() { return pilotLog_; }
    LogBufSettings& logBufSettings() { return logBufSettings_; }
    MacroTable& macroTable() { return macroTable_; }
    CommandList& commandList() { return commandList_; }
    ConsoleNavigation& consoleNavigation() { return consoleNavigation_; }
    ConsolePage& consolePage() { return consolePage_; }
    ConsoleMenu& consoleMenu() { return consoleMenu_; }
    DatabasePages& databasePages() { return databasePages_; }
    ConsoleAppearance& appearance() { return appearance_; }
    StationDetection& station() { return station_; }
    RadarScanner& radar() { return radar_; }
    AddOnModules& addOns() { return addOns_; }
    AddOnAutoStart& addOnAutoStart() { return addOnAutoStart_; }
    GameAutoStart& gameAutoStart() { return gameAutoStart_; }
    GameExitWatcher& gameExitWatcher() { return gameExitWatcher_; }
    HttpClients& httpClients() { return httpClients_; }
    ProxySettings& proxy() { return proxy_; }
    MarketData& market() { return market_; }
    DatabaseDownload& databaseDownload() { return databaseDownload_; }
    UpdateCheck& updateCheck() { return updateCheck_; }
    UrlList& urlList() { return urlList_; }
    WebBrowser& webBrowser() { return webBrowser_; }

    // Every slot of every hooks struct that no subsystem fills yet, as "Struct.slot", in the
    // order of construction. It shrinks as subsystems are built and is empty when all are.
    std::vector<std::string> UnsetHookSlots() const;

private:
    // The hooks of each subsystem: what it reaches in the others.
    LifecycleHooks lifecycleHooks();
    KeyStringSender::Hooks senderHooks();
    DispatcherActions dispatcherActions();
    SlashCommandActions slashCommandActions();
    DataLists::Hooks dataListsHooks();
    ConsolePage::Hooks consolePageHooks();
    BuiltinPages::Sources builtinPageSources();
    ConsoleMenu::Hooks consoleMenuHooks();
    DatabasePages::Hooks databasePagesHooks();
    ConsoleAppearance::Hooks appearanceHooks();
    StationDetection::Hooks stationHooks();
    RadarScanner::Hooks radarHooks();
    AddOnModules::Hooks addOnHooks();
    AddOnAutoStart::Hooks addOnAutoStartHooks();
    GameAutoStart::Hooks gameAutoStartHooks();
    GameExitWatcher::Hooks gameExitWatcherHooks();
    ProxySettings::Hooks proxyHooks();
    MarketData::Hooks marketHooks();
    DatabaseDownload::Hooks databaseDownloadHooks();
    UpdateCheck::Hooks updateCheckHooks();
    UrlList::Hooks urlListHooks();
    WebBrowser::Hooks webBrowserHooks();

    // What several subsystems ask for alike.
    // A failure the pilot must know of. A box only while the pilot works in TrelkPro's own
    // window; otherwise (the game has the focus, start-up, a timer) reportDuringPlay, so
    // nothing takes the focus from the game.
    void reportError(const std::string& message);
    // A message said during play: the status bar and the log, never a box that would take the
    // focus from the game.
    void reportDuringPlay(const std::string& message);
    void addLogLine(const std::string& line);
    void trace(const std::string& line);
    void sendToChannel(const std::string& text, bool clearFirst, int channel);
    void writeInterfaceValue(const std::string& name, const std::string& value);
    std::string formatDflr(const std::string& entry);
    // The console line chosen on the current level.
    std::int32_t currentSelection();

    Platform& platform_;
    MainWindow& window_;
    Prompts& prompts_;
    AppCore core_;
    OverlayLibrary overlay_;
    KeyStringSender sender_;
    KeyRecord keyRecord_;
    KeyboardHook keyboardHook_;
    KeyMap keyMap_;
    KeyDispatcher dispatcher_;
    PilotPosition pilotPosition_;
    SlashCommandExecutor slashCommands_;
    PilotLog pilotLog_;
    LogBufSettings logBufSettings_;
    MacroTable macroTable_;
    CommandList commandList_;
    DataLists dataLists_;
    // The console: its page over the overlay library, the menu and the pages it walks, how it
    // looks, and whether the ship is docked.
    OverlayConsoleSink consoleSink_;
    ConsoleNavigation consoleNavigation_;
    ConsolePage consolePage_;
    BuiltinPages builtinPages_;
    ConsoleMenu consoleMenu_;
    DatabasePages databasePages_;
    ConsoleAppearance appearance_;
    StationDetection station_;
    // The radar scan and its alarm; the camera's click on Print Screen.
    RadarScanner radar_;
    ProgramSound shutterSound_;
    // The add-on exchange through the per-user store, and the add-ons that start with us.
    AddOnModules addOns_;
    AddOnAutoStart addOnAutoStart_;
    // The game starts with us, after the add-ons, and we end with it.
    GameAutoStart gameAutoStart_;
    GameExitWatcher gameExitWatcher_;
    // Downloads: the HTTP clients, their proxy, the market, the coordinate database and the
    // check for a newer database and program.
    HttpClients httpClients_;
    ProxySettings proxy_;
    MarketData market_;
    DatabaseDownload databaseDownload_;
    UpdateCheck updateCheck_;
    // Web pages: the Web tab's list of addresses and the hidden browser that captures them.
    UrlList urlList_;
    WebBrowser webBrowser_;
};

} // namespace trelk
