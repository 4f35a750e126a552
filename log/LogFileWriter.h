#pragma once

#include <string>

namespace trelk {

struct LogWriteResult {
    bool ok = true;
    std::string message; // what went wrong, for the pilot
};

// The log's file operations. Every append opens, writes, flushes and closes, so the file is
// complete on disk after each call.
class LogFileWriter {
public:
    // One level: the folder's parent must exist.
    LogWriteResult CreateFolder(const std::string& folder) const;
    // Appends text to the file, creating it when missing. All or nothing: a write that fails
    // part-way (a full disk) is cut off again, so the lines already in the file stay whole.
    LogWriteResult Append(const std::string& path, const std::string& text) const;
};

} // namespace trelk
