#include "console/ConsoleAppearance.h"

#include "console/OverlayLibrary.h"
#include "core/SettingsController.h"
#include "core/TraceOutput.h"
#include "macros/KeyStringSender.h"
#include "platform/ports/VirtualKeys.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <algorithm>
#include <utility>

namespace trelk {

namespace {

// A background is 256 x 256 and some tens of kilobytes; anything far beyond is not one, and
// must not take the program's memory.
constexpr std::size_t MaxFileBytes = 32 * 1024 * 1024;
constexpr int MaxPictureSide = 4096;

int ToByteRange(int value) {
    return std::clamp(value, 0, 255);
}

std::uint32_t ToColour(int stored) {
    // The top byte of a stored colour is not ours (system colours of other tools).
    return static_cast<std::uint32_t>(stored) & 0xFFFFFFu;
}

} // namespace

ConsoleOptions ConsoleOptions::Of(SettingsController& settings) {
    return {settings.values().Console, settings.DisplayTime, settings.AASafe, settings.WideConsole,
            settings.EscRefresh};
}

ConsoleAppearance::ConsoleAppearance(OverlayLibrary& overlay, TraceOutput& trace,
                                     KeyStringSender& sender, ConsolePage& page,
                                     FileSystem& fileSystem, ConsoleOptions options,
                                     std::string defaultBitmapPath, std::string versionText,
                                     Hooks hooks)
    : overlay_(overlay), trace_(trace), sender_(sender), page_(page), fileSystem_(fileSystem),
      options_(options), defaultBitmapPath_(std::move(defaultBitmapPath)),
      versionText_(std::move(versionText)), hooks_(std::move(hooks)) {
    options_.DisplayTime.setOnClick([this] { cbDisplayTimeClick(); });
    options_.AASafe.setOnClick([this] { cbxAASafeClick(); });
    options_.WideConsole.setOnClick([this] { cbWideConsoleClick(); });
    HeadLights.setOnClick([this] { cbHeadLightsClick(); });
}

std::string ConsoleAppearance::ConsoleBitmapPath() const {
    return options_.Values.ConsoleBMP.empty() ? defaultBitmapPath_ : options_.Values.ConsoleBMP;
}

void ConsoleAppearance::InitConsoleOverlay() {
    const std::string path = ConsoleBitmapPath();
    std::string problem;
    // An unusable file keeps the picture in use (none at start: the console is drawn on black).
    if (std::optional<QImage> picture = readPicture(path, problem)) {
        background_ = std::move(*picture);
        page_.SetBackground(background_);
        if (background_.width() != PictureSize || background_.height() != PictureSize) {
            reportOnce("The console background " + path + " is " +
                       std::to_string(background_.width()) + " x " +
                       std::to_string(background_.height()) +
                       " pixels, not 256 x 256: the console shows its top-left 256 x 256 "
                       "pixels, black where the picture is smaller.");
        } else {
            lastReport_.clear();
        }
    } else {
        reportOnce(problem + (background_.isNull() ? " The console is drawn without a picture."
                                                   : " The previous picture stays."));
    }

    overlay_.NexaCSetTrelkVersion(versionText_);
    overlay_.NexaCChannelF5Active();
    if (hooks_.clearChannelF5Pending) {
        hooks_.clearChannelF5Pending();
    }
}

std::optional<QImage> ConsoleAppearance::readPicture(const std::string& path,
                                                     std::string& problem) const {
    const std::string cannot = "The console background " + path + " cannot be used:";
    // Read as bytes: the path is the stored byte string, whatever its encoding.
    const FileReadResult read = fileSystem_.readFile(path, MaxFileBytes);
    switch (read.status) {
    case FileReadResult::Status::Missing:
        problem = cannot + " the file is missing or cannot be read.";
        return std::nullopt;
    case FileReadResult::Status::TooLarge:
        problem = cannot + " the file is too large.";
        return std::nullopt;
    case FileReadResult::Status::Failed:
        problem = cannot + (read.step == FileStep::Open ? " the file is missing or cannot be read."
                                                        : " the file cannot be read.");
        return std::nullopt;
    case FileReadResult::Status::Ok:
        break;
    }
    if (read.content.empty()) {
        problem = cannot + " the file is empty.";
        return std::nullopt;
    }
    QByteArray bytes(read.content.data(), static_cast<qsizetype>(read.content.size()));
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize dimensions = reader.size();
    if (dimensions.isValid() &&
        (dimensions.width() > MaxPictureSide || dimensions.height() > MaxPictureSide)) {
        problem = cannot + " the picture is far larger than 256 x 256 pixels.";
        return std::nullopt;
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        problem = cannot + " it is not a picture.";
        return std::nullopt;
    }
    return picture;
}

void ConsoleAppearance::reportOnce(const std::string& message) {
    // Every font or colour change and the web page list re-run the initialisation: say it
    // once, not each time.
    if (message == lastReport_) {
        return;
    }
    lastReport_ = message;
    trace_.Trace("TrelkPro: " + message);
    if (hooks_.reportError) {
        hooks_.reportError(message);
    }
}

void ConsoleAppearance::InStationRefresh() {
    if (!(hooks_.docked && hooks_.docked())) {
        return;
    }
    sender_.Delay(100);
    // A key-string byte below 32 is the virtual key itself.
    constexpr char Escape = static_cast<char>(Vk::Escape);
    constexpr char Alt = static_cast<char>(Vk::Menu);
    constexpr char Enter = static_cast<char>(Vk::Return);
    if (options_.EscRefresh.checked()) {
        sender_.SendKeyString(std::string{Escape, Escape});
        return;
    }
    // Alt held down over the Enter press, then Alt pressed and released.
    sender_.SendKeyStringHeld(std::string(1, Alt));
    sender_.SendKeyString(std::string{Enter, Alt});
}

void ConsoleAppearance::SetDocked(bool docked) {
    SetConsoleOpacity(docked ? 255 : InFlightOpacity());
}

void ConsoleAppearance::SetConsoleOpacity(int opacity) {
    consoleOpacity_ = ToByteRange(opacity);
}

int ConsoleAppearance::InFlightOpacity() const {
    return ToByteRange(options_.Values.BMPTransperancy);
}

ConsolePage::Appearance ConsoleAppearance::Appearance() const {
    const ConsoleSettings& values = options_.Values;
    ConsolePage::Appearance appearance;
    appearance.Look.FontName = values.Font;
    appearance.Look.FontSize = values.FontSize;
    appearance.Look.TextColor = ToColour(values.TextColor);
    appearance.Look.HighLightColor = ToColour(values.HighLightColor);
    appearance.Look.MarkerColor = ToColour(values.MarkerColor);
    appearance.PositionX = values.PositionX;
    appearance.PositionY = values.PositionY;
    appearance.Opacity = consoleOpacity_;
    appearance.PopupSpeed = values.ConOpenSpeed;
    return appearance;
}

void ConsoleAppearance::ApplyConsoleSpinControls() {
    // The controls hold 0..255: a hand-edited value outside would be shown as one number and
    // saved as another.
    ConsoleSettings& values = options_.Values;
    values.BMPTransperancy = ToByteRange(values.BMPTransperancy);
    values.ConOpenSpeed = ToByteRange(values.ConOpenSpeed);
    values.PositionX = ToByteRange(values.PositionX);
    values.PositionY = ToByteRange(values.PositionY);
    consoleOpacity_ = values.BMPTransperancy;
    page_.SetLastPopupSpeed(values.ConOpenSpeed + 1);
    notifyViews();
}

std::uint32_t ConsoleAppearance::ColourOf(Colour which) const {
    const ConsoleSettings& values = options_.Values;
    switch (which) {
    case Colour::Text:
        return ToColour(values.TextColor);
    case Colour::HighLight:
        return ToColour(values.HighLightColor);
    case Colour::Marker:
        return ToColour(values.MarkerColor);
    }
    return 0;
}

void ConsoleAppearance::ApplyFontDialog(const std::optional<Font>& chosen) {
    if (chosen && !chosen->Name.empty()) {
        options_.Values.Font = chosen->Name;
        if (chosen->Size > 0) {
            options_.Values.FontSize = chosen->Size;
        }
    }
    changed();
}

void ConsoleAppearance::ChangeColour(Colour which, std::uint32_t bgr) {
    const int stored = static_cast<int>(bgr & 0xFFFFFFu);
    ConsoleSettings& values = options_.Values;
    switch (which) {
    case Colour::Text:
        values.TextColor = stored;
        break;
    case Colour::HighLight:
        values.HighLightColor = stored;
        break;
    case Colour::Marker:
        values.MarkerColor = stored;
        break;
    }
    changed();
}

bool ConsoleAppearance::ChangeBackgroundFile(const std::string& path) {
    std::string problem;
    if (path.empty()) {
        return false;
    }
    if (!readPicture(path, problem)) {
        // The pilot's own choice is always answered, even when the same file failed before.
        lastReport_.clear();
        reportOnce(problem + " The console keeps its picture.");
        return false;
    }
    options_.Values.ConsoleBMP = path;
    changed();
    return true;
}

void ConsoleAppearance::changed() {
    InitConsoleOverlay();
    page_.RenderConsole();
    notifyViews();
}

void ConsoleAppearance::cbDisplayTimeClick() {
    overlay_.NexaCSetShowTimeString(options_.DisplayTime.checked());
}

void ConsoleAppearance::cbxAASafeClick() {
    if (options_.AASafe.checked()) {
        displayTimeWasOn_ = options_.DisplayTime.checked();
        displayTimeEnabled_ = false;
        notifyViews();
        options_.DisplayTime.setChecked(false);
        overlay_.NexaCSetAntiAliasingFailsafeMode(true);
        return;
    }
    displayTimeEnabled_ = true;
    notifyViews();
    overlay_.NexaCSetAntiAliasingFailsafeMode(false);
    if (displayTimeWasOn_) {
        options_.DisplayTime.setChecked(true);
    }
}

void ConsoleAppearance::cbHeadLightsClick() {
    overlay_.NexaCSetHeadlightMode(HeadLights.checked());
}

void ConsoleAppearance::cbWideConsoleClick() {
    // Narrowing leaves the wide picture's right half on a docked game screen: the page
    // refreshes it at this redraw.
    page_.SetWideMode(options_.WideConsole.checked());
}

void ConsoleAppearance::Rendered(const QImage& picture) {
    for (const auto& view : previewViews_) {
        view(picture);
    }
}

void ConsoleAppearance::addPreviewView(std::function<void(const QImage&)> view) {
    previewViews_.push_back(std::move(view));
}

void ConsoleAppearance::addView(std::function<void()> view) {
    views_.push_back(std::move(view));
}

void ConsoleAppearance::notifyViews() {
    for (const auto& view : views_) {
        view();
    }
}

} // namespace trelk
