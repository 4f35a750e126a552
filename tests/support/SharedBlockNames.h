#pragma once

#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace trelk::testing {

// Shared-block names of one test's own: the TRELK_SHM_SUFFIX for the processes it starts, and
// at the end the removal of every block under that suffix, also of those a killed process
// could not remove itself. Declare it before the processes, so they are gone when it cleans up.
class SharedBlockNames {
public:
    // tag names the test in the suffix, beside the test process's id.
    explicit SharedBlockNames(const std::string& tag)
        : suffix_("." + tag + std::to_string(::getpid())) {}
    ~SharedBlockNames() { removeAll(); }
    SharedBlockNames(const SharedBlockNames&) = delete;
    SharedBlockNames& operator=(const SharedBlockNames&) = delete;

    const std::string& suffix() const { return suffix_; }
    // "TRELK_SHM_SUFFIX=..." for a child's environment.
    std::string env() const { return "TRELK_SHM_SUFFIX=" + suffix_; }

    // The names under this suffix that exist now.
    std::vector<std::string> existing() const {
        std::vector<std::string> names;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator(SharedMemoryFolder, error)) {
            const std::string name = entry.path().filename().string();
            if (name.size() > suffix_.size() && name.ends_with(suffix_)) {
                names.push_back(name);
            }
        }
        return names;
    }
    void removeAll() const {
        for (const std::string& name : existing()) {
            std::error_code ignored;
            std::filesystem::remove(std::filesystem::path(SharedMemoryFolder) / name, ignored);
        }
    }

private:
    // Where POSIX shared memory objects live on Linux.
    static constexpr const char* SharedMemoryFolder = "/dev/shm";

    std::string suffix_;
};

} // namespace trelk::testing
