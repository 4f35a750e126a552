#include "PilotPosition.h"

#include "core/CoordinateText.h"

#include <cstddef>

namespace trelk {

namespace {

bool isControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 32 || byte == 127;
}

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
