#include "data/ListTextWords.h"

#include <algorithm>
#include <limits>

namespace trelk {

namespace {

// Calls visit(word) for each word in order; stops when visit returns false.
template <typename IsSeparator, typename Visit>
void ForEachWord(std::string_view text, IsSeparator isSeparator, Visit visit) {
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isSeparator(text[i])) {
            ++i;
        }
        if (i == text.size()) {
            return;
        }
        const std::size_t start = i;
        while (i < text.size() && !isSeparator(text[i])) {
            ++i;
        }
        if (!visit(text.substr(start, i - start))) {
            return;
        }
    }
}

auto InSet(std::string_view separators) {
    return [separators](char c) { return separators.find(c) != std::string_view::npos; };
}

// One separator: the word ends at the next one, found with find (memchr) rather than a loop.
template <typename Visit> void ForEachWord(std::string_view text, char separator, Visit visit) {
    std::size_t i = 0;
    while (i < text.size()) {
        i = text.find_first_not_of(separator, i);
        if (i == std::string_view::npos) {
            return;
        }
        const std::size_t end = std::min(text.find(separator, i), text.size());
        if (!visit(text.substr(i, end - i))) {
            return;
        }
        i = end;
    }
}

} // namespace

std::string_view NthWord(int n, std::string_view text, std::string_view separators) {
    std::string_view result;
    if (n < 1) {
        return result;
    }
    int index = 0;
    const auto visit = [&](std::string_view word) {
        if (++index == n) {
            result = word;
            return false;
        }
        return true;
    };
    if (separators.size() == 1) {
        ForEachWord(text, separators.front(), visit);
    } else {
        ForEachWord(text, InSet(separators), visit);
    }
    return result;
}

int CountWords(std::string_view text, std::string_view separators) {
    int count = 0;
    const auto visit = [&count](std::string_view) {
        // A count past int would need a text of gigabytes; it stops there rather than wrap.
        return ++count < std::numeric_limits<int>::max();
    };
    if (separators.size() == 1) {
        ForEachWord(text, separators.front(), visit);
    } else {
        ForEachWord(text, InSet(separators), visit);
    }
    return count;
}

std::vector<std::string_view> SplitWords(std::string_view text, char separator) {
    std::vector<std::string_view> words;
    ForEachWord(text, separator, [&words](std::string_view word) {
        words.push_back(word);
        return true;
    });
    return words;
}

std::string_view NthBetween(int n, std::string_view text, char opening, char closing) {
    return UpTo(NthWord(n, text, std::string_view(&opening, 1)), closing);
}

std::string_view UpTo(std::string_view text, char ch) {
    return text.substr(0, std::min(text.find(ch), text.size()));
}

std::string_view After(std::string_view text, char ch) {
    const std::size_t at = text.find(ch);
    return at == std::string_view::npos ? text : text.substr(at + 1);
}

} // namespace trelk
