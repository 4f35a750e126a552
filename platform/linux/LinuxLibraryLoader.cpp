#include "LinuxLibraryLoader.h"

#include <dlfcn.h>

namespace trelk {

namespace {

class DlLibrary final : public LoadedLibrary {
public:
    explicit DlLibrary(void* handle) : handle_(handle) {}
    ~DlLibrary() override { ::dlclose(handle_); }
    DlLibrary(const DlLibrary&) = delete;
    DlLibrary& operator=(const DlLibrary&) = delete;

    void* symbol(const std::string& name) override {
        if (name.empty()) {
            return nullptr;
        }
        return ::dlsym(handle_, name.c_str());
    }

private:
    void* handle_;
};

} // namespace

std::unique_ptr<LoadedLibrary> LinuxLibraryLoader::load(const std::string& path,
                                                        std::string& error) {
    error.clear();
    if (path.empty()) {
        error = "no library path given";
        return nullptr;
    }
    ::dlerror(); // forget an earlier failure
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = ::dlerror();
        error = reason != nullptr ? reason : path + ": cannot be loaded";
        return nullptr;
    }
    return std::make_unique<DlLibrary>(handle);
}

} // namespace trelk
