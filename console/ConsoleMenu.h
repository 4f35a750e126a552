#pragma once

#include "console/BuiltinPages.h"
#include "console/ConsoleNavigation.h"
#include "console/ConsolePage.h"
#include "core/HookSlots.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace trelk {

// The console's menu: eight modes, each a chain of levels, and the navigation keys that walk
// them. Level 0 is the mode list; every level change shows the new level's page or runs the
// mode's action at its deepest level. Main thread only.
class ConsoleMenu {
public:
    // What the levels of other subsystems need. An unset hook is skipped; a question gets the
    // answer written beside it.
    struct Hooks {
        // Database modes 0..2: DatabasePages.
        std::function<bool(int mode)> selectDatabase{}; // SelectDatabase (false: no page is built)
        std::function<void(bool up)> databaseLevel{};   // DatabaseLevel
        std::function<void()> resetDatabasePositions{}; // ResetPositions
        // DataLists::FormatDflr: sets the status line and redraws the current selection.
        std::function<std::string(const std::string& entry)> formatDflr{};

        // Market (mode 3): pages 1..3.
        std::function<void(int page, bool up)> marketPage{};
        std::function<bool()> marketEnabled{}; // "Enable Updates" (false)
        std::function<bool()> marketLoaded{};  // the tables hold data (false)

        // Add-ons (mode 4).
        std::function<std::vector<std::string>()> addonNames{}; // (none registered)
        // RegistryValues: the "ActiveAddon" interface value.
        std::function<void(const std::string& name)> writeActiveAddon{};

        // Web pages (mode 5).
        std::function<std::vector<std::string>()> webPageUrls{}; // addresses in list order (none)
        std::function<void(bool run)> browserBusyTimer{};        // tmrBrowserActive
        std::function<void(const std::string& url)> browserNavigate{};
        std::function<bool()> browserHasDocument{}; // (false)
        // Scrolls the browser window by (dx, dy) pixels and captures the page again.
        std::function<void(int dx, int dy)> scrollWebPage{};
        // ConsoleAppearance::InitConsoleOverlay: the console picture back after a web page.
        std::function<void()> initConsoleOverlay{};

        // Radar options (mode 7).
        std::function<void()> toggleScanning{};        // radar: scanning on/off
        std::function<int()> scanTarget{};             // the "ScanColor" setting (0)
        std::function<void(int code)> setScanTarget{}; // the "ScanColor" setting
        std::function<void()> togglePlaySound{};       // the settings' alarm boxes: click
        std::function<void()> toggleRepeatSound{};
        std::function<void()> toggleDisplayMessage{};
    };

    static constexpr const char* MenuDefinition =
        "\\Mining Database,4\\Pattern Database,4\\Information Database,4\\Market Database,3"
        "\\Software Addon Modules,2\\Subspace Network Interface,2\\Pilot Log Viewer,1"
        "\\Advanced Radar Options,2\\";

    static constexpr int AddonMode = 4;
    static constexpr int WebMode = 5;
    static constexpr int TextScrollStep = 3;
    static constexpr int LinesPerPage = 7;

    ConsoleMenu(ConsoleNavigation& nav, ConsolePage& page, BuiltinPages& pages, Hooks hooks);

    // Rebuilds the modes and returns to the mode list with the first mode selected.
    void ResetMenu();
    // A mode number outside the menu is ignored.
    void SetMode(int n);
    void ChangeLevel(bool up);
    // One line, wrapping at the ends.
    void ListStep(bool up);
    // Seven lines, stopping at the ends.
    void ListPage(bool up);
    void ScrollText(bool left);
    void ShowModeList();

    // An add-on's pop-up: the add-on mode until the next level change restores the mode.
    void PopupRequest();
    // The add-on's pop-off: back to the menu shown before the pop-up (the caller closes the
    // console and empties "ActiveAddon").
    void PopupOff();
    // The add-on list is on the page (its mode at level 1).
    bool AddonListShown() const;
    // The add-on list again after an add-on came or went, the highlight kept on the list.
    void RedrawAddonList();
    // Busy timer off, web view cleared (the mode list's stopWebView source).
    void StopWebView();
    // "//url": the console at the pilot's own web page (the first row of the page list, with
    // the cursor on it) and the busy timer on...
    void ShowPilotWebView();
    // ...then the page list again, with its mark on that row, and the address loading.
    void LoadPilotWebPage(const std::string& address);

    std::int32_t CurrentLevelSelection();
    const Hooks& hooks() const { return hooks_; }
    std::vector<std::string> ModeNames() const;
    int Levels(int mode) const;
    bool ValidMode(int mode) const;

private:
    void RunLevel(bool up);
    void MarketLevel(int level, bool up);
    void AddonLevel(int level, bool up);
    void WebLevel(int level);
    void RadarLevel(int level);
    void ClearSavedSelections();
    void WriteActiveAddon(const std::string& name);
    void BrowserBusy(bool run);
    void ScrollWebPage(int dx, int dy);
    std::int32_t& Slot(int level) { return LevelSlot(nav_.LevelSelection, level); }

    ConsoleNavigation& nav_;
    ConsolePage& page_;
    BuiltinPages& pages_;
    Hooks hooks_;
};

template <> struct HookSlotList<ConsoleMenu::Hooks> {
    using S = ConsoleMenu::Hooks;
    static constexpr const char* Name = "ConsoleMenu::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, selectDatabase),
        TRELK_HOOK_SLOT(S, databaseLevel),
        TRELK_HOOK_SLOT(S, resetDatabasePositions),
        TRELK_HOOK_SLOT(S, formatDflr),
        TRELK_HOOK_SLOT(S, marketPage),
        TRELK_HOOK_SLOT(S, marketEnabled),
        TRELK_HOOK_SLOT(S, marketLoaded),
        TRELK_HOOK_SLOT(S, addonNames),
        TRELK_HOOK_SLOT(S, writeActiveAddon),
        TRELK_HOOK_SLOT(S, webPageUrls),
        TRELK_HOOK_SLOT(S, browserBusyTimer),
        TRELK_HOOK_SLOT(S, browserNavigate),
        TRELK_HOOK_SLOT(S, browserHasDocument),
        TRELK_HOOK_SLOT(S, scrollWebPage),
        TRELK_HOOK_SLOT(S, initConsoleOverlay),
        TRELK_HOOK_SLOT(S, toggleScanning),
        TRELK_HOOK_SLOT(S, scanTarget),
        TRELK_HOOK_SLOT(S, setScanTarget),
        TRELK_HOOK_SLOT(S, togglePlaySound),
        TRELK_HOOK_SLOT(S, toggleRepeatSound),
        TRELK_HOOK_SLOT(S, toggleDisplayMessage),
    };
};
static_assert(ListsEverySlot<ConsoleMenu::Hooks>());

} // namespace trelk
