#pragma once

#include "platform/ports/Platform.h"

namespace trelk {

// The program's paths on Linux, each one overridable through the environment:
// - appDir: $TRELK_APP_DIR (a '/' is appended when missing), else the executable's folder;
// - settingsFile: appDir + the executable's base name without extension + ".ini";
// - userStorePath: $TRELK_REGISTRY, else ($XDG_CONFIG_HOME or ~/.config)/TrelkPro/registry.db.
// Empty variables count as unset.
PlatformPaths ResolvePlatformPaths();

} // namespace trelk
