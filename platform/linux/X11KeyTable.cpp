#include "X11KeyTable.h"

#include "platform/ports/VirtualKeys.h"
#include "platform/ports/Windows1252.h"

#include <cstddef>

namespace trelk::x11keys {

namespace {

struct EvdevKey {
    int evdev;
    std::uint8_t virtualKey;
    std::uint8_t scanCode;
    bool extended;
};

// The keys of a PC keyboard: evdev code, US virtual key, set-1 scan code, extended flag.
// Evdev codes 1..88 are the set-1 scan codes themselves; the rest arrive with an E0 prefix on
// the wire (extended) or sit in the upper range. Keypad digits report the digit keys (the
// Num Lock state is not followed).
constexpr EvdevKey Keys[] = {
    {1, Vk::Escape, 0x01, false},    {2, '1', 0x02, false},
    {3, '2', 0x03, false},           {4, '3', 0x04, false},
    {5, '4', 0x05, false},           {6, '5', 0x06, false},
    {7, '6', 0x07, false},           {8, '7', 0x08, false},
    {9, '8', 0x09, false},           {10, '9', 0x0A, false},
    {11, '0', 0x0B, false},          {12, Vk::OemMinus, 0x0C, false},
    {13, Vk::OemPlus, 0x0D, false},  {14, Vk::Back, 0x0E, false},
    {15, Vk::Tab, 0x0F, false},      {16, 'Q', 0x10, false},
    {17, 'W', 0x11, false},          {18, 'E', 0x12, false},
    {19, 'R', 0x13, false},          {20, 'T', 0x14, false},
    {21, 'Y', 0x15, false},          {22, 'U', 0x16, false},
    {23, 'I', 0x17, false},          {24, 'O', 0x18, false},
    {25, 'P', 0x19, false},          {26, Vk::Oem4, 0x1A, false},
    {27, Vk::Oem6, 0x1B, false},     {28, Vk::Return, 0x1C, false},
    {29, Vk::Control, 0x1D, false},  {30, 'A', 0x1E, false},
    {31, 'S', 0x1F, false},          {32, 'D', 0x20, false},
    {33, 'F', 0x21, false},          {34, 'G', 0x22, false},
    {35, 'H', 0x23, false},          {36, 'J', 0x24, false},
    {37, 'K', 0x25, false},          {38, 'L', 0x26, false},
    {39, Vk::Oem1, 0x27, false},     {40, Vk::Oem7, 0x28, false},
    {41, Vk::Oem3, 0x29, false},     {42, Vk::Shift, 0x2A, false},
    {43, Vk::Oem5, 0x2B, false},     {44, 'Z', 0x2C, false},
    {45, 'X', 0x2D, false},          {46, 'C', 0x2E, false},
    {47, 'V', 0x2F, false},          {48, 'B', 0x30, false},
    {49, 'N', 0x31, false},          {50, 'M', 0x32, false},
    {51, Vk::OemComma, 0x33, false}, {52, Vk::OemPeriod, 0x34, false},
    {53, Vk::Oem2, 0x35, false},     {54, Vk::Shift, 0x36, false},
    {55, Vk::Multiply, 0x37, false}, {56, Vk::Menu, 0x38, false},
    {57, Vk::Space, 0x39, false},    {58, Vk::Capital, 0x3A, false},
    {59, Vk::F1, 0x3B, false},       {60, Vk::F2, 0x3C, false},
    {61, Vk::F3, 0x3D, false},       {62, Vk::F4, 0x3E, false},
    {63, Vk::F5, 0x3F, false},       {64, Vk::F6, 0x40, false},
    {65, Vk::F7, 0x41, false},       {66, Vk::F8, 0x42, false},
    {67, Vk::F9, 0x43, false},       {68, Vk::F10, 0x44, false},
    {69, Vk::NumLock, 0x45, true},   {70, Vk::Scroll, 0x46, false},
    {71, Vk::Numpad7, 0x47, false},  {72, Vk::Numpad8, 0x48, false},
    {73, Vk::Numpad9, 0x49, false},  {74, Vk::Subtract, 0x4A, false},
    {75, Vk::Numpad4, 0x4B, false},  {76, Vk::Numpad5, 0x4C, false},
    {77, Vk::Numpad6, 0x4D, false},  {78, Vk::Add, 0x4E, false},
    {79, Vk::Numpad1, 0x4F, false},  {80, Vk::Numpad2, 0x50, false},
    {81, Vk::Numpad3, 0x51, false},  {82, Vk::Numpad0, 0x52, false},
    {83, Vk::Decimal, 0x53, false},  {86, Vk::Oem102, 0x56, false},
    {87, Vk::F11, 0x57, false},      {88, Vk::F12, 0x58, false},
    {96, Vk::Return, 0x1C, true},    {97, Vk::Control, 0x1D, true},
    {98, Vk::Divide, 0x35, true},    {99, Vk::Snapshot, 0x37, true},
    {100, Vk::Menu, 0x38, true},     {102, Vk::Home, 0x47, true},
    {103, Vk::Up, 0x48, true},       {104, Vk::Prior, 0x49, true},
    {105, Vk::Left, 0x4B, true},     {106, Vk::Right, 0x4D, true},
    {107, Vk::End, 0x4F, true},      {108, Vk::Down, 0x50, true},
    {109, Vk::Next, 0x51, true},     {110, Vk::Insert, 0x52, true},
    {111, Vk::Delete, 0x53, true},   {119, Vk::Pause, 0x45, false},
    {125, Vk::LWin, 0x5B, true},     {126, Vk::RWin, 0x5C, true},
    {127, Vk::Apps, 0x5D, true},     {183, Vk::F13, 0x64, false},
    {184, Vk::F14, 0x65, false},     {185, Vk::F15, 0x66, false},
    {186, Vk::F16, 0x67, false},     {187, Vk::F17, 0x68, false},
    {188, Vk::F18, 0x69, false},     {189, Vk::F19, 0x6A, false},
    {190, Vk::F20, 0x6B, false},     {191, Vk::F21, 0x6C, false},
    {192, Vk::F22, 0x6D, false},     {193, Vk::F23, 0x6E, false},
    {194, Vk::F24, 0x76, false},
};

struct KeyName {
    std::uint8_t scanCode;
    bool extended;
    const char* name;
};

constexpr KeyName Names[] = {
    {0x01, false, "Esc"},         {0x0E, false, "Backspace"},    {0x0F, false, "Tab"},
    {0x1C, false, "Enter"},       {0x1C, true, "Num Enter"},     {0x1D, false, "Ctrl"},
    {0x1D, true, "Right Ctrl"},   {0x2A, false, "Shift"},        {0x36, false, "Right Shift"},
    {0x37, false, "Num *"},       {0x37, true, "Prnt Scrn"},     {0x38, false, "Alt"},
    {0x38, true, "Right Alt"},    {0x39, false, "Space"},        {0x3A, false, "Caps Lock"},
    {0x3B, false, "F1"},          {0x3C, false, "F2"},           {0x3D, false, "F3"},
    {0x3E, false, "F4"},          {0x3F, false, "F5"},           {0x40, false, "F6"},
    {0x41, false, "F7"},          {0x42, false, "F8"},           {0x43, false, "F9"},
    {0x44, false, "F10"},         {0x45, false, "Pause"},        {0x45, true, "Num Lock"},
    {0x46, false, "Scroll Lock"}, {0x47, false, "Num 7"},        {0x48, false, "Num 8"},
    {0x49, false, "Num 9"},       {0x4A, false, "Num -"},        {0x4B, false, "Num 4"},
    {0x4C, false, "Num 5"},       {0x4D, false, "Num 6"},        {0x4E, false, "Num +"},
    {0x4F, false, "Num 1"},       {0x50, false, "Num 2"},        {0x51, false, "Num 3"},
    {0x52, false, "Num 0"},       {0x53, false, "Num Del"},      {0x57, false, "F11"},
    {0x58, false, "F12"},         {0x35, true, "Num /"},         {0x47, true, "Home"},
    {0x48, true, "Up"},           {0x49, true, "Page Up"},       {0x4B, true, "Left"},
    {0x4D, true, "Right"},        {0x4F, true, "End"},           {0x50, true, "Down"},
    {0x51, true, "Page Down"},    {0x52, true, "Insert"},        {0x53, true, "Delete"},
    {0x5B, true, "Left Windows"}, {0x5C, true, "Right Windows"}, {0x5D, true, "Application"},
    {0x64, false, "F13"},         {0x65, false, "F14"},          {0x66, false, "F15"},
    {0x67, false, "F16"},         {0x68, false, "F17"},          {0x69, false, "F18"},
    {0x6A, false, "F19"},         {0x6B, false, "F20"},          {0x6C, false, "F21"},
    {0x6D, false, "F22"},         {0x6E, false, "F23"},          {0x76, false, "F24"},
};

// Keysyms from before Unicode keysyms for the characters above.
struct LegacyKeysym {
    std::uint32_t keysym;
    std::uint16_t unicode;
};
constexpr LegacyKeysym Legacy[] = {
    {0x20AC, 0x20AC}, {0x08F6, 0x0192}, {0x0AFD, 0x201A}, {0x0AFE, 0x201E}, {0x0AAE, 0x2026},
    {0x0AF1, 0x2020}, {0x0AF2, 0x2021}, {0x0AD5, 0x2030}, {0x01A9, 0x0160}, {0x13BC, 0x0152},
    {0x01AE, 0x017D}, {0x0AD0, 0x2018}, {0x0AD1, 0x2019}, {0x0AD2, 0x201C}, {0x0AD3, 0x201D},
    {0x0AE6, 0x2022}, {0x0AAA, 0x2013}, {0x0AA9, 0x2014}, {0x0AC9, 0x2122}, {0x01B9, 0x0161},
    {0x13BD, 0x0153}, {0x01BE, 0x017E}, {0x13BE, 0x0178}};

bool IsLetter(std::uint32_t keysym) {
    return (keysym >= 'a' && keysym <= 'z') || (keysym >= 'A' && keysym <= 'Z');
}

} // namespace

KeyInfo PositionalKey(int keycode) {
    static const KeycodeTable table = [] {
        KeycodeTable built{};
        for (const EvdevKey& key : Keys) {
            built[static_cast<std::size_t>(key.evdev + EvdevOffset)] = {key.virtualKey,
                                                                        key.scanCode, key.extended};
        }
        return built;
    }();
    if (keycode < 0 || keycode >= KeycodeCount) {
        return {};
    }
    return table[static_cast<std::size_t>(keycode)];
}

KeycodeTable BuildKeycodeTable(const BaseKeysyms& baseKeysyms) {
    KeycodeTable table{};
    for (int keycode = 0; keycode < KeycodeCount; ++keycode) {
        KeyInfo key = PositionalKey(keycode);
        const std::uint32_t keysym = baseKeysyms[static_cast<std::size_t>(keycode)];
        if (key.virtualKey != 0 && !key.extended) {
            if (IsLetter(keysym)) {
                key.virtualKey = static_cast<std::uint8_t>(keysym & ~0x20u);
            } else if (keysym >= '0' && keysym <= '9') {
                key.virtualKey = static_cast<std::uint8_t>(keysym);
            }
        }
        table[static_cast<std::size_t>(keycode)] = key;
    }
    return table;
}

int UnicodeToWindows1252(std::uint32_t unicode) {
    return cp1252::FromUnicode(unicode);
}

bool IsDeadKeysym(std::uint32_t keysym) {
    return keysym >= 0xFE50 && keysym <= 0xFE93;
}

const char* FixedKeyName(std::uint8_t scanCode, bool extended) {
    for (const KeyName& name : Names) {
        if (name.scanCode == scanCode && name.extended == extended) {
            return name.name;
        }
    }
    return nullptr;
}

int KeysymToWindows1252(std::uint32_t keysym) {
    switch (keysym) {
    case 0xFF08: // BackSpace
    case 0xFF09: // Tab
    case 0xFF0D: // Return
    case 0xFF1B: // Escape
        return static_cast<int>(keysym & 0xFF);
    case 0xFE20: // ISO_Left_Tab
        return 9;
    case 0xFF80: // KP_Space
        return ' ';
    case 0xFF89: // KP_Tab
        return 9;
    case 0xFF8D: // KP_Enter
        return 13;
    case 0xFFBD: // KP_Equal
        return '=';
    default:
        break;
    }
    if (keysym >= 0xFFAA && keysym <= 0xFFB9) {
        // KP_Multiply, KP_Add, KP_Separator, KP_Subtract, KP_Decimal, KP_Divide, KP_0..KP_9
        return static_cast<int>("*+,-./0123456789"[keysym - 0xFFAA]);
    }
    if ((keysym >= 0x20 && keysym <= 0x7E) || (keysym >= 0xA0 && keysym <= 0xFF)) {
        return static_cast<int>(keysym);
    }
    if ((keysym & 0xFF000000u) == 0x01000000u) {
        const std::uint32_t unicode = keysym & 0x00FFFFFFu;
        // Unicode keysyms exist only above Latin-1; control characters are not typed.
        return unicode >= 0x100 ? UnicodeToWindows1252(unicode) : -1;
    }
    for (const LegacyKeysym& legacy : Legacy) {
        if (legacy.keysym == keysym) {
            return UnicodeToWindows1252(legacy.unicode);
        }
    }
    return -1;
}

int KeysymsForWindows1252(unsigned char character, std::array<std::uint32_t, 2>& keysyms) {
    const std::uint32_t unicode = cp1252::ToUnicode(character);
    if (unicode == 0 ||
        (unicode < 0x20 && unicode != 8 && unicode != 9 && unicode != 13 && unicode != 27)) {
        return 0;
    }
    if (unicode < 0x20) {
        keysyms[0] = 0xFF00u | unicode; // BackSpace, Tab, Return, Escape
        return 1;
    }
    if (unicode == 0x7F) {
        return 0;
    }
    if (unicode <= 0xFF) {
        keysyms[0] = unicode;
        return 1;
    }
    int count = 0;
    for (const LegacyKeysym& legacy : Legacy) {
        if (legacy.unicode == unicode) {
            keysyms[static_cast<std::size_t>(count++)] = legacy.keysym;
            break;
        }
    }
    keysyms[static_cast<std::size_t>(count++)] = 0x01000000u | unicode;
    return count;
}

std::uint32_t KeystrokeFlags(const KeyInfo& key, bool released, bool wasDown, bool altDown) {
    std::uint32_t flags = 1; // repeat count
    flags |= static_cast<std::uint32_t>(key.scanCode) << 16;
    if (key.extended) {
        flags |= 1u << 24;
    }
    if (altDown) {
        flags |= 1u << 29;
    }
    if (wasDown || released) {
        flags |= 1u << 30; // a release always follows a down key
    }
    if (released) {
        flags |= 1u << 31;
    }
    return flags;
}

} // namespace trelk::x11keys
