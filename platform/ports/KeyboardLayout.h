#pragma once

#include <vector>

namespace trelk {

// One key press as the active keyboard layout reads it: the key, the layout group it is read in
// and the level keys held around it.
struct KeyStroke {
    int group = 0;      // 0-based; a layout with one group has only 0
    int virtualKey = 0; // as that group names the key
    int scanCode = 0;   // set 1; with the virtual key it names the physical key
    bool shift = false;
    bool altGr = false; // the third level: AltGr (Right Alt; Ctrl+Alt on the original platform)
    friend bool operator==(const KeyStroke&, const KeyStroke&) = default;
};

// Everything the keyboard layout types, in every group and level, as it types once Caps Lock is
// released (text is sent with it released) and with Num Lock as it is. Characters are
// Windows-1252 bytes from 32 up; characters outside Windows-1252 are not listed.
struct KeyboardLayout {
    // A key that types the character itself.
    struct Character {
        KeyStroke stroke;
        unsigned char character = 0;
    };
    // A dead key followed by a second key: the text input composes the two into one character
    // (the accent alone after a blank or after the dead key itself, or an accented letter).
    struct DeadKeySequence {
        KeyStroke deadKey;
        KeyStroke next;
        unsigned char character = 0;
    };

    int groupCount = 1;
    // The main block before the keypad, and in each the fewest level keys first.
    std::vector<Character> characters;
    std::vector<DeadKeySequence> deadKeySequences;
};

} // namespace trelk
