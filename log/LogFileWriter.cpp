#include "LogFileWriter.h"

namespace trelk {

LogWriteResult LogFileWriter::CreateFolder(const std::string& folder) const {
    if (fileSystem_.createFolder(folder).ok) {
        return {};
    }
    return {false, "Cannot create directory: " + folder};
}

LogWriteResult LogFileWriter::Append(const std::string& path, const std::string& text) const {
    const FileWriteResult written = fileSystem_.appendToFile(path, text);
    if (written.ok) {
        return {};
    }
    return {false, "Cannot write to log file " + path + ": " + written.error};
}

bool LogFileWriter::EndsInsideALine(const std::string& path) const {
    // A file shared by runs of one minute is small; a larger one is left as it is.
    const FileReadResult read = fileSystem_.readFile(path, MaxReadBytes);
    return read.ok() && !read.content.empty() && read.content.back() != '\n';
}

} // namespace trelk
