#pragma once

#include <string>

namespace trelk {

// The key dispatcher's state as a macro reads and changes it while it is played or defined.
// The dispatcher implements it, so every change is one of the dispatcher's own operations.
class MacroKeyState {
public:
    virtual bool MacroKeyHeld() const = 0;
    virtual bool MacroKeyArmed() const = 0;
    virtual bool ShiftHeld() const = 0;
    // The copy of the chat line being typed.
    virtual const std::string& TypedLine() const = 0;

    // A function key opened the game's chat line on a channel (MacroPending).
    virtual void MarkMacroPending() = 0;
    // F5 chose channel 5: the overlay is told at the next Enter (ChannelF5Pending).
    virtual void MarkChannelF5Pending() = 0;
    virtual void ClearTypedLine() = 0;
    // A further function key needs a new press of the Macro HotKey.
    virtual void ReleaseMacroKey() = 0;
    // The Shift of a definition is no longer taken as held.
    virtual void ReleaseShift() = 0;
    // The program's own Backspaces are on their way back through the hook: the next one must
    // not act as the pilot's.
    virtual void DisarmBackspace() = 0;

protected:
    ~MacroKeyState() = default;
};

} // namespace trelk
