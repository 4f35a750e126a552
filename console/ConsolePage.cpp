#include "console/ConsolePage.h"

#include <algorithm>
#include <utility>

namespace trelk {

namespace {

std::uint8_t ToByte(int value) {
    return static_cast<std::uint8_t>(std::clamp(value, 0, 255));
}

} // namespace

ConsolePage::ConsolePage(ConsoleOverlaySink& overlay, TraceOutput& trace, Hooks hooks)
    : overlay_(overlay), trace_(trace), hooks_(std::move(hooks)) {}

void ConsolePage::ClearPage() {
    lines_.EmptyAll();
    record_.LineCount = 0;
}

void ConsolePage::SizeLines(std::int64_t items) {
    lines_.SetLength(std::clamp<std::int64_t>(items, 0, ConsoleLines::MaxLength) + 14);
}

void ConsolePage::AddPageLine(const std::string& text, char code) {
    if (lines_.Set(record_.LineCount, code + text)) {
        ++record_.LineCount;
    }
}

void ConsolePage::SelectLine(std::int32_t n) {
    // From the eighth line on, the highlight stays on the eighth of the fifteen rows; an
    // add-on page scrolls itself.
    record_.TopLine = (n < 8 || addonPageActive_) ? 0 : n - 7;
    selectedLine_ = n;
    RenderConsole();
}

ConsolePage::Appearance ConsolePage::CurrentAppearance() const {
    return hooks_.appearance ? hooks_.appearance() : Appearance{};
}

void ConsolePage::RenderConsole() {
    const bool docked = hooks_.docked && hooks_.docked();
    if (docked && refreshPending_) {
        if (hooks_.inStationRefresh) {
            hooks_.inStationRefresh();
        }
        refreshPending_ = false;
    }
    const Appearance appearance = CurrentAppearance();

    overlay_.SetConsoleMode(1);
    trace_.Trace("TrelkPro: Nxea_SizeConsoleBMP called");
    const ConsoleFrame frame{lines_, record_, selectedLine_, textOffset_, wideMode_};
    currentBitmap_ = renderer_.Render(frame, appearance.Look);
    trace_.Trace("TrelkPro: NexaCSetConsolePosition called");
    overlay_.SetConsolePosition(ToByte(appearance.PositionX), ToByte(appearance.PositionY));
    trace_.Trace("TrelkPro: NexaCSetColorValue called");
    overlay_.SetColorValue(ToByte(appearance.Opacity), 255, 255, 255);

    if (hooks_.rendered) {
        hooks_.rendered(currentBitmap_);
    }
    if (consoleVisible_) {
        trace_.Trace("TrelkPro: NexaCSetNewBitmap called");
        overlay_.SetNewBitmap(currentBitmap_);
    }
}

void ConsolePage::ShowConsole() {
    if (consoleVisible_) {
        return;
    }
    const int speed = std::clamp(CurrentAppearance().PopupSpeed, 0, 255);
    if (speed != lastPopupSpeed_) {
        lastPopupSpeed_ = speed;
        trace_.Trace("TrelkPro: NexaCSetPopupSpeed called with value " + std::to_string(speed));
        overlay_.SetPopupSpeed(ToByte(speed));
    }
    if (hooks_.setConsoleShownFlag) {
        hooks_.setConsoleShownFlag(true);
    }
    consoleVisible_ = true;
    RenderConsole();
    trace_.Trace("TrelkPro: NexaCShowConsole called with value: true");
    overlay_.ShowConsole(true);
}

void ConsolePage::HideConsole() {
    if (hooks_.setConsoleShownFlag) {
        hooks_.setConsoleShownFlag(false);
    }
    consoleVisible_ = false;
    trace_.Trace("TrelkPro: NexaCShowConsole called with value: false");
    overlay_.ShowConsole(false);
    if (hooks_.inStationRefresh) {
        hooks_.inStationRefresh();
    }
}

void ConsolePage::PushCapturedBitmap(const QImage& capture) {
    trace_.Trace("TrelkPro: NexaCSetConsoleMode called with value 1");
    overlay_.SetConsoleMode(1);
    currentBitmap_ = capture;
    if (consoleVisible_) {
        trace_.Trace("TrelkPro: NexaCSetNewBitmap called");
        overlay_.SetNewBitmap(currentBitmap_);
        refreshPending_ = true;
    }
}

void ConsolePage::SetWideMode(bool wide) {
    if (wideMode_ && !wide) {
        refreshPending_ = true;
    }
    wideMode_ = wide;
    RenderConsole();
}

void ConsolePage::SetTextOffset(std::int32_t offset) {
    textOffset_ = std::clamp(offset, 0, MaxTextOffset);
}

} // namespace trelk
