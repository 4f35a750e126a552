#pragma once

#include "core/CheckOption.h"
#include "core/HookSlots.h"
#include "platform/ports/Desktop.h"
#include "platform/ports/Timers.h"

#include <functional>
#include <memory>
#include <string>

namespace trelk {

// TrelkPro ends with the game: every second (tmrAutoExitTRL) it looks for the game's window;
// once seen and then gone, with the "Auto Shutdown Trelk" box ticked (chkAutoExitTRL, mirrored
// by the tray item "TRL Auto Shutdown"), it closes the program without a question. While it
// runs, the main window hides whenever the game comes to the front. It runs from start-up
// until switched off, whether the box is ticked or not. Main thread only.
class GameExitWatcher {
public:
    struct Hooks {
        std::function<void(const std::string&)> addLogLine{}; // PilotLog::AddLogLine
        std::function<bool()> debugOff{};                     // AppCore::DebugOff
        // The tray menu's "Hide Trelk" (AppCore::Hide1Click) while the window is shown.
        std::function<void()> hideMainWindow{};
        // AppCore::CloseFromGameExit: saves the settings and ends, never asks, never waits.
        std::function<void()> closeFromGameExit{};
    };

    static constexpr int IntervalMs = 1000;
    static constexpr const char* GameTitle = "Voidline";
    static constexpr const char* ShutdownLine = "Trelk Auto Shutdown..";

    // chkAutoExitTRL is the box's state; it belongs to the settings and outlives this object.
    // The box's changes run chkAutoExitTRLClick.
    GameExitWatcher(CheckOption& chkAutoExitTRL, Desktop& desktop, TimerFactory& timers,
                    Hooks hooks);

    // Start-up (the window's creation): the game not seen yet, the watcher running.
    void Start();
    void Stop();

    // The watcher runs exactly while the box is ticked.
    void chkAutoExitTRLClick();
    // The tray item: toggles the box and the watcher with it.
    void TRLAutoExit1Click() { SetAutoExit(!chkAutoExitTRL_.checked()); }
    // "//autoexiton", "//autoexitoff" and the tray item: the box to this state and the watcher
    // started or stopped, even where the box already was so.
    void SetAutoExit(bool on);
    void tmrAutoExitTRLTimer();

    bool GameSeen() const { return gameSeen_; }
    bool Running() const { return tmrAutoExitTRL_->enabled(); }
    Timer& tmrAutoExitTRL() { return *tmrAutoExitTRL_; }
    const Hooks& hooks() const { return hooks_; }

private:
    CheckOption& chkAutoExitTRL_;
    Desktop& desktop_;
    Hooks hooks_;
    std::unique_ptr<Timer> tmrAutoExitTRL_;
    bool gameSeen_ = false;
};

template <> struct HookSlotList<GameExitWatcher::Hooks> {
    using S = GameExitWatcher::Hooks;
    static constexpr const char* Name = "GameExitWatcher::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, addLogLine),
        TRELK_HOOK_SLOT(S, debugOff),
        TRELK_HOOK_SLOT(S, hideMainWindow),
        TRELK_HOOK_SLOT(S, closeFromGameExit),
    };
};
static_assert(ListsEverySlot<GameExitWatcher::Hooks>());

} // namespace trelk
