#include "addons/AddOnAutoStart.h"

#include "core/AppPaths.h"
#include "core/IniFile.h"
#include "platform/ports/VirtualKeys.h"

#include <utility>

namespace trelk {

AddOnAutoStart::AddOnAutoStart(AddOnModules& addOns, FileSystem& files, std::string settingsFile,
                               Desktop& desktop, Keyboard& keyboard, Launcher& launcher,
                               TimerFactory& timers, Hooks hooks)
    : addOns_(addOns), files_(files), settingsFile_(std::move(settingsFile)), desktop_(desktop),
      keyboard_(keyboard), launcher_(launcher), hooks_(std::move(hooks)),
      tmrStartAddon_(timers.createTimer("tmrStartAddon", StartDelayMs)) {
    tmrStartAddon_->setHandler([this] { tmrStartAddonTimer(); });
}

void AddOnAutoStart::Start() {
    tmrStartAddon_->setEnabled(true);
}

void AddOnAutoStart::Stop() {
    tmrStartAddon_->setEnabled(false);
}

void AddOnAutoStart::tmrStartAddonTimer() {
    step_ = StartStep::Running;
    tmrStartAddon_->setEnabled(false);
    const std::optional<Keyboard::KeyboardState> keys = keyboard_.currentState();
    const bool shiftHeld = keys && ((*keys)[Vk::Shift] & 0x80) != 0;
    if (!shiftHeld) {
        IniFile ini;
        const IniResult loaded = ini.Load(files_, settingsFile_);
        if (!loaded.ok) {
            Say(hooks_.reportDuringPlay, "Add-ons were not started: " + loaded.message);
        }
        const std::vector<std::string> names = ini.keyNames(Section);
        addOns_.SetAutoStartNames(names);
        for (const std::string& name : names) {
            StartOne(name, ini.readString(Section, name, ""));
        }
    }
    step_ = StartStep::Done;
}

void AddOnAutoStart::StartOne(const std::string& name, const std::string& path) {
    if (desktop_.topLevelWindowExists(name)) {
        return; // already running
    }
    Say(hooks_.addLogLine, "Starting Addon " + name);
    if (!launcher_.startProgram(path, FolderOf(path))) {
        Say(hooks_.reportDuringPlay,
            "Addon " + name + " was not started: " + launcher_.lastLaunchError());
    }
}

void AddOnAutoStart::clbAddOnsClick() {
    IniFile ini;
    IniResult result = ini.Load(files_, settingsFile_);
    const std::vector<AddOnRow>& rows = addOns_.Rows();
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const AddOnRow& addOn = rows[row];
        if (addOn.Checked && !addOn.Path.empty()) {
            ini.writeString(Section, addOn.Name, addOn.Path);
        } else {
            if (addOn.Checked) {
                addOns_.SetRowChecked(row, false);
            }
            ini.deleteKey(Section, addOn.Name);
        }
    }
    // Saving over a file that could not be read would drop every other section in it.
    if (result.ok) {
        result = ini.Save(files_, settingsFile_);
    }
    if (!result.ok) {
        Say(hooks_.reportError, "The add-on start list was not saved. " + result.message);
    }
}

void AddOnAutoStart::Say(const std::function<void(const std::string&)>& sink,
                         const std::string& text) {
    if (sink) {
        sink(text);
    }
}

} // namespace trelk
