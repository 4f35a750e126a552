#pragma once

#include "platform/ports/KeyboardLayout.h"

#include <array>
#include <optional>
#include <vector>

namespace trelk {

// What to press for each character on one keyboard layout: a key with its level keys (Shift,
// AltGr) in one of the layout's groups, or a dead key and the key that completes it. Built once
// per layout; choosing during a send is a lookup.
//
// Within a group, a key that types the character itself beats a dead key sequence; fewer level
// keys beat more (plain, Shift, AltGr, Shift+AltGr) and the main block beats the keypad. A dead
// key sequence is preferably the dead key and a blank, then the dead key twice (the two ways a
// layout spells the accent alone), then any other key (an accented letter).
class TypingPlan {
public:
    // One key, or a dead key and the key after it.
    struct Strokes {
        std::array<KeyStroke, 2> keys{};
        int count = 0;
        const KeyStroke* begin() const { return keys.data(); }
        const KeyStroke* end() const { return keys.data() + count; }
    };

    explicit TypingPlan(const KeyboardLayout& layout);

    // The strokes for a character (a Windows-1252 byte), given the group the keys are read in
    // now and the pilot's own group: a key of the group in force, else of the pilot's group,
    // else of the first group that has one; a dead key sequence, in the same order of groups,
    // only where no group has a key for the character itself. Null when no group can type it.
    const Strokes* choose(unsigned char character, int groupInForce, int pilotGroup) const;

    int groupCount() const { return static_cast<int>(byGroup_.size()); }

private:
    struct Way {
        Strokes strokes;
        int cost = 0;
    };
    using GroupWays = std::array<std::optional<Way>, 256>;

    void offer(unsigned char character, const Way& way, int group);
    const Strokes* direct(unsigned char character, int group) const;
    const Strokes* composed(unsigned char character, int group) const;

    std::vector<GroupWays> byGroup_;
};

} // namespace trelk
