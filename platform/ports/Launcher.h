#pragma once

#include <string>

namespace trelk {

// Opens documents and starts programs through the desktop shell.
class Launcher {
public:
    virtual ~Launcher() = default;

    // Opens a document with the program associated with its type. False when nothing could be
    // started (missing file, no associated program).
    virtual bool openDocument(const std::string& path) = 0;

    // Starts a program file without arguments in the given working folder, detached: it
    // outlives nothing of ours and is never waited for. False when it could not be started
    // (missing, not executable); the reason is in lastLaunchError().
    virtual bool startProgram(const std::string& path, const std::string& workingFolder) = 0;
    virtual std::string lastLaunchError() const = 0;
};

} // namespace trelk
