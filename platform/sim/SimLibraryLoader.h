#pragma once

#include "platform/ports/DynamicLibrary.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace trelk {

// Libraries that exist only because a test put them at a path. load() fails for any other
// path, as a missing file would.
//
// Test side: registerLibrary(path, exports) with any exports (a library that lacks one is
// simply registered without it); SimHookLibrary::Exports() gives the fake hook library.
class SimLibraryLoader final : public LibraryLoader {
public:
    using Exports = std::map<std::string, void*>;

    std::unique_ptr<LoadedLibrary> load(const std::string& path, std::string& error) override;

    void registerLibrary(const std::string& path, Exports exports);
    void removeLibrary(const std::string& path) { libraries_.erase(path); }

    // Inspection: every path load() was asked for, in order, and how many handles of a
    // library are open now.
    const std::vector<std::string>& loadRequests() const { return loadRequests_; }
    int openHandles(const std::string& path) const;

private:
    struct Entry {
        Exports exports;
        std::shared_ptr<int> openHandles = std::make_shared<int>(0);
    };
    std::map<std::string, Entry> libraries_;
    std::vector<std::string> loadRequests_;
};

} // namespace trelk
