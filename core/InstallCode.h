#pragma once

#include "platform/ports/Clock.h"

#include <cstddef>
#include <string>

namespace trelk {

inline constexpr std::size_t kInstallCodeLength = 22;

// An anonymous installation code: 22 characters from '0' (48) to 'y' (121), seeded from the
// clock. The same clock readings give the same code.
std::string GenerateInstallCode(const Clock& clock);

} // namespace trelk
