#pragma once

#include "platform/ports/FileSystem.h"

#include <string>

namespace trelk {

struct LogWriteResult {
    bool ok = true;
    std::string message; // what went wrong, for the pilot
};

// The log's file operations and their messages. Every append is complete in the file when the
// call returns.
class LogFileWriter {
public:
    explicit LogFileWriter(FileSystem& fileSystem) : fileSystem_(fileSystem) {}

    // One level: the folder's parent must exist.
    LogWriteResult CreateFolder(const std::string& folder) const;
    // Appends text to the file, creating it when missing. All or nothing: a write that fails
    // part-way (a full disk) is cut off again, so the lines already in the file stay whole.
    LogWriteResult Append(const std::string& path, const std::string& text) const;
    // True when the file's last line has no end: a run killed in the middle of writing it.
    bool EndsInsideALine(const std::string& path) const;

private:
    static constexpr std::size_t MaxReadBytes = 4 * 1024 * 1024;
    FileSystem& fileSystem_;
};

} // namespace trelk
