#include "AppCore.h"

#include "InstallCode.h"

#include <utility>

namespace trelk {

AppCore::AppCore(Platform& platform, MainWindow& window, Prompts& prompts, AppPaths paths,
                 VersionInfo version, LifecycleHooks hooks)
    : platform_(platform), window_(window), prompts_(prompts), paths_(std::move(paths)),
      version_(std::move(version)), trace_(platform.debugOutput()), hooks_(std::move(hooks)),
      registry_(platform.userStore(), [this](const std::string& text) { reportStatus(text); }) {
    settings_ = std::make_unique<SettingsController>(
        SettingsStore(platform.fileSystem(), paths_.SettingsFile, paths_.AppDir), registry_, hooks_,
        [this](const std::string& message) {
            trace_.Trace("TrelkPro: " + message);
            prompts_.showError(message);
        });
    // The debug option gates the trace at the moment of each call.
    settings_->cbDebug.addView([this](bool on) { trace_.setEnabled(on); });
    settings_->cbDebug.setOnClick([this] { cbDebugClick(); });

    tmrStartupCompleted_ =
        platform_.timers().createTimer("tmrStartupCompleted", StartupCompletedMs);
    tmrStartupCompleted_->setHandler([this] { tmrStartupCompletedTimer(); });
}

AppCore::~AppCore() {
    if (created_ && !destroyed_) {
        FormDestroy();
    }
}

StartupResult AppCore::FormCreate() {
    StartupResult result;
    created_ = true;
    tmrStartupCompleted_->setEnabled(true);

    trace_.Trace("TrelkPro Starting!");
    RunHook(hooks_.createAddOnLists);
    RunHook(hooks_.installMessageFilter);
    RunHook(hooks_.resetRadarOffsets);

    window_.setCaption(version_.caption());
    trace_.Trace("TrelkPro: Version" + version_.caption());
    window_.setTrayHint(version_.caption());

    shuttingDown_ = false;
    autoExitClosing_ = false;
    RunHook(hooks_.resetRunTimeState);

    RunHook(hooks_.loadMacros);
    settings_->LoadSettings();
    if (settings_->values().Setup.InstallCode.empty()) {
        settings_->values().Setup.InstallCode = GenerateInstallCode(platform_.clock());
        settings_->SaveSetupGroup();
    }

    if (hooks_.loadOverlayLibrary) {
        if (std::optional<std::string> failure = hooks_.loadOverlayLibrary()) {
            result.ok = false;
            result.message = *failure;
            return result;
        }
    }
    RunHook(hooks_.createKeyRecord);
    if (hooks_.setOverlayDebugMode) {
        hooks_.setOverlayDebugMode(true);
    }
    RunHook(hooks_.writeKeyRecord);

    if (!prepareDataFolder(result)) {
        return result;
    }
    RunHook(hooks_.pointFileListAtDataDir);
    if (!createFolder(paths_.PhotoDir, result)) {
        return result;
    }
    // The log writes its files here; a folder it cannot have only turns logging off.
    static_cast<void>(platform_.fileSystem().createFolder(paths_.LogDir));

    if (settings_->AutoRunVL.checked()) {
        RunHook(hooks_.applyAutoStart);
    }
    RunHook(hooks_.restoreDataLists);
    RunHook(hooks_.restoreCommandList);
    RunHook(hooks_.startDataListWorker);

    window_.setActiveTab("tsWeb");
    RunHook(hooks_.initConsoleOverlay);
    RunHook(hooks_.resetMenu);
    if (hooks_.installKeyboardHook) {
        if (std::optional<std::string> failure = hooks_.installKeyboardHook()) {
            result.ok = false;
            result.message = *failure;
            return result;
        }
    }

    registry_.ResetInterfaceValues();
    registry_.WriteInterfaceValue("TrelkProStartUp", "1");
    RunHook(hooks_.startAddOns);

    settings_->DisplayTime.setChecked(true);
    settings_->AASafe.setChecked(settings_->values().Console.AASafe);
    settings_->WideConsole.setChecked(settings_->values().Console.WideConsole);

    RunHook(hooks_.loadUrlList);
    applyStoredDebugState();
    return result;
}

bool AppCore::prepareDataFolder(StartupResult& result) {
    FileSystem& files = platform_.fileSystem();
    if (files.kindOf(paths_.DataDir) == PathKind::Folder) {
        if (files.kindOf(paths_.DataDir + "MyLumacor.dat") != PathKind::Missing) {
            RunHook(hooks_.startDatabaseUpdateCheck);
        } else {
            RunHook(hooks_.openDatabaseDownload);
        }
        return true;
    }
    if (!createFolder(paths_.DataDir, result)) {
        return false;
    }
    RunHook(hooks_.openDatabaseDownload);
    return true;
}

bool AppCore::createFolder(const std::string& path, StartupResult& result) {
    // One level only: a missing application folder is not ours to create.
    if (platform_.fileSystem().createFolder(path).ok) {
        return true;
    }
    result.ok = false;
    result.message = "Cannot create director" + path;
    return false;
}

void AppCore::applyStoredDebugState() {
    const bool on = settings_->values().Console.DebugState;
    settings_->cbDebug.setChecked(on);
    debugOff_ = !on;
    trace_.setEnabled(on);
}

void AppCore::FormShow() {
    window_.setActiveTab("tsConsole");
}

void AppCore::tmrStartupCompletedTimer() {
    tmrStartupCompleted_->setEnabled(false);
    if (tmrStartupCompleted_->tag() == 1) {
        Close();
    }
}

void AppCore::Close(CloseReason reason) {
    if (closed_) {
        return;
    }
    if (closing_) {
        // Asked while a box of the running close is open (a failed save, the exit question):
        // the running close goes on. The window's own request is the one being answered; the
        // session's end or the game's exit cannot be refused, so it runs if the pilot said No.
        if (reason != CloseReason::Window) {
            pendingClose_ = reason;
        }
        return;
    }
    closing_ = true;
    if (FormCloseQuery(reason)) {
        FormClose();
        closed_ = true;
        window_.destroyWindow();
    }
    closing_ = false;
    const std::optional<CloseReason> pending = std::exchange(pendingClose_, std::nullopt);
    if (pending && !closed_) {
        Close(*pending);
    }
}

bool AppCore::FormCloseQuery(CloseReason reason) {
    trace_.Trace("TrelkPro: FormCloseQuery");
    if (autoExitClosing_) {
        RunHook(hooks_.stopStationAndRadarTimers);
        settings_->SaveAllGroups();
        return true;
    }
    if (tmrStartupCompleted_->tag() == 1) {
        settings_->SaveAllGroups();
        return true;
    }
    // Logging off must not wait for an answer nobody gives.
    if (exitFromMenu_ && reason != CloseReason::SessionEnd && !prompts_.confirm(ExitQuestion)) {
        return false;
    }
    if (tmrStartupCompleted_->enabled()) {
        tmrStartupCompleted_->setTag(1);
        window_.setStatusText(1, ShuttingDownText);
        shuttingDown_ = true;
        return false;
    }
    settings_->SaveAllGroups();
    return true;
}

void AppCore::FormClose() {
    trace_.Trace("TrelkPro: FormClose");
    shuttingDown_ = true;
    RunHook(hooks_.disconnectHttpClients);
    RunHook(hooks_.stopWorkers);
    registry_.WriteInterfaceValue("TrelkProStartUp", "0");
    registry_.DeleteInventory();
}

void AppCore::FormDestroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    trace_.Trace("TrelkPro Shutdown!");
    RunHook(hooks_.unregisterLinkDropTarget);
    RunHook(hooks_.hookOff);
    RunHook(hooks_.closeKeyRecord);
    RunHook(hooks_.hideConsoleAndFreeOverlay);
    trace_.Trace("TrelkPro: Freeing TrkHook Library");
    RunHook(hooks_.freeHookLibrary);
    RunHook(hooks_.closeHookMapping);
    RunHook(hooks_.freeAddOnLists);
    RunHook(hooks_.removeMessageFilter);
    tmrStartupCompleted_->setEnabled(false);
}

