#pragma once

#include "platform/sim/SimFileSystem.h"

#include <string>

namespace trelk::testing {

// A folder of the sim file system with the interface of TempFolder, for code that reaches its
// files through the FileSystem port: nothing touches the disk.
class SimFolder {
public:
    explicit SimFolder(SimFileSystem& files, std::string path = "/sim/TrelkPro")
        : files_(files), path_(SimFileSystem::Normalize(path)) {
        files_.addFolder(path_);
    }

    // The folder as the program's folders are written: with a trailing separator.
    std::string dir() const { return path_ + "/"; }
    std::string file(const std::string& name) const { return dir() + name; }

    // Creates the folders on the way, as a test that sets the scene expects.
    void write(const std::string& name, const std::string& content) const {
        files_.addFile(file(name), content);
    }
    // "" for a missing file.
    std::string read(const std::string& name) const {
        return files_.file(file(name)).value_or(std::string());
    }
    SimFileSystem& files() const { return files_; }

private:
    SimFileSystem& files_;
    std::string path_;
};

} // namespace trelk::testing
