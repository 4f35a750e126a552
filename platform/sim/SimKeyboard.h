#pragma once

// The sim keyboard: the layouts of SimLayouts ("us" unless set) and the "X server" of the sim
// platform.
//
//   SimPlatform platform;                    // the game runs and has the focus
//   platform.simKeyboard().pilotTypes("Hi"); // Shift down, H down, H up, Shift up, I down...
//   platform.simKeyboard().pilotPress(Vk::Insert); // Insert down (pilotRelease lets go)
//   platform.simLoop().processPendingMessages(); // the hook messages reach the main window
//   platform.game().chatLine();              // what the game's chat line holds
//   platform.simKeyboard().setLayout("de");  // German; "us,ru" has a second group
//
// Every event, injected or typed, updates the key state and goes to the window with the
// focus: the game when it has it. Only then does the fake hook see it (while HookOn is in
// force) and post the hook message, so the program sees its own keys when it next processes
// pending messages, as on the real system. Mouse buttons (1, 2, 4, 5, 6) change the key state
// only. Virtual keys outside 1..254 are ignored and counted.

#include "platform/ports/Keyboard.h"
#include "platform/ports/VirtualKeys.h"

#include <array>
#include <cstdint>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

namespace trelk {

class SimGame;
class SimHookLibrary;

namespace sim {
struct Layout;
struct LayoutKey;
using KeyOutput = std::uint16_t;
} // namespace sim

struct SimKeyEvent {
    int virtualKey = 0;
    bool keyUp = false;
    friend bool operator==(const SimKeyEvent&, const SimKeyEvent&) = default;
};
inline SimKeyEvent KeyDown(int virtualKey) {
    return {virtualKey, false};
}
inline SimKeyEvent KeyUp(int virtualKey) {
    return {virtualKey, true};
}
// "+Shift +H -H -Shift": short, readable sequences for test messages.
std::string DescribeKeys(const std::vector<SimKeyEvent>& events);
// Lets test frameworks print one event the same way.
void PrintTo(const SimKeyEvent& event, std::ostream* out);

class SimKeyboard final : public Keyboard {
public:
    explicit SimKeyboard(SimHookLibrary& hook);

    std::shared_ptr<const KeyboardLayout> layout() override;
    int activeGroup() override;
    void selectGroup(int group) override;
    void setLockToggled(int virtualKey, bool toggled) override;
    int scanCodeForKey(int virtualKey) override;
    std::string charactersForKey(int virtualKey, int scanCode, const KeyboardState& state) override;
    std::string keyName(int virtualKey, bool extended) override;
    std::optional<KeyboardState> currentState() override;
    void injectKey(int virtualKey, int scanCode, bool keyUp) override;
    bool canInject() const override { return canInject_; }

    // The keystroke flags the hook reports for an event (repeat count 1, scan code, extended
    // bit for navigation keys, Alt context, previous state, transition).
    static std::uint32_t KeystrokeFlags(int virtualKey, int scanCode, bool keyUp, bool wasDown,
                                        bool altDown);
    static bool IsExtendedKey(int virtualKey);

    // --- test side ---
    void setGame(SimGame* game) { game_ = game; }
    // One of the layouts of SimLayouts, its first group active; false for an unknown name.
    bool setLayout(const std::string& name);
    // What the key types with the given state in the group in force: a character, a dead key
    // or nothing (SimLayouts). The game composes with it.
    sim::KeyOutput output(int virtualKey, const KeyboardState& state) const;
    // How often the group or a lock was changed through the port.
    int groupChanges() const { return groupChanges_; }
    int lockChanges() const { return lockChanges_; }
    // What a pilot's fingers do: the same path as injection. pilotTypes types a character by
    // the first key of the group in force that has it, wrapped in Shift and Right Alt (AltGr)
    // as its level needs, and \r, \n, \b, \t and ESC as their keys.
    void pilotPress(int virtualKey);
    void pilotRelease(int virtualKey);
    void pilotTypes(const std::string& text);
    // A key of another layout that types this letter (a German key's "\xFC"); pilotTypes
    // uses it for letters the US layout lacks. The program's own typing still finds only the
    // US keys.
    void addLayoutKey(int virtualKey, char letter);

    const KeyboardState& state() const { return state_; }
    bool isDown(int virtualKey) const;
    // Every injected event, in order.
    const std::vector<SimKeyEvent>& injected() const { return injected_; }
    // Events that went to some other window because the game did not have the focus.
    const std::vector<SimKeyEvent>& keysToOtherWindows() const { return otherWindows_; }
    int ignoredEvents() const { return ignored_; }
    void setCanInject(bool can) { canInject_ = can; }
    void setStateReadable(bool readable) { stateReadable_ = readable; }

private:
    const sim::LayoutKey* layoutKey(int virtualKey, int group) const;
    std::shared_ptr<const KeyboardLayout> describe() const;
    void keyEvent(int virtualKey, int scanCode, bool keyUp);
    void updateState(int virtualKey, bool keyUp);
    char layoutLetter(int virtualKey) const;

    SimHookLibrary& hook_;
    SimGame* game_ = nullptr;
    KeyboardState state_{};
    std::vector<SimKeyEvent> injected_;
    std::vector<SimKeyEvent> otherWindows_;
    std::array<char, 256> layoutKeys_{};
    int ignored_ = 0;
    bool canInject_ = true;
    bool stateReadable_ = true;
    const sim::Layout* layout_;
    int group_ = 0;
    std::shared_ptr<const KeyboardLayout> description_;
    int groupChanges_ = 0;
    int lockChanges_ = 0;
};

} // namespace trelk
