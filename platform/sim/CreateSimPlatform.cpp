#include "SimPlatform.h"

namespace trelk {

std::unique_ptr<Platform> CreatePlatform(const PlatformPaths& paths) {
    return std::make_unique<SimPlatform>(paths);
}

} // namespace trelk
