#include "addons/AddOnModules.h"

#include "addons/AddOnText.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace trelk {

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string LineName(int n) {
    return "Line" + std::to_string(n);
}

} // namespace

// What one poll read and what it writes at its end.
struct AddOnModules::Poll {
    Values values;
    std::vector<UserStore::ValueWrite> writes;
    bool listChanged = false;

    const std::string& Get(const std::string& name) const {
        static const std::string empty;
        const auto found = values.find(Lower(name));
        return found != values.end() ? found->second : empty;
    }
    void Write(const std::string& name, std::string value) {
        writes.push_back({name, std::move(value), {}});
    }
    // Empties a request value while it still holds what was read (and every other value of
    // alsoUnchanged still holds its own).
    void Clear(const std::string& name, const std::vector<std::string>& alsoUnchanged = {}) {
        UserStore::ValueWrite write{name, "", {{name, Get(name)}}};
        for (const std::string& other : alsoUnchanged) {
            write.onlyIf.emplace_back(other, Get(other));
        }
        writes.push_back(std::move(write));
    }
};

AddOnModules::AddOnModules(UserStore& store, TimerFactory& timers, ConsolePage& page, Hooks hooks)
    : store_(store), page_(page), hooks_(std::move(hooks)),
      tmrAddon_(timers.createTimer("tmrAddon", PollMs)) {
    tmrAddon_->setHandler([this] { tmrAddonTimer(); });
}

void AddOnModules::Start() {
    readNext_ = true;
    tmrAddon_->setEnabled(true);
}

void AddOnModules::Stop() {
    tmrAddon_->setEnabled(false);
}

void AddOnModules::ClearList() {
    rows_.clear();
    for (const auto& view : views_) {
        view();
    }
}

void AddOnModules::tmrAddonTimer() {
    if (skipPolls_ > 0) {
        --skipPolls_;
        return;
    }
    const std::optional<std::uint64_t> stamp = store_.changeStamp();
    if (!stamp) {
        StoreFailed(store_.lastError());
        return;
    }
    if (!readNext_ && stamp == lastStamp_) {
        return;
    }
    Poll poll;
    for (auto& [name, value] : store_.values(InterfaceKey)) {
        poll.values.emplace(Lower(name), std::move(value));
    }
    if (const std::string error = store_.lastError(); !error.empty()) {
        StoreFailed(error);
        return;
    }
    ++fullReads_;
    // Read after the stamp: a change in between is read now and once more at the next poll.
    lastStamp_ = stamp;
    readNext_ = false;

    highlight_ = addontext::HighlightFromStore(poll.Get("ListHighLight"));
    ForgetPageUnlessOf(poll.Get("ActiveAddon"));
    Registration(poll);
    Unregistration(poll);
    PopUp(poll);
    PopOff(poll);
    Wide(poll);
    PageData(poll);
    Release(poll);
    Publish(poll);

    if (poll.listChanged) {
        for (const auto& view : views_) {
            view();
        }
    }
    if (!poll.writes.empty() && !store_.writeValues(InterfaceKey, poll.writes)) {
        // The requests are still in the store: the next poll handles them again, which repeats
        // nothing that matters (a known name registers once, a missing one unregisters once).
        StoreFailed(store_.lastError());
        return;
    }
    if (storeDown_) {
        storeDown_ = false;
        if (hooks_.reportDuringPlay) {
            hooks_.reportDuringPlay("Add-on exchange: the per-user store works again.");
        }
    }
}

void AddOnModules::Registration(Poll& poll) {
    const std::string name = poll.Get("AppReg");
    if (name.empty()) {
        return;
    }
    if (const std::string problem = addontext::NameProblem(name); !problem.empty()) {
        Refused(name, problem);
    } else if (std::none_of(rows_.begin(), rows_.end(),
                            [&](const AddOnRow& row) { return row.Name == name; })) {
        rows_.push_back({name, poll.Get("AppExe"), autoStartNames_.contains(name)});
        ++registrations_;
        ListChanged(poll);
    }
    poll.Clear("AppReg");
    poll.Clear("AppExe");
}

void AddOnModules::Unregistration(Poll& poll) {
    const std::string name = poll.Get("AppUnReg");
    if (name.empty()) {
        return;
    }
    const auto found = std::find_if(rows_.begin(), rows_.end(),
                                    [&](const AddOnRow& row) { return row.Name == name; });
    if (found != rows_.end()) {
        rows_.erase(found);
        ++unregistrations_;
        if (name == poll.Get("ActiveAddon")) {
            Run(hooks_.resetMenu);
            poll.Write("ActiveAddon", "");
        }
        ListChanged(poll);
    }
    poll.Clear("AppUnReg");
}

void AddOnModules::PopUp(Poll& poll) {
    const std::string name = poll.Get("RequestPopUp");
    if (name.empty()) {
        return;
    }
    poll.Write("ActiveAddon", name);
    poll.Clear("RequestPopUp");
    Run(hooks_.popupRequest);
    Run(hooks_.showConsole);
}

