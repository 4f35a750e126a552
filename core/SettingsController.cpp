#include "SettingsController.h"

namespace trelk {

SettingsController::SettingsController(SettingsStore store, RegistryValues& registry,
                                       const LifecycleHooks& hooks,
                                       std::function<void(const std::string&)> reportSaveError)
    : store_(std::move(store)), registry_(registry), hooks_(hooks),
      reportSaveError_(std::move(reportSaveError)), settings_(store_.Defaults()) {}

void SettingsController::LoadSettings() {
    settings_ = store_.Load();
    applyLoadedSettings();
}

void SettingsController::applyLoadedSettings() {
    RunHook(hooks_.applyConsoleSpinControls);
    RunHook(hooks_.applyColoursFontAndDate);
    applyCheckBoxes();
    RunHook(hooks_.applyKeyMapPanels);
    RunHook(hooks_.applyScanTarget);
    RunHook(hooks_.applyProxyToHttpClients);
    writeProxyMirror();
    RunHook(hooks_.loadAlarmSound);
}

void SettingsController::applyCheckBoxes() {
    // Order matters: each change runs its handler, and later handlers may read earlier boxes.
    const SetupSettings& setup = settings_.Setup;
    LogEnabled.setChecked(setup.LogEnabled);
    ProxyEnabled.setChecked(setup.ProxyEnabled);
    AutoRunVL.setChecked(setup.AutoRunVL);
    AutoExitTRL.setChecked(setup.AutoExitTRL);
    MarketEnable.setChecked(setup.MarketEnable);
    PhotoEnabled.setChecked(setup.PhotoEnabled);
    DBAutoUpdate.setChecked(setup.DBAutoUpdate);
    SRadarAlarmWAV.setChecked(settings_.Scanner.SRadarAlarmWAV);
    SRadarAlarmPU.setChecked(settings_.Scanner.SRadarAlarmPU);
    SRadarAlarmRepeat.setChecked(settings_.Scanner.SRadarAlarmRepeat);
    EscRefresh.setChecked(settings_.Console.EscRefresh);
}

void SettingsController::writeProxyMirror() {
    // What add-ons see is the proxy in effect, not the one merely stored.
    const bool on = ProxyEnabled.checked();
    registry_.WriteInterfaceValue("ProxyURL", on ? settings_.Setup.ProxyURL : "");
    registry_.WriteInterfaceValue("ProxyPort",
                                  on ? std::to_string(settings_.Setup.ProxyPort) : "0");
}

void SettingsController::collectSetupBoxes() {
    SetupSettings& setup = settings_.Setup;
    setup.LogEnabled = LogEnabled.checked();
    setup.AutoRunVL = AutoRunVL.checked();
    setup.AutoExitTRL = AutoExitTRL.checked();
    setup.ProxyEnabled = ProxyEnabled.checked();
    setup.MarketEnable = MarketEnable.checked();
    setup.PhotoEnabled = PhotoEnabled.checked();
    setup.DBAutoUpdate = DBAutoUpdate.checked();
}

void SettingsController::collectScannerBoxes() {
    settings_.Scanner.SRadarAlarmPU = SRadarAlarmPU.checked();
    settings_.Scanner.SRadarAlarmWAV = SRadarAlarmWAV.checked();
    settings_.Scanner.SRadarAlarmRepeat = SRadarAlarmRepeat.checked();
}

void SettingsController::collectConsoleBoxes() {
    settings_.Console.EscRefresh = EscRefresh.checked();
    settings_.Console.AASafe = AASafe.checked();
    settings_.Console.WideConsole = WideConsole.checked();
    settings_.Console.DebugState = cbDebug.checked();
}

bool SettingsController::report(const SaveResult& result) {
    if (!result.ok && reportSaveError_) {
        reportSaveError_(result.message);
    }
    return result.ok;
}

bool SettingsController::SaveSetupGroup() {
    collectSetupBoxes();
    return report(store_.SaveSetupGroup(settings_));
}

bool SettingsController::SaveScannerGroup() {
    collectScannerBoxes();
    return report(store_.SaveScannerGroup(settings_));
}

bool SettingsController::SaveKeyMapGroup() {
    return report(store_.SaveKeyMapGroup(settings_));
}

bool SettingsController::SaveConsoleGroup() {
    collectConsoleBoxes();
    return report(store_.SaveConsoleGroup(settings_));
}

bool SettingsController::SaveProxyKeys() {
    return report(store_.SaveGroups({SettingsGroup::Proxy}, settings_));
}

bool SettingsController::SaveGameStartFileKey() {
    return report(store_.SaveGroups({SettingsGroup::GameStartFile}, settings_));
}

bool SettingsController::SaveTrkDate() {
    return report(store_.SaveGroups({SettingsGroup::DatabaseDate}, settings_));
}

void SettingsController::SaveAllGroups() {
    collectSetupBoxes();
    collectConsoleBoxes();
    collectScannerBoxes();
    report(store_.SaveGroups({SettingsGroup::Setup, SettingsGroup::KeyMap, SettingsGroup::Console,
                              SettingsGroup::Scanner},
                             settings_));
}

void SettingsController::TabSheetLeft(const std::string& tabSheetName) {
    if (tabSheetName == "tsSetup") {
        SaveSetupGroup();
    } else if (tabSheetName == "tsConsole") {
        SaveConsoleGroup();
    } else if (tabSheetName == "tsScanner") {
        SaveScannerGroup();
    } else if (tabSheetName == "tsKeyMap") {
        SaveKeyMapGroup();
    }
}

} // namespace trelk
