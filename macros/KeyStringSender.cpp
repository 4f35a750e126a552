#include "KeyStringSender.h"

#include "platform/ports/VirtualKeys.h"

#include <algorithm>
#include <array>
#include <utility>

namespace trelk {

namespace {

constexpr int ShiftScan = 0x2A;
constexpr int AltGrScan = 0x38; // Right Alt, an extended key

// Bytes 240..249: Home, End, Up, Down, Left, Right, Page Up, Page Down, Insert, Delete.
constexpr std::array<int, 10> NavigationKeys = {Vk::Home,   Vk::End,   Vk::Up,    Vk::Down,
                                                Vk::Left,   Vk::Right, Vk::Prior, Vk::Next,
                                                Vk::Insert, Vk::Delete};

struct Modifier {
    int virtualKey;
    int scanCode;
};
// Bytes 250/251, 252/253, 254/255: Shift, Ctrl, Alt down/up.
constexpr std::array<Modifier, 3> Modifiers = {
    {{Vk::Shift, 0x2A}, {Vk::Control, 0x1D}, {Vk::Menu, 0x38}}};

constexpr unsigned char FirstFunctionKey = 228;
constexpr unsigned char FirstNavigationKey = 240;
constexpr unsigned char FirstModifier = 250;
constexpr int FunctionKeyPauseMs = 100;
// Enough to recognise what is missing; the rest of a long list adds nothing.
constexpr std::size_t MostLeftOutShown = 20;
// Before the group or Caps Lock goes back: the hook's messages for the last keys arrive, so the
// program reads its own keys (the chat line it follows) with the state the game had.
constexpr int SettleMs = 20;

bool Toggled(const Keyboard::KeyboardState& state, int virtualKey) {
    return (state[static_cast<std::size_t>(virtualKey)] & 0x01) != 0;
}

} // namespace

// The keyboard as one send found it: Caps Lock is released before the first character, the
// group changes with the characters, and both go back when the send ends.
class KeyStringSender::Typing {
public:
    explicit Typing(Keyboard& keyboard) : keyboard_(keyboard) {}
    ~Typing() {
        if (!started_) {
            return;
        }
        if (groupInForce_ != pilotGroup_) {
            keyboard_.selectGroup(pilotGroup_);
        }
        if (capsLockReleased_) {
            keyboard_.setLockToggled(Vk::Capital, true);
        }
    }
    Typing(const Typing&) = delete;
    Typing& operator=(const Typing&) = delete;

    // Whether the end of the send puts a group or Caps Lock back.
    bool restores() const { return groupInForce_ != pilotGroup_ || capsLockReleased_; }

    // The strokes for a character, with the keyboard made ready for them; null when the layout
    // has none.
    const TypingPlan::Strokes* prepare(unsigned char character, const TypingPlan& plan) {
        if (!started_) {
            start();
        }
        const TypingPlan::Strokes* strokes = plan.choose(character, groupInForce_, pilotGroup_);
        if (strokes != nullptr && strokes->keys[0].group != groupInForce_) {
            groupInForce_ = strokes->keys[0].group;
            keyboard_.selectGroup(groupInForce_);
        }
        return strokes;
    }

private:
    void start() {
        started_ = true;
        pilotGroup_ = groupInForce_ = keyboard_.activeGroup();
        const auto state = keyboard_.currentState();
        if (state && Toggled(*state, Vk::Capital)) {
            keyboard_.setLockToggled(Vk::Capital, false);
            capsLockReleased_ = true;
        }
    }

