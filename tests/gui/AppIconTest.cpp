// The program's icon is drawn for each size a notification area asks for, not scaled from one.

#include "gui/AppIcon.h"

#include "gui/TForm1.h"
#include "platform/sim/SimPlatform.h"

#include <QImage>
#include <gtest/gtest.h>

namespace trelk {
namespace {

TEST(AppIconTest, TheTrayIconIsDrawnAtEveryTraySize) {
    SimPlatform platform;
    TForm1 form(platform.hookMessages(), platform.desktop());
    const QIcon icon = form.JvTrayIcon1->icon();
    const QList<QSize> sizes = icon.availableSizes();
    for (const int size : {16, 22, 24, 32}) {
        SCOPED_TRACE(size);
        EXPECT_TRUE(sizes.contains(QSize(size, size)));
        // The pixmap of that size is the one drawn for it, pixel for pixel.
        const QImage shown =
            icon.pixmap(QSize(size, size), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        const QImage drawn = AppIconPixmap(size).toImage().convertToFormat(QImage::Format_ARGB32);
        EXPECT_EQ(shown, drawn);
        // The scope fills the square: its centre is drawn, its corners are clear.
        EXPECT_GT(qAlpha(shown.pixel(size / 2, size / 2)), 200);
        EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    }
}

} // namespace
} // namespace trelk
