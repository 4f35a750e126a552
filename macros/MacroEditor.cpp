#include "MacroEditor.h"

#include "MacroLine.h"
#include "MacroTable.h"

#include <algorithm>

namespace trelk {

const std::array<const char*, 5> MacroEditor::ChannelCaptions = {
    "F1 - Faction", "F2 - Squad", "F3 - Sector", "F4- Whisper", "F5 - Booth"};

const std::array<const char*, 17> MacroEditor::TrelkCommands = {
    "//loadroid", "//loadarti",   "//load ",       "//load+ ",      "//reset",       "//dflr ",
    "//logon",    "//logoff",     "//viewlog",     "//jcmd",        "//ucmd",        "//getmarket",
    "//getroid",  "//autoexiton", "//autoexitoff", "//autostarton", "//autostartoff"};

void MacroEditor::Open(int n) {
    if (n < 1 || n > MacroTable::Count) {
        return;
    }
    n_ = n;
    const MacroListRow& row = table_.row(n);
    Text = row.Description;
    openedLength_ = Text.size();
    if (!row.Chan.empty()) {
        Channel = std::stoi(row.Chan);
    }
    AddReturn = row.Return == "Yes";
}

std::string MacroEditor::Caption() const {
    return "Define Macro:    ScrollLock + F" + std::to_string(n_);
}

std::size_t MacroEditor::textLimit() const {
    return std::max(MaxTextLength, openedLength_);
}

bool MacroEditor::AppendCommand(const std::string& command) {
    const std::string added = " " + command + " ";
    if (Text.size() + added.size() > textLimit()) {
        return false;
    }
    Text += added;
    return true;
}

void MacroEditor::Clear() {
    Text.clear();
    Channel = 5;
    AddReturn = false;
}

MacroEditor::SaveResult MacroEditor::Save() {
    using Outcome = SaveResult::Outcome;
    if (Channel < 1 || Channel > 5) {
        return {Outcome::NeedChannel, "Form Not Complete", "Select a Channel"};
    }
    const TypableText typable = MakeTypable(Text);
    if (!typable.replaced.empty()) {
        Text = typable.text;
        return {Outcome::TextReplaced, "Macro Text",
                "A macro cannot type these letters (the game would get function keys): " +
                    typable.replaced + ". Check the text and save again."};
    }
    const MacroStoreResult stored =
        table_.StoreMacro(n_, std::to_string(Channel) + ":" + Text, AddReturn);
    if (!stored.stored()) {
        return {Outcome::Failed, "Trelk Pro", stored.message};
    }
    return {};
}

} // namespace trelk
