#pragma once

// What the harnesses share: the input as text, cut into the parts a harness feeds to
// different places.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace trelk::fuzz {

inline std::string_view Text(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The parts of text between the separator bytes: "a\0b" gives "a" and "b".
inline std::vector<std::string> Parts(std::string_view text, char separator = '\0') {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.emplace_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// A property the code promises broke: the fuzzer keeps the input as a finding.
// (The builtins rather than std::source_location: clang 14 has no such type over libstdc++.)
inline void Expect(bool holds, const char* file = __builtin_FILE(), int line = __builtin_LINE()) {
    if (!holds) {
        std::fprintf(stderr, "%s:%d: the property does not hold\n", file, line);
        std::abort();
    }
}

} // namespace trelk::fuzz
