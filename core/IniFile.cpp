#include "core/IniFile.h"

#include "core/TextHelpers.h"

namespace trelk {

namespace {

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

std::string_view TrimBlanks(std::string_view s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return {};
    }
    return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

std::string DecodeValue(std::string_view raw) {
    raw = TrimBlanks(raw);
    if (raw.size() >= 2 && raw.front() == '"' && raw.back() == '"') {
        raw = raw.substr(1, raw.size() - 2);
    }
    return std::string(raw);
}

// The inverse of DecodeValue: quotes keep blanks at the ends and quotes that belong to the value.
std::string EncodeValue(std::string_view value) {
    std::string text(value);
    for (char& c : text) {
        if (c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    const bool needsQuotes =
        !text.empty() && (text.front() == ' ' || text.front() == '\t' || text.back() == ' ' ||
                          text.back() == '\t' || (text.front() == '"' && text.back() == '"'));
    return needsQuotes ? '"' + text + '"' : text;
}

// Shared by the const and non-const lookups; works on the private section and line types.
template <typename Sections> auto FindSectionIn(Sections& sections, std::string_view name) {
    decltype(&sections.front()) found = nullptr;
    for (auto& section : sections) {
        if (section.hasHeader && EqualNoCase(section.name, name)) {
            found = &section;
            break;
        }
    }
    return found;
}

// The first occurrence of a key wins, as on the original platform.
template <typename Sections>
auto FindEntryIn(Sections& sections, std::string_view section, std::string_view key) {
    decltype(&sections.front().lines.front()) found = nullptr;
    if (auto* within = FindSectionIn(sections, section)) {
        for (auto& line : within->lines) {
            if (line.isEntry && EqualNoCase(line.key, key)) {
                found = &line;
                break;
            }
        }
    }
    return found;
}

std::string ErrorText(const std::string& what, const std::string& path, const std::string& error) {
    return what + " " + path + ": " + error;
}

} // namespace

IniResult IniFile::Load(FileSystem& fileSystem, const std::string& path) {
    sections_.clear();
    const FileReadResult read = fileSystem.readFile(path);
    if (read.status == FileReadResult::Status::Missing) {
        return {};
    }
    if (!read.ok()) {
        return {false, ErrorText("Unable to read", path, read.error)};
    }
    *this = fromText(read.content);
    return {};
}

IniResult IniFile::Save(FileSystem& fileSystem, const std::string& path) const {
    const FileWriteResult written = fileSystem.replaceFile(path, toText());
    if (!written.ok) {
        return {false, ErrorText("Unable to write to", path, written.error)};
    }
    return {};
}

IniFile IniFile::fromText(std::string_view text) {
    IniFile ini;
    // Byte order marks left by an editor, also one added again to a file that had one: a
    // mark left in the text would hide the first section, until a save put it first again.
    while (text.starts_with("\xEF\xBB\xBF")) {
        text.remove_prefix(3);
    }
    std::size_t current = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (line.ends_with('\r')) {
            line.remove_suffix(1);
        }
        current = ini.parseLine(line, current);
    }
    return ini;
}

std::size_t IniFile::parseLine(std::string_view line, std::size_t current) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.starts_with('[') && trimmed.find(']') != std::string_view::npos) {
        const std::string_view name = TrimBlanks(trimmed.substr(1, trimmed.find(']') - 1));
        if (const Section* known = FindSectionIn(sections_, name)) {
            return static_cast<std::size_t>(known - sections_.data()); // merge a repeated section
        }
        // The whole line is kept: what follows the bracket is the writer's (a comment, or the
        // rest of a line whose break an editor left as a lone carriage return).
        sections_.push_back({std::string(name), true, {}, std::string(line)});
        return sections_.size() - 1;
    }
    if (sections_.empty()) {
        sections_.push_back({"", false, {}});
    }
    Line entry{std::string(line), false, {}, {}};
    const auto equals = line.find('=');
    if (equals != std::string_view::npos && !trimmed.starts_with(';')) {
        entry.key = TrimBlanks(line.substr(0, equals));
        entry.value = DecodeValue(line.substr(equals + 1));
        entry.isEntry = !entry.key.empty();
    }
    sections_[current].lines.push_back(std::move(entry));
    return current;
}

std::string IniFile::toText() const {
    std::string text;
    for (const Section& section : sections_) {
        if (section.hasHeader) {
            text += section.header.empty() ? '[' + section.name + ']' : section.header;
            text += '\n';
        }
        for (const Line& line : section.lines) {
            text += line.text;
            text += '\n';
        }
    }
    return text;
}

const IniFile::Line* IniFile::findEntry(std::string_view section, std::string_view key) const {
    return FindEntryIn(sections_, section, key);
}

bool IniFile::hasKey(std::string_view section, std::string_view key) const {
    return findEntry(section, key) != nullptr;
}

std::vector<std::string> IniFile::sectionNames() const {
    std::vector<std::string> names;
    for (const Section& section : sections_) {
        if (section.hasHeader) {
            names.push_back(section.name);
        }
    }
    return names;
}

std::vector<std::string> IniFile::keyNames(std::string_view section) const {
    std::vector<std::string> names;
    if (const Section* found = FindSectionIn(sections_, section)) {
        for (const Line& line : found->lines) {
            if (line.isEntry && findEntry(section, line.key) == &line) {
                names.push_back(line.key);
            }
        }
    }
    return names;
}

std::string IniFile::readString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    const Line* line = findEntry(section, key);
    return line != nullptr ? line->value : std::string(defaultValue);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int defaultValue) const {
    const Line* line = findEntry(section, key);
    if (line == nullptr) {
        return defaultValue;
    }
    return ParseInteger(line->value).value_or(defaultValue);
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool defaultValue) const {
    const Line* line = findEntry(section, key);
    if (line == nullptr) {
        return defaultValue;
    }
    const auto value = ParseInteger(line->value);
    return value ? *value != 0 : defaultValue;
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value) {
    const std::string encoded = EncodeValue(value);
    if (Line* line = FindEntryIn(sections_, section, key)) {
        line->text = line->key + '=' + encoded;
        line->value = DecodeValue(encoded);
        return;
    }
    Section* target = FindSectionIn(sections_, section);
    if (target == nullptr) {
        if (!sections_.empty() && !sections_.back().lines.empty() &&
            !TrimBlanks(sections_.back().lines.back().text).empty()) {
            sections_.back().lines.push_back({});
        }
        target = &sections_.emplace_back(Section{std::string(section), true, {}});
    }
    // After the last non-blank line, so blank lines that separate sections stay at the end.
    auto at = target->lines.end();
    while (at != target->lines.begin() && TrimBlanks(std::prev(at)->text).empty()) {
        --at;
    }
    target->lines.insert(
        at, Line{std::string(key) + '=' + encoded, true, std::string(key), DecodeValue(encoded)});
}

void IniFile::deleteKey(std::string_view section, std::string_view key) {
    if (Section* found = FindSectionIn(sections_, section)) {
        std::erase_if(found->lines, [key](const Line& line) {
            return line.isEntry && EqualNoCase(line.key, key);
        });
    }
}

void IniFile::writeInteger(std::string_view section, std::string_view key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

} // namespace trelk
