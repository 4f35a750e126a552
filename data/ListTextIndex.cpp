#include "data/ListTextIndex.h"

#include "data/ListTextWords.h"

#include <algorithm>
#include <limits>

namespace trelk {

ListTextIndex::ListTextIndex(std::string_view text) : textSize_(text.size()), built_(true) {
    // Count() is an int: a text with more groups than that keeps the first ones.
    const auto limit = static_cast<std::size_t>(std::numeric_limits<int>::max());
    std::size_t i = 0;
    while (i < text.size() && starts_.size() < limit) {
        i = text.find_first_not_of('(', i);
        if (i == std::string_view::npos) {
            break;
        }
        starts_.push_back(i);
        i = std::min(text.find('(', i), text.size());
    }
}

std::string_view ListTextIndex::Group(std::string_view text, int n) const {
    if (n < 1 || n > Count() || !Covers(text)) {
        return {};
    }
    const std::string_view rest = text.substr(starts_[static_cast<std::size_t>(n - 1)]);
    return UpTo(rest, '(');
}

std::string_view ListTextIndex::Title(std::string_view text, int n) const {
    return UpTo(Group(text, n), ')');
}

ListGroup ParseListGroup(std::string_view word) {
    ListGroup group;
    group.name = NthWord(1, word, "()");
    group.text = After(word, '[');
    group.subgroups = SplitWords(group.text, '[');
    return group;
}

ListSubgroup ParseListSubgroup(std::string_view word) {
    ListSubgroup subgroup;
    subgroup.name = NthWord(1, word, "[]");
    subgroup.text = After(word, '\\');
    subgroup.entries = SplitWords(subgroup.text, '\\');
    return subgroup;
}

} // namespace trelk
