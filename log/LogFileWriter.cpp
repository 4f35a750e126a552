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

} // namespace trelk
