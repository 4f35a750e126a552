#include "LinuxPaths.h"

#include <cstdlib>
#include <filesystem>
#include <pwd.h>
#include <system_error>
#include <unistd.h>

namespace trelk {

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

std::filesystem::path ExecutablePath() {
    std::error_code error;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : exe;
}

std::string WithTrailingSlash(std::string dir) {
    if (dir.empty() || dir.back() != '/') {
        dir += '/';
    }
    return dir;
}

std::string ConfigHome() {
    // The XDG base directory rules ignore a relative XDG_CONFIG_HOME.
    std::string config = Environment("XDG_CONFIG_HOME");
    if (!config.empty() && config.front() == '/') {
        return config;
    }
    std::string home = Environment("HOME");
    if (home.empty()) {
        if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir) {
            home = entry->pw_dir;
        }
    }
    return home + "/.config";
}

} // namespace

PlatformPaths ResolvePlatformPaths() {
    const std::filesystem::path exe = ExecutablePath();
    PlatformPaths paths;

    const std::string appDir = Environment("TRELK_APP_DIR");
    paths.programDir = WithTrailingSlash(exe.parent_path().string());
    paths.appDir = appDir.empty() ? paths.programDir : WithTrailingSlash(appDir);

    std::string baseName = exe.stem().string();
    if (baseName.empty()) {
        baseName = "trelkpro";
    }
    paths.settingsFile = paths.appDir + baseName + ".ini";

    paths.userStorePath = Environment("TRELK_REGISTRY");
    if (paths.userStorePath.empty()) {
        paths.userStorePath = ConfigHome() + "/TrelkPro/registry.db";
    }
    return paths;
}

} // namespace trelk
