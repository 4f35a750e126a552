#include "MacroLine.h"

#include "KeyStringSender.h"

#include <algorithm>
#include <array>

namespace trelk {

namespace {

constexpr unsigned char FirstKeyCode = 228;
constexpr char Return = '\r';

// The plain letters for bytes 228..255 of Windows-1252.
constexpr std::array<const char*, 28> PlainLetters = {
    "a", "a", "ae", "c", "e", "e", "e", "e", "i", "i", "i", "i", "d",  "n",
    "o", "o", "o",  "o", "o", "",  "o", "u", "u", "u", "u", "y", "th", "y"};

bool IsKeyCode(char c) {
    return static_cast<unsigned char>(c) >= FirstKeyCode;
}

} // namespace

std::optional<MacroLine> MacroLine::Parse(const std::string& macroLine) {
    const std::size_t start = macroLine.find_first_not_of(':');
    if (start == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t colon = macroLine.find(':', start);
    const std::size_t end = colon == std::string::npos ? macroLine.size() : colon;
    int channel = 0;
    for (std::size_t i = start; i < end; ++i) {
        const char c = macroLine[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        // Leading zeros are allowed; anything above two digits is out of range anyway.
        channel = std::min(channel * 10 + (c - '0'), 100);
    }
    if (channel < 1 || channel > 5) {
        return std::nullopt;
    }
    return MacroLine{channel,
                     colon == std::string::npos ? std::string() : macroLine.substr(colon + 1)};
}

std::string BuildMacroEntry(int channel, const std::string& text, bool addReturn) {
    std::string entry(1, static_cast<char>(KeyStringSender::ChannelCode(channel)));
    entry += text;
    if (addReturn) {
        entry += Return;
    }
    return entry;
}

std::optional<MacroEntryParts> SplitMacroEntry(const std::string& entry) {
    if (entry.empty()) {
        return std::nullopt;
    }
    const int channel = static_cast<unsigned char>(entry.front()) - 227;
    if (channel < 1 || channel > 5) {
        return std::nullopt;
    }
    MacroEntryParts parts{channel, entry.substr(1), false};
    if (!parts.text.empty() && parts.text.back() == Return) {
        parts.text.pop_back();
        parts.addReturn = true;
    }
    return parts;
}

TypableText MakeTypable(const std::string& text) {
    TypableText result;
    result.text.reserve(text.size());
    std::array<bool, PlainLetters.size()> named{};
    for (const char c : text) {
        if (!IsKeyCode(c)) {
            result.text += c;
            continue;
        }
        const auto index = static_cast<std::size_t>(static_cast<unsigned char>(c) - FirstKeyCode);
        const std::string plain = PlainLetters[index];
        result.text += plain;
        if (!named[index]) {
            named[index] = true;
            if (!result.replaced.empty()) {
                result.replaced += ", ";
            }
            result.replaced += std::string(1, c) + (plain.empty() ? " left out" : " -> " + plain);
        }
    }
    return result;
}

bool IsTypable(const std::string& text) {
    for (const char c : text) {
        if (IsKeyCode(c)) {
            return false;
        }
    }
    return true;
}

} // namespace trelk