void AddOnModules::PopOff(Poll& poll) {
    const std::string name = poll.Get("RequestPopOff");
    if (name.empty()) {
        return;
    }
    if (name == poll.Get("ActiveAddon")) {
        poll.Write("ActiveAddon", "");
        Run(hooks_.popupOff);
        Run(hooks_.hideConsole);
    }
    poll.Clear("RequestPopOff");
}

void AddOnModules::Wide(Poll& poll) {
    const std::string& request = poll.Get("RequestWide");
    if (request.empty()) {
        return;
    }
    if (hooks_.setWideConsole) {
        hooks_.setWideConsole(request == "ON");
    }
    poll.Clear("RequestWide");
}

void AddOnModules::PageData(Poll& poll) {
    const std::string& ready = poll.Get("DataReady");
    if (ready.empty() || ready != poll.Get("ActiveAddon")) {
        return;
    }
    // A page written again while this one was read is not emptied: the next poll draws it.
    std::vector<std::string> pageValues = {"Title", "ListHighLight"};
    for (int n = 1; n <= addontext::PageLines; ++n) {
        pageValues.push_back(LineName(n));
    }
    poll.Clear("DataReady", pageValues);

    page_.ClearPage();
    page_.SetPageTitle(addontext::LineFromStore(poll.Get("Title")));
    page_.SizeLines(addontext::PageLines);
    pageOwner_ = ready;
    for (int n = 1; n <= addontext::PageLines; ++n) {
        std::string line = addontext::LineFromStore(poll.Get(LineName(n)));
        pageLines_[static_cast<std::size_t>(n - 1)] = line;
        page_.AddPageLine(line.starts_with('&') ? line.substr(1) : line, 5);
    }
    page_.SelectLine(highlight_ - 1);
    ++pagesDrawn_;
}

void AddOnModules::Release(Poll& poll) {
    const std::string& release = poll.Get("AddOnRelease");
    if (release.empty() || release != poll.Get("ActiveAddon")) {
        return;
    }
    poll.Clear("AddOnRelease");
    upLevelReleased_ = true;
}

void AddOnModules::Publish(Poll& poll) {
    // What add-ons read of the program is put back when it went (a store file deleted and
    // begun anew while the program runs).
    if (poll.Get("TrelkProStartUp") != "1") {
        poll.Write("TrelkProStartUp", "1");
    }
    const std::string list = addontext::RegListText(Names());
    if (poll.listChanged || poll.Get("AddOnRegList") != list) {
        poll.Write("AddOnRegList", list);
    }
}

void AddOnModules::ListChanged(Poll& poll) {
    poll.listChanged = true;
    if (hooks_.addonListShown && hooks_.addonListShown()) {
        Run(hooks_.redrawAddonList);
    }
}

void AddOnModules::ActiveAddonWritten(const std::string& name) {
    StoreWritten();
    ForgetPageUnlessOf(name);
}

void AddOnModules::ForgetPageUnlessOf(const std::string& name) {
    if (name != pageOwner_) {
        pageOwner_.clear();
        std::fill(pageLines_.begin(), pageLines_.end(), std::string());
    }
}

void AddOnModules::TypeHighlightedEntry() {
    if (highlight_ < 1 || highlight_ > addontext::PageLines) {
        return;
    }
    const std::string& line = pageLines_[static_cast<std::size_t>(highlight_ - 1)];
    // A line that is no entry types nothing: an empty send would wipe what the pilot has
    // begun to type in the chat line.
    if (line.size() < 2 || line[0] != '&') {
        return;
    }
    if (hooks_.sendToChannel) {
        hooks_.sendToChannel(line.substr(1), true, EntryChannel);
    }
}

std::vector<std::string> AddOnModules::Names() const {
    std::vector<std::string> names;
    names.reserve(rows_.size());
    for (const AddOnRow& row : rows_) {
        names.push_back(row.Name);
    }
    return names;
}

void AddOnModules::SetRowChecked(std::size_t row, bool checked) {
    if (row < rows_.size() && rows_[row].Checked != checked) {
        rows_[row].Checked = checked;
        for (const auto& view : views_) {
            view();
        }
    }
}

void AddOnModules::SetAutoStartNames(std::vector<std::string> names) {
    autoStartNames_ = std::set<std::string>(names.begin(), names.end());
}

void AddOnModules::StoreFailed(const std::string& error) {
    readNext_ = true;
    skipPolls_ = PollsSkippedAfterFailure;
    if (storeDown_) {
        return;
    }
    storeDown_ = true;
    if (hooks_.reportDuringPlay) {
        hooks_.reportDuringPlay("Add-on exchange: " + error + "; polling goes on.");
    }
}

void AddOnModules::Refused(const std::string& name, const std::string& problem) {
    if (!refusedReported_.insert(name.substr(0, addontext::MaxNameLength + 1)).second) {
        return;
    }
    if (hooks_.reportDuringPlay) {
        hooks_.reportDuringPlay(
            "Add-on registration refused: " + addontext::LineFromStore(name).substr(0, 40) + ": " +
            problem + ".");
    }
}

void AddOnModules::Run(const std::function<void()>& hook) {
    if (hook) {
        hook();
    }
}

} // namespace trelk
