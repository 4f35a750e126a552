#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace trelk {

// What the add-on exchange makes of the texts add-ons write, and the texts it writes for them.
namespace addontext {

// The longest line or title kept: what the console can show with the text scrolled to its
// right end, with room to spare.
inline constexpr std::size_t MaxLineLength = 512;
// The longest add-on name accepted.
inline constexpr std::size_t MaxNameLength = 100;
// The highest line number of a page.
inline constexpr int PageLines = 15;

// A title or a line as the console keeps it: Windows-1252 bytes. Text that is valid UTF-8 with
// characters above ASCII (what most languages write for a string) is converted, characters
// Windows-1252 has not become '?'; other bytes are taken as Windows-1252 already. Control
// characters become blanks (typed into the game they would press keys); the text is cut at
// MaxLineLength.
std::string LineFromStore(std::string_view stored);

// "ListHighLight": a decimal number 0..15 (blanks around it allowed); anything else is 0, no
// highlighted line.
int HighlightFromStore(std::string_view stored);

// Why a name cannot be registered, or empty when it can: the list of names is comma-separated,
// and a name is also a window caption and an INI key.
std::string NameProblem(std::string_view name);

// "AddOnRegList": every name followed by a comma.
std::string RegListText(const std::vector<std::string>& names);

} // namespace addontext
} // namespace trelk
