#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace trelk {

// Where distances are measured from: the pilot's last position, as the chat lines
// "/lumacor x y z" and "//dflr x y z" stored it, in tenths.
struct LumacorOrigin {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    std::int32_t Z = 0;
    bool Valid = false;
};

// The distance text for an entry "x y z ...": " (DFLR 12.5k)", " (DFLR ---)" while no position
// is stored, and "" when the entry does not begin with three coordinates. The distance is exact
// for every pair of positions.
std::string FormatDflrText(std::string_view entry, const LumacorOrigin& position);

} // namespace trelk
