#pragma once

#include <string_view>
#include <vector>

// The word rules the console reads a list text with. A word is a run of characters that are not
// separators: runs of separators separate once, and separators at either end make no empty
// word. Words are numbered from 1; a word that does not exist is empty. Results are views into
// the text they were taken from.
namespace trelk {

std::string_view NthWord(int n, std::string_view text, std::string_view separators);
int CountWords(std::string_view text, std::string_view separators);
// Every word at one separator, in order: word k at index k - 1.
std::vector<std::string_view> SplitWords(std::string_view text, char separator);
// Word n at opening, up to its first closing character: "(Belt A)[North]" gives "Belt A".
std::string_view NthBetween(int n, std::string_view text, char opening, char closing);

// The text before the first ch; all of it when ch is absent.
std::string_view UpTo(std::string_view text, char ch);
// The text after the first ch; all of it when ch is absent (nothing to cut away then).
std::string_view After(std::string_view text, char ch);

} // namespace trelk
