#pragma once

#include "addons/AddOnModules.h"
#include "core/HookSlots.h"
#include "platform/ports/Desktop.h"
#include "platform/ports/FileSystem.h"
#include "platform/ports/Keyboard.h"
#include "platform/ports/Launcher.h"
#include "platform/ports/Timers.h"

#include <functional>
#include <memory>
#include <string>

namespace trelk {

// Add-ons that start with TrelkPro: the Setup tab's tick boxes stored in settings section
// "AddOnStartup" (name = program), and the one start shortly after start-up (tmrStartAddon),
// which the game's own automatic start waits for. Main thread only.
class AddOnAutoStart {
public:
    struct Hooks {
        std::function<void(const std::string&)> addLogLine{}; // PilotLog::AddLogLine
        // A message during play: the status bar and the log.
        std::function<void(const std::string&)> reportDuringPlay{};
        // A message for the pilot in TrelkPro's own window (a tick box that could not be saved).
        std::function<void(const std::string&)> reportError{};
    };

    enum class StartStep { NotRun, Running, Done };

    static constexpr const char* Section = "AddOnStartup";
    static constexpr int StartDelayMs = 200;

    AddOnAutoStart(AddOnModules& addOns, FileSystem& files, std::string settingsFile,
                   Desktop& desktop, Keyboard& keyboard, Launcher& launcher, TimerFactory& timers,
                   Hooks hooks);

    // Start-up: the automatic start runs once, StartDelayMs from now.
    void Start();
    void Stop();
    void tmrStartAddonTimer();
    // A tick box of the list changed: the section is rewritten from every row. A ticked row
    // without a program cannot start and is unticked again.
    void clbAddOnsClick();

    StartStep Step() const { return step_; }
    bool StartDone() const { return step_ == StartStep::Done; }
    Timer& tmrStartAddon() { return *tmrStartAddon_; }
    const Hooks& hooks() const { return hooks_; }

private:
    void StartOne(const std::string& name, const std::string& path);
    void Say(const std::function<void(const std::string&)>& sink, const std::string& text);

    AddOnModules& addOns_;
    FileSystem& files_;
    std::string settingsFile_;
    Desktop& desktop_;
    Keyboard& keyboard_;
    Launcher& launcher_;
    Hooks hooks_;
    std::unique_ptr<Timer> tmrStartAddon_;
    StartStep step_ = StartStep::NotRun;
};

template <> struct HookSlotList<AddOnAutoStart::Hooks> {
    using S = AddOnAutoStart::Hooks;
    static constexpr const char* Name = "AddOnAutoStart::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, addLogLine),
        TRELK_HOOK_SLOT(S, reportDuringPlay),
        TRELK_HOOK_SLOT(S, reportError),
    };
};
static_assert(ListsEverySlot<AddOnAutoStart::Hooks>());

} // namespace trelk
