#pragma once

#include "platform/ports/Platform.h"

#include <string>

namespace trelk {

// The name of the file an installed program carries in its folder. With it the folder is the
// program's, not the pilot's, even for a user (root) who could write there.
inline constexpr const char* PerUserFoldersMark = "per-user-folders";

// The program's paths on Linux, each one overridable through the environment:
// - appDir: $TRELK_APP_DIR (a '/' is appended when missing); else the executable's folder when
//   it is the pilot's own (writable, without the installed mark); else, for an installed
//   program, ($XDG_DATA_HOME or ~/.local/share)/TrelkPro/;
// - settingsFile: appDir + the executable's base name without extension + ".ini"; for an
//   installed program ($XDG_CONFIG_HOME or ~/.config)/TrelkPro/ + that name;
// - userStorePath: $TRELK_REGISTRY, else ($XDG_CONFIG_HOME or ~/.config)/TrelkPro/registry.db.
// Empty variables, and relative XDG folders, count as unset.
PlatformPaths ResolvePlatformPaths();

// The same for an executable at the given path (resolved, no links).
PlatformPaths ResolvePlatformPathsFor(const std::string& executable);

} // namespace trelk
