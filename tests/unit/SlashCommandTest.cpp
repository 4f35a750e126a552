#include "KeyDispatcherRig.h"
#include "core/RegistryValues.h"
#include "keyboard/SlashCommands.h"
#include "platform/ports/VirtualKeys.h"
#include "web/UrlList.h"

#include <algorithm>
#include <cctype>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <random>

namespace trelk::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

// The executor behind the dispatcher as the main window wires it: lines typed by the pilot on
// the sim keyboard reach it on Enter, and what it types lands in the stand-in game.
class SlashCommandTest : public ::testing::Test {
protected:
    SlashCommandTest() {
        rig.onSlashCommand = [this](const std::string& line) {
            executor->ExecuteSlashCommand(line);
        };
        for (CheckOption* option : {&logEnabled, &marketEnable, &displayTime, &wideConsole}) {
            option->setOnClick([this, option] {
                clicks.push_back(option == &logEnabled     ? "LogEnabled"
                                 : option == &marketEnable ? "MarketEnable"
                                 : option == &displayTime  ? "DisplayTime"
                                                           : "WideConsole");
            });
        }
    }

    // An executor as the composition root makes it, with these actions.
    std::unique_ptr<SlashCommandExecutor> makeExecutor(SlashCommandActions commandActions) {
        return std::make_unique<SlashCommandExecutor>(
            rig.dispatcher, rig.sender, registry,
            SlashCommandOptions{logEnabled, marketEnable, displayTime, wideConsole}, position,
            rig.keys.trace, std::move(commandActions));
    }

    // Every action of a later subsystem, recorded in the order called.
    void wireAllActions() {
        executor = makeExecutor({
            .SelectedConsoleEntry = [] { return std::string("100 200 300 big rock"); },
            .FormatDflr =
                [this](const std::string& entry) {
                    actions.push_back("FormatDflr " + entry);
                    return std::string(" (DFLR 1k)");
                },
            .SaveDataLists = [this] { actions.push_back("SaveDataLists"); },
            .LoadSelectedDataList = [this] { actions.push_back("LoadSelectedDataList"); },
            .ResetEntryCodes = [this] { actions.push_back("ResetEntryCodes"); },
            .SwitchGameAutoStart =
                [this](bool on) { actions.push_back(on ? "AutoStart on" : "AutoStart off"); },
            .SwitchGameAutoExit =
                [this](bool on) { actions.push_back(on ? "AutoExit on" : "AutoExit off"); },
            .StartMarketLoad =
                [this] {
                    actions.push_back(marketEnable.checked() ? "StartMarketLoad enabled"
                                                             : "StartMarketLoad");
                },
            .ForceDatabaseUpdateCheck = [this] { actions.push_back("ForceDatabaseUpdateCheck"); },
            .NexaCSetShowTimeString =
                [this](bool on) { actions.push_back(on ? "ShowTime on" : "ShowTime off"); },
            .ToggleHeadLights = [this] { actions.push_back("ToggleHeadLights"); },
            .ConsoleWide = [this] { return consoleWide; },
            .ShowPilotWebView = [this] { actions.push_back("ShowPilotWebView"); },
            .SetPilotUrlRow = [this](const std::string& address) { SetPilotUrl(urls, address); },
            .LoadPilotWebPage =
                [this](const std::string& address) {
                    actions.push_back("LoadPilotWebPage " + address);
                },
            .ReportError =
                [this](const std::string& message) { actions.push_back("error " + message); },
        });
    }

    bool run(const std::string& line) { return executor->ExecuteSlashCommand(line); }
    std::optional<std::string> stored(const char* key, const char* name) {
        return rig.keys.platform.simStore().getString(key, name);
    }
    bool traced(const std::string& line) {
        const auto& lines = rig.keys.traces();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }

