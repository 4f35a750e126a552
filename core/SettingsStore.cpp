#include "core/SettingsStore.h"

#include "core/IniFile.h"

#include <type_traits>
#include <utility>

namespace trelk {

SettingsStore::SettingsStore(FileSystem& fileSystem, std::string iniPath, std::string appDir)
    : fileSystem_(fileSystem), iniPath_(std::move(iniPath)), appDir_(std::move(appDir)) {}

Settings SettingsStore::Load() const {
    std::string ignored;
    return Load(ignored);
}

Settings SettingsStore::Load(std::string& problem) const {
    IniFile ini;
    const IniResult loaded = ini.Load(fileSystem_, iniPath_);
    problem = loaded.ok ? std::string() : loaded.message;

    Settings settings = Defaults();
    for (const SettingKey& key : SettingsTable()) {
        if (key.rule == WriteRule::Fixed) {
            continue;
        }
        std::visit(
            [&](const auto& field) {
                auto& value = field.ref(settings);
                using Type = std::remove_cvref_t<decltype(value)>;
                if constexpr (std::is_same_v<Type, int>) {
                    value = ini.readInteger(key.section, key.name, value);
                } else if constexpr (std::is_same_v<Type, bool>) {
                    value = ini.readBool(key.section, key.name, value);
                } else {
                    value = ini.readString(key.section, key.name, value);
                }
            },
            key.field);
    }
    return settings;
}

SaveResult SettingsStore::SaveSetupGroup(const Settings& settings) const {
    return saveGroup(SettingsGroup::Setup, settings);
}

SaveResult SettingsStore::SaveScannerGroup(const Settings& settings) const {
    return saveGroup(SettingsGroup::Scanner, settings);
}

SaveResult SettingsStore::SaveKeyMapGroup(const Settings& settings) const {
    return saveGroup(SettingsGroup::KeyMap, settings);
}

SaveResult SettingsStore::SaveConsoleGroup(const Settings& settings) const {
    return saveGroup(SettingsGroup::Console, settings);
}

SaveResult SettingsStore::saveGroup(SettingsGroup group, const Settings& settings) const {
    return SaveGroups({group}, settings);
}

SaveResult SettingsStore::SaveGroups(std::initializer_list<SettingsGroup> groups,
                                     const Settings& settings) const {
    const SaveResult failed{false, "Unable to write to " + iniPath_};
    IniFile ini;
    if (!ini.Load(fileSystem_, iniPath_).ok) {
        return failed;
    }
    const std::string before = ini.toText();
    for (const SettingsGroup group : groups) {
        writeGroup(ini, group, settings);
    }
    // A save that changes nothing costs no disk write (and no wait for the disk); it still
    // clears what a crashed save left behind.
    if (ini.toText() == before) {
        fileSystem_.discardUnfinishedReplacement(iniPath_);
        return {true, {}};
    }
    // The system's reason goes to the pilot too: a full disk is theirs to fix.
    if (const IniResult saved = ini.Save(fileSystem_, iniPath_); !saved.ok) {
        return {false, saved.message};
    }
    return {true, {}};
}

void SettingsStore::writeGroup(IniFile& ini, SettingsGroup group, const Settings& settings) {
    for (const SettingKey* key : GroupKeys(group)) {
        if (key->rule == WriteRule::Fixed) {
            ini.writeString(key->section, key->name, key->fixedValue);
            continue;
        }
        std::visit(
            [&](const auto& field) {
                const auto& value = field.get(settings);
                using Type = std::remove_cvref_t<decltype(value)>;
                if constexpr (std::is_same_v<Type, int>) {
                    ini.writeInteger(key->section, key->name, value);
                } else if constexpr (std::is_same_v<Type, bool>) {
                    ini.writeBool(key->section, key->name, value);
                } else if (key->rule != WriteRule::SkipWhenEmpty || !value.empty()) {
                    ini.writeString(key->section, key->name, value);
                }
            },
            key->field);
    }
}

} // namespace trelk
