#include "gamecontrol/GameExitWatcher.h"

#include <utility>

namespace trelk {

GameExitWatcher::GameExitWatcher(CheckOption& chkAutoExitTRL, Desktop& desktop,
                                 TimerFactory& timers, Hooks hooks)
    : chkAutoExitTRL_(chkAutoExitTRL), desktop_(desktop), hooks_(std::move(hooks)),
      tmrAutoExitTRL_(timers.createTimer("tmrAutoExitTRL", IntervalMs)) {
    tmrAutoExitTRL_->setHandler([this] { tmrAutoExitTRLTimer(); });
    chkAutoExitTRL_.setOnClick([this] { chkAutoExitTRLClick(); });
}

void GameExitWatcher::Start() {
    gameSeen_ = false;
    tmrAutoExitTRL_->setEnabled(true);
}

void GameExitWatcher::Stop() {
    tmrAutoExitTRL_->setEnabled(false);
}

void GameExitWatcher::chkAutoExitTRLClick() {
    tmrAutoExitTRL_->setEnabled(chkAutoExitTRL_.checked());
}

void GameExitWatcher::SetAutoExit(bool on) {
    chkAutoExitTRL_.setChecked(on);
    tmrAutoExitTRL_->setEnabled(on);
}

void GameExitWatcher::tmrAutoExitTRLTimer() {
    if (desktop_.topLevelWindowExists(GameTitle)) {
        gameSeen_ = true;
        if (hooks_.debugOff && hooks_.debugOff() && desktop_.foregroundWindowHasTitle(GameTitle) &&
            hooks_.hideMainWindow) {
            hooks_.hideMainWindow();
        }
        return;
    }
    if (!gameSeen_) {
        return; // the game has not been there yet
    }
    if (!chkAutoExitTRL_.checked()) {
        gameSeen_ = false;
        return;
    }
    tmrAutoExitTRL_->setEnabled(false);
    if (hooks_.addLogLine) {
        hooks_.addLogLine(ShutdownLine);
    }
    if (hooks_.closeFromGameExit) {
        hooks_.closeFromGameExit();
    }
}

} // namespace trelk
