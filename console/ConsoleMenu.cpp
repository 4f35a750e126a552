#include "console/ConsoleMenu.h"

#include "data/ListTextWords.h"

#include <algorithm>
#include <charconv>
#include <utility>

namespace trelk {

namespace {

constexpr int MaxLevel = 5;
constexpr int WebScrollX = 20;
constexpr int WebScrollY = 100;

int ReadLevels(std::string_view text) {
    int value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return std::clamp(value, 0, MaxLevel);
}

template <typename T> bool InRange(std::int64_t index, const std::vector<T>& list) {
    return index >= 0 && index < static_cast<std::int64_t>(list.size());
}

} // namespace

ConsoleMenu::ConsoleMenu(ConsoleNavigation& nav, ConsolePage& page, BuiltinPages& pages,
                         Hooks hooks)
    : nav_(nav), page_(page), pages_(pages), hooks_(std::move(hooks)) {}

void ConsoleMenu::ResetMenu() {
    page_.Lines().SetLength(ConsoleLines::InitialLength);
    nav_.Menus.clear();
    for (const std::string_view entry : SplitWords(MenuDefinition, '\\')) {
        const std::vector<std::string_view> parts = SplitWords(entry, ',');
        TMenuRec menu;
        menu.Name = parts.empty() ? std::string() : std::string(parts[0]);
        menu.Levels = parts.size() > 1 ? ReadLevels(parts[1]) : 0;
        nav_.Menus.push_back(std::move(menu));
    }
    nav_.MarketSelection1 = 0;
    nav_.MarketSelection2 = 0;
    ClearSavedSelections();
    nav_.CurrentLevel = 0;
    nav_.LevelSelection.fill(0);
    nav_.CurrentMode = 0;
    // A pending pop-up would switch the reset menu to the remembered mode, under the first
    // mode's name.
    nav_.PopupRestorePending = false;
    if (hooks_.resetDatabasePositions) {
        hooks_.resetDatabasePositions();
    }
    SetMode(0);
    ChangeLevel(true);
}

bool ConsoleMenu::ValidMode(int mode) const {
    return mode >= 0 && mode < static_cast<int>(nav_.Menus.size());
}

void ConsoleMenu::SetMode(int n) {
    if (!ValidMode(n)) {
        return;
    }
    nav_.CurrentMode = n;
    nav_.CurrentModeName = nav_.Menus[static_cast<std::size_t>(n)].Name;
}

int ConsoleMenu::Levels(int mode) const {
    if (!ValidMode(mode)) {
        return 0;
    }
    return nav_.Menus[static_cast<std::size_t>(mode)].Levels;
}

std::vector<std::string> ConsoleMenu::ModeNames() const {
    std::vector<std::string> names;
    for (const TMenuRec& menu : nav_.Menus) {
        names.push_back(menu.Name);
    }
    return names;
}

std::int32_t ConsoleMenu::CurrentLevelSelection() {
    return Slot(nav_.CurrentLevel);
}

void ConsoleMenu::ChangeLevel(bool up) {
    if (nav_.PopupRestorePending) {
        // The mode name was never changed by the pop-up.
        if (ValidMode(nav_.RestoreMode)) {
            nav_.CurrentMode = nav_.RestoreMode;
        }
        nav_.PopupRestorePending = false;
    }
    // A level the mode does not have (after a pop-up switched modes) counts as its deepest.
    nav_.CurrentLevel = std::clamp(nav_.CurrentLevel, 0, Levels(nav_.CurrentMode));
    page_.SetTextOffset(0);
    if (up) {
        if (nav_.CurrentMode != AddonMode) {
            WriteActiveAddon("");
        }
        if (nav_.CurrentLevel > 0) {
            --nav_.CurrentLevel;
        }
    } else {
        if (nav_.CurrentLevel == 0) {
            WriteActiveAddon("");
            ShowModeList();
        }
        if (nav_.CurrentLevel < Levels(nav_.CurrentMode)) {
            ++nav_.CurrentLevel;
        }
    }
    page_.SetAddonPageActive(false);
    RunLevel(up);
}

void ConsoleMenu::RunLevel(bool up) {
    const int level = nav_.CurrentLevel;
    switch (nav_.CurrentMode) {
    case 0:
    case 1:
    case 2:
        if (hooks_.selectDatabase && hooks_.databaseLevel) {
            // Without its list the database builds no page: the one on screen stays.
            if (hooks_.selectDatabase(nav_.CurrentMode)) {
                hooks_.databaseLevel(up);
            }
        } else if (level == 0) {
            ShowModeList();
        }
        break;
    case 3:
        MarketLevel(level, up);
        break;
    case AddonMode:
        AddonLevel(level, up);
        break;
    case WebMode:
        WebLevel(level);
        break;
    case 6:
        if (level == 0) {
            ShowModeList();
        } else if (level == 1) {
            pages_.LogPage(nav_.CurrentModeName, Slot(1));
        }
        break;
    case 7:
        RadarLevel(level);
        break;
    default:
        break;
    }
}

void ConsoleMenu::MarketLevel(int level, bool up) {
    if (level == 0) {
        ShowModeList();
        return;
    }
    if (level == 2 && !(hooks_.marketEnabled && hooks_.marketEnabled() && hooks_.marketLoaded &&
                        hooks_.marketLoaded())) {
        ChangeLevel(true);
        return;
    }
    if (hooks_.marketPage) {
        hooks_.marketPage(level, up);
    }
}

void ConsoleMenu::AddonLevel(int level, bool up) {
    if (level == 0 || level == 1) {
        page_.SetAddonPageActive(false);
        WriteActiveAddon("");
    }
    if (level == 0) {
        ShowModeList();
        return;
    }
    const std::vector<std::string> names =
        hooks_.addonNames ? hooks_.addonNames() : std::vector<std::string>{};
    if (level == 1) {
        if (names.empty()) {
            --nav_.CurrentLevel;
            ShowModeList();
        } else {
            pages_.AddonListPage(nav_.CurrentModeName, nav_.SavedGroup, Slot(1));
        }
        return;
    }
    // The highlight may lie past the list after an add-on left it: back to the list rather
    // than handing the keys to an add-on that is not there.
    const std::int32_t chosen = Slot(1);
    if (!InRange(chosen, names)) {
        nav_.CurrentLevel = 1;
        AddonLevel(1, up);
        return;
    }
    page_.SetAddonPageActive(true);
    WriteActiveAddon(names[static_cast<std::size_t>(chosen)]);
}

void ConsoleMenu::WebLevel(int level) {
    if (level == 2 && hooks_.webPageUrls) {
        const std::vector<std::string> urls = hooks_.webPageUrls();
        const std::int32_t chosen = Slot(1);
        if (InRange(chosen, urls)) {
            nav_.WebPageUrl = urls[static_cast<std::size_t>(chosen)];
        }
    }
    switch (level) {
    case 0:
        StopWebView();
        ShowModeList();
        break;
    case 1:
        StopWebView();
        if (hooks_.initConsoleOverlay) {
            hooks_.initConsoleOverlay();
        }
        pages_.PageListPage(Slot(1));
        break;
    case 2:
        nav_.WebViewActive = true;
        BrowserBusy(true);
        pages_.PageListPage(Slot(1));
        if (hooks_.browserNavigate) {
            hooks_.browserNavigate(nav_.WebPageUrl);
        }
        break;
    default:
        break;
    }
}

void ConsoleMenu::RadarLevel(int level) {
    if (level == 0) {
        ShowModeList();
        return;
    }
    if (level == 1) {
        pages_.RadarOptionsPage(nav_.CurrentModeName, nav_.CurrentLevel, Slot(1));
        return;
    }
    if (level != 2) {
        return;
    }
    auto run = [](const std::function<void()>& f) {
        if (f) {
            f();
        }
    };
    switch (Slot(1)) {
    case 0:
        run(hooks_.toggleScanning);
        break;
    case 1:
        if (hooks_.setScanTarget) {
            int code = hooks_.scanTarget ? hooks_.scanTarget() : 0;
            // A stored code outside the targets scans for objects.
            if (code < 0 || code > 4) {
                code = 1;
            }
            hooks_.setScanTarget(code == 4 ? 0 : code + 1);
        }
        break;
    case 2:
        run(hooks_.togglePlaySound);
        break;
    case 3:
        run(hooks_.toggleRepeatSound);
        break;
    case 4:
        run(hooks_.toggleDisplayMessage);
        break;
    default:
        break;
    }
    ChangeLevel(true);
}

void ConsoleMenu::ListStep(bool up) {
    const int level = nav_.CurrentLevel;
    // With the console closed only the entries page steps (the next-entry key).
    if (!page_.ConsoleVisible() && level != 3) {
        return;
    }
    const std::int64_t n = page_.Record().LineCount;
    const std::int64_t last = std::max<std::int64_t>(n - 1, 0);
    std::int32_t& selection = Slot(level);
    // In 64 bits: a selection an add-on or a shrunken list left at the ends must not overflow.
    if (!up) {
        const std::int64_t next = std::int64_t{selection} + 1;
        selection = (next > last || next < 0) ? 0 : static_cast<std::int32_t>(next);
    } else if (!nav_.WebViewActive) {
        const std::int64_t next = std::int64_t{selection} - 1;
        selection = static_cast<std::int32_t>(next < 0 ? last : std::min(next, last));
    }

    if (!nav_.WebViewActive && n > 0) {
        const bool coordinates = nav_.CurrentMode == 0 || nav_.CurrentMode == 1;
        if (coordinates && level > 2 && hooks_.formatDflr) {
            hooks_.formatDflr(page_.Lines().TextAt(selection));
        } else {
            page_.SelectLine(selection);
        }
    }

    const bool database = nav_.CurrentMode >= 0 && nav_.CurrentMode <= 2;
    switch (level) {
    case 0:
        SetMode(selection);
        nav_.MarketSelection1 = 0;
        nav_.MarketSelection2 = 0;
        Slot(1) = 0;
        ClearSavedSelections();
        break;
    case 1:
        if (database) {
            ClearSavedSelections();
        } else if (nav_.CurrentMode == 3) {
            nav_.MarketSelection1 = 0;
            nav_.MarketSelection2 = 0;
        }
        break;
    case 2:
        if (database) {
            nav_.SavedSubgroup = 0;
            nav_.SavedEntry = 0;
        } else if (nav_.CurrentMode == 3) {
            nav_.MarketSelection2 = 0;
        } else if (nav_.CurrentMode == WebMode) {
            BrowserBusy(false);
            ScrollWebPage(0, up ? -WebScrollY : WebScrollY);
        }
        break;
    case 3:
        if (database) {
            nav_.SavedEntry = selection;
        }
        break;
    default:
        break;
    }
}

void ConsoleMenu::ListPage(bool up) {
    for (int i = 0; i < LinesPerPage; ++i) {
        const std::int64_t n = page_.Record().LineCount;
        const std::int32_t selection = Slot(nav_.CurrentLevel);
        if (up ? selection > 0 : selection < n - 1) {
            ListStep(up);
        }
    }
}

void ConsoleMenu::ScrollText(bool left) {
    if (nav_.CurrentMode == WebMode && nav_.CurrentLevel == 2) {
        BrowserBusy(false);
        ScrollWebPage(left ? -WebScrollX : WebScrollX, 0);
        return;
    }
    page_.SetTextOffset(page_.TextOffset() + (left ? -TextScrollStep : TextScrollStep));
    page_.RenderConsole();
}

void ConsoleMenu::ShowModeList() {
    pages_.ShowModeList(ModeNames(), nav_.CurrentMode, Slot(nav_.CurrentLevel));
}

bool ConsoleMenu::AddonListShown() const {
    return nav_.CurrentMode == AddonMode && nav_.CurrentLevel == 1;
}

void ConsoleMenu::RedrawAddonList() {
    const std::int64_t count =
        hooks_.addonNames ? static_cast<std::int64_t>(hooks_.addonNames().size()) : 0;
    const std::int32_t kept = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(Slot(1), 0, std::max<std::int64_t>(count - 1, 0)));
    pages_.AddonListPage(nav_.CurrentModeName, kept, Slot(1));
}