void AppCore::TrelkHelp2Click() {
    // Linux desktops rarely read compiled help; the HTML help shipped beside the program is
    // the fallback (the program's folder, which an installed program does not share with the
    // pilot's files).
    FileSystem& files = platform_.fileSystem();
    std::string help = paths_.HelpFile;
    if (files.kindOf(help) == PathKind::Missing) {
        help = paths_.LibraryDir + "trelkpro.html";
    }
    if (files.kindOf(help) == PathKind::Missing || !platform_.launcher().openDocument(help)) {
        reportStatus("Unable to open the help file " + paths_.HelpFile);
    }
}

void AppCore::ConfigureTrelk1Click() {
    window_.showNormalAndActivate();
}

void AppCore::JvTrayIcon1Click() {
    if (platform_.desktop().trayDeliversSingleClicksOnly()) {
        ConfigureTrelk1Click();
    }
}

void AppCore::Hide1Click() {
    window_.hideWindow();
}

void AppCore::ExitTrelk1Click() {
    exitFromMenu_ = true;
    Close();
}

void AppCore::CloseFromGameExit() {
    autoExitClosing_ = true;
    Close(CloseReason::GameExited);
}

void AppCore::cbDebugClick() {
    const bool on = settings_->cbDebug.checked();
    trace_.Trace(on ? "TrelkPro: NexaCSetDebugMode called with value TRUE "
                    : "TrelkPro: NexaCSetDebugMode called with value FALSE ");
    if (hooks_.setOverlayDebugMode) {
        hooks_.setOverlayDebugMode(on);
    }
    debugOff_ = !on;
    RunHook(hooks_.writeKeyRecord);
}

void AppCore::reportStatus(const std::string& text) {
    window_.setStatusText(1, text);
    trace_.Trace("TrelkPro: " + text);
}

} // namespace trelk
