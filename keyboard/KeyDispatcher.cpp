#include "KeyDispatcher.h"

#include "core/GameScreen.h"

#include <ctime>
#include <utility>

namespace trelk {

namespace {

constexpr std::uint32_t ExtendedFlag = 1U << 24;
constexpr std::uint32_t PreviousStateFlag = 1U << 30;
constexpr std::uint32_t TransitionFlag = 1U << 31;
constexpr int ScanCodeShift = 16;

bool ask(const DispatcherActions::Question& question, bool neutral) {
    return question ? question() : neutral;
}

void run(const DispatcherActions::Action& action) {
    if (action) {
        action();
    }
}

template <typename F, typename... Args> void call(const F& function, Args&&... args) {
    if (function) {
        function(std::forward<Args>(args)...);
    }
}

} // namespace

KeyDispatcher::KeyDispatcher(KeyMap& keyMap, Keyboard& keyboard, KeyStringSender& sender,
                             TimerFactory& timers, Clock& clock, Desktop& desktop,
                             ScreenCapture& screen, FileSystem& fileSystem, TraceOutput& trace,
                             const CheckOption& photoEnabled, std::string photoDir,
                             std::string clearLineString, DispatcherActions actions)
    : keyMap_(keyMap), keyboard_(keyboard), sender_(sender), clock_(clock), desktop_(desktop),
      screen_(screen), fileSystem_(fileSystem), trace_(trace), photoEnabled_(photoEnabled),
      photoDir_(std::move(photoDir)), clearLineString_(std::move(clearLineString)),
      actions_(std::move(actions)), Timer3(timers, "Timer3"), Timer4(timers, "Timer4") {}

void KeyDispatcher::ResetRunTimeState() {
    state_ = State{};
    // The key-map capture's Pause mark starts over with the dispatcher.
    keyMap_.ClearPauseMark();
}

void KeyDispatcher::HandleHookKey(std::uint32_t virtualKey, std::uint32_t flags) {
    // The hook sends 1..254; anything above a byte is not a key at all.
    if (virtualKey > 255) {
        return;
    }
    const int vk = static_cast<int>(virtualKey);
    state_.ExtendedKey = (flags & ExtendedFlag) != 0;
    keyMap_.SetExtendedKey(state_.ExtendedKey);
    if ((flags & TransitionFlag) != 0) {
        state_.KeyEventKind = KeyEventKindType::Released;
    } else if ((flags & PreviousStateFlag) != 0) {
        state_.KeyEventKind = KeyEventKindType::Repeat;
    } else {
        state_.KeyEventKind = KeyEventKindType::Pressed;
    }
    if (trace_.enabled()) {
        traceEvent(vk);
    }

    switch (state_.KeyEventKind) {
    case KeyEventKindType::Repeat:
        if (vk == Vk::Back && !state_.TypedLine.empty()) {
            state_.TypedLine.pop_back();
        }
        return;
    case KeyEventKindType::Released:
        handleRelease(vk);
        return;
    case KeyEventKindType::Pressed:
        run(actions_.StopAlarmRepeat);
        handlePress(vk, flags);
        return;
    }
}

void KeyDispatcher::traceEvent(int virtualKey) {
    const char* kind = state_.KeyEventKind == KeyEventKindType::Released ? "KeyReleased = "
                       : state_.KeyEventKind == KeyEventKindType::Repeat ? "KeyRepeat = "
                                                                         : "KeyPressed = ";
    const int code = virtualKey | (state_.ExtendedKey ? KeyMap::ExtendedBit : 0);
    trace_.Trace(std::string("TrelkPro: Keyboard Callback Procedure. ") + kind +
                 keyMap_.KeyName(code));
}

// The first matching row applies.
void KeyDispatcher::handleRelease(int vk) {
    if (vk == Vk::Snapshot) {
        if (photoEnabled_.checked()) {
            savePicture();
        }
    } else if (keyMap_.matches(KeyFunction::NextRot, vk)) {
        nextLumacor();
    } else if (vk == Vk::Tab) {
        state_.TypedLine.clear();
        state_.LogViewMode = false;
    } else if (vk == Vk::Escape) {
        state_.MacroPending = false;
        state_.TypedLine.clear();
        state_.LogViewMode = false;
    } else if (keyMap_.matches(KeyFunction::MacHot, vk)) {
        state_.MacroKeyHeld = false;
        state_.MacroKeyArmed = false;
    } else if (vk == Vk::Control) {
        state_.CtrlHeld = false;
    } else if (vk == Vk::Shift) {
        state_.ShiftHeld = false;
    } else {
        playReleasedHotKey(vk);
    }
}

void KeyDispatcher::savePicture() {
    run(actions_.playShortSound);
    // Two pictures within one second must not overwrite each other.
    const std::string base = photoDir_ + PictureName(clock_.wallClockMs());
    std::string path = base + ".jpg";
    for (int n = 2; fileSystem_.kindOf(path) != PathKind::Missing && n < 1000; ++n) {
        path = base + "_" + std::to_string(n) + ".jpg";
    }
    std::string error;
    // The picture of the game's monitor, not of a second one beside it.
    if (!screen_.saveScreenAsJpeg(path, GameScreenArea(desktop_, screen_), error)) {
        call(actions_.reportError, "The screen picture could not be saved as " + path + ": " +
                                       (error.empty() ? std::string("unknown error") : error));
    }
}

std::string KeyDispatcher::PictureName(std::int64_t wallClockMs) {
    const auto seconds = static_cast<std::time_t>(wallClockMs / 1000);
    std::tm local{};
    if (localtime_r(&seconds, &local) == nullptr) {
        return "000000_000000";
    }
    const auto two = [](int value) {
        value = ((value % 100) + 100) % 100;
        return std::string{static_cast<char>('0' + value / 10),
                           static_cast<char>('0' + value % 10)};
    };
    return two(local.tm_year) + two(local.tm_mon + 1) + two(local.tm_mday) + "_" +
           two(local.tm_hour) + two(local.tm_min) + two(local.tm_sec);
}

void KeyDispatcher::nextLumacor() {
    if (ask(actions_.ConsoleVisible, false) || !ask(actions_.EntrySendMode, false) ||
        ask(actions_.InfoMode, false)) {
        return;
    }
    if (sender_.Sending()) {
        // A second text typed into the one still being typed would mix both.
        trace_.Trace("TrelkPro: NextLumacor ignored while a text is typed");
        return;
    }
    state_.TypedLine.clear();
    // The entry's line begins with 60 Backspaces that come back through the hook: the first
    // must re-arm the guard, not act as the pilot's (with the Macro HotKey held it would type a
    // second clearing into the entry).
    state_.BackspaceArmed = false;
    call(actions_.NextEntryStep, state_.MacroKeyHeld);
}

void KeyDispatcher::playReleasedHotKey(int vk) {
    if (state_.MacroPending || ask(actions_.Docked, false)) {
        return;
    }
    const bool wasHeld = state_.MacroKeyHeld;
    const bool wasArmed = state_.MacroKeyArmed;
    state_.MacroKeyHeld = true;
    state_.MacroKeyArmed = true;
    for (int n = 1; n <= 12; ++n) {
        const int code = keyMap_.code(kFirstMacroHotKey + static_cast<std::size_t>(n - 1));
        if (KeyMap::matchesCode(code, vk) && actions_.PlayMacro) {
            // PlayMacro plays because both flags are on. They were lent for this key alone:
            // whatever it did (played, locked out, ignored), the Macro HotKey is held as before,
            // and armed only if it was and no text has been typed since.
            actions_.PlayMacro(n);
            state_.MacroKeyHeld = wasHeld;
            state_.MacroKeyArmed = wasArmed && state_.MacroKeyArmed;
            return;
        }
    }
    state_.MacroKeyHeld = wasHeld;
    state_.MacroKeyArmed = wasArmed;
}

// The checks run in order and each applies on its own: a key mapped to two functions does both.
void KeyDispatcher::handlePress(int vk, std::uint32_t flags) {
    if (vk != Vk::Back) {
        state_.OtherKeySinceBackspace = true;
    }
    if (vk == Vk::Shift) {
        state_.ShiftHeld = true;
    }
    if (keyMap_.matches(KeyFunction::StartScan, vk)) {
        run(actions_.ToggleScan);
        if (consoleVisible()) {
            run(actions_.HideConsole);
        }
    }
    if (keyMap_.matches(KeyFunction::CmdList, vk)) {
        state_.LogViewMode = false;
        commandListStep();
    }
    if (keyMap_.matches(KeyFunction::MacHot, vk)) {
        state_.LogViewMode = false;
        state_.TypedLine.clear();
        state_.MacroKeyHeld = true;
        state_.MacroKeyArmed = true;
    }
    if (vk == Vk::Control) {
        state_.CtrlHeld = true;
    }
    if (keyMap_.matches(KeyFunction::UpLevel, vk) && consoleVisible()) {
        upLevel();
    }
    if (keyMap_.matches(KeyFunction::DownLevel, vk) && consoleVisible()) {
        downLevel();
    }
    if (keyMap_.matches(KeyFunction::Display, vk)) {
        toggleDisplay();
    }
    if (keyMap_.matches(KeyFunction::UpList, vk) && consoleVisible()) {
        listMove(true);
    }
    if (keyMap_.matches(KeyFunction::DownList, vk) && consoleVisible()) {
        listMove(false);
    }
    if (vk == Vk::Return) {
        enter();
    }
    if (vk >= Vk::F1 && vk <= Vk::F12) {
        call(actions_.PlayMacro, vk - Vk::F1 + 1);
    }
    if (vk == Vk::Back) {
        backspace();
    } else {
        appendTypedCharacters(vk, flags);
    }
}

void KeyDispatcher::commandListStep() {
    CommandListStepper& stepper = state_.BuiltinCmdListMode ? Timer4 : Timer3;
    int& index = state_.BuiltinCmdListMode ? state_.BuiltinCmdIndex : state_.UserCmdIndex;
    std::vector<std::string> list;
    if (state_.BuiltinCmdListMode) {
        list.assign(BuiltinCommandList.begin(), BuiltinCommandList.end());
    } else if (actions_.UserCommandList) {
        list = actions_.UserCommandList();
    }
    if (list.empty()) {
        return;
    }
    if (sender_.Sending()) {
        // Neither a step nor a second text inside the one still being typed.
        trace_.Trace("TrelkPro: Command List key ignored while a text is typed");
        return;
    }
    index = stepper.Step(index, static_cast<int>(list.size()), state_.MacroKeyHeld);
    state_.LastSentCommand = list[static_cast<std::size_t>(index - 1)];
    state_.BackspaceArmed = false;
    // The copy: the nested key events may step the list again while this one types.
    const std::string command = state_.LastSentCommand;
    sender_.SendToChannel(command, true, 5);
    stepper.Restart();
}

void KeyDispatcher::upLevel() {
    if (addonPageActive() && ask(actions_.AddonHoldsUpLevel, false)) {
        if (state_.ShiftHeld) {
            call(actions_.ScrollText, true);
        } else {
            writeCursor(state_.CtrlHeld ? "CntrlUpLevel" : "UpLevel");
        }
    } else if (state_.ShiftHeld) {
        call(actions_.ScrollText, true);
    } else {
        call(actions_.ChangeLevel, true);
    }
}

void KeyDispatcher::downLevel() {
    run(actions_.HandBackUpLevel);
    if (addonPageActive()) {
        if (state_.ShiftHeld) {
            call(actions_.ScrollText, false);
        } else if (state_.CtrlHeld) {
            writeCursor("CntrlDownLevel");
        } else {
            writeCursor("DownLevel");
            run(actions_.AddonDownLevelFollowUp);
        }
    } else if (state_.ShiftHeld) {
        call(actions_.ScrollText, false);
    } else {
        call(actions_.ChangeLevel, false);
    }
}

void KeyDispatcher::toggleDisplay() {
    if (!consoleVisible()) {
        run(actions_.ShowConsole);
    } else if (state_.ShiftHeld) {
        run(actions_.ResetMenu);
    } else {
        // Hiding the console does not withdraw an entry that waits for Enter.
        const bool sent = state_.EntrySent;
        run(actions_.HideConsole);
        state_.EntrySent = sent;
    }
}

void KeyDispatcher::listMove(bool up) {
    if (addonPageActive()) {
        writeCursor(state_.ShiftHeld  ? (up ? "ShiftUpList" : "ShiftDownList")
                    : state_.CtrlHeld ? (up ? "CntrlUpList" : "CntrlDownList")
                                      : (up ? "UpList" : "DownList"));
        return;
    }
    if (state_.ShiftHeld) {
        call(actions_.ListPage, up);
    } else {
        call(actions_.ListStep, up);
    }
    const int selection = actions_.CurrentLevelSelection ? actions_.CurrentLevelSelection() : 0;
    call(actions_.SetEntryIndex, selection + 1);
}

void KeyDispatcher::enter() {
    state_.MacroPending = false;
    if (state_.ChannelF5Pending) {
        trace_.Trace("TrelkPro: NexaCChannelF5Active called");
        run(actions_.NexaCChannelF5Active);
        state_.ChannelF5Pending = false;
    }
    if (state_.EntrySent) {
        run(actions_.MarkSentEntry);
        state_.EntrySent = false;
    }
    // A copy: the log and the slash command may type, and their keys change TypedLine.
    const std::string line = state_.TypedLine;
    call(actions_.AddLogLine, line);
    call(actions_.ExecuteSlashCommand, line);
    state_.TypedLine.clear();
}

void KeyDispatcher::backspace() {
    // The chat line loses its last character whatever the guard decides.
    if (!state_.TypedLine.empty()) {
        state_.TypedLine.pop_back();
    }
    if (!state_.BackspaceArmed) {
        state_.BackspaceArmed = true;
        state_.OtherKeySinceBackspace = false;
        return;
    }
    if (!state_.OtherKeySinceBackspace) {
        return;
    }
    state_.OtherKeySinceBackspace = false;
    if (state_.ShiftHeld && state_.LogViewMode && !ask(actions_.LogListEmpty, true)) {
        run(actions_.DeleteCurrentLogEntry);
    }
    if (state_.MacroKeyHeld) {
        state_.TypedLine.clear();
        state_.BackspaceArmed = false;
        sender_.SendKeyString(clearLineString_ + F5Code);
    }
}

void KeyDispatcher::appendTypedCharacters(int vk, std::uint32_t flags) {
    Keyboard::KeyboardState state{};
    if (auto current = keyboard_.currentState()) {
        state = *current;
    }
    // The game's chat line ignores Scroll Lock (the Macro HotKey) and sees Shift as the
    // dispatcher has followed it, including Shift the program injected itself.
    state[Vk::Scroll] = 0;
    state[Vk::Shift] = state_.ShiftHeld ? 0x80 : 0;
    state[Vk::LShift] = 0;
    state[Vk::RShift] = 0;
    const int scanCode = static_cast<int>((flags >> ScanCodeShift) & 0xFF);
    state_.TypedLine += keyboard_.charactersForKey(vk, scanCode, state);
}

bool KeyDispatcher::consoleVisible() const {
    return ask(actions_.ConsoleVisible, false);
}

bool KeyDispatcher::addonPageActive() const {
    return ask(actions_.AddonPageActive, false);
}

void KeyDispatcher::writeCursor(const char* value) {
    call(actions_.WriteInterfaceValue, std::string("cursor"), std::string(value));
}

} // namespace trelk
