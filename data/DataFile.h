#pragma once

#include "platform/ports/FileSystem.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

// The coordinate data files and the list text built from them. A data file is text, one item
// per line: "(Group)" opens a group, "[Sub]" a sub-group, anything else is one entry. The list
// text is the whole list in one string: "(Group)[Sub]\entry\entry[Sub]\entry(Group)...".
namespace trelk {

// The three lists: Roid Position, Search Pattern, Database.
namespace DataKind {
inline constexpr int Roid = 1;
inline constexpr int Pattern = 2;
inline constexpr int Info = 3;
inline constexpr bool Valid(int kind) {
    return kind >= Roid && kind <= Info;
}
} // namespace DataKind

inline constexpr std::string_view NoDataListText = "(***No Data Found***)[***No Data Found***]";
// The group that collects files without a group line of their own.
inline constexpr std::string_view TrkDataGroup = "(Trk Data)";

// One list being built from its files, and the result once built. Built off the main thread
// too, so it only collects: the log lines are handed to the log by whoever publishes it.
struct DataListBuild {
    int kind = DataKind::Roid;
    std::string text;
    int groupCount = 0;
    bool noData = true; // no listed file could be read
    std::vector<std::string> logLines;
};

// The cleaned lines of a file's content in list-text form, before the file gets a heading:
// the header line dropped, backslashes removed, tabs as two blanks, blanks trimmed, lines
// shorter than two characters skipped. Waypoint files number their entries from 1.
std::string ConvertDataFileContent(std::string_view content, bool waypoints);

// One file in list-text form, or "" when it adds nothing to the text returned (missing, empty,
// or its entries went into the "(Trk Data)" group already in build.text).
std::string ReadDataFile(FileSystem& files, const std::string& path, DataListBuild& build);

// The whole list of one kind from the named files in DataDir, in the given order. stop is
// polled between files; a stopped build is incomplete and must not be published.
DataListBuild BuildDataList(FileSystem& files, int kind, const std::string& dataDir,
                            const std::vector<std::string>& fileNames,
                            const std::function<bool()>& stop = {});

} // namespace trelk
