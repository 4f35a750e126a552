#pragma once

#include "X11KeyTable.h"
#include "platform/ports/Keyboard.h"

#include <array>
#include <cstdint>

struct _XDisplay;
struct _XkbDesc;

namespace trelk {

// The Keyboard port on Xlib, XKB and XTest. Every raw X call of the product's keyboard code
// lives in this class, so a test against a live Xvfb runs exactly the product's code.
//
// - Its own display connection ($DISPLAY), opened at first use; without one every query
//   answers nothing and canInject() is false.
// - The layout (keymap and active group) is read from the server and re-read after XKB
//   reports a change, checked at every call, so `setxkbmap` takes effect at the next key.
// - Characters on the AltGr level (e.g. @ on a German layout) are typed exactly:
//   keyForChar reports Shift only for the Shift part, and the following key-down of that key
//   is wrapped in ISO_Level3_Shift by injectKey itself.
class X11Keyboard final : public Keyboard {
public:
    // How a character is typed: the key and the modifiers its level needs.
    struct Stroke {
        int virtualKey = 0;
        int keycode = 0;
        bool shift = false;
        bool altGr = false;
    };

    X11Keyboard() = default;
    ~X11Keyboard() override;
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    std::optional<KeyForChar> keyForChar(unsigned char character) override;
    int scanCodeForKey(int virtualKey) override;
    std::string charactersForKey(int virtualKey, int scanCode, const KeyboardState& state) override;
    std::string keyName(int virtualKey, bool extended) override;
    std::optional<KeyboardState> currentState() override;
    void injectKey(int virtualKey, int scanCode, bool keyUp) override;
    bool canInject() const override;

    // The full answer behind keyForChar, without arming AltGr for the next key.
    std::optional<Stroke> strokeForChar(unsigned char character);

private:
    _XDisplay* display() const;
    bool refreshLayout();
    void loadLayout();
    int keycodeFor(int virtualKey, int scanCode) const;
    std::uint32_t translate(int keycode, unsigned int modifiers) const;
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
    x11keys::KeycodeTable keys_{};
    std::array<std::uint8_t, 256> keycodeForKey_{};
    std::array<std::uint8_t, 256> baseCharacter_{}; // per keycode, 0 when none
    std::array<std::optional<Stroke>, 256> strokes_{};
    std::array<bool, 256> strokeKnown_{};
    int level3Keycode_ = 0;
    unsigned int level3Mask_ = 0;
    unsigned int numLockMask_ = 0;
    int altGrArmedKey_ = 0;
};

} // namespace trelk
