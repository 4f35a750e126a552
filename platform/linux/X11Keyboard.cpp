#include "X11Keyboard.h"

#include "X11ServerLoss.h"
#include "platform/ports/VirtualKeys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <algorithm>
#include <dlfcn.h>
#include <vector>

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
            // The group and the locks (Num Lock changes what the keypad types).
            const unsigned long stateEvents = XkbGroupStateMask | XkbModifierLockMask;
            XkbSelectEventDetails(display_, XkbUseCoreKbd, XkbStateNotify, stateEvents,
                                  stateEvents);
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
                loadLayout(); // letters follow the active group
            }
            const bool numLock = numLockMask_ != 0 && (xkb->state.locked_mods & numLockMask_) != 0;
            if (numLock != numLockOn_) {
                numLockOn_ = numLock;
                description_.reset(); // the keypad types other things now
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
        const bool stateRead = XkbGetState(d, XkbUseCoreKbd, &state) == Success;
        if (stateRead) {
            group_ = state.group;
        }
        loadLayout();
        numLockOn_ = stateRead && numLockMask_ != 0 && (state.locked_mods & numLockMask_) != 0;
        description_.reset();
    }
    return layout_ != nullptr;
}

int X11Keyboard::groupCount() const {
    int groups = 1;
    for (int keycode = layout_->min_key_code; keycode <= layout_->max_key_code; ++keycode) {
        groups = std::max(groups, static_cast<int>(XkbKeyNumGroups(layout_, keycode)));
    }
    return std::min(groups, XkbNumKbdGroups);
}

// The keysym of every keycode's first level in a group.
x11keys::BaseKeysyms X11Keyboard::baseKeysyms(unsigned int group) const {
    x11keys::BaseKeysyms base{};
    for (int keycode = layout_->min_key_code; keycode <= layout_->max_key_code; ++keycode) {
        const int groups = XkbKeyNumGroups(layout_, keycode);
        const int width = XkbKeyGroupsWidth(layout_, keycode);
        if (groups == 0 || width == 0) {
            continue;
        }
        const auto wrapped = static_cast<int>(group % static_cast<unsigned int>(groups));
        base[static_cast<std::size_t>(keycode)] =
            static_cast<std::uint32_t>(XkbKeySymEntry(layout_, keycode, 0, wrapped));
    }
    return base;
}

// The key that selects the third level in a group, and its modifier; none without one.
X11Keyboard::Level3 X11Keyboard::level3For(unsigned int group) const {
    Level3 found;
    for (int keycode = layout_->min_key_code; keycode <= layout_->max_key_code; ++keycode) {
        const int groups = XkbKeyNumGroups(layout_, keycode);
        const unsigned int modifiers = layout_->map->modmap[keycode];
        if (groups == 0 || modifiers == 0) {
            continue;
        }
        const auto wrapped = static_cast<int>(group % static_cast<unsigned int>(groups));
        for (int level = 0; level < XkbKeyGroupsWidth(layout_, keycode); ++level) {
            // Right Alt where it is one, rather than a key no keyboard has.
            if (XkbKeySymEntry(layout_, keycode, level, wrapped) == KeysymLevel3Shift &&
                (found.keycode == 0 || x11keys::PositionalKey(keycode).virtualKey != 0)) {
                found = {keycode, modifiers};
            }
        }
    }
    return found;
}

