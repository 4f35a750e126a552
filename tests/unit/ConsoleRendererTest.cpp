#include "console/ConsoleRenderer.h"

#include "ConsoleTestSupport.h"

#include <QFontDatabase>
#include <QPainter>
#include <gtest/gtest.h>

namespace trelk::testing {
namespace {

constexpr QRgb kTransparent = 0xFF010101;
constexpr QRgb kPanel = 0xFF000028; // the text tests' plain background
// The look's colours, 0x00BBGGRR, and the pixels they become.
constexpr std::uint32_t kText = 0x00E0E0E0;
constexpr std::uint32_t kHigh = 0x0000FFFF;
constexpr std::uint32_t kMark = 0x000000FF;
constexpr QRgb kTextPx = 0xFFE0E0E0;
constexpr QRgb kHighPx = 0xFFFFFF00;
constexpr QRgb kMarkPx = 0xFFFF0000;

// Every column its own colour, so a copied column can be traced to its source.
QImage ColumnCoded() {
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            image.setPixel(x, y, qRgb(x, y, 200));
        }
    }
    return image;
}

class ConsoleDrawing : public ::testing::Test {
protected:
    ConsoleDrawing() {
        rig.appearance.Look.TextColor = kText;
        rig.appearance.Look.HighLightColor = kHigh;
        rig.appearance.Look.MarkerColor = kMark;
        QImage panel(256, 256, QImage::Format_RGB32);
        panel.fill(kPanel);
        rig.page.SetBackground(panel);
    }

    void Page(const std::vector<std::string>& lines, std::int32_t selected) {
        rig.page.ClearPage();
        rig.page.SizeLines(static_cast<std::int64_t>(lines.size()));
        for (const std::string& line : lines) {
            rig.page.AddPageLine(line.substr(1), line[0]);
        }
        rig.page.SelectLine(selected);
    }
    const QImage& Picture() const { return rig.page.CurrentBitmap(); }

    // Pixels of colour c in row k's band (13 pixels from y = 40 + 13k), within x0..x1.
    int CountInRow(int k, QRgb c, int x0 = 0, int x1 = 513) const {
        return Count(c, x0, 40 + 13 * k, x1, 53 + 13 * k);
    }
    int Count(QRgb c, int x0, int y0, int x1, int y1) const {
        int n = 0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                n += Picture().pixel(x, y) == c ? 1 : 0;
            }
        }
        return n;
    }
    bool AnyText(int x0, int y0, int x1, int y1) const {
        return Count(kTextPx, x0, y0, x1, y1) + Count(kHighPx, x0, y0, x1, y1) +
                   Count(kMarkPx, x0, y0, x1, y1) >
               0;
    }

    ConsoleRig rig;
};

