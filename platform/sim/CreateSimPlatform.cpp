#include "SimPlatform.h"

namespace trelk {

std::string PrepareProcess() {
    return {};
}

PlatformPaths DefaultPlatformPaths() {
    return {.appDir = "/sim/TrelkPro/",
            .settingsFile = "/sim/TrelkPro/trelkpro.ini",
            .userStorePath = "/sim/registry.db",
            .programDir = "/sim/TrelkPro/"};
}

std::unique_ptr<Platform> CreatePlatform(const PlatformPaths& paths) {
    return std::make_unique<SimPlatform>(paths);
}

} // namespace trelk
