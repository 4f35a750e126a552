#pragma once

#include "console/ConsolePage.h"
#include "core/CheckOption.h"
#include "core/HookSlots.h"
#include "core/SettingsValues.h"
#include "platform/ports/FileSystem.h"

#include <QImage>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace trelk {

class KeyStringSender;
class OverlayLibrary;
class SettingsController;
class TraceOutput;

// The "Console" group's values and the stored check boxes the appearance reads.
struct ConsoleOptions {
    ConsoleSettings& Values;
    CheckOption& DisplayTime;
    CheckOption& AASafe;
    CheckOption& WideConsole;
    CheckOption& EscRefresh;

    static ConsoleOptions Of(SettingsController& settings);
};

// How the console looks and the options passed straight to the overlay library: background
// picture, font, colours, position, opacity in flight and docked, opening speed, wide layout,
// time display, anti-aliasing safe mode, headlights; and the refresh of the docked game screen.
// Main thread only.
class ConsoleAppearance {
public:
    struct Hooks {
        std::function<bool()> docked{}; // StationDetection::Docked (unset: in flight)
        // KeyDispatcher::ClearChannelF5Pending: the channel notice told the overlay itself.
        std::function<void()> clearChannelF5Pending{};
        // A background picture that cannot be used; said once per file and problem, during
        // play: the status bar and the log.
        std::function<void(const std::string&)> reportError{};
    };
    enum class Colour { Text, HighLight, Marker };
    struct Font {
        std::string Name;
        int Size = 8; // points
    };

    static constexpr int PictureSize = 256;

    // The background picture is read through fileSystem.
    ConsoleAppearance(OverlayLibrary& overlay, TraceOutput& trace, KeyStringSender& sender,
                      ConsolePage& page, FileSystem& fileSystem, ConsoleOptions options,
                      std::string defaultBitmapPath, std::string versionText, Hooks hooks);
    ConsoleAppearance(const ConsoleAppearance&) = delete;
    ConsoleAppearance& operator=(const ConsoleAppearance&) = delete;

    // Background picture, version text and the channel notice.
    void InitConsoleOverlay();
    // Docked only: two Escapes, or Alt held over Enter, so the game redraws its station screen.
    void InStationRefresh();
    // Docked the console is opaque; back in flight it takes the "Opacity" value, so a change
    // of that value waits for the next undocking.
    void SetDocked(bool docked);
    // The same rule in the station detection's terms.
    void SetConsoleOpacity(int opacity);
    int InFlightOpacity() const;
    // The values the page reads at every redraw and opening.
    ConsolePage::Appearance Appearance() const;

    // Start-up, after the settings are loaded: spin values into their range, the in-flight
    // opacity, and a popup speed the library has not been told, so the first opening sends it.
    void ApplyConsoleSpinControls();
    // The colours and font were loaded: the views show them.
    void ApplyColoursAndFont() { notifyViews(); }

    // Tab operations. Each change ends with InitConsoleOverlay and a redraw.
    // The font dialog redraws whatever the pilot answered; nullopt: cancelled.
    void ApplyFontDialog(const std::optional<Font>& chosen);
    void ChangeColour(Colour which, std::uint32_t bgr);
    // A file that cannot be read is reported and changes nothing, so the stored path and the
    // picture in use survive a wrong choice. True when the file was taken.
    bool ChangeBackgroundFile(const std::string& path);

    // The preview: every redrawn picture goes to the views (wire ConsolePage's rendered hook).
    void Rendered(const QImage& picture);
    void addPreviewView(std::function<void(const QImage&)> view);
    // Views of state that has no CheckOption: colours, font, spin values, whether "Display
    // Time" may be changed.
    void addView(std::function<void()> view);

    // The background file in use: the stored "ConsoleBMP", or the default when it is empty.
    std::string ConsoleBitmapPath() const;
    const QImage& Background() const { return background_; }
    int ConsoleOpacity() const { return consoleOpacity_; }
    bool DisplayTimeEnabled() const { return displayTimeEnabled_; }
    bool DisplayTimeWasOn() const { return displayTimeWasOn_; }
    const std::string& VersionText() const { return versionText_; }
    std::uint32_t ColourOf(Colour which) const;
    ConsoleOptions& Options() { return options_; }
    const Hooks& hooks() const { return hooks_; }

    // Not stored: off at every start; "//hl" toggles it.
    CheckOption HeadLights;

private:
    void cbDisplayTimeClick();
    void cbxAASafeClick();
    void cbHeadLightsClick();
    void cbWideConsoleClick();
    // Reads a picture; nullopt with the reason when the file cannot be used at all.
    std::optional<QImage> readPicture(const std::string& path, std::string& problem) const;
    void reportOnce(const std::string& message);
    void changed();
    void notifyViews();

    OverlayLibrary& overlay_;
    TraceOutput& trace_;
    KeyStringSender& sender_;
    ConsolePage& page_;
    FileSystem& fileSystem_;
    ConsoleOptions options_;
    std::string defaultBitmapPath_;
    std::string versionText_;
    Hooks hooks_;
    QImage background_;
    int consoleOpacity_ = 170;
    bool displayTimeEnabled_ = true;
    bool displayTimeWasOn_ = false;
    std::string lastReport_;
    std::vector<std::function<void(const QImage&)>> previewViews_;
    std::vector<std::function<void()>> views_;
};

template <> struct HookSlotList<ConsoleAppearance::Hooks> {
    using S = ConsoleAppearance::Hooks;
    static constexpr const char* Name = "ConsoleAppearance::Hooks";
    static constexpr std::tuple Slots{TRELK_HOOK_SLOT(S, docked),
                                      TRELK_HOOK_SLOT(S, clearChannelF5Pending),
                                      TRELK_HOOK_SLOT(S, reportError)};
};
static_assert(ListsEverySlot<ConsoleAppearance::Hooks>());

} // namespace trelk
