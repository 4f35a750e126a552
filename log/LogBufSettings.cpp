#include "LogBufSettings.h"

#include "core/IniFile.h"

namespace trelk {

namespace {
constexpr char kSection[] = "Setup";
constexpr char kKey[] = "LogBufSize";
} // namespace

LogBufSettings::LogBufSettings(PilotLog& log, FileSystem& fileSystem, std::string settingsFile,
                               std::function<void(const std::string&)> reportError)
    : log_(log), fileSystem_(fileSystem), settingsFile_(std::move(settingsFile)),
      reportError_(std::move(reportError)) {}

int LogBufSettings::Reload() {
    IniFile ini;
    const IniResult loaded = ini.Load(fileSystem_, settingsFile_);
    if (!loaded.ok && reportError_) {
        reportError_(loaded.message);
    }
    log_.SetLogBufSize(ini.readInteger(kSection, kKey, PilotLog::DefaultLogBufSize));
    return log_.LogBufSize();
}

bool LogBufSettings::Save(int lines) {
    log_.SetLogBufSize(lines);
    IniFile ini;
    IniResult result = ini.Load(fileSystem_, settingsFile_);
    // Saving over a file that could not be read would drop every other key in it.
    if (result.ok) {
        ini.writeInteger(kSection, kKey, log_.LogBufSize());
        result = ini.Save(fileSystem_, settingsFile_);
    }
    if (!result.ok && reportError_) {
        reportError_(result.message);
    }
    return result.ok;
}

} // namespace trelk
