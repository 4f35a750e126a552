#pragma once

#include "core/CheckOption.h"
#include "core/HookSlots.h"
#include "platform/ports/Desktop.h"
#include "platform/ports/FileSystem.h"
#include "platform/ports/Keyboard.h"
#include "platform/ports/Launcher.h"
#include "platform/ports/MainWindow.h"
#include "platform/ports/Timers.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace trelk {

// The game starts with TrelkPro: the Setup tab's "Auto Start " box (chkAutoStartVL, mirrored by
// the tray item "VL Auto Startup"), the start file chosen with the "Voidline" button, and the one
// start per run after the add-ons have started (tmrAutoStartVL). Holding Shift when the start is
// due skips it for this run. Main thread only.
class GameAutoStart {
public:
    struct Hooks {
        // AddOnAutoStart::StartDone: the add-ons start before the game.
        std::function<bool()> addOnStartDone{};
        std::function<void(const std::string&)> addLogLine{}; // PilotLog::AddLogLine
        // A message during play: the status bar and the log.
        std::function<void(const std::string&)> reportDuringPlay{};
        // MainWindow::ownWindowActive: the pilot works in TrelkPro, so a dialog may open.
        std::function<bool()> ownWindowActive{};
        // Prompts::chooseFileToOpen: the path dialog.
        std::function<std::optional<std::string>(const FileChoice&)> chooseFile{};
        // SettingsController::SaveGameStartFileKey: "AutoStart" written at once.
        std::function<bool()> saveStartFile{};
    };

    static constexpr int IntervalMs = 1000;
    static constexpr const char* GameTitle = "Voidline";
    static constexpr const char* StartLine = "Voidline Auto Startup..";
    static constexpr const char* DialogTitle = "Select Voidline path and executable file";

    // chkAutoStartVL is the box's state and startFile the stored "AutoStart" path; both belong
    // to the settings and outlive this object. The box's changes run chkAutoStartVLClick.
    GameAutoStart(CheckOption& chkAutoStartVL, std::string& startFile, FileSystem& files,
                  Desktop& desktop, Keyboard& keyboard, Launcher& launcher, TimerFactory& timers,
                  Hooks hooks);

    // Start-up, before the settings are loaded: nothing started, nothing pending.
    void Reset();
    // Start-up, after the settings were loaded with "AutoRunVL" on: the box's handler runs
    // once more with the auto-start pending, which arms the timer if the start file exists.
    void ApplyAutoStart();
    void Stop();

    void chkAutoStartVLClick();
    // The tray item: toggles the box (whose handler then runs). The pilot chose it in
    // TrelkPro's menu, so a missing start file opens the path dialog.
    void VLAutoStart1Click();
    // "//autostarton", "//autostartoff": the box to this state, from the game's chat line.
    void SetFromCommand(bool on);
    // The path dialog; on OK the file becomes "AutoStart" and is saved at once.
    void btnVLPathClick();
    void tmrAutoStartVLTimer();

    // What the path dialog shows for the stored path: the type list of the files this
    // platform's launcher starts, the stored file's folder and name.
    static FileChoice StartFileChoice(const std::string& startFile);

    bool GameStarted() const { return gameStarted_; }
    bool AutoStartPending() const { return autoStartPending_; }
    Timer& tmrAutoStartVL() { return *tmrAutoStartVL_; }
    const Hooks& hooks() const { return hooks_; }

private:
    bool startFileExists() const;
    void startGame();
    void say(const std::function<void(const std::string&)>& sink, const std::string& text);

    CheckOption& chkAutoStartVL_;
    std::string& startFile_;
    FileSystem& files_;
    Desktop& desktop_;
    Keyboard& keyboard_;
    Launcher& launcher_;
    Hooks hooks_;
    std::unique_ptr<Timer> tmrAutoStartVL_;
    bool gameStarted_ = false;
    bool autoStartPending_ = false;
    // The tray item is being handled: the pilot asked in TrelkPro's own menu.
    bool fromTrayMenu_ = false;
};

template <> struct HookSlotList<GameAutoStart::Hooks> {
    using S = GameAutoStart::Hooks;
    static constexpr const char* Name = "GameAutoStart::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, addOnStartDone),   TRELK_HOOK_SLOT(S, addLogLine),
        TRELK_HOOK_SLOT(S, reportDuringPlay), TRELK_HOOK_SLOT(S, ownWindowActive),
        TRELK_HOOK_SLOT(S, chooseFile),       TRELK_HOOK_SLOT(S, saveStartFile),
    };
};
static_assert(ListsEverySlot<GameAutoStart::Hooks>());

} // namespace trelk
