#pragma once

#include "TypingPlan.h"
#include "core/HookSlots.h"
#include "platform/ports/EventLoop.h"
#include "platform/ports/Keyboard.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <string>

namespace trelk {

// Types key strings into the window that has the keyboard focus: ordinary characters stand
// for themselves, single bytes from 228 up stand for function, navigation and modifier keys.
// Pending messages are processed after every key, so the program's own keys come back through
// the hook while a string is still being typed.
//
// Characters are typed on whatever layout the pilot uses: with AltGr where the layout has them
// there, in another group of the layout where the pilot's group has none (switched back after
// the send), or as a dead key and the key that completes it. Caps Lock is off while a send
// types characters and back on after it, so the game gets the text as it is stored. A character
// no group of the layout can type is left out and reported once per send.
class KeyStringSender {
public:
    struct Hooks {
        // At the start of every SendKeyString and TypeText: KeyDispatcher::DisarmMacroKey.
        std::function<void()> onSendKeyString{};
        // At the start of every SendToChannel: KeyDispatcher::SetEntrySent(false).
        std::function<void()> onSendToChannel{};
        // Once per send that left characters out: the status bar and the log.
        std::function<void(const std::string& message)> reportLeftOut{};
    };

    // The byte that selects chat channel c (1..5): F1..F5.
    static constexpr unsigned char ChannelCode(int channel) {
        return static_cast<unsigned char>(227 + channel);
    }
    // Sixty Backspaces: empties the game's chat line before a line is typed.
    static constexpr std::size_t ClearLineLength = 60;
    static const std::string& ClearLineString();

    KeyStringSender(Keyboard& keyboard, EventLoop& loop, Hooks hooks);

    // Byte 0 and characters the layout cannot type are left out; the rest of the string is
    // typed.
    void SendKeyString(const std::string& keys);
    // Types a text as it stands: every byte from 32 up is a character, 228..255 too (ä, é);
    // bytes below 32 are their keys (8 Backspace, 13 Enter).
    void TypeText(const std::string& text);
    // Clears the chat line first when asked, selects the channel (1..5, anything else is 5)
    // twice, then types the text (as TypeText does). No Return is added.
    void SendToChannel(const std::string& text, bool clearFirst, int channel);
    // Processes messages for ms milliseconds.
    void Delay(int ms);

    // As SendKeyString, but the keys are pressed and not released: a later string releases
    // them (the Alt of the in-station refresh). The modifier-up bytes and the level keys around
    // a character still send their key-up.
    void SendKeyStringHeld(const std::string& keys);
    // True only while SendKeyStringHeld types.
    bool KeysHeld() const { return keysHeld_; }
    // True while any send is typing (its keys come back through the hook meanwhile): a key
    // that starts a send of its own must not start it now, or the two texts interleave.
    bool Sending() const { return sendDepth_ > 0; }

    const Hooks& hooks() const { return hooks_; }

private:
    class Typing;
    // Marks a send for Sending() from its first key to its last.
    class SendScope {
    public:
        explicit SendScope(int& depth) : depth_(depth) { ++depth_; }
        ~SendScope() { --depth_; }
        SendScope(const SendScope&) = delete;
        SendScope& operator=(const SendScope&) = delete;

    private:
        int& depth_;
    };

    // Bytes from textFrom on are characters, whatever their value.
    void send(const std::string& keys, std::size_t textFrom);
    // The keys of one send; the characters no group could type are added to leftOut.
    void typeKeys(const std::string& text, std::size_t textFrom, std::string& leftOut);
    void tap(int virtualKey, int scanCode);
    void type(const KeyStroke& stroke, bool modifierHeld);
    std::shared_ptr<const TypingPlan> plan();

    Keyboard& keyboard_;
    EventLoop& loop_;
    Hooks hooks_;
    bool keysHeld_ = false;
    int sendDepth_ = 0;
    std::shared_ptr<const KeyboardLayout> planned_;
    std::shared_ptr<const TypingPlan> plan_;
};

template <> struct HookSlotList<KeyStringSender::Hooks> {
    using S = KeyStringSender::Hooks;
    static constexpr const char* Name = "KeyStringSender::Hooks";
    static constexpr std::tuple Slots{TRELK_HOOK_SLOT(S, onSendKeyString),
                                      TRELK_HOOK_SLOT(S, onSendToChannel),
                                      TRELK_HOOK_SLOT(S, reportLeftOut)};
};
static_assert(ListsEverySlot<KeyStringSender::Hooks>());

} // namespace trelk
