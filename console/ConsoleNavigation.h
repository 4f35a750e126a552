#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace trelk {

// One mode of the console menu: its name and its deepest level.
struct TMenuRec {
    std::string Name;
    std::int32_t Levels = 0;
};

// Where the pilot is in the console menu: the mode, the level, the line chosen on every level
// and the selections remembered for the deeper pages. Shared by the menu navigation and the
// page builders; main thread only. It lives for the whole run, so closing and reopening the
// console shows the last page again.
struct ConsoleNavigation {
    std::vector<TMenuRec> Menus;
    std::int32_t CurrentMode = 0;
    std::string CurrentModeName;
    int CurrentLevel = 0; // 0..5
    // The selected line of every level; index it through LevelSlot, never directly.
    std::array<std::int32_t, 6> LevelSelection{};

    // Remembered selections of the deeper pages (SavedGroup also serves the add-on list).
    std::int32_t SavedGroup = 0;
    std::int32_t SavedSubgroup = 0;
    std::int32_t SavedEntry = 0;
    // The market pages' two remembered selections.
    std::int32_t MarketSelection1 = 0;
    std::int32_t MarketSelection2 = 0;

    // An add-on's pop-up switched to its mode; the next level change restores RestoreMode.
    bool PopupRestorePending = false;
    std::int32_t RestoreMode = 0;

    // A web page, not the page list, is in the console, and the address chosen for it.
    bool WebViewActive = false;
    std::string WebPageUrl;
};

} // namespace trelk
