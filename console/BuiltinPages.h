#pragma once

#include "console/ConsolePage.h"
#include "core/HookSlots.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace trelk {

// A page title: the name in square brackets.
std::string Bracketed(std::string_view name);

// The selection remembered for a level, whatever level number the caller holds: levels
// outside 0..5 use the nearest slot.
std::int32_t& LevelSlot(std::array<std::int32_t, 6>& levelSelection, int level);

// The radar state the options page reads.
struct RadarOptions {
    bool Scanning = false; // the scan timer runs
    int TargetCode = 0;    // 0 FLUX, 1 ARTIFACT/STRUCTURE, 2 SOL, 3 OCT, 4 QUAN
    bool PlaySound = false;
    bool RepeatSound = false;
    bool DisplayMessage = false;
};

// The console's own pages: the mode list, the add-on list, the log page, the radar options
// page and the web page list. What they list comes from the subsystems that own it; a source
// left unset gives an empty list or the "off" state.
class BuiltinPages {
public:
    struct Sources {
        // ConsoleMenu::StopWebView: busy timer off, web view cleared.
        std::function<void()> stopWebView{};
        std::function<std::vector<std::string>()> addonNames{};     // add-ons: the registered names
        std::function<const std::deque<std::string>*()> logLines{}; // PilotLog::Lines
        std::function<bool()> loggingOn{};                          // the "Enable " log box
        std::function<RadarOptions()> radar{}; // radar: scanning and the options
        std::function<void(int)> tickTarget{}; // radar: the radio button of a scan target
        std::function<std::vector<std::string>()> pageCaptions{}; // web pages: the URL list's names
        std::function<bool()> browserBusy{}; // web pages: tmrBrowserActive runs
    };

    static constexpr char CodeMarked = 3;
    static constexpr char CodeOrdinary = 5;

    BuiltinPages(ConsolePage& page, Sources sources);

    // selection: the slot of the current level; it becomes currentMode.
    void ShowModeList(const std::vector<std::string>& modeNames, std::int32_t currentMode,
                      std::int32_t& selection);
    // selection: the slot of the current level; it becomes savedGroup.
    void AddonListPage(const std::string& modeName, std::int32_t savedGroup,
                       std::int32_t& selection);
    void LogPage(const std::string& modeName, std::int32_t selection);
    // Sets currentLevel to 1; selection is the level-1 slot.
    void RadarOptionsPage(const std::string& modeName, int& currentLevel, std::int32_t selection);
    // selection is the level-1 slot: the chosen page, which spins while the browser loads.
    void PageListPage(std::int32_t selection);

    char SpinnerChar() const { return spinnerChar_; }
    const Sources& hooks() const { return sources_; }

private:
    ConsolePage& page_;
    Sources sources_;
    char spinnerChar_ = 0;
};

template <> struct HookSlotList<BuiltinPages::Sources> {
    using S = BuiltinPages::Sources;
    static constexpr const char* Name = "BuiltinPages::Sources";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, stopWebView),  TRELK_HOOK_SLOT(S, addonNames),
        TRELK_HOOK_SLOT(S, logLines),     TRELK_HOOK_SLOT(S, loggingOn),
        TRELK_HOOK_SLOT(S, radar),        TRELK_HOOK_SLOT(S, tickTarget),
        TRELK_HOOK_SLOT(S, pageCaptions), TRELK_HOOK_SLOT(S, browserBusy),
    };
};
static_assert(ListsEverySlot<BuiltinPages::Sources>());

} // namespace trelk