    KeyDispatcherRig rig;
    std::vector<std::string> storeFailures;
    RegistryValues registry{rig.keys.platform.userStore(),
                            [this](const std::string& m) { storeFailures.push_back(m); }};
    CheckOption logEnabled, marketEnable, displayTime, wideConsole;
    PilotPosition position;
    // Nothing of the later subsystems built in, until wireAllActions.
    std::unique_ptr<SlashCommandExecutor> executor = makeExecutor({});
    std::vector<std::string> clicks;
    std::vector<std::string> actions;
    std::vector<UrlListRow> urls;
    bool consoleWide = false;
};

// The command words in the order they are matched; a command's number is its place here.
const std::vector<std::string> CommandWords = {
    "/lumacor",   "//load",        "//load+",        "//logon",      "//logoff",      "//loadroid",
    "//loadarti", "//autostarton", "//autostartoff", "//autoexiton", "//autoexitoff", "//viewlog",
    "//dflr",     "//reset",       "//getmarket",    "//getroid",    "//jcmd",        "//ucmd",
    "//pic",      "//picoff",      "//timeon",       "//timeoff",    "//test",        "//hl",
    "//wide",     "//url"};

TEST_F(SlashCommandTest, EveryCommandIsRecognisedWithoutCaseAndNearMissesAreNot) {
    EXPECT_EQ(std::vector<std::string>(SlashCommandExecutor::Commands.begin(),
                                       SlashCommandExecutor::Commands.end()),
              CommandWords);
    for (std::size_t n = 0; n < CommandWords.size(); ++n) {
        const std::string& command = CommandWords[n];
        std::string upper(command);
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        EXPECT_EQ(SlashCommandExecutor::FindCommand(command), n) << command;
        EXPECT_EQ(SlashCommandExecutor::FindCommand(upper), n) << upper;
    }
    EXPECT_EQ(SlashCommandExecutor::FindCommand("//Load+"), 2U);
    EXPECT_EQ(SlashCommandExecutor::FindCommand("/LUMACOR"), 0U);
    for (const char* nearMiss :
         {"/logon", "///logon", "//logon2", "//log", "logon", "//lumacor", "lumacor", "/", "//",
          "//load++", "//urls", "//te st", "", "//logon\r", "//l\xD6gon"}) {
        EXPECT_FALSE(SlashCommandExecutor::FindCommand(nearMiss)) << nearMiss;
    }

    // Whole lines: the carriage return of the previous Enter, leading blanks, extra words.
    EXPECT_TRUE(run("\r//LOGON now"));
    EXPECT_TRUE(logEnabled.checked());
    EXPECT_TRUE(run("\r  //logoff"));
    EXPECT_FALSE(logEnabled.checked());
    EXPECT_FALSE(run("\r/logon"));
    EXPECT_FALSE(run("\rsay //logon"));
    EXPECT_FALSE(run("\r"));
    EXPECT_THAT(clicks, ElementsAre("LogEnabled", "LogEnabled"));
}

TEST_F(SlashCommandTest, EveryLineWritesInputAndSlashLinesAlsoTheLastCommand) {
    run("\rhello pilots");
    EXPECT_EQ(stored(RegistryValues::InterfaceKey, "Input"), "hello pilots");
    EXPECT_EQ(stored(RegistryValues::ScriptKey, "lastcommand"), std::nullopt);

    run("\r/wave caf\xE9\x01 ok");
    EXPECT_EQ(stored(RegistryValues::InterfaceKey, "Input"), "/wave caf ok");
    EXPECT_EQ(stored(RegistryValues::ScriptKey, "lastcommand"), "/wave caf ok");

    // Nothing printable: nothing written.
    run("\r\x7F\xFF");
    EXPECT_EQ(stored(RegistryValues::InterfaceKey, "Input"), "/wave caf ok");

    // A broken store is reported once and the command still runs.
    rig.keys.platform.simStore().setFailure("locked");
    EXPECT_TRUE(run("\r//jcmd"));
    EXPECT_TRUE(run("\r//jcmd"));
    EXPECT_TRUE(rig.dispatcher.BuiltinCmdListMode());
    EXPECT_EQ(storeFailures.size(), 1U);
}

