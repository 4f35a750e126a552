// A chat line as the pilot (or the program itself) sends it with Enter: run by the slash
// commands with every action of the other subsystems wired, the pilot position it may carry
// stored and typed back, and each coordinate word read as the "/lumacor" line reads it.

#include "FuzzInput.h"
#include "KeyDispatcherRig.h"
#include "core/CoordinateText.h"
#include "core/RegistryValues.h"
#include "keyboard/SlashCommands.h"
#include "web/UrlList.h"

namespace {

using namespace trelk;

struct Rig {
    SlashCommandActions actions() {
        return {
            .SelectedConsoleEntry = [] { return std::string("100 200 300 big rock"); },
            .FormatDflr = [](const std::string& entry) { return " (DFLR " + entry + ")"; },
            .SaveDataLists = [] {},
            .LoadSelectedDataList = [] {},
            .ResetEntryCodes = [] {},
            .SwitchGameAutoStart = [](bool) {},
            .SwitchGameAutoExit = [](bool) {},
            .StartMarketLoad = [] {},
            .ForceDatabaseUpdateCheck = [] {},
            .NexaCSetShowTimeString = [](bool) {},
            .ToggleHeadLights = [] {},
            .ConsoleWide = [] { return false; },
            .ShowPilotWebView = [] {},
            .SetPilotUrlRow = [this](const std::string& address) { SetPilotUrl(urls, address); },
            .LoadPilotWebPage = [](const std::string&) {},
            .ReportError = [](const std::string&) {},
        };
    }

    testing::KeyDispatcherRig keys;
    RegistryValues registry{keys.keys.platform.userStore(), [](const std::string&) {}};
    CheckOption logEnabled, marketEnable, displayTime, wideConsole;
    PilotPosition position;
    std::vector<UrlListRow> urls;
    SlashCommandExecutor executor{
        keys.dispatcher, keys.sender,
        registry,        {logEnabled, marketEnable, displayTime, wideConsole},
        position,        keys.keys.trace,
        actions()};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string line(fuzz::Text(data, size));
    for (const std::string_view word : ChatWords(line)) {
        if (const auto tenths = ParseTenths(word)) {
            fuzz::Expect(ParseTenths(FormatTenths(*tenths)) == tenths);
        }
    }
    PilotPosition position;
    (void)position.StorePosition(line);

    Rig rig;
    rig.executor.ExecuteSlashCommand(line);
    // The line as the hook hands it over: after the carriage return of the Enter before.
    rig.executor.ExecuteSlashCommand("\r" + line);
    rig.keys.pump();
    return 0;
}
