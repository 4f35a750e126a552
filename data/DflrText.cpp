#include "data/DflrText.h"

#include "core/CoordinateText.h"
#include "core/TextHelpers.h"

#include <cmath>
#include <optional>

namespace trelk {

namespace {

// Three squared differences of 32-bit values need 66 bits.
__extension__ using Wide = unsigned __int128;

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

std::string FormatDflrText(std::string_view entry, const LumacorOrigin& position) {
    const std::string words = CollapseSpaces(entry);
    std::optional<std::int32_t> coordinate[3];
    for (int n = 0; n < 3; ++n) {
        coordinate[n] = ParseTenths(ExtractWord(n + 1, words, " "));
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
