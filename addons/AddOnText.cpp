#include "addons/AddOnText.h"

#include <array>
#include <cstdint>
#include <optional>

namespace trelk::addontext {

namespace {

// Windows-1252 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<char32_t, 32> HighHalf = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char ToWindows1252(char32_t code) {
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) {
        return static_cast<char>(code);
    }
    for (std::size_t i = 0; i < HighHalf.size(); ++i) {
        if (HighHalf[i] == code) {
            return static_cast<char>(0x80 + i);
        }
    }
    return '?';
}

// The code points of valid UTF-8 with at least one above ASCII, else nullopt.
std::optional<std::u32string> DecodeUtf8(std::string_view text) {
    std::u32string codes;
    bool beyondAscii = false;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        int length = 1;
        char32_t code = lead;
        if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07U;
        } else if (lead >= 0xE0) {
            length = lead <= 0xEF ? 3 : 0;
            code = lead & 0x0FU;
        } else if (lead >= 0xC2) {
            length = 2;
            code = lead & 0x1FU;
        } else if (lead >= 0x80) {
            return std::nullopt;
        }
        if (length == 0 || i + static_cast<std::size_t>(length) > text.size()) {
            return std::nullopt;
        }
        for (int k = 1; k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(text[i + static_cast<std::size_t>(k)]);
            if ((next & 0xC0U) != 0x80U) {
                return std::nullopt;
            }
            code = (code << 6) | (next & 0x3FU);
        }
        // Overlong forms, surrogates and codes past Unicode are not UTF-8.
        if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
            (code >= 0xD800 && code <= 0xDFFF)) {
            return std::nullopt;
        }
        beyondAscii = beyondAscii || length > 1;
        codes.push_back(code);
        i += static_cast<std::size_t>(length);
    }
    if (!beyondAscii) {
        return std::nullopt;
    }
    return codes;
}

bool IsControl(unsigned char c) {
    return c < 32 || c == 127;
}

} // namespace

std::string LineFromStore(std::string_view stored) {
    std::string line;
    if (const std::optional<std::u32string> codes = DecodeUtf8(stored)) {
        for (const char32_t code : *codes) {
            line.push_back(ToWindows1252(code));
        }
    } else {
        line.assign(stored.substr(0, MaxLineLength));
    }
    if (line.size() > MaxLineLength) {
        line.resize(MaxLineLength);
    }
    for (char& c : line) {
        if (IsControl(static_cast<unsigned char>(c))) {
            c = ' ';
        }
    }
    return line;
}

int HighlightFromStore(std::string_view stored) {
    const std::size_t first = stored.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return 0;
    }
    const std::string_view digits = stored.substr(first, stored.find_last_not_of(' ') - first + 1);
    if (digits.empty() || digits.size() > 2) {
        return 0;
    }
    int value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return 0;
        }
        value = value * 10 + (c - '0');
    }
    return value <= PageLines ? value : 0;
}

std::string NameProblem(std::string_view name) {
    if (name.size() > MaxNameLength) {
        return "the name is longer than " + std::to_string(MaxNameLength) + " characters";
    }
    if (name.find(',') != std::string_view::npos) {
        return "the name contains a comma, which separates the names in AddOnRegList";
    }
    for (const char c : name) {
        if (IsControl(static_cast<unsigned char>(c))) {
            return "the name contains control characters";
        }
    }
    if (name.find_first_not_of(' ') == std::string_view::npos) {
        return "the name is blank";
    }
    return {};
}

std::string RegListText(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) {
        text += name;
        text += ',';
    }
    return text;
}

} // namespace trelk::addontext
