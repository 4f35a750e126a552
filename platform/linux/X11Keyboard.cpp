#include "X11Keyboard.h"

#include "X11ServerLoss.h"
#include "platform/ports/VirtualKeys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <dlfcn.h>

namespace trelk {

namespace {

using x11keys::KeyInfo;

using FakeKeyEventFunction = int (*)(Display*, unsigned int, int, unsigned long);
using QueryExtensionFunction = int (*)(Display*, int*, int*, int*, int*);

constexpr std::uint32_t KeysymLevel3Shift = XK_ISO_Level3_Shift;
constexpr std::uint32_t KeysymNumLock = XK_Num_Lock;

bool Down(const Keyboard::KeyboardState& state, int virtualKey) {
    return (state[static_cast<std::size_t>(virtualKey)] & 0x80) != 0;
}

bool Toggled(const Keyboard::KeyboardState& state, int virtualKey) {
    return (state[static_cast<std::size_t>(virtualKey)] & 0x01) != 0;
}

// Latin-1 upper case for key captions; ß and ÿ have none in one byte.
unsigned char UpperCase(unsigned char c) {
    if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) {
        return static_cast<unsigned char>(c - 0x20);
    }
    return c;
}

} // namespace

X11Keyboard::~X11Keyboard() {
    if (layout_ != nullptr) {
        XkbFreeKeyboard(layout_, 0, True);
    }
    if (display_ != nullptr) {
        XCloseDisplay(display_);
    }
    if (xtestLibrary_ != nullptr) {
        ::dlclose(xtestLibrary_);
    }
}

Display* X11Keyboard::display() const {
    if (display_ == nullptr) {
        display_ = XOpenDisplay(nullptr);
        // After log-out every call answers nothing; the program's own shutdown ends it.
        x11::SurviveServerLoss(display_);
        extensionsChecked_ = false;
    }
    if (display_ != nullptr && !extensionsChecked_) {
        extensionsChecked_ = true;
        int opcode = 0;
        int eventBase = 0;
        int errorBase = 0;
        int major = XkbMajorVersion;
        int minor = XkbMinorVersion;
        if (XkbQueryExtension(display_, &opcode, &eventBase, &errorBase, &major, &minor)) {
            xkbEventBase_ = eventBase;
            // Layout changes arrive as events on this connection; refreshLayout reads them.
            const unsigned int mapEvents = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
            XkbSelectEvents(display_, XkbUseCoreKbd, mapEvents, mapEvents);
            XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask,
                                  XkbGroupStateMask);
        }
        if (xtestLibrary_ == nullptr) {
            xtestLibrary_ = ::dlopen("libXtst.so.6", RTLD_NOW | RTLD_LOCAL);
        }
        if (xtestLibrary_ != nullptr) {
            auto query = reinterpret_cast<QueryExtensionFunction>(
                ::dlsym(xtestLibrary_, "XTestQueryExtension"));
            fakeKeyEvent_ = ::dlsym(xtestLibrary_, "XTestFakeKeyEvent");
            int event = 0;
            int error = 0;
            int xtestMajor = 0;
            int xtestMinor = 0;
            canInject_ = query != nullptr && fakeKeyEvent_ != nullptr && xkbEventBase_ >= 0 &&
                         query(display_, &event, &error, &xtestMajor, &xtestMinor) != 0;
        }
    }
    return display_;
}

bool X11Keyboard::canInject() const {
    return display() != nullptr && canInject_;
}

