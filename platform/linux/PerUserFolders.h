#pragma once

#include "platform/ports/FileSystem.h"
#include "platform/ports/Platform.h"

#include <string>
#include <vector>

namespace trelk {

// The first start of an installed program: the pilot's folders are made, and get what the
// program's folder ships as a start (the settings file naming the sample lists, the console
// background, the sample data lists). A file already there is the pilot's and stays. Returns
// what could not be made or copied, one line each; empty when all is well.
std::vector<std::string> SeedPerUserFolders(const PlatformPaths& paths, FileSystem& files);

} // namespace trelk
