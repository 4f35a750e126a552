#pragma once

#include "console/BuiltinPages.h"
#include "console/ConsoleAppearance.h"
#include "console/ConsoleMenu.h"
#include "console/ConsoleNavigation.h"
#include "console/ConsolePage.h"
#include "console/DatabasePages.h"
#include "console/OverlayConsoleSink.h"
#include "console/OverlayLibrary.h"
#include "core/AppCore.h"
#include "data/DataLists.h"
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
#include "radar/StationDetection.h"

#include <memory>

namespace trelk {

// The whole program without its widgets: the application core and the subsystems, wired into
// the start-up and shutdown sequences and into each other. The Qt window and the tests both
// drive this.
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

private:
    void wireLifecycle();
    void wireDispatcher();
    void wireConsole();
    void wireSlashCommands();
    ConsolePage::Hooks consolePageHooks();
    BuiltinPages::Sources builtinPageSources();
    ConsoleMenu::Hooks consoleMenuHooks();
    DatabasePages::Hooks databasePagesHooks();

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
};

} // namespace trelk
