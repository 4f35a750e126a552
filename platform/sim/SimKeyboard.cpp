#include "SimKeyboard.h"

#include "SimGame.h"
#include "SimHookLibrary.h"
#include "platform/ports/VirtualKeys.h"

#include <array>
#include <cstdio>
#include <ostream>

namespace trelk {

namespace {

// The generic modifiers and their sided codes move together (updateState).
static_assert(Vk::Control == Vk::Shift + 1 && Vk::Menu == Vk::Shift + 2);
static_assert(Vk::LControl == Vk::LShift + 2 && Vk::LMenu == Vk::LShift + 4);

struct KeyInfo {
    std::uint8_t scan = 0;
    bool extended = false; // an extended key (bit 24 of the keystroke flags)
    char normal = 0;       // character without Shift
    char shifted = 0;      // character with Shift
    const char* name = nullptr;
    const char* keypadName = nullptr; // the name without the extended flag (keypad keys)
};

using Layout = std::array<KeyInfo, 256>;

// The US layout: scan codes of set 1, the characters, and the key names.
Layout BuildUsLayout() {
    Layout keys{};
    auto set = [&keys](int vk, int scan, const char* name, char normal = 0, char shifted = 0,
                       bool extended = false, const char* keypadName = nullptr) {
        keys[static_cast<std::size_t>(vk)] = {
            static_cast<std::uint8_t>(scan), extended, normal, shifted, name, keypadName};
    };
    set(Vk::Back, 0x0E, "Backspace", '\b', '\b');
    set(Vk::Tab, 0x0F, "Tab", '\t', '\t');
    set(Vk::Clear, 0x4C, "Num 5");
    set(Vk::Return, 0x1C, "Enter", '\r', '\r');
    set(Vk::Shift, 0x2A, "Shift");
    set(Vk::Control, 0x1D, "Ctrl");
    set(Vk::Menu, 0x38, "Alt");
    set(Vk::Pause, 0x45, "Pause");
    set(Vk::Capital, 0x3A, "Caps Lock");
    set(Vk::Escape, 0x01, "Esc", '\x1b', '\x1b');
    set(Vk::Space, 0x39, "Space", ' ', ' ');
    set(Vk::Prior, 0x49, "Page Up", 0, 0, true, "Num 9");
    set(Vk::Next, 0x51, "Page Down", 0, 0, true, "Num 3");
    set(Vk::End, 0x4F, "End", 0, 0, true, "Num 1");
    set(Vk::Home, 0x47, "Home", 0, 0, true, "Num 7");
    set(Vk::Left, 0x4B, "Left", 0, 0, true, "Num 4");
    set(Vk::Up, 0x48, "Up", 0, 0, true, "Num 8");
    set(Vk::Right, 0x4D, "Right", 0, 0, true, "Num 6");
    set(Vk::Down, 0x50, "Down", 0, 0, true, "Num 2");
    set(Vk::Snapshot, 0x37, "Prnt Scrn", 0, 0, true);
    set(Vk::Insert, 0x52, "Insert", 0, 0, true, "Num 0");
    set(Vk::Delete, 0x53, "Delete", 0, 0, true, "Num Del");

    static constexpr const char* DigitNames[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    static constexpr char DigitShifted[] = ")!@#$%^&*(";
    for (int d = 0; d <= 9; ++d) {
        set('0' + d, d == 0 ? 0x0B : 0x01 + d, DigitNames[d], static_cast<char>('0' + d),
            DigitShifted[d]);
    }
    static constexpr const char* LetterNames[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                                  "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                                  "S", "T", "U", "V", "W", "X", "Y", "Z"};
    static constexpr std::uint8_t LetterScans[] = {
        0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
        0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    for (int l = 0; l < 26; ++l) {
        set('A' + l, LetterScans[l], LetterNames[l], static_cast<char>('a' + l),
            static_cast<char>('A' + l));
    }
    set(Vk::LWin, 0x5B, "Left Windows", 0, 0, true);
    set(Vk::RWin, 0x5C, "Right Windows", 0, 0, true);
    set(Vk::Apps, 0x5D, "Application", 0, 0, true);

    static constexpr const char* KeypadNames[] = {"Num 0", "Num 1", "Num 2", "Num 3", "Num 4",
                                                  "Num 5", "Num 6", "Num 7", "Num 8", "Num 9"};
    static constexpr std::uint8_t KeypadScans[] = {0x52, 0x4F, 0x50, 0x51, 0x4B,
                                                   0x4C, 0x4D, 0x47, 0x48, 0x49};
    for (int d = 0; d <= 9; ++d) {
        const char digit = static_cast<char>('0' + d);
        set(Vk::Numpad0 + d, KeypadScans[d], KeypadNames[d], digit, digit);
    }
    set(Vk::Multiply, 0x37, "Num *", '*', '*');
    set(Vk::Add, 0x4E, "Num +", '+', '+');
    set(Vk::Subtract, 0x4A, "Num -", '-', '-');
    set(Vk::Decimal, 0x53, "Num Del", '.', '.');
    set(Vk::Divide, 0x35, "Num /", '/', '/', true);

    static constexpr const char* FunctionNames[] = {
        "F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",  "F9",  "F10", "F11", "F12",
        "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};
    static constexpr std::uint8_t FunctionScans[] = {
        0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58,
        0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76};
    for (int f = 0; f < 24; ++f) {
        set(Vk::F1 + f, FunctionScans[f], FunctionNames[f]);
    }
    set(Vk::NumLock, 0x45, "Num Lock", 0, 0, true);
    set(Vk::Scroll, 0x46, "Scroll Lock");
    set(Vk::LShift, 0x2A, "Shift");
    set(Vk::RShift, 0x36, "Right Shift");
    set(Vk::LControl, 0x1D, "Ctrl");
    set(Vk::RControl, 0x1D, "Right Ctrl", 0, 0, true);
    set(Vk::LMenu, 0x38, "Alt");
    set(Vk::RMenu, 0x38, "Right Alt", 0, 0, true);

    set(Vk::Oem1, 0x27, ";", ';', ':');
    set(Vk::OemPlus, 0x0D, "=", '=', '+');
    set(Vk::OemComma, 0x33, ",", ',', '<');
    set(Vk::OemMinus, 0x0C, "-", '-', '_');
    set(Vk::OemPeriod, 0x34, ".", '.', '>');
    set(Vk::Oem2, 0x35, "/", '/', '?');
    set(Vk::Oem3, 0x29, "`", '`', '~');
    set(Vk::Oem4, 0x1A, "[", '[', '{');
    set(Vk::Oem5, 0x2B, "\\", '\\', '|');
    set(Vk::Oem6, 0x1B, "]", ']', '}');
    set(Vk::Oem7, 0x28, "'", '\'', '"');
    return keys;
}

const Layout& UsLayout() {
    static const Layout layout = BuildUsLayout();
    return layout;
}

using CharTable = std::array<std::optional<Keyboard::KeyForChar>, 256>;

// Character to key, as the layout's own lookup gives it: the main block wins over the keypad
// ('+' is Shift and '=', not Num +).
CharTable BuildCharTable() {
    CharTable table{};
    const Layout& keys = UsLayout();
    for (int vk = 1; vk < 256; ++vk) {
        if (vk >= Vk::Numpad0 && vk <= Vk::Divide) {
            continue;
        }
        const KeyInfo& key = keys[static_cast<std::size_t>(vk)];
        for (const bool shift : {false, true}) {
            const char c = shift ? key.shifted : key.normal;
            auto& slot = table[static_cast<unsigned char>(c)];
            if (c != 0 && !slot) {
                slot = Keyboard::KeyForChar{vk, shift};
            }
        }
    }
    return table;
}

const KeyInfo* Find(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) {
        return nullptr;
    }
    return &UsLayout()[static_cast<std::size_t>(virtualKey)];
}

bool Down(const Keyboard::KeyboardState& state, int virtualKey) {
    return (state[static_cast<std::size_t>(virtualKey)] & 0x80) != 0;
}

bool IsMouseButton(int virtualKey) {
    return virtualKey == Vk::LButton || virtualKey == Vk::RButton ||
           (virtualKey >= Vk::MButton && virtualKey <= Vk::XButton2);
}

} // namespace

std::string DescribeKeys(const std::vector<SimKeyEvent>& events) {
    std::string text;
    for (const SimKeyEvent& event : events) {
        if (!text.empty()) {
            text += ' ';
        }
        text += event.keyUp ? '-' : '+';
        const KeyInfo* key = Find(event.virtualKey);
        if (key != nullptr && key->name != nullptr) {
            text += key->name;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(event.virtualKey));
            text += hex;
        }
    }
    return text;
}

void PrintTo(const SimKeyEvent& event, std::ostream* out) {
    *out << DescribeKeys({event});
}

std::optional<Keyboard::KeyForChar> SimKeyboard::keyForChar(unsigned char character) {
    static const CharTable table = BuildCharTable();
    return table[character];
}

int SimKeyboard::scanCodeForKey(int virtualKey) {
    const KeyInfo* key = Find(virtualKey);
    return key == nullptr ? 0 : key->scan;
}

bool SimKeyboard::IsExtendedKey(int virtualKey) {
    const KeyInfo* key = Find(virtualKey);
    return key != nullptr && key->extended;
}

std::string SimKeyboard::charactersForKey(int virtualKey, int /*scanCode*/,
                                          const KeyboardState& state) {
    const bool shift = Down(state, Vk::Shift) || Down(state, Vk::LShift) || Down(state, Vk::RShift);
    const bool ctrl =
        Down(state, Vk::Control) || Down(state, Vk::LControl) || Down(state, Vk::RControl);
    const bool alt = Down(state, Vk::Menu) || Down(state, Vk::LMenu) || Down(state, Vk::RMenu);
    if (const char letter = layoutLetter(virtualKey); letter != 0) {
        return ctrl || alt ? std::string() : std::string(1, letter);
    }
    const KeyInfo* key = Find(virtualKey);
    if (key == nullptr) {
        return {};
    }
    if (ctrl && alt) {
        return {}; // the US layout has nothing on AltGr
    }
    if (virtualKey >= 'A' && virtualKey <= 'Z') {
        if (ctrl) {
            return std::string(1, static_cast<char>(virtualKey - 'A' + 1));
        }
        const bool capsLock = (state[Vk::Capital] & 0x01) != 0;
        return std::string(1, shift != capsLock ? key->shifted : key->normal);
    }
    if (ctrl) {
        switch (virtualKey) {
        case Vk::Return:
            return "\n";
        case Vk::Back:
            return "\x7f";
        case Vk::Space:
            return " ";
        case Vk::Escape:
        case Vk::Oem4:
            return "\x1b";
        case Vk::Oem5:
            return "\x1c";
        case Vk::Oem6:
            return "\x1d";
        default:
            return {};
        }
    }
    const char c = shift ? key->shifted : key->normal;
    return c == 0 ? std::string() : std::string(1, c);
}

std::string SimKeyboard::keyName(int virtualKey, bool extended) {
    const KeyInfo* key = Find(virtualKey);
    if (key == nullptr || key->name == nullptr) {
        return {};
    }
    if (key->keypadName != nullptr && !extended) {
        return key->keypadName;
    }
    if (extended) {
        switch (virtualKey) {
        case Vk::Return:
            return "Num Enter";
        case Vk::Control:
            return "Right Ctrl";
        case Vk::Menu:
            return "Right Alt";
        default:
            break;
        }
    }
    return key->name;
}

std::optional<Keyboard::KeyboardState> SimKeyboard::currentState() {
    if (!stateReadable_) {
        return std::nullopt;
    }
    return state_;
}

void SimKeyboard::injectKey(int virtualKey, int scanCode, bool keyUp) {
    if (!canInject_ || virtualKey < 1 || virtualKey > 254) {
        ++ignored_;
        return;
    }
    injected_.push_back({virtualKey, keyUp});
    keyEvent(virtualKey, scanCode, keyUp);
}

void SimKeyboard::pilotPress(int virtualKey) {
    if (virtualKey < 1 || virtualKey > 254) {
        ++ignored_;
        return;
    }
    keyEvent(virtualKey, scanCodeForKey(virtualKey), false);
}

void SimKeyboard::pilotRelease(int virtualKey) {
    if (virtualKey < 1 || virtualKey > 254) {
        ++ignored_;
        return;
    }
    keyEvent(virtualKey, scanCodeForKey(virtualKey), true);
}

void SimKeyboard::pilotTypes(const std::string& text) {
    for (const char c : text) {
        std::optional<KeyForChar> key;
        if (c == '\n') {
            key = KeyForChar{Vk::Return, false};
        } else {
            key = keyForChar(static_cast<unsigned char>(c));
        }
        for (int vk = 0; !key && vk <= 255; ++vk) {
            if (c != 0 && layoutLetter(vk) == c) {
                key = KeyForChar{vk, false};
            }
        }
        if (!key) {
            continue; // nothing on a US keyboard types it
        }
        const bool wrap = key->shift && !isDown(Vk::Shift);
        if (wrap) {
            pilotPress(Vk::Shift);
        }
        pilotPress(key->virtualKey);
        pilotRelease(key->virtualKey);
        if (wrap) {
            pilotRelease(Vk::Shift);
        }
    }
}

void SimKeyboard::addLayoutKey(int virtualKey, char letter) {
    if (virtualKey >= 0 && virtualKey <= 255) {
        layoutKeys_[static_cast<std::size_t>(virtualKey)] = letter;
    }
}

char SimKeyboard::layoutLetter(int virtualKey) const {
    return virtualKey >= 0 && virtualKey <= 255 ? layoutKeys_[static_cast<std::size_t>(virtualKey)]
                                                : '\0';
}

bool SimKeyboard::isDown(int virtualKey) const {
    return virtualKey >= 0 && virtualKey <= 255 && Down(state_, virtualKey);
}

std::uint32_t SimKeyboard::KeystrokeFlags(int virtualKey, int scanCode, bool keyUp, bool wasDown,
                                          bool altDown) {
    std::uint32_t flags = 1; // repeat count
    flags |= (static_cast<std::uint32_t>(scanCode) & 0xFFu) << 16;
    if (IsExtendedKey(virtualKey)) {
        flags |= 1u << 24;
    }
    if (altDown) {
        flags |= 1u << 29;
    }
    // A release always follows a down state, as the system reports it.
    if (keyUp || wasDown) {
        flags |= 1u << 30;
    }
    if (keyUp) {
        flags |= 1u << 31;
    }
    return flags;
}

void SimKeyboard::updateState(int virtualKey, bool keyUp) {
    auto set = [this](int vk, bool down) {
        auto& entry = state_[static_cast<std::size_t>(vk)];
        entry = static_cast<std::uint8_t>(down ? (entry | 0x80) : (entry & 0x7F));
    };
    // Toggle keys flip their low bit on each fresh press.
    if (!keyUp && !isDown(virtualKey) &&
        (virtualKey == Vk::Capital || virtualKey == Vk::NumLock || virtualKey == Vk::Scroll)) {
        state_[static_cast<std::size_t>(virtualKey)] ^= 0x01;
    }
    set(virtualKey, !keyUp);
    // The generic modifier and its left-hand key move together; the generic one stays down
    // while either side is.
    if (virtualKey >= Vk::Shift && virtualKey <= Vk::Menu) {
        set(Vk::LShift + 2 * (virtualKey - Vk::Shift), !keyUp);
    } else if (virtualKey >= Vk::LShift && virtualKey <= Vk::RMenu) {
        const int left = Vk::LShift + (virtualKey - Vk::LShift) / 2 * 2;
        set(Vk::Shift + (virtualKey - Vk::LShift) / 2, isDown(left) || isDown(left + 1));
    }
}

void SimKeyboard::keyEvent(int virtualKey, int scanCode, bool keyUp) {
    const bool wasDown = isDown(virtualKey);
    updateState(virtualKey, keyUp);
    if (IsMouseButton(virtualKey)) {
        return;
    }
    const SimKeyEvent event{virtualKey, keyUp};
    if (game_ == nullptr || !game_->hasFocus()) {
        otherWindows_.push_back(event);
        return;
    }
    game_->receive(event);
    // The hook reports the key's scan code as the layout has it.
    const int scan = scanCodeForKey(virtualKey) != 0 ? scanCodeForKey(virtualKey) : scanCode;
    hook_.observe(virtualKey, KeystrokeFlags(virtualKey, scan, keyUp, wasDown, isDown(Vk::Menu)));
}

} // namespace trelk
