#include "DesktopEntry.h"

#include <map>

namespace trelk {

namespace {

constexpr std::string_view MainGroup = "[Desktop Entry]";

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

// The string escapes of every value: \s \n \t \r \\.
std::string Unescaped(std::string_view value) {
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        switch (next) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default: // not an escape of the format: kept as written
            out += '\\';
            out += next;
            break;
        }
    }
    return out;
}

// The keys of the main group; localised keys ("Name[de]") and other groups are not needed.
std::map<std::string, std::string, std::less<>> MainGroupKeys(std::string_view text) {
    std::map<std::string, std::string, std::less<>> keys;
    bool inMain = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = Trimmed(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            inMain = line == MainGroup;
            continue;
        }
        const std::size_t equals = line.find('=');
        if (!inMain || equals == std::string_view::npos) {
            continue;
        }
        const std::string_view key = Trimmed(line.substr(0, equals));
        if (key.find('[') == std::string_view::npos) {
            keys.try_emplace(std::string(key), Unescaped(Trimmed(line.substr(equals + 1))));
        }
    }
    return keys;
}

// Splits Exec into arguments: blanks separate, double quotes group, and inside quotes a
// backslash takes the next character as it is.
std::optional<std::vector<std::string>> ExecWords(std::string_view exec,
                                                  std::vector<bool>& quoted) {
    std::vector<std::string> words;
    std::string word;
    bool inWord = false;
    bool inQuotes = false;
    bool wordQuoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (inQuotes) {
            if (c == '"') {
                inQuotes = false;
            } else if (c == '\\' && i + 1 < exec.size()) {
                word += exec[++i];
            } else {
                word += c;
            }
        } else if (c == ' ' || c == '\t') {
            if (inWord) {
                words.push_back(std::move(word));
                quoted.push_back(wordQuoted);
                word.clear();
                inWord = wordQuoted = false;
            }
        } else if (c == '"') {
            inQuotes = inWord = wordQuoted = true;
        } else {
            word += c;
            inWord = true;
        }
    }
    if (inQuotes) {
        return std::nullopt;
    }
    if (inWord) {
        words.push_back(std::move(word));
        quoted.push_back(wordQuoted);
    }
    return words;
}

} // namespace

bool IsDesktopEntryPath(std::string_view path) {
    return path.ends_with(".desktop");
}

std::optional<DesktopLaunch> ParseDesktopEntry(std::string_view text, const std::string& entryPath,
                                               std::string& error) {
    const auto keys = MainGroupKeys(text);
    const auto value = [&keys](std::string_view key) {
        const auto found = keys.find(key);
        return found == keys.end() ? std::string() : found->second;
    };
    if (value("Type") != "Application") {
        error = "not an application launcher: " + entryPath;
        return std::nullopt;
    }
    std::vector<bool> quoted;
    const std::optional<std::vector<std::string>> words = ExecWords(value("Exec"), quoted);
    if (!words) {
        error = "unbalanced quotes in the Exec line of " + entryPath;
        return std::nullopt;
    }
    DesktopLaunch launch;
    for (std::size_t n = 0; n < words->size(); ++n) {
        const std::string& word = (*words)[n];
        // Field codes stand alone as unquoted arguments; a quoted one is literal text.
        if (!quoted[n] && word.size() == 2 && word[0] == '%') {
            switch (word[1]) {
            case 'i':
                if (!value("Icon").empty()) {
                    launch.arguments.insert(launch.arguments.end(), {"--icon", value("Icon")});
                }
                continue;
            case 'c':
                launch.arguments.push_back(value("Name"));
                continue;
            case 'k':
                launch.arguments.push_back(entryPath);
                continue;
            case '%':
                launch.arguments.emplace_back("%");
                continue;
            default: // files and addresses: none are handed over
                continue;
            }
        }
        std::string argument;
        for (std::size_t i = 0; i < word.size(); ++i) {
            if (!quoted[n] && word[i] == '%' && i + 1 < word.size()) {
                if (word[++i] == '%') {
                    argument += '%';
                }
                continue;
            }
            argument += word[i];
        }
        launch.arguments.push_back(std::move(argument));
    }
    if (launch.arguments.empty() || launch.arguments.front().empty()) {
        error = "no program in the Exec line of " + entryPath;
        return std::nullopt;
    }
    launch.workingFolder = value("Path");
    return launch;
}

} // namespace trelk
