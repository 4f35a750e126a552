#include "core/TextHelpers.h"

#include <cstdint>
#include <limits>

namespace trelk {

namespace {

bool IsDelim(char c, std::string_view delims) {
    return delims.find(c) != std::string_view::npos;
}

// Calls visit(index, word) for each word, 1-based; stops when visit returns false.
template <typename Visit>
void ForEachWord(std::string_view s, std::string_view delims, Visit visit) {
    int index = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        while (i < s.size() && IsDelim(s[i], delims)) {
            ++i;
        }
        if (i == s.size()) {
            return;
        }
        const std::size_t start = i;
        while (i < s.size() && !IsDelim(s[i], delims)) {
            ++i;
        }
        if (!visit(++index, s.substr(start, i - start))) {
            return;
        }
    }
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::string_view TrimBlanksAndTabs(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

} // namespace

int WordCount(std::string_view s, std::string_view delims) {
    int count = 0;
    ForEachWord(s, delims, [&count](int index, std::string_view) {
        count = index;
        return true;
    });
    return count;
}

std::string ExtractWord(int n, std::string_view s, std::string_view delims) {
    std::string result;
    ForEachWord(s, delims, [&](int index, std::string_view word) {
        if (index == n) {
            result = word;
            return false;
        }
        return true;
    });
    return result;
}

std::string ExtractField(int n, std::string_view s, std::string_view delims) {
    if (n < 1) {
        return {};
    }
    std::size_t start = 0;
    for (int field = 1; field < n; ++field) {
        const auto next = s.find_first_of(delims, start);
        if (next == std::string_view::npos) {
            return {};
        }
        start = next + 1;
    }
    const auto end = s.find_first_of(delims, start);
    return std::string(s.substr(start, end == std::string_view::npos ? s.npos : end - start));
}

std::string CutAt(std::string& source, char ch, bool deleteFromSource) {
    const auto pos = source.find(ch);
    std::string cut = source.substr(0, pos);
    if (deleteFromSource) {
        source.erase(0, pos == std::string::npos ? pos : pos + 1);
    }
    return cut;
}

std::string CollapseSpaces(std::string_view s) {
    std::string result;
    result.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != ' ' || i == 0 || s[i - 1] != ' ') {
            result += s[i];
        }
    }
    return result;
}

std::string TabsToSpaces(std::string_view s, int width) {
    const std::string blanks(width > 0 ? static_cast<std::size_t>(width) : 0U, ' ');
    std::string result;
    result.reserve(s.size());
    for (const char c : s) {
        if (c == '\t') {
            result += blanks;
        } else {
            result += c;
        }
    }
    return result;
}

std::string TrimSpaces(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(s.substr(first, s.find_last_not_of(' ') - first + 1));
}

std::string RemoveChar(std::string_view s, char ch) {
    std::string result;
    result.reserve(s.size());
    for (const char c : s) {
        if (c != ch) {
            result += c;
        }
    }
    return result;
}

std::string PadRight(std::string_view s, int width) {
    std::string result(s);
    if (width > 0 && result.size() < static_cast<std::size_t>(width)) {
        result.resize(static_cast<std::size_t>(width), ' ');
    }
    return result;
}

std::optional<int> ParseInteger(std::string_view s) {
    s = TrimBlanksAndTabs(s);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (s.starts_with('$')) {
        base = 16;
        s.remove_prefix(1);
    } else if (s.starts_with("0x") || s.starts_with("0X")) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) {
        return std::nullopt;
    }
    // One more than INT_MAX is allowed so that INT_MIN parses.
    const std::int64_t limit = std::int64_t{std::numeric_limits<int>::max()} + (negative ? 1 : 0);
    std::int64_t value = 0;
    for (const char c : s) {
        const int digit = base == 16 ? HexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0) {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > limit) {
            return std::nullopt;
        }
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace trelk
