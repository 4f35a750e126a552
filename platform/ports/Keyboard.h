#pragma once

#include "KeyboardLayout.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace trelk {

// The keyboard in the system's vocabulary: Windows virtual-key codes (1..254), hardware scan
// codes (set 1, as keystroke flags carry them) and the active keyboard layout.
class Keyboard {
public:
    // One byte per virtual key; bit 7 set = the key is down (a Windows keyboard state).
    using KeyboardState = std::array<std::uint8_t, 256>;

    virtual ~Keyboard() = default;

    // What the active layout types in each of its groups; null while no layout can be read. The
    // same object comes back until the layout (or the Num Lock state) changes.
    virtual std::shared_ptr<const KeyboardLayout> layout() = 0;
    // The group keys are read in now (0-based), and the change of it for the keys sent next.
    virtual int activeGroup() = 0;
    virtual void selectGroup(int group) = 0;
    // Switches Caps Lock or Num Lock (Vk::Capital, Vk::NumLock) on or off, without a key event
    // that the game or the hook would see where the platform allows; bit 0 of their entries in
    // currentState() tells the state.
    virtual void setLockToggled(int virtualKey, bool toggled) = 0;
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
    // delivered in order with the events before it. The scan code, where given, tells apart two
    // keys of one virtual key; Vk::RMenu is the key that selects the layout's third level
    // (AltGr) where the layout has one.
    virtual void injectKey(int virtualKey, int scanCode, bool keyUp) = 0;
    // False where synthetic key events are not available (no XTest extension).
    virtual bool canInject() const = 0;
};

} // namespace trelk
