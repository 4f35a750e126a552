#pragma once

#include "KeyDispatcher.h"
#include "PilotPosition.h"
#include "SlashCommandActions.h"
#include "core/CheckOption.h"
#include "core/RegistryValues.h"
#include "core/TraceOutput.h"
#include "macros/KeyStringSender.h"

#include <array>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace trelk {

class SettingsController;

// The check boxes the commands tick and untick; ticking runs the box's own handler.
struct SlashCommandOptions {
    CheckOption& LogEnabled;
    CheckOption& MarketEnable;
    CheckOption& DisplayTime;
    CheckOption& WideConsole;

    static SlashCommandOptions Of(SettingsController& settings);
};

// The pilot's commands typed into the game's chat line, run when the dispatcher sees Enter.
// Lines the program types itself come back the same way, so a coordinate entry sent as
// "/lumacor x y z ..." becomes the stored position when the pilot confirms it.
class SlashCommandExecutor {
public:
    // In the order they are matched; the first word of the line is compared without case.
    static constexpr std::array<const char*, 26> Commands = {
        "/lumacor",      "//load",     "//load+",       "//logon",        "//logoff",
        "//loadroid",    "//loadarti", "//autostarton", "//autostartoff", "//autoexiton",
        "//autoexitoff", "//viewlog",  "//dflr",        "//reset",        "//getmarket",
        "//getroid",     "//jcmd",     "//ucmd",        "//pic",          "//picoff",
        "//timeon",      "//timeoff",  "//test",        "//hl",           "//wide",
        "//url"};
    static constexpr std::size_t MaxUrlLength = 200;
    static constexpr const char* TestLine = "Testing Trelk Slash Command.....\r";

    SlashCommandExecutor(KeyDispatcher& dispatcher, KeyStringSender& sender,
                         RegistryValues& registry, SlashCommandOptions options,
                         PilotPosition& position, TraceOutput& trace, SlashCommandActions actions);

    // True when the line's first word is a command (the dispatcher does not use it).
    bool ExecuteSlashCommand(const std::string& typedLine);

    // The index in Commands of a command word, compared without case.
    static std::optional<std::size_t> FindCommand(std::string_view word);
    // The line without bytes below 32 or above 126.
    static std::string CleanLine(std::string_view line);

    const SlashCommandActions& hooks() const { return actions_; }

private:
    void run(std::size_t command, const std::string& clean,
             std::span<const std::string_view> arguments);
    void storePosition(std::span<const std::string_view> xyz);
    void typeStoredPosition();
    void pic(std::span<const std::string_view> arguments);
    void url(const std::string& clean);
    void setTime(bool on);
    // True when every slot the command's effect needs is filled; otherwise the command is
    // traced as recognised but not built in, and its effect does not run.
    template <typename... Slots> bool built(std::size_t command, const Slots&... slots);

    KeyDispatcher& dispatcher_;
    KeyStringSender& sender_;
    RegistryValues& registry_;
    SlashCommandOptions options_;
    PilotPosition& position_;
    TraceOutput& trace_;
    SlashCommandActions actions_;
};

} // namespace trelk
