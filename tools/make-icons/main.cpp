// make-icons FOLDER: writes the program's icon into FOLDER as the desktop's icon theme lays it
// out (NxN/apps/trelkpro.png), at the sizes desktops ask for, drawn as the tray draws it.

#include "gui/AppIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-icons FOLDER\n");
        return 2;
    }
    // Drawing needs no screen: the build may run without one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QString root = QString::fromLocal8Bit(argv[1]);
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(root).arg(size);
        if (!QDir().mkpath(folder) ||
            !trelk::AppIconPixmap(size).save(folder + "/trelkpro.png", "PNG")) {
            std::fprintf(stderr, "make-icons: unable to write %s\n", qPrintable(folder));
            return 1;
        }
    }
    return 0;
}
