#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace trelk {

class MacroTable;

// What the macro definition dialog edits and decides: the macro's channel, text and Return
// flag, the Trelk commands it offers, Clear and Save. The dialog only shows this state.
class MacroEditor {
public:
    static constexpr std::size_t MaxTextLength = 255;
    static const std::array<const char*, 5> ChannelCaptions;
    static const std::array<const char*, 17> TrelkCommands;

    explicit MacroEditor(MacroTable& table) : table_(table) {}

    // Takes macro n (1..12) from its list row. The channel stays as it was when the row
    // shows none, as the dialog's selection does.
    void Open(int n);
    int macroNumber() const { return n_; }
    std::string Caption() const;
    // A stored text longer than the dialog allows is kept whole, not cut.
    std::size_t textLimit() const;

    // Appends " command " when it fits the text limit.
    bool AppendCommand(const std::string& command);
    // Empty text, channel 5, no Return.
    void Clear();

    struct SaveResult {
        enum class Outcome { Saved, NeedChannel, TextReplaced, Failed };
        Outcome outcome = Outcome::Saved;
        std::string title;
        std::string message;
    };
    // Stores the macro. Without a channel nothing is stored. Text with letters a macro cannot
    // type is replaced in Text for the pilot to see, and stored only by the next Save.
    SaveResult Save();

    int Channel = 0; // 0: none selected
    std::string Text;
    bool AddReturn = false;

private:
    MacroTable& table_;
    int n_ = 1;
    std::size_t openedLength_ = 0;
};

} // namespace trelk
