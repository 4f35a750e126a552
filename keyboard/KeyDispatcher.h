#pragma once

#include "CommandListStepper.h"
#include "DispatcherActions.h"
#include "KeyMap.h"
#include "core/CheckOption.h"
#include "core/TraceOutput.h"
#include "macros/KeyStringSender.h"
#include "macros/MacroKeyState.h"
#include "platform/ports/Clock.h"
#include "platform/ports/Desktop.h"
#include "platform/ports/FileSystem.h"
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
//
// Its state is read by anyone and changed only by the key events and the named operations
// below, so each change has one place to look for.
class KeyDispatcher final : public MacroKeyState {
public:
    // The KeyString byte of F5 (chat channel 5).
    static constexpr char F5Code = static_cast<char>(232);

    KeyDispatcher(KeyMap& keyMap, Keyboard& keyboard, KeyStringSender& sender, TimerFactory& timers,
                  Clock& clock, Desktop& desktop, ScreenCapture& screen, FileSystem& fileSystem,
                  TraceOutput& trace, const CheckOption& photoEnabled, std::string photoDir,
                  std::string clearLineString, DispatcherActions actions);

    // The handler of the hook's key message: virtual key, keystroke flags.
    void HandleHookKey(std::uint32_t virtualKey, std::uint32_t flags);

    // Every flag back to its start value (start-up).
    void ResetRunTimeState();

    const DispatcherActions& hooks() const { return actions_; }

    // --- State ---
    KeyEventKindType KeyEventKind() const { return state_.KeyEventKind; }
    bool ExtendedKey() const { return state_.ExtendedKey; }
    const std::string& TypedLine() const override { return state_.TypedLine; }
    bool ShiftHeld() const override { return state_.ShiftHeld; }
    bool CtrlHeld() const { return state_.CtrlHeld; }
    bool MacroKeyHeld() const override { return state_.MacroKeyHeld; }
    bool MacroKeyArmed() const override { return state_.MacroKeyArmed; }
    bool LogViewMode() const { return state_.LogViewMode; }
    bool BackspaceArmed() const { return state_.BackspaceArmed; }
    bool OtherKeySinceBackspace() const { return state_.OtherKeySinceBackspace; }
    bool MacroPending() const { return state_.MacroPending; }
    bool ChannelF5Pending() const { return state_.ChannelF5Pending; }
    bool EntrySent() const { return state_.EntrySent; }
    bool BuiltinCmdListMode() const { return state_.BuiltinCmdListMode; }
    int BuiltinCmdIndex() const { return state_.BuiltinCmdIndex; }
    int UserCmdIndex() const { return state_.UserCmdIndex; }
    const std::string& LastSentCommand() const { return state_.LastSentCommand; }

    // --- What other subsystems change ---
    // The macro table (MacroKeyState).
    void MarkMacroPending() override { state_.MacroPending = true; }
    void MarkChannelF5Pending() override { state_.ChannelF5Pending = true; }
    void ClearTypedLine() override { state_.TypedLine.clear(); }
    void ReleaseMacroKey() override { state_.MacroKeyHeld = false; }
    void ReleaseShift() override { state_.ShiftHeld = false; }
    // Also the slash command that types the stored position.
    void DisarmBackspace() override { state_.BackspaceArmed = false; }
    // Every key string the program types ends the Macro HotKey's arming.
    void DisarmMacroKey() { state_.MacroKeyArmed = false; }
    // The database pages sent an entry that Enter confirms; any line the program types on a
    // channel withdraws it.
    void SetEntrySent(bool sent) { state_.EntrySent = sent; }
    // The console told the overlay about channel 5 itself.
    void ClearChannelF5Pending() { state_.ChannelF5Pending = false; }
    // "//viewlog".
    void EnterLogView() { state_.LogViewMode = true; }
    // "//jcmd" (the built-in list) and "//ucmd" (the pilot's list).
    void UseBuiltinCommandList(bool builtin) { state_.BuiltinCmdListMode = builtin; }
    // The pilot's command list was loaded again.
    void ResetUserCommandIndex() { state_.UserCmdIndex = 1; }

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

    // Everything ResetRunTimeState puts back, at its start value.
    struct State {
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
    };

    bool consoleVisible() const;
    bool addonPageActive() const;
    void writeCursor(const char* value);

    KeyMap& keyMap_;
    Keyboard& keyboard_;
    KeyStringSender& sender_;
    Clock& clock_;
    Desktop& desktop_;
    ScreenCapture& screen_;
    FileSystem& fileSystem_;
    TraceOutput& trace_;
    const CheckOption& photoEnabled_;
    std::string photoDir_;
    std::string clearLineString_;
    DispatcherActions actions_;
    State state_;
    // The idle marks of the Command List key: user list, built-in list.
    CommandListStepper Timer3;
    CommandListStepper Timer4;
};

} // namespace trelk
