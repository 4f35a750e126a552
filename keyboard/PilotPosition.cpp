#include "PilotPosition.h"

#include <cstddef>
#include <limits>

namespace trelk {

namespace {

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 || byte == 127;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// Beyond this an exponent moves every digit out of any 32-bit value anyway.
constexpr std::int64_t ExponentLimit = 1'000'000'000;

} // namespace

std::vector<std::string_view> ChatWords(std::string_view line) {
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && line[i] == ' ') {
            ++i;
        }
        const std::size_t start = i;
        bool typed = false;
        while (i < line.size() && line[i] != ' ') {
            typed = typed || !isControl(line[i]);
            ++i;
        }
        if (i > start && typed) {
            words.push_back(line.substr(start, i - start));
        }
    }
    return words;
}

std::optional<std::int32_t> ParseTenths(std::string_view word) {
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
        negative = word[i] == '-';
        ++i;
    }
    // The mantissa's digits without the point, and how many stood after it.
    const std::size_t mantissaStart = i;
    std::string digits;
    std::int64_t fractionDigits = 0;
    bool point = false;
    for (; i < word.size(); ++i) {
        if (isDigit(word[i])) {
            if (!digits.empty() || word[i] != '0') {
                digits.push_back(word[i]);
            }
            fractionDigits += point ? 1 : 0;
        } else if (word[i] == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    const std::size_t mantissaLength = i - mantissaStart - (point ? 1U : 0U);
    if (mantissaLength == 0) {
        return std::nullopt;
    }
    std::int64_t exponent = 0;
    if (i < word.size() && (word[i] == 'e' || word[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
            negativeExponent = word[i] == '-';
            ++i;
        }
        const std::size_t exponentStart = i;
        for (; i < word.size() && isDigit(word[i]); ++i) {
            if (exponent < ExponentLimit) {
                exponent = exponent * 10 + (word[i] - '0');
            }
        }
        if (i == exponentStart) {
            return std::nullopt;
        }
        exponent = negativeExponent ? -exponent : exponent;
    }
    if (i != word.size()) {
        return std::nullopt;
    }
    if (digits.empty()) {
        return 0;
    }

    // value = digits x 10^shift tenths
    const std::int64_t shift = exponent - fractionDigits + 1;
    const auto length = static_cast<std::int64_t>(digits.size());
    constexpr std::int64_t Limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    if (shift >= 0) {
        if (length + shift > 10) {
            return std::nullopt;
        }
        for (const char c : digits) {
            magnitude = magnitude * 10 + (c - '0');
        }
        for (std::int64_t n = 0; n < shift; ++n) {
            magnitude *= 10;
        }
    } else {
        const std::int64_t dropped = -shift;
        if (dropped > length) {
            return 0; // below a tenth of a tenth: rounds to zero
        }
        const auto kept = static_cast<std::size_t>(length - dropped);
        if (kept > 10) {
            return std::nullopt;
        }
        for (std::size_t n = 0; n < kept; ++n) {
            magnitude = magnitude * 10 + (digits[n] - '0');
        }
        const char first = digits[kept];
        bool up = first > '5';
        if (first == '5') {
            const bool moreAfter = digits.find_first_not_of('0', kept + 1) != std::string::npos;
            up = moreAfter || (magnitude % 2 != 0);
        }
        magnitude += up ? 1 : 0;
    }
    if (magnitude > Limit || (magnitude == Limit && !negative)) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -magnitude : magnitude);
}

std::string FormatTenths(std::int32_t tenths) {
    const std::int64_t value = tenths;
    const std::int64_t magnitude = value < 0 ? -value : value;
    std::string text = value < 0 ? "-" : "";
    text += std::to_string(magnitude / 10);
    if (magnitude % 10 != 0) {
        text += '.';
        text += static_cast<char>('0' + magnitude % 10);
    }
    return text;
}

bool PilotPosition::StorePosition(std::string_view line) {
    const std::vector<std::string_view> words = ChatWords(line);
    return StoreCoordinates(std::span(words).subspan(words.empty() ? 0 : 1));
}

bool PilotPosition::StoreCoordinates(std::span<const std::string_view> xyz) {
    std::int32_t* const targets[] = {&PositionX, &PositionY, &PositionZ};
    for (std::size_t n = 0; n < 3; ++n) {
        const std::optional<std::int32_t> value =
            n < xyz.size() ? ParseTenths(xyz[n]) : std::nullopt;
        if (!value) {
            PositionValid = false;
            return false;
        }
        *targets[n] = *value;
    }
    PositionValid = true;
    return true;
}

} // namespace trelk
