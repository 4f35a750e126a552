#include "SimGame.h"

#include "SimLayouts.h"
#include "platform/ports/VirtualKeys.h"

namespace trelk {

SimGame::SimGame(SimDesktop& desktop, SimKeyboard& keyboard)
    : desktop_(desktop), keyboard_(keyboard) {
    keyboard_.setGame(this);
}

SimGame::~SimGame() {
    keyboard_.setGame(nullptr);
}

void SimGame::launch() {
    running_ = true;
    focused_ = true;
    desktop_.openWindow(Title);
    desktop_.setForegroundWindow(Title);
}

void SimGame::setFocus(bool focused) {
    focused_ = focused;
    if (focused) {
        desktop_.setForegroundWindow(Title);
    } else if (desktop_.foregroundWindow() == Title) {
        desktop_.setForegroundWindow("");
    }
}

void SimGame::exit() {
    running_ = false;
    focused_ = false;
    desktop_.closeWindow(Title);
}

void SimGame::receive(const SimKeyEvent& event) {
    keysReceived_.push_back(event);
    if (event.keyUp) {
        return;
    }
    const int vk = event.virtualKey;
    if (vk >= Vk::F1 && vk <= Vk::F5) {
        channel_ = vk - Vk::F1 + 1;
        return;
    }
    switch (vk) {
    case Vk::Back:
        pendingAccent_ = 0;
        if (!chatLine_.empty()) {
            chatLine_.pop_back();
        }
        return;
    case Vk::Escape:
        pendingAccent_ = 0;
        chatLine_.clear();
        return;
    case Vk::Return:
        pendingAccent_ = 0;
        if (!chatLine_.empty()) {
            transcript_.push_back(std::to_string(channel_) + '\t' + chatLine_);
        }
        chatLine_.clear();
        return;
    default:
        break;
    }
    // AltGr (Right Alt, or Ctrl+Alt) selects a level; Ctrl or Alt alone are the game's
    // shortcuts, not text.
    const bool ctrl = keyboard_.isDown(Vk::Control);
    const bool altGr = keyboard_.isDown(Vk::RMenu) || (ctrl && keyboard_.isDown(Vk::Menu));
    if ((ctrl || keyboard_.isDown(Vk::Menu)) && !altGr) {
        return;
    }
    const sim::KeyOutput typed = keyboard_.output(vk, keyboard_.state());
    if (typed == 0) {
        return; // a modifier or a key without a character: a dead key waits on
    }
    if (pendingAccent_ != 0) {
        const unsigned char accent = pendingAccent_;
        pendingAccent_ = 0;
        if (const auto composed = sim::Compose(accent, typed)) {
            chatLine_ += static_cast<char>(*composed);
            return;
        }
        // No such sequence: the dead key is dropped and the key types on its own.
    }
    if (sim::IsDead(typed)) {
        pendingAccent_ = static_cast<unsigned char>(typed & 0xFF);
    } else if (sim::IsCharacter(typed) && typed >= 0x20) {
        chatLine_ += static_cast<char>(typed);
    }
}

} // namespace trelk
