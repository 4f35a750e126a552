#pragma once

// The stand-in game on the sim platform: the window "Voidline" with a chat line.
//
//   SimPlatform platform;              // the game runs and has the focus from the start
//   platform.game().setFocus(false);   // another window has it: keys reach neither the game
//                                      // nor the hook
//   platform.game().chatLine();        // "hello" while typed, "" after Enter or Escape
//   platform.game().channel();         // 1..5, chosen with F1..F5 (1 at start)
//   platform.game().transcript();      // {"5\thello"}: one line per Enter on a non-empty line
//   platform.game().keysReceived();    // every down/up event, e.g. {KeyDown(Vk::Shift), ...}
//
// A key press types what the layout gives for it under the current key state (so Shift, AltGr,
// Caps Lock and the group count); a dead key composes with the next key as a text input does
// (SimLayouts); control characters and keys held with Ctrl or Alt alone type nothing.
// Backspace removes the last character, Escape clears the line, Enter sends a non-empty line.

#include "SimDesktop.h"
#include "SimKeyboard.h"

#include <string>
#include <vector>

namespace trelk {

class SimGame {
public:
    static constexpr const char* Title = "Voidline";

    SimGame(SimDesktop& desktop, SimKeyboard& keyboard);
    ~SimGame();
    SimGame(const SimGame&) = delete;
    SimGame& operator=(const SimGame&) = delete;

    // Starts the game (its window appears and takes the focus) or ends it.
    void launch();
    void exit();
    bool running() const { return running_; }
    // The game's window comes to the front (and has the focus) or another window does.
    void setFocus(bool focused);
    bool hasFocus() const { return running_ && focused_; }

    const std::string& chatLine() const { return chatLine_; }
    int channel() const { return channel_; }
    const std::vector<std::string>& transcript() const { return transcript_; }
    const std::vector<SimKeyEvent>& keysReceived() const { return keysReceived_; }
    void clearKeysReceived() { keysReceived_.clear(); }

    // The window's key input, from the sim keyboard.
    void receive(const SimKeyEvent& event);

private:
    SimDesktop& desktop_;
    SimKeyboard& keyboard_;
    bool running_ = false;
    bool focused_ = false;
    std::string chatLine_;
    int channel_ = 1;
    std::vector<std::string> transcript_;
    std::vector<SimKeyEvent> keysReceived_;
    unsigned char pendingAccent_ = 0; // a dead key waiting for the next key
};

} // namespace trelk
