#pragma once

#include "X11KeyTable.h"
#include "XkbCompose.h"
#include "platform/ports/Keyboard.h"

#include <array>
#include <cstdint>
#include <memory>

struct _XDisplay;
struct _XkbDesc;

namespace trelk {

// The Keyboard port on Xlib, XKB and XTest. Every raw X call of the product's keyboard code
// lives in this class, so a test against a live Xvfb runs exactly the product's code.
//
// - Its own display connection ($DISPLAY), opened at first use; without one every query
//   answers nothing and canInject() is false.
// - The layout (keymap, active group, Num Lock) is read from the server and re-read after XKB
//   reports a change, checked at every call, so `setxkbmap` takes effect at the next key.
// - layout() reads every group and level of the map (XkbTranslateKeyCode), and what its dead
//   keys compose to by the locale's compose rules (XkbCompose), as a text input reads them.
// - selectGroup locks the group (XkbLockGroup); setLockToggled locks or unlocks the modifier of
//   Caps Lock or Num Lock (XkbLockModifiers): no key event, so the hook sees nothing.
// - Vk::RMenu is injected as the key that carries ISO_Level3_Shift (AltGr) where the layout
//   has one.
class X11Keyboard final : public Keyboard {
public:
    X11Keyboard() = default;
    ~X11Keyboard() override;
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    std::shared_ptr<const KeyboardLayout> layout() override;
    int activeGroup() override;
    void selectGroup(int group) override;
    void setLockToggled(int virtualKey, bool toggled) override;
    int scanCodeForKey(int virtualKey) override;
    std::string charactersForKey(int virtualKey, int scanCode, const KeyboardState& state) override;
    std::string keyName(int virtualKey, bool extended) override;
    std::optional<KeyboardState> currentState() override;
    void injectKey(int virtualKey, int scanCode, bool keyUp) override;
    bool canInject() const override;

private:
    struct Level3 {
        int keycode = 0;
        unsigned int mask = 0;
    };

    _XDisplay* display() const;
    bool refreshLayout();
    void loadLayout();
    x11keys::BaseKeysyms baseKeysyms(unsigned int group) const;
    Level3 level3For(unsigned int group) const;
    int groupCount() const;
    std::shared_ptr<const KeyboardLayout> describe();
    int keycodeFor(int virtualKey, int scanCode) const;
    std::uint32_t translate(int keycode, unsigned int modifiers, unsigned int group) const;
    void fakeKey(int keycode, bool press);

    mutable _XDisplay* display_ = nullptr;
    mutable bool extensionsChecked_ = false;
    mutable int xkbEventBase_ = -1;
    // XTest is loaded at run time, so the platform links no extension library.
    mutable void* xtestLibrary_ = nullptr;
    mutable void* fakeKeyEvent_ = nullptr;
    mutable bool canInject_ = false;

    _XkbDesc* layout_ = nullptr;
    bool layoutChanged_ = true;
    unsigned int group_ = 0;
    bool numLockOn_ = false;
    x11keys::KeycodeTable keys_{};
    std::array<std::uint8_t, 256> keycodeForKey_{};
    std::array<std::uint8_t, 256> baseCharacter_{}; // per keycode, 0 when none
    Level3 level3_;
    unsigned int numLockMask_ = 0;
    std::shared_ptr<const KeyboardLayout> description_;
    XkbCompose compose_;
};

} // namespace trelk
