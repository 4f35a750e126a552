#include "LinuxPlatform.h"

namespace trelk {

std::unique_ptr<Platform> CreatePlatform(const PlatformPaths& paths) {
    return std::make_unique<LinuxPlatform>(paths);
}

} // namespace trelk
