#pragma once

#include <string>

namespace trelk {

// The program's folders and fixed strings, computed once from the application folder.
struct AppPaths {
    std::string AppDir; // ends with '/'
    std::string LogDir;
    std::string DataDir;
    std::string PhotoDir;
    std::string ConsoleBitmapPath;
    std::string SettingsFile;
    std::string HelpFile;
    std::string ClearLineString; // 60 backspaces: clears the game's chat input line

    static AppPaths FromAppDir(std::string appDir, std::string settingsFile);
};

} // namespace trelk
