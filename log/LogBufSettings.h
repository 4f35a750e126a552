#pragma once

#include "log/PilotLog.h"

#include <functional>
#include <string>

namespace trelk {

// What the log settings dialog does with the settings file: the buffer size is read from the
// file when the dialog opens, on "Clear" and on "Cancel", and written by "Save".
class LogBufSettings {
public:
    LogBufSettings(PilotLog& log, FileSystem& fileSystem, std::string settingsFile,
                   std::function<void(const std::string&)> reportError);

    // Reads "LogBufSize" of "Setup" (100 when missing or not a number) into the buffer size;
    // returns the size in effect.
    int Reload();
    // Sets the buffer size, trimming the buffer at once, and writes it to the file. The size
    // applies even when the file cannot be written; the failure is reported.
    bool Save(int lines);

    PilotLog& log() { return log_; }

private:
    PilotLog& log_;
    FileSystem& fileSystem_;
    std::string settingsFile_;
    std::function<void(const std::string&)> reportError_;
};

} // namespace trelk
