#include "SimLibraryLoader.h"

namespace trelk {

namespace {

class SimLoadedLibrary final : public LoadedLibrary {
public:
    SimLoadedLibrary(SimLibraryLoader::Exports exports, std::shared_ptr<int> openHandles)
        : exports_(std::move(exports)), openHandles_(std::move(openHandles)) {
        ++*openHandles_;
    }
    ~SimLoadedLibrary() override { --*openHandles_; }
    SimLoadedLibrary(const SimLoadedLibrary&) = delete;
    SimLoadedLibrary& operator=(const SimLoadedLibrary&) = delete;

    void* symbol(const std::string& name) override {
        const auto found = exports_.find(name);
        return found == exports_.end() ? nullptr : found->second;
    }

private:
    SimLibraryLoader::Exports exports_;
    std::shared_ptr<int> openHandles_;
};

} // namespace

std::unique_ptr<LoadedLibrary> SimLibraryLoader::load(const std::string& path, std::string& error) {
    loadRequests_.push_back(path);
    const auto found = libraries_.find(path);
    if (found == libraries_.end()) {
        error = path + ": cannot open shared object file: No such file or directory";
        return nullptr;
    }
    error.clear();
    return std::make_unique<SimLoadedLibrary>(found->second.exports, found->second.openHandles);
}

void SimLibraryLoader::registerLibrary(const std::string& path, Exports exports) {
    libraries_[path].exports = std::move(exports);
}

int SimLibraryLoader::openHandles(const std::string& path) const {
    const auto found = libraries_.find(path);
    return found == libraries_.end() ? 0 : *found->second.openHandles;
}

} // namespace trelk
