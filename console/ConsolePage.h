#pragma once

#include "console/ConsoleLines.h"
#include "console/ConsoleOverlaySink.h"
#include "console/ConsoleRenderer.h"
#include "console/TMMFRecord.h"
#include "core/HookSlots.h"
#include "core/TraceOutput.h"

#include <QImage>
#include <cstdint>
#include <functional>
#include <string>

namespace trelk {

// The console page and its picture: the page operations every builder fills it through, the
// redraw, and opening and closing the console. Main thread only.
class ConsolePage {
public:
    // The appearance options' values read at each redraw or opening.
    struct Appearance {
        ConsoleLook Look;
        int PositionX = 2; // passed as a byte, clamped to 0..255
        int PositionY = 14;
        int Opacity = 170;    // ConsoleOpacity, 255 opaque
        int PopupSpeed = 128; // the opening-speed control's value
    };
    struct Hooks {
        std::function<Appearance()> appearance{};        // ConsoleAppearance::Appearance
        std::function<void(bool)> setConsoleShownFlag{}; // KeyRecord: the console byte
        std::function<bool()> docked{};                  // StationDetection (unset: in flight)
        std::function<void()> inStationRefresh{};        // ConsoleAppearance::InStationRefresh
        // ConsoleAppearance::Rendered: the preview, after every redraw.
        std::function<void(const QImage&)> rendered{};
    };

    static constexpr std::int32_t MaxTextOffset = 200;

    ConsolePage(ConsoleOverlaySink& overlay, TraceOutput& trace, Hooks hooks);

    // Page building.
    void ClearPage();
    void SetPageTitle(std::string text) { record_.TitleLine = std::move(text); }
    void SetPageStatus(std::string text) { record_.StatusLine = std::move(text); }
    // Builders size the buffer to their item count + 14 before adding lines; a negative count
    // counts as none and a huge one cannot overflow the sum.
    void SizeLines(std::int64_t items);
    // Stores code + text at the line count and counts it; grows the buffer when the builder
    // sized it too small.
    void AddPageLine(const std::string& text, char code);
    void SelectLine(std::int32_t n);
    void RenderConsole();

    // Visibility.
    void ShowConsole();
    void HideConsole();
    // Hands a picture drawn elsewhere (a captured web page) to the overlay in place of the
    // console picture.
    void PushCapturedBitmap(const QImage& capture);

    // The wide-console option: unticking it refreshes the docked game screen at the redraw.
    void SetWideMode(bool wide);
    void SetTextOffset(std::int32_t offset);
    void SetAddonPageActive(bool active) { addonPageActive_ = active; }
    void SetLastPopupSpeed(std::int32_t speed) { lastPopupSpeed_ = speed; }
    void SetBackground(const QImage& picture) { renderer_.SetBackground(picture); }

    const Hooks& hooks() const { return hooks_; }
    const TMMFRecord& Record() const { return record_; }
    const ConsoleLines& Lines() const { return lines_; }
    ConsoleLines& Lines() { return lines_; }
    std::int32_t SelectedLine() const { return selectedLine_; }
    std::int32_t TextOffset() const { return textOffset_; }
    bool ConsoleVisible() const { return consoleVisible_; }
    bool WideMode() const { return wideMode_; }
    bool AddonPageActive() const { return addonPageActive_; }
    bool RefreshPending() const { return refreshPending_; }
    std::int32_t LastPopupSpeed() const { return lastPopupSpeed_; }
    // The picture last handed over or prepared (ConsoleBitmapHandle).
    const QImage& CurrentBitmap() const { return currentBitmap_; }
    const ConsoleRenderer& Renderer() const { return renderer_; }

private:
    Appearance CurrentAppearance() const;

    ConsoleOverlaySink& overlay_;
    TraceOutput& trace_;
    Hooks hooks_;
    ConsoleRenderer renderer_;
    TMMFRecord record_;
    ConsoleLines lines_;
    std::int32_t selectedLine_ = 0;
    std::int32_t textOffset_ = 0;
    bool consoleVisible_ = false;
    bool wideMode_ = false;
    bool addonPageActive_ = false;
    bool refreshPending_ = false;
    // Unknown to the library until the first opening tells it.
    std::int32_t lastPopupSpeed_ = -1;
    QImage currentBitmap_;
};

template <> struct HookSlotList<ConsolePage::Hooks> {
    using S = ConsolePage::Hooks;
    static constexpr const char* Name = "ConsolePage::Hooks";
    static constexpr std::tuple Slots{
        TRELK_HOOK_SLOT(S, appearance), TRELK_HOOK_SLOT(S, setConsoleShownFlag),
        TRELK_HOOK_SLOT(S, docked),     TRELK_HOOK_SLOT(S, inStationRefresh),
        TRELK_HOOK_SLOT(S, rendered),
    };
};
static_assert(ListsEverySlot<ConsolePage::Hooks>());

} // namespace trelk
