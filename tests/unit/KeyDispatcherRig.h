#pragma once

// The dispatcher on the sim platform as the main window runs it: the real hook path, the real
// key string sender and the stand-in game. The actions of subsystems not built here are
// recorded as lines ("PlayMacro 5"); a test sets the answers of the questions and hands the
// subsystems it builds behind the dispatcher to the on... members.

#include "SimKeysRig.h"
#include "core/CheckOption.h"
#include "core/SettingsValues.h"
#include "keyboard/KeyDispatcher.h"
#include "keyboard/KeyMap.h"
#include "macros/KeyStringSender.h"
#include "platform/sim/SimScreenCapture.h"

#include <atomic>
#include <string>
#include <vector>

namespace trelk::testing {

class KeyDispatcherRig {
public:
    // unwired: the dispatcher without any other subsystem.
    explicit KeyDispatcherRig(std::string photoDir = "/opt/trelk/Photo/", bool unwired = false)
        : dispatcher(keyMap, keys.platform.keyboard(), sender, keys.platform.timers(),
                     keys.platform.clock(), keys.platform.desktop(), screen,
                     keys.platform.fileSystem(), keys.trace, photoEnabled, std::move(photoDir),
                     KeyStringSender::ClearLineString(),
                     unwired ? DispatcherActions{} : recordedActions()) {
        keys.onMessage = [this](std::uint32_t vk, std::uint32_t flags) {
            dispatcher.HandleHookKey(vk, flags);
        };
        hookOn = keys.hookOn();
    }

    SimKeyboard& keyboard() { return keys.platform.simKeyboard(); }
    SimGame& game() { return keys.platform.game(); }
    // The hook's messages reach the window when the main thread processes its queue.
    void pump() { keys.platform.simLoop().processPendingMessages(); }
    void press(int vk) {
        keyboard().pilotPress(vk);
        pump();
    }
    void release(int vk) {
        keyboard().pilotRelease(vk);
        pump();
    }
    void tap(int vk) {
        press(vk);
        release(vk);
    }
    void type(const std::string& text) {
        for (const char c : text) {
            keyboard().pilotTypes(std::string(1, c));
            pump();
        }
    }
    // The clock moves on with the main loop running.
    void wait(int ms) { keys.platform.step(ms); }
    int count(const std::string& call) const {
        int n = 0;
        for (const auto& line : calls) {
            n += line == call ? 1 : 0;
        }
        return n;
    }
    int injectedDowns(int vk) const {
        int n = 0;
        for (const auto& event : keys.platform.simKeyboard().injected()) {
            n += event.virtualKey == vk && !event.keyUp ? 1 : 0;
        }
        return n;
    }

    SimKeysRig keys;
    std::atomic<bool> shuttingDown{false};
    Settings settings = DefaultSettings(SimKeysRig::AppDir);
    // As the program wires them: the dispatcher is made after the sender, and its hooks run
    // only once both exist.
    KeyStringSender sender{keys.platform.keyboard(),
                           keys.platform.eventLoop(),
                           {.onSendKeyString = [this] { dispatcher.DisarmMacroKey(); },
                            .onSendToChannel = [this] { dispatcher.SetEntrySent(false); }}};
    KeyMap keyMap{settings.KeyMap.KM, keys.platform.keyboard(), keys.platform.eventLoop(),
                  shuttingDown};
    CheckOption photoEnabled;
    SimScreenCapture screen;
    KeyDispatcher dispatcher;
    bool hookOn = false;

