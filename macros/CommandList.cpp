#include "CommandList.h"

#include "core/IniFile.h"

#include <algorithm>

namespace trelk {

namespace {

void Report(const CommandList::TextSink& sink, const std::string& text) {
    if (sink) {
        sink(text);
    }
}

} // namespace

CommandList::CommandList(FileSystem& fileSystem, std::string settingsFile, TextSink addLogLine,
                         std::function<void()> resetUserCmdIndex, TextSink reportError)
    : fileSystem_(fileSystem), settingsFile_(std::move(settingsFile)),
      addLogLine_(std::move(addLogLine)), resetUserCmdIndex_(std::move(resetUserCmdIndex)),
      reportError_(std::move(reportError)) {}

void CommandList::Load() {
    IniFile ini;
    const IniResult loaded = ini.Load(fileSystem_, settingsFile_);
    if (!loaded.ok) {
        // Emptying the list would look like "no commands" and lose the pilot's working list.
        Report(reportError_, loaded.message);
        return;
    }
    entries_ = ParseStored(ini.readString(Section, Key, ""));
    commandsAvailable_ = !entries_.empty();
    if (!commandsAvailable_) {
        Report(addLogLine_, NoCommandsLine);
    }
    if (resetUserCmdIndex_) {
        resetUserCmdIndex_();
    }
    changed();
}

bool CommandList::Save() {
    IniFile ini;
    IniResult result = ini.Load(fileSystem_, settingsFile_);
    // Saving over a file that could not be read would drop every other section in it.
    if (result.ok) {
        ini.writeString(Section, Key, ToStored(entries_));
        result = ini.Save(fileSystem_, settingsFile_);
    }
    if (!result.ok) {
        Report(reportError_, "The command list was not saved. " + result.message);
        return false;
    }
    Load();
    return true;
}

void CommandList::Clear() {
    entries_.clear();
    changed();
}

CommandList::EntryResult CommandList::AppendEntry(const std::string& text) {
    const std::string problem = EntryProblem(text);
    if (!problem.empty()) {
        Report(reportError_, problem);
        return {false, text};
    }
    entries_.push_back(text);
    changed();
    return {true, {}};
}

bool CommandList::DeleteEntry(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= entries_.size()) {
        return false;
    }
    entries_.erase(entries_.begin() + row);
    changed();
    return true;
}

std::vector<std::string> CommandList::SteppingList() const {
    return commandsAvailable_ ? entries_ : std::vector<std::string>{};
}

int CommandList::ArrowRow(int currentRow, int rowCount, bool up) {
    if (rowCount <= 0) {
        return -1;
    }
    const int moved = up ? currentRow - 1 : currentRow + 1;
    return std::clamp(moved, 0, rowCount - 1);
}

std::string CommandList::EntryProblem(std::string_view text) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (c == ';') {
            return "A command cannot contain \";\": the list is saved with \";\" after each "
                   "command. Add each command on its own line.";
        }
        if (b < 32) {
            return "A command cannot hold the character code " + std::to_string(b) +
                   ": the game would get a key (Enter, Backspace, Tab) instead. Remove it and "
                   "press <enter> again.";
        }
    }
    return {};
}

std::vector<std::string> CommandList::ParseStored(std::string_view stored) {
    // Every ';' ends one entry, empty ones included; text after the last ';' (a hand-edited
    // value) is one more entry.
    std::vector<std::string> entries;
    std::size_t start = 0;
    while (start < stored.size()) {
        const std::size_t end = stored.find(';', start);
        if (end == std::string_view::npos) {
            entries.emplace_back(stored.substr(start));
            break;
        }
        entries.emplace_back(stored.substr(start, end - start));
        start = end + 1;
    }
    return entries;
}

std::string CommandList::ToStored(const std::vector<std::string>& entries) {
    std::string stored;
    for (const std::string& entry : entries) {
        stored += entry;
        stored += ';';
    }
    return stored;
}

void CommandList::changed() {
    for (const auto& view : views_) {
        view();
    }
}

} // namespace trelk
