#include "core/InstallCode.h"

#include <cstdint>
#include <random>

namespace trelk {

std::string GenerateInstallCode(const Clock& clock) {
    const auto wall = static_cast<std::uint64_t>(clock.wallClockMs());
    const auto mono = static_cast<std::uint64_t>(clock.monotonicMs());
    std::seed_seq seed{static_cast<std::uint32_t>(wall), static_cast<std::uint32_t>(wall >> 32),
                       static_cast<std::uint32_t>(mono), static_cast<std::uint32_t>(mono >> 32)};
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> offset(0, 73);
    std::string code;
    code.reserve(kInstallCodeLength);
    for (std::size_t i = 0; i < kInstallCodeLength; ++i) {
        code += static_cast<char>(48 + offset(generator));
    }
    return code;
}

} // namespace trelk
