#include "X11ScreenCapture.h"

#include "X11ServerLoss.h"

#include <QFile>
#include <QImage>
#include <QString>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <cstdio>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>

// After Qt: it brings Xlib's macros.
#include "X11ErrorTrap.h"

namespace trelk {

namespace {

struct DisplayCloser {
    void operator()(Display* display) const { XCloseDisplay(display); }
};
struct ImageDestroyer {
    void operator()(XImage* image) const { image->f.destroy_image(image); }
};

bool IsDirect32(const XImage& image) {
    return image.bits_per_pixel == 32 && image.red_mask == 0xff0000 &&
           image.green_mask == 0x00ff00 && image.blue_mask == 0x0000ff;
}

// 0x00RRGGBB of one pixel of any visual the server offers: slower, but exact for every depth.
std::uint32_t PixelRgb(XImage& image, int x, int y) {
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
    return (channel(image.red_mask) << 16) | (channel(image.green_mask) << 8) |
           channel(image.blue_mask);
}

// Copies the image's pixels as 0x00RRGGBB, rows from the top.
void CopyPixels(XImage& image, std::uint32_t* target) {
    const bool direct32 = IsDirect32(image);
    for (int y = 0; y < image.height; ++y) {
        std::uint32_t* line = target + static_cast<std::ptrdiff_t>(y) * image.width;
        if (direct32) {
            const auto* source = reinterpret_cast<const std::uint32_t*>(
                image.data + static_cast<std::ptrdiff_t>(y) * image.bytes_per_line);
            for (int x = 0; x < image.width; ++x) {
                line[x] = source[x] & 0x00ffffffu;
            }
            continue;
        }
        for (int x = 0; x < image.width; ++x) {
            line[x] = PixelRgb(image, x, y);
        }
    }
}

QImage ToQImage(XImage& image) {
    QImage picture(image.width, image.height, QImage::Format_RGB32);
    // RGB32 lines are whole pixels, without padding.
    auto* pixels = reinterpret_cast<std::uint32_t*>(picture.bits());
    CopyPixels(image, pixels);
    const auto count =
        static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
    for (std::size_t i = 0; i < count; ++i) {
        pixels[i] |= 0xff000000u;
    }
    return picture;
}

} // namespace

// The kept connection and, where the server offers it, a shared-memory image of the last
// rectangle's size.
class X11ScreenCapture::Connection {
public:
    explicit Connection(Display* display) : display_(display) {
        x11::SurviveServerLoss(display_.get(), &lost_);
        root_ = XDefaultRootWindow(display_.get());
        shmAvailable_ = XShmQueryExtension(display_.get()) != 0;
    }
    ~Connection() { releaseShm(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    bool lost() const { return lost_.load(); }

    ScreenSize size() {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display_.get(), root_, &attributes) == 0) {
            return {};
        }
        return {attributes.width, attributes.height};
    }

    bool capture(int left, int top, int width, int height, ScreenPixels& into) {
        into.width = width;
        into.height = height;
        into.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        if (shmAvailable_ && !prepareShm(width, height)) {
            // The server cannot reach a segment of ours (another machine, another IPC
            // namespace): the plain request from now on.
            shmAvailable_ = false;
        }
        // A screen that shrank since its size was read answers with an error, not a picture.
        x11::ErrorTrap trap(display_.get());
        if (shmAvailable_) {
            if (XShmGetImage(display_.get(), root_, shmImage_, left, top, AllPlanes) != 0 &&
                !trap.errorSeen()) {
                CopyPixels(*shmImage_, into.pixels.data());
                return true;
            }
            if (lost() || trap.errorSeen()) {
                return false;
            }
            // A server that refuses the shared image still answers the plain request.
            releaseShm();
            shmAvailable_ = false;
        }
        std::unique_ptr<XImage, ImageDestroyer> image(
            XGetImage(display_.get(), root_, left, top, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), AllPlanes, ZPixmap));
        if (!image || trap.errorSeen()) {
            return false;
        }
        CopyPixels(*image, into.pixels.data());
        return true;
    }

private:
    bool prepareShm(int width, int height) {
        if (shmImage_ != nullptr && shmImage_->width == width && shmImage_->height == height) {
            return true;
        }
        releaseShm();
        const int screen = DefaultScreen(display_.get());
        shmImage_ = XShmCreateImage(display_.get(), DefaultVisual(display_.get(), screen),
                                    static_cast<unsigned>(DefaultDepth(display_.get(), screen)),
                                    ZPixmap, nullptr, &shmInfo_, static_cast<unsigned>(width),
                                    static_cast<unsigned>(height));
        if (shmImage_ == nullptr) {
            return false;
        }
        shmInfo_.shmid = shmget(IPC_PRIVATE,
                                static_cast<std::size_t>(shmImage_->bytes_per_line) *
                                    static_cast<std::size_t>(shmImage_->height),
                                IPC_CREAT | 0600);
        if (shmInfo_.shmid < 0) {
            destroyImage();
            return false;
        }
        shmInfo_.shmaddr = static_cast<char*>(shmat(shmInfo_.shmid, nullptr, 0));
        // Marked for removal at once: the segment goes with the last process that holds it,
        // even when this one is killed.
        shmctl(shmInfo_.shmid, IPC_RMID, nullptr);
        if (shmInfo_.shmaddr == reinterpret_cast<char*>(-1)) {
            shmInfo_.shmaddr = nullptr;
            destroyImage();
            return false;
        }
        shmImage_->data = shmInfo_.shmaddr;
        shmInfo_.readOnly = False;
        x11::ErrorTrap trap(display_.get());
        if (XShmAttach(display_.get(), &shmInfo_) == 0 || trap.errorSeen()) {
            shmdt(shmInfo_.shmaddr);
            shmInfo_.shmaddr = nullptr;
            destroyImage();
            return false;
        }
        XSync(display_.get(), False);
        attached_ = true;
        return true;
    }

