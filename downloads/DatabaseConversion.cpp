#include "DatabaseConversion.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
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

// Appends text with every run of blanks made one, continuing a run already at the end.
void AppendCollapsed(std::string& out, std::string_view text) {
    for (const char c : text) {
        if (c == ' ' && !out.empty() && out.back() == ' ') {
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
    std::uint32_t length;
    std::uint32_t index; // order of arrival
};

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
    const bool negative = value < 0;
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const std::uint64_t tenths = (magnitude + 50) / 100;
    std::string text = negative && tenths != 0 ? "-" : "";
    text += std::to_string(tenths / 10);
    text += '.';
    text += static_cast<char>('0' + tenths % 10);
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
        AppendCollapsed(text, fields[2]);
        AppendCollapsed(text, "; ");
        AppendCollapsed(text, fields[3]);
        AppendCollapsed(text, ";");
        for (const std::int64_t value : xyz) {
            AppendCollapsed(text, Thousandths(value));
            AppendCollapsed(text, " ");
        }
        AppendCollapsed(text, CategoryText(fields[7]));
        AppendCollapsed(text, "  ");
        AppendCollapsed(text, SizeText(fields[8]));
        lines.push_back({static_cast<std::uint32_t>(start),
                         static_cast<std::uint32_t>(text.size() - start),
                         static_cast<std::uint32_t>(lines.size())});
    }

    std::string folded(text);
    for (char& c : folded) {
        c = static_cast<char>(Fold[static_cast<unsigned char>(c)]);
    }
    std::sort(lines.begin(), lines.end(), [&folded](const WorkingLine& a, const WorkingLine& b) {
        const int order = std::memcmp(folded.data() + a.offset, folded.data() + b.offset,
                                      std::min(a.length, b.length));
        if (order != 0) {
            return order < 0;
        }
        if (a.length != b.length) {
            return a.length < b.length;
        }
        // A later equal line went in before the earlier ones.
        return a.index > b.index;
    });

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
