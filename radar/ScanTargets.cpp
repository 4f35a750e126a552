#include "radar/ScanTargets.h"

#include <algorithm>

namespace trelk {

namespace {

template <int Target> bool AnyPixelOf(const std::vector<std::uint32_t>& pixels) {
    return std::any_of(pixels.begin(), pixels.end(),
                       [](std::uint32_t rgb) { return PassesPixelTest(Target, rgb); });
}

} // namespace

// The test is chosen once, outside the walk.
bool AnyTargetPixel(int targetCode, const std::vector<std::uint32_t>& pixels) {
    switch (ValidTargetCode(targetCode)) {
    case Flux:
        return AnyPixelOf<Flux>(pixels);
    case Sol:
        return AnyPixelOf<Sol>(pixels);
    case Oct:
        return AnyPixelOf<Oct>(pixels);
    case Quan:
        return AnyPixelOf<Quan>(pixels);
    default:
        return AnyPixelOf<Object>(pixels);
    }
}

} // namespace trelk
