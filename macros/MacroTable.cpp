#include "MacroTable.h"

#include "MacroLine.h"
#include "core/IniFile.h"

#include <utility>

namespace trelk {

namespace {

std::string KeyName(int n, const char* suffix) {
    return "F" + std::to_string(n) + suffix;
}

const std::string& Empty() {
    static const std::string empty;
    return empty;
}

} // namespace

MacroTable::MacroTable(FileSystem& fileSystem, std::string settingsFile, KeyStringSender& sender,
                       TimerFactory& timers, MacroKeyState& keys,
                       std::function<void(const std::string&)> report)
    : Timer5(timers.createTimer("Timer5", LockoutMs)), fileSystem_(fileSystem),
      settingsFile_(std::move(settingsFile)), sender_(sender), keys_(keys),
      report_(std::move(report)) {
    Timer* timer = Timer5.get();
    timer->setHandler([timer] { timer->setEnabled(false); });
    for (int n = 1; n <= Count; ++n) {
        rows_[static_cast<std::size_t>(n - 1)].Caption = "ScrLk+F" + std::to_string(n);
    }
}

void MacroTable::LoadMacros() {
    IniFile ini;
    const IniResult loaded = ini.Load(fileSystem_, settingsFile_);
    if (!loaded.ok && report_) {
        report_("The macros could not be read: " + loaded.message);
    }
    LoadMacros(ini);
}

void MacroTable::LoadMacros(const IniFile& ini) {
    for (int n = 1; n <= Count; ++n) {
        const int channel = ini.readInteger(Section, KeyName(n, "Channel"), 0);
        std::string& entry = table_[static_cast<std::size_t>(n - 1)];
        if (channel >= 1 && channel <= 5) {
            // The file's bytes as they are: macros stored earlier replay as they always did.
            entry = BuildMacroEntry(channel, ini.readString(Section, KeyName(n, "String"), ""),
                                    ini.readBool(Section, KeyName(n, "Return"), false));
        } else {
            entry.clear();
        }
    }
}

MacroStoreResult MacroTable::StoreMacro(int n, const std::string& macroLine, bool addReturn) {
    keys_.ReleaseShift();
    const std::optional<MacroLine> parsed = MacroLine::Parse(macroLine);
    if (!validNumber(n) || !parsed) {
        return {};
    }
    const TypableText text = MakeTypable(parsed->text);

    // Read the whole file first: a save must keep every other section.
    IniFile ini;
    IniResult result = ini.Load(fileSystem_, settingsFile_);
    if (result.ok) {
        ini.writeInteger(Section, KeyName(n, "Channel"), parsed->channel);
        ini.writeString(Section, KeyName(n, "String"), text.text);
        ini.writeBool(Section, KeyName(n, "Return"), addReturn);
        result = ini.Save(fileSystem_, settingsFile_);
    }
    if (!result.ok) {
        return {MacroStoreResult::Outcome::WriteFailed,
                "Macro " + std::to_string(n) + " was not stored: " + result.message};
    }
    table_[static_cast<std::size_t>(n - 1)] =
        BuildMacroEntry(parsed->channel, text.text, addReturn);
    RefreshMacroList();
    return {MacroStoreResult::Outcome::Stored,
            text.replaced.empty()
                ? std::string()
                : "Macro " + std::to_string(n) + ": a macro cannot type these letters, stored as " +
                      text.replaced};
}

void MacroTable::RefreshMacroList() {
    for (int n = 1; n <= Count; ++n) {
        const auto parts = SplitMacroEntry(entry(n));
        if (!parts) {
            continue; // an undefined macro's row keeps what it showed
        }
        MacroListRow& row = rows_[static_cast<std::size_t>(n - 1)];
        row.Chan = std::to_string(parts->channel);
        row.Return = parts->addReturn ? "Yes" : "No";
        row.Description = parts->text;
    }
    for (const auto& view : views_) {
        view();
    }
}

void MacroTable::PlayMacro(int n) {
    if (!validNumber(n)) {
        return;
    }
    // The function key also opened the game's chat line on a channel.
    keys_.MarkMacroPending();
    if (Timer5->enabled()) {
        return;
    }
    if (!keys_.MacroKeyHeld()) {
        if (n == 5) {
            keys_.MarkChannelF5Pending();
        }
        keys_.ClearTypedLine();
        return;
    }
    if (!keys_.MacroKeyArmed()) {
        keys_.ClearTypedLine();
        return;
    }
    if (sender_.Sending()) {
        // A macro started inside a text still being typed would mix into it.
        return;
    }
    if (keys_.ShiftHeld()) {
        std::string macroLine = keys_.TypedLine();
        const bool addReturn = macroLine.ends_with("/r");
        if (addReturn) {
            macroLine.resize(macroLine.size() - 2);
        }
        const MacroStoreResult stored = StoreMacro(n, macroLine, addReturn);
        if (!stored.message.empty() && report_) {
            report_(stored.message);
        }
        // After a definition the new macro, after a rejected macro line the old one.
        replay(n, true);
        return;
    }
    // A further function key needs a new press of the hot key.
    keys_.ReleaseMacroKey();
    replay(n, false);
}

void MacroTable::ReplayMacro(int n) {
    replay(n, false);
}

void MacroTable::replay(int n, bool releaseShift) {
    if (!validNumber(n)) {
        return;
    }
    Timer5->setEnabled(true);
    if (releaseShift) {
        // The pilot still holds the Shift of the definition: the game would type the
        // replayed text shifted.
        sender_.SendKeyString(std::string(1, static_cast<char>(ShiftUpCode)));
    }
    // The replay's own Backspaces come back through the hook and must not act as the
    // pilot's.
    keys_.DisarmBackspace();
    // A copy: keys that come back during the send may store this macro again.
    const std::string keys = entry(n);
    sender_.SendKeyString(KeyStringSender::ClearLineString());
    sender_.SendKeyString(keys);
}

const std::string& MacroTable::entry(int n) const {
    return validNumber(n) ? table_[static_cast<std::size_t>(n - 1)] : Empty();
}

} // namespace trelk
