#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace trelk {

// The words of a chat line: split at blanks (runs count as one), leading blanks skipped. Words
// made only of control characters (the carriage return that begins every typed line) are not
// words the pilot typed and are left out.
std::vector<std::string_view> ChatWords(std::string_view line);

// The pilot's last known position, learnt from the game's own "/lumacor" line. The distance
// texts of the coordinate entries are measured from it.
struct PilotPosition {
    std::int32_t PositionX = 0;
    std::int32_t PositionY = 0;
    std::int32_t PositionZ = 0;
    bool PositionValid = false;

    // Words 2..4 of the line.
    bool StorePosition(std::string_view line);
    // x, y, z in turn, each stored as soon as it parsed; a missing or bad one stops there and
    // clears PositionValid, so a half-updated position is never used for a distance.
    bool StoreCoordinates(std::span<const std::string_view> xyz);
    void Reset() { *this = PilotPosition{}; }
};

} // namespace trelk
