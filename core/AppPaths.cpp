#include "AppPaths.h"

namespace trelk {

AppPaths AppPaths::FromAppDir(std::string appDir, std::string settingsFile,
                              std::string libraryDir) {
    if (appDir.empty() || appDir.back() != '/') {
        appDir += '/';
    }
    AppPaths paths;
    paths.AppDir = appDir;
    if (!libraryDir.empty() && libraryDir.back() != '/') {
        libraryDir += '/';
    }
    paths.LibraryDir = libraryDir.empty() ? appDir : libraryDir;
    paths.LogDir = appDir + "Log/";
    paths.DataDir = appDir + "Data/";
    paths.PhotoDir = appDir + "Photo/";
    paths.ConsoleBitmapPath = appDir + "vorel.bmp";
    paths.SettingsFile = std::move(settingsFile);
    paths.HelpFile = appDir + "trelkpro.chm";
    paths.ClearLineString = std::string(60, '\b');
    return paths;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace trelk
