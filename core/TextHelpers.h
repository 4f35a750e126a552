#pragma once

#include <optional>
#include <string>
#include <string_view>

// Word and field helpers on single-byte strings. A delimiter set is a string of characters, any
// of which delimits. Positions are 1-based; a position that does not exist yields "".
namespace trelk {

// Runs of delimiters separate once; leading and trailing delimiters separate nothing.
int WordCount(std::string_view s, std::string_view delims);
std::string ExtractWord(int n, std::string_view s, std::string_view delims);

// Every single delimiter separates, so empty fields count: "a;;b" has three fields.
std::string ExtractField(int n, std::string_view s, std::string_view delims);

// Returns the text before the first ch, or all of it when ch is absent. With deleteFromSource
// the returned text and the ch are removed from source.
std::string CutAt(std::string& source, char ch, bool deleteFromSource);

// Runs of blanks become one blank.
std::string CollapseSpaces(std::string_view s);
// Each tab becomes width blanks (none for a width below 1).
std::string TabsToSpaces(std::string_view s, int width);
// Blanks only; tabs and line ends are kept.
std::string TrimSpaces(std::string_view s);
std::string RemoveChar(std::string_view s, char ch);
// Pads with blanks up to width; a longer text is never cut.
std::string PadRight(std::string_view s, int width);

// Decimal with an optional sign, or hexadecimal as "$1F" or "0x1F", with optional blanks
// around. Anything else, or a value outside int, gives nullopt.
std::optional<int> ParseInteger(std::string_view s);

} // namespace trelk
