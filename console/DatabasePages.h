#pragma once

#include "console/ConsoleNavigation.h"
#include "console/ConsolePage.h"
#include "core/HookSlots.h"
#include "data/DataLists.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace trelk {

// The three database modes of the console (Mining, Pattern, Information): a list text walked as
// groups, sub-groups and entries, the sending of a chosen entry into the game's chat line, the
// marking of a confirmed entry, and the next entry sent with the console closed.
//
// The group, sub-group and entry texts are views into the list they were parsed from, which
// stays alive as long as they refer to it, so a rebuilt list never leaves them dangling and a
// walk goes on in the text it began in until it is parsed again. Main thread only.
class DatabasePages {
public:
    struct Hooks {
        std::function<void(bool up)> changeLevel{}; // ConsoleMenu::ChangeLevel
        std::function<void(bool up)> listStep{};    // ConsoleMenu::ListStep (next-entry key)
        std::function<void()> showModeList{};       // ConsoleMenu::ShowModeList
        std::function<void()> hideConsole{};        // ConsolePage::HideConsole
        // KeyStringSender::SendToChannel.
        std::function<void(const std::string& text, bool clearFirst, int channel)> sendToChannel{};
        // DataLists::FormatDflr: sets the page's status line and redraws the current selection.
        std::function<std::string(const std::string& entry)> formatDflr{};
        std::function<void(bool)> setEntrySent{}; // KeyDispatcher::SetEntrySent
        // DataLists::List: the published list of a kind (1 roid positions, 2 search patterns,
        // 3 database).
        std::function<std::shared_ptr<const DataListSnapshot>(int kind)> list{};
    };

    static constexpr int CodeConfirmed = 3;
    static constexpr int CodeUnconfirmed = 5;
    static constexpr int CommandChannel = 5;
    // The longest command an Information Database entry sends.
    static constexpr std::size_t MaxCommandLength = 256;

    DatabasePages(ConsoleNavigation& nav, ConsolePage& page, Hooks hooks);

    // The database context for mode 0..2, set by ChangeLevel before the handler runs. False for
    // another mode. While the mode's list is not published yet (the start-up worker is still
    // building it) the database shows only the loading page.
    bool SelectDatabase(int mode);
    bool Loading() const { return loading_; }
    // The handler of modes 0..2 for nav.CurrentLevel (0 mode list .. 4 send the entry).
    void DatabaseLevel(bool up);

    void GroupsPage(bool up);
    // "Loading Data" under the mode's title; nothing below it can be entered.
    void LoadingPage();
    void SubgroupsPage(bool up);
    void EntriesPage(bool up);

    void ParseGroup();
    void ParseSubgroup();
    void PrepareEntry();
    void ResetEntryCodes(); // also "//reset"
    void ResetBrowsing();   // after a list is rebuilt
    // A kind's list was published. A walk in the old list of that kind ends (its entries and
    // distances are not the new list's), and a page of that database on screen is rebuilt as
    // the groups page of the new list.
    void ListRebuilt(int kind);
    // ResetMenu: the three 1-based positions back to 1.
    void ResetPositions();
    // Enter after a sent entry: mark it (code 3) and redraw the entries page if it is shown.
    void MarkSentEntry();
    // The next-entry key with the console closed (backwards: macro mode). Only while an entry
    // has been chosen in the Mining or Pattern database and the console is closed.
    void NextEntry(bool backwards);

    const Hooks& hooks() const { return hooks_; }
    bool EntrySendMode() const { return entrySendMode_; }
    bool InfoMode() const { return infoMode_; }
    // The dispatcher sets EntryIndex := LevelSelection[CurrentLevel] + 1 after each list move.
    void SetEntryIndex(int index) { entryIndex_ = index; }

    int GroupIndex() const { return groupIndex_; }
    int SubgroupIndex() const { return subgroupIndex_; }
    int EntryIndex() const { return entryIndex_; }
    int ShownGroupCount() const { return shownGroupCount_; }
    bool ShownNoData() const { return shownNoData_; }
    int SubgroupCount() const { return subgroupCount_; }
    int EntryCount() const { return entryCount_; }
    std::string_view GroupText() const { return groupText_; }
    std::string_view EntriesText() const { return entriesText_; }
    const std::string& GroupName() const { return groupName_; }
    const std::string& SubgroupName() const { return subgroupName_; }
    const std::string& EntryText() const { return entryText_; }
    bool EntryIsCommand() const { return entryIsCommand_; }
    // The code of entry k (1-based): 5 unconfirmed, 3 confirmed; 5 outside the list.
    int EntryCode(std::int64_t k) const;
    const std::vector<int>& EntryCodes() const { return entryCodes_; }

private:
    const ListTextIndex& ShownIndex();
    std::string_view Subgroup(int n) const;
    std::string_view Entry(std::int64_t k) const;
    bool HasEntry() const;
    int DeepestLevel() const;
    // Highlights the remembered line of a page with count lines, kept on the page.
    std::int32_t Select(std::int32_t saved, int count);
    void SendEntry();
    void Send(const std::string& text, int channel);

    ConsoleNavigation& nav_;
    ConsolePage& page_;
    Hooks hooks_;

    // The database context: ShownListText, ShownGroupCount, ShownNoData, InfoMode.
    std::shared_ptr<const DataListSnapshot> shown_;
    int shownKind_ = 0;
    bool loading_ = false;
    int shownGroupCount_ = 0;
    bool shownNoData_ = false;
    bool infoMode_ = false;
    // The group index of a list published without one, made on first use.
    ListTextIndex ownIndex_;
    std::weak_ptr<const DataListSnapshot> ownIndexFor_;

    int groupIndex_ = 0;
    int subgroupIndex_ = 0;
    int entryIndex_ = 0;
    // The kind whose list the walk below was parsed from; 0: none.
    int walkKind_ = 0;

    // GroupText and its sub-group words, views into groupList_.
    std::shared_ptr<const DataListSnapshot> groupList_;
    std::string_view groupText_;
    std::vector<std::string_view> subgroups_;
    std::string groupName_;
    int subgroupCount_ = 0;

    // EntriesText and its entry words, views into entriesList_.
    std::shared_ptr<const DataListSnapshot> entriesList_;
    std::string_view entriesText_;
    std::vector<std::string_view> entries_;
    std::string subgroupName_;
    int entryCount_ = 0;

    std::string entryText_;
    bool entryIsCommand_ = false;
    // Index 0 is not used.
    std::vector<int> entryCodes_{CodeUnconfirmed};
    bool entrySendMode_ = false;
};

template <> struct HookSlotList<DatabasePages::Hooks> {
    using S = DatabasePages::Hooks;
    static constexpr const char* Name = "DatabasePages::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, changeLevel),   TRELK_HOOK_SLOT(S, listStep),
        TRELK_HOOK_SLOT(S, showModeList),  TRELK_HOOK_SLOT(S, hideConsole),
        TRELK_HOOK_SLOT(S, sendToChannel), TRELK_HOOK_SLOT(S, formatDflr),
        TRELK_HOOK_SLOT(S, setEntrySent),  TRELK_HOOK_SLOT(S, list),
    };
};
static_assert(ListsEverySlot<DatabasePages::Hooks>());

} // namespace trelk
