#pragma once

#include <cstdint>
#include <vector>

namespace trelk {

// The kinds of radar contact the scan looks for; the number is the stored "ScanColor" and the
// position of the target's button.
enum ScanTarget : int { Flux = 0, Object = 1, Sol = 2, Oct = 3, Quan = 4 };

constexpr int ScanTargetCount = 5;

// A stored code outside the targets scans for objects.
constexpr int ValidTargetCode(int code) {
    return code >= Flux && code <= Quan ? code : Object;
}

// Whether a pixel (0x00RRGGBB) has the colour of the target's blips. The five tests exclude
// each other.
constexpr bool PassesPixelTest(int targetCode, std::uint32_t rgb) {
    const int r = static_cast<int>((rgb >> 16) & 0xff);
    const int g = static_cast<int>((rgb >> 8) & 0xff);
    const int b = static_cast<int>(rgb & 0xff);
    switch (ValidTargetCode(targetCode)) {
    case Flux:
        return r > 120 && g < 96 && b > 120;
    case Sol:
        return r < 96 && g < 96 && b > 128;
    case Oct:
        return r > 128 && g < 96 && b < 96;
    case Quan:
        return r < 96 && g > 128 && b < 96;
    default:
        return r > 128 && g > 128 && b < 96;
    }
}

// Whether any pixel (0x00RRGGBB, rows from the top, each left to right) passes the target's test.
bool AnyTargetPixel(int targetCode, const std::vector<std::uint32_t>& pixels);

} // namespace trelk