    // What the other subsystems were asked, and the answers they give.
    std::vector<std::string> calls;
    bool consoleVisible = false;
    bool addonPage = false;
    bool addonHoldsUpLevel = false;
    bool docked = false;
    bool entrySendMode = false;
    bool infoMode = false;
    bool logListEmpty = false;
    int levelSelection = 0;
    std::vector<std::string> userCommands;
    std::vector<std::string> logLines;
    std::vector<std::string> slashCommands;
    // Where a test puts the subsystems it builds behind the dispatcher.
    std::function<void()> onDeleteLogEntry; // the log view types the next entry
    std::function<void()> onHideConsole;
    std::function<void(int n)> onPlayMacro;
    std::function<void(bool backwards)> onNextEntry; // the database pages type the entry
    std::function<void(const std::string& line)> onSlashCommand;
    // The user command list; unset: userCommands.
    std::function<std::vector<std::string>()> commandSource;

private:
    DispatcherActions recordedActions() {
        auto record = [this](std::string line) { calls.push_back(std::move(line)); };
        auto forward = [](const std::function<void()>& to) {
            if (to) {
                to();
            }
        };
        return {
            .ShowConsole =
                [this, record] {
                    record("ShowConsole");
                    consoleVisible = true;
                },
            .HideConsole =
                [this, record, forward] {
                    record("HideConsole");
                    consoleVisible = false;
                    forward(onHideConsole);
                },
            .ConsoleVisible = [this] { return consoleVisible; },
            .ResetMenu = [record] { record("ResetMenu"); },
            .ChangeLevel =
                [record](bool up) { record(up ? "ChangeLevel up" : "ChangeLevel down"); },
            .ListStep = [record](bool up) { record(up ? "ListStep up" : "ListStep down"); },
            .ListPage = [record](bool up) { record(up ? "ListPage up" : "ListPage down"); },
            .ScrollText =
                [record](bool left) { record(left ? "ScrollText left" : "ScrollText right"); },
            .CurrentLevelSelection = [this] { return levelSelection; },
            .NextEntryStep =
                [this, record](bool backwards) {
                    record(backwards ? "NextEntryStep back" : "NextEntryStep");
                    if (onNextEntry) {
                        onNextEntry(backwards);
                    }
                },
            .MarkSentEntry = [record] { record("MarkSentEntry"); },
            .EntrySendMode = [this] { return entrySendMode; },
            .InfoMode = [this] { return infoMode; },
            .SetEntryIndex = [record](int index) { record("EntryIndex " + std::to_string(index)); },
            .AddonPageActive = [this] { return addonPage; },
            .AddonHoldsUpLevel = [this] { return addonHoldsUpLevel; },
            .HandBackUpLevel = [record] { record("HandBackUpLevel"); },
            .AddonDownLevelFollowUp = [record] { record("AddonDownLevelFollowUp"); },
            .PlayMacro =
                [this, record](int n) {
                    record("PlayMacro " + std::to_string(n) +
                           (dispatcher.MacroKeyHeld() ? " held" : "") +
                           (dispatcher.MacroKeyArmed() ? " armed" : ""));
                    if (onPlayMacro) {
                        onPlayMacro(n);
                    }
                },
            .ToggleScan = [record] { record("ToggleScan"); },
            .StopAlarmRepeat = [] {},
            .Docked = [this] { return docked; },
            .ExecuteSlashCommand =
                [this](const std::string& line) {
                    slashCommands.push_back(line);
                    if (onSlashCommand) {
                        onSlashCommand(line);
                    }
                },
            .NexaCChannelF5Active = [record] { record("NexaCChannelF5Active"); },
            .UserCommandList = [this] { return commandSource ? commandSource() : userCommands; },
            .AddLogLine = [this](const std::string& line) { logLines.push_back(line); },
            .DeleteCurrentLogEntry =
                [this, record, forward] {
                    record("DeleteCurrentLogEntry");
                    forward(onDeleteLogEntry);
                },
            .LogListEmpty = [this] { return logListEmpty; },
            .WriteInterfaceValue =
                [record](const std::string& name, const std::string& value) {
                    record(name + "=" + value);
                },
            .reportError = [record](const std::string& message) { record("error: " + message); },
            .playShortSound = [record] { record("sound"); },
        };
    }
};

} // namespace trelk::testing
