#include "KeyStringSender.h"

#include "platform/ports/VirtualKeys.h"

#include <array>
#include <utility>

namespace trelk {

namespace {

constexpr int ShiftScan = 0x2A;

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

} // namespace

KeyStringSender::KeyStringSender(Keyboard& keyboard, EventLoop& loop, Hooks hooks)
    : keyboard_(keyboard), loop_(loop), hooks_(std::move(hooks)) {}

void KeyStringSender::SendKeyStringHeld(const std::string& keys) {
    keysHeld_ = true;
    SendKeyString(keys);
    keysHeld_ = false;
}

void KeyStringSender::SendKeyString(const std::string& keys) {
    if (hooks_.onSendKeyString) {
        hooks_.onSendKeyString();
    }
    // Handlers run between keys and may change the caller's string: type what was asked.
    const std::string text = keys;
    bool modifierHeld = false;
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        bool pause = false;
        if (b >= FirstModifier) {
            const Modifier& modifier = Modifiers[static_cast<std::size_t>((b - FirstModifier) / 2)];
            const bool down = b % 2 == 0;
            keyboard_.injectKey(modifier.virtualKey, modifier.scanCode, !down);
            modifierHeld = down;
        } else {
            int virtualKey = b;
            bool shift = false;
            if (b >= FirstNavigationKey) {
                virtualKey = NavigationKeys[static_cast<std::size_t>(b - FirstNavigationKey)];
            } else if (b >= FirstFunctionKey) {
                virtualKey = Vk::F1 + (b - FirstFunctionKey);
                pause = true;
            } else if (b >= 32) {
                const auto key = keyboard_.keyForChar(b);
                // A character the layout cannot type is left out; the rest still arrives.
                virtualKey = key ? key->virtualKey : 0;
                shift = key && key->shift;
            }
            if (virtualKey != 0) {
                const int scanCode = keyboard_.scanCodeForKey(virtualKey);
                const bool wrap = shift && !modifierHeld;
                if (wrap) {
                    keyboard_.injectKey(Vk::Shift, ShiftScan, false);
                }
                keyboard_.injectKey(virtualKey, scanCode, false);
                if (!keysHeld_) {
                    keyboard_.injectKey(virtualKey, scanCode, true);
                }
                if (wrap) {
                    keyboard_.injectKey(Vk::Shift, ShiftScan, true);
                }
            }
        }
        loop_.processPendingMessages();
        if (pause) {
            Delay(FunctionKeyPauseMs);
        }
    }
}

void KeyStringSender::SendToChannel(const std::string& text, bool clearFirst, int channel) {
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
    SendKeyString(code + text);
}

void KeyStringSender::Delay(int ms) {
    loop_.processMessagesFor(ms);
}

const std::string& KeyStringSender::ClearLineString() {
    static const std::string clear(ClearLineLength, '\x08');
    return clear;
}

} // namespace trelk
