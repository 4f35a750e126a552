#pragma once

#include "HookMessageReceiver.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace trelk {

// The main window as the application core drives it. The GUI implements it with widgets; the
// sim platform records what was asked of it.
class MainWindow {
public:
    virtual ~MainWindow() = default;

    virtual void showNormalAndActivate() = 0;
    virtual void hideWindow() = 0;
    virtual bool isWindowVisible() const = 0;
    // True while one of TrelkPro's own windows (the main window or a dialog of it) has the
    // keyboard focus: the pilot works in TrelkPro, not in the game.
    virtual bool ownWindowActive() const = 0;

    virtual void setCaption(const std::string& caption) = 0;
    virtual void setTrayHint(const std::string& hint) = 0;
    // Panel 0 or 1 of the status bar.
    virtual void setStatusText(int panel, const std::string& text) = 0;
    virtual void setActiveTab(const std::string& tabSheetName) = 0;

    // The KeyMap tab's application-wide filter, which shows a key capture the program's own
    // key messages (Pause and the extended flag, which the hook does not report there):
    // installed at start-up, removed when the window is destroyed.
    virtual void installKeyMapMessageFilter() = 0;
    virtual void removeKeyMapMessageFilter() = 0;
    // The KeyMap tab's panels show the key map just loaded.
    virtual void refreshKeyMapPanels() = 0;

    // The window asks for the pilot's attention (its task-bar entry or frame flashes) until
    // the pilot turns to it.
    virtual void flashWindow() = 0;

    // The coordinate database download dialog (fmTrelkConv), modal over this window: shown
    // without waiting for it, and closed when the download is over or the program closes.
    virtual void showDatabaseDialog() = 0;
    virtual void closeDatabaseDialog() = 0;

    // Ends the message loop once the core has allowed the close.
    virtual void destroyWindow() = 0;

    // The window system's handle of the main window, which the hook library notifies.
    virtual std::uint32_t windowHandle() const = 0;
    // Receives the hook library's key message (virtual key, keystroke flags), in order, on
    // the main thread.
    using HookMessageHandler = trelk::HookMessageHandler;
    virtual void setHookMessageHandler(HookMessageHandler handler) = 0;
};

// One choice of an open-file dialog's type list: its caption and the file name patterns it
// shows ("*.desktop", or an exact name such as "voidline").
struct FileFilter {
    std::string caption;
    std::vector<std::string> patterns;
    friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

// What an open-file dialog shows: its title, the type list (the first one chosen), and the
// folder and file name it starts with (either may be empty).
struct FileChoice {
    std::string title;
    std::vector<FileFilter> filters;
    std::string initialFolder;
    std::string initialFile;
};

// Modal questions, messages and file dialogs. Tests answer them through the sim platform.
class Prompts {
public:
    virtual ~Prompts() = default;
    // A Yes/No confirmation; true for Yes.
    virtual bool confirm(const std::string& text) = 0;
    // An error message the user acknowledges.
    virtual void showError(const std::string& text) = 0;
    // An existing file the user picks; nullopt when the dialog is cancelled.
    virtual std::optional<std::string> chooseFileToOpen(const FileChoice& choice) = 0;
};

} // namespace trelk
