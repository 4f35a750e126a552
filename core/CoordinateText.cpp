#include "core/CoordinateText.h"

#include <limits>

namespace trelk {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// Beyond this an exponent moves every digit out of any 32-bit value anyway. Large enough that
// a word with this many digits after its point is still read exactly.
constexpr std::int64_t ExponentLimit = 1'000'000'000;

} // namespace

std::optional<std::int32_t> ParseTenths(std::string_view word) {
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
        negative = word[i] == '-';
        ++i;
    }
    // The mantissa's digits without the point and its leading zeros, and how many digits
    // stood after the point.
    const std::size_t mantissaStart = i;
    std::string digits;
    std::int64_t fractionDigits = 0;
    bool point = false;
    for (; i < word.size(); ++i) {
        if (IsDigit(word[i])) {
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
        for (; i < word.size() && IsDigit(word[i]); ++i) {
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

} // namespace trelk
