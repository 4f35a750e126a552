#include "console/ConsoleRenderer.h"

#include "platform/ports/Windows1252.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace trelk {

namespace {

// Text rows: the status line, the title line, then fifteen page rows 13 pixels apart.
constexpr int kTextLeft = 6;
constexpr int kStatusTop = 3;
constexpr int kTitleTop = 16;
constexpr int kFirstRowTop = 40;
constexpr int kRowPitch = 13;
constexpr int kClipMargin = 8;
constexpr std::size_t kMaxLineChars = 255;

void FillRow(QRgb* row, int from, int to) {
    std::fill(row + from, row + to, ConsoleRenderer::Transparent);
}

// The line's bytes as the characters they are in Windows-1252. A byte the code page leaves
// unassigned keeps its place as a blank, so the columns after it stay where they were.
QString ToQt(const std::string& text, std::size_t from, std::size_t count) {
    const std::size_t n = std::min(count, text.size() - from);
    QString shown(static_cast<qsizetype>(n), QChar(u' '));
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint32_t unicode = cp1252::ToUnicode(static_cast<unsigned char>(text[from + i]));
        if (unicode != 0 || text[from + i] == '\0') {
            shown[static_cast<qsizetype>(i)] = QChar(static_cast<char16_t>(unicode));
        }
    }
    return shown;
}

} // namespace

ConsoleRenderer::ConsoleRenderer()
    : background_(BackgroundSize, BackgroundSize, QImage::Format_RGB32),
      picture_(Width, Height, QImage::Format_RGB32) {
    background_.fill(Qt::black);
    picture_.fill(Transparent);
    // The wide layout squeezes background columns 127..255 (129) into 128: each target column
    // takes the source column under its centre, so one column in the middle is dropped.
    for (int d = 0; d < 128; ++d) {
        squeezeColumns_[d] = 127 + ((2 * d + 1) * 129) / 256;
    }
}

void ConsoleRenderer::SetBackground(const QImage& picture) {
    background_.fill(Qt::black);
    if (picture.isNull()) {
        return;
    }
    const QImage source = picture.convertToFormat(QImage::Format_RGB32);
    const int columns = std::min(source.width(), BackgroundSize);
    const int rows = std::min(source.height(), BackgroundSize);
    for (int y = 0; y < rows; ++y) {
        std::memcpy(background_.scanLine(y), source.constScanLine(y),
                    static_cast<std::size_t>(columns) * sizeof(QRgb));
    }
}

void ConsoleRenderer::ComposeBackground(bool wide) {
    for (int y = 0; y < BackgroundSize; ++y) {
        const auto* src = reinterpret_cast<const QRgb*>(background_.constScanLine(y));
        auto* dst = reinterpret_cast<QRgb*>(picture_.scanLine(y));
        if (!wide) {
            std::memcpy(dst, src, BackgroundSize * sizeof(QRgb));
            FillRow(dst, BackgroundSize, Width);
            continue;
        }
        std::memcpy(dst, src, 128 * sizeof(QRgb));
        for (int i = 0; i < 8; ++i) {
            std::memcpy(dst + 128 + 32 * i, src + 96, 32 * sizeof(QRgb));
        }
        for (int d = 0; d < 128; ++d) {
            dst[384 + d] = src[squeezeColumns_[d]];
        }
        FillRow(dst, 512, Width);
    }
    FillRow(reinterpret_cast<QRgb*>(picture_.scanLine(Height - 1)), 0, Width);
}

const QImage& ConsoleRenderer::Render(const ConsoleFrame& frame, const ConsoleLook& look) {
    // The overlay keeps the last picture; drawing into a fresh one spares copying pixels that
    // are all about to be replaced.
    if (!picture_.isDetached()) {
        picture_ = QImage(Width, Height, QImage::Format_RGB32);
    }
    ComposeBackground(frame.WideMode);
    if (CanDrawText()) {
        DrawText(frame, look);
    }
    return picture_;
}

void ConsoleRenderer::DrawText(const ConsoleFrame& frame, const ConsoleLook& look) {
    UpdateFont(look);
    const QColor text = ToColor(look.TextColor);
    const QColor highlight = ToColor(look.HighLightColor);
    const QColor marker = ToColor(look.MarkerColor);

    QPainter painter(&picture_);
    painter.setFont(font_);
    painter.setBackgroundMode(Qt::TransparentMode);
    // The wide console clips at the picture's width, the normal one at its height: a square.
    const int right = (frame.WideMode ? Width : Height) - kClipMargin;
    const int bottom = Height - kClipMargin;
    painter.setClipRect(QRect(kTextLeft, kTextLeft, right - kTextLeft, bottom - kTextLeft));

    const auto drawAt = [&](int top, const QString& line) {
        painter.drawText(kTextLeft, top + ascent_, line);
    };
    painter.setPen(text);
    drawAt(kStatusTop, ToQt(frame.Record.StatusLine, 0, kMaxLineChars));
    drawAt(kTitleTop, ToQt(frame.Record.TitleLine, 0, kMaxLineChars));

    const int rows = frame.Lines.Length() > Rows - 1 ? Rows : frame.Lines.Length();
    const std::int64_t offset = std::clamp<std::int64_t>(frame.TextOffset, 0, 1 << 20);
    const auto from = static_cast<std::size_t>(offset) + 1; // past the code character
    for (int k = 0; k < rows; ++k) {
        const std::int64_t i = std::int64_t{frame.Record.TopLine} + k;
        const std::string& line = frame.Lines.At(i);
        if (i == frame.SelectedLine) {
            painter.setPen(highlight);
        } else if (!line.empty()) {
            painter.setPen(static_cast<unsigned char>(line[0]) == 3 ? marker : text);
        }
        if (line.size() > from) {
            drawAt(kFirstRowTop + kRowPitch * k, ToQt(line, from, kMaxLineChars));
        }
    }
}

void ConsoleRenderer::UpdateFont(const ConsoleLook& look) {
    if (look.FontName == fontName_ && look.FontSize == fontSize_) {
        return;
    }
    fontName_ = look.FontName;
    fontSize_ = look.FontSize;
    QFont font(ResolveFontFamily(look.FontName));
    // Points at 96 dots per inch, rounded, whatever the screen: the picture does not depend
    // on the display it is made on.
    const int points = std::clamp(look.FontSize, 1, 144);
    font.setPixelSize((points * 96 + 36) / 72);
    font.setStyleStrategy(QFont::NoAntialias); // no blended edges against the transparent colour
    font_ = font;
    ascent_ = QFontMetrics(font_).ascent();
}

QColor ConsoleRenderer::ToColor(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFFu), static_cast<int>((bgr >> 8) & 0xFFu),
                  static_cast<int>((bgr >> 16) & 0xFFu));
}

QString ConsoleRenderer::ResolveFontFamily(const std::string& name) {
    const QString wanted = QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
    if (!wanted.isEmpty() && QFontDatabase::hasFamily(wanted)) {
        return wanted;
    }
    if (QFontDatabase::hasFamily(QString::fromLatin1(FallbackFont))) {
        return QString::fromLatin1(FallbackFont);
    }
    return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
}

bool ConsoleRenderer::CanDrawText() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

} // namespace trelk