// Rebuilds the keycode tables for the current map and group.
void X11Keyboard::loadLayout() {
    keys_ = {};
    keycodeForKey_.fill(0);
    baseCharacter_.fill(0);
    level3_ = {};
    numLockMask_ = 0;
    if (layout_ == nullptr || layout_->map == nullptr) {
        return;
    }
    const x11keys::BaseKeysyms base = baseKeysyms(group_);
    for (int keycode = layout_->min_key_code; keycode <= layout_->max_key_code; ++keycode) {
        const auto index = static_cast<std::size_t>(keycode);
        const int character = x11keys::KeysymToWindows1252(base[index]);
        baseCharacter_[index] = character > 0 ? static_cast<std::uint8_t>(character) : 0;
        for (int i = 0; i < XkbKeyNumSyms(layout_, keycode); ++i) {
            if (XkbKeySymsPtr(layout_, keycode)[i] == KeysymNumLock &&
                layout_->map->modmap[keycode] != 0) {
                numLockMask_ = layout_->map->modmap[keycode];
            }
        }
    }
    level3_ = level3For(group_);
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
        // The sided modifiers by their own codes.
        int sided = 0;
        if (key.virtualKey == Vk::Shift) {
            sided = key.scanCode == 0x36 ? Vk::RShift : Vk::LShift;
        } else if (key.virtualKey == Vk::Control) {
            sided = key.extended ? Vk::RControl : Vk::LControl;
        } else if (key.virtualKey == Vk::Menu) {
            sided = key.extended ? Vk::RMenu : Vk::LMenu;
        }
        if (sided != 0 && keycodeForKey_[static_cast<std::size_t>(sided)] == 0) {
            keycodeForKey_[static_cast<std::size_t>(sided)] = static_cast<std::uint8_t>(keycode);
        }
    }
    // Right Alt is AltGr where the layout has a third level.
    if (level3_.keycode != 0) {
        keycodeForKey_[Vk::RMenu] = static_cast<std::uint8_t>(level3_.keycode);
    }
}

std::uint32_t X11Keyboard::translate(int keycode, unsigned int modifiers,
                                     unsigned int group) const {
    unsigned int consumed = 0;
    KeySym keysym = NoSymbol;
    // The group travels in bits 13 and 14 of the state.
    const unsigned int state = modifiers | ((group & 3u) << 13);
    if (!XkbTranslateKeyCode(layout_, static_cast<KeyCode>(keycode), state, &consumed, &keysym)) {
        return 0;
    }
    return static_cast<std::uint32_t>(keysym);
}

std::shared_ptr<const KeyboardLayout> X11Keyboard::layout() {
    if (!refreshLayout()) {
        return nullptr;
    }
    if (!description_) {
        description_ = describe();
    }
    return description_;
}

// Every group, level and key of the map; then every dead key with every key of its group,
// through the compose rules.
std::shared_ptr<const KeyboardLayout> X11Keyboard::describe() {
    auto described = std::make_shared<KeyboardLayout>();
    described->groupCount = groupCount();
    const unsigned int numLock = numLockOn_ ? numLockMask_ : 0;
    for (int group = 0; group < described->groupCount; ++group) {
        const auto groupIndex = static_cast<unsigned int>(group);
        const x11keys::KeycodeTable keys = x11keys::BuildKeycodeTable(baseKeysyms(groupIndex));
        const unsigned int level3 = level3For(groupIndex).mask;
        const unsigned int levels[4] = {0, ShiftMask, level3, ShiftMask | level3};
        struct Found {
            KeyStroke stroke;
            std::uint32_t keysym;
        };
        std::vector<Found> found;
        // The main block first, then the keypad; in each, the fewest level keys first.
        for (int pass = 0; pass < 8; ++pass) {
            const int level = pass % 4;
            const bool keypad = pass >= 4;
            if (level >= 2 && level3 == 0) {
                continue;
            }
            for (int keycode = layout_->min_key_code; keycode <= layout_->max_key_code; ++keycode) {
                const KeyInfo& key = keys[static_cast<std::size_t>(keycode)];
                if (key.virtualKey == 0 ||
                    keypad != (key.virtualKey >= Vk::Numpad0 && key.virtualKey <= Vk::Divide)) {
                    continue;
                }
                const std::uint32_t keysym =
                    translate(keycode, levels[level] | numLock, groupIndex);
                const KeyStroke stroke{group, key.virtualKey, key.scanCode, (level & 1) != 0,
                                       level >= 2};
                if (x11keys::IsDeadKeysym(keysym)) {
                    found.push_back({stroke, keysym});
                    continue;
                }
                const int character = x11keys::KeysymToWindows1252(keysym);
                if (character >= 32 && character != 127) {
                    described->characters.push_back(
                        {stroke, static_cast<unsigned char>(character)});
                    found.push_back({stroke, keysym});
                }
            }
        }
        std::vector<std::uint32_t> deadKeys;
        for (const Found& dead : found) {
            if (!x11keys::IsDeadKeysym(dead.keysym) ||
                std::find(deadKeys.begin(), deadKeys.end(), dead.keysym) != deadKeys.end()) {
                continue;
            }
            deadKeys.push_back(dead.keysym);
            std::vector<std::uint32_t> followers;
            for (const Found& next : found) {
                if (std::find(followers.begin(), followers.end(), next.keysym) != followers.end()) {
                    continue; // the fewest level keys for each keysym
                }
                followers.push_back(next.keysym);
                const auto composed = compose_.compose(dead.keysym, next.keysym);
                const int character = composed ? x11keys::UnicodeToWindows1252(*composed) : -1;
                if (character >= 32 && character != 127) {
                    described->deadKeySequences.push_back(
                        {dead.stroke, next.stroke, static_cast<unsigned char>(character)});
                }
            }
        }
    }
    return described;
}

