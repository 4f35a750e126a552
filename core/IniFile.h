#pragma once

#include "platform/ports/FileSystem.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace trelk {

struct IniResult {
    bool ok = true;
    std::string message;
};

// An INI document held in memory. Section and key names compare without case (ASCII); values
// are raw bytes. Lines the reader does not understand, and sections and keys nobody asked for,
// are kept and written back, so several owners can share one file.
//
// Reading: for a key given twice in a section the first occurrence wins; a section given twice
// is merged into its first occurrence. Blanks around names and values are ignored, and one
// pair of double quotes around a value is removed.
class IniFile {
public:
    // A missing file is an empty document and not an error. A file that exists but cannot be
    // read leaves an empty document and returns the reason.
    IniResult Load(FileSystem& fileSystem, const std::string& path);

    // Replaces the file atomically (FileSystem::replaceFile): on failure, and after a crash at
    // any moment, the old file is whole.
    IniResult Save(FileSystem& fileSystem, const std::string& path) const;

    static IniFile fromText(std::string_view text);
    std::string toText() const;

    bool hasKey(std::string_view section, std::string_view key) const;
    std::vector<std::string> sectionNames() const;
    std::vector<std::string> keyNames(std::string_view section) const;

    std::string readString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // The default also when the stored text is not an integer (see ParseInteger).
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // True for any non-zero integer.
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // An existing key keeps its place; a new key goes after the last line of its section, a
    // new section at the end of the document. Line breaks in a value become blanks.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int value);
    void writeBool(std::string_view section, std::string_view key, bool value);
    // Removes every line of the key in the section; a missing key changes nothing.
    void deleteKey(std::string_view section, std::string_view key);

private:
    struct Line {
        std::string text; // as written to the file
        bool isEntry = false;
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        bool hasHeader = true; // false for the lines before the first section
        std::vector<Line> lines;
        // The header line as read ("[Setup] ; by hand"); empty for a section added since.
        std::string header{};
    };

    const Line* findEntry(std::string_view section, std::string_view key) const;
    // Adds one line of a file read into the section with index current; returns the index of
    // the section that the following lines belong to.
    std::size_t parseLine(std::string_view line, std::size_t current);

    std::vector<Section> sections_;
};

} // namespace trelk
