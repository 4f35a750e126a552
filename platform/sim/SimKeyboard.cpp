#include "SimKeyboard.h"

#include "SimGame.h"
#include "SimHookLibrary.h"
#include "SimLayouts.h"
#include "platform/ports/VirtualKeys.h"

#include <algorithm>
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
    const char* name = nullptr;
    const char* keypadName = nullptr; // the name without the extended flag (keypad keys)
};

using KeyTable = std::array<KeyInfo, 256>;

// Where the keys of a US keyboard are: scan codes of set 1 and the key names. What they type is
// the layout's (SimLayouts).
KeyTable BuildKeyTable() {
    KeyTable keys{};
    auto set = [&keys](int vk, int scan, const char* name, bool extended = false,
                       const char* keypadName = nullptr) {
        keys[static_cast<std::size_t>(vk)] = {static_cast<std::uint8_t>(scan), extended, name,
                                              keypadName};
    };
    set(Vk::Back, 0x0E, "Backspace");
    set(Vk::Tab, 0x0F, "Tab");
    set(Vk::Clear, 0x4C, "Num 5");
    set(Vk::Return, 0x1C, "Enter");
    set(Vk::Shift, 0x2A, "Shift");
    set(Vk::Control, 0x1D, "Ctrl");
    set(Vk::Menu, 0x38, "Alt");
    set(Vk::Pause, 0x45, "Pause");
    set(Vk::Capital, 0x3A, "Caps Lock");
    set(Vk::Escape, 0x01, "Esc");
    set(Vk::Space, 0x39, "Space");
    set(Vk::Prior, 0x49, "Page Up", true, "Num 9");
    set(Vk::Next, 0x51, "Page Down", true, "Num 3");
    set(Vk::End, 0x4F, "End", true, "Num 1");
    set(Vk::Home, 0x47, "Home", true, "Num 7");
    set(Vk::Left, 0x4B, "Left", true, "Num 4");
    set(Vk::Up, 0x48, "Up", true, "Num 8");
    set(Vk::Right, 0x4D, "Right", true, "Num 6");
    set(Vk::Down, 0x50, "Down", true, "Num 2");
    set(Vk::Snapshot, 0x37, "Prnt Scrn", true);
    set(Vk::Insert, 0x52, "Insert", true, "Num 0");
    set(Vk::Delete, 0x53, "Delete", true, "Num Del");

    static constexpr const char* DigitNames[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    for (int d = 0; d <= 9; ++d) {
        set('0' + d, d == 0 ? 0x0B : 0x01 + d, DigitNames[d]);
    }
    static constexpr const char* LetterNames[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I",
                                                  "J", "K", "L", "M", "N", "O", "P", "Q", "R",
                                                  "S", "T", "U", "V", "W", "X", "Y", "Z"};
    static constexpr std::uint8_t LetterScans[] = {
        0x1E, 0x30, 0x2E, 0x20, 0x12, 0x21, 0x22, 0x23, 0x17, 0x24, 0x25, 0x26, 0x32,
        0x31, 0x18, 0x19, 0x10, 0x13, 0x1F, 0x14, 0x16, 0x2F, 0x11, 0x2D, 0x15, 0x2C};
    for (int l = 0; l < 26; ++l) {
        set('A' + l, LetterScans[l], LetterNames[l]);
    }
    set(Vk::LWin, 0x5B, "Left Windows", true);
    set(Vk::RWin, 0x5C, "Right Windows", true);
    set(Vk::Apps, 0x5D, "Application", true);

    static constexpr const char* KeypadNames[] = {"Num 0", "Num 1", "Num 2", "Num 3", "Num 4",
                                                  "Num 5", "Num 6", "Num 7", "Num 8", "Num 9"};
    static constexpr std::uint8_t KeypadScans[] = {0x52, 0x4F, 0x50, 0x51, 0x4B,
                                                   0x4C, 0x4D, 0x47, 0x48, 0x49};
    for (int d = 0; d <= 9; ++d) {
        set(Vk::Numpad0 + d, KeypadScans[d], KeypadNames[d]);
    }
    set(Vk::Multiply, 0x37, "Num *");
    set(Vk::Add, 0x4E, "Num +");
    set(Vk::Subtract, 0x4A, "Num -");
    set(Vk::Decimal, 0x53, "Num Del");
    set(Vk::Divide, 0x35, "Num /", true);

    static constexpr const char* FunctionNames[] = {
        "F1",  "F2",  "F3",  "F4",  "F5",  "F6",  "F7",  "F8",  "F9",  "F10", "F11", "F12",
        "F13", "F14", "F15", "F16", "F17", "F18", "F19", "F20", "F21", "F22", "F23", "F24"};
    static constexpr std::uint8_t FunctionScans[] = {
        0x3B, 0x3C, 0x3D, 0x3E, 0x3F, 0x40, 0x41, 0x42, 0x43, 0x44, 0x57, 0x58,
        0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x76};
    for (int f = 0; f < 24; ++f) {
        set(Vk::F1 + f, FunctionScans[f], FunctionNames[f]);
    }
    set(Vk::NumLock, 0x45, "Num Lock", true);
    set(Vk::Scroll, 0x46, "Scroll Lock");
    set(Vk::LShift, 0x2A, "Shift");
    set(Vk::RShift, 0x36, "Right Shift");
    set(Vk::LControl, 0x1D, "Ctrl");
    set(Vk::RControl, 0x1D, "Right Ctrl", true);
    set(Vk::LMenu, 0x38, "Alt");
    set(Vk::RMenu, 0x38, "Right Alt", true);

    set(Vk::Oem1, 0x27, ";");
    set(Vk::OemPlus, 0x0D, "=");
    set(Vk::OemComma, 0x33, ",");
    set(Vk::OemMinus, 0x0C, "-");
    set(Vk::OemPeriod, 0x34, ".");
    set(Vk::Oem2, 0x35, "/");
    set(Vk::Oem3, 0x29, "`");
    set(Vk::Oem4, 0x1A, "[");
    set(Vk::Oem5, 0x2B, "\\");
    set(Vk::Oem6, 0x1B, "]");
    set(Vk::Oem7, 0x28, "'");
    set(Vk::Oem102, 0x56, "\\");
    return keys;
}

const KeyTable& UsKeys() {
    static const KeyTable keys = BuildKeyTable();
    return keys;
}

const KeyInfo* Find(int virtualKey) {
    if (virtualKey < 0 || virtualKey > 255) {
        return nullptr;
    }
    return &UsKeys()[static_cast<std::size_t>(virtualKey)];
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

SimKeyboard::SimKeyboard(SimHookLibrary& hook) : hook_(hook), layout_(sim::FindLayout("us")) {}

bool SimKeyboard::setLayout(const std::string& name) {
    const sim::Layout* layout = sim::FindLayout(name);
    if (layout == nullptr) {
        return false;
    }
    layout_ = layout;
    group_ = 0;
    description_.reset();
    return true;
}

const sim::LayoutKey* SimKeyboard::layoutKey(int virtualKey, int group) const {
    if (virtualKey < 1 || virtualKey > 254 || group < 0 ||
        group >= static_cast<int>(layout_->groups.size())) {
        return nullptr;
    }
    return &layout_->groups[static_cast<std::size_t>(group)][static_cast<std::size_t>(virtualKey)];
}

int SimKeyboard::scanCodeForKey(int virtualKey) {
    const sim::LayoutKey* moved = layoutKey(virtualKey, group_);
    if (moved != nullptr && moved->scanCode != 0) {
        return moved->scanCode;
    }
    const KeyInfo* key = Find(virtualKey);
    return key == nullptr ? 0 : key->scan;
}

bool SimKeyboard::IsExtendedKey(int virtualKey) {
    const KeyInfo* key = Find(virtualKey);
    return key != nullptr && key->extended;
}

sim::KeyOutput SimKeyboard::output(int virtualKey, const KeyboardState& state) const {
    const sim::LayoutKey* key = layoutKey(virtualKey, group_);
    if (key == nullptr) {
        return 0;
    }
    bool shift = Down(state, Vk::Shift) || Down(state, Vk::LShift) || Down(state, Vk::RShift);
    const bool ctrl =
        Down(state, Vk::Control) || Down(state, Vk::LControl) || Down(state, Vk::RControl);
    const bool alt = Down(state, Vk::Menu) || Down(state, Vk::LMenu) || Down(state, Vk::RMenu);
    if (const char letter = layoutLetter(virtualKey); letter != 0) {
        return ctrl || alt ? 0 : static_cast<unsigned char>(letter);
    }
    // AltGr is Right Alt, or Ctrl+Alt as the system spells it.
    const bool altGr = Down(state, Vk::RMenu) || (ctrl && alt);
    // Caps Lock shifts the letters: the keys whose Shift level is their plain one in capitals.
    const sim::KeyOutput plain = key->levels[0];
    const bool letter = plain >= 'a' && plain <= 0xFE && plain != 0xF7 &&
                        (plain <= 'z' || plain >= 0xE0) && key->levels[1] == plain - 0x20;
    if ((state[Vk::Capital] & 0x01) != 0 && letter && !altGr) {
        shift = !shift;
    }
    return key->levels[static_cast<std::size_t>((shift ? 1 : 0) + (altGr ? 2 : 0))];
}

std::string SimKeyboard::charactersForKey(int virtualKey, int /*scanCode*/,
                                          const KeyboardState& state) {
    if (layoutKey(virtualKey, group_) == nullptr) {
        return {};
    }
    const bool ctrl =
        Down(state, Vk::Control) || Down(state, Vk::LControl) || Down(state, Vk::RControl);
    const bool alt = Down(state, Vk::Menu) || Down(state, Vk::LMenu) || Down(state, Vk::RMenu);
    const bool altGr = Down(state, Vk::RMenu) || (ctrl && alt);
    if (ctrl && !altGr) {
        if (virtualKey >= 'A' && virtualKey <= 'Z') {
            return std::string(1, static_cast<char>(virtualKey - 'A' + 1));
        }
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
    const sim::KeyOutput typed = output(virtualKey, state);
    // Dead keys and characters outside Windows-1252 give nothing here.
    return sim::IsCharacter(typed) ? std::string(1, static_cast<char>(typed)) : std::string();
}

std::shared_ptr<const KeyboardLayout> SimKeyboard::layout() {
    if (!description_) {
        description_ = describe();
    }
    return description_;
}

// Every group and level of the layout; dead keys with every key of their group that they
// compose with.
std::shared_ptr<const KeyboardLayout> SimKeyboard::describe() const {
    auto described = std::make_shared<KeyboardLayout>();
    described->groupCount = static_cast<int>(layout_->groups.size());
    for (int group = 0; group < described->groupCount; ++group) {
        struct Found {
            KeyStroke stroke;
            sim::KeyOutput output;
        };
        std::vector<Found> found;
        // The main block first, then the keypad; in each, the fewest level keys first.
        for (int pass = 0; pass < 8; ++pass) {
            const int level = pass % 4;
            const bool keypad = pass >= 4;
            for (int vk = 1; vk <= 254; ++vk) {
                const sim::KeyOutput typed =
                    layoutKey(vk, group)->levels[static_cast<std::size_t>(level)];
                if (typed == 0 || (sim::IsCharacter(typed) && typed < 32) ||
                    keypad != (vk >= Vk::Numpad0 && vk <= Vk::Divide)) {
                    continue;
                }
                const sim::LayoutKey* key = layoutKey(vk, group);
                const KeyInfo* position = Find(vk);
                const int scan = key->scanCode != 0 ? key->scanCode : position->scan;
                const KeyStroke stroke{group, vk, scan, (level & 1) != 0, level >= 2};
                found.push_back({stroke, typed});
                if (sim::IsCharacter(typed)) {
                    described->characters.push_back({stroke, static_cast<unsigned char>(typed)});
                }
            }
        }
        for (const Found& dead : found) {
            if (!sim::IsDead(dead.output)) {
                continue;
            }
            std::vector<sim::KeyOutput> followers;
            for (const Found& next : found) {
                if (std::find(followers.begin(), followers.end(), next.output) != followers.end()) {
                    continue; // one key for each output is enough
                }
                followers.push_back(next.output);
                const auto composed =
                    sim::Compose(static_cast<unsigned char>(dead.output & 0xFF), next.output);
                if (composed) {
                    described->deadKeySequences.push_back({dead.stroke, next.stroke, *composed});
                }
            }
        }
    }
    return described;
}

int SimKeyboard::activeGroup() {
    return group_;
}

void SimKeyboard::selectGroup(int group) {
    if (group >= 0 && group < static_cast<int>(layout_->groups.size())) {
        group_ = group;
        ++groupChanges_;
    }
}

void SimKeyboard::setLockToggled(int virtualKey, bool toggled) {
    if (virtualKey != Vk::Capital && virtualKey != Vk::NumLock) {
        return;
    }
    auto& entry = state_[static_cast<std::size_t>(virtualKey)];
    entry = static_cast<std::uint8_t>(toggled ? (entry | 0x01) : (entry & 0xFE));
    ++lockChanges_;
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
        std::optional<KeyStroke> stroke;
        switch (c) {
        case '\r':
        case '\n':
            stroke = KeyStroke{group_, Vk::Return};
            break;
        case '\b':
            stroke = KeyStroke{group_, Vk::Back};
            break;
        case '\t':
            stroke = KeyStroke{group_, Vk::Tab};
            break;
        case '\x1b':
            stroke = KeyStroke{group_, Vk::Escape};
            break;
        default:
            // The first key of the group in force: the description lists the plain level
            // first.
            for (const KeyboardLayout::Character& entry : layout()->characters) {
                if (entry.character == static_cast<unsigned char>(c) &&
                    entry.stroke.group == group_) {
                    stroke = entry.stroke;
                    break;
                }
            }
            break;
        }
        for (int vk = 1; !stroke && vk <= 254; ++vk) {
            if (c != 0 && layoutLetter(vk) == c) {
                stroke = KeyStroke{group_, vk};
            }
        }
        if (!stroke) {
            continue; // nothing on this layout types it
        }
        const bool shift = stroke->shift && !isDown(Vk::Shift);
        if (shift) {
            pilotPress(Vk::Shift);
        }
        if (stroke->altGr) {
            pilotPress(Vk::RMenu);
        }
        pilotPress(stroke->virtualKey);
        pilotRelease(stroke->virtualKey);
        if (stroke->altGr) {
            pilotRelease(Vk::RMenu);
        }
        if (shift) {
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
