#include "KeyDispatcher.h"

#include <ctime>
#include <filesystem>
#include <system_error>
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
                             TimerFactory& timers, Clock& clock, ScreenCapture& screen,
                             TraceOutput& trace, const CheckOption& photoEnabled,
                             std::string photoDir, std::string clearLineString)
    : PauseSeen(keyMap.PauseSeen), Timer3(timers, "Timer3"), Timer4(timers, "Timer4"),
      keyMap_(keyMap), keyboard_(keyboard), sender_(sender), clock_(clock), screen_(screen),
      trace_(trace), photoEnabled_(photoEnabled), photoDir_(std::move(photoDir)),
      clearLineString_(std::move(clearLineString)) {
    // Every injection ends the Macro HotKey's arming and any entry still awaiting Enter.
    sender_.onSendKeyString = [this] { MacroKeyArmed = false; };
    sender_.onSendToChannel = [this] { EntrySent = false; };
}

void KeyDispatcher::ResetRunTimeState() {
    KeyEventKind = KeyEventKindType::Pressed;
    ExtendedKey = false;
    TypedLine.clear();
    ShiftHeld = CtrlHeld = MacroKeyHeld = MacroKeyArmed = false;
    LogViewMode = OtherKeySinceBackspace = false;
    BackspaceArmed = true;
    MacroPending = ChannelF5Pending = EntrySent = false;
    BuiltinCmdListMode = false;
    BuiltinCmdIndex = 1;
    UserCmdIndex = 1;
    LastSentCommand.clear();
    PauseSeen = false;
}

void KeyDispatcher::HandleHookKey(std::uint32_t virtualKey, std::uint32_t flags) {
    // The hook sends 1..254; anything above a byte is not a key at all.
    if (virtualKey > 255) {
        return;
    }
    const int vk = static_cast<int>(virtualKey);
    ExtendedKey = (flags & ExtendedFlag) != 0;
    keyMap_.ExtendedKey = ExtendedKey;
    if ((flags & TransitionFlag) != 0) {
        KeyEventKind = KeyEventKindType::Released;
    } else if ((flags & PreviousStateFlag) != 0) {
        KeyEventKind = KeyEventKindType::Repeat;
    } else {
        KeyEventKind = KeyEventKindType::Pressed;
    }
    if (trace_.enabled()) {
        traceEvent(vk);
    }

    switch (KeyEventKind) {
    case KeyEventKindType::Repeat:
        if (vk == Vk::Back && !TypedLine.empty()) {
            TypedLine.pop_back();
        }
        return;
    case KeyEventKindType::Released:
        handleRelease(vk);
        return;
    case KeyEventKindType::Pressed:
        run(Actions.StopAlarmRepeat);
        handlePress(vk, flags);
        return;
    }
}

void KeyDispatcher::traceEvent(int virtualKey) {
    const char* kind = KeyEventKind == KeyEventKindType::Released ? "KeyReleased = "
                       : KeyEventKind == KeyEventKindType::Repeat ? "KeyRepeat = "
                                                                  : "KeyPressed = ";
    const int code = virtualKey | (ExtendedKey ? KeyMap::ExtendedBit : 0);
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
        TypedLine.clear();
        LogViewMode = false;
    } else if (vk == Vk::Escape) {
        MacroPending = false;
        TypedLine.clear();
        LogViewMode = false;
    } else if (keyMap_.matches(KeyFunction::MacHot, vk)) {
        MacroKeyHeld = false;
        MacroKeyArmed = false;
    } else if (vk == Vk::Control) {
        CtrlHeld = false;
    } else if (vk == Vk::Shift) {
        ShiftHeld = false;
    } else {
        playReleasedHotKey(vk);
    }
}

