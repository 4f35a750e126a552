#include "console/DatabasePages.h"

#include "console/BuiltinPages.h"
#include "data/ListTextWords.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace trelk {

namespace {

const std::shared_ptr<const DataListSnapshot>& EmptyList() {
    static const auto empty = std::make_shared<const DataListSnapshot>();
    return empty;
}

// What a database shows while its list is still being built.
constexpr const char* LoadingText = "Loading Data";

const std::shared_ptr<const DataListSnapshot>& LoadingList() {
    static const auto loading = std::make_shared<const DataListSnapshot>(
        DataListSnapshot{LoadingText, 0, false, ListTextIndex(LoadingText)});
    return loading;
}

// A remembered 0-based selection as the 1-based position after it.
int Position(std::int32_t selection) {
    return selection < std::numeric_limits<std::int32_t>::max() ? selection + 1 : selection;
}

// A page never lists more lines than the console buffer can hold.
int PageCount(int count) {
    return std::clamp(count, 0, ConsoleLines::MaxLength);
}

} // namespace

DatabasePages::DatabasePages(ConsoleNavigation& nav, ConsolePage& page, Hooks hooks)
    : nav_(nav), page_(page), hooks_(std::move(hooks)), shown_(EmptyList()) {}

bool DatabasePages::SelectDatabase(int mode) {
    if (mode < 0 || mode > 2) {
        return false;
    }
    std::shared_ptr<const DataListSnapshot> list = hooks_.list ? hooks_.list(mode + 1) : nullptr;
    if (!list) {
        list = EmptyList();
    }
    infoMode_ = mode == 2;
    shownKind_ = mode + 1;
    loading_ = !list->published;
    shownGroupCount_ = loading_ ? 0 : list->groupCount;
    shownNoData_ = !loading_ && list->noData;
    shown_ = loading_ ? LoadingList() : std::move(list);
    return true;
}

void DatabasePages::DatabaseLevel(bool up) {
    const int level = nav_.CurrentLevel;
    if (loading_ && level >= 1) {
        // Nothing to walk or choose yet; the page is rebuilt when the list is published.
        nav_.CurrentLevel = 1;
        LoadingPage();
        return;
    }
    switch (level) {
    case 0:
        entrySendMode_ = false;
        if (hooks_.showModeList) {
            hooks_.showModeList();
        }
        break;
    case 1:
        GroupsPage(up);
        break;
    case 2:
        page_.SetPageStatus("");
        if (shownNoData_) {
            // A list without data cannot be entered.
            if (hooks_.changeLevel) {
                hooks_.changeLevel(true);
            }
        } else {
            SubgroupsPage(up);
        }
        break;
    case 3:
        EntriesPage(up);
        break;
    case 4:
        entrySendMode_ = true;
        nav_.SavedEntry = LevelSlot(nav_.LevelSelection, 3);
        entryIndex_ = Position(nav_.SavedEntry);
        PrepareEntry();
        break;
    default:
        break;
    }
    if (level == DeepestLevel()) {
        SendEntry();
    }
}

void DatabasePages::GroupsPage(bool /*up*/) {
    page_.SetPageTitle(Bracketed(nav_.CurrentModeName));
    page_.ClearPage();
    const int count = PageCount(shownGroupCount_);
    page_.SizeLines(count);
    const ListTextIndex& index = ShownIndex();
    for (int i = 1; i <= count; ++i) {
        page_.AddPageLine(std::string(index.Title(shown_->text, i)), BuiltinPages::CodeOrdinary);
    }
    page_.SelectLine(Select(nav_.SavedGroup, count));
}

void DatabasePages::LoadingPage() {
    page_.SetPageTitle(Bracketed(nav_.CurrentModeName));
    page_.SetPageStatus("");
    page_.ClearPage();
    page_.SizeLines(1);
    page_.AddPageLine(LoadingText, BuiltinPages::CodeMarked);
    page_.SelectLine(Select(0, 1));
}

void DatabasePages::SubgroupsPage(bool up) {
    if (!up) {
        nav_.SavedGroup = LevelSlot(nav_.LevelSelection, 1);
        groupIndex_ = Position(nav_.SavedGroup);
        ParseGroup();
    }
    page_.SetPageTitle(Bracketed(groupName_));
    page_.ClearPage();
    const int count = PageCount(subgroupCount_);
    page_.SizeLines(count);
    for (int i = 1; i <= count; ++i) {
        page_.AddPageLine(std::string(UpTo(Subgroup(i), ']')), BuiltinPages::CodeOrdinary);
    }
    page_.SelectLine(Select(nav_.SavedSubgroup, count));
}

