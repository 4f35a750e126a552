#include "LinuxPlatform.h"

namespace trelk {

LinuxPlatform::LinuxPlatform(PlatformPaths paths)
    : paths_(std::move(paths)), userStore_(paths_.userStorePath) {}

} // namespace trelk
