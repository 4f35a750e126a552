#include "gamecontrol/GameAutoStart.h"

#include "core/AppPaths.h"
#include "platform/ports/VirtualKeys.h"

#include <utility>

namespace trelk {

GameAutoStart::GameAutoStart(CheckOption& chkAutoStartVL, std::string& startFile, FileSystem& files,
                             Desktop& desktop, Keyboard& keyboard, Launcher& launcher,
                             TimerFactory& timers, Hooks hooks)
    : chkAutoStartVL_(chkAutoStartVL), startFile_(startFile), files_(files), desktop_(desktop),
      keyboard_(keyboard), launcher_(launcher), hooks_(std::move(hooks)),
      tmrAutoStartVL_(timers.createTimer("tmrAutoStartVL", IntervalMs)) {
    tmrAutoStartVL_->setHandler([this] { tmrAutoStartVLTimer(); });
    chkAutoStartVL_.setOnClick([this] { chkAutoStartVLClick(); });
}

void GameAutoStart::Reset() {
    gameStarted_ = false;
    autoStartPending_ = false;
}

void GameAutoStart::ApplyAutoStart() {
    autoStartPending_ = true;
    chkAutoStartVLClick();
}

void GameAutoStart::Stop() {
    tmrAutoStartVL_->setEnabled(false);
}

FileChoice GameAutoStart::StartFileChoice(const std::string& startFile) {
    // On Linux the game starts from its program or from a desktop launcher (a ".desktop"
    // file); the launcher port starts both. The launcher comes first: it is what menus and
    // game stores install, as the patcher was the usual start file elsewhere.
    const std::string folder = FolderOf(startFile);
    return {.title = DialogTitle,
            .filters = {{"Voidline launcher", {"*.desktop"}},
                        {"Voidline program", {"voidline", "voidline-sim"}},
                        {"All files", {"*"}}},
            .initialFolder = folder,
            .initialFile = startFile.substr(folder.size())};
}

bool GameAutoStart::startFileExists() const {
    return !startFile_.empty() && files_.kindOf(startFile_) == PathKind::File;
}

void GameAutoStart::chkAutoStartVLClick() {
    if (!chkAutoStartVL_.checked()) {
        tmrAutoStartVL_->setEnabled(false);
        gameStarted_ = false;
    } else if (startFileExists()) {
        if (autoStartPending_) {
            tmrAutoStartVL_->setEnabled(true);
        }
    } else {
        // Unticking runs this handler again, which clears what a box off clears.
        chkAutoStartVL_.setChecked(false);
        // The dialog would take the focus from the game: it opens only where the pilot works
        // in TrelkPro, not for a chat command or the settings loaded at start-up.
        if (fromTrayMenu_ || (hooks_.ownWindowActive && hooks_.ownWindowActive())) {
            btnVLPathClick();
        } else {
            say(hooks_.reportDuringPlay,
                startFile_.empty()
                    ? "Auto Start is off: choose the file that starts Voidline with the "
                      "\"Voidline\" button on the Setup tab"
                    : "Auto Start is off: the Voidline start file " + startFile_ +
                          " does not exist");
        }
    }
    autoStartPending_ = false;
}

void GameAutoStart::VLAutoStart1Click() {
    fromTrayMenu_ = true;
    chkAutoStartVL_.click();
    fromTrayMenu_ = false;
}

void GameAutoStart::SetFromCommand(bool on) {
    chkAutoStartVL_.setChecked(on);
}

void GameAutoStart::btnVLPathClick() {
    if (!hooks_.chooseFile) {
        return;
    }
    const std::optional<std::string> chosen = hooks_.chooseFile(StartFileChoice(startFile_));
    if (!chosen) {
        return;
    }
    startFile_ = *chosen;
    if (hooks_.saveStartFile) {
        hooks_.saveStartFile();
    }
}

void GameAutoStart::tmrAutoStartVLTimer() {
    if (hooks_.addOnStartDone && !hooks_.addOnStartDone()) {
        return; // the add-ons start first
    }
    tmrAutoStartVL_->setEnabled(false);
    const std::optional<Keyboard::KeyboardState> keys = keyboard_.currentState();
    if (keys && ((*keys)[Vk::Shift] & 0x80) != 0) {
        return; // the pilot holds Shift: no game start in this run
    }
    if (desktop_.topLevelWindowExists(GameTitle)) {
        gameStarted_ = true;
    } else if (chkAutoStartVL_.checked() && !gameStarted_) {
        startGame();
    }
}

void GameAutoStart::startGame() {
    say(hooks_.addLogLine, StartLine);
    gameStarted_ = true;
    if (!launcher_.startProgram(startFile_, FolderOf(startFile_))) {
        say(hooks_.reportDuringPlay, "Voidline was not started: " + launcher_.lastLaunchError());
    }
}

void GameAutoStart::say(const std::function<void(const std::string&)>& sink,
                        const std::string& text) {
    if (sink) {
        sink(text);
    }
}

} // namespace trelk
