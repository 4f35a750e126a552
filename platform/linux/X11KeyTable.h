#pragma once

// The physical keys of a PC keyboard in the system's vocabulary, indexed by X keycode. Pure
// data and arithmetic, no X calls: both the keyboard port and the hook library (which cannot
// link the platform) compile this file and feed it the keysyms they read from the server.

#include <array>
#include <cstdint>

namespace trelk::x11keys {

// X keycodes are evdev codes + 8.
constexpr int EvdevOffset = 8;
constexpr int KeycodeCount = 256;

struct KeyInfo {
    std::uint8_t virtualKey = 0; // 0: not a key we know
    std::uint8_t scanCode = 0;   // set 1
    bool extended = false;
};

using KeycodeTable = std::array<KeyInfo, KeycodeCount>;
// The unshifted keysym of every keycode in the active group (0 when none).
using BaseKeysyms = std::array<std::uint32_t, KeycodeCount>;

// Where each key sits, with the virtual key of a US keyboard.
KeyInfo PositionalKey(int keycode);

// The table for a layout: letters and digits take the virtual key of the character the layout
// puts on them (VK_Z is wherever the layout has Z); every other key keeps its position's.
KeycodeTable BuildKeycodeTable(const BaseKeysyms& baseKeysyms);

// The display name of a key that does not type a character ("Insert", "Num *"); null for
// character keys, which are named by their character.
const char* FixedKeyName(std::uint8_t scanCode, bool extended);

// Keysym <-> Windows-1252 byte. Returns -1 when the keysym has no such character. Keypad
// keysyms give their characters; BackSpace, Tab, Return and Escape give 8, 9, 13 and 27.
int KeysymToWindows1252(std::uint32_t keysym);
// A Unicode code point as a Windows-1252 byte; -1 when the code page has no such character.
int UnicodeToWindows1252(std::uint32_t unicode);
// Dead keys (dead_grave .. dead_longsolidusoverlay): they type nothing themselves and compose
// with the next key.
bool IsDeadKeysym(std::uint32_t keysym);
// The keysyms that type a Windows-1252 byte (a character may have a legacy and a Unicode
// keysym); the count of entries written, at most 2.
int KeysymsForWindows1252(unsigned char character, std::array<std::uint32_t, 2>& keysyms);

// The keystroke flags of one event as a system keyboard hook reports them.
std::uint32_t KeystrokeFlags(const KeyInfo& key, bool released, bool wasDown, bool altDown);

} // namespace trelk::x11keys
