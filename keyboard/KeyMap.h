#pragma once

#include "core/SettingsValues.h"
#include "platform/ports/EventLoop.h"
#include "platform/ports/Keyboard.h"

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace trelk {

// One entry of the key map as the "KeyMap" tab shows it.
struct KeyMapEntry {
    const char* setting;  // key name in the settings file
    const char* panel;    // the panel that shows and captures the key
    const char* label;    // text beside the panel
    const char* subLabel; // second line of the label, or empty
};

// The entries in the order of KM1..KM21.
inline constexpr std::array<KeyMapEntry, kKeyMapSize> KeyMapEntries{{
    {"KM1", "pnlKMDisplay", "Toggle Display", ""},
    {"KM2", "pnlKMUpLevel", "Up Level", ""},
    {"KM3", "pnlKMDownLevel", "Down Level", ""},
    {"KM4", "pnlKMUpList", "Up List", ""},
    {"KM5", "pnlKMDownList", "Down List", ""},
    {"KM6", "pnlKMCmdList", "Command List", ""},
    {"KM7", "pnlKMMacHot", "Macro HotKey", ""},
    {"KM8", "pnlKMStartScan", "Enable Scan", "(Console Off)"},
    {"KM9", "pnlKMNextRot", "NextLumacor", ""},
    {"KM10", "pnlKMF1", "F1", ""},
    {"KM11", "pnlKMF2", "F2", ""},
    {"KM12", "pnlKMF3", "F3", ""},
    {"KM13", "pnlKMF4", "F4", ""},
    {"KM14", "pnlKMF5", "F5", ""},
    {"KM15", "pnlKMF6", "F6", ""},
    {"KM16", "pnlKMF7", "F7", ""},
    {"KM17", "pnlKMF8", "F8", ""},
    {"KM18", "pnlKMF9", "F9", ""},
    {"KM19", "pnlKMF10", "F10", ""},
    {"KM20", "pnlKMF11", "F11", ""},
    {"KM21", "pnlKMF12", "F12", ""},
}};

// Positions in the key map (KM1 is 0).
enum class KeyFunction : std::size_t {
    Display = 0,
    UpLevel,
    DownLevel,
    UpList,
    DownList,
    CmdList,
    MacHot,
    StartScan,
    NextRot,
    F1, // the macro hot keys F1..F12 follow in order
};
inline constexpr std::size_t kFirstMacroHotKey = static_cast<std::size_t>(KeyFunction::F1);

// The key map (key codes: virtual key in bits 0..7, extended flag in bit 8, -1 unmapped), the
// key names, and the capture of a new key for one entry. The codes live in the settings
// values, so saving the KeyMap group writes what was captured.
class KeyMap {
public:
    static constexpr const char* TypeKeyText = "Type key to use...";
    static constexpr const char* ClickBelowText = "Click below to map key to function...";
    static constexpr int Unmapped = -1;
    static constexpr int ExtendedBit = kExtendedKeyCode;

    KeyMap(std::array<int, kKeyMapSize>& codes, Keyboard& keyboard, EventLoop& loop,
           const std::atomic<bool>& shuttingDown);

    int code(KeyFunction function) const { return codes_[static_cast<std::size_t>(function)]; }
    int code(std::size_t index) const { return index < kKeyMapSize ? codes_[index] : Unmapped; }
    void setCode(std::size_t index, int code);
    // Whether the entry is mapped to this virtual key. Only bits 0..7 are compared, so the
    // mapping matches with or without the extended flag; an unmapped entry and the code 255
    // ("no key") match nothing.
    bool matches(KeyFunction function, int virtualKey) const {
        return matchesCode(code(function), virtualKey);
    }
    static bool matchesCode(int code, int virtualKey) {
        const int low = code & 0xFF;
        return code >= 0 && low != 0xFF && low == virtualKey;
    }

    // "L_Button", "R_Button", "M_Button", "Pause", else the layout's name of the key; empty
    // for an unmapped code. At most 31 characters.
    std::string KeyName(int code);
    // The caption of an entry's panel.
    std::string Caption(std::size_t index) { return KeyName(code(index)); }
    // The lowest virtual key from `from` to 255 that is down now; -1 when none is down or the
    // keyboard state cannot be read.
    int FirstPressedKey(int from);

    // The application-wide message filter: every key-down or key-up message the program's own
    // windows take from the queue while the KeyMap tab is active.
    void FilterKeyMessage(int virtualKey, std::uint32_t flags);
    // The last key message was Pause / had the extended flag: what a capture reads beside the
    // keyboard state. The hook's key messages set the extended flag too.
    bool PauseSeen() const { return pauseSeen_; }
    bool ExtendedKey() const { return extendedKey_; }
    void SetExtendedKey(bool extended) { extendedKey_ = extended; }
    void ClearPauseMark() { pauseSeen_ = false; }

    // The KeyMap tab became the active page or stopped being it. Leaving it ends a capture.
    void SetKeyMapTabActive(bool active);
    bool KeyMapTabActive() const { return tabActive_; }

    // pnlKMDisplayClick: waits, processing messages, for the key the user presses and maps the
    // entry to it (Escape unmaps it). Ends without a change when the program shuts down or
    // the tab is left. Returns the entry's code afterwards.
    int pnlKMDisplayClick(std::size_t index);
    // The entry being captured, or -1.
    int CapturingIndex() const { return capturing_; }
    // The text of lblKeyMapping.
    const std::string& lblKeyMapping() const { return lblKeyMapping_; }

    // Runs when a caption, the label or the capture state changes (the tab's view refresh).
    void addView(std::function<void()> view) { views_.push_back(std::move(view)); }

private:
    void changed() const;
    bool captureMustEnd() const;
    int readCapturedKey();

    std::array<int, kKeyMapSize>& codes_;
    Keyboard& keyboard_;
    EventLoop& loop_;
    const std::atomic<bool>& shuttingDown_;
    std::vector<std::function<void()>> views_;
    bool pauseSeen_ = false;
    bool extendedKey_ = false;
    bool tabActive_ = false;
    int capturing_ = -1;
    std::string lblKeyMapping_ = ClickBelowText;
};

} // namespace trelk