void DatabasePages::EntriesPage(bool up) {
    if (!up) {
        nav_.SavedSubgroup = LevelSlot(nav_.LevelSelection, 2);
        subgroupIndex_ = Position(nav_.SavedSubgroup);
        ParseSubgroup();
    }
    page_.SetPageTitle(Bracketed(groupName_ + "/" + subgroupName_));
    page_.ClearPage();
    const int count = PageCount(entryCount_);
    page_.SizeLines(count);
    for (int k = 1; k <= count; ++k) {
        std::string_view entry = Entry(k);
        if (!entry.empty() && entry.front() == '&') {
            entry.remove_prefix(1);
        }
        page_.AddPageLine(std::string(entry), static_cast<char>(EntryCode(k)));
    }
    const std::int32_t selection = Select(nav_.SavedEntry, count);
    if (!infoMode_ && hooks_.formatDflr) {
        hooks_.formatDflr(page_.Lines().TextAt(selection));
    } else {
        page_.SelectLine(selection);
    }
}

void DatabasePages::ParseGroup() {
    subgroupIndex_ = 0;
    if (groupIndex_ < 1) {
        groupIndex_ = 1;
    }
    groupList_ = shown_;
    walkKind_ = loading_ ? 0 : shownKind_;
    ListGroup group = ParseListGroup(ShownIndex().Group(groupList_->text, groupIndex_));
    groupText_ = group.text;
    groupName_ = group.name;
    subgroups_ = std::move(group.subgroups);
    subgroupCount_ = static_cast<int>(subgroups_.size());
    ResetEntryCodes();
}

void DatabasePages::ParseSubgroup() {
    if (groupText_.empty()) {
        ParseGroup();
    }
    entryIndex_ = 0;
    if (subgroupIndex_ < 1) {
        subgroupIndex_ = 1;
    }
    entriesList_ = groupList_;
    ListSubgroup subgroup = ParseListSubgroup(Subgroup(subgroupIndex_));
    entriesText_ = subgroup.text;
    subgroupName_ = subgroup.name;
    entries_ = std::move(subgroup.entries);
    entryCount_ = static_cast<int>(entries_.size());
    ResetEntryCodes();
}

void DatabasePages::PrepareEntry() {
    if (entriesText_.empty()) {
        ParseSubgroup();
    }
    if (entryIndex_ < 1) {
        entryIndex_ = 1;
    }
    entryText_ = Entry(entryIndex_);
    entryIsCommand_ = infoMode_ && !entryText_.empty() && entryText_.front() == '&';
}

void DatabasePages::ResetEntryCodes() {
    entryCodes_.assign(static_cast<std::size_t>(std::max(entryCount_, 0)) + 1, CodeUnconfirmed);
}

void DatabasePages::ResetBrowsing() {
    groupText_ = {};
    subgroups_.clear();
    groupList_.reset();
    entriesText_ = {};
    entries_.clear();
    entriesList_.reset();
    groupIndex_ = 0;
    subgroupIndex_ = 0;
    if (hooks_.setEntrySent) {
        hooks_.setEntrySent(false);
    }
}

void DatabasePages::ListRebuilt(int kind) {
    if (kind < 1 || kind > 3) {
        return;
    }
    if (walkKind_ == kind) {
        ResetBrowsing();
        // The next-entry key would type an entry of the new list the pilot never saw.
        entrySendMode_ = false;
        entryText_.clear();
        entryIsCommand_ = false;
        walkKind_ = 0;
    }
    const int mode = kind - 1;
    if (nav_.CurrentMode != mode || nav_.CurrentLevel < 1) {
        return;
    }
    // The page on screen shows the old list (or the loading page): the pilot starts again at
    // the groups of the new one, so nothing chosen can differ from what is highlighted.
    nav_.CurrentLevel = 1;
    SelectDatabase(mode);
    page_.SetPageStatus("");
    page_.SetTextOffset(0);
    if (loading_) {
        LoadingPage();
    } else {
        GroupsPage(true);
    }
}

