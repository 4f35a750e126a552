#include "OverlayWindow.h"

#include "ErrorTrap.h"
#include "platform/linux/StageStamps.h"
#include "platform/linux/X11Monitors.h"
#include "platform/linux/X11ServerLoss.h"
#include "plugins/nexacomms/NexacommsAbi.h"
#include "plugins/nexacomms/Placement.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

// Xlib last: its macros (None, Bool, Status) break other headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/shape.h>

namespace nexacomms {

namespace {

constexpr auto FadeStep = std::chrono::milliseconds(15);
constexpr int MillisecondsPerSpeedStep = 4;

} // namespace

OverlayWindow::~OverlayWindow() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) {
        thread_.join();
    }
}

template <typename Change> void OverlayWindow::change(Change&& apply) {
    {
        const std::lock_guard lock(mutex_);
        apply(wanted_);
        dirty_ = true;
        startLocked();
    }
    changed_.notify_all();
}

void OverlayWindow::setPicture(std::shared_ptr<const Picture> picture) {
    change([&picture](Wanted& wanted) {
        wanted.picture = std::move(picture);
        ++wanted.pictureSerial;
    });
}

void OverlayWindow::setPosition(int x, int y) {
    change([x, y](Wanted& wanted) {
        wanted.x = x;
        wanted.y = y;
    });
}

void OverlayWindow::setOpacity(int opacity) {
    change([opacity](Wanted& wanted) { wanted.opacity = opacity; });
}

void OverlayWindow::setSpeed(int speed) {
    change([speed](Wanted& wanted) { wanted.speed = speed; });
}

void OverlayWindow::setShown(bool shown) {
    change([shown](Wanted& wanted) { wanted.shown = shown; });
}

std::uint8_t OverlayWindow::docked() {
    {
        std::unique_lock lock(mutex_);
        startLocked();
        // Only the very first call waits, and never long: connecting is all the thread does.
        changed_.wait_for(lock, std::chrono::seconds(1),
                          [this] { return connection_ != Connection::Pending; });
        if (connection_ != Connection::Connected) {
            return 0;
        }
    }
    const std::lock_guard lock(displayMutex_);
    if (display_ == nullptr || serverLost_) {
        return 0;
    }
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long value = 0;
    if (XGetWindowProperty(display_, root_, dockedAtom_, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        data != nullptr) {
        if (type == XA_CARDINAL && format == 32 && count == 1) {
            std::memcpy(&value, data, sizeof value);
        }
        XFree(data);
    }
    return value == 1 ? 1 : 0;
}

void OverlayWindow::startLocked() {
    if (connection_ == Connection::NotStarted) {
        connection_ = Connection::Pending;
        thread_ = std::thread([this] { run(); });
    }
}

void OverlayWindow::run() {
    const bool connected = connect();
    {
        const std::lock_guard lock(mutex_);
        connection_ = connected ? Connection::Connected : Connection::NoDisplay;
    }
    changed_.notify_all();
    if (!connected) {
        return;
    }
    for (;;) {
        Wanted wanted;
        {
            std::unique_lock lock(mutex_);
            const auto woken = [this] { return stop_ || dirty_; };
            if (fading_) {
                changed_.wait_for(lock, FadeStep, woken);
            } else {
                changed_.wait(lock, woken);
            }
            if (stop_) {
                break;
            }
            wanted = wanted_;
            dirty_ = false;
        }
        const std::lock_guard lock(displayMutex_);
        if (serverLost_) {
            fading_ = false;
            continue;
        }
        takeEvents();
        const std::uint64_t shownBefore = shownPictureSerial_;
        apply(wanted);
        takeEvents();
        XFlush(display_);
        if (shownPictureSerial_ != shownBefore) {
            trelk::StageStamp("sent");
        }
        if (surface_ && !serverLost_) {
            surface_->finishReading();
        }
    }
    disconnect();
}

bool OverlayWindow::connect() {
    const std::lock_guard lock(displayMutex_);
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        return false;
    }
    trelk::x11::SurviveServerLoss(display_, &serverLost_);
    root_ = XDefaultRootWindow(display_);
    dockedAtom_ = XInternAtom(display_, NEXACOMMS_DOCKED_ATOM, False);
    opacityAtom_ = XInternAtom(display_, "_NET_WM_WINDOW_OPACITY", False);
    int eventBase = 0;
    int errorBase = 0;
    int major = 0;
    int minor = 0;
    if (XShapeQueryExtension(display_, &eventBase, &errorBase) != 0 &&
        XShapeQueryVersion(display_, &major, &minor) != 0) {
        shapeBounding_ = true;
        shapeInput_ = major > 1 || (major == 1 && minor >= 1);
    }
    Bool sharedPixmaps = False;
    sharedMemory_ = XShmQueryExtension(display_) != 0 &&
                    XShmQueryVersion(display_, &major, &minor, &sharedPixmaps) != 0;
    TrapErrors(display_);
    return true;
}

void OverlayWindow::disconnect() {
    const std::lock_guard lock(displayMutex_);
    // WORKAROUND: Xlib leaves a broken display locked to the thread that noticed the break
    // (possibly the caller of docked()), so closing it here could wait forever. The server is
    // gone and the program ends: the connection is left as it is.
    surface_.reset();
    if (!serverLost_) {
        if (window_ != 0) {
            XDestroyWindow(display_, window_);
        }
        XCloseDisplay(display_);
    }
    window_ = 0;
    display_ = nullptr;
}

