#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace trelk {

// The console's line buffer: each element is one code character followed by the line's text.
// Every access is by a signed index that may come from a list size, a selection or an add-on;
// reads outside the buffer give an empty line and writes past its end grow it, so no value
// can index outside it.
class ConsoleLines {
public:
    static constexpr std::int32_t InitialLength = 100;
    // A page that asks for more is cut here rather than exhausting memory.
    static constexpr std::int32_t MaxLength = 1 << 20;

    ConsoleLines();

    std::int32_t Length() const { return static_cast<std::int32_t>(lines_.size()); }
    // Sizes the buffer to n slots, clamped to 0..MaxLength; new slots are empty.
    void SetLength(std::int64_t n);

    // The line at i, or an empty line outside the buffer.
    const std::string& At(std::int64_t i) const;
    // The line at i without its code character: the text a pilot reads.
    std::string TextAt(std::int64_t i) const;
    // Stores text at i, growing the buffer when i lies past its end; false (nothing stored)
    // for a negative index or one at MaxLength or above.
    bool Set(std::int64_t i, std::string text);
    // Empties every line, the last one first; the length stays.
    void EmptyAll();

private:
    std::vector<std::string> lines_;
};

} // namespace trelk
