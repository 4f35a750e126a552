#pragma once

#include "console/ConsoleLines.h"
#include "console/TMMFRecord.h"

#include <QFont>
#include <QImage>
#include <cstdint>
#include <string>

namespace trelk {

// How the console's text looks; the appearance options own these values.
struct ConsoleLook {
    std::string FontName = "OCR A Extended";
    int FontSize = 8;                        // points
    std::uint32_t TextColor = 0xFFFFFF;      // 0x00BBGGRR
    std::uint32_t HighLightColor = 0x00FFFF; // the selected line
    std::uint32_t MarkerColor = 0x0000FF;    // lines with code 3
};

// One redraw's page state.
struct ConsoleFrame {
    const ConsoleLines& Lines;
    const TMMFRecord& Record;
    std::int64_t SelectedLine = 0;
    std::int64_t TextOffset = 0;
    bool WideMode = false;
};

// Draws the console picture: the background laid out for the normal or wide console, the
// transparent margins, and the page's text over it. Keeps the picture between redraws so a
// redraw allocates nothing.
class ConsoleRenderer {
public:
    static constexpr int Width = 513;
    static constexpr int Height = 257;
    static constexpr int BackgroundSize = 256;
    static constexpr int Rows = 15;
    static constexpr QRgb Transparent = 0xFF010101;
    // Used when the chosen font is not installed, so the picture is the same on every
    // machine that has it.
    static constexpr char FallbackFont[] = "DejaVu Sans Mono";

    ConsoleRenderer();

    // Takes a copy of the background picture. Any size is accepted: the layout copies its
    // top-left 256 x 256 pixels, black where the picture is smaller; a null picture is black.
    void SetBackground(const QImage& picture);
    const QImage& Background() const { return background_; }

    const QImage& Render(const ConsoleFrame& frame, const ConsoleLook& look);
    const QImage& Picture() const { return picture_; }

    static QColor ToColor(std::uint32_t bgr);
    // The installed family that draws for a font setting: the named one, else FallbackFont,
    // else the system's fixed-pitch font.
    static QString ResolveFontFamily(const std::string& name);
    // Text needs Qt's font system, which exists only beside a QGuiApplication; without one
    // the picture gets its background and margins but no text.
    static bool CanDrawText();

private:
    void ComposeBackground(bool wide);
    void DrawText(const ConsoleFrame& frame, const ConsoleLook& look);
    void UpdateFont(const ConsoleLook& look);

    QImage background_;
    QImage picture_;
    int squeezeColumns_[128] = {};
    std::string fontName_;
    int fontSize_ = -1;
    QFont font_;
    int ascent_ = 0;
};

} // namespace trelk