TEST_F(SlashCommandTest, TypedCommandsSwitchTheDispatcherAndTheCheckBoxes) {
    wireAllActions();
    rig.type("//viewlog\n//jcmd\n");
    EXPECT_TRUE(rig.dispatcher.LogViewMode());
    EXPECT_TRUE(rig.dispatcher.BuiltinCmdListMode());
    rig.type("//ucmd\n//logon\n//logon\n//autostarton\n//autoexiton\n//autoexitoff\n");
    EXPECT_FALSE(rig.dispatcher.BuiltinCmdListMode());
    EXPECT_TRUE(logEnabled.checked());
    rig.type("//autostartoff\n");
    // Each handler ran once per real change, as a click would.
    EXPECT_THAT(clicks, ElementsAre("LogEnabled"));
    // The game's switches are its own: every command reaches them, changed or not.
    EXPECT_THAT(actions,
                ElementsAre("AutoStart on", "AutoExit on", "AutoExit off", "AutoStart off"));
    EXPECT_THAT(rig.slashCommands, Contains("\r//autostartoff"));
}

TEST_F(SlashCommandTest, TestTypesItsLineWithEnterOnChannelThree) {
    rig.type("//test\n");
    EXPECT_THAT(rig.game().transcript(),
                ElementsAre("1\t//test", "3\tTesting Trelk Slash Command....."));
    EXPECT_EQ(rig.game().chatLine(), "");
    // The typed line came back through the hook and ran as an ordinary line.
    EXPECT_THAT(rig.slashCommands,
                Contains(::testing::EndsWith("Testing Trelk Slash Command.....")));
    EXPECT_EQ(stored(RegistryValues::InterfaceKey, "Input"), "Testing Trelk Slash Command.....");
}

TEST_F(SlashCommandTest, LumacorStoresThePositionAndDflrTypesItBack) {
    wireAllActions();
    rig.type("/lumacor 12.5 -3 7.2\n");
    EXPECT_EQ(position.PositionX, 125);
    EXPECT_EQ(position.PositionY, -30);
    EXPECT_EQ(position.PositionZ, 72);
    EXPECT_TRUE(position.PositionValid);
    EXPECT_THAT(actions, ElementsAre("FormatDflr 100 200 300 big rock"));

    rig.type("//dflr\n");
    EXPECT_EQ(rig.game().chatLine(), "//dflr 12.5 -3 7.2");
    EXPECT_EQ(rig.game().channel(), 5);
    // The line's injected backspaces re-armed the guard.
    EXPECT_TRUE(rig.dispatcher.BackspaceArmed());
    EXPECT_EQ(actions.size(), 1U);

    // With coordinates it stores like "/lumacor"; fewer than three types the position again.
    run("\r//dflr 1 2 3");
    EXPECT_EQ(position.PositionZ, 30);
    EXPECT_EQ(actions.size(), 2U);
    rig.tap(Vk::Escape);
    run("\r//dflr 7 8");
    EXPECT_EQ(rig.game().chatLine(), "//dflr 1 2 3");
    EXPECT_EQ(position.PositionX, 10);
}

TEST_F(SlashCommandTest, AnEntryConfirmedWithEnterBecomesThePosition) {
    // NextLumacor typed the entry with its distance text; the pilot sends it.
    rig.sender.SendToChannel("/lumacor 100 200 300 big rock (DFLR ---)", true, 5);
    rig.type("\n");
    EXPECT_EQ(rig.game().transcript().back(), "5\t/lumacor 100 200 300 big rock (DFLR ---)");
    EXPECT_EQ(position.PositionX, 1000);
    EXPECT_EQ(position.PositionY, 2000);
    EXPECT_EQ(position.PositionZ, 3000);
    EXPECT_TRUE(position.PositionValid);
}

