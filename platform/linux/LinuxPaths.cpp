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

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (home.empty()) {
        if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir) {
            home = entry->pw_dir;
        }
    }
    return home;
}

// An XDG base folder: the variable when it holds an absolute path (the rules ignore a relative
// one), else the default below the home folder.
std::string XdgFolder(const char* variable, const char* underHome) {
    std::string folder = Environment(variable);
    if (!folder.empty() && folder.front() == '/') {
        return folder;
    }
    return HomeFolder() + underHome;
}

std::string ConfigHome() {
    return XdgFolder("XDG_CONFIG_HOME", "/.config");
}

bool IsPilotsOwnFolder(const std::string& folder) {
    std::error_code error;
    return !std::filesystem::exists(folder + PerUserFoldersMark, error) &&
           ::access(folder.c_str(), W_OK) == 0;
}

} // namespace

PlatformPaths ResolvePlatformPaths() {
    return ResolvePlatformPathsFor(ExecutablePath().string());
}

PlatformPaths ResolvePlatformPathsFor(const std::string& executable) {
    const std::filesystem::path exe(executable);
    PlatformPaths paths;
    paths.programDir = WithTrailingSlash(exe.parent_path().string());

    std::string baseName = exe.stem().string();
    if (baseName.empty()) {
        baseName = "trelkpro";
    }
    const std::string settingsName = baseName + ".ini";
    if (const std::string appDir = Environment("TRELK_APP_DIR"); !appDir.empty()) {
        paths.appDir = WithTrailingSlash(appDir);
        paths.settingsFile = paths.appDir + settingsName;
    } else if (IsPilotsOwnFolder(paths.programDir)) {
        paths.appDir = paths.programDir;
        paths.settingsFile = paths.appDir + settingsName;
    } else {
        paths.perUserFolders = true;
        paths.appDir = XdgFolder("XDG_DATA_HOME", "/.local/share") + "/TrelkPro/";
        paths.settingsFile = ConfigHome() + "/TrelkPro/" + settingsName;
    }

    paths.userStorePath = Environment("TRELK_REGISTRY");
    if (paths.userStorePath.empty()) {
        paths.userStorePath = ConfigHome() + "/TrelkPro/registry.db";
    }
    return paths;
}

} // namespace trelk