    void destroyImage() {
        if (shmImage_ != nullptr) {
            shmImage_->data = nullptr;
            XDestroyImage(shmImage_);
            shmImage_ = nullptr;
        }
    }

    void releaseShm() {
        if (attached_ && !lost()) {
            XShmDetach(display_.get(), &shmInfo_);
            XSync(display_.get(), False);
        }
        attached_ = false;
        if (shmInfo_.shmaddr != nullptr) {
            shmdt(shmInfo_.shmaddr);
            shmInfo_.shmaddr = nullptr;
        }
        destroyImage();
    }

    std::atomic<bool> lost_{false};
    std::unique_ptr<Display, DisplayCloser> display_;
    Window root_ = 0;
    bool shmAvailable_ = false;
    XShmSegmentInfo shmInfo_{};
    XImage* shmImage_ = nullptr;
    bool attached_ = false;
};

X11ScreenCapture::X11ScreenCapture() = default;
X11ScreenCapture::~X11ScreenCapture() = default;

X11ScreenCapture::Connection* X11ScreenCapture::connection(std::string& error) {
    if (connection_ && connection_->lost()) {
        connection_.reset();
    }
    if (!connection_) {
        Display* display = XOpenDisplay(nullptr);
        if (display == nullptr) {
            error = "no X display to capture";
            return nullptr;
        }
        connection_ = std::make_unique<Connection>(display);
    }
    return connection_.get();
}

ScreenSize X11ScreenCapture::screenSize() {
    std::string error;
    Connection* kept = connection(error);
    return kept != nullptr ? kept->size() : ScreenSize{};
}

bool X11ScreenCapture::captureRectangle(int left, int top, int width, int height,
                                        ScreenPixels& into, std::string& error) {
    Connection* kept = connection(error);
    if (kept == nullptr) {
        return false;
    }
    const ScreenSize size = kept->size();
    if (width <= 0 || height <= 0 || left < 0 || top < 0 || left + width > size.width ||
        top + height > size.height) {
        error = "the rectangle is not on the screen";
        return false;
    }
    if (!kept->capture(left, top, width, height, into)) {
        error = "the screen could not be read";
        return false;
    }
    return true;
}

bool X11ScreenCapture::saveScreenAsJpeg(const std::string& path, const ScreenArea& area,
                                        std::string& error) {
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
    const ScreenArea whole{0, 0, attributes.width, attributes.height};
    const ScreenArea taken = area.empty() ? whole : area;
    if (whole.empty() ||
        OverlapPixels(taken, whole) != std::int64_t{taken.Width} * std::int64_t{taken.Height}) {
        error = "the area is not on the screen";
        return false;
    }
    // A screen that shrank since its size was read answers with an error, not a picture.
    x11::ErrorTrap trap(display.get());
    std::unique_ptr<XImage, ImageDestroyer> image(
        XGetImage(display.get(), root, taken.Left, taken.Top, static_cast<unsigned>(taken.Width),
                  static_cast<unsigned>(taken.Height), ~0UL, ZPixmap));
    if (trap.errorSeen()) {
        image.reset();
    }
    if (!image) {
        error = "the screen could not be read";
        return false;
    }
    const QString target = QString::fromLocal8Bit(path.c_str());
    const QString partial = target + ".part";
    if (!ToQImage(*image).save(partial, "JPG", JpegQuality)) {
        QFile::remove(partial);
        error = "cannot write " + path;
        return false;
    }
    // rename(2) replaces an older picture in one step; removing it first would leave neither
    // picture to a crash in between.
    if (std::rename(QFile::encodeName(partial).constData(), path.c_str()) != 0) {
        QFile::remove(partial);
        error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace trelk
