#pragma once

#include "platform/ports/DynamicLibrary.h"

namespace trelk {

// dlopen with RTLD_NOW (a library with an unresolved symbol fails at load, not at its first
// call) and RTLD_LOCAL (its symbols never satisfy another library's).
class LinuxLibraryLoader final : public LibraryLoader {
public:
    std::unique_ptr<LoadedLibrary> load(const std::string& path, std::string& error) override;
};

} // namespace trelk
