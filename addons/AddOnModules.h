#pragma once

#include "console/ConsolePage.h"
#include "core/HookSlots.h"
#include "platform/ports/Timers.h"
#include "platform/ports/UserStore.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace trelk {

// One row of the Setup tab's add-on list: a registered add-on, its program and whether it
// starts with TrelkPro.
struct AddOnRow {
    std::string Name;
    std::string Path;
    bool Checked = false;
};

// The exchange with add-on programs through the per-user store's interface key: the poll every
// 200 ms (tmrAddon) with its seven steps, the list of registered add-ons, the add-on's page in
// the console, the Up Level key it may hold and the entry it lets the pilot type.
//
// The poll costs one small question to the store while nothing changed. Otherwise it reads
// every value of the key at once, acts, and makes all its writes in one transaction at the
// end. A request value is emptied only while it still holds what the poll read (and, for
// "DataReady", while the page it read is still the page in the store), so a newer write an
// add-on makes in between is never lost: the next poll sees it. Main thread only.
class AddOnModules {
public:
    struct Hooks {
        std::function<bool()> addonListShown{};     // ConsoleMenu: mode 4 at level 1
        std::function<void()> redrawAddonList{};    // ConsoleMenu::RedrawAddonList
        std::function<void()> resetMenu{};          // ConsoleMenu::ResetMenu
        std::function<void()> popupRequest{};       // ConsoleMenu::PopupRequest
        std::function<void()> popupOff{};           // ConsoleMenu::PopupOff
        std::function<void()> showConsole{};        // ConsolePage::ShowConsole
        std::function<void()> hideConsole{};        // ConsolePage::HideConsole
        std::function<void(bool)> setWideConsole{}; // the "Wide Console" option
        // KeyStringSender::SendToChannel.
        std::function<void(const std::string& text, bool clearFirst, int channel)> sendToChannel{};
        // A message during play: the status bar and the log.
        std::function<void(const std::string&)> reportDuringPlay{};
    };

    static constexpr const char* InterfaceKey = "Software\\TrelkPro\\Interface";
    static constexpr int PollMs = 200;
    static constexpr int EntryChannel = 5;
    // After the store failed, polls skipped before it is tried again: a locked store must not
    // hold the main thread at every poll, a broken one is not opened five times a second.
    static constexpr int PollsSkippedAfterFailure = 4;

    AddOnModules(UserStore& store, TimerFactory& timers, ConsolePage& page, Hooks hooks);

    // Start-up, after the interface values were reset: the poll runs until Stop.
    void Start();
    void Stop();
    // The add-on list is empty at every start and goes at the end.
    void ClearList();

    // One poll (tmrAddon's handler).
    void tmrAddonTimer();
    // The program wrote an interface value itself: the next poll reads the store even though
    // no other process changed it (a request may now match, e.g. "DataReady" the new
    // "ActiveAddon").
    void StoreWritten() { readNext_ = true; }
    // The program wrote "ActiveAddon" (the pilot opened or left a page): a page of another
    // add-on is forgotten, so its entry can never be typed from the new one.
    void ActiveAddonWritten(const std::string& name);

    // The Up Level key: the add-on holds it from the Down Level press that handed it over
    // until its "AddOnRelease".
    bool HoldsUpLevel() const { return !upLevelReleased_; }
    void HandUpLevelToAddon() { upLevelReleased_ = false; }
    // Down Level on the add-on page, after "DownLevel" was written: a highlighted line that
    // begins with '&' is typed without it into the chat line on channel 5, clearing it first.
    void TypeHighlightedEntry();

    // The registered names in registration order, as "AddOnRegList" lists them.
    std::vector<std::string> Names() const;
    const std::vector<AddOnRow>& Rows() const { return rows_; }
    // The Setup tab's tick box of a row; the caller saves (AddOnAutoStart::clbAddOnsClick).
    void SetRowChecked(std::size_t row, bool checked);
    // The names read from section "AddOnStartup": their rows are ticked when they register.
    void SetAutoStartNames(std::vector<std::string> names);
    // Run after every change of the rows.
    void addView(std::function<void()> view) { views_.push_back(std::move(view)); }

    // The page last drawn: the lines as the add-on wrote them (with their '&') and the
    // highlight number of the last poll.
    const std::vector<std::string>& PageLines() const { return pageLines_; }
    int Highlight() const { return highlight_; }
    bool Running() const { return tmrAddon_->enabled(); }
    Timer& tmrAddon() { return *tmrAddon_; }
    const Hooks& hooks() const { return hooks_; }
    // Full reads made (benchmarks and tests: an unchanged store is not read).
    std::uint64_t FullReads() const { return fullReads_; }
    // Registrations and unregistrations handled (of names not listed, of names listed).
    std::uint64_t Registrations() const { return registrations_; }
    std::uint64_t Unregistrations() const { return unregistrations_; }
    std::uint64_t PagesDrawn() const { return pagesDrawn_; }

private:
    using Values = std::map<std::string, std::string>; // by lower-case name

    struct Poll;
    void Registration(Poll& poll);
    void Unregistration(Poll& poll);
    void PopUp(Poll& poll);
    void PopOff(Poll& poll);
    void Wide(Poll& poll);
    void PageData(Poll& poll);
    void Release(Poll& poll);
    void Publish(Poll& poll);
    void StoreFailed(const std::string& error);
    void ListChanged(Poll& poll);
    void Run(const std::function<void()>& hook);
    void Refused(const std::string& name, const std::string& problem);
    void ForgetPageUnlessOf(const std::string& name);

    UserStore& store_;
    ConsolePage& page_;
    Hooks hooks_;
    std::unique_ptr<Timer> tmrAddon_;

    std::vector<AddOnRow> rows_;
    std::set<std::string> autoStartNames_;
    std::vector<std::function<void()>> views_;

    std::vector<std::string> pageLines_ = std::vector<std::string>(15);
    int highlight_ = 0;
    std::string pageOwner_; // the add-on whose page pageLines_ holds
    bool upLevelReleased_ = false;

    std::optional<std::uint64_t> lastStamp_;
    bool readNext_ = true;
    std::uint64_t fullReads_ = 0;
    std::uint64_t registrations_ = 0;
    std::uint64_t unregistrations_ = 0;
    std::uint64_t pagesDrawn_ = 0;
    bool storeDown_ = false;
    int skipPolls_ = 0;
    // Refused registrations already reported, so a value left in place is said once.
    std::set<std::string> refusedReported_;
};

template <> struct HookSlotList<AddOnModules::Hooks> {
    using S = AddOnModules::Hooks;
    static constexpr const char* Name = "AddOnModules::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, addonListShown), TRELK_HOOK_SLOT(S, redrawAddonList),
        TRELK_HOOK_SLOT(S, resetMenu),      TRELK_HOOK_SLOT(S, popupRequest),
        TRELK_HOOK_SLOT(S, popupOff),       TRELK_HOOK_SLOT(S, showConsole),
        TRELK_HOOK_SLOT(S, hideConsole),    TRELK_HOOK_SLOT(S, setWideConsole),
        TRELK_HOOK_SLOT(S, sendToChannel),  TRELK_HOOK_SLOT(S, reportDuringPlay),
    };
};
static_assert(ListsEverySlot<AddOnModules::Hooks>());

} // namespace trelk
