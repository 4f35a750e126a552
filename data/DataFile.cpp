#include "data/DataFile.h"

#include "core/TextHelpers.h"

#include <utility>

namespace trelk {

namespace {

enum class ReadStatus { Ok, Missing, Unreadable };

ReadStatus ReadWholeFile(FileSystem& files, const std::string& path, std::string& content) {
    switch (files.kindOf(path)) {
    case PathKind::Missing:
        return ReadStatus::Missing;
    case PathKind::Folder:
        return ReadStatus::Unreadable;
    case PathKind::File:
        break;
    }
    // A file too big to hold is as good as unreadable; the other files still load.
    FileReadResult read = files.readFile(path);
    if (!read.ok()) {
        return ReadStatus::Unreadable;
    }
    content = std::move(read.content);
    return ReadStatus::Ok;
}

std::string_view FileNameOf(std::string_view path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

bool IsWaypointFile(std::string_view name) {
    const auto dot = name.find_last_of('.');
    if (dot == std::string_view::npos || name.size() - dot != 4) {
        return false;
    }
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return lower(name[dot + 1]) == 't' && lower(name[dot + 2]) == 'r' &&
           lower(name[dot + 3]) == 'k';
}

// "SEND=NO" and the like: a line for another program, never an entry.
bool IsHeaderLine(std::string_view raw) {
    return raw.substr(0, raw.find('=')) == "SEND";
}

// The sub-group title of a file without groups. Structure characters from the file name would
// split the list text into groups that no file has.
std::string HeadingTitle(std::string_view fileName) {
    std::string title(fileName.substr(0, fileName.find('.')));
    std::erase_if(title, [](char c) { return c == '(' || c == ')' || c == '[' || c == ']'; });
    return title;
}

bool CollapsesSpaces(int kind) {
    return kind == DataKind::Roid || kind == DataKind::Pattern;
}

} // namespace

std::string ConvertDataFileContent(std::string_view content, bool waypoints) {
    std::string result;
    result.reserve(content.size() + content.size() / 16);
    std::string line;
    int entry = 1;
    bool firstLine = true;
    std::size_t pos = 0;
    while (pos < content.size()) {
        std::size_t end = pos;
        while (end < content.size() && content[end] != '\r' && content[end] != '\n') {
            ++end;
        }
        const std::string_view raw = content.substr(pos, end - pos);
        // CR LF as written; a lone LF or CR ends a line too.
        pos = end;
        if (pos < content.size() && content[pos] == '\r') {
            ++pos;
        }
        if (pos < content.size() && content[pos] == '\n') {
            ++pos;
        }
        if (firstLine) {
            firstLine = false;
            if (IsHeaderLine(raw)) {
                continue;
            }
        }
        line.clear();
        for (const char c : raw) {
            if (c == '\t') {
                line += "  ";
            } else if (c != '\\') {
                line += c;
            }
        }
        const auto first = line.find_first_not_of(' ');
        if (first == std::string::npos) {
            continue;
        }
        const std::string_view cleaned =
            std::string_view(line).substr(first, line.find_last_not_of(' ') - first + 1);
        if (cleaned.size() < 2) {
            continue;
        }
        if (cleaned.front() == '(' || cleaned.front() == '[') {
            result += cleaned;
        } else {
            result += '\\';
            result += cleaned;
            if (waypoints) {
                result += "  WayPoint ";
                result += std::to_string(entry++);
            }
        }
    }
    return result;
}

std::string ReadDataFile(FileSystem& files, const std::string& path, DataListBuild& build) {
    const std::string_view fileName = FileNameOf(path);
    std::string content;
    switch (ReadWholeFile(files, path, content)) {
    case ReadStatus::Missing:
        build.logLines.push_back("\"" + std::string(fileName) +
                                 "\" data file not found in \"..\\TrelkPro\\Data\" directory.");
        return {};
    case ReadStatus::Unreadable:
        build.logLines.push_back("\"" + path + "\" data file could not be read.");
        return {};
    case ReadStatus::Ok:
        break;
    }
    build.noData = false;

    std::string result = ConvertDataFileContent(content, IsWaypointFile(fileName));
    content = {};
    if (result.empty()) {
        build.logLines.push_back("\"" + path + "\" data file zero length.");
        return {};
    }
    if (result.front() != '\\') {
        return result;
    }
    // Entries before any group line: the file becomes a sub-group of "(Trk Data)", one such
    // group per list.
    std::string heading = "[" + HeadingTitle(fileName) + "]" + result;
    const auto group = build.text.find(TrkDataGroup);
    if (group == std::string::npos) {
        return std::string(TrkDataGroup) + heading;
    }
    if (CollapsesSpaces(build.kind)) {
        heading = CollapseSpaces(heading);
    }
    build.text.insert(group + TrkDataGroup.size(), heading);
    return {};
}

DataListBuild BuildDataList(FileSystem& files, int kind, const std::string& dataDir,
                            const std::vector<std::string>& fileNames,
                            const std::function<bool()>& stop) {
    DataListBuild build;
    build.kind = kind;
    for (const std::string& name : fileNames) {
        if (stop && stop()) {
            break;
        }
        if (name.empty()) {
            continue;
        }
        std::string text = ReadDataFile(files, dataDir + name, build);
        if (CollapsesSpaces(kind)) {
            text = CollapseSpaces(text);
        }
        build.text += text;
    }
    build.groupCount = WordCount(build.text, "(");
    if (build.noData) {
        build.text = NoDataListText;
        build.groupCount = 1;
    }
    return build;
}

} // namespace trelk