void KeyDispatcher::savePicture() {
    run(Actions.playShortSound);
    // Two pictures within one second must not overwrite each other.
    const std::string base = photoDir_ + PictureName(clock_.wallClockMs());
    std::string path = base + ".jpg";
    std::error_code ignored;
    for (int n = 2; std::filesystem::exists(path, ignored) && n < 1000; ++n) {
        path = base + "_" + std::to_string(n) + ".jpg";
    }
    std::string error;
    if (!screen_.saveScreenAsJpeg(path, error)) {
        call(Actions.reportError, "The screen picture could not be saved as " + path + ": " +
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
    if (ask(Actions.ConsoleVisible, false) || !ask(Actions.EntrySendMode, false) ||
        ask(Actions.InfoMode, false)) {
        return;
    }
    TypedLine.clear();
    call(Actions.NextEntryStep, MacroKeyHeld);
}

void KeyDispatcher::playReleasedHotKey(int vk) {
    if (MacroPending || ask(Actions.Docked, false)) {
        return;
    }
    const bool wasHeld = MacroKeyHeld;
    const bool wasArmed = MacroKeyArmed;
    MacroKeyHeld = true;
    MacroKeyArmed = true;
    for (int n = 1; n <= 12; ++n) {
        const int code = keyMap_.code(kFirstMacroHotKey + static_cast<std::size_t>(n - 1));
        if (KeyMap::matchesCode(code, vk) && Actions.PlayMacro) {
            // PlayMacro plays because both flags are on; it clears them itself.
            Actions.PlayMacro(n);
            return;
        }
    }
    MacroKeyHeld = wasHeld;
    MacroKeyArmed = wasArmed;
}

// The checks run in order and each applies on its own: a key mapped to two functions does both.
void KeyDispatcher::handlePress(int vk, std::uint32_t flags) {
    if (vk != Vk::Back) {
        OtherKeySinceBackspace = true;
    }
    if (vk == Vk::Shift) {
        ShiftHeld = true;
    }
    if (keyMap_.matches(KeyFunction::StartScan, vk)) {
        run(Actions.ToggleScan);
        if (consoleVisible()) {
            run(Actions.HideConsole);
        }
    }
    if (keyMap_.matches(KeyFunction::CmdList, vk)) {
        LogViewMode = false;
        commandListStep();
    }
    if (keyMap_.matches(KeyFunction::MacHot, vk)) {
        LogViewMode = false;
        TypedLine.clear();
        MacroKeyHeld = true;
        MacroKeyArmed = true;
    }
    if (vk == Vk::Control) {
        CtrlHeld = true;
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
        call(Actions.PlayMacro, vk - Vk::F1 + 1);
    }
    if (vk == Vk::Back) {
        backspace();
    } else {
        appendTypedCharacters(vk, flags);
    }
}

void KeyDispatcher::commandListStep() {
    CommandListStepper& stepper = BuiltinCmdListMode ? Timer4 : Timer3;
    int& index = BuiltinCmdListMode ? BuiltinCmdIndex : UserCmdIndex;
    std::vector<std::string> list;
    if (BuiltinCmdListMode) {
        list.assign(BuiltinCommandList.begin(), BuiltinCommandList.end());
    } else if (Actions.UserCommandList) {
        list = Actions.UserCommandList();
    }
    if (list.empty()) {
        return;
    }
    index = stepper.Step(index, static_cast<int>(list.size()), MacroKeyHeld);
    LastSentCommand = list[static_cast<std::size_t>(index - 1)];
    BackspaceArmed = false;
    // The copy: the nested key events may step the list again while this one types.
    const std::string command = LastSentCommand;
    sender_.SendToChannel(command, true, 5);
    stepper.Restart();
}

void KeyDispatcher::upLevel() {
    if (addonPageActive() && ask(Actions.AddonHoldsUpLevel, false)) {
        if (ShiftHeld) {
            call(Actions.ScrollText, true);
        } else {
            writeCursor(CtrlHeld ? "CntrlUpLevel" : "UpLevel");
        }
    } else if (ShiftHeld) {
        call(Actions.ScrollText, true);
    } else {
        call(Actions.ChangeLevel, true);
    }
}

void KeyDispatcher::downLevel() {
    run(Actions.HandBackUpLevel);
    if (addonPageActive()) {
        if (ShiftHeld) {
            call(Actions.ScrollText, false);
        } else if (CtrlHeld) {
            writeCursor("CntrlDownLevel");
        } else {
            writeCursor("DownLevel");
            run(Actions.AddonDownLevelFollowUp);
        }
    } else if (ShiftHeld) {
        call(Actions.ScrollText, false);
    } else {
        call(Actions.ChangeLevel, false);
    }
}

void KeyDispatcher::toggleDisplay() {
    if (!consoleVisible()) {
        run(Actions.ShowConsole);
    } else if (ShiftHeld) {
        run(Actions.ResetMenu);
    } else {
        // Hiding the console does not withdraw an entry that waits for Enter.
        const bool sent = EntrySent;
        run(Actions.HideConsole);
        EntrySent = sent;
    }
}

void KeyDispatcher::listMove(bool up) {
    if (addonPageActive()) {
        writeCursor(ShiftHeld  ? (up ? "ShiftUpList" : "ShiftDownList")
                    : CtrlHeld ? (up ? "CntrlUpList" : "CntrlDownList")
                               : (up ? "UpList" : "DownList"));
        return;
    }
    if (ShiftHeld) {
        call(Actions.ListPage, up);
    } else {
        call(Actions.ListStep, up);
    }
    const int selection = Actions.CurrentLevelSelection ? Actions.CurrentLevelSelection() : 0;
    call(Actions.SetEntryIndex, selection + 1);
}

void KeyDispatcher::enter() {
    MacroPending = false;
    if (ChannelF5Pending) {
        trace_.Trace("TrelkPro: NexaCChannelF5Active called");
        run(Actions.NexaCChannelF5Active);
        ChannelF5Pending = false;
    }
    if (EntrySent) {
        run(Actions.MarkSentEntry);
        EntrySent = false;
    }
    // A copy: the log and the slash command may type, and their keys change TypedLine.
    const std::string line = TypedLine;
    call(Actions.AddLogLine, line);
    call(Actions.ExecuteSlashCommand, line);
    TypedLine.clear();
}

void KeyDispatcher::backspace() {
    // The chat line loses its last character whatever the guard decides.
    if (!TypedLine.empty()) {
        TypedLine.pop_back();
    }
    if (!BackspaceArmed) {
        BackspaceArmed = true;
        OtherKeySinceBackspace = false;
        return;
    }
    if (!OtherKeySinceBackspace) {
        return;
    }
    OtherKeySinceBackspace = false;
    if (ShiftHeld && LogViewMode && !ask(Actions.LogListEmpty, true)) {
        run(Actions.DeleteCurrentLogEntry);
    }
    if (MacroKeyHeld) {
        TypedLine.clear();
        BackspaceArmed = false;
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
    state[Vk::Shift] = ShiftHeld ? 0x80 : 0;
    state[Vk::LShift] = 0;
    state[Vk::RShift] = 0;
    const int scanCode = static_cast<int>((flags >> ScanCodeShift) & 0xFF);
    TypedLine += keyboard_.charactersForKey(vk, scanCode, state);
}

bool KeyDispatcher::consoleVisible() const {
    return ask(Actions.ConsoleVisible, false);
}

bool KeyDispatcher::addonPageActive() const {
    return ask(Actions.AddonPageActive, false);
}

void KeyDispatcher::writeCursor(const char* value) {
    call(Actions.WriteInterfaceValue, std::string("cursor"), std::string(value));
}

} // namespace trelk
