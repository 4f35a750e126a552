#include "SimLayouts.h"

#include "platform/ports/VirtualKeys.h"

#include <cstring>

namespace trelk::sim {

namespace {

// Sets what a key types; scan code 0 keeps the key where a US keyboard has it.
void Set(LayoutGroup& group, int virtualKey, std::uint8_t scanCode, KeyOutput plain,
         KeyOutput shifted = 0, KeyOutput altGr = 0, KeyOutput shiftAltGr = 0) {
    group[static_cast<std::size_t>(virtualKey)] = {scanCode, {plain, shifted, altGr, shiftAltGr}};
}

KeyOutput C(char c) {
    return static_cast<unsigned char>(c);
}

LayoutGroup UsGroup() {
    LayoutGroup group{};
    for (int l = 0; l < 26; ++l) {
        Set(group, 'A' + l, 0, C(static_cast<char>('a' + l)), C(static_cast<char>('A' + l)));
    }
    static constexpr char DigitShifted[] = ")!@#$%^&*(";
    for (int d = 0; d <= 9; ++d) {
        Set(group, '0' + d, 0, C(static_cast<char>('0' + d)), C(DigitShifted[d]));
        // The keypad digits: Vk::Numpad0..9 are what the keys report while Num Lock is on.
        Set(group, Vk::Numpad0 + d, 0, C(static_cast<char>('0' + d)),
            C(static_cast<char>('0' + d)));
    }
    Set(group, Vk::Space, 0, C(' '), C(' '));
    Set(group, Vk::Back, 0, C('\b'), C('\b'));
    Set(group, Vk::Tab, 0, C('\t'), C('\t'));
    Set(group, Vk::Return, 0, C('\r'), C('\r'));
    Set(group, Vk::Escape, 0, C('\x1b'), C('\x1b'));
    Set(group, Vk::Multiply, 0, C('*'), C('*'));
    Set(group, Vk::Add, 0, C('+'), C('+'));
    Set(group, Vk::Subtract, 0, C('-'), C('-'));
    Set(group, Vk::Decimal, 0, C('.'), C('.'));
    Set(group, Vk::Divide, 0, C('/'), C('/'));
    Set(group, Vk::Oem1, 0, C(';'), C(':'));
    Set(group, Vk::OemPlus, 0, C('='), C('+'));
    Set(group, Vk::OemComma, 0, C(','), C('<'));
    Set(group, Vk::OemMinus, 0, C('-'), C('_'));
    Set(group, Vk::OemPeriod, 0, C('.'), C('>'));
    Set(group, Vk::Oem2, 0, C('/'), C('?'));
    Set(group, Vk::Oem3, 0, C('`'), C('~'));
    Set(group, Vk::Oem4, 0, C('['), C('{'));
    Set(group, Vk::Oem5, 0, C('\\'), C('|'));
    Set(group, Vk::Oem6, 0, C(']'), C('}'));
    Set(group, Vk::Oem7, 0, C('\''), C('"'));
    return group;
}

LayoutGroup GermanGroup() {
    LayoutGroup group = UsGroup();
    Set(group, 'Y', 0x2C, C('y'), C('Y'));
    Set(group, 'Z', 0x15, C('z'), C('Z'));
    Set(group, 'Q', 0, C('q'), C('Q'), C('@'));
    Set(group, 'E', 0, C('e'), C('E'), C('\x80')); // €
    Set(group, 'M', 0, C('m'), C('M'), C('\xB5')); // µ
    Set(group, '1', 0, C('1'), C('!'));
    Set(group, '2', 0, C('2'), C('"'), C('\xB2'));
    Set(group, '3', 0, C('3'), C('\xA7'), C('\xB3')); // § ³
    Set(group, '4', 0, C('4'), C('$'));
    Set(group, '5', 0, C('5'), C('%'));
    Set(group, '6', 0, C('6'), C('&'));
    Set(group, '7', 0, C('7'), C('/'), C('{'));
    Set(group, '8', 0, C('8'), C('('), C('['));
    Set(group, '9', 0, C('9'), C(')'), C(']'));
    Set(group, '0', 0, C('0'), C('='), C('}'));
    Set(group, Vk::Oem4, 0x0C, C('\xDF'), C('?'), C('\\')); // ß
    Set(group, Vk::Oem6, 0x0D, Dead(0xB4), Dead('`'));      // the acute and grave accents
    Set(group, Vk::Oem1, 0x1A, C('\xFC'), C('\xDC'));       // ü Ü
    Set(group, Vk::OemPlus, 0x1B, C('+'), C('*'), C('~'));
    Set(group, Vk::Oem3, 0x27, C('\xF6'), C('\xD6')); // ö Ö
    Set(group, Vk::Oem7, 0x28, C('\xE4'), C('\xC4')); // ä Ä
    Set(group, Vk::Oem5, 0x29, Dead('^'), C('\xB0')); // the circumflex, °
    Set(group, Vk::Oem2, 0x2B, C('#'), C('\''));
    Set(group, Vk::OemComma, 0, C(','), C(';'));
    Set(group, Vk::OemPeriod, 0, C('.'), C(':'));
    Set(group, Vk::OemMinus, 0x35, C('-'), C('_'));
    Set(group, Vk::Oem102, 0x56, C('<'), C('>'), C('|'));
    return group;
}

LayoutGroup RussianGroup() {
    LayoutGroup group = UsGroup();
    constexpr KeyOutput Cyrillic = OtherCharacter;
    for (int l = 0; l < 26; ++l) {
        Set(group, 'A' + l, 0, Cyrillic, Cyrillic);
    }
    for (const int vk :
         {Vk::Oem1, Vk::Oem3, Vk::Oem4, Vk::Oem6, Vk::Oem7, Vk::OemComma, Vk::OemPeriod}) {
        Set(group, vk, 0, Cyrillic, Cyrillic);
    }
    Set(group, '2', 0, C('2'), C('"'));
    Set(group, '3', 0, C('3'), Cyrillic); // №
    Set(group, '4', 0, C('4'), C(';'));
    Set(group, '6', 0, C('6'), C(':'));
    Set(group, '7', 0, C('7'), C('?'));
    Set(group, Vk::Oem2, 0, C('.'), C(','));
    Set(group, Vk::Oem5, 0, C('\\'), C('/'));
    return group;
}

const std::vector<Layout>& Layouts() {
    static const std::vector<Layout> layouts = {
        {"us", {UsGroup()}},
        {"de", {GermanGroup()}},
        {"us,ru", {UsGroup(), RussianGroup()}},
    };
    return layouts;
}

// The letters each accent composes with and what they become, in the same order.
struct Accent {
    unsigned char accent;
    unsigned char blank; // after a blank
    const char* letters;
    const char* composed;
};
constexpr Accent Accents[] = {
    {'^', '^', "aeiouAEIOU", "\xE2\xEA\xEE\xF4\xFB\xC2\xCA\xCE\xD4\xDB"},
    {'`', '`', "aeiouAEIOU", "\xE0\xE8\xEC\xF2\xF9\xC0\xC8\xCC\xD2\xD9"},
    {0xB4, '\'', "aeiouyAEIOUY", "\xE1\xE9\xED\xF3\xFA\xFD\xC1\xC9\xCD\xD3\xDA\xDD"},
    {0xA8, '"', "aeiouyAEIOU", "\xE4\xEB\xEF\xF6\xFC\xFF\xC4\xCB\xCF\xD6\xDC"},
    {'~', '~', "anoANO", "\xE3\xF1\xF5\xC3\xD1\xD5"},
};

} // namespace

const Layout* FindLayout(const std::string& name) {
    for (const Layout& layout : Layouts()) {
        if (layout.name == name) {
            return &layout;
        }
    }
    return nullptr;
}

std::optional<unsigned char> Compose(unsigned char accent, KeyOutput next) {
    for (const Accent& entry : Accents) {
        if (entry.accent != accent) {
            continue;
        }
        if (next == ' ') {
            return entry.blank;
        }
        if (next == Dead(accent)) {
            return accent;
        }
        if (IsCharacter(next) && next != 0) {
            const char* found = std::strchr(entry.letters, static_cast<char>(next));
            if (found != nullptr) {
                return static_cast<unsigned char>(entry.composed[found - entry.letters]);
            }
        }
    }
    return std::nullopt;
}

} // namespace trelk::sim
