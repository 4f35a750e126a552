#pragma once

#include "AppPaths.h"
#include "LifecycleHooks.h"
#include "RegistryValues.h"
#include "SettingsController.h"
#include "TraceOutput.h"
#include "VersionInfo.h"
#include "platform/ports/MainWindow.h"
#include "platform/ports/Platform.h"

#include <atomic>
#include <memory>
#include <optional>
#include <string>

namespace trelk {

// Who asked the main window to close. Only the tray menu's "Exit Trelk" may be questioned;
// the game-exit watcher's close never asks and never waits.
enum class CloseReason {
    Window,     // the window's close button, a tray or caption menu, a deferred close
    SessionEnd, // the user logs off or the computer shuts down
    GameExited, // the game-exit watcher
};

struct StartupResult {
    bool ok = true;
    std::string message; // the fixed failure message when not ok
};

// The main window's state and lifecycle without the widgets: start-up, the tray and caption
// menu handlers, the debug option, and the close sequence with its deferred close.
class AppCore {
public:
    static constexpr int StartupCompletedMs = 10000;
    static constexpr const char* ShuttingDownText = "Please wait. Trelk is Shutting Down!";
    static constexpr const char* ExitQuestion = "Do you really want to shutdown Trelk ?";

    // hooks: the other subsystems' places in the sequences; the composition root fills them.
    AppCore(Platform& platform, MainWindow& window, Prompts& prompts, AppPaths paths,
            VersionInfo version, LifecycleHooks hooks);
    ~AppCore();
    AppCore(const AppCore&) = delete;
    AppCore& operator=(const AppCore&) = delete;

    // Lifecycle, in the order the window goes through it.
    StartupResult FormCreate();
    void FormShow();
    void tmrStartupCompletedTimer();
    // The window's Close: asks FormCloseQuery, then runs FormClose and ends the message loop.
    void Close(CloseReason reason = CloseReason::Window);
    bool FormCloseQuery(CloseReason reason);
    void FormClose();
    void FormDestroy();

    // Tray menu, caption buttons and the debug option.
    void TrelkHelp2Click();
    void ConfigureTrelk1Click();
    void Hide1Click();
    void ExitTrelk1Click();
    void JvTrayIcon1DblClick() { ConfigureTrelk1Click(); }
    // A single click on the tray icon shows the window only where the notification area never
    // tells of a double click; elsewhere the double click does.
    void JvTrayIcon1Click();
    void JvFormButtonHideClick() { Hide1Click(); }
    void cbDebugClick();
    // The close started by the game-exit watcher.
    void CloseFromGameExit();

    bool StartupCompleted() const { return !tmrStartupCompleted_->enabled(); }
    bool closed() const { return closed_; }

    // Process-wide flags; only the lifecycle above changes them.
    const std::atomic<bool>& ShuttingDown() const { return shuttingDown_; }
    bool AutoExitClosing() const { return autoExitClosing_; }
    bool ExitFromMenu() const { return exitFromMenu_; }
    bool DebugOff() const { return debugOff_; }

    TraceOutput& trace() { return trace_; }
    SettingsController& settings() { return *settings_; }
    RegistryValues& registry() { return registry_; }
    const LifecycleHooks& hooks() const { return hooks_; }
    const AppPaths& paths() const { return paths_; }
    const VersionInfo& version() const { return version_; }
    Timer& tmrStartupCompleted() { return *tmrStartupCompleted_; }

private:
    bool prepareDataFolder(StartupResult& result);
    bool createFolder(const std::string& path, StartupResult& result);
    void applyStoredDebugState();
    void reportStatus(const std::string& text);

    Platform& platform_;
    MainWindow& window_;
    Prompts& prompts_;
    AppPaths paths_;
    VersionInfo version_;
    TraceOutput trace_;
    LifecycleHooks hooks_;
    RegistryValues registry_;
    std::unique_ptr<SettingsController> settings_;
    std::unique_ptr<Timer> tmrStartupCompleted_;
    std::atomic<bool> shuttingDown_{false};
    bool autoExitClosing_ = false;
    bool exitFromMenu_ = false;
    bool debugOff_ = true;
    bool created_ = false;
    bool closed_ = false;
    // A close sequence is running (it may be showing a box); a close asked for meanwhile waits.
    bool closing_ = false;
    std::optional<CloseReason> pendingClose_;
    bool destroyed_ = false;
};

} // namespace trelk
