#pragma once

#include <cstdint>

namespace trelk::services {

// A small linear congruential generator: the same documents on every machine.
struct Numbers {
    std::uint32_t state;
    std::uint32_t next() {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }
    int between(int low, int high) {
        return low + static_cast<int>(next() % static_cast<std::uint32_t>(high - low + 1));
    }
};

} // namespace trelk::services