TEST(ConsoleLayoutTest, NormalLayoutCopiesTheBackgroundAndLeavesTheRestTransparent) {
    ConsoleRig rig;
    const QImage background = ColumnCoded();
    rig.page.SetBackground(background);
    rig.page.SetPageTitle("");
    rig.page.ClearPage();
    rig.page.RenderConsole();
    const QImage& picture = rig.page.CurrentBitmap();
    ASSERT_EQ(picture.size(), QSize(513, 257));
    for (int y = 0; y < 257; ++y) {
        for (int x = 0; x < 513; ++x) {
            const QRgb expected = (x >= 256 || y == 256) ? kTransparent : background.pixel(x, y);
            ASSERT_EQ(picture.pixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST(ConsoleLayoutTest, WideLayoutRepeatsTheStripAndSqueezesTheRightPart) {
    ConsoleRig rig;
    const QImage background = ColumnCoded();
    rig.page.SetBackground(background);
    rig.page.ClearPage();
    rig.page.SetWideMode(true);
    const QImage& picture = rig.page.CurrentBitmap();
    const int y = 100;
    for (int x = 0; x < 128; ++x) {
        ASSERT_EQ(qRed(picture.pixel(x, y)), x);
    }
    for (int x = 128; x < 384; ++x) {
        ASSERT_EQ(qRed(picture.pixel(x, y)), 96 + (x - 128) % 32) << x;
    }
    // 129 columns from 127 into 128: in order, from 127 to 255, dropping exactly one.
    int previous = 126;
    int dropped = 0;
    for (int x = 384; x < 512; ++x) {
        const int source = qRed(picture.pixel(x, y));
        ASSERT_GT(source, previous) << x;
        dropped += source - previous - 1;
        previous = source;
    }
    EXPECT_EQ(qRed(picture.pixel(384, y)), 127);
    EXPECT_EQ(previous, 255);
    EXPECT_EQ(dropped, 1);
    // Only column 512 and row 256 are transparent.
    for (int yy = 0; yy < 257; ++yy) {
        for (int x = 0; x < 513; ++x) {
            ASSERT_EQ(picture.pixel(x, yy) == kTransparent, x == 512 || yy == 256)
                << x << "," << yy;
        }
        ASSERT_EQ(qGreen(picture.pixel(300, yy < 256 ? yy : 0)), yy < 256 ? yy : 0);
    }
}

TEST(ConsoleLayoutTest, BackgroundsOfAnotherSizeAreCutOrPaddedWithBlack) {
    ConsoleRig rig;
    QImage small(10, 300, QImage::Format_Indexed8);
    small.setColorTable({qRgb(9, 9, 9)});
    small.fill(0);
    rig.page.SetBackground(small);
    rig.page.RenderConsole();
    EXPECT_EQ(rig.page.CurrentBitmap().pixel(5, 255), qRgb(9, 9, 9));
    EXPECT_EQ(rig.page.CurrentBitmap().pixel(10, 0), qRgb(0, 0, 0));
    rig.page.SetBackground(QImage());
    rig.page.RenderConsole();
    EXPECT_EQ(rig.page.CurrentBitmap().pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(rig.page.CurrentBitmap().pixel(256, 0), kTransparent);
}

TEST(ConsoleLayoutTest, MissingFontFallsBackToTheInstalledMonospace) {
    EnsureGuiApplication();
    EXPECT_EQ(ConsoleRenderer::ResolveFontFamily("No Such Font 4711"),
              QString::fromLatin1(ConsoleRenderer::FallbackFont));
    EXPECT_TRUE(QFontDatabase::hasFamily(QString::fromLatin1(ConsoleRenderer::FallbackFont)))
        << "the console's fallback font is not installed";
}

TEST_F(ConsoleDrawing, RowsTakeHighlightMarkerAndTextColours) {
    Page({"\x05ordinary", "\x03marked", "\x03selected marked", "\x05plain"}, 2);
    EXPECT_GT(CountInRow(0, kTextPx), 0);
    EXPECT_EQ(CountInRow(0, kMarkPx) + CountInRow(0, kHighPx), 0);
    EXPECT_GT(CountInRow(1, kMarkPx), 0);
    EXPECT_EQ(CountInRow(1, kTextPx) + CountInRow(1, kHighPx), 0);
    EXPECT_GT(CountInRow(2, kHighPx), 0); // the selection wins over the marker
    EXPECT_EQ(CountInRow(2, kMarkPx), 0);
    EXPECT_GT(CountInRow(3, kTextPx), 0);
    EXPECT_FALSE(AnyText(0, 40 + 13 * 4, 513, 257));
}

TEST_F(ConsoleDrawing, APageWithoutLinesDrawsOnlyStatusAndTitle) {
    rig.page.SetPageStatus("status");
    rig.page.SetPageTitle("** Title **");
    Page({}, 0);
    EXPECT_TRUE(AnyText(0, 6, 513, 40));
    EXPECT_FALSE(AnyText(0, 40, 513, 257));
}

TEST_F(ConsoleDrawing, TheSelectionStaysOnTheEighthRowAndTheTailIsEmpty) {
    std::vector<std::string> lines;
    for (int i = 0; i < 21; ++i) {
        lines.push_back("\x05L" + std::to_string(i));
    }
    Page(lines, 20);
    for (int k = 0; k < 15; ++k) {
        EXPECT_EQ(CountInRow(k, kHighPx) > 0, k == 7) << k;
        EXPECT_EQ(CountInRow(k, kTextPx) > 0, k < 7) << k;
    }
    // Lines 13..20 drawn: row 0 shows the same text as "L13" drawn alone on row 0.
    const QImage withTail = Picture().copy(6, 40, 60, 13);
    Page({"\x05L13"}, 5);
    EXPECT_EQ(Picture().copy(6, 40, 60, 13), withTail);
}

TEST_F(ConsoleDrawing, AnAddonPageSelectionBelowTheRowsHighlightsNothing) {
    std::vector<std::string> lines(20, "\x05row");
    rig.page.SetAddonPageActive(true);
    Page(lines, 16);
    EXPECT_EQ(Count(kHighPx, 0, 0, 513, 257), 0);
    EXPECT_EQ(rig.page.Record().TopLine, 0);
    EXPECT_GT(CountInRow(14, kTextPx), 0);
}

TEST_F(ConsoleDrawing, TextOffsetHidesTheFirstCharacters) {
    Page({"\x05"
          "DEF"},
         5);
    const QImage plain = Picture().copy(0, 40, 256, 13);
    rig.page.SetTextOffset(3);
    Page({"\x05"
          "ABCDEF"},
         5);
    EXPECT_EQ(Picture().copy(0, 40, 256, 13), plain);
    // Past the end of the text nothing is drawn.
    rig.page.SetTextOffset(200);
    Page({"\x05"
          "ABCDEF"},
         5);
    EXPECT_FALSE(AnyText(0, 40, 513, 257));
}

TEST_F(ConsoleDrawing, TextIsClippedToTheConsoleRectangle) {
    const std::string longLine(300, 'W');
    rig.page.SetPageStatus(longLine);
    Page({"\x05" + longLine}, 5);
    EXPECT_TRUE(AnyText(240, 40, 249, 53));
    EXPECT_FALSE(AnyText(249, 0, 513, 257));
    EXPECT_FALSE(AnyText(0, 0, 513, 6)); // the status line's top is cut
    EXPECT_EQ(Count(kTransparent, 256, 0, 513, 257), 257 * 257);

    rig.page.SetWideMode(true);
    EXPECT_TRUE(AnyText(400, 40, 505, 53));
    EXPECT_FALSE(AnyText(505, 0, 513, 257));
}

// The pixels of colour c inside rect, cut to their bounding box: the shape of a glyph
// wherever it was drawn.
QImage Ink(const QImage& picture, const QRect& rect, QRgb c) {
    QRect box;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (picture.pixel(x, y) == c) {
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    QImage ink(box.size().expandedTo(QSize(1, 1)), QImage::Format_Mono);
    ink.fill(0);
    for (int y = box.top(); y <= box.bottom() && !box.isEmpty(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            ink.setPixel(x - box.left(), y - box.top(), picture.pixel(x, y) == c ? 1 : 0);
        }
    }
    return ink;
}

// The character as the console's font draws it, for comparison.
QImage ReferenceInk(char16_t character, const ConsoleLook& look) {
    QFont font(ConsoleRenderer::ResolveFontFamily(look.FontName));
    font.setPixelSize((look.FontSize * 96 + 36) / 72);
    font.setStyleStrategy(QFont::NoAntialias);
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(16, 40, QString(QChar(character)));
    painter.end();
    return Ink(image, image.rect(), qRgb(255, 255, 255));
}

TEST_F(ConsoleDrawing, BytesAreDrawnAsTheirWindows1252Characters) {
    // 0x80..0x9F: the euro sign, quotes, dashes and letters the stored files carry.
    const std::pair<char, char16_t> high[] = {
        {'\x80', u'\u20AC'}, {'\x84', u'\u201E'}, {'\x85', u'\u2026'}, {'\x8A', u'\u0160'},
        {'\x91', u'\u2018'}, {'\x93', u'\u201C'}, {'\x94', u'\u201D'}, {'\x96', u'\u2013'},
        {'\x97', u'\u2014'}, {'\x99', u'\u2122'}, {'\x9F', u'\u0178'}};
    for (const auto& [byte, character] : high) {
        Page({std::string("\x05") + byte}, 5);
        const QImage drawn = Ink(Picture(), QRect(0, 33, 256, 22), kTextPx);
        EXPECT_TRUE(drawn == ReferenceInk(character, rig.appearance.Look))
            << "byte 0x" << std::hex << (static_cast<int>(byte) & 0xFF);
    }
    // Above 0x9F the bytes are the Latin-1 letters of the same value.
    Page({"\x05\xE9"}, 5);
    EXPECT_TRUE(Ink(Picture(), QRect(0, 33, 256, 22), kTextPx) ==
                ReferenceInk(u'\u00E9', rig.appearance.Look));

    // A byte with no character keeps its column as a blank.
    Page({"\x05 A"}, 5);
    const QImage blank = Picture().copy(0, 40, 256, 13);
    for (const char unassigned : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'}) {
        Page({std::string("\x05") + unassigned + "A"}, 5);
        EXPECT_EQ(Picture().copy(0, 40, 256, 13), blank);
    }
    // The title line too.
    rig.page.SetPageTitle("\x80");
    Page({}, 0);
    EXPECT_TRUE(Ink(Picture(), QRect(0, 6, 256, 30), kTextPx) ==
                ReferenceInk(u'\u20AC', rig.appearance.Look));
}

} // namespace
} // namespace trelk::testing