void ConsoleMenu::PopupRequest() {
    // A second pop-up before the first was left keeps the mode to go back to.
    if (!nav_.PopupRestorePending) {
        nav_.RestoreMode = nav_.CurrentMode;
    }
    nav_.CurrentMode = AddonMode;
    nav_.PopupRestorePending = true;
}

void ConsoleMenu::PopupOff() {
    if (ValidMode(nav_.RestoreMode)) {
        nav_.CurrentMode = nav_.RestoreMode;
    }
    if (nav_.CurrentMode == AddonMode) {
        nav_.CurrentLevel = 0;
    }
    if (nav_.CurrentLevel > 0) {
        ChangeLevel(true);
        ChangeLevel(false);
    } else {
        ChangeLevel(true);
    }
    nav_.PopupRestorePending = false;
}

void ConsoleMenu::StopWebView() {
    BrowserBusy(false);
    nav_.WebViewActive = false;
}

void ConsoleMenu::ShowPilotWebView() {
    SetMode(WebMode);
    nav_.CurrentLevel = 2;
    Slot(1) = 0;
    Slot(2) = 0;
    page_.SetTextOffset(0);
    page_.SetAddonPageActive(false);
    nav_.WebViewActive = true;
    BrowserBusy(true);
}

void ConsoleMenu::LoadPilotWebPage(const std::string& address) {
    nav_.WebPageUrl = address;
    pages_.PageListPage(Slot(1));
    if (hooks_.browserNavigate) {
        hooks_.browserNavigate(address);
    }
}

void ConsoleMenu::ClearSavedSelections() {
    nav_.SavedGroup = 0;
    nav_.SavedSubgroup = 0;
    nav_.SavedEntry = 0;
}

void ConsoleMenu::WriteActiveAddon(const std::string& name) {
    if (hooks_.writeActiveAddon) {
        hooks_.writeActiveAddon(name);
    }
}

void ConsoleMenu::BrowserBusy(bool run) {
    if (hooks_.browserBusyTimer) {
        hooks_.browserBusyTimer(run);
    }
}

void ConsoleMenu::ScrollWebPage(int dx, int dy) {
    if (hooks_.scrollWebPage && hooks_.browserHasDocument && hooks_.browserHasDocument()) {
        hooks_.scrollWebPage(dx, dy);
    }
}

} // namespace trelk
