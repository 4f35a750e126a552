#pragma once

#include "CheckOption.h"
#include "LifecycleHooks.h"
#include "RegistryValues.h"
#include "SettingsStore.h"
#include "SettingsValues.h"

#include <functional>
#include <string>

namespace trelk {

// The loaded settings and the check boxes bound to them; loads and applies them in the fixed
// order and writes the four save groups.
class SettingsController {
public:
    SettingsController(SettingsStore store, RegistryValues& registry, const LifecycleHooks& hooks,
                       std::function<void(const std::string&)> reportSaveError);

    // Reads every key, then applies the values in order.
    void LoadSettings();

    bool SaveSetupGroup();
    bool SaveScannerGroup();
    bool SaveKeyMapGroup();
    bool SaveConsoleGroup();
    // "ProxyURL" and "ProxyPort" from the values.
    bool SaveProxyKeys();
    // "AutoStart" from the values.
    bool SaveGameStartFileKey();
    // "TrkDate" from the values.
    bool SaveTrkDate();
    // At close: Setup, KeyMap, Console, Scanner.
    void SaveAllGroups();
    // Saves the group that belongs to a tab sheet when the pilot leaves it.
    void TabSheetLeft(const std::string& tabSheetName);

    Settings& values() { return settings_; }
    const Settings& values() const { return settings_; }

    // Check boxes (and their tray menu items) whose state the logic reads.
    CheckOption LogEnabled;
    CheckOption ProxyEnabled;
    CheckOption AutoRunVL;
    CheckOption AutoExitTRL;
    CheckOption MarketEnable;
    CheckOption PhotoEnabled;
    CheckOption DBAutoUpdate;
    CheckOption SRadarAlarmWAV;
    CheckOption SRadarAlarmPU;
    CheckOption SRadarAlarmRepeat;
    CheckOption EscRefresh;
    CheckOption DisplayTime;
    CheckOption AASafe;
    CheckOption WideConsole;
    CheckOption cbDebug;

private:
    void applyLoadedSettings();
    void applyCheckBoxes();
    void writeProxyMirror();
    // Copy one group's check boxes into the values its save writes. Only that group's: the
    // boxes of other groups may not be applied yet (the first start saves Setup early).
    void collectSetupBoxes();
    void collectScannerBoxes();
    void collectConsoleBoxes();
    bool report(const SaveResult& result);

    SettingsStore store_;
    RegistryValues& registry_;
    const LifecycleHooks& hooks_;
    std::function<void(const std::string&)> reportSaveError_;
    Settings settings_;
};

} // namespace trelk
