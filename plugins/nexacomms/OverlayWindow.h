#pragma once

#include "ConsoleSurface.h"
#include "Picture.h"
#include "platform/ports/Monitors.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

struct _XDisplay;

namespace nexacomms {

// The console window: an override-redirect, click-through X window showing the last picture
// with its transparent colour shaped away. Setters only store what is wanted and wake the
// window's own thread, which owns the display connection and does the X work; so no caller
// waits on the X server, except docked(), which asks it once.
//
// The thread starts at the first call; without a display it ends at once and every call
// stays harmless. So it does once the X server has gone (log-out): nothing is drawn any more,
// docked() answers 0, and the connection is closed with the window.
class OverlayWindow {
public:
    OverlayWindow() = default;
    ~OverlayWindow();
    OverlayWindow(const OverlayWindow&) = delete;
    OverlayWindow& operator=(const OverlayWindow&) = delete;

    void setPicture(std::shared_ptr<const Picture> picture);
    void setPosition(int x, int y);
    void setOpacity(int opacity);
    void setSpeed(int speed);
    void setShown(bool shown);
    // 1 while the root window's VOIDLINE_DOCKED property is 1, else 0.
    std::uint8_t docked();

private:
    struct Wanted {
        std::shared_ptr<const Picture> picture;
        std::uint64_t pictureSerial = 0;
        int x = 0;
        int y = 0;
        int opacity = 255;
        int speed = 0;
        bool shown = false;
    };
    enum class Connection { NotStarted, Pending, Connected, NoDisplay };

    template <typename Change> void change(Change&& apply);
    void startLocked();
    void run();
    bool connect();
    void disconnect();
    void apply(const Wanted& wanted);
    // Reads the events of our window: the queue must not grow, and a window another program
    // destroyed is forgotten, so the next change makes a new one.
    void takeEvents();
    void forgetWindow();
    void createWindow();
    void setOpacityProperty(unsigned long value);
    // The monitor of the game's window, or the whole screen.
    trelk::ScreenArea gameScreen();

    std::mutex mutex_;
    std::condition_variable changed_;
    Wanted wanted_;
    bool dirty_ = false;
    bool stop_ = false;
    Connection connection_ = Connection::NotStarted;
    std::thread thread_;

    // Held by whoever talks to the X server: the thread, or docked().
    std::mutex displayMutex_;
    _XDisplay* display_ = nullptr;
    std::atomic<bool> serverLost_{false};
    unsigned long root_ = 0;
    unsigned long dockedAtom_ = 0;

    // The thread's own state.
    unsigned long opacityAtom_ = 0;
    bool shapeInput_ = false;
    bool shapeBounding_ = false;
    bool sharedMemory_ = false;
    unsigned long window_ = 0;
    unsigned long gameWindow_ = 0; // the last one found; looked for again once it has gone
    std::unique_ptr<ConsoleSurface> surface_;
    std::uint64_t shownPictureSerial_ = 0;
    int left_ = -1;
    int top_ = -1;
    bool mapped_ = false;
    unsigned long opacitySet_ = 0;
    bool opacityKnown_ = false;
    bool fading_ = false;
    std::chrono::steady_clock::time_point fadeStart_;
    std::chrono::milliseconds fadeLength_{0};
};

} // namespace nexacomms
