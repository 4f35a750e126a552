#include "SimGame.h"

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
        if (!chatLine_.empty()) {
            chatLine_.pop_back();
        }
        return;
    case Vk::Escape:
        chatLine_.clear();
        return;
    case Vk::Return:
        if (!chatLine_.empty()) {
            transcript_.push_back(std::to_string(channel_) + '\t' + chatLine_);
        }
        chatLine_.clear();
        return;
    default:
        break;
    }
    if (keyboard_.isDown(Vk::Control) || keyboard_.isDown(Vk::Menu)) {
        return; // the game's shortcuts, not text
    }
    for (const char c : keyboard_.charactersForKey(vk, 0, keyboard_.state())) {
        if (static_cast<unsigned char>(c) >= 0x20) {
            chatLine_ += c;
        }
    }
}

} // namespace trelk
