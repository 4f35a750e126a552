#include "ConsoleSurface.h"

#include "CallRecord.h"
#include "ErrorTrap.h"
#include "plugins/nexacomms/NexacommsAbi.h"

#include <cstdlib>
#include <string>
#include <sys/ipc.h>
#include <sys/shm.h>

// Xlib last: its macros (None, Bool, Status) break other headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/shape.h>

namespace nexacomms {

// The shared memory segment the pictures go through; bytes is 0 while none is attached.
struct ConsoleSurface::Segment {
    XShmSegmentInfo info{};
    std::size_t bytes = 0;
};

namespace {

Visual* ScreenVisual(Display* display) {
    return XDefaultVisual(display, XDefaultScreen(display));
}

PixelWriter WriterFor(Display* display) {
    const Visual* visual = ScreenVisual(display);
    return {visual->red_mask, visual->green_mask, visual->blue_mask};
}

} // namespace

ConsoleSurface::ConsoleSurface(Display* display, unsigned long window, bool sharedMemory,
                               bool shape, const std::atomic<bool>& serverLost)
    : display_(display), window_(window), sharedMemoryOffered_(sharedMemory), shape_(shape),
      serverLost_(serverLost), writer_(WriterFor(display)),
      depth_(XDefaultDepth(display, XDefaultScreen(display))) {
    if (sharedMemoryOffered_) {
        segment_ = std::make_unique<Segment>();
    }
}

ConsoleSurface::~ConsoleSurface() {
    releaseImage();
    releaseSegment();
    if (!serverLost_) {
        if (gc_ != nullptr) {
            XFreeGC(display_, gc_);
        }
        if (pixmap_ != 0) {
            XFreePixmap(display_, pixmap_);
        }
    }
}

void ConsoleSurface::show(std::shared_ptr<const Picture> picture) {
    Area area{0, 0, picture->width, picture->height};
    bool reshape = true;
    if (shown_ && picture->width == width_ && picture->height == height_) {
        area = ChangedArea(*shown_, *picture);
        reshape = !area.empty() && TransparencyChanged(*shown_, *picture, area);
    } else if (!resize(picture->width, picture->height)) {
        return;
    }
    if (!area.empty()) {
        finishReading();
        writer_.write(*picture, area, *image_);
        const auto x = static_cast<int>(area.x);
        const auto y = static_cast<int>(area.y);
        if (sharesMemory()) {
            XShmPutImage(display_, pixmap_, gc_, image_, x, y, x, y, area.width, area.height,
                         False);
            reading_ = true;
        } else {
            XPutImage(display_, pixmap_, gc_, image_, x, y, x, y, area.width, area.height);
        }
        // The server may have taken a copy of the background when it was set: set it again,
        // then repaint the area from it.
        XSetWindowBackgroundPixmap(display_, window_, pixmap_);
        XClearArea(display_, window_, x, y, area.width, area.height, False);
        if (reshape) {
            setShape(*picture);
        }
    }
    shown_ = std::move(picture);
}

void ConsoleSurface::finishReading() {
    if (reading_ && !serverLost_) {
        XSync(display_, False);
    }
    reading_ = false;
}

bool ConsoleSurface::resize(std::uint32_t width, std::uint32_t height) {
    releaseImage();
    if (pixmap_ != 0) {
        XFreePixmap(display_, pixmap_);
        pixmap_ = 0;
    }
    shown_.reset();
    width_ = 0;
    height_ = 0;
    Visual* visual = ScreenVisual(display_);
    if (segment_) {
        image_ = XShmCreateImage(display_, visual, static_cast<unsigned int>(depth_), ZPixmap,
                                 nullptr, &segment_->info, width, height);
        const std::size_t bytes =
            image_ != nullptr ? static_cast<std::size_t>(image_->bytes_per_line) * height : 0;
        if (image_ != nullptr && segment_->bytes < bytes) {
            releaseSegment();
            if (!attachSegment(bytes)) {
                // Refused (a server that cannot reach our memory): pictures go in requests.
                segment_.reset();
            }
        }
        if (segment_) {
            image_->data = segment_->info.shmaddr;
        } else if (image_ != nullptr) {
            XDestroyImage(image_);
            image_ = nullptr;
        }
    }
    if (image_ == nullptr) {
        image_ = XCreateImage(display_, visual, static_cast<unsigned int>(depth_), ZPixmap, 0,
                              nullptr, width, height, 32, 0);
        if (image_ == nullptr) {
            return false;
        }
        // XDestroyImage frees the data with free().
        image_->data = static_cast<char*>(
            std::calloc(static_cast<std::size_t>(image_->bytes_per_line) * height, 1));
        if (image_->data == nullptr) {
            releaseImage();
            return false;
        }
    }
    pixmap_ = XCreatePixmap(display_, window_, width, height, static_cast<unsigned int>(depth_));
    if (gc_ == nullptr) {
        gc_ = XCreateGC(display_, pixmap_, 0, nullptr);
    }
    XResizeWindow(display_, window_, width, height);
    // The server repaints from the background itself, so exposures need no answer.
    XSetWindowBackgroundPixmap(display_, window_, pixmap_);
    width_ = width;
    height_ = height;
    DebugLine(std::to_string(width) + " x " + std::to_string(height) +
              " pictures go to the X server " +
              (sharesMemory() ? "through shared memory" : "in its requests"));
    return true;
}

bool ConsoleSurface::attachSegment(std::size_t bytes) {
    const int id = ::shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0) {
        return false;
    }
    void* address = ::shmat(id, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        ::shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    segment_->info.shmid = id;
    segment_->info.shmaddr = static_cast<char*>(address);
    segment_->info.readOnly = True;
    const std::uint64_t errors = ErrorCount();
    const bool attached = XShmAttach(display_, &segment_->info) != 0 &&
                          XSync(display_, False) != 0 && ErrorCount() == errors && !serverLost_;
    // Gone as soon as both sides have let go of it, however the program ends.
    ::shmctl(id, IPC_RMID, nullptr);
    if (!attached) {
        ::shmdt(address);
        segment_->info = {};
        return false;
    }
    segment_->bytes = bytes;
    return true;
}

void ConsoleSurface::releaseImage() {
    if (image_ == nullptr) {
        return;
    }
    if (segment_ && image_->data == segment_->info.shmaddr) {
        image_->data = nullptr; // the segment's, not the heap's
    }
    XDestroyImage(image_);
    image_ = nullptr;
}

void ConsoleSurface::releaseSegment() {
    if (!segment_ || segment_->bytes == 0) {
        return;
    }
    if (!serverLost_) {
        finishReading();
        XShmDetach(display_, &segment_->info);
        XSync(display_, False);
    }
    ::shmdt(segment_->info.shmaddr);
    segment_->info = {};
    segment_->bytes = 0;
}

void ConsoleSurface::setShape(const Picture& picture) {
    if (!shape_) {
        return;
    }
    XImage* mask = XCreateImage(display_, ScreenVisual(display_), 1, XYBitmap, 0, nullptr,
                                picture.width, picture.height, 8, 0);
    if (mask == nullptr) {
        return;
    }
    mask->data = static_cast<char*>(
        std::calloc(static_cast<std::size_t>(mask->bytes_per_line) * picture.height, 1));
    if (mask->data == nullptr) {
        XDestroyImage(mask);
        return;
    }
    // Bit x of a row lies in byte x / 8 when bits and bytes run the same way.
    const bool bytewise = mask->bitmap_unit == 8 || mask->bitmap_bit_order == mask->byte_order;
    const bool lowBitFirst = mask->bitmap_bit_order == LSBFirst;
    for (std::uint32_t y = 0; y < picture.height; ++y) {
        auto* bits = reinterpret_cast<unsigned char*>(mask->data) +
                     static_cast<std::size_t>(mask->bytes_per_line) * y;
        const std::uint32_t* pixels = picture.row(y);
        for (std::uint32_t x = 0; x < picture.width; ++x) {
            if (pixels[x] == NEXACOMMS_TRANSPARENT_PIXEL) {
                continue;
            }
            if (bytewise) {
                bits[x / 8] |=
                    static_cast<unsigned char>(lowBitFirst ? 1u << (x % 8) : 0x80u >> (x % 8));
            } else {
                XPutPixel(mask, static_cast<int>(x), static_cast<int>(y), 1);
            }
        }
    }
    const Pixmap bitmap = XCreatePixmap(display_, window_, picture.width, picture.height, 1);
    // A bitmap image draws its 1 bits in the foreground: 1 is inside the shape.
    XGCValues values{};
    values.foreground = 1;
    values.background = 0;
    GC bitmapGc = XCreateGC(display_, bitmap, GCForeground | GCBackground, &values);
    XPutImage(display_, bitmap, bitmapGc, mask, 0, 0, 0, 0, picture.width, picture.height);
    XFreeGC(display_, bitmapGc);
    XShapeCombineMask(display_, window_, ShapeBounding, 0, 0, bitmap, ShapeSet);
    XFreePixmap(display_, bitmap);
    XDestroyImage(mask);
}

} // namespace nexacomms
