#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// A list text is read group by group: "(Group)[Sub]\entry\entry[Sub]\entry(Group)...". Counting
// words from the start of a 10 MB text on every console page would scan megabytes per key, so
// the group words are found once per built list, and sub-groups and entries are read only
// inside the current group. Every result is the one the word rules (ListTextWords.h) give.
namespace trelk {

// Where each group word of a list text starts: its words at "(", so text before the first
// "(" is group 1.
class ListTextIndex {
public:
    ListTextIndex() = default;
    explicit ListTextIndex(std::string_view text);

    // True when built from a text of this length; an index is only ever used with its text.
    bool Covers(std::string_view text) const { return built_ && textSize_ == text.size(); }
    int Count() const { return static_cast<int>(starts_.size()); }
    // NthWord(n, text, "("), text being the indexed text.
    std::string_view Group(std::string_view text, int n) const;
    // NthBetween(n, text, '(', ')'): the title the groups page lists.
    std::string_view Title(std::string_view text, int n) const;

private:
    std::vector<std::size_t> starts_;
    std::size_t textSize_ = 0;
    bool built_ = false;
};

// A group word as the sub-groups page reads it.
struct ListGroup {
    std::string_view name;                   // NthWord(1, word, "()")
    std::string_view text;                   // the word after its first "[" (all of it without one)
    std::vector<std::string_view> subgroups; // the words of text at "["
};
ListGroup ParseListGroup(std::string_view word);

// A sub-group word as the entries page reads it.
struct ListSubgroup {
    std::string_view name;                 // NthWord(1, word, "[]")
    std::string_view text;                 // the word after its first "\" (all of it without one)
    std::vector<std::string_view> entries; // the words of text at "\"
};
ListSubgroup ParseListSubgroup(std::string_view word);

} // namespace trelk
