#include "data/DflrText.h"

#include "core/TextHelpers.h"

#include <cmath>
#include <limits>

namespace trelk {

namespace {

// Three squared differences of 32-bit values need 66 bits.
__extension__ using Wide = unsigned __int128;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// floor(sqrt(s)) for s below 2^66.
std::uint64_t IntegerSqrt(Wide s) {
    auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<long double>(s)));
    while (static_cast<Wide>(root) * root > s) {
        --root;
    }
    while (static_cast<Wide>(root + 1) * (root + 1) <= s) {
        ++root;
    }
    return root;
}

} // namespace

std::optional<std::int32_t> CoordinateTenths(std::string_view word) {
    std::size_t i = 0;
    bool negative = false;
    if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
        negative = word[i] == '-';
        ++i;
    }
    std::string digits;
    long long integerDigits = 0;
    while (i < word.size() && IsDigit(word[i])) {
        digits += word[i++];
        ++integerDigits;
    }
    if (i < word.size() && word[i] == '.') {
        ++i;
        while (i < word.size() && IsDigit(word[i])) {
            digits += word[i++];
        }
    }
    if (digits.empty()) {
        return std::nullopt;
    }
    long long exponent = 0;
    if (i < word.size() && (word[i] == 'e' || word[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < word.size() && (word[i] == '+' || word[i] == '-')) {
            negativeExponent = word[i] == '-';
            ++i;
        }
        if (i == word.size()) {
            return std::nullopt;
        }
        while (i < word.size() && IsDigit(word[i])) {
            // Far beyond any 32-bit value either way; capped so it cannot overflow.
            exponent = std::min(exponent * 10 + (word[i++] - '0'), 100000LL);
        }
        if (negativeExponent) {
            exponent = -exponent;
        }
    }
    if (i != word.size()) {
        return std::nullopt;
    }

    // digits with the decimal point after `point` of them gives the value in tenths.
    long long point = integerDigits + exponent + 1;
    std::size_t lead = 0;
    while (lead < digits.size() && digits[lead] == '0') {
        ++lead;
        --point;
    }
    const std::string_view significant = std::string_view(digits).substr(lead);
    if (point > 10) {
        return significant.empty() ? std::optional<std::int32_t>(0) : std::nullopt;
    }
    std::int64_t value = 0;
    for (long long k = 0; k < point; ++k) {
        const auto index = static_cast<std::size_t>(k);
        value = value * 10 + (index < significant.size() ? significant[index] - '0' : 0);
    }
    int firstDropped = 0;
    bool restNonZero = false;
    for (std::size_t k = 0; k < significant.size(); ++k) {
        const auto position = static_cast<long long>(k);
        if (position == point) {
            firstDropped = significant[k] - '0';
        } else if (position > point && significant[k] != '0') {
            restNonZero = true;
        }
    }
    if (point < 0 && !significant.empty()) {
        restNonZero = true; // below a hundredth of a tenth: rounds to 0 either way
    }
    if (firstDropped > 5 || (firstDropped == 5 && (restNonZero || value % 2 != 0))) {
        ++value;
    }
    const std::int64_t limit =
        std::int64_t{std::numeric_limits<std::int32_t>::max()} + (negative ? 1 : 0);
    if (value > limit) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(negative ? -value : value);
}

std::string FormatDflrText(std::string_view entry, const LumacorOrigin& position) {
    const std::string words = CollapseSpaces(entry);
    std::optional<std::int32_t> coordinate[3];
    for (int n = 0; n < 3; ++n) {
        coordinate[n] = CoordinateTenths(ExtractWord(n + 1, words, " "));
        if (!coordinate[n]) {
            return {};
        }
    }
    if (!position.Valid) {
        return " (DFLR ---)";
    }
    const std::int64_t own[3] = {position.X, position.Y, position.Z};
    Wide sum = 0;
    for (int n = 0; n < 3; ++n) {
        const std::int64_t d = own[n] - *coordinate[n];
        const auto magnitude = static_cast<Wide>(d < 0 ? -d : d);
        sum += magnitude * magnitude;
    }
    // sqrt(s) is never exactly halfway between integers (that square would end in .25), so
    // the halves-to-even rule has nothing to decide.
    const std::uint64_t root = IntegerSqrt(sum);
    const std::uint64_t tenths = sum > static_cast<Wide>(root) * root + root ? root + 1 : root;
    std::string distance = std::to_string(tenths / 10);
    if (tenths % 10 != 0) {
        distance += '.';
        distance += static_cast<char>('0' + tenths % 10);
    }
    return " (DFLR " + distance + "k)";
}

} // namespace trelk