    Keyboard& keyboard_;
    bool started_ = false;
    bool capsLockReleased_ = false;
    int pilotGroup_ = 0;
    int groupInForce_ = 0;
};

KeyStringSender::KeyStringSender(Keyboard& keyboard, EventLoop& loop, Hooks hooks)
    : keyboard_(keyboard), loop_(loop), hooks_(std::move(hooks)) {}

void KeyStringSender::SendKeyStringHeld(const std::string& keys) {
    keysHeld_ = true;
    SendKeyString(keys);
    keysHeld_ = false;
}

void KeyStringSender::SendKeyString(const std::string& keys) {
    send(keys, std::string::npos);
}

void KeyStringSender::TypeText(const std::string& text) {
    send(text, 0);
}

std::shared_ptr<const TypingPlan> KeyStringSender::plan() {
    const std::shared_ptr<const KeyboardLayout> layout = keyboard_.layout();
    if (!layout) {
        return nullptr;
    }
    if (layout != planned_) {
        planned_ = layout;
        plan_ = std::make_shared<const TypingPlan>(*layout);
    }
    return plan_;
}

void KeyStringSender::send(const std::string& keys, std::size_t textFrom) {
    const SendScope scope(sendDepth_);
    if (hooks_.onSendKeyString) {
        hooks_.onSendKeyString();
    }
    // Handlers run between keys and may change the caller's string: type what was asked.
    const std::string text = keys;
    std::string leftOut;
    typeKeys(text, textFrom, leftOut);
    if (!leftOut.empty() && hooks_.reportLeftOut) {
        // With the code beside each character: the log keeps only plain ASCII.
        std::string shown;
        for (std::size_t i = 0; i < std::min(leftOut.size(), MostLeftOutShown); ++i) {
            shown += (i == 0 ? "" : ", ") + std::string(1, leftOut[i]) + " (" +
                     std::to_string(static_cast<unsigned char>(leftOut[i])) + ")";
        }
        if (leftOut.size() > MostLeftOutShown) {
            shown += " ...";
        }
        hooks_.reportLeftOut(
            "Left out of the text typed into the game, no key of the keyboard layout "
            "types: " +
            shown);
    }
}

void KeyStringSender::typeKeys(const std::string& text, std::size_t textFrom,
                               std::string& leftOut) {
    Typing typing(keyboard_);
    // Held for the whole send: a send nested in this one may plan a layout that changed.
    std::shared_ptr<const TypingPlan> layoutPlan;
    bool planRead = false;
    bool modifierHeld = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        const bool code = i < textFrom && b >= FirstFunctionKey;
        bool pause = false;
        if (code && b >= FirstModifier) {
            const Modifier& modifier = Modifiers[static_cast<std::size_t>((b - FirstModifier) / 2)];
            const bool down = b % 2 == 0;
            keyboard_.injectKey(modifier.virtualKey, modifier.scanCode, !down);
            modifierHeld = down;
        } else if (code && b >= FirstNavigationKey) {
            tap(NavigationKeys[static_cast<std::size_t>(b - FirstNavigationKey)], 0);
        } else if (code) {
            tap(Vk::F1 + (b - FirstFunctionKey), 0);
            pause = true;
        } else if (b >= 32) {
            if (!planRead) {
                layoutPlan = plan();
                planRead = true;
            }
            const TypingPlan::Strokes* strokes =
                layoutPlan ? typing.prepare(b, *layoutPlan) : nullptr;
            if (strokes == nullptr) {
                // Without a layout nothing can be typed at all, and there is nobody to tell.
                if (layoutPlan && leftOut.find(static_cast<char>(b)) == std::string::npos) {
                    leftOut += static_cast<char>(b);
                }
            } else {
                for (const KeyStroke& stroke : *strokes) {
                    type(stroke, modifierHeld);
                }
            }
        } else if (b != 0) {
            tap(b, 0);
        }
        loop_.processPendingMessages();
        if (pause) {
            Delay(FunctionKeyPauseMs);
        }
    }
    if (typing.restores()) {
        Delay(SettleMs);
    }
}

// One key down and, unless KeysHeld, up again.
void KeyStringSender::tap(int virtualKey, int scanCode) {
    if (scanCode == 0) {
        scanCode = keyboard_.scanCodeForKey(virtualKey);
    }
    keyboard_.injectKey(virtualKey, scanCode, false);
    if (!keysHeld_) {
        keyboard_.injectKey(virtualKey, scanCode, true);
    }
}

// A key with the level keys it needs around it; a modifier the string holds down stands in for
// Shift, as it always has.
void KeyStringSender::type(const KeyStroke& stroke, bool modifierHeld) {
    const bool shift = stroke.shift && !modifierHeld;
    if (shift) {
        keyboard_.injectKey(Vk::Shift, ShiftScan, false);
    }
    if (stroke.altGr) {
        keyboard_.injectKey(Vk::RMenu, AltGrScan, false);
    }
    tap(stroke.virtualKey, stroke.scanCode);
    if (stroke.altGr) {
        keyboard_.injectKey(Vk::RMenu, AltGrScan, true);
    }
    if (shift) {
        keyboard_.injectKey(Vk::Shift, ShiftScan, true);
    }
}

void KeyStringSender::SendToChannel(const std::string& text, bool clearFirst, int channel) {
    // One send from the clearing to the last character.
    const SendScope scope(sendDepth_);
    if (hooks_.onSendToChannel) {
        hooks_.onSendToChannel();
    }
    if (clearFirst) {
        SendKeyString(ClearLineString());
    }
    if (channel < 1 || channel > 5) {
        channel = 5;
    }
    const std::string code(1, static_cast<char>(ChannelCode(channel)));
    SendKeyString(code);
    // The channel key, then the text as it stands: its letters 228..255 are letters.
    send(code + text, code.size());
}

void KeyStringSender::Delay(int ms) {
    loop_.processMessagesFor(ms);
}

const std::string& KeyStringSender::ClearLineString() {
    static const std::string clear(ClearLineLength, '\x08');
    return clear;
}

} // namespace trelk