TEST_F(SlashCommandTest, GarbageCoordinatesNeverBecomeAValidPosition) {
    run("\r/lumacor 5 5 5");
    run("\r/lumacor 1 x 3");
    EXPECT_EQ(position.PositionX, 10);
    EXPECT_EQ(position.PositionY, 50);
    EXPECT_FALSE(position.PositionValid);

    run("\r/lumacor 5 5 5");
    for (const std::string line : {"\r/lumacor", "\r/lumacor 1e99 2 3",
                                   "\r/lumacor 1\x01"
                                   "2 3 4",
                                   "\r/lumacor 1\xA0"
                                   "2 3 4",
                                   "\r/lumacor 2147483648 0 0", "\r/lumacor 1,5 2 3"}) {
        run(line);
        EXPECT_EQ(position.PositionX, 50) << line;
        EXPECT_FALSE(position.PositionValid) << line;
        run("\r/lumacor 5 5 5");
    }
    // Bytes the cleaning removes before the command word do not shift the arguments.
    run("\r\xE9 /lumacor 1 2 3");
    EXPECT_EQ(position.PositionX, 10);
    EXPECT_TRUE(position.PositionValid);

    // The extremes of the store are typed back exactly.
    run("\r/lumacor -214748364.8 214748364.7 0.05");
    EXPECT_TRUE(position.PositionValid);
    rig.tap(Vk::Escape);
    run("\r//dflr");
    EXPECT_EQ(rig.game().chatLine(), "//dflr -214748364.8 214748364.7 0");
}

TEST_F(SlashCommandTest, CommandsOfLaterSubsystemsCallTheirActions) {
    wireAllActions();
    for (const char* line :
         {"//load", "//load x", "//load+ MyLumacor.dat", "//reset", "//getmarket", "//getroid",
          "//timeon", "//timeoff", "//hl", "//loadroid", "//loadarti", "//picoff", "//pic",
          "//pic 12", "//pic -3", "//pic twelve", "//pic 99999999999"}) {
        EXPECT_TRUE(run(std::string("\r") + line)) << line;
    }
    EXPECT_THAT(actions,
                ElementsAre("SaveDataLists", "LoadSelectedDataList", "SaveDataLists",
                            "LoadSelectedDataList", "ResetEntryCodes", "StartMarketLoad enabled",
                            "ForceDatabaseUpdateCheck", "ShowTime on", "ShowTime off",
                            "ToggleHeadLights", "error 'twelve' is not a valid integer value",
                            "error '99999999999' is not a valid integer value"));
    EXPECT_THAT(clicks, ElementsAre("MarketEnable", "DisplayTime", "DisplayTime"));
    EXPECT_TRUE(traced("TrelkPro: NexaCSetShowTimeString called with value: True"));
    EXPECT_TRUE(traced("TrelkPro: NexaCSetShowTimeString called with value: False"));

    // The console's wide state decides, not the box.
    consoleWide = true;
    run("\r//wide");
    EXPECT_FALSE(wideConsole.checked());
    consoleWide = false;
    run("\r//wide");
    EXPECT_TRUE(wideConsole.checked());
}

TEST_F(SlashCommandTest, CommandsWithoutTheirSubsystemDoWhatTheyCanAndTraceTheRest) {
    for (const char* line : {"//getmarket", "//getroid", "//reset", "//hl", "//load x", "//timeon",
                             "//url example.org", "/lumacor 1 2 3"}) {
        EXPECT_TRUE(run(std::string("\r") + line)) << line;
    }
    EXPECT_TRUE(marketEnable.checked());
    EXPECT_TRUE(displayTime.checked());
    EXPECT_TRUE(position.PositionValid);
    EXPECT_TRUE(traced("TrelkPro: //getroid recognised; its effect is not built in"));
    EXPECT_TRUE(traced("TrelkPro: //url recognised; its effect is not built in"));
    // "//wide" falls back to the box's own state.
    run("\r//wide");
    run("\r//wide");
    run("\r//wide");
    EXPECT_TRUE(wideConsole.checked());
}

