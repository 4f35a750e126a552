#pragma once

#include <memory>
#include <string>

namespace trelk {

// A library loaded at run time; functions are found by their exported names.
class LoadedLibrary {
public:
    virtual ~LoadedLibrary() = default;
    // The address of an exported function, or null when the library has no such export.
    virtual void* symbol(const std::string& name) = 0;
};

class LibraryLoader {
public:
    virtual ~LibraryLoader() = default;
    // Null (and the reason in error) when the file is missing or cannot be loaded. The
    // library is unloaded when the returned object is destroyed.
    virtual std::unique_ptr<LoadedLibrary> load(const std::string& path, std::string& error) = 0;
};

} // namespace trelk
