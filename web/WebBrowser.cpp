#include "web/WebBrowser.h"

#include <algorithm>
#include <cstring>

namespace trelk {

namespace {

std::size_t Area(int width, int height) {
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

// The top-left width x height of a view picture; what the view does not cover stays black.
QImage TopLeft(const WebPicture& view, int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(Qt::black);
    const int columns = std::min(width, view.width);
    for (int y = 0; y < std::min(height, view.height); ++y) {
        std::memcpy(picture.scanLine(y), view.pixels.data() + Area(view.width, y),
                    static_cast<std::size_t>(columns) * sizeof(std::uint32_t));
    }
    return picture;
}

} // namespace

WebBrowser::WebBrowser(WebView& view, TimerFactory& timers, const std::atomic<bool>& shuttingDown,
                       Hooks hooks)
    : view_(view), shuttingDown_(shuttingDown), hooks_(std::move(hooks)),
      tmrBrowserActive_(timers.createTimer("tmrBrowserActive", BusyIntervalMs)),
      releaseTimer_(timers.createTimer("tmrBrowserRelease", ReleaseAfterMs)) {
    tmrBrowserActive_->setHandler([this] {
        if (hooks_.redrawPageList) {
            hooks_.redrawPageList();
        }
    });
    releaseTimer_->setHandler([this] { ReleaseIfIdle(); });
    view_.setCompletionHandler([this](bool ok) { WebBrowser1DocumentComplete(ok); });
}

WebBrowser::~WebBrowser() {
    view_.setCompletionHandler({});
    view_.release();
}

void WebBrowser::Navigate(const std::string& url) {
    ++generation_;
    url_ = url;
    Used();
    view_.navigate(url);
}

void WebBrowser::ScrollBy(int dx, int dy) {
    if (!view_.engineRunning()) {
        return;
    }
    Used();
    const int generation = generation_;
    view_.scrollBy(dx, dy, [this, generation] {
        if (generation == generation_) {
            CopyWebToBMP();
        }
    });
}

void WebBrowser::WebBrowser1DocumentComplete(bool ok) {
    if (!ok) {
        // The console keeps the picture it has; the mark stops turning.
        SetBusy(false);
        if (hooks_.reportDuringPlay && !shuttingDown_) {
            hooks_.reportDuringPlay("The web page " + url_ + " could not be loaded");
        }
        return;
    }
    if (hooks_.urlListEmpty && hooks_.urlListEmpty()) {
        return;
    }
    ScrollBy(0, CompleteScrollY);
}

void WebBrowser::CopyWebToBMP() {
    SetBusy(false);
    if (shuttingDown_ || !view_.hasDocument()) {
        return;
    }
    Used();
    const int generation = generation_;
    view_.bodyScrollWidth([this, generation](int scrollWidth) {
        if (generation != generation_ || !view_.hasDocument()) {
            return;
        }
        // A page wider than the control gets a horizontal scroll bar: the control keeps the
        // console's height, and always the console's width, so the capture is the page's left
        // edge.
        const int width = std::max(scrollWidth, CaptureWidth);
        int height = view_.viewHeight();
        if (width > view_.viewWidth()) {
            height = CaptureHeight;
        }
        view_.setViewSize(CaptureWidth, height);
        Capture(generation);
    });
}

void WebBrowser::Capture(int generation) {
    view_.drawView([this, generation](WebPicture view) {
        // Errors are ignored: the console keeps its previous picture.
        if (shuttingDown_ || generation != generation_ || view.empty() ||
            view.pixels.size() != Area(view.width, view.height)) {
            return;
        }
        if (hooks_.webViewActive && !hooks_.webViewActive()) {
            return;
        }
        const QImage picture = TopLeft(view, CaptureWidth, CaptureHeight);
        if (hooks_.pushCapturedBitmap) {
            hooks_.pushCapturedBitmap(picture);
        }
        if (hooks_.inStationRefresh) {
            hooks_.inStationRefresh();
        }
    });
}

void WebBrowser::SetBusy(bool run) {
    tmrBrowserActive_->setEnabled(run);
}

void WebBrowser::Stop() {
    SetBusy(false);
    releaseTimer_->setEnabled(false);
    ++generation_;
    view_.release();
}

void WebBrowser::Used() {
    // Setting the interval starts the minute again.
    releaseTimer_->setInterval(ReleaseAfterMs);
    releaseTimer_->setEnabled(true);
}

void WebBrowser::ReleaseIfIdle() {
    const bool shown = hooks_.webViewActive && hooks_.webViewActive() && hooks_.consoleVisible &&
                       hooks_.consoleVisible();
    if (shown && view_.hasDocument()) {
        return; // a page the pilot is reading stays; the timer runs on
    }
    releaseTimer_->setEnabled(false);
    ++generation_;
    view_.release();
}

} // namespace trelk
