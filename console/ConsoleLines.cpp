#include "console/ConsoleLines.h"

#include <algorithm>
#include <utility>

namespace trelk {

namespace {
const std::string kEmptyLine;
}

ConsoleLines::ConsoleLines() : lines_(static_cast<std::size_t>(InitialLength)) {}

void ConsoleLines::SetLength(std::int64_t n) {
    const std::int64_t clamped = std::clamp<std::int64_t>(n, 0, MaxLength);
    lines_.resize(static_cast<std::size_t>(clamped));
}

std::string ConsoleLines::TextAt(std::int64_t i) const {
    const std::string& line = At(i);
    return line.empty() ? line : line.substr(1);
}

const std::string& ConsoleLines::At(std::int64_t i) const {
    if (i < 0 || i >= static_cast<std::int64_t>(lines_.size())) {
        return kEmptyLine;
    }
    return lines_[static_cast<std::size_t>(i)];
}

bool ConsoleLines::Set(std::int64_t i, std::string text) {
    if (i < 0 || i >= MaxLength) {
        return false;
    }
    if (i >= static_cast<std::int64_t>(lines_.size())) {
        lines_.resize(static_cast<std::size_t>(i) + 1);
    }
    lines_[static_cast<std::size_t>(i)] = std::move(text);
    return true;
}

void ConsoleLines::EmptyAll() {
    for (auto line = lines_.rbegin(); line != lines_.rend(); ++line) {
        line->clear();
    }
}

} // namespace trelk
