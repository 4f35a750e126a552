#pragma once

#include "Picture.h"
#include "PictureChange.h"
#include "PixelWriter.h"

#include <atomic>
#include <cstddef>
#include <memory>

struct _XDisplay;
struct _XImage;
struct _XGC;

namespace nexacomms {

// The console window's pixels on the X server. A pixmap of the picture's size is the window's
// background, so the server repaints exposures from it by itself. A new picture is compared
// with the one shown: only the rectangle that changed is converted, sent (through a shared
// memory segment where the server offers the MIT-SHM extension, else in the request) and
// repainted, and the shape is rebuilt only when the transparent area changed or the size did.
//
// Used by the console window's thread alone, which holds the display.
class ConsoleSurface {
public:
    // sharedMemory: the server offers MIT-SHM; shape: it offers SHAPE.
    ConsoleSurface(_XDisplay* display, unsigned long window, bool sharedMemory, bool shape,
                   const std::atomic<bool>& serverLost);
    ~ConsoleSurface();
    ConsoleSurface(const ConsoleSurface&) = delete;
    ConsoleSurface& operator=(const ConsoleSurface&) = delete;

    // Shows the picture in the window; a window of another size is resized to it.
    void show(std::shared_ptr<const Picture> picture);
    // Waits until the server has read what was sent from shared memory, so the segment may
    // be written again. For the time after the requests are flushed, when nothing waits.
    void finishReading();

    std::uint32_t width() const { return width_; }
    std::uint32_t height() const { return height_; }
    bool sharesMemory() const { return segment_ != nullptr; }

private:
    struct Segment;

    bool resize(std::uint32_t width, std::uint32_t height);
    bool attachSegment(std::size_t bytes);
    void releaseImage();
    void releaseSegment();
    void setShape(const Picture& picture);

    _XDisplay* display_;
    unsigned long window_;
    bool sharedMemoryOffered_;
    bool shape_;
    const std::atomic<bool>& serverLost_;
    PixelWriter writer_;
    int depth_ = 0;

    unsigned long pixmap_ = 0;
    _XGC* gc_ = nullptr;
    _XImage* image_ = nullptr; // the picture's size, in the visual's pixels
    std::unique_ptr<Segment> segment_;
    bool reading_ = false;
    std::shared_ptr<const Picture> shown_;
    std::uint32_t width_ = 0;
    std::uint32_t height_ = 0;
};

} // namespace nexacomms
