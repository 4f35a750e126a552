#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace trelk {

// The keyboard in the system's vocabulary: Windows virtual-key codes (1..254), hardware scan
// codes (set 1, as keystroke flags carry them) and the active keyboard layout.
class Keyboard {
public:
    // One byte per virtual key; bit 7 set = the key is down (a Windows keyboard state).
    using KeyboardState = std::array<std::uint8_t, 256>;

    struct KeyForChar {
        int virtualKey = 0;
        bool shift = false; // the layout needs Shift (or another modifier) for the character
    };

    virtual ~Keyboard() = default;

    // The key and shift state that type a character (a Windows-1252 byte) in the active
    // layout; nullopt when the layout cannot produce it.
    virtual std::optional<KeyForChar> keyForChar(unsigned char character) = 0;
    // The hardware scan code of a virtual key in the active layout; 0 when unknown.
    virtual int scanCodeForKey(int virtualKey) = 0;
    // The characters (Windows-1252, none, one or two) that a key press produces with the
    // given keyboard state, as the layout's translation gives them.
    virtual std::string charactersForKey(int virtualKey, int scanCode,
                                         const KeyboardState& state) = 0;
    // The display name of a key ("Insert", "Num *"), at most 31 characters.
    virtual std::string keyName(int virtualKey, bool extended) = 0;
    // The current state of all keys and mouse buttons; nullopt when it cannot be read.
    virtual std::optional<KeyboardState> currentState() = 0;

    // Sends one key event to the window that has the keyboard focus; returns once the event is
    // delivered in order with the events before it.
    virtual void injectKey(int virtualKey, int scanCode, bool keyUp) = 0;
    // False where synthetic key events are not available (no XTest extension).
    virtual bool canInject() const = 0;
};

} // namespace trelk