void DatabasePages::ResetPositions() {
    groupIndex_ = 1;
    subgroupIndex_ = 1;
    entryIndex_ = 1;
}

void DatabasePages::MarkSentEntry() {
    if (entryIndex_ >= 1 && static_cast<std::size_t>(entryIndex_) < entryCodes_.size()) {
        entryCodes_[static_cast<std::size_t>(entryIndex_)] = CodeConfirmed;
    }
    if (hooks_.setEntrySent) {
        hooks_.setEntrySent(false);
    }
    // Only the entries page shows the mark; any other page on screen stays.
    if (nav_.CurrentLevel == 3 && nav_.CurrentMode >= 0 && nav_.CurrentMode <= 2) {
        EntriesPage(true);
    }
}

void DatabasePages::NextEntry(bool backwards) {
    if (!entrySendMode_ || infoMode_ || page_.ConsoleVisible()) {
        return;
    }
    if (hooks_.listStep) {
        hooks_.listStep(backwards);
    }
    if (backwards) {
        entryIndex_ = entryIndex_ <= 1 ? entryCount_ : entryIndex_ - 1;
    } else {
        entryIndex_ = entryIndex_ >= entryCount_ ? 1 : entryIndex_ + 1;
    }
    PrepareEntry();
    if (!HasEntry()) {
        return; // an empty sub-group: nothing to type
    }
    Send("/lumacor " + entryText_ + " " + page_.Record().StatusLine, EntryCode(entryIndex_));
    if (hooks_.setEntrySent) {
        hooks_.setEntrySent(true);
    }
}

int DatabasePages::EntryCode(std::int64_t k) const {
    if (k < 0 || k >= static_cast<std::int64_t>(entryCodes_.size())) {
        return CodeUnconfirmed;
    }
    return entryCodes_[static_cast<std::size_t>(k)];
}

const ListTextIndex& DatabasePages::ShownIndex() {
    if (shown_->groups.Covers(shown_->text)) {
        return shown_->groups;
    }
    if (ownIndexFor_.lock() != shown_) {
        ownIndex_ = ListTextIndex(shown_->text);
        ownIndexFor_ = shown_;
    }
    return ownIndex_;
}

std::string_view DatabasePages::Subgroup(int n) const {
    if (n < 1 || static_cast<std::size_t>(n) > subgroups_.size()) {
        return {};
    }
    return subgroups_[static_cast<std::size_t>(n - 1)];
}

std::string_view DatabasePages::Entry(std::int64_t k) const {
    if (k < 1 || static_cast<std::uint64_t>(k) > entries_.size()) {
        return {};
    }
    return entries_[static_cast<std::size_t>(k - 1)];
}

bool DatabasePages::HasEntry() const {
    return entryIndex_ >= 1 && static_cast<std::size_t>(entryIndex_) <= entries_.size();
}

int DatabasePages::DeepestLevel() const {
    const auto mode = static_cast<std::size_t>(std::max(nav_.CurrentMode, 0));
    return mode < nav_.Menus.size() ? nav_.Menus[mode].Levels : 4;
}

std::int32_t DatabasePages::Select(std::int32_t saved, int count) {
    // A list that shrank, or a selection moved on an empty page, must not leave the
    // highlight outside the page.
    const std::int32_t selection = std::clamp(saved, 0, std::max(count - 1, 0));
    LevelSlot(nav_.LevelSelection, nav_.CurrentLevel) = selection;
    return selection;
}

void DatabasePages::SendEntry() {
    if (!infoMode_ && HasEntry()) {
        if (hooks_.hideConsole) {
            hooks_.hideConsole();
        }
        Send("/lumacor " + entryText_, EntryCode(entryIndex_));
    } else if (infoMode_ && entryIsCommand_) {
        if (hooks_.hideConsole) {
            hooks_.hideConsole();
        }
        Send(entryText_.substr(1, MaxCommandLength), CommandChannel);
    }
    // Otherwise the entry is for reading only and the console stays open. Where there is no
    // entry at all (an empty sub-group), nothing was chosen that Enter could mark.
    if (HasEntry() && hooks_.setEntrySent) {
        hooks_.setEntrySent(true);
    }
    nav_.CurrentLevel = 3;
}

void DatabasePages::Send(const std::string& text, int channel) {
    if (hooks_.sendToChannel) {
        hooks_.sendToChannel(text, true, channel);
    }
}

} // namespace trelk