void OverlayWindow::takeEvents() {
    while (!serverLost_ && XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        if (event.type == DestroyNotify && window_ != 0 && event.xdestroywindow.window == window_) {
            forgetWindow();
        }
    }
}

void OverlayWindow::forgetWindow() {
    surface_.reset();
    window_ = 0;
    shownPictureSerial_ = 0;
    left_ = -1;
    top_ = -1;
    mapped_ = false;
    opacityKnown_ = false;
    fading_ = false;
}

void OverlayWindow::createWindow() {
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixmap = None;
    attributes.border_pixel = 0;
    // DestroyNotify: another program may destroy our window; a new one takes its place.
    attributes.event_mask = StructureNotifyMask;
    window_ =
        XCreateWindow(display_, root_, 0, 0, 1, 1, 0, CopyFromParent, InputOutput, nullptr,
                      CWOverrideRedirect | CWBackPixmap | CWBorderPixel | CWEventMask, &attributes);
    XStoreName(display_, window_, "NexaComms Console");
    XClassHint hint{};
    char name[] = "nexacomms";
    char className[] = "NexaComms";
    hint.res_name = name;
    hint.res_class = className;
    XSetClassHint(display_, window_, &hint);
    if (shapeInput_) {
        // An empty input shape: clicks fall through to the game below.
        XShapeCombineRectangles(display_, window_, ShapeInput, 0, 0, nullptr, 0, ShapeSet,
                                Unsorted);
    }
    if (shapeBounding_) {
        // Nothing to show before the first picture.
        XShapeCombineRectangles(display_, window_, ShapeBounding, 0, 0, nullptr, 0, ShapeSet,
                                Unsorted);
    }
    surface_ = std::make_unique<ConsoleSurface>(display_, window_, sharedMemory_, shapeBounding_,
                                                serverLost_);
}

void OverlayWindow::setOpacityProperty(unsigned long value) {
    if (opacityKnown_ && opacitySet_ == value) {
        return;
    }
    XChangeProperty(display_, window_, opacityAtom_, XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&value), 1);
    opacitySet_ = value;
    opacityKnown_ = true;
}

trelk::ScreenArea OverlayWindow::gameScreen() {
    const int screen = XDefaultScreen(display_);
    const trelk::ScreenArea whole{0, 0, XDisplayWidth(display_, screen),
                                  XDisplayHeight(display_, screen)};
    const std::vector<trelk::Monitor> monitors = trelk::x11::ListMonitors(display_);
    if (monitors.size() < 2) {
        return whole;
    }
    // Requests about a window that has gone fail harmlessly (TrapErrors).
    std::optional<trelk::ScreenArea> area;
    if (gameWindow_ != 0) {
        area = trelk::x11::WindowArea(display_, gameWindow_);
    }
    if (!area) {
        gameWindow_ = trelk::x11::FindWindowTitled(display_, NEXACOMMS_GAME_TITLE);
        if (gameWindow_ != 0) {
            area = trelk::x11::WindowArea(display_, gameWindow_);
        }
    }
    if (!area) {
        return whole;
    }
    return trelk::MonitorHoldingMost(monitors, *area).value_or(whole);
}

void OverlayWindow::apply(const Wanted& wanted) {
    if (window_ == 0) {
        createWindow();
    }
    if (wanted.picture && wanted.pictureSerial != shownPictureSerial_) {
        surface_->show(wanted.picture);
        shownPictureSerial_ = wanted.pictureSerial;
        if (mapped_) {
            XRaiseWindow(display_, window_); // stay above windows mapped since
        }
    }
    const std::uint32_t width = surface_->width();
    const std::uint32_t height = surface_->height();
    const bool havePicture = width > 0 && height > 0;
    if (havePicture) {
        const trelk::ScreenArea screen = gameScreen();
        const int left = screen.Left + Place(wanted.x, screen.Width, width);
        const int top = screen.Top + Place(wanted.y, screen.Height, height);
        if (left != left_ || top != top_) {
            XMoveWindow(display_, window_, left, top);
            left_ = left;
            top_ = top;
        }
    }

    const auto now = std::chrono::steady_clock::now();
    if (wanted.shown && havePicture && !mapped_) {
        fadeLength_ =
            std::chrono::milliseconds(std::clamp(wanted.speed, 0, 255) * MillisecondsPerSpeedStep);
        fadeStart_ = now;
        fading_ = fadeLength_.count() > 0;
        if (fading_) {
            setOpacityProperty(0);
        }
        XMapRaised(display_, window_);
        mapped_ = true;
    } else if (!wanted.shown && mapped_) {
        XUnmapWindow(display_, window_);
        mapped_ = false;
        fading_ = false;
    }

    // _NET_WM_WINDOW_OPACITY: 0xFFFFFFFF is opaque.
    const unsigned long full =
        static_cast<unsigned long>(std::clamp(wanted.opacity, 0, 255)) * 0x01010101ul;
    if (fading_) {
        const auto elapsed = now - fadeStart_;
        if (elapsed >= fadeLength_) {
            fading_ = false;
            setOpacityProperty(full);
        } else {
            const double share =
                std::chrono::duration<double>(elapsed) / std::chrono::duration<double>(fadeLength_);
            setOpacityProperty(static_cast<unsigned long>(static_cast<double>(full) * share));
        }
    } else {
        setOpacityProperty(full);
    }
}

} // namespace nexacomms