bool X11Keyboard::refreshLayout() {
    Display* const d = display();
    if (d == nullptr || xkbEventBase_ < 0) {
        return false;
    }
    // A round trip first: a layout change that completed before this call has then sent its
    // notification to this connection.
    XSync(d, False);
    while (XPending(d) > 0) {
        XEvent event;
        XNextEvent(d, &event);
        if (event.type != xkbEventBase_) {
            continue;
        }
        const auto* xkb = reinterpret_cast<const XkbEvent*>(&event);
        if (xkb->any.xkb_type == XkbStateNotify) {
            if (static_cast<unsigned int>(xkb->state.group) != group_) {
                group_ = static_cast<unsigned int>(xkb->state.group);
                strokeKnown_.fill(false);
                altGrArmedKey_ = 0;
                loadLayout(); // letters follow the active group
            }
        } else {
            layoutChanged_ = true;
        }
    }
    if (layoutChanged_) {
        layoutChanged_ = false;
        if (layout_ != nullptr) {
            XkbFreeKeyboard(layout_, 0, True);
        }
        layout_ =
            XkbGetMap(d, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
        XkbStateRec state{};
        if (XkbGetState(d, XkbUseCoreKbd, &state) == Success) {
            group_ = state.group;
        }
        strokeKnown_.fill(false);
        altGrArmedKey_ = 0;
        loadLayout();
    }
    return layout_ != nullptr;
}

// Rebuilds the keycode tables for the current map and group.
void X11Keyboard::loadLayout() {
    keys_ = {};
    keycodeForKey_.fill(0);
    baseCharacter_.fill(0);
    level3Keycode_ = 0;
    level3Mask_ = 0;
    numLockMask_ = 0;
    if (layout_ == nullptr || layout_->map == nullptr) {
        return;
    }
    x11keys::BaseKeysyms base{};
    for (int keycode = layout_->min_key_code; keycode <= layout_->max_key_code; ++keycode) {
        const auto index = static_cast<std::size_t>(keycode);
        const XkbSymMapRec& symbols = layout_->map->key_sym_map[index];
        const int groups = symbols.group_info & 0x0F;
        if (groups == 0 || symbols.width == 0) {
            continue;
        }
        const auto group = group_ % static_cast<unsigned int>(groups);
        const KeySym keysym = layout_->map->syms[symbols.offset + group * symbols.width]; // level 1
        base[index] = static_cast<std::uint32_t>(keysym);
        const int character = x11keys::KeysymToWindows1252(base[index]);
        baseCharacter_[index] = character > 0 ? static_cast<std::uint8_t>(character) : 0;
        // The modifiers behind AltGr and Num Lock, from the keys that set them.
        for (int level = 0; level < symbols.width; ++level) {
            const KeySym levelKeysym = layout_->map->syms[symbols.offset + group * symbols.width +
                                                          static_cast<unsigned int>(level)];
            if (levelKeysym == KeysymLevel3Shift && layout_->map->modmap[index] != 0 &&
                (level3Keycode_ == 0 || x11keys::PositionalKey(keycode).virtualKey != 0)) {
                level3Keycode_ = keycode;
                level3Mask_ = layout_->map->modmap[index];
            } else if (levelKeysym == KeysymNumLock && layout_->map->modmap[index] != 0) {
                numLockMask_ = layout_->map->modmap[index];
            }
        }
    }
    keys_ = x11keys::BuildKeycodeTable(base);
    // The first key with a virtual key wins, except that a letter or digit the layout put
    // there beats a position (Z on a German keyboard is where a US one has Y).
    for (int keycode = layout_->min_key_code; keycode <= layout_->max_key_code; ++keycode) {
        const KeyInfo& key = keys_[static_cast<std::size_t>(keycode)];
        if (key.virtualKey == 0) {
            continue;
        }
        std::uint8_t& slot = keycodeForKey_[key.virtualKey];
        const bool fromLayout = x11keys::PositionalKey(keycode).virtualKey != key.virtualKey;
        if (slot == 0 || fromLayout) {
            slot = static_cast<std::uint8_t>(keycode);
        }
    }
}

std::uint32_t X11Keyboard::translate(int keycode, unsigned int modifiers) const {
    unsigned int consumed = 0;
    KeySym keysym = NoSymbol;
    // The group travels in bits 13 and 14 of the state.
    const unsigned int state = modifiers | ((group_ & 3u) << 13);
    if (!XkbTranslateKeyCode(layout_, static_cast<KeyCode>(keycode), state, &consumed, &keysym)) {
        return 0;
    }
    return static_cast<std::uint32_t>(keysym);
}

std::optional<X11Keyboard::Stroke> X11Keyboard::strokeForChar(unsigned char character) {
    if (!refreshLayout()) {
        return std::nullopt;
    }
    if (strokeKnown_[character]) {
        return strokes_[character];
    }
    std::array<std::uint32_t, 2> wanted{};
    const int wantedCount = x11keys::KeysymsForWindows1252(character, wanted);
    std::optional<Stroke> found;
    // Plain, then Shift, then AltGr, then both: the fewest modifiers win.
    const unsigned int levels[4] = {0, ShiftMask, level3Mask_, ShiftMask | level3Mask_};
    for (int level = 0; level < 4 && !found && wantedCount > 0; ++level) {
        if (level >= 2 && level3Mask_ == 0) {
            break;
        }
        for (int keycode = layout_->min_key_code; keycode <= layout_->max_key_code; ++keycode) {
            const KeyInfo& key = keys_[static_cast<std::size_t>(keycode)];
            // Only keys that injectKey reaches through their virtual key.
            if (key.virtualKey == 0 || keycodeForKey_[key.virtualKey] != keycode) {
                continue;
            }
            const std::uint32_t keysym = translate(keycode, levels[level]);
            if (keysym == 0 || (keysym != wanted[0] && (wantedCount < 2 || keysym != wanted[1]))) {
                continue;
            }
            found = Stroke{key.virtualKey, keycode, (level & 1) != 0, level >= 2};
            break;
        }
    }
    strokes_[character] = found;
    strokeKnown_[character] = true;
    return found;
}

std::optional<Keyboard::KeyForChar> X11Keyboard::keyForChar(unsigned char character) {
    const std::optional<Stroke> stroke = strokeForChar(character);
    if (!stroke) {
        altGrArmedKey_ = 0;
        return std::nullopt;
    }
    altGrArmedKey_ = stroke->altGr ? stroke->virtualKey : 0;
    return KeyForChar{stroke->virtualKey, stroke->shift};
}

int X11Keyboard::keycodeFor(int virtualKey, int scanCode) const {
    if (virtualKey > 0 && virtualKey < 255) {
        if (const int keycode = keycodeForKey_[static_cast<std::size_t>(virtualKey)]) {
            return keycode;
        }
    }
    if (scanCode > 0 && scanCode < 256) {
        for (int keycode = 0; keycode < x11keys::KeycodeCount; ++keycode) {
            const KeyInfo& key = keys_[static_cast<std::size_t>(keycode)];
            if (key.virtualKey != 0 && key.scanCode == scanCode) {
                return keycode;
            }
        }
    }
    return 0;
}

int X11Keyboard::scanCodeForKey(int virtualKey) {
    if (!refreshLayout()) {
        return 0;
    }
    const int keycode = keycodeFor(virtualKey, 0);
    return keycode == 0 ? 0 : keys_[static_cast<std::size_t>(keycode)].scanCode;
}

std::string X11Keyboard::keyName(int virtualKey, bool extended) {
    if (virtualKey <= 0 || virtualKey >= 255 || !refreshLayout()) {
        return {};
    }
    const int keycode = keycodeFor(virtualKey, 0);
    if (keycode == 0) {
        return {};
    }
    const std::uint8_t scanCode = keys_[static_cast<std::size_t>(keycode)].scanCode;
    if (const char* fixed = x11keys::FixedKeyName(scanCode, extended)) {
        return fixed;
    }
    // A character key: named by what it types, upper case, as a keyboard's print shows.
    for (int other = 0; other < x11keys::KeycodeCount; ++other) {
        const auto index = static_cast<std::size_t>(other);
        if (keys_[index].virtualKey != 0 && keys_[index].scanCode == scanCode &&
            !keys_[index].extended && baseCharacter_[index] > ' ') {
            return std::string(1, static_cast<char>(UpperCase(baseCharacter_[index])));
        }
    }
    if (const char* fixed = x11keys::FixedKeyName(scanCode, !extended)) {
        return fixed;
    }
    return {};
}

std::string X11Keyboard::charactersForKey(int virtualKey, int scanCode,
                                          const KeyboardState& state) {
    if (!refreshLayout()) {
        return {};
    }
    const int keycode = keycodeFor(virtualKey, scanCode);
    if (keycode == 0) {
        return {};
    }
    const bool control =
        Down(state, Vk::Control) || Down(state, Vk::LControl) || Down(state, Vk::RControl);
    const bool alt = Down(state, Vk::Menu) || Down(state, Vk::LMenu) || Down(state, Vk::RMenu);
    // Windows spells AltGr as Ctrl+Alt; Right Alt alone is AltGr where the layout has one.
    const bool altGr = level3Mask_ != 0 && (Down(state, Vk::RMenu) || (control && alt));
    unsigned int modifiers = 0;
    if (Down(state, Vk::Shift) || Down(state, Vk::LShift) || Down(state, Vk::RShift)) {
        modifiers |= ShiftMask;
    }
    if (Toggled(state, Vk::Capital)) {
        modifiers |= LockMask;
    }
    if (Toggled(state, Vk::NumLock)) {
        modifiers |= numLockMask_;
    }
    if (altGr) {
        modifiers |= level3Mask_;
    }
    const int character = x11keys::KeysymToWindows1252(translate(keycode, modifiers));
    if (character < 0) {
        return {}; // no character: a function key, a dead key, a modifier
    }
    if (control && !altGr) {
        // Ctrl turns letters and [ \ ] into control codes, and types nothing else.
        const int upper = character >= 'a' && character <= 'z' ? character - 0x20 : character;
        if ((upper >= 'A' && upper <= 'Z') || upper == '[' || upper == '\\' || upper == ']') {
            return std::string(1, static_cast<char>(upper & 0x1F));
        }
        if (character >= ' ') {
            return {};
        }
    }
    return std::string(1, static_cast<char>(character));
}

std::optional<Keyboard::KeyboardState> X11Keyboard::currentState() {
    if (!refreshLayout()) {
        return std::nullopt;
    }
    Display* const d = display_;
    char keymap[32] = {};
    XQueryKeymap(d, keymap);
    KeyboardState state{};
    for (int keycode = 0; keycode < x11keys::KeycodeCount; ++keycode) {
        if ((static_cast<unsigned char>(keymap[keycode / 8]) & (1u << (keycode % 8))) == 0) {
            continue;
        }
        const KeyInfo& key = keys_[static_cast<std::size_t>(keycode)];
        if (key.virtualKey == 0) {
            continue;
        }
        state[key.virtualKey] |= 0x80;
        // The sided codes beside the generic ones, as the system's state has them.
        int sided = 0;
        if (key.virtualKey == Vk::Shift) {
            sided = key.scanCode == 0x36 ? Vk::RShift : Vk::LShift;
        } else if (key.virtualKey == Vk::Control) {
            sided = key.extended ? Vk::RControl : Vk::LControl;
        } else if (key.virtualKey == Vk::Menu) {
            sided = key.extended ? Vk::RMenu : Vk::LMenu;
        }
        if (sided != 0) {
            state[static_cast<std::size_t>(sided)] |= 0x80;
        }
    }
    Window root = None;
    Window child = None;
    int rootX = 0;
    int rootY = 0;
    int x = 0;
    int y = 0;
    unsigned int buttons = 0;
    XQueryPointer(d, XDefaultRootWindow(d), &root, &child, &rootX, &rootY, &x, &y, &buttons);
    if ((buttons & Button1Mask) != 0) {
        state[Vk::LButton] |= 0x80;
    }
    if ((buttons & Button3Mask) != 0) {
        state[Vk::RButton] |= 0x80;
    }
    if ((buttons & Button2Mask) != 0) {
        state[Vk::MButton] |= 0x80;
    }
    XkbStateRec xkbState{};
    if (XkbGetState(d, XkbUseCoreKbd, &xkbState) == Success) {
        if ((xkbState.locked_mods & LockMask) != 0) {
            state[Vk::Capital] |= 0x01;
        }
        if (numLockMask_ != 0 && (xkbState.locked_mods & numLockMask_) != 0) {
            state[Vk::NumLock] |= 0x01;
        }
    }
    return state;
}

void X11Keyboard::fakeKey(int keycode, bool press) {
    reinterpret_cast<FakeKeyEventFunction>(fakeKeyEvent_)(
        display_, static_cast<unsigned int>(keycode), press ? True : False, CurrentTime);
}

void X11Keyboard::injectKey(int virtualKey, int scanCode, bool keyUp) {
    if (!canInject() || !refreshLayout()) {
        return;
    }
    const int keycode = keycodeFor(virtualKey, scanCode);
    if (keycode < layout_->min_key_code || keycode > layout_->max_key_code) {
        return; // no key of this keyboard: nothing to send
    }
    if (!keyUp && altGrArmedKey_ != 0 && altGrArmedKey_ == virtualKey && level3Keycode_ != 0) {
        // AltGr only around the press: the character is chosen then, and nothing stays held.
        fakeKey(level3Keycode_, true);
        fakeKey(keycode, true);
        fakeKey(level3Keycode_, false);
        altGrArmedKey_ = 0;
    } else {
        fakeKey(keycode, !keyUp);
    }
    // Wait until the server has handled it, so no later key can overtake this one.
    XSync(display_, False);
}

} // namespace trelk
