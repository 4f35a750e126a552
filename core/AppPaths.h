#pragma once

#include <string>

namespace trelk {

// The program's folders and fixed strings, computed once from the application folder.
struct AppPaths {
    std::string AppDir; // ends with '/'
    // Where the executable and the libraries it loads are: AppDir, unless the application
    // folder was moved elsewhere (tests, a second set of settings).
    std::string LibraryDir;
    std::string LogDir;
    std::string DataDir;
    std::string PhotoDir;
    std::string ConsoleBitmapPath;
    std::string SettingsFile;
    std::string HelpFile;
    std::string ClearLineString; // 60 backspaces: clears the game's chat input line

    static AppPaths FromAppDir(std::string appDir, std::string settingsFile,
                               std::string libraryDir = {});
};

// The folder of a file, ending with '/'; empty for a bare file name. A program started from a
// stored path runs in it.
std::string FolderOf(const std::string& path);

} // namespace trelk
