#include "PilotDesk.h"

namespace trelk::e2e {

PilotDesk::PilotDesk(const testing::TempFolder& folder,
                     const std::vector<std::string>& extraEnvironment,
                     const std::vector<std::string>& keyboardLayout, const std::string& program)
    : folder_(folder), display_(DisplayScreen{}), xdotool_(display_.env() + " xdotool ") {
    start(extraEnvironment, keyboardLayout, program, {});
}

PilotDesk::PilotDesk(const testing::TempFolder& folder,
                     const std::vector<std::string>& extraEnvironment, const DisplayScreen& screen,
                     const std::vector<std::string>& gameArguments)
    : folder_(folder), display_(screen), xdotool_(display_.env() + " xdotool ") {
    start(extraEnvironment, {}, TRELK_APP_BINARY, gameArguments);
}

void PilotDesk::start(const std::vector<std::string>& extraEnvironment,
                      const std::vector<std::string>& keyboardLayout, const std::string& program,
                      const std::vector<std::string>& gameArguments) {
    const testing::TempFolder& folder = folder_;
    if (!keyboardLayout.empty()) {
        std::string command = "setxkbmap -display " + display_.name();
        for (const std::string& argument : keyboardLayout) {
            command += " '" + argument + "'";
        }
        int status = -1;
        capture(command, &status);
        if (status != 0) {
            return;
        }
    }
    // The shared blocks get names of this test's own, so parallel runs never meet.
    std::vector<std::string> environment = {
        display_.env(), "QT_QPA_PLATFORM=xcb", "TRELK_APP_DIR=" + folder.dir(),
        "TRELK_REGISTRY=" + folder.file("registry.db"), blocks_.env()};
    environment.insert(environment.end(), extraEnvironment.begin(), extraEnvironment.end());
    trelk_ = std::make_unique<ChildProcess>(program, std::vector<std::string>{}, environment);
    if (!waitUntil([&] {
            return !capture(xdotool_ + "search --name '^Trelk Pro [0-9.]+ Beta$' 2>/dev/null")
                        .empty();
        })) {
        return;
    }
    std::vector<std::string> arguments{"--transcript", folder.file("transcript.txt")};
    arguments.insert(arguments.end(), gameArguments.begin(), gameArguments.end());
    game_ = std::make_unique<ChildProcess>(TRELK_VOIDLINE_SIM_BINARY, arguments, environment);
    ready_ = waitUntil([&] {
        return capture(xdotool_ + "getwindowfocus getwindowname 2>/dev/null") == "Voidline\n";
    });
}

} // namespace trelk::e2e
