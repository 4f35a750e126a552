#pragma once

#include "E2eTestSupport.h"
#include "support/SharedBlockNames.h"
#include "support/TempFolder.h"

#include <memory>
#include <string>
#include <vector>

namespace trelk::e2e {

// What a pilot has on screen: TrelkPro running from an application folder of the test's
// own and the stand-in game in front of it with the keyboard focus, on a virtual display.
// The game's transcript is "transcript.txt" in that folder.
class PilotDesk {
public:
    // Starts both; check ready() before typing. extraEnvironment ("NAME=value") reaches both;
    // keyboardLayout, when given, is what setxkbmap sets before either starts
    // ({"-layout", "fr", "-variant", "bepo"}). program is the TrelkPro to start, in its
    // application folder.
    explicit PilotDesk(const testing::TempFolder& folder,
                       const std::vector<std::string>& extraEnvironment = {},
                       const std::vector<std::string>& keyboardLayout = {},
                       const std::string& program = TRELK_APP_BINARY);
    // On a screen of this size and these monitors, the game started with these arguments
    // ({"--monitor", "1"}).
    PilotDesk(const testing::TempFolder& folder, const std::vector<std::string>& extraEnvironment,
              const DisplayScreen& screen, const std::vector<std::string>& gameArguments);

    bool ready() const { return ready_; }
    // "DISPLAY=... xdotool " for command lines.
    const std::string& xdotool() const { return xdotool_; }
    const std::string& displayName() const { return display_.name(); }
    std::string transcript() const { return folder_.read("transcript.txt"); }
    ChildProcess& trelk() { return *trelk_; }
    ChildProcess& game() { return *game_; }

private:
    void start(const std::vector<std::string>& extraEnvironment,
               const std::vector<std::string>& keyboardLayout, const std::string& program,
               const std::vector<std::string>& gameArguments);

    const testing::TempFolder& folder_;
    VirtualDisplay display_;
    testing::SharedBlockNames blocks_{"e2e"}; // outlives both processes
    std::string xdotool_;
    std::unique_ptr<ChildProcess> trelk_;
    std::unique_ptr<ChildProcess> game_;
    bool ready_ = false;
};

} // namespace trelk::e2e