int X11Keyboard::activeGroup() {
    return refreshLayout() ? static_cast<int>(group_) : 0;
}

void X11Keyboard::selectGroup(int group) {
    if (group < 0 || !refreshLayout()) {
        return;
    }
    XkbLockGroup(display_, XkbUseCoreKbd, static_cast<unsigned int>(group));
    // Its notification comes before any later key event: the tables follow at once.
    refreshLayout();
}

void X11Keyboard::setLockToggled(int virtualKey, bool toggled) {
    if (!refreshLayout()) {
        return;
    }
    const unsigned int mask =
        virtualKey == Vk::Capital ? LockMask : (virtualKey == Vk::NumLock ? numLockMask_ : 0);
    if (mask == 0) {
        return;
    }
    XkbLockModifiers(display_, XkbUseCoreKbd, mask, toggled ? mask : 0);
    refreshLayout();
}

int X11Keyboard::keycodeFor(int virtualKey, int scanCode) const {
    const bool knownKey = virtualKey > 0 && virtualKey < 255;
    const bool sided = virtualKey >= Vk::LShift && virtualKey <= Vk::RMenu;
    if (scanCode > 0 && scanCode < 256 && !sided) {
        // The scan code tells apart keys that share a virtual key (on French AZERTY both the
        // M key and the ", ?" key report VK_M), the virtual key keys that share a scan code.
        int first = 0;
        for (int keycode = 0; keycode < x11keys::KeycodeCount; ++keycode) {
            const KeyInfo& key = keys_[static_cast<std::size_t>(keycode)];
            if (key.virtualKey == 0 || key.scanCode != scanCode) {
                continue;
            }
            if (key.virtualKey == virtualKey) {
                return keycode;
            }
            if (first == 0) {
                first = keycode;
            }
        }
        if (!knownKey || keycodeForKey_[static_cast<std::size_t>(virtualKey)] == 0) {
            return first;
        }
    }
    return knownKey ? keycodeForKey_[static_cast<std::size_t>(virtualKey)] : 0;
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
    const bool altGr = level3_.mask != 0 && (Down(state, Vk::RMenu) || (control && alt));
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
        modifiers |= level3_.mask;
    }
    const int character = x11keys::KeysymToWindows1252(translate(keycode, modifiers, group_));
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
    fakeKey(keycode, !keyUp);
    // Wait until the server has handled it, so no later key can overtake this one.
    XSync(display_, False);
}

} // namespace trelk
