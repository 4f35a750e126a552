#include "SlashCommands.h"

#include "core/CoordinateText.h"
#include "core/SettingsController.h"

#include <cstdint>
#include <vector>

namespace trelk {

namespace {

// The rows of SlashCommandExecutor::Commands.
enum Command : std::size_t {
    Lumacor,
    Load,
    LoadPlus,
    LogOn,
    LogOff,
    LoadRoid,
    LoadArti,
    AutoStartOn,
    AutoStartOff,
    AutoExitOn,
    AutoExitOff,
    ViewLog,
    Dflr,
    Reset,
    GetMarket,
    GetRoid,
    Jcmd,
    Ucmd,
    Pic,
    PicOff,
    TimeOn,
    TimeOff,
    Test,
    HeadLights,
    Wide,
    Url,
};

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (lower(a[i]) != lower(b[i])) {
            return false;
        }
    }
    return true;
}

// A whole 32-bit decimal integer, as the conversion the "//pic" argument goes through.
bool isInteger(std::string_view word) {
    std::size_t i = word.empty() || (word[0] != '+' && word[0] != '-') ? 0 : 1;
    if (i == word.size()) {
        return false;
    }
    std::int64_t value = 0;
    for (; i < word.size(); ++i) {
        if (word[i] < '0' || word[i] > '9') {
            return false;
        }
        value = value * 10 + (word[i] - '0');
        if (value > std::int64_t{1} << 31) {
            return false;
        }
    }
    return word[0] == '-' || value < std::int64_t{1} << 31;
}

// An error box shows no more of a hostile word than this.
constexpr std::size_t MaxShownWord = 64;

} // namespace

SlashCommandOptions SlashCommandOptions::Of(SettingsController& settings) {
    return {settings.LogEnabled, settings.MarketEnable, settings.DisplayTime, settings.WideConsole};
}

SlashCommandExecutor::SlashCommandExecutor(KeyDispatcher& dispatcher, KeyStringSender& sender,
                                           RegistryValues& registry, SlashCommandOptions options,
                                           PilotPosition& position, TraceOutput& trace,
                                           SlashCommandActions actions)
    : dispatcher_(dispatcher), sender_(sender), registry_(registry), options_(options),
      position_(position), trace_(trace), actions_(std::move(actions)) {}

std::string SlashCommandExecutor::CleanLine(std::string_view line) {
    std::string clean;
    clean.reserve(line.size());
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte <= 126) {
            clean.push_back(c);
        }
    }
    return clean;
}

std::optional<std::size_t> SlashCommandExecutor::FindCommand(std::string_view word) {
    for (std::size_t n = 0; n < Commands.size(); ++n) {
        if (equalNoCase(word, Commands[n])) {
            return n;
        }
    }
    return std::nullopt;
}

bool SlashCommandExecutor::ExecuteSlashCommand(const std::string& typedLine) {
    const std::string clean = CleanLine(typedLine);
    if (clean.empty()) {
        return false;
    }
    registry_.WriteInterfaceValue("Input", clean);
    if (clean.front() == '/') {
        registry_.WriteValue(RegistryValues::ScriptKey, "lastcommand", clean);
    }

    // The command word is the first word with anything printable in it; the arguments are the
    // words after it as typed, so a byte the cleaning removed cannot join two digits into a
    // different number.
    const std::vector<std::string_view> words = ChatWords(typedLine);
    std::size_t first = 0;
    while (first < words.size() && CleanLine(words[first]).empty()) {
        ++first;
    }
    if (first == words.size()) {
        return false;
    }
    const std::optional<std::size_t> command = FindCommand(CleanLine(words[first]));
    if (!command) {
        return false;
    }
    run(*command, clean, std::span(words).subspan(first + 1));
    return true;
}

