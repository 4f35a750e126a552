#pragma once

#include "core/HookSlots.h"
#include "platform/ports/EventLoop.h"
#include "platform/ports/Keyboard.h"

#include <cstddef>
#include <functional>
#include <string>

namespace trelk {

// Types key strings into the window that has the keyboard focus: ordinary characters stand
// for themselves, single bytes from 228 up stand for function, navigation and modifier keys.
// Pending messages are processed after every key, so the program's own keys come back through
// the hook while a string is still being typed.
class KeyStringSender {
public:
    struct Hooks {
        // At the start of every SendKeyString: KeyDispatcher::DisarmMacroKey.
        std::function<void()> onSendKeyString{};
        // At the start of every SendToChannel: KeyDispatcher::SetEntrySent(false).
        std::function<void()> onSendToChannel{};
    };

    // The byte that selects chat channel c (1..5): F1..F5.
    static constexpr unsigned char ChannelCode(int channel) {
        return static_cast<unsigned char>(227 + channel);
    }
    // Sixty Backspaces: empties the game's chat line before a line is typed.
    static constexpr std::size_t ClearLineLength = 60;
    static const std::string& ClearLineString();

    KeyStringSender(Keyboard& keyboard, EventLoop& loop, Hooks hooks);

    // Bytes the layout cannot type (and byte 0) are left out; the rest of the string is typed.
    void SendKeyString(const std::string& keys);
    // Clears the chat line first when asked, selects the channel (1..5, anything else is 5)
    // twice, then types the text. No Return is added.
    void SendToChannel(const std::string& text, bool clearFirst, int channel);
    // Processes messages for ms milliseconds.
    void Delay(int ms);

    // As SendKeyString, but the keys are pressed and not released: a later string releases
    // them (the Alt of the in-station refresh). The modifier-up bytes and the Shift around a
    // character still send their key-up.
    void SendKeyStringHeld(const std::string& keys);
    // True only while SendKeyStringHeld types.
    bool KeysHeld() const { return keysHeld_; }

    const Hooks& hooks() const { return hooks_; }

private:
    Keyboard& keyboard_;
    EventLoop& loop_;
    Hooks hooks_;
    bool keysHeld_ = false;
};

template <> struct HookSlotList<KeyStringSender::Hooks> {
    using S = KeyStringSender::Hooks;
    static constexpr const char* Name = "KeyStringSender::Hooks";
    static constexpr std::tuple Slots{TRELK_HOOK_SLOT(S, onSendKeyString),
                                      TRELK_HOOK_SLOT(S, onSendToChannel)};
};
static_assert(ListsEverySlot<KeyStringSender::Hooks>());

} // namespace trelk
