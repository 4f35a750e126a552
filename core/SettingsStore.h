#pragma once

#include "core/SettingsTable.h"
#include "core/SettingsValues.h"
#include "platform/ports/FileSystem.h"

#include <initializer_list>
#include <string>

namespace trelk {

class IniFile;

struct SaveResult {
    bool ok = false;
    std::string message; // "Unable to write to <path>" on failure
};

// Loads and saves the settings file. Every call opens the file, does its work and closes it
// again; nothing is cached, so other owners of the same file (macros, commands) are never
// overwritten with stale content.
class SettingsStore {
public:
    SettingsStore(FileSystem& fileSystem, std::string iniPath, std::string appDir);

    // The values used when the file or a key is missing.
    Settings Defaults() const { return DefaultSettings(appDir_); }

    // Missing keys and unparsable integers take their defaults; a missing file gives all
    // defaults.
    Settings Load() const;
    // As Load(); problem receives the reason when the file exists but cannot be read.
    Settings Load(std::string& problem) const;

    // Each writes exactly its group's keys (GroupKeys) into the current file and replaces the
    // file atomically. Nothing is written when the current file cannot be read, since saving
    // would drop every key of the other owners.
    SaveResult SaveSetupGroup(const Settings& settings) const;
    SaveResult SaveScannerGroup(const Settings& settings) const;
    SaveResult SaveKeyMapGroup(const Settings& settings) const;
    SaveResult SaveConsoleGroup(const Settings& settings) const;

    // Several groups in one replacement of the file, written in the order given: the file
    // ends as after separate saves, with one wait for the disk instead of one per group.
    SaveResult SaveGroups(std::initializer_list<SettingsGroup> groups,
                          const Settings& settings) const;

    const std::string& path() const { return iniPath_; }

private:
    SaveResult saveGroup(SettingsGroup group, const Settings& settings) const;
    static void writeGroup(IniFile& ini, SettingsGroup group, const Settings& settings);

    FileSystem& fileSystem_;
    std::string iniPath_;
    std::string appDir_;
};

} // namespace trelk