void SlashCommandExecutor::run(std::size_t command, const std::string& clean,
                               std::span<const std::string_view> arguments) {
    switch (static_cast<Command>(command)) {
    case Lumacor:
        storePosition(arguments);
        break;
    case Load:
    case LoadPlus:
        if (!arguments.empty() &&
            built(command, actions_.SaveDataLists, actions_.LoadSelectedDataList)) {
            actions_.SaveDataLists();
            actions_.LoadSelectedDataList();
        }
        break;
    case LogOn:
        options_.LogEnabled.setChecked(true);
        break;
    case LogOff:
        options_.LogEnabled.setChecked(false);
        break;
    case LoadRoid:
    case LoadArti:
    case PicOff:
        break;
    case AutoStartOn:
    case AutoStartOff:
        if (built(command, actions_.SwitchGameAutoStart)) {
            actions_.SwitchGameAutoStart(static_cast<Command>(command) == AutoStartOn);
        }
        break;
    case AutoExitOn:
    case AutoExitOff:
        if (built(command, actions_.SwitchGameAutoExit)) {
            actions_.SwitchGameAutoExit(static_cast<Command>(command) == AutoExitOn);
        }
        break;
    case ViewLog:
        dispatcher_.EnterLogView();
        break;
    case Dflr:
        if (arguments.size() >= 3) {
            storePosition(arguments);
        } else {
            typeStoredPosition();
        }
        break;
    case Reset:
        if (built(command, actions_.ResetEntryCodes)) {
            actions_.ResetEntryCodes();
        }
        break;
    case GetMarket:
        options_.MarketEnable.setChecked(true);
        if (built(command, actions_.StartMarketLoad)) {
            actions_.StartMarketLoad();
        }
        break;
    case GetRoid:
        if (built(command, actions_.ForceDatabaseUpdateCheck)) {
            actions_.ForceDatabaseUpdateCheck();
        }
        break;
    case Jcmd:
        dispatcher_.UseBuiltinCommandList(true);
        break;
    case Ucmd:
        dispatcher_.UseBuiltinCommandList(false);
        break;
    case Pic:
        pic(arguments);
        break;
    case TimeOn:
        setTime(true);
        break;
    case TimeOff:
        setTime(false);
        break;
    case Test:
        sender_.SendToChannel(TestLine, true, 3);
        break;
    case HeadLights:
        if (built(command, actions_.ToggleHeadLights)) {
            actions_.ToggleHeadLights();
        }
        break;
    case Wide:
        options_.WideConsole.setChecked(
            !(actions_.ConsoleWide ? actions_.ConsoleWide() : options_.WideConsole.checked()));
        break;
    case Url:
        url(clean);
        break;
    }
}

void SlashCommandExecutor::storePosition(std::span<const std::string_view> xyz) {
    position_.StoreCoordinates(xyz);
    if (!actions_.SelectedConsoleEntry || !actions_.FormatDflr) {
        trace_.Trace("TrelkPro: no console entry to measure from the stored position yet");
        return;
    }
    actions_.FormatDflr(actions_.SelectedConsoleEntry());
}

void SlashCommandExecutor::typeStoredPosition() {
    const std::string line = "//dflr " + FormatTenths(position_.PositionX) + " " +
                             FormatTenths(position_.PositionY) + " " +
                             FormatTenths(position_.PositionZ);
    // The line's own 60 backspaces come back through the hook: they must not act.
    dispatcher_.DisarmBackspace();
    sender_.SendToChannel(line, true, 5);
}

void SlashCommandExecutor::pic(std::span<const std::string_view> arguments) {
    if (arguments.empty() || isInteger(arguments.front())) {
        return;
    }
    std::string shown(arguments.front().substr(0, MaxShownWord));
    if (arguments.front().size() > MaxShownWord) {
        shown += "...";
    }
    const std::string message = "'" + shown + "' is not a valid integer value";
    if (actions_.ReportError) {
        actions_.ReportError(message);
    } else {
        trace_.Trace("TrelkPro: //pic: " + message);
    }
}

void SlashCommandExecutor::url(const std::string& clean) {
    // The address is the rest of the cleaned line after the command word and one blank.
    std::size_t start = clean.find_first_not_of(' ');
    start = clean.find(' ', start);
    if (start == std::string::npos) {
        return;
    }
    const std::string address = clean.substr(start + 1, MaxUrlLength);
    if (address.empty()) {
        return;
    }
    if (built(Url, actions_.ShowPilotWebView, actions_.SetPilotUrlRow, actions_.LoadPilotWebPage)) {
        actions_.ShowPilotWebView();
        actions_.SetPilotUrlRow(address);
        actions_.LoadPilotWebPage(address);
    }
}

void SlashCommandExecutor::setTime(bool on) {
    trace_.Trace(std::string("TrelkPro: NexaCSetShowTimeString called with value: ") +
                 (on ? "True" : "False"));
    if (built(on ? TimeOn : TimeOff, actions_.NexaCSetShowTimeString)) {
        actions_.NexaCSetShowTimeString(on);
    }
    options_.DisplayTime.setChecked(on);
}

template <typename... Slots>
bool SlashCommandExecutor::built(std::size_t command, const Slots&... slots) {
    if ((static_cast<bool>(slots) && ...)) {
        return true;
    }
    trace_.Trace(std::string("TrelkPro: ") + Commands[command] +
                 " recognised; its effect is not built in");
    return false;
}

} // namespace trelk
