#include "X11ScreenCapture.h"

#include "X11ServerLoss.h"

#include <QFile>
#include <QImage>
#include <QString>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <memory>

namespace trelk {

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
struct ImageDestroyer {
    void operator()(XImage* image) const { image->f.destroy_image(image); }
};

QImage toQImage(XImage& image) {
    QImage picture(image.width, image.height, QImage::Format_RGB32);
    const bool direct32 = image.bits_per_pixel == 32 && image.red_mask == 0xff0000 &&
                          image.green_mask == 0x00ff00 && image.blue_mask == 0x0000ff;
    for (int y = 0; y < image.height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(picture.scanLine(y));
        if (direct32) {
            const auto* source = reinterpret_cast<const std::uint32_t*>(
                image.data + static_cast<std::ptrdiff_t>(y) * image.bytes_per_line);
            for (int x = 0; x < image.width; ++x) {
                line[x] = 0xff000000u | source[x];
            }
            continue;
        }
        // Any other visual: slower, but exact for every depth the server offers.
        for (int x = 0; x < image.width; ++x) {
            const unsigned long pixel = XGetPixel(&image, x, y);
            auto channel = [pixel](unsigned long mask) {
                if (mask == 0) {
                    return 0u;
                }
                unsigned long value = pixel & mask;
                while ((mask & 1) == 0) {
                    mask >>= 1;
                    value >>= 1;
                }
                return static_cast<unsigned>(value * 255 / mask);
            };
            line[x] = qRgb(static_cast<int>(channel(image.red_mask)),
                           static_cast<int>(channel(image.green_mask)),
                           static_cast<int>(channel(image.blue_mask)));
        }
    }
    return picture;
}

} // namespace

bool X11ScreenCapture::saveScreenAsJpeg(const std::string& path, std::string& error) {
    std::unique_ptr<Display, DisplayCloser> display(XOpenDisplay(nullptr));
    if (!display) {
        error = "no X display to capture";
        return false;
    }
    // A server that ends during the capture makes it fail, not the program.
    x11::SurviveServerLoss(display.get());
    const Window root = XDefaultRootWindow(display.get());
    XWindowAttributes attributes{};
    XGetWindowAttributes(display.get(), root, &attributes);
    std::unique_ptr<XImage, ImageDestroyer> image(
        XGetImage(display.get(), root, 0, 0, static_cast<unsigned>(attributes.width),
                  static_cast<unsigned>(attributes.height), ~0UL, ZPixmap));
    if (!image) {
        error = "the screen could not be read";
        return false;
    }
    const QString target = QString::fromLocal8Bit(path.c_str());
    const QString partial = target + ".part";
    if (!toQImage(*image).save(partial, "JPG", JpegQuality)) {
        QFile::remove(partial);
        error = "cannot write " + path;
        return false;
    }
    QFile::remove(target);
    if (!QFile::rename(partial, target)) {
        QFile::remove(partial);
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace trelk
