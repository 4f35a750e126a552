#pragma once

#include <optional>
#include <string>

namespace trelk {

// The macro forms: the macro line "3:hello" in which a macro arrives for storing, the entry that
// the key string sender replays (channel key, text, optional Return), and the text as the macro
// list shows it.
struct MacroLine {
    int channel = 0; // 1..5
    std::string text;

    // Skips leading colons; the channel is the decimal number up to the next colon (or the
    // end) and must be 1..5; the text is what follows that colon. Nothing otherwise.
    static std::optional<MacroLine> Parse(const std::string& macroLine);
};

// A stored entry taken apart, as the macro list's columns show it.
struct MacroEntryParts {
    int channel = 0;
    std::string text;
    bool addReturn = false;
};

std::string BuildMacroEntry(int channel, const std::string& text, bool addReturn);
// Nothing for an empty entry or one that does not start with a channel key.
std::optional<MacroEntryParts> SplitMacroEntry(const std::string& entry);

// Bytes 228..255 are letters in the chat (ä is 228) but function, navigation and modifier
// keys in a key string. Text the pilot enters for a new macro gets the plain letter instead
// (ä -> a, æ -> ae); ÷ has none and is left out. Stored macros are replayed as they are.
struct TypableText {
    std::string text;
    // "ä -> a, ÷ left out"; empty when the text was typable already.
    std::string replaced;
};
TypableText MakeTypable(const std::string& text);
bool IsTypable(const std::string& text);

} // namespace trelk
