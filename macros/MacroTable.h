#pragma once

#include "KeyStringSender.h"
#include "MacroKeyState.h"
#include "platform/ports/FileSystem.h"
#include "platform/ports/Timers.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace trelk {

class IniFile;

// One row of the macro list: "ScrLk+F7", "2", "Yes", "gg".
struct MacroListRow {
    std::string Caption;
    std::string Chan;
    std::string Return;
    std::string Description;
};

struct MacroStoreResult {
    enum class Outcome { Stored, Ignored, WriteFailed };
    Outcome outcome = Outcome::Ignored;
    // After Stored: what was replaced in the text (empty when nothing). After WriteFailed: why.
    std::string message;
    bool stored() const { return outcome == Outcome::Stored; }
};

// The twelve keyboard macros: their key strings, their "Macros" section in the settings file,
// the rows the macro list shows, and the macro key the dispatcher calls for F1..F12.
class MacroTable {
public:
    static constexpr int Count = 12;
    static constexpr int LockoutMs = 500;
    static constexpr const char* Section = "Macros";

    // keys: the dispatcher's key state. report tells the pilot about a macro defined in the
    // game that could not be stored, or whose text was changed to be typable; it must not take
    // the focus from the game.
    MacroTable(FileSystem& fileSystem, std::string settingsFile, KeyStringSender& sender,
               TimerFactory& timers, MacroKeyState& keys,
               std::function<void(const std::string&)> report);
    MacroTable(const MacroTable&) = delete;
    MacroTable& operator=(const MacroTable&) = delete;

    // Reads the section; a channel outside 1..5 leaves that macro undefined.
    void LoadMacros();
    void LoadMacros(const IniFile& ini);
    // macroLine is "channel:text". A bad channel changes nothing; text that a key string cannot
    // carry is made typable. The file is written first: when that fails the entry keeps its
    // old value.
    MacroStoreResult StoreMacro(int n, const std::string& macroLine, bool addReturn);
    void RefreshMacroList();
    // F1..F12 as the dispatcher calls it: play macro n, or define it with Shift.
    void PlayMacro(int n);
    void ReplayMacro(int n);

    // Entry n (1..12); empty when undefined.
    const std::string& entry(int n) const;
    const std::array<MacroListRow, Count>& rows() const { return rows_; }
    const MacroListRow& row(int n) const { return rows_.at(static_cast<std::size_t>(n - 1)); }
    bool lockedOut() const { return Timer5->enabled(); }

    // Run after RefreshMacroList changed what the rows show.
    void addView(std::function<void()> view) { views_.push_back(std::move(view)); }

private:
    static constexpr unsigned char ShiftUpCode = 251;
    static bool validNumber(int n) { return n >= 1 && n <= Count; }
    void replay(int n, bool releaseShift);

    // One-shot 500 ms: no macro plays while it runs.
    std::unique_ptr<Timer> Timer5;
    FileSystem& fileSystem_;
    std::string settingsFile_;
    KeyStringSender& sender_;
    MacroKeyState& keys_;
    std::function<void(const std::string&)> report_;
    std::array<std::string, Count> table_;
    std::array<MacroListRow, Count> rows_;
    std::vector<std::function<void()>> views_;
};

} // namespace trelk
