#pragma once

// The keyboard layouts of the sim keyboard, by name as the pilot would choose them:
//
//   "us"     the US layout (the default)
//   "de"     German: QWERTZ, ä ö ü ß on their own keys, @ € { [ ] } \ ~ | µ ² ³ on AltGr,
//            ^ and the acute and grave accents as dead keys
//   "us,ru"  two groups: US and Russian (whose letters are outside Windows-1252)
//
// A layout is one table per group, indexed by virtual key: the key's scan code and what it
// types at each level. The dead keys compose with the next key as the game's text input does
// (SimCompose): the accent alone after a blank or after the dead key again, or an accented
// letter; the acute accent and a blank give an apostrophe, the diaeresis and a blank a quotation
// mark, as on the real platform.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trelk::sim {

// What a key types at one level: nothing (0), a Windows-1252 character (1..255), a dead key
// with its accent, or a character outside Windows-1252.
using KeyOutput = std::uint16_t;
constexpr KeyOutput DeadKeyFlag = 0x100;
constexpr KeyOutput OtherCharacter = 0x200;
constexpr KeyOutput Dead(unsigned char accent) {
    return static_cast<KeyOutput>(DeadKeyFlag | accent);
}
constexpr bool IsDead(KeyOutput output) {
    return (output & DeadKeyFlag) != 0;
}
constexpr bool IsCharacter(KeyOutput output) {
    return output > 0 && output < DeadKeyFlag;
}

// Levels: plain, Shift, AltGr, Shift+AltGr.
struct LayoutKey {
    std::uint8_t scanCode = 0;
    std::array<KeyOutput, 4> levels{};
};
using LayoutGroup = std::array<LayoutKey, 256>;

struct Layout {
    std::string name;
    std::vector<LayoutGroup> groups;
};

// Null for a name not listed above.
const Layout* FindLayout(const std::string& name);

// The character a dead key's accent and the next key's output compose to; nullopt when they
// do not compose (the game then drops the dead key and types the next key alone).
std::optional<unsigned char> Compose(unsigned char accent, KeyOutput next);

} // namespace trelk::sim
