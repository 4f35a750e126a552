#include "HookSession.h"

#include "platform/linux/X11ServerLoss.h"
#include "platform/ports/VirtualKeys.h"
#include "plugins/trkhook/TrkHookAbi.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/record.h>
#include <cstdio>
#include <unistd.h>

namespace trkhook {

namespace {

constexpr std::size_t MacroHotKeyByte = 8;
constexpr std::size_t NextLumacorByte = 9;
constexpr std::size_t DebugByte = 11;

void RecordCallback(XPointer closure, XRecordInterceptData* data) {
    if (data->category == XRecordStartOfData) {
        reinterpret_cast<HookSession*>(closure)->recordingState(true);
    } else if (data->category == XRecordFromServer && data->data_len * 4 >= 2) {
        const unsigned char* bytes = data->data;
        const int type = bytes[0] & 0x7F;
        if (type == KeyPress || type == KeyRelease) {
            reinterpret_cast<HookSession*>(closure)->keyEvent(bytes[1], type == KeyRelease);
        }
    }
    XRecordFreeData(data);
}

void Report(const char* text) {
    std::fprintf(stderr, "TrkHook: %s\n", text);
}

} // namespace

HookSession::~HookSession() {
    stop();
}

bool HookSession::start() {
    stderrIsTerminal_ = ::isatty(STDERR_FILENO) == 1;
    control_ = XOpenDisplay(nullptr);
    data_ = XOpenDisplay(nullptr);
    keys_ = XOpenDisplay(nullptr);
    for (_XDisplay* display : {control_, data_, keys_}) {
        trelk::x11::SurviveServerLoss(display, &serverLost_);
    }
    focus_ = std::make_unique<GameFocus>(TRKHOOK_GAME_WINDOW_TITLE);
    if (control_ == nullptr || data_ == nullptr || keys_ == nullptr || !focus_->connected()) {
        Report("cannot connect to the X server; no key events will be delivered");
        stop();
        return false;
    }
    int major = 0;
    int minor = 0;
    if (!XRecordQueryVersion(control_, &major, &minor)) {
        Report("the X server has no RECORD extension; no key events will be delivered");
        stop();
        return false;
    }
    int opcode = 0;
    int eventBase = 0;
    int errorBase = 0;
    int xkbMajor = XkbMajorVersion;
    int xkbMinor = XkbMinorVersion;
    if (XkbQueryExtension(keys_, &opcode, &eventBase, &errorBase, &xkbMajor, &xkbMinor)) {
        xkbEventBase_ = eventBase;
        const unsigned int mapEvents = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
        XkbSelectEvents(keys_, XkbUseCoreKbd, mapEvents, mapEvents);
        XkbSelectEventDetails(keys_, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                              XkbGroupStateMask);
    }
    refreshLayout(true);
    // Keys already held when the hook starts report their releases as such.
    char keymap[32] = {};
    XQueryKeymap(keys_, keymap);
    for (std::size_t keycode = 0; keycode < down_.size(); ++keycode) {
        const auto bits =
            static_cast<unsigned int>(static_cast<unsigned char>(keymap[keycode / 8]));
        down_[keycode] = ((bits >> (keycode % 8)) & 1u) != 0;
    }

    XRecordRange* range = XRecordAllocRange();
    if (range == nullptr) {
        stop();
        return false;
    }
    range->device_events.first = KeyPress;
    range->device_events.last = KeyRelease;
    XRecordClientSpec clients = XRecordAllClients;
    context_ = XRecordCreateContext(control_, 0, &clients, 1, &range, 1);
    XFree(range);
    XSync(control_, False);
    if (context_ == 0) {
        Report("cannot create a recording context; no key events will be delivered");
        stop();
        return false;
    }
    thread_ = std::thread([this] { run(); });
    // HookOn promises every key from its return on: wait until the server records.
    std::unique_lock lock(stateMutex_);
    stateChanged_.wait(lock, [this] { return recording_ || recordingEnded_; });
    if (!recording_) {
        lock.unlock();
        stop();
        return false;
    }
    return true;
}

void HookSession::recordingState(bool running) {
    {
        const std::lock_guard lock(stateMutex_);
        (running ? recording_ : recordingEnded_) = true;
    }
    stateChanged_.notify_all();
}

void HookSession::run() {
    if (!XRecordEnableContext(data_, context_, RecordCallback, reinterpret_cast<XPointer>(this))) {
        Report(serverLost_ ? "the X server has gone; key recording ended"
                           : "cannot start recording; no key events will be delivered");
    }
    recordingState(false);
}

void HookSession::stop() {
    bool recording = false;
    {
        const std::lock_guard lock(stateMutex_);
        recording = recording_ && !recordingEnded_;
    }
    // Once the server is gone the recording ends by itself, and nothing is left to disable
    // or free.
    if (context_ != 0 && recording && !serverLost_) {
        XRecordDisableContext(control_, context_);
        XSync(control_, False);
    }
    if (thread_.joinable()) {
        thread_.join();
    }
    if (context_ != 0 && !serverLost_) {
        XRecordFreeContext(control_, context_);
        XSync(control_, False);
    }
    context_ = 0;
    focus_.reset();
    for (_XDisplay** display : {&control_, &data_, &keys_}) {
        // WORKAROUND: Xlib leaves a broken display locked to the thread that noticed the
        // break (the recording thread, now ended), so closing it here would wait forever.
        // The server is gone and the program ends: the connections are left as they are.
        if (*display != nullptr && !serverLost_) {
            XCloseDisplay(*display);
        }
        *display = nullptr;
    }
}

void HookSession::refreshLayout(bool force) {
    bool changed = force;
    // Layout changes reach this connection as XKB events; no round trip is made per key.
    while (xkbEventBase_ >= 0 && XPending(keys_) > 0) {
        XEvent event;
        XNextEvent(keys_, &event);
        changed = changed || event.type == xkbEventBase_;
    }
    if (!changed || xkbEventBase_ < 0) {
        return;
    }
    XkbDescPtr layout = XkbGetMap(keys_, XkbKeySymsMask, XkbUseCoreKbd);
    XkbStateRec state{};
    const unsigned int group =
        XkbGetState(keys_, XkbUseCoreKbd, &state) == Success ? state.group : 0u;
    trelk::x11keys::BaseKeysyms base{};
    if (layout != nullptr && layout->map != nullptr) {
        for (int keycode = layout->min_key_code; keycode <= layout->max_key_code; ++keycode) {
            const XkbSymMapRec& symbols = layout->map->key_sym_map[keycode];
            const int groups = symbols.group_info & 0x0F;
            if (groups > 0 && symbols.width > 0) {
                const unsigned int index =
                    symbols.offset + (group % static_cast<unsigned int>(groups)) * symbols.width;
                base[static_cast<std::size_t>(keycode)] =
                    static_cast<std::uint32_t>(layout->map->syms[index]);
            }
        }
        XkbFreeKeyboard(layout, 0, True);
    }
    table_ = trelk::x11keys::BuildKeycodeTable(base);
}

bool HookSession::debugOn() {
    // The debug lines name the game's keys: they go where the program's trace goes, to a
    // terminal only, never to the journal that takes a desktop session's standard error.
    return stderrIsTerminal_ && keyRecord_.byteAt(DebugByte) > 0;
}

void HookSession::debugLine(const char* text) {
    // One write per line, so lines of several threads never mix.
    char line[160];
    const int length = std::snprintf(line, sizeof line, "TrkHook: %s\n", text);
    if (length > 0) {
        const auto count = static_cast<std::size_t>(length) < sizeof line
                               ? static_cast<std::size_t>(length)
                               : sizeof line - 1;
        [[maybe_unused]] const ssize_t written = ::write(2, line, count);
    }
}

void HookSession::keyEvent(int keycode, bool released) {
    if (keycode < 0 || keycode >= static_cast<int>(down_.size())) {
        return;
    }
    refreshLayout(false);
    const auto index = static_cast<std::size_t>(keycode);
    const bool wasDown = down_[index];
    down_[index] = !released;
    // Tracked whatever has the focus, so the previous-state bit stays right.
    const trelk::x11keys::KeyInfo& key = table_[index];
    if (key.virtualKey == 0) {
        return;
    }
    bool altDown = false;
    for (std::size_t other = 0; other < down_.size() && !altDown; ++other) {
        altDown = down_[other] && table_[other].virtualKey == trelk::Vk::Menu;
    }
    const std::uint32_t flags = trelk::x11keys::KeystrokeFlags(key, released, wasDown, altDown);

    const bool debug = debugOn();
    const bool inGame = focus_->gameHasFocus();
    const std::uint32_t window = windowBlock_.uint32();
    if (inGame && !lastEventInGame_) {
        releaseModifiersLetGoOutside(window, index, altDown);
    }
    lastEventInGame_ = inGame;
    // The release of a key whose press the program was told of is the program's too, wherever
    // the focus has gone, when the program only follows its state with it: a Shift pressed in
    // the game and let go in another window must not stay held in the program. A release that
    // acts (a screen picture, NextLumacor, a macro's hot key) would act on the other window:
    // it stays unseen, as everything else typed outside the game.
    const std::uint8_t pressedKey = deliveredKey_[index];
    const bool followedRelease = released && pressedKey != 0 && onlyFollowsState(pressedKey);
    if (!inGame && !followedRelease) {
        if (released) {
            deliveredKey_[index] = 0;
        }
        // Keys typed into other programs are not ours to see: not even the debug line names
        // them.
        if (debug) {
            debugLine("key event outside the game window, not delivered");
        }
        return;
    }
    // A release goes out with the virtual key its press had, even if the layout changed.
    const std::uint8_t virtualKey = released && pressedKey != 0 ? pressedKey : key.virtualKey;
    if (window != 0) {
        focus_->deliver(window, virtualKey, flags);
        deliveredKey_[index] = released ? std::uint8_t{0} : virtualKey;
    }
    if (debug) {
        char text[120];
        std::snprintf(text, sizeof text, "vk=0x%02X flags=0x%08X %s", virtualKey, flags,
                      window != 0 ? "delivered" : "no window to notify");
        debugLine(text);
    }
}

bool HookSession::onlyFollowsState(std::uint8_t virtualKey) {
    // The keys whose release the program takes only to follow its own state: Shift, Ctrl and
    // the Macro HotKey (held flags), Tab and Escape (the chat line copy). Never Print Screen or
    // NextLumacor, whose release acts even when the key doubles as one of these.
    const int vk = virtualKey;
    if (vk == trelk::Vk::Snapshot || vk == keyRecord_.byteAt(NextLumacorByte)) {
        return false;
    }
    return vk == trelk::Vk::Shift || vk == trelk::Vk::Control || vk == trelk::Vk::Tab ||
           vk == trelk::Vk::Escape || vk == keyRecord_.byteAt(MacroHotKeyByte);
}

void HookSession::releaseModifiersLetGoOutside(std::uint32_t window, std::size_t current,
                                               bool altDown) {
    // A release of such a key that the program could not be told of (no window to notify at
    // that moment) is told now, before the first key back in the game, if the server no
    // longer holds the key. Other keys are forgotten: a late release could act.
    for (std::size_t keycode = 0; keycode < deliveredKey_.size(); ++keycode) {
        const std::uint8_t virtualKey = deliveredKey_[keycode];
        if (virtualKey == 0 || down_[keycode] || keycode == current) {
            continue;
        }
        deliveredKey_[keycode] = 0;
        if (onlyFollowsState(virtualKey) && window != 0) {
            trelk::x11keys::KeyInfo key = table_[keycode];
            key.virtualKey = virtualKey;
            focus_->deliver(window, virtualKey,
                            trelk::x11keys::KeystrokeFlags(key, true, true, altDown));
        }
    }
}

} // namespace trkhook
