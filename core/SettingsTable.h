#pragma once

#include "core/SettingsValues.h"

#include <string>
#include <string_view>
#include <variant>
#include <vector>

// The keys of the settings file as data: where each lives, which field holds it, and which save
// group writes it in which order.
namespace trelk {

template <typename T> struct SettingField {
    T& (*ref)(Settings&);
    const T& (*get)(const Settings&);
};

enum class WriteRule {
    Value,
    SkipWhenEmpty, // an empty value must not replace a stored one
    Fixed,         // never read; always written as fixedValue
};

struct SettingKey {
    std::string_view section;
    std::string name;
    std::variant<SettingField<int>, SettingField<bool>, SettingField<std::string>> field;
    WriteRule rule = WriteRule::Value;
    std::string_view fixedValue;
};

// Proxy: the two keys the proxy dialog's Save writes. GameStartFile: "AutoStart", written by
// the game path dialog as soon as a file is chosen. DatabaseDate: "TrkDate", which a database
// conversion writes.
enum class SettingsGroup { Setup, Scanner, KeyMap, Console, Proxy, GameStartFile, DatabaseDate };

// Every key, in the order it is read: Setup, DataList, Scanner, Console, KeyMap.
const std::vector<SettingKey>& SettingsTable();

// The keys a group writes, in writing order. Keys outside every group are never written by the
// settings store (other dialogs own them).
const std::vector<const SettingKey*>& GroupKeys(SettingsGroup group);

} // namespace trelk
