#pragma once

#include "CommandListStepper.h"
#include "DispatcherActions.h"
#include "KeyMap.h"
#include "core/CheckOption.h"
#include "core/TraceOutput.h"
#include "macros/KeyStringSender.h"
#include "platform/ports/Clock.h"
#include "platform/ports/Keyboard.h"
#include "platform/ports/ScreenCapture.h"
#include "platform/ports/Timers.h"
#include "platform/ports/VirtualKeys.h"

#include <cstdint>
#include <string>

namespace trelk {

enum class KeyEventKindType { Pressed, Repeat, Released };

// Turns every key event of the hook into the program's actions: console navigation, the
// command list, macro hot keys, screen pictures, and the copy of the chat line being typed
// that is logged and run as a slash command on Enter.
//
// The program's own injected keys come back through the hook while an action that typed them
// is still running, so HandleHookKey runs nested; BackspaceArmed, OtherKeySinceBackspace and
// MacroKeyArmed keep those nested events from triggering actions again.
class KeyDispatcher {
public:
    // The KeyString byte of F5 (chat channel 5).
    static constexpr char F5Code = static_cast<char>(232);

    KeyDispatcher(KeyMap& keyMap, Keyboard& keyboard, KeyStringSender& sender, TimerFactory& timers,
                  Clock& clock, ScreenCapture& screen, TraceOutput& trace,
                  const CheckOption& photoEnabled, std::string photoDir,
                  std::string clearLineString);

    // The handler of the hook's key message: virtual key, keystroke flags.
    void HandleHookKey(std::uint32_t virtualKey, std::uint32_t flags);

    // Every flag back to its start value (start-up).
    void ResetRunTimeState();

    DispatcherActions Actions;

    // Dispatcher state; the slash commands, macros and database pages read and change it.
    KeyEventKindType KeyEventKind = KeyEventKindType::Pressed;
    bool ExtendedKey = false;
    std::string TypedLine;
    bool ShiftHeld = false;
    bool CtrlHeld = false;
    bool MacroKeyHeld = false;
    bool MacroKeyArmed = false;
    bool LogViewMode = false;
    // Armed from the start: no injected Backspace is on its way yet, so the pilot's first
    // Backspace is a real one and acts.
    bool BackspaceArmed = true;
    bool OtherKeySinceBackspace = false;
    bool MacroPending = false;
    bool ChannelF5Pending = false;
    bool EntrySent = false;
    bool BuiltinCmdListMode = false;
    int BuiltinCmdIndex = 1;
    int UserCmdIndex = 1;
    std::string LastSentCommand;
    // The key-map capture's Pause mark lives with the capture.
    bool& PauseSeen;

    // The idle marks of the Command List key: user list, built-in list.
    CommandListStepper Timer3;
    CommandListStepper Timer4;

    // The file name of a screen picture taken at this wall-clock time (local time).
    static std::string PictureName(std::int64_t wallClockMs);

private:
    void traceEvent(int virtualKey);
    void handleRelease(int virtualKey);
    void handlePress(int virtualKey, std::uint32_t flags);
    void savePicture();
    void nextLumacor();
    void playReleasedHotKey(int virtualKey);
    void commandListStep();
    void upLevel();
    void downLevel();
    void toggleDisplay();
    void listMove(bool up);
    void enter();
    void backspace();
    void appendTypedCharacters(int virtualKey, std::uint32_t flags);

    bool consoleVisible() const;
    bool addonPageActive() const;
    void writeCursor(const char* value);

    KeyMap& keyMap_;
    Keyboard& keyboard_;
    KeyStringSender& sender_;
    Clock& clock_;
    ScreenCapture& screen_;
    TraceOutput& trace_;
    const CheckOption& photoEnabled_;
    std::string photoDir_;
    std::string clearLineString_;
};

} // namespace trelk
