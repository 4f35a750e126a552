#include "core/SettingsTable.h"

#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

namespace trelk {

namespace {

template <auto Group, auto Member> struct FieldOf {
    static auto& ref(Settings& s) { return s.*Group.*Member; }
    static const auto& get(const Settings& s) { return s.*Group.*Member; }
};

template <std::size_t I> struct KeyMapFieldOf {
    static int& ref(Settings& s) { return s.KeyMap.KM[I]; }
    static const int& get(const Settings& s) { return s.KeyMap.KM[I]; }
};

template <auto Group, auto Member>
SettingKey Key(std::string_view section, std::string name, WriteRule rule = WriteRule::Value) {
    using Type = std::remove_cvref_t<decltype(std::declval<Settings&>().*Group.*Member)>;
    using Of = FieldOf<Group, Member>;
    return {section, std::move(name), SettingField<Type>{&Of::ref, &Of::get}, rule, {}};
}

template <auto Member> SettingKey SetupKey(std::string name) {
    return Key<&Settings::Setup, Member>("Setup", std::move(name));
}
template <auto Member> SettingKey DataListKey(std::string name) {
    return Key<&Settings::DataList, Member>("DataList", std::move(name));
}
template <auto Member> SettingKey ScannerKey(std::string name, WriteRule rule = WriteRule::Value) {
    return Key<&Settings::Scanner, Member>("Scanner", std::move(name), rule);
}
template <auto Member> SettingKey ConsoleKey(std::string name) {
    return Key<&Settings::Console, Member>("Console", std::move(name));
}

template <std::size_t... I>
void AddKeyMap(std::vector<SettingKey>& table, std::index_sequence<I...>) {
    (table.push_back({"KeyMap",
                      "KM" + std::to_string(I + 1),
                      SettingField<int>{&KeyMapFieldOf<I>::ref, &KeyMapFieldOf<I>::get},
                      WriteRule::Value,
                      {}}),
     ...);
}

std::vector<SettingKey> BuildTable() {
    SettingKey marketServer = SetupKey<&SetupSettings::MarketServer>("MarketServer");
    marketServer.rule = WriteRule::Fixed;
    marketServer.fixedValue = kMarketServerName;

    std::vector<SettingKey> table{
        SetupKey<&SetupSettings::MarketUpdateInterval>("MarketUpdateInterval"),
        SetupKey<&SetupSettings::InstallCode>("InstallCode"),
        SetupKey<&SetupSettings::ALDWYNURL>("ALDWYNURL"),
        marketServer,
        SetupKey<&SetupSettings::MarketEnable>("MarketEnable"),
        SetupKey<&SetupSettings::LogEnabled>("LogEnabled"),
        SetupKey<&SetupSettings::ProxyEnabled>("ProxyEnabled"),
        SetupKey<&SetupSettings::ProxyURL>("ProxyURL"),
        SetupKey<&SetupSettings::ProxyPort>("ProxyPort"),
        SetupKey<&SetupSettings::AutoRunVL>("AutoRunVL"),
        SetupKey<&SetupSettings::AutoExitTRL>("AutoExitTRL"),
        SetupKey<&SetupSettings::PhotoEnabled>("PhotoEnabled"),
        SetupKey<&SetupSettings::DBAutoUpdate>("DBAutoUpdate"),
        SetupKey<&SetupSettings::AutoStart>("AutoStart"),
        SetupKey<&SetupSettings::DatabaseURL>("DatabaseURL"),
        SetupKey<&SetupSettings::DBDateURL>("DBDateURL"),
        SetupKey<&SetupSettings::TrelkVersionURL>("TrelkVersionURL"),
        SetupKey<&SetupSettings::TrkDate>("TrkDate"),
        SetupKey<&SetupSettings::LogBufSize>("LogBufSize"),
        SetupKey<&SetupSettings::NumOfMarketTypes>("NumOfMarketTypes"),
        SetupKey<&SetupSettings::NumOfItemTypes>("NumOfItemTypes"),
        SetupKey<&SetupSettings::NumOfMarketSectors>("NumOfMarketSectors"),

        DataListKey<&DataListSettings::LoadData>("LoadData"),
        DataListKey<&DataListSettings::RoidFiles>("RoidFiles"),
        DataListKey<&DataListSettings::ArtiFiles>("ArtiFiles"),
        DataListKey<&DataListSettings::DBFiles>("DBFiles"),

        ScannerKey<&ScannerSettings::SRadarAlarmWAV>("SRadarAlarmWAV"),
        ScannerKey<&ScannerSettings::SRadarAlarmPU>("SRadarAlarmPU"),
        ScannerKey<&ScannerSettings::SRadarAlarmRepeat>("SRadarAlarmRepeat"),
        ScannerKey<&ScannerSettings::ScanColor>("ScanColor"),
        ScannerKey<&ScannerSettings::RadarWavFileName>("RadarWavFileName",
                                                       WriteRule::SkipWhenEmpty),
        ScannerKey<&ScannerSettings::ScanIndicator>("ScanIndicator"),

        ConsoleKey<&ConsoleSettings::AASafe>("AASafe"),
        ConsoleKey<&ConsoleSettings::WideConsole>("WideConsole"),
        ConsoleKey<&ConsoleSettings::BMPTransperancy>("BMPTransperancy"),
        ConsoleKey<&ConsoleSettings::ConOpenSpeed>("ConOpenSpeed"),
        ConsoleKey<&ConsoleSettings::PositionX>("PositionX"),
        ConsoleKey<&ConsoleSettings::PositionY>("PositionY"),
        ConsoleKey<&ConsoleSettings::TextColor>("TextColor"),
        ConsoleKey<&ConsoleSettings::HighLightColor>("HighLightColor"),
        ConsoleKey<&ConsoleSettings::MarkerColor>("MarkerColor"),
        ConsoleKey<&ConsoleSettings::FontSize>("FontSize"),
        ConsoleKey<&ConsoleSettings::Font>("Font"),
        ConsoleKey<&ConsoleSettings::ConsoleBMP>("ConsoleBMP"),
        ConsoleKey<&ConsoleSettings::EscRefresh>("EscRefresh"),
        ConsoleKey<&ConsoleSettings::DebugState>("DebugState"),
    };
    AddKeyMap(table, std::make_index_sequence<kKeyMapSize>{});
    return table;
}

const SettingKey* Find(std::string_view section, std::string_view name) {
    for (const SettingKey& key : SettingsTable()) {
        if (key.section == section && key.name == name) {
            return &key;
        }
    }
    throw std::logic_error("settings table has no key " + std::string(name));
}

std::vector<const SettingKey*> Keys(std::string_view section,
                                    std::initializer_list<std::string_view> names) {
    std::vector<const SettingKey*> keys;
    for (const std::string_view name : names) {
        keys.push_back(Find(section, name));
    }
    return keys;
}

std::vector<const SettingKey*> SetupGroup() {
    auto keys = Keys("Setup", {"InstallCode", "LogEnabled", "AutoRunVL", "AutoExitTRL",
                               "ProxyEnabled", "MarketServer", "MarketUpdateInterval"});
    keys.push_back(Find("DataList", "LoadData"));
    for (const SettingKey* key : Keys("Setup", {"MarketEnable", "PhotoEnabled", "DBAutoUpdate"})) {
        keys.push_back(key);
    }
    return keys;
}

std::vector<const SettingKey*> KeyMapGroup() {
    std::vector<const SettingKey*> keys;
    for (std::size_t i = 1; i <= kKeyMapSize; ++i) {
        keys.push_back(Find("KeyMap", "KM" + std::to_string(i)));
    }
    return keys;
}

} // namespace

const std::vector<SettingKey>& SettingsTable() {
    static const std::vector<SettingKey> table = BuildTable();
    return table;
}

const std::vector<const SettingKey*>& GroupKeys(SettingsGroup group) {
    static const std::vector<const SettingKey*> setup = SetupGroup();
    static const std::vector<const SettingKey*> scanner =
        Keys("Scanner", {"SRadarAlarmPU", "SRadarAlarmWAV", "SRadarAlarmRepeat", "RadarWavFileName",
                         "ScanColor", "ScanIndicator"});
    static const std::vector<const SettingKey*> keyMap = KeyMapGroup();
    static const std::vector<const SettingKey*> console =
        Keys("Console", {"BMPTransperancy", "ConOpenSpeed", "PositionX", "PositionY", "TextColor",
                         "HighLightColor", "MarkerColor", "FontSize", "Font", "ConsoleBMP",
                         "EscRefresh", "AASafe", "WideConsole", "DebugState"});
    static const std::vector<const SettingKey*> proxy = Keys("Setup", {"ProxyURL", "ProxyPort"});
    static const std::vector<const SettingKey*> gameStartFile = Keys("Setup", {"AutoStart"});
    static const std::vector<const SettingKey*> databaseDate = Keys("Setup", {"TrkDate"});
    switch (group) {
    case SettingsGroup::Setup:
        return setup;
    case SettingsGroup::Proxy:
        return proxy;
    case SettingsGroup::GameStartFile:
        return gameStartFile;
    case SettingsGroup::DatabaseDate:
        return databaseDate;
    case SettingsGroup::Scanner:
        return scanner;
    case SettingsGroup::KeyMap:
        return keyMap;
    case SettingsGroup::Console:
        break;
    }
    return console;
}

} // namespace trelk
