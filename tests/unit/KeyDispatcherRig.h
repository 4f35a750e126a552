#pragma once

// The dispatcher on the sim platform as the main window runs it: the real hook path, the real
// key string sender and the stand-in game. The actions of subsystems not built here are
// recorded as lines ("PlayMacro 5"); a test sets the answers of the questions.

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
    explicit KeyDispatcherRig(std::string photoDir = "/opt/trelk/Photo/")
        : dispatcher(keyMap, keys.platform.keyboard(), sender, keys.platform.timers(),
                     keys.platform.clock(), screen, keys.trace, photoEnabled, std::move(photoDir),
                     KeyStringSender::ClearLineString()) {
        keys.onMessage = [this](std::uint32_t vk, std::uint32_t flags) {
            dispatcher.HandleHookKey(vk, flags);
        };
        hookOn = keys.hookOn();
        recordActions();
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
    KeyStringSender sender{keys.platform.keyboard(), keys.platform.eventLoop()};
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
    // Run inside DeleteCurrentLogEntry (the log view types the next entry).
    std::function<void()> onDeleteLogEntry;

private:
    void recordActions() {
        DispatcherActions& a = dispatcher.Actions;
        auto record = [this](std::string line) { calls.push_back(std::move(line)); };
        a.ShowConsole = [this, record] {
            record("ShowConsole");
            consoleVisible = true;
        };
        a.HideConsole = [this, record] {
            record("HideConsole");
            consoleVisible = false;
        };
        a.ConsoleVisible = [this] { return consoleVisible; };
        a.ResetMenu = [record] { record("ResetMenu"); };
        a.ChangeLevel = [record](bool up) { record(up ? "ChangeLevel up" : "ChangeLevel down"); };
        a.ListStep = [record](bool up) { record(up ? "ListStep up" : "ListStep down"); };
        a.ListPage = [record](bool up) { record(up ? "ListPage up" : "ListPage down"); };
        a.ScrollText = [record](bool left) {
            record(left ? "ScrollText left" : "ScrollText right");
        };
        a.CurrentLevelSelection = [this] { return levelSelection; };
        a.NextEntryStep = [record](bool backwards) {
            record(backwards ? "NextEntryStep back" : "NextEntryStep");
        };
        a.MarkSentEntry = [record] { record("MarkSentEntry"); };
        a.EntrySendMode = [this] { return entrySendMode; };
        a.InfoMode = [this] { return infoMode; };
        a.SetEntryIndex = [record](int index) { record("EntryIndex " + std::to_string(index)); };
        a.AddonPageActive = [this] { return addonPage; };
        a.AddonHoldsUpLevel = [this] { return addonHoldsUpLevel; };
        a.HandBackUpLevel = [record] { record("HandBackUpLevel"); };
        a.AddonDownLevelFollowUp = [record] { record("AddonDownLevelFollowUp"); };
        a.PlayMacro = [this, record](int n) {
            record("PlayMacro " + std::to_string(n) + (dispatcher.MacroKeyHeld ? " held" : "") +
                   (dispatcher.MacroKeyArmed ? " armed" : ""));
        };
        a.ToggleScan = [record] { record("ToggleScan"); };
        a.StopAlarmRepeat = [] {};
        a.Docked = [this] { return docked; };
        a.ExecuteSlashCommand = [this](const std::string& line) { slashCommands.push_back(line); };
        a.NexaCChannelF5Active = [record] { record("NexaCChannelF5Active"); };
        a.UserCommandList = [this] { return userCommands; };
        a.AddLogLine = [this](const std::string& line) { logLines.push_back(line); };
        a.DeleteCurrentLogEntry = [this, record] {
            record("DeleteCurrentLogEntry");
            if (onDeleteLogEntry) {
                onDeleteLogEntry();
            }
        };
        a.LogListEmpty = [this] { return logListEmpty; };
        a.WriteInterfaceValue = [record](const std::string& name, const std::string& value) {
            record(name + "=" + value);
        };
        a.reportError = [record](const std::string& message) { record("error: " + message); };
        a.playShortSound = [record] { record("sound"); };
    }
};

} // namespace trelk::testing
