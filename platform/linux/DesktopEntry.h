#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trelk {

// What starting a desktop launcher (a ".desktop" file of type Application) runs: the program
// and its arguments from the Exec line, and the launcher's working folder (Path), empty when it
// names none.
struct DesktopLaunch {
    std::vector<std::string> arguments; // arguments[0] is the program
    std::string workingFolder;
    friend bool operator==(const DesktopLaunch&, const DesktopLaunch&) = default;
};

// True for a path that names a desktop launcher by its ".desktop" ending.
bool IsDesktopEntryPath(std::string_view path);

// Reads the "Desktop Entry" group of a launcher's text as the desktop entry format has it: the
// value escapes, the quoting of Exec arguments, and its field codes expanded for a start
// without files (%f %F %u %U dropped; %i, %c, %k from Icon, Name and the launcher's own path).
// nullopt, with the reason in error, when it does not describe a program to start.
std::optional<DesktopLaunch> ParseDesktopEntry(std::string_view text, const std::string& entryPath,
                                               std::string& error);

} // namespace trelk
