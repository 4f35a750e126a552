#pragma once

// The keyboard layouts pilots use, each with the letters and signs of its own, and a long text
// over printable ASCII and those letters: what the layout end-to-end tests and the injection
// benchmark type.

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace trelk::x11test {

struct PilotLayout {
    std::string layout;  // setxkbmap -layout
    std::string variant; // setxkbmap -variant, may be empty
    int group = 0;       // the group the pilot has active
    std::string name() const { return variant.empty() ? layout : layout + " " + variant; }
};

struct LayoutCase {
    PilotLayout layout;
    // Beside printable ASCII: the layout's own letters and signs, Windows-1252.
    std::string own;
};

inline void PrintTo(const LayoutCase& each, std::ostream* out) {
    *out << each.layout.name() << " (group " << each.layout.group + 1 << ")";
}

// "fr_bepo", "us_ru_group2": a name for a test or benchmark.
inline std::string Identifier(const LayoutCase& each) {
    std::string name = each.layout.name() + (each.layout.group != 0 ? "_group2" : "");
    for (char& c : name) {
        if (c == ' ' || c == ',') {
            c = '_';
        }
    }
    return name;
}

inline const std::vector<LayoutCase>& PilotLayoutCases() {
    static const std::vector<LayoutCase> cases = {
        {{"us", "", 0}, ""},
        {{"gb", "", 0}, "\xA3\xAC\x80"}, // £ ¬ €
        {{"us", "intl", 0},
         "\xE4\xE5\xE9\xFA\xED\xF3\xF6\xE1\xDF\xF1\xE7\xFC\xBF\xA1\xAB\xBB\xC4\xC9"},
        {{"de", "", 0}, "\xE4\xF6\xFC\xDF\xC4\xD6\xDC\xA7\xB0\xB5\x80\xB2\xB3\xB4\xEA\xE9\xE8\xE2"},
        {{"fr", "", 0},
         "\xE9\xE8\xE7\xE0\xF9\xB2\xA7\xB5\xA3\xA4\xB0\xA8\xEA\xE2\xEE\xF4\xFB\xEB\xEF\x80"},
        {{"fr", "bepo", 0}, "\xE9\xE8\xE0\xE7\xEA\xF9\x9C\x8C\xAB\xBB\xC9\xC8\x80\xE6"},
        {{"es", "", 0}, "\xF1\xD1\xE7\xC7\xA1\xBF\xBA\xAA\xB7\xE1\xE9\xED\xF3\xFA\xFC\x80"},
        {{"it", "", 0}, "\xE0\xE8\xE9\xEC\xF2\xF9\xE7\xB0\xA7\xA3\x80"},
        {{"pt", "", 0}, "\xE7\xC7\xBA\xAA\xAB\xBB\xE1\xE3\xF5\xE9\xE2\xEA\xF4\x80"},
        {{"se", "", 0}, "\xE5\xE4\xF6\xC5\xC4\xD6\xE9\xFC\xA7\xBD\xA4\xA3\x80"},
        {{"ch", "", 0}, "\xFC\xF6\xE4\xE8\xE9\xE0\xE7\xA7\xB0\xAC\xA2\xA3\x80"},
        // The Russian group active: the Latin text comes from the other group.
        {{"us,ru", "", 1}, ""},
    };
    return cases;
}

// A text of about `length` characters in lines the game's chat line takes (at most 250): every
// character of the alphabet first, then a fixed pseudo-random mix; no line starts with a blank,
// so none is blank.
inline std::vector<std::string> LayoutTextLines(const LayoutCase& each, std::size_t length) {
    std::string alphabet;
    for (char c = ' '; c <= '~'; ++c) {
        alphabet += c;
    }
    alphabet += each.own;
    std::string text = alphabet;
    std::uint32_t seed = 20;
    while (text.size() < length) {
        seed = seed * 1664525u + 1013904223u;
        text += alphabet[(seed >> 8) % alphabet.size()];
    }
    constexpr std::size_t LineLength = 200;
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < text.size(); start += LineLength) {
        std::string line = text.substr(start, LineLength);
        if (line[0] == ' ') {
            line[0] = alphabet[1 + lines.size() % (alphabet.size() - 1)];
        }
        lines.push_back(line);
    }
    return lines;
}

} // namespace trelk::x11test
