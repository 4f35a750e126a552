#include "DatabaseConversion.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <functional>
#include <unordered_map>
#include <vector>

namespace trelk {

namespace {

constexpr std::size_t LineLimit = 119;
constexpr std::size_t EntryLimit = 44;
constexpr const char* Unchanged = "; the database was not changed.";

// The order of the working list: bytes with lower case folded to upper.
constexpr std::array<unsigned char, 256> FoldTable() {
    std::array<unsigned char, 256> table{};
    for (int c = 0; c < 256; ++c) {
        table[static_cast<std::size_t>(c)] =
            static_cast<unsigned char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    }
    return table;
}
constexpr std::array<unsigned char, 256> Fold = FoldTable();

std::string_view TrimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

// Field n (1-based) of a ';'-separated line; empty fields count, missing ones are empty.
struct Fields {
    std::array<std::string_view, 8> field{};

    explicit Fields(std::string_view line) {
        std::size_t n = 0;
        std::size_t start = 0;
        while (n < field.size()) {
            const std::size_t end = line.find(';', start);
            field[n++] =
                line.substr(start, end == std::string_view::npos ? line.npos : end - start);
            if (end == std::string_view::npos) {
                break;
            }
            start = end + 1;
        }
    }
    std::string_view operator[](int n) const { return field[static_cast<std::size_t>(n - 1)]; }
};

std::optional<std::int64_t> WholeNumber(std::string_view text) {
    text = TrimBlanks(text);
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// Appends text with every run of blanks made one, continuing a run already at the end of the
// line that begins at start.
void AppendCollapsed(std::string& out, std::size_t start, std::string_view text) {
    for (const char c : text) {
        if (c == ' ' && out.size() > start && out.back() == ' ') {
            continue;
        }
        out += c;
    }
}

// Field 2 of the first line (fields end at ':' or ';'), leading blanks off, cut at a blank.
std::string HeaderDate(std::string_view header) {
    const std::size_t first = header.find_first_of(":;");
    if (first == std::string_view::npos) {
        return {};
    }
    std::string_view field = header.substr(first + 1);
    field = field.substr(0, field.find_first_of(":;"));
    const auto start = field.find_first_not_of(' ');
    if (start == std::string_view::npos) {
        return {};
    }
    field.remove_prefix(start);
    return std::string(field.substr(0, field.find(' ')));
}

struct WorkingLine {
    std::uint32_t offset;
    std::uint16_t length;
    std::uint16_t names; // the length of "group; sub-group;"
    std::uint32_t index; // order of arrival
    std::uint32_t pair;  // which (group, sub-group) pair, without regard to case
    std::uint64_t head;  // the first eight bytes after the names, folded
};

// The order of the working list: bytes with lower case folded to upper.
int CompareFolded(std::string_view a, std::string_view b) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t n = 0; n < common; ++n) {
        const unsigned char x = Fold[static_cast<unsigned char>(a[n])];
        const unsigned char y = Fold[static_cast<unsigned char>(b[n])];
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() == b.size() ? 0 : a.size() < b.size() ? -1 : 1;
}

// The working list in its order, equal lines newest first. Neither name holds a ';', so no
// line of one (group, sub-group) pair sorts between two lines of another: the distinct pairs
// are sorted once, then the lines of each pair by the rest.
void SortWorkingLines(const std::string& text, std::vector<WorkingLine>& lines) {
    auto rest = [&text](const WorkingLine& line) {
        return std::string_view(text.data() + line.offset + line.names,
                                static_cast<std::size_t>(line.length - line.names));
    };
    std::unordered_map<std::string, std::uint32_t> ids;
    ids.reserve(lines.size() / 4 + 16);
    std::vector<const std::string*> pairs;
    std::string names;
    for (WorkingLine& line : lines) {
        names.assign(text, line.offset, line.names);
        for (char& c : names) {
            c = static_cast<char>(Fold[static_cast<unsigned char>(c)]);
        }
        auto it = ids.find(names);
        if (it == ids.end()) {
            it = ids.emplace(names, static_cast<std::uint32_t>(pairs.size())).first;
            pairs.push_back(&it->first);
        }
        line.pair = it->second;
        // The first bytes of the rest, most significant first: most comparisons end here.
        const std::string_view head = rest(line).substr(0, 8);
        line.head = 0;
        for (std::size_t n = 0; n < 8; ++n) {
            line.head =
                line.head << 8 | (n < head.size() ? Fold[static_cast<unsigned char>(head[n])] : 0U);
        }
    }
    std::vector<std::uint32_t> order(pairs.size());
    for (std::uint32_t n = 0; n < order.size(); ++n) {
        order[n] = n;
    }
    std::sort(order.begin(), order.end(),
              [&pairs](std::uint32_t a, std::uint32_t b) { return *pairs[a] < *pairs[b]; });
    // The lines pair by pair, in the pairs' order, then each pair's lines by the rest.
    std::vector<std::uint32_t> rank(pairs.size());
    for (std::uint32_t n = 0; n < order.size(); ++n) {
        rank[order[n]] = n;
    }
    for (WorkingLine& line : lines) {
        line.pair = rank[line.pair];
    }
    std::sort(lines.begin(), lines.end(), [&rest](const WorkingLine& a, const WorkingLine& b) {
        if (a.pair != b.pair) {
            return a.pair < b.pair;
        }
        if (a.head != b.head) {
            return a.head < b.head;
        }
        if (const int c = CompareFolded(rest(a), rest(b)); c != 0) {
            return c < 0;
        }
        // A later equal line went in before the earlier ones.
        return a.index > b.index;
    });
}

// Thousandths with one decimal, as Thousandths() writes them, at the end of out.
void AppendThousandths(std::string& out, std::int64_t value) {
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    std::uint64_t tenths = (magnitude + 50) / 100;
    char digits[24];
    char* end = digits + sizeof digits;
    char* p = end;
    *--p = static_cast<char>('0' + tenths % 10);
    *--p = '.';
    tenths /= 10;
    do {
        *--p = static_cast<char>('0' + tenths % 10);
        tenths /= 10;
    } while (tenths != 0);
    if (negative && (magnitude + 50) / 100 != 0) {
        *--p = '-';
    }
    out.append(p, static_cast<std::size_t>(end - p));
}

} // namespace

std::string_view CategoryText(std::string_view category) {
    if (category == "prec. metals") {
        return "prec";
    }
    if (category == "semifluxor") {
        return "semi";
    }
    if (category == "radioactive") {
        return "rad";
    }
    if (category == "ice") {
        return "ice";
    }
    if (category == "custom") {
        return "cust";
    }
    return "---";
}

std::string_view SizeText(std::string_view size) {
    if (size == "chip") {
        return "chip ";
    }
    if (size == "small") {
        return "small";
    }
    if (size == "med.") {
        return "med  ";
    }
    if (size == "big") {
        return "big  ";
    }
    return "---";
}

std::string Thousandths(std::int64_t value) {
    std::string text;
    AppendThousandths(text, value);
    return text;
}

std::optional<std::int64_t> DateNumber(std::string_view date) {
    const auto first = date.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    date = date.substr(first, date.find_last_not_of(" \t\r\n") - first + 1);
    std::int64_t number = 0;
    int digits = 0;
    for (const char c : date) {
        if (c == '-') {
            continue;
        }
        if (c < '0' || c > '9' || ++digits > 18) {
            return std::nullopt;
        }
        number = number * 10 + (c - '0');
    }
    if (digits == 0) {
        return std::nullopt;
    }
    return number;
}

DatabaseConversion ConvertDatabase(std::string_view document) {
    DatabaseConversion result;
    const std::size_t headerEnd = std::min(document.find('\n'), document.size());
    result.date = HeaderDate(document.substr(0, headerEnd));
    if (!DateNumber(result.date)) {
        result.error = "The database has no date in its first line" + std::string(Unchanged);
        return result;
    }

    // Every working line in one buffer, the same bytes folded beside it for the sort.
    std::string text;
    std::vector<WorkingLine> lines;
    text.reserve(document.size());
    lines.reserve(document.size() / 48 + 1);
    std::string line;
    std::size_t position = headerEnd + 1;
    int lineNumber = 1;
    while (position < document.size() && document.size() - position > 1) {
        const std::size_t end = std::min(document.find('\n', position), document.size());
        const std::string_view raw = document.substr(position, std::min(end - position, LineLimit));
        position = end + 1;
        ++lineNumber;
        line.clear();
        for (const char c : raw) {
            if (c != '\\' && c != '\'' && c != '`') {
                line += c;
            }
        }
        if (line.empty()) {
            break;
        }
        const Fields fields(line);
        std::array<std::int64_t, 3> xyz{};
        for (int f = 4; f <= 6; ++f) {
            const std::optional<std::int64_t> value = WholeNumber(fields[f]);
            if (!value) {
                result.error = "Line " + std::to_string(lineNumber) +
                               " of the database has a coordinate that is not a whole number (\"" +
                               std::string(fields[f]) + "\")" + Unchanged;
                return result;
            }
            xyz[static_cast<std::size_t>(f - 4)] = *value;
        }
        const std::size_t start = text.size();
        AppendCollapsed(text, start, fields[2]);
        AppendCollapsed(text, start, "; ");
        AppendCollapsed(text, start, fields[3]);
        text += ';';
        const std::size_t names = text.size() - start;
        // Numbers hold no blanks; a blank after one cannot follow another.
        for (const std::int64_t value : xyz) {
            AppendThousandths(text, value);
            text += ' ';
        }
        AppendCollapsed(text, start, CategoryText(fields[7]));
        AppendCollapsed(text, start, "  ");
        AppendCollapsed(text, start, SizeText(fields[8]));
        lines.push_back(
            {static_cast<std::uint32_t>(start), static_cast<std::uint16_t>(text.size() - start),
             static_cast<std::uint16_t>(names), static_cast<std::uint32_t>(lines.size()), 0, 0});
    }
    SortWorkingLines(text, lines);

    std::string& out = result.fileText;
    out.reserve(text.size() + lines.size() * 10);
    // Both start empty, and a new group forgets the sub-group: records without a name write
    // no heading of their own.
    std::string_view group;
    std::string_view subGroup;
    int counter = 0;
    for (const WorkingLine& working : lines) {
        std::string_view rest(text.data() + working.offset, working.length);
        const std::size_t groupEnd = std::min(rest.find(';'), rest.size());
        const std::string_view thisGroup = TrimBlanks(rest.substr(0, groupEnd));
        rest.remove_prefix(std::min(groupEnd + 1, rest.size()));
        if (thisGroup != group) {
            out += '(';
            out += thisGroup;
            out += ")\r\n";
            group = thisGroup;
            subGroup = {};
        }
        const std::size_t subEnd = std::min(rest.find(';'), rest.size());
        const std::string_view thisSubGroup = TrimBlanks(rest.substr(0, subEnd));
        rest.remove_prefix(std::min(subEnd + 1, rest.size()));
        if (thisSubGroup != subGroup) {
            out += '[';
            out += thisSubGroup;
            out += "]\r\n";
            subGroup = thisSubGroup;
            counter = 0;
        }
        out += rest.substr(0, EntryLimit);
        out += " <";
        out += std::to_string(++counter);
        out += ">\r\n";
    }
    result.records = lines.size();
    result.ok = true;
    return result;
}

} // namespace trelk