// Half an effect would leave the console switched to a page nobody loads, or the Files tab's
// lists saved but never reloaded: a command runs all of its effect or none of it.
TEST_F(SlashCommandTest, AnEffectMissingOneOfItsSlotsDoesNotRunAtAll) {
    executor = makeExecutor({
        .SaveDataLists = [this] { actions.push_back("SaveDataLists"); },
        .ShowPilotWebView = [this] { actions.push_back("ShowPilotWebView"); },
        .LoadPilotWebPage =
            [this](const std::string& address) {
                actions.push_back("LoadPilotWebPage " + address);
            },
    });
    rig.keys.trace.setEnabled(true);
    run("\r//url a.example");
    run("\r//load x");
    EXPECT_THAT(actions, IsEmpty());
    const auto& lines = rig.keys.traces();
    EXPECT_EQ(std::count(lines.begin(), lines.end(),
                         "TrelkPro: //url recognised; its effect is not built in"),
              1);
    EXPECT_TRUE(traced("TrelkPro: //load recognised; its effect is not built in"));
}

TEST_F(SlashCommandTest, UrlSetsThePilotRowOfTheList) {
    wireAllActions();
    run("\r//url");
    run("\r//url ");
    EXPECT_THAT(actions, IsEmpty());

    urls = {{"Voidline news", "news.example"}};
    run("\r//URL http://a.example/x?y=1 z");
    EXPECT_THAT(actions,
                ElementsAre("ShowPilotWebView", "LoadPilotWebPage http://a.example/x?y=1 z"));
    run("\r//url b.example");
    EXPECT_THAT(urls, ElementsAre(UrlListRow{"Pilot Define URL: b.example", "b.example"},
                                  UrlListRow{"Voidline news", "news.example"}));

    const std::string longAddress(300, 'a');
    run("\r//url " + longAddress);
    EXPECT_EQ(urls.size(), 2U);
    EXPECT_EQ(urls.front().Url, std::string(SlashCommandExecutor::MaxUrlLength, 'a'));

    std::vector<UrlListRow> empty;
    SetPilotUrl(empty, "c.example");
    EXPECT_THAT(empty, ElementsAre(UrlListRow{"Pilot Define URL: c.example", "c.example"}));
}

TEST_F(SlashCommandTest, HostileLinesNeverCrash) {
    wireAllActions();
    std::mt19937 random(4);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> pick(0, 25);
    std::uniform_int_distribution<std::size_t> length(0, 300);
    for (int n = 0; n < 3000; ++n) {
        std::string line = "\r";
        if (n % 2 == 0) {
            line += CommandWords[static_cast<std::size_t>(pick(random))];
            line += ' ';
        }
        const std::size_t size = length(random);
        for (std::size_t i = 0; i < size; ++i) {
            line += static_cast<char>(byte(random));
        }
        run(line);
        // A guard left disarmed is re-armed by the pilot's next Backspace.
        if (!rig.dispatcher.BackspaceArmed()) {
            rig.tap(Vk::Back);
        }
    }
    // Very long lines and numbers.
    run("\r/lumacor " + std::string(1 << 20, '7') + " 1 2");
    EXPECT_FALSE(position.PositionValid);
    run("\r//url " + std::string(1 << 20, 'u'));
    EXPECT_EQ(urls.front().Url.size(), SlashCommandExecutor::MaxUrlLength);
    run("\r//pic " + std::string(1 << 20, 'p'));
    EXPECT_EQ(actions.back(),
              "error '" + std::string(64, 'p') + "...' is not a valid integer value");
}

} // namespace
} // namespace trelk::testing
