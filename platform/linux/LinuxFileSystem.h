#pragma once

#include "platform/ports/FileSystem.h"

namespace trelk {

// Files and folders through POSIX calls.
//
// A replacement writes "<path>.tmp" beside the file (same folder, so the rename cannot cross
// file systems), gives it the old file's permission bits, syncs it, renames it over the file
// and then syncs the folder, so the rename itself survives a power cut. The name is fixed:
// what a crash left behind is overwritten by the next replacement, never read.
class LinuxFileSystem final : public FileSystem {
public:
    using FileSystem::readFile;
    FileReadResult readFile(const std::string& path, std::size_t maxBytes) override;
    FileWriteResult replaceFile(const std::string& path, std::string_view content) override;
    void discardUnfinishedReplacement(const std::string& path) override;
    FileWriteResult appendToFile(const std::string& path, std::string_view content) override;
    PathKind kindOf(const std::string& path) override;
    FileWriteResult createFolder(const std::string& path) override;
    std::vector<std::string> fileNames(const std::string& folder) override;

    static std::string TemporaryPath(const std::string& path) { return path + ".tmp"; }
};

} // namespace trelk
