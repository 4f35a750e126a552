#pragma once

#include <optional>
#include <string>

namespace trelk {

// "--version" and "--help" (and "-h"): what they print, for a start that only asks. Any other
// argument is the toolkit's, and the program starts as usual (nullopt).
std::optional<std::string> InformationRequested(int argc, char* argv[]);

} // namespace trelk
